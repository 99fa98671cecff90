#pragma once
// Enumerates the running processes and the top-level windows of the
// desktop, and tells the base name of one process. Two ways are offered, as
// the platform reports itself: the process-status functions (bound by name
// from "PSAPI.DLL", with "VDMDBG.DLL" required beside them) or the Toolhelp
// snapshot functions of kernel32. Each process and each window is reported
// through a virtual callback.

#include <string>
#include <vector>

#include "platform/system/wintypes.h"

class ProcessWatcher;

class CPSAPIT {
public:
    CPSAPIT();
    virtual ~CPSAPIT();
    CPSAPIT(const CPSAPIT&) = delete;
    CPSAPIT& operator=(const CPSAPIT&) = delete;

    // True in Toolhelp mode; in process-status mode true only when both
    // libraries load.
    bool LoadLibraries();
    // Calls OnModule for each process; false when the functions are missing
    // or the list cannot be read.
    bool EnumerateProcesses();
    // Calls OnWindow_wPid for each top-level window, hidden ones included.
    bool EnumerateWindows();
    // Posts WM_CLOSE to every top-level window of the process; always true.
    bool CloseWindowsOfPid(DWORD processId);
    // The base name of one process (or its full file name when the base name
    // is empty). On failure false, with "failed0" (libraries missing),
    // "failed1" (functions missing), "failed2" (process list unreadable) or
    // an empty name.
    bool GetProcessName(DWORD processId, std::string& name);

    bool ProcessStatusMode() const { return processStatusMode_; }

    // While a batch is open, GetProcessName reads the process list once and
    // looks every further id up in that copy. Open one around the name
    // look-ups of a single sample, whose ids all come from one reading.
    void BeginNameBatch();
    void EndNameBatch();

    // Returning 0 stops the enumeration.
    virtual int OnModule(const std::string& path, DWORD processId);
    virtual int OnWindow_wPid(HWND window, LPARAM value, DWORD processId);

private:
    bool EnumerateToolhelp();
    bool EnumerateProcessStatus();
    bool NameFromToolhelp(DWORD processId, std::string& name);

    bool processStatusMode_ = true;
    HMODULE psapi_ = nullptr;
    HMODULE vdmdbg_ = nullptr;
    bool batchOpen_ = false;
    bool batchValid_ = false;
    std::vector<DWORD> listed_;  // sorted
};

// The enumerator bound to the engine: during EnumerateInto every process
// becomes a record of the watcher; otherwise the callbacks search for a
// process by name or for the first window of a process.
class CPSAPIT_ProcessWatcher : public CPSAPIT {
public:
    CPSAPIT_ProcessWatcher() = default;
    ~CPSAPIT_ProcessWatcher() override = default;

    int OnModule(const std::string& path, DWORD processId) override;
    int OnWindow_wPid(HWND window, LPARAM value, DWORD processId) override;

    bool EnumerateInto(ProcessWatcher& watcher);
    HWND FindWindowOfPid(DWORD processId);
    DWORD FindPidByName(const std::string& name);

    // The text after the last path separator, or the whole path.
    static std::string BaseName(const std::string& path);

private:
    std::string wantedName_;
    DWORD processId_ = 0;
    HWND foundWindow_ = nullptr;
    ProcessWatcher* owner_ = nullptr;
};
