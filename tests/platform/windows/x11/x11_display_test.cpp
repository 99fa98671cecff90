// The X11 display against a private Xvfb: windows as X windows, presented
// pixels, input from the XTEST extension, window-manager requests, the
// clipboard and dropped files, with a second connection playing the other
// programs on the desktop.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/controls/winctl.h"
#include "platform/windows/app_icons.h"
#include "platform/windows/loop.h"
#include "platform/desktop/clipboard/desktop_clipboard.h"
#include "platform/windows/x11/dropfiles.h"
#include "tests/platform/windows/x11/xdnd_source.h"
#include "platform/windows/x11/layered.h"
#include "platform/windows/x11/x11_display.h"
#include "platform/windows/x11/x11_keys.h"
#include "tests/platform/windows/x11/test_icons.h"
#include "tests/platform/windows/x11/xvfb_server.h"

namespace {

using quelvo::win::x11::X11Display;

x11test::XvfbServer* gServer = nullptr;

class XvfbEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        XInitThreads();  // the clipboard test serves from a second thread
        server_ = std::make_unique<x11test::XvfbServer>();
        std::string error;
        if (server_->Start(&error)) gServer = server_.get();
        else error_ = error;
    }
    void TearDown() override
    {
        gServer = nullptr;
        server_.reset();
    }
    static std::string error_;

private:
    std::unique_ptr<x11test::XvfbServer> server_;
};
std::string XvfbEnvironment::error_;

const auto* gEnvironment = ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);

struct Received {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> gLog;
std::vector<std::string> gDropped;
POINT gDropPoint{};
COLORREF gFill = RGB(0x20, 0x60, 0xA0);
// Track sizes the windows answer WM_GETMINMAXINFO with (0: the default).
POINT gMinTrack{0, 0};
POINT gMaxTrack{0, 0};

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    gLog.push_back({hwnd, msg, wParam, lParam});
    switch (msg) {
    case WM_PAINT: {
        // A pattern that shows any shift or swap of the presented pixels.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r{};
        GetClientRect(hwnd, &r);
        HBRUSH fill = CreateSolidBrush(gFill);
        FillRect(dc, &r, fill);
        DeleteObject(fill);
        for (int i = 0; i < 8; ++i) {
            RECT band{i * 9, i * 5, i * 9 + 7, i * 5 + 30};
            HBRUSH b = CreateSolidBrush(RGB(i * 30, 255 - i * 20, (i * 77) & 0xFF));
            FillRect(dc, &band, b);
            DeleteObject(b);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (gMinTrack.x > 0) info->ptMinTrackSize = gMinTrack;
        if (gMaxTrack.x > 0) info->ptMaxTrackSize = gMaxTrack;
        return 0;
    }
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        UINT n = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char path[256];
            DragQueryFileA(drop, i, path, sizeof path);
            gDropped.emplace_back(path);
        }
        DragQueryPoint(drop, &gDropPoint);
        DragFinish(drop);
        return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

class X11DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(gServer, nullptr) << "no X server for the X11 tests: " << XvfbEnvironment::error_;
        quelvo::win::ResetWindowManager();
        char tmpl[] = "/tmp/quelvo-x11test-XXXXXX";
        folder_ = mkdtemp(tmpl);
        quelvo::win::SetRuntimeFolder(folder_);
        std::string error;
        auto display = X11Display::Open(gServer->Name(), &error);
        ASSERT_NE(display, nullptr) << error;
        x_ = display.get();
        quelvo::win::SetDisplay(std::move(display));
        other_ = XOpenDisplay(gServer->Name().c_str());
        ASSERT_NE(other_, nullptr);
        root_ = DefaultRootWindow(other_);
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "x11rec";
        ASSERT_NE(RegisterClassA(&wc), 0);
        gLog.clear();
        gDropped.clear();
        gFill = RGB(0x20, 0x60, 0xA0);
    }

    void TearDown() override
    {
        quelvo::win::ResetWindowManager();  // closes our connection and its windows
        x_ = nullptr;
        if (other_) {
            XSetInputFocus(other_, PointerRoot, RevertToPointerRoot, CurrentTime);
            XCloseDisplay(other_);
        }
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        quelvo::win::SetRuntimeFolder("");
    }

    // Runs our message loop (and the X connection) until pred holds.
    bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            // No call into the display: its events and presents must come
            // through the message loop alone, as in a program.
            if (pred()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    void Settle()
    {
        PumpUntil([] { return false; }, 150);
        x_->Flush();
    }

    HWND Make(const char* title, DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD ex = 0)
    {
        return CreateWindowExA(ex, "x11rec", title, style, x, y, w, h, parent, nullptr, nullptr, nullptr);
    }

    ::Window XOf(HWND hwnd) const { return static_cast<::Window>(x_->XWindowOf(hwnd)); }

    bool Viewable(::Window w)
    {
        XWindowAttributes wa{};
        return w && XGetWindowAttributes(other_, w, &wa) && wa.map_state == IsViewable;
    }

    // Empties the controls' clipboard and puts one block there.
    static void PutOnClipboard(UINT format, const void* data, std::size_t size)
    {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(mem), data, size);
        GlobalUnlock(mem);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        ASSERT_NE(SetClipboardData(format, mem), nullptr);
        CloseClipboard();
    }

    bool WaitViewable(HWND hwnd)
    {
        return PumpUntil([&] { return Viewable(XOf(hwnd)); });
    }

    std::string PropertyText(::Window w, const char* name)
    {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::string out;
        if (XGetWindowProperty(other_, w, XInternAtom(other_, name, False), 0, 1024, False, AnyPropertyType, &type,
                               &format, &n, &after, &data) == Success &&
            data) {
            if (format == 8) out.assign(reinterpret_cast<char*>(data), n);
            XFree(data);
        }
        return out;
    }

    std::vector<long> PropertyLongs(::Window w, const char* name)
    {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> out;
        if (XGetWindowProperty(other_, w, XInternAtom(other_, name, False), 0, 1024, False, AnyPropertyType, &type,
                               &format, &n, &after, &data) == Success &&
            data) {
            if (format == 32) out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + n);
            XFree(data);
        }
        return out;
    }

    Atom Atom_(const char* name) { return XInternAtom(other_, name, False); }

    RECT XGeometry(::Window w)
    {
        XWindowAttributes wa{};
        XGetWindowAttributes(other_, w, &wa);
        int x = 0, y = 0;
        ::Window child = 0;
        XTranslateCoordinates(other_, w, root_, 0, 0, &x, &y, &child);
        return RECT{x, y, x + wa.width, y + wa.height};
    }

    std::vector<Received> Messages(UINT msg, HWND hwnd = nullptr) const
    {
        std::vector<Received> out;
        for (const Received& r : gLog)
            if (r.msg == msg && (!hwnd || r.hwnd == hwnd)) out.push_back(r);
        return out;
    }

    // Screen point of a client point.
    POINT ScreenPoint(HWND hwnd, int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(hwnd, &p);
        return p;
    }

    void PressKeycode(::KeyCode code)
    {
        XTestFakeKeyEvent(other_, code, True, CurrentTime);
        XTestFakeKeyEvent(other_, code, False, CurrentTime);
        XFlush(other_);
    }

    void FakeKey(KeySym sym, bool shift = false)
    {
        ::KeyCode shiftCode = XKeysymToKeycode(other_, XK_Shift_L);
        ::KeyCode code = XKeysymToKeycode(other_, sym);
        ASSERT_NE(code, 0) << "no key for symbol " << sym;
        if (shift) XTestFakeKeyEvent(other_, shiftCode, True, CurrentTime);
        XTestFakeKeyEvent(other_, code, True, CurrentTime);
        XTestFakeKeyEvent(other_, code, False, CurrentTime);
        if (shift) XTestFakeKeyEvent(other_, shiftCode, False, CurrentTime);
        XFlush(other_);
    }

    // Key codes without any symbol, to map characters onto.
    std::vector<::KeyCode> SpareKeycodes(std::size_t count)
    {
        int minCode = 0, maxCode = 0;
        XDisplayKeycodes(other_, &minCode, &maxCode);
        int per = 0;
        KeySym* map = XGetKeyboardMapping(other_, static_cast<::KeyCode>(minCode), maxCode - minCode + 1, &per);
        std::vector<::KeyCode> out;
        for (int c = maxCode; c >= minCode && out.size() < count; --c) {
            bool empty = true;
            for (int i = 0; i < per; ++i)
                if (map[(c - minCode) * per + i] != NoSymbol) empty = false;
            if (empty) out.push_back(static_cast<::KeyCode>(c));
        }
        XFree(map);
        return out;
    }

    std::string Chars(HWND hwnd) const
    {
        std::string s;
        for (const Received& r : Messages(WM_CHAR, hwnd)) s += static_cast<char>(r.wParam);
        return s;
    }

    X11Display* x_ = nullptr;
    Display* other_ = nullptr;
    ::Window root_ = 0;
    std::string folder_;
};

