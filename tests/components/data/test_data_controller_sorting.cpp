// Sorting by one or more items and the record comparison with its options.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "data_controller_fixture.h"

using hostlib::Variant;

namespace {

class ControllerSorting : public ::testing::Test {
protected:
    void SetUp() override
    {
        text = dc->AddColumn(TcxStringValueType::Class());
        number = dc->AddColumn(TcxIntegerValueType::Class());
        // text, number; a Null text and a Null number included
        const std::vector<std::pair<const char*, int>> rows = {
            {"b", 2}, {"A", 1}, {"B", 1}, {nullptr, 3}, {"a", 2}, {"a", 1},
        };
        dc->SetRecordCount(static_cast<int>(rows.size()));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            if (rows[r].first) dc->SetValue(r, text, Variant(rows[r].first));
            dc->SetValue(r, number, Variant(static_cast<std::int32_t>(rows[r].second)));
        }
    }

    std::vector<std::string> Rows()
    {
        std::vector<std::string> result;
        for (int row = 0; row < dc->GetRowCount(); ++row) {
            const int r = dc->GetRowInfo(row).RecordIndex;
            const Variant t = dc->GetValue(r, text);
            result.push_back((t.IsNull() ? std::string("-") : t.AsString()) + dc->GetValue(r, number).AsString());
        }
        return result;
    }

    TestDataControllerPtr dc = MakeTestDataController();
    int text = -1;
    int number = -1;
};

