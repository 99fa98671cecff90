// The mask edit's content: program-set texts, typing, deleting and
// refused characters over standard masks.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/mask/masktext.h"

using namespace hostlib;

namespace {

// Applies keys to a masked text: digits and letters type, '<' is
// Backspace, '>' is Delete; "[a,b]" selects display positions a..b-1.
struct Keys {
    std::string text;
    int selStart = 0;
    int selLength = 0;
    int refused = 0;
};

Keys Press(TMaskedText& m, const std::string& keys, int caret)
{
    Keys k;
    k.selStart = caret;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const char c = keys[i];
        bool ok = true;
        if (c == '[') {
            const std::size_t comma = keys.find(',', i);
            const std::size_t close = keys.find(']', i);
            k.selStart = std::stoi(keys.substr(i + 1, comma - i - 1));
            k.selLength = std::stoi(keys.substr(comma + 1, close - comma - 1)) - k.selStart;
            i = close;
            continue;
        }
        if (c == '<') ok = m.Backspace(k.selStart, k.selLength);
        else if (c == '>') ok = m.DeleteForward(k.selStart, k.selLength);
        else ok = m.TypeChar(c, k.selStart, k.selLength);
        if (!ok) ++k.refused;
    }
    k.text = m.Text();
    return k;
}

}  // namespace

TEST(MaskedTextTest, TwoOptionalDigitsFilledFromTheRight)
{
    TMaskedText m;
    m.SetEditMask("!99;1;0");
    struct Case {
        const char* set;
        const char* shown;
    };
    for (const Case& c : {Case{"8", "08"}, Case{"", "00"}, Case{"70", "70"}, Case{"123", "12"}, Case{"x", "00"},
                          Case{"5x", "05"}, Case{"08", "08"}, Case{" 7", "07"}}) {
        m.SetText(c.set);
        EXPECT_EQ(m.Text(), c.shown) << c.set;
    }
    EXPECT_EQ(m.EditableCount(), 2);
    EXPECT_TRUE(m.IsComplete());
}

TEST(MaskedTextTest, EditingKeys)
{
    struct Case {
        const char* mask;
        const char* start;
        int caret;
        const char* keys;
        const char* shown;
        int caretAfter;
        int refused;
    };
    const std::vector<Case> cases = {
        {"!99;1;0", "", 2, "7", "07", 2, 0},
        {"!99;1;0", "", 2, "75", "75", 2, 0},
        {"!99;1;0", "", 2, "753", "75", 2, 1},        // a third digit does not fit
        {"!99;1;0", "", 2, "a7b", "07", 2, 2},        // letters refused
        {"!99;1;0", "75", 2, "<", "07", 2, 0},        // Backspace moves the rest right
        {"!99;1;0", "75", 2, "<<<", "00", 2, 1},
        {"!99;1;0", "75", 2, "[0,2]3", "03", 2, 0},   // typing over the whole selection
        {"!99;1;0", "75", 2, "[0,1]4", "45", 1, 0},   // over the first digit
        {"!99;1;0", "75", 2, "[0,2]<", "00", 2, 0},
        {"!99;1;0", "75", 0, ">", "05", 1, 0},
        {"!99;1;0", "75", 2, ">", "75", 2, 1},        // nothing after the caret
        {"(000)", "", 1, "12", "(12_)", 3, 0},
        {"(000)", "", 1, "1234", "(123)", 4, 1},
        {"(000)", "123", 4, "<<", "(1__)", 2, 0},
        {"(000)", "123", 2, "9", "(123)", 2, 1},      // a full text takes no more
        {">LL", "", 0, "ab", "AB", 2, 0},            // case converted on entry
        {">LL", "", 0, "a1", "A_", 1, 1},
        {"", "", 0, "ab<c", "ac", 2, 0},              // no mask: a plain edit
    };
    for (const Case& c : cases) {
        TMaskedText m;
        m.SetEditMask(c.mask);
        m.SetText(c.start);
        const Keys k = Press(m, c.keys, c.caret);
        EXPECT_EQ(k.text, c.shown) << c.mask << " " << c.start << " " << c.keys;
        EXPECT_EQ(k.selStart, c.caretAfter) << c.mask << " " << c.start << " " << c.keys;
        EXPECT_EQ(k.refused, c.refused) << c.mask << " " << c.start << " " << c.keys;
    }
}

TEST(MaskedTextTest, LiteralsCompletenessAndMaskChanges)
{
    ScopedFormatSettings english(EnglishFormatSettings());
    TMaskedText m;
    m.SetEditMask("00/00/0000;1;_");
    EXPECT_EQ(m.Text(), "__/__/____");
    EXPECT_TRUE(m.SetText("12/24/2001"));
    EXPECT_EQ(m.Text(), "12/24/2001");
    EXPECT_EQ(m.Content(), "12242001");
    EXPECT_TRUE(m.IsComplete());
    EXPECT_FALSE(m.SetText("12/24/2001"));  // unchanged
    m.SetText("1224");
    EXPECT_EQ(m.Text(), "12/24/____");
    EXPECT_FALSE(m.IsComplete());
    // A new mask keeps what it accepts.
    m.SetEditMask("!99;1;0");
    EXPECT_EQ(m.Text(), "12");
    m.SetEditMask("");
    EXPECT_EQ(m.Text(), "12");
    EXPECT_FALSE(m.IsMasked());
}
