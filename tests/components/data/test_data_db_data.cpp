// The data-set data layer: a controller bound to an in-memory data set
// through its provider and data link, in load-all and grid mode.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "platform/hostlib/data/memdataset.h"
#include "tests/components/data/test_data_db_fixture.h"

using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::Variant;

namespace {

using db_test::TestDBController;

// A data set that can only be read forwards.
class ForwardOnlyDataSet : public hostlib::TMemDataSet {
public:
    static hostlib::TClass StaticClass()
    {
        return hostlib::DefineClass<ForwardOnlyDataSet, hostlib::TMemDataSet>("ForwardOnlyDataSet");
    }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool IsUniDirectional() const override { return true; }
};

// Customers: ID, Name, Amount (currency), Notes (memo); 20 records.
void FillCustomers(hostlib::TMemDataSet& ds)
{
    ds.FieldDefs().Add("ID", hostlib::ftAutoInc);
    ds.FieldDefs().Add("Name", hostlib::ftString, 20);
    ds.FieldDefs().Add("Amount", hostlib::ftCurrency);
    ds.FieldDefs().Add("Notes", hostlib::ftMemo);
    ds.Open();
    for (int i = 1; i <= 20; ++i)
        ds.AppendRecord({Variant(i), Variant("C" + std::to_string(i)), Variant(i * 1.5), Variant::Null()});
    ds.First();
}

class DBDataFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillCustomers(*ds);
        source->SetDataSet(ds.get());
        controller->AddColumn("ID");
        controller->AddColumn("Name");
        controller->AddColumn("Amount");
    }
    void Bind() { controller->SetDataSource(source.get()); }
    std::string NameAt(int record) const { return hostlib::VarToStr(controller->GetValue(record, 1)); }

    ObjectPtr<hostlib::TMemDataSet> ds = MakeObject<hostlib::TMemDataSet>(nullptr);
    ObjectPtr<hostlib::TDataSource> source = MakeObject<hostlib::TDataSource>(nullptr);
    ObjectPtr<TestDBController> controller = MakeObject<TestDBController>(nullptr);
};

} // namespace

TEST_F(DBDataFixture, WithoutADataSetTheControllerIsInertAndSettingRecNoDoesNothing)
{
    EXPECT_EQ(controller->RecNo(), -1);
    EXPECT_EQ(controller->DataSetRecordCount(), 0);
    EXPECT_NO_THROW(controller->SetRecNo(3));
    EXPECT_EQ(controller->GetRecordCount(), 0);
    EXPECT_EQ(controller->DBProvider().CompareBookmarks("a", "b"), -1); // inactive link
    ds->Close();
    Bind();
    EXPECT_EQ(controller->RecNo(), -1);
    EXPECT_EQ(controller->DataSetRecordCount(), 0);
}

TEST_F(DBDataFixture, LoadAllModeCopiesEveryRecordWithValueTypesOfTheFields)
{
    ds->MoveBy(6);
    Bind();
    ASSERT_EQ(controller->GetRecordCount(), 20);
    EXPECT_EQ(NameAt(0), "C1");
    EXPECT_EQ(NameAt(19), "C20");
    EXPECT_EQ(controller->GetValue(4, 0), Variant(5));
    EXPECT_EQ(controller->GetField(2)->ValueTypeClass(), TcxCurrencyValueType::Class());
    EXPECT_EQ(controller->GetField(0)->ValueTypeClass(), TcxIntegerValueType::Class());
    EXPECT_EQ(controller->RecNo(), 7); // loading keeps the cursor
    EXPECT_EQ(controller->DataSetRecordCount(), 20);
    EXPECT_EQ(controller->GetItemByFieldName("nAmE"), controller->GetItem(1));
    EXPECT_EQ(controller->GetItemField(1), ds->FieldByName("Name"));
}

TEST_F(DBDataFixture, ChangesMadeInTheDataSetReachTheRows)
{
    Bind();
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("Renamed");
    ds->Post();
    EXPECT_EQ(NameAt(0), "Renamed");
    ds->Last();
    ds->Delete();
    EXPECT_EQ(controller->GetRecordCount(), 19);
    ds->Close();
    EXPECT_EQ(controller->GetRecordCount(), 0);
    EXPECT_EQ(controller->GetItemField(1), nullptr); // the default fields are gone
    ds->Open();
    EXPECT_EQ(controller->GetRecordCount(), 19);
    EXPECT_EQ(controller->GetItemField(1), ds->FieldByName("Name"));
}

