// The fourteen value types: captions, registry, sizes, comparisons,
// conversions, stream forms and display texts.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "components/data/bcd_timestamp.h"
#include "components/data/cxDataStorage.h"
#include "data_test_objects.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/hostlib/core/streams.h"

using hostlib::Currency;
using hostlib::TMemoryStream;
using hostlib::Variant;
using Bytes = std::vector<std::uint8_t>;

namespace {

// One place of a value type, zero-filled like a fresh record buffer, whose
// heap parts are freed with it.
class Place {
public:
    explicit Place(TcxValueTypeClass type) : type_(type), bytes_(static_cast<std::size_t>(type->GetDataSize()) + 1, 0) {}
    Place(TcxValueTypeClass type, const Variant& value) : Place(type) { Set(value); }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;
    ~Place() { type_->FreeBuffer(Data()); }

    std::uint8_t* Data() { return bytes_.data(); }
    void Set(const Variant& value) { type_->SetDataValue(Data(), value); }
    Variant Get()
    {
        Variant v;
        type_->GetDataValue(Data(), v);
        return v;
    }
    const void* Prepared() { return type_->PrepareValueBuffer(Data()); }

private:
    TcxValueTypeClass type_;
    Bytes bytes_;
};

Variant Int(std::int32_t v)
{
    return Variant(v);
}

} // namespace

TEST(DataValueTypes, CaptionsAndRegistryOrder)
{
    struct Case {
        TcxValueTypeClass type;
        const char* caption;
    };
    const std::vector<Case> cases = {
        {TcxStringValueType::Class(), "String"},       {TcxWideStringValueType::Class(), "WideString"},
        {TcxSmallintValueType::Class(), "Smallint"},   {TcxIntegerValueType::Class(), "Integer"},
        {TcxWordValueType::Class(), "Word"},           {TcxBooleanValueType::Class(), "Boolean"},
        {TcxFloatValueType::Class(), "Float"},         {TcxCurrencyValueType::Class(), "Currency"},
        {TcxDateTimeValueType::Class(), "DateTime"},   {TcxLargeIntValueType::Class(), "LargeInt"},
        {TcxFMTBcdValueType::Class(), "FMTBcd"},       {TcxSQLTimeStampValueType::Class(), "SQLTimeStamp"},
        {TcxVariantValueType::Class(), "Variant"},     {TcxObjectValueType::Class(), "Object"},
    };
    TcxValueTypeClassList& list = cxValueTypeClassList();
    ASSERT_EQ(list.Count(), static_cast<int>(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].type->Caption(), cases[i].caption);
        EXPECT_EQ(list.Items(static_cast<int>(i)), cases[i].type) << cases[i].caption;
        EXPECT_EQ(list.ItemByCaption(cases[i].caption), cases[i].type) << cases[i].caption;
    }
    EXPECT_EQ(TcxValueType::Class()->Caption(), "");
    EXPECT_EQ(list.ItemByCaption("integer"), nullptr);
    EXPECT_EQ(list.ItemByCaption(""), nullptr);
    EXPECT_THROW(list.Items(14), hostlib::EListError);

    // Registration keeps one entry per class; unregistering removes it.
    TcxValueTypeClassList own;
    own.RegisterItem(TcxIntegerValueType::Class());
    own.RegisterItem(TcxIntegerValueType::Class());
    EXPECT_EQ(own.Count(), 1);
    own.UnregisterItem(TcxIntegerValueType::Class());
    EXPECT_EQ(own.Count(), 0);

    // Shut-down empties the registry; the next use rebuilds it.
    cxDataStorageFinalize();
    EXPECT_EQ(cxValueTypeClassList().Count(), 14);
}

