#pragma once
// Decimal digits of a double, the common ground of every number formatter.

#include <string>

namespace hostlib::detail {

// value = (negative ? -1 : 1) * 0.d1d2d3... * 10^Exponent. Digits holds no
// leading or trailing zeros; an empty Digits is zero.
struct Decimal {
    bool Negative = false;
    bool Nan = false;
    bool Infinite = false;
    int Exponent = 0;
    std::string Digits;

    bool IsZero() const { return Digits.empty(); }
};

// The value correctly rounded to 18 significant digits (the precision the
// streamed extended type carries); later roundings go half away from zero.
Decimal ToDecimal(double value);
// An 80-bit value, correctly rounded to the 18 significant digits it carries.
Decimal ToDecimal(long double value);
// Exact decimal of a scaled 64-bit integer (value / 10^scale).
Decimal ScaledToDecimal(long long value, int scale);
// Keeps at most count significant digits, rounding half away from zero.
void RoundSignificant(Decimal& d, int count);
// Keeps at most decimals digits after the point, rounding half away from zero.
void RoundDecimals(Decimal& d, int decimals);

}  // namespace hostlib::detail
