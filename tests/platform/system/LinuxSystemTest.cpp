// The system layer against the running Linux system, with child processes.
// Tests that need another user or pid control run only as root (as CI does).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sys/syscall.h>
#include <chrono>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <numeric>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

#include "platform/system/backend.h"
#include "platform/system/linux_proc.h"
#include "platform/system/priority_map.h"
#include "platform/system/winsys.h"
#include "tests/common/live.h"
#include "tests/platform/system/child_process.h"
#include "tests/platform/system/perf_walker.h"
#include "tests/common/TempFolder.h"

namespace quelvo::sys {
namespace {

using test::Child;
using test::HelperPath;

constexpr DWORD kSetAndQuery = PROCESS_SET_INFORMATION | PROCESS_QUERY_INFORMATION;

// Closes a handle at the end of a scope.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle()
    {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

bool IsRoot() { return geteuid() == 0; }

// Whether this process may lower nice values (raise priorities).
bool MayRaisePriorities()
{
    std::string status;
    if (!ReadSmallFile("/proc/self/status", status)) return false;
    const std::size_t at = status.find("CapEff:");
    return at != std::string::npos && ((std::strtoull(status.c_str() + at + 7, nullptr, 16) >> 23) & 1u) != 0;
}

// Whether a nice limit can be raised here: beyond the hard limit it takes
// CAP_SYS_RESOURCE, which containers often withhold even from root.
bool CanRaiseNiceLimit()
{
    const pid_t pid = fork();
    if (pid == 0) {
        rlimit limit{20, 20};
        _exit(setrlimit(RLIMIT_NICE, &limit) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int NiceOf(pid_t tid)
{
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
}

std::vector<pid_t> Threads(pid_t pid)
{
    std::vector<pid_t> tids;
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) tids.push_back(std::stoi(entry.path().filename()));
    return tids;
}

const test::WalkedInstance* FindInstance(const test::WalkedBlock& block, pid_t pid)
{
    for (const auto& instance : block.instances) {
        if (instance.pid == static_cast<std::uint32_t>(pid)) return &instance;
    }
    return nullptr;
}

TEST(LinuxSystem, ProcessListNamesAndSelf)
{
    std::vector<DWORD> pids(4);
    DWORD bytes = 0;
    // Grow until the answer no longer fills the buffer.
    while (true) {
        ASSERT_TRUE(EnumProcesses(pids.data(), static_cast<DWORD>(pids.size() * sizeof(DWORD)), &bytes));
        if (bytes < pids.size() * sizeof(DWORD)) break;
        pids.resize(pids.size() * 2);
    }
    pids.resize(bytes / sizeof(DWORD));
    const auto self = static_cast<DWORD>(getpid());
    EXPECT_NE(std::find(pids.begin(), pids.end(), self), pids.end());
    for (const DWORD pid : pids) {
        ProcStat stat;
        if (ReadProcStat(static_cast<pid_t>(pid), stat)) {
            EXPECT_FALSE(IsKernelThread(stat)) << pid;
        }
    }

    char exe[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof(exe) - 1), 0);
    char path[4096] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, sizeof(path)), std::strlen(exe));
    EXPECT_STREQ(path, exe);
    const std::string baseName = std::string(exe).substr(std::string(exe).rfind('/') + 1);

    Handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, self));
    ASSERT_NE(process.Get(), nullptr);
    char name[MAX_PATH] = {};
    EXPECT_GT(GetModuleBaseNameA(process.Get(), nullptr, name, sizeof(name)), 0u);
    EXPECT_EQ(name, baseName);
    EXPECT_EQ(GetModuleFileNameExA(process.Get(), nullptr, path, sizeof(path)), std::strlen(exe));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(process.Get(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    bool found = false;
    for (BOOL ok = Process32First(snapshot, &entry); ok; ok = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            found = true;
            EXPECT_EQ(entry.szExeFile, baseName);
            EXPECT_EQ(entry.th32ParentProcessID, static_cast<DWORD>(getppid()));
        }
    }
    EXPECT_TRUE(found);
    CloseHandle(snapshot);

    SYSTEM_INFO info;
    GetSystemInfo(&info);
    EXPECT_EQ(info.dwNumberOfProcessors, static_cast<DWORD>(sysconf(_SC_NPROCESSORS_ONLN)));
}

TEST(LinuxSystem, AThreadIdIsNoProcessId)
{
    std::atomic<pid_t> tid{0};
    std::atomic<bool> stop{false};
    std::thread thread([&] {
        tid = static_cast<pid_t>(syscall(SYS_gettid));
        while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    while (tid == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(tid.load())), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    stop = true;
    thread.join();
}

TEST(LinuxSystem, PerformanceBlockOfTheLiveSystem)
{
    std::vector<unsigned char> bytes;
    ASSERT_EQ(test::QueryPerfBlock("230", bytes), ERROR_SUCCESS);
    const test::WalkedBlock block = test::PerfWalker(bytes).Walk();
    ASSERT_EQ(block.error, "");
    ASSERT_TRUE(block.hasProcessObject);
    std::set<std::uint32_t> pids;
    for (const auto& instance : block.instances) {
        EXPECT_NE(instance.pid, 0u);
        EXPECT_TRUE(pids.insert(instance.pid).second) << "pid twice: " << instance.pid;
        EXPECT_LE(instance.startTime, block.objectPerfTime);
    }
    const test::WalkedInstance* self = FindInstance(block, getpid());
    ASSERT_NE(self, nullptr);
    ProcStat stat;
    ASSERT_TRUE(ReadProcStat(getpid(), stat));
    EXPECT_EQ(self->name, stat.comm);
    EXPECT_EQ(self->startTime, TicksTo100ns(stat.startTicks));
    EXPECT_GT(block.perfTime100nSec, 0);
}

// A child with busy threads, each pinned to a processor of its own.
struct BusyChild {
    explicit BusyChild(int threads) : child({HelperPath(), "busy", std::to_string(threads)})
    {
        for (std::string line = child.ReadLine(); line != "ready" && !line.empty(); line = child.ReadLine()) {
            std::istringstream in(line);
            pid_t tid = 0;
            int processor = 0;
            in >> tid >> processor;
            processors[tid] = processor;
        }
    }
    Child child;
    std::map<pid_t, int> processors;  // of each busy thread
};

// The processor a thread last ran on, from its stat file; -1 when unknown.
int LastProcessor(pid_t pid, pid_t tid)
{
    const std::string field = test::live::StatField(
        test::live::StatFields("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/stat"), 39);
    return field.empty() ? -1 : std::stoi(field);
}

TEST(LinuxSystem, BusyThreadsUseTheirShareOfProcessors)
{
    // One busy thread, and two on two processors at once.
    if (test::live::UsableProcessors().size() < 2)
        GTEST_SKIP() << "one processor cannot run two threads at once";
    std::vector<std::unique_ptr<BusyChild>> children;
    for (const int n : {1, 2}) {
        children.push_back(std::make_unique<BusyChild>(n));
        ASSERT_EQ(children.back()->processors.size(), static_cast<std::size_t>(n));
    }
    std::set<int> pinned;
    for (const auto& [tid, processor] : children.back()->processors) pinned.insert(processor);
    ASSERT_EQ(pinned.size(), 2u);

    // Over one second: the processor time the block counts, against what
    // each child's own stat file and the wall clock gained meanwhile. Each
    // reading of the block is bracketed by readings of both, so whatever
    // the load does to the readings' own duration, the block's figures lie
    // between the inner and the outer stretch.
    struct Reading {
        std::vector<unsigned char> block;
        std::vector<test::live::Reading> before, after;  // per child
    };
    auto read = [&](Reading& reading) {
        for (const auto& busy : children) reading.before.push_back(test::live::ReadNow(busy->child.Pid()));
        const DWORD result = test::QueryPerfBlock("230", reading.block);
        for (const auto& busy : children) reading.after.push_back(test::live::ReadNow(busy->child.Pid()));
        return result;
    };
    Reading first;
    Reading second;
    ASSERT_EQ(read(first), ERROR_SUCCESS);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_EQ(read(second), ERROR_SUCCESS);
    const auto seconds = [](auto from, auto to) { return std::chrono::duration<double>(to - from).count(); };

    const test::WalkedBlock before = test::PerfWalker(first.block).Walk();
    const test::WalkedBlock after = test::PerfWalker(second.block).Walk();
    ASSERT_EQ(before.error, "");
    ASSERT_EQ(after.error, "");
    // The block's clock is the wall clock in 100 ns units.
    const double dT = static_cast<double>(after.perfTime100nSec - before.perfTime100nSec) / 1e7;
    EXPECT_GE(dT, seconds(first.after.back().at, second.before.front().at) - 0.001);
    EXPECT_LE(dT, seconds(first.before.front().at, second.after.back().at) + 0.001);
    ASSERT_GT(dT, 0);
    const double tick = test::live::TickSeconds();
    for (std::size_t i = 0; i < children.size(); ++i) {
        const pid_t pid = children[i]->child.Pid();
        const auto* a = FindInstance(before, pid);
        const auto* b = FindInstance(after, pid);
        ASSERT_TRUE(a != nullptr && b != nullptr);
        const double blockGain = static_cast<double>(b->processorTime - a->processorTime) / 1e7;
        const test::live::ShareBounds given =
            test::live::Bounds(first.before[i], first.after[i], second.before[i], second.after[i]);
        SCOPED_TRACE(std::to_string(children[i]->processors.size()) + " threads, the kernel gave them " +
                     std::to_string(given.least) + " to " + std::to_string(given.most) + " processors");
        EXPECT_GT(given.most, 0);
        // Every thread's time counts, in whole ticks: the block's gain lies
        // between the stat file's over the inner and the outer stretch.
        EXPECT_GE(blockGain, second.before[i].seconds - first.after[i].seconds - 2 * tick);
        EXPECT_LE(blockGain, second.after[i].seconds - first.before[i].seconds + 2 * tick);
        // And so does the share it makes of the block's own time.
        EXPECT_GE(blockGain / dT, given.least);
        EXPECT_LE(blockGain / dT, given.most);
    }
    // The two threads held two processors: each ran, on its own.
    for (const auto& [tid, processor] : children.back()->processors) {
        EXPECT_GT(test::live::ThreadSeconds(children.back()->child.Pid(), tid), 0) << tid;
        EXPECT_EQ(LastProcessor(children.back()->child.Pid(), tid), processor) << tid;
    }
}

TEST(LinuxSystem, EveryClassRoundTrips)
{
    Child child({HelperPath(), "sleep"});
    ASSERT_GT(child.Pid(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it exec
    Handle process(OpenProcess(kSetAndQuery, TRUE, static_cast<DWORD>(child.Pid())));
    ASSERT_NE(process.Get(), nullptr) << GetLastError();
    EXPECT_EQ(GetPriorityClass(process.Get()), NORMAL_PRIORITY_CLASS);
    const DWORD classes[] = {IDLE_PRIORITY_CLASS, BELOW_NORMAL_PRIORITY_CLASS, ABOVE_NORMAL_PRIORITY_CLASS,
                             HIGH_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,       REALTIME_PRIORITY_CLASS,
                             IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS};
    for (const DWORD priorityClass : classes) {
        if (!MayRaisePriorities() && NiceOfClass(priorityClass) < 0) continue;
        ASSERT_TRUE(SetPriorityClass(process.Get(), priorityClass)) << priorityClass << " error " << GetLastError();
        EXPECT_EQ(GetPriorityClass(process.Get()), priorityClass);
        EXPECT_EQ(NiceOf(child.Pid()), NiceOfClass(priorityClass));
    }
    // An idle scheduling policy reads as Low whatever the nice value.
    sched_param param{};
    ASSERT_EQ(sched_setscheduler(child.Pid(), SCHED_IDLE, &param), 0);
    EXPECT_EQ(GetPriorityClass(process.Get()), IDLE_PRIORITY_CLASS);
}

// The "tid nice" lines of a child started with "nices", up to "ready".
std::vector<pid_t> ThreadsOfNicesChild(Child& child)
{
    std::vector<pid_t> tids;
    for (std::string line = child.ReadLine(); !line.empty() && line != "ready"; line = child.ReadLine())
        tids.push_back(std::stoi(line));
    return tids;
}

// The read without a handle, the one the process list makes for every row,
// gives what a handle reads: the main thread's policy and nice value.
TEST(LinuxSystem, TheClassReadWithoutAHandleIsTheHandlesClass)
{
    struct Case {
        const char* what;
        std::vector<std::string> mode;
        std::function<void(pid_t)> change;
        DWORD expected;
    };
    const auto nice = [](int value) { return [value](pid_t pid) { setpriority(PRIO_PROCESS, static_cast<id_t>(pid), value); }; };
    const Case cases[] = {
        {"as started", {"sleep"}, [](pid_t) {}, NORMAL_PRIORITY_CLASS},
        {"nice 7 from outside", {"sleep"}, nice(7), BELOW_NORMAL_PRIORITY_CLASS},
        {"nice 17 from outside", {"sleep"}, nice(17), IDLE_PRIORITY_CLASS},
        {"a thread at 19 beside a main thread at 0", {"nices", "0", "19"}, [](pid_t) {}, NORMAL_PRIORITY_CLASS},
        {"a thread at 19 beside a main thread at 10", {"nices", "10", "19", "19"}, [](pid_t) {},
         BELOW_NORMAL_PRIORITY_CLASS},
        {"idle policy flagged to reset on fork", {"sleep"},
         [](pid_t pid) {
             sched_param param{};
             sched_setscheduler(pid, SCHED_IDLE | SCHED_RESET_ON_FORK, &param);
         },
         IDLE_PRIORITY_CLASS},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{HelperPath()};
        argv.insert(argv.end(), c.mode.begin(), c.mode.end());
        Child child(argv);
        ASSERT_GT(child.Pid(), 0);
        const std::vector<pid_t> tids = c.mode[0] == "nices" ? ThreadsOfNicesChild(child) : std::vector<pid_t>{};
        ASSERT_EQ(tids.size() + 1, c.mode.size()) << c.what;
        if (tids.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it exec
        c.change(child.Pid());
        Handle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(child.Pid())));
        ASSERT_NE(process.Get(), nullptr) << c.what;
        EXPECT_EQ(ReadPriorityClass(static_cast<DWORD>(child.Pid())), c.expected) << c.what;
        EXPECT_EQ(GetPriorityClass(process.Get()), c.expected) << c.what;
    }
}

TEST(LinuxSystem, NoClassIsReadForAnIdThatNamesNoProcess)
{
    pid_t ended = 0;
    {
        Child child({HelperPath(), "sleep"});
        ended = child.Pid();
    }  // killed and waited for
    for (const DWORD pid : {0u, static_cast<DWORD>(ended), 0x80000000u, 0xFFFFFFFFu}) {
        DWORD priorityClass = 0;
        EXPECT_EQ(Backend().ReadPriorityClass(pid, priorityClass), ERROR_INVALID_PARAMETER) << pid;
        EXPECT_EQ(ReadPriorityClass(pid), 0u) << pid;
    }
}

TEST(LinuxSystem, ThreadsStartedDuringTheWalkAreReached)
{
    Child child({HelperPath(), "spawner", "400"});
    ASSERT_EQ(child.ReadLine(), "started");
    Handle process(OpenProcess(kSetAndQuery, FALSE, static_cast<DWORD>(child.Pid())));
    ASSERT_NE(process.Get(), nullptr);
    ASSERT_TRUE(SetPriorityClass(process.Get(), IDLE_PRIORITY_CLASS));
    // At nice 19 the child gets little of a busy machine: time to finish.
    ASSERT_EQ(child.ReadLine(90'000), "done");
    const std::vector<pid_t> tids = Threads(child.Pid());
    EXPECT_GT(tids.size(), 400u);
    for (const pid_t tid : tids) EXPECT_EQ(NiceOf(tid), 19) << "thread " << tid;
}

TEST(LinuxSystem, ExactPerThreadNiceValuesComeBack)
{
    if (!MayRaisePriorities()) GTEST_SKIP() << "lowering a nice value back needs CAP_SYS_NICE";
    for (const std::vector<std::string>& nices :
         {std::vector<std::string>{"0", "3", "1", "4"}, std::vector<std::string>{"2", "-1", "7"}}) {
        std::vector<std::string> argv{HelperPath(), "nices"};
        argv.insert(argv.end(), nices.begin(), nices.end());
        Child child(argv);
        std::map<pid_t, int> expected;
        for (std::string line = child.ReadLine(); line != "ready"; line = child.ReadLine()) {
            ASSERT_FALSE(line.empty());
            std::istringstream in(line);
            int tid = 0;
            int nice = 0;
            in >> tid >> nice;
            expected[tid] = nice;
        }
        ASSERT_EQ(expected.size(), nices.size());
        Handle process(OpenProcess(kSetAndQuery, FALSE, static_cast<DWORD>(child.Pid())));
        ASSERT_NE(process.Get(), nullptr);
        const DWORD original = GetPriorityClass(process.Get());
        EXPECT_EQ(original, ClassOfNice(std::stoi(nices[0])));
        ASSERT_TRUE(SetPriorityClass(process.Get(), IDLE_PRIORITY_CLASS));
        for (const auto& [tid, nice] : expected) EXPECT_EQ(NiceOf(tid), 19);
        ASSERT_TRUE(SetPriorityClass(process.Get(), HIGH_PRIORITY_CLASS));  // a second move keeps the first memory
        ASSERT_TRUE(SetPriorityClass(process.Get(), original));
        for (const auto& [tid, nice] : expected) EXPECT_EQ(NiceOf(tid), nice) << "thread " << tid;
    }
}

TEST(LinuxSystem, AutogroupFollowsAProcessAloneInIt)
{
    std::string enabled;
    if (!ReadSmallFile("/proc/sys/kernel/sched_autogroup_enabled", enabled) || enabled.empty() || enabled[0] != '1') {
        GTEST_SKIP() << "autogroup scheduling is off";
    }
    if (!MayRaisePriorities()) GTEST_SKIP() << "restoring an autogroup nice needs CAP_SYS_NICE";
    Child child({HelperPath(), "sleep"}, /*newSession=*/true);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto autogroupNice = [&child] {
        std::string text;
        ReadSmallFile(("/proc/" + std::to_string(child.Pid()) + "/autogroup").c_str(), text);
        const std::size_t at = text.find("nice ");
        return at == std::string::npos ? 999 : std::stoi(text.substr(at + 5));
    };
    ASSERT_EQ(autogroupNice(), 0);
    {
        std::ofstream probe("/proc/" + std::to_string(child.Pid()) + "/autogroup");
        probe << 0 << std::flush;
        if (!probe) GTEST_SKIP() << "autogroup nice values cannot be written here";
    }
    Handle process(OpenProcess(kSetAndQuery, FALSE, static_cast<DWORD>(child.Pid())));
    ASSERT_NE(process.Get(), nullptr);
    ASSERT_TRUE(SetPriorityClass(process.Get(), IDLE_PRIORITY_CLASS));
    EXPECT_EQ(autogroupNice(), 19);
    ASSERT_TRUE(SetPriorityClass(process.Get(), NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(autogroupNice(), 0);
}

// ---- Another user ----

class UnprivilegedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!IsRoot()) GTEST_SKIP() << "needs root to start processes as another user";
        if (access("/usr/bin/setpriv", X_OK) != 0 || access("/usr/bin/prlimit", X_OK) != 0) {
            GTEST_SKIP() << "setpriv or prlimit missing";
        }
        // The helper must be reachable for the other user wherever the
        // build tree is.
        ASSERT_EQ(chmod(folder_.Path().c_str(), 0755), 0);
        helper_ = folder_.File("helper");
        std::filesystem::copy_file(HelperPath(), helper_);
        ASSERT_EQ(chmod(helper_.c_str(), 0755), 0);
    }

    // argv run as uid 65534, with the nice limit given.
    // argv run as uid 65534, with the nice limit given, and with
    // CAP_SYS_NICE when asked.
    std::vector<std::string> AsNobody(int niceLimit, std::vector<std::string> argv, bool capSysNice = false) const
    {
        std::vector<std::string> full{"prlimit", "--nice=" + std::to_string(niceLimit) + ":" + std::to_string(niceLimit),
                                      "--", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        if (capSysNice) {
            full.push_back("--inh-caps=+sys_nice");
            full.push_back("--ambient-caps=+sys_nice");
        }
        full.push_back("--");
        full.insert(full.end(), argv.begin(), argv.end());
        return full;
    }

    std::string Probe(pid_t target, DWORD access, bool capSysNice = false)
    {
        Child probe(AsNobody(0, {helper_, "probe", std::to_string(target), std::to_string(access)}, capSysNice));
        return probe.ReadLine();
    }

    TempFolder folder_;
    std::string helper_;
};

TEST_F(UnprivilegedTest, SetInformationOnlyWhereARestoreIsPossible)
{
    Child plain(AsNobody(0, {helper_, "sleep"}));
    Child lowTight(AsNobody(0, {helper_, "sleep"}));
    // Where the limit cannot be raised prlimit fails and these end at once.
    Child roomy(AsNobody(20, {helper_, "sleep"}));
    Child lowRoomy(AsNobody(1, {helper_, "sleep"}));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let them reach the helper
    ASSERT_EQ(setpriority(PRIO_PROCESS, static_cast<id_t>(lowTight.Pid()), 19), 0);
    setpriority(PRIO_PROCESS, static_cast<id_t>(lowRoomy.Pid()), 19);

    const std::string denied = "denied " + std::to_string(ERROR_ACCESS_DENIED);
    struct Case {
        const char* what;
        pid_t target;
        DWORD access;
        std::string expected;
        bool needsRaisedLimit = false;
        bool capSysNice = false;
    };
    const Case cases[] = {
        {"query, same user", plain.Pid(), PROCESS_QUERY_INFORMATION, "granted"},
        {"set, nice limit 0 at nice 0", plain.Pid(), PROCESS_SET_INFORMATION, denied},
        {"set, nice limit 20 at nice 0", roomy.Pid(), PROCESS_SET_INFORMATION, "granted", true},
        {"set, nice limit 0 at nice 19", lowTight.Pid(), PROCESS_SET_INFORMATION, denied},
        {"set, nice limit 1 at nice 19", lowRoomy.Pid(), PROCESS_SET_INFORMATION, "granted", true},
        {"terminate, same user", plain.Pid(), PROCESS_TERMINATE, "granted"},
        {"query, root's process", getpid(), PROCESS_QUERY_INFORMATION, "granted"},
        {"set, root's process", getpid(), PROCESS_SET_INFORMATION, denied},
        {"terminate, root's process", getpid(), PROCESS_TERMINATE | SYNCHRONIZE, denied},
        {"every right, root's process", getpid(), PROCESS_ALL_ACCESS, "granted"},
        {"set with CAP_SYS_NICE, nice limit 0", plain.Pid(), PROCESS_SET_INFORMATION, "granted", false, true},
        {"set with CAP_SYS_NICE, root's process", getpid(), PROCESS_SET_INFORMATION, "granted", false, true},
    };
    // Another user's executable link cannot be read: the short name stands in.
    ProcStat self;
    ASSERT_TRUE(ReadProcStat(getpid(), self));
    Child name(AsNobody(0, {helper_, "name", std::to_string(getpid())}));
    EXPECT_EQ(name.ReadLine(), self.comm);

    // With the capability a restore is always possible: the round trip works.
    if (MayRaisePriorities()) {
        Child capableRoundTrip(AsNobody(0, {helper_, "roundtrip", std::to_string(plain.Pid())}, true));
        EXPECT_EQ(capableRoundTrip.ReadLine(), "32 1 64 1 32");
    }

    const bool raisedLimits = CanRaiseNiceLimit();
    for (const Case& c : cases) {
        if (c.needsRaisedLimit && !raisedLimits) continue;
        if (c.capSysNice && !MayRaisePriorities()) continue;
        EXPECT_EQ(Probe(c.target, c.access, c.capSysNice), c.expected) << c.what;
    }
    if (!raisedLimits) {
        rlimit hard{};
        getrlimit(RLIMIT_NICE, &hard);
        GTEST_SKIP() << "the kernel gives no process here a nice limit above " << hard.rlim_max
                     << " (raising the hard limit needs CAP_SYS_RESOURCE, which this process lacks):"
                        " the granted cases cannot exist and were left out";
    }

    // Where it was granted, lowering and putting back both work.
    Child roundTrip(AsNobody(0, {helper_, "roundtrip", std::to_string(roomy.Pid())}));
    EXPECT_EQ(roundTrip.ReadLine(), "32 1 64 1 32");
}

TEST(LinuxSystem, OldHandleRefusesAReusedPid)
{
    if (!IsRoot()) GTEST_SKIP() << "steering pid allocation needs root";
    for (int attempt = 0; attempt < 30; ++attempt) {
        auto first = std::make_unique<Child>(std::vector<std::string>{HelperPath(), "sleep"});
        const pid_t pid = first->Pid();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Handle old(OpenProcess(PROCESS_ALL_ACCESS, FALSE, static_cast<DWORD>(pid)));
        ASSERT_NE(old.Get(), nullptr);
        first->Kill();
        {
            std::ofstream lastPid("/proc/sys/kernel/ns_last_pid");
            if (!lastPid) GTEST_SKIP() << "ns_last_pid is not writable";
            lastPid << (pid - 1);
        }
        Child second({HelperPath(), "sleep"});
        if (second.Pid() != pid) continue;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

        EXPECT_FALSE(SetPriorityClass(old.Get(), IDLE_PRIORITY_CLASS));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
        EXPECT_EQ(NiceOf(pid), 0);
        EXPECT_EQ(GetPriorityClass(old.Get()), 0u);
        EXPECT_FALSE(TerminateProcess(old.Get(), 1));
        char name[MAX_PATH] = {};
        EXPECT_EQ(GetModuleBaseNameA(old.Get(), nullptr, name, sizeof(name)), 0u);
        EXPECT_EQ(WaitForSingleObject(old.Get(), 0), WAIT_OBJECT_0);
        DWORD code = STILL_ACTIVE;
        EXPECT_TRUE(GetExitCodeProcess(old.Get(), &code));
        EXPECT_NE(code, STILL_ACTIVE);
        EXPECT_EQ(kill(pid, 0), 0);  // the new process lives on
        Handle fresh(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, static_cast<DWORD>(pid)));
        EXPECT_EQ(GetPriorityClass(fresh.Get()), NORMAL_PRIORITY_CLASS);
        return;
    }
    GTEST_SKIP() << "the pid was not handed out again";
}

TEST(LinuxSystem, TerminateAndWaitThroughAHandle)
{
    Child child({HelperPath(), "sleep"});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE,
                               static_cast<DWORD>(child.Pid())));
    ASSERT_NE(process.Get(), nullptr);
    EXPECT_EQ(WaitForSingleObject(process.Get(), 3), WAIT_TIMEOUT);
    ASSERT_TRUE(TerminateProcess(process.Get(), 0));
    EXPECT_EQ(WaitForSingleObject(process.Get(), 5000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(process.Get(), &code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(TerminateProcess(process.Get(), 0));
}

TEST(LinuxSystem, CloseRequestEndsAProgramWithoutWindows)
{
    Child child({HelperPath(), "sleep"});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE,
                               static_cast<DWORD>(child.Pid())));
    ASSERT_NE(process.Get(), nullptr);
    ASSERT_TRUE(RequestProcessClose(process.Get()));
    EXPECT_EQ(WaitForSingleObject(process.Get(), 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(process.Get(), &code));
    EXPECT_NE(code, STILL_ACTIVE);
    EXPECT_FALSE(RequestProcessClose(process.Get()));
}

TEST(LinuxSystem, NamedMutexAcrossProcesses)
{
    TempFolder runtime;
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    const std::string name = "Bellwick_Quelvo_Mutex/test";  // a separator in the name is harmless

    HANDLE mine = CreateMutexA(nullptr, FALSE, name.c_str());
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    {
        Child other({HelperPath(), "mutex", name});
        EXPECT_EQ(other.ReadLine(), std::to_string(ERROR_ALREADY_EXISTS));
        other.CloseInput();
        EXPECT_TRUE(other.WaitForExit());
    }
    CloseHandle(mine);
    {
        Child holder({HelperPath(), "mutex", name});
        EXPECT_EQ(holder.ReadLine(), "0");
        HANDLE second = CreateMutexA(nullptr, FALSE, name.c_str());
        EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
        CloseHandle(second);
        holder.Kill();  // dies holding it: the kernel lets it go
    }
    mine = CreateMutexA(nullptr, FALSE, name.c_str());
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(mine);
    struct stat st{};
    ASSERT_EQ(stat((runtime.File("quelvo")).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    if (saved != nullptr) {
        setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
}

// ---- Starting programs ----

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder_.Path().empty());
        char cwd[4096] = {};
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        savedCwd_ = cwd;
        savedPath_ = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
        // A tool that writes its arguments, one a line, to a file named by
        // its own first argument's folder.
        WriteScript(folder_.File("tool.sh"), "printf '%s\\n' \"$@\" > \"" + (folder_.File("tool.out")) + "\"\n");
        WriteScript(folder_.File("xdg-open"), "printf '%s\\n' \"$@\" > \"" + (folder_.File("opened.out")) + "\"\n");
        std::ofstream(folder_.File("notes.txt")) << "text";
    }
    void TearDown() override
    {
        if (!savedCwd_.empty()) chdir(savedCwd_.c_str());
        setenv("PATH", savedPath_.c_str(), 1);
    }

    static void WriteScript(const std::string& path, const std::string& body)
    {
        std::ofstream(path) << "#!/bin/sh\n" << body;
        chmod(path.c_str(), 0755);
    }

    // Waits for a file the started program writes.
    static std::string AwaitFile(const std::string& path)
    {
        for (int i = 0; i < 500; ++i) {
            std::ifstream in(path);
            std::stringstream text;
            text << in.rdbuf();
            if (in && !text.str().empty() && text.str().back() == '\n') return text.str();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "<nothing>";
    }

    static std::intptr_t Open(const char* file, const char* parameters, const char* directory)
    {
        return reinterpret_cast<std::intptr_t>(ShellExecuteA(nullptr, "open", file, parameters, directory, SW_SHOWNORMAL));
    }

    TempFolder folder_;
    std::string savedCwd_;
    std::string savedPath_;
};

TEST_F(ShellTest, ExecutableStartsDirectlyWithSplitParameters)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    EXPECT_GT(Open("tool.sh", R"(one "two words" "")", nullptr), 32);
    EXPECT_EQ(AwaitFile(folder_.File("tool.out")), "one\ntwo words\n\n");
    // Nothing of ours is left behind, not even a zombie.
    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ShellTest, DocumentsAndAddressesGoToTheOpener)
{
    setenv("PATH", (folder_.Path() + ":" + savedPath_).c_str(), 1);
    EXPECT_GT(Open("notes.txt", nullptr, folder_.Path().c_str()), 32);
    EXPECT_EQ(AwaitFile(folder_.File("opened.out")), (folder_.File("notes.txt")) + "\n");
    std::filesystem::remove(folder_.File("opened.out"));
    EXPECT_GT(Open("https://example.invalid/help", nullptr, nullptr), 32);
    EXPECT_EQ(AwaitFile(folder_.File("opened.out")), "https://example.invalid/help\n");
}

TEST_F(ShellTest, MissingFilesAreReported)
{
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.Path().c_str()));
    EXPECT_EQ(Open("Quelvo.chm", nullptr, nullptr), SE_ERR_FNF);
    EXPECT_EQ(Open("no-such-program-anywhere", nullptr, nullptr), SE_ERR_FNF);
    EXPECT_EQ(Open("", nullptr, nullptr), SE_ERR_FNF);
    EXPECT_FALSE(SetCurrentDirectoryA((folder_.File("missing")).c_str()));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(ShellTest, CreateProcessGivesAPidAndAHandle)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION info;
    char commandLine[] = "tool.sh alpha";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder_.Path().c_str(),
                               &startup, &info))
        << GetLastError();
    EXPECT_NE(info.dwProcessId, 0u);
    EXPECT_EQ(AwaitFile(folder_.File("tool.out")), "alpha\n");
    // A program gone before it could be opened leaves both handles null.
    if (info.hProcess != nullptr) {
        EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0);
        CloseHandle(info.hProcess);
        EXPECT_EQ(WaitForSingleObject(info.hThread, 5000), WAIT_OBJECT_0);
        CloseHandle(info.hThread);
    } else {
        EXPECT_EQ(info.hThread, nullptr);
    }

