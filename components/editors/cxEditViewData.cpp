#include "components/editors/cxEditViewData.h"

#include <algorithm>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Reduced(const RECT& r, const RECT& extent)
{
    return RECT{r.left + extent.left, r.top + extent.top, r.right - extent.right, r.bottom - extent.bottom};
}

bool Contains(const RECT& r, const POINT& p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Outer minus inner as four strips; all of outer when inner is empty.
void InvalidateRing(HWND window, const RECT& outer, const RECT& inner, bool erase)
{
    if (IsEmptyRect(inner)) {
        ::InvalidateRect(window, &outer, erase);
        return;
    }
    const RECT strips[] = {{outer.left, outer.top, inner.left, outer.bottom},
                           {inner.left, outer.top, inner.right, inner.top},
                           {inner.right, outer.top, outer.right, outer.bottom},
                           {inner.left, inner.bottom, inner.right, outer.bottom}};
    for (const RECT& r : strips)
        if (!IsEmptyRect(r))
            ::InvalidateRect(window, &r, erase);
}

TcxEditButtonStyle ButtonStyleByLookAndFeel(TcxLookAndFeelKind kind)
{
    switch (kind) {
    case lfFlat: return btsFlat;
    case lfStandard: return bts3D;
    case lfUltraFlat: return btsUltraFlat;
    default: return btsOffice11;
    }
}

TcxEditButtonStyle ButtonStyleByBorder(TcxEditBorderStyle border)
{
    static const TcxEditButtonStyle styles[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat, btsOffice11};
    return styles[border];
}

} // namespace

// ---- TcxEditButtonViewInfo ---------------------------------------------------------

TClass TcxEditButtonViewInfo::StaticClass()
{
    return DefineClass<TcxEditButtonViewInfo, TPersistent>("TcxEditButtonViewInfo");
}

void TcxEditButtonViewInfo::Assign(TPersistent* source)
{
    auto* other = As<TcxEditButtonViewInfo>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    Bounds = other->Bounds;
    VisibleBounds = other->VisibleBounds;
    Data.BackgroundColor = other->Data.BackgroundColor;
    Data.Style = other->Data.Style;
    Data.State = other->Data.State;
    Data.NativeState = other->Data.NativeState;
}

bool TcxEditButtonViewInfo::DiffersFrom(const TcxEditButtonViewInfo* other) const
{
    return Data.Style != other->Data.Style || Data.State != other->Data.State ||
           Data.BackgroundColor != other->Data.BackgroundColor || Data.NativeState != other->Data.NativeState;
}

TcxRegion* TcxEditButtonViewInfo::GetUpdateRegion(TcxEditButtonViewInfo* viewInfo)
{
    return DiffersFrom(viewInfo) ? new TcxRegion(Bounds) : new TcxRegion();
}

bool TcxEditButtonViewInfo::Repaint(TWinControl* control, TcxEditButtonViewInfo* viewInfo, const POINT& offset)
{
    if (!DiffersFrom(viewInfo))
        return false;
    RECT r = Bounds;
    OffsetRect(&r, offset.x, offset.y);
    if (control->HandleAllocated())
        ::InvalidateRect(control->Handle(), &r, HasBackground);
    return true;
}

// ---- TcxCustomEditViewInfo ---------------------------------------------------------

TClass TcxCustomEditViewInfo::StaticClass()
{
    return DefineClass<TcxCustomEditViewInfo, TcxContainerViewInfo>("TcxCustomEditViewInfo");
}

void TcxCustomEditViewInfo::SetButtonCount(int count)
{
    count = std::max(count, 0);
    while (ButtonCount() > count)
        ButtonsInfo.pop_back();
    while (ButtonCount() < count)
        ButtonsInfo.emplace_back(CreateInstance<TcxEditButtonViewInfo>(GetButtonViewInfoClass()));
}

void TcxCustomEditViewInfo::InternalPaint(TcxCanvas* canvas) { DrawCustomEdit(canvas, this, true, bpsSolid); }

void TcxCustomEditViewInfo::PaintEx(TcxCanvas* canvas)
{
    const POINT origin = canvas->WindowOrg();
    canvas->SetWindowOrg(POINT{origin.x - Left, origin.y - Top});
    quelvo::sys::ScopeGuard restore([canvas, origin] { canvas->SetWindowOrg(origin); });
    Paint(canvas);
}

