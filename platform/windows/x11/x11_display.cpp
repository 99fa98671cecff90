// The X11 display: X windows for our top-level windows, presenting, input,
// activation and window-manager requests.
#include "platform/windows/x11/x11_impl.h"

#include <X11/XKBlib.h>
#include <X11/Xcursor/Xcursor.h>
#include <X11/cursorfont.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>
#include <errno.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/windows/app_icons.h"
#include "platform/windows/loop.h"
#include "platform/windows/wm_state.h"
#include "platform/windows/x11/dropfiles.h"
#include "platform/windows/x11/layered.h"
#include "platform/windows/x11/x11_icons.h"
#include "platform/windows/x11/x11_settings.h"

namespace quelvo::win::x11 {

namespace {

int gLastXError = 0;

// The default handler ends the process; a window of another client that
// vanished mid-request is no reason for that.
int KeepErrors(::Display*, XErrorEvent* e)
{
    gLastXError = e->error_code;
    return 0;
}

// Xlib would end the process; we close our windows instead, so that the
// program ends through its own code (as on SIGHUP). The global handler only
// returns, which lets each connection's exit handler decide: ours closes,
// other connections keep Xlib's ending.
int QuietIoError(::Display*) { return 0; }
void OnIoError(::Display*, void* impl) { static_cast<X11Display::Impl*>(impl)->ConnectionLost(); }

BOOL PostClose(HWND hwnd, LPARAM)
{
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

std::uint64_t SteadyMs()
{
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}


bool IsTrueColour888(const Visual* v)
{
    return v && v->c_class == TrueColor && v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
}

// The display whose X windows follow destroyed windows (one per process).
X11Display::Impl* gHookOwner = nullptr;

LRESULT WatchSent(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = gHookOwner ? gHookOwner->callHook : nullptr;
    if (code == HC_ACTION && gHookOwner) {
        const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (cwp && cwp->message == WM_NCDESTROY) gHookOwner->Forget(cwp->hwnd);
        // Told before or after the change: the grab is checked once idle.
        if (cwp && cwp->message == WM_CAPTURECHANGED) gHookOwner->Wake();
    }
    return CallNextHookEx(self, code, wParam, lParam);
}

LRESULT WatchRetrieved(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK self = gHookOwner ? gHookOwner->getMessageHook : nullptr;
    if (code == HC_ACTION && gHookOwner) gHookOwner->CaptureMayHaveChanged();
    return CallNextHookEx(self, code, wParam, lParam);
}

constexpr LONG kMaxSide = 16384;

// A dialog box, owned or not: the dialog class, or the dialog frame styles
// (DS_MODALFRAME is the controls layer's name for 0x80).
bool IsDialog(const TopWindow& t)
{
    constexpr DWORD kModalFrame = 0x80;
    char cls[16] = {};
    GetClassNameA(t.hwnd, cls, sizeof cls);
    return std::strcmp(cls, "#32770") == 0 || (t.style & kModalFrame) || (t.exStyle & WS_EX_DLGMODALFRAME);
}

constexpr long kEventMask = ExposureMask | StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                            FocusChangeMask | PropertyChangeMask;

}  // namespace

// ---- images -------------------------------------------------------------

void PresentImage::Release(::Display* dpy, bool serverGone)
{
    if (!image) return;
    if (usesShm) {
        if (!serverGone) {
            XShmDetach(dpy, &shm);
            XSync(dpy, False);
        }
        shmdt(shm.shmaddr);
    }
    image->data = nullptr;  // the pixels are not Xlib's to free
    XDestroyImage(image);
    image = nullptr;
    usesShm = false;
    plain.clear();
    shm = XShmSegmentInfo{};
}

namespace {

// A shared-memory image, or null when the server cannot attach it (a
// remote display); errors are checked synchronously once.
XImage* CreateShmImage(::Display* dpy, Visual* visual, int depth, int w, int h, XShmSegmentInfo& shm)
{
    XImage* img = XShmCreateImage(dpy, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &shm,
                                  static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!img) return nullptr;
    shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(img->bytes_per_line) * static_cast<std::size_t>(h), IPC_CREAT | 0600);
    if (shm.shmid < 0) {
        XDestroyImage(img);
        return nullptr;
    }
    shm.shmaddr = img->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    if (shm.shmaddr == reinterpret_cast<char*>(-1)) {
        shmctl(shm.shmid, IPC_RMID, nullptr);
        img->data = nullptr;
        XDestroyImage(img);
        return nullptr;
    }
    shm.readOnly = False;
    gLastXError = 0;
    XShmAttach(dpy, &shm);
    XSync(dpy, False);
    shmctl(shm.shmid, IPC_RMID, nullptr);  // freed once both sides detach
    if (gLastXError) {
        shmdt(shm.shmaddr);
        img->data = nullptr;
        XDestroyImage(img);
        return nullptr;
    }
    return img;
}

}  // namespace

// ---- the connection -------------------------------------------------------

Atom X11Display::Impl::A(const char* name)
{
    auto it = atoms.find(name);
    if (it != atoms.end()) return it->second;
    Atom a = XInternAtom(dpy, name, False);
    atoms.emplace(name, a);
    return a;
}

TopWindow* X11Display::Impl::ByXid(::Window xid)
{
    auto it = byXid.find(xid);
    return it == byXid.end() ? nullptr : it->second;
}

X11Display::X11Display(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<X11Display> X11Display::Open(const std::string& name, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::unique_ptr<X11Display> {
        if (error) *error = why;
        return nullptr;
    };
    const char* env = std::getenv("DISPLAY");
    std::string shown = !name.empty() ? name : (env ? env : "");
    if (shown.empty()) return fail("no X display named (DISPLAY is not set)");
    ::Display* dpy = XOpenDisplay(shown.c_str());
    if (!dpy) return fail("cannot open X display \"" + shown + "\"");
    XSetErrorHandler(&KeepErrors);
    auto impl = std::make_unique<Impl>();
    Impl& m = *impl;
    m.dpy = dpy;
    m.screen = DefaultScreen(dpy);
    m.root = RootWindow(dpy, m.screen);
    m.visual = DefaultVisual(dpy, m.screen);
    m.depth = DefaultDepth(dpy, m.screen);
    if (!IsTrueColour888(m.visual) || (m.depth != 24 && m.depth != 32)) {
        XCloseDisplay(dpy);
        return fail("X display \"" + shown + "\" has no 24-bit true-colour visual");
    }
    XVisualInfo vi{};
    if (XMatchVisualInfo(dpy, m.screen, 32, TrueColor, &vi) && IsTrueColour888(vi.visual)) m.argbVisual = vi.visual;
    m.shmAvailable = XShmQueryExtension(dpy) == True;
    m.utility = XCreateSimpleWindow(dpy, m.root, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(dpy, m.utility, PropertyChangeMask);
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(dpy, True, &detectable);  // repeats without fake releases
    {
        // The input method works in the user's character locale (composing,
        // input-method servers); the program's own locale is left as it was.
        std::string saved = std::setlocale(LC_CTYPE, nullptr) ? std::setlocale(LC_CTYPE, nullptr) : "C";
        std::setlocale(LC_CTYPE, "");
        if (!XSupportsLocale()) std::setlocale(LC_CTYPE, "C.UTF-8");
        XSetLocaleModifiers("");
        if (XSupportsLocale()) m.im = XOpenIM(dpy, nullptr, nullptr, nullptr);
        std::setlocale(LC_CTYPE, saved.c_str());
    }

    // A window manager that follows the desktop conventions announces itself.
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy, m.root, m.A("_NET_SUPPORTING_WM_CHECK"), 0, 1, False, XA_WINDOW, &type, &format, &n,
                           &after, &data) == Success &&
        data) {
        m.wmPresent = n == 1;
        XFree(data);
    }

    m.ReadDesktopSettings();
    XSetIOErrorHandler(&QuietIoError);
    XSetIOErrorExitHandler(dpy, &OnIoError, impl.get());

    m.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    Impl* self = impl.get();
    m.xSource = AddLoopSource(ConnectionNumber(dpy), [self] {
        self->DispatchPending();
        self->Wake();
    });
    m.wakeSource = AddLoopSource(m.wakeFd, [self] { self->OnWake(); });
    gHookOwner = self;
    m.callHook = SetWindowsHookExA(WH_CALLWNDPROC, &WatchSent, nullptr, GetCurrentThreadId());
    m.getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, &WatchRetrieved, nullptr, GetCurrentThreadId());
    return std::unique_ptr<X11Display>(new X11Display(std::move(impl)));
}

