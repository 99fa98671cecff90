// Input: raw mouse and key events become window messages at retrieval;
// focus, activation, capture, key state, cursors and dialog keys.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <strings.h>

#include "platform/system/clock.h"
#include "platform/windows/loop.h"
#include "platform/windows/wm_state.h"

namespace quelvo::win::detail {

Window* HitTestPoint(POINT pt, LRESULT& hit);

namespace {

UINT ButtonMessage(MouseButton b, bool down, bool client)
{
    UINT base = 0;
    switch (b) {
    case MouseButton::Left: base = client ? WM_LBUTTONDOWN : WM_NCLBUTTONDOWN; break;
    case MouseButton::Right: base = client ? WM_RBUTTONDOWN : WM_NCRBUTTONDOWN; break;
    case MouseButton::Middle: base = client ? WM_MBUTTONDOWN : WM_NCMBUTTONDOWN; break;
    }
    return down ? base : base + 1;
}

int ButtonVk(MouseButton b)
{
    switch (b) {
    case MouseButton::Left: return VK_LBUTTON;
    case MouseButton::Right: return VK_RBUTTON;
    case MouseButton::Middle: return VK_MBUTTON;
    }
    return VK_LBUTTON;
}

WPARAM MouseKeys(const std::array<BYTE, 256>& ks)
{
    WPARAM k = 0;
    if (ks[VK_LBUTTON] & 0x80) k |= MK_LBUTTON;
    if (ks[VK_RBUTTON] & 0x80) k |= MK_RBUTTON;
    if (ks[VK_MBUTTON] & 0x80) k |= MK_MBUTTON;
    if (ks[VK_SHIFT] & 0x80) k |= MK_SHIFT;
    if (ks[VK_CONTROL] & 0x80) k |= MK_CONTROL;
    return k;
}

LPARAM PointParam(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

void SetKey(std::array<BYTE, 256>& ks, int vk, bool down)
{
    auto apply = [&](int k) {
        if (down) {
            if (!(ks[k] & 0x80)) ks[k] ^= 0x01;
            ks[k] |= 0x80;
        } else {
            ks[k] &= static_cast<BYTE>(~0x80);
        }
    };
    apply(vk & 0xFF);
    switch (vk) {
    case VK_LSHIFT: case VK_RSHIFT: apply(VK_SHIFT); break;
    case VK_LCONTROL: case VK_RCONTROL: apply(VK_CONTROL); break;
    case VK_LMENU: case VK_RMENU: apply(VK_MENU); break;
    default: break;
    }
}

void CheckMouseLeave(Window* over, LRESULT hit)
{
    State& s = S();
    s.mouseWindow = over ? over->handle : nullptr;
    if (!s.trackHwnd || !(s.trackFlags & TME_LEAVE)) return;
    if (over && over->handle == s.trackHwnd && hit == HTCLIENT) return;
    HWND h = s.trackHwnd;
    s.trackFlags &= ~TME_LEAVE;
    if (!s.trackFlags) s.trackHwnd = nullptr;
    PostLocal(h, WM_MOUSELEAVE, 0, 0);
}

bool CookMouse(const RawInput& raw, MSG& out, bool remove, bool& consumed)
{
    State& s = S();
    const MouseInput& in = raw.mouse;
    Window* target = nullptr;
    LRESULT hit = HTCLIENT;
    bool wheel = in.kind == MouseInput::Kind::Wheel;
    if (wheel) {
        target = s.focus ? s.focus : s.active;
        if (!target) {
            consumed = true;
            return false;
        }
    } else if (s.capture) {
        target = s.capture;
    } else {
        target = HitTestPoint(in.pt, hit);
        if (!target) {
            if (remove) CheckMouseLeave(nullptr, HTNOWHERE);
            consumed = true;
            return false;
        }
    }
    HWND hwnd = target->handle;
    bool client = hit == HTCLIENT;
    UINT msg = 0;
    switch (in.kind) {
    case MouseInput::Kind::Move: msg = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE; break;
    case MouseInput::Kind::Down: msg = ButtonMessage(in.button, true, client); break;
    case MouseInput::Kind::Up: msg = ButtonMessage(in.button, false, client); break;
    case MouseInput::Kind::Wheel: msg = WM_MOUSEWHEEL; break;
    }
    if (in.kind == MouseInput::Kind::Down) {
        UINT cx = static_cast<UINT>(GetSystemMetrics(SM_CXDOUBLECLK));
        UINT cy = static_cast<UINT>(GetSystemMetrics(SM_CYDOUBLECLK));
        bool dbl = msg == s.lastClickMsg && hwnd == s.lastClickHwnd &&
                   raw.time - s.lastClickTime <= s.doubleClickTime &&
                   static_cast<UINT>(std::abs(in.pt.x - s.lastClickPt.x)) <= cx / 2 &&
                   static_cast<UINT>(std::abs(in.pt.y - s.lastClickPt.y)) <= cy / 2;
        bool allowed = !client || (target->cls->style & CS_DBLCLKS);
        if (remove) {
            if (dbl && allowed) {
                s.lastClickMsg = 0;
            } else {
                s.lastClickMsg = msg;
                s.lastClickHwnd = hwnd;
                s.lastClickTime = raw.time;
                s.lastClickPt = in.pt;
            }
        }
        if (dbl && allowed) msg += 2;  // ...BUTTONDOWN + 2 = ...BUTTONDBLCLK
    }
    std::array<BYTE, 256> keys = s.keyState;
    if (in.kind == MouseInput::Kind::Down || in.kind == MouseInput::Kind::Up)
        SetKey(keys, ButtonVk(in.button), in.kind == MouseInput::Kind::Down);
    if (remove) s.keyState = keys;
    out = MSG{};
    out.hwnd = hwnd;
    out.message = msg;
    out.time = raw.time;
    out.pt = in.pt;
    if (wheel) {
        out.wParam = MAKEWPARAM(static_cast<WORD>(MouseKeys(keys)), static_cast<WORD>(static_cast<SHORT>(in.wheelDelta)));
        out.lParam = PointParam(in.pt);
    } else if (client) {
        POINT o = ClientOrigin(target);
        out.wParam = MouseKeys(keys);
        out.lParam = PointParam(POINT{in.pt.x - o.x, in.pt.y - o.y});
    } else {
        out.wParam = static_cast<WPARAM>(hit);
        out.lParam = PointParam(in.pt);
    }
    if (HasHooks(WH_MOUSE)) {
        MOUSEHOOKSTRUCT mh;
        mh.pt = in.pt;
        mh.hwnd = hwnd;
        mh.wHitTestCode = static_cast<UINT>(hit);
        if (CallHooks(WH_MOUSE, remove ? HC_ACTION : HC_NOREMOVE, msg, reinterpret_cast<LPARAM>(&mh))) {
            consumed = true;
            return false;
        }
        if (!(target = Find(hwnd))) {
            consumed = true;
            return false;
        }
    }
    if (!s.capture && (hit == HTERROR || hit == HTNOWHERE)) {
        if (remove) {
            Deliver(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
            if (hit == HTERROR && in.kind == MouseInput::Kind::Down) MessageBeep(0);
        }
        consumed = true;
        return false;
    }
    if (!remove) return true;
    if (in.kind == MouseInput::Kind::Move && s.trackHwnd && (s.trackFlags & TME_HOVER)) {
        if (std::abs(in.pt.x - s.hoverPt.x) > 2 || std::abs(in.pt.y - s.hoverPt.y) > 2) {
            s.hoverPt = in.pt;
            s.hoverDue = quelvo::sys::NowMs() + s.hoverTime;
        }
    }
    if (s.capture || wheel) {
        if (!wheel) CheckMouseLeave(target, HTCLIENT);
        return true;
    }
    bool eat = false;
    if (in.kind == MouseInput::Kind::Down) {
        Window* top = TopLevelOf(target);
        if (top != s.active && !(top->exStyle & WS_EX_NOACTIVATE)) {
            LRESULT ma = Deliver(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle),
                                 MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
            if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT) eat = true;
            if ((ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT || ma == 0) && Find(top->handle))
                ActivateWindow(top, true, true);
        }
    }
    if ((target = Find(hwnd))) {
        Deliver(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(static_cast<WORD>(hit), static_cast<WORD>(msg)));
        target = Find(hwnd);
    }
    CheckMouseLeave(target, hit);
    if (eat || !target) {
        consumed = true;
        return false;
    }
    return true;
}

bool CookKey(const RawInput& raw, MSG& out, bool remove, bool& consumed)
{
    State& s = S();
    const KeyInput& in = raw.key;
    std::array<BYTE, 256> keys = s.keyState;
    bool wasDown = (keys[in.vk & 0xFF] & 0x80) != 0;
    bool altBefore = (keys[VK_MENU] & 0x80) != 0;
    SetKey(keys, in.vk, in.down);
    if (remove) s.keyState = keys;
    Window* target = s.focus ? s.focus : s.active;
    if (!target) {
        consumed = true;
        return false;
    }
    bool alt = (keys[VK_MENU] & 0x80) != 0;
    bool ctrl = (keys[VK_CONTROL] & 0x80) != 0;
    bool sys;
    if (in.down) {
        sys = (alt && !ctrl) || in.vk == VK_F10;
    } else {
        // Releasing Alt is a system key only when nothing was pressed with it.
        bool isAlt = in.vk == VK_MENU || in.vk == VK_LMENU || in.vk == VK_RMENU;
        sys = altBefore && (isAlt || !ctrl) && (!isAlt || s.lastKeyDown == in.vk);
    }
    sys = sys || !s.focus;
    if (remove && in.down) s.lastKeyDown = in.vk;
    UINT msg = in.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lp = static_cast<LPARAM>(static_cast<DWORD>(std::clamp(in.repeat, 1, 0xFFFF)) |
                                    (static_cast<DWORD>(in.vk & 0xFF) << 16) |
                                    (in.extended ? (1u << 24) : 0u) | (alt ? (1u << 29) : 0u) |
                                    ((wasDown || !in.down) ? (1u << 30) : 0u) | (in.down ? 0u : (1u << 31)));
    lp = static_cast<LPARAM>(static_cast<LONG>(static_cast<DWORD>(lp)));
    out = MSG{};
    out.hwnd = target->handle;
    out.message = msg;
    out.wParam = static_cast<WPARAM>(in.vk);
    out.lParam = lp;
    out.time = raw.time;
    out.pt = s.cursorPos;
    if (HasHooks(WH_KEYBOARD) && CallHooks(WH_KEYBOARD, remove ? HC_ACTION : HC_NOREMOVE, out.wParam, out.lParam)) {
        consumed = true;
        return false;
    }
    if (!Find(out.hwnd)) {
        consumed = true;
        return false;
    }
    return true;
}

bool CanActivate(const Window* w)
{
    return w && !w->messageOnly && !w->parent && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) &&
           !(w->exStyle & WS_EX_NOACTIVATE);
}

HICON__ gStandardCursors[14];
constexpr WORD kStandardCursorIds[14] = {IDC_ARROW_ID, IDC_IBEAM_ID,  IDC_WAIT_ID, IDC_CROSS_ID, IDC_UPARROW_ID,
                                         IDC_SIZENWSE_ID, IDC_SIZENESW_ID, IDC_SIZEWE_ID, IDC_SIZENS_ID,
                                         IDC_SIZEALL_ID, IDC_NO_ID, IDC_HAND_ID, IDC_APPSTARTING_ID, IDC_HELP_ID};

}  // namespace

bool CookInput(const RawInput& raw, MSG& out, bool remove, bool& consumed)
{
    consumed = false;
    return raw.isMouse ? CookMouse(raw, out, remove, consumed) : CookKey(raw, out, remove, consumed);
}

void SetFocusTo(Window* w)
{
    State& s = S();
    Window* prev = s.focus;
    if (prev == w) return;
    HWND prevHandle = prev ? prev->handle : nullptr;
    HWND newHandle = w ? w->handle : nullptr;
    s.focus = w;
    if (prev && Find(prevHandle)) {
        Deliver(prev, WM_KILLFOCUS, reinterpret_cast<WPARAM>(newHandle), 0);
        if (S().focus != w) return;  // the handler moved the focus elsewhere
    }
    if (w && Find(newHandle)) Deliver(w, WM_SETFOCUS, reinterpret_cast<WPARAM>(prevHandle), 0);
}

bool ActivateWindow(Window* w, bool byMouse, bool setFocus)
{
    State& s = S();
    if (w == s.active) return true;
    HWND hwnd = w ? w->handle : nullptr;
    Window* prev = s.active;
    HWND prevHandle = prev ? prev->handle : nullptr;
    if (w && (w->style & WS_VISIBLE)) {
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (!(w = Find(hwnd))) return false;
    }
    s.active = w;
    if (prev && Find(prevHandle)) {
        Deliver(prev, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
        if ((prev = Find(prevHandle)))
            Deliver(prev, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, (prev->style & WS_MINIMIZE) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
        if (s.active != w) return false;
    }
    if ((prevHandle == nullptr) != (hwnd == nullptr)) {
        std::vector<HWND> all;
        for (Window* t : s.topLevels) all.push_back(t->handle);
        for (HWND h : all)
            if (Window* t = Find(h)) Deliver(t, WM_ACTIVATEAPP, hwnd ? TRUE : FALSE, 0);
        if (s.active != w) return false;
    }
    if (w && (w = Find(hwnd))) {
        Window* root = w;
        while (root->owner) root = root->owner;
        root->lastActivePopup = w;
        Deliver(w, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(prevHandle));
        if ((w = Find(hwnd)))
            Deliver(w, WM_ACTIVATE, MAKEWPARAM(byMouse ? WA_CLICKACTIVE : WA_ACTIVE, (w->style & WS_MINIMIZE) ? 1 : 0),
                    reinterpret_cast<LPARAM>(prevHandle));
    }
    if (setFocus && s.active == w) {
        if (w && Find(hwnd)) {
            if (!s.focus || TopLevelOf(s.focus) != w) SetFocusTo(w);
        } else if (!w && s.focus) {
            SetFocusTo(nullptr);
        }
    }
    if (w && Find(hwnd)) NotifyDisplay(w);
    return s.active == w;
}

void ActivateOtherWindow(Window* leaving)
{
    Window* next = nullptr;
    if (leaving && leaving->owner && CanActivate(leaving->owner)) next = leaving->owner;
    if (!next)
        for (Window* t : S().topLevels)
            if (t != leaving && CanActivate(t) && !(t->exStyle & WS_EX_TOOLWINDOW)) {
                next = t;
                break;
            }
    ActivateWindow(next, false, true);
}

void ReleaseCaptureOf(Window* w)
{
    if (S().capture == w) ReleaseCapture();
}

void ForgetWindow(Window* w)
{
    State& s = S();
    HWND h = w->handle;
    if (s.focus == w) s.focus = nullptr;
    if (s.active == w) s.active = nullptr;
    if (s.capture == w) s.capture = nullptr;
    if (s.lockedUpdate == w) s.lockedUpdate = nullptr;
    if (s.trackHwnd == h) {
        s.trackHwnd = nullptr;
        s.trackFlags = 0;
    }
    if (s.mouseWindow == h) s.mouseWindow = nullptr;
    if (s.lastClickHwnd == h) s.lastClickMsg = 0;
    for (auto& [k, other] : s.windows) {
        if (other->lastActivePopup == w) other->lastActivePopup = nullptr;
        if (other->owner == w) other->owner = nullptr;
    }
    s.posted.erase(std::remove_if(s.posted.begin(), s.posted.end(), [h](const MSG& m) { return m.hwnd == h; }),
                   s.posted.end());
    if (w->shapeRegion) {
        DeleteObject(w->shapeRegion);
        w->shapeRegion = nullptr;
    }
}

}  // namespace quelvo::win::detail

using namespace quelvo::win::detail;
using quelvo::win::KeyInput;
using quelvo::win::MouseInput;

namespace quelvo::win {

void QueueMouseInput(const MouseInput& input)
{
    State& s = S();
    RawInput raw;
    raw.isMouse = true;
    raw.mouse = input;
    raw.time = static_cast<DWORD>(quelvo::sys::NowMs());
    s.cursorPos = input.pt;
    if (input.kind == MouseInput::Kind::Down || input.kind == MouseInput::Kind::Up)
        SetKey(s.asyncKeyState, ButtonVk(input.button), input.kind == MouseInput::Kind::Down);
    s.input.push_back(raw);
}

void QueueKeyInput(const KeyInput& input)
{
    State& s = S();
    RawInput raw;
    raw.isMouse = false;
    raw.key = input;
    raw.time = static_cast<DWORD>(quelvo::sys::NowMs());
    SetKey(s.asyncKeyState, input.vk, input.down);
    s.input.push_back(raw);
}

void ForegroundChangedByDisplay(HWND hwnd)
{
    Window* w = hwnd ? Find(hwnd) : nullptr;
    if (hwnd && (!w || w->parent || w->messageOnly)) return;
    ActivateWindow(w, false, true);
}

WORD StandardCursorId(HCURSOR cursor)
{
    for (int i = 0; i < 14; ++i)
        if (cursor == &gStandardCursors[i]) return kStandardCursorIds[i];
    return 0;
}

}  // namespace quelvo::win

// ---- focus, activation, capture ------------------------------------------

HWND SetFocus(HWND hwnd)
{
    State& s = S();
    HWND prev = s.focus ? s.focus->handle : nullptr;
    if (!hwnd) {
        SetFocusTo(nullptr);
        return prev;
    }
    Window* w = Find(hwnd);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (w == s.focus) return prev;
    for (Window* a = w; a; a = a->parent)
        if (a->style & (WS_MINIMIZE | WS_DISABLED)) return nullptr;
    Window* top = TopLevelOf(w);
    if (!w->messageOnly && top != s.active) {
        ActivateWindow(top, false, false);
        if (S().active != top || !(w = Find(hwnd))) return nullptr;
        prev = S().focus ? S().focus->handle : prev;
    }
    SetFocusTo(w);
    return prev;
}

HWND GetFocus() { return S().focus ? S().focus->handle : nullptr; }

HWND SetActiveWindow(HWND hwnd)
{
    HWND prev = GetActiveWindow();
    Window* w = Find(hwnd);
    if (!w || (w->style & WS_CHILD) || w->messageOnly) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    ActivateWindow(w, false, true);
    return prev;
}

HWND GetActiveWindow() { return S().active ? S().active->handle : nullptr; }

BOOL SetForegroundWindow(HWND hwnd)
{
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    w = TopLevelOf(w);
    if (w->messageOnly) return FALSE;
    return ActivateWindow(w, false, true) ? TRUE : FALSE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

HWND GetLastActivePopup(HWND hwnd)
{
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    Window* p = w->lastActivePopup;
    if (p && Find(p->handle) && (p->style & WS_VISIBLE) && !(p->style & WS_DISABLED)) return p->handle;
    return hwnd;
}

HWND SetCapture(HWND hwnd)
{
    State& s = S();
    Window* w = Find(hwnd);
    HWND prev = s.capture ? s.capture->handle : nullptr;
    if (!w) return prev;
    if (w == s.capture) return prev;
    Window* old = s.capture;
    s.capture = w;
    if (old && Find(prev)) Deliver(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return prev;
}

BOOL ReleaseCapture()
{
    State& s = S();
    Window* old = s.capture;
    if (!old) return TRUE;
    HWND h = old->handle;
    s.capture = nullptr;
    if (Find(h)) Deliver(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture() { return S().capture ? S().capture->handle : nullptr; }

// ---- key state and cursor ------------------------------------------------

SHORT GetKeyState(int vk)
{
    BYTE b = S().keyState[static_cast<std::size_t>(vk & 0xFF)];
    return static_cast<SHORT>(((b & 0x80) ? 0xFF80 : 0) | (b & 0x01));
}

SHORT GetAsyncKeyState(int vk)
{
    BYTE b = S().asyncKeyState[static_cast<std::size_t>(vk & 0xFF)];
    return static_cast<SHORT>((b & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state)
{
    if (!state) return FALSE;
    std::copy(S().keyState.begin(), S().keyState.end(), state);
    return TRUE;
}

BOOL GetCursorPos(LPPOINT pt)
{
    if (!pt) return FALSE;
    // The pointer may be over another program's window (a panel's icon).
    POINT real{};
    *pt = quelvo::win::Display().PointerPosition(real) ? real : S().cursorPos;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    MouseInput m;
    m.kind = MouseInput::Kind::Move;
    m.pt = {x, y};
    quelvo::win::Display().PointerMoved(m.pt);
    quelvo::win::QueueMouseInput(m);
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    State& s = S();
    HCURSOR prev = s.cursor;
    if (cursor != prev) {
        s.cursor = cursor;
        quelvo::win::Display().CursorChanged(cursor);
    }
    return prev;
}

HCURSOR GetCursor() { return S().cursor; }

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
    auto id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    for (int i = 0; i < 14; ++i)
        if (kStandardCursorIds[i] == id) return &gStandardCursors[i];
    return nullptr;
}

int ShowCursor(BOOL show)
{
    int& count = S().cursorShowCount;
    bool wasShown = count >= 0;
    count += show ? 1 : -1;
    if ((count >= 0) != wasShown) quelvo::win::Display().PointerVisible(count >= 0);
    return count;
}

namespace quelvo::win::detail {
LRESULT DefSetCursor(Window* w, WPARAM, LPARAM lParam)
{
    if ((w->style & WS_CHILD) && w->parent) {
        if (SendMessageA(w->parent->handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(w->handle), lParam)) return TRUE;
        if (!Find(w->handle)) return TRUE;
    }
    LRESULT hit = static_cast<SHORT>(LOWORD(lParam));
    LPCSTR shape = IDC_ARROW;
    switch (hit) {
    case HTCLIENT:
        if (w->cls->cursor) {
            SetCursor(w->cls->cursor);
            return TRUE;
        }
        return FALSE;
    case HTLEFT: case HTRIGHT: shape = IDC_SIZEWE; break;
    case HTTOP: case HTBOTTOM: shape = IDC_SIZENS; break;
    case HTTOPLEFT: case HTBOTTOMRIGHT: shape = IDC_SIZENWSE; break;
    case HTTOPRIGHT: case HTBOTTOMLEFT: shape = IDC_SIZENESW; break;
    default: break;
    }
    SetCursor(LoadCursorA(nullptr, shape));
    return FALSE;
}
}  // namespace quelvo::win::detail

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme)
{
    if (!tme) return FALSE;
    State& s = S();
    if (tme->dwFlags & TME_QUERY) {
        tme->dwFlags = s.trackFlags;
        tme->hwndTrack = s.trackHwnd;
        tme->dwHoverTime = s.hoverTime;
        return TRUE;
    }
    if (tme->dwFlags & TME_CANCEL) {
        if (tme->hwndTrack == s.trackHwnd) {
            s.trackFlags &= ~(tme->dwFlags & (TME_HOVER | TME_LEAVE));
            if (!s.trackFlags) s.trackHwnd = nullptr;
        }
        return TRUE;
    }
    Window* w = Find(tme->hwndTrack);
    if (!w) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (s.trackHwnd != tme->hwndTrack) s.trackFlags = 0;
    s.trackHwnd = tme->hwndTrack;
    if (tme->dwFlags & TME_LEAVE) {
        RECT r = ScreenClientRect(w);
        if (s.mouseWindow != tme->hwndTrack || !PtInRect(&r, s.cursorPos)) {
            // Not over the window now: the leave is due at once.
            PostLocal(tme->hwndTrack, WM_MOUSELEAVE, 0, 0);
        } else {
            s.trackFlags |= TME_LEAVE;
        }
    }
    if (tme->dwFlags & TME_HOVER) {
        s.trackFlags |= TME_HOVER;
        DWORD t = tme->dwHoverTime == HOVER_DEFAULT ? s.hoverTime : tme->dwHoverTime;
        s.hoverDue = quelvo::sys::NowMs() + t;
        s.hoverPt = s.cursorPos;
    }
    if (!s.trackFlags) s.trackHwnd = nullptr;
    return TRUE;
}

UINT GetDoubleClickTime() { return S().doubleClickTime; }

BOOL SetDoubleClickTime(UINT ms)
{
    S().doubleClickTime = ms ? ms : 500;
    return TRUE;
}

namespace {
unsigned& BeepCounter()
{
    static unsigned count = 0;
    return count;
}
}  // namespace

BOOL MessageBeep(UINT)
{
    ++BeepCounter();
    quelvo::win::Display().Beep();
    return TRUE;
}

unsigned MessageBeepCount() { return BeepCounter(); }

// ---- dialog keys ---------------------------------------------------------------

namespace {
bool Usable(const Window* w) { return IsVisibleDeep(w) && !(w->style & WS_DISABLED); }

void CollectTabStops(Window* parent, std::vector<Window*>& out)
{
    for (Window* c : parent->children) {
        if (!Usable(c)) continue;
        if (c->exStyle & WS_EX_CONTROLPARENT) CollectTabStops(c, out);
        else if (c->style & WS_TABSTOP) out.push_back(c);
    }
}
}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    Window* d = Find(dialog);
    if (!d) return nullptr;
    std::vector<Window*> stops;
    CollectTabStops(d, stops);
    if (stops.empty()) return control;
    Window* c = Find(control);
    auto it = stops.end();
    for (Window* a = c; a && a != d && it == stops.end(); a = a->parent) it = std::find(stops.begin(), stops.end(), a);
    std::size_t n = stops.size();
    if (it == stops.end()) return (previous ? stops.back() : stops.front())->handle;
    std::size_t i = static_cast<std::size_t>(it - stops.begin());
    i = previous ? (i + n - 1) % n : (i + 1) % n;
    return stops[i]->handle;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    Window* d = Find(dialog);
    Window* c = Find(control);
    if (!d || !c || !c->parent) return nullptr;
    auto& sib = c->parent->children;
    auto pos = std::find(sib.begin(), sib.end(), c);
    if (pos == sib.end()) return control;
    // The group runs from the nearest WS_GROUP at or before c to the next one.
    auto start = pos;
    while (start != sib.begin() && !((*start)->style & WS_GROUP)) --start;
    auto end = pos + 1;
    while (end != sib.end() && !((*end)->style & WS_GROUP)) ++end;
    std::vector<Window*> group(start, end);
    std::size_t n = group.size();
    std::size_t i = static_cast<std::size_t>(std::find(group.begin(), group.end(), c) - group.begin());
    for (std::size_t step = 1; step < n; ++step) {
        std::size_t j = previous ? (i + n - step) % n : (i + step) % n;
        if (Usable(group[j])) return group[j]->handle;
    }
    return control;
}

namespace {

constexpr UINT kClickButton = 0x00F5;      // BM_CLICK of the button class
constexpr UINT kSelectText = 0x00B1;       // EM_SETSEL of the edit class
constexpr DWORD kStaticNoPrefix = 0x0080;  // SS_NOPREFIX of the static class

// Every control of a dialog in tab order, through nested control parents.
void CollectControls(Window* parent, std::vector<Window*>& out)
{
    for (Window* c : parent->children) {
        if (c->exStyle & WS_EX_CONTROLPARENT) CollectControls(c, out);
        else out.push_back(c);
    }
}

bool IsStaticClass(HWND hwnd)
{
    char cls[16]{};
    GetClassNameA(hwnd, cls, sizeof cls);
    return strcasecmp(cls, "STATIC") == 0;
}

void FocusAndSelect(HWND control)
{
    SetFocus(control);
    // An edit control entered from the keyboard has all its text selected.
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(control, kSelectText, 0, -1);
}

// The control whose label carries `key` as mnemonic, searched from the one
// after the focus; a label hands the focus on to the next tab stop after it.
// A button is pressed unless another control shares the mnemonic, in which
// case the focus moves on to it. False when no control has it.
bool DialogMnemonic(HWND dialog, char key)
{
    Window* d = Find(dialog);
    if (!d) return false;
    std::vector<Window*> all;
    CollectControls(d, all);
    std::vector<HWND> controls;
    for (Window* w : all) controls.push_back(w->handle);
    std::size_t n = controls.size();
    std::size_t start = 0;
    HWND focus = GetFocus();
    for (std::size_t i = 0; i < n; ++i)
        if (controls[i] == focus || IsChild(controls[i], focus)) start = i + 1;
    std::vector<std::size_t> matches;
    std::vector<LRESULT> codes;
    for (std::size_t step = 0; step < n; ++step) {
        std::size_t i = (start + step) % n;
        Window* w = Find(controls[i]);
        if (!w || !Usable(w)) continue;
        LRESULT code = SendMessageA(controls[i], WM_GETDLGCODE, 0, 0);
        if (!(code & (DLGC_BUTTON | DLGC_STATIC))) continue;
        if ((code & DLGC_STATIC) && (GetWindowLongA(controls[i], GWL_STYLE) & kStaticNoPrefix) && IsStaticClass(controls[i]))
            continue;
        char text[256]{};
        GetWindowTextA(controls[i], text, sizeof text);
        if (quelvo::win::MnemonicOf(text) != key) continue;
        matches.push_back(i);
        codes.push_back(code);
    }
    if (matches.empty()) return false;
    HWND hit = controls[matches.front()];
    if (codes.front() & DLGC_STATIC) {
        for (std::size_t step = 1; step < n; ++step) {
            Window* w = Find(controls[(matches.front() + step) % n]);
            if (w && Usable(w) && (w->style & WS_TABSTOP)) {
                FocusAndSelect(w->handle);
                break;
            }
        }
        return true;
    }
    if (matches.size() > 1) {
        SetFocus(hit);
        return true;
    }
    SetFocus(hit);
    SendMessageA(hit, kClickButton, 0, 0);
    return true;
}

}  // namespace

char quelvo::win::MnemonicOf(const std::string& label)
{
    for (std::size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
    }
    return 0;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg)
{
    Window* d = Find(dialog);
    if (!d || !msg) return FALSE;
    Window* t = Find(msg->hwnd);
    if (!t || (t != d && !IsDescendant(d, t))) return FALSE;
    if (msg->message == WM_SYSCHAR) {
        char key = static_cast<char>(std::tolower(static_cast<int>(msg->wParam & 0xFF)));
        if (std::isalnum(static_cast<unsigned char>(key)) && DialogMnemonic(dialog, key)) return TRUE;
    }
    if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
        LRESULT code = SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!Find(dialog)) return TRUE;
        bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (msg->message == WM_KEYDOWN && !(code & DLGC_WANTMESSAGE)) {
            switch (static_cast<int>(msg->wParam)) {
            case VK_TAB:
                if (code & DLGC_WANTTAB) break;
                if (HWND next = GetNextDlgTabItem(dialog, GetFocus(), shift)) FocusAndSelect(next);
                return TRUE;
            case VK_LEFT:
            case VK_UP:
            case VK_RIGHT:
            case VK_DOWN:
                if (code & DLGC_WANTARROWS) break;
                if (HWND next = GetNextDlgGroupItem(dialog, GetFocus(),
                                                    msg->wParam == static_cast<WPARAM>(VK_LEFT) ||
                                                        msg->wParam == static_cast<WPARAM>(VK_UP))) {
                    SetFocus(next);
                    // Moving onto a radio button checks it.
                    if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) SendMessageA(next, 0x00F5, 0, 0);
                }
                return TRUE;
            case VK_RETURN: {
                // A focused push button is the one Enter presses.
                if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
                    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(msg->hwnd)), 0),
                                 reinterpret_cast<LPARAM>(msg->hwnd));
                    return TRUE;
                }
                LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
                int id = HIWORD(def) == 0x534B ? LOWORD(def) : IDOK;  // DC_HASDEFID
                HWND button = GetDlgItem(dialog, id);
                if (button && !IsWindowEnabled(button)) return TRUE;
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), reinterpret_cast<LPARAM>(button));
                return TRUE;
            }
            case VK_ESCAPE:
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
                return TRUE;
            default: break;
            }
        }
        if (msg->message == WM_CHAR && !(code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE))) {
            if ((msg->wParam == '\t' && !(code & DLGC_WANTTAB)) || msg->wParam == '\r' || msg->wParam == 27) return TRUE;
            // Where the focus takes no characters, a plain letter is a mnemonic.
            char key = static_cast<char>(std::tolower(static_cast<int>(msg->wParam & 0xFF)));
            if (std::isalnum(static_cast<unsigned char>(key)) && DialogMnemonic(dialog, key)) return TRUE;
        }
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}
