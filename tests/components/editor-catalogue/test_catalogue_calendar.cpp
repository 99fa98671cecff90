// The month calendar: grid columns and dates for either first day of the
// week, keyboard moves within the years 1 to 9999, the wheel over the
// header, the month list's scrolling speeds, the buttons' places, and the
// grid with today's outline and the selected day as a user sees them.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <functional>
#include <string>

#include "components/editor-catalogue/cxCalendar.h"
#include "components/editors/cxDateUtils.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/core/format.h"
#include "platform/system/locale_name.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;

namespace {

const TDateTime kNow = EncodeDate(2004, 3, 17) + EncodeTime(10, 30, 0, 0);

struct CalendarTest : cataloguetest::CatalogueTest {
    void SetUp() override
    {
        CatalogueTest::SetUp();
        cxTextEditInitialize();
        cxMaskEditInitialize();
        cxSpinEditInitialize();
        cxTimeEditInitialize();
        savedNow = cxDateUtils::NowFunc();
        cxDateUtils::NowFunc() = [] { return kNow; };
        form = NewForm(400, 400);
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        cxDateUtils::NowFunc() = savedNow;
        cxFormatController()->SetAssignedStartOfWeek(false);
        if (form)
            form->Free();
        form = nullptr;
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxTimeEditFinalize();
        cxSpinEditFinalize();
        cxMaskEditFinalize();
        cxTextEditFinalize();
        CatalogueTest::TearDown();
    }
    TcxCustomCalendar* NewCalendar()
    {
        auto* calendar = Add<TcxCustomCalendar>(form, "Calendar", 10, 10, 20, 20);
        UseFixedFace(calendar->Font());
        Pump();
        return calendar;
    }
    static void StartWeekOn(int day) { cxFormatController()->SetStartOfWeek(day); }
    void Press(TcxCustomCalendar* calendar, WORD key, TShiftState shift = {})
    {
        calendar->SetFocus();
        Pump();
        if (shift.Contains(ssCtrl))
            KeyWith(VK_CONTROL, key);
        else
            Key(key);
    }

    // Pixels of a colour inside a rectangle of the control.
    int Count(TWinControl* c, const RECT& r, std::uint32_t rgb)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += Screen().ClientPixel(c->Handle(), x, y) == rgb;
        return n;
    }

    std::function<TDateTime()> savedNow;
    ScopedFormatSettings locale{FixedEnglishLocale()};
};

TEST_F(CalendarTest, ColumnsFollowTheFirstDayOfTheWeek)
{
    struct Case {
        int startOfWeek;  // 0 = Sunday
        TDateTime date;
        int column;
    };
    const Case cases[] = {
        {1, EncodeDate(2004, 3, 15), 0},  // a Monday
        {1, EncodeDate(2004, 3, 21), 6},  // a Sunday
        {1, EncodeDate(2004, 3, 17), 2},
        {0, EncodeDate(2004, 3, 21), 0},
        {0, EncodeDate(2004, 3, 20), 6},  // a Saturday
        {6, EncodeDate(2004, 3, 20), 0},
    };
    for (const Case& c : cases) {
        StartWeekOn(c.startOfWeek);
        EXPECT_EQ(TcxCustomCalendar::ColOfDate(c.date), c.column) << DateToStr(c.date) << " from " << c.startOfWeek;
    }
}

TEST_F(CalendarTest, TheGridAlwaysStartsWithDaysOfThePreviousMonth)
{
    TcxCustomCalendar* calendar = NewCalendar();
    struct Case {
        int startOfWeek;
        TDateTime month;
        TDateTime firstCell;
    };
    const Case cases[] = {
        {1, EncodeDate(2004, 3, 1), EncodeDate(2004, 2, 23)},  // March 2004 begins on a Monday
        {0, EncodeDate(2004, 3, 1), EncodeDate(2004, 2, 29)},
        {0, EncodeDate(2004, 2, 1), EncodeDate(2004, 1, 25)},  // February 2004 begins on a Sunday
    };
    for (const Case& c : cases) {
        StartWeekOn(c.startOfWeek);
        calendar->SetFirstDate(c.month + 10);
        EXPECT_EQ(calendar->FirstDate(), c.month);
        EXPECT_EQ(calendar->GetRealFirstDate(), c.firstCell);
        EXPECT_EQ(calendar->GetRealLastDate(), c.firstCell + 41);
        const RECT first = calendar->CellRect(0, 0), last = calendar->CellRect(5, 6);
        EXPECT_EQ(calendar->PosToDateTime(POINT{first.left + 1, first.top + 1}), c.firstCell);
        EXPECT_EQ(calendar->PosToDateTime(POINT{last.right - 1, last.bottom - 1}), c.firstCell + 41);
    }
    EXPECT_EQ(calendar->PosToDateTime(POINT{1, 1}), cxCalendarNullDate) << "the header is no day";
}

