// Formatting and parsing of numbers, money and dates under two locales: the
// fixed English one and a comma-decimal one.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/rounding.h"

using namespace hostlib;

namespace {

TFormatSettings CommaSettings()
{
    TFormatSettings s;
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    s.DateSeparator = '.';
    s.TimeSeparator = ':';
    s.CurrencyString = "EUR";
    s.CurrencyFormat = 3;
    s.NegCurrFormat = 8;
    s.CurrencyDecimals = 2;
    s.ShortDateFormat = "dd.MM.yyyy";
    s.LongDateFormat = "dddd, d. MMMM yyyy";
    s.ShortTimeFormat = "hh:nn";
    s.LongTimeFormat = "hh:nn:ss";
    s.TimeAMString = "";
    s.TimePMString = "";
    s.LongMonthNames = {"Januar", "Februar", "März", "April", "Mai", "Juni",
                        "Juli", "August", "September", "Oktober", "November", "Dezember"};
    s.LongDayNames = {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
    return s;
}

const TFormatSettings kEnglish = EnglishFormatSettings();
const TFormatSettings kComma = CommaSettings();

struct TwoLocales {
    std::string english;
    std::string comma;
};

TEST(Format, SpecifiersWidthPrecisionAndIndex)
{
    struct Case {
        std::string text;
        std::string format;
        std::vector<FormatArg> args;
    };
    const std::vector<Case> cases = {
        {"42", "%d", {42}},
        {"-0042", "%.4d", {-42}},
        {"  42|42  |", "%4d|%-4d|", {42, 42}},
        {"4294967295", "%u", {-1}},
        {"18446744073709551615", "%u", {-1LL}},
        {"FF", "%x", {255}},
        {"000000FF", "%.8x", {255}},
        {"FFFFFFFF", "%x", {-1}},
        {"abc|ab|  abc", "%s|%.2s|%5s", {"abc", "abc", "abc"}},
        {"b a b", "%1:s %0:s %s", {"a", "b"}},
        {"3.14", "%.2f", {3.14159}},
        {"1.00", "%f", {1.0}},
        {"-0.50", "%f", {-0.5}},
        {"1.23456789012346E+008", "%e", {123456789.0123456}},
        {"1.2E+003", "%.2e", {1234.0}},
        {"0.1", "%g", {0.1}},
        {"1234567.891", "%g", {1234567.891}},
        {"1,234,567.89", "%n", {1234567.891}},
        {"$1,234.50", "%m", {1234.5}},
        {"($3.00)", "%m", {-3.0}},
        {"1.5000", "%.4f", {Currency::FromScaled(15000)}},
        {"100%", "%d%%", {100}},
        {"   x", "%*s", {4, "x"}},
        {"", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatV(kEnglish, c.format, c.args), c.text);
    }
    EXPECT_EQ(Format(kComma, "%.2f|%n|%m|%m", 3.14159, 1234567.891, 1234.5, -3.0), "3,14|1.234.567,89|1.234,50 EUR|-3,00 EUR");
}

TEST(Format, ErrorsAreConvertErrors)
{
    struct Case {
        std::string format;
        std::vector<FormatArg> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"%d", {"x"}, "Format '%d' invalid or incompatible with argument"},
        {"%s", {1}, "Format '%s' invalid or incompatible with argument"},
        {"%f", {1}, "Format '%f' invalid or incompatible with argument"},
        {"%d %d", {1}, "No argument for format '%d %d'"},
        {"%", {}, "Format '%' invalid or incompatible with argument"},
        {"%q", {1}, "Format '%q' invalid or incompatible with argument"},
        {"%5", {1}, "Format '%5' invalid or incompatible with argument"},
        {"%3:d", {1}, "No argument for format '%3:d'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        try {
            FormatV(kEnglish, c.format, c.args);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(Integers, ParseAndPrint)
{
    struct Case {
        std::string text;
        bool ok;
        int value;
    };
    const std::vector<Case> cases = {
        {"0", true, 0},         {"-17", true, -17},      {"+5", true, 5},         {"  12", true, 12},
        {"12 ", false, 0},      {"", false, 0},          {"-", false, 0},         {"1.5", false, 0},
        {"$FF", true, 255},     {"0x10", true, 16},      {"$FFFFFFFF", true, -1}, {"2147483647", true, 2147483647},
        {"2147483648", false, 0}, {"-2147483648", true, -2147483647 - 1}, {"99999999999999999999", false, 0},
        {"12a", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int v = -99;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
        EXPECT_EQ(StrToIntDef(c.text, -99), c.ok ? c.value : -99);
    }
    try {
        StrToInt("x1");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(IntToStr(-12), "-12");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
}

TEST(Floats, FloatToStrAndFloatToStrF)
{
    struct Case {
        double value;
        TFloatFormat format;
        int precision;
        int digits;
        TwoLocales text;
    };
    const std::vector<Case> cases = {
        {1.5, ffGeneral, 15, 0, {"1.5", "1,5"}},
        {-0.25, ffGeneral, 15, 0, {"-0.25", "-0,25"}},
        {1e20, ffGeneral, 15, 0, {"1E20", "1E20"}},
        {1.5e-7, ffGeneral, 15, 0, {"1.5E-7", "1,5E-7"}},
        {123.456, ffGeneral, 4, 0, {"123.5", "123,5"}},
        {0, ffGeneral, 15, 0, {"0", "0"}},
        {1234.5678, ffFixed, 15, 2, {"1234.57", "1234,57"}},
        {-0.004, ffFixed, 15, 2, {"0.00", "0,00"}},
        {0.125, ffFixed, 15, 2, {"0.13", "0,13"}},  // half away from zero
        {2.675, ffFixed, 15, 2, {"2.67", "2,67"}},  // the double is below the half
        {1e20, ffFixed, 15, 2, {"1E20", "1E20"}},
        {1234567.891, ffNumber, 15, 2, {"1,234,567.89", "1.234.567,89"}},
        {-999.999, ffNumber, 15, 2, {"-1,000.00", "-1.000,00"}},
        {1234.5, ffCurrency, 15, 2, {"$1,234.50", "1.234,50 EUR"}},
        {-1234.5, ffCurrency, 15, 2, {"($1,234.50)", "-1.234,50 EUR"}},
        {1234.5, ffExponent, 4, 2, {"1.235E+03", "1,235E+03"}},
        {-0.00012, ffExponent, 3, 0, {"-1.20E-4", "-1,20E-4"}},
        {std::nan(""), ffGeneral, 15, 0, {"NAN", "NAN"}},
        {-INFINITY, ffFixed, 15, 2, {"-INF", "-INF"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.english);
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, kEnglish), c.text.english);
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, kComma), c.text.comma);
    }
    EXPECT_EQ(FloatToStr(0.1 + 0.2, kEnglish), "0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3, kComma), "0,333333333333333");
}

TEST(Floats, ExtendedValuesKeepEighteenDigitsAndTheirRange)
{
    struct Case {
        long double value;
        int precision;
        std::string text;
    };
    const std::vector<Case> cases = {
        {1.0L / 3, 15, "0.333333333333333"},
        {1.0L / 3, 18, "0.333333333333333333"},
        {123456789012345678.0L, 18, "123456789012345678"},
        {123456789012345678.0L, 15, "1.23456789012346E17"},
        {-2.5L, 15, "-2,5"},
        {1e4000L, 15, "1E4000"},
        {0.0L, 15, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto& fs = c.text.find(',') != std::string::npos ? kComma : kEnglish;
        EXPECT_EQ(FloatToStrF(c.value, ffGeneral, c.precision, 0, fs), c.text);
    }
    long double v = 0;
    ASSERT_TRUE(TryStrToFloat("1e4000", v, kEnglish));
    EXPECT_EQ(FloatToStrF(v, ffGeneral, 15, 0, kEnglish), "1E4000");
    ASSERT_TRUE(TryStrToFloat(" 0,1 ", v, kComma));
    EXPECT_EQ(v, 0.1L);  // parsed as 80 bits, not through a double
    EXPECT_NE(v, static_cast<long double>(0.1));
    v = 7;
    for (const char* bad : {"1e5000", "-1e5000", "", "1,5", "abc", "1e"}) {
        EXPECT_FALSE(TryStrToFloat(bad, v, kEnglish)) << bad;
        EXPECT_EQ(v, 7) << "a refused text leaves the value";
    }
}

TEST(Floats, FormatFloatPictures)
{
    struct Case {
        std::string format;
        double value;
        TwoLocales text;
    };
    const std::vector<Case> cases = {
        {"0.00", 3.14159, {"3.14", "3,14"}},
        {"#,##0.00", 1234567.8, {"1,234,567.80", "1.234.567,80"}},
        {"#.##", 0.5, {".5", ",5"}},
        {"#.##", 1, {"1", "1"}},  // no separator without a digit after it
        {"0.", 3.7, {"4", "4"}},
        {"0.#", 2.0, {"2", "2"}},
        {"0.#", 2.25, {"2.3", "2,3"}},
        {"000", 7, {"007", "007"}},
        {"#", 0, {"", ""}},
        {"0", -0.4, {"0", "0"}},
        {"0;(0)", -5, {"(5)", "(5)"}},
        {"0.0;-0.0;'zero'", 0, {"zero", "zero"}},
        {"0.0;-0.0;'zero'", 0.01, {"zero", "zero"}},
        {"'Total: '0", 12, {"Total: 12", "Total: 12"}},
        {"0.00E+00", 12345, {"1.23E+04", "1,23E+04"}},
        {"0.0E-0", 0.00012, {"1.2E-4", "1,2E-4"}},
        {"#,##0", -1234, {"-1,234", "-1.234"}},
        {"", 1.5, {"1.5", "1,5"}},
        {"0.00 %", 12.5, {"12.50 %", "12,50 %"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatFloat(c.format, c.value, kEnglish), c.text.english);
        EXPECT_EQ(FormatFloat(c.format, c.value, kComma), c.text.comma);
    }
}

TEST(Floats, ParsingUsesTheDecimalSeparator)
{
    struct Case {
        std::string text;
        bool okEnglish;
        bool okComma;
        double value;
    };
    const std::vector<Case> cases = {
        {"1.5", true, false, 1.5},   {"1,5", false, true, 1.5},  {" -2.5E3 ", true, false, -2500},
        {"1e-2", true, true, 0.01},  {"", false, false, 0},      {"abc", false, false, 0},
        {"1.2.3", false, false, 0},  {"1e400", false, false, 0}, {"inf", false, false, 0},
        {".5", true, false, 0.5},    {"5.", true, false, 5},     {"1e", false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double v = 0;
        EXPECT_EQ(TryStrToFloat(c.text, v, kEnglish), c.okEnglish);
        if (c.okEnglish) {
            EXPECT_EQ(v, c.value);
        }
        EXPECT_EQ(TryStrToFloat(c.text, v, kComma), c.okComma);
        if (c.okComma) {
            EXPECT_EQ(v, c.value);
        }
    }
    EXPECT_THROW(StrToFloat("x", kEnglish), EConvertError);
}

TEST(Money, CurrencyTextAndFormats)
{
    struct Case {
        Currency value;
        TwoLocales plain;
        TwoLocales money;
    };
    const std::vector<Case> cases = {
        {Currency::FromScaled(15000), {"1.5", "1,5"}, {"$1.50", "1,50 EUR"}},
        {Currency::FromScaled(12345), {"1.2345", "1,2345"}, {"$1.23", "1,23 EUR"}},
        {Currency::FromScaled(-10000), {"-1", "-1"}, {"($1.00)", "-1,00 EUR"}},
        {Currency::FromScaled(0), {"0", "0"}, {"$0.00", "0,00 EUR"}},
        {Currency::FromScaled(INT64_MAX), {"922337203685477.5807", "922337203685477,5807"},
         {"$922,337,203,685,477.58", "922.337.203.685.477,58 EUR"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plain.english);
        EXPECT_EQ(CurrToStr(c.value, kEnglish), c.plain.english);
        EXPECT_EQ(CurrToStr(c.value, kComma), c.plain.comma);
        EXPECT_EQ(CurrToStrF(c.value, ffCurrency, 2, kEnglish), c.money.english);
        EXPECT_EQ(CurrToStrF(c.value, ffCurrency, 2, kComma), c.money.comma);
    }
    EXPECT_EQ(FormatCurr("#,##0.00", Currency::FromScaled(12345678), kComma), "1.234,57");
    EXPECT_EQ(StrToCurr("1,25", kComma).Scaled(), 12500);
    Currency c;
    EXPECT_FALSE(TryStrToCurr("1e300", c, kEnglish));
}

TEST(Dates, EncodeDecodeAndWeekdays)
{
    struct Case {
        int y, m, d;
        double serial;
        int dayOfWeek;
    };
    const std::vector<Case> cases = {
        {1899, 12, 30, 0, 7}, {1900, 1, 1, 2, 2},     {2000, 2, 29, 36585, 3}, {1899, 12, 29, -1, 6},
        {1, 1, 1, -693593, 2}, {9999, 12, 31, 2958465, 6}, {2024, 3, 10, 45361, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.serial);
        EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.serial);
        const DateParts p = DecodeDate(c.serial);
        EXPECT_EQ(p.Year, c.y);
        EXPECT_EQ(p.Month, c.m);
        EXPECT_EQ(p.Day, c.d);
        EXPECT_EQ(DayOfWeek(c.serial < 0 ? c.serial - 0.75 : c.serial + 0.75), c.dayOfWeek);
    }
    // Negative values: whole days back, time of day forward.
    const DateParts p = DecodeDate(-1.25);
    const TimeParts t = DecodeTime(-1.25);
    EXPECT_EQ(p.Day, 29);
    EXPECT_EQ(t.Hour, 6);
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);

    struct Bad {
        int y, m, d;
    };
    for (const auto& b : std::vector<Bad>{{2023, 2, 29}, {2024, 13, 1}, {2024, 0, 1}, {0, 1, 1}, {10000, 1, 1}, {2024, 4, 31}}) {
        try {
            EncodeDate(b.y, b.m, b.d);
            ADD_FAILURE();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Invalid argument to date encode");
        }
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    const TimeParts tp = DecodeTime(EncodeTime(23, 59, 59, 999));
    EXPECT_EQ(tp.Hour * 10000000 + tp.Min * 100000 + tp.Sec * 1000 + tp.MSec, 235959999);
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    const double now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_EQ(Date(), std::trunc(Date()));
}

TEST(Dates, FormatDateTime)
{
    const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);
    struct Case {
        std::string format;
        TwoLocales text;
    };
    const std::vector<Case> cases = {
        {"", {"3/5/2024 2:07:09 PM", "05.03.2024 14:07:09"}},
        {"ddddd", {"3/5/2024", "05.03.2024"}},
        {"dddddd", {"Tuesday, March 5, 2024", "Dienstag, 5. März 2024"}},
        {"d/m/yy", {"5/3/24", "5.3.24"}},
        {"dd mmm yyyy", {"05 Mar 2024", "05 Mar 2024"}},
        {"h:nn:ss.zzz", {"14:07:09.045", "14:07:09.045"}},
        {"hh:mm", {"14:07", "14:07"}},  // m after an hour means minutes
        {"h:nn am/pm", {"2:07 pm", "2:07 pm"}},
        {"h:nn A/P", {"2:07 P", "2:07 P"}},
        {"t", {"2:07 PM", "14:07"}},
        {"tt", {"2:07:09 PM", "14:07:09"}},
        {"'dd' \"mm\" dd", {"dd mm 05", "dd mm 05"}},
        {"yyyy-mm-dd", {"2024-03-05", "2024-03-05"}},
        {"z", {"45", "45"}},
        {"c", {"3/5/2024 2:07:09 PM", "05.03.2024 14:07:09"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatDateTime(c.format, dt, kEnglish), c.text.english);
        EXPECT_EQ(FormatDateTime(c.format, dt, kComma), c.text.comma);
    }
    EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), kEnglish), "3/5/2024");
    EXPECT_EQ(FormatDateTime("h AMPM", EncodeTime(0, 30, 0, 0), kEnglish), "12 AM");
    EXPECT_EQ(DateToStr(EncodeDate(2024, 3, 5), kComma), "05.03.2024");
    EXPECT_EQ(TimeToStr(EncodeTime(9, 5, 0, 0), kEnglish), "9:05:00 AM");
}

TEST(Dates, ValuesOutsideTheCalendarAreConversionErrors)
{
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -693593.5, kEnglish), "0001-01-01 12:00");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", 2958465.5, kEnglish), "9999-12-31");
    const double outside[] = {std::nan(""), INFINITY, -INFINITY, 1e300, -1e300, 2958466, -693594};
    for (double value : outside) {
        SCOPED_TRACE(value);
        try {
            DateTimeToStr(value, kEnglish);
            ADD_FAILURE();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + FloatToStr(value, kEnglish) + "' is not a valid date and time");
        }
        const DateParts date = DecodeDate(value);
        const TimeParts time = DecodeTime(value);
        EXPECT_EQ(date.Year + date.Month + date.Day + time.Hour + time.Min + time.Sec + time.MSec, 0);
        EXPECT_EQ(DayOfWeek(value), 1);
    }
}

TEST(Dates, ParsingFollowsTheShortDateOrder)
{
    struct Case {
        std::string text;
        bool okEnglish;
        double english;
        bool okComma;
        double comma;
    };
    const double mar5 = EncodeDate(2024, 3, 5);
    const double may3 = EncodeDate(2024, 5, 3);
    const std::vector<Case> cases = {
        {"3/5/2024", true, mar5, false, 0},
        {"05.03.2024", false, 0, true, mar5},
        {"3.5.2024", false, 0, true, may3},
        {"2/30/2024", false, 0, false, 0},
        {"13/1/2024", false, 0, false, 0},
        {"", false, 0, false, 0},
        {"3/5", true, EncodeDate(DecodeDate(Date()).Year, 3, 5), false, 0},
        {"3/5/2024 x", false, 0, false, 0},
        {"a/b/c", false, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime v = -1;
        EXPECT_EQ(TryStrToDate(c.text, v, kEnglish), c.okEnglish);
        if (c.okEnglish) {
            EXPECT_EQ(v, c.english);
        }
        EXPECT_EQ(TryStrToDate(c.text, v, kComma), c.okComma);
        if (c.okComma) {
            EXPECT_EQ(v, c.comma);
        }
    }
    // Two-digit years fall into the century window around this year.
    const int thisYear = DecodeDate(Date()).Year;
    EXPECT_EQ(DecodeDate(StrToDate("1/1/" + std::to_string((thisYear + 10) % 100), kEnglish)).Year, thisYear + 10);
    EXPECT_EQ(DecodeDate(StrToDate("1/1/" + std::to_string((thisYear + 60) % 100), kEnglish)).Year, thisYear + 60 - 100);
    EXPECT_EQ(DecodeDate(StrToDate("1/1/" + std::to_string((thisYear + 50) % 100), kEnglish)).Year, thisYear - 50);
    try {
        StrToDate("x", kEnglish);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x' is not a valid date");
    }
}

TEST(Dates, ParsingTimesAndDateTimes)
{
    struct Case {
        std::string text;
        bool ok;
        double value;
    };
    const std::vector<Case> cases = {
        {"14:30", true, EncodeTime(14, 30, 0, 0)},
        {"2:30 PM", true, EncodeTime(14, 30, 0, 0)},
        {"12:00 AM", true, 0},
        {"12:15 pm", true, EncodeTime(12, 15, 0, 0)},
        {"1:02:03.5", true, EncodeTime(1, 2, 3, 500)},
        {"3 PM", true, EncodeTime(15, 0, 0, 0)},
        {"13:00 PM", false, 0},
        {"24:00", false, 0},
        {"3", false, 0},
        {"10:61", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime v = -1;
        EXPECT_EQ(TryStrToTime(c.text, v, kEnglish), c.ok);
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
    EXPECT_EQ(StrToDateTime("3/5/2024 2:07 PM", kEnglish), EncodeDateTime(2024, 3, 5, 14, 7, 0, 0));
    EXPECT_EQ(StrToDateTime("05.03.2024 14:07:09", kComma), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
    EXPECT_EQ(StrToDateTime("14:07", kComma), EncodeTime(14, 7, 0, 0));
    EXPECT_THROW(StrToDateTime("05.03.2024 x", kComma), EConvertError);
    EXPECT_THROW(StrToTime("x", kComma), EConvertError);
}

TEST(Strings, CaseAndComparison)
{
    EXPECT_EQ(AnsiUpperCase("straße äöü éa"), "STRAßE ÄÖÜ ÉA");
    EXPECT_EQ(AnsiLowerCase("ÄÖÜ ÉA Ωμέγα"), "äöü éa ωμέγα");
    EXPECT_EQ(UpperCase("äa"), "äA");
    struct Case {
        std::string a;
        std::string b;
        int str;      // AnsiCompareStr sign
        int text;     // AnsiCompareText sign
        int ordinal;  // CompareStr sign
        int ordinalText;
    };
    const std::vector<Case> cases = {
        {"a", "A", -1, 0, 1, 0},       {"A", "b", -1, -1, -1, -1}, {"b", "a", 1, 1, 1, 1},
        {"abc", "ab", 1, 1, 1, 1},     {"", "", 0, 0, 0, 0},       {"é", "f", -1, -1, 1, 1},
        {"e", "é", -1, -1, -1, -1},    {"É", "é", 1, 0, -1, -1},   {"Zebra", "apple", 1, 1, -1, 1},
    };
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " vs " + c.b);
        EXPECT_EQ(sign(AnsiCompareStr(c.a, c.b)), c.str);
        EXPECT_EQ(sign(AnsiCompareText(c.a, c.b)), c.text);
        EXPECT_EQ(sign(CompareStr(c.a, c.b)), c.ordinal);
        EXPECT_EQ(sign(CompareText(c.a, c.b)), c.ordinalText);
    }
}

// The collation keys order every pair of short texts over letters that
// fold, carry accents, change case in more than one way, or are malformed
// exactly as the comparisons do.
// Comparing as the upper case is made must agree with upper-casing both
// texts first, also where a character changes its length (dotless i, y
// with diaeresis) and for malformed bytes, which stay as they are.
TEST(Strings, UpperCaseComparisonsAgreeWithUpperCasedTexts)
{
    const std::vector<std::string> pieces = {"",     "a",        "A",        "\xC4\xB1", "I",    "\xC3\xBF",
                                             "\xC5\xB8", "\xC3",  "\x83",     "\xEF\xBF\xBD", "\xE0\x80", "\xCF\x82",
                                             "\xCE\xA3", "z"};
    std::vector<std::string> texts;
    for (const std::string& a : pieces)
        for (const std::string& b : pieces) texts.push_back(a + b);
    for (const std::string& x : texts)
        for (const std::string& y : texts) {
            const std::string ux = AnsiUpperCase(x);
            const std::string uy = AnsiUpperCase(y);
            EXPECT_EQ(AnsiUpperCaseEquals(x, y), ux == uy) << x << " / " << y;
            EXPECT_EQ(AnsiUpperCaseStartsWith(x, y), ux.compare(0, uy.size(), uy) == 0 && ux.size() >= uy.size())
                << x << " / " << y;
        }
}

TEST(Strings, CollationKeysOrderAsTheComparisons)
{
    const std::vector<std::string> letters = {"a", "A", "b", "i", "I", "\u0130", "\u0131", "e", "\u00E9", "\u00C9",
                                              "\u00DF", "\u00FF", "\u0178", "\u03C3", "\u03C2", "\u03A3", "\u0451",
                                              "\u0401", "\u017F", "\u00F7", "\uFFFD", "\xFF", "\x01", "\U0001F600"};
    std::vector<std::string> texts = {""};
    for (const std::string& x : letters) {
        texts.push_back(x);
        for (const std::string& y : letters) texts.push_back(x + y);
    }
    auto sign = [](int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); };
    std::vector<std::string> strKeys;
    std::vector<std::string> textKeys;
    for (const std::string& t : texts) {
        strKeys.push_back(AnsiCompareStrKey(t));
        textKeys.push_back(AnsiCompareTextKey(t));
    }
    int wrong = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (std::size_t j = 0; j < texts.size(); ++j) {
            const bool strAgrees = sign(AnsiCompareStr(texts[i], texts[j])) == sign(CompareStr(strKeys[i], strKeys[j]));
            const bool textAgrees = sign(AnsiCompareText(texts[i], texts[j])) == sign(CompareStr(textKeys[i], textKeys[j]));
            if ((!strAgrees || !textAgrees) && ++wrong <= 5) ADD_FAILURE() << "'" << texts[i] << "' against '" << texts[j] << "'";
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Strings, TrimQuotePosCopy)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    struct Quote {
        std::string in;
        std::string extracted;
        std::string rest;
    };
    const std::vector<Quote> quotes = {
        {"\"a\"\"b\" tail", "a\"b", " tail"},
        {"\"unterminated", "unterminated", ""},
        {"plain", "", "plain"},
        {"\"\"", "", ""},
    };
    for (const auto& q : quotes) {
        std::string_view s = q.in;
        EXPECT_EQ(AnsiExtractQuotedStr(s, '"'), q.extracted);
        EXPECT_EQ(s, q.rest);
    }
    EXPECT_EQ(AnsiDequotedStr("plain", '"'), "plain");
    EXPECT_EQ(Pos("lo", "hello"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Pos("", "hello"), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 9, 1), "");
    EXPECT_EQ(Copy("hello", 0, 2), "he");
    std::string s = "hello";
    Delete(s, 2, 2);
    EXPECT_EQ(s, "hlo");
    Insert("XY", s, 2);
    EXPECT_EQ(s, "hXYlo");
    EXPECT_EQ(StringReplace("aAbA", "a", "-", rfReplaceAll | rfIgnoreCase), "--b-");
    EXPECT_EQ(StringReplace("aAbA", "A", "-", 0), "a-bA");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("aé€😀")), "aé€😀");
    EXPECT_EQ(Utf8ToUtf16("\xFF").size(), 1u);
    EXPECT_EQ(Utf8ToUtf16("\xFF")[0], u'\xFFFD');
}

