#include "components/editor-catalogue/cxGroupBox.h"
#include "components/editors/cxEditStyles.h"

#include <algorithm>

#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/visual/messages.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

const TEnumInfo& EnumTypeInfo(TcxCaptionAlignment*)
{
    static const TEnumInfo info{"TcxCaptionAlignment",
                                {"alTopLeft", "alTopCenter", "alTopRight", "alBottomLeft", "alBottomCenter",
                                 "alBottomRight", "alLeftTop", "alLeftCenter", "alLeftBottom", "alRightTop",
                                 "alRightCenter", "alRightBottom", "alCenterCenter"},
                                0};
    return info;
}

namespace {

constexpr int kGroupBoxPart = 4;  // BP_GROUPBOX
constexpr int kTextColorProperty = 3803;  // TMT_TEXTCOLOR

enum class CaptionSide { Top, Bottom, Left, Right, None };

CaptionSide SideOf(TcxCaptionAlignment a)
{
    if (a <= alTopRight) return CaptionSide::Top;
    if (a <= alBottomRight) return CaptionSide::Bottom;
    if (a <= alLeftBottom) return CaptionSide::Left;
    if (a <= alRightBottom) return CaptionSide::Right;
    return CaptionSide::None;
}

// The side of the rectangle that faces the caption.
LONG& SideOfRect(RECT& r, CaptionSide side)
{
    switch (side) {
    case CaptionSide::Bottom: return r.bottom;
    case CaptionSide::Left: return r.left;
    case CaptionSide::Right: return r.right;
    default: return r.top;
    }
}

void Fill(TcxCanvas* canvas, const RECT& r, TColor color)
{
    canvas->SetBrushColor(color);
    canvas->FillRect(r);
}

// The caption rectangle of a text tw wide and th high by alignment (the
// caption's table); s is the shadow allowance.
RECT PlaceCaption(TcxCaptionAlignment a, int tw, int th, int w, int h, int s)
{
    const int centre = (w - s - tw) / 2;
    switch (a) {
    case alTopLeft: return RECT{8, 0, 8 + tw, th};
    case alTopCenter: return RECT{centre, 0, centre + tw, th};
    case alTopRight: return RECT{w - 8 - s - tw, 0, w - 8 - s, th};
    case alBottomLeft: return RECT{8, h - th - 2, 8 + tw, h - 2};
    case alBottomCenter: return RECT{centre, h - th - 2, centre + tw, h - 2};
    case alBottomRight: return RECT{w - 8 - s - tw, h - th - 2, w - 8 - s, h - 2};
    case alCenterCenter: {
        const int top = (h - s - th) / 2;
        return RECT{centre, top, centre + tw, top + th};
    }
    case alLeftTop: return RECT{-1, 8, th - 1, 8 + tw};
    case alLeftCenter: {
        const int bottom = h - s - (h - s - tw) / 2;
        return RECT{-1, bottom - tw, th - 1, bottom};
    }
    case alLeftBottom: return RECT{-1, h - s - 8 - tw, th - 1, h - s - 8};
    case alRightTop: return RECT{w - th + 1, 8, w + 1, 8 + tw};
    case alRightCenter: {
        const int top = (h - tw) / 2;
        return RECT{w - th + 1, top, w + 1, top + tw};
    }
    default: return RECT{w - th + 1, h - 8 - tw, w + 1, h - 8};
    }
}

}  // namespace

// ---- styles and properties ---------------------------------------------------------------------

TClass TcxGroupBoxStyleEx::StaticClass()
{
    return DefineClass<TcxGroupBoxStyleEx, TcxEditStyleEx>("TcxGroupBoxStyleEx");
}

TcxContainerBorderStyle TcxGroupBoxStyleEx::DefaultBorderStyle() const
{
    if (!IsBaseStyle() && GetBaseStyle()->BorderStyle() == cbsFlat) return cbsFlat;
    return TcxEditStyleEx::DefaultBorderStyle();
}

TClass TcxCustomGroupBoxProperties::StaticClass()
{
    return DefineClass<TcxCustomGroupBoxProperties, TcxCustomEditProperties>("TcxCustomGroupBoxProperties");
}

