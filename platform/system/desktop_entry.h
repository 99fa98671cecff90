#pragma once
// The text of a desktop entry that starts a program, written by the
// shell-link writer. Values are escaped by the Desktop Entry rules; Exec
// quotes its arguments (with backslashes before ", `, $ and \) and doubles
// every '%', and then gets the general escaping of string values.

#include <string>
#include <string_view>

namespace quelvo::sys {

struct DesktopEntry {
    std::string name;
    std::string comment;           // written when not empty
    std::string target;            // program path
    std::string arguments;         // split by SplitParameters
    std::string workingDirectory;  // written when not empty
};

std::string FormatDesktopEntry(const DesktopEntry& entry);

// One argument of Exec, quoted when needed (before string escaping).
std::string QuoteExecArgument(std::string_view argument);
// The general escaping of a string value: \\ \n \t \r, and \s for a
// leading blank.
std::string EscapeDesktopString(std::string_view value);

}  // namespace quelvo::sys
