// Byte-string helpers, case mapping and text encodings.

#include <algorithm>

#include "platform/hostlib/core/format.h"
#include "platform/system/text_conversion.h"

namespace hostlib {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 character at s[i], advancing i; malformed bytes give
// U+FFFD and advance one byte.
char32_t DecodeUtf8(std::string_view s, std::size_t& i)
{
    char32_t cp = 0;
    const std::size_t length = quelvo::sys::DecodeUtf8(s, i, cp);
    i += length == 0 ? 1 : length;
    return length == 0 ? kReplacement : cp;
}

// Simple case mapping for the alphabets a user of this program types:
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic.
char32_t ToUpper(char32_t c)
{
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c < 0x80) return c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x131) return 'I';
        if (c == 0x138 || c == 0x149 || c == 0x17F) return c;
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper) return (c % 2 == 0) ? c - 1 : c;
        return (c % 2 == 1) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

char32_t ToLower(char32_t c)
{
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0x80) return c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) return 'i';
        if (c == 0x138 || c == 0x149 || c == 0x17F) return c;
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper) return (c % 2 == 1) ? c + 1 : c;
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

// Appends the mapped form of the character at s[i], advancing i; malformed
// bytes are kept as they are.
template <class Map>
void AppendMapped(std::string& out, std::string_view s, std::size_t& i, Map map)
{
    const std::size_t start = i;
    const char32_t c = DecodeUtf8(s, i);
    if (c == kReplacement && !(i - start == 3 && s.substr(start, 3) == "\xEF\xBF\xBD"))
        out.append(s.substr(start, i - start));
    else
        quelvo::sys::AppendUtf8(out, map(c));
}

template <class Map>
std::string MapCase(std::string_view s, Map map)
{
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) AppendMapped(out, s, i, map);
    return out;
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The bytes of AnsiUpperCase(s) one at a time, a character made only when
// its first byte is asked for: comparisons stop at the first difference.
class UpperCaseBytes {
public:
    explicit UpperCaseBytes(std::string_view s) : s_(s) {}

    // False at the end.
    bool Next(char& out)
    {
        if (pending_ == made_.size()) {
            if (i_ == s_.size()) return false;
            if (static_cast<unsigned char>(s_[i_]) < 0x80) {
                out = AsciiUpper(s_[i_++]);
                return true;
            }
            MakeCharacter();
        }
        out = made_[pending_++];
        return true;
    }

private:
    void MakeCharacter()
    {
        made_.clear();
        pending_ = 0;
        AppendMapped(made_, s_, i_, ToUpper);
    }

    std::string_view s_;
    std::size_t i_ = 0;
    std::string made_;  // at most four bytes: never allocates
    std::size_t pending_ = 0;
};

// Compares the upper-case bytes of a with those of b; with prefixOnly, a
// may go on past the end of b.
bool UpperCaseBytesMatch(std::string_view a, std::string_view b, bool prefixOnly)
{
    UpperCaseBytes left(a);
    UpperCaseBytes right(b);
    char ca = 0;
    char cb = 0;
    for (;;) {
        const bool moreA = left.Next(ca);
        if (!right.Next(cb)) return prefixOnly || !moreA;
        if (!moreA || ca != cb) return false;
    }
}

