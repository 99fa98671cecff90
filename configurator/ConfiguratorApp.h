#pragma once
// The configuration program's start-up and the component units its window
// stands on.

namespace quelvo::configurator {

// Starts the units the window's controls need; EndComponentUnits ends them
// in reverse, after the window is gone.
void StartComponentUnits();
void EndComponentUnits();

// The whole program: the engine first (without the process-status
// libraries it ends the program with 1 before any window exists), the
// libraries, the window and its message loop. Returns the program's result.
int RunConfigurator();

}  // namespace quelvo::configurator
