// System metrics, parameters and the monitors, as the display reports them.
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "platform/system/libraries.h"
#include "platform/windows/wm_state.h"

namespace {

SIZE Screen() { return quelvo::win::Display().ScreenSize(); }

// Monitor handles are fixed tokens: the n-th stands for the display's n-th
// monitor, the first being the primary one.
constexpr std::size_t kMaxMonitors = 16;
std::array<HMONITOR__, kMaxMonitors> gMonitors;

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The display's monitors without empty ones, never none.
std::vector<RECT> Monitors()
{
    std::vector<RECT> out;
    for (const RECT& r : quelvo::win::Display().Monitors())
        if (!Empty(r) && out.size() < kMaxMonitors) out.push_back(r);
    if (out.empty()) {
        SIZE s = Screen();
        out.push_back(RECT{0, 0, s.cx, s.cy});
    }
    return out;
}

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    return Empty(r) ? RECT{} : r;
}

// The work area: the display's, kept inside the screen; the whole screen
// when the display gives an empty or off-screen one.
// The bounds of every monitor.
RECT VirtualScreen()
{
    const std::vector<RECT> monitors = Monitors();
    RECT all = monitors.front();
    for (const RECT& m : monitors)
        all = RECT{std::min(all.left, m.left), std::min(all.top, m.top), std::max(all.right, m.right), std::max(all.bottom, m.bottom)};
    return all;
}

RECT WorkArea()
{
    RECT all = VirtualScreen();
    RECT area = Intersection(quelvo::win::Display().WorkArea(), all);
    return Empty(area) ? all : area;
}

// A distance from the desktop's settings as a box width centred on the
// point, as the metrics give it; the layer's own 4 when none is given.
int BoxFromDistance(int distance) { return distance > 0 ? 2 * distance : 4; }

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
    case SM_CXSCREEN: return Screen().cx;
    case SM_CYSCREEN: return Screen().cy;
    case SM_XVIRTUALSCREEN: return VirtualScreen().left;
    case SM_YVIRTUALSCREEN: return VirtualScreen().top;
    case SM_CXVIRTUALSCREEN: {
        RECT v = VirtualScreen();
        return v.right - v.left;
    }
    case SM_CYVIRTUALSCREEN: {
        RECT v = VirtualScreen();
        return v.bottom - v.top;
    }
    // The primary monitor's work area below a caption.
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN: {
        MONITORINFO info;
        GetMonitorInfoA(&gMonitors[0], &info);
        return index == SM_CXFULLSCREEN ? info.rcWork.right - info.rcWork.left
                                        : info.rcWork.bottom - info.rcWork.top - 19;
    }
    // A vertical bar's width is also a horizontal bar's arrow and thumb
    // length, and the other way round.
    case SM_CXVSCROLL:
    case SM_CXHSCROLL:
    case SM_CXHTHUMB: return quelvo::win::detail::S().scrollWidth;
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CYVTHUMB: return quelvo::win::detail::S().scrollHeight;
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
    case SM_CYDRAG: return BoxFromDistance(quelvo::win::Display().DragThreshold());
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return BoxFromDistance(quelvo::win::Display().DoubleClickDistance());
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_CMONITORS: return static_cast<int>(Monitors().size());
    case SM_SWAPBUTTON: return 0;
    default: return 0;
    }
}

namespace {

// The caller states the size it knows; anything else is refused.
bool KnownNonClientMetrics(UINT uiParam, const NONCLIENTMETRICSA* m)
{
    return m && (uiParam == 0 || uiParam == sizeof(NONCLIENTMETRICSA)) && m->cbSize == sizeof(NONCLIENTMETRICSA);
}

// Only the scroll-bar sizes are settable; a bar thinner than a pixel or
// wider than a small window is refused rather than clamped.
constexpr int kMaxScrollSize = 256;

BOOL SetNonClientMetrics(UINT uiParam, const NONCLIENTMETRICSA* m, UINT winIni)
{
    auto bad = [](int size) { return size < 1 || size > kMaxScrollSize; };
    if (!KnownNonClientMetrics(uiParam, m) || bad(m->iScrollWidth) || bad(m->iScrollHeight)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& s = quelvo::win::detail::S();
    s.scrollWidth = m->iScrollWidth;
    s.scrollHeight = m->iScrollHeight;
    if (!(winIni & SPIF_SENDCHANGE)) return TRUE;
    // Every top-level window of the program, hidden ones included; other
    // programs keep their own metrics.
    std::vector<HWND> all;
    for (quelvo::win::detail::Window* w : s.topLevels) all.push_back(w->handle);
    for (HWND h : all)
        if (IsWindow(h)) SendMessageA(h, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    return TRUE;
}

}  // namespace

BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT winIni)
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
        if (!KnownNonClientMetrics(uiParam, m)) return FALSE;
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
    case SPI_SETNONCLIENTMETRICS:
        return SetNonClientMetrics(uiParam, static_cast<const NONCLIENTMETRICSA*>(pvParam), winIni);
    default: return FALSE;
    }
}

