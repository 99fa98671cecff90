// The regular-expression compiler and matcher as the mask editor drives
// them. Input: the expression, a zero byte, then the typed text; a typed
// backspace (8) steps back.

#include "components/editors/cxRegExpr.h"
#include "platform/hostlib/core/exceptions.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parts = quelvo::fuzz::SplitOnce(quelvo::fuzz::Text(data, size), '\0');
    const std::string_view expr = parts.first;
    const std::string_view typed = parts.second;
    TcxRegExpr regexpr;
    quelvo::fuzz::Guarded<hostlib::Exception>([&] {
        regexpr.SetCaseInsensitive(!typed.empty() && (typed[0] & 1));
        regexpr.Compile(std::string(expr));
        for (char ch : typed) {
            if (ch == '\b') {
                regexpr.Prev();
                continue;
            }
            char next = ch;
            regexpr.Next(next);
            regexpr.IsFinal();
        }
        regexpr.Print();
        regexpr.Reset();
        regexpr.NextEx(std::string(typed));
    });
    quelvo::fuzz::Guarded<hostlib::Exception>([&] { cxRegExpr::IsTextFullValid(std::string(typed), std::string(expr)); });
    return 0;
}
