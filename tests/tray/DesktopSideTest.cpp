// The tray's desktop side: icons from the artwork and the About dialog.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/controls/winctl.h"
#include "platform/desktop/IconPixels.h"
#include "platform/graphics/wingdi.h"
#include "platform/windows/loop.h"
#include "tray/DesktopTrayServices.h"
#include "tray/TrayArtwork.h"

namespace {

using namespace quelvo::tray;

TEST(TrayArtwork, ThreeDistinctScalesWithTransparentCorners)
{
    std::set<std::vector<std::uint32_t>> seen;
    for (const int id : {kIconEnabled, kIconDisabled, kIconTaming}) {
        SCOPED_TRACE(id);
        const auto pixels = TrayIconPixels(id);
        ASSERT_EQ(pixels.size(), 256u);
        EXPECT_EQ(pixels[0], 0u);
        EXPECT_EQ(pixels[255], 0u);
        std::set<std::uint32_t> colours(pixels.begin(), pixels.end());
        EXPECT_LE(colours.size(), 16u);
        EXPECT_GE(colours.size(), 3u);
        for (const std::uint32_t p : pixels)
            EXPECT_TRUE((p >> 24) == 0 || (p >> 24) == 0xFF);
        seen.insert(pixels);
    }
    EXPECT_EQ(seen.size(), 3u);
    // The disabled one is grey.
    for (const std::uint32_t p : TrayIconPixels(kIconDisabled)) {
        const unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        EXPECT_TRUE(r == g && g == b);
    }
    EXPECT_TRUE(TrayIconPixels(0).empty());
    EXPECT_TRUE(TrayIconPixels(105).empty());
}

TEST(TrayArtwork, EverySizeIsDrawnAtThatSize)
{
    for (const int size : kIconSizes) {
        SCOPED_TRACE(size);
        const auto pixels = TrayIconPixels(kIconEnabled, size);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size * size));
        EXPECT_EQ(pixels.front(), 0u);
        EXPECT_EQ(pixels.back() >> 24, 0u);
        // Beam and column cross in opaque pixels, whatever the size.
        EXPECT_EQ(pixels[static_cast<std::size_t>(size * 10 / 64 * size + size / 2)] >> 24, 0xFFu);
        EXPECT_EQ(pixels[static_cast<std::size_t>(size * 40 / 64 * size + size / 2)] >> 24, 0xFFu);
    }
    EXPECT_TRUE(TrayIconPixels(kIconEnabled, 4).empty());
    EXPECT_TRUE(TrayIconPixels(kIconEnabled, 1000).empty());
}

TEST(DesktopServices, IconsCarryTheArtwork)
{
    DesktopTrayServices services;
    for (const int id : {kIconEnabled, kIconDisabled, kIconTaming}) {
        SCOPED_TRACE(id);
        const HICON icon = services.LoadTrayIcon(id);
        ASSERT_NE(icon, nullptr);
        const auto image = quelvo::desktop::IconImageOf(icon);
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->width, 16);
        EXPECT_EQ(image->height, 16);
        const auto expected = TrayIconPixels(id);
        for (std::size_t i = 0; i < expected.size(); ++i)
            if ((expected[i] >> 24) == 0)
                EXPECT_EQ(image->argb[i] >> 24, 0u) << i;
            else
                EXPECT_EQ(image->argb[i], expected[i]) << i;
        services.DestroyTrayIcon(icon);
    }
    EXPECT_EQ(services.LoadTrayIcon(7), nullptr);
}

