#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editors/cxEditStyles.h"

#include <algorithm>
#include <cstdint>

#include "components/data/cxVariants.h"
#include "components/editor-catalogue/cxExtEditConsts.h"
#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxGeometry.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/controls/ctldefs.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/hostlib/visual/messages.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

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

// ---- radio group items -------------------------------------------------------------------------

TClass TcxRadioGroupItem::StaticClass()
{
    return DefineClass<TcxRadioGroupItem, TcxButtonGroupItem>(
        "TcxRadioGroupItem", [](ClassBuilder<TcxRadioGroupItem>& b) {
            using I = TcxRadioGroupItem;
            b.Property("Caption", &I::Caption, &I::SetCaption);
            b.Property("Value", &I::Value, &I::SetValue).Stored(&I::IsValueStored);
            b.Property("Tag", &I::Tag, &I::SetTag).Default(0);
        });
}

void TcxRadioGroupItem::Construct(TCollection* collection)
{
    value_ = Variant::Null();
    TcxButtonGroupItem::Construct(collection);
}

void TcxRadioGroupItem::SetValue(const Variant& value)
{
    if (InternalVarEqualsExact(value_, value)) return;
    value_ = value;
    NotifyChanged();
}

void TcxRadioGroupItem::Assign(TPersistent* source)
{
    if (auto* s = As<TcxRadioGroupItem>(source)) SetValue(s->value_);
    TcxButtonGroupItem::Assign(source);
}

TClass TcxRadioGroupItems::StaticClass()
{
    return DefineClass<TcxRadioGroupItems, TcxButtonGroupItems>("TcxRadioGroupItems");
}

// ---- radio group properties --------------------------------------------------------------------

TClass TcxCustomRadioGroupProperties::StaticClass()
{
    return DefineClass<TcxCustomRadioGroupProperties, TcxCustomButtonGroupProperties>("TcxCustomRadioGroupProperties");
}

void TcxCustomRadioGroupProperties::Construct(TPersistent* owner)
{
    TcxCustomButtonGroupProperties::Construct(owner);
    defaultCaption_ = cxGetResourceString(cxSRadioGroupDefaultCaption);
}

TcxButtonGroupItems* TcxCustomRadioGroupProperties::CreateItems()
{
    auto* items = CreateObject<TcxRadioGroupItems>();
    items->Construct(this, TcxRadioGroupItem::StaticClass());
    return items;
}

TClass TcxCustomRadioGroupProperties::GetViewDataClass() { return TcxCustomRadioGroupViewData::StaticClass(); }
TClass TcxCustomRadioGroupProperties::GetContainerClass() { return TcxRadioGroup::StaticClass(); }
TClass TcxCustomRadioGroupProperties::GetViewInfoClass() { return TcxCustomRadioGroupViewInfo::StaticClass(); }

void TcxCustomRadioGroupProperties::Assign(TPersistent* source)
{
    auto* s = As<TcxCustomRadioGroupProperties>(source);
    if (!s) {
        TcxCustomButtonGroupProperties::Assign(source);
        return;
    }
    BeginUpdate();
    ScopeGuard end([this] { EndUpdate(); });
    TcxCustomButtonGroupProperties::Assign(source);
    SetDefaultValue(s->defaultValue_);
    SetWordWrap(s->WordWrap());
}

int TcxCustomRadioGroupProperties::GetRadioGroupItemIndex(const Variant& value)
{
    TcxRadioGroupItems* items = Items();
    for (int i = 0; i < items->Count(); ++i) {
        TcxRadioGroupItem* item = items->Items(i);
        const bool match = item->Value().IsNull() ? item->Caption() == VarToStr(value)
                                                  : VarEqualsExact(value, item->Value());
        if (match) return i;
    }
    return -1;
}

std::string TcxCustomRadioGroupProperties::GetDisplayText(const Variant& editValue, bool)
{
    const int index = GetRadioGroupItemIndex(editValue);
    return index < 0 ? defaultCaption_ : Items()->Items(index)->Caption();
}

void TcxCustomRadioGroupProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool)
{
    displayValue = Variant(static_cast<std::int32_t>(GetRadioGroupItemIndex(editValue)));
}

bool TcxCustomRadioGroupProperties::CompareDisplayValues(const Variant& value1, const Variant& value2)
{
    return GetRadioGroupItemIndex(value1) == GetRadioGroupItemIndex(value2);
}

TcxEditSupportedOperations TcxCustomRadioGroupProperties::GetSupportedOperations()
{
    TcxEditSupportedOperations operations{esoAlwaysHotTrack, esoAutoHeight,     esoFiltering,
                                          esoHorzAlignment,  esoSorting,        esoSortingByDisplayText};
    if (Items()->Count() > 0) operations.Include(esoHotTrack);
    return operations;
}

int TcxCustomRadioGroupProperties::GetColumnCount()
{
    const int columns = std::min(Columns(), Items()->Count());
    return columns == 0 ? 1 : columns;
}

void TcxCustomRadioGroupProperties::SetDefaultCaption(const std::string& value)
{
    if (value == defaultCaption_) return;
    defaultCaption_ = value;
    Changed();
}

bool TcxCustomRadioGroupProperties::IsDefaultCaptionStored() const
{
    return defaultCaption_ != cxGetResourceString(cxSRadioGroupDefaultCaption);
}

void TcxCustomRadioGroupProperties::SetDefaultValue(const Variant& value)
{
    if (InternalVarEqualsExact(value, defaultValue_)) return;
    defaultValue_ = value;
    Changed();
}

TClass TcxRadioGroupProperties::StaticClass()
{
    return DefineClass<TcxRadioGroupProperties, TcxCustomRadioGroupProperties>(
        "TcxRadioGroupProperties", [](ClassBuilder<TcxRadioGroupProperties>& b) {
            using P = TcxRadioGroupProperties;
            b.Property("AssignedValues", &P::AssignedValues, &P::SetAssignedValues);
            b.Property("Columns", &P::Columns, &P::SetColumns).Default(1);
            b.Property("DefaultCaption", &P::DefaultCaption, &P::SetDefaultCaption).Stored(&P::IsDefaultCaptionStored);
            b.Property("DefaultValue", &P::DefaultValue, &P::SetDefaultValue).Stored(&P::IsDefaultValueStored);
            b.Property("ImmediatePost", &P::ImmediatePost, &P::SetImmediatePost).Default(false);
            b.Property("Items", &P::Items, &P::SetItems);
            b.Property("ReadOnly", &P::ReadOnly, &P::SetReadOnly).Stored(&P::IsReadOnlyStored);
            b.Property("WordWrap", &P::WordWrap, &P::SetWordWrap).Default(false);
            b.EventProperty("OnChange", &P::OnChange);
            b.EventProperty("OnEditValueChanged", &P::OnEditValueChanged);
        });
}

// ---- radio group view --------------------------------------------------------------------------

int RadioGroupButtonThemeState(TcxEditButtonState state, bool checked)
{
    static const int unchecked[] = {4, 1, 3, 2};  // disabled, normal, pressed, selected
    return unchecked[state] + (checked ? 4 : 0);
}

TClass TcxCustomRadioGroupViewData::StaticClass()
{
    return DefineClass<TcxCustomRadioGroupViewData, TcxButtonGroupViewData>("TcxCustomRadioGroupViewData");
}

void TcxCustomRadioGroupViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                            TcxMouseButton button, TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                            bool isMouseEvent)
{
    TcxButtonGroupViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    viewInfo->SetBackgroundColor(Style()->Color());
}

