// Hot tracking on the tree list: a cut cell's hint over the list and its
// five seconds, the hot row's cursor from the handler and its text colour,
// the cell that goes away while hot, and how far a drawn cursor reaches
// below its hot spot.
#include <vector>

#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class HotTrackTest : public TreeListLayoutTest {
protected:
    void TearDown() override
    {
        if (list) list->OnHotTrackNode = {};
        TreeListLayoutTest::TearDown();
    }
    TcxTreeListController* Controller() const { return static_cast<TcxTreeListController*>(list->Controller()); }
    TcxHotTrackController* Hot() const { return list->Controller()->HotTrackController(); }
    void Hover(int x, int y)
    {
        Screen().MoveMouse(At(list, x, y));
        Pump();
    }
    bool HintShown() const
    {
        HWND window = Hot()->HintWindow()->HandleAllocated() ? Hot()->HintWindow()->Handle() : nullptr;
        return Hot()->HintVisible() && window && IsWindowVisible(window);
    }
    std::uint32_t Rgb(TColor color) const
    {
        const COLORREF c = ColorToRGB(color);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    TcxTreeListEditCellViewInfo* Cell(TcxTreeListNode* node, int index)
    {
        TcxTreeListNodeViewInfo* row = nullptr;
        ViewInfo()->NodesViewInfo()->PostViewInfoUpdate();
        EXPECT_TRUE(ViewInfo()->NodesViewInfo()->FindNodeViewInfo(node, row));
        return row ? row->GetCell(index) : nullptr;
    }
};

TEST_F(HotTrackTest, ACutCellShowsItsWholeTextOverTheListForFiveSeconds)
{
    MakeT();
    list->OptionsBehavior()->SetCellHints(true);
    list->OptionsBehavior()->SetImmediateEditor(false);
    const std::string text = "a text far too long for its column";
    c0->SetText(0, text);
    Pump();
    Hover(50, 25);
    EXPECT_FALSE(HintShown()) << "N0 fits";
    Hover(50, 45);
    ASSERT_TRUE(HintShown()) << "at once";
    EXPECT_EQ(Hot()->Hint(), text);
    TcxTreeListEditCellViewInfo* cell = Cell(c0, 0);
    ASSERT_NE(cell, nullptr);
    const POINT origin = list->ClientToScreen(cell->GetOrigin());
    const RECT r = Hot()->HintRect();
    EXPECT_EQ(r.left, origin.x - 1);
    EXPECT_EQ(r.top, origin.y - 1);
    // Right of the cell's edge, where the text goes on.
    const POINT beyond = list->ClientToScreen(POINT{cell->ClipRect.right + 20, r.bottom - list->ClientOrigin().y - 2});
    ASSERT_LT(beyond.x, r.right - 1);
    const std::uint32_t hint = Rgb(Application->HintColor());
    EXPECT_EQ(Screen().ScreenPixel(beyond.x, beyond.y), hint);
    Advance(TcxHotTrackController::kHideHintWait);
    Pump();
    EXPECT_FALSE(HintShown()) << "gone after five seconds";
    EXPECT_NE(Screen().ScreenPixel(beyond.x, beyond.y), hint) << "the list's own pixels again";

    list->OptionsBehavior()->SetCellHints(false);
    Hover(50, 25);
    Hover(50, 45);
    EXPECT_FALSE(HintShown()) << "cell hints off";
}

TEST_F(HotTrackTest, TheHotRowTakesTheHandlersCursorAndTheHighlightTextColour)
{
    MakeT();
    list->OptionsBehavior()->SetHotTrack(true);
    std::vector<TcxTreeListNode*> asked;
    list->OnHotTrackNode = TcxTreeListOnHotTrackNodeEvent::FromFunction(
        [&](TObject*, TcxTreeListNode* node, TShiftState, TCursor& cursor) {
            asked.push_back(node);
            cursor = crHandPoint;
        });
    list->SetCursor(crCross);
    // N1's text in column A, in the list's text colour or the hot one.
    const auto ink = [&](TColor color) {
        int n = 0;
        for (int y = 74; y < 90; ++y)
            for (int x = 20; x < 100; ++x) n += Screen().ClientPixel(list->Handle(), x, y) == Rgb(color);
        return n;
    };
    const int plain = ink(clWindowText);
    ASSERT_GT(plain, 0);
    // The click opens an editor on N0; the pointer leaving it for N1 stays
    // over the list.
    ClickAt(list, 50, 25);
    ASSERT_TRUE(list->Controller()->IsEditing());
    Hover(50, 80);
    EXPECT_EQ(Controller()->HotTrackNode(), n1);
    EXPECT_TRUE(n1->HotTrack());
    EXPECT_EQ(list->Cursor(), crHandPoint);
    EXPECT_EQ(asked, (std::vector<TcxTreeListNode*>{n0, n1}));
    TcxViewParams params = list->Styles()->GetContentParams(n1, a);
    EXPECT_EQ(params.TextColor, clHighlightText) << "no hot-track style: the highlight text colour";
    if (Rgb(clHighlightText) != Rgb(clWindowText)) {
        EXPECT_EQ(ink(clWindowText), 0) << "the hot row's text is drawn in the highlight text colour";
    }
    Hover(50, 150);
    EXPECT_EQ(Controller()->HotTrackNode(), nullptr);
    EXPECT_EQ(list->Cursor(), crCross) << "the cursor from before comes back";
    EXPECT_EQ(ink(clWindowText), plain) << "cooled, the row is drawn as before";
    Hover(50, 45);
    n0->Delete();
    Pump();
    EXPECT_EQ(Controller()->HotTrackNode(), nullptr) << "a hot row that goes away is dropped";
}

TEST_F(HotTrackTest, ADrawnCursorReachesBelowItsHotSpotAsFarAsItsMaskDraws)
{
    MakeT();
    // 32 x 32 with the AND mask above the XOR mask; rows 0..19 drawn.
    std::vector<BYTE> bits(4 * 64, 0);
    for (int row = 0; row < 32; ++row)
        for (int b = 0; b < 4; ++b) bits[static_cast<std::size_t>(row * 4 + b)] = row < 20 ? 0x00 : 0xFF;
    HBITMAP mask = CreateBitmap(32, 64, 1, 1, bits.data());
    ICONINFO info{};
    info.fIcon = FALSE;
    info.xHotspot = 1;
    info.yHotspot = 2;
    info.hbmMask = mask;
    HCURSOR cursor = CreateIconIndirect(&info);
    DeleteObject(mask);
    ASSERT_NE(cursor, nullptr);
    HCURSOR previous = SetCursor(cursor);
    EXPECT_EQ(Hot()->CursorOffset(), 20 - 2);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(Hot()->CursorOffset(), GetSystemMetrics(SM_CYCURSOR)) << "a standard cursor has no bitmaps";
    SetCursor(previous);
    DestroyCursor(cursor);
}

} // namespace
