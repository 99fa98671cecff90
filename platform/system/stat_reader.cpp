#include "platform/system/stat_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>

namespace quelvo::sys {
namespace {

// Descriptors left for everything else the program opens.
constexpr rlim_t kReserve = 512;
constexpr rlim_t kMostKept = 1u << 16;
constexpr rlim_t kHighestLimit = 1u << 20;
constexpr std::size_t kBuffer = 1024;

std::size_t RaiseFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
    const rlim_t wanted = std::min(limit.rlim_max, kHighestLimit);
    if (limit.rlim_cur < wanted) {
        rlimit raised = limit;
        raised.rlim_cur = wanted;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY) return kMostKept;
    return limit.rlim_cur > kReserve ? static_cast<std::size_t>(std::min(limit.rlim_cur - kReserve, kMostKept)) : 0;
}

// One read from the start; a line that fills the buffer is read whole the
// slow way.
bool ReadKept(int fd, pid_t pid, ProcStat& stat)
{
    char buffer[kBuffer];
    ssize_t n = 0;
    do {
        n = pread(fd, buffer, sizeof(buffer), 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    if (static_cast<std::size_t>(n) == sizeof(buffer)) return ReadProcStat(pid, stat);
    return ParseProcStat(std::string_view(buffer, static_cast<std::size_t>(n)), stat, kSampleFields);
}

}  // namespace

ProcStatReader::ProcStatReader() : budget_(RaiseFileLimit()) {}

UniqueFd ProcStatReader::Open(pid_t pid)
{
    char path[32];
    std::snprintf(path, sizeof(path), "/proc/%d/stat", static_cast<int>(pid));
    UniqueFd fd(open(path, O_RDONLY | O_CLOEXEC));
    if (fd.Valid() || (errno != EMFILE && errno != ENFILE) || next_.empty()) return fd;
    // Out of descriptors after all: keep half as many from now on.
    budget_ = next_.size() / 2;
    next_.resize(budget_);
    return UniqueFd(open(path, O_RDONLY | O_CLOEXEC));
}

bool ProcStatReader::ReadFresh(pid_t pid, ProcStat& stat)
{
    UniqueFd fd = Open(pid);
    if (!fd.Valid() || !ReadKept(fd.Get(), pid, stat)) return false;
    if (next_.size() < budget_) next_.push_back({pid, std::move(fd)});
    return true;
}

void ProcStatReader::ForEach(const std::function<void(pid_t, const ProcStat&)>& f)
{
    listed_.clear();
    ForEachProcEntry([this](pid_t pid) { listed_.push_back(pid); });
    std::sort(listed_.begin(), listed_.end());
    next_.clear();
    auto old = kept_.begin();
    ProcStat stat;
    for (const pid_t pid : listed_) {
        // Kept descriptors of ids no longer listed close here.
        while (old != kept_.end() && old->pid < pid) ++old;
        bool read = false;
        if (old != kept_.end() && old->pid == pid) {
            if (ReadKept(old->fd.Get(), pid, stat)) {
                next_.push_back(std::move(*old));
                read = true;
            }
            ++old;
        }
        if (!read) read = ReadFresh(pid, stat);
        if (read) f(pid, stat);
    }
    kept_.swap(next_);
    next_.clear();
}

}  // namespace quelvo::sys
