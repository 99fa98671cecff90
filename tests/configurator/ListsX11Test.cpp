// The real program's lists on a private X server: the Processes page shows
// a row for each running process, and a file that a file manager drags
// onto the rule list through XDND becomes a row and an "Ignore" rule in
// the settings file. As root it runs sealed in a pid namespace of its own.
#include "tests/configurator/ConfiguratorX11Fixture.h"
#include "tests/platform/windows/x11/xdnd_source.h"

#include <fstream>

using namespace configuratortest;

namespace {

class ListsX11 : public ConfiguratorX11 {
protected:
    Atom AtomOf(const char* name) { return XInternAtom(dpy_, name, False); }
    // Rows of a list, counted by their grid lines: a line of grey across
    // the middle half of the window between mostly white lines (the
    // header's edge has the header's face above it, the list's border the
    // window's face below it).
    int ListRows(Window w)
    {
        const Geometry g = GeometryOf(w);
        XImage* image = XGetImage(dpy_, w, 0, 0, static_cast<unsigned>(g.width), static_cast<unsigned>(g.height),
                                  AllPlanes, ZPixmap);
        if (!image) return -1;
        const auto share = [&](int y, auto wanted) {
            int n = 0;
            for (int x = g.width / 4; x < g.width * 3 / 4; ++x) n += wanted(XGetPixel(image, x, y) & 0xFFFFFF);
            return n * 2 > g.width / 2 * 19 / 10 ? 2 : n * 2 > g.width / 2 ? 1 : 0;
        };
        const auto grey = [](unsigned long c) {
            const unsigned long r = c >> 16, gr = (c >> 8) & 0xFF, b = c & 0xFF;
            return r == gr && gr == b && r < 0xC0;
        };
        const auto white = [](unsigned long c) { return c == 0xFFFFFF; };
        int rows = 0;
        for (int y = 1; y + 1 < g.height; ++y) rows += share(y, grey) == 2 && share(y - 1, white) >= 1 && share(y + 1, white) >= 1;
        XDestroyImage(image);
        return rows;
    }
    // The rule list's body: the lowest white run straight down the middle
    // of the Configuration page, above the buttons.
    Area RuleListBody(Window w)
    {
        const Geometry g = GeometryOf(w);
        const int x = g.width / 2;
        Area body;
        for (int y = g.height - 60; y > g.height / 2; --y) {
            const bool white = Pixel(w, x, y) == 0xFFFFFF;
            if (white) body = {8, std::min(body.top, y), g.width - 8, std::max(body.bottom, y + 1), 1};
            else if (body.count) break;
        }
        return body;
    }
    int DarkPixels(Window w, const Area& within)
    {
        return Find(w, [](unsigned long c) { return ((c >> 8) & 0xFF) < 0x60; }, within).count;
    }
    void SendXdnd(Window target, Window source, const char* type, long l1, long l2, long l3, long l4)
    {
        x11test::SendXdndMessage(dpy_, target, source, AtomOf(type), l1, l2, l3, l4);
    }
    // Waits for a reply of the drop target, handing it the dragged list of
    // files whenever it asks for it.
    bool AwaitXdnd(const char* type, const std::string& uris, XEvent& reply)
    {
        return WaitFor([&] {
            while (XPending(dpy_)) {
                XNextEvent(dpy_, &reply);
                if (reply.type == ClientMessage && reply.xclient.message_type == AtomOf(type)) return true;
                if (reply.type == SelectionRequest) x11test::AnswerUriListRequest(dpy_, reply.xselectionrequest, uris);
            }
            return false;
        }, 10s);
    }
    // A file manager's drag of one file to a point of the window; whether
    // the window took it.
    bool DragFile(Window w, int x, int y, const std::string& path)
    {
        const Window source = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);
        XSetSelectionOwner(dpy_, AtomOf("XdndSelection"), source, CurrentTime);
        const std::string uris = "file://" + path + "\r\n";
        const long copy = static_cast<long>(AtomOf("XdndActionCopy"));
        SendXdnd(w, source, "XdndEnter", 5L << 24, static_cast<long>(AtomOf("text/uri-list")), 0, 0);
        const Geometry g = GeometryOf(w);
        SendXdnd(w, source, "XdndPosition", 0, ((g.x + x) << 16) | (g.y + y), CurrentTime, copy);
        XEvent status{}, finished{};
        const bool accepted = AwaitXdnd("XdndStatus", uris, status) && (status.xclient.data.l[1] & 1) != 0;
        if (accepted) SendXdnd(w, source, "XdndDrop", 0, CurrentTime, 0, 0);
        else SendXdnd(w, source, "XdndLeave", 0, 0, 0, 0);
        const bool taken = accepted && AwaitXdnd("XdndFinished", uris, finished) && (finished.xclient.data.l[1] & 1) != 0;
        XDestroyWindow(dpy_, source);
        return taken;
    }
};

TEST_F(ListsX11, TheProcessesShowAsRowsAndAFileDraggedOntoTheRuleListBecomesARule)
{
    if (::geteuid() == 0) {
        ASSERT_TRUE(quelvo::test::live::Sealed()) << "not in a pid namespace of its own";
    }
    std::ofstream(folder_.File("Quelvo.ini")) << "[GuiConfig]\nActivePage=0\nHideLowCPUs=0\n";
    fs::create_directory(private_.File("x"));
    const std::string app = private_.Write("x/app.exe", "");
    Start();
    const Window w = FindWindow();
    ASSERT_NE(w, 0u) << "no window mapped";
    // This test, the server and the program itself at least.
    int rows = 0;
    EXPECT_TRUE(WaitFor([&] { return (rows = ListRows(w)) >= 3; }, 10s)) << rows << " rows";

    // The Configuration tab, right of "Processes".
    Click(w, 135, 12);
    Area body;
    // The page's one list holds a row or two where the process list
    // filled the page.
    ASSERT_TRUE(WaitFor([&] { return (body = RuleListBody(w)).count > 0 && body.bottom - body.top < 40; }, 10s))
        << "no rule list shown";
    EXPECT_EQ(DarkPixels(w, body), 0) << "no rule yet";
    ASSERT_TRUE(DragFile(w, (body.left + body.right) / 2, (body.top + body.bottom) / 2, app)) << "drop refused";
    EXPECT_TRUE(WaitFor([&] { return DarkPixels(w, body) > 20; }, 3s)) << "no row shown";
    EXPECT_TRUE(WaitFor([&] {
        return TempFolder::Read(folder_.File("Quelvo.ini")).find("RuleStrings=app.exe?Ignore\r") != std::string::npos;
    }, 5s)) << TempFolder::Read(folder_.File("Quelvo.ini"));
}

}  // namespace
