#include "platform/hostlib/core/filer.h"

#include <cstring>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/extended.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/streams.h"

namespace hostlib {

namespace {
[[noreturn]] void InvalidValue()
{
    throw EReadError(messages::SInvalidPropertyValue);
}

template <class T>
T FromLittleEndian(const std::uint8_t* p)
{
    std::make_unsigned_t<T> u = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) u |= static_cast<std::make_unsigned_t<T>>(p[i]) << (8 * i);
    return static_cast<T>(u);
}

template <class T>
void ToLittleEndian(T v, std::uint8_t* p)
{
    auto u = static_cast<std::make_unsigned_t<T>>(v);
    for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}
}  // namespace

TClass TFiler::StaticClass()
{
    return DefineClass<TFiler, TObject>("TFiler");
}
TClass TReader::StaticClass()
{
    return DefineClass<TReader, TFiler>("TReader");
}
TClass TWriter::StaticClass()
{
    return DefineClass<TWriter, TFiler>("TWriter");
}

void TFiler::DefineProperty(const std::string&, ReaderProc, WriterProc, bool) {}
void TFiler::DefineBinaryProperty(const std::string&, StreamProc, StreamProc, bool) {}

// ---- TReader ---------------------------------------------------------------------

void TReader::ReadData(TComponent*)
{
    throw EReadError("No component data in this stream");
}

void TReader::Bytes(void* buffer, std::int64_t count)
{
    if (!Stream()) throw EReadError(messages::SReadError);
    Stream()->ReadBuffer(buffer, count);
}

TValueType TReader::ReadValue()
{
    std::uint8_t b = 0;
    Bytes(&b, 1);
    if (b > vaUTF8String) InvalidValue();
    return static_cast<TValueType>(b);
}

TValueType TReader::NextValue()
{
    const TValueType v = ReadValue();
    Stream()->Seek(-1, soCurrent);
    return v;
}

void TReader::CheckValue(TValueType value)
{
    if (ReadValue() != value) InvalidValue();
}

bool TReader::ReadBoolean()
{
    const TValueType v = ReadValue();
    if (v == vaTrue) return true;
    if (v == vaFalse) return false;
    InvalidValue();
}

char TReader::ReadChar()
{
    const std::string s = ReadString();
    if (s.size() != 1) InvalidValue();
    return s[0];
}

std::int64_t TReader::ReadInt64()
{
    std::uint8_t buf[8];
    switch (ReadValue()) {
    case vaInt8: Bytes(buf, 1); return static_cast<std::int8_t>(buf[0]);
    case vaInt16: Bytes(buf, 2); return FromLittleEndian<std::int16_t>(buf);
    case vaInt32: Bytes(buf, 4); return FromLittleEndian<std::int32_t>(buf);
    case vaInt64: Bytes(buf, 8); return FromLittleEndian<std::int64_t>(buf);
    default: InvalidValue();
    }
}

int TReader::ReadInteger()
{
    if (NextValue() == vaInt64) InvalidValue();
    return static_cast<int>(ReadInt64());
}

double TReader::ReadFloat()
{
    if (NextValue() == vaExtended) {
        ReadValue();
        std::uint8_t buf[10];
        Bytes(buf, 10);
        return DecodeExtended(buf);
    }
    return static_cast<double>(ReadInt64());
}

float TReader::ReadSingle()
{
    if (NextValue() == vaSingle) {
        ReadValue();
        std::uint8_t buf[4];
        Bytes(buf, 4);
        float f = 0;
        std::memcpy(&f, buf, 4);
        return f;
    }
    return static_cast<float>(ReadInt64());
}

Currency TReader::ReadCurrency()
{
    if (NextValue() == vaCurrency) {
        ReadValue();
        std::uint8_t buf[8];
        Bytes(buf, 8);
        return Currency::FromScaled(FromLittleEndian<std::int64_t>(buf));
    }
    const std::int64_t v = ReadInt64();
    if (v > 922337203685477LL || v < -922337203685477LL) InvalidValue();
    return Currency::FromScaled(v * Currency::Scale);
}

TDateTime TReader::ReadDate()
{
    if (NextValue() == vaDate) {
        ReadValue();
        std::uint8_t buf[8];
        Bytes(buf, 8);
        double d = 0;
        std::memcpy(&d, buf, 8);
        return d;
    }
    return static_cast<double>(ReadInt64());
}

std::string TReader::ReadSized(int sizeBytes)
{
    std::uint8_t buf[4] = {0, 0, 0, 0};
    Bytes(buf, sizeBytes);
    const std::int64_t n = sizeBytes == 1 ? buf[0] : FromLittleEndian<std::int32_t>(buf);
    if (n < 0 || n > Stream()->Size() - Stream()->Position()) throw EReadError(messages::SReadError);
    std::string s(static_cast<std::size_t>(n), '\0');
    Bytes(s.data(), n);
    return s;
}