TEST_F(CalendarTest, KeysMoveTheSelectedDayWithinTheCalendarsYears)
{
    TcxCustomCalendar* calendar = NewCalendar();
    StartWeekOn(1);
    struct Case {
        TDateTime from;
        WORD key;
        TShiftState shift;
        TDateTime to;
    };
    const Case cases[] = {
        {EncodeDate(2004, 3, 31), VK_PRIOR, {}, EncodeDate(2004, 2, 29)},
        {EncodeDate(2005, 3, 31), VK_PRIOR, {}, EncodeDate(2005, 2, 28)},
        {EncodeDate(2004, 12, 15), VK_NEXT, {}, EncodeDate(2005, 1, 15)},
        {EncodeDate(2004, 3, 17), VK_HOME, {ssCtrl}, EncodeDate(2004, 3, 1)},
        {EncodeDate(2004, 3, 17), VK_END, {ssCtrl}, EncodeDate(2004, 3, 31)},
        {EncodeDate(2004, 3, 17), VK_HOME, {}, EncodeDate(2004, 3, 15)},
        {EncodeDate(2004, 3, 17), VK_END, {}, EncodeDate(2004, 3, 21)},
        {EncodeDate(2004, 3, 17), VK_LEFT, {}, EncodeDate(2004, 3, 16)},
        {EncodeDate(2004, 3, 31), VK_RIGHT, {}, EncodeDate(2004, 4, 1)},
        {EncodeDate(2004, 3, 17), VK_UP, {}, EncodeDate(2004, 3, 10)},
        {EncodeDate(2004, 3, 17), VK_DOWN, {}, EncodeDate(2004, 3, 24)},
        {EncodeDate(1, 1, 1), VK_LEFT, {}, EncodeDate(1, 1, 1)},
        {EncodeDate(1, 1, 1), VK_PRIOR, {}, EncodeDate(1, 1, 1)},
        {EncodeDate(9999, 12, 31), VK_DOWN, {}, EncodeDate(9999, 12, 31)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(DateToStr(c.from) + " key " + std::to_string(c.key));
        calendar->SetSelectDate(c.from);
        Press(calendar, c.key, c.shift);
        EXPECT_EQ(calendar->SelectDate(), c.to);
        EXPECT_LE(calendar->GetRealFirstDate(), c.to) << "the selected day is on the grid";
        EXPECT_GE(calendar->GetRealLastDate(), c.to);
    }
}

TEST_F(CalendarTest, SelectingADateBeforeTheGridShowsTheMonthThatHoldsIt)
{
    TcxCustomCalendar* calendar = NewCalendar();
    StartWeekOn(1);
    calendar->SetFirstDate(EncodeDate(2004, 3, 1));
    calendar->SetSelectDate(EncodeDate(2004, 2, 3));
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2004, 1, 1)) << "January's grid still holds 3 February";
    calendar->SetFirstDate(EncodeDate(2004, 3, 1));
    calendar->SetSelectDate(EncodeDate(2004, 2, 20));
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2004, 2, 1)) << "January's grid ends on 8 February";
    calendar->SetSelectDate(EncodeDate(2003, 6, 10));
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2003, 6, 1));
    calendar->SetSelectDate(EncodeDate(2003, 8, 1));
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2003, 8, 1));
}