TEST(DataValueTypes, ClassesSizesAndVariantTypes)
{
    const int ptr = static_cast<int>(sizeof(void*));
    struct Case {
        TcxValueTypeClass type;
        int size;
        int varType;
        bool isString;
    };
    const std::vector<Case> cases = {
        {TcxValueType::Class(), 0, hostlib::varVariant, false},
        {TcxStringValueType::Class(), ptr, hostlib::varString, true},
        {TcxWideStringValueType::Class(), ptr, hostlib::varOleStr, true},
        {TcxSmallintValueType::Class(), 2, hostlib::varSmallint, false},
        {TcxIntegerValueType::Class(), 4, hostlib::varInteger, false},
        {TcxWordValueType::Class(), 2, hostlib::varWord, false},
        {TcxBooleanValueType::Class(), 1, hostlib::varBoolean, false},
        {TcxFloatValueType::Class(), 8, hostlib::varDouble, false},
        {TcxCurrencyValueType::Class(), 8, hostlib::varCurrency, false},
        {TcxDateTimeValueType::Class(), 8, hostlib::varDate, false},
        {TcxLargeIntValueType::Class(), 8, hostlib::varInt64, false},
        {TcxFMTBcdValueType::Class(), 34, hostlib::varDouble, false},
        {TcxSQLTimeStampValueType::Class(), 16, hostlib::varDate, false},
        {TcxVariantValueType::Class(), ptr, hostlib::varVariant, false},
        {TcxObjectValueType::Class(), ptr, hostlib::varInt64, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.type->GetDataSize(), c.size) << c.type->ClassName();
        EXPECT_EQ(c.type->GetVarType(), c.varType) << c.type->ClassName();
        EXPECT_EQ(c.type->IsString(), c.isString) << c.type->ClassName();
        EXPECT_TRUE(c.type->InheritsFrom(TcxValueType::Class())) << c.type->ClassName();
    }
    EXPECT_TRUE(TcxWideStringValueType::Class()->InheritsFrom(TcxStringValueType::Class()));
    EXPECT_TRUE(TcxObjectValueType::Class()->InheritsFrom(TcxIntegerValueType::Class()));
    EXPECT_FALSE(TcxStringValueType::Class()->InheritsFrom(TcxWideStringValueType::Class()));
}