TEST_F(X11DisplayTest, TopLevelWindowsBecomeXWindowsOfTheirKind)
{
    HWND main = Make("Quelvo main \xE2\x9C\x93", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 320, 240);
    HWND hidden = Make("hidden", WS_OVERLAPPEDWINDOW, 10, 10, 100, 100);
    HWND dialog = Make("dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 150, 120, 200, 150, main);
    HWND popup = Make("popup", WS_POPUP | WS_BORDER | WS_VISIBLE, 500, 300, 120, 90, main, WS_EX_TOOLWINDOW);
    HWND tool = Make("tool", WS_POPUP | WS_CAPTION | WS_VISIBLE, 600, 50, 100, 80, nullptr, WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 50, main);
    ASSERT_TRUE(main && hidden && dialog && popup && tool && child);
    ASSERT_TRUE(WaitViewable(main));
    ASSERT_TRUE(WaitViewable(popup));
    ::Window xmain = XOf(main);

    EXPECT_EQ(XOf(hidden), 0u) << "hidden windows are never created on the server";
    EXPECT_EQ(XOf(child), 0u) << "children stay ours";
    EXPECT_EQ(PropertyText(xmain, "_NET_WM_NAME"), "Quelvo main \xE2\x9C\x93");
    std::vector<long> pid = PropertyLongs(xmain, "_NET_WM_PID");
    ASSERT_EQ(pid.size(), 1u);
    EXPECT_EQ(pid[0], static_cast<long>(getpid()));
    XClassHint cls{};
    ASSERT_TRUE(XGetClassHint(other_, xmain, &cls));
    EXPECT_STREQ(cls.res_class, "Quelvo");
    XFree(cls.res_name);
    XFree(cls.res_class);

    // A framed window shows its inside; the desktop draws the frame.
    RECT client{};
    GetClientRect(main, &client);
    POINT origin = ScreenPoint(main, 0, 0);
    RECT g = XGeometry(xmain);
    EXPECT_EQ(g.left, origin.x);
    EXPECT_EQ(g.top, origin.y);
    EXPECT_EQ(g.right - g.left, client.right);
    EXPECT_EQ(g.bottom - g.top, client.bottom);

    ::Window transient = 0;
    ASSERT_TRUE(XGetTransientForHint(other_, XOf(dialog), &transient));
    EXPECT_EQ(transient, xmain);
    EXPECT_EQ(PropertyLongs(XOf(dialog), "_NET_WM_WINDOW_TYPE"), std::vector<long>{static_cast<long>(Atom_("_NET_WM_WINDOW_TYPE_DIALOG"))});

    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(other_, XOf(popup), &wa));
    EXPECT_TRUE(wa.override_redirect) << "popups place themselves";
    RECT pr{};
    GetWindowRect(popup, &pr);
    EXPECT_EQ(XGeometry(XOf(popup)).left, pr.left);
    EXPECT_EQ(wa.width, pr.right - pr.left) << "a popup shows its own border";

    // A child taken off its parent (a drop-down that leaves the focus with
    // its owner) is shown on its own, placed by us and never focused.
    HWND loose = Make("loose child", WS_CHILD | WS_BORDER | WS_VISIBLE, 40, 40, 70, 30, main);
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(XOf(loose), 0u);
    SetParent(loose, nullptr);
    SetWindowPos(loose, HWND_TOP, 640, 400, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ASSERT_TRUE(WaitViewable(loose));
    XWindowAttributes looseAttributes{};
    ASSERT_TRUE(XGetWindowAttributes(other_, XOf(loose), &looseAttributes));
    EXPECT_TRUE(looseAttributes.override_redirect);
    EXPECT_EQ(XGeometry(XOf(loose)).left, 640);
    EXPECT_EQ(looseAttributes.width, 70);
    XWMHints* looseHints = XGetWMHints(other_, XOf(loose));
    ASSERT_NE(looseHints, nullptr);
    EXPECT_FALSE(looseHints->input) << "the keyboard stays with the owner";
    XFree(looseHints);
    DestroyWindow(loose);

    std::vector<long> states = PropertyLongs(XOf(tool), "_NET_WM_STATE");
    EXPECT_NE(std::find(states.begin(), states.end(), static_cast<long>(Atom_("_NET_WM_STATE_ABOVE"))), states.end());
    EXPECT_EQ(PropertyLongs(XOf(tool), "_NET_WM_WINDOW_TYPE"), std::vector<long>{static_cast<long>(Atom_("_NET_WM_WINDOW_TYPE_UTILITY"))});

    SetWindowTextA(main, "renamed");
    ASSERT_TRUE(PumpUntil([&] { return PropertyText(xmain, "_NET_WM_NAME") == "renamed"; }));

    // A dialog the user cannot size keeps the size the program gives it.
    SetWindowPos(dialog, nullptr, 0, 0, 260, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT dc{};
    GetClientRect(dialog, &dc);
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(PumpUntil([&] {
        return XGetWMNormalHints(other_, XOf(dialog), &hints, &supplied) && hints.min_width == dc.right &&
               hints.max_height == dc.bottom;
    }));

    // Absurd sizes and places are cut to what the protocol can say.
    HWND huge = Make("huge", WS_POPUP | WS_VISIBLE, -100000, 50, 100000, 40000, main, WS_EX_TOOLWINDOW);
    ASSERT_NE(huge, nullptr);
    ASSERT_TRUE(WaitViewable(huge));
    XWindowAttributes hugeAttributes{};
    ASSERT_TRUE(XGetWindowAttributes(other_, XOf(huge), &hugeAttributes));
    EXPECT_EQ(hugeAttributes.x, -32768);
    EXPECT_EQ(hugeAttributes.width, 16384);
    EXPECT_EQ(hugeAttributes.height, 16384);
    DestroyWindow(huge);

    // Two popups: the one brought to the top of ours is on top on the server.
    HWND second = Make("second popup", WS_POPUP | WS_VISIBLE, 520, 320, 60, 60, main, WS_EX_TOOLWINDOW);
    ASSERT_TRUE(WaitViewable(second));
    auto stackedAbove = [&](::Window upper, ::Window lower) {
        ::Window rootReturn = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(other_, root_, &rootReturn, &parent, &children, &count);
        int upperAt = -1, lowerAt = -1;
        for (unsigned i = 0; i < count; ++i) {
            if (children[i] == upper) upperAt = static_cast<int>(i);
            if (children[i] == lower) lowerAt = static_cast<int>(i);
        }
        if (children) XFree(children);
        return upperAt > lowerAt && lowerAt >= 0;  // bottom to top
    };
    EXPECT_TRUE(stackedAbove(XOf(second), XOf(popup)));
    SetWindowPos(popup, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return stackedAbove(XOf(popup), XOf(second)); }));

    ShowWindow(popup, SW_HIDE);
    ASSERT_TRUE(PumpUntil([&] { return !Viewable(XOf(popup)); }));
    ::Window xdialog = XOf(dialog);
    DestroyWindow(dialog);
    Settle();
    EXPECT_EQ(XOf(dialog), 0u);
    EXPECT_FALSE(XGetWindowAttributes(other_, xdialog, &wa)) << "the X window went with it";
}

// Dialog boxes are announced as dialogs even without an owner, and the
// window manager offers only the buttons the style has.
TEST_F(X11DisplayTest, ASizableWindowKeepsItsTrackSizesAgainstTheWindowManager)
{
    gMinTrack = {300, 200};
    gMaxTrack = {500, 400};
    struct Reset {
        ~Reset() { gMinTrack = gMaxTrack = {0, 0}; }
    } reset;
    HWND w = Make("limits", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 350, 250);
    ASSERT_TRUE(WaitViewable(w));
    Settle();
    RECT outer{}, client{};
    GetWindowRect(w, &outer);
    GetClientRect(w, &client);
    // The X window is the client part: the hints are the limits less our frame.
    const int frameX = (outer.right - outer.left) - client.right;
    const int frameY = (outer.bottom - outer.top) - client.bottom;
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(other_, XOf(w), &hints, &supplied));
    EXPECT_TRUE((hints.flags & PMinSize) && (hints.flags & PMaxSize));
    EXPECT_EQ(hints.min_width, 300 - frameX);
    EXPECT_EQ(hints.min_height, 200 - frameY);
    EXPECT_EQ(hints.max_width, 500 - frameX);
    EXPECT_EQ(hints.max_height, 400 - frameY);
    // A window manager asking for less or more gets the nearest size allowed.
    struct Case {
        unsigned width, height;
        int expectedWidth, expectedHeight;
    };
    for (const Case& c : {Case{100, 80, 300, 200}, Case{900, 700, 500, 400}, Case{360, 260, 360 + frameX, 260 + frameY}}) {
        XResizeWindow(other_, XOf(w), c.width, c.height);
        XFlush(other_);
        EXPECT_TRUE(PumpUntil([&] {
            RECT r{};
            GetWindowRect(w, &r);
            const RECT g = XGeometry(XOf(w));
            return r.right - r.left == c.expectedWidth && r.bottom - r.top == c.expectedHeight &&
                   g.right - g.left == c.expectedWidth - frameX && g.bottom - g.top == c.expectedHeight - frameY;
        })) << c.width << " x " << c.height;
    }
}

