#include "components/foundation/dxUxTheme.h"

#include "platform/controls/winctl.h"
#include "platform/system/winbase.h"

namespace {

constexpr HRESULT kNotImplemented = E_NOTIMPL_RESULT;

enum BoundName {
    kCloseThemeData,
    kDrawThemeBackground,
    kDrawThemeEdge,
    kDrawThemeIcon,
    kDrawThemeParentBackground,
    kDrawThemeText,
    kEnableThemeDialogTexture,
    kGetCurrentThemeName,
    kGetThemeAppProperties,
    kGetThemeBackgroundContentRect,
    kGetThemeBackgroundRegion,
    kGetThemeBackgroundExtent,
    kGetThemeBool,
    kGetThemeColor,
    kGetThemeDocumentationProperty,
    kGetThemeEnumValue,
    kGetThemeFilename,
    kGetThemeFont,
    kGetThemeInt,
    kGetThemeIntList,
    kGetThemeMargins,
    kGetThemeMetric,
    kGetThemePartSize,
    kGetThemePosition,
    kGetThemePropertyOrigin,
    kGetThemeRect,
    kGetThemeString,
    kGetThemeSysBool,
    kGetThemeSysColor,
    kGetThemeSysColorBrush,
    kGetThemeSysFont,
    kGetThemeSysInt,
    kGetThemeSysSize,
    kGetThemeSysString,
    kGetThemeTextExtent,
    kGetThemeTextMetrics,
    kGetWindowTheme,
    kHitTestThemeBackground,
    kIsAppThemed,
    kIsThemeActive,
    kIsThemePartDefined,
    kIsThemeBackgroundPartiallyTransparent,
    kIsThemeDialogTextureEnabled,
    kOpenThemeData,
    kSetThemeAppProperties,
    kSetWindowTheme,
    kBoundCount
};

constexpr const char* kBoundNames[kBoundCount] = {
    "CloseThemeData",
    "DrawThemeBackground",
    "DrawThemeEdge",
    "DrawThemeIcon",
    "DrawThemeParentBackground",
    "DrawThemeText",
    "EnableThemeDialogTexture",
    "GetCurrentThemeName",
    "GetThemeAppProperties",
    "GetThemeBackgroundContentRect",
    "GetThemeBackgroundRegion",
    "GetThemeBackgroundExtent",
    "GetThemeBool",
    "GetThemeColor",
    "GetThemeDocumentationProperty",
    "GetThemeEnumValue",
    "GetThemeFilename",
    "GetThemeFont",
    "GetThemeInt",
    "GetThemeIntList",
    "GetThemeMargins",
    "GetThemeMetric",
    "GetThemePartSize",
    "GetThemePosition",
    "GetThemePropertyOrigin",
    "GetThemeRect",
    "GetThemeString",
    "GetThemeSysBool",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysFont",
    "GetThemeSysInt",
    "GetThemeSysSize",
    "GetThemeSysString",
    "GetThemeTextExtent",
    "GetThemeTextMetrics",
    "GetWindowTheme",
    "HitTestThemeBackground",
    "IsAppThemed",
    "IsThemeActive",
    "IsThemePartDefined",
    "IsThemeBackgroundPartiallyTransparent",
    "IsThemeDialogTextureEnabled",
    "OpenThemeData",
    "SetThemeAppProperties",
    "SetWindowTheme",
};

struct Binding {
    HMODULE library = nullptr;
    bool windowsXPOrLater = false;
    FARPROC functions[kBoundCount] = {};
};

Binding& B()
{
    static Binding binding;
    return binding;
}

// Calls a bound function, or gives the fallback when the name is unbound.
template <class Sig>
struct Fn;
template <class R, class... P>
struct Fn<R(P...)> {
    static R Call(BoundName name, R fallback, P... args)
    {
        auto f = reinterpret_cast<R (*)(P...)>(B().functions[name]);
        return f ? f(args...) : fallback;
    }
};
template <class... P>
struct Fn<void(P...)> {
    static void Call(BoundName name, P... args)
    {
        if (auto f = reinterpret_cast<void (*)(P...)>(B().functions[name])) f(args...);
    }
};

}  // namespace

