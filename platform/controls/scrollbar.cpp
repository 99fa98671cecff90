// Standard scroll bars in the non-client area and the "SCROLLBAR" class:
// ranges, positions, geometry, painting, and tracking of clicks with
// auto-repeat and thumb dragging.
#include <algorithm>
#include <map>

#include "platform/controls/control_base.h"
#include "platform/controls/theme_handle.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/loop.h"

namespace quelvo::ctl::detail {

namespace {

constexpr const char* kBarsProp = "quelvo.scrollbars";
constexpr UINT_PTR kRepeatTimer = 0x5C01;
constexpr UINT kFirstDelay = 200;
constexpr UINT kRepeatDelay = 50;
constexpr int kMinThumb = 8;

struct BarInfo {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT arrows = ESB_ENABLE_BOTH;  // ESB_DISABLE_ flags
    int pressed = 0;                // part being pressed, for painting
    bool autoDisabled = false;      // disabled for want of a range
};

struct WindowBars {
    BarInfo horz;
    BarInfo vert;
};

// Per-window bars hang on a window property, so a window that goes away
// (and a handle used again) never sees stale data.
std::map<HWND, std::unique_ptr<WindowBars>>& AllBars()
{
    static std::map<HWND, std::unique_ptr<WindowBars>> bars;
    return bars;
}

enum Part { kNone = 0, kArrow1 = 1, kPage1 = 2, kThumb = 3, kPage2 = 4, kArrow2 = 5 };

struct Geometry {
    RECT bar{};          // in the coordinates asked for
    bool vertical = true;
    int length = 0;
    int arrow = 0;
    int thumbTop = 0;    // offsets from the bar's start; equal when no thumb
    int thumbBottom = 0;
};

int MaxPos(const BarInfo& b) { return b.max - std::max<int>(static_cast<int>(b.page) - 1, 0); }
bool Scrollable(const BarInfo& b) { return b.max > b.min && (b.page == 0 || static_cast<int>(b.page) <= b.max - b.min); }

Geometry Layout(const RECT& bar, bool vertical, const BarInfo& b, bool enabled, int thumbPosOverride = -1)
{
    Geometry g;
    g.bar = bar;
    g.vertical = vertical;
    g.length = vertical ? bar.bottom - bar.top : bar.right - bar.left;
    int thickness = vertical ? bar.right - bar.left : bar.bottom - bar.top;
    g.arrow = std::max(0, std::min(thickness, g.length / 2));
    int track = g.length - 2 * g.arrow;
    if (!enabled || !Scrollable(b) || b.arrows == ESB_DISABLE_BOTH) return g;
    long range = static_cast<long>(b.max) - b.min + 1;
    int thumb = b.page ? std::max(kMinThumb, static_cast<int>(static_cast<long>(track) * static_cast<long>(b.page) / range))
                       : std::max(kMinThumb, g.arrow);
    if (thumb > track) return g;  // no room for a thumb
    int pos = thumbPosOverride >= 0 ? thumbPosOverride : b.pos;
    int span = MaxPos(b) - b.min;
    int offset = span > 0 ? MulDiv(track - thumb, std::clamp(pos, b.min, MaxPos(b)) - b.min, span) : 0;
    g.thumbTop = g.arrow + offset;
    g.thumbBottom = g.thumbTop + thumb;
    return g;
}

int PartAt(const Geometry& g, POINT pt)
{
    if (!PtInRect(&g.bar, pt)) return kNone;
    int at = g.vertical ? pt.y - g.bar.top : pt.x - g.bar.left;
    if (at < g.arrow) return kArrow1;
    if (at >= g.length - g.arrow) return kArrow2;
    if (g.thumbBottom > g.thumbTop) {
        if (at < g.thumbTop) return kPage1;
        if (at >= g.thumbBottom) return kPage2;
        return kThumb;
    }
    return kNone;
}

RECT PartRect(const Geometry& g, int part)
{
    RECT r = g.bar;
    int a = 0, b = 0;
    switch (part) {
    case kArrow1: a = 0, b = g.arrow; break;
    case kPage1: a = g.arrow, b = g.thumbBottom > g.thumbTop ? g.thumbTop : g.length - g.arrow; break;
    case kThumb: a = g.thumbTop, b = g.thumbBottom; break;
    case kPage2: a = g.thumbBottom > g.thumbTop ? g.thumbBottom : g.length - g.arrow, b = g.length - g.arrow; break;
    case kArrow2: a = g.length - g.arrow, b = g.length; break;
    default: break;
    }
    if (g.vertical) {
        r.top = g.bar.top + a;
        r.bottom = g.bar.top + b;
    } else {
        r.left = g.bar.left + a;
        r.right = g.bar.left + b;
    }
    return r;
}

// The bar in the visual style; false when styles are off.
bool PaintThemedBar(HWND hwnd, HDC dc, const Geometry& g, const BarInfo& b, bool off)
{
    ThemeHandle theme(hwnd, "ScrollBar");
    if (!theme) return false;
    auto arrowState = [&](int base, bool disabled, int part) {
        return base + (disabled ? 3 : b.pressed == part ? 2 : 0);
    };
    int up = g.vertical ? ABS_UPNORMAL : ABS_LEFTNORMAL, down = g.vertical ? ABS_DOWNNORMAL : ABS_RIGHTNORMAL;
    RECT a1 = PartRect(g, kArrow1), a2 = PartRect(g, kArrow2), p1 = PartRect(g, kPage1), p2 = PartRect(g, kPage2);
    int track = off ? SCRBS_DISABLED : SCRBS_NORMAL;
    theme.Draw(dc, g.vertical ? SBP_LOWERTRACKVERT : SBP_LOWERTRACKHORZ, b.pressed == kPage1 ? SCRBS_PRESSED : track, p1);
    theme.Draw(dc, g.vertical ? SBP_UPPERTRACKVERT : SBP_UPPERTRACKHORZ, b.pressed == kPage2 ? SCRBS_PRESSED : track, p2);
    if (!IsRectEmpty(&a1)) theme.Draw(dc, SBP_ARROWBTN, arrowState(up, off || (b.arrows & ESB_DISABLE_LTUP), kArrow1), a1);
    if (!IsRectEmpty(&a2)) theme.Draw(dc, SBP_ARROWBTN, arrowState(down, off || (b.arrows & ESB_DISABLE_RTDN), kArrow2), a2);
    if (g.thumbBottom > g.thumbTop) {
        RECT t = PartRect(g, kThumb);
        theme.Draw(dc, g.vertical ? SBP_THUMBBTNVERT : SBP_THUMBBTNHORZ, b.pressed == kThumb ? SCRBS_PRESSED : SCRBS_NORMAL, t);
    }
    return true;
}

void PaintBar(HWND hwnd, HDC dc, const Geometry& g, const BarInfo& b, bool enabled)
{
    bool off = !enabled || !Scrollable(b) || b.arrows == ESB_DISABLE_BOTH;
    if (PaintThemedBar(hwnd, dc, g, b, off)) return;
    RECT a1 = PartRect(g, kArrow1), a2 = PartRect(g, kArrow2);
    UINT s1 = g.vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, s2 = g.vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT;
    if (off || (b.arrows & ESB_DISABLE_LTUP)) s1 |= DFCS_INACTIVE;
    if (off || (b.arrows & ESB_DISABLE_RTDN)) s2 |= DFCS_INACTIVE;
    if (b.pressed == kArrow1) s1 |= DFCS_PUSHED;
    if (b.pressed == kArrow2) s2 |= DFCS_PUSHED;
    if (!IsRectEmpty(&a1)) DrawFrameControl(dc, &a1, DFC_SCROLL, s1);
    if (!IsRectEmpty(&a2)) DrawFrameControl(dc, &a2, DFC_SCROLL, s2);
    RECT p1 = PartRect(g, kPage1), p2 = PartRect(g, kPage2);
    FillRect(dc, &p1, GetSysColorBrush(b.pressed == kPage1 ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
    FillRect(dc, &p2, GetSysColorBrush(b.pressed == kPage2 ? COLOR_3DDKSHADOW : COLOR_SCROLLBAR));
    if (g.thumbBottom > g.thumbTop) {
        RECT t = PartRect(g, kThumb);
        FillRect(dc, &t, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &t, EDGE_RAISED, BF_RECT);
    }
}

// ---- standard bars of a window -------------------------------------------------

WindowBars* BarsOf(HWND hwnd, bool create)
{
    auto* bars = static_cast<WindowBars*>(GetPropA(hwnd, kBarsProp));
    if (bars || !create || !IsWindow(hwnd)) return bars;
    InstallStandardScrollBars();
    auto fresh = std::make_unique<WindowBars>();
    bars = fresh.get();
    AllBars()[hwnd] = std::move(fresh);
    SetPropA(hwnd, kBarsProp, bars);
    return bars;
}

DWORD StyleBit(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }
RECT BarBeside(const RECT& client, int bar);

// Screen rectangle of a standard bar (empty when the style lacks it).
RECT StandardBarRect(HWND hwnd, int bar)
{
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    if (!(style & StyleBit(bar))) return RECT{0, 0, 0, 0};
    return BarBeside(ScreenClientRect(hwnd), bar);
}

// Where a standard bar lies next to a client rectangle (screen).
RECT BarBeside(const RECT& client, int bar)
{
    if (bar == SB_VERT) return RECT{client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom};
    return RECT{client.left, client.bottom, client.right, client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
}

// The standard bars drawn into a DC whose origin is the window's corner.
void PaintStandardBarsInto(HWND hwnd, HDC dc)
{
    WindowBars* bars = BarsOf(hwnd, false);
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    if (!(style & (WS_HSCROLL | WS_VSCROLL)) || !dc) return;
    RECT win;
    GetWindowRect(hwnd, &win);
    bool enabled = IsWindowEnabled(hwnd) != FALSE;
    BarInfo none;
    for (int bar : {SB_HORZ, SB_VERT}) {
        if (!(style & StyleBit(bar))) continue;
        RECT r = StandardBarRect(hwnd, bar);
        OffsetRect(&r, -win.left, -win.top);
        const BarInfo& info = bars ? (bar == SB_HORZ ? bars->horz : bars->vert) : none;
        PaintBar(hwnd, dc, Layout(r, bar == SB_VERT, info, enabled), info, enabled);
    }
    if ((style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        RECT v = StandardBarRect(hwnd, SB_VERT), h = StandardBarRect(hwnd, SB_HORZ);
        RECT corner{v.left, h.top, v.right, h.bottom};
        OffsetRect(&corner, -win.left, -win.top);
        FillRect(dc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void PaintStandardBars(HWND hwnd)
{
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    PaintStandardBarsInto(hwnd, dc);
    ReleaseDC(hwnd, dc);
}

// Shows or hides a standard bar; the frame is recomputed.
void SetBarVisible(HWND hwnd, int bar, bool show)
{
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : StyleBit(bar);
    DWORD next = show ? (style | bits) : (style & ~bits);
    if (next == style) return;
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(next));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

// ---- the "SCROLLBAR" control ---------------------------------------------------

class ScrollBarControl;
namespace {
ScrollBarControl* ControlBar(HWND hwnd);
}

class ScrollBarControl : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BarInfo info;
    bool Vertical() const { return (Style() & SBS_VERT) != 0; }
    void Paint(HDC dc) override;
    RECT ScreenRect() const { return ScreenClientRect(hwnd_); }
};

namespace {

ScrollBarControl* ControlBar(HWND hwnd)
{
    char cls[16]{};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "SCROLLBAR" && std::string(cls) != "ScrollBar" && std::string(cls) != "scrollbar")
        return nullptr;
    return static_cast<ScrollBarControl*>(Lookup(hwnd));
}

BarInfo* InfoOf(HWND hwnd, int bar, bool create)
{
    if (bar == SB_CTL) {
        ScrollBarControl* c = ControlBar(hwnd);
        return c ? &c->info : nullptr;
    }
    if (bar != SB_HORZ && bar != SB_VERT) return nullptr;
    WindowBars* bars = BarsOf(hwnd, create);
    if (!bars) return nullptr;
    return bar == SB_HORZ ? &bars->horz : &bars->vert;
}

// ---- tracking a press on a bar ---------------------------------------------------

struct Track {
    HWND hwnd = nullptr;  // the window with the bar
    int bar = SB_VERT;
    int part = kNone;
    bool inside = true;
    POINT last{};        // screen
    int grabOffset = 0;  // pointer to thumb start
    bool active = false;
};
Track gTrack;
// While a bar is pressed, the pointer is followed by a mouse hook and the
// repeat by a timer procedure, so a window procedure that keeps mouse and
// timer messages to itself still gets a working bar.
HHOOK gTrackHook = nullptr;
LRESULT TrackMouseHook(int code, WPARAM wParam, LPARAM lParam);
void RepeatTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD);

Geometry ScreenGeometry(HWND hwnd, int bar, const BarInfo& info, int thumbPos = -1)
{
    RECT r;
    bool vertical;
    if (bar == SB_CTL) {
        ScrollBarControl* c = ControlBar(hwnd);
        if (!c) return Geometry{};
        r = c->ScreenRect();
        vertical = c->Vertical();
    } else {
        r = StandardBarRect(hwnd, bar);
        vertical = bar == SB_VERT;
    }
    return Layout(r, vertical, info, IsWindowEnabled(hwnd) != FALSE, thumbPos);
}

void SendScroll(HWND hwnd, int bar, WORD code, int pos)
{
    if (!IsWindow(hwnd) || (bar == SB_CTL && !ControlBar(hwnd))) return;
    bool vertical = bar == SB_CTL ? ControlBar(hwnd)->Vertical() : bar == SB_VERT;
    UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
    WPARAM wParam = MAKEWPARAM(code, static_cast<WORD>(pos));
    if (bar == SB_CTL) SendMessageA(GetParent(hwnd), msg, wParam, reinterpret_cast<LPARAM>(hwnd));
    else SendMessageA(hwnd, msg, wParam, 0);
}

void Redraw(HWND hwnd, int bar)
{
    if (bar == SB_CTL) {
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    } else {
        PaintStandardBars(hwnd);
    }
}

WORD CodeOf(int part)
{
    switch (part) {
    case kArrow1: return SB_LINEUP;
    case kArrow2: return SB_LINEDOWN;
    case kPage1: return SB_PAGEUP;
    case kPage2: return SB_PAGEDOWN;
    default: return SB_ENDSCROLL;
    }
}

// Sends the part's code again when the pointer is still on that part.
void Repeat()
{
    BarInfo* info = InfoOf(gTrack.hwnd, gTrack.bar, false);
    if (!info) return;
    Geometry g = ScreenGeometry(gTrack.hwnd, gTrack.bar, *info);
    gTrack.inside = PartAt(g, gTrack.last) == gTrack.part;
    if (gTrack.inside) SendScroll(gTrack.hwnd, gTrack.bar, CodeOf(gTrack.part), 0);
}

void BeginTrack(HWND hwnd, int bar, POINT screen)
{
    BarInfo* info = InfoOf(hwnd, bar, true);
    if (!info) return;
    Geometry g = ScreenGeometry(hwnd, bar, *info);
    int part = PartAt(g, screen);
    if (part == kNone) return;
    if ((part == kArrow1 && (info->arrows & ESB_DISABLE_LTUP)) || (part == kArrow2 && (info->arrows & ESB_DISABLE_RTDN)))
        return;
    if (g.thumbBottom <= g.thumbTop) return;  // a disabled or empty bar does not scroll
    gTrack = Track{hwnd, bar, part, true, screen, 0, true};
    info->pressed = part;
    info->trackPos = info->pos;
    SetCapture(hwnd);
    if (!gTrackHook) gTrackHook = SetWindowsHookExA(WH_MOUSE, TrackMouseHook, nullptr, GetCurrentThreadId());
    if (part == kThumb) {
        int at = g.vertical ? screen.y - g.bar.top : screen.x - g.bar.left;
        gTrack.grabOffset = at - g.thumbTop;
        Redraw(hwnd, bar);
        return;
    }
    Redraw(hwnd, bar);
    SendScroll(hwnd, bar, CodeOf(part), 0);
    if (gTrack.active) SetTimer(hwnd, kRepeatTimer, kFirstDelay, RepeatTimerProc);
}

void MoveTrack(POINT screen)
{
    gTrack.last = screen;
    BarInfo* info = InfoOf(gTrack.hwnd, gTrack.bar, false);
    if (!info) return;
    if (gTrack.part != kThumb) {
        Geometry g = ScreenGeometry(gTrack.hwnd, gTrack.bar, *info);
        bool inside = PartAt(g, screen) == gTrack.part;
        if (inside != gTrack.inside) {
            gTrack.inside = inside;
            info->pressed = inside ? gTrack.part : kNone;
            Redraw(gTrack.hwnd, gTrack.bar);
        }
        return;
    }
    Geometry g = ScreenGeometry(gTrack.hwnd, gTrack.bar, *info);
    int thumb = g.thumbBottom - g.thumbTop;
    int track = g.length - 2 * g.arrow - thumb;
    int at = (g.vertical ? screen.y - g.bar.top : screen.x - g.bar.left) - gTrack.grabOffset - g.arrow;
    int span = MaxPos(*info) - info->min;
    int pos = track > 0 ? info->min + MulDiv(std::clamp(at, 0, track), span, track) : info->min;
    // Far off the bar, the thumb goes back where it started.
    RECT near = g.bar;
    InflateRect(&near, g.vertical ? 120 : 40, g.vertical ? 40 : 120);
    if (!PtInRect(&near, screen)) pos = info->pos;
    if (pos != info->trackPos) {
        info->trackPos = pos;
        SendScroll(gTrack.hwnd, gTrack.bar, SB_THUMBTRACK, pos);
    }
}

void EndTrack(bool cancelled)
{
    if (!gTrack.active) return;
    Track t = gTrack;
    gTrack.active = false;
    if (gTrackHook) UnhookWindowsHookEx(gTrackHook);
    gTrackHook = nullptr;
    KillTimer(t.hwnd, kRepeatTimer);
    if (GetCapture() == t.hwnd) ReleaseCapture();
    BarInfo* info = InfoOf(t.hwnd, t.bar, false);
    if (!info) return;
    info->pressed = kNone;
    if (t.part == kThumb && !cancelled) SendScroll(t.hwnd, t.bar, SB_THUMBPOSITION, info->trackPos);
    if (IsWindow(t.hwnd)) {
        SendScroll(t.hwnd, t.bar, SB_ENDSCROLL, 0);
        Redraw(t.hwnd, t.bar);
    }
}

// Messages of the window whose bar is being pressed; true when consumed.
bool TrackMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!gTrack.active || gTrack.hwnd != hwnd) return false;
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        POINT p = PointFrom(lParam);
        ClientToScreen(hwnd, &p);
        MoveTrack(p);
        if (msg == WM_LBUTTONUP) EndTrack(false);
        return true;
    }
    case WM_TIMER:
        if (wParam != kRepeatTimer) return false;
        RepeatTimerProc(hwnd, WM_TIMER, kRepeatTimer, 0);
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) EndTrack(true);
        return true;
    case WM_CANCELMODE: EndTrack(true); return false;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            EndTrack(true);
            return true;
        }
        return false;
    default: return false;
    }
}

void RepeatTimerProc(HWND hwnd, UINT, UINT_PTR, DWORD)
{
    if (!gTrack.active || gTrack.hwnd != hwnd) {
        KillTimer(hwnd, kRepeatTimer);
        return;
    }
    if (GetCapture() != hwnd) {
        EndTrack(true);  // the capture went elsewhere unannounced
        return;
    }
    SetTimer(hwnd, kRepeatTimer, kRepeatDelay, RepeatTimerProc);
    Repeat();
}

// Every mouse message of the thread while a bar is pressed belongs to the
// bar: none reaches a window procedure.
LRESULT TrackMouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HC_ACTION || !gTrack.active || !lParam) return CallNextHookEx(nullptr, code, wParam, lParam);
    if (GetCapture() != gTrack.hwnd) {
        EndTrack(true);  // the capture went elsewhere unannounced
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    POINT pt = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
    if (wParam == WM_MOUSEMOVE || wParam == WM_LBUTTONUP) MoveTrack(pt);
    if (wParam == WM_LBUTTONUP) EndTrack(false);
    return 1;
}

}  // namespace

