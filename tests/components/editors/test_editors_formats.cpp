#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "components/editors/cxFormats.h"
#include "components/editors/cxRegExpr.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "tests/components/editors/fixed_locale.h"

namespace {

using Kind = TcxDateTimeFormatItemKind;

const std::string kShortMonths = "'Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|'Nov'|'Dec'";
const std::string kDateExpr =
    "((0?[1-9]|1[012])|(" + kShortMonths + "))\\/([012]?[1-9]|[123]0|31)\\/\\d\\d\\d\\d";
const std::string kWords = "'today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|"
                           "'Friday'|'Saturday'|'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom'";
const std::string kOffset = "((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
const std::string kTimeExpr = "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?";

// "D:DD" per item; string items show their text in brackets.
std::string Describe(const TcxDateTimeFormatInfo& info)
{
    static const char* const names[] = {"s", "Y", "M", "D", "H", "N", "S", "Z", "T", "/", ":"};
    std::string text;
    for (const auto& item : info.Items) {
        if (!text.empty()) text += " ";
        text += names[static_cast<int>(item.Kind)];
        if (item.Kind == Kind::dtikString) {
            text += "[" + item.Data + "]";
        } else if (!item.Data.empty()) {
            text += "=" + item.Data;
        }
    }
    return text;
}

class FormatsTest : public ::testing::Test {
protected:
    void SetUp() override { cxFormatsShutdown(); }
    void TearDown() override
    {
        cxFormatsShutdown();
        cxFormatSettingsUpdate() = saved;
    }