TEST_F(X11DisplayTest, DialogsAndTheButtonsTheWindowManagerOffers)
{
    constexpr DWORD kModalFrame = 0x80;  // DS_MODALFRAME
    constexpr long kFnMinimize = 8, kFnMaximize = 16, kFnClose = 32, kFnResize = 2;
    struct Case {
        const char* title;
        DWORD style;
        DWORD ex;
        const char* type;
        long functions;  // of resize, minimize, maximize, close
    };
    const Case cases[] = {
        {"main", WS_OVERLAPPEDWINDOW, 0, "_NET_WM_WINDOW_TYPE_NORMAL", kFnResize | kFnMinimize | kFnMaximize | kFnClose},
        {"modal frame", WS_POPUP | WS_CAPTION | WS_SYSMENU | kModalFrame, 0, "_NET_WM_WINDOW_TYPE_DIALOG", kFnClose},
        {"dialog frame", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME,
         "_NET_WM_WINDOW_TYPE_DIALOG", kFnMinimize | kFnClose},
        {"no system menu", WS_CAPTION, 0, "_NET_WM_WINDOW_TYPE_NORMAL", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        HWND hwnd = Make(c.title, c.style | WS_VISIBLE, 100, 100, 200, 120, nullptr, c.ex);
        ASSERT_TRUE(WaitViewable(hwnd));
        EXPECT_EQ(PropertyLongs(XOf(hwnd), "_NET_WM_WINDOW_TYPE"), std::vector<long>{static_cast<long>(Atom_(c.type))});
        std::vector<long> motif = PropertyLongs(XOf(hwnd), "_MOTIF_WM_HINTS");
        ASSERT_EQ(motif.size(), 5u);
        EXPECT_EQ(motif[0] & 3, 3) << "functions and decorations given";
        EXPECT_EQ(motif[1] & (kFnResize | kFnMinimize | kFnMaximize | kFnClose), c.functions);
        DestroyWindow(hwnd);
    }
    // A style changed later is followed.
    HWND later = Make("later", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 200, 120);
    ASSERT_TRUE(WaitViewable(later));
    SetWindowLongA(later, GWL_STYLE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_VISIBLE);
    SetWindowPos(later, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ASSERT_TRUE(PumpUntil([&] {
        std::vector<long> motif = PropertyLongs(XOf(later), "_MOTIF_WM_HINTS");
        return motif.size() == 5 && (motif[1] & kFnMaximize);
    }));
}

// Windows whose class has no icon show the program's, in all its sizes;
// an icon given with WM_SETICON takes over.
TEST_F(X11DisplayTest, WindowsShowTheProgramsIconOrTheirOwn)
{
    const std::uint32_t red[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    const std::uint32_t blue[4] = {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
    HICON small = x11test::MakeTestIcon(red, nullptr);
    quelvo::gfx::Picture picture;
    picture.width = picture.height = 4;
    picture.pixels.assign(16, 0xFF00FF00);
    HBITMAP colour = quelvo::gfx::CreateBitmapFromPicture(picture);
    const unsigned char noMask[8] = {};
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, noMask);
    ICONINFO info;
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON large = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    quelvo::win::SetApplicationIcons({small, large});
    DestroyIcon(small);  // copies are kept
    DestroyIcon(large);

    auto sizes = [&](HWND hwnd) {
        std::vector<long> data = PropertyLongs(XOf(hwnd), "_NET_WM_ICON");
        std::vector<long> out;
        for (std::size_t at = 0; at + 1 < data.size(); at += 2 + static_cast<std::size_t>(data[at] * data[at + 1]))
            out.push_back(data[at]);
        return out;
    };
    HWND dialog = Make("About", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 200, 120);
    ASSERT_TRUE(WaitViewable(dialog));
    EXPECT_EQ(sizes(dialog), (std::vector<long>{2, 4}));

    HICON own = x11test::MakeTestIcon(blue, nullptr);
    EXPECT_EQ(SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(own)), 0);
    EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(own));
    ASSERT_TRUE(PumpUntil([&] { return sizes(dialog) == std::vector<long>{2}; }));
    EXPECT_EQ(static_cast<std::uint32_t>(PropertyLongs(XOf(dialog), "_NET_WM_ICON")[2]), 0xFF0000FFu);
    EXPECT_EQ(SendMessageA(dialog, WM_SETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(own));
    ASSERT_TRUE(PumpUntil([&] { return sizes(dialog) == std::vector<long>{2, 4}; }));
    DestroyWindow(dialog);
    DestroyIcon(own);
    quelvo::win::SetApplicationIcons({});
}

TEST_F(X11DisplayTest, TheScreenShowsWhatWeDrew)
{
    HWND main = Make("shot", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 260, 200);
    HWND popup = Make("popup", WS_POPUP | WS_VISIBLE, 400, 100, 90, 70, main, WS_EX_TOOLWINDOW);
    ASSERT_TRUE(WaitViewable(main) && WaitViewable(popup));
    Settle();
    for (HWND hwnd : {main, popup}) {
        ::Window w = XOf(hwnd);
        RECT g = XGeometry(w);
        int width = g.right - g.left, height = g.bottom - g.top;
        XImage* img = XGetImage(other_, w, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
        ASSERT_NE(img, nullptr);
        const quelvo::gfx::Surface* s = quelvo::win::TopLevelSurface(hwnd);
        ASSERT_NE(s, nullptr);
        RECT wr{};
        GetWindowRect(hwnd, &wr);
        int ox = g.left - wr.left, oy = g.top - wr.top;
        int mismatches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((XGetPixel(img, x, y) & 0xFFFFFF) != (s->At(x + ox, y + oy) & 0xFFFFFF)) ++mismatches;
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(XGetPixel(img, width - 2, height - 2) & 0xFFFFFF, 0x2060A0u) << "the fill reached the screen";
        XDestroyImage(img);
    }
    // A window partly off the screen shows its visible part right.
    HWND edge = Make("edge", WS_POPUP | WS_VISIBLE, -30, 300, 90, 70, main, WS_EX_TOOLWINDOW);
    ASSERT_TRUE(WaitViewable(edge));
    Settle();
    XImage* part = XGetImage(other_, XOf(edge), 30, 0, 60, 70, AllPlanes, ZPixmap);
    ASSERT_NE(part, nullptr);
    const quelvo::gfx::Surface* es = quelvo::win::TopLevelSurface(edge);
    int wrong = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 60; ++x)
            if ((XGetPixel(part, x, y) & 0xFFFFFF) != (es->At(x + 30, y) & 0xFFFFFF)) ++wrong;
    EXPECT_EQ(wrong, 0);
    XDestroyImage(part);

    // A repaint is presented by itself.
    gFill = RGB(0xFF, 0x80, 0x00);
    InvalidateRect(main, nullptr, TRUE);
    ::Window w = XOf(main);
    ASSERT_TRUE(PumpUntil([&] {
        RECT g = XGeometry(w);
        XImage* img = XGetImage(other_, w, g.right - g.left - 3, g.bottom - g.top - 3, 1, 1, AllPlanes, ZPixmap);
        bool orange = img && (XGetPixel(img, 0, 0) & 0xFFFFFF) == 0xFF8000u;
        if (img) XDestroyImage(img);
        return orange;
    }));
}

TEST_F(X11DisplayTest, WindowRegionsShapeTheXWindow)
{
    HWND main = Make("shaped owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 150);
    HWND popup = Make("shaped", WS_POPUP | WS_VISIBLE, 300, 200, 100, 80, main, WS_EX_TOOLWINDOW);
    ASSERT_TRUE(WaitViewable(popup));
    auto shape = [&](::Window w) {
        int count = 0, ordering = 0;
        std::vector<std::string> out;
        XRectangle* r = XShapeGetRectangles(other_, w, ShapeBounding, &count, &ordering);
        for (int i = 0; i < count; ++i)
            out.push_back(std::to_string(r[i].x) + "," + std::to_string(r[i].y) + " " + std::to_string(r[i].width) + "x" +
                          std::to_string(r[i].height));
        if (r) XFree(r);
        std::sort(out.begin(), out.end());
        return out;
    };
    HRGN region = CreateRectRgn(0, 0, 30, 20);
    HRGN second = CreateRectRgn(50, 40, 100, 80);
    CombineRgn(region, region, second, RGN_OR);
    DeleteObject(second);
    SetWindowRgn(popup, region, TRUE);
    std::vector<std::string> want{"0,0 30x20", "50,40 50x40"};
    ASSERT_TRUE(PumpUntil([&] { return shape(XOf(popup)) == want; }));
    SetWindowRgn(popup, nullptr, TRUE);
    want = {"0,0 100x80"};
    ASSERT_TRUE(PumpUntil([&] { return shape(XOf(popup)) == want; })) << "the whole window again";

    // A framed window's region counts from its frame, which the desktop draws.
    RECT wr{}, client{};
    GetWindowRect(main, &wr);
    GetClientRect(main, &client);
    POINT origin = ScreenPoint(main, 0, 0);
    int fx = origin.x - wr.left, fy = origin.y - wr.top;
    SetWindowRgn(main, CreateRectRgn(fx + 10, fy + 5, fx + 60, fy + 45), TRUE);
    want = {"10,5 50x40"};
    ASSERT_TRUE(PumpUntil([&] { return shape(XOf(main)) == want; }));
}

TEST_F(X11DisplayTest, PointerInputReachesTheWindowUnderIt)
{
    HWND main = Make("pointer", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 220);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, 40, 30, 120, 80, main);
    ASSERT_TRUE(WaitViewable(main));
    Settle();
    POINT p = ScreenPoint(child, 17, 23);
    XTestFakeMotionEvent(other_, DefaultScreen(other_), p.x, p.y, CurrentTime);
    XTestFakeButtonEvent(other_, 1, True, CurrentTime);
    XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    XTestFakeButtonEvent(other_, 1, True, CurrentTime);
    XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    XTestFakeButtonEvent(other_, 3, True, CurrentTime);
    XTestFakeButtonEvent(other_, 3, False, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return !Messages(WM_RBUTTONUP, child).empty(); }));
    auto downs = Messages(WM_LBUTTONDOWN, child);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(LOWORD(downs[0].lParam), 17);
    EXPECT_EQ(HIWORD(downs[0].lParam), 23);
    EXPECT_EQ(Messages(WM_LBUTTONDBLCLK, child).size(), 1u) << "the second quick click is a double click";
    EXPECT_EQ(Messages(WM_LBUTTONUP, child).size(), 2u);
    EXPECT_EQ(Messages(WM_RBUTTONDOWN, child).size(), 1u);
    EXPECT_TRUE(Messages(WM_LBUTTONDOWN, main).empty());
    EXPECT_EQ(GetActiveWindow(), main) << "clicking activates";

    // A move queued behind a press stays behind it: the drag starts where
    // the press was and the move comes after it.
    gLog.clear();
    const POINT from = ScreenPoint(child, 30, 30), to = ScreenPoint(child, 60, 50);
    XTestFakeMotionEvent(other_, DefaultScreen(other_), from.x, from.y, CurrentTime);
    XTestFakeButtonEvent(other_, 1, True, CurrentTime);
    XTestFakeMotionEvent(other_, DefaultScreen(other_), to.x, to.y, CurrentTime);
    XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return !Messages(WM_LBUTTONUP, child).empty(); }));
    std::ptrdiff_t down = -1, moveTo = -1;
    for (std::size_t i = 0; i < gLog.size(); ++i) {
        if (gLog[i].hwnd != child) continue;
        if (gLog[i].msg == WM_LBUTTONDOWN || gLog[i].msg == WM_LBUTTONDBLCLK) down = static_cast<std::ptrdiff_t>(i);
        if (gLog[i].msg == WM_MOUSEMOVE && LOWORD(gLog[i].lParam) == 60) moveTo = static_cast<std::ptrdiff_t>(i);
    }
    ASSERT_GE(down, 0);
    EXPECT_EQ(LOWORD(gLog[static_cast<std::size_t>(down)].lParam), 30) << "the press is where it happened";
    EXPECT_GT(moveTo, down) << "the move after the press comes after it";

    SetFocus(child);
    XTestFakeButtonEvent(other_, 5, True, CurrentTime);
    XTestFakeButtonEvent(other_, 5, False, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return !Messages(WM_MOUSEWHEEL, child).empty(); }));
    EXPECT_EQ(static_cast<SHORT>(HIWORD(Messages(WM_MOUSEWHEEL, child)[0].wParam)), -WHEEL_DELTA);
}

