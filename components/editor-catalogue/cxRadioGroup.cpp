#include "components/editor-catalogue/cxRadioGroup.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/controls/ctldefs.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

constexpr int kRadioThemePart = 2;  // BP_RADIOBUTTON

// The columns and rows of a black cell that hold a pixel of the flat
// checked radio mask.
SIZE MeasureRadioGlyph()
{
    HBITMAP system = LoadBitmapA(nullptr, OBM_CHECKBOXES);
    BITMAP info{};
    if (system) GetObjectA(system, sizeof info, &info);
    if (system) DeleteObject(system);
    const int w = info.bmWidth / 4;
    const int h = info.bmHeight / 3;
    if (w <= 0 || h <= 0) return SIZE{13, 13};
    auto cell = MakeObject<TBitmap>();
    cell->SetSize(w, h);
    RECT r{0, 0, w, h};
    cell->Canvas()->Brush()->SetColor(clBlack);
    cell->Canvas()->FillRect(r);
    DrawFrameControl(cell->Canvas()->Handle(), &r, DFC_BUTTON, DFCS_FLAT | DFCS_CHECKED | DFCS_BUTTONRADIOMASK);
    const quelvo::gfx::Picture p = cell->ToPicture();
    auto black = [&](int x, int y) { return (p.pixels[static_cast<std::size_t>(y) * p.width + x] & 0xFFFFFF) == 0; };
    SIZE size{0, 0};
    for (int x = 0; x < w; ++x) {
        bool any = false;
        for (int y = 0; y < h && !any; ++y) any = black(x, y);
        size.cx += any ? 1 : 0;
    }
    for (int y = 0; y < h; ++y) {
        bool any = false;
        for (int x = 0; x < w && !any; ++x) any = black(x, y);
        size.cy += any ? 1 : 0;
    }
    return size;
}

TcxButtonState ButtonStateOf(TcxRadioButtonState state)
{
    switch (state) {
    case rbsDisabled: return cxbsDisabled;
    case rbsHot: return cxbsHot;
    case rbsPressed: return cxbsPressed;
    default: return cxbsNormal;
    }
}

int ThemeStateOf(TcxRadioButtonState state, bool checked)
{
    static const int unchecked[] = {4, 2, 1, 3};  // disabled, hot, normal, pressed
    return unchecked[state] + (checked ? 4 : 0);
}

}  // namespace

SIZE cxRadioButtonGlyphSize()
{
    static const SIZE size = MeasureRadioGlyph();
    return size;
}

// ---- construction ------------------------------------------------------------------------------

TClass TcxRadioButton::StaticClass()
{
    return DefineClass<TcxRadioButton, TRadioButton>("TcxRadioButton", [](ClassBuilder<TcxRadioButton>& b) {
        b.Property("LookAndFeel", &TcxRadioButton::LookAndFeel, &TcxRadioButton::SetLookAndFeel);
        b.Property("ParentBackground", &TcxRadioButton::ParentBackground, &TcxRadioButton::SetParentBackground)
            .Default(true);
        b.Property("PopupMenu", &TcxRadioButton::PopupMenu, &TcxRadioButton::SetPopupMenu);
        b.Property("WordWrap", &TcxRadioButton::WordWrap, &TcxRadioButton::SetWordWrap).Default(false);
    });
}

void TcxRadioButton::Construct(TComponent* owner)
{
    TRadioButton::Construct(owner);
    controlStyle_.Include(csDoubleClicks);
    canvas_ = MakeObject<TControlCanvas>();
    canvas_->SetControl(this);
    cxCanvas_.reset(CreateObject<TcxCanvas>(canvas_.get()));
    lookAndFeel_.reset(CreateObject<TcxLookAndFeel>(this));
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::Bind(this, &TcxRadioButton::LookAndFeelChanged);
    state_ = rbsNormal;
    parentBackground_ = true;
}

void TcxRadioButton::Destroy()
{
    EndMouseTracking(&trackingCaller_);
    lookAndFeel_.reset();
    cxCanvas_.reset();
    canvas_.reset();
    TRadioButton::Destroy();
}