void ScrollBarControl::Paint(HDC dc)
{
    RECT r;
    GetClientRect(hwnd_, &r);
    if (Style() & (SBS_SIZEBOX | SBS_SIZEGRIP)) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        return;
    }
    bool enabled = IsWindowEnabled(hwnd_) != FALSE;
    PaintBar(hwnd_, dc, Layout(r, Vertical(), info, enabled), info, enabled);
}

LRESULT ScrollBarControl::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (TrackMessage(hwnd_, msg, wParam, lParam)) return 0;
    LRESULT painted = 0;
    if (PaintMessage(msg, wParam, painted)) return painted;
    switch (msg) {
    case WM_CREATE: {
        info.min = 0;
        info.max = 100;
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (Style() & (SBS_SIZEBOX | SBS_SIZEGRIP)) return 0;
        POINT p = PointFrom(lParam);
        ClientToScreen(hwnd_, &p);
        BeginTrack(hwnd_, SB_CTL, p);
        return 0;
    }
    case WM_ENABLE: InvalidateRect(hwnd_, nullptr, FALSE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
        WORD code = 0xFFFF;
        switch (static_cast<int>(wParam)) {
        case VK_UP:
        case VK_LEFT: code = SB_LINEUP; break;
        case VK_DOWN:
        case VK_RIGHT: code = SB_LINEDOWN; break;
        case VK_PRIOR: code = SB_PAGEUP; break;
        case VK_NEXT: code = SB_PAGEDOWN; break;
        case VK_HOME: code = SB_TOP; break;
        case VK_END: code = SB_BOTTOM; break;
        default: break;
        }
        if (code != 0xFFFF) {
            SendScroll(hwnd_, SB_CTL, code, 0);
            SendScroll(hwnd_, SB_CTL, SB_ENDSCROLL, 0);
        }
        return 0;
    }
    case SBM_SETPOS: return SetScrollPos(hwnd_, SB_CTL, static_cast<int>(wParam), static_cast<BOOL>(lParam));
    case SBM_GETPOS: return info.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
        SetScrollRange(hwnd_, SB_CTL, static_cast<int>(wParam), static_cast<int>(lParam), msg == SBM_SETRANGEREDRAW);
        return info.pos;
    case SBM_GETRANGE:
        if (wParam) *reinterpret_cast<int*>(wParam) = info.min;
        if (lParam) *reinterpret_cast<int*>(lParam) = info.max;
        return 0;
    case SBM_ENABLE_ARROWS: return EnableScrollBar(hwnd_, SB_CTL, static_cast<UINT>(wParam));
    case SBM_SETSCROLLINFO:
        return SetScrollInfo(hwnd_, SB_CTL, reinterpret_cast<LPCSCROLLINFO>(lParam), static_cast<BOOL>(wParam));
    case SBM_GETSCROLLINFO: return GetScrollInfo(hwnd_, SB_CTL, reinterpret_cast<LPSCROLLINFO>(lParam));
    case SBM_GETSCROLLBARINFO:
        return GetScrollBarInfo(hwnd_, OBJID_CLIENT, reinterpret_cast<SCROLLBARINFO*>(lParam));
    default: break;
    }
    return Default(msg, wParam, lParam);
}

LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<ScrollBarControl>(hwnd, msg, wParam, lParam);
}

}  // namespace quelvo::ctl::detail

using namespace quelvo::ctl::detail;

namespace quelvo::ctl {

namespace {

// The message DefWindowProcA is running for the bars themselves, which the
// hook below leaves to the default.
struct Bypass {
    HWND hwnd = nullptr;
    UINT msg = 0;
};
Bypass gBypass;

LRESULT DefaultWithoutBars(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Bypass saved = gBypass;
    gBypass = Bypass{hwnd, msg};
    LRESULT r = DefWindowProcA(hwnd, msg, wParam, lParam);
    gBypass = saved;
    return r;
}

quelvo::win::DefWindowProcHook gNextHook = nullptr;

// Inside DefWindowProcA: the standard bars of every window.
bool StandardBarsHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    bool bypassed = gBypass.hwnd == hwnd && gBypass.msg == msg;
    if (!bypassed) {
        if (msg == WM_NCDESTROY) {
            if (gTrack.active && gTrack.hwnd == hwnd) {
                gTrack.active = false;
                if (gTrackHook) UnhookWindowsHookEx(gTrackHook);
                gTrackHook = nullptr;
            }
            if (GetPropA(hwnd, kBarsProp)) {
                RemovePropA(hwnd, kBarsProp);
                AllBars().erase(hwnd);
            }
        } else if (HandleScrollBarMessage(hwnd, msg, wParam, lParam, result)) {
            return true;
        }
    }
    return gNextHook ? gNextHook(hwnd, msg, wParam, lParam, result) : false;
}

}  // namespace

