// Items and fields, records and values with their range checks, update
// brackets and the delivery and merging of change notices.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

class ControllerCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc = MakeTestDataController();
        text = dc->AddColumn(TcxStringValueType::Class());
        number = dc->AddColumn(TcxIntegerValueType::Class());
        dc->SetRecordCount(3);
        for (int r = 0; r < 3; ++r) {
            dc->SetValue(r, text, Variant("t" + std::to_string(r)));
            dc->SetValue(r, number, Variant(static_cast<std::int32_t>(r * 10)));
        }
        dc->notices.clear();
    }

    std::string ErrorOf(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const EcxInvalidDataControllerOperation& e) {
            return e.Message();
        }
        return "";
    }

    TestDataControllerPtr dc;
    int text = -1;
    int number = -1;
};

TEST_F(ControllerCore, ValuesByRecordAndItemWithTheirErrors)
{
    struct Case {
        int record;
        int item;
        const char* value; // expected text, or nullptr when an error is expected
        const char* error;
    };
    const Case cases[] = {
        {0, 0, "t0", ""},
        {2, 1, "20", ""},
        {3, 0, nullptr, cxSDataRecordIndexError},
        {-1, 0, nullptr, cxSDataRecordIndexError},
        {-2147483647, 0, nullptr, cxSDataRecordIndexError},
        {0, 2, nullptr, cxSDataItemIndexError},
        {0, -1, nullptr, cxSDataItemIndexError},
        // The record is checked first.
        {5, 9, nullptr, cxSDataRecordIndexError},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.record) + "," + std::to_string(c.item));
        if (c.value) {
            EXPECT_EQ(dc->GetValue(c.record, c.item).AsString(), c.value);
            EXPECT_EQ(dc->GetDisplayText(c.record, c.item), c.value);
        } else {
            EXPECT_EQ(ErrorOf([&] { dc->GetValue(c.record, c.item); }), c.error);
            EXPECT_EQ(ErrorOf([&] { dc->GetDisplayText(c.record, c.item); }), c.error);
            EXPECT_EQ(ErrorOf([&] { dc->SetValue(c.record, c.item, Variant("x")); }), c.error);
        }
    }
    // A failed check changes nothing and sends nothing.
    EXPECT_TRUE(dc->notices.empty());
    EXPECT_EQ(dc->GetValue(0, text).AsString(), "t0");
}

TEST_F(ControllerCore, NewValuesAreNullAndTakeTheFieldType)
{
    dc->AppendRecord();
    EXPECT_TRUE(dc->GetValue(3, text).IsNull());
    dc->SetValue(3, number, Variant("42"));
    EXPECT_EQ(dc->GetValue(3, number).VarType(), hostlib::varInteger);
    EXPECT_EQ(dc->GetValue(3, number).AsInteger(), 42);
    // A value that does not convert leaves the old one.
    EXPECT_ANY_THROW(dc->SetValue(3, number, Variant("many")));
    EXPECT_EQ(dc->GetValue(3, number).AsInteger(), 42);
}

TEST_F(ControllerCore, InsertRecordBoundsAndSetRecordCount)
{
    EXPECT_EQ(ErrorOf([&] { dc->InsertRecord(-1); }), cxSDataRecordIndexError);
    EXPECT_EQ(ErrorOf([&] { dc->InsertRecord(4); }), cxSDataRecordIndexError);
    dc->InsertRecord(3); // at the end
    EXPECT_EQ(dc->GetRecordCount(), 4);
    dc->InsertRecord(0);
    EXPECT_TRUE(dc->GetValue(0, text).IsNull());
    EXPECT_EQ(dc->GetValue(1, text).AsString(), "t0");

    dc->notices.clear();
    dc->SetRecordCount(5); // unchanged: nothing
    EXPECT_TRUE(dc->NoticesOf("data").empty());
    dc->SetRecordCount(-5);
    EXPECT_EQ(dc->GetRecordCount(), 0);
    EXPECT_EQ(dc->NoticesOf("data"), std::vector<std::string>{"data deleted -1 -1"});
}

