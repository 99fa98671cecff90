#include "engine/CPSAPIT.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/ProcessWatcher.h"
#include "engine/ScopedHandle.h"
#include "platform/system/paths.h"
#include "platform/system/psapi.h"
#include "platform/system/toolhelp.h"
#include "platform/system/winbase.h"
#include "platform/system/window_directory.h"

namespace {

constexpr UINT kWmClose = 0x0010;
constexpr DWORD kScanAccess = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
// Paths are not limited to the 260 bytes of the older systems.
constexpr DWORD kFirstPathSize = MAX_PATH;
constexpr DWORD kLongestPath = 65536;

using EnumProcessesFn = BOOL (*)(DWORD*, DWORD, DWORD*);
using EnumProcessModulesFn = BOOL (*)(HANDLE, HMODULE*, DWORD, DWORD*);
using ModuleTextFn = DWORD (*)(HANDLE, HMODULE, LPSTR, DWORD);
using SnapshotFn = HANDLE (*)(DWORD, DWORD);
using ProcessWalkFn = BOOL (*)(HANDLE, LPPROCESSENTRY32);

template <typename Fn>
Fn Bind(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(GetProcAddress(module, name));
}

struct ProcessStatusFunctions {
    EnumProcessesFn enumProcesses = nullptr;
    EnumProcessModulesFn enumModules = nullptr;
    ModuleTextFn fileName = nullptr;
    ModuleTextFn baseName = nullptr;

    // All five functions, the VDM one only required.
    bool Bind(HMODULE psapi, HMODULE vdmdbg)
    {
        const bool vdm = GetProcAddress(vdmdbg, "VDMEnumTaskWOWEx") != nullptr;
        enumProcesses = ::Bind<EnumProcessesFn>(psapi, "EnumProcesses");
        fileName = ::Bind<ModuleTextFn>(psapi, "GetModuleFileNameExA");
        baseName = ::Bind<ModuleTextFn>(psapi, "GetModuleBaseNameA");
        enumModules = ::Bind<EnumProcessModulesFn>(psapi, "EnumProcessModules");
        return vdm && enumProcesses && fileName && baseName && enumModules;
    }

    // Every process id, the buffer grown until the list fits.
    bool ProcessIds(std::vector<DWORD>& ids) const
    {
        ids.assign(1024, 0);
        for (;;) {
            DWORD bytes = 0;
            const DWORD size = static_cast<DWORD>(ids.size() * sizeof(DWORD));
            if (!enumProcesses(ids.data(), size, &bytes))
                return false;
            if (bytes < size || ids.size() >= (1u << 22)) {
                ids.resize(std::min<std::size_t>(bytes / sizeof(DWORD), ids.size()));
                return true;
            }
            ids.assign(ids.size() * 2, 0);
        }
    }

    std::vector<HMODULE> Modules(HANDLE process) const
    {
        std::vector<HMODULE> modules(1024, nullptr);
        DWORD needed = 0;
        const DWORD size = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!enumModules(process, modules.data(), size, &needed))
            return {};
        modules.resize(std::min<std::size_t>(needed / sizeof(HMODULE), modules.size()));
        return modules;
    }

    // A module text, the buffer grown until the text fits.
    static std::string Text(ModuleTextFn fn, HANDLE process, HMODULE module)
    {
        std::vector<char> buffer(kFirstPathSize, '\0');
        for (;;) {
            const DWORD size = static_cast<DWORD>(buffer.size());
            const DWORD length = fn(process, module, buffer.data(), size);
            if (length == 0)
                return {};
            if (length < size - 1 || size >= kLongestPath)
                return std::string(buffer.data(), std::min<DWORD>(length, size - 1));
            buffer.assign(buffer.size() * 2, '\0');
        }
    }
};

struct ToolhelpFunctions {
    SnapshotFn snapshot = nullptr;
    ProcessWalkFn first = nullptr;
    ProcessWalkFn next = nullptr;

    bool Bind()
    {
        const HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        snapshot = ::Bind<SnapshotFn>(kernel, "CreateToolhelp32Snapshot");
        first = ::Bind<ProcessWalkFn>(kernel, "Process32First");
        next = ::Bind<ProcessWalkFn>(kernel, "Process32Next");
        return snapshot && first && next;
    }

    // Calls visit(entry) until it returns false or the snapshot ends.
    template <typename Visit>
    bool Walk(Visit&& visit) const
    {
        const HANDLE snap = snapshot(TH32CS_SNAPPROCESS, 0);
        if (snap == INVALID_HANDLE_VALUE || snap == nullptr)
            return false;
        PROCESSENTRY32 entry;
        entry.dwSize = sizeof(entry);
        for (BOOL more = first(snap, &entry); more; more = next(snap, &entry)) {
            entry.szExeFile[sizeof(entry.szExeFile) - 1] = '\0';
            if (!visit(entry))
                break;
        }
        CloseHandle(snap);
        return true;
    }
};

} // namespace

