// The currency editor: what typing may add to the text in two locales, the
// value of empty and null texts, the clamp of Value, and what shows
// unfocused.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>

#include "components/editor-catalogue/cxCurrencyEdit.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/core/format.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;

namespace {

TFormatSettings CommaLocale()
{
    TFormatSettings s = FixedEnglishLocale();
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    return s;
}

struct CurrencyEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxTextEditInitialize();
        cxCurrencyEditInitialize();
    }
    void TearDown() override
    {
        EditorFormTest::TearDown();
        cxCurrencyEditFinalize();
        cxTextEditFinalize();
    }
    TcxCurrencyEdit* NewEdit()
    {
        ++count;
        auto* edit = Add<TcxCurrencyEdit>(form, "Currency" + std::to_string(count), 10, 10 + 40 * count, 150, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        Pump();
        return edit;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }

    hostlib::ScopedFormatSettings locale{FixedEnglishLocale()};
    int count = 0;
};

TEST_F(CurrencyEditTest, TypingKeepsTheTextANumberWithAtMostTheDecimalPlaces)
{
    struct Case {
        const char* name;
        bool commaLocale;
        bool thousands;
        const char* typed;
        const char* shown;
        unsigned beeps;
    };
    const Case cases[] = {
        {"left to right through a trailing point", false, false, "12.5", "12.5", 0},
        {"third decimal refused", false, false, "1.234", "1.23", 1},
        {"an exponent is not typed from the left", false, false, "1e", "1", 1},
        {"minus on empty text", false, false, "-3", "-3", 0},
        {"letters refused", false, false, "a1", "1", 1},
        {"comma types the point", false, false, "1,5", "1.5", 0},
        {"comma is the thousand separator when grouping", false, true, "1,000", "1,000", 0},
        {"comma is the decimal separator", true, false, "2,25", "2,25", 0},
        {"point types the comma there", true, false, "2.5", "2,5", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedFormatSettings scope(c.commaLocale ? CommaLocale() : FixedEnglishLocale());
        TcxCurrencyEdit* edit = NewEdit();
        edit->Properties()->SetUseThousandSeparator(c.thousands);
        Focus(edit);
        const unsigned beeps = Screen().BeepCount();
        Screen().TypeText(c.typed);
        Pump();
        EXPECT_EQ(edit->Text(), c.shown);
        EXPECT_EQ(Screen().BeepCount() - beeps, c.beeps);
    }
}

TEST_F(CurrencyEditTest, EmptyAndNullTextsGiveNullOrZero)
{
    TcxCurrencyEdit* edit = NewEdit();
    auto* p = edit->Properties();
    p->SetNullString("n/a");
    struct Case {
        const char* text;
        bool nullable;
        Variant value;
    };
    const Case cases[] = {
        {"", true, Variant::Null()},  {"n/a", true, Variant::Null()}, {"", false, Variant(0.0)},
        {"x", true, Variant::Null()}, {"1,234.5", true, Variant(1234.5)},
    };
    for (const Case& c : cases) {
        p->SetNullable(c.nullable);
        Variant value;
        edit->PrepareEditValue(Variant(std::string(c.text)), value, true);
        EXPECT_EQ(value.IsNull(), c.value.IsNull()) << c.text;
        if (!c.value.IsNull())
            EXPECT_DOUBLE_EQ(value.AsDouble(), c.value.AsDouble()) << c.text;
    }
    p->SetNullable(true);
    Variant shown;
    p->PrepareDisplayValue(Variant::Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), "n/a") << "unfocused null";
    p->PrepareDisplayValue(Variant::Null(), shown, true);
    EXPECT_EQ(VarToStr(shown), "") << "focused null";
    p->SetNullable(false);
    p->PrepareDisplayValue(Variant::Null(), shown, false);
    EXPECT_EQ(VarToStr(shown), "$0.00");
    p->PrepareDisplayValue(Variant(1234.5), shown, false);
    EXPECT_EQ(VarToStr(shown), "$1,234.50") << "the locale's currency format";
}

TEST_F(CurrencyEditTest, ValueIsClampedOnlyIntoARealRange)
{
    TcxCurrencyEdit* edit = NewEdit();
    edit->SetValue(150);
    EXPECT_DOUBLE_EQ(edit->Value(), 150) << "0..0 is no range";
    edit->Properties()->SetMinMaxValues(0, 100);
    edit->SetValue(150);
    EXPECT_DOUBLE_EQ(edit->Value(), 100);
    edit->SetValue(-5);
    EXPECT_DOUBLE_EQ(edit->Value(), 0);
    edit->SetEditValue(Variant("junk"));
    EXPECT_DOUBLE_EQ(edit->Value(), 0);
    edit->SetEditValue(Variant::Null());
    EXPECT_DOUBLE_EQ(edit->Value(), 0);
}

TEST_F(CurrencyEditTest, NumbersBeyondADoubleAreNoAmount)
{
    struct Case {
        const char* text;
        bool ok;
    };
    for (const Case& c : {Case{"0", true}, Case{"1.7e308", true}, Case{"1e309", false}, Case{"1e-400", false},
                          Case{"1,000,000", true}, Case{"", false}, Case{"--1", false}}) {
        double value = 0;
        EXPECT_EQ(TcxCustomCurrencyEditProperties::StrToFloatEx(c.text, value), c.ok) << c.text;
    }
}

TEST_F(CurrencyEditTest, TheEditorIsRegistered)
{
    const TClass cls = GetRegisteredEditProperties()->FindByClassName("TcxCurrencyEditProperties");
    ASSERT_EQ(cls, TcxCurrencyEditProperties::StaticClass());
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(cls), "CurrencyEdit");
    TcxCurrencyEdit* edit = NewEdit();
    EXPECT_EQ(edit->Properties()->DecimalPlaces(), 2);
    EXPECT_TRUE(edit->Properties()->ValidateOnEnter());
}

}  // namespace
