// Notification-area icons on a real X server (a private Xvfb) and a private
// session bus: the program's own popup menu opened from a panel, and the
// old-style system tray when no panel of the newer kind is there.

#include <gtest/gtest.h>

#include "FakeDesktop.h"

#include "platform/controls/winctl.h"
#include "platform/desktop/StatusNotifierItem.h"
#include "platform/desktop/shellapi.h"
#include "platform/desktop/traymenu.h"
#include "platform/graphics/wingdi.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/platform/windows/x11/xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace quelvo::desktop {
namespace {

using testing::FakeWatcher;
using testing::Pump;

constexpr UINT kTrayNotify = 0x8001;
constexpr UINT kIconId = 255;

// What the tray program's window does, as the tray does it.
struct TrayState {
    std::vector<LPARAM> mouse;        // callback messages, by mouse message
    std::vector<UINT> chosen;         // results of its popup menus
    std::function<void()> whileOpen;  // runs once while a popup is open
    NOTIFYICONDATAA* record = nullptr; // added again when a notification area starts
};
TrayState* g_tray = nullptr;

LRESULT TrayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_tray != nullptr && msg == RegisterWindowMessageA("TaskbarCreated") && g_tray->record != nullptr)
        Shell_NotifyIconA(NIM_ADD, g_tray->record);
    if (g_tray != nullptr && msg == kTrayNotify)
        g_tray->mouse.push_back(lParam);
    if (g_tray != nullptr && msg == kTrayNotify && lParam == WM_RBUTTONUP) {
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING | MF_CHECKED, 404, "&Enabled");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 403, "&Configure");
        AppendMenuA(menu, MF_STRING, 402, "&Help");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, 101, "&Exit");
        POINT cursor{};
        GetCursorPos(&cursor);
        SetForegroundWindow(GetLastActivePopup(hwnd));
        g_tray->chosen.push_back(static_cast<UINT>(
            TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, cursor.x, cursor.y, 0, hwnd, nullptr)));
        DestroyMenu(menu);
    }
    if (g_tray != nullptr && msg == WM_ENTERIDLE && g_tray->whileOpen) {
        auto action = std::move(g_tray->whileOpen);
        g_tray->whileOpen = nullptr;
        action();
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class DesktopOnX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
        std::string error;
        ASSERT_TRUE(server_.Start(&error)) << error;
        win::ResetWindowManager();
        char folder[] = "/tmp/quelvo-desktopx11-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        win::SetRuntimeFolder(folder_);
        auto display = win::x11::X11Display::Open(server_.Name(), &error);
        ASSERT_NE(display, nullptr) << error;
        x_ = display.get();
        win::SetDisplay(std::move(display));
        other_ = XOpenDisplay(server_.Name().c_str());
        ASSERT_NE(other_, nullptr);
        g_tray = &tray_;
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TrayProc;
        wc.lpszClassName = "QuelvoX11TrayWindow";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "tray", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hwnd_, nullptr);
        record_.hWnd = hwnd_;
        record_.uID = kIconId;
        record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        record_.uCallbackMessage = kTrayNotify;
        record_.hIcon = icon_ = MakeIcon();
        std::strcpy(record_.szTip, "Quelvo");
        tray_.record = &record_;
    }

    void TearDown() override
    {
        ShutdownDesktopServices();
        watcher_.reset();
        if (icon_ != nullptr)
            DestroyIcon(icon_);
        win::ResetWindowManager();
        g_tray = nullptr;
        if (other_ != nullptr)
            XCloseDisplay(other_);
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
        win::SetRuntimeFolder("");
    }

    static HICON MakeIcon()
    {
        std::vector<std::uint32_t> pixels(16 * 16, 0xFF2060A0);
        HBITMAP colour = CreateBitmap(16, 16, 1, 32, pixels.data());
        std::vector<std::uint8_t> maskBits(16 * 2, 0);
        HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
        ICONINFO info;
        info.hbmColor = colour;
        info.hbmMask = mask;
        HICON icon = CreateIconIndirect(&info);
        DeleteObject(colour);
        DeleteObject(mask);
        return icon;
    }

    Pump LoopPump()
    {
        Pump pump;
        pump.AddWork([] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        });
        if (watcher_)
            pump.Add(&watcher_->Connection());
        return pump;
    }
    bool PumpUntil(const std::function<bool()>& condition, int limitMs = 5000)
    {
        return LoopPump().Until(condition, std::chrono::milliseconds(limitMs));
    }

    // The panel asks for the program's own context menu at a place.
    void ContextMenuAt(int x, int y)
    {
        const std::size_t before = tray_.chosen.size();
        auto call = testing::PendingCall::Start(watcher_->Connection(), watcher_->Registrations().back().service,
                                                kItemPath, kItemInterface, "ContextMenu",
                                                [=](sd_bus_message* m) { return sd_bus_message_append(m, "ii", x, y); });
        ASSERT_TRUE(call);
        ASSERT_TRUE(PumpUntil([&] { return tray_.chosen.size() > before; }, 10000));
    }

    void Key(KeySym sym)
    {
        const ::KeyCode code = XKeysymToKeycode(other_, sym);
        XTestFakeKeyEvent(other_, code, True, CurrentTime);
        XTestFakeKeyEvent(other_, code, False, CurrentTime);
        XFlush(other_);
    }

    // The top-left corner of the open popup menu on the server.
    POINT PopupCorner()
    {
        const HWND popup = FindWindowA("#32768", nullptr);
        x_->Flush();
        const ::Window xid = popup != nullptr ? x_->XWindowOf(popup) : 0;
        XWindowAttributes wa{};
        if (xid == 0 || !XGetWindowAttributes(other_, xid, &wa))
            return POINT{-1, -1};
        return POINT{wa.x, wa.y};
    }

    // The open popup holds the keyboard once the server shows it.
    bool WaitGrabbed()
    {
        for (int i = 0; i < 300; ++i) {
            x_->Flush();
            if (!KeyboardFree())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    bool KeyboardFree()
    {
        const ::Window root = DefaultRootWindow(other_);
        const bool free = XGrabKeyboard(other_, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        XUngrabKeyboard(other_, CurrentTime);
        XSync(other_, False);
        return free;
    }

    x11test::XvfbServer server_;
    std::string folder_;
    win::x11::X11Display* x_ = nullptr;
    Display* other_ = nullptr;
    TrayState tray_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    NOTIFYICONDATAA record_{};
    std::unique_ptr<FakeWatcher> watcher_;
};

// A panel's ContextMenu(x, y) opens the program's popup there; the keyboard
// works in it (Down, Down, Return chooses the second item; Escape closes)
// and is free again afterwards. Without a place, it opens at the pointer.
TEST_F(DesktopOnX11, PopupAtThePanelsPlaceTakesTheKeyboard)
{
    watcher_ = std::make_unique<FakeWatcher>();
    ASSERT_TRUE(watcher_->Ok());
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &record_));
    ASSERT_TRUE(PumpUntil([&] { return !watcher_->Registrations().empty(); }));

    POINT corner{};
    bool grabbed = false;
    tray_.whileOpen = [&] {
        corner = PopupCorner();
        grabbed = WaitGrabbed();
        Key(XK_Down);
        Key(XK_Down);
        Key(XK_Return);
    };
    ContextMenuAt(300, 200);
    EXPECT_EQ(corner.x, 300);
    EXPECT_EQ(corner.y, 200);
    EXPECT_TRUE(grabbed) << "the open popup holds the keyboard";
    EXPECT_EQ(tray_.chosen.back(), 403u);
    // Let go once the loop is idle again.
    EXPECT_TRUE(PumpUntil([&] { return KeyboardFree(); }));

    grabbed = false;
    XWarpPointer(other_, None, DefaultRootWindow(other_), 0, 0, 0, 0, 410, 330);
    XSync(other_, False);
    tray_.whileOpen = [&] {
        corner = PopupCorner();
        grabbed = WaitGrabbed();
        Key(XK_Escape);
    };
    ContextMenuAt(0, 0);
    EXPECT_EQ(corner.x, 410);
    EXPECT_EQ(corner.y, 330);
    EXPECT_TRUE(grabbed) << "the open popup holds the keyboard";
    EXPECT_EQ(tray_.chosen.back(), 0u);
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
    EXPECT_TRUE(PumpUntil([&] { return KeyboardFree(); }));
}

