// Master-detail over data sets: each master record's detail controller
// shows the orders of its customer, found by locating the detail keys or,
// in SQL mode, by reopening a query with the key as its parameter.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "platform/system/scope_guard.h"
#include "tests/components/data/test_data_db_fixture.h"

using db_test::TestDBController;
using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::Variant;

namespace {

// A query whose rows are the orders of the customer its parameter names.
class TFooQuery : public hostlib::TMemQuery {
public:
    static hostlib::TClass StaticClass() { return hostlib::DefineClass<TFooQuery, hostlib::TMemQuery>("TFooQuery"); }
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override
    {
        TMemQuery::Construct(owner);
        Params()->CreateParam(hostlib::ftInteger, "CustomerID");
        SetOnFilterRecord(hostlib::TFilterRecordEvent::FromFunction([this](hostlib::TDataSet*, bool& accept) {
            const Variant& wanted = Params()->Items(0)->Value();
            const Variant id = FieldByName("CustomerID")->Value();
            accept = !wanted.IsNull() && !id.IsNull() && id.AsInteger() == wanted.AsInteger();
        }));
        SetFiltered(true);
        AfterOpen = hostlib::TDataSetNotifyEvent::FromFunction([this](hostlib::TDataSet*) { ++opens; });
    }
    int opens = 0;
};

class DetailLink : public hostlib::TObject {
public:
    ObjectPtr<TestDBController> detail = MakeObject<TestDBController>(nullptr);
};

class MasterController : public TestDBController {
public:
    hostlib::TObject* CreateDetailLinkObject(TcxCustomDataRelation* relation, int recordIndex) override
    {
        auto* link = hostlib::CreateObject<DetailLink>();
        link->detail->AddColumn("OrderID");
        link->detail->AddColumn("CustomerID");
        link->detail->Assign(pattern);
        link->detail->SetMasterRelation(relation, recordIndex);
        return link;
    }
    TcxCustomDataController* GetDetailDataControllerByLinkObject(hostlib::TObject* link) override
    {
        auto* detail = hostlib::As<DetailLink>(link);
        return detail ? detail->detail.get() : nullptr;
    }
    TestDBController* pattern = nullptr;
};

class DBDetail : public ::testing::Test, public db_test::CustomersFixture {
protected:
    void Build(hostlib::TMemDataSet& orders, bool sqlMode)
    {
        db_test::FillOrders(orders);
        ordersSource->SetDataSet(&orders);
        pattern->AddColumn("OrderID");
        pattern->AddColumn("CustomerID");
        pattern->SetKeyFieldNames("OrderID");
        pattern->SetMasterKeyFieldNames("ID");
        pattern->SetDetailKeyFieldNames("CustomerID");
        pattern->DataModeController().SetDetailInSQLMode(sqlMode);
        pattern->SetDataSource(ordersSource.get());
        master->pattern = pattern.get();
        master->AddColumn("ID");
        master->AddColumn("Name");
        master->SetKeyFieldNames("ID");
        master->SetDataSource(source.get());
        pattern->SetMasterRelation(master->Relations().Add(&item), -1);
    }
    TestDBController* Detail(int masterRecord)
    {
        return static_cast<TestDBController*>(master->GetDetailDataController(masterRecord, 0));
    }
    static std::vector<int> OrderIds(TcxCustomDataController& detail)
    {
        std::vector<int> ids;
        for (int r = 0; r < detail.GetRecordCount(); ++r) ids.push_back(detail.GetValue(r, 0).AsInteger());
        return ids;
    }

    ObjectPtr<hostlib::TDataSource> ordersSource = MakeObject<hostlib::TDataSource>(nullptr);
    ObjectPtr<TestDBController> pattern = MakeObject<TestDBController>(nullptr);
    ObjectPtr<MasterController> master = MakeObject<MasterController>(nullptr);
    hostlib::TObject item;
};

} // namespace

TEST_F(DBDetail, EachCustomersDetailShowsItsOrdersFoundByTheirKeys)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    auto* relation = hostlib::As<TcxDBDataRelation>(master->Relations().GetItem(0));
    ASSERT_NE(relation, nullptr);
    EXPECT_TRUE(relation->IsLinked());
    EXPECT_EQ(relation->GetMasterRecordID(4), Variant(5));
    EXPECT_EQ(pattern->GetMasterDetailKeyFieldNames(), "CustomerID");
    struct Case {
        int masterRecord;
        std::vector<int> orders;
        bool hasChildren;
    };
    const Case cases[] = {{3, {401}, true}, {4, {501, 502}, true}, {2, {}, false}, {19, {2001, 2002}, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.masterRecord);
        EXPECT_EQ(master->GetDetailHasChildren(c.masterRecord, 0), c.hasChildren);
        TestDBController* detail = Detail(c.masterRecord);
        ASSERT_NE(detail, nullptr);
        EXPECT_EQ(detail->MasterDetailKeyValues(), Variant(c.masterRecord + 1));
        EXPECT_EQ(OrderIds(*detail), c.orders);
    }
    // Focusing a detail row moves the shared orders cursor to it.
    TestDBController* detail = Detail(4);
    ASSERT_TRUE(detail->DBProvider().IsSyncMode());
    ASSERT_TRUE(detail->ChangeFocusedRecordIndex(1));
    EXPECT_EQ(orders->FieldByName("OrderID")->AsInteger(), 502);
    // The other details kept their rows.
    EXPECT_EQ(OrderIds(*Detail(3)), (std::vector<int>{401}));
}

