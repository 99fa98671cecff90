// Grid mode of the data-set controller: bookmarks and the selection kept as
// data-set bookmarks, and searching through the data set itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "tests/components/data/test_data_db_fixture.h"

using db_test::TestDBController;
using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::Variant;

namespace {

class DBGrid : public ::testing::Test, public db_test::CustomersFixture {
protected:
    void SetUp() override
    {
        controller->AddColumn("ID");
        name = controller->AddColumn("Name");
        controller->DataModeController().SetGridModeBufferCount(5);
        controller->DataModeController().SetGridMode(true);
        controller->SetDataSource(source.get());
        customers->AfterScroll = hostlib::TDataSetNotifyEvent::FromFunction(
            [this](hostlib::TDataSet* ds) { visited.push_back(ds->FieldByName("ID")->AsInteger()); });
    }
    // The IDs of the selected bookmarks, the cursor left where it was.
    std::vector<int> SelectedIds()
    {
        std::vector<int> ids;
        const hostlib::TBookmark here = customers->GetBookmark();
        customers->DisableControls();
        for (int i = 0; i < controller->DBSelection().BookmarkCount(); ++i) {
            customers->GotoBookmark(controller->DBSelection().Bookmarks(i));
            ids.push_back(customers->FieldByName("ID")->AsInteger());
        }
        customers->GotoBookmark(here);
        customers->EnableControls();
        return ids;
    }
    static std::vector<int> Range(int from, int to)
    {
        std::vector<int> ids;
        for (int i = from; i <= to; ++i) ids.push_back(i);
        return ids;
    }

    ObjectPtr<TestDBController> controller = MakeObject<TestDBController>(nullptr);
    int name = 0;
    std::vector<int> visited; // IDs the cursor landed on
    bool Visited(int id) const { return std::find(visited.begin(), visited.end(), id) != visited.end(); }
};

} // namespace

TEST_F(DBGrid, BookmarksAreTheDataSetsAndSavingThemAnnouncesNothing)
{
    ASSERT_TRUE(controller->IsGridMode());
    EXPECT_EQ(controller->DataStorage().RecordCount(), 5);
    int bookmarkNotices = 0;
    controller->OnUpdateControl = TcxUpdateControlEvent::FromFunction([&](TcxUpdateControlInfo* info) {
        if (hostlib::As<TcxBookmarkChangedInfo>(info)) ++bookmarkNotices;
    });
    customers->MoveBy(2);
    controller->SaveBookmark();
    EXPECT_TRUE(controller->IsBookmarkAvailable());
    EXPECT_EQ(controller->BookmarkString(), customers->GetBookmark());
    EXPECT_TRUE(controller->IsBookmarkRow(controller->GetFocusedRowIndex()));
    customers->MoveBy(9);
    EXPECT_FALSE(controller->IsBookmarkRow(controller->GetFocusedRowIndex()));
    controller->GotoBookmark();
    EXPECT_EQ(CurrentName(), "C3");

    EXPECT_EQ(bookmarkNotices, 0);
    customers->Delete(); // the bookmarked record
    EXPECT_EQ(bookmarkNotices, 1);
    EXPECT_FALSE(controller->IsBookmarkAvailable());

    customers->Append(); // a new record
    controller->SaveBookmark();
    EXPECT_EQ(controller->BookmarkString(), customers->GetBookmark());
    EXPECT_EQ(bookmarkNotices, 1);
    customers->Cancel();
}

TEST_F(DBGrid, TheAnchorIsABookmarkAndBookmarkQueriesNeedGridMode)
{
    controller->SetMultiSelect(true);
    controller->SetSelectionAnchor(2);
    EXPECT_EQ(controller->GetSelectionAnchorRowIndex(), -1);
    EXPECT_TRUE(controller->IsSelectionAnchorExist());
    EXPECT_EQ(controller->GetSelectionAnchorBookmark(), controller->DBSelection().GetRowBookmark(2));
    EXPECT_EQ(controller->GetRowId(2), Variant(controller->DBSelection().GetRowBookmark(2)));

    controller->DataModeController().SetGridMode(false);
    for (auto query : {+[](TestDBController& c) { (void)c.GetSelectionAnchorBookmark(); },
                       +[](TestDBController& c) { (void)c.GetSelectedBookmark(0); }}) {
        try {
            query(*controller);
            ADD_FAILURE() << "a bookmark query outside grid mode";
        } catch (const EcxInvalidDataControllerOperation& e) {
            EXPECT_STREQ(e.what(), "DataController not in GridMode");
        }
    }
}