void detail::InstallStandardScrollBars()
{
    quelvo::win::DefWindowProcHook previous = quelvo::win::SetDefWindowProcHook(StandardBarsHook);
    if (previous != StandardBarsHook) gNextHook = previous;
}

bool HandleScrollBarMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (TrackMessage(hwnd, msg, wParam, lParam)) return true;
    switch (msg) {
    case WM_NCPAINT:
        result = DefaultWithoutBars(hwnd, msg, wParam, lParam);
        PaintStandardBars(hwnd);
        return true;
    case WM_PRINT:
        // The frame drawn by the default is no longer blank where the bars are.
        result = DefaultWithoutBars(hwnd, msg, wParam, lParam);
        if ((lParam & PRF_NONCLIENT) && !((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd))) {
            auto dc = reinterpret_cast<HDC>(wParam);
            int saved = SaveDC(dc);
            PaintStandardBarsInto(hwnd, dc);
            RestoreDC(dc, saved);
        }
        return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wParam != static_cast<WPARAM>(HTVSCROLL) && wParam != static_cast<WPARAM>(HTHSCROLL)) return false;
        BeginTrack(hwnd, wParam == static_cast<WPARAM>(HTVSCROLL) ? SB_VERT : SB_HORZ, PointFrom(lParam));
        return true;
    case WM_ENABLE:
        // The default has nothing to do; the bars show the new state.
        PaintStandardBars(hwnd);
        return false;
    default: return false;
    }
}

}  // namespace quelvo::ctl

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO si, BOOL redraw)
{
    BarInfo* info = InfoOf(hwnd, bar, true);
    if (!info || !si || (si->cbSize != sizeof(SCROLLINFO) && si->cbSize != sizeof(SCROLLINFO) - sizeof(int))) return 0;
    if (si->fMask & SIF_RANGE) {
        info->min = si->nMin;
        info->max = std::max(si->nMin, si->nMax);
    }
    if (si->fMask & SIF_PAGE) info->page = si->nPage;
    long range = static_cast<long>(info->max) - info->min + 1;
    if (static_cast<long>(info->page) > range) info->page = static_cast<UINT>(range);
    if (si->fMask & SIF_POS) info->pos = si->nPos;
    info->pos = std::clamp(info->pos, info->min, std::max(info->min, MaxPos(*info)));
    if (bar != SB_CTL) {
        // A standard bar shows only while there is something to scroll,
        // unless it is to stay disabled instead.
        bool need = Scrollable(*info);
        if ((si->fMask & SIF_DISABLENOSCROLL) && !need) {
            info->arrows = ESB_DISABLE_BOTH;
            info->autoDisabled = true;
        } else if (need && info->autoDisabled) {
            info->arrows = ESB_ENABLE_BOTH;
            info->autoDisabled = false;
        }
        if (si->fMask & SIF_DISABLENOSCROLL) {
            if (si->fMask & (SIF_RANGE | SIF_PAGE)) SetBarVisible(hwnd, bar, true);
        } else if (si->fMask & (SIF_RANGE | SIF_PAGE)) {
            SetBarVisible(hwnd, bar, need);
        }
    }
    if (redraw) Redraw(hwnd, bar);
    return info->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO si)
{
    if (!si || !(si->fMask & SIF_ALL)) return FALSE;
    BarInfo* info = InfoOf(hwnd, bar, false);
    BarInfo none;
    if (!info) {
        if (bar == SB_CTL || !IsWindow(hwnd)) return FALSE;
        DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
        if (!(style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL))) return FALSE;
        info = &none;
    }
    if (si->fMask & SIF_RANGE) {
        si->nMin = info->min;
        si->nMax = info->max;
    }
    if (si->fMask & SIF_PAGE) si->nPage = info->page;
    if (si->fMask & SIF_POS) si->nPos = info->pos;
    if (si->fMask & SIF_TRACKPOS) si->nTrackPos = (gTrack.active && gTrack.hwnd == hwnd && gTrack.bar == bar) ? info->trackPos : info->pos;
    return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw)
{
    BarInfo* info = InfoOf(hwnd, bar, true);
    if (!info) return 0;
    int old = info->pos;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(hwnd, bar, &si, redraw);
    return old;
}

