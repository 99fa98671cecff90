// Finding records: the incremental search, text lookup, lookups by field
// values and the locate objects with their value readers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataSearch.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

class Search : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<const char*> names = {"apple", "Banana", "avocado", "cherry", "blueberry"};
        dc->BeginUpdate();
        for (const char* n : names) dc->SetValue(dc->AppendRecord(), name, Variant(n));
        dc->EndUpdate();
        dc->notices.clear();
    }

    TcxDataControllerSearch& search() { return dc->Search(); }

    TestDataControllerPtr dc = MakeTestDataController();
    const int name = dc->AddColumn(TcxStringValueType::Class());
};

} // namespace

TEST_F(Search, EmptyTextFindsNothing)
{
    dc->ChangeFocusedRowIndex(2);
    EXPECT_FALSE(search().Locate(name, ""));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 2);
    EXPECT_FALSE(search().GetSearching());
}

TEST_F(Search, LocateStartsAtTheFocusAndWrapsOnce)
{
    dc->ChangeFocusedRowIndex(2);
    EXPECT_TRUE(search().Locate(name, "A")); // the focused record matches itself
    EXPECT_EQ(dc->GetFocusedRowIndex(), 2);
    dc->ChangeFocusedRowIndex(3);
    EXPECT_TRUE(search().Locate(name, "b"));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 4);
    EXPECT_TRUE(search().Locate(name, "ba")); // not below: from the top
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
    EXPECT_TRUE(search().GetSearching());
    EXPECT_EQ(search().GetSearchText(), "ba");
    EXPECT_EQ(search().GetItemIndex(), name);
    EXPECT_FALSE(search().Locate(name, "kiwi"));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 1);
}

TEST_F(Search, LocateNextNeverWraps)
{
    EXPECT_FALSE(search().LocateNext(true)); // no search yet
    dc->ChangeFocusedRowIndex(0);
    ASSERT_TRUE(search().Locate(name, "a"));
    EXPECT_TRUE(search().LocateNext(true));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 2);
    EXPECT_FALSE(search().LocateNext(true));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 2);
    EXPECT_TRUE(search().LocateNext(false));
    EXPECT_EQ(dc->GetFocusedRowIndex(), 0);
    EXPECT_FALSE(search().LocateNext(false));
    EXPECT_TRUE(search().GetSearching());
}

TEST_F(Search, AFocusByHandEndsTheSearch)
{
    ASSERT_TRUE(search().Locate(name, "c"));
    EXPECT_EQ(dc->NoticesOf("search").size(), 1u);
    EXPECT_TRUE(search().GetSearching());
    dc->ChangeFocusedRowIndex(0);
    EXPECT_FALSE(search().GetSearching());
    EXPECT_EQ(search().GetSearchText(), "");
    EXPECT_EQ(dc->NoticesOf("search").size(), 2u);
}

TEST_F(Search, TheFoundRowBecomesTheSelection)
{
    dc->SetMultiSelect(true);
    dc->ChangeRowSelection(0, true);
    ASSERT_TRUE(search().Locate(name, "ch"));
    EXPECT_EQ(dc->GetSelectedCount(), 1);
    EXPECT_EQ(dc->GetSelectedRowIndex(0), 3);
}

TEST_F(Search, FindRecordIndexByText)
{
    struct Case {
        int start;
        std::string text;
        bool partial;
        bool circular;
        bool forward;
        int expected;
    };
    const std::vector<Case> cases = {
        {0, "b", true, false, true, 1},
        {2, "b", true, false, true, 4},
        {4, "a", true, false, false, 2}, // backward from the last position
        {4, "apple", false, false, false, 0},
        {3, "ap", true, false, true, -1},
        {3, "ap", true, true, true, 0},
        {1, "cherry", false, true, false, 3},
        {1, "cherry", false, false, false, -1},
        {0, "", false, true, true, -1},
        {-1, "apple", false, true, true, -1},
        {5, "apple", false, true, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " from " + std::to_string(c.start));
        EXPECT_EQ(dc->FindRecordIndexByText(c.start, name, c.text, c.partial, c.circular, c.forward), c.expected);
    }
}

