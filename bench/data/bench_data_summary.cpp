// 100,000 records of (String, Integer, Float) through the data controller:
// grouped by the string item (1,000 distinct values), sorted by the integer
// item, with a footer sum and a group sum of the float item, all computed
// when one update bracket closes (loading the records is not timed).
// Beside it the least work giving the same groups and sums: a std::vector
// of structs, indexes sorted with std::sort by group text and integer, then
// one pass for the sums. Alternating rounds.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "bench/common/alternating.h"
#include "bench/data/bench_controller.h"
#include "components/data/cxData.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kGroups = 1000;

using quelvo_bench::BenchController;
using quelvo_bench::PlainRecord;

unsigned Hash(int i)
{
    return static_cast<unsigned>(i) * 2654435761u;
}

PlainRecord RecordOf(int i)
{
    return {"group" + std::to_string(Hash(i) % kGroups), static_cast<std::int32_t>((Hash(i) >> 7) % 1000000), (i % 977) * 0.25};
}

hostlib::ObjectPtr<BenchController> LoadedController()
{
    return quelvo_bench::LoadedController(kRecords, RecordOf, [](BenchController&) {});
}

void GroupSortAndSum(BenchController& dc)
{
    dc.BeginUpdate();
    dc.Groups().ChangeGrouping(0, 0);
    dc.ChangeSorting(1, soAscending);
    TcxDataSummaryItem* footer = dc.Summary().FooterSummaryItems().Add();
    footer->SetItemLink(dc.GetItem(2));
    footer->SetKind(skSum);
    TcxDataSummaryItem* group = dc.Summary().DefaultGroupSummaryItems().Add();
    group->SetItemLink(dc.GetItem(2));
    group->SetKind(skSum);
    dc.EndUpdate();
    if (dc.Summary().GetFooterSummaryValue(0).IsNull() || dc.Groups().GetChildCount(-1) != kGroups) std::abort();
}

void PlainGroupSortAndSum(const std::vector<PlainRecord>& records)
{
    std::vector<int> order(records.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const PlainRecord& x = records[static_cast<std::size_t>(a)];
        const PlainRecord& y = records[static_cast<std::size_t>(b)];
        if (const int c = x.Name.compare(y.Name); c != 0) return c < 0;
        if (x.Number != y.Number) return x.Number < y.Number;
        return a < b;
    });
    double footer = 0;
    std::vector<double> groupSums;
    const std::string* current = nullptr;
    for (const int index : order) {
        const PlainRecord& record = records[static_cast<std::size_t>(index)];
        if (!current || *current != record.Name) {
            groupSums.push_back(0);
            current = &record.Name;
        }
        groupSums.back() += record.Value;
        footer += record.Value;
    }
    if (groupSums.size() != static_cast<std::size_t>(kGroups) || footer < 0) std::abort();
}

} // namespace

int main(int argc, char** argv)
{
    hostlib::ObjectPtr<BenchController> dc;
    std::vector<PlainRecord> records(kRecords);
    for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)] = RecordOf(r);
    return quelvo::bench::RunPairs(argc, argv,
                                   {{"group, sort and sum 100,000 records",
                                     {"data controller", [&] { GroupSortAndSum(*dc); }, [&] { dc = LoadedController(); }},
                                     {"plain vector", [&] { PlainGroupSortAndSum(records); }},
                                     3.0}});
}