namespace {

HMONITOR Handle(std::size_t index) { return &gMonitors[index]; }

// Squared distance from a point to a rectangle (0 inside).
long long DistanceSquared(const RECT& r, POINT pt)
{
    long long dx = pt.x < r.left ? r.left - pt.x : pt.x >= r.right ? pt.x - (r.right - 1) : 0;
    long long dy = pt.y < r.top ? r.top - pt.y : pt.y >= r.bottom ? pt.y - (r.bottom - 1) : 0;
    return dx * dx + dy * dy;
}

// No monitor holds the place: none, the primary or the nearest one.
HMONITOR Fallback(DWORD flags, const std::vector<RECT>& monitors, const RECT& place)
{
    if (flags == MONITOR_DEFAULTTONEAREST) {
        std::size_t best = 0;
        long long bestDistance = std::numeric_limits<long long>::max();
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            const RECT& m = monitors[i];
            // Gap between the rectangles along each axis.
            long long dx = std::max<long long>({0, m.left - place.right + 1, place.left - m.right + 1});
            long long dy = std::max<long long>({0, m.top - place.bottom + 1, place.top - m.bottom + 1});
            if (dx * dx + dy * dy < bestDistance) {
                bestDistance = dx * dx + dy * dy;
                best = i;
            }
        }
        return Handle(best);
    }
    return flags == MONITOR_DEFAULTTOPRIMARY ? Handle(0) : nullptr;
}

}  // namespace

HMONITOR MonitorFromPoint(POINT pt, DWORD flags)
{
    const std::vector<RECT> monitors = Monitors();
    for (std::size_t i = 0; i < monitors.size(); ++i)
        if (DistanceSquared(monitors[i], pt) == 0) return Handle(i);
    return Fallback(flags, monitors, RECT{pt.x, pt.y, pt.x + 1, pt.y + 1});
}

HMONITOR MonitorFromRect(LPCRECT rect, DWORD flags)
{
    const std::vector<RECT> monitors = Monitors();
    if (!rect) return flags == MONITOR_DEFAULTTONULL ? nullptr : Handle(0);
    // The monitor showing most of the rectangle; an empty one counts as its corner.
    RECT place = Empty(*rect) ? RECT{rect->left, rect->top, rect->left + 1, rect->top + 1} : *rect;
    std::size_t best = monitors.size();
    long long bestArea = 0;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        RECT r = Intersection(monitors[i], place);
        long long area = static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
        if (area > bestArea) {
            bestArea = area;
            best = i;
        }
    }
    return best < monitors.size() ? Handle(best) : Fallback(flags, monitors, place);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags)
{
    RECT r{};
    if (!GetWindowRect(hwnd, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : Handle(0);
    return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info)
{
    if (!info || info->cbSize < sizeof(MONITORINFO)) return FALSE;
    const std::vector<RECT> monitors = Monitors();
    std::size_t index = 0;
    while (index < monitors.size() && Handle(index) != monitor) ++index;
    if (index == monitors.size()) return FALSE;
    info->rcMonitor = monitors[index];
    // The desktop gives one work area over all monitors; each keeps its share.
    RECT work = Intersection(monitors[index], WorkArea());
    info->rcWork = Empty(work) ? monitors[index] : work;
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

namespace {

// Programs written for systems without multiple-monitor support bind these
// by name; linking this file makes them available that way.
const bool kUser32Registered = [] {
    quelvo::sys::RegisterLibraryFunction("USER32.DLL", "MonitorFromPoint", reinterpret_cast<FARPROC>(&MonitorFromPoint));
    quelvo::sys::RegisterLibraryFunction("USER32.DLL", "GetMonitorInfoA", reinterpret_cast<FARPROC>(&GetMonitorInfoA));
    return true;
}();

}  // namespace

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
