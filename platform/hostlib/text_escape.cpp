#include "platform/hostlib/text_escape.h"

#include "platform/hostlib/format.h"

namespace hostlib {

std::string EscapeText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 32 || c == 127) out += "\\x" + IntToHex(static_cast<unsigned char>(c), 2);
            else out += c;
        }
    }
    return out;
}

bool UnescapeText(std::string_view s, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i >= s.size()) return false;
        switch (s[i]) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
            std::int64_t v = 0;
            if (i + 2 >= s.size() || !TryStrToInt64("$" + std::string(s.substr(i + 1, 2)), v)) return false;
            out += static_cast<char>(v);
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return true;
}

}  // namespace hostlib
