// The data controller's filter: the filter-record event, the incremental
// filter and the criteria, the value list of a drop-down, and further
// criteria that never refilter.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataFilter.h"
#include "platform/hostlib/core/streams.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

class ControllerFilter : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<std::pair<const char*, int>> rows = {{"Apple", 1}, {"avocado", 2}, {"Banana", 3}, {"apricot", 4}};
        dc->BeginUpdate();
        for (const auto& [n, v] : rows) {
            const int r = dc->AppendRecord();
            dc->SetValue(r, name, Variant(n));
            dc->SetValue(r, number, Variant(v));
        }
        dc->EndUpdate();
    }

    std::vector<std::string> Names() { return RowTexts(*dc, name); }

    TestDataControllerPtr dc = MakeTestDataController();
    const int name = dc->AddColumn(TcxStringValueType::Class());
    const int number = dc->AddColumn(TcxIntegerValueType::Class());
};

} // namespace

TEST_F(ControllerFilter, TheThreeTestsInTurn)
{
    std::vector<int> asked;
    dc->SetOnFilterRecord(TcxDataFilterRecordEvent::FromFunction([&](TcxCustomDataController*, int r, bool& accept) {
        asked.push_back(r);
        accept = r != 3; // not "apricot"
    }));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "avocado", "Banana"}));
    EXPECT_EQ(dc->SetIncrementalFilter(name, "a"), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "avocado"}));

    TcxDataFilterCriteria& filter = dc->Filter();
    filter.AddItem(nullptr, dc->GetItem(number), foGreater, Variant(1), "1");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "avocado"})); // not active yet
    filter.SetActive(true);
    EXPECT_TRUE(filter.IsFiltering());
    EXPECT_EQ(Names(), (std::vector<std::string>{"avocado"}));
    // The event decides first: a record it refuses is not asked further.
    asked.clear();
    dc->Refresh();
    EXPECT_EQ(asked, (std::vector<int>{3, 2, 1, 0}));

    dc->ResetIncrementalFilter();
    EXPECT_EQ(Names(), (std::vector<std::string>{"avocado", "Banana"}));
    filter.SetActive(false);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "avocado", "Banana"}));
}

TEST_F(ControllerFilter, TheEditedRecordStays)
{
    dc->Filter().AddItem(nullptr, dc->GetItem(number), foLess, Variant(3), "3");
    dc->Filter().SetActive(true);
    dc->ChangeFocusedRecordIndex(1);
    dc->Edit();
    dc->SetEditValue(number, Variant(9), evsValue);
    dc->Refresh();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "avocado"}));
    // A change of the criteria posts the edit first.
    dc->Filter().Root().SetBoolOperatorKind(fboOr);
    EXPECT_FALSE(dc->GetIsEditing());
    EXPECT_EQ(dc->GetValue(1, number).AsInteger(), 9);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple"}));
}