X11Display::~X11Display()
{
    Impl& m = *impl_;
    RemoveLoopSource(m.xSource);
    RemoveLoopSource(m.wakeSource);
    UnhookWindowsHookEx(m.callHook);
    UnhookWindowsHookEx(m.getMessageHook);
    if (gHookOwner == &m) gHookOwner = nullptr;
    for (auto& [h, t] : m.windows) m.DestroyXWindow(*t);
    m.windows.clear();
    if (m.im) XCloseIM(m.im);
    if (!m.lost) {
        for (auto& [id, c] : m.cursorCache) XFreeCursor(m.dpy, c);
        if (m.customCursor) XFreeCursor(m.dpy, m.customCursor);
        if (m.invisibleCursor) XFreeCursor(m.dpy, m.invisibleCursor);
        XDestroyWindow(m.dpy, m.utility);
    }
    XCloseDisplay(m.dpy);
    if (m.wakeFd >= 0) close(m.wakeFd);
}

SIZE X11Display::ScreenSize() const
{
    return SIZE{DisplayWidth(impl_->dpy, impl_->screen), DisplayHeight(impl_->dpy, impl_->screen)};
}

RECT X11Display::WorkArea() const
{
    Impl& m = *impl_;
    SIZE s = ScreenSize();
    RECT area{0, 0, s.cx, s.cy};
    if (m.lost) return area;
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m.dpy, m.root, m.A("_NET_WORKAREA"), 0, 4, False, XA_CARDINAL, &type, &format, &n, &after,
                           &data) == Success &&
        data) {
        if (format == 32 && n >= 4) {
            const long* v = reinterpret_cast<const long*>(data);  // format 32 arrives as longs
            RECT r{static_cast<LONG>(v[0]), static_cast<LONG>(v[1]), static_cast<LONG>(v[0] + v[2]),
                   static_cast<LONG>(v[1] + v[3])};
            if (Width(r) > 0 && Height(r) > 0) area = r;
        }
        XFree(data);
    }
    return area;
}

std::vector<RECT> X11Display::Monitors() const
{
    Impl& m = *impl_;
    std::vector<RECT> out;
    int events = 0, errors = 0;
    if (!m.lost && XRRQueryExtension(m.dpy, &events, &errors)) {
        int count = 0;
        if (XRRMonitorInfo* mons = XRRGetMonitors(m.dpy, m.root, True, &count)) {
            for (int i = 0; i < count; ++i) {
                RECT r{mons[i].x, mons[i].y, mons[i].x + mons[i].width, mons[i].y + mons[i].height};
                if (mons[i].primary) out.insert(out.begin(), r);  // the layer takes the first as primary
                else out.push_back(r);
            }
            XRRFreeMonitors(mons);
        }
    }
    if (out.empty()) {
        SIZE s = ScreenSize();
        out.push_back(RECT{0, 0, s.cx, s.cy});
    }
    return out;
}

unsigned long X11Display::XWindowOf(HWND hwnd) const
{
    auto it = impl_->windows.find(hwnd);
    return it == impl_->windows.end() ? 0 : it->second->xid;
}

