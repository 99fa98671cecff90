#include "platform/hostlib/visual/controls.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/dragdrop.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/windows/winuser.h"
#include "platform/system/scope_guard.h"

namespace hostlib {

namespace {

constexpr const char* kControlProp = "hostlib.control";
TWinControl* gCreating = nullptr;
TControl* gCaptureControl = nullptr;

// DCs taken by control canvases during the message being handled; each
// message frame releases what was taken inside it.
std::vector<TControlCanvas*>& TakenCanvases()
{
    static std::vector<TControlCanvas*> list;
    return list;
}

struct CanvasFrame {
    std::size_t mark = TakenCanvases().size();
    ~CanvasFrame()
    {
        auto& list = TakenCanvases();
        while (list.size() > mark) {
            TControlCanvas* c = list.back();
            c->FreeHandle();  // removes itself from the list
        }
    }
};

POINT PointFromLParam(LPARAM l) { return POINT{MessageX(l), MessageY(l)}; }

}  // namespace

LRESULT HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* control = static_cast<TWinControl*>(GetPropA(hwnd, kControlProp));
    if (!control && gCreating) {
        control = gCreating;
        gCreating = nullptr;
        control->handle_ = hwnd;
        SetPropA(hwnd, kControlProp, control);
    }
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kControlProp);
        WNDPROC def = control->defWndProc_;
        control->handle_ = nullptr;
        return def ? CallWindowProcA(def, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // A control being torn down gets no more of its own handling.
    if (control->IsDestroying() && !control->HandleAllocated()) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (control->IsDestroying()) {
        WNDPROC def = control->defWndProc_;
        return def ? CallWindowProcA(def, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    TMessage m{msg, wParam, lParam, 0};
    CanvasFrame frame;
    auto alive = control->AliveToken();
    try {
        control->WindowProc(m);
    } catch (...) {
        if (Application) Application->HandleException(*alive ? control : nullptr);
    }
    return m.Result;
}

const TEnumInfo& EnumTypeInfo(TAlign*)
{
    static const TEnumInfo info{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TAnchorKind*)
{
    static const TEnumInfo info{"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TDragMode*)
{
    static const TEnumInfo info{"TDragMode", {"dmManual", "dmAutomatic"}, 0};
    return info;
}

// ---- helpers ------------------------------------------------------------------

TShiftState KeysToShiftState(WPARAM keys)
{
    TShiftState s;
    if (keys & MK_SHIFT) s.Include(ssShift);
    if (keys & MK_CONTROL) s.Include(ssCtrl);
    if (keys & MK_LBUTTON) s.Include(ssLeft);
    if (keys & MK_RBUTTON) s.Include(ssRight);
    if (keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if ((keyData & 0x20000000) || GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState GetShiftState()
{
    TShiftState s = KeyDataToShiftState(0);
    if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
    if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
    if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
    return s;
}

std::string GetShortHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

bool IsAccel(WORD ch, const std::string& caption)
{
    auto upper = [](int c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; };
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return upper(static_cast<unsigned char>(caption[i + 1])) == upper(ch);
    }
    return false;
}

TControl* GetCaptureControl()
{
    HWND capture = GetCapture();
    if (!capture) {
        gCaptureControl = nullptr;
        return nullptr;
    }
    if (gCaptureControl) {
        TWinControl* owner = As<TWinControl>(gCaptureControl) ? static_cast<TWinControl*>(gCaptureControl)
                                                               : gCaptureControl->Parent();
        if (owner && owner->HandleAllocated() && owner->Handle() == capture) return gCaptureControl;
    }
    return TWinControl::FindControl(capture);
}

void SetCaptureControl(TControl* control)
{
    gCaptureControl = nullptr;
    if (!control) {
        ReleaseCapture();
        return;
    }
    auto* win = As<TWinControl>(control);
    if (!win) win = control->Parent();
    if (!win) {
        ReleaseCapture();
        return;
    }
    gCaptureControl = control;
    // A window that holds the capture already keeps it undisturbed.
    if (GetCapture() != win->Handle()) SetCapture(win->Handle());
}

TCustomForm* GetParentForm(TControl* control)
{
    while (control && control->Parent()) control = control->Parent();
    return As<TCustomForm>(control);
}

TControl* FindDragTarget(POINT pos, bool allowDisabled)
{
    HWND wnd = WindowFromPoint(pos);
    TWinControl* win = nullptr;
    while (wnd && !(win = TWinControl::FindControl(wnd))) wnd = GetParent(wnd);
    if (!win) return nullptr;
    POINT local = win->ScreenToClient(pos);
    if (TControl* child = win->ControlAtPos(local, allowDisabled)) return child;
    return win;
}

// ---- TSizeConstraints ------------------------------------------------------------

TClass TSizeConstraints::StaticClass()
{
    return DefineClass<TSizeConstraints, TPersistent>("TSizeConstraints", [](ClassBuilder<TSizeConstraints>& b) {
        b.Property("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0LL);
        b.Property("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0LL);
        b.Property("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0LL);
        b.Property("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0LL);
    });
}

void TSizeConstraints::SetMinWidth(int v)
{
    minWidth_ = std::max(0, v);
    if (maxWidth_ > 0 && maxWidth_ < minWidth_) maxWidth_ = minWidth_;
    Changed();
}
void TSizeConstraints::SetMinHeight(int v)
{
    minHeight_ = std::max(0, v);
    if (maxHeight_ > 0 && maxHeight_ < minHeight_) maxHeight_ = minHeight_;
    Changed();
}
void TSizeConstraints::SetMaxWidth(int v)
{
    maxWidth_ = std::max(0, v);
    if (maxWidth_ > 0 && maxWidth_ < minWidth_) minWidth_ = maxWidth_;
    Changed();
}
void TSizeConstraints::SetMaxHeight(int v)
{
    maxHeight_ = std::max(0, v);
    if (maxHeight_ > 0 && maxHeight_ < minHeight_) minHeight_ = maxHeight_;
    Changed();
}
int TSizeConstraints::ClampWidth(int w) const
{
    if (maxWidth_ > 0) w = std::min(w, maxWidth_);
    return std::max(w, minWidth_);
}
int TSizeConstraints::ClampHeight(int h) const
{
    if (maxHeight_ > 0) h = std::min(h, maxHeight_);
    return std::max(h, minHeight_);
}
void TSizeConstraints::Assign(TPersistent* source)
{
    auto* c = As<TSizeConstraints>(source);
    if (!c) return TPersistent::Assign(source);
    minWidth_ = c->minWidth_;
    minHeight_ = c->minHeight_;
    maxWidth_ = c->maxWidth_;
    maxHeight_ = c->maxHeight_;
    Changed();
}

// ---- TControl --------------------------------------------------------------------

TClass TControl::StaticClass()
{
    return DefineClass<TControl, TComponent>("TControl", [](ClassBuilder<TControl>& b) {
        b.Property("Left", &TControl::Left, &TControl::SetLeft);
        b.Property("Top", &TControl::Top, &TControl::SetTop);
        b.Property("Width", &TControl::Width, &TControl::SetWidth);
        b.Property("Height", &TControl::Height, &TControl::SetHeight);
        b.Property("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
        b.Property("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
        b.Property("Hint", &TControl::Hint, &TControl::SetHint);
        b.Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
        b.Property("Caption", &TControl::Caption, &TControl::SetCaption);
        b.Property("Color", &TControl::Color, &TControl::SetColor);
        b.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
        b.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
        b.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(0LL);
        b.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
        b.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
        b.Property("Constraints", &TControl::Constraints);
        b.Property("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) { return !c.ParentFont(); });
        b.Property("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
        b.Property("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Default(static_cast<long long>(crDrag));
        b.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
        b.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
        b.EventProperty("OnClick", &TControl::OnClick);
        b.EventProperty("OnDblClick", &TControl::OnDblClick);
        b.EventProperty("OnMouseDown", &TControl::OnMouseDown);
        b.EventProperty("OnMouseMove", &TControl::OnMouseMove);
        b.EventProperty("OnMouseUp", &TControl::OnMouseUp);
        b.EventProperty("OnMouseWheel", &TControl::OnMouseWheel);
        b.EventProperty("OnMouseEnter", &TControl::OnMouseEnter);
        b.EventProperty("OnMouseLeave", &TControl::OnMouseLeave);
        b.EventProperty("OnResize", &TControl::OnResize);
        b.EventProperty("OnContextPopup", &TControl::OnContextPopup);
        b.EventProperty("OnDragOver", &TControl::OnDragOver);
        b.EventProperty("OnDragDrop", &TControl::OnDragDrop);
        b.EventProperty("OnStartDrag", &TControl::OnStartDrag);
        b.EventProperty("OnEndDrag", &TControl::OnEndDrag);
    });
}

TControl::TControl() = default;
TControl::~TControl() { *alive_ = false; }

void TControl::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_.reset(CreateObject<TFont>());
    font_->OnChange = TNotifyEvent::Bind(this, &TControl::FontObjectChanged);
    constraints_.reset(CreateObject<TSizeConstraints>());
    constraints_->OnChange = TNotifyEvent::Bind(this, &TControl::ConstraintsChanged);
}

void TControl::BeforeDestruction()
{
    destroyingControl_ = true;
    TComponent::BeforeDestruction();
}

void TControl::Destroy()
{
    *alive_ = false;
    if (gCaptureControl == this) SetCaptureControl(nullptr);
    if (Application) Application->ControlDestroyed(this);
    EndDragFor(this);
    if (parent_) parent_->RemoveControl(this);
    font_.reset();
    constraints_.reset();
    TComponent::Destroy();
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::Loaded()
{
    TComponent::Loaded();
    UpdateAnchorRules();
}

void TControl::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}
void TControl::SetParentComponent(TComponent* parent)
{
    if (auto* w = As<TWinControl>(parent)) SetParent(w);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc) WindowProc(m);
    else WndProc(m);
    return m.Result;
}

void TControl::WndProc(TMessage& m)
{
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL) {
        if (DraggingFrom(this)) {
            DragMouseMessage(this, m);
            return;
        }
        if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
            if (dragMode_ == dmAutomatic) {
                BeginAutoDrag(this);
                return;
            }
            controlState_.Include(csLButtonDown);
        } else if (m.Msg == WM_LBUTTONUP) {
            controlState_.Exclude(csLButtonDown);
        }
    } else if (m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST && DraggingFrom(this)) {
        if (m.Msg == WM_KEYDOWN && m.WParam == static_cast<WPARAM>(VK_ESCAPE)) {
            CancelDrag();
            return;
        }
    }
    Dispatch(m);
}

void TControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return WMButtonDown(m, false);
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: return WMButtonDown(m, true);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return WMButtonUp(m);
    case WM_MOUSEMOVE: return WMMouseMove(m);
    case WM_MOUSEWHEEL:
    case CM_MOUSEWHEEL: return WMMouseWheel(m);
    case WM_CONTEXTMENU: return WMContextMenu(m);
    case CM_HITTEST: m.Result = HitTest(MessageX(m.LParam), MessageY(m.LParam)) ? 1 : 0; return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return CMMouseEnterLeave(m);
    case CM_ENABLEDCHANGED: return CMEnabledChanged();
    case CM_VISIBLECHANGED: return VisibleChanged();
    case CM_COLORCHANGED: return CMColorChanged();
    case CM_FONTCHANGED: return Invalidate();
    case CM_TEXTCHANGED: return CMTextChanged();
    case CM_PARENTCOLORCHANGED: return CMParentColorChanged();
    case CM_PARENTFONTCHANGED: return CMParentFontChanged();
    case CM_PARENTSHOWHINTCHANGED: return CMParentShowHintChanged();
    case CM_DRAG: return DragMessage(this, m);
    case WM_CANCELMODE:
    case CM_CANCELMODE: return WMCancelMode(m);
    default: return DefaultHandler(m);
    }
}

namespace {
TMouseButton ButtonOf(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: return mbLeft;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONUP: return mbRight;
    default: return mbMiddle;
    }
}
}  // namespace

void TControl::WMButtonDown(TMessage& m, bool twice)
{
    const TMouseButton button = ButtonOf(m.Msg);
    auto alive = alive_;
    SendCancelMode(this);
    // The window's own class sees the press first (a wrapped button).
    DefaultHandler(m);
    if (!*alive) return;
    if (button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
        if (controlStyle_.Contains(csClickEvents)) {
            if (twice) DblClick();
            else controlState_.Include(csClicked);
        }
        if (!*alive) return;
    }
    DoMouseDown(m, button, twice ? TShiftState{ssDouble} : TShiftState{});
}

void TControl::WMButtonUp(TMessage& m)
{
    const TMouseButton button = ButtonOf(m.Msg);
    auto alive = alive_;
    // For a window this is where a right release asks for the context
    // menu (WM_CONTEXTMENU from the default handling).
    DefaultHandler(m);
    if (!*alive) return;
    if (button == mbLeft) {
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (controlState_.Contains(csClicked)) {
            controlState_.Exclude(csClicked);
            RECT r = ClientRect();
            if (PtInRect(&r, PointFromLParam(m.LParam))) Click();
            if (!*alive) return;
        }
    }
    DoMouseUp(m, button);
    if (!*alive) return;
    if (button == mbRight && !As<TWinControl>(this)) {
        // A graphic control asks for its context menu itself.
        POINT p = ClientToScreen(PointFromLParam(m.LParam));
        TMessage cm{WM_CONTEXTMENU, 0, MAKELPARAM(p.x, p.y), 0};
        ContextMenu(cm);
    }
}

void TControl::WMMouseMove(TMessage& m)
{
    if (!controlStyle_.Contains(csNoStdEvents))
        MouseMove(KeysToShiftState(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
    DefaultHandler(m);
}

void TControl::WMMouseWheel(TMessage& m)
{
    const TShiftState shift = KeysToShiftState(LOWORD(m.WParam));
    const int delta = static_cast<SHORT>(HIWORD(m.WParam));
    if (DoMouseWheel(shift, delta, PointFromLParam(m.LParam))) {
        m.Result = 1;
        return;
    }
    if (m.Msg == CM_MOUSEWHEEL) return;
    // Unused, the wheel goes to the parent.
    if (parent_) {
        m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
        if (m.Result) return;
    }
    DefaultHandler(m);
}

void TControl::WMContextMenu(TMessage& m)
{
    ContextMenu(m);
    if (!m.Result) DefaultHandler(m);
}

void TControl::CMMouseEnterLeave(TMessage& m)
{
    if (m.LParam == 0 || m.LParam == reinterpret_cast<LPARAM>(this)) {
        if (m.Msg == CM_MOUSEENTER) MouseEnter();
        else MouseLeave();
    }
    if (parent_) parent_->Perform(m.Msg, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
}

void TControl::CMEnabledChanged()
{
    EnabledChanged();
    Invalidate();
}

void TControl::CMColorChanged()
{
    ColorChanged();
    Invalidate();
}

void TControl::CMTextChanged()
{
    TextChanged();
    Invalidate();
}

void TControl::CMParentColorChanged()
{
    if (!parentColor_ || !parent_) return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::CMParentFontChanged()
{
    if (!parentFont_ || !parent_) return;
    font_->Assign(parent_->Font());
    parentFont_ = true;
}

void TControl::CMParentShowHintChanged()
{
    if (!parentShowHint_ || !parent_) return;
    SetShowHint(parent_->ShowHint());
    parentShowHint_ = true;
}

void TControl::WMCancelMode(TMessage& m)
{
    if (gCaptureControl == this) SetCaptureControl(nullptr);
    DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETTEXTLENGTH:
        m.Result = static_cast<LRESULT>(text_.size());
        break;
    case WM_GETTEXT:
        if (m.WParam > 0 && m.LParam) {
            const std::size_t n = std::min<std::size_t>(text_.size(), m.WParam - 1);
            std::memcpy(reinterpret_cast<char*>(m.LParam), text_.data(), n);
            reinterpret_cast<char*>(m.LParam)[n] = 0;
            m.Result = static_cast<LRESULT>(n);
        }
        break;
    case WM_SETTEXT:
        text_ = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
        m.Result = 1;
        break;
    default:
        break;
    }
}

void TControl::DoMouseDown(const TMessage& m, TMouseButton button, TShiftState shift)
{
    if (controlStyle_.Contains(csNoStdEvents)) return;
    MouseDown(button, KeysToShiftState(m.WParam) + shift, MessageX(m.LParam), MessageY(m.LParam));
}

void TControl::DoMouseUp(const TMessage& m, TMouseButton button)
{
    if (controlStyle_.Contains(csNoStdEvents)) return;
    MouseUp(button, KeysToShiftState(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
}

void TControl::Click() { OnClick(this); }
void TControl::DblClick() { OnDblClick(this); }
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) { OnMouseDown(this, b, s, x, y); }
void TControl::MouseMove(TShiftState s, int x, int y) { OnMouseMove(this, s, x, y); }
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) { OnMouseUp(this, b, s, x, y); }

bool TControl::DoMouseWheel(TShiftState shift, int delta, POINT pos)
{
    bool handled = false;
    OnMouseWheel(this, shift, delta, pos, handled);
    return handled;
}

void TControl::DoContextPopup(POINT pos, bool& handled) { OnContextPopup(this, pos, handled); }

void TControl::ContextMenu(TMessage& m)
{
    if (m.Result) return;
    POINT pos{MessageX(m.LParam), MessageY(m.LParam)};
    const bool fromKeyboard = pos.x == -1 && pos.y == -1;
    POINT local = fromKeyboard ? POINT{-1, -1} : ScreenToClient(pos);
    bool handled = false;
    auto alive = alive_;
    DoContextPopup(local, handled);
    if (!*alive) return;
    if (handled) {
        m.Result = 1;
        return;
    }
    for (TControl* c = this; c; c = c->parent_) {
        TPopupMenu* menu = c->popupMenu_;
        if (!menu || !menu->AutoPopup()) continue;
        if (fromKeyboard) pos = ClientToScreen(POINT{0, 0});
        menu->SetPopupComponent(this);
        menu->Popup(pos.x, pos.y);
        m.Result = 1;
        return;
    }
}

void TControl::SendCancelMode(TControl* sender)
{
    if (TCustomForm* form = GetParentForm(this)) form->SendCancelMode(sender);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    width = constraints_ ? constraints_->ClampWidth(std::max(0, width)) : std::max(0, width);
    height = constraints_ ? constraints_->ClampHeight(std::max(0, height)) : std::max(0, height);
    if (!CanResize(width, height)) return;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const bool resized = width != width_ || height != height_;
    InvalidateControl(visible_, false);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    InvalidateControl(visible_, false);
    if (!updatingFromParent_) {
        UpdateAnchorRules();
        RequestAlign();
    }
    if (resized) Resize();
}

void TControl::UpdateBoundsFromAlign(int left, int top, int width, int height)
{
    updatingFromParent_ = true;
    quelvo::sys::ScopeGuard done([this] { updatingFromParent_ = false; });
    SetBounds(left, top, width, height);
}

void TControl::UpdateAnchorRules()
{
    if (!parent_) {
        anchorRulesValid_ = false;
        return;
    }
    RECT pc = parent_->ClientRect();
    anchorBounds_ = BoundsRect();
    anchorParentSize_ = SIZE{pc.right - pc.left, pc.bottom - pc.top};
    anchorRulesValid_ = true;
}

void TControl::ApplyAnchorRules(const RECT& pc)
{
    if (!anchorRulesValid_ || anchors_ == TAnchors{akLeft, akTop}) {
        return;
    }
    const int dx = (pc.right - pc.left) - anchorParentSize_.cx;
    const int dy = (pc.bottom - pc.top) - anchorParentSize_.cy;
    RECT r = anchorBounds_;
    auto axis = [](LONG& lo, LONG& hi, bool low, bool high, int delta) {
        if (low && high) hi += delta;
        else if (high) {
            lo += delta;
            hi += delta;
        } else if (!low) {
            lo += delta / 2;
            hi += delta / 2;
        }
    };
    axis(r.left, r.right, anchors_.Contains(akLeft), anchors_.Contains(akRight), dx);
    axis(r.top, r.bottom, anchors_.Contains(akTop), anchors_.Contains(akBottom), dy);
    UpdateBoundsFromAlign(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

RECT TControl::ClientRect() { return RECT{0, 0, width_, height_}; }

void TControl::SetClientWidth(int v) { SetWidth(width_ - ClientWidth() + v); }
void TControl::SetClientHeight(int v) { SetHeight(height_ - ClientHeight() + v); }

POINT TControl::ClientOrigin()
{
    // A window's client area sits inside its frame (caption bar, borders):
    // the window layer knows where it starts on the screen.
    if (auto* win = As<TWinControl>(this); win && win->HandleAllocated()) {
        POINT p{0, 0};
        ::ClientToScreen(win->Handle(), &p);
        return p;
    }
    if (!parent_) return POINT{left_, top_};
    POINT p = parent_->ClientOrigin();
    return POINT{p.x + left_, p.y + top_};
}

POINT TControl::ClientToScreen(POINT p)
{
    POINT o = ClientOrigin();
    return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p)
{
    POINT o = ClientOrigin();
    return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign value)
{
    if (align_ == value) return;
    const TAlign old = align_;
    align_ = value;
    anchors_ = value == alNone || value == alCustom ? TAnchors{akLeft, akTop}
               : value == alTop                      ? TAnchors{akLeft, akTop, akRight}
               : value == alBottom                   ? TAnchors{akLeft, akRight, akBottom}
               : value == alLeft                     ? TAnchors{akLeft, akTop, akBottom}
               : value == alRight                    ? TAnchors{akRight, akTop, akBottom}
                                                     : TAnchors{akLeft, akTop, akRight, akBottom};
    if (old != alNone || value != alNone) RequestAlign();
}

void TControl::SetAnchors(TAnchors value)
{
    if (anchors_ == value) return;
    anchors_ = value;
    UpdateAnchorRules();
}

void TControl::ConstraintsChanged(TObject*) { SetBounds(left_, top_, width_, height_); }

void TControl::RequestAlign()
{
    if (parent_) parent_->AlignControl(this);
}

void TControl::BringToFront() { SetZOrder(true); }
void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool topMost)
{
    if (!parent_) {
        if (auto* w = As<TWinControl>(this); w && w->HandleAllocated())
            SetWindowPos(w->Handle(), topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    auto& list = parent_->controls_;
    list.erase(std::find(list.begin(), list.end(), this));
    if (topMost) list.push_back(this);
    else list.insert(list.begin(), this);
    if (auto* w = As<TWinControl>(this); w && w->HandleAllocated())
        SetWindowPos(w->Handle(), topMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InvalidateControl(visible_, true);
    if (align_ != alNone) RequestAlign();
}

void TControl::SetVisible(bool value)
{
    if (visible_ == value) return;
    InvalidateControl(true, false);
    visible_ = value;
    Perform(CM_VISIBLECHANGED, value ? 1 : 0, 0);
    RequestAlign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool value)
{
    if (enabled_ == value) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor value)
{
    if (color_ == value && !parentColor_) return;
    const bool changed = color_ != value;
    color_ = value;
    parentColor_ = false;
    if (changed) Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value)
{
    if (parentColor_ == value) return;
    parentColor_ = value;
    if (value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontObjectChanged(TObject*)
{
    parentFont_ = false;
    FontChanged();
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED); }

void TControl::SetParentFont(bool value)
{
    if (parentFont_ == value) return;
    parentFont_ = value;
    if (value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetShowHint(bool value)
{
    parentShowHint_ = false;
    if (showHint_ == value) return;
    showHint_ = value;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value)
{
    if (parentShowHint_ == value) return;
    parentShowHint_ = value;
    if (value && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetText(const std::string& value)
{
    if (Text() == value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    Perform(CM_TEXTCHANGED);
}

void TControl::SetCursor(TCursor value)
{
    if (cursor_ == value) return;
    cursor_ = value;
    Perform(CM_CURSORCHANGED);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value)
{
    if (MouseCapture() == value) return;
    SetCaptureControl(value ? this : nullptr);
}

void TControl::SetPopupMenu(TPopupMenu* value)
{
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = value;
    if (value) value->FreeNotification(this);
}

void TControl::InvalidateControl(bool isVisible, bool)
{
    if (!isVisible || !parent_ || As<TWinControl>(this) || !parent_->HandleAllocated()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, TRUE);
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Update()
{
    if (parent_) parent_->Update();
}

void TControl::Repaint()
{
    if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
    Invalidate();
    parent_->Update();
}

// ---- TWinControl -----------------------------------------------------------------------

TClass TWinControl::StaticClass()
{
    return DefineClass<TWinControl, TControl>("TWinControl", [](ClassBuilder<TWinControl>& b) {
        b.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
        b.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Stored([](const TWinControl& c) { return c.Parent() != nullptr; });
        b.EventProperty("OnEnter", &TWinControl::OnEnter);
        b.EventProperty("OnExit", &TWinControl::OnExit);
        b.EventProperty("OnKeyDown", &TWinControl::OnKeyDown);
        b.EventProperty("OnKeyPress", &TWinControl::OnKeyPress);
        b.EventProperty("OnKeyUp", &TWinControl::OnKeyUp);
    });
}

TWinControl::TWinControl() = default;

void TWinControl::Construct(TComponent* owner)
{
    TControl::Construct(owner);
    brush_.reset(CreateObject<TBrush>());
    BrushColorFromControl();
}

void TWinControl::BrushColorFromControl()
{
    if (brush_) brush_->SetColor(Color());
}

void TWinControl::Destroy()
{
    MoveFocusAway();
    if (handle_) DestroyHandle();
    // Child controls go with their parent whoever owns them; freeing
    // takes them off their owner's list.
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        RemoveControl(c);
        c->Free();
    }
    brush_.reset();
    TControl::Destroy();
}

TWinControl* TWinControl::FindControl(HWND hwnd)
{
    return hwnd ? static_cast<TWinControl*>(GetPropA(hwnd, kControlProp)) : nullptr;
}

HWND TWinControl::Handle()
{
    if (!handle_) {
        if (IsDestroying()) throw EInvalidOperation("Control '" + Name() + "' is being destroyed");
        CreateHandle();
        if (!handle_) throw EOutOfResources("Error creating window");
    }
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& p)
{
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (controlStyle_.Contains(csAcceptsControls)) p.Style |= WS_CLIPCHILDREN;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    if (Parent()) p.WndParent = Parent()->Handle();
    else p.WndParent = parentWindow_;
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.lpfnWndProc = DefWindowProcA;
    p.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* className)
{
    WNDCLASSA wc;
    if (!GetClassInfoA(nullptr, className, &wc)) throw EOutOfResources(std::string("Unknown window class ") + className);
    const UINT keep = p.WindowClass.style & CS_DBLCLKS;
    p.WindowClass = wc;
    p.WindowClass.style = (wc.style & ~CS_DBLCLKS) | keep;
}

void TWinControl::CreateWnd()
{
    TCreateParams p;
    CreateParams(p);
    if (!p.WndParent && (p.Style & WS_CHILD) && !Parent()) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
    defWndProc_ = p.WindowClass.lpfnWndProc;
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, p.WinClassName.c_str(), &existing)) {
        WNDCLASSA wc = p.WindowClass;
        wc.lpfnWndProc = &HostWindowProc;
        wc.lpszClassName = p.WinClassName.c_str();
        wc.lpszMenuName = nullptr;
        if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register window class " + p.WinClassName);
    }
    CreateWindowHandle(p);
    if (!handle_) throw EOutOfResources("Error creating window");
    if (defWndProc_ != DefWindowProcA || true) {
        // Our font for the window's own drawing.
        ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
    }
}

namespace {

// Ids stay in a word (WM_COMMAND carries them so), above the dialog command
// ids, and unique among the window's siblings.
int FreeChildId(HWND parent)
{
    constexpr int first = 0x4000;
    constexpr int last = 0xFFFF;
    static int next = first;
    for (int tries = 0; tries <= last - first; ++tries) {
        next = next >= last ? first + 1 : next + 1;
        if (!parent || !GetDlgItem(parent, next)) return next;
    }
    return 0;
}

}  // namespace

void TWinControl::CreateWindowHandle(const TCreateParams& p)
{
    TWinControl* previous = gCreating;
    gCreating = this;
    // A child window carries its id in the menu argument; draw and measure
    // requests find their control by it.
    HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(FreeChildId(p.WndParent))) : nullptr;
    HWND h = CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                             p.Height, p.WndParent, id, nullptr, p.Param);
    if (gCreating == this) gCreating = previous;
    if (h && !handle_) {
        handle_ = h;
        SetPropA(h, kControlProp, this);
    }
}

void TWinControl::CreateHandle()
{
    if (handle_) return;
    // The parent's window first: making it makes this one too.
    if (Parent()) Parent()->HandleNeeded();
    if (handle_) return;
    {
        controlState_.Include(csCreating);
        quelvo::sys::ScopeGuard created([this] { controlState_.Exclude(csCreating); });
        CreateWnd();
    }
    // The window's own size may differ from what was asked (frames).
    UpdateBounds();
    for (TWinControl* child : tabList_) {
        if (child->visible_ || child->HandleAllocated()) child->CreateHandle();
        SetWindowPos(child->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Keep the window stacking in the order of the controls list.
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c); w && w->handle_)
            SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Realign();
    UpdateShowing();
}

void TWinControl::UpdateShowing()
{
    const bool show = Showing();
    if (!handle_ && !show) return;
    if (show && !handle_) CreateHandle();
    if (show == showing_ && handle_ && ((IsWindowVisible(handle_) != 0) == show || Parent() == nullptr)) return;
    showing_ = show;
    if (Parent()) ShowWindow(handle_, show ? SW_SHOWNOACTIVATE : SW_HIDE);
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c)) w->UpdateShowing();
    Perform(CM_SHOWINGCHANGED);
}

void TWinControl::DestroyHandle()
{
    if (!handle_) return;
    controlState_.Include(csDestroyingHandle);
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c)) w->DestroyHandle();
    DestroyWnd();
    controlState_.Exclude(csDestroyingHandle);
    showing_ = false;
}

void TWinControl::DestroyWnd()
{
    if (!handle_) return;
    // The window may have changed its text itself (typing).
    text_ = Text();
    HWND h = handle_;
    DestroyWindow(h);
    if (handle_ == h) {
        RemovePropA(h, kControlProp);
        handle_ = nullptr;
    }
}

void TWinControl::RecreateWnd()
{
    if (!handle_) return;
    Perform(CM_RECREATEWND);
}

void TWinControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm(this); form && form != this) {
            if (!form->SetFocusedControl(this)) return;
        }
        break;
    case WM_KILLFOCUS:
        if (DraggingAny()) CancelDrag();
        break;
    default:
        if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL) {
            if (IsControlMouseMsg(m)) return;
        }
        break;
    }
    TControl::WndProc(m);
}

bool TWinControl::IsControlMouseMsg(TMessage& m)
{
    TControl* target = nullptr;
    TControl* capture = GetCaptureControl();
    if (capture) {
        if (capture->Parent() == this && !As<TWinControl>(capture)) target = capture;
    } else {
        TControl* c = ControlAtPos(PointFromLParam(m.LParam), false);
        if (c && !As<TWinControl>(c)) target = c;
    }
    if (!target) return false;
    const POINT p = PointFromLParam(m.LParam);
    m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(p.x - target->Left(), p.y - target->Top()));
    return true;
}

void TWinControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT:
        WMPaint(m);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(m);
        return;
    case WM_SETFOCUS:
        WMSetFocus(m);
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(m);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WMKeyUp(m);
        return;
    case WM_CHAR:
        WMChar(m);
        return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
        CNKeyDown(m);
        return;
    case CN_CHAR:
        CNChar(m);
        return;
    case CN_SYSCHAR:
        CNSysChar(m);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        if (m.Msg == CM_DIALOGKEY) CMDialogKey(m);
        else Broadcast(m);
        return;
    case WM_SETCURSOR:
        WMSetCursor(m);
        return;
    case WM_SIZE:
    case WM_MOVE:
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(m);
        if (m.Msg == WM_SIZE || m.Msg == WM_WINDOWPOSCHANGED) WMSize(m);
        else UpdateBounds();
        return;
    case CM_COLORCHANGED:
        BrushColorFromControl();
        NotifyControls(CM_PARENTCOLORCHANGED);
        break;
    case CM_FONTCHANGED:
        if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
        NotifyControls(CM_PARENTFONTCHANGED);
        break;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        return;
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_ENABLEDCHANGED:
        if (!Enabled()) MoveFocusAway();
        if (handle_) EnableWindow(handle_, Enabled() ? TRUE : FALSE);
        break;
    case CM_VISIBLECHANGED:
        if (!Visible()) MoveFocusAway();
        UpdateShowing();
        break;
    case CM_RECREATEWND: {
        const bool wasShowing = handle_ && IsWindowVisible(handle_);
        DestroyHandle();
        if (wasShowing || Showing()) {
            CreateHandle();
            if (!Parent() && Visible()) ShowWindow(handle_, SW_SHOW);
        }
        return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        break;
    case WM_DESTROY:
        DefaultHandler(m);
        return;
    default:
        if (IsReflectedMessage(m.Msg)) {
            HWND child = nullptr;
            if (m.Msg == WM_COMMAND) child = reinterpret_cast<HWND>(m.LParam);
            else if (m.Msg == WM_NOTIFY && m.LParam) child = *reinterpret_cast<HWND*>(m.LParam);
            else if (m.Msg == WM_DRAWITEM || m.Msg == WM_MEASUREITEM) {
                // The item structures start with the control type and id; the
                // window is found by id among the children.
                const auto* ids = reinterpret_cast<const UINT*>(m.LParam);
                if (ids && handle_) child = GetDlgItem(handle_, static_cast<int>(ids[1]));
            } else child = reinterpret_cast<HWND>(m.LParam);
            DoControlMsg(child, m);
            return;
        }
        break;
    }
    TControl::Dispatch(m);
}

void TWinControl::DoControlMsg(HWND child, TMessage& m)
{
    TWinControl* control = FindControl(child);
    if (control && control != this) {
        m.Result = control->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
    }
    DefaultHandler(m);
}

void TWinControl::DefaultHandler(TMessage& m)
{
    if (!handle_) {
        TControl::DefaultHandler(m);
        return;
    }
    if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        SetTextColor(dc, ColorToRGB(Font()->Color()));
        SetBkColor(dc, ColorToRGB(brush_->Color()));
        m.Result = reinterpret_cast<LRESULT>(brush_->Handle());
        return;
    }
    if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) {
        // Reflections nobody handled: the window's own class sees the
        // original message only where it is meant for it.
        return;
    }
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE) return;
    WNDPROC def = defWndProc_ ? defWndProc_ : DefWindowProcA;
    m.Result = CallWindowProcA(def, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::UpdateBounds()
{
    if (!handle_) return;
    RECT r{};
    GetWindowRect(handle_, &r);
    if (HWND parent = GetParent(handle_); parent && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)) {
        POINT pts[2] = {{r.left, r.top}, {r.right, r.bottom}};
        MapWindowPoints(nullptr, parent, pts, 2);
        r = RECT{pts[0].x, pts[0].y, pts[1].x, pts[1].y};
    }
    const bool resized = (r.right - r.left) != Width() || (r.bottom - r.top) != Height();
    if (r.left == Left() && r.top == Top() && !resized) return;
    TControl::left_ = r.left;
    TControl::top_ = r.top;
    TControl::width_ = r.right - r.left;
    TControl::height_ = r.bottom - r.top;
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::WMSize(TMessage&) { UpdateBounds(); }

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    width = Constraints() ? Constraints()->ClampWidth(std::max(0, width)) : width;
    height = Constraints() ? Constraints()->ClampHeight(std::max(0, height)) : height;
    if (!CanResize(width, height)) return;
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    const bool resized = width != Width() || height != Height();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_) {
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!updatingFromParent_) {
        UpdateAnchorRules();
        RequestAlign();
    }
    if (resized) {
        Realign();
        Resize();
    }
}

RECT TWinControl::ClientRect()
{
    if (handle_) {
        RECT r{};
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

// ---- children ------------------------------------------------------------------

TControl* TWinControl::Controls(int index) const
{
    if (index < 0 || index >= ControlCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return controls_[static_cast<std::size_t>(index)];
}

void TWinControl::InsertControl(TControl* control)
{
    if (!control || control->parent_ == this) return;
    if (auto* w = As<TWinControl>(control); w && w->ContainsControl(this))
        throw EInvalidOperation("A control cannot contain its own parent");
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* w = As<TWinControl>(control)) {
        tabList_.push_back(w);
        if (handle_ || w->handle_) {
            if (w->handle_) w->DestroyHandle();
            if (handle_ && w->Visible()) w->CreateHandle();
        }
    }
    if (control->ParentColor()) control->Perform(CM_PARENTCOLORCHANGED);
    if (control->ParentFont()) control->Perform(CM_PARENTFONTCHANGED);
    if (control->ParentShowHint()) control->Perform(CM_PARENTSHOWHINTCHANGED);
    control->UpdateAnchorRules();
    if (control->Align() != alNone) Realign();
    control->InvalidateControl(control->Visible(), false);
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control)
{
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    if (auto* w = As<TWinControl>(control)) {
        if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(w, true);
        w->MoveFocusAway();
        if (w->handle_ && !IsDestroying()) w->DestroyHandle();
        tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), w), tabList_.end());
    }
    control->InvalidateControl(control->Visible(), false);
    if (gCaptureControl == control) SetCaptureControl(nullptr);
    controls_.erase(std::find(controls_.begin(), controls_.end(), control));
    control->parent_ = nullptr;
    if (!IsDestroying()) {
        if (control->Align() != alNone) Realign();
        Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    }
}

bool TWinControl::ContainsControl(TControl* control) const
{
    while (control && control != this) control = control->Parent();
    return control == this;
}

TControl* TWinControl::ControlAtPos(POINT pos, bool allowDisabled, bool allowWinControls)
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && As<TWinControl>(c)) continue;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        RECT r = c->BoundsRect();
        if (!PtInRect(&r, pos)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.x - c->Left(), pos.y - c->Top())) == 0) continue;
        return c;
    }
    if (!allowWinControls) {
        // Graphic children of windowed children are reached through them.
        for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
            auto* w = As<TWinControl>(*it);
            if (!w || !w->Visible() || (!allowDisabled && !w->Enabled())) continue;
            RECT r = w->BoundsRect();
            if (PtInRect(&r, pos)) return nullptr;
        }
    }
    return nullptr;
}

