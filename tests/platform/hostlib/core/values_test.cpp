// Values: the extended-float codec, Currency and Variant conversions and
// comparisons.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/extended.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/variant.h"

using namespace hostlib;

namespace {

struct ExtendedVector {
    double value;
    ExtendedBytes bytes;
};

TEST(ExtendedCodec, EncodesAndDecodesExactVectors)
{
    const std::vector<ExtendedVector> cases = {
        {1.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0xFF, 0x3F}},
        {1.5, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xFF, 0x3F}},
        {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
        {-2.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0xC0}},
        {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {-0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80}},
        {std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
        {-std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
        // The smallest subnormal double, 2^-1074, is a normal extended.
        {std::numeric_limits<double>::denorm_min(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xCD, 0x3B}},
        {std::numeric_limits<double>::max(), {0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x43}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(EncodeExtended(c.value), c.bytes);
        const double back = DecodeExtended(c.bytes);
        EXPECT_EQ(std::signbit(back), std::signbit(c.value));
        EXPECT_EQ(back, c.value);
    }
}

TEST(ExtendedCodec, DecodingRoundsToNearestEven)
{
    struct Case {
        std::uint64_t mantissa;
        unsigned exponent;
        double expected;
    };
    const std::uint64_t one = std::uint64_t{1} << 63;
    const double ulp = std::ldexp(1.0, -52);
    const std::vector<Case> cases = {
        // 1 + half an ulp: tie, rounds to the even 1.0.
        {one | (std::uint64_t{1} << 10), 0x3FFF, 1.0},
        // 1 + 1.5 ulp: tie, rounds to the even 1 + 2 ulp.
        {one | (std::uint64_t{3} << 10), 0x3FFF, 1.0 + 2 * ulp},
        // 1 + just above half an ulp rounds up.
        {one | (std::uint64_t{1} << 10) | 1, 0x3FFF, 1.0 + ulp},
        // Just below half an ulp rounds down.
        {one | ((std::uint64_t{1} << 10) - 1), 0x3FFF, 1.0},
        // All ones rounds up into the next power of two.
        {~std::uint64_t{0}, 0x3FFF, 2.0},
        // Far beyond the double range: infinity.
        {one, 0x3FFF + 2000, std::numeric_limits<double>::infinity()},
        // Far below: zero.
        {one, 0x3FFF - 2000, 0.0},
        // Exactly half the smallest subnormal ties to zero; above it rounds up.
        {one, 0x3FFF - 1075, 0.0},
        {one | 1, 0x3FFF - 1075, std::numeric_limits<double>::denorm_min()},
        // An unnormal (integer bit clear) is read by its value: 0.5 * 2^1.
        {std::uint64_t{1} << 62, 0x4000, 1.0},
        // Extended denormal exponent 0: too small for a double.
        {one, 0, 0.0},
    };
    for (const auto& c : cases) {
        ExtendedBytes b{};
        for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>(c.mantissa >> (8 * i));
        b[8] = static_cast<std::uint8_t>(c.exponent & 0xFF);
        b[9] = static_cast<std::uint8_t>(c.exponent >> 8);
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DecodeExtended(b), c.expected);
    }
}

TEST(ExtendedCodec, NanStaysNan)
{
    const ExtendedBytes b = EncodeExtended(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(DecodeExtended(b)));
    // A pseudo-NaN pattern with only low mantissa bits set is still a NaN.
    ExtendedBytes p{1, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F};
    EXPECT_TRUE(std::isnan(DecodeExtended(p)));
}

TEST(ExtendedCodec, RoundTripsManyDoubles)
{
    double v = 1e-300;
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(DecodeExtended(EncodeExtended(v)), v);
        ASSERT_EQ(DecodeExtended(EncodeExtended(-v)), -v);
        v *= 1.4142135623;
    }
}

