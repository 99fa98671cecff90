// The scroll bar in a real X11 window under the test's own Xvfb: a click on
// the page area moves the thumb, and the server shows what the form drew,
// a bar in the native style beside it included.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "components/foundation/cxScrollBar.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxWinXPLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/uxtheme.h"
#include "platform/controls/control_base.h"
#include "platform/graphics/surface.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

using namespace hostlib;

namespace {

class ScrollBarOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxWinXPLookAndFeelPaintersInitialize();
    }
    void DoneUnits() override
    {
        cxWinXPLookAndFeelPaintersFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
    }
};

TEST_F(ScrollBarOnX11, APressOnThePageAreaMovesTheThumbAndTheServerShowsIt)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 160, 300);
    auto* bar = CreateObject<TcxScrollBar>(form);
    bar->SetKind(sbVertical);
    bar->SetBounds(20, 10, 17, 240);
    bar->SetParent(form);
    bar->LookAndFeel()->SetKind(lfStandard);
    bar->SetScrollParams(0, 99, 0, 10);
    bar->SetLargeChange(10);
    auto* themed = CreateObject<TcxScrollBar>(form);
    themed->SetKind(sbVertical);
    themed->SetBounds(80, 10, 17, 240);
    themed->SetParent(form);
    themed->LookAndFeel()->SetNativeStyle(true);
    themed->SetScrollParams(0, 99, 40, 10);
    ASSERT_EQ(themed->Painter(), TcxWinXPLookAndFeelPainter::Class());
    form->Show();
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        const auto w = static_cast<::Window>(x_->XWindowOf(form->Handle()));
        return w && XGetWindowAttributes(other_, w, &wa) && wa.map_state == IsViewable;
    }));
    Settle();
    const int thumbTop = bar->ThumbnailRect().top;
    const POINT page = bar->ClientToScreen(POINT{8, 200});
    XTestFakeMotionEvent(other_, DefaultScreen(other_), page.x, page.y, CurrentTime);
    XTestFakeButtonEvent(other_, 1, True, CurrentTime);
    XTestFakeButtonEvent(other_, 1, False, CurrentTime);
    XFlush(other_);
    ASSERT_TRUE(PumpUntil([&] { return bar->PressedPart() == sbpNone && bar->Position() >= 10; }));
    EXPECT_EQ(bar->Position(), 10);
    EXPECT_GT(bar->ThumbnailRect().top, thumbTop);
    Settle();

    const auto w = static_cast<::Window>(x_->XWindowOf(form->Handle()));
    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(other_, w, &wa));
    XImage* image = XGetImage(other_, w, 0, 0, static_cast<unsigned>(wa.width), static_cast<unsigned>(wa.height),
                              AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const quelvo::gfx::Surface* surface = quelvo::win::TopLevelSurface(form->Handle());
    ASSERT_NE(surface, nullptr);
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
    EXPECT_EQ(mismatches, 0);
    // The native bar's thumb shows in our theme's colour.
    COLORREF thumb = 0;
    ::GetThemeColor(OpenTheme(totScrollBar), SBP_THUMBBTNVERT, SCRBS_NORMAL, TMT_FILLCOLOR, &thumb);
    const RECT t = themed->ThumbnailRect();
    const POINT centre = themed->ClientToScreen(POINT{(t.left + t.right) / 2, (t.top + t.bottom) / 2});
    const unsigned long shown = XGetPixel(image, centre.x - x, centre.y - y) & 0xFFFFFF;
    EXPECT_EQ(shown, (static_cast<unsigned long>(GetRValue(thumb)) << 16) | (GetGValue(thumb) << 8) | GetBValue(thumb));
    XDestroyImage(image);
}

}  // namespace