void TcxCustomRadioGroupViewData::EditValueToDrawValue(TcxCanvas*, const Variant& editValue,
                                                       TcxCustomEditViewInfo* viewInfo)
{
    static_cast<TcxCustomRadioGroupViewInfo*>(viewInfo)->ItemIndex =
        GetRadioProperties()->GetRadioGroupItemIndex(editValue);
    if (PaintOptions.Contains(epoAutoHeight)) viewInfo->PaintOptions.Include(epoAutoHeight);
}

void TcxCustomRadioGroupViewData::GetEditMetrics(bool autoHeight, TcxCanvas* canvas, TcxEditMetrics& m)
{
    const bool native = IsButtonNativeStyle(Style()->LookAndFeel());
    m.ColumnOffset = IsInplace ? 1 : 6;
    m.ColumnWidthCorrection = IsInplace ? -2 : -6;
    m.ColumnGap = 0;
    if (!canvas) return;
    (void)autoHeight;
    m.TextWidthCorrection = native ? 1 : 3;
    m.AutoHeightWidthCorrection = IsInplace ? -5 : -6;
    m.ButtonExtraWidth = native ? 5 : 7;
    m.ExtraTotalWidth = IsInplace ? 1 : 6;
    m.GlyphSize = cxRadioButtonGlyphSize();
    if (native)
        dxUxTheme::GetThemePartSize(OpenTheme(totButton), canvas->Handle(), kRadioThemePart, 1, TS_TRUE, m.GlyphSize);
}

void TcxCustomRadioGroupViewData::CalculateButtonNativeState(TcxCustomEditViewInfo* viewInfo,
                                                             TcxGroupBoxButtonViewInfo* button)
{
    if (!button->Data.NativeStyle) return;
    const bool checked = button->ButtonIndex == static_cast<TcxCustomRadioGroupViewInfo*>(viewInfo)->ItemIndex;
    button->Data.NativePart = kRadioThemePart;
    button->Data.NativeState = RadioGroupButtonThemeState(button->Data.State, checked);
    button->Data.BackgroundPartiallyTransparent =
        dxUxTheme::IsThemeBackgroundPartiallyTransparent(OpenTheme(totButton), kRadioThemePart,
                                                         button->Data.NativeState) != FALSE;
}

TClass TcxCustomRadioGroupViewInfo::StaticClass()
{
    return DefineClass<TcxCustomRadioGroupViewInfo, TcxButtonGroupViewInfo>("TcxCustomRadioGroupViewInfo");
}

RECT TcxCustomRadioGroupViewInfo::GlyphRect(TcxEditButtonViewInfo* button, const SIZE& glyph) const
{
    const RECT& b = button->Bounds;
    const int top = b.top + (cxRectHeight(b) - glyph.cy) / 2;
    const int shift = IsDBEditPaintCopyDrawing && !button->Data.NativeStyle ? 1 : 0;
    return RECT{b.left + shift, top, b.left + shift + glyph.cx, top + glyph.cy};
}

void TcxCustomRadioGroupViewInfo::DrawButtonCaption(TcxCanvas* canvas, TcxGroupBoxButtonViewInfo* button,
                                                     const RECT& glyph)
{
    PrepareCanvasFont(canvas);
    canvas->SetFont(Font);
    canvas->Font()->SetColor(TextColor);
    RECT text{glyph.right, button->Bounds.top, button->Bounds.right, button->Bounds.bottom};
    ExtendRect(text, button->Data.NativeStyle ? RECT{3, -1, 0, -1} : RECT{5, 0, 1, 0});
    if (IsDBEditPaintCopyDrawing) OffsetRect(&text, 0, -1);
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawTexT(button->Caption, text, static_cast<int>(DrawTextFlags), true);
    canvas->Brush()->SetStyle(bsSolid);
    if (IsInplace || !Focused) return;
    RECT focus = text;
    canvas->TextExtent(button->Caption, focus, static_cast<int>(DrawTextFlags));
    InflateRect(&focus, 1, 1);
    ++focus.bottom;
    canvas->SetBrushColor(BackgroundColor());
    canvas->DrawFocusRect(focus);
}

