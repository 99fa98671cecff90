// Columns and bands of the tree list: the proportional width distribution,
// the two width layers of a column, positions and band rows, which
// neighbours absorb a resize, band widths, the fixed kinds and the visible
// band order.
#include "tests/components/treelist/tree_list_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

// ---- distribution ---------------------------------------------------------------------

struct DistributionCase {
    const char* name;
    int available;
    std::vector<int> widths;
    int minWidth;
    std::vector<bool> fixed;
    std::vector<int> expected;
};

TEST(TreeListAutoWidth, SharesInProportionHoldingMinimumsAndFixedItems)
{
    const std::vector<DistributionCase> cases = {
        {"exact fit", 300, {100, 100, 100}, 20, {}, {100, 100, 100}},
        {"raised to the minimum sum", 200, {100, 100, 100}, 90, {}, {90, 90, 90}},
        {"two items held at their minimum", 200, {200, 50, 50}, 40, {}, {120, 40, 40}},
        {"growing shares exactly", 301, {100, 100, 100}, 20, {}, {100, 101, 100}},
        {"a fixed last item keeps its width", 400, {100, 100, 100}, 20, {false, false, true}, {150, 150, 100}},
        {"a fixed leading item keeps its width", 400, {100, 100, 100}, 20, {true, false, false}, {100, 150, 150}},
    };
    for (const DistributionCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<cxtl::TcxAutoWidthItem> items(c.widths.size());
        TcxTreeListAutoWidthController controller;
        controller.Init(c.available, static_cast<int>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i) {
            items[i].Width = c.widths[i];
            items[i].MinWidth = c.minWidth;
            items[i].Fixed = i < c.fixed.size() && c.fixed[i];
            controller.Add(&items[i]);
        }
        controller.Calculate();
        std::vector<int> result;
        for (auto& item : items) result.push_back(item.AutoWidth);
        EXPECT_EQ(result, c.expected);
    }
}

// ---- column widths ----------------------------------------------------------------------

using ColumnsTest = TreeListTest;

TEST_F(ColumnsTest, MinWidthAndWidthClampEachOther)
{
    MakeTreeList(1);
    TcxTreeListColumn* column = Column(0);
    EXPECT_EQ(column->MinWidth(), 20);
    EXPECT_EQ(column->Width(), 100);
    column->SetMinWidth(150);
    EXPECT_EQ(column->Width(), 150);
    column->SetWidth(30);
    EXPECT_EQ(column->Width(), 150);
    column->SetMinWidth(-5);
    EXPECT_EQ(column->MinWidth(), 0);
}

TEST_F(ColumnsTest, WidthOfAHiddenColumnIsOnlyStoredUntilShown)
{
    MakeTreeList(2);
    TcxTreeListColumn* hidden = Column(1);
    hidden->SetVisible(false);
    Pump();
    EXPECT_EQ(list->GetVisibleColumnCount(), 1);
    int sizeEvents = 0;
    list->OnColumnSizeChanged = TcxTreeListItemChangedEvent::FromFunction([&](TObject*, TObject*) { ++sizeEvents; });
    hidden->SetWidth(170);
    EXPECT_EQ(hidden->Width(), 170);
    EXPECT_EQ(hidden->CurrentWidth(), 170);
    EXPECT_EQ(hidden->DisplayWidth(), 0);
    EXPECT_EQ(sizeEvents, 0);
    hidden->SetVisible(true);
    Pump();
    EXPECT_EQ(list->GetVisibleColumnCount(), 2);
    EXPECT_EQ(hidden->DisplayWidth(), 170);
    EXPECT_EQ(list->Bands()->Items(0)->CurrentWidth(), 270);
}

TEST_F(ColumnsTest, AvailableMaxWidthIsUnlimitedInABandThatFollowsItsColumns)
{
    MakeTreeList(2);
    EXPECT_EQ(Column(0)->GetAvailableMaxWidth(), 536870911);
    list->Bands()->Items(0)->SetWidth(300);
    Pump();
    // The neighbour after it keeps at least its minimum.
    EXPECT_EQ(Column(0)->GetAvailableMaxWidth(), 300 - 20);
}

