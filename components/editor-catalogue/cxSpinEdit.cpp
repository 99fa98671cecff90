#include "components/editor-catalogue/cxSpinEdit.h"

#include <cfenv>
#include <cmath>
#include <limits>

#include "components/data/cxVariants.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/uxtheme.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr unsigned kFirstRepeatDelay = 400;
constexpr unsigned kRepeatInterval = 100;

// Round half to even, whatever rounding mode the caller left behind.
long double RoundHalfEven(long double value)
{
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double result = std::nearbyintl(value);
    std::fesetround(saved);
    return result;
}

// A number from a numeric, date or string variant; False for anything else.
bool VariantToNumber(const Variant& value, long double& number)
{
    if (VarIsStr(value))
        return TryStrToFloat(Trim(value.AsString()), number);
    if (VarIsNumericEx(value) || VarIsDate(value) || value.VarType() == varBoolean) {
        number = value.AsDouble();
        return true;
    }
    return false;
}

bool IsForward(TcxSpinEditButton button) { return button == sebForward || button == sebFastForward; }

void FillRectColor(TcxCanvas* canvas, const RECT& r, TColor color)
{
    cxEditFillRect(canvas->Handle(), r, GetSolidBrush(color));
}

}  // namespace

const TEnumInfo& EnumTypeInfo(TcxSpinEditButton*)
{
    static const TEnumInfo info{"TcxSpinEditButton", {"sebBackward", "sebForward", "sebFastBackward", "sebFastForward"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxSpinEditButtonsPosition*)
{
    static const TEnumInfo info{"TcxSpinEditButtonsPosition", {"sbpHorzLeftRight", "sbpHorzRight", "sbpVert"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxSpinEditPressedState*)
{
    static const TEnumInfo info{"TcxSpinEditPressedState", {"epsNone", "epsDown", "epsUp", "epsFastDown", "epsFastUp"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TcxSpinEditValueType*)
{
    static const TEnumInfo info{"TcxSpinEditValueType", {"vtInt", "vtFloat"}, 0};
    return info;
}

// ---- spin buttons and assigned values ----------------------------------------------------------

TClass TcxSpinEditButtons::StaticClass()
{
    return DefineClass<TcxSpinEditButtons, TPersistent>("TcxSpinEditButtons", [](ClassBuilder<TcxSpinEditButtons>& b) {
        using B = TcxSpinEditButtons;
        b.Property("Position", &B::Position, &B::SetPosition).Default(sbpVert);
        b.Property("ShowFastButtons", &B::ShowFastButtons, &B::SetShowFastButtons).Default(false);
    });
}

void TcxSpinEditButtons::OwnerChanged()
{
    if (auto* properties = As<TcxCustomEditProperties>(owner_))
        properties->Changed();
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition value)
{
    if (value == position_)
        return;
    position_ = value;
    OwnerChanged();
}

void TcxSpinEditButtons::SetShowFastButtons(bool value)
{
    if (value == showFastButtons_)
        return;
    showFastButtons_ = value;
    OwnerChanged();
}

void TcxSpinEditButtons::Assign(TPersistent* source)
{
    auto* other = As<TcxSpinEditButtons>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    auto* properties = As<TcxCustomEditProperties>(owner_);
    if (properties)
        properties->BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([properties] {
        if (properties)
            properties->EndUpdate();
    });
    SetPosition(other->position_);
    SetShowFastButtons(other->showFastButtons_);
}

TClass TcxSpinEditPropertiesValues::StaticClass()
{
    return DefineClass<TcxSpinEditPropertiesValues, TcxTextEditPropertiesValues>(
        "TcxSpinEditPropertiesValues", [](ClassBuilder<TcxSpinEditPropertiesValues>& b) {
            using V = TcxSpinEditPropertiesValues;
            b.Property("ValueType", &V::ValueType, &V::SetValueType).Stored(false);
        });
}

void TcxSpinEditPropertiesValues::SetValueType(bool value)
{
    if (value == valueType_)
        return;
    valueType_ = value;
    Changed();
}

void TcxSpinEditPropertiesValues::Assign(TPersistent* source)
{
    cxAssignKind(
        *this, source, [this](TPersistent* s) { TcxTextEditPropertiesValues::Assign(s); },
        [this](const TcxSpinEditPropertiesValues& other) { SetValueType(other.valueType_); });
}

void TcxSpinEditPropertiesValues::RestoreDefaults()
{
    cxWithinUpdate(*this, [this] {
        TcxTextEditPropertiesValues::RestoreDefaults();
        SetValueType(false);
    });
}

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomSpinEditProperties::StaticClass()
{
    return DefineClass<TcxCustomSpinEditProperties, TcxCustomMaskEditProperties>("TcxCustomSpinEditProperties");
}

TClass TcxSpinEditProperties::StaticClass()
{
    return DefineClass<TcxSpinEditProperties, TcxCustomSpinEditProperties>(
        "TcxSpinEditProperties", [](ClassBuilder<TcxSpinEditProperties>& b) {
            using P = TcxSpinEditProperties;
            b.Property("CanEdit", &P::CanEdit, &P::SetCanEdit).Default(true);
            b.Property("DisplayFormat", &P::DisplayFormat, &P::SetDisplayFormat).Stored(&P::IsDisplayFormatStored);
            b.Property("EchoMode", &P::EchoMode, &P::SetEchoMode).Default(eemNormal);
            b.Property("EditFormat", &P::EditFormat, &P::SetEditFormat).Stored(&P::IsEditFormatStored);
            b.Property("ExceptionOnInvalidInput", &P::ExceptionOnInvalidInput, &P::SetExceptionOnInvalidInput)
                .Default(false);
            b.Property("HideSelection", &P::HideSelection, &P::SetHideSelection).Default(true);
            b.Property("ImeMode", &P::ImeMode, &P::SetImeMode).Default(imDontCare);
            b.Property("ImeName", &P::ImeName, &P::SetImeName);
            b.Property("Increment", &P::Increment, &P::SetIncrement).Stored(&P::IsIncrementStored);
            b.Property("LargeIncrement", &P::LargeIncrement, &P::SetLargeIncrement).Stored(&P::IsLargeIncrementStored);
            b.Property("MaxValue", &P::MaxValue, &P::SetMaxValue).Stored(&P::IsMaxValueStored);
            b.Property("MinValue", &P::MinValue, &P::SetMinValue).Stored(&P::IsMinValueStored);
            b.Property("PasswordChar", &P::PasswordChar, &P::SetPasswordChar).Default('\0');
            b.Property("SpinButtons", &P::SpinButtons, &P::SetSpinButtons);
            b.Property("UseCtrlIncrement", &P::UseCtrlIncrement, &P::SetUseCtrlIncrement).Default(false);
            b.Property("UseDisplayFormatWhenEditing", &P::UseDisplayFormatWhenEditing,
                       &P::SetUseDisplayFormatWhenEditing)
                .Default(false);
            b.Property("ValidateOnEnter", &P::ValidateOnEnter, &P::SetValidateOnEnter).Default(true);
            b.Property("ValueType", &P::ValueType, &P::SetValueType).Stored(&P::IsValueTypeStored);
            b.EventProperty("OnGetValue", &P::OnGetValue);
        });
}

void TcxCustomSpinEditProperties::Construct(TPersistent* owner)
{
    TcxCustomMaskEditProperties::Construct(owner);
    BeginUpdate();
    Buttons()->Add();
    Buttons()->Add();
    EndUpdate(false);
    spinButtons_.reset(CreateObject<TcxSpinEditButtons>(this));
    canEdit_ = true;
    increment_ = 1.0;
    largeIncrement_ = 10.0;
}

void TcxCustomSpinEditProperties::Destroy()
{
    spinButtons_.reset();
    TcxCustomMaskEditProperties::Destroy();
}

TClass TcxCustomSpinEditProperties::GetAssignedValuesClass() { return TcxSpinEditPropertiesValues::StaticClass(); }
TClass TcxCustomSpinEditProperties::GetViewDataClass() { return TcxSpinEditViewData::StaticClass(); }
TClass TcxCustomSpinEditProperties::GetViewInfoClass() { return TcxSpinEditViewInfo::StaticClass(); }

void TcxCustomSpinEditProperties::SyncFastButtons()
{
    TcxEditButtons* buttons = Buttons();
    const bool fast = spinButtons_->ShowFastButtons();
    if (fast && buttons->Count() == 2) {
        buttons->Add();
        buttons->Add();
    } else if (!fast && buttons->Count() == 4) {
        buttons->Delete(3);
        buttons->Delete(2);
    }
}

void TcxCustomSpinEditProperties::Changed()
{
    if (spinButtons_) {
        BeginUpdate();
        quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(false); });
        SyncFastButtons();
    }
    TcxCustomMaskEditProperties::Changed();
}

void TcxCustomSpinEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomSpinEditProperties>(source);
    if (!other) {
        TcxCustomMaskEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard endUpdate([this] { EndUpdate(); });
    SetIDefaultValuesProvider(other->IDefaultValuesProvider());
    AssignedValues()->SetValueTypeDirectly(false);
    if (other->AssignedValues()->ValueType())
        SetValueType(other->valueType_);
    TcxCustomMaskEditProperties::Assign(source);
    canEdit_ = other->canEdit_;
    SetCircular(other->circular_);
    exceptionOnInvalidInput_ = other->exceptionOnInvalidInput_;
    increment_ = other->increment_;
    largeIncrement_ = other->largeIncrement_;
    spinButtons_->Assign(other->spinButtons_.get());
    useCtrlIncrement_ = other->useCtrlIncrement_;
    OnGetValue = other->OnGetValue;
}

void TcxCustomSpinEditProperties::SetCircular(bool value)
{
    if (value == circular_)
        return;
    circular_ = value;
    Changed();
}

TcxSpinEditValueType TcxCustomSpinEditProperties::GetValueType()
{
    if (AssignedValues()->ValueType())
        return valueType_;
    if (IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider())
        return provider->DefaultIsFloatValue() ? vtFloat : vtInt;
    return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType value)
{
    if (AssignedValues()->ValueType() && value == valueType_)
        return;
    AssignedValues()->SetValueTypeDirectly(true);
    valueType_ = value;
    Changed();
}

double TcxCustomSpinEditProperties::DoubleAsValueType(double value, TcxSpinEditValueType valueType)
{
    return valueType == vtInt ? static_cast<double>(RoundHalfEven(value)) : value;
}

double TcxCustomSpinEditProperties::InternalMaxValue() { return DoubleAsValueType(MaxValue(), ValueType()); }
double TcxCustomSpinEditProperties::InternalMinValue() { return DoubleAsValueType(MinValue(), ValueType()); }

bool TcxCustomSpinEditProperties::IsValueBoundsValid(long double value)
{
    if (ValueType() == vtFloat)
        return value >= -1.7E308L && value <= 1.7E308L;
    // 2^63 itself does not fit; its neighbour below is the largest that does.
    return value >= -9223372036854775808.0L && value < 9223372036854775808.0L;
}

Variant TcxCustomSpinEditProperties::ExtendedToCurrentValueType(long double value)
{
    if (ValueType() == vtFloat)
        return Variant(static_cast<double>(value));
    const long double rounded = RoundHalfEven(value);
    if (!(rounded >= -9223372036854775808.0L && rounded < 9223372036854775808.0L))
        throw EConvertError(cxGetResourceString(cxSEditValueOutOfBounds));
    return Variant(static_cast<long long>(rounded));
}

Variant TcxCustomSpinEditProperties::VarToCurrentValueType(const Variant& value)
{
    long double number = 0;
    if (!VariantToNumber(value, number))
        throw EConvertError(cxGetResourceString(cxSEditNumericValueConvertError));
    return ExtendedToCurrentValueType(number);
}

Variant TcxCustomSpinEditProperties::SetVariantType(const Variant& value)
{
    return VarIsNumericEx(value) ? VarToCurrentValueType(value) : value;
}

Variant TcxCustomSpinEditProperties::PrepareValue(const Variant& value)
{
    return VarToCurrentValueType(VarIsSoftNull(value) ? Variant(0) : value);
}

TcxSpinEditBoundsCheckingKind TcxCustomSpinEditProperties::GetBoundsCheckingKind()
{
    if (circular_)
        return bckCircular;
    return ExtendValueUpToBound() ? bckExtendToBound : bckNone;
}

TcxDataEditValueSource TcxCustomSpinEditProperties::GetEditValueSource(bool editFocused)
{
    return editFocused || AssignedValues()->DisplayFormat() ? evsValue : evsText;
}

std::string TcxCustomSpinEditProperties::DefaultFocusedDisplayValue()
{
    Variant displayValue;
    PrepareDisplayValue(CheckValueBounds(Variant(0)), displayValue, true);
    return VarToStr(displayValue);
}

TcxCustomEditViewData* TcxCustomSpinEditProperties::CreateViewData(TcxCustomEditStyle* style, bool isInplace)
{
    TcxCustomEditViewData* viewData = TcxCustomMaskEditProperties::CreateViewData(style, isInplace);
    if (auto* edit = dynamic_cast<TcxCustomSpinEdit*>(viewData->Edit))
        static_cast<TcxSpinEditViewData*>(viewData)->PressedState = edit->PressedState();
    return viewData;
}

bool TcxCustomSpinEditProperties::IsEditValueValid(Variant& editValue, bool)
{
    if (!VarIsSoftNull(editValue) && !VarIsDate(editValue)) {
        long double number = 0;
        if (!(VarIsStr(editValue) || VarIsNumericEx(editValue)) || !VariantToNumber(editValue, number) ||
            !IsValueBoundsValid(number))
            return false;
    }
    try {
        editValue = SetVariantType(PrepareValue(editValue));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

bool TcxCustomSpinEditProperties::IsDisplayValueValid(Variant& displayValue, bool editFocused)
{
    if (!TcxCustomMaskEditProperties::IsDisplayValueValid(displayValue, editFocused))
        return false;
    if (!IsDisplayValueNumeric())
        return true;
    const std::string text = Trim(VarToStr(displayValue));
    if (text.empty())
        return true;
    long double number = 0;
    if (!TryStrToFloat(text, number) || !IsValueBoundsValid(number))
        return false;
    if (MaxValue() != MinValue()) {
        const Variant value = ExtendedToCurrentValueType(number);
        if (value.AsDouble() < InternalMinValue() || value.AsDouble() > InternalMaxValue())
            PrepareDisplayValue(value, displayValue, editFocused);
    }
    return true;
}

void TcxCustomSpinEditProperties::ValidateDisplayValue(Variant& displayValue, std::string& errorText, bool& error,
                                                       TcxCustomEdit* edit)
{
    auto* spin = dynamic_cast<TcxCustomSpinEdit*>(edit);
    Variant value;
    if (spin && spin->IsTextNewer())
        error = !spin->InternalPrepareEditValue(VarToStr(displayValue), false, value, errorText);
    else if (spin)
        value = spin->InternalValue();
    else {
        long double number = 0;
        value = TryStrToFloat(Trim(VarToStr(displayValue)), number) && IsValueBoundsValid(number)
                    ? ExtendedToCurrentValueType(number)
                    : Variant::Null();
    }
    if (!error) {
        if (value.IsNull())
            value = SetVariantType(CheckValueBounds(Variant(0)));
        PrepareDisplayValue(value, displayValue, true);
        const double max = InternalMaxValue(), min = InternalMinValue();
        if (max > min && VarIsNumericEx(value) && (value.AsDouble() < min || value.AsDouble() > max)) {
            error = true;
            errorText = cxGetResourceString(cxSEditValueOutOfBounds);
        }
    }
    bool isUserErrorDisplayValue = false;
    DoValidate(displayValue, errorText, error, edit, isUserErrorDisplayValue);
}

// ---- view data ----------------------------------------------------------------------------------

TClass TcxSpinEditViewData::StaticClass()
{
    return DefineClass<TcxSpinEditViewData, TcxCustomTextEditViewData>("TcxSpinEditViewData");
}

bool TcxSpinEditViewData::CanPressButton(TcxCustomEditViewInfo*, int) { return PressedState == epsNone; }

bool TcxSpinEditViewData::IsButtonPressed(TcxCustomEditViewInfo*, int buttonVisibleIndex)
{
    return static_cast<int>(PressedState) == buttonVisibleIndex + 1;
}

void TcxSpinEditViewData::CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo,
                                                  int buttonVisibleIndex, RECT& buttonsRect)
{
    TcxCustomTextEditViewData::CalculateButtonViewInfo(canvas, viewInfo, buttonVisibleIndex, buttonsRect);
    if (SpinProperties()->SpinButtons()->Position() == sbpHorzLeftRight &&
        (buttonVisibleIndex == sebBackward || buttonVisibleIndex == sebFastBackward))
        viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)]->Data.LeftAlignment = true;
}

// The framework asks from the last button to the first; the whole layout
// is made on the first question and the rectangle left as it came.
void TcxSpinEditViewData::CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo,
                                                int buttonVisibleIndex, RECT& buttonsRect)
{
    if (buttonVisibleIndex != viewInfo->ButtonCount() - 1)
        return;
    LayoutButtons(canvas, static_cast<TcxSpinEditViewInfo*>(viewInfo), buttonsRect);
}

void TcxSpinEditViewData::LayoutButtons(TcxCanvas* canvas, TcxSpinEditViewInfo* viewInfo, RECT r)
{
    const bool themed = viewInfo->NativeStyle && AreVisualStylesMustBeUsed(true, totSpin);
    TcxSpinEditButtons* spinButtons = SpinProperties()->SpinButtons();
    viewInfo->ButtonsPosition = spinButtons->Position();
    canvas->SetFont(Style()->GetVisibleFont());
    TcxEditButtonViewInfo* first = viewInfo->ButtonsInfo[0].get();
    const int w = CalculateEditDefaultButtonWidth(canvas, first);
    int h = 0;
    if (themed) {
        const RECT client = GetBorderExtent(), buttons = GetButtonsExtent(canvas);
        const int sum = canvas->TextHeight("Zg") + GetTextEditContentSizeCorrection(this).cy + client.top +
                        client.bottom - buttons.top - buttons.bottom - 1;
        h = (sum + 1) / 2;
    } else {
        const SIZE arrow = GetArrowSize(SIZE{w + 2, (r.bottom - r.top) / 2 + 2}, adUp);
        viewInfo->ArrowSize = arrow.cy;
        h = 4 * arrow.cy - 3;
    }
    const int fastWidth = (3 * h + 1) / 2;
    const bool hotFlat = first->Data.Style == btsHotFlat && !themed;
    if (spinButtons->ShowFastButtons() && viewInfo->ButtonCount() == 4) {
        viewInfo->ButtonsInfo[3]->Bounds = RECT{r.right - fastWidth, r.top, r.right, r.bottom};
        r.right -= fastWidth;
    }
    if (spinButtons->Position() == sbpVert)
        PlaceVertical(viewInfo, r, w, fastWidth, themed, hotFlat);
    else
        PlaceHorizontal(viewInfo, r, h, fastWidth, themed, hotFlat);
    SetThemeParts(viewInfo, themed);
    for (auto& button : viewInfo->ButtonsInfo)
        button->VisibleBounds = button->Bounds;
}

void TcxSpinEditViewData::PlaceVertical(TcxSpinEditViewInfo* viewInfo, RECT& r, int w, int fastWidth, bool themed,
                                        bool hotFlat)
{
    const int t = themed ? 1 : 0;
    RECT& up = viewInfo->ButtonsInfo[sebForward]->Bounds;
    RECT& down = viewInfo->ButtonsInfo[sebBackward]->Bounds;
    up = RECT{r.right - w, r.top, r.right, r.top + (r.bottom - r.top - t) / 2};
    down = RECT{r.right - w, up.bottom + t, r.right, r.bottom};
    if (hotFlat && up.bottom - up.top < down.bottom - down.top) {
        ++up.bottom;
        ++down.top;
    }
    r.right -= w;
    if (viewInfo->ButtonCount() == 4)
        viewInfo->ButtonsInfo[sebFastBackward]->Bounds =
            RECT{r.right - fastWidth - (hotFlat ? 1 : 0), r.top, r.right, r.bottom};
    if (themed)
        viewInfo->DelimiterLine[0] = POINT{up.left, up.bottom}, viewInfo->DelimiterLine[1] = POINT{up.right - 1, up.bottom};
}

void TcxSpinEditViewData::PlaceHorizontal(TcxSpinEditViewInfo* viewInfo, RECT& r, int h, int fastWidth, bool themed,
                                          bool hotFlat)
{
    const bool leftRight = viewInfo->ButtonsPosition == sbpHorzLeftRight;
    const bool fast = viewInfo->ButtonCount() == 4;
    RECT& forward = viewInfo->ButtonsInfo[sebForward]->Bounds;
    RECT& backward = viewInfo->ButtonsInfo[sebBackward]->Bounds;
    forward = RECT{r.right - h, r.top, r.right, r.bottom};
    r.right -= h;
    if (themed)
        --r.right;
    else if (hotFlat && leftRight) {
        --forward.left;
        --r.right;
    }
    if (leftRight) {
        if (fast) {
            viewInfo->ButtonsInfo[sebFastBackward]->Bounds = RECT{r.left, r.top, r.left + fastWidth, r.bottom};
            r.left += fastWidth;
        }
        const int width = h + (hotFlat ? 1 : 0);
        backward = RECT{r.left, r.top, r.left + width, r.bottom};
        r.left += width;
        return;
    }
    backward = RECT{r.right - h - (hotFlat && !fast ? 1 : 0), r.top, r.right, r.bottom};
    r.right = backward.left;
    if (fast)
        viewInfo->ButtonsInfo[sebFastBackward]->Bounds =
            RECT{r.right - fastWidth - (hotFlat ? 1 : 0), r.top, r.right, r.bottom};
    if (themed)
        viewInfo->DelimiterLine[0] = POINT{backward.right, backward.top},
        viewInfo->DelimiterLine[1] = POINT{backward.right, backward.bottom - 1};
}

void TcxSpinEditViewData::SetThemeParts(TcxSpinEditViewInfo* viewInfo, bool themed)
{
    const bool vertical = viewInfo->ButtonsPosition == sbpVert;
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        int part = 0;
        if (NativeStyle && themed) {
            if (i == sebBackward)
                part = vertical ? SPNP_DOWN : SPNP_DOWNHORZ;
            else if (i == sebForward)
                part = vertical ? SPNP_UP : SPNP_UPHORZ;
            else
                part = i == sebFastBackward ? SPNP_DOWNHORZ : SPNP_UPHORZ;
        }
        viewInfo->ButtonsInfo[static_cast<size_t>(i)]->Data.NativePart = part;
    }
}

void TcxSpinEditViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                    TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    TcxCustomTextEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    const bool themed = NativeStyle && AreVisualStylesMustBeUsed(true, totSpin);
    HTHEME theme = themed ? OpenTheme(totSpin) : nullptr;
    static const int states[] = {4, 1, 3, 2};  // disabled, normal, pressed, selected
    for (auto& info : viewInfo->ButtonsInfo) {
        TcxEditButtonViewInfoData& data = info->Data;
        data.NativeState = theme && data.NativePart != 0 ? states[data.State] : 0;
        data.BackgroundPartiallyTransparent =
            data.NativeState != 0 && IsThemeBackgroundPartiallyTransparent(theme, data.NativePart, data.NativeState);
    }
}

