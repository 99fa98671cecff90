#include "platform/system/linux_proc.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "platform/system/fd_io.h"

namespace quelvo::sys {
namespace {

// Reads a whole small file into buffer; returns the length or -1.
ssize_t ReadInto(const char* path, char* buffer, std::size_t size)
{
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    bool failed = false;
    const std::size_t total = ReadFully(fd, buffer, size, &failed);
    close(fd);
    return failed ? -1 : static_cast<ssize_t>(total);
}

bool ReadStatFile(const char* path, ProcStat& stat)
{
    char buffer[1024];
    const ssize_t n = ReadInto(path, buffer, sizeof(buffer));
    return n > 0 && ParseProcStat(std::string_view(buffer, static_cast<std::size_t>(n)), stat);
}

// Parses one unsigned or signed decimal field; advances past it.
bool NextField(std::string_view& rest, std::string_view& field)
{
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (rest.empty()) return false;
    const std::size_t end = rest.find(' ');
    field = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    return true;
}

template <class T>
bool ToNumber(std::string_view text, T& value)
{
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    unsigned long long result = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            if (c == '\n') break;
            return false;
        }
        result = result * 10 + static_cast<unsigned long long>(c - '0');
    }
    value = negative ? static_cast<T>(-static_cast<long long>(result)) : static_cast<T>(result);
    return true;
}

}  // namespace

bool ParseProcStat(std::string_view text, ProcStat& stat, int lastField)
{
    // "pid (comm) state ppid ...": the name may hold blanks and parentheses,
    // so it ends at the last ')'.
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) return false;
    stat = ProcStat{};
    if (!ToNumber(text.substr(0, open > 0 ? open - 1 : 0), stat.pid)) return false;
    const std::string_view comm = text.substr(open + 1, close - open - 1);
    std::memcpy(stat.comm, comm.data(), std::min(comm.size(), sizeof(stat.comm) - 1));

    std::string_view rest = text.substr(close + 1);
    std::string_view field;
    bool haveStart = false;
    // Field numbers as proc(5) counts them; the state is field 3.
    for (int number = 3; number <= lastField && NextField(rest, field); ++number) {
        switch (number) {
        case 3: stat.state = field.front(); break;
        case 4: ToNumber(field, stat.parentPid); break;
        case 9: ToNumber(field, stat.flags); break;
        case 14: ToNumber(field, stat.userTicks); break;
        case 15: ToNumber(field, stat.systemTicks); break;
        case 19: ToNumber(field, stat.nice); break;
        case 20: ToNumber(field, stat.threads); break;
        case 22: haveStart = ToNumber(field, stat.startTicks); break;
        case 52: ToNumber(field, stat.exitCode); break;
        default: break;
        }
    }
    return haveStart;
}

bool ReadProcStat(pid_t pid, ProcStat& stat)
{
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/stat", static_cast<int>(pid));
    return ReadStatFile(path, stat);
}

bool ReadTaskStat(pid_t pid, pid_t tid, ProcStat& stat)
{
    char path[80];
    std::snprintf(path, sizeof(path), "/proc/%d/task/%d/stat", static_cast<int>(pid), static_cast<int>(tid));
    return ReadStatFile(path, stat);
}

long TicksPerSecond()
{
    static const long ticks = [] {
        const long value = sysconf(_SC_CLK_TCK);
        return value > 0 ? value : 100;
    }();
    return ticks;
}

std::int64_t TicksTo100ns(std::uint64_t ticks)
{
    const auto perSecond = static_cast<std::uint64_t>(TicksPerSecond());
    // Whole seconds first, so large tick counts do not overflow.
    return static_cast<std::int64_t>((ticks / perSecond) * 10'000'000 + (ticks % perSecond) * 10'000'000 / perSecond);
}

std::string ReadExecutablePath(pid_t pid)
{
    char link[64];
    std::snprintf(link, sizeof(link), "/proc/%d/exe", static_cast<int>(pid));
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t n = readlink(link, buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
    return path;
}

bool ReadSmallFile(const char* path, std::string& text)
{
    char buffer[4096];
    const ssize_t n = ReadInto(path, buffer, sizeof(buffer));
    if (n < 0) return false;
    text.assign(buffer, static_cast<std::size_t>(n));
    return true;
}

}  // namespace quelvo::sys
