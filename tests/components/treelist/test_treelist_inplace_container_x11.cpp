// The small editing control in a real X11 window under the test's own
// Xvfb: the server shows what the control painted, buffered and not, and a
// click on a cell reaches the controller, which focuses that cell.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "components/editors/cxEditPaintUtils.h"
#include "tests/components/treelist/inplace_test_control.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class InplaceContainerOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxInplaceContainerInitialize();
        kind = std::make_unique<DefaultTextKind>();
    }
    void DoneUnits() override
    {
        items.clear();
        kind.reset();
        cxInplaceContainerFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
    }

    std::unique_ptr<DefaultTextKind> kind;
    std::vector<ObjectPtr<TTestItem>> items;
};

TEST_F(InplaceContainerOnX11, TheServerShowsTheCellsAndAClickFocusesOne)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 200);
    auto* control = CreateObject<TTestControl>(form);
    control->SetBounds(10, 10, 240, 120);
    control->SetBorderStyle(cxcbsNone);
    control->Font()->SetName(quelvo::gfx::kFixedTestFace);
    control->Font()->SetHeight(-16);
    control->OptionsBehavior()->SetImmediateEditor(false);
    for (int i = 0; i < 2; ++i) {
        items.emplace_back(CreateObject<TTestItem>(nullptr));
        items.back()->SetEditingControl(control);
    }
    control->DataController()->SetRecordCount(3);
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 2; ++i) control->DataController()->SetValue(r, i, Variant("x" + std::to_string(r)));
    control->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        const auto w = static_cast<::Window>(x_->XWindowOf(form->Handle()));
        return w && XGetWindowAttributes(other_, w, &wa) && wa.map_state == IsViewable;
    }));
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "unbuffered";
    control->SetBufferedPaint(true);
    control->Invalidate();
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "buffered";

    TTestCell* cell = control->TestViewInfo()->Cell(2, 1);
    ASSERT_NE(cell, nullptr);
    ClickScreen(control->ClientToScreen(POINT{cell->ClipRect.left + 5, cell->ClipRect.top + 5}));
    EXPECT_TRUE(PumpUntil([&] { return control->Controller()->FocusedItem() == items[1].get(); }));
    EXPECT_EQ(control->DataController()->GetFocusedRecordIndex(), 2);
    items.clear();
}

} // namespace
