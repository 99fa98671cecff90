#include "components/data/cxDataStorage.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "components/data/bcd_timestamp.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"

using hostlib::TObject;
using hostlib::TStream;
using hostlib::Variant;

namespace {

using cx_place::Load;
using cx_place::Store;

template <class T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Compares two stored values of one fixed-size type by their order.
template <class T>
int CompareStored(const void* P1, const void* P2)
{
    return Sign(Load<T>(static_cast<const std::uint8_t*>(P1)), Load<T>(static_cast<const std::uint8_t*>(P2)));
}

std::string* StringAt(const std::uint8_t* P)
{
    return Load<std::string*>(P);
}

void AssignString(std::uint8_t* P, std::string text)
{
    if (std::string* s = StringAt(P))
        *s = std::move(text);
    else
        Store(P, new std::string(std::move(text)));
}

void FreeString(std::uint8_t* P)
{
    delete StringAt(P);
    Store<std::string*>(P, nullptr);
}

// Appends a value's bytes most significant first, so that bytes order as
// numbers do.
void AppendBigEndian(std::string& key, std::uint64_t bits)
{
    char bytes[8];
    for (int i = 7; i >= 0; --i, bits >>= 8)
        bytes[i] = static_cast<char>(bits & 0xFF);
    key.append(bytes, sizeof bytes);
}

// A signed integer with its sign bit flipped orders as an unsigned one.
void AppendIntegerKey(std::string& key, std::int64_t value)
{
    AppendBigEndian(key, static_cast<std::uint64_t>(value) ^ (std::uint64_t{1} << 63));
}

// NaN first, as the fixed-size types order it; -0 equals 0; then the bits
// of a positive number with the sign bit set, of a negative one inverted.
void AppendFloatKey(std::string& key, double value)
{
    if (std::isnan(value)) {
        key.push_back('\0');
        return;
    }
    key.push_back('\1');
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
    AppendBigEndian(key, (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63));
}

// The value types whose CompareValues order a key can give; only these
// classes themselves, as a descendant may compare otherwise.
bool AppendValueKey(TcxValueTypeClass type, const void* prepared, std::string& key)
{
    const auto* P = static_cast<const std::uint8_t*>(prepared);
    if (type == TcxStringValueType::Class() || type == TcxWideStringValueType::Class()) {
        // A string that was never assigned orders before the empty one.
        const auto* s = static_cast<const std::string*>(prepared);
        if (s) key.append(1, '\1').append(*s);
        return true;
    }
    if (type == TcxSmallintValueType::Class()) AppendIntegerKey(key, Load<std::int16_t>(P));
    else if (type == TcxIntegerValueType::Class()) AppendIntegerKey(key, Load<std::int32_t>(P));
    else if (type == TcxWordValueType::Class()) AppendIntegerKey(key, Load<std::uint16_t>(P));
    else if (type == TcxCurrencyValueType::Class() || type == TcxLargeIntValueType::Class())
        AppendIntegerKey(key, Load<std::int64_t>(P));
    else if (type == TcxFloatValueType::Class() || type == TcxDateTimeValueType::Class()) AppendFloatKey(key, Load<double>(P));
    else if (type == TcxBooleanValueType::Class()) key.push_back(*P != 0 ? '\1' : '\0');
    else return false;
    return true;
}

[[noreturn]] void IndexError(int index)
{
    throw hostlib::EListError(hostlib::Format(hostlib::messages::SListIndexError, index));
}

} // namespace

// ---- TcxValueType -----------------------------------------------------------

TcxValueTypeClass TcxValueType::Class()
{
    static const TcxValueType instance;
    return &instance;
}

bool TcxValueType::InheritsFrom(TcxValueTypeClass other) const
{
    for (TcxValueTypeClass c = this; c; c = c->ClassParent())
        if (c == other)
            return true;
    return false;
}

int TcxValueType::Compare(const std::uint8_t* P1, const std::uint8_t* P2) const
{
    return CompareValues(PrepareValueBuffer(P1), PrepareValueBuffer(P2));
}

void TcxValueType::FreeBuffer(std::uint8_t*) const {}

void TcxValueType::FreeTextBuffer(std::uint8_t* P) const
{
    FreeString(P);
}

void TcxValueType::GetDataValue(const std::uint8_t*, Variant& V) const
{
    V = Variant::Null();
}

std::string TcxValueType::GetDefaultDisplayText(const std::uint8_t* P) const
{
    try {
        Variant V;
        GetDataValue(P, V);
        return hostlib::VarToStr(V);
    } catch (const hostlib::EVariantError&) {
        return {};
    } catch (const hostlib::EConvertError&) {
        // A time stamp whose fields name no date (a buffer filled from
        // outside) has no text either.
        return {};
    }
}

std::string TcxValueType::GetDisplayText(const std::uint8_t* P) const
{
    const std::string* s = StringAt(P);
    return s ? *s : std::string();
}

void TcxValueType::ReadDataValue(std::uint8_t*, TStream&) const {}

void TcxValueType::ReadDisplayText(std::uint8_t* P, TStream& stream) const
{
    SetDisplayText(P, ReadStringFunc(stream));
}

void TcxValueType::SetDataValue(std::uint8_t*, const Variant&) const {}

void TcxValueType::SetDisplayText(std::uint8_t* P, const std::string& S) const
{
    AssignString(P, S);
}

void TcxValueType::WriteDataValue(const std::uint8_t*, TStream&) const {}

void TcxValueType::WriteDisplayText(const std::uint8_t* P, TStream& stream) const
{
    WriteStringProc(stream, GetDisplayText(P));
}

std::string TcxValueType::Caption() const
{
    std::string name = ClassName();
    if (name.starts_with("Tcx"))
        name.erase(0, 3);
    if (const auto at = name.find("ValueType"); at != std::string::npos)
        name.erase(at, 9);
    return name;
}

int TcxValueType::CompareValues(const void* P1, const void* P2) const
{
    Variant V1;
    Variant V2;
    GetValue(P1, V1);
    GetValue(P2, V2);
    return VarCompare(V1, V2);
}

