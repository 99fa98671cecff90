// A data controller's filter criteria read from their binary form, as the
// "Criteria" property of a stored filter is: then switched on, so that the
// controller filters its records by them, shown as filter text and caption,
// and written back; reading that again must give the same bytes.
//
// Input: an options byte (bits 0-3: criteria options), then the binary
// form.

#include <cstdlib>
#include <memory>
#include <vector>

#include "components/data/cxData.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"
#include "tests/fuzz/fuzz_controller.h"
#include "tests/fuzz/harness.h"

using hostlib::Exception;
using hostlib::TMemoryStream;
using hostlib::Variant;

namespace {

std::vector<std::uint8_t> Written(TcxFilterCriteria& criteria)
{
    TMemoryStream out;
    criteria.WriteData(out);
    return out.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    auto dc = hostlib::MakeObject<FuzzController>(static_cast<hostlib::TComponent*>(nullptr));
    dc->AddColumn(TcxStringValueType::Class());
    dc->AddColumn(TcxIntegerValueType::Class());
    dc->AddColumn(TcxDateTimeValueType::Class());
    const std::vector<Variant> values = {Variant("ab"), Variant(3), Variant::FromDate(45000.5), Variant(""), Variant::Null()};
    dc->SetRecordCount(static_cast<int>(values.size()));
    for (int r = 0; r < dc->GetRecordCount(); ++r)
        for (int i = 0; i < dc->GetItemCount(); ++i)
            quelvo::fuzz::Guarded<Exception>([&] { dc->SetValue(r, i, values[static_cast<std::size_t>((r + i) % 5)]); });

    TcxDataFilterCriteria& filter = dc->Filter();
    TcxFilterCriteriaOptions options;
    for (int bit = 0; bit < 4; ++bit)
        if (data[0] & (1u << bit)) options.Include(static_cast<TcxFilterCriteriaOption>(bit));
    filter.SetOptions(options);
    TMemoryStream stream(quelvo::fuzz::Bytes(data + 1, size - 1));
    quelvo::fuzz::Guarded<Exception>([&] { filter.ReadData(stream); });
    quelvo::fuzz::Guarded<Exception>([&] { filter.SetActive(true); });
    quelvo::fuzz::Guarded<Exception>([&] { filter.GetFilterText(); });
    quelvo::fuzz::Guarded<Exception>([&] { filter.GetFilterCaption(); });

    std::vector<std::uint8_t> first;
    quelvo::fuzz::Guarded<Exception>([&] { first = Written(filter); });
    if (first.empty()) return 0;
    TMemoryStream again(first);
    filter.SetActive(false);
    filter.ReadData(again);
    if (Written(filter) != first) std::abort();
    return 0;
}
