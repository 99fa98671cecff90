#pragma once
// Files of the tray in the program's folder: the log and the trust check
// of the settings file before a command from it is run.

#include <string>

namespace quelvo::tray {

// Appends one line (opened and closed per line, binary append); false when
// the file is not a regular file or cannot be opened or written.
bool AppendLogLine(const std::string& path, const std::string& line);

// True when the file and the folder holding it belong to the user running
// this program (or to root) and neither may be written by others, so that
// nobody else can put a command into it.
bool IsPrivateToUser(const std::string& path);

}  // namespace quelvo::tray
