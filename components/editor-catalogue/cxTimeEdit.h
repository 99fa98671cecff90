#pragma once
// The time editor: a spin editor over the seconds of the day behind a fixed
// mask of two-digit hour, minute and second fields (24-hour, or followed by
// the locale's AM/PM designator). The spin buttons and keys step the field
// under the caret; the date part of the value it was given stays as it was.

#include <string>

#include "components/editor-catalogue/cxSpinEdit.h"
#include "platform/hostlib/core/datetime.h"

enum TcxTimeEditTimeFormat { tfHourMinSec, tfHourMin, tfHour };
enum TcxTimeEditZoneKind { tzHour, tzMin, tzSec, tzTimeSuffix };
const hostlib::TEnumInfo& EnumTypeInfo(TcxTimeEditTimeFormat*);

// The display format and edit mask of a time format in the 12- or 24-hour
// form; the 12-hour masks follow the locale's designators.
std::string cxTimeEditDisplayFormat(TcxTimeEditTimeFormat format, bool use24HourFormat);
std::string cxTimeEditMask(TcxTimeEditTimeFormat format, bool use24HourFormat);
// Rebuilds the 12-hour masks from the designator of noon.
void cxTimeEditUpdateMasks();

class TcxCustomTimeEditProperties : public TcxCustomSpinEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    TcxEditDisplayFormatOptions GetDisplayFormatOptions() override { return {dfoSupports, dfoNoCurrencyValue}; }
    hostlib::TClass GetContainerClass() override;
    bool IsEditValueValid(hostlib::Variant& editValue, bool editFocused) override;
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    void ValidateDisplayValue(hostlib::Variant& displayValue, std::string& errorText, bool& error,
                              TcxCustomEdit* edit = nullptr) override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override
    {
        return GetValueEditorEditValueSource(editFocused);
    }
    void FormatChanged() override;
    std::string DefaultFocusedDisplayValue() override;
    bool IsEditValueNumeric() override { return false; }
    bool IsDisplayValueValid(hostlib::Variant& displayValue, bool editFocused) override;
    bool ExtendValueUpToBound() override { return false; }
    bool IsDisplayValueNumeric() override { return false; }
    hostlib::Variant PrepareValue(const hostlib::Variant&) override { return hostlib::Variant(0); }
    bool PreserveSelection() override { return true; }

    void UpdateEditMask();
    // The display format of the current settings.
    std::string TimeDisplayFormat() const;
    // Length of the digits part of the text: 8, 5 or 2.
    int DigitsLength() const;

    bool ShowDate() const { return showDate_; }
    void SetShowDate(bool value);
    TcxTimeEditTimeFormat TimeFormat() const { return timeFormat_; }
    void SetTimeFormat(TcxTimeEditTimeFormat value);
    bool Use24HourFormat() const { return use24HourFormat_; }
    void SetUse24HourFormat(bool value);
    bool UseTimeFormatWhenUnfocused() const { return useTimeFormatWhenUnfocused_; }
    void SetUseTimeFormatWhenUnfocused(bool value);

private:
    std::string TimeText(hostlib::TDateTime value, bool editFocused);

    bool showDate_ = false;
    TcxTimeEditTimeFormat timeFormat_ = tfHourMinSec;
    bool use24HourFormat_ = true;
    bool useTimeFormatWhenUnfocused_ = true;
};

class TcxTimeEditProperties : public TcxCustomTimeEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxCustomTimeEdit : public TcxCustomSpinEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomTimeEditProperties* Properties() const
    {
        return static_cast<TcxCustomTimeEditProperties*>(TcxCustomSpinEdit::Properties());
    }
    TcxCustomTimeEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomTimeEditProperties*>(TcxCustomSpinEdit::ActiveProperties());
    }
    void Clear() override { SetTime(0); }
    void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue) override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void PropertiesChanged(hostlib::TObject* sender) override;

    // Seconds of the day read from the text.
    hostlib::Variant GetValue() override;
    void SetValue(const hostlib::Variant& value) override;
    bool Increment(TcxSpinEditButton button) override;
    double GetIncrement(TcxSpinEditButton button) override;
    std::string IncrementValueToStr(const hostlib::Variant& value) override;

    // The time of day alone.
    hostlib::TDateTime GetTime();
    hostlib::TDateTime Time() const { return const_cast<TcxCustomTimeEdit*>(this)->GetTime(); }
    // The saved date with the time of day of the argument.
    void SetTime(hostlib::TDateTime value);
    TcxTimeEditZoneKind EditingPlace();
    // 1-based position of the designator's first character.
    int GetSuffixPos();
    hostlib::TDateTime SavedDate() const { return savedDate_; }

protected:
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void DoEditKeyPress(char& key) override;
    void InternalSetDisplayValue(const hostlib::Variant& value) override;
    // The shown text, not the mask's value text: the mask's blank is the
    // digit "0", which the value text would turn into spaces.
    std::string InternalGetText() override { return TcxCustomTextEdit::InternalGetText(); }
    bool InternalSetText(const std::string& value) override { return SetDisplayText(value); }
    bool IsValidChar(char key) override;

private:
    bool Is12Hour() { return !ActiveProperties()->Use24HourFormat(); }
    bool IsHourValid(char key);
    bool TypeInDesignator(char& key);
    void SelectZone(TcxTimeEditZoneKind zone, int caret);

    hostlib::TDateTime savedDate_ = 0;
    bool swallowBackspace_ = false;
};

class TcxTimeEdit : public TcxCustomTimeEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxTimeEditProperties* Properties() const
    {
        return static_cast<TcxTimeEditProperties*>(TcxCustomTimeEdit::Properties());
    }
    void SetProperties(TcxTimeEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxTimeEditProperties* ActiveProperties()
    {
        return static_cast<TcxTimeEditProperties*>(TcxCustomTimeEdit::ActiveProperties());
    }
};

// Unit start-up: "TimeEdit" joins the registered editor kinds and the
// 12-hour masks start following the locale; shut-down only counts down.
void cxTimeEditInitialize();
void cxTimeEditFinalize();