TEST_F(ControllerCore, RecordIdAndRowIdChecks)
{
    EXPECT_TRUE(dc->GetRecordId(0).IsNull());
    EXPECT_EQ(ErrorOf([&] { dc->GetRecordId(3); }), cxSDataRecordIndexError);
    EXPECT_EQ(dc->GetRowId(7).AsInteger(), 7);
    EXPECT_TRUE(dc->GetInternalRecordId(1, {}).IsNull());
    EXPECT_EQ(dc->GetInternalRecordId(1, {dc->GetField(number)}).AsInteger(), 10);
    const Variant key = dc->GetInternalRecordId(1, {dc->GetField(text), dc->GetField(number)});
    ASSERT_TRUE(key.IsArray());
    EXPECT_EQ(key.ArrayLowBound(), 0);
    EXPECT_EQ(key[0].AsString(), "t1");
    EXPECT_EQ(key[1].AsInteger(), 10);
}

TEST_F(ControllerCore, NewItemRecordPassesTheCheckOnlyOnceItExists)
{
    dc->SetUseNewItemRowForEditing(true);
    // Checking never creates the record.
    EXPECT_EQ(ErrorOf([&] { dc->GetValue(-1, text); }), cxSDataRecordIndexError);
    const int newItem = dc->GetNewItemRecordIndex();
    EXPECT_LT(newItem, 0);
    EXPECT_TRUE(dc->GetValue(newItem, text).IsNull());
    EXPECT_EQ(ErrorOf([&] { dc->GetValue(newItem - 1, text); }), cxSDataRecordIndexError);
    EXPECT_EQ(dc->GetRecordCount(), 3);
}

TEST_F(ControllerCore, ItemsAndFields)
{
    hostlib::TObject* first = dc->GetItem(0);
    EXPECT_EQ(ErrorOf([&] { dc->AddItem(first); }), cxSDataItemExistError);
    EXPECT_EQ(dc->GetItemCount(), 2);
    // Nil items never collide.
    dc->AddItem(nullptr);
    dc->AddItem(nullptr);
    EXPECT_EQ(dc->GetItemCount(), 4);

    // Internal fields stay behind the items.
    TcxCustomDataField* internal = dc->AddInternalField();
    dc->AddItem(nullptr);
    EXPECT_EQ(dc->GetItemCount(), 5);
    EXPECT_EQ(dc->Fields().Count(), 6);
    EXPECT_EQ(dc->Fields().Items(5), internal);
    for (int i = 0; i < dc->GetItemCount(); ++i) EXPECT_EQ(dc->GetField(i)->Index(), i);

    EXPECT_EQ(dc->GetItemValueTypeClass(1), TcxIntegerValueType::Class());
    EXPECT_EQ(ErrorOf([&] { dc->GetItemValueTypeClass(5); }), cxSDataItemIndexError);
    EXPECT_FALSE(dc->GetItemTextStored(0));
    dc->ChangeTextStored(0, true);
    EXPECT_TRUE(dc->GetItemTextStored(0));
}

TEST_F(ControllerCore, ReferenceFieldsShareAndTakeOverData)
{
    TcxCustomDataField* owner = dc->GetField(number);
    TcxCustomDataField* a = dc->AddInternalField();
    TcxCustomDataField* b = dc->AddInternalField();
    a->SetReferenceField(owner);
    b->SetReferenceField(owner);
    EXPECT_EQ(a->ValueTypeClass(), TcxIntegerValueType::Class());
    EXPECT_EQ(a->ValueDef(), owner->ValueDef());
    a->SetValueTypeClass(TcxStringValueType::Class()); // ignored
    EXPECT_EQ(a->ValueTypeClass(), TcxIntegerValueType::Class());

    TcxValueDef* def = owner->ValueDef();
    hostlib::TObject* item = dc->GetItem(number);
    dc->RemoveItem(item);
    EXPECT_EQ(a->ReferenceField(), nullptr);
    EXPECT_EQ(a->ValueDef(), def);
    EXPECT_EQ(def->LinkObject(), a);
    EXPECT_EQ(b->ReferenceField(), a);
    EXPECT_EQ(dc->GetStoredValue(2, a).AsInteger(), 20);
    // A field referencing itself through a chain is refused.
    a->SetReferenceField(b);
    EXPECT_EQ(a->ReferenceField(), nullptr);
}

