#include "components/foundation/cxContainer.h"

#include <algorithm>

#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/dxOffice11.h"
#include "platform/graphics/uxtheme.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/libraries.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

TcxGetScrollBarInfoProc GetScrollBarInfoProc = nullptr;

namespace {

constexpr int kBorderWidths[] = {0, 1, 2, 2, 2, 1, 1};
constexpr int kKindBorderWidths[] = {2, 2, 1, 1};
// STATE_SYSTEM_INVISIBLE and STATE_SYSTEM_OFFSCREEN.
constexpr DWORD kHiddenScrollBarStates = 0x18000;
constexpr UINT kScrollInfoMask = 0x17;

struct Unit {
    int starts = 0;
    TcxScreenCanvas* screenCanvas = nullptr;
};

Unit& U()
{
    static Unit unit;
    return unit;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Moves inward by width every side that IS in borders.
RECT DeflateByBorders(RECT r, int width, TcxBorders borders)
{
    if (borders.Contains(bLeft)) r.left += width;
    if (borders.Contains(bTop)) r.top += width;
    if (borders.Contains(bRight)) r.right -= width;
    if (borders.Contains(bBottom)) r.bottom -= width;
    return r;
}

HRGN ShadowRegion(const RECT& rect, bool shadow)
{
    HRGN region = CreateRectRgnIndirect(&rect);
    if (!shadow) return region;
    RECT moved = rect;
    OffsetRect(&moved, cxContainerShadowWidth, cxContainerShadowWidth);
    HRGN second = CreateRectRgnIndirect(&moved);
    CombineRgn(region, region, second, RGN_OR);
    DeleteObject(second);
    return region;
}

TColor ThemeColor(TdxThemedObjectType type, int part, int state, int property, TColor fallback)
{
    HTHEME theme = OpenTheme(type);
    COLORREF color = 0;
    if (!theme || dxUxTheme::GetThemeColor(theme, part, state, property, &color) != S_OK) return fallback;
    return static_cast<TColor>(color);
}

}  // namespace

int GetContainerBorderWidth(TcxContainerBorderStyle borderStyle) { return kBorderWidths[borderStyle]; }

int GetContainerBorderWidth(TcxLookAndFeelKind kind) { return kKindBorderWidths[kind]; }

TcxMouseButton ButtonTocxButton(TMouseButton button)
{
    switch (button) {
    case mbLeft: return cxmbLeft;
    case mbRight: return cxmbRight;
    default: return cxmbMiddle;
    }
}

TcxScreenCanvas* ScreenCanvas() { return U().screenCanvas; }

// ---- view info ---------------------------------------------------------------------------

TClass TcxContainerViewInfo::StaticClass() { return DefineClass<TcxContainerViewInfo, TObject>("TcxContainerViewInfo"); }

void TcxContainerViewInfo::Assign(TcxContainerViewInfo* source)
{
    if (source) ClientRect = source->ClientRect;
}

TcxRegion* TcxContainerViewInfo::GetUpdateRegion(TcxContainerViewInfo*) { return new TcxRegion(); }

void TcxContainerViewInfo::Offset(int dx, int dy)
{
    OffsetRect(&BorderRect, dx, dy);
    OffsetRect(&Bounds, dx, dy);
    OffsetRect(&ClientRect, dx, dy);
}

void TcxContainerViewInfo::InternalPaint(TcxCanvas* canvas)
{
    if (NativeStyle) return PaintNative(canvas);
    const int w = BorderWidth;
    RECT r = BorderRect;
    r.left -= w;
    r.top -= w;
    if (Edges.Contains(bRight)) r.right += w;
    if (Edges.Contains(bBottom)) r.bottom += w;
    if (Shadow) DrawContainerShadow(canvas, r);
    if (!Edges.Contains(bRight)) r.right += w;
    if (!Edges.Contains(bBottom)) r.bottom += w;
    DrawBorder(canvas, r);
    canvas->SetBrushColor(backgroundColor_);
    canvas->FillRect(BorderRect);
}

void TcxContainerViewInfo::DrawBorder(TcxCanvas* canvas, RECT r)
{
    switch (BorderStyle) {
    case cbsSingle:
    case cbsThick: return canvas->FrameRect(r, BorderColor, BorderWidth);
    case cbsFlat:
        canvas->DrawEdge(r, true, true, Edges);
        return canvas->FrameRect(DeflateByBorders(r, 1, Edges), clBtnFace, 1, Edges);
    case cbs3D:
        canvas->DrawEdge(r, true, true, Edges);
        return canvas->DrawComplexFrame(DeflateByBorders(r, 1, Edges), cl3DDkShadow, cl3DLight, Edges);
    default: return;
    }
}

// The theme's content rectangle in the background colour, the ring around
// it in the combo box's border colour.
void TcxContainerViewInfo::PaintNative(TcxCanvas* canvas)
{
    canvas->SetBrushColor(backgroundColor_);
    if (BorderStyle == cbsNone) return canvas->FillRect(Bounds);
    RECT content = Bounds;
    if (HTHEME theme = OpenTheme(ThemedObjectType))
        dxUxTheme::GetThemeBackgroundContentRect(theme, canvas->Handle(), NativePart, NativeState, &Bounds, &content);
    canvas->FillRect(content);
    if (IsEmpty(Bounds) || SameRect(Bounds, content)) return;
    canvas->SetBrushColor(ThemeColor(totComboBox, 1, 1, TMT_BORDERCOLOR, clBtnShadow));
    if (IsEmpty(content)) return canvas->FillRect(Bounds);
    canvas->FillRect(RECT{Bounds.left, Bounds.top, Bounds.right, content.top});
    canvas->FillRect(RECT{Bounds.left, content.bottom, Bounds.right, Bounds.bottom});
    canvas->FillRect(RECT{Bounds.left, content.top, content.left, content.bottom});
    canvas->FillRect(RECT{content.right, content.top, Bounds.right, content.bottom});
}

// ---- mouse tracking helper -----------------------------------------------------------------

TClass TcxContainerMouseTrackingHelper::StaticClass()
{
    return DefineClass<TcxContainerMouseTrackingHelper, TObject>("TcxContainerMouseTrackingHelper");
}

void TcxContainerMouseTrackingHelper::MouseLeave()
{
    ::EndMouseTracking(this);
    if (container_) container_->EndMouseTracking();
}

// ---- construction -------------------------------------------------------------------------

TClass TcxContainer::StaticClass()
{
    return DefineClass<TcxContainer, TcxControl>("TcxContainer", [](ClassBuilder<TcxContainer>& b) {
        b.Property("TabStop", &TcxContainer::TabStop, &TcxContainer::SetTabStop).Default(true);
    });
}

void TcxContainer::Construct(TComponent* owner)
{
    TcxControl::Construct(owner);
    constructing_ = true;
    quelvo::sys::ScopeGuard constructed([this] { constructing_ = false; });
    trackingHelper_.reset(CreateObject<TcxContainerMouseTrackingHelper>(this));
    styles_.reset(CreateInstance<TcxContainerStyles>(GetStylesClass(), static_cast<TPersistent*>(this), GetStyleClass(),
                                                     GetStyleExClass()));
    styles_->SetOnChanged(TNotifyEvent::Bind(this, &TcxContainer::ContainerStyleChanged));
    activeStyleState_ = {csNormal};
    activeStyle_ = Style();
    viewInfo_.reset(CreateInstance<TcxContainerViewInfo>(GetViewInfoClass()));
    LookAndFeel()->SetMasterLookAndFeel(Style()->GetLookAndFeel());
    SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csSetCaption});
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
}

