// Message queue, sending and posting, retrieval order, timers, the default
// window procedure, loop sources and termination signals.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/system/clock.h"
#include "platform/windows/loop.h"
#include "platform/windows/wm_state.h"

namespace quelvo::win::detail {

LRESULT DefSetText(Window* w, LPCSTR text);
LRESULT DefGetText(Window* w, WPARAM size, LPSTR buffer);
void DefWindowPosChanged(HWND hwnd, const WINDOWPOS* wp);
LRESULT DefNcHitTest(Window* w, POINT screen);
void DefNcPaint(Window* w);
LRESULT DefSetCursor(Window* w, WPARAM wParam, LPARAM lParam);
bool DefEraseBackground(Window* w, HDC dc);
void DefPaint(Window* w);
void DefPrint(Window* w, HDC dc, LPARAM flags);
LRESULT DefSetIcon(Window* w, WPARAM kind, HICON icon);
LRESULT DefGetIcon(Window* w, WPARAM kind);

namespace {

DWORD MessageTime() { return static_cast<DWORD>(quelvo::sys::NowMs()); }

bool IsManualClock() { return dynamic_cast<quelvo::sys::ManualClock*>(&quelvo::sys::CurrentClock()) != nullptr; }

// Signals arrive on a pipe the loop serves.
int signalPipe[2] = {-1, -1};
bool signalsInstalled = false;

void OnSignal(int sig)
{
    unsigned char b = static_cast<unsigned char>(sig);
    if (signalPipe[1] >= 0) {
        ssize_t ignored = write(signalPipe[1], &b, 1);
        (void)ignored;
    }
}

void DrainSignals()
{
    unsigned char buf[64];
    bool any = false;
    while (read(signalPipe[0], buf, sizeof buf) > 0) any = true;
    if (!any) return;
    for (Window* w : S().topLevels) PostLocal(w->handle, WM_CLOSE, 0, 0);
}

}  // namespace

bool MessageMatches(const MSG& m, HWND filter, UINT min, UINT max)
{
    if (min != 0 || max != 0) {
        if (min <= max) {
            if (m.message < min || m.message > max) return false;
        } else if (m.message < min && m.message > max) {
            return false;
        }
    }
    if (filter == reinterpret_cast<HWND>(-1)) return m.hwnd == nullptr;
    if (!filter) return true;
    if (m.hwnd == filter) return true;
    Window* f = Find(filter);
    Window* w = Find(m.hwnd);
    return f && w && IsDescendant(f, w);
}

void PostLocal(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = MessageTime();
    m.pt = S().cursorPos;
    S().posted.push_back(m);
}

bool NextDueTimer(std::uint64_t now, HWND filter, UINT min, UINT max, MSG& out, bool remove)
{
    MSG probe;
    probe.message = WM_TIMER;
    Timer* best = nullptr;
    for (Timer& t : S().timers) {
        if (t.due > now) continue;
        probe.hwnd = t.hwnd;
        if (!MessageMatches(probe, filter, min, max)) continue;
        if (!best || t.due < best->due || (t.due == best->due && t.serial < best->serial)) best = &t;
    }
    if (!best) return false;
    out = MSG{};
    out.hwnd = best->hwnd;
    out.message = WM_TIMER;
    out.wParam = best->id;
    out.lParam = reinterpret_cast<LPARAM>(best->proc);
    out.time = MessageTime();
    out.pt = S().cursorPos;
    // However late, one message per due timer; the next is a full interval on.
    if (remove) best->due = now + best->interval;
    return true;
}

std::int64_t MsUntilNextTimer(std::uint64_t now)
{
    std::int64_t best = -1;
    for (const Timer& t : S().timers) {
        std::int64_t d = t.due <= now ? 0 : static_cast<std::int64_t>(t.due - now);
        if (best < 0 || d < best) best = d;
    }
    if (S().trackHwnd && (S().trackFlags & TME_HOVER)) {
        std::int64_t d = S().hoverDue <= now ? 0 : static_cast<std::int64_t>(S().hoverDue - now);
        if (best < 0 || d < best) best = d;
    }
    return best;
}

void KillTimersOf(HWND hwnd)
{
    auto& t = S().timers;
    t.erase(std::remove_if(t.begin(), t.end(), [hwnd](const Timer& x) { return x.hwnd == hwnd; }), t.end());
}

void ServeLoopSources(int timeoutMs)
{
    std::vector<pollfd> fds;
    std::vector<int> ids;  // 0 = ipc socket, -1 = signal pipe
    for (const LoopSource& s : S().loopSources) {
        fds.push_back({s.fd, POLLIN, 0});
        ids.push_back(s.id);
    }
    if (IpcSocketFd() >= 0) {
        fds.push_back({IpcSocketFd(), POLLIN, 0});
        ids.push_back(0);
    }
    if (signalPipe[0] >= 0) {
        fds.push_back({signalPipe[0], POLLIN, 0});
        ids.push_back(-1);
    }
    if (fds.empty()) {
        if (timeoutMs > 0) usleep(static_cast<useconds_t>(timeoutMs) * 1000);
        return;
    }
    int n = poll(fds.data(), fds.size(), timeoutMs);
    if (n <= 0) return;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        if (ids[i] == 0) {
            HandleIpcReadable();
        } else if (ids[i] == -1) {
            DrainSignals();
        } else {
            auto& sources = S().loopSources;
            auto it = std::find_if(sources.begin(), sources.end(), [&](const LoopSource& s) { return s.id == ids[i]; });
            if (it == sources.end()) continue;
            auto callback = it->onReadable;  // the callback may remove its own source
            if (callback) callback();
        }
    }
}

