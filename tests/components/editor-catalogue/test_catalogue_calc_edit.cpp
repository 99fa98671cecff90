// The calculator editor: how numbers show (general, scientific, grouped,
// precision), which typed characters it takes, what text becomes as a
// value, and the drop-down keypad as a user drives it.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>

#include "components/editor-catalogue/cxCalc.h"
#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// A data field's defaults with a precision of its own.
class PrecisionProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass()
    {
        return DefineClass<PrecisionProvider, TcxCustomEditDefaultValuesProvider>("TestPrecisionProvider");
    }
    TClass ClassType() const override { return StaticClass(); }
    int DefaultPrecision() override { return precision; }
    int precision = 18;
};

TFormatSettings Locale(char thousands, char decimal)
{
    TFormatSettings settings = EnglishFormatSettings();
    settings.ThousandSeparator = thousands;
    settings.DecimalSeparator = decimal;
    return settings;
}

struct CalcEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        cxCalcEditInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        edit = Add<TcxCalcEdit>(form, "Calc", 10, 10, 160, 24);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        Pump();
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxCalcEditFinalize();
        cxContainerPopupFinalize();
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
    }
    std::string Shown(const Variant& value, bool focused = false)
    {
        Variant display;
        edit->Properties()->PrepareDisplayValue(value, display, focused);
        return VarToStr(display);
    }
    void Focus()
    {
        edit->SetFocus();
        Pump();
    }
    void OpenKeypad()
    {
        Focus();
        edit->DropDown();
        Pump();
        ASSERT_TRUE(edit->DroppedDown());
    }
    // Presses each character on the focused keypad.
    void Type(const std::string& keys)
    {
        Screen().TypeText(keys);
        Pump();
    }

    TcxCalcEdit* edit = nullptr;
};

TEST_F(CalcEditTest, IsRegisteredAndStartsWithItsDefaults)
{
    TcxRegisteredClasses* kinds = GetRegisteredEditProperties();
    EXPECT_EQ(kinds->FindByClassName("TcxCalcEditProperties"), TcxCalcEditProperties::StaticClass());
    EXPECT_EQ(kinds->GetDescriptionByClass(TcxCalcEditProperties::StaticClass()), "CalcEdit");
    TcxCalcEditProperties* p = edit->Properties();
    EXPECT_TRUE(p->BeepOnError());
    EXPECT_EQ(p->Precision(), 15);
    EXPECT_FALSE(p->IsPrecisionStored());
    EXPECT_FALSE(p->PopupSizeable());
    EXPECT_FALSE(p->ImmediateDropDown());
    EXPECT_EQ(p->PopupControl(), edit->Calculator());
    EXPECT_EQ(edit->Value(), 0.0L);
}

TEST_F(CalcEditTest, ShowsNumbersInTheChosenFormat)
{
    struct Case {
        bool scientific;
        bool grouped;
        int precision;  // 0: unassigned
        char thousands, decimal;
        double value;
        const char* shown;
    };
    const Case cases[] = {
        {true, false, 15, ',', '.', 120.3, "1.203E+2"},  // fraction zeros go, inner ones stay
        {true, false, 15, ',', '.', 100, "1E+2"},        // and the separator with them
        {true, false, 15, ',', '.', 0.00012, "1.2E-4"},
        {true, true, 15, ',', '.', 123456, "1.23456E+5"},  // no grouping in scientific form
        {false, true, 0, ',', '.', 1234.5, "1,234.5"},
        {false, true, 0, '.', ',', 1234567.25, "1.234.567,25"},
        {false, false, 0, ',', '.', 1234.5, "1234.5"},
        {false, false, 3, ',', '.', 3.14159, "3.14"},
        {false, false, 0, ',', '.', -0.5, "-0.5"},
    };
    for (const Case& c : cases) {
        ScopedFormatSettings locale(Locale(c.thousands, c.decimal));
        edit->Properties()->SetScientificFormat(c.scientific);
        edit->Properties()->SetUseThousandSeparator(c.grouped);
        edit->Properties()->AssignedValues()->SetPrecision(false);
        if (c.precision) edit->Properties()->SetPrecision(c.precision);
        EXPECT_EQ(Shown(Variant(c.value)), c.shown) << c.value;
        EXPECT_EQ(Shown(Variant(c.value), true), c.shown) << c.value;
    }
    EXPECT_EQ(Shown(Variant::Null()), "");
}

