#pragma once
// Process handles of the Linux backend (internal to the system layer).

#include <memory>

#include "platform/system/backend.h"

namespace quelvo::sys {

// Opens a process by id with the rights asked for (see OpenProcess).
DWORD OpenLinuxProcess(DWORD pid, DWORD access, std::unique_ptr<ProcessHandleState>& handle);

}  // namespace quelvo::sys
