#pragma once
// Process-status functions ("PSAPI.DLL"), over /proc.

#include "platform/system/wintypes.h"

// Fills as many process ids as fit; *bytesReturned = the bytes written, so
// a caller whose buffer came back full should grow it and ask again.
// Kernel threads and zombies are not processes here.
BOOL EnumProcesses(DWORD* processIds, DWORD bytes, DWORD* bytesReturned);
// One module per process: the executable.
BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes, DWORD* bytesNeeded);
// The executable's full path ("/proc/N/exe" without a trailing " (deleted)";
// the process's short name where the link cannot be read). module null or
// the one module of EnumProcessModules. Returns the length copied (the text
// is cut to size - 1 and terminated); 0 on failure.
DWORD GetModuleFileNameExA(HANDLE process, HMODULE module, LPSTR fileName, DWORD size);
// The last path element of GetModuleFileNameExA.
DWORD GetModuleBaseNameA(HANDLE process, HMODULE module, LPSTR baseName, DWORD size);

// Bound from "VDMDBG.DLL" by the engine but never used: there are no 16-bit
// tasks here, so it reports none.
INT VDMEnumTaskWOWEx(DWORD processId, void* callback, LPARAM param);