TEST_F(CalcEditTest, ADisplayFormatShowsOnlyWhileUnfocused)
{
    edit->Properties()->SetDisplayFormat("0.00");
    EXPECT_EQ(Shown(Variant(2.5)), "2.50");
    EXPECT_EQ(Shown(Variant(2.5), true), "2.5");
}

TEST_F(CalcEditTest, TextBecomesANumberOrNull)
{
    struct Case {
        bool grouped;
        const char* text;
        bool isNull;
        double value;
    };
    const Case cases[] = {
        {true, "1,234.5", false, 1234.5},  // typed back as it was shown
        {false, " 42 ", false, 42},
        {false, "", true, 0},
        {false, "   ", true, 0},
        {false, "4x", true, 0},
        {false, "1,234.5", true, 0},  // separators stay without grouping
    };
    for (const Case& c : cases) {
        edit->Properties()->SetUseThousandSeparator(c.grouped);
        Variant value;
        edit->PrepareEditValue(Variant(std::string(c.text)), value, true);
        EXPECT_EQ(VarIsNull(value), c.isNull) << c.text;
        if (!c.isNull) {
            EXPECT_EQ(value.AsDouble(), c.value) << c.text;
        }
    }
}

TEST_F(CalcEditTest, TakesOnlyCharactersThatLeaveANumber)
{
    struct Case {
        const char* text;
        int selStart, selLength;
        const char* typed;
        const char* result;
        unsigned beeps;
    };
    const Case cases[] = {
        {"1", 1, 0, "e", "1", 1},            // "1e" is no number
        {"15", 1, 0, "E", "1E5", 0},         // but "1E5" is
        {"", 0, 0, "-", "-", 0},             // a lone leading minus
        {"12", 0, 2, "-", "-", 0},           // also over a selection of everything
        {"1", 1, 0, ",", "1.", 0},           // comma types the decimal separator
        {"1e-33", 5, 0, "0", "1e-33", 1},    // 1e-330 is below a double
        {"1.8e30", 6, 0, "8", "1.8e30", 1},  // 1.8e308 is above it
        {"1.7e30", 6, 0, "8", "1.7e308", 0},
        {"", 0, 0, "0", "0", 0},
        {"12", 1, 0, "a", "12", 1},
        {"12", 2, 0, "+", "12", 1},
    };
    Focus();
    for (const Case& c : cases) {
        edit->SetEditingText(c.text);
        edit->SetSelStart(c.selStart);
        edit->SetSelLength(c.selLength);
        const unsigned beeps = Screen().BeepCount();
        Screen().TypeText(c.typed);
        Pump();
        EXPECT_EQ(edit->Text(), c.result) << c.text << " + " << c.typed;
        EXPECT_EQ(Screen().BeepCount() - beeps, c.beeps) << c.text << " + " << c.typed;
    }
    edit->Properties()->SetBeepOnError(false);
    const unsigned beeps = Screen().BeepCount();
    Screen().TypeText("x");
    Pump();
    EXPECT_EQ(Screen().BeepCount(), beeps);
}

TEST_F(CalcEditTest, AGermanLocaleTypesAndReadsItsOwnSeparators)
{
    ScopedFormatSettings locale(Locale('.', ','));
    Focus();
    edit->SetEditingText("");
    Screen().TypeText("3.5");  // the point types the locale's comma
    Pump();
    EXPECT_EQ(edit->Text(), "3,5");
    Variant value;
    edit->PrepareEditValue(Variant(edit->Text()), value, true);
    EXPECT_EQ(value.AsDouble(), 3.5);
}

TEST_F(CalcEditTest, PrecisionComesFromTheAssignedValueOrTheProviderCappedAt15)
{
    auto* provider = CreateObject<PrecisionProvider>();
    TcxCalcEditProperties* p = edit->Properties();
    p->SetIDefaultValuesProvider(provider);
    EXPECT_EQ(p->Precision(), 15);  // the field's 18, capped
    provider->precision = 6;
    EXPECT_EQ(p->Precision(), 6);
    p->SetPrecision(9);
    EXPECT_EQ(p->Precision(), 9);
    EXPECT_TRUE(p->IsPrecisionStored());
    p->SetPrecision(20);
    EXPECT_EQ(p->Precision(), 15);
    Pump();
    EXPECT_EQ(edit->Calculator()->Precision(), 15);

    auto* copy = CreateObject<TcxCalcEditProperties>(nullptr);
    copy->Assign(p);
    EXPECT_TRUE(copy->IsPrecisionStored());
    EXPECT_EQ(copy->Precision(), 15);
    p->AssignedValues()->SetPrecision(false);
    copy->Assign(p);
    EXPECT_FALSE(copy->IsPrecisionStored());
    copy->Free();
    p->SetIDefaultValuesProvider(nullptr);
    provider->Free();
}