void TcxContainer::BeforeDestruction()
{
    if (trackingHelper_) ::EndMouseTracking(trackingHelper_.get());
    destroying_ = true;
    TcxControl::BeforeDestruction();
}

void TcxContainer::Destroy()
{
    destroying_ = true;
    if (trackingHelper_) ::EndMouseTracking(trackingHelper_.get());
    viewInfo_.reset();
    if (styles_) styles_->SetOnChanged({});
    styles_.reset();
    activeStyle_ = nullptr;
    trackingHelper_.reset();
    TcxControl::Destroy();
}

void TcxContainer::Loaded()
{
    TcxControl::Loaded();
    ContainerStyleChanged(Style());
}

TcxContainerStyleClass TcxContainer::GetStyleClass() const { return TcxContainerStyle::StaticClass(); }
TcxContainerStyleClass TcxContainer::GetStyleExClass() const { return TcxContainerStyleEx::StaticClass(); }
TcxContainerStylesClass TcxContainer::GetStylesClass() const { return TcxContainerStyles::StaticClass(); }
TcxContainerViewInfoClass TcxContainer::GetViewInfoClass() const { return TcxContainerViewInfo::StaticClass(); }

void TcxContainer::LockAlignControls(bool lock)
{
    if (lock) ++alignControlsLock_;
    else if (alignControlsLock_ > 0) --alignControlsLock_;
}

void TcxContainer::LockPopupMenu(bool lock)
{
    if (lock) ++popupMenuLock_;
    else if (popupMenuLock_ > 0) --popupMenuLock_;
}

TWinControl* TcxContainer::GetActiveControl() { return innerControl_ ? innerControl_ : this; }

// ---- active style and view calculation ----------------------------------------------------------

TcxCustomContainerStyle* TcxContainer::GetActiveStyle()
{
    if (!viewInfo_) return Style();
    if (!(viewInfo_->ContainerState == activeStyleState_) || !activeStyle_) {
        activeStyle_ = InternalGetActiveStyle();
        activeStyleState_ = viewInfo_->ContainerState;
    }
    return activeStyle_;
}

TcxCustomContainerStyle* TcxContainer::InternalGetActiveStyle()
{
    const TcxContainerState state = viewInfo_->ContainerState;
    if (state.Contains(csDisabled)) return StyleDisabled();
    if (state.Contains(csActive)) return StyleFocused();
    if (state.Contains(csHotTrack)) return StyleHot();
    return Style();
}

bool TcxContainer::IsNativeStyle()
{
    return AreVisualStylesMustBeUsed(Style()->GetLookAndFeel()->NativeStyle(), GetBackgroundThemedObjectType());
}

void TcxContainer::CalculateViewInfo(POINT p, bool mouseTracking)
{
    TcxContainerViewInfo& vi = *viewInfo_;
    vi.NativeStyle = IsNativeStyle();
    const int oldWidth = GetContainerBorderWidth(vi.BorderStyle);
    vi.ContainerState = CalculateState(p, mouseTracking);
    if (!vi.NativeStyle && GetContainerBorderWidth(vi.BorderStyle) < oldWidth)
        vi.ContainerState = CalculateState(p, mouseTracking);
    if (vi.NativeStyle) {
        vi.ThemedObjectType = GetBackgroundThemedObjectType();
        vi.NativePart = GetBackgroundNativePart();
        vi.NativeState = GetBackgroundNativeState();
    }
    vi.Bounds = RECT{0, 0, Width(), Height()};
    vi.BorderRect = vi.Bounds;
    ExtendRect(vi.BorderRect, GetBorderExtent());
    vi.ClientRect = vi.BorderRect;
    vi.BorderWidth = GetContainerBorderWidth(vi.BorderStyle);
    vi.Edges = GetActiveStyle()->Edges();
    vi.Shadow = HasShadow();
    CalculateBorderColor();
    CalculateBackgroundColor();
}

