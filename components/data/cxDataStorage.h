#pragma once
// Value types, value definitions and the record storage of the data
// controller, and the sorted key-to-text lookup list.
//
// A value type is a stateless class used by reference: every operation is
// virtual and const, and one shared instance of each class stands for the
// class (TcxValueTypeClass). Values live in record buffers at "places": the
// bytes after a value's null flag. Heap-held values (strings, wide strings,
// variants, objects) keep a pointer in their place, so those places are
// pointer-sized.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "components/data/cxVariants.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/streams.h"
#include "platform/hostlib/core/variant.h"

class TcxValueType;
using TcxValueTypeClass = const TcxValueType*;

class TcxValueType {
public:
    TcxValueType() = default;
    TcxValueType(const TcxValueType&) = delete;
    TcxValueType& operator=(const TcxValueType&) = delete;
    virtual ~TcxValueType() = default;

    // The shared instance that stands for the class.
    static TcxValueTypeClass Class();
    virtual const char* ClassName() const { return "TcxValueType"; }
    virtual TcxValueTypeClass ClassParent() const { return nullptr; }
    bool InheritsFrom(TcxValueTypeClass other) const;

    virtual int Compare(const std::uint8_t* P1, const std::uint8_t* P2) const;
    virtual void FreeBuffer(std::uint8_t* P) const;
    void FreeTextBuffer(std::uint8_t* P) const;
    virtual int GetDataSize() const { return 0; }
    virtual void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const;
    virtual std::string GetDefaultDisplayText(const std::uint8_t* P) const;
    std::string GetDisplayText(const std::uint8_t* P) const;
    virtual void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const;
    void ReadDisplayText(std::uint8_t* P, hostlib::TStream& stream) const;
    // Converts first and writes only when the conversion succeeded, so a
    // value that does not convert leaves the place as it was.
    virtual void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const;
    void SetDisplayText(std::uint8_t* P, const std::string& S) const;
    virtual void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const;
    void WriteDisplayText(const std::uint8_t* P, hostlib::TStream& stream) const;
    // The class name without a leading "Tcx" and the first "ValueType".
    std::string Caption() const;
    virtual int CompareValues(const void* P1, const void* P2) const;
    virtual void GetValue(const void* P, hostlib::Variant& V) const;
    virtual int GetVarType() const;
    virtual bool IsValueValid(hostlib::Variant& V) const;
    virtual bool IsString() const { return false; }
    virtual const void* PrepareValueBuffer(const std::uint8_t* P) const { return P; }
};

// Declares one value-type class: its shared instance, name and parent.
template <class Self, class Parent, const char* const* Name>
class TcxValueTypeOf : public Parent {
public:
    static TcxValueTypeClass Class()
    {
        static const Self instance;
        return &instance;
    }
    const char* ClassName() const override { return *Name; }
    TcxValueTypeClass ClassParent() const override { return Parent::Class(); }
};

namespace cx_value_type_names {
inline constexpr const char* String = "TcxStringValueType";
inline constexpr const char* WideString = "TcxWideStringValueType";
inline constexpr const char* Smallint = "TcxSmallintValueType";
inline constexpr const char* Integer = "TcxIntegerValueType";
inline constexpr const char* Word = "TcxWordValueType";
inline constexpr const char* Boolean = "TcxBooleanValueType";
inline constexpr const char* Float = "TcxFloatValueType";
inline constexpr const char* Currency = "TcxCurrencyValueType";
inline constexpr const char* DateTime = "TcxDateTimeValueType";
inline constexpr const char* LargeInt = "TcxLargeIntValueType";
inline constexpr const char* FMTBcd = "TcxFMTBcdValueType";
inline constexpr const char* SQLTimeStamp = "TcxSQLTimeStampValueType";
inline constexpr const char* Variant = "TcxVariantValueType";
inline constexpr const char* Object = "TcxObjectValueType";
} // namespace cx_value_type_names

class TcxStringValueType : public TcxValueTypeOf<TcxStringValueType, TcxValueType, &cx_value_type_names::String> {
public:
    void FreeBuffer(std::uint8_t* P) const override;
    int GetDataSize() const override;
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    // The text itself, without the round trip through a variant.
    std::string GetDefaultDisplayText(const std::uint8_t* P) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    int CompareValues(const void* P1, const void* P2) const override;
    void GetValue(const void* P, hostlib::Variant& V) const override;
    int GetVarType() const override;
    bool IsString() const override { return true; }
    const void* PrepareValueBuffer(const std::uint8_t* P) const override;
};