CPSAPIT::CPSAPIT()
{
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof(info);
    processStatusMode_ = GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

CPSAPIT::~CPSAPIT()
{
    if (vdmdbg_ != nullptr)
        FreeLibrary(vdmdbg_);
    if (psapi_ != nullptr)
        FreeLibrary(psapi_);
}

bool CPSAPIT::LoadLibraries()
{
    if (!processStatusMode_)
        return true;
    if (psapi_ == nullptr)
        psapi_ = LoadLibraryA("PSAPI.DLL");
    if (vdmdbg_ == nullptr)
        vdmdbg_ = LoadLibraryA("VDMDBG.DLL");
    return psapi_ != nullptr && vdmdbg_ != nullptr;
}

int CPSAPIT::OnModule(const std::string&, DWORD)
{
    return 1;
}

int CPSAPIT::OnWindow_wPid(HWND, LPARAM, DWORD)
{
    return 1;
}

bool CPSAPIT::EnumerateProcesses()
{
    return processStatusMode_ ? EnumerateProcessStatus() : EnumerateToolhelp();
}

bool CPSAPIT::EnumerateToolhelp()
{
    ToolhelpFunctions th;
    if (!th.Bind())
        return false;
    return th.Walk([this](const PROCESSENTRY32& e) { return OnModule(e.szExeFile, e.th32ProcessID) != 0; });
}

bool CPSAPIT::EnumerateProcessStatus()
{
    if (psapi_ == nullptr || vdmdbg_ == nullptr)
        return false;
    ProcessStatusFunctions ps;
    if (!ps.Bind(psapi_, vdmdbg_))
        return false;
    std::vector<DWORD> ids;
    if (!ps.ProcessIds(ids))
        return false;
    for (const DWORD id : ids) {
        const ScopedProcessHandle process(OpenProcess(kScanAccess, FALSE, id));
        if (!process)
            continue;
        const auto modules = ps.Modules(process.get());
        if (modules.empty())
            continue;
        const std::string path = ProcessStatusFunctions::Text(ps.fileName, process.get(), modules.front());
        if (path.empty())
            continue;
        if (OnModule(path, id) == 0)
            break;
    }
    return true;
}

bool CPSAPIT::EnumerateWindows()
{
    for (const auto& w : quelvo::sys::Windows().TopLevelWindows())
        if (OnWindow_wPid(w.window, 0, w.processId) == 0)
            break;
    return true;
}

bool CPSAPIT::CloseWindowsOfPid(DWORD processId)
{
    // A post fails only for a window that went away meanwhile: the walk goes
    // on and still counts as done.
    auto& windows = quelvo::sys::Windows();
    for (const auto& w : windows.TopLevelWindows())
        if (w.processId == processId)
            windows.PostMessageTo(w.window, kWmClose, 0, 0);
    return true;
}

bool CPSAPIT::NameFromToolhelp(DWORD processId, std::string& name)
{
    ToolhelpFunctions th;
    if (!th.Bind())
        return false;
    bool found = false;
    th.Walk([&](const PROCESSENTRY32& e) {
        if (e.th32ProcessID != processId)
            return true;
        name = e.szExeFile;
        found = true;
        return false;
    });
    return found;
}

bool CPSAPIT::GetProcessName(DWORD processId, std::string& name)
{
    if (!processStatusMode_)
        return NameFromToolhelp(processId, name);
    if (psapi_ == nullptr || vdmdbg_ == nullptr) {
        name = "failed0";
        return false;
    }
    ProcessStatusFunctions ps;
    if (!ps.Bind(psapi_, vdmdbg_)) {
        name = "failed1";
        return false;
    }
    if (!batchOpen_ || !batchValid_) {
        if (!ps.ProcessIds(listed_)) {
            name = "failed2";
            return false;
        }
        std::sort(listed_.begin(), listed_.end());
        batchValid_ = batchOpen_;
    }
    name.clear();
    if (!std::binary_search(listed_.begin(), listed_.end(), processId))
        return false;
    // Every right is asked for; the platform grants what may be had, which
    // always includes reading the name.
    ScopedProcessHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process)
        return false;
    for (const HMODULE module : ps.Modules(process.get())) {
        name = ProcessStatusFunctions::Text(ps.baseName, process.get(), module);
        if (name.empty())
            name = ProcessStatusFunctions::Text(ps.fileName, process.get(), module);
        if (!name.empty())
            break;
    }
    return true;
}

void CPSAPIT::BeginNameBatch()
{
    batchOpen_ = true;
    batchValid_ = false;
}

void CPSAPIT::EndNameBatch()
{
    batchOpen_ = false;
    batchValid_ = false;
}

std::string CPSAPIT_ProcessWatcher::BaseName(const std::string& path)
{
    const auto separator = path.rfind(quelvo::sys::kPathSeparator);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

int CPSAPIT_ProcessWatcher::OnModule(const std::string& path, DWORD processId)
{
    const std::string base = BaseName(path);
    if (owner_ != nullptr) {
        // Id 0 is no process; a known id is not added twice.
        if (processId != 0 && owner_->FindProcess(processId) == nullptr)
            owner_->AddProcess(processId, base);
        return 1;
    }
    if (base == wantedName_) {
        processId_ = processId;
        return 0;
    }
    return 1;
}

int CPSAPIT_ProcessWatcher::OnWindow_wPid(HWND window, LPARAM, DWORD processId)
{
    if (processId != processId_)
        return 1;
    foundWindow_ = window;
    return 0;
}

bool CPSAPIT_ProcessWatcher::EnumerateInto(ProcessWatcher& watcher)
{
    owner_ = &watcher;
    const bool ok = EnumerateProcesses();
    owner_ = nullptr;
    return ok;
}

HWND CPSAPIT_ProcessWatcher::FindWindowOfPid(DWORD processId)
{
    wantedName_.clear();
    processId_ = processId;
    foundWindow_ = nullptr;
    EnumerateWindows();
    return foundWindow_;
}

DWORD CPSAPIT_ProcessWatcher::FindPidByName(const std::string& name)
{
    wantedName_ = name;
    processId_ = 0;
    foundWindow_ = nullptr;
    EnumerateProcesses();
    return processId_;
}
