#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "components/editors/cxDateUtils.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFormats.h"
#include "components/editors/cxRegExpr.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "tests/components/editors/fixed_locale.h"

using hostlib::TDateTime;

namespace {

using namespace cxDateUtils;

TDateTime Day(int year, int month, int day) { return hostlib::EncodeDate(year, month, day); }

TDateTime At(int year, int month, int day, int hour, int minute)
{
    return hostlib::EncodeDateTime(year, month, day, hour, minute, 0, 0);
}

// Wednesday 2004-03-17 10:30 in a fixed English locale.
class DateUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        cxFormatsShutdown();
        SetNow(At(2004, 3, 17, 10, 30));
    }
    void TearDown() override
    {
        NowFunc() = savedNow;
        SmartTextToDateFunc() = nullptr;
        cxClearResourceStrings();
        cxFormatsShutdown();
    }
    void SetNow(TDateTime now)
    {
        NowFunc() = [now] { return now; };
    }

    hostlib::ScopedFormatSettings scope{FixedEnglishLocale()};
    std::function<TDateTime()> savedNow = NowFunc();
};

struct SmartCase {
    const char* Text;
    TDateTime Expected;
};

class SmartWords : public DateUtilsTest, public ::testing::WithParamInterface<SmartCase> {};

TEST_P(SmartWords, ReadAgainstTheClock)
{
    TDateTime date = 0;
    ASSERT_TRUE(SmartTextToDate(GetParam().Text, date)) << GetParam().Text;
    EXPECT_DOUBLE_EQ(date, GetParam().Expected) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SmartWords,
    ::testing::Values(SmartCase{"today", Day(2004, 3, 17)}, SmartCase{"Today + 3", Day(2004, 3, 20)},
                      SmartCase{"  TODAY-3  ", Day(2004, 3, 14)}, SmartCase{"yesterday", Day(2004, 3, 16)},
                      SmartCase{"tomorrow", Day(2004, 3, 18)}, SmartCase{"Wednesday", Day(2004, 3, 17)},
                      SmartCase{"monday", Day(2004, 3, 22)}, SmartCase{"Tuesday", Day(2004, 3, 23)},
                      SmartCase{"Sunday", Day(2004, 3, 21)}, SmartCase{"first", Day(2004, 3, 14)},
                      SmartCase{"second", Day(2004, 3, 15)}, SmartCase{"seventh", Day(2004, 3, 20)},
                      SmartCase{"bom", Day(2004, 3, 1)}, SmartCase{"eom", Day(2004, 3, 31)},
                      SmartCase{"eom + 1", Day(2004, 4, 1)}, SmartCase{"now", At(2004, 3, 17, 10, 30)},
                      SmartCase{"now-1", At(2004, 3, 16, 10, 30)}, SmartCase{"nowhere", At(2004, 3, 17, 10, 30)},
                      SmartCase{"tomorrow+x", Day(2004, 3, 18)}, SmartCase{"tomorrow+", Day(2004, 3, 18)},
                      SmartCase{"today 3", Day(2004, 3, 17)}, SmartCase{"today+ 12", Day(2004, 3, 29)},
                      SmartCase{"today+99999999999", Day(2004, 3, 17)}));

TEST_F(DateUtilsTest, MonthEndsFollowTheCalendar)
{
    SetNow(At(2004, 2, 10, 8, 0));
    TDateTime date = 0;
    ASSERT_TRUE(SmartTextToDate("eom", date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 2, 29));
    SetNow(At(2003, 2, 10, 8, 0));
    ASSERT_TRUE(SmartTextToDate("eom", date));
    EXPECT_DOUBLE_EQ(date, Day(2003, 2, 28));
    SetNow(At(2004, 3, 15, 23, 59));
    ASSERT_TRUE(SmartTextToDate("bom", date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 3, 1));
}