void TcxCustomRadioGroupViewInfo::DrawButton(TcxCanvas* canvas, int buttonVisibleIndex)
{
    auto* button = static_cast<TcxGroupBoxButtonViewInfo*>(ButtonsInfo[static_cast<std::size_t>(buttonVisibleIndex)].get());
    const bool checked = buttonVisibleIndex == ItemIndex;
    const bool native = button->Data.NativeStyle;
    SIZE size = cxRadioButtonGlyphSize();
    if (native)
        dxUxTheme::GetThemePartSize(OpenTheme(totButton), canvas->Handle(), kRadioThemePart, button->Data.NativeState,
                                    TS_TRUE, size);
    const RECT glyph = GlyphRect(button, size);
    const int saved = SaveDC(canvas->Handle());
    ScopeGuard restore([&] { RestoreDC(canvas->Handle(), saved); });
    canvas->IntersectClipRect(button->Bounds);
    if (native) {
        dxUxTheme::DrawThemeBackground(OpenTheme(totButton), canvas->Handle(), kRadioThemePart,
                                       button->Data.NativeState, &glyph, nullptr);
    } else {
        static const TcxButtonState byState[] = {cxbsDisabled, cxbsNormal, cxbsPressed, cxbsHot};
        static const TcxLookAndFeelKind byStyle[] = {lfStandard, lfStandard, lfFlat,     lfStandard,
                                                     lfStandard, lfUltraFlat, lfOffice11};
        GetPainterClass(false, byStyle[button->Data.Style])
            ->DrawRadioButton(canvas, glyph.left, glyph.top, byState[button->Data.State], checked, false,
                              BackgroundColor(), IsDesigning);
    }
    canvas->ExcludeClipRect(glyph);
    if (!Transparent) {
        canvas->SetBrushColor(BackgroundColor());
        canvas->FillRect(button->Bounds);
    }
    DrawButtonCaption(canvas, button, glyph);
}

// ---- radio group buttons -----------------------------------------------------------------------

TClass TcxCustomRadioGroupButton::StaticClass()
{
    return DefineClass<TcxCustomRadioGroupButton, TcxRadioButton>("TcxCustomRadioGroupButton");
}

void TcxCustomRadioGroupButton::Construct(TComponent* owner)
{
    TcxRadioButton::Construct(owner);
    if (TcxCustomRadioGroup* group = RadioGroup()) LookAndFeel()->SetMasterLookAndFeel(group->Style()->LookAndFeel());
}

void TcxCustomRadioGroupButton::SetCheckedSilently(bool value)
{
    SetClicksDisabled(true);
    ScopeGuard enable([this] { SetClicksDisabled(false); });
    SetChecked(value);
}

TcxCustomRadioGroup* TcxCustomRadioGroupButton::RadioGroup() const { return As<TcxCustomRadioGroup>(Owner()); }

int TcxCustomRadioGroupButton::ButtonIndex() const
{
    TcxCustomRadioGroup* group = RadioGroup();
    if (!group) return -1;
    for (int i = 0; i < group->ButtonCount(); ++i)
        if (group->Buttons(i) == this) return i;
    return -1;
}

bool TcxCustomRadioGroupButton::IsInplace() { return RadioGroup() && RadioGroup()->IsInplace(); }
bool TcxCustomRadioGroupButton::IsNativeStyle() { return RadioGroup() && RadioGroup()->IsButtonNativeStyle(); }
bool TcxCustomRadioGroupButton::CanFocus() { return RadioGroup() ? RadioGroup()->CanFocusEx() : TcxRadioButton::CanFocus(); }
TPopupMenu* TcxCustomRadioGroupButton::GetPopupMenu() { return RadioGroup() ? RadioGroup()->GetPopupMenu() : nullptr; }

void TcxCustomRadioGroupButton::Click()
{
    TcxRadioButton::Click();
    if (TcxCustomRadioGroup* group = RadioGroup(); group && !group->IsLoading()) group->Click();
}