void dxUxThemeInitialize()
{
    auto& b = B();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    b.windowsXPOrLater = GetVersionExA(&version) &&
                         (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
    InitCommonControls();
    if (!b.windowsXPOrLater || b.library) return;
    b.library = LoadLibraryA("UxTheme.dll");
    if (!b.library) return;
    for (int i = 0; i < kBoundCount; ++i) b.functions[i] = GetProcAddress(b.library, kBoundNames[i]);
}

void dxUxThemeFinalize()
{
    auto& b = B();
    if (b.library) FreeLibrary(b.library);
    b.library = nullptr;
    for (FARPROC& f : b.functions) f = nullptr;
}

namespace dxUxTheme {

bool IsWindowsXPOrLater() { return B().windowsXPOrLater; }
bool IsThemeLibraryLoaded() { return B().library != nullptr; }

HRESULT CloseThemeData(HTHEME theme)
{
    return Fn<HRESULT(HTHEME)>::Call(kCloseThemeData, kNotImplemented, theme);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, const RECT*)>::Call(kDrawThemeBackground, kNotImplemented, theme, dc, part, state, rect, clip);
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags, LPRECT contentRect)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, UINT, UINT, LPRECT)>::Call(kDrawThemeEdge, kNotImplemented, theme, dc, part, state, rect, edge, flags, contentRect);
}

HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HANDLE imageList, int image)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, HANDLE, int)>::Call(kDrawThemeIcon, kNotImplemented, theme, dc, part, state, rect, imageList, image);
}

HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect)
{
    // The library may select its own font; the caller's stays selected.
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const HRESULT result = Fn<HRESULT(HWND, HDC, const RECT*)>::Call(kDrawThemeParentBackground, kNotImplemented, window, dc, rect);
    if (font) SelectObject(dc, font);
    return result;
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags, DWORD flags2, const RECT* rect)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, LPCSTR, int, DWORD, DWORD, const RECT*)>::Call(kDrawThemeText, kNotImplemented, theme, dc, part, state, text, length, flags, flags2, rect);
}

HRESULT EnableThemeDialogTexture(HWND window, DWORD flags)
{
    return Fn<HRESULT(HWND, DWORD)>::Call(kEnableThemeDialogTexture, kNotImplemented, window, flags);
}

HRESULT GetCurrentThemeName(LPSTR themeFile, int maxFile, LPSTR colorName, int maxColor, LPSTR sizeName, int maxSize)
{
    return Fn<HRESULT(LPSTR, int, LPSTR, int, LPSTR, int)>::Call(kGetCurrentThemeName, kNotImplemented, themeFile, maxFile, colorName, maxColor, sizeName, maxSize);
}

DWORD GetThemeAppProperties()
{
    return Fn<DWORD()>::Call(kGetThemeAppProperties, 0);
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, LPRECT content)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, LPRECT)>::Call(kGetThemeBackgroundContentRect, kNotImplemented, theme, dc, part, state, bounds, content);
}

HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, HRGN*)>::Call(kGetThemeBackgroundRegion, kNotImplemented, theme, dc, part, state, rect, region);
}

HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC dc, int part, int state, const RECT* content, LPRECT extent)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, LPRECT)>::Call(kGetThemeBackgroundExtent, kNotImplemented, theme, dc, part, state, content, extent);
}

HRESULT GetThemeBool(HTHEME theme, int part, int state, int property, BOOL* value)
{
    return Fn<HRESULT(HTHEME, int, int, int, BOOL*)>::Call(kGetThemeBool, kNotImplemented, theme, part, state, property, value);
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
    return Fn<HRESULT(HTHEME, int, int, int, COLORREF*)>::Call(kGetThemeColor, kNotImplemented, theme, part, state, property, color);
}

HRESULT GetThemeDocumentationProperty(LPCSTR themeName, LPCSTR propertyName, LPSTR value, int maxLength)
{
    return Fn<HRESULT(LPCSTR, LPCSTR, LPSTR, int)>::Call(kGetThemeDocumentationProperty, kNotImplemented, themeName, propertyName, value, maxLength);
}

HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int property, int* value)
{
    return Fn<HRESULT(HTHEME, int, int, int, int*)>::Call(kGetThemeEnumValue, kNotImplemented, theme, part, state, property, value);
}

