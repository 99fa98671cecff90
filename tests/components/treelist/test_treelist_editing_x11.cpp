// The tree list's cell editor in a real X11 window under the test's own
// Xvfb: the server shows the editor on its cell, and no longer once the
// cell has scrolled away.
#include <gtest/gtest.h>

#include "tests/components/treelist/tree_list_x11_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

constexpr TColor kEditColor = 0x00FF00;

class TreeListEditingOnX11 : public TreeListX11Test {};

TEST_F(TreeListEditingOnX11, TheServerShowsTheEditorOnItsCellUntilTheCellScrollsAway)
{
    form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 320, 220);
    auto* list = CreateObject<TcxTreeList>(form);
    list->BeginUpdate();
    list->SetBounds(0, 0, 300, 19 + 36);
    list->SetBorderStyle(cxcbsNone);
    list->Font()->SetName(quelvo::gfx::kFixedTestFace);
    list->Font()->SetHeight(-13);
    list->OptionsView()->SetIndicator(false);
    list->SetDefaultRowHeight(18);
    list->OptionsBehavior()->SetImmediateEditor(false);
    list->OnInitEdit = TcxecInitEditEvent::FromFunction(
        [](TObject*, TObject*, TcxCustomEdit* edit) { edit->Style()->SetColor(kEditColor); });
    TcxTreeListColumn* column = list->CreateColumn();
    column->SetWidth(150);
    TcxTreeListNode* nodes[4] = {};
    for (int i = 0; i < 4; ++i) nodes[i] = list->AddChild(nullptr);
    for (int i = 0; i < 4; ++i) nodes[i]->SetValue(0, Variant("row" + std::to_string(i)));
    list->SetParent(form);
    list->EndUpdate();
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    list->SetFocus();
    list->SetFocusedNode(nodes[1]);
    list->SetFocusedColumn(column);
    list->Controller()->EditingController()->ShowEdit(column);
    Settle();

    auto* controller = static_cast<TcxTreeListController*>(list->Controller());
    TcxTreeListEditCellViewInfo* cell = controller->GetCellFromViewInfoEx(column, nodes[1]);
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(list->Controller()->EditingController()->Edit(), nullptr);
    const POINT middle{(cell->EditRect.left + cell->EditRect.right) / 2, (cell->EditRect.top + cell->EditRect.bottom) / 2};
    EXPECT_EQ(ListPixel(list, middle), 0x00FF00u) << "the editor on its cell";
    EXPECT_EQ(Mismatches(form->Handle()), 0);

    list->SetTopVisibleIndex(2);
    Settle();
    EXPECT_NE(ListPixel(list, middle), 0x00FF00u) << "the editor left with its cell";
    EXPECT_EQ(Mismatches(form->Handle()), 0);
    list->OnInitEdit = {};
}

} // namespace