// Every signal whose default would end the program without its own
// closing steps, short of SIGKILL and the faults.
constexpr int kCloseSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2};

void InstallSignalsOnFirstWindow()
{
    if (signalsInstalled) return;
    for (int sig : kCloseSignals) {
        struct sigaction old{};
        sigaction(sig, nullptr, &old);
        if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN) return;  // the program handles them itself
    }
    quelvo::win::InstallCloseOnSignals();
}

bool IsPointerMessage(UINT msg, LPARAM lParam)
{
    // Programs' own messages (WM_USER and up, registered ones) are passed
    // as integers. Below WM_USER only system messages known to carry no
    // pointer cross: the others (text, structures, DCs, control messages)
    // would be meaningless or dangerous in the receiving process.
    if (msg >= WM_USER) return false;
    if (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) return false;
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) return false;
    switch (msg) {
    case WM_NULL:
    case WM_ACTIVATE:
    case WM_ENABLE:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_SYSCOLORCHANGE:
    case WM_SHOWWINDOW:
    case WM_ACTIVATEAPP:
    case WM_FONTCHANGE:
    case WM_TIMECHANGE:
    case WM_CANCELMODE:
    case WM_GETTEXTLENGTH:
    case WM_CONTEXTMENU:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_THEMECHANGED:
        return false;
    case WM_SETTINGCHANGE:
        return lParam != 0;  // the section name would be a pointer
    default:
        return true;
    }
}

}  // namespace quelvo::win::detail

using namespace quelvo::win::detail;

// ---- sending and posting ------------------------------------------------

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> all;
        for (Window* w : S().topLevels) all.push_back(w->handle);
        for (HWND h : all)
            if (Window* w = Find(h)) Deliver(w, msg, wParam, lParam);
        // Other programs are told without waiting for them: one that hangs
        // must not hang the sender.
        if (!IsPointerMessage(msg, lParam))
            for (const RemoteWindow& r : RemoteWindows()) RemotePost(r.hwnd, msg, wParam, lParam);
        return 1;
    }
    if (Window* w = Find(hwnd)) return Deliver(w, msg, wParam, lParam);
    if (IsRemote(hwnd)) {
        bool ok = false;
        return RemoteSend(hwnd, msg, wParam, lParam, ok);
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
}