// ---- view info ----------------------------------------------------------------------------------

TClass TcxSpinEditViewInfo::StaticClass()
{
    return DefineClass<TcxSpinEditViewInfo, TcxCustomTextEditViewInfo>("TcxSpinEditViewInfo");
}

void TcxSpinEditViewInfo::InternalPaint(TcxCanvas* canvas)
{
    TcxCustomTextEditViewInfo::InternalPaint(canvas);
    if (ButtonCount() == 0 || ButtonsInfo[0]->Data.NativePart == 0 || ButtonsPosition == sbpHorzLeftRight)
        return;
    const POINT a = DelimiterLine[0], b = DelimiterLine[1];
    FillRectColor(canvas, RECT{a.x, a.y, b.x + 1, b.y + 1}, BackgroundColor());
}

void TcxSpinEditViewInfo::DrawButtonBorder(TcxCanvas* canvas, int index, TcxEditButtonStyle style, RECT& rect)
{
    TcxEditButtonViewInfo* button = ButtonsInfo[static_cast<size_t>(index)].get();
    if (button->Data.NativeState != 0) {
        DrawThemeBackground(OpenTheme(totSpin), canvas->Handle(), button->Data.NativePart, button->Data.NativeState,
                            &button->Bounds, nullptr);
        return;
    }
    switch (style) {
    case bts3D:
    case btsFlat:
    case btsSimple: DrawEditButtonBorder(canvas, this, index, style, rect); break;
    case btsHotFlat: DrawHotFlatButton(canvas, index, rect); break;
    case btsUltraFlat:
    case btsOffice11: DrawUltraFlatButton(canvas, index, rect, style == btsOffice11); break;
    default: break;
    }
}

