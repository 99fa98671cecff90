#include "platform/hostlib/core/format.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/hostlib/core/decimal.h"
#include "platform/hostlib/core/exceptions.h"

namespace hostlib {

using detail::Decimal;

namespace {

// ---- number text pieces ----------------------------------------------------

std::string InsertThousands(const std::string& intDigits, char sep)
{
    std::string out;
    const int n = static_cast<int>(intDigits.size());
    for (int i = 0; i < n; ++i) {
        out += intDigits[i];
        const int fromRight = n - 1 - i;
        if (fromRight > 0 && fromRight % 3 == 0) out += sep;
    }
    return out;
}

// Integer digits ("0" when none) and exactly `decimals` fraction digits.
void SplitFixed(const Decimal& d, int decimals, std::string& intPart, std::string& fracPart)
{
    intPart.clear();
    fracPart.clear();
    for (int i = 0; i < d.Exponent; ++i) intPart += i < static_cast<int>(d.Digits.size()) ? d.Digits[i] : '0';
    if (intPart.empty()) intPart = "0";
    for (int i = 0; i < decimals; ++i) {
        const int idx = d.Exponent + i;
        fracPart += idx >= 0 && idx < static_cast<int>(d.Digits.size()) ? d.Digits[idx] : '0';
    }
}

std::string SpecialText(const Decimal& d)
{
    if (d.Nan) return "NAN";
    return d.Negative ? "-INF" : "INF";
}

std::string ExponentText(int exponent, int minDigits, bool alwaysSign)
{
    std::string digits = std::to_string(std::abs(exponent));
    while (static_cast<int>(digits.size()) < minDigits) digits.insert(digits.begin(), '0');
    std::string sign = exponent < 0 ? "-" : (alwaysSign ? "+" : "");
    return sign + digits;
}

std::string ScientificText(const Decimal& d, int mantissaDigits, int minExpDigits, bool generalForm, char decSep)
{
    std::string digits = d.Digits.empty() ? "0" : d.Digits;
    if (!generalForm)
        while (static_cast<int>(digits.size()) < mantissaDigits) digits += '0';
    std::string out;
    if (d.Negative) out += '-';
    out += digits[0];
    if (digits.size() > 1) {
        out += decSep;
        out.append(digits, 1, std::string::npos);
    }
    const int exponent = d.IsZero() ? 0 : d.Exponent - 1;
    out += 'E';
    out += ExponentText(exponent, minExpDigits, !generalForm);
    return out;
}

std::string CurrencyText(const std::string& number, bool negative, const TFormatSettings& fs)
{
    const std::string& c = fs.CurrencyString;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return number + c;
        case 2: return c + " " + number;
        case 3: return number + " " + c;
        default: return c + number;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1: return "-" + c + number;
    case 2: return c + "-" + number;
    case 3: return c + number + "-";
    case 4: return "(" + number + c + ")";
    case 5: return "-" + number + c;
    case 6: return number + "-" + c;
    case 7: return number + c + "-";
    case 8: return "-" + number + " " + c;
    case 9: return "-" + c + " " + number;
    case 10: return number + " " + c + "-";
    case 11: return c + " " + number + "-";
    case 12: return c + " -" + number;
    case 13: return number + "- " + c;
    case 14: return "(" + c + " " + number + ")";
    case 15: return "(" + number + " " + c + ")";
    default: return "(" + c + number + ")";
    }
}

std::string DecimalToStrF(Decimal d, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    if (d.Nan || d.Infinite) return SpecialText(d);
    precision = std::clamp(precision, 1, 20);  // currency carries 19 digits
    switch (format) {
    case ffGeneral: {
        detail::RoundSignificant(d, precision);
        if (d.IsZero()) return "0";
        if (d.Exponent > precision || d.Exponent < -3) return ScientificText(d, 0, std::clamp(digits, 0, 4), true, fs.DecimalSeparator);
        std::string intPart;
        std::string fracPart;
        const int decimals = std::max(0, static_cast<int>(d.Digits.size()) - d.Exponent);
        SplitFixed(d, decimals, intPart, fracPart);
        std::string out = d.Negative ? "-" : "";
        out += intPart;
        if (!fracPart.empty()) out += fs.DecimalSeparator + fracPart;
        return out;
    }
    case ffExponent:
        detail::RoundSignificant(d, precision);
        if (d.IsZero()) d.Negative = false;
        return ScientificText(d, precision, std::clamp(digits, 0, 4), false, fs.DecimalSeparator);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        digits = std::clamp(digits, 0, 18);
        if (format != ffCurrency && d.Exponent > precision) return DecimalToStrF(d, ffGeneral, precision, 0, fs);
        detail::RoundDecimals(d, digits);
        if (d.IsZero()) d.Negative = false;
        std::string intPart;
        std::string fracPart;
        SplitFixed(d, digits, intPart, fracPart);
        if (format != ffFixed) intPart = InsertThousands(intPart, fs.ThousandSeparator);
        std::string number = intPart;
        if (!fracPart.empty()) number += fs.DecimalSeparator + fracPart;
        if (format == ffCurrency) return CurrencyText(number, d.Negative, fs);
        return (d.Negative ? "-" : "") + number;
    }
    }
    return {};
}