BOOL SendNotifyMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (IsRemote(hwnd)) return RemotePost(hwnd, msg, wParam, lParam) ? TRUE : FALSE;
    if (hwnd != HWND_BROADCAST && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    SendMessageA(hwnd, msg, wParam, lParam);
    return TRUE;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd == HWND_BROADCAST) {
        for (Window* w : S().topLevels) PostLocal(w->handle, msg, wParam, lParam);
        if (!IsPointerMessage(msg, lParam))
            for (const RemoteWindow& r : RemoteWindows()) RemotePost(r.hwnd, msg, wParam, lParam);
        return TRUE;
    }
    if (!hwnd) {
        PostLocal(nullptr, msg, wParam, lParam);
        return TRUE;
    }
    if (Find(hwnd)) {
        PostLocal(hwnd, msg, wParam, lParam);
        return TRUE;
    }
    if (IsRemote(hwnd)) return RemotePost(hwnd, msg, wParam, lParam) ? TRUE : FALSE;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PostLocal(nullptr, msg, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    S().quitPending = true;
    S().quitCode = exitCode;
}

BOOL InSendMessage() { return S().handlingSendFromElsewhere ? TRUE : FALSE; }

UINT RegisterWindowMessageA(LPCSTR name)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto& reg = S().registeredMessages;
    auto it = reg.find(key);
    if (it != reg.end()) return it->second;
    // Numbers derive from the name, so that every process agrees on them
    // without asking each other.
    std::uint32_t h = 2166136261u;
    for (unsigned char c : key) h = (h ^ c) * 16777619u;
    UINT value = 0xC000 + (h % 0x3FFF);
    for (;;) {
        bool taken = false;
        for (const auto& [k, v] : reg)
            if (v == value) taken = true;
        if (!taken) break;
        value = value == 0xFFFF ? 0xC000 : value + 1;
    }
    reg.emplace(key, value);
    return value;
}

// ---- retrieval -------------------------------------------------------------

namespace {

bool RetrieveOnce(MSG& out, HWND filter, UINT min, UINT max, UINT flags)
{
    bool remove = (flags & PM_REMOVE) != 0;
    State& s = S();
    std::uint64_t now = quelvo::sys::NowMs();
    if (s.trackHwnd && (s.trackFlags & TME_HOVER) && s.hoverDue <= now) {
        HWND h = s.trackHwnd;
        s.trackFlags &= ~TME_HOVER;
        if (!s.trackFlags) s.trackHwnd = nullptr;
        if (Window* w = Find(h)) {
            POINT p = s.cursorPos;
            POINT o = ClientOrigin(w);
            PostLocal(h, WM_MOUSEHOVER, 0, MAKELPARAM(static_cast<WORD>(p.x - o.x), static_cast<WORD>(p.y - o.y)));
        }
    }
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
        if (!MessageMatches(*it, filter, min, max)) continue;
        out = *it;
        if (remove) s.posted.erase(it);
        return true;
    }
    if (s.quitPending) {
        MSG q;
        q.message = WM_QUIT;
        if (MessageMatches(q, nullptr, min, max)) {
            out = q;
            out.wParam = static_cast<WPARAM>(s.quitCode);
            out.time = MessageTime();
            if (remove) s.quitPending = false;
            return true;
        }
    }
    while (!s.input.empty()) {
        RawInput raw = s.input.front();
        bool consumed = false;
        MSG m;
        bool got = CookInput(raw, m, remove, consumed);
        if (!got) {
            if (consumed || remove) {
                if (!s.input.empty()) s.input.pop_front();
                continue;
            }
            break;
        }
        if (!MessageMatches(m, filter, min, max)) break;
        if (remove && !s.input.empty()) s.input.pop_front();
        out = m;
        return true;
    }
    MSG paint;
    paint.message = WM_PAINT;
    if (MessageMatches(paint, nullptr, min, max)) {
        if (Window* w = FindWindowToPaint()) {
            paint.hwnd = w->handle;
            if (MessageMatches(paint, filter, min, max)) {
                if (remove) w->internalPaint = false;
                out = paint;
                out.time = MessageTime();
                out.pt = s.cursorPos;
                return true;
            }
        }
    }
    return NextDueTimer(now, filter, min, max, out, remove);
}

// Set when the loop has just served its sources, so the next look at the
// queue needs no poll of its own.
bool justServed = false;