void TcxRadioButton::CreateParams(TCreateParams& params)
{
    TRadioButton::CreateParams(params);
    params.Style = (params.Style & ~BS_TYPEMASK) | BS_OWNERDRAW;
}

void TcxRadioButton::CreateHandle()
{
    TRadioButton::CreateHandle();
    ShortUpdateState();
}

void TcxRadioButton::Notification(TComponent* component, TOperation operation)
{
    TRadioButton::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) SetPopupMenu(nullptr);
}

// ---- properties --------------------------------------------------------------------------------

void TcxRadioButton::SetPopupMenu(TComponent* value)
{
    if (value && !As<TPopupMenu>(value) && !Supports<IcxPopupMenu>(value)) value = nullptr;
    if (value == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = value;
    if (value) value->FreeNotification(this);
}

void TcxRadioButton::SetParentBackground(bool value)
{
    if (value == parentBackground_) return;
    parentBackground_ = value;
    Invalidate();
}

void TcxRadioButton::SetWordWrap(bool value)
{
    if (value == wordWrap_) return;
    wordWrap_ = value;
    Invalidate();
}

bool TcxRadioButton::IsNativeStyle()
{
    return lookAndFeel_->NativeStyle() && AreVisualStylesAvailable(totButton);
}

void TcxRadioButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }

bool TcxRadioButton::Focused()
{
    return !ComponentState().Contains(csDesigning) && TRadioButton::Focused();
}

void TcxRadioButton::Invalidate()
{
    if (!HandleAllocated()) return;
    const RECT r{0, 0, Width(), Height()};
    InvalidateRect(Handle(), &r, FALSE);
}

void TcxRadioButton::InvalidateGlyph(int inflate)
{
    if (!HandleAllocated()) return;
    const RECT r = cxRectInflate(glyphRect_, inflate, inflate);
    InvalidateRect(Handle(), &r, FALSE);
}

// ---- mouse state -------------------------------------------------------------------------------

void TcxRadioButton::UpdateState(TMouseButton, TShiftState shift, const POINT& p)
{
    RECT client = ClientRect();
    const bool inside = PtInRect(&client, p) != FALSE;
    if (!Enabled()) SetState(rbsDisabled);
    else if (ComponentState().Contains(csDesigning)) SetState(rbsNormal);
    else if (HandleAllocated() && GetCapture() == Handle()) SetState(inside ? rbsPressed : rbsHot);
    else SetState(inside && shift.Empty() ? rbsHot : rbsNormal);
}

void TcxRadioButton::SetState(TcxRadioButtonState value)
{
    if (value == state_) return;
    state_ = value;
    InvalidateGlyph(1);
}

void TcxRadioButton::ShortUpdateState()
{
    if (!HandleAllocated()) return;
    const POINT p = ScreenToClient(GetMouseCursorPos());
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
    if (GetKeyState(VK_LBUTTON) < 0) shift.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) shift.Include(ssRight);
    UpdateState(mbLeft, shift, p);
}

void TcxRadioButton::StartTracking()
{
    if (!HandleAllocated()) return;
    RECT r = ClientRect();
    MapWindowRect(Handle(), nullptr, r);
    BeginMouseTracking(this, r, &trackingCaller_);
}

void TcxRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TRadioButton::MouseDown(button, shift, x, y);
    UpdateState(button, shift, POINT{x, y});
}

void TcxRadioButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TRadioButton::MouseUp(button, shift, x, y);
    UpdateState(button, shift, POINT{x, y});
}

void TcxRadioButton::MouseMove(TShiftState shift, int x, int y)
{
    TRadioButton::MouseMove(shift, x, y);
    UpdateState(mbLeft, shift, POINT{x, y});
    StartTracking();
}

void TcxRadioButton::MouseEnter()
{
    TRadioButton::MouseEnter();
    ShortUpdateState();
    StartTracking();
}

void TcxRadioButton::MouseLeave()
{
    TRadioButton::MouseLeave();
    TrackingEnded();
}

void TcxRadioButton::TrackingEnded()
{
    UpdateState(mbLeft, {}, POINT{-1, -1});
    EndMouseTracking(&trackingCaller_);
}

// ---- focus, keys and menus ---------------------------------------------------------------------