// ---- picture formats ---------------------------------------------------------

struct Picture {
    std::string_view text;
    int intPlaces = 0;  // '0' and '#' before the point (or the exponent)
    int minInt = 0;     // places from the first '0' up to the point
    int minDec = 0;     // '0' after the point
    int maxDec = 0;     // '0' and '#' after the point
    bool thousands = false;
    bool scientific = false;
    int expDigits = 0;
};

// Splits a format into its ';' sections, quotes respected.
std::vector<std::string_view> Sections(std::string_view format)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';' && out.size() < 2) {
            out.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(format.substr(start));
    return out;
}

Picture Analyse(std::string_view text)
{
    Picture p;
    p.text = text;
    bool afterPoint = false;
    bool seenZero = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (p.scientific) {
            if (c == '0') ++p.expDigits;
            else if (c == '"' || c == '\'') quote = c;
            continue;
        }
        switch (c) {
        case '"':
        case '\'': quote = c; break;
        case '0':
            if (afterPoint) {
                p.maxDec = p.maxDec + 1;
                p.minDec = p.maxDec;
            } else {
                ++p.intPlaces;
                seenZero = true;
                ++p.minInt;
            }
            break;
        case '#':
            if (afterPoint) ++p.maxDec;
            else {
                ++p.intPlaces;
                if (seenZero) ++p.minInt;
            }
            break;
        case '.': afterPoint = true; break;
        case ',':
            if (!afterPoint) p.thousands = true;
            break;
        case 'E':
        case 'e':
            if (i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-')) {
                p.scientific = true;
                ++i;
            }
            break;
        default: break;
        }
    }
    return p;
}

