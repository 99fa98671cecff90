// The standard edit mask as the mask editor drives it. Input: the mask, a
// zero byte, then the text spread over it and checked.

#include "platform/hostlib/mask/cxStandardMask.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto [mask, typed] = quelvo::fuzz::SplitOnce(quelvo::fuzz::Text(data, size), '\0');
    TcxStandardMask compiled;
    compiled.Compile(std::string(mask));
    std::string text(typed);
    compiled.IsValid(text);
    compiled.IsFullValid(text);
    compiled.Format(text);
    compiled.Format2(text);
    compiled.GetEmptyString();
    return 0;
}
