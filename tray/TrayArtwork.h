#pragma once
// The pictures of the three tray icons (a balance scale): gold when
// watching (103), with red pans while taming (106), grey when switched off
// (104). Part of the program, so nothing needs installing. The 16-pixel
// picture is drawn pixel by pixel; the larger ones are drawn at their own
// size from the same shapes, edges on whole pixels, so each is sharp.

#include <array>
#include <cstdint>
#include <vector>

namespace quelvo::tray {

inline constexpr int kIconSize = 16;
// The sizes panels, title bars and task switchers ask for.
inline constexpr std::array<int, 6> kIconSizes = {16, 22, 24, 32, 48, 64};

// Row by row from the top, 0xAARRGGBB with straight alpha; empty for an
// unknown id or a size outside 8..256. At 16 pixels alpha is 0 or 255.
std::vector<std::uint32_t> TrayIconPixels(int id, int size = kIconSize);

}  // namespace quelvo::tray