    hostlib::ScopedFormatSettings scope{FixedEnglishLocale()};
    TcxFormatSettingsUpdate saved = cxFormatSettingsUpdate();
};

TEST_F(FormatsTest, ShortDateMasksAndFormats)
{
    TcxFormatController controller;
    EXPECT_EQ(controller.DateEditFormat(), "MM/dd/yyyy");
    EXPECT_EQ(controller.StandardDateEditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(controller.DateEditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(controller.InternalGetDateTimeEditRegExprMask(controller.DateFormatInfo(),
                                                            TcxDateTimeEditMaskKind::dtmkDate),
              kDateExpr);
    EXPECT_EQ(controller.RegExprDateEditMask(), "(" + kDateExpr + ")|(" + kWords + ")" + kOffset);
    EXPECT_EQ(controller.RegExprDateTimeEditMask(),
              "(" + kDateExpr + "' '(" + kTimeExpr + ")?)|(" + kWords + "|'now')" + kOffset);
    EXPECT_EQ(controller.StandardDateTimeEditMask(), "!99/99/9999\\ 99:99:99\\ cc;1; ");
    EXPECT_EQ(controller.MaskedDateEditFormat(), "mm/dd/yyyy");
    EXPECT_EQ(controller.MaskedDateTimeEditFormat(), "mm/dd/yyyy' 'hh:nn:ss' 'ampm");
    EXPECT_EQ(controller.GetDateTimeDisplayFormat(TcxDateTimeEditMaskKind::dtmkDateTime), "M/d/yyyy h:mm:ss AMPM");
}

TEST_F(FormatsTest, DateEditFormatWidensLonelyFields)
{
    struct Case {
        const char* ShortDate;
        const char* Plain;
        const char* ForMaskEdit;
    };
    for (const auto& c : {Case{"M/d/yyyy", "MM/dd/yyyy", "MM/dd/yyyy"}, Case{"d.M.yy", "dd.MM.yy", "dd.MM.yy"},
                          Case{"dd-MMMM-yyyy", "dd-MMMM-yyyy", "dd-MMM-yyyy"}, Case{"D/m/y", "D/m/y", "D/m/y"},
                          Case{"yyyy MMMMM d", "yyyy MMMMM dd", "yyyy MMM dd"}}) {
        auto settings = FixedEnglishLocale();
        settings.ShortDateFormat = c.ShortDate;
        hostlib::ScopedFormatSettings local(settings);
        TcxFormatController controller;
        EXPECT_EQ(controller.GetDateEditFormat(false), c.Plain) << c.ShortDate;
        EXPECT_EQ(controller.GetDateEditFormat(true), c.ForMaskEdit) << c.ShortDate;
    }
}

TEST_F(FormatsTest, TimeFormatsTwelveAndTwentyFourHours)
{
    TcxFormatController controller;
    EXPECT_EQ(Describe(controller.TimeFormatInfo()), "H=12H : N=NN : S=SS s[ ] T=AMPM");
    EXPECT_EQ(controller.InternalGetDateTimeEditStandardMask(controller.TimeFormatInfo(),
                                                             TcxDateTimeEditMaskKind::dtmkTime),
              "00:00:00\\ cc;1;0");
    EXPECT_EQ(controller.InternalGetDateTimeEditRegExprMask(controller.TimeFormatInfo(),
                                                            TcxDateTimeEditMaskKind::dtmkTime),
              kTimeExpr);
    EXPECT_EQ(controller.InternalGetDateTimeEditRegExprMask(controller.TimeFormatInfo(),
                                                            TcxDateTimeEditMaskKind::dtmkDateTime),
              "");

    auto settings = FixedEnglishLocale();
    settings.LongTimeFormat = "HH:mm:ss";
    hostlib::ScopedFormatSettings local(settings);
    TcxFormatController twentyFour;
    EXPECT_EQ(Describe(twentyFour.TimeFormatInfo()), "H=24HH : N=NN : S=SS");
    EXPECT_EQ(twentyFour.InternalGetDateTimeEditRegExprMask(twentyFour.TimeFormatInfo(),
                                                            TcxDateTimeEditMaskKind::dtmkTime),
              "([01]?\\d|2[0-3])\\:[0-5]?\\d\\:[0-5]?\\d");
    EXPECT_EQ(twentyFour.InternalGetDateTimeEditStandardMask(twentyFour.TimeFormatInfo(),
                                                             TcxDateTimeEditMaskKind::dtmkTime),
              "00:00:00;1;0");
}

TEST_F(FormatsTest, GeneratedExpressionsCompileAndAcceptTheirTexts)
{
    TcxFormatController controller;
    struct Case {
        std::string Text;
        bool DateFull;
        bool DateTimeFull;
    };
    // The date-time expression wants the blank after the date, and the time
    // the blank before its optional suffix.
    for (const auto& c : {Case{"3/17/2004", true, false}, Case{"3/17/2004 ", false, true},
                          Case{"Mar/17/2004", true, false}, Case{"12/31/1999 ", false, true},
                          Case{"3/17/2004 10:30:00 AM", false, true}, Case{"3/17/2004 10:30:00", false, false},
                          Case{"3/17/2004 10:30:00 ", false, true}, Case{"today+3", true, true},
                          Case{"eom", true, true}, Case{"now-1", false, true}, Case{"13/1/2004", false, false}}) {
        EXPECT_EQ(cxRegExpr::IsTextFullValid(c.Text, controller.RegExprDateEditMask()), c.DateFull) << c.Text;
        EXPECT_EQ(cxRegExpr::IsTextFullValid(c.Text, controller.RegExprDateTimeEditMask()), c.DateTimeFull) << c.Text;
    }
}

struct ParseCase {
    const char* Format;
    const char* Items;
};

class FormatInfoParse : public FormatsTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(FormatInfoParse, Items)
{
    TcxDateTimeFormatInfo info;
    TcxFormatController::GetDateTimeFormatInfo(GetParam().Format, info);
    EXPECT_EQ(Describe(info), GetParam().Items) << GetParam().Format;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatInfoParse,
    ::testing::Values(
        ParseCase{"M/d/yyyy", "M=M / D=D / Y=YYYY"}, ParseCase{"dd.MM.yy", "D=DD s[.] M=MM s[.] Y=YY"},
        ParseCase{"dddddd", "D=DDDD s[, ] M=MMMM s[ , ] Y=YYYY"},
        ParseCase{"ddddd", "M=M / D=D / Y=YYYY"},
        ParseCase{"c", "M=M / D=D / Y=YYYY s[ ] H=12H : N=NN : S=SS s[ ] T=AMPM"},
        ParseCase{"", "M=M / D=D / Y=YYYY s[ ] H=12H : N=NN : S=SS s[ ] T=AMPM"},
        ParseCase{"t", "H=12H : N=NN s[ ] T=AMPM"}, ParseCase{"tt", "H=12H : N=NN : S=SS s[ ] T=AMPM"},
        ParseCase{"hh:nn:ss.zzz a/p", "H=12HH : N=NN : S=SS s[.] Z=ZZZ s[ ] T=a/p"},
        ParseCase{"H:mm AM/PM", "H=12H : N=NN s[ ] T=AM/PM"}, ParseCase{"HH:mm", "H=24HH : N=NN"},
        ParseCase{"yyyy ampm", "Y=YYYY s[ ]"}, ParseCase{"'at' h", "s[at ] H=24H"},
        ParseCase{"\"o'clock\" d", "s[o'clock ] D=D"}, ParseCase{"mmmmm yy e", "M=MMMM s[ ] Y=YY s[ ]"},
        ParseCase{"d d", "D=D s[ ]"}, ParseCase{"aaaa aaa aa", "D=DDDD s[  aa]"},
        ParseCase{"d\xC3\xA9m", "D=D s[\xC3\xA9] M=M"}, ParseCase{"yyyy g", ""}, ParseCase{"G", ""},
        ParseCase{"'unclosed", "s[unclosed]"}, ParseCase{"x!", "s[x!]"}));

TEST_F(FormatsTest, NestedFormatsStopAtTheSecondLevel)
{
    auto settings = FixedEnglishLocale();
    settings.ShortDateFormat = "d c ddddd";
    hostlib::ScopedFormatSettings local(settings);
    TcxDateTimeFormatInfo info;
    TcxFormatController::GetDateTimeFormatInfo("c", info);
    EXPECT_EQ(Describe(info), "D=D s[   ] H=12H : N=NN : S=SS s[ ] T=AMPM");

    settings.LongTimeFormat = "gg h";
    hostlib::ScopedFormatSettings era(settings);
    TcxFormatController::GetDateTimeFormatInfo("c", info);
    EXPECT_EQ(Describe(info), "");
    TcxFormatController controller;
    EXPECT_EQ(controller.StandardDateTimeEditMask(), "");
    EXPECT_EQ(controller.MaskedDateTimeEditFormat(), "");
}

TEST_F(FormatsTest, EraLetterLeavesOnlyTheSmartWords)
{
    auto settings = FixedEnglishLocale();
    settings.ShortDateFormat = "gg yyyy";
    hostlib::ScopedFormatSettings local(settings);
    TcxFormatController controller;
    EXPECT_EQ(controller.StandardDateEditMask(), "");
    EXPECT_EQ(controller.RegExprDateEditMask(), "(" + kWords + ")" + kOffset);
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("today", controller.RegExprDateEditMask()));
}

TEST_F(FormatsTest, StandardMaskZones)
{
    TcxFormatController controller;
    const auto& info = controller.DateTimeFormatInfo();
    EXPECT_EQ(TcxFormatController::GetDateTimeStandardMaskStringLength(info), 22);
    struct Case {
        int Position;
        bool Found;
        Kind ItemKind;
        int Start;
        int Length;
    };
    for (const auto& c : {Case{0, false, Kind::dtikString, 0, 0}, Case{1, true, Kind::dtikMonth, 1, 2},
                          Case{2, true, Kind::dtikMonth, 1, 2}, Case{3, true, Kind::dtikDateSeparator, 3, 1},
                          Case{4, true, Kind::dtikDay, 4, 2}, Case{7, true, Kind::dtikYear, 7, 4},
                          Case{11, true, Kind::dtikString, 11, 1}, Case{12, true, Kind::dtikHour, 12, 2},
                          Case{18, true, Kind::dtikSec, 18, 2}, Case{22, true, Kind::dtikTimeSuffix, 21, 2},
                          Case{23, false, Kind::dtikString, 0, 0}}) {
        TcxDateTimeFormatItemInfo zone;
        ASSERT_EQ(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, c.Position, zone), c.Found)
            << c.Position;
        if (!c.Found) continue;
        EXPECT_EQ(zone.Kind, c.ItemKind) << c.Position;
        EXPECT_EQ(zone.ZoneStart, c.Start) << c.Position;
        EXPECT_EQ(zone.ZoneLength, c.Length) << c.Position;
    }
    TcxDateTimeFormatItemInfo zone;
    ASSERT_TRUE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(info, 21, zone));
    EXPECT_EQ(zone.TimeSuffixKind, TcxTimeSuffixKind::tskAMPMString);
    EXPECT_FALSE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(TcxDateTimeFormatInfo{}, 1, zone));

    TcxDateTimeFormatInfo ap;
    TcxFormatController::GetDateTimeFormatInfo("hh:nn a/p", ap);
    ASSERT_TRUE(TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(ap, 7, zone));
    EXPECT_EQ(zone.TimeSuffixKind, TcxTimeSuffixKind::tskAP);
    EXPECT_EQ(zone.ZoneLength, 1);
}

