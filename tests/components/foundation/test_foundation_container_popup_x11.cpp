// The editors' drop-down window in a real X11 session under the test's own
// Xvfb: a popup that takes the focus and one that leaves it with its owner
// each open as an X window of their own beside the owner, and a click on
// the form outside them closes them.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "components/foundation/cxContainerPopup.h"
#include "platform/controls/control_base.h"
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

// Fills itself with its colour.
class TPlainControl : public TCustomControl {
public:
    static TClass StaticClass() { return DefineClass<TPlainControl, TCustomControl>("TPlainControl"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(ClientRect());
    }
};

class PopupOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxContainerPopupInitialize();
    }
    void DoneUnits() override
    {
        cxContainerPopupFinalize();
        cxLookAndFeelsFinalize();
    }
    void ClickAt(POINT p) { ClickScreen(p); }
};

TEST_F(PopupOnX11, BothKindsOpenAsTheirOwnWindowsAndAClickOnTheFormClosesThem)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 240);
    auto* edit = CreateObject<TPlainControl>(form);
    edit->SetBounds(20, 20, 120, 24);
    edit->SetTabStop(true);
    edit->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    edit->SetFocus();

    for (const bool captureFocus : {true, false}) {
        auto* popup = CreateObject<TcxCustomPopupWindow>(edit);
        auto* inner = CreateObject<TPlainControl>(popup);
        inner->SetBounds(0, 0, 90, 50);
        inner->SetColor(clLime);
        inner->SetParent(popup);
        popup->SetAnchorParent(edit);
        popup->SetAnchorBounds(edit->ClientRect());
        popup->SetModalMode(false);
        popup->SetCaptureFocus(captureFocus);
        popup->Popup(captureFocus ? inner : edit);
        ASSERT_TRUE(PumpUntil([&] { return Viewable(popup->Handle()); })) << captureFocus;
        EXPECT_NE(x_->XWindowOf(popup->Handle()), x_->XWindowOf(form->Handle()));
        XWindowAttributes wa{};
        XGetWindowAttributes(other_, static_cast<::Window>(x_->XWindowOf(popup->Handle())), &wa);
        EXPECT_TRUE(wa.override_redirect) << captureFocus;
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(popup->Handle(), 45, 25) == 0x00FF00u; })) << captureFocus;
        if (!captureFocus) {
            EXPECT_EQ(GetFocus(), edit->Handle()) << "the focus stays with the owner";
        }

        ClickAt(form->ClientToScreen(POINT{200, 180}));
        EXPECT_TRUE(PumpUntil([&] { return !popup->IsVisible() && !Viewable(popup->Handle()); })) << captureFocus;
        popup->Free();
    }
}

}  // namespace
