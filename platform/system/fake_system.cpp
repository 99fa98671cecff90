#include "platform/system/fake_system.h"

#include <algorithm>
#include <cstring>

#include "platform/system/libraries.h"
#include "platform/system/paths.h"
#include "platform/system/registry_store.h"

namespace quelvo::sys {
namespace {

constexpr UINT kCloseMessage = 0x0010;  // WM_CLOSE

std::string BaseName(const std::string& path)
{
    const std::size_t cut = path.rfind(kPathSeparator);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

class FakeProcessHandle final : public ProcessHandleState {
public:
    FakeProcessHandle(FakeSystem& fake, const FakeProcess& process, DWORD access)
        : ProcessHandleState(process.pid, access), fake_(fake), startTime_(process.startTime100ns)
    {
    }

    DWORD ImagePath(std::string& path) override
    {
        FakeProcess* process = Live();
        if (process == nullptr) return ERROR_INVALID_HANDLE;
        path = process->pathReadable ? process->path : process->shortName;
        return ERROR_SUCCESS;
    }
    DWORD PriorityClass(DWORD& priorityClass) override
    {
        FakeProcess* process = Live();
        if (process == nullptr) return ERROR_INVALID_HANDLE;
        priorityClass = process->priorityClass;
        return ERROR_SUCCESS;
    }
    DWORD SetPriorityClass(DWORD priorityClass) override
    {
        FakeProcess* process = Live();
        if (process == nullptr) return ERROR_INVALID_HANDLE;
        if (process->setPriorityFails) return ERROR_ACCESS_DENIED;
        process->priorityClass = priorityClass;
        fake_.priorityChanges.push_back({process->pid, priorityClass});
        return ERROR_SUCCESS;
    }
    DWORD Terminate(UINT exitCode) override
    {
        FakeProcess* process = Live();
        if (process == nullptr) return ERROR_ACCESS_DENIED;  // already ended
        fake_.terminations.push_back({process->pid, exitCode});
        fake_.EndProcess(process->pid, exitCode);
        return ERROR_SUCCESS;
    }
    DWORD RequestClose() override
    {
        FakeProcess* process = Live();
        if (process == nullptr) return ERROR_ACCESS_DENIED;  // already ended
        fake_.closeRequests.push_back(process->pid);
        if (process->closesOnRequest) fake_.EndProcess(process->pid, 0);
        return ERROR_SUCCESS;
    }
    DWORD Wait(DWORD, bool& ended) override
    {
        ended = Live() == nullptr;
        return ERROR_SUCCESS;
    }
    DWORD ExitCode(DWORD& exitCode) override
    {
        FakeProcess* process = fake_.FindInstance(Pid(), startTime_);
        exitCode = process != nullptr ? process->exitCode : 0;
        return ERROR_SUCCESS;
    }

private:
    FakeProcess* Live()
    {
        FakeProcess* process = fake_.FindInstance(Pid(), startTime_);
        return process != nullptr && process->alive ? process : nullptr;
    }

    FakeSystem& fake_;
    std::int64_t startTime_ = 0;
};

class FakeMutex final : public NamedMutexState {
public:
    FakeMutex(std::set<std::string>& names, std::string name) : names_(names), name_(std::move(name)) {}
    ~FakeMutex() override { names_.erase(name_); }

private:
    std::set<std::string>& names_;
    std::string name_;
};

}  // namespace

FakeSystem::FakeSystem() : registry_(std::make_shared<RegistryStore>()) { registry_->AddDefaultKeys(); }

FakeSystem::~FakeSystem() = default;

FakeProcess& FakeSystem::AddProcess(DWORD pid, const std::string& path)
{
    FakeProcess process;
    process.pid = pid;
    process.path = path;
    process.shortName = BaseName(path).substr(0, 15);
    // Start times are unique and grow, so a reused id is a new process.
    lastStart_ = std::max(lastStart_ + 1, clock_.Now100ns());
    process.startTime100ns = lastStart_;
    auto [it, inserted] = processes_.insert_or_assign(pid, process);
    return it->second;
}

FakeProcess* FakeSystem::Process(DWORD pid)
{
    auto it = processes_.find(pid);
    return it == processes_.end() ? nullptr : &it->second;
}

FakeProcess* FakeSystem::FindInstance(DWORD pid, std::int64_t startTime)
{
    FakeProcess* live = Process(pid);
    if (live != nullptr && live->startTime100ns == startTime) return live;
    for (FakeProcess& process : ended_) {
        if (process.pid == pid && process.startTime100ns == startTime) return &process;
    }
    return nullptr;
}

void FakeSystem::EndProcess(DWORD pid, DWORD exitCode)
{
    auto it = processes_.find(pid);
    if (it == processes_.end()) return;
    it->second.alive = false;
    it->second.exitCode = exitCode;
    ended_.push_back(it->second);
    processes_.erase(it);
    std::erase_if(windows_, [pid](const TopLevelWindow& w) { return w.processId == pid; });
}

void FakeSystem::AddCpuTime(DWORD pid, std::int64_t milliseconds)
{
    if (FakeProcess* process = Process(pid)) process->cpuTime100ns += milliseconds * 10000;
}

HWND FakeSystem::AddWindow(DWORD pid)
{
    HWND window = reinterpret_cast<HWND>(nextWindow_);
    nextWindow_ += 0x10;
    windows_.push_back({window, pid});
    return window;
}

void FakeSystem::RemoveWindow(HWND window)
{
    std::erase_if(windows_, [window](const TopLevelWindow& w) { return w.window == window; });
}

void FakeSystem::SetLibraryMissing(const std::string& name, bool missing)
{
    const std::string canonical = CanonicalLibraryName(name);
    if (missing) {
        missingLibraries_.insert(canonical);
    } else {
        missingLibraries_.erase(canonical);
    }
}

void FakeSystem::AddFile(const std::string& path, DWORD attributes)
{
    files_[path] = attributes;
    removedFiles_.erase(path);
}

void FakeSystem::RemoveFile(const std::string& path)
{
    files_.erase(path);
    removedFiles_.insert(path);
}

void FakeSystem::ClearRecords()
{
    priorityChanges.clear();
    messages.clear();
    terminations.clear();
    shellCalls.clear();
    createdProcesses.clear();
    directoryChanges.clear();
    openedLibraries.clear();
}

bool FakeSystem::LibraryPresent(const std::string& canonicalName)
{
    openedLibraries.push_back(canonicalName);
    return missingLibraries_.count(canonicalName) == 0;
}

DWORD FakeSystem::ListProcesses(std::vector<DWORD>& pids)
{
    pids.clear();
    for (const auto& [pid, process] : processes_) pids.push_back(pid);
    return ERROR_SUCCESS;
}

DWORD FakeSystem::SnapshotProcesses(std::vector<ProcessEntry>& entries)
{
    entries.clear();
    for (const auto& [pid, process] : processes_) {
        entries.push_back({pid, process.parentPid, process.threads, BaseName(process.path)});
    }
    return ERROR_SUCCESS;
}

DWORD FakeSystem::OpenProcess(DWORD pid, DWORD access, std::unique_ptr<ProcessHandleState>& handle)
{
    FakeProcess* process = Process(pid);
    if (process == nullptr) return ERROR_INVALID_PARAMETER;
    DWORD granted = access;
    if ((access & process->deniedAccess) != 0) {
        // As on the real system, a request for every right gets what may be had.
        if ((access & PROCESS_ALL_ACCESS) != PROCESS_ALL_ACCESS) return ERROR_ACCESS_DENIED;
        granted &= ~process->deniedAccess;
    }
    handle = std::make_unique<FakeProcessHandle>(*this, *process, granted);
    return ERROR_SUCCESS;
}

// As a handle opened for queries reads it, refusals included.
DWORD FakeSystem::ReadPriorityClass(DWORD pid, DWORD& priorityClass)
{
    std::unique_ptr<ProcessHandleState> handle;
    if (const DWORD error = OpenProcess(pid, PROCESS_QUERY_INFORMATION, handle); error != ERROR_SUCCESS) return error;
    return handle->PriorityClass(priorityClass);
}

DWORD FakeSystem::SampleProcesses(std::vector<ProcessSample>& samples, std::int64_t& perfTime100ns,
                                  std::int64_t& now100ns)
{
    if (perfQueryFails_) return ERROR_ACCESS_DENIED;
    perfTime100ns = clock_.Now100ns();
    now100ns = perfTime100ns;
    samples.clear();
    for (const auto& [pid, process] : processes_) {
        ProcessSample sample;
        sample.pid = pid;
        sample.cpuTime100ns = process.cpuTime100ns;
        sample.startTime100ns = process.startTime100ns;
        std::strncpy(sample.name, process.shortName.c_str(), sizeof(sample.name) - 1);
        samples.push_back(sample);
    }
    return ERROR_SUCCESS;
}

DWORD FakeSystem::CreateNamedMutex(const std::string& name, std::unique_ptr<NamedMutexState>& mutex,
                                   bool& alreadyExists)
{
    alreadyExists = mutexes_.count(name) != 0;
    if (!alreadyExists) {
        mutexes_.insert(name);
        mutex = std::make_unique<FakeMutex>(mutexes_, name);
    }
    return ERROR_SUCCESS;
}

DWORD FakeSystem::SetCurrentDirectory(const std::string& path)
{
    directoryChanges.push_back(path);
    currentDirectory_ = path;
    return ERROR_SUCCESS;
}

DWORD FakeSystem::FileAttributes(const std::string& path, DWORD& error)
{
    auto it = files_.find(path);
    if (it != files_.end()) return it->second;
    if (removedFiles_.count(path) == 0) {
        DWORD realError = ERROR_SUCCESS;
        const DWORD attributes = LinuxBackend().FileAttributes(path, realError);
        if (attributes != INVALID_FILE_ATTRIBUTES) return attributes;
    }
    error = ERROR_FILE_NOT_FOUND;
    return INVALID_FILE_ATTRIBUTES;
}

int FakeSystem::ShellExecute(const ShellRequest& request)
{
    shellCalls.push_back(request);
    return shellResult_;
}

DWORD FakeSystem::CreateProcess(const CreateProcessRequest& request, DWORD& pid)
{
    if (createProcessFails_) {
        createdProcesses.push_back({request, 0});
        return ERROR_FILE_NOT_FOUND;
    }
    pid = nextCreatedPid_++;
    createdProcesses.push_back({request, pid});
    const std::string& name = request.application.empty() ? request.commandLine : request.application;
    AddProcess(pid, name);
    return ERROR_SUCCESS;
}

std::string FakeSystem::SpecialFolder(int csidl)
{
    auto it = specialFolders_.find(csidl);
    return it == specialFolders_.end() ? std::string() : it->second;
}

std::vector<TopLevelWindow> FakeSystem::TopLevelWindows() { return windows_; }

bool FakeSystem::Deliver(FakeMessage message)
{
    auto it = std::find_if(windows_.begin(), windows_.end(),
                           [&](const TopLevelWindow& w) { return w.window == message.window; });
    if (it == windows_.end()) return false;
    message.pid = it->processId;
    messages.push_back(message);
    if (message.message == kCloseMessage) {
        FakeProcess* process = Process(message.pid);
        if (process != nullptr && process->closesOnWmClose) EndProcess(message.pid, 0);
    }
    return true;
}

bool FakeSystem::PostMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Deliver({window, 0, message, wParam, lParam, false});
}

LRESULT FakeSystem::SendMessageTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FakeMessage record{window, 0, message, wParam, lParam, true};
    if (!Deliver(record)) return 0;
    return onSend ? onSend(messages.back()) : 0;
}

}  // namespace quelvo::sys
