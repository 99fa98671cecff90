#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxRegExpr.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/core/format_settings.h"

namespace {

struct MatchCase {
    const char* Expr;
    std::string Text;
    bool Valid;
    bool FullValid;
};

class RegExprMatch : public ::testing::TestWithParam<MatchCase> {};

TEST_P(RegExprMatch, ValidAndFullValid)
{
    const auto& c = GetParam();
    EXPECT_EQ(cxRegExpr::IsTextValid(c.Text, c.Expr), c.Valid) << c.Expr << " / " << c.Text;
    EXPECT_EQ(cxRegExpr::IsTextFullValid(c.Text, c.Expr), c.FullValid) << c.Expr << " / " << c.Text;
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, RegExprMatch,
    ::testing::Values(
        MatchCase{"ab", "", true, false}, MatchCase{"ab", "a", true, false}, MatchCase{"ab", "ab", true, true},
        MatchCase{"ab", "abc", false, false}, MatchCase{"ab", "b", false, false},
        // Whitespace outside quotes is not part of the expression.
        MatchCase{"a b", "ab", true, true}, MatchCase{"a ' '", "a ", true, true}, MatchCase{"a ' '", "a", true, false},
        MatchCase{"'it''s'", "it's", true, true},
        MatchCase{"\\d{3}-\\d{2}", "123-45", true, true}, MatchCase{"\\d{3}-\\d{2}", "12-345", false, false},
        MatchCase{"\\d{3}-\\d{2}", "123-4", true, false}, MatchCase{"\\d{3}", "12", true, false},
        // A reference repeats the group's expression, not the text it matched.
        MatchCase{"(a|b)\\1", "ab", true, true}, MatchCase{"(a|b)\\1", "aa", true, true},
        MatchCase{"(a|b)\\1", "a", true, false}, MatchCase{"(a|b)\\1", "ac", false, false},
        // A reference inside its own group copies what was read of it so far.
        MatchCase{"(a\\1)", "aa", true, true}, MatchCase{"(a){2}\\1", "aaa", true, true},
        MatchCase{"[^0-9]", "5", false, false}, MatchCase{"[^0-9]", "x", true, true},
        MatchCase{"[a-]", "-", true, true}, MatchCase{"[a-]", "a", true, true}, MatchCase{"[a-]", "b", false, false},
        MatchCase{"[a-cx]", "b", true, true}, MatchCase{"[a-cx]", "x", true, true}, MatchCase{"[a-cx]", "d", false, false},
        MatchCase{"[\\d_]+", "1_2", true, true},
        MatchCase{"a{2,4}", "a", true, false}, MatchCase{"a{2,4}", "aa", true, true},
        MatchCase{"a{2,4}", "aaaa", true, true}, MatchCase{"a{2,4}", "aaaaa", false, false},
        MatchCase{"a{2,}", "a", true, false}, MatchCase{"a{2,}", "aaaaaa", true, true},
        MatchCase{"a{0}", "", true, true}, MatchCase{"a{0}", "a", false, false},
        MatchCase{"a{ 2 , 3 }", "aaa", true, true},
        // Items that can match the empty text let the text end before them.
        MatchCase{"x(a?)", "x", true, true}, MatchCase{"x(a?)", "xa", true, true},
        MatchCase{"ba{0,1}", "b", true, true}, MatchCase{"x\\d{0,2}", "x", true, true},
        MatchCase{"x\\d{0,2}", "x12", true, true}, MatchCase{"x\\d{0,2}", "x123", false, false},
        MatchCase{"(a?b?)x?", "", true, true},
        MatchCase{"a*", "", true, true}, MatchCase{"a*", "aaaa", true, true},
        MatchCase{"a+", "", true, false}, MatchCase{"a+", "aaa", true, true},
        MatchCase{"(a?|b)c", "c", true, true}, MatchCase{"(a?|b)c", "ac", true, true},
        MatchCase{"(a?|b)c", "bc", true, true}, MatchCase{"(a?|b)c", "abc", false, false},
        MatchCase{"ab?", "a", true, true}, MatchCase{"a?b", "b", true, true},
        // 'a*?' is (a*)?.
        MatchCase{"a*?", "", true, true}, MatchCase{"a*?", "aaa", true, true},
        MatchCase{"(ab)+c", "ababc", true, true}, MatchCase{"(ab)+c", "abac", false, false},
        MatchCase{"cat|dog", "dog", true, true}, MatchCase{"cat|dog", "ca", true, false},
        MatchCase{"\\w+", "ab_9", true, true}, MatchCase{"\\W", "!", true, true}, MatchCase{"\\W", "a", false, false},
        MatchCase{"\\s\\S", " x", true, true}, MatchCase{"\\s", "x", false, false},
        MatchCase{"\\D", "5", false, false}, MatchCase{".", "\x01", true, true},
        MatchCase{"\\x41\\t\\n", "A\t\n", true, true}, MatchCase{"\\.", ".", true, true},
        MatchCase{"\\0", "0", true, true}, MatchCase{"[\\1]", "1", true, true}));

TEST(RegExprLocale, SeparatorsFollowTheLocale)
{
    hostlib::TFormatSettings settings = hostlib::EnglishFormatSettings();
    settings.DecimalSeparator = ',';
    settings.DateSeparator = '.';
    settings.TimeSeparator = '-';
    hostlib::ScopedFormatSettings scope(settings);

    EXPECT_TRUE(cxRegExpr::IsTextFullValid(",", "\\p"));
    EXPECT_FALSE(cxRegExpr::IsTextValid(".", "\\p"));
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("1.2", "\\d/\\d"));
    EXPECT_FALSE(cxRegExpr::IsTextValid("1/", "\\d/\\d"));
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("1-2", "\\d:\\d"));
    EXPECT_TRUE(cxRegExpr::IsTextFullValid(".", "[/]"));
}