TClass TcxCustomGroupBoxProperties::GetContainerClass() { return TcxCustomGroupBox::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetStyleExClass() { return TcxGroupBoxStyleEx::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetViewInfoClass() { return TcxGroupBoxViewInfo::StaticClass(); }
TClass TcxCustomGroupBoxProperties::GetViewDataClass() { return TcxGroupBoxViewData::StaticClass(); }

// ---- view data ---------------------------------------------------------------------------------

TClass TcxGroupBoxViewData::StaticClass()
{
    return DefineClass<TcxGroupBoxViewData, TcxCustomEditViewData>("TcxGroupBoxViewData");
}

TcxCustomGroupBox* TcxGroupBoxViewData::GroupBox() const { return As<TcxCustomGroupBox>(Edit); }

bool TcxGroupBoxViewData::IsGroupBoxNativeStyle(TcxLookAndFeel* lookAndFeel)
{
    return (lookAndFeel->NativeStyle() || lookAndFeel->Kind() == lfOffice11) &&
           AreVisualStylesMustBeUsed(true, totEdit);
}

bool TcxGroupBoxViewData::IsNativeStyle(TcxLookAndFeel* lookAndFeel) { return IsGroupBoxNativeStyle(lookAndFeel); }

bool TcxGroupBoxViewData::HasShadow()
{
    TcxCustomGroupBox* box = GroupBox();
    const CaptionSide side = box ? SideOf(box->Alignment()) : CaptionSide::Top;
    return TcxCustomEditViewData::HasShadow() && side != CaptionSide::Bottom && side != CaptionSide::Right;
}

TColor TcxGroupBoxViewData::GetBorderColor()
{
    const TcxEditBorderStyle style = Style()->BorderStyle();
    if (style != ebsUltraFlat && style != ebsOffice11) return Style()->BorderColor();
    return Enabled ? GetEditBorderHighlightColor(style == ebsOffice11) : clBtnShadow;
}

int TcxGroupBoxViewData::CaptionTextHeight()
{
    TcxCustomGroupBox* box = GroupBox();
    if (!box) return 0;
    TcxScreenCanvas screen;
    return screen.FontHeight(box->CaptionFont());
}

RECT TcxGroupBoxViewData::GetBorderExtent()
{
    RECT extent = TcxCustomEditViewData::GetBorderExtent();
    TcxCustomGroupBox* box = GroupBox();
    if (IsInplace || !box || box->Alignment() == alCenterCenter) return extent;
    const int h = CaptionTextHeight();
    const CaptionSide side = SideOf(box->Alignment());
    const bool horizontal = side == CaptionSide::Top || side == CaptionSide::Bottom;
    SideOfRect(extent, side) = horizontal ? h / 2 + 1 : h / 2;
    return extent;
}

RECT TcxGroupBoxViewData::GetClientExtent(TcxCanvas*, TcxCustomEditViewInfo*)
{
    RECT extent = TcxCustomEditViewData::GetBorderExtent();
    TcxCustomGroupBox* box = GroupBox();
    if (IsInplace || !box || box->Alignment() == alCenterCenter) return extent;
    SideOfRect(extent, SideOf(box->Alignment())) = CaptionTextHeight() + 3;
    return extent;
}

RECT TcxGroupBoxViewData::GetCaptionRect(TcxCanvas* canvas)
{
    TcxCustomGroupBox* box = GroupBox();
    const std::string& caption = box->VisibleCaption();
    if (caption.empty()) return RECT{};
    box->AdjustCanvasFontSettings(canvas);
    RECT r{8, 0, 8, canvas->FontHeight(box->CaptionFont())};
    DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r,
              box->GetCaptionDrawingFlags() | DT_CALCRECT);
    const int s = Style()->Shadow() ? 3 : 0;
    return PlaceCaption(box->Alignment(), r.right - r.left, r.bottom - r.top, cxRectWidth(Bounds),
                        cxRectHeight(Bounds), s);
}

void TcxGroupBoxViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                    TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    auto* vi = static_cast<TcxGroupBoxViewInfo*>(viewInfo);
    vi->GroupBox = GroupBox();
    vi->Designing = IsDesigning;
    TcxCustomEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    if (IsInplace || !vi->GroupBox) return;
    vi->GroupBox->CalculateCaptionFont();
    vi->GroupBox->CalculateVisibleCaption();
    vi->CaptionRect = GetCaptionRect(canvas);
    vi->CaptionBitmap->SetSize(cxRectWidth(vi->CaptionRect), cxRectHeight(vi->CaptionRect));
}

// ---- view info ---------------------------------------------------------------------------------

TClass TcxGroupBoxViewInfo::StaticClass()
{
    return DefineClass<TcxGroupBoxViewInfo, TcxCustomTextEditViewInfo>("TcxGroupBoxViewInfo");
}

void TcxGroupBoxViewInfo::Construct()
{
    TcxCustomTextEditViewInfo::Construct();
    CaptionBitmap.reset(CreateObject<TBitmap>());
    CaptionCanvas.reset(CreateObject<TcxCanvas>(CaptionBitmap->Canvas()));
}

TClass TcxGroupBoxViewInfo::GetButtonViewInfoClass() const { return TcxGroupBoxButtonViewInfo::StaticClass(); }

void TcxGroupBoxViewInfo::PaintNativeFrame(TcxCanvas* canvas, const RECT& captionRect)
{
    HTHEME theme = OpenTheme(totButton);
    const int state = Enabled ? 1 : 2;
    const RECT all{0, 0, cxRectWidth(Bounds), cxRectHeight(Bounds)};
    if (GroupBox->ParentBackground() && dxUxTheme::IsThemeBackgroundPartiallyTransparent(theme, kGroupBoxPart, state))
        dxUxTheme::DrawThemeParentBackground(GroupBox->Handle(), canvas->Handle(), &all);
    else
        Fill(canvas, all, BackgroundColor());
    if (EditBorderStyle == ebsNone) return;
    const int saved = SaveDC(canvas->Handle());
    ScopeGuard restore([&] { RestoreDC(canvas->Handle(), saved); });
    if (GroupBox->Alignment() != alCenterCenter) canvas->ExcludeClipRect(captionRect);
    RECT frame = all;
    if (GroupBox->Alignment() != alCenterCenter)
        SideOfRect(frame, SideOf(GroupBox->Alignment())) +=
            (SideOf(GroupBox->Alignment()) == CaptionSide::Top || SideOf(GroupBox->Alignment()) == CaptionSide::Left
                 ? 1
                 : -1) *
            (canvas->FontHeight(GroupBox->CaptionFont()) / 2);
    dxUxTheme::DrawThemeBackground(theme, canvas->Handle(), kGroupBoxPart, state, &frame, nullptr);
}

void TcxGroupBoxViewInfo::PaintClassicFrame(TcxCanvas* canvas)
{
    const int b = GetContainerBorderWidth(BorderStyle);
    const TcxCaptionAlignment alignment = GroupBox->Alignment();
    const CaptionSide side = SideOf(alignment);
    const int w = cxRectWidth(Bounds), h = cxRectHeight(Bounds);
    RECT r = BorderRect;
    switch (side) {
    case CaptionSide::Top: r.top = r.left; break;
    case CaptionSide::Bottom: r.bottom = h - (w - r.right); break;
    case CaptionSide::Left: r.left = r.top; break;
    case CaptionSide::Right: r.right = w - (h - r.bottom); break;
    default: break;
    }
    InflateRect(&r, b, b);
    const RECT r0 = r;
    const int a = alignment == alCenterCenter ? b : canvas->FontHeight(GroupBox->CaptionFont()) / 2 - b + 1;
    switch (side) {
    case CaptionSide::Top: Fill(canvas, RECT{r0.left, 0, r0.right, a}, BackgroundColor()); r.top = a; break;
    case CaptionSide::Bottom: Fill(canvas, RECT{r0.left, h - a, r0.right, h}, BackgroundColor()); r.bottom = h - a; break;
    case CaptionSide::Left: Fill(canvas, RECT{0, r0.top, a - 1, r0.bottom}, BackgroundColor()); r.left = a - 1; break;
    case CaptionSide::Right: Fill(canvas, RECT{w - a + 1, r0.top, w, r0.bottom}, BackgroundColor()); r.right = w - a + 1; break;
    default: break;
    }
    const TColor bg = BackgroundColor();
    // Each side in its colour when it is one of the edges, else in the background.
    auto sides = [&](const RECT& rr, TColor color) {
        for (TcxBorder edge : {bLeft, bTop, bRight, bBottom})
            canvas->FrameRect(rr, Edges.Contains(edge) ? color : bg, 1, TcxBorders{edge});
    };
    auto frame = [&](TColor color) {
        sides(r, color);
        InflateRect(&r, -1, -1);
    };
    switch (BorderStyle) {
    case cbsSingle: frame(BorderColor); break;
    case cbsThick: frame(BorderColor); frame(BorderColor); break;
    case cbsFlat: frame(clBtnShadow); frame(clBtnHighlight); break;
    case cbs3D:
        // An etched line: a light frame one pixel in, under a dark one.
        sides(RECT{r.left + 1, r.top + 1, r.right, r.bottom}, clBtnHighlight);
        sides(RECT{r.left, r.top, r.right - 1, r.bottom - 1}, clBtnShadow);
        canvas->SetPixel(r.left, r.bottom - 1, bg);
        canvas->SetPixel(r.right - 1, r.top, bg);
        InflateRect(&r, -2, -2);
        break;
    default: break;
    }
    Fill(canvas, r, bg);
}

