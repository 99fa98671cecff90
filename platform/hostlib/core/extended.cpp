#include "platform/hostlib/core/extended.h"

#include <bit>
#include <cmath>
#include <limits>

namespace hostlib {

ExtendedBytes EncodeExtended(double value)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int exp = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t frac = bits & ((std::uint64_t{1} << 52) - 1);
    std::uint64_t mantissa = 0;
    int extExp = 0;
    if (exp == 0x7FF) {
        extExp = 0x7FFF;
        mantissa = (std::uint64_t{1} << 63) | (frac << 11);
    } else if (exp == 0) {
        if (frac != 0) {
            // Subnormal double: normalise; the extended range holds it.
            int shift = std::countl_zero(frac);
            mantissa = frac << shift;
            // value = frac * 2^-1074 = mantissa * 2^(-1074 - shift)
            // extended: mantissa * 2^(e - 16383 - 63)
            extExp = -1074 - shift + 16383 + 63;
        }
    } else {
        mantissa = (std::uint64_t{1} << 63) | (frac << 11);
        extExp = exp - 1023 + 16383;
    }
    ExtendedBytes out{};
    for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    const unsigned top = static_cast<unsigned>(extExp) | (negative ? 0x8000u : 0u);
    out[8] = static_cast<std::uint8_t>(top & 0xFF);
    out[9] = static_cast<std::uint8_t>(top >> 8);
    return out;
}

double DecodeExtended(const std::uint8_t* bytes)
{
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i) mantissa |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    const unsigned top = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
    const bool negative = (top & 0x8000) != 0;
    const int extExp = static_cast<int>(top & 0x7FFF);
    const double sign = negative ? -1.0 : 1.0;
    if (extExp == 0x7FFF) {
        if ((mantissa & ~(std::uint64_t{1} << 63)) == 0) return sign * std::numeric_limits<double>::infinity();
        return std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
    }
    if (mantissa == 0) return negative ? -0.0 : 0.0;
    // value = mantissa * 2^e2, with denormals using the minimum exponent.
    int e2 = (extExp == 0 ? 1 : extExp) - 16383 - 63;
    const int lead = std::countl_zero(mantissa);
    mantissa <<= lead;
    e2 -= lead;
    // Now the top bit is set: value = 1.f * 2^(e2 + 63).
    const int unbiased = e2 + 63;
    int keep = 53;  // bits of the result's significand
    if (unbiased < -1022) keep = 53 - (-1022 - unbiased);
    if (keep <= 0) {
        // Below half the smallest subnormal rounds to zero; exactly half ties
        // to even (zero); above half rounds to the smallest subnormal.
        if (keep == 0 && (mantissa << 1) != 0) return sign * std::numeric_limits<double>::denorm_min();
        return negative ? -0.0 : 0.0;
    }
    const int drop = 64 - keep;
    std::uint64_t kept = mantissa >> drop;
    const std::uint64_t rest = mantissa & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (kept & 1))) ++kept;  // may carry into a new bit; ldexp copes
    // kept * 2^(e2 + drop) is exact in double arithmetic (or overflows to inf).
    return sign * std::ldexp(static_cast<double>(kept), e2 + drop);
}

}  // namespace hostlib