TEST(RegExprLocale, SeparatorTestReadsTheLocaleWhenMatching)
{
    TcxRegExpr expr;
    expr.Compile("/");
    hostlib::TFormatSettings settings = hostlib::EnglishFormatSettings();
    settings.DateSeparator = '-';
    hostlib::ScopedFormatSettings scope(settings);
    char ch = '-';
    EXPECT_TRUE(expr.Next(ch));
}

struct ErrorCase {
    const char* Expr;
    std::vector<std::string> Messages;
};

class RegExprErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(RegExprErrors, CollectsEveryErrorOfThePhase)
{
    const auto& c = GetParam();
    TcxRegExpr expr;
    try {
        expr.Compile(c.Expr);
        FAIL() << "compiled: " << c.Expr;
    } catch (const EcxRegExprError& error) {
        EXPECT_EQ(error.Message(), "");
        std::vector<std::string> messages;
        for (std::size_t i = 0; i < error.Errors().Count(); ++i) messages.push_back(error.Errors().Items(i).GetFullMessage());
        EXPECT_EQ(messages, c.Messages) << c.Expr;
    }
    EXPECT_FALSE(expr.IsCompiled());
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, RegExprErrors,
    ::testing::Values(
        ErrorCase{"   \t\r\n", {"The source stream is empty"}}, ErrorCase{"", {"The source stream is empty"}},
        ErrorCase{"((a)", {"Missing ')'"}}, ErrorCase{"a)", {"Unnecessary ')'"}},
        ErrorCase{")(", {"Line1, Char1: Illegal ')'", "The alternative should not be empty"}},
        ErrorCase{"a?*", {"Line1, Char3: The '*' quantifier cannot be applied here"}},
        ErrorCase{"(a?)+", {"Line1, Char5: The '+' quantifier cannot be applied here"}},
        ErrorCase{"*", {"Line1, Char1: Illegal quantifier '*'"}},
        ErrorCase{"?a", {"Line1, Char1: Illegal quantifier '?'"}},
        ErrorCase{"a{3,1}", {"Line1, Char6: Incorrect parameter quantifier"}},
        // A lexem that does not fit the quantifier is reported for what it is.
        ErrorCase{"a{,3}", {"Line1, Char3: Incorrect parameter quantifier", "Line1, Char4: Illegal integer value",
                            "Line1, Char5: Illegal '}'"}},
        ErrorCase{"{2}", {"Line1, Char1: Incorrect parameter quantifier", "Line1, Char2: Illegal integer value",
                          "Line1, Char3: Illegal '}'"}},
        ErrorCase{"a{2 3}", {"Line1, Char5: Incorrect parameter quantifier", "Line1, Char5: Illegal integer value",
                             "Line1, Char6: Illegal '}'"}},
        ErrorCase{"a?{2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
        // An open repetition of a group that can match nothing would loop.
        ErrorCase{"(a?){2,}", {"Line1, Char5: The parameter quantifier cannot be applied here"}},
        ErrorCase{"a{99999999999}", {"Line1, Char13: Incorrect parameter quantifier"}},
        ErrorCase{"a{5000}", {"Line1, Char2: Incorrect parameter quantifier"}},
        ErrorCase{"a\r\n[bc", {"Line2, Char3: Missing ']'"}}, ErrorCase{"[a-", {"Line1, Char3: Missing ']'"}},
        ErrorCase{"[]", {"Line1, Char2: Can't create empty enumeration"}},
        ErrorCase{"[^]", {"Line1, Char3: Can't create empty enumeration"}},
        ErrorCase{"[z-a]", {"Line1, Char4: The starting character of the subrange must be less than the finishing one"}},
        ErrorCase{"[a-c-e]", {"Line1, Char5: Illegal '-'"}},
        ErrorCase{"a\\ b", {"Line1, Char3: The space character is not allowed after '\\'"}},
        ErrorCase{"\\xZ1", {"Line1, Char3: Hexadecimal number expected but 'Z' found"}},
        ErrorCase{"\\x4", {"Line1, Char3: Hexadecimal number expected"}},
        ErrorCase{"'abc", {"Line1, Char4: Missing ' ' '"}}, ErrorCase{"a{2", {"Line1, Char3: Missing '}'"}},
        ErrorCase{"a{x}", {"Line1, Char3: Illegal 'x'"}}, ErrorCase{"a{'}", {"Line1, Char3: Illegal ' ' '"}},
        // Scanning goes on after an error, so one compile reports them all.
        ErrorCase{"a\\ b\\xq[", {"Line1, Char3: The space character is not allowed after '\\'",
                                 "Line1, Char7: Hexadecimal number expected but 'q' found",
                                 "Line1, Char8: Missing ']'"}},
        ErrorCase{"a|", {"The alternative should not be empty"}},
        ErrorCase{"|a", {"Line1, Char1: The alternative should not be empty"}},
        ErrorCase{"()", {"Line1, Char2: The block should not be empty"}},
        ErrorCase{"(a|)", {"Line1, Char4: The block should not be empty"}},
        ErrorCase{"\\2(a)", {"Line1, Char2: Too big reference number"}},
        ErrorCase{"\\1", {"Line1, Char2: Too big reference number"}}));

TEST(RegExprErrors, NestingAndSizeAreBounded)
{
    const std::string deep = std::string(TcxRegExpr::MaxNestingDepth + 5, '(') + "a" +
                             std::string(TcxRegExpr::MaxNestingDepth + 5, ')');
    EXPECT_THROW(cxRegExpr::IsTextValid("a", deep), EcxRegExprError);
    EXPECT_THROW(cxRegExpr::IsTextValid("", std::string(TcxRegExpr::MaxStateCount + 1, 'x')), EcxRegExprError);
    EXPECT_THROW(cxRegExpr::IsTextValid("", "a{0,1000}"), EcxRegExprError);
    EXPECT_THROW(cxRegExpr::IsTextValid("", "((a{60}){60}){60}"), EcxRegExprError);
    EXPECT_THROW(cxRegExpr::IsTextValid("", "(a{20})(\\1{40}){5}"),
                 EcxRegExprError);

    // A long row of groups that can match nothing is walked without deep
    // recursion.
    std::string row;
    for (int i = 0; i < 1000; ++i) row += "(a?)";
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("aaa", row + "b?"));
    EXPECT_TRUE(cxRegExpr::IsTextFullValid("", row));
}