TControl* TWinControl::FindChildControl(const std::string& name) const
{
    for (TControl* c : controls_)
        if (strcasecmp(c->Name().c_str(), name.c_str()) == 0) return c;
    return nullptr;
}

void TWinControl::Loaded()
{
    TControl::Loaded();
    Realign();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TControl* c : controls_)
        if (c->Owner() == root) proc(c);
}

void TWinControl::BroadcastAll(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const std::vector<TControl*> list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->Perform(msg, wParam, lParam);
        if (auto* w = As<TWinControl>(c)) w->BroadcastAll(msg, wParam, lParam);
    }
}

void TWinControl::Broadcast(TMessage& m)
{
    const std::vector<TControl*> list = controls_;
    for (TControl* c : list) {
        if (std::find(controls_.begin(), controls_.end(), c) == controls_.end()) continue;
        c->WindowProc(m);
        if (m.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg)
{
    TMessage m{msg, 0, 0, 0};
    const std::vector<TControl*> list = controls_;
    for (TControl* c : list) c->WindowProc(m);
}

// ---- alignment ---------------------------------------------------------------

void TWinControl::EnableAlign()
{
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::AlignControl(TControl* control)
{
    if (alignDisabled_ > 0 || aligning_ || IsDestroying() || IsLoading()) {
        alignPending_ = true;
        return;
    }
    alignPending_ = false;
    aligning_ = true;
    quelvo::sys::ScopeGuard aligned([this] { aligning_ = false; });
    RECT rect = ClientRect();
    AdjustClientRect(rect);
    AlignControls(control, rect);
}

void TWinControl::ListChildren(std::vector<TControl*>& list, TAlign align)
{
    list.clear();
    for (TControl* c : controls_)
        if (c->Align() == align && c->Visible()) list.push_back(c);
    auto key = [align](TControl* c) {
        switch (align) {
        case alTop: return c->Top();
        case alBottom: return -(c->Top() + c->Height());
        case alLeft: return c->Left();
        case alRight: return -(c->Left() + c->Width());
        default: return 0;
        }
    };
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) { return key(a) < key(b); });
}

void TWinControl::AlignControls(TControl*, RECT& rect)
{
    const RECT client = ClientRect();
    std::vector<TControl*> list;
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient, alCustom}) {
        ListChildren(list, align);
        for (TControl* c : list) {
            int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
            const bool horizontal = align == alTop || align == alBottom;
            const bool vertical = align == alLeft || align == alRight;
            if (horizontal || align == alClient) {
                l = rect.left;
                w = rect.right - rect.left;
            }
            if (vertical || align == alClient) {
                t = rect.top;
                h = rect.bottom - rect.top;
            }
            if (align == alTop) t = rect.top;
            if (align == alBottom) t = rect.bottom - h;
            if (align == alLeft) l = rect.left;
            if (align == alRight) l = rect.right - w;
            if (align == alCustom) CustomAlignPosition(c, l, t, w, h);
            c->UpdateBoundsFromAlign(l, t, std::max(0, w), std::max(0, h));
            // The size constraints may have refused part of the space.
            switch (align) {
            case alTop: rect.top += c->Height(); break;
            case alBottom: rect.bottom -= c->Height(); break;
            case alLeft: rect.left += c->Width(); break;
            case alRight: rect.right -= c->Width(); break;
            default: break;
            }
        }
    }
    for (TControl* c : controls_)
        if (c->Align() == alNone) c->ApplyAnchorRules(client);
}

