#pragma once
// A scripted system for deterministic tests of the engine and the tray.
// It plays the process list (paths, priority classes, processor times,
// windows), the clock, the registry, libraries, mutexes, files and shell
// calls, and records what was done to it. Install it with FakeSystemScope;
// single-threaded.
//
//   quelvo::sys::FakeSystem fake;
//   quelvo::sys::FakeSystemScope scope(fake);
//   fake.AddProcess(100, "/usr/bin/hog.exe");
//   fake.AddCpuTime(100, 1000);   // one second of processor time
//   fake.Clock().Advance(1000);

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/system/backend.h"
#include "platform/system/clock.h"
#include "platform/system/window_directory.h"
#include "platform/system/winbase.h"

namespace quelvo::sys {

struct FakeProcess {
    DWORD pid = 0;
    std::string path;       // full path; the base name is its last element
    std::string shortName;  // reported where the path is unreadable
    std::int64_t startTime100ns = 0;
    DWORD priorityClass = NORMAL_PRIORITY_CLASS;
    std::int64_t cpuTime100ns = 0;
    DWORD threads = 1;
    DWORD parentPid = 1;
    bool pathReadable = true;     // false: names fall back to shortName
    DWORD deniedAccess = 0;       // rights OpenProcess refuses
    bool setPriorityFails = false;  // SetPriorityClass fails (ERROR_ACCESS_DENIED)
    bool closesOnWmClose = true;  // ends when WM_CLOSE reaches one of its windows
    bool closesOnRequest = true;  // ends when asked to close (RequestProcessClose)
    bool alive = true;
    DWORD exitCode = STILL_ACTIVE;
};

struct FakePriorityChange {
    DWORD pid = 0;
    DWORD priorityClass = 0;
};

struct FakeMessage {
    HWND window = nullptr;
    DWORD pid = 0;  // the window's process
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool sent = false;  // SendMessageTo rather than PostMessageTo
};

struct FakeTermination {
    DWORD pid = 0;
    UINT exitCode = 0;
};

struct FakeCreatedProcess {
    CreateProcessRequest request;
    DWORD pid = 0;  // 0 when creation was scripted to fail
};

class FakeSystem final : public SystemBackend, public WindowDirectory {
public:
    FakeSystem();
    ~FakeSystem() override;

    // ---- Script ----
    ManualClock& Clock() { return clock_; }
    // Adds a running process; its start time is the clock's time now (made
    // unique). shortName defaults to the base name cut to 15 characters.
    FakeProcess& AddProcess(DWORD pid, const std::string& path);
    // The live process with that id, or null.
    FakeProcess* Process(DWORD pid);
    // The process ends: it leaves the list, its windows go.
    void EndProcess(DWORD pid, DWORD exitCode = 0);
    void AddCpuTime(DWORD pid, std::int64_t milliseconds);
    // Top-level windows, in creation order across all processes.
    HWND AddWindow(DWORD pid);
    void RemoveWindow(HWND window);
    void SetLibraryMissing(const std::string& name, bool missing = true);
    void SetProcessorCount(DWORD count) { processors_ = count; }
    void SetCurrentPid(DWORD pid) { currentPid_ = pid; }
    // The performance data query fails (nothing reported) while set.
    void SetPerfQueryFails(bool fails) { perfQueryFails_ = fails; }
    RegistryStore& Store() const { return *registry_; }
    void SetSelfPath(const std::string& path) { selfPath_ = path; }
    // Scripted files win over the real file system.
    void AddFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
    void RemoveFile(const std::string& path);
    void SetSpecialFolder(int csidl, const std::string& path) { specialFolders_[csidl] = path; }
    // A mutex name that some other program already holds.
    void HoldMutex(const std::string& name) { mutexes_.insert(name); }
    bool MutexHeld(const std::string& name) const { return mutexes_.count(name) != 0; }
    void SetShellResult(int result) { shellResult_ = result; }
    // Created processes become fake processes with this path unless it fails.
    void SetCreateProcessFails(bool fails) { createProcessFails_ = fails; }
    // Answers SendMessageTo; 0 when unset.
    std::function<LRESULT(const FakeMessage&)> onSend;

