// The date editor: defaults that follow the kind, what values show as
// focused and unfocused, what typed text becomes (saved time, errors,
// bounds, clearing), typing into a masked time, and the drop-down calendar
// as a user opens, reads and closes it.
#include "tests/components/editors/editor_form_fixture.h"

#include <functional>
#include <string>

#include "components/editor-catalogue/cxDateEdit.h"
#include "components/editors/cxDateUtils.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/core/format.h"
#include "platform/windows/winuser.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;

namespace {

const TDateTime kToday = EncodeDate(2004, 3, 17);
const TDateTime kNow = kToday + EncodeTime(10, 30, 0, 0);

// Dates as yyyy-mm-dd, 12-hour times, weeks from Monday.
TFormatSettings LocaleA()
{
    TFormatSettings settings = FixedEnglishLocale();
    settings.ShortDateFormat = "yyyy-MM-dd";
    settings.DateSeparator = '-';
    settings.FirstDayOfWeek = 0;
    return settings;
}

struct DateEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxFormatSettingsUpdate().Reload = [] {};
        cxFormatController()->FormatChanged();
        cxContainerPopupInitialize();
        cxTextEditInitialize();
        cxMaskEditInitialize();
        cxSpinEditInitialize();
        cxTimeEditInitialize();
        cxDateEditInitialize();
        savedNow = cxDateUtils::NowFunc();
        cxDateUtils::NowFunc() = [] { return kNow; };
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        edit = NewEdit();
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxDateUtils::NowFunc() = savedNow;
        cxDateEditFinalize();
        cxTimeEditFinalize();
        cxSpinEditFinalize();
        cxMaskEditFinalize();
        cxTextEditFinalize();
        cxContainerPopupFinalize();
        Screen().SetWorkArea(RECT{});
        cxFormatSettingsUpdate() = savedUpdate;
        locale.reset();
        cxFormatController()->FormatChanged();
        EditorFormTest::TearDown();
    }
    TcxDateEdit* NewEdit()
    {
        ++count;
        auto* e = Add<TcxDateEdit>(form, "Date" + std::to_string(count), 10, 10 + 40 * (count - 1), 180, 24);
        e->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        Pump();
        return e;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }
    std::string Shown(const Variant& value, bool focused)
    {
        Variant shown;
        edit->Properties()->PrepareDisplayValue(value, shown, focused);
        return VarToStr(shown);
    }
    // Types a free text over the whole text and confirms it with Enter.
    void Enter(const std::string& text)
    {
        Focus(edit);
        edit->SelectAll();
        if (text.empty())
            Key(VK_DELETE);
        else
            Screen().TypeText(text);
        Key(VK_RETURN);
        Pump();
    }
    void Open()
    {
        Focus(edit);
        edit->DropDown();
        Pump();
        ASSERT_TRUE(edit->DroppedDown());
    }

    std::optional<ScopedFormatSettings> locale{std::in_place, LocaleA()};
    TcxFormatSettingsUpdate savedUpdate = cxFormatSettingsUpdate();
    std::function<TDateTime()> savedNow;
    TcxDateEdit* edit = nullptr;
    int count = 0;
};

TEST_F(DateEditTest, DefaultsFollowTheKindUntilAssigned)
{
    auto* p = edit->Properties();
    EXPECT_EQ(p->InputKind(), ikRegExpr);
    EXPECT_EQ(p->DateButtons(), (TDateButtons{btnClear, btnToday}));
    EXPECT_EQ(p->MaskKind(), emkRegExprEx);
    p->SetKind(ckDateTime);
    EXPECT_EQ(p->InputKind(), ikMask);
    EXPECT_EQ(p->DateButtons(), (TDateButtons{btnClear, btnNow}));
    EXPECT_EQ(p->MaskKind(), emkStandard);
    EXPECT_EQ(p->EditMask(), cxFormatController()->StandardDateTimeEditMask());
    p->SetInputKind(ikStandard);
    p->SetDateButtons(TDateButtons{btnToday});
    p->SetKind(ckDate);
    EXPECT_EQ(p->InputKind(), ikStandard) << "assigned: the kind no longer decides";
    EXPECT_EQ(p->DateButtons(), TDateButtons{btnToday});
    EXPECT_FALSE(p->IsMasked());

    auto copy = MakeObject<TcxDateEditProperties>(nullptr);
    copy->Assign(p);
    EXPECT_EQ(copy->InputKind(), ikStandard);
    EXPECT_TRUE(copy->IsInputKindStored());
    p->AssignedValues()->RestoreDefaults();
    EXPECT_EQ(p->InputKind(), ikRegExpr);
}

