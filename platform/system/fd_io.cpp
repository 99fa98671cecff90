#include "platform/system/fd_io.h"

#include <cerrno>
#include <unistd.h>

namespace quelvo::sys {

std::size_t WriteFully(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t ReadFully(int fd, void* data, std::size_t size, bool* failed)
{
    auto* bytes = static_cast<char*>(data);
    std::size_t done = 0;
    bool error = false;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = true;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    if (failed != nullptr) *failed = error;
    return done;
}

}  // namespace quelvo::sys
