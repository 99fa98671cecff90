#pragma once
// Fields of a data set: TField reads and writes one column of the data
// set's current record (or of the record a link or filter is looking at)
// and turns values into edit text and display text. Descendants fix the
// value type and the formats.

#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/core/variant.h"

namespace hostlib {

class TDataSet;
class TField;

using TFieldNotifyEvent = Event<TField*>;
// (Sender, Text, DisplayText): the handler fills Text.
using TFieldGetTextEvent = Event<TField*, std::string&, bool>;
using TFieldSetTextEvent = Event<TField*, const std::string&>;

class TField : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // The data set the field belongs to; joining adds it to the data set's
    // field list (raising for a duplicate name), nullptr leaves it.
    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* dataSet);
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);
    // 1-based column of the data set's records; 0 for fields that hold no
    // stored value (lookup and calculated).
    int FieldNo() const { return fieldNo_; }
    int Index() const;
    TFieldType DataType() const { return dataType_; }
    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind kind) { fieldKind_ = kind; }
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size < 0 ? 0 : size; }
    const std::string& Origin() const { return origin_; }
    void SetOrigin(const std::string& origin) { origin_ = origin; }
    bool Required() const { return required_; }
    void SetRequired(bool value) { required_ = value; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value) { visible_ = value; }
    // The field name when no label was set.
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& label) { displayLabel_ = label; }
    std::string DisplayName() const { return DisplayLabel(); }
    // Characters; the type's own width until set.
    int DisplayWidth() const { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
    void SetDisplayWidth(int width) { displayWidth_ = width < 0 ? 0 : width; }
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; }
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& mask) { editMask_ = mask; }

    // Lookup definition: the field shows LookupResultField of the record of
    // LookupDataSet whose LookupKeyFields equal this data set's KeyFields.
    bool Lookup() const { return fieldKind_ == fkLookup; }
    void SetLookup(bool value) { fieldKind_ = value ? fkLookup : fkData; }
    TDataSet* LookupDataSet() const { return lookupDataSet_; }
    void SetLookupDataSet(TDataSet* dataSet);
    const std::string& KeyFields() const { return keyFields_; }
    void SetKeyFields(const std::string& names) { keyFields_ = names; }
    const std::string& LookupKeyFields() const { return lookupKeyFields_; }
    void SetLookupKeyFields(const std::string& names) { lookupKeyFields_ = names; }
    const std::string& LookupResultField() const { return lookupResultField_; }
    void SetLookupResultField(const std::string& name) { lookupResultField_ = name; }

    // Values. Reading without a record gives Null; writing needs the data
    // set in edit, insert or set-key state and a value the type accepts
    // (conversion errors raise and leave the field unchanged).
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& value) { SetAsVariant(value); }
    bool IsNull() const { return GetAsVariant().IsNull(); }
    void Clear() { SetAsVariant(Variant::Null()); }
    std::string AsString() const;
    void SetAsString(const std::string& value);
    int AsInteger() const;
    void SetAsInteger(int value) { SetAsVariant(Variant(value)); }
    double AsFloat() const;
    void SetAsFloat(double value) { SetAsVariant(Variant(value)); }
    bool AsBoolean() const;
    void SetAsBoolean(bool value) { SetAsVariant(Variant(value)); }
    TDateTime AsDateTime() const;
    void SetAsDateTime(TDateTime value) { SetAsVariant(Variant::FromDate(value)); }
    Currency AsCurrency() const;
    void SetAsCurrency(Currency value) { SetAsVariant(Variant(value)); }
    Variant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const Variant& value);

    // Edit text and display text, through OnGetText when assigned.
    std::string Text() const;
    void SetText(const std::string& text);
    std::string DisplayText() const;

    // Whether the field can be written now: not read-only, a data set that
    // can be modified, and a stored or lookup field.
    bool CanModify() const;
    // Whether a typed character can belong to the field's text.
    virtual bool IsValidChar(char ch) const;
    void FocusControl();

    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnChange;
    TFieldNotifyEvent OnValidate;

    // Called by the data set.
    void Bind(int fieldNo) { fieldNo_ = fieldNo; }
    void Change() { OnChange(this); }

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;
    void SetDataType(TFieldType type) { dataType_ = type; }

    virtual Variant GetAsVariant() const;
    // The value in the field's own type; raises when it does not convert.
    virtual Variant ConvertValue(const Variant& value) const { return value; }
    virtual std::string GetText(bool displayText) const;
    // The value as plain text, no formats applied.
    virtual std::string GetAsString() const { return VarToStr(GetAsVariant()); }
    // Parses edit text; the base stores the text as it is.
    virtual void SetTextValue(const std::string& text);
    virtual int DefaultWidth() const { return 10; }
    // Raises the range error unless min <= value <= max.
    void CheckRange(const Variant& value, const Variant& min, const Variant& max) const;

