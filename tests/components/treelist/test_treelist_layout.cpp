// Tree-list layout: the fixture's derived values, tree indents, band widths
// and width adjustment, panel heights, the visible range and the scroll
// requests it makes, the hourglass, the drag image, the vertical partition
// with indicator, bands and footer, fixed bands and separators, horizontal
// scrolling and the shared painting colours.
#include <array>

#include "components/foundation/cxContainer.h"
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

using Box = std::array<int, 4>;
Box B(const RECT& r) { return Box{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                                  static_cast<int>(r.bottom)}; }

// Remembers the vertical scroll requests before passing them on.
class TRecordingViewInfo : public TcxTreeListViewInfo {
public:
    static TClass StaticClass() { return DefineClass<TRecordingViewInfo, TcxTreeListViewInfo>("TRecordingViewInfo"); }
    TClass ClassType() const override { return StaticClass(); }
    void DoScrollVertical(int delta) override
    {
        requests.push_back(delta);
        TcxTreeListViewInfo::DoScrollVertical(delta);
    }
    std::vector<int> requests;
};

class TRecordingTreeList : public TcxTreeList {
public:
    static TClass StaticClass() { return DefineClass<TRecordingTreeList, TcxTreeList>("TRecordingTreeList"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    TClass GetViewInfoClass() override { return TRecordingViewInfo::StaticClass(); }
};

using LayoutTest = TreeListLayoutTest;

TEST_F(LayoutTest, TheFixtureHasTheDerivedValues)
{
    MakeT();
    EXPECT_EQ(ViewInfo()->GetDefaultHeight(), 18);
    EXPECT_EQ(ViewInfo()->HeaderLineHeight, 19);
    EXPECT_EQ(ViewInfo()->GetCellsOffset(), 19);
    EXPECT_EQ(list->LevelIndentWidth(), 15);
    EXPECT_EQ(list->LeftMostIndentWidth(), 0);
    EXPECT_EQ(B(HeaderRect(a)), (Box{0, 0, 100, 19}));
    EXPECT_EQ(B(HeaderRect(b)), (Box{100, 0, 180, 19}));
    EXPECT_EQ(ViewInfo()->HorzScrollStep, 6);
    EXPECT_EQ(list->GetHeaderHeight(), 19);
    EXPECT_EQ(list->GetHeaderPanelHeight(), 19);
    EXPECT_EQ(list->GetFooterHeight(), 0);
}

TEST_F(LayoutTest, TheLeftMostIndentEatsIntoTheLeftMostColumnsSlackFirst)
{
    // W = 15; a deepest level of 2 with ShowRoot needs 3W = 45 pixels; A's
    // slack is its width over the minimum of 20.
    const struct {
        int width;
        int expected;
    } cases[] = {{100, 0}, {50, 15}, {20, 45}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        MakeT();
        AddRow(c0, {"E0", "e0"});
        a->SetWidth(c.width);
        c0->SetExpanded(true);
        EXPECT_EQ(list->LeftMostIndentWidth(), c.expected);
        EXPECT_EQ(HeaderRect(a).right - HeaderRect(a).left, c.width + c.expected) << "A's header spans the indent";
    }
    // Collapsing keeps a grown indent unless it follows the levels.
    list->OptionsBehavior()->SetAutomateLeftMostIndent(false);
    list->FullCollapse();
    EXPECT_EQ(list->LeftMostIndentWidth(), 45);
    list->OptionsBehavior()->SetAutomateLeftMostIndent(true);
    list->FullRefresh();
    EXPECT_EQ(list->LeftMostIndentWidth(), 15);
}

TEST_F(LayoutTest, ImageListsWidenTheLevelIndentAndCountAsLevels)
{
    MakeT();
    auto* images = CreateObject<TImageList>(form);
    images->SetSize(16, 16);
    list->SetImages(images);
    EXPECT_EQ(list->LevelIndentWidth(), 19);
    EXPECT_EQ(list->ImagesIndentWidth(), 19);
    EXPECT_EQ(list->GetLevelIndentCount(1, true, nullptr), 3);
    EXPECT_EQ(list->GetLevelIndentCount(1, false, nullptr), 2);
    EXPECT_EQ(list->GetLevelIndentsWidth(1, true, nullptr), 57);
    // Freeing the list lets go of it.
    images->Free();
    EXPECT_EQ(list->Images(), nullptr);
    EXPECT_EQ(list->LevelIndentWidth(), 15);
}

TEST_F(LayoutTest, FixedBandCount)
{
    MakeT();
    list->Bands()->Items(0)->SetFixedKind(tlbfRight);
    EXPECT_EQ(list->GetFixedBandCount(), 1);
    list->Bands()->Items(0)->SetVisible(false);
    EXPECT_EQ(list->GetVisibleBandCount(), 0);
    EXPECT_EQ(list->GetFixedBandCount(), 0);
}

TEST_F(LayoutTest, WideningABandWithAutoWidthTakesFromTheBandsToItsRight)
{
    // Bands of 100, 80 and 120 fill the 300 pixels exactly.
    const auto make = [this] {
        MakeT();
        TcxTreeListColumn* c = AddColumn("C", 120);
        AddBand(b);
        AddBand(c);
        list->OptionsView()->SetColumnAutoWidth(true);
        return c;
    };
    make();
    TcxTreeListBands* bands = list->Bands();
    ASSERT_EQ(list->GetVisibleBandCount(), 3);
    EXPECT_EQ(bands->Items(0)->CurrentWidth() + bands->Items(1)->CurrentWidth() + bands->Items(2)->CurrentWidth(), 300);
    bands->Items(1)->SetWidth(120);
    EXPECT_EQ(bands->Items(0)->CurrentWidth(), 100);
    EXPECT_EQ(bands->Items(1)->CurrentWidth(), 120);
    EXPECT_EQ(bands->Items(2)->CurrentWidth(), 80);

    make();
    bands = list->Bands();
    bands->Items(2)->SetWidth(160);
    const int left = bands->Items(0)->CurrentWidth();
    const int middle = bands->Items(1)->CurrentWidth();
    EXPECT_EQ(bands->Items(2)->CurrentWidth(), 160);
    EXPECT_EQ(left + middle, 140);
    EXPECT_NEAR(left, 140 * 100 / 180, 1) << "shared in proportion to 100 : 80";
}

TEST_F(LayoutTest, AdjustColumnsWidthMakesTheDistributedWidthsTheRequestedOnes)
{
    MakeT();
    ASSERT_FALSE(list->OptionsView()->ColumnAutoWidth());
    list->AdjustColumnsWidth();
    EXPECT_FALSE(list->OptionsView()->ColumnAutoWidth());
    EXPECT_EQ(a->Width() + b->Width(), 300);
    EXPECT_EQ(a->Width(), a->CurrentWidth());
    EXPECT_GT(a->Width(), b->Width());
    EXPECT_EQ(HeaderRect(b).right, 300);
}

TEST_F(LayoutTest, HeadersOffLeavesNoHeaderHeight)
{
    MakeT();
    list->OptionsView()->SetHeaders(false);
    EXPECT_EQ(list->HeaderLineCount(), 1);
    EXPECT_EQ(list->GetHeaderHeight(), 0);
    EXPECT_EQ(ViewInfo()->GetCellsOffset(), 0);
}

TEST_F(LayoutTest, ANegativeDefaultRowHeightStoresTheDefaultEditHeightWhenOneIsKnown)
{
    MakeT();
    const int editHeight = ViewInfo()->DefaultEditHeight();
    ASSERT_GT(editHeight, 0);
    list->SetDefaultRowHeight(-5);
    EXPECT_TRUE(list->IsDefaultRowHeightAssigned());
    EXPECT_EQ(list->DefaultRowHeight(), editHeight);

    auto* fresh = CreateObject<TcxTreeList>(form);
    fresh->BeginUpdate();
    if (fresh->ViewInfo()->DefaultEditHeight() == 0) {
        fresh->SetDefaultRowHeight(-5);
        EXPECT_FALSE(fresh->IsDefaultRowHeightAssigned());
        EXPECT_EQ(fresh->DefaultRowHeight(), 0);
    }
    fresh->CancelUpdate();
    fresh->Free();
}

TEST_F(LayoutTest, TheDefaultEditHeightIsTheLargestImageOrEditorPlusGridLinePlusTwo)
{
    MakeT();
    auto* images = CreateObject<TImageList>(form);
    images->SetSize(16, 16);
    list->SetImages(images);
    list->OptionsView()->SetGridLines(tlglHorz);
    const int editor = a->GetEditDefaultHeight(list->Font());
    ASSERT_LE(editor, 16);
    EXPECT_EQ(ViewInfo()->DefaultEditHeight(), 16 + 1 + 2);
    list->SetImages(nullptr);
    EXPECT_EQ(ViewInfo()->DefaultEditHeight(), editor + 1 + 2);
    EXPECT_EQ(ViewInfo()->GetDefaultHeight(), 18) << "an assigned row height wins";
}

TEST_F(LayoutTest, SetTopVisibleIndexAsksForTheClampedDifferenceOnly)
{
    listClass = TRecordingTreeList::StaticClass();
    MakeT();
    list->BeginUpdate();
    for (int i = 0; i < 16; ++i) AddRow(nullptr, {"X" + std::to_string(i), "x"});
    list->EndUpdate();
    ASSERT_EQ(list->Nodes()->GetVisibleCount(), 20);
    auto* info = static_cast<TRecordingViewInfo*>(ViewInfo());
    const int top = list->GetTopVisibleIndex();
    list->SetTopVisibleIndex(1000);
    ASSERT_EQ(info->requests.size(), 1u);
    EXPECT_EQ(info->requests[0], 19 - top);
    // The last page fills upward: ten whole rows of 18 in 181 pixels.
    EXPECT_EQ(list->GetTopVisibleIndex(), 10);
    list->SetTopVisibleIndex(10);
    EXPECT_EQ(info->requests.size(), 1u);
    list->SetTopVisibleNode(n0);
    EXPECT_EQ(list->GetTopVisibleIndex(), 0);
    EXPECT_EQ(list->GetTopVisibleNode(), n0);
}

TEST_F(LayoutTest, TheHourglassIsSetOnceAndGivesBackTheCursorBeforeIt)
{
    MakeT();
    hostlib::Screen->SetCursor(crCross);
    list->SetGlassCursor();
    list->SetGlassCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crHourGlass);
    EXPECT_EQ(list->GlassCursorCount(), 1);
    list->RestoreCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crCross);
    list->RestoreCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crCross);
    list->OptionsBehavior()->SetShowHourGlass(false);
    list->SetGlassCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crCross);
    hostlib::Screen->SetCursor(crDefault);
}

