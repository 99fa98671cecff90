// The CLIPBOARD selection: offering items to other programs and reading
// theirs (incremental transfers included).
#include "platform/windows/x11/x11_impl.h"

#include <algorithm>
#include <climits>

#include "platform/system/text_conversion.h"

namespace quelvo::win::x11 {

namespace {

constexpr std::size_t kMaxTransfer = 256u << 20;

constexpr const char* kTextTypes[] = {"UTF8_STRING", "text/plain;charset=utf-8", "text/plain", "STRING", "TEXT"};

bool IsTextType(const std::string& type)
{
    return std::find(std::begin(kTextTypes), std::end(kTextTypes), type) != std::end(kTextTypes);
}

// An offered item that answers a request for `type` (text answers every
// text name).
const X11Display::ClipboardItem* FindItem(const std::vector<X11Display::ClipboardItem>& items, const std::string& type)
{
    for (const auto& item : items)
        if (item.type == type) return &item;
    if (IsTextType(type))
        for (const auto& item : items)
            if (IsTextType(item.type)) return &item;
    return nullptr;
}

}  // namespace

bool X11Display::Impl::GetProperty(::Window w, Atom prop, bool remove, std::string& bytes, Atom& type, int& format)
{
    bytes.clear();
    type = 0;
    format = 0;
    long offset = 0;
    for (;;) {
        Atom t = 0;
        int f = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy, w, prop, offset, 65536, False, AnyPropertyType, &t, &f, &n, &after, &data) != Success)
            return false;
        if (t == None) {
            if (data) XFree(data);
            return false;
        }
        type = t;
        format = f;
        // Format 32 arrives as an array of longs, whatever their width.
        std::size_t unit = f == 32 ? sizeof(long) : static_cast<std::size_t>(f / 8);
        if (data) {
            bytes.append(reinterpret_cast<const char*>(data), n * unit);
            XFree(data);
        }
        offset += static_cast<long>(n * static_cast<unsigned long>(f / 8) / 4);
        if (after == 0) break;
    }
    if (remove) XDeleteProperty(dpy, w, prop);
    return true;
}

bool X11Display::OfferClipboard(std::vector<ClipboardItem> items)
{
    Impl& m = *impl_;
    if (m.lost) return false;
    m.clipboard = std::move(items);
    XSetSelectionOwner(m.dpy, m.A("CLIPBOARD"), m.utility, m.lastEventTime);
    m.ownsClipboard = XGetSelectionOwner(m.dpy, m.A("CLIPBOARD")) == m.utility;
    if (!m.ownsClipboard) m.clipboard.clear();
    return m.ownsClipboard;
}

void X11Display::Impl::SelectionCleared(const XSelectionClearEvent& ev)
{
    if (ev.selection != A("CLIPBOARD") || ev.window != utility) return;
    // A clear that was queued before we took the selection back is stale.
    if (!lost && XGetSelectionOwner(dpy, A("CLIPBOARD")) == utility) return;
    ownsClipboard = false;
    clipboard.clear();
    if (clipboardLost) clipboardLost();
}

void X11Display::SetClipboardLostHandler(std::function<void()> handler) { impl_->clipboardLost = std::move(handler); }

void X11Display::Impl::ServeSelectionRequest(const XSelectionRequestEvent& req)
{
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = req.requestor;
    reply.xselection.selection = req.selection;
    reply.xselection.target = req.target;
    reply.xselection.time = req.time;
    reply.xselection.property = None;
    Atom property = req.property != None ? req.property : req.target;  // old clients name no property
    if (req.selection == A("CLIPBOARD") && ownsClipboard && req.owner == utility) {
        char* name = XGetAtomName(dpy, req.target);
        std::string target = name ? name : "";
        if (name) XFree(name);
        if (target == "TARGETS") {
            std::vector<Atom> list{A("TARGETS")};
            for (const auto& item : clipboard) {
                if (IsTextType(item.type)) {
                    for (const char* t : kTextTypes) list.push_back(A(t));
                } else {
                    list.push_back(A(item.type.c_str()));
                }
            }
            XChangeProperty(dpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(list.data()), static_cast<int>(list.size()));
            reply.xselection.property = property;
        } else if (const ClipboardItem* item = FindItem(clipboard, target)) {
            // Larger items would need an incremental transfer, which we do not
            // serve; big requests let a property hold megabytes.
            long units = XExtendedMaxRequestSize(dpy) ? XExtendedMaxRequestSize(dpy) : XMaxRequestSize(dpy);
            auto limit = static_cast<std::size_t>(units) * 4 - 64;
            if (item->data.size() <= limit) {
                Atom type = IsTextType(target) && target != "TEXT" ? req.target : A(IsTextType(target) ? "UTF8_STRING" : target.c_str());
                XChangeProperty(dpy, req.requestor, property, type, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(item->data.data()),
                                static_cast<int>(item->data.size()));
                reply.xselection.property = property;
            }
        }
    }
    XSendEvent(dpy, req.requestor, False, NoEventMask, &reply);
    XFlush(dpy);
}

