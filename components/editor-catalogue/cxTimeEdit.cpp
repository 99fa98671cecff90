#include "components/editor-catalogue/cxTimeEdit.h"

#include <array>
#include <cctype>
#include <cmath>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxFormats.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr int kHalfDay = 43200;

const std::array<std::array<const char*, 2>, 3> kDisplayFormats{{
    {"hh:nn:ss ampm", "hh:nn:ss"},
    {"hh:nn ampm", "hh:nn"},
    {"hh ampm", "hh"},
}};

// Index: time format, then 0 for the 12-hour and 1 for the 24-hour form.
std::array<std::array<std::string, 2>, 3>& Masks()
{
    static std::array<std::array<std::string, 2>, 3> masks{{
        {"00:00:00 LL;1;0", "00:00:00;1;0"},
        {"00:00 LL;1;0", "00:00;1;0"},
        {"00 LL;1;0", "00;1;0"},
    }};
    return masks;
}

constexpr int kDigitsLength[] = {8, 5, 2};

std::string TrimRightBlanks(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Two digits from a 0-based place of the text; 0 where there are none.
int TwoDigits(const std::string& text, size_t at)
{
    int value = 0;
    for (size_t i = at; i < at + 2; ++i)
        value = value * 10 + (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : 0);
    return value;
}

// The whole days of a value (a string is read as a date-time first).
bool WholeDays(const Variant& value, TDateTime& days)
{
    TDateTime dt = 0;
    if (VarIsStr(value)) {
        if (!TryStrToDateTime(value.AsString(), dt))
            return false;
    } else if (VarIsNumericEx(value) || VarIsDate(value)) {
        dt = value.AsDouble();
    } else {
        return false;
    }
    days = std::trunc(dt);
    return true;
}

// The saved date with a time of day: subtracted for dates before 1899-12-30.
TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

class TcxTimeEditFormatListener : public IcxFormatControllerListener {
public:
    TcxTimeEditFormatListener() { cxFormatController()->AddListener(this); }
    ~TcxTimeEditFormatListener() override { cxFormatController()->RemoveListener(this); }
    void FormatChanged() override { cxTimeEditUpdateMasks(); }
};

}  // namespace

const TEnumInfo& EnumTypeInfo(TcxTimeEditTimeFormat*)
{
    static const TEnumInfo info{"TcxTimeEditTimeFormat", {"tfHourMinSec", "tfHourMin", "tfHour"}, 0};
    return info;
}

std::string cxTimeEditDisplayFormat(TcxTimeEditTimeFormat format, bool use24HourFormat)
{
    return kDisplayFormats[format][use24HourFormat ? 1 : 0];
}

std::string cxTimeEditMask(TcxTimeEditTimeFormat format, bool use24HourFormat)
{
    return Masks()[format][use24HourFormat ? 1 : 0];
}

void cxTimeEditUpdateMasks()
{
    const std::string noon = FormatDateTime("hh:mm:ss AMPM", 0.5);
    std::string designator;
    for (size_t i = 8; i < noon.size(); ++i)
        designator += noon[i] == ' ' ? ' ' : 'c';
    designator = TrimRightBlanks(designator);
    for (int format = tfHourMinSec; format <= tfHour; ++format) {
        std::string& mask = Masks()[format][0];
        mask = mask.substr(0, kDigitsLength[format]) + designator + ";1;0";
    }
}

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomTimeEditProperties::StaticClass()
{
    return DefineClass<TcxCustomTimeEditProperties, TcxCustomSpinEditProperties>("TcxCustomTimeEditProperties");
}

TClass TcxTimeEditProperties::StaticClass()
{
    return DefineClass<TcxTimeEditProperties, TcxCustomTimeEditProperties>(
        "TcxTimeEditProperties", [](ClassBuilder<TcxTimeEditProperties>& b) {
            using P = TcxTimeEditProperties;
            b.Property("Circular", &P::Circular, &P::SetCircular).Default(false);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("ShowDate", &P::ShowDate, &P::SetShowDate).Default(false);
            b.Property("TimeFormat", &P::TimeFormat, &P::SetTimeFormat).Default(tfHourMinSec);
            b.Property("UseCtrlIncrement", &P::UseCtrlIncrement, &P::SetUseCtrlIncrement).Default(false);
            b.Property("Use24HourFormat", &P::Use24HourFormat, &P::SetUse24HourFormat).Default(true);
            b.Property("UseTimeFormatWhenUnfocused", &P::UseTimeFormatWhenUnfocused,
                       &P::SetUseTimeFormatWhenUnfocused)
                .Default(true);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
        });
}

