#pragma once
// Toolhelp process snapshots (kernel32), over the same data as psapi.h.

#include "platform/system/wintypes.h"

inline constexpr DWORD TH32CS_SNAPHEAPLIST = 0x1;
inline constexpr DWORD TH32CS_SNAPPROCESS = 0x2;
inline constexpr DWORD TH32CS_SNAPTHREAD = 0x4;
inline constexpr DWORD TH32CS_SNAPMODULE = 0x8;

// The 296-byte entry of the 32-bit programs: th32DefaultHeapID is kept 32
// bits wide so the size callers put in dwSize stays that.
struct PROCESSENTRY32 {
    DWORD dwSize = 0;
    DWORD cntUsage = 0;
    DWORD th32ProcessID = 0;
    DWORD th32DefaultHeapID = 0;
    DWORD th32ModuleID = 0;
    DWORD cntThreads = 0;
    DWORD th32ParentProcessID = 0;
    LONG pcPriClassBase = 0;
    DWORD dwFlags = 0;
    CHAR szExeFile[MAX_PATH] = {};  // the executable's base name, cut to fit
};
using LPPROCESSENTRY32 = PROCESSENTRY32*;
static_assert(sizeof(PROCESSENTRY32) == 296);

// Only TH32CS_SNAPPROCESS is supported; INVALID_HANDLE_VALUE on failure.
HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
// Fail with ERROR_BAD_LENGTH when dwSize is below sizeof(PROCESSENTRY32)
// and with ERROR_NO_MORE_FILES after the last entry.
BOOL Process32First(HANDLE snapshot, LPPROCESSENTRY32 entry);
BOOL Process32Next(HANDLE snapshot, LPPROCESSENTRY32 entry);
