#pragma once
// Icon and cursor pictures as 32-bit ARGB (straight alpha), the form the
// desktop takes window icons and cursor images in.

#include <cstdint>
#include <vector>

#include "platform/graphics/wingdi.h"

namespace quelvo::win::x11 {

struct ArgbImage {
    int width = 0;
    int height = 0;
    POINT hotspot{};
    std::vector<std::uint32_t> pixels;  // rows top-down, 0xAARRGGBB
    bool Empty() const { return pixels.empty(); }
};

// The picture of an icon or cursor handle: colour icons take their alpha
// from the colour bitmap when it has any, else from the mask; monochrome
// ones (mask of twice the height) show black and white, inverted pixels
// as black. Empty for an unknown handle.
ArgbImage IconImage(HICON icon);

}  // namespace quelvo::win::x11
