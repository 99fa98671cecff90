#pragma once
// The backslash escapes of the text files this library writes (form
// resources, the registry store): \\ \" \n \r \t and \xHH for other
// control bytes.

#include <string>
#include <string_view>

namespace hostlib {

std::string EscapeText(std::string_view s);
// False for a malformed escape.
bool UnescapeText(std::string_view s, std::string& out);

}  // namespace hostlib
