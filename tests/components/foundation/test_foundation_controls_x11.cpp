// The custom control base in real X11 windows under the test's own Xvfb: a
// control with both bars and the grip shows what its surface holds, a popup
// window opens as its own X window beside its owner and closes when the
// owner's form is clicked, and the auto-scroll anchor is a shaped window at
// the press point that goes with the ending click.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "components/foundation/cxControls.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/controls/control_base.h"
#include "platform/graphics/surface.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/components/foundation/foundation_modal_script.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>

using namespace hostlib;
using foundationtest::ModalScript;

namespace {

// Blue content of 1000 x 1000 pixels: both bars show.
class TBlueContent : public TcxControl {
public:
    static TClass StaticClass() { return DefineClass<TBlueContent, TcxControl>("TBlueContent"); }
    TClass ClassType() const override { return StaticClass(); }
    int scrolls = 0;

    void InitScrollBarsParameters() override
    {
        const RECT r = GetClientBounds();
        SetScrollBarInfo(sbHorizontal, 0, 999, 1, r.right - r.left, 0, true, true);
        SetScrollBarInfo(sbVertical, 0, 999, 1, r.bottom - r.top, 0, true, true);
    }
    void Scroll(TScrollBarKind, TScrollCode, int&) override { ++scrolls; }

protected:
    void Paint() override
    {
        TcxControl::Paint();
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(ClientRect());
    }
};

class ControlsOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxControlsInitialize();
        form_ = Application->CreateForm<TForm>();
        form_->SetBounds(60, 60, 320, 260);
        content_ = CreateObject<TBlueContent>(form_);
        content_->SetBounds(20, 20, 200, 150);
        content_->SetParent(form_);
        content_->LookAndFeel()->SetKind(lfStandard);
        form_->Show();
        ASSERT_TRUE(PumpUntil([&] { return Viewable(x_->XWindowOf(form_->Handle())); }));
        Settle();
    }
    void DoneUnits() override
    {
        if (form_) form_->Free();
        cxControlsFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
    }

    // Asks the server about a window only while it still exists.
    bool Viewable(unsigned long xid)
    {
        if (!xid) return false;
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(other_, DefaultRootWindow(other_), &root, &parent, &children, &count)) return false;
        const bool exists = std::find(children, children + count, static_cast<::Window>(xid)) != children + count;
        if (children) XFree(children);
        XWindowAttributes wa{};
        return exists && XGetWindowAttributes(other_, xid, &wa) && wa.map_state == IsViewable;
    }
    int Mismatches() { return X11FormTest::Mismatches(form_->Handle()); }
    static HWND Anchor() { return foundationtest::VisibleAutoScrollAnchor(); }

    TForm* form_ = nullptr;
    TBlueContent* content_ = nullptr;
};

TEST_F(ControlsOnX11, BarsAndGripShowWhatTheSurfaceHolds)
{
    content_->UpdateScrollBars();
    Settle();
    ASSERT_TRUE(content_->HScrollBar()->Visible());
    ASSERT_TRUE(content_->VScrollBar()->Visible());
    ASSERT_TRUE(content_->SizeGrip()->Visible());
    const quelvo::gfx::Surface* surface = quelvo::win::TopLevelSurface(form_->Handle());
    ASSERT_NE(surface, nullptr);
    // Grip, bar and content differ on the surface, so the comparison sees them.
    const POINT grip = form_->ClientToScreen(POINT{20 + 190, 20 + 140});
    const POINT inside = form_->ClientToScreen(POINT{20 + 50, 20 + 50});
    RECT wr{};
    GetWindowRect(form_->Handle(), &wr);
    EXPECT_NE(surface->At(grip.x - wr.left, grip.y - wr.top) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(surface->At(inside.x - wr.left, inside.y - wr.top) & 0xFFFFFF, 0x0000FFu);
    EXPECT_TRUE(PumpUntil([&] { return Mismatches() == 0; }, 3000)) << Mismatches() << " pixels differ";
}

TEST_F(ControlsOnX11, APopupIsItsOwnWindowBesideTheOwnerAndClosesOnAClickOnTheForm)
{
    auto* popup = CreateObject<TcxPopupWindow>(nullptr);
    auto* child = CreateObject<TBlueContent>(popup);
    child->SetBounds(0, 0, 120, 60);
    child->SetParent(popup);
    popup->SetBorderStyle(pbsUltraFlat);
    popup->SetAnchorParent(content_);
    popup->SetAnchorBounds(RECT{0, 0, 200, 150});
    popup->Popup();
    SetActiveWindow(popup->Handle());
    const unsigned long formX = x_->XWindowOf(form_->Handle());
    ASSERT_TRUE(PumpUntil([&] { return Viewable(x_->XWindowOf(popup->Handle())); }));
    const unsigned long popupX = x_->XWindowOf(popup->Handle());
    EXPECT_NE(popupX, formX);
    const POINT ownerBottomLeft = content_->ClientToScreen(POINT{0, 150});
    EXPECT_EQ(popup->Left(), ownerBottomLeft.x);
    EXPECT_EQ(popup->Top(), ownerBottomLeft.y);
    // The form's X window holds its client area; the desktop draws the frame.
    const POINT formClient = form_->ClientToScreen(POINT{0, 0});
    const POINT formRoot = RootPosition(formX);
    const POINT popupRoot = RootPosition(popupX);
    EXPECT_EQ(popupRoot.x - formRoot.x, popup->Left() - formClient.x);
    EXPECT_EQ(popupRoot.y - formRoot.y, popup->Top() - formClient.y);

    ClickScreen(form_->ClientToScreen(POINT{280, 20}), 1);
    EXPECT_TRUE(PumpUntil([&] { return !popup->Visible() && !Viewable(popupX); }));
    popup->Free();
}

TEST_F(ControlsOnX11, TheAnchorIsShapedAtThePressPointAndGoesWithTheEndingClick)
{
    content_->UpdateScrollBars();
    Settle();
    const POINT press = content_->ClientToScreen(POINT{80, 60});
    unsigned long anchorX = 0;
    int shapeRects = 0;
    POINT anchorRoot{};
    ModalScript script({[&] {
                            HWND anchor = Anchor();
                            if (!anchor || !Viewable(x_->XWindowOf(anchor))) return false;
                            anchorX = x_->XWindowOf(anchor);
                            int ordering = 0;
                            XRectangle* r = XShapeGetRectangles(other_, anchorX, ShapeBounding, &shapeRects, &ordering);
                            if (r) XFree(r);
                            anchorRoot = RootPosition(anchorX);
                            return true;
                        },
                        ModalScript::Do([&] { ClickScreen(POINT{press.x + 40, press.y}, 1); })});
    ClickScreen(press, 2);
    EXPECT_TRUE(PumpUntil([&] { return script.Finished() && !content_->ScrollingContent(); }));
    EXPECT_GT(shapeRects, 1) << "an ellipse is no rectangle";
    EXPECT_EQ(anchorRoot.x, press.x - 14);
    EXPECT_EQ(anchorRoot.y, press.y - 14);
    EXPECT_TRUE(PumpUntil([&] { return !Viewable(anchorX); }));
    EXPECT_EQ(Anchor(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