TEST_F(ControllerSorting, ByOneAndTwoItemsWithTheStringOptions)
{
    struct Case {
        const char* name;
        TcxDataControllerOptions options;
        std::vector<std::pair<int, TcxDataSortOrder>> sorting; // item index 0 text, 1 number
        std::vector<std::string> rows;
    };
    const TcxDataControllerOptions none;
    const Case cases[] = {
        {"text ascending, byte order", none, {{0, soAscending}}, {"-3", "A1", "B1", "a2", "a1", "b2"}},
        {"text descending, byte order", none, {{0, soDescending}}, {"b2", "a2", "a1", "B1", "A1", "-3"}},
        {"text ascending, ansi", {dcoAnsiSort}, {{0, soAscending}}, {"-3", "a2", "a1", "A1", "b2", "B1"}},
        {"text descending, ansi", {dcoAnsiSort}, {{0, soDescending}}, {"B1", "b2", "A1", "a2", "a1", "-3"}},
        {"text ascending, case-insensitive", {dcoCaseInsensitive}, {{0, soAscending}}, {"-3", "A1", "a2", "a1", "b2", "B1"}},
        {"text ascending, ansi case-insensitive",
         {dcoAnsiSort, dcoCaseInsensitive},
         {{0, soAscending}},
         {"-3", "A1", "a2", "a1", "b2", "B1"}},
        {"number ascending", none, {{1, soAscending}}, {"A1", "B1", "a1", "b2", "a2", "-3"}},
        {"number descending then text ascending", none, {{1, soDescending}, {0, soAscending}},
         {"-3", "a2", "b2", "A1", "B1", "a1"}},
        {"text ascending ansi then number descending", {dcoAnsiSort}, {{0, soAscending}, {1, soDescending}},
         {"-3", "a2", "a1", "A1", "b2", "B1"}},
        {"text case-insensitive then number ascending", {dcoCaseInsensitive}, {{0, soAscending}, {1, soAscending}},
         {"-3", "A1", "a1", "a2", "B1", "b2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dc->ClearSorting(false);
        dc->SetOptions(c.options);
        for (const auto& [item, order] : c.sorting) dc->ChangeSorting(item, order);
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_EQ(dc->GetSortingItemCount(), static_cast<int>(c.sorting.size()));
        for (int i = 0; i < static_cast<int>(c.sorting.size()); ++i) {
            EXPECT_EQ(dc->GetSortingItemIndex(i), c.sorting[static_cast<std::size_t>(i)].first);
            EXPECT_EQ(dc->GetItemSortOrder(c.sorting[static_cast<std::size_t>(i)].first),
                      c.sorting[static_cast<std::size_t>(i)].second);
        }
    }
}

TEST_F(ControllerSorting, CompareRecordsAsTheTreeListCallsIt)
{
    dc->SetOptions({dcoAnsiSort});
    const TcxDataSortInfo ascending{dc->GetField(text), soAscending};
    const TcxDataSortInfo descending{dc->GetField(text), soDescending};
    // records: 0 "b", 1 "A", 4 "a", 3 Null
    EXPECT_LT(dc->CompareRecords(4, 1, ascending), 0);  // a < A
    EXPECT_LT(dc->CompareRecords(1, 0, ascending), 0);  // A < b
    EXPECT_LT(dc->CompareRecords(3, 4, ascending), 0);  // Null first
    EXPECT_GT(dc->CompareRecords(4, 1, descending), 0);
    EXPECT_EQ(dc->CompareRecords(4, 5, ascending), 0);  // "a" and "a"
    EXPECT_LT(dc->CompareEqualRecords(4, 5), 0);
    dc->SetOptions({});
    EXPECT_LT(dc->CompareRecords(1, 4, ascending), 0);  // byte order: A < a
}

TEST_F(ControllerSorting, TiesKeepRecordOrder)
{
    dc->ChangeSorting(number, soAscending);
    std::vector<int> records;
    for (int row = 0; row < dc->GetRowCount(); ++row) records.push_back(dc->GetRowInfo(row).RecordIndex);
    EXPECT_EQ(records, (std::vector<int>{1, 2, 5, 0, 4, 3}));
}

TEST_F(ControllerSorting, ClearingTheSortReturnsToRecordOrder)
{
    dc->ChangeSorting(text, soDescending);
    dc->ChangeSorting(text, soNone);
    EXPECT_EQ(dc->GetSortingItemCount(), 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b2", "A1", "B1", "-3", "a2", "a1"}));
    dc->ChangeSorting(number, soDescending);
    dc->ClearSorting(false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b2", "A1", "B1", "-3", "a2", "a1"}));
}

TEST_F(ControllerSorting, SortingChangedEventAndNotices)
{
    int events = 0;
    dc->OnSortingChanged = hostlib::TNotifyEvent::FromFunction([&](hostlib::TObject*) { ++events; });
    dc->notices.clear();
    dc->ChangeSorting(text, soAscending);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(dc->notices.front(), "layout");
    dc->ChangeSorting(text, soAscending); // unchanged
    EXPECT_EQ(events, 1);
    dc->ClearSorting(false);
    EXPECT_EQ(events, 2);
    dc->ClearSorting(false);
    EXPECT_EQ(events, 2);
    EXPECT_THROW(dc->ChangeSorting(2, soAscending), EcxInvalidDataControllerOperation);
}

TEST_F(ControllerSorting, SortingIndexMovesAnItem)
{
    dc->ChangeSorting(text, soAscending);
    dc->ChangeSorting(number, soDescending);
    EXPECT_EQ(dc->GetItemSortingIndex(number), 1);
    dc->ChangeItemSortingIndex(number, 0);
    EXPECT_EQ(dc->GetItemSortingIndex(number), 0);
    EXPECT_EQ(dc->GetSortingItemIndex(1), text);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"-3", "a2", "b2", "A1", "B1", "a1"}));
    dc->ChangeItemSortingIndex(number, 99); // clamped to the end
    EXPECT_EQ(dc->GetItemSortingIndex(number), 1);
}

TEST_F(ControllerSorting, CompareEventDecides)
{
    // Longest text first, by the event; the event sees item and values.
    dc->OnCompare = TcxDataControllerCompareEvent::FromFunction(
        [&](TcxCustomDataController*, int, int, int item, const Variant& v1, const Variant& v2, int& compare) {
            if (item != text) {
                compare = VarCompare(v1, v2);
                return;
            }
            compare = static_cast<int>(hostlib::VarToStr(v2).size()) - static_cast<int>(hostlib::VarToStr(v1).size());
        });
    dc->SetValue(1, text, Variant("AAA"));
    dc->SetValue(2, text, Variant("BB"));
    dc->ChangeSorting(text, soAscending);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"AAA1", "BB1", "b2", "a2", "a1", "-3"}));
}

