#pragma once
// Process handles of the Linux backend (internal to the system layer).

#include <memory>
#include <string>

#include "platform/system/backend.h"

namespace quelvo::sys {

// The record of lowered processes (see SystemBackend::AdoptPriorityJournal)
// in the file at path.
int AdoptLinuxPriorityJournal(const std::string& path);
void CloseLinuxPriorityJournal();

// Opens a process by id with the rights asked for (see OpenProcess).
DWORD OpenLinuxProcess(DWORD pid, DWORD access, std::unique_ptr<ProcessHandleState>& handle);
// The class a handle of that process would read (see ReadPriorityClass).
DWORD ReadLinuxPriorityClass(DWORD pid, DWORD& priorityClass);

}  // namespace quelvo::sys
