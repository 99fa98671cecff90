// Focus, navigation, bookmark and selection of the data controller, and
// the focus and selection notices.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

class ControllerFocus : public ::testing::Test {
protected:
    void Load(int count)
    {
        dc->SetRecordCount(count);
        for (int r = 0; r < count; ++r) dc->SetValue(r, text, Variant("r" + std::to_string(r)));
        dc->notices.clear();
    }

    TestDataControllerPtr dc = MakeTestDataController();
    int text = dc->AddColumn(TcxStringValueType::Class());
};

TEST_F(ControllerFocus, NavigationKeys)
{
    enum Step { First, Prior, Next, Last, ByIndex, By };
    struct Case {
        const char* name;
        int start;
        Step step;
        int argument;
        int expectedRow;
    };
    const Case cases[] = {
        {"first", 3, First, 0, 0},
        {"last", 1, Last, 0, 4},
        {"next", 1, Next, 0, 2},
        {"next on the last row stays", 4, Next, 0, 4},
        {"prior", 3, Prior, 0, 2},
        {"prior on row 0 stays", 0, Prior, 0, 0},
        {"prior without focus goes to row 0", -1, Prior, 0, 0},
        {"next without focus goes to row 0", -1, Next, 0, 0},
        {"by index", 0, ByIndex, 3, 3},
        {"by index beyond the end clamps", 0, ByIndex, 99, 4},
        {"by index -1 removes the focus", 2, ByIndex, -1, -1},
        {"move by two", 1, By, 2, 3},
        {"move by past the end", 1, By, 10, 4},
        {"move by before the start", 3, By, -10, 0},
        {"move by the largest distance", 2, By, 2147483647, 4},
        {"move by the smallest distance", 2, By, -2147483647 - 1, 0},
        {"by the largest index", 1, ByIndex, 2147483647, 4},
    };
    Load(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dc->ChangeFocusedRowIndex(c.start);
        ASSERT_EQ(dc->GetFocusedRowIndex(), c.start);
        switch (c.step) {
        case First: dc->GotoFirst(); break;
        case Prior: dc->GotoPrev(); break;
        case Next: dc->GotoNext(); break;
        case Last: dc->GotoLast(); break;
        case ByIndex: EXPECT_TRUE(dc->ChangeFocusedRowIndex(c.argument)); break;
        case By: dc->MoveBy(c.argument); break;
        }
        EXPECT_EQ(dc->GetFocusedRowIndex(), c.expectedRow);
        EXPECT_EQ(dc->IsBOF(), c.expectedRow == 0);
        EXPECT_EQ(dc->IsEOF(), c.expectedRow == 4);
    }
}

TEST_F(ControllerFocus, RefusedMovesKeepTheFocus)
{
    Load(5);
    dc->ChangeFocusedRowIndex(1);
    dc->refusedRecords = {2, 4};
    EXPECT_FALSE(dc->ChangeFocusedRowIndex(2));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
    dc->GotoNext();
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
    dc->GotoLast();
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
    EXPECT_FALSE(dc->ChangeFocusedRecordIndex(4));
    EXPECT_TRUE(dc->ChangeFocusedRecordIndex(3));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 3);
    // Focusing the focused row again is no refusal.
    EXPECT_TRUE(dc->ChangeFocusedRowIndex(3));
}

TEST_F(ControllerFocus, EmptyControllerIsBothBofAndEof)
{
    EXPECT_TRUE(dc->IsBOF());
    EXPECT_TRUE(dc->IsEOF());
    dc->GotoNext();
    EXPECT_EQ(dc->GetFocusedRowIndex(), -1);
    EXPECT_EQ(dc->GetLastRecordIndex(), -1);
    EXPECT_THROW(dc->GetRowInfo(0), EcxInvalidDataControllerOperation);
    EXPECT_THROW(dc->ChangeFocusedRecordIndex(0), EcxInvalidDataControllerOperation);
}

TEST_F(ControllerFocus, FocusNoticesNameThePreviousAndNewRowAndRecord)
{
    Load(3);
    dc->ChangeFocusedRowIndex(0);
    dc->ChangeFocusedRowIndex(2);
    dc->ChangeFocusedRowIndex(-1);
    EXPECT_EQ(dc->notices, (std::vector<std::string>{"row -1>0", "focus -1>0 -1>0", "row 0>2", "focus 0>2 0>2", "row 2>-1",
                                                     "focus 2>-1 2>-1"}));
}

