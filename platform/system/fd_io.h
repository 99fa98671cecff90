#pragma once
// Whole reads and writes on a file descriptor, retried after signals. Both
// only call read/write, so a forked child may use them before exec.

#include <cstddef>

namespace quelvo::sys {

// Writes until all size bytes are out or an error stops it; returns the
// count written.
std::size_t WriteFully(int fd, const void* data, std::size_t size);
// Reads until size bytes are in, the end of the file or an error; returns
// the count read. failed, when given, tells whether an error stopped it.
std::size_t ReadFully(int fd, void* data, std::size_t size, bool* failed = nullptr);

}  // namespace quelvo::sys
