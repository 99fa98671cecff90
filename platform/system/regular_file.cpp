#include "platform/system/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/system/fd_io.h"
#include "platform/system/unique_fd.h"

namespace quelvo::sys {
namespace {

constexpr int kNoBlock = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

bool IsRegular(int fd)
{
    struct stat st{};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::size_t limit, std::string& contents)
{
    const UniqueFd fd(open(path.c_str(), O_RDONLY | kNoBlock));
    if (!fd.Valid()) return {false, errno == ENOENT, std::strerror(errno)};
    struct stat st{};
    if (fstat(fd.Get(), &st) != 0) return {false, false, std::strerror(errno)};
    if (!S_ISREG(st.st_mode)) return {false, false, "not a regular file"};
    if (static_cast<std::size_t>(st.st_size) > limit) return {false, false, "too large"};
    contents.assign(static_cast<std::size_t>(st.st_size), '\0');
    bool failed = false;
    // A file that grew since fstat is read up to the size seen there.
    const std::size_t got = ReadFully(fd.Get(), contents.data(), contents.size(), &failed);
    if (failed) return {false, false, std::strerror(errno)};
    contents.resize(got);
    return {true, false, {}};
}

bool AppendToRegularFile(const std::string& path, const std::string& data)
{
    const UniqueFd fd(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | kNoBlock, 0666));
    if (!fd.Valid() || !IsRegular(fd.Get())) return false;
    return WriteFully(fd.Get(), data.data(), data.size()) == data.size();
}

}  // namespace quelvo::sys