// The state, and from the active style of that state the hot state and
// the border style; the visible bounds of the hot test see the new border.
TcxContainerState TcxContainer::CalculateState(POINT p, bool mouseTracking)
{
    TcxContainerState state;
    if (!Enabled()) state = {csDisabled};
    else if (IsDesigning()) state = {csNormal};
    else {
        state = Focused() ? TcxContainerState{csActive} : TcxContainerState{csNormal};
        const RECT visible = GetVisibleBounds();
        if (mouseTracking && PtInRect(&visible, p)) state.Include(csHotTrack);
    }
    viewInfo_->ContainerState = state;
    TcxCustomContainerStyle* style = GetActiveStyle();
    if (!style->HotTrack()) viewInfo_->HotState = chsNoHotTrack;
    else if (state.Contains(csActive) || state.Contains(csHotTrack)) viewInfo_->HotState = chsSelected;
    else viewInfo_->HotState = chsNormal;
    CalculateBorderStyle();
    return state;
}

void TcxContainer::CalculateBorderStyle()
{
    TcxContainerViewInfo& vi = *viewInfo_;
    TcxContainerBorderStyle style = vi.NativeStyle ? Style()->BorderStyle() : GetActiveStyle()->BorderStyle();
    if (!vi.NativeStyle && (style == cbsUltraFlat || style == cbsOffice11)) style = cbsSingle;
    vi.BorderStyle = style;
    vi.BorderWidth = GetContainerBorderWidth(style);
}

void TcxContainer::CalculateBorderColor()
{
    TcxContainerViewInfo& vi = *viewInfo_;
    TcxCustomContainerStyle* style = GetActiveStyle();
    const TcxContainerBorderStyle borderStyle = style->BorderStyle();
    if (borderStyle != cbsUltraFlat && borderStyle != cbsOffice11) {
        vi.BorderColor = style->BorderColor();
        return;
    }
    const bool selected = vi.ContainerState.Contains(csActive) ||
                          (vi.ContainerState.Contains(csHotTrack) && style->HotTrack()) || (IsDesigning() && Enabled());
    if (!selected) vi.BorderColor = clBtnShadow;
    else vi.BorderColor = borderStyle == cbsOffice11 ? dxOffice11SelectedBorderColor : clHighlight;
}

void TcxContainer::CalculateBackgroundColor()
{
    TcxContainerViewInfo& vi = *viewInfo_;
    if (!vi.NativeStyle || Enabled()) return vi.SetBackgroundColor(GetActiveStyle()->GetColor());
    vi.SetBackgroundColor(ThemeColor(vi.ThemedObjectType, vi.NativePart, vi.NativeState, TMT_FILLCOLOR, clBtnFace));
}

int TcxContainer::GetBackgroundNativeState()
{
    if (!Enabled()) return 4;
    if (Focused()) return 5;
    if (viewInfo_->ContainerState.Contains(csHotTrack)) return 2;
    return 1;
}

bool TcxContainer::HasShadow() { return GetActiveStyle()->Shadow() && !IsNativeStyle(); }

// ---- geometry -----------------------------------------------------------------------------------------

RECT TcxContainer::GetBorderExtent()
{
    TcxCustomContainerStyle* style = GetActiveStyle();
    const TcxContainerViewInfo& vi = *viewInfo_;
    RECT r{0, 0, 0, 0};
    if (style->TransparentBorder()) r = cxContainerDefaultBorderExtent;
    else if (!style->HasBorder() || (vi.NativeStyle && Style()->BorderStyle() == cbsNone)) r = RECT{0, 0, 0, 0};
    else if (vi.NativeStyle) r = cxContainerDefaultBorderExtent;
    else {
        const int w = GetContainerBorderWidth(vi.BorderStyle);
        const TcxBorders edges = style->Edges();
        r = RECT{edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
                 edges.Contains(bBottom) ? w : 0};
    }
    if (HasShadow()) {
        r.right += cxContainerShadowWidth;
        r.bottom += cxContainerShadowWidth;
    }
    return r;
}

RECT TcxContainer::GetVisibleBounds()
{
    RECT r{0, 0, Width(), Height()};
    if (IsInplace()) return r;
    const TcxContainerViewInfo& vi = *viewInfo_;
    if (vi.Shadow) {
        r.right -= cxContainerShadowWidth;
        r.bottom -= cxContainerShadowWidth;
    }
    TcxCustomContainerStyle* style = Style();
    if (!style->HasBorder()) {
        if (style->TransparentBorder()) InflateRect(&r, -2, -2);
    } else if (!vi.NativeStyle) {
        if (style->TransparentBorder()) {
            InflateRect(&r, vi.BorderWidth - 2, vi.BorderWidth - 2);
            r = InflateRectByBorders(r, vi.BorderWidth, vi.Edges);
        }
    } else if (style->BorderStyle() == cbsNone && style->TransparentBorder()) {
        InflateRect(&r, -2, -2);
    }
    return r;
}

RECT TcxContainer::GetShadowBounds()
{
    RECT r = viewInfo_->Bounds;
    ExtendRect(r, GetBorderExtent());
    const int w = GetContainerBorderWidth(viewInfo_->GetContainerBorderStyle());
    InflateRect(&r, w, w);
    return InflateRectByBorders(r, w, GetActiveStyle()->Edges());
}

RECT TcxContainer::GetClientBounds() { return viewInfo_ ? viewInfo_->ClientRect : TcxControl::GetClientBounds(); }

void TcxContainer::AdjustClientRect(RECT& rect)
{
    if (!GetIsDestroying() && viewInfo_) rect = viewInfo_->ClientRect;
}

void TcxContainer::SetShadowRegion()
{
    if (!HandleAllocated()) return;
    const TcxContainerViewInfo& vi = *viewInfo_;
    SetWindowShadowRegion(Handle(), GetShadowBounds(), vi.NativeStyle && vi.BorderStyle != cbsNone, std::nullopt, vi.Shadow);
}