void TcxCustomEditViewInfo::DrawButton(TcxCanvas* canvas, int buttonVisibleIndex)
{
    DrawEditButton(canvas, this, buttonVisibleIndex);
}

void TcxCustomEditViewInfo::DrawButtonBorder(TcxCanvas* canvas, int buttonVisibleIndex, TcxEditButtonStyle style,
                                             RECT& rect)
{
    DrawEditButtonBorder(canvas, this, buttonVisibleIndex, style, rect);
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* canvas, int buttonVisibleIndex, const RECT& contentRect,
                                              TColor backgroundColor, TColor foregroundColor)
{
    DrawEditButtonContent(canvas, this, buttonVisibleIndex, contentRect, backgroundColor, foregroundColor);
}

bool TcxCustomEditViewInfo::IsHotTrack() const
{
    return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(),
                       [](const auto& button) { return button->Data.State == ebsSelected; });
}

bool TcxCustomEditViewInfo::IsHotTrack(POINT p) const
{
    p.x -= Left;
    p.y -= Top;
    return std::any_of(ButtonsInfo.begin(), ButtonsInfo.end(),
                       [&p](const auto& button) { return Contains(button->Bounds, p); });
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine)
{
    RECT textRect{};
    return NeedShowHint(canvas, p, cxEmptyRect, text, isMultiLine, textRect);
}

bool TcxCustomEditViewInfo::NeedShowHint(TcxCanvas*, const POINT&, const RECT&, std::string& text, bool&, RECT&)
{
    text.clear();
    return false;
}

void TcxCustomEditViewInfo::Offset(int dx, int dy)
{
    TcxContainerViewInfo::Offset(dx, dy);
    OffsetRect(&InnerEditRect, dx, dy);
    OffsetRect(&ShadowRect, dx, dy);
    for (auto& button : ButtonsInfo) {
        OffsetRect(&button->Bounds, dx, dy);
        OffsetRect(&button->VisibleBounds, dx, dy);
    }
}

void TcxCustomEditViewInfo::Assign(TcxContainerViewInfo* source)
{
    if (auto* other = As<TcxCustomEditViewInfo>(source)) {
        SetBackgroundColor(other->BackgroundColor());
        BorderColor = other->BorderColor;
        EditBorderStyle = other->EditBorderStyle;
        ContainerState = other->ContainerState;
        NativeState = other->NativeState;
        SetButtonCount(other->ButtonCount());
        for (int i = 0; i < ButtonCount(); ++i)
            ButtonsInfo[static_cast<size_t>(i)]->Assign(other->ButtonsInfo[static_cast<size_t>(i)].get());
        PressedButton = other->PressedButton;
        SelectedButton = other->SelectedButton;
    }
    TcxContainerViewInfo::Assign(source);
}

bool TcxCustomEditViewInfo::NeedsFullRepaint(const TcxCustomEditViewInfo* old) const
{
    return NativeState != old->NativeState || BackgroundColor() != old->BackgroundColor() ||
           ButtonCount() != old->ButtonCount() ||
           (ContainerState != old->ContainerState && IsRepaintOnStateChangingNeeded());
}

void TcxCustomEditViewInfo::RepaintWhole(TWinControl* control, const RECT& innerEditRect)
{
    RECT r = Bounds;
    OffsetRect(&r, Left, Top);
    if (control->HandleAllocated())
        InvalidateRing(control->Handle(), r, innerEditRect, HasBackground);
}

bool TcxCustomEditViewInfo::Repaint(TWinControl* control, TcxContainerViewInfo* viewInfo, const RECT& innerEditRect)
{
    auto* old = As<TcxCustomEditViewInfo>(viewInfo);
    if (!old) {
        RepaintWhole(control, innerEditRect);
        return false;
    }
    RECT r = cxEmptyRect;
    if (NeedsFullRepaint(old))
        r = Bounds;
    else if ((HasBorder() && BorderColor != old->BorderColor) || EditBorderStyle != old->EditBorderStyle)
        r = Bounds;
    bool repainted = false;
    if (!IsEmptyRect(r) && !EqualRect(&r, &innerEditRect)) {
        RepaintWhole(control, innerEditRect);
        repainted = true;
    }
    if (ButtonCount() == old->ButtonCount())
        for (int i = 0; i < ButtonCount(); ++i)
            repainted = ButtonsInfo[static_cast<size_t>(i)]->Repaint(
                            control, old->ButtonsInfo[static_cast<size_t>(i)].get(), POINT{Left, Top}) ||
                        repainted;
    return repainted;
}

