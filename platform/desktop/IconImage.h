#pragma once

#include <cstdint>
#include <vector>

namespace quelvo::desktop {

// One picture of an icon: width * height pixels 0xAARRGGBB (straight alpha),
// rows top to bottom.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    // A sane size whose pixels are all there.
    bool Valid() const
    {
        return width > 0 && height > 0 && width <= 1024 && height <= 1024 &&
               argb.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};

} // namespace quelvo::desktop
