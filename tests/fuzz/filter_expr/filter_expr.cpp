// A data set's filter text: read against the fields of a small table, then
// evaluated on its records. The first byte sets the options.

#include <array>

#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/data/filter_expr.h"
#include "platform/hostlib/core/format.h"
#include "tests/fuzz/harness.h"

using namespace hostlib;

namespace {

struct Field {
    const char* name;
    TFieldType type;
};
constexpr std::array<Field, 5> kFields = {
    {{"Name", ftString}, {"ID", ftInteger}, {"Price", ftFloat}, {"Born", ftDateTime}, {"Active", ftBoolean}}};

std::array<std::array<Variant, kFields.size()>, 3> Records()
{
    return {{{Variant("Oslo"), Variant(1), Variant(10.5), Variant::FromDate(EncodeDate(2004, 3, 17)), Variant(true)},
             {Variant(""), Variant(-7), Variant(0.0), Variant::FromDate(-1.25), Variant(false)},
             {Null(), Null(), Null(), Null(), Null()}}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static const auto records = Records();
    FilterExpression::Options options;
    options.CaseInsensitive = data[0] & 1;
    options.PartialCompare = data[0] & 2;
    const auto resolve = [](const std::string& name) {
        for (std::size_t i = 0; i < kFields.size(); ++i)
            if (SameText(name, kFields[i].name)) return static_cast<int>(i);
        return -1;
    };
    const auto typeOf = [](int field) { return kFields[static_cast<std::size_t>(field)].type; };
    quelvo::fuzz::Guarded<Exception>([&] {
        const auto filter =
            FilterExpression::Parse(std::string(quelvo::fuzz::Text(data + 1, size - 1)), options, resolve, typeOf);
        for (const auto& record : records)
            quelvo::fuzz::Guarded<Exception>(
                [&] { filter->Evaluate([&](int field) { return record[static_cast<std::size_t>(field)]; }); });
    });
    return 0;
}