TEST_F(X11DisplayTest, TypedKeysBecomeKeyAndCharacterMessages)
{
    HWND main = Make("keys", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 240, 160);
    HWND child = Make("edit", WS_CHILD | WS_VISIBLE, 10, 10, 100, 30, main);
    ASSERT_TRUE(WaitViewable(main));
    SetFocus(child);
    ::Window focus = 0;
    int revert = 0;
    ASSERT_TRUE(PumpUntil([&] {
        XGetInputFocus(other_, &focus, &revert);
        return focus == XOf(main);
    })) << "the active window holds the keyboard";

    FakeKey(XK_h, true);
    FakeKey(XK_i);
    FakeKey(XK_1, true);
    FakeKey(XK_space);
    FakeKey(XK_Left);
    FakeKey(XK_Delete);
    ASSERT_TRUE(PumpUntil([&] { return Messages(WM_KEYUP, child).size() >= 8; }));
    EXPECT_EQ(Chars(child), "Hi! ");
    std::vector<WPARAM> keys;
    for (const Received& r : Messages(WM_KEYDOWN, child)) keys.push_back(r.wParam);
    std::vector<WPARAM> want{VK_SHIFT, 'H', 'I', VK_SHIFT, '1', VK_SPACE, VK_LEFT, VK_DELETE};
    EXPECT_EQ(keys, want);
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);

    // The keypad types digits under Num Lock and moves without it.
    gLog.clear();
    FakeKey(XK_KP_1);
    FakeKey(XK_Num_Lock);
    FakeKey(XK_KP_1);
    FakeKey(XK_Num_Lock);
    ASSERT_TRUE(PumpUntil([&] { return Messages(WM_KEYUP, child).size() >= 4; }));
    keys.clear();
    for (const Received& r : Messages(WM_KEYDOWN, child)) keys.push_back(r.wParam);
    want = {VK_END, VK_NUMLOCK, VK_NUMPAD0 + 1, VK_NUMLOCK};
    EXPECT_EQ(keys, want);
    EXPECT_EQ(Chars(child), "1");

    // A character the layer's keyboard does not have: text only. And a
    // dead key composing with the next one through the input method.
    std::vector<::KeyCode> spare = SpareKeycodes(2);
    ASSERT_EQ(spare.size(), 2u);
    KeySym eacute[2] = {XK_eacute, XK_Eacute};
    XChangeKeyboardMapping(other_, spare[0], 2, eacute, 1);
    KeySym dead[2] = {XK_dead_acute, XK_dead_acute};
    XChangeKeyboardMapping(other_, spare[1], 2, dead, 1);
    XSync(other_, False);
    Settle();
    gLog.clear();
    PressKeycode(spare[0]);
    ASSERT_TRUE(PumpUntil([&] { return Chars(child).size() >= 2; }));
    EXPECT_EQ(Chars(child), "\xC3\xA9") << "UTF-8 bytes, one character message each";
    auto downs = Messages(WM_KEYDOWN, child);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(quelvo::win::x11::kVkPacket));

    gLog.clear();
    PressKeycode(spare[1]);
    FakeKey(XK_a);
    ASSERT_TRUE(PumpUntil([&] { return Chars(child).size() >= 2; }));
    EXPECT_EQ(Chars(child), "\xC3\xA1") << "dead acute and a make one character";

    // Shift let go while another program had the keyboard is up again.
    ::KeyCode shift = XKeysymToKeycode(other_, XK_Shift_L);
    XTestFakeKeyEvent(other_, shift, True, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }));
    XSetInputFocus(other_, root_, RevertToParent, CurrentTime);
    XSync(other_, False);
    ASSERT_TRUE(PumpUntil([] { return GetActiveWindow() == nullptr; }));
    XTestFakeKeyEvent(other_, shift, False, CurrentTime);
    XSetInputFocus(other_, XOf(main), RevertToParent, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));
    ASSERT_TRUE(PumpUntil([] { return !(GetAsyncKeyState(VK_SHIFT) & 0x8000); }));
}

