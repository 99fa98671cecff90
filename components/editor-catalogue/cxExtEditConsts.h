#pragma once
// Constants of the extended editors: the progress bar's repository text,
// two integer ranges and four pairs of colour-name tables (names and
// values side by side, entry i of one naming entry i of the other).

#include <array>
#include <cstdint>
#include <string_view>

#include "components/foundation/cxClasses.h"
#include "platform/hostlib/visual/graphics.h"

using TcxNaturalNumber = std::int32_t;   // 1..2147483647
using TcxPositiveNumber = std::int32_t;  // 0..2147483647

inline constexpr TcxResourceString scxSEditRepositoryProgressBarItem{64310, "ProgressBar|Represents a ProgressBar"};
// The check box's default display texts and the radio group's default caption.
inline constexpr TcxResourceString cxSEditCheckBoxChecked{64311, "True"};
inline constexpr TcxResourceString cxSEditCheckBoxGrayed{64312, ""};
inline constexpr TcxResourceString cxSEditCheckBoxUnchecked{64313, "False"};
inline constexpr TcxResourceString cxSRadioGroupDefaultCaption{64314, ""};

inline constexpr int cxIdentColorCount = 52;
inline constexpr int cxHTML4ColorCount = 16;
inline constexpr int cxX11ColorCount = 140;

// The host library's colour identifiers with its values.
extern const std::array<std::string_view, cxIdentColorCount> cxIdentColorNames;
extern const std::array<hostlib::TColor, cxIdentColorCount> cxIdentColorValues;
// The sixteen colours of HTML 4.01.
extern const std::array<std::string_view, cxHTML4ColorCount> cxHTML4ColorNames;
extern const std::array<hostlib::TColor, cxHTML4ColorCount> cxHTML4ColorValues;
// The X11 colour keywords of style sheets, in ascending order.
extern const std::array<std::string_view, cxX11ColorCount> cxX11ColorNames;
extern const std::array<hostlib::TColor, cxX11ColorCount> cxX11ColorValues;
// The same keywords grouped by hue.
extern const std::array<std::string_view, cxX11ColorCount> cxX11OrderedColorNames;
extern const std::array<hostlib::TColor, cxX11ColorCount> cxX11OrderedColorValues;
