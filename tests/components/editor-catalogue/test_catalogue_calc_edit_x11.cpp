// The calculator editor in a real X11 window under the test's own Xvfb: its
// keypad opens as a window of its own below the editor, and clicks from
// another client on 7, *, 6 and = write 42 into the editor.
#include <gtest/gtest.h>

#include <string>

#include "components/editor-catalogue/cxCalc.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

class CalcEditOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerInitialize();
        cxContainerPopupInitialize();
    }
    void DoneUnits() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxContainerPopupFinalize();
        cxContainerFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
    POINT KeyCentre(TcxPopupCalculator* calc, TcxCalcButtonKind kind)
    {
        const RECT r = calc->Button(kind).BtnRect;
        return calc->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
};

TEST_F(CalcEditOnX11, TheKeypadOpensAsItsOwnWindowAndClicksWriteTheResult)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 320, 120);
    auto* edit = CreateObject<TcxCalcEdit>(static_cast<TComponent*>(form));
    edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
    edit->Style()->Font()->SetHeight(-16);
    edit->Style()->LookAndFeel()->SetKind(lfStandard);
    edit->SetBounds(20, 20, 200, 24);
    edit->SetParent(form);
    quelvo::sys::ScopeGuard freeForm([form] { form->Free(); });
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    HWND popup = nullptr;
    ASSERT_NO_FATAL_FAILURE(DropDownByButton(edit, form->Handle(), popup));
    Settle();

    TcxPopupCalculator* calc = edit->Calculator();
    for (TcxCalcButtonKind kind : {cbNum7, cbMul, cbNum6, cbEqual}) {
        ClickScreen(KeyCentre(calc, kind));
        Settle();
    }
    ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "42"; })) << edit->Text();
    EXPECT_TRUE(edit->DroppedDown()) << "= closes only with QuickClose";
    EXPECT_EQ(Mismatches(popup), 0) << "the server shows what the keypad painted";
}

}  // namespace