TEST_F(X11DisplayTest, WindowManagerRequestsBecomeMessages)
{
    HWND main = Make("wm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    HWND second = Make("second", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 450, 100, 200, 150);
    ASSERT_TRUE(WaitViewable(main) && WaitViewable(second));
    Settle();

    // Moved and sized by the desktop: the window and its frame follow.
    RECT before{};
    GetWindowRect(main, &before);
    ::Window xmain = XOf(main);
    RECT g = XGeometry(xmain);
    gLog.clear();
    XMoveResizeWindow(other_, xmain, g.left + 30, g.top + 20, 400, 250);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return !Messages(WM_SIZE, main).empty(); }));
    RECT after{};
    GetWindowRect(main, &after);
    EXPECT_EQ(after.left, before.left + 30);
    EXPECT_EQ(after.top, before.top + 20);
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 250);
    EXPECT_EQ(LOWORD(Messages(WM_SIZE, main).back().lParam), 400);

    // Activation given by the desktop, and taken away.
    ASSERT_EQ(GetActiveWindow(), second) << "the last one shown";
    XSetInputFocus(other_, xmain, RevertToParent, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == main; }));
    ASSERT_FALSE(Messages(WM_ACTIVATE, main).empty());
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, main).back().wParam), WA_ACTIVE);
    EXPECT_EQ(LOWORD(Messages(WM_ACTIVATE, second).back().wParam), WA_INACTIVE);
    gLog.clear();
    XSetInputFocus(other_, root_, RevertToParent, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == nullptr; }));
    auto app = Messages(WM_ACTIVATEAPP, main);
    ASSERT_FALSE(app.empty());
    EXPECT_EQ(app.back().wParam, static_cast<WPARAM>(FALSE));

    // A modal form without an owner: clicking its disabled main window
    // brings the form back.
    HWND modal = Make("modal", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 200, 200, 200, 120);
    ASSERT_TRUE(WaitViewable(modal));
    EnableWindow(main, FALSE);
    ASSERT_TRUE(PumpUntil([&] {
        ::Window f = 0;
        int r = 0;
        XGetInputFocus(other_, &f, &r);
        return GetActiveWindow() == modal && f == XOf(modal);
    }));
    XSetInputFocus(other_, xmain, RevertToParent, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] {
        ::Window f = 0;
        int r = 0;
        XGetInputFocus(other_, &f, &r);
        return f == XOf(modal);
    }));
    EXPECT_EQ(GetActiveWindow(), modal);
    EnableWindow(main, TRUE);
    DestroyWindow(modal);

    // The desktop's ping is answered (else it offers to kill us).
    XSelectInput(other_, root_, SubstructureNotifyMask);
    XEvent ping{};
    ping.xclient.type = ClientMessage;
    ping.xclient.window = xmain;
    ping.xclient.message_type = Atom_("WM_PROTOCOLS");
    ping.xclient.format = 32;
    ping.xclient.data.l[0] = static_cast<long>(Atom_("_NET_WM_PING"));
    ping.xclient.data.l[1] = 4242;
    ping.xclient.data.l[2] = static_cast<long>(xmain);
    XSendEvent(other_, xmain, False, NoEventMask, &ping);
    XFlush(other_);
    XEvent pong{};
    ASSERT_TRUE(PumpUntil([&] {
        while (XCheckTypedEvent(other_, ClientMessage, &pong))
            if (pong.xclient.window == root_ && pong.xclient.data.l[1] == 4242) return true;
        return false;
    }));
    XSelectInput(other_, root_, NoEventMask);

    // The close button of the frame.
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = XOf(second);
    ev.xclient.message_type = Atom_("WM_PROTOCOLS");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(Atom_("WM_DELETE_WINDOW"));
    XSendEvent(other_, XOf(second), False, NoEventMask, &ev);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return !Messages(WM_CLOSE, second).empty(); }));
    EXPECT_FALSE(IsWindow(second)) << "the default close destroys";
    EXPECT_TRUE(Messages(WM_CLOSE, main).empty());
}

// Tells a requestor that its conversion was stored in `property` (None:
// refused), as a selection owner does.
void AnswerSelection(Display* d, const XSelectionRequestEvent& req, Atom property)
{
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = req.requestor;
    reply.xselection.selection = req.selection;
    reply.xselection.target = req.target;
    reply.xselection.time = req.time;
    reply.xselection.property = property;
    XSendEvent(d, req.requestor, False, NoEventMask, &reply);
    XFlush(d);
}

// Joins a helper thread on every way out of a test.
class Joined {
public:
    template <typename... Args>
    explicit Joined(Args&&... args) : thread_(std::forward<Args>(args)...) {}
    ~Joined() { thread_.join(); }

private:
    std::thread thread_;
};

// Serves one CLIPBOARD conversion from another program.
struct ClipboardOwner {
    std::atomic<bool> owning{false};
    std::atomic<bool> served{false};
};

void ServeClipboardOnce(const std::string& name, const std::string& type, const std::string& data, ClipboardOwner* state)
{
    Display* d = XOpenDisplay(name.c_str());
    if (!d) return;
    ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    XSetSelectionOwner(d, clipboard, w, CurrentTime);
    XSync(d, False);
    state->owning = true;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    Atom wanted = XInternAtom(d, type.c_str(), False);
    Atom targets = XInternAtom(d, "TARGETS", False);
    while (std::chrono::steady_clock::now() < end && !state->served) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type != SelectionRequest) continue;
            XSelectionRequestEvent& req = ev.xselectionrequest;
            Atom stored = None;
            if (req.target == targets) {
                Atom list[2] = {targets, wanted};
                XChangeProperty(d, req.requestor, req.property, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(list), 2);
                stored = req.property;
            } else if (req.target == wanted) {
                XChangeProperty(d, req.requestor, req.property, wanted, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
                stored = req.property;
                state->served = true;
            }
            AnswerSelection(d, req, stored);
        }
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 20);
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
}

// Serves one UTF8_STRING conversion incrementally, in chunks of `chunk`.
void ServeClipboardIncrementally(const std::string& name, const std::string& data, std::size_t chunk, ClipboardOwner* state)
{
    Display* d = XOpenDisplay(name.c_str());
    if (!d) return;
    ::Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), w, CurrentTime);
    XSync(d, False);
    state->owning = true;
    ::Window requestor = 0;
    Atom property = None;
    std::size_t sent = 0;
    bool finished = false;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end && !finished) {
        while (XPending(d) && !finished) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == SelectionRequest && ev.xselectionrequest.target == utf8 && !requestor) {
                XSelectionRequestEvent& req = ev.xselectionrequest;
                requestor = req.requestor;
                property = req.property;
                XSelectInput(d, requestor, PropertyChangeMask);
                long size = static_cast<long>(data.size());
                XChangeProperty(d, requestor, property, XInternAtom(d, "INCR", False), 32, PropModeReplace,
                                reinterpret_cast<unsigned char*>(&size), 1);
                AnswerSelection(d, req, property);
            } else if (ev.type == PropertyNotify && ev.xproperty.window == requestor && ev.xproperty.atom == property &&
                       ev.xproperty.state == PropertyDelete) {
                std::size_t n = std::min(chunk, data.size() - sent);
                XChangeProperty(d, requestor, property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data.data() + sent), static_cast<int>(n));
                XFlush(d);
                sent += n;
                if (n == 0) finished = state->served = true;
            }
        }
        pollfd p{ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, 20);
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
}

TEST_F(X11DisplayTest, ClipboardTextRoundTripsWithOtherPrograms)
{
    // Ours to another program: it asks, our loop answers.
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93 line\nnext";
    ASSERT_TRUE(quelvo::win::x11::SetClipboardText(text));
    ::Window requestor = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
    Atom prop = Atom_("TEST_CLIP");
    XConvertSelection(other_, Atom_("CLIPBOARD"), Atom_("UTF8_STRING"), prop, requestor, CurrentTime);
    XFlush(other_);
    XEvent ev{};
    ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(other_, requestor, SelectionNotify, &ev); }));
    ASSERT_EQ(ev.xselection.property, prop);
    EXPECT_EQ(PropertyText(requestor, "TEST_CLIP"), text);
    std::string back;
    EXPECT_TRUE(quelvo::win::x11::GetClipboardText(back)) << "our own offer reads back without the server";
    EXPECT_EQ(back, text);
    ASSERT_TRUE(quelvo::win::x11::SetClipboardText("caf\xE9 ok"));
    EXPECT_TRUE(quelvo::win::x11::GetClipboardText(back));
    EXPECT_EQ(back, "caf\xC3\xA9 ok") << "a stray Latin-1 byte goes out as UTF-8";

    // Another program's text and image to us (it takes the selection over).
    XDestroyWindow(other_, requestor);
    {
        ClipboardOwner state;
        Joined owner(ServeClipboardOnce, gServer->Name(), "UTF8_STRING", std::string("from elsewhere \xC3\xA9"), &state);
        ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
        Settle();
        EXPECT_TRUE(quelvo::win::x11::GetClipboardText(back, 3000));
        EXPECT_EQ(back, "from elsewhere \xC3\xA9");
    }
    {
        // Larger data comes in pieces.
        ClipboardOwner state;
        std::string big;
        for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
        Joined owner(ServeClipboardIncrementally, gServer->Name(), big, std::size_t{4096}, &state);
        ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
        Settle();
        EXPECT_TRUE(quelvo::win::x11::GetClipboardText(back, 3000));
        EXPECT_EQ(back.size(), big.size());
        EXPECT_EQ(back, big);
    }
    {
        ClipboardOwner state;
        std::string png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
        Joined owner(ServeClipboardOnce, gServer->Name(), "image/png", png, &state);
        ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
        std::vector<std::string> types = x_->ClipboardTypes(3000);
        EXPECT_NE(std::find(types.begin(), types.end(), "image/png"), types.end());
        std::string bytes;
        EXPECT_TRUE(x_->ReadClipboard("image/png", bytes, 3000));
        EXPECT_EQ(bytes, png) << "binary data with NUL bytes intact";
    }
}

