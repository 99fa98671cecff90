#include "platform/system/psapi.h"

#include <string>
#include <vector>

#include "platform/system/backend.h"
#include "platform/system/copy_text.h"
#include "platform/system/handle_table.h"
#include "platform/system/paths.h"
#include "platform/system/winbase.h"

using namespace quelvo::sys;

namespace {

// The one module of every process: its executable.
const HMODULE kExecutableModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x400000));

constexpr DWORD kQueryRights = PROCESS_QUERY_INFORMATION | PROCESS_QUERY_LIMITED_INFORMATION;

bool ImagePathOf(HANDLE process, HMODULE module, std::string& path)
{
    if (module != nullptr && module != kExecutableModule) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    auto object = ProcessForHandle(process, kQueryRights);
    if (!object) return false;
    const DWORD error = object->State().ImagePath(path);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    return true;
}

DWORD CopyOrFail(const std::string& text, LPSTR buffer, DWORD size)
{
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return CopyTextOut(text, buffer, size);
}

}  // namespace

BOOL EnumProcesses(DWORD* processIds, DWORD bytes, DWORD* bytesReturned)
{
    if (bytesReturned == nullptr || (processIds == nullptr && bytes != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<DWORD> pids;
    const DWORD error = Backend().ListProcesses(pids);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return FALSE;
    }
    const std::size_t fit = std::min<std::size_t>(pids.size(), bytes / sizeof(DWORD));
    for (std::size_t i = 0; i < fit; ++i) processIds[i] = pids[i];
    *bytesReturned = static_cast<DWORD>(fit * sizeof(DWORD));
    return TRUE;
}

BOOL EnumProcessModules(HANDLE process, HMODULE* modules, DWORD bytes, DWORD* bytesNeeded)
{
    if (bytesNeeded == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ProcessForHandle(process, kQueryRights)) return FALSE;
    *bytesNeeded = sizeof(HMODULE);
    if (modules != nullptr && bytes >= sizeof(HMODULE)) modules[0] = kExecutableModule;
    return TRUE;
}

DWORD GetModuleFileNameExA(HANDLE process, HMODULE module, LPSTR fileName, DWORD size)
{
    std::string path;
    if (!ImagePathOf(process, module, path)) return 0;
    return CopyOrFail(path, fileName, size);
}

DWORD GetModuleBaseNameA(HANDLE process, HMODULE module, LPSTR baseName, DWORD size)
{
    std::string path;
    if (!ImagePathOf(process, module, path)) return 0;
    const std::size_t cut = path.rfind(kPathSeparator);
    return CopyOrFail(cut == std::string::npos ? path : path.substr(cut + 1), baseName, size);
}

INT VDMEnumTaskWOWEx(DWORD, void*, LPARAM) { return 0; }
