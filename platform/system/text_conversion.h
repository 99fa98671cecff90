#pragma once
// Conversion between the platform's 8-bit texts (UTF-8; stray bytes that
// are not UTF-8 are taken as Latin-1 so nothing is lost) and UTF-16.

#include <cstddef>
#include <string>
#include <string_view>

namespace quelvo::sys {

std::u16string WidenText(std::string_view text);
// Widens into a caller's buffer without allocating; writes at most
// capacity units (never more than the text has bytes) and returns the count.
std::size_t WidenTextInto(std::string_view text, char16_t* out, std::size_t capacity);

// Unpaired surrogates become U+FFFD.
std::string NarrowText(std::u16string_view text);

}  // namespace quelvo::sys