// ---- refresh ------------------------------------------------------------------------------------------

bool TcxContainer::RefreshContainer(POINT p, TcxMouseButton, TShiftState shift, bool)
{
    if (resizingInnerControl_ || GetIsDestroying() || !viewInfo_) return true;
    CalculateViewInfo(p, shift.Empty() && GetActiveStyle()->HotTrack());
    SetSize();
    AdjustInnerControl();
    SetShadowRegion();
    InvalidateAfterRefresh();
    if (viewInfo_->ContainerState.Contains(csHotTrack)) BeginMouseTracking(this, GetVisibleBounds(), trackingHelper_.get());
    return true;
}

void TcxContainer::InvalidateAfterRefresh()
{
    if (!HandleAllocated()) return;
    const RECT whole = GetControlRect(this);
    if (innerControl_) InternalInvalidate(Handle(), whole, viewInfo_->BorderRect, false);
    else ::InvalidateRect(Handle(), &whole, FALSE);
}

void TcxContainer::ShortRefreshContainer(bool isMouseEvent)
{
    if (!HandleAllocated() || GetIsDestroying()) return;
    RefreshContainer(ScreenToClient(InternalGetCursorPos()), cxmbNone, InternalGetShiftState(), isMouseEvent);
}

// ---- inner control ------------------------------------------------------------------------------------

void TcxContainer::SetSize()
{
    if (!innerControl_ || SameRect(innerControl_->BoundsRect(), viewInfo_->ClientRect)) return;
    resizingInnerControl_ = true;
    quelvo::sys::ScopeGuard resized([this] { resizingInnerControl_ = false; });
    innerControl_->SetBoundsRect(viewInfo_->ClientRect);
}

void TcxContainer::AdjustInnerControl()
{
    if (!innerControl_) return;
    innerControl_->SetColor(viewInfo_->BackgroundColor());
    innerControl_->SetFont(GetActiveStyle()->GetVisibleFont());
}

void TcxContainer::AlignControls(TControl* control, RECT& rect)
{
    if (ControlStyle().Contains(csAcceptsControls)) return TcxControl::AlignControls(control, rect);
    if (IsAlignControlsLocked() || (control && IsInternalControl(control))) return;
    if (!control) return TcxControl::AlignControls(control, rect);
    auto* child = As<TWinControl>(control);
    if (!child || !child->HandleAllocated() || constructing_) return;
    std::optional<RECT> region;
    GetChildControlBounds(rect, child, region);
    if (!IsChildControlRegionChanged(child, region)) return;
    SetWindowRegion(child, region);
    SaveChildControlRegion(child, region);
}

void TcxContainer::GetChildControlBounds(const RECT& bounds, TControl* child, std::optional<RECT>& region)
{
    region.reset();
    if (!child) return;
    RECT r{0, 0, child->Width(), child->Height()};
    const RECT k = child->BoundsRect();
    if (k.left < bounds.left) r.left = bounds.left - k.left;
    if (k.top < bounds.top) r.top = bounds.top - k.top;
    if (bounds.right < k.right) r.right += bounds.right - k.right;
    if (bounds.bottom < k.bottom) r.bottom += bounds.bottom - k.bottom;
    if (!SameRect(r, RECT{0, 0, child->Width(), child->Height()})) region = r;
}

bool TcxContainer::IsChildControlRegionChanged(TControl* child, const std::optional<RECT>& region)
{
    if (child != innerControl_) return true;
    if (savedChildControlRegion_.has_value() != region.has_value()) return true;
    return region && !SameRect(*region, *savedChildControlRegion_);
}

void TcxContainer::SaveChildControlRegion(TControl* child, const std::optional<RECT>& region)
{
    if (child == innerControl_) savedChildControlRegion_ = region;
}

// ---- painting --------------------------------------------------------------------------------------------

void TcxContainer::Paint()
{
    if (!Canvas()->RectVisible(viewInfo_->Bounds)) return;
    if (ControlState().Contains(csPaintCopy)) SetVisibleBoundsClipRect();
    viewInfo_->Paint(Canvas());
}

void TcxContainer::SetVisibleBoundsClipRect()
{
    const TcxContainerViewInfo& vi = *viewInfo_;
    if (vi.NativeStyle && vi.BorderStyle != cbsNone) return;
    Canvas()->SetClipRegion(new TcxRegion(ShadowRegion(GetShadowBounds(), vi.Shadow)), roIntersect);
}

void TcxContainer::CreateHandle()
{
    TcxControl::CreateHandle();
    ShortRefreshContainer(false);
}

