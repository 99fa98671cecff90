// The time editor: the text read as seconds of the day in both hour forms,
// spinning the field under the caret, the character rules of each field and
// of the designator, what shows for no value and for values it cannot
// read, the date it keeps, and the 12-hour masks following the locale.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxTimeEdit.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;

namespace {

struct TimeEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxTextEditInitialize();
        cxMaskEditInitialize();
        cxSpinEditInitialize();
        cxTimeEditInitialize();
        cxTimeEditUpdateMasks();
        // A locale change keeps the scoped settings instead of the machine's.
        cxFormatSettingsUpdate().Reload = [] {};
    }
    void TearDown() override
    {
        cxFormatSettingsUpdate() = savedUpdate;
        EditorFormTest::TearDown();
        cxTimeEditFinalize();
        cxSpinEditFinalize();
        cxMaskEditFinalize();
        cxTextEditFinalize();
    }
    TcxTimeEdit* NewEdit(bool use24 = true, TcxTimeEditTimeFormat format = tfHourMinSec)
    {
        ++count;
        auto* edit = Add<TcxTimeEdit>(form, "Time" + std::to_string(count), 10, 10 + 40 * count, 160, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Properties()->SetUse24HourFormat(use24);
        edit->Properties()->SetTimeFormat(format);
        Pump();
        return edit;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }
    // Types the time over everything, then puts the caret.
    void Show(TcxTimeEdit* edit, TDateTime time)
    {
        edit->SetEditValue(Variant::FromDate(time));
        Pump();
    }
    static long long Seconds(TcxTimeEdit* edit) { return edit->GetValue().AsInt64(); }

    hostlib::ScopedFormatSettings locale{FixedEnglishLocale()};
    TcxFormatSettingsUpdate savedUpdate = cxFormatSettingsUpdate();
    int count = 0;
};

TEST_F(TimeEditTest, TheTextIsReadAsSecondsOfTheDayInBothHourForms)
{
    struct Case {
        bool use24;
        TDateTime time;
        const char* shown;
        long long seconds;
    };
    const Case cases[] = {
        {true, EncodeTime(13, 5, 0, 0), "13:05:00", 47100},
        {false, EncodeTime(13, 5, 0, 0), "01:05:00 PM", 47100},
        {false, 0, "12:00:00 AM", 0},
        {false, EncodeTime(12, 30, 0, 0), "12:30:00 PM", 45000},
        {true, EncodeTime(23, 59, 59, 0), "23:59:59", 86399},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        TcxTimeEdit* edit = NewEdit(c.use24);
        Focus(edit);
        Show(edit, c.time);
        EXPECT_EQ(edit->Text(), c.shown);
        EXPECT_EQ(Seconds(edit), c.seconds);
        Variant value;
        edit->PrepareEditValue(Variant(std::string(c.shown)), value, true);
        EXPECT_NEAR(value.AsDouble(), c.time, 1e-9) << "and back";
    }
    // An hour alone is read with no minutes.
    TcxTimeEdit* edit = NewEdit(true, tfHourMin);
    Variant value;
    edit->PrepareEditValue(Variant(std::string("10")), value, true);
    EXPECT_NEAR(value.AsDouble(), EncodeTime(10, 0, 0, 0), 1e-9);
}

TEST_F(TimeEditTest, SpinningStepsTheFieldUnderTheCaret)
{
    struct Case {
        const char* name;
        bool use24;
        bool circular;
        TDateTime from;
        int caret;
        TcxSpinEditButton button;
        const char* shown;
    };
    const Case cases[] = {
        {"hour forward", true, false, EncodeTime(10, 30, 0, 0), 0, sebForward, "11:30:00"},
        {"fast hour stays an hour", true, false, EncodeTime(10, 30, 0, 0), 1, sebFastForward, "11:30:00"},
        {"minute backward", true, false, EncodeTime(10, 30, 0, 0), 3, sebBackward, "10:29:00"},
        {"fast minute ten", true, false, EncodeTime(10, 30, 0, 0), 4, sebFastForward, "10:40:00"},
        {"fast minute ten back", true, false, EncodeTime(10, 30, 0, 0), 4, sebFastBackward, "10:20:00"},
        {"fast second ten", true, false, EncodeTime(10, 30, 0, 0), 7, sebFastForward, "10:30:10"},
        {"wraps keeping the minutes", true, true, EncodeTime(23, 30, 0, 0), 0, sebForward, "00:30:00"},
        {"refused at the end of the day", true, false, EncodeTime(23, 30, 0, 0), 0, sebForward, "23:30:00"},
        {"designator forward", false, false, EncodeTime(11, 0, 0, 0), 10, sebForward, "11:00:00 PM"},
        {"designator backward also toggles", false, false, EncodeTime(11, 0, 0, 0), 10, sebBackward,
         "11:00:00 PM"},
        {"designator back to AM", false, false, EncodeTime(23, 0, 0, 0), 9, sebBackward, "11:00:00 AM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TcxTimeEdit* edit = NewEdit(c.use24);
        edit->Properties()->SetCircular(c.circular);
        Focus(edit);
        Show(edit, c.from);
        edit->SetSelection(c.caret, 0);
        edit->Increment(c.button);
        EXPECT_EQ(edit->Text(), c.shown);
    }
}

TEST_F(TimeEditTest, RepeatedStepsKeepTheSameFieldSelected)
{
    TcxTimeEdit* edit = NewEdit(false);
    Focus(edit);
    Show(edit, EncodeTime(9, 15, 0, 0));
    edit->SetSelection(3, 0);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(edit->Text(), "09:17:00 AM");
    EXPECT_EQ(edit->SelStart(), 4);
    EXPECT_EQ(edit->SelLength(), 1);
    edit->SetSelection(9, 0);
    Key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "09:17:00 PM");
    EXPECT_EQ(edit->SelStart(), 9);
    EXPECT_EQ(edit->SelLength(), 2) << "the designator stays selected";
}