// In a band of fixed width, a column that is not last takes its change from
// the columns after it; the last column takes it from all before it.
TEST_F(ColumnsTest, ResizeIsAbsorbedByTheRightNeighbours)
{
    MakeTreeList(3);
    TcxTreeListBand* band = list->Bands()->Items(0);
    band->SetWidth(300);
    Pump();
    auto widths = [&] {
        return std::vector<int>{Column(0)->CurrentWidth(), Column(1)->CurrentWidth(), Column(2)->CurrentWidth()};
    };
    ASSERT_EQ(widths(), (std::vector<int>{100, 100, 100}));
    Column(1)->SetWidth(150);
    Pump();
    EXPECT_EQ(widths(), (std::vector<int>{100, 150, 50}));
    Column(2)->SetWidth(150);
    Pump();
    EXPECT_EQ(widths(), (std::vector<int>{60, 90, 150})) << "the two before share 150 in proportion 100:150";
    EXPECT_EQ(band->CurrentWidth(), 300);
}

TEST_F(ColumnsTest, SortingOffKeepsNoSortOrder)
{
    MakeTreeList(1);
    TcxTreeListColumn* column = Column(0);
    column->Options()->SetSorting(false);
    column->SetSortOrder(soAscending);
    EXPECT_EQ(column->SortOrder(), soNone);
    EXPECT_FALSE(list->Sorted());
    column->Options()->SetSorting(true);
    column->SetSortOrder(soDescending);
    EXPECT_EQ(column->SortOrder(), soDescending);
    EXPECT_TRUE(list->Sorted());
}

// ---- positions and rows -----------------------------------------------------------------

TEST_F(ColumnsTest, SetPositionExInsertingARowPushesTheRowsBelowDown)
{
    MakeTreeList(3);
    Column(0)->Position()->SetPositionEx(0, 0, false, 0);
    Column(1)->Position()->SetPositionEx(0, 0, false, 1);
    Column(2)->Position()->SetPositionEx(0, 0, true, 1);
    Pump();
    EXPECT_EQ(Column(0)->Position()->RowIndex(), 0);
    EXPECT_EQ(Column(2)->Position()->RowIndex(), 1);
    EXPECT_EQ(Column(1)->Position()->RowIndex(), 2);
    TcxTreeListBand* band = list->Bands()->Items(0);
    EXPECT_EQ(band->Rows()->Count(), 3);
    EXPECT_EQ(band->Rows()->Items(1)->First(), Column(2));
    EXPECT_EQ(list->HeaderLineCount(), 3);
}

TEST_F(ColumnsTest, SetPositionExWithinARowShiftsTheFollowingColumns)
{
    MakeTreeList(3);
    Column(2)->Position()->SetPositionEx(0, 0, false, 0);
    Pump();
    EXPECT_EQ(list->GetVisibleColumn(0), Column(2));
    EXPECT_EQ(list->GetVisibleColumn(1), Column(0));
    EXPECT_EQ(list->GetVisibleColumn(2), Column(1));
}

TEST_F(ColumnsTest, RowsWithAGapAreRenumberedConsecutively)
{
    MakeTreeList(2);
    Column(0)->Position()->SetRowIndex(2);
    Column(1)->Position()->SetRowIndex(5);
    Pump();
    EXPECT_EQ(Column(0)->Position()->RowIndex(), 0);
    EXPECT_EQ(Column(1)->Position()->RowIndex(), 1);
    EXPECT_EQ(list->Bands()->Items(0)->Rows()->Count(), 2);
}

TEST_F(ColumnsTest, HeaderSingleLineForcesRowZeroAndOneLine)
{
    MakeTreeList(2);
    Column(1)->Position()->SetRowIndex(1);
    Column(1)->Position()->SetLineCount(3);
    Pump();
    ASSERT_EQ(list->HeaderLineCount(), 4);
    list->OptionsView()->SetHeaderSingleLine(true);
    Pump();
    EXPECT_EQ(Column(1)->Position()->RowIndex(), 0);
    EXPECT_EQ(Column(1)->Position()->LineCount(), 1);
    // Every later change is forced too, and vertical sizing is off.
    Column(0)->Position()->SetRowIndex(3);
    EXPECT_EQ(Column(0)->Position()->RowIndex(), 0);
    list->OptionsCustomizing()->SetColumnVertSizing(true);
    EXPECT_FALSE(Column(0)->CanSizing(dsdVert));
    list->OptionsView()->SetHeaderSingleLine(false);
    EXPECT_EQ(Column(1)->Position()->RowIndex(), 0) << "turning it off restores nothing";
}