TEST_F(ControllerFocus, FocusFollowsItsRecordWhenSorted)
{
    Load(3);
    dc->ChangeFocusedRecordIndex(0);
    dc->ChangeSorting(text, soDescending);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 0);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 2);
    EXPECT_EQ(dc->GetRowIndexByRecordIndex(2, false), 0);
}

TEST_F(ControllerFocus, FocusTopRowAfterSorting)
{
    Load(3);
    dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoFocusTopRowAfterSorting});
    dc->ChangeFocusedRecordIndex(1);
    dc->SetMultiSelect(true);
    dc->SelectRows(1, 2);
    dc->ChangeSorting(text, soDescending);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 2);
    EXPECT_EQ(dc->GetSelectedCount(), 0);
}

TEST_F(ControllerFocus, Bookmarks)
{
    Load(4);
    EXPECT_FALSE(dc->IsBookmarkAvailable());
    dc->ChangeFocusedRowIndex(2);
    dc->SaveBookmark();
    EXPECT_TRUE(dc->IsBookmarkAvailable());
    EXPECT_TRUE(dc->IsBookmarkRow(2));
    EXPECT_FALSE(dc->IsBookmarkRow(1));
    dc->GotoFirst();
    dc->GotoBookmark();
    EXPECT_EQ(dc->GetFocusedRowIndex(), 2);
    dc->notices.clear();
    dc->SaveBookmark(); // the same record: nothing
    EXPECT_TRUE(dc->NoticesOf("bookmark").empty());

    // Deleting the bookmarked record clears it with a notice.
    dc->DeleteRecord(2);
    EXPECT_FALSE(dc->IsBookmarkAvailable());
    EXPECT_EQ(dc->NoticesOf("bookmark").size(), 1u);

    // Filtering it out does too.
    dc->ChangeFocusedRowIndex(0);
    dc->SaveBookmark();
    dc->notices.clear();
    dc->OnFilterRecord = TcxDataFilterRecordEvent::FromFunction([](TcxCustomDataController*, int r, bool& accept) { accept = r != 0; });
    dc->Refresh();
    EXPECT_FALSE(dc->IsBookmarkAvailable());
    EXPECT_EQ(dc->NoticesOf("bookmark").size(), 1u);
    dc->ClearBookmark();
    EXPECT_EQ(dc->NoticesOf("bookmark").size(), 1u);
}

TEST_F(ControllerFocus, FilteringOutTheFocusedRecordFocusesTheFirstRow)
{
    Load(4);
    dc->ChangeFocusedRowIndex(2);
    dc->OnFilterRecord = TcxDataFilterRecordEvent::FromFunction([](TcxCustomDataController*, int r, bool& accept) { accept = r != 2; });
    dc->Refresh();
    EXPECT_EQ(dc->GetRowCount(), 3);
    EXPECT_EQ(dc->GetFilteredIndexByRecordIndex(2), -1);
    EXPECT_EQ(dc->GetFilteredRecordIndex(2), 3);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
}

TEST_F(ControllerFocus, TheEditedRecordIsNeverFilteredOut)
{
    Load(3);
    dc->ChangeFocusedRowIndex(1);
    dc->OnFilterRecord = TcxDataFilterRecordEvent::FromFunction(
        [this](TcxCustomDataController*, int r, bool& accept) { accept = dc->GetValue(r, text).AsString() != "hide"; });
    dc->SetEditValue(text, Variant("hide"), evsValue);
    EXPECT_EQ(dc->GetRowCount(), 3);
    dc->Post();
    EXPECT_EQ(dc->GetRowCount(), 2);
    // After a post that filtered the focused record away, row 0 is focused.
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
}

TEST_F(ControllerFocus, FocusedSelectedMode)
{
    Load(4);
    EXPECT_EQ(dc->GetSelectedCount(), 0);
    dc->ChangeFocusedRowIndex(2);
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_EQ(dc->GetSelectedRowIndex(0), 2);
    EXPECT_TRUE(dc->IsRowSelected(2));
    EXPECT_FALSE(dc->IsRowSelected(1));
    dc->ChangeRowSelection(1, true); // ignored in this mode
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    dc->SyncSelected(false);
    EXPECT_EQ(dc->GetSelectedCount(), 0);
    EXPECT_EQ(dc->NoticesOf("selection"), std::vector<std::string>{"selection [2]"});
}