void TcxValueType::GetValue(const void* P, Variant& V) const
{
    GetDataValue(static_cast<const std::uint8_t*>(P), V);
}

int TcxValueType::GetVarType() const
{
    return hostlib::varVariant;
}

bool TcxValueType::IsValueValid(Variant& V) const
{
    if (V.IsNull() || GetVarType() == hostlib::varVariant)
        return true;
    try {
        Variant converted = V.AsType(static_cast<hostlib::TVarType>(GetVarType()));
        V = std::move(converted);
        return true;
    } catch (const hostlib::EVariantError&) {
        return false;
    } catch (const hostlib::EConvertError&) {
        return false;
    }
}

// ---- String and WideString --------------------------------------------------

void TcxStringValueType::FreeBuffer(std::uint8_t* P) const
{
    FreeString(P);
}

int TcxStringValueType::GetDataSize() const
{
    return sizeof(std::string*);
}

void TcxStringValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    GetValue(PrepareValueBuffer(P), V);
}

std::string TcxStringValueType::GetDefaultDisplayText(const std::uint8_t* P) const
{
    const std::string* s = StringAt(P);
    return s ? *s : std::string();
}

void TcxStringValueType::ReadDataValue(std::uint8_t* P, TStream& stream) const
{
    AssignString(P, ReadStringFunc(stream));
}

void TcxStringValueType::SetDataValue(std::uint8_t* P, const Variant& V) const
{
    AssignString(P, V.AsString());
}

void TcxStringValueType::WriteDataValue(const std::uint8_t* P, TStream& stream) const
{
    const std::string* s = StringAt(P);
    WriteStringProc(stream, s ? *s : std::string());
}

int TcxStringValueType::CompareValues(const void* P1, const void* P2) const
{
    const auto* s1 = static_cast<const std::string*>(P1);
    const auto* s2 = static_cast<const std::string*>(P2);
    if (!s1 || !s2)
        return (s1 ? 1 : 0) - (s2 ? 1 : 0);
    const int c = s1->compare(*s2);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void TcxStringValueType::GetValue(const void* P, Variant& V) const
{
    const auto* s = static_cast<const std::string*>(P);
    V = s ? Variant(std::string_view(*s)) : Variant::Null();
}

int TcxStringValueType::GetVarType() const
{
    return hostlib::varString;
}

const void* TcxStringValueType::PrepareValueBuffer(const std::uint8_t* P) const
{
    return StringAt(P);
}

void TcxWideStringValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    GetValue(PrepareValueBuffer(P), V);
}

std::string TcxWideStringValueType::GetDefaultDisplayText(const std::uint8_t* P) const
{
    return TcxValueType::GetDefaultDisplayText(P);
}

void TcxWideStringValueType::ReadDataValue(std::uint8_t* P, TStream& stream) const
{
    AssignString(P, hostlib::Utf16ToUtf8(ReadWideStringFunc(stream)));
}

void TcxWideStringValueType::WriteDataValue(const std::uint8_t* P, TStream& stream) const
{
    const std::string* s = StringAt(P);
    WriteWideStringProc(stream, hostlib::Utf8ToUtf16(s ? *s : std::string()));
}

void TcxWideStringValueType::GetValue(const void* P, Variant& V) const
{
    const auto* s = static_cast<const std::string*>(P);
    V = s ? Variant::FromOleStr(*s) : Variant::Null();
}

int TcxWideStringValueType::GetVarType() const
{
    return hostlib::varOleStr;
}

// ---- Fixed-size types -------------------------------------------------------

void TcxBooleanValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    V = Variant(*P != 0);
}
std::string TcxBooleanValueType::GetDefaultDisplayText(const std::uint8_t* P) const
{
    return *P != 0 ? "True" : "False";
}
void TcxBooleanValueType::ReadDataValue(std::uint8_t* P, TStream& stream) const
{
    *P = ReadBooleanFunc(stream) ? 1 : 0;
}
void TcxBooleanValueType::SetDataValue(std::uint8_t* P, const Variant& V) const
{
    *P = V.AsBoolean() ? 1 : 0;
}
void TcxBooleanValueType::WriteDataValue(const std::uint8_t* P, TStream& stream) const
{
    WriteBooleanProc(stream, *P != 0);
}
int TcxBooleanValueType::CompareValues(const void* P1, const void* P2) const
{
    // Any nonzero byte is true.
    const bool b1 = *static_cast<const std::uint8_t*>(P1) != 0;
    const bool b2 = *static_cast<const std::uint8_t*>(P2) != 0;
    return Sign(b1, b2);
}
int TcxBooleanValueType::GetVarType() const
{
    return hostlib::varBoolean;
}

std::string TcxDateTimeValueType::GetDefaultDisplayText(const std::uint8_t* P) const
{
    const double value = Load<double>(P);
    try {
        return Variant::FromDate(value).AsString();
    } catch (const hostlib::EVariantError&) {
        return hostlib::DateTimeToStr(value);
    }
}
// ---- FMTBcd and SQLTimeStamp ------------------------------------------------

void TcxFMTBcdValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    V = Variant(BcdToDouble(Load<TBcd>(P)));
}
std::string TcxFMTBcdValueType::GetDefaultDisplayText(const std::uint8_t* P) const
{
    return BcdToStr(Load<TBcd>(P), hostlib::FormatSettings().DecimalSeparator);
}
void TcxFMTBcdValueType::ReadDataValue(std::uint8_t* P, TStream& stream) const
{
    SetDataValue(P, ReadVariantFunc(stream));
}
void TcxFMTBcdValueType::SetDataValue(std::uint8_t* P, const Variant& V) const
{
    std::optional<TBcd> bcd;
    switch (V.VarType()) {
    case hostlib::varCurrency: // through its text, which keeps all four decimals
    case hostlib::varString:
    case hostlib::varOleStr:
        bcd = TryStrToBcd(hostlib::Trim(V.AsString()), hostlib::FormatSettings().DecimalSeparator);
        break;
    case hostlib::varShortInt:
    case hostlib::varByte:
    case hostlib::varSmallint:
    case hostlib::varWord:
    case hostlib::varInteger:
    case hostlib::varLongWord:
    case hostlib::varInt64:
        bcd = Int64ToBcd(V.AsInt64());
        break;
    default: bcd = TryDoubleToBcd(V.AsDouble()); break;
    }
    if (!bcd)
        throw hostlib::EVariantTypeCastError(hostlib::Format(hostlib::messages::SVarTypeCouldNotConvert,
                                                              hostlib::VarTypeAsText(V.VarType()), "FMTBcd"));
    Store(P, *bcd);
}
void TcxFMTBcdValueType::WriteDataValue(const std::uint8_t* P, TStream& stream) const
{
    Variant V;
    GetDataValue(P, V);
    WriteVariantProc(stream, V);
}
int TcxFMTBcdValueType::CompareValues(const void* P1, const void* P2) const
{
    return BcdCompare(Load<TBcd>(static_cast<const std::uint8_t*>(P1)), Load<TBcd>(static_cast<const std::uint8_t*>(P2)));
}
int TcxFMTBcdValueType::GetVarType() const
{
    return hostlib::varDouble;
}

void TcxSQLTimeStampValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    V = Variant::FromDate(SQLTimeStampToDateTime(Load<TSQLTimeStamp>(P)));
}
void TcxSQLTimeStampValueType::ReadDataValue(std::uint8_t* P, TStream& stream) const
{
    SetDataValue(P, ReadVariantFunc(stream));
}
void TcxSQLTimeStampValueType::SetDataValue(std::uint8_t* P, const Variant& V) const
{
    // A date the stamp could not give back is refused, not stored.
    const std::optional<TSQLTimeStamp> stamp = TryDateTimeToSQLTimeStamp(V.AsDate());
    if (!stamp)
        throw hostlib::EVariantOverflowError(hostlib::Format(hostlib::messages::SVarTypeConvertOverflow,
                                                              hostlib::VarTypeAsText(V.VarType()), "SQLTimeStamp"));
    Store(P, *stamp);
}
void TcxSQLTimeStampValueType::WriteDataValue(const std::uint8_t* P, TStream& stream) const
{
    Variant V;
    GetDataValue(P, V);
    WriteVariantProc(stream, V);
}
int TcxSQLTimeStampValueType::CompareValues(const void* P1, const void* P2) const
{
    return SQLTimeStampCompare(Load<TSQLTimeStamp>(static_cast<const std::uint8_t*>(P1)),
                               Load<TSQLTimeStamp>(static_cast<const std::uint8_t*>(P2)));
}
int TcxSQLTimeStampValueType::GetVarType() const
{
    return hostlib::varDate;
}

// ---- Variant and Object -----------------------------------------------------

void TcxVariantValueType::FreeBuffer(std::uint8_t* P) const
{
    delete Load<Variant*>(P);
    Store<Variant*>(P, nullptr);
}
int TcxVariantValueType::GetDataSize() const
{
    return sizeof(Variant*);
}
void TcxVariantValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    GetValue(PrepareValueBuffer(P), V);
}
void TcxVariantValueType::ReadDataValue(std::uint8_t* P, TStream& stream) const
{
    SetDataValue(P, ReadVariantFunc(stream));
}
void TcxVariantValueType::SetDataValue(std::uint8_t* P, const Variant& V) const
{
    if (Variant* held = Load<Variant*>(P))
        *held = V;
    else
        Store(P, new Variant(V));
}
void TcxVariantValueType::WriteDataValue(const std::uint8_t* P, TStream& stream) const
{
    const Variant* held = Load<Variant*>(P);
    WriteVariantProc(stream, held ? *held : Variant::Null());
}
int TcxVariantValueType::CompareValues(const void* P1, const void* P2) const
{
    const auto* v1 = static_cast<const Variant*>(P1);
    const auto* v2 = static_cast<const Variant*>(P2);
    if (!v1 || !v2)
        return (v1 ? 1 : 0) - (v2 ? 1 : 0);
    return VarCompare(*v1, *v2);
}
void TcxVariantValueType::GetValue(const void* P, Variant& V) const
{
    const auto* held = static_cast<const Variant*>(P);
    V = held ? *held : Variant::Null();
}
const void* TcxVariantValueType::PrepareValueBuffer(const std::uint8_t* P) const
{
    return Load<Variant*>(P);
}

void TcxObjectValueType::FreeBuffer(std::uint8_t* P) const
{
    TObject* object = Load<TObject*>(P);
    Store<TObject*>(P, nullptr);
    if (object)
        object->Free();
}
int TcxObjectValueType::GetDataSize() const
{
    return sizeof(TObject*);
}
void TcxObjectValueType::GetDataValue(const std::uint8_t* P, Variant& V) const
{
    V = Variant(static_cast<long long>(reinterpret_cast<std::intptr_t>(Load<TObject*>(P))));
}
void TcxObjectValueType::ReadDataValue(std::uint8_t* P, TStream&) const
{
    // Objects are not streamed: the place reads back empty.
    FreeBuffer(P);
}
void TcxObjectValueType::SetDataValue(std::uint8_t* P, const Variant& V) const
{
    auto* object = reinterpret_cast<TObject*>(static_cast<std::intptr_t>(V.AsInt64()));
    // The place owns its object: one it no longer holds is freed.
    if (Load<TObject*>(P) != object)
        FreeBuffer(P);
    Store(P, object);
}
void TcxObjectValueType::WriteDataValue(const std::uint8_t*, TStream&) const {}
int TcxObjectValueType::CompareValues(const void* P1, const void* P2) const
{
    return CompareStored<std::intptr_t>(P1, P2);
}
int TcxObjectValueType::GetVarType() const
{
    return hostlib::varInt64;
}

// ---- Registry ---------------------------------------------------------------

hostlib::TClass TcxValueTypeClassList::StaticClass()
{
    return hostlib::DefineClass<TcxValueTypeClassList, TObject>("TcxValueTypeClassList");
}

void TcxValueTypeClassList::RegisterItem(TcxValueTypeClass item)
{
    if (item && std::find(items_.begin(), items_.end(), item) == items_.end())
        items_.push_back(item);
}