TEST_F(DateUtilsTest, TextWithoutAWordGoesToTheHook)
{
    TDateTime date = 42;
    EXPECT_FALSE(SmartTextToDate("xyz", date));
    EXPECT_FALSE(SmartTextToDate("", date));
    EXPECT_DOUBLE_EQ(date, 42);

    std::string seen;
    SmartTextToDateFunc() = [&](const std::string& text, TDateTime& value) {
        seen = text;
        value = 7;
        return true;
    };
    EXPECT_TRUE(SmartTextToDate(" xyz ", date));
    EXPECT_EQ(seen, " xyz ");
    EXPECT_DOUBLE_EQ(date, 7);
}

TEST_F(DateUtilsTest, ReplacedWordsCountAtOnce)
{
    cxSetResourceString(cxSDateToday, "heute");
    cxSetResourceString(cxSDateTomorrow, "");
    TDateTime date = 0;
    EXPECT_TRUE(SmartTextToDate("Heute+1", date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 3, 18));
    // An emptied word matches nothing, and the old text is no word now.
    EXPECT_FALSE(SmartTextToDate("today", date));
    EXPECT_FALSE(SmartTextToDate("x", date));
    EXPECT_EQ(SmartWord(0), "heute");

    std::string mask = "\\d";
    AddDateRegExprMaskSmartInput(mask, false);
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("heute", mask));
    EXPECT_FALSE(cxRegExpr::IsTextValid("today", mask));
}