TEST_F(ColumnsTest, SetItemIndexExchangesTheColumnsAndRenumbers)
{
    MakeTreeList(3);
    TcxTreeListColumn* first = Column(0);
    TcxTreeListColumn* last = Column(2);
    first->SetItemIndexEx(2);
    EXPECT_EQ(list->GetColumn(2), first);
    EXPECT_EQ(list->GetColumn(0), last);
    EXPECT_EQ(list->GetColumn(0)->ItemIndex(), 0);
    EXPECT_EQ(list->GetColumn(2)->ItemIndex(), 2);
    EXPECT_EQ(list->DataController()->GetItem(2), list->GetColumn(2));
    Column(0)->SetItemIndexEx(7);
    EXPECT_EQ(list->GetColumnCount(), 3);
}

// ---- life ------------------------------------------------------------------------------

// Columns belong to the tree list's owner, so a form frees them in its own
// order; whatever goes first, nothing freed may be reached afterwards.
TEST_F(ColumnsTest, FreeingTheFormTheListOrAColumnFirstIsSafe)
{
    enum class First { form, list, column };
    struct Case {
        const char* name;
        bool parented;
        First first;
    } cases[] = {
        {"form of an unparented list", false, First::form},
        {"form of a parented list", true, First::form},
        {"list, then the form", false, First::list},
        {"a column, then the form", false, First::column},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeTreeList(3, c.parented);
        MakeInteger(Column(1));
        AddRow(nullptr, {Variant("a"), Variant(2), Variant("x")});
        AddRow(nullptr, {Variant("b"), Variant(1), Variant("y")});
        Column(1)->SetSortOrder(soAscending);
        list->Preview()->SetColumn(Column(0));
        list->Items(0)->SetFocused(true);
        list->Controller()->SetFocusedItem(Column(2));
        if (c.parented) {
            list->Controller()->EditingController()->ShowEdit(Column(2));
            Pump();
            ASSERT_NE(list->Controller()->EditingController()->Edit(), nullptr);
        }
        if (c.first == First::list) list->Free();
        if (c.first == First::column) {
            Column(2)->Free();
            EXPECT_EQ(list->GetColumnCount(), 2);
            EXPECT_EQ(list->DataController()->GetItemCount(), 2);
        }
        list = nullptr;
        form->Free();
        form = nullptr;
    }
}

// ---- display text ------------------------------------------------------------------------

using DisplayTextTest = TreeListTest;

TEST_F(DisplayTextTest, TheHandlerAnswersForEitherValueSourceAndAnEmptyAnswerOfAValueEditorKeepsTheValue)
{
    struct Case {
        const char* name;
        TcxDataEditValueSource source;
        bool handled;
        std::string answer;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"value editor, no handler", evsValue, false, "", "7"},
        {"value editor, handler answers", evsValue, true, "seven", "seven"},
        {"value editor, empty answer keeps the value", evsValue, true, "", "7"},
        {"text editor, no handler", evsText, false, "", "7"},
        {"text editor, handler answers", evsText, true, "seven", "seven"},
        {"text editor, empty answer is shown empty", evsText, true, "", ""},
    };
    MakeTreeList(1);
    MakeInteger(Column(0));
    TcxTreeListNode* node = AddRow(nullptr, {Variant(7)});
    auto* properties = static_cast<TTestTextProperties*>(Column(0)->Properties());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        properties->source = c.source;
        // Read once before the handler is set, so nothing from an earlier
        // read may stand in for the handler's answer.
        Column(0)->OnGetDisplayText = {};
        node->GetText(0);
        std::string seen = "unset";
        if (c.handled)
            Column(0)->OnGetDisplayText = TcxTreeListGetDisplayTextEvent::FromFunction(
                [&](TcxTreeListColumn*, TcxTreeListNode*, std::string& text) {
                    seen = text;
                    text = c.answer;
                });
        EXPECT_EQ(node->GetText(0), c.expected);
        EXPECT_EQ(Column(0)->GetDisplayText(node->RecordIndex()), c.expected);
        // A value editor's handler is asked with an empty text; a text
        // editor's with the display text.
        if (c.handled) {
            EXPECT_EQ(seen, c.source == evsValue ? "" : "7");
        }
    }
    Column(0)->OnGetDisplayText = {};
}