TEST_F(ControllerFilter, IncrementalFilterIgnoresCase)
{
    EXPECT_EQ(dc->SetIncrementalFilter(name, "AP"), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Apple", "apricot"}));
    EXPECT_TRUE(dc->ChangeIncrementalFilterText("b"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Banana"}));
    EXPECT_FALSE(dc->ChangeIncrementalFilterText("b"));
    EXPECT_EQ(dc->SetIncrementalFilter(name, "kiwi"), -1);
    EXPECT_EQ(dc->GetRowCount(), 0);
    dc->RemoveItem(dc->GetItem(name));
    EXPECT_FALSE(dc->IsIncrementalFilter());
    EXPECT_EQ(dc->GetRowCount(), 4);
}

TEST_F(ControllerFilter, ValueListOfAnItem)
{
    dc->SetValue(0, number, Variant(3));
    dc->SetValue(1, number, Variant(1));
    dc->SetValue(2, number, Variant(3));
    dc->SetValue(3, number, Variant::Null());
    int heard = -1;
    dc->Filter().OnGetValueList = TcxDataFilterGetValueListEvent::FromFunction(
        [&](TcxFilterCriteria*, int item, TcxDataFilterValueList*) { heard = item; });
    hostlib::ObjectPtr<TcxDataFilterValueList> list(dc->Filter().CreateValueList());
    list->Load(number);
    std::vector<std::string> texts;
    for (int i = 0; i < list->Count(); ++i) texts.push_back(list->Items(i).DisplayText);
    // Special entries stand before the value section.
    EXPECT_EQ(texts, (std::vector<std::string>{"(All)", "(Custom...)", "(Blanks)", "(NonBlanks)", "1", "3"}));
    EXPECT_EQ(heard, number);
    // The fixture's items sort by display text when asked with that default.
    EXPECT_TRUE(list->SortByDisplayText());
    list->Load(name);
    EXPECT_EQ(list->Count(), 6);
}

TEST_F(ControllerFilter, FurtherCriteriaNeverRefilter)
{
    TcxDataFilterCriteria* extra = dc->CreateFilter();
    EXPECT_TRUE(extra->IsInternal());
    extra->AddItem(nullptr, dc->GetItem(number), foEqual, Variant(2), "2");
    extra->SetActive(true);
    EXPECT_EQ(dc->GetRowCount(), 4);
    EXPECT_FALSE(extra->DoFilterRecord(0));
    EXPECT_TRUE(extra->DoFilterRecord(1));
    dc->RemoveItem(dc->GetItem(number));
    EXPECT_TRUE(extra->IsEmpty());
    extra->Free();
    EXPECT_EQ(dc->Filters().Count(), 0);
}

TEST_F(ControllerFilter, CriteriaTravelBetweenControllers)
{
    dc->Filter().AddItem(nullptr, dc->GetItem(name), foLike, Variant("a%"), "a%");
    dc->Filter().SetActive(true);
    auto other = MakeTestDataController();
    other->AddColumn(TcxStringValueType::Class());
    other->Assign(dc.get());
    // Item links travel by item ID; this controller's items have none.
    EXPECT_TRUE(other->Filter().Active());
    EXPECT_EQ(other->Filter().Root().Count(), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"avocado", "apricot"}));
}

namespace {
// Items are known by their index, so stored criteria find them again.
class IdentifiedController : public TestDataController {
public:
    int GetItemID(hostlib::TObject* item) const override
    {
        for (int i = 0; i < GetItemCount(); ++i)
            if (GetItem(i) == item) return i;
        return -1;
    }
};

std::string Streamed(TcxFilterCriteria& criteria)
{
    hostlib::TMemoryStream stream;
    criteria.SaveToStream(stream);
    const std::vector<std::uint8_t>& bytes = stream.Bytes();
    return std::string(bytes.begin(), bytes.end());
}
} // namespace

TEST(ControllerFilterStream, CriteriaTravelAsAComponentWithTheirBinaryForm)
{
    auto source = hostlib::MakeObject<IdentifiedController>(static_cast<hostlib::TComponent*>(nullptr));
    auto target = hostlib::MakeObject<IdentifiedController>(static_cast<hostlib::TComponent*>(nullptr));
    for (auto* dc : {source.get(), target.get()}) {
        dc->AddColumn(TcxStringValueType::Class());
        dc->AddColumn(TcxIntegerValueType::Class());
    }
    TcxDataFilterCriteria& filter = source->Filter();
    filter.SetOptions({fcoCaseInsensitive});
    filter.SetPercentWildcard('*');
    filter.SetMaxValueListCount(3);
    filter.Root().SetBoolOperatorKind(fboNotOr);
    filter.AddItem(nullptr, source->GetItem(0), foLike, Variant("a*"), "a*");
    filter.AddItem(nullptr, source->GetItem(1), foGreater, Variant(1), "1");
    const std::string text = Streamed(filter);
    EXPECT_NE(text.find("Filter.Options = [fcoCaseInsensitive];"), std::string::npos) << text;
    EXPECT_NE(text.find("Filter.PercentWildcard = \"*\";"), std::string::npos) << text;
    EXPECT_NE(text.find("Filter.Criteria = hex{"), std::string::npos) << text;
    EXPECT_EQ(text.find("UnderscoreWildcard"), std::string::npos) << text; // defaults are not written

    hostlib::TMemoryStream stream(std::vector<std::uint8_t>(text.begin(), text.end()));
    target->Filter().LoadFromStream(stream);
    TcxDataFilterCriteria& loaded = target->Filter();
    EXPECT_EQ(loaded.Options(), (TcxFilterCriteriaOptions{fcoCaseInsensitive}));
    EXPECT_EQ(loaded.PercentWildcard(), '*');
    EXPECT_EQ(loaded.MaxValueListCount(), 3);
    EXPECT_EQ(loaded.GetFilterText(), filter.GetFilterText());
    EXPECT_EQ(loaded.Root().BoolOperatorKind(), fboNotOr);
    EXPECT_EQ(Streamed(loaded), text);
}

TEST(ControllerFilterStream, AnEmptyCriteriaWritesNoConditionsAndABrokenStreamIsRefused)
{
    auto dc = hostlib::MakeObject<IdentifiedController>(static_cast<hostlib::TComponent*>(nullptr));
    dc->AddColumn(TcxIntegerValueType::Class());
    EXPECT_EQ(Streamed(dc->Filter()).find("Criteria"), std::string::npos);
    for (const char* broken : {"", "_ : TFilterWrapper { Filter.Criteria = hex{FFFF}; }",
                               "_ : TFilterWrapper { Filter.Nothing = 1; }", "_ : TButton { }"}) {
        SCOPED_TRACE(broken);
        const std::string text = broken;
        hostlib::TMemoryStream stream(std::vector<std::uint8_t>(text.begin(), text.end()));
        EXPECT_THROW(dc->Filter().LoadFromStream(stream), hostlib::Exception);
    }
}