TEST_F(LayoutTest, TheDragImageSitsRightOfTheMouseAroundOneLineOfTheFirstColumn)
{
    MakeT();
    list->SetFocusedNode(n1);
    list->Controller()->HitTestController()->ReCalculate(POINT{50, 45});
    const POINT screen = list->ClientToScreen(POINT{50, 60});
    SetCursorPos(screen.x, screen.y);
    const RECT r = list->DragDropImageDisplayRect();
    EXPECT_EQ(r.left, 50 + 18);
    EXPECT_EQ(r.top, 60 - 2);
    EXPECT_EQ(r.right - r.left, a->DisplayWidth() + 4);
    EXPECT_EQ(r.bottom - r.top, 13 + 4);
    EXPECT_EQ(list->GetDragDropText(), "C0") << "the row the hit test found, not the focused one";
}

TEST_F(LayoutTest, TheIndicatorColumnShiftsTheBandsAndCountsInTheContentWidth)
{
    MakeT();
    a->SetWidth(250);
    list->OptionsView()->SetIndicatorWidth(15);
    list->OptionsView()->SetIndicator(true);
    EXPECT_EQ(HeaderRect(a).left, 15);
    EXPECT_EQ(ViewInfo()->ContentWidth, 15 + 250 + 80);
    EXPECT_EQ(B(ViewInfo()->HeaderIndicator()->DisplayRect), (Box{0, 0, 15, 19}));
    EXPECT_TRUE(ViewInfo()->HeaderIndicator()->Visible);
}