TEST_F(ControllerSorting, ByDisplayText)
{
    dc->SetValue(0, number, Variant(9));
    dc->SetValue(1, number, Variant(100));
    dc->SetValue(2, number, Variant(10));
    dc->ChangeSorting(number, soAscending);
    std::vector<int> records;
    for (int row = 0; row < dc->GetRowCount(); ++row) records.push_back(dc->GetRowInfo(row).RecordIndex);
    EXPECT_EQ(records, (std::vector<int>{5, 4, 3, 0, 2, 1}));
    dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoSortByDisplayText});
    records.clear();
    for (int row = 0; row < dc->GetRowCount(); ++row) records.push_back(dc->GetRowInfo(row).RecordIndex);
    // "1" (records 5), "10", "100", "2" (record 4), "3", "9"
    EXPECT_EQ(records, (std::vector<int>{5, 2, 1, 4, 3, 0}));
}

TEST_F(ControllerSorting, GroupingListEntriesAreNeverUnsorted)
{
    TcxGroupingFieldList grouping;
    TcxSortingFieldList sorting;
    TcxCustomDataField* a = dc->GetField(text);
    TcxCustomDataField* b = dc->GetField(number);
    grouping.ChangeGrouping(a, 0);
    grouping.ChangeGrouping(b, 5); // clamped to the end
    EXPECT_EQ(grouping.GroupIndexByField(b), 1);
    grouping.ChangeSorting(a, soNone);
    EXPECT_EQ(grouping.SortOrderByField(a), soAscending);
    sorting.ChangeSorting(a, soDescending);
    grouping.UpdateSorting(sorting);
    EXPECT_EQ(grouping.SortOrderByField(a), soDescending);
    sorting.ChangeSorting(a, soNone);
    grouping.UpdateSorting(sorting);
    EXPECT_EQ(grouping.SortOrderByField(a), soAscending);
    grouping.ChangeGrouping(a, 1);
    EXPECT_EQ(grouping.GroupIndexByField(a), 1);
    grouping.ChangeGrouping(a, -1);
    EXPECT_EQ(grouping.Count(), 1);

    int changes = 0;
    sorting.OnChanged = TcxNoParamsEvent::FromFunction([&] { ++changes; });
    sorting.Add(a, soAscending);
    sorting.Add(b, soAscending);
    sorting.Move(0, 0);
    sorting.SetSortOrder(0, soAscending);
    EXPECT_EQ(changes, 2);
    sorting.Clear();
    EXPECT_EQ(changes, 4); // one call per entry
}

// Sorting builds a key per record and compares keys; this controller
// declines them, so every comparison goes through CompareByField: the
// order the keys must give.
class PerComparisonController : public TestDataController {
public:
    bool GetSortKey(int, TcxCustomDataField*, std::string&) override { return false; }
};

// Sixty records over every value type, drawn from small pools so that many
// tie: texts that differ only in case or accent, letters with more than one
// upper or lower case, malformed bytes, NaN, -0, infinities, extremes,
// Null, records without a buffer, and a Variant item mixing numbers and
// texts.
void LoadKeyedData(TestDataController& dc)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<TcxValueTypeClass, std::vector<Variant>>> columns = {
        {TcxStringValueType::Class(),
         {Variant("a"), Variant("A"), Variant("b"), Variant("B"), Variant(""), Variant("ab"), Variant("aB"), Variant("\u00E9"),
          Variant("\u00C9"), Variant("e"), Variant("\u0130"), Variant("i"), Variant("I"), Variant("\u0131"),
          Variant("stra\u00DFe"), Variant("STRASSE"), Variant("\xFF"), Variant("a\xFF"), Variant("10"), Variant("9"),
          Variant::Null()}},
        {TcxWideStringValueType::Class(), {Variant("x"), Variant("X"), Variant("\u00E4"), Variant("\u00C4"), Variant::Null()}},
        {TcxSmallintValueType::Class(), {Variant(-32768), Variant(-1), Variant(0), Variant(1), Variant(32767), Variant::Null()}},
        {TcxIntegerValueType::Class(),
         {Variant(std::numeric_limits<std::int32_t>::min()), Variant(-5), Variant(0), Variant(7),
          Variant(std::numeric_limits<std::int32_t>::max()), Variant::Null()}},
        {TcxWordValueType::Class(), {Variant(0), Variant(1), Variant(65535), Variant::Null()}},
        {TcxFloatValueType::Class(),
         {Variant(nan), Variant(-inf), Variant(-1.5), Variant(-0.0), Variant(0.0), Variant(1e-300), Variant(2.5), Variant(inf),
          Variant::Null()}},
        {TcxCurrencyValueType::Class(), {Variant(-1.25), Variant(0.0), Variant(3.5), Variant(922337203685477.0), Variant::Null()}},
        {TcxDateTimeValueType::Class(),
         {Variant::FromDate(-1.5), Variant::FromDate(0), Variant::FromDate(45000.25), Variant::Null()}},
        {TcxLargeIntValueType::Class(),
         {Variant(static_cast<long long>(std::numeric_limits<std::int64_t>::min())), Variant(-1LL), Variant(0LL),
          Variant(static_cast<long long>(std::numeric_limits<std::int64_t>::max())), Variant::Null()}},
        {TcxBooleanValueType::Class(), {Variant(true), Variant(false), Variant::Null()}},
        {TcxVariantValueType::Class(), {Variant(9), Variant("10"), Variant("a"), Variant(2.5), Variant::Null()}},
    };
    for (const auto& column : columns) dc.AddColumn(column.first);
    constexpr int kRecords = 60;
    dc.BeginUpdate();
    dc.SetRecordCount(kRecords);
    unsigned seed = 12345;
    for (int r = 0; r < kRecords; ++r) {
        for (int item = 0; item < static_cast<int>(columns.size()); ++item) {
            seed = seed * 1103515245u + 12345u;
            const std::vector<Variant>& pool = columns[static_cast<std::size_t>(item)].second;
            dc.SetValue(r, item, pool[(seed >> 16) % pool.size()]);
        }
    }
    for (const int r : {7, 31}) dc.DataStorage().FreeAndNilRecordBuffer(r);
    dc.EndUpdate();
}

