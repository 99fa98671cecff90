// The default backend: the running Linux system.

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/backend.h"
#include "platform/system/registry_store.h"
#include "platform/system/shell.h"
#include "platform/system/winbase.h"

namespace quelvo::sys {
namespace {

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ESRCH: return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    default: return ERROR_INVALID_FUNCTION;
    }
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string HomeFolder()
{
    std::string home = Environment("HOME");
    return home.empty() ? "/" : home;
}

// An XDG base folder: the variable when it is an absolute path, else the
// default below the home folder.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome)
{
    std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/') return value;
    return HomeFolder() + "/" + fallbackBelowHome;
}

class LinuxSystem final : public SystemBackend {
public:
    LinuxSystem() : registry_(std::make_shared<RegistryStore>()) { registry_->AddDefaultKeys(); }

    DWORD ProcessorCount() override
    {
        const long count = sysconf(_SC_NPROCESSORS_ONLN);
        return count > 0 ? static_cast<DWORD>(count) : 1;
    }
    DWORD CurrentProcessId() override { return static_cast<DWORD>(getpid()); }
    bool LibraryPresent(const std::string&) override { return true; }

    DWORD ListProcesses(std::vector<DWORD>& pids) override
    {
        pids.clear();
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    DWORD SnapshotProcesses(std::vector<ProcessEntry>& entries) override
    {
        entries.clear();
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    DWORD OpenProcess(DWORD, DWORD, std::unique_ptr<ProcessHandleState>&) override
    {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    DWORD SampleProcesses(std::vector<ProcessSample>& samples, std::int64_t&, std::int64_t&) override
    {
        samples.clear();
        return ERROR_CALL_NOT_IMPLEMENTED;
    }

    std::shared_ptr<RegistryStore> Registry() override { return registry_; }
    DWORD CreateNamedMutex(const std::string&, std::unique_ptr<NamedMutexState>&, bool&) override
    {
        return ERROR_CALL_NOT_IMPLEMENTED;
    }

    std::string SelfExecutablePath() override
    {
        char buffer[PATH_MAX + 1] = {};
        const ssize_t n = readlink("/proc/self/exe", buffer, PATH_MAX);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }
    DWORD SetCurrentDirectory(const std::string& path) override
    {
        return chdir(path.c_str()) == 0 ? ERROR_SUCCESS : ErrorFromErrno(errno);
    }
    std::string CurrentDirectory() override
    {
        char buffer[PATH_MAX + 1] = {};
        return getcwd(buffer, sizeof(buffer)) != nullptr ? std::string(buffer) : std::string();
    }
    DWORD FileAttributes(const std::string& path, DWORD& error) override
    {
        struct stat st{};
        if (stat(path.c_str(), &st) != 0) {
            error = ErrorFromErrno(errno);
            return INVALID_FILE_ATTRIBUTES;
        }
        DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
        if (access(path.c_str(), W_OK) != 0) attributes |= FILE_ATTRIBUTE_READONLY;
        const std::size_t slash = path.find_last_of('/');
        const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
        if (nameAt < path.size() && path[nameAt] == '.' && path != "." && path != "..") {
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        }
        return attributes;
    }

    int ShellExecute(const ShellRequest&) override { return SE_ERR_NOASSOC; }
    DWORD CreateProcess(const CreateProcessRequest&, DWORD&) override { return ERROR_CALL_NOT_IMPLEMENTED; }

    std::string SpecialFolder(int csidl) override
    {
        switch (csidl) {
        case CSIDL_STARTUP: return XdgFolder("XDG_CONFIG_HOME", ".config") + "/autostart";
        case CSIDL_APPDATA: return XdgFolder("XDG_CONFIG_HOME", ".config");
        case CSIDL_LOCAL_APPDATA: return XdgFolder("XDG_DATA_HOME", ".local/share");
        case CSIDL_PERSONAL: return HomeFolder();
        case CSIDL_DESKTOP:
        case CSIDL_DESKTOPDIRECTORY: return HomeFolder() + "/Desktop";
        default: return {};
        }
    }

private:
    std::shared_ptr<RegistryStore> registry_;
};

}  // namespace

SystemBackend& LinuxBackend()
{
    static LinuxSystem system;
    return system;
}

}  // namespace quelvo::sys
