#pragma once
// What the Windows-named functions of this layer ask of the operating
// system. The Linux backend is the default; a test installs another one
// (the scripted FakeSystem) for the life of a BackendScope.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/system/winerror.h"
#include "platform/system/wintypes.h"

namespace quelvo::sys {

class RegistryStore;

// One process as the performance data reports it.
struct ProcessSample {
    DWORD pid = 0;
    std::int64_t cpuTime100ns = 0;    // user + system
    std::int64_t startTime100ns = 0;  // since boot
    char name[16] = {};               // short name, zero-terminated
};

// One process as a Toolhelp snapshot reports it.
struct ProcessEntry {
    DWORD pid = 0;
    DWORD parentPid = 0;
    DWORD threads = 0;
    std::string baseName;
};

// What an open process handle holds. Every operation re-checks that the
// process is the one opened (same id and start time); the functions return
// an error code, ERROR_SUCCESS on success.
class ProcessHandleState {
public:
    virtual ~ProcessHandleState() = default;
    ProcessHandleState(const ProcessHandleState&) = delete;
    ProcessHandleState& operator=(const ProcessHandleState&) = delete;

    DWORD Pid() const { return pid_; }
    DWORD Access() const { return access_; }

    virtual DWORD ImagePath(std::string& path) = 0;
    virtual DWORD PriorityClass(DWORD& priorityClass) = 0;
    virtual DWORD SetPriorityClass(DWORD priorityClass) = 0;
    virtual DWORD Terminate(UINT exitCode) = 0;
    // Asks the process to close on its own (SIGTERM here): what a window's
    // WM_CLOSE is for a program that has no window.
    virtual DWORD RequestClose() = 0;
    // ended := whether the process ended within the time.
    virtual DWORD Wait(DWORD milliseconds, bool& ended) = 0;
    // STILL_ACTIVE while it runs.
    virtual DWORD ExitCode(DWORD& exitCode) = 0;

protected:
    ProcessHandleState(DWORD pid, DWORD access) : pid_(pid), access_(access) {}

private:
    DWORD pid_ = 0;
    DWORD access_ = 0;
};

// A held named mutex; releasing the object lets the name go.
class NamedMutexState {
public:
    virtual ~NamedMutexState() = default;
};

struct ShellRequest {
    std::string verb;  // "open" when none was given
    std::string file;
    std::string parameters;
    std::string directory;
    int showCommand = 0;
};

struct CreateProcessRequest {
    std::string application;  // may be empty: the first element of the command line
    std::string commandLine;
    std::string directory;
};

class SystemBackend {
public:
    virtual ~SystemBackend() = default;

    virtual DWORD ProcessorCount() = 0;
    virtual DWORD CurrentProcessId() = 0;
    // canonicalName is upper case with ".DLL" ("PSAPI.DLL").
    virtual bool LibraryPresent(const std::string& canonicalName) = 0;

    virtual DWORD ListProcesses(std::vector<DWORD>& pids) = 0;
    virtual DWORD SnapshotProcesses(std::vector<ProcessEntry>& entries) = 0;
    // ERROR_INVALID_PARAMETER when there is no such process,
    // ERROR_ACCESS_DENIED when a requested right cannot be granted.
    virtual DWORD OpenProcess(DWORD pid, DWORD access, std::unique_ptr<ProcessHandleState>& handle) = 0;
    // The class a process has now, as a handle opened for queries reads it,
    // without opening one: cheap enough to ask for every process at every
    // sample. The errors are OpenProcess's.
    virtual DWORD ReadPriorityClass(DWORD pid, DWORD& priorityClass) = 0;
    // perfTime100ns: the monotonic clock; now100ns: now on the base of the
    // samples' start times.
    virtual DWORD SampleProcesses(std::vector<ProcessSample>& samples, std::int64_t& perfTime100ns,
                                  std::int64_t& now100ns) = 0;

    virtual std::shared_ptr<RegistryStore> Registry() = 0;
    virtual DWORD CreateNamedMutex(const std::string& name, std::unique_ptr<NamedMutexState>& mutex,
                                   bool& alreadyExists) = 0;
    // What this program lowers (each process's id, start time, the class
    // given and every thread's nice value before) is kept in a per-user file,
    // rewritten whenever it changes, so a later run gives it back after this
    // one ended without doing so. Adopt restores each process the file
    // lists that still runs with the same start time and still has the class
    // given (one changed by someone else since is left alone), empties the
    // list and keeps the file from then on; the count restored, -1 when no
    // file can be kept. Close stops keeping it and removes the file.
    virtual int AdoptPriorityJournal() = 0;
    virtual void ClosePriorityJournal() = 0;

    virtual std::string SelfExecutablePath() = 0;
    virtual DWORD SetCurrentDirectory(const std::string& path) = 0;
    virtual std::string CurrentDirectory() = 0;
    // INVALID_FILE_ATTRIBUTES with error set when missing.
    virtual DWORD FileAttributes(const std::string& path, DWORD& error) = 0;

    // Returns the value ShellExecuteA gives back (> 32 on success).
    virtual int ShellExecute(const ShellRequest& request) = 0;
    virtual DWORD CreateProcess(const CreateProcessRequest& request, DWORD& pid) = 0;
    // "" when the folder is unknown.
    virtual std::string SpecialFolder(int csidl) = 0;
};

// The backend in use; the Linux backend unless another is installed.
SystemBackend& Backend();

// The backend's journal of lowered processes, for the programs.
inline int AdoptPriorityJournal() { return Backend().AdoptPriorityJournal(); }
inline void ClosePriorityJournal() { Backend().ClosePriorityJournal(); }
// The class of a running process read afresh; 0 when it cannot be read.
inline DWORD ReadPriorityClass(DWORD pid)
{
    DWORD priorityClass = 0;
    return Backend().ReadPriorityClass(pid, priorityClass) == ERROR_SUCCESS ? priorityClass : 0;
}
// Installs a backend (null = the Linux backend); returns the previous one.
SystemBackend* InstallBackend(SystemBackend* backend);
// The Linux backend itself, whatever is installed.
SystemBackend& LinuxBackend();

class BackendScope {
public:
    explicit BackendScope(SystemBackend& backend) : previous_(InstallBackend(&backend)) {}
    ~BackendScope() { InstallBackend(previous_); }
    BackendScope(const BackendScope&) = delete;
    BackendScope& operator=(const BackendScope&) = delete;

private:
    SystemBackend* previous_ = nullptr;
};

}  // namespace quelvo::sys
