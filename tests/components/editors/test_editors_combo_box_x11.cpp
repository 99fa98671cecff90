// A combo box in a real X11 window under the test's own Xvfb: its list
// opens as a window of its own right below the editor, and a click from
// another client on a row makes that row's item the value.
#include <gtest/gtest.h>

#include <string>

#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace hostlib;

namespace {

class ComboBoxOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerPopupInitialize();
    }
    void DoneUnits() override
    {
        cxContainerPopupFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
};

TEST_F(ComboBoxOnX11, TheListOpensBelowTheEditorAndAClickChoosesARow)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 300, 200);
    auto* edit = CreateObject<TcxComboBox>(static_cast<TComponent*>(form));
    edit->SetBounds(20, 20, 180, 22);
    edit->SetParent(form);
    for (const char* item : {"Low", "Below Normal", "Normal", "Above Normal", "High", "Realtime"})
        edit->Properties()->Items()->Add(item);
    edit->Properties()->SetDropDownListStyle(lsFixedList);
    edit->Properties()->SetItemHeight(16);
    edit->SetEditValue(Variant(std::string("High")));
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    edit->SetFocus();
    Settle();
    edit->DropDown();
    TcxCustomEditPopupWindow* popup = edit->PopupWindow();
    ASSERT_TRUE(PumpUntil([&] { return popup->HandleAllocated() && Viewable(popup->Handle()); }));
    Settle();
    const auto xid = static_cast<unsigned long>(x_->XWindowOf(popup->Handle()));
    const POINT at = RootPosition(xid);
    const POINT editor = edit->ClientToScreen(POINT{0, edit->Height()});
    EXPECT_EQ(at.y, editor.y) << "the list's own window starts right below the editor";
    EXPECT_EQ(at.x, editor.x);

    TcxComboBoxListBox* list = edit->ComboLookupData()->ComboList();
    ClickScreen(list->ClientToScreen(POINT{30, 2 * 16 + 8}));
    EXPECT_TRUE(PumpUntil([&] { return !edit->DroppedDown(); }));
    EXPECT_EQ(VarToStr(edit->EditValue()), "Normal");
    form->Free();
}

}  // namespace
