// The data-set controller's keys, fields bound by name, lookup fields,
// summaries over data-set fields, and deleting records by key or by moves.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "components/data/cxVariants.h"
#include "tests/components/data/test_data_db_fixture.h"

using db_test::TestDBController;
using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::Variant;

namespace {

class DBKeys : public ::testing::Test, public db_test::CustomersFixture {
protected:
    void SetUp() override
    {
        id = controller->AddColumn("ID");
        name = controller->AddColumn("Name");
        amount = controller->AddColumn("Amount");
        country = controller->AddColumn("Country");
    }
    void Bind() { controller->SetDataSource(source.get()); }
    std::vector<int> RemainingIds()
    {
        std::vector<int> ids;
        for (customers->First(); !customers->Eof(); customers->Next())
            ids.push_back(customers->FieldByName("ID")->AsInteger());
        return ids;
    }

    ObjectPtr<TestDBController> controller = MakeObject<TestDBController>(nullptr);
    int id = 0, name = 0, amount = 0, country = 0;
};

} // namespace

TEST_F(DBKeys, KeyNavigationFollowsTheCursorThroughASortedView)
{
    controller->SetKeyFieldNames("ID");
    Bind();
    ASSERT_TRUE(controller->IsKeyNavigation());
    controller->ChangeSorting(amount, soDescending);
    // Row 0 is C20; focusing it locates its key.
    ASSERT_TRUE(controller->ChangeFocusedRowIndex(0));
    EXPECT_EQ(CurrentName(), "C20");
    ASSERT_TRUE(controller->ChangeFocusedRowIndex(5));
    EXPECT_EQ(CurrentName(), "C15");
    customers->First(); // from outside
    EXPECT_EQ(Name(*controller, controller->GetFocusedRecordIndex()), "C1");
    EXPECT_EQ(controller->GetFocusedRowIndex(), 19);
    customers->Locate("Name", Variant("C7"));
    EXPECT_EQ(Name(*controller, controller->GetFocusedRecordIndex()), "C7");

    controller->SetKeyFieldNames("");
    EXPECT_FALSE(controller->IsKeyNavigation());
    EXPECT_EQ(controller->KeyField(), nullptr);
}

TEST_F(DBKeys, RecordsAreFoundByTheirKeys)
{
    controller->SetKeyFieldNames("ID");
    Bind();
    EXPECT_EQ(controller->FindRecordIndexByKey(Variant(7)), 6);
    EXPECT_EQ(controller->FindRecordIndexByKey(Variant(77)), -1);
    EXPECT_EQ(controller->GetRecordId(3), Variant(4));
    EXPECT_TRUE(controller->LocateByKey(Variant(12)));
    EXPECT_EQ(CurrentName(), "C12");
    EXPECT_FALSE(controller->LocateByKey(Variant(99)));

    controller->SetKeyFieldNames("ID;Name");
    ASSERT_EQ(controller->KeyField()->FieldCount(), 2);
    EXPECT_EQ(controller->FindRecordIndexByKey(Variant(3)), -1); // a scalar for two fields
    EXPECT_EQ(controller->FindRecordIndexByKey(Variant::ArrayOf({Variant(3), Variant("C3")})), 2);
    EXPECT_EQ(controller->FindRecordIndexByKey(Variant::ArrayOf({Variant(3), Variant("C4")})), -1);
    EXPECT_TRUE(VarEquals(controller->GetKeyFieldsValues(), Variant::ArrayOf({Variant(12), Variant("C12")})));

    controller->SetKeyFieldNames("ID;Nope");
    try {
        controller->GetKeyDBFields();
        FAIL() << "an unbound key field was accepted";
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_STREQ(e.what(), "Key Field not found");
    }
}

TEST_F(DBKeys, FieldsOfOneNameShareTheirDataAndNamesMatchInAnyCase)
{
    const int again = controller->AddColumn("NAME");
    Bind();
    TcxCustomDataField* first = controller->GetField(name);
    TcxCustomDataField* second = controller->GetField(again);
    EXPECT_EQ(second->ReferenceField(), first);
    EXPECT_EQ(second->ValueDef(), first->ValueDef());
    EXPECT_EQ(controller->GetItemField(again), customers->FieldByName("Name"));
    EXPECT_EQ(Name(*controller, 4, again), "C5");
    EXPECT_EQ(controller->GetItemByFieldName("aMoUnT"), controller->GetItem(amount));
    EXPECT_EQ(controller->GetItemByFieldName("Missing"), nullptr);

    // The item type follows the field, whatever is asked.
    controller->ChangeValueTypeClass(amount, TcxStringValueType::Class());
    EXPECT_EQ(controller->GetItemValueTypeClass(amount), TcxCurrencyValueType::Class());
}

