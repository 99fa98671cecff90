#pragma once
// The fixed English locale of the editor tests: 'M/d/yyyy', 'h:mm:ss AMPM',
// "$" before the number with two decimals, weeks from Sunday.

#include "platform/hostlib/core/format_settings.h"

inline hostlib::TFormatSettings FixedEnglishLocale()
{
    auto settings = hostlib::EnglishFormatSettings();
    settings.ShortDateFormat = "M/d/yyyy";
    settings.LongDateFormat = "dddd, MMMM d, yyyy";
    settings.ShortTimeFormat = "h:mm AMPM";
    settings.LongTimeFormat = "h:mm:ss AMPM";
    settings.DateSeparator = '/';
    settings.TimeSeparator = ':';
    settings.TimeAMString = "AM";
    settings.TimePMString = "PM";
    settings.CurrencyString = "$";
    settings.CurrencyFormat = 0;
    settings.NegCurrFormat = 0;
    settings.CurrencyDecimals = 2;
    settings.FirstDayOfWeek = 6;
    return settings;
}
