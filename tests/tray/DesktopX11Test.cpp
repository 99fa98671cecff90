// The tray's About box on a real X server (a private Xvfb), read back with
// the X client library as a window manager reads it.

#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/winctl.h"
#include "platform/windows/app_icons.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/platform/windows/x11/xvfb_server.h"
#include "tray/DesktopTrayServices.h"
#include "tray/TrayArtwork.h"

namespace {

using namespace quelvo::tray;

std::vector<long> PropertyLongs(Display* dpy, ::Window w, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1 << 20, False, AnyPropertyType, &type, &format,
                           &n, &after, &data) == Success &&
        data) {
        if (format == 32)
            out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + n);
        XFree(data);
    }
    return out;
}

TEST(TrayOnX11, TheAboutBoxIsADialogWithTheProgramsIcon)
{
    x11test::XvfbServer server;
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    quelvo::win::ResetWindowManager();
    char pattern[] = "/tmp/quelvo-trayx11-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    quelvo::win::SetRuntimeFolder(pattern);
    auto display = quelvo::win::x11::X11Display::Open(server.Name(), &error);
    ASSERT_NE(display, nullptr) << error;
    quelvo::win::x11::X11Display* x = display.get();
    quelvo::win::SetDisplay(std::move(display));
    Display* other = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(other, nullptr);

    UseTrayProgramIcon();
    const HINSTANCE instance = nullptr;
    RegisterAboutDialog(instance);
    const std::string text = "Quelvo v2.00.15";
    const HWND about = CreateDialogParamA(instance, MAKEINTRESOURCEA(kAboutDialog), nullptr, &AboutDlgProc,
                                          reinterpret_cast<LPARAM>(&text));
    ASSERT_NE(about, nullptr);
    ShowWindow(about, SW_SHOW);
    x->Flush();
    const ::Window xid = x->XWindowOf(about);
    ASSERT_NE(xid, 0u);

    EXPECT_EQ(PropertyLongs(other, xid, "_NET_WM_WINDOW_TYPE"),
              std::vector<long>{static_cast<long>(XInternAtom(other, "_NET_WM_WINDOW_TYPE_DIALOG", False))});
    const std::vector<long> motif = PropertyLongs(other, xid, "_MOTIF_WM_HINTS");
    ASSERT_EQ(motif.size(), 5u);
    constexpr long kMinimize = 8, kMaximize = 16, kClose = 32;
    EXPECT_EQ(motif[1] & (kMinimize | kMaximize | kClose), kClose) << "no minimise or maximise";
    EXPECT_EQ(motif[2] & (kMinimize << 2 | kMaximize << 2), 0) << "no such buttons";

    // Every size of the watching icon, each the artwork itself.
    const std::vector<long> icons = PropertyLongs(other, xid, "_NET_WM_ICON");
    std::vector<int> sizes;
    for (std::size_t at = 0; at + 1 < icons.size();) {
        const int w = static_cast<int>(icons[at]), h = static_cast<int>(icons[at + 1]);
        ASSERT_EQ(w, h);
        ASSERT_LE(at + 2 + static_cast<std::size_t>(w * h), icons.size());
        const std::vector<std::uint32_t> artwork = TrayIconPixels(kIconEnabled, w);
        int differing = 0;
        for (int i = 0; i < w * h; ++i) {
            const auto shown = static_cast<std::uint32_t>(icons[at + 2 + static_cast<std::size_t>(i)]);
            differing += (artwork[static_cast<std::size_t>(i)] >> 24) != 0 && shown != artwork[static_cast<std::size_t>(i)];
        }
        EXPECT_EQ(differing, 0) << w;
        sizes.push_back(w);
        at += 2 + static_cast<std::size_t>(w * h);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 22, 24, 32, 48, 64}));

    DestroyWindow(about);
    quelvo::win::SetApplicationIcons({});
    XCloseDisplay(other);
    quelvo::win::ResetWindowManager();
    std::error_code ec;
    std::filesystem::remove_all(pattern, ec);
}

}  // namespace
