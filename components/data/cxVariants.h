#pragma once
// Comparison and classification of variants with the rules that sorting,
// grouping, filtering and editors share, the small variant arrays of filter
// conditions, and the binary stream primitives of the component library:
// one read and write procedure per scalar type (little-endian, no padding)
// and a self-describing tagged form for variants.

#include <cstdint>
#include <string>

#include "platform/hostlib/core/currency.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/core/variant.h"

// Negative, 0 or positive; Null first; arrays by high bound, then element by
// element; values that cannot be brought to a common type order as less
// (-1 whichever operand caused it).
int VarCompare(const hostlib::Variant& A, const hostlib::Variant& B);
bool VarEquals(const hostlib::Variant& A, const hostlib::Variant& B);
// As VarEquals, except that a Boolean against a non-Null value compares the
// two string forms; a conversion error gives false.
bool VarEqualsExact(const hostlib::Variant& A, const hostlib::Variant& B);
bool VarIsDate(const hostlib::Variant& V);
bool VarIsNumericEx(const hostlib::Variant& V);
// Null, or an 8-bit or wide string equal to ''.
bool VarIsSoftNull(const hostlib::Variant& V);
void VarBetweenArrayCreate(hostlib::Variant& R, const hostlib::Variant& V1, const hostlib::Variant& V2);
void VarListArrayCreate(hostlib::Variant& R, const hostlib::Variant& V);
// Appends V to the list array R (a value that is no array counts as an
// empty list).
void VarListArrayAddValue(hostlib::Variant& R, const hostlib::Variant& V);

// Scalar stream procedures. Reads raise EReadError on a short read (the
// stream's own check) and on a length that is negative or exceeds what is
// left of the stream.
void ReadBooleanProc(hostlib::TStream& stream, bool& value);
bool ReadBooleanFunc(hostlib::TStream& stream);
void WriteBooleanProc(hostlib::TStream& stream, bool value);
void ReadCharProc(hostlib::TStream& stream, char& value);
char ReadCharFunc(hostlib::TStream& stream);
void WriteCharProc(hostlib::TStream& stream, char value);
void ReadByteProc(hostlib::TStream& stream, std::uint8_t& value);
std::uint8_t ReadByteFunc(hostlib::TStream& stream);
void WriteByteProc(hostlib::TStream& stream, std::uint8_t value);
void ReadShortIntProc(hostlib::TStream& stream, std::int8_t& value);
std::int8_t ReadShortIntFunc(hostlib::TStream& stream);
void WriteShortIntProc(hostlib::TStream& stream, std::int8_t value);
void ReadSmallIntProc(hostlib::TStream& stream, std::int16_t& value);
std::int16_t ReadSmallIntFunc(hostlib::TStream& stream);
void WriteSmallIntProc(hostlib::TStream& stream, std::int16_t value);
void ReadWordProc(hostlib::TStream& stream, std::uint16_t& value);
std::uint16_t ReadWordFunc(hostlib::TStream& stream);
void WriteWordProc(hostlib::TStream& stream, std::uint16_t value);
void ReadIntegerProc(hostlib::TStream& stream, std::int32_t& value);
std::int32_t ReadIntegerFunc(hostlib::TStream& stream);
void WriteIntegerProc(hostlib::TStream& stream, std::int32_t value);
void ReadCardinalProc(hostlib::TStream& stream, std::uint32_t& value);
std::uint32_t ReadCardinalFunc(hostlib::TStream& stream);
void WriteCardinalProc(hostlib::TStream& stream, std::uint32_t value);
void ReadLargeIntProc(hostlib::TStream& stream, std::int64_t& value);
std::int64_t ReadLargeIntFunc(hostlib::TStream& stream);
void WriteLargeIntProc(hostlib::TStream& stream, std::int64_t value);
void ReadSingleProc(hostlib::TStream& stream, float& value);
float ReadSingleFunc(hostlib::TStream& stream);
void WriteSingleProc(hostlib::TStream& stream, float value);
// 10-byte extended precision, read back to the nearest double.
void ReadFloatProc(hostlib::TStream& stream, double& value);
double ReadFloatFunc(hostlib::TStream& stream);
void WriteFloatProc(hostlib::TStream& stream, double value);
void ReadCurrencyProc(hostlib::TStream& stream, hostlib::Currency& value);
hostlib::Currency ReadCurrencyFunc(hostlib::TStream& stream);
void WriteCurrencyProc(hostlib::TStream& stream, hostlib::Currency value);
void ReadDateTimeProc(hostlib::TStream& stream, hostlib::TDateTime& value);
hostlib::TDateTime ReadDateTimeFunc(hostlib::TStream& stream);
void WriteDateTimeProc(hostlib::TStream& stream, hostlib::TDateTime value);
// Integer byte count, then the bytes.
void ReadStringProc(hostlib::TStream& stream, std::string& value);
std::string ReadStringFunc(hostlib::TStream& stream);
void WriteStringProc(hostlib::TStream& stream, const std::string& value);
// Integer count of UTF-16 code units, then the units.
void ReadWideStringProc(hostlib::TStream& stream, std::u16string& value);
std::u16string ReadWideStringFunc(hostlib::TStream& stream);
void WriteWideStringProc(hostlib::TStream& stream, const std::u16string& value);
// Tagged form. An unknown tag raises EReadError "Stream read error"; an
// array of more than one dimension, or a value without a string form,
// raises EWriteError "Stream write error".
void ReadVariantProc(hostlib::TStream& stream, hostlib::Variant& value);
hostlib::Variant ReadVariantFunc(hostlib::TStream& stream);
void WriteVariantProc(hostlib::TStream& stream, const hostlib::Variant& value);

