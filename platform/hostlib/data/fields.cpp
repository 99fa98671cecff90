#include "platform/hostlib/data/fields.h"

#include <algorithm>
#include <cmath>

#include "platform/hostlib/data/dataset.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

// ---- shared -------------------------------------------------------------------

void DatabaseError(const std::string& message, const TComponent* component)
{
    if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
    throw EDatabaseError(message);
}

const TEnumInfo& EnumTypeInfo(TFieldType*)
{
    static const TEnumInfo info{"TFieldType",
                                {"ftUnknown",  "ftString",    "ftSmallint", "ftInteger",     "ftWord",     "ftBoolean",
                                 "ftFloat",    "ftCurrency",  "ftBCD",      "ftDate",        "ftTime",     "ftDateTime",
                                 "ftBytes",    "ftVarBytes",  "ftAutoInc",  "ftBlob",        "ftMemo",     "ftGraphic",
                                 "ftFmtMemo",  "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftCursor",   "ftFixedChar",
                                 "ftWideString", "ftLargeint", "ftADT",     "ftArray",       "ftReference", "ftDataSet",
                                 "ftOraBlob",  "ftOraClob",   "ftVariant",  "ftInterface",   "ftIDispatch", "ftGuid",
                                 "ftTimeStamp", "ftFMTBcd"},
                                0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TFieldKind*)
{
    static const TEnumInfo info{"TFieldKind", {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TLocateOption*)
{
    static const TEnumInfo info{"TLocateOption", {"loCaseInsensitive", "loPartialKey"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TFilterOption*)
{
    static const TEnumInfo info{"TFilterOption", {"foCaseInsensitive", "foNoPartialCompare"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TAlignment*)
{
    static const TEnumInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}, 0};
    return info;
}

std::vector<std::string> SplitFieldNames(const std::string& names)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t end = names.find(';', start);
        if (end == std::string::npos) end = names.size();
        std::string name = Trim(std::string_view(names).substr(start, end - start));
        if (!name.empty()) out.push_back(std::move(name));
        start = end + 1;
    }
    return out;
}

// ---- TField -------------------------------------------------------------------

TClass TField::StaticClass()
{
    return DefineClass<TField, TComponent>("TField", [](ClassBuilder<TField>& b) {
        b.Property("FieldName", &TField::FieldName, &TField::SetFieldName);
        b.Property("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
        b.Property("Alignment", &TField::Alignment, &TField::SetAlignment);
        b.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
        b.Property("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth);
        b.Property("EditMask", &TField::EditMask, &TField::SetEditMask);
        b.Property("Origin", &TField::Origin, &TField::SetOrigin);
        b.Property("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
        b.Property("Required", &TField::Required, &TField::SetRequired).Default(false);
        b.Property("Visible", &TField::Visible, &TField::SetVisible).Default(true);
        b.Property("Size", &TField::Size, &TField::SetSize).Default(0);
        b.Property("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
        b.Property("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
        b.Property("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
        b.Property("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
        b.Property("Lookup", &TField::Lookup, &TField::SetLookup).Default(false).Stored(false);
        b.EventProperty("OnGetText", &TField::OnGetText);
        b.EventProperty("OnSetText", &TField::OnSetText);
        b.EventProperty("OnChange", &TField::OnChange);
        b.EventProperty("OnValidate", &TField::OnValidate);
    });
}

void TField::Destroy()
{
    if (dataSet_) dataSet_->RemoveField(this);
    dataSet_ = nullptr;
    if (lookupDataSet_) lookupDataSet_->RemoveFreeNotification(this);
    lookupDataSet_ = nullptr;
    TComponent::Destroy();
}

void TField::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == lookupDataSet_) lookupDataSet_ = nullptr;
}

void TField::SetDataSet(TDataSet* dataSet)
{
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->RemoveField(this);
    dataSet_ = nullptr;
    if (dataSet) {
        dataSet->AddField(this);
        dataSet_ = dataSet;
    }
}

void TField::SetFieldName(const std::string& name)
{
    if (dataSet_ && !SameText(name, fieldName_) && dataSet_->FindField(name))
        DatabaseError(Format(db_messages::SDuplicateFieldName, name), dataSet_);
    fieldName_ = name;
}

int TField::Index() const
{
    if (!dataSet_) return -1;
    const auto& list = dataSet_->FieldList();
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TField::SetLookupDataSet(TDataSet* dataSet)
{
    if (dataSet == lookupDataSet_) return;
    if (lookupDataSet_) lookupDataSet_->RemoveFreeNotification(this);
    lookupDataSet_ = dataSet;
    if (dataSet) dataSet->FreeNotification(this);
}

Variant TField::GetAsVariant() const
{
    if (!dataSet_) return Variant::Null();
    if (fieldKind_ == fkLookup) return LookupValue();
    return dataSet_->ReadFieldValue(*this);
}

Variant TField::LookupValue() const
{
    if (!lookupDataSet_ || keyFields_.empty() || lookupKeyFields_.empty() || lookupResultField_.empty())
        return Variant::Null();
    if (!lookupDataSet_->Active()) return Variant::Null();
    const Variant keys = dataSet_->FieldValues(keyFields_);
    if (keys.IsNull()) return Variant::Null();
    if (keys.IsArray())
        for (const Variant& v : keys.ArrayItems())
            if (v.IsNull()) return Variant::Null();
    return lookupDataSet_->Lookup(lookupKeyFields_, keys, lookupResultField_);
}

void TField::WriteLookup(const Variant& value)
{
    // Writing a lookup field chooses the lookup record whose result is the
    // value and copies its keys into the key fields.
    if (!lookupDataSet_ || keyFields_.empty() || lookupKeyFields_.empty() || lookupResultField_.empty())
        DatabaseError(Format(db_messages::SLookupInfoError, DisplayName()), dataSet_);
    Variant keys = Variant::Null();
    if (!value.IsNull()) keys = lookupDataSet_->Lookup(lookupResultField_, value, lookupKeyFields_);
    dataSet_->SetFieldValues(keyFields_, keys);
    OnChange(this);
}

void TField::SetAsVariant(const Variant& value)
{
    if (!dataSet_) DatabaseError(db_messages::SDataSetClosed, this);
    if (fieldKind_ == fkLookup) {
        WriteLookup(value);
        return;
    }
    const Variant converted = value.IsNull() || value.IsEmpty() ? Variant::Null() : ConvertValue(value);
    dataSet_->WriteFieldValue(*this, converted);
}

void TField::CheckRange(const Variant& value, const Variant& min, const Variant& max) const
{
    if (value.IsNull() || (min == max && min == Variant(0))) return;
    if (value < min || max < value)
        DatabaseError(Format(db_messages::SFieldRangeError, VarToStr(value), DisplayName(), VarToStr(min), VarToStr(max)));
}

std::string TField::AsString() const
{
    const Variant v = GetAsVariant();
    return v.IsNull() ? std::string() : GetAsString();
}

void TField::SetAsString(const std::string& value) { SetTextValue(value); }

int TField::AsInteger() const
{
    const Variant v = GetAsVariant();
    return v.IsNull() ? 0 : v.AsInteger();
}

double TField::AsFloat() const
{
    const Variant v = GetAsVariant();
    return v.IsNull() ? 0.0 : v.AsDouble();
}

bool TField::AsBoolean() const
{
    const Variant v = GetAsVariant();
    return v.IsNull() ? false : v.AsBoolean();
}

TDateTime TField::AsDateTime() const
{
    const Variant v = GetAsVariant();
    return v.IsNull() ? 0.0 : v.AsDate();
}

Currency TField::AsCurrency() const
{
    const Variant v = GetAsVariant();
    return v.IsNull() ? Currency() : v.AsCurrency();
}

std::string TField::GetText(bool) const { return VarToStr(GetAsVariant()); }

void TField::SetTextValue(const std::string& text) { SetAsVariant(Variant(text)); }

std::string TField::Text() const
{
    std::string text;
    if (OnGetText) OnGetText(const_cast<TField*>(this), text, false);
    else text = GetAsVariant().IsNull() ? std::string() : GetText(false);
    return text;
}

std::string TField::DisplayText() const
{
    std::string text;
    if (OnGetText) OnGetText(const_cast<TField*>(this), text, true);
    else text = GetAsVariant().IsNull() ? std::string() : GetText(true);
    return text;
}

void TField::SetText(const std::string& text)
{
    if (OnSetText) OnSetText(this, text);
    else if (text.empty() && dataType_ != ftString && dataType_ != ftWideString && dataType_ != ftFixedChar)
        Clear();
    else SetTextValue(text);
}

bool TField::CanModify() const
{
    if (readOnly_ || !dataSet_ || !dataSet_->CanModify()) return false;
    if (fieldKind_ == fkLookup) return !keyFields_.empty();
    return fieldKind_ == fkData && fieldNo_ > 0;
}

bool TField::IsValidChar(char ch) const { return static_cast<unsigned char>(ch) >= 0x20 || ch == '\t'; }

void TField::FocusControl()
{
    if (!dataSet_) return;
    TField* field = this;
    dataSet_->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&field));
}

// ---- string fields ----------------------------------------------------------------

TClass TStringField::StaticClass() { return DefineClass<TStringField, TField>("TStringField"); }

void TStringField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetDataType(ftString);
    SetSize(20);
}

Variant TStringField::ConvertValue(const Variant& value) const
{
    std::string text = value.AsString();
    if (Size() > 0 && static_cast<int>(text.size()) > Size()) {
        std::size_t cut = static_cast<std::size_t>(Size());
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return Variant(std::move(text));
}

TClass TWideStringField::StaticClass() { return DefineClass<TWideStringField, TStringField>("TWideStringField"); }

void TWideStringField::Construct(TComponent* owner)
{
    TStringField::Construct(owner);
    SetDataType(ftWideString);
}

Variant TWideStringField::GetAsVariant() const
{
    const Variant v = TStringField::GetAsVariant();
    return v.IsNull() ? v : Variant::FromOleStr(v.AsString());
}

// ---- numeric fields -----------------------------------------------------------------

namespace {

// Typed number text without blanks; a money text may carry the currency
// symbol.
std::string NumberText(const std::string& text, bool currency)
{
    std::string t = Trim(text);
    const std::string& symbol = FormatSettings().CurrencyString;
    if (currency && !symbol.empty()) t = Trim(StringReplace(t, symbol, "", rfReplaceAll));
    return t;
}

}  // namespace

TClass TNumericField::StaticClass()
{
    return DefineClass<TNumericField, TField>("TNumericField", [](ClassBuilder<TNumericField>& b) {
        b.Property("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
        b.Property("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
    });
}

void TNumericField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetAlignment(taRightJustify);
}

const std::string& TNumericField::FormatFor(bool displayText) const
{
    return displayText || editFormat_.empty() ? displayFormat_ : editFormat_;
}

bool TNumericField::IsValidChar(char ch) const
{
    return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == 'e' || ch == 'E' ||
           ch == FormatSettings().DecimalSeparator;
}

TClass TIntegerField::StaticClass()
{
    return DefineClass<TIntegerField, TNumericField>("TIntegerField", [](ClassBuilder<TIntegerField>& b) {
        b.Property("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
        b.Property("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
    });
}

void TIntegerField::Construct(TComponent* owner)
{
    TNumericField::Construct(owner);
    SetDataType(ftInteger);
}

bool TIntegerField::IsValidChar(char ch) const { return (ch >= '0' && ch <= '9') || ch == '+' || ch == '-'; }

Variant TIntegerField::ConvertValue(const Variant& value) const
{
    const std::int64_t v = VarIsStr(value) ? StrToInt64(Trim(value.AsString())) : value.AsInt64();
    if (v < TypeMin() || v > TypeMax())
        DatabaseError(Format(db_messages::SFieldRangeError, IntToStr(v), DisplayName(), IntToStr(TypeMin()), IntToStr(TypeMax())));
    const Variant result(static_cast<std::int32_t>(v));
    CheckRange(Variant(static_cast<long long>(v)), Variant(static_cast<long long>(minValue_)),
               Variant(static_cast<long long>(maxValue_)));
    return result;
}

std::string TIntegerField::GetText(bool displayText) const
{
    const Variant v = GetAsVariant();
    const std::string& format = FormatFor(displayText);
    if (!format.empty()) return FormatFloat(format, static_cast<double>(v.AsInt64()));
    return IntToStr(v.AsInt64());
}

void TIntegerField::SetTextValue(const std::string& text)
{
    if (Trim(text).empty()) Clear();
    else SetAsVariant(Variant(static_cast<long long>(StrToInt64(Trim(text)))));
}

TClass TSmallintField::StaticClass() { return DefineClass<TSmallintField, TIntegerField>("TSmallintField"); }
void TSmallintField::Construct(TComponent* owner)
{
    TIntegerField::Construct(owner);
    SetDataType(ftSmallint);
}

TClass TWordField::StaticClass() { return DefineClass<TWordField, TIntegerField>("TWordField"); }
void TWordField::Construct(TComponent* owner)
{
    TIntegerField::Construct(owner);
    SetDataType(ftWord);
}

TClass TAutoIncField::StaticClass() { return DefineClass<TAutoIncField, TIntegerField>("TAutoIncField"); }
void TAutoIncField::Construct(TComponent* owner)
{
    TIntegerField::Construct(owner);
    SetDataType(ftAutoInc);
}

TClass TLargeintField::StaticClass() { return DefineClass<TLargeintField, TIntegerField>("TLargeintField"); }
void TLargeintField::Construct(TComponent* owner)
{
    TIntegerField::Construct(owner);
    SetDataType(ftLargeint);
}

Variant TLargeintField::ConvertValue(const Variant& value) const
{
    const std::int64_t v = VarIsStr(value) ? StrToInt64(Trim(value.AsString())) : value.AsInt64();
    CheckRange(Variant(static_cast<long long>(v)), Variant(static_cast<long long>(MinValue())),
               Variant(static_cast<long long>(MaxValue())));
    return Variant(static_cast<long long>(v));
}

TClass TFloatField::StaticClass()
{
    return DefineClass<TFloatField, TNumericField>("TFloatField", [](ClassBuilder<TFloatField>& b) {
        b.Property("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
        b.Property("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
        b.Property("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
        b.Property("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
    });
}

void TFloatField::Construct(TComponent* owner)
{
    TNumericField::Construct(owner);
    SetDataType(ftFloat);
}

void TFloatField::SetPrecision(int value) { precision_ = std::clamp(value, 2, 15); }

Variant TFloatField::ConvertValue(const Variant& value) const
{
    const double v = VarIsStr(value) ? StrToFloat(Trim(value.AsString())) : value.AsDouble();
    if (!std::isfinite(v)) DatabaseError(Format(db_messages::SFieldTypeMismatch, DisplayName()));
    CheckRange(Variant(v), Variant(minValue_), Variant(maxValue_));
    return Variant(v);
}

std::string TFloatField::GetText(bool displayText) const
{
    const double v = GetAsVariant().AsDouble();
    const std::string& format = FormatFor(displayText);
    if (!format.empty()) return FormatFloat(format, v);
    if (currency_)
        return FloatToStrF(v, displayText ? ffCurrency : ffFixed, precision_, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v, ffGeneral, precision_, 0);
}

void TFloatField::SetTextValue(const std::string& text)
{
    const std::string t = NumberText(text, currency_);
    if (t.empty()) Clear();
    else SetAsVariant(Variant(StrToFloat(t)));
}

TClass TCurrencyField::StaticClass() { return DefineClass<TCurrencyField, TFloatField>("TCurrencyField"); }
void TCurrencyField::Construct(TComponent* owner)
{
    TFloatField::Construct(owner);
    SetDataType(ftCurrency);
    SetCurrency(true);
}

TClass TBCDField::StaticClass()
{
    return DefineClass<TBCDField, TNumericField>("TBCDField", [](ClassBuilder<TBCDField>& b) {
        b.Property("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).Default(false);
        b.Property("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
    });
}

void TBCDField::Construct(TComponent* owner)
{
    TNumericField::Construct(owner);
    SetDataType(ftBCD);
    SetSize(4);
}

Variant TBCDField::ConvertValue(const Variant& value) const
{
    const hostlib::Currency v = VarIsStr(value) ? StrToCurr(Trim(value.AsString())) : value.AsCurrency();
    if (!(minValue_ == hostlib::Currency() && maxValue_ == hostlib::Currency()) && (v < minValue_ || v > maxValue_))
        DatabaseError(Format(db_messages::SFieldRangeError, CurrToStr(v), DisplayName(), CurrToStr(minValue_), CurrToStr(maxValue_)));
    return Variant(v);
}

std::string TBCDField::GetText(bool displayText) const
{
    const hostlib::Currency v = GetAsVariant().AsCurrency();
    const std::string& format = FormatFor(displayText);
    if (!format.empty()) return FormatCurr(format, v);
    if (currency_) return CurrToStrF(v, displayText ? ffCurrency : ffFixed, FormatSettings().CurrencyDecimals);
    return CurrToStr(v);
}

void TBCDField::SetTextValue(const std::string& text)
{
    const std::string t = NumberText(text, currency_);
    if (t.empty()) Clear();
    else SetAsVariant(Variant(StrToCurr(t)));
}

TClass TFMTBCDField::StaticClass() { return DefineClass<TFMTBCDField, TBCDField>("TFMTBCDField"); }
void TFMTBCDField::Construct(TComponent* owner)
{
    TBCDField::Construct(owner);
    SetDataType(ftFMTBcd);
}

// ---- Boolean ----------------------------------------------------------------------

TClass TBooleanField::StaticClass()
{
    return DefineClass<TBooleanField, TField>("TBooleanField", [](ClassBuilder<TBooleanField>& b) {
        b.Property("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
    });
}

void TBooleanField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetDataType(ftBoolean);
}

void TBooleanField::SetDisplayValues(const std::string& values)
{
    const std::size_t sep = values.find(';');
    std::string t = sep == std::string::npos ? values : values.substr(0, sep);
    std::string f = sep == std::string::npos ? std::string() : values.substr(sep + 1);
    if (t.empty() && f.empty()) DatabaseError(Format("Invalid display values '%s'", values), this);
    displayValues_ = values;
    trueText_ = t;
    falseText_ = f;
}

Variant TBooleanField::ConvertValue(const Variant& value) const
{
    if (VarIsStr(value)) {
        bool b = false;
        if (!TryStrToBool(Trim(value.AsString()), b))
            DatabaseError(Format(db_messages::SNotBoolean, value.AsString(), DisplayName()));
        return Variant(b);
    }
    return Variant(value.AsBoolean());
}

std::string TBooleanField::GetText(bool) const { return GetAsVariant().AsBoolean() ? trueText_ : falseText_; }

void TBooleanField::SetTextValue(const std::string& text)
{
    const std::string t = Trim(text);
    if (t.empty()) {
        Clear();
        return;
    }
    // A prefix of either display value picks it, like typing into a grid.
    auto matches = [&](const std::string& candidate) {
        return !candidate.empty() && AnsiSameText(t, Copy(candidate, 1, static_cast<int>(t.size())));
    };
    if (matches(trueText_) && !matches(falseText_)) SetAsVariant(Variant(true));
    else if (matches(falseText_) && !matches(trueText_)) SetAsVariant(Variant(false));
    else if (AnsiSameText(t, trueText_)) SetAsVariant(Variant(true));
    else if (AnsiSameText(t, falseText_)) SetAsVariant(Variant(false));
    else DatabaseError(Format(db_messages::SNotBoolean, t, DisplayName()));
}

int TBooleanField::DefaultWidth() const
{
    return static_cast<int>(std::max({trueText_.size(), falseText_.size(), std::size_t{5}}));
}

// ---- date and time --------------------------------------------------------------

TClass TDateTimeField::StaticClass()
{
    return DefineClass<TDateTimeField, TField>("TDateTimeField", [](ClassBuilder<TDateTimeField>& b) {
        b.Property("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
    });
}

void TDateTimeField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetDataType(ftDateTime);
}

Variant TDateTimeField::ConvertValue(const Variant& value) const
{
    if (VarIsStr(value)) return Variant::FromDate(ParseText(Trim(value.AsString())));
    return Variant::FromDate(value.AsDate());
}

std::string TDateTimeField::DefaultText(TDateTime value) const { return DateTimeToStr(value); }
TDateTime TDateTimeField::ParseText(const std::string& text) const { return StrToDateTime(text); }

std::string TDateTimeField::GetText(bool displayText) const
{
    const TDateTime v = GetAsVariant().AsDate();
    if (displayText && !displayFormat_.empty()) return FormatDateTime(displayFormat_, v);
    return DefaultText(v);
}

void TDateTimeField::SetTextValue(const std::string& text)
{
    const std::string t = Trim(text);
    if (t.empty()) Clear();
    else SetAsVariant(Variant::FromDate(ParseText(t)));
}

TClass TDateField::StaticClass() { return DefineClass<TDateField, TDateTimeField>("TDateField"); }
void TDateField::Construct(TComponent* owner)
{
    TDateTimeField::Construct(owner);
    SetDataType(ftDate);
}
std::string TDateField::DefaultText(TDateTime value) const { return DateToStr(value); }
TDateTime TDateField::ParseText(const std::string& text) const { return StrToDate(text); }

TClass TTimeField::StaticClass() { return DefineClass<TTimeField, TDateTimeField>("TTimeField"); }
void TTimeField::Construct(TComponent* owner)
{
    TDateTimeField::Construct(owner);
    SetDataType(ftTime);
}
std::string TTimeField::DefaultText(TDateTime value) const { return TimeToStr(value); }
TDateTime TTimeField::ParseText(const std::string& text) const { return StrToTime(text); }

TClass TSQLTimeStampField::StaticClass() { return DefineClass<TSQLTimeStampField, TDateTimeField>("TSQLTimeStampField"); }
void TSQLTimeStampField::Construct(TComponent* owner)
{
    TDateTimeField::Construct(owner);
    SetDataType(ftTimeStamp);
}

// ---- binary, variant, aggregate ----------------------------------------------------

TClass TBlobField::StaticClass() { return DefineClass<TBlobField, TField>("TBlobField"); }
void TBlobField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetDataType(ftBlob);
}

Variant TBlobField::ConvertValue(const Variant& value) const { return Variant(value.AsString()); }

// Binary content is not shown as text.
std::string TBlobField::GetText(bool) const { return "(" + std::string(ClassName() == "TGraphicField" ? "GRAPHIC" : "BLOB") + ")"; }

TClass TMemoField::StaticClass() { return DefineClass<TMemoField, TBlobField>("TMemoField"); }
void TMemoField::Construct(TComponent* owner)
{
    TBlobField::Construct(owner);
    SetDataType(ftMemo);
}
std::string TMemoField::GetText(bool displayText) const
{
    return displayText ? std::string("(MEMO)") : GetAsVariant().AsString();
}

TClass TGraphicField::StaticClass() { return DefineClass<TGraphicField, TBlobField>("TGraphicField"); }
void TGraphicField::Construct(TComponent* owner)
{
    TBlobField::Construct(owner);
    SetDataType(ftGraphic);
}

TClass TVariantField::StaticClass() { return DefineClass<TVariantField, TField>("TVariantField"); }
void TVariantField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetDataType(ftVariant);
}

TClass TAggregateField::StaticClass()
{
    return DefineClass<TAggregateField, TField>("TAggregateField", [](ClassBuilder<TAggregateField>& b) {
        b.Property("DisplayFormat", &TAggregateField::DisplayFormat, &TAggregateField::SetDisplayFormat);
        b.Property("Currency", &TAggregateField::Currency, &TAggregateField::SetCurrency).Default(false);
        b.Property("Precision", &TAggregateField::Precision, &TAggregateField::SetPrecision).Default(15);
    });
}

void TAggregateField::Construct(TComponent* owner)
{
    TField::Construct(owner);
    SetFieldKind(fkAggregate);
    SetReadOnly(true);
}

std::string TAggregateField::GetText(bool displayText) const
{
    const Variant v = value_;
    if (!VarIsNumeric(v)) return VarToStr(v);
    if (displayText && !displayFormat_.empty()) return FormatFloat(displayFormat_, v.AsDouble());
    if (currency_) return FloatToStrF(v.AsDouble(), displayText ? ffCurrency : ffFixed, precision_, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v.AsDouble(), ffGeneral, precision_, 0);
}

TClass DefaultFieldClass(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
        return TStringField::StaticClass();
    case ftWideString:
        return TWideStringField::StaticClass();
    case ftSmallint:
        return TSmallintField::StaticClass();
    case ftInteger:
        return TIntegerField::StaticClass();
    case ftWord:
        return TWordField::StaticClass();
    case ftAutoInc:
        return TAutoIncField::StaticClass();
    case ftLargeint:
        return TLargeintField::StaticClass();
    case ftBoolean:
        return TBooleanField::StaticClass();
    case ftFloat:
        return TFloatField::StaticClass();
    case ftCurrency:
        return TCurrencyField::StaticClass();
    case ftBCD:
        return TBCDField::StaticClass();
    case ftFMTBcd:
        return TFMTBCDField::StaticClass();
    case ftDate:
        return TDateField::StaticClass();
    case ftTime:
        return TTimeField::StaticClass();
    case ftDateTime:
        return TDateTimeField::StaticClass();
    case ftTimeStamp:
        return TSQLTimeStampField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
        return TMemoField::StaticClass();
    case ftGraphic:
        return TGraphicField::StaticClass();
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
    case ftParadoxOle:
    case ftDBaseOle:
        return TBlobField::StaticClass();
    case ftVariant:
        return TVariantField::StaticClass();
    default:
        return nullptr;
    }
}

}  // namespace hostlib
