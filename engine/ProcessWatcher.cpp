#include "engine/ProcessWatcher.h"
#include "engine/ScopedHandle.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/system/backend.h"
#include "platform/system/clock.h"
#include "platform/system/registry.h"
#include "platform/system/winbase.h"
#include "platform/system/window_directory.h"

namespace {

constexpr DWORD kCloseAccess = SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE;
constexpr UINT kWmClose = 0x0010;
constexpr const char* kCounterKeys[2] = {
    "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance",
    "SYSTEM\\CurrentControlSet\\Services\\PerfProc\\Performance",
};
constexpr const char* kDisableCounters = "Disable Performance Counters";
constexpr REGSAM kCounterKeyAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// The key at a path, opened with the given rights; null when it cannot be.
HKEY OpenKey(HKEY parent, const char* path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, access, &key) != static_cast<LONG>(ERROR_SUCCESS))
        return nullptr;
    return key;
}

// A name that would split or merge entries of the rule strings: such a rule
// (only the legacy file can give one) is left out rather than written as a
// rule for some other program.
bool BreaksRuleStrings(const std::string& name)
{
    return name.empty() || name.find_first_of(std::string("|?\r\n\0", 5)) != std::string::npos;
}

bool IsUnnamed(const std::string& name)
{
    return name.empty() || name.compare(0, 7, "unnamed") == 0;
}

DWORD ExitCodeOf(HANDLE process)
{
    DWORD code = STILL_ACTIVE;
    if (!GetExitCodeProcess(process, &code))
        return STILL_ACTIVE;
    return code;
}

// a - b: exact for every step a real counter makes; a damaged counter whose
// step does not fit in 64 bits gets the nearest double instead of overflowing.
double Difference(std::int64_t a, std::int64_t b)
{
    std::int64_t d = 0;
    if (__builtin_sub_overflow(a, b, &d))
        return static_cast<double>(a) - static_cast<double>(b);
    return static_cast<double>(d);
}

} // namespace

// ---- ProcessObject ---------------------------------------------------------

void ProcessObject::UpdateCpu(std::int64_t value, std::int64_t time, double factor, int processors)
{
    if (SampleCount > 0) {
        const double dT = Difference(time, LastCounterTime);
        if (dT > 0) {
            double q = Difference(value, LastCounterValue) / dT;
            q = q / static_cast<double>(processors > 0 ? processors : 1);
            // Truncated toward zero; a share beyond the integer range (only
            // from a damaged counter) is held at its edge.
            const double percent = std::trunc(q * 100.0);
            CpuUse = percent >= static_cast<double>(INT_MAX)   ? INT_MAX
                     : percent <= static_cast<double>(INT_MIN) ? INT_MIN
                                                               : static_cast<int>(percent);
        }
        SmoothedCpuUse = (1.0 - factor) * CpuUse + factor * SmoothedCpuUse;
    }
    LastCounterValue = value;
    LastCounterTime = time;
    ++SampleCount;
}

// ---- Construction ----------------------------------------------------------

ProcessWatcher::ProcessWatcher()
{
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info))
        osClass_ = 3;
    else if (info.dwPlatformId == VER_PLATFORM_WIN32_NT)
        osClass_ = info.dwMajorVersion == 4 ? 0 : 1;
    else if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        osClass_ = 2;
    else
        osClass_ = 3;

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    processors_ = system.dwNumberOfProcessors > 0 ? static_cast<int>(system.dwNumberOfProcessors) : 1;

    enumerator_ = std::make_unique<CPSAPIT_ProcessWatcher>();
    if (!enumerator_->LoadLibraries())
        std::exit(1);

    CurrentTime = Now();
    SampleTime = CurrentTime;
    hash_.Resize(kHashBuckets);
}

ProcessWatcher::~ProcessWatcher()
{
    for (auto& record : processes_)
        HashRemove(record.get());
    processes_.clear();
    enumerator_.reset();
    if (countersEnabled_ != 0) {
        EnablePerfCounters(0);
        countersEnabled_ = 0;
    }
    DeleteAllRules();
}

std::int64_t ProcessWatcher::Now()
{
    return static_cast<std::int64_t>(quelvo::sys::NowMs());
}

