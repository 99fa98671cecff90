// Summaries: footer and group values, their texts, what recalculates them,
// values set by hand, and sorting groups by a summary value.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxDataSummary.h"
#include "data_controller_fixture.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"

using hostlib::Variant;

namespace {

// Appends one record per value of the item, inside one update.
void Fill(TestDataController& dc, int item, const std::vector<Variant>& values)
{
    dc.BeginUpdate();
    for (const Variant& v : values) dc.SetValue(dc.AppendRecord(), item, v);
    dc.EndUpdate();
}

TcxDataSummaryItem* AddItem(TcxDataSummaryItems& items, TestDataController& dc, int itemIndex, TcxSummaryKind kind)
{
    TcxDataSummaryItem* item = items.Add();
    if (itemIndex >= 0) item->SetItemLink(dc.GetItem(itemIndex));
    item->SetKind(kind);
    return item;
}

std::string ValueText(const Variant& v)
{
    if (v.IsNull()) return "<null>";
    if (v.IsEmpty()) return "<empty>";
    return v.AsString();
}

hostlib::TFormatSettings Dollars()
{
    hostlib::TFormatSettings fs = hostlib::EnglishFormatSettings();
    fs.CurrencyString = "$";
    fs.CurrencyDecimals = 2;
    fs.CurrencyFormat = 0;
    return fs;
}

} // namespace

TEST(DataSummary, FooterValuesAndTexts)
{
    const hostlib::ScopedFormatSettings english(hostlib::EnglishFormatSettings());
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        std::vector<Variant> values;
        TcxSummaryKind kind;
        TcxSummaryOptions options;
        std::string value;
        std::string text;
    };
    const Variant null = Variant::Null();
    const std::vector<Case> cases = {
        {"sum of nothing", TcxFloatValueType::Class(), {}, skSum, {}, "<null>", ""},
        {"count of nothing", TcxFloatValueType::Class(), {}, skCount, {}, "0", "0"},
        {"average counts Null", TcxFloatValueType::Class(), {Variant(2.0), null, Variant(4.0)}, skAverage, {}, "2", "AVG=2.00"},
        {"average ignores Null", TcxFloatValueType::Class(), {Variant(2.0), null, Variant(4.0)}, skAverage, {soNullIgnore}, "3",
         "AVG=3.00"},
        {"count ignores Null", TcxFloatValueType::Class(), {Variant(2.0), null, Variant(4.0)}, skCount, {soNullIgnore}, "2", "2"},
        {"min skips a first Null", TcxFloatValueType::Class(), {null, Variant(5.0), Variant(3.0)}, skMin, {}, "3", "MIN=3.00"},
        {"max", TcxFloatValueType::Class(), {Variant(5.0), null, Variant(7.5)}, skMax, {}, "7.5", "MAX=7.50"},
        {"negative sum", TcxFloatValueType::Class(), {Variant(-1.0), Variant(-2.0)}, skSum, {}, "-3", "-3.00"},
        {"sum starts at 0 on Null", TcxIntegerValueType::Class(), {null, Variant(4)}, skSum, {}, "4", "4.00"},
        {"min of texts", TcxStringValueType::Class(), {Variant("b"), Variant("a")}, skMin, {}, "a", "a"},
        {"sum of texts as numbers", TcxStringValueType::Class(), {Variant("12"), Variant("3")}, skSum, {}, "15", "15.00"},
        {"sum with a text no number", TcxStringValueType::Class(), {Variant("12"), Variant("x"), Variant("3")}, skSum, {},
         "<null>", ""},
        {"average of texts", TcxStringValueType::Class(), {Variant("1"), Variant("2")}, skAverage, {}, "1.5", "AVG=1.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto dc = MakeTestDataController();
        const int item = dc->AddColumn(c.type);
        Fill(*dc, item, c.values);
        TcxDataSummary& summary = dc->Summary();
        summary.SetOptions(c.options);
        AddItem(summary.FooterSummaryItems(), *dc, item, c.kind);
        EXPECT_EQ(ValueText(summary.GetFooterSummaryValue(0)), c.value);
        EXPECT_EQ(summary.GetFooterSummaryText(0), c.text);
        EXPECT_TRUE(summary.GetFooterSummaryValue(1).IsNull());
    }
}

