// The edit buffer: edit, insert, append, set value, post, cancel, and
// deletion with the focus moving to the right record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

class ControllerEditing : public ::testing::Test {
protected:
    // Records "r0".."r<n-1>" in the text item.
    void Load(int count)
    {
        dc->SetRecordCount(count);
        for (int r = 0; r < count; ++r) dc->SetValue(r, text, Variant("r" + std::to_string(r)));
        dc->notices.clear();
    }

    std::vector<std::string> Column() { return RowTexts(*dc, text); }

    std::string State()
    {
        const TcxDataControllerEditState s = dc->GetEditState();
        std::string result;
        if (s.Contains(dceInsert)) result += "I";
        if (s.Contains(dceEdit)) result += "E";
        if (s.Contains(dceChanging)) result += "C";
        if (s.Contains(dceModified)) result += "M";
        return result.empty() ? "-" : result;
    }

    TestDataControllerPtr dc = MakeTestDataController();
    int text = dc->AddColumn(TcxStringValueType::Class());
};

TEST_F(ControllerEditing, EditPostAndCancelTransitions)
{
    Load(3);
    dc->ChangeFocusedRowIndex(1);
    EXPECT_EQ(State(), "-");
    EXPECT_FALSE(dc->GetIsEditing());

    dc->Edit();
    EXPECT_EQ(State(), "E");
    EXPECT_TRUE(dc->GetIsEditing());
    EXPECT_EQ(dc->GetEditingRecordIndex(), 1);
    EXPECT_EQ(dc->NoticesOf("record"), std::vector<std::string>{"record 1"});

    EXPECT_TRUE(dc->SetEditValue(text, Variant("changed"), evsValue));
    EXPECT_EQ(State(), "ECM");
    EXPECT_EQ(dc->GetEditValue(text, evsValue).AsString(), "changed");
    dc->PostEditingData();
    EXPECT_EQ(State(), "EM");

    // Cancel restores the values saved when editing started.
    dc->Cancel();
    EXPECT_EQ(State(), "-");
    EXPECT_EQ(dc->GetValue(1, text).AsString(), "r1");
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);

    dc->Edit();
    dc->SetEditValue(text, Variant("kept"), evsValue);
    dc->Edit(); // editing again keeps the saved copy
    dc->Post();
    EXPECT_EQ(State(), "-");
    EXPECT_EQ(dc->GetValue(1, text).AsString(), "kept");
    // Posting with nothing edited does nothing.
    dc->notices.clear();
    dc->Post();
    EXPECT_TRUE(dc->NoticesOf("data").empty());
}

TEST_F(ControllerEditing, EventsAroundPostAndCancel)
{
    Load(2);
    std::vector<std::string> events;
    auto note = [&](const char* name) {
        return TcxDataControllerNotifyEvent::FromFunction([&events, name](TcxCustomDataController*) { events.push_back(name); });
    };
    dc->OnBeforePost = note("before post");
    dc->OnAfterPost = note("after post");
    dc->OnBeforeCancel = note("before cancel");
    dc->OnAfterCancel = note("after cancel");
    dc->OnBeforeInsert = note("before insert");
    dc->OnAfterInsert = note("after insert");
    dc->OnNewRecord = TcxDataControllerRecordEvent::FromFunction(
        [&](TcxCustomDataController*, int r) { events.push_back("new " + std::to_string(r)); });

    dc->ChangeFocusedRowIndex(0);
    dc->Edit();
    dc->SetEditValue(text, Variant("x"), evsValue);
    dc->Post();
    dc->Append();
    dc->Cancel();
    EXPECT_EQ(events, (std::vector<std::string>{"before post", "after post", "before insert", "new 2", "after insert",
                                                "before cancel", "after cancel"}));
}

TEST_F(ControllerEditing, InsertAndAppendFocusTheNewRecord)
{
    Load(3);
    dc->ChangeFocusedRowIndex(1);
    dc->Insert();
    EXPECT_EQ(State(), "I");
    EXPECT_EQ(dc->GetRecordCount(), 4);
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 1);
    dc->SetEditValue(text, Variant("ins"), evsValue);
    dc->Post();
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "ins", "r1", "r2"}));

    dc->Append();
    EXPECT_EQ(State(), "I");
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 4);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 4);
    dc->SetEditValue(text, Variant("app"), evsValue);
    dc->Post();
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "ins", "r1", "r2", "app"}));
}

TEST_F(ControllerEditing, UntouchedInsertionIsDroppedByPostAndCancel)
{
    Load(2);
    dc->ChangeFocusedRowIndex(1);
    dc->Insert();
    EXPECT_EQ(dc->GetRecordCount(), 3);
    dc->Post();
    EXPECT_EQ(dc->GetRecordCount(), 2);
    EXPECT_EQ(State(), "-");

    dc->Append();
    dc->SetEditValue(text, Variant("gone"), evsValue);
    dc->Cancel();
    EXPECT_EQ(dc->GetRecordCount(), 2);
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r1"}));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
}