// Holds the text as UTF-8 like the string type; its variant form is an
// OLE string and its stream form the UTF-16 code units of the text.
class TcxWideStringValueType
    : public TcxValueTypeOf<TcxWideStringValueType, TcxStringValueType, &cx_value_type_names::WideString> {
public:
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    // Through its OLE string, as any value's default text is.
    std::string GetDefaultDisplayText(const std::uint8_t* P) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    void GetValue(const void* P, hostlib::Variant& V) const override;
    int GetVarType() const override;
};

// Places are not aligned: values go in and out by copy.
namespace cx_place {
template <class T>
T Load(const std::uint8_t* p)
{
    T value{};
    std::memcpy(&value, p, sizeof(T));
    return value;
}
template <class T>
void Store(std::uint8_t* p, T value)
{
    std::memcpy(p, &value, sizeof(T));
}
} // namespace cx_place

// A value held in the place itself as a T, streamed with the given
// procedures; its variant form has the type VarTypeCode.
template <class Self, class T, const char* const* Name, hostlib::TVarType VarTypeCode, T (*ReadFunc)(hostlib::TStream&),
          void (*WriteProc)(hostlib::TStream&, T)>
class TcxFixedSizeValueType : public TcxValueTypeOf<Self, TcxValueType, Name> {
public:
    int GetDataSize() const override { return sizeof(T); }
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override { V = ToVariant(cx_place::Load<T>(P)); }
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override { cx_place::Store(P, ReadFunc(stream)); }
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override { cx_place::Store(P, FromVariant(V)); }
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override { WriteProc(stream, cx_place::Load<T>(P)); }
    int CompareValues(const void* P1, const void* P2) const override
    {
        const T a = cx_place::Load<T>(static_cast<const std::uint8_t*>(P1));
        const T b = cx_place::Load<T>(static_cast<const std::uint8_t*>(P2));
        // Smallint and Word answer their difference, which cannot wrap in an
        // int; wider values answer only the order.
        if constexpr (sizeof(T) == 2)
            return static_cast<int>(a) - static_cast<int>(b);
        else if constexpr (std::is_floating_point_v<T>) {
            // NaN would equal every number; it orders first instead, so that
            // sorting and grouping see one order.
            if (std::isnan(a) || std::isnan(b))
                return (std::isnan(a) ? 0 : 1) - (std::isnan(b) ? 0 : 1);
            return a < b ? -1 : (b < a ? 1 : 0);
        } else
            return a < b ? -1 : (b < a ? 1 : 0);
    }
    int GetVarType() const override { return VarTypeCode; }

private:
    static hostlib::Variant ToVariant(T value)
    {
        if constexpr (VarTypeCode == hostlib::varCurrency)
            return hostlib::Variant(hostlib::Currency::FromScaled(value));
        else if constexpr (VarTypeCode == hostlib::varDate)
            return hostlib::Variant::FromDate(value);
        else if constexpr (VarTypeCode == hostlib::varInt64)
            return hostlib::Variant(static_cast<long long>(value));
        else
            return hostlib::Variant(value);
    }
    // Converts completely before anything is stored.
    static T FromVariant(const hostlib::Variant& V)
    {
        if constexpr (VarTypeCode == hostlib::varCurrency)
            return V.AsCurrency().Scaled();
        else if constexpr (VarTypeCode == hostlib::varDate)
            return V.AsDate(); // through the date conversion, so date texts convert too
        else if constexpr (VarTypeCode == hostlib::varDouble)
            return V.AsDouble();
        else if constexpr (VarTypeCode == hostlib::varInt64)
            return V.AsInt64();
        else if (V.VarType() == VarTypeCode)
            return static_cast<T>(V.AsInteger());  // the common case needs no converted copy
        else
            return static_cast<T>(V.AsType(VarTypeCode).AsInteger());
    }
};

class TcxSmallintValueType
    : public TcxFixedSizeValueType<TcxSmallintValueType, std::int16_t, &cx_value_type_names::Smallint, hostlib::varSmallint,
                                   ReadSmallIntFunc, WriteSmallIntProc> {};

class TcxIntegerValueType
    : public TcxFixedSizeValueType<TcxIntegerValueType, std::int32_t, &cx_value_type_names::Integer, hostlib::varInteger,
                                   ReadIntegerFunc, WriteIntegerProc> {};

