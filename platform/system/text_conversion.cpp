#include "platform/system/text_conversion.h"

#include <cstdint>

namespace quelvo::sys {
namespace {

// Length of a valid UTF-8 sequence at text[i] and its code point; 0 when
// the bytes there are not one.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    std::size_t length = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

template <class Emit>
void WidenEach(std::string_view text, Emit&& emit)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            cp = static_cast<unsigned char>(text[i]);
            length = 1;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            if (!emit(static_cast<char16_t>(0xD800 + (cp >> 10)))) return;
            if (!emit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)))) return;
        } else if (!emit(static_cast<char16_t>(cp))) {
            return;
        }
        i += length;
    }
}

}  // namespace

std::u16string WidenText(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    WidenEach(text, [&out](char16_t unit) {
        out += unit;
        return true;
    });
    return out;
}

std::size_t WidenTextInto(std::string_view text, char16_t* out, std::size_t capacity)
{
    std::size_t count = 0;
    WidenEach(text, [&](char16_t unit) {
        if (count == capacity) return false;
        out[count++] = unit;
        return true;
    });
    return count;
}

std::string NarrowText(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace quelvo::sys