void TcxRadioButton::DoEnter()
{
    TRadioButton::DoEnter();
    if (Checked()) return;
    SetClicksDisabled(true);
    {
        quelvo::sys::ScopeGuard enable([this] { SetClicksDisabled(false); });
        SetChecked(true);
    }
    if (!ComponentState().Contains(csLoading)) Click();
}

void TcxRadioButton::DoContextPopup(POINT mousePos, bool& handled)
{
    TRadioButton::DoContextPopup(mousePos, handled);
    if (handled) return;
    if (mousePos.x == -1 && mousePos.y == -1) mousePos = POINT{0, 0};
    const POINT p = ClientToScreen(mousePos);
    handled = DoShowPopupMenu(popupMenu_, p.x, p.y);
}

bool TcxRadioButton::DoShowPopupMenu(TComponent* menu, int x, int y) { return ShowPopupMenu(this, menu, x, y); }

void TcxRadioButton::WMContextMenu(TMessage& m)
{
    if (m.Result != 0) return;
    if (ComponentState().Contains(csDesigning)) return TRadioButton::Dispatch(m);
    POINT p{MessageX(m.LParam), MessageY(m.LParam)};
    if (p.x != -1 || p.y != -1) {
        p = ScreenToClient(p);
        RECT client = ClientRect();
        // The window system's handling, not the control's popup.
        if (!PtInRect(&client, p)) return DefaultHandler(m);
    }
    bool handled = false;
    DoContextPopup(p, handled);
    m.Result = handled ? 1 : 0;
    if (!handled) TRadioButton::Dispatch(m);
}

void TcxRadioButton::CNKeyDown(TMessage& m)
{
    if (IsPopupMenuShortCut(popupMenu_, m)) {
        m.Result = 1;
        return;
    }
    TRadioButton::Dispatch(m);
}

void TcxRadioButton::WMWindowPosChanged(TMessage& m)
{
    TRadioButton::Dispatch(m);
    if (!ComponentState().Contains(csDestroying) && parentBackground_ && IsNativeStyle()) Invalidate();
}

void TcxRadioButton::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_DRAWITEM: return CNDrawItem(m);
    case CN_MEASUREITEM: return CNMeasureItem(m);
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_CONTEXTMENU: return WMContextMenu(m);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: return CNKeyDown(m);
    case BM_SETCHECK:
        TRadioButton::Dispatch(m);
        InvalidateGlyph(0);
        return;
    case CM_SYSCOLORCHANGE:
        TRadioButton::Dispatch(m);
        Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        TRadioButton::Dispatch(m);
        ShortUpdateState();
        Invalidate();
        return;
    default: TRadioButton::Dispatch(m);
    }
}

// ---- painting ----------------------------------------------------------------------------------

void TcxRadioButton::CNMeasureItem(TMessage& m)
{
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    item->itemWidth = static_cast<UINT>(Width());
    item->itemHeight = static_cast<UINT>(Height());
    m.Result = TRUE;
}

void TcxRadioButton::CNDrawItem(TMessage& m)
{
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    canvas_->SetHandle(item.hDC);
    quelvo::sys::ScopeGuard release([this] { canvas_->SetHandle(nullptr); });
    Paint();
    m.Result = TRUE;
}

RECT TcxRadioButton::CorrectTextRect(const RECT& r, bool native)
{
    struct Amounts {
        int left, top, right, bottom;
    };
    const bool leftJustify = Alignment() == taLeftJustify;
    Amounts a{};
    if (IsInplace()) a = native ? Amounts{3, 0, 0, 0} : Amounts{5, 0, 1, 0};
    else if (!native && !wordWrap_) a = leftJustify ? Amounts{2, -1, 1, 0} : Amounts{5, -1, 0, 0};
    else if (!native) a = leftJustify ? Amounts{2, -1, 6, 0} : Amounts{5, -1, 2, 0};
    else if (!wordWrap_) a = leftJustify ? Amounts{0, -1, 1, 0} : Amounts{3, -1, 0, 0};
    else a = leftJustify ? Amounts{0, -1, 3, 0} : Amounts{3, -1, 0, 0};
    return RECT{r.left + a.left, r.top + a.top, r.right - a.right, r.bottom - a.bottom};
}