HRESULT GetThemeFilename(HTHEME theme, int part, int state, int property, LPSTR fileName, int maxLength)
{
    return Fn<HRESULT(HTHEME, int, int, int, LPSTR, int)>::Call(kGetThemeFilename, kNotImplemented, theme, part, state, property, fileName, maxLength);
}

HRESULT GetThemeFont(HTHEME theme, HDC dc, int part, int state, int property, LOGFONTA* font)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, int, LOGFONTA*)>::Call(kGetThemeFont, kNotImplemented, theme, dc, part, state, property, font);
}

HRESULT GetThemeInt(HTHEME theme, int part, int state, int property, int* value)
{
    return Fn<HRESULT(HTHEME, int, int, int, int*)>::Call(kGetThemeInt, kNotImplemented, theme, part, state, property, value);
}

HRESULT GetThemeIntList(HTHEME theme, int part, int state, int property, INTLIST* list)
{
    return Fn<HRESULT(HTHEME, int, int, int, INTLIST*)>::Call(kGetThemeIntList, kNotImplemented, theme, part, state, property, list);
}

HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect, MARGINS* margins)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, int, const RECT*, MARGINS*)>::Call(kGetThemeMargins, kNotImplemented, theme, dc, part, state, property, rect, margins);
}

HRESULT GetThemeMetric(HTHEME theme, HDC dc, int part, int state, int property, int* value)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, int, int*)>::Call(kGetThemeMetric, kNotImplemented, theme, dc, part, state, property, value);
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE size, SIZE* result)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*)>::Call(kGetThemePartSize, kNotImplemented, theme, dc, part, state, rect, size, result);
}

HRESULT GetThemePosition(HTHEME theme, int part, int state, int property, POINT* point)
{
    return Fn<HRESULT(HTHEME, int, int, int, POINT*)>::Call(kGetThemePosition, kNotImplemented, theme, part, state, property, point);
}

HRESULT GetThemePropertyOrigin(HTHEME theme, int part, int state, int property, PROPERTYORIGIN* origin)
{
    return Fn<HRESULT(HTHEME, int, int, int, PROPERTYORIGIN*)>::Call(kGetThemePropertyOrigin, kNotImplemented, theme, part, state, property, origin);
}

HRESULT GetThemeRect(HTHEME theme, int part, int state, int property, LPRECT rect)
{
    return Fn<HRESULT(HTHEME, int, int, int, LPRECT)>::Call(kGetThemeRect, kNotImplemented, theme, part, state, property, rect);
}

HRESULT GetThemeString(HTHEME theme, int part, int state, int property, LPSTR buffer, int maxLength)
{
    return Fn<HRESULT(HTHEME, int, int, int, LPSTR, int)>::Call(kGetThemeString, kNotImplemented, theme, part, state, property, buffer, maxLength);
}

BOOL GetThemeSysBool(HTHEME theme, int boolId)
{
    return Fn<BOOL(HTHEME, int)>::Call(kGetThemeSysBool, FALSE, theme, boolId);
}

COLORREF GetThemeSysColor(HTHEME theme, int colorId)
{
    return Fn<COLORREF(HTHEME, int)>::Call(kGetThemeSysColor, 0, theme, colorId);
}

HBRUSH GetThemeSysColorBrush(HTHEME theme, int colorId)
{
    return Fn<HBRUSH(HTHEME, int)>::Call(kGetThemeSysColorBrush, nullptr, theme, colorId);
}

HRESULT GetThemeSysFont(HTHEME theme, int fontId, LOGFONTA* font)
{
    return Fn<HRESULT(HTHEME, int, LOGFONTA*)>::Call(kGetThemeSysFont, kNotImplemented, theme, fontId, font);
}

HRESULT GetThemeSysInt(HTHEME theme, int intId, int* value)
{
    return Fn<HRESULT(HTHEME, int, int*)>::Call(kGetThemeSysInt, kNotImplemented, theme, intId, value);
}

int GetThemeSysSize(HTHEME theme, int sizeId)
{
    return Fn<int(HTHEME, int)>::Call(kGetThemeSysSize, 0, theme, sizeId);
}

