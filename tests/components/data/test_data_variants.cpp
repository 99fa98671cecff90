// Variant ordering and classification, and the byte forms of the typed
// stream procedures.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "components/data/cxVariants.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/streams.h"

using hostlib::Currency;
using hostlib::TMemoryStream;
using hostlib::Variant;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Written(const std::function<void(TMemoryStream&)>& write)
{
    TMemoryStream stream;
    write(stream);
    return stream.Bytes();
}

Bytes Prefix(const Bytes& bytes, std::size_t count)
{
    return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(count, bytes.size())));
}

Variant Array(std::vector<Variant> items)
{
    return Variant::ArrayOf(items);
}

// An array whose low bound is 1.
Variant FromOne(const std::vector<Variant>& items)
{
    Variant result = Variant::CreateArray(1, static_cast<int>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i)
        result[static_cast<int>(i) + 1] = items[i];
    return result;
}

} // namespace

// ---- Scalar encodings -------------------------------------------------------

TEST(DataStreamScalars, EncodingsAreLittleEndianWithoutPadding)
{
    struct Case {
        const char* name;
        std::function<void(TMemoryStream&)> write;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"Boolean true", [](auto& s) { WriteBooleanProc(s, true); }, {0x01}},
        {"Char", [](auto& s) { WriteCharProc(s, 'A'); }, {0x41}},
        {"ShortInt -1", [](auto& s) { WriteShortIntProc(s, -1); }, {0xFF}},
        {"SmallInt -2", [](auto& s) { WriteSmallIntProc(s, -2); }, {0xFE, 0xFF}},
        {"Word 0x1234", [](auto& s) { WriteWordProc(s, 0x1234); }, {0x34, 0x12}},
        {"Integer 65536", [](auto& s) { WriteIntegerProc(s, 65536); }, {0x00, 0x00, 0x01, 0x00}},
        {"Cardinal max", [](auto& s) { WriteCardinalProc(s, 0xFFFFFFFFu); }, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"LargeInt 2^32", [](auto& s) { WriteLargeIntProc(s, 0x100000000LL); }, {0, 0, 0, 0, 1, 0, 0, 0}},
        {"Single 1.0", [](auto& s) { WriteSingleProc(s, 1.0f); }, {0x00, 0x00, 0x80, 0x3F}},
        {"Float 1.0", [](auto& s) { WriteFloatProc(s, 1.0); }, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {"Float 1.5", [](auto& s) { WriteFloatProc(s, 1.5); }, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
        {"Float 0.1", [](auto& s) { WriteFloatProc(s, 0.1); }, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
        {"Float -2.0", [](auto& s) { WriteFloatProc(s, -2.0); }, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
        {"Currency 1.5", [](auto& s) { WriteCurrencyProc(s, Currency::FromScaled(15000)); }, {0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
        {"DateTime 1.0", [](auto& s) { WriteDateTimeProc(s, 1.0); }, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"String ab", [](auto& s) { WriteStringProc(s, "ab"); }, {0x02, 0, 0, 0, 0x61, 0x62}},
        {"String empty", [](auto& s) { WriteStringProc(s, ""); }, {0, 0, 0, 0}},
        {"WideString ab", [](auto& s) { WriteWideStringProc(s, u"ab"); }, {0x02, 0, 0, 0, 0x61, 0, 0x62, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written(c.write), c.expected) << c.name;
}

TEST(DataStreamScalars, ReaderGivesBackWhatWriterWrote)
{
    TMemoryStream stream;
    TcxWriter writer(stream);
    writer.WriteBoolean(true);
    writer.WriteByte(200);
    writer.WriteCardinal(4000000000u);
    writer.WriteChar('z');
    writer.WriteCurrency(Currency::FromScaled(-12345));
    writer.WriteDateTime(45000.25);
    writer.WriteFloat(0.1);
    writer.WriteInteger(-7);
    writer.WriteLargeInt(-5000000000LL);
    writer.WriteShortInt(-100);
    writer.WriteSingle(2.5f);
    writer.WriteSmallInt(-300);
    writer.WriteString("h\xC3\xA9llo");
    writer.WriteVariant(Variant("x"));
    writer.WriteWideString(u"\u00e9\U0001F600");
    writer.WriteWord(65535);

    stream.SetPosition(0);
    TcxReader reader(stream);
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadByte(), 200);
    EXPECT_EQ(reader.ReadCardinal(), 4000000000u);
    EXPECT_EQ(reader.ReadChar(), 'z');
    EXPECT_EQ(reader.ReadCurrency().Scaled(), -12345);
    EXPECT_EQ(reader.ReadDateTime(), 45000.25);
    EXPECT_EQ(reader.ReadFloat(), 0.1);
    EXPECT_EQ(reader.ReadInteger(), -7);
    EXPECT_EQ(reader.ReadLargeInt(), -5000000000LL);
    EXPECT_EQ(reader.ReadShortInt(), -100);
    EXPECT_EQ(reader.ReadSingle(), 2.5f);
    EXPECT_EQ(reader.ReadSmallInt(), -300);
    EXPECT_EQ(reader.ReadString(), "h\xC3\xA9llo");
    EXPECT_EQ(reader.ReadVariant().AsString(), "x");
    EXPECT_EQ(reader.ReadWideString(), u"\u00e9\U0001F600");
    EXPECT_EQ(reader.ReadWord(), 65535);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(&reader.Stream(), &stream);
    EXPECT_EQ(reader.ClassName(), "TcxReader");
    EXPECT_EQ(writer.ClassName(), "TcxWriter");
    EXPECT_TRUE(writer.InheritsFrom(TcxFiler::StaticClass()));
}

TEST(DataStreamScalars, DamagedInputRaisesReadError)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::function<void(TMemoryStream&)> read;
    };
    const std::vector<Case> cases = {
        {"short Integer", {0x01, 0x02}, [](auto& s) { ReadIntegerFunc(s); }},
        {"short Float", {0, 0, 0, 0, 0}, [](auto& s) { ReadFloatFunc(s); }},
        {"negative String length", {0xFF, 0xFF, 0xFF, 0xFF}, [](auto& s) { ReadStringFunc(s); }},
        {"String longer than stream", {0xFF, 0xFF, 0xFF, 0x7F, 0x61}, [](auto& s) { ReadStringFunc(s); }},
        {"WideString longer than stream", {0x02, 0, 0, 0, 0x61, 0}, [](auto& s) { ReadWideStringFunc(s); }},
        {"empty stream Boolean", {}, [](auto& s) { ReadBooleanFunc(s); }},
    };
    for (const auto& c : cases) {
        TMemoryStream stream(c.bytes);
        EXPECT_THROW(c.read(stream), hostlib::EReadError) << c.name;
    }
}

// ---- Tagged variants --------------------------------------------------------

TEST(DataStreamVariants, WriteGivesTheTaggedBytes)
{
    const std::string s255(255, 'x');
    const std::string s256(256, 'x');
    struct Case {
        const char* name;
        Variant value;
        Bytes expected;
        std::size_t compared = 0; // 0: the whole output
    };
    const std::vector<Case> cases = {
        {"Null", Variant::Null(), {0x00}},
        {"Empty", Variant(), {0x0D}},
        {"Integer 127", Variant(std::int32_t{127}), {0x02, 0x7F}},
        {"Integer -128", Variant(std::int32_t{-128}), {0x02, 0x80}},
        {"Integer -129", Variant(std::int32_t{-129}), {0x03, 0x7F, 0xFF}},
        {"Integer 32767", Variant(std::int32_t{32767}), {0x03, 0xFF, 0x7F}},
        {"Integer 65536", Variant(std::int32_t{65536}), {0x04, 0x00, 0x00, 0x01, 0x00}},
        {"Byte 200", Variant(std::uint8_t{200}), {0x03, 0xC8, 0x00}},
        {"Smallint 5", Variant(std::int16_t{5}), {0x02, 0x05}},
        {"Double 1.0", Variant(1.0), {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {"Single 1.0", Variant(1.0f), {0x0F, 0x00, 0x00, 0x80, 0x3F}},
        {"Currency 1.5", Variant(Currency::FromScaled(15000)), {0x10, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
        {"Date 1.0", Variant::FromDate(1.0), {0x11, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"False", Variant(false), {0x08}},
        {"True", Variant(true), {0x09}},
        {"String a", Variant("a"), {0x06, 0x01, 0x61}},
        {"String of 255 bytes", Variant(s255), {0x06, 0xFF, 'x'}, 3},
        {"String of 256 bytes", Variant(s256), {0x0C, 0x00, 0x01, 0x00, 0x00, 'x'}, 6},
        {"OLE string ab", Variant::FromOleStr("ab"), {0x12, 0x02, 0, 0, 0, 0x61, 0, 0x62, 0}},
        {"Word 7 as its text", Variant(std::uint16_t{7}), {0x06, 0x01, 0x37}},
        {"Int64 as its text", Variant(10000000000LL), {0x06, 0x0B, '1', '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'}},
        {"array [1, 'a']", Array({Variant(std::int32_t{1}), Variant("a")}), {0x01, 0x02, 0x02, 0x02, 0x01, 0x06, 0x01, 0x61}},
        {"empty array", Array({}), {0x01, 0x02, 0x00}},
    };
    for (const auto& c : cases) {
        const Bytes out = Written([&](auto& s) { WriteVariantProc(s, c.value); });
        EXPECT_EQ(c.compared ? Prefix(out, c.compared) : out, c.expected) << c.name;
    }
    EXPECT_EQ(Written([&](auto& s) { WriteVariantProc(s, Variant(s255)); }).size(), 2u + 255u);
    EXPECT_EQ(Written([&](auto& s) { WriteVariantProc(s, Variant(s256)); }).size(), 5u + 256u);
}

TEST(DataStreamVariants, ReadBackKeepsTheValueNotAlwaysTheType)
{
    struct Case {
        const char* name;
        Variant written;
        hostlib::TVarType readType;
        std::string readText;
    };
    const std::vector<Case> cases = {
        {"Byte 200 comes back as Smallint", Variant(std::uint8_t{200}), hostlib::varSmallint, "200"},
        {"Integer 5 comes back as ShortInt", Variant(std::int32_t{5}), hostlib::varShortInt, "5"},
        {"Integer 70000 stays Integer", Variant(std::int32_t{70000}), hostlib::varInteger, "70000"},
        {"Word 7 comes back as String", Variant(std::uint16_t{7}), hostlib::varString, "7"},
        {"LongWord comes back as String", Variant(std::uint32_t{4000000000u}), hostlib::varString, "4000000000"},
        {"Double", Variant(0.1), hostlib::varDouble, "0.1"},
        {"Single", Variant(2.5f), hostlib::varSingle, "2.5"},
        {"Currency", Variant(Currency::FromScaled(15000)), hostlib::varCurrency, "1.5"},
        {"OLE string", Variant::FromOleStr("\xC3\xA9t\xC3\xA9"), hostlib::varOleStr, "\xC3\xA9t\xC3\xA9"},
        {"Boolean", Variant(true), hostlib::varBoolean, "True"},
        {"Null", Variant::Null(), hostlib::varNull, ""},
        {"Empty", Variant(), hostlib::varEmpty, ""},
    };
    for (const auto& c : cases) {
        TMemoryStream stream;
        WriteVariantProc(stream, c.written);
        stream.SetPosition(0);
        const Variant read = ReadVariantFunc(stream);
        EXPECT_EQ(read.VarType(), c.readType) << c.name;
        EXPECT_EQ(hostlib::VarToStr(read), c.readText) << c.name;
        EXPECT_EQ(stream.Position(), stream.Size()) << c.name;
    }
}

TEST(DataStreamVariants, ArraysReadBackAsVariantArraysFromZero)
{
    TMemoryStream stream(Bytes{0x01, 0x02, 0x02, 0x02, 0x01, 0x06, 0x01, 0x61});
    const Variant read = ReadVariantFunc(stream);
    ASSERT_TRUE(read.IsArray());
    EXPECT_EQ(read.ArrayLowBound(), 0);
    EXPECT_EQ(read.ArrayHighBound(), 1);
    EXPECT_EQ(read[0].VarType(), hostlib::varShortInt);
    EXPECT_EQ(read[0].AsInteger(), 1);
    EXPECT_EQ(read[1].VarType(), hostlib::varString);
    EXPECT_EQ(read[1].AsString(), "a");

    // Nested arrays and arrays with a low bound other than 0.
    Variant shifted = Variant::CreateArray(5, 6);
    shifted[5] = Variant(std::int32_t{9});
    shifted[6] = Array({Variant(true)});
    TMemoryStream nested;
    WriteVariantProc(nested, shifted);
    nested.SetPosition(0);
    const Variant back = ReadVariantFunc(nested);
    ASSERT_TRUE(back.IsArray());
    EXPECT_EQ(back.ArrayLowBound(), 0);
    EXPECT_EQ(back[0].AsInteger(), 9);
    ASSERT_TRUE(back[1].IsArray());
    EXPECT_TRUE(back[1][0].AsBoolean());
}

TEST(DataStreamVariants, DamagedTaggedInputRaisesStreamReadError)
{
    Bytes deep;
    for (int i = 0; i < 100; ++i)
        deep.insert(deep.end(), {0x01, 0x02, 0x01});
    deep.push_back(0x00);
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"tag 7", {0x07}},
        {"tag 10", {0x0A}},
        {"tag 11", {0x0B}},
        {"tag 14", {0x0E}},
        {"tag 19", {0x13}},
        {"tag 255", {0xFF}},
        {"array count with a string tag", {0x01, 0x06, 0x01, 0x61}},
        {"negative array count", {0x01, 0x02, 0xFF}},
        {"array count beyond the stream", {0x01, 0x04, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}},
        {"arrays nested too deep", deep},
        {"long string beyond the stream", {0x0C, 0x00, 0x00, 0x00, 0x40, 0x61}},
        {"truncated short string", {0x06, 0x05, 0x61}},
        {"truncated double", {0x05, 0x00}},
    };
    for (const auto& c : cases) {
        TMemoryStream stream(c.bytes);
        try {
            ReadVariantFunc(stream);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const hostlib::EReadError& e) {
            EXPECT_EQ(e.Message(), "Stream read error") << c.name;
        }
    }
}

// ---- Comparison -------------------------------------------------------------

TEST(DataVarCompare, OrdersNullFirstArraysByBoundAndIncomparablesAsLess)
{
    const Variant null = Variant::Null();
    const Variant zero(std::int32_t{0});
    const Variant five(std::int32_t{5});
    const Variant abc("abc");
    const Variant nan(std::numeric_limits<double>::quiet_NaN());
    const Variant arr3 = Array({zero, zero, zero});
    const Variant arr5 = Array({zero, zero, zero, zero, zero});
    struct Case {
        const char* name;
        Variant a;
        Variant b;
        int expected; // compared by sign unless exact
        bool exact = false;
    };
    const std::vector<Case> cases = {
        {"Null = Null", null, null, 0, true},
        {"Null < 0", null, zero, -1},
        {"0 > Null", zero, null, 1},
        {"Null < ''", null, Variant(""), -1},
        {"abc vs 5 is a conversion error", abc, five, -1, true},
        {"5 vs abc is a conversion error", five, abc, -1, true},
        {"string '5' equals 5", Variant("5"), five, 0, true},
        {"strings compare case-sensitively", Variant("B"), Variant("a"), -1},
        {"integer against double", Variant(std::int32_t{2}), Variant(2.5), -1},
        {"False < True", Variant(false), Variant(true), -1},
        {"high bounds 2 and 4", arr3, arr5, -2, true},
        {"high bounds 4 and 2", arr5, arr3, 2, true},
        {"value against array", five, arr3, -1, true},
        {"array against value", arr3, five, 1, true},
        {"arrays element by element", Array({zero, five}), Array({zero, zero}), 1},
        {"equal arrays", Array({zero, abc}), Array({zero, abc}), 0, true},
        {"arrays with incomparable elements", Array({abc}), Array({five}), -1, true},
        {"dates", Variant::FromDate(1.0), Variant::FromDate(2.0), -1},
        {"NaN before numbers", nan, Variant(-1e300), -1, true},
        {"numbers after NaN", zero, nan, 1, true},
        {"NaN equals NaN", nan, Variant(std::numeric_limits<float>::quiet_NaN()), 0, true},
        {"Null before NaN", null, nan, -1, true},
        {"NaN date before dates", Variant::FromDate(nan.AsDouble()), Variant::FromDate(0.0), -1, true},
        {"array from 1 equals itself", FromOne({zero, five}), FromOne({zero, five}), 0, true},
        {"arrays from 1 element by element", FromOne({zero, five}), FromOne({zero, zero}), 1},
        {"index 0 missing orders first", FromOne({zero, zero}), Array({zero, zero, zero}), -1, true},
        {"index 0 present orders last", Array({zero, zero, zero}), FromOne({zero, zero}), 1, true},
    };
    for (const auto& c : cases) {
        const int r = VarCompare(c.a, c.b);
        if (c.exact)
            EXPECT_EQ(r, c.expected) << c.name;
        else
            EXPECT_EQ((r > 0) - (r < 0), c.expected) << c.name;
        EXPECT_EQ(VarEquals(c.a, c.b), r == 0) << c.name;
    }
}

TEST(DataVarCompare, ExactEqualityComparesBooleansAsText)
{
    struct Case {
        const char* name;
        Variant a;
        Variant b;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"True and 'True'", Variant(true), Variant("True"), true},
        {"True and 1", Variant(true), Variant(std::int32_t{1}), false},
        {"True and -1", Variant(true), Variant(std::int32_t{-1}), false},
        {"False and 'False'", Variant(false), Variant("False"), true},
        {"Null and False", Variant::Null(), Variant(false), false},
        {"Null and Null", Variant::Null(), Variant::Null(), true},
        {"1 and '1' without Booleans", Variant(std::int32_t{1}), Variant("1"), true},
        {"True and True", Variant(true), Variant(true), true},
        {"True and an array", Variant(true), Array({Variant(true)}), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VarEqualsExact(c.a, c.b), c.expected) << c.name;
}

TEST(DataVarClassify, SoftNullDateAndNumericTests)
{
    struct Case {
        const char* name;
        Variant value;
        bool softNull;
        bool date;
        bool numeric;
    };
    const std::vector<Case> cases = {
        {"Null", Variant::Null(), true, false, false},
        {"empty string", Variant(""), true, false, false},
        {"empty wide string", Variant::FromOleStr(""), true, false, false},
        {"blank", Variant(" "), false, false, false},
        {"integer 0", Variant(std::int32_t{0}), false, false, true},
        {"Empty", Variant(), false, false, false},
        {"date", Variant::FromDate(2.5), false, true, false},
        {"double", Variant(2.5), false, false, true},
        {"currency", Variant(Currency::FromScaled(1)), false, false, true},
        {"Int64", Variant(5LL), false, false, true},
        {"Boolean", Variant(false), false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VarIsSoftNull(c.value), c.softNull) << c.name;
        EXPECT_EQ(VarIsDate(c.value), c.date) << c.name;
        EXPECT_EQ(VarIsNumericEx(c.value), c.numeric) << c.name;
    }
}

TEST(DataVarArrays, BetweenAndListArrays)
{
    Variant between;
    VarBetweenArrayCreate(between, Variant(std::int32_t{1}), Variant("z"));
    ASSERT_TRUE(between.IsArray());
    EXPECT_EQ(between.ArrayLowBound(), 0);
    EXPECT_EQ(between.ArrayHighBound(), 1);
    EXPECT_EQ(between[0].AsInteger(), 1);
    EXPECT_EQ(between[1].AsString(), "z");

    Variant list;
    VarListArrayCreate(list, Variant("a"));
    EXPECT_EQ(list.ArrayHighBound(), 0);
    VarListArrayAddValue(list, Variant::Null());
    VarListArrayAddValue(list, Variant(std::int32_t{3}));
    ASSERT_EQ(list.ArrayHighBound(), 2);
    EXPECT_EQ(list[0].AsString(), "a");
    EXPECT_TRUE(list[1].IsNull());
    EXPECT_EQ(list[2].AsInteger(), 3);

    // A list that starts at another low bound keeps its elements in order.
    Variant shifted = Variant::CreateArray(3, 4);
    shifted[3] = Variant("p");
    shifted[4] = Variant("q");
    VarListArrayAddValue(shifted, Variant("r"));
    EXPECT_EQ(shifted.ArrayLowBound(), 0);
    ASSERT_EQ(shifted.ArrayHighBound(), 2);
    EXPECT_EQ(shifted[0].AsString(), "p");
    EXPECT_EQ(shifted[2].AsString(), "r");

    // A value that is no array counts as an empty list.
    Variant plain("x");
    VarListArrayAddValue(plain, Variant("y"));
    ASSERT_TRUE(plain.IsArray());
    EXPECT_EQ(plain.ArrayHighBound(), 0);
    EXPECT_EQ(plain[0].AsString(), "y");
}