void TcxSpinEditViewInfo::DrawButtonContent(TcxCanvas* canvas, int index, const RECT& contentRect, TColor fill,
                                            TColor arrowColor)
{
    FillRectColor(canvas, contentRect, fill);
    const TcxEditButtonViewInfo* button = ButtonsInfo[static_cast<size_t>(index)].get();
    static const TcxArrowDirection horizontal[] = {adLeft, adRight, adLeft, adRight};
    static const TcxArrowDirection vertical[] = {adDown, adUp, adLeft, adRight};
    const TcxArrowDirection direction = (ButtonsPosition == sbpVert ? vertical : horizontal)[index & 3];
    const int n = ArrowSize;
    const SIZE size = direction == adUp || direction == adDown ? SIZE{2 * n - 1, n} : SIZE{n, 2 * n - 1};
    const bool isDouble = index >= sebFastBackward;
    if (button->Data.State != ebsDisabled) {
        DrawArrow(canvas, size, contentRect, direction, button->Data.State == ebsPressed, isDouble, arrowColor);
        return;
    }
    DrawArrow(canvas, size, contentRect, direction, true, isDouble, clBtnHighlight);
    DrawArrow(canvas, size, contentRect, direction, false, isDouble, clBtnShadow);
}

int TcxSpinEditViewInfo::HotFlatShape(int button) const
{
    const bool fast = ButtonCount() == 4;
    switch (ButtonsPosition) {
    case sbpHorzLeftRight: {
        static const int shapes[] = {1, 3, 0, 2};
        return shapes[button];
    }
    case sbpHorzRight: {
        static const int shapes[2][4] = {{3, 2, 3, 2}, {2, 2, 3, 2}};
        return shapes[fast][button];
    }
    default: {
        static const int shapes[2][4] = {{7, 6, 3, 2}, {5, 4, 3, 2}};
        return shapes[fast][button];
    }
    }
}

