// What the tree list's hit test finds under points of the layout fixture:
// the codes, band, column, node and hit item; sizing edges and their
// cursors, images and the empty indent, the header area without headers,
// footer cells, and the result kept after a double click.
#include <set>

#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

using Codes = std::set<int>;

class HitTestTest : public TreeListLayoutTest {
protected:
    TcxTreeListHitTest* HitTest() const
    {
        return static_cast<TcxTreeListHitTest*>(list->Controller()->HitTestController());
    }
    Codes Hit(int x, int y)
    {
        HitTest()->ReCalculate(POINT{x, y});
        return CodesNow();
    }
    Codes CodesNow() const
    {
        Codes codes;
        for (int bit = 1; bit < 64; ++bit)
            if (HitTest()->GetState(bit)) codes.insert(bit);
        return codes;
    }
    TcxTreeListNodeViewInfo* Row(TcxTreeListNode* node)
    {
        TcxTreeListNodeViewInfo* row = nullptr;
        ViewInfo()->NodesViewInfo()->PostViewInfoUpdate();
        EXPECT_TRUE(ViewInfo()->NodesViewInfo()->FindNodeViewInfo(node, row));
        return row;
    }
};

std::string Text(const Codes& codes)
{
    std::string s;
    for (int c : codes) s += std::to_string(c) + " ";
    return s;
}

