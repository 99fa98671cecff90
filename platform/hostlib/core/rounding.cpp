#include "platform/hostlib/core/rounding.h"

#include <cmath>

#include "platform/hostlib/core/exceptions.h"
#include "platform/system/muldiv.h"

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
    return ::MulDiv(number, numerator, denominator);
}

}  // namespace hostlib