TEST_F(DBDetail, InSQLModeADifferentKeyReopensTheQueryAndAnEqualOneGoesToItsFirstRow)
{
    auto orders = MakeObject<TFooQuery>(nullptr);
    Build(*orders, true);
    TestDBController* detail = Detail(4);
    EXPECT_EQ(orders->Params()->ParamByName("CustomerID")->Value(), Variant(5));
    EXPECT_EQ(OrderIds(*detail), (std::vector<int>{501, 502}));
    const int opens = orders->opens;

    // Another customer's detail reopens the query for its key.
    TestDBController* other = Detail(10);
    EXPECT_EQ(orders->opens, opens + 1);
    EXPECT_EQ(orders->Params()->ParamByName("CustomerID")->Value(), Variant(11));
    EXPECT_EQ(OrderIds(*other), (std::vector<int>{1101, 1102}));
    EXPECT_EQ(OrderIds(*detail), (std::vector<int>{501, 502}));

    // The same key again only goes to the first row.
    orders->Last();
    bool reopened = true;
    other->DataModeController().DoDetailFirst("CustomerID", Variant(11), reopened);
    EXPECT_FALSE(reopened);
    EXPECT_EQ(orders->opens, opens + 1);
    EXPECT_EQ(orders->FieldByName("OrderID")->AsInteger(), 1101);
    EXPECT_TRUE(other->DataModeController().DetailIsCurrentQuery("CustomerID", Variant(11)));
    EXPECT_FALSE(other->DataModeController().DetailIsCurrentQuery("CustomerID", Variant(5)));
}

TEST_F(DBDetail, WithoutADetailFilterAdapterTheDetailCannotBePositioned)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    TestDBController* detail = Detail(4);
    cxDetailFilterControllers().UnregisterAdapter(hostlib::TDataSet::StaticClass(),
                                                  TcxDBProviderDetailFilterAdapter::StaticClass());
    quelvo::sys::ScopeGuard restore([] {
        cxDetailFilterControllers().RegisterAdapter(hostlib::TDataSet::StaticClass(),
                                                    TcxDBProviderDetailFilterAdapter::StaticClass());
    });
    bool reopened = false;
    try {
        detail->DataModeController().DoDetailFirst("CustomerID", Variant(5), reopened);
        FAIL() << "positioned without an adapter";
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_STREQ(e.what(), "DetailFilterController not found");
    }
}

TEST_F(DBDetail, ANewOrderTakesItsCustomersKeyWhileTheOptionIsOn)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    TestDBController* detail = Detail(4);
    for (const bool assign : {true, false}) {
        SCOPED_TRACE(assign);
        TcxDataControllerOptions options = detail->Options();
        if (assign)
            options.Include(dcoAssignMasterDetailKeys);
        else
            options.Exclude(dcoAssignMasterDetailKeys);
        detail->SetOptions(options);
        detail->Append();
        ASSERT_EQ(orders->State(), hostlib::dsInsert);
        EXPECT_EQ(orders->FieldByName("CustomerID")->Value(), assign ? Variant(5) : Variant::Null());
        detail->Cancel();
    }
}

TEST_F(DBDetail, MovingInADetailFirstPostsItsMastersPendingEditAndTellsWhetherItSurvived)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    // A full reload of the master frees its details; a smart one reads the
    // posted record alone.
    struct Case {
        bool smartRefresh;
        bool survived;
    };
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.smartRefresh);
        master->DataModeController().SetSmartRefresh(c.smartRefresh);
        ASSERT_TRUE(master->ChangeFocusedRecordIndex(4));
        TestDBController* detail = Detail(4);
        customers->Edit();
        const std::string name = c.smartRefresh ? "Smart" : "Full";
        customers->FieldByName("Name")->SetAsString(name);
        EXPECT_EQ(detail->CheckMasterBrowseMode(), c.survived);
        EXPECT_EQ(customers->State(), hostlib::dsBrowse);
        EXPECT_EQ(customers->FieldByName("Name")->AsString(), name);
        EXPECT_EQ(master->IsDetailDataControllerExist(4, 0), c.survived);
    }
    // Without a data-set master there is nothing to post.
    EXPECT_TRUE(master->CheckMasterBrowseMode());
}

TEST_F(DBDetail, InGridModeExpandingADetailFocusesItsMasterRecordFirst)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    master->DataModeController().SetGridModeBufferCount(5);
    master->DataModeController().SetGridMode(true);
    ASSERT_TRUE(master->IsGridMode());
    struct Case {
        int record;
        int customer;
    };
    for (const Case c : {Case{3, 4}, Case{1, 2}}) {
        SCOPED_TRACE(c.record);
        EXPECT_TRUE(master->ChangeDetailExpanding(c.record, true));
        EXPECT_EQ(master->GetFocusedRecordIndex(), c.record);
        EXPECT_EQ(customers->FieldByName("ID")->AsInteger(), c.customer);
        EXPECT_TRUE(master->GetDetailExpanding(c.record));
    }
    // Collapsing moves nothing.
    EXPECT_TRUE(master->ChangeDetailExpanding(3, false));
    EXPECT_EQ(master->GetFocusedRecordIndex(), 1);
}

