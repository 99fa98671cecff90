#pragma once
// Splitting a parameter text into arguments: blanks and tabs separate them
// outside double quotes; a double quote opens or closes a quoted stretch
// and is dropped ("" alone gives an empty argument).

#include <string>
#include <string_view>
#include <vector>

namespace quelvo::sys {

std::vector<std::string> SplitParameters(std::string_view text);

}  // namespace quelvo::sys