TEST_F(DateEditTest, ValuesShowByFocusKindAndShowTime)
{
    auto* p = edit->Properties();
    p->SetInputKind(ikStandard);
    const TDateTime afternoon = EncodeDate(2004, 5, 17) + EncodeTime(14, 30, 0, 0);
    struct Case {
        const char* name;
        TcxCalendarKind kind;
        bool showTime;
        Variant value;
        bool focused;
        const char* shown;
    };
    const Case cases[] = {
        {"unfocused with time", ckDate, true, Variant::FromDate(afternoon), false, "2004-05-17 2:30:00 PM"},
        {"unfocused midnight", ckDate, true, Variant::FromDate(EncodeDate(2004, 5, 17)), false, "2004-05-17"},
        {"unfocused ShowTime off", ckDate, false, Variant::FromDate(afternoon), false, "2004-05-17"},
        {"focused free text keeps the time", ckDate, true, Variant::FromDate(afternoon), true,
         "2004-05-17 2:30:00 PM"},
        {"Null", ckDate, true, Variant::Null(), false, ""},
        {"a string value", ckDate, true, Variant("2004-05-17"), false, "2004-05-17"},
        {"beyond the year 9999", ckDate, true, Variant::FromDate(EncodeDate(9999, 12, 31) + 400), false, ""},
        {"date and time kind", ckDateTime, true, Variant::FromDate(EncodeDate(2004, 5, 17)), false, "2004-05-17"},
    };
    for (const Case& c : cases) {
        p->SetKind(c.kind);
        p->SetShowTime(c.showTime);
        EXPECT_EQ(Shown(c.value, c.focused), c.shown) << c.name;
    }
    for (const Variant& bad : {Variant(true), Variant("not a date")}) {
        try {
            Shown(bad, false);
            ADD_FAILURE() << "no error for " << VarToStr(bad);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "Could not convert to date");
        }
    }
}

TEST_F(DateEditTest, AFocusedMaskedDateAndTimeShowsNoValueAsTheZeroTime)
{
    auto* p = edit->Properties();
    p->SetKind(ckDateTime);
    const std::string zero = FormatDateTime(cxFormatController()->MaskedDateTimeEditFormat(), 0);
    const std::string shown = Shown(Variant::Null(), true);
    ASSERT_EQ(shown.size(), zero.size());
    EXPECT_EQ(shown.substr(shown.size() - 11), "12:00:00 AM");
    EXPECT_EQ(shown.substr(0, 10), "    -  -  ") << "the date part stays empty";
    EXPECT_EQ(Shown(Variant::FromDate(kNow), true), "2004-03-17 10:30:00 AM");
}

// An emptied time shows its digits as 0, so a date typed over a cleared
// editor is a whole date and time at once; the date keeps its own blank,
// and a cleared text is still no value.
TEST_F(DateEditTest, AClearedMaskedTimeShowsZeroes)
{
    auto* p = edit->Properties();
    p->SetKind(ckDateTime);
    edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 5, 17) + EncodeTime(10, 15, 0, 0)));
    Focus(edit);
    edit->SetSelection(14, 1);
    Key(VK_DELETE);
    Pump();
    EXPECT_EQ(edit->Text(), "2004-05-17 10:05:00 AM") << "a deleted minute digit";
    edit->SelectAll();
    Key(VK_DELETE);
    Pump();
    EXPECT_EQ(edit->Text(), "    -  -   00:00:00   ");
    Key(VK_RETURN);
    Pump();
    EXPECT_TRUE(edit->EditValue().IsNull()) << "cleared, not 1899-12-30";
    Key(VK_HOME);
    Screen().TypeText("20040317");
    Pump();
    EXPECT_EQ(edit->Text(), "2004-03-17 00:00:00   ");
    Key(VK_RETURN);
    Pump();
    ASSERT_FALSE(edit->EditValue().IsNull()) << edit->Text();
    EXPECT_EQ(edit->EditValue().AsDouble(), EncodeDate(2004, 3, 17));
    EXPECT_EQ(edit->Text(), "2004-03-17 12:00:00 AM");

    p->SetKind(ckDate);
    p->SetInputKind(ikMask);
    edit->SelectAll();
    Key(VK_DELETE);
    Pump();
    EXPECT_EQ(edit->Text(), "    -  -  ") << "a date alone keeps the mask's blank";
}