void TcxSpinEditViewInfo::DrawHotFlatButton(TcxCanvas* canvas, int index, RECT& rect)
{
    const TcxEditButtonViewInfoData& d = ButtonsInfo[static_cast<size_t>(index)]->Data;
    TColor fill = clBtnFace, arrow = clBtnText;
    if (d.Transparent)
        fill = d.BackgroundColor;
    else if (d.State == ebsPressed)
        fill = clBtnText;
    else if (d.State == ebsSelected)
        fill = clBtnShadow;
    if (d.State == ebsPressed || d.State == ebsSelected)
        arrow = d.State == ebsSelected && d.Transparent ? clBtnShadow : clBtnHighlight;
    TcxBorders sides = cxBordersAll;
    switch (HotFlatShape(index)) {
    case 0: sides = TcxBorders{bBottom, bLeft, bTop}; ++rect.right; break;
    case 2:
    case 4: sides = TcxBorders{bTop, bRight, bBottom}; --rect.left; break;
    case 5: sides = TcxBorders{bBottom, bRight}; --rect.left; --rect.top; break;
    case 7: sides = TcxBorders{bLeft, bBottom, bRight}; --rect.top; break;
    default: break;
    }
    canvas->FrameRect(rect, clBtnShadow, 1, sides);
    InflateRect(&rect, -1, -1);
    DrawButtonContent(canvas, index, rect, fill, arrow);
}