TcxRegion* TcxCustomEditViewInfo::GetUpdateRegion(TcxContainerViewInfo* viewInfo)
{
    TcxRegion* region = TcxContainerViewInfo::GetUpdateRegion(viewInfo);
    auto* old = As<TcxCustomEditViewInfo>(viewInfo);
    if (!old)
        return region;
    bool sameFrame = BorderColor == old->BorderColor && EditBorderStyle == old->EditBorderStyle &&
                     ButtonCount() == old->ButtonCount() && NativeState == old->NativeState;
    if (!sameFrame) {
        if (!IsEmptyRect(Bounds))
            region->Combine(new TcxRegion(Bounds), roAdd);
        return region;
    }
    for (int i = 0; i < ButtonCount(); ++i)
        region->Combine(
            ButtonsInfo[static_cast<size_t>(i)]->GetUpdateRegion(old->ButtonsInfo[static_cast<size_t>(i)].get()),
            roAdd);
    return region;
}

bool TcxCustomEditViewInfo::HasBorder() const { return EditBorderStyle != ebsNone; }

// ---- TcxCustomEditViewData ---------------------------------------------------------

TClass TcxCustomEditViewData::StaticClass()
{
    return DefineClass<TcxCustomEditViewData, TPersistent>("TcxCustomEditViewData");
}

void TcxCustomEditViewData::Construct(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, bool isInplace)
{
    properties_ = properties;
    style_ = style;
    IsInplace = isInplace;
    Initialize();
    SelTextColor = clDefault;
    SelBackgroundColor = clDefault;
    InitCacheData();
}

void TcxCustomEditViewData::Initialize()
{
    ContentOffset = cxEmptyRect;
    Enabled = true;
}

void TcxCustomEditViewData::InitCacheData()
{
    ButtonVisibleCount = properties_->Buttons()->VisibleCount();
    IsValueSource = properties_->GetEditValueSource(false) != evsValue;
    TcxEditAlignment* alignment = properties_->Alignment();
    HorzAlignment = alignment->Horz();
    VertAlignment = alignment->Vert();
    NativeStyle = IsNativeStyle(style_->LookAndFeel());
}

bool TcxCustomEditViewData::CanPressButton(TcxCustomEditViewInfo*, int) { return true; }
bool TcxCustomEditViewData::IsButtonPressed(TcxCustomEditViewInfo*, int) { return false; }
std::string TcxCustomEditViewData::InternalEditValueToDisplayText(const Variant&) { return {}; }
SIZE TcxCustomEditViewData::InternalGetEditContentSize(TcxCanvas*, const Variant&, const TcxEditSizeProperties&)
{
    return SIZE{0, 0};
}
void TcxCustomEditViewData::EditValueToDrawValue(TcxCanvas*, const Variant&, TcxCustomEditViewInfo*) {}
void TcxCustomEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo* buttonViewInfo)
{
    CalculateEditButtonState(buttonViewInfo);
}
RECT TcxCustomEditViewData::GetBorderExtent() { return GetEditBorderExtent(this); }
RECT TcxCustomEditViewData::GetButtonsExtent(TcxCanvas* canvas) { return GetEditButtonsExtent(canvas, this); }
bool TcxCustomEditViewData::HasShadow() { return IsShadowDrawingNeeded(this); }
TColor TcxCustomEditViewData::GetBorderColor() { return GetEditBorderColor(this); }

bool TcxCustomEditViewData::IsNativeStyle(TcxLookAndFeel* lookAndFeel)
{
    return lookAndFeel && AreVisualStylesMustBeUsed(lookAndFeel->NativeStyle(), totEdit);
}

TcxEditBorderStyle TcxCustomEditViewData::CorrectBorderStyle(TcxEditBorderStyle style)
{
    return style == ebsUltraFlat || style == ebsOffice11 ? ebsSingle : style;
}

TcxEditBorderStyle TcxCustomEditViewData::GetBorderStyle()
{
    return IsInplace ? ebsNone : CorrectBorderStyle(style_->BorderStyle());
}

void TcxCustomEditViewData::EditValueToDisplayText(const Variant& editValue, std::string& text)
{
    Variant copy = editValue;
    text = InternalEditValueToDisplayText(copy);
    DoOnGetDisplayText(text);
}

