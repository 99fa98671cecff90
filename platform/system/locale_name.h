#pragma once
// The name of the user's locale for character data, as the environment
// gives it ("zh_CN.UTF-8", "ar_EG", ...), with a seam for tests.

#include <optional>
#include <string>

namespace quelvo::sys {

// LC_ALL, LC_CTYPE or LANG, the first that is set and not empty; "C" when
// none is.
std::string UserLocaleName();
// Tests: the name UserLocaleName answers instead; nullopt goes back to the
// environment.
void SetUserLocaleNameOverride(std::optional<std::string> name);

}  // namespace quelvo::sys
