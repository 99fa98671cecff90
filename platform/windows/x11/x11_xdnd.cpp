// Files dragged from other programs (the XDND protocol, target side): a
// drop of text/uri-list on a window that accepts files becomes WM_DROPFILES.
#include "platform/windows/x11/x11_impl.h"

#include <unistd.h>

#include "platform/windows/x11/dropfiles.h"

namespace quelvo::win::x11 {

namespace {

constexpr unsigned long kXdndVersion = 5;

// The window under a screen point that takes files: the deepest window
// there, or the nearest ancestor of it that accepts them.
HWND DropTargetAt(POINT pt)
{
    for (HWND h = WindowFromPoint(pt); h; h = GetParent(h))
        if (AcceptsDroppedFiles(h)) return h;
    return nullptr;
}

}  // namespace

void X11Display::Impl::SetDndAware(TopWindow& t, bool aware)
{
    // Children may accept files too, so a top-level window is aware when
    // it or any window inside it accepts them.
    if (!aware) {
        struct Search {
            static BOOL Visit(HWND h, LPARAM found)
            {
                if (AcceptsDroppedFiles(h)) *reinterpret_cast<bool*>(found) = true;
                return TRUE;
            }
        };
        EnumChildWindows(t.hwnd, &Search::Visit, reinterpret_cast<LPARAM>(&aware));
    }
    if (aware == t.dndAware) return;
    t.dndAware = aware;
    if (aware) {
        Atom version = kXdndVersion;
        XChangeProperty(dpy, t.xid, A("XdndAware"), XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&version), 1);
    } else {
        XDeleteProperty(dpy, t.xid, A("XdndAware"));
    }
}

namespace {

void SendToSource(::Display* dpy, ::Window source, Atom type, const long (&data)[5])
{
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = source;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    for (int i = 0; i < 5; ++i) ev.xclient.data.l[i] = data[i];
    XSendEvent(dpy, source, False, NoEventMask, &ev);
    XFlush(dpy);
}

}  // namespace

bool X11Display::Impl::HandleDndMessage(const XClientMessageEvent& ev)
{
    TopWindow* t = ByXid(ev.window);
    Atom type = ev.message_type;
    auto source = static_cast<::Window>(ev.data.l[0]);
    if (type == A("XdndEnter")) {
        if (!t) return true;
        dnd = DndState{};
        dnd.source = source;
        dnd.target = ev.window;
        dnd.hwnd = t->hwnd;
        dnd.version = static_cast<unsigned long>(ev.data.l[1]) >> 24;
        Atom uriList = A("text/uri-list");
        if (ev.data.l[1] & 1) {
            // More than three types: the source lists them in a property.
            std::string bytes;
            Atom listType = 0;
            int format = 0;
            if (GetProperty(source, A("XdndTypeList"), false, bytes, listType, format) && format == 32) {
                const long* v = reinterpret_cast<const long*>(bytes.data());
                for (std::size_t i = 0; i < bytes.size() / sizeof(long); ++i)
                    if (static_cast<Atom>(v[i]) == uriList) dnd.hasUriList = true;
            }
        } else {
            for (int i = 2; i < 5; ++i)
                if (static_cast<Atom>(ev.data.l[i]) == uriList) dnd.hasUriList = true;
        }
        return true;
    }
    if (type == A("XdndPosition")) {
        if (!t || source != dnd.source) return true;
        dnd.pt = POINT{static_cast<int>((ev.data.l[2] >> 16) & 0xFFFF), static_cast<int>(ev.data.l[2] & 0xFFFF)};
        dnd.accepted = dnd.hasUriList && DropTargetAt(dnd.pt) != nullptr;
        long reply[5] = {static_cast<long>(ev.window), dnd.accepted ? 3L : 2L, 0, 0,
                         dnd.accepted ? static_cast<long>(A("XdndActionCopy")) : 0L};
        SendToSource(dpy, source, A("XdndStatus"), reply);
        return true;
    }
    if (type == A("XdndLeave")) {
        if (source == dnd.source) dnd = DndState{};
        return true;
    }
    if (type == A("XdndDrop")) {
        if (!t || source != dnd.source) return true;
        if (!dnd.accepted) {
            long reply[5] = {static_cast<long>(ev.window), 0, 0, 0, 0};
            SendToSource(dpy, source, A("XdndFinished"), reply);
            dnd = DndState{};
            return true;
        }
        auto time = dnd.version >= 1 ? static_cast<Time>(ev.data.l[2]) : CurrentTime;
        XDeleteProperty(dpy, utility, A("QUELVO_DROP"));
        XConvertSelection(dpy, A("XdndSelection"), A("text/uri-list"), A("QUELVO_DROP"), utility, time);
        XFlush(dpy);
        return true;  // the data arrives as SelectionNotify
    }
    return false;
}

bool X11Display::Impl::HandleDndSelection(const XSelectionEvent& ev)
{
    if (ev.requestor != utility || ev.selection != A("XdndSelection") || !dnd.source) return false;
    bool done = false;
    std::string bytes;
    Atom type = 0;
    int format = 0;
    if (ev.property != None && GetProperty(utility, ev.property, true, bytes, type, format) && format == 8) {
        char host[256] = {};
        gethostname(host, sizeof host - 1);
        std::vector<std::string> paths = PathsFromUriList(bytes, host);
        HWND target = DropTargetAt(dnd.pt);
        if (target && !paths.empty()) {
            POINT pt = dnd.pt;
            ScreenToClient(target, &pt);
            done = PostDroppedFiles(target, paths, pt);
        }
    }
    long reply[5] = {static_cast<long>(dnd.target), done ? 1L : 0L, done ? static_cast<long>(A("XdndActionCopy")) : 0L,
                     0, 0};
    SendToSource(dpy, dnd.source, A("XdndFinished"), reply);
    dnd = DndState{};
    return true;
}

}  // namespace quelvo::win::x11