struct CurrencyCase {
    const char* Currency;
    int Position;
    int Negative;
    int Decimals;
    const char* Format;
};

class CurrencyFormat : public FormatsTest, public ::testing::WithParamInterface<CurrencyCase> {};

TEST_P(CurrencyFormat, FromTheLocale)
{
    const auto& c = GetParam();
    auto settings = FixedEnglishLocale();
    settings.CurrencyString = c.Currency;
    settings.CurrencyFormat = static_cast<unsigned char>(c.Position);
    settings.NegCurrFormat = static_cast<unsigned char>(c.Negative);
    settings.CurrencyDecimals = static_cast<unsigned char>(c.Decimals);
    hostlib::ScopedFormatSettings local(settings);
    TcxFormatController controller;
    EXPECT_EQ(controller.CurrencyFormat(), c.Format);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, CurrencyFormat,
    ::testing::Values(CurrencyCase{"$", 0, 0, 2, "$,0.00;($,0.00)"}, CurrencyCase{"kr.", 3, 8, 2, ",0.00 kr'.';-,0.00 kr'.'"},
                      CurrencyCase{"", 0, 0, 2, ";(,0.00)"}, CurrencyCase{"$", 1, 1, 0, ",0.$;-$,0."},
                      CurrencyCase{"a,b", 2, 2, 1, "a','b ,0.0;a','b-,0.0"}, CurrencyCase{"$", 4, 16, 2, ";"},
                      CurrencyCase{"$", 0, 3, 2, "$,0.00;$,0.00-"}, CurrencyCase{"$", 0, 4, 2, "$,0.00;(,0.00$)"},
                      CurrencyCase{"$", 0, 5, 2, "$,0.00;-,0.00$"}, CurrencyCase{"$", 0, 6, 2, "$,0.00;,0.00-$"},
                      CurrencyCase{"$", 0, 7, 2, "$,0.00;,0.00$-"}, CurrencyCase{"$", 0, 9, 2, "$,0.00;-$ ,0.00"},
                      CurrencyCase{"$", 0, 10, 2, "$,0.00;,0.00 $-"}, CurrencyCase{"$", 0, 11, 2, "$,0.00;$ ,0.00-"},
                      CurrencyCase{"$", 0, 12, 2, "$,0.00;$ -,0.00"}, CurrencyCase{"$", 0, 13, 2, "$,0.00;,0.00- $"},
                      CurrencyCase{"$", 0, 14, 2, "$,0.00;($ ,0.00)"}, CurrencyCase{"$", 0, 15, 2, "$,0.00;(,0.00 $)"}));