int TcxSpinEditViewInfo::UltraFlatShape(int button) const
{
    const bool fast = ButtonCount() == 4;
    const bool vertical = ButtonsPosition == sbpVert;
    switch (button) {
    case sebBackward:
        if (vertical)
            return fast ? 4 : 6;
        return ButtonsPosition == sbpHorzLeftRight && ButtonCount() == 2 ? 0 : 1;
    case sebForward:
        if (vertical)
            return fast ? 3 : 5;
        return fast ? 1 : 2;
    case sebFastBackward: return ButtonsPosition == sbpHorzLeftRight ? 0 : 1;
    default: return 2;
    }
}

void TcxSpinEditViewInfo::DrawUltraFlatButton(TcxCanvas* canvas, int index, RECT& rect, bool office)
{
    const TcxEditButtonViewInfoData& d = ButtonsInfo[static_cast<size_t>(index)]->Data;
    const bool quiet = d.State == ebsDisabled || d.State == ebsNormal;
    TColor fill = clBtnFace;
    if (d.Transparent)
        fill = d.BackgroundColor;
    else if (d.State == ebsNormal && office)
        fill = dxOffice11DockColor1;
    else if (!quiet)
        fill = GetEditButtonHighlightColor(d.State == ebsPressed, office);
    const TColor highlight = GetEditBorderHighlightColor(office);
    if (quiet) {
        if (!Transparent)
            canvas->FrameRect(rect, d.BackgroundColor);
        InflateRect(&rect, -1, -1);
    } else if (d.IsInplace) {
        canvas->FrameRect(rect, highlight);
        InflateRect(&rect, -1, -1);
    } else {
        DrawUltraFlatHotFrame(canvas, index, rect, highlight, fill);
    }
    DrawButtonContent(canvas, index, rect, fill, clBtnText);
}

