// The button and popup editors in a real X11 session under the test's own
// Xvfb: a click from another client on the ellipsis button clicks it and
// the server shows what the editor painted.
#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxContainerPopup.h"
#include "tests/components/control_units.h"
// Last: it brings Xlib, whose macros would clash with the names above.
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

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

}  // namespace
