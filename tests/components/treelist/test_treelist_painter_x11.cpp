// The tree list in a real X11 window under the test's own Xvfb: the server
// shows the header and the rows as the list painted them, also after a
// scroll, with a selected row and with an editor open on its cell.
#include <gtest/gtest.h>

#include <memory>

#include "platform/graphics/wingdi.h"
#include "tests/components/treelist/tree_list_x11_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class TreeListOnX11 : public TreeListX11Test {
protected:
    static std::uint32_t Rgb(TColor color)
    {
        const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
        return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    // Columns A (100) and B (80), N0 with two children, then enough root
    // nodes to scroll, with content and background in colours of their own.
    TcxTreeList* MakeList()
    {
        form = Application->CreateForm<TForm>();
        form->SetBounds(60, 60, 320, 220);
        auto* l = CreateObject<TcxTreeList>(form);
        l->BeginUpdate();
        l->SetBounds(0, 0, 300, 200);
        l->SetBorderStyle(cxcbsNone);
        l->Font()->SetName(quelvo::gfx::kFixedTestFace);
        l->Font()->SetHeight(-13);
        l->SetDefaultRowHeight(18);
        l->OptionsView()->SetGridLines(tlglHorz);
        for (const char* caption : {"A", "B"}) {
            TcxTreeListColumn* column = l->CreateColumn();
            column->Caption()->SetText(caption);
            column->SetWidth(caption[0] == 'A' ? 100 : 80);
        }
        TcxTreeListNode* n0 = l->AddChild(nullptr);
        n0->AssignValues({"N0", "n0"});
        l->AddChild(n0)->AssignValues({"C0", "c0"});
        l->AddChild(n0)->AssignValues({"C1", "c1"});
        for (int i = 1; i < 20; ++i) l->AddChild(nullptr)->AssignValues({"N" + std::to_string(i), "x"});
        n0->SetExpanded(true);
        content = CreateObject<TcxStyle>(form);
        content->SetColor(TColor(0x0000FFFF));
        background = CreateObject<TcxStyle>(form);
        background->SetColor(TColor(0x00808000));
        l->Styles()->SetContent(content);
        l->Styles()->SetBackground(background);
        l->SetParent(form);
        l->EndUpdate();
        form->Show();
        return l;
    }
    std::uint32_t ListPixel(TcxTreeList* l, int x, int y) { return TreeListX11Test::ListPixel(l, POINT{x, y}); }
    // The server agrees with the surface, and the header, a row and the
    // background right of the columns have their colours there.
    void ExpectShownAsPainted(TcxTreeList* l, const char* when)
    {
        Settle();
        EXPECT_EQ(Mismatches(form->Handle()), 0) << when;
        TcxTreeListColumnHeaderViewInfo* header = l->GetColumn(0)->ViewInfo()->ColumnHeader();
        EXPECT_EQ(ListPixel(l, 90, 3), Rgb(header->ViewParams.Color)) << when;
        EXPECT_EQ(ListPixel(l, 170, 60), Rgb(content->Color())) << when;
        EXPECT_EQ(ListPixel(l, 250, 100), Rgb(background->Color())) << when;
    }

    TcxStyle* content = nullptr;
    TcxStyle* background = nullptr;
};

TEST_F(TreeListOnX11, TheServerShowsTheListAsPainted)
{
    TcxTreeList* l = MakeList();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    l->SetFocusedNode(nullptr);
    ExpectShownAsPainted(l, "first paint");

    l->SetTopVisibleIndex(3);
    ASSERT_TRUE(PumpUntil([&] { return l->GetTopVisibleIndex() == 3; }));
    ExpectShownAsPainted(l, "after a scroll");
    EXPECT_EQ(l->GetTopVisibleNode()->GetValue(0).AsString(), "N1");

    // The focused, selected row in the selection colour.
    l->SetFocusedNode(l->GetTopVisibleNode());
    l->FullRefresh();
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "with a selected row";
    TcxTreeListNodeViewInfo* row = nullptr;
    ASSERT_TRUE(l->TreeListViewInfo()->NodesViewInfo()->FindNodeViewInfo(l->GetTopVisibleNode(), row));
    ASSERT_TRUE(row->Selected);
    const RECT cell = row->GetCell(1)->DisplayRect;
    EXPECT_EQ(ListPixel(l, cell.right - 3, cell.top + 3), Rgb(l->ViewInfo()->SelectionParams().Color));

    // An editor open on that cell: the server shows it where the list put it.
    l->SetFocus();
    l->SetFocusedColumn(l->GetColumn(1));
    l->Controller()->EditingController()->ShowEdit(l->GetColumn(1));
    ASSERT_TRUE(PumpUntil([&] {
        TcxCustomEdit* edit = l->Controller()->EditingController()->Edit();
        return edit && edit->Visible();
    }));
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "with an editor";
    const RECT bounds = l->Controller()->EditingController()->Edit()->BoundsRect();
    EXPECT_TRUE(bounds.left >= cell.left && bounds.right <= cell.right && bounds.top >= cell.top &&
                bounds.bottom <= cell.bottom)
        << "the editor sits on the cell: " << bounds.left << "," << bounds.top << "," << bounds.right << ","
        << bounds.bottom;
    l->Controller()->EditingController()->HideEdit(false);
}

} // namespace