private:
    Variant LookupValue() const;
    void WriteLookup(const Variant& value);

    TDataSet* dataSet_ = nullptr;
    std::string fieldName_;
    int fieldNo_ = 0;
    TFieldType dataType_ = ftUnknown;
    TFieldKind fieldKind_ = fkData;
    int size_ = 0;
    std::string origin_;
    bool required_ = false;
    bool readOnly_ = false;
    bool visible_ = true;
    std::string displayLabel_;
    int displayWidth_ = 0;
    TAlignment alignment_ = taLeftJustify;
    std::string editMask_;
    TDataSet* lookupDataSet_ = nullptr;
    std::string keyFields_;
    std::string lookupKeyFields_;
    std::string lookupResultField_;
};

class TStringField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    // Longer texts are cut at Size bytes (on a character boundary).
    Variant ConvertValue(const Variant& value) const override;
    int DefaultWidth() const override { return Size() > 0 ? Size() : 20; }
};

class TWideStringField : public TStringField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    Variant GetAsVariant() const override;
};

class TNumericField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format) { displayFormat_ = format; }
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(const std::string& format) { editFormat_ = format; }
    bool IsValidChar(char ch) const override;

protected:
    // The display or edit format, the edit format falling back to the
    // display format like the host library's.
    const std::string& FormatFor(bool displayText) const;

private:
    std::string displayFormat_;
    std::string editFormat_;
};

class TIntegerField : public TNumericField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    // 0 and 0 mean no range.
    std::int64_t MinValue() const { return minValue_; }
    void SetMinValue(std::int64_t value) { minValue_ = value; }
    std::int64_t MaxValue() const { return maxValue_; }
    void SetMaxValue(std::int64_t value) { maxValue_ = value; }
    bool IsValidChar(char ch) const override;

protected:
    Variant ConvertValue(const Variant& value) const override;
    std::string GetText(bool displayText) const override;
    void SetTextValue(const std::string& text) override;
    int DefaultWidth() const override { return 11; }
    // The type's own limits.
    virtual std::int64_t TypeMin() const { return INT32_MIN; }
    virtual std::int64_t TypeMax() const { return INT32_MAX; }

private:
    std::int64_t minValue_ = 0;
    std::int64_t maxValue_ = 0;
};

class TSmallintField : public TIntegerField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    int DefaultWidth() const override { return 6; }
    std::int64_t TypeMin() const override { return INT16_MIN; }
    std::int64_t TypeMax() const override { return INT16_MAX; }
};

class TWordField : public TIntegerField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    int DefaultWidth() const override { return 6; }
    std::int64_t TypeMin() const override { return 0; }
    std::int64_t TypeMax() const override { return UINT16_MAX; }
};

class TAutoIncField : public TIntegerField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

class TLargeintField : public TIntegerField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    Variant ConvertValue(const Variant& value) const override;
    int DefaultWidth() const override { return 15; }
    std::int64_t TypeMin() const override { return INT64_MIN; }
    std::int64_t TypeMax() const override { return INT64_MAX; }
};

class TFloatField : public TNumericField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool Currency() const { return currency_; }
    void SetCurrency(bool value) { currency_ = value; }
    // Significant digits of the text without a format (2..15).
    int Precision() const { return precision_; }
    void SetPrecision(int value);
    // 0 and 0 mean no range.
    double MinValue() const { return minValue_; }
    void SetMinValue(double value) { minValue_ = value; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double value) { maxValue_ = value; }

