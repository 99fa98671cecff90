#include "platform/hostlib/core/datetime.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/hostlib/core/exceptions.h"

namespace hostlib {

namespace {
constexpr int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// The day number (day 1 = 0001-01-01) and the milliseconds of the day of a
// value of the calendar; false, before anything is converted, for a value
// outside it. The time part of a negative value counts forward from its day.
bool ToTimeStamp(TDateTime value, std::int64_t& dayNumber, std::int64_t& msOfDay)
{
    if (!InDateTimeRange(value)) {
        dayNumber = msOfDay = 0;
        return false;
    }
    const double days = std::trunc(value);
    const double frac = std::fabs(value - days);
    std::int64_t ms = std::llround(frac * MSecsPerDay);
    dayNumber = static_cast<std::int64_t>(days) + DateDelta;
    if (ms >= static_cast<std::int64_t>(MSecsPerDay)) {
        // Rounding reached the next midnight.
        ms -= static_cast<std::int64_t>(MSecsPerDay);
        dayNumber += value < 0 ? -1 : 1;
    }
    msOfDay = ms;
    return true;
}
}  // namespace

bool InDateTimeRange(TDateTime value)
{
    return value > MinDateTime - 1 && value < MaxDateTime + 1;
}

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    if (month < 1 || month > 12) return 0;
    return kMonthDays[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    const int leap = IsLeapYear(year) ? 1 : 0;
    for (int m = 0; m < month - 1; ++m) day += kMonthDays[leap][m];
    const int y = year - 1;
    out = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + day - DateDelta);
    return true;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& out)
{
    if (hour < 0 || hour >= 24 || min < 0 || min >= 60 || sec < 0 || sec >= 60 || msec < 0 || msec >= 1000)
        return false;
    out = (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime r = 0;
    if (!TryEncodeDate(year, month, day, r)) throw EConvertError(messages::SDateEncodeError);
    return r;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec)
{
    TDateTime r = 0;
    if (!TryEncodeTime(hour, min, sec, msec, r)) throw EConvertError(messages::STimeEncodeError);
    return r;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec)
{
    const TDateTime d = EncodeDate(year, month, day);
    const TDateTime t = EncodeTime(hour, min, sec, msec);
    return d >= 0 ? d + t : d - t;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    if (!ToTimeStamp(value, dayNumber, ms) || dayNumber <= 0) {
        year = month = day = 0;
        return;
    }
    // Civil-from-days over the proleptic Gregorian calendar, day 1 = 0001-01-01.
    std::int64_t t = dayNumber - 1;
    std::int64_t y = 1;
    y += 400 * (t / 146097);
    t %= 146097;
    std::int64_t c = t / 36524;
    if (c == 4) c = 3;
    y += 100 * c;
    t -= c * 36524;
    y += 4 * (t / 1461);
    t %= 1461;
    std::int64_t a = t / 365;
    if (a == 4) a = 3;
    y += a;
    t -= a * 365;
    const int leap = IsLeapYear(static_cast<int>(y)) ? 1 : 0;
    int m = 0;
    while (t >= kMonthDays[leap][m]) t -= kMonthDays[leap][m++];
    year = static_cast<int>(y);
    month = m + 1;
    day = static_cast<int>(t) + 1;
}

void DecodeTime(TDateTime value, int& hour, int& min, int& sec, int& msec)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    ToTimeStamp(value, dayNumber, ms);
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

DateParts DecodeDate(TDateTime value)
{
    DateParts p;
    DecodeDate(value, p.Year, p.Month, p.Day);
    return p;
}

TimeParts DecodeTime(TDateTime value)
{
    TimeParts p;
    DecodeTime(value, p.Hour, p.Min, p.Sec, p.MSec);
    return p;
}

int DayOfWeek(TDateTime value)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    if (!ToTimeStamp(value, dayNumber, ms)) return 1;
    // Day 1 (0001-01-01) was a Monday.
    return static_cast<int>(((dayNumber % 7) + 7) % 7) + 1;
}

TDateTime Now()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const int ms = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec < 60 ? local.tm_sec : 59, ms);
}

TDateTime Date()
{
    return std::trunc(Now());
}

TDateTime Time()
{
    const TDateTime n = Now();
    return n - std::trunc(n);
}

TDateTime DateOf(TDateTime value)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    if (!ToTimeStamp(value, dayNumber, ms)) return std::trunc(value);
    return static_cast<double>(dayNumber - DateDelta);
}

TDateTime TimeOf(TDateTime value)
{
    std::int64_t dayNumber = 0;
    std::int64_t ms = 0;
    ToTimeStamp(value, dayNumber, ms);
    return static_cast<double>(ms) / MSecsPerDay;
}

}  // namespace hostlib
