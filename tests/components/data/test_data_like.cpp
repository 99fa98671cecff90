// LIKE matching and pattern kinds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/data/cxLike.h"

TEST(Like, Matching)
{
    struct Case {
        std::string text;
        std::string pattern;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"", "%", true},        {"", "", true},           {"a", "", false},         {"abc", "a%", true},
        {"abc", "%c", true},    {"abc", "%b%", true},     {"abc", "a_c", true},     {"ac", "a_c", false},
        {"Abc", "a%", false},   {"", "_", false},         {"aXbXc", "a%b%c", true}, {"acb", "a%b%c", false},
        {"50%", "50%", true},   {"a", "a%%", false},      {"ab", "a%%", true},      {"", "%%", false},
        {"abc", "abc", true},   {"abcd", "abc", false},   {"abc", "%", true},       {"ab", "%_", true},
        {"b", "%_%b", false},   {"xab", "%_%b", true},    {"aaa", "a%a", true},     {"a", "a%a", false},
    };
    for (const Case& c : cases) EXPECT_EQ(LikeStr(c.text, c.pattern, '%', '_'), c.expected) << c.text << " like " << c.pattern;
    EXPECT_TRUE(LikeStr("abc", "a*", '*', '?'));
    EXPECT_TRUE(LikeStr("abc", "?b?", '*', '?'));
    EXPECT_FALSE(LikeStr("abc", "a%", '*', '?'));
}

TEST(Like, ManyWildcardsOverALongTextFinish)
{
    EXPECT_FALSE(LikeStr(std::string(10000, 'a'), "%a%a%a%a%a%a%a%b", '%', '_'));
    EXPECT_TRUE(LikeStr(std::string(10000, 'a') + "b", "%a%a%a%a%a%a%a%b", '%', '_'));
}

TEST(Like, PatternKinds)
{
    struct Case {
        std::string pattern;
        int kind;
        std::string left;
    };
    const std::vector<Case> cases = {
        {"%ab%", 3, "ab"}, {"ab%", 1, "ab"}, {"%ab", 2, "ab"}, {"%%ab", 2, "ab"}, {"%", 0, "%"},
        {"%%", 0, "%"},    {"a", 0, "a"},    {"a%b", 0, "a%b"}, {"%a", 2, "a"},  {"a%%%%b%%", 1, "a%b"},
    };
    for (const Case& c : cases) {
        std::string pattern = c.pattern;
        EXPECT_EQ(LikeOperatorByPattern(pattern, '%'), c.kind) << c.pattern;
        EXPECT_EQ(pattern, c.left) << c.pattern;
    }
}