void TcxGroupBoxViewInfo::PaintBackgroundAndFrame(TcxCanvas* canvas, const RECT& captionRect)
{
    if (NativeStyle) PaintNativeFrame(canvas, captionRect);
    else PaintClassicFrame(canvas);
}

void TcxGroupBoxViewInfo::PaintCaptionText()
{
    TcxCanvas* canvas = CaptionCanvas.get();
    GroupBox->AdjustCanvasFontSettings(canvas);
    const std::string& caption = GroupBox->VisibleCaption();
    canvas->Brush()->SetColor(BackgroundColor());
    canvas->Brush()->SetStyle(NativeStyle ? bsClear : bsSolid);
    RECT r = CaptionRect;
    const CaptionSide side = SideOf(GroupBox->Alignment());
    if (side == CaptionSide::Left || side == CaptionSide::Right) {
        const POINT at = side == CaptionSide::Left ? POINT{r.left, r.bottom - 1} : POINT{r.right, r.top + 1};
        SetBkColor(canvas->Handle(), ColorToRGB(BackgroundColor()));
        ExtTextOutA(canvas->Handle(), at.x, at.y, ETO_CLIPPED | (NativeStyle ? 0 : ETO_OPAQUE), &r, caption.c_str(),
                    static_cast<UINT>(caption.size()), nullptr);
    } else {
        SetBkMode(canvas->Handle(), TRANSPARENT);
        DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &r,
                  GroupBox->GetCaptionDrawingFlags());
    }
    canvas->Brush()->SetStyle(bsSolid);
}

// The caption goes through its own bitmap, background included, so the
// window never shows it over an uncleared frame.
void TcxGroupBoxViewInfo::PaintCaption(TcxCanvas* canvas)
{
    {
        const int saved = SaveDC(canvas->Handle());
        ScopeGuard restore([&] { RestoreDC(canvas->Handle(), saved); });
        canvas->ExcludeClipRect(CaptionRect);
        CaptionCanvas->SetWindowOrg(POINT{CaptionRect.left, CaptionRect.top});
        CaptionCanvas->Lock();
        ScopeGuard unlock([&] {
            CaptionCanvas->SetWindowOrg(POINT{0, 0});
            CaptionCanvas->Unlock();
        });
        PaintBackgroundAndFrame(canvas, CaptionRect);
        Fill(CaptionCanvas.get(), CaptionRect, BackgroundColor());
        if (NativeStyle) PaintNativeFrame(CaptionCanvas.get(), CaptionRect);
        PaintCaptionText();
    }
    canvas->Draw(CaptionRect.left, CaptionRect.top, CaptionBitmap.get());
    if (!IsDBEditPaintCopyDrawing) return;
    for (int i = 0; i < ButtonCount(); ++i) DrawButton(canvas, i);
}

void TcxGroupBoxViewInfo::InternalPaint(TcxCanvas* canvas)
{
    if (IsInplace || !GroupBox) {
        if (!GroupBox) TcxCustomTextEditViewInfo::InternalPaint(canvas);
        else Fill(canvas, Bounds, BackgroundColor());
        return;
    }
    if (GroupBox->VisibleCaption().empty() || IsRectEmpty(&CaptionRect)) PaintBackgroundAndFrame(canvas, RECT{});
    else PaintCaption(canvas);
}

// ---- TcxCustomGroupBox -------------------------------------------------------------------------

TClass TcxCustomGroupBox::StaticClass()
{
    return DefineClass<TcxCustomGroupBox, TcxCustomEdit>("TcxCustomGroupBox");
}

TClass TcxCustomGroupBox::GetPropertiesClass() const { return TcxCustomGroupBoxProperties::StaticClass(); }

void TcxCustomGroupBox::Construct(TComponent* owner)
{
    captionFont_.reset(CreateObject<TFont>());
    TcxCustomEdit::Construct(owner);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents});
    SetParentColor(true);
    SetBounds(Left(), Top(), 105, 185);
    SetAutoSize(false);
    CalculateCaptionFont();
    SetTabStop(false);
}

void TcxCustomGroupBox::Destroy()
{
    TcxCustomEdit::Destroy();
    captionFont_.reset();
}

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment value)
{
    if (value == alignment_) return;
    alignment_ = value;
    CalculateCaptionFont();
    CalculateVisibleCaption();
    ShortRefreshContainer(false);
    Realign();
}

void TcxCustomGroupBox::CalculateVisibleCaption()
{
    visibleCaption_ = IsVerticalText() ? RemoveAccelChars(Text()) : Text();
}

// Vertical captions turn the font: up on the left, down on the right. Every
// face of the drawing layer turns, so the face is kept.
void TcxCustomGroupBox::CalculateCaptionFont()
{
    if (IsInplace() || !captionFont_) return;
    captionFont_->Assign(GetActiveStyle()->GetVisibleFont());
    if (!IsVerticalText()) return;
    captionFont_->SetEscapement(alignment_ <= alLeftBottom ? 900 : 2700);
}

