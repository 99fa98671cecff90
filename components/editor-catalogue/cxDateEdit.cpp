#include "components/editor-catalogue/cxDateEdit.h"

#include <cctype>
#include <cmath>

#include "components/data/cxVariants.h"
#include "components/editors/cxDateUtils.h"
#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

using Kind = TcxDateTimeFormatItemKind;

bool IsNullDate(TDateTime date) { return date == cxCalendarNullDate; }

// A date with a time of day: the time runs backwards before 1899-12-30.
TDateTime Combine(TDateTime days, TDateTime time) { return days < 0 ? days - time : days + time; }

TDateTime WholeDays(TDateTime date) { return std::trunc(date); }

TDateTime WallClock() { return cxDateUtils::NowFunc()(); }

std::string TrimRight(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

bool UsesHostFormats() { return cxFormatController()->UseOstraDateTimeFormats(); }

TcxTimeEditTimeFormat LocaleTimeFormat(const TcxDateTimeFormatInfo& info)
{
    if (info.Defined(Kind::dtikSec))
        return tfHourMinSec;
    if (info.Defined(Kind::dtikMin))
        return tfHourMin;
    return info.Defined(Kind::dtikHour) ? tfHour : tfHourMinSec;
}

bool LocaleUses24Hours(const TcxDateTimeFormatInfo& info)
{
    for (const TcxDateTimeFormatItem& item : info.Items)
        if (item.Kind == Kind::dtikHour)
            return item.Data.find("24") != std::string::npos;
    return true;
}

}  // namespace

const TEnumInfo& EnumTypeInfo(TDateOnError*)
{
    static const TEnumInfo info{"TDateOnError", {"deNoChange", "deToday", "deNull"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxInputKind*)
{
    static const TEnumInfo info{"TcxInputKind", {"ikStandard", "ikMask", "ikRegExpr"}, 0};
    return info;
}

// ---- assigned values ----------------------------------------------------------------------------

TClass TcxDateEditPropertiesValues::StaticClass()
{
    return DefineClass<TcxDateEditPropertiesValues, TcxTextEditPropertiesValues>(
        "TcxDateEditPropertiesValues", [](ClassBuilder<TcxDateEditPropertiesValues>& b) {
            using V = TcxDateEditPropertiesValues;
            b.Property("DateButtons", &V::DateButtons, &V::SetDateButtons).Stored(false);
            b.Property("InputKind", &V::InputKind, &V::SetInputKind).Stored(false);
        });
}

void TcxDateEditPropertiesValues::SetDateButtons(bool value)
{
    if (value == dateButtons_)
        return;
    dateButtons_ = value;
    Changed();
}

void TcxDateEditPropertiesValues::SetInputKind(bool value)
{
    if (value == inputKind_)
        return;
    inputKind_ = value;
    Changed();
}

void TcxDateEditPropertiesValues::Assign(TPersistent* source)
{
    cxAssignKind(
        *this, source, [this](TPersistent* s) { TcxTextEditPropertiesValues::Assign(s); },
        [this](const TcxDateEditPropertiesValues& other) {
            SetDateButtons(other.dateButtons_);
            SetInputKind(other.inputKind_);
        });
}

void TcxDateEditPropertiesValues::RestoreDefaults()
{
    cxWithinUpdate(*this, [this] {
        TcxTextEditPropertiesValues::RestoreDefaults();
        SetDateButtons(false);
        SetInputKind(false);
    });
}

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomDateEditProperties::StaticClass()
{
    return DefineClass<TcxCustomDateEditProperties, TcxCustomPopupEditProperties>("TcxCustomDateEditProperties");
}

TClass TcxDateEditProperties::StaticClass()
{
    return DefineClass<TcxDateEditProperties, TcxCustomDateEditProperties>(
        "TcxDateEditProperties", [](ClassBuilder<TcxDateEditProperties>& b) {
            using P = TcxDateEditProperties;
            b.Property("ArrowsForYear", &P::ArrowsForYear, &P::SetArrowsForYear).Default(true);
            b.Property("DateButtons", &P::DateButtons, &P::SetDateButtons).Stored(&P::IsDateButtonsStored);
            b.Property("DateOnError", &P::DateOnError, &P::SetDateOnError).Default(deNoChange);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("InputKind", &P::InputKind, &P::SetInputKind).Stored(&P::IsInputKindStored);
            b.Property("Kind", &P::Kind, &P::SetKind).Default(ckDate);
            b.Property("MaxDate", &P::MaxDate, &P::SetMaxDate).Stored(&P::IsMaxValueStored);
            b.Property("MinDate", &P::MinDate, &P::SetMinDate).Stored(&P::IsMinValueStored);
            b.Property("PostPopupValueOnTab", &P::PostPopupValueOnTab, &P::SetPostPopupValueOnTab).Default(false);
            b.Property("SaveTime", &P::SaveTime, &P::SetSaveTime).Default(true);
            b.Property("ShowTime", &P::ShowTime, &P::SetShowTime).Default(true);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.Property("YearsInMonthList", &P::YearsInMonthList, &P::SetYearsInMonthList).Default(true);
        });
}

void TcxCustomDateEditProperties::Construct(TPersistent* owner)
{
    TcxCustomPopupEditProperties::Construct(owner);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(false); });
    SetCaseInsensitive(true);
    SetImmediateDropDown(false);
    SetPopupSizeable(false);
    BuildEditMask();
}