void TcxCustomEditViewData::DoOnGetDisplayText(std::string& text)
{
    if (OnGetDisplayText)
        OnGetDisplayText(this, text);
}

// ---- Calculate ---------------------------------------------------------------------

void TcxCustomEditViewData::CalculateEx(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                        TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    RECT r = bounds;
    OffsetRect(&r, -bounds.left, -bounds.top);
    Calculate(canvas, r, POINT{p.x - bounds.left, p.y - bounds.top}, button, shift, viewInfo, isMouseEvent);
    viewInfo->Left = bounds.left;
    viewInfo->Top = bounds.top;
}

void TcxCustomEditViewData::CalculateState(const RECT& bounds, const POINT& p, bool isMouseEvent,
                                           TcxCustomEditViewInfo* viewInfo)
{
    TcxContainerState state{csNormal};
    if (!Enabled)
        state = {csDisabled};
    else if (!IsDesigning) {
        state = Focused ? TcxContainerState{csActive} : TcxContainerState{csNormal};
        RECT visible = IsEmptyRect(VisibleBounds) ? Reduced(bounds, ContentOffset) : VisibleBounds;
        if (Contains(visible, p) && (!isMouseEvent || IsMouseCaptured))
            state.Include(csHotTrack);
    }
    viewInfo->ContainerState = state;
    Selected = state.Contains(csActive) || state.Contains(csHotTrack);
    if (IsDesigning || !style_->HotTrack() || IsInplace)
        viewInfo->HotState = chsNoHotTrack;
    else
        viewInfo->HotState = Selected ? chsSelected : chsNormal;
    viewInfo->EditBorderStyle = IsInplace || !NativeStyle ? GetBorderStyle() : style_->GetEditBaseStyle()->BorderStyle();
}

void TcxCustomEditViewData::CalculateViewInfoFields(const RECT& bounds, TcxCustomEditViewInfo* viewInfo)
{
    Bounds = bounds;
    viewInfo->Bounds = bounds;
    viewInfo->Enabled = Enabled;
    viewInfo->Focused = Focused;
    viewInfo->HasInnerEdit = InnerEdit && InnerEdit->Visible();
    viewInfo->IsDesigning = IsDesigning;
    viewInfo->IsInplace = IsInplace;
    viewInfo->IsSelected = IsSelected;
    viewInfo->PaintOptions = PaintOptions;
    viewInfo->Edges = style_->Edges();
    viewInfo->Font = style_->IsHolder() ? style_->Font() : style_->GetVisibleFont();
    viewInfo->Shadow = !IsInplace && HasShadow();
    viewInfo->BorderStyle = viewInfo->GetContainerBorderStyle();
    viewInfo->BorderWidth = GetContainerBorderWidth(viewInfo->BorderStyle);
}

void TcxCustomEditViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                      TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    shift = shift - TShiftState{ssShift, ssAlt, ssCtrl};
    const int borderWidth = GetContainerBorderWidth(viewInfo->GetContainerBorderStyle());
    CalculateState(bounds, p, isMouseEvent, viewInfo);
    if (!IsInplace && !NativeStyle && GetContainerBorderWidth(viewInfo->GetContainerBorderStyle()) < borderWidth)
        CalculateState(bounds, p, isMouseEvent, viewInfo);
    viewInfo->EditProperties = properties_;
    ContainerState = viewInfo->ContainerState;
    ButtonsOnlyStyle = IsInplace ? properties_->ButtonsViewStyle() != bvsNormal && bounds.right != INT_MAX
                                 : properties_->ButtonsViewStyle() == bvsButtonsOnly;
    CalculateViewInfoFields(bounds, viewInfo);
    CalculateCustomEditViewInfo(this, viewInfo);
    CalculateButtonsViewInfo(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    viewInfo->ClientRect = Reduced(bounds, GetClientExtent(canvas, viewInfo));
    viewInfo->InnerEditRect = InnerEdit ? InnerEdit->BoundsRect() : viewInfo->ClientRect;
    TcxEditPopupBorderStyle popup = style_->PopupBorderStyle();
    if (popup == epbsDefault) {
        static const TcxEditPopupBorderStyle byKind[] = {epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};
        if (IsInplace)
            popup = byKind[style_->LookAndFeel()->Kind()];
        else
            popup = viewInfo->EditBorderStyle == ebsNone || viewInfo->EditBorderStyle == ebsFlat ? epbsFlat : epbsSingle;
    }
    viewInfo->PopupBorderStyle = popup;
}