TEST_F(LayoutTest, BandHeadersPushTheColumnHeadersDownByTheirLines)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    list->OptionsView()->SetBandLineCount(2);
    EXPECT_EQ(ViewInfo()->BandLineHeight, 19);
    EXPECT_EQ(HeaderRect(a).top, 38);
    EXPECT_EQ(ViewInfo()->GetCellsOffset(), 57);
    EXPECT_EQ(B(list->Bands()->Items(0)->ViewInfo()->Header()->DisplayRect), (Box{0, 0, 180, 38}));
    EXPECT_EQ(list->GetBandPanelHeight(), 38);
}

TEST_F(LayoutTest, TheFooterHasAsManyLinesAsTheHeaderAndNeedsAVisibleColumn)
{
    MakeT();
    b->Position()->SetRowIndex(1);
    list->OptionsView()->SetFooter(true);
    ASSERT_EQ(list->HeaderLineCount(), 2);
    // A footer line is 4 x the cell border taller than a header line.
    EXPECT_EQ(ViewInfo()->FooterLineHeight, 19 + 4);
    EXPECT_EQ(ViewInfo()->GetFooterOffset(), 200 - (2 * 23 + 2));
    // The panel ends with the cells: the band is as wide as its widest row (A).
    EXPECT_EQ(B(ViewInfo()->FooterRect), (Box{1, 153, 100, 199}));
    EXPECT_EQ(list->GetFooterHeight(), 46);
    // B fills the second row alone: inside the panel border, line 1, cell offset 1.
    EXPECT_EQ(B(b->ViewInfo()->ColumnFooter()->DisplayRect), (Box{2, 177, 99, 198}));
    a->SetVisible(false);
    b->SetVisible(false);
    EXPECT_EQ(ViewInfo()->GetFooterOffset(), 200);
    EXPECT_EQ(list->GetFooterHeight(), 0);
}

