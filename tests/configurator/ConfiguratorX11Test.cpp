// The real program on a private X server: its window as the desktop sees
// it (title, process, place and size), its tab row drawn, its minimum size
// kept against a window manager that asks for less, and a click on OK that
// ends it and leaves the settings file; a double click on the red tray
// status that starts the tray program beside it and turns the status green.
// As root it runs sealed in a pid namespace of its own, so that tray sees
// nothing but what the test starts.
#include "tests/configurator/ConfiguratorX11Fixture.h"

#include <fstream>

using namespace configuratortest;

namespace {

TEST_F(ConfiguratorX11, TheWindowShowsKeepsItsMinimumAndClosesOnOk)
{
    Start();
    const Window w = FindWindow();
    ASSERT_NE(w, 0u) << "no window mapped";
    EXPECT_EQ(Utf8(w, "_NET_WM_NAME"), "Quelvo Configuration GUI version G9");

    // The X window is the inner part of the 520 x 320 form at 264, 338:
    // the frame is as wide on every side but the top, which adds the caption.
    const Geometry g = GeometryOf(w);
    const int side = g.x - 264;
    const int top = g.y - 338;
    EXPECT_GT(side, 0);
    EXPECT_GT(top, side);
    EXPECT_EQ(g.width, 520 - 2 * side);
    EXPECT_EQ(g.height, 320 - top - side);

    // The tab row: "Processes" unpressed in the page's colour (that of the
    // page below it), "Configuration" pressed in another colour all along
    // its top.
    int longest = 0;
    EXPECT_TRUE(WaitFor([&] {
        const unsigned long face = Pixel(w, 100, 100);
        if (Pixel(w, 6, 4) != face) return false;
        int run = 0;
        longest = 0;
        for (int x = 30; x < 260; ++x) {
            const unsigned long p = Pixel(w, x, 4);
            run = p != face && p == Pixel(w, x - 1, 4) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        return longest > 40;
    }, 10s)) << "no pressed tab drawn; longest run " << longest;

    // The minimum size as the hints say it, and kept when a window manager
    // asks for less.
    XSizeHints hints{};
    long supplied = 0;
    ASSERT_TRUE(XGetWMNormalHints(dpy_, w, &hints, &supplied));
    EXPECT_TRUE(hints.flags & PMinSize);
    EXPECT_EQ(hints.min_width, g.width - 10);
    EXPECT_EQ(hints.min_height, g.height);
    XResizeWindow(dpy_, w, 300, 200);
    XFlush(dpy_);
    EXPECT_TRUE(WaitFor([&] {
        const Geometry now = GeometryOf(w);
        return now.width == g.width - 10 && now.height == g.height;
    }, 10s)) << "sized " << GeometryOf(w).width << " x " << GeometryOf(w).height;
    XResizeWindow(dpy_, w, static_cast<unsigned>(g.width), static_cast<unsigned>(g.height));
    XFlush(dpy_);
    ASSERT_TRUE(WaitFor([&] { return GeometryOf(w).width == g.width; }, 10s));

    // OK, where the form places it in its client area (the X window).
    Click(w, 436 + 36, 238 + 12);
    EXPECT_EQ(WaitExit(60s), 0);
    EXPECT_EQ(TempFolder::Read(folder_.File("Quelvo.ini")), kEmptyFolderSettings);
}

TEST_F(ConfiguratorX11, ADoubleClickOnTheRedStatusStartsTheTrayAndTurnsItGreen)
{
    if (::geteuid() == 0) {
        ASSERT_TRUE(quelvo::test::live::Sealed()) << "not in a pid namespace of its own";
    }
    fs::copy_file(QUELVO_TRAY, folder_.File("QuelvoTray.exe"));
    fs::permissions(folder_.File("QuelvoTray.exe"), fs::perms::owner_all);
    // Nothing here is busy enough to be lowered.
    std::ofstream(folder_.File("Quelvo.ini")) << "[Settings]\nCpuTriggerHigh=99\nCpuTriggerLow=0\n";
    Start();
    const Window w = FindWindow();
    ASSERT_NE(w, 0u) << "no window mapped";
    // The first tick writes "Not Running" in red on the Configuration page.
    Area red;
    ASSERT_TRUE(WaitFor([&] { return (red = Find(w, Reddish)).count > 20; }, 10s)) << "no red status shown";
    EXPECT_LT(red.right - red.left, 120) << "one label's worth of red";

    DoubleClick(w, (red.left + red.right) / 2, (red.top + red.bottom) / 2);
    EXPECT_TRUE(WaitFor([&] { return !Running("QuelvoTray.exe").empty(); }, 1s)) << "no tray started";
    const auto started = std::chrono::steady_clock::now();
    // Two ticks, and the time the server needs to show the painted label;
    // "Running" is shorter than what it replaces.
    const Area label{red.left - 4, red.top - 4, red.right + 4, red.bottom + 4, 1};
    EXPECT_TRUE(WaitFor([&] { return Find(w, Greenish, label).count > 20 && Find(w, Reddish, label).count == 0; }, 3s))
        << "still not green after "
        << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count()
        << " ms";
    EXPECT_EQ(Running("QuelvoTray.exe").size(), 1u);
}

}  // namespace