TEST_F(FormatsTest, CurrencyFormatWithoutDecimalsEndsOnTheLastDigit)
{
    auto settings = FixedEnglishLocale();
    settings.CurrencyDecimals = 0;
    hostlib::ScopedFormatSettings local(settings);
    TcxFormatController controller;
    ASSERT_EQ(controller.CurrencyFormat(), "$,0.;($,0.)");
    EXPECT_EQ(hostlib::FormatFloat(controller.CurrencyFormat(), 1234.4), "$1,234");
    EXPECT_EQ(hostlib::FormatFloat(controller.CurrencyFormat(), -1234.4), "($1,234)");
}

TEST_F(FormatsTest, StartOfWeekFollowsTheLocale)
{
    for (const auto& [first, expected] : {std::pair{0, 1}, std::pair{6, 0}, std::pair{2, 3}}) {
        auto settings = FixedEnglishLocale();
        settings.FirstDayOfWeek = first;
        hostlib::ScopedFormatSettings local(settings);
        TcxFormatController controller;
        EXPECT_EQ(controller.StartOfWeek(), expected) << first;
    }
}

class RecordingListener : public IcxFormatControllerListener {
public:
    void FormatChanged() override { ++Formats; }
    int Formats = 0;
};

class TimeListener : public RecordingListener, public IcxFormatControllerListener2 {
public:
    void TimeChanged() override { ++Times; }
    int Times = 0;
};