RECT TcxCustomEditViewData::GetClientExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo)
{
    RECT extent = GetBorderExtent();
    if (properties_->ButtonsViewStyle() != bvsNormal && viewInfo->ButtonCount() > 0) {
        RECT buttons = GetButtonsExtent(canvas);
        extent.left = buttons.left;
        extent.right = buttons.right;
    }
    if (HScrollBarVisible)
        extent.bottom += GetSystemMetrics(SM_CYHSCROLL);
    if (VScrollBarVisible)
        extent.right += GetSystemMetrics(SM_CXVSCROLL);
    for (const auto& button : viewInfo->ButtonsInfo) {
        if (button->Data.LeftAlignment)
            extent.left = std::max(extent.left, static_cast<LONG>(button->Bounds.right - viewInfo->Bounds.left));
        else
            extent.right = std::max(extent.right, static_cast<LONG>(viewInfo->Bounds.right - button->Bounds.left));
    }
    return extent;
}

// ---- buttons -----------------------------------------------------------------------

bool TcxCustomEditViewData::ButtonsHidden() const
{
    if (ButtonVisibleCount == 0)
        return true;
    if (ContainerState.Contains(csActive))
        return false;
    TcxEditButtonTransparency transparency = style_->ButtonTransparency();
    return transparency == ebtHideInactive ||
           (!ContainerState.Contains(csHotTrack) && transparency == ebtHideUnselected);
}

TcxEditButtonStyle TcxCustomEditViewData::ResolveButtonStyle()
{
    TcxEditButtonStyle style = style_->ButtonStyle();
    if (style != btsDefault)
        return style;
    return IsInplace ? ButtonStyleByLookAndFeel(style_->LookAndFeel()->Kind())
                     : ButtonStyleByBorder(style_->BorderStyle());
}

void TcxCustomEditViewData::CalculateButtonsViewInfo(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                                     TcxMouseButton button, TShiftState shift,
                                                     TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    if (ButtonsHidden()) {
        viewInfo->SetButtonCount(0);
        return;
    }
    viewInfo->SetButtonCount(ButtonVisibleCount);
    viewInfo->IsButtonReallyPressed = false;
    const int previousPressed = isMouseEvent ? viewInfo->PressedButton : -1;
    viewInfo->PressedButton = viewInfo->SelectedButton = -1;
    LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
    RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;
    RECT buttonsRect = Reduced(bounds, GetButtonsExtent(canvas));
    const int widthBefore = buttonsRect.right - buttonsRect.left;
    PlaceButtons(canvas, viewInfo, buttonsRect);
    const int extra = buttonsRect.right - buttonsRect.left;
    if (ButtonsOnlyStyle && extra > 0)
        StretchButtons(viewInfo, extra, widthBefore - extra);
    CalculateButtonStates(p, button, shift, viewInfo, isMouseEvent, previousPressed);
    MarkButtonEdges(viewInfo, buttonsRect);
}

void TcxCustomEditViewData::PlaceButtons(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, RECT& buttonsRect)
{
    const TcxEditButtonStyle style = ResolveButtonStyle();
    TcxEditButtons* buttons = properties_->Buttons();
    bool fontPrepared = false;
    int visibleIndex = ButtonVisibleCount - 1;
    for (int i = buttons->Count() - 1; i >= 0 && visibleIndex >= 0; --i) {
        TcxEditButton* b = buttons->Items(i);
        if (!b->Visible())
            continue;
        if (b->Kind() == bkText && !fontPrepared) {
            canvas->SetFont(style_->GetVisibleFont());
            viewInfo->PrepareCanvasFont(canvas);
            fontPrepared = true;
        }
        TcxEditButtonViewInfo* info = viewInfo->ButtonsInfo[static_cast<size_t>(visibleIndex)].get();
        info->ButtonIndex = i;
        info->Data.Style = style;
        CalculateButtonViewInfo(canvas, viewInfo, visibleIndex, buttonsRect);
        CalculateButtonBounds(canvas, viewInfo, visibleIndex, buttonsRect);
        --visibleIndex;
    }
}

