#pragma once
// Texts leaving the process on the session bus. The bus refuses a message
// whose strings are not valid UTF-8, while the programs hand over 8-bit
// texts of arbitrary origin (process names, fixed-size record fields), so
// every text goes through here first.

#include <cstddef>
#include <string>
#include <string_view>

namespace quelvo::desktop {

// Valid UTF-8 of at most maxBytes bytes. The input ends at its first NUL
// (the texts come from C fields); an invalid byte becomes U+FFFD; a
// character cut off at the very end of the input is dropped rather than
// replaced; the result is cut only between characters.
std::string ToBusText(std::string_view text, std::size_t maxBytes = std::string::npos);

// Text for a field of a fixed-size record that need not be NUL-terminated.
std::string FieldText(const char* field, std::size_t fieldSize);

// Escapes the three characters that the notification body markup gives a
// meaning to.
std::string EscapeMarkup(std::string_view text);

// Menu label with the access-key convention of the exported menus: "&x"
// becomes "_x", "&&" a literal '&', and a literal '_' is doubled.
std::string MenuLabelToBus(std::string_view label);

} // namespace quelvo::desktop