TEST_F(ControllerCore, SettingTheSameOptionsDoesNotRefresh)
{
    dc->SetOptions(dc->Options());
    EXPECT_TRUE(dc->notices.empty());
    dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoAnsiSort});
    EXPECT_FALSE(dc->notices.empty());
}

// ---- change notices ----------------------------------------------------------

TEST_F(ControllerCore, NestedBracketsDeliverOnceInOrder)
{
    std::vector<std::string> heard;
    dc->OnDataChanged = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { heard.push_back("changed"); });
    dc->OnRecordChanged = TcxDataRecordChangedEvent::FromFunction(
        [&](TcxCustomDataController*, int r, int i) { heard.push_back("record " + std::to_string(r) + " " + std::to_string(i)); });
    hostlib::TObject listener;
    dc->AddDataChangedListener(&listener, hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { heard.push_back("listener"); }));

    dc->ChangeFocusedRowIndex(0);
    dc->notices.clear();
    dc->BeginUpdate();
    dc->BeginUpdate();
    dc->SetValue(1, text, Variant("a"));
    dc->ChangeFocusedRowIndex(2);
    dc->SaveBookmark();
    dc->EndUpdate();
    EXPECT_TRUE(dc->notices.empty());
    EXPECT_TRUE(heard.empty());
    dc->EndUpdate();
    EXPECT_EQ(dc->notices, (std::vector<std::string>{"data field 0 1", "row 0>2", "focus 0>2 0>2", "bookmark"}));
    EXPECT_EQ(heard, (std::vector<std::string>{"record 1 0", "changed", "listener"}));
    // Nothing is left over.
    dc->notices.clear();
    dc->BeginUpdate();
    dc->EndUpdate();
    EXPECT_TRUE(dc->notices.empty());
}

