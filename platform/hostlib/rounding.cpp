#include "platform/hostlib/rounding.h"

#include <cmath>
#include <limits>

#include "platform/hostlib/exceptions.h"

namespace hostlib {

double RoundHalfEven(double value)
{
    return std::nearbyint(value);  // the default rounding mode is to nearest, ties to even
}

double RoundHalfAway(double value)
{
    return std::round(value);
}

namespace {
std::int64_t ToInt64Checked(double v)
{
    // 2^63 is exactly representable; everything below it fits.
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) throw EIntOverflow(messages::SIntOverflow);
    return static_cast<std::int64_t>(v);
}
}  // namespace

std::int64_t Round(double value)
{
    return ToInt64Checked(RoundHalfEven(value));
}

std::int64_t Trunc(double value)
{
    return ToInt64Checked(std::trunc(value));
}

double Frac(double value)
{
    return value - std::trunc(value);
}

double Int(double value)
{
    return std::trunc(value);
}

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t d = denominator;
    if (d < 0) {
        d = -d;
        product = -product;
    }
    std::int64_t q = product >= 0 ? (product + d / 2) / d : -((-product + d / 2) / d);
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

}  // namespace hostlib
