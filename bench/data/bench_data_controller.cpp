// 10,000 records of (String, Integer, Float) through the data controller:
// load them, sort by the string item with locale-aware comparison, then
// change one value of every record inside one update bracket (which sorts
// again when it closes). Beside it the same work on a std::vector of
// structs: once sorted with std::sort and the same comparison called per
// comparison, and once the least work that gives the same order: one
// collation key built per record and sort, then indexes sorted by keys.
// Alternating rounds.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "bench/common/alternating.h"
#include "bench/data/bench_controller.h"
#include "components/data/cxData.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/text_conversion.h"

namespace {

constexpr int kRecords = 10000;

using quelvo_bench::BenchController;

// Names of mixed case that share prefixes, as process names do.
std::string NameOf(int i)
{
    static const char* const stems[] = {"svc", "Svc", "kworker", "Xorg", "bash", "Bash", "python", "java", "Code", "code"};
    const unsigned h = static_cast<unsigned>(i) * 2654435761u;
    return std::string(stems[h % 10]) + std::to_string((h >> 8) % 5000);
}

void Controller()
{
    {
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
        if (dc->GetRowInfo(0).RecordIndex < 0) std::abort();
    }
}

using quelvo_bench::PlainRecord;

void SortPlain(std::vector<int>& order, const std::vector<PlainRecord>& records)
{
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = hostlib::AnsiCompareStr(records[static_cast<std::size_t>(a)].Name, records[static_cast<std::size_t>(b)].Name);
        return c != 0 ? c < 0 : a < b;
    });
}

std::vector<PlainRecord> MakeRecords()
{
    std::vector<PlainRecord> records(kRecords);
    for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)] = {NameOf(r), r, r * 0.5};
    return records;
}

// Sorts twice, as the controller does: after loading and after the change.
template <class Sort>
void SortTwice(Sort sort)
{
    std::vector<PlainRecord> records = MakeRecords();
    std::vector<int> order(kRecords);
    std::iota(order.begin(), order.end(), 0);
    sort(order, records);
    for (int r = 0; r < kRecords; ++r) records[static_cast<std::size_t>(r)].Number = r + 1;
    std::iota(order.begin(), order.end(), 0);
    sort(order, records);
    if (order.front() < 0) std::abort();
}

// A key per record whose order is AnsiCompareStr's order for these names
// (ASCII): the letters without case, each level ended by a zero below
// every character, then lower case before upper case.
std::u32string CollationKey(const std::string& text)
{
    std::u32string base;
    std::u32string cased;
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        const std::size_t length = quelvo::sys::DecodeUtf8(text, i, c);
        i += length == 0 ? 1 : length;
        if (length == 0) c = 0xFFFD;
        const bool upper = c >= 'A' && c <= 'Z';
        base.push_back((upper ? c + 32 : c) + 1);
        cased.push_back(c >= 'a' && c <= 'z' ? 1 : c + 2);
    }
    return base + U'\0' + cased;
}

void SortByKeys(std::vector<int>& order, const std::vector<PlainRecord>& records)
{
    std::vector<std::u32string> keys;
    keys.reserve(records.size());
    for (const PlainRecord& record : records) keys.push_back(CollationKey(record.Name));
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
        return c != 0 ? c < 0 : a < b;
    });
}

} // namespace

int main(int argc, char** argv)
{
    const quelvo::bench::Side controller{"data controller", Controller};
    return quelvo::bench::RunPairs(
        argc, argv,
        {{"load, sort and sort again 10,000 records by a text", controller,
          {"key sort of a plain vector", [] { SortTwice(SortByKeys); }}, 2.5},
         {"load, sort and sort again 10,000 records by a text", controller,
          {"plain vector, comparison per comparison", [] { SortTwice(SortPlain); }}}});
}