// ---- focus ------------------------------------------------------------------

void TWinControl::SetTabStop(bool value)
{
    if (tabStop_ == value) return;
    tabStop_ = value;
    if (handle_) {
        LONG_PTR style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
    }
    Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const
{
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value)
{
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    list.erase(std::find(list.begin(), list.end(), this));
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

bool TWinControl::CanFocus()
{
    TCustomForm* form = GetParentForm(this);
    if (!form) return Visible() && Enabled() && (!handle_ || (IsWindowVisible(handle_) && IsWindowEnabled(handle_)));
    for (TControl* c = this; c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (c == form) break;
    }
    return true;
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus()
{
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    TCustomForm* form = GetParentForm(this);
    if (form && form != this) form->FocusControl(this);
    else ::SetFocus(Handle());
}

void TWinControl::MoveFocusAway()
{
    if (!handle_) return;
    HWND focus = GetFocus();
    if (!focus || (focus != handle_ && !IsChild(handle_, focus))) return;
    TWinControl* parent = Parent();
    while (parent && !(parent->Visible() && parent->Enabled())) parent = parent->Parent();
    if (TCustomForm* form = GetParentForm(this)) form->DefocusControl(this, false);
    if (parent && parent->HandleAllocated()) ::SetFocus(parent->Handle());
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list)
{
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent)
{
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[static_cast<std::size_t>(i)] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        const int i = ((goForward ? start + step : start - step) % n + n) % n;
        TWinControl* c = list[static_cast<std::size_t>(i)];
        if (c == current) break;
        if (!c->CanFocus()) continue;
        if (checkTabStop && !c->TabStop()) continue;
        if (checkParent && c->Parent() != this) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::SetVisible(bool value)
{
    if (!value) MoveFocusAway();
    TControl::SetVisible(value);
}

void TWinControl::SetEnabled(bool value)
{
    if (!value) MoveFocusAway();
    TControl::SetEnabled(value);
}

bool TWinControl::Showing() const
{
    if (!Visible()) return false;
    if (Parent()) return Parent()->Showing();
    return parentWindow_ != nullptr && IsWindowVisible(parentWindow_);
}

void TWinControl::SetText(const std::string& value)
{
    if (!handle_) return TControl::SetText(value);
    if (Text() == value) return;
    text_ = value;
    ::SetWindowTextA(handle_, value.c_str());
    Perform(CM_TEXTCHANGED);
}

std::string TWinControl::Text() const
{
    if (!handle_) return text_;
    const int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

void TWinControl::WMSetFocus(TMessage& m) { DefaultHandler(m); }

// ---- keys ---------------------------------------------------------------------

bool TWinControl::IsMenuKey(TMessage& m)
{
    for (TControl* c = this; c; c = c->Parent())
        if (TPopupMenu* menu = c->PopupMenu(); menu && menu->IsShortCut(m)) return true;
    if (TCustomForm* form = GetParentForm(this); form && form->IsShortCut(m)) return true;
    return false;
}

void TWinControl::CNKeyDown(TMessage& m)
{
    m.Result = 1;
    if (IsMenuKey(m)) return;
    LRESULT mask = 0;
    switch (static_cast<int>(m.WParam)) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) == 0 && (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0)
            return;
    }
    m.Result = 0;
}

void TWinControl::CNChar(TMessage& m)
{
    m.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0) {
        if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
            return;
    }
    m.Result = 0;
}

void TWinControl::CNSysChar(TMessage& m)
{
    m.Result = 0;
    if (m.WParam == VK_SPACE) {
        if (TCustomForm* form = GetParentForm(this); form && form->ShowSystemMenu()) m.Result = 1;
        return;
    }
    if (TCustomForm* form = GetParentForm(this); form && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0)
        m.Result = 1;
}

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }

bool TWinControl::DoKeyEvent(TMessage& m, bool (TWinControl::*preview)(TMessage&),
                             const std::function<void(WORD&)>& handler)
{
    TCustomForm* form = GetParentForm(this);
    auto alive = AliveToken();
    if (form && form != this && form->KeyPreview() && (form->*preview)(m)) return true;
    if (!*alive) return true;
    if (controlStyle_.Contains(csNoStdEvents)) return false;
    WORD key = static_cast<WORD>(m.WParam);
    handler(key);
    if (!*alive) return true;
    m.WParam = key;
    return key == 0;
}

bool TWinControl::DoKeyDown(TMessage& m)
{
    return DoKeyEvent(m, &TWinControl::DoKeyDown, [&](WORD& key) { KeyDown(key, KeyDataToShiftState(m.LParam)); });
}

bool TWinControl::DoKeyUp(TMessage& m)
{
    return DoKeyEvent(m, &TWinControl::DoKeyUp, [&](WORD& key) { KeyUp(key, KeyDataToShiftState(m.LParam)); });
}

bool TWinControl::DoKeyPress(TMessage& m)
{
    return DoKeyEvent(m, &TWinControl::DoKeyPress, [&](WORD& key) {
        char ch = static_cast<char>(key);
        KeyPress(ch);
        key = static_cast<unsigned char>(ch);
    });
}

void TWinControl::WMKeyDown(TMessage& m)
{
    if (!DoKeyDown(m)) DefaultHandler(m);
}

void TWinControl::WMKeyUp(TMessage& m)
{
    if (!DoKeyUp(m)) DefaultHandler(m);
}

void TWinControl::WMChar(TMessage& m)
{
    if (!DoKeyPress(m)) DefaultHandler(m);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) { OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { OnKeyPress(this, key); }

void TWinControl::WMSetCursor(TMessage& m)
{
    if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
        TCursor cursor = Screen ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
            POINT p{};
            GetCursorPos(&p);
            TControl* c = ControlAtPos(ScreenToClient(p), false);
            cursor = c ? c->Cursor() : Cursor();
            if (c && cursor == crDefault) cursor = Cursor();
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->Cursors(cursor));
            m.Result = 1;
            return;
        }
    } else if (Screen && Screen->Cursor() != crDefault) {
        ::SetCursor(Screen->Cursors(Screen->Cursor()));
        m.Result = 1;
        return;
    }
    DefaultHandler(m);
}

