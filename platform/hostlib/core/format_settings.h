#pragma once
// Locale settings used by every formatting and parsing function. The
// process-wide record starts as a fixed English one; InitFormatSettings()
// (run by the host library's start-up) fills it from the user's locale, and
// tests replace it with ScopedFormatSettings.

#include <array>
#include <string>

namespace hostlib {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    std::string CurrencyString = "$";
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    unsigned char CurrencyFormat = 0;
    // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
    // 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)".
    unsigned char NegCurrFormat = 0;
    unsigned char CurrencyDecimals = 2;
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortTimeFormat = "h:mm AMPM";
    std::string LongTimeFormat = "h:mm:ss AMPM";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
    // Index 0 is Sunday.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    // Two-digit years fall into the 100 years that end this many years from now.
    int TwoDigitYearCenturyWindow = 50;
    // First day of the week, 0 = Monday .. 6 = Sunday (the locale's own count).
    int FirstDayOfWeek = 6;
};

// The fixed English settings (United States conventions).
TFormatSettings EnglishFormatSettings();
// Settings read from the user's locale (LC_ALL / LC_NUMERIC / LC_MONETARY /
// LC_TIME); the English ones for what the locale does not give.
TFormatSettings LocaleFormatSettings();

// The process-wide settings. Mutable like the run-time library's globals.
TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);
// Fills the process-wide settings from the user's locale.
void InitFormatSettings();

// Replaces the process-wide settings for a scope (tests, locale switches).
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(const TFormatSettings& settings) : saved_(FormatSettings()) { SetFormatSettings(settings); }
    ~ScopedFormatSettings() { SetFormatSettings(saved_); }
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    TFormatSettings saved_;
};

}  // namespace hostlib
