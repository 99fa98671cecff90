// System metrics, parameters and the one monitor (the display's screen).
#include <cstring>

#include "platform/windows/wm_state.h"

namespace {

SIZE Screen() { return quelvo::win::Display().ScreenSize(); }

// The only monitor; its handle is a fixed token.
HMONITOR__ gPrimaryMonitor;

RECT WorkArea()
{
    SIZE s = Screen();
    return RECT{0, 0, s.cx, s.cy};
}

void FillFont(LOGFONTA& f, LONG height, LONG weight)
{
    f = LOGFONTA{};
    f.lfHeight = height;
    f.lfWeight = weight;
    std::strncpy(f.lfFaceName, "Sans", sizeof f.lfFaceName - 1);
}

}  // namespace

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXFULLSCREEN: return Screen().cx;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN: return Screen().cy;
    case SM_CYFULLSCREEN: return Screen().cy - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CYSMCAPTION: return 15;
    case SM_CYMENU: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXDRAG:
    case SM_CYDRAG:
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_CMONITORS: return 1;
    case SM_SWAPBUTTON: return 0;
    default: return 0;
    }
}

BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT)
{
    switch (action) {
    case SPI_GETWORKAREA:
        if (!pvParam) return FALSE;
        *static_cast<RECT*>(pvParam) = WorkArea();
        return TRUE;
    case SPI_GETWHEELSCROLLLINES:
        if (!pvParam) return FALSE;
        *static_cast<UINT*>(pvParam) = 3;
        return TRUE;
    case SPI_GETMOUSEHOVERTIME:
        if (!pvParam) return FALSE;
        *static_cast<UINT*>(pvParam) = 400;
        return TRUE;
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT:
        if (!pvParam) return FALSE;
        *static_cast<UINT*>(pvParam) = 4;
        return TRUE;
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETFLATMENU:
        if (!pvParam) return FALSE;
        *static_cast<BOOL*>(pvParam) = action == SPI_GETDRAGFULLWINDOWS ? TRUE : FALSE;
        return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* m = static_cast<NONCLIENTMETRICSA*>(pvParam);
        // The caller states the size it knows; anything else is refused.
        if (!m || (uiParam != 0 && uiParam != sizeof(NONCLIENTMETRICSA)) || m->cbSize != sizeof(NONCLIENTMETRICSA))
            return FALSE;
        m->iBorderWidth = 1;
        m->iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
        m->iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
        m->iCaptionWidth = GetSystemMetrics(SM_CXSIZE);
        m->iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
        m->iSmCaptionWidth = 12;
        m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
        m->iMenuWidth = GetSystemMetrics(SM_CXSIZE);
        m->iMenuHeight = GetSystemMetrics(SM_CYMENU) - 1;
        FillFont(m->lfCaptionFont, -11, 700);
        FillFont(m->lfSmCaptionFont, -11, 700);
        FillFont(m->lfMenuFont, -11, 400);
        FillFont(m->lfStatusFont, -11, 400);
        FillFont(m->lfMessageFont, -11, 400);
        return TRUE;
    }
    case SPI_SETNONCLIENTMETRICS: return FALSE;
    default: return FALSE;
    }
}

namespace {
HMONITOR Pick(bool onScreen, DWORD flags)
{
    if (onScreen || flags != MONITOR_DEFAULTTONULL) return &gPrimaryMonitor;
    return nullptr;
}
}  // namespace

HMONITOR MonitorFromPoint(POINT pt, DWORD flags)
{
    SIZE s = Screen();
    return Pick(pt.x >= 0 && pt.y >= 0 && pt.x < s.cx && pt.y < s.cy, flags);
}

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags)
{
    if (!rect) return Pick(false, flags);
    SIZE s = Screen();
    bool overlaps = rect->left < s.cx && rect->right > 0 && rect->top < s.cy && rect->bottom > 0;
    return Pick(overlaps, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags)
{
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return Pick(false, flags);
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info)
{
    if (monitor != &gPrimaryMonitor || !info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
    SIZE s = Screen();
    info->rcMonitor = {0, 0, s.cx, s.cy};
    info->rcWork = WorkArea();
    info->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect) return FALSE;
    RECT in = quelvo::win::detail::NonClientInsets(style & ~(WS_VSCROLL | WS_HSCROLL), exStyle, (style & WS_CHILD) != 0);
    rect->left -= in.left;
    rect->top -= in.top;
    rect->right += in.right;
    rect->bottom += in.bottom;
    if (menu) rect->top -= GetSystemMetrics(SM_CYMENU);
    return TRUE;
}
