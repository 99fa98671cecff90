#pragma once
// Visual styles: a small theme layer with the classic call names, drawing a
// clean flat look from our own table of colours and metrics. A class name
// the table does not know opens as 0, so callers take their non-themed
// drawing. Text is UTF-8.

#include "platform/system/wintypes.h"

#include <functional>
#include <string>

using HTHEME = HANDLE;

struct MARGINS {
    int cxLeftWidth = 0;
    int cxRightWidth = 0;
    int cyTopHeight = 0;
    int cyBottomHeight = 0;
};

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

// Colour properties (GetThemeColor).
inline constexpr int TMT_BORDERCOLOR = 3801;
inline constexpr int TMT_FILLCOLOR = 3802;
inline constexpr int TMT_TEXTCOLOR = 3803;
inline constexpr int TMT_EDGELIGHTCOLOR = 3804;
inline constexpr int TMT_EDGEHIGHLIGHTCOLOR = 3805;
inline constexpr int TMT_EDGESHADOWCOLOR = 3806;
inline constexpr int TMT_EDGEDKSHADOWCOLOR = 3807;
inline constexpr int TMT_EDGEFILLCOLOR = 3808;

// DrawThemeText flags beyond DT_*.
inline constexpr DWORD DTT_GRAYED = 0x00000001;

// DrawThemeParentBackground-style options (unused flags are accepted).
inline constexpr DWORD ETDT_DISABLE = 0x00000001;
inline constexpr DWORD ETDT_ENABLE = 0x00000002;

// "Button"
inline constexpr int BP_PUSHBUTTON = 1;
inline constexpr int BP_RADIOBUTTON = 2;
inline constexpr int BP_CHECKBOX = 3;
inline constexpr int BP_GROUPBOX = 4;
inline constexpr int BP_USERBUTTON = 5;
inline constexpr int PBS_NORMAL = 1;
inline constexpr int PBS_HOT = 2;
inline constexpr int PBS_PRESSED = 3;
inline constexpr int PBS_DISABLED = 4;
inline constexpr int PBS_DEFAULTED = 5;
inline constexpr int RBS_UNCHECKEDNORMAL = 1;
inline constexpr int RBS_UNCHECKEDHOT = 2;
inline constexpr int RBS_UNCHECKEDPRESSED = 3;
inline constexpr int RBS_UNCHECKEDDISABLED = 4;
inline constexpr int RBS_CHECKEDNORMAL = 5;
inline constexpr int RBS_CHECKEDHOT = 6;
inline constexpr int RBS_CHECKEDPRESSED = 7;
inline constexpr int RBS_CHECKEDDISABLED = 8;
inline constexpr int CBS_UNCHECKEDNORMAL = 1;
inline constexpr int CBS_UNCHECKEDHOT = 2;
inline constexpr int CBS_UNCHECKEDPRESSED = 3;
inline constexpr int CBS_UNCHECKEDDISABLED = 4;
inline constexpr int CBS_CHECKEDNORMAL = 5;
inline constexpr int CBS_CHECKEDHOT = 6;
inline constexpr int CBS_CHECKEDPRESSED = 7;
inline constexpr int CBS_CHECKEDDISABLED = 8;
inline constexpr int CBS_MIXEDNORMAL = 9;
inline constexpr int CBS_MIXEDHOT = 10;
inline constexpr int CBS_MIXEDPRESSED = 11;
inline constexpr int CBS_MIXEDDISABLED = 12;
inline constexpr int GBS_NORMAL = 1;
inline constexpr int GBS_DISABLED = 2;

