#pragma once
// Kernel functions: version and system information, libraries bound by
// name, process handles and priority classes, named mutexes, the tick
// count, files and folders, and starting processes.

#include "platform/system/winerror.h"
#include "platform/system/wintypes.h"

// ---- Version and system ----------------------------------------------------

inline constexpr DWORD VER_PLATFORM_WIN32s = 0;
inline constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize = 0;
    DWORD dwMajorVersion = 0;
    DWORD dwMinorVersion = 0;
    DWORD dwBuildNumber = 0;
    DWORD dwPlatformId = 0;
    CHAR szCSDVersion[128] = {};
};
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
static_assert(sizeof(OSVERSIONINFOA) == 148);

// Fails with ERROR_INSUFFICIENT_BUFFER unless dwOSVersionInfoSize is set to
// at least sizeof(OSVERSIONINFOA).
BOOL GetVersionExA(LPOSVERSIONINFOA info);

inline constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
inline constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
inline constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;

struct SYSTEM_INFO {
    WORD wProcessorArchitecture = 0;
    WORD wReserved = 0;
    DWORD dwPageSize = 0;
    LPVOID lpMinimumApplicationAddress = nullptr;
    LPVOID lpMaximumApplicationAddress = nullptr;
    DWORD_PTR dwActiveProcessorMask = 0;
    DWORD dwNumberOfProcessors = 0;
    DWORD dwProcessorType = 0;
    DWORD dwAllocationGranularity = 0;
    WORD wProcessorLevel = 0;
    WORD wProcessorRevision = 0;
};
using LPSYSTEM_INFO = SYSTEM_INFO*;

// dwNumberOfProcessors = the processors online.
void GetSystemInfo(LPSYSTEM_INFO info);

// ---- Libraries bound by name -----------------------------------------------
// Library names are matched without regard to case, with or without ".DLL";
// the libraries are tables of this layer's own functions. Function names are
// matched exactly.

HMODULE LoadLibraryA(LPCSTR name);
HMODULE GetModuleHandleA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);

// ---- Handles and waiting ---------------------------------------------------

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD STILL_ACTIVE = 259;

BOOL CloseHandle(HANDLE handle);
// Processes (signalled once they have ended) and mutexes (signalled when
// free; the wait takes ownership).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// ---- Processes -------------------------------------------------------------

inline constexpr DWORD PROCESS_TERMINATE = 0x0001;
inline constexpr DWORD PROCESS_CREATE_THREAD = 0x0002;
inline constexpr DWORD PROCESS_VM_OPERATION = 0x0008;
inline constexpr DWORD PROCESS_VM_READ = 0x0010;
inline constexpr DWORD PROCESS_VM_WRITE = 0x0020;
inline constexpr DWORD PROCESS_DUP_HANDLE = 0x0040;
inline constexpr DWORD PROCESS_CREATE_PROCESS = 0x0080;
inline constexpr DWORD PROCESS_SET_QUOTA = 0x0100;
inline constexpr DWORD PROCESS_SET_INFORMATION = 0x0200;
inline constexpr DWORD PROCESS_QUERY_INFORMATION = 0x0400;
inline constexpr DWORD PROCESS_SUSPEND_RESUME = 0x0800;
inline constexpr DWORD PROCESS_QUERY_LIMITED_INFORMATION = 0x1000;
inline constexpr DWORD DELETE = 0x00010000;
inline constexpr DWORD READ_CONTROL = 0x00020000;
inline constexpr DWORD WRITE_DAC = 0x00040000;
inline constexpr DWORD WRITE_OWNER = 0x00080000;
inline constexpr DWORD SYNCHRONIZE = 0x00100000;
inline constexpr DWORD STANDARD_RIGHTS_REQUIRED = 0x000F0000;
// As the older headers define it; every right above is included.
inline constexpr DWORD PROCESS_ALL_ACCESS = 0x001F0FFF;

// Grants every requested right or fails with ERROR_ACCESS_DENIED
// (ERROR_INVALID_PARAMETER when the process does not exist). Query rights
// are granted for every process; PROCESS_SET_INFORMATION only where the
// priority could later be put back (same user or CAP_SYS_NICE, and a nice
// limit that allows the process's present nice values); the other rights
// where a signal may be sent. A request holding all of PROCESS_ALL_ACCESS
// gets what may be had instead of failing: the handle then lacks the rights
// that were not granted. The handle remembers the process's start time: a
// later call on it never acts on another process that reuses the id.
HANDLE OpenProcess(DWORD desiredAccess, BOOL inheritHandle, DWORD processId);
DWORD GetCurrentProcessId();
HANDLE GetCurrentProcess();  // a pseudo handle with every right; never closed
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
// Only for the thread handle of a process we created (see CreateProcessA).
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
BOOL TerminateProcess(HANDLE process, UINT exitCode);
// Not a Windows function: asks a process to close on its own (SIGTERM), the
// way WM_CLOSE asks a program that has a window. Needs PROCESS_TERMINATE.
BOOL RequestProcessClose(HANDLE process);
DWORD GetProcessId(HANDLE process);

