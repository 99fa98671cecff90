// The watch cycle on the scripted system: the step tables, one step per
// interval, the exemption, hands off on refusal, resynchronising after a
// reload and giving classes back.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/engine/WatcherFixture.h"
#include "tray/TrayWatch.h"

namespace {

using namespace quelvo::tray;
using Event = std::pair<std::string, std::string>;

constexpr DWORD kLow = IDLE_PRIORITY_CLASS;
constexpr DWORD kBelow = BELOW_NORMAL_PRIORITY_CLASS;
constexpr DWORD kNormal = NORMAL_PRIORITY_CLASS;
constexpr DWORD kAbove = ABOVE_NORMAL_PRIORITY_CLASS;
constexpr DWORD kHigh = HIGH_PRIORITY_CLASS;
constexpr DWORD kRealtime = REALTIME_PRIORITY_CLASS;

const std::string kLowering = "Lowering Process Priority ";
const std::string kIncreasing = "Increasing Process Priority";
const std::string kRestoring = "Restoring Process Priority";

TEST(StepTables, LoweringByClass)
{
    const std::pair<DWORD, DWORD> cases[] = {
        {kNormal, kLow}, {kBelow, kLow}, {kHigh, kNormal}, {kAbove, kNormal},
        {kLow, 0},       {kRealtime, 0}, {0, 0},           {0x1234, 0},
    };
    for (const auto& [from, to] : cases)
        EXPECT_EQ(LoweredClass(from), to) << std::hex << from;
}

TEST(StepTables, RaisingByClassAndSavedClass)
{
    struct Case {
        DWORD current, saved, raised;
    };
    const Case cases[] = {
        // The usual way back.
        {kLow, kBelow, kBelow},
        {kLow, kNormal, kNormal},
        {kLow, kAbove, kNormal},
        {kLow, kHigh, kNormal},
        {kBelow, kNormal, kNormal},
        {kBelow, kHigh, kNormal},
        {kNormal, kAbove, kAbove},
        {kNormal, kHigh, kHigh},
        // Classes changed from outside meanwhile: straight to the saved
        // class, never past it.
        {kNormal, kBelow, kBelow},
        {kHigh, kNormal, kNormal},
        {kAbove, kBelow, kBelow},
        {kRealtime, kHigh, kHigh},
        {0, kNormal, kNormal},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RaisedClass(c.current, c.saved), c.raised) << std::hex << c.current << " saved " << c.saved;
}

class WatchCycle : public WatcherFixture {
protected:
    ProcessObject* Start(DWORD pid, const std::string& name, DWORD priorityClass)
    {
        fake.AddProcess(pid, "/usr/bin/" + name).priorityClass = priorityClass;
        W().ScanProcesses();
        return W().FindProcess(pid);
    }

    // One pass after time moved on, with the records' smoothed use given.
    void PassWith(std::initializer_list<std::pair<ProcessObject*, double>> uses, std::uint64_t advanceMs = 1000)
    {
        fake.Clock().Advance(advanceMs);
        for (const auto& [record, use] : uses)
            record->SmoothedCpuUse = use;
        events.clear();
        TameProcesses(W());
    }
    void Pass(ProcessObject* record, double use, std::uint64_t advanceMs = 1000) { PassWith({{record, use}}, advanceMs); }

    DWORD ClassOf(DWORD pid) { return fake.Process(pid)->priorityClass; }
};

TEST_F(WatchCycle, HighProcessGoesDownAndClimbsBackOneStepPerInterval)
{
    ProcessObject* hog = Start(10, "hog", kHigh);
    ASSERT_NE(hog, nullptr);
    struct Step {
        const char* what;
        std::uint64_t advanceMs;
        double use;
        DWORD classAfter;
        const char* event;  // "" for none
        int tamedCount;
    };
    const Step steps[] = {
        {"first busy pass lowers at once", 1000, 90, kNormal, "Lowering Process Priority ", 1},
        {"a second later: too soon", 1000, 90, kNormal, "", 1},
        {"a full interval after the step (>=)", 7000, 90, kLow, "Lowering Process Priority ", 1},
        {"Low is not lowered further", 1000, 99, kLow, "", 1},
        {"between thresholds: no raise", 9000, 50, kLow, "", 1},
        {"quiet, but the clock restarted 1 s ago", 1000, 2, kLow, "", 1},
        {"quiet for more than an interval", 8500, 2, kNormal, "Increasing Process Priority", 1},
        {"exactly one interval is not enough", 8000, 2, kNormal, "", 1},
        {"next step reaches the saved class", 1, 2, kHigh, "Increasing Process Priority", 0},
        {"untamed: nothing more happens", 9000, 2, kHigh, "", 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        Pass(hog, s.use, s.advanceMs);
        EXPECT_EQ(ClassOf(10), s.classAfter);
        EXPECT_EQ(hog->PriorityClass, s.classAfter);
        if (*s.event == '\0')
            EXPECT_TRUE(events.empty());
        else
            EXPECT_EQ(events, (std::vector<Event>{{s.event, "hog"}}));
        EXPECT_EQ(W().TamedCount, s.tamedCount);
    }
    EXPECT_EQ(hog->SavedClass, 0u);
}

TEST_F(WatchCycle, SavedClassIsReachedInOneStepFromBelowAndAboveNormal)
{
    struct Case {
        DWORD start, lowered;
    };
    const Case cases[] = {{kBelow, kLow}, {kAbove, kNormal}};
    DWORD pid = 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start));
        ProcessObject* p = Start(pid, std::to_string(pid).append(".bin"), c.start);
        Pass(p, 95);
        EXPECT_EQ(ClassOf(pid), c.lowered);
        EXPECT_EQ(p->SavedClass, c.start);
        Pass(p, 0, 8001);
        EXPECT_EQ(ClassOf(pid), c.start);
        EXPECT_EQ(p->SavedClass, 0u);
        EXPECT_FALSE(p->IsTamed());
        p->SmoothedCpuUse = 0;
        ++pid;
    }
}

TEST_F(WatchCycle, ThresholdIsStrictAndUseIsTruncated)
{
    W().CpuTriggerHigh = 70;
    ProcessObject* p = Start(30, "edge", kNormal);
    Pass(p, 70.99);  // truncated to 70: not above
    EXPECT_EQ(ClassOf(30), kNormal);
    Pass(p, 71.0);
    EXPECT_EQ(ClassOf(30), kLow);
}

TEST_F(WatchCycle, OnlyTheExactExplorerNameIsExempt)
{
    ProcessObject* exact = Start(40, "explorer.exe", kNormal);
    ProcessObject* other = Start(41, "Explorer.exe", kNormal);
    PassWith({{exact, 100}, {other, 100}});
    EXPECT_EQ(ClassOf(40), kNormal);
    EXPECT_EQ(exact->LastChange, 0);
    EXPECT_EQ(ClassOf(41), kLow);
    EXPECT_EQ(W().TamedNames, "Explorer.exe");
}

TEST_F(WatchCycle, RefusedProcessesAreLeftAloneForGood)
{
    struct Case {
        const char* what;
        bool deny;
        bool setFails;
    };
    const Case cases[] = {{"open refused", true, false}, {"set refused", false, true}};
    DWORD pid = 50;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProcessObject* p = Start(pid, "guarded", kNormal);
        auto* fp = fake.Process(pid);
        if (c.deny)
            fp->deniedAccess = PROCESS_SET_INFORMATION;
        fp->setPriorityFails = c.setFails;
        Pass(p, 100);
        EXPECT_EQ(p->RuleState, 1u);
        EXPECT_EQ(ClassOf(pid), kNormal);
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(W().TamedCount, 0);
        fp->deniedAccess = 0;
        fp->setPriorityFails = false;
        Pass(p, 100, 20000);
        EXPECT_EQ(ClassOf(pid), kNormal) << "hands off stays";
        ++pid;
    }
}

TEST_F(WatchCycle, RaisingThatIsRefusedLeavesTheProcessAlone)
{
    ProcessObject* p = Start(60, "stuck", kNormal);
    Pass(p, 100);
    ASSERT_EQ(ClassOf(60), kLow);
    fake.Process(60)->setPriorityFails = true;
    Pass(p, 0, 9000);
    EXPECT_EQ(p->RuleState, 1u);
    EXPECT_TRUE(events.empty());
}

