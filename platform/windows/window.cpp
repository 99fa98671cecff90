// Window classes, the window tree, placement, coordinates and window data.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/wm_state.h"

namespace quelvo::win::detail {

const HWND kDesktop = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10010));

std::vector<std::unique_ptr<Window>>& Graveyard()
{
    static std::vector<std::unique_ptr<Window>> graves;
    return graves;
}

void FreeGraveyard()
{
    if (S().inSend == 0) Graveyard().clear();
}

namespace {

bool SameName(const std::string& a, LPCSTR b) { return strcasecmp(a.c_str(), b) == 0; }

std::string AtomName(LPCSTR name)
{
    if (IS_INTRESOURCE(name)) {
        std::string atom(1, '#');
        atom += std::to_string(reinterpret_cast<std::uintptr_t>(name));
        return atom;
    }
    return name ? std::string(name) : std::string();
}

std::shared_ptr<WindowClass> FindRegisteredClass(LPCSTR name)
{
    if (!name) return nullptr;
    for (const auto& c : S().classes) {
        if (IS_INTRESOURCE(name)) {
            if (c->atom == static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(name))) return c;
        } else if (SameName(c->name, name)) {
            return c;
        }
    }
    return nullptr;
}

struct ClassProviders {
    std::vector<std::function<void()>> providers;
    std::size_t ran = 0;  // how many have run since the last reset
    bool running = false;
};

ClassProviders& Providers()
{
    static ClassProviders p;
    return p;
}

std::shared_ptr<WindowClass> FindClass(LPCSTR name)
{
    if (auto c = FindRegisteredClass(name)) return c;
    ClassProviders& p = Providers();
    if (p.running || p.ran == p.providers.size()) return nullptr;
    p.running = true;
    while (p.ran < p.providers.size()) {
        auto provider = p.providers[p.ran++];
        provider();
    }
    p.running = false;
    return FindRegisteredClass(name);
}

std::vector<Window*>& SiblingList(Window* w)
{
    if (w->parent) return w->parent->children;
    if (w->messageOnly) return S().messageOnly;
    return S().topLevels;
}

void Unlink(Window* w)
{
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    auto& order = S().creationOrder;
    order.erase(std::remove(order.begin(), order.end(), w), order.end());
}

bool IsTopmost(const Window* w) { return (w->exStyle & WS_EX_TOPMOST) != 0; }

// Places w in its sibling list: first among its band (topmost windows lead
// the top-level list).
void PlaceOnTop(Window* w)
{
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    auto pos = list.begin();
    if (!w->parent && !w->messageOnly && !IsTopmost(w))
        while (pos != list.end() && IsTopmost(*pos)) ++pos;
    list.insert(pos, w);
}

void PlaceAtBottom(Window* w)
{
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    auto pos = list.end();
    if (!w->parent && IsTopmost(w))
        pos = std::find_if(list.begin(), list.end(), [](Window* o) { return !IsTopmost(o); });
    list.insert(pos, w);
}

void PlaceAfter(Window* w, Window* after)
{
    auto& list = SiblingList(w);
    if (after == w) return;
    auto found = std::find(list.begin(), list.end(), after);
    if (found == list.end()) return;
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
    found = std::find(list.begin(), list.end(), after);
    list.insert(found + 1, w);
}

// Owned windows stay above their owner.
void RaiseOwned(Window* owner)
{
    if (owner->parent) return;
    std::vector<Window*> owned;
    for (Window* t : S().topLevels)
        if (t->owner == owner) owned.push_back(t);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        if (IsTopmost(*it) || !IsTopmost(owner)) PlaceOnTop(*it);
        RaiseOwned(*it);
    }
}

void ApplyZOrder(Window* w, HWND after, bool withOwned)
{
    if (after == HWND_TOPMOST) {
        w->exStyle |= WS_EX_TOPMOST;
        PlaceOnTop(w);
    } else if (after == HWND_NOTOPMOST) {
        w->exStyle &= ~WS_EX_TOPMOST;
        PlaceOnTop(w);
    } else if (after == HWND_TOP) {
        PlaceOnTop(w);
    } else if (after == HWND_BOTTOM) {
        if (!w->parent) w->exStyle &= ~WS_EX_TOPMOST;
        PlaceAtBottom(w);
    } else if (Window* a = Find(after)) {
        if (a->parent == w->parent) PlaceAfter(w, a);
        return;
    }
    if (withOwned) RaiseOwned(w);
}

int DefaultPosition()
{
    static int next = 0;
    int v = 26 * (1 + (next++ % 8));
    return v;
}

void SendParentNotify(Window* w, UINT event)
{
    if (!w->parent || (w->exStyle & WS_EX_NOPARENTNOTIFY) || !(w->style & WS_CHILD)) return;
    Deliver(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(event), static_cast<WORD>(w->id)),
            reinterpret_cast<LPARAM>(w->handle));
}

void SendDestroy(Window* w)
{
    HWND hwnd = w->handle;
    if (S().capture == w) ReleaseCaptureOf(w);
    if (S().focus == w) S().focus = nullptr;
    Deliver(w, WM_DESTROY, 0, 0);
    if (!Find(hwnd)) return;
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids)
        if (Window* c = Find(k)) SendDestroy(c);
}

void FreeWindow(Window* w)
{
    std::vector<HWND> kids;
    for (Window* c : w->children) kids.push_back(c->handle);
    for (HWND k : kids)
        if (Window* c = Find(k)) FreeWindow(c);
    HWND hwnd = w->handle;
    Deliver(w, WM_NCDESTROY, 0, 0);
    w = Find(hwnd);
    if (!w) return;
    bool wasTopLevel = !w->parent && !w->messageOnly;
    if (wasTopLevel) quelvo::win::Display().WindowDestroyed(hwnd);
    ForgetWindow(w);
    KillTimersOf(hwnd);
    Unlink(w);
    w->destroyed = true;
    auto& map = S().windows;
    auto it = map.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it != map.end()) {
        Graveyard().push_back(std::move(it->second));
        map.erase(it);
    }
    if (wasTopLevel) PublishWindows();
}

