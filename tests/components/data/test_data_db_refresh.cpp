// Smart refresh: a change posted to the data set is read into its record
// alone instead of reloading every record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "tests/components/data/test_data_db_fixture.h"

using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::Variant;

namespace {

class CountingController : public db_test::TestDBController {
public:
    int loads = 0;
    void LoadStorage() override
    {
        ++loads;
        TestDBController::LoadStorage();
    }
};

class DBSmartRefresh : public ::testing::Test, public db_test::CustomersFixture {
protected:
    void SetUp() override
    {
        controller->AddColumn("ID");
        name = controller->AddColumn("Name");
        controller->SetKeyFieldNames("ID");
        controller->DataModeController().SetSmartRefresh(true);
        controller->SetDataSource(source.get());
        ASSERT_TRUE(controller->IsSmartRefresh());
        controller->OnUpdateControl = TcxUpdateControlEvent::FromFunction([this](TcxUpdateControlInfo* info) {
            if (auto* record = hostlib::As<TcxUpdateRecordInfo>(info)) updatedRecords.push_back(record->RecordIndex);
        });
        loadsBefore = controller->loads;
    }
    std::string NameOfKey(int id) const
    {
        const int record = controller->FindRecordIndexByKey(Variant(id));
        return record == -1 ? "<none>" : Name(*controller, record, name);
    }

    ObjectPtr<CountingController> controller = MakeObject<CountingController>(nullptr);
    int name = 0;
    int loadsBefore = 0;
    std::vector<int> updatedRecords;
};

} // namespace

TEST_F(DBSmartRefresh, APostReadsThatRecordAlone)
{
    ASSERT_TRUE(controller->ChangeFocusedRecordIndex(4));
    customers->Edit();
    customers->FieldByName("Name")->SetAsString("Edited");
    customers->Post();
    EXPECT_EQ(NameOfKey(5), "Edited");
    EXPECT_EQ(controller->loads, loadsBefore); // nothing else was read
    ASSERT_FALSE(updatedRecords.empty());
    EXPECT_EQ(updatedRecords.back(), 4);

    // A cancelled edit brings the record back.
    customers->Edit();
    customers->FieldByName("Name")->SetAsString("Dropped");
    customers->Cancel();
    EXPECT_EQ(NameOfKey(5), "Edited");
    EXPECT_EQ(controller->GetFocusedRecordIndex(), 4);
    EXPECT_EQ(controller->loads, loadsBefore);
}

TEST_F(DBSmartRefresh, AnInsertedRecordGetsItsAutoIncrementKey)
{
    customers->Append();
    customers->FieldByName("Name")->SetAsString("Newcomer");
    EXPECT_EQ(controller->GetRecordCount(), 21); // the record being inserted
    customers->Post();
    EXPECT_EQ(controller->GetRecordCount(), 21);
    EXPECT_EQ(NameOfKey(21), "Newcomer");
    EXPECT_EQ(Name(*controller, controller->GetFocusedRecordIndex(), name), "Newcomer");
    EXPECT_EQ(controller->loads, loadsBefore);

    customers->Append();
    customers->FieldByName("Name")->SetAsString("Dropped");
    customers->Cancel();
    EXPECT_EQ(controller->GetRecordCount(), 21);
    EXPECT_EQ(NameOfKey(22), "<none>");

    // Through the controller: the pending insert is posted before the next.
    controller->Append();
    customers->FieldByName("Name")->SetAsString("First");
    controller->Append();
    customers->FieldByName("Name")->SetAsString("Second");
    customers->Post();
    EXPECT_EQ(NameOfKey(22), "First");
    EXPECT_EQ(NameOfKey(23), "Second");
    EXPECT_EQ(controller->GetRecordCount(), 23);
    EXPECT_EQ(controller->loads, loadsBefore);
}

TEST_F(DBSmartRefresh, DeletingTheFocusedRecordDropsItWithoutAReload)
{
    ASSERT_TRUE(controller->ChangeFocusedRecordIndex(6));
    controller->DeleteFocused();
    EXPECT_EQ(controller->GetRecordCount(), 19);
    EXPECT_EQ(customers->RecordCount(), 19);
    EXPECT_EQ(NameOfKey(7), "<none>");
    EXPECT_EQ(controller->loads, loadsBefore);
    EXPECT_EQ(CurrentName(), Name(*controller, controller->GetFocusedRecordIndex(), name));

    controller->DeleteRecords({0, 1});
    EXPECT_EQ(controller->GetRecordCount(), 17);
    EXPECT_EQ(NameOfKey(1), "<none>");
    EXPECT_EQ(NameOfKey(2), "<none>");
    EXPECT_EQ(customers->RecordCount(), 17);
}

TEST_F(DBSmartRefresh, ARecordPostedFromTheNewItemRowBecomesAnOrdinaryRecordWithItsKey)
{
    controller->SetUseNewItemRowForEditing(true);
    controller->SetNewItemRowFocused(true);
    ASSERT_TRUE(controller->CanInitEditing(name));
    EXPECT_EQ(customers->State(), hostlib::dsInsert);
    EXPECT_EQ(controller->GetRecordCount(), 20); // the new-item row holds it
    ASSERT_TRUE(controller->SetEditValue(name, Variant("Newcomer"), evsValue));
    controller->Post();
    EXPECT_EQ(customers->State(), hostlib::dsBrowse);
    EXPECT_EQ(controller->GetRecordCount(), 21);
    EXPECT_EQ(NameOfKey(21), "Newcomer");
    EXPECT_EQ(controller->loads, loadsBefore);

    // Editing a shown record puts the data set into edit, not insert.
    ASSERT_TRUE(controller->ChangeFocusedRecordIndex(2));
    ASSERT_TRUE(controller->CanInitEditing(name));
    EXPECT_EQ(customers->State(), hostlib::dsEdit);
    EXPECT_EQ(CurrentName(), "C3");
    controller->Cancel();
}
