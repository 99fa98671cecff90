#pragma once
// The real configuration program on a private X server of the test's own:
// started from elsewhere with a private runtime, configuration and home
// folder, its top-level window found by its process id, and what the
// server shows of it read back as pixels; clicks come through XTest.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/TempFolder.h"
#include "tests/common/live.h"
#include "tests/configurator/ExpectedSettings.h"
#include "tests/platform/windows/x11/xvfb_server.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace configuratortest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

// A box in a window and how many pixels of a kind it holds.
struct Area {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

class ConfiguratorX11 : public testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(server_.Start(&error)) << error;
        dpy_ = XOpenDisplay(server_.Name().c_str());
        ASSERT_NE(dpy_, nullptr);
        for (const char* sub : {"runtime", "config", "home"}) fs::create_directory(private_.File(sub));
        fs::permissions(private_.File("runtime"), fs::perms::owner_all);
        fs::copy_file(QUELVO_CONFIGURATOR, folder_.File("QuelvoConfigurator.exe"));
        fs::permissions(folder_.File("QuelvoConfigurator.exe"), fs::perms::owner_all);
    }
    void TearDown() override
    {
        // A tray the program started is not our child: asked first, so it
        // leaves as it should.
        for (const pid_t tray : Running("QuelvoTray.exe")) ::kill(tray, SIGTERM);
        if (!WaitFor([&] { return Running("QuelvoTray.exe").empty(); }, 10s))
            for (const pid_t tray : Running("QuelvoTray.exe")) ::kill(tray, SIGKILL);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (dpy_) XCloseDisplay(dpy_);
    }

    void Start()
    {
        const std::string program = folder_.File("QuelvoConfigurator.exe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("DISPLAY", server_.Name().c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", private_.File("runtime").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", private_.File("config").c_str(), 1);
            ::setenv("HOME", private_.File("home").c_str(), 1);
            ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
            // Started from elsewhere: the program finds its own folder.
            if (::chdir("/") != 0) ::_exit(126);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    // Exit status, or -1 when it runs on past the limit.
    int WaitExit(std::chrono::milliseconds limit)
    {
        int status = 0;
        if (!WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit)) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    long Cardinal(Window w, const char* property)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long value = -1;
        if (XGetWindowProperty(dpy_, w, XInternAtom(dpy_, property, False), 0, 1, False, XA_CARDINAL, &type, &format,
                               &count, &after, &data) == Success && data && count == 1)
            value = *reinterpret_cast<long*>(data);
        if (data) XFree(data);
        return value;
    }
    std::string Utf8(Window w, const char* property)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::string value;
        if (XGetWindowProperty(dpy_, w, XInternAtom(dpy_, property, False), 0, 1024, False,
                               XInternAtom(dpy_, "UTF8_STRING", False), &type, &format, &count, &after, &data) == Success &&
            data)
            value.assign(reinterpret_cast<char*>(data), count);
        if (data) XFree(data);
        return value;
    }
    // The program's mapped top-level window, by its process id.
    Window FindWindow()
    {
        Window found = 0;
        WaitFor([&] {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            XQueryTree(dpy_, DefaultRootWindow(dpy_), &root, &parent, &children, &count);
            for (unsigned i = 0; i < count && !found; ++i) {
                XWindowAttributes wa{};
                if (Cardinal(children[i], "_NET_WM_PID") == pid_ && XGetWindowAttributes(dpy_, children[i], &wa) &&
                    wa.map_state == IsViewable)
                    found = children[i];
            }
            if (children) XFree(children);
            return found != 0;
        }, 60s);
        return found;
    }
    struct Geometry {
        int x, y, width, height;
    };
    Geometry GeometryOf(Window w)
    {
        XWindowAttributes wa{};
        XGetWindowAttributes(dpy_, w, &wa);
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
        return {x, y, wa.width, wa.height};
    }
    unsigned long Pixel(Window w, int x, int y)
    {
        XImage* image = XGetImage(dpy_, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return ~0ul;
        const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return p;
    }
    // Where a window shows a colour: the box around its pixels of it, within
    // a part of the window (all of it when empty). Text is drawn smoothed on
    // a real server, so a colour is told by its hue.
    Area Find(Window w, bool (*wanted)(unsigned long), const Area& within = Area{})
    {
        const Geometry g = GeometryOf(w);
        Area area;
        XImage* image = XGetImage(dpy_, w, 0, 0, static_cast<unsigned>(g.width), static_cast<unsigned>(g.height),
                                  AllPlanes, ZPixmap);
        if (!image) return area;
        const bool all = within.count == 0;
        for (int y = all ? 0 : within.top; y < (all ? g.height : std::min(g.height, within.bottom)); ++y)
            for (int x = all ? 0 : within.left; x < (all ? g.width : std::min(g.width, within.right)); ++x) {
                if (!wanted(XGetPixel(image, x, y) & 0xFFFFFF)) continue;
                area = {std::min(area.left, x), std::min(area.top, y), std::max(area.right, x + 1),
                        std::max(area.bottom, y + 1), area.count + 1};
            }
        XDestroyImage(image);
        return area;
    }
    static bool Reddish(unsigned long c)
    {
        const long r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return r >= g + 0x80 && r >= b + 0x80;
    }
    static bool Greenish(unsigned long c)
    {
        const long r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return g >= r + 0x40 && g >= b + 0x40;
    }
    void DoubleClick(Window w, int x, int y)
    {
        const Geometry g = GeometryOf(w);
        XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), g.x + x, g.y + y, CurrentTime);
        for (int i = 0; i < 2; ++i) {
            XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
            XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
        }
        XFlush(dpy_);
    }
    // Processes running a program of the folder.
    std::vector<pid_t> Running(const std::string& name) const
    {
        std::vector<pid_t> pids;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/proc", ec)) {
            const std::string id = entry.path().filename().string();
            if (id.find_first_not_of("0123456789") != std::string::npos) continue;
            std::error_code linkError;
            if (fs::read_symlink(entry.path() / "exe", linkError) == fs::path(folder_.File(name)))
                pids.push_back(static_cast<pid_t>(std::stoi(id)));
        }
        return pids;
    }
    void Click(Window w, int x, int y)
    {
        const Geometry g = GeometryOf(w);
        XTestFakeMotionEvent(dpy_, DefaultScreen(dpy_), g.x + x, g.y + y, CurrentTime);
        XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
        XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
        XFlush(dpy_);
    }

    x11test::XvfbServer server_;
    Display* dpy_ = nullptr;
    TempFolder folder_;
    TempFolder private_;
    pid_t pid_ = -1;
};

}  // namespace configuratortest