TEST_F(WatchCycle, UnreadableAndUnnamedProcessesAreNotLowered)
{
    ProcessObject* unreadable = Start(70, "secret", kNormal);
    fake.Process(70)->deniedAccess = PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION;
    Pass(unreadable, 100);
    EXPECT_EQ(ClassOf(70), kNormal);
    EXPECT_GT(unreadable->LastChange, 0) << "the step is stamped even when nothing is lowered";
    ProcessObject* unnamed = Start(71, "x", kNormal);
    unnamed->Name.clear();
    Pass(unnamed, 100);
    EXPECT_EQ(ClassOf(71), kNormal);
}

TEST_F(WatchCycle, RestoreAllGivesEveryClassBackAndClearsUse)
{
    ProcessObject* a = Start(80, "a", kHigh);
    ProcessObject* b = Start(81, "b", kNormal);
    ProcessObject* calm = Start(82, "calm", kAbove);
    PassWith({{a, 100}, {b, 100}, {calm, 30}});
    ASSERT_EQ(W().TamedCount, 2);
    events.clear();
    RestoreAll(W());
    EXPECT_EQ(ClassOf(80), kHigh);
    EXPECT_EQ(ClassOf(81), kNormal);
    EXPECT_EQ(ClassOf(82), kAbove);
    EXPECT_EQ(events, (std::vector<Event>{{kRestoring, "a"}, {kRestoring, "b"}}));
    EXPECT_EQ(W().TamedCount, 0);
    for (const auto& r : W().Processes())
        EXPECT_EQ(r->SmoothedCpuUse, 0.0) << r->Name;
}

TEST_F(WatchCycle, ResyncResetsRecordsChangedFromOutside)
{
    ProcessObject* moved = Start(90, "moved", kNormal);
    ProcessObject* kept = Start(91, "kept", kNormal);
    PassWith({{moved, 100}, {kept, 100}});
    ASSERT_EQ(W().TamedCount, 2);
    kept->RuleState = 0;
    fake.Process(90)->priorityClass = kHigh;  // changed by hand
    W().TamedChanged = false;
    ResyncPriorities(W());
    EXPECT_EQ(moved->PriorityClass, kHigh);
    EXPECT_EQ(moved->SmoothedCpuUse, 0.0);
    EXPECT_EQ(moved->SavedClass, 0u);
    EXPECT_EQ(moved->LastChange, 0);
    EXPECT_TRUE(kept->IsTamed());
    EXPECT_EQ(W().TamedCount, 1);
    EXPECT_TRUE(W().TamedChanged);
}

TEST_F(WatchCycle, ApplyRulesToAllForcesEveryMatchingRecord)
{
    Start(100, "game", kNormal);
    Start(101, "game", kNormal);
    Start(102, "editor", kNormal);
    W().ParseRuleStrings("game?Force Low");
    ApplyRulesToAll(W());
    EXPECT_EQ(ClassOf(100), kLow);
    EXPECT_EQ(ClassOf(101), kLow);
    EXPECT_EQ(ClassOf(102), kNormal);
    EXPECT_EQ(W().FindProcess(100)->RuleState, 1u);
}

// Sampling from counters: a process that jumps from idle to full load on a
// one-processor machine is lowered in the cycle in which its smoothed use
// first passes 70, which is the sixth sample at full load.
TEST_F(WatchCycle, FullLoadIsLoweredInTheSixthBusySample)
{
    fake.SetProcessorCount(1);
    fake.AddProcess(110, "/usr/bin/burner");
    W().ScanProcesses();
    fake.Clock().Advance(1000);
    W().Sample();  // the first reading only stores the counter
    int loweredAt = 0;
    for (int s = 1; s <= 10 && loweredAt == 0; ++s) {
        fake.AddCpuTime(110, 1000);
        fake.Clock().Advance(1000);
        W().Sample();
        W().PurgeVanished();
        TameProcesses(W());
        if (fake.Process(110)->priorityClass == kLow)
            loweredAt = s;
    }
    EXPECT_EQ(loweredAt, 6);
}

}  // namespace
