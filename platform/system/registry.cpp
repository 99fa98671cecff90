// Registry functions by their Windows names over the backend's store, and
// the performance data behind HKEY_PERFORMANCE_DATA.

#include "platform/system/registry.h"

#include <cstring>
#include <mutex>
#include <unistd.h>
#include <unordered_map>

#include "platform/system/backend.h"
#include "platform/system/perf_block.h"
#include "platform/system/registry_store.h"
#include "platform/system/text_conversion.h"

using namespace quelvo::sys;

namespace {

struct OpenKey {
    DWORD root = 0;
    std::string path;
    REGSAM access = KEY_ALL_ACCESS;
    std::shared_ptr<RegistryStore> store;
    bool performance = false;
};

struct KeyTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, OpenKey> keys;
    std::uintptr_t next = 1;
};

KeyTable& Keys()
{
    static KeyTable table;
    return table;
}

DWORD PredefinedValue(HKEY key) { return static_cast<DWORD>(reinterpret_cast<std::intptr_t>(key)); }

bool IsPredefined(HKEY key)
{
    const auto value = reinterpret_cast<std::intptr_t>(key);
    return value >= static_cast<LONG>(0x80000000u) && value <= static_cast<LONG>(0x80000005u);
}

bool Resolve(HKEY key, OpenKey& out)
{
    if (IsPredefined(key)) {
        out = OpenKey{};
        out.root = PredefinedValue(key);
        out.performance = key == HKEY_PERFORMANCE_DATA;
        out.store = Backend().Registry();
        return true;
    }
    KeyTable& table = Keys();
    std::lock_guard lock(table.mutex);
    auto it = table.keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == table.keys.end()) return false;
    out = it->second;
    return true;
}

HKEY AddKey(OpenKey key)
{
    KeyTable& table = Keys();
    std::lock_guard lock(table.mutex);
    const std::uintptr_t value = 0x2000 + 4 * table.next++;
    table.keys.emplace(value, std::move(key));
    return reinterpret_cast<HKEY>(value);
}