std::string ApplyPicture(const Picture& p, Decimal d, bool showSign, const TFormatSettings& fs)
{
    int exponent = 0;
    if (p.scientific) {
        const int intPlaces = std::max(1, p.intPlaces);
        detail::RoundSignificant(d, intPlaces + p.maxDec);
        if (!d.IsZero()) {
            exponent = d.Exponent - intPlaces;
            d.Exponent = intPlaces;
        }
    } else {
        detail::RoundDecimals(d, p.maxDec);
    }
    std::string intStr;
    std::string fracStr;
    SplitFixed(d, p.maxDec, intStr, fracStr);
    if (intStr == "0") intStr.clear();
    while (static_cast<int>(intStr.size()) < p.minInt) intStr.insert(intStr.begin(), '0');
    while (static_cast<int>(fracStr.size()) > p.minDec && fracStr.back() == '0') fracStr.pop_back();

    std::string out;
    if (showSign && !d.IsZero() && d.Negative) out += '-';
    const int intLen = static_cast<int>(intStr.size());
    int placeFromRight = std::max(1, p.intPlaces) - 1;  // right-position of the next integer place
    bool firstPlace = true;
    int fracIndex = 0;
    bool afterPoint = false;
    bool inExponent = false;
    char quote = 0;
    auto emitIntDigit = [&](int index) {
        out += intStr[index];
        const int fromRight = intLen - 1 - index;
        if (p.thousands && fromRight > 0 && fromRight % 3 == 0) out += fs.ThousandSeparator;
    };
    auto emitInteger = [&]() {
        if (firstPlace) {
            for (int i = 0; i < intLen - placeFromRight; ++i) emitIntDigit(i);
            firstPlace = false;
        } else if (intLen - 1 - placeFromRight >= 0) {
            emitIntDigit(intLen - 1 - placeFromRight);
        }
        --placeFromRight;
    };
    const std::string_view t = p.text;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
            continue;
        }
        if (inExponent) {
            if (c == '0') continue;  // the exponent digits were written at once
            if (c == '"' || c == '\'') quote = c;
            else out += c;
            continue;
        }
        switch (c) {
        case '"':
        case '\'': quote = c; break;
        case '0':
        case '#':
            if (!afterPoint) {
                if (p.intPlaces == 0) break;
                emitInteger();
            } else {
                if (fracIndex < static_cast<int>(fracStr.size())) out += fracStr[fracIndex];
                ++fracIndex;
            }
            break;
        case '.':
            if (!afterPoint) {
                if (p.intPlaces == 0 && !intStr.empty()) {
                    // No integer place: the integer digits still show.
                    for (int k = 0; k < intLen; ++k) emitIntDigit(k);
                }
                afterPoint = true;
                // The separator shows only when a fraction digit follows.
                if (!fracStr.empty()) out += fs.DecimalSeparator;
            }
            break;
        case ',': break;
        case 'E':
        case 'e':
            if (p.scientific && i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-')) {
                out += c;
                out += ExponentText(exponent, p.expDigits, t[i + 1] == '+');
                ++i;
                inExponent = true;
                break;
            }
            out += c;
            break;
        default: out += c; break;
        }
    }
    return out;
}

std::string FormatDecimal(std::string_view format, const Decimal& value, const TFormatSettings& fs,
                          const std::string& general)
{
    if (value.Nan || value.Infinite) return SpecialText(value);
    const auto sections = Sections(format);
    Picture first = Analyse(sections[0]);
    // Pick the section from the value as the first section would show it.
    Decimal rounded = value;
    if (first.scientific) detail::RoundSignificant(rounded, std::max(1, first.intPlaces) + first.maxDec);
    else detail::RoundDecimals(rounded, first.maxDec);
    if (rounded.IsZero() && sections.size() >= 3 && !sections[2].empty())
        return ApplyPicture(Analyse(sections[2]), Decimal{}, false, fs);
    if (value.Negative && sections.size() >= 2 && !sections[1].empty())
        return ApplyPicture(Analyse(sections[1]), value, false, fs);
    if (sections[0].empty()) return general;
    return ApplyPicture(first, value, true, fs);
}

// ---- number parsing ---------------------------------------------------------------

std::string_view TrimView(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

bool ParseInt64(std::string_view text, std::int64_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ' && text[i] != 0) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return false;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = hex ? std::numeric_limits<std::uint64_t>::max()
                                    : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return false;
        const unsigned base = hex ? 16 : 10;
        if (magnitude > (limit - digit) / base) return false;
        magnitude = magnitude * base + digit;
    }
    // Hexadecimal text is a bit pattern; decimal text a signed value.
    value = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

// The number in the C locale's spelling for strtod, false when the text is
// not one.
bool CFloatText(std::string_view text, const TFormatSettings& fs, std::string& c)
{
    const std::string_view t = TrimView(text);
    if (t.empty()) return false;
    std::size_t i = 0;
    if (t[i] == '+' || t[i] == '-') c += t[i++];
    bool digits = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        c += t[i++];
        digits = true;
    }
    if (i < t.size() && t[i] == fs.DecimalSeparator) {
        c += '.';
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            c += t[i++];
            digits = true;
        }
    }
    if (!digits) {
        // Infinity and NaN are not numbers a user types.
        return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        c += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) c += t[i++];
        bool expDigits = false;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            c += t[i++];
            expDigits = true;
        }
        if (!expDigits) return false;
    }
    return i == t.size();
}

