#include "platform/system/libraries.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>

#include "platform/system/backend.h"
#include "platform/system/psapi.h"
#include "platform/system/toolhelp.h"
#include "platform/system/winbase.h"

namespace quelvo::sys {
namespace {

struct Library {
    std::string name;
    std::map<std::string, FARPROC, std::less<>> functions;
    bool alwaysLoaded = false;
    int loads = 0;
};

template <class F>
FARPROC Address(F* function)
{
    return reinterpret_cast<FARPROC>(function);
}

struct Libraries {
    std::mutex mutex;
    // unique_ptr: module handles are the addresses of these entries.
    std::map<std::string, std::unique_ptr<Library>, std::less<>> byName;

    Libraries()
    {
        Library& psapi = Get("PSAPI.DLL");
        psapi.functions["EnumProcesses"] = Address(&EnumProcesses);
        psapi.functions["EnumProcessModules"] = Address(&EnumProcessModules);
        psapi.functions["GetModuleFileNameExA"] = Address(&GetModuleFileNameExA);
        psapi.functions["GetModuleBaseNameA"] = Address(&GetModuleBaseNameA);
        Library& vdm = Get("VDMDBG.DLL");
        vdm.functions["VDMEnumTaskWOWEx"] = Address(&VDMEnumTaskWOWEx);
        Library& kernel = Get("KERNEL32.DLL");
        kernel.alwaysLoaded = true;
        kernel.functions["CreateToolhelp32Snapshot"] = Address(&CreateToolhelp32Snapshot);
        kernel.functions["Process32First"] = Address(&Process32First);
        kernel.functions["Process32Next"] = Address(&Process32Next);
        kernel.functions["GetTickCount"] = Address(&GetTickCount);
        kernel.functions["GetTickCount64"] = Address(&GetTickCount64);
    }

    Library& Get(const std::string& canonical)
    {
        auto& slot = byName[canonical];
        if (!slot) {
            slot = std::make_unique<Library>();
            slot->name = canonical;
        }
        return *slot;
    }

    Library* Find(const std::string& canonical)
    {
        auto it = byName.find(canonical);
        return it == byName.end() ? nullptr : it->second.get();
    }

    Library* FromHandle(HMODULE module)
    {
        for (auto& [name, library] : byName) {
            if (reinterpret_cast<HMODULE>(library.get()) == module) return library.get();
        }
        return nullptr;
    }
};

Libraries& TheLibraries()
{
    static Libraries libraries;
    return libraries;
}

}  // namespace

std::string CanonicalLibraryName(std::string_view name)
{
    const std::size_t cut = name.find_last_of("/\\");
    if (cut != std::string_view::npos) name.remove_prefix(cut + 1);
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (result.find('.') == std::string::npos) result += ".DLL";
    return result;
}

void RegisterLibraryFunction(std::string_view library, std::string_view function, FARPROC address)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    libraries.Get(CanonicalLibraryName(library)).functions[std::string(function)] = address;
}

}  // namespace quelvo::sys

using namespace quelvo::sys;

HMODULE LoadLibraryA(LPCSTR name)
{
    if (name == nullptr || name[0] == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string canonical = CanonicalLibraryName(name);
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    Library* library = libraries.Find(canonical);
    if (library == nullptr || !Backend().LibraryPresent(canonical)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++library->loads;
    return reinterpret_cast<HMODULE>(library);
}

HMODULE GetModuleHandleA(LPCSTR name)
{
    Libraries& libraries = TheLibraries();
    if (name == nullptr) {
        // The program itself: the kernel library stands in for it, so the
        // handle is valid for GetModuleFileNameA.
        std::lock_guard lock(libraries.mutex);
        return reinterpret_cast<HMODULE>(libraries.Find("KERNEL32.DLL"));
    }
    const std::string canonical = CanonicalLibraryName(name);
    std::lock_guard lock(libraries.mutex);
    Library* library = libraries.Find(canonical);
    if (library == nullptr || (!library->alwaysLoaded && library->loads == 0) || !Backend().LibraryPresent(canonical)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(library);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    Library* library = libraries.FromHandle(module);
    if (library == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (name == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    auto it = library->functions.find(std::string_view(name));
    if (it == library->functions.end()) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return it->second;
}

BOOL FreeLibrary(HMODULE module)
{
    Libraries& libraries = TheLibraries();
    std::lock_guard lock(libraries.mutex);
    Library* library = libraries.FromHandle(module);
    if (library == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (library->loads > 0) --library->loads;
    return TRUE;
}