TEST_F(DisplayTextTest, AHandlerThatWritesTheRecordAndAnswersEmptyShowsTheWrittenValue)
{
    MakeTreeList(1);
    TcxTreeListNode* node = AddRow(nullptr, {Variant("old")});
    Column(0)->OnGetDisplayText = TcxTreeListGetDisplayTextEvent::FromFunction(
        [](TcxTreeListColumn*, TcxTreeListNode* row, std::string& text) {
            row->SetValue(0, Variant("new"));
            text.clear();
        });
    EXPECT_EQ(node->GetText(0), "new");
    Column(0)->OnGetDisplayText = {};
}

TEST_F(DisplayTextTest, AColumnMovedToAnotherListReadsThatList)
{
    MakeTreeList(1);
    ObjectPtr<TcxTreeList> other = MakeObject<TcxTreeList>(nullptr);
    TcxTreeListColumn* column = other->CreateColumn();
    TcxTreeListNode* first = AddRow(nullptr, {Variant("first list")});
    TcxTreeListNode* second = other->AddChild(nullptr);
    second->SetValue(0, Variant("second list"));
    ASSERT_EQ(column->TreeList(), other.get());
    EXPECT_EQ(second->GetText(0), "second list");
    column->SetEditingControl(nullptr);
    EXPECT_EQ(column->TreeList(), nullptr);
    EXPECT_EQ(column->GetDisplayText(0), "");
    column->SetEditingControl(list);
    EXPECT_EQ(column->TreeList(), list);
    ASSERT_EQ(column->ItemIndex(), 1);
    first->SetValue(1, Variant("moved"));
    EXPECT_EQ(first->GetText(1), "moved");
    EXPECT_EQ(column->GetDisplayText(first->RecordIndex()), "moved");
    column->Free();
}

// ---- bands ------------------------------------------------------------------------------

using BandsTest = TreeListTest;

TEST_F(BandsTest, ABandWithoutColumnsIsAHundredWideAndOneWithColumnsFollowsThem)
{
    MakeTreeList(0);
    TcxTreeListBand* empty = list->Bands()->Add();
    Pump();
    EXPECT_EQ(empty->Width(), 0);
    EXPECT_EQ(empty->CurrentWidth(), 100);
    TcxTreeListColumn* a = list->CreateColumn(empty);
    TcxTreeListColumn* b = list->CreateColumn(empty);
    b->Position()->SetRowIndex(1);
    a->SetWidth(80);
    b->SetWidth(130);
    Pump();
    EXPECT_EQ(empty->CurrentWidth(), 130) << "the widest row";
    empty->SetMinWidth(200);
    Pump();
    EXPECT_EQ(empty->CurrentWidth(), 200) << "never below its minimal width";
}

TEST_F(BandsTest, FixedKindMovesToTheEdgeAndHidingResetsIt)
{
    MakeTreeList(0);
    TcxTreeListBand* b0 = list->Bands()->Add();
    TcxTreeListBand* b1 = list->Bands()->Add();
    TcxTreeListBand* b2 = list->Bands()->Add();
    Pump();
    b2->SetFixedKind(tlbfLeft);
    Pump();
    EXPECT_EQ(b2->VisibleIndex(), 0);
    EXPECT_TRUE(b2->IsLeftMost());
    EXPECT_FALSE(b2->CanMoving());
    b0->SetFixedKind(tlbfRight);
    Pump();
    EXPECT_EQ(b0->VisibleIndex(), 2);
    EXPECT_EQ(b1->VisibleIndex(), 1);
    EXPECT_EQ(list->GetFixedBandCount(), 2);
    b2->SetVisible(false);
    b2->SetVisible(true);
    Pump();
    EXPECT_EQ(b2->FixedKind(), tlbfNone);
    EXPECT_EQ(b2->VisibleIndex(), 1) << "back in collection order between the free band and the right-fixed one";
    // A hidden band ignores a fixed kind.
    b1->SetVisible(false);
    b1->SetFixedKind(tlbfLeft);
    EXPECT_EQ(b1->FixedKind(), tlbfNone);
}

