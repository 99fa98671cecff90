// The data-set connection: field helpers, the adapter registry, the field
// binding of an editor and the null operators of query data sets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "components/data/cxDBFilter.h"
#include "platform/hostlib/data/memdataset.h"

using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::TField;
using hostlib::Variant;

namespace {

// Query data sets named in either case.
class TFooQuery : public hostlib::TMemQuery {
public:
    static hostlib::TClass StaticClass() { return hostlib::DefineClass<TFooQuery, hostlib::TMemQuery>("TFooQuery"); }
    hostlib::TClass ClassType() const override { return StaticClass(); }
};
class TFooquery : public hostlib::TMemDataSet {
public:
    static hostlib::TClass StaticClass() { return hostlib::DefineClass<TFooquery, hostlib::TMemDataSet>("TFooquery"); }
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class DBFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ds->FieldDefs().Add("ID", hostlib::ftInteger);
        ds->FieldDefs().Add("Name", hostlib::ftString, 20);
        ds->FieldDefs().Add("Order Date", hostlib::ftDate);
        ds->FieldDefs().Add("Notes", hostlib::ftMemo);
        ds->Open();
        ds->AppendRecord({Variant(1), Variant("Ada"), Variant::Null(), Variant("n")});
        ds->AppendRecord({Variant(2), Variant("Bo"), Variant::Null(), Variant::Null()});
        ds->First();
        source->SetDataSet(ds.get());
    }
    TField* F(const char* name) { return ds->FieldByName(name); }

    ObjectPtr<hostlib::TMemDataSet> ds = MakeObject<hostlib::TMemDataSet>(nullptr);
    ObjectPtr<hostlib::TDataSource> source = MakeObject<hostlib::TDataSource>(nullptr);
};

} // namespace

TEST_F(DBFixture, FilterFieldNamesTakeTheOriginOrABracketedName)
{
    F("Order Date")->SetOrigin("CUST.ORDERDATE");
    EXPECT_EQ(GetFilterFieldName(F("Order Date"), false), "CUST.ORDERDATE");
    EXPECT_EQ(GetFilterFieldName(F("Order Date"), true), "[Order Date]");
    EXPECT_EQ(GetFilterFieldName(F("Name"), false), "Name");
    EXPECT_EQ(GetFilterFieldName(nullptr, false), "");
    EXPECT_TRUE(IsEqualFieldNames("order date", "ORDER Date"));
    EXPECT_EQ(GetFieldNamesCount("ID;Name"), 2);
    EXPECT_FALSE(IsMultipleFieldNames("ID"));
}

TEST_F(DBFixture, DataSetValuesOfSeveralFieldsAreAnArray)
{
    const Variant two = GetDataSetValues(ds.get(), {F("ID"), F("Name")});
    ASSERT_TRUE(two.IsArray());
    EXPECT_EQ(two[0].AsInteger(), 1);
    EXPECT_EQ(two[1].AsString(), "Ada");
    EXPECT_TRUE(GetDataSetValues(ds.get(), {}).IsNull());
    EXPECT_EQ(GetDataSetValues(ds.get(), {F("Name")}).AsString(), "Ada");

    ds->Edit();
    SetDataSetValues(ds.get(), {F("ID"), F("Name")}, Variant::ArrayOf({Variant(7), Variant("Cy")}));
    SetFieldValue(F("Order Date"), Variant(45000.0));
    ds->Post();
    EXPECT_EQ(F("ID")->AsInteger(), 7);
    EXPECT_EQ(F("Name")->AsString(), "Cy");
    EXPECT_DOUBLE_EQ(F("Order Date")->AsDateTime(), 45000.0);
}

TEST_F(DBFixture, MemosAreEditableAsValuesOrThroughATextHandler)
{
    EXPECT_FALSE(IsFieldCanModify(F("Notes"), false));
    EXPECT_TRUE(IsFieldCanModify(F("Notes"), true));
    EXPECT_TRUE(IsFieldCanModify(F("Name"), false));
    F("Notes")->OnSetText = hostlib::TFieldSetTextEvent::FromFunction([](TField*, const std::string&) {});
    EXPECT_TRUE(IsFieldCanModify(F("Notes"), false));
    F("ID")->SetReadOnly(true);
    EXPECT_FALSE(IsFieldCanModify(F("ID"), true));
    EXPECT_TRUE(IsFieldFormatted(F("Notes"), true));
    EXPECT_FALSE(IsFieldFormatted(F("Name"), true));
}