std::string TReader::ReadString()
{
    switch (ReadValue()) {
    case vaString: return ReadSized(1);
    case vaLString:
    case vaUTF8String: return ReadSized(4);
    case vaWString: {
        std::uint8_t buf[4];
        Bytes(buf, 4);
        const std::int64_t n = FromLittleEndian<std::int32_t>(buf);
        if (n < 0 || n * 2 > Stream()->Size() - Stream()->Position()) throw EReadError(messages::SReadError);
        std::u16string w(static_cast<std::size_t>(n), u'\0');
        for (auto& c : w) {
            std::uint8_t u[2];
            Bytes(u, 2);
            c = static_cast<char16_t>(u[0] | (u[1] << 8));
        }
        return Utf16ToUtf8(w);
    }
    default: InvalidValue();
    }
}

std::string TReader::ReadWideString()
{
    return ReadString();
}

std::string TReader::ReadIdent()
{
    switch (ReadValue()) {
    case vaIdent: return ReadSized(1);
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: InvalidValue();
    }
}

std::vector<std::uint8_t> TReader::ReadBinary()
{
    CheckValue(vaBinary);
    std::uint8_t buf[4];
    Bytes(buf, 4);
    const std::int64_t n = FromLittleEndian<std::int32_t>(buf);
    if (n < 0 || n > Stream()->Size() - Stream()->Position()) throw EReadError(messages::SReadError);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    if (n) Bytes(bytes.data(), n);
    return bytes;
}

void TReader::ReadListBegin()
{
    CheckValue(vaList);
}

void TReader::ReadListEnd()
{
    CheckValue(vaNull);
}

bool TReader::EndOfList()
{
    return NextValue() == vaNull;
}

