// The default backend: the running Linux system.

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/system/backend.h"
#include "platform/system/command_line.h"
#include "platform/system/linux_proc.h"
#include "platform/system/linux_process.h"
#include "platform/system/paths.h"
#include "platform/system/registry_store.h"
#include "platform/system/runtime_folder.h"
#include "platform/system/shell.h"
#include "platform/system/spawn.h"
#include "platform/system/stat_reader.h"
#include "platform/system/unique_fd.h"
#include "platform/system/winbase.h"

namespace quelvo::sys {
namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string HomeFolder() { return HomeFolderOf(geteuid()); }

// A folder below the home folder; "" without a home, rather than a path
// below the root that is nobody's.
std::string BelowHome(const char* relative)
{
    const std::string home = HomeFolder();
    return home.empty() ? home : home + "/" + relative;
}

// An XDG base folder: the variable when it is an absolute path, else the
// default below the home folder.
std::string XdgFolder(const char* variable, const char* fallbackBelowHome)
{
    std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/') return value;
    return BelowHome(fallbackBelowHome);
}

std::int64_t ClockIn100ns(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 10'000'000 + ts.tv_nsec / 100;
}

// Processes as the system lists them: neither kernel threads nor zombies.
template <class F>
void ForEachUserProcess(F&& f)
{
    ForEachProcEntry([&f](pid_t pid) {
        ProcStat stat;
        if (ReadProcStat(pid, stat) && !IsKernelThread(stat) && !IsZombie(stat)) f(pid, stat);
    });
}

std::string BaseNameOf(const std::string& path)
{
    const std::size_t cut = path.rfind(kPathSeparator);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

class LinuxMutex final : public NamedMutexState {
public:
    LinuxMutex(UniqueFd session, UniqueFd user) : session_(std::move(session)), user_(std::move(user)) {}

private:
    UniqueFd session_;  // closing them drops the locks
    UniqueFd user_;
};

// Names may hold any character: keep the harmless ones, escape the rest.
std::string Escaped(const std::string& name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string file;
    for (const unsigned char c : name) {
        if (std::isalnum(c) || c == '_' || c == '-' || c == '.') {
            file += static_cast<char>(c);
        } else {
            file += '%';
            file += kHex[c >> 4];
            file += kHex[c & 0xF];
        }
    }
    return file;
}

bool IsExecutableFile(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0;
}

// "scheme:..." with a scheme of letters, digits, '+', '-', '.'.
bool LooksLikeUrl(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!(std::isalnum(c) || c == '+' || c == '-' || c == '.')) return false;
    }
    return std::isalpha(static_cast<unsigned char>(text[0])) != 0;
}

std::string MutexFileName(const std::string& name) { return "mutex." + Escaped(name); }

std::string HostName()
{
    char host[256] = {};
    if (gethostname(host, sizeof(host) - 1) != 0) return "localhost";
    return host;
}

// Takes the lock of one file without waiting: the descriptor holds it;
// taken tells whether another holder has it.
DWORD LockFile(const std::string& path, UniqueFd& fd, bool& taken)
{
    fd = UniqueFd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid()) return ErrorFromErrno(errno);
    int result = 0;
    do {
        result = flock(fd.Get(), LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno != EWOULDBLOCK) return ErrorFromErrno(errno);
    taken = result != 0;
    return ERROR_SUCCESS;
}

std::string InFolder(const std::string& folder, const std::string& file)
{
    if (!file.empty() && file.front() == '/') return file;
    if (folder.empty()) return file;
    return folder.back() == '/' ? folder + file : folder + "/" + file;
}

