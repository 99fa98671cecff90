#include "platform/system/spawn.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/system/fd_io.h"
#include "platform/system/unique_fd.h"
#include "platform/system/winerror.h"

namespace quelvo::sys {
namespace {

bool WriteAll(int fd, const void* data, std::size_t size)
{
    return WriteFully(fd, data, size) == size;
}

bool MakePipe(UniqueFd& readEnd, UniqueFd& writeEnd)
{
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    readEnd = UniqueFd(fds[0]);
    writeEnd = UniqueFd(fds[1]);
    return true;
}

}  // namespace

DWORD ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ESRCH: return ERROR_INVALID_PARAMETER;
    case ENAMETOOLONG: return ERROR_INVALID_NAME;
    case ENOEXEC: return ERROR_BAD_FORMAT;
    default: return ERROR_INVALID_FUNCTION;
    }
}

std::string FindOnPath(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos) return {};
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t cut = rest.find(':');
        const std::string_view folder = rest.substr(0, cut);
        std::string candidate;
        candidate.reserve(folder.size() + name.size() + 2);
        candidate.append(folder.empty() ? std::string_view(".") : folder);
        candidate += '/';
        candidate += name;
        struct stat st{};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (cut == std::string_view::npos) return {};
        rest.remove_prefix(cut + 1);
    }
}

DWORD SpawnDetached(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& directory, pid_t& pid)
{
    // Everything the children need is prepared before fork: after it only
    // async-signal-safe calls are made.
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    const std::string firstArgument = arguments.empty() ? program : arguments.front();
    argv.push_back(const_cast<char*>(firstArgument.c_str()));
    for (std::size_t i = 1; i < arguments.size(); ++i) argv.push_back(const_cast<char*>(arguments[i].c_str()));
    argv.push_back(nullptr);
    const char* folder = directory.empty() ? nullptr : directory.c_str();

    UniqueFd pidRead;
    UniqueFd pidWrite;
    UniqueFd errorRead;
    UniqueFd errorWrite;
    if (!MakePipe(pidRead, pidWrite) || !MakePipe(errorRead, errorWrite)) return ErrorFromErrno(errno);

    const pid_t middle = fork();
    if (middle < 0) return ErrorFromErrno(errno);
    if (middle == 0) {
        const pid_t child = fork();
        if (child == 0) {
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            setsid();
#ifdef SYS_close_range
            // Descriptors of ours (locks among them) must not live on in
            // the program started.
            syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
#endif
            int error = 0;
            if (folder != nullptr && chdir(folder) != 0) {
                error = errno;
            } else {
                execv(program.c_str(), argv.data());
                error = errno;
            }
            WriteAll(errorWrite.Get(), &error, sizeof(error));
            _exit(127);
        }
        const pid_t reported = child;
        WriteAll(pidWrite.Get(), &reported, sizeof(reported));
        _exit(child < 0 ? 1 : 0);
    }

    pidWrite.Reset();
    errorWrite.Reset();
    int status = 0;
    while (waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    pid_t child = -1;
    if (ReadFully(pidRead.Get(), &child, sizeof(child)) != sizeof(child) || child <= 0) return ERROR_NOT_ENOUGH_MEMORY;
    int error = 0;
    if (ReadFully(errorRead.Get(), &error, sizeof(error)) == sizeof(error)) return ErrorFromErrno(error);
    pid = child;
    return ERROR_SUCCESS;
}

}  // namespace quelvo::sys
