#pragma once
// The tray's own passes over the watcher: lowering and raising priorities
// of processes that hog the processor, re-reading classes after a reload,
// applying the rules to every record, and giving every lowered process its
// class back. The configurator never runs these.

#include "engine/ProcessWatcher.h"
#include "platform/system/wintypes.h"

namespace quelvo::tray {

// The only program never lowered (exact, case-sensitive name).
inline constexpr const char* kExemptProgram = "explorer.exe";
inline constexpr const char* kEventLowering = "Lowering Process Priority ";
inline constexpr const char* kEventIncreasing = "Increasing Process Priority";

// The class a process at `current` is lowered to; 0 when it is not lowered
// (Low, Realtime, unreadable or unknown classes).
DWORD LoweredClass(DWORD current);

// The class a lowered process at `current` is raised to on its way back to
// `saved`. Off the usual path (a class changed from outside while lowered)
// the step goes straight to the saved class, never past it.
DWORD RaisedClass(DWORD current, DWORD saved);

// One pass over the records in list order; sets TamedChanged (through
// RebuildTamedList) when any class changed.
void TameProcesses(ProcessWatcher& watcher);

// Records whose class was changed from outside become untamed with their
// smoothed use cleared; the rule state stays.
void ResyncPriorities(ProcessWatcher& watcher);

void ApplyRulesToAll(ProcessWatcher& watcher);

// Every lowered process gets its saved class back; every smoothed use is
// cleared.
void RestoreAll(ProcessWatcher& watcher);

}  // namespace quelvo::tray