void TcxCustomGroupBox::AdjustCanvasFontSettings(TcxCanvas* canvas)
{
    canvas->SetFont(captionFont_.get());
    if (!IsNativePainting()) return;
    COLORREF color = 0;
    if (dxUxTheme::GetThemeColor(OpenTheme(totButton), kGroupBoxPart, Enabled() ? 1 : 2, kTextColorProperty, &color) ==
        S_OK)
        canvas->Font()->SetColor(static_cast<TColor>(color));
}

UINT TcxCustomGroupBox::GetCaptionDrawingFlags() const
{
    return DT_SINGLELINE | (IsVerticalText() ? DT_NOPREFIX : 0);
}

bool TcxCustomGroupBox::IsNativePainting()
{
    return TcxGroupBoxViewData::IsGroupBoxNativeStyle(Style()->LookAndFeel());
}

void TcxCustomGroupBox::AdjustClientRect(RECT& rect)
{
    if (IsDestroying()) return;
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData());
    InitializeViewData(viewData.get());
    viewData->Edit = this;
    rect = RECT{0, 0, Width(), Height()};
    ExtendRect(rect, viewData->GetClientExtent(Canvas(), GetViewInfo()));
}

RECT TcxCustomGroupBox::GetShadowBounds()
{
    RECT r = TcxCustomEdit::GetShadowBounds();
    switch (SideOf(alignment_)) {
    case CaptionSide::Top: r.top = 0; break;
    case CaptionSide::Bottom: r.bottom = Height(); break;
    case CaptionSide::Left: r.left = 0; break;
    case CaptionSide::Right: r.right = Width(); break;
    default: break;
    }
    return r;
}

TcxCustomContainerStyle* TcxCustomGroupBox::InternalGetActiveStyle()
{
    if (ViewInfo()->ContainerState.Contains(csDisabled)) return StyleDisabled();
    return Style();
}

bool TcxCustomGroupBox::IsRefreshOnWindowPosChangedNeeded()
{
    return ParentBackground() && !IsInplace() && IsNativePainting();
}

void TcxCustomGroupBox::InvalidateCaption()
{
    if (HandleAllocated()) InternalInvalidateRect(this, GetViewInfo()->CaptionRect, false);
}

bool TcxCustomGroupBox::RefreshContainer(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    InvalidateCaption();
    const bool result = TcxCustomEdit::RefreshContainer(p, button, shift, isMouseEvent);
    InvalidateCaption();
    return result;
}

void TcxCustomGroupBox::TextChanged()
{
    TcxCustomEdit::TextChanged();
    CalculateVisibleCaption();
    ShortRefreshContainer(false);
}

void TcxCustomGroupBox::FontChanged()
{
    TcxCustomEdit::FontChanged();
    Realign();
}

void TcxCustomGroupBox::ContainerStyleChanged(TObject* sender)
{
    CalculateCaptionFont();
    TcxCustomEdit::ContainerStyleChanged(sender);
}

void TcxCustomGroupBox::LookAndFeelChanged() { Invalidate(); }

void TcxCustomGroupBox::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_PRINTCLIENT: return WMPrintClient(m);
    case CM_DIALOGCHAR: return CMDialogChar(m);
    default: return TcxCustomEdit::Dispatch(m);
    }
}

void TcxCustomGroupBox::WMEraseBkgnd(TMessage& m)
{
    m.Result = 1;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    const RECT all{0, 0, Width(), Height()};
    if (IsNativePainting() && ParentBackground()) {
        if (dxUxTheme::IsThemeBackgroundPartiallyTransparent(OpenTheme(totButton), kGroupBoxPart, 1))
            dxUxTheme::DrawThemeParentBackground(Handle(), dc, &all);
        return;
    }
    if (WindowFromDC(dc) == Handle()) return;
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    ScopeGuard free([&] { DeleteObject(brush); });
    FillRect(dc, &GetViewInfo()->ClientRect, brush);
}

void TcxCustomGroupBox::WMPrintClient(TMessage& m)
{
    if (IsNativePainting() || ((m.LParam & PRF_CHECKVISIBLE) && !Visible())) {
        DefaultHandler(m);
        return;
    }
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
    ScopeGuard free([&] { DeleteObject(brush); });
    FillRect(reinterpret_cast<HDC>(m.WParam), &GetViewInfo()->ClientRect, brush);
}

void TcxCustomGroupBox::CMDialogChar(TMessage& m)
{
    if (!IsAccel(static_cast<WORD>(m.WParam), Text()) || !CanFocus()) {
        TcxCustomEdit::Dispatch(m);
        return;
    }
    dialogChar_ = true;
    ScopeGuard clear([this] { dialogChar_ = false; });
    SelectFirst();
    m.Result = 1;
}

TClass TcxGroupBox::StaticClass()
{
    return DefineClass<TcxGroupBox, TcxCustomGroupBox>("TcxGroupBox", [](ClassBuilder<TcxGroupBox>& b) {
        using C = TcxGroupBox;
        b.Property("Alignment", &C::Alignment, &C::SetAlignment).Default(alTopLeft);
        b.Property("CaptionBkColor", &C::CaptionBkColor, &C::SetCaptionBkColor).Stored([](const C&) { return false; });
        PublishEditStyles(b);
    });
}

// ---- button group items ------------------------------------------------------------------------

TClass TcxButtonGroupItem::StaticClass()
{
    return DefineClass<TcxButtonGroupItem, TCollectionItem>("TcxButtonGroupItem");
}

TcxButtonGroupItems* TcxButtonGroupItem::Items() const { return As<TcxButtonGroupItems>(Collection()); }

void TcxButtonGroupItem::Construct(TCollection* collection)
{
    if (collection) collection->BeginUpdate();
    ScopeGuard end([collection] {
        if (collection) collection->EndUpdate();
    });
    TCollectionItem::Construct(collection);
    enabled_ = true;
    if (TcxButtonGroupItems* items = Items()) items->InternalNotify(Index(), coAdd);
}

void TcxButtonGroupItem::Destroy()
{
    TcxButtonGroupItems* items = Items();
    const int index = Index();
    if (items) items->BeginUpdate();
    ScopeGuard end([items] {
        if (items) items->EndUpdate();
    });
    TCollectionItem::Destroy();
    if (items) items->InternalNotify(index, coDelete);
}