// Focus arriving on a button selects its item, as far as editing allows.
void TcxCustomRadioGroupButton::DoEnter()
{
    TcxCustomRadioGroup* group = RadioGroup();
    if (!group) return;
    group->ShortRefreshContainer(false);
    if (ButtonIndex() == group->ItemIndex()) return;
    group->LockChangeEvents(true);
    ScopeGuard unlock([group] { group->LockChangeEvents(false); });
    SelectOnEnter();
}

void TcxCustomRadioGroupButton::SelectOnEnter()
{
    TcxCustomRadioGroup* group = RadioGroup();
    if (group->IsUpdatingButtons()) return;
    const bool focused = Focused();
    if (focused && !group->DoEditing()) return;
    group->SetUserChangeFlag(focused);
    {
        ScopeGuard clear([group] { group->SetUserChangeFlag(false); });
        group->SetItemIndex(ButtonIndex());
    }
    if (focused) group->PostFromButton();
}

void TcxCustomRadioGroupButton::DoExit()
{
    TcxRadioButton::DoExit();
    if (TcxCustomRadioGroup* group = RadioGroup()) group->ShortRefreshContainer(false);
}

void TcxCustomRadioGroupButton::KeyPress(char& key)
{
    TcxRadioButton::KeyPress(key);
    if ((key == '\b' || key == ' ') && RadioGroup() && !RadioGroup()->CanModify()) key = 0;
}

void TcxCustomRadioGroupButton::WndProc(TMessage& m)
{
    TcxCustomRadioGroup* group = RadioGroup();
    const bool press = m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK;
    if (group && press && group->DragMode() == dmAutomatic && !group->IsDesigning()) {
        group->BeginDrag(false);
        return;
    }
    TcxRadioButton::WndProc(m);
}

void TcxCustomRadioGroupButton::DefaultHandler(TMessage& m) { TcxRadioButton::DefaultHandler(m); }

void TcxCustomRadioGroupButton::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CN_COMMAND: return CNCommand(m);
    case WM_GETDLGCODE:
        TcxRadioButton::Dispatch(m);
        if (IsInplace()) m.Result |= DLGC_WANTARROWS | DLGC_WANTTAB;
        return;
    default: return TcxRadioButton::Dispatch(m);
    }
}

// Only the selected button, or one the group lets change, takes a click.
void TcxCustomRadioGroupButton::CNCommand(TMessage& m)
{
    if (inCommand_) return;
    inCommand_ = true;
    ScopeGuard done([this] { inCommand_ = false; });
    const WORD code = HIWORD(m.WParam);
    if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
    TcxCustomRadioGroup* group = RadioGroup();
    try {
        if (!group || ButtonIndex() == group->ItemIndex() || (group->CanModify() && group->DoEditing()))
            TcxRadioButton::Dispatch(m);
    } catch (...) {
        Application->HandleException(this);
    }
}

// ---- radio group control -----------------------------------------------------------------------

TClass TcxCustomRadioGroup::StaticClass()
{
    return DefineClass<TcxCustomRadioGroup, TcxCustomButtonGroup>("TcxCustomRadioGroup");
}

TClass TcxCustomRadioGroup::GetPropertiesClass() const { return TcxRadioGroupProperties::StaticClass(); }

void TcxCustomRadioGroup::Construct(TComponent* owner)
{
    TcxCustomButtonGroup::Construct(owner);
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable});
    itemIndex_ = -1;
    SetAutoSize(false);
    SetBounds(Left(), Top(), 185, 105);
    SetParentColor(!IsInplace());
}

TWinControl* TcxCustomRadioGroup::GetButtonInstance() { return CreateObject<TcxCustomRadioGroupButton>(this); }