TEST_F(ControllerCore, MergedDataChanges)
{
    struct Change {
        TcxDataChange kind;
        int item;
        int record;
    };
    struct Case {
        const char* name;
        std::vector<Change> changes;
        const char* expected;
    };
    const Case cases[] = {
        {"one cell", {{dcField, 0, 1}}, "data field 0 1"},
        {"same cell twice", {{dcField, 0, 1}, {dcField, 0, 1}}, "data field 0 1"},
        {"two items of one record", {{dcField, 0, 1}, {dcField, 1, 1}}, "data record -1 1"},
        {"two records", {{dcField, 0, 1}, {dcField, 0, 2}}, "data total -1 -1"},
        {"field on record -1", {{dcField, 0, -1}}, "data total -1 -1"},
        {"record then its field", {{dcRecord, -1, 1}, {dcField, 0, 1}}, "data record -1 1"},
        {"field then its record", {{dcField, 0, 1}, {dcRecord, -1, 1}}, "data record -1 1"},
        {"record then another record", {{dcRecord, -1, 1}, {dcRecord, -1, 2}}, "data total -1 -1"},
        {"field, other item, first item again", {{dcField, 0, 1}, {dcField, 1, 1}, {dcField, 0, 1}}, "data record -1 1"},
        {"total then a field", {{dcTotal, -1, -1}, {dcField, 0, 1}}, "data total -1 -1"},
        {"field then total", {{dcField, 0, 1}, {dcTotal, -1, -1}}, "data total -1 -1"},
        {"new twice", {{dcNew, -1, -1}, {dcNew, -1, -1}}, "data new -1 -1"},
        {"deleted twice", {{dcDeleted, -1, -1}, {dcDeleted, -1, -1}}, "data deleted -1 -1"},
        {"new then a field", {{dcNew, -1, -1}, {dcField, 0, 1}}, "data total -1 -1"},
        {"a field then new", {{dcField, 0, 1}, {dcNew, -1, -1}}, "data total -1 -1"},
        {"new then deleted", {{dcNew, -1, -1}, {dcDeleted, -1, -1}}, "data total -1 -1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dc->notices.clear();
        dc->BeginUpdate();
        for (const Change& change : c.changes) dc->DataChanged(change.kind, change.item, change.record);
        dc->EndUpdate();
        EXPECT_EQ(dc->NoticesOf("data"), std::vector<std::string>{c.expected});
    }
}

TEST_F(ControllerCore, SetValueMergesThroughTheSameRules)
{
    dc->BeginUpdate();
    dc->SetValue(1, text, Variant("x"));
    dc->SetValue(1, text, Variant("y"));
    dc->EndUpdate();
    dc->BeginUpdate();
    dc->SetValue(1, text, Variant("x"));
    dc->SetValue(1, number, Variant(1));
    dc->EndUpdate();
    dc->BeginUpdate();
    dc->SetValue(1, text, Variant("x"));
    dc->SetValue(2, text, Variant("x"));
    dc->EndUpdate();
    EXPECT_EQ(dc->NoticesOf("data"), (std::vector<std::string>{"data field 0 1", "data record -1 1", "data total -1 -1"}));
}

TEST_F(ControllerCore, DataAndLayoutTogetherSendOnlyTheDataNotice)
{
    dc->BeginUpdate();
    dc->Change({dccLayout});
    dc->SetValue(0, text, Variant("z"));
    dc->EndUpdate();
    EXPECT_EQ(dc->notices, std::vector<std::string>{"data field 0 0"});
    dc->notices.clear();
    dc->Change({dccLayout, dccSummary});
    EXPECT_EQ(dc->notices, std::vector<std::string>{"layout"});
}

TEST_F(ControllerCore, ListenersAreRemovedByInstanceAndHandler)
{
    int calls = 0;
    hostlib::TObject a;
    hostlib::TObject b;
    const auto handler = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { ++calls; }, &calls);
    dc->AddDataChangedListener(&a, handler);
    dc->AddDataChangedListener(&b, handler);
    dc->SetValue(0, text, Variant("1"));
    EXPECT_EQ(calls, 2);
    dc->RemoveDataChangedListener(&a, handler);
    dc->SetValue(0, text, Variant("2"));
    EXPECT_EQ(calls, 3);
    dc->RemoveDataChangedListener(&b, hostlib::TNotifyEvent());
    dc->SetValue(0, text, Variant("3"));
    EXPECT_EQ(calls, 4);
}

TEST_F(ControllerCore, ANoticeIsFreedAndTheControllerUsableWhenTheHandlerThrows)
{
    dc->OnUpdateControl = TcxUpdateControlEvent::FromFunction([](TcxUpdateControlInfo*) { throw hostlib::Exception("boom"); });
    EXPECT_THROW(dc->SetValue(0, text, Variant("q")), hostlib::Exception);
    EXPECT_FALSE(dc->InNotifyControl());
    dc->OnUpdateControl.Clear();
    dc->notices.clear();
    dc->SetValue(0, text, Variant("r"));
    EXPECT_EQ(dc->NoticesOf("data"), std::vector<std::string>{"data field 0 0"});
    EXPECT_EQ(dc->GetLockCount(), 0);
}

TEST_F(ControllerCore, AChangeRaisedWhileDeliveringComesWithItsOwnNotice)
{
    bool once = false;
    dc->OnDataChanged = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) {
        if (once) return;
        once = true;
        dc->SetValue(2, number, Variant(7));
    });
    dc->SetValue(0, text, Variant("s"));
    EXPECT_EQ(dc->NoticesOf("data"), (std::vector<std::string>{"data field 0 0", "data field 1 2"}));
}