TEST(DBAdapterList, AClassFindsItsOwnAdapterOrItsNearestAncestors)
{
    for (const bool baseFirst : {true, false}) {
        SCOPED_TRACE(baseFirst);
        auto list = MakeObject<TcxDBAdapterList>();
        const hostlib::TClass base = hostlib::TDataSet::StaticClass();
        const hostlib::TClass query = hostlib::TMemQuery::StaticClass();
        if (baseFirst) list->RegisterAdapter(base, TcxDBAdapterItem::StaticClass());
        list->RegisterAdapter(query, TcxDBAdapterItem::StaticClass());
        if (!baseFirst) list->RegisterAdapter(base, TcxDBAdapterItem::StaticClass());
        ASSERT_EQ(list->ItemCount(), 2);
        EXPECT_EQ(list->Items(0)->DataSetClass(), base); // ancestors first
        int index = -1;
        EXPECT_TRUE(list->FindAdapter(TFooQuery::StaticClass(), index));
        EXPECT_EQ(list->Items(index)->DataSetClass(), query);
        EXPECT_TRUE(list->FindAdapter(hostlib::TMemDataSet::StaticClass(), index));
        EXPECT_EQ(list->Items(index)->DataSetClass(), base);
        list->UnregisterAdapter(base, TcxDBAdapterItem::StaticClass());
        EXPECT_FALSE(list->FindAdapter(hostlib::TMemDataSet::StaticClass(), index));
        EXPECT_EQ(index, 0); // the query's entry descends from it
    }
}

namespace {
struct BindingFixture : DBFixture {
    void SetUp() override
    {
        DBFixture::SetUp();
        binding->SetDataSource(source.get());
        binding->OnDataChange = TcxDataBindingNotifyEvent::FromFunction([this] { ++dataChanges; });
    }
    ObjectPtr<TcxCustomDBDataBinding> binding = MakeObject<TcxCustomDBDataBinding>(
        static_cast<hostlib::TComponent*>(nullptr), static_cast<hostlib::TComponent*>(nullptr));
    int dataChanges = 0;
};
} // namespace

TEST_F(BindingFixture, AnEmptyTextIsNoValueExceptInTextFields)
{
    struct Case {
        const char* field;
        bool storesNull;
    };
    for (const Case c : {Case{"ID", true}, Case{"Name", false}}) {
        SCOPED_TRACE(c.field);
        binding->SetDataField(c.field);
        ASSERT_EQ(binding->Field(), F(c.field));
        binding->SetStoredValue(evsValue, Variant(std::string()));
        EXPECT_EQ(ds->State(), hostlib::dsEdit);
        EXPECT_EQ(F(c.field)->IsNull(), c.storesNull);
        if (!c.storesNull) {
            EXPECT_EQ(F(c.field)->AsString(), "");
        }
        ds->Cancel();
    }
}

TEST_F(BindingFixture, StoredValuesByKindAndEditMode)
{
    binding->SetDataField("Name");
    EXPECT_TRUE(binding->IsDataSourceLive());
    EXPECT_TRUE(binding->CanModify());
    EXPECT_EQ(binding->GetStoredValue(evsValue, false).AsString(), "Ada");
    EXPECT_EQ(binding->GetStoredValue(evsText, true).AsString(), "Ada");
    binding->SetDataField("Order Date");
    EXPECT_TRUE(binding->GetStoredValue(evsValue, false).IsNull());
    EXPECT_EQ(binding->GetStoredValue(evsText, false).AsString(), "");

    binding->SetDataField("Name");
    EXPECT_TRUE(binding->SetEditMode());
    EXPECT_TRUE(binding->GetModified());
    const int before = dataChanges;
    binding->SetStoredValue(evsText, Variant("Eve"));
    EXPECT_EQ(dataChanges, before); // the field notice came back under the refresh lock
    EXPECT_TRUE(binding->GetModified());
    ds->Post();
    EXPECT_EQ(F("Name")->AsString(), "Eve");
    EXPECT_FALSE(binding->GetModified());

    binding->SetReadOnly(true);
    EXPECT_FALSE(binding->SetEditMode());
    source->SetDataSet(nullptr);
    EXPECT_FALSE(binding->IsDataSourceLive());
    EXPECT_TRUE(binding->GetStoredValue(evsValue, false).IsNull());
}

TEST_F(BindingFixture, AnUnknownFieldNameRaises)
{
    EXPECT_THROW(binding->SetDataField("Nope"), hostlib::Exception);
}

