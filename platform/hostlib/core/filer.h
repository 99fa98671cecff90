#pragma once
// Component-stream filers: TReader and TWriter read and write typed values
// with a one-byte value-kind prefix, and give DefineProperties hooks a
// place to define data that is not a published property.
//
// Value encodings (little-endian): Int8/Int16/Int32/Int64 + 1/2/4/8 bytes;
// Extended + 10-byte x87 extended; Single + 4; Currency + 8 (ten-
// thousandths); Date + 8-byte double; String + 1-byte length + bytes;
// LString and Utf8String + 4-byte length + bytes; WString + 4-byte count +
// UTF-16 units; Ident + 1-byte length + name; Binary + 4-byte size + bytes;
// Set: names as 1-byte-length strings ending with an empty one; List:
// values up to a Null; False, True, Nil and Null have no payload.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/currency.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/core/variant.h"

namespace hostlib {

class TStream;
class TReader;
class TWriter;

enum TValueType : std::uint8_t {
    vaNull,
    vaList,
    vaInt8,
    vaInt16,
    vaInt32,
    vaExtended,
    vaString,
    vaIdent,
    vaFalse,
    vaTrue,
    vaBinary,
    vaSet,
    vaLString,
    vaNil,
    vaCollection,
    vaSingle,
    vaCurrency,
    vaDate,
    vaWString,
    vaInt64,
    vaUTF8String,
};

class TFiler : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    using ReaderProc = std::function<void(TReader&)>;
    using WriterProc = std::function<void(TWriter&)>;
    using StreamProc = std::function<void(TStream&)>;

    explicit TFiler(TStream* stream) : stream_(stream) {}

    // A property read by read and written (when hasData) by write.
    virtual void DefineProperty(const std::string& name, ReaderProc read, WriterProc write, bool hasData);
    // Raw bytes handed over as a stream.
    virtual void DefineBinaryProperty(const std::string& name, StreamProc read, StreamProc write, bool hasData);

    TStream* Stream() const { return stream_; }
    void SetStream(TStream* stream) { stream_ = stream; }
    TComponent* Root() const { return root_; }
    void SetRoot(TComponent* root) { root_ = root; }
    TComponent* LookupRoot() const { return root_; }
    // Inherited forms are not streamed as differences here: always nullptr.
    TPersistent* Ancestor() const { return nullptr; }

private:
    TStream* stream_ = nullptr;
    TComponent* root_ = nullptr;
};

class TReader : public TFiler {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    explicit TReader(TStream* stream) : TFiler(stream) {}
    // The buffer size of the original interface; reads are not buffered here.
    TReader(TStream* stream, int /*bufferSize*/) : TFiler(stream) {}

    // The component whose block is being read and the owner of new ones.
    TComponent* Parent() const { return parent_; }
    void SetParent(TComponent* parent) { parent_ = parent; }
    TComponent* Owner() const { return owner_; }
    void SetOwner(TComponent* owner) { owner_ = owner; }

    // Reads the properties and children of instance (the default
    // TComponent::ReadState calls this). A plain value reader has no
    // component data and raises EReadError.
    virtual void ReadData(TComponent* instance);

    TValueType ReadValue();
    TValueType NextValue();
    // Raise EReadError "Invalid property value" for another value kind and
    // "Stream read error" when the stream ends early.
    void CheckValue(TValueType value);
    bool ReadBoolean();
    char ReadChar();
    int ReadInteger();
    std::int64_t ReadInt64();
    double ReadFloat();
    float ReadSingle();
    Currency ReadCurrency();
    TDateTime ReadDate();
    // Any string kind, as UTF-8.
    std::string ReadString();
    std::string ReadWideString();
    std::string ReadIdent();
    std::vector<std::uint8_t> ReadBinary();
    void ReadListBegin();
    void ReadListEnd();
    bool EndOfList();
    // Scalars and lists (a list gives a Variant array). Lists nested more
    // than kMaxNesting deep raise EReadError "Values nested too deeply".
    static constexpr int kMaxNesting = 200;
    Variant ReadVariant();
    void SkipValue();

private:
    void Bytes(void* buffer, std::int64_t count);
    std::string ReadSized(int sizeBytes);
    class Nesting;
    TComponent* parent_ = nullptr;
    TComponent* owner_ = nullptr;
    int nesting_ = 0;
};

class TWriter : public TFiler {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    explicit TWriter(TStream* stream) : TFiler(stream) {}
    TWriter(TStream* stream, int /*bufferSize*/) : TFiler(stream) {}

    void WriteValue(TValueType value);
    void WriteBoolean(bool value);
    void WriteChar(char value);
    // The shortest integer kind that holds the value.
    void WriteInteger(std::int64_t value);
    void WriteFloat(double value);
    void WriteSingle(float value);
    void WriteCurrency(Currency value);
    void WriteDate(TDateTime value);
    void WriteString(const std::string& value);
    void WriteWideString(const std::string& utf8);
    // Raises EWriteError for names longer than 255 bytes.
    void WriteIdent(const std::string& ident);
    void WriteBinary(const std::vector<std::uint8_t>& bytes);
    void WriteListBegin();
    void WriteListEnd();
    void WriteVariant(const Variant& value);

private:
    void Bytes(const void* buffer, std::int64_t count);
};

}  // namespace hostlib