// ---- painting -------------------------------------------------------------------

void TWinControl::WMPaint(TMessage& m)
{
    if (m.WParam) {
        PaintHandler(m);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    quelvo::sys::ScopeGuard endPaint([&] { EndPaint(handle_, &ps); });
    TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    PaintHandler(inner);
}

void TWinControl::PaintHandler(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    {
        const int saved = SaveDC(dc);
        quelvo::sys::ScopeGuard restore([&] { RestoreDC(dc, saved); });
        PaintWindow(dc);
    }
    PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC dc)
{
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::WMEraseBkgnd(TMessage& m)
{
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    RECT r = ClientRect();
    ::FillRect(dc, &r, brush_->Handle());
    m.Result = 1;
}

void TWinControl::PaintControls(HDC dc, TControl* first)
{
    auto it = controls_.begin();
    if (first) {
        it = std::find(controls_.begin(), controls_.end(), first);
        if (it == controls_.end()) it = controls_.begin();
    }
    const std::vector<TControl*> list(it, controls_.end());
    for (TControl* c : list) {
        if (As<TWinControl>(c) || !c->Visible()) continue;
        RECT r = c->BoundsRect();
        if (!RectVisible(dc, &r)) continue;
        const int saved = SaveDC(dc);
        quelvo::sys::ScopeGuard restore([&] { RestoreDC(dc, saved); });
        POINT org{};
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::PaintTo(HDC dc, int x, int y)
{
    const int saved = SaveDC(dc);
    POINT org{};
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + x, org.y + y, nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    for (TControl* c : controls_)
        if (auto* w = As<TWinControl>(c); w && w->Visible()) w->PaintTo(dc, w->Left(), w->Top());
    RestoreDC(dc, saved);
}

void TWinControl::Invalidate()
{
    if (handle_) InvalidateRect(handle_, nullptr, !controlStyle_.Contains(csOpaque));
}

void TWinControl::Update()
{
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::Repaint()
{
    Invalidate();
    Update();
}

// ---- TControlCanvas ----------------------------------------------------------------

TClass TControlCanvas::StaticClass() { return DefineClass<TControlCanvas, TCanvas>("TControlCanvas"); }

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control)
{
    if (control_ == control) return;
    FreeHandle();
    control_ = control;
}

void TControlCanvas::CreateHandle()
{
    if (!control_) return;
    auto* win = As<TWinControl>(control_);
    TWinControl* owner = win ? win : control_->Parent();
    if (!owner || !owner->HandleAllocated()) return;
    ownWnd_ = owner->Handle();
    ownDC_ = GetDC(ownWnd_);
    if (!ownDC_) return;
    if (!win) {
        SetViewportOrgEx(ownDC_, control_->Left(), control_->Top(), nullptr);
        IntersectClipRect(ownDC_, 0, 0, control_->Width(), control_->Height());
    }
    SetHandle(ownDC_);
    TakenCanvases().push_back(this);
}

void TControlCanvas::FreeHandle()
{
    if (!ownDC_) return;
    SetHandle(nullptr);
    ReleaseDC(ownWnd_, ownDC_);
    ownDC_ = nullptr;
    ownWnd_ = nullptr;
    auto& list = TakenCanvases();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

// ---- TCustomControl / TGraphicControl -----------------------------------------------------

TClass TCustomControl::StaticClass() { return DefineClass<TCustomControl, TWinControl>("TCustomControl"); }

void TCustomControl::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    canvas_.reset(CreateObject<TControlCanvas>());
    canvas_->SetControl(this);
}

void TCustomControl::Destroy()
{
    canvas_.reset();
    TWinControl::Destroy();
}

void TControlCanvas::PaintOn(HDC dc, const std::function<void()>& paint)
{
    Lock();
    FreeHandle();
    SetHandle(dc);
    quelvo::sys::ScopeGuard release([this] {
        SetHandle(nullptr);
        Unlock();
    });
    Font()->Assign(control_->Font());
    Brush()->SetColor(control_->Color());
    paint();
}

void TCustomControl::PaintWindow(HDC dc)
{
    canvas_->PaintOn(dc, [this] { Paint(); });
}

TClass TGraphicControl::StaticClass() { return DefineClass<TGraphicControl, TControl>("TGraphicControl"); }

void TGraphicControl::Construct(TComponent* owner)
{
    TControl::Construct(owner);
    canvas_.reset(CreateObject<TControlCanvas>());
    canvas_->SetControl(this);
}

void TGraphicControl::Destroy()
{
    canvas_.reset();
    TControl::Destroy();
}

void TGraphicControl::Dispatch(TMessage& m)
{
    if (m.Msg == WM_PAINT && m.WParam) {
        canvas_->PaintOn(reinterpret_cast<HDC>(m.WParam), [this] { Paint(); });
        return;
    }
    TControl::Dispatch(m);
}

}  // namespace hostlib