TEST_F(X11DisplayTest, TheControlsClipboardIsTheDesktops)
{
    ASSERT_TRUE(quelvo::desktop::UseDesktopClipboard());
    const std::string text = "first\r\nsecond";
    PutOnClipboard(CF_TEXT, text.c_str(), text.size() + 1);
    ::Window requestor = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
    XConvertSelection(other_, Atom_("CLIPBOARD"), Atom_("UTF8_STRING"), Atom_("TEST_CLIP"), requestor, CurrentTime);
    XFlush(other_);
    XEvent ev{};
    ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(other_, requestor, SelectionNotify, &ev); }));
    EXPECT_EQ(PropertyText(requestor, "TEST_CLIP"), "first\nsecond");
    XDestroyWindow(other_, requestor);

    // Nothing of ours on the clipboard: the desktop's text is fetched.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ClipboardOwner state;
    Joined owner(ServeClipboardOnce, gServer->Name(), "UTF8_STRING", std::string("x\ny"), &state);
    ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
    Settle();  // our offer is withdrawn
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "x\r\ny");
    quelvo::ctl::SetClipboardBackend(nullptr);
}

TEST_F(X11DisplayTest, AnotherProgramTakingTheClipboardReplacesWhatWeHeld)
{
    ASSERT_TRUE(quelvo::desktop::UseDesktopClipboard());
    ASSERT_TRUE(quelvo::ctl::SetClipboardText(nullptr, "ours"));
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "ours");
    {
        ClipboardOwner state;
        Joined owner(ServeClipboardOnce, gServer->Name(), "UTF8_STRING", std::string("theirs"), &state);
        ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
        Settle();  // the selection-clear reaches us
        EXPECT_EQ(quelvo::ctl::ClipboardText(), "theirs");
    }
    {
        // Taken again by another owner while we hold only what we fetched.
        ClipboardOwner state;
        Joined owner(ServeClipboardOnce, gServer->Name(), "UTF8_STRING", std::string("newer"), &state);
        ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
        EXPECT_EQ(quelvo::ctl::ClipboardText(), "newer");
    }
    ASSERT_TRUE(quelvo::ctl::SetClipboardText(nullptr, "ours again"));
    EXPECT_EQ(quelvo::ctl::ClipboardText(), "ours again") << "our own offer pastes in the process";
    quelvo::ctl::SetClipboardBackend(nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

TEST_F(X11DisplayTest, ImagesCrossTheDesktopClipboardBothWays)
{
    ASSERT_TRUE(quelvo::desktop::UseDesktopClipboard());
    // Ours: a 3x2 24-bit DIB, bottom row first, rows padded to 12 bytes.
    const std::vector<std::uint32_t> topDown = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x0A0B0C};
    std::vector<std::uint8_t> dib(sizeof(BITMAPINFOHEADER), 0);
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = 3;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 24;
    std::memcpy(dib.data(), &h, sizeof h);
    for (int y = 1; y >= 0; --y) {
        for (int x = 0; x < 3; ++x) {
            std::uint32_t p = topDown[static_cast<std::size_t>(y * 3 + x)];
            dib.insert(dib.end(), {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                   static_cast<std::uint8_t>(p >> 16)});
        }
        dib.insert(dib.end(), 3, 0);
    }
    PutOnClipboard(CF_DIB, dib.data(), dib.size());

    ::Window requestor = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
    for (const char* type : {"image/png", "image/bmp"}) {
        SCOPED_TRACE(type);
        XConvertSelection(other_, Atom_("CLIPBOARD"), Atom_(type), Atom_("TEST_CLIP"), requestor, CurrentTime);
        XFlush(other_);
        XEvent ev{};
        ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(other_, requestor, SelectionNotify, &ev); }));
        ASSERT_EQ(ev.xselection.property, Atom_("TEST_CLIP"));
        std::string bytes = PropertyText(requestor, "TEST_CLIP");
        quelvo::gfx::Picture picture;
        std::string error;
        ASSERT_TRUE(quelvo::gfx::ReadPicture(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), picture, error))
            << error;
        ASSERT_EQ(picture.width, 3);
        ASSERT_EQ(picture.height, 2);
        for (std::size_t i = 0; i < topDown.size(); ++i) EXPECT_EQ(picture.pixels[i] & 0xFFFFFFu, topDown[i]) << i;
    }
    XDestroyWindow(other_, requestor);

    // Theirs: a PNG from another program arrives as CF_DIB.
    quelvo::gfx::Picture theirs;
    theirs.width = 2;
    theirs.height = 1;
    theirs.pixels = {0xFF112233, 0xFF445566};
    std::vector<std::uint8_t> png = quelvo::gfx::WritePng(theirs);
    ClipboardOwner state;
    Joined owner(ServeClipboardOnce, gServer->Name(), "image/png", std::string(png.begin(), png.end()), &state);
    ASSERT_TRUE(PumpUntil([&] { return state.owning.load(); }));
    Settle();  // our offer is withdrawn
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE got = GetClipboardData(CF_DIB);
    ASSERT_NE(got, nullptr);
    std::vector<std::uint8_t> back(GlobalSize(got));
    std::memcpy(back.data(), GlobalLock(got), back.size());
    GlobalUnlock(got);
    CloseClipboard();
    ASSERT_EQ(back.size(), sizeof(BITMAPINFOHEADER) + 8);
    BITMAPINFOHEADER bh{};
    std::memcpy(&bh, back.data(), sizeof bh);
    EXPECT_EQ(bh.biWidth, 2);
    EXPECT_EQ(bh.biHeight, 1);
    EXPECT_EQ(bh.biBitCount, 32);
    const std::uint8_t pixels[] = {0x33, 0x22, 0x11, 0xFF, 0x66, 0x55, 0x44, 0xFF};
    for (std::size_t i = 0; i < 8; ++i) {
        if (i % 4 == 3) continue;  // alpha
        EXPECT_EQ(back[sizeof bh + i], pixels[i]) << i;
    }
    quelvo::ctl::SetClipboardBackend(nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

TEST_F(X11DisplayTest, FilesDroppedByAnotherProgramArriveAsDropFiles)
{
    HWND main = Make("drop", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 80, 300, 200);
    HWND target = Make("target", WS_CHILD | WS_VISIBLE, 150, 20, 120, 100, main);
    ASSERT_TRUE(WaitViewable(main));
    ::Window xmain = XOf(main);
    EXPECT_TRUE(PropertyLongs(xmain, "XdndAware").empty()) << "nobody takes files yet";
    DragAcceptFiles(target, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return PropertyLongs(xmain, "XdndAware") == std::vector<long>{5}; }));

    ::Window source = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(other_, Atom_("XdndSelection"), source, CurrentTime);
    auto send = [&](const char* type, long l1, long l2, long l3, long l4) {
        x11test::SendXdndMessage(other_, xmain, source, Atom_(type), l1, l2, l3, l4);
    };
    auto reply = [&](const char* type, XEvent& out) {
        return PumpUntil([&] {
            while (XPending(other_)) {
                XNextEvent(other_, &out);
                if (out.type == ClientMessage && out.xclient.message_type == Atom_(type)) return true;
                if (out.type == SelectionRequest) {
                    // The dragged data, as a file manager offers it.
                    const std::string list = "file:///tmp/first%20file.txt\r\nhttp://example.org/x\r\nfile:///etc/hostname\r\n";
                    x11test::AnswerUriListRequest(other_, out.xselectionrequest, list);
                }
            }
            return false;
        });
    };
    long copy = static_cast<long>(Atom_("XdndActionCopy"));
    send("XdndEnter", 5L << 24, static_cast<long>(Atom_("text/uri-list")), 0, 0);

    // Over the main window outside the target: refused.
    POINT outside = ScreenPoint(main, 20, 20);
    send("XdndPosition", 0, (outside.x << 16) | outside.y, CurrentTime, copy);
    XEvent status{};
    ASSERT_TRUE(reply("XdndStatus", status));
    EXPECT_EQ(status.xclient.data.l[1] & 1, 0);

    POINT inside = ScreenPoint(target, 30, 40);
    send("XdndPosition", 0, (inside.x << 16) | inside.y, CurrentTime, copy);
    ASSERT_TRUE(reply("XdndStatus", status));
    EXPECT_EQ(status.xclient.data.l[1] & 1, 1);
    EXPECT_EQ(status.xclient.data.l[4], copy);

    send("XdndDrop", 0, CurrentTime, 0, 0);
    XEvent finished{};
    ASSERT_TRUE(reply("XdndFinished", finished));
    EXPECT_EQ(finished.xclient.data.l[1] & 1, 1) << "the drop was taken";
    ASSERT_TRUE(PumpUntil([&] { return !gDropped.empty(); }));
    EXPECT_EQ(gDropped, (std::vector<std::string>{"/tmp/first file.txt", "/etc/hostname"}));
    EXPECT_EQ(gDropPoint.x, 30);
    EXPECT_EQ(gDropPoint.y, 40);
    EXPECT_EQ(Messages(WM_DROPFILES, target).size(), 1u);
    EXPECT_TRUE(Messages(WM_DROPFILES, main).empty());
    XDestroyWindow(other_, source);
}