    EXPECT_FALSE(CreateProcessA("Quelvo.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder_.Path().c_str(),
                                &startup, &info));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(CreateProcessA((folder_.File("notes.txt")).c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &startup, &info));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(ShellTest, CreateProcessThreadHandleWaitsAndReportsLikeTheProcess)
{
    WriteScript(folder_.File("long.sh"), "sleep 30\n");
    STARTUPINFOA startup;
    PROCESS_INFORMATION info;
    char commandLine[] = "long.sh";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder_.Path().c_str(),
                               &startup, &info));
    ASSERT_NE(info.hProcess, nullptr);
    ASSERT_NE(info.hThread, nullptr);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(info.hThread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(info.hThread, 0), WAIT_TIMEOUT);
    ASSERT_TRUE(TerminateProcess(info.hProcess, 5));
    EXPECT_EQ(WaitForSingleObject(info.hThread, 5000), WAIT_OBJECT_0);
    DWORD processCode = 0;
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &processCode));
    EXPECT_TRUE(GetExitCodeThread(info.hThread, &code));
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(code, processCode);
    // The thread handle outlives the process handle; neither stands for the other.
    EXPECT_FALSE(GetExitCodeThread(info.hProcess, &code));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    ASSERT_TRUE(CloseHandle(info.hProcess));
    EXPECT_EQ(WaitForSingleObject(info.hThread, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(info.hThread, &code));
    EXPECT_EQ(code, 5u);
    EXPECT_TRUE(CloseHandle(info.hThread));
    EXPECT_EQ(WaitForSingleObject(info.hThread, 0), WAIT_FAILED);
}

}  // namespace
}  // namespace quelvo::sys
