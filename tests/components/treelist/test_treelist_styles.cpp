// Tree-list styles: the painter's defaults, row parity, the band-column
// override order, the content event, footers of banded columns, indents,
// copying the slots, and the style sheet kind.
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class StylesTest : public TreeListLayoutTest {
protected:
    TcxStyle* NewStyle(TColor color = clDefault, TColor textColor = clDefault)
    {
        auto* style = CreateObject<TcxStyle>(form);
        if (color != clDefault) style->SetColor(color);
        if (textColor != clDefault) style->SetTextColor(textColor);
        return style;
    }
    TcxTreeListStyles* Styles() const { return list->Styles(); }
    TcxViewParams Content(TcxTreeListNode* node, TcxTreeListColumn* column = nullptr)
    {
        return Styles()->GetContentParams(node, column ? column : a);
    }
};

TEST_F(StylesTest, WithoutStylesEvenAndOddRowsTakeThePaintersContentColoursAndTheFont)
{
    MakeT();
    TcxCustomLookAndFeelPainterClass painter = TestLayoutPainter::Class();
    ASSERT_EQ(n0->VisibleIndex(), 0);
    ASSERT_EQ(c0->VisibleIndex(), 1);
    for (TcxTreeListNode* node : {n0, c0, d0}) {
        SCOPED_TRACE(node->GetText(0));
        const TcxViewParams p = Content(node, b);
        EXPECT_EQ(p.Color, painter->DefaultContentColor());
        EXPECT_EQ(p.TextColor, painter->DefaultContentTextColor());
        EXPECT_EQ(p.Font, list->Font());
        EXPECT_EQ(p.Bitmap, nullptr);
    }
    EXPECT_EQ(Styles()->GetColumnHeaderParams(a).Color, painter->DefaultHeaderColor());
    EXPECT_EQ(Styles()->GetFooterParams().Color, painter->DefaultFooterColor());
    EXPECT_EQ(Styles()->GetIndicatorParams().TextColor, painter->DefaultHeaderTextColor());
    EXPECT_EQ(Styles()->GetBandBackgroundParams(list->Bands()->Items(0)).Color,
              painter->DefaultHeaderBackgroundColor());
    EXPECT_EQ(Styles()->GetIncSearchParams().Color, painter->DefaultSelectionColor());
}

TEST_F(StylesTest, AnOddRowStyleColoursOnlyOddRowsAndLeavesTheRestToContent)
{
    MakeT();
    Styles()->SetContent(NewStyle(clDefault, TColor(0x000080)));
    Styles()->SetContentOdd(NewStyle(TColor(0x00FF00)));
    c1->SetExpanded(false);
    n1->SetExpanded(true);
    // Visible rows: N0 0, C0 1, C1 2, N1 3, D0 4.
    const struct {
        TcxTreeListNode* node;
        bool odd;
    } rows[] = {{n0, false}, {c0, true}, {c1, false}, {n1, true}, {d0, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.node->GetText(0));
        const TcxViewParams p = Content(row.node);
        EXPECT_EQ(p.Color, row.odd ? TColor(0x00FF00) : TestLayoutPainter::Class()->DefaultContentColor());
        EXPECT_EQ(p.TextColor, TColor(0x000080));
        EXPECT_EQ(p.Font, list->Font());
    }
    // A node under a collapsed parent counts as visible index -1: odd.
    n1->SetExpanded(false);
    EXPECT_EQ(Content(d0).Color, TColor(0x00FF00));
}

TEST_F(StylesTest, ColumnContentOverridesBandContentWhichOverridesTheRowStyles)
{
    MakeT();
    Styles()->SetContentEven(NewStyle(TColor(0x111111), TColor(0x222222)));
    list->Bands()->Items(0)->Styles()->SetContent(NewStyle(TColor(0x333333)));
    b->TreeListStyles()->SetContent(NewStyle(TColor(0x444444)));
    EXPECT_EQ(Content(n0, a).Color, TColor(0x333333));
    EXPECT_EQ(Content(n0, b).Color, TColor(0x444444));
    // What neither band nor column gives stays the row style's.
    EXPECT_EQ(Content(n0, a).TextColor, TColor(0x222222));
    EXPECT_EQ(Content(n0, b).TextColor, TColor(0x222222));
}

TEST_F(StylesTest, AColumnMovedToAnotherBandTakesThatBandsContent)
{
    MakeT();
    list->Bands()->Items(0)->Styles()->SetContent(NewStyle(TColor(0x333333)));
    TcxTreeListBand* other = AddBand(AddColumn("C", 60));
    other->Styles()->SetContent(NewStyle(TColor(0x777777)));
    ASSERT_EQ(Content(n0, b).Color, TColor(0x333333));
    b->Position()->SetBandIndex(other->Index());
    ASSERT_EQ(b->OwnerBand(), other);
    EXPECT_EQ(Content(n0, b).Color, TColor(0x777777));
}

