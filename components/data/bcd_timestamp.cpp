#include "components/data/bcd_timestamp.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/hostlib/core/exceptions.h"

namespace {

// Sign, all significant digits and how many of them follow the point.
struct Decimal {
    bool Negative = false;
    std::string Digits = "0";
    int Places = 0;
};

void Normalize(Decimal& d)
{
    while (d.Places > 0 && !d.Digits.empty() && d.Digits.back() == '0') {
        d.Digits.pop_back();
        --d.Places;
    }
    const std::size_t intLen = d.Digits.size() - static_cast<std::size_t>(d.Places);
    std::size_t lead = 0;
    while (lead < intLen && d.Digits[lead] == '0')
        ++lead;
    d.Digits.erase(0, lead);
    if (d.Digits.empty()) {
        d.Digits = "0";
        d.Places = 0;
    }
    if (d.Digits.find_first_not_of('0') == std::string::npos)
        d.Negative = false;
}

std::optional<TBcd> Pack(Decimal d)
{
    Normalize(d);
    if (static_cast<int>(d.Digits.size()) > cxMaxBcdDigits) {
        const int excess = static_cast<int>(d.Digits.size()) - cxMaxBcdDigits;
        if (excess > d.Places)
            return std::nullopt;
        d.Digits.resize(d.Digits.size() - static_cast<std::size_t>(excess));
        d.Places -= excess;
        Normalize(d);
    }
    if (d.Places > 63)
        return std::nullopt;
    TBcd r;
    r.Precision = static_cast<std::uint8_t>(d.Digits.size());
    r.SignSpecialPlaces = static_cast<std::uint8_t>((d.Negative ? 0x80 : 0) | d.Places);
    for (std::size_t i = 0; i < d.Digits.size(); ++i) {
        const auto digit = static_cast<std::uint8_t>(d.Digits[i] - '0');
        r.Fraction[i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? digit << 4 : digit);
    }
    return r;
}

// Tolerates records it did not make: digits above 9 read as 9, counts are
// clamped to the record's room.
Decimal Unpack(const TBcd& b)
{
    Decimal d;
    const int precision = std::min<int>(b.Precision, cxMaxBcdDigits);
    d.Digits.clear();
    for (int i = 0; i < precision; ++i) {
        const std::uint8_t byte = b.Fraction[static_cast<std::size_t>(i / 2)];
        const int digit = std::min(9, i % 2 == 0 ? byte >> 4 : byte & 0x0F);
        d.Digits.push_back(static_cast<char>('0' + digit));
    }
    if (d.Digits.empty())
        d.Digits = "0";
    d.Places = std::min<int>(b.SignSpecialPlaces & 0x3F, static_cast<int>(d.Digits.size()));
    d.Negative = (b.SignSpecialPlaces & 0x80) != 0;
    Normalize(d);
    return d;
}

std::optional<Decimal> Parse(std::string_view s, char sep)
{
    Decimal d;
    d.Digits.clear();
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        d.Negative = s[i++] == '-';
    bool anyDigit = false;
    bool seenSep = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            d.Digits.push_back(c);
            anyDigit = true;
            if (seenSep)
                ++d.Places;
        } else if (c == sep && !seenSep) {
            seenSep = true;
        } else {
            break;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && s[i] == '+')
            ++i;
        int exponent = 0;
        const auto [ptr, ec] = std::from_chars(s.data() + i, s.data() + s.size(), exponent);
        if (ec != std::errc{} || ptr == s.data() + i || exponent > 1000 || exponent < -1000)
            return std::nullopt;
        i = static_cast<std::size_t>(ptr - s.data());
        d.Places -= exponent;
        if (d.Places < 0) {
            d.Digits.append(static_cast<std::size_t>(-d.Places), '0');
            d.Places = 0;
        }
        if (d.Places > static_cast<int>(d.Digits.size()))
            d.Digits.insert(0, static_cast<std::size_t>(d.Places) - d.Digits.size(), '0');
    }
    if (i != s.size())
        return std::nullopt;
    return d;
}

std::string ToText(const Decimal& d, char sep)
{
    std::string out = d.Negative ? "-" : "";
    const std::size_t intLen = d.Digits.size() - static_cast<std::size_t>(d.Places);
    out += intLen == 0 ? std::string("0") : d.Digits.substr(0, intLen);
    if (d.Places > 0) {
        out += sep;
        out += d.Digits.substr(intLen);
    }
    return out;
}

} // namespace

std::optional<TBcd> TryStrToBcd(std::string_view text, char decimalSeparator)
{
    auto d = Parse(text, decimalSeparator);
    if (!d)
        return std::nullopt;
    return Pack(*d);
}

