// X events to the window layer: pointer, keys and text, focus and
// activation, and what the window manager does to our windows.
#include "platform/windows/x11/x11_impl.h"

#include <algorithm>
#include <vector>

#include "platform/windows/wm_state.h"
#include "platform/windows/x11/x11_keys.h"

namespace quelvo::win::x11 {

namespace {

// Queues the release of a modifier we hold down that the keyboard does not.
void ReleaseIfUp(int vk, bool reallyDown)
{
    if (reallyDown || !(GetAsyncKeyState(vk) & 0x8000)) return;
    KeyInput up;
    up.vk = vk;
    up.down = false;
    QueueKeyInput(up);
}

void QueueMove(POINT pt)
{
    MouseInput in;
    in.kind = MouseInput::Kind::Move;
    in.pt = pt;
    QueueMouseInput(in);
}

}  // namespace

// ---- input and window-manager events ---------------------------------------------

void X11Display::Impl::HandleEvent(XEvent& ev)
{
    TopWindow* t = ByXid(ev.xany.window);
    if (!t) {
        if (auto it = foreign.find(ev.xany.window); it != foreign.end()) {
            auto handler = it->second;  // may remove itself
            handler(ev);
            return;
        }
        if (ev.type == ClientMessage && ev.xclient.window == root && rootMessages) {
            rootMessages(ev.xclient);
            return;
        }
    }
    switch (ev.type) {
    case Expose:
        if (t) t->dirty = true;
        break;
    case ConfigureNotify:
        if (t && ev.xconfigure.window == t->xid) HandleConfigure(*t);
        break;
    case MapNotify:
        if (t) {
            t->viewable = true;
            t->dirty = true;
            if (t->iconic && ev.xmap.serial >= t->iconifySerial) {
                // The desktop restored a window it had minimized.
                t->iconic = false;
                if (IsIconic(t->hwnd)) ShowWindow(t->hwnd, SW_RESTORE);
                break;
            }
            if (t->framed && GetActiveWindow() == t->hwnd) {
                requestedActive = nullptr;
                RequestActivation(*t);
            }
        }
        break;
    case UnmapNotify:
        if (t) {
            t->viewable = false;
            if (t->mapped && t->framed && !t->iconic && ev.xunmap.serial >= t->mapSerial && IsIconicOnDesktop(*t)) {
                t->iconic = true;  // the desktop minimized it
                if (!IsIconic(t->hwnd)) ShowWindow(t->hwnd, SW_MINIMIZE);
            }
        }
        break;
    case PropertyNotify:
        if (ev.xproperty.window == settingsOwner && ev.xproperty.atom == A("_XSETTINGS_SETTINGS")) ReadDesktopSettings();
        else if (t && ev.xproperty.window == t->xid && ev.xproperty.atom == A("_NET_WM_STATE") && t->framed &&
                 ev.xproperty.serial >= t->maximizeSerial)
            MaximizedStateChanged(*t);
        break;
    case DestroyNotify:
        if (ev.xdestroywindow.window == settingsOwner) settingsOwner = 0;
        break;
    case FocusIn:
        if (t && ev.xfocus.detail != NotifyPointer) HandleFocusIn(*t);
        break;
    case FocusOut:
        if (t && ev.xfocus.detail != NotifyPointer) {
            if (t->ic) XUnsetICFocus(t->ic);
            focusCheckPending = true;
        }
        break;
    case ButtonPress:
    case ButtonRelease:
        HandleButton(ev.xbutton, ev.type == ButtonPress);
        break;
    case MotionNotify: {
        // Only the latest of a run of moves counts; a move queued behind a
        // press or release stays behind it, or a drag would start at its end.
        XEvent next;
        while (XEventsQueued(dpy, QueuedAlready) > 0) {
            XPeekEvent(dpy, &next);
            if (next.type != MotionNotify || next.xmotion.window != ev.xmotion.window) break;
            XNextEvent(dpy, &ev);
        }
        lastEventTime = ev.xmotion.time;
        QueueMove(POINT{ev.xmotion.x_root, ev.xmotion.y_root});
        break;
    }
    case EnterNotify:
    case LeaveNotify:
        if (ev.xcrossing.mode == NotifyNormal && ev.xcrossing.detail != NotifyInferior)
            QueueMove(POINT{ev.xcrossing.x_root, ev.xcrossing.y_root});
        break;
    case KeyPress:
    case KeyRelease:
        HandleKey(t, ev.xkey, ev.type == KeyPress);
        break;
    case ClientMessage:
        if (ev.xclient.message_type == A("WM_PROTOCOLS") && t) {
            auto what = static_cast<Atom>(ev.xclient.data.l[0]);
            if (what == A("WM_DELETE_WINDOW")) {
                if (IsWindowEnabled(t->hwnd)) PostMessageA(t->hwnd, WM_CLOSE, 0, 0);
            } else if (what == A("_NET_WM_PING")) {
                XEvent reply = ev;
                reply.xclient.window = root;
                XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &reply);
            }
        } else {
            HandleDndMessage(ev.xclient);
        }
        break;
    case SelectionRequest: ServeSelectionRequest(ev.xselectionrequest); break;
    case SelectionClear: SelectionCleared(ev.xselectionclear); break;
    case SelectionNotify: HandleDndSelection(ev.xselection); break;
    case MappingNotify:
        if (ev.xmapping.request == MappingKeyboard || ev.xmapping.request == MappingModifier) XRefreshKeyboardMapping(&ev.xmapping);
        break;
    default: break;
    }
}