// Holds one stream it does not own.
class TcxFiler : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxFiler(hostlib::TStream& stream) : stream_(&stream) {}
    hostlib::TStream& Stream() const { return *stream_; }

private:
    hostlib::TStream* stream_ = nullptr;
};

class TcxReader : public TcxFiler {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxFiler::TcxFiler;
    bool ReadBoolean() { return ReadBooleanFunc(Stream()); }
    std::uint8_t ReadByte() { return ReadByteFunc(Stream()); }
    std::uint32_t ReadCardinal() { return ReadCardinalFunc(Stream()); }
    char ReadChar() { return ReadCharFunc(Stream()); }
    hostlib::Currency ReadCurrency() { return ReadCurrencyFunc(Stream()); }
    hostlib::TDateTime ReadDateTime() { return ReadDateTimeFunc(Stream()); }
    double ReadFloat() { return ReadFloatFunc(Stream()); }
    std::int32_t ReadInteger() { return ReadIntegerFunc(Stream()); }
    std::int64_t ReadLargeInt() { return ReadLargeIntFunc(Stream()); }
    std::int8_t ReadShortInt() { return ReadShortIntFunc(Stream()); }
    float ReadSingle() { return ReadSingleFunc(Stream()); }
    std::int16_t ReadSmallInt() { return ReadSmallIntFunc(Stream()); }
    std::string ReadString() { return ReadStringFunc(Stream()); }
    hostlib::Variant ReadVariant() { return ReadVariantFunc(Stream()); }
    std::u16string ReadWideString() { return ReadWideStringFunc(Stream()); }
    std::uint16_t ReadWord() { return ReadWordFunc(Stream()); }
};

class TcxWriter : public TcxFiler {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxFiler::TcxFiler;
    void WriteBoolean(bool value) { WriteBooleanProc(Stream(), value); }
    void WriteByte(std::uint8_t value) { WriteByteProc(Stream(), value); }
    void WriteCardinal(std::uint32_t value) { WriteCardinalProc(Stream(), value); }
    void WriteChar(char value) { WriteCharProc(Stream(), value); }
    void WriteCurrency(hostlib::Currency value) { WriteCurrencyProc(Stream(), value); }
    void WriteDateTime(hostlib::TDateTime value) { WriteDateTimeProc(Stream(), value); }
    void WriteFloat(double value) { WriteFloatProc(Stream(), value); }
    void WriteInteger(std::int32_t value) { WriteIntegerProc(Stream(), value); }
    void WriteLargeInt(std::int64_t value) { WriteLargeIntProc(Stream(), value); }
    void WriteShortInt(std::int8_t value) { WriteShortIntProc(Stream(), value); }
    void WriteSingle(float value) { WriteSingleProc(Stream(), value); }
    void WriteSmallInt(std::int16_t value) { WriteSmallIntProc(Stream(), value); }
    void WriteString(const std::string& value) { WriteStringProc(Stream(), value); }
    void WriteVariant(const hostlib::Variant& value) { WriteVariantProc(Stream(), value); }
    void WriteWideString(const std::u16string& value) { WriteWideStringProc(Stream(), value); }
    void WriteWord(std::uint16_t value) { WriteWordProc(Stream(), value); }
};
