#include "platform/windows/x11/x11_icons.h"

#include "platform/graphics/surface.h"

namespace quelvo::win::x11 {

namespace {

// Owns the bitmap copies GetIconInfo hands out.
struct IconBitmaps {
    ICONINFO info{};
    bool ok = false;
    explicit IconBitmaps(HICON icon) : ok(icon && GetIconInfo(icon, &info)) {}
    ~IconBitmaps()
    {
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    IconBitmaps(const IconBitmaps&) = delete;
    IconBitmaps& operator=(const IconBitmaps&) = delete;
};

bool MaskSet(const gfx::Surface* mask, int x, int y)
{
    return mask && mask->Contains(x, y) && (mask->At(x, y) & 0x00FFFFFF) != 0;
}

}  // namespace

ArgbImage IconImage(HICON icon)
{
    ArgbImage out;
    IconBitmaps bitmaps(icon);
    if (!bitmaps.ok) return out;
    const gfx::Surface* mask = bitmaps.info.hbmMask ? gfx::SurfaceOfBitmap(bitmaps.info.hbmMask) : nullptr;
    const gfx::Surface* colour = bitmaps.info.hbmColor ? gfx::SurfaceOfBitmap(bitmaps.info.hbmColor) : nullptr;
    if (colour && colour->Empty()) colour = nullptr;
    if (!colour && (!mask || mask->Height() < 2)) return out;
    out.width = colour ? colour->Width() : mask->Width();
    out.height = colour ? colour->Height() : mask->Height() / 2;
    out.hotspot = POINT{static_cast<LONG>(bitmaps.info.xHotspot), static_cast<LONG>(bitmaps.info.yHotspot)};
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    bool ownAlpha = false;
    if (colour)
        for (int y = 0; y < out.height && !ownAlpha; ++y)
            for (int x = 0; x < out.width; ++x)
                if (colour->At(x, y) >> 24) {
                    ownAlpha = true;
                    break;
                }
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            std::uint32_t p = 0;
            if (colour) {
                std::uint32_t c = colour->At(x, y);
                if (ownAlpha) p = c;
                else p = MaskSet(mask, x, y) ? 0 : (c | 0xFF000000u);
            } else {
                bool andBit = MaskSet(mask, x, y), xorBit = MaskSet(mask, x, y + out.height);
                if (!andBit) p = xorBit ? 0xFFFFFFFFu : 0xFF000000u;
                else p = xorBit ? 0xFF000000u : 0;  // inverting has no ARGB form: black
            }
            out.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(x)] = p;
        }
    return out;
}

}  // namespace quelvo::win::x11