template <class Float, class Convert>
bool ParseFloatOf(std::string_view text, Float& value, const TFormatSettings& fs, Convert convert)
{
    std::string c;
    if (!CFloatText(text, fs, c)) return false;
    char* end = nullptr;
    const Float v = convert(c.c_str(), &end);
    if (end != c.c_str() + c.size()) return false;
    if (std::isinf(v)) return false;  // overflow
    value = v;
    return true;
}

bool ParseFloat(std::string_view text, double& value, const TFormatSettings& fs)
{
    return ParseFloatOf(text, value, fs, [](const char* c, char** end) { return std::strtod(c, end); });
}

bool ParseFloat(std::string_view text, long double& value, const TFormatSettings& fs)
{
    return ParseFloatOf(text, value, fs, [](const char* c, char** end) { return std::strtold(c, end); });
}

}  // namespace

// ---- Format -------------------------------------------------------------------------

std::string FormatV(const TFormatSettings& fs, std::string_view format, const std::vector<FormatArg>& args)
{
    std::string out;
    std::size_t argIndex = 0;
    std::size_t i = 0;
    auto fail = [&]() -> void { throw EConvertError(Format(messages::SInvalidFormat, std::string(format))); };
    auto next = [&]() -> const FormatArg& {
        if (argIndex >= args.size()) throw EConvertError(Format(messages::SArgumentMissing, std::string(format)));
        return args[argIndex++];
    };
    auto readNumber = [&](int& number) -> bool {
        if (i < format.size() && format[i] == '*') {
            ++i;
            const FormatArg& a = next();
            if (a.GetKind() != FormatArg::Kind::Int32 && a.GetKind() != FormatArg::Kind::Int64) fail();
            number = static_cast<int>(std::clamp<std::int64_t>(a.Int(), -1000000, 1000000));
            return true;
        }
        bool any = false;
        number = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            number = std::min(number * 10 + (format[i] - '0'), 1000000);
            ++i;
            any = true;
        }
        return any;
    };
    while (i < format.size()) {
        const char ch = format[i++];
        if (ch != '%') {
            out += ch;
            continue;
        }
        if (i >= format.size()) fail();
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        int number = 0;
        bool leftAlign = false;
        int width = -1;
        int precision = -1;
        const std::size_t specStart = i;
        if (readNumber(number)) {
            if (i < format.size() && format[i] == ':') {
                ++i;
                argIndex = static_cast<std::size_t>(std::max(number, 0));
                number = 0;
            } else {
                width = number;
            }
        }
        if (width < 0) {
            if (i < format.size() && format[i] == '-') {
                leftAlign = true;
                ++i;
            }
            int w = 0;
            if (readNumber(w)) width = w;
        }
        (void)specStart;
        if (i < format.size() && format[i] == '.') {
            ++i;
            int pr = 0;
            if (!readNumber(pr)) pr = 0;
            precision = pr;
        }
        if (i >= format.size()) fail();
        const char type = static_cast<char>(format[i++] | 0x20);
        const FormatArg& arg = next();
        using K = FormatArg::Kind;
        const bool isInt = arg.GetKind() == K::Int32 || arg.GetKind() == K::Int64 || arg.GetKind() == K::UInt64;
        const bool isFloat = arg.GetKind() == K::Float || arg.GetKind() == K::Money;
        std::string text;
        switch (type) {
        case 'd':
        case 'u': {
            if (!isInt) fail();
            bool negative = false;
            std::uint64_t magnitude = 0;
            if (arg.GetKind() == K::UInt64) {
                magnitude = arg.UInt();
            } else if (type == 'u' && arg.Int() < 0) {
                magnitude = arg.GetKind() == K::Int32 ? static_cast<std::uint32_t>(arg.Int())
                                                      : static_cast<std::uint64_t>(arg.Int());
            } else {
                negative = arg.Int() < 0;
                magnitude = negative ? 0 - static_cast<std::uint64_t>(arg.Int()) : static_cast<std::uint64_t>(arg.Int());
            }
            text = std::to_string(magnitude);
            if (precision > 0 && static_cast<int>(text.size()) < precision)
                text.insert(0, static_cast<std::size_t>(precision) - text.size(), '0');
            if (negative) text.insert(text.begin(), '-');
            break;
        }
        case 'x': {
            if (!isInt) fail();
            std::uint64_t bits = arg.GetKind() == K::Int32 ? static_cast<std::uint32_t>(arg.Int())
                                 : arg.GetKind() == K::UInt64 ? arg.UInt()
                                                              : static_cast<std::uint64_t>(arg.Int());
            text = IntToHex(bits, std::max(precision, 1));
            break;
        }
        case 'p': {
            if (arg.GetKind() != K::Pointer) fail();
            text = IntToHex(arg.UInt(), static_cast<int>(sizeof(void*) * 2));
            break;
        }
        case 's':
            if (arg.GetKind() != K::String) fail();
            text = arg.String();
            if (precision >= 0 && static_cast<int>(text.size()) > precision) text.resize(precision);
            break;
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            if (!isFloat) fail();
            const Decimal d = arg.GetKind() == K::Money ? detail::ScaledToDecimal(arg.Money().Scaled(), 4)
                                                        : detail::ToDecimal(arg.Float());
            switch (type) {
            case 'e': text = DecimalToStrF(d, ffExponent, precision < 0 ? 15 : precision, 3, fs); break;
            case 'f': text = DecimalToStrF(d, ffFixed, 18, precision < 0 ? 2 : precision, fs); break;
            case 'g': text = DecimalToStrF(d, ffGeneral, precision < 0 ? 15 : precision, 3, fs); break;
            case 'n': text = DecimalToStrF(d, ffNumber, 18, precision < 0 ? 2 : precision, fs); break;
            default: text = DecimalToStrF(d, ffCurrency, 18, precision < 0 ? fs.CurrencyDecimals : precision, fs); break;
            }
            break;
        }
        default: fail();
        }
        if (width > static_cast<int>(text.size())) {
            const std::string pad(static_cast<std::size_t>(width) - text.size(), ' ');
            text = leftAlign ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

// ---- integers ----------------------------------------------------------------------------

std::string IntToStr(std::int64_t value)
{
    return std::to_string(value);
}

std::string UIntToStr(std::uint64_t value)
{
    return std::to_string(value);
}

std::string IntToHex(std::uint64_t value, int digits)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kHex[value & 15]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(out.size()) < std::min(digits, 64)) out.insert(out.begin(), '0');
    return out;
}

