// The calculator keypad: its arithmetic with pending operators, memory,
// digit limit and error lock, the clipboard, its layout and size, and the
// keys, the mouse and the focus look on a form.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <sstream>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxCalc.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/visual/clipboard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

// The number lives in a string, as the calculator editor keeps it.
class TTextCalculator : public TcxCustomCalculator {
public:
    static TClass StaticClass() { return DefineClass<TTextCalculator, TcxCustomCalculator>("TTextCalculator"); }
    TClass ClassType() const override { return StaticClass(); }
    std::string GetEditorValue() override { return text; }
    void SetEditorValue(const std::string& value) override { text = value; }
    std::string text;
};

TcxCalcButtonKind KindOf(const std::string& token)
{
    static const std::vector<std::pair<std::string, TcxCalcButtonKind>> names = {
        {"Back", cbBack}, {"CE", cbCancel}, {"C", cbClear}, {"MC", cbMC}, {"MR", cbMR}, {"MS", cbMS},
        {"M+", cbMP}, {"+/-", cbSign}, {".", cbDecimal}, {"/", cbDiv}, {"*", cbMul}, {"-", cbSub},
        {"+", cbAdd}, {"sqrt", cbSqrt}, {"%", cbPercent}, {"1/x", cbRev}, {"=", cbEqual}};
    for (const auto& [name, kind] : names)
        if (name == token) return kind;
    return static_cast<TcxCalcButtonKind>(cbNum0 + (token[0] - '0'));
}

class Calculator : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        form = NewForm(300, 200);
        calc = Add<TTextCalculator>(form, "Calc", 10, 10, 198, 131);
        calc->OnCalcResult = TNotifyEvent::FromFunction([this](TObject*) { ++results; });
    }
    // Presses the buttons of a space-separated list; returns the texts
    // shown after each press.
    std::vector<std::string> Press(const std::string& keys)
    {
        std::vector<std::string> shown;
        std::istringstream in(keys);
        for (std::string token; in >> token;) {
            calc->ButtonClick(KindOf(token));
            shown.push_back(calc->text);
        }
        return shown;
    }
    std::string Result(const std::string& keys) { return Press(keys).back(); }

    hostlib::ScopedFormatSettings dollars_{[] {
        TFormatSettings fs = FormatSettings();
        fs.DecimalSeparator = '.';
        fs.ThousandSeparator = ',';
        fs.CurrencyString = "$";
        return fs;
    }()};
    TTextCalculator* calc = nullptr;
    int results = 0;
};

TEST_F(Calculator, ArithmeticWithPendingOperatorsAndUnaryOperations)
{
    struct Case {
        const char* keys;
        const char* shown;
    };
    const Case cases[] = {
        {"1 2 + 3 =", "15"},
        {"5 * 3 %", "0.15"},
        {"1 / 3 =", "0.333333333333333"},
        {"2 sqrt", "1.4142135623731"},
        {"4 1/x", "0.25"},
        {"2 + 9 sqrt 4 =", "6"},  // the root is replaced by the next number
        {"2 + 9 sqrt =", "5"},
        {"7 MS C MR 3", "3"},
        {"7 MS C MR +/- . 5", "0.5"},
        {"5 +/- Back", "0"},
        {"1 2 Back", "1"},
        {"1 . . 5", "1.5"},
        {"9 - 4 = =", "5"},
        {"3 + 4 CE 2 =", "2"},
    };
    for (const Case& c : cases) {
        calc->CreateLayout();
        calc->ButtonClick(cbClear);
        EXPECT_EQ(Result(c.keys), c.shown) << c.keys;
    }
    calc->ButtonClick(cbClear);
    EXPECT_EQ(Press("2 + 3 + 4 ="), (std::vector<std::string>{"2", "2", "3", "5", "4", "9"}));
}