HRESULT GetThemeSysString(HTHEME theme, int stringId, LPSTR buffer, int maxLength)
{
    return Fn<HRESULT(HTHEME, int, LPSTR, int)>::Call(kGetThemeSysString, kNotImplemented, theme, stringId, buffer, maxLength);
}

HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags, const RECT* bounding, LPRECT extent)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, LPCSTR, int, DWORD, const RECT*, LPRECT)>::Call(kGetThemeTextExtent, kNotImplemented, theme, dc, part, state, text, length, flags, bounding, extent);
}

HRESULT GetThemeTextMetrics(HTHEME theme, HDC dc, int part, int state, TEXTMETRICA* metrics)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, TEXTMETRICA*)>::Call(kGetThemeTextMetrics, kNotImplemented, theme, dc, part, state, metrics);
}

HTHEME GetWindowTheme(HWND window)
{
    return Fn<HTHEME(HWND)>::Call(kGetWindowTheme, nullptr, window);
}

HRESULT HitTestThemeBackground(HTHEME theme, HDC dc, int part, int state, DWORD options, const RECT* rect, HRGN region, POINT test, WORD* hitCode)
{
    return Fn<HRESULT(HTHEME, HDC, int, int, DWORD, const RECT*, HRGN, POINT, WORD*)>::Call(kHitTestThemeBackground, kNotImplemented, theme, dc, part, state, options, rect, region, test, hitCode);
}

BOOL IsAppThemed()
{
    return Fn<BOOL()>::Call(kIsAppThemed, FALSE);
}

BOOL IsThemeActive()
{
    return Fn<BOOL()>::Call(kIsThemeActive, FALSE);
}

BOOL IsThemePartDefined(HTHEME theme, int part, int state)
{
    return Fn<BOOL(HTHEME, int, int)>::Call(kIsThemePartDefined, FALSE, theme, part, state);
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state)
{
    return Fn<BOOL(HTHEME, int, int)>::Call(kIsThemeBackgroundPartiallyTransparent, FALSE, theme, part, state);
}

BOOL IsThemeDialogTextureEnabled(HWND window)
{
    return Fn<BOOL(HWND)>::Call(kIsThemeDialogTextureEnabled, FALSE, window);
}

HTHEME OpenThemeData(HWND window, LPCSTR classList)
{
    return Fn<HTHEME(HWND, LPCSTR)>::Call(kOpenThemeData, nullptr, window, classList);
}

void SetThemeAppProperties(DWORD flags)
{
    Fn<void(DWORD)>::Call(kSetThemeAppProperties, flags);
}

HRESULT SetWindowTheme(HWND window, LPCSTR subAppName, LPCSTR subIdList)
{
    return Fn<HRESULT(HWND, LPCSTR, LPCSTR)>::Call(kSetWindowTheme, kNotImplemented, window, subAppName, subIdList);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT* clip)
{
    return dxUxTheme::DrawThemeBackground(theme, dc, part, state, &rect, clip);
}

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT& clip)
{
    return dxUxTheme::DrawThemeBackground(theme, dc, part, state, &rect, &clip);
}

HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::string& text, DWORD flags, DWORD flags2,
                      const RECT& rect)
{
    return dxUxTheme::DrawThemeText(theme, dc, part, state, text.c_str(), static_cast<int>(text.size()), flags, flags2, &rect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds, RECT& content)
{
    return dxUxTheme::GetThemeBackgroundContentRect(theme, dc, part, state, &bounds, &content);
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT& rect, THEMESIZE size, SIZE& result)
{
    return dxUxTheme::GetThemePartSize(theme, dc, part, state, &rect, size, &result);
}

HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, THEMESIZE size, SIZE& result)
{
    return dxUxTheme::GetThemePartSize(theme, dc, part, state, nullptr, size, &result);
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge, UINT flags,
                      RECT& contentRect)
{
    return dxUxTheme::DrawThemeEdge(theme, dc, part, state, &rect, edge, flags, &contentRect);
}

HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge, UINT flags)
{
    RECT scratch{};
    return dxUxTheme::DrawThemeEdge(theme, dc, part, state, rect, edge, flags, scratch);
}

}  // namespace dxUxTheme