bool Retrieve(MSG& out, HWND filter, UINT min, UINT max, UINT flags)
{
    FreeGraveyard();
    if (!justServed) ServeLoopSources(0);
    justServed = false;
    if (!RetrieveOnce(out, filter, min, max, flags)) return false;
    State& s = S();
    s.lastMessageTime = static_cast<LONG>(out.time);
    s.lastMessagePos = MAKELONG(static_cast<WORD>(out.pt.x), static_cast<WORD>(out.pt.y));
    if (HasHooks(WH_GETMESSAGE))
        CallHooks(WH_GETMESSAGE, HC_ACTION, flags & PM_REMOVE, reinterpret_cast<LPARAM>(&out));
    return true;
}

void WaitForWork()
{
    if (IsManualClock()) {
        // Manual time never passes by itself: only descriptors can wake us.
        ServeLoopSources(10);
        return;
    }
    std::int64_t wait = MsUntilNextTimer(quelvo::sys::NowMs());
    int timeout = wait < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(wait, 60000));
    if (timeout < 0 && S().loopSources.empty() && IpcSocketFd() < 0 && signalPipe[0] < 0) timeout = 100;
    ServeLoopSources(timeout);
    justServed = true;
}

}  // namespace

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    MSG m;
    if (!Retrieve(m, hwnd, filterMin, filterMax, removeFlags)) return FALSE;
    if (msg) *msg = m;
    return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) return -1;
    if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    for (;;) {
        if (Retrieve(*msg, hwnd, filterMin, filterMax, PM_REMOVE)) return msg->message == WM_QUIT ? FALSE : TRUE;
        WaitForWork();
    }
}

BOOL WaitMessage()
{
    MSG m;
    if (Retrieve(m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
    WaitForWork();
    return TRUE;
}

DWORD GetQueueStatus(UINT flags)
{
    State& s = S();
    DWORD status = 0;
    if (!s.posted.empty()) status |= QS_POSTMESSAGE;
    for (const RawInput& r : s.input) status |= r.isMouse ? (r.mouse.kind == quelvo::win::MouseInput::Kind::Move ? QS_MOUSEMOVE : QS_MOUSEBUTTON) : QS_KEY;
    if (FindWindowToPaint()) status |= QS_PAINT;
    std::uint64_t now = quelvo::sys::NowMs();
    for (const Timer& t : s.timers)
        if (t.due <= now) status |= QS_TIMER;
    return status & flags;
}

DWORD GetMessagePos() { return S().lastMessagePos; }
LONG GetMessageTime() { return S().lastMessageTime; }

char quelvo::win::CharForVirtualKey(int vk, bool shift, bool caps, bool ctrl)
{
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) return static_cast<char>(vk - 'A' + 1);
        bool upper = shift != caps;
        return static_cast<char>(upper ? vk : vk - 'A' + 'a');
    }
    if (ctrl) return 0;
    if (vk >= '0' && vk <= '9') {
        static const char shifted[] = ")!@#$%^&*(";
        return shift ? shifted[vk - '0'] : static_cast<char>(vk);
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return static_cast<char>('0' + vk - VK_NUMPAD0);
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 27;
    case VK_MULTIPLY: return '*';
    case VK_ADD: return '+';
    case VK_SUBTRACT: return '-';
    case VK_DECIMAL: return '.';
    case VK_DIVIDE: return '/';
    case 0xBA: return shift ? ':' : ';';
    case 0xBB: return shift ? '+' : '=';
    case 0xBC: return shift ? '<' : ',';
    case 0xBD: return shift ? '_' : '-';
    case 0xBE: return shift ? '>' : '.';
    case 0xBF: return shift ? '?' : '/';
    case 0xC0: return shift ? '~' : '`';
    case 0xDB: return shift ? '{' : '[';
    case 0xDC: return shift ? '|' : '\\';
    case 0xDD: return shift ? '}' : ']';
    case 0xDE: return shift ? '"' : '\'';
    default: return 0;
    }
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    const auto& ks = S().keyState;
    char c = quelvo::win::CharForVirtualKey(static_cast<int>(msg->wParam), (ks[VK_SHIFT] & 0x80) != 0,
                                            (ks[VK_CAPITAL] & 0x01) != 0, (ks[VK_CONTROL] & 0x80) != 0);
    if (!c) return FALSE;
    PostLocal(msg->hwnd, msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, static_cast<unsigned char>(c), msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a procedure registered for this timer is called.
        for (const Timer& t : S().timers)
            if (t.hwnd == msg->hwnd && t.id == msg->wParam && reinterpret_cast<LPARAM>(t.proc) == msg->lParam) {
                TIMERPROC proc = t.proc;
                const HandlingScope posted(false);
                ++S().inSend;
                proc(msg->hwnd, WM_TIMER, msg->wParam, static_cast<DWORD>(quelvo::sys::NowMs()));
                --S().inSend;
                return 0;
            }
        return 0;
    }
    Window* w = Find(msg->hwnd);
    if (!w) return 0;
    WNDPROC proc = w->proc;
    const HandlingScope posted(false);
    ++S().inSend;
    LRESULT r = proc ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam)
                     : DefWindowProcA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    --S().inSend;
    if (msg->message == WM_PAINT) {
        // Frame and background still pending after the handler: do them now.
        if ((w = Find(msg->hwnd)) && (w->ncPaintPending || w->erasePending)) {
            RECT r2;
            GetUpdateRect(msg->hwnd, &r2, TRUE);
        }
    }
    return r;
}