void TcxCustomRadioGroup::CheckButton(int index, bool checked)
{
    if (index < 0 || index >= ButtonCount()) return;
    updating_ = true;
    ScopeGuard done([this] { updating_ = false; });
    RadioButton(index)->SetCheckedSilently(checked);
}

void TcxCustomRadioGroup::SetItemIndex(int value)
{
    if (IsLoading()) {
        loadedItemIndex_ = value;
        return;
    }
    value = std::clamp(value, -1, ButtonCount() - 1);
    if (value == itemIndex_) {
        if (!IsUserChange()) SetModified(false);
        return;
    }
    CheckButton(itemIndex_, false);
    Variant editValue;
    PrepareEditValue(Variant(static_cast<std::int32_t>(value)), editValue, InternalFocused());
    SetInternalEditValue(editValue);
    itemIndex_ = value;
    CheckButton(value, true);
}

void TcxCustomRadioGroup::PrepareEditValue(const Variant& displayValue, Variant& editValue, bool)
{
    TcxCustomRadioGroupProperties* p = ActiveProperties();
    const int index = displayValue.IsNull() || displayValue.IsEmpty() ? -1 : displayValue.AsInteger();
    if (index < 0 || index >= p->Items()->Count()) {
        editValue = p->DefaultValue();
        return;
    }
    TcxRadioGroupItem* item = p->Items()->Items(index);
    editValue = item->Value().IsNull() ? Variant(item->Caption()) : item->Value();
}

void TcxCustomRadioGroup::InternalSetEditValue(const Variant& value, bool validateEditValue)
{
    const int old = itemIndex_;
    TcxCustomButtonGroup::InternalSetEditValue(value, validateEditValue);
    itemIndex_ = ActiveProperties()->GetRadioGroupItemIndex(value);
    if (itemIndex_ != old) {
        CheckButton(old, false);
        CheckButton(itemIndex_, true);
        static_cast<TcxCustomRadioGroupViewInfo*>(ViewInfo())->ItemIndex = itemIndex_;
        if (itemIndex_ >= 0) Click();
        DoChange();
    }
    ShortRefreshContainer(false);
}

void TcxCustomRadioGroup::PostFromButton()
{
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue() && ValidateEdit(true)) InternalPostEditValue(false);
}

void TcxCustomRadioGroup::Activate(TcxCustomEditData*& editData)
{
    TcxCustomButtonGroup::Activate(editData);
    if (ButtonCount() == 0) return;
    TWinControl* button = Buttons(itemIndex_ >= 0 && itemIndex_ < ButtonCount() ? itemIndex_ : 0);
    if (button->CanFocus()) button->SetFocus();
}

void TcxCustomRadioGroup::Loaded()
{
    TcxCustomButtonGroup::Loaded();
    const int stored = loadedItemIndex_;
    itemIndex_ = -2;
    SetItemIndex(stored);
}

void TcxCustomRadioGroup::UpdateButtons()
{
    TcxCustomButtonGroup::UpdateButtons();
    TcxRadioGroupItems* items = ActiveProperties()->Items();
    for (int i = 0; i < ButtonCount() && i < items->Count(); ++i) {
        RadioButton(i)->SetCaption(items->Items(i)->Caption());
        RadioButton(i)->SetWordWrap(ActiveProperties()->WordWrap());
    }
    CheckButton(itemIndex_, true);
}

void TcxCustomRadioGroup::SynchronizeButtonsStyle()
{
    TcxCustomButtonGroup::SynchronizeButtonsStyle();
    TcxCustomEditViewInfo* vi = ViewInfo();
    if (vi->ButtonCount() == 0) return;
    static const TcxLookAndFeelKind byStyle[] = {lfStandard, lfStandard, lfFlat,     lfStandard,
                                                 lfStandard, lfUltraFlat, lfOffice11};
    const TcxLookAndFeelKind kind = byStyle[vi->ButtonsInfo[0]->Data.Style];
    for (int i = 0; i < ButtonCount(); ++i) RadioButton(i)->LookAndFeel()->SetKind(kind);
}

