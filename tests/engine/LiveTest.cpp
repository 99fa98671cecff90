// The engine on the running system: it finds and samples a busy child and
// sets and restores its priority class.

#include "engine/ProcessWatcher.h"
#include "tests/engine/ChildProcesses.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

#include "platform/system/winbase.h"
#include "tests/common/live.h"

namespace {

namespace live = quelvo::test::live;

TEST(Live, SamplesABusyChildAndChangesItsClass)
{
    ChildProcesses children;
    const pid_t busy = children.StartBusy();
    ASSERT_GT(busy, 0);

    ProcessWatcher watcher;
    watcher.EnforceRules = false;
    ASSERT_TRUE(watcher.ScanProcesses());
    ASSERT_NE(watcher.FindProcess(static_cast<DWORD>(::getpid())), nullptr);
    // The share of the whole machine, judged against what the kernel really
    // gave the child meanwhile (the machine may be busy with anything
    // else), truncated to a whole percent.
    const live::Reading beforeStart = live::ReadNow(busy);
    watcher.Sample();
    const live::Reading afterStart = live::ReadNow(busy);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const live::Reading beforeEnd = live::ReadNow(busy);
    watcher.Sample();
    const live::Reading afterEnd = live::ReadNow(busy);
    watcher.PurgeVanished();
    const int processors = watcher.NumberOfProcessors();
    EXPECT_EQ(processors, live::OnlineProcessors());
    const ProcessObject* record = watcher.FindProcess(static_cast<DWORD>(busy));
    ASSERT_NE(record, nullptr);
    const live::ShareBounds given = live::Bounds(beforeStart, afterStart, beforeEnd, afterEnd);
    EXPECT_GT(given.most, 0);
    EXPECT_GE(record->CpuUse, given.least * 100 / processors - 1) << given.most << " processors at most";
    EXPECT_LE(record->CpuUse, given.most * 100 / processors) << given.least << " processors at least";
    EXPECT_EQ(record->Name, "test_engine_live");
    EXPECT_GE(record->SampleCount, 2);
    // The first process of the name: sealed in a pid namespace, that is its
    // init (pid 1, our parent, the same program); else this one.
    const pid_t first = live::Sealed() ? ::getppid() : ::getpid();
    EXPECT_EQ(watcher.FindProcessByName("test_engine_live"), watcher.FindProcess(static_cast<DWORD>(first)));

    const DWORD pid = static_cast<DWORD>(busy);
    EXPECT_EQ(ProcessWatcher::GetPidPriority(pid), NORMAL_PRIORITY_CLASS);
    if (!ProcessWatcher::SetPidPriority(pid, IDLE_PRIORITY_CLASS) && ::geteuid() != 0)
        GTEST_SKIP() << "this user may not change and restore priority classes";
    EXPECT_EQ(ProcessWatcher::GetPidPriority(pid), IDLE_PRIORITY_CLASS);
    EXPECT_TRUE(ProcessWatcher::SetPidPriority(pid, NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(ProcessWatcher::GetPidPriority(pid), NORMAL_PRIORITY_CLASS);
}

} // namespace