TClass TcxCustomDateEditProperties::GetAssignedValuesClass() { return TcxDateEditPropertiesValues::StaticClass(); }

void TcxCustomDateEditProperties::Assign(TPersistent* source)
{
    cxAssignKind(*this, source, [this](TPersistent* s) { TcxCustomPopupEditProperties::Assign(s); },
                 [this](TcxCustomDateEditProperties& other) {
                     SetArrowsForYear(other.arrowsForYear_);
                     AssignedValues()->SetDateButtons(false);
                     if (other.AssignedValues()->DateButtons())
                         SetDateButtons(other.dateButtons_);
                     SetDateOnError(other.dateOnError_);
                     AssignedValues()->SetInputKind(false);
                     if (other.AssignedValues()->InputKind())
                         SetInputKind(other.inputKind_);
                     SetKind(other.kind_);
                     SetSaveTime(other.saveTime_);
                     SetShowTime(other.showTime_);
                     SetYearsInMonthList(other.yearsInMonthList_);
                 });
}

// Every change rebuilds the mask first, so it follows the kind, the input
// kind and the locale before the editors hear of it.
void TcxCustomDateEditProperties::Changed()
{
    if (!ChangedLocked()) {
        BeginUpdate();
        quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(false); });
        BuildEditMask();
    }
    TcxCustomPopupEditProperties::Changed();
}

TcxEditMask TcxCustomDateEditProperties::KindEditMask() const
{
    TcxFormatController* controller = cxFormatController();
    switch (InputKind()) {
    case ikMask:
        return kind_ == ckDateTime ? controller->StandardDateTimeEditMask() : controller->StandardDateEditMask();
    case ikRegExpr:
        return kind_ == ckDateTime ? controller->RegExprDateTimeEditMask() : controller->RegExprDateEditMask();
    default: return {};
    }
}

void TcxCustomDateEditProperties::BuildEditMask()
{
    LockUpdate(true);
    quelvo::sys::ScopeGuard unlock([this] { LockUpdate(false); });
    if (InputKind() != ikStandard)
        SetMaskKind(InputKind() == ikMask ? emkStandard : emkRegExprEx);
    SetEditMask(KindEditMask());
}

template <class T>
void TcxCustomDateEditProperties::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TcxCustomDateEditProperties::SetArrowsForYear(bool value) { Store(arrowsForYear_, value); }
void TcxCustomDateEditProperties::SetDateOnError(TDateOnError value) { Store(dateOnError_, value); }
void TcxCustomDateEditProperties::SetKind(TcxCalendarKind value) { Store(kind_, value); }
void TcxCustomDateEditProperties::SetSaveTime(bool value) { Store(saveTime_, value); }
void TcxCustomDateEditProperties::SetShowTime(bool value) { Store(showTime_, value); }
void TcxCustomDateEditProperties::SetYearsInMonthList(bool value) { Store(yearsInMonthList_, value); }

TDateButtons TcxCustomDateEditProperties::DateButtons() const
{
    if (AssignedValues()->DateButtons())
        return dateButtons_;
    return kind_ == ckDateTime ? TDateButtons{btnClear, btnNow} : TDateButtons{btnClear, btnToday};
}

void TcxCustomDateEditProperties::SetDateButtons(TDateButtons value)
{
    if (AssignedValues()->DateButtons() && value == dateButtons_)
        return;
    AssignedValues()->SetDateButtons(true);
    dateButtons_ = value;
    Changed();
}

TcxInputKind TcxCustomDateEditProperties::InputKind() const
{
    if (AssignedValues()->InputKind())
        return inputKind_;
    return kind_ == ckDateTime ? ikMask : ikRegExpr;
}

void TcxCustomDateEditProperties::SetInputKind(TcxInputKind value)
{
    if (AssignedValues()->InputKind() && value == inputKind_)
        return;
    AssignedValues()->SetInputKind(true);
    inputKind_ = value;
    Changed();
}

TClass TcxCustomDateEditProperties::GetContainerClass() { return TcxDateEdit::StaticClass(); }
TClass TcxCustomDateEditProperties::GetPopupWindowClass() { return TcxDateEditPopupWindow::StaticClass(); }