void TcxButtonGroupItem::NotifyChanged()
{
    if (TcxButtonGroupItems* items = Items()) items->InternalNotify(Index(), coChanged);
}

void TcxButtonGroupItem::Assign(TPersistent* source)
{
    auto* s = As<TcxButtonGroupItem>(source);
    if (!s) {
        TCollectionItem::Assign(source);
        return;
    }
    SetCaption(s->caption_);
    SetEnabled(s->enabled_);
    tag_ = s->tag_;
}

void TcxButtonGroupItem::SetCaption(const std::string& value)
{
    if (value == caption_) return;
    caption_ = value;
    NotifyChanged();
}

void TcxButtonGroupItem::SetEnabled(bool value)
{
    if (value == enabled_) return;
    enabled_ = value;
    NotifyChanged();
}

TClass TcxButtonGroupItems::StaticClass()
{
    return DefineClass<TcxButtonGroupItems, TOwnedCollection>("TcxButtonGroupItems");
}

void TcxButtonGroupItems::OwnerChanged()
{
    if (auto* properties = As<TcxCustomEditProperties>(GetOwner())) properties->Changed();
}

void TcxButtonGroupItems::InternalNotify(int index, TcxCollectionOperation operation)
{
    notifiedIndex_ = index;
    notifiedOperation_ = operation;
    notifying_ = true;
    ScopeGuard done([this] { notifying_ = false; });
    OwnerChanged();
}

void TcxButtonGroupItems::Update(TCollectionItem*) { OwnerChanged(); }

// ---- button group properties -------------------------------------------------------------------

TClass TcxCustomButtonGroupProperties::StaticClass()
{
    return DefineClass<TcxCustomButtonGroupProperties, TcxCustomGroupBoxProperties>("TcxCustomButtonGroupProperties");
}

void TcxCustomButtonGroupProperties::Construct(TPersistent* owner)
{
    TcxCustomGroupBoxProperties::Construct(owner);
    items_.reset(CreateItems());
}

void TcxCustomButtonGroupProperties::Destroy()
{
    // Items going with their properties tell nobody.
    BeginUpdate();
    items_.reset();
    TcxCustomGroupBoxProperties::Destroy();
}

TcxButtonGroupItems* TcxCustomButtonGroupProperties::CreateItems()
{
    auto* items = CreateObject<TcxButtonGroupItems>();
    items->Construct(this, TcxButtonGroupItem::StaticClass());
    return items;
}

TClass TcxCustomButtonGroupProperties::GetViewDataClass() { return TcxButtonGroupViewData::StaticClass(); }
TClass TcxCustomButtonGroupProperties::GetContainerClass() { return TcxCustomButtonGroup::StaticClass(); }
TClass TcxCustomButtonGroupProperties::GetViewInfoClass() { return TcxButtonGroupViewInfo::StaticClass(); }

void TcxCustomButtonGroupProperties::Assign(TPersistent* source)
{
    auto* s = As<TcxCustomButtonGroupProperties>(source);
    if (!s) {
        TcxCustomGroupBoxProperties::Assign(source);
        return;
    }
    BeginUpdate();
    ScopeGuard end([this] { EndUpdate(); });
    TcxCustomGroupBoxProperties::Assign(source);
    SetColumns(s->columns_);
    SetItems(s->items_.get());
    SetWordWrap(s->wordWrap_);
}

void TcxCustomButtonGroupProperties::SetColumns(int value)
{
    value = std::max(1, value);
    if (value == columns_) return;
    columns_ = value;
    Changed();
}

void TcxCustomButtonGroupProperties::SetWordWrap(bool value)
{
    if (value == wordWrap_) return;
    wordWrap_ = value;
    Changed();
}

int TcxCustomButtonGroupProperties::GetColumnCount()
{
    const int n = items_->Count();
    const int c = std::min(columns_, n);
    if (n <= 0) return c;
    const int rows = (n + c - 1) / c;
    return (n + rows - 1) / rows;
}

int TcxCustomButtonGroupProperties::GetButtonsPerColumn()
{
    const int columns = GetColumnCount();
    return columns <= 0 ? 0 : (items_->Count() + columns - 1) / columns;
}

// ---- button group view -------------------------------------------------------------------------

TClass TcxGroupBoxButtonViewInfo::StaticClass()
{
    return DefineClass<TcxGroupBoxButtonViewInfo, TcxEditButtonViewInfo>("TcxGroupBoxButtonViewInfo");
}

TClass TcxButtonGroupViewInfo::StaticClass()
{
    return DefineClass<TcxButtonGroupViewInfo, TcxGroupBoxViewInfo>("TcxButtonGroupViewInfo");
}

TClass TcxButtonGroupViewData::StaticClass()
{
    return DefineClass<TcxButtonGroupViewData, TcxGroupBoxViewData>("TcxButtonGroupViewData");
}

bool TcxButtonGroupViewData::IsButtonNativeStyle(TcxLookAndFeel* lookAndFeel)
{
    return AreVisualStylesMustBeUsed(lookAndFeel->NativeStyle(), totButton);
}

void TcxButtonGroupViewData::GetEditMetrics(bool, TcxCanvas*, TcxEditMetrics&)
{
    throw EAbstractError("Abstract error: TcxButtonGroupViewData.GetEditMetrics");
}

void TcxButtonGroupViewData::CalculateButtonNativeState(TcxCustomEditViewInfo*, TcxGroupBoxButtonViewInfo*)
{
    throw EAbstractError("Abstract error: TcxButtonGroupViewData.CalculateButtonNativeState");
}

int TcxButtonGroupViewData::GetDrawTextFlags()
{
    if (PaintOptions.Contains(epoAutoHeight) && GetProperties()->WordWrap())
        return cxtfLeft | cxtfVCenter | cxtfNoClip | cxtfShowPrefix | cxtfWordBreak;
    return cxtfLeft | cxtfVCenter | cxtfSingleLine | cxtfShowPrefix;
}

void TcxButtonGroupViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                       TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    TcxGroupBoxViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    auto* vi = static_cast<TcxButtonGroupViewInfo*>(viewInfo);
    vi->DrawTextFlags = static_cast<unsigned>(GetDrawTextFlags());
    vi->CaptionRectExtent = GetCaptionRectExtent();
}

