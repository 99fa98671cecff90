#pragma once
// Dates and times as days since 1899-12-30; the fraction is the time of day.

#include <cstdint>

namespace hostlib {

using TDateTime = double;

inline constexpr double HoursPerDay = 24;
inline constexpr double MinsPerDay = 24 * 60;
inline constexpr double SecsPerDay = 24 * 60 * 60;
inline constexpr double MSecsPerDay = 24.0 * 60 * 60 * 1000;
// Days from 0001-01-01 to 1899-12-30.
inline constexpr int DateDelta = 693594;
// The days of the calendar: 0001-01-01 and 9999-12-31.
inline constexpr double MinDateTime = -693593;
inline constexpr double MaxDateTime = 2958465;

// A finite value whose day lies in the calendar. Outside it the decoders
// give zero parts, DayOfWeek 1, and the date formatting raises EConvertError.
bool InDateTimeRange(TDateTime value);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Raise EConvertError "Invalid argument to date encode" / "... time encode".
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);

struct DateParts {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};
struct TimeParts {
    int Hour = 0;
    int Min = 0;
    int Sec = 0;
    int MSec = 0;
};
// Negative values count back from 1899-12-30 with a positive time fraction
// (-1.25 is 1899-12-29 06:00).
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec);
DateParts DecodeDate(TDateTime value);
TimeParts DecodeTime(TDateTime value);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime value);

TDateTime Now();
TDateTime Date();
TDateTime Time();

// The whole-day part and the time part, rounded to the millisecond.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);

}  // namespace hostlib