std::string TcxCustomDateEditProperties::MaskEmptyText()
{
    if (!IsMasked())
        return {};
    const auto mode = CreateMode();
    return mode ? mode->GetEmptyString() : std::string();
}

bool TcxCustomDateEditProperties::IsEmptyText(const std::string& text)
{
    if (text == MaskEmptyText())
        return true;
    if (!IsMasked() || MaskKind() != emkStandard)
        return false;
    Variant focusedNull;
    PrepareDisplayValue(Variant::Null(), focusedNull, true);
    return text == CreateMode()->GetFormattedText(std::string()) || text == VarToStr(focusedNull);
}

std::unique_ptr<TcxMaskEditCustomMode> TcxCustomDateEditProperties::GetModeClass(TcxEditMaskKind kind,
                                                                                  IcxMaskEditModeEdit* edit)
{
    if (kind != emkStandard)
        return TcxCustomPopupEditProperties::GetModeClass(kind, edit);
    return std::make_unique<TcxDateEditMaskStandardMode>(edit, this);
}

char TcxCustomDateEditProperties::GetStandardMaskBlank(int position)
{
    TcxTimeZoneInfo zone;
    if (!GetTimeZoneInfo(position, zone) || zone.Kind == tzTimeSuffix)
        return '\0';
    return '0';
}

char TcxDateEditMaskStandardMode::GetBlank(int position) const
{
    auto* properties = dynamic_cast<TcxCustomDateEditProperties*>(GetProperties());
    return properties ? properties->GetStandardMaskBlank(position + 1) : TcxMaskEditStandardMode::GetBlank(position);
}

bool TcxCustomDateEditProperties::GetTimeZoneInfo(int position, TcxTimeZoneInfo& info)
{
    TcxFormatController* controller = cxFormatController();
    if (kind_ != ckDateTime || InputKind() != ikMask || controller->AssignedStandardDateTimeEditMask())
        return false;
    TcxDateTimeFormatItemInfo item;
    if (!TcxFormatController::GetDateTimeFormatItemStandardMaskInfo(controller->DateTimeFormatInfo(), position, item))
        return false;
    switch (item.Kind) {
    case Kind::dtikHour: info.Kind = tzHour; break;
    case Kind::dtikMin: info.Kind = tzMin; break;
    case Kind::dtikSec: info.Kind = tzSec; break;
    case Kind::dtikTimeSuffix: info.Kind = tzTimeSuffix; break;
    default: return false;
    }
    info.Start = item.ZoneStart;
    info.Length = item.ZoneLength;
    info.TimeSuffixKind = item.TimeSuffixKind;
    return true;
}

bool TcxCustomDateEditProperties::ParseDate(const std::string& text, TDateTime& date)
{
    return cxDateUtils::cxStrToDateTime(text, !UsesHostFormats(), date) && !IsNullDate(date);
}

void TcxCustomDateEditProperties::InternalPrepareEditValue(const std::string& text, Variant& editValue)
{
    editValue = Variant::Null();
    TDateTime date = 0;
    if (!IsEmptyText(text) && ParseDate(text, date))
        editValue = Variant::FromDate(date);
    else if (dateOnError_ == deToday)
        editValue = Variant::FromDate(kind_ == ckDateTime ? WallClock() : WholeDays(WallClock()));
}

bool TcxCustomDateEditProperties::IsDisplayValueValid(Variant& displayValue, bool editFocused)
{
    if (InputKind() != ikStandard)
        return TcxCustomPopupEditProperties::IsDisplayValueValid(displayValue, editFocused);
    TDateTime date = 0;
    return ParseDate(VarToStr(displayValue), date);
}

bool TcxCustomDateEditProperties::IsEditValueValid(Variant& editValue, bool)
{
    if (VarIsSoftNull(editValue) || VarIsDate(editValue) || VarIsNumericEx(editValue))
        return true;
    if (!VarIsStr(editValue))
        return false;
    try {
        Variant value;
        InternalPrepareEditValue(VarToStr(editValue), value);
        return !value.IsNull();
    } catch (const std::exception&) {
        return false;
    }
}

bool TcxCustomDateEditProperties::ShowsTime(TDateTime value, bool editFocused)
{
    const bool hasTime = value != WholeDays(value);
    if (editFocused) {
        if (kind_ == ckDateTime)
            return hasTime || InputKind() == ikMask;
        return showTime_ && hasTime && InputKind() == ikStandard;
    }
    return kind_ == ckDateTime || showTime_;
}