TEST_F(DBDataFixture, AClosedDataSetLeavesNoRowsByTheTimeTheControlHears)
{
    Bind();
    ds->MoveBy(3);
    int notices = 0, staleRows = 0;
    controller->OnUpdateControl = TcxUpdateControlEvent::FromFunction([&](TcxUpdateControlInfo*) {
        ++notices;
        for (int row = 0; row < controller->GetRowCount(); ++row)
            staleRows += controller->GetRowInfo(row).RecordIndex >= controller->GetRecordCount();
    });
    ds->Close();
    EXPECT_GT(notices, 0);
    EXPECT_EQ(staleRows, 0);
    EXPECT_EQ(controller->GetRowCount(), 0);
    ds->Open();
    EXPECT_EQ(controller->GetRowCount(), 20);
    source.reset();
    EXPECT_EQ(staleRows, 0);
    EXPECT_EQ(controller->GetRowCount(), 0);
}

TEST_F(DBDataFixture, TheFocusAndTheCursorFollowEachOther)
{
    ds->MoveBy(3);
    Bind();
    EXPECT_EQ(controller->GetFocusedRecordIndex(), 3);
    EXPECT_TRUE(controller->ChangeFocusedRecordIndex(10));
    EXPECT_EQ(ds->RecNo(), 11);
    EXPECT_TRUE(controller->ChangeFocusedRecordIndex(2));
    EXPECT_EQ(ds->RecNo(), 3);
    ds->MoveBy(5); // from outside
    EXPECT_EQ(controller->GetFocusedRecordIndex(), 7);
    ds->Last();
    EXPECT_EQ(controller->GetFocusedRecordIndex(), 19);
    ds->First();
    EXPECT_EQ(controller->GetFocusedRecordIndex(), 0);
}

TEST_F(DBDataFixture, DeletingTheFocusedRowDeletesItsDataSetRecord)
{
    Bind();
    struct Case {
        int focus; // -1: the last row
        const char* deleted;
        const char* focusedAfter;
    };
    const Case cases[] = {{4, "C5", "C6"}, {-1, "C20", "C19"}, {0, "C1", "C2"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.deleted);
        ASSERT_TRUE(controller->ChangeFocusedRecordIndex(c.focus == -1 ? controller->GetRecordCount() - 1 : c.focus));
        const int before = ds->RecordCount();
        controller->DeleteFocused();
        EXPECT_EQ(ds->RecordCount(), before - 1);
        EXPECT_EQ(controller->GetRecordCount(), before - 1);
        EXPECT_FALSE(ds->Locate("Name", Variant(c.deleted)));
        ASSERT_NE(controller->GetFocusedRecordIndex(), -1);
        EXPECT_EQ(NameAt(controller->GetFocusedRecordIndex()), c.focusedAfter);
        EXPECT_EQ(ds->FieldByName("Name")->AsString(), c.focusedAfter);
    }
}

TEST_F(DBDataFixture, EditingThroughTheProviderWritesTheDataSet)
{
    Bind();
    TcxDBDataProvider& provider = controller->DBProvider();
    ASSERT_TRUE(provider.CanModify());
    provider.Edit();
    EXPECT_TRUE(provider.IsEditing());
    provider.SetEditValue(0, controller->GetField(1), Variant("Ann"), evsValue);
    EXPECT_EQ(provider.GetEditValue(0, controller->GetField(1), evsValue), Variant("Ann"));
    provider.Cancel();
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "C1");
    provider.Edit();
    provider.SetEditValue(0, controller->GetField(2), Variant("7.5"), evsText);
    provider.Post();
    EXPECT_FALSE(provider.IsEditing());
    EXPECT_DOUBLE_EQ(ds->FieldByName("Amount")->Value().AsDouble(), 7.5);
    provider.Append();
    EXPECT_TRUE(provider.IsInserting());
    provider.Cancel();
    EXPECT_EQ(ds->RecordCount(), 20);
}

