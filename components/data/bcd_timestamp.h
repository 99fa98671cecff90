#pragma once
// Fixed-layout decimal and time-stamp records held by the FMTBcd and
// SQLTimeStamp value types, with the conversions those types need.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/hostlib/core/datetime.h"

// A packed decimal of up to 64 digits: Precision digits, two per byte with
// the high nibble first; bit 7 of SignSpecialPlaces is the sign, bits 0-5
// the number of digits after the decimal point.
struct TBcd {
    std::uint8_t Precision = 0;
    std::uint8_t SignSpecialPlaces = 0;
    std::array<std::uint8_t, 32> Fraction{};
};
static_assert(sizeof(TBcd) == 34);

struct TSQLTimeStamp {
    std::int16_t Year = 0;
    std::uint16_t Month = 0;
    std::uint16_t Day = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
    std::uint32_t Fractions = 0; // milliseconds
};
static_assert(sizeof(TSQLTimeStamp) == 16);

inline constexpr int cxMaxBcdDigits = 64;

// Text with an optional sign, digits, at most one decimal separator and an
// optional exponent ("1.5", "-0,25", "1E20"). More than 64 significant
// digits lose the last fraction digits (truncated); an integer part of more
// than 64 digits, or anything else, gives nothing.
std::optional<TBcd> TryStrToBcd(std::string_view text, char decimalSeparator);
// Exact for every integer.
TBcd Int64ToBcd(std::int64_t value);
// Through the shortest text of 15 significant digits; nothing for NaN or
// infinity.
std::optional<TBcd> TryDoubleToBcd(double value);
double BcdToDouble(const TBcd& value);
// General format: no exponent, no trailing fraction zeros, "0" for zero.
std::string BcdToStr(const TBcd& value, char decimalSeparator);
// Negative, 0 or positive by numeric value.
int BcdCompare(const TBcd& a, const TBcd& b);

// Raises the host library's conversion error for fields that name no date
// or time (Fractions are milliseconds and must stay below 1000).
hostlib::TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value);
TSQLTimeStamp DateTimeToSQLTimeStamp(hostlib::TDateTime value);
// Nothing for a date-time the stamp could not give back: not finite, or
// outside the years 1 .. 9999.
std::optional<TSQLTimeStamp> TryDateTimeToSQLTimeStamp(hostlib::TDateTime value);
// Year, Month, Day, Hour, Minute, Second, Fractions: the difference of the
// first fields that differ.
int SQLTimeStampCompare(const TSQLTimeStamp& a, const TSQLTimeStamp& b);