TEST(DBFilterAdapter, QueryDataSetsGetSqlNullOperators)
{
    struct Case {
        const char* name;
        hostlib::TDataSet* dataSet;
        bool sql;
    };
    auto table = MakeObject<hostlib::TMemDataSet>(nullptr);
    auto query = MakeObject<TFooQuery>(nullptr);
    auto lower = MakeObject<TFooquery>(nullptr);
    for (const Case c : {Case{"table", table.get(), false}, Case{"TFooQuery", query.get(), true},
                         Case{"TFooquery", lower.get(), true}}) {
        SCOPED_TRACE(c.name);
        TcxDBFilterOperatorAdapter* adapter = cxGetFilterOperatorAdapter(c.dataSet);
        ASSERT_NE(adapter, nullptr);
        TcxFilterOperatorClass null = TcxFilterNullOperator::StaticClass();
        TcxFilterOperatorClass notNull = TcxFilterNotNullOperator::StaticClass();
        TcxFilterOperatorClass equal = TcxFilterEqualOperator::StaticClass();
        adapter->PrepareOperatorClass(nullptr, c.dataSet, null);
        adapter->PrepareOperatorClass(nullptr, c.dataSet, notNull);
        adapter->PrepareOperatorClass(nullptr, c.dataSet, equal);
        EXPECT_EQ(null, c.sql ? TcxFilterSQLNullOperator::StaticClass() : TcxFilterNullOperator::StaticClass());
        EXPECT_EQ(notNull, c.sql ? TcxFilterSQLNotNullOperator::StaticClass() : TcxFilterNotNullOperator::StaticClass());
        EXPECT_EQ(equal, TcxFilterEqualOperator::StaticClass());
    }
    EXPECT_EQ(cxGetFilterOperatorAdapter(nullptr), nullptr);
    EXPECT_EQ(TcxFilterSQLNullOperator().FilterText(), "IS");
    EXPECT_EQ(TcxFilterSQLNotNullOperator().FilterText(), "IS NOT");
}

TEST(DBData, FieldTypesMapToValueTypes)
{
    struct Case {
        hostlib::TFieldType type;
        TcxValueTypeClass valueType;
    };
    const Case cases[] = {
        {hostlib::ftMemo, TcxVariantValueType::Class()},        {hostlib::ftAutoInc, TcxIntegerValueType::Class()},
        {hostlib::ftBCD, TcxCurrencyValueType::Class()},        {hostlib::ftWideString, TcxWideStringValueType::Class()},
        {hostlib::ftTime, TcxDateTimeValueType::Class()},       {hostlib::ftLargeint, TcxLargeIntValueType::Class()},
        {hostlib::ftString, TcxStringValueType::Class()},       {hostlib::ftBoolean, TcxBooleanValueType::Class()},
    };
    auto ds = MakeObject<hostlib::TMemDataSet>(nullptr);
    for (const Case& c : cases) ds->FieldDefs().Add("F" + std::to_string(static_cast<int>(c.type)), c.type, 10);
    ds->Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        EXPECT_EQ(GetValueTypeClassByField(ds->FieldByName("F" + std::to_string(static_cast<int>(c.type)))), c.valueType);
    }
    EXPECT_EQ(GetValueTypeClassByField(nullptr), TcxStringValueType::Class());
}

TEST(DBData, TheDetailFilterAdapterLocatesOrReopensTheQueryWithTheKey)
{
    auto orders = MakeObject<hostlib::TMemQuery>(nullptr);
    orders->FieldDefs().Add("CustomerID", hostlib::ftInteger);
    orders->Params()->CreateParam(hostlib::ftInteger, "CustomerID")->SetValue(Variant(1));
    orders->Open();
    for (int id : {1, 2, 2, 3}) orders->AppendRecord({Variant(id)});
    int index = -1;
    ASSERT_TRUE(cxDetailFilterControllers().FindAdapter(orders->ClassType(), index));
    auto* adapter = hostlib::As<TcxDBProviderDetailFilterAdapter>(cxDetailFilterControllers().Items(index));
    ASSERT_NE(adapter, nullptr);

    bool reopened = false;
    adapter->SetFilter(orders.get(), "CustomerID", Variant(2), false, reopened);
    EXPECT_FALSE(reopened);
    EXPECT_EQ(orders->RecNo(), 2); // located

    EXPECT_TRUE(adapter->IsCurrentQuery(orders.get(), "CustomerID", Variant(1)));
    adapter->SetFilter(orders.get(), "CustomerID", Variant(1), true, reopened);
    EXPECT_FALSE(reopened);
    EXPECT_EQ(orders->RecNo(), 1); // the same key: its first record
    adapter->SetFilter(orders.get(), "CustomerID", Variant(3), true, reopened);
    EXPECT_TRUE(reopened);
    EXPECT_TRUE(orders->Active());
    EXPECT_TRUE(adapter->IsCurrentQuery(orders.get(), "CustomerID", Variant(3)));

    // A data set without parameters is no query: nothing to reopen.
    auto table = MakeObject<hostlib::TMemDataSet>(nullptr);
    reopened = false;
    EXPECT_FALSE(adapter->IsCurrentQuery(table.get(), "CustomerID", Variant(3)));
    adapter->ReopenSQL(table.get(), "CustomerID", Variant(3), reopened);
    EXPECT_FALSE(reopened);
}
