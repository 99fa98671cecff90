// 10,000 records of (String, Integer, Float) through the data controller:
// load them, sort by the string item with locale-aware comparison, then
// change one value of every record inside one update bracket (which sorts
// again when it closes). Beside it, the same work on a std::vector of
// structs sorted with std::sort and the same comparison; the ratio of the
// two is printed at the end.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/common/ratio_reporter.h"
#include "components/data/cxData.h"
#include "platform/hostlib/core/format.h"

namespace {

constexpr int kRecords = 10000;

class BenchController : public TcxDataController {
public:
    hostlib::TObject* GetItem(int index) const override { return items_.at(static_cast<std::size_t>(index)).get(); }
    void AddColumn(TcxValueTypeClass type)
    {
        items_.push_back(std::make_unique<hostlib::TObject>());
        AddItem(items_.back().get());
        ChangeValueTypeClass(GetItemCount() - 1, type);
    }

private:
    std::vector<std::unique_ptr<hostlib::TObject>> items_;
};

// Names of mixed case that share prefixes, as process names do.
std::string NameOf(int i)
{
    static const char* const stems[] = {"svc", "Svc", "kworker", "Xorg", "bash", "Bash", "python", "java", "Code", "code"};
    const unsigned h = static_cast<unsigned>(i) * 2654435761u;
    return std::string(stems[h % 10]) + std::to_string((h >> 8) % 5000);
}

void BM_Controller(benchmark::State& state)
{
    for (auto _ : state) {
        auto dc = hostlib::MakeObject<BenchController>(static_cast<hostlib::TComponent*>(nullptr));
        dc->AddColumn(TcxStringValueType::Class());
        dc->AddColumn(TcxIntegerValueType::Class());
        dc->AddColumn(TcxFloatValueType::Class());
        dc->BeginUpdate();
        dc->SetRecordCount(kRecords);
        for (int r = 0; r < kRecords; ++r) {
            dc->SetValue(r, 0, hostlib::Variant(NameOf(r)));
            dc->SetValue(r, 1, hostlib::Variant(static_cast<std::int32_t>(r)));
            dc->SetValue(r, 2, hostlib::Variant(r * 0.5));
        }
        dc->EndUpdate();
        dc->SetOptions(dc->Options() + TcxDataControllerOptions{dcoAnsiSort});
        dc->ChangeSorting(0, soAscending);
        dc->BeginUpdate();
        for (int r = 0; r < kRecords; ++r) dc->SetValue(r, 1, hostlib::Variant(static_cast<std::int32_t>(r + 1)));
        dc->EndUpdate();
        benchmark::DoNotOptimize(dc->GetRowInfo(0).RecordIndex);
    }
}

struct PlainRecord {
    std::string Name;
    std::int32_t Number = 0;
    double Value = 0;
};

void SortPlain(std::vector<int>& order, const std::vector<PlainRecord>& records)
{
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = hostlib::AnsiCompareStr(records[static_cast<std::size_t>(a)].Name, records[static_cast<std::size_t>(b)].Name);
        return c != 0 ? c < 0 : a < b;
    });
}

void BM_PlainVector(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<PlainRecord> records(kRecords);
        for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)] = {NameOf(r), r, r * 0.5};
        std::vector<int> order(kRecords);
        for (int r = 0; r < kRecords; ++r) order[static_cast<std::size_t>(r)] = r;
        SortPlain(order, records);
        for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)].Number = r + 1;
        for (int r = 0; r < kRecords; ++r) order[static_cast<std::size_t>(r)] = r;
        SortPlain(order, records);
        benchmark::DoNotOptimize(order.front());
    }
}

BENCHMARK(BM_Controller)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainVector)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return quelvo::bench::RunAndPrintRatios(argc, argv, [](const quelvo::bench::RatioReporter& reporter) {
        if (const auto ratio = reporter.Ratio("BM_Controller", "BM_PlainVector"))
            std::printf("data controller ratio (controller / plain vector): %.2f (target: at most 3.00)\n", *ratio);
    });
}