TEST_F(Calculator, PercentShowsAtOnceAndEqualsComputesNothingMore)
{
    EXPECT_EQ(Result("5 + 3 %"), "5.15");
    EXPECT_EQ(results, 1);
    EXPECT_EQ(calc->Status(), csFirst);
    EXPECT_EQ(Result("="), "5.15");
    EXPECT_EQ(results, 2);
}

TEST_F(Calculator, AnErrorLocksTheKeypadUntilAClearKey)
{
    for (const char* keys : {"8 / 0 =", "4 +/- sqrt", "0 1/x"}) {
        calc->ButtonClick(cbClear);
        const unsigned beeps = MessageBeepCount();
        EXPECT_EQ(Result(keys), "Error") << keys;
        EXPECT_EQ(calc->Status(), csError);
        EXPECT_EQ(MessageBeepCount(), beeps + 1);
        EXPECT_EQ(Result("5"), "Error");
        EXPECT_EQ(MessageBeepCount(), beeps + 2);
        EXPECT_EQ(Result("C"), "0");
        EXPECT_EQ(Result("5"), "5");
    }
    calc->SetBeepOnError(false);
    const unsigned beeps = MessageBeepCount();
    Press("8 / 0 =");
    EXPECT_EQ(MessageBeepCount(), beeps);
}

TEST_F(Calculator, DigitsStopAtThePrecisionWithOneMoreAfterAMinus)
{
    EXPECT_EQ(Result("1 2 3 4 5 6 7 8 9 1 2 3 4 5 6"), "123456789123456");
    const unsigned beeps = MessageBeepCount();
    EXPECT_EQ(Result("7"), "123456789123456");
    EXPECT_EQ(MessageBeepCount(), beeps + 1);
    calc->ButtonClick(cbClear);
    EXPECT_EQ(Result("1 +/- 2 3 4 5 6 7 8 9 1 2 3 4 5 6"), "-123456789123456");
    EXPECT_EQ(Result("7"), "-123456789123456");
}

TEST_F(Calculator, MemoryButtonsAreDisabledWhileTheMemoryIsZero)
{
    EXPECT_TRUE(calc->Button(cbMC).Disabled);
    EXPECT_TRUE(calc->Button(cbMR).Disabled);
    Press("4 M+");
    EXPECT_FALSE(calc->Button(cbMR).Disabled);
    Press("3 M+");
    EXPECT_EQ(calc->Memory(), 7);
    Press("MC");
    EXPECT_TRUE(calc->Button(cbMC).Disabled);
    Press("0 MS");
    EXPECT_TRUE(calc->Button(cbMR).Disabled);
}

TEST_F(Calculator, PastingDropsTheCurrencyAndFallsBackToZero)
{
    const struct {
        const char* clip;
        const char* shown;
    } cases[] = {{"$12.50", "12.5"}, {" 3 ", "3"}, {"abc", "0"}, {"1e9999", "0"}};
    for (const auto& c : cases) {
        Clipboard()->SetAsText(c.clip);
        calc->PasteFromClipboard();
        EXPECT_EQ(calc->text, c.shown) << c.clip;
    }
    Clipboard()->SetAsText("$12.50");
    calc->PasteFromClipboard();
    EXPECT_EQ(Result("4"), "12.54") << "a pasted number is being entered";
    calc->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), "12.54");
}