void X11Display::Dispatch()
{
    if (impl_->lost) return;
    impl_->DispatchPending();
    impl_->PresentDirty();
}

void X11Display::Flush()
{
    if (impl_->lost) return;
    impl_->DispatchPending();
    impl_->PresentDirty();
    XSync(impl_->dpy, False);
    if (XQLength(impl_->dpy) > 0) impl_->Wake();
}

void X11Display::WindowChanged(HWND hwnd)
{
    Impl& m = *impl_;
    if (m.lost) return;
    if (m.inWindowChanged) {
        auto it = m.windows.find(hwnd);
        if (it != m.windows.end()) it->second->dirty = true;
        m.Wake();
        return;
    }
    m.inWindowChanged = true;
    m.SyncWindow(hwnd);
    m.inWindowChanged = false;
    m.Wake();
}

void X11Display::CursorChanged(HCURSOR cursor)
{
    Impl& m = *impl_;
    if (impl_->lost) return;
    WORD id = StandardCursorId(cursor);
    unsigned shape = XC_left_ptr;
    switch (id) {
    case IDC_IBEAM_ID: shape = XC_xterm; break;
    case IDC_WAIT_ID: shape = XC_watch; break;
    case IDC_APPSTARTING_ID: shape = XC_watch; break;
    case IDC_CROSS_ID: shape = XC_crosshair; break;
    case IDC_UPARROW_ID: shape = XC_sb_up_arrow; break;
    case IDC_SIZENWSE_ID: shape = XC_bottom_right_corner; break;
    case IDC_SIZENESW_ID: shape = XC_bottom_left_corner; break;
    case IDC_SIZEWE_ID: shape = XC_sb_h_double_arrow; break;
    case IDC_SIZENS_ID: shape = XC_sb_v_double_arrow; break;
    case IDC_SIZEALL_ID: shape = XC_fleur; break;
    case IDC_NO_ID: shape = XC_X_cursor; break;
    case IDC_HAND_ID: shape = XC_hand2; break;
    case IDC_HELP_ID: shape = XC_question_arrow; break;
    default: break;  // the arrow, and cursor images of our own for now
    }
    Cursor c = 0;
    if (!id) c = m.CustomCursor(cursor);  // our own picture, or none to hide it
    if (!c) {
        auto key = static_cast<int>(shape);
        auto it = m.cursorCache.find(key);
        c = it != m.cursorCache.end() ? it->second : m.cursorCache[key] = XCreateFontCursor(m.dpy, shape);
    }
    if (c == m.cursor) return;
    m.cursor = c;
    if (!m.pointerHidden) m.ShowCursorOnWindows(c);
}

void X11Display::Impl::ShowCursorOnWindows(Cursor c)
{
    for (auto& [h, t] : windows)
        if (t->xid) XDefineCursor(dpy, t->xid, c);
    XFlush(dpy);
}

Cursor X11Display::Impl::ShownCursor()
{
    if (!pointerHidden) return cursor;
    if (!invisibleCursor) {
        // A 1x1 cursor with an empty mask.
        char bit = 0;
        Pixmap empty = XCreateBitmapFromData(dpy, root, &bit, 1, 1);
        if (!empty) return cursor;
        XColor black{};
        invisibleCursor = XCreatePixmapCursor(dpy, empty, empty, &black, &black, 0, 0);
        XFreePixmap(dpy, empty);
    }
    return invisibleCursor ? invisibleCursor : cursor;
}

void X11Display::PointerMoved(POINT pt)
{
    Impl& m = *impl_;
    if (m.lost) return;
    XWarpPointer(m.dpy, None, m.root, 0, 0, 0, 0, pt.x, pt.y);
    XFlush(m.dpy);
}

bool X11Display::PointerPosition(POINT& out) const
{
    Impl& m = *impl_;
    if (m.lost) return false;
    ::Window rootReturn = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    // False when the pointer is on another screen of the display.
    if (!XQueryPointer(m.dpy, m.root, &rootReturn, &child, &x, &y, &wx, &wy, &mask)) return false;
    out = POINT{x, y};
    return true;
}

void X11Display::Beep()
{
    Impl& m = *impl_;
    if (m.lost) return;
    XBell(m.dpy, 0);
    XFlush(m.dpy);
}

void X11Display::PointerVisible(bool visible)
{
    Impl& m = *impl_;
    if (m.lost || m.pointerHidden == !visible) return;
    m.pointerHidden = !visible;
    m.ShowCursorOnWindows(m.ShownCursor());
}

Cursor X11Display::Impl::CustomCursor(HCURSOR handle)
{
    // Made anew each time: a handle may be destroyed and its value reused.
    ArgbImage image;
    if (handle) {
        image = IconImage(handle);
        if (image.Empty()) return 0;  // not a picture we can read: the arrow
    } else {
        image.width = image.height = 1;  // no cursor: an invisible one
        image.pixels.assign(1, 0);
    }
    XcursorImage* xi = XcursorImageCreate(image.width, image.height);
    if (!xi) return 0;
    xi->xhot = static_cast<XcursorDim>(std::clamp<LONG>(image.hotspot.x, 0, image.width - 1));
    xi->yhot = static_cast<XcursorDim>(std::clamp<LONG>(image.hotspot.y, 0, image.height - 1));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        std::uint32_t p = image.pixels[i], a = p >> 24;
        // Xcursor takes premultiplied pixels.
        xi->pixels[i] = (a << 24) | ((((p >> 16) & 0xFF) * a / 255) << 16) | ((((p >> 8) & 0xFF) * a / 255) << 8) |
                        ((p & 0xFF) * a / 255);
    }
    Cursor c = XcursorImageLoadCursor(dpy, xi);
    XcursorImageDestroy(xi);
    if (!c) return 0;
    // The server keeps a freed cursor while windows still show it.
    if (customCursor) XFreeCursor(dpy, customCursor);
    customCursor = c;
    return c;
}

