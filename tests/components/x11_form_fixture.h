#pragma once
// Component tests on a real X11 display: the test's own Xvfb, the window
// layer on it, and a second client connection that plays the user (XTest)
// and reads back what the server shows (XGetImage).

#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/controls/control_base.h"
#include "platform/graphics/surface.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/platform/windows/x11/xvfb_server.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace x11test {

class X11FormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = new XvfbServer();
        if (!server_->Start(&error_)) {
            delete server_;
            server_ = nullptr;
        }
    }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override
    {
        OpenDisplay();
        if (!HasFatalFailure()) InitUnits();
    }
    void TearDown() override
    {
        DoneUnits();
        CloseDisplay();
    }
    // The library units a test needs: started after the visual library,
    // ended before it (also after a failed start).
    virtual void InitUnits() {}
    virtual void DoneUnits() {}

    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            hostlib::Application->ProcessMessages();
            if (done()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    void Settle()
    {
        PumpUntil([] { return false; }, 200);
        x_->Flush();
    }
    // A key pressed and released by another client, as a user types it.
    void TypeKey(KeySym sym)
    {
        const KeyCode code = XKeysymToKeycode(other_, sym);
        XTestFakeKeyEvent(other_, code, True, CurrentTime);
        XTestFakeKeyEvent(other_, code, False, CurrentTime);
        XFlush(other_);
    }
    void ClickScreen(POINT p, unsigned button = 1, bool press = true, bool release = true)
    {
        XTestFakeMotionEvent(other_, DefaultScreen(other_), p.x, p.y, CurrentTime);
        if (press) XTestFakeButtonEvent(other_, button, True, CurrentTime);
        if (release) XTestFakeButtonEvent(other_, button, False, CurrentTime);
        XFlush(other_);
    }
    POINT RootPosition(unsigned long xid)
    {
        ::Window child = 0;
        int x = 0, y = 0;
        XTranslateCoordinates(other_, xid, DefaultRootWindow(other_), 0, 0, &x, &y, &child);
        return POINT{x, y};
    }
    // Clicks a drop-down editor's button and checks that its drop-down opens
    // as a window of its own below the editor; that window in `popup`.
    template <class Edit>
    void DropDownByButton(Edit* edit, HWND form, HWND& popup)
    {
        ClickScreen(edit->ClientToScreen(POINT{edit->Width() - 8, edit->Height() / 2}));
        ASSERT_TRUE(PumpUntil([&] { return edit->DroppedDown(); }));
        popup = edit->PopupWindow()->Handle();
        ASSERT_TRUE(PumpUntil([&] { return Viewable(popup); }));
        EXPECT_NE(x_->XWindowOf(popup), x_->XWindowOf(form));
        const POINT popupOrigin = RootPosition(x_->XWindowOf(popup));
        const POINT editOrigin = RootPosition(x_->XWindowOf(edit->Handle()));
        EXPECT_GE(popupOrigin.y, editOrigin.y + edit->Height()) << "below the editor";
    }
    // Whether the server shows a window of ours (mapped with its parents).
    bool Viewable(HWND window)
    {
        XWindowAttributes wa{};
        const auto w = static_cast<::Window>(x_->XWindowOf(window));
        return w && XGetWindowAttributes(other_, w, &wa) && wa.map_state == IsViewable;
    }
    // The server's pixel of a window of ours, 0xRRGGBB; all ones when unreadable.
    std::uint32_t ServerPixel(HWND window, int x, int y)
    {
        const auto w = static_cast<::Window>(x_->XWindowOf(window));
        XImage* image = XGetImage(other_, w, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0xFFFFFFFFu;
        const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
        return pixel;
    }
    // Pixels of a top-level window on the server that differ from its
    // surface; -1 when either cannot be read.
    int Mismatches(HWND window)
    {
        const auto w = static_cast<::Window>(x_->XWindowOf(window));
        XWindowAttributes wa{};
        if (!XGetWindowAttributes(other_, w, &wa)) return -1;
        XImage* image = XGetImage(other_, w, 0, 0, static_cast<unsigned>(wa.width), static_cast<unsigned>(wa.height),
                                  AllPlanes, ZPixmap);
        const quelvo::gfx::Surface* surface = quelvo::win::TopLevelSurface(window);
        if (!image || !surface) {
            if (image) XDestroyImage(image);
            return -1;
        }
        RECT wr{};
        GetWindowRect(window, &wr);
        const POINT root = RootPosition(w);
        const int ox = root.x - wr.left, oy = root.y - wr.top;
        int mismatches = 0;
        for (int py = 0; py < wa.height; ++py)
            for (int px = 0; px < wa.width; ++px)
                mismatches += (XGetPixel(image, px, py) & 0xFFFFFF) != (surface->At(px + ox, py + oy) & 0xFFFFFF);
        XDestroyImage(image);
        return mismatches;
    }

    static inline XvfbServer* server_ = nullptr;
    static inline std::string error_;
    quelvo::win::x11::X11Display* x_ = nullptr;
    Display* other_ = nullptr;

private:
    void OpenDisplay()
    {
        ASSERT_NE(server_, nullptr) << "no X server: " << error_;
        quelvo::win::ResetWindowManager();
        char tmpl[] = "/tmp/quelvo-x11form-XXXXXX";
        folder_ = mkdtemp(tmpl);
        quelvo::win::SetRuntimeFolder(folder_);
        std::string error;
        auto display = quelvo::win::x11::X11Display::Open(server_->Name(), &error);
        ASSERT_NE(display, nullptr) << error;
        x_ = display.get();
        quelvo::win::SetDisplay(std::move(display));
        other_ = XOpenDisplay(server_->Name().c_str());
        ASSERT_NE(other_, nullptr);
        quelvo::ctl::InitControls();
        hostlib::InitVisualLibrary();
    }
    void CloseDisplay()
    {
        hostlib::DoneVisualLibrary();
        quelvo::win::ResetWindowManager();
        if (other_) XCloseDisplay(other_);
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
        quelvo::win::SetRuntimeFolder("");
    }

    std::string folder_;
};

}  // namespace x11test
