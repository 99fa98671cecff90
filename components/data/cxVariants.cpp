#include "components/data/cxVariants.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>
#include <vector>

#include "components/data/cxDataConsts.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/extended.h"
#include "platform/hostlib/core/format.h"

using hostlib::TStream;
using hostlib::Variant;

namespace {

// Tags of the variant stream form.
enum : std::uint8_t {
    tagNull = 0,
    tagArray = 1,
    tagShortInt = 2,
    tagSmallInt = 3,
    tagInteger = 4,
    tagDouble = 5,
    tagShortString = 6,
    tagFalse = 8,
    tagTrue = 9,
    tagLongString = 12,
    tagEmpty = 13,
    tagSingle = 15,
    tagCurrency = 16,
    tagDate = 17,
    tagOleStr = 18,
};

// Nested arrays deeper than this are taken for a damaged stream rather
// than followed down the call stack.
constexpr int maxArrayNesting = 64;

[[noreturn]] void ReadError()
{
    throw hostlib::EReadError(cxSDataReadError);
}

[[noreturn]] void WriteError()
{
    throw hostlib::EWriteError(cxSDataWriteError);
}

std::int64_t Remaining(TStream& stream)
{
    return stream.Size() - stream.Position();
}

// Little-endian whatever the host's order.
template <class T>
void WriteLE(TStream& stream, T value)
{
    using U = std::make_unsigned_t<T>;
    auto bits = static_cast<U>(value);
    std::array<std::uint8_t, sizeof(T)> bytes{};
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(bits & 0xFF);
        if constexpr (sizeof(T) > 1)
            bits = static_cast<U>(bits >> 8);
    }
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

template <class T>
T ReadLE(TStream& stream)
{
    using U = std::make_unsigned_t<T>;
    std::array<std::uint8_t, sizeof(T)> bytes{};
    stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    U bits = 0;
    for (std::size_t i = bytes.size(); i-- > 0;) {
        if constexpr (sizeof(T) > 1)
            bits = static_cast<U>(bits << 8);
        bits = static_cast<U>(bits | bytes[i]);
    }
    return static_cast<T>(bits);
}

// A byte count read from the stream, checked against what is left of it
// before anything is allocated.
std::int64_t CheckedLength(TStream& stream, std::int64_t count, std::int64_t unitSize)
{
    if (count < 0 || count > Remaining(stream) / unitSize)
        ReadError();
    return count;
}

std::string ReadBytes(TStream& stream, std::int64_t count)
{
    std::string result(static_cast<std::size_t>(CheckedLength(stream, count, 1)), '\0');
    if (count > 0)
        stream.ReadBuffer(result.data(), count);
    return result;
}

void WriteCompactInteger(TStream& stream, std::int32_t value)
{
    if (value >= -128 && value <= 127) {
        WriteLE<std::uint8_t>(stream, tagShortInt);
        WriteLE<std::int8_t>(stream, static_cast<std::int8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        WriteLE<std::uint8_t>(stream, tagSmallInt);
        WriteLE<std::int16_t>(stream, static_cast<std::int16_t>(value));
    } else {
        WriteLE<std::uint8_t>(stream, tagInteger);
        WriteLE<std::int32_t>(stream, value);
    }
}

std::int32_t ReadCompactInteger(TStream& stream)
{
    switch (ReadLE<std::uint8_t>(stream)) {
    case tagShortInt: return ReadLE<std::int8_t>(stream);
    case tagSmallInt: return ReadLE<std::int16_t>(stream);
    case tagInteger: return ReadLE<std::int32_t>(stream);
    default: ReadError();
    }
}

void WriteTaggedString(TStream& stream, const std::string& s)
{
    if (s.size() <= 255) {
        WriteLE<std::uint8_t>(stream, tagShortString);
        WriteLE<std::uint8_t>(stream, static_cast<std::uint8_t>(s.size()));
        if (!s.empty())
            stream.WriteBuffer(s.data(), static_cast<std::int64_t>(s.size()));
    } else {
        WriteLE<std::uint8_t>(stream, tagLongString);
        WriteStringProc(stream, s);
    }
}

void WriteVariant(TStream& stream, const Variant& value)
{
    if (value.IsArray()) {
        if (hostlib::VarArrayDimCount(value) != 1)
            WriteError();
        const int low = value.ArrayLowBound();
        const int high = value.ArrayHighBound();
        WriteLE<std::uint8_t>(stream, tagArray);
        WriteCompactInteger(stream, high - low + 1);
        for (int i = low; i <= high; ++i)
            WriteVariant(stream, value[i]);
        return;
    }
    switch (value.VarType() & hostlib::varTypeMask) {
    case hostlib::varEmpty: WriteLE<std::uint8_t>(stream, tagEmpty); return;
    case hostlib::varNull: WriteLE<std::uint8_t>(stream, tagNull); return;
    case hostlib::varSmallint:
    case hostlib::varInteger:
    case hostlib::varShortInt:
    case hostlib::varByte: WriteCompactInteger(stream, value.AsInteger()); return;
    case hostlib::varSingle:
        WriteLE<std::uint8_t>(stream, tagSingle);
        WriteSingleProc(stream, static_cast<float>(value.AsDouble()));
        return;
    case hostlib::varDouble:
        WriteLE<std::uint8_t>(stream, tagDouble);
        WriteFloatProc(stream, value.AsDouble());
        return;
    case hostlib::varCurrency:
        WriteLE<std::uint8_t>(stream, tagCurrency);
        WriteCurrencyProc(stream, value.AsCurrency());
        return;
    case hostlib::varDate:
        WriteLE<std::uint8_t>(stream, tagDate);
        WriteDateTimeProc(stream, value.AsDate());
        return;
    case hostlib::varOleStr:
        WriteLE<std::uint8_t>(stream, tagOleStr);
        WriteWideStringProc(stream, hostlib::Utf8ToUtf16(value.AsString()));
        return;
    case hostlib::varBoolean: WriteLE<std::uint8_t>(stream, value.AsBoolean() ? tagTrue : tagFalse); return;
    case hostlib::varString: WriteTaggedString(stream, value.AsString()); return;
    default: break;
    }
    // Every other type travels as its text.
    std::string text;
    try {
        text = value.AsString();
    } catch (const std::exception&) {
        WriteError();
    }
    WriteTaggedString(stream, text);
}

void ReadVariant(TStream& stream, Variant& value, int depth)
{
    const std::uint8_t tag = ReadLE<std::uint8_t>(stream);
    switch (tag) {
    case tagNull: value = Variant::Null(); return;
    case tagArray: {
        if (depth >= maxArrayNesting)
            ReadError();
        // Every element takes at least its tag byte.
        const std::int32_t count = static_cast<std::int32_t>(CheckedLength(stream, ReadCompactInteger(stream), 1));
        std::vector<Variant> items(static_cast<std::size_t>(count));
        value = Variant::ArrayOf(items);
        for (std::int32_t i = 0; i < count; ++i)
            ReadVariant(stream, value[i], depth + 1);
        return;
    }
    case tagShortInt: value = Variant(ReadLE<std::int8_t>(stream)); return;
    case tagSmallInt: value = Variant(ReadLE<std::int16_t>(stream)); return;
    case tagInteger: value = Variant(ReadLE<std::int32_t>(stream)); return;
    case tagDouble: value = Variant(ReadFloatFunc(stream)); return;
    case tagShortString: value = Variant(ReadBytes(stream, ReadLE<std::uint8_t>(stream))); return;
    case tagFalse: value = Variant(false); return;
    case tagTrue: value = Variant(true); return;
    case tagLongString: value = Variant(ReadStringFunc(stream)); return;
    case tagEmpty: value = Variant(); return;
    case tagSingle: value = Variant(ReadSingleFunc(stream)); return;
    case tagCurrency: value = Variant(ReadCurrencyFunc(stream)); return;
    case tagDate: value = Variant::FromDate(ReadDateTimeFunc(stream)); return;
    case tagOleStr: value = Variant::FromOleStr(hostlib::Utf16ToUtf8(ReadWideStringFunc(stream))); return;
    default: ReadError();
    }
}

bool IsNaN(const Variant& V)
{
    switch (V.VarType()) {
    case hostlib::varSingle:
    case hostlib::varDouble:
    case hostlib::varDate: return std::isnan(V.AsDouble());
    default: return false;
    }
}

} // namespace

// ---- Comparison and classification ----------------------------------------

int VarCompare(const Variant& A, const Variant& B)
{
    try {
        const bool arrayA = A.IsArray();
        const bool arrayB = B.IsArray();
        if (arrayA && arrayB) {
            const std::int64_t highA = A.ArrayHighBound();
            const std::int64_t highB = B.ArrayHighBound();
            if (highA != highB) {
                const std::int64_t diff = highA - highB;
                return diff < std::numeric_limits<int>::min()   ? std::numeric_limits<int>::min()
                       : diff > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                                : static_cast<int>(diff);
            }
            // Index by index from the lower of the two low bounds (0 for the
            // arrays made here); an index only one array has puts the other
            // first, as Null would, so that every array equals itself.
            const int lowA = A.ArrayLowBound();
            const int lowB = B.ArrayLowBound();
            for (int i = std::min(lowA, lowB); i <= highA; ++i) {
                const bool inA = i >= lowA;
                const bool inB = i >= lowB;
                if (inA != inB)
                    return inA ? 1 : -1;
                if (!inA)
                    continue;
                const int r = VarCompare(A[i], B[i]);
                if (r != 0)
                    return r;
            }
            return 0;
        }
        if (arrayA)
            return 1;
        if (arrayB)
            return -1;
        if (A.IsNull() || B.IsNull())
            return A.IsNull() == B.IsNull() ? 0 : (A.IsNull() ? -1 : 1);
        // NaN is neither less nor greater than anything: it orders after
        // Null and before every other value, as the value types keep it.
        const bool nanA = IsNaN(A);
        const bool nanB = IsNaN(B);
        if (nanA || nanB)
            return nanA == nanB ? 0 : (nanA ? -1 : 1);
        if (A == B)
            return 0;
        return A < B ? -1 : 1;
    } catch (const hostlib::EVariantError&) {
        return -1;
    }
}

bool VarEquals(const Variant& A, const Variant& B)
{
    return VarCompare(A, B) == 0;
}

bool VarEqualsExact(const Variant& A, const Variant& B)
{
    const bool eitherNull = A.IsNull() || B.IsNull();
    const bool eitherBoolean = A.VarType() == hostlib::varBoolean || B.VarType() == hostlib::varBoolean;
    if (eitherNull || !eitherBoolean)
        return VarEquals(A, B);
    try {
        return A.AsString() == B.AsString();
    } catch (const hostlib::EVariantError&) {
        return false;
    }
}

bool VarIsDate(const Variant& V)
{
    return (V.VarType() & hostlib::varTypeMask) == hostlib::varDate && !V.IsArray();
}

bool VarIsNumericEx(const Variant& V)
{
    return hostlib::VarIsNumeric(V);
}

bool VarIsSoftNull(const Variant& V)
{
    return V.IsNull() || (hostlib::VarIsStr(V) && V.AsString().empty());
}

void VarBetweenArrayCreate(Variant& R, const Variant& V1, const Variant& V2)
{
    R = Variant::ArrayOf({V1, V2});
}

void VarListArrayCreate(Variant& R, const Variant& V)
{
    R = Variant::ArrayOf({V});
}

void VarListArrayAddValue(Variant& R, const Variant& V)
{
    std::vector<Variant> items;
    if (R.IsArray())
        items = R.ArrayItems();
    items.push_back(V);
    R = Variant::ArrayOf(items);
}

// ---- Scalar procedures ------------------------------------------------------

void ReadBooleanProc(TStream& stream, bool& value) { value = ReadLE<std::uint8_t>(stream) != 0; }
bool ReadBooleanFunc(TStream& stream) { return ReadLE<std::uint8_t>(stream) != 0; }
void WriteBooleanProc(TStream& stream, bool value) { WriteLE<std::uint8_t>(stream, value ? 1 : 0); }

void ReadCharProc(TStream& stream, char& value) { value = ReadCharFunc(stream); }
char ReadCharFunc(TStream& stream) { return static_cast<char>(ReadLE<std::uint8_t>(stream)); }
void WriteCharProc(TStream& stream, char value) { WriteLE<std::uint8_t>(stream, static_cast<std::uint8_t>(value)); }

void ReadByteProc(TStream& stream, std::uint8_t& value) { value = ReadLE<std::uint8_t>(stream); }
std::uint8_t ReadByteFunc(TStream& stream) { return ReadLE<std::uint8_t>(stream); }
void WriteByteProc(TStream& stream, std::uint8_t value) { WriteLE(stream, value); }

void ReadShortIntProc(TStream& stream, std::int8_t& value) { value = ReadLE<std::int8_t>(stream); }
std::int8_t ReadShortIntFunc(TStream& stream) { return ReadLE<std::int8_t>(stream); }
void WriteShortIntProc(TStream& stream, std::int8_t value) { WriteLE(stream, value); }

void ReadSmallIntProc(TStream& stream, std::int16_t& value) { value = ReadLE<std::int16_t>(stream); }
std::int16_t ReadSmallIntFunc(TStream& stream) { return ReadLE<std::int16_t>(stream); }
void WriteSmallIntProc(TStream& stream, std::int16_t value) { WriteLE(stream, value); }

void ReadWordProc(TStream& stream, std::uint16_t& value) { value = ReadLE<std::uint16_t>(stream); }
std::uint16_t ReadWordFunc(TStream& stream) { return ReadLE<std::uint16_t>(stream); }
void WriteWordProc(TStream& stream, std::uint16_t value) { WriteLE(stream, value); }

void ReadIntegerProc(TStream& stream, std::int32_t& value) { value = ReadLE<std::int32_t>(stream); }
std::int32_t ReadIntegerFunc(TStream& stream) { return ReadLE<std::int32_t>(stream); }
void WriteIntegerProc(TStream& stream, std::int32_t value) { WriteLE(stream, value); }

void ReadCardinalProc(TStream& stream, std::uint32_t& value) { value = ReadLE<std::uint32_t>(stream); }
std::uint32_t ReadCardinalFunc(TStream& stream) { return ReadLE<std::uint32_t>(stream); }
void WriteCardinalProc(TStream& stream, std::uint32_t value) { WriteLE(stream, value); }

void ReadLargeIntProc(TStream& stream, std::int64_t& value) { value = ReadLE<std::int64_t>(stream); }
std::int64_t ReadLargeIntFunc(TStream& stream) { return ReadLE<std::int64_t>(stream); }
void WriteLargeIntProc(TStream& stream, std::int64_t value) { WriteLE(stream, value); }

void ReadSingleProc(TStream& stream, float& value) { value = ReadSingleFunc(stream); }
float ReadSingleFunc(TStream& stream) { return std::bit_cast<float>(ReadLE<std::uint32_t>(stream)); }
void WriteSingleProc(TStream& stream, float value) { WriteLE(stream, std::bit_cast<std::uint32_t>(value)); }

void ReadFloatProc(TStream& stream, double& value) { value = ReadFloatFunc(stream); }
double ReadFloatFunc(TStream& stream)
{
    hostlib::ExtendedBytes bytes{};
    stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return hostlib::DecodeExtended(bytes);
}
void WriteFloatProc(TStream& stream, double value)
{
    const hostlib::ExtendedBytes bytes = hostlib::EncodeExtended(value);
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void ReadCurrencyProc(TStream& stream, hostlib::Currency& value) { value = ReadCurrencyFunc(stream); }
hostlib::Currency ReadCurrencyFunc(TStream& stream)
{
    return hostlib::Currency::FromScaled(ReadLE<std::int64_t>(stream));
}
void WriteCurrencyProc(TStream& stream, hostlib::Currency value) { WriteLE(stream, value.Scaled()); }

void ReadDateTimeProc(TStream& stream, hostlib::TDateTime& value) { value = ReadDateTimeFunc(stream); }
hostlib::TDateTime ReadDateTimeFunc(TStream& stream) { return std::bit_cast<double>(ReadLE<std::uint64_t>(stream)); }
void WriteDateTimeProc(TStream& stream, hostlib::TDateTime value) { WriteLE(stream, std::bit_cast<std::uint64_t>(value)); }

void ReadStringProc(TStream& stream, std::string& value) { value = ReadStringFunc(stream); }
std::string ReadStringFunc(TStream& stream) { return ReadBytes(stream, ReadLE<std::int32_t>(stream)); }
void WriteStringProc(TStream& stream, const std::string& value)
{
    if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        WriteError();
    WriteLE(stream, static_cast<std::int32_t>(value.size()));
    if (!value.empty())
        stream.WriteBuffer(value.data(), static_cast<std::int64_t>(value.size()));
}

void ReadWideStringProc(TStream& stream, std::u16string& value) { value = ReadWideStringFunc(stream); }
std::u16string ReadWideStringFunc(TStream& stream)
{
    const std::int64_t count = CheckedLength(stream, ReadLE<std::int32_t>(stream), 2);
    std::u16string result(static_cast<std::size_t>(count), u'\0');
    for (auto& unit : result)
        unit = static_cast<char16_t>(ReadLE<std::uint16_t>(stream));
    return result;
}
void WriteWideStringProc(TStream& stream, const std::u16string& value)
{
    if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        WriteError();
    WriteLE(stream, static_cast<std::int32_t>(value.size()));
    for (const char16_t unit : value)
        WriteLE(stream, static_cast<std::uint16_t>(unit));
}

void ReadVariantProc(TStream& stream, Variant& value) { ReadVariant(stream, value, 0); }
Variant ReadVariantFunc(TStream& stream)
{
    Variant value;
    ReadVariant(stream, value, 0);
    return value;
}
void WriteVariantProc(TStream& stream, const Variant& value) { WriteVariant(stream, value); }

// ---- Filers -----------------------------------------------------------------

hostlib::TClass TcxFiler::StaticClass()
{
    return hostlib::DefineClass<TcxFiler, hostlib::TObject>("TcxFiler");
}

hostlib::TClass TcxReader::StaticClass()
{
    return hostlib::DefineClass<TcxReader, TcxFiler>("TcxReader");
}

hostlib::TClass TcxWriter::StaticClass()
{
    return hostlib::DefineClass<TcxWriter, TcxFiler>("TcxWriter");
}