    // ---- Records ----
    std::vector<FakePriorityChange> priorityChanges;
    std::vector<FakeMessage> messages;
    std::vector<FakeTermination> terminations;
    std::vector<DWORD> closeRequests;  // pids asked through RequestProcessClose
    std::vector<ShellRequest> shellCalls;
    std::vector<FakeCreatedProcess> createdProcesses;
    std::vector<std::string> directoryChanges;
    std::vector<std::string> openedLibraries;  // every LibraryPresent question
    int journalAdoptions = 0;
    int journalClosings = 0;
    int journalRestores = 0;  // what AdoptPriorityJournal answers
    void ClearRecords();

    // ---- SystemBackend ----
    DWORD ProcessorCount() override { return processors_; }
    DWORD CurrentProcessId() override { return currentPid_; }
    bool LibraryPresent(const std::string& canonicalName) override;
    DWORD ListProcesses(std::vector<DWORD>& pids) override;
    DWORD SnapshotProcesses(std::vector<ProcessEntry>& entries) override;
    DWORD OpenProcess(DWORD pid, DWORD access, std::unique_ptr<ProcessHandleState>& handle) override;
    DWORD ReadPriorityClass(DWORD pid, DWORD& priorityClass) override;
    DWORD SampleProcesses(std::vector<ProcessSample>& samples, std::int64_t& perfTime100ns,
                          std::int64_t& now100ns) override;
    std::shared_ptr<RegistryStore> Registry() override { return registry_; }
    DWORD CreateNamedMutex(const std::string& name, std::unique_ptr<NamedMutexState>& mutex,
                           bool& alreadyExists) override;
    int AdoptPriorityJournal() override
    {
        ++journalAdoptions;
        return journalRestores;
    }
    void ClosePriorityJournal() override { ++journalClosings; }
    std::string SelfExecutablePath() override { return selfPath_; }
    DWORD SetCurrentDirectory(const std::string& path) override;
    std::string CurrentDirectory() override { return currentDirectory_; }
    DWORD FileAttributes(const std::string& path, DWORD& error) override;
    int ShellExecute(const ShellRequest& request) override;
    DWORD CreateProcess(const CreateProcessRequest& request, DWORD& pid) override;
    std::string SpecialFolder(int csidl) override;

    // ---- WindowDirectory ----
    std::vector<TopLevelWindow> TopLevelWindows() override;
    bool PostMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Used by the fake's process handles.
    FakeProcess* FindInstance(DWORD pid, std::int64_t startTime);

private:
    bool Deliver(FakeMessage message);

    ManualClock clock_{1000};
    std::map<DWORD, FakeProcess> processes_;  // live ones
    std::vector<FakeProcess> ended_;
    std::vector<TopLevelWindow> windows_;
    std::uintptr_t nextWindow_ = 0x10010;
    std::int64_t lastStart_ = 0;
    std::set<std::string> missingLibraries_;
    std::set<std::string> mutexes_;
    std::map<std::string, DWORD> files_;
    std::set<std::string> removedFiles_;
    std::map<int, std::string> specialFolders_;
    std::shared_ptr<RegistryStore> registry_;
    DWORD processors_ = 2;
    DWORD currentPid_ = 4242;
    DWORD nextCreatedPid_ = 30000;
    bool perfQueryFails_ = false;
    std::string selfPath_ = "/opt/quelvo/QuelvoTray.exe";
    std::string currentDirectory_ = "/";
    int shellResult_ = 42;
    bool createProcessFails_ = false;
};

// Installs the fake as backend, clock and window directory for the scope's
// life.
class FakeSystemScope {
public:
    explicit FakeSystemScope(FakeSystem& fake)
        : backend_(fake), clock_(fake.Clock()), windows_(fake)
    {
    }

private:
    BackendScope backend_;
    ClockScope clock_;
    WindowDirectoryScope windows_;
};

}  // namespace quelvo::sys