TEST_F(X11DisplayTest, LayeredPopupsAreTranslucentAndPopupsHoldThePointerWhileCapturing)
{
    HWND main = Make("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 150);
    HWND drag = Make("drag image", WS_POPUP, 300, 300, 60, 40, main,
                     WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT);
    ASSERT_TRUE(SetLayeredWindowAttributes(drag, 0, 200, LWA_ALPHA));
    ShowWindow(drag, SW_SHOWNA);
    ASSERT_TRUE(WaitViewable(drag));
    Settle();
    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(other_, XOf(drag), &wa));
    EXPECT_TRUE(wa.override_redirect);
    int inputRects = -1, ordering = 0;
    XRectangle* input = XShapeGetRectangles(other_, XOf(drag), ShapeInput, &inputRects, &ordering);
    if (input) XFree(input);
    EXPECT_EQ(inputRects, 0) << "the pointer passes through a transparent window";
    XVisualInfo vi{};
    if (XMatchVisualInfo(other_, DefaultScreen(other_), 32, TrueColor, &vi)) {
        EXPECT_EQ(wa.depth, 32);
        XImage* img = XGetImage(other_, XOf(drag), 8, 38, 1, 1, AllPlanes, ZPixmap);  // between the bands
        ASSERT_NE(img, nullptr);
        // The fill 0x2060A0 premultiplied by 200/255, alpha 200.
        EXPECT_EQ(XGetPixel(img, 0, 0) & 0xFFFFFFFF, (200ul << 24) | (0x19ul << 16) | (0x4Bul << 8) | 0x7Dul);
        XDestroyImage(img);
    } else {
        EXPECT_EQ(PropertyLongs(XOf(drag), "_NET_WM_WINDOW_OPACITY").size(), 1u);
    }

    // A menu-like popup with the capture holds the pointer for us.
    HWND menu = Make("menu", WS_POPUP | WS_BORDER | WS_VISIBLE, 120, 120, 80, 100, main, WS_EX_TOOLWINDOW);
    ASSERT_TRUE(WaitViewable(menu));
    SetCapture(menu);
    PostMessageA(menu, WM_NULL, 0, 0);  // the menu's loop retrieves its next message
    auto grabbedByUs = [&] {
        ::Window probe = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
        XMapWindow(other_, probe);
        XSync(other_, False);
        int r = XGrabPointer(other_, probe, False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
        if (r == GrabSuccess) XUngrabPointer(other_, CurrentTime);
        XDestroyWindow(other_, probe);
        XSync(other_, False);
        return r == AlreadyGrabbed;
    };
    ASSERT_TRUE(PumpUntil([&] { return grabbedByUs(); }));
    ReleaseCapture();
    ASSERT_TRUE(PumpUntil([&] { return !grabbedByUs(); }));
}

TEST_F(X11DisplayTest, AClearQueuedBeforeWeTookTheClipboardBackIsStale)
{
    ASSERT_TRUE(quelvo::win::x11::SetClipboardText("first"));
    x_->Flush();
    ::Window w = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(other_, Atom_("CLIPBOARD"), w, CurrentTime);
    XSync(other_, False);
    ASSERT_TRUE(quelvo::win::x11::SetClipboardText("back")) << "taken back before the clear is read";
    Settle();
    std::string text;
    EXPECT_TRUE(quelvo::win::x11::GetClipboardText(text, 500));
    EXPECT_EQ(text, "back");
    XDestroyWindow(other_, w);
}

TEST_F(X11DisplayTest, ScreenFactsComeFromTheServer)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    RECT work = x_->WorkArea();
    EXPECT_EQ(work.right, 1024);
    EXPECT_EQ(work.bottom, 768);
    long area[4] = {0, 24, 1024, 744};
    XChangeProperty(other_, root_, Atom_("_NET_WORKAREA"), XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(area), 4);
    XSync(other_, False);
    work = x_->WorkArea();
    EXPECT_EQ(work.top, 24);
    EXPECT_EQ(work.bottom, 768);
    RECT spi{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &spi, 0));
    EXPECT_EQ(spi.top, 24) << "the window layer asks the server";
    MONITORINFO info;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL), &info));
    EXPECT_EQ(info.rcWork.top, 24);
    EXPECT_EQ(info.rcMonitor.top, 0);
    HWND main = Make("panels", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ShowWindow(main, SW_SHOWMAXIMIZED);
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ(r.top, 24) << "a maximised window keeps off the panel";
    EXPECT_EQ(r.bottom, 768);
    XDeleteProperty(other_, root_, Atom_("_NET_WORKAREA"));
    XSync(other_, False);
    std::vector<RECT> monitors = x_->Monitors();
    ASSERT_FALSE(monitors.empty());
    EXPECT_EQ(monitors[0].right - monitors[0].left, 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), static_cast<int>(monitors.size()));
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1024);
}

TEST_F(X11DisplayTest, AWindowManagerMaximizesAndRestores)
{
    HWND main = Make("zoom", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_TRUE(WaitViewable(main));
    ::Window w = XOf(main);
    auto setState = [&](std::vector<const char*> names) {
        std::vector<Atom> atoms;
        for (const char* n : names) atoms.push_back(Atom_(n));
        XChangeProperty(other_, w, Atom_("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
        XFlush(other_);
    };
    // The second connection plays the window manager's part.
    setState({"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"});
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(main) != FALSE; }));
    setState({"_NET_WM_STATE_MAXIMIZED_VERT"});
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(main); })) << "one way only is no maximise";
    setState({"_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_WM_STATE_ABOVE", "_NET_WM_STATE_MAXIMIZED_VERT"});
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(main) != FALSE; }));
    setState({});
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(main); }));
}

TEST_F(X11DisplayTest, TheProgramMovesAndHidesThePointer)
{
    HWND main = Make("pointer", WS_POPUP | WS_VISIBLE, 100, 100, 200, 150);
    ASSERT_TRUE(WaitViewable(main));
    ASSERT_TRUE(SetCursorPos(150, 160));
    x_->Flush();
    ::Window rootBack = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    ASSERT_TRUE(XQueryPointer(other_, root_, &rootBack, &child, &rx, &ry, &wx, &wy, &mask));
    EXPECT_EQ(rx, 150);
    EXPECT_EQ(ry, 160);

    int fixesEvent = 0, fixesError = 0;
    ASSERT_TRUE(XFixesQueryExtension(other_, &fixesEvent, &fixesError));
    auto shownWidth = [&] {
        x_->Flush();
        XFixesCursorImage* shown = XFixesGetCursorImage(other_);
        if (!shown) return -1;
        int width = shown->width == 1 && shown->pixels[0] == 0 ? 0 : shown->width;  // 0: invisible
        XFree(shown);
        return width;
    };
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_GT(shownWidth(), 1);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(shownWidth(), 0);
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    EXPECT_EQ(shownWidth(), 0) << "a new shape stays hidden";
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_GT(shownWidth(), 1);
}