LRESULT SendNcCalcSize(Window* w, const RECT& newWindow, const RECT& oldWindow, const RECT& oldClient,
                       RECT& client)
{
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = newWindow;
    params.rgrc[1] = oldWindow;
    params.rgrc[2] = oldClient;
    HWND hwnd = w->handle;
    LRESULT r = Deliver(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    (void)hwnd;
    client = params.rgrc[0];
    if (client.right < client.left) client.right = client.left;
    if (client.bottom < client.top) client.bottom = client.top;
    return r;
}

}  // namespace

RECT NonClientInsets(DWORD style, DWORD exStyle, bool child)
{
    int edge = 0;
    if (style & WS_THICKFRAME) edge = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        edge = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER) edge = GetSystemMetrics(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE) edge += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE) edge += GetSystemMetrics(SM_CXBORDER);
    RECT r{edge, edge, edge, edge};
    if ((style & WS_CAPTION) == WS_CAPTION && !child)
        r.top += (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    if (style & WS_VSCROLL) r.right += GetSystemMetrics(SM_CXVSCROLL);
    if (style & WS_HSCROLL) r.bottom += GetSystemMetrics(SM_CYHSCROLL);
    return r;
}

void EnsureSurface(Window* w)
{
    if (w->parent || w->messageOnly) return;
    // A window may be larger than anything we would allocate for it: the
    // surface is capped and drawing beyond it is clipped away.
    constexpr int kMaxSide = 8192;
    constexpr long long kMaxPixels = 4096LL * 4096LL;
    int width = std::clamp(static_cast<int>(w->window.right - w->window.left), 0, kMaxSide);
    int height = std::clamp(static_cast<int>(w->window.bottom - w->window.top), 0, kMaxSide);
    if (static_cast<long long>(width) * height > kMaxPixels) height = static_cast<int>(kMaxPixels / std::max(width, 1));
    if (!w->surface) w->surface = std::make_unique<gfx::Surface>();
    gfx::Surface& s = *w->surface;
    if (s.Width() == width && s.Height() == height) return;
    s.Resize(width, height);
    s.Fill(0x00FFFFFF);
}

MINMAXINFO DefaultMinMaxInfo()
{
    MINMAXINFO mmi;
    mmi.ptMaxSize = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)};
    mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXSCREEN) + 12, GetSystemMetrics(SM_CYSCREEN) + 12};
    return mmi;
}

MINMAXINFO TrackLimits(HWND hwnd)
{
    MINMAXINFO mmi = DefaultMinMaxInfo();
    if (IsWindow(hwnd)) SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return mmi;
}

}  // namespace quelvo::win::detail

using namespace quelvo::win::detail;

// ---- classes ------------------------------------------------------------

ATOM RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc || wc->cbWndExtra < 0 || wc->cbClsExtra < 0 ||
        wc->cbWndExtra > 40960) {
        SetLastError(87);  // invalid parameter
        return 0;
    }
    if (!IS_INTRESOURCE(wc->lpszClassName) && wc->lpszClassName[0] == '\0') {
        SetLastError(87);
        return 0;
    }
    if (FindRegisteredClass(wc->lpszClassName)) {
        SetLastError(1410);  // class already exists
        return 0;
    }
    auto c = std::make_shared<WindowClass>();
    c->name = AtomName(wc->lpszClassName);
    c->atom = S().nextAtom++;
    c->style = wc->style;
    c->proc = wc->lpfnWndProc;
    c->clsExtra = wc->cbClsExtra;
    c->wndExtra = wc->cbWndExtra;
    c->instance = wc->hInstance;
    c->icon = wc->hIcon;
    c->smallIcon = wc->hIconSm;
    c->cursor = wc->hCursor;
    c->background = wc->hbrBackground;
    S().classes.push_back(c);
    return c->atom;
}

ATOM RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc) return 0;
    WNDCLASSEXA ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassExA(&ex);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE)
{
    auto c = FindClass(className);
    if (!c) return FALSE;
    for (const auto& [h, w] : S().windows)
        if (!w->destroyed && w->cls == c) {
            SetLastError(1412);  // class has windows
            return FALSE;
        }
    auto& cl = S().classes;
    cl.erase(std::remove(cl.begin(), cl.end(), c), cl.end());
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE, LPCSTR className, WNDCLASSA* out)
{
    auto c = FindClass(className);
    if (!c || !out) return FALSE;
    out->style = c->style;
    out->lpfnWndProc = c->proc;
    out->cbClsExtra = c->clsExtra;
    out->cbWndExtra = c->wndExtra;
    out->hInstance = c->instance;
    out->hIcon = c->icon;
    out->hCursor = c->cursor;
    out->hbrBackground = c->background;
    out->lpszClassName = className;
    return TRUE;
}

namespace {
int CopyText(const std::string& text, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    int n = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
    buffer[n] = '\0';
    return n;
}
}  // namespace

int GetClassNameA(HWND hwnd, LPSTR buffer, int size)
{
    if (Window* w = Find(hwnd)) return CopyText(w->cls->name, buffer, size);
    RemoteWindow r;
    if (RemoteWindowExists(hwnd, &r)) return CopyText(r.className, buffer, size);
    return 0;
}

ULONG_PTR GetClassLongA(HWND hwnd, int index)
{
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (index) {
    case GCL_STYLE: return w->cls->style;
    case GCL_HCURSOR: return reinterpret_cast<ULONG_PTR>(w->cls->cursor);
    case GCL_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(w->cls->background);
    case GCL_WNDPROC: return reinterpret_cast<ULONG_PTR>(w->cls->proc);
    default: return 0;
    }
}

