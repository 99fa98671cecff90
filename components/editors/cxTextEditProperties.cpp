// The text editor's properties and the unit's text helpers.
#include <algorithm>
#include <cctype>

#include "components/data/bcd_timestamp.h"
#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxTextEdit.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxEditEchoMode*)
{
    static const TEnumInfo info{"TcxEditEchoMode", {"eemNormal", "eemPassword"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxTextEditViewStyle*)
{
    static const TEnumInfo info{"TcxTextEditViewStyle", {"vsNormal", "vsHideCursor", "vsButtonsOnly", "vsButtonsAutoWidth"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TImeMode*)
{
    static const TEnumInfo info{"TImeMode",
                                {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                                 "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"},
                                0};
    return info;
}

namespace {

// Characters, not bytes, of a UTF-8 text.
int Utf8CharCount(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

bool TryTextToDouble(const Variant& value, double& result)
{
    if (VarIsNumericEx(value)) {
        result = value.AsDouble();
        return true;
    }
    return TryStrToFloat(VarToStr(value), result);
}

// The value as text, or as a formatted number when it reads as one.
std::string FormatNumber(const std::string& format, const Variant& value)
{
    double number = 0;
    return TryTextToDouble(value, number) ? FormatFloat(format, number) : VarToStr(value);
}

} // namespace

// ---- TcxTextEditPropertiesValues ---------------------------------------------------

TClass TcxTextEditPropertiesValues::StaticClass()
{
    return DefineClass<TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues>(
        "TcxTextEditPropertiesValues", [](ClassBuilder<TcxTextEditPropertiesValues>& b) {
            using V = TcxTextEditPropertiesValues;
            b.Property("DisplayFormat", &V::DisplayFormat, &V::SetDisplayFormat).Stored(&V::IsDisplayFormatStored);
            b.Property("EditFormat", &V::EditFormat, &V::SetEditFormat).Stored(&V::IsEditFormatStored);
            b.Property("MaxLength", &V::MaxLength, &V::SetMaxLength).Stored(false);
            b.Property("MaxValue", &V::MaxValue, &V::SetMaxValue).Stored(&V::IsMaxValueStored);
            b.Property("MinValue", &V::MinValue, &V::SetMinValue).Stored(&V::IsMinValueStored);
        });
}

TcxCustomTextEditProperties* TcxTextEditPropertiesValues::TextProperties() const
{
    return dynamic_cast<TcxCustomTextEditProperties*>(Properties());
}

void TcxTextEditPropertiesValues::Set(bool& field, bool value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TcxTextEditPropertiesValues::SetMaxLength(bool value)
{
    if (maxLength_ == value)
        return;
    maxLength_ = value;
    if (auto* properties = TextProperties())
        properties->MaxLengthChanged();
}

bool TcxTextEditPropertiesValues::IsDisplayFormatStored() const
{
    auto* properties = TextProperties();
    return displayFormat_ && properties && properties->DisplayFormat().empty();
}

bool TcxTextEditPropertiesValues::IsEditFormatStored() const
{
    auto* properties = TextProperties();
    return editFormat_ && properties && properties->EditFormat().empty();
}

bool TcxTextEditPropertiesValues::IsMaxValueStored() const
{
    auto* properties = TextProperties();
    return maxValue_ && properties && properties->MaxValue() == 0.0;
}

bool TcxTextEditPropertiesValues::IsMinValueStored() const
{
    auto* properties = TextProperties();
    return minValue_ && properties && properties->MinValue() == 0.0;
}

void TcxTextEditPropertiesValues::Assign(TPersistent* source)
{
    cxAssignKind(*this, source, [this](TPersistent* s) { TcxCustomEditPropertiesValues::Assign(s); },
                 [this](const TcxTextEditPropertiesValues& other) {
                     SetDisplayFormat(other.displayFormat_);
                     SetEditFormat(other.editFormat_);
                     SetMaxLength(other.maxLength_);
                     SetMaxValue(other.maxValue_);
                     SetMinValue(other.minValue_);
                 });
}

void TcxTextEditPropertiesValues::RestoreDefaults()
{
    cxWithinUpdate(*this, [this] {
        TcxCustomEditPropertiesValues::RestoreDefaults();
        SetDisplayFormat(false);
        SetEditFormat(false);
        SetMaxLength(false);
        SetMaxValue(false);
        SetMinValue(false);
    });
}

// ---- TcxCustomTextEditProperties: life and copies ----------------------------------

TClass TcxCustomTextEditProperties::StaticClass()
{
    return DefineClass<TcxCustomTextEditProperties, TcxCustomEditProperties>("TcxCustomTextEditProperties");
}

void TcxCustomTextEditProperties::Construct(TPersistent* owner)
{
    TcxCustomEditProperties::Construct(owner);
    lookupItems_.reset(CreateObject<TStringList>());
    lookupItems_->OnChange() = TNotifyEvent::Bind(this, &TcxCustomTextEditProperties::LookupItemsChanged);
    cxFormatController()->AddListener(this);
}

void TcxCustomTextEditProperties::Destroy()
{
    cxFormatController()->RemoveListener(this);
    lookupItems_.reset();
    TcxCustomEditProperties::Destroy();
}

void TcxCustomTextEditProperties::DefineProperties(TFiler& filer)
{
    TcxCustomEditProperties::DefineProperties(filer);
    // Older forms said so in a property of its own; it is never written.
    filer.DefineProperty(
        "IsDisplayFormatAssigned",
        [this](TReader& reader) { AssignedValues()->SetDisplayFormat(reader.ReadBoolean()); }, nullptr, false);
}

void TcxCustomTextEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomTextEditProperties>(source);
    if (!other) {
        TcxCustomEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomEditProperties::Assign(source);
    SetCharCase(other->charCase_);
    SetEchoMode(other->echoMode_);
    SetFixedListSelection(other->fixedListSelection_);
    SetHideCursor(other->hideCursor_);
    SetHideSelection(other->hideSelection_);
    immediateUpdateText_ = other->immediateUpdateText_;
    SetMRUMode(other->mruMode_);
    validChars_ = other->validChars_;
    SetLookupItemsSorted(false);
    lookupItems_->Assign(other->lookupItems_.get());
    SetLookupItemsSorted(other->LookupItemsSorted());
    AssignFormatsAndBounds(other);
    SetOEMConvert(other->oemConvert_);
    SetImeMode(other->imeMode_);
    SetImeName(other->imeName_);
    SetPasswordChar(other->passwordChar_);
    SetUseDisplayFormatWhenEditing(other->useDisplayFormatWhenEditing_);
    OnNewLookupDisplayText = other->OnNewLookupDisplayText;
}

// Only what the source set explicitly is set here; the rest falls back to
// the defaults again.
void TcxCustomTextEditProperties::AssignFormatsAndBounds(TcxCustomTextEditProperties* source)
{
    TcxTextEditPropertiesValues* values = AssignedValues();
    TcxTextEditPropertiesValues* from = source->AssignedValues();
    values->SetDisplayFormat(false);
    if (from->DisplayFormat())
        SetDisplayFormat(source->displayFormat_);
    values->SetEditFormat(false);
    if (from->EditFormat())
        SetEditFormat(source->editFormat_);
    values->SetMaxLength(false);
    if (from->MaxLength())
        SetMaxLength(source->maxLength_);
    values->SetMaxValue(false);
    values->SetMinValue(false);
    if (from->MaxValue())
        SetMaxValue(source->maxValue_);
    if (from->MinValue())
        SetMinValue(source->minValue_);
}

void TcxCustomTextEditProperties::AlignmentChangedHandler(TObject* sender)
{
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomEditProperties::AlignmentChangedHandler(sender);
}

void TcxCustomTextEditProperties::BaseSetAlignment(TcxEditAlignment* value)
{
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomEditProperties::BaseSetAlignment(value);
}

void TcxCustomTextEditProperties::FormatChanged()
{
    formatChanging_ = true;
    quelvo::sys::ScopeGuard clear([this] { formatChanging_ = false; });
    Changed();
}

void TcxCustomTextEditProperties::LookupDataChanged(TObject*) { Changed(); }

// ---- answers of the kind -----------------------------------------------------------

TcxDataEditValueSource TcxCustomTextEditProperties::GetEditValueSource(bool editFocused)
{
    return editFocused ? evsText : GetValueEditorEditValueSource(editFocused);
}

TcxEditSupportedOperations TcxCustomTextEditProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations result{esoAutoHeight, esoFiltering, esoHorzAlignment, esoIncSearch, esoSorting};
    if (Buttons()->Count() > 0)
        result.Include(esoHotTrack);
    return result;
}

TClass TcxCustomTextEditProperties::GetAssignedValuesClass() { return TcxTextEditPropertiesValues::StaticClass(); }

TClass TcxCustomTextEditProperties::GetViewDataClass() { return TcxCustomTextEditViewData::StaticClass(); }
TClass TcxCustomTextEditProperties::GetViewInfoClass() { return TcxCustomTextEditViewInfo::StaticClass(); }

TClass TcxCustomTextEditProperties::GetLookupDataClass() { return TcxCustomTextEditLookupData::StaticClass(); }

std::string TcxCustomTextEditProperties::GetValidateErrorText(int errorKind)
{
    if (errorKind == 1)
        return cxGetResourceString(cxSEditValueOutOfBounds);
    return TcxCustomEditProperties::GetValidateErrorText(errorKind);
}

int TcxCustomTextEditProperties::GetDefaultMaxLength()
{
    return IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultMaxLength() : 0;
}

// ---- formats, length and bounds ----------------------------------------------------

std::string TcxCustomTextEditProperties::GetDisplayFormat()
{
    if (AssignedValues()->DisplayFormat())
        return displayFormat_;
    if (IDefaultValuesProvider()) {
        std::string format = IDefaultValuesProvider()->DefaultDisplayFormat();
        if (!format.empty())
            return format;
    }
    return GetDefaultDisplayFormat();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const std::string& value)
{
    if (AssignedValues()->DisplayFormat() && displayFormat_ == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    AssignedValues()->SetDisplayFormat(true);
    displayFormat_ = value;
    Changed();
}

std::string TcxCustomTextEditProperties::GetEditFormat()
{
    bool isCurrency = false, isOnGetText = false;
    return InternalGetEditFormat(isCurrency, isOnGetText, nullptr);
}

void TcxCustomTextEditProperties::SetEditFormat(const std::string& value)
{
    if (AssignedValues()->EditFormat() && editFormat_ == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    AssignedValues()->SetEditFormat(true);
    editFormat_ = value;
    Changed();
}

int TcxCustomTextEditProperties::GetMaxLength()
{
    return AssignedValues()->MaxLength() ? maxLength_ : GetDefaultMaxLength();
}

void TcxCustomTextEditProperties::SetMaxLength(int value)
{
    value = std::max(value, 0);
    if (AssignedValues()->MaxLength() && maxLength_ == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    maxLength_ = value;
    if (AssignedValues()->MaxLength())
        MaxLengthChanged();
    else
        AssignedValues()->SetMaxLength(true);
}

double TcxCustomTextEditProperties::GetMaxValue()
{
    if (AssignedValues()->MaxValue())
        return maxValue_;
    return IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultMaxValue() : 0.0;
}

double TcxCustomTextEditProperties::GetMinValue()
{
    if (AssignedValues()->MinValue())
        return minValue_;
    return IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultMinValue() : 0.0;
}

void TcxCustomTextEditProperties::SetMaxValue(double value)
{
    if (AssignedValues()->MinValue())
        value = std::max(value, minValue_);
    if (AssignedValues()->MaxValue() && maxValue_ == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    AssignedValues()->SetMaxValue(true);
    maxValue_ = value;
    Changed();
}

void TcxCustomTextEditProperties::SetMinValue(double value)
{
    if (AssignedValues()->MaxValue())
        value = std::min(value, maxValue_);
    if (AssignedValues()->MinValue() && minValue_ == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    AssignedValues()->SetMinValue(true);
    minValue_ = value;
    Changed();
}

void TcxCustomTextEditProperties::SetMinMaxValues(double minValue, double maxValue)
{
    minValue = std::min(minValue, maxValue);
    TcxTextEditPropertiesValues* values = AssignedValues();
    if (values->MinValue() && values->MaxValue() && minValue_ == minValue && maxValue_ == maxValue)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    values->SetMinValue(true);
    values->SetMaxValue(true);
    minValue_ = minValue;
    maxValue_ = maxValue;
    Changed();
}

Variant TcxCustomTextEditProperties::CheckValueBounds(const Variant& value)
{
    double minValue = MinValue(), maxValue = MaxValue();
    if (!VarIsNumericEx(value) || maxValue <= minValue)
        return value;
    if (VarCompare(value, Variant(minValue)) < 0)
        return Variant(minValue);
    if (VarCompare(value, Variant(maxValue)) > 0)
        return Variant(maxValue);
    return value;
}

void TcxCustomTextEditProperties::SetFixedListSelection(bool value)
{
    if (fixedListSelection_ == value)
        return;
    fixedListSelection_ = value;
    if (GetEditingStyle() == esFixedList)
        Changed();
}

TcxTextEditViewStyle TcxCustomTextEditProperties::ViewStyle() const
{
    switch (ButtonsViewStyle()) {
    case bvsButtonsOnly: return vsButtonsOnly;
    case bvsButtonsAutoWidth: return vsButtonsAutoWidth;
    case bvsNormal: break;
    }
    return hideCursor_ ? vsHideCursor : vsNormal;
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle value)
{
    if (ViewStyle() == value)
        return;
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    const TcxEditButtonsViewStyle buttonsStyle[] = {bvsNormal, bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth};
    SetButtonsViewStyle(buttonsStyle[value]);
    SetHideCursor(value != vsNormal);
}

// ---- display values ----------------------------------------------------------------

std::string TcxCustomTextEditProperties::GetDisplayText(const Variant& editValue, bool)
{
    std::string text;
    if (IsValueEditorWithValueFormatting()) {
        text = VarToStr(editValue);
    } else {
        Variant displayValue;
        GetDefaultDisplayValue(editValue, false, displayValue);
        text = VarToStr(displayValue);
    }
    DisplayValueToDisplayText(text);
    return text;
}

void TcxCustomTextEditProperties::GetDefaultDisplayValue(const Variant& editValue, bool editFocused,
                                                         Variant& displayValue)
{
    Variant value = editValue;
    if (IsEditValueValid(value, editFocused))
        PrepareDisplayValue(value, displayValue, editFocused);
    else if (VarIsDate(editValue))
        displayValue = Variant(DateTimeToStr(VarToDateTime(editValue)));
    else
        displayValue = Variant(VarToStr(editValue));
}

bool TcxCustomTextEditProperties::IsEditValueValid(Variant& editValue, bool editFocused)
{
    if (VarIsNull(editValue) || !VarIsStr(editValue))
        return true;
    return IsDisplayValueValid(editValue, editFocused);
}

bool TcxCustomTextEditProperties::IsDisplayValueValid(Variant& displayValue, bool)
{
    std::string text = VarToStr(displayValue);
    const TcxEditEditingStyle style = GetEditingStyle();
    const bool listStyle = style == esEditList || style == esFixedList;
    if (!text.empty() && listStyle && UseLookupData() && !FindLookupText(text))
        return false;
    CheckCharsRegister(text, charCase_);
    displayValue = Variant(text);
    return true;
}

bool TcxCustomTextEditProperties::FindLookupText(const std::string& text)
{
    const std::string key = AnsiUpperCase(text);
    for (int i = 0; i < lookupItems_->Count(); ++i)
        if (AnsiUpperCase(lookupItems_->Get(i)) == key)
            return true;
    return false;
}

void TcxCustomTextEditProperties::DisplayValueToDisplayText(std::string& text)
{
    if (echoMode_ == eemPassword)
        text.assign(static_cast<size_t>(Utf8CharCount(text)), passwordChar_ ? passwordChar_ : '*');
    else
        CheckCharsRegister(text, charCase_);
}

bool TcxCustomTextEditProperties::CompareDisplayValues(const Variant& value1, const Variant& value2)
{
    return AnsiCompareStr(GetDisplayText(value1, true), GetDisplayText(value2, true)) == 0;
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                      bool editFocused)
{
    if (!IsEditValueNumeric()) {
        displayValue = Variant(VarToStr(editValue));
        return;
    }
    if (VarIsSoftNull(editValue) || VarIsEmpty(editValue)) {
        displayValue = Variant(std::string());
        return;
    }
    if (!VarIsNumericEx(editValue) && !VarIsStr(editValue))
        throw EConvertError(cxGetResourceString(cxSEditNumericValueConvertError));
    displayValue = Variant(editFocused ? FocusedNumericText(editValue) : UnfocusedNumericText(editValue));
}

std::string TcxCustomTextEditProperties::FocusedNumericText(const Variant& editValue)
{
    bool isCurrency = false, isOnGetText = false;
    const std::string format = InternalGetEditFormat(isCurrency, isOnGetText, nullptr);
    const int precision = IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultPrecision() : 15;
    std::string text = VarToStr(editValue);
    const auto bcd = TryStrToBcd(text, FormatSettings().DecimalSeparator);
    if (isCurrency)
        return bcd ? FloatToStrF(BcdToDouble(*bcd), ffFixed, precision, FormatSettings().CurrencyDecimals) : text;
    if (!format.empty())
        return FormatNumber(format, editValue);
    if (bcd)
        text = FloatToStrF(BcdToDouble(*bcd), ffGeneral, precision, 0);
    if (HasDigitGrouping(false))
        InsertThousandSeparator(text);
    return text;
}

std::string TcxCustomTextEditProperties::UnfocusedNumericText(const Variant& editValue)
{
    const std::string format = DisplayFormat();
    return format.empty() ? VarToStr(editValue) : FormatNumber(format, editValue);
}

std::string TcxCustomTextEditProperties::InternalGetEditFormat(bool& isCurrency, bool& isOnGetTextAssigned,
                                                               TcxCustomEdit* edit)
{
    isCurrency = false;
    isOnGetTextAssigned = false;
    if (AssignedValues()->EditFormat())
        return editFormat_;
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    if ((!edit || !edit->IsInplace()) && provider && provider->IsOnGetTextAssigned()) {
        isOnGetTextAssigned = true;
        return {};
    }
    if (provider && !provider->DefaultEditFormat().empty())
        return provider->DefaultEditFormat();
    std::string format;
    if (AssignedValues()->DisplayFormat())
        format = DisplayFormat();
    else if (provider && !provider->DefaultDisplayFormat().empty())
        format = provider->DefaultDisplayFormat();
    else if (provider)
        isCurrency = provider->IsCurrency() && !GetDisplayFormatOptions().Contains(dfoNoCurrencyValue);
    if (useDisplayFormatWhenEditing_)
        return format;
    isCurrency = false;
    return {};
}

// ---- validation --------------------------------------------------------------------

void TcxCustomTextEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                       TcxCustomEdit* edit)
{
    if (IsEditValueNumeric() && MaxValue() > MinValue())
        CheckEditorValueBounds(displayValue, errorText, error, edit);
    TcxCustomEditProperties::ValidateDisplayValue(displayValue, errorText, error, edit);
}

void TcxCustomTextEditProperties::CheckEditorValueBounds(Variant& displayValue, std::string& errorText, bool& error,
                                                         TcxCustomEdit* edit)
{
    (void)edit;
    const Variant& value = displayValue;
    if (!VarIsNumericEx(value) && !VarIsDate(value))
        return;
    if (VarCompare(value, Variant(MinValue())) < 0 || VarCompare(value, Variant(MaxValue())) > 0) {
        error = true;
        errorText = GetValidateErrorText(1);
    }
}

// ---- TcxTextEditProperties ---------------------------------------------------------

TClass TcxTextEditProperties::StaticClass()
{
    return DefineClass<TcxTextEditProperties, TcxCustomTextEditProperties>(
        "TcxTextEditProperties", [](ClassBuilder<TcxTextEditProperties>& b) {
            using P = TcxTextEditProperties;
            b.Property("CharCase", &P::CharCase, &P::SetCharCase).Default(ecNormal);
            b.Property("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("LookupItems", &P::LookupItems, &P::SetLookupItems);
            b.Property("LookupItemsSorted", &P::LookupItemsSorted, &P::SetLookupItemsSorted).Default(false);
            b.Property("MaxLength", &P::MaxLength, &P::SetMaxLength).Stored(&P::IsMaxLengthStored);
            b.Property("OEMConvert", &P::OEMConvert, &P::SetOEMConvert).Default(false);
            b.Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar).Default('\0');
            b.EventProperty("OnNewLookupDisplayText", &P::OnNewLookupDisplayText);
        });
}

// ---- unit functions ----------------------------------------------------------------

void CheckCharsRegister(std::string& text, TEditCharCase charCase)
{
    if (charCase == ecUpperCase)
        std::ranges::transform(text, text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; });
    else if (charCase == ecLowerCase)
        std::ranges::transform(text, text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; });
}

void RemoveThousandSeparator(std::string& text)
{
    std::erase(text, FormatSettings().ThousandSeparator);
}

void RemoveExponentialPart(std::string& text, std::string& exponent)
{
    const size_t at = text.find_first_of("eE");
    if (at == std::string::npos) {
        exponent.clear();
        return;
    }
    exponent = text.substr(at);
    text.erase(at);
}

namespace {

void SplitBlanks(std::string& text, std::string& leading, std::string& trailing)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        leading = text;
        trailing.clear();
        text.clear();
        return;
    }
    const size_t last = text.find_last_not_of(' ');
    leading = text.substr(0, first);
    trailing = text.substr(last + 1);
    text = text.substr(first, last + 1 - first);
}

// Separators before every third digit from the right of the integer part,
// never before its first digit (a sign is no digit).
void GroupIntegerPart(std::string& number)
{
    const char separator = FormatSettings().ThousandSeparator;
    size_t end = number.find(FormatSettings().DecimalSeparator);
    if (end == std::string::npos)
        end = number.size();
    size_t first = 0;
    while (first < end && !std::isdigit(static_cast<unsigned char>(number[first])))
        ++first;
    for (ptrdiff_t at = static_cast<ptrdiff_t>(end) - 3; at > static_cast<ptrdiff_t>(first); at -= 3)
        number.insert(static_cast<size_t>(at), 1, separator);
}

} // namespace

void InsertThousandSeparator(std::string& text)
{
    std::string leading, trailing, exponent;
    SplitBlanks(text, leading, trailing);
    RemoveExponentialPart(text, exponent);
    RemoveThousandSeparator(text);
    GroupIntegerPart(text);
    text = leading + text + exponent + trailing;
}

// ---- unit start-up -----------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxTextEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxTextEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryTextItem));
}

void cxTextEditFinalize()
{
    gUnitStarts.End();
}