void TcxContainer::CreateParams(TCreateParams& params)
{
    TcxControl::CreateParams(params);
    params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

// ---- styles, colour and font ---------------------------------------------------------------

void TcxContainer::ContainerStyleChanged(TObject*)
{
    if (constructing_ || IsLoading() || !styles_) return;
    ShortRefreshContainer(false);
    const TColor styleColor = Style()->GetStyleColor();
    if (styleColor != Color()) {
        if (ParentColor()) SetParentColor(false);
        SetEchoColor(styleColor);
    }
    SetEchoFont(Style()->Font());
}

void TcxContainer::SetEchoColor(TColor value)
{
    echo_ = true;
    quelvo::sys::ScopeGuard done([this] { echo_ = false; });
    SetColor(value);
}

void TcxContainer::SetEchoFont(TFont* value)
{
    if (!value) return;
    echo_ = true;
    quelvo::sys::ScopeGuard done([this] { echo_ = false; });
    SetFont(value);
}

void TcxContainer::ColorChanged()
{
    if (!echo_ && styles_) return Style()->SetColor(Color());
    TcxControl::ColorChanged();
    ShortRefreshContainer(false);
}

void TcxContainer::FontChanged()
{
    if (!echo_ && styles_) {
        // The font follows the container without becoming a stored style value.
        const bool assigned = Style()->RawAssigned(csvFont);
        Style()->SetFont(Font());
        if (!assigned) Style()->ExcludeAssigned(csvFont);
    }
    // The style's echo finds the same font and changes nothing, so the
    // control's own handling runs here for changes from outside too.
    TcxControl::FontChanged();
    if (!viewInfo_) return;
    SetSize();
    SetScrollBarsParameters(false);
    ShortRefreshContainer(false);
}

void TcxContainer::CMParentColorChanged(TMessage& m)
{
    const bool wasAssigned = Style()->RawAssigned(csvColor);
    TcxControl::Dispatch(m);
    if (!wasAssigned || ParentColor()) Style()->ExcludeAssigned(csvColor);
    if (Style()->GetColor() != Color()) ContainerStyleChanged(Style());
}

void TcxContainer::CMParentFontChanged(TMessage& m)
{
    const bool wasAssigned = Style()->RawAssigned(csvFont);
    TcxControl::Dispatch(m);
    if (!ParentFont()) Style()->UpdateFont();
    if (!wasAssigned) Style()->ExcludeAssigned(csvFont);
}

void TcxContainer::EnabledChanged()
{
    TcxControl::EnabledChanged();
    if (NeedsScrollBars()) {
        for (TScrollBarKind kind : {sbHorizontal, sbVertical})
            if (TcxScrollBar* bar = GetMirrorScrollBar(kind)) bar->SetEnabled(Enabled());
    }
    ShortRefreshContainer(false);
}

void TcxContainer::CursorChanged()
{
    TcxControl::CursorChanged();
    if (innerControl_) innerControl_->SetCursor(Cursor());
}

void TcxContainer::FocusChanged()
{
    TcxControl::FocusChanged();
    ShortRefreshContainer(false);
}

void TcxContainer::Resize()
{
    TcxControl::Resize();
    if (!constructing_) ShortRefreshContainer(false);
}

// ---- drag ------------------------------------------------------------------------------------------------

TDragImageList* TcxContainer::GetDragImages()
{
    return innerControl_ ? innerControl_->GetDragImages() : TcxControl::GetDragImages();
}

void TcxContainer::SetDragMode(TDragMode value)
{
    TcxControl::SetDragMode(value);
    if (innerControl_) innerControl_->SetDragMode(value);
}

void TcxContainer::DragCanceled()
{
    TcxControl::DragCanceled();
    if (innerControl_) innerControl_->DragCanceled();
}

// ---- messages --------------------------------------------------------------------------------------------

bool TcxContainer::IsKeyMessage(UINT msg) const
{
    return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR || msg == CN_KEYDOWN || msg == CN_KEYUP || msg == CN_CHAR;
}

void TcxContainer::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_SETFOCUS:
        if (!Visible()) return;
        return WMSetFocus(m);
    case WM_KILLFOCUS: return WMKillFocus(m);
    default:
        if (IsKeyMessage(m.Msg) && InnerControlHasWindow()) {
            m.Result = SendMessageA(innerControl_->Handle(), m.Msg, m.WParam, m.LParam);
            return;
        }
        return TcxControl::WndProc(m);
    }
}

void TcxContainer::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_NCPAINT: m.Result = 0; return;
    case WM_SETCURSOR: return WMSetCursor(m);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case WM_WINDOWPOSCHANGING: return WMWindowPosChanging(m);
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
        TcxControl::Dispatch(m);
        return ShortRefreshContainer(false);
    case CM_PARENTCOLORCHANGED: return CMParentColorChanged(m);
    case CM_PARENTFONTCHANGED: return CMParentFontChanged(m);
    default: return TcxControl::Dispatch(m);
    }
}

// The focus coming back from the inner control is swallowed: neither side
// runs its enter handling for a move inside the container.
void TcxContainer::WMSetFocus(TMessage& m)
{
    if (GetIsDestroying() || !HandleAllocated() || !InnerControlHasWindow()) return TcxControl::WndProc(m);
    if (reinterpret_cast<HWND>(m.WParam) == innerControl_->Handle()) {
        m.Result = 0;
        return;
    }
    TcxControl::WndProc(m);
    if (!GetIsDestroying() && InnerControlHasWindow() && innerControl_->CanFocus()) innerControl_->SetFocus();
}

void TcxContainer::WMKillFocus(TMessage& m)
{
    if (InnerControlHasWindow() && reinterpret_cast<HWND>(m.WParam) == innerControl_->Handle()) {
        m.Result = 0;
        return;
    }
    TcxControl::WndProc(m);
}

void TcxContainer::WMSetCursor(TMessage& m)
{
    const bool ownClient = innerControl_ && HandleAllocated() && reinterpret_cast<HWND>(m.WParam) == Handle() &&
                           LOWORD(m.LParam) == HTCLIENT;
    if (ownClient) {
        const POINT p = ScreenToClient(InternalGetCursorPos());
        if (!PtInRect(&viewInfo_->ClientRect, p)) {
            ::SetCursor(Screen->Cursors(crArrow));
            m.Result = 1;
            return;
        }
    }
    TcxControl::Dispatch(m);
}

void TcxContainer::WMWindowPosChanged(TMessage& m)
{
    TcxControl::Dispatch(m);
    if (!GetIsDestroying() && IsRefreshOnWindowPosChangedNeeded()) ShortRefreshContainer(false);
}

void TcxContainer::WMWindowPosChanging(TMessage& m)
{
    if (GetIsDestroying()) {
        m.Result = 0;
        return;
    }
    TcxControl::Dispatch(m);
    if (!HandleAllocated() || GetFocus() != Handle() || !InnerControlHasWindow() || !innerControl_->CanFocus()) return;
    if (TCustomForm* form = GetParentForm(this)) form->FocusControl(innerControl_);
}

