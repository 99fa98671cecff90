// The lookup grid on the headless display: popup heights, sorting by
// header clicks, keys, the top row, auto-scroll while a pressed row is
// dragged past the edge, closing on release, and its layout and painting
// (headers, empty areas, grid lines, colours of the focused row) as the
// screen shows them, also open below a lookup editor.
#include "tests/components/editor-catalogue/lookup_fixture.h"

#include "components/foundation/cxGeometry.h"
#include "platform/windows/winuser.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace lookuptest;

namespace {

struct LookupGridTest : LookupTest {
    int HeaderHeight(TcxLookupGrid* g) { return cxRectHeight(g->ViewInfo()->HeadersRect); }
    int RowHeight(TcxLookupGrid* g) { return g->ViewInfo()->GetRowHeight(); }
    std::uint32_t ScreenRgb(TcxLookupGrid* g, int x, int y)
    {
        const POINT p = g->ClientToScreen(POINT{x, y});
        return Screen().ScreenPixel(p.x, p.y);
    }
    POINT CellCentre(TcxLookupGrid* g, int row, int column)
    {
        const RECT r = g->ViewInfo()->Rows.FindByRowIndex(row)->Items(column)->Bounds;
        return g->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
};

TEST_F(LookupGridTest, PopupHeightsSnapToWholeRows)
{
    TcxLookupGrid* grid = NewGrid({"name"}, Numbered(10));
    const int h = HeaderHeight(grid);
    const int r = RowHeight(grid);
    ASSERT_GT(h, 0);
    ASSERT_GT(r, 0);
    struct Case {
        int asked;
        int rows;
    };
    for (const Case c : {Case{h + r / 2, 1}, Case{0, 1}, Case{h + 3 * r + r / 2, 3}, Case{h + 6 * r, 6},
                         Case{h + 50 * r, 10}})
        EXPECT_EQ(grid->GetNearestPopupHeight(c.asked), h + c.rows * r) << "asked " << c.asked;
    EXPECT_EQ(grid->GetPopupHeight(3), h + 3 * r);
    EXPECT_EQ(grid->GetPopupHeight(0), h);
}

TEST_F(LookupGridTest, NoRowHeightGivesTheHeaderHeight)
{
    TcxLookupGrid* grid = NewGrid({}, {});
    grid->Options()->SetGridLines(glNone);
    EXPECT_EQ(grid->GetNearestPopupHeight(100), 0);
}

TEST_F(LookupGridTest, HeaderClicksSort)
{
    TcxLookupGrid* grid = NewGrid({"a", "b"}, {{"2", "x"}, {"1", "y"}, {"3", "z"}});
    TcxLookupGridColumn* a = grid->Columns()->Items(0);
    TcxLookupGridColumn* b = grid->Columns()->Items(1);
    struct Case {
        int column;
        TShiftState shift;
        TcxDataSortOrder a, b;
    };
    for (const Case& c : {Case{0, {}, soAscending, soNone}, Case{0, {}, soDescending, soNone},
                          Case{1, {ssShift}, soDescending, soAscending}, Case{1, {}, soNone, soDescending},
                          Case{0, {ssShift}, soAscending, soDescending}, Case{1, {ssCtrl}, soAscending, soNone}}) {
        grid->DoHeaderClick(c.column, c.shift);
        EXPECT_EQ(a->SortOrder(), c.a) << "click " << c.column;
        EXPECT_EQ(b->SortOrder(), c.b) << "click " << c.column;
    }
    // A click on the screen sorts as well; rows follow.
    grid->DoHeaderClick(0, {ssCtrl});
    const RECT header = grid->ViewInfo()->Columns.Items(0)->Bounds;
    Screen().Click(grid->ClientToScreen(POINT{header.left + 5, header.top + 3}));
    Pump();
    EXPECT_EQ(a->SortOrder(), soAscending);
    EXPECT_EQ(grid->DataController()->GetDisplayText(grid->DataController()->GetRowInfo(0).RecordIndex, 0), "1");
}

TEST_F(LookupGridTest, KeysWithRowSelect)
{
    TcxLookupGrid* grid = NewGrid({"a", "b"}, Numbered(20));
    grid->SetFocus();
    grid->SetFocusedRowIndex(5);
    Pump();
    struct Case {
        int key;
        int row;
    };
    for (const Case c : {Case{VK_LEFT, 5}, Case{VK_RIGHT, 5}, Case{VK_DOWN, 6}, Case{VK_UP, 5}, Case{VK_END, 19},
                         Case{VK_HOME, 0}}) {
        Key(c.key);
        Pump();
        EXPECT_EQ(grid->FocusedRowIndex(), c.row) << "key " << c.key;
        EXPECT_EQ(grid->FocusedColumnIndex(), -1) << "rows are whole";
    }
    grid->Options()->SetRowSelect(false);
    Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(grid->FocusedColumnIndex(), 0);
    Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(grid->FocusedColumnIndex(), 1);
}

TEST_F(LookupGridTest, TopRowPastTheEndFillsTheGrid)
{
    TcxLookupGrid* grid = NewGrid({"a"}, Numbered(30));
    const int visible = grid->ViewInfo()->FullyVisibleRowCount;
    ASSERT_GT(visible, 2);
    ASSERT_LT(visible, 30);
    for (const int asked : {1000, 29, 30 - visible + 1}) {
        grid->SetTopRowIndex(asked);
        EXPECT_EQ(grid->TopRowIndex(), 30 - visible) << "asked " << asked;
    }
    grid->SetTopRowIndex(-4);
    EXPECT_EQ(grid->TopRowIndex(), 0);
}

TEST_F(LookupGridTest, DraggingAPressedRowPastTheEdgeScrolls)
{
    TcxLookupGrid* grid = NewGrid({"a"}, Numbered(40), 200, 150);
    const int visible = grid->ViewInfo()->FullyVisibleRowCount;
    Screen().ButtonDown(CellCentre(grid, 1, 0));
    Pump();
    EXPECT_EQ(grid->FocusedRowIndex(), 1);
    const POINT below = grid->ClientToScreen(POINT{20, grid->ClientHeight() - 1});
    Screen().MoveMouse(POINT{below.x, below.y + 30});
    Pump();
    EXPECT_EQ(grid->ScrollMode(), smBottom);
    Advance(50);
    Pump();
    EXPECT_EQ(grid->FocusedRowIndex(), visible + 1) << "two rows past the last fully visible one";
    const int top = grid->TopRowIndex();
    ASSERT_GT(top, 0);
    const POINT above = grid->ClientToScreen(POINT{20, 0});
    Screen().MoveMouse(POINT{above.x, above.y - 30});
    Pump();
    EXPECT_EQ(grid->ScrollMode(), smTop);
    Advance(50);
    Pump();
    EXPECT_EQ(grid->FocusedRowIndex(), top - 1) << "one row above the top";
    Screen().ButtonUp(POINT{above.x, above.y - 30});
    Pump();
    EXPECT_EQ(grid->ScrollMode(), smNone);
}

TEST_F(LookupGridTest, ReleaseClosesWithAcceptOnlyOverACell)
{
    TcxLookupGrid* grid = NewGrid({"a"}, Numbered(5));
    std::vector<bool> closes;
    grid->OnCloseUp = TcxLookupGridCloseUpEvent::FromFunction([&](TObject*, bool accept) { closes.push_back(accept); });
    Screen().Click(CellCentre(grid, 2, 0));
    Pump();
    Screen().ButtonDown(CellCentre(grid, 1, 0));
    Pump();
    const POINT header = grid->ClientToScreen(POINT{20, 3});
    Screen().ButtonUp(header);
    Pump();
    EXPECT_EQ(closes, (std::vector<bool>{true, false}));
    Screen().Click(header);
    Pump();
    EXPECT_EQ(closes.size(), 2u) << "a header click closes nothing";
}

// ---- layout and painting --------------------------------------------------------------------

TEST_F(LookupGridTest, WithoutHeaderRowsStartAtTheTop)
{
    TcxLookupGrid* grid = NewGrid({"a"}, Numbered(3));
    grid->Options()->SetShowHeader(false);
    Pump();
    EXPECT_EQ(HeaderHeight(grid), 0);
    EXPECT_EQ(grid->ViewInfo()->Rows.Items(0)->Bounds.top, grid->GetClientBounds().top);
}

TEST_F(LookupGridTest, NarrowColumnsLeaveAnEmptyAreaInTheGridColour)
{
    TcxLookupGrid* grid = NewGrid({"a"}, Numbered(3));
    grid->Columns()->Items(0)->SetWidth(60);
    grid->Columns()->Items(0)->SetFixed(true);
    grid->SetColor(clYellow);
    Pump();
    EXPECT_EQ(grid->ViewInfo()->HeadersRect.right, grid->GetClientBounds().left + 60);
    EXPECT_FALSE(cxRectIsEmpty(grid->ViewInfo()->EmptyRectRight));
    EXPECT_EQ(ScreenRgb(grid, 150, 5), Rgb(clYellow)) << "right of the header";
    EXPECT_EQ(ScreenRgb(grid, 150, grid->ClientHeight() - 5), Rgb(clYellow)) << "below the rows";
}

TEST_F(LookupGridTest, GridLinesArePaintedInButtonFace)
{
    quelvo::gfx::test::SetDistinctSysColors();
    const std::uint32_t face = Rgb(clBtnFace);
    struct Case {
        TcxGridLines lines;
        bool between, under, rightOfLast;
    };
    for (const Case c : {Case{glBoth, true, true, true}, Case{glNone, false, false, false},
                         Case{glVertical, true, false, true}, Case{glHorizontal, false, true, true}}) {
        TcxLookupGrid* grid = NewGrid({"a", "b"}, Numbered(3));
        grid->Options()->SetGridLines(c.lines);
        Pump();
        const TcxLookupGridRowViewInfo* row = grid->ViewInfo()->Rows.Items(0);
        const RECT first = row->Items(0)->Bounds;
        const RECT last = row->Items(1)->Bounds;
        const int midY = (first.top + first.bottom) / 2;
        EXPECT_EQ(ScreenRgb(grid, first.right - 1, midY) == face, c.between) << "lines " << c.lines;
        EXPECT_EQ(ScreenRgb(grid, first.left + 3, row->Bounds.bottom - 1) == face, c.under) << "lines " << c.lines;
        EXPECT_EQ(ScreenRgb(grid, last.right - 1, midY) == face, c.rightOfLast) << "lines " << c.lines;
        grid->Free();
    }
}

TEST_F(LookupGridTest, ARowTallerThanTheClientCountsAsFullyVisible)
{
    TcxLookupGrid* grid = NewGrid({"a"}, Numbered(4), 200, 30);
    grid->Options()->SetShowHeader(false);
    UseFixedFace(grid->Font());
    grid->Font()->SetHeight(-40);
    Pump();
    EXPECT_GT(grid->ViewInfo()->GetRowHeight(), grid->ClientHeight());
    EXPECT_EQ(grid->ViewInfo()->FullyVisibleRowCount, 1);
}

TEST_F(LookupGridTest, FocusedCellKeepsContentColoursWithoutRowSelect)
{
    TcxLookupGrid* grid = NewGrid({"a", "b", "c"}, Numbered(3));
    grid->Options()->SetRowSelect(false);
    grid->SetFocusedRowIndex(1);
    grid->SyncSelected(true);
    grid->SetFocusedColumnIndex(1);
    Pump();
    const TcxLookupGridRowViewInfo* row = grid->ViewInfo()->Rows.FindByRowIndex(1);
    const TColor selected = grid->ViewInfo()->GetSelectedColor();
    EXPECT_EQ(row->Items(0)->EditViewInfo->BackgroundColor(), selected);
    EXPECT_EQ(row->Items(1)->EditViewInfo->BackgroundColor(), grid->Color()) << "the focused cell";
    EXPECT_EQ(row->Items(2)->EditViewInfo->BackgroundColor(), selected);
    const RECT cell = row->Items(1)->ContentBounds;
    EXPECT_EQ(ScreenRgb(grid, cell.right - 4, cell.top + 2), Rgb(grid->Color()));
    const RECT other = row->Items(2)->ContentBounds;
    EXPECT_EQ(ScreenRgb(grid, other.right - 4, other.top + 2), Rgb(selected));
}

TEST_F(LookupGridTest, OpenGridBelowTheEditorShowsHeaderLinesAndTheFocusedRow)
{
    quelvo::gfx::test::SetDistinctSysColors();
    TTestLookupEdit* edit = NewEdit({"alpha", "beta", "gamma", "delta"});
    TcxLookupGrid* grid = edit->Props()->Grid();
    grid->Columns()->Items(0)->SetCaption("Name");
    edit->SetEditValue(Variant(2));
    edit->SetFocus();
    Pump();
    edit->DropDown();
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    ASSERT_TRUE(grid->HandleAllocated());
    const POINT gridTop = grid->ClientToScreen(POINT{0, 0});
    const POINT editBottom = edit->ClientToScreen(POINT{0, edit->Height()});
    EXPECT_GE(gridTop.y, editBottom.y) << "below the editor";
    EXPECT_EQ(grid->FocusedRowIndex(), 2) << "the current value is focused";
    const RECT header = grid->ViewInfo()->Columns.Items(0)->Bounds;
    EXPECT_GT(cxRectHeight(header), 0);
    EXPECT_EQ(ScreenRgb(grid, header.right - 6, header.top + 2), Rgb(grid->ViewInfo()->GetHeaderColor()));
    const TcxLookupGridRowViewInfo* row = grid->ViewInfo()->Rows.FindByRowIndex(2);
    EXPECT_EQ(ScreenRgb(grid, row->Bounds.left + 3, row->Bounds.bottom - 1), Rgb(clBtnFace)) << "line under the row";
    const RECT content = row->Items(0)->ContentBounds;
    EXPECT_EQ(ScreenRgb(grid, content.right - 6, content.top + 2), Rgb(grid->ViewInfo()->GetSelectedColor()));
    const RECT plain = grid->ViewInfo()->Rows.FindByRowIndex(0)->Items(0)->ContentBounds;
    EXPECT_EQ(ScreenRgb(grid, plain.right - 6, plain.top + 2), Rgb(grid->Color()));
    // A click on a row takes its record.
    Screen().Click(CellCentre(grid, 3, 0));
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->EditValue().AsInteger(), 3);
    EXPECT_EQ(edit->Text(), "delta");
}

}  // namespace