TEST(CurrencyValue, ConvertsWithBankersRounding)
{
    struct Case {
        double in;
        std::int64_t scaled;
    };
    const std::vector<Case> cases = {
        {1.5, 15000}, {0.00005, 0}, {1.25, 12500}, {-0.00005, 0}, {-1.23456, -12346}, {1e14, 1000000000000000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(Currency::FromDouble(c.in).Scaled(), c.scaled);
    }
    EXPECT_THROW(Currency::FromDouble(1e300), EOverflow);
    EXPECT_THROW(Currency::FromDouble(std::nan("")), EOverflow);
    EXPECT_THROW(Currency::FromScaled(std::numeric_limits<std::int64_t>::max()) + Currency(1), EOverflow);
}

class VariantTest : public ::testing::Test {
protected:
    ScopedFormatSettings english_{EnglishFormatSettings()};
};

TEST_F(VariantTest, ConvertsToText)
{
    struct Case {
        Variant v;
        std::string text;
    };
    const std::vector<Case> cases = {
        {Variant(), ""},
        {Variant(42), "42"},
        {Variant(-7LL), "-7"},
        {Variant(18446744073709551615ULL), "18446744073709551615"},
        {Variant(1.5), "1.5"},
        {Variant(1e20), "1E20"},
        {Variant(0.1), "0.1"},
        {Variant(1.0 / 3), "0.333333333333333"},
        {Variant(123456789012345.0), "123456789012345"},
        {Variant(1e15), "1E15"},
        {Variant(0.0001), "0.0001"},
        {Variant(0.00001), "1E-5"},
        {Variant(0.1f), "0.1"},
        {Variant(Currency::FromScaled(15000)), "1.5"},
        {Variant(Currency::FromScaled(12345)), "1.2345"},
        {Variant(Currency::FromScaled(-10000)), "-1"},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {Variant("abc"), "abc"},
        {Variant::FromOleStr("wide"), "wide"},
        {Variant::FromDate(EncodeDate(2024, 2, 29)), "2/29/2024"},
        {Variant::FromDate(EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0)), "2/29/2024 1:05:00 PM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.v.AsString(), c.text);
        EXPECT_EQ(VarToStr(c.v), c.text);
    }
    EXPECT_EQ(VarToStr(Null()), "");
    EXPECT_THROW(Null().AsString(), EVariantTypeCastError);
}

TEST_F(VariantTest, ConvertsToIntegersRoundingHalfToEven)
{
    struct Case {
        Variant v;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {Variant(2.5), 2}, {Variant(3.5), 4}, {Variant(-2.5), -2}, {Variant(2.4999), 2},
        {Variant("12"), 12}, {Variant(" 12"), 12}, {Variant("2.5"), 2}, {Variant("$10"), 16},
        {Variant(true), -1}, {Variant(false), 0}, {Variant(), 0},
        {Variant(Currency::FromScaled(25000)), 2}, {Variant(Currency::FromScaled(35000)), 4},
        {Variant(Currency::FromScaled(-25001)), -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(VarTypeAsText(c.v.VarType()) + " " + VarToStr(c.v));
        EXPECT_EQ(c.v.AsInteger(), c.expected);
    }
}

TEST_F(VariantTest, ConversionErrors)
{
    EXPECT_THROW(Variant(3e9).AsInteger(), EVariantOverflowError);
    EXPECT_THROW(Variant(1e30).AsInt64(), EVariantOverflowError);
    EXPECT_THROW(Variant(300).AsType(varByte), EVariantOverflowError);
    EXPECT_THROW(Variant(-1).AsType(varWord), EVariantOverflowError);
    EXPECT_THROW(Variant("x").AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(Variant("x").AsDouble(), EVariantTypeCastError);
    EXPECT_THROW(Variant("maybe").AsBoolean(), EVariantTypeCastError);
    EXPECT_THROW(Null().AsInteger(), EVariantTypeCastError);
    EXPECT_THROW(Variant(1e300).AsCurrency(), EVariantOverflowError);
    EXPECT_THROW(Variant(std::numeric_limits<double>::quiet_NaN()).AsInteger(), EVariantOverflowError);
    try {
        Variant("x").AsInteger();
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Integer)");
    }
    try {
        Null().AsType(varDouble);
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (Null) into type (Double)");
    }
}

TEST_F(VariantTest, ConvertsBetweenTypes)
{
    EXPECT_EQ(Variant("1.25").AsDouble(), 1.25);
    EXPECT_EQ(Variant("True").AsBoolean(), true);
    EXPECT_EQ(Variant("false").AsBoolean(), false);
    EXPECT_EQ(Variant("0").AsBoolean(), false);
    EXPECT_EQ(Variant(2).AsBoolean(), true);
    EXPECT_EQ(Variant(1.5).AsCurrency().Scaled(), 15000);
    EXPECT_EQ(Variant("2/29/2024").AsDate(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(Variant(7).AsType(varSmallint).VarType(), varSmallint);
    EXPECT_EQ(Variant(7).AsType(varOleStr).VarType(), varOleStr);
    EXPECT_EQ(Variant(7).AsType(varString).AsString(), "7");
    EXPECT_TRUE(Variant(7).AsType(varNull).IsNull());
    EXPECT_EQ(Variant(1.0).AsType(varDate).VarType(), varDate);
}

TEST_F(VariantTest, ComparesWithTheSharedRules)
{
    struct Case {
        Variant a;
        Variant b;
        int expected;  // -1, 0, 1
    };
    const std::vector<Case> cases = {
        {Null(), Null(), 0},
        {Null(), Variant(0), -1},
        {Variant(""), Null(), 1},
        {Variant(), Variant(), 0},
        {Variant(), Variant(0), 0},
        {Variant(), Variant(""), 0},
        {Variant(), Variant(false), 0},
        {Variant(), Variant(1), -1},
        {Variant("a"), Variant("B"), 1},  // bytes, case-sensitive
        {Variant("abc"), Variant("abd"), -1},
        {Variant("abc"), Variant("abc"), 0},
        {Variant(1), Variant(2), -1},
        {Variant(9007199254740993LL), Variant(9007199254740992LL), 1},  // exact integers
        {Variant(18446744073709551615ULL), Variant(-1), 1},
        {Variant(1), Variant(1.0), 0},
        {Variant(1), Variant(1.5), -1},
        {Variant(Currency::FromScaled(10001)), Variant(1), 1},
        {Variant(Currency::FromScaled(10000)), Variant(1), 0},
        {Variant(false), Variant(true), -1},
        {Variant(true), Variant(0), -1},  // True is -1
        {Variant(true), Variant(-1), 0},
        {Variant("10"), Variant(9), 1},  // converted, not compared as text
        {Variant("1.5"), Variant(1.5), 0},
        {Variant("True"), Variant(true), 0},
        {Variant::FromDate(2.0), Variant(1), 1},
        {Variant("2/29/2024"), Variant::FromDate(EncodeDate(2024, 2, 29)), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(VarTypeAsText(c.a.VarType()) + " vs " + VarTypeAsText(c.b.VarType()));
        EXPECT_EQ(c.a == c.b, c.expected == 0);
        EXPECT_EQ(c.a < c.b, c.expected < 0);
        EXPECT_EQ(c.a > c.b, c.expected > 0);
    }
    EXPECT_THROW((void)(Variant("x") < Variant(1)), EVariantTypeCastError);
    EXPECT_THROW((void)(Variant(1) == Variant("x")), EVariantTypeCastError);
    EXPECT_THROW((void)(VarArrayOf({Variant(1)}) == Variant(1)), EVariantInvalidOpError);
    EXPECT_EQ(VarCompareValue(Null(), Variant(1)), vrNotEqual);
    EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
    EXPECT_EQ(VarCompareValue(Variant(1), Variant(2)), vrLessThan);
}

TEST_F(VariantTest, Arithmetic)
{
    EXPECT_TRUE((Null() + Variant(1)).IsNull());
    EXPECT_EQ((Variant("a") + Variant("b")).AsString(), "ab");
    EXPECT_EQ((Variant(2) + Variant(3)).VarType(), varInteger);
    EXPECT_EQ((Variant(2147483647) + Variant(1)).VarType(), varInt64);
    EXPECT_EQ((Variant(2147483647) + Variant(1)).AsInt64(), 2147483648LL);
    EXPECT_EQ((Variant(1) / Variant(4)).AsDouble(), 0.25);
    EXPECT_EQ((Variant(Currency::FromScaled(15000)) + Variant(1)).AsCurrency().Scaled(), 25000);
    EXPECT_EQ((Variant::FromDate(1.0) + Variant(1)).VarType(), varDate);
    EXPECT_EQ((-Variant(5)).AsInteger(), -5);
    EXPECT_THROW(Variant(1) / Variant(0), EZeroDivide);
    EXPECT_THROW(Variant(9223372036854775807LL) + Variant(1), EVariantOverflowError);
}

TEST_F(VariantTest, ArraysCopyByValueAndCheckBounds)
{
    Variant a = VarArrayCreate(1, 3, varInteger);
    EXPECT_EQ(a.VarType(), varArray | varInteger);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    EXPECT_EQ(a[2].AsInteger(), 0);
    a[2] = Variant(5);
    Variant b = a;
    b[2] = Variant(6);
    EXPECT_EQ(a[2].AsInteger(), 5);
    EXPECT_EQ(b[2].AsInteger(), 6);
    EXPECT_THROW(a[0], EVariantBadIndexError);
    EXPECT_THROW(a[4], EVariantBadIndexError);
    EXPECT_THROW(VarArrayCreate(3, 1, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(Variant(1).ArrayLowBound(), EVariantInvalidOpError);
    Variant empty = VarArrayOf({});
    EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
    EXPECT_THROW(a.AsInteger(), EVariantTypeCastError);
}

}  // namespace
