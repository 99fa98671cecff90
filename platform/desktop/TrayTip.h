#pragma once
// The tooltip of an icon docked in an old-style system tray, which shows
// none of its own: a small window of ours beside the pointer.

#include "platform/system/wintypes.h"

#include <string>

namespace quelvo::desktop {

class TrayTip {
public:
    TrayTip() = default;
    ~TrayTip() { Hide(); }
    TrayTip(const TrayTip&) = delete;
    TrayTip& operator=(const TrayTip&) = delete;

    // Shows the text (lines broken at CR/LF) below and right of a screen
    // point, kept on the screen; an empty text shows nothing.
    void Show(const std::string& text, POINT near);
    void Hide();
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};

} // namespace quelvo::desktop