TEST_F(ControllerEditing, InsertIntoAnEmptyController)
{
    dc->Insert();
    EXPECT_EQ(dc->GetRecordCount(), 1);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
    dc->SetEditValue(text, Variant("first"), evsValue);
    dc->Post();
    EXPECT_EQ(Column(), std::vector<std::string>{"first"});
}

TEST_F(ControllerEditing, TextSourceStoresEmptyTextAsNull)
{
    Load(1);
    dc->ChangeFocusedRowIndex(0);
    EXPECT_TRUE(dc->SetEditValue(text, Variant(""), evsText));
    EXPECT_TRUE(dc->GetValue(0, text).IsNull());
    EXPECT_TRUE(dc->SetEditValue(text, Variant(""), evsValue));
    EXPECT_EQ(dc->GetValue(0, text).VarType(), hostlib::varString);
}

TEST_F(ControllerEditing, ImmediatePostPostsEverySetEditValue)
{
    Load(2);
    dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoImmediatePost});
    dc->ChangeFocusedRowIndex(0);
    int posts = 0;
    dc->OnAfterPost = TcxDataControllerNotifyEvent::FromFunction([&](TcxCustomDataController*) { ++posts; });
    dc->SetEditValue(text, Variant("a"), evsValue);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(State(), "-");
    dc->SetEditValue(text, Variant("b"), evsValue);
    EXPECT_EQ(posts, 2);
}

TEST_F(ControllerEditing, EditingNeedsAFocusedRecord)
{
    Load(2);
    EXPECT_THROW(dc->SetEditValue(text, Variant("x"), evsValue), EcxInvalidDataControllerOperation);
    EXPECT_THROW(dc->GetEditValue(text, evsValue), EcxInvalidDataControllerOperation);
    EXPECT_THROW(dc->SetEditValue(5, Variant("x"), evsValue), EcxInvalidDataControllerOperation);
    EXPECT_EQ(State(), "-");
}

TEST_F(ControllerEditing, MovingTheFocusPostsTheEdit)
{
    Load(3);
    dc->ChangeFocusedRowIndex(0);
    dc->SetEditValue(text, Variant("moved"), evsValue);
    EXPECT_EQ(State(), "ECM");
    dc->GotoNext();
    EXPECT_EQ(State(), "-");
    EXPECT_EQ(dc->GetValue(0, text).AsString(), "moved");
}

TEST_F(ControllerEditing, EditOperations)
{
    TcxDataControllerEditOperations ops = dc->GetEditOperations();
    EXPECT_TRUE(ops.Contains(dceoAppend) && ops.Contains(dceoEdit) && ops.Contains(dceoInsert) && ops.Contains(dceoShowEdit));
    EXPECT_FALSE(ops.Contains(dceoDelete));
    Load(1);
    EXPECT_TRUE(dc->GetEditOperations().Contains(dceoDelete));
}

// ---- deletion ----------------------------------------------------------------

TEST_F(ControllerEditing, DeleteFocusedMovesToTheNearestRow)
{
    struct Case {
        int count;
        int focused;
        std::vector<std::string> rows;
        int focusedRow;
        const char* focusedText;
    };
    const Case cases[] = {
        {5, 2, {"r0", "r1", "r3", "r4"}, 2, "r3"},
        {5, 0, {"r1", "r2", "r3", "r4"}, 0, "r1"},
        {5, 4, {"r0", "r1", "r2", "r3"}, 3, "r3"},
        {1, 0, {}, -1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + "/" + std::to_string(c.focused));
        dc->SetRecordCount(0);
        Load(c.count);
        dc->ChangeFocusedRowIndex(c.focused);
        std::vector<int> deleted;
        dc->OnBeforeDelete =
            TcxDataControllerRecordEvent::FromFunction([&](TcxCustomDataController*, int r) { deleted.push_back(r); });
        dc->DeleteFocused();
        EXPECT_EQ(deleted, std::vector<int>{c.focused});
        EXPECT_EQ(Column(), c.rows);
        EXPECT_EQ(dc->GetFocusedRowIndex(), c.focusedRow);
        if (c.focusedText) {
            EXPECT_EQ(dc->GetValue(dc->GetFocusedRecordIndex(), text).AsString(), c.focusedText);
        }
        EXPECT_EQ(dc->NearestRecordIndex(), -1);
    }
}

TEST_F(ControllerEditing, DeleteFocusedInASortedList)
{
    Load(4); // r0..r3 shown descending: r3 r2 r1 r0
    dc->ChangeSorting(text, soDescending);
    dc->ChangeFocusedRowIndex(1); // r2
    dc->DeleteFocused();
    EXPECT_EQ(Column(), (std::vector<std::string>{"r3", "r1", "r0"}));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
    EXPECT_EQ(dc->GetValue(dc->GetFocusedRecordIndex(), text).AsString(), "r1");
}