class TcxWordValueType : public TcxFixedSizeValueType<TcxWordValueType, std::uint16_t, &cx_value_type_names::Word,
                                                      hostlib::varWord, ReadWordFunc, WriteWordProc> {};

class TcxBooleanValueType : public TcxValueTypeOf<TcxBooleanValueType, TcxValueType, &cx_value_type_names::Boolean> {
public:
    int GetDataSize() const override { return 1; }
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    std::string GetDefaultDisplayText(const std::uint8_t* P) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    int CompareValues(const void* P1, const void* P2) const override;
    int GetVarType() const override;
};

// Streamed as 10-byte extended precision.
class TcxFloatValueType : public TcxFixedSizeValueType<TcxFloatValueType, double, &cx_value_type_names::Float,
                                                       hostlib::varDouble, ReadFloatFunc, WriteFloatProc> {};

class TcxCurrencyValueType
    : public TcxFixedSizeValueType<TcxCurrencyValueType, std::int64_t, &cx_value_type_names::Currency, hostlib::varCurrency,
                                   ReadLargeIntFunc, WriteLargeIntProc> {};

class TcxDateTimeValueType
    : public TcxFixedSizeValueType<TcxDateTimeValueType, double, &cx_value_type_names::DateTime, hostlib::varDate,
                                   ReadDateTimeFunc, WriteDateTimeProc> {
public:
    std::string GetDefaultDisplayText(const std::uint8_t* P) const override;
};

class TcxLargeIntValueType
    : public TcxFixedSizeValueType<TcxLargeIntValueType, std::int64_t, &cx_value_type_names::LargeInt, hostlib::varInt64,
                                   ReadLargeIntFunc, WriteLargeIntProc> {};

// A packed decimal record (TBcd). The host's variants have no decimal
// type, so its variant form, and the type it reports, is a Double.
class TcxFMTBcdValueType : public TcxValueTypeOf<TcxFMTBcdValueType, TcxValueType, &cx_value_type_names::FMTBcd> {
public:
    int GetDataSize() const override { return 34; }
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    std::string GetDefaultDisplayText(const std::uint8_t* P) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    int CompareValues(const void* P1, const void* P2) const override;
    int GetVarType() const override;
};

// A time-stamp record (TSQLTimeStamp); its variant form, and the type it
// reports, is a Date.
class TcxSQLTimeStampValueType
    : public TcxValueTypeOf<TcxSQLTimeStampValueType, TcxValueType, &cx_value_type_names::SQLTimeStamp> {
public:
    int GetDataSize() const override { return 16; }
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    int CompareValues(const void* P1, const void* P2) const override;
    int GetVarType() const override;
};

class TcxVariantValueType : public TcxValueTypeOf<TcxVariantValueType, TcxValueType, &cx_value_type_names::Variant> {
public:
    void FreeBuffer(std::uint8_t* P) const override;
    int GetDataSize() const override;
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    int CompareValues(const void* P1, const void* P2) const override;
    void GetValue(const void* P, hostlib::Variant& V) const override;
    const void* PrepareValueBuffer(const std::uint8_t* P) const override;
};

// An owned object, kept by its address: the place is pointer-sized and the
// variant form is an Int64 holding the address. Freeing the place destroys
// the object. Not streamed.
class TcxObjectValueType : public TcxValueTypeOf<TcxObjectValueType, TcxIntegerValueType, &cx_value_type_names::Object> {
public:
    void FreeBuffer(std::uint8_t* P) const override;
    int GetDataSize() const override;
    void GetDataValue(const std::uint8_t* P, hostlib::Variant& V) const override;
    void ReadDataValue(std::uint8_t* P, hostlib::TStream& stream) const override;
    void SetDataValue(std::uint8_t* P, const hostlib::Variant& V) const override;
    void WriteDataValue(const std::uint8_t* P, hostlib::TStream& stream) const override;
    int CompareValues(const void* P1, const void* P2) const override;
    int GetVarType() const override;
};

// The registered value types, in registration order.
class TcxValueTypeClassList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void RegisterItem(TcxValueTypeClass item);
    void UnregisterItem(TcxValueTypeClass item);
    TcxValueTypeClass ItemByCaption(const std::string& caption) const;
    int Count() const { return static_cast<int>(items_.size()); }
    TcxValueTypeClass Items(int index) const;

private:
    std::vector<TcxValueTypeClass> items_;
};

// The process-wide registry; created on first use with the fourteen types.
TcxValueTypeClassList& cxValueTypeClassList();
// Start-up and shut-down of the unit: registers the fourteen types in their
// order, and unregisters them in reverse order.
void cxDataStorageInitialize();
void cxDataStorageFinalize();

