#pragma once
// Cursor files (.cur): a directory of images, each with its hot spot, held
// as a device-independent bitmap (colour rows, then a one-bit mask, the
// height doubled) or as a PNG. Malformed input gives false and a message.

#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quelvo::gfx {

struct CursorFileImage {
    Picture picture;                 // the colours, top-down
    std::vector<std::uint8_t> mask;  // one per pixel: 1 where the screen shows through
    int hotX = 0;
    int hotY = 0;
};

// The directory's 32 x 32 image, else its first one.
bool ReadCursorFile(const std::vector<std::uint8_t>& bytes, CursorFileImage& cursor, std::string& error);
// A cursor made with CreateIconIndirect from the image ReadCursorFile
// chooses; null, with the reason in error, when the file does not read.
HCURSOR CreateCursorFromFile(const std::vector<std::uint8_t>& bytes, std::string& error);

} // namespace quelvo::gfx
