#pragma once
// Conversion between the platform's 8-bit texts (UTF-8; stray bytes that
// are not UTF-8 are taken as Latin-1 so nothing is lost) and UTF-16.

#include <string>
#include <string_view>

namespace quelvo::sys {

std::u16string WidenText(std::string_view text);
// Unpaired surrogates become U+FFFD.
std::string NarrowText(std::u16string_view text);

}  // namespace quelvo::sys