TEST(RegExprCompiler, NullStreamIsNotAssigned)
{
    TcxRegExpr expr;
    try {
        expr.Compile(static_cast<hostlib::TStream*>(nullptr));
        FAIL();
    } catch (const EcxRegExprError& error) {
        ASSERT_EQ(error.Errors().Count(), 1u);
        EXPECT_EQ(error.Errors().Items(0).GetFullMessage(), "The source stream is not assigned");
    }
    hostlib::TStringStream stream("\\d+");
    stream.SetPosition(2);
    expr.Compile(&stream);  // the whole content counts, wherever the stream stands
    EXPECT_TRUE(expr.IsCompiled());
}

TEST(RegExprErrorMessage, FullMessageCarriesPosition)
{
    EXPECT_EQ(TcxRegExprError(1, 5, "Missing ')'").GetFullMessage(), "Line1, Char5: Missing ')'");
    EXPECT_EQ(TcxRegExprError(2, 0, "Missing ']'").GetFullMessage(), "Line2: Missing ']'");
    EXPECT_EQ(TcxRegExprError(0, 7, "The source stream is empty").GetFullMessage(), "The source stream is empty");
}

TEST(RegExprErrorMessage, ReplacedResourceStringsAreUsed)
{
    cxSetResourceString(scxRegExprLine, "Zeile");
    cxSetResourceString(scxRegExprMissing, "Fehlt '%s'");
    TcxRegExpr expr;
    try {
        expr.Compile("a\r\n[");
        FAIL();
    } catch (const EcxRegExprError& error) {
        ASSERT_EQ(error.Errors().Count(), 1u);
        EXPECT_EQ(error.Errors().Items(0).GetFullMessage(), "Zeile2, Char1: Fehlt ']'");
    }
    cxClearResourceStrings();
}

