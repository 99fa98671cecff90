#include "components/editors/cxDropDownEdit.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr int kShadowWidth = 3;

RECT Deflate(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right - dx, r.bottom - dy}; }

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

bool Contains(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

SIZE ThemedPartSize(TdxThemedObjectType type, int part, int state)
{
    SIZE size{};
    if (HTHEME theme = OpenTheme(type)) dxUxTheme::GetThemePartSize(theme, nullptr, part, state, TS_TRUE, size);
    return size;
}

// Draws the grip as for the bottom-right corner into a bitmap and copies it
// mirrored into the wanted corner.
template <class Draw>
void DrawMirrored(TcxCanvas* canvas, const RECT& r, TcxEditPopupGripCorner corner, Draw draw)
{
    const int w = RectWidth(r);
    const int h = RectHeight(r);
    if (w <= 0 || h <= 0) return;
    HDC screen = canvas->Handle();
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    quelvo::sys::ScopeGuard release([&] {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    });
    RECT local{0, 0, w, h};
    FillRect(dc, &local, GetSysColorBrush(COLOR_BTNFACE));
    draw(dc, local);
    const bool flipX = corner == egcTopLeft || corner == egcBottomLeft;
    const bool flipY = corner == egcTopLeft || corner == egcTopRight;
    StretchBlt(screen, flipX ? r.right - 1 : r.left, flipY ? r.bottom - 1 : r.top, flipX ? -w : w, flipY ? -h : h, dc,
               0, 0, w, h, SRCCOPY);
}

TcxButtonState ButtonStateOf(int state)
{
    switch (state) {
    case 2: return cxbsHot;
    case 3: return cxbsPressed;
    default: return cxbsNormal;
    }
}

}  // namespace

int cxEditPopupSizingOffset()
{
    return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
}

// ---- view info ----------------------------------------------------------------------------------

TClass TcxCustomEditPopupWindowViewInfo::StaticClass()
{
    return DefineClass<TcxCustomEditPopupWindowViewInfo, TcxContainerViewInfo>("TcxCustomEditPopupWindowViewInfo");
}

void TcxCustomEditPopupWindowViewInfo::Construct()
{
    TcxContainerViewInfo::Construct();
    SizingOffset = cxEditPopupSizingOffset();
}

bool TcxCustomEditPopupWindowViewInfo::UsesThemes() const { return AreVisualStylesMustBeUsed(NativeStyle, totWindow); }

int TcxCustomEditPopupWindowViewInfo::FrameWidth() const
{
    if (NativeStyle) return 1;
    static constexpr int widths[] = {0, 1, 4, 2};
    return widths[PopupBorderStyle];
}

int TcxCustomEditPopupWindowViewInfo::ClientEdgeWidth() const
{
    if (!ClientEdge) return 0;
    if (NativeStyle) return 2;
    static constexpr int widths[] = {0, 2, 2, 1};
    return widths[PopupBorderStyle];
}

int TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight()
{
    int height = cxEditPopupSizingOffset();
    if (UsesThemes()) {
        height = std::max<int>(height, ThemedPartSize(totWindow, WP_SMALLCLOSEBUTTON, CBS_NORMAL).cy);
        height = std::max<int>(height, ThemedPartSize(totScrollBar, SBP_SIZEBOX, 1).cy);
    }
    return MinSysPanelHeight > 0 ? std::max(height, MinSysPanelHeight) : height;
}

RECT TcxCustomEditPopupWindowViewInfo::GetBorderExtent()
{
    const int width = FrameWidth() + ClientEdgeWidth();
    RECT extent{width, width, width, width};
    if (Shadow) {
        extent.right += kShadowWidth;
        extent.bottom += kShadowWidth;
    }
    SysPanelHeight = SysPanelStyle ? GetSysPanelHeight() : 0;
    if (SysPanelStyle) {
        const int panel = SysPanelHeight + (NativeStyle || PopupBorderStyle == epbsSingle ? 1 : 0);
        (PanelAtBottom() ? extent.bottom : extent.top) += panel;
    }
    SizingOffset = cxEditPopupSizingOffset();
    return extent;
}