class TcxValueDefs;
class TcxDataStorage;

// Places one field's value (and optionally its display text) in every
// record buffer of its list's layout.
class TcxValueDef : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxValueDef(TcxValueDefs* valueDefs, TcxValueTypeClass valueTypeClass);
    ~TcxValueDef() override = default;

    virtual hostlib::TObject* GetLinkObject() const { return linkObject_; }
    virtual bool GetStored() const { return stored_; }
    virtual void SetLinkObject(hostlib::TObject* value) { linkObject_ = value; }
    virtual void Assign(const TcxValueDef& source);

    hostlib::TObject* LinkObject() const { return GetLinkObject(); }
    bool Stored() const { return GetStored(); }
    void SetStored(bool value);
    bool TextStored() const { return textStored_; }
    void SetTextStored(bool value);
    TcxValueTypeClass ValueTypeClass() const { return valueTypeClass_; }
    void SetValueTypeClass(TcxValueTypeClass value);
    TcxValueDefs* ValueDefs() const { return valueDefs_; }

    bool IsStored() const;
    bool IsTextStored() const;
    bool IsNeedConversion() const { return valueTypeClass_->IsString(); }
    int Offset() const { return offset_; }
    int DataSize() const { return dataSize_; }
    int BufferSize() const { return bufferSize_; }

    void Init(int& offset);
    bool IsNullValue(const std::uint8_t* place) const { return place[-1] == 0; }
    void SetNull(std::uint8_t* place, bool isNull) const;
    void GetDataValue(const std::uint8_t* buffer, hostlib::Variant& V) const;
    void SetDataValue(std::uint8_t* buffer, const hostlib::Variant& V) const;
    std::string GetDisplayText(const std::uint8_t* buffer) const;
    void SetDisplayText(std::uint8_t* buffer, const std::string& S) const;
    int Compare(const std::uint8_t* buffer1, const std::uint8_t* buffer2) const;
    int CompareValues(bool isNull1, bool isNull2, const void* prepared1, const void* prepared2) const;
    void FreeBuffer(std::uint8_t* buffer) const;
    void FreeTextBuffer(std::uint8_t* buffer) const;
    void ReadDataValue(std::uint8_t* buffer, hostlib::TStream& stream) const;
    void WriteDataValue(const std::uint8_t* buffer, hostlib::TStream& stream) const;
    void ReadDisplayText(std::uint8_t* buffer, hostlib::TStream& stream) const;
    void WriteDisplayText(const std::uint8_t* buffer, hostlib::TStream& stream) const;

    // The value's place (after the null flag) and the display text's place.
    std::uint8_t* ValuePlace(std::uint8_t* buffer) const { return buffer + offset_ + 1; }
    const std::uint8_t* ValuePlace(const std::uint8_t* buffer) const { return buffer + offset_ + 1; }
    std::uint8_t* TextPlace(std::uint8_t* buffer) const { return buffer + offset_ + 1 + dataSize_; }
    const std::uint8_t* TextPlace(const std::uint8_t* buffer) const { return buffer + offset_ + 1 + dataSize_; }

protected:
    void Changed(bool resyncNeeded);

private:
    friend class TcxValueDefs;
    friend class TcxDataStorage;
    TcxValueDefs* valueDefs_ = nullptr;
    TcxValueTypeClass valueTypeClass_ = nullptr;
    hostlib::TObject* linkObject_ = nullptr;
    bool stored_ = true;
    bool textStored_ = false;
    // The layout as of the last Init: buffers are read with it until the
    // next one.
    int offset_ = 0;
    int dataSize_ = 0;
    int bufferSize_ = 0;
    TcxValueTypeClass placeType_ = nullptr;
    bool placeStored_ = false;
    bool placeTextStored_ = false;
};

// The mirror of an ordinary definition in the internal layout: always
// stored, linked to the ordinary definition.
class TcxInternalValueDef : public TcxValueDef {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxValueDef::TcxValueDef;
    TcxValueDef* GetValueDef() const { return valueDef_; }
    hostlib::TObject* GetLinkObject() const override;
    bool GetStored() const override { return true; }
    void SetLinkObject(hostlib::TObject* value) override;

private:
    TcxValueDef* valueDef_ = nullptr;
};