// ---- focus and keys ------------------------------------------------------------------------------------

bool TcxContainer::Focused()
{
    if (IsDesigning()) return false;
    return TcxControl::Focused() || (InnerControlHasWindow() && innerControl_->Focused());
}

void TcxContainer::SetFocus()
{
    if (IsDesigning() || Focused()) return;
    TcxControl::SetFocus();
    if (!InnerControlHasWindow() || !HandleAllocated() || GetFocus() != Handle()) return;
    SafeSelectionFocusInnerControl();
    if (TCustomForm* form = GetParentForm(this); form && innerControl_->CanFocus()) form->FocusControl(innerControl_);
}

void TcxContainer::SafeSelectionFocusInnerControl()
{
    if (InnerControlHasWindow() && innerControl_->CanFocus()) innerControl_->SetFocus();
}

bool TcxContainer::MayFocus() { return !(InnerControlHasWindow() && innerControl_->Focused()); }

bool TcxContainer::CanFocusOnClick()
{
    if (InnerControlHasWindow() && innerControl_->Focused()) return false;
    return !innerControlMouseDown_ && TcxControl::CanFocusOnClick();
}

void TcxContainer::GetTabOrderList(std::vector<TWinControl*>& list)
{
    TcxControl::GetTabOrderList(list);
    if (IsContainerClass() || !innerControl_) return;
    TCustomForm* form = GetParentForm(this);
    if (!form || form->ActiveControl() == this || !CanFocus() || form->ActiveControl() != innerControl_) return;
    // The inner control stands in the container's place.
    std::erase(list, innerControl_);
    std::ranges::replace(list, static_cast<TWinControl*>(this), innerControl_);
}

void TcxContainer::KeyDown(WORD& key, TShiftState shift)
{
    TcxControl::KeyDown(key, shift);
    if (key != VK_TAB || shift.Contains(ssCtrl) || shift.Contains(ssAlt) || !Focused() || TabsNeeded()) return;
    key = 0;
    HandleTab(shift);
}

void TcxContainer::HandleTab(TShiftState shift)
{
    TCustomForm* form = GetParentForm(this);
    if (!form) return;
    form->SelectNext(form->ActiveControl(), !shift.Contains(ssShift), true);
    if (HandleAllocated() && GetFocus() == Handle() && InnerControlHasWindow() && innerControl_->CanFocus())
        innerControl_->SetFocus();
}

bool TcxContainer::InnerControlMenuHandler(TMessage& message)
{
    if (message.Msg != CN_KEYDOWN && message.Msg != CN_SYSKEYDOWN) return false;
    if (!IsMenuKey(message)) return false;
    message.Result = 1;
    return true;
}

// ---- mouse -----------------------------------------------------------------------------------------------

void TcxContainer::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseDown(button, shift, x, y);
    RefreshContainer(POINT{x, y}, ButtonTocxButton(button), shift, true);
}

void TcxContainer::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxControl::MouseUp(button, shift, x, y);
    RefreshContainer(POINT{x, y}, ButtonTocxButton(button), shift, true);
}

void TcxContainer::MouseMove(TShiftState shift, int x, int y)
{
    TcxControl::MouseMove(shift, x, y);
    RefreshContainer(POINT{x, y}, cxmbNone, shift, true);
    if (!GetIsDestroying()) BeginMouseTracking(this, GetVisibleBounds(), trackingHelper_.get());
}

void TcxContainer::MouseEnter(TControl* control)
{
    TcxControl::MouseEnter(control);
    ShortRefreshContainer(true);
    if (!GetIsDestroying()) BeginMouseTracking(this, GetVisibleBounds(), trackingHelper_.get());
}

void TcxContainer::MouseLeave(TControl* control)
{
    TcxControl::MouseLeave(control);
    ShortRefreshContainer(true);
    if (trackingHelper_) ::EndMouseTracking(trackingHelper_.get());
}

void TcxContainer::EndMouseTracking()
{
    MouseLeave(nullptr);
    if (trackingHelper_) ::EndMouseTracking(trackingHelper_.get());
}

void TcxContainer::DoContextPopup(POINT mousePos, bool& handled)
{
    const bool keyboard = mousePos.x == -1 && mousePos.y == -1;
    if (!IsPopupMenuLocked() && (keyboard || CanShowPopupMenu(mousePos))) return TcxControl::DoContextPopup(mousePos, handled);
    handled = true;
}

// ---- mirrored scroll bars -----------------------------------------------------------------------------------

TcxScrollBar* TcxContainer::GetMirrorScrollBar(TScrollBarKind kind)
{
    return kind == sbHorizontal ? static_cast<TcxScrollBar*>(HScrollBar()) : VScrollBar();
}

void TcxContainer::UpdateScrollBars()
{
    if (innerControl_ && UsecxScrollBars()) return SetScrollBarsParameters(false);
    TcxControl::UpdateScrollBars();
}

void TcxContainer::Scroll(TScrollBarKind kind, TScrollCode code, int& position)
{
    if (!InnerControlHasWindow()) return TcxControl::Scroll(kind, code, position);
    // Sent as the window's own bar: naming the mirror would reflect the
    // message back to it.
    HWND inner = innerControl_->Handle();
    SendMessageA(inner, kind == sbHorizontal ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, position), 0);
    if (IsWindow(inner)) position = GetScrollPos(inner, kind == sbHorizontal ? SB_HORZ : SB_VERT);
}