// One pixel on every side, each edge in the highlight or the fill colour by
// the button's shape; the rectangle shrinks past it.
void TcxSpinEditViewInfo::DrawUltraFlatHotFrame(TcxCanvas* canvas, int index, RECT& r, TColor highlight, TColor fill)
{
    const RECT& bounds = ButtonsInfo[static_cast<size_t>(index)]->Bounds;
    const bool atLeftBorder = bounds.left <= BorderExtent.left;
    int shape = UltraFlatShape(index);
    if (shape == 1 && atLeftBorder)
        shape = 0;
    const RECT left{r.left, r.top, r.left + 1, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
    const RECT top{r.left, r.top, r.right, r.top + 1}, bottom{r.left, r.bottom - 1, r.right, r.bottom};
    auto edge = [&](const RECT& e, bool lit) { FillRectColor(canvas, e, lit ? highlight : fill); };
    switch (shape) {
    case 0: edge(top, false), edge(bottom, false), edge(left, false), edge(right, true); break;
    case 1: edge(top, false), edge(bottom, false), edge(left, true), edge(right, true); break;
    case 2: edge(top, false), edge(bottom, false), edge(right, false), edge(left, true); break;
    case 3:
        edge(left, true), edge(bottom, true), edge(right, true);
        edge(RECT{r.left + 1, r.top, r.right - 2, r.top + 1}, false);
        break;
    case 4:
        edge(left, true), edge(top, true), edge(right, true);
        edge(RECT{r.left + 1, r.bottom - 1, r.right - 2, r.bottom}, false);
        break;
    case 5:
        edge(top, false), edge(RECT{r.right - 1, r.top, r.right, r.bottom - 1}, false);
        edge(bottom, true);
        if (atLeftBorder)
            edge(RECT{r.left, r.top, r.left + 1, r.bottom - 1}, false);
        else
            edge(left, true);
        break;
    default:
        edge(bottom, false), edge(RECT{r.right - 1, r.top + 1, r.right, r.bottom}, false);
        edge(top, true);
        if (atLeftBorder)
            edge(RECT{r.left, r.top + 1, r.left + 1, r.bottom}, false);
        else
            edge(left, true);
        break;
    }
    InflateRect(&r, -1, -1);
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomSpinEdit::StaticClass() { return DefineClass<TcxCustomSpinEdit, TcxCustomMaskEdit>("TcxCustomSpinEdit"); }

TClass TcxSpinEdit::StaticClass()
{
    return DefineClass<TcxSpinEdit, TcxCustomSpinEdit>("TcxSpinEdit", [](ClassBuilder<TcxSpinEdit>& b) {
        using C = TcxSpinEdit;
        b.Property("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter).Default(true);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        b.Property("Value", &C::Value, &C::SetValue).Stored(&C::IsValueStored);
    });
}

TClass TcxCustomSpinEditProperties::GetContainerClass() { return TcxSpinEdit::StaticClass(); }
TClass TcxCustomSpinEdit::GetPropertiesClass() const { return TcxSpinEditProperties::StaticClass(); }

void TcxCustomSpinEdit::Construct(TComponent* owner)
{
    TcxCustomMaskEdit::Construct(owner);
    internalValue_ = Variant(0);
    pressedState_ = epsNone;
}

void TcxCustomSpinEdit::Destroy()
{
    timer_.reset();
    TcxCustomMaskEdit::Destroy();
}

TcxCustomEditViewData* TcxCustomSpinEdit::CreateViewData()
{
    TcxCustomEditViewData* viewData = TcxCustomMaskEdit::CreateViewData();
    static_cast<TcxSpinEditViewData*>(viewData)->PressedState = pressedState_;
    return viewData;
}

TcxContainerStyleValues TcxCustomSpinEdit::GetNotPublishedStyleValues() const { return {csvPopupBorderStyle}; }

bool TcxCustomSpinEdit::IsValueStored() const
{
    const Variant value = Value();
    return !(VarIsOrdinal(value) && value.VarType() != varBoolean && value.AsInt64() == 0);
}

void TcxCustomSpinEdit::SetInternalValue(const Variant& value)
{
    internalValue_ = ActiveProperties()->SetVariantType(value);
}

Variant TcxCustomSpinEdit::GetValue()
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    Variant result;
    if (InternalFocused()) {
        if (textIsNewer_)
            PrepareEditValue(Variant(Text()), result, true);
        else
            result = internalValue_;
        if (!VarIsNumericEx(result))
            result = Variant(0);
    } else {
        result = GetEditValue();
        if (!VarIsNumericEx(result) && !VarIsStr(result))
            result = properties->CheckValueBounds(Variant(0));
    }
    try {
        return properties->SetVariantType(result);
    } catch (const Exception&) {
        return Variant(0);
    }
}

void TcxCustomSpinEdit::SetValue(const Variant& value)
{
    if (!VarIsNumericEx(value))
        return;
    Variant copy = value;
    if (ActiveProperties()->IsEditValueValid(copy, InternalFocused()))
        SetEditValue(copy);
}

double TcxCustomSpinEdit::GetIncrement(TcxSpinEditButton button)
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    double step = button == sebBackward || button == sebForward ? properties->Increment() : properties->LargeIncrement();
    if (properties->ValueType() == vtInt)
        step = static_cast<double>(RoundHalfEven(step));
    return IsForward(button) ? step : -step;
}

std::string TcxCustomSpinEdit::IncrementValueToStr(const Variant& value)
{
    Variant displayValue;
    ActiveProperties()->PrepareDisplayValue(value, displayValue, InternalFocused());
    return VarToStr(displayValue);
}

bool TcxCustomSpinEdit::CalculateNewValue(TcxSpinEditButton button, Variant& value)
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    const double min = properties->InternalMinValue(), max = properties->InternalMaxValue();
    const TcxSpinEditBoundsCheckingKind kind = properties->GetBoundsCheckingKind();
    const Variant current = GetValue();
    const double v = current.AsDouble();
    const double step = GetIncrement(button);
    if (max <= min) {
        value = properties->SetVariantType(current + properties->ExtendedToCurrentValueType(step));
        return true;
    }
    double n = v + step;
    if (v < min || v > max) {
        // From outside the range a step towards it lands on the near bound;
        // a step away from it is refused unless the range wraps.
        const bool below = v < min;
        if (below == IsForward(button))
            n = below ? min : max;
        else if (kind == bckCircular)
            n = below ? max : min;
        else
            return false;
    } else if (n < min || n > max) {
        if (kind == bckNone)
            return false;
        if (kind == bckExtendToBound)
            n = n < min ? min : max;
        else {
            // One period may not be enough (a fast step, a fine range): the
            // remainder keeps the value inside, above Max it starts over.
            const double period = max - min + properties->Increment();
            n = min + std::fmod(n - min, period);
            if (n < min)
                n += period;
            if (n > max)
                n = IsForward(button) ? min : max;
        }
    }
    value = properties->SetVariantType(Variant(n));
    return true;
}

