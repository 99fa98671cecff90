#pragma once
// Internal state of the X11 display, shared by its source files only.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <map>
#include <string>
#include <vector>

#include "platform/windows/x11/x11_display.h"

namespace quelvo::win::x11 {

inline bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }

// One shared-memory or plain image that a window is presented through.
struct PresentImage {
    XImage* image = nullptr;
    XShmSegmentInfo shm{};
    bool usesShm = false;
    std::vector<char> plain;  // pixels of a plain image
    void Release(::Display* dpy, bool serverGone = false);
};

struct TopWindow {
    HWND hwnd = nullptr;
    ::Window xid = 0;
    Colormap colormap = 0;
    bool overrideRedirect = false;
    bool framed = false;
    bool argb = false;
    bool mapped = false;    // asked to be mapped
    bool viewable = false;  // the server mapped it
    bool dirty = true;
    RECT geometry{};        // root coordinates of the X window as last set or reported
    RECT insets{};          // our frame around the X window (framed windows)
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    BYTE alpha = 255;
    ::Window transientFor = 0;
    bool modal = false;
    bool above = false;
    bool dndAware = false;
    bool iconic = false;     // minimized on the desktop
    unsigned long mapSerial = 0;      // request serials of our last map and
    unsigned long iconifySerial = 0;  // iconify: older events are stale
    unsigned long maximizeSerial = 0; // and our last maximise or restore
    bool maximized = false;
    std::vector<HICON> icons;  // the pictures given to the desktop
    long motif[2] = {-1, -1};  // window-manager functions and decorations as last given
    bool shaped = false;     // SetWindowRgn, as last given to the server
    std::vector<RECT> shape;
    XIC ic = nullptr;
    GC gc = nullptr;
    PresentImage image;
};

struct DndState {
    ::Window source = 0;
    ::Window target = 0;
    HWND hwnd = nullptr;
    bool hasUriList = false;
    bool accepted = false;
    POINT pt{};  // root coordinates of the last position
    unsigned long version = 5;
};

struct X11Display::Impl {
    ::Display* dpy = nullptr;
    int screen = 0;
    ::Window root = 0;
    ::Window utility = 0;  // unmapped; owns selections, receives conversions
    Visual* visual = nullptr;
    int depth = 24;
    Visual* argbVisual = nullptr;
    GC gc = nullptr;
    bool shmAvailable = false;
    XIM im = nullptr;
    int wakeFd = -1;
    HHOOK callHook = nullptr;        // destroyed windows, capture changes
    HHOOK getMessageHook = nullptr;  // capture taken while a popup is open
    HWND lastCapture = nullptr;
    int xSource = 0;
    int wakeSource = 0;
    bool inDispatch = false;
    bool lost = false;  // the connection broke: nothing more goes to the server
    bool inWindowChanged = false;
    bool grabbing = false;
    bool keyboardGrabbed = false;
    bool wakeArmed = false;
    bool wmPresent = false;
    ::Window settingsOwner = 0;  // the XSETTINGS manager's window
    int dragThreshold = 0;       // from the desktop settings, 0 = not given
    int doubleClickDistance = 0;
    bool focusCheckPending = false;
    HWND requestedActive = nullptr;
    std::uint64_t lastPresentMs = 0;
    std::map<::Window, TopWindow*> byXid;
    std::map<HWND, std::unique_ptr<TopWindow>> windows;
    std::map<int, int> pressedVk;  // keycode -> vk queued on press
    bool capsSynced = false;
    Cursor cursor = 0;
    std::map<int, Cursor> cursorCache;
    Cursor customCursor = 0;  // the last cursor picture of our own
    Cursor invisibleCursor = 0;
    bool pointerHidden = false;  // ShowCursor below zero
    std::map<std::string, Atom> atoms;

    std::vector<ClipboardItem> clipboard;
    bool ownsClipboard = false;
    std::function<void()> clipboardLost;
    Time lastEventTime = CurrentTime;

    DndState dnd;

    // X windows of ours that are no window of the layer (a docked tray
    // icon) get their events here; so do client messages to the root.
    std::map<::Window, std::function<void(const XEvent&)>> foreign;
    std::function<void(const XClientMessageEvent&)> rootMessages;

    Atom A(const char* name);
    TopWindow* ByXid(::Window xid);
    void HandleEvent(XEvent& ev);
    void DispatchPending();
    void Wake();
    void OnWake();
    void PresentDirty();
    void Present(TopWindow& t);
    void SyncWindow(HWND hwnd);
    void CreateXWindow(TopWindow& t);
    void DestroyXWindow(TopWindow& t);
    void SetProperties(TopWindow& t, bool initial);
    void SweepDead();
    void ConnectionLost();
    void CaptureMayHaveChanged();
    void Forget(HWND hwnd);
    void UpdateGrab();
    void RequestActivation(TopWindow& t);
    void CheckFocus();
    void SyncModifiers(unsigned int state, bool capsKey);
    void ReleaseStaleModifiers();
    void HandleKey(TopWindow* t, XKeyEvent& k, bool press);
    void HandleButton(const XButtonEvent& b, bool press);
    void HandleFocusIn(TopWindow& t);
    void HandleConfigure(TopWindow& t);
    void SetNetState(TopWindow& t, const char* state, bool on);
    std::vector<Atom> NetStates(const TopWindow& t);  // _NET_WM_STATE as it stands
    void SetIcon(TopWindow& t);
    void SetAllowedActions(TopWindow& t);
    // The sizes the window allows for its X window (inside our frame);
    // a maximum of 0 x 0 when it sets none.
    SIZE MinimumInnerSize(const TopWindow& t) const;
    SIZE MaximumInnerSize(const TopWindow& t) const;
    void SetSizeHints(TopWindow& t);
    void SyncShape(TopWindow& t);
    bool IsIconicOnDesktop(const TopWindow& t);
    void SyncIconic(TopWindow& t, bool minimized);
    void MaximizedStateChanged(TopWindow& t);  // read back from _NET_WM_STATE
    bool IsTopPopup(HWND hwnd);
    Cursor CustomCursor(HCURSOR handle);
    Cursor ShownCursor();  // the cursor asked for, or the invisible one
    void ShowCursorOnWindows(Cursor c);
    void ReadDesktopSettings();
    void PostText(const std::string& text);
    bool GetProperty(::Window w, Atom prop, bool remove, std::string& bytes, Atom& type, int& format);

    // Clipboard (x11_clipboard.cpp).
    void ServeSelectionRequest(const XSelectionRequestEvent& req);
    void SelectionCleared(const XSelectionClearEvent& ev);
    bool WaitForSelection(Atom selection, Atom target, Atom property, std::string& out, Atom& type, int timeoutMs);

    // Dropped files (x11_xdnd.cpp).
    void SetDndAware(TopWindow& t, bool aware);
    bool HandleDndMessage(const XClientMessageEvent& ev);
    bool HandleDndSelection(const XSelectionEvent& ev);
};

// Waits until a matching event arrives or timeoutMs passes; handles every
// other event meanwhile.
bool WaitForEvent(X11Display::Impl& impl, int timeoutMs, const std::function<bool(const XEvent&)>& match, XEvent& out);

}  // namespace quelvo::win::x11