TEST_F(DBDetail, InSQLModeOneDetailHoldsTheQueryAndFocusingAnotherReopensItForThatOne)
{
    auto orders = MakeObject<TFooQuery>(nullptr);
    Build(*orders, true);
    TestDBController* five = Detail(4);
    EXPECT_TRUE(five->DBProvider().IsDataSetCurrent());
    TestDBController* eleven = Detail(10);
    EXPECT_TRUE(eleven->DBProvider().IsDataSetCurrent());
    // The detail that lost the query lost its focused row and follows no
    // cursor.
    EXPECT_FALSE(five->DBProvider().IsDataSetCurrent());
    EXPECT_EQ(five->GetFocusedRecordIndex(), -1);
    EXPECT_FALSE(five->DBProvider().IsSyncMode());

    const int opens = orders->opens;
    struct Case {
        TestDBController* detail;
        int record;
        int customer;
        int order;
        int reopens;
    };
    const Case cases[] = {{five, 1, 5, 502, 1}, {five, 0, 5, 501, 0}, {eleven, 1, 11, 1102, 1}};
    int expectedOpens = opens;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        ASSERT_TRUE(c.detail->ChangeFocusedRecordIndex(c.record));
        expectedOpens += c.reopens;
        EXPECT_EQ(orders->opens, expectedOpens);
        EXPECT_EQ(orders->Params()->ParamByName("CustomerID")->Value(), Variant(c.customer));
        EXPECT_EQ(orders->FieldByName("OrderID")->AsInteger(), c.order);
        EXPECT_TRUE(c.detail->DBProvider().IsDataSetCurrent());
        EXPECT_NE(five->DBProvider().IsDataSetCurrent(), eleven->DBProvider().IsDataSetCurrent());
    }
    // Focusing the control of a detail takes the query back for it.
    five->SetFocus();
    EXPECT_EQ(orders->Params()->ParamByName("CustomerID")->Value(), Variant(5));
    EXPECT_EQ(OrderIds(*five), (std::vector<int>{501, 502}));
    EXPECT_EQ(OrderIds(*eleven), (std::vector<int>{1101, 1102}));
}

TEST_F(DBDetail, ADetailInsideAnUpdateMakesItsDataSetBusy)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    auto plain = MakeObject<TestDBController>(nullptr);
    plain->AddColumn("OrderID");
    plain->SetDataSource(ordersSource.get());
    TestDBController* detail = Detail(4);
    ASSERT_NE(detail, nullptr);
    EXPECT_FALSE(pattern->DBProvider().IsDetailDataSetBusy());
    plain->BeginUpdate();
    EXPECT_FALSE(pattern->DBProvider().IsDetailDataSetBusy()) << "a controller that is no detail";
    plain->EndUpdate();
    detail->BeginUpdate();
    EXPECT_TRUE(pattern->DBProvider().IsDetailDataSetBusy());
    EXPECT_TRUE(plain->DBProvider().IsDetailDataSetBusy());
    EXPECT_FALSE(master->DBProvider().IsDetailDataSetBusy()) << "another data set";
    detail->EndUpdate();
    EXPECT_FALSE(pattern->DBProvider().IsDetailDataSetBusy());
}

TEST_F(DBDetail, TheMastersFollowTheOrderTheDetailDataSetStandsOn)
{
    auto orders = MakeObject<hostlib::TMemDataSet>(nullptr);
    Build(*orders, false);
    ASSERT_TRUE(master->ChangeFocusedRecordIndex(0));
    auto customerId = [&] { return customers->FieldByName("ID")->AsInteger(); };
    // Orders 101, 201, 202, 401, 501, 502, 701, 801, ...
    orders->First();
    orders->MoveBy(5);
    ASSERT_EQ(orders->FieldByName("OrderID")->AsInteger(), 502);
    EXPECT_EQ(customerId(), 5) << "the master data set found the customer";
    EXPECT_EQ(master->GetFocusedRecordIndex(), 4);
    EXPECT_TRUE(master->GetDetailExpanding(4));
    EXPECT_EQ(pattern->SyncMasterDetail(), Detail(4)) << "the detail that shows order 502";

    // A master with a pending change is not moved.
    customers->Edit();
    orders->Next();
    EXPECT_EQ(pattern->SyncMasterDetail(), nullptr);
    EXPECT_EQ(customerId(), 5);
    customers->Cancel();

    auto plain = MakeObject<TestDBController>(nullptr);
    plain->AddColumn("OrderID");
    plain->SetDataSource(ordersSource.get());
    EXPECT_EQ(plain->SyncMasterDetail(), plain.get()) << "no master: itself";
}