void TcxCustomEditViewData::CalculateButtonViewInfo(TcxCanvas*, TcxCustomEditViewInfo* viewInfo,
                                                    int buttonVisibleIndex, RECT&)
{
    TcxEditButtonViewInfo* info = viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)].get();
    TcxEditButton* b = properties_->Buttons()->Items(info->ButtonIndex);
    TcxEditButtonViewInfoData& data = info->Data;
    data.ComboBoxStyle = ButtonVisibleCount == 1 && b->Kind() == bkDown;
    data.Kind = b->Kind();
    if (b->Kind() == bkText) {
        data.Caption = b->Caption();
        data.TextColor = b->TextColor();
        data.VisibleCaption = b->VisibleCaption();
    }
    data.Default = b->Default();
    info->Glyph = b->Glyph();
    info->HasBackground = viewInfo->HasBackground;
    data.IsInplace = IsInplace;
    data.LeftAlignment = b->LeftAlignment();
    data.Leftmost = data.Rightmost = false;
    data.NativeStyle = viewInfo->NativeStyle;
    info->Stretchable = b->Stretchable();
    info->Width = b->Width();
    const TcxEditButtonTransparency transparency = style_->ButtonTransparency();
    data.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
    data.BackgroundColor = viewInfo->BackgroundColor();
}

void TcxCustomEditViewData::CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo,
                                                  int buttonVisibleIndex, RECT& buttonsRect)
{
    TcxEditButtonViewInfo* info = viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)].get();
    if (IsEmptyRect(buttonsRect)) {
        info->Bounds = info->VisibleBounds = cxEmptyRect;
        return;
    }
    const int w = CalculateEditDefaultButtonWidth(canvas, info);
    const int v = std::min(w, static_cast<int>(buttonsRect.right - buttonsRect.left));
    if (info->Data.LeftAlignment) {
        info->Bounds = RECT{buttonsRect.left, buttonsRect.top, buttonsRect.left + w, buttonsRect.bottom};
        info->VisibleBounds = RECT{buttonsRect.left, buttonsRect.top, buttonsRect.left + v, buttonsRect.bottom};
        buttonsRect.left += v;
        if (LeftSideLeftmostButtonIndex < 0)
            LeftSideLeftmostButtonIndex = buttonVisibleIndex;
        LeftSideRightmostButtonIndex = buttonVisibleIndex;
    } else {
        info->Bounds = RECT{buttonsRect.right - w, buttonsRect.top, buttonsRect.right, buttonsRect.bottom};
        info->VisibleBounds = RECT{buttonsRect.right - v, buttonsRect.top, buttonsRect.right, buttonsRect.bottom};
        buttonsRect.right -= v;
        if (RightSideRightmostButtonIndex < 0)
            RightSideRightmostButtonIndex = buttonVisibleIndex;
        RightSideLeftmostButtonIndex = buttonVisibleIndex;
    }
}

// The extra width W goes to the stretchable buttons (all of them when none
// is) by their share of the width; the last one handled takes the remainder.
void TcxCustomEditViewData::StretchButtons(TcxCustomEditViewInfo* viewInfo, int extra, int taken)
{
    auto& buttons = viewInfo->ButtonsInfo;
    const bool anyStretchable =
        std::any_of(buttons.begin(), buttons.end(), [](const auto& b) { return b->Stretchable; });
    auto takesPart = [anyStretchable](const TcxEditButtonViewInfo* b) { return !anyStretchable || b->Stretchable; };
    int total = taken, last = -1;
    if (anyStretchable) {
        total = 0;
        for (const auto& b : buttons)
            total += b->Stretchable ? static_cast<int>(b->Bounds.right - b->Bounds.left) : 0;
    }
    for (int i = viewInfo->ButtonCount() - 1; i >= 0; --i)
        if (takesPart(buttons[static_cast<size_t>(i)].get()))
            last = i;
    if (total <= 0)
        return;
    int given = 0;
    for (int i = viewInfo->ButtonCount() - 1; i >= 0; --i) {
        TcxEditButtonViewInfo* b = buttons[static_cast<size_t>(i)].get();
        if (!takesPart(b))
            continue;
        const int e = i == last ? extra - given : static_cast<int>(b->Bounds.right - b->Bounds.left) * extra / total;
        given += e;
        GrowButton(viewInfo, i, e);
    }
}

