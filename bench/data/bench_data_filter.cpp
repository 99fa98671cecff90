// 100,000 records of (String, Integer, Float) filtered through a refresh by
// three conditions: the text LIKE 'ab%' ignoring case, the integer BETWEEN
// two bounds, the float greater than a value. Beside it, a hand-written
// loop doing the same over a std::vector of structs. Rounds alternate
// between the two; min and median of each and their ratio are printed.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/data/bench_controller.h"
#include "components/data/cxData.h"
#include "platform/hostlib/core/format.h"

namespace {

constexpr int kRecords = 100000;
constexpr int kRounds = 9;

using quelvo_bench::BenchController;

struct PlainRecord {
    std::string Name;
    std::int32_t Number = 0;
    double Value = 0;
};

PlainRecord RecordOf(int i)
{
    static const char* const stems[] = {"abc", "ABd", "xab", "Abz", "b", "aB"};
    const unsigned h = static_cast<unsigned>(i) * 2654435761u;
    return {std::string(stems[h % 6]) + std::to_string(h % 1000), static_cast<std::int32_t>((h >> 8) % 1000), (i % 97) * 0.5};
}

double Milliseconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double ControllerRound(int& passed)
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
    TcxDataFilterCriteria& filter = dc->Filter();
    filter.SetOptions({fcoCaseInsensitive});
    filter.AddItem(nullptr, dc->GetItem(0), foLike, hostlib::Variant("ab%"), "ab%");
    hostlib::Variant bounds;
    VarBetweenArrayCreate(bounds, hostlib::Variant(100), hostlib::Variant(800));
    filter.AddItem(nullptr, dc->GetItem(1), foBetween, bounds, "100;800");
    filter.AddItem(nullptr, dc->GetItem(2), foGreater, hostlib::Variant(10.0), "10");
    dc->EndUpdate();
    const auto start = std::chrono::steady_clock::now();
    filter.SetActive(true);
    const double time = Milliseconds(start);
    passed = dc->GetRowCount();
    return time;
}

double PlainRound(int& passed)
{
    std::vector<PlainRecord> records(kRecords);
    for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)] = RecordOf(r);
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> rows;
    for (int r = 0; r < kRecords; ++r) {
        const PlainRecord& record = records[static_cast<std::size_t>(r)];
        const std::string upper = hostlib::AnsiUpperCase(record.Name);
        const bool like = upper.size() >= 2 && upper.compare(0, 2, "AB") == 0;
        const bool between = record.Number >= 100 && record.Number <= 800;
        if (like && between && record.Value > 10.0) rows.push_back(r);
    }
    const double time = Milliseconds(start);
    passed = static_cast<int>(rows.size());
    return time;
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
    int controllerRows = 0;
    int plainRows = 0;
    for (int round = 0; round < kRounds; ++round) {
        controller.push_back(ControllerRound(controllerRows));
        plain.push_back(PlainRound(plainRows));
    }
    if (controllerRows != plainRows) std::printf("rows differ: %d against %d\n", controllerRows, plainRows);
    const double controllerMin = *std::min_element(controller.begin(), controller.end());
    const double plainMin = *std::min_element(plain.begin(), plain.end());
    std::printf("%-34s %10s %10s\n", "filter 100,000 records", "min ms", "median ms");
    std::printf("%-34s %10.2f %10.2f\n", "data controller", controllerMin, Median(controller));
    std::printf("%-34s %10.2f %10.2f\n", "hand-written loop", plainMin, Median(plain));
    std::printf("filter ratio (controller / loop): min %.2f, median %.2f (target: at most 3.00)\n", controllerMin / plainMin,
                Median(controller) / Median(plain));
    return 0;
}
