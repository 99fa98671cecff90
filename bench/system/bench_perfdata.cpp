// The cost of one performance data block for every process, beside the
// least work that yields the same numbers: opening and reading
// /proc/N/stat of every process. Both run on the live process list and
// with 1,000 extra sleeping children, in alternating rounds.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/common/alternating.h"
#include "platform/system/registry.h"

namespace {

// Sleeping children, started on first need and ended at exit.
class SleepingChildren {
public:
    ~SleepingChildren() { Stop(); }

    void EnsureCount(int count)
    {
        while (static_cast<int>(pids_.size()) < count) {
            const pid_t pid = fork();
            if (pid == 0) {
                while (true) pause();
            }
            if (pid < 0) break;
            pids_.push_back(pid);
        }
    }

    void Stop()
    {
        for (const pid_t pid : pids_) kill(pid, SIGKILL);
        for (const pid_t pid : pids_) waitpid(pid, nullptr, 0);
        pids_.clear();
    }

private:
    std::vector<pid_t> pids_;
};

void PerformanceBlock(std::vector<BYTE>& block)
{
    DWORD size = static_cast<DWORD>(block.size());
    LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, block.data(), &size);
    if (result == ERROR_MORE_DATA) {
        block.resize(size * 2);
        size = static_cast<DWORD>(block.size());
        result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, block.data(), &size);
    }
    if (result != ERROR_SUCCESS) {
        std::fprintf(stderr, "query failed\n");
        std::exit(1);
    }
}

// The minimal loop: list /proc, read each stat, take the processor times
// and the start time.
long long MinimalStatLoop()
{
    long long total = 0;
    DIR* dir = opendir("/proc");
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
        char path[sizeof(entry->d_name) + 16];
        std::snprintf(path, sizeof(path), "/proc/%s/stat", entry->d_name);
        const int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        char buffer[1024];
        const ssize_t n = read(fd, buffer, sizeof(buffer) - 1);
        close(fd);
        if (n <= 0) continue;
        buffer[n] = '\0';
        const char* p = std::strrchr(buffer, ')');
        if (p == nullptr) continue;
        // Fields 14, 15 and 22 after the name (which ends field 2).
        int field = 2;
        for (; *p != '\0' && field < 22; ++p) {
            if (*p != ' ') continue;
            ++field;
            if (field == 14 || field == 15 || field == 22) total += std::strtoll(p + 1, nullptr, 10);
        }
    }
    closedir(dir);
    return total;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<BYTE> block(1 << 20);
    volatile long long sink = 0;
    SleepingChildren children;
    for (const int extra : {0, 1000}) {
        children.EnsureCount(extra);
        quelvo::bench::RunPairs(argc, argv,
                                {{"one performance block, " + std::to_string(extra) + " extra processes",
                                  {"performance block", [&] { PerformanceBlock(block); }},
                                  {"minimal stat loop", [&] { sink = MinimalStatLoop(); }},
                                  1.3}});
    }
    return 0;
}