TEST(DataValueTypes, CompareValuesOrdersByTheStoredValue)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        Variant a;
        Variant b;
        int expected; // compared by sign unless exact
        bool exact = false;
    };
    const std::vector<Case> cases = {
        {"Integer max vs min", TcxIntegerValueType::Class(), Int(2147483647), Int(-2147483647 - 1), 1},
        {"Integer min vs max", TcxIntegerValueType::Class(), Int(-2147483647 - 1), Int(2147483647), -1},
        {"LargeInt same low bits", TcxLargeIntValueType::Class(), Variant(0x100000001LL), Variant(0x200000001LL), -1},
        {"LargeInt signed", TcxLargeIntValueType::Class(), Variant(-1LL), Variant(1LL), -1},
        // Two-byte values and Booleans answer the difference itself.
        {"Smallint", TcxSmallintValueType::Class(), Int(-5), Int(3), -8, true},
        {"Smallint extremes", TcxSmallintValueType::Class(), Int(32767), Int(-32768), 65535, true},
        {"Word above 32767", TcxWordValueType::Class(), Int(40000), Int(3), 39997, true},
        {"Word extremes", TcxWordValueType::Class(), Int(0), Int(65535), -65535, true},
        {"Boolean false before true", TcxBooleanValueType::Class(), Variant(false), Variant(true), -1, true},
        {"Float", TcxFloatValueType::Class(), Variant(1.5), Variant(1.5), 0},
        {"Float negative", TcxFloatValueType::Class(), Variant(-1e300), Variant(1e-300), -1},
        {"Float NaN before numbers", TcxFloatValueType::Class(), Variant(nan), Variant(-1e300), -1, true},
        {"Float number after NaN", TcxFloatValueType::Class(), Variant(0.0), Variant(nan), 1, true},
        {"Float NaN equals NaN", TcxFloatValueType::Class(), Variant(nan), Variant(nan), 0, true},
        {"DateTime NaN first", TcxDateTimeValueType::Class(), Variant::FromDate(nan), Variant::FromDate(0.0), -1, true},
        {"Currency", TcxCurrencyValueType::Class(), Variant(Currency::FromScaled(5)), Variant(Currency::FromScaled(4)), 1},
        {"DateTime", TcxDateTimeValueType::Class(), Variant::FromDate(2.5), Variant::FromDate(2.75), -1},
        {"String case-sensitive", TcxStringValueType::Class(), Variant("B"), Variant("a"), -1},
        {"String equal", TcxStringValueType::Class(), Variant("abc"), Variant("abc"), 0},
        {"WideString", TcxWideStringValueType::Class(), Variant("b"), Variant("a"), 1},
        {"FMTBcd", TcxFMTBcdValueType::Class(), Variant("12345678901234567890.5"), Variant("12345678901234567890.25"), 1},
        {"FMTBcd signs", TcxFMTBcdValueType::Class(), Variant(-0.5), Variant(0.25), -1},
        {"FMTBcd zero below a fraction", TcxFMTBcdValueType::Class(), Int(0), Variant(0.5), -1},
        {"FMTBcd fraction above zero", TcxFMTBcdValueType::Class(), Variant("0.001"), Int(0), 1},
        {"FMTBcd zero above a negative fraction", TcxFMTBcdValueType::Class(), Int(0), Variant(-0.5), 1},
        {"SQLTimeStamp", TcxSQLTimeStampValueType::Class(), Variant::FromDate(100.5), Variant::FromDate(100.25), 1},
        {"Variant", TcxVariantValueType::Class(), Int(3), Variant("4"), -1},
        {"Variant Null first", TcxVariantValueType::Class(), Variant::Null(), Int(0), -1},
    };
    for (const auto& c : cases) {
        Place a(c.type, c.a);
        Place b(c.type, c.b);
        const int r = c.type->CompareValues(a.Prepared(), b.Prepared());
        const int sign = (c.expected > 0) - (c.expected < 0);
        EXPECT_EQ(c.exact ? r : (r > 0) - (r < 0), c.expected) << c.name;
        const int byPlace = c.type->Compare(a.Data(), b.Data());
        EXPECT_EQ((byPlace > 0) - (byPlace < 0), sign) << c.name;
    }
}

TEST(DataValueTypes, EmptyHeapStringsOrderAfterNoString)
{
    for (TcxValueTypeClass type : {TcxStringValueType::Class(), TcxWideStringValueType::Class()}) {
        Place none(type);
        Place empty1(type, Variant(""));
        Place empty2(type, Variant(""));
        EXPECT_NE(empty1.Prepared(), nullptr) << type->Caption();
        EXPECT_EQ(type->CompareValues(empty1.Prepared(), empty2.Prepared()), 0) << type->Caption();
        EXPECT_LT(type->CompareValues(none.Prepared(), empty1.Prepared()), 0) << type->Caption();
        EXPECT_GT(type->CompareValues(empty1.Prepared(), none.Prepared()), 0) << type->Caption();
        EXPECT_EQ(type->CompareValues(none.Prepared(), none.Prepared()), 0) << type->Caption();
        EXPECT_TRUE(none.Get().IsNull()) << type->Caption();
    }
    Place none(TcxVariantValueType::Class());
    Place null(TcxVariantValueType::Class(), Variant::Null());
    EXPECT_LT(TcxVariantValueType::Class()->CompareValues(none.Prepared(), null.Prepared()), 0);
}