void ProcessWatcher::Report(const std::string& event, const std::string& name) const
{
    if (EventCallback)
        EventCallback(event, name);
}

std::string ProcessWatcher::ForcingEvent(DWORD priorityClass)
{
    return "Forcing priority " + PriorityName(priorityClass) + " due to explicit rule";
}

// ---- Process table ---------------------------------------------------------

bool ProcessWatcher::ScanProcesses()
{
    return enumerator_->EnumerateInto(*this);
}

ProcessObject* ProcessWatcher::AddProcess(DWORD processId, const std::string& name)
{
    auto record = std::make_unique<ProcessObject>();
    record->Pid = processId;
    if (!name.empty()) {
        record->Name = name;
    } else {
        const bool ok = enumerator_->GetProcessName(processId, record->Name);
        record->NameRetries = (!ok || IsUnnamed(record->Name)) ? kNameRetries : 0;
    }
    record->LastSeen = SampleTime;
    record->PriorityClass = GetPidPriority(processId);
    ProcessObject* added = record.get();
    processes_.push_back(std::move(record));
    HashInsert(added);
    ApplyRules(added);
    return added;
}

ProcessObject* ProcessWatcher::FindProcess(DWORD processId) const
{
    const auto* bucket = hash_.Bucket(processId);
    if (bucket == nullptr)
        return nullptr;
    for (ProcessObject* record : *bucket)
        if (record->Pid == processId)
            return record;
    return nullptr;
}

ProcessObject* ProcessWatcher::FindOrAddProcess(DWORD processId)
{
    if (ProcessObject* record = FindProcess(processId))
        return record;
    return AddProcess(processId, {});
}

ProcessObject* ProcessWatcher::FindProcessByName(const std::string& name) const
{
    for (const auto& record : processes_)
        // A record whose id was taken over by a new process is only kept
        // until the next purge; it no longer stands for a running process.
        if (record->Name == name && FindProcess(record->Pid) == record.get())
            return record.get();
    return nullptr;
}

void ProcessWatcher::HashInsert(ProcessObject* record)
{
    if (auto* bucket = hash_.Bucket(record->Pid))
        bucket->push_back(record);
}

void ProcessWatcher::HashRemove(ProcessObject* record)
{
    auto* bucket = hash_.Bucket(record->Pid);
    if (bucket == nullptr)
        return;
    const auto it = std::find(bucket->begin(), bucket->end(), record);
    if (it != bucket->end())
        bucket->erase(it);
}

bool ProcessWatcher::PurgeVanished()
{
    bool tamedGone = false;
    std::erase_if(processes_, [&](const std::unique_ptr<ProcessObject>& record) {
        if (!IsStale(record.get()))
            return false;
        tamedGone = tamedGone || record->IsTamed();
        HashRemove(record.get());
        return true;
    });
    // Indexes, not iterators: a kill rule applied after a late name must not
    // invalidate the walk.
    enumerator_->BeginNameBatch();
    for (std::size_t i = 0; i < processes_.size(); ++i)
        RecheckName(processes_[i].get());
    enumerator_->EndNameBatch();
    if (tamedGone)
        RebuildTamedList();
    return tamedGone;
}

void ProcessWatcher::RecheckName(ProcessObject* record)
{
    if (record->NameRetries < 1)
        return;
    --record->NameRetries;
    std::string name;
    if (!enumerator_->GetProcessName(record->Pid, name) || IsUnnamed(name))
        return;
    record->NameRetries = 0;
    record->Name = name;
    ApplyRules(record);
}

void ProcessWatcher::RenameAfterExec(ProcessObject* record)
{
    std::string name;
    // A short name changed by the program itself (not by exec) leaves the
    // file name, and so the record, as it was.
    if (!enumerator_->GetProcessName(record->Pid, name) || IsUnnamed(name) || name == record->Name)
        return;
    const bool tamed = record->IsTamed();
    record->Name = name;
    record->NameRetries = 0;
    if (record->RuleState == 1) {
        // Hands off because of the old name's rule: watched afresh.
        record->RuleState = 0;
        record->SavedClass = 0;
        record->LastChange = 0;
        record->PriorityClass = GetPidPriority(record->Pid);
    }
    ApplyRules(record);
    if (tamed)
        RebuildTamedList();  // the tip names it by its new name
}