protected:
    Variant ConvertValue(const Variant& value) const override;
    std::string GetText(bool displayText) const override;
    void SetTextValue(const std::string& text) override;
    int DefaultWidth() const override { return precision_ + 2; }

private:
    bool currency_ = false;
    int precision_ = 15;
    double minValue_ = 0;
    double maxValue_ = 0;
};

class TCurrencyField : public TFloatField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

// Fixed-point numbers held as Currency.
class TBCDField : public TNumericField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool Currency() const { return currency_; }
    void SetCurrency(bool value) { currency_ = value; }
    int Precision() const { return precision_; }
    void SetPrecision(int value) { precision_ = value < 0 ? 0 : value; }
    // Zero and zero mean no range.
    hostlib::Currency MinValue() const { return minValue_; }
    void SetMinValue(hostlib::Currency value) { minValue_ = value; }
    hostlib::Currency MaxValue() const { return maxValue_; }
    void SetMaxValue(hostlib::Currency value) { maxValue_ = value; }

protected:
    Variant ConvertValue(const Variant& value) const override;
    std::string GetText(bool displayText) const override;
    void SetTextValue(const std::string& text) override;

private:
    bool currency_ = false;
    int precision_ = 0;
    hostlib::Currency minValue_;
    hostlib::Currency maxValue_;
};

class TFMTBCDField : public TBCDField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

class TBooleanField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    // "true text;false text".
    const std::string& DisplayValues() const { return displayValues_; }
    void SetDisplayValues(const std::string& values);

protected:
    Variant ConvertValue(const Variant& value) const override;
    std::string GetText(bool displayText) const override;
    std::string GetAsString() const override { return GetText(false); }
    void SetTextValue(const std::string& text) override;
    int DefaultWidth() const override;

private:
    std::string displayValues_ = "True;False";
    std::string trueText_ = "True";
    std::string falseText_ = "False";
};

class TDateTimeField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format) { displayFormat_ = format; }

protected:
    Variant ConvertValue(const Variant& value) const override;
    std::string GetText(bool displayText) const override;
    void SetTextValue(const std::string& text) override;
    std::string GetAsString() const override { return DefaultText(GetAsVariant().AsDate()); }
    int DefaultWidth() const override { return 18; }
    // The text of a value without a display format.
    virtual std::string DefaultText(TDateTime value) const;
    virtual TDateTime ParseText(const std::string& text) const;

private:
    std::string displayFormat_;
};

class TDateField : public TDateTimeField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    int DefaultWidth() const override { return 10; }
    std::string DefaultText(TDateTime value) const override;
    TDateTime ParseText(const std::string& text) const override;
};

class TTimeField : public TDateTimeField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    int DefaultWidth() const override { return 10; }
    std::string DefaultText(TDateTime value) const override;
    TDateTime ParseText(const std::string& text) const override;
};

class TSQLTimeStampField : public TDateTimeField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

// Binary and long text values, held as byte strings.
class TBlobField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    Variant ConvertValue(const Variant& value) const override;
    std::string GetText(bool displayText) const override;
};

class TMemoField : public TBlobField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

protected:
    std::string GetText(bool displayText) const override;
};

class TGraphicField : public TBlobField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

class TVariantField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
};

// A value computed over the records (sum, count ...) that a data set
// maintains; read-only.
class TAggregateField : public TField {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format) { displayFormat_ = format; }
    bool Currency() const { return currency_; }
    void SetCurrency(bool value) { currency_ = value; }
    int Precision() const { return precision_; }
    void SetPrecision(int value) { precision_ = value; }
    // The aggregate's current value, set by whoever computes it.
    void SetAggregateValue(const Variant& value) { value_ = value; }

protected:
    Variant GetAsVariant() const override { return value_; }
    std::string GetText(bool displayText) const override;

private:
    std::string displayFormat_;
    bool currency_ = false;
    int precision_ = 15;
    Variant value_ = Variant::Null();
};

// The field class that holds values of a type (TStringField for ftString
// ...); nullptr for types without one.
TClass DefaultFieldClass(TFieldType type);

// The ";"-separated names of a text, blanks around each name trimmed,
// empty names skipped.
std::vector<std::string> SplitFieldNames(const std::string& names);

}  // namespace hostlib
