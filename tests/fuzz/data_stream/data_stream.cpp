// The data controller's typed streams: either a run of tagged variants, or
// records of a layout the input chooses, read into record storage as a
// stream form loads them, then shown as text and written back.
//
// Input: a mode byte (bit 7: variants; bits 0-2: fields - 1; bit 3: record
// ids), one byte per field (value type index, bit 7: text stored), then the
// stream.

#include "components/data/cxDataStorage.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"
#include "tests/fuzz/harness.h"

using hostlib::Exception;
using hostlib::TMemoryStream;
using hostlib::Variant;

namespace {

void ReadVariants(TMemoryStream& stream)
{
    while (stream.Position() < stream.Size()) {
        const Variant value = ReadVariantFunc(stream);
        quelvo::fuzz::Guarded<Exception>([&] { hostlib::VarToStr(value); });
        TMemoryStream out;
        quelvo::fuzz::Guarded<Exception>([&] { WriteVariantProc(out, value); });
    }
}

void ReadRecords(TcxDataStorage& storage, TMemoryStream& stream)
{
    while (stream.Position() < stream.Size()) {
        const int index = storage.AppendRecord();
        storage.ReadData(index, stream);
        for (int i = 0; i < storage.ValueDefs().Count(); ++i) {
            TcxValueDef* def = storage.ValueDefs().Items(i);
            quelvo::fuzz::Guarded<Exception>([&] { hostlib::VarToStr(storage.GetValue(index, def)); });
            quelvo::fuzz::Guarded<Exception>([&] { storage.GetDisplayText(index, def); });
        }
        TMemoryStream out;
        storage.WriteData(index, out);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::size_t fields = (mode & 7u) + 1;
    if (mode & 0x80) {
        TMemoryStream stream(quelvo::fuzz::Bytes(data + 1, size - 1));
        quelvo::fuzz::Guarded<Exception>([&] { ReadVariants(stream); });
        return 0;
    }
    if (size < 1 + fields) return 0;
    TcxDataStorage storage;
    storage.SetUseRecordID((mode & 8u) != 0);
    const auto& types = cxValueTypeClassList();
    for (std::size_t i = 0; i < fields; ++i) {
        const std::uint8_t field = data[1 + i];
        storage.ValueDefs().Add(types.Items((field & 0x7F) % types.Count()), true, (field & 0x80) != 0, nullptr);
    }
    TMemoryStream stream(quelvo::fuzz::Bytes(data + 1 + fields, size - 1 - fields));
    quelvo::fuzz::Guarded<Exception>([&] { ReadRecords(storage, stream); });
    return 0;
}
