// A push button and a calculator in a real X11 window under the test's
// own Xvfb: clicks on 1, +, 2 and = reach the keypad, and the server shows
// what the form drew.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "components/editor-catalogue/cxButtons.h"
#include "components/editor-catalogue/cxCalc.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
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

using namespace hostlib;

namespace {

class TTextCalculator : public TcxCustomCalculator {
public:
    static TClass StaticClass() { return DefineClass<TTextCalculator, TcxCustomCalculator>("TX11Calculator"); }
    TClass ClassType() const override { return StaticClass(); }
    std::string GetEditorValue() override { return text; }
    void SetEditorValue(const std::string& value) override { text = value; }
    std::string text;
};

class CatalogueOnX11 : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        server_ = new x11test::XvfbServer();
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
        ASSERT_NE(server_, nullptr) << "no X server: " << error_;
        quelvo::win::ResetWindowManager();
        char tmpl[] = "/tmp/quelvo-x11catalogue-XXXXXX";
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
        InitVisualLibrary();
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxUltraFlatLookAndFeelPaintersInitialize();
    }
    void TearDown() override
    {
        cxUltraFlatLookAndFeelPaintersFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
        DoneVisualLibrary();
        quelvo::win::ResetWindowManager();
        if (other_) XCloseDisplay(other_);
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        quelvo::win::SetRuntimeFolder("");
    }

    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            Application->ProcessMessages();
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
    void ClickScreen(POINT p)
    {
        XTestFakeMotionEvent(other_, DefaultScreen(other_), p.x, p.y, CurrentTime);
        XTestFakeButtonEvent(other_, 1, True, CurrentTime);
        XTestFakeButtonEvent(other_, 1, False, CurrentTime);
        XFlush(other_);
    }
    // Pixels of the form on the server that differ from its surface.
    int Mismatches(TForm* form)
    {
        const auto w = static_cast<::Window>(x_->XWindowOf(form->Handle()));
        XWindowAttributes wa{};
        if (!XGetWindowAttributes(other_, w, &wa)) return -1;
        XImage* image = XGetImage(other_, w, 0, 0, static_cast<unsigned>(wa.width), static_cast<unsigned>(wa.height),
                                  AllPlanes, ZPixmap);
        if (!image) return -1;
        const quelvo::gfx::Surface* surface = quelvo::win::TopLevelSurface(form->Handle());
        ::Window child = 0;
        int x = 0, y = 0;
        XTranslateCoordinates(other_, w, DefaultRootWindow(other_), 0, 0, &x, &y, &child);
        RECT wr{};
        GetWindowRect(form->Handle(), &wr);
        const int ox = x - wr.left, oy = y - wr.top;
        int mismatches = 0;
        for (int py = 0; py < wa.height; ++py)
            for (int px = 0; px < wa.width; ++px)
                mismatches += (XGetPixel(image, px, py) & 0xFFFFFF) != (surface->At(px + ox, py + oy) & 0xFFFFFF);
        XDestroyImage(image);
        return mismatches;
    }

    static inline x11test::XvfbServer* server_ = nullptr;
    static inline std::string error_;
    quelvo::win::x11::X11Display* x_ = nullptr;
    Display* other_ = nullptr;
    std::string folder_;
};

TEST_F(CatalogueOnX11, ClicksOnTheKeypadComputeAndTheServerShowsTheControls)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 260, 240);
    auto* button = CreateObject<TcxButton>(form);
    button->SetBounds(10, 10, 100, 30);
    button->SetCaption("OK");
    button->SetParent(form);
    auto* calc = CreateObject<TTextCalculator>(form);
    calc->SetBounds(10, 50, 198, 131);
    calc->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        const auto w = static_cast<::Window>(x_->XWindowOf(form->Handle()));
        return w && XGetWindowAttributes(other_, w, &wa) && wa.map_state == IsViewable;
    }));
    Settle();
    int pressed = 0;
    calc->OnCalcButtonClick = TcxCalcButtonClick::FromFunction([&](TObject*, TcxCalcButtonKind&) { ++pressed; });
    int expected = 0;
    for (TcxCalcButtonKind kind : {cbNum1, cbAdd, cbNum2, cbEqual}) {
        const RECT r = calc->Button(kind).BtnRect;
        ClickScreen(calc->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        ++expected;
        ASSERT_TRUE(PumpUntil([&] { return pressed == expected && !calc->Button(kind).Down; })) << kind;
    }
    ASSERT_TRUE(PumpUntil([&] { return calc->text == "3"; })) << calc->text;
    Settle();
    EXPECT_EQ(Mismatches(form), 0);
}

}  // namespace
