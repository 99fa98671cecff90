// The lookup combo box in a real X11 window under the test's own Xvfb: the
// drop-down grid opens as its own window below the editor, and a click on
// its third row makes that record's key the editor's value.
#include <gtest/gtest.h>

#include "components/editor-catalogue/cxDBLookupComboBox.h"
#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/system/scope_guard.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

class LookupComboBoxOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerInitialize();
        cxContainerPopupInitialize();
        cxTextEditInitialize();
        cxDropDownEditInitialize();
        cxDBLookupComboBoxInitialize();
    }
    void DoneUnits() override
    {
        cxDBLookupComboBoxFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxDropDownEditFinalize();
        cxTextEditFinalize();
        cxContainerPopupFinalize();
        cxContainerFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
};

TEST_F(LookupComboBoxOnX11, ADropDownClickOnTheThirdRowTakesItsKey)
{
    ObjectPtr<TMemDataSet> list = MakeObject<TMemDataSet>(nullptr);
    list->FieldDefs().Add("id", ftInteger);
    list->FieldDefs().Add("name", ftString, 20);
    list->Open();
    const char* names[] = {"Normal", "High", "Low", "Idle"};
    for (int i = 0; i < 4; ++i)
        list->AppendRecord({Variant(100 + i), Variant(std::string(names[i]))});
    ObjectPtr<TDataSource> source = MakeObject<TDataSource>(nullptr);
    source->SetDataSet(list.get());

    TForm* form = Application->CreateForm<TForm>();
    quelvo::sys::ScopeGuard freeForm([form] { form->Free(); });
    form->SetBounds(40, 40, 320, 120);
    auto* edit = CreateObject<TcxLookupComboBox>(static_cast<TComponent*>(form));
    edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
    edit->Style()->Font()->SetHeight(-16);
    edit->Style()->LookAndFeel()->SetKind(lfStandard);
    edit->SetBounds(20, 20, 200, 24);
    edit->SetParent(form);
    TcxLookupComboBoxProperties* p = edit->Properties();
    p->SetListSource(source.get());
    p->SetKeyFieldNames("id");
    p->SetListFieldNames("name");
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    HWND popup = nullptr;
    ASSERT_NO_FATAL_FAILURE(DropDownByButton(edit, form->Handle(), popup));
    Settle();

    TcxLookupDBGrid* grid = p->Grid();
    const TcxLookupGridRowViewInfo* row = grid->ViewInfo()->Rows.FindByRowIndex(2);
    ASSERT_NE(row, nullptr);
    const RECT cell = row->Items(0)->Bounds;
    ClickScreen(grid->ClientToScreen(POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2}));
    ASSERT_TRUE(PumpUntil([&] { return !edit->DroppedDown(); }));
    EXPECT_EQ(edit->EditValue().AsInteger(), 102);
    EXPECT_EQ(edit->Text(), "Low");
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows what the form painted";
}

}  // namespace
