#include "platform/hostlib/core/currency.h"

#include <cmath>

#include "platform/hostlib/core/exceptions.h"

namespace hostlib {

bool Currency::TryFromDouble(double value, Currency& out)
{
    double scaled = std::nearbyint(value * Scale);
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) return false;
    out = FromScaled(static_cast<std::int64_t>(scaled));
    return true;
}

Currency Currency::FromDouble(double value)
{
    Currency c;
    if (!TryFromDouble(value, c)) throw EOverflow("Floating point overflow");
    return c;
}

Currency operator+(Currency a, Currency b)
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(a.scaled_, b.scaled_, &r)) throw EOverflow("Floating point overflow");
    return Currency::FromScaled(r);
}

Currency operator-(Currency a, Currency b)
{
    std::int64_t r = 0;
    if (__builtin_sub_overflow(a.scaled_, b.scaled_, &r)) throw EOverflow("Floating point overflow");
    return Currency::FromScaled(r);
}

Currency Currency::operator-() const
{
    return Currency::FromScaled(0) - *this;
}

}  // namespace hostlib