TEST_F(StylesTest, TheContentEventOverridesColumnBandAndRowStyles)
{
    MakeT();
    Styles()->SetContentOdd(NewStyle(TColor(0x111111)));
    list->Bands()->Items(0)->Styles()->SetContent(NewStyle(TColor(0x333333)));
    a->TreeListStyles()->SetContent(NewStyle(TColor(0x444444), TColor(0x555555)));
    TcxStyle* answer = NewStyle(TColor(0x666666));
    std::vector<std::pair<TObject*, TcxTreeListNode*>> asked;
    Styles()->OnGetContentStyle = TcxtlOnGetContentStyleEvent::FromFunction(
        [&](TObject*, TObject* item, TcxTreeListNode* node, TcxStyle*& style) {
            asked.emplace_back(item, node);
            if (node == c0) style = answer;
        });
    EXPECT_EQ(Content(c0).Color, TColor(0x666666));
    EXPECT_EQ(Content(c0).TextColor, TColor(0x555555));
    EXPECT_EQ(Content(n0).Color, TColor(0x444444));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front().first, a);
    EXPECT_EQ(asked.front().second, c0);
    Styles()->OnGetContentStyle = {};
}

TEST_F(StylesTest, TheColumnFooterEventIsNotAskedForAColumnInABand)
{
    MakeT();
    int asked = 0;
    Styles()->OnGetColumnFooterStyle =
        TcxtlOnGetItemStyleEvent::FromFunction([&](TObject*, TObject*, TcxStyle*&) { ++asked; });
    list->Bands()->Items(0)->Styles()->SetFooter(NewStyle(TColor(0x010101), TColor(0x020202)));
    a->TreeListStyles()->SetFooter(NewStyle(TColor(0x030303)));
    const TcxViewParams p = Styles()->GetColumnFooterParams(a);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(p.Color, TColor(0x030303));
    EXPECT_EQ(p.TextColor, TColor(0x020202));
    // The tree list's column footer style only fills what nothing before gave.
    Styles()->SetColumnFooter(NewStyle(TColor(0x040404), TColor(0x050505)));
    EXPECT_EQ(Styles()->GetColumnFooterParams(a).TextColor, TColor(0x020202));
    a->SetOwnerBand(nullptr);
    ASSERT_EQ(a->OwnerBand(), nullptr);
    EXPECT_EQ(Styles()->GetColumnFooterParams(a).Color, TColor(0x030303));
    EXPECT_EQ(asked, 1);
    Styles()->OnGetColumnFooterStyle = {};
}

TEST_F(StylesTest, IndentsTakeContentOrTheRowCacheAndTheIndentEventLast)
{
    MakeT();
    Styles()->SetContent(NewStyle(TColor(0x101010)));
    Styles()->SetContentOdd(NewStyle(TColor(0x202020)));
    // C0 (level 1, odd row) at its own level 2: distance 0, the Content chain;
    // with the node colour for indents (the default), the odd row's colour.
    EXPECT_EQ(Styles()->GetIndentParams(c0, 2).Color, TColor(0x202020));
    list->OptionsView()->SetUseNodeColorForIndent(false);
    EXPECT_EQ(Styles()->GetIndentParams(c0, 2).Color, TColor(0x101010));
    // A level beyond the node's own (distance below 0) always takes the row's.
    EXPECT_EQ(Styles()->GetIndentParams(c0, 3).Color, TColor(0x202020));
    TcxStyle* indent = NewStyle(TColor(0x303030));
    Styles()->OnGetNodeIndentStyle = TcxtlOnGetNodeIndentStyleEvent::FromFunction(
        [&](TObject*, TcxTreeListNode*, int level, TcxStyle*& style) {
            if (level == 0) style = indent;
        });
    EXPECT_EQ(Styles()->GetIndentParams(c0, 0).Color, TColor(0x303030));
    EXPECT_EQ(Styles()->GetIndentParams(c0, 1).Color, TColor(0x101010));
    Styles()->OnGetNodeIndentStyle = {};
}

TEST_F(StylesTest, AssigningStylesCopiesAllSixteenSlots)
{
    MakeT();
    std::vector<TcxStyle*> styles;
    for (int i = 0; i <= tlsv_HotTrack; ++i) {
        styles.push_back(NewStyle(TColor(0x010000 * (i + 1))));
        Styles()->SetValue(i, styles.back());
    }
    auto* other = CreateObject<TcxTreeList>(form);
    other->SetStyles(Styles());
    for (int i = 0; i <= tlsv_HotTrack; ++i) EXPECT_EQ(other->Styles()->GetValue(i), styles[i]) << "slot " << i;
    other->Free();
}

TEST_F(StylesTest, TheStyleSheetKindHoldsTreeListStylesAndFormsMayCreateIt)
{
    MakeT();
    EXPECT_EQ(FindClass("TcxTreeListStyleSheet"), TcxTreeListStyleSheet::StaticClass());
    auto* sheet = CreateObject<TcxTreeListStyleSheet>(form);
    ASSERT_NE(sheet->Styles(), nullptr);
    TcxStyle* header = NewStyle(TColor(0x0A0B0C));
    sheet->Styles()->SetColumnHeader(header);
    Styles()->SetStyleSheet(sheet);
    EXPECT_EQ(Styles()->GetColumnHeaderParams(b).Color, TColor(0x0A0B0C));
    Styles()->SetStyleSheet(nullptr);
    EXPECT_EQ(Styles()->GetColumnHeaderParams(b).Color, TestLayoutPainter::Class()->DefaultHeaderColor());
}

} // namespace