TEST(RegExprUnitFunctions, ErrorsSurviveTheTemporaryExpression)
{
    try {
        cxRegExpr::IsTextFullValid("x", "((");
        FAIL();
    } catch (const EcxRegExprError& error) {
        ASSERT_EQ(error.Errors().Count(), 1u);
        EXPECT_EQ(error.Errors().Items(0).Message(), "Missing ')'");
        const TcxRegExprErrors copy = error.Errors().Clone();
        EXPECT_EQ(copy.Items(0).Message(), "Missing ')'");
    }
}

TEST(RegExprCompiler, UncompiledExpressionRefusesMatching)
{
    TcxRegExpr expr;
    char ch = 'a';
    const auto expectRefused = [](auto&& call) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const EcxRegExprError&) {
            ADD_FAILURE() << "wrong class";
        } catch (const hostlib::Exception& error) {
            EXPECT_EQ(error.Message(), "Regular expression is not compiled");
        }
    };
    expectRefused([&] { expr.Next(ch); });
    expectRefused([&] { expr.NextEx("a"); });
    expectRefused([&] { expr.Prev(); });
    expectRefused([&] { expr.Reset(); });
    expectRefused([&] { expr.IsFinal(); });
    expectRefused([&] { expr.IsStart(); });
    EXPECT_EQ(expr.GetStream(), nullptr);

    // A failed recompile leaves the expression uncompiled.
    expr.Compile("ab");
    ASSERT_NE(expr.GetStream(), nullptr);
    EXPECT_EQ(std::string(expr.GetStream()->Bytes().begin(), expr.GetStream()->Bytes().end()), "ab");
    EXPECT_THROW(expr.Compile("(("), EcxRegExprError);
    EXPECT_FALSE(expr.IsCompiled());
    expectRefused([&] { expr.Next(ch); });
}

TEST(RegExprCompiler, StepsForwardAndBack)
{
    TcxRegExpr expr;
    expr.Compile("ab");
    EXPECT_TRUE(expr.IsStart());
    EXPECT_FALSE(expr.Prev());
    char ch = 'a';
    EXPECT_TRUE(expr.Next(ch));
    EXPECT_FALSE(expr.IsStart());
    ch = 'x';
    EXPECT_FALSE(expr.Next(ch));  // a rejected character changes nothing
    ch = 'b';
    EXPECT_TRUE(expr.Next(ch));
    EXPECT_TRUE(expr.IsFinal());
    EXPECT_TRUE(expr.Prev());
    EXPECT_FALSE(expr.IsFinal());
    EXPECT_TRUE(expr.Prev());
    EXPECT_TRUE(expr.IsStart());
    expr.Reset();
    EXPECT_EQ(expr.NextEx("1a2bb"), "ab");
    EXPECT_TRUE(expr.IsFinal());
}

TEST(RegExprCompiler, CaseInsensitiveSymbolTakesTheExpressionsCase)
{
    TcxRegExpr expr;
    expr.Compile("X[a-c]");
    char ch = 'x';
    EXPECT_FALSE(expr.Next(ch));
    expr.SetCaseInsensitive(true);
    EXPECT_TRUE(expr.Next(ch));
    EXPECT_EQ(ch, 'X');
    // Subranges compare codes whatever the case flag.
    ch = 'B';
    EXPECT_FALSE(expr.Next(ch));
    ch = 'b';
    EXPECT_TRUE(expr.Next(ch));

    TcxRegExpr inverse;
    inverse.Compile("[^x]");
    inverse.SetCaseInsensitive(true);
    ch = 'X';
    EXPECT_FALSE(inverse.Next(ch));
    EXPECT_EQ(ch, 'X');
}