TEST_F(Search, KeyLocateObject)
{
    auto locate = hostlib::MakeObject<TcxDataControllerKeyLocateObject>(dc.get());
    EXPECT_EQ(locate->FindRecordIndex(), -1); // nothing read yet
    TcxValueDefUnboundReader reader;
    reader.SetValue(dc->GetField(name)->ValueDef(), Variant("cherry"));
    locate->ReadData(reader);
    EXPECT_LT(locate->RecordIndex(), 0);
    EXPECT_EQ(locate->FindRecordIndex(), -1); // no fields: nothing matches
    locate->AddField(dc->GetField(name));
    EXPECT_EQ(locate->FindRecordIndex(), 3);
    // Filtered-out records are found too.
    dc->OnFilterRecord = TcxDataFilterRecordEvent::FromFunction([](TcxCustomDataController*, int r, bool& accept) { accept = r != 3; });
    dc->Refresh();
    EXPECT_EQ(locate->FindRecordIndex(), 3);

    TcxValueDefRecordReader recordReader(dc.get(), 1);
    locate->ReadData(recordReader);
    EXPECT_EQ(locate->FindRecordIndex(), 1);
    reader.Clear();
    locate->ReadData(reader);
    EXPECT_EQ(locate->FindRecordIndex(), -1);
    locate->Clear();
    EXPECT_EQ(locate->RecordIndex(), 0);
}

namespace {

class GroupLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc->BeginUpdate();
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 2; ++b)
                for (int c = 0; c < 2; ++c) {
                    const int r = dc->AppendRecord();
                    dc->SetValue(r, item[0], Variant(2 - a));
                    dc->SetValue(r, item[1], Variant(b));
                    dc->SetValue(r, item[2], Variant(c));
                }
        for (int level = 0; level < 3; ++level) dc->Groups().ChangeGrouping(item[level], level);
        dc->EndUpdate();
    }

    TestDataControllerPtr dc = MakeTestDataController();
    const int item[3] = {dc->AddColumn(TcxIntegerValueType::Class()), dc->AddColumn(TcxIntegerValueType::Class()),
                         dc->AddColumn(TcxIntegerValueType::Class())};
};

} // namespace

TEST_F(GroupLookup, FindGroupRecordOverThreeLevels)
{
    auto locate = hostlib::MakeObject<TcxDataControllerGroupLocateObject>(dc.get());
    EXPECT_TRUE(locate->BinaryGroupSearch());
    TcxValueDefUnboundReader reader;
    const std::vector<int> wanted = {1, 0, 1};
    for (int level = 0; level < 3; ++level) reader.SetValue(dc->GetField(item[level])->ValueDef(), Variant(wanted[level]));
    locate->ReadData(reader);
    for (int level = 0; level < 3; ++level) {
        SCOPED_TRACE(level);
        locate->SetLevel(level);
        const int record = locate->FindRecordIndex();
        ASSERT_NE(record, -1);
        for (int l = 0; l <= level; ++l) EXPECT_EQ(dc->GetValue(record, item[l]).AsInteger(), wanted[l]);
    }
    reader.SetValue(dc->GetField(item[0])->ValueDef(), Variant(7));
    locate->ReadData(reader);
    EXPECT_EQ(locate->FindRecordIndex(), -1);
    EXPECT_EQ(dc->FindGroupRecord(locate->RecordIndex(), 0), dc->GetFilteredRecordIndex(5));
}

TEST_F(GroupLookup, DisplayTextGroupingIsScanned)
{
    dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoSortByDisplayText});
    auto locate = hostlib::MakeObject<TcxDataControllerGroupLocateObject>(dc.get());
    EXPECT_FALSE(locate->BinaryGroupSearch());
    TcxValueDefUnboundReader reader;
    reader.SetValue(dc->GetField(item[0])->ValueDef(), Variant(0));
    reader.SetValue(dc->GetField(item[1])->ValueDef(), Variant(1));
    locate->ReadData(reader);
    locate->SetLevel(1);
    // The first record (in record order) of the group.
    EXPECT_EQ(locate->FindRecordIndex(), 10);
    EXPECT_FALSE(dc->InInternalFind());
}
