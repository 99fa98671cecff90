#include "tray/TrayArtwork.h"

#include <array>

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

}  // namespace

std::vector<std::uint32_t> TrayIconPixels(int id)
{
    const Palette* palette = id == kIconEnabled ? &kWatching : id == kIconTaming ? &kTaming
                             : id == kIconDisabled ? &kOff : nullptr;
    if (palette == nullptr)
        return {};
    std::vector<std::uint32_t> pixels;
    pixels.reserve(kIconSize * kIconSize);
    for (const char* row : kScale) {
        for (int x = 0; x < kIconSize; ++x) {
            switch (row[x]) {
            case 'k': pixels.push_back(palette->outline); break;
            case 'g': pixels.push_back(palette->beam); break;
            case 'y': pixels.push_back(palette->pans); break;
            default: pixels.push_back(0); break;
            }
        }
    }
    return pixels;
}

}  // namespace quelvo::tray
