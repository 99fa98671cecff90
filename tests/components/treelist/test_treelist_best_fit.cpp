// Best fit: cell measuring with images and grid lines, a column's best
// width over the visible nodes only with its header, a band following its
// columns afterwards, and the whole list starting from no left-most indent.
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

using BestFitTest = TreeListLayoutTest;

TEST_F(BestFitTest, MeasuringTheLeftMostColumnAddsTheImageIndentsAndGridLinesTwoPixels)
{
    MakeT();
    a->SetMinWidth(0);
    b->SetMinWidth(0);
    const int plain = list->MeasureCellWidth(a, n0, false, 18);
    ASSERT_GT(plain, 0);
    EXPECT_EQ(list->MeasureCellWidth(b, n0, false, 18), plain) << "same text length, not left-most";
    auto* images = CreateObject<TImageList>(form);
    images->SetSize(16, 16);
    auto* stateImages = CreateObject<TImageList>(form);
    stateImages->SetSize(16, 16);
    list->SetImages(images);
    list->SetStateImages(stateImages);
    ASSERT_EQ(list->LevelIndentWidth(), 19);
    EXPECT_EQ(list->MeasureCellWidth(a, n0, false, 18), plain + 2 * 19);
    EXPECT_EQ(list->MeasureCellWidth(b, n0, false, 18), plain);
    list->OptionsView()->SetGridLines(tlglVert);
    EXPECT_EQ(list->MeasureCellWidth(b, n0, false, 18), plain + 2);
    // The minimum width is the floor.
    b->SetMinWidth(200);
    EXPECT_EQ(list->MeasureCellWidth(b, n0, false, 18), 200);
}

TEST_F(BestFitTest, AColumnTakesItsWidestVisibleCellAndItsHeader)
{
    MakeT();
    c1->SetText(1, std::string(10, 'b'));
    d0->SetText(1, std::string(40, 'd'));  // under the collapsed N1: not measured
    b->SetMinWidth(0);
    const int widest = list->MeasureCellWidth(b, c1, true, 18);
    b->ApplyBestFit();
    EXPECT_EQ(b->Width(), widest);
    EXPECT_EQ(b->CurrentWidth(), widest);
    EXPECT_LT(b->Width(), 40 * 6);
    EXPECT_EQ(b->BestFitWidth(), 0) << "the scratch width is only kept while measuring";
    EXPECT_EQ(HeaderRect(b).right - HeaderRect(b).left, widest);

    // A long caption wins, with room for the sort mark once sorted.
    b->Caption()->SetText(std::string(20, 'H'));
    EXPECT_EQ(b->GetHeaderFooterBestfitSize(), 20 * 6 + 8);
    b->SetSortOrder(soAscending);
    EXPECT_EQ(b->GetHeaderFooterBestfitSize(), 20 * 6 + 8 + 12);
    b->ApplyBestFit();
    EXPECT_EQ(b->Width(), 20 * 6 + 8 + 12);
}

TEST_F(BestFitTest, TheLeftMostColumnMakesRoomForTheDeepestTreeLevel)
{
    MakeT();
    a->SetMinWidth(0);
    a->ApplyBestFit();
    // C0 and C1 stand one level deeper: ShowRoot and level 1 give 2 indents.
    EXPECT_EQ(a->Width(), list->MeasureCellWidth(a, c0, true, 18) + 2 * 15);
}

TEST_F(BestFitTest, ABandFollowsItsColumnsAfterABestFit)
{
    MakeT();
    TcxTreeListBand* band = list->Bands()->Items(0);
    band->SetWidth(250);
    ASSERT_EQ(band->Width(), 250);
    band->ApplyBestFit();
    EXPECT_EQ(band->Width(), 0);
    EXPECT_EQ(band->CurrentWidth(), a->Width() + b->Width());
    EXPECT_EQ(a->BestFitWidth(), 0);
}

TEST_F(BestFitTest, TheListBestFitStartsFromNoLeftMostIndent)
{
    MakeT();
    list->OptionsBehavior()->SetAutomateLeftMostIndent(false);
    AddRow(c0, {"E0", "e0"});
    c0->SetExpanded(true);
    a->SetWidth(20);
    ASSERT_EQ(list->LeftMostIndentWidth(), 45);
    a->SetWidth(200);
    ASSERT_EQ(list->LeftMostIndentWidth(), 45) << "a grown indent stays";
    list->ApplyBestFit();
    const int slack = a->CurrentWidth() - a->MinWidth();
    EXPECT_EQ(list->LeftMostIndentWidth(), std::max(0, 45 - slack));
    EXPECT_LT(list->LeftMostIndentWidth(), 45);
}

} // namespace
