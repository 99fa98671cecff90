// A data controller's filter read from its component stream (the text form
// of a filter wrapper with the "Criteria" binary property), as a stored
// filter is: then switched on, shown as filter text, and written back;
// reading that again must give the same text.

#include <cstdlib>
#include <memory>
#include <string>
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

std::string Saved(TcxFilterCriteria& criteria)
{
    TMemoryStream out;
    criteria.SaveToStream(out);
    return std::string(out.Bytes().begin(), out.Bytes().end());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto dc = hostlib::MakeObject<FuzzController>(static_cast<hostlib::TComponent*>(nullptr));
    dc->AddColumn(TcxStringValueType::Class());
    dc->AddColumn(TcxIntegerValueType::Class());
    dc->SetRecordCount(3);
    for (int r = 0; r < 3; ++r) {
        dc->SetValue(r, 0, Variant(std::string(static_cast<std::size_t>(r), 'a')));
        dc->SetValue(r, 1, Variant(r));
    }
    TcxDataFilterCriteria& filter = dc->Filter();
    TMemoryStream stream(quelvo::fuzz::Bytes(data, size));
    bool read = false;
    quelvo::fuzz::Guarded<Exception>([&] {
        filter.LoadFromStream(stream);
        read = true;
    });
    quelvo::fuzz::Guarded<Exception>([&] { filter.SetActive(true); });
    quelvo::fuzz::Guarded<Exception>([&] { filter.GetFilterText(); });
    if (!read) return 0;

    std::string first;
    quelvo::fuzz::Guarded<Exception>([&] { first = Saved(filter); });
    if (first.empty()) return 0;
    TMemoryStream again(quelvo::fuzz::Bytes(reinterpret_cast<const std::uint8_t*>(first.data()), first.size()));
    filter.LoadFromStream(again);
    if (Saved(filter) != first) std::abort();
    return 0;
}