TEST(DataValueTypes, ConversionsIntoAndOutOfVariants)
{
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        Variant in;
        hostlib::TVarType outType;
        std::string outText;
    };
    const std::vector<Case> cases = {
        {"String from integer", TcxStringValueType::Class(), Int(12), hostlib::varString, "12"},
        {"WideString from string", TcxWideStringValueType::Class(), Variant("\xC3\xA9"), hostlib::varOleStr, "\xC3\xA9"},
        {"Smallint from text", TcxSmallintValueType::Class(), Variant("-300"), hostlib::varSmallint, "-300"},
        {"Integer rounds half to even", TcxIntegerValueType::Class(), Variant(2.5), hostlib::varInteger, "2"},
        {"Word", TcxWordValueType::Class(), Int(65535), hostlib::varWord, "65535"},
        {"Boolean from -1", TcxBooleanValueType::Class(), Int(-1), hostlib::varBoolean, "True"},
        {"Float from text", TcxFloatValueType::Class(), Variant("1.5"), hostlib::varDouble, "1.5"},
        {"Currency", TcxCurrencyValueType::Class(), Variant(1.25), hostlib::varCurrency, "1.25"},
        {"DateTime from number", TcxDateTimeValueType::Class(), Variant(2.0), hostlib::varDate, ""},
        {"LargeInt", TcxLargeIntValueType::Class(), Variant(-5000000000LL), hostlib::varInt64, "-5000000000"},
        {"FMTBcd from text", TcxFMTBcdValueType::Class(), Variant("1.25"), hostlib::varDouble, "1.25"},
        {"FMTBcd from integer", TcxFMTBcdValueType::Class(), Int(-7), hostlib::varDouble, "-7"},
        {"Variant keeps the type", TcxVariantValueType::Class(), Variant(std::uint16_t{7}), hostlib::varWord, "7"},
    };
    for (const auto& c : cases) {
        Place p(c.type, c.in);
        const Variant out = p.Get();
        EXPECT_EQ(out.VarType(), c.outType) << c.name;
        if (!c.outText.empty()) {
            EXPECT_EQ(hostlib::VarToStr(out), c.outText) << c.name;
        }
    }
    // Currency keeps all four decimals on its way into a packed decimal.
    Place money(TcxFMTBcdValueType::Class(), Variant(Currency::FromScaled(9223372036854775807LL)));
    EXPECT_EQ(TcxFMTBcdValueType::Class()->GetDefaultDisplayText(money.Data()), "922337203685477.5807");
    // The first and last days a time stamp holds, time of day included.
    for (const double edge : {hostlib::EncodeDate(1, 1, 1) - 0.5, hostlib::EncodeDate(9999, 12, 31) + 0.5}) {
        Place p(TcxSQLTimeStampValueType::Class(), Variant::FromDate(edge));
        EXPECT_DOUBLE_EQ(p.Get().AsDate(), edge);
    }
    // A time stamp keeps the date and the time to the millisecond.
    Place stamp(TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5));
    EXPECT_EQ(stamp.Get().VarType(), hostlib::varDate);
    EXPECT_DOUBLE_EQ(stamp.Get().AsDate(), 45000.5);
    TSQLTimeStamp raw{};
    std::memcpy(&raw, stamp.Data(), sizeof raw);
    EXPECT_EQ(raw.Year, 2023);
    EXPECT_EQ(raw.Hour, 12);
}

