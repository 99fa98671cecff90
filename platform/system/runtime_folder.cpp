#include "platform/system/runtime_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quelvo::sys {
namespace {

RuntimeFolderResult Refuse(const std::string& path, const std::string& why)
{
    return RuntimeFolderResult{{}, "runtime folder " + path + ": " + why};
}

}  // namespace

RuntimeFolderResult RuntimeFolderFor(const std::string& xdgRuntimeDir, uid_t uid)
{
    // A relative XDG_RUNTIME_DIR is invalid by its own rules; ignore it.
    std::string path = !xdgRuntimeDir.empty() && xdgRuntimeDir.front() == '/'
                           ? xdgRuntimeDir + "/quelvo"
                           : "/tmp/quelvo-" + std::to_string(uid);

    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return Refuse(path, std::strerror(errno));
    }
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) return Refuse(path, std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return Refuse(path, "not a folder");
    if (st.st_uid != uid) return Refuse(path, "owned by another user");
    if ((st.st_mode & 0077) != 0 && chmod(path.c_str(), 0700) != 0) {
        return Refuse(path, std::string("cannot restrict its mode: ") + std::strerror(errno));
    }
    return RuntimeFolderResult{path, {}};
}

RuntimeFolderResult RuntimeFolder()
{
    const char* xdg = std::getenv("XDG_RUNTIME_DIR");
    return RuntimeFolderFor(xdg != nullptr ? xdg : "", geteuid());
}

}  // namespace quelvo::sys
