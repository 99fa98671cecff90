// A check box and a radio group in a real X11 window under the test's own
// Xvfb: a click toggles the box, a click on the second item selects it, and
// the server shows what the form drew.
#include <gtest/gtest.h>

#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "platform/hostlib/visual/forms.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

class ChoiceOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxUltraFlatLookAndFeelPaintersInitialize();
        cxControlsInitialize();
        cxContainerInitialize();
        cxCheckBoxInitialize();
        cxRadioGroupInitialize();
    }
    void DoneUnits() override
    {
        cxRadioGroupFinalize();
        cxCheckBoxFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxContainerFinalize();
        cxControlsFinalize();
        cxUltraFlatLookAndFeelPaintersFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
};

TEST_F(ChoiceOnX11, ClicksToggleTheBoxAndSelectTheSecondItem)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 260, 220);
    auto* box = CreateObject<TcxCheckBox>(form);
    box->SetBounds(10, 10, 121, 21);
    box->SetCaption("Option");
    box->Style()->SetBorderStyle(ebsUltraFlat);
    box->SetParent(form);
    auto* group = CreateObject<TcxRadioGroup>(form);
    group->SetBounds(10, 50, 200, 120);
    group->SetCaption("Pick");
    for (const char* caption : {"First", "Second", "Third"})
        static_cast<TcxRadioGroupItem*>(group->Properties()->Items()->Add())->SetCaption(caption);
    group->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    const RECT check = box->GetViewInfo()->CheckBoxRect;
    ClickScreen(box->ClientToScreen(POINT{(check.left + check.right) / 2, (check.top + check.bottom) / 2}));
    ASSERT_TRUE(PumpUntil([&] { return box->Checked(); }));

    TWinControl* second = group->Buttons(1);
    ClickScreen(second->ClientToScreen(POINT{8, second->Height() / 2}));
    ASSERT_TRUE(PumpUntil([&] { return group->ItemIndex() == 1; }));
    EXPECT_EQ(group->EditValue(), Variant("Second"));
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0);
    form->Free();
}

}  // namespace