TEST_F(DateEditTest, TypedDatesKeepTheSavedTimeAndClearingGivesNoValue)
{
    auto* p = edit->Properties();
    p->SetInputKind(ikStandard);
    const TDateTime june = EncodeDate(2004, 6, 1);
    struct Case {
        bool saveTime;
        TDateTime expected;
    };
    for (const Case& c : {Case{true, june + EncodeTime(14, 30, 0, 0)}, Case{false, june}}) {
        p->SetSaveTime(c.saveTime);
        edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 5, 17) + EncodeTime(14, 30, 0, 0)));
        Enter("2004-06-01");
        EXPECT_NEAR(edit->EditValue().AsDouble(), c.expected, 1e-9) << "SaveTime " << c.saveTime;
    }
    p->SetSaveTime(true);
    edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 5, 17) + EncodeTime(14, 30, 0, 0)));
    Enter("");
    EXPECT_TRUE(edit->EditValue().IsNull()) << "not 1899-12-30 with the saved time";
    EXPECT_EQ(edit->SavedTime(), 0);
    EXPECT_EQ(edit->Date(), cxCalendarNullDate);
}

TEST_F(DateEditTest, UnreadableTextFollowsDateOnError)
{
    auto* p = edit->Properties();
    p->SetInputKind(ikStandard);
    struct Case {
        TDateOnError onError;
        TcxCalendarKind kind;
        bool error;
        const char* shown;
    };
    const Case cases[] = {
        {deNoChange, ckDate, true, ""},  // the editor's own text stays
        {deToday, ckDate, false, "2004-03-17"},
        {deToday, ckDateTime, false, "2004-03-17 10:30:00 AM"},
        {deNull, ckDate, false, ""},
    };
    Focus(edit);
    for (const Case& c : cases) {
        p->SetDateOnError(c.onError);
        p->SetKind(c.kind);
        p->SetInputKind(ikStandard);
        edit->SetEditValue(Variant::Null());
        Variant display(std::string("garbage"));
        std::string errorText;
        bool error = false;
        p->ValidateDisplayValue(display, errorText, error, edit);
        EXPECT_EQ(error, c.error) << c.onError;
        EXPECT_EQ(VarToStr(display), c.shown) << c.onError;
        if (c.error) {
            EXPECT_EQ(errorText, "Invalid Date");
        }
    }
}

TEST_F(DateEditTest, DatesOutsideMinAndMaxAreRefused)
{
    auto* p = edit->Properties();
    p->SetInputKind(ikStandard);
    p->SetMinDate(EncodeDate(2004, 1, 1));
    p->SetMaxDate(EncodeDate(2004, 12, 31));
    struct Case {
        const char* text;
        bool error;
    };
    for (const Case& c : {Case{"2003-12-31", true}, Case{"2005-01-01", true}, Case{"2004-06-01", false}}) {
        Variant display(std::string(c.text));
        std::string errorText;
        bool error = false;
        p->ValidateDisplayValue(display, errorText, error, edit);
        EXPECT_EQ(error, c.error) << c.text;
        if (c.error) {
            EXPECT_EQ(errorText, "Value out of bounds") << c.text;
        }
    }
}

TEST_F(DateEditTest, TheMaskFollowsALocaleChange)
{
    auto* p = edit->Properties();
    p->SetInputKind(ikMask);
    const std::string before = p->EditMask();
    TFormatSettings dotted = LocaleA();
    dotted.ShortDateFormat = "dd.MM.yyyy";
    dotted.DateSeparator = '.';
    locale.emplace(dotted);
    cxFormatController()->FormatChanged();
    EXPECT_NE(p->EditMask(), before);
    EXPECT_EQ(p->EditMask(), cxFormatController()->StandardDateEditMask());
    edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 5, 17)));
    EXPECT_EQ(Shown(edit->EditValue(), false), "17.05.2004");
}

TEST_F(DateEditTest, HoursAndDesignatorTypedIntoAMaskedTime)
{
    auto* p = edit->Properties();
    p->SetKind(ckDateTime);
    Focus(edit);
    edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 3, 17) + EncodeTime(10, 15, 0, 0)));
    Pump();
    const std::string start = edit->Text();
    ASSERT_EQ(start, "2004-03-17 10:15:00 AM");
    struct Case {
        const char* name;
        int caret;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {"0 over 10 moves the 1 on", 11, "0", "2004-03-17 01:15:00 AM"},
        {"5 as the first hour digit", 11, "5", "2004-03-17 05:15:00 AM"},
        {"7 after 2 in the hour", 11, "27", "2004-03-17 07:15:00 AM"},
        {"p writes PM", 20, "p", "2004-03-17 10:15:00 PM"},
        {"x is refused", 20, "x", "2004-03-17 10:15:00 AM"},
    };
    for (const Case& c : cases) {
        edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 3, 17) + EncodeTime(10, 15, 0, 0)));
        Pump();
        edit->SetSelection(c.caret, 1);
        Screen().TypeText(c.typed);
        Pump();
        EXPECT_EQ(edit->Text(), c.shown) << c.name;
    }
}