void ProcessWatcher::RebuildTamedList()
{
    TamedChanged = true;
    TamedNames.clear();
    TamedCount = 0;
    for (const auto& record : processes_) {
        if (!record->IsTamed())
            continue;
        ++TamedCount;
        if (!TamedNames.empty())
            TamedNames += ", ";
        TamedNames += record->Name;
    }
}

// ---- Processes and windows -------------------------------------------------

HWND ProcessWatcher::FindWindowOfPid(DWORD processId)
{
    return enumerator_->FindWindowOfPid(processId);
}

bool ProcessWatcher::CloseWindowsOfPid(DWORD processId)
{
    return enumerator_->CloseWindowsOfPid(processId);
}

DWORD ProcessWatcher::FindPidByName(const std::string& name)
{
    return enumerator_->FindPidByName(name);
}

bool ProcessWatcher::ClosePid(DWORD processId, DWORD milliseconds, bool terminate)
{
    // Id 0 is no process: nothing to close, as for one that is gone.
    if (processId == 0)
        return true;
    if (processId == GetCurrentProcessId())
        return false;
    const ScopedProcessHandle process(OpenProcess(kCloseAccess, FALSE, processId));
    if (!process)
        return true;
    AskToClose(process.get(), processId);
    WaitForSingleObject(process.get(), milliseconds);
    DWORD code = ExitCodeOf(process.get());
    if (code == STILL_ACTIVE && terminate) {
        TerminateProcess(process.get(), 0);
        WaitForSingleObject(process.get(), milliseconds);
        code = ExitCodeOf(process.get());
    }
    return code != STILL_ACTIVE;
}

void ProcessWatcher::AskToClose(HANDLE process, DWORD processId)
{
    CloseWindowsOfPid(processId);
    // Most programs here have no top-level window: they are asked to close
    // through the platform's own request instead, and killed after the wait
    // when asked, as a windowed program is.
    const HWND window = FindWindowOfPid(processId);
    if (window != nullptr)
        quelvo::sys::Windows().PostMessageTo(window, kWmClose, 0, 0);
    else
        RequestProcessClose(process);
}

bool ProcessWatcher::IsOwnProgram(const std::string& name)
{
    return std::find(std::begin(kOwnPrograms), std::end(kOwnPrograms), name) != std::end(kOwnPrograms);
}

void ProcessWatcher::CloseThenKill(DWORD processId)
{
    if (processId == 0 || processId == GetCurrentProcessId())
        return;
    ScopedProcessHandle process(OpenProcess(kCloseAccess, FALSE, processId));
    if (!process)
        return;
    AskToClose(process.get(), processId);
    pendingKills_.push_back({std::move(process), Now() + kKillGraceMs});
}

bool ProcessWatcher::ServePendingKills()
{
    const std::int64_t now = Now();
    std::erase_if(pendingKills_, [now](const PendingKill& pending) {
        if (ExitCodeOf(pending.process.get()) != STILL_ACTIVE)
            return true;
        if (now < pending.deadline)
            return false;
        TerminateProcess(pending.process.get(), 0);
        return true;
    });
    return !pendingKills_.empty();
}

// ---- Sampling --------------------------------------------------------------

int ProcessWatcher::EnablePerfCounters(int flag)
{
    countersEnabled_ = flag;
    if (osClass_ != 1)
        return 0;
    for (std::size_t i = 0; i < 2; ++i) {
        const ScopedRegistryKey key(OpenKey(HKEY_LOCAL_MACHINE, kCounterKeys[i], kCounterKeyAccess));
        if (!key)
            continue;
        if (flag == 1) {
            savedDisable_[i] = 0;
            DWORD type = 0;
            DWORD value = 0;
            DWORD size = sizeof(value);
            if (RegQueryValueExA(key.get(), kDisableCounters, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                 &size) == static_cast<LONG>(ERROR_SUCCESS) &&
                type == REG_DWORD && size == sizeof(value))
                savedDisable_[i] = value;
            const DWORD zero = 0;
            RegSetValueExA(key.get(), kDisableCounters, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero),
                           sizeof(zero));
        } else {
            RegSetValueExA(key.get(), kDisableCounters, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&savedDisable_[i]), sizeof(DWORD));
        }
    }
    return flag;
}