// ---- timers ------------------------------------------------------------------

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    if (hwnd && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    elapse = std::clamp<UINT>(elapse, 10, 0x7FFFFFFF);
    State& s = S();
    if (!hwnd) {
        auto it = std::find_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return !t.hwnd && t.id == id && id; });
        if (it == s.timers.end()) {
            Timer t;
            t.id = s.nextThreadTimerId++;
            t.interval = elapse;
            t.proc = proc;
            t.due = quelvo::sys::NowMs() + elapse;
            t.serial = ++s.timerSerial;
            s.timers.push_back(t);
            return t.id;
        }
        it->interval = elapse;
        it->proc = proc;
        it->due = quelvo::sys::NowMs() + elapse;
        return it->id;
    }
    auto it = std::find_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == s.timers.end()) {
        s.timers.push_back(Timer{});
        it = s.timers.end() - 1;
        it->hwnd = hwnd;
        it->id = id;
    }
    it->interval = elapse;
    it->proc = proc;
    it->due = quelvo::sys::NowMs() + elapse;
    it->serial = ++s.timerSerial;
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    auto& t = S().timers;
    auto it = std::find_if(t.begin(), t.end(), [&](const Timer& x) { return x.hwnd == hwnd && x.id == id; });
    if (it == t.end()) return FALSE;
    t.erase(it);
    return TRUE;
}

// ---- default window procedure -------------------------------------------

namespace {
quelvo::win::DefWindowProcHook gDefHook = nullptr;
}  // namespace

