#pragma once
// The date editor: a drop-down editor whose value is a date, or a date and
// time, typed as free text or through a mask built from the locale's date
// format and picked from the month calendar in its drop-down. A date-only
// editor can keep the time part of its value while the date is edited.

#include <memory>
#include <string>

#include "components/editor-catalogue/cxCalendar.h"
#include "components/editors/cxFormats.h"
#include "components/editors/cxPopupEdit.h"

enum TDateOnError { deNoChange, deToday, deNull };
enum TcxInputKind { ikStandard, ikMask, ikRegExpr };
const hostlib::TEnumInfo& EnumTypeInfo(TDateOnError*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxInputKind*);

inline constexpr TcxResourceString cxSDateError{64345, "Invalid Date"};

// Where a position of a masked date-and-time text lies in its time part.
struct TcxTimeZoneInfo {
    TcxTimeEditZoneKind Kind = tzHour;
    int Start = 0;  // 1-based
    int Length = 0;
    TcxTimeSuffixKind TimeSuffixKind = TcxTimeSuffixKind::tskAMPMString;
};

class TcxCustomDateEdit;

// The assigned-value flags: the calendar buttons and the input kind besides
// the text editor's.
class TcxDateEditPropertiesValues : public TcxTextEditPropertiesValues {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void RestoreDefaults() override;

    bool DateButtons() const { return dateButtons_; }
    void SetDateButtons(bool value);
    bool InputKind() const { return inputKind_; }
    void SetInputKind(bool value);

private:
    bool dateButtons_ = false;
    bool inputKind_ = false;
};

class TcxCustomDateEditProperties : public TcxCustomPopupEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void Changed() override;
    hostlib::TClass GetAssignedValuesClass() override;
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
    void FormatChanged() override { Changed(); }
    bool IsEditValueNumeric() override { return true; }
    bool IsDisplayValueValid(hostlib::Variant& displayValue, bool editFocused) override;
    bool GetAlwaysPostEditValue() override { return true; }
    bool PopupWindowAcceptsAnySize() override { return false; }
    hostlib::TClass GetPopupWindowClass() override;
    std::unique_ptr<TcxMaskEditCustomMode> GetModeClass(TcxEditMaskKind kind, IcxMaskEditModeEdit* edit) override;

    void BuildEditMask();
    // The mask the kind and the input kind ask for.
    TcxEditMask KindEditMask() const;
    // The time zone of a 1-based position of a masked date-and-time text.
    bool GetTimeZoneInfo(int position, TcxTimeZoneInfo& info);
    // What an empty 1-based position of the standard mask shows: '0' in the
    // digits of a time, '\0' (the mask's own blank) elsewhere.
    char GetStandardMaskBlank(int position);
    // Null, or the date a text stands for (DateOnError applied).
    void InternalPrepareEditValue(const std::string& text, hostlib::Variant& editValue);
    // The text of an empty editor.
    std::string MaskEmptyText();
    // Nothing typed: the empty text, or what an emptied or empty focused
    // editor shows with the time at its blanks.
    bool IsEmptyText(const std::string& text);

    TcxDateEditPropertiesValues* AssignedValues() const
    {
        return static_cast<TcxDateEditPropertiesValues*>(TcxCustomPopupEditProperties::AssignedValues());
    }
    bool ArrowsForYear() const { return arrowsForYear_; }
    void SetArrowsForYear(bool value);
    // The assigned buttons, else those of the kind.
    TDateButtons DateButtons() const;
    void SetDateButtons(TDateButtons value);
    bool IsDateButtonsStored() const { return AssignedValues()->DateButtons(); }
    TDateOnError DateOnError() const { return dateOnError_; }
    void SetDateOnError(TDateOnError value);
    // The assigned input kind, else that of the kind.
    TcxInputKind InputKind() const;
    void SetInputKind(TcxInputKind value);
    bool IsInputKindStored() const { return AssignedValues()->InputKind(); }
    TcxCalendarKind Kind() const { return kind_; }
    void SetKind(TcxCalendarKind value);
    bool SaveTime() const { return saveTime_; }
    void SetSaveTime(bool value);
    bool ShowTime() const { return showTime_; }
    void SetShowTime(bool value);
    bool YearsInMonthList() const { return yearsInMonthList_; }
    void SetYearsInMonthList(bool value);
    hostlib::TDateTime MinDate() const { return MinValue(); }
    void SetMinDate(hostlib::TDateTime value) { SetMinValue(value); }
    hostlib::TDateTime MaxDate() const { return MaxValue(); }
    void SetMaxDate(hostlib::TDateTime value) { SetMaxValue(value); }

