#include "platform/hostlib/core/text_escape.h"

#include "platform/system/text_conversion.h"

namespace hostlib {

std::string EscapeText(std::string_view s)
{
    return quelvo::sys::EscapeText(s);
}

bool UnescapeText(std::string_view s, std::string& out)
{
    return quelvo::sys::UnescapeText(s, out);
}

}  // namespace hostlib
