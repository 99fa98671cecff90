#include "platform/hostlib/stdctrls/buttons.h"

#include <algorithm>

#include "platform/controls/winctl.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

namespace hostlib {

// ---- TButton -------------------------------------------------------------------------

TClass TButton::StaticClass()
{
    return DefineClass<TButton, TWinControl>("TButton", [](ClassBuilder<TButton>& b) {
        b.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
        b.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
        b.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
    });
}

void TButton::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    // The button window reports clicks itself (BN_CLICKED).
    controlStyle_ = {csSetCaption, csDoubleClicks};
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& p)
{
    TWinControl::CreateParams(p);
    quelvo::ctl::InitControls();
    CreateSubClass(p, "BUTTON");
    p.Style |= ButtonStyle();
}

void TButton::SetDefault(bool value)
{
    if (value == default_) return;
    default_ = value;
    active_ = value;
    if (HandleAllocated()) SendMessageA(handle_, BM_SETSTYLE, ButtonStyle(), TRUE);
}

bool TButton::IsActive()
{
    // A focused button takes Enter; otherwise the default button does.
    TCustomForm* form = GetParentForm(this);
    TWinControl* focused = form ? form->ActiveControl() : nullptr;
    if (focused && As<TButton>(focused) && focused->Focused()) return focused == this;
    return default_;
}