// One level of list nesting for the time it is read.
class TReader::Nesting {
public:
    explicit Nesting(TReader& reader) : reader_(reader)
    {
        if (reader_.nesting_ >= kMaxNesting) throw EReadError(messages::SNestedTooDeeply);
        ++reader_.nesting_;
    }
    ~Nesting() { --reader_.nesting_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    TReader& reader_;
};

Variant TReader::ReadVariant()
{
    switch (NextValue()) {
    case vaNil:
        ReadValue();
        return Variant();
    case vaNull:
        ReadValue();
        return Null();
    case vaInt8: return Variant(static_cast<std::int8_t>(ReadInt64()));
    case vaInt16: return Variant(static_cast<std::int16_t>(ReadInt64()));
    case vaInt32: return Variant(static_cast<std::int32_t>(ReadInt64()));
    case vaInt64: return Variant(static_cast<long long>(ReadInt64()));
    case vaExtended: return Variant(ReadFloat());
    case vaSingle: return Variant(ReadSingle());
    case vaCurrency: return Variant(ReadCurrency());
    case vaDate: return Variant::FromDate(ReadDate());
    case vaString:
    case vaLString:
    case vaUTF8String: return Variant(ReadString());
    case vaWString: return Variant::FromOleStr(ReadString());
    case vaFalse:
    case vaTrue: return Variant(ReadBoolean());
    case vaList: {
        const Nesting level(*this);
        ReadListBegin();
        std::vector<Variant> items;
        while (!EndOfList()) items.push_back(ReadVariant());
        ReadListEnd();
        return VarArrayOf(items);
    }
    default: InvalidValue();
    }
}

void TReader::SkipValue()
{
    switch (NextValue()) {
    case vaList: {
        const Nesting level(*this);
        ReadListBegin();
        while (!EndOfList()) SkipValue();
        ReadListEnd();
        return;
    }
    case vaIdent: ReadIdent(); return;
    case vaBinary: ReadBinary(); return;
    case vaSet:
        ReadValue();
        while (!ReadSized(1).empty()) {
        }
        return;
    case vaCollection: InvalidValue();
    default: ReadVariant(); return;
    }
}

// ---- TWriter ----------------------------------------------------------------------

void TWriter::Bytes(const void* buffer, std::int64_t count)
{
    if (!Stream()) throw EWriteError(messages::SWriteError);
    Stream()->WriteBuffer(buffer, count);
}

void TWriter::WriteValue(TValueType value)
{
    const auto b = static_cast<std::uint8_t>(value);
    Bytes(&b, 1);
}

void TWriter::WriteBoolean(bool value)
{
    WriteValue(value ? vaTrue : vaFalse);
}

void TWriter::WriteChar(char value)
{
    WriteString(std::string(1, value));
}

void TWriter::WriteInteger(std::int64_t value)
{
    std::uint8_t buf[8];
    if (value >= -128 && value <= 127) {
        WriteValue(vaInt8);
        buf[0] = static_cast<std::uint8_t>(value);
        Bytes(buf, 1);
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(vaInt16);
        ToLittleEndian(static_cast<std::int16_t>(value), buf);
        Bytes(buf, 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        ToLittleEndian(static_cast<std::int32_t>(value), buf);
        Bytes(buf, 4);
    } else {
        WriteValue(vaInt64);
        ToLittleEndian(value, buf);
        Bytes(buf, 8);
    }
}

void TWriter::WriteFloat(double value)
{
    WriteValue(vaExtended);
    const ExtendedBytes b = EncodeExtended(value);
    Bytes(b.data(), 10);
}

void TWriter::WriteSingle(float value)
{
    WriteValue(vaSingle);
    Bytes(&value, 4);
}

void TWriter::WriteCurrency(Currency value)
{
    WriteValue(vaCurrency);
    std::uint8_t buf[8];
    ToLittleEndian(value.Scaled(), buf);
    Bytes(buf, 8);
}

void TWriter::WriteDate(TDateTime value)
{
    WriteValue(vaDate);
    Bytes(&value, 8);
}

void TWriter::WriteString(const std::string& value)
{
    std::uint8_t buf[4];
    if (value.size() <= 255) {
        WriteValue(vaString);
        buf[0] = static_cast<std::uint8_t>(value.size());
        Bytes(buf, 1);
    } else {
        WriteValue(vaLString);
        ToLittleEndian(static_cast<std::int32_t>(value.size()), buf);
        Bytes(buf, 4);
    }
    Bytes(value.data(), static_cast<std::int64_t>(value.size()));
}

void TWriter::WriteWideString(const std::string& utf8)
{
    const std::u16string w = Utf8ToUtf16(utf8);
    WriteValue(vaWString);
    std::uint8_t buf[4];
    ToLittleEndian(static_cast<std::int32_t>(w.size()), buf);
    Bytes(buf, 4);
    for (char16_t c : w) {
        const std::uint8_t u[2] = {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>(c >> 8)};
        Bytes(u, 2);
    }
}

void TWriter::WriteIdent(const std::string& ident)
{
    if (SameText(ident, "False")) return WriteValue(vaFalse);
    if (SameText(ident, "True")) return WriteValue(vaTrue);
    if (SameText(ident, "nil")) return WriteValue(vaNil);
    if (SameText(ident, "Null")) return WriteValue(vaNull);
    if (ident.size() > 255) throw EWriteError(messages::SWriteError);
    WriteValue(vaIdent);
    const auto n = static_cast<std::uint8_t>(ident.size());
    Bytes(&n, 1);
    Bytes(ident.data(), n);
}

void TWriter::WriteBinary(const std::vector<std::uint8_t>& bytes)
{
    WriteValue(vaBinary);
    std::uint8_t buf[4];
    ToLittleEndian(static_cast<std::int32_t>(bytes.size()), buf);
    Bytes(buf, 4);
    if (!bytes.empty()) Bytes(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TWriter::WriteListBegin()
{
    WriteValue(vaList);
}

void TWriter::WriteListEnd()
{
    WriteValue(vaNull);
}

void TWriter::WriteVariant(const Variant& value)
{
    if (value.IsArray()) {
        // A Null element would read back as the end of the list.
        for (const Variant& v : value.ArrayItems())
            if (v.IsNull()) throw EWriteError("A Null value cannot be written inside a list");
        WriteListBegin();
        for (const Variant& v : value.ArrayItems()) WriteVariant(v);
        WriteListEnd();
        return;
    }
    switch (value.VarType() & varTypeMask) {
    case varEmpty: WriteValue(vaNil); break;
    case varNull: WriteValue(vaNull); break;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
    case varUInt64: WriteInteger(value.AsInt64()); break;
    case varSingle: WriteSingle(static_cast<float>(value.AsDouble())); break;
    case varDouble: WriteFloat(value.AsDouble()); break;
    case varCurrency: WriteCurrency(value.AsCurrency()); break;
    case varDate: WriteDate(value.AsDate()); break;
    case varBoolean: WriteBoolean(value.AsBoolean()); break;
    case varOleStr: WriteWideString(value.AsString()); break;
    case varString: WriteString(value.AsString()); break;
    default: throw EWriteError("Unsupported variant type " + VarTypeAsText(value.VarType()));
    }
}

}  // namespace hostlib
