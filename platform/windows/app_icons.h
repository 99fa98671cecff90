#pragma once
// The pictures the desktop shows for a top-level window (title bar, task
// bar, window switcher): the icons given with WM_SETICON, else the window
// class's, else the program's own icon, as a program file's first icon is
// on Windows.

#include <vector>

#include "platform/windows/windefs.h"

namespace quelvo::win {

// The program's icon in every size it has, for windows whose class has
// none. Copies are kept, so the caller may destroy its handles; an empty
// list removes them.
void SetApplicationIcons(const std::vector<HICON>& icons);

// What a display shows for a top-level window, in the order given: the
// window's own icons (WM_SETICON big, then small), else its class's (icon,
// then small icon), else the program's. Empty when there is none at all.
std::vector<HICON> WindowIcons(HWND hwnd);

}  // namespace quelvo::win
