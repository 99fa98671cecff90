#pragma once
// Internal state of the window manager, shared by its source files only.

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/windows/display.h"
#include "platform/windows/winuser.h"

namespace quelvo::win::detail {

// A set of disjoint rectangles: update regions and clip computation.
class RectSet {
public:
    RectSet() = default;
    explicit RectSet(const RECT& r) { Add(r); }
    void Add(const RECT& r);
    void Add(const RectSet& other);
    void Subtract(const RECT& r);
    void Subtract(const RectSet& other);
    void Intersect(const RECT& r);
    void Intersect(const RectSet& other);
    void Offset(int dx, int dy);
    void Clear() { rects_.clear(); }
    bool Empty() const { return rects_.empty(); }
    RECT Bounds() const;
    const std::vector<RECT>& Rects() const { return rects_; }

private:
    std::vector<RECT> rects_;
};

bool RectEmpty(const RECT& r);
RECT RectIntersect(const RECT& a, const RECT& b);
RECT RectOffset(RECT r, int dx, int dy);

struct WindowClass {
    std::string name;  // as registered; compared case-insensitively
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int clsExtra = 0;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool system = false;  // registered by the platform (controls layer)
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    Window* parent = nullptr;  // null for top-level and message-only windows
    Window* owner = nullptr;
    std::vector<Window*> children;  // z-order, top first
    bool messageOnly = false;
    RECT window{};  // in parent client coordinates (screen for top-level)
    RECT client{};  // same coordinates as window
    RECT restored{};  // the placement before maximizing
    std::string text;
    std::vector<std::pair<std::string, HANDLE>> props;
    std::vector<LONG_PTR> extra;
    RectSet update;  // client coordinates
    bool erasePending = false;
    bool ncPaintPending = false;
    bool internalPaint = false;
    bool destroying = false;
    bool destroyed = false;
    bool created = false;
    Window* lastActivePopup = nullptr;
    std::unique_ptr<gfx::Surface> surface;  // top-level windows only
    HRGN shapeRegion = nullptr;  // SetWindowRgn, window coordinates
    HICON bigIcon = nullptr;     // WM_SETICON
    HICON smallIcon = nullptr;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT interval = 0;
    TIMERPROC proc = nullptr;
    std::uint64_t due = 0;
    std::uint64_t serial = 0;
};

struct Hook {
    HHOOK handle = nullptr;
    int type = 0;
    HOOKPROC proc = nullptr;
    bool removed = false;
};

struct RawInput {
    bool isMouse = true;
    MouseInput mouse;
    KeyInput key;
    DWORD time = 0;
};

struct LoopSource {
    int id = 0;
    int fd = -1;
    std::function<void()> onReadable;
};

struct State {
    std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<Window*> topLevels;     // z-order, top first (topmost ones lead)
    std::vector<Window*> messageOnly;
    std::vector<Window*> creationOrder; // top-level, for the published list
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC001;
    std::uint32_t nextSerial = 0x10;
    std::map<std::string, UINT> registeredMessages;  // lower-cased name
    UINT nextRegisteredMessage = 0xC000;

    std::deque<MSG> posted;
    std::deque<RawInput> input;
    bool quitPending = false;
    int quitCode = 0;

    std::vector<Timer> timers;
    std::uint64_t timerSerial = 0;
    UINT_PTR nextThreadTimerId = 0x7FF0;

    std::vector<std::shared_ptr<Hook>> hooks;
    std::uintptr_t nextHook = 1;

    Window* focus = nullptr;
    Window* active = nullptr;
    Window* capture = nullptr;
    Window* lockedUpdate = nullptr;

    std::array<BYTE, 256> keyState{};       // as of retrieved messages
    std::array<BYTE, 256> asyncKeyState{};  // as injected
    int lastKeyDown = 0;
    POINT cursorPos{};
    HCURSOR cursor = nullptr;
    int cursorShowCount = 0;
    DWORD lastMessagePos = 0;
    LONG lastMessageTime = 0;

    // Double-click tracking.
    UINT lastClickMsg = 0;
    HWND lastClickHwnd = nullptr;
    DWORD lastClickTime = 0;
    POINT lastClickPt{};
    UINT doubleClickTime = 500;

    // Scroll-bar metrics, the program's own (SPI_SETNONCLIENTMETRICS).
    int scrollWidth = 17;
    int scrollHeight = 17;