TEST(DataSummary, SumsKeepTheirValueType)
{
    const hostlib::ScopedFormatSettings english(hostlib::EnglishFormatSettings());
    struct Case {
        TcxValueTypeClass type;
        std::vector<Variant> values;
        TcxSummaryKind kind;
        hostlib::TVarType expected;
    };
    const double day = hostlib::EncodeDate(2024, 1, 1);
    const std::vector<Case> cases = {
        {TcxIntegerValueType::Class(), {Variant(2147483647), Variant(1)}, skSum, hostlib::varInt64},
        {TcxCurrencyValueType::Class(), {Variant(hostlib::Currency(2)), Variant(hostlib::Currency(3))}, skSum, hostlib::varCurrency},
        {TcxDateTimeValueType::Class(), {Variant::FromDate(day), Variant::FromDate(day + 2)}, skAverage, hostlib::varDate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type->ClassName());
        auto dc = MakeTestDataController();
        const int item = dc->AddColumn(c.type);
        Fill(*dc, item, c.values);
        AddItem(dc->Summary().FooterSummaryItems(), *dc, item, c.kind);
        EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).VarType(), c.expected);
    }
    auto dc = MakeTestDataController();
    const int item = dc->AddColumn(TcxDateTimeValueType::Class());
    Fill(*dc, item, {Variant::FromDate(day), Variant::FromDate(day + 2)});
    AddItem(dc->Summary().FooterSummaryItems(), *dc, item, skAverage);
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), day + 1);
    EXPECT_EQ(dc->Summary().GetFooterSummaryText(0), "AVG=" + hostlib::DateToStr(day + 1));
}

TEST(DataSummary, CurrencyTextsFollowTheLocale)
{
    const hostlib::ScopedFormatSettings dollars(Dollars());
    auto dc = MakeTestDataController();
    const int group = dc->AddColumn(TcxStringValueType::Class());
    const int amount = dc->AddColumn(TcxCurrencyValueType::Class());
    dc->BeginUpdate();
    const std::vector<std::pair<const char*, double>> rows = {{"a", 1000}, {"a", 239.5}, {"b", -5}};
    for (const auto& [g, a] : rows) {
        const int r = dc->AppendRecord();
        dc->SetValue(r, group, Variant(g));
        dc->SetValue(r, amount, Variant(hostlib::Currency::FromScaled(static_cast<long long>(a * 10000))));
    }
    dc->EndUpdate();
    dc->Groups().ChangeGrouping(group, 0);
    AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skSum);
    AddItem(dc->Summary().DefaultGroupSummaryItems(), *dc, amount, skSum);
    EXPECT_EQ(dc->Summary().GetFooterSummaryText(0), "$1,234.50");
    // Rows: a, b (collapsed).
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(1), "(SUM=-$5.00)");
}

class GroupSummary : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Group "a" sums 10 over 3 records, "b" 4 over 2, "c" 7 over 1.
        const std::vector<std::pair<const char*, double>> rows = {{"a", 1}, {"b", 3}, {"a", 4}, {"c", 7}, {"b", 1}, {"a", 5}};
        dc->BeginUpdate();
        for (const auto& [g, v] : rows) {
            const int r = dc->AppendRecord();
            dc->SetValue(r, group, Variant(g));
            dc->SetValue(r, amount, Variant(v));
        }
        dc->EndUpdate();
        dc->Groups().ChangeGrouping(group, 0);
        dc->Groups().FullCollapse();
        sum = AddItem(dc->Summary().DefaultGroupSummaryItems(), *dc, amount, skSum);
        AddItem(dc->Summary().DefaultGroupSummaryItems(), *dc, -1, skCount);
        dc->Summary().OnAfterSummary = TcxAfterSummaryEvent::FromFunction([this](TcxDataSummary*) { ++afterSummary; });
        dc->notices.clear();
    }

    std::vector<std::string> GroupTexts()
    {
        std::vector<std::string> result;
        for (int row = 0; row < dc->GetRowCount(); ++row) result.push_back(dc->Summary().GetGroupSummaryText(row));
        return result;
    }

    std::vector<std::string> GroupValues() { return RowTexts(*dc, group); }

    const hostlib::ScopedFormatSettings english{hostlib::EnglishFormatSettings()};
    TestDataControllerPtr dc = MakeTestDataController();
    const int group = dc->AddColumn(TcxStringValueType::Class());
    const int amount = dc->AddColumn(TcxFloatValueType::Class());
    TcxDataSummaryItem* sum = nullptr;
    int afterSummary = 0;
};

TEST_F(GroupSummary, GroupTexts)
{
    EXPECT_EQ(GroupTexts(), (std::vector<std::string>{"(SUM=10.00, COUNT=3)", "(SUM=4.00, COUNT=2)", "(SUM=7.00, COUNT=1)"}));
    TcxDataGroupSummaryItems& items = dc->Summary().DefaultGroupSummaryItems();
    items.SetBeginText("");
    items.SetEndText("");
    items.SetSeparator(";");
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(0), "SUM=10.00; COUNT=3");
    EXPECT_EQ(dc->Summary().GetGroupSummaryValue(0, 1).AsInteger(), 3);
    EXPECT_TRUE(dc->Summary().GetGroupSummaryValue(0, 2).IsNull());
    EXPECT_TRUE(dc->Summary().GetGroupSummaryValue(9, 0).IsNull());
}

