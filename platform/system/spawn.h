#pragma once
// Starting programs detached (internal to the system layer).

#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/system/wintypes.h"

namespace quelvo::sys {

// Starts program with the arguments (arguments[0] is the name it sees) in
// directory (empty = the current one). A short-lived middle process starts
// it and ends at once, so the program is adopted by init and never stays a
// zombie of ours; it runs in a session of its own. Returns ERROR_SUCCESS
// and its pid, or the error of the failed start (ERROR_FILE_NOT_FOUND,
// ERROR_ACCESS_DENIED, ...).
DWORD SpawnDetached(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& directory, pid_t& pid);

// The error code for an errno value.
DWORD ErrorFromErrno(int error);

// The executable file a program name stands for along PATH; empty when
// none is found.
std::string FindOnPath(const std::string& name);

}  // namespace quelvo::sys