int ShellCode(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return 42;
    case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
    case ERROR_PATH_NOT_FOUND: return SE_ERR_PNF;
    case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
    case ERROR_NOT_ENOUGH_MEMORY: return SE_ERR_OOM;
    default: return SE_ERR_NOASSOC;
    }
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
        ForEachUserProcess([&pids](pid_t pid, const ProcStat&) { pids.push_back(static_cast<DWORD>(pid)); });
        return ERROR_SUCCESS;
    }

    DWORD SnapshotProcesses(std::vector<ProcessEntry>& entries) override
    {
        entries.clear();
        ForEachUserProcess([&entries](pid_t pid, const ProcStat& stat) {
            std::string path = ReadExecutablePath(pid);
            entries.push_back({static_cast<DWORD>(pid), static_cast<DWORD>(stat.parentPid),
                               static_cast<DWORD>(stat.threads), path.empty() ? stat.comm : BaseNameOf(path)});
        });
        return ERROR_SUCCESS;
    }

    DWORD OpenProcess(DWORD pid, DWORD access, std::unique_ptr<ProcessHandleState>& handle) override
    {
        return OpenLinuxProcess(pid, access, handle);
    }

    DWORD ReadPriorityClass(DWORD pid, DWORD& priorityClass) override
    {
        return ReadLinuxPriorityClass(pid, priorityClass);
    }

    DWORD SampleProcesses(std::vector<ProcessSample>& samples, std::int64_t& perfTime100ns,
                          std::int64_t& now100ns) override
    {
        samples.clear();
        perfTime100ns = ClockIn100ns(CLOCK_MONOTONIC);
        now100ns = ClockIn100ns(CLOCK_BOOTTIME);
        // Once a second in the tray: the descriptors stay open between samples.
        const std::lock_guard lock(statMutex_);
        statReader_.ForEach([&samples](pid_t pid, const ProcStat& stat) {
            if (IsKernelThread(stat) || IsZombie(stat)) return;
            ProcessSample& sample = samples.emplace_back();
            sample.pid = static_cast<DWORD>(pid);
            sample.cpuTime100ns = TicksTo100ns(stat.userTicks + stat.systemTicks);
            sample.startTime100ns = TicksTo100ns(stat.startTicks);
            std::memcpy(sample.name, stat.comm, sizeof(sample.name));
        });
        return ERROR_SUCCESS;
    }

    std::shared_ptr<RegistryStore> Registry() override { return registry_; }

    // A named mutex is a lock in the runtime folder (one per session, as the
    // name's scope was) and one in the state folder, named for this machine,
    // so that sessions of the same user with different runtime folders (a
    // desktop and an ssh login) still share it.
    DWORD CreateNamedMutex(const std::string& name, std::unique_ptr<NamedMutexState>& mutex,
                           bool& alreadyExists) override
    {
        const std::string file = MutexFileName(name);
        if (file.size() > 240) return ERROR_INVALID_NAME;
        const RuntimeFolderResult folder = RuntimeFolder();
        if (!folder) return ERROR_ACCESS_DENIED;
        UniqueFd session;
        bool sessionTaken = false;
        if (const DWORD error = LockFile(folder.path + "/" + file, session, sessionTaken); error != ERROR_SUCCESS)
            return error;
        UniqueFd user;
        bool userTaken = false;
        // Without a usable state folder the session's lock is all there is.
        if (const RuntimeFolderResult state = StateFolder()) {
            const std::string userFile = (file + "@" + Escaped(HostName())).substr(0, 250);
            if (LockFile(state.path + "/" + userFile, user, userTaken) != ERROR_SUCCESS) user.Reset();
        }
        alreadyExists = sessionTaken || userTaken;
        mutex = std::make_unique<LinuxMutex>(std::move(session), std::move(user));
        return ERROR_SUCCESS;
    }

    int AdoptPriorityJournal() override
    {
        const RuntimeFolderResult state = StateFolder();
        if (!state) return -1;
        // Process ids belong to this machine, whatever shares the home folder.
        return AdoptLinuxPriorityJournal(state.path + "/lowered@" + Escaped(HostName()));
    }
    void ClosePriorityJournal() override { CloseLinuxPriorityJournal(); }

    std::string SelfExecutablePath() override { return ReadExecutablePath(getpid()); }
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

    int ShellExecute(const ShellRequest& request) override
    {
        const std::string folder = request.directory.empty() ? CurrentDirectory() : request.directory;
        std::string target = InFolder(folder, request.file);
        if (!Exists(target)) {
            if (LooksLikeUrl(request.file)) return OpenWithDesktop(request.file);
            target = FindOnPath(request.file);
            if (target.empty()) return SE_ERR_FNF;
        }
        if (!IsExecutableFile(target)) return OpenWithDesktop(target);
        std::vector<std::string> arguments{target};
        for (std::string& parameter : SplitParameters(request.parameters)) arguments.push_back(std::move(parameter));
        pid_t pid = 0;
        return ShellCode(SpawnDetached(target, arguments, request.directory, pid));
    }

    DWORD CreateProcess(const CreateProcessRequest& request, DWORD& pid) override
    {
        std::vector<std::string> arguments = SplitParameters(request.commandLine);
        std::string program = request.application;
        if (program.empty()) {
            if (arguments.empty()) return ERROR_FILE_NOT_FOUND;
            program = arguments.front();
        }
        if (arguments.empty()) arguments.push_back(program);
        const std::string folder = request.directory.empty() ? CurrentDirectory() : request.directory;
        std::string path = InFolder(folder, program);
        if (!Exists(path) && program.find('/') == std::string::npos) path = FindOnPath(program);
        if (path.empty() || !Exists(path)) return ERROR_FILE_NOT_FOUND;
        if (!IsExecutableFile(path)) return ERROR_ACCESS_DENIED;
        pid_t started = 0;
        const DWORD error = SpawnDetached(path, arguments, request.directory, started);
        if (error == ERROR_SUCCESS) pid = static_cast<DWORD>(started);
        return error;
    }

    std::string SpecialFolder(int csidl) override
    {
        switch (csidl) {
        case CSIDL_STARTUP: {
            const std::string config = XdgFolder("XDG_CONFIG_HOME", ".config");
            return config.empty() ? config : config + "/autostart";
        }
        case CSIDL_APPDATA: return XdgFolder("XDG_CONFIG_HOME", ".config");
        case CSIDL_LOCAL_APPDATA: return XdgFolder("XDG_DATA_HOME", ".local/share");
        case CSIDL_PERSONAL: return HomeFolder();
        case CSIDL_DESKTOP:
        case CSIDL_DESKTOPDIRECTORY: return BelowHome("Desktop");
        default: return {};
        }
    }

private:
    // Documents and addresses go to the desktop's opener.
    static int OpenWithDesktop(const std::string& target)
    {
        const std::string opener = FindOnPath("xdg-open");
        if (opener.empty()) return SE_ERR_NOASSOC;
        pid_t pid = 0;
        return ShellCode(SpawnDetached(opener, {opener, target}, {}, pid));
    }

    std::shared_ptr<RegistryStore> registry_;
    std::mutex statMutex_;
    ProcStatReader statReader_;
};

}  // namespace

SystemBackend& LinuxBackend()
{
    static LinuxSystem system;
    return system;
}

}  // namespace quelvo::sys