TEST_F(GroupSummary, CountWithoutFieldCountsOnlyInGroups)
{
    AddItem(dc->Summary().FooterSummaryItems(), *dc, -1, skCount);
    EXPECT_EQ(dc->Summary().GetFooterSummaryText(0), "");
    EXPECT_EQ(dc->Summary().GetGroupSummaryValue(0, 1).AsInteger(), 3);
}

TEST_F(GroupSummary, TwoLevelsSummarizeEachLevel)
{
    dc->Groups().ChangeGrouping(amount, 1);
    dc->Groups().FullExpand();
    // Group "a" is row 0; its first subgroup (amount 1) row 1.
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(0), "(SUM=10.00, COUNT=3)");
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(1), "(SUM=1.00, COUNT=1)");
}

TEST_F(GroupSummary, ASummaryGroupGivesItsLevelOwnItems)
{
    TcxDataSummaryGroup* own = dc->Summary().SummaryGroups().Add();
    own->Links().Add()->SetItemLink(dc->GetItem(group));
    AddItem(own->SummaryItems(), *dc, amount, skMax);
    EXPECT_EQ(dc->Summary().GetGroupSummaryItems(0), &own->SummaryItems());
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(0), "(MAX=5.00)");
    // A second group taking the same item takes it from the first.
    TcxDataSummaryGroup* other = dc->Summary().SummaryGroups().Add();
    other->Links().Add()->SetItemLink(dc->GetItem(group));
    EXPECT_EQ(own->Links().Items(0)->GetItemLink(), nullptr);
    EXPECT_EQ(dc->Summary().SummaryGroups().FindByItemLink(dc->GetItem(group)), other);
}

TEST_F(GroupSummary, SelectedRecordsOnly)
{
    AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skSum);
    AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skCount);
    dc->SetMultiSelect(true);
    dc->Summary().SetOptions({soSelectedRecords});
    EXPECT_TRUE(dc->Summary().GetFooterSummaryValue(0).IsNull());
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(1).AsInteger(), 0);
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(0), "(COUNT=0)");

    // Selecting a row recalculates.
    dc->Groups().FullExpand();
    const int before = afterSummary;
    dc->ChangeRowSelection(5, true); // record 1, amount 3
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 3.0);
    EXPECT_EQ(afterSummary, before + 1);
}

TEST_F(GroupSummary, FocusRecalculatesInFocusedSelectedMode)
{
    AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skSum);
    dc->Summary().SetOptions({soSelectedRecords});
    dc->Groups().FullExpand();
    EXPECT_TRUE(dc->Summary().GetFooterSummaryValue(0).IsNull());
    dc->ChangeFocusedRecordIndex(3);
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 7.0);
    dc->ChangeFocusedRecordIndex(5);
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 5.0);
}

TEST_F(GroupSummary, AfterSummaryOncePerUpdate)
{
    dc->BeginUpdate();
    dc->SetValue(0, amount, Variant(2.0));
    dc->SetValue(1, amount, Variant(2.0));
    dc->Summary().Recalculate();
    dc->EndUpdate();
    EXPECT_EQ(afterSummary, 1);
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(0), "(SUM=11.00, COUNT=3)");
}

TEST(DataSummaryLoading, AfterSummaryWaitsForLoaded)
{
    auto owner = hostlib::MakeObject<hostlib::TComponent>(static_cast<hostlib::TComponent*>(nullptr));
    auto dc = hostlib::MakeObject<TestDataController>(owner.get());
    const int item = dc->AddColumn(TcxFloatValueType::Class());
    int afterSummary = 0;
    dc->Summary().OnAfterSummary = TcxAfterSummaryEvent::FromFunction([&](TcxDataSummary*) { ++afterSummary; });
    owner->IncludeState(hostlib::csLoading);
    AddItem(dc->Summary().FooterSummaryItems(), *dc, item, skSum);
    Fill(*dc, item, {Variant(1.0), Variant(2.0)});
    EXPECT_EQ(afterSummary, 0);
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 3.0);
    owner->ExcludeState(hostlib::csLoading);
    dc->Loaded();
    EXPECT_EQ(afterSummary, 1);
    dc->Loaded();
    EXPECT_EQ(afterSummary, 1);
}