private:
    template <class T>
    void Store(T& field, T value);
    // Whether a value shows its time part.
    bool ShowsTime(hostlib::TDateTime value, bool editFocused);
    std::string DateText(hostlib::TDateTime value, bool editFocused);
    std::string NullText(bool editFocused);
    bool ParseDate(const std::string& text, hostlib::TDateTime& date);
    // Steps of the validation.
    bool ResolveDate(hostlib::Variant& displayValue, std::string& errorText, bool& error, TcxCustomDateEdit* edit,
                     hostlib::TDateTime& date);
    void AcceptDate(hostlib::TDateTime date, hostlib::Variant& displayValue, std::string& errorText, bool& error,
                    TcxCustomDateEdit* edit);

    bool arrowsForYear_ = true;
    TDateButtons dateButtons_{btnClear, btnToday};
    TDateOnError dateOnError_ = deNoChange;
    TcxInputKind inputKind_ = ikRegExpr;
    TcxCalendarKind kind_ = ckDate;
    bool saveTime_ = true;
    bool showTime_ = true;
    bool yearsInMonthList_ = true;
};

class TcxDateEditProperties : public TcxCustomDateEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// The standard mask of the date editor: the digits of a time show 0 when
// empty, so a cleared time still reads as one.
class TcxDateEditMaskStandardMode : public TcxMaskEditStandardMode {
public:
    using TcxMaskEditStandardMode::TcxMaskEditStandardMode;
    char GetBlank(int position) const override;
};

// The calendar of the drop-down.
class TcxPopupCalendar : public TcxCustomCalendar {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void CheckHotTrack() override;
    void HidePopup() override;

    TcxCustomDateEdit* Edit() const { return edit_; }
    void SetEdit(TcxCustomDateEdit* value) { edit_ = value; }
    hostlib::TNotifyEvent OnHidePopup;

protected:
    friend class TcxDateEditPopupWindow;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;

private:
    TcxCustomDateEdit* edit_ = nullptr;
};

// The drop-down window: keys that close the calendar reach it from
// whichever of its controls has the focus.
class TcxDateEditPopupWindow : public TcxPopupEditPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TWinControl* ownerControl) override;
    using TcxPopupEditPopupWindow::Construct;
    bool IsPopupCalendarKey(WORD key, hostlib::TShiftState shift);

protected:
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
};

class TcxCustomDateEdit : public TcxCustomPopupEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomPopupEdit::Construct;

    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomDateEditProperties* Properties() const
    {
        return static_cast<TcxCustomDateEditProperties*>(TcxCustomEdit::Properties());
    }
    TcxCustomDateEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomDateEditProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxPopupCalendar* Calendar() const { return calendar_; }

    // The null date for no date.
    hostlib::TDateTime Date();
    void SetDate(hostlib::TDateTime value);
    hostlib::TDateTime GetDate() const { return const_cast<TcxCustomDateEdit*>(this)->Date(); }
    // While the user edits, the date of the typed text.
    hostlib::TDateTime CurrentDate();
    hostlib::TDateTime GetDateFromStr(const std::string& text);
    hostlib::TDateTime SavedTime() const { return savedTime_; }
    void SetSavedTime(hostlib::TDateTime value) { savedTime_ = value; }
    hostlib::TDateTime PopupStartDate() const { return popupStartDate_; }

    void Clear() override { SetDate(cxCalendarNullDate); }
    void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue) override;
    void PrepareEditValue(const hostlib::Variant& displayValue, hostlib::Variant& editValue,
                          bool editFocused) override;
    void DropDown() override;
    bool CanDropDown() override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    void HideCalendar(hostlib::TObject* sender);
    void DateChange(hostlib::TObject* sender);

protected:
    void Destroy() override;
    void CheckEditorValueBounds() override;
    std::string InternalGetText() override { return TcxCustomTextEdit::InternalGetText(); }
    bool InternalSetText(const std::string& value) override { return SetDisplayText(value); }
    bool IsCharValidForPos(char& ch, int position) override;
    void CreatePopupWindow() override;
    void DoInitPopup() override;
    void InitializePopupWindow() override;
    void PopupWindowShowed(hostlib::TObject* sender) override;
    void PopupWindowClosed(hostlib::TObject* sender) override;

private:
    friend class TcxPopupCalendar;
    void BindCalendar();
    void FollowLookAndFeel();
    void SetUpCalendarLook();
    // Typing into the time part of a masked date and time.
    bool TypeInDesignator(char& ch, int position, const TcxTimeZoneInfo& zone);
    bool TypeInTimeNumber(char& ch, int position, const TcxTimeZoneInfo& zone);
    void WriteAt(int position, const std::string& text, int caret);

    TcxPopupCalendar* calendar_ = nullptr;
    hostlib::TDateTime savedTime_ = 0;
    hostlib::TDateTime popupStartDate_ = cxCalendarNullDate;
};

class TcxDateEdit : public TcxCustomDateEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxDateEditProperties* Properties() const
    {
        return static_cast<TcxDateEditProperties*>(TcxCustomDateEdit::Properties());
    }
    void SetProperties(TcxDateEditProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxDateEditProperties* ActiveProperties()
    {
        return static_cast<TcxDateEditProperties*>(TcxCustomDateEdit::ActiveProperties());
    }
};

// Unit start-up: "DateEdit" joins the registered editor kinds; shut-down
// only counts down.
void cxDateEditInitialize();
void cxDateEditFinalize();