void TcxCustomEditPopupWindowViewInfo::Calculate()
{
    const RECT origin{0, 0, RectWidth(Bounds), RectHeight(Bounds)};
    const int inset = FrameWidth() + (SysPanelStyle ? 0 : ClientEdgeWidth());
    SizingRegionBounds = Deflate(origin, inset, inset);
    if (Shadow) {
        SizingRegionBounds.right -= kShadowWidth;
        SizingRegionBounds.bottom -= kShadowWidth;
    }
    ClientRect = origin;
    ExtendRect(ClientRect, GetBorderExtent());
    CloseButtonNativeState = SysPanelStyle && UsesThemes() ? CloseButtonState : 0;
    SizeGripRect = SizeGripSizingRect = CloseButtonRect = RECT{};
    if (!SysPanelStyle) return;
    if (Sizeable) CalculateGrip(SysPanelHeight);
    if (CloseButton) CalculateCloseButton(SysPanelHeight);
}

RECT TcxCustomEditPopupWindowViewInfo::PanelRect() const
{
    RECT panel = SizingRegionBounds;
    if (PanelAtBottom()) {
        panel.top = panel.bottom - SysPanelHeight;
    } else {
        panel.bottom = panel.top + SysPanelHeight;
    }
    return panel;
}

void TcxCustomEditPopupWindowViewInfo::CalculateGrip(int panelHeight)
{
    int size = panelHeight - 2;
    if (UsesThemes()) size = std::max<int>(size, ThemedPartSize(totScrollBar, SBP_SIZEBOX, 1).cy + 2);
    const RECT s = SizingRegionBounds;
    const int left = GripAtRight() ? s.right - size : s.left;
    const int top = PanelAtBottom() ? s.bottom - size : s.top;
    SizeGripSizingRect = RECT{left, top, left + size, top + size};
    SizeGripRect = SizeGripSizingRect;
    (GripAtRight() ? SizeGripRect.left : SizeGripRect.right) += GripAtRight() ? 2 : -2;
    (PanelAtBottom() ? SizeGripRect.top : SizeGripRect.bottom) += PanelAtBottom() ? 2 : -2;
}

void TcxCustomEditPopupWindowViewInfo::CalculateCloseButton(int panelHeight)
{
    const bool themed = UsesThemes();
    SIZE size{panelHeight - 4, panelHeight - 4};
    if (themed) size = ThemedPartSize(totWindow, WP_SMALLCLOSEBUTTON, CBS_NORMAL);
    const RECT panel = PanelRect();
    const int left = GripAtRight() ? panel.left + 2 : panel.right - 2 - size.cx;
    int top = PanelAtBottom() ? panel.bottom - 2 - size.cy : panel.top + 2;
    if (themed) top = panel.top + (RectHeight(panel) - size.cy) / 2;
    CloseButtonRect = RECT{left, top, left + size.cx, top + size.cy};
}

bool TcxCustomEditPopupWindowViewInfo::IsSizingPlace(int x, int y, int& horz, int& vert)
{
    horz = vert = 0;
    RECT bounds{0, 0, RectWidth(Bounds), RectHeight(Bounds)};
    if (Shadow) {
        bounds.right -= kShadowWidth;
        bounds.bottom -= kShadowWidth;
    }
    if (!Sizeable || !Contains(bounds, x, y)) return false;
    const int gripHorz = GripAtRight() ? 1 : -1;
    const int gripVert = PanelAtBottom() ? 1 : -1;
    if (SysPanelStyle && Contains(SizeGripSizingRect, x, y)) {
        horz = gripHorz;
        vert = gripVert;
        return true;
    }
    if (Contains(SizingRegionBounds, x, y)) return false;
    if (x < bounds.left + SizingOffset) horz = -1;
    else if (x >= bounds.right - SizingOffset) horz = 1;
    if (y < bounds.top + SizingOffset) vert = -1;
    else if (y >= bounds.bottom - SizingOffset) vert = 1;
    if (horz != gripHorz) horz = 0;
    if (vert != gripVert) vert = 0;
    // The panel's edge starts a resize only at its corners.
    if (SysPanelStyle && vert != 0 && horz == 0) vert = 0;
    return horz != 0 || vert != 0;
}

