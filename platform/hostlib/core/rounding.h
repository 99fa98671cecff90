#pragma once
// The named roundings of the run-time library.

#include <cstdint>

namespace hostlib {

// Round half to even (the run-time library's Round and the FPU default).
double RoundHalfEven(double value);
// Round half away from zero.
double RoundHalfAway(double value);
// Round returning an integer; raises EIntOverflow outside the 64-bit range.
std::int64_t Round(double value);
// Truncation toward zero; raises EIntOverflow outside the 64-bit range.
std::int64_t Trunc(double value);
double Frac(double value);
double Int(double value);
// (number * numerator) / denominator in 64 bits, rounded half away from
// zero; -1 when denominator is 0 or the result leaves the 32-bit range.
int MulDiv(int number, int numerator, int denominator);

}  // namespace hostlib
