#include "tray/TrayWatch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/ScopedHandle.h"
#include "platform/system/winbase.h"

namespace quelvo::tray {

namespace {

// Position of a class on the scale from Low to Realtime; -1 for others.
int Rank(DWORD priorityClass)
{
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS: return 0;
    case BELOW_NORMAL_PRIORITY_CLASS: return 1;
    case NORMAL_PRIORITY_CLASS: return 2;
    case ABOVE_NORMAL_PRIORITY_CLASS: return 3;
    case HIGH_PRIORITY_CLASS: return 4;
    case REALTIME_PRIORITY_CLASS: return 5;
    default: return -1;
    }
}

// The usual raising steps; 0 for a class that has none.
DWORD TableStep(DWORD current, DWORD saved)
{
    switch (current) {
    case IDLE_PRIORITY_CLASS:
        return saved == BELOW_NORMAL_PRIORITY_CLASS ? BELOW_NORMAL_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS;
    case BELOW_NORMAL_PRIORITY_CLASS:
        return NORMAL_PRIORITY_CLASS;
    case NORMAL_PRIORITY_CLASS:
        return saved == ABOVE_NORMAL_PRIORITY_CLASS ? ABOVE_NORMAL_PRIORITY_CLASS : HIGH_PRIORITY_CLASS;
    default:
        return 0;
    }
}

// Lowers one record whose use is above the upper threshold.
bool LowerStep(ProcessWatcher& watcher, ProcessObject& record, std::int64_t now, std::int64_t interval)
{
    if (record.LastChange > 0 && now - record.LastChange < interval)
        return false;
    record.LastChange = now;
    const DWORD current = ProcessWatcher::GetPidPriority(record.Pid);
    const DWORD lowered = LoweredClass(current);
    if (lowered == 0)
        return false;
    const ScopedProcessHandle process(OpenProcess(PROCESS_SET_INFORMATION, TRUE, record.Pid));
    // A process we may not set is left alone from now on; so is one whose
    // class the system refused, rather than reporting a change not made.
    if (!process || !SetPriorityClass(process.get(), lowered)) {
        record.RuleState = 1;
        return false;
    }
    if (watcher.EventCallback)
        watcher.EventCallback(kEventLowering, record.Name);
    record.PriorityClass = lowered;
    if (record.SavedClass == 0)
        record.SavedClass = current;
    return true;
}

// Raises one lowered record after a quiet interval.
bool RaiseStep(ProcessWatcher& watcher, ProcessObject& record, int use, std::int64_t now, std::int64_t interval)
{
    if (record.LastChange <= 0 || now - record.LastChange <= interval)
        return false;
    record.LastChange = now;
    if (use >= watcher.CpuTriggerLow)
        return false;
    const DWORD current = ProcessWatcher::GetPidPriority(record.Pid);
    if (record.SavedClass == 0 || record.SavedClass == current) {
        const bool wasTamed = record.SavedClass != 0;
        record.LastChange = 0;
        record.SavedClass = 0;
        return wasTamed;
    }
    const DWORD raised = RaisedClass(current, record.SavedClass);
    record.LastChange = now;
    if (!ProcessWatcher::SetPidPriority(record.Pid, raised)) {
        record.RuleState = 1;
        return false;
    }
    if (watcher.EventCallback)
        watcher.EventCallback(kEventIncreasing, record.Name);
    record.PriorityClass = raised;
    if (raised == record.SavedClass)
        record.SavedClass = 0;
    return true;
}

}  // namespace

DWORD LoweredClass(DWORD current)
{
    switch (current) {
    case NORMAL_PRIORITY_CLASS:
    case BELOW_NORMAL_PRIORITY_CLASS:
        return IDLE_PRIORITY_CLASS;
    case HIGH_PRIORITY_CLASS:
    case ABOVE_NORMAL_PRIORITY_CLASS:
        return NORMAL_PRIORITY_CLASS;
    default:
        return 0;
    }
}

DWORD RaisedClass(DWORD current, DWORD saved)
{
    const DWORD step = TableStep(current, saved);
    if (step != 0 && Rank(saved) >= 0 && Rank(step) <= Rank(saved))
        return step;
    return saved;
}

void TameProcesses(ProcessWatcher& watcher)
{
    const std::int64_t interval = static_cast<std::int64_t>(watcher.CpuMinInterval) * 1000;
    // 0 stands for "no step yet", so a step is never stamped with it.
    const std::int64_t now = std::max<std::int64_t>(ProcessWatcher::Now(), 1);
    watcher.CurrentTime = now;
    bool changed = false;
    for (const auto& owned : watcher.Processes()) {
        ProcessObject& record = *owned;
        if (record.Name.empty() || record.Name == kExemptProgram || record.RuleState == 1)
            continue;
        const double smoothed = std::trunc(record.SmoothedCpuUse);
        const int use = smoothed >= 1e9 ? 1000000000 : smoothed <= -1e9 ? -1000000000 : static_cast<int>(smoothed);
        if (use > watcher.CpuTriggerHigh)
            changed = LowerStep(watcher, record, now, interval) || changed;
        else
            changed = RaiseStep(watcher, record, use, now, interval) || changed;
    }
    if (changed)
        watcher.RebuildTamedList();
}

void ResyncPriorities(ProcessWatcher& watcher)
{
    bool changed = false;
    for (const auto& owned : watcher.Processes()) {
        ProcessObject& record = *owned;
        const DWORD current = ProcessWatcher::GetPidPriority(record.Pid);
        if (current == record.PriorityClass)
            continue;
        record.PriorityClass = current;
        record.SmoothedCpuUse = 0;
        record.LastChange = 0;
        record.SavedClass = 0;
        changed = true;
    }
    if (changed)
        watcher.RebuildTamedList();
}

void ApplyRulesToAll(ProcessWatcher& watcher)
{
    // By index: applying a rule never adds or drops records, but the list
    // is the watcher's and is walked as it stands.
    for (std::size_t i = 0; i < watcher.Processes().size(); ++i)
        watcher.ApplyRules(watcher.Processes()[i].get());
}

void RestoreAll(ProcessWatcher& watcher)
{
    for (std::size_t i = 0; i < watcher.Processes().size(); ++i) {
        ProcessObject* record = watcher.Processes()[i].get();
        watcher.RestoreProcess(record);
        record->SmoothedCpuUse = 0;
    }
}

}  // namespace quelvo::tray
