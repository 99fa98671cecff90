#pragma once
// Joins the standard controls' clipboard to the desktop's CLIPBOARD
// selection through the X11 display in use. It sits above both the window
// layer's X11 display and the controls layer, so neither knows the other;
// programs link it (target platform_desktop_clipboard) and call it after
// UseDesktopDisplay. Line ends become LF on the desktop and CRLF in the
// clipboard's CF_TEXT. Images (CF_DIB, CF_BITMAP) are offered as
// image/png and image/bmp and read from either as a packed DIB.

#include <cstdint>
#include <string>
#include <vector>

namespace quelvo::desktop {

// Installs the desktop clipboard as the controls' clipboard backend when
// the X11 display is in use; returns whether it did.
bool UseDesktopClipboard();

std::string DesktopLineEnds(const std::string& text);  // CRLF and lone CR to LF
std::string ClipboardLineEnds(const std::string& text);  // lone LF to CRLF
// A packed DIB behind a BMP file header; empty when its header cannot say
// where the rows start.
std::vector<std::uint8_t> BmpFileFromDib(const std::vector<std::uint8_t>& dib);
// A PNG or BMP file as a 32-bit packed DIB, bottom-up; empty for anything
// the picture readers refuse.
std::vector<std::uint8_t> DibFromPictureFile(const std::vector<std::uint8_t>& bytes);

}  // namespace quelvo::desktop
