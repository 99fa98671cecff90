#include "platform/hostlib/core/decimal.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace hostlib::detail {

namespace {
void StripTrailingZeros(Decimal& d)
{
    while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
    if (d.Digits.empty()) d.Exponent = 0;
}

// Keeps the first keep digits (keep may be 0 or negative).
void RoundAt(Decimal& d, int keep)
{
    if (keep >= static_cast<int>(d.Digits.size())) return;
    if (keep < 0) {
        d.Digits.clear();
        d.Exponent = 0;
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9') d.Digits[i--] = '0';
        if (i >= 0) {
            ++d.Digits[i];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            d.Digits.resize(keep > 0 ? keep : 1);
            ++d.Exponent;
        }
    }
    StripTrailingZeros(d);
}
}  // namespace

namespace {

// Shared by both widths: printf gives the digits, rounded to the type's
// decimal precision.
template <class Float>
Decimal ToDecimalOf(Float value, const char* form)
{
    Decimal d;
    d.Negative = std::signbit(value);
    if (std::isnan(value)) {
        d.Nan = true;
        d.Negative = false;
        return d;
    }
    if (std::isinf(value)) {
        d.Infinite = true;
        return d;
    }
    if (value == 0) {
        d.Negative = false;
        return d;
    }
    char buf[80];
    std::snprintf(buf, sizeof buf, form, std::fabs(value));
    // buf = "d.dddd...e[+-]xx"
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    const int exp10 = *p == 'e' ? std::atoi(p + 1) : 0;
    d.Digits = digits;
    d.Exponent = exp10 + 1;
    StripTrailingZeros(d);
    return d;
}

}  // namespace

Decimal ToDecimal(double value)
{
    return ToDecimalOf(value, "%.17e");
}

Decimal ToDecimal(long double value)
{
    return ToDecimalOf(value, "%.17Le");
}

Decimal ScaledToDecimal(long long value, int scale)
{
    Decimal d;
    d.Negative = value < 0;
    unsigned long long magnitude = d.Negative ? 0ULL - static_cast<unsigned long long>(value) : value;
    if (magnitude == 0) {
        d.Negative = false;
        return d;
    }
    d.Digits = std::to_string(magnitude);
    d.Exponent = static_cast<int>(d.Digits.size()) - scale;
    StripTrailingZeros(d);
    return d;
}

void RoundSignificant(Decimal& d, int count)
{
    RoundAt(d, count);
}

void RoundDecimals(Decimal& d, int decimals)
{
    RoundAt(d, d.Exponent + decimals);
}

}  // namespace hostlib::detail