int TcxRadioButton::TextFlags() const
{
    int flags = cxtfLeft | cxtfVCenter | cxtfShowPrefix;
    return flags | (wordWrap_ ? cxtfNoClip | cxtfWordBreak : cxtfSingleLine);
}

SIZE TcxRadioButton::PaintGlyphSize(bool native, int themeState)
{
    if (!native) return cxRadioButtonGlyphSize();
    SIZE size{};
    dxUxTheme::GetThemePartSize(OpenTheme(totButton), cxCanvas_->Handle(), kRadioThemePart, themeState, TS_TRUE, size);
    return size;
}

void TcxRadioButton::PaintGlyph(bool native, int themeState)
{
    const RECT client{0, 0, Width(), Height()};
    if (native) {
        if (IsInplace() || !parentBackground_) cxCanvas_->FillRect(client, nullptr);
        else dxUxTheme::DrawThemeParentBackground(Handle(), cxCanvas_->Handle(), &client);
        dxUxTheme::DrawThemeBackground(OpenTheme(totButton), cxCanvas_->Handle(), kRadioThemePart, themeState,
                                       glyphRect_);
        return;
    }
    TcxCustomLookAndFeelPainterClass painter = lookAndFeel_->GetAvailablePainter(totButton);
    painter->DrawRadioButton(cxCanvas_.get(), glyphRect_.left, glyphRect_.top, ButtonStateOf(state_), Checked(),
                             Focused(), Color(), ComponentState().Contains(csDesigning));
    cxCanvas_->ExcludeClipRect(glyphRect_);
    cxCanvas_->SetBrushColor(Color());
    cxCanvas_->FillRect(client);
}

void TcxRadioButton::PaintCaption(bool native, RECT& textRect)
{
    cxCanvas_->Font()->Assign(Font());
    const bool disabled = !Enabled();
    if (disabled) cxCanvas_->Font()->SetColor(clBtnShadow);
    textRect = Alignment() == taRightJustify ? RECT{glyphRect_.right, 0, Width(), Height()}
                                             : RECT{0, 0, glyphRect_.left, Height()};
    textRect = CorrectTextRect(textRect, native);
    cxCanvas_->Brush()->SetStyle(bsClear);
    cxCanvas_->DrawTexT(Caption(), textRect, TextFlags(), !(disabled && !native));
    cxCanvas_->Brush()->SetStyle(bsSolid);
}

void TcxRadioButton::PaintFocus(const RECT& textRect, int flags)
{
    RECT r = textRect;
    cxCanvas_->TextExtent(Caption(), r, flags);
    r = cxRectInflate(r, 1, 1);
    r.bottom += 1;
    if (IsInplace()) {
        r.top = std::max<LONG>(r.top, 1);
        r.bottom = std::min<LONG>(r.bottom, Height() - 1);
        r.right = std::min<LONG>(r.right, Width());
    } else {
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, Width());
        r.bottom = std::min<LONG>(r.bottom, Height());
        if (Alignment() == taLeftJustify) r.right = std::min<LONG>(r.right, glyphRect_.left);
    }
    cxCanvas_->SetBrushColor(Color());
    cxCanvas_->Font()->SetColor(Font()->Color());
    cxCanvas_->DrawFocusRect(r);
}

void TcxRadioButton::Paint()
{
    const bool native = IsNativeStyle();
    const int themeState = ThemeStateOf(state_, Checked());
    const SIZE glyph = PaintGlyphSize(native, themeState);
    glyphRect_.top = (Height() - glyph.cy) / 2;
    glyphRect_.bottom = glyphRect_.top + glyph.cy;
    if (Alignment() == taRightJustify) {
        glyphRect_.left = !native && !IsInplace() ? 1 : 0;
        glyphRect_.right = glyphRect_.left + glyph.cx;
    } else {
        glyphRect_.right = Width();
        glyphRect_.left = glyphRect_.right - glyph.cx;
    }
    PaintGlyph(native, themeState);
    RECT textRect{};
    PaintCaption(native, textRect);
    if (Focused() && !Caption().empty()) PaintFocus(textRect, TextFlags());
}