TEST_F(HitTestTest, PointsOfFixtureT)
{
    MakeT();
    list->OptionsCustomizing()->SetRowSizing(false);
    struct Case {
        int x, y;
        Codes codes;
        TcxTreeListColumn* column;
        TcxTreeListNode* node;
    };
    const Case cases[] = {
        {50, 5, {4, 8, 9}, a, nullptr},
        {98, 5, {4, 8, 9, 16}, a, nullptr},
        {101, 5, {4, 8, 9, 16}, a, nullptr},  // just right of A's edge still sizes A
        {150, 5, {4, 8, 9}, b, nullptr},
        {182, 5, {4, 8, 9, 16}, b, nullptr},
        {183, 5, {}, nullptr, nullptr},
        {50, 17, {4, 8, 9, 17}, a, nullptr},
        {50, 19, {4, 8, 13}, a, n0},  // the row's first pixel line is the row's
        {50, 25, {4, 8, 13}, a, n0},
        {5, 25, {7, 13, 21}, nullptr, n0},
        {5, 36, {13, 21}, nullptr, n0},
        {20, 45, {13, 21}, nullptr, c0},
        {50, 45, {4, 8, 13}, a, c0},
        {120, 80, {4, 8, 13}, b, n1},
        {190, 25, {}, nullptr, nullptr},
        {50, 150, {}, nullptr, nullptr},
        {-3, 25, {}, nullptr, nullptr},
        {50, 205, {}, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const Codes codes = Hit(c.x, c.y);
        const std::string where = "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
        EXPECT_EQ(codes, c.codes) << where << " gave " << Text(codes);
        EXPECT_EQ(HitTest()->HitColumn(), c.column) << where;
        EXPECT_EQ(HitTest()->HitNode(), c.node) << where;
        EXPECT_EQ(HitTest()->HitBand() != nullptr, codes.count(tlhcBand) == 1) << where;
    }
    Hit(50, 25);
    EXPECT_EQ(HitTest()->HitTestItem(), Row(n0)->GetCell(0)) << "a cell is the hit item";
    Hit(50, 5);
    EXPECT_EQ(HitTest()->HitTestItem(), a->ViewInfo()->ColumnHeader());
    Hit(101, 5);
    EXPECT_EQ(HitTest()->HitTestItem(), a->ViewInfo()->ColumnHeader()) << "the sized header, though the point is past it";

    list->OptionsCustomizing()->SetRowSizing(true);
    EXPECT_EQ(Hit(5, 36), (Codes{13, 17, 21}));
    EXPECT_EQ(HitTest()->SizingNode(), n0);
    EXPECT_EQ(Hit(50, 39), (Codes{4, 8, 13})) << "a cell hit never sizes";
    EXPECT_EQ(Hit(20, 39), (Codes{13, 17, 21})) << "the top of a row sizes the row above";
    EXPECT_EQ(HitTest()->HitNode(), c0);
    EXPECT_EQ(HitTest()->SizingNode(), n0);
}

TEST_F(HitTestTest, OutsideTheClientOnlyTheMouseFlagIsSet)
{
    MakeT();
    TcxTreeListHitTest* hitTest = HitTest();
    Hit(50, 25);
    hitTest->RecalculateOnMouseEvent(400, 25, TShiftState{});
    EXPECT_EQ(hitTest->HitState(), 0u) << "no code, and the flag is gone after the event";
    EXPECT_EQ(hitTest->HitTestItem(), nullptr);
    EXPECT_EQ(hitTest->HitNode(), nullptr);
    EXPECT_EQ(hitTest->HitBand(), nullptr);
}

TEST_F(HitTestTest, AnImageIsNoIndentAndTheHeaderAreaWithoutHeadersBelongsToTheRows)
{
    MakeT();
    auto* images = CreateObject<TImageList>(form);
    images->SetSize(16, 16);
    list->SetImages(images);
    Pump();
    TcxTreeListNodeViewInfo* row = Row(n0);
    ASSERT_GE(row->GetIndentCount(), 2);
    TcxTreeListIndentViewInfo* image = row->GetIndent(row->GetIndentCount() - 1);
    ASSERT_FALSE(image->IsLevel);
    const RECT r = image->ClipRect;
    EXPECT_EQ(Hit((r.left + r.right) / 2, (r.top + r.bottom) / 2), (Codes{13, 18}));
    EXPECT_TRUE(HitTest()->HitAtImages());
    list->SetImages(nullptr);

    list->OptionsView()->SetHeaders(false);
    Pump();
    EXPECT_EQ(Hit(50, 0), (Codes{4, 8, 13}));
    EXPECT_EQ(HitTest()->HitNode(), n0);

    list->OptionsView()->SetHeaders(true);
    list->OptionsView()->SetFooter(true);
    Pump();
    TcxTreeListFooterItemViewInfo* footer = a->ViewInfo()->ColumnFooter();
    ASSERT_TRUE(footer->Visible);
    const RECT f = footer->ClipRect;
    EXPECT_EQ(Hit((f.left + f.right) / 2, (f.top + f.bottom) / 2), (Codes{4, 8, 11}));
    EXPECT_EQ(HitTest()->HitColumn(), a);
}

TEST_F(HitTestTest, FourRecalculationsAfterADoubleClickKeepTheResult)
{
    MakeT();
    Hit(50, 25);
    HitTest()->SetSkipCount(1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Hit(150, 5), (Codes{4, 8, 13})) << i;
        EXPECT_EQ(HitTest()->HitNode(), n0) << i;
    }
    EXPECT_EQ(Hit(150, 5), (Codes{4, 8, 9})) << "the fifth recalculates";
    EXPECT_EQ(HitTest()->HitColumn(), b);
}

TEST_F(HitTestTest, SizingEdgesShowTheLibrarysCursors)
{
    MakeT();
    list->OptionsCustomizing()->SetRowSizing(true);
    struct Case {
        int x, y;
        TCursor cursor;
    };
    const Case cases[] = {
        {99, 5, cxcrHorzSize}, {50, 17, cxcrVertSize}, {50, 36, cxcrVertSize}, {5, 36, cxcrVertSize},
        {50, 5, crDefault},    {50, 25, crDefault},
    };
    for (const Case& c : cases) {
        Hit(c.x, c.y);
        EXPECT_EQ(HitTest()->GetCurrentCursor(), c.cursor) << c.x << "," << c.y;
    }
    list->OptionsCustomizing()->SetColumnHorzSizing(false);
    Hit(99, 5);
    EXPECT_EQ(HitTest()->GetCurrentCursor(), crDefault) << "a column that cannot be sized";
    EXPECT_FALSE(HitTest()->GetState(tlhcHorzSizing));
}

} // namespace
