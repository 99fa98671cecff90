#pragma once
// The pictures of the three tray icons (16 by 16, a balance scale): gold
// when watching (103), with red pans while taming (106), grey when
// switched off (104). Part of the program, so nothing needs installing.

#include <cstdint>
#include <vector>

namespace quelvo::tray {

inline constexpr int kIconSize = 16;

// Row by row from the top, 0xAARRGGBB, alpha 0 or 255; empty for an
// unknown id.
std::vector<std::uint32_t> TrayIconPixels(int id);

}  // namespace quelvo::tray
