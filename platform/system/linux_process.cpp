#include "platform/system/linux_process.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <sched.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/system/file_replace.h"
#include "platform/system/linux_proc.h"
#include "platform/system/priority_map.h"
#include "platform/system/regular_file.h"
#include "platform/system/unique_fd.h"
#include "platform/system/winbase.h"

namespace quelvo::sys {
namespace {

constexpr int kCapSysNice = 23;
// A process that keeps starting threads cannot hold the walk forever.
constexpr int kMaxThreadWalks = 64;

int PidfdOpen(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

int PidfdSendSignal(int pidfd, int signal)
{
#ifdef SYS_pidfd_send_signal
    return static_cast<int>(syscall(SYS_pidfd_send_signal, pidfd, signal, nullptr, 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

bool HaveCapSysNice()
{
    std::string status;
    if (!ReadSmallFile("/proc/self/status", status)) return false;
    const std::size_t at = status.find("CapEff:");
    if (at == std::string::npos) return false;
    const unsigned long long caps = std::strtoull(status.c_str() + at + 7, nullptr, 16);
    return (caps >> kCapSysNice) & 1u;
}

// Real and effective user ids of a process.
bool ProcessUids(pid_t pid, uid_t& real, uid_t& effective)
{
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/status", static_cast<int>(pid));
    std::string status;
    if (!ReadSmallFile(path, status)) return false;
    const std::size_t at = status.find("\nUid:");
    if (at == std::string::npos) return false;
    unsigned long r = 0;
    unsigned long e = 0;
    if (std::sscanf(status.c_str() + at + 5, "%lu %lu", &r, &e) != 2) return false;
    real = static_cast<uid_t>(r);
    effective = static_cast<uid_t>(e);
    return true;
}

// The thread group (process) a task id belongs to; 0 when unknown.
pid_t ThreadGroupOf(pid_t pid)
{
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/status", static_cast<int>(pid));
    std::string status;
    if (!ReadSmallFile(path, status)) return 0;
    const std::size_t at = status.find("\nTgid:");
    return at == std::string::npos ? 0 : static_cast<pid_t>(std::atoi(status.c_str() + at + 6));
}

// The soft RLIMIT_NICE of a process (the lowest nice it may be given is
// 20 - limit); RLIM_INFINITY when unlimited.
rlim_t NiceLimit(pid_t pid)
{
    rlimit limit{};
    if (prlimit(pid, RLIMIT_NICE, nullptr, &limit) == 0) return limit.rlim_cur;
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/limits", static_cast<int>(pid));
    std::string text;
    if (!ReadSmallFile(path, text)) return 0;
    const std::size_t at = text.find("Max nice priority");
    if (at == std::string::npos) return 0;
    char soft[32] = {};
    if (std::sscanf(text.c_str() + at + 17, "%31s", soft) != 1) return 0;
    if (std::strcmp(soft, "unlimited") == 0) return RLIM_INFINITY;
    return static_cast<rlim_t>(std::strtoull(soft, nullptr, 10));
}

std::vector<pid_t> ThreadsOf(pid_t pid)
{
    std::vector<pid_t> tids;
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/task", static_cast<int>(pid));
    DIR* dir = opendir(path);
    if (dir == nullptr) return tids;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] >= '0' && entry->d_name[0] <= '9') tids.push_back(std::atoi(entry->d_name));
    }
    closedir(dir);
    return tids;
}

bool ThreadNice(pid_t tid, int& nice)
{
    errno = 0;
    const int value = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (value == -1 && errno != 0) return false;
    nice = value;
    return true;
}

// ---- Autogroups ----

bool AutogroupEnabled()
{
    std::string text;
    return ReadSmallFile("/proc/sys/kernel/sched_autogroup_enabled", text) && !text.empty() && text[0] == '1';
}

// "/autogroup-123 nice 0": the group's name and nice value.
bool ReadAutogroup(pid_t pid, std::string& group, int& nice)
{
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/autogroup", static_cast<int>(pid));
    std::string text;
    if (!ReadSmallFile(path, text)) return false;
    char name[64] = {};
    if (std::sscanf(text.c_str(), "%63s nice %d", name, &nice) != 2) return false;
    group = name;
    return true;
}

bool AloneInAutogroup(pid_t pid, const std::string& group)
{
    bool alone = true;
    ForEachProcEntry([&](pid_t other) {
        if (!alone || other == pid) return;
        std::string otherGroup;
        int otherNice = 0;
        if (ReadAutogroup(other, otherGroup, otherNice) && otherGroup == group) alone = false;
    });
    return alone;
}

bool WriteAutogroupNice(pid_t pid, int nice)
{
    char path[64];
    std::snprintf(path, sizeof(path), "/proc/%d/autogroup", static_cast<int>(pid));
    FILE* file = std::fopen(path, "we");
    if (file == nullptr) return false;
    const bool ok = std::fprintf(file, "%d", nice) > 0;
    return std::fclose(file) == 0 && ok;
}

// ---- Remembered priorities ----

struct SavedPriority {
    DWORD originalClass = 0;
    DWORD setClass = 0;  // the class given last, while it differs from the original
    std::map<pid_t, int> threadNice;
    std::optional<int> autogroupNice;
};

using PriorityKey = std::pair<pid_t, std::uint64_t>;  // id and start time

// The journal's form: one process a line,
// "pid start set-class original-class autogroup-nice|- tid:nice...".
std::string JournalText(const std::map<PriorityKey, SavedPriority>& byProcess)
{
    std::string text;
    for (const auto& [key, saved] : byProcess) {
        text += std::to_string(key.first) + ' ' + std::to_string(key.second) + ' ' + std::to_string(saved.setClass) +
                ' ' + std::to_string(saved.originalClass) + ' ' +
                (saved.autogroupNice ? std::to_string(*saved.autogroupNice) : std::string("-"));
        for (const auto& [tid, nice] : saved.threadNice)
            text += ' ' + std::to_string(tid) + ':' + std::to_string(nice);
        text += '\n';
    }
    return text;
}

// One journal line; false for anything not written by JournalText.
bool ParseJournalLine(const std::string& line, PriorityKey& key, SavedPriority& saved)
{
    std::istringstream in(line);
    long long pid = 0;
    std::string autogroup;
    if (!(in >> pid >> key.second >> saved.setClass >> saved.originalClass >> autogroup)) return false;
    if (pid <= 0 || pid > INT_MAX) return false;
    key.first = static_cast<pid_t>(pid);
    if (autogroup != "-") {
        char* end = nullptr;
        const long nice = std::strtol(autogroup.c_str(), &end, 10);
        if (*end != '\0' || nice < -20 || nice > 19) return false;
        saved.autogroupNice = static_cast<int>(nice);
    }
    for (std::string pair; in >> pair;) {
        int tid = 0;
        int nice = 0;
        char tail = 0;
        if (std::sscanf(pair.c_str(), "%d:%d%c", &tid, &nice, &tail) != 2 || tid <= 0 || nice < -20 || nice > 19)
            return false;
        saved.threadNice[tid] = nice;
    }
    return true;
}

struct PriorityMemory {
    std::mutex mutex;
    std::map<PriorityKey, SavedPriority> byProcess;
    std::string journal;  // the file kept up to date; "" for none

    // Forgets processes that have gone.
    void Prune()
    {
        std::erase_if(byProcess, [](const auto& entry) {
            ProcStat stat;
            return !ReadProcStat(entry.first.first, stat) || stat.startTicks != entry.first.second;
        });
    }

    // Rewritten whole and atomically after every change, so that whatever
    // ends this program, the file tells what it had lowered.
    void Write() const
    {
        if (!journal.empty()) ReplaceFileContents(journal, JournalText(byProcess));
    }
};

PriorityMemory& Memory()
{
    static PriorityMemory memory;
    return memory;
}

// Sets every thread, walking the task list again until no new thread
// appears. niceOf gives the value for a thread.
template <class NiceOf>
DWORD SetAllThreads(pid_t pid, NiceOf&& niceOf)
{
    std::set<pid_t> done;
    DWORD error = ERROR_SUCCESS;
    for (int walk = 0; walk < kMaxThreadWalks; ++walk) {
        bool found = false;
        for (const pid_t tid : ThreadsOf(pid)) {
            if (!done.insert(tid).second) continue;
            found = true;
            if (setpriority(PRIO_PROCESS, static_cast<id_t>(tid), niceOf(tid)) != 0 && errno != ESRCH) {
                error = ERROR_ACCESS_DENIED;
            }
        }
        if (!found) return done.empty() ? ERROR_INVALID_HANDLE : error;
    }
    return error;
}

// The class of a scheduling policy (as sched_getscheduler gives it, with
// the reset-on-fork flag that may be set on it) and a nice value.
DWORD ClassOfScheduling(int policy, long nice)
{
    policy &= ~SCHED_RESET_ON_FORK;
    if (policy == SCHED_FIFO || policy == SCHED_RR) return REALTIME_PRIORITY_CLASS;
    if (policy == SCHED_IDLE) return IDLE_PRIORITY_CLASS;
    return ClassOfNice(nice);
}

// One thread's scheduling attributes as sched_getattr fills them, in the
// first layout, which every kernel that has the call knows.
struct SchedulingAttributes {
    std::uint32_t size = sizeof(SchedulingAttributes);
    std::uint32_t policy = 0;
    std::uint64_t flags = 0;
    std::int32_t nice = 0;
    std::uint32_t priority = 0;
    std::uint64_t runtime = 0;
    std::uint64_t deadline = 0;
    std::uint64_t period = 0;
};

// A thread's policy and nice value: in one call where the kernel has it, in
// two where it has not or a filter refuses it.
bool ReadScheduling(pid_t tid, int& policy, int& nice)
{
#ifdef SYS_sched_getattr
    SchedulingAttributes attributes;
    if (syscall(SYS_sched_getattr, tid, &attributes, sizeof(attributes), 0) == 0) {
        policy = static_cast<int>(attributes.policy);
        nice = attributes.nice;
        return true;
    }
    if (errno != ENOSYS && errno != EPERM) return false;
#endif
    policy = sched_getscheduler(tid);
    return policy >= 0 && ThreadNice(tid, nice);
}

// The class a process has now, by its main thread's policy and nice value.
DWORD ClassOf(pid_t pid, const ProcStat& stat) { return ClassOfScheduling(sched_getscheduler(pid), stat.nice); }

// Gives every thread its saved nice value back (threads started since get
// the main thread's).
DWORD RestoreSaved(pid_t pid, const SavedPriority& saved)
{
    const auto mainNice = saved.threadNice.find(pid);
    const int fallback = mainNice != saved.threadNice.end() ? mainNice->second : NiceOfClass(saved.originalClass);
    const DWORD error = SetAllThreads(pid, [&saved, fallback](pid_t tid) {
        const auto found = saved.threadNice.find(tid);
        return found != saved.threadNice.end() ? found->second : fallback;
    });
    if (saved.autogroupNice) WriteAutogroupNice(pid, *saved.autogroupNice);
    return error;
}

// ---- The handle ----

class LinuxProcessHandle final : public ProcessHandleState {
public:
    LinuxProcessHandle(pid_t pid, DWORD access, std::uint64_t startTicks, UniqueFd pidfd)
        : ProcessHandleState(static_cast<DWORD>(pid), access), startTicks_(startTicks), pidfd_(std::move(pidfd))
    {
    }

    DWORD ImagePath(std::string& path) override
    {
        ProcStat stat;
        if (!Running(stat)) return ERROR_INVALID_HANDLE;
        path = ReadExecutablePath(Id());
        if (path.empty()) path = stat.comm;
        // The id may have been reused while the link was read.
        return Running(stat) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }

    DWORD PriorityClass(DWORD& priorityClass) override
    {
        ProcStat stat;
        if (!Running(stat)) return ERROR_INVALID_HANDLE;
        priorityClass = ClassOf(Id(), stat);
        return ERROR_SUCCESS;
    }

    DWORD SetPriorityClass(DWORD priorityClass) override
    {
        DWORD current = 0;
        if (const DWORD error = PriorityClass(current); error != ERROR_SUCCESS) return error;
        PriorityMemory& memory = Memory();
        std::lock_guard lock(memory.mutex);
        const auto key = std::make_pair(Id(), startTicks_);
        auto it = memory.byProcess.find(key);
        if (it == memory.byProcess.end()) {
            if (priorityClass == current) return ERROR_SUCCESS;
            memory.Prune();
            it = memory.byProcess.emplace(key, Remember(current)).first;
        }
        SavedPriority& saved = it->second;
        DWORD error = ERROR_SUCCESS;
        if (priorityClass == saved.originalClass) {
            error = RestoreSaved(Id(), saved);
            if (error == ERROR_SUCCESS) memory.byProcess.erase(it);
            memory.Write();
        } else {
            // On record before it is done: ended in between, the next run
            // finds the process not at that class and leaves it alone.
            saved.setClass = priorityClass;
            memory.Write();
            const int nice = NiceOfClass(priorityClass);
            error = SetAllThreads(Id(), [nice](pid_t) { return nice; });
            if (saved.autogroupNice) WriteAutogroupNice(Id(), nice);
        }
        ProcStat stat;
        if (!Running(stat)) return ERROR_INVALID_HANDLE;
        return error;
    }

    DWORD Terminate(UINT exitCode) override
    {
        const DWORD error = Signal(SIGKILL);
        if (error == ERROR_SUCCESS) terminatedWith_ = exitCode;
        return error;
    }

    DWORD RequestClose() override { return Signal(SIGTERM); }

    DWORD Wait(DWORD milliseconds, bool& ended) override
    {
        ProcStat stat;
        if (pidfd_.Valid()) {
            pollfd entry{pidfd_.Get(), POLLIN, 0};
            const int timeout = milliseconds == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(milliseconds, INT_MAX));
            int result = 0;
            do {
                result = poll(&entry, 1, timeout);
            } while (result < 0 && errno == EINTR);
            if (result < 0) return ERROR_INVALID_HANDLE;
            ended = result > 0;
            return ERROR_SUCCESS;
        }
        // Without a process descriptor: look every few milliseconds.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (true) {
            if (!Running(stat)) {
                ended = true;
                return ERROR_SUCCESS;
            }
            if (milliseconds != INFINITE && std::chrono::steady_clock::now() >= deadline) {
                ended = false;
                return ERROR_SUCCESS;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    DWORD ExitCode(DWORD& exitCode) override
    {
        ProcStat stat;
        const bool same = ReadProcStat(Id(), stat) && stat.startTicks == startTicks_;
        if (same && !IsZombie(stat)) {
            exitCode = STILL_ACTIVE;
            return ERROR_SUCCESS;
        }
        if (terminatedWith_) {
            exitCode = *terminatedWith_;
        } else if (same && stat.exitCode >= 0) {
            // A wait status: the exit status, or 128 + the signal.
            const int status = stat.exitCode;
            exitCode = (status & 0x7F) == 0 ? static_cast<DWORD>((status >> 8) & 0xFF)
                                            : static_cast<DWORD>(128 + (status & 0x7F));
        } else {
            exitCode = 0;  // reaped by its parent: the status is gone
        }
        return ERROR_SUCCESS;
    }

private:
    // Through the pidfd where there is one, so a reused id is never hit.
    DWORD Signal(int signal)
    {
        ProcStat stat;
        if (!Running(stat)) return ERROR_ACCESS_DENIED;  // it has ended already
        const int result = pidfd_.Valid() ? PidfdSendSignal(pidfd_.Get(), signal) : kill(Id(), signal);
        return result == 0 ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    }

    pid_t Id() const { return static_cast<pid_t>(Pid()); }

    // The process opened is still there and has not ended.
    bool Running(ProcStat& stat) const
    {
        return ReadProcStat(Id(), stat) && stat.startTicks == startTicks_ && !IsZombie(stat);
    }

    SavedPriority Remember(DWORD current) const
    {
        SavedPriority saved;
        saved.originalClass = current;
        for (const pid_t tid : ThreadsOf(Id())) {
            int nice = 0;
            if (ThreadNice(tid, nice)) saved.threadNice[tid] = nice;
        }
        if (AutogroupEnabled()) {
            std::string group;
            int nice = 0;
            if (ReadAutogroup(Id(), group, nice) && AloneInAutogroup(Id(), group)) saved.autogroupNice = nice;
        }
        return saved;
    }

    std::uint64_t startTicks_ = 0;
    UniqueFd pidfd_;
    std::optional<DWORD> terminatedWith_;
};

// Whether the priority could be lowered and later put back: the same user
// (or CAP_SYS_NICE), and a nice limit that allows the most favourable nice
// the process's threads have now.
bool MaySetAndRestore(pid_t pid, const ProcStat& stat)
{
    if (HaveCapSysNice()) return true;
    uid_t real = 0;
    uid_t effective = 0;
    if (!ProcessUids(pid, real, effective)) return false;
    const uid_t self = geteuid();
    if (real != self && effective != self) return false;
    long lowestNice = stat.nice;
    for (const pid_t tid : ThreadsOf(pid)) {
        int nice = 0;
        if (ThreadNice(tid, nice) && nice < lowestNice) lowestNice = nice;
    }
    const rlim_t limit = NiceLimit(pid);
    return limit == RLIM_INFINITY || static_cast<long long>(limit) >= 20 - lowestNice;
}

bool MaySignal(pid_t pid) { return kill(pid, 0) == 0; }

}  // namespace

int AdoptLinuxPriorityJournal(const std::string& path)
{
    PriorityMemory& memory = Memory();
    std::lock_guard lock(memory.mutex);
    int restored = 0;
    std::string text;
    if (ReadRegularFile(path, 4u << 20, text).ok) {
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            PriorityKey key;
            SavedPriority saved;
            if (!ParseJournalLine(line, key, saved)) continue;
            // Handled here or never: the entry is forgotten either way.
            memory.byProcess.erase(key);
            ProcStat stat;
            if (!ReadProcStat(key.first, stat) || stat.startTicks != key.second || IsZombie(stat)) continue;
            // Changed by someone else since it was lowered: theirs now.
            if (ClassOf(key.first, stat) != saved.setClass) continue;
            if (RestoreSaved(key.first, saved) == ERROR_SUCCESS) ++restored;
        }
    }
    memory.journal = path;
    memory.Write();
    return restored;
}

void CloseLinuxPriorityJournal()
{
    PriorityMemory& memory = Memory();
    std::lock_guard lock(memory.mutex);
    if (!memory.journal.empty()) unlink(memory.journal.c_str());
    memory.journal.clear();
}

// The same class as a handle's read, by the main thread's policy and nice
// value, in one system call and without a file: the process list reads it
// for every row at every tick. It is meant for the ids the process listing
// gives; unlike a handle, the id of a thread reads that thread, and a
// process that has ended but was not yet waited for reads its last class.
DWORD ReadLinuxPriorityClass(DWORD pidValue, DWORD& priorityClass)
{
    if (pidValue == 0 || pidValue > static_cast<DWORD>(INT_MAX)) return ERROR_INVALID_PARAMETER;
    int policy = 0;
    int nice = 0;
    if (!ReadScheduling(static_cast<pid_t>(pidValue), policy, nice)) return ERROR_INVALID_PARAMETER;
    priorityClass = ClassOfScheduling(policy, nice);
    return ERROR_SUCCESS;
}

DWORD OpenLinuxProcess(DWORD pidValue, DWORD access, std::unique_ptr<ProcessHandleState>& handle)
{
    if (pidValue == 0 || pidValue > static_cast<DWORD>(INT_MAX)) return ERROR_INVALID_PARAMETER;
    const auto pid = static_cast<pid_t>(pidValue);
    ProcStat stat;
    if (!ReadProcStat(pid, stat) || IsZombie(stat)) return ERROR_INVALID_PARAMETER;
    // /proc answers for thread ids too; only a process id names a process.
    if (ThreadGroupOf(pid) != pid) return ERROR_INVALID_PARAMETER;

    constexpr DWORD kAlwaysGranted =
        PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ | READ_CONTROL;
    // A request for every right asks for what may be had: the rights that
    // cannot be granted are left out of the handle instead of failing it.
    const bool everything = (access & PROCESS_ALL_ACCESS) == PROCESS_ALL_ACCESS;
    DWORD granted = access;
    if ((access & PROCESS_SET_INFORMATION) != 0 && !MaySetAndRestore(pid, stat)) {
        if (!everything) return ERROR_ACCESS_DENIED;
        granted &= ~PROCESS_SET_INFORMATION;
    }
    if ((access & ~(kAlwaysGranted | PROCESS_SET_INFORMATION)) != 0 && !MaySignal(pid)) {
        if (!everything) return ERROR_ACCESS_DENIED;
        granted &= kAlwaysGranted | PROCESS_SET_INFORMATION;
    }

    UniqueFd pidfd(PidfdOpen(pid));
    // The descriptor names whatever process had the id when it was made:
    // check that it is still the one whose start time we read.
    ProcStat again;
    if (!ReadProcStat(pid, again) || again.startTicks != stat.startTicks) return ERROR_INVALID_PARAMETER;
    handle = std::make_unique<LinuxProcessHandle>(pid, granted, stat.startTicks, std::move(pidfd));
    return ERROR_SUCCESS;
}

}  // namespace quelvo::sys
