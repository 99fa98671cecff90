#pragma once
// Settings and log files that must be regular files. They are opened
// without blocking, so a named pipe or a device put in their place is
// refused at once instead of stopping the program in open().

#include <cstddef>
#include <string>

namespace quelvo::sys {

struct RegularFileRead {
    bool ok = false;
    bool missing = false;  // there is no such file
    std::string error;     // why it could not be read; empty when ok
};

// Reads the whole file into contents; refuses anything but a regular file
// and files larger than limit bytes.
RegularFileRead ReadRegularFile(const std::string& path, std::size_t limit, std::string& contents);

// Appends data to a regular file, creating it (0666 less the umask) when
// missing; false when it is not a regular file or cannot be written.
bool AppendToRegularFile(const std::string& path, const std::string& data);

}  // namespace quelvo::sys
