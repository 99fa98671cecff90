// 100,000 records of (String, Integer, Float) through the data controller:
// grouped by the string item (1,000 distinct values), sorted by the integer
// item, with a footer sum and a group sum of the float item, all computed
// when one update bracket closes. Beside it, the same work on a plain
// std::vector of structs: std::sort by group key and integer, then one pass
// for the sums. Rounds alternate between the two; min and median of each
// and their ratio are printed.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/data/bench_controller.h"
#include "components/data/cxData.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kGroups = 1000;
constexpr int kRounds = 9;

using quelvo_bench::BenchController;

struct PlainRecord {
    std::string Name;
    std::int32_t Number = 0;
    double Value = 0;
};

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
    auto dc = hostlib::MakeObject<BenchController>(static_cast<hostlib::TComponent*>(nullptr));
    dc->AddColumn(TcxStringValueType::Class());
    dc->AddColumn(TcxIntegerValueType::Class());
    dc->AddColumn(TcxFloatValueType::Class());
    dc->BeginUpdate();
    dc->SetRecordCount(kRecords);
    for (int r = 0; r < kRecords; ++r) {
        const PlainRecord record = RecordOf(r);
        dc->SetValue(r, 0, hostlib::Variant(record.Name));
        dc->SetValue(r, 1, hostlib::Variant(record.Number));
        dc->SetValue(r, 2, hostlib::Variant(record.Value));
    }
    dc->EndUpdate();
    return dc;
}

double ControllerRound()
{
    auto dc = LoadedController();
    const auto start = std::chrono::steady_clock::now();
    dc->BeginUpdate();
    dc->Groups().ChangeGrouping(0, 0);
    dc->ChangeSorting(1, soAscending);
    TcxDataSummaryItem* footer = dc->Summary().FooterSummaryItems().Add();
    footer->SetItemLink(dc->GetItem(2));
    footer->SetKind(skSum);
    TcxDataSummaryItem* group = dc->Summary().DefaultGroupSummaryItems().Add();
    group->SetItemLink(dc->GetItem(2));
    group->SetKind(skSum);
    dc->EndUpdate();
    const auto end = std::chrono::steady_clock::now();
    if (dc->Summary().GetFooterSummaryValue(0).IsNull()) std::printf("no footer sum\n");
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double PlainRound()
{
    std::vector<PlainRecord> records(kRecords);
    for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)] = RecordOf(r);
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> order(kRecords);
    for (int r = 0; r < kRecords; ++r) order[static_cast<std::size_t>(r)] = r;
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
    const auto end = std::chrono::steady_clock::now();
    if (groupSums.size() != static_cast<std::size_t>(kGroups) || footer < 0) std::printf("unexpected groups\n");
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main()
{
    std::vector<double> controller;
    std::vector<double> plain;
    for (int round = 0; round < kRounds; ++round) {
        controller.push_back(ControllerRound());
        plain.push_back(PlainRound());
    }
    const double controllerMin = *std::min_element(controller.begin(), controller.end());
    const double plainMin = *std::min_element(plain.begin(), plain.end());
    std::printf("%-34s %10s %10s\n", "group, sort and sum 100,000 records", "min ms", "median ms");
    std::printf("%-34s %10.2f %10.2f\n", "data controller", controllerMin, Median(controller));
    std::printf("%-34s %10.2f %10.2f\n", "plain vector", plainMin, Median(plain));
    std::printf("summary ratio (controller / plain vector): min %.2f, median %.2f (target: at most 3.00)\n",
                controllerMin / plainMin, Median(controller) / Median(plain));
    return 0;
}
