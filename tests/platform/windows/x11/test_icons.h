#pragma once
// A 2x2 colour icon for the tests, built from its pixels and a 1-bit mask
// (rows of 2 bytes; null: nothing masked). The caller destroys the icon.

#include <cstdint>

#include "platform/graphics/wingdi.h"

namespace x11test {

inline HICON MakeTestIcon(const std::uint32_t (&colours)[4], const unsigned char* maskBits)
{
    HBITMAP colour = CreateBitmap(2, 2, 1, 32, colours);
    HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
    ICONINFO info;
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);  // the icon keeps copies
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

}  // namespace x11test