void X11Display::Impl::ReadDesktopSettings()
{
    std::string name = "_XSETTINGS_S" + std::to_string(screen);
    ::Window owner = XGetSelectionOwner(dpy, A(name.c_str()));
    if (owner != settingsOwner && owner) XSelectInput(dpy, owner, PropertyChangeMask | StructureNotifyMask);
    settingsOwner = owner;
    if (!owner) return;
    std::string bytes;
    Atom type = 0;
    int format = 0;
    if (!GetProperty(owner, A("_XSETTINGS_SETTINGS"), false, bytes, type, format) || format != 8) return;
    auto values = ParseXSettingsIntegers(bytes);
    auto take = [&](const char* key, int lo, int hi) {
        auto it = values.find(key);
        return it != values.end() && it->second >= lo && it->second <= hi ? it->second : 0;
    };
    if (int ms = take("Net/DoubleClickTime", 50, 5000)) SetDoubleClickTime(static_cast<UINT>(ms));
    dragThreshold = take("Net/DndDragThreshold", 1, 200);
    doubleClickDistance = take("Net/DoubleClickDistance", 1, 200);
}

int X11Display::DragThreshold() const { return impl_->dragThreshold; }
int X11Display::DoubleClickDistance() const { return impl_->doubleClickDistance; }

// ---- waking the loop ---------------------------------------------------------

void X11Display::Impl::Wake()
{
    if (wakeArmed || wakeFd < 0) return;
    std::uint64_t one = 1;
    if (write(wakeFd, &one, sizeof one) == sizeof one) wakeArmed = true;
}

void X11Display::Impl::OnWake()
{
    if (lost) {
        std::uint64_t count = 0;
        if (read(wakeFd, &count, sizeof count) >= 0) wakeArmed = false;
        return;
    }
    DispatchPending();
    // Let pending paints finish first, so that one present shows them all;
    // a window that never validates is still shown now and then.
    if ((GetQueueStatus(QS_PAINT) & QS_PAINT) && SteadyMs() - lastPresentMs < 50) return;
    std::uint64_t count = 0;
    if (read(wakeFd, &count, sizeof count) < 0 && errno != EAGAIN) return;
    wakeArmed = false;
    PresentDirty();
    UpdateGrab();
    if (XQLength(dpy) > 0) Wake();  // events Xlib read while we talked to the server
}

void X11Display::Impl::DispatchPending()
{
    if (inDispatch || lost) return;
    inDispatch = true;
    while (XPending(dpy) > 0) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        if (XFilterEvent(&ev, None)) continue;
        HandleEvent(ev);
    }
    if (focusCheckPending) CheckFocus();
    UpdateGrab();
    inDispatch = false;
}

bool WaitForEvent(X11Display::Impl& m, int timeoutMs, const std::function<bool(const XEvent&)>& match, XEvent& out)
{
    std::uint64_t end = SteadyMs() + static_cast<std::uint64_t>(std::max(0, timeoutMs));
    XFlush(m.dpy);
    for (;;) {
        while (XPending(m.dpy) > 0) {
            XNextEvent(m.dpy, &out);
            if (match(out)) return true;
            if (XFilterEvent(&out, None)) continue;
            m.HandleEvent(out);
        }
        std::uint64_t now = SteadyMs();
        if (now >= end) return false;
        pollfd p{ConnectionNumber(m.dpy), POLLIN, 0};
        poll(&p, 1, static_cast<int>(std::min<std::uint64_t>(end - now, 100)));
    }
}

// ---- windows ---------------------------------------------------------------

void X11Display::Impl::SweepDead()
{
    for (auto it = windows.begin(); it != windows.end();) {
        if (IsWindow(it->first)) {
            ++it;
            continue;
        }
        if (requestedActive == it->first) requestedActive = nullptr;
        DestroyXWindow(*it->second);
        it = windows.erase(it);
    }
}

void X11Display::Impl::Forget(HWND hwnd)
{
    auto it = windows.find(hwnd);
    if (it == windows.end()) return;
    if (requestedActive == hwnd) requestedActive = nullptr;
    DestroyXWindow(*it->second);
    windows.erase(it);
    if (!lost) XFlush(dpy);
}

