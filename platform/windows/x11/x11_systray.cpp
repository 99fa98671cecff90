// The system-tray protocol: a dock request to the selection owner, the
// XEmbed information the tray reads, and the icon drawn at the size the
// tray gives it.
#include "platform/windows/x11/x11_systray.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/windows/winuser.h"
#include "platform/windows/x11/x11_impl.h"

namespace quelvo::win::x11 {

namespace {

constexpr long kRequestDock = 0;
constexpr long kXembedMapped = 1;
constexpr int kDefaultSide = 22;

std::string TraySelection(const X11Display::Impl& m) { return "_NET_SYSTEM_TRAY_S" + std::to_string(m.screen); }

::Window TrayOwner(X11Display::Impl& m) { return XGetSelectionOwner(m.dpy, m.A(TraySelection(m).c_str())); }

// The picture for a side: the smallest at least as large, else the largest.
const ArgbImage* Fitting(const std::vector<ArgbImage>& pictures, int side)
{
    const ArgbImage* best = nullptr;
    for (const ArgbImage& p : pictures) {
        if (p.Empty()) continue;
        const bool fits = p.width >= side, bestFits = best && best->width >= side;
        if (!best || (fits && (!bestFits || p.width < best->width)) || (!fits && !bestFits && p.width > best->width))
            best = &p;
    }
    return best;
}

}  // namespace

struct SystemTrayIcon::State {
    X11Display::Impl* m = nullptr;
    ::Window xid = 0;
    ::Window tray = 0;
    Colormap colormap = 0;
    bool argb = false;
    int width = kDefaultSide;
    int height = kDefaultSide;
    Handlers handlers;
    std::vector<ArgbImage> pictures;
    Time lastPress = 0;
    unsigned lastButton = 0;
    POINT lastPressAt{};