// Grows a button by e on the side away from its edge and moves the inner
// buttons of its side along.
void TcxCustomEditViewData::GrowButton(TcxCustomEditViewInfo* viewInfo, int visibleIndex, int e)
{
    TcxEditButtonViewInfo* b = viewInfo->ButtonsInfo[static_cast<size_t>(visibleIndex)].get();
    const bool left = b->Data.LeftAlignment;
    if (left) {
        b->Bounds.right += e;
        b->VisibleBounds.right = b->Bounds.right;
    } else {
        b->Bounds.left -= e;
        b->VisibleBounds.left = b->Bounds.left;
    }
    for (int j = visibleIndex - 1; j >= 0; --j) {
        TcxEditButtonViewInfo* other = viewInfo->ButtonsInfo[static_cast<size_t>(j)].get();
        if (other->Data.LeftAlignment != left)
            continue;
        OffsetRect(&other->Bounds, left ? e : -e, 0);
        other->VisibleBounds = other->Bounds;
    }
}

void TcxCustomEditViewData::CalculateButtonStates(const POINT& p, TcxMouseButton button, TShiftState shift,
                                                  TcxCustomEditViewInfo* viewInfo, bool isMouseEvent,
                                                  int previousPressed)
{
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        TcxEditButtonViewInfo* info = viewInfo->ButtonsInfo[static_cast<size_t>(i)].get();
        CalculateButtonState(info, i, IsButtonPressed(viewInfo, i), p, button, shift, viewInfo, isMouseEvent,
                             previousPressed);
        CalculateButtonNativeInfo(info);
    }
}

void TcxCustomEditViewData::CalculateButtonState(TcxEditButtonViewInfo* info, int i, bool pressed, const POINT& p,
                                                 TcxMouseButton mouseButton, TShiftState shift,
                                                 TcxCustomEditViewInfo* viewInfo, bool isMouseEvent,
                                                 int previousPressed)
{
    const TcxEditButtonState was = info->Data.State;
    if (!Enabled || !properties_->Buttons()->Items(info->ButtonIndex)->Enabled()) {
        info->Data.State = ebsDisabled;
        return;
    }
    if (!pressed && (IsDesigning || !Contains(info->VisibleBounds, p))) {
        info->Data.State = ebsNormal;
        return;
    }
    const bool leftHeld = shift.Contains(ssLeft);
    const bool leftOnly = shift == TShiftState{ssLeft} || shift == TShiftState{ssLeft, ssDouble};
    const bool leftEvent = isMouseEvent && mouseButton == cxmbLeft;
    const bool captured = mouseButton == cxmbNone && leftHeld && was == ebsNormal && i == GetCaptureButtonVisibleIndex();
    const bool heldPressed = was == ebsPressed && leftHeld;
    if (pressed || (leftEvent && leftOnly) || heldPressed || captured)
        viewInfo->IsButtonReallyPressed = true;
    if (!pressed && shift.Empty() && !captured) {
        info->Data.State = ebsSelected;
        viewInfo->SelectedButton = i;
    } else if (pressed || (captured && CanPressButton(viewInfo, i)) ||
               (leftOnly && ((leftEvent && CanPressButton(viewInfo, i)) || i == previousPressed)) || heldPressed) {
        info->Data.State = ebsPressed;
        viewInfo->PressedButton = i;
    } else {
        info->Data.State = ebsNormal;
    }
}

void TcxCustomEditViewData::MarkButtonEdges(TcxCustomEditViewInfo* viewInfo, const RECT& buttonsRect)
{
    auto at = [viewInfo](int index) { return viewInfo->ButtonsInfo[static_cast<size_t>(index)].get(); };
    const bool leftSide = LeftSideLeftmostButtonIndex >= 0, rightSide = RightSideRightmostButtonIndex >= 0;
    if (leftSide) {
        at(LeftSideLeftmostButtonIndex)->Data.Leftmost = true;
        if (!(ButtonsOnlyStyle && rightSide))
            at(LeftSideRightmostButtonIndex)->Data.Rightmost = true;
    }
    if (rightSide) {
        if (!(ButtonsOnlyStyle && leftSide))
            at(RightSideLeftmostButtonIndex)->Data.Leftmost = true;
        at(RightSideRightmostButtonIndex)->Data.Rightmost = true;
    }
    if (ButtonsOnlyStyle) {
        for (auto& b : viewInfo->ButtonsInfo)
            b->Data.LeftAlignment = false;
        return;
    }
    // A hot-flat inner button overlaps the text area by one pixel.
    auto widen = [&](int index, int dx, bool visibleToo) {
        TcxEditButtonViewInfo* b = at(index);
        if (b->Data.Style != btsHotFlat || b->Data.NativeState != 0 || IsEmptyRect(b->Bounds))
            return;
        (dx > 0 ? b->Bounds.right : b->Bounds.left) += dx;
        RECT grown = b->VisibleBounds;
        (dx > 0 ? grown.right : grown.left) += dx;
        if (visibleToo && grown.left >= buttonsRect.left - 1 && grown.right <= buttonsRect.right + 1)
            b->VisibleBounds = grown;
    };
    if (leftSide)
        widen(LeftSideRightmostButtonIndex, 1, !rightSide);
    if (rightSide)
        widen(RightSideLeftmostButtonIndex, -1, !leftSide);
}

