// Check states kept in one value: the four formats both ways, the strict
// number reader, malformed values failing with every item unchecked, and
// the encoder asking for no caption past the last item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/editor-catalogue/cxCheckBox.h"

using namespace hostlib;

namespace {

constexpr TcxCheckBoxState U = cbsUnchecked, C = cbsChecked, G = cbsGrayed;

class Items : public IcxCheckItems {
public:
    explicit Items(std::vector<std::string> captions) : captions_(std::move(captions)) {}
    std::string GetCaption(int index) override
    {
        highestAsked = std::max(highestAsked, index);
        return captions_.at(static_cast<std::size_t>(index));
    }
    int GetCount() override { return static_cast<int>(captions_.size()); }
    int highestAsked = -1;

private:
    std::vector<std::string> captions_;
};

Items Named(int n)
{
    std::vector<std::string> captions;
    for (int i = 0; i < n; ++i) captions.push_back("item" + std::to_string(i));
    return Items(captions);
}

std::string Encode(TcxCheckStatesValueFormat format, Items& items, TcxCheckStates states)
{
    Variant value;
    CalculateCheckStatesValue(format, &items, value, &states);
    return VarToStr(value);
}

}  // namespace

TEST(CheckStates, EachFormatEncodesTheWorkedValues)
{
    struct Case {
        const char* what;
        TcxCheckStatesValueFormat format;
        int items;
        TcxCheckStates states;
        std::string value;
    };
    const Case cases[] = {
        {"indices", cvfIndices, 3, {C, U, G}, "2;0"},
        {"indices, none set", cvfIndices, 3, {U, U, U}, ""},
        {"indices, all grayed", cvfIndices, 3, {G, G, G}, "0,1,2"},
        {"states", cvfStatesString, 4, {C, G, U, U}, "1200"},
        {"states, more entries than items", cvfStatesString, 2, {C, C, C, C}, "11"},
        {"states, fewer entries than items", cvfStatesString, 3, {G}, "2"},
        {"integer drops grayed", cvfInteger, 3, {C, G, C}, "5"},
    };
    for (const Case& c : cases) {
        Items items = Named(c.items);
        EXPECT_EQ(Encode(c.format, items, c.states), c.value) << c.what;
    }
}

TEST(CheckStates, CaptionsCarryTheirLengthSoAnyTextRoundTrips)
{
    Items items({"a", "b;c", "1:x", "ü:"});
    EXPECT_EQ(Encode(cvfCaptions, items, {G, C, C, U}), "1:a;3:b;c3:1:x");
    TcxCheckStates back;
    ASSERT_TRUE(CalculateCheckStates(Variant("1:a;3:b;c3:1:x"), cvfCaptions, &items, &back));
    EXPECT_EQ(back, (TcxCheckStates{G, C, C, U}));

    // The length counts characters, not bytes.
    EXPECT_EQ(Encode(cvfCaptions, items, {U, U, U, C}), ";2:ü:");
    ASSERT_TRUE(CalculateCheckStates(Variant(";2:ü:"), cvfCaptions, &items, &back));
    EXPECT_EQ(back, (TcxCheckStates{U, U, U, C}));
}

TEST(CheckStates, TheEncoderNeverAsksForACaptionPastTheLastItem)
{
    Items items({"a", "b"});
    EXPECT_EQ(Encode(cvfCaptions, items, {C, C, C, C}), ";1:a1:b");
    EXPECT_EQ(items.highestAsked, 1);
    EXPECT_EQ(Encode(cvfIndices, items, {C, C, C, C}), ";0,1");
}

TEST(CheckStates, IntegerKeepsTheFirstSixtyFourItems)
{
    Items items = Named(70);
    const TcxCheckStates all(70, C);
    Variant value;
    CalculateCheckStatesValue(cvfInteger, &items, value, const_cast<TcxCheckStates*>(&all));
    EXPECT_EQ(VarType(value), varInt64);
    EXPECT_EQ(value.AsInt64(), -1) << "bits 0 to 63";
    TcxCheckStates back;
    ASSERT_TRUE(CalculateCheckStates(value, cvfInteger, &items, &back));
    ASSERT_EQ(back.size(), 70u);
    for (int i = 0; i < 70; ++i) EXPECT_EQ(back[static_cast<std::size_t>(i)], i < 64 ? C : U) << i;
    ASSERT_TRUE(CalculateCheckStates(Variant("5"), cvfInteger, &items, &back)) << "a decimal text";
    EXPECT_EQ(back[0], C);
    EXPECT_EQ(back[1], U);
    EXPECT_EQ(back[2], C);
}

TEST(CheckStates, DecodingGoodAndMalformedValues)
{
    struct Case {
        const char* what;
        Variant value;
        TcxCheckStatesValueFormat format;
        std::vector<std::string> captions;
        bool ok;
        TcxCheckStates states;
    };
    const std::vector<std::string> three{"a", "b", "c"}, two{"a", "b"}, four{"a", "b", "c", "d"};
    const Case cases[] = {
        {"states text shorter than the items", Variant("12"), cvfStatesString, four, true, {C, G, U, U}},
        {"a digit beyond 2", Variant("13"), cvfStatesString, four, false, {U, U, U, U}},
        {"characters past the items unread", Variant("1201"), cvfStatesString, two, true, {C, G}},
        {"an index past the items", Variant("5"), cvfIndices, three, false, {U, U, U}},
        {"a separator with nothing after it", Variant("0;"), cvfIndices, three, false, {U, U, U}},
        {"a second separator", Variant("0;;1"), cvfIndices, three, false, {U, U, U}},
        {"a number above the 32-bit range", Variant("2147483648"), cvfIndices, three, false, {U, U, U}},
        {"a later index wins", Variant("1,1;1"), cvfIndices, two, true, {U, C}},
        {"captions match without case", Variant("1:A"), cvfCaptions, {"a"}, true, {G}},
        {"a length past the text", Variant("2:a"), cvfCaptions, {"a"}, false, {U}},
        {"a caption naming no item", Variant("1:z"), cvfCaptions, {"a"}, false, {U}},
        {"no colon", Variant("1a"), cvfCaptions, {"a"}, false, {U}},
        {"Null is the empty group", Variant::Null(), cvfIndices, three, true, {U, U, U}},
        {"Null under integer", Variant::Null(), cvfInteger, three, true, {U, U, U}},
        {"a Boolean under indices", Variant(true), cvfIndices, three, false, {U, U, U}},
        {"a Boolean under captions", Variant(true), cvfCaptions, three, false, {U, U, U}},
        {"a Boolean under states", Variant(true), cvfStatesString, three, false, {U, U, U}},
        {"a text that is no number under integer", Variant("x"), cvfInteger, three, false, {U, U, U}},
    };
    for (const Case& c : cases) {
        Items items(c.captions);
        TcxCheckStates states(7, C);
        EXPECT_EQ(CalculateCheckStates(c.value, c.format, &items, &states), c.ok) << c.what;
        EXPECT_EQ(states, c.states) << c.what;
    }
}

TEST(CheckStates, WithoutAnArrayTheSharedOneIsUsed)
{
    Items items({"a", "b"});
    ASSERT_TRUE(CalculateCheckStates(Variant("21"), cvfStatesString, &items));
    EXPECT_EQ(CheckStates(), (TcxCheckStates{G, C}));
    Variant value;
    CalculateCheckStatesValue(cvfIndices, &items, value);
    EXPECT_EQ(VarToStr(value), "0;1");
}