int GetScrollPos(HWND hwnd, int bar)
{
    BarInfo* info = InfoOf(hwnd, bar, false);
    return info ? info->pos : 0;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw)
{
    if (static_cast<long long>(max) - min > 0x7FFFFFFF) return FALSE;
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = min;
    si.nMax = max;
    return InfoOf(hwnd, bar, true) && (SetScrollInfo(hwnd, bar, &si, redraw), true) ? TRUE : FALSE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max)
{
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    if (!GetScrollInfo(hwnd, bar, &si)) {
        if (min) *min = 0;
        if (max) *max = 0;
        return FALSE;
    }
    if (min) *min = si.nMin;
    if (max) *max = si.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show)
{
    if (!IsWindow(hwnd)) return FALSE;
    if (bar == SB_CTL) return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE), TRUE;
    if (bar != SB_HORZ && bar != SB_VERT && bar != SB_BOTH) return FALSE;
    SetBarVisible(hwnd, bar, show != FALSE);
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT bar, UINT arrows)
{
    bool any = false;
    for (int b : {SB_HORZ, SB_VERT, SB_CTL}) {
        if (!(static_cast<int>(bar) == b || (bar == static_cast<UINT>(SB_BOTH) && b != SB_CTL))) continue;
        BarInfo* info = InfoOf(hwnd, b, true);
        if (!info) continue;
        any = true;
        info->arrows = arrows & ESB_DISABLE_BOTH;
        Redraw(hwnd, b);
    }
    return any ? TRUE : FALSE;
}