void TcxButtonGroupViewData::CalculateButtonsViewInfo(TcxCanvas*, const RECT&, const POINT& p, TcxMouseButton button,
                                                      TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                                      bool isMouseEvent)
{
    const int n = GetProperties()->Items()->Count();
    viewInfo->SetButtonCount(n);
    if (n == 0) return;
    CalculateButtonViewInfos(viewInfo);
    CalculateButtonPositions(viewInfo);
    CalculateButtonStates(viewInfo, p, button, shift, isMouseEvent);
    for (auto& b : viewInfo->ButtonsInfo)
        CalculateButtonNativeState(viewInfo, static_cast<TcxGroupBoxButtonViewInfo*>(b.get()));
}

void TcxButtonGroupViewData::CalculateButtonViewInfos(TcxCustomEditViewInfo* viewInfo)
{
    TcxEditButtonStyle style = bts3D;
    if (IsInplace) {
        static const TcxEditButtonStyle byKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
        style = byKind[Style()->LookAndFeel()->Kind()];
    } else if (Style()->BorderStyle() == ebsUltraFlat || Style()->BorderStyle() == ebsOffice11) {
        style = Style()->BorderStyle() == ebsUltraFlat ? btsUltraFlat : btsOffice11;
    } else {
        const TcxEditBorderStyle border = viewInfo->EditBorderStyle;
        style = border == ebsNone || border == ebs3D ? bts3D : btsFlat;
    }
    const int rows = GetProperties()->GetButtonsPerColumn();
    TcxButtonGroupItems* items = GetProperties()->Items();
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        auto* b = static_cast<TcxGroupBoxButtonViewInfo*>(viewInfo->ButtonsInfo[static_cast<std::size_t>(i)].get());
        b->HasBackground = viewInfo->HasBackground;
        b->Data.Style = style;
        b->Caption = items->Items(i)->Caption();
        b->ButtonIndex = i;
        b->Column = i / rows;
        b->Row = i % rows;
    }
}

void TcxButtonGroupViewData::CalculateButtonPositions(TcxCustomEditViewInfo* viewInfo)
{
    TcxEditMetrics m;
    GetEditMetrics(false, nullptr, m);
    const int cols = GetProperties()->GetColumnCount();
    const int rows = GetProperties()->GetButtonsPerColumn();
    const RECT e = GetClientExtent(nullptr, viewInfo);
    const RECT& b = viewInfo->Bounds;
    const int w = (cxRectWidth(b) + m.ColumnWidthCorrection - e.left - e.right - (cols - 1) * m.ColumnGap) / cols;
    const int free = cxRectHeight(b) - e.top - e.bottom;
    const int h = free / rows;
    const int firstTop = b.top + e.top + (free % rows) / 2;
    for (auto& info : viewInfo->ButtonsInfo) {
        auto* button = static_cast<TcxGroupBoxButtonViewInfo*>(info.get());
        const int left = b.left + e.left + (w + m.ColumnGap) * button->Column + m.ColumnOffset;
        const int top = firstTop + h * button->Row;
        button->Bounds = RECT{left, top, left + w, top + h};
        button->VisibleBounds = button->Bounds;
    }
}

void TcxButtonGroupViewData::CalculateButtonStates(TcxCustomEditViewInfo* viewInfo, const POINT& p,
                                                   TcxMouseButton, TShiftState shift, bool)
{
    viewInfo->IsButtonReallyPressed = false;
    viewInfo->PressedButton = viewInfo->SelectedButton = -1;
    const bool native = IsButtonNativeStyle(Style()->LookAndFeel());
    const TcxEditButtonTransparency transparency = Style()->ButtonTransparency();
    const bool transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        TcxEditButtonViewInfo* b = viewInfo->ButtonsInfo[static_cast<std::size_t>(i)].get();
        b->Data.NativeStyle = native;
        b->Data.Transparent = transparent;
        b->Data.BackgroundColor = viewInfo->BackgroundColor();
        if (!Enabled) {
            b->Data.State = ebsDisabled;
        } else if (!IsDesigning && PtInRect(&b->Bounds, p) && shift.Empty()) {
            b->Data.State = ebsSelected;
            viewInfo->SelectedButton = i;
        } else if (!IsDesigning && PtInRect(&b->Bounds, p) && shift.Contains(ssLeft)) {
            b->Data.State = ebsPressed;
            viewInfo->PressedButton = i;
            viewInfo->IsButtonReallyPressed = true;
        } else {
            b->Data.State = ebsNormal;
        }
    }
}

SIZE TcxButtonGroupViewData::SizeWithoutWidth(TcxCanvas* canvas, const TcxEditMetrics& m, int textHeight)
{
    TcxButtonGroupItems* items = GetProperties()->Items();
    const int cols = GetProperties()->GetColumnCount();
    const int rows = GetProperties()->GetButtonsPerColumn();
    int widest = 0;
    for (int i = 0; i < items->Count(); ++i)
        widest = std::max<int>(widest, canvas->TextWidth(RemoveAccelChars(items->Items(i)->Caption())));
    const int width =
        (widest + m.ButtonExtraWidth + m.GlyphSize.cx) * cols + (cols - 1) * m.ColumnGap + m.ExtraTotalWidth;
    return SIZE{width, std::max<int>(m.GlyphSize.cy, textHeight) * rows};
}

int TcxButtonGroupViewData::RowHeightInWidth(TcxCanvas* canvas, const TcxEditSizeProperties& sp,
                                             const TcxEditMetrics& m, int textHeight, int correctionHeight)
{
    const int cols = GetProperties()->GetColumnCount();
    const int captionWidth = std::max(1, (sp.Width + m.AutoHeightWidthCorrection - ContentOffset.left -
                                          ContentOffset.right - (cols - 1) * m.ColumnGap) / cols -
                                             m.GlyphSize.cx - m.TextWidthCorrection);
    PaintOptions.Include(epoAutoHeight);
    int rowHeight = textHeight;
    if (!GetProperties()->WordWrap()) return rowHeight;
    const int flags = (GetDrawTextFlags() & ~cxtfVCenter) | cxtfTop;
    TcxButtonGroupItems* items = GetProperties()->Items();
    for (int i = 0; i < items->Count(); ++i) {
        if (items->Items(i)->Caption().empty()) continue;
        RECT r{0, 0, captionWidth, 0};
        canvas->TextExtent(items->Items(i)->Caption(), r, flags);
        rowHeight = std::max<int>(rowHeight, cxRectHeight(r) + correctionHeight);
    }
    return rowHeight;
}

