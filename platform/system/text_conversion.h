#pragma once
// Conversion between the platform's 8-bit texts (UTF-8; stray bytes that
// are not UTF-8 are taken as Latin-1 so nothing is lost) and UTF-16, the
// UTF-8 steps themselves, and the escapes of texts kept in text files.

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

// Length of the well-formed UTF-8 sequence at text[i] (no overlong forms,
// surrogates or code points above U+10FFFF) with its code point in cp; 0
// when the bytes there are not one, cp then being of no use.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp);
// Appends the UTF-8 form of cp, which must be at most U+10FFFF.
void AppendUtf8(std::string& out, char32_t cp);

// Case mapping and comparison of ASCII letters only; other bytes (UTF-8
// sequences among them) stay as they are.
std::string AsciiLowerCase(std::string_view text);
bool SameTextIgnoringAsciiCase(std::string_view a, std::string_view b);

// 0 to 15 for a hexadecimal digit of either case; -1 for any other byte.
int HexDigitValue(char c);

// The backslash escapes of the line-based text files and records this
// system writes: \\ \" \n \r \t, and \xHH (two hex digits) for the other
// control bytes, so an escaped text holds no line break, tab or control.
std::string EscapeText(std::string_view text);
// False for a malformed escape (unknown letter, a lone backslash at the end,
// \x without two hex digits); out then holds no useful text.
bool UnescapeText(std::string_view text, std::string& out);

}  // namespace quelvo::sys