// A stand-in for an old-style system tray on the other connection: owns
// the screen's tray selection, embeds the icons that ask to be docked.
class StandInTray {
public:
    explicit StandInTray(Display* dpy) : dpy_(dpy)
    {
        window_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 600, 0, 200, 30, 0, 0, 0xC0C0C0);
        XMapWindow(dpy_, window_);
        const Atom selection = XInternAtom(dpy_, "_NET_SYSTEM_TRAY_S0", False);
        XSetSelectionOwner(dpy_, selection, window_, CurrentTime);
        // Announced to every client, as trays do when they start.
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = DefaultRootWindow(dpy_);
        ev.xclient.message_type = XInternAtom(dpy_, "MANAGER", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = CurrentTime;
        ev.xclient.data.l[1] = static_cast<long>(selection);
        ev.xclient.data.l[2] = static_cast<long>(window_);
        XSendEvent(dpy_, DefaultRootWindow(dpy_), False, StructureNotifyMask, &ev);
        XSync(dpy_, False);
    }
    ~StandInTray()
    {
        XDestroyWindow(dpy_, window_);
        XSync(dpy_, False);
    }
    // Serves the dock requests that arrived.
    void Serve()
    {
        while (XPending(dpy_) > 0) {
            XEvent ev;
            XNextEvent(dpy_, &ev);
            if (ev.type != ClientMessage || ev.xclient.window != window_ ||
                ev.xclient.message_type != XInternAtom(dpy_, "_NET_SYSTEM_TRAY_OPCODE", False) ||
                ev.xclient.data.l[1] != 0)
                continue;
            const auto icon = static_cast<::Window>(ev.xclient.data.l[2]);
            XReparentWindow(dpy_, icon, window_, 10 + 30 * static_cast<int>(docked.size()), 3);
            XResizeWindow(dpy_, icon, 24, 24);
            XMapWindow(dpy_, icon);
            XSync(dpy_, False);
            docked.push_back(icon);
        }
    }
    // Icons the tray holds now.
    unsigned Held()
    {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(dpy_, window_, &root, &parent, &children, &count);
        if (children != nullptr)
            XFree(children);
        return count;
    }
    std::vector<::Window> docked;

private:
    Display* dpy_;
    ::Window window_ = 0;
};

