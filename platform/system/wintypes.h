#pragma once
// Base scalar types, handles and small structures shared by every layer of
// the platform. Widths follow the 32-bit programs the code was designed for
// where stored data depends on them (LONG, DWORD are 32 bits); handles and
// message parameters are pointer-sized.

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using INT = int;
using UINT = unsigned int;
using BOOL = int;
using BOOLEAN = std::uint8_t;
using CHAR = char;
using UCHAR = unsigned char;
using WCHAR = char16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using DWORDLONG = std::uint64_t;
using DWORD_PTR = std::uintptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ATOM = WORD;
using COLORREF = DWORD;
using HRESULT = LONG;

using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using PVOID = void*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr DWORD MAX_PATH = 260;
inline constexpr DWORD INFINITE = 0xFFFFFFFF;

// Handles are opaque pointer-sized values; each kind is its own type so
// that the compiler catches a window passed where a device context belongs.
#define QUELVO_DECLARE_HANDLE(name) \
    struct name##__ { int unused; }; \
    using name = name##__*
QUELVO_DECLARE_HANDLE(HWND);
QUELVO_DECLARE_HANDLE(HINSTANCE);
QUELVO_DECLARE_HANDLE(HKEY);
QUELVO_DECLARE_HANDLE(HDC);
QUELVO_DECLARE_HANDLE(HGDIOBJ_);
QUELVO_DECLARE_HANDLE(HBITMAP);
QUELVO_DECLARE_HANDLE(HBRUSH);
QUELVO_DECLARE_HANDLE(HPEN);
QUELVO_DECLARE_HANDLE(HFONT);
QUELVO_DECLARE_HANDLE(HRGN);
QUELVO_DECLARE_HANDLE(HPALETTE);
QUELVO_DECLARE_HANDLE(HICON);
QUELVO_DECLARE_HANDLE(HMENU);
QUELVO_DECLARE_HANDLE(HHOOK);
QUELVO_DECLARE_HANDLE(HMONITOR);
QUELVO_DECLARE_HANDLE(HTHEME_);
#undef QUELVO_DECLARE_HANDLE

using HANDLE = void*;
using HGDIOBJ = void*;
using HMODULE = HINSTANCE;
using HCURSOR = HICON;
using HGLOBAL = HANDLE;
using HTHEME = HANDLE;
using FARPROC = void (*)();

inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

struct POINT {
    LONG x = 0;
    LONG y = 0;
};
using LPPOINT = POINT*;

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};
using LPSIZE = SIZE*;

// Right and bottom are exclusive.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};

inline constexpr WORD LOWORD(DWORD_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(DWORD_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr BYTE LOBYTE(DWORD_PTR v) { return static_cast<BYTE>(v & 0xFF); }
inline constexpr BYTE HIBYTE(DWORD_PTR v) { return static_cast<BYTE>((v >> 8) & 0xFF); }
inline constexpr DWORD MAKELONG(WORD lo, WORD hi) { return static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16); }
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return MAKELONG(lo, hi); }
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(static_cast<LONG>(MAKELONG(lo, hi))); }
inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
inline constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
inline constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
inline constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }
