#pragma once
// The text operations behind the filter's LIKE operators: matching a text
// against a pattern with a multi-character and a single-character
// wildcard, and telling a pattern's kind by where its multi-character
// wildcards stand. Texts are compared as bytes, exactly; there is no
// escape character.

#include <cstdint>
#include <string>

// A percent wildcard that is not the last pattern character matches zero
// or more characters, but what follows it is only tried against a
// non-empty rest of the text ('a' does not match 'a%%', 'ab' does). Runs in
// time proportional to text length times pattern length.
bool LikeStr(const std::string& text, const std::string& pattern, char percent, char underscore);

// Collapses runs of percent characters to one, then, when the pattern has
// at least 2 characters, strips a leading and a trailing percent: 0 plain
// (nothing stripped), 1 begins with (trailing), 2 ends with (leading),
// 3 contains (both).
std::uint8_t LikeOperatorByPattern(std::string& pattern, char percent);
