#include "tray/TrayArtwork.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "tray/TrayServices.h"

namespace quelvo::tray {

namespace {

// '.' transparent, 'k' outline, 'g' beam and column, 'y' pans.
constexpr std::array<const char*, kIconSize> kScale = {
    "................",
    ".......kk.......",
    "kkkkkkkggkkkkkkk",
    ".k.....gg.....k.",
    ".k.....gg.....k.",
    "k.k....gg....k.k",
    "k.k....gg....k.k",
    "k..k...gg...k..k",
    "kkkkk..gg..kkkkk",
    "kyyyk..gg..kyyyk",
    ".kgk...gg...kgk.",
    "..k....gg....k..",
    ".......gg.......",
    ".....kkggkk.....",
    "....kggggggk....",
    "....kkkkkkkk....",
};

struct Palette {
    std::uint32_t outline, beam, pans;
};

constexpr Palette kWatching{0xFF3C2A0A, 0xFFC8961E, 0xFFF0D264};
constexpr Palette kTaming{0xFF3C2A0A, 0xFFC8961E, 0xFFE0401C};
constexpr Palette kOff{0xFF505050, 0xFFA0A0A0, 0xFFD0D0D0};

const Palette* PaletteOf(int id)
{
    switch (id) {
    case kIconEnabled: return &kWatching;
    case kIconTaming: return &kTaming;
    case kIconDisabled: return &kOff;
    default: return nullptr;
    }
}

std::vector<std::uint32_t> FromMap(const Palette& palette)
{
    std::vector<std::uint32_t> pixels;
    pixels.reserve(kIconSize * kIconSize);
    for (const char* row : kScale) {
        for (int x = 0; x < kIconSize; ++x) {
            switch (row[x]) {
            case 'k': pixels.push_back(palette.outline); break;
            case 'g': pixels.push_back(palette.beam); break;
            case 'y': pixels.push_back(palette.pans); break;
            default: pixels.push_back(0); break;
            }
        }
    }
    return pixels;
}

// The scale in units of a 64-unit square, at one pixel size: straight
// edges fall on whole pixels, lines are as thick as a whole number of them.
class ScaleShapes {
public:
    ScaleShapes(int size, const Palette& palette)
        : pixel_(64.0 / size), line_(WholePixels(size / 21.0)), frame_(WholePixels(size / 32.0)), palette_(palette)
    {
    }

    // The colour of the topmost shape at a point, if any.
    std::optional<std::uint32_t> At(double x, double y) const
    {
        std::optional<std::uint32_t> colour;
        const auto paint = [&](bool inside, std::uint32_t c) {
            if (inside)
                colour = c;
        };
        // Strings from the beam's ends to the rims of the pans.
        for (const double hook : {10.0, 54.0}) {
            paint(NearSegment(x, y, hook, 12, hook - 9, 33), palette_.outline);
            paint(NearSegment(x, y, hook, 12, hook + 9, 33), palette_.outline);
        }
        Framed(paint, x, y, 28, 2, 36, 9, palette_.outline);   // knob
        Framed(paint, x, y, 0, 8, 64, 14, palette_.beam);      // beam
        Framed(paint, x, y, 28, 13, 36, 54, palette_.beam);    // column
        Framed(paint, x, y, 20, 52, 44, 57, palette_.beam);    // foot
        Framed(paint, x, y, 14, 56, 50, 62, palette_.beam);
        for (const double centre : {10.0, 54.0})
            Pan(paint, x, y, centre);
        return colour;
    }

private:
    double Snap(double units) const { return std::round(units / pixel_) * pixel_; }
    // At least one pixel, in units.
    double WholePixels(double pixels) const { return std::max(1.0, std::round(pixels)) * pixel_; }
    static bool InRect(double x, double y, double l, double t, double r, double b)
    {
        return x >= l && x < r && y >= t && y < b;
    }
    bool NearSegment(double x, double y, double x0, double y0, double x1, double y1) const
    {
        const double dx = x1 - x0, dy = y1 - y0;
        const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= line_ / 2;
    }
    template <typename Paint>
    void Framed(const Paint& paint, double x, double y, double l, double t, double r, double b,
                std::uint32_t fill) const
    {
        l = Snap(l), t = Snap(t), r = Snap(r), b = Snap(b);
        paint(InRect(x, y, l, t, r, b), palette_.outline);
        paint(InRect(x, y, l + frame_, t + frame_, r - frame_, b - frame_), fill);
    }
    // A bowl under a rim, hanging at `centre`.
    template <typename Paint>
    void Pan(const Paint& paint, double x, double y, double centre) const
    {
        const double rim = Snap(33), radius = Snap(10);
        const double distance = std::hypot(x - centre, y - rim);
        paint(y >= rim - frame_ && distance <= radius, palette_.outline);
        paint(y >= rim && distance <= radius - frame_, palette_.pans);
    }

    double pixel_;
    double line_;   // strings
    double frame_;  // outlines
    const Palette& palette_;
};

// Four by four samples a pixel: edges on whole pixels stay sharp, the
// slanted strings and round pans are smoothed.
std::vector<std::uint32_t> Drawn(int size, const Palette& palette)
{
    constexpr int kSamples = 4;
    const ScaleShapes shapes(size, palette);
    const double unit = 64.0 / size;
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(size) * size);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            unsigned covered = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const auto c = shapes.At((px + (sx + 0.5) / kSamples) * unit, (py + (sy + 0.5) / kSamples) * unit);
                    if (!c)
                        continue;
                    ++covered;
                    r += (*c >> 16) & 0xFF, g += (*c >> 8) & 0xFF, b += *c & 0xFF;
                }
            }
            if (covered == 0) {
                pixels.push_back(0);
                continue;
            }
            const std::uint32_t alpha = covered * 255 / (kSamples * kSamples);
            pixels.push_back(alpha << 24 | (r / covered) << 16 | (g / covered) << 8 | b / covered);
        }
    }
    return pixels;
}

}  // namespace

std::vector<std::uint32_t> TrayIconPixels(int id, int size)
{
    const Palette* palette = PaletteOf(id);
    if (palette == nullptr || size < 8 || size > 256)
        return {};
    return size == kIconSize ? FromMap(*palette) : Drawn(size, *palette);
}

}  // namespace quelvo::tray
