#pragma once
// The three states of a check box, shared by the check box, the check-state
// text encoding and the list controls that paint check cells.

enum TcxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