TEST_F(GroupSummary, RedrawOnlyAgainstRecalculating)
{
    AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skSum);
    const int before = afterSummary;
    dc->notices.clear();

    dc->Summary().SetFooterSummaryValue(0, Variant(21.0)); // its own value
    EXPECT_TRUE(dc->notices.empty());
    dc->Summary().SetFooterSummaryValue(0, Variant(99.0));
    EXPECT_EQ(dc->notices, (std::vector<std::string>{"layout"}));
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 99.0);
    sum->SetFormat("0.0");
    dc->Summary().DefaultGroupSummaryItems().SetSeparator(";");
    EXPECT_EQ(afterSummary, before);
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 99.0);

    sum->SetKind(skMax);
    EXPECT_EQ(afterSummary, before + 1);
    EXPECT_EQ(dc->Summary().GetFooterSummaryValue(0).AsDouble(), 21.0);
    // A format of the item's own replaces the default one.
    EXPECT_EQ(dc->Summary().GetGroupSummaryText(0), "(5.0; COUNT=3)");
}

TEST_F(GroupSummary, RemovingAnItemUnbindsItsSummaries)
{
    TcxDataSummaryItem* footer = AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skSum);
    dc->RemoveItem(dc->GetItem(amount));
    EXPECT_EQ(footer->GetItemLink(), nullptr);
    EXPECT_EQ(sum->GetItemLink(), nullptr);
    // An unbound item is not calculated.
    EXPECT_TRUE(dc->Summary().GetFooterSummaryValue(0).IsEmpty());
    EXPECT_EQ(dc->Summary().GetFooterSummaryText(0), "");
}

TEST_F(GroupSummary, DataItemsAreMadeAndFreedByTheirProperties)
{
    TcxDataFooterSummaryItems& footer = dc->Summary().FooterSummaryItems();
    footer.SetDataItemKind(amount, spFooter, skMin);
    ASSERT_EQ(footer.Count(), 1);
    EXPECT_EQ(footer.GetDataItemKind(amount, spFooter), skMin);
    footer.SetDataItemFormat(amount, spFooter, "0");
    EXPECT_EQ(dc->Summary().GetFooterSummaryText(0), "1");
    footer.SetDataItemKind(amount, spFooter, skNone);
    EXPECT_EQ(footer.Count(), 1);
    footer.SetDataItemFormat(amount, spFooter, "");
    EXPECT_EQ(footer.Count(), 0);
    EXPECT_EQ(footer.IndexOfItemLink(dc->GetItem(amount)), -1);
}

TEST_F(GroupSummary, SortingGroupsBySummary)
{
    dc->SetSortedSummaryItem(sum);
    EXPECT_EQ(dc->GetSummaryItemSortOrder(), soAscending);
    EXPECT_EQ(GroupValues(), (std::vector<std::string>{"b", "c", "a"}));
    dc->SetSummaryItemSortOrder(soDescending);
    EXPECT_EQ(GroupValues(), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(GroupTexts(), (std::vector<std::string>{"(SUM=10.00, COUNT=3)", "(SUM=7.00, COUNT=1)", "(SUM=4.00, COUNT=2)"}));

    // Focus and expansion stay with their groups and records.
    dc->Groups().ChangeExpanding(2, true, false); // "b"
    dc->ChangeFocusedRecordIndex(4);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 4);
    dc->SetValue(3, amount, Variant(1.0)); // "c" now sums 1
    EXPECT_EQ(GroupValues(), (std::vector<std::string>{"a", "b", "b", "b", "c"}));
    EXPECT_EQ(dc->GetFocusedRecordIndex(), 4);
    EXPECT_EQ(dc->GetFocusedRowIndex(), 3);

    // Only an item of the default group items can sort.
    TcxDataSummaryItem* footer = AddItem(dc->Summary().FooterSummaryItems(), *dc, amount, skSum);
    dc->SetSortedSummaryItem(footer);
    EXPECT_EQ(dc->SortedSummaryItem(), nullptr);
    EXPECT_EQ(GroupValues(), (std::vector<std::string>{"a", "b", "b", "b", "c"}));
}

TEST_F(GroupSummary, FreeingTheSortedItemRestoresTheGroupingOrder)
{
    dc->SetSortedSummaryItem(sum);
    sum->Free();
    EXPECT_EQ(dc->SortedSummaryItem(), nullptr);
    EXPECT_EQ(dc->GetSummaryItemSortOrder(), soNone);
    EXPECT_EQ(GroupValues(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(GroupSummary, TwoGroupingLevelsAreNotSortedBySummary)
{
    dc->Groups().ChangeGrouping(amount, 1);
    dc->Groups().FullCollapse();
    dc->SetSortedSummaryItem(sum);
    dc->SetSummaryItemSortOrder(soDescending);
    EXPECT_EQ(GroupValues(), (std::vector<std::string>{"a", "b", "c"}));
}