void TButton::SetButtonStyle(bool isDefault)
{
    if (isDefault == active_) return;
    active_ = isDefault;
    const DWORD style = ButtonStyle();
    if (!HandleAllocated() || (style != BS_PUSHBUTTON && style != BS_DEFPUSHBUTTON)) return;
    SendMessageA(handle_, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CMFocusChanged(TMessage& m)
{
    auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
    SetButtonStyle(focused && As<TButton>(focused) ? focused == this : default_);
}

void TButton::Click()
{
    if (modalResult_ != mrNone)
        if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_COMMAND:
        if (HIWORD(m.WParam) == BN_CLICKED) {
            Click();
            return;
        }
        break;
    case CM_DIALOGKEY:
        if (((m.WParam == static_cast<WPARAM>(VK_RETURN) && IsActive()) ||
             (m.WParam == static_cast<WPARAM>(VK_ESCAPE) && cancel_)) &&
            Enabled() && Showing()) {
            Click();
            m.Result = 1;
            return;
        }
        break;
    case CM_FOCUSCHANGED:
        CMFocusChanged(m);
        break;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(m.WParam), Caption()) && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::Dispatch(m);
}

// ---- layout shared by the drawn buttons ------------------------------------------------------

TButtonParts LayoutButton(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing)
{
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    if (glyph.cx == 0 || text.cx == 0) spacing = 0;
    const int total = horizontal ? glyph.cx + spacing + text.cx : glyph.cy + spacing + text.cy;
    const int extent = horizontal ? width : height;
    const int start = margin < 0 ? (extent - total) / 2 : margin;
    TButtonParts parts;
    POINT g{}, t{};
    switch (layout) {
    case blGlyphLeft:
        g = {start, (height - glyph.cy) / 2};
        t = {start + glyph.cx + spacing, (height - text.cy) / 2};
        break;
    case blGlyphRight:
        t = {start, (height - text.cy) / 2};
        g = {start + text.cx + spacing, (height - glyph.cy) / 2};
        break;
    case blGlyphTop:
        g = {(width - glyph.cx) / 2, start};
        t = {(width - text.cx) / 2, start + glyph.cy + spacing};
        break;
    case blGlyphBottom:
        t = {(width - text.cx) / 2, start};
        g = {(width - glyph.cx) / 2, start + text.cy + spacing};
        break;
    }
    parts.Glyph = RECT{client.left + g.x, client.top + g.y, client.left + g.x + glyph.cx, client.top + g.y + glyph.cy};
    parts.Text = RECT{client.left + t.x, client.top + t.y, client.left + t.x + text.cx, client.top + t.y + text.cy};
    return parts;
}

namespace {

void DrawGlyphAndCaption(TCanvas& c, const RECT& client, TBitmap* glyph, const std::string& caption, TButtonLayout layout,
                         int margin, int spacing, bool enabled, int shift)
{
    const SIZE g = glyph && !glyph->Empty() ? SIZE{glyph->Width(), glyph->Height()} : SIZE{0, 0};
    const SIZE t = caption.empty() ? SIZE{0, 0} : c.TextExtent(StringReplace(caption, "&", "", 0));
    const TButtonParts parts = LayoutButton(client, g, t, layout, margin, spacing);
    if (g.cx > 0) c.Draw(parts.Glyph.left + shift, parts.Glyph.top + shift, glyph);
    if (!caption.empty()) {
        RECT r = parts.Text;
        OffsetRect(&r, shift, shift);
        c.Brush()->SetStyle(bsClear);
        if (!enabled) c.Font()->SetColor(clGrayText);
        c.DrawText(caption, r, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    }
}

struct KindInfo {
    const char* caption;
    TModalResult result;
    bool isDefault;
    bool isCancel;
};

KindInfo InfoOf(TBitBtnKind kind)
{
    switch (kind) {
    case bkOK: return {"OK", mrOk, true, false};
    case bkCancel: return {"Cancel", mrCancel, false, true};
    case bkHelp: return {"&Help", mrNone, false, false};
    case bkYes: return {"&Yes", mrYes, true, false};
    case bkNo: return {"&No", mrNo, false, true};
    case bkClose: return {"&Close", mrNone, false, false};
    case bkAbort: return {"Abort", mrAbort, false, true};
    case bkRetry: return {"&Retry", mrRetry, false, false};
    case bkIgnore: return {"&Ignore", mrIgnore, false, false};
    case bkAll: return {"&All", mrAll, true, false};
    default: return {"", mrNone, false, false};
    }
}

}  // namespace

// ---- TBitBtn --------------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TBitBtnKind*)
{
    static const TEnumInfo info{
        "TBitBtnKind",
        {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"},
        0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TButtonLayout*)
{
    static const TEnumInfo info{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, 0};
    return info;
}

TClass TBitBtn::StaticClass()
{
    return DefineClass<TBitBtn, TButton>("TBitBtn", [](ClassBuilder<TBitBtn>& b) {
        b.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
        b.Property("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
        b.Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
        b.Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
        b.Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
    });
}

void TBitBtn::Construct(TComponent* owner)
{
    TButton::Construct(owner);
    glyph_.reset(CreateObject<TBitmap>());
}

void TBitBtn::Destroy()
{
    glyph_.reset();
    TButton::Destroy();
}

void TBitBtn::SetKind(TBitBtnKind value)
{
    kind_ = value;
    if (value == bkCustom) return;
    const KindInfo info = InfoOf(value);
    SetCaption(info.caption);
    SetModalResult(info.result);
    if (info.isDefault) SetDefault(true);
    if (info.isCancel) SetCancel(true);
}

void TBitBtn::SetGlyph(TBitmap* value)
{
    glyph_->Assign(value);
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout value)
{
    layout_ = value;
    Invalidate();
}

void TBitBtn::SetMargin(int value)
{
    margin_ = std::max(-1, value);
    Invalidate();
}

void TBitBtn::SetSpacing(int value)
{
    spacing_ = std::max(0, value);
    Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item)
{
    auto canvas = MakeObject<TCanvas>();
    canvas->SetHandle(item.hDC);
    canvas->Font()->Assign(Font());
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    RECT r = item.rcItem;
    canvas->Brush()->SetColor(clBtnFace);
    canvas->Pen()->SetColor(Default() || Focused() ? clWindowText : clBtnShadow);
    canvas->Rectangle(r);
    InflateRect(&r, -2, -2);
    DrawGlyphAndCaption(*canvas, r, glyph_.get(), Caption(), layout_, margin_, spacing_, Enabled(), pressed ? 1 : 0);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -1, -1);
        canvas->DrawFocusRect(r);
    }
    canvas->SetHandle(nullptr);
}

void TBitBtn::Dispatch(TMessage& m)
{
    if (m.Msg == CN_DRAWITEM && m.LParam) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
        m.Result = TRUE;
        return;
    }
    TButton::Dispatch(m);
}

// ---- TSpeedButton ------------------------------------------------------------------------

TClass TSpeedButton::StaticClass()
{
    return DefineClass<TSpeedButton, TGraphicControl>("TSpeedButton", [](ClassBuilder<TSpeedButton>& b) {
        b.Property("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
        b.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
        b.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
        b.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
        b.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
    });
}

void TSpeedButton::Construct(TComponent* owner)
{
    TGraphicControl::Construct(owner);
    glyph_.reset(CreateObject<TBitmap>());
    SetBounds(0, 0, 23, 22);
    // Clicks are raised on release inside the button, see MouseUp.
    controlStyle_.Exclude(csClickEvents);
}

void TSpeedButton::Destroy()
{
    glyph_.reset();
    TGraphicControl::Destroy();
}

void TSpeedButton::SetGlyph(TBitmap* value)
{
    glyph_->Assign(value);
    Invalidate();
}

void TSpeedButton::SetFlat(bool value)
{
    flat_ = value;
    Invalidate();
}

void TSpeedButton::SetDown(bool value)
{
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (!value && !allowAllUp_) {
        // The last button of a group stays down unless all may be up.
        bool otherDown = false;
        if (Parent())
            for (int i = 0; i < Parent()->ControlCount(); ++i) {
                auto* other = As<TSpeedButton>(Parent()->Controls(i));
                if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) otherDown = true;
            }
        if (!otherDown) return;
    }
    down_ = value;
    if (value && Parent())
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = As<TSpeedButton>(Parent()->Controls(i));
            if (other && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
                other->down_ = false;
                other->Invalidate();
            }
        }
    Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        pressed_ = true;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    Invalidate();
    TGraphicControl::MouseUp(button, shift, x, y);
    if (button != mbLeft || !wasPressed) return;
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    if (groupIndex_ != 0) SetDown(!down_ || !allowAllUp_ ? true : false);
    Click();
}

void TSpeedButton::MouseEnter()
{
    hot_ = true;
    if (flat_) Invalidate();
    TGraphicControl::MouseEnter();
}

void TSpeedButton::MouseLeave()
{
    hot_ = false;
    if (flat_) Invalidate();
    TGraphicControl::MouseLeave();
}

void TSpeedButton::Paint()
{
    TCanvas* c = Canvas();
    RECT r = ClientRect();
    const bool sunk = pressed_ || down_;
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    if (!flat_ || hot_ || sunk) {
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetColor(sunk ? clWindowText : clBtnShadow);
        c->Rectangle(r);
    }
    c->Font()->Assign(Font());
    InflateRect(&r, -2, -2);
    DrawGlyphAndCaption(*c, r, glyph_.get(), Caption(), blGlyphLeft, -1, 4, Enabled(), sunk ? 1 : 0);
}

}  // namespace hostlib