// "ScrollBar"
inline constexpr int SBP_ARROWBTN = 1;
inline constexpr int SBP_THUMBBTNHORZ = 2;
inline constexpr int SBP_THUMBBTNVERT = 3;
inline constexpr int SBP_LOWERTRACKHORZ = 4;
inline constexpr int SBP_UPPERTRACKHORZ = 5;
inline constexpr int SBP_LOWERTRACKVERT = 6;
inline constexpr int SBP_UPPERTRACKVERT = 7;
inline constexpr int SBP_GRIPPERHORZ = 8;
inline constexpr int SBP_GRIPPERVERT = 9;
inline constexpr int SBP_SIZEBOX = 10;
inline constexpr int ABS_UPNORMAL = 1;
inline constexpr int ABS_UPHOT = 2;
inline constexpr int ABS_UPPRESSED = 3;
inline constexpr int ABS_UPDISABLED = 4;
inline constexpr int ABS_DOWNNORMAL = 5;
inline constexpr int ABS_DOWNHOT = 6;
inline constexpr int ABS_DOWNPRESSED = 7;
inline constexpr int ABS_DOWNDISABLED = 8;
inline constexpr int ABS_LEFTNORMAL = 9;
inline constexpr int ABS_LEFTHOT = 10;
inline constexpr int ABS_LEFTPRESSED = 11;
inline constexpr int ABS_LEFTDISABLED = 12;
inline constexpr int ABS_RIGHTNORMAL = 13;
inline constexpr int ABS_RIGHTHOT = 14;
inline constexpr int ABS_RIGHTPRESSED = 15;
inline constexpr int ABS_RIGHTDISABLED = 16;
inline constexpr int SCRBS_NORMAL = 1;
inline constexpr int SCRBS_HOT = 2;
inline constexpr int SCRBS_PRESSED = 3;
inline constexpr int SCRBS_DISABLED = 4;

// "Header"
inline constexpr int HP_HEADERITEM = 1;
inline constexpr int HP_HEADERITEMLEFT = 2;
inline constexpr int HP_HEADERITEMRIGHT = 3;
inline constexpr int HP_HEADERSORTARROW = 4;
inline constexpr int HIS_NORMAL = 1;
inline constexpr int HIS_HOT = 2;
inline constexpr int HIS_PRESSED = 3;

// "ListView"
inline constexpr int LVP_LISTITEM = 1;
inline constexpr int LVP_LISTGROUP = 2;
inline constexpr int LVP_LISTDETAIL = 3;
inline constexpr int LVP_LISTSORTEDDETAIL = 4;
inline constexpr int LVP_EMPTYTEXT = 5;

// "TreeView"
inline constexpr int TVP_TREEITEM = 1;
inline constexpr int TVP_GLYPH = 2;
inline constexpr int TVP_BRANCH = 3;
inline constexpr int GLPS_CLOSED = 1;
inline constexpr int GLPS_OPENED = 2;

// "ExplorerBar"
inline constexpr int EBP_HEADERBACKGROUND = 1;
inline constexpr int EBP_HEADERCLOSE = 2;
inline constexpr int EBP_HEADERPIN = 3;
inline constexpr int EBP_IEBARMENU = 4;
inline constexpr int EBP_NORMALGROUPBACKGROUND = 5;
inline constexpr int EBP_NORMALGROUPCOLLAPSE = 6;
inline constexpr int EBP_NORMALGROUPEXPAND = 7;
inline constexpr int EBP_NORMALGROUPHEAD = 8;
inline constexpr int EBNGC_NORMAL = 1;
inline constexpr int EBNGC_HOT = 2;
inline constexpr int EBNGC_PRESSED = 3;
inline constexpr int EBHP_NORMAL = 1;
inline constexpr int EBHP_HOT = 2;
inline constexpr int EBHP_PRESSED = 3;
inline constexpr int EBHP_SELECTEDNORMAL = 4;
inline constexpr int EBHP_SELECTEDHOT = 5;
inline constexpr int EBHP_SELECTEDPRESSED = 6;

// "Edit"
inline constexpr int EP_EDITTEXT = 1;
inline constexpr int EP_CARET = 2;
inline constexpr int ETS_NORMAL = 1;
inline constexpr int ETS_HOT = 2;
inline constexpr int ETS_SELECTED = 3;
inline constexpr int ETS_DISABLED = 4;
inline constexpr int ETS_FOCUSED = 5;
inline constexpr int ETS_READONLY = 6;

// "TrackBar"
inline constexpr int TKP_TRACK = 1;
inline constexpr int TKP_TRACKVERT = 2;
inline constexpr int TKP_THUMB = 3;
inline constexpr int TRS_NORMAL = 1;