quelvo::win::DefWindowProcHook quelvo::win::SetDefWindowProcHook(DefWindowProcHook hook)
{
    DefWindowProcHook previous = gDefHook;
    gDefHook = hook;
    return previous;
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = Find(hwnd);
    if (!w) return 0;
    if (gDefHook) {
        LRESULT result = 0;
        if (gDefHook(hwnd, msg, wParam, lParam, result)) return result;
        if (!(w = Find(hwnd))) return result;
    }
    switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(lParam);
        if (!r) return 0;
        RECT in = NonClientInsets(w->style, w->exStyle, (w->style & WS_CHILD) != 0);
        r->left += in.left;
        r->top += in.top;
        r->right = std::max(r->left, r->right - in.right);
        r->bottom = std::max(r->top, r->bottom - in.bottom);
        return 0;
    }
    case WM_NCHITTEST: return DefNcHitTest(w, POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
    case WM_NCPAINT: DefNcPaint(w); return 0;
    case WM_NCACTIVATE:
        if (w->style & WS_CAPTION) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return TRUE;
    case WM_ERASEBKGND: return DefEraseBackground(w, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    case WM_PAINT: DefPaint(w); return 0;
    case WM_SETTEXT: return DefSetText(w, reinterpret_cast<LPCSTR>(lParam));
    case WM_GETTEXT: return DefGetText(w, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SETICON: return DefSetIcon(w, wParam, reinterpret_cast<HICON>(lParam));
    case WM_GETICON: return DefGetIcon(w, wParam);
    case WM_WINDOWPOSCHANGED: DefWindowPosChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam)); return 0;
    case WM_SETCURSOR: return DefSetCursor(w, wParam, lParam);
    case WM_MOUSEACTIVATE:
        if ((w->style & WS_CHILD) && w->parent) {
            LRESULT r = SendMessageA(w->parent->handle, WM_MOUSEACTIVATE, wParam, lParam);
            if (r) return r;
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(hwnd);
        return 0;
    case WM_CANCELMODE:
        if (S().capture == w) ReleaseCapture();
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == static_cast<WPARAM>(VK_F4) && (HIWORD(lParam) & 0x2000)) PostMessageA(hwnd, WM_SYSCOMMAND, 0xF060, 0);
        if (wParam == static_cast<WPARAM>(VK_F10) && (GetKeyState(VK_SHIFT) & 0x8000))
            SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);  // from the keyboard
        return 0;
    case WM_KEYUP:
        if (wParam == static_cast<WPARAM>(VK_APPS)) SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), -1);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case 0xF060: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;  // close
        case 0xF020: ShowWindow(hwnd, SW_MINIMIZE); break;       // minimize
        case 0xF030: ShowWindow(hwnd, SW_MAXIMIZE); break;       // maximize
        case 0xF120: ShowWindow(hwnd, SW_RESTORE); break;        // restore
        default: break;
        }
        return 0;
    case WM_NCLBUTTONUP:
        if (wParam == static_cast<WPARAM>(HTCLOSE)) SendMessageA(hwnd, WM_SYSCOMMAND, 0xF060, lParam);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == static_cast<WPARAM>(HTCAPTION) && (w->style & WS_MAXIMIZEBOX) && (w->style & WS_THICKFRAME))
            SendMessageA(hwnd, WM_SYSCOMMAND, (w->style & WS_MAXIMIZE) ? 0xF120 : 0xF030, lParam);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
        if ((w->style & WS_CHILD) && w->parent) return SendMessageA(w->parent->handle, msg, wParam, lParam);
        return 0;
    case WM_RBUTTONUP: {
        POINT p{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        ClientToScreen(hwnd, &p);
        SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
        return 0;
    }
    case WM_SETREDRAW:
        if (wParam) w->style |= WS_VISIBLE;
        else w->style &= ~WS_VISIBLE;
        return 0;
    case WM_PRINT: DefPrint(w, reinterpret_cast<HDC>(wParam), lParam); return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // The system colours for a control of that kind.
        int back = (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) ? COLOR_WINDOW
                   : msg == WM_CTLCOLORSCROLLBAR                          ? COLOR_SCROLLBAR
                                                                          : COLOR_BTNFACE;
        auto dc = reinterpret_cast<HDC>(wParam);
        if (dc) {
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(back == COLOR_SCROLLBAR ? COLOR_WINDOW : back));
        }
        return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
    }
    case WM_QUERYENDSESSION: return TRUE;
    case WM_SHOWWINDOW:
    case WM_GETDLGCODE:
    default: return 0;
    }
}

// ---- loop sources and signals ---------------------------------------------

namespace quelvo::win {

int AddLoopSource(int fd, std::function<void()> onReadable)
{
    if (fd < 0) return 0;
    LoopSource s;
    s.id = S().nextLoopSource++;
    s.fd = fd;
    s.onReadable = std::move(onReadable);
    S().loopSources.push_back(std::move(s));
    return S().loopSources.back().id;
}

void RemoveLoopSource(int id)
{
    auto& v = S().loopSources;
    v.erase(std::remove_if(v.begin(), v.end(), [id](const LoopSource& s) { return s.id == id; }), v.end());
}

void InstallCloseOnSignals()
{
    if (signalsInstalled) return;
    if (pipe(signalPipe) != 0) return;
    for (int fd : signalPipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    // A write to a closed pipe (standard output of a pipeline that ended)
    // is an error of that write, never the end of the program.
    signal(SIGPIPE, SIG_IGN);
    for (int sig : kCloseSignals) {
        // A signal the starting shell told us to ignore (a background job,
        // nohup) stays ignored; SIGTERM always closes.
        struct sigaction old{};
        if (sig != SIGTERM && sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(sig, &sa, nullptr);
    }
    signalsInstalled = true;
}

}  // namespace quelvo::win