// Priority classes and the nice value each one stands for:
// Low 19, Below Normal 10, Normal 0, Above Normal -5, High -10, Realtime -20.
inline constexpr DWORD IDLE_PRIORITY_CLASS = 0x00000040;
inline constexpr DWORD BELOW_NORMAL_PRIORITY_CLASS = 0x00004000;
inline constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
inline constexpr DWORD ABOVE_NORMAL_PRIORITY_CLASS = 0x00008000;
inline constexpr DWORD HIGH_PRIORITY_CLASS = 0x00000080;
inline constexpr DWORD REALTIME_PRIORITY_CLASS = 0x00000100;

// 0 on failure (needs PROCESS_QUERY_INFORMATION or the limited right).
DWORD GetPriorityClass(HANDLE process);
// Needs PROCESS_SET_INFORMATION. Sets every thread; the first move away
// from the process's class remembers each thread's nice value, and setting
// the original class again restores them exactly.
BOOL SetPriorityClass(HANDLE process, DWORD priorityClass);

// ---- Starting processes ----------------------------------------------------

struct SECURITY_ATTRIBUTES {
    DWORD nLength = 0;
    LPVOID lpSecurityDescriptor = nullptr;
    BOOL bInheritHandle = FALSE;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct STARTUPINFOA {
    DWORD cb = 0;
    LPSTR lpReserved = nullptr;
    LPSTR lpDesktop = nullptr;
    LPSTR lpTitle = nullptr;
    DWORD dwX = 0;
    DWORD dwY = 0;
    DWORD dwXSize = 0;
    DWORD dwYSize = 0;
    DWORD dwXCountChars = 0;
    DWORD dwYCountChars = 0;
    DWORD dwFillAttribute = 0;
    DWORD dwFlags = 0;
    WORD wShowWindow = 0;
    WORD cbReserved2 = 0;
    BYTE* lpReserved2 = nullptr;
    HANDLE hStdInput = nullptr;
    HANDLE hStdOutput = nullptr;
    HANDLE hStdError = nullptr;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    HANDLE hThread = nullptr;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = 0;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// Starts the program detached (it is never left as a zombie of ours). A
// relative application name is looked up in the current folder first, then,
// when it has no folder part, along PATH. The command line is split on
// blanks and double quotes; when it is given its first element is the
// program's own name, as the system passes it. The thread handle stands for
// the program's main thread, whose life is the process's: it waits like the
// process handle and GetExitCodeThread reports the process's exit code.
// Both handles are null where the process could not be opened (it ended
// and was gone at once, or cannot be watched).
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);

// ---- Named mutex -----------------------------------------------------------
// A named mutex is an exclusively locked file in the per-user runtime folder:
// a second creator (in any process) gets a handle and ERROR_ALREADY_EXISTS;
// the kernel frees the lock when the first holder ends. Unnamed mutexes live
// in this process only.

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);

// ---- Time ------------------------------------------------------------------
// Monotonic milliseconds of quelvo::sys::CurrentClock() (see clock.h).

DWORD GetTickCount();
ULONGLONG GetTickCount64();
void Sleep(DWORD milliseconds);

// ---- Files and folders -----------------------------------------------------

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x00000001;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x00000002;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x00000004;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x00000010;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x00000020;
inline constexpr DWORD FILE_ATTRIBUTE_DEVICE = 0x00000040;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// module null = the running program (/proc/self/exe). Returns the length
// copied; when the buffer is too small the text is cut, terminated, size is
// returned and the error is ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
BOOL SetCurrentDirectoryA(LPCSTR path);
// Length copied; when the buffer is too small, the size needed (with the
// terminating zero) and nothing copied.
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
DWORD GetFileAttributesA(LPCSTR fileName);

// ---- Text conversion -------------------------------------------------------
// The 8-bit code page of this platform is UTF-8; bytes that are not valid
// UTF-8 convert as Latin-1 so no text is lost.

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, WCHAR* wide, int wideSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int length, LPSTR text, int size,
                        LPCSTR defaultChar, BOOL* usedDefaultChar);

// ---- Global memory ---------------------------------------------------------
// Blocks handed between a program and the clipboard. Every block is zeroed.
// A GMEM_FIXED block's handle is its data; a moveable block's handle is not
// (GlobalLock gives the data). Foreign or freed handles fail with
// ERROR_INVALID_HANDLE instead of being touched.

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
inline constexpr UINT GMEM_LOCKCOUNT = 0x00FF;
inline constexpr UINT GMEM_INVALID_HANDLE = 0x8000;

// nullptr with ERROR_NOT_ENOUGH_MEMORY above 2 GiB. A request of 0 bytes
// still gives a block of 1 byte.
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL GlobalFree(HGLOBAL mem);  // nullptr on success, mem itself on failure
LPVOID GlobalLock(HGLOBAL mem);
// TRUE while the block stays locked; FALSE with ERROR_NOT_LOCKED when it
// was not locked.
BOOL GlobalUnlock(HGLOBAL mem);
SIZE_T GlobalSize(HGLOBAL mem);  // 0 for an invalid handle
// The lock count (GMEM_LOCKCOUNT bits), or GMEM_INVALID_HANDLE.
UINT GlobalFlags(HGLOBAL mem);
