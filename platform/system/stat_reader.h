#pragma once
// Reading the stat file of every process once per sample (internal to the
// system layer). One descriptor per process stays open between samples and
// is read again with pread at offset 0, in one read: a descriptor of a
// process that has gone fails (it never reads a new process that took the
// id over) and is closed. Whatever does not fit under the descriptor limit
// is opened, read and closed each time.

#include <cstddef>
#include <functional>
#include <sys/types.h>
#include <vector>

#include "platform/system/linux_proc.h"
#include "platform/system/unique_fd.h"

namespace quelvo::sys {

class ProcStatReader {
public:
    // Raises the soft limit of open files toward the hard one, so that
    // every process can keep its descriptor.
    ProcStatReader();

    // Calls f(pid, stat) for every process of the listing whose stat file
    // reads, in increasing id order (kernel threads and zombies included).
    void ForEach(const std::function<void(pid_t, const ProcStat&)>& f);

    std::size_t Kept() const { return kept_.size(); }
    std::size_t Budget() const { return budget_; }

private:
    struct Entry {
        pid_t pid = 0;
        UniqueFd fd;
    };
    // Reads one process that has no kept descriptor; keeps it when there
    // is room.
    bool ReadFresh(pid_t pid, ProcStat& stat);
    UniqueFd Open(pid_t pid);

    std::vector<Entry> kept_;  // by increasing id
    std::vector<Entry> next_;  // the kept descriptors of the sample under way
    std::vector<pid_t> listed_;
    std::size_t budget_ = 0;
};

}  // namespace quelvo::sys
