// The data controller's "DataController1" stream, loaded into a controller
// that already holds records and a selection, as a list control loads its
// data: a refused or broken stream must leave the controller as it was. A
// stream that loads is written back, and loading and writing that again
// must give the same bytes. Then one record is added in smart load.
//
// Input: a layout byte (bits 0-2: items - 1), one byte per item (value type
// index), then the stream.

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

namespace {

std::vector<std::uint8_t> Saved(FuzzController& dc)
{
    TMemoryStream out;
    dc.SaveToStream(out);
    return out.Bytes();
}

void Check(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::size_t items = (data[0] & 7u) + 1;
    if (size < 1 + items) return 0;
    auto dc = hostlib::MakeObject<FuzzController>(static_cast<hostlib::TComponent*>(nullptr));
    const auto& types = cxValueTypeClassList();
    for (std::size_t i = 0; i < items; ++i) dc->AddColumn(types.Items(data[1 + i] % types.Count()));
    dc->SetRecordCount(3);
    dc->SetMultiSelect(true);
    dc->ChangeRowSelection(1, true);
    const std::vector<std::uint8_t> before = Saved(*dc);

    TMemoryStream stream(quelvo::fuzz::Bytes(data + 1 + items, size - 1 - items));
    bool loaded = false;
    quelvo::fuzz::Guarded<Exception>([&] {
        dc->LoadFromStream(stream);
        loaded = true;
    });
    if (!loaded) {
        Check(Saved(*dc) == before && dc->GetSelectedCount() == 1 && dc->GetRowCount() == 3);
        return 0;
    }
    const std::vector<std::uint8_t> first = Saved(*dc);
    TMemoryStream again(first);
    dc->LoadFromStream(again);
    Check(Saved(*dc) == first);
    for (int r = 0; r < dc->GetRecordCount(); ++r)
        for (int i = 0; i < dc->GetItemCount(); ++i) quelvo::fuzz::Guarded<Exception>([&] { dc->GetDisplayText(r, i); });

    dc->smartLoad = true;
    dc->BeginSmartLoad();
    const int added = dc->AppendRecord();
    dc->EndSmartLoad();
    Check(added == dc->GetRecordCount() - 1);
    return 0;
}