TEST_F(LayoutTest, ARightFixedBandStaysAtTheRightEdgeOfANarrowClient)
{
    MakeT();
    list->SetBounds(0, 0, 120, 200);
    AddBand(b, tlbfRight);
    TcxTreeListBandViewInfo* right = list->Bands()->Items(1)->ViewInfo();
    // With band headers off the band rectangle ends with the column headers.
    const int bottom = ViewInfo()->ClientRect().bottom;
    EXPECT_EQ(B(right->DisplayRect), (Box{40, 0, 120, 19}));
    EXPECT_EQ(B(ViewInfo()->FixedSeparators[1]), (Box{38, 0, 40, bottom}));
    EXPECT_EQ(ViewInfo()->ScrollArea.right, 38);

    // With a left-fixed band too the right band never covers the left separator.
    TcxTreeListColumn* c = AddColumn("C", 100);
    AddBand(c, tlbfLeft);
    list->SetBounds(0, 0, 150, 200);
    const RECT leftSeparator = ViewInfo()->FixedSeparators[0];
    EXPECT_EQ(B(leftSeparator), (Box{100, 0, 102, static_cast<int>(ViewInfo()->ClientRect().bottom)}));
    EXPECT_EQ(right->DisplayRect.left, leftSeparator.right);
}

TEST_F(LayoutTest, WideningAWindowScrolledToTheRightPullsTheContentAlong)
{
    MakeT();
    a->SetWidth(500);
    ASSERT_EQ(ViewInfo()->ContentWidth, 580);
    ViewInfo()->DoScrollHorizontal(280);
    list->SetBounds(0, 0, 400, 200);
    EXPECT_EQ(ViewInfo()->HorzScrollPos, 180);
    EXPECT_EQ(HeaderRect(b).right, 400);
    list->SetBounds(0, 0, 1000, 200);
    EXPECT_EQ(ViewInfo()->HorzScrollPos, 0);
    EXPECT_EQ(ViewInfo()->ContentWidth, 0) << "content narrower than the client needs no scrolling";
}

TEST_F(LayoutTest, HorizontalScrollingMovesOnlyTheScrollableBandsAndRepaintsTheirArea)
{
    MakeT();
    TcxTreeListColumn* c = AddColumn("C", 300);
    AddBand(a, tlbfLeft);
    AddBand(c);
    AddBand(b, tlbfRight);
    list->OptionsView()->SetIndicator(true);
    Pump();
    TcxTreeListViewInfo* info = ViewInfo();
    ASSERT_GT(info->ContentWidth, 300);
    const Box left = B(HeaderRect(a)), right = B(HeaderRect(b)), middle = B(HeaderRect(c));
    const Box separator0 = B(info->FixedSeparators[0]), separator1 = B(info->FixedSeparators[1]);
    const Box indicator = B(info->HeaderIndicator()->DisplayRect);
    info->DoScrollHorizontal(50);
    EXPECT_EQ(info->HorzScrollPos, 50);
    EXPECT_EQ(B(HeaderRect(a)), left);
    EXPECT_EQ(B(HeaderRect(b)), right);
    EXPECT_EQ(B(HeaderRect(c)), (Box{middle[0] - 50, middle[1], middle[2] - 50, middle[3]}));
    EXPECT_EQ(B(info->FixedSeparators[0]), separator0);
    EXPECT_EQ(B(info->FixedSeparators[1]), separator1);
    EXPECT_EQ(B(info->HeaderIndicator()->DisplayRect), indicator);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(list->Handle(), &update, FALSE));
    EXPECT_EQ(B(update), B(info->ScrollArea));
}