TEST_F(X11DisplayTest, AWindowManagerMinimizesAndRestores)
{
    // The second connection plays a minimal window manager.
    XSelectInput(other_, root_, SubstructureRedirectMask | SubstructureNotifyMask);
    XSync(other_, False);
    auto setState = [&](::Window w, long state) {
        long value[2] = {state, 0};
        XChangeProperty(other_, w, Atom_("WM_STATE"), Atom_("WM_STATE"), 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(value), 2);
    };
    auto manage = [&] {
        while (XPending(other_)) {
            XEvent ev;
            XNextEvent(other_, &ev);
            if (ev.type == MapRequest) {
                setState(ev.xmaprequest.window, NormalState);
                XMapWindow(other_, ev.xmaprequest.window);
            } else if (ev.type == ConfigureRequest) {
                XWindowChanges c{};
                c.x = ev.xconfigurerequest.x;
                c.y = ev.xconfigurerequest.y;
                c.width = ev.xconfigurerequest.width;
                c.height = ev.xconfigurerequest.height;
                XConfigureWindow(other_, ev.xconfigurerequest.window,
                                 static_cast<unsigned>(ev.xconfigurerequest.value_mask & (CWX | CWY | CWWidth | CWHeight)), &c);
            } else if (ev.type == ClientMessage && ev.xclient.message_type == Atom_("WM_CHANGE_STATE") &&
                       ev.xclient.data.l[0] == IconicState) {
                setState(ev.xclient.window, IconicState);
                XUnmapWindow(other_, ev.xclient.window);
            }
        }
        XFlush(other_);
    };
    HWND main = Make("managed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200);
    ASSERT_TRUE(PumpUntil([&] {
        manage();
        return Viewable(XOf(main));
    }));
    ::Window w = XOf(main);

    // The user minimizes from the desktop, then restores.
    setState(w, IconicState);
    XUnmapWindow(other_, w);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(main) != FALSE; }));
    setState(w, NormalState);
    XMapWindow(other_, w);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return !IsIconic(main); }));

    // The program minimizes and restores.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] {
        manage();
        return !Viewable(w);
    }));
    EXPECT_TRUE(IsIconic(main));
    ShowWindow(main, SW_RESTORE);
    ASSERT_TRUE(PumpUntil([&] {
        manage();
        return Viewable(w);
    }));
    EXPECT_FALSE(IsIconic(main));
}

TEST_F(X11DisplayTest, DesktopSettingsIconsAndCursorPictures)
{
    // An XSETTINGS manager with its double-click time and drag threshold.
    ::Window manager = XCreateSimpleWindow(other_, root_, 0, 0, 1, 1, 0, 0, 0);
    std::string selection = "_XSETTINGS_S" + std::to_string(DefaultScreen(other_));
    XSetSelectionOwner(other_, Atom_(selection.c_str()), manager, CurrentTime);
    auto publish = [&](std::uint32_t doubleClick) {
        std::string b("\0\0\0\0", 4);
        auto u32 = [&](std::uint32_t v) {
            for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
        };
        auto setting = [&](const std::string& name, std::uint32_t v) {
            b += std::string("\0\0", 2);
            b += static_cast<char>(name.size());
            b += '\0';
            b += name;
            b.append((4 - name.size() % 4) % 4, '\0');
            u32(0);
            u32(v);
        };
        u32(1);
        u32(2);
        setting("Net/DoubleClickTime", doubleClick);
        setting("Net/DndDragThreshold", 9);
        XChangeProperty(other_, manager, Atom_("_XSETTINGS_SETTINGS"), Atom_("_XSETTINGS_SETTINGS"), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(b.data()), static_cast<int>(b.size()));
        XSync(other_, False);
    };
    publish(321);
    std::string locale = std::setlocale(LC_CTYPE, nullptr);
    auto display = X11Display::Open(gServer->Name());
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), locale) << "the program's locale is its own";
    x_ = display.get();
    quelvo::win::SetDisplay(std::move(display));
    EXPECT_EQ(GetDoubleClickTime(), 321u);
    EXPECT_EQ(x_->DragThreshold(), 9);
    EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 18) << "a box either side of the point";
    publish(654);
    ASSERT_TRUE(PumpUntil([] { return GetDoubleClickTime() == 654u; })) << "changes are followed";

    // A class icon becomes the window's desktop icon.
    const std::uint32_t pixels[4] = {0xFFFF0000, 0x80008000, 0x00000000, 0xFF0000FF};
    HICON icon = x11test::MakeTestIcon(pixels, nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "x11icon";
    wc.hIcon = icon;
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND main = CreateWindowExA(0, "x11icon", "icon", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(WaitViewable(main));
    std::vector<std::uint32_t> want{2, 2, 0xFFFF0000, 0x80008000, 0x00000000, 0xFF0000FF};
    std::vector<std::uint32_t> got;
    for (long v : PropertyLongs(XOf(main), "_NET_WM_ICON")) got.push_back(static_cast<std::uint32_t>(v));
    EXPECT_EQ(got, want);

    // A cursor picture of our own is what the desktop shows over the window.
    POINT p = ScreenPoint(main, 50, 50);
    XTestFakeMotionEvent(other_, DefaultScreen(other_), p.x, p.y, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] {
        POINT c{};
        GetCursorPos(&c);
        return c.x == p.x && c.y == p.y;
    }));
    SetCursor(icon);
    x_->Flush();
    int fixesEvent = 0, fixesError = 0;
    ASSERT_TRUE(XFixesQueryExtension(other_, &fixesEvent, &fixesError));
    XFixesCursorImage* shown = XFixesGetCursorImage(other_);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width, 2);
    EXPECT_EQ(shown->height, 2);
    // Premultiplied: half-transparent green shows as 0x80004000.
    EXPECT_EQ(static_cast<std::uint32_t>(shown->pixels[1]), 0x80004000u);
    XFree(shown);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    x_->Flush();
    shown = XFixesGetCursorImage(other_);
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown->width, 2) << "back to the desktop's arrow";
    XFree(shown);
    DestroyWindow(main);
    UnregisterClassA("x11icon", nullptr);
    DestroyIcon(icon);
    XDestroyWindow(other_, manager);
}

TEST_F(X11DisplayTest, ALostServerClosesTheWindowsInsteadOfEndingTheProcess)
{
    auto server = std::make_unique<x11test::XvfbServer>();
    std::string error;
    ASSERT_TRUE(server->Start(&error)) << error;
    auto display = X11Display::Open(server->Name());
    ASSERT_NE(display, nullptr);
    x_ = display.get();
    quelvo::win::SetDisplay(std::move(display));
    HWND main = Make("doomed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100);
    HWND hidden = Make("hidden", WS_OVERLAPPEDWINDOW, 10, 10, 50, 50);
    Settle();
    ASSERT_NE(XOf(main), 0u);
    server.reset();  // the X server goes away
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(main) && !IsWindow(hidden); }));
    EXPECT_EQ(Messages(WM_CLOSE, main).size(), 1u);
    EXPECT_EQ(Messages(WM_CLOSE, hidden).size(), 1u);
    // The program may go on without a display.
    HWND later = Make("later", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 100, 100);
    ASSERT_NE(later, nullptr);
    Settle();
    SetCursor(LoadCursorA(nullptr, IDC_IBEAM));
    std::string text;
    EXPECT_FALSE(quelvo::win::x11::GetClipboardText(text, 100));
    EXPECT_EQ(XOf(later), 0u);
}

TEST_F(X11DisplayTest, ProgramsPickTheDesktopByTheirEnvironment)
{
    const char* old = std::getenv("DISPLAY");
    std::string saved = old ? old : "";
    struct Case {
        const char* display;  // null: unset
        bool desktop;
    };
    const Case cases[] = {{nullptr, false}, {"", false}, {":999", false}, {gServer->Name().c_str(), true}};
    for (const Case& c : cases) {
        quelvo::win::SetDisplay(std::make_unique<quelvo::win::HeadlessDisplay>());
        x_ = nullptr;
        if (c.display) setenv("DISPLAY", c.display, 1);
        else unsetenv("DISPLAY");
        EXPECT_EQ(quelvo::win::x11::UseDesktopDisplay(), c.desktop) << (c.display ? c.display : "unset");
        EXPECT_EQ(quelvo::win::x11::CurrentX11Display() != nullptr, c.desktop);
        EXPECT_EQ(dynamic_cast<quelvo::win::HeadlessDisplay*>(&quelvo::win::Display()) != nullptr, !c.desktop)
            << "without a desktop the invisible screen stays";
    }
    if (old) setenv("DISPLAY", saved.c_str(), 1);
    else unsetenv("DISPLAY");
}

}  // namespace

TEST_F(X11DisplayTest, ABeepRingsTheServersBell)
{
    int opcode = 0, xkbEvent = 0, xkbError = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    ASSERT_TRUE(XkbQueryExtension(other_, &opcode, &xkbEvent, &xkbError, &major, &minor));
    ASSERT_TRUE(XkbSelectEvents(other_, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask));
    XSync(other_, False);
    MessageBeep(0);
    auto rang = [&] {
        for (int i = 0; i < 200; ++i) {
            while (XPending(other_)) {
                XEvent ev;
                XNextEvent(other_, &ev);
                if (ev.type == xkbEvent && reinterpret_cast<XkbAnyEvent&>(ev).xkb_type == XkbBellNotify) return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    };
    EXPECT_TRUE(rang());
}