TEST_F(CalcEditTest, StrToFloatExKeepsToTheRangeOfADouble)
{
    struct Case {
        const char* text;
        bool accepted;
        long double value;
    };
    const Case cases[] = {
        {"0", true, 0},        {"1,234", true, 1234}, {"1e-330", false, 0}, {"1.8e308", false, 0},
        {"-1.7e308", true, -1.7e308L}, {"5e-324", true, 5e-324L},  {"abc", false, 0}, {"", false, 0},
    };
    for (const Case& c : cases) {
        long double value = -1;
        EXPECT_EQ(TcxCustomCalcEditProperties::StrToFloatEx(c.text, value), c.accepted) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST_F(CalcEditTest, TheKeypadWritesTheTextAndClosesOnEnterOrQuickEquals)
{
    struct Case {
        bool quickClose;
        const char* keys;
        bool open;
        const char* text;
    };
    const Case cases[] = {
        {false, "7*6=", true, "42"},
        {true, "7*6=", false, "42"},
        {false, "7*6\r", false, "42"},
        {false, "1/0\r", false, "0"},  // an error closes as 0
    };
    for (const Case& c : cases) {
        edit->Properties()->SetQuickClose(c.quickClose);
        edit->SetValue(0);
        OpenKeypad();
        edit->Calculator()->ButtonClick(cbClear);
        Type(c.keys);
        EXPECT_EQ(edit->DroppedDown(), c.open) << c.keys;
        EXPECT_EQ(edit->Text(), c.text) << c.keys;
        if (edit->DroppedDown()) {
            Screen().PressKey(VK_ESCAPE);
            Pump();
        }
        EXPECT_FALSE(edit->DroppedDown()) << c.keys;
        Screen().PressKey(VK_RETURN);  // the editor validates what the keypad wrote
        Pump();
        EXPECT_EQ(edit->Value(), std::stold(c.text)) << c.keys;
    }
}

TEST_F(CalcEditTest, ClosingKeysOfTheKeypad)
{
    const std::pair<int, int> keys[] = {{0, VK_ESCAPE}, {0, VK_F4}, {VK_MENU, VK_UP}, {VK_MENU, VK_DOWN}};
    for (const auto& [modifier, key] : keys) {
        OpenKeypad();
        if (modifier) KeyWith(modifier, key);
        else Screen().PressKey(key);
        Pump();
        EXPECT_FALSE(edit->DroppedDown()) << key;
    }
}

TEST_F(CalcEditTest, AReadOnlyEditorDoesNotDropDown)
{
    edit->Properties()->SetReadOnly(true);
    Focus();
    edit->DropDown();
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
}

TEST_F(CalcEditTest, TheKeypadShowsBelowTheEditorInItsFont)
{
    OpenKeypad();
    TcxPopupCalculator* calc = edit->Calculator();
    HWND popup = edit->PopupWindow()->Handle();
    RECT popupRect{}, editRect{};
    GetWindowRect(popup, &popupRect);
    GetWindowRect(edit->Handle(), &editRect);
    EXPECT_EQ(popupRect.top, editRect.bottom);
    EXPECT_EQ(popupRect.left, editRect.left);
    // The keypad was sized from the editor's 16-pixel face.
    EXPECT_GT(calc->BtnHeight(), 22);
    // A digit key is a button face with its caption in blue, also where the
    // editor would lie were the popup at the screen's corner: the part the
    // popup leaves out over its editor follows where the popup lies.
    const RECT key = calc->Button(cbNum7).BtnRect;
    const POINT inPopup = calc->ClientToScreen(POINT{(key.left + key.right) / 2, key.top + 3});
    POINT client = inPopup;
    ScreenToClient(popup, &client);
    EXPECT_EQ(Screen().ClientPixel(popup, client.x, client.y), Rgb(ColorToRGB(clBtnFace)));
    int blue = 0;
    for (int y = key.top; y < key.bottom; ++y)
        for (int x = key.left; x < key.right; ++x) {
            POINT p = calc->ClientToScreen(POINT{x, y});
            ScreenToClient(popup, &p);
            blue += Screen().ClientPixel(popup, p.x, p.y) == 0x0000FF;
        }
    EXPECT_GT(blue, 0);
}

}  // namespace