// ---- view info painting ----

void TcxCustomEditPopupWindowViewInfo::DrawBorder(TcxCanvas* canvas, RECT& r)
{
    if (NativeStyle || PopupBorderStyle == epbsSingle) {
        canvas->FrameRect(r, clBtnText);
    } else if (PopupBorderStyle == epbsFrame3D || PopupBorderStyle == epbsFlat) {
        canvas->DrawEdge(r, false, true);
        r = Deflate(r, 1, 1);
        canvas->DrawEdge(r, false, false);
        if (PopupBorderStyle == epbsFrame3D) {
            r = Deflate(r, 1, 1);
            canvas->FrameRect(r, ClientEdge ? clInactiveBorder : clBtnFace);
            r = Deflate(r, 1, 1);
            if (ClientEdge) canvas->FrameRect(r, clBtnFace);
            else canvas->DrawEdge(r, true, true);
        }
    } else {
        return;
    }
    r = Deflate(r, 1, 1);
}

void TcxCustomEditPopupWindowViewInfo::DrawPanelSeparator(TcxCanvas* canvas)
{
    const RECT panel = PanelRect();
    const int y = PanelAtBottom() ? panel.top - 1 : panel.bottom;
    canvas->FrameRect(RECT{panel.left, y, panel.right, y + 1}, clBtnText);
}

void TcxCustomEditPopupWindowViewInfo::DrawClientEdge(TcxCanvas* canvas, const RECT& client)
{
    const int width = ClientEdgeWidth();
    const RECT outer = Deflate(client, -width, -width);
    canvas->DrawEdge(outer, true, true);
    if (width > 1) canvas->DrawEdge(Deflate(outer, 1, 1), true, false);
}