TEST_F(DateUtilsTest, SmartInputExtendsAMask)
{
    std::string mask = "\\d";
    AddDateRegExprMaskSmartInput(mask, false);
    EXPECT_EQ(mask, "(\\d)|('today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|"
                    "'Friday'|'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom')"
                    "((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
    struct Case {
        const char* Text;
        bool WithoutNow;
        bool WithNow;
    };
    std::string withNow = "\\d";
    AddDateRegExprMaskSmartInput(withNow, true);
    for (const auto& c : {Case{"7", true, true}, Case{"today", true, true}, Case{"eom-12", true, true},
                          Case{"bom+1234", true, true}, Case{"bom+12345", false, false}, Case{"now", false, true},
                          Case{"now-1", false, true}, Case{"today+", false, false}}) {
        EXPECT_EQ(cxRegExpr::IsTextFullValid(c.Text, mask), c.WithoutNow) << c.Text;
        EXPECT_EQ(cxRegExpr::IsTextFullValid(c.Text, withNow), c.WithNow) << c.Text;
    }
}

TEST_F(DateUtilsTest, TextToDateEx)
{
    struct Case {
        const char* Text;
        bool Ok;
        TDateTime Expected;
    };
    for (const auto& c : {Case{"3/17/2004", true, Day(2004, 3, 17)}, Case{" 12/24/2004 ", true, Day(2004, 12, 24)},
                          Case{"12 24 2004", true, Day(2004, 12, 24)}, Case{"Dec 24, 2004", true, Day(2004, 12, 24)},
                          Case{"12-24-2004 10:30", true, At(2004, 12, 24, 10, 30)}, Case{"today", true, Day(2004, 3, 17)},
                          Case{"tomorrow - 2", true, Day(2004, 3, 16)}, Case{"garbage", false, NullDate},
                          Case{"13/45/2004", false, NullDate}, Case{"today+9999", true, Day(2004, 3, 17) + 9999},
                          Case{"1/1/10000", false, NullDate}}) {
        TDateTime date = 1;
        EXPECT_EQ(TextToDateEx(c.Text, date), c.Ok) << c.Text;
        EXPECT_DOUBLE_EQ(date, c.Expected) << c.Text;
    }
    TDateTime date = 5;
    EXPECT_FALSE(TextToDateEx("   ", date));
    EXPECT_DOUBLE_EQ(date, 5);

    // A hook may produce a date beyond the calendar: refused.
    SmartTextToDateFunc() = [](const std::string&, TDateTime& value) {
        value = 1e12;
        return true;
    };
    EXPECT_FALSE(TextToDateEx("beyond", date));
    EXPECT_DOUBLE_EQ(date, NullDate);
}

TEST_F(DateUtilsTest, DottedDatesUnderADotSeparator)
{
    auto settings = FixedEnglishLocale();
    settings.ShortDateFormat = "dd/MM/yyyy";
    settings.DateSeparator = '.';
    hostlib::ScopedFormatSettings local(settings);
    TDateTime date = 0;
    ASSERT_TRUE(TextToDateEx("24.12.2004", date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 12, 24));
    ASSERT_TRUE(TextToDateEx("24 12 2004", date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 12, 24));

    cxFormatController()->SetUseOstraDateTimeFormats(true);
    ASSERT_TRUE(TextToDateEx("24.12.2004", date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 12, 24));
    EXPECT_FALSE(TextToDateEx("24 12 2004", date));
    EXPECT_DOUBLE_EQ(date, NullDate);
}

TEST_F(DateUtilsTest, StrToDateTimeBothWays)
{
    TDateTime date = 0;
    EXPECT_TRUE(cxStrToDateTime("3/17/2004", true, date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 3, 17));
    EXPECT_TRUE(cxStrToDateTime("17 Mar 2004", true, date));
    EXPECT_DOUBLE_EQ(date, Day(2004, 3, 17));
    EXPECT_TRUE(cxStrToDateTime("3/17/2004 10:30", false, date));
    EXPECT_DOUBLE_EQ(date, At(2004, 3, 17, 10, 30));
    EXPECT_FALSE(cxStrToDateTime("17 Mar 2004", false, date));
    EXPECT_DOUBLE_EQ(date, NullDate);
    EXPECT_FALSE(cxStrToDateTime("x", true, date));
    EXPECT_DOUBLE_EQ(date, NullDate);
    EXPECT_DOUBLE_EQ(StrToDateDef("3/17/2004", 5), Day(2004, 3, 17));
    EXPECT_DOUBLE_EQ(StrToDateDef("nonsense", 5), 5);
}

TEST_F(DateUtilsTest, WritingDates)
{
    EXPECT_EQ(DateTimeToText(NullDate), "");
    EXPECT_EQ(DateTimeToText(Day(2004, 3, 17)), "3/17/2004");
    EXPECT_EQ(DateTimeToText(At(2004, 3, 17, 10, 30)), "3/17/2004 10:30:00 AM");
    EXPECT_EQ(DateTimeToText(At(2004, 3, 17, 14, 5)), "3/17/2004 2:05:00 PM");
    // Values the calendar cannot write give the empty text.
    const double unwritable[] = {1e300, -1e300, std::nan(""), INFINITY, -INFINITY, 2958466.0, -693594.5};
    for (double date : unwritable) EXPECT_EQ(DateTimeToText(date), "") << date;

    for (bool masked : {false, true}) {
        for (bool withTime : {false, true}) EXPECT_EQ(DateTimeToTextEx(NullDate, masked, withTime), "");
    }
    EXPECT_EQ(DateTimeToTextEx(At(2004, 3, 17, 10, 30), true, false), "03/17/2004");
    EXPECT_EQ(DateTimeToTextEx(At(2004, 3, 17, 10, 30), true, true), "03/17/2004 10:30:00 AM");
    EXPECT_EQ(DateTimeToTextEx(Day(2004, 3, 17), false, true), "3/17/2004");
    for (double date : unwritable) {
        for (bool masked : {false, true}) {
            for (bool withTime : {false, true}) EXPECT_EQ(DateTimeToTextEx(date, masked, withTime), "") << date;
        }
    }

    cxFormatController()->SetUseOstraDateTimeFormats(true);
    EXPECT_EQ(DateTimeToText(At(2004, 3, 17, 10, 30)), hostlib::DateTimeToStr(At(2004, 3, 17, 10, 30)));
}

TEST(DateUtilsCalendar, ChangeMonth)
{
    struct Case {
        std::uint16_t Year;
        std::uint16_t Month;
        int Delta;
        std::uint16_t NewYear;
        std::uint16_t NewMonth;
        int Result;
    };
    for (const auto& c : {Case{2004, 11, 3, 2005, 2, 0}, Case{2004, 3, -11, 2003, 4, 0}, Case{2004, 1, -14, 2002, 11, -1},
                          Case{2004, 1, 12, 2005, 1, 1}, Case{2004, 12, 1, 2005, 1, 0}, Case{2004, 1, -1, 2003, 12, 0},
                          Case{2004, 6, 0, 2004, 6, 0}, Case{2004, 6, 30, 2006, 12, 2}, Case{2004, 7, 30, 2007, 1, 2}}) {
        std::uint16_t year = c.Year;
        std::uint16_t month = c.Month;
        EXPECT_EQ(ChangeMonth(year, month, c.Delta), c.Result) << c.Year << "/" << c.Month << " " << c.Delta;
        EXPECT_EQ(year, c.NewYear) << c.Year << "/" << c.Month << " " << c.Delta;
        EXPECT_EQ(month, c.NewMonth) << c.Year << "/" << c.Month << " " << c.Delta;
    }

    std::uint16_t year = 2004;
    std::uint16_t month = 1;
    DecMonth(year, month);
    EXPECT_EQ(year, 2003);
    EXPECT_EQ(month, 12);
    IncMonth(year, month);
    EXPECT_EQ(year, 2004);
    EXPECT_EQ(month, 1);
    IncMonth(year, month);
    EXPECT_EQ(month, 2);
    DecMonth(year, month);
    EXPECT_EQ(month, 1);
}

TEST(DateUtilsCalendar, DaysAndLeapYears)
{
    for (const auto& [year, leap] : {std::pair{2004, true}, std::pair{2003, false}, std::pair{1900, false},
                                     std::pair{2000, true}, std::pair{2100, false}, std::pair{2400, true}}) {
        EXPECT_EQ(IsLeapYear(year), leap) << year;
    }
    EXPECT_EQ(DaysPerMonth(2004, 2), 29);
    EXPECT_EQ(DaysPerMonth(2003, 2), 28);
    EXPECT_EQ(DaysPerMonth(2003, 4), 30);
    EXPECT_EQ(DaysPerMonth(2003, 12), 31);
    EXPECT_EQ(DaysPerMonth(2003, 13), 0);
    EXPECT_EQ(CheckDay(2003, 2, 31), 28);
    EXPECT_EQ(CheckDay(2004, 2, 31), 29);
    EXPECT_EQ(CheckDay(2004, 2, 0), 1);
    EXPECT_EQ(CheckDay(2004, 2, -5), 1);
    EXPECT_EQ(CheckDay(2004, 2, 15), 15);
}

TEST(DateUtilsCalendar, DayAndTimeParts)
{
    const TDateTime value = At(2004, 3, 17, 10, 30);
    EXPECT_EQ(DateOf(value), static_cast<int>(Day(2004, 3, 17)));
    EXPECT_EQ(DateOf(2.99999999999999), 3);
    EXPECT_EQ(DateOf(-1.5), -1);
    EXPECT_EQ(DateOf(-0.99999999999999), -1);
    EXPECT_EQ(DateOf(1e300), 2147483647);
    EXPECT_EQ(DateOf(-1e300), -2147483647 - 1);
    EXPECT_NEAR(TimeOf(value), 10.5 / 24, 1e-9);
    EXPECT_EQ(GetDateElement(value, TcxDateElement::deYear), 2004);
    EXPECT_EQ(GetDateElement(value, TcxDateElement::deMonth), 3);
    EXPECT_EQ(GetDateElement(value, TcxDateElement::deDay), 17);
}

}  // namespace