// ---- sizes -------------------------------------------------------------------------

void TcxCustomEditViewData::GetEditConstantPartSize(TcxCanvas* canvas, const TcxEditSizeProperties& sizeProperties,
                                                    SIZE& minContentSize, SIZE& size, TcxCustomEditViewInfo* viewInfo)
{
    ObjectPtr<TcxCustomEditViewInfo> temporary;
    if (!viewInfo) {
        temporary.reset(CreateInstance<TcxCustomEditViewInfo>(properties_->GetViewInfoClass()));
        viewInfo = temporary.get();
        Calculate(canvas, RECT{0, 0, INT_MAX, INT_MAX}, POINT{-1, -1}, cxmbNone, {}, viewInfo, false);
    }
    InternalGetEditConstantPartSize(canvas, IsInplace, sizeProperties, minContentSize, viewInfo, size);
}

void TcxCustomEditViewData::InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace,
                                                            const TcxEditSizeProperties&, SIZE& minContentSize,
                                                            TcxCustomEditViewInfo* viewInfo, SIZE& size)
{
    const RECT& b = viewInfo->Bounds;
    const RECT& c = viewInfo->ClientRect;
    size = SIZE{(b.right - b.left) - (c.right - c.left), (b.bottom - b.top) - (c.bottom - c.top)};
    minContentSize = SIZE{0, 0};
    if (!isInplace && !AutoHeight)
        return;
    int h = 0;
    TcxEditButtons* buttons = properties_->Buttons();
    for (int i = 0; i < buttons->Count(); ++i) {
        TcxEditButton* button = buttons->Items(i);
        if (button->Kind() == bkGlyph && VerifyBitmap(button->Glyph()))
            h = std::max(h, button->Glyph()->Height());
        if (isInplace && button->Kind() == bkText) {
            canvas->SetFont(style_->GetVisibleFont());
            h = std::max(h, canvas->TextHeight(button->VisibleCaption()));
        }
    }
    if (h <= 0)
        return;
    RECT extent = GetButtonsExtent(canvas);
    const TcxEditButtonStyle style = viewInfo->ButtonCount() > 0 ? viewInfo->ButtonsInfo[0]->Data.Style : btsDefault;
    h += extent.top + extent.bottom + GetEditButtonsContentVerticalOffset(canvas, style, NativeStyle);
    minContentSize.cy = std::max(0, static_cast<int>(h - size.cy));
}

SIZE TcxCustomEditViewData::GetEditContentSize(TcxCanvas* canvas, const Variant& editValue,
                                               const TcxEditSizeProperties& sizeProperties)
{
    if (properties_->ButtonsViewStyle() == bvsNormal)
        return InternalGetEditContentSize(canvas, editValue, sizeProperties);
    canvas->SetFont(style_->GetVisibleFont());
    return SIZE{0, canvas->TextHeight("Zg") + GetTextEditContentSizeCorrection(this).cy};
}

SIZE TcxCustomEditViewData::GetEditSize(TcxCanvas* canvas, const Variant& editValue,
                                        TcxEditSizeProperties sizeProperties, TcxCustomEditViewInfo* viewInfo)
{
    SIZE constant{}, minContent{};
    GetEditConstantPartSize(canvas, sizeProperties, minContent, constant, viewInfo);
    const int givenWidth = sizeProperties.Width;
    if (givenWidth >= 0)
        sizeProperties.Width = std::max(0, static_cast<int>(givenWidth - constant.cx));
    SIZE content = GetEditContentSize(canvas, editValue, sizeProperties);
    CheckSize(content, minContent);
    return SIZE{givenWidth >= 0 ? givenWidth : constant.cx + content.cx, constant.cy + content.cy};
}
