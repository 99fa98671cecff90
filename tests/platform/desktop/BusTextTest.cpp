#include "platform/desktop/BusText.h"

#include <gtest/gtest.h>

#include <string>

namespace quelvo::desktop {
namespace {

const std::string kBad = "\xEF\xBF\xBD";

struct TextCase {
    const char* name;
    std::string input;
    std::size_t maxBytes;
    std::string expected;
};

TEST(BusTextTest, ProducesValidUtf8CutBetweenCharacters)
{
    const TextCase cases[] = {
        {"plain ascii", "Quelvo - Watching", std::string::npos, "Quelvo - Watching"},
        {"two, three and four byte characters", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", std::string::npos,
         "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
        {"stray continuation byte", "a\x80z", std::string::npos, "a" + kBad + "z"},
        {"code page byte of an 8-bit name", "caf\xE9.exe", std::string::npos, "caf" + kBad + ".exe"},
        {"overlong encoding of '/'", "\xC0\xAF", std::string::npos, kBad + kBad},
        {"overlong three-byte form", "\xE0\x80\xAF", std::string::npos, kBad + kBad + kBad},
        {"surrogate half", "\xED\xA0\x80", std::string::npos, kBad + kBad + kBad},
        {"above U+10FFFF", "\xF4\x90\x80\x80", std::string::npos, kBad + kBad + kBad + kBad},
        {"lead byte followed by ascii", "\xC3x", std::string::npos, kBad + "x"},
        {"character cut off at the end is dropped", "ab\xE2\x82", std::string::npos, "ab"},
        {"ends at the first NUL", std::string("ab\0cd", 5), std::string::npos, "ab"},
        {"limit falls inside a character", "a\xC3\xA9", 2, "a"},
        {"limit exactly after a character", "a\xC3\xA9z", 3, "a\xC3\xA9"},
        {"replacement does not fit the limit", "ab\xFF", 4, "ab"},
        {"empty", "", 10, ""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(ToBusText(c.input, c.maxBytes), c.expected) << c.name;
}

TEST(BusTextTest, FieldTextStopsAtTheFieldEvenWithoutTerminator)
{
    const char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldText(full, sizeof full), "abcd");
    const char shortText[8] = "ab";
    EXPECT_EQ(FieldText(shortText, sizeof shortText), "ab");
    // A multi-byte character split by the field's end is dropped.
    const char split[3] = {'a', '\xC3', '\xA9'};
    EXPECT_EQ(FieldText(split, 2), "a");
    EXPECT_EQ(FieldText(nullptr, 10), "");
}

TEST(BusTextTest, EscapesMarkupCharacters)
{
    EXPECT_EQ(EscapeMarkup("a<b>&c \"d\" 'e'"), "a&lt;b&gt;&amp;c \"d\" 'e'");
    EXPECT_EQ(EscapeMarkup("&amp;"), "&amp;amp;");
    EXPECT_EQ(EscapeMarkup(""), "");
}

TEST(BusTextTest, ConvertsAccessKeysOfMenuLabels)
{
    const std::pair<std::string, std::string> cases[] = {
        {"&Enabled", "_Enabled"},
        {"&About Quelvo..", "_About Quelvo.."},
        {"Save && Exit", "Save & Exit"},
        {"my_tool", "my__tool"},
        {"&Launch my_tool", "_Launch my__tool"},
        {"trailing&", "trailing"},
        {"&&&x", "&_x"},
        {"", ""},
    };
    for (const auto& [label, expected] : cases)
        EXPECT_EQ(MenuLabelToBus(label), expected) << label;
}

} // namespace
} // namespace quelvo::desktop