void TcxCustomTimeEditProperties::Construct(TPersistent* owner)
{
    TcxCustomSpinEditProperties::Construct(owner);
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(false); });
    timeFormat_ = tfHourMinSec;
    SetValueType(vtFloat);
    use24HourFormat_ = true;
    useTimeFormatWhenUnfocused_ = true;
    UpdateEditMask();
    SetIgnoreMaskBlank(true);
    SetIncrement(1.0);
    SetMinMaxValues(0, kSecondsPerDay - 1);
    SetAlwaysShowBlanksAndLiterals(true);
}

void TcxCustomTimeEditProperties::Assign(TPersistent* source)
{
    cxAssignKind(*this, source, [this](TPersistent* s) { TcxCustomSpinEditProperties::Assign(s); },
                 [this](const TcxCustomTimeEditProperties& other) {
                     SetShowDate(other.showDate_);
                     SetTimeFormat(other.timeFormat_);
                     SetUse24HourFormat(other.use24HourFormat_);
                     SetUseTimeFormatWhenUnfocused(other.useTimeFormatWhenUnfocused_);
                 });
}

void TcxCustomTimeEditProperties::SetShowDate(bool value)
{
    if (value == showDate_)
        return;
    showDate_ = value;
    Changed();
}

void TcxCustomTimeEditProperties::SetTimeFormat(TcxTimeEditTimeFormat value)
{
    if (value == timeFormat_)
        return;
    timeFormat_ = value;
    UpdateEditMask();
    Changed();
}

void TcxCustomTimeEditProperties::SetUse24HourFormat(bool value)
{
    if (value == use24HourFormat_)
        return;
    use24HourFormat_ = value;
    UpdateEditMask();
    Changed();
}

void TcxCustomTimeEditProperties::SetUseTimeFormatWhenUnfocused(bool value)
{
    if (value == useTimeFormatWhenUnfocused_)
        return;
    useTimeFormatWhenUnfocused_ = value;
    Changed();
}

void TcxCustomTimeEditProperties::UpdateEditMask() { SetEditMask(cxTimeEditMask(timeFormat_, use24HourFormat_)); }

std::string TcxCustomTimeEditProperties::TimeDisplayFormat() const
{
    return cxTimeEditDisplayFormat(timeFormat_, use24HourFormat_);
}

int TcxCustomTimeEditProperties::DigitsLength() const { return kDigitsLength[timeFormat_]; }

// The unit's listener may hear of the change after these properties do, so
// the shared masks are brought up to date here as well.
void TcxCustomTimeEditProperties::FormatChanged()
{
    cxTimeEditUpdateMasks();
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    UpdateEditMask();
}

std::string TcxCustomTimeEditProperties::DefaultFocusedDisplayValue()
{
    return TrimRightBlanks(FormatDateTime(TimeDisplayFormat(), 0));
}