ULONG_PTR SetClassLongA(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = Find(hwnd);
    if (!w) return 0;
    ULONG_PTR old = GetClassLongA(hwnd, index);
    switch (index) {
    case GCL_STYLE: w->cls->style = static_cast<UINT>(value); break;
    case GCL_HCURSOR: w->cls->cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCL_HBRBACKGROUND: w->cls->background = reinterpret_cast<HBRUSH>(value); break;
    case GCL_WNDPROC: w->cls->proc = reinterpret_cast<WNDPROC>(value); break;
    default: return 0;
    }
    return old;
}

// ---- creation and destruction -------------------------------------------

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    auto cls = FindClass(className);
    if (!cls) {
        SetLastError(1407);  // cannot find window class
        return nullptr;
    }
    bool messageOnly = parent == HWND_MESSAGE;
    Window* parentW = nullptr;
    if (parent && !messageOnly && parent != kDesktop) {
        parentW = Find(parent);
        if (!parentW) {
            SetLastError(1400);  // invalid window handle
            return nullptr;
        }
    }
    bool child = (style & WS_CHILD) != 0 && !messageOnly;
    if (child && !parentW) {
        SetLastError(1406);  // a top-level window cannot be a child
        return nullptr;
    }
    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    w->handle = NewHandle();
    w->cls = cls;
    w->proc = cls->proc;
    w->instance = instance;
    w->exStyle = exStyle;
    w->style = style & ~WS_VISIBLE;
    w->messageOnly = messageOnly;
    if (!child && !messageOnly && !(style & WS_POPUP)) {
        // Overlapped windows always carry a caption and clip their siblings.
        w->style |= WS_CAPTION | WS_CLIPSIBLINGS;
        w->exStyle |= WS_EX_WINDOWEDGE;
    }
    if (child) {
        w->parent = parentW;
        w->id = reinterpret_cast<LONG_PTR>(menu);
    } else if (parentW) {
        w->owner = TopLevelOf(parentW);
    }
    w->text = windowName ? windowName : "";
    w->extra.assign(static_cast<std::size_t>((cls->wndExtra + 7) / 8), 0);
    if (!child && x == CW_USEDEFAULT) x = y = DefaultPosition();
    if (width == CW_USEDEFAULT) {
        width = child ? 0 : 640;
        height = child ? 0 : 480;
    }
    if (x == CW_USEDEFAULT) x = y = 0;
    if (height == CW_USEDEFAULT) height = 0;
    width = std::max(0, width);
    height = std::max(0, height);
    w->window = {x, y, x + width, y + height};
    w->client = w->window;

    HWND hwnd = w->handle;
    S().windows.emplace(reinterpret_cast<std::uintptr_t>(hwnd), std::move(owned));
    if (child) {
        parentW->children.push_back(w);
    } else if (messageOnly) {
        S().messageOnly.push_back(w);
    } else {
        PlaceOnTop(w);
        S().creationOrder.push_back(w);
        EnsureSurface(w);
    }

    CREATESTRUCTA cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;

    if (!child && !messageOnly && (w->style & (WS_THICKFRAME | WS_CAPTION))) {
        MINMAXINFO mmi = DefaultMinMaxInfo();
        Deliver(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (!(w = Find(hwnd))) return nullptr;
    }
    if (!Deliver(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if ((w = Find(hwnd))) FreeWindow(w);
        SetLastError(1400);
        return nullptr;
    }
    if (!(w = Find(hwnd))) return nullptr;
    RECT client;
    SendNcCalcSize(w, w->window, w->window, w->window, client);
    if (!(w = Find(hwnd))) return nullptr;
    w->client = client;
    if (Deliver(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!(w = Find(hwnd))) return nullptr;
    w->created = true;
    Deliver(w, WM_SIZE, SIZE_RESTORED,
            MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                       static_cast<WORD>(w->client.bottom - w->client.top)));
    if (!(w = Find(hwnd))) return nullptr;
    POINT origin{w->client.left, w->client.top};
    Deliver(w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    if (!(w = Find(hwnd))) return nullptr;
    SendParentNotify(w, WM_CREATE);
    if (!(w = Find(hwnd))) return nullptr;
    if (!w->parent && !messageOnly) {
        PublishWindows();
        EnsureIpc();
        InstallSignalsOnFirstWindow();
    }
    if (style & WS_VISIBLE) {
        if (style & WS_MAXIMIZE) ShowWindow(hwnd, SW_SHOWMAXIMIZED);
        else ShowWindow(hwnd, SW_SHOW);
    }
    return Find(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd)
{
    Window* w = Find(hwnd);
    if (!w) {
        SetLastError(IsRemote(hwnd) ? 5 : 1400);  // access denied / invalid handle
        return FALSE;
    }
    if (w->destroying) return TRUE;
    w->destroying = true;
    bool child = w->parent != nullptr;
    SendParentNotify(w, WM_DESTROY);
    if (!(w = Find(hwnd))) return TRUE;
    if (w->style & WS_VISIBLE) {
        if (child) ShowWindow(hwnd, SW_HIDE);
        else
            SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
    if (!(w = Find(hwnd))) return TRUE;
    if (!child) {
        std::vector<HWND> owned;
        for (Window* t : S().topLevels)
            if (t->owner == w) owned.push_back(t->handle);
        for (HWND o : owned) DestroyWindow(o);
        if (!(w = Find(hwnd))) return TRUE;
        if (S().active == w) ActivateOtherWindow(w);
        if (!(w = Find(hwnd))) return TRUE;
    }
    if (S().focus && (S().focus == w || IsDescendant(w, S().focus))) {
        Window* keep = w->parent;
        if (keep && Find(keep->handle)) SetFocus(keep->handle);
        else S().focus = nullptr;
    }
    if (!(w = Find(hwnd))) return TRUE;
    SendDestroy(w);
    if ((w = Find(hwnd))) FreeWindow(w);
    return TRUE;
}

// ---- tree queries ---------------------------------------------------------

BOOL IsWindow(HWND hwnd)
{
    if (hwnd == kDesktop) return TRUE;
    if (Find(hwnd)) return TRUE;
    if (IsRemote(hwnd)) return RemoteWindowExists(hwnd, nullptr) ? TRUE : FALSE;
    return FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd)
{
    Window* p = Find(parent);
    Window* w = Find(hwnd);
    if (!p || !w) return FALSE;
    for (Window* a = w->parent; a && (a->style & WS_CHILD || a == p); a = a->parent)
        if (a == p) return TRUE;
    return FALSE;
}

BOOL IsWindowVisible(HWND hwnd)
{
    if (Window* w = Find(hwnd)) return IsVisibleDeep(w) ? TRUE : FALSE;
    RemoteWindow r;
    if (RemoteWindowExists(hwnd, &r)) return r.visible ? TRUE : FALSE;
    return FALSE;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    Window* w = Find(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    Window* w = Find(hwnd);
    return w && (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd)
{
    Window* w = Find(hwnd);
    return w && (w->style & WS_MAXIMIZE) ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd)
{
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent ? w->parent->handle : nullptr;
    if ((w->style & WS_POPUP) && w->owner) return w->owner->handle;
    return nullptr;
}

HWND SetParent(HWND child, HWND newParent)
{
    Window* w = Find(child);
    if (!w) return nullptr;
    Window* np = nullptr;
    if (newParent && newParent != kDesktop && newParent != HWND_MESSAGE) {
        np = Find(newParent);
        if (!np || np == w || IsDescendant(w, np)) {
            SetLastError(87);
            return nullptr;
        }
    }
    HWND old = w->parent ? w->parent->handle : kDesktop;
    bool visible = (w->style & WS_VISIBLE) != 0;
    if (w->parent) InvalidateExposed(w->parent, w->window);
    bool wasTop = !w->parent && !w->messageOnly;
    Unlink(w);
    w->parent = np;
    w->messageOnly = newParent == HWND_MESSAGE;
    if (np) {
        np->children.insert(np->children.begin(), w);
        w->surface.reset();
    } else if (w->messageOnly) {
        S().messageOnly.push_back(w);
    } else {
        PlaceOnTop(w);
        S().creationOrder.push_back(w);
        EnsureSurface(w);
    }
    if (visible) InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (wasTop || (!np && !w->messageOnly)) PublishWindows();
    return old;
}

HWND GetDesktopWindow() { return kDesktop; }

HWND GetTopWindow(HWND hwnd)
{
    if (!hwnd || hwnd == kDesktop) return S().topLevels.empty() ? nullptr : S().topLevels.front()->handle;
    Window* w = Find(hwnd);
    if (!w || w->children.empty()) return nullptr;
    return w->children.front()->handle;
}

HWND GetWindow(HWND hwnd, UINT cmd)
{
    Window* w = Find(hwnd);
    if (!w) {
        if (hwnd == kDesktop && cmd == GW_CHILD) return GetTopWindow(nullptr);
        return nullptr;
    }
    auto& list = SiblingList(w);
    auto it = std::find(list.begin(), list.end(), w);
    switch (cmd) {
    case GW_HWNDFIRST: return list.empty() ? nullptr : list.front()->handle;
    case GW_HWNDLAST: return list.empty() ? nullptr : list.back()->handle;
    case GW_HWNDNEXT:
        if (it == list.end() || it + 1 == list.end()) return nullptr;
        return (*(it + 1))->handle;
    case GW_HWNDPREV:
        if (it == list.end() || it == list.begin()) return nullptr;
        return (*(it - 1))->handle;
    case GW_OWNER: return w->owner ? w->owner->handle : nullptr;
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_ENABLEDPOPUP:
        for (Window* t : S().topLevels)
            if (t->owner == w && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED)) return t->handle;
        return nullptr;
    default: return nullptr;
    }
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    switch (flags) {
    case GA_PARENT: return w->parent ? w->parent->handle : (w->messageOnly ? nullptr : kDesktop);
    case GA_ROOT: return TopLevelOf(w)->handle;
    case GA_ROOTOWNER: {
        Window* r = TopLevelOf(w);
        while (r->owner) r = r->owner;
        return r->handle;
    }
    default: return nullptr;
    }
}

HWND GetDlgItem(HWND dialog, int id)
{
    Window* d = Find(dialog);
    if (!d) return nullptr;
    for (Window* c : d->children)
        if (static_cast<int>(c->id) == id) return c->handle;
    return nullptr;
}

int GetDlgCtrlID(HWND hwnd)
{
    Window* w = Find(hwnd);
    return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

// ---- showing, enabling, placing ---------------------------------------

BOOL ShowWindow(HWND hwnd, int cmd)
{
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    if (w->messageOnly) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    bool child = (w->style & WS_CHILD) != 0;
    bool show = cmd != SW_HIDE;
    UINT flags = SWP_NOSIZE | SWP_NOMOVE;
    RECT target = w->window;
    bool resize = false;
    switch (cmd) {
    case SW_HIDE:
        if (!wasVisible) return FALSE;
        flags |= SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
        flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
        if (cmd == SW_SHOWNA) flags |= SWP_NOZORDER;
        break;
    case SW_SHOWMINNOACTIVE:
        flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE;
        w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        break;
    case SW_SHOWMAXIMIZED: {
        flags |= SWP_SHOWWINDOW;
        RECT area{};
        if (w->parent) GetClientRect(w->parent->handle, &area);
        else {
            // The work area of the monitor showing the window: off the desktop's panels.
            MONITORINFO info;
            if (GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) area = info.rcWork;
            else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        }
        target = area;
        if (!(w->style & WS_MAXIMIZE)) w->restored = w->window;
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        resize = true;
        break;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        flags |= SWP_SHOWWINDOW | (cmd == SW_MINIMIZE ? SWP_NOACTIVATE : 0);
        w->style = (w->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        break;
    default:
        flags |= SWP_SHOWWINDOW;
        if ((cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) && (w->style & WS_MAXIMIZE)) {
            target = w->restored;
            resize = true;
        }
        if (cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) w->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
        break;
    }
    if (child) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    if (show != wasVisible) {
        Deliver(w, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!(w = Find(hwnd))) return wasVisible ? TRUE : FALSE;
    }
    if (resize) flags &= ~(SWP_NOSIZE | SWP_NOMOVE);
    SetWindowPos(hwnd, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 flags);
    if (!(w = Find(hwnd))) return wasVisible ? TRUE : FALSE;
    if (!show && child && S().focus && (S().focus == w || IsDescendant(w, S().focus))) {
        // A window of a program being deactivated must not pull the
        // activation back by taking the focus.
        if (TopLevelOf(w) == S().active) SetFocus(w->parent->handle);
        else SetFocusTo(w->parent);
    }
    if ((cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE) && S().active == w)
        ActivateOtherWindow(w);
    return wasVisible ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        Deliver(w, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        Deliver(w, WM_CANCELMODE, 0, 0);
        if (!(w = Find(hwnd))) return FALSE;
        w->style |= WS_DISABLED;
        if (S().focus && (S().focus == w || IsDescendant(w, S().focus))) SetFocus(nullptr);
        if (!(w = Find(hwnd))) return FALSE;
        Deliver(w, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
}

namespace {
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;
}  // namespace

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    bool wasVisible = (w->style & WS_VISIBLE) != 0;
    if ((flags & SWP_SHOWWINDOW) && wasVisible) flags &= ~SWP_SHOWWINDOW;
    if ((flags & SWP_HIDEWINDOW) && !wasVisible) flags &= ~SWP_HIDEWINDOW;
    if (w->messageOnly) flags &= ~(SWP_SHOWWINDOW | SWP_HIDEWINDOW);
    if (insertAfter == hwnd) flags |= SWP_NOZORDER;
    WINDOWPOS wp;
    wp.hwnd = hwnd;
    wp.hwndInsertAfter = insertAfter;
    wp.x = (flags & SWP_NOMOVE) ? w->window.left : x;
    wp.y = (flags & SWP_NOMOVE) ? w->window.top : y;
    wp.cx = (flags & SWP_NOSIZE) ? w->window.right - w->window.left : cx;
    wp.cy = (flags & SWP_NOSIZE) ? w->window.bottom - w->window.top : cy;
    wp.flags = flags;
    if (!(flags & SWP_NOSENDCHANGING)) {
        Deliver(w, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!(w = Find(hwnd))) return FALSE;
        flags = wp.flags;
    }
    int newCx = std::max(0, wp.cx);
    int newCy = std::max(0, wp.cy);
    RECT oldWindow = w->window;
    RECT oldClient = w->client;
    RECT newWindow{wp.x, wp.y, wp.x + newCx, wp.y + newCy};
    if (flags & SWP_NOMOVE) newWindow = RectOffset(newWindow, oldWindow.left - newWindow.left, oldWindow.top - newWindow.top);
    if (flags & SWP_NOSIZE) {
        newWindow.right = newWindow.left + (oldWindow.right - oldWindow.left);
        newWindow.bottom = newWindow.top + (oldWindow.bottom - oldWindow.top);
    }
    bool moved = newWindow.left != oldWindow.left || newWindow.top != oldWindow.top;
    bool sized = (newWindow.right - newWindow.left) != (oldWindow.right - oldWindow.left) ||
                 (newWindow.bottom - newWindow.top) != (oldWindow.bottom - oldWindow.top);
    RECT newClient = RectOffset(oldClient, newWindow.left - oldWindow.left, newWindow.top - oldWindow.top);
    if (sized || (flags & SWP_FRAMECHANGED)) {
        SendNcCalcSize(w, newWindow, oldWindow, oldClient, newClient);
        if (!(w = Find(hwnd))) return FALSE;
    }
    w->window = newWindow;
    w->client = newClient;
    bool clientMoved = newClient.left != oldClient.left || newClient.top != oldClient.top;
    bool clientSized = (newClient.right - newClient.left) != (oldClient.right - oldClient.left) ||
                       (newClient.bottom - newClient.top) != (oldClient.bottom - oldClient.top);
    bool restacked = false;
    if (!(flags & SWP_NOZORDER)) {
        auto before = w->parent ? w->parent->children : S().topLevels;
        ApplyZOrder(w, wp.hwndInsertAfter, !(flags & SWP_NOOWNERZORDER));
        restacked = before != (w->parent ? w->parent->children : S().topLevels);
    }
    if (flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    if (sized) EnsureSurface(w);
    bool nowVisible = (w->style & WS_VISIBLE) != 0;
    if (!(flags & SWP_NOREDRAW)) {
        // A top-level window keeps its own surface: moving or restacking it
        // shows the same pixels elsewhere, nothing to repaint.
        bool sharesSurface = w->parent != nullptr;
        if (nowVisible && (sized || (flags & (SWP_SHOWWINDOW | SWP_FRAMECHANGED)) || (sharesSurface && (moved || restacked))))
            InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        if (w->parent && IsVisibleDeep(w->parent) && ((wasVisible && (moved || sized)) || (flags & SWP_HIDEWINDOW)))
            InvalidateExposed(w->parent, oldWindow);
    }
    if ((flags & SWP_HIDEWINDOW) && !w->parent) {
        if (S().active == w) ActivateOtherWindow(w);
        if (!(w = Find(hwnd))) return TRUE;
    }
    if (!(flags & SWP_NOACTIVATE) && !(w->style & WS_CHILD) && !w->messageOnly && (w->style & WS_VISIBLE) &&
        !(w->exStyle & WS_EX_NOACTIVATE)) {
        ActivateWindow(w, false, true);
        if (!(w = Find(hwnd))) return TRUE;
    }
    NotifyDisplay(TopLevelOf(w));
    if ((flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) && !w->parent && !w->messageOnly) PublishWindows();
    WINDOWPOS done = wp;
    done.x = newWindow.left;
    done.y = newWindow.top;
    done.cx = newWindow.right - newWindow.left;
    done.cy = newWindow.bottom - newWindow.top;
    done.flags = flags;
    if (!clientMoved) done.flags |= kNoClientMove;
    if (!clientSized) done.flags |= kNoClientSize;
    if (!moved) done.flags |= SWP_NOMOVE;
    if (!sized) done.flags |= SWP_NOSIZE;
    Deliver(w, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
    return TRUE;
}

// DefWindowProc's answer to WM_WINDOWPOSCHANGED.
void quelvo::win::detail::DefWindowPosChanged(HWND hwnd, const WINDOWPOS* wp)
{
    Window* w = Find(hwnd);
    if (!w || !wp) return;
    if (!(wp->flags & kNoClientMove))
        Deliver(w, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(w->client.left), static_cast<WORD>(w->client.top)));
    if (!(w = Find(hwnd))) return;
    if (!(wp->flags & kNoClientSize)) {
        WPARAM kind = (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : (w->style & WS_MINIMIZE) ? SIZE_MINIMIZED : SIZE_RESTORED;
        Deliver(w, WM_SIZE, kind,
                MAKELPARAM(static_cast<WORD>(w->client.right - w->client.left),
                           static_cast<WORD>(w->client.bottom - w->client.top)));
    }
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) { return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

// ---- coordinates ---------------------------------------------------------

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    if (!rect) return FALSE;
    if (hwnd == kDesktop) {
        *rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE;
    }
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    *rect = ScreenWindowRect(w);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    if (!rect) return FALSE;
    if (hwnd == kDesktop) return GetWindowRect(hwnd, rect);
    Window* w = Find(hwnd);
    if (!w) return FALSE;
    *rect = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

namespace {
bool OriginOf(HWND hwnd, POINT& origin)
{
    if (!hwnd || hwnd == kDesktop) {
        origin = {0, 0};
        return true;
    }
    Window* w = Find(hwnd);
    if (!w) return false;
    origin = ClientOrigin(w);
    return true;
}
}  // namespace

BOOL ClientToScreen(HWND hwnd, LPPOINT pt)
{
    POINT o;
    if (!pt || !OriginOf(hwnd, o) || !hwnd) return FALSE;
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt)
{
    POINT o;
    if (!pt || !OriginOf(hwnd, o) || !hwnd) return FALSE;
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    POINT a, b;
    if (!OriginOf(from, a) || !OriginOf(to, b)) {
        SetLastError(1400);
        return 0;
    }
    int dx = a.x - b.x;
    int dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace {
bool ContainsScreenPoint(const Window* w, POINT pt)
{
    RECT r = ScreenWindowRect(w);
    if (!PtInRect(&r, pt)) return false;
    if (!w->shapeRegion) return true;
    return PtInRegion(w->shapeRegion, pt.x - r.left, pt.y - r.top) != FALSE;
}

// Deepest visible, enabled child containing pt; windows answering
// HTTRANSPARENT are passed over in favour of those beneath.
Window* HitChild(Window* w, POINT pt, std::vector<Window*>& skip)
{
    RECT cr = ScreenClientRect(w);
    if (!PtInRect(&cr, pt)) return w;
    for (Window* c : w->children) {
        if (!(c->style & WS_VISIBLE) || !ContainsScreenPoint(c, pt)) continue;
        if (std::find(skip.begin(), skip.end(), c) != skip.end()) continue;
        if (c->style & WS_DISABLED) return w;
        return HitChild(c, pt, skip);
    }
    return w;
}
}  // namespace

namespace quelvo::win::detail {
// Window under a screen point and its hit-test code (sent WM_NCHITTEST).
Window* HitTestPoint(POINT pt, LRESULT& hit)
{
    std::vector<Window*> skip;
    for (int guard = 0; guard < 64; ++guard) {
        Window* found = nullptr;
        for (Window* t : S().topLevels) {
            if (!(t->style & WS_VISIBLE) || !ContainsScreenPoint(t, pt)) continue;
            if (std::find(skip.begin(), skip.end(), t) != skip.end()) continue;
            found = (t->style & WS_DISABLED) ? t : HitChild(t, pt, skip);
            break;
        }
        if (!found) {
            hit = HTNOWHERE;
            return nullptr;
        }
        if (found->style & WS_DISABLED) {
            hit = HTERROR;
            return found;
        }
        HWND h = found->handle;
        hit = Deliver(found, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
        if (!Find(h)) continue;
        if (hit != HTTRANSPARENT) return found;
        skip.push_back(found);
    }
    hit = HTNOWHERE;
    return nullptr;
}
}  // namespace quelvo::win::detail

HWND WindowFromPoint(POINT pt)
{
    LRESULT hit;
    Window* w = HitTestPoint(pt, hit);
    return w ? w->handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags)
{
    Window* p = Find(parent);
    if (!p) return nullptr;
    RECT r{0, 0, p->client.right - p->client.left, p->client.bottom - p->client.top};
    if (!PtInRect(&r, pt)) return nullptr;
    POINT screen = pt;
    POINT o = ClientOrigin(p);
    screen.x += o.x;
    screen.y += o.y;
    for (Window* c : p->children) {
        if ((flags & CWP_SKIPINVISIBLE) && !(c->style & WS_VISIBLE)) continue;
        if ((flags & CWP_SKIPDISABLED) && (c->style & WS_DISABLED)) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->exStyle & WS_EX_TRANSPARENT)) continue;
        if (ContainsScreenPoint(c, screen)) return c->handle;
    }
    return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) { return ChildWindowFromPointEx(parent, pt, CWP_ALL); }

// ---- window data ---------------------------------------------------------

namespace {
bool ExtraSlot(Window* w, int index, std::size_t bytes, unsigned char*& at)
{
    if (index < 0 || static_cast<std::size_t>(index) + bytes > static_cast<std::size_t>(w->cls->wndExtra)) return false;
    at = reinterpret_cast<unsigned char*>(w->extra.data()) + index;
    return true;
}

LONG_PTR ChangeStyle(Window* w, int which, DWORD value)
{
    DWORD& field = which == GWL_STYLE ? w->style : w->exStyle;
    DWORD old = field;
    STYLESTRUCT ss{old, value};
    HWND hwnd = w->handle;
    Deliver(w, WM_STYLECHANGING, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(&ss));
    if (!(w = Find(hwnd))) return static_cast<LONG_PTR>(static_cast<LONG>(old));
    DWORD& target = which == GWL_STYLE ? w->style : w->exStyle;
    DWORD keep = which == GWL_EXSTYLE ? (target & WS_EX_TOPMOST) : 0;
    target = which == GWL_EXSTYLE ? ((ss.styleNew & ~WS_EX_TOPMOST) | keep) : ss.styleNew;
    ss.styleOld = old;
    Deliver(w, WM_STYLECHANGED, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(&ss));
    return static_cast<LONG_PTR>(static_cast<LONG>(old));
}
}  // namespace

LONG_PTR GetWindowLongA(HWND hwnd, int index)
{
    Window* w = Find(hwnd);
    if (!w) {
        SetLastError(1400);
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    case GWL_ID: return w->id;
    case GWL_USERDATA: return w->userData;
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent ? w->parent->handle : w->owner ? w->owner->handle : nullptr);
    default: {
        unsigned char* at = nullptr;
        if (!ExtraSlot(w, index, sizeof(LONG), at)) {
            SetLastError(1413);  // invalid index
            return 0;
        }
        LONG v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    }
}

LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = Find(hwnd);
    if (!w) {
        SetLastError(IsRemote(hwnd) ? 5 : 1400);
        return 0;
    }
    LONG_PTR old = GetWindowLongA(hwnd, index);
    switch (index) {
    case GWL_WNDPROC:
        if (!value) return 0;
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWL_STYLE: return ChangeStyle(w, GWL_STYLE, static_cast<DWORD>(value));
    case GWL_EXSTYLE: return ChangeStyle(w, GWL_EXSTYLE, static_cast<DWORD>(value));
    case GWL_ID: w->id = value; return old;
    case GWL_USERDATA: w->userData = value; return old;
    case GWL_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); return old;
    case GWL_HWNDPARENT:
        if (!w->parent) {
            Window* o = Find(reinterpret_cast<HWND>(value));
            w->owner = o && o != w ? TopLevelOf(o) : nullptr;
        }
        return old;
    default: {
        unsigned char* at = nullptr;
        if (!ExtraSlot(w, index, sizeof(LONG), at)) {
            SetLastError(1413);
            return 0;
        }
        LONG v = static_cast<LONG>(value);
        std::memcpy(at, &v, sizeof v);
        return old;
    }
    }
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (index < 0) return GetWindowLongA(hwnd, index);
    unsigned char* at = nullptr;
    if (!ExtraSlot(w, index, sizeof(LONG_PTR), at)) return 0;
    LONG_PTR v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (index < 0) return SetWindowLongA(hwnd, index, value);
    unsigned char* at = nullptr;
    if (!ExtraSlot(w, index, sizeof(LONG_PTR), at)) return 0;
    LONG_PTR old;
    std::memcpy(&old, at, sizeof old);
    std::memcpy(at, &value, sizeof value);
    return old;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!proc) return 0;
    ++S().inSend;
    LRESULT r = proc(hwnd, msg, wParam, lParam);
    --S().inSend;
    return r;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    if (IsRemote(hwnd)) {
        SetLastError(5);
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (Find(hwnd)) return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
    RemoteWindow r;
    if (RemoteWindowExists(hwnd, &r)) return CopyText(r.title, buffer, size);
    return 0;
}

int GetWindowTextLengthA(HWND hwnd)
{
    if (Find(hwnd)) return static_cast<int>(SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
    RemoteWindow r;
    if (RemoteWindowExists(hwnd, &r)) return static_cast<int>(r.title.size());
    return 0;
}

namespace quelvo::win::detail {
// DefWindowProc's WM_SETTEXT / WM_GETTEXT.
LRESULT DefSetText(Window* w, LPCSTR text)
{
    w->text = text ? text : "";
    if (!w->parent && !w->messageOnly) PublishWindows();
    if ((w->style & WS_CAPTION) == WS_CAPTION) RedrawWindow(w->handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return TRUE;
}

LRESULT DefGetText(Window* w, WPARAM size, LPSTR buffer) { return CopyText(w->text, buffer, static_cast<int>(size)); }
}  // namespace quelvo::win::detail

BOOL SetPropA(HWND hwnd, LPCSTR name, HANDLE data)
{
    Window* w = Find(hwnd);
    if (!w || !name) return FALSE;
    std::string key = AtomName(name);
    for (auto& [k, v] : w->props)
        if (strcasecmp(k.c_str(), key.c_str()) == 0) {
            v = data;
            return TRUE;
        }
    w->props.emplace_back(key, data);
    return TRUE;
}

HANDLE GetPropA(HWND hwnd, LPCSTR name)
{
    Window* w = Find(hwnd);
    if (!w || !name) return nullptr;
    std::string key = AtomName(name);
    for (auto& [k, v] : w->props)
        if (strcasecmp(k.c_str(), key.c_str()) == 0) return v;
    return nullptr;
}

HANDLE RemovePropA(HWND hwnd, LPCSTR name)
{
    Window* w = Find(hwnd);
    if (!w || !name) return nullptr;
    std::string key = AtomName(name);
    for (auto it = w->props.begin(); it != w->props.end(); ++it)
        if (strcasecmp(it->first.c_str(), key.c_str()) == 0) {
            HANDLE v = it->second;
            w->props.erase(it);
            return v;
        }
    return nullptr;
}

// ---- finding and enumerating --------------------------------------------

namespace {
bool Matches(const std::string& cls, const std::string& title, LPCSTR className, LPCSTR windowName)
{
    if (className) {
        if (IS_INTRESOURCE(className)) {
            if (AtomName(className) != cls) {
                auto c = FindClass(className);
                if (!c || c->name != cls) return false;
            }
        } else if (strcasecmp(cls.c_str(), className) != 0) {
            return false;
        }
    }
    if (windowName && title != windowName) return false;
    return true;
}
}  // namespace

HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName)
{
    std::vector<Window*> list;
    if (parent == HWND_MESSAGE) list = S().messageOnly;
    else if (!parent || parent == kDesktop) list = S().topLevels;
    else if (Window* p = Find(parent)) list = p->children;
    else return nullptr;
    bool passed = childAfter == nullptr;
    for (Window* w : list) {
        if (!passed) {
            passed = w->handle == childAfter;
            continue;
        }
        if (Matches(w->cls->name, w->text, className, windowName)) return w->handle;
    }
    if (parent && parent != kDesktop) return nullptr;
    if (!passed && childAfter && !IsRemote(childAfter)) return nullptr;
    for (const RemoteWindow& r : RemoteWindows()) {
        if (!passed) {
            passed = r.hwnd == childAfter;
            continue;
        }
        if (Matches(r.className, r.title, className, windowName)) return r.hwnd;
    }
    return nullptr;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName) { return FindWindowExA(nullptr, nullptr, className, windowName); }

namespace {

// Theme switches and colour changes of the drawing layer reach every
// top-level window of the program, hidden utility windows included.
void BroadcastToTopLevels(UINT msg)
{
    std::vector<HWND> all;
    for (Window* w : S().topLevels) all.push_back(w->handle);
    for (HWND h : all)
        if (Find(h)) SendMessageA(h, msg, 0, 0);
}

[[maybe_unused]] const bool kDrawingListeners = [] {
    quelvo::gfx::SetThemeChangeListener([] { BroadcastToTopLevels(WM_THEMECHANGED); });
    quelvo::gfx::SetSysColorChangeListener([] { BroadcastToTopLevels(WM_SYSCOLORCHANGE); });
    return true;
}();

}  // namespace

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param)
{
    if (!proc) return FALSE;
    std::vector<HWND> all;
    for (Window* w : S().topLevels) all.push_back(w->handle);
    for (const RemoteWindow& r : RemoteWindows()) all.push_back(r.hwnd);
    for (HWND h : all) {
        if (!IsRemote(h) && !Find(h)) continue;
        if (!proc(h, param)) break;
    }
    return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param)
{
    Window* p = Find(parent);
    if (!p || !proc) return FALSE;
    std::vector<HWND> all;
    std::function<void(Window*)> walk = [&](Window* w) {
        for (Window* c : w->children) {
            all.push_back(c->handle);
            walk(c);
        }
    };
    walk(p);
    for (HWND h : all) {
        if (!Find(h)) continue;
        if (!proc(h, param)) break;
    }
    return TRUE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    DWORD pid = static_cast<DWORD>(v >> 32);
    bool valid = Find(hwnd) != nullptr || (pid != 0 && pid != OwnPid() && RemoteWindowExists(hwnd, nullptr));
    if (!valid) {
        if (processId) *processId = 0;
        SetLastError(1400);
        return 0;
    }
    if (processId) *processId = pid;
    return pid;  // one user-interface thread per process
}

// ---- window regions ---------------------------------------------------------

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw)
{
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (w->parent) InvalidateExposed(w->parent, w->window);
    if (w->shapeRegion) DeleteObject(w->shapeRegion);
    w->shapeRegion = region;  // the window owns it from now on
    if (redraw) InvalidateWindow(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    NotifyDisplay(TopLevelOf(w));
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region)
{
    Window* w = Find(hwnd);
    if (!w || !region || !w->shapeRegion) return RGN_ERROR;
    return CombineRgn(region, w->shapeRegion, nullptr, RGN_COPY);
}

namespace quelvo::win {

void AddClassProvider(std::function<void()> registerClasses)
{
    if (registerClasses) Providers().providers.push_back(std::move(registerClasses));
}

}  // namespace quelvo::win

namespace quelvo::win {
void MaximizedByDisplay(HWND hwnd, bool maximized)
{
    Window* w = Find(hwnd);
    if (!w || w->parent || w->messageOnly || ((w->style & WS_MAXIMIZE) != 0) == maximized) return;
    if (maximized) {
        if (!(w->style & WS_MINIMIZE)) w->restored = w->window;
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
    } else {
        w->style &= ~WS_MAXIMIZE;
    }
    RECT c{};
    GetClientRect(hwnd, &c);
    Deliver(w, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
            MAKELPARAM(static_cast<WORD>(c.right), static_cast<WORD>(c.bottom)));
}
}  // namespace quelvo::win

namespace quelvo::win::detail {
void ForgetRegisteredClasses() { Providers().ran = 0; }
}  // namespace quelvo::win::detail