int Sign(long long v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

bool IsLowerLetter(char32_t c)
{
    return ToUpper(c) != c;
}

// The base letter of an accented Latin-1 letter (already lower case).
char32_t BaseLetter(char32_t c)
{
    if (c < 0xE0 || c > 0xFF) return c;
    static constexpr char kBase[] = "aaaaaaaceeeeiiiidnooooo/ouuuuyty";
    const char b = kBase[c - 0xE0];
    return b == '/' ? c : static_cast<char32_t>(b);
}

// Locale-aware comparison in levels: base letters, then accents (the
// case-folded characters), then - for the case-sensitive form - lower case
// before upper case at the first difference.
int AnsiCompare(std::string_view a, std::string_view b, bool caseSensitive)
{
    std::size_t i = 0;
    std::size_t j = 0;
    int accent = 0;
    int tie = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = DecodeUtf8(a, i);
        const char32_t cb = DecodeUtf8(b, j);
        const char32_t fa = ToLower(ca);
        const char32_t fb = ToLower(cb);
        const char32_t ba = BaseLetter(fa);
        const char32_t bb = BaseLetter(fb);
        if (ba != bb) return ba < bb ? -1 : 1;
        if (accent == 0 && fa != fb) accent = fa < fb ? -1 : 1;
        if (caseSensitive && tie == 0 && ca != cb && fa == fb)
            tie = IsLowerLetter(ca) ? -1 : (IsLowerLetter(cb) ? 1 : (ca < cb ? -1 : 1));
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    if (accent != 0) return accent;
    return caseSensitive ? tie : 0;
}

// Appends v (below 2^22) in one to three bytes whose byte order is the
// order of the values and no encoding is the start of another: a sequence
// of them compares as the sequence of values.
void AppendOrdered(std::string& key, char32_t v)
{
    if (v < 0x80) {
        key.push_back(static_cast<char>(v));
    } else if (v < 0x4000) {
        key.push_back(static_cast<char>(0x80 | (v >> 8)));
        key.push_back(static_cast<char>(v & 0xFF));
    } else {
        key.push_back(static_cast<char>(0xC0 | (v >> 16)));
        key.push_back(static_cast<char>((v >> 8) & 0xFF));
        key.push_back(static_cast<char>(v & 0xFF));
    }
}

// AnsiCompare's levels one after the other: base letters (shifted up by
// one, so the 0 that ends the level sorts before any letter), folded
// characters, then for the case-sensitive form a weight putting a lower
// case letter before every other character of its fold. Equal base
// letters mean equal lengths, so the later levels need no end mark.
std::string CollationKey(std::string_view s, bool caseSensitive)
{
    std::u32string text;
    text.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) text.push_back(DecodeUtf8(s, i));
    std::string key;
    key.reserve(text.size() * (caseSensitive ? 3 : 2) + 1);
    for (const char32_t c : text) AppendOrdered(key, BaseLetter(ToLower(c)) + 1);
    key.push_back('\0');
    for (const char32_t c : text) AppendOrdered(key, ToLower(c));
    if (caseSensitive)
        for (const char32_t c : text) AppendOrdered(key, IsLowerLetter(c) ? 0 : c + 1);
    return key;
}

bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string UpperCase(std::string_view s)
{
    std::string r(s);
    for (char& c : r) c = AsciiUpper(c);
    return r;
}

std::string LowerCase(std::string_view s)
{
    return quelvo::sys::AsciiLowerCase(s);
}

std::string AnsiUpperCase(std::string_view s)
{
    return MapCase(s, ToUpper);
}

std::string AnsiLowerCase(std::string_view s)
{
    return MapCase(s, ToLower);
}

bool AnsiUpperCaseEquals(std::string_view a, std::string_view b)
{
    return UpperCaseBytesMatch(a, b, false);
}

bool AnsiUpperCaseStartsWith(std::string_view text, std::string_view prefix)
{
    return UpperCaseBytesMatch(text, prefix, true);
}

int CompareStr(std::string_view a, std::string_view b)
{
    const int r = a.compare(b);
    return Sign(r);
}

