#pragma once
// The 10-byte x87 extended-precision format as stream formats hold it:
// 64-bit mantissa with an explicit integer bit (bytes 0-7, little-endian),
// 15-bit exponent with bias 16383 and the sign in bit 7 of byte 9.
// Portable bit arithmetic; never long double.

#include <array>
#include <cstdint>

namespace hostlib {

using ExtendedBytes = std::array<std::uint8_t, 10>;

// Exact: every double (subnormals, infinities, NaNs included) has an
// extended form.
ExtendedBytes EncodeExtended(double value);
// Rounds to the nearest double, ties to even; values beyond the double range
// become infinities, tiny ones subnormals or zero. Unnormal encodings
// (exponent set, integer bit clear) are read by their value.
double DecodeExtended(const std::uint8_t* bytes);
inline double DecodeExtended(const ExtendedBytes& bytes) { return DecodeExtended(bytes.data()); }

}  // namespace hostlib