void TcxValueTypeClassList::UnregisterItem(TcxValueTypeClass item)
{
    std::erase(items_, item);
}

TcxValueTypeClass TcxValueTypeClassList::ItemByCaption(const std::string& caption) const
{
    for (TcxValueTypeClass item : items_)
        if (item->Caption() == caption)
            return item;
    return nullptr;
}

TcxValueTypeClass TcxValueTypeClassList::Items(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

namespace {

const std::vector<TcxValueTypeClass>& RegisteredTypes()
{
    static const std::vector<TcxValueTypeClass> types{
        TcxStringValueType::Class(),   TcxWideStringValueType::Class(), TcxSmallintValueType::Class(),
        TcxIntegerValueType::Class(),  TcxWordValueType::Class(),       TcxBooleanValueType::Class(),
        TcxFloatValueType::Class(),    TcxCurrencyValueType::Class(),   TcxDateTimeValueType::Class(),
        TcxLargeIntValueType::Class(), TcxFMTBcdValueType::Class(),     TcxSQLTimeStampValueType::Class(),
        TcxVariantValueType::Class(),  TcxObjectValueType::Class(),
    };
    return types;
}

std::unique_ptr<TcxValueTypeClassList>& ValueTypeClassListHolder()
{
    static std::unique_ptr<TcxValueTypeClassList> list;
    return list;
}

} // namespace

TcxValueTypeClassList& cxValueTypeClassList()
{
    auto& list = ValueTypeClassListHolder();
    if (!list) {
        // Made with the unit's registrations, so a look-up never meets an
        // empty list because start-up order went wrong.
        list = std::make_unique<TcxValueTypeClassList>();
        for (TcxValueTypeClass type : RegisteredTypes())
            list->RegisterItem(type);
    }
    return *list;
}

void cxDataStorageInitialize()
{
    TcxValueTypeClassList& list = cxValueTypeClassList();
    for (TcxValueTypeClass type : RegisteredTypes())
        list.RegisterItem(type);
}

void cxDataStorageFinalize()
{
    auto& list = ValueTypeClassListHolder();
    if (!list)
        return;
    const auto& types = RegisteredTypes();
    for (auto it = types.rbegin(); it != types.rend(); ++it)
        list->UnregisterItem(*it);
    list.reset();
}

// ---- TcxValueDef ------------------------------------------------------------

hostlib::TClass TcxValueDef::StaticClass()
{
    return hostlib::DefineClass<TcxValueDef, TObject>("TcxValueDef");
}

hostlib::TClass TcxInternalValueDef::StaticClass()
{
    return hostlib::DefineClass<TcxInternalValueDef, TcxValueDef>("TcxInternalValueDef");
}

hostlib::TClass TcxDataStorage::StaticClass()
{
    return hostlib::DefineClass<TcxDataStorage, TObject>("TcxDataStorage");
}

TcxValueDef::TcxValueDef(TcxValueDefs* valueDefs, TcxValueTypeClass valueTypeClass)
    : valueDefs_(valueDefs), valueTypeClass_(valueTypeClass ? valueTypeClass : TcxStringValueType::Class())
{
}

void TcxValueDef::Assign(const TcxValueDef& source)
{
    SetStored(source.Stored());
    SetTextStored(source.TextStored());
}

void TcxValueDef::SetStored(bool value)
{
    if (stored_ == value)
        return;
    valueDefs_->ReplacePlace(this, [&] { stored_ = value; });
    Changed(false);
}

void TcxValueDef::SetTextStored(bool value)
{
    if (textStored_ == value)
        return;
    valueDefs_->ReplacePlace(this, [&] { textStored_ = value; });
    Changed(true);
}

void TcxValueDef::SetValueTypeClass(TcxValueTypeClass value)
{
    if (!value || valueTypeClass_ == value)
        return;
    valueDefs_->ReplacePlace(this, [&] { valueTypeClass_ = value; });
    Changed(true);
}

bool TcxValueDef::IsStored() const
{
    const TcxDataStorage* storage = valueDefs_ ? valueDefs_->DataStorage() : nullptr;
    return GetStored() || !storage || !storage->StoredValuesOnly();
}

bool TcxValueDef::IsTextStored() const
{
    return IsStored() && textStored_;
}

void TcxValueDef::Init(int& offset)
{
    placeType_ = valueTypeClass_;
    placeStored_ = IsStored();
    placeTextStored_ = placeStored_ && textStored_;
    dataSize_ = placeType_->GetDataSize();
    offset_ = offset;
    bufferSize_ = placeStored_ ? 1 + dataSize_ + (placeTextStored_ ? static_cast<int>(sizeof(std::string*)) : 0) : 0;
    offset += bufferSize_;
}

void TcxValueDef::SetNull(std::uint8_t* place, bool isNull) const
{
    if (isNull) {
        if (place[-1] != 0)
            placeType_->FreeBuffer(place);
        std::memset(place, 0, static_cast<std::size_t>(dataSize_));
        place[-1] = 0;
    } else {
        place[-1] = 1;
    }
}

void TcxValueDef::GetDataValue(const std::uint8_t* buffer, Variant& V) const
{
    if (!placeStored_ || IsNullValue(ValuePlace(buffer)))
        V = Variant::Null();
    else
        placeType_->GetDataValue(ValuePlace(buffer), V);
}

void TcxValueDef::SetDataValue(std::uint8_t* buffer, const Variant& V) const
{
    if (!placeStored_)
        return;
    std::uint8_t* place = ValuePlace(buffer);
    if (V.IsNull()) {
        SetNull(place, true);
        return;
    }
    // The type converts before it writes; the flag follows a stored value.
    placeType_->SetDataValue(place, V);
    SetNull(place, false);
}

std::string TcxValueDef::GetDisplayText(const std::uint8_t* buffer) const
{
    if (placeTextStored_)
        return placeType_->GetDisplayText(TextPlace(buffer));
    if (!placeStored_ || IsNullValue(ValuePlace(buffer)))
        return {};
    return placeType_->GetDefaultDisplayText(ValuePlace(buffer));
}

void TcxValueDef::SetDisplayText(std::uint8_t* buffer, const std::string& S) const
{
    if (placeTextStored_)
        placeType_->SetDisplayText(TextPlace(buffer), S);
}

int TcxValueDef::Compare(const std::uint8_t* buffer1, const std::uint8_t* buffer2) const
{
    const bool null1 = !placeStored_ || IsNullValue(ValuePlace(buffer1));
    const bool null2 = !placeStored_ || IsNullValue(ValuePlace(buffer2));
    if (null1 || null2)
        return (null1 ? 0 : 1) - (null2 ? 0 : 1);
    return placeType_->Compare(ValuePlace(buffer1), ValuePlace(buffer2));
}

int TcxValueDef::CompareValues(bool isNull1, bool isNull2, const void* prepared1, const void* prepared2) const
{
    if (isNull1 || isNull2)
        return (isNull1 ? 0 : 1) - (isNull2 ? 0 : 1);
    return placeType_->CompareValues(prepared1, prepared2);
}

void TcxValueDef::FreeBuffer(std::uint8_t* buffer) const
{
    if (!placeStored_)
        return;
    SetNull(ValuePlace(buffer), true);
    if (placeTextStored_)
        FreeTextBuffer(buffer);
}

void TcxValueDef::FreeTextBuffer(std::uint8_t* buffer) const
{
    if (placeTextStored_)
        placeType_->FreeTextBuffer(TextPlace(buffer));
}

void TcxValueDef::ReadDataValue(std::uint8_t* buffer, TStream& stream) const
{
    if (!placeStored_)
        return;
    std::uint8_t* place = ValuePlace(buffer);
    if (ReadBooleanFunc(stream)) {
        SetNull(place, true);
        return;
    }
    placeType_->ReadDataValue(place, stream);
    SetNull(place, false);
}

void TcxValueDef::WriteDataValue(const std::uint8_t* buffer, TStream& stream) const
{
    if (!placeStored_)
        return;
    const bool isNull = IsNullValue(ValuePlace(buffer));
    WriteBooleanProc(stream, isNull);
    if (!isNull)
        placeType_->WriteDataValue(ValuePlace(buffer), stream);
}

void TcxValueDef::ReadDisplayText(std::uint8_t* buffer, TStream& stream) const
{
    if (placeTextStored_)
        placeType_->ReadDisplayText(TextPlace(buffer), stream);
}

void TcxValueDef::WriteDisplayText(const std::uint8_t* buffer, TStream& stream) const
{
    if (placeTextStored_)
        placeType_->WriteDisplayText(TextPlace(buffer), stream);
}

void TcxValueDef::Changed(bool resyncNeeded)
{
    if (valueDefs_)
        valueDefs_->Changed(this, resyncNeeded);
}

TObject* TcxInternalValueDef::GetLinkObject() const
{
    return valueDef_ ? valueDef_->GetLinkObject() : nullptr;
}

void TcxInternalValueDef::SetLinkObject(TObject* value)
{
    valueDef_ = dynamic_cast<TcxValueDef*>(value);
}

// ---- TcxValueDefs -----------------------------------------------------------

hostlib::TClass TcxValueDefs::StaticClass()
{
    return hostlib::DefineClass<TcxValueDefs, TObject>("TcxValueDefs");
}

hostlib::TClass TcxInternalValueDefs::StaticClass()
{
    return hostlib::DefineClass<TcxInternalValueDefs, TcxValueDefs>("TcxInternalValueDefs");
}

void TcxValueDefs::Changed(TcxValueDef* valueDef, bool resyncNeeded)
{
    if (storage_)
        storage_->ValueDefsChanged(valueDef, resyncNeeded);
}

std::unique_ptr<TcxValueDef> TcxValueDefs::CreateValueDef(TcxValueTypeClass valueTypeClass)
{
    return std::make_unique<TcxValueDef>(this, valueTypeClass);
}

void TcxValueDefs::Prepare(int recordOffset)
{
    recordOffset_ = recordOffset;
    int offset = recordOffset;
    for (const auto& def : items_)
        def->Init(offset);
    recordSize_ = offset;
}

TcxValueDef* TcxValueDefs::Add(TcxValueTypeClass valueTypeClass, bool stored, bool textStored, TObject* linkObject)
{
    std::unique_ptr<TcxValueDef> def = CreateValueDef(valueTypeClass);
    def->SetLinkObject(linkObject);
    def->stored_ = stored;
    def->textStored_ = textStored;
    int offset = 0;
    def->Init(offset);
    TcxValueDef* result = def.get();
    storage_->InsertValueDef(this, result);
    items_.push_back(std::move(def));
    if (storage_->IsStreaming() && this == &storage_->ValueDefs())
        storage_->streamingOrder_.push_back(result);
    storage_->InitStructure(this);
    return result;
}

void TcxValueDefs::Remove(TcxValueDef* valueDef)
{
    const int index = IndexOf(valueDef);
    if (index < 0)
        return;
    storage_->RemoveValueDef(this, valueDef);
    std::erase(storage_->streamingOrder_, valueDef);
    items_.erase(items_.begin() + index);
    storage_->InitStructure(this);
}

void TcxValueDefs::Clear()
{
    while (!items_.empty())
        Remove(items_.back().get());
}

TcxValueDef* TcxValueDefs::Items(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    if (storage_ && storage_->IsStreaming() && this == &storage_->ValueDefs())
        return storage_->streamingOrder_[static_cast<std::size_t>(index)];
    return items_[static_cast<std::size_t>(index)].get();
}

int TcxValueDefs::IndexOf(const TcxValueDef* valueDef) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == valueDef)
            return static_cast<int>(i);
    return -1;
}