class TcxValueDefs : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxValueDefs(TcxDataStorage* storage) : storage_(storage) {}

    virtual void Changed(TcxValueDef* valueDef, bool resyncNeeded);
    virtual std::unique_ptr<TcxValueDef> CreateValueDef(TcxValueTypeClass valueTypeClass);
    virtual void Prepare(int recordOffset);

    TcxValueDef* Add(TcxValueTypeClass valueTypeClass, bool stored, bool textStored, hostlib::TObject* linkObject);
    // Removes the definition's place from every buffer and destroys it.
    void Remove(TcxValueDef* valueDef);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TcxValueDef* Items(int index) const;
    int IndexOf(const TcxValueDef* valueDef) const;
    int GetStoredCount() const;
    int RecordSize() const { return recordSize_; }
    TcxDataStorage* DataStorage() const { return storage_; }

private:
    friend class TcxValueDef;
    friend class TcxDataStorage;
    // Moves a definition's place to its new form after a change of Stored,
    // TextStored or value type; the definition's values are lost, others
    // keep theirs.
    void ReplacePlace(TcxValueDef* valueDef, const std::function<void()>& change);

    TcxDataStorage* storage_ = nullptr;
    std::vector<std::unique_ptr<TcxValueDef>> items_;
    int recordOffset_ = 0;
    int recordSize_ = 0;
};

class TcxInternalValueDefs : public TcxValueDefs {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxValueDefs::TcxValueDefs;
    std::unique_ptr<TcxValueDef> CreateValueDef(TcxValueTypeClass valueTypeClass) override;
    TcxValueDef* FindByLinkObject(const hostlib::TObject* linkObject) const;
    void RemoveByLinkObject(const hostlib::TObject* linkObject);
};

// The source ReadRecord fills a record from.
class TcxValueDefReader : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual std::string GetDisplayText(TcxValueDef* valueDef);
    virtual hostlib::Variant GetValue(TcxValueDef* valueDef);
    virtual bool IsInternal(TcxValueDef* valueDef);
};

using TcxValueDefSetProc =
    std::function<void(TcxValueDef* AValueDef, int AFromRecordIndex, int AToRecordIndex, TcxValueDefReader* AValueDefReader)>;
// Orders definitions while the storage streams.
using TcxValueDefCompareFunc = std::function<int(const TcxValueDef*, const TcxValueDef*)>;

inline constexpr std::uint8_t cxRecordFlagInUse = 1;

