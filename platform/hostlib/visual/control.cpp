#include "platform/hostlib/visual/control.h"

#include <algorithm>

#include "platform/hostlib/visual/actnlist.h"
#include "platform/hostlib/visual/control_internal.h"
#include "platform/hostlib/visual/dragdrop.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/hostlib/visual/win_control.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

namespace hostlib {

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

const TEnumInfo& EnumTypeInfo(TDragKind*)
{
    static const TEnumInfo info{"TDragKind", {"dkDrag", "dkDock"}, 0};
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
        detail::gCaptureControl = nullptr;
        return nullptr;
    }
    if (detail::gCaptureControl) {
        TWinControl* owner = As<TWinControl>(detail::gCaptureControl) ? static_cast<TWinControl*>(detail::gCaptureControl)
                                                               : detail::gCaptureControl->Parent();
        if (owner && owner->HandleAllocated() && owner->Handle() == capture) return detail::gCaptureControl;
    }
    return TWinControl::FindControl(capture);
}

void SetCaptureControl(TControl* control)
{
    detail::gCaptureControl = nullptr;
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
    detail::gCaptureControl = control;
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
        b.Property("Color", &TControl::Color, &TControl::SetColor).Idents(&ColorIdents());
        b.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
        b.Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
        b.Property("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(0LL);
        b.Property("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
        b.Property("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
        b.Property("Constraints", &TControl::Constraints);
        b.Property("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) { return !c.ParentFont(); });
        b.Property("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual);
        b.Property("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag);
        b.Property("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor).Default(static_cast<long long>(crDrag));
        b.Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
        b.Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
        b.Property("Action", &TControl::Action, &TControl::SetAction);
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
    if (detail::gCaptureControl == this) SetCaptureControl(nullptr);
    if (Application) Application->ControlDestroyed(this);
    EndDragFor(this);
    if (parent_) parent_->RemoveControl(this);
    actionLink_.reset();
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
            if (PtInRect(&r, detail::PointFromLParam(m.LParam))) Click();
            if (!*alive) return;
        }
    }
    DoMouseUp(m, button);
    if (!*alive) return;
    if (button == mbRight && !As<TWinControl>(this)) {
        // A graphic control asks for its context menu itself.
        POINT p = ClientToScreen(detail::PointFromLParam(m.LParam));
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
    if (DoMouseWheel(shift, delta, detail::PointFromLParam(m.LParam))) {
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
    if (detail::gCaptureControl == this) SetCaptureControl(nullptr);
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

void TControl::Click()
{
    if (!OnClick && actionLink_ && actionLink_->Action()) {
        actionLink_->Execute(this);
        return;
    }
    OnClick(this);
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* value)
{
    if (!value) {
        actionLink_.reset();
        controlStyle_.Exclude(csActionClient);
        return;
    }
    controlStyle_.Include(csActionClient);
    if (!actionLink_) actionLink_.reset(CreateInstance<TControlActionLink>(GetActionLinkClass(), static_cast<TObject*>(this)));
    actionLink_->SetAction(value);
    // While loading, what the resource gave the control wins.
    ActionChange(value, ComponentState().Contains(csLoading));
}

TClass TControl::GetActionLinkClass() { return TControlActionLink::StaticClass(); }

void TControl::ActionChange(TObject* sender, bool checkDefaults)
{
    auto* action = As<TCustomAction>(sender);
    if (!action) return;
    if (!checkDefaults || Caption().empty()) SetCaption(action->Caption());
    if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
    if (!checkDefaults || Hint().empty()) SetHint(action->Hint());
    if (!checkDefaults || Visible()) SetVisible(action->Visible());
}
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
        TPopupMenu* menu = c->GetPopupMenu();
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

}  // namespace hostlib