TEST_F(DateEditTest, TheCalendarOpensOnTodayBelowTheEditor)
{
    Open();
    TcxPopupCalendar* calendar = edit->Calendar();
    EXPECT_EQ(calendar->SelectDate(), kToday) << "an empty editor opens on today";
    EXPECT_EQ(calendar->FirstDate(), EncodeDate(2004, 3, 1));
    const RECT popup = edit->PopupWindow()->BoundsRect();
    const POINT editorBottom = edit->ClientToScreen(POINT{0, edit->Height()});
    EXPECT_GE(popup.top, editorBottom.y - 1) << "below the editor";

    // What the user sees: today outlined in maroon and selected.
    const RECT cell = calendar->CellRect(3, 2);  // 2004-03-17: a Wednesday, weeks from Monday
    ASSERT_EQ(calendar->PosToDateTime(POINT{cell.left + 1, cell.top + 1}), kToday);
    const POINT corner = calendar->ClientToScreen(POINT{cell.left, cell.top});
    const std::uint32_t maroon = 0x800000;
    EXPECT_EQ(Screen().ScreenPixel(corner.x, corner.y), maroon);
    EXPECT_EQ(Screen().ScreenPixel(corner.x + (cell.right - cell.left) - 1, corner.y + 2), maroon);
    EXPECT_EQ(Screen().ScreenPixel(corner.x + 1, corner.y + 1), Rgb(ColorToRGB(clHighlight)));
    const RECT other = calendar->CellRect(4, 2);
    const POINT otherCorner = calendar->ClientToScreen(POINT{other.left + 1, other.top + 1});
    EXPECT_EQ(Screen().ScreenPixel(otherCorner.x, otherCorner.y), Rgb(ColorToRGB(calendar->Color())));
}

