#pragma once
// Joins the standard controls' clipboard to the desktop's CLIPBOARD
// selection through the X11 display in use. This one piece sees both the
// window layer's X11 display and the controls layer; programs link it
// (target platform_windows_x11_controls) and call it after
// UseDesktopDisplay. Line ends become LF on the desktop and CRLF in the
// clipboard's CF_TEXT.

#include <string>

namespace quelvo::win::x11 {

// Installs the desktop clipboard as the controls' clipboard backend when
// the X11 display is in use; returns whether it did.
bool UseDesktopClipboard();

std::string DesktopLineEnds(const std::string& text);  // CRLF and lone CR to LF
std::string ClipboardLineEnds(const std::string& text);  // lone LF to CRLF

}  // namespace quelvo::win::x11
