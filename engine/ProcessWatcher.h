#pragma once
// The engine object of both programs: the table of running processes with
// their processor use, the explicit rules, the thresholds, and the
// operations that read, set, force and restore priority classes and close
// processes. Single-threaded; times are 64-bit monotonic milliseconds of the
// platform clock.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CPSAPIT.h"
#include "engine/CPerfCounters.h"
#include "engine/ProcessOverrideRule.h"
#include "engine/ScopedHandle.h"
#include "engine/ZqSuperSimpleHashTable.h"
#include "platform/system/wintypes.h"

// One watched process.
class ProcessObject {
public:
    DWORD Pid = 0;
    std::string Name;              // executable base name
    int NameRetries = 0;           // further name look-ups still allowed
    DWORD PriorityClass = 0;       // current class; 0 when unreadable
    DWORD SavedClass = 0;          // class before the engine lowered it; 0 = none
    std::int64_t LastChange = 0;   // ms of the last priority step; 0 = none
    std::int64_t LastSeen = 0;     // ms of the last sample that reported it
    std::int64_t StartTime = 0;    // start-time counter; 0 = not known yet
    std::string ShortName;         // bytes of the sample's instance name; "" = none yet
    DWORD RuleState = 0;           // 0 watched, 1 hands off
    int CpuUse = 0;                // instantaneous, percent of the machine
    double SmoothedCpuUse = 0.0;   // smoothed, percent of the machine
    int SampleCount = 0;
    std::int64_t LastCounterValue = 0; // processor time, 100 ns
    std::int64_t LastCounterTime = 0;  // block time, 100 ns
    void* UserData = nullptr;          // kept for the user interface

    // Lowered by the engine and not yet given back.
    bool IsTamed() const { return RuleState != 1 && LastChange > 0 && SavedClass != 0; }

    // Folds one counter reading into the instantaneous and smoothed use:
    // value and time in 100 ns units, factor = weight of the old smoothed
    // use, processors = how many share the machine.
    void UpdateCpu(std::int64_t value, std::int64_t time, double factor, int processors);
};

class ProcessWatcher {
public:
    using EventCallbackFn = std::function<void(const std::string& event, const std::string& processName)>;
    using ProcessList = std::vector<std::unique_ptr<ProcessObject>>;
    using RuleList = std::vector<std::unique_ptr<ProcessOverrideRule>>;

    static constexpr std::size_t kHashBuckets = 300;
    static constexpr int kNameRetries = 10;
    static constexpr DWORD kPerfObjectProcess = 230;
    static constexpr DWORD kPerfCounterProcessorTime = 6;
    // What a process asked to close by a kill rule gets before it is killed.
    static constexpr std::int64_t kKillGraceMs = 2000;
    // Our own programs: a kill rule never applies to them, whoever runs
    // them (other instances, other users' ones), since a tray killed that
    // way never gives back what it lowered.
    static constexpr const char* kOwnPrograms[] = {"QuelvoTray.exe", "QuelvoConfigurator.exe"};
    static bool IsOwnProgram(const std::string& name);

    // Event texts.
    static constexpr const char* kEventRestoring = "Restoring Process Priority";
    static constexpr const char* kEventKilling = "Killing process due to explicit rule";
    static std::string ForcingEvent(DWORD priorityClass);

    // Ends the program with exit code 1 when the process-status libraries
    // cannot be loaded.
    ProcessWatcher();
    ~ProcessWatcher();
    ProcessWatcher(const ProcessWatcher&) = delete;
    ProcessWatcher& operator=(const ProcessWatcher&) = delete;

    // ---- Thresholds and switches (read and written by both programs) ----
    int CpuSmoothing = 80;          // percent weight of the old smoothed use
    double SmoothingFactor = 0.8;   // CpuSmoothing / 100
    int CpuTriggerHigh = 70;        // percent
    int CpuTriggerLow = 8;          // percent
    int CpuMinInterval = 8;         // seconds
    bool EnforceRules = true;       // false: rules are kept but never acted on
    EventCallbackFn EventCallback;  // null: events are not reported

    // ---- Tamed list ----
    int TamedCount = 0;
    std::string TamedNames;         // names of lowered processes, ", " between
    bool TamedChanged = false;

    // ---- Time ----
    std::int64_t CurrentTime = 0;   // ms; set at construction and by the passes
    std::int64_t SampleTime = 0;    // ms of the latest sample that saw processes
    static std::int64_t Now();      // the platform clock, ms