void TcxContainer::SetScrollBarsParameters(bool isScrolling)
{
    if (!innerControl_ || !NeedsScrollBars() || GetIsDestroying() || !UsecxScrollBars()) return;
    if (TcxScrollBar* bar = GetMirrorScrollBar(sbHorizontal)) MirrorScrollBar(bar, SB_HORZ, isScrolling);
    if (TcxScrollBar* bar = GetMirrorScrollBar(sbVertical)) MirrorScrollBar(bar, SB_VERT, isScrolling);
}

void TcxContainer::MirrorScrollBar(TcxScrollBar* bar, int nativeBar, bool isScrolling)
{
    if (!isScrolling) AdjustScrollBarPosition(bar);
    if (!bar->Visible() || !InnerControlHasWindow()) return;
    if (isScrolling) return bar->SetPosition(GetScrollPos(innerControl_->Handle(), nativeBar));
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = kScrollInfoMask;
    if (!GetScrollInfo(innerControl_->Handle(), nativeBar, &info)) return;
    int page = static_cast<int>(info.nPage);
    if (info.nMax < page) page = info.nMax;
    bar->SetScrollParams(info.nMin, info.nMax, info.nPos, page, true);
}

void TcxContainer::AdjustScrollBarPosition(TcxScrollBar* scrollBar)
{
    SCROLLBARINFO info{};
    if (!GetScrollBarInfo(info, scrollBar->Kind()) || !IsAdjustingScrollBarPositionNeeded(info))
        return SetScrollBarVisible(scrollBar, false);
    scrollBar->SetEnabled(GetScrollBarEnabled(scrollBar, info));
    const RECT bounds = GetScrollBarBounds(info.rcScrollBar);
    scrollBar->SetBoundsRect(bounds);
    SetScrollBarVisible(scrollBar, !SameRect(bounds, cxEmptyRect));
}

bool TcxContainer::GetScrollBarInfo(SCROLLBARINFO& info, TScrollBarKind kind)
{
    if (GetIsDestroying() || !Parent() || !HandleAllocated() || !InnerControlHasWindow() || !GetScrollBarInfoProc)
        return false;
    info.cbSize = sizeof(SCROLLBARINFO);
    return GetScrollBarInfoProc(innerControl_->Handle(), kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, &info) != FALSE;
}

bool TcxContainer::IsAdjustingScrollBarPositionNeeded(const SCROLLBARINFO& info)
{
    return (info.rgstate[0] & kHiddenScrollBarStates) == 0;
}