TEST_F(FormatsTest, ListenersAndTheirWindow)
{
    TcxFormatController controller;
    RecordingListener listener;
    EXPECT_FALSE(controller.HasWindow());
    controller.AddListener(&listener);
    controller.AddListener(&listener);
    EXPECT_EQ(controller.ListenerCount(), 1u);
    EXPECT_TRUE(controller.HasWindow());
    controller.RemoveListener(&listener);
    EXPECT_FALSE(controller.HasWindow());
    controller.AddListener(&listener);
    EXPECT_TRUE(controller.HasWindow());

    controller.SetCurrencyFormat("x");
    EXPECT_EQ(listener.Formats, 1);
    controller.SetCurrencyFormat("x");  // unchanged: no notice
    EXPECT_EQ(listener.Formats, 1);
    controller.SetAssignedCurrencyFormat(false);
    EXPECT_EQ(listener.Formats, 2);
    EXPECT_EQ(controller.CurrencyFormat(), "$,0.00;($,0.00)");
    controller.SetUseOstraDateTimeFormats(true);
    EXPECT_EQ(listener.Formats, 3);
}

TEST_F(FormatsTest, UpdateBracketsCollectNotifications)
{
    TcxFormatController controller;
    RecordingListener first;
    RecordingListener second;
    controller.AddListener(&first);
    controller.AddListener(&second);
    controller.BeginUpdate();
    controller.BeginUpdate();
    controller.SetCurrencyFormat("x");
    controller.SetStartOfWeek(3);
    controller.SetStandardDateEditMask("!00;1;_");
    controller.EndUpdate();
    EXPECT_EQ(first.Formats, 0);
    controller.EndUpdate();
    EXPECT_EQ(first.Formats, 1);
    EXPECT_EQ(second.Formats, 1);
    EXPECT_EQ(controller.CurrencyFormat(), "x");
    EXPECT_EQ(controller.StartOfWeek(), 3);
    EXPECT_TRUE(controller.AssignedStartOfWeek());
    controller.EndUpdate();  // unbalanced: nothing
    EXPECT_EQ(controller.LockCount(), 0);
    EXPECT_EQ(first.Formats, 1);
}

TEST_F(FormatsTest, ListenerMayUnregisterWhileTold)
{
    TcxFormatController controller;
    struct Leaving : IcxFormatControllerListener {
        TcxFormatController* Controller = nullptr;
        IcxFormatControllerListener* Other = nullptr;
        void FormatChanged() override
        {
            Controller->RemoveListener(this);
            Controller->RemoveListener(Other);
        }
    } leaving;
    RecordingListener other;
    leaving.Controller = &controller;
    leaving.Other = &other;
    controller.AddListener(&leaving);
    controller.AddListener(&other);
    controller.NotifyListeners();
    EXPECT_EQ(other.Formats, 0);
    EXPECT_EQ(controller.ListenerCount(), 0u);
    EXPECT_FALSE(controller.HasWindow());
}