void TcxButtonGroupViewData::GetEditConstantPartSize(TcxCanvas* canvas, const TcxEditSizeProperties& sizeProperties,
                                                     SIZE& minContentSize, SIZE& size, TcxCustomEditViewInfo*)
{
    minContentSize = SIZE{0, 0};
    canvas->SetFont(Style()->GetVisibleFont());
    const SIZE correction = GetTextEditContentSizeCorrection(this);
    const int textHeight = canvas->TextHeight("Zg") + correction.cy;
    const int n = GetProperties()->Items()->Count();
    TcxEditMetrics m;
    GetEditMetrics(sizeProperties.Width >= 0, canvas, m);
    if (sizeProperties.Width < 0) {
        size = n > 0 ? SizeWithoutWidth(canvas, m, textHeight) : SIZE{0, textHeight};
        return;
    }
    size.cx = sizeProperties.Width;
    size.cy = n > 0 ? RowHeightInWidth(canvas, sizeProperties, m, textHeight, correction.cy) *
                          GetProperties()->GetButtonsPerColumn()
                    : textHeight;
}

// ---- button group control ----------------------------------------------------------------------

TClass TcxCustomButtonGroup::StaticClass()
{
    return DefineClass<TcxCustomButtonGroup, TcxCustomGroupBox>("TcxCustomButtonGroup");
}

TClass TcxCustomButtonGroup::GetPropertiesClass() const { return TcxCustomButtonGroupProperties::StaticClass(); }

void TcxCustomButtonGroup::Construct(TComponent* owner)
{
    TcxCustomGroupBox::Construct(owner);
    SetTabStop(true);
    constructed_ = true;
}

void TcxCustomButtonGroup::Destroy()
{
    constructed_ = false;
    SetButtonCount(0);
    TcxCustomGroupBox::Destroy();
}

TWinControl* TcxCustomButtonGroup::GetButtonInstance()
{
    throw EAbstractError("Abstract error: TcxCustomButtonGroup.GetButtonInstance");
}

void TcxCustomButtonGroup::FreeButton(int index)
{
    TWinControl* button = buttons_.at(static_cast<std::size_t>(index));
    buttons_.erase(buttons_.begin() + index);
    button->Free();
}

void TcxCustomButtonGroup::SetButtonCount(int count)
{
    TcxButtonGroupItems* items = ActiveProperties()->Items();
    if (items->IsNotifying() && constructed_) {
        if (items->NotifiedOperation() == coAdd) {
            TWinControl* button = GetButtonInstance();
            InitButtonInstance(button);
            buttons_.push_back(button);
        } else if (items->NotifiedOperation() == coDelete && items->NotifiedIndex() < ButtonCount()) {
            FreeButton(items->NotifiedIndex());
        }
        return;
    }
    while (ButtonCount() > count) FreeButton(ButtonCount() - 1);
    while (ButtonCount() < count) {
        TWinControl* button = GetButtonInstance();
        InitButtonInstance(button);
        buttons_.push_back(button);
    }
}

void TcxCustomButtonGroup::InitButtonInstance(TWinControl* button)
{
    button->SetParentShowHint(false);
    button->SetParent(this);
    button->OnDragDrop = TDragDropEvent::Bind(this, &TcxCustomButtonGroup::ButtonDragDrop);
    button->OnDragOver = TDragOverEvent::Bind(this, &TcxCustomButtonGroup::ButtonDragOver);
    button->OnKeyDown = TKeyEvent::Bind(this, &TcxCustomButtonGroup::ButtonKeyDown);
    button->OnKeyPress = TKeyPressEvent::Bind(this, &TcxCustomButtonGroup::ButtonKeyPress);
    button->OnKeyUp = TKeyEvent::Bind(this, &TcxCustomButtonGroup::ButtonKeyUp);
    button->OnMouseDown = TMouseEvent::Bind(this, &TcxCustomButtonGroup::ButtonMouseDown);
    button->OnMouseMove = TMouseMoveEvent::Bind(this, &TcxCustomButtonGroup::ButtonMouseMove);
    button->OnMouseUp = TMouseEvent::Bind(this, &TcxCustomButtonGroup::ButtonMouseUp);
}

void TcxCustomButtonGroup::UpdateButtons()
{
    if (!constructed_) return;
    TcxButtonGroupItems* items = ActiveProperties()->Items();
    SetButtonCount(items->Count());
    for (int i = 0; i < ButtonCount() && i < items->Count(); ++i)
        Buttons(i)->SetEnabled(Enabled() && items->Items(i)->Enabled());
    ShortRefreshContainer(false);
    for (TWinControl* button : buttons_) button->SetCursor(Cursor());
}

void TcxCustomButtonGroup::ArrangeButtons()
{
    TcxCustomEditViewInfo* vi = GetViewInfo();
    for (int i = 0; i < ButtonCount() && i < vi->ButtonCount(); ++i)
        Buttons(i)->SetBoundsRect(vi->ButtonsInfo[static_cast<std::size_t>(i)]->Bounds);
}

void TcxCustomButtonGroup::SynchronizeButtonsStyle()
{
    TcxCustomContainerStyle* active = GetActiveStyle();
    for (TWinControl* button : buttons_) {
        button->SetColor(active->Color());
        button->Font()->Assign(Style()->GetVisibleFont());
        button->Font()->SetColor(active->GetVisibleFont()->Color());
    }
}

bool TcxCustomButtonGroup::RefreshContainer(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    const bool result = TcxCustomGroupBox::RefreshContainer(p, button, shift, isMouseEvent);
    ArrangeButtons();
    SynchronizeButtonsStyle();
    return result;
}

void TcxCustomButtonGroup::PropertiesChanged(TObject* sender)
{
    if (!reading_) UpdateButtons();
    TcxCustomGroupBox::PropertiesChanged(sender);
}

void TcxCustomButtonGroup::ContainerStyleChanged(TObject* sender)
{
    TcxCustomGroupBox::ContainerStyleChanged(sender);
    UpdateButtons();
}

