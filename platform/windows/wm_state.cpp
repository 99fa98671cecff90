#include "platform/windows/wm_state.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>

namespace quelvo::win::detail {

bool RectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT RectIntersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) return RECT{};
    return r;
}

RECT RectOffset(RECT r, int dx, int dy)
{
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}

namespace {
// Pieces of a that lie outside b (at most four).
void SubtractInto(const RECT& a, const RECT& b, std::vector<RECT>& out)
{
    RECT i = RectIntersect(a, b);
    if (RectEmpty(i)) {
        out.push_back(a);
        return;
    }
    if (a.top < i.top) out.push_back({a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom) out.push_back({a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left) out.push_back({a.left, i.top, i.left, i.bottom});
    if (i.right < a.right) out.push_back({i.right, i.top, a.right, i.bottom});
}
}  // namespace

void RectSet::Add(const RECT& r)
{
    if (RectEmpty(r)) return;
    std::vector<RECT> pieces{r};
    for (const RECT& have : rects_) {
        std::vector<RECT> next;
        for (const RECT& p : pieces) SubtractInto(p, have, next);
        pieces.swap(next);
        if (pieces.empty()) return;
    }
    rects_.insert(rects_.end(), pieces.begin(), pieces.end());
}

void RectSet::Add(const RectSet& other)
{
    for (const RECT& r : other.rects_) Add(r);
}

void RectSet::Subtract(const RECT& r)
{
    if (RectEmpty(r)) return;
    std::vector<RECT> next;
    for (const RECT& have : rects_) SubtractInto(have, r, next);
    rects_.swap(next);
}

void RectSet::Subtract(const RectSet& other)
{
    for (const RECT& r : other.rects_) Subtract(r);
}

void RectSet::Intersect(const RECT& r)
{
    std::vector<RECT> next;
    for (const RECT& have : rects_) {
        RECT i = RectIntersect(have, r);
        if (!RectEmpty(i)) next.push_back(i);
    }
    rects_.swap(next);
}

void RectSet::Intersect(const RectSet& other)
{
    RectSet both;
    for (const RECT& a : rects_)
        for (const RECT& b : other.rects_) both.Add(RectIntersect(a, b));
    rects_.swap(both.rects_);
}

void RectSet::Offset(int dx, int dy)
{
    for (RECT& r : rects_) r = RectOffset(r, dx, dy);
}

RECT RectSet::Bounds() const
{
    if (rects_.empty()) return RECT{};
    RECT b = rects_.front();
    for (const RECT& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

State& S()
{
    static State state;
    return state;
}

namespace {
std::uint32_t gPid = 0;
void ForgetPid() { gPid = 0; }
}  // namespace

std::uint32_t OwnPid()
{
    // Cached, and forgotten in a forked child, which must see its own id.
    if (gPid == 0) {
        static const bool registered = [] { return pthread_atfork(nullptr, nullptr, ForgetPid) == 0; }();
        (void)registered;
        gPid = static_cast<std::uint32_t>(getpid());
    }
    return gPid;
}

HWND NewHandle()
{
    std::uintptr_t value = (static_cast<std::uintptr_t>(OwnPid()) << 32) | S().nextSerial++;
    return reinterpret_cast<HWND>(value);
}

Window* Find(HWND hwnd)
{
    // Windows inherited across fork belong to the parent.
    if ((reinterpret_cast<std::uintptr_t>(hwnd) >> 32) != OwnPid()) return nullptr;
    auto& map = S().windows;
    auto it = map.find(reinterpret_cast<std::uintptr_t>(hwnd));
    if (it == map.end() || it->second->destroyed) return nullptr;
    return it->second.get();
}

bool IsRemote(HWND hwnd)
{
    auto v = reinterpret_cast<std::uintptr_t>(hwnd);
    std::uint32_t pid = static_cast<std::uint32_t>(v >> 32);
    return pid != 0 && pid != OwnPid();
}

bool HasHooks(int type)
{
    for (const auto& h : S().hooks)
        if (h->type == type && !h->removed) return true;
    return false;
}

namespace {
std::shared_ptr<Hook> FirstHookAfter(int type, HHOOK after)
{
    bool passed = after == nullptr;
    // Later installs run first.
    auto& hooks = S().hooks;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        const auto& h = *it;
        if (h->type != type) continue;
        if (!passed) {
            if (h->handle == after) passed = true;
            continue;
        }
        if (!h->removed) return h;
    }
    return nullptr;
}

int HookTypeOf(HHOOK hook)
{
    for (const auto& h : S().hooks)
        if (h->handle == hook) return h->type;
    return -1;
}
}  // namespace

LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam)
{
    auto h = FirstHookAfter(type, nullptr);
    if (!h) return 0;
    return h->proc(code, wParam, lParam);
}

HandlingScope::HandlingScope(bool sentFromElsewhere) : saved_(S().handlingSendFromElsewhere)
{
    S().handlingSendFromElsewhere = sentFromElsewhere;
}

HandlingScope::~HandlingScope() { S().handlingSendFromElsewhere = saved_; }

LRESULT Deliver(Window* w, UINT msg, WPARAM wParam, LPARAM lParam, bool fromElsewhere)
{
    const HandlingScope handling(fromElsewhere);
    HWND hwnd = w->handle;
    if (HasHooks(WH_CALLWNDPROC)) {
        CWPSTRUCT cwp;
        cwp.hwnd = hwnd;
        cwp.message = msg;
        cwp.wParam = wParam;
        cwp.lParam = lParam;
        CallHooks(WH_CALLWNDPROC, HC_ACTION, 0, reinterpret_cast<LPARAM>(&cwp));
        if (!Find(hwnd)) return 0;
    }
    WNDPROC proc = w->proc;
    if (!proc) return DefWindowProcA(hwnd, msg, wParam, lParam);
    ++S().inSend;
    LRESULT r = proc(hwnd, msg, wParam, lParam);
    --S().inSend;
    return r;
}

POINT ClientOrigin(const Window* w)
{
    POINT p{w->client.left, w->client.top};
    for (const Window* p2 = w->parent; p2; p2 = p2->parent) {
        p.x += p2->client.left;
        p.y += p2->client.top;
    }
    return p;
}

POINT WindowOrigin(const Window* w)
{
    POINT p{w->window.left, w->window.top};
    if (w->parent) {
        POINT o = ClientOrigin(w->parent);
        p.x += o.x;
        p.y += o.y;
    }
    return p;
}

RECT ScreenWindowRect(const Window* w)
{
    POINT o = WindowOrigin(w);
    return {o.x, o.y, o.x + (w->window.right - w->window.left), o.y + (w->window.bottom - w->window.top)};
}

RECT ScreenClientRect(const Window* w)
{
    POINT o = ClientOrigin(w);
    return {o.x, o.y, o.x + (w->client.right - w->client.left), o.y + (w->client.bottom - w->client.top)};
}

Window* TopLevelOf(Window* w)
{
    while (w && w->parent) w = w->parent;
    return w;
}

bool IsVisibleDeep(const Window* w)
{
    for (; w; w = w->parent)
        if (!(w->style & WS_VISIBLE)) return false;
    return true;
}

bool IsDescendant(const Window* ancestor, const Window* w)
{
    for (w = w ? w->parent : nullptr; w; w = w->parent)
        if (w == ancestor) return true;
    return false;
}

}  // namespace quelvo::win::detail

using namespace quelvo::win::detail;

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD threadId)
{
    if (!proc) return nullptr;
    if (idHook != WH_MOUSE && idHook != WH_KEYBOARD && idHook != WH_GETMESSAGE && idHook != WH_CALLWNDPROC)
        return nullptr;
    if (threadId != 0 && threadId != GetCurrentThreadId()) return nullptr;
    auto h = std::make_shared<Hook>();
    h->handle = reinterpret_cast<HHOOK>(S().nextHook++ * 16);
    h->type = idHook;
    h->proc = proc;
    S().hooks.push_back(h);
    return h->handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook)
{
    auto& hooks = S().hooks;
    for (auto it = hooks.begin(); it != hooks.end(); ++it) {
        if ((*it)->handle == hook) {
            // A chain in progress may still hold it: mark, then drop.
            (*it)->removed = true;
            hooks.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam)
{
    int type = HookTypeOf(hook);
    if (type < 0) return 0;
    auto next = FirstHookAfter(type, hook);
    if (!next) return 0;
    return next->proc(code, wParam, lParam);
}

DWORD GetCurrentThreadId() { return static_cast<DWORD>(OwnPid()); }

namespace quelvo::win {

void ResetWindowManager()
{
    State& s = S();
    for (auto& [h, w] : s.windows)
        if (w->shapeRegion) DeleteObject(w->shapeRegion);
    for (auto& [h, w] : s.windows) Graveyard().push_back(std::move(w));
    s.windows.clear();
    if (s.inSend == 0) Graveyard().clear();
    s.topLevels.clear();
    s.messageOnly.clear();
    s.creationOrder.clear();
    s.classes.clear();
    ForgetRegisteredClasses();
    s.posted.clear();
    s.input.clear();
    s.quitPending = false;
    s.timers.clear();
    s.hooks.clear();
    s.focus = s.active = s.capture = s.lockedUpdate = nullptr;
    s.keyState.fill(0);
    s.asyncKeyState.fill(0);
    s.cursorPos = POINT{};
    s.cursor = nullptr;
    s.lastClickMsg = 0;
    s.lastClickHwnd = nullptr;
    s.doubleClickTime = 500;
    s.scrollWidth = s.scrollHeight = 17;
    s.trackHwnd = nullptr;
    s.trackFlags = 0;
    s.mouseWindow = nullptr;
    s.loopSources.clear();
    s.display.reset();
    ResetIpc();
}

}  // namespace quelvo::win
