#pragma once
// Registry functions over a small in-memory store (key and value names
// compared without regard to ASCII case), plus the performance data behind
// HKEY_PERFORMANCE_DATA. The store starts with the keys
//   HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\PerfOS\Performance
//   HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\PerfProc\Performance
// and lives as long as the program (or the installed fake system).

#include "platform/system/winbase.h"
#include "platform/system/winerror.h"
#include "platform/system/wintypes.h"

namespace quelvo::sys::detail {
inline HKEY PredefinedKey(DWORD value)
{
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<LONG>(value)));
}
}  // namespace quelvo::sys::detail

inline const HKEY HKEY_CLASSES_ROOT = quelvo::sys::detail::PredefinedKey(0x80000000u);
inline const HKEY HKEY_CURRENT_USER = quelvo::sys::detail::PredefinedKey(0x80000001u);
inline const HKEY HKEY_LOCAL_MACHINE = quelvo::sys::detail::PredefinedKey(0x80000002u);
inline const HKEY HKEY_USERS = quelvo::sys::detail::PredefinedKey(0x80000003u);
inline const HKEY HKEY_PERFORMANCE_DATA = quelvo::sys::detail::PredefinedKey(0x80000004u);
inline const HKEY HKEY_CURRENT_CONFIG = quelvo::sys::detail::PredefinedKey(0x80000005u);

using REGSAM = DWORD;
using PHKEY = HKEY*;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_EXECUTE = 0x20019;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// All return an error code (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND for a
// missing key or value, ERROR_INVALID_HANDLE, ERROR_MORE_DATA with the size
// needed in *dataSize, ERROR_ACCESS_DENIED for writing through a key opened
// for reading only) and leave GetLastError alone.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegCloseKey(HKEY key);
// With HKEY_PERFORMANCE_DATA and the value name "230" (or "Global", or a
// blank-separated list holding one of them) the data is a performance data
// block of the running processes; see perfdata.h. Other value names give a
// block with no objects.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, BYTE* data, LPDWORD dataSize);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD dataSize);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes a key that has no sub-keys.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Names in the order they were created; ERROR_NO_MORE_ITEMS past the end.
// *nameSize: in, the buffer's size; out, the name's length without zero.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR keyClass,
                   LPDWORD classSize, FILETIME* lastWriteTime);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type, BYTE* data,
                   LPDWORD dataSize);
