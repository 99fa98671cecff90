// The button and popup editors in a real X11 session under the test's own
// Xvfb: a click from another client on the ellipsis button clicks it and
// the server shows what the editor painted; a click on the popup editor's
// button opens its popup as a window of its own right below the editor,
// with the popup control showing inside.
#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxPopupEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxContainerPopup.h"
#include "tests/components/control_units.h"
// Last: it brings Xlib, whose macros would clash with the names above.
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

// A control that fills itself with one colour.
class TColourPanel : public TCustomControl {
public:
    static TClass StaticClass() { return DefineClass<TColourPanel, TCustomControl>("TX11ColourPanel"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clLime);
        Canvas()->FillRect(ClientRect());
    }
};

class EditorsOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        componenttest::StartControlUnits();
        cxContainerPopupInitialize();
    }
    void DoneUnits() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxContainerPopupFinalize();
        componenttest::EndControlUnits();
    }
    TForm* ShownForm()
    {
        TForm* form = Application->CreateForm<TForm>();
        form->SetBounds(40, 40, 300, 260);
        return form;
    }
    template <class Edit>
    Edit* NewEdit(TForm* form)
    {
        auto* edit = CreateObject<Edit>(static_cast<TComponent*>(form));
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->SetAutoSize(false);
        edit->SetBounds(20, 20, 160, 24);
        edit->SetParent(form);
        return edit;
    }
    POINT ButtonCentre(TcxCustomEdit* edit)
    {
        const RECT b = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
        return edit->ClientToScreen(POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    }
};

TEST_F(EditorsOnX11, AClickOnTheEllipsisFromAnotherClientClicksIt)
{
    TForm* form = ShownForm();
    auto* edit = NewEdit<TcxButtonEdit>(form);
    int clicks = 0;
    edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction([&](TObject*, int) { ++clicks; });
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    ClickScreen(ButtonCentre(edit));
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    Settle();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(PumpUntil([&] { return Mismatches(form->Handle()) == 0; })) << "the server shows the button";
    form->Free();
}

TEST_F(EditorsOnX11, ThePopupControlShowsInsideThePopupBelowTheEditor)
{
    TForm* form = ShownForm();
    auto* edit = NewEdit<TcxPopupEdit>(form);
    auto* panel = CreateObject<TColourPanel>(static_cast<TComponent*>(form));
    panel->SetBounds(20, 120, 150, 110);
    panel->SetVisible(false);
    panel->SetParent(form);
    edit->Properties()->SetPopupControl(panel);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    ClickScreen(ButtonCentre(edit));
    ASSERT_TRUE(PumpUntil([&] { return edit->DroppedDown() && Viewable(edit->PopupWindow()->Handle()); }));
    Settle();
    const HWND popup = edit->PopupWindow()->Handle();
    const auto window = x_->XWindowOf(popup);
    EXPECT_NE(window, x_->XWindowOf(form->Handle())) << "a window of its own";
    const POINT root = RootPosition(window);
    const POINT below = edit->ClientToScreen(POINT{0, edit->Height()});
    EXPECT_EQ(root.x, below.x);
    EXPECT_EQ(root.y, below.y);
    const POINT inside = panel->ClientToScreen(POINT{75, 55});
    EXPECT_EQ(ServerPixel(popup, inside.x - root.x, inside.y - root.y), 0x00FF00u) << "the control shows inside";
    EXPECT_TRUE(PumpUntil([&] { return Mismatches(popup) == 0; })) << "the server shows what the popup drew";

    edit->SetDroppedDown(false);
    ASSERT_TRUE(PumpUntil([&] { return !Viewable(popup); }));
    EXPECT_EQ(panel->Parent(), form);
    EXPECT_FALSE(panel->Visible());
    form->Free();
}

}  // namespace