bool TcxCustomSpinEdit::Increment(TcxSpinEditButton button)
{
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    if (!DoEditing())
        return false;
    Variant value;
    if (!CalculateNewValue(button, value))
        return false;
    const std::string oldText = Text();
    const std::string newText = IncrementValueToStr(value);
    const int selStart = SelStart(), selLength = SelLength();
    SetInternalValue(value);
    {
        SetUserChange(true);
        quelvo::sys::ScopeGuard clear([this] { SetUserChange(false); });
        SetInternalDisplayValue(Variant(newText));
    }
    if (InternalCompareString(oldText, Text(), true))
        return false;
    AfterIncrement(oldText, selStart, selLength);
    return true;
}

void TcxCustomSpinEdit::AfterIncrement(const std::string&, int selStart, int selLength)
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    SetModifiedAfterEnter(true);
    if (properties->PreserveSelection())
        SetSelection(selStart, selLength);
    else
        SetSelStart(TextCharCount(Text()));
    if (properties->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) {
        InternalPostEditValue(false);
        SynchronizeDisplayValue();
    }
}

bool TcxCustomSpinEdit::IsOnGetValueEventAssigned()
{
    if (ActiveProperties()->OnGetValue)
        return true;
    return Properties() != ActiveProperties() && Properties()->OnGetValue;
}

void TcxCustomSpinEdit::DoOnGetValue(const std::string& text, Variant& value, std::string& errorText, bool& error)
{
    if (Properties()->OnGetValue)
        Properties()->OnGetValue(this, text, value, errorText, error);
    if (Properties() != ActiveProperties() && ActiveProperties()->OnGetValue)
        ActiveProperties()->OnGetValue(this, text, value, errorText, error);
}

bool TcxCustomSpinEdit::InternalPrepareEditValue(const std::string& displayValue, bool raiseError, Variant& editValue,
                                                 std::string& errorText)
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    editValue = Variant();
    errorText.clear();
    const std::string text = Trim(displayValue);
    if (text.empty()) {
        IcxEditDefaultValuesProvider* provider = properties->IDefaultValuesProvider();
        editValue = provider && provider->DefaultRequired() ? properties->CheckValueBounds(Variant(0)) : Variant::Null();
        return true;
    }
    Variant value(0);
    bool error = false;
    long double number = 0;
    if (!TryStrToFloat(text, number)) {
        if (IsOnGetValueEventAssigned()) {
            try {
                DoOnGetValue(displayValue, value, errorText, error);
            } catch (const Exception& e) {
                if (raiseError)
                    throw Exception(e.Message());
                errorText = e.Message();
                return false;
            }
        } else {
            error = true;
        }
    } else if (!properties->IsValueBoundsValid(number)) {
        error = true;
        errorText = cxGetResourceString(cxSEditValueOutOfBounds);
    } else {
        value = properties->ExtendedToCurrentValueType(number);
    }
    if (error) {
        if (errorText.empty())
            errorText = cxGetResourceString(cxSSpinEditInvalidNumericValue);
        if (!properties->ExceptionOnInvalidInput())
            errorText.clear();
        else if (raiseError)
            throw Exception(errorText);
        value = internalValue_;
    }
    editValue = properties->SetVariantType(value);
    return !error;
}

void TcxCustomSpinEdit::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    std::string errorText;
    InternalPrepareEditValue(VarToStr(displayValue), true, editValue, errorText);
}

void TcxCustomSpinEdit::SynchronizeDisplayValue()
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    Variant value = GetEditValue();
    if (properties->IsEditValueValid(value, InternalFocused()))
        internalValue_ = value;
    else
        internalValue_ = properties->SetVariantType(properties->CheckValueBounds(Variant(0)));
    TcxCustomMaskEdit::SynchronizeDisplayValue();
}

void TcxCustomSpinEdit::SynchronizeEditValue()
{
    TcxCustomMaskEdit::SynchronizeEditValue();
    try {
        SetInternalValue(GetEditValue());
    } catch (const Exception&) {
        // A value the type cannot hold keeps the last good number.
    }
}

void TcxCustomSpinEdit::CheckEditorValueBounds()
{
    typing_ = ModifiedAfterEnter();
    quelvo::sys::ScopeGuard clear([this] { typing_ = false; });
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    const double min = properties->InternalMinValue(), max = properties->InternalMaxValue();
    if (max <= min)
        return;
    const double value = GetValue().AsDouble();
    if (value < min)
        SetValue(Variant(min));
    else if (value > max)
        SetValue(Variant(max));
}

void TcxCustomSpinEdit::PropertiesChanged(TObject* sender)
{
    TcxCustomMaskEdit::PropertiesChanged(sender);
    if (!DataBinding()->CanCheckEditorValue() && ModifiedAfterEnter())
        CheckEditorValueBounds();
}

void TcxCustomSpinEdit::ChangeHandler(TObject* sender)
{
    textIsNewer_ = typing_;
    TcxCustomMaskEdit::ChangeHandler(sender);
    typing_ = false;
}

// ---- keys ---------------------------------------------------------------------------------------

bool TcxCustomSpinEdit::IsSteppingKey(WORD key, TShiftState shift)
{
    if (key != VK_UP && key != VK_DOWN && key != VK_PRIOR && key != VK_NEXT)
        return false;
    return !ActiveProperties()->UseCtrlIncrement() || shift.Contains(ssCtrl);
}

void TcxCustomSpinEdit::StepByKey(WORD& key)
{
    TcxSpinEditButton button = sebBackward;
    TcxSpinEditPressedState state = epsDown;
    switch (key) {
    case VK_PRIOR: button = sebFastForward, state = epsFastUp; break;
    case VK_UP: button = sebForward, state = epsUp; break;
    case VK_NEXT: button = sebFastBackward, state = epsFastDown; break;
    default: break;
    }
    SetPressedState(state);
    if (MouseCapture())
        SetMouseCapture(false);
    Increment(button);
    key = 0;
}

void TcxCustomSpinEdit::DoEditKeyDown(WORD& key, TShiftState shift)
{
    // What was typed is the number a step starts from, not the one before it.
    if (textIsNewer_) {
        Variant typed;
        std::string errorText;
        InternalPrepareEditValue(Text(), false, typed, errorText);
        SetInternalValue(typed);
    }
    textIsNewer_ = false;
    if (IsSteppingKey(key, shift)) {
        if (!DataBinding()->GetModified() && !DoEditing())
            return;
        StepByKey(key);
        return;
    }
    StopTracking();
    if (key != VK_ESCAPE)
        typing_ = true;
    if (!ActiveProperties()->CanEdit() && CanKeyDownModifyEdit(key, shift)) {
        DoAfterKeyDown(key, shift);
        key = 0;
        return;
    }
    TcxCustomMaskEdit::DoEditKeyDown(key, shift);
}

