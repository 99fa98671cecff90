#pragma once
// Fixed-point money: a signed 64-bit count of ten-thousandths.

#include <compare>
#include <cstdint>

namespace hostlib {

class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    // Whole units (Currency(3) is 3.0000).
    constexpr explicit Currency(int units) : scaled_(static_cast<std::int64_t>(units) * Scale) {}
    static constexpr Currency FromScaled(std::int64_t scaled)
    {
        Currency c;
        c.scaled_ = scaled;
        return c;
    }
    // Rounds to the nearest ten-thousandth, ties to even; raises EOverflow
    // outside the range (and for NaN).
    static Currency FromDouble(double value);
    static bool TryFromDouble(double value, Currency& out);

    constexpr std::int64_t Scaled() const { return scaled_; }
    double ToDouble() const { return static_cast<double>(scaled_) / Scale; }

    friend constexpr bool operator==(Currency a, Currency b) = default;
    friend constexpr auto operator<=>(Currency a, Currency b) = default;
    // Arithmetic raises EOverflow when the result leaves the 64-bit range.
    friend Currency operator+(Currency a, Currency b);
    friend Currency operator-(Currency a, Currency b);
    Currency operator-() const;

private:
    std::int64_t scaled_ = 0;
};

inline constexpr double MinCurrencyValue = -922337203685477.5807;
inline constexpr double MaxCurrencyValue = 922337203685477.5807;

}  // namespace hostlib
