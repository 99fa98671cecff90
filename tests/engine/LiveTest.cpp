// The engine on the running system: it finds and samples a busy child and
// sets and restores its priority class.

#include "engine/ProcessWatcher.h"
#include "tests/engine/ChildProcesses.h"

#include <gtest/gtest.h>
#include <thread>

#include "platform/system/winbase.h"

namespace {

TEST(Live, SamplesABusyChildAndChangesItsClass)
{
    ChildProcesses children;
    const pid_t busy = children.StartBusy();
    ASSERT_GT(busy, 0);

    ProcessWatcher watcher;
    watcher.EnforceRules = false;
    ASSERT_TRUE(watcher.ScanProcesses());
    ASSERT_NE(watcher.FindProcess(static_cast<DWORD>(::getpid())), nullptr);
    watcher.Sample();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    watcher.Sample();
    watcher.PurgeVanished();

    const ProcessObject* record = watcher.FindProcess(static_cast<DWORD>(busy));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Name, "test_engine_live");
    EXPECT_EQ(record->SampleCount, 2);
    // The share of the whole machine, so one busy thread shows as 100 / n.
    const int processors = watcher.NumberOfProcessors();
    EXPECT_GE((record->CpuUse + 1) * processors, 80) << record->CpuUse << " % of " << processors;
    EXPECT_LE(record->CpuUse * processors, 110);
    EXPECT_EQ(watcher.FindProcessByName("test_engine_live"), watcher.FindProcess(static_cast<DWORD>(::getpid())));

    const DWORD pid = static_cast<DWORD>(busy);
    EXPECT_EQ(ProcessWatcher::GetPidPriority(pid), NORMAL_PRIORITY_CLASS);
    if (!ProcessWatcher::SetPidPriority(pid, IDLE_PRIORITY_CLASS) && ::geteuid() != 0)
        GTEST_SKIP() << "this user may not change and restore priority classes";
    EXPECT_EQ(ProcessWatcher::GetPidPriority(pid), IDLE_PRIORITY_CLASS);
    EXPECT_TRUE(ProcessWatcher::SetPidPriority(pid, NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(ProcessWatcher::GetPidPriority(pid), NORMAL_PRIORITY_CLASS);
}

} // namespace