TEST_F(BandsTest, RefreshBandStatesKeepsFixedBandsOnlyAtTheEdges)
{
    MakeTreeList(0);
    TcxTreeListBand* b0 = list->Bands()->Add();
    TcxTreeListBand* b1 = list->Bands()->Add();
    TcxTreeListBand* b2 = list->Bands()->Add();
    Pump();
    b0->SetFixedKind(tlbfLeft);
    b1->SetFixedKind(tlbfLeft);
    Pump();
    // Equal weights go by collection order: b0 stays first, b1 loses its kind.
    EXPECT_EQ(b0->VisibleIndex(), 0);
    EXPECT_EQ(b0->FixedKind(), tlbfLeft);
    EXPECT_EQ(b1->FixedKind(), tlbfNone);
    b1->SetFixedKind(tlbfRight);
    Pump();
    EXPECT_EQ(b1->VisibleIndex(), 2) << "a right-fixed band in the middle of the collection is shown last";
    EXPECT_EQ(b2->VisibleIndex(), 1);
    list->Bands()->RefreshBandStates();
    EXPECT_EQ(b1->VisibleIndex(), 2);
}

TEST_F(BandsTest, VisibleIndexSetterPlacesTheBandWhereTheGetterReadsIt)
{
    MakeTreeList(0);
    TcxTreeListBand* b0 = list->Bands()->Add();
    TcxTreeListBand* b1 = list->Bands()->Add();
    TcxTreeListBand* b2 = list->Bands()->Add();
    Pump();
    b0->SetVisibleIndex(2);
    EXPECT_EQ(b0->VisibleIndex(), 2);
    EXPECT_EQ(b1->VisibleIndex(), 0);
    b2->SetFixedKind(tlbfLeft);
    Pump();
    b0->SetVisibleIndex(0);
    EXPECT_EQ(b0->VisibleIndex(), 1) << "not in front of a left-fixed band";
    b2->SetVisibleIndex(2);
    EXPECT_EQ(b2->VisibleIndex(), 0) << "a fixed band does not move";
    b1->SetVisibleIndex(-2);
    EXPECT_FALSE(b1->Visible());
}

TEST_F(BandsTest, WidthOfABandIsClampedAndZeroFollowsTheColumns)
{
    MakeTreeList(2);
    TcxTreeListBand* band = list->Bands()->Items(0);
    int sizeEvents = 0;
    list->OnBandSizeChanged = TcxTreeListItemChangedEvent::FromFunction([&](TObject*, TObject*) { ++sizeEvents; });
    band->SetWidth(5);
    EXPECT_EQ(band->Width(), 40) << "clamped to MinWidth, then no narrower than the columns' minimums";
    EXPECT_EQ(band->CurrentWidth(), 40);
    EXPECT_EQ(sizeEvents, 1);
    band->SetWidth(0);
    Pump();
    EXPECT_EQ(band->Width(), 0);
    EXPECT_EQ(band->CurrentWidth(), 200);
}

TEST_F(BandsTest, ColumnAutoWidthSharesTheClientWidthOverTheBands)
{
    MakeTreeList(0);
    TcxTreeListBand* b0 = list->Bands()->Add();
    TcxTreeListBand* b1 = list->Bands()->Add();
    list->CreateColumn(b0);
    list->CreateColumn(b1);
    list->OptionsView()->SetColumnAutoWidth(true);
    list->LayoutChanged();
    Pump();
    const RECT client = list->GetClientBounds();
    EXPECT_EQ(b0->CurrentWidth() + b1->CurrentWidth(), client.right - client.left);
    EXPECT_EQ(b0->CurrentWidth(), b1->CurrentWidth());
}

} // namespace