// Every row as its level and record.
std::vector<std::pair<int, int>> RowOrder(TcxCustomDataController& dc)
{
    std::vector<std::pair<int, int>> rows;
    for (int row = 0; row < dc.GetRowCount(); ++row) rows.emplace_back(dc.GetRowInfo(row).Level, dc.GetRowInfo(row).RecordIndex);
    return rows;
}

TEST(ControllerSortKeys, OrderAsTheComparisonPerComparison)
{
    auto keyed = MakeTestDataController();
    auto compared = hostlib::MakeObject<PerComparisonController>(static_cast<hostlib::TComponent*>(nullptr));
    LoadKeyedData(*keyed);
    LoadKeyedData(*compared);
    const int items = keyed->GetItemCount();
    const TcxDataControllerOptions optionSets[] = {
        {}, {dcoAnsiSort}, {dcoCaseInsensitive}, {dcoAnsiSort, dcoCaseInsensitive}, {dcoSortByDisplayText},
        {dcoAnsiSort, dcoCaseInsensitive, dcoSortByDisplayText},
    };
    // One item at a time, then items together and under grouping.
    std::vector<std::vector<std::pair<int, TcxDataSortOrder>>> sortings;
    for (int item = 0; item < items; ++item)
        for (const TcxDataSortOrder order : {soAscending, soDescending}) sortings.push_back({{item, order}});
    sortings.push_back({{0, soAscending}, {3, soDescending}});
    sortings.push_back({{9, soDescending}, {5, soAscending}, {1, soAscending}});
    const std::vector<std::vector<int>> groupings = {{}, {0}, {9, 1}};
    for (const TcxDataControllerOptions& options : optionSets) {
        for (const std::vector<int>& grouping : groupings) {
            for (const auto& sorting : sortings) {
                for (TcxCustomDataController* dc : {static_cast<TcxCustomDataController*>(keyed.get()),
                                                    static_cast<TcxCustomDataController*>(compared.get())}) {
                    dc->BeginUpdate();
                    dc->SetOptions(options);
                    dc->ClearSorting(false);
                    dc->Groups().ClearGrouping();
                    for (std::size_t level = 0; level < grouping.size(); ++level)
                        dc->Groups().ChangeGrouping(grouping[level], static_cast<int>(level));
                    for (const auto& [item, order] : sorting) dc->ChangeSorting(item, order);
                    dc->EndUpdate();
                    dc->Groups().FullExpand();
                }
                const std::vector<std::pair<int, int>> expected = RowOrder(*compared);
                ASSERT_EQ(RowOrder(*keyed), expected)
                    << "options " << options.Bits() << ", grouped by " << grouping.size() << ", first sorted item "
                    << sorting.front().first << (sorting.front().second == soDescending ? " descending" : " ascending");
            }
        }
    }
}

} // namespace