BOOL GetScrollBarInfo(HWND hwnd, LONG object, SCROLLBARINFO* sbi)
{
    if (!sbi || sbi->cbSize != sizeof(SCROLLBARINFO) || !IsWindow(hwnd)) {
        SetLastError(87);
        return FALSE;
    }
    int bar = object == OBJID_VSCROLL ? SB_VERT : object == OBJID_HSCROLL ? SB_HORZ : object == OBJID_CLIENT ? SB_CTL : -1;
    if (bar < 0 || (bar == SB_CTL && !ControlBar(hwnd))) {
        SetLastError(87);
        return FALSE;
    }
    BarInfo none;
    BarInfo* found = InfoOf(hwnd, bar, false);
    const BarInfo& info = found ? *found : none;
    Geometry g = ScreenGeometry(hwnd, bar, info);
    if (bar != SB_CTL && IsRectEmpty(&g.bar)) {
        // The bar the window would have, reported as invisible.
        g.bar = BarBeside(ScreenClientRect(hwnd), bar);
    }
    sbi->rcScrollBar = g.bar;
    sbi->dxyLineButton = g.arrow;
    sbi->xyThumbTop = g.thumbTop;
    sbi->xyThumbBottom = g.thumbBottom;
    sbi->reserved = 0;
    std::fill(std::begin(sbi->rgstate), std::end(sbi->rgstate), 0u);
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    bool visible = bar == SB_CTL ? IsWindowVisible(hwnd) != FALSE : (style & (bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    // A window hidden itself has its bars off screen; one that only waits
    // for a parent to show has them where they will show, so a control that
    // lays bars of its own over them can place those before the form shows.
    if (!visible) sbi->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
    else if ((style & WS_VISIBLE) == 0 || g.length <= 0) sbi->rgstate[0] |= STATE_SYSTEM_OFFSCREEN;
    bool enabled = IsWindowEnabled(hwnd) && Scrollable(info) && info.arrows != ESB_DISABLE_BOTH;
    if (!enabled) sbi->rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
    if (!enabled || (info.arrows & ESB_DISABLE_LTUP)) sbi->rgstate[kArrow1] |= STATE_SYSTEM_UNAVAILABLE;
    if (!enabled || (info.arrows & ESB_DISABLE_RTDN)) sbi->rgstate[kArrow2] |= STATE_SYSTEM_UNAVAILABLE;
    if (g.thumbBottom <= g.thumbTop) {
        sbi->rgstate[kThumb] |= STATE_SYSTEM_INVISIBLE;
        sbi->rgstate[kPage1] |= STATE_SYSTEM_INVISIBLE;
        sbi->rgstate[kPage2] |= STATE_SYSTEM_INVISIBLE;
    }
    if (info.pressed) sbi->rgstate[info.pressed] |= STATE_SYSTEM_PRESSED;
    return TRUE;
}
