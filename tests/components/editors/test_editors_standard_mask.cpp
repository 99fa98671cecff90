#include <gtest/gtest.h>

#include <string>

#include "platform/hostlib/mask/cxStandardMask.h"
#include "platform/hostlib/core/format_settings.h"

namespace {

// "E" an editable position (with its optional flag and case), "=x" a literal.
std::string Shape(const TcxStandardMask& mask)
{
    std::string shape;
    for (std::size_t i = 0; i < mask.Count(); ++i) {
        if (const auto* literal = dynamic_cast<const TcxStandardMaskLiteralItem*>(&mask.Items(i))) {
            shape += std::string("=") + literal->Literal();
            continue;
        }
        const auto& item = static_cast<const TcxStandardMaskManyItem&>(mask.Items(i));
        shape += item.Optional() ? "e" : "E";
        switch (item.CaseControl()) {
        case TcxCaseControl::ccUpperCase: shape += ">"; break;
        case TcxCaseControl::ccLowerCase: shape += "<"; break;
        case TcxCaseControl::ccUserCase: break;
        }
    }
    return shape;
}

struct CompileCase {
    const char* Mask;
    const char* Shape;
    bool SaveLiterals;
    char Blank;
};

class StandardMaskCompile : public ::testing::TestWithParam<CompileCase> {};

TEST_P(StandardMaskCompile, Positions)
{
    const auto& c = GetParam();
    TcxStandardMask mask;
    mask.Compile(c.Mask);
    EXPECT_EQ(Shape(mask), c.Shape) << c.Mask;
    EXPECT_EQ(mask.SaveLiteralChars(), c.SaveLiterals) << c.Mask;
    EXPECT_EQ(mask.Blank(), c.Blank) << c.Mask;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, StandardMaskCompile,
    ::testing::Values(CompileCase{"!000;1;_", "EEE", true, '_'}, CompileCase{">LL<ll", "E>E>e<e<", true, '_'},
                      CompileCase{">L<>l", "E>e", true, '_'}, CompileCase{"(000)", "=(EEE=)", true, '_'},
                      CompileCase{"(009)", "=(EEe=)", true, '_'}, CompileCase{"a;0", "e", false, '_'},
                      CompileCase{"a;0;*", "e", false, '*'}, CompileCase{"a;1; ", "e", true, ' '},
                      CompileCase{"a;x", "e=;=x", true, '_'}, CompileCase{"a;0;**", "e=;E=;=*=*", true, '_'},
                      CompileCase{"AaCc#", "EeEee", true, '_'}, CompileCase{"\\0\\\\x\\", "=0=\\=x", true, '_'},
                      CompileCase{"99/99", "ee=/ee", true, '_'}, CompileCase{"00:00", "EE=:EE", true, '_'},
                      CompileCase{"", "", true, '_'}, CompileCase{"!", "", true, '_'}));

TEST(StandardMask, SeparatorsAreReadWhenCompiled)
{
    hostlib::TFormatSettings settings = hostlib::EnglishFormatSettings();
    settings.DateSeparator = '.';
    settings.TimeSeparator = '-';
    TcxStandardMask mask;
    {
        hostlib::ScopedFormatSettings scope(settings);
        mask.Compile("99/99:9");
    }
    EXPECT_EQ(Shape(mask), "ee=.ee=-e");
}

TEST(StandardMask, ClearRestoresDefaults)
{
    TcxStandardMask mask;
    mask.Compile("!0;0;*");
    EXPECT_TRUE(mask.LeadingMark());
    mask.Clear();
    EXPECT_EQ(mask.Count(), 0u);
    EXPECT_EQ(mask.Mask(), "");
    EXPECT_EQ(mask.Blank(), '_');
    EXPECT_TRUE(mask.SaveLiteralChars());
    EXPECT_FALSE(mask.LeadingMark());
}

TEST(StandardMask, EmptyStrings)
{
    TcxStandardMask mask;
    mask.Compile("!000;1;_");
    EXPECT_EQ(mask.GetFullEmptyString(), "___");
    EXPECT_EQ(mask.GetEmptyString(), "   ");

    mask.Compile("(000);0;*");
    EXPECT_EQ(mask.GetFullEmptyString(), "(***)");
    EXPECT_EQ(mask.GetEmptyString(), "   ");

    mask.Compile("(000)");
    EXPECT_EQ(mask.GetEmptyString(), "(   )");
    EXPECT_EQ(cxStandardMask::EmptyString("(000)"), "(   )");
    EXPECT_EQ(cxStandardMask::EmptyString("(000);0", '#'), "   ");
}

struct ValidCase {
    const char* Mask;
    std::string Text;
    bool Valid;
    bool FullValid;
};

class StandardMaskValid : public ::testing::TestWithParam<ValidCase> {};

TEST_P(StandardMaskValid, ValidAndFullValid)
{
    const auto& c = GetParam();
    EXPECT_EQ(cxStandardMask::IsTextValid(c.Text, c.Mask), c.Valid) << c.Mask << " / " << c.Text;
    EXPECT_EQ(cxStandardMask::IsTextFullValid(c.Text, c.Mask), c.FullValid) << c.Mask << " / " << c.Text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StandardMaskValid,
    ::testing::Values(ValidCase{"(000)", "(12", true, false}, ValidCase{"(000)", "(123)", true, true},
                      ValidCase{"(000)", "(12 )", true, false}, ValidCase{"(009)", "(12 )", true, true},
                      ValidCase{"(009)", "(12_)", true, true}, ValidCase{"(000)", "(123))", false, false},
                      ValidCase{"(000)", "[123]", false, false}, ValidCase{"(000)", "(1a3)", false, false},
                      ValidCase{"(000)", "", true, false}, ValidCase{"L", "\xE9", false, false},
                      ValidCase{"L", "z", true, true}, ValidCase{"A", "7", true, true}, ValidCase{"A", "-", false, false},
                      ValidCase{"C", "-", true, true}, ValidCase{"#", "+", true, true}, ValidCase{"#", " ", true, true},
                      ValidCase{"#", "x", false, false}, ValidCase{"0;0;*", "*", true, false},
                      ValidCase{"9;0;*", "*", true, true}, ValidCase{"9;0;*", "_", false, false}));

TEST(StandardMask, CheckingAppliesTheCaseConversion)
{
    TcxStandardMask mask;
    mask.Compile(">LL<ll");
    std::string text = "abCD";
    EXPECT_TRUE(mask.IsFullValid(text));
    EXPECT_EQ(text, "ABcd");
    text = "xY";
    EXPECT_TRUE(mask.IsValid(text));
    EXPECT_EQ(text, "XY");
}

struct FormatCase {
    const char* Mask;
    std::string Text;
    std::string Formatted;
    std::string Value;
};

class StandardMaskFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(StandardMaskFormat, SpreadsTheTextAndDerivesTheValue)
{
    const auto& c = GetParam();
    TcxStandardMask mask;
    mask.Compile(c.Mask);
    std::string text = c.Text;
    mask.Format(text);
    EXPECT_EQ(text, c.Formatted) << c.Mask << " / " << c.Text;
    mask.Format2(text);
    EXPECT_EQ(text, c.Value) << c.Mask << " / " << c.Text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StandardMaskFormat,
    ::testing::Values(FormatCase{"(000)", "5", "(5__)", "(5  )"}, FormatCase{"(000)", "(12", "(12_)", "(12 )"},
                      FormatCase{"(000);0", "123", "(123)", "123"}, FormatCase{"(000)", "1x2", "(12_)", "(12 )"},
                      // A blank or a space fills the next editable position.
                      FormatCase{"(000)", "1 3", "(1_3)", "(1 3)"}, FormatCase{"(000)", "_23", "(_23)", "( 23)"},
                      FormatCase{"(000)", "12345", "(123)", "(123)"}, FormatCase{">LL", "ab", "AB", "AB"},
                      FormatCase{"!000;1;*", "", "***", "   "}));

TEST(StandardMask, FormatKeepsTypedCaseWhenAsked)
{
    TcxStandardMask mask;
    mask.Compile(">LL");
    std::string text = "ab";
    mask.Format(text, false);
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(cxStandardMask::FormatText("ab", ">LL"), "AB");
    EXPECT_EQ(cxStandardMask::FormatText("1", "(000)", '*'), "(1**)");
}

TEST(StandardMask, Format2StopsAtTheShorterLength)
{
    TcxStandardMask mask;
    mask.Compile("(000)");
    std::string text = "(1";
    mask.Format2(text);
    EXPECT_EQ(text, "(1");
}

TEST(StandardMask, UnitFunctionsReadTheTrailer)
{
    EXPECT_EQ(cxStandardMask::MaskBlank("0;1;#"), '#');
    EXPECT_EQ(cxStandardMask::MaskBlank("0"), '_');
    EXPECT_FALSE(cxStandardMask::SaveLiteralChars("0;0"));
    EXPECT_TRUE(cxStandardMask::SaveLiteralChars("0;x"));
}

}  // namespace
