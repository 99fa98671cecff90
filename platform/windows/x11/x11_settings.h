#pragma once
// The desktop's settings as XSETTINGS managers publish them (the
// _XSETTINGS_SETTINGS property): only integer settings are kept.

#include <map>
#include <string>

namespace quelvo::win::x11 {

// Integer settings by name ("Net/DoubleClickTime" ...). Malformed or cut
// data yields the settings read before the fault.
std::map<std::string, int> ParseXSettingsIntegers(const std::string& bytes);

}  // namespace quelvo::win::x11