void X11Display::Impl::SyncWindow(HWND hwnd)
{
    SweepDead();
    if (!IsWindow(hwnd)) return;
    auto style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    auto ex = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE));
    // A child without a parent (a drop-down that leaves the focus with its
    // owner) is shown on its own, like a captionless popup.
    const bool child = (style & WS_CHILD) != 0;
    if (child && GetParent(hwnd)) return;
    bool visible = (style & WS_VISIBLE) != 0;
    auto it = windows.find(hwnd);
    if (!visible && it == windows.end()) return;  // hidden windows are never created on the server
    if (!TopLevelSurface(hwnd)) return;           // message-only windows stay ours
    if (it == windows.end()) {
        auto t = std::make_unique<TopWindow>();
        t->hwnd = hwnd;
        it = windows.emplace(hwnd, std::move(t)).first;
    }
    TopWindow& t = *it->second;
    bool framed = !child && (style & WS_CAPTION) == WS_CAPTION;
    bool overrideRedirect = child || (!framed && (style & WS_POPUP));
    BYTE alpha = WindowAlpha(hwnd);
    bool argb = overrideRedirect && alpha < 255 && argbVisual;
    if (t.xid && (t.framed != framed || t.overrideRedirect != overrideRedirect || t.argb != argb)) DestroyXWindow(t);
    t.framed = framed;
    t.overrideRedirect = overrideRedirect;
    t.argb = argb;
    t.alpha = alpha;

    RECT wr{};
    GetWindowRect(hwnd, &wr);
    RECT ins = framed ? detail::NonClientInsets(style & ~(WS_VSCROLL | WS_HSCROLL), ex, false) : RECT{0, 0, 0, 0};
    RECT want{wr.left + ins.left, wr.top + ins.top, wr.right - ins.right, wr.bottom - ins.bottom};
    // The protocol's coordinates are 16-bit; a larger window shows its
    // first 16384 pixels each way (as far as our surfaces go anyway).
    want.left = std::clamp<LONG>(want.left, -32768, 32767);
    want.top = std::clamp<LONG>(want.top, -32768, 32767);
    want.right = want.left + std::clamp<LONG>(want.right - want.left, 1, kMaxSide);
    want.bottom = want.top + std::clamp<LONG>(want.bottom - want.top, 1, kMaxSide);
    t.insets = ins;
    t.style = style;
    t.exStyle = ex;
    bool created = false;
    if (!t.xid) {
        t.geometry = want;
        CreateXWindow(t);
        created = true;
    } else if (!SameRect(want, t.geometry)) {
        t.geometry = want;
        if (!t.overrideRedirect) SetSizeHints(t);
        XMoveResizeWindow(dpy, t.xid, want.left, want.top, static_cast<unsigned>(Width(want)),
                          static_cast<unsigned>(Height(want)));
    }
    SetProperties(t, created);
    SyncShape(t);
    if (visible && !t.mapped) {
        t.mapped = true;
        if (lastEventTime != CurrentTime && !t.overrideRedirect) {
            // Shown in answer to the user's last input: the desktop may focus it.
            long time = static_cast<long>(lastEventTime);
            XChangeProperty(dpy, t.xid, A("_NET_WM_USER_TIME"), XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&time), 1);
        }
        t.mapSerial = NextRequest(dpy);
        XMapRaised(dpy, t.xid);
    } else if (!visible && t.mapped) {
        t.mapped = false;
        t.viewable = false;
        XUnmapWindow(dpy, t.xid);
        t.image.Release(dpy);  // a hidden window needs no pixels on the way
        if (requestedActive == hwnd) requestedActive = nullptr;
    }
    if (visible && framed) SyncIconic(t, (style & WS_MINIMIZE) != 0);
    // Popups place themselves: the highest of our popups is on top of the desktop.
    if (visible && overrideRedirect && !created && IsTopPopup(hwnd)) XRaiseWindow(dpy, t.xid);
    t.dirty = true;
    if (visible && framed && GetActiveWindow() == hwnd) RequestActivation(t);
    UpdateGrab();
}