void TcxCustomButtonGroup::CursorChanged()
{
    TcxCustomGroupBox::CursorChanged();
    UpdateButtons();
}

void TcxCustomButtonGroup::EnabledChanged()
{
    TcxCustomGroupBox::EnabledChanged();
    UpdateButtons();
}

void TcxCustomButtonGroup::ReadState(TReader& reader)
{
    reading_ = true;
    {
        ScopeGuard done([this] { reading_ = false; });
        TcxCustomGroupBox::ReadState(reader);
    }
    UpdateButtons();
    SynchronizeDisplayValue();
}

void TcxCustomButtonGroup::CreateHandle()
{
    TcxCustomGroupBox::CreateHandle();
    UpdateButtons();
    SynchronizeDisplayValue();
}

bool TcxCustomButtonGroup::Focused()
{
    if (TcxCustomGroupBox::Focused()) return true;
    return std::any_of(buttons_.begin(), buttons_.end(), [](TWinControl* b) { return b->Focused(); });
}

void TcxCustomButtonGroup::GetTabOrderList(std::vector<TWinControl*>& list)
{
    TcxCustomGroupBox::GetTabOrderList(list);
    if (Focused()) std::erase(list, static_cast<TWinControl*>(this));
}

bool TcxCustomButtonGroup::IsButtonNativeStyle()
{
    return TcxButtonGroupViewData::IsButtonNativeStyle(Style()->LookAndFeel());
}

int TcxCustomButtonGroup::GetButtonIndexAt(POINT p)
{
    TcxCustomEditViewInfo* vi = GetViewInfo();
    for (int i = 0; i < vi->ButtonCount(); ++i)
        if (PtInRect(&vi->ButtonsInfo[static_cast<std::size_t>(i)]->Bounds, p)) return i;
    return -1;
}

void TcxCustomButtonGroup::ActivateByMouse(TShiftState shift, int x, int y, TcxCustomEditData*& editData)
{
    Activate(editData);
    POINT p{x, y};
    if (Parent()) p = ScreenToClient(Parent()->ClientToScreen(p));
    const int index = GetButtonIndexAt(p);
    if (index < 0 || index >= ButtonCount()) return;
    TWinControl* button = Buttons(index);
    const LPARAM centre = MAKELPARAM(static_cast<WORD>(button->Width() / 2), static_cast<WORD>(button->Height() / 2));
    SendMessageA(button->Handle(), shift.Contains(ssLeft) ? WM_LBUTTONDOWN : WM_LBUTTONUP, ShiftStateToKeys(shift),
                 centre);
}

int TcxCustomButtonGroup::FocusedButtonIndex()
{
    for (int i = 0; i < ButtonCount(); ++i)
        if (Buttons(i)->Focused()) return i;
    return -1;
}

void TcxCustomButtonGroup::DoEditKeyDown(WORD& key, TShiftState shift)
{
    const int index = FocusedButtonIndex();
    if (index < 0) return;
    const int n = ButtonCount();
    const int rows = ActiveProperties()->GetButtonsPerColumn();
    const int column = index / rows, row = index % rows;
    const int lastColumn = (n - 1) / rows;
    const int rowsHere = column == lastColumn ? n - lastColumn * rows : rows;
    int target = -1;
    switch (key) {
    case VK_LEFT: target = column > 0 ? index - rows : -1; break;
    case VK_UP: target = row > 0 ? index - 1 : -1; break;
    case VK_RIGHT: target = index + rows < n ? index + rows : -1; break;
    case VK_DOWN: target = row < rowsHere - 1 ? index + 1 : -1; break;
    default: break;
    }
    if (target >= 0) {
        Buttons(target)->SetFocus();
        key = 0;
    }
    TcxCustomGroupBox::DoEditKeyDown(key, shift);
}

void TcxCustomButtonGroup::Dispatch(TMessage& m)
{
    if (m.Msg != WM_ERASEBKGND) return TcxCustomGroupBox::Dispatch(m);
    m.Result = 1;
    if (IsInplace() || !ParentBackground() || !IsNativePainting()) return;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    const RECT all{0, 0, Width(), Height()};
    HTHEME theme = OpenTheme(totButton);
    if (dxUxTheme::IsThemeBackgroundPartiallyTransparent(theme, kGroupBoxPart, 1))
        dxUxTheme::DrawThemeParentBackground(Handle(), dc, &all);
    if (IsButtonDC(dc)) dxUxTheme::DrawThemeBackground(theme, dc, kGroupBoxPart, 1, &all, nullptr);
}

// Buttons' events are the group's own, at the group's coordinates.
void TcxCustomButtonGroup::ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)
{
    auto* c = static_cast<TControl*>(sender);
    SetInnerControlMouseDown(true);
    ScopeGuard done([this] { SetInnerControlMouseDown(false); });
    OnMouseDown(this, button, shift, x + c->Left(), y + c->Top());
}

void TcxCustomButtonGroup::ButtonMouseMove(TObject* sender, TShiftState shift, int x, int y)
{
    auto* c = static_cast<TControl*>(sender);
    OnMouseMove(this, shift, x + c->Left(), y + c->Top());
}

void TcxCustomButtonGroup::ButtonMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)
{
    auto* c = static_cast<TControl*>(sender);
    OnMouseUp(this, button, shift, x + c->Left(), y + c->Top());
}

void TcxCustomButtonGroup::ButtonDragDrop(TObject* sender, TObject* source, int x, int y)
{
    auto* c = static_cast<TControl*>(sender);
    OnDragDrop(this, source, x + c->Left(), y + c->Top());
}

void TcxCustomButtonGroup::ButtonDragOver(TObject* sender, TObject* source, int x, int y, TDragState state,
                                          bool& accept)
{
    auto* c = static_cast<TControl*>(sender);
    OnDragOver(this, source, x + c->Left(), y + c->Top(), state, accept);
}

void TcxCustomButtonGroup::ButtonKeyDown(TObject*, WORD& key, TShiftState shift) { KeyDown(key, shift); }
void TcxCustomButtonGroup::ButtonKeyPress(TObject*, char& key) { KeyPress(key); }
void TcxCustomButtonGroup::ButtonKeyUp(TObject*, WORD& key, TShiftState shift) { KeyUp(key, shift); }