std::string TcxCustomDateEditProperties::DateText(TDateTime value, bool editFocused)
{
    if (!ShowsTime(value, editFocused))
        value = WholeDays(value);
    if (editFocused && InputKind() == ikMask)
        return TrimRight(cxDateUtils::DateTimeToTextEx(value, true, kind_ == ckDateTime));
    return TrimRight(cxDateUtils::DateTimeToText(value));
}

// The empty text; a focused date-and-time mask of the locale shows the
// time as zero.
std::string TcxCustomDateEditProperties::NullText(bool editFocused)
{
    std::string text = MaskEmptyText();
    TcxFormatController* controller = cxFormatController();
    if (!editFocused || kind_ != ckDateTime || InputKind() != ikMask || controller->AssignedStandardDateTimeEditMask())
        return text;
    const size_t length =
        static_cast<size_t>(TcxFormatController::GetDateTimeStandardMaskStringLength(controller->TimeFormatInfo()));
    const std::string zero = FormatDateTime(controller->MaskedDateTimeEditFormat(), 0);
    if (length <= text.size() && length <= zero.size())
        text.replace(text.size() - length, length, zero.substr(zero.size() - length));
    return text;
}

void TcxCustomDateEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                      bool editFocused)
{
    std::string text;
    if (VarIsSoftNull(editValue)) {
        text = NullText(editFocused);
    } else {
        TDateTime value = 0;
        if (VarIsStr(editValue)) {
            Variant converted;
            InternalPrepareEditValue(VarToStr(editValue), converted);
            if (converted.IsNull())
                throw EConvertError(cxGetResourceString(cxSEditDateConvertError));
            value = converted.AsDouble();
        } else if (VarIsDate(editValue) || VarIsNumericEx(editValue)) {
            value = editValue.AsDouble();
        } else {
            throw EConvertError(cxGetResourceString(cxSEditDateConvertError));
        }
        text = IsNullDate(value) ? std::string() : DateText(value, editFocused);
    }
    displayValue = Variant(text);
    if (editFocused && IsMasked())
        TcxCustomPopupEditProperties::PrepareDisplayValue(Variant(text), displayValue, true);
}

// Parses the text or resolves a failure; False when validation ends with
// an error.
bool TcxCustomDateEditProperties::ResolveDate(Variant& displayValue, std::string& errorText, bool& error,
                                              TcxCustomDateEdit* edit, TDateTime& date)
{
    auto parse = [&] {
        date = 0;
        if (!IsEmptyText(VarToStr(displayValue)) && !cxDateUtils::TextToDateEx(VarToStr(displayValue), date))
            error = true;
    };
    bool displayChangedByHandler = false;
    try {
        parse();
        if (edit && edit->IsOnValidateEventAssigned()) {
            if (!IsEmptyText(VarToStr(displayValue)) && !error) {
                Variant normalised;
                PrepareDisplayValue(Variant::FromDate(date), normalised, true);
                displayValue = Variant(TrimRight(VarToStr(normalised)));
            }
            const std::string before = VarToStr(displayValue);
            bool isUserErrorDisplayValue = false;
            DoValidate(displayValue, errorText, error, edit, isUserErrorDisplayValue);
            displayChangedByHandler = VarToStr(displayValue) != before;
            if (!error && !IsEmptyText(VarToStr(displayValue)))
                parse();
        } else if (error && dateOnError_ != deNoChange) {
            date = dateOnError_ == deNull ? cxCalendarNullDate : kind_ == ckDateTime ? WallClock() : WholeDays(WallClock());
            error = false;
        }
    } catch (const std::exception&) {
        error = true;
    }
    if (error && !displayChangedByHandler && edit)
        displayValue = Variant(edit->GetDisplayValue());
    return !error;
}

void TcxCustomDateEditProperties::AcceptDate(TDateTime date, Variant& displayValue, std::string& errorText,
                                             bool& error, TcxCustomDateEdit* edit)
{
    // Clearing the text clears the value: a saved time alone would be a
    // date the user never entered.
    if (IsNullDate(date) || IsEmptyText(VarToStr(displayValue))) {
        if (edit)
            edit->SetSavedTime(0);
        displayValue = Variant(MaskEmptyText());
        return;
    }
    if (MaxDate() > MinDate()) {
        Variant value = Variant::FromDate(date);
        CheckEditorValueBounds(value, errorText, error, edit);
        if (error) {
            if (edit)
                displayValue = Variant(edit->GetDisplayValue());
            return;
        }
    }
    if (kind_ == ckDate && edit) {
        if (date != WholeDays(date))
            edit->SetSavedTime(cxDateUtils::TimeOf(date));
        else if (saveTime_)
            date = Combine(date, edit->SavedTime());
        else
            edit->SetSavedTime(0);
    }
    Variant normalised;
    PrepareDisplayValue(Variant::FromDate(date), normalised, true);
    displayValue = Variant(TrimRight(VarToStr(normalised)));
}

void TcxCustomDateEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                       TcxCustomEdit* edit)
{
    auto* dateEdit = dynamic_cast<TcxCustomDateEdit*>(edit);
    error = false;
    errorText = cxGetResourceString(cxSDateError);
    TDateTime date = 0;
    if (!ResolveDate(displayValue, errorText, error, dateEdit, date))
        return;
    try {
        AcceptDate(date, displayValue, errorText, error, dateEdit);
    } catch (const std::exception&) {
        error = true;
        if (dateEdit)
            displayValue = Variant(dateEdit->GetDisplayValue());
    }
}

// ---- the drop-down calendar ---------------------------------------------------------------------

TClass TcxPopupCalendar::StaticClass() { return DefineClass<TcxPopupCalendar, TcxCustomCalendar>("TcxPopupCalendar"); }

void TcxPopupCalendar::CheckHotTrack()
{
    if (edit_ && edit_->HasPopupWindow())
        TcxCustomCalendar::CheckHotTrack();
    else
        SetHotTrackRegion(chrNone);
}

void TcxPopupCalendar::HidePopup()
{
    TcxCustomCalendar::HidePopup();
    OnHidePopup(this);
}

void TcxPopupCalendar::KeyDown(WORD& key, TShiftState shift)
{
    TcxCustomCalendar::KeyDown(key, shift);
    if (!edit_)
        return;
    TMonthListBox* list = MonthListBox();
    switch (key) {
    case VK_TAB:
        if (Kind() != ckDate)
            return;
        if (edit_->ActiveProperties()->PostPopupValueOnTab())
            DoDateTimeChanged();
        // Focus moves on from the editor, so the calendar closes first.
        HidePopup();
        edit_->DoEditKeyDown(key, shift);
        break;
    case VK_RETURN:
        if (list->IsVisible())
            return;
        HidePopup();
        DoDateTimeChanged();
        break;
    case VK_ESCAPE:
        if (list->IsVisible() && !list->IsYearMode())
            list->CloseUp(false);
        else
            HidePopup();
        break;
    case VK_UP:
    case VK_DOWN:
        if (shift == TShiftState{ssAlt})
            HidePopup();
        break;
    case VK_F4:
        if (!shift.Contains(ssAlt))
            HidePopup();
        break;
    default: break;
    }
}

// Dragging out of the calendar gives up the day the drag picked.
void TcxPopupCalendar::MouseMove(TShiftState shift, int x, int y)
{
    TcxCustomCalendar::MouseMove(shift, x, y);
    if (!edit_ || ArrowTimer()->Enabled() || !shift.Contains(ssLeft))
        return;
    const RECT client = ClientRect();
    const POINT p{x, y};
    if (PtInRect(&client, p))
        return;
    const TDateTime date = edit_->Date();
    SetSelectDate(IsNullDate(date) ? date : WholeDays(date));
    InvalidateRect(DaysRect(), false);
}

// ---- the drop-down window ----------------------------------------------------------------------

TClass TcxDateEditPopupWindow::StaticClass()
{
    return DefineClass<TcxDateEditPopupWindow, TcxPopupEditPopupWindow>("TcxDateEditPopupWindow");
}

void TcxDateEditPopupWindow::Construct(TWinControl* ownerControl)
{
    TcxPopupEditPopupWindow::Construct(ownerControl);
    SetKeyPreview(true);
}

bool TcxDateEditPopupWindow::IsPopupCalendarKey(WORD key, TShiftState shift)
{
    switch (key) {
    case VK_ESCAPE: {
        // The focus may be on the time editor's inner edit.
        for (TWinControl* c = ActiveControl(); c && c != this; c = c->Parent()) {
            if (As<TcxButton>(c))
                return true;
            if (auto* timeEdit = As<TcxTimeEdit>(c))
                return !timeEdit->ModifiedAfterEnter();
        }
        return false;
    }
    case VK_UP:
    case VK_DOWN: return shift.Contains(ssAlt);
    case VK_F4: return !shift.Contains(ssAlt);
    default: return false;
    }
}

