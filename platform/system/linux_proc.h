#pragma once
// Reading /proc (internal to the system layer). One read per file, into a
// stack buffer; nothing here allocates except the path texts returned.

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace quelvo::sys {

inline constexpr unsigned long kKernelThreadFlag = 0x00200000;  // PF_KTHREAD

struct ProcStat {
    pid_t pid = 0;
    char comm[16] = {};
    char state = '?';
    pid_t parentPid = 0;
    unsigned long flags = 0;
    std::uint64_t userTicks = 0;
    std::uint64_t systemTicks = 0;
    long nice = 0;
    long threads = 0;
    std::uint64_t startTicks = 0;  // since boot
    int exitCode = -1;             // wait status of a zombie; -1 when not readable
};

// The last field a sample needs (the start time); the exit code of a
// zombie comes later.
inline constexpr int kSampleFields = 22;

// Parses the text of /proc/N/stat (or /proc/N/task/T/stat), up to the
// field of that number (as proc(5) counts them).
bool ParseProcStat(std::string_view text, ProcStat& stat, int lastField = 52);
// Reads and parses /proc/<pid>/stat; false when the process is gone.
bool ReadProcStat(pid_t pid, ProcStat& stat);
bool ReadTaskStat(pid_t pid, pid_t tid, ProcStat& stat);

inline bool IsKernelThread(const ProcStat& stat) { return (stat.flags & kKernelThreadFlag) != 0; }
inline bool IsZombie(const ProcStat& stat) { return stat.state == 'Z' || stat.state == 'X' || stat.state == 'x'; }

// Clock ticks per second of the times in stat.
long TicksPerSecond();
std::int64_t TicksTo100ns(std::uint64_t ticks);

// The target of /proc/<pid>/exe without a trailing " (deleted)"; empty when
// it cannot be read.
std::string ReadExecutablePath(pid_t pid);

// Calls f(pid) for every numeric entry of /proc.
template <class F>
void ForEachProcEntry(F&& f);

// Reads a small file whole; false when it cannot be read.
bool ReadSmallFile(const char* path, std::string& text);

}  // namespace quelvo::sys

#include <dirent.h>

namespace quelvo::sys {

template <class F>
void ForEachProcEntry(F&& f)
{
    DIR* dir = opendir("/proc");
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] < '1' || name[0] > '9') continue;
        pid_t pid = 0;
        bool numeric = true;
        for (const char* p = name; *p != '\0'; ++p) {
            if (*p < '0' || *p > '9' || pid > 100'000'000) {
                numeric = false;
                break;
            }
            pid = pid * 10 + (*p - '0');
        }
        if (numeric) f(pid);
    }
    closedir(dir);
}

}  // namespace quelvo::sys