TEST(LocaleSettings, CAndPosixLocalesKeepTheEnglishSettings)
{
    struct Env {
        const char* name;
        std::string saved;
        bool had;
    };
    std::vector<Env> env = {{"LC_ALL", "", false}, {"LC_TIME", "", false}, {"LANG", "", false}};
    for (auto& e : env) {
        const char* v = std::getenv(e.name);
        e.had = v != nullptr;
        if (v) e.saved = v;
    }
    for (const char* locale : {"C", "POSIX", "C.UTF-8"}) {
        ::setenv("LC_ALL", locale, 1);
        const TFormatSettings s = LocaleFormatSettings();
        EXPECT_EQ(s.ShortDateFormat, "M/d/yyyy");
        EXPECT_EQ(s.DecimalSeparator, '.');
    }
    for (const auto& e : env) {
        if (e.had) ::setenv(e.name, e.saved.c_str(), 1);
        else ::unsetenv(e.name);
    }
    // The process-wide settings are replaceable for a scope.
    {
        ScopedFormatSettings comma(kComma);
        EXPECT_EQ(FloatToStr(1.5), "1,5");
    }
    EXPECT_EQ(FormatSettings().DecimalSeparator, EnglishFormatSettings().DecimalSeparator);
}

TEST(Rounding, NamedRoundings)
{
    struct Case {
        double v;
        std::int64_t round;
        std::int64_t trunc;
    };
    for (const auto& c : std::vector<Case>{{2.5, 2, 2}, {3.5, 4, 3}, {-2.5, -2, -2}, {-2.7, -3, -2}, {0.49999, 0, 0}}) {
        EXPECT_EQ(Round(c.v), c.round);
        EXPECT_EQ(Trunc(c.v), c.trunc);
    }
    EXPECT_THROW(Round(1e30), EIntOverflow);
    EXPECT_EQ(MulDiv(10, 1, 3), 3);
    EXPECT_EQ(MulDiv(10, 2, 3), 7);  // 6.67
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);  // half away from zero
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(2000000000, 2, 1), -1);
}

}  // namespace