bool TcxCustomTimeEditProperties::IsDisplayValueValid(Variant& displayValue, bool)
{
    TDateTime value = 0;
    try {
        if (!TryStrToDateTime(Trim(VarToStr(displayValue)), value))
            return false;
        displayValue = Variant(TrimRightBlanks(FormatDateTime(TimeDisplayFormat(), value)));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

bool TcxCustomTimeEditProperties::IsEditValueValid(Variant& editValue, bool editFocused)
{
    if (VarIsStr(editValue)) {
        Variant copy = editValue;
        return IsDisplayValueValid(copy, editFocused);
    }
    return VarIsDate(editValue) || VarIsNumericEx(editValue);
}

std::string TcxCustomTimeEditProperties::TimeText(TDateTime value, bool editFocused)
{
    const bool hasDay = std::trunc(value) != 0;
    if (editFocused || (useTimeFormatWhenUnfocused_ && !(showDate_ && hasDay)))
        return FormatDateTime(TimeDisplayFormat(), value);
    if (!useTimeFormatWhenUnfocused_ && !(value != 0 && showDate_ && hasDay))
        return TimeToStr(value);
    return DateTimeToStr(value);
}

void TcxCustomTimeEditProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue,
                                                      bool editFocused)
{
    auto nullText = [&] { return editFocused ? DefaultFocusedDisplayValue() : std::string(); };
    if (editValue.IsNull() || editValue.IsEmpty()) {
        displayValue = Variant(nullText());
        return;
    }
    if (!VarIsDate(editValue) && !VarIsNumericEx(editValue) && !VarIsStr(editValue))
        throw EConvertError(cxGetResourceString(cxSEditTimeConvertError));
    // A value that does not convert shows as no value: showing the clock
    // instead would have it posted as if typed.
    std::string text = nullText();
    try {
        TDateTime value = 0;
        if (VarIsStr(editValue)) {
            if (TryStrToDateTime(editValue.AsString(), value))
                text = TimeText(value, editFocused);
        } else {
            text = TimeText(editValue.AsDouble(), editFocused);
        }
    } catch (const Exception&) {
        text = nullText();
    }
    displayValue = Variant(TrimRightBlanks(text));
}

void TcxCustomTimeEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                       TcxCustomEdit* edit)
{
    if (errorText.empty())
        errorText = cxGetResourceString(cxSEditTimeConvertError);
    bool isUserErrorDisplayValue = false;
    DoValidate(displayValue, errorText, error, edit, isUserErrorDisplayValue);
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomTimeEdit::StaticClass() { return DefineClass<TcxCustomTimeEdit, TcxCustomSpinEdit>("TcxCustomTimeEdit"); }

TClass TcxTimeEdit::StaticClass()
{
    return DefineClass<TcxTimeEdit, TcxCustomTimeEdit>("TcxTimeEdit", [](ClassBuilder<TcxTimeEdit>& b) {
        using C = TcxTimeEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.Property("Time", &C::Time, &C::SetTime).Stored(false);
    });
}

TClass TcxCustomTimeEditProperties::GetContainerClass() { return TcxTimeEdit::StaticClass(); }
TClass TcxCustomTimeEdit::GetPropertiesClass() const { return TcxTimeEditProperties::StaticClass(); }

TDateTime TcxCustomTimeEdit::GetTime()
{
    TDateTime value = 0;
    if (InternalFocused()) {
        Variant editValue;
        PrepareEditValue(Variant(Text()), editValue, true);
        value = editValue.AsDouble();
    } else {
        const Variant editValue = GetEditValue();
        if (VarIsStr(editValue))
            TryStrToDateTime(editValue.AsString(), value);
        else if (VarIsDate(editValue) || VarIsNumericEx(editValue))
            value = editValue.AsDouble();
    }
    return std::fabs(value - std::trunc(value));
}

void TcxCustomTimeEdit::SetTime(TDateTime value)
{
    const TDateTime time = std::fabs(value - std::trunc(value));
    SetEditValue(Variant::FromDate(Combine(savedDate_, time)));
}

void TcxCustomTimeEdit::InternalSetEditValue(const Variant& value, bool validateEditValue)
{
    Variant copy = value;
    TDateTime days = 0;
    const bool valid = !value.IsNull() && (!validateEditValue || ActiveProperties()->IsEditValueValid(copy, InternalFocused()));
    savedDate_ = valid && WholeDays(value, days) ? days : 0;
    TcxCustomSpinEdit::InternalSetEditValue(value, validateEditValue);
}

void TcxCustomTimeEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    TcxCustomTimeEditProperties* properties = ActiveProperties();
    std::string text = VarToStr(displayValue);
    std::string rest;
    if (Is12Hour() && static_cast<int>(text.size()) > properties->DigitsLength()) {
        rest = text.substr(static_cast<size_t>(properties->DigitsLength()));
        text.resize(static_cast<size_t>(properties->DigitsLength()));
    }
    if (text.size() == 2)
        text += ":00";
    if (Is12Hour()) {
        const TFormatSettings& fs = FormatSettings();
        const bool am = !fs.TimeAMString.empty() && rest.find(fs.TimeAMString) != std::string::npos;
        text += " " + (am ? fs.TimeAMString : fs.TimePMString);
    }
    TDateTime time = 0;
    if (!Trim(text).empty() && !TryStrToTime(Trim(text), time))
        time = 0;
    const TDateTime value = Combine(savedDate_, time);
    editValue = value != 0 ? Variant::FromDate(value) : Variant(value);
}

