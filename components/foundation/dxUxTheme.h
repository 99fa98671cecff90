#pragma once
// The visual-styles library bound at run time: "UxTheme.dll" (our theme
// layer; text is UTF-8) is loaded by name at start-up and every function is
// called through the pointer bound for it. A name the library lacks gives
// E_NOTIMPL (calls returning HRESULT), FALSE or 0 instead of a crash.

#include <string>

#include "platform/graphics/uxtheme.h"
#include "platform/graphics/wingdi.h"

// Records of the visual-styles interface that our theme layer lacks.
struct _INTLIST {
    int iValueCount = 0;
    int iValues[402] = {};
};
using INTLIST = _INTLIST;
using _MARGINS = MARGINS;
enum PROPERTYORIGIN { PO_STATE, PO_PART, PO_CLASS, PO_GLOBAL, PO_NOTFOUND };

inline constexpr HRESULT E_NOTIMPL_RESULT = static_cast<HRESULT>(0x80004001);

namespace dxUxTheme {

// Computed at start-up: a version of 5.1 or later.
bool IsWindowsXPOrLater();
bool IsThemeLibraryLoaded();

HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      LPRECT contentRect);
HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HANDLE imageList, int image);
// Keeps the font selected into dc.
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT EnableThemeDialogTexture(HWND window, DWORD flags);
HRESULT GetCurrentThemeName(LPSTR themeFile, int maxFile, LPSTR colorName, int maxColor, LPSTR sizeName,
                            int maxSize);
DWORD GetThemeAppProperties();
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, LPRECT content);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region);
HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC dc, int part, int state, const RECT* content, LPRECT extent);
HRESULT GetThemeBool(HTHEME theme, int part, int state, int property, BOOL* value);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
HRESULT GetThemeDocumentationProperty(LPCSTR themeName, LPCSTR propertyName, LPSTR value, int maxLength);
HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int property, int* value);
HRESULT GetThemeFilename(HTHEME theme, int part, int state, int property, LPSTR fileName, int maxLength);
HRESULT GetThemeFont(HTHEME theme, HDC dc, int part, int state, int property, LOGFONTA* font);
HRESULT GetThemeInt(HTHEME theme, int part, int state, int property, int* value);
HRESULT GetThemeIntList(HTHEME theme, int part, int state, int property, INTLIST* list);
HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect, MARGINS* margins);
HRESULT GetThemeMetric(HTHEME theme, HDC dc, int part, int state, int property, int* value);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE size, SIZE* result);
HRESULT GetThemePosition(HTHEME theme, int part, int state, int property, POINT* point);
HRESULT GetThemePropertyOrigin(HTHEME theme, int part, int state, int property, PROPERTYORIGIN* origin);
HRESULT GetThemeRect(HTHEME theme, int part, int state, int property, LPRECT rect);
HRESULT GetThemeString(HTHEME theme, int part, int state, int property, LPSTR buffer, int maxLength);
BOOL GetThemeSysBool(HTHEME theme, int boolId);
COLORREF GetThemeSysColor(HTHEME theme, int colorId);
HBRUSH GetThemeSysColorBrush(HTHEME theme, int colorId);
HRESULT GetThemeSysFont(HTHEME theme, int fontId, LOGFONTA* font);
HRESULT GetThemeSysInt(HTHEME theme, int intId, int* value);
int GetThemeSysSize(HTHEME theme, int sizeId);
HRESULT GetThemeSysString(HTHEME theme, int stringId, LPSTR buffer, int maxLength);
HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags,
                           const RECT* bounding, LPRECT extent);
HRESULT GetThemeTextMetrics(HTHEME theme, HDC dc, int part, int state, TEXTMETRICA* metrics);
HTHEME GetWindowTheme(HWND window);
HRESULT HitTestThemeBackground(HTHEME theme, HDC dc, int part, int state, DWORD options, const RECT* rect,
                               HRGN region, POINT test, WORD* hitCode);
BOOL IsAppThemed();
BOOL IsThemeActive();
BOOL IsThemePartDefined(HTHEME theme, int part, int state);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
BOOL IsThemeDialogTextureEnabled(HWND window);
HTHEME OpenThemeData(HWND window, LPCSTR classList);
void SetThemeAppProperties(DWORD flags);
HRESULT SetWindowTheme(HWND window, LPCSTR subAppName, LPCSTR subIdList);

// Convenience forms.
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT* clip = nullptr);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& rect, const RECT& clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const std::string& text, DWORD flags, DWORD flags2,
                      const RECT& rect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds, RECT& content);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT& rect, THEMESIZE size, SIZE& result);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, THEMESIZE size, SIZE& result);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge, UINT flags,
                      RECT& contentRect);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& rect, UINT edge, UINT flags);

}  // namespace dxUxTheme

// Unit start-up (the version flag, the common controls, the library and its
// 46 names) and shut-down (the library is released).
void dxUxThemeInitialize();
void dxUxThemeFinalize();