TEST_F(DBGrid, SelectAllTakesEveryRecordAndComesBack)
{
    controller->SetMultiSelect(true);
    customers->MoveBy(7);
    controller->SelectAll();
    EXPECT_EQ(SelectedIds(), Range(1, 20));
    EXPECT_EQ(controller->GetSelectedCount(), 20);
    EXPECT_EQ(CurrentName(), "C8");
    EXPECT_EQ(controller->GetSelectedRowIndex(7), controller->GetFocusedRowIndex());
    EXPECT_EQ(controller->GetSelectedRowIndex(0), -1); // outside the window
    EXPECT_TRUE(controller->IsRowSelected(controller->GetFocusedRowIndex()));

    // Deleted records leave the selection.
    customers->Delete();
    EXPECT_EQ(controller->GetSelectedCount(), 19);
    EXPECT_FALSE(controller->DBSelection().RefreshBookmarks());
    std::vector<int> expected = Range(1, 20);
    expected.erase(expected.begin() + 7);
    EXPECT_EQ(SelectedIds(), expected);
}

TEST_F(DBGrid, ExtendingARangeByItsEndSettlesTheSelectionWithoutAWalk)
{
    controller->SetMultiSelect(true);
    struct Case {
        const char* what;
        int anchor, first, second; // IDs, all within the window 1..5
        std::vector<int> before, after;
    };
    const Case cases[] = {
        {"one row", 2, 5, 2, Range(2, 5), {2}},
        {"anchor at the start, shrinking", 1, 5, 4, Range(1, 5), Range(1, 4)},
        {"anchor at the start, growing", 1, 4, 5, Range(1, 4), Range(1, 5)},
        {"anchor at the end, shrinking", 5, 1, 2, Range(1, 5), Range(2, 5)},
        {"anchor at the end, growing", 5, 2, 1, Range(2, 5), Range(1, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        controller->ClearSelection();
        ASSERT_EQ(CurrentName(), "C1");
        controller->SetSelectionAnchor(c.anchor - 1);
        controller->SelectFromAnchor(c.first - 1, false);
        EXPECT_EQ(SelectedIds(), c.before);
        visited.clear();
        controller->SelectFromAnchor(c.second - 1, false);
        EXPECT_FALSE(Visited(3)) << "the range was walked";
        EXPECT_EQ(SelectedIds(), c.after);
        EXPECT_EQ(controller->GetSelectedCount(), static_cast<int>(c.after.size()));
    }
    // Keeping the selection merges a walked range into it.
    controller->ClearSelection();
    controller->SetSelectionAnchor(0);
    controller->SelectFromAnchor(1, false);
    controller->SetSelectionAnchor(4);
    visited.clear();
    controller->SelectFromAnchor(0, true);
    EXPECT_TRUE(Visited(3));
    EXPECT_EQ(SelectedIds(), Range(1, 5));
}

TEST_F(DBGrid, SearchingWalksTheDataSetAndWrapsOnlyOnAFirstSearch)
{
    controller->Search().SetItemIndex(name);
    TcxDBDataProvider& provider = controller->DBProvider();
    struct Case {
        const char* what;
        const char* start;
        const char* text;
        bool next;
        bool found;
        const char* at;
    };
    const Case cases[] = {
        {"the current record matches", "C12", "C1", false, true, "C12"},
        {"forward to a match", "C15", "C2", false, true, "C20"},
        {"a first search wraps", "C20", "C3", false, true, "C3"},
        {"a next search stops at the end", "C20", "C2", true, false, "C20"},
        {"a next search finds the following match", "C10", "C1", true, true, "C11"},
        {"no match leaves the cursor", "C7", "X", false, false, "C7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        customers->Locate("Name", Variant(c.start));
        EXPECT_EQ(provider.DoLocate(c.text, true, c.next), c.found);
        EXPECT_EQ(CurrentName(), c.at);
        EXPECT_EQ(Name(*controller, controller->GetFocusedRecordIndex()), c.at);
    }
    customers->Locate("Name", Variant("C5"));
    EXPECT_TRUE(provider.DoLocate("C1", false, true)); // backwards: C4 .. C1
    EXPECT_EQ(CurrentName(), "C1");
    EXPECT_TRUE(controller->Search().Locate(name, "C17"));
    EXPECT_EQ(CurrentName(), "C17");
}

namespace {

// Counts the scroll-bar updates a scroll asks for.
class ScrollBarController : public TestDBController {
public:
    void UpdateScrollBars() override { ++scrollBarUpdates; }
    int scrollBarUpdates = 0;
};

// A data set whose record numbers say nothing about positions.
class UnsequencedDataSet : public hostlib::TMemDataSet {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<UnsequencedDataSet, hostlib::TMemDataSet>("UnsequencedDataSet");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool IsSequenced() const override { return false; }
};

} // namespace

TEST_F(DBGrid, TheActiveRecordIsTheWindowRowAndOnlySequencedDataSetsUpdateScrollBars)
{
    EXPECT_EQ(controller->GetActiveRecordIndex(), 0);
    customers->MoveBy(2);
    EXPECT_EQ(controller->GetActiveRecordIndex(), 2);
    customers->MoveBy(10); // C13 ends the window
    EXPECT_EQ(controller->GetActiveRecordIndex(), 4);
    EXPECT_EQ(controller->GetActiveRecordIndex(), controller->DBProvider().DataLink().ActiveRecord());
    controller->DataModeController().SetGridMode(false);
    EXPECT_EQ(controller->GetActiveRecordIndex(), controller->GetFocusedRecordIndex());

    for (const bool sequenced : {true, false}) {
        SCOPED_TRACE(sequenced);
        ObjectPtr<hostlib::TMemDataSet> ds(sequenced ? MakeObject<hostlib::TMemDataSet>(nullptr).release()
                                                     : MakeObject<UnsequencedDataSet>(nullptr).release());
        db_test::FillCustomers(*ds, countries.get());
        auto dataSource = MakeObject<hostlib::TDataSource>(nullptr);
        dataSource->SetDataSet(ds.get());
        auto scrolled = MakeObject<ScrollBarController>(nullptr);
        scrolled->AddColumn("Name");
        scrolled->DataModeController().SetGridModeBufferCount(5);
        scrolled->DataModeController().SetGridMode(true);
        scrolled->SetDataSource(dataSource.get());
        EXPECT_EQ(scrolled->IsSequenced(), sequenced);
        const int before = scrolled->scrollBarUpdates;
        ds->MoveBy(7);
        EXPECT_EQ(scrolled->scrollBarUpdates > before, sequenced);
    }
}

TEST_F(DBGrid, ResizingTheBufferWindowRunsNoAfterSummaryEvent)
{
    auto* summary = static_cast<TcxDBDataSummaryItem*>(controller->Summary().FooterSummaryItems().Add());
    summary->SetItemLink(controller->GetItem(0));
    summary->SetKind(skCount);
    int afterSummary = 0;
    controller->Summary().OnAfterSummary =
        TcxAfterSummaryEvent::FromFunction([&afterSummary](TcxDataSummary*) { ++afterSummary; });
    controller->DataModeController().SetGridModeBufferCount(7);
    EXPECT_EQ(controller->DataStorage().RecordCount(), 7);
    EXPECT_EQ(afterSummary, 0);
    EXPECT_FALSE(controller->LockOnAfterSummary());
    // A change of the data itself is summed and announced.
    customers->Edit();
    customers->FieldByName("Name")->SetAsString("Edited");
    customers->Post();
    EXPECT_GT(afterSummary, 0);
}

TEST_F(DBGrid, ScrollingMovesTheWindowByTheDistanceAndKeepsTheFocusedRowSelected)
{
    struct Case {
        int distance;
        std::string firstShown;
        std::string cursor;
    };
    // The window starts at C1..C5 with the cursor on C1.
    const Case cases[] = {{3, "C4", "C8"}, {-2, "C2", "C2"}, {0, "C2", "C2"}, {16, "C16", "C20"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        controller->SyncSelected(false);
        controller->DBProvider().Scroll(c.distance);
        EXPECT_EQ(Name(*controller, 0, name), c.firstShown);
        EXPECT_EQ(CurrentName(), c.cursor);
        EXPECT_EQ(controller->GetRecordCount(), 5);
        if (c.distance == 0) continue;
        EXPECT_TRUE(controller->FocusedSelected());
        EXPECT_EQ(controller->GetSelectedCount(), 1);
        EXPECT_EQ(controller->GetSelectedRowIndex(0), controller->GetFocusedRowIndex());
    }
}