bool ProcessWatcher::Sample()
{
    if (countersEnabled_ != 1)
        EnablePerfCounters(1);
    SampleProcesses();
    return true;
}

int ProcessWatcher::SampleProcesses()
{
    const std::int64_t previous = SampleTime;
    CurrentTime = Now();
    // Strictly later than the previous sample, so that a process missing
    // from this one is always seen as gone.
    SampleTime = std::max(CurrentTime, previous + 1);
    // New processes of one sample are named against one reading of the
    // process list, not one reading each.
    enumerator_->BeginNameBatch();
    const int walked = perf_.ForEachProcess(kPerfObjectProcess, kPerfCounterProcessorTime, *this);
    enumerator_->EndNameBatch();
    // A sample that saw nothing must not make every record look vanished:
    // the next purge would drop lowered processes with their saved class.
    if (walked == 0)
        SampleTime = previous;
    return walked;
}

void ProcessWatcher::UpdateProcessCpu(DWORD processId, std::int64_t value, std::int64_t startTime,
                                      std::string_view shortName)
{
    if (processId == 0)
        return;
    ProcessObject* record = FindProcess(processId);
    if (record != nullptr) {
        const bool restarted = startTime != 0 && record->StartTime != 0 && record->StartTime != startTime;
        const bool wentBack = record->SampleCount > 0 && value < record->LastCounterValue;
        if (restarted || wentBack) {
            // The id now belongs to another process: the old record is left
            // for the next purge and the new process gets a record of its own.
            HashRemove(record);
            record->LastSeen = std::min(record->LastSeen, SampleTime - 1);
            record = nullptr;
        }
    }
    if (record == nullptr)
        record = AddProcess(processId, {});
    if (record->StartTime == 0)
        record->StartTime = startTime;
    if (record->ShortName != shortName) {
        const bool renamed = !record->ShortName.empty();
        record->ShortName.assign(shortName);
        if (renamed)
            RenameAfterExec(record);
    }
    record->UpdateCpu(value, perf_.PerfTime100nSec(), SmoothingFactor, processors_);
    record->LastSeen = SampleTime;
}

// ---- Priority classes ------------------------------------------------------

// The configuration window reads it for every shown process at every tick:
// the class a handle would give, without opening one.
DWORD ProcessWatcher::GetPidPriority(DWORD processId)
{
    return quelvo::sys::ReadPriorityClass(processId);
}

bool ProcessWatcher::SetPidPriority(DWORD processId, DWORD priorityClass)
{
    const ScopedProcessHandle process(OpenProcess(PROCESS_SET_INFORMATION, TRUE, processId));
    if (!process)
        return false;
    return SetPriorityClass(process.get(), priorityClass) != FALSE;
}

// ---- Rules -----------------------------------------------------------------

ProcessOverrideRule* ProcessWatcher::FindRule(const std::string& name) const
{
    for (const auto& rule : rules_)
        if (rule->Name == name)
            return rule.get();
    return nullptr;
}

std::string ProcessWatcher::RuleText(const ProcessOverrideRule* rule)
{
    return rule == nullptr ? std::string() : rule->Text();
}

std::string ProcessWatcher::RuleTextFor(const ProcessObject* record) const
{
    return record == nullptr ? std::string() : RuleText(FindRule(record->Name));
}

bool ProcessWatcher::IsStorableRuleName(const std::string& name)
{
    if (name.empty())
        return false;
    for (const char c : name)
        if (c == '|' || c == '?' || static_cast<unsigned char>(c) < 32)
            return false;
    return true;
}

ProcessOverrideRule* ProcessWatcher::SetRule(const std::string& name, const std::string& text)
{
    // The old rules go first, so that a rule read from the legacy file
    // under a name that cannot be stored can still be removed this way.
    RemoveRulesOf(name);
    if (!IsStorableRuleName(name))
        return nullptr;
    auto rule = std::make_unique<ProcessOverrideRule>();
    if (!rule->Set(name, text))
        return nullptr;
    rules_.push_back(std::move(rule));
    return rules_.back().get();
}