bool TcxContainer::GetScrollBarEnabled(TcxScrollBar* scrollBar, const SCROLLBARINFO& info)
{
    return scrollBar->Parent() && scrollBar->Parent()->Enabled() && (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

RECT TcxContainer::GetScrollBarBounds(const RECT& screenRect)
{
    const POINT p = ScreenToClient(POINT{screenRect.left, screenRect.top});
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (p.x < 0 || width > Width() || p.y < 0 || height > Height()) return cxEmptyRect;
    return RECT{p.x, p.y, p.x + width, p.y + height};
}

void TcxContainer::SetScrollBarVisible(TcxScrollBar* scrollBar, bool visible)
{
    scrollBar->SetVisible(visible);
    if (visible) scrollBar->BringToFront();
}

// ---- free functions -----------------------------------------------------------------------------------------

TcxContainer* GetcxContainer(TWinControl* control)
{
    if (auto* container = As<TcxContainer>(control)) return container;
    if (auto* inner = dynamic_cast<IcxContainerInnerControl*>(control)) return inner->GetControlContainer();
    return nullptr;
}

bool HasNativeHandle(TWinControl* control, HWND wnd) { return control && control->HandleAllocated() && control->Handle() == wnd; }

bool HasHandle(TWinControl* control, HWND wnd) { return HasNativeHandle(control, wnd); }

namespace {

bool IsInChildControls(TWinControl* control, HWND wnd)
{
    for (int i = 0; i < control->ControlCount(); ++i) {
        auto* child = As<TWinControl>(control->Controls(i));
        if (!child || !child->HandleAllocated()) continue;
        if (child->Handle() == wnd || IsChild(child->Handle(), wnd) || IsInChildControls(child, wnd)) return true;
    }
    return false;
}

// Popups opened from a control on this popup, and theirs.
bool IsInNestedPopups(TWinControl* popup, HWND wnd)
{
    for (int i = 0; i < TcxCustomPopupWindow::OpenPopupCount(); ++i) {
        TcxCustomPopupWindow* other = TcxCustomPopupWindow::OpenPopup(i);
        if (!other || other == popup || !other->OwnerControl()) continue;
        if (GetParentForm(other->OwnerControl()) != popup) continue;
        if (HasNativeHandle(other, wnd) || IsChildWindow(other, wnd)) return true;
    }
    return false;
}

}  // namespace

bool IsChildWindow(TWinControl* control, HWND wnd)
{
    if (!control || !wnd || !control->HandleAllocated() || control->Handle() == wnd) return false;
    if (IsChild(control->Handle(), wnd) || IsInChildControls(control, wnd)) return true;
    return As<TcxCustomPopupWindow>(control) && IsInNestedPopups(control, wnd);
}

bool CheckParentsNativeHandle(TWinControl* control, HWND wnd)
{
    TCustomForm* form = control ? GetParentForm(control) : nullptr;
    if (!form || !form->HandleAllocated()) return false;
    if (form->Handle() == wnd || IsChildWindow(form, wnd)) return true;
    if (form->Parent()) return false;
    HWND top = form->Handle();
    while ((GetWindowLongA(top, GWL_STYLE) & WS_CHILD) != 0) {
        HWND parent = GetParent(top);
        if (!parent) break;
        top = parent;
    }
    return top != form->Handle() && (top == wnd || IsChild(top, wnd));
}

void DrawContainerShadow(TcxCanvas* canvas, const RECT& r)
{
    canvas->SetBrushColor(cxContainerShadowColor);
    canvas->FillRect(RECT{r.left + cxContainerShadowWidth, r.bottom, r.right, r.bottom + cxContainerShadowWidth});
    canvas->FillRect(RECT{r.right, r.top + cxContainerShadowWidth, r.right + cxContainerShadowWidth,
                          r.bottom + cxContainerShadowWidth});
    canvas->ExcludeClipRect(RECT{r.left, r.bottom, r.right, r.bottom + cxContainerShadowWidth});
    canvas->ExcludeClipRect(RECT{r.right, r.top, r.right + cxContainerShadowWidth, r.bottom + cxContainerShadowWidth});
}

RECT& ExtendRect(RECT& rect, const RECT& margins)
{
    rect.left += margins.left;
    rect.top += margins.top;
    rect.right -= margins.right;
    rect.bottom -= margins.bottom;
    return rect;
}

RECT GetControlRect(TControl* control) { return RECT{0, 0, control->Width(), control->Height()}; }

RECT InflateRectByBorders(RECT rect, int width, TcxBorders borders)
{
    if (!borders.Contains(bLeft)) rect.left += width;
    if (!borders.Contains(bTop)) rect.top += width;
    if (!borders.Contains(bRight)) rect.right -= width;
    if (!borders.Contains(bBottom)) rect.bottom -= width;
    return rect;
}

bool InternalCompareString(const std::string& a, const std::string& b, bool caseSensitive)
{
    if (caseSensitive) return AnsiCompareStr(a, b) == 0;
    return AnsiUpperCase(a) == AnsiUpperCase(b);
}

POINT InternalGetCursorPos()
{
    POINT p{};
    GetCursorPos(&p);
    return p;
}

TShiftState InternalGetShiftState() { return GetShiftState(); }

void InternalInvalidate(HWND wnd, const RECT& outer, const RECT& inner, bool erase)
{
    const BOOL e = erase ? TRUE : FALSE;
    if (IsEmpty(inner)) {
        ::InvalidateRect(wnd, &outer, e);
        return;
    }
    const RECT strips[] = {
        {outer.left, outer.top, inner.left, outer.bottom},
        {inner.left, outer.top, inner.right, inner.top},
        {inner.right, outer.top, outer.right, outer.bottom},
        {inner.left, inner.bottom, inner.right, outer.bottom},
    };
    for (const RECT& strip : strips)
        if (!IsEmpty(strip)) ::InvalidateRect(wnd, &strip, e);
}

void InternalInvalidateRect(TWinControl* control, const RECT& rect, bool erase)
{
    if (control && control->HandleAllocated()) ::InvalidateRect(control->Handle(), &rect, erase ? TRUE : FALSE);
}

bool InternalIsWindowVisible(TWinControl* control)
{
    return control && control->HandleAllocated() && IsWindowVisible(control->Handle());
}

TShiftState MouseButtonToShift(TMouseButton button)
{
    switch (button) {
    case mbLeft: return {ssLeft};
    case mbRight: return {ssRight};
    default: return {ssMiddle};
    }
}

void SetWindowRegion(TWinControl* control, const std::optional<RECT>& rect)
{
    if (!control || !control->HandleAllocated()) return;
    SetWindowRgn(control->Handle(), rect ? CreateRectRgnIndirect(&*rect) : nullptr, TRUE);
}

void SetWindowShadowRegion(HWND wnd, const RECT& rect, bool native, const std::optional<RECT>& exclude, bool shadow)
{
    HRGN region = nullptr;
    if (!native) {
        region = ShadowRegion(rect, shadow);
        if (exclude) {
            HRGN cut = CreateRectRgnIndirect(&*exclude);
            CombineRgn(region, region, cut, RGN_DIFF);
            DeleteObject(cut);
        }
    }
    HRGN current = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(wnd, current);
    const bool hasCurrent = kind != RGN_ERROR && kind != NULLREGION;
    const bool equal = region && hasCurrent && EqualRgn(region, current);
    DeleteObject(current);
    if ((region || hasCurrent) && !equal) SetWindowRgn(wnd, region, TRUE);
    else if (region) DeleteObject(region);
}

bool AreVisualStylesMustBeUsed(bool nativeStyle, TdxThemedObjectType type) { return nativeStyle && OpenTheme(type) != nullptr; }

RECT GetSizeGripRect(TWinControl* innerControl)
{
    TcxContainer* container = GetcxContainer(innerControl);
    if (!container || !innerControl->HandleAllocated()) return cxEmptyRect;
    TcxScrollBar* horizontal = container->GetMirrorScrollBar(sbHorizontal);
    TcxScrollBar* vertical = container->GetMirrorScrollBar(sbVertical);
    if (!horizontal || !vertical || !horizontal->Visible() || !vertical->Visible()) return cxEmptyRect;
    const POINT corner = container->ClientToScreen(POINT{vertical->Left(), horizontal->Top()});
    RECT window{};
    GetWindowRect(innerControl->Handle(), &window);
    const int left = corner.x - window.left;
    const int top = corner.y - window.top;
    return RECT{left, top, left + vertical->Width(), top + horizontal->Height()};
}

// ---- unit ------------------------------------------------------------------------------------------------------

void cxContainerInitialize()
{
    if (U().starts++ > 0) return;
    cxContainerStylesInitialize();
    if (HMODULE user32 = LoadLibraryA("User32.dll")) {
        GetScrollBarInfoProc = reinterpret_cast<TcxGetScrollBarInfoProc>(GetProcAddress(user32, "GetScrollBarInfo"));
        FreeLibrary(user32);
    }
    U().screenCanvas = new TcxScreenCanvas();
}

void cxContainerFinalize()
{
    if (U().starts == 0 || --U().starts > 0) return;
    delete U().screenCanvas;
    U().screenCanvas = nullptr;
    GetScrollBarInfoProc = nullptr;
    cxContainerStylesFinalize();
}
