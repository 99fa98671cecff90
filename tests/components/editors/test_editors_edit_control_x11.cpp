// An editor with an edit button in a real X11 window under the test's own
// Xvfb: a click from another client clicks the button once, and the server
// shows what the editor painted.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxEditViewData.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace hostlib;

namespace {

class ButtonEditProperties : public TcxCustomEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<ButtonEditProperties, TcxCustomEditProperties>("TX11ButtonEditProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
};

class ButtonEdit : public TcxCustomEdit {
public:
    static TClass StaticClass() { return DefineClass<ButtonEdit, TcxCustomEdit>("TX11ButtonEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override { return ButtonEditProperties::StaticClass(); }
};

class EditOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
    }
    void DoneUnits() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
    // The server's pixels of a rectangle of the editor.
    std::vector<unsigned long> ServerPixels(TcxCustomEdit* edit, const RECT& r)
    {
        const POINT origin = edit->ClientToScreen(POINT{r.left, r.top});
        XImage* image = XGetImage(other_, DefaultRootWindow(other_), origin.x, origin.y,
                                  static_cast<unsigned>(r.right - r.left), static_cast<unsigned>(r.bottom - r.top),
                                  AllPlanes, ZPixmap);
        std::vector<unsigned long> pixels;
        if (!image)
            return pixels;
        for (int y = 0; y < r.bottom - r.top; ++y)
            for (int x = 0; x < r.right - r.left; ++x)
                pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        XDestroyImage(image);
        return pixels;
    }
};

TEST_F(EditOnX11, AClickFromAnotherClientClicksTheButton)
{
    RegisterClass(ButtonEdit::StaticClass());
    RegisterClass(ButtonEditProperties::StaticClass());
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 240, 120);
    auto* edit = CreateObject<ButtonEdit>(static_cast<TComponent*>(form));
    edit->SetAutoSize(false);
    edit->SetBounds(20, 20, 160, 24);
    edit->SetParent(form);
    static_cast<TcxEditButton*>(edit->Properties()->Buttons()->Add())->SetKind(bkEllipsis);
    int clicks = 0;
    edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction([&](TObject*, int) { ++clicks; });
    form->Show();
    const auto window = [&] { return static_cast<::Window>(x_->XWindowOf(form->Handle())); };
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        return window() && XGetWindowAttributes(other_, window(), &wa) && wa.map_state == IsViewable;
    }));
    Settle();
    ASSERT_EQ(edit->ViewInfo()->ButtonCount(), 1);
    const RECT button = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
    ASSERT_FALSE(ServerPixels(edit, button).empty());

    const POINT centre = edit->ClientToScreen(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    ClickScreen(centre);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    Settle();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows what the editor painted";
    form->Free();
}

}  // namespace