void TcxCustomEditPopupWindowViewInfo::DrawSizeGrip(TcxCanvas* canvas)
{
    const bool themed = UsesThemes();
    DrawMirrored(canvas, SizeGripRect, SizeGripCorner, [themed](HDC dc, RECT r) {
        if (themed) {
            if (HTHEME theme = OpenTheme(totScrollBar)) dxUxTheme::DrawThemeBackground(theme, dc, SBP_SIZEBOX, 1, r);
        } else {
            DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
    });
}

void TcxCustomEditPopupWindowViewInfo::DrawCloseButton(TcxCanvas* canvas)
{
    if (UsesThemes()) {
        HTHEME theme = OpenTheme(totWindow);
        if (dxUxTheme::IsThemeBackgroundPartiallyTransparent(theme, WP_SMALLCLOSEBUTTON, CloseButtonNativeState)) {
            canvas->SetBrushColor(clBtnFace);
            canvas->FillRect(CloseButtonRect);
        }
        dxUxTheme::DrawThemeBackground(theme, canvas->Handle(), WP_SMALLCLOSEBUTTON, CloseButtonNativeState, CloseButtonRect);
        return;
    }
    const auto style = static_cast<TcxLookAndFeelStyle>(LookAndFeelKind);
    if (auto painter = cxLookAndFeelPainterOfStyle(style))
        painter->DrawFilterCloseButton(canvas, CloseButtonRect, ButtonStateOf(CloseButtonState));
}

void TcxCustomEditPopupWindowViewInfo::InternalPaint(TcxCanvas* canvas)
{
    RECT r{0, 0, RectWidth(Bounds), RectHeight(Bounds)};
    if (Shadow) {
        r.right -= kShadowWidth;
        r.bottom -= kShadowWidth;
        DrawContainerShadow(canvas, r);
    }
    DrawBorder(canvas, r);
    if (SysPanelStyle && (NativeStyle || PopupBorderStyle == epbsSingle || UsesThemes())) DrawPanelSeparator(canvas);
    if (ClientEdge) DrawClientEdge(canvas, ClientRect);
    if (SysPanelStyle && Sizeable) {
        DrawSizeGrip(canvas);
        canvas->ExcludeClipRect(SizeGripRect);
    }
    if (SysPanelStyle && CloseButton) {
        DrawCloseButton(canvas);
        canvas->ExcludeClipRect(CloseButtonRect);
    }
    canvas->SetBrushColor(clBtnFace);
    canvas->FillRect(ClientRect);
    if (SysPanelStyle) canvas->FillRect(PanelRect());
}

// ---- popup window ---------------------------------------------------------------------------------

TClass TcxCustomEditPopupWindow::StaticClass()
{
    return DefineClass<TcxCustomEditPopupWindow, TcxCustomPopupWindow>("TcxCustomEditPopupWindow");
}

void TcxCustomEditPopupWindow::Construct(TWinControl* ownerControl)
{
    TcxCustomPopupWindow::Construct(ownerControl);
    viewInfo_.reset(CreateInstance<TcxCustomEditPopupWindowViewInfo>(GetViewInfoClass()));
    viewInfo_->IsEditPopup = true;
    BOOL full = TRUE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    showContentWhileResize_ = full != FALSE;
}

void TcxCustomEditPopupWindow::Destroy()
{
    // A drag in progress ends without moving the window that goes.
    resizing_ = false;
    EraseSizeFrame();
    TcxCustomPopupWindow::Destroy();
    viewInfo_.reset();
}

TClass TcxCustomEditPopupWindow::GetViewInfoClass() const { return TcxCustomEditPopupWindowViewInfo::StaticClass(); }

IcxEditPopupWindowOwner* TcxCustomEditPopupWindow::GetEdit() const
{
    return dynamic_cast<IcxEditPopupWindowOwner*>(OwnerControl());
}

bool TcxCustomEditPopupWindow::AcceptsAnySize()
{
    auto* edit = GetEdit();
    return edit && edit->PopupWindowAcceptsAnySize();
}

void TcxCustomEditPopupWindow::AdjustClientRect(RECT& rect)
{
    if (viewInfo_) ExtendRect(rect, viewInfo_->GetClientExtent());
}

void TcxCustomEditPopupWindow::UpdateOwnerBounds()
{
    auto* edit = GetEdit();
    TWinControl* owner = OwnerControl();
    if (!edit || !owner) return;
    const RECT bounds = edit->GetPopupWindowOwnerControlBounds();
    TControl* parent = owner->Parent();
    SetAnchorBounds(bounds);
    SetAnchorParent(parent);
    const POINT tl = parent ? parent->ClientToScreen(POINT{bounds.left, bounds.top}) : POINT{bounds.left, bounds.top};
    ownerScreenBounds_ = RECT{tl.x, tl.y, tl.x + RectWidth(bounds), tl.y + RectHeight(bounds)};
}

POINT TcxCustomEditPopupWindow::CalculatePosition()
{
    UpdateOwnerBounds();
    POINT position = TcxCustomPopupWindow::CalculatePosition();
    ChooseGripCorner(position);
    if (Shadow() && position.y < ownerScreenBounds_.top) position.y += kShadowWidth;
    return position;
}

// The grip lies away from the editor.
void TcxCustomEditPopupWindow::ChooseGripCorner(POINT position)
{
    const bool below = position.y >= ownerScreenBounds_.bottom;
    const bool right = position.x >= ownerScreenBounds_.left;
    viewInfo_->SizeGripCorner =
        below ? (right ? egcBottomRight : egcBottomLeft) : (right ? egcTopRight : egcTopLeft);
}

SIZE TcxCustomEditPopupWindow::GetMinSize()
{
    const RECT extent = viewInfo_->GetBorderExtent();
    SIZE size{extent.left + extent.right, extent.top + extent.bottom};
    if (Sizeable() && SysPanelStyle()) {
        const int panel = viewInfo_->SysPanelHeight;
        size.cx += (panel - 2) + (CloseButton() ? panel - 4 : 0) + 10;
    }
    return size;
}

void TcxCustomEditPopupWindow::CalculateSize()
{
    viewInfo_->SizeGripCorner = egcBottomRight;
    UpdateOwnerBounds();
    auto* edit = GetEdit();
    const RECT extent = viewInfo_->GetBorderExtent();
    const SIZE minSize = GetMinSize();
    const SIZE preferred = edit ? edit->GetPopupWindowClientPreferredSize() : SIZE{};
    int width = popupWidth_ > 0 ? popupWidth_ : RectWidth(ownerScreenBounds_);
    int height = popupHeight_ > 0 ? popupHeight_ : std::max<int>(minHeight_, minSize.cy);
    if (popupAutoSize_) {
        width = extent.left + extent.right + preferred.cx;
        height = extent.top + extent.bottom + preferred.cy;
    }
    if (Sizeable()) {
        if (minWidth_ > 0) width = std::max(width, minWidth_);
        if (minHeight_ > 0) height = std::max(height, minHeight_);
    }
    SetWidth(std::max<int>(width, minSize.cx));
    SetHeight(std::max<int>(height, minSize.cy));
}

void TcxCustomEditPopupWindow::CalculateViewInfo()
{
    viewInfo_->Bounds = RECT{0, 0, Width(), Height()};
    viewInfo_->Calculate();
    if (auto* edit = GetEdit()) viewInfo_->LookAndFeelKind = edit->GetPopupLookAndFeelKind();
}

void TcxCustomEditPopupWindow::RefreshPopupWindow()
{
    UpdateOwnerBounds();
    CalculateViewInfo();
    if (auto* edit = GetEdit()) edit->PositionPopupWindowChilds(viewInfo_->ClientRect);
    Invalidate();
    Update();
}

void TcxCustomEditPopupWindow::Paint()
{
    CalculateViewInfo();
    viewInfo_->Paint(Canvas());
}

void TcxCustomEditPopupWindow::Resize()
{
    TcxCustomPopupWindow::Resize();
    if (!viewInfo_) return;
    CalculateViewInfo();
    UpdateShadowRegion();
}

void TcxCustomEditPopupWindow::SetBounds(int left, int top, int width, int height)
{
    const bool moved = left != Left() || top != Top();
    TcxCustomPopupWindow::SetBounds(left, top, width, height);
    if (moved) UpdateShadowRegion();
}

void TcxCustomEditPopupWindow::UpdateShadowRegion()
{
    if (!HandleAllocated()) return;
    std::optional<RECT> exclude;
    const RECT window{Left(), Top(), Left() + Width(), Top() + Height()};
    RECT overlap{};
    if (Top() < ownerScreenBounds_.top && IntersectRect(&overlap, &window, &ownerScreenBounds_))
        exclude = RECT{overlap.left - Left(), overlap.top - Top(), overlap.right - Left(), overlap.bottom - Top()};
    SetWindowShadowRegion(Handle(), RECT{0, 0, Width(), Height()}, NativeStyle(), exclude, Shadow());
}

bool TcxCustomEditPopupWindow::CanResizePopup(int& width, int& height)
{
    if (!Sizeable() || (width == Width() && height == Height())) return false;
    const SIZE minSize = GetMinSize();
    width = std::max<int>({width, minSize.cx, minWidth_});
    height = std::max<int>({height, minSize.cy, minHeight_});
    auto* edit = GetEdit();
    if ((width == Width() && height == Height()) || !edit || !edit->IsPopupLookupDataVisual()) return true;
    const RECT extent = viewInfo_->GetBorderExtent();
    SIZE client{width - extent.left - extent.right, height - extent.top - extent.bottom};
    if (!edit->CanResizePopupVisualArea(client, RoomBesideEditor() - extent.top - extent.bottom)) {
        width = Width();
        height = Height();
        return true;
    }
    width = std::max<int>(client.cx + extent.left + extent.right, minSize.cx);
    height = std::max<int>(client.cy + extent.top + extent.bottom, minSize.cy);
    return true;
}

int TcxCustomEditPopupWindow::RoomBesideEditor() const
{
    const RECT area = GetDesktopWorkArea(POINT{ownerScreenBounds_.left, ownerScreenBounds_.top});
    if (viewInfo_->PanelAtBottom()) return area.bottom - ownerScreenBounds_.bottom;
    return ownerScreenBounds_.top - area.top;
}

// ---- keys and messages ----

void TcxCustomEditPopupWindow::DoPopupControlKey(char key)
{
    if (!IsVisible()) return;
    if (HWND focus = GetFocus()) SendMessageA(focus, WM_CHAR, static_cast<unsigned char>(key), 0);
}

void TcxCustomEditPopupWindow::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_POPUPCONTROLKEY: return CMPopupControlKey(m);
    case WM_MOUSEACTIVATE: return WMMouseActivate(m);
    default: return TcxCustomPopupWindow::Dispatch(m);
    }
}