    // ---- Process table ----
    const ProcessList& Processes() const { return processes_; }
    bool ScanProcesses();
    ProcessObject* AddProcess(DWORD processId, const std::string& name);
    ProcessObject* FindProcess(DWORD processId) const;
    ProcessObject* FindOrAddProcess(DWORD processId);
    ProcessObject* FindProcessByName(const std::string& name) const;
    void HashInsert(ProcessObject* record);
    void HashRemove(ProcessObject* record);
    bool IsStale(const ProcessObject* record) const { return record->LastSeen < SampleTime; }
    bool PurgeVanished();
    void RecheckName(ProcessObject* record);
    // A known process runs another program now: the record takes its name
    // and is handled as a new process would be (a rule of the old name no
    // longer holds; one of the new name applies).
    void RenameAfterExec(ProcessObject* record);
    void RebuildTamedList();

    // ---- Processes and windows ----
    HWND FindWindowOfPid(DWORD processId);
    bool CloseWindowsOfPid(DWORD processId);
    DWORD FindPidByName(const std::string& name);
    // Asks a process to close (WM_CLOSE to its top-level windows, or the
    // platform's close request when it has none), waits up to the given time
    // and, when asked, kills it if it is still running. True when it is gone
    // or cannot be opened at all (id 0 included). Never acts on this
    // program's own process (false).
    bool ClosePid(DWORD processId, DWORD milliseconds, bool terminate);
    // Asks a process to close now and kills it once kKillGraceMs have
    // passed, when ServePendingKills finds it still running. Nothing for
    // this program's own process or one that cannot be opened.
    void CloseThenKill(DWORD processId);
    // Kills what the grace period is over for; true while requests wait.
    // The owner's loop calls it, so nothing here waits.
    bool ServePendingKills();
    bool HasPendingKills() const { return !pendingKills_.empty(); }

    // ---- Sampling ----
    int OsClass() const { return osClass_; }
    int NumberOfProcessors() const { return processors_; }
    int CountersEnabled() const { return countersEnabled_; }
    int EnablePerfCounters(int flag);
    bool Sample();
    // The number of process instances the sample walked.
    int SampleProcesses();
    // The instance name is the sample's short name of the process: when it
    // changes for a known process (it ran exec), the name is read again.
    void UpdateProcessCpu(DWORD processId, std::int64_t value, std::int64_t startTime = 0,
                          std::string_view shortName = {});
    CPerfCounters& PerfCounters() { return perf_; }

    // ---- Priority classes ----
    static DWORD GetPidPriority(DWORD processId);
    static bool SetPidPriority(DWORD processId, DWORD priorityClass);
    static std::string PriorityName(DWORD priorityClass) { return PriorityDisplayName(priorityClass); }
    static DWORD PriorityClassOf(const std::string& name) { return PriorityClassFromDisplayName(name); }

    // ---- Rules ----
    const RuleList& Rules() const { return rules_; }
    ProcessOverrideRule* FindRule(const std::string& name) const;
    static std::string RuleText(const ProcessOverrideRule* rule);
    std::string RuleTextFor(const ProcessObject* record) const;
    // Replaces the program's rules by one made of the text; null (and the
    // program left without rules) for an unknown text. Refuses a name that
    // could not be stored (one holding '|', '?' or a control byte): its old
    // rules are removed all the same.
    ProcessOverrideRule* SetRule(const std::string& name, const std::string& text);
    void RemoveRulesOf(const std::string& name);
    void DeleteRule(ProcessOverrideRule* rule);
    void DeleteAllRules();
    // Appends "name?text" per rule, "|" between them. A rule whose name would
    // break that text (empty, or holding '|', '?' or a line end; only the
    // legacy file can give one) is left out.
    void BuildRuleStrings(std::string& out) const;
    void ParseRuleStrings(const std::string& text);
    bool ReadOverridesFile(const std::string& path);
    static bool IsStorableRuleName(const std::string& name);

    // ---- Applying rules (the tray program only; see EnforceRules) ----
    void ApplyRules(ProcessObject* record);
    void RestoreProcess(ProcessObject* record);

private:
    void Report(const std::string& event, const std::string& name) const;
    ProcessList::iterator Position(const ProcessObject* record);
    // Drops one record from list and hash; true when it was tamed.
    bool DropRecord(ProcessObject* record);

    struct PendingKill {
        ScopedProcessHandle process;  // the very process asked, whatever its id becomes
        std::int64_t deadline = 0;
    };
    // Posts WM_CLOSE to the windows of an opened process, or asks it through
    // the platform when it has none.
    void AskToClose(HANDLE process, DWORD processId);

    std::unique_ptr<CPSAPIT_ProcessWatcher> enumerator_;
    std::vector<PendingKill> pendingKills_;
    ProcessList processes_;
    ZqSuperSimpleHashTable<ProcessObject, unsigned long, ZqHashFunctionT_DIV2> hash_;
    RuleList rules_;
    CPerfCounters perf_;
    int osClass_ = 3;
    int processors_ = 1;
    int countersEnabled_ = 0;
    DWORD savedDisable_[2] = {0, 0};
};