TEST(DataValueTypes, FailedConversionLeavesThePlaceAsItWas)
{
    // A value set directly, or, when stream bytes are given, read from them.
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        Variant before;
        Variant bad;
        Bytes stream = {};
    };
    const std::vector<Case> cases = {
        {"Integer from x", TcxIntegerValueType::Class(), Int(5), Variant("x")},
        {"Integer overflow", TcxIntegerValueType::Class(), Int(5), Variant(1e12)},
        {"Smallint overflow", TcxSmallintValueType::Class(), Int(5), Int(70000)},
        {"Word negative", TcxWordValueType::Class(), Int(5), Int(-1)},
        {"Float from x", TcxFloatValueType::Class(), Variant(1.5), Variant("x")},
        {"Boolean from x", TcxBooleanValueType::Class(), Variant(true), Variant("x")},
        {"DateTime from x", TcxDateTimeValueType::Class(), Variant::FromDate(3.0), Variant("x")},
        {"FMTBcd from x", TcxFMTBcdValueType::Class(), Variant("2.5"), Variant("x")},
        {"String from an array", TcxStringValueType::Class(), Variant("keep"), Variant::ArrayOf({Int(1)})},
        {"SQLTimeStamp past the year 9999", TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5),
         Variant::FromDate(1e7)},
        {"SQLTimeStamp before the year 1", TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5),
         Variant::FromDate(-700000.0)},
        {"SQLTimeStamp from infinity", TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5),
         Variant(std::numeric_limits<double>::infinity())},
        {"SQLTimeStamp from NaN", TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5),
         Variant(std::numeric_limits<double>::quiet_NaN())},
        {"SQLTimeStamp read as a NaN date", TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5), {},
         {0x11, 0, 0, 0, 0, 0, 0, 0xF8, 0x7F}},
        {"SQLTimeStamp read as Null", TcxSQLTimeStampValueType::Class(), Variant::FromDate(45000.5), {}, {0x00}},
        {"FMTBcd read as Null", TcxFMTBcdValueType::Class(), Variant("2.5"), {}, {0x00}},
        {"FMTBcd read as text", TcxFMTBcdValueType::Class(), Variant("2.5"), {}, {0x06, 0x01, 'x'}},
        {"FMTBcd read as an infinite double", TcxFMTBcdValueType::Class(), Variant("2.5"), {},
         {0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
        {"Integer read cut short", TcxIntegerValueType::Class(), Int(5), {}, {0x07, 0x00}},
    };
    for (const auto& c : cases) {
        Place p(c.type, c.before);
        const std::string before = hostlib::VarToStr(p.Get());
        TMemoryStream stream(c.stream);
        if (c.stream.empty())
            EXPECT_THROW(p.Set(c.bad), hostlib::Exception) << c.name;
        else
            EXPECT_THROW(c.type->ReadDataValue(p.Data(), stream), hostlib::Exception) << c.name;
        EXPECT_EQ(hostlib::VarToStr(p.Get()), before) << c.name;
    }
}

TEST(DataValueTypes, IsValueValidConvertsInPlace)
{
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        Variant value;
        bool valid;
        hostlib::TVarType typeAfter;
        std::string textAfter;
    };
    const std::vector<Case> cases = {
        {"'12' for Integer", TcxIntegerValueType::Class(), Variant("12"), true, hostlib::varInteger, "12"},
        {"'x' for Integer", TcxIntegerValueType::Class(), Variant("x"), false, hostlib::varString, "x"},
        {"Null for Integer", TcxIntegerValueType::Class(), Variant::Null(), true, hostlib::varNull, ""},
        {"anything for Variant", TcxVariantValueType::Class(), Variant("x"), true, hostlib::varString, "x"},
        {"'1.5' for Float", TcxFloatValueType::Class(), Variant("1.5"), true, hostlib::varDouble, "1.5"},
        {"5 for String", TcxStringValueType::Class(), Int(5), true, hostlib::varString, "5"},
        {"70000 for Smallint", TcxSmallintValueType::Class(), Int(70000), false, hostlib::varInteger, "70000"},
        {"'True' for Boolean", TcxBooleanValueType::Class(), Variant("True"), true, hostlib::varBoolean, "True"},
    };
    for (const auto& c : cases) {
        Variant v = c.value;
        EXPECT_EQ(c.type->IsValueValid(v), c.valid) << c.name;
        EXPECT_EQ(v.VarType(), c.typeAfter) << c.name;
        EXPECT_EQ(hostlib::VarToStr(v), c.textAfter) << c.name;
    }
}