TEST_F(LayoutTest, DefaultColoursComeFromThePainterAndSystemColoursAreResolved)
{
    MakeT();
    TcxCustomLookAndFeelPainterClass painter = TestLayoutPainter::Class();
    EXPECT_EQ(ViewInfo()->GridLineBrush()->Color(), painter->DefaultGridLineColor());
    EXPECT_EQ(ViewInfo()->FixedSeparatorBrush()->Color(), painter->DefaultFixedSeparatorColor());
    EXPECT_EQ(ViewInfo()->RealTreeLineColor, painter->DefaultGridLineColor());
    list->OptionsView()->SetTreeLineColor(clBtnShadow);
    EXPECT_EQ(ViewInfo()->RealTreeLineColor, static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(ViewInfo()->RealTreeLineColor & 0xFF000000, 0u);
}

TEST_F(LayoutTest, TheScrollBarsShowTheContentWidthAndTheVisibleNodes)
{
    MakeT();
    a->SetWidth(500);
    TcxTreeListViewInfo* info = ViewInfo();
    ASSERT_EQ(info->ContentWidth, 580);
    const TcxScrollBarData& horz = list->HScrollBar()->Data();
    EXPECT_EQ(horz.Min, 0);
    EXPECT_EQ(horz.Max, 579);
    EXPECT_EQ(horz.SmallChange, 6);
    EXPECT_EQ(horz.PageSize, list->GetClientBounds().right - list->GetClientBounds().left);
    EXPECT_TRUE(list->HScrollBarVisible());
    // Until rows are laid out nothing is known not to fit.
    EXPECT_FALSE(list->VScrollBar()->Data().AllowShow);
    EXPECT_FALSE(list->VScrollBarVisible());
}

TEST_F(LayoutTest, MakingANodeVisibleInsideAnUpdatePutsTheResultingTopBackAtTheEnd)
{
    MakeT();
    list->BeginUpdate();
    for (int i = 0; i < 16; ++i) AddRow(nullptr, {"X" + std::to_string(i), "x"});
    list->EndUpdate();
    list->SetTopVisibleIndex(10);
    ASSERT_EQ(list->GetTopVisibleIndex(), 10);
    list->BeginUpdate();
    list->Nodes()->MarkDirty();
    list->MakeNodeVisible(c0);
    EXPECT_EQ(list->Nodes()->TopIndex(), 1) << "scrolled up to the node";
    list->Nodes()->SetTopIndex(7);
    list->EndUpdate();
    EXPECT_EQ(list->Nodes()->TopIndex(), 1) << "the stored position comes back when the update ends";
}

TEST_F(LayoutTest, TheDragImageIsFramedInBlackOnTheSelectionColourWithTheNodeText)
{
    MakeT();
    list->Controller()->HitTestController()->ReCalculate(POINT{50, 45});
    ObjectPtr<TBitmap> bitmap(CreateObject<TBitmap>());
    bitmap->SetSize(60, 21);
    TcxCanvas canvas(bitmap->Canvas());
    list->DrawDragDropImage(bitmap.get(), &canvas);
    TCanvas* pixels = bitmap->Canvas();
    const TColor selection = static_cast<TColor>(ColorToRGB(TestLayoutPainter::Class()->DefaultSelectionColor()));
    const TColor text = static_cast<TColor>(ColorToRGB(TestLayoutPainter::Class()->DefaultSelectionTextColor()));
    for (const POINT p : {POINT{0, 0}, POINT{59, 0}, POINT{0, 20}, POINT{59, 20}, POINT{30, 0}})
        EXPECT_EQ(pixels->Pixel(p.x, p.y), TColor(0)) << p.x << "," << p.y;
    EXPECT_EQ(pixels->Pixel(1, 1), selection);
    EXPECT_EQ(pixels->Pixel(58, 10), selection) << "right of the text";
    // "C0" stands left-aligned two pixels in: two 6-pixel glyphs from x = 2.
    int inked = 0;
    for (int x = 2; x < 14; ++x)
        for (int y = 2; y < 19; ++y) inked += pixels->Pixel(x, y) == text ? 1 : 0;
    EXPECT_GT(inked, 0);
    for (int y = 2; y < 19; ++y) EXPECT_NE(pixels->Pixel(20, y), text) << "no third glyph";
}

TEST_F(LayoutTest, DropZonesOfHeadersReachTenPixelsBeyondTheirPanels)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    TcxTreeListHeaderViewInfo* bandHeader = list->Bands()->Items(0)->ViewInfo()->Header();
    EXPECT_EQ(B(bandHeader->GetDroppingRect()), (Box{0, -10, 300, 29}));
    EXPECT_EQ(B(a->ViewInfo()->ColumnHeader()->GetDroppingRect()), (Box{0, 9, 300, 48}));
    EXPECT_TRUE(bandHeader->CanDropAt(POINT{50, 5}));
    EXPECT_TRUE(bandHeader->CanDropAt(POINT{50, 45})) << "ten pixels below the band";
    EXPECT_FALSE(bandHeader->CanDropAt(POINT{250, 5})) << "no band there";
}

} // namespace