TEST_F(ControllerCore, ListenerLinksAreClearedWhenTheControllerGoes)
{
    auto other = MakeTestDataController();
    TcxDataListenerLink* link = other->AddListenerLink();
    EXPECT_EQ(link->DataController, other.get());
    other.reset();
    EXPECT_EQ(link->DataController, nullptr);
    TcxCustomDataController::RemoveListenerLink(link);
}

TEST_F(ControllerCore, RemovingASortedItemResorts)
{
    dc->ChangeSorting(number, soDescending);
    EXPECT_EQ(dc->GetSortingItemCount(), 1);
    dc->RemoveItem(dc->GetItem(number));
    EXPECT_EQ(dc->GetSortingItemCount(), 0);
    EXPECT_EQ(RowTexts(*dc, text), (std::vector<std::string>{"t0", "t1", "t2"}));
}

TEST_F(ControllerCore, ItemIndexesFollowTheControlsOrder)
{
    dc->SwapItems(text, number);
    dc->notices.clear();
    dc->UpdateItemIndexes();
    EXPECT_EQ(dc->GetValue(2, 0).AsInteger(), 20);
    EXPECT_EQ(dc->GetValue(2, 1).AsString(), "t2");
    EXPECT_EQ(dc->GetItemValueTypeClass(0), TcxIntegerValueType::Class());
    EXPECT_EQ(dc->notices, std::vector<std::string>{"layout"});
}

TEST_F(ControllerCore, ItemPropertiesChangedRefreshesOnlyForSortedItems)
{
    EXPECT_FALSE(dc->ItemPropertiesChanged(text));
    EXPECT_TRUE(dc->notices.empty());
    dc->ChangeSorting(text, soAscending);
    dc->notices.clear();
    EXPECT_TRUE(dc->ItemPropertiesChanged(text));
    EXPECT_TRUE(dc->ItemPropertiesChanged(-1));
    EXPECT_FALSE(dc->notices.empty());
}

TEST(ControllerLoading, ListenersHearOnceFromLoaded)
{
    auto owner = hostlib::MakeObject<hostlib::TComponent>(static_cast<hostlib::TComponent*>(nullptr));
    auto dc = hostlib::MakeObject<TestDataController>(owner.get());
    const int item = dc->AddColumn(TcxStringValueType::Class());
    int heard = 0;
    dc->OnDataChanged = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { ++heard; });
    owner->IncludeState(hostlib::csLoading);
    dc->SetRecordCount(2);
    dc->SetValue(0, item, Variant("a"));
    dc->SetValue(1, item, Variant("b"));
    EXPECT_EQ(heard, 0);
    // The control still hears of every change.
    EXPECT_EQ(dc->NoticesOf("data").size(), 3u);
    owner->ExcludeState(hostlib::csLoading);
    dc->Loaded();
    EXPECT_EQ(heard, 1);
    dc->Loaded();
    EXPECT_EQ(heard, 1);
}

TEST(ControllerNotifier, RemovedComponentsReachTheFields)
{
    class WatchingField : public TcxCustomDataField {
    public:
        void RemoveNotification(hostlib::TComponent* component) override { removed.push_back(component); }
        std::vector<hostlib::TComponent*> removed;
    };
    auto dc = MakeTestDataController();
    auto* field = hostlib::CreateObject<WatchingField>();
    field->Construct(&dc->Fields());
    dc->Fields().Add(field);
    auto component = hostlib::MakeObject<hostlib::TComponent>(static_cast<hostlib::TComponent*>(nullptr));
    dc->RemoveNotification(component.get());
    EXPECT_EQ(field->removed, std::vector<hostlib::TComponent*>{component.get()});
}

} // namespace
