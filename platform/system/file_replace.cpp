#include "platform/system/file_replace.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/fd_io.h"

namespace quelvo::sys {
namespace {

std::string Folder(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// That of the file being replaced, else the default for new files under
// the current umask.
mode_t TargetMode(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string WrittenPath(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view content)
{
    if (path.empty()) return false;
    const std::string target = WrittenPath(path);
    std::string temp = Folder(target) + "/.Quelvo-save-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, TargetMode(target)) == 0;
    ok = ok && WriteFully(fd, content.data(), content.size()) == content.size();
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int reason = errno;
        ::unlink(temp.c_str());
        errno = reason;
    }
    return ok;
}

}  // namespace quelvo::sys
