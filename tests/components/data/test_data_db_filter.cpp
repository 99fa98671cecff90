// Filtering a data-set controller through the data set itself, and the
// null operators its criteria take from the data set's dialect.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "platform/hostlib/core/format.h"
#include "tests/components/data/test_data_db_fixture.h"

using db_test::TestDBController;
using hostlib::MakeObject;
using hostlib::ObjectPtr;
using hostlib::Variant;

namespace {

// Counts the data set's changes a control would hear of.
class CountingLink : public hostlib::TDataLink {
public:
    int changes = 0;

protected:
    void DataSetChanged() override { ++changes; }
};

class DBFilter : public ::testing::Test, public db_test::CustomersFixture {
protected:
    void SetUp() override
    {
        controller->AddColumn("ID");
        name = controller->AddColumn("Name");
        amount = controller->AddColumn("Amount");
        controller->SetDataSource(source.get());
        link->SetDataSource(source.get());
    }
    std::vector<std::string> DataSetNames()
    {
        std::vector<std::string> names;
        for (customers->First(); !customers->Eof(); customers->Next()) names.push_back(CurrentName());
        return names;
    }
    void Rename(int id, const std::string& to)
    {
        customers->Locate("ID", Variant(id));
        customers->Edit();
        customers->FieldByName("Name")->SetAsString(to);
        customers->Post();
    }

    ObjectPtr<TestDBController> controller = MakeObject<TestDBController>(nullptr);
    ObjectPtr<CountingLink> link = MakeObject<CountingLink>();
    int name = 0, amount = 0;
};

hostlib::TFormatSettings CommaLocale()
{
    hostlib::TFormatSettings fs = hostlib::EnglishFormatSettings();
    fs.DecimalSeparator = ',';
    fs.ThousandSeparator = '.';
    return fs;
}

} // namespace

TEST_F(DBFilter, TheDataSetGetsTheCriteriasTextOnceAndShowsExactlyThoseRecords)
{
    const hostlib::ScopedFormatSettings comma(CommaLocale());
    Rename(4, "O'Brien");
    Rename(2, "O'Brien");
    TcxDBDataFilterCriteria& filter = controller->DBFilter();
    filter.SetAutoDataSetFilter(true);
    filter.BeginUpdate();
    filter.AddItem(nullptr, controller->GetItem(name), foEqual, Variant("O'Brien"), "O'Brien");
    filter.AddItem(nullptr, controller->GetItem(amount), foGreater, Variant(4.5), "4,5");
    filter.SetActive(true);
    filter.EndUpdate();
    EXPECT_EQ(customers->Filter(), filter.GetFilterText());
    EXPECT_NE(customers->Filter().find("4.5"), std::string::npos) << customers->Filter();
    EXPECT_TRUE(customers->Filtered());
    EXPECT_FALSE(filter.IsFiltering()); // the data set filters
    EXPECT_EQ(DataSetNames(), (std::vector<std::string>{"O'Brien"})); // ID 4; ID 2 has 3
    EXPECT_EQ(controller->GetRecordCount(), customers->RecordCount());

    const int before = link->changes;
    filter.Changed(); // the same criteria again
    EXPECT_EQ(link->changes, before);
    EXPECT_EQ(customers->Filter(), filter.GetFilterText());

    filter.SetActive(false);
    EXPECT_FALSE(customers->Filtered());
    EXPECT_EQ(controller->GetRecordCount(), 20);
}

TEST_F(DBFilter, WithSmartRefreshTheControllerFiltersItself)
{
    controller->SetKeyFieldNames("ID");
    controller->DataModeController().SetSmartRefresh(true);
    TcxDBDataFilterCriteria& filter = controller->DBFilter();
    filter.SetAutoDataSetFilter(true);
    EXPECT_FALSE(filter.IsAutoDataSetFilter());
    filter.AddItem(nullptr, controller->GetItem(amount), foLess, Variant(4.0), "4");
    filter.SetActive(true);
    EXPECT_TRUE(filter.IsFiltering());
    EXPECT_FALSE(customers->Filtered());
    EXPECT_EQ(controller->GetFilteredRecordCount(), 2);
}

TEST_F(DBFilter, BeforeChangeHearsTheTextAndTakesOverFiltering)
{
    std::vector<std::string> heard;
    TcxDBDataFilterCriteria& filter = controller->DBFilter();
    filter.OnBeforeChange = TcxDBDataFilterBeforeChangeEvent::FromFunction(
        [&](hostlib::TObject*, hostlib::TDataSet* ds, const std::string& text) {
            EXPECT_EQ(ds, customers.get());
            heard.push_back(text);
        });
    filter.AddItem(nullptr, controller->GetItem(name), foEqual, Variant("C3"), "C3");
    filter.SetActive(true);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back(), filter.GetFilterText());
    EXPECT_FALSE(filter.IsFiltering());
    EXPECT_EQ(controller->GetFilteredRecordCount(), 20);
}

TEST_F(DBFilter, APendingEditThatCannotBePostedDeactivatesTheFilter)
{
    TcxDBDataFilterCriteria& filter = controller->DBFilter();
    filter.AddItem(nullptr, controller->GetItem(name), foEqual, Variant("C3"), "C3");
    filter.SetActive(true);
    ASSERT_EQ(controller->GetFilteredRecordCount(), 1);
    customers->BeforePost = hostlib::TDataSetNotifyEvent::FromFunction(
        [](hostlib::TDataSet*) { throw hostlib::EDatabaseError("refused"); });
    customers->Edit();
    customers->FieldByName("Name")->SetAsString("C33");
    EXPECT_THROW(filter.Root().SetBoolOperatorKind(fboOr), hostlib::EDatabaseError);
    EXPECT_FALSE(filter.Active());
    customers->BeforePost.Clear();
    customers->Cancel();
}

TEST_F(DBFilter, NullConditionsFollowTheDataSetsDialect)
{
    auto query = MakeObject<hostlib::TMemQuery>(nullptr);
    db_test::FillCustomers(*query, countries.get());
    auto querySource = MakeObject<hostlib::TDataSource>(nullptr);
    querySource->SetDataSet(query.get());
    auto onQuery = MakeObject<TestDBController>(nullptr);
    onQuery->AddColumn("ID");
    onQuery->AddColumn("Name");
    onQuery->AddColumn("Amount");
    onQuery->SetDataSource(querySource.get());
    struct Case {
        TestDBController* controller;
        const char* expected;
    };
    const Case cases[] = {
        {controller.get(), "(Name = NULL) AND (Amount <> NULL) AND (ID = 3)"},
        {onQuery.get(), "(Name IS NULL) AND (Amount IS NOT NULL) AND (ID = 3)"},
    };
    for (const Case& c : cases) {
        TcxDBDataFilterCriteria& filter = c.controller->DBFilter();
        filter.AddItem(nullptr, c.controller->GetItem(name), foEqual, Variant::Null(), "");
        filter.AddItem(nullptr, c.controller->GetItem(amount), foNotEqual, Variant::Null(), "");
        filter.AddItem(nullptr, c.controller->GetItem(0), foEqual, Variant(3), "3");
        EXPECT_EQ(filter.GetFilterText(), c.expected);
    }
}