void TcxDateEditPopupWindow::KeyDown(WORD& key, TShiftState shift)
{
    TcxPopupEditPopupWindow::KeyDown(key, shift);
    auto* edit = dynamic_cast<TcxCustomDateEdit*>(OwnerControl());
    if (key == 0 || !edit || !IsPopupCalendarKey(key, shift))
        return;
    // The calendar itself hears its keys once, not again through here.
    if (ActiveControl() == edit->Calendar())
        return;
    edit->Calendar()->KeyDown(key, shift);
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomDateEdit::StaticClass() { return DefineClass<TcxCustomDateEdit, TcxCustomPopupEdit>("TcxCustomDateEdit"); }

TClass TcxDateEdit::StaticClass()
{
    return DefineClass<TcxDateEdit, TcxCustomDateEdit>("TcxDateEdit", [](ClassBuilder<TcxDateEdit>& b) {
        using C = TcxDateEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Date", &C::GetDate, &C::SetDate).Stored(false);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

TClass TcxCustomDateEdit::GetPropertiesClass() const { return TcxDateEditProperties::StaticClass(); }

void TcxCustomDateEdit::Construct(TComponent* owner)
{
    TcxCustomPopupEdit::Construct(owner);
    SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
    calendar_ = CreateObject<TcxPopupCalendar>(static_cast<TComponent*>(this));
    calendar_->SetEdit(this);
    calendar_->SetVisible(false);
    calendar_->OnHidePopup = TNotifyEvent::Bind(this, &TcxCustomDateEdit::HideCalendar);
    FollowLookAndFeel();
    BindCalendar();
    popupStartDate_ = cxCalendarNullDate;
}

void TcxCustomDateEdit::Destroy()
{
    if (Properties() && Properties()->PopupControl() == calendar_)
        Properties()->SetPopupControl(nullptr);
    TcxCustomPopupEdit::Destroy();
    calendar_ = nullptr;
}

// Switching between the standard and the expression masks clears the mask
// in the mask editor; the date editor's mask comes from its kind, so it is
// built again.
void TcxCustomDateEdit::PropertiesChanged(TObject* sender)
{
    TcxCustomPopupEdit::PropertiesChanged(sender);
    TcxCustomDateEditProperties* properties = ActiveProperties();
    if (!PropertiesChangeLocked() && properties->EditMask() != properties->KindEditMask())
        properties->Changed();
}

// The calendar's buttons and time editor are painted in the editor's look
// and feel and follow its changes.
void TcxCustomDateEdit::FollowLookAndFeel()
{
    TcxLookAndFeel* master = Style()->LookAndFeel();
    for (TcxButton* button : {calendar_->TodayButton(), calendar_->NowButton(), calendar_->ClearButton(),
                              calendar_->OKButton()})
        button->LookAndFeel()->SetMasterLookAndFeel(master);
    calendar_->TimeEdit()->Style()->LookAndFeel()->SetMasterLookAndFeel(master);
}

void TcxCustomDateEdit::BindCalendar()
{
    TcxCustomDateEditProperties* properties = ActiveProperties();
    if (properties->PopupControl() == calendar_)
        return;
    properties->LockUpdate(true);
    quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
    properties->SetPopupControl(calendar_);
}

TDateTime TcxCustomDateEdit::Date()
{
    const Variant value = EditValue();
    if (VarIsDate(value) || VarIsNumericEx(value))
        return value.AsDouble();
    if (VarIsStr(value))
        return GetDateFromStr(VarToStr(value));
    return cxCalendarNullDate;
}

void TcxCustomDateEdit::SetDate(TDateTime value)
{
    if (IsNullDate(value)) {
        SetInternalEditValue(Variant::Null());
        return;
    }
    TcxCustomDateEditProperties* properties = ActiveProperties();
    if (properties->Kind() == ckDate && value == WholeDays(value))
        value = properties->SaveTime() ? Combine(value, savedTime_) : value;
    SetInternalEditValue(Variant::FromDate(value));
}

TDateTime TcxCustomDateEdit::CurrentDate()
{
    if (InternalFocused() && ModifiedAfterEnter())
        return GetDateFromStr(GetDisplayValue());
    return Date();
}

TDateTime TcxCustomDateEdit::GetDateFromStr(const std::string& text)
{
    Variant value;
    PrepareEditValue(Variant(text), value, InternalFocused());
    return value.IsNull() ? cxCalendarNullDate : value.AsDouble();
}

void TcxCustomDateEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    TcxCustomDateEditProperties* properties = ActiveProperties();
    properties->InternalPrepareEditValue(VarToStr(displayValue), editValue);
    if (editValue.IsNull())
        return;
    TDateTime date = editValue.AsDouble();
    if (properties->Kind() == ckDate && properties->SaveTime())
        date = Combine(WholeDays(date), savedTime_);
    editValue = Variant::FromDate(date);
}

void TcxCustomDateEdit::InternalSetEditValue(const Variant& value, bool validateEditValue)
{
    if (IsDestroying())
        return;
    TcxCustomDateEditProperties* properties = ActiveProperties();
    if (properties->Kind() == ckDate) {
        TDateTime date = 0;
        savedTime_ = 0;
        if (properties->SaveTime() && VarIsStr(value)) {
            if (cxDateUtils::cxStrToDateTime(VarToStr(value), !UsesHostFormats(), date) && !IsNullDate(date))
                savedTime_ = cxDateUtils::TimeOf(date);
        } else if (properties->SaveTime() && (VarIsDate(value) || VarIsNumericEx(value))) {
            savedTime_ = cxDateUtils::TimeOf(value.AsDouble());
        }
    }
    TcxCustomPopupEdit::InternalSetEditValue(value, validateEditValue);
}

// An empty editor is never pulled into the range: there is no date to move.
void TcxCustomDateEdit::CheckEditorValueBounds()
{
    const bool savedUserChange = IsUserChange();
    SetUserChange(ModifiedAfterEnter());
    quelvo::sys::ScopeGuard restore([this, savedUserChange] { SetUserChange(savedUserChange); });
    TcxCustomDateEditProperties* properties = ActiveProperties();
    const TDateTime date = Date();
    if (IsNullDate(date))
        return;
    if (date < properties->MinDate())
        SetDate(properties->MinDate());
    else if (date > properties->MaxDate())
        SetDate(properties->MaxDate());
}

void TcxCustomDateEdit::HideCalendar(TObject*) { CloseUp(false); }

void TcxCustomDateEdit::DateChange(TObject*)
{
    TcxCustomDateEditProperties* properties = ActiveProperties();
    TDateTime date = calendar_->SelectDate();
    if (!IsNullDate(date)) {
        if (properties->Kind() == ckDateTime)
            date = Combine(WholeDays(date), cxDateUtils::TimeOf(calendar_->TimeEdit()->Time()));
        else if (properties->SaveTime())
            date = Combine(WholeDays(date), cxDateUtils::TimeOf(popupStartDate_));
    }
    const Variant value = IsNullDate(date) ? Variant::Null() : Variant::FromDate(date);
    Variant shown;
    properties->PrepareDisplayValue(value, shown, true);
    if (Date() == date && GetDisplayValue() == VarToStr(shown))
        return;
    if (!DoEditing())
        return;
    SetInternalEditValue(value);
    if (!IsNullDate(date))
        SelectAll();
    SetModifiedAfterEnter(true);
}

bool TcxCustomDateEdit::CanDropDown() { return !ActiveProperties()->ReadOnly() && DataBinding()->GetIsDataAvailable(); }

void TcxCustomDateEdit::DropDown()
{
    BindCalendar();
    TcxCustomPopupEdit::DropDown();
}

void TcxCustomDateEdit::DoInitPopup()
{
    TcxCustomPopupEdit::DoInitPopup();
    BindCalendar();
}

// The drop-down runs no message loop of its own while it shows.
void TcxCustomDateEdit::CreatePopupWindow()
{
    TcxCustomPopupEdit::CreatePopupWindow();
    PopupWindow()->SetModalMode(false);
}

void TcxCustomDateEdit::SetUpCalendarLook()
{
    TcxCustomDateEditProperties* properties = ActiveProperties();
    calendar_->HandleNeeded();
    calendar_->SetColor(Style()->Color());
    calendar_->SetFlat(Style()->LookAndFeel()->Kind() != lfStandard);
    calendar_->SetCalendarButtons(properties->DateButtons());
    calendar_->Font()->Assign(Style()->GetVisibleFont());
    calendar_->Font()->SetColor(clBtnText);
    calendar_->SetArrowsForYear(properties->ArrowsForYear());
    calendar_->SetKind(properties->Kind());
    calendar_->YearsInMonthList = properties->YearsInMonthList();
    const TcxDateTimeFormatInfo& info = cxFormatController()->DateTimeFormatInfo();
    calendar_->SetTimeFormat(LocaleTimeFormat(info));
    calendar_->SetUse24HourFormat(LocaleUses24Hours(info));
}

// The calendar opens on the editor's date (today when it has none) and
// tells nothing while it is being set up.
void TcxCustomDateEdit::InitializePopupWindow()
{
    TcxCustomPopupEdit::InitializePopupWindow();
    calendar_->OnDateTimeChanged = {};
    SetUpCalendarLook();
    popupStartDate_ = CurrentDate();
    const TDateTime shown = IsNullDate(popupStartDate_) ? WholeDays(WallClock()) : popupStartDate_;
    if (ActiveProperties()->Kind() == ckDateTime)
        calendar_->TimeEdit()->SetTime(cxDateUtils::TimeOf(shown));
    calendar_->SetFirstDate(WholeDays(shown));
    calendar_->SetSelectDate(WholeDays(shown));
    calendar_->SetSize();
    calendar_->OnDateTimeChanged = TNotifyEvent::Bind(this, &TcxCustomDateEdit::DateChange);
}

void TcxCustomDateEdit::PopupWindowShowed(TObject* sender)
{
    TcxCustomPopupEdit::PopupWindowShowed(sender);
    calendar_->Calculate();
    calendar_->CheckHotTrack();
}

void TcxCustomDateEdit::PopupWindowClosed(TObject* sender)
{
    TcxCustomPopupEdit::PopupWindowClosed(sender);
    if (calendar_)
        calendar_->CheckHotTrack();
}

// ---- typing into the time part ------------------------------------------------------------------

// The position is the 0-based index of the character in the text.
bool TcxCustomDateEdit::IsCharValidForPos(char& ch, int position)
{
    TcxTimeZoneInfo zone;
    if (!ActiveProperties()->GetTimeZoneInfo(position + 1, zone))
        return true;
    if (zone.Kind == tzTimeSuffix)
        return TypeInDesignator(ch, position, zone);
    return TypeInTimeNumber(ch, position, zone);
}

// Replaces characters from a 0-based index and puts the caret there.
void TcxCustomDateEdit::WriteAt(int index, const std::string& text, int caret)
{
    std::string shown = GetDisplayValue();
    const size_t at = static_cast<size_t>(index);
    if (at >= shown.size())
        return;
    shown.replace(at, std::min(text.size(), shown.size() - at), text.substr(0, shown.size() - at));
    SetInternalDisplayValue(Variant(shown));
    SetSelection(std::min(caret, static_cast<int>(shown.size())), 1);
}

// A letter where AM and PM part writes the whole designator it starts;
// before that place it must match, after it it must repeat what is there.
bool TcxCustomDateEdit::TypeInDesignator(char& ch, int position, const TcxTimeZoneInfo& zone)
{
    const TFormatSettings& fs = FormatSettings();
    std::string am = "AM", pm = "PM";
    if (zone.TimeSuffixKind == TcxTimeSuffixKind::tskAP)
        am = "A", pm = "P";
    else if (zone.TimeSuffixKind == TcxTimeSuffixKind::tskAMPMString)
        am = fs.TimeAMString, pm = fs.TimePMString;
    int differs = -1;  // 0-based place where the two part
    for (size_t i = 0; i < std::max(am.size(), pm.size()); ++i)
        if (i >= am.size() || i >= pm.size() || !SameText(am.substr(i, 1), pm.substr(i, 1))) {
            differs = static_cast<int>(i);
            break;
        }
    const int zoneStart = zone.Start - 1;
    const std::string typed(1, ch);
    const size_t offset = static_cast<size_t>(position - zoneStart);
    if (differs < 0 || position < zoneStart + differs)
        return offset < am.size() && SameText(am.substr(offset, 1), typed);
    if (position > zoneStart + differs) {
        const std::string shown = GetDisplayValue();
        return static_cast<size_t>(position) < shown.size() && SameText(shown.substr(position, 1), typed);
    }
    const std::string* designator = nullptr;
    if (offset < am.size() && SameText(am.substr(offset, 1), typed))
        designator = &am;
    else if (offset < pm.size() && SameText(pm.substr(offset, 1), typed))
        designator = &pm;
    if (!designator)
        return false;
    std::string text = *designator;
    text.resize(static_cast<size_t>(zone.Length), ' ');
    WriteAt(zoneStart, text, zoneStart + zone.Length);
    ch = 0;
    return false;
}

// Two digits within their bounds; an out-of-range digit is turned into the
// nearest time the user can have meant.
bool TcxCustomDateEdit::TypeInTimeNumber(char& ch, int position, const TcxTimeZoneInfo& zone)
{
    if (ch < '0' || ch > '9')
        return true;
    const bool hasDesignator = cxFormatController()->DateTimeFormatInfo().Defined(Kind::dtikTimeSuffix);
    const int low = zone.Kind == tzHour && hasDesignator ? 1 : 0;
    const int high = zone.Kind != tzHour ? 59 : hasDesignator ? 12 : 23;
    const int zoneStart = zone.Start - 1;
    const std::string shown = GetDisplayValue();
    std::string digits = shown.substr(static_cast<size_t>(zoneStart), 2);
    digits.resize(2, '0');
    const bool first = position == zoneStart;
    const char old = digits[first ? 0 : 1];
    digits[first ? 0 : 1] = ch;
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : 0; };
    const int value = digit(digits[0]) * 10 + digit(digits[1]);
    if (value >= low && value <= high)
        return true;
    if (!first) {
        if (ch == '0')
            return false;
        WriteAt(zoneStart, "0", position);
        return true;
    }
    std::string written;
    if (ch == '0')
        written = std::string{'0', old};
    else if (ch - '0' > high / 10)
        written = std::string{'0', ch};
    else
        written = std::string{ch, '0'};
    WriteAt(position, written, position + 1);
    ch = 0;
    return false;
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxDateEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxDateEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositoryDateItem));
}

void cxDateEditFinalize() { gUnitStarts.End(); }