// A popup that leaves the keyboard to its editor is not activated by a
// click either: the editor would take it as leaving and close the popup.
void TcxCustomEditPopupWindow::WMMouseActivate(TMessage& m)
{
    if (CaptureFocus())
        return TcxCustomPopupWindow::Dispatch(m);
    m.Result = MA_NOACTIVATE;
}

void TcxCustomEditPopupWindow::CMPopupControlKey(TMessage& m) { DoPopupControlKey(static_cast<char>(m.WParam)); }

void TcxCustomEditPopupWindow::DoClosing()
{
    EraseSizeFrame();
    TcxCustomPopupWindow::DoClosing();
}

void TcxCustomEditPopupWindow::DoClosed()
{
    EndDrag();
    TcxCustomPopupWindow::DoClosed();
}

// ---- mouse: the close button and resizing ----

void TcxCustomEditPopupWindow::SetCloseButtonState(int state)
{
    if (viewInfo_->CloseButtonState == state) return;
    viewInfo_->CloseButtonState = state;
    if (HandleAllocated()) InvalidateRect(Handle(), &viewInfo_->CloseButtonRect, FALSE);
}

void TcxCustomEditPopupWindow::UpdateCursor(int x, int y)
{
    int horz = 0;
    int vert = 0;
    TCursor cursor = crDefault;
    if (viewInfo_->IsSizingPlace(x, y, horz, vert)) {
        if (vert == 0) cursor = crSizeWE;
        else if (horz == 0) cursor = crSizeNS;
        else cursor = horz == vert ? crSizeNWSE : crSizeNESW;
    }
    SetCursor(cursor);
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomPopupWindow::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    int horz = 0;
    int vert = 0;
    if (CloseButton() && SysPanelStyle() && Contains(viewInfo_->CloseButtonRect, x, y)) {
        SetMouseCapture(true);
        closeButtonPressed_ = true;
        SetCloseButtonState(3);
    } else if (viewInfo_->IsSizingPlace(x, y, horz, vert)) {
        SetMouseCapture(true);
        StartDrag(x, y, horz, vert);
    }
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState shift, int x, int y)
{
    TcxCustomPopupWindow::MouseMove(shift, x, y);
    if (resizing_) return Drag(ClientToScreen(POINT{x, y}));
    UpdateCursor(x, y);
    if (!CloseButton() || !SysPanelStyle()) return;
    const bool inside = Contains(viewInfo_->CloseButtonRect, x, y);
    if (closeButtonPressed_) SetCloseButtonState(inside ? 3 : 1);
    else SetCloseButtonState(inside ? 2 : 1);
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomPopupWindow::MouseUp(button, shift, x, y);
    if (button != mbLeft) return;
    const bool pressed = closeButtonPressed_;
    closeButtonPressed_ = false;
    if (MouseCapture()) SetMouseCapture(false);
    if (resizing_) {
        EndDrag();
        UpdateCursor(x, y);
        return;
    }
    const bool inside = CloseButton() && SysPanelStyle() && Contains(viewInfo_->CloseButtonRect, x, y);
    SetCloseButtonState(inside ? 2 : 1);
    if (!pressed || !inside || !CloseQuery()) return;
    auto alive = AliveToken();
    if (auto* edit = GetEdit()) edit->ClosePopupWindowByButton();
    if (*alive && IsVisible()) SetCloseButtonState(2);
}