// Without a newer panel, the icon docks in the old-style tray: it shows
// the icon's pixels, its clicks reach the program as the callback message
// (a double click as one), its tip shows on hover, and the right button
// opens the program's own popup menu at the pointer. A tray that starts
// later gets the icon too.
TEST_F(DesktopOnX11, OldStyleTrayDocksTheIcon)
{
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &record_)) << "no panel and no tray yet";
    StandInTray tray(other_);
    const auto serving = [&] {
        tray.Serve();
        return !tray.docked.empty();
    };
    ASSERT_TRUE(PumpUntil(serving)) << "the tray's start adds the icon again";
    const ::Window icon = tray.docked.front();
    // The icon's own colour shows inside it.
    ASSERT_TRUE(PumpUntil([&] {
        XImage* image = XGetImage(other_, icon, 12, 12, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
            return false;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return (pixel & 0xFFFFFF) == 0x2060A0;
    }));

    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(other_, icon, DefaultRootWindow(other_), 12, 12, &x, &y, &child);
    XTestFakeMotionEvent(other_, DefaultScreen(other_), x, y, CurrentTime);
    XSync(other_, False);
    ASSERT_TRUE(PumpUntil([] {
        const HWND tip = FindWindowA("QuelvoTrayTip", nullptr);
        return tip != nullptr && IsWindowVisible(tip);
    })) << "the tip shows on hover";
    char shown[64] = {};
    GetWindowTextA(FindWindowA("QuelvoTrayTip", nullptr), shown, sizeof shown);
    EXPECT_STREQ(shown, "Quelvo");

    for (int i = 0; i < 2; ++i) {
        XTestFakeButtonEvent(other_, 1, True, CurrentTime);
        XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    }
    XSync(other_, False);
    const std::vector<LPARAM> doubleClick{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    ASSERT_TRUE(PumpUntil([&] { return tray_.mouse.size() >= doubleClick.size(); }));
    EXPECT_EQ(tray_.mouse, doubleClick);
    EXPECT_EQ(FindWindowA("QuelvoTrayTip", nullptr), nullptr) << "a click takes the tip down";

    POINT corner{};
    tray_.whileOpen = [&] {
        corner = PopupCorner();
        WaitGrabbed();
        Key(XK_Escape);
    };
    XTestFakeButtonEvent(other_, 3, True, CurrentTime);
    XTestFakeButtonEvent(other_, 3, False, CurrentTime);
    XSync(other_, False);
    ASSERT_TRUE(PumpUntil([&] { return !tray_.chosen.empty(); }));
    EXPECT_EQ(tray_.mouse.back(), WM_RBUTTONUP);
    EXPECT_EQ(corner.x, x);
    EXPECT_EQ(corner.y, y);

    // A panel of the newer kind starts: the icon moves there.
    EXPECT_EQ(tray.Held(), 1u);
    watcher_ = std::make_unique<FakeWatcher>();
    ASSERT_TRUE(watcher_->Ok());
    ASSERT_TRUE(PumpUntil([&] { return !watcher_->Registrations().empty(); }));
    ASSERT_TRUE(PumpUntil([&] { return tray.Held() == 0; }));
}

}  // namespace
}  // namespace quelvo::desktop