int TcxValueDefs::GetStoredCount() const
{
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const auto& def) { return def->IsStored(); }));
}

void TcxValueDefs::ReplacePlace(TcxValueDef* valueDef, const std::function<void()>& change)
{
    const TcxValueTypeClass oldType = valueDef->valueTypeClass_;
    const bool oldTextStored = valueDef->textStored_;
    change();
    if (IndexOf(valueDef) < 0 || !storage_)
        return;
    // The place keeps the form of the last layout until it is rebuilt here.
    const bool sameLayout = valueDef->placeType_ == valueDef->valueTypeClass_ &&
                            valueDef->placeStored_ == valueDef->IsStored() &&
                            valueDef->placeTextStored_ == valueDef->IsTextStored();
    if (!sameLayout) {
        storage_->RemovePlace(this, valueDef);
        storage_->InitStructure(this);
        storage_->InsertPlace(this, valueDef->Offset(), valueDef->BufferSize());
    }
    // The internal mirror follows the value type and the text flag.
    if (this == &storage_->ValueDefs()) {
        if (TcxValueDef* mirror = storage_->InternalValueDefs().FindByLinkObject(valueDef)) {
            if (oldType != valueDef->valueTypeClass_)
                mirror->SetValueTypeClass(valueDef->valueTypeClass_);
            if (oldTextStored != valueDef->textStored_)
                mirror->SetTextStored(valueDef->textStored_);
        }
    }
}

