#pragma once
// The units every control of the library needs started: themes, looks and
// feels with their two plain painters, and the control base. Ended in the
// reverse order, after the test's controls are gone.

#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"

namespace componenttest {

inline void StartControlUnits()
{
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
    cxLookAndFeelsInitialize();
    cxStandardLookAndFeelPaintersInitialize();
    cxUltraFlatLookAndFeelPaintersInitialize();
    cxControlsInitialize();
}

inline void EndControlUnits()
{
    cxControlsFinalize();
    cxUltraFlatLookAndFeelPaintersFinalize();
    cxStandardLookAndFeelPaintersFinalize();
    cxLookAndFeelsFinalize();
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
}

}  // namespace componenttest