TEST(RegExprAutomaton, GraphShape)
{
    const auto startSuccessors = [](const char* source) {
        TcxRegExpr expr;
        expr.Compile(source);
        return expr.Automat()->StartState().States().size();
    };
    EXPECT_EQ(startSuccessors("ab"), 1u);
    EXPECT_EQ(startSuccessors("a?b"), 2u);

    TcxRegExpr star;
    star.Compile("a*");
    EXPECT_TRUE(star.IsFinal());
    for (int i = 0; i < 5; ++i) {
        char ch = 'a';
        ASSERT_TRUE(star.Next(ch));
        EXPECT_TRUE(star.IsFinal());
    }

    TcxRegExpr optional;
    optional.Compile("ab?");
    char ch = 'a';
    ASSERT_TRUE(optional.Next(ch));
    EXPECT_TRUE(optional.IsFinal());
    ch = 'b';
    ASSERT_TRUE(optional.Next(ch));
    EXPECT_TRUE(optional.IsFinal());
}

TEST(RegExprAutomaton, StateSetsHoldEachStateOnce)
{
    TcxRegExpr expr;
    expr.Compile("(\\d|[0-9])+");
    for (int i = 0; i < 40; ++i) {
        char ch = '7';
        ASSERT_TRUE(expr.Next(ch));
    }
    EXPECT_LE(expr.Automat()->CurrentStates().Count(), 2u);
    EXPECT_TRUE(expr.IsFinal());
}

class ForcedCharacters : public ::testing::Test {
protected:
    void SetUp() override
    {
        expr.OnSymbolUpdate = hostlib::Event<char>::FromFunction([this](char ch) { inserted += ch; });
        expr.OnSymbolDelete = hostlib::Event<>::FromFunction([this] { ++deleted; });
    }
    bool Type(char ch) { return expr.Next(ch); }

    TcxRegExpr expr;
    std::string inserted;
    int deleted = 0;
};

TEST_F(ForcedCharacters, InsertedFromTheStart)
{
    expr.SetUpdateOn(true);
    expr.Compile("abc");
    EXPECT_EQ(inserted, "abc");
    EXPECT_TRUE(expr.IsFinal());
}

TEST_F(ForcedCharacters, SwitchingOnInsertsAtOnce)
{
    expr.Compile("ab\\d");
    EXPECT_EQ(inserted, "");
    expr.SetUpdateOn(true);
    EXPECT_EQ(inserted, "ab");
}

TEST_F(ForcedCharacters, SeparatorFollowsTypedDigitsAndGoesBackWithThem)
{
    expr.Compile("\\d\\d/\\d\\d");
    expr.SetUpdateOn(true);
    EXPECT_TRUE(Type('1'));
    EXPECT_EQ(inserted, "");
    EXPECT_TRUE(Type('2'));
    EXPECT_EQ(inserted, "/");
    EXPECT_TRUE(expr.Prev());
    EXPECT_EQ(deleted, 1);
    // Back after the first digit: the second digit is open again.
    EXPECT_TRUE(Type('3'));
    EXPECT_EQ(inserted, "//");
}

TEST_F(ForcedCharacters, InsertionStopsWhereTheTextCouldEnd)
{
    expr.Compile("a(bc)?");
    expr.SetUpdateOn(true);
    EXPECT_EQ(inserted, "a");
    EXPECT_TRUE(expr.IsFinal());
    EXPECT_TRUE(Type('b'));
    EXPECT_EQ(inserted, "ac");
}

TEST(RegExprAutomaton, PrintDumpsTheTree)
{
    TcxRegExpr expr;
    expr.Compile("(a)*");
    EXPECT_EQ(expr.Print(),
              "<Start_Alt>\r\n<Start_Block>\r\n<Start_Alt>\r\nitem --> \r\n<Finish_Alt>\r\n<Finish_Block> --> *\r\n"
              "<Finish_Alt>\r\n");
}

}  // namespace