bool TryStrToInt64(std::string_view text, std::int64_t& value)
{
    return ParseInt64(text, value);
}

bool TryStrToInt(std::string_view text, int& value)
{
    std::int64_t v = 0;
    if (!ParseInt64(text, v)) return false;
    const bool hex = text.find('$') != std::string_view::npos || text.find('x') != std::string_view::npos ||
                     text.find('X') != std::string_view::npos;
    if (hex && v >= 0 && v <= 0xFFFFFFFFLL) v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view text)
{
    int v = 0;
    if (!TryStrToInt(text, v)) throw EConvertError(Format(messages::SInvalidInteger, std::string(text)));
    return v;
}

std::int64_t StrToInt64(std::string_view text)
{
    std::int64_t v = 0;
    if (!TryStrToInt64(text, v)) throw EConvertError(Format(messages::SInvalidInteger, std::string(text)));
    return v;
}

int StrToIntDef(std::string_view text, int def)
{
    int v = 0;
    return TryStrToInt(text, v) ? v : def;
}

std::int64_t StrToInt64Def(std::string_view text, std::int64_t def)
{
    std::int64_t v = 0;
    return TryStrToInt64(text, v) ? v : def;
}

// ---- floats ------------------------------------------------------------------------------

std::string FloatToStr(double value, const TFormatSettings& fs)
{
    return DecimalToStrF(detail::ToDecimal(value), ffGeneral, 15, 0, fs);
}