TBcd Int64ToBcd(std::int64_t value)
{
    Decimal d;
    d.Negative = value < 0;
    // Through the unsigned magnitude so that the lowest value has one.
    const std::uint64_t magnitude = d.Negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    d.Digits = std::to_string(magnitude);
    return *Pack(d);
}

std::optional<TBcd> TryDoubleToBcd(double value)
{
    char buf[64];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc{})
        return std::nullopt;
    return TryStrToBcd(std::string_view(buf, static_cast<std::size_t>(ptr - buf)), '.');
}

double BcdToDouble(const TBcd& value)
{
    const std::string text = ToText(Unpack(value), '.');
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

std::string BcdToStr(const TBcd& value, char decimalSeparator)
{
    return ToText(Unpack(value), decimalSeparator);
}

int BcdCompare(const TBcd& a, const TBcd& b)
{
    const Decimal x = Unpack(a);
    const Decimal y = Unpack(b);
    if (x.Negative != y.Negative)
        return x.Negative ? -1 : 1;
    const int sign = x.Negative ? -1 : 1;
    // Zero keeps one integer digit while a pure fraction keeps none, so
    // digit counts alone would put zero above 0.5.
    const bool xZero = x.Digits == "0";
    const bool yZero = y.Digits == "0";
    if (xZero || yZero)
        return xZero == yZero ? 0 : (xZero ? -sign : sign);
    const auto xInt = x.Digits.size() - static_cast<std::size_t>(x.Places);
    const auto yInt = y.Digits.size() - static_cast<std::size_t>(y.Places);
    // Leading zeros are gone, except a lone "0" integer part of a fraction.
    const bool xZeroInt = xInt == 0;
    const bool yZeroInt = yInt == 0;
    if (xInt != yInt && !(xZeroInt && yZeroInt))
        return xInt < yInt ? -sign : sign;
    // Same integer length: align on the point and compare digit by digit.
    const int places = std::max(x.Places, y.Places);
    const std::string xs = x.Digits + std::string(static_cast<std::size_t>(places - x.Places), '0');
    const std::string ys = y.Digits + std::string(static_cast<std::size_t>(places - y.Places), '0');
    const int c = xs.compare(ys);
    return c == 0 ? 0 : (c < 0 ? -sign : sign);
}

hostlib::TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value)
{
    if (value.Fractions > 999)
        throw hostlib::EConvertError(hostlib::messages::STimeEncodeError);
    const hostlib::TDateTime date = hostlib::EncodeDate(value.Year, value.Month, value.Day);
    const hostlib::TDateTime time = hostlib::EncodeTime(value.Hour, value.Minute, value.Second, static_cast<int>(value.Fractions));
    // Before the epoch the time of day counts away from zero.
    return date < 0 ? date - time : date + time;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(hostlib::TDateTime value)
{
    const hostlib::DateParts d = hostlib::DecodeDate(value);
    const hostlib::TimeParts t = hostlib::DecodeTime(value);
    TSQLTimeStamp r;
    r.Year = static_cast<std::int16_t>(d.Year);
    r.Month = static_cast<std::uint16_t>(d.Month);
    r.Day = static_cast<std::uint16_t>(d.Day);
    r.Hour = static_cast<std::uint16_t>(t.Hour);
    r.Minute = static_cast<std::uint16_t>(t.Min);
    r.Second = static_cast<std::uint16_t>(t.Sec);
    r.Fractions = static_cast<std::uint32_t>(t.MSec);
    return r;
}

std::optional<TSQLTimeStamp> TryDateTimeToSQLTimeStamp(hostlib::TDateTime value)
{
    // Before the epoch the time of day counts away from zero, so the first
    // day reaches down to the day before it.
    if (!std::isfinite(value) || value <= hostlib::EncodeDate(1, 1, 1) - 1 ||
        value >= hostlib::EncodeDate(9999, 12, 31) + 1)
        return std::nullopt;
    const TSQLTimeStamp stamp = DateTimeToSQLTimeStamp(value);
    try {
        SQLTimeStampToDateTime(stamp);
    } catch (const hostlib::EConvertError&) {
        return std::nullopt;
    }
    return stamp;
}

int SQLTimeStampCompare(const TSQLTimeStamp& a, const TSQLTimeStamp& b)
{
    const std::int64_t fields[][2] = {
        {a.Year, b.Year}, {a.Month, b.Month}, {a.Day, b.Day}, {a.Hour, b.Hour},
        {a.Minute, b.Minute}, {a.Second, b.Second}, {a.Fractions, b.Fractions},
    };
    for (const auto& f : fields) {
        if (f[0] != f[1]) {
            const std::int64_t diff = f[0] - f[1];
            return diff < 0 ? (diff < INT32_MIN ? INT32_MIN : static_cast<int>(diff))
                            : (diff > INT32_MAX ? INT32_MAX : static_cast<int>(diff));
        }
    }
    return 0;
}
