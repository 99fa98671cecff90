#include "platform/system/runtime_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quelvo::sys {
namespace {

constexpr const char* kRuntime = "runtime folder ";
constexpr const char* kState = "state folder ";

RuntimeFolderResult Refuse(const char* kind, const std::string& path, const std::string& why)
{
    return RuntimeFolderResult{{}, kind + path + ": " + why};
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A real folder of this user that no one else may write to.
bool OwnedAndClosed(const std::string& path, uid_t uid)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid && (st.st_mode & 0022) == 0;
}

// Creates the missing folders above path (mode 0700).
void MakeParents(const std::string& path)
{
    for (std::size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        mkdir(path.substr(0, at).c_str(), 0700);
}

// Makes or checks one private folder of the user.
RuntimeFolderResult PrivateFolder(const std::string& path, uid_t uid, const char* kind = kRuntime)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return Refuse(kind, path, std::strerror(errno));
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) return Refuse(kind, path, std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) return Refuse(kind, path, "not a folder");
    if (st.st_uid != uid) return Refuse(kind, path, "owned by another user");
    if ((st.st_mode & 0077) != 0 && chmod(path.c_str(), 0700) != 0) {
        return Refuse(kind, path, std::string("cannot restrict its mode: ") + std::strerror(errno));
    }
    return RuntimeFolderResult{path, {}};
}

std::string StateFolderPath(const UserPlaces& places)
{
    if (IsAbsolute(places.xdgStateHome)) return places.xdgStateHome + "/quelvo";
    if (IsAbsolute(places.home)) return places.home + "/.local/state/quelvo";
    return {};
}

}  // namespace

std::string HomeFolderOf(uid_t uid)
{
    std::string home = Environment("HOME");
    if (IsAbsolute(home)) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        IsAbsolute(found->pw_dir))
        return found->pw_dir;
    return {};
}

UserPlaces PlacesFromEnvironment(uid_t uid)
{
    UserPlaces places;
    places.xdgRuntimeDir = Environment("XDG_RUNTIME_DIR");
    places.xdgStateHome = Environment("XDG_STATE_HOME");
    places.home = HomeFolderOf(uid);
    return places;
}

RuntimeFolderResult StateFolderFor(const UserPlaces& places, uid_t uid)
{
    const std::string path = StateFolderPath(places);
    if (path.empty()) return RuntimeFolderResult{{}, "state folder: no home folder"};
    MakeParents(path);
    return PrivateFolder(path, uid, kState);
}

RuntimeFolderResult RuntimeFolderFor(const UserPlaces& places, uid_t uid)
{
    // A relative XDG_RUNTIME_DIR is invalid by its own rules; ignore it.
    if (IsAbsolute(places.xdgRuntimeDir)) return PrivateFolder(places.xdgRuntimeDir + "/quelvo", uid);
    const std::string system = places.runUser + "/" + std::to_string(uid);
    if (OwnedAndClosed(system, uid)) {
        if (RuntimeFolderResult made = PrivateFolder(system + "/quelvo", uid)) return made;
    }
    if (const RuntimeFolderResult state = StateFolderFor(places, uid)) {
        if (RuntimeFolderResult made = PrivateFolder(state.path + "/run", uid)) return made;
    }
    // The last resort: anyone may have made this one first, and is refused.
    return PrivateFolder(places.tmp + "/quelvo-" + std::to_string(uid), uid);
}

RuntimeFolderResult RuntimeFolderFor(const std::string& xdgRuntimeDir, uid_t uid)
{
    UserPlaces places = PlacesFromEnvironment(uid);
    places.xdgRuntimeDir = xdgRuntimeDir;
    return RuntimeFolderFor(places, uid);
}

RuntimeFolderResult RuntimeFolder()
{
    const uid_t uid = geteuid();
    return RuntimeFolderFor(PlacesFromEnvironment(uid), uid);
}

RuntimeFolderResult StateFolder()
{
    const uid_t uid = geteuid();
    return StateFolderFor(PlacesFromEnvironment(uid), uid);
}

}  // namespace quelvo::sys