void TcxCustomRadioGroup::CursorChanged()
{
    TcxCustomButtonGroup::CursorChanged();
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->SetCursor(Cursor());
}

void TcxCustomRadioGroup::SetDragMode(TDragMode value)
{
    TcxCustomButtonGroup::SetDragMode(value);
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->SetDragMode(value);
}

void TcxCustomRadioGroup::SetDragKind(TDragKind value)
{
    TcxCustomButtonGroup::SetDragKind(value);
    for (int i = 0; i < ButtonCount(); ++i) Buttons(i)->SetDragKind(value);
}

void TcxCustomRadioGroup::ParentBackgroundChanged()
{
    TcxCustomButtonGroup::ParentBackgroundChanged();
    for (int i = 0; i < ButtonCount(); ++i) RadioButton(i)->SetParentBackground(ParentBackground());
}

bool TcxCustomRadioGroup::IsInternalControl(TControl* control)
{
    if (!control) return false;
    if (TcxCustomButtonGroup::IsInternalControl(control)) return true;
    for (int i = 0; i < ButtonCount(); ++i)
        if (Buttons(i) == control) return true;
    return false;
}

bool TcxCustomRadioGroup::IsButtonDC(HDC dc)
{
    HWND window = WindowFromDC(dc);
    for (int i = 0; i < ButtonCount(); ++i)
        if (Buttons(i)->HandleAllocated() && Buttons(i)->Handle() == window) return true;
    return false;
}

void TcxCustomRadioGroup::GetTabOrderList(std::vector<TWinControl*>& list)
{
    TcxCustomButtonGroup::GetTabOrderList(list);
    if (!TabStop()) std::erase(list, static_cast<TWinControl*>(this));
    if (IsInplace() && Visible() && Parent()) std::erase(list, Parent());
}

void TcxCustomRadioGroup::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_DIALOGCHAR: return CMDialogChar(m);
    case CM_FOCUSRADIOBUTTON: return CMFocusRadioButton(m);
    default: return TcxCustomButtonGroup::Dispatch(m);
    }
}

void TcxCustomRadioGroup::CMDialogChar(TMessage& m)
{
    if (!IsAccel(static_cast<WORD>(m.WParam), Text()) || !CanFocus()) {
        TcxCustomButtonGroup::Dispatch(m);
        return;
    }
    SelectFirst();
    m.Result = 1;
}

void TcxCustomRadioGroup::CMFocusRadioButton(TMessage& m)
{
    const auto index = static_cast<int>(m.WParam);
    if (index < 0 || index >= ButtonCount() || index >= ActiveProperties()->Items()->Count()) return;
    if (Buttons(index)->CanFocus()) Buttons(index)->SetFocus();
}

TClass TcxRadioGroup::StaticClass()
{
    return DefineClass<TcxRadioGroup, TcxCustomRadioGroup>("TcxRadioGroup", [](ClassBuilder<TcxRadioGroup>& b) {
        using C = TcxRadioGroup;
        b.Property("Alignment", &C::Alignment, &C::SetAlignment).Default(alTopLeft);
        b.Property("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
        b.Property("Properties", &C::Properties, &C::SetProperties);
        PublishEditStyles(b);
        b.EventProperty("OnEditing", &C::OnEditing);
    });
}

// ---- registration ------------------------------------------------------------------------------

namespace {
int gRadioGroupStarts = 0;
}  // namespace

void cxRadioGroupInitialize()
{
    if (gRadioGroupStarts++ > 0) return;
    cxRadioButtonGlyphSize();
    GetRegisteredEditProperties()->Register(TcxRadioGroupProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryRadioGroupItem));
}

void cxRadioGroupFinalize()
{
    if (gRadioGroupStarts == 0 || --gRadioGroupStarts > 0) return;
    GetRegisteredEditProperties()->Unregister(TcxRadioGroupProperties::StaticClass());
}