std::unique_ptr<TcxValueDef> TcxInternalValueDefs::CreateValueDef(TcxValueTypeClass valueTypeClass)
{
    return std::make_unique<TcxInternalValueDef>(this, valueTypeClass);
}

TcxValueDef* TcxInternalValueDefs::FindByLinkObject(const TObject* linkObject) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        auto* def = static_cast<TcxInternalValueDef*>(Items(i));
        if (def->GetValueDef() == linkObject)
            return def;
    }
    return nullptr;
}

void TcxInternalValueDefs::RemoveByLinkObject(const TObject* linkObject)
{
    if (TcxValueDef* def = FindByLinkObject(linkObject))
        Remove(def);
}

// ---- TcxValueDefReader ------------------------------------------------------

hostlib::TClass TcxValueDefReader::StaticClass()
{
    return hostlib::DefineClass<TcxValueDefReader, TObject>("TcxValueDefReader");
}

std::string TcxValueDefReader::GetDisplayText(TcxValueDef*)
{
    return {};
}

Variant TcxValueDefReader::GetValue(TcxValueDef*)
{
    return Variant::Null();
}

bool TcxValueDefReader::IsInternal(TcxValueDef*)
{
    return false;
}

// ---- TcxDataStorage ---------------------------------------------------------

TcxDataStorage::TcxDataStorage()
{
    // Not through the virtual InitStructure: a descendant is not built yet.
    valueDefs_.Prepare(RecordOffset(&valueDefs_));
    internalValueDefs_.Prepare(RecordOffset(&internalValueDefs_));
}

TcxDataStorage::~TcxDataStorage()
{
    destroying_ = true;
    Clear(false);
    valueDefs_.Clear();
    internalValueDefs_.Clear();
}

void TcxDataStorage::InitStructure(TcxValueDefs* valueDefs)
{
    valueDefs->Prepare(RecordOffset(valueDefs));
}

void TcxDataStorage::ValueDefsChanged(TcxValueDef*, bool) {}

TcxValueDefs* TcxDataStorage::ValueDefsByRecordIndex(int index)
{
    return index < 0 ? static_cast<TcxValueDefs*>(&internalValueDefs_) : &valueDefs_;
}

int TcxDataStorage::RecordOffset(const TcxValueDefs* valueDefs) const
{
    // Internal records carry no record ID.
    return 1 + (useRecordID_ && !IsInternalLayout(valueDefs) ? 4 : 0);
}

std::vector<TcxDataStorage::Buffer>& TcxDataStorage::BuffersOf(const TcxValueDefs* valueDefs)
{
    return IsInternalLayout(valueDefs) ? internalRecords_ : records_;
}

TcxDataStorage::Buffer& TcxDataStorage::OtherRecordBuffer(int index)
{
    if (index >= 0)
        IndexError(index);
    const std::int64_t slot = -static_cast<std::int64_t>(index) - 1;
    if (slot >= InternalRecordCount())
        IndexError(index);
    return internalRecords_[static_cast<std::size_t>(slot)];
}

void TcxDataStorage::SetRecordCount(int value)
{
    value = std::max(value, 0);
    while (RecordCount() < value)
        AppendRecord();
    while (RecordCount() > value)
        DeleteRecord(RecordCount() - 1);
}

std::vector<std::uint8_t> TcxDataStorage::TakeRecordBuffers(int index)
{
    Buffer taken;
    taken.swap(RecordBuffer(index));
    return taken;
}

void TcxDataStorage::SetRecordBuffers(int index, std::vector<std::uint8_t> buffer)
{
    // A buffer of another layout would be read past its end.
    if (!buffer.empty() && static_cast<int>(buffer.size()) != ValueDefsByRecordIndex(index)->RecordSize())
        throw hostlib::EInvalidOperation("Record buffer does not fit the record layout");
    FreeAndNilRecordBuffer(index);
    RecordBuffer(index) = std::move(buffer);
}

int TcxDataStorage::AppendRecord()
{
    records_.emplace_back();
    const int index = RecordCount() - 1;
    AssignRecordID(index);
    return index;
}

void TcxDataStorage::InsertRecord(int index)
{
    if (index < 0 || index > RecordCount())
        IndexError(index);
    records_.insert(records_.begin() + index, Buffer{});
    AssignRecordID(index);
}

void TcxDataStorage::DeleteRecord(int index)
{
    FreeAndNilRecordBuffer(index);
    if (index >= 0) {
        records_.erase(records_.begin() + index);
        CheckRecordCounterReset();
    }
}

int TcxDataStorage::AddInternalRecord()
{
    std::size_t slot = 0;
    while (slot < internalRecords_.size() && !internalRecords_[slot].empty() &&
           (internalRecords_[slot][0] & cxRecordFlagInUse) != 0)
        ++slot;
    if (slot == internalRecords_.size())
        internalRecords_.emplace_back();
    const int index = -static_cast<int>(slot) - 1;
    AllocRecordBuffer(index)[0] |= cxRecordFlagInUse;
    return index;
}

void TcxDataStorage::DeleteInternalRecord(int index)
{
    if (index < 0)
        FreeAndNilRecordBuffer(index);
}