TEST_F(CalendarTest, TheWheelStepsOnlyOverTheHeaderTexts)
{
    TcxCustomCalendar* calendar = NewCalendar();
    calendar->SetFirstDate(EncodeDate(2004, 3, 1));
    calendar->SetFocus();  // the wheel goes to the focused window
    Pump();
    auto wheel = [&](const RECT& r, int delta) {
        Screen().Wheel(calendar->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}), delta);
        Pump();
    };
    wheel(calendar->MonthTextRect(), 120);
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2004, 2, 1)) << "forward over the month: the previous month";
    wheel(calendar->MonthTextRect(), -120);
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2004, 3, 1));
    wheel(calendar->YearTextRect(), -120);
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2005, 3, 1));
    wheel(calendar->CellRect(2, 3), 120);
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2005, 3, 1)) << "the grid does not scroll";
    calendar->SetFirstDate(EncodeDate(1, 1, 1));
    calendar->DoStep(caPrevMonth);
    calendar->DoStep(caPrevYear);
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(1, 1, 1));
}

TEST_F(CalendarTest, TheMonthListScrollsFasterTheFurtherThePointerIs)
{
    struct Case {
        int rowsAway;
        unsigned interval;
    };
    for (const Case& c : {Case{0, 500}, Case{1, 250}, Case{2, 100}, Case{3, 50}, Case{7, 50}, Case{-2, 100}})
        EXPECT_EQ(TMonthListBox::IntervalForRows(c.rowsAway), c.interval) << c.rowsAway;

    TcxCustomCalendar* calendar = NewCalendar();
    calendar->SetFirstDate(EncodeDate(2004, 3, 1));
    const RECT text = calendar->MonthTextRect();
    Screen().ButtonDown(calendar->ClientToScreen(POINT{(text.left + text.right) / 2, text.top + 3}));
    Pump();
    TMonthListBox* list = calendar->MonthListBox();
    ASSERT_TRUE(list->IsVisible());
    EXPECT_EQ(list->HotRow(), 3);
    EXPECT_EQ(list->RowText(3), "March 2004") << "the shown month in the middle row";
    const int rowHeight = list->RowHeight();
    const POINT below = list->ClientToScreen(POINT{10, list->ClientHeight() - 1 + 2 * rowHeight + rowHeight / 2});
    Screen().MoveMouse(below);
    Pump();
    EXPECT_TRUE(list->Timer()->Enabled());
    EXPECT_EQ(list->Timer()->Interval(), 100u);
    Advance(100);
    EXPECT_EQ(list->RowText(3), "April 2004");
    Screen().MoveMouse(list->ClientToScreen(POINT{10, rowHeight + 2}));
    Pump();
    EXPECT_FALSE(list->Timer()->Enabled());
    Screen().ButtonUp(list->ClientToScreen(POINT{10, rowHeight + 2}));
    Pump();
    EXPECT_FALSE(list->IsVisible());
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2004, 2, 1)) << "row 1 of a list starting at January";
}

TEST_F(CalendarTest, ButtonsShareTheDateRegion)
{
    TcxCustomCalendar* calendar = NewCalendar();
    const int w = calendar->DateRegionWidth(), bw = calendar->ButtonWidth();
    TcxButton* today = calendar->TodayButton();
    TcxButton* clear = calendar->ClearButton();
    EXPECT_TRUE(today->Visible());
    EXPECT_TRUE(clear->Visible());
    EXPECT_EQ(today->Left(), (w - 2 * bw) / 3);
    EXPECT_EQ(w - bw - clear->Left(), (w - 2 * bw) / 3) << "the free width in thirds";
    calendar->SetCalendarButtons(TDateButtons{btnToday});
    EXPECT_FALSE(clear->Visible());
    EXPECT_EQ(today->Left(), (w - bw) / 2) << "alone: centred";
    EXPECT_FALSE(calendar->NowButton()->Visible());
    EXPECT_FALSE(calendar->OKButton()->Visible());

    calendar->SetKind(ckDateTime);
    EXPECT_TRUE(calendar->OKButton()->Visible());
    EXPECT_TRUE(calendar->Clock()->Visible());
    EXPECT_TRUE(calendar->TimeEdit()->Visible());
    EXPECT_FALSE(calendar->NowButton()->Visible()) << "only with its button set";
    calendar->SetCalendarButtons(TDateButtons{btnNow, btnClear});
    EXPECT_TRUE(calendar->NowButton()->Visible());
    EXPECT_FALSE(today->Visible());
    EXPECT_GT(calendar->Width(), w) << "the clock area beside the month";
    EXPECT_LT(calendar->NowButton()->Left(), calendar->ClearButton()->Left());
    EXPECT_LT(calendar->ClearButton()->Left(), calendar->OKButton()->Left());
}