void TcxCustomTimeEdit::PropertiesChanged(TObject* sender)
{
    if (!InternalFocused())
        DataBinding()->UpdateDisplayValue();
    if (InnerTextEdit())
        SetSelStart(TextCharCount(Text()));
    TcxCustomSpinEdit::PropertiesChanged(sender);
}

void TcxCustomTimeEdit::InternalSetDisplayValue(const Variant& value)
{
    if (!Is12Hour() || !VarToStr(value).empty() || !InnerEdit()) {
        TcxCustomSpinEdit::InternalSetDisplayValue(value);
        return;
    }
    // The mask's blanks would show where no time is.
    InnerEdit()->SetEditValue(value);
}

// ---- spinning -----------------------------------------------------------------------------------

Variant TcxCustomTimeEdit::GetValue()
{
    TcxCustomTimeEditProperties* properties = ActiveProperties();
    const std::string text = Text();
    int hours = TwoDigits(text, 0);
    if (Is12Hour())
        hours %= 12;
    long long seconds = hours * 3600LL;
    if (properties->TimeFormat() != tfHour)
        seconds += TwoDigits(text, 3) * 60;
    if (properties->TimeFormat() == tfHourMinSec)
        seconds += TwoDigits(text, 6);
    const std::string& pm = FormatSettings().TimePMString;
    if (Is12Hour() && !pm.empty() && text.size() >= pm.size() && text.compare(text.size() - pm.size(), pm.size(), pm) == 0)
        seconds += kHalfDay;
    return Variant(seconds);
}

void TcxCustomTimeEdit::SetValue(const Variant& value)
{
    if (VarIsNumericEx(value))
        SetTime(value.AsDouble() / kSecondsPerDay);
}

std::string TcxCustomTimeEdit::IncrementValueToStr(const Variant& value)
{
    return TcxCustomSpinEdit::IncrementValueToStr(Variant::FromDate(value.AsDouble() / kSecondsPerDay));
}

double TcxCustomTimeEdit::GetIncrement(TcxSpinEditButton button)
{
    const TcxTimeEditZoneKind zone = EditingPlace();
    if (zone == tzTimeSuffix)
        return GetValue().AsDouble() < kHalfDay ? kHalfDay : -kHalfDay;
    static const double steps[] = {3600, 60, 1};
    double step = steps[zone];
    if ((button == sebFastBackward || button == sebFastForward) && zone != tzHour)
        step *= 10;
    return button == sebBackward || button == sebFastBackward ? -step : step;
}

bool TcxCustomTimeEdit::Increment(TcxSpinEditButton button)
{
    const TcxTimeEditZoneKind zone = EditingPlace();
    const int caret = SelStart();
    const bool result = TcxCustomSpinEdit::Increment(button);
    SelectZone(zone, caret);
    return result;
}

void TcxCustomTimeEdit::SelectZone(TcxTimeEditZoneKind zone, int caret)
{
    if (zone == tzTimeSuffix) {
        const int start = GetSuffixPos() - 1;
        SetSelection(start, std::max(0, TextCharCount(Text()) - start));
        return;
    }
    SetSelection(caret < 2 ? 1 : caret <= 4 ? 4 : 7, 1);
}

TcxTimeEditZoneKind TcxCustomTimeEdit::EditingPlace()
{
    TcxCustomTimeEditProperties* properties = ActiveProperties();
    int p = SelStart() + 1;
    if (properties->MaxLength() > 0)
        p = std::min(p, properties->MaxLength());
    if (Is12Hour() && p > properties->DigitsLength())
        return tzTimeSuffix;
    std::string format = UpperCase(properties->TimeDisplayFormat());
    format.resize(static_cast<size_t>(properties->DigitsLength()));
    p = std::clamp(p, 1, static_cast<int>(format.size()));
    char c = format[static_cast<size_t>(p - 1)];
    if (c != 'H' && c != 'N' && c != 'S' && p < static_cast<int>(format.size()))
        c = format[static_cast<size_t>(p)];
    return c == 'N' ? tzMin : c == 'S' ? tzSec : tzHour;
}