    // TrackMouseEvent.
    HWND trackHwnd = nullptr;
    DWORD trackFlags = 0;
    DWORD hoverTime = 400;
    std::uint64_t hoverDue = 0;
    POINT hoverPt{};
    HWND mouseWindow = nullptr;  // window under the last mouse message

    std::vector<LoopSource> loopSources;
    int nextLoopSource = 1;

    int inSend = 0;
    // Whether the message being handled now was sent by another process
    // (what InSendMessage tells).
    bool handlingSendFromElsewhere = false;
    std::unique_ptr<DisplayBackend> display;
};

State& S();

Window* Find(HWND hwnd);  // this process's live window, or null
bool IsRemote(HWND hwnd); // a handle of another process
HWND NewHandle();
std::uint32_t OwnPid();

// Message delivery to a window of this process (runs the WH_CALLWNDPROC
// hooks); fromElsewhere when another process sent it and waits.
LRESULT Deliver(Window* w, UINT msg, WPARAM wParam, LPARAM lParam, bool fromElsewhere = false);

// Marks what the handler about to run is handling, for the length of a scope.
class HandlingScope {
public:
    explicit HandlingScope(bool sentFromElsewhere);
    ~HandlingScope();
    HandlingScope(const HandlingScope&) = delete;
    HandlingScope& operator=(const HandlingScope&) = delete;

private:
    bool saved_ = false;
};
LRESULT CallHooks(int type, int code, WPARAM wParam, LPARAM lParam);
bool HasHooks(int type);

// Coordinates.
POINT ClientOrigin(const Window* w);  // screen position of the client origin
POINT WindowOrigin(const Window* w);  // screen position of the window origin
RECT ScreenWindowRect(const Window* w);
RECT ScreenClientRect(const Window* w);
Window* TopLevelOf(Window* w);
bool IsVisibleDeep(const Window* w);
bool IsDescendant(const Window* ancestor, const Window* w);

// Painting internals.
void InvalidateWindow(Window* w, const RectSet* clientRegion, UINT flags);
void InvalidateExposed(Window* parent, const RECT& parentRect);  // parent client coords
Window* FindWindowToPaint();
void NotifyDisplay(Window* w);
void EnsureSurface(Window* w);

// Focus, activation and capture internals.
bool ActivateWindow(Window* w, bool byMouse, bool setFocus);
void ActivateOtherWindow(Window* leaving);
void SetFocusTo(Window* w);
void ReleaseCaptureOf(Window* w);
void ForgetWindow(Window* w);   // clears every reference before the window goes
bool CookInput(const RawInput& raw, MSG& out, bool remove, bool& consumed);

// Timers and messages.
bool NextDueTimer(std::uint64_t now, HWND filter, UINT min, UINT max, MSG& out, bool remove);
std::int64_t MsUntilNextTimer(std::uint64_t now);
void KillTimersOf(HWND hwnd);
bool MessageMatches(const MSG& m, HWND filter, UINT min, UINT max);
void PostLocal(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void ServeLoopSources(int timeoutMs);

// Cross-process delivery and the published window list.
void PublishWindows();
bool RemotePost(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT RemoteSend(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& ok);
bool IsPointerMessage(UINT msg, LPARAM lParam);
struct RemoteWindow {
    HWND hwnd = nullptr;
    std::uint32_t pid = 0;
    bool visible = false;
    std::string className;
    std::string title;
};
std::vector<RemoteWindow> RemoteWindows();  // other live processes' lists
bool RemoteWindowExists(HWND hwnd, RemoteWindow* out);
int IpcSocketFd();   // -1 when not listening
void EnsureIpc();
void HandleIpcReadable();
void ResetIpc();

void InstallSignalsOnFirstWindow();

// The sizes a top-level window may take, as WM_GETMINMAXINFO answers them
// now (the system's defaults when the window leaves them alone).
MINMAXINFO DefaultMinMaxInfo();
MINMAXINFO TrackLimits(HWND hwnd);
// Frame thickness (left, top, right, bottom) of the default non-client area.
RECT NonClientInsets(DWORD style, DWORD exStyle, bool child);
extern const HWND kDesktop;
void FreeGraveyard();
void ForgetRegisteredClasses();  // providers run again on the next miss
void DefWindowPosChanged(HWND hwnd, const WINDOWPOS* wp);
std::vector<std::unique_ptr<Window>>& Graveyard();

}  // namespace quelvo::win::detail