TEST_F(DBDataFixture, GridModeBufferCountAndUniDirectionalDataSets)
{
    TcxDBDataModeController& modes = controller->DataModeController();
    modes.SetGridModeBufferCount(-5);
    EXPECT_EQ(modes.GridModeBufferCount(), 0);
    EXPECT_EQ(controller->DBProvider().GetDataBufferCount(), 100);
    modes.SetGridMode(true);
    EXPECT_TRUE(controller->IsGridMode());

    auto forward = MakeObject<ForwardOnlyDataSet>(nullptr);
    FillCustomers(*forward);
    source->SetDataSet(forward.get());
    Bind();
    EXPECT_FALSE(controller->IsGridMode());
    EXPECT_FALSE(controller->DBProvider().IsSyncMode());
}

TEST_F(DBDataFixture, GridModeHoldsOnlyTheBufferWindowAndFollowsScrolling)
{
    controller->DataModeController().SetGridModeBufferCount(5);
    controller->DataModeController().SetGridMode(true);
    Bind();
    ASSERT_TRUE(controller->IsGridMode());
    EXPECT_EQ(controller->GetRecordCount(), 5);
    EXPECT_EQ(NameAt(0), "C1");
    EXPECT_EQ(NameAt(4), "C5");
    ds->MoveBy(9); // C10: the window moves to hold it
    EXPECT_EQ(controller->GetRecordCount(), 5);
    EXPECT_EQ(NameAt(4), "C10");
    EXPECT_EQ(controller->DBProvider().CurrentRecordIndex(), 4);
    controller->DataModeController().SetGridMode(false);
    EXPECT_EQ(controller->GetRecordCount(), 20);
}

TEST_F(DBDataFixture, SavedPositionsComeBackToTheSameWindowRow)
{
    controller->DataModeController().SetGridModeBufferCount(5);
    controller->DataModeController().SetGridMode(true);
    Bind();
    ds->MoveBy(9); // C10 on the last row of the window C6..C10
    TcxDBDataProvider& provider = controller->DBProvider();
    const int row = provider.DataLink().ActiveRecord();
    provider.SavePos();
    ds->First();
    provider.RestorePos();
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "C10");
    EXPECT_EQ(provider.DataLink().ActiveRecord(), row);
    const hostlib::TBookmark a = ds->GetBookmark();
    ds->Next();
    EXPECT_LT(provider.CompareBookmarks(a, ds->GetBookmark()), 0);
    EXPECT_TRUE(provider.BookmarkValid(a));
}

TEST(DBDataModes, AssignCopiesEverySettingAndTheEvents)
{
    auto a = MakeObject<TcxDBDataModeController>();
    auto b = MakeObject<TcxDBDataModeController>();
    a->SetDetailInSQLMode(true);
    a->SetGridMode(true);
    a->SetGridModeBufferCount(7);
    a->SetSmartRefresh(true);
    a->SetSyncMode(false);
    int calls = 0;
    a->OnDetailFirst = TcxDBDataModeControllerDetailFirstEvent::FromFunction(
        [&](hostlib::TObject*, hostlib::TDataSet*, const std::string&, const Variant&, bool&) { ++calls; });
    b->Assign(a.get());
    EXPECT_TRUE(b->DetailInSQLMode());
    EXPECT_TRUE(b->GridMode());
    EXPECT_EQ(b->GridModeBufferCount(), 7);
    EXPECT_TRUE(b->SmartRefresh());
    EXPECT_FALSE(b->SyncMode());
    bool reopened = true;
    b->DoDetailFirst("ID", Variant(1), reopened);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(reopened);
}