TEST_F(ControllerFocus, FocusSelectedRow)
{
    Load(5);
    dc->ChangeFocusedRowIndex(1);
    EXPECT_FALSE(dc->FocusSelectedRow(1)); // nothing there: the focus stays
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
    dc->SetMultiSelect(true);
    dc->SelectRows(3, 4);
    EXPECT_TRUE(dc->FocusSelectedRow(2));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 4);
    EXPECT_THROW(dc->FocusSelectedRow(3), EcxInvalidDataControllerOperation);
}

TEST_F(ControllerFocus, MultiSelectRowsAndNotices)
{
    Load(8);
    dc->ChangeFocusedRowIndex(3);
    dc->SetMultiSelect(true);
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_TRUE(dc->IsRowSelected(3));

    dc->notices.clear();
    dc->BeginUpdate();
    dc->ChangeRowSelection(3, false);
    dc->ChangeRowSelection(6, true);
    dc->EndUpdate();
    dc->SelectRows(5, 2); // swapped
    dc->ChangeRowSelection(2, false);
    dc->ClearSelection();
    dc->ChangeRowSelection(4, true);
    EXPECT_EQ(dc->NoticesOf("selection"),
              (std::vector<std::string>{"selection [3 6]", "selection []", "selection []", "selection []", "selection [4]"}));

    dc->ClearSelection();
    dc->SelectRows(5, 2);
    std::vector<int> rows;
    dc->ForEachRow(true, [&](int row, const TcxRowInfo& info) {
        rows.push_back(row);
        EXPECT_EQ(info.RecordIndex, row);
    });
    EXPECT_EQ(rows, (std::vector<int>{2, 3, 4, 5}));
    EXPECT_THROW(dc->ChangeRowSelection(8, true), EcxInvalidDataControllerOperation);
}

TEST_F(ControllerFocus, SelectionAnchor)
{
    Load(6);
    dc->SetMultiSelect(true);
    dc->SelectFromAnchor(4, false); // no anchor: nothing
    EXPECT_EQ(dc->GetSelectedCount(), 0);
    dc->SetSelectionAnchor(1);
    EXPECT_TRUE(dc->IsSelectionAnchorExist());
    dc->SelectFromAnchor(3, false);
    EXPECT_EQ(dc->GetSelectedCount(), 3);
    dc->ChangeRowSelection(5, true);
    dc->SelectFromAnchor(2, false);
    EXPECT_EQ(dc->GetSelectedCount(), 2);
    dc->SelectFromAnchor(4, true);
    EXPECT_EQ(dc->GetSelectedCount(), 4);
    EXPECT_THROW(dc->SetSelectionAnchor(6), EcxInvalidDataControllerOperation);
    dc->ClearSelectionAnchor();
    EXPECT_FALSE(dc->IsSelectionAnchorExist());
}

TEST_F(ControllerFocus, SelectionFollowsItsRecordsWhenSortedOrFiltered)
{
    Load(4);
    dc->SetMultiSelect(true);
    dc->SelectRows(0, 1);
    dc->SetSelectionAnchor(0);
    dc->ChangeSorting(text, soDescending); // r3 r2 r1 r0
    EXPECT_EQ(dc->GetSelectedCount(), 2);
    EXPECT_TRUE(dc->IsRowSelected(2));
    EXPECT_TRUE(dc->IsRowSelected(3));
    // The anchor row no longer names a selected row.
    EXPECT_FALSE(dc->IsSelectionAnchorExist());
    dc->OnFilterRecord = TcxDataFilterRecordEvent::FromFunction([](TcxCustomDataController*, int r, bool& accept) { accept = r != 1; });
    dc->Refresh(); // r3 r2 r0
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_TRUE(dc->IsRowSelected(2));
}

TEST_F(ControllerFocus, DeletedRecordsLeaveTheSelection)
{
    Load(5);
    dc->SetMultiSelect(true);
    dc->SelectRows(3, 4);
    dc->SetRecordCount(4);
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_TRUE(dc->IsRowSelected(3));
}

} // namespace