void TcxCustomEditPopupWindow::MouseLeave(TControl* control)
{
    TcxCustomPopupWindow::MouseLeave(control);
    if (!MouseCapture()) SetCloseButtonState(1);
}

void TcxCustomEditPopupWindow::StartDrag(int x, int y, int horz, int vert)
{
    resizing_ = true;
    horzDirection_ = horz;
    vertDirection_ = vert;
    grabOffset_ = POINT{horz > 0 ? Width() - x : x, vert > 0 ? Height() - y : y};
    lastBounds_ = RECT{Left(), Top(), Left() + Width(), Top() + Height()};
    UpdateCursor(x, y);
    if (!showContentWhileResize_) DrawSizeFrame(lastBounds_);
}

RECT TcxCustomEditPopupWindow::DraggedBounds(POINT screen)
{
    RECT r = lastBounds_;
    if (horzDirection_ > 0) r.right = screen.x + grabOffset_.x;
    if (horzDirection_ < 0) r.left = screen.x - grabOffset_.x;
    if (vertDirection_ > 0) r.bottom = screen.y + grabOffset_.y;
    if (vertDirection_ < 0) r.top = screen.y - grabOffset_.y;
    int width = RectWidth(r);
    int height = RectHeight(r);
    if (!CanResizePopup(width, height)) return lastBounds_;
    if (horzDirection_ < 0) r.left = r.right - width;
    else r.right = r.left + width;
    if (vertDirection_ < 0) r.top = r.bottom - height;
    else r.bottom = r.top + height;
    // The popup stays on its side of the editor and inside the work area.
    if (viewInfo_->PanelAtBottom()) r.top = std::max(r.top, ownerScreenBounds_.bottom);
    else r.bottom = std::min(r.bottom, ownerScreenBounds_.top + (Shadow() ? kShadowWidth : 0));
    const RECT area = GetDesktopWorkArea(POINT{ownerScreenBounds_.left, ownerScreenBounds_.top});
    r.left = std::max(r.left, area.left);
    r.top = std::max(r.top, area.top);
    r.right = std::min(r.right, area.right);
    r.bottom = std::min(r.bottom, area.bottom);
    return r;
}