int CompareText(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned char ca = static_cast<unsigned char>(AsciiUpper(a[k]));
        const unsigned char cb = static_cast<unsigned char>(AsciiUpper(b[k]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int AnsiCompareStr(std::string_view a, std::string_view b)
{
    return AnsiCompare(a, b, true);
}

int AnsiCompareText(std::string_view a, std::string_view b)
{
    return AnsiCompare(a, b, false);
}

std::string AnsiCompareStrKey(std::string_view s)
{
    return CollationKey(s, true);
}

std::string AnsiCompareTextKey(std::string_view s)
{
    return CollationKey(s, false);
}

bool AnsiSameText(std::string_view a, std::string_view b)
{
    return AnsiCompareText(a, b) == 0;
}

std::string AnsiSameTextKey(std::string_view s)
{
    std::string key;
    key.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) quelvo::sys::AppendUtf8(key, ToLower(DecodeUtf8(s, i)));
    return key;
}

bool AnsiSameStr(std::string_view a, std::string_view b)
{
    return a == b;
}

std::string Trim(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && IsTrimmed(s[b])) ++b;
    while (e > b && IsTrimmed(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s)
{
    std::size_t b = 0;
    while (b < s.size() && IsTrimmed(s[b])) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s)
{
    std::size_t e = s.size();
    while (e > 0 && IsTrimmed(s[e - 1])) --e;
    return std::string(s.substr(0, e));
}

std::string AnsiQuotedStr(std::string_view s, char quote)
{
    std::string out(1, quote);
    for (char c : s) {
        out += c;
        if (c == quote) out += c;
    }
    out += quote;
    return out;
}

std::string QuotedStr(std::string_view s)
{
    return AnsiQuotedStr(s, '\'');
}

std::string AnsiExtractQuotedStr(std::string_view& s, char quote)
{
    if (s.empty() || s[0] != quote) return {};
    std::string out;
    std::size_t i = 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            ++i;  // closing quote
            s.remove_prefix(i);
            return out;
        }
        out += s[i++];
    }
    s.remove_prefix(s.size());  // unterminated: everything was taken
    return out;
}

std::string AnsiDequotedStr(std::string_view s, char quote)
{
    std::string_view rest = s;
    std::string out = AnsiExtractQuotedStr(rest, quote);
    if (s.empty() || s[0] != quote) return std::string(s);
    return out;
}

int Pos(std::string_view sub, std::string_view s, int offset)
{
    if (sub.empty() || offset < 1 || offset > static_cast<int>(s.size())) return 0;
    const std::size_t p = s.find(sub, static_cast<std::size_t>(offset - 1));
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

std::string Copy(std::string_view s, int index, int count)
{
    if (index < 1) index = 1;
    if (count <= 0 || index > static_cast<int>(s.size())) return {};
    return std::string(s.substr(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count)));
}

void Delete(std::string& s, int index, int count)
{
    if (index < 1 || index > static_cast<int>(s.size()) || count <= 0) return;
    s.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}

void Insert(std::string_view source, std::string& s, int index)
{
    index = std::clamp(index, 1, static_cast<int>(s.size()) + 1);
    s.insert(static_cast<std::size_t>(index - 1), source);
}

std::string StringOfChar(char c, int count)
{
    return count > 0 ? std::string(static_cast<std::size_t>(count), c) : std::string();
}

std::string StringReplace(std::string_view s, std::string_view oldPattern, std::string_view newPattern, int flags)
{
    if (oldPattern.empty()) return std::string(s);
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    const std::string hay = ignoreCase ? AnsiUpperCase(s) : std::string(s);
    const std::string needle = ignoreCase ? AnsiUpperCase(oldPattern) : std::string(oldPattern);
    if (hay.size() != s.size()) {
        // Case mapping changed byte lengths: fall back to ASCII folding.
        return StringReplace(s, oldPattern, newPattern, flags & ~rfIgnoreCase) ;
    }
    std::string out;
    std::size_t from = 0;
    while (true) {
        const std::size_t p = hay.find(needle, from);
        if (p == std::string::npos) break;
        out.append(s.substr(from, p - from));
        out.append(newPattern);
        from = p + needle.size();
        if (!(flags & rfReplaceAll)) break;
    }
    out.append(s.substr(from));
    return out;
}

bool IsValidIdent(std::string_view s)
{
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

bool StartsText(std::string_view prefix, std::string_view s)
{
    return s.size() >= prefix.size() && CompareText(s.substr(0, prefix.size()), prefix) == 0;
}

std::u16string Utf8ToUtf16(std::string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const char32_t c = DecodeUtf8(s, i);
        if (c >= 0x10000) {
            const char32_t v = c - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s)
{
    return quelvo::sys::NarrowText(s);
}

}  // namespace hostlib
