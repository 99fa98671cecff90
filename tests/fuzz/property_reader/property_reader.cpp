// The binary property reader over a stream of values, as defined properties
// read their data: values skipped or read as variants (and shown as text)
// until the stream ends. The first byte picks skipping or reading.

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/core/variant.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    TMemoryStream stream(quelvo::fuzz::Bytes(data + 1, size - 1));
    TReader reader(&stream);
    const bool skip = data[0] & 1;
    quelvo::fuzz::Guarded<Exception>([&] {
        while (stream.Position() < stream.Size()) {
            if (skip) {
                reader.SkipValue();
                continue;
            }
            const Variant value = reader.ReadVariant();
            quelvo::fuzz::Guarded<Exception>([&] { VarToStr(value); });
        }
    });
    return 0;
}