TEST(DesktopServices, AboutDialogShowsItsTextAndClosesOnOk)
{
    quelvo::win::ResetWindowManager();
    char pattern[] = "/tmp/quelvo-trayabout-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    quelvo::win::SetRuntimeFolder(pattern);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x7700));
    RegisterAboutDialog(instance);
    RegisterAboutDialog(instance);  // twice is harmless
    const std::string text = "Quelvo v2.00.15\n\nline\r\n\r\n\r\nCurrently disabled.";
    const HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(kAboutDialog), nullptr, &AboutDlgProc,
                                           reinterpret_cast<LPARAM>(&text));
    ASSERT_NE(dialog, nullptr);
    char caption[32] = {};
    GetWindowTextA(dialog, caption, sizeof(caption));
    EXPECT_STREQ(caption, "About");
    char shown[256] = {};
    GetDlgItemTextA(dialog, kAboutText, shown, sizeof(shown));
    EXPECT_EQ(std::string(shown), text);
    char ok[8] = {};
    GetDlgItemTextA(dialog, IDOK, ok, sizeof(ok));
    EXPECT_STREQ(ok, "OK");
    EXPECT_EQ(AboutDlgProc(dialog, WM_COMMAND, 12345, 0), FALSE);
    EXPECT_TRUE(IsWindow(dialog)) << "another command leaves it open";
    DestroyWindow(dialog);

    // Shown as the program shows it: a click on OK (or Escape's cancel)
    // ends the box with that answer, and the box is gone.
    quelvo::ctl::AllowModalOnHeadlessDisplay(true);
    static HWND shownBox = nullptr;
    static WPARAM press = 0;
    const auto pressOnOpening = [](HWND box, UINT msg, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            shownBox = box;
            if (press == IDOK)
                PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            else
                PostMessageA(box, WM_COMMAND, press, 0);
        }
        return AboutDlgProc(box, msg, wParam, lParam);
    };
    for (const WPARAM button : {WPARAM{IDOK}, WPARAM{IDCANCEL}}) {
        press = button;
        shownBox = nullptr;
        EXPECT_EQ(DialogBoxParamA(instance, MAKEINTRESOURCEA(kAboutDialog), nullptr, pressOnOpening,
                                  reinterpret_cast<LPARAM>(&text)),
                  static_cast<INT_PTR>(button));
        ASSERT_NE(shownBox, nullptr);
        EXPECT_FALSE(IsWindow(shownBox)) << button;
    }
    quelvo::ctl::AllowModalOnHeadlessDisplay(false);
    quelvo::win::ResetWindowManager();
    std::error_code ec;
    std::filesystem::remove_all(pattern, ec);
}

// About chosen again while the box is open (from the panel's menu, or the
// program's own) brings the open one forward: there is one About box.
TEST(DesktopServices, OneAboutBoxAtATime)
{
    quelvo::win::ResetWindowManager();
    char pattern[] = "/tmp/quelvo-trayabout-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    quelvo::win::SetRuntimeFolder(pattern);
    quelvo::ctl::AllowModalOnHeadlessDisplay(true);
    static DesktopTrayServices* services = nullptr;
    static std::vector<HWND> abouts;
    static INT_PTR second = -1;
    static HWND foreground = nullptr;
    DesktopTrayServices own;
    services = &own;
    abouts.clear();
    WNDCLASSA wc{};
    wc.lpszClassName = "AboutTwiceDriver";
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg != WM_APP)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        second = services->ShowAbout(nullptr, "second");
        EnumWindows(
            [](HWND each, LPARAM) -> BOOL {
                char caption[16] = {};
                GetWindowTextA(each, caption, sizeof caption);
                if (IsWindowVisible(each) && std::string(caption) == "About")
                    abouts.push_back(each);
                return TRUE;
            },
            0);
        foreground = GetForegroundWindow();
        if (!abouts.empty())
            PostMessageA(abouts.front(), WM_COMMAND, IDOK, 0);
        return 0;
    };
    RegisterClassA(&wc);
    const HWND driver = CreateWindowExA(0, "AboutTwiceDriver", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(driver, nullptr);
    // The second request arrives while the first box runs its loop.
    PostMessageA(driver, WM_APP, 0, 0);
    EXPECT_EQ(own.ShowAbout(nullptr, "first"), IDOK);
    EXPECT_EQ(second, 0);
    ASSERT_EQ(abouts.size(), 1u);
    EXPECT_EQ(foreground, abouts.front());
    // Closed, the next About opens a new box.
    PostMessageA(driver, WM_APP, 0, 0);
    abouts.clear();
    EXPECT_EQ(own.ShowAbout(nullptr, "again"), IDOK);
    EXPECT_EQ(abouts.size(), 1u);
    quelvo::ctl::AllowModalOnHeadlessDisplay(false);
    quelvo::win::ResetWindowManager();
    std::error_code ec;
    std::filesystem::remove_all(pattern, ec);
}

}  // namespace