void TcxCustomEditPopupWindow::Drag(POINT screen)
{
    const RECT r = DraggedBounds(screen);
    if (EqualRect(&r, &lastBounds_)) return;
    if (showContentWhileResize_) {
        ApplyDraggedBounds(r);
    } else {
        EraseSizeFrame();
        DrawSizeFrame(r);
    }
    lastBounds_ = r;
    if (auto* edit = GetEdit()) edit->PopupWindowResizedByUser();
}

void TcxCustomEditPopupWindow::ApplyDraggedBounds(const RECT& r)
{
    SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
    RefreshPopupWindow();
}

void TcxCustomEditPopupWindow::EndDrag()
{
    if (!resizing_) return;
    resizing_ = false;
    if (MouseCapture()) SetMouseCapture(false);
    if (showContentWhileResize_) return;
    EraseSizeFrame();
    ApplyDraggedBounds(lastBounds_);
}

void TcxCustomEditPopupWindow::DrawSizeFrame(const RECT& r)
{
    HDC dc = GetDC(nullptr);
    if (!dc) return;
    quelvo::sys::ScopeGuard release([dc] { ReleaseDC(nullptr, dc); });
    RECT frame = r;
    if (Shadow()) {
        frame.right -= kShadowWidth;
        frame.bottom -= kShadowWidth;
    }
    const int width = std::max(viewInfo_->FrameWidth(), 2);
    for (int i = 0; i < width; ++i) {
        const RECT line = Deflate(frame, i, i);
        ::DrawFocusRect(dc, &line);
    }
    const bool erasing = sizeFrame_ && EqualRect(&*sizeFrame_, &r);
    sizeFrame_ = erasing ? std::nullopt : std::optional<RECT>(r);
}

void TcxCustomEditPopupWindow::EraseSizeFrame()
{
    if (sizeFrame_) DrawSizeFrame(*sizeFrame_);
}
