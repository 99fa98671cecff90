#pragma once
// The currency editor: a text editor for a money amount that takes only
// number characters, limits the digits after the decimal separator, shows
// the value unfocused in the locale's currency format and no value as a
// chosen null text.

#include <string>

#include "components/editors/cxTextEdit.h"

class TcxCustomCurrencyEditProperties : public TcxCustomTextEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {dfoSupports, dfoNoCurrencyValue}; }
    hostlib::TClass GetContainerClass() override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    bool IsDisplayValueValid(hostlib::Variant& displayValue, bool editFocused) override;
    bool IsEditValueNumeric() override { return true; }
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;
    std::string GetDefaultDisplayFormat() override;
    bool HasDigitGrouping(bool isDisplayValueSynchronizing) override
    {
        return !isDisplayValueSynchronizing && useThousandSeparator_;
    }

    // The text without the locale's thousand separators as a double: False
    // (and 0) when it is no number or beyond what a double holds.
    static bool StrToFloatEx(const std::string& text, double& value);
    // An edit format or a field's text handler decides how the text looks.
    bool IsTextFormatted(TcxCustomEdit* edit = nullptr);

    int DecimalPlaces() const { return decimalPlaces_; }
    void SetDecimalPlaces(int value) { decimalPlaces_ = value; }
    bool Nullable() const { return nullable_; }
    void SetNullable(bool value);
    const std::string& NullString() const { return nullString_; }
    void SetNullString(const std::string& value);
    bool UseThousandSeparator() const { return useThousandSeparator_; }
    void SetUseThousandSeparator(bool value);

private:
    int decimalPlaces_ = 2;
    bool nullable_ = true;
    std::string nullString_;
    bool useThousandSeparator_ = false;
};

class TcxCurrencyEditProperties : public TcxCustomCurrencyEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxCustomCurrencyEdit : public TcxCustomTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomCurrencyEditProperties* Properties() const
    {
        return static_cast<TcxCustomCurrencyEditProperties*>(TcxCustomTextEdit::Properties());
    }
    TcxCustomCurrencyEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomCurrencyEditProperties*>(TcxCustomTextEdit::ActiveProperties());
    }
    void PasteFromClipboard() override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void PropertiesChanged(hostlib::TObject* sender) override;

    // 0 for no value or text that is no amount.
    double Value();
    // Clamped into MinValue..MaxValue when that is a range.
    void SetValue(double value);

protected:
    void KeyPress(char& key) override;
    bool IsValidChar(char key) override;
};

class TcxCurrencyEdit : public TcxCustomCurrencyEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxCurrencyEditProperties* Properties() const
    {
        return static_cast<TcxCurrencyEditProperties*>(TcxCustomCurrencyEdit::Properties());
    }
    void SetProperties(TcxCurrencyEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCurrencyEditProperties* ActiveProperties()
    {
        return static_cast<TcxCurrencyEditProperties*>(TcxCustomCurrencyEdit::ActiveProperties());
    }
};

// Unit start-up: "CurrencyEdit" joins the registered editor kinds;
// shut-down only counts down.
void cxCurrencyEditInitialize();
void cxCurrencyEditFinalize();