TEST_F(DBDataFixture, ControllersSharingADataSetFollowEachOthersFocus)
{
    Bind();
    auto other = MakeObject<TestDBController>(nullptr);
    other->AddColumn("ID");
    other->AddColumn("Name");
    controller->SetKeyFieldNames("ID");
    other->SetKeyFieldNames("ID");
    other->SetDataSource(source.get());
    struct Case {
        TestDBController* mover;
        TestDBController* follower;
        int record;
    };
    const Case cases[] = {{controller.get(), other.get(), 7}, {other.get(), controller.get(), 12},
                          {controller.get(), other.get(), 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        ASSERT_TRUE(c.mover->ChangeFocusedRecordIndex(c.record));
        EXPECT_EQ(ds->RecNo(), c.record + 1);
        EXPECT_EQ(c.follower->GetFocusedRecordIndex(), c.record);
    }
}

TEST_F(DBDataFixture, LoadingBindsTheFieldsOnceUnlessTheDataSetOpenedMeanwhile)
{
    struct Case {
        bool boundBeforeLoading;
        bool reloadedByLoaded;
    };
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.boundBeforeLoading);
        auto owner = MakeObject<hostlib::TComponent>(nullptr);
        auto loaded = MakeObject<TestDBController>(owner.get());
        loaded->AddColumn("ID");
        loaded->AddColumn("Name");
        if (c.boundBeforeLoading) loaded->SetDataSource(source.get());
        owner->IncludeState(hostlib::csLoading);
        if (!c.boundBeforeLoading) loaded->SetDataSource(source.get());
        int loads = 0;
        loaded->OnDataChanged = hostlib::TNotifyEvent::FromFunction([&loads](hostlib::TObject*) { ++loads; });
        owner->ExcludeState(hostlib::csLoading);
        loaded->Loaded();
        EXPECT_TRUE(loaded->IsLoaded());
        EXPECT_EQ(loads > 0, c.reloadedByLoaded);
        EXPECT_EQ(loaded->GetRecordCount(), 20);
        EXPECT_EQ(hostlib::VarToStr(loaded->GetValue(19, 1)), "C20");
    }
}

// Over a pending change a locate or a freeze marks every controller of the
// data set, so the moves it makes are not taken for new data.
TEST_F(DBDataFixture, ALocateOverAPendingChangeMarksEveryControllerOfTheDataSet)
{
    Bind();
    auto other = MakeObject<TestDBController>(nullptr);
    other->AddColumn("ID");
    other->SetDataSource(source.get());
    TcxDBDataProvider& mine = controller->DBProvider();
    TcxDBDataProvider& theirs = other->DBProvider();

    other->BeginUpdate();
    EXPECT_TRUE(mine.IsDataSetBusy()) << "another controller is updating";
    mine.BeginLocate();
    mine.EndLocate();
    EXPECT_FALSE(theirs.PostLocate()) << "no pending change, nothing marked";
    ds->Edit();
    mine.BeginLocate();
    EXPECT_TRUE(mine.PostLocate());
    EXPECT_TRUE(theirs.PostLocate());
    EXPECT_FALSE(mine.IsDataSetBusy()) << "marked, its moves are not new data";
    mine.EndLocate();
    ds->Cancel();
    other->EndUpdate();

    mine.ResetPostLocate();
    theirs.ResetPostLocate();
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("changed");
    mine.Freeze();
    EXPECT_EQ(ds->State(), hostlib::dsBrowse) << "the pending change is cancelled";
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "C1");
    EXPECT_TRUE(theirs.PostLocate());
    mine.Unfreeze();
}

TEST_F(DBDataFixture, ControllersOfOneDataSetSeeEachOthersInsertAndEditingStart)
{
    Bind();
    auto other = MakeObject<TestDBController>(nullptr);
    other->AddColumn("ID");
    other->SetDataSource(source.get());
    TcxDBDataProvider& mine = controller->DBProvider();
    TcxDBDataProvider& theirs = other->DBProvider();
    std::vector<std::string> seen;
    ds->BeforeInsert = hostlib::TDataSetNotifyEvent::FromFunction([&](hostlib::TDataSet*) {
        seen.push_back(std::string("insert: other ") + (theirs.IsOtherDetailDataSetInInsert() ? "sees" : "blind") +
                       ", own " + (mine.IsOtherDetailDataSetInInsert() ? "sees" : "blind"));
    });
    ds->BeforeEdit = hostlib::TDataSetNotifyEvent::FromFunction([&](hostlib::TDataSet*) {
        seen.push_back(std::string("edit: other ") + (theirs.IsCanInitEditingBusy() ? "busy" : "free"));
    });
    EXPECT_FALSE(theirs.IsCanInitEditingBusy());
    EXPECT_FALSE(theirs.IsOtherDetailDataSetInInsert());
    mine.Append();
    ds->Cancel();
    ASSERT_TRUE(controller->ChangeFocusedRecordIndex(0));
    EXPECT_TRUE(mine.CanInitEditing(0));
    ds->Cancel();
    EXPECT_EQ(seen, (std::vector<std::string>{"insert: other sees, own blind", "edit: other busy"}));
    EXPECT_FALSE(theirs.IsCanInitEditingBusy()) << "only while it runs";
}