TEST(DataValueTypes, StreamFormsOfEachType)
{
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        Variant value;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"String", TcxStringValueType::Class(), Variant("ab"), {0x02, 0, 0, 0, 0x61, 0x62}},
        {"WideString as UTF-16", TcxWideStringValueType::Class(), Variant("\xC3\xA9"), {0x01, 0, 0, 0, 0xE9, 0x00}},
        {"Smallint", TcxSmallintValueType::Class(), Int(-2), {0xFE, 0xFF}},
        {"Integer", TcxIntegerValueType::Class(), Int(5), {0x05, 0, 0, 0}},
        {"Word", TcxWordValueType::Class(), Int(0x1234), {0x34, 0x12}},
        {"Boolean", TcxBooleanValueType::Class(), Variant(true), {0x01}},
        {"Float as extended", TcxFloatValueType::Class(), Variant(1.5), {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
        {"Currency", TcxCurrencyValueType::Class(), Variant(1.5), {0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
        {"DateTime", TcxDateTimeValueType::Class(), Variant::FromDate(1.0), {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"LargeInt", TcxLargeIntValueType::Class(), Variant(-1LL), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"FMTBcd as a tagged Double", TcxFMTBcdValueType::Class(), Variant("1.5"), {0x05, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
        {"SQLTimeStamp as a tagged Date", TcxSQLTimeStampValueType::Class(), Variant::FromDate(1.0),
         {0x11, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}},
        {"Variant tagged", TcxVariantValueType::Class(), Int(127), {0x02, 0x7F}},
        {"Object writes nothing", TcxObjectValueType::Class(), Variant(0LL), {}},
    };
    for (const auto& c : cases) {
        Place p(c.type, c.value);
        TMemoryStream stream;
        c.type->WriteDataValue(p.Data(), stream);
        EXPECT_EQ(stream.Bytes(), c.expected) << c.name;

        stream.SetPosition(0);
        Place back(c.type);
        c.type->ReadDataValue(back.Data(), stream);
        EXPECT_EQ(stream.Position(), stream.Size()) << c.name;
        EXPECT_EQ(c.type->Compare(p.Data(), back.Data()), 0) << c.name;
    }
}

TEST(DataValueTypes, BcdRoundTripThroughTheStreamKeepsDoublePrecisionOnly)
{
    Place p(TcxFMTBcdValueType::Class(), Variant("1234567890.123456789012"));
    EXPECT_EQ(TcxFMTBcdValueType::Class()->GetDefaultDisplayText(p.Data()), "1234567890.123456789012");
    TMemoryStream stream;
    TcxFMTBcdValueType::Class()->WriteDataValue(p.Data(), stream);
    stream.SetPosition(0);
    Place back(TcxFMTBcdValueType::Class());
    TcxFMTBcdValueType::Class()->ReadDataValue(back.Data(), stream);
    EXPECT_EQ(TcxFMTBcdValueType::Class()->GetDefaultDisplayText(back.Data()), "1234567890.12346");
}

TEST(DataValueTypes, DefaultDisplayTexts)
{
    hostlib::TFormatSettings fs = hostlib::EnglishFormatSettings();
    fs.DecimalSeparator = ',';
    const hostlib::ScopedFormatSettings scoped(fs);
    struct Case {
        const char* name;
        TcxValueTypeClass type;
        Variant value;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"Boolean true", TcxBooleanValueType::Class(), Variant(true), "True"},
        {"Boolean false", TcxBooleanValueType::Class(), Variant(false), "False"},
        {"Integer", TcxIntegerValueType::Class(), Int(-5), "-5"},
        {"Float with the locale's separator", TcxFloatValueType::Class(), Variant(1.5), "1,5"},
        {"FMTBcd with the locale's separator", TcxFMTBcdValueType::Class(), Variant("2,25"), "2,25"},
        {"String", TcxStringValueType::Class(), Variant("abc"), "abc"},
        {"DateTime", TcxDateTimeValueType::Class(), Variant::FromDate(1.0), hostlib::VarToStr(Variant::FromDate(1.0))},
    };
    for (const auto& c : cases) {
        Place p(c.type, c.value);
        EXPECT_EQ(c.type->GetDefaultDisplayText(p.Data()), c.text) << c.name;
    }
    // A time stamp whose fields name no date (a buffer filled from outside)
    // shows nothing instead of raising.
    for (const TSQLTimeStamp stamp : {TSQLTimeStamp{}, TSQLTimeStamp{2000, 13, 1, 0, 0, 0, 0}}) {
        std::uint8_t raw[sizeof(TSQLTimeStamp)];
        std::memcpy(raw, &stamp, sizeof raw);
        EXPECT_EQ(TcxSQLTimeStampValueType::Class()->GetDefaultDisplayText(raw), "");
    }
    // The base type holds nothing and shows nothing.
    Place base(TcxValueType::Class());
    EXPECT_EQ(TcxValueType::Class()->GetDefaultDisplayText(base.Data()), "");
}


TEST(DataValueTypes, ObjectValuesAreOwnedByTheirPlace)
{
    int destroyed = 0;
    {
        Place p(TcxObjectValueType::Class());
        auto* first = new CountedObject(destroyed);
        p.Set(AddressOf(first));
        EXPECT_EQ(p.Get().AsInt64(), AddressOf(first).AsInt64());
        p.Set(AddressOf(first)); // the same object again: kept
        EXPECT_EQ(destroyed, 0);
        p.Set(AddressOf(new CountedObject(destroyed))); // replaced: the first is freed
        EXPECT_EQ(destroyed, 1);

        // Not streamed: reading gives an empty place and frees what it held.
        TMemoryStream stream;
        TcxObjectValueType::Class()->ReadDataValue(p.Data(), stream);
        EXPECT_EQ(destroyed, 2);
        EXPECT_EQ(p.Get().AsInt64(), 0);
        p.Set(AddressOf(new CountedObject(destroyed)));
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(DataBcd, TextAndNumberConversions)
{
    struct Case {
        std::string text;
        char separator;
        bool valid;
        std::string shown; // with '.'
    };
    const std::vector<Case> cases = {
        {"0", '.', true, "0"},
        {"-0.0", '.', true, "0"},
        {"007.500", '.', true, "7.5"},
        {"-0,05", ',', true, "-0.05"},
        {"1E3", '.', true, "1000"},
        {"1.5e-3", '.', true, "0.0015"},
        {"+12", '.', true, "12"},
        {"", '.', false, ""},
        {"1.2.3", '.', false, ""},
        {"12a", '.', false, ""},
        {"1,5", '.', false, ""},
        {"-", '.', false, ""},
        {std::string(65, '9'), '.', false, ""},
    };
    for (const auto& c : cases) {
        const auto bcd = TryStrToBcd(c.text, c.separator);
        EXPECT_EQ(bcd.has_value(), c.valid) << c.text;
        if (bcd && c.valid) {
            EXPECT_EQ(BcdToStr(*bcd, '.'), c.shown) << c.text;
        }
    }
    EXPECT_EQ(BcdToStr(Int64ToBcd(INT64_MIN), '.'), "-9223372036854775808");
    EXPECT_EQ(BcdToDouble(*TryStrToBcd("-2.5", '.')), -2.5);
    EXPECT_FALSE(TryDoubleToBcd(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_EQ(BcdCompare(*TryStrToBcd("0.05", '.'), *TryStrToBcd("0.5", '.')), -1);
    EXPECT_EQ(BcdCompare(*TryStrToBcd("10", '.'), *TryStrToBcd("9.99", '.')), 1);
    EXPECT_EQ(BcdCompare(*TryStrToBcd("-10", '.'), *TryStrToBcd("-9.99", '.')), -1);
    EXPECT_EQ(BcdCompare(*TryStrToBcd("1.50", '.'), *TryStrToBcd("1.5", '.')), 0);
    // Fraction digits beyond 64 significant digits are cut off.
    const std::string longFraction = "1." + std::string(70, '3');
    EXPECT_EQ(BcdToStr(*TryStrToBcd(longFraction, '.'), '.'), "1." + std::string(63, '3'));
}