// The drop-down's time editor takes the editor's look and feel: changing
// it while the calendar is open repaints it in the new kind.
TEST_F(DateEditTest, TheCalendarsTimeEditorFollowsTheEditorsLookAndFeel)
{
    edit->Properties()->SetKind(ckDateTime);
    edit->Style()->LookAndFeel()->SetNativeStyle(false);
    edit->Style()->LookAndFeel()->SetKind(lfStandard);
    Open();
    TcxPopupCalendar* calendar = edit->Calendar();
    TcxButton* now = calendar->NowButton();
    ASSERT_TRUE(now->Visible());
    TcxTimeEdit* time = calendar->TimeEdit();
    auto frame = [&](int inset) {
        const POINT p = time->ClientToScreen(POINT{inset, inset});
        return Screen().ScreenPixel(p.x, p.y);
    };
    EXPECT_EQ(frame(1), Rgb(ColorToRGB(cl3DDkShadow))) << "the time editor's sunken frame";
    edit->Style()->LookAndFeel()->SetKind(lfUltraFlat);
    Pump();
    EXPECT_NE(frame(0), Rgb(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(frame(1), Rgb(ColorToRGB(clBtnShadow))) << "one flat line";
}

TEST_F(DateEditTest, KeysInTheOpenCalendarTakeOrKeepTheValue)
{
    const TDateTime start = EncodeDate(2004, 5, 17);
    struct Case {
        const char* name;
        WORD key;
        bool postOnTab;
        TDateTime expected;
    };
    const Case cases[] = {
        {"Escape keeps", VK_ESCAPE, false, start},
        {"Enter takes", VK_RETURN, false, start + 1},
        {"Tab keeps by default", VK_TAB, false, start},
        {"Tab takes when asked", VK_TAB, true, start + 1},
    };
    for (const Case& c : cases) {
        edit->Properties()->SetPostPopupValueOnTab(c.postOnTab);
        edit->SetEditValue(Variant::FromDate(start));
        Open();
        Key(VK_RIGHT);
        EXPECT_EQ(edit->Calendar()->SelectDate(), start + 1) << c.name;
        Key(c.key);
        Pump();
        EXPECT_FALSE(edit->DroppedDown()) << c.name;
        EXPECT_EQ(edit->Date(), c.expected) << c.name;
    }
}

TEST_F(DateEditTest, CloseKeysReachTheCalendarFromItsTimeEditorAndButtons)
{
    edit->Properties()->SetKind(ckDateTime);
    const TDateTime start = EncodeDate(2004, 5, 17) + EncodeTime(9, 0, 0, 0);
    struct Case {
        const char* name;
        int modifier;  // 0: none
        WORD key;
        bool closes;
    };
    const Case cases[] = {
        {"Escape", 0, VK_ESCAPE, true},
        {"Alt+Down", VK_MENU, VK_DOWN, true},
        {"F4", 0, VK_F4, true},
        {"Down alone stays", 0, VK_DOWN, false},
    };
    for (const Case& c : cases) {
        edit->SetEditValue(Variant::FromDate(start));
        Open();
        ASSERT_TRUE(edit->PopupWindow()->KeyPreview());
        Focus(edit->Calendar()->TimeEdit());
        if (c.modifier)
            KeyWith(c.modifier, c.key);
        else
            Key(c.key);
        Pump();
        EXPECT_EQ(edit->DroppedDown(), !c.closes) << c.name;
        EXPECT_NEAR(edit->Date(), start, 1e-9) << c.name << ": the value stays";
        if (edit->DroppedDown()) {
            edit->CloseUp(false);
            Pump();
        }
    }
}

TEST_F(DateEditTest, AClickOnADayMakesItTheValue)
{
    edit->SetEditValue(Variant::FromDate(EncodeDate(2004, 5, 17) + EncodeTime(14, 30, 0, 0)));
    Open();
    TcxPopupCalendar* calendar = edit->Calendar();
    const TDateTime target = EncodeDate(2004, 5, 20);
    POINT at{};
    for (int r = 0; r < 6; ++r)
        for (int col = 0; col < 7; ++col) {
            const RECT cell = calendar->CellRect(r, col);
            if (calendar->PosToDateTime(POINT{cell.left + 2, cell.top + 2}) == target)
                at = calendar->ClientToScreen(POINT{cell.left + 2, cell.top + 2});
        }
    Screen().Click(at);
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_NEAR(edit->Date(), target + EncodeTime(14, 30, 0, 0), 1e-9) << "the day, with the saved time";
}

// Buttons are written only when set, and a loaded editor's calendar shows
// the ones it was given.
TEST_F(DateEditTest, AssignedDateButtonsRoundTripThroughAFormResource)
{
    edit->Properties()->SetDateButtons(TDateButtons{btnClear});
    TcxDateEdit* plain = NewEdit();
    const std::string text = WriteFormResource(form);
    EXPECT_NE(text.find("DateButtons = [btnClear]"), std::string::npos) << text;
    EXPECT_EQ(text.find("DateButtons"), text.rfind("DateButtons")) << "the other editor keeps its kind's:\n" << text;

    RegisterClasses({TForm::StaticClass(), TcxDateEdit::StaticClass()});
    ObjectPtr<TComponent> loaded(CreateFromFormResource(text, "date.form", nullptr));
    auto* copy = As<TcxDateEdit>(loaded->FindComponent(edit->Name()));
    auto* plainCopy = As<TcxDateEdit>(loaded->FindComponent(plain->Name()));
    ASSERT_NE(copy, nullptr) << text;
    ASSERT_NE(plainCopy, nullptr) << text;
    EXPECT_EQ(copy->Properties()->DateButtons(), TDateButtons{btnClear});
    EXPECT_TRUE(copy->Properties()->IsDateButtonsStored());
    EXPECT_FALSE(plainCopy->Properties()->IsDateButtonsStored());
    plainCopy->Properties()->SetKind(ckDateTime);
    EXPECT_EQ(plainCopy->Properties()->DateButtons(), (TDateButtons{btnClear, btnNow})) << "still the kind's";

    As<TForm>(loaded.get())->Show();
    Pump();
    edit = copy;
    Open();
    TcxPopupCalendar* calendar = copy->Calendar();
    EXPECT_TRUE(calendar->ClearButton()->Visible());
    EXPECT_FALSE(calendar->TodayButton()->Visible()) << "the kind's default is not used";
    copy->CloseUp(false);
    Pump();
}

TEST_F(DateEditTest, TheEditorIsRegistered)
{
    TcxRegisteredClasses* registered = GetRegisteredEditProperties();
    const TClass cls = registered->FindByClassName("TcxDateEditProperties");
    ASSERT_EQ(cls, TcxDateEditProperties::StaticClass());
    EXPECT_EQ(registered->GetDescriptionByClass(cls), "DateEdit");
}

}  // namespace
