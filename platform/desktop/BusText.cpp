#include "platform/desktop/BusText.h"

#include <cstring>

namespace quelvo::desktop {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Length of the well-formed UTF-8 sequence at the start of s, 0 when it is
// malformed, or -1 when it is a valid prefix cut off by the end of s.
int SequenceLength(std::string_view s)
{
    const auto b0 = static_cast<unsigned char>(s[0]);
    if (b0 < 0x80)
        return 1;
    int length = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (b0 == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if (static_cast<std::size_t>(i) >= s.size())
            return -1;
        const auto b = static_cast<unsigned char>(s[i]);
        const unsigned char low = i == 1 ? lo : 0x80;
        const unsigned char high = i == 1 ? hi : 0xBF;
        if (b < low || b > high)
            return 0;
    }
    return length;
}

} // namespace

std::string ToBusText(std::string_view text, std::size_t maxBytes)
{
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    std::string out;
    out.reserve(text.size() < maxBytes ? text.size() : maxBytes);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const int length = SequenceLength(text.substr(pos));
        if (length < 0)
            break;
        const std::string_view piece = length > 0 ? text.substr(pos, length) : kReplacement;
        if (out.size() + piece.size() > maxBytes)
            break;
        out += piece;
        pos += length > 0 ? static_cast<std::size_t>(length) : 1;
    }
    return out;
}

std::string FieldText(const char* field, std::size_t fieldSize)
{
    if (field == nullptr)
        return {};
    return ToBusText(std::string_view(field, strnlen(field, fieldSize)));
}

std::string EscapeMarkup(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string MenuLabelToBus(std::string_view label)
{
    std::string out;
    out.reserve(label.size() + 2);
    for (std::size_t i = 0; i < label.size(); ++i) {
        const char c = label[i];
        if (c == '_') {
            out += "__";
        } else if (c == '&') {
            if (i + 1 < label.size() && label[i + 1] == '&') {
                out += '&';
                ++i;
            } else if (i + 1 < label.size()) {
                out += '_';
            }
            // A lone '&' at the end marks nothing.
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace quelvo::desktop
