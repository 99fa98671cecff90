#pragma once
// The in-memory registry behind the Reg* functions: a tree of keys with
// typed values, names compared without regard to ASCII case, order of
// creation kept for enumeration. Thread-safe.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system/wintypes.h"

namespace quelvo::sys {

struct RegistryValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegistryStore {
public:
    // Roots are the predefined key values (0x80000000...); paths are
    // backslash-separated below them ("SYSTEM\\CurrentControlSet").
    RegistryStore();
    ~RegistryStore();
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // The two performance keys the engine switches counters in.
    void AddDefaultKeys();

    bool KeyExists(DWORD root, std::string_view path) const;
    // Returns whether the key was new.
    bool CreateKey(DWORD root, std::string_view path);
    // ERROR_SUCCESS, ERROR_FILE_NOT_FOUND or ERROR_ACCESS_DENIED (has sub-keys).
    DWORD DeleteKey(DWORD root, std::string_view path);

    std::optional<RegistryValue> GetValue(DWORD root, std::string_view path, std::string_view name) const;
    // ERROR_SUCCESS or ERROR_FILE_NOT_FOUND (no such key).
    DWORD SetValue(DWORD root, std::string_view path, std::string_view name, RegistryValue value);
    DWORD DeleteValue(DWORD root, std::string_view path, std::string_view name);

    std::optional<std::string> SubKeyName(DWORD root, std::string_view path, std::size_t index) const;
    std::optional<std::pair<std::string, RegistryValue>> ValueAt(DWORD root, std::string_view path,
                                                                 std::size_t index) const;

    // Convenience for tests and scripting.
    void SetDword(DWORD root, std::string_view path, std::string_view name, DWORD value);
    std::optional<DWORD> GetDword(DWORD root, std::string_view path, std::string_view name) const;

    struct Node;

private:
    Node* Find(DWORD root, std::string_view path) const;

    mutable std::mutex mutex_;
    std::unique_ptr<Node> roots_;
};

// Joins a parent path and a relative sub-key, dropping empty elements.
std::string JoinRegistryPath(std::string_view parent, std::string_view subKey);

inline constexpr const char* kPerfOsKey = "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance";
inline constexpr const char* kPerfProcKey = "SYSTEM\\CurrentControlSet\\Services\\PerfProc\\Performance";
inline constexpr const char* kDisablePerfCountersValue = "Disable Performance Counters";
inline constexpr DWORD kRootLocalMachine = 0x80000002u;
inline constexpr DWORD kRootCurrentUser = 0x80000001u;

}  // namespace quelvo::sys