TEST_F(CalendarTest, TheButtonsSetTheDateAndTellTheOwner)
{
    TcxCustomCalendar* calendar = NewCalendar();
    int changes = 0;
    calendar->OnDateTimeChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    calendar->SetSelectDate(EncodeDate(2004, 1, 5));
    calendar->ClearButton()->Click();
    EXPECT_EQ(calendar->SelectDate(), cxCalendarNullDate);
    calendar->TodayButton()->Click();
    EXPECT_EQ(calendar->SelectDate(), EncodeDate(2004, 3, 17));
    calendar->SetKind(ckDateTime);
    calendar->NowButton()->Click();
    EXPECT_NEAR(calendar->SelectDate(), kNow, 1e-9);
    EXPECT_NEAR(calendar->Clock()->Time(), EncodeTime(10, 30, 0, 0), 1e-9);
    EXPECT_EQ(changes, 3);
}

TEST_F(CalendarTest, WeekdayLettersTakeTheLastCharacterForChineseAndArabicSets)
{
    TcxCustomCalendar* calendar = NewCalendar();
    StartWeekOn(1);
    TFormatSettings chinese = FormatSettings();
    chinese.ShortDayNames = {"\xE5\x91\xA8\xE6\x97\xA5", "\xE5\x91\xA8\xE4\xB8\x80", "\xE5\x91\xA8\xE4\xBA\x8C",
                             "\xE5\x91\xA8\xE4\xB8\x89", "\xE5\x91\xA8\xE5\x9B\x9B", "\xE5\x91\xA8\xE4\xBA\x94",
                             "\xE5\x91\xA8\xE5\x85\xAD"};
    ScopedFormatSettings scope(chinese);
    struct Case {
        const char* locale;
        std::string monday;
    };
    for (const Case& c : {Case{"zh_CN.UTF-8", "\xE4\xB8\x80"}, Case{"en_US.UTF-8", "\xE5\x91\xA8"}}) {
        quelvo::sys::SetUserLocaleNameOverride(std::string(c.locale));
        EXPECT_EQ(calendar->WeekdayLetter(0), c.monday) << c.locale << ": a whole character";
    }
    quelvo::sys::SetUserLocaleNameOverride(std::nullopt);
}

TEST_F(CalendarTest, TodayIsOutlinedInMaroonAndTheSelectedDayHighlighted)
{
    TcxCustomCalendar* calendar = NewCalendar();
    StartWeekOn(1);
    calendar->SetSelectDate(cxCalendarNullDate);
    calendar->SetFirstDate(EncodeDate(2004, 3, 1));
    calendar->Invalidate();
    Pump();
    // 17 March 2004, a Wednesday: row 3 of a grid starting at 23 February.
    const RECT today = calendar->CellRect(3, 2);
    const int w = today.right - today.left, h = today.bottom - today.top;
    const std::uint32_t maroon = 0x800000, highlight = Rgb(clHighlight);
    EXPECT_EQ(Count(calendar, today, maroon), 2 * (w + h) - 4) << "a closed one-pixel outline";
    EXPECT_EQ(Pixel(calendar, today.left + 2, today.top + 1), highlight) << "no selection: today counts as selected";

    calendar->SetSelectDate(EncodeDate(2004, 3, 10));
    Pump();
    const RECT selected = calendar->CellRect(2, 2);
    EXPECT_EQ(Pixel(calendar, today.left + 2, today.top + 1), Rgb(calendar->Color()));
    EXPECT_EQ(Count(calendar, today, maroon), 2 * (w + h) - 4) << "today keeps its outline";
    EXPECT_EQ(Pixel(calendar, selected.left + 1, selected.top + 1), highlight);
    EXPECT_GT(Count(calendar, selected, Rgb(clHighlightText)), 0) << "the day number";
    EXPECT_EQ(Count(calendar, selected, maroon), 0);
}

}  // namespace
