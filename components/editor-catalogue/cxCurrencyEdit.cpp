#include "components/editor-catalogue/cxCurrencyEdit.h"

#include <cmath>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomCurrencyEditProperties::StaticClass()
{
    return DefineClass<TcxCustomCurrencyEditProperties, TcxCustomTextEditProperties>(
        "TcxCustomCurrencyEditProperties");
}

TClass TcxCurrencyEditProperties::StaticClass()
{
    return DefineClass<TcxCurrencyEditProperties, TcxCustomCurrencyEditProperties>(
        "TcxCurrencyEditProperties", [](ClassBuilder<TcxCurrencyEditProperties>& b) {
            using P = TcxCurrencyEditProperties;
            b.Property("DecimalPlaces", &P::DecimalPlaces, &P::SetDecimalPlaces).Default(2);
            b.Property("DisplayFormat", &P::DisplayFormat, &P::SetDisplayFormat).Stored(&P::IsDisplayFormatStored);
            b.Property("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
            b.Property("EditFormat", &P::EditFormat, &P::SetEditFormat).Stored(&P::IsEditFormatStored);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("MaxValue", &P::MaxValue, &P::SetMaxValue).Stored(&P::IsMaxValueStored);
            b.Property("MinValue", &P::MinValue, &P::SetMinValue).Stored(&P::IsMinValueStored);
            b.Property("Nullable", &P::Nullable, &P::SetNullable).Default(true);
            b.Property("NullString", &P::NullString, &P::SetNullString);
            b.Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar).Default('\0');
            b.Property("UseDisplayFormatWhenEditing", &P::UseDisplayFormatWhenEditing,
                       &P::SetUseDisplayFormatWhenEditing)
                .Default(false);
            b.Property("UseThousandSeparator", &P::UseThousandSeparator, &P::SetUseThousandSeparator).Default(false);
            // The stream default is False while a new editor validates on Enter:
            // True is always written.
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(false);
        });
}

void TcxCustomCurrencyEditProperties::Construct(TPersistent* owner)
{
    TcxCustomTextEditProperties::Construct(owner);
    decimalPlaces_ = 2;
    nullable_ = true;
    SetValidateOnEnter(true);
}

void TcxCustomCurrencyEditProperties::Assign(TPersistent* source)
{
    cxAssignKind(*this, source, [this](TPersistent* s) { TcxCustomTextEditProperties::Assign(s); },
                 [this](const TcxCustomCurrencyEditProperties& other) {
                     decimalPlaces_ = other.decimalPlaces_;
                     SetNullable(other.nullable_);
                     SetNullString(other.nullString_);
                     SetUseThousandSeparator(other.useThousandSeparator_);
                 });
}

void TcxCustomCurrencyEditProperties::SetNullable(bool value)
{
    if (value == nullable_)
        return;
    nullable_ = value;
    Changed();
}

void TcxCustomCurrencyEditProperties::SetNullString(const std::string& value)
{
    if (value == nullString_)
        return;
    nullString_ = value;
    Changed();
}

void TcxCustomCurrencyEditProperties::SetUseThousandSeparator(bool value)
{
    if (value == useThousandSeparator_)
        return;
    useThousandSeparator_ = value;
    Changed();
}

std::string TcxCustomCurrencyEditProperties::GetDefaultDisplayFormat() { return cxFormatController()->CurrencyFormat(); }

bool TcxCustomCurrencyEditProperties::StrToFloatEx(const std::string& text, double& value)
{
    value = 0;
    std::string digits;
    for (char c : text)
        if (c != FormatSettings().ThousandSeparator)
            digits += c;
    long double number = 0;
    if (!TryStrToFloat(digits, number))
        return false;
    const long double magnitude = std::fabs(number);
    if (number != 0 && (magnitude < 5.0e-324L || magnitude > 1.7e308L))
        return false;
    value = static_cast<double>(number);
    return true;
}

bool TcxCustomCurrencyEditProperties::IsTextFormatted(TcxCustomEdit* edit)
{
    bool isCurrency = false, isOnGetTextAssigned = false;
    return !InternalGetEditFormat(isCurrency, isOnGetTextAssigned, edit).empty() || isOnGetTextAssigned;
}

TcxDataEditValueSource TcxCustomCurrencyEditProperties::GetEditValueSource(bool editFocused)
{
    if (editFocused)
        return evsValue;
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    return provider && provider->IsOnGetTextAssigned() ? evsText : evsValue;
}

bool TcxCustomCurrencyEditProperties::IsDisplayValueValid(Variant& displayValue, bool editFocused)
{
    if (!editFocused || IsTextFormatted())
        return true;
    double value = 0;
    try {
        return StrToFloatEx(VarToStr(displayValue), value);
    } catch (const Exception&) {
        return false;
    }
}

void TcxCustomCurrencyEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                          bool editFocused)
{
    if (VarIsSoftNull(editValue) || editValue.IsEmpty()) {
        if (editFocused)
            displayValue = Variant(std::string());
        else if (nullable_)
            displayValue = Variant(nullString_);
        else
            TcxCustomTextEditProperties::PrepareDisplayValue(Variant(0), displayValue, false);
        return;
    }
    try {
        TcxCustomTextEditProperties::PrepareDisplayValue(editValue, displayValue, editFocused);
    } catch (const EConvertError&) {
        displayValue = Variant(editFocused ? std::string() : VarToStr(editValue));
    } catch (const EVariantError&) {
        displayValue = Variant(editFocused ? std::string() : VarToStr(editValue));
    }
}

void TcxCustomCurrencyEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText,
                                                           bool& error, TcxCustomEdit* edit)
{
    error = false;
    TcxCustomTextEditProperties::ValidateDisplayValue(displayValue, errorText, error, edit);
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomCurrencyEdit::StaticClass()
{
    return DefineClass<TcxCustomCurrencyEdit, TcxCustomTextEdit>("TcxCustomCurrencyEdit");
}

TClass TcxCurrencyEdit::StaticClass()
{
    return DefineClass<TcxCurrencyEdit, TcxCustomCurrencyEdit>("TcxCurrencyEdit", [](ClassBuilder<TcxCurrencyEdit>& b) {
        using C = TcxCurrencyEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomCurrencyEditProperties::GetContainerClass() { return TcxCurrencyEdit::StaticClass(); }
TClass TcxCustomCurrencyEdit::GetPropertiesClass() const { return TcxCurrencyEditProperties::StaticClass(); }

double TcxCustomCurrencyEdit::Value()
{
    const Variant editValue = GetEditValue();
    if (editValue.IsNull() || editValue.IsEmpty())
        return 0;
    if (VarIsStr(editValue)) {
        double value = 0;
        return TcxCustomCurrencyEditProperties::StrToFloatEx(editValue.AsString(), value) ? value : 0;
    }
    try {
        return editValue.AsDouble();
    } catch (const Exception&) {
        return 0;
    }
}

void TcxCustomCurrencyEdit::SetValue(double value)
{
    TcxCustomCurrencyEditProperties* properties = ActiveProperties();
    if (properties->MinValue() < properties->MaxValue())
        value = std::clamp(value, properties->MinValue(), properties->MaxValue());
    SetEditValue(Variant(value));
}

void TcxCustomCurrencyEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    TcxCustomCurrencyEditProperties* properties = ActiveProperties();
    const std::string text = VarToStr(displayValue);
    double value = 0;
    if (!text.empty() && text != properties->NullString() && TcxCustomCurrencyEditProperties::StrToFloatEx(text, value))
        editValue = Variant(value);
    else
        editValue = properties->Nullable() ? Variant::Null() : Variant(0.0);
}

// Checks the whole text the character would make, so that typing from left
// to right passes through texts such as "12." that are numbers already.
bool TcxCustomCurrencyEdit::IsValidChar(char key)
{
    TcxCustomCurrencyEditProperties* properties = ActiveProperties();
    if (properties->IsTextFormatted(this))
        return true;
    const TFormatSettings& fs = FormatSettings();
    const bool allowed = (key >= '0' && key <= '9') || key == '+' || key == '-' || key == 'E' || key == 'e' ||
                         key == fs.DecimalSeparator ||
                         (properties->UseThousandSeparator() && key == fs.ThousandSeparator);
    if (!allowed)
        return false;
    std::string text = Text();
    const size_t start = TextByteOffset(text, SelStart());
    const size_t end = TextByteOffset(text, SelStart() + SelLength());
    text.replace(start, end - start, 1, key);
    if (key == '-' && text == "-")
        return true;
    double value = 0;
    if (!TcxCustomCurrencyEditProperties::StrToFloatEx(text, value))
        return false;
    const size_t point = text.find(fs.DecimalSeparator);
    if (point == std::string::npos)
        return true;
    size_t digits = 0;
    for (size_t i = point + 1; i < text.size() && text[i] != 'E' && text[i] != 'e'; ++i)
        digits += text[i] >= '0' && text[i] <= '9';
    return static_cast<int>(digits) <= properties->DecimalPlaces();
}

void TcxCustomCurrencyEdit::KeyPress(char& key)
{
    TcxCustomCurrencyEditProperties* properties = ActiveProperties();
    const TFormatSettings& fs = FormatSettings();
    if ((key == ',' || key == '.') && !(properties->UseThousandSeparator() && key == fs.ThousandSeparator))
        key = fs.DecimalSeparator;
    if (static_cast<unsigned char>(key) > 31 && !IsValidChar(key)) {
        key = 0;
        MessageBeep(0);
        return;
    }
    TcxCustomTextEdit::KeyPress(key);
}

void TcxCustomCurrencyEdit::PropertiesChanged(TObject* sender)
{
    if (!InternalFocused())
        DataBinding()->UpdateDisplayValue();
    TcxCustomTextEdit::PropertiesChanged(sender);
}

void TcxCustomCurrencyEdit::PasteFromClipboard()
{
    if (CanModify())
        TcxCustomTextEdit::PasteFromClipboard();
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxCurrencyEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxCurrencyEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryCurrencyItem));
}

void cxCurrencyEditFinalize() { gUnitStarts.End(); }