TEST_F(ControllerEditing, DeleteSelectionKeepsTheFocusOnTheRecordAfterIt)
{
    // Rows 3, 4 and 5 selected with 5 focused: the nearest record is 6, and
    // after the three deletions it is record 3.
    Load(9);
    dc->SetMultiSelect(true);
    dc->ChangeFocusedRowIndex(5);
    dc->SelectRows(3, 5);
    EXPECT_EQ(dc->GetSelectedCount(), 3);
    dc->DeleteSelection();
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r1", "r2", "r6", "r7", "r8"}));
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 3);
    EXPECT_EQ(dc->GetValue(3, text).AsString(), "r6");
    EXPECT_EQ(dc->GetSelectedCount(), 0);
}

TEST_F(ControllerEditing, DeleteSelectionWithTheFocusOutsideIt)
{
    Load(6);
    dc->SetMultiSelect(true);
    dc->ChangeFocusedRowIndex(4);
    dc->ClearSelection();
    dc->SelectRows(1, 2);
    dc->DeleteSelection();
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r3", "r4", "r5"}));
    EXPECT_EQ(dc->GetValue(dc->GetFocusedRecordIndex(), text).AsString(), "r4");
}

TEST_F(ControllerEditing, DeleteRecordsSortsAndDropsDuplicates)
{
    Load(6);
    std::vector<int> order;
    dc->OnBeforeDelete = TcxDataControllerRecordEvent::FromFunction([&](TcxCustomDataController*, int r) { order.push_back(r); });
    dc->notices.clear();
    dc->DeleteRecords({4, 1, 4, 2});
    EXPECT_EQ(order, (std::vector<int>{4, 2, 1}));
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r3", "r5"}));
    // One bracket: one data notice.
    EXPECT_EQ(dc->NoticesOf("data").size(), 1u);
    EXPECT_THROW(dc->DeleteRecords({0, 3}), EcxInvalidDataControllerOperation);
    EXPECT_EQ(dc->GetRecordCount(), 3);
}

TEST_F(ControllerEditing, DeletingTheEditedOrAnEarlierRecordEndsEditing)
{
    Load(4);
    dc->ChangeFocusedRowIndex(2);
    dc->Edit();
    dc->DeleteRecord(0);
    EXPECT_EQ(State(), "-");
    dc->ChangeFocusedRowIndex(1);
    dc->Edit();
    dc->DeleteRecord(2);
    EXPECT_EQ(State(), "E");
    dc->DeleteRecord(dc->GetEditingRecordIndex());
    EXPECT_EQ(State(), "-");
}

TEST_F(ControllerEditing, EditedLastRowStaysLastUntilPosted)
{
    Load(3); // r0 r1 r2 ascending
    dc->ChangeSorting(text, soAscending);
    dc->ChangeFocusedRowIndex(2);
    dc->Edit();
    dc->SetEditValue(text, Variant("a"), evsValue);
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r1", "a"}));
    dc->Post();
    EXPECT_EQ(Column(), (std::vector<std::string>{"a", "r0", "r1"}));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
}

TEST_F(ControllerEditing, InsertedRecordStaysAboveTheFocusedRowUntilPosted)
{
    Load(3);
    dc->ChangeSorting(text, soAscending);
    dc->ChangeFocusedRowIndex(1); // r1
    dc->Insert();
    dc->SetEditValue(text, Variant("zz"), evsValue);
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "zz", "r1", "r2"}));
    dc->Post();
    EXPECT_EQ(Column(), (std::vector<std::string>{"r0", "r1", "r2", "zz"}));

    dc->Append();
    dc->SetEditValue(text, Variant("a"), evsValue);
    EXPECT_EQ(Column().back(), "a");
    dc->Post();
    EXPECT_EQ(Column().front(), "a");
}

TEST_F(ControllerEditing, NewItemRowEditsAnInternalRecordAndAppendsOnPost)
{
    Load(2);
    dc->SetUseNewItemRowForEditing(true);
    dc->SetNewItemRowFocused(true);
    EXPECT_TRUE(dc->GetNewItemRowFocused());
    EXPECT_EQ(dc->GetFocusedRowIndex(), -1);
    EXPECT_TRUE(dc->GetEditValue(text, evsValue).IsNull());
    EXPECT_TRUE(dc->SetEditValue(text, Variant("new"), evsValue));
    EXPECT_EQ(State(), "ICM");
    EXPECT_EQ(dc->GetRecordCount(), 2);
    dc->Post();
    EXPECT_EQ(dc->GetRecordCount(), 3);
    EXPECT_EQ(dc->GetValue(2, text).AsString(), "new");
    EXPECT_EQ(State(), "-");
}

} // namespace
