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
};
TrayState* g_tray = nullptr;

LRESULT TrayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
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
    tray_.whileOpen = [&] {
        corner = PopupCorner();
        Key(XK_Down);
        Key(XK_Down);
        Key(XK_Return);
    };
    ContextMenuAt(300, 200);
    EXPECT_EQ(corner.x, 300);
    EXPECT_EQ(corner.y, 200);
    EXPECT_EQ(tray_.chosen.back(), 403u);
    EXPECT_TRUE(KeyboardFree());

    bool grabbed = false;
    XWarpPointer(other_, None, DefaultRootWindow(other_), 0, 0, 0, 0, 410, 330);
    XSync(other_, False);
    tray_.whileOpen = [&] {
        corner = PopupCorner();
        grabbed = !KeyboardFree();
        Key(XK_Escape);
    };
    ContextMenuAt(0, 0);
    EXPECT_EQ(corner.x, 410);
    EXPECT_EQ(corner.y, 330);
    EXPECT_TRUE(grabbed) << "the open popup holds the keyboard";
    EXPECT_EQ(tray_.chosen.back(), 0u);
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);
    EXPECT_TRUE(KeyboardFree());
}

}  // namespace
}  // namespace quelvo::desktop