bool X11Display::Impl::WaitForSelection(Atom selection, Atom target, Atom property, std::string& out, Atom& type,
                                        int timeoutMs)
{
    XDeleteProperty(dpy, utility, property);
    XConvertSelection(dpy, selection, target, property, utility, lastEventTime);
    XEvent ev;
    bool got = WaitForEvent(*this, timeoutMs,
                            [&](const XEvent& e) {
                                return e.type == SelectionNotify && e.xselection.requestor == utility &&
                                       e.xselection.selection == selection;
                            },
                            ev);
    if (!got || ev.xselection.property == None) return false;
    int format = 0;
    if (!GetProperty(utility, property, true, out, type, format)) return false;
    if (type != A("INCR")) return true;
    // Incremental: each deletion asks for the next chunk; an empty one ends.
    out.clear();
    for (;;) {
        XEvent pe;
        if (!WaitForEvent(*this, timeoutMs,
                          [&](const XEvent& e) {
                              return e.type == PropertyNotify && e.xproperty.window == utility &&
                                     e.xproperty.atom == property && e.xproperty.state == PropertyNewValue;
                          },
                          pe))
            return false;
        std::string chunk;
        if (!GetProperty(utility, property, true, chunk, type, format)) return false;
        if (chunk.empty()) return true;
        if (out.size() + chunk.size() > kMaxTransfer) return false;  // an owner that never ends
        out += chunk;
    }
}

bool X11Display::ReadClipboard(const std::string& type, std::string& out, int timeoutMs)
{
    Impl& m = *impl_;
    out.clear();
    if (m.lost) return false;
    if (m.ownsClipboard) {
        const ClipboardItem* item = FindItem(m.clipboard, type);
        if (!item) return false;
        out = item->data;
        return true;
    }
    if (XGetSelectionOwner(m.dpy, m.A("CLIPBOARD")) == None) return false;
    Atom got = 0;
    return m.WaitForSelection(m.A("CLIPBOARD"), m.A(type.c_str()), m.A("QUELVO_CLIPBOARD"), out, got, timeoutMs);
}

std::vector<std::string> X11Display::ClipboardTypes(int timeoutMs)
{
    Impl& m = *impl_;
    std::vector<std::string> types;
    if (m.lost) return types;
    if (m.ownsClipboard) {
        for (const auto& item : m.clipboard) types.push_back(item.type);
        return types;
    }
    if (XGetSelectionOwner(m.dpy, m.A("CLIPBOARD")) == None) return types;
    std::string bytes;
    Atom type = 0;
    if (!m.WaitForSelection(m.A("CLIPBOARD"), m.A("TARGETS"), m.A("QUELVO_CLIPBOARD"), bytes, type, timeoutMs)) return types;
    if (type != XA_ATOM) return types;
    const long* atoms = reinterpret_cast<const long*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size() / sizeof(long); ++i) {
        char* name = XGetAtomName(m.dpy, static_cast<Atom>(atoms[i]));
        if (!name) continue;
        types.emplace_back(name);
        XFree(name);
    }
    return types;
}

bool SetClipboardText(const std::string& utf8)
{
    X11Display* x = CurrentX11Display();
    // Stray bytes of our texts are Latin-1; other programs get them as UTF-8.
    return x && x->OfferClipboard({{"UTF8_STRING", sys::NarrowText(sys::WidenText(utf8))}});
}

bool GetClipboardText(std::string& utf8, int timeoutMs)
{
    X11Display* x = CurrentX11Display();
    if (!x) return false;
    if (x->ReadClipboard("UTF8_STRING", utf8, timeoutMs)) return true;
    return x->ReadClipboard("STRING", utf8, timeoutMs);
}

}  // namespace quelvo::win::x11