std::uint8_t* TcxDataStorage::AllocRecordBuffer(int index)
{
    Buffer& buffer = RecordBuffer(index);
    if (buffer.empty())
        buffer.assign(static_cast<std::size_t>(ValueDefsByRecordIndex(index)->RecordSize()), 0);
    return buffer.data();
}

void TcxDataStorage::FreeAndNilRecordBuffer(int index)
{
    Buffer& buffer = RecordBuffer(index);
    if (buffer.empty())
        return;
    FreeBufferParts(ValueDefsByRecordIndex(index), buffer);
    Buffer().swap(buffer);
}

void TcxDataStorage::FreeBufferParts(TcxValueDefs* valueDefs, Buffer& buffer)
{
    for (const auto& def : valueDefs->items_)
        def->FreeBuffer(buffer.data());
}

Variant TcxDataStorage::GetValue(int index, TcxValueDef* valueDef)
{
    const std::uint8_t* buffer = RecordBuffers(index);
    Variant V = Variant::Null();
    if (buffer && CheckValueDef(index, valueDef))
        valueDef->GetDataValue(buffer, V);
    return V;
}

void TcxDataStorage::SetValue(int index, TcxValueDef* valueDef, const Variant& V)
{
    if (CheckValueDef(index, valueDef))
        valueDef->SetDataValue(AllocRecordBuffer(index), V);
}

std::string TcxDataStorage::GetDisplayText(int index, TcxValueDef* valueDef)
{
    const std::uint8_t* buffer = RecordBuffers(index);
    if (buffer && CheckValueDef(index, valueDef))
        return valueDef->GetDisplayText(buffer);
    return {};
}

void TcxDataStorage::SetDisplayText(int index, TcxValueDef* valueDef, const std::string& S)
{
    if (CheckValueDef(index, valueDef) && valueDef->IsTextStored())
        valueDef->SetDisplayText(AllocRecordBuffer(index), S);
}

bool TcxDataStorage::CheckOtherValueDef(int index, TcxValueDef*& valueDef)
{
    if (!valueDef)
        return false;
    if (valueDef->ValueDefs() == &internalValueDefs_)
        return index < 0; // the internal layout fits internal records only
    if (valueDef->ValueDefs() != &valueDefs_)
        return false;
    if (index < 0)
        valueDef = internalValueDefs_.FindByLinkObject(valueDef);
    return valueDef != nullptr;
}

int TcxDataStorage::CompareRecords(int index1, int index2, TcxValueDef* valueDef)
{
    const bool has1 = RecordBuffers(index1) != nullptr;
    const bool has2 = RecordBuffers(index2) != nullptr;
    if (!has1 || !has2)
        return (has1 ? 1 : 0) - (has2 ? 1 : 0);
    // Through the compare information, so that an ordinary record compares
    // with an internal one through the definition's mirror.
    const void* prepared1 = nullptr;
    const void* prepared2 = nullptr;
    const bool null1 = GetCompareInfo(index1, valueDef, prepared1);
    const bool null2 = GetCompareInfo(index2, valueDef, prepared2);
    return valueDef ? valueDef->CompareValues(null1, null2, prepared1, prepared2) : 0;
}

bool TcxDataStorage::AppendSortKey(int index, TcxValueDef* valueDef, std::string& key)
{
    // Three tiers as CompareRecords has them: no buffer, Null, a value.
    if (RecordBuffers(index) == nullptr)
        return true;
    const void* prepared = nullptr;
    if (GetCompareInfo(index, valueDef, prepared)) {
        key.push_back('\1');
        return true;
    }
    key.push_back('\2');
    return valueDef && AppendValueKey(valueDef->placeType_, prepared, key);
}

bool TcxDataStorage::GetCompareInfo(int index, TcxValueDef* valueDef, const void*& prepared)
{
    prepared = nullptr;
    const std::uint8_t* buffer = RecordBuffers(index);
    if (!buffer || !CheckValueDef(index, valueDef) || !valueDef->placeStored_)
        return true;
    const std::uint8_t* place = valueDef->ValuePlace(buffer);
    if (valueDef->IsNullValue(place))
        return true;
    prepared = valueDef->placeType_->PrepareValueBuffer(place);
    return false;
}

int TcxDataStorage::GetRecordID(int index)
{
    if (index < 0 || !useRecordID_)
        return 0;
    return Load<std::int32_t>(AllocRecordBuffer(index) + 1);
}

void TcxDataStorage::SetRecordID(int index, int ID)
{
    if (index >= 0 && useRecordID_)
        Store<std::int32_t>(AllocRecordBuffer(index) + 1, ID);
}

void TcxDataStorage::AssignRecordID(int index)
{
    if (useRecordID_ && GetRecordID(index) == 0)
        SetRecordID(index, recordIDCounter_++);
}

void TcxDataStorage::CheckRecordCounterReset()
{
    if (records_.empty())
        recordIDCounter_ = 1;
}

void TcxDataStorage::SetUseRecordID(bool value)
{
    if (useRecordID_ == value)
        return;
    FreeAllBuffers(&valueDefs_);
    useRecordID_ = value;
    InitStructure(&valueDefs_);
}

void TcxDataStorage::SetStoredValuesOnly(bool value)
{
    if (storedValuesOnly_ == value)
        return;
    FreeAllBuffers(&valueDefs_);
    storedValuesOnly_ = value;
    InitStructure(&valueDefs_);
}

void TcxDataStorage::FreeAllBuffers(TcxValueDefs* valueDefs)
{
    for (Buffer& buffer : BuffersOf(valueDefs)) {
        if (!buffer.empty()) {
            FreeBufferParts(valueDefs, buffer);
            Buffer().swap(buffer);
        }
    }
}

void TcxDataStorage::Clear(bool keepInternalRecords)
{
    if (!keepInternalRecords)
        ClearInternalRecords();
    ClearRecords(true);
}

void TcxDataStorage::ClearRecords(bool remove)
{
    FreeAllBuffers(&valueDefs_);
    if (remove)
        records_.clear();
    CheckRecordCounterReset();
    if (useRecordID_)
        for (int i = 0; i < RecordCount(); ++i)
            AssignRecordID(i);
}