LONG CopyData(const BYTE* source, DWORD size, BYTE* data, LPDWORD dataSize)
{
    if (data == nullptr) {
        if (dataSize != nullptr) *dataSize = size;
        return ERROR_SUCCESS;
    }
    if (dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    const DWORD room = *dataSize;
    *dataSize = size;
    if (room < size) return ERROR_MORE_DATA;
    if (size != 0) std::memcpy(data, source, size);
    return ERROR_SUCCESS;
}

const std::u16string& SystemName()
{
    static const std::u16string name = [] {
        char host[256] = {};
        if (gethostname(host, sizeof(host) - 1) != 0 || host[0] == '\0') return std::u16string(u"LOCALHOST");
        return WidenText(host);
    }();
    return name;
}

// Copies a key or value name for the enumerations.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD size)
{
    if (*size <= name.size()) return ERROR_MORE_DATA;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LONG QueryPerformanceData(LPCSTR valueName, LPDWORD type, BYTE* data, LPDWORD dataSize)
{
    thread_local std::vector<ProcessSample> samples;
    thread_local std::vector<BYTE> block;
    PerfBlockInput input;
    input.systemName = SystemName();
    input.includeProcessObject = PerfQueryWantsProcesses(valueName != nullptr ? valueName : "Global");
    if (input.includeProcessObject) {
        const auto disabled = Backend().Registry()->GetDword(kRootLocalMachine, kPerfProcKey, kDisablePerfCountersValue);
        if (disabled.value_or(0) != 0) input.includeProcessObject = false;
    }
    samples.clear();
    const DWORD error = Backend().SampleProcesses(samples, input.perfTime100ns, input.now100ns);
    if (error != ERROR_SUCCESS) return static_cast<LONG>(error);
    input.samples = &samples;
    BuildPerfBlock(input, block);
    if (type != nullptr) *type = REG_BINARY;
    return CopyData(block.data(), static_cast<DWORD>(block.size()), data, dataSize);
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result)
{
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey parent;
    if (!Resolve(key, parent)) return ERROR_INVALID_HANDLE;
    if (parent.performance) return ERROR_FILE_NOT_FOUND;
    OpenKey opened = parent;
    opened.path = JoinRegistryPath(parent.path, subKey != nullptr ? subKey : "");
    opened.access = access;
    if (!opened.store->KeyExists(opened.root, opened.path)) return ERROR_FILE_NOT_FOUND;
    *result = AddKey(std::move(opened));
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES, PHKEY result,
                     LPDWORD disposition)
{
    if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    OpenKey parent;
    if (!Resolve(key, parent)) return ERROR_INVALID_HANDLE;
    if (parent.performance) return ERROR_ACCESS_DENIED;
    OpenKey opened = parent;
    opened.path = JoinRegistryPath(parent.path, subKey);
    opened.access = access;
    const bool created = opened.store->CreateKey(opened.root, opened.path);
    if (disposition != nullptr) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = AddKey(std::move(opened));
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    if (IsPredefined(key)) return ERROR_SUCCESS;
    KeyTable& table = Keys();
    std::lock_guard lock(table.mutex);
    return table.keys.erase(reinterpret_cast<std::uintptr_t>(key)) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, BYTE* data, LPDWORD dataSize)
{
    OpenKey opened;
    if (!Resolve(key, opened)) return ERROR_INVALID_HANDLE;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    if (opened.performance) return QueryPerformanceData(valueName, type, data, dataSize);
    if ((opened.access & KEY_QUERY_VALUE) == 0) return ERROR_ACCESS_DENIED;
    const auto value = opened.store->GetValue(opened.root, opened.path, valueName != nullptr ? valueName : "");
    if (!value) return ERROR_FILE_NOT_FOUND;
    if (type != nullptr) *type = value->type;
    return CopyData(value->data.data(), static_cast<DWORD>(value->data.size()), data, dataSize);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD dataSize)
{
    OpenKey opened;
    if (!Resolve(key, opened)) return ERROR_INVALID_HANDLE;
    if (opened.performance || (opened.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    if (data == nullptr && dataSize != 0) return ERROR_INVALID_PARAMETER;
    if (type == REG_DWORD && dataSize != sizeof(DWORD)) return ERROR_INVALID_PARAMETER;
    RegistryValue value{type, std::vector<BYTE>(data, data + dataSize)};
    return static_cast<LONG>(
        opened.store->SetValue(opened.root, opened.path, valueName != nullptr ? valueName : "", std::move(value)));
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName)
{
    OpenKey opened;
    if (!Resolve(key, opened)) return ERROR_INVALID_HANDLE;
    if (opened.performance || (opened.access & KEY_SET_VALUE) == 0) return ERROR_ACCESS_DENIED;
    return static_cast<LONG>(opened.store->DeleteValue(opened.root, opened.path, valueName != nullptr ? valueName : ""));
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    OpenKey opened;
    if (!Resolve(key, opened)) return ERROR_INVALID_HANDLE;
    if (subKey == nullptr || subKey[0] == '\0') return ERROR_INVALID_PARAMETER;
    if (opened.performance) return ERROR_ACCESS_DENIED;
    return static_cast<LONG>(opened.store->DeleteKey(opened.root, JoinRegistryPath(opened.path, subKey)));
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR keyClass, LPDWORD classSize,
                   FILETIME* lastWriteTime)
{
    OpenKey opened;
    if (!Resolve(key, opened)) return ERROR_INVALID_HANDLE;
    if (name == nullptr || nameSize == nullptr) return ERROR_INVALID_PARAMETER;
    if (opened.performance) return ERROR_NO_MORE_ITEMS;
    const auto subKey = opened.store->SubKeyName(opened.root, opened.path, index);
    if (!subKey) return ERROR_NO_MORE_ITEMS;
    if (const LONG result = CopyName(*subKey, name, nameSize); result != ERROR_SUCCESS) return result;
    if (keyClass != nullptr && classSize != nullptr && *classSize > 0) keyClass[0] = '\0';
    if (classSize != nullptr) *classSize = 0;
    if (lastWriteTime != nullptr) *lastWriteTime = FILETIME{};
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type, BYTE* data,
                   LPDWORD dataSize)
{
    OpenKey opened;
    if (!Resolve(key, opened)) return ERROR_INVALID_HANDLE;
    if (name == nullptr || nameSize == nullptr) return ERROR_INVALID_PARAMETER;
    if (opened.performance) return ERROR_NO_MORE_ITEMS;
    const auto entry = opened.store->ValueAt(opened.root, opened.path, index);
    if (!entry) return ERROR_NO_MORE_ITEMS;
    if (const LONG result = CopyName(entry->first, name, nameSize); result != ERROR_SUCCESS) return result;
    if (type != nullptr) *type = entry->second.type;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    return CopyData(entry->second.data.data(), static_cast<DWORD>(entry->second.data.size()), data, dataSize);
}
