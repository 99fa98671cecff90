// The process table, sampling, priorities and rule actions on the scripted
// system.

#include "tests/engine/WatcherFixture.h"

#include <cmath>

#include "platform/system/registry.h"
#include "platform/system/winbase.h"

namespace {

using Events = std::vector<std::pair<std::string, std::string>>;

// A parameterised case's test name from its description.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* p = info.param.what; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

// ---- Arithmetic --------------------------------------------------------------

// Feeds one record a counter series one second apart and reports the sample
// at which the smoothed use first crosses a bound.
struct SmoothingCase {
    const char* what;
    double start;           // smoothed use before the series
    int startUse;           // instantaneous use before the series
    int loadPercent;        // of one processor, per second
    int processors;
    bool rising;
    double bound;
    int crossingSample;
    double valueThere;
};

TEST(Smoothing, CrossesTheThresholdsWhereExpected)
{
    const SmoothingCase cases[] = {
        {"0 then 100s crosses 70", 0.0, 0, 100, 1, true, 70.0, 6, 73.79},
        {"100 then 0s falls below 8", 100.0, 100, 0, 1, false, 8.0, 12, 6.87},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProcessObject r;
        r.UpdateCpu(0, 0, 0.8, c.processors);  // first reading only stores
        r.SmoothedCpuUse = c.start;
        r.CpuUse = c.startUse;
        std::int64_t value = 0;
        int crossed = 0;
        for (int s = 1; s <= 30 && crossed == 0; ++s) {
            value += c.loadPercent * 100000LL;  // 100 ns units per second at that load
            r.UpdateCpu(value, s * 10000000LL, 0.8, c.processors);
            if (c.rising ? r.SmoothedCpuUse > c.bound : r.SmoothedCpuUse < c.bound) {
                crossed = s;
                EXPECT_NEAR(r.SmoothedCpuUse, c.valueThere, 0.005);
            }
        }
        EXPECT_EQ(crossed, c.crossingSample);
    }
}

TEST(Smoothing, SingleSteps)
{
    struct Case {
        const char* what;
        std::int64_t dV;
        std::int64_t dT;
        int processors;
        double factor;
        int before;
        double smoothedBefore;
        int use;
        double smoothed;
    };
    const Case cases[] = {
        {"two processors, one busy", 10000000, 10000000, 2, 0.8, 0, 0.0, 50, 10.0},
        {"dT 0 keeps the use, still smooths", 5000000, 0, 1, 0.8, 40, 0.0, 40, 8.0},
        {"counter went back: negative", -5000000, 10000000, 1, 0.8, 0, 0.0, -50, -10.0},
        {"smoothing 0 follows the instant", 3000000, 10000000, 1, 0.0, 0, 55.0, 30, 30.0},
        {"truncated toward zero", 9999, 10000000, 1, 0.0, 0, 0.0, 0, 0.0},
        {"no processors counts as one", 10000000, 10000000, 0, 0.0, 0, 0.0, 100, 100.0},
        {"absurd step is held at the edge", INT64_C(9000000000000000000), 1, 1, 0.0, 0, 0.0, 2147483647,
         2147483647.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProcessObject r;
        r.UpdateCpu(0, 1000, c.factor, c.processors);
        EXPECT_EQ(r.CpuUse, 0);
        EXPECT_EQ(r.SmoothedCpuUse, 0.0);
        r.CpuUse = c.before;
        r.SmoothedCpuUse = c.smoothedBefore;
        r.UpdateCpu(c.dV, 1000 + c.dT, c.factor, c.processors);
        EXPECT_EQ(r.CpuUse, c.use);
        EXPECT_NEAR(r.SmoothedCpuUse, c.smoothed, 1e-9);
        EXPECT_EQ(r.SampleCount, 2);
    }
}

TEST(Smoothing, DamagedCountersAtTheEdgesDoNotOverflow)
{
    constexpr std::int64_t kMin = INT64_MIN;
    constexpr std::int64_t kMax = INT64_MAX;
    struct Case {
        const char* what;
        std::int64_t value0, time0, value1, time1;
        int use;
    };
    const Case cases[] = {
        {"both steps beyond 64 bits", kMin, kMin, kMax, kMax, 100},
        {"value step beyond 64 bits", kMin, 0, kMax, 1, 2147483647},
        {"time step beyond 64 bits", 0, kMin, 10, kMax, 0},
        {"time going back beyond 64 bits", 0, kMax, 10, kMin, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProcessObject r;
        r.UpdateCpu(c.value0, c.time0, 0.0, 1);
        r.UpdateCpu(c.value1, c.time1, 0.0, 1);
        EXPECT_EQ(r.CpuUse, c.use);
    }
}

TEST(HashTable, BucketIsHalfTheIdModuloTheCount)
{
    ZqSuperSimpleHashTable<int, unsigned long, ZqHashFunctionT_DIV2> table;
    EXPECT_EQ(table.Bucket(5), nullptr);
    table.Resize(300);
    EXPECT_EQ(table.BucketCount(), 300u);
    const std::pair<unsigned long, std::size_t> cases[] = {
        {0, 0}, {1, 0}, {2, 1}, {599, 299}, {600, 0}, {601, 0}, {4294967295ul, (4294967295ul / 2) % 300}};
    for (const auto& [key, bucket] : cases)
        EXPECT_EQ(table.BucketIndex(key), bucket) << key;
    int a = 1;
    table.Bucket(600)->push_back(&a);
    EXPECT_EQ(table.Bucket(1)->size(), 1u);
    table.Clear();
    EXPECT_EQ(table.BucketCount(), 0u);
    EXPECT_EQ(table.Bucket(600), nullptr);
}

// ---- Enumeration and naming -----------------------------------------------

class Enumeration : public WatcherFixture {};

TEST_F(Enumeration, ScanAddsEveryProcessWithItsBaseNameAndClass)
{
    Add(100, "a.exe");
    Add(7, "b").priorityClass = HIGH_PRIORITY_CLASS;
    fake.AddProcess(300, "/x/y/" + std::string(400, 'L'));  // longer than the old path limit
    Add(301, "hidden").deniedAccess = PROCESS_VM_READ;    // cannot be read: not in a scan
    ASSERT_TRUE(W().ScanProcesses());
    std::vector<std::pair<DWORD, std::string>> got;
    for (const auto& r : W().Processes())
        got.emplace_back(r->Pid, r->Name);
    EXPECT_EQ(got.size(), 3u);
    EXPECT_EQ(W().FindProcess(7)->PriorityClass, HIGH_PRIORITY_CLASS);
    EXPECT_EQ(W().FindProcess(100)->Name, "a.exe");
    EXPECT_EQ(W().FindProcess(300)->Name, std::string(400, 'L'));
    EXPECT_EQ(W().FindProcess(301), nullptr);
    EXPECT_EQ(W().FindProcess(100)->NameRetries, 0);
    for (const auto& r : W().Processes())
        EXPECT_EQ(W().FindProcess(r->Pid), r.get());
}

TEST_F(Enumeration, ManyProcesses)
{
    for (DWORD pid = 2; pid < 2 + 1500; ++pid)
        Add(pid, "p" + std::to_string(pid));
    ASSERT_TRUE(W().ScanProcesses());
    EXPECT_EQ(W().Processes().size(), 1500u);
    EXPECT_EQ(W().FindProcess(1501)->Name, "p1501");
    EXPECT_EQ(W().FindPidByName("p1400"), 1400u);
}

TEST_F(Enumeration, ScanTwiceAddsNothingTwice)
{
    Add(10, "a");
    W().ScanProcesses();
    W().ScanProcesses();
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
}

TEST_F(Enumeration, FindPidByNameIsExact)
{
    Add(10, "QuelvoConfigurator.EXE");
    Add(11, "quelvoconfigurator.exe");
    Add(12, "QuelvoConfigurator.exe");
    Add(13, "QuelvoConfigurator.exe");
    EXPECT_EQ(W().FindPidByName("QuelvoConfigurator.exe"), 12u);
    EXPECT_EQ(W().FindPidByName("Quelvo"), 0u);
    EXPECT_EQ(W().FindPidByName(""), 0u);
}

TEST_F(Enumeration, FindWindowOfPidTakesTheFirstWindow)
{
    Add(10, "a");
    Add(11, "b");
    fake.AddWindow(11);
    const HWND first = fake.AddWindow(10);
    fake.AddWindow(10);
    EXPECT_EQ(W().FindWindowOfPid(10), first);
    EXPECT_EQ(W().FindWindowOfPid(12), nullptr);
}

TEST_F(Enumeration, ProcessNamesAndTheirFailures)
{
    Add(10, "tool.exe");
    fake.AddProcess(11, "/usr/lib/very-long-daemon-name").pathReadable = false;
    Add(12, "locked").deniedAccess = PROCESS_VM_READ;  // not in a scan, yet named
    CPSAPIT_ProcessWatcher e;
    std::string name = "junk";
    EXPECT_FALSE(e.GetProcessName(10, name));
    EXPECT_EQ(name, "failed0");  // libraries not loaded
    ASSERT_TRUE(e.LoadLibraries());
    EXPECT_TRUE(e.GetProcessName(10, name));
    EXPECT_EQ(name, "tool.exe");
    EXPECT_TRUE(e.GetProcessName(11, name));
    EXPECT_EQ(name, "very-long-daemo");  // the short name of the system
    EXPECT_TRUE(e.GetProcessName(12, name));
    EXPECT_EQ(name, "locked");
    EXPECT_EQ(e.FindPidByName("locked"), 0u);
    EXPECT_FALSE(e.GetProcessName(99, name));
    EXPECT_EQ(name, "");
}

TEST_F(Enumeration, BaseName)
{
    EXPECT_EQ(CPSAPIT_ProcessWatcher::BaseName("/a/b/c.exe"), "c.exe");
    EXPECT_EQ(CPSAPIT_ProcessWatcher::BaseName("c.exe"), "c.exe");
    EXPECT_EQ(CPSAPIT_ProcessWatcher::BaseName("/a/"), "");
    EXPECT_EQ(CPSAPIT_ProcessWatcher::BaseName("C:\\x\\y.exe"), "C:\\x\\y.exe");
}

TEST_F(Enumeration, MissingLibraryEndsTheProgram)
{
    for (const char* library : {"PSAPI.DLL", "VDMDBG.DLL"}) {
        fake.SetLibraryMissing(library);
        EXPECT_EXIT(ProcessWatcher{}, testing::ExitedWithCode(1), "") << library;
        fake.SetLibraryMissing(library, false);
    }
}

// ---- Table: sampling, purging, names -----------------------------------------

class Table : public WatcherFixture {};

TEST_F(Table, SampleAddsNewProcessesAndPurgeDropsVanishedOnes)
{
    Add(10, "a");
    Add(11, "b");
    W().ScanProcesses();
    Tick();
    Add(12, "c");
    fake.EndProcess(10);
    Tick();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(W().IsStale(W().FindProcess(10)));
    EXPECT_FALSE(W().IsStale(W().FindProcess(12)));
    EXPECT_FALSE(W().PurgeVanished());
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(W().FindProcess(10), nullptr);
    EXPECT_EQ(W().FindProcess(12)->LastSeen, W().SampleTime);
}

TEST_F(Table, FailedSampleDropsNothing)
{
    Add(10, "hog");
    Add(11, "stays");
    W().ScanProcesses();
    Tick();
    ProcessObject* hog = W().FindProcess(10);
    Lower(hog, NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS);
    W().RebuildTamedList();
    const std::int64_t before = W().SampleTime;
    fake.SetPerfQueryFails(true);
    Tick();
    EXPECT_EQ(W().SampleTime, before);
    EXPECT_FALSE(W().PurgeVanished());
    ASSERT_EQ(W().FindProcess(10), hog);
    EXPECT_EQ(hog->SavedClass, NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(W().TamedCount, 1);

    fake.SetPerfQueryFails(false);
    fake.EndProcess(10);
    Tick();
    EXPECT_TRUE(W().PurgeVanished());  // a lowered record went
    EXPECT_EQ(W().TamedCount, 0);
    EXPECT_EQ(W().TamedNames, "");
}

TEST_F(Table, LaterSampleInTheSameMillisecondStillSeesGoneProcesses)
{
    Add(10, "a");
    Add(11, "b");
    W().ScanProcesses();
    W().Sample();
    fake.EndProcess(10);
    W().Sample();  // the clock has not moved
    W().PurgeVanished();
    EXPECT_EQ(Names(), std::vector<std::string>{"b"});
}

TEST_F(Table, ReusedIdGetsAFreshRecord)
{
    Add(10, "old.exe");
    W().SetRule("new.exe", "Force High");
    W().ScanProcesses();
    Tick();
    ProcessObject* old = W().FindProcess(10);
    old->UserData = this;
    Lower(old, NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS);
    W().RebuildTamedList();
    fake.EndProcess(10);
    fake.Clock().Advance(1);
    Add(10, "new.exe");
    events.clear();
    Tick();
    ProcessObject* fresh = W().FindProcess(10);
    ASSERT_NE(fresh, old);
    EXPECT_EQ(fresh->Name, "new.exe");
    EXPECT_FALSE(fresh->IsTamed());
    EXPECT_EQ(fresh->SampleCount, 1);
    EXPECT_EQ(fresh->RuleState, 1u);  // rules applied afresh
    EXPECT_EQ(events, (Events{{"Forcing priority High due to explicit rule", "new.exe"}}));
    EXPECT_EQ(W().FindProcessByName("old.exe"), nullptr);
    EXPECT_TRUE(W().IsStale(old));
    EXPECT_TRUE(W().PurgeVanished());
    EXPECT_EQ(Names(), std::vector<std::string>{"new.exe"});
}

TEST_F(Table, CounterGoingBackMeansANewProcess)
{
    Add(10, "a");
    W().ScanProcesses();
    W().UpdateProcessCpu(10, 5000);
    ProcessObject* first = W().FindProcess(10);
    W().UpdateProcessCpu(10, 6000);
    EXPECT_EQ(W().FindProcess(10), first);
    W().UpdateProcessCpu(10, 100);
    EXPECT_NE(W().FindProcess(10), first);
    EXPECT_EQ(W().FindProcess(10)->LastCounterValue, 100);
}

TEST_F(Table, IdZeroIsIgnored)
{
    W().UpdateProcessCpu(0, 100);
    EXPECT_TRUE(W().Processes().empty());
}

TEST_F(Table, NamesAreRetriedUpToTenTimes)
{
    // Named by its short name at first, as for a path that cannot be read.
    auto& script = Add(10, "late.exe");
    script.pathReadable = false;
    script.shortName = "unnamed:late";
    Add(11, "unnamed-thing");
    W().SetRule("late.exe", "Force Low");
    Tick();  // both first seen by a sample
    ProcessObject* late = W().FindProcess(10);
    ProcessObject* unnamed = W().FindProcess(11);
    EXPECT_EQ(late->Name, "unnamed:late");
    EXPECT_EQ(late->NameRetries, 10);
    EXPECT_EQ(unnamed->Name, "unnamed-thing");
    EXPECT_EQ(unnamed->NameRetries, 10);

    for (int i = 0; i < 3; ++i) {
        Tick();
        W().PurgeVanished();
    }
    EXPECT_EQ(late->NameRetries, 7);
    EXPECT_TRUE(events.empty());
    fake.Process(10)->pathReadable = true;
    Tick();
    W().PurgeVanished();
    EXPECT_EQ(late->Name, "late.exe");
    EXPECT_EQ(late->NameRetries, 0);
    EXPECT_EQ(events, (Events{{"Forcing priority Low due to explicit rule", "late.exe"}}));

    for (int i = 0; i < 12; ++i) {
        Tick();
        W().PurgeVanished();
    }
    EXPECT_EQ(unnamed->NameRetries, 0);
    EXPECT_EQ(unnamed->Name, "unnamed-thing");
}

TEST_F(Table, TamedListNamesInCreationOrder)
{
    for (DWORD pid : {10u, 11u, 12u, 13u})
        Add(pid, "p" + std::to_string(pid));
    W().ScanProcesses();
    Lower(W().FindProcess(12), NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS);
    Lower(W().FindProcess(10), HIGH_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS);
    Lower(W().FindProcess(13), NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS);
    W().FindProcess(13)->RuleState = 1;  // hands off: not tamed
    W().FindProcess(11)->SavedClass = NORMAL_PRIORITY_CLASS;  // never changed: not tamed
    W().TamedChanged = false;
    W().RebuildTamedList();
    EXPECT_TRUE(W().TamedChanged);
    EXPECT_EQ(W().TamedCount, 2);
    EXPECT_EQ(W().TamedNames, "p10, p12");
}

TEST_F(Table, ProcessorUseFromTheSamples)
{
    fake.SetProcessorCount(2);
    Add(10, "busy");
    Add(11, "idle");
    W().ScanProcesses();
    Tick();
    fake.AddCpuTime(10, 1000);
    Tick();
    EXPECT_EQ(W().FindProcess(10)->CpuUse, 50);
    EXPECT_NEAR(W().FindProcess(10)->SmoothedCpuUse, 10.0, 1e-9);
    EXPECT_EQ(W().FindProcess(11)->CpuUse, 0);
    EXPECT_EQ(W().NumberOfProcessors(), 2);
}

// ---- Performance counter switches --------------------------------------------

class Counters : public WatcherFixture {
protected:
    static constexpr const char* kProc = "SYSTEM\\CurrentControlSet\\Services\\PerfProc\\Performance";
    static constexpr const char* kOs = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";

    static LONG Read(const char* path, DWORD& value)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != 0)
            return -1;
        DWORD size = sizeof(value);
        const LONG r = RegQueryValueExA(key, "Disable Performance Counters", nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return r;
    }
    static void Write(const char* path, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key), 0);
        RegSetValueExA(key, "Disable Performance Counters", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void Write(const char* path, DWORD value) { Write(path, REG_DWORD, &value, sizeof(value)); }
};

TEST_F(Counters, SwitchedOnBySamplingAndBackAtTheEnd)
{
    Write(kProc, 1);
    Add(10, "a");
    EXPECT_EQ(W().OsClass(), 1);
    EXPECT_EQ(W().CountersEnabled(), 0);
    Tick();
    EXPECT_EQ(W().CountersEnabled(), 1);
    DWORD value = 99;
    ASSERT_EQ(Read(kProc, value), 0);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(W().FindProcess(10)->SampleCount, 1);  // the switch let the data through
    DestroyWatcher();
    ASSERT_EQ(Read(kProc, value), 0);
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(Read(kOs, value), 0);  // absent before: now present with 0
    EXPECT_EQ(value, 0u);
}

TEST_F(Counters, AValueOfAnotherTypeIsNotTakenForTheSwitch)
{
    Write(kOs, REG_SZ, "1", 2);
    W().Sample();
    DestroyWatcher();
    DWORD value = 99;
    ASSERT_EQ(Read(kOs, value), 0);
    EXPECT_EQ(value, 0u);
}

// ---- Priorities and rules ------------------------------------------------------

class Priorities : public WatcherFixture {};

TEST_F(Priorities, GetAndSetReportTheRealResult)
{
    Add(10, "a").priorityClass = ABOVE_NORMAL_PRIORITY_CLASS;
    Add(11, "ro").deniedAccess = PROCESS_SET_INFORMATION;
    Add(12, "refuses").setPriorityFails = true;
    Add(13, "hidden").deniedAccess = PROCESS_QUERY_INFORMATION;
    EXPECT_EQ(ProcessWatcher::GetPidPriority(10), ABOVE_NORMAL_PRIORITY_CLASS);
    EXPECT_EQ(ProcessWatcher::GetPidPriority(13), 0u);
    EXPECT_EQ(ProcessWatcher::GetPidPriority(99), 0u);
    EXPECT_TRUE(ProcessWatcher::SetPidPriority(10, IDLE_PRIORITY_CLASS));
    EXPECT_EQ(fake.Process(10)->priorityClass, IDLE_PRIORITY_CLASS);
    EXPECT_FALSE(ProcessWatcher::SetPidPriority(11, IDLE_PRIORITY_CLASS));
    EXPECT_FALSE(ProcessWatcher::SetPidPriority(12, IDLE_PRIORITY_CLASS));
    EXPECT_FALSE(ProcessWatcher::SetPidPriority(99, IDLE_PRIORITY_CLASS));
}

// One record, one rule, one ApplyRules call.
struct ApplyCase {
    const char* what;
    const char* rule;          // "" for none
    DWORD classNow;
    DWORD savedClass;          // non-zero: the record is lowered from it
    bool setFails;
    bool self;
    bool enforce;
    Events events;
    DWORD classAfter;          // of the process
    DWORD ruleStateAfter;
    bool tamedAfter;
};

class ApplyRules : public WatcherFixture, public testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyRules, Case)
{
    const ApplyCase& c = GetParam();
    auto& p = Add(10, "app.exe");
    p.priorityClass = c.classNow;
    p.setPriorityFails = c.setFails;
    fake.AddWindow(10);
    if (c.self)
        fake.SetCurrentPid(10);
    W().EnforceRules = false;
    W().ScanProcesses();
    ProcessObject* r = W().FindProcess(10);
    if (c.savedClass != 0) {
        Lower(r, c.savedClass, c.classNow);
        W().RebuildTamedList();
    } else
        r->RuleState = 1;  // so that "no rule" shows it is watched again
    if (*c.rule != '\0')
        W().SetRule("app.exe", c.rule);
    W().SetRule("App.exe", "Force Kill");  // differs in case: never matches
    W().EnforceRules = c.enforce;
    W().ApplyRules(r);
    EXPECT_EQ(events, c.events);
    const auto* live = fake.Process(10);
    EXPECT_EQ(live ? live->priorityClass : 0u, c.classAfter);
    EXPECT_EQ(r->RuleState, c.ruleStateAfter);
    EXPECT_EQ(r->IsTamed(), c.tamedAfter);
    EXPECT_EQ(W().TamedCount, c.tamedAfter ? 1 : 0);
}

const DWORD kLow = IDLE_PRIORITY_CLASS;
const DWORD kNormal = NORMAL_PRIORITY_CLASS;
const DWORD kHigh = HIGH_PRIORITY_CLASS;
const std::string kForceHigh = "Forcing priority High due to explicit rule";
const std::string kForceLow = "Forcing priority Low due to explicit rule";

INSTANTIATE_TEST_SUITE_P(
    Paths, ApplyRules,
    testing::Values(
        ApplyCase{"no rule: watched again", "", kNormal, 0, false, false, true, {}, kNormal, 0, false},
        ApplyCase{"force a different class", "Force High", kNormal, 0, false, false, true,
                  {{kForceHigh, "app.exe"}}, kHigh, 1, false},
        ApplyCase{"force Low names it Low", "Force Low", kNormal, 0, false, false, true,
                  {{kForceLow, "app.exe"}}, kLow, 1, false},
        ApplyCase{"force the class it has: nothing", "Force High", kHigh, 0, false, false, true, {}, kHigh, 1,
                  false},
        ApplyCase{"force refused: no event", "Force High", kNormal, 0, true, false, true, {}, kNormal, 1, false},
        ApplyCase{"force ends the taming", "Force High", kLow, kNormal, false, false, true,
                  {{kForceHigh, "app.exe"}}, kHigh, 1, false},
        ApplyCase{"ignore restores a lowered process", "Ignore", kLow, kNormal, false, false, true,
                  {{"Restoring Process Priority", "app.exe"}}, kNormal, 1, false},
        ApplyCase{"ignore on an untamed process", "Ignore", kNormal, 0, false, false, true, {}, kNormal, 1, false},
        ApplyCase{"failed restore stays tamed and watched", "Ignore", kLow, kNormal, true, false, true, {}, kLow, 0,
                  true},
        ApplyCase{"kill", "Force Kill", kNormal, 0, false, false, true,
                  {{"Killing process due to explicit rule", "app.exe"}}, 0, 1, false},
        ApplyCase{"never force this program itself", "Force High", kNormal, 0, false, true, true, {}, kNormal, 1,
                  false},
        ApplyCase{"never kill this program itself", "Force Kill", kNormal, 0, false, true, true, {}, kNormal, 1,
                  false},
        ApplyCase{"rules not enforced", "Force High", kNormal, 0, false, false, false, {}, kNormal, 1, false}),
    CaseName<ApplyCase>);

TEST_F(Priorities, RestoreAgreesWithTheProcessAlready)
{
    Add(10, "a");
    W().ScanProcesses();
    ProcessObject* r = W().FindProcess(10);
    Lower(r, kNormal, kLow);
    fake.Process(10)->priorityClass = kNormal;  // changed back from outside
    W().RestoreProcess(r);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(fake.priorityChanges.empty());
    EXPECT_EQ(r->PriorityClass, kNormal);
    EXPECT_FALSE(r->IsTamed());
}

TEST_F(Priorities, RulesAppliedToNewProcesses)
{
    W().SetRule("forced.exe", "Force High");
    Add(10, "forced.exe");
    Add(11, "other.exe");
    W().ScanProcesses();
    EXPECT_EQ(fake.Process(10)->priorityClass, kHigh);
    EXPECT_EQ(W().FindProcess(10)->RuleState, 1u);
    EXPECT_EQ(W().FindProcess(11)->RuleState, 0u);
    EXPECT_EQ(events, (Events{{kForceHigh, "forced.exe"}}));
}

// ---- Closing processes -----------------------------------------------------------

struct CloseCase {
    const char* what;
    bool exists;
    bool window;
    bool closes;
    bool terminate;
    bool result;
    bool alive;
    std::size_t terminations;
    std::size_t closeRequests = 0;
};

class ClosePid : public WatcherFixture, public testing::WithParamInterface<CloseCase> {};

TEST_P(ClosePid, Case)
{
    const CloseCase& c = GetParam();
    if (c.exists) {
        quelvo::sys::FakeProcess& target = Add(10, "target");
        target.closesOnWmClose = c.closes;
        target.closesOnRequest = c.closes;
        if (c.window) {
            fake.AddWindow(10);
            fake.AddWindow(10);
        }
    }
    EXPECT_EQ(W().ClosePid(10, 3, c.terminate), c.result);
    EXPECT_EQ(fake.Process(10) != nullptr, c.alive);
    EXPECT_EQ(fake.terminations.size(), c.terminations);
    EXPECT_EQ(fake.closeRequests.size(), c.closeRequests);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ClosePid,
    testing::Values(CloseCase{"not there", false, false, false, true, true, false, 0},
                    CloseCase{"closes on request", true, true, true, false, true, false, 0},
                    CloseCase{"ignores the request", true, true, false, false, false, true, 0},
                    CloseCase{"ignores it and is killed", true, true, false, true, true, false, 1},
                    CloseCase{"windowless closes on request", true, false, true, false, true, false, 0, 1},
                    CloseCase{"windowless ignores the request", true, false, false, false, false, true, 0, 1},
                    CloseCase{"windowless ignores it and is killed", true, false, false, true, true, false, 1, 1}),
    CaseName<CloseCase>);

TEST_F(Priorities, ClosePidPostsToEveryWindow)
{
    Add(10, "target").closesOnWmClose = false;
    const HWND a = fake.AddWindow(10);
    const HWND b = fake.AddWindow(10);
    Add(11, "other");
    fake.AddWindow(11);
    W().ClosePid(10, 3, false);
    std::vector<HWND> closed;
    for (const auto& m : fake.messages) {
        EXPECT_EQ(m.message, 0x0010u);
        EXPECT_EQ(m.pid, 10u);
        closed.push_back(m.window);
    }
    EXPECT_EQ(closed, (std::vector<HWND>{a, b, a}));
}

TEST_F(Priorities, ClosePidNeverActsOnThisProgram)
{
    Add(10, "self").closesOnWmClose = false;
    fake.AddWindow(10);
    fake.SetCurrentPid(10);
    EXPECT_FALSE(W().ClosePid(10, 3, true));
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_TRUE(fake.terminations.empty());
}

TEST_F(Priorities, ClosePidOfNoProcessIsDone)
{
    Add(10, "other").closesOnRequest = false;
    EXPECT_TRUE(W().ClosePid(0, 3, true));
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_TRUE(fake.closeRequests.empty());
    EXPECT_TRUE(fake.terminations.empty());
}

TEST_F(Priorities, KillRuleWaitsItsGracePeriodWithoutStopping)
{
    Add(10, "stubborn").closesOnRequest = false;
    W().SetRule("stubborn", "Force Kill");
    W().ScanProcesses();
    EXPECT_EQ(events, (Events{{"Killing process due to explicit rule", "stubborn"}}));
    EXPECT_EQ(fake.closeRequests, std::vector<DWORD>{10});
    EXPECT_TRUE(fake.terminations.empty()) << "asked first, not killed at once";
    fake.Clock().Advance(ProcessWatcher::kKillGraceMs - 1);
    EXPECT_TRUE(W().ServePendingKills());
    EXPECT_TRUE(fake.terminations.empty());
    fake.Clock().Advance(1);
    EXPECT_FALSE(W().ServePendingKills());
    ASSERT_EQ(fake.terminations.size(), 1u);
    EXPECT_EQ(fake.Process(10), nullptr);

    // One that closes when asked is never killed, and its request is done.
    Add(11, "stubborn");
    W().Sample();
    EXPECT_EQ(fake.Process(11), nullptr);
    EXPECT_FALSE(W().ServePendingKills());
    EXPECT_EQ(fake.terminations.size(), 1u);
}

TEST_F(Priorities, KillRulesNeverApplyToOurOwnPrograms)
{
    for (const char* name : ProcessWatcher::kOwnPrograms) {
        SCOPED_TRACE(name);
        W().SetRule(name, "Force Kill");
        Add(10, name).closesOnRequest = false;
        W().ScanProcesses();
        EXPECT_FALSE(W().HasPendingKills());
        EXPECT_TRUE(fake.closeRequests.empty());
        EXPECT_TRUE(events.empty());
        EXPECT_NE(fake.Process(10), nullptr);
        fake.EndProcess(10);
        DestroyWatcher();
    }
}

TEST_F(Table, ExecRenamesTheRecordAndAppliesTheNewNamesRules)
{
    struct Case {
        const char* what;
        const char* oldRule;   // rule of the wrapper's name; "" for none
        const char* newRule;   // rule of the program it runs; "" for none
        bool lowered;          // lowered by the tray before the exec
        DWORD classAfter;
        DWORD ruleStateAfter;
        std::vector<std::pair<std::string, std::string>> events;
    };
    const Case cases[] = {
        {"ignore rule restores", "", "Ignore", true, NORMAL_PRIORITY_CLASS, 1,
         {{"Restoring Process Priority", "game"}}},
        {"force rule applies", "", "Force High", false, HIGH_PRIORITY_CLASS, 1,
         {{"Forcing priority High due to explicit rule", "game"}}},
        {"the wrapper's rule no longer holds", "Force High", "", false, HIGH_PRIORITY_CLASS, 0, {}},
        {"still lowered without a rule", "", "", true, IDLE_PRIORITY_CLASS, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (*c.oldRule != '\0')
            W().SetRule("launcher", c.oldRule);
        if (*c.newRule != '\0')
            W().SetRule("game", c.newRule);
        Add(10, "launcher");
        Tick();
        ProcessObject* record = W().FindProcess(10);
        ASSERT_NE(record, nullptr);
        if (c.lowered)
            Lower(record, NORMAL_PRIORITY_CLASS, IDLE_PRIORITY_CLASS);
        events.clear();
        fake.Process(10)->path = "/usr/bin/game";
        fake.Process(10)->shortName = "game";
        Tick();
        EXPECT_EQ(record, W().FindProcess(10)) << "the same process keeps its record";
        EXPECT_EQ(record->Name, "game");
        EXPECT_EQ(fake.Process(10)->priorityClass, c.classAfter);
        EXPECT_EQ(record->RuleState, c.ruleStateAfter);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(W().TamedNames, c.lowered && c.ruleStateAfter == 0 ? "game" : "");
        fake.EndProcess(10);
        DestroyWatcher();
    }
}

TEST_F(Table, AShortNameChangedByTheProgramItselfKeepsTheName)
{
    Add(10, "server");
    Tick();
    fake.Process(10)->shortName = "worker-3";
    Tick();
    EXPECT_EQ(W().FindProcess(10)->Name, "server");
    EXPECT_EQ(W().FindProcess(10)->ShortName.size(), std::string("worker-3").size() * 2);
}

} // namespace
