// Rows of the node area: where rows, cells, indents and buttons go, paging
// with a cut last row and a last page filled upward, scrolling by adding
// rows or rebuilding, making a node visible, tree-line flags and grid
// borders of indents, group rows; the cells' selection and button rules,
// grid-line sharing and the preview's height.
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class RowsTest : public TreeListLayoutTest {
protected:
    TcxTreeListNodesViewInfo* Rows() const { return ViewInfo()->NodesViewInfo(); }
    // The rows after the lazy positioning the painter triggers.
    TcxTreeListNodesViewInfo* Placed()
    {
        Pump();
        list->TreeListViewInfo()->Calculate();
        Rows()->PostViewInfoUpdate();
        return Rows();
    }
    TcxTreeListNodeViewInfo* Row(TcxTreeListNode* node)
    {
        TcxTreeListNodeViewInfo* row = nullptr;
        EXPECT_TRUE(Placed()->FindNodeViewInfo(node, row));
        return row;
    }
    // Ten visible nodes (N0, C0, C1, N1 and six more) in a node area of
    // the given height.
    void MakeTen(int area)
    {
        MakeT();
        list->BeginUpdate();
        for (int i = 0; i < 6; ++i) AddRow(nullptr, {"X" + std::to_string(i), "x"});
        list->SetBounds(0, 0, 300, 19 + area);
        list->EndUpdate();
        ASSERT_EQ(list->Nodes()->GetVisibleCount(), 10);
    }
    std::vector<int> RowIndexes()
    {
        std::vector<int> result;
        TcxTreeListNodesViewInfo* rows = Placed();
        for (int i = 0; i < rows->Count; ++i) result.push_back(rows->GetNodeViewInfo(i)->Node->VisibleIndex());
        return result;
    }
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

TEST_F(RowsTest, RowsCellsAndTheButtonOfFixtureT)
{
    MakeT();
    struct Case {
        TcxTreeListNode* node;
        int top, bottom;
    };
    const Case cases[] = {{n0, 19, 37}, {c0, 37, 55}, {c1, 55, 73}, {n1, 73, 91}};
    TcxTreeListNodesViewInfo* rows = Placed();
    ASSERT_EQ(rows->Count, 4);
    EXPECT_EQ(rows->VisibleCount, 4);
    for (int i = 0; i < 4; ++i) {
        TcxTreeListNodeViewInfo* row = rows->GetNodeViewInfo(i);
        EXPECT_EQ(row->Node, cases[i].node);
        EXPECT_EQ(row->ContentRect.top, cases[i].top) << i;
        EXPECT_EQ(row->ContentRect.bottom, cases[i].bottom) << i;
    }
    EXPECT_TRUE(SameRect(Row(n0)->GetCell(0)->DisplayRect, RECT{15, 19, 100, 37})) << Text(Row(n0)->GetCell(0)->DisplayRect);
    EXPECT_TRUE(SameRect(Row(c0)->GetCell(0)->DisplayRect, RECT{30, 37, 100, 55})) << Text(Row(c0)->GetCell(0)->DisplayRect);
    EXPECT_TRUE(SameRect(Row(n0)->GetCell(1)->DisplayRect, RECT{100, 19, 180, 37}));
    ASSERT_EQ(Row(n0)->GetIndentCount(), 1);
    EXPECT_TRUE(SameRect(Row(n0)->GetIndent(0)->GetButtonRect(), RECT{3, 23, 12, 32}))
        << Text(Row(n0)->GetIndent(0)->GetButtonRect());
    EXPECT_TRUE(Row(n0)->Expanded);
    EXPECT_FALSE(Row(n1)->Expanded);
    EXPECT_TRUE(Row(n1)->HasButton);
    EXPECT_FALSE(Row(c0)->HasButton);
    EXPECT_TRUE(SameRect(Row(c0)->GetIndent(1)->GetButtonRect(), RECT{-1, -1, -1, -1}));
    // The space below the last row is background.
    EXPECT_EQ(rows->SpaceArea.top, 91);
}

TEST_F(RowsTest, TenNodesInAHundredPixelsGiveSixRowsTheLastCut)
{
    MakeTen(100);
    TcxTreeListNodesViewInfo* rows = Placed();
    EXPECT_EQ(rows->Count, 6);
    EXPECT_EQ(rows->VisibleCount, 5);
    EXPECT_EQ(list->GetVisibleCount(), 5) << "the scroll page";
    EXPECT_EQ(rows->GetNodeViewInfo(5)->ContentRect.bottom, 19 + 6 * 18);
    EXPECT_GE(rows->Capacity(), 32) << "the pool grows in steps of 32";
}

TEST_F(RowsTest, TenNodesInTenRowsAllFit)
{
    MakeTen(181);
    TcxTreeListNodesViewInfo* rows = Placed();
    EXPECT_EQ(rows->Count, 10);
    EXPECT_EQ(rows->VisibleCount, 10);
    EXPECT_EQ(list->GetVisibleCount(), list->Nodes()->GetVisibleCount()) << "no vertical scrolling is offered";
}

TEST_F(RowsTest, TheLastPageFillsUpward)
{
    MakeTen(100);
    list->SetTopVisibleIndex(7);
    EXPECT_EQ(list->GetTopVisibleIndex(), 5);
    EXPECT_EQ(RowIndexes(), (std::vector<int>{5, 6, 7, 8, 9}));
    EXPECT_EQ(Placed()->VisibleCount, 5);
}

TEST_F(RowsTest, ScrollingUpAddsRowsScrollingDownRebuilds)
{
    MakeTen(100);
    list->SetTopVisibleIndex(3);
    ASSERT_EQ(RowIndexes(), (std::vector<int>{3, 4, 5, 6, 7, 8}));
    TcxTreeListNodeViewInfo* oldTop = Placed()->GetNodeViewInfo(0);
    list->SetTopVisibleIndex(2);
    EXPECT_EQ(Placed()->GetNodeViewInfo(1), oldTop) << "the old rows stay, one is added above";
    EXPECT_EQ(RowIndexes(), (std::vector<int>{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Placed()->GetNodeViewInfo(1)->ContentRect.top, 19 + 18);
    list->SetTopVisibleIndex(4);
    EXPECT_EQ(RowIndexes(), (std::vector<int>{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Placed()->GetNodeViewInfo(0)->ContentRect.top, 19);
    EXPECT_EQ(list->Nodes()->TopIndex(), 4);
}

TEST_F(RowsTest, MakingANodeVisibleBelowTheWholeRows)
{
    MakeTen(100);
    int five = 5;
    TcxTreeListNode* fifth = list->Nodes()->GetVisibleNode(five);
    list->MakeNodeVisible(fifth);
    EXPECT_EQ(list->GetTopVisibleIndex(), 1) << "just below the last whole row: one row down";
    int nine = 9;
    list->MakeNodeVisible(list->Nodes()->GetVisibleNode(nine));
    EXPECT_EQ(list->GetTopVisibleIndex(), 5) << "further down: the node is the last whole row";
    std::vector<int> indexes = RowIndexes();
    EXPECT_EQ(indexes[static_cast<std::size_t>(Placed()->VisibleCount - 1)], 9);
    list->MakeNodeVisible(n0);
    EXPECT_EQ(list->GetTopVisibleIndex(), 0) << "above: the node becomes the first row";
}

TEST_F(RowsTest, ALevelTwoRowWithRootAndImagesHasFourIndents)
{
    MakeT();
    auto* images = CreateObject<TImageList>(form);
    images->SetSize(16, 16);
    list->SetImages(images);
    TcxTreeListNode* e0 = AddRow(c0, {"E0", "e0"});
    c0->SetExpanded(true);
    TcxTreeListNodeViewInfo* row = Row(e0);
    ASSERT_NE(row, nullptr);
    const int w = list->LevelIndentWidth();
    ASSERT_EQ(w, 19);
    ASSERT_EQ(row->GetIndentCount(), 4);
    EXPECT_EQ(row->IndentLeft, row->GetGroup(0)->BandViewInfo->DisplayRect.left + 4 * w);
    EXPECT_EQ(row->GetCell(0)->DisplayRect.left, 4 * w);
    EXPECT_FALSE(row->GetIndent(3)->IsLevel) << "the image indent is the rightmost";
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(row->GetIndent(i)->IsLevel) << i;
    EXPECT_EQ(row->GetIndent(2)->Node, e0);
    EXPECT_EQ(row->GetIndent(0)->Node, n0);
}

TEST_F(RowsTest, TreeLineFlags)
{
    MakeT();
    n1->SetExpanded(true);
    struct Case {
        TcxTreeListNode* node;
        int indent;
        int lines;
    };
    const Case cases[] = {
        {n0, 0, tlifRight | tlifDown},          // the first node: no line above its button
        {c0, 0, tlifUp | tlifDown},             // N0 continues below
        {c1, 1, tlifUp | tlifRight},            // the last child: no line below
        {n1, 0, tlifUp | tlifRight},
        {d0, 0, 0},                             // N1 has no next sibling: no line passes
    };
    for (const Case& c : cases) EXPECT_EQ(Row(c.node)->GetIndent(c.indent)->Lines, c.lines);
    const RECT vert = Row(c1)->GetIndent(1)->VertLineRect;
    EXPECT_EQ(vert.top, 55);
    EXPECT_LT(vert.bottom, 73) << "the line ends at the row's middle";
    list->OptionsView()->SetTreeLineStyle(tllsNone);
    EXPECT_EQ(Row(c0)->GetIndent(0)->Lines, 0);
}

TEST_F(RowsTest, IndentsGetGridBottomBordersWhereTheNextRowDoesNotContinue)
{
    MakeT();
    list->OptionsView()->SetGridLines(tlglHorz);
    EXPECT_FALSE(Row(n0)->GetIndent(0)->Borders.Contains(bBottom)) << "C0 continues N0's indent";
    EXPECT_FALSE(Row(c1)->GetIndent(0)->Borders.Contains(bBottom));
    EXPECT_TRUE(Row(c1)->GetIndent(1)->Borders.Contains(bBottom)) << "N1 has one indent only";
    EXPECT_TRUE(Row(n1)->GetIndent(0)->Borders.Contains(bBottom)) << "the last row";
    list->OptionsView()->SetGridLines(tlglNone);
    EXPECT_FALSE(Row(n1)->GetIndent(0)->Borders.Contains(bBottom));
}

TEST_F(RowsTest, AGroupRowShowsOneCellAcrossTheRow)
{
    MakeT();
    list->OptionsView()->SetCategorizedColumn(a);
    list->OptionsView()->SetPaintStyle(tlpsCategorized);
    TcxTreeListNodeViewInfo* group = Row(n0);
    EXPECT_TRUE(group->IsGroup);
    EXPECT_FALSE(Row(c0)->IsGroup);
    const RECT cell = group->GroupNodeEdit()->DisplayRect;
    EXPECT_EQ(cell.left, group->IndentLeft);
    EXPECT_EQ(cell.right, 180);
    EXPECT_EQ(cell.top, 19);
    EXPECT_EQ(cell.bottom, 37);
}

TEST_F(RowsTest, AutoHeightRowsFollowTheirTallestCell)
{
    MakeT();
    list->OptionsView()->SetCellAutoHeight(true);
    const int plain = Row(n0)->CellsMaxHeight;
    EXPECT_GE(plain, ViewInfo()->DefaultEditHeight()) << "at least the default edit height, not the row height";
    EXPECT_EQ(Row(n0)->CellsMaxHeightCount, 2) << "both cells at that height";
    c0->SetText(1, "one\ntwo\nthree");
    list->LayoutChanged();
    TcxTreeListNodeViewInfo* tall = Row(c0);
    const int three = tall->GetCell(1)->Height();
    EXPECT_GE(three, plain + 2 * 13);
    EXPECT_EQ(tall->CellsMaxHeight, three);
    EXPECT_EQ(tall->CellsMaxHeightCount, 1);
    EXPECT_EQ(tall->GetCell(0)->DisplayRect.bottom - tall->GetCell(0)->DisplayRect.top, three) << "the row's cells span it";
    EXPECT_EQ(Row(c1)->ContentRect.top, tall->ContentRect.bottom) << "the next row moves down";
    EXPECT_TRUE(tall->GetCell(1)->ChangedHeight(three, plain)) << "shrinking asks for a new layout";
    c0->SetText(1, "c0");
    list->LayoutChanged();
    EXPECT_EQ(Row(c0)->CellsMaxHeight, plain);
}

// ---- cells ----------------------------------------------------------------------------------

TEST_F(RowsTest, SelectionOfCells)
{
    MakeT();
    struct Case {
        bool cellSelect, invertSelect;
        bool selectedA, selectedB;  // A is the focused column
    };
    const Case cases[] = {
        {false, false, false, false},
        {false, true, true, true},
        {true, false, true, false},
        {true, true, false, true},
    };
    list->SetFocus();
    Pump();
    list->SetFocusedColumn(a);
    list->SetFocusedNode(c0);
    c0->SetSelected(true);
    n1->SetSelected(true);
    for (const Case& c : cases) {
        list->OptionsSelection()->SetCellSelect(c.cellSelect);
        list->OptionsSelection()->SetInvertSelect(c.invertSelect);
        list->OptionsSelection()->SetMultiSelect(true);
        c0->SetSelected(true);
        TcxTreeListNodeViewInfo* row = Row(c0);
        ASSERT_TRUE(row->Focused);
        EXPECT_EQ(row->GetCell(0)->GetSelected(), c.selectedA) << c.cellSelect << c.invertSelect;
        EXPECT_EQ(row->GetCell(1)->GetSelected(), c.selectedB) << c.cellSelect << c.invertSelect;
    }
    TcxTreeListNodeViewInfo* other = Row(n1);
    EXPECT_EQ(other->GetCell(0)->GetSelected(), other->Selected) << "a row without focus: its selection";
    EXPECT_FALSE(Row(n0)->GetCell(0)->GetSelected());
}

TEST_F(RowsTest, EditButtonsOnTheFocusedRowOnly)
{
    MakeT();
    list->OptionsView()->SetShowEditButtons(ecsbFocused);
    list->SetFocusedNode(c0);
    EXPECT_EQ(Row(c0)->GetCell(1)->GetButtonTransparency(), ebtNone);
    EXPECT_EQ(Row(n0)->GetCell(1)->GetButtonTransparency(), ebtHideInactive);
    b->Options()->SetShowEditButtons(eisbAlways);
    EXPECT_EQ(Row(n0)->GetCell(1)->GetButtonTransparency(), ebtNone);
    b->Options()->SetShowEditButtons(eisbNever);
    EXPECT_EQ(Row(c0)->GetCell(1)->GetButtonTransparency(), ebtHideInactive);
}

TEST_F(RowsTest, CellsShareGridPixels)
{
    MakeT();
    list->OptionsView()->SetGridLines(tlglBoth);
    TcxTreeListEditCellViewInfo* second = Row(n0)->GetCell(1);
    EXPECT_EQ(second->DisplayRect.left, b->ViewInfo()->XOfs - 1) << "one pixel left of its XOfs";
    EXPECT_TRUE(second->Borders.Contains(bLeft));
    EXPECT_FALSE(second->Borders.Contains(bTop)) << "a first-line cell has no top border";
    list->OptionsView()->SetGridLines(tlglVert);
    EXPECT_EQ(Row(n0)->GetCell(1)->DisplayRect.left, b->ViewInfo()->XOfs - 1);
    list->OptionsView()->SetGridLines(tlglNone);
    EXPECT_EQ(Row(n0)->GetCell(1)->DisplayRect.left, b->ViewInfo()->XOfs);
}

TEST_F(RowsTest, PreviewHeights)
{
    MakeT();
    list->Preview()->SetColumn(b);
    list->Preview()->SetVisible(true);
    TcxTreeListNodeViewInfo* row = Row(n0);
    ASSERT_TRUE(row->HasPreview);
    TcxTreeListNodePreviewViewInfo* preview = row->Preview();
    EXPECT_EQ(row->GetRealHeight(), 18 + preview->PreviewHeight);
    EXPECT_EQ(row->CellsOffset, row->Top) << "the preview is below the cells by default";

    // Cut to whole lines of the line height plus the offsets.
    list->Preview()->SetMaxLineCount(3);
    ViewInfo()->PreviewLineHeight = 13;
    preview->PreviewHeight = 80;
    EXPECT_EQ(preview->CheckPreviewHeight(2), 45);
    preview->PreviewHeight = 30;
    EXPECT_EQ(preview->CheckPreviewHeight(2), 30);
    // Without a line count or a line height the measured height stays.
    list->Preview()->SetMaxLineCount(0);
    ViewInfo()->PreviewLineHeight = 0;
    preview->PreviewHeight = 50;
    EXPECT_EQ(preview->CheckPreviewHeight(2), 50);
    ViewInfo()->PreviewLineHeight = 13;
    EXPECT_EQ(preview->CheckPreviewHeight(2), std::min(50, 4 * 15));

    list->OnGetNodePreviewHeight = TcxTreeListGetNodePreviewHeightEvent::FromFunction(
        [](TObject*, TcxTreeListNode*, const Variant&, int& height) { height = 0; });
    list->LayoutChanged();
    row = Row(n0);
    EXPECT_FALSE(row->HasPreview) << "a handler answering 0 hides the preview";
    EXPECT_EQ(row->GetRealHeight(), 18);
    list->OnGetNodePreviewHeight = {};
}

TEST_F(RowsTest, TheFocusRectAndIndicatorKinds)
{
    MakeT();
    list->SetFocusedNode(c0);
    TcxTreeListNodeViewInfo* row = Row(c0);
    const RECT focus = row->GetFocusRect();
    EXPECT_EQ(focus.left, row->CellsArea.left);
    EXPECT_EQ(focus.top, 37);
    EXPECT_EQ(focus.bottom, 55);
    EXPECT_TRUE(SameRect(Row(n0)->GetFocusRect(), RECT{-1, -1, -1, -1}));
    EXPECT_EQ(row->GetNodeIndicatorKind(), ikArrow);
    EXPECT_EQ(Row(n0)->GetNodeIndicatorKind(), ikNone);
}


// The top row goes, with its children, inside an update bracket while a row
// below it is focused: closing the bracket brings the focused place into
// view from a layout that must not reach the freed rows.
TEST_F(RowsTest, RowsDeletedFromTheTopInsideAnUpdateLeaveTheLayoutSound)
{
    MakeTen(100);
    TcxTreeListNode* x2 = n1->getNextSibling()->getNextSibling()->getNextSibling();
    n1->SetFocused(true);
    Pump();
    ASSERT_EQ(Rows()->TopNode, n0);
    list->BeginUpdate();
    n0->Delete();
    list->EndUpdate();
    Pump();
    EXPECT_EQ(list->FocusedNode(), x2) << "the focus keeps its visible index";
    EXPECT_EQ(RowIndexes(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Placed()->GetNodeViewInfo(0)->Node, n1);
}

} // namespace
