#include "platform/desktop/IconPixels.h"

#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"

#include <algorithm>

namespace quelvo::desktop {

namespace {

// The bitmaps GetIconInfo hands out belong to the caller.
class IconBitmaps {
public:
    explicit IconBitmaps(HICON icon) : ok_(icon != nullptr && GetIconInfo(icon, &info_) != FALSE) {}
    ~IconBitmaps()
    {
        if (info_.hbmColor != nullptr)
            DeleteObject(info_.hbmColor);
        if (info_.hbmMask != nullptr)
            DeleteObject(info_.hbmMask);
    }
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;

    bool Ok() const { return ok_; }
    HBITMAP Color() const { return info_.hbmColor; }
    HBITMAP Mask() const { return info_.hbmMask; }

private:
    ICONINFO info_{};
    bool ok_ = false;
};

// A mask pixel is set (transparent, or "invert" in a monochrome icon) when
// it is light.
bool MaskSet(std::uint32_t pixel)
{
    return (pixel & 0x00FFFFFF) != 0;
}

} // namespace

std::optional<IconImage> IconImageOf(HICON icon)
{
    const IconBitmaps bitmaps(icon);
    if (!bitmaps.Ok())
        return std::nullopt;
    gfx::Picture mask;
    const bool haveMask = bitmaps.Mask() != nullptr && gfx::PictureFromBitmap(bitmaps.Mask(), mask);
    IconImage image;
    if (bitmaps.Color() == nullptr) {
        // Monochrome: AND mask above, XOR image below.
        if (!haveMask || mask.height < 2)
            return std::nullopt;
        image.width = mask.width;
        image.height = mask.height / 2;
        const std::size_t half = static_cast<std::size_t>(image.width) * image.height;
        image.argb.resize(half);
        for (std::size_t i = 0; i < half; ++i) {
            const bool andBit = MaskSet(mask.pixels[i]);
            const bool xorBit = MaskSet(mask.pixels[half + i]);
            image.argb[i] = andBit && !xorBit ? 0x00000000u : xorBit && !andBit ? 0xFFFFFFFFu : 0xFF000000u;
        }
        return image.Valid() ? std::optional<IconImage>(std::move(image)) : std::nullopt;
    }
    gfx::Picture color;
    if (!gfx::PictureFromBitmap(bitmaps.Color(), color))
        return std::nullopt;
    image.width = color.width;
    image.height = color.height;
    image.argb.assign(color.pixels.begin(), color.pixels.end());
    const bool maskFits = haveMask && mask.width == color.width && mask.height >= color.height;
    // As on Windows: the alpha channel counts when any pixel uses it.
    const bool alphaUsed =
        std::any_of(image.argb.begin(), image.argb.end(), [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
    if (!alphaUsed) {
        for (std::size_t i = 0; i < image.argb.size(); ++i) {
            const bool transparent = maskFits && MaskSet(mask.pixels[i]);
            image.argb[i] = transparent ? 0u : (image.argb[i] | 0xFF000000u);
        }
    }
    return image.Valid() ? std::optional<IconImage>(std::move(image)) : std::nullopt;
}

} // namespace quelvo::desktop