std::string FloatToStr(double value)
{
    return FloatToStr(value, FormatSettings());
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    return DecimalToStrF(detail::ToDecimal(value), format, precision, digits, fs);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    return DecimalToStrF(detail::ToDecimal(value), format, precision, digits, fs);
}

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

std::string FormatFloat(std::string_view format, double value, const TFormatSettings& fs)
{
    return FormatDecimal(format, detail::ToDecimal(value), fs, FloatToStr(value, fs));
}

std::string FormatFloat(std::string_view format, double value)
{
    return FormatFloat(format, value, FormatSettings());
}

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& fs)
{
    return ParseFloat(text, value, fs);
}

bool TryStrToFloat(std::string_view text, double& value)
{
    return ParseFloat(text, value, FormatSettings());
}

bool TryStrToFloat(std::string_view text, long double& value, const TFormatSettings& fs)
{
    return ParseFloat(text, value, fs);
}

bool TryStrToFloat(std::string_view text, long double& value)
{
    return ParseFloat(text, value, FormatSettings());
}

double StrToFloat(std::string_view text, const TFormatSettings& fs)
{
    double v = 0;
    if (!ParseFloat(text, v, fs)) throw EConvertError(Format(messages::SInvalidFloat, std::string(text)));
    return v;
}

double StrToFloat(std::string_view text)
{
    return StrToFloat(text, FormatSettings());
}

double StrToFloatDef(std::string_view text, double def)
{
    double v = 0;
    return ParseFloat(text, v, FormatSettings()) ? v : def;
}

// ---- money -----------------------------------------------------------------------------

std::string CurrToStr(Currency value, const TFormatSettings& fs)
{
    return DecimalToStrF(detail::ScaledToDecimal(value.Scaled(), 4), ffGeneral, 20, 0, fs);
}

std::string CurrToStr(Currency value)
{
    return CurrToStr(value, FormatSettings());
}

std::string CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs)
{
    return DecimalToStrF(detail::ScaledToDecimal(value.Scaled(), 4), format, 20, digits, fs);
}

std::string CurrToStrF(Currency value, TFloatFormat format, int digits)
{
    return CurrToStrF(value, format, digits, FormatSettings());
}

std::string FormatCurr(std::string_view format, Currency value, const TFormatSettings& fs)
{
    return FormatDecimal(format, detail::ScaledToDecimal(value.Scaled(), 4), fs, CurrToStr(value, fs));
}

std::string FormatCurr(std::string_view format, Currency value)
{
    return FormatCurr(format, value, FormatSettings());
}

bool TryStrToCurr(std::string_view text, Currency& value, const TFormatSettings& fs)
{
    double v = 0;
    if (!ParseFloat(text, v, fs)) return false;
    return Currency::TryFromDouble(v, value);
}

bool TryStrToCurr(std::string_view text, Currency& value)
{
    return TryStrToCurr(text, value, FormatSettings());
}

Currency StrToCurr(std::string_view text, const TFormatSettings& fs)
{
    Currency c;
    if (!TryStrToCurr(text, c, fs)) throw EConvertError(Format(messages::SInvalidFloat, std::string(text)));
    return c;
}

Currency StrToCurr(std::string_view text)
{
    return StrToCurr(text, FormatSettings());
}

// ---- Booleans ------------------------------------------------------------------------

std::string BoolToStr(bool value, bool useNames)
{
    if (useNames) return value ? "True" : "False";
    return value ? "-1" : "0";
}

bool TryStrToBool(std::string_view text, bool& value)
{
    const std::string_view t = TrimView(text);
    if (SameText(t, "True")) {
        value = true;
        return true;
    }
    if (SameText(t, "False")) {
        value = false;
        return true;
    }
    double d = 0;
    if (ParseFloat(t, d, FormatSettings())) {
        value = d != 0;
        return true;
    }
    return false;
}

bool StrToBool(std::string_view text)
{
    bool b = false;
    if (!TryStrToBool(text, b)) throw EConvertError(Format("'%s' is not a valid boolean value", std::string(text)));
    return b;
}

}  // namespace hostlib