void ProcessWatcher::RemoveRulesOf(const std::string& name)
{
    std::erase_if(rules_, [&](const auto& rule) { return rule->Name == name; });
}

void ProcessWatcher::DeleteRule(ProcessOverrideRule* rule)
{
    std::erase_if(rules_, [&](const auto& r) { return r.get() == rule; });
}

void ProcessWatcher::DeleteAllRules()
{
    rules_.clear();
}

void ProcessWatcher::BuildRuleStrings(std::string& out) const
{
    bool first = true;
    for (const auto& rule : rules_) {
        if (BreaksRuleStrings(rule->Name))
            continue;
        if (!first)
            out += '|';
        first = false;
        out += rule->Name + "?" + RuleText(rule.get());
    }
}

void ProcessWatcher::ParseRuleStrings(const std::string& text)
{
    std::string pending;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && text[i] == '?') {
            pending = text.substr(start, i - start);
            start = i + 1;
        } else if (end || text[i] == '|') {
            if (!pending.empty()) {
                auto rule = std::make_unique<ProcessOverrideRule>();
                rule->Set(pending, text.substr(start, i - start));
                rules_.push_back(std::move(rule));
                pending.clear();
            }
            start = i + 1;
        }
    }
}

bool ProcessWatcher::ReadOverridesFile(const std::string& path)
{
    DeleteAllRules();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return true;
    // Lines are read in pieces of at most 1022 bytes, each piece a line of
    // its own, as the file format always was.
    char buffer[1023];
    while (std::fgets(buffer, sizeof(buffer), file) != nullptr) {
        std::string line(buffer);  // a zero byte ends the line
        while (!line.empty() && static_cast<unsigned char>(line.back()) >= 1 &&
               static_cast<unsigned char>(line.back()) <= 32)
            line.pop_back();
        if (line.size() <= 2 || line.starts_with("//"))
            continue;
        auto rule = std::make_unique<ProcessOverrideRule>();
        if (rule->ParseOverridesLine(line))
            rules_.push_back(std::move(rule));
    }
    std::fclose(file);
    return true;
}

// ---- Applying rules --------------------------------------------------------

void ProcessWatcher::ApplyRules(ProcessObject* record)
{
    if (!EnforceRules)
        return;
    const ProcessOverrideRule* rule = FindRule(record->Name);
    if (rule == nullptr) {
        record->RuleState = 0;
        return;
    }
    bool rebuild = false;
    if (rule->RuleAction == ProcessOverrideRule::Ignore) {
        RestoreProcess(record);
        // A restore that failed leaves the process lowered and watched, so
        // that it is tried again rather than left lowered for good.
        if (record->IsTamed())
            return;
    } else if (record->IsTamed()) {
        record->LastChange = 0;
        record->SavedClass = 0;
        rebuild = true;
    }
    record->RuleState = 1;
    record->SavedClass = record->PriorityClass;

    const bool self = record->Pid == GetCurrentProcessId();
    switch (rule->RuleAction) {
    case ProcessOverrideRule::ForceClass:
        if (!self && record->PriorityClass != rule->PriorityClass &&
            SetPidPriority(record->Pid, rule->PriorityClass))
            Report(ForcingEvent(rule->PriorityClass), record->Name);
        break;
    case ProcessOverrideRule::Kill:
        if (!self && !IsOwnProgram(record->Name)) {
            Report(kEventKilling, record->Name);
            CloseThenKill(record->Pid);
        }
        break;
    case ProcessOverrideRule::Ignore:
        rebuild = true;
        break;
    case ProcessOverrideRule::Restart:
        break;
    }
    if (rebuild)
        RebuildTamedList();
}

void ProcessWatcher::RestoreProcess(ProcessObject* record)
{
    if (!EnforceRules || !record->IsTamed())
        return;
    if (GetPidPriority(record->Pid) != record->SavedClass) {
        if (!SetPidPriority(record->Pid, record->SavedClass))
            return;
        record->LastChange = 0;
        Report(kEventRestoring, record->Name);
    }
    record->PriorityClass = record->SavedClass;
    record->SavedClass = 0;
    RebuildTamedList();
}