void TcxCustomSpinEdit::DoEditKeyUp(WORD& key, TShiftState shift)
{
    typing_ = false;
    const WORD original = key;
    TcxCustomMaskEdit::DoEditKeyUp(key, shift);
    if (original == VK_UP || original == VK_DOWN || original == VK_PRIOR || original == VK_NEXT)
        StopTracking();
}

void TcxCustomSpinEdit::DoEditKeyPress(char& key)
{
    if (key == ',' || key == '.')
        key = FormatSettings().DecimalSeparator;
    if (key == '\b' || static_cast<unsigned char>(key) >= 32) {
        if (!IsValidChar(key)) {
            key = 0;
            MessageBeep(0);
            return;
        }
        typing_ = true;
    }
    TcxCustomMaskEdit::DoEditKeyPress(key);
}

bool TcxCustomSpinEdit::IsValidChar(char key)
{
    TcxCustomSpinEditProperties* properties = ActiveProperties();
    const auto c = static_cast<unsigned char>(key);
    if (properties->CanEdit() && IsOnGetValueEventAssigned())
        return true;
    if (!properties->CanEdit())
        return c < 32 && key != '\b';
    if (c < 32 || (key >= '0' && key <= '9') || key == '+' || key == '-' || key == 'E' || key == 'e')
        return true;
    if (properties->ValueType() == vtFloat && key == FormatSettings().DecimalSeparator)
        return true;
    return properties->ValidChars()[c];
}

// ---- mouse, timer and clipboard -----------------------------------------------------------------

void TcxCustomSpinEdit::SetPressedState(TcxSpinEditPressedState value)
{
    if (ViewInfo()->ButtonCount() == 0 || value == pressedState_)
        return;
    pressedState_ = value;
    ShortRefreshContainer(false);
    for (const auto& button : ViewInfo()->ButtonsInfo)
        InternalInvalidateRect(this, button->Bounds, false);
}

void TcxCustomSpinEdit::StopTracking()
{
    SetPressedState(epsNone);
    for (int i = 0; i < std::min(2, ViewInfo()->ButtonCount()); ++i) {
        TcxEditButtonViewInfo* button = ViewInfo()->ButtonsInfo[static_cast<size_t>(i)].get();
        if (button->Data.State != ebsPressed)
            continue;
        button->Data.State = ebsNormal;
        InternalInvalidateRect(this, button->Bounds, false);
    }
    timer_.reset();
    if (MouseCapture())
        SetMouseCapture(false);
}

void TcxCustomSpinEdit::DoButtonDown(int buttonVisibleIndex)
{
    TcxCustomMaskEdit::DoButtonDown(buttonVisibleIndex);
    const int pressed = ViewInfo()->PressedButton;
    if (pressedState_ == epsNone && pressed != -1)
        Increment(static_cast<TcxSpinEditButton>(ViewInfo()->ButtonsInfo[static_cast<size_t>(pressed)]->ButtonIndex));
    // A button held by a key repeats with the keyboard, not with a timer.
    if (pressedState_ != epsNone || ActiveProperties()->ReadOnly() || !DataBinding()->GetIsDataAvailable())
        return;
    timer_ = MakeObject<TTimer>(static_cast<TComponent*>(nullptr));
    timer_->SetInterval(kFirstRepeatDelay);
    timer_->OnTimer = TNotifyEvent::Bind(this, &TcxCustomSpinEdit::HandleTimer);
    timer_->SetEnabled(true);
}

void TcxCustomSpinEdit::HandleTimer(TObject*)
{
    if (timer_ && timer_->Interval() == kFirstRepeatDelay)
        timer_->SetInterval(kRepeatInterval);
    const int pressed = ViewInfo()->PressedButton;
    if (pressed != -1)
        Increment(static_cast<TcxSpinEditButton>(ViewInfo()->ButtonsInfo[static_cast<size_t>(pressed)]->ButtonIndex));
}

void TcxCustomSpinEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomMaskEdit::MouseUp(button, shift, x, y);
    StopTracking();
}

void TcxCustomSpinEdit::FocusChanged()
{
    TcxCustomMaskEdit::FocusChanged();
    StopTracking();
}

void TcxCustomSpinEdit::DblClick()
{
    TcxCustomMaskEdit::DblClick();
    POINT p{};
    GetCursorPos(&p);
    if (ButtonVisibleIndexAt(ScreenToClient(p)) == -1)
        StopTracking();
}

bool TcxCustomSpinEdit::RefreshContainer(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    const bool result = TcxCustomMaskEdit::RefreshContainer(p, button, shift, isMouseEvent);
    if (ViewInfo()->ButtonCount() > 0 && ViewInfo()->PressedButton == -1 && CapturedButtonIndex() == -1 &&
        (timer_ || pressedState_ != epsNone))
        StopTracking();
    return result;
}

bool TcxCustomSpinEdit::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    if (TcxCustomMaskEdit::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (wheelDelta == 0 || !HandleMouseWheel(shift))
        return false;
    Increment(wheelDelta > 0 ? sebForward : sebBackward);
    return true;
}

void TcxCustomSpinEdit::CutToClipboard()
{
    if (IsUserChange() && !ActiveProperties()->CanEdit())
        return;
    TcxCustomMaskEdit::CutToClipboard();
}

void TcxCustomSpinEdit::PasteFromClipboard()
{
    if (IsUserChange() && !ActiveProperties()->CanEdit())
        return;
    typing_ = true;
    quelvo::sys::ScopeGuard clear([this] { typing_ = false; });
    TcxCustomMaskEdit::PasteFromClipboard();
}

// ---- unit start-up ------------------------------------------------------------------------------

namespace {
constinit TcxEditUnitStarts gUnitStarts;
}  // namespace

void cxSpinEditInitialize()
{
    if (gUnitStarts.Start())
        GetRegisteredEditProperties()->Register(TcxSpinEditProperties::StaticClass(),
                                                cxGetResourceString(scxSEditRepositorySpinItem));
}

void cxSpinEditFinalize() { gUnitStarts.End(); }