bool X11Display::Impl::IsTopPopup(HWND hwnd)
{
    for (HWND above = GetWindow(hwnd, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        auto it = windows.find(above);
        if (it != windows.end() && it->second->overrideRedirect && it->second->mapped) return false;
    }
    return true;
}

void X11Display::Impl::SyncIconic(TopWindow& t, bool minimized)
{
    if (minimized && !t.iconic && t.mapped) {
        t.iconic = true;
        t.iconifySerial = NextRequest(dpy);
        XIconifyWindow(dpy, t.xid, screen);
    } else if (!minimized && t.iconic) {
        t.iconic = false;
        t.mapSerial = NextRequest(dpy);
        XMapWindow(dpy, t.xid);  // mapping again restores an iconified window
    }
    bool maximized = (t.style & WS_MAXIMIZE) != 0;
    if (maximized != t.maximized) {
        t.maximized = maximized;
        t.maximizeSerial = NextRequest(dpy);
        SetNetState(t, "_NET_WM_STATE_MAXIMIZED_VERT", maximized);
        SetNetState(t, "_NET_WM_STATE_MAXIMIZED_HORZ", maximized);
    }
}

void X11Display::Impl::SyncShape(TopWindow& t)
{
    detail::Window* w = detail::Find(t.hwnd);
    bool shaped = w && w->shapeRegion;
    std::vector<RECT> rects;
    if (shaped)
        for (RECT r : gfx::RegionRects(w->shapeRegion))  // window coordinates: ours include the frame
            rects.push_back(RECT{r.left - t.insets.left, r.top - t.insets.top, r.right - t.insets.left, r.bottom - t.insets.top});
    bool same = shaped == t.shaped && rects.size() == t.shape.size() &&
                std::equal(rects.begin(), rects.end(), t.shape.begin(), SameRect);
    if (same) return;
    t.shaped = shaped;
    t.shape = rects;
    if (!shaped) {
        XShapeCombineMask(dpy, t.xid, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> xr;
    for (const RECT& r : rects) {
        auto clampPos = [](LONG v) { return static_cast<short>(std::clamp<LONG>(v, -32768, 32767)); };
        auto clampLen = [](LONG v) { return static_cast<unsigned short>(std::clamp<LONG>(v, 0, 65535)); };
        xr.push_back(XRectangle{clampPos(r.left), clampPos(r.top), clampLen(r.right - r.left), clampLen(r.bottom - r.top)});
    }
    XShapeCombineRectangles(dpy, t.xid, ShapeBounding, 0, 0, xr.data(), static_cast<int>(xr.size()), ShapeSet, Unsorted);
}

void X11Display::Impl::SetIcon(TopWindow& t)
{
    std::vector<HICON> icons = WindowIcons(t.hwnd);
    if (icons == t.icons) return;
    t.icons = icons;
    // Each picture: width, height, then the pixels, each a CARDINAL (a long
    // to Xlib); the desktop picks the size it shows.
    std::vector<long> data;
    for (HICON icon : icons) {
        ArgbImage image = IconImage(icon);
        if (image.Empty()) continue;
        data.push_back(image.width);
        data.push_back(image.height);
        data.insert(data.end(), image.pixels.begin(), image.pixels.end());
    }
    if (data.empty()) {
        XDeleteProperty(dpy, t.xid, A("_NET_WM_ICON"));
        return;
    }
    XChangeProperty(dpy, t.xid, A("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
}

void X11Display::Impl::SetAllowedActions(TopWindow& t)
{
    // The window manager offers what the style has: no maximise or
    // minimise button without WS_MAXIMIZEBOX / WS_MINIMIZEBOX, no sizing
    // without a sizing frame, no close button without a system menu.
    enum : long { kFunctions = 1, kDecorations = 2 };
    enum : long { kFnResize = 2, kFnMove = 4, kFnMinimize = 8, kFnMaximize = 16, kFnClose = 32 };
    enum : long { kDeBorder = 2, kDeResize = 4, kDeTitle = 8, kDeMenu = 16, kDeMinimize = 32, kDeMaximize = 64 };
    long functions = kFnMove, decorations = kDeBorder | kDeTitle;
    if (t.style & WS_THICKFRAME) functions |= kFnResize, decorations |= kDeResize;
    if (t.style & WS_MINIMIZEBOX) functions |= kFnMinimize, decorations |= kDeMinimize;
    if (t.style & WS_MAXIMIZEBOX) functions |= kFnMaximize, decorations |= kDeMaximize;
    if (t.style & WS_SYSMENU) functions |= kFnClose, decorations |= kDeMenu;
    if (functions == t.motif[0] && decorations == t.motif[1]) return;
    t.motif[0] = functions;
    t.motif[1] = decorations;
    long hints[5] = {kFunctions | kDecorations, functions, decorations, 0, 0};
    Atom motif = A("_MOTIF_WM_HINTS");
    XChangeProperty(dpy, t.xid, motif, motif, 32, PropModeReplace, reinterpret_cast<unsigned char*>(hints), 5);
}

void X11Display::Impl::CreateXWindow(TopWindow& t)
{
    XSetWindowAttributes a{};
    unsigned long mask = CWBackPixmap | CWBorderPixel | CWEventMask | CWOverrideRedirect;
    a.background_pixmap = None;  // no server-side clearing before we present
    a.border_pixel = 0;
    a.event_mask = kEventMask;
    a.override_redirect = t.overrideRedirect ? True : False;
    Visual* v = visual;
    int d = depth;
    if (t.argb) {
        v = argbVisual;
        d = 32;
        t.colormap = XCreateColormap(dpy, root, v, AllocNone);
        a.colormap = t.colormap;
        mask |= CWColormap;
    }
    if (Cursor shown = ShownCursor()) {
        a.cursor = shown;
        mask |= CWCursor;
    }
    t.xid = XCreateWindow(dpy, root, t.geometry.left, t.geometry.top, static_cast<unsigned>(Width(t.geometry)),
                          static_cast<unsigned>(Height(t.geometry)), 0, d, InputOutput, v, mask, &a);
    byXid[t.xid] = &t;
    t.gc = XCreateGC(dpy, t.xid, 0, nullptr);
    t.mapped = t.viewable = false;
    t.title.clear();
    t.transientFor = 0;
    t.modal = t.above = t.dndAware = t.iconic = t.maximized = t.shaped = false;
    t.shape.clear();
    t.icons.clear();
    t.motif[0] = t.motif[1] = -1;

    if (t.exStyle & WS_EX_TRANSPARENT) {
        // Clicks pass through, to whatever lies below.
        XShapeCombineRectangles(dpy, t.xid, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    }
    Atom protocols[] = {A("WM_DELETE_WINDOW"), A("_NET_WM_PING")};
    XSetWMProtocols(dpy, t.xid, protocols, 2);
    XClassHint cls{};
    std::string resName = program_invocation_short_name ? program_invocation_short_name : "quelvo";
    std::string resClass = "Quelvo";
    cls.res_name = resName.data();
    cls.res_class = resClass.data();
    XSetClassHint(dpy, t.xid, &cls);
    long pid = static_cast<long>(getpid());
    XChangeProperty(dpy, t.xid, A("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        XChangeProperty(dpy, t.xid, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<unsigned char*>(host), static_cast<int>(std::strlen(host)));
    }
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = t.overrideRedirect ? False : True;
    hints.initial_state = NormalState;
    XSetWMHints(dpy, t.xid, &hints);
    SetSizeHints(t);

    const char* kind = "_NET_WM_WINDOW_TYPE_NORMAL";
    if (t.overrideRedirect) kind = t.alpha < 255 ? "_NET_WM_WINDOW_TYPE_DND" : "_NET_WM_WINDOW_TYPE_POPUP_MENU";
    else if (t.exStyle & WS_EX_TOOLWINDOW) kind = "_NET_WM_WINDOW_TYPE_UTILITY";
    else if (GetWindow(t.hwnd, GW_OWNER) || IsDialog(t)) kind = "_NET_WM_WINDOW_TYPE_DIALOG";
    Atom kindAtom = A(kind);
    XChangeProperty(dpy, t.xid, A("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&kindAtom), 1);
    if (t.alpha < 255 && !t.argb) {
        // No translucent visual: the compositor's window opacity instead.
        unsigned long opacity = static_cast<unsigned long>(t.alpha) * 0x01010101ul;
        XChangeProperty(dpy, t.xid, A("_NET_WM_WINDOW_OPACITY"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&opacity), 1);
    }
    if (im && !t.overrideRedirect) {
        t.ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, t.xid, XNFocusWindow,
                         t.xid, nullptr);
        long filter = 0;
        if (t.ic && !XGetICValues(t.ic, XNFilterEvents, &filter, nullptr)) XSelectInput(dpy, t.xid, kEventMask | filter);
    }
}

void X11Display::Impl::CaptureMayHaveChanged()
{
    HWND capture = GetCapture();
    if (lost || capture == lastCapture) return;
    lastCapture = capture;
    UpdateGrab();
    XFlush(dpy);
    if (XQLength(dpy) > 0) Wake();  // events read while grabbing
}

void X11Display::Impl::ConnectionLost()
{
    if (lost) return;
    lost = true;
    std::fprintf(stderr, "The connection to the X display broke; closing the windows\n");
    RemoveLoopSource(xSource);
    xSource = 0;
    grabbing = keyboardGrabbed = false;
    EnumWindows(&PostClose, 0);
}

void X11Display::Impl::SetSizeHints(TopWindow& t)
{
    XSizeHints size{};
    size.flags = PPosition | USPosition | PSize;
    size.x = t.geometry.left;
    size.y = t.geometry.top;
    size.width = Width(t.geometry);
    size.height = Height(t.geometry);
    if (!(t.style & WS_THICKFRAME)) {
        // Not sizable by the user: the desktop keeps the size we give.
        size.flags |= PMinSize | PMaxSize;
        size.min_width = size.max_width = size.width;
        size.min_height = size.max_height = size.height;
    } else if (t.framed) {
        // The window's own limits, for the X window inside our frame.
        const SIZE minimum = MinimumInnerSize(t), maximum = MaximumInnerSize(t);
        size.flags |= PMinSize;
        size.min_width = minimum.cx;
        size.min_height = minimum.cy;
        if (maximum.cx > 0) {
            size.flags |= PMaxSize;
            size.max_width = maximum.cx;
            size.max_height = maximum.cy;
        }
    }
    XSetWMNormalHints(dpy, t.xid, &size);
}

SIZE X11Display::Impl::MinimumInnerSize(const TopWindow& t) const
{
    const MINMAXINFO mmi = detail::TrackLimits(t.hwnd);
    return SIZE{std::max<LONG>(1, mmi.ptMinTrackSize.x - t.insets.left - t.insets.right),
                std::max<LONG>(1, mmi.ptMinTrackSize.y - t.insets.top - t.insets.bottom)};
}

SIZE X11Display::Impl::MaximumInnerSize(const TopWindow& t) const
{
    // Only a limit the window sets itself: the system's default follows
    // the screen, which the desktop knows better.
    const MINMAXINFO mmi = detail::TrackLimits(t.hwnd);
    const MINMAXINFO defaults = detail::DefaultMinMaxInfo();
    if (mmi.ptMaxTrackSize.x == defaults.ptMaxTrackSize.x && mmi.ptMaxTrackSize.y == defaults.ptMaxTrackSize.y)
        return SIZE{0, 0};
    const SIZE minimum = MinimumInnerSize(t);
    return SIZE{std::max<LONG>(minimum.cx, mmi.ptMaxTrackSize.x - t.insets.left - t.insets.right),
                std::max<LONG>(minimum.cy, mmi.ptMaxTrackSize.y - t.insets.top - t.insets.bottom)};
}

void X11Display::Impl::DestroyXWindow(TopWindow& t)
{
    if (!t.xid) return;
    if (lost) {
        // Only what lives on our side is freed; Xlib drops the requests.
        t.image.Release(dpy, true);
        if (t.ic) XDestroyIC(t.ic);
        if (t.gc) XFreeGC(dpy, t.gc);
        byXid.erase(t.xid);
        HWND hwnd = t.hwnd;
        t = TopWindow{};
        t.hwnd = hwnd;
        return;
    }
    if (t.ic) XDestroyIC(t.ic);
    t.ic = nullptr;
    t.image.Release(dpy);
    if (t.gc) XFreeGC(dpy, t.gc);
    t.gc = nullptr;
    byXid.erase(t.xid);
    XDestroyWindow(dpy, t.xid);
    if (t.colormap) XFreeColormap(dpy, t.colormap);
    t.colormap = 0;
    t.xid = 0;
    t.mapped = t.viewable = false;
    if (dnd.target && !ByXid(dnd.target)) dnd = DndState{};
}

std::vector<Atom> X11Display::Impl::NetStates(const TopWindow& t)
{
    std::string bytes;
    Atom type = 0;
    int format = 0;
    std::vector<Atom> list;
    if (GetProperty(t.xid, A("_NET_WM_STATE"), false, bytes, type, format) && format == 32) {
        const long* v = reinterpret_cast<const long*>(bytes.data());  // format 32 arrives as longs
        for (std::size_t i = 0; i < bytes.size() / sizeof(long); ++i) list.push_back(static_cast<Atom>(v[i]));
    }
    return list;
}

void X11Display::Impl::SetNetState(TopWindow& t, const char* state, bool on)
{
    Atom stateAtom = A(state);
    if (!t.mapped) {
        // Before mapping the property itself is read by the window manager.
        std::vector<Atom> list = NetStates(t);
        list.erase(std::remove(list.begin(), list.end(), stateAtom), list.end());
        if (on) list.push_back(stateAtom);
        XChangeProperty(dpy, t.xid, A("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(list.data()), static_cast<int>(list.size()));
        return;
    }
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = t.xid;
    ev.xclient.message_type = A("_NET_WM_STATE");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = on ? 1 : 0;
    ev.xclient.data.l[1] = static_cast<long>(stateAtom);
    ev.xclient.data.l[3] = 1;
    XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
}

void X11Display::Impl::SetProperties(TopWindow& t, bool initial)
{
    int len = GetWindowTextLengthA(t.hwnd);
    std::string title(static_cast<std::size_t>(std::max(0, len)) + 1, '\0');
    title.resize(static_cast<std::size_t>(std::max(0, GetWindowTextA(t.hwnd, title.data(), len + 1))));
    if (initial || title != t.title) {
        t.title = title;
        auto* bytes = reinterpret_cast<unsigned char*>(title.data());
        int n = static_cast<int>(title.size());
        for (const char* prop : {"_NET_WM_NAME", "WM_NAME", "_NET_WM_ICON_NAME", "WM_ICON_NAME"})
            XChangeProperty(dpy, t.xid, A(prop), A("UTF8_STRING"), 8, PropModeReplace, bytes, n);
    }
    if (t.overrideRedirect) {
        SetDndAware(t, AcceptsDroppedFiles(t.hwnd));
        return;
    }
    SetIcon(t);
    if (t.framed) SetAllowedActions(t);
    HWND owner = GetWindow(t.hwnd, GW_OWNER);
    auto ownerIt = owner ? windows.find(owner) : windows.end();
    ::Window transientFor = ownerIt != windows.end() ? ownerIt->second->xid : 0;
    if (transientFor != t.transientFor) {
        t.transientFor = transientFor;
        if (transientFor) XSetTransientForHint(dpy, t.xid, transientFor);
        else XDeleteProperty(dpy, t.xid, XA_WM_TRANSIENT_FOR);
    }
    bool modal = owner && !IsWindowEnabled(owner);
    if (initial || modal != t.modal) {
        t.modal = modal;
        SetNetState(t, "_NET_WM_STATE_MODAL", modal);
    }
    bool above = (t.exStyle & WS_EX_TOPMOST) != 0;
    if (initial || above != t.above) {
        t.above = above;
        SetNetState(t, "_NET_WM_STATE_ABOVE", above);
    }
    if (initial && (owner || (t.exStyle & WS_EX_TOOLWINDOW))) SetNetState(t, "_NET_WM_STATE_SKIP_TASKBAR", true);
    SetDndAware(t, AcceptsDroppedFiles(t.hwnd));
}

void X11Display::Impl::RequestActivation(TopWindow& t)
{
    if (requestedActive == t.hwnd || !t.viewable) return;
    requestedActive = t.hwnd;
    if (wmPresent) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = t.xid;
        ev.xclient.message_type = A("_NET_ACTIVE_WINDOW");
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = 1;  // a normal application
        ev.xclient.data.l[1] = static_cast<long>(lastEventTime);
        XSendEvent(dpy, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    } else {
        XSetInputFocus(dpy, t.xid, RevertToParent, CurrentTime);
    }
}

// ---- presenting --------------------------------------------------------------

void X11Display::Impl::PresentDirty()
{
    bool any = false;
    for (auto& [h, t] : windows)
        if (t->dirty && t->viewable && t->xid) {
            Present(*t);
            t->dirty = false;
            any = true;
        }
    if (any) XFlush(dpy);
    lastPresentMs = SteadyMs();
}

void X11Display::Impl::Present(TopWindow& t)
{
    gfx::Surface* s = TopLevelSurface(t.hwnd);
    if (!s || s->Empty()) return;
    // Only the part on the screen: what moves into view is exposed and
    // presented then, and images stay screen-sized however large the window.
    int screenW = DisplayWidth(dpy, screen), screenH = DisplayHeight(dpy, screen);
    int vx = std::max<LONG>(0, -t.geometry.left), vy = std::max<LONG>(0, -t.geometry.top);
    int w = std::min<LONG>(Width(t.geometry), screenW - t.geometry.left) - vx;
    int h = std::min<LONG>(Height(t.geometry), screenH - t.geometry.top) - vy;
    if (w <= 0 || h <= 0) return;
    Visual* v = t.argb ? argbVisual : visual;
    int d = t.argb ? 32 : depth;
    PresentImage& pi = t.image;
    if (!pi.image || pi.image->width != w || pi.image->height != h || pi.image->depth != d) {
        pi.Release(dpy);
        if (shmAvailable) {
            pi.image = CreateShmImage(dpy, v, d, w, h, pi.shm);
            pi.usesShm = pi.image != nullptr;
            if (!pi.image) shmAvailable = false;  // the server cannot share memory with us
        }
        if (!pi.image) {
            pi.plain.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0);
            pi.image = XCreateImage(dpy, v, static_cast<unsigned>(d), ZPixmap, 0, pi.plain.data(),
                                    static_cast<unsigned>(w), static_cast<unsigned>(h), 32, w * 4);
            if (!pi.image) {
                pi.plain.clear();
                return;
            }
            pi.image->byte_order = LSBFirst;  // our pixels are host words
            if (std::uint32_t probe = 1; *reinterpret_cast<unsigned char*>(&probe) != 1) pi.image->byte_order = MSBFirst;
        }
    }
    int ox = t.insets.left + vx, oy = t.insets.top + vy;
    std::uint32_t a = t.alpha;
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(pi.image->data + static_cast<std::ptrdiff_t>(y) * pi.image->bytes_per_line);
        int sy = y + oy;
        if (sy >= s->Height()) {
            std::fill(out, out + w, 0xFF000000u);
            continue;
        }
        const gfx::Pixel* in = s->Row(sy);
        for (int x = 0; x < w; ++x) {
            int sx = x + ox;
            std::uint32_t p = sx < s->Width() ? in[sx] : 0;
            if (t.argb) {
                // Premultiplied, as the compositor expects of 32-bit visuals.
                std::uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
                out[x] = (a << 24) | (r << 16) | (g << 8) | b;
            } else {
                out[x] = p | 0xFF000000u;
            }
        }
    }
    if (pi.usesShm)
        XShmPutImage(dpy, t.xid, t.gc, pi.image, 0, 0, vx, vy, static_cast<unsigned>(w), static_cast<unsigned>(h), False);
    else
        XPutImage(dpy, t.xid, t.gc, pi.image, 0, 0, vx, vy, static_cast<unsigned>(w), static_cast<unsigned>(h));
}

// ---- installing ------------------------------------------------------------------

bool UseDesktopDisplay()
{
    const char* env = std::getenv("DISPLAY");
    if (!env || !*env) return false;
    std::string error;
    auto x = X11Display::Open({}, &error);
    if (!x) {
        std::fprintf(stderr, "%s; showing no windows\n", error.c_str());
        return false;
    }
    SetDisplay(std::move(x));
    return true;
}

X11Display* CurrentX11Display() { return dynamic_cast<X11Display*>(&Display()); }

}  // namespace quelvo::win::x11