void X11Display::Impl::MaximizedStateChanged(TopWindow& t)
{
    std::vector<Atom> states = NetStates(t);
    auto has = [&](const char* name) { return std::find(states.begin(), states.end(), A(name)) != states.end(); };
    // Maximised one way only is a tiling of the desktop's, not a maximise.
    bool maximized = has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
    if (maximized == t.maximized) return;
    t.maximized = maximized;
    MaximizedByDisplay(t.hwnd, maximized);
}

bool X11Display::Impl::IsIconicOnDesktop(const TopWindow& t)
{
    std::string bytes;
    Atom type = 0;
    int format = 0;
    if (!GetProperty(t.xid, A("WM_STATE"), false, bytes, type, format) || format != 32 || bytes.size() < sizeof(long))
        return false;
    return *reinterpret_cast<const long*>(bytes.data()) == IconicState;
}

void X11Display::Impl::HandleConfigure(TopWindow& t)
{
    if (t.overrideRedirect) return;  // we place those ourselves
    int x = 0, y = 0;
    ::Window child = 0;
    XWindowAttributes wa{};
    if (!XGetWindowAttributes(dpy, t.xid, &wa)) return;
    XTranslateCoordinates(dpy, t.xid, root, 0, 0, &x, &y, &child);
    RECT g{x, y, x + wa.width, y + wa.height};
    if (SameRect(g, t.geometry)) return;
    t.geometry = g;
    t.dirty = true;
    // The window manager moved or sized us: the window follows, frame
    // included, within its own limits (the X window is then sized back).
    int width = Width(g), height = Height(g);
    if (t.framed && (t.style & WS_THICKFRAME)) {
        const SIZE minimum = MinimumInnerSize(t), maximum = MaximumInnerSize(t);
        width = std::max<int>(width, minimum.cx);
        height = std::max<int>(height, minimum.cy);
        if (maximum.cx > 0) {
            width = std::min<int>(width, maximum.cx);
            height = std::min<int>(height, maximum.cy);
        }
    }
    SetWindowPos(t.hwnd, nullptr, g.left - t.insets.left, g.top - t.insets.top, width + t.insets.left + t.insets.right,
                 height + t.insets.top + t.insets.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

void X11Display::Impl::HandleFocusIn(TopWindow& t)
{
    if (t.ic) XSetICFocus(t.ic);
    focusCheckPending = false;
    ReleaseStaleModifiers();
    HWND target = t.hwnd;
    // A popup of ours that this window owns (a menu, a drop-down) keeps
    // the activation: the keyboard reaches it through this window.
    HWND active = GetActiveWindow();
    auto activeIt = active ? windows.find(active) : windows.end();
    if (activeIt != windows.end() && activeIt->second->overrideRedirect)
        for (HWND o = GetWindow(active, GW_OWNER); o; o = GetWindow(o, GW_OWNER))
            if (o == target) return;
    // A window disabled by a modal one passes the activation on to it: its
    // own dialog, or else the window of ours that is active (a modal form
    // without an owner), which the desktop then raises.
    if (!IsWindowEnabled(target)) {
        HWND popup = GetLastActivePopup(target);
        if (popup && popup != target && IsWindowEnabled(popup)) target = popup;
        else if (active && active != target && IsWindowEnabled(active)) target = active;
        auto it = windows.find(target);
        if (it != windows.end() && target != t.hwnd) {
            requestedActive = nullptr;
            RequestActivation(*it->second);
        }
    }
    if (GetActiveWindow() != target && IsWindowEnabled(target)) {
        requestedActive = target;
        SetActiveWindow(target);
    }
}

void X11Display::Impl::ReleaseStaleModifiers()
{
    // Modifiers let go while another program had the keyboard are up again.
    char keys[32] = {};
    XQueryKeymap(dpy, keys);
    auto down = [&](KeySym sym) {
        ::KeyCode code = XKeysymToKeycode(dpy, sym);
        return code && (keys[code / 8] & (1 << (code % 8)));
    };
    ReleaseIfUp(VK_SHIFT, down(XK_Shift_L) || down(XK_Shift_R));
    ReleaseIfUp(VK_CONTROL, down(XK_Control_L) || down(XK_Control_R));
    ReleaseIfUp(VK_MENU, down(XK_Alt_L) || down(XK_Alt_R) || down(XK_ISO_Level3_Shift));
}

void X11Display::Impl::CheckFocus()
{
    focusCheckPending = false;
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(dpy, &focus, &revert);
    if (focus == PointerRoot || ByXid(focus)) return;
    if (GetActiveWindow()) {
        // Another program has the keyboard now.
        requestedActive = nullptr;
        detail::ActivateWindow(nullptr, false, true);
    }
}

void X11Display::Impl::SyncModifiers(unsigned int state, bool capsKey)
{
    // A modifier released while another program had the keyboard (AltGr,
    // which we take for Alt, is Mod5 on most keyboards).
    ReleaseIfUp(VK_SHIFT, (state & ShiftMask) != 0);
    ReleaseIfUp(VK_CONTROL, (state & ControlMask) != 0);
    ReleaseIfUp(VK_MENU, (state & (Mod1Mask | Mod5Mask)) != 0);
    bool capsX = (state & LockMask) != 0;
    bool capsOurs = (detail::S().asyncKeyState[VK_CAPITAL] & 0x01) != 0;
    if (!capsKey && capsX != capsOurs) {
        KeyInput k;
        k.vk = VK_CAPITAL;
        QueueKeyInput(k);
        k.down = false;
        QueueKeyInput(k);
    }
}

void X11Display::Impl::PostText(const std::string& text)
{
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    if (!target) return;
    // The layer's texts are UTF-8: one character message per byte.
    for (char c : text) PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void X11Display::Impl::HandleKey(TopWindow* t, XKeyEvent& k, bool press)
{
    lastEventTime = k.time;
    KeySym base = XLookupKeysym(&k, 0);
    SyncModifiers(k.state, base == XK_Caps_Lock);
    if (!press) {
        auto it = pressedVk.find(static_cast<int>(k.keycode));
        if (it == pressedVk.end()) return;
        KeyInput up;
        up.vk = it->second;
        up.down = false;
        pressedVk.erase(it);
        QueueKeyInput(up);
        return;
    }
    KeySym sym = NoSymbol;
    std::string text;
    char buf[64];
    if (t && t->ic) {
        Status status = 0;
        int n = Xutf8LookupString(t->ic, &k, buf, sizeof buf, &sym, &status);
        if (status == XBufferOverflow) {
            std::vector<char> big(static_cast<std::size_t>(n) + 1);
            n = Xutf8LookupString(t->ic, &k, big.data(), n, &sym, &status);
            text.assign(big.data(), static_cast<std::size_t>(std::max(0, n)));
        } else if (status == XLookupChars || status == XLookupBoth) {
            text.assign(buf, static_cast<std::size_t>(std::max(0, n)));
        }
        if (status != XLookupKeySym && status != XLookupBoth) sym = NoSymbol;
    } else {
        int n = XLookupString(&k, buf, sizeof buf, &sym, nullptr);
        // Control characters come as they are, the rest from the symbol (UTF-8).
        if (n == 1 && (static_cast<unsigned char>(buf[0]) < 0x20 || buf[0] == 0x7F)) text = std::string(1, buf[0]);
        else if (n > 0) text = TextForKeysym(sym);
    }
    if (k.keycode == 0) {  // text committed by the input method
        PostText(text);
        return;
    }
    // Keypad keys name what Num Lock makes of them (digit or movement).
    KeySym keySym = base;
    if (IsKeypadKey(base)) {
        KeySym withLock = NoSymbol;
        char ignored[8];
        XLookupString(&k, ignored, sizeof ignored, &withLock, nullptr);
        if (withLock != NoSymbol) keySym = withLock;
    }
    VirtualKey code = VirtualKeyFor(keySym);
    if (!code.vk && sym != NoSymbol) code = VirtualKeyFor(sym);
    KeyPlan plan = PlanKeyPress(code, text, (k.state & ShiftMask) != 0, (k.state & LockMask) != 0, (k.state & ControlMask) != 0);
    if (plan.vk) {
        KeyInput in;
        in.vk = plan.vk;
        in.extended = plan.extended;
        QueueKeyInput(in);
        pressedVk[static_cast<int>(k.keycode)] = plan.vk;
    }
    if (!plan.postedText.empty()) PostText(plan.postedText);
}

void X11Display::Impl::HandleButton(const XButtonEvent& b, bool press)
{
    lastEventTime = b.time;
    SyncModifiers(b.state, true);
    MouseInput in;
    in.pt = POINT{b.x_root, b.y_root};
    switch (b.button) {
    case Button1: in.button = MouseButton::Left; break;
    case Button2: in.button = MouseButton::Middle; break;
    case Button3: in.button = MouseButton::Right; break;
    case Button4:
    case Button5:
        if (!press) return;
        in.kind = MouseInput::Kind::Wheel;
        in.wheelDelta = b.button == Button4 ? WHEEL_DELTA : -WHEEL_DELTA;
        QueueMouseInput(in);
        return;
    default: return;  // sideways wheel and extra buttons
    }
    in.kind = press ? MouseInput::Kind::Down : MouseInput::Kind::Up;
    QueueMouseInput(in);
}

void X11Display::Impl::UpdateGrab()
{
    // A capture holds the pointer for us outside our windows while a button
    // is down (the server does that by itself) or while a popup of ours is
    // open (menus and drop-downs close on clicks elsewhere). The keyboard
    // goes with it: a popup opened from a panel's icon has no focused
    // window of ours, and its keys would reach another program.
    HWND cap = GetCapture();
    TopWindow* grabWindow = nullptr;
    bool popupOpen = false;
    for (auto& [h, t] : windows) {
        if (!t->viewable) continue;
        if (t->overrideRedirect && t->alpha == 255) popupOpen = true;
        if (cap && (h == GetAncestor(cap, GA_ROOT) || !grabWindow)) grabWindow = t.get();
    }
    bool want = cap && popupOpen && grabWindow;
    if (want && !grabbing) {
        grabbing = XGrabPointer(dpy, grabWindow->xid, True,
                                ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask,
                                GrabModeAsync, GrabModeAsync, None, None, CurrentTime) == GrabSuccess;
    }
    if (want && grabbing && !keyboardGrabbed) {
        // Tried again while another client holds the keyboard for a moment.
        keyboardGrabbed =
            XGrabKeyboard(dpy, grabWindow->xid, True, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
    } else if (!want && grabbing) {
        XUngrabPointer(dpy, CurrentTime);
        if (keyboardGrabbed) XUngrabKeyboard(dpy, CurrentTime);
        grabbing = keyboardGrabbed = false;
        XFlush(dpy);
    }
}

}  // namespace quelvo::win::x11