TEST_F(FormatsTest, LocaleChangeKeepsAssignedValues)
{
    TcxFormatController controller;
    RecordingListener listener;
    controller.AddListener(&listener);
    controller.SetStandardDateEditMask("!00.00;1;_");
    ASSERT_EQ(listener.Formats, 1);

    auto german = FixedEnglishLocale();
    german.ShortDateFormat = "dd/MM/yyyy";
    german.DateSeparator = '.';
    int reloads = 0;
    cxFormatSettingsUpdate().Reload = [&] {
        ++reloads;
        hostlib::SetFormatSettings(german);
    };
    controller.BeginUpdate();  // a locale change notifies even inside a bracket
    cxBroadcastSettingChange("intl");
    controller.EndUpdate();
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(listener.Formats, 3);
    EXPECT_EQ(controller.StandardDateEditMask(), "!00.00;1;_");
    EXPECT_EQ(controller.DateEditMask(), "!99/99/9999;1; ");
    EXPECT_EQ(controller.DateEditFormat(), "dd/MM/yyyy");

    controller.SetAssignedStandardDateEditMask(false);
    EXPECT_EQ(listener.Formats, 4);
    EXPECT_EQ(controller.StandardDateEditMask(), "!99/99/9999;1; ");
}

TEST_F(FormatsTest, OnlyTheIntlSectionCounts)
{
    TcxFormatController controller;
    RecordingListener listener;
    controller.AddListener(&listener);
    int reloads = 0;
    cxFormatSettingsUpdate().Reload = [&] { ++reloads; };
    cxBroadcastSettingChange("Intl");
    cxBroadcastSettingChange("windows");
    EXPECT_EQ(controller.WndProc(WM_WININICHANGE, 1, reinterpret_cast<LPARAM>("intl")), 0);
    EXPECT_EQ(controller.WndProc(WM_WININICHANGE, 0, 0), 0);
    EXPECT_EQ(controller.WndProc(0x0400, 0, 0), 0);
    EXPECT_EQ(listener.Formats, 0);
    cxFormatSettingsUpdate().UpdateFormatSettings = false;
    cxBroadcastSettingChange("intl");
    EXPECT_EQ(listener.Formats, 0);
    EXPECT_EQ(reloads, 0);
}

TEST_F(FormatsTest, BroadcastsReachOnlyControllersWithListeners)
{
    TcxFormatController controller;
    TimeListener timed;
    RecordingListener plain;
    cxBroadcastTimeChange();
    controller.AddListener(&plain);
    controller.AddListener(&timed);
    cxBroadcastTimeChange();
    EXPECT_EQ(timed.Times, 1);
    controller.RemoveListener(&timed);
    controller.RemoveListener(&plain);
    cxBroadcastTimeChange();
    EXPECT_EQ(timed.Times, 1);
}

TEST_F(FormatsTest, ErrorsWhileHandlingABroadcastStayInside)
{
    TcxFormatController controller;
    RecordingListener listener;
    controller.AddListener(&listener);
    std::string caught;
    cxFormatSettingsUpdate().Reload = [] { throw std::runtime_error("locale unreadable"); };
    cxFormatSettingsUpdate().HandleException = [&](const std::exception& error) { caught = error.what(); };
    EXPECT_NO_THROW(cxBroadcastSettingChange("intl"));
    EXPECT_EQ(caught, "locale unreadable");
    EXPECT_EQ(listener.Formats, 0);
}

TEST_F(FormatsTest, TheProcessControllerIsTheFirstOneConstructed)
{
    {
        TcxFormatController first;
        TcxFormatController second;
        EXPECT_EQ(cxFormatController(), &first);
    }
    TcxFormatController* created = cxFormatController();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(cxFormatController(), created);
    cxFormatsShutdown();
    TcxFormatController local;
    EXPECT_EQ(cxFormatController(), &local);
}

}  // namespace