// The records of a data controller: ordinary records 0 .. count - 1 and
// internal records -1, -2, ..., one buffer each (or none).
class TcxDataStorage : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxDataStorage();
    TcxDataStorage(const TcxDataStorage&) = delete;
    TcxDataStorage& operator=(const TcxDataStorage&) = delete;
    ~TcxDataStorage() override;

    virtual void InitStructure(TcxValueDefs* valueDefs);
    virtual void ValueDefsChanged(TcxValueDef* valueDef, bool resyncNeeded);
    virtual TcxValueDefs* ValueDefsByRecordIndex(int index);

    TcxValueDefs& ValueDefs() { return valueDefs_; }
    TcxInternalValueDefs& InternalValueDefs() { return internalValueDefs_; }

    int RecordCount() const { return static_cast<int>(records_.size()); }
    void SetRecordCount(int value);
    int InternalRecordCount() const { return static_cast<int>(internalRecords_.size()); }
    // Nullptr when the record has no buffer.
    std::uint8_t* RecordBuffers(int index)
    {
        std::vector<std::uint8_t>& buffer = RecordBuffer(index);
        return buffer.empty() ? nullptr : buffer.data();
    }
    // Replaces the record's buffer (taking ownership), freeing the old one.
    // A buffer that is neither empty nor of the layout's record size raises
    // EInvalidOperation. Heap values of the new buffer become the storage's.
    void SetRecordBuffers(int index, std::vector<std::uint8_t> buffer);
    // Hands the record's buffer (and its heap values) over, leaving the
    // record without one.
    std::vector<std::uint8_t> TakeRecordBuffers(int index);

    int AppendRecord();
    void InsertRecord(int index);
    void DeleteRecord(int index);
    int AddInternalRecord();
    void DeleteInternalRecord(int index);
    std::uint8_t* AllocRecordBuffer(int index);
    void FreeAndNilRecordBuffer(int index);

    hostlib::Variant GetValue(int index, TcxValueDef* valueDef);
    void SetValue(int index, TcxValueDef* valueDef, const hostlib::Variant& V);
    std::string GetDisplayText(int index, TcxValueDef* valueDef);
    void SetDisplayText(int index, TcxValueDef* valueDef, const std::string& S);
    bool CheckValueDef(int index, TcxValueDef*& valueDef)
    {
        // An ordinary record of the ordinary layout, the common case, costs
        // no call.
        if (valueDef && index >= 0 && valueDef->ValueDefs() == &valueDefs_) return true;
        return CheckOtherValueDef(index, valueDef);
    }
    int CompareRecords(int index1, int index2, TcxValueDef* valueDef);
    // True when Null; otherwise the prepared value for CompareValues.
    bool GetCompareInfo(int index, TcxValueDef* valueDef, const void*& prepared);
    // Appends the record's key for valueDef: keys compared as bytes order
    // records as CompareRecords does. False (key partly written) for a
    // value type without such a key.
    bool AppendSortKey(int index, TcxValueDef* valueDef, std::string& key);
    int GetRecordID(int index);
    void SetRecordID(int index, int ID);

    bool UseRecordID() const { return useRecordID_; }
    void SetUseRecordID(bool value);
    bool StoredValuesOnly() const { return storedValuesOnly_; }
    void SetStoredValuesOnly(bool value);

    void Clear(bool keepInternalRecords);
    void ClearRecords(bool remove);
    void ClearInternalRecords();

    void ReadRecord(int index, TcxValueDefReader& reader, bool skipInternal);
    void ReadRecordFrom(int fromIndex, int toIndex, TcxValueDefReader& reader, const TcxValueDefSetProc& setProc);
    void ReadData(int index, hostlib::TStream& stream);
    void WriteData(int index, hostlib::TStream& stream);

    void BeginStreaming(const TcxValueDefCompareFunc& compare);
    void EndStreaming();
    bool IsStreaming() const { return streaming_; }
    // The definitions of a layout in streaming order while streaming, else
    // in list order.
    std::vector<TcxValueDef*> StreamingOrder(TcxValueDefs* valueDefs) const;

    virtual void BeginLoad() {}
    virtual void CheckStructure() {}
    virtual void EndLoad() {}
    void BeforeDestruction() override { destroying_ = true; }
    bool IsDestroying() const { return destroying_; }

    hostlib::TNotifyEvent OnClearInternalRecords;

private:
    friend class TcxValueDefs;
    friend class TcxValueDef;
    using Buffer = std::vector<std::uint8_t>;

    bool IsInternalLayout(const TcxValueDefs* valueDefs) const { return valueDefs == &internalValueDefs_; }
    std::vector<Buffer>& BuffersOf(const TcxValueDefs* valueDefs);
    Buffer& RecordBuffer(int index)
    {
        if (index >= 0 && index < RecordCount()) return records_[static_cast<std::size_t>(index)];
        return OtherRecordBuffer(index);
    }
    // An internal record's buffer; raises for an index out of range.
    Buffer& OtherRecordBuffer(int index);
    bool CheckOtherValueDef(int index, TcxValueDef*& valueDef);
    int RecordOffset(const TcxValueDefs* valueDefs) const;
    void FreeBufferParts(TcxValueDefs* valueDefs, Buffer& buffer);
    void InsertValueDef(TcxValueDefs* valueDefs, TcxValueDef* valueDef);
    void RemoveValueDef(TcxValueDefs* valueDefs, TcxValueDef* valueDef);
    void InsertPlace(TcxValueDefs* valueDefs, int at, int size);
    void RemovePlace(TcxValueDefs* valueDefs, TcxValueDef* valueDef);
    void FreeAllBuffers(TcxValueDefs* valueDefs);
    void AssignRecordID(int index);
    void CheckRecordCounterReset();

    TcxValueDefs valueDefs_{this};
    TcxInternalValueDefs internalValueDefs_{this};
    std::vector<Buffer> records_;
    std::vector<Buffer> internalRecords_;
    int recordIDCounter_ = 1;
    bool useRecordID_ = false;
    bool storedValuesOnly_ = false;
    bool destroying_ = false;
    bool streaming_ = false;
    std::vector<TcxValueDef*> streamingOrder_;
};

struct TcxLookupListItem {
    hostlib::Variant KeyValue;
    std::string DisplayText;
};

// Key-to-text pairs sorted by key in VarCompare order.
class TcxLookupList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool Find(const hostlib::Variant& key, int& index) const;
    void Insert(int index, const hostlib::Variant& key, const std::string& text);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TcxLookupListItem& Items(int index) const;

private:
    std::vector<TcxLookupListItem> items_;
};