void TcxDataStorage::ClearInternalRecords()
{
    FreeAllBuffers(&internalValueDefs_);
    internalRecords_.clear();
    if (!destroying_)
        OnClearInternalRecords(this);
}

void TcxDataStorage::InsertValueDef(TcxValueDefs* valueDefs, TcxValueDef* valueDef)
{
    if (!IsInternalLayout(valueDefs))
        internalValueDefs_.Add(valueDef->ValueTypeClass(), true, valueDef->TextStored(), valueDef);
    InsertPlace(valueDefs, valueDefs->RecordSize(), valueDef->BufferSize());
}

void TcxDataStorage::RemoveValueDef(TcxValueDefs* valueDefs, TcxValueDef* valueDef)
{
    if (!IsInternalLayout(valueDefs))
        internalValueDefs_.RemoveByLinkObject(valueDef);
    if (!valueDef->placeStored_)
        return;
    if (valueDefs->GetStoredCount() < 2)
        FreeAllBuffers(valueDefs);
    else
        RemovePlace(valueDefs, valueDef);
}

void TcxDataStorage::InsertPlace(TcxValueDefs* valueDefs, int at, int size)
{
    if (size <= 0)
        return;
    for (Buffer& buffer : BuffersOf(valueDefs))
        if (!buffer.empty())
            buffer.insert(buffer.begin() + at, static_cast<std::size_t>(size), 0);
}

void TcxDataStorage::RemovePlace(TcxValueDefs* valueDefs, TcxValueDef* valueDef)
{
    const int size = valueDef->BufferSize();
    if (size <= 0)
        return;
    for (Buffer& buffer : BuffersOf(valueDefs)) {
        if (buffer.empty())
            continue;
        valueDef->FreeBuffer(buffer.data());
        const auto first = buffer.begin() + valueDef->Offset();
        buffer.erase(first, first + size);
    }
}

void TcxDataStorage::ReadRecord(int index, TcxValueDefReader& reader, bool skipInternal)
{
    AllocRecordBuffer(index);
    TcxValueDefs* valueDefs = ValueDefsByRecordIndex(index);
    for (int i = 0; i < valueDefs->Count(); ++i) {
        TcxValueDef* def = valueDefs->Items(i);
        if (skipInternal && reader.IsInternal(def))
            continue;
        const Variant V = reader.GetValue(def);
        // The reader may have touched the storage: look the buffer up again.
        def->SetDataValue(AllocRecordBuffer(index), V);
        if (def->IsTextStored()) {
            const std::string text = reader.GetDisplayText(def);
            def->SetDisplayText(AllocRecordBuffer(index), text);
        }
    }
}

void TcxDataStorage::ReadRecordFrom(int fromIndex, int toIndex, TcxValueDefReader& reader,
                                    const TcxValueDefSetProc& setProc)
{
    TcxValueDefs* valueDefs = ValueDefsByRecordIndex(fromIndex);
    for (int i = 0; i < valueDefs->Count(); ++i)
        setProc(valueDefs->Items(i), fromIndex, toIndex, &reader);
}

void TcxDataStorage::WriteData(int index, TStream& stream)
{
    const std::uint8_t* buffer = RecordBuffers(index);
    WriteBooleanProc(stream, buffer == nullptr);
    if (!buffer)
        return;
    if (index >= 0 && useRecordID_)
        WriteIntegerProc(stream, GetRecordID(index));
    for (TcxValueDef* def : StreamingOrder(ValueDefsByRecordIndex(index))) {
        def->WriteDataValue(buffer, stream);
        def->WriteDisplayText(buffer, stream);
    }
}

void TcxDataStorage::ReadData(int index, TStream& stream)
{
    if (ReadBooleanFunc(stream)) {
        FreeAndNilRecordBuffer(index);
        return;
    }
    std::uint8_t* buffer = AllocRecordBuffer(index);
    if (index >= 0 && useRecordID_)
        SetRecordID(index, ReadIntegerFunc(stream));
    for (TcxValueDef* def : StreamingOrder(ValueDefsByRecordIndex(index))) {
        def->ReadDataValue(buffer, stream);
        def->ReadDisplayText(buffer, stream);
    }
}

void TcxDataStorage::BeginStreaming(const TcxValueDefCompareFunc& compare)
{
    streamingOrder_.clear();
    for (const auto& def : valueDefs_.items_)
        streamingOrder_.push_back(def.get());
    if (compare)
        std::stable_sort(streamingOrder_.begin(), streamingOrder_.end(),
                         [&](const TcxValueDef* a, const TcxValueDef* b) { return compare(a, b) < 0; });
    streaming_ = true;
}

void TcxDataStorage::EndStreaming()
{
    streaming_ = false;
    streamingOrder_.clear();
}

std::vector<TcxValueDef*> TcxDataStorage::StreamingOrder(TcxValueDefs* valueDefs) const
{
    if (streaming_ && valueDefs == &valueDefs_) return streamingOrder_;
    std::vector<TcxValueDef*> order;
    for (int i = 0; i < valueDefs->Count(); ++i)
        order.push_back(valueDefs->Items(i));
    return order;
}

// ---- TcxLookupList ----------------------------------------------------------

hostlib::TClass TcxLookupList::StaticClass()
{
    return hostlib::DefineClass<TcxLookupList, TObject>("TcxLookupList");
}

bool TcxLookupList::Find(const Variant& key, int& index) const
{
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int c = VarCompare(items_[static_cast<std::size_t>(middle)].KeyValue, key);
        if (c == 0) {
            index = middle;
            return true;
        }
        if (c < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    index = low;
    return false;
}

void TcxLookupList::Insert(int index, const Variant& key, const std::string& text)
{
    if (index < 0 || index > Count())
        IndexError(index);
    items_.insert(items_.begin() + index, TcxLookupListItem{key, text});
}

const TcxLookupListItem& TcxLookupList::Items(int index) const
{
    if (index < 0 || index >= Count())
        IndexError(index);
    return items_[static_cast<std::size_t>(index)];
}