int TcxCustomTimeEdit::GetSuffixPos()
{
    const std::string text = Text();
    int p = ActiveProperties()->DigitsLength() + 1;
    while (p <= static_cast<int>(text.size()) && text[static_cast<size_t>(p - 1)] == ' ')
        ++p;
    return p;
}

// ---- keys ---------------------------------------------------------------------------------------

bool TcxCustomTimeEdit::IsHourValid(char key)
{
    std::string hour = Text().substr(0, 2);
    hour.resize(2, '0');
    const int caret = SelStart();
    if (caret > 1)
        return true;
    hour[static_cast<size_t>(caret)] = key;
    const int value = TwoDigits(hour, 0);
    return Is12Hour() ? value >= 1 && value <= 12 : value <= 23;
}

bool TcxCustomTimeEdit::IsValidChar(char key)
{
    if (key == '\b' || key == '.')
        return true;
    const bool digit = key >= '0' && key <= '9';
    switch (EditingPlace()) {
    case tzHour: return digit && IsHourValid(key);
    case tzMin:
    case tzSec:
        if (SelStart() == 3 || SelStart() == 6)
            return key >= '0' && key <= '5';
        return true;
    default: return true;
    }
}

void TcxCustomTimeEdit::DoEditKeyDown(WORD& key, TShiftState shift)
{
    if (EditingPlace() == tzTimeSuffix) {
        if (key == VK_BACK && !(SelStart() + SelLength() == GetSuffixPos() - 1 && shift != TShiftState{ssShift})) {
            key = VK_LEFT;
            swallowBackspace_ = true;
        } else if (key == VK_DELETE) {
            DoAfterKeyDown(key, shift);
            key = 0;
            return;
        }
    }
    TcxCustomSpinEdit::DoEditKeyDown(key, shift);
}

// A letter in the designator continues the one shown or, starting the
// other, toggles AM and PM; the typed text takes the designator's case.
bool TcxCustomTimeEdit::TypeInDesignator(char& key)
{
    const TFormatSettings& fs = FormatSettings();
    const std::string text = Text();
    const int start = GetSuffixPos() - 1;
    const int caret = std::max(SelStart(), start);
    std::string typed = text.substr(static_cast<size_t>(start), static_cast<size_t>(caret - start)) + key;
    const bool isPm = GetValue().AsDouble() >= kHalfDay;
    const std::string& shown = isPm ? fs.TimePMString : fs.TimeAMString;
    const std::string& other = isPm ? fs.TimeAMString : fs.TimePMString;
    auto startsWith = [&typed](const std::string& designator) {
        return designator.size() >= typed.size() && SameText(designator.substr(0, typed.size()), typed);
    };
    if (startsWith(shown)) {
        key = shown[typed.size() - 1];
        return true;
    }
    if (startsWith(other))
        Increment(sebForward);
    return false;
}

void TcxCustomTimeEdit::DoEditKeyPress(char& key)
{
    if (key == '\b' && swallowBackspace_) {
        swallowBackspace_ = false;
        key = 0;
        return;
    }
    if (static_cast<unsigned char>(key) >= 32 && Is12Hour() && EditingPlace() == tzTimeSuffix &&
        !TypeInDesignator(key)) {
        key = 0;
        MessageBeep(0);
        return;
    }
    TcxCustomSpinEdit::DoEditKeyPress(key);
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
// Lives for the program: the format controller keeps it among its listeners.
TcxTimeEditFormatListener* gFormatListener = nullptr;
}  // namespace

void cxTimeEditInitialize()
{
    if (!gUnitStarts.Start())
        return;
    cxTimeEditUpdateMasks();
    if (!gFormatListener)
        gFormatListener = new TcxTimeEditFormatListener;
    GetRegisteredEditProperties()->Register(TcxTimeEditProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryTimeItem));
}

void cxTimeEditFinalize() { gUnitStarts.End(); }