TEST_F(Calculator, LayoutAndSize)
{
    calc = CreateObject<TTextCalculator>(form);  // as constructed, never sized
    const int columns[] = {41, 72, 103, 134, 165};
    const int rows[] = {28, 53, 78, 103};
    const TcxCalcButtonKind lastRow[] = {cbNum0, cbSign, cbDecimal, cbAdd, cbEqual};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(calc->Button(lastRow[c]).BtnRect.left, columns[c]);
        EXPECT_EQ(calc->Button(lastRow[c]).BtnRect.top, rows[3]);
        EXPECT_EQ(calc->Button(lastRow[c]).BtnRect.right - columns[c], 28);
    }
    EXPECT_EQ(calc->Button(cbNum7).BtnRect.top, rows[0]);
    EXPECT_EQ(calc->Button(cbMul).BtnRect.top, rows[1]);
    EXPECT_EQ(calc->Button(cbRev).BtnRect.top, rows[2]);
    EXPECT_EQ(calc->Button(cbMC).BtnRect.top, rows[0]);
    EXPECT_EQ(calc->Button(cbMC).BtnRect.left, 3);
    EXPECT_EQ(calc->Button(cbMP).BtnRect.right, 31);
    const RECT back{46, 3, 93, 25}, cancel{96, 3, 143, 25}, clear{146, 3, 193, 25};
    EXPECT_TRUE(EqualRect(&calc->Button(cbBack).BtnRect, &back));
    EXPECT_TRUE(EqualRect(&calc->Button(cbCancel).BtnRect, &cancel));
    EXPECT_TRUE(EqualRect(&calc->Button(cbClear).BtnRect, &clear));
    EXPECT_EQ(calc->GetButtonKindAt(50, 10), cbBack);
    EXPECT_EQ(calc->GetButtonKindAt(35, 10), cbNone);

    calc->CalcSize(198, 131);
    EXPECT_EQ(calc->BtnWidth(), 29);
    EXPECT_EQ(calc->BtnHeight(), 23);
    EXPECT_EQ(calc->LargeBtnWidth(), 49);
    EXPECT_EQ(calc->CalcWidth(), 202);
    EXPECT_EQ(calc->CalcHeight(), 133);
    calc->CalcSize(100, 500);  // the width limits the height; never below 22
    EXPECT_EQ(calc->BtnHeight(), 22);
    calc->CalcSize(396, 262);
    EXPECT_EQ(calc->BtnHeight(), 45);
}

TEST_F(Calculator, KeysMouseAndTheFocusLookOnAForm)
{
    form->Show();
    calc->SetFocus();
    Pump();
    Screen().TypeText("12+3");
    Screen().PressKey(VK_RETURN);
    Pump();
    EXPECT_EQ(calc->text, "15");
    Screen().PressKey(VK_ESCAPE);
    Screen().TypeText("987");
    Pump();
    Screen().KeyDown(VK_BACK);  // held: the keyboard repeats it
    Screen().KeyDown(VK_BACK);
    Screen().KeyUp(VK_BACK);
    Pump();
    EXPECT_EQ(calc->text, "9");
    for (int i = 0; i < 3; ++i) Screen().KeyDown('7');  // held: one digit
    Screen().KeyUp('7');
    Pump();
    EXPECT_EQ(calc->text, "97");

    calc->ButtonClick(cbClear);
    const RECT five = calc->Button(cbNum5).BtnRect;
    ClickAt(calc, five.left + 5, five.top + 5);
    Pump();
    EXPECT_EQ(calc->text, "5");
    Screen().ButtonDown(At(calc, five.left + 5, five.top + 5));
    Pump();
    EXPECT_TRUE(calc->Button(cbNum5).Down);
    Screen().MoveMouse(At(calc, 2, 2));
    Pump();
    EXPECT_FALSE(calc->Button(cbNum5).Down);
    Screen().ButtonUp(At(calc, 2, 2));
    Pump();
    EXPECT_EQ(calc->text, "5") << "released away from the button";

    // The focus rectangle of "=" lies 3 pixels inside it.
    const RECT eq = calc->Button(cbEqual).BtnRect;
    auto focusRow = [&] {
        std::vector<std::uint32_t> row;
        for (int x = eq.left + 3; x < eq.right - 3; ++x) row.push_back(Pixel(calc, x, eq.top + 3));
        return row;
    };
    const std::vector<std::uint32_t> focused = focusRow();
    const std::uint32_t outside = Pixel(calc, eq.left + 2, eq.top + 2);
    calc->SetShowFocusRect(false);
    Pump();
    const std::vector<std::uint32_t> plain = focusRow();
    EXPECT_NE(focused, plain);
    EXPECT_EQ(Pixel(calc, eq.left + 2, eq.top + 2), outside);
}

}  // namespace