// "Window"
inline constexpr int WP_SMALLCLOSEBUTTON = 19;
inline constexpr int CBS_NORMAL = 1;
inline constexpr int CBS_HOT = 2;
inline constexpr int CBS_PUSHED = 3;
inline constexpr int CBS_DISABLED = 4;

// "ComboBox"
inline constexpr int CP_DROPDOWNBUTTON = 1;
inline constexpr int CBXS_NORMAL = 1;
inline constexpr int CBXS_HOT = 2;
inline constexpr int CBXS_PRESSED = 3;
inline constexpr int CBXS_DISABLED = 4;

// "Tab"
inline constexpr int TABP_TABITEM = 1;
inline constexpr int TABP_TABITEMLEFTEDGE = 2;
inline constexpr int TABP_TABITEMRIGHTEDGE = 3;
inline constexpr int TABP_TABITEMBOTHEDGE = 4;
inline constexpr int TABP_TOPTABITEM = 5;
inline constexpr int TABP_PANE = 9;
inline constexpr int TABP_BODY = 10;
inline constexpr int TIS_NORMAL = 1;
inline constexpr int TIS_HOT = 2;
inline constexpr int TIS_SELECTED = 3;
inline constexpr int TIS_DISABLED = 4;
inline constexpr int TIS_FOCUSED = 5;

// "Progress"
inline constexpr int PP_BAR = 1;
inline constexpr int PP_BARVERT = 2;
inline constexpr int PP_CHUNK = 3;
inline constexpr int PP_CHUNKVERT = 4;

// "Spin"
inline constexpr int SPNP_UP = 1;
inline constexpr int SPNP_DOWN = 2;
inline constexpr int SPNP_UPHORZ = 3;
inline constexpr int SPNP_DOWNHORZ = 4;
inline constexpr int UPS_NORMAL = 1;
inline constexpr int UPS_HOT = 2;
inline constexpr int UPS_PRESSED = 3;
inline constexpr int UPS_DISABLED = 4;
inline constexpr int DNS_NORMAL = 1;
inline constexpr int DNS_HOT = 2;
inline constexpr int DNS_PRESSED = 3;
inline constexpr int DNS_DISABLED = 4;

// "ToolTip"
inline constexpr int TTP_STANDARD = 1;
inline constexpr int TTP_STANDARDTITLE = 2;
inline constexpr int TTP_BALLOON = 3;
inline constexpr int TTP_BALLOONTITLE = 4;
inline constexpr int TTP_CLOSE = 5;
inline constexpr int TTSS_NORMAL = 1;

// --- Calls ------------------------------------------------------------------
// Class names are compared ignoring case; a list "A;B" opens the first known.
HTHEME OpenThemeData(HWND window, LPCSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags,
                      DWORD flags2, const RECT* rect);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags,
                      LPRECT contentRect);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                      LPRECT content);
HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC dc, int part, int state, const RECT* content, LPRECT extent);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE size, SIZE* result);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int property, const RECT* rect,
                        MARGINS* margins);
// The caller owns the region it receives (device coordinates of `rect`).
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
BOOL IsThemePartDefined(HTHEME theme, int part, int state);
// Without a window layer hook this fills the rectangle with the button face.
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
BOOL IsThemeActive();
BOOL IsAppThemed();
HRESULT GetCurrentThemeName(LPSTR themeFile, int maxFile, LPSTR colorName, int maxColor, LPSTR sizeName,
                            int maxSize);
COLORREF GetThemeSysColor(HTHEME theme, int colorId);

namespace quelvo::gfx {
// Turns visual styles on or off (on by default). While off, OpenThemeData
// gives 0 and IsThemeActive is false; handles already open keep working
// until closed. The listener (set by the window layer, which broadcasts
// WM_THEMECHANGED) hears every change.
void SetThemeActive(bool active);
// The names GetCurrentThemeName reports ("Flat.theme", "Normal" at first);
// a change is heard by the listener like a switch.
void SetThemeName(const std::string& themeFile, const std::string& colorName);
void SetThemeChangeListener(std::function<void()> listener);
// The window layer paints a window's parent into `dc` for
// DrawThemeParentBackground; without it the face colour is used.
void SetParentBackgroundPainter(std::function<bool(HWND, HDC, const RECT*)> painter);
} // namespace quelvo::gfx