TEST_F(TimeEditTest, EachFieldTakesOnlyWhatMakesATime)
{
    struct Case {
        const char* name;
        bool use24;
        TDateTime from;
        int caret;
        const char* typed;
        const char* shown;
        unsigned beeps;
    };
    const Case cases[] = {
        {"hour typed", true, 0, 0, "14", "14:00:00", 0},
        {"25 refused at the 5", true, 0, 0, "25", "20:00:00", 1},
        {"minute tens 7 refused", true, 0, 3, "7", "00:00:00", 1},
        {"minute tens 5 taken", true, 0, 3, "5", "00:50:00", 0},
        {"second tens 6 refused", true, 0, 6, "6", "00:00:00", 1},
        {"letters refused in the hour", true, 0, 0, "a", "00:00:00", 1},
        {"12-hour 13 refused at the 3", false, EncodeTime(1, 0, 0, 0), 0, "13", "11:00:00 AM", 1},
        {"designator typed p", false, EncodeTime(9, 0, 0, 0), 9, "p", "09:00:00 PM", 1},
        {"designator continued", false, EncodeTime(9, 0, 0, 0), 10, "m", "09:00:00 AM", 0},
        {"designator x refused", false, EncodeTime(9, 0, 0, 0), 9, "x", "09:00:00 AM", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TcxTimeEdit* edit = NewEdit(c.use24);
        Focus(edit);
        Show(edit, c.from);
        edit->SetSelection(c.caret, 0);
        const unsigned beeps = Screen().BeepCount();
        Screen().TypeText(c.typed);
        Pump();
        EXPECT_EQ(edit->Text(), c.shown);
        EXPECT_EQ(Screen().BeepCount() - beeps, c.beeps);
    }
}

TEST_F(TimeEditTest, BackspaceInTheDesignatorMovesLeftAndDeleteDoesNothing)
{
    TcxTimeEdit* edit = NewEdit(false);
    Focus(edit);
    Show(edit, EncodeTime(9, 0, 0, 0));
    edit->SetSelection(10, 0);
    Key(VK_BACK);
    EXPECT_EQ(edit->Text(), "09:00:00 AM");
    EXPECT_EQ(edit->SelStart(), 9);
    edit->SetSelection(9, 0);
    Key(VK_DELETE);
    EXPECT_EQ(edit->Text(), "09:00:00 AM");
}

TEST_F(TimeEditTest, NoValueAndUnreadableValuesShowAsNothing)
{
    TcxTimeEdit* edit = NewEdit();
    auto* p = edit->Properties();
    struct Case {
        Variant value;
        bool focused;
        const char* shown;
    };
    const Case cases[] = {
        {Variant::Null(), true, "00:00:00"},
        {Variant::Null(), false, ""},
        // Not the clock: it would be posted as if typed.
        {Variant("abc"), true, "00:00:00"},
        {Variant("abc"), false, ""},
        {Variant("13:05"), false, "13:05:00"},
        {Variant(0.75), true, "18:00:00"},
    };
    for (const Case& c : cases) {
        Variant shown;
        p->PrepareDisplayValue(c.value, shown, c.focused);
        EXPECT_EQ(VarToStr(shown), c.shown) << VarToStr(c.value) << " focused " << c.focused;
    }
    Variant shown;
    try {
        p->PrepareDisplayValue(Variant(true), shown, false);
        ADD_FAILURE() << "a Boolean raised nothing";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Could not convert to time");
    }
    p->SetShowDate(true);
    p->PrepareDisplayValue(Variant::FromDate(EncodeDate(2004, 5, 17) + 0.4375), shown, false);
    EXPECT_EQ(VarToStr(shown), "5/17/2004 10:30:00 AM") << "ShowDate: a day part shows with its date";
    p->PrepareDisplayValue(Variant::FromDate(0.4375), shown, false);
    EXPECT_EQ(VarToStr(shown), "10:30:00") << "without a day part only the time";
    p->SetShowDate(false);
    p->SetUse24HourFormat(false);
    EXPECT_EQ(p->DefaultFocusedDisplayValue(), "12:00:00 AM");
}

TEST_F(TimeEditTest, TheDateOfTheValueIsKeptWhileTheTimeIsEdited)
{
    TcxTimeEdit* edit = NewEdit();
    Focus(edit);
    const TDateTime day = EncodeDate(2004, 5, 17);
    Show(edit, day + EncodeTime(10, 30, 0, 0));
    EXPECT_EQ(edit->SavedDate(), day);
    edit->SetSelection(0, 0);
    Key(VK_UP);
    Key(VK_RETURN);
    EXPECT_NEAR(edit->EditValue().AsDouble(), day + EncodeTime(11, 30, 0, 0), 1e-9);
    EXPECT_NEAR(edit->Time(), EncodeTime(11, 30, 0, 0), 1e-9);
    edit->SetTime(EncodeTime(8, 0, 0, 0));
    EXPECT_NEAR(edit->EditValue().AsDouble(), day + EncodeTime(8, 0, 0, 0), 1e-9);
    edit->SetEditValue(Variant::Null());
    EXPECT_EQ(edit->SavedDate(), 0);
}

TEST_F(TimeEditTest, TheTwelveHourMasksFollowTheLocalesDesignators)
{
    TcxTimeEdit* edit = NewEdit(false);
    EXPECT_EQ(edit->Properties()->EditMask(), "00:00:00 cc;1;0");
    TFormatSettings dotted = FormatSettings();
    dotted.TimeAMString = "a.m.";
    dotted.TimePMString = "p.m.";
    {
        ScopedFormatSettings scope(dotted);
        cxBroadcastSettingChange("intl");
        Pump();
        EXPECT_EQ(edit->Properties()->EditMask(), "00:00:00 cccc;1;0");
        EXPECT_EQ(cxTimeEditMask(tfHour, false), "00 cccc;1;0");
        TFormatSettings none = dotted;
        none.TimeAMString.clear();
        none.TimePMString.clear();
        ScopedFormatSettings noDesignators(none);
        cxBroadcastSettingChange("intl");
        EXPECT_EQ(edit->Properties()->EditMask(), "00:00:00;1;0");
    }
    cxBroadcastSettingChange("intl");
    EXPECT_EQ(edit->Properties()->EditMask(), "00:00:00 cc;1;0");
}

TEST_F(TimeEditTest, ItsSpinButtonsShowArrowsAndAPressStepsTheFieldUnderTheCaret)
{
    using quelvo::gfx::test::Distinct;
    TcxTimeEdit* edit = NewEdit();
    edit->Style()->SetButtonStyle(btsHotFlat);
    Focus(edit);
    Show(edit, EncodeTime(10, 30, 0, 0));
    edit->SetSelection(4, 0);
    const auto* info = static_cast<TcxSpinEditViewInfo*>(edit->ViewInfo());
    const RECT up = info->ButtonsInfo[sebForward]->Bounds, down = info->ButtonsInfo[sebBackward]->Bounds;
    ASSERT_GT(info->ArrowSize, 1);
    const std::uint32_t text = Rgb(Distinct(COLOR_BTNTEXT)), face = Rgb(Distinct(COLOR_BTNFACE));
    auto rows = [&](const RECT& r, std::uint32_t rgb) {
        std::vector<int> widths;
        for (int y = r.top; y < r.bottom; ++y) {
            int n = 0;
            for (int x = r.left; x < r.right; ++x)
                n += Screen().ClientPixel(edit->Handle(), x, y) == rgb;
            if (n > 0)
                widths.push_back(n);
        }
        return widths;
    };
    const std::vector<int> upArrow = rows(up, text), downArrow = rows(down, text);
    ASSERT_EQ(upArrow.size(), static_cast<size_t>(info->ArrowSize));
    EXPECT_LT(upArrow.front(), upArrow.back()) << "the up arrow widens from its tip";
    EXPECT_GT(downArrow.front(), downArrow.back()) << "the down arrow narrows to its tip";
    EXPECT_LE(info->ClientRect.right, up.left) << "the text left of the buttons";
    EXPECT_EQ(Screen().ClientPixel(edit->Handle(), up.left + 2, up.top + 2), face);

    const POINT held = edit->ClientToScreen(POINT{(up.left + up.right) / 2, (up.top + up.bottom) / 2});
    Screen().ButtonDown(held);
    Pump();
    EXPECT_EQ(Screen().ClientPixel(edit->Handle(), up.left + 2, up.top + 2), text) << "pressed: filled dark";
    EXPECT_EQ(edit->Text(), "10:31:00") << "the minute under the caret";
    Screen().ButtonUp(held);
    Pump();
}

TEST_F(TimeEditTest, TheEditorIsRegistered)
{
    TcxRegisteredClasses* registered = GetRegisteredEditProperties();
    const TClass cls = registered->FindByClassName("TcxTimeEditProperties");
    ASSERT_EQ(cls, TcxTimeEditProperties::StaticClass());
    EXPECT_EQ(registered->GetDescriptionByClass(cls), "TimeEdit");
}

}  // namespace