    void Handle(const XEvent& ev);
    void Draw();
    void Button(const XButtonEvent& b, bool down);
    void Gone();
};

std::unique_ptr<SystemTrayIcon> SystemTrayIcon::Dock(X11Display& display, Handlers handlers)
{
    X11Display::Impl& m = display.Internal();
    if (m.lost) return nullptr;
    const ::Window tray = TrayOwner(m);
    if (!tray) return nullptr;
    auto state = std::make_unique<State>();
    State& s = *state;
    s.m = &m;
    s.tray = tray;
    s.handlers = std::move(handlers);
    // A tray that offers a translucent visual blends the icon itself;
    // otherwise the icon shows the tray's background behind it.
    std::string bytes;
    Atom type = 0;
    int format = 0;
    s.argb = m.argbVisual && m.GetProperty(tray, m.A("_NET_SYSTEM_TRAY_VISUAL"), false, bytes, type, format) &&
             format == 32 && bytes.size() >= sizeof(long) &&
             static_cast<VisualID>(*reinterpret_cast<const long*>(bytes.data())) == XVisualIDFromVisual(m.argbVisual);
    XSetWindowAttributes a{};
    unsigned long mask = CWEventMask | CWBorderPixel;
    a.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | EnterWindowMask |
                   LeaveWindowMask;
    a.border_pixel = 0;
    Visual* visual = m.visual;
    int depth = m.depth;
    if (s.argb) {
        visual = m.argbVisual;
        depth = 32;
        s.colormap = XCreateColormap(m.dpy, m.root, visual, AllocNone);
        a.colormap = s.colormap;
        a.background_pixel = 0;
        mask |= CWColormap | CWBackPixel;
    } else {
        a.background_pixmap = ParentRelative;
        mask |= CWBackPixmap;
    }
    s.xid = XCreateWindow(m.dpy, m.root, 0, 0, kDefaultSide, kDefaultSide, 0, depth, InputOutput, visual, mask, &a);
    long info[2] = {0, kXembedMapped};
    XChangeProperty(m.dpy, s.xid, m.A("_XEMBED_INFO"), m.A("_XEMBED_INFO"), 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(info), 2);
    XSelectInput(m.dpy, tray, StructureNotifyMask);
    State* self = &s;
    m.foreign[s.xid] = [self](const XEvent& ev) { self->Handle(ev); };
    m.foreign[tray] = [self](const XEvent& ev) {
        if (ev.type == DestroyNotify && ev.xdestroywindow.window == self->tray) self->Gone();
    };
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = tray;
    ev.xclient.message_type = m.A("_NET_SYSTEM_TRAY_OPCODE");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(m.lastEventTime);
    ev.xclient.data.l[1] = kRequestDock;
    ev.xclient.data.l[2] = static_cast<long>(s.xid);
    XSendEvent(m.dpy, tray, False, NoEventMask, &ev);
    XFlush(m.dpy);
    return std::unique_ptr<SystemTrayIcon>(new SystemTrayIcon(std::move(state)));
}

SystemTrayIcon::SystemTrayIcon(std::unique_ptr<State> state) : state_(std::move(state)) {}

SystemTrayIcon::~SystemTrayIcon()
{
    State& s = *state_;
    X11Display::Impl& m = *s.m;
    m.foreign.erase(s.xid);
    if (s.tray) m.foreign.erase(s.tray);
    if (m.lost) return;
    // The tray lets go of an icon whose window is destroyed.
    XDestroyWindow(m.dpy, s.xid);
    if (s.colormap) XFreeColormap(m.dpy, s.colormap);
    XFlush(m.dpy);
}

unsigned long SystemTrayIcon::XWindow() const { return state_->xid; }

void SystemTrayIcon::SetPictures(std::vector<ArgbImage> pictures)
{
    state_->pictures = std::move(pictures);
    state_->Draw();
}

void SystemTrayIcon::State::Gone()
{
    m->foreign.erase(tray);
    tray = 0;
    // A copy: the handler may end this icon.
    if (auto gone = handlers.gone) gone();
}

void SystemTrayIcon::State::Handle(const XEvent& ev)
{
    switch (ev.type) {
    case Expose:
        if (ev.xexpose.count == 0) Draw();
        break;
    case ConfigureNotify:
        width = std::max(1, ev.xconfigure.width);
        height = std::max(1, ev.xconfigure.height);
        Draw();
        break;
    case ReparentNotify:
        // Back on the root window: the tray let go of us (it is ending).
        if (ev.xreparent.parent == m->root && tray) Gone();
        break;
    case DestroyNotify:
        // Destroyed with a tray that did not give its icons back.
        if (ev.xdestroywindow.window == xid && tray) Gone();
        break;
    case ButtonPress:
    case ButtonRelease:
        Button(ev.xbutton, ev.type == ButtonPress);
        break;
    case EnterNotify:
    case LeaveNotify:
        if (ev.xcrossing.detail != NotifyInferior && handlers.hover) handlers.hover(ev.type == EnterNotify);
        break;
    default: break;
    }
}

void SystemTrayIcon::State::Button(const XButtonEvent& b, bool down)
{
    m->lastEventTime = b.time;
    MouseButton which = MouseButton::Left;
    switch (b.button) {
    case Button1: which = MouseButton::Left; break;
    case Button2: which = MouseButton::Middle; break;
    case Button3: which = MouseButton::Right; break;
    default: return;  // wheels and extra buttons
    }
    bool doubleClick = false;
    if (down) {
        const int distance = std::max(1, GetSystemMetrics(SM_CXDOUBLECLK) / 2);
        doubleClick = b.button == lastButton && lastPress != 0 && b.time - lastPress <= GetDoubleClickTime() &&
                      std::abs(b.x_root - lastPressAt.x) <= distance && std::abs(b.y_root - lastPressAt.y) <= distance;
        // A third press starts over, as on Windows.
        lastPress = doubleClick ? 0 : b.time;
        lastButton = b.button;
        lastPressAt = POINT{b.x_root, b.y_root};
    }
    if (handlers.button) handlers.button(which, down, doubleClick);
}

void SystemTrayIcon::State::Draw()
{
    if (m->lost || !xid) return;
    const int side = std::min(width, height);
    const ArgbImage* picture = Fitting(pictures, side);
    XClearWindow(m->dpy, xid);
    if (!picture) {
        XFlush(m->dpy);
        return;
    }
    // Nearest-neighbour to the side the tray gives, centred.
    const int ox = (width - side) / 2, oy = (height - side) / 2;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            pixels[static_cast<std::size_t>(y * side + x)] =
                picture->pixels[static_cast<std::size_t>(y * picture->height / side * picture->width + x * picture->width / side)];
    GC gc = XCreateGC(m->dpy, xid, 0, nullptr);
    if (argb) {
        for (std::uint32_t& p : pixels) {  // premultiplied, as the compositor expects
            const std::uint32_t a = p >> 24;
            p = (a << 24) | ((((p >> 16) & 0xFF) * a / 255) << 16) | ((((p >> 8) & 0xFF) * a / 255) << 8) | ((p & 0xFF) * a / 255);
        }
    } else {
        // Without translucency: the more-opaque-than-not pixels, over the
        // tray's own background.
        const int stride = (side + 7) / 8;
        std::vector<char> bits(static_cast<std::size_t>(stride) * static_cast<std::size_t>(side), 0);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if ((pixels[static_cast<std::size_t>(y * side + x)] >> 24) >= 128)
                    bits[static_cast<std::size_t>(y * stride + x / 8)] |= static_cast<char>(1 << (x % 8));
        Pixmap clip = XCreateBitmapFromData(m->dpy, xid, bits.data(), static_cast<unsigned>(side), static_cast<unsigned>(side));
        XSetClipMask(m->dpy, gc, clip);
        XSetClipOrigin(m->dpy, gc, ox, oy);
        XFreePixmap(m->dpy, clip);
    }
    XImage* image = XCreateImage(m->dpy, argb ? m->argbVisual : m->visual, static_cast<unsigned>(argb ? 32 : m->depth),
                                 ZPixmap, 0, reinterpret_cast<char*>(pixels.data()), static_cast<unsigned>(side),
                                 static_cast<unsigned>(side), 32, side * 4);
    if (image) {
        image->byte_order = LSBFirst;  // our pixels are host words
        if (std::uint32_t probe = 1; *reinterpret_cast<unsigned char*>(&probe) != 1) image->byte_order = MSBFirst;
        XPutImage(m->dpy, xid, gc, image, 0, 0, ox, oy, static_cast<unsigned>(side), static_cast<unsigned>(side));
        image->data = nullptr;  // the pixels are not Xlib's to free
        XDestroyImage(image);
    }
    XFreeGC(m->dpy, gc);
    XFlush(m->dpy);
}

bool SystemTrayPresent(X11Display& display)
{
    X11Display::Impl& m = display.Internal();
    return !m.lost && TrayOwner(m) != 0;
}

void WatchSystemTray(X11Display& display, std::function<void()> appeared)
{
    X11Display::Impl& m = display.Internal();
    if (m.lost) return;
    if (!appeared) {
        m.rootMessages = nullptr;
        return;
    }
    // A starting tray announces itself to the root window's structure
    // listeners.
    XWindowAttributes wa{};
    XGetWindowAttributes(m.dpy, m.root, &wa);
    XSelectInput(m.dpy, m.root, wa.your_event_mask | StructureNotifyMask);
    const Atom manager = m.A("MANAGER");
    const Atom selection = m.A(TraySelection(m).c_str());
    m.rootMessages = [manager, selection, appeared = std::move(appeared)](const XClientMessageEvent& ev) {
        if (ev.message_type == manager && static_cast<Atom>(ev.data.l[1]) == selection) appeared();
    };
    XFlush(m.dpy);
}

}  // namespace quelvo::win::x11