TEST_F(DBKeys, LookupFieldsAreEditedByKeyAndGroupedAndFilteredByIt)
{
    Bind();
    auto* field = controller->DBFields(country);
    ASSERT_TRUE(field->IsLookup());
    ASSERT_EQ(field->FieldCount(), 1);
    EXPECT_EQ(field->Fields(0)->Field(), customers->FieldByName("CountryID"));
    EXPECT_EQ(Name(*controller, 0, country), "Peru"); // customer 1: CountryID 2
    struct Case {
        TcxDataEditValueSource source;
        bool canModify;
    };
    for (const Case c : {Case{evsKey, true}, Case{evsValue, false}, Case{evsText, false}})
        EXPECT_EQ(field->CanModify(c.source), c.canModify) << c.source;
    EXPECT_EQ(controller->GetGroupValue(0, field), Variant(2));
    EXPECT_EQ(controller->GetFilterDataValue(3, field), Variant(2));
    EXPECT_EQ(controller->GetFilterItemFieldName(controller->GetItem(country)), "CountryID");
    EXPECT_EQ(controller->GetFilterItemFieldName(controller->GetItem(name)), "Name");

    customers->FieldByName("CountryID")->SetReadOnly(true);
    EXPECT_FALSE(field->CanModify(evsKey));

    auto* stray = controller->AddInternalDBField();
    try {
        controller->DBFields(amount)->AddField(field->Fields(0));
        FAIL() << "a sub-field got a second parent";
    } catch (const EcxInvalidDataControllerOperation& e) {
        EXPECT_STREQ(e.what(), "ADataField.FParentField <> nil");
    }
    field->AddField(stray);
    EXPECT_EQ(field->FieldCount(), 2);
    stray->Free();
    EXPECT_EQ(field->FieldCount(), 1);
}

TEST(DBLookupFields, ALookupOnTwoKeysFiltersByBothNames)
{
    auto regions = MakeObject<hostlib::TMemDataSet>(nullptr);
    regions->FieldDefs().Add("A", hostlib::ftInteger);
    regions->FieldDefs().Add("B", hostlib::ftInteger);
    regions->FieldDefs().Add("Label", hostlib::ftString, 10);
    regions->Open();
    regions->AppendRecord({Variant(1), Variant(2), Variant("one-two")});
    auto places = MakeObject<hostlib::TMemDataSet>(nullptr);
    places->FieldDefs().Add("A", hostlib::ftInteger);
    places->FieldDefs().Add("B", hostlib::ftInteger);
    db_test::AddField<hostlib::TIntegerField>(*places, "A")->SetOrigin("T.AX");
    db_test::AddField<hostlib::TIntegerField>(*places, "B");
    auto* label = hostlib::CreateObject<hostlib::TStringField>(places.get());
    label->SetFieldName("Region");
    label->SetFieldKind(hostlib::fkLookup);
    label->SetLookupDataSet(regions.get());
    label->SetKeyFields("A;B");
    label->SetLookupKeyFields("A;B");
    label->SetLookupResultField("Label");
    label->SetDataSet(places.get());
    places->Open();
    places->AppendRecord({Variant(1), Variant(2)});
    auto source = MakeObject<hostlib::TDataSource>(nullptr);
    source->SetDataSet(places.get());
    auto controller = MakeObject<TestDBController>(nullptr);
    const int region = controller->AddColumn("Region");
    controller->SetDataSource(source.get());

    EXPECT_EQ(controller->GetFilterItemFieldName(controller->GetItem(region)), "A;B");
    EXPECT_TRUE(VarEquals(controller->GetGroupValue(0, controller->GetField(region)), Variant::ArrayOf({Variant(1), Variant(2)})));
    EXPECT_EQ(controller->GetDisplayText(0, region), "one-two");
    controller->DBFilter().SetIgnoreOrigin(false);
    EXPECT_EQ(controller->GetFilterItemFieldName(controller->GetItem(region)), "T.AX;B");
}

TEST_F(DBKeys, SummariesSumTheItemsFieldOrTheFieldTheyName)
{
    Bind();
    TcxDataSummaryItems& footer = controller->Summary().FooterSummaryItems();
    auto add = [&](int item) {
        auto* summary = static_cast<TcxDBDataSummaryItem*>(footer.Add());
        summary->SetItemLink(controller->GetItem(item));
        summary->SetKind(skSum);
        return summary;
    };
    auto* own = add(amount);
    auto* named = add(name);
    named->SetFieldName("ID");
    controller->Summary().Calculate();
    EXPECT_DOUBLE_EQ(controller->Summary().GetFooterSummaryValue(0).AsDouble(), 1.5 * 210); // 1.5 * (1 + ... + 20)
    EXPECT_EQ(controller->Summary().GetFooterSummaryValue(1).AsInteger(), 210);
    EXPECT_EQ(named->DataField()->ValueDef(), controller->GetField(id)->ValueDef());
    named->SetFieldName("");
    EXPECT_EQ(named->DataField(), controller->GetField(name));
    EXPECT_EQ(own->DataField(), controller->GetField(amount));
}

TEST_F(DBKeys, DeletingRecordsRemovesExactlyTheListedOnes)
{
    struct Case {
        const char* keys;
        std::vector<int> records;
        std::vector<int> gone;
    };
    const Case cases[] = {
        {"ID", {2, 5, 19}, {3, 6, 20}},
        {"", {2, 5, 19}, {3, 6, 20}},
        {"", {17, 18, 19}, {18, 19, 20}},
        {"ID", {0}, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " " + std::to_string(c.records.front()));
        customers->Close();
        customers->EmptyDataSet();
        customers.reset();
        customers = MakeObject<hostlib::TMemDataSet>(nullptr);
        db_test::FillCustomers(*customers, countries.get());
        source->SetDataSet(customers.get());
        controller->SetKeyFieldNames(c.keys);
        Bind();
        ASSERT_EQ(controller->GetRecordCount(), 20);
        controller->DeleteRecords(c.records);
        std::vector<int> expected;
        for (int i = 1; i <= 20; ++i)
            if (std::find(c.gone.begin(), c.gone.end(), i) == c.gone.end()) expected.push_back(i);
        EXPECT_EQ(RemainingIds(), expected);
        EXPECT_EQ(controller->GetRecordCount(), 20 - static_cast<int>(c.gone.size()));
    }
}
