#include "components/foundation/cxContainerPopup.h"

#include <algorithm>
#include <vector>

#include "components/foundation/cxContainer.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

struct PopupUnit {
    std::vector<TcxCustomPopupWindow*> open;
    bool mouseClosing = false;
    HWND lockedWindow = nullptr;
    WNDPROC lockedProc = nullptr;
    HHOOK callWndProcHook = nullptr;
    HHOOK getMessageHook = nullptr;
    HHOOK mouseHook = nullptr;
};

PopupUnit& Unit()
{
    static PopupUnit unit;
    return unit;
}

std::vector<TcxCustomPopupWindow*>& OpenList() { return Unit().open; }

bool IsDying(const TComponent* c) { return c && c->ComponentState().Contains(csDestroying); }

HWND WindowOf(TWinControl* c) { return c && c->HandleAllocated() ? c->Handle() : nullptr; }

TCustomForm* OwnerForm(TcxCustomPopupWindow* popup)
{
    return popup->OwnerControl() ? GetParentForm(popup->OwnerControl()) : nullptr;
}

bool HasTopMostStyle(HWND wnd) { return wnd && (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// ---- message locking ----

LRESULT LockedWindowProc(HWND wnd, UINT, WPARAM, LPARAM)
{
    PopupUnit& u = Unit();
    SetWindowLongPtrA(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(u.lockedProc));
    u.lockedWindow = nullptr;
    u.lockedProc = nullptr;
    return 1;
}

// ---- call-window hook ----

void ClosePopupsOfDestroyedWindow(HWND wnd)
{
    for (TcxCustomPopupWindow* p : OpenList())
        if (!IsDying(p) && WindowOf(p) == wnd) return p->Close();
}

void ClosePopupsOfClosedWindow(HWND wnd)
{
    const auto open = OpenList();
    for (TcxCustomPopupWindow* p : open) {
        if (IsDying(p)) continue;
        TWinControl* owner = p->OwnerControl();
        if (WindowOf(p) == wnd) {
            p->Close();
            HWND form = WindowOf(OwnerForm(p));
            if (!p->IsVisible() && p->CaptureFocus() && !IsDying(owner) && form) SendMessageA(form, WM_CLOSE, 0, 0);
            return;
        }
        if (p->CaptureFocus() || IsDying(owner)) continue;
        HWND form = WindowOf(OwnerForm(p));
        if (!form || form == wnd) return p->CloseUp(false);
    }
}

// Hiding an owner closes its popup and every popup opened after it.
void ClosePopupsOfHiddenWindow(HWND wnd)
{
    auto& open = OpenList();
    for (int i = static_cast<int>(open.size()) - 1; i >= 0; --i) {
        TcxCustomPopupWindow* p = open[static_cast<std::size_t>(i)];
        TWinControl* owner = p->OwnerControl();
        if (IsDying(p) || IsDying(owner) || WindowOf(owner) != wnd) continue;
        const std::vector<TcxCustomPopupWindow*> closing(open.begin() + i, open.end());
        for (auto it = closing.rbegin(); it != closing.rend(); ++it) (*it)->CloseUp(false);
        return;
    }
}

// One popup closed a pass; false when a pass found none.
bool CloseOnePopupOnAppDeactivation()
{
    const auto open = OpenList();
    for (TcxCustomPopupWindow* p : open) {
        if (HWND form = WindowOf(OwnerForm(p))) PostMessageA(form, WM_NCACTIVATE, FALSE, 0);
        if (p->CaptureFocus() && p->Active()) continue;
        p->CloseUp(false);
        if (auto* owner = dynamic_cast<TcxControl*>(p->OwnerControl())) owner->FocusChanged();
        return true;
    }
    return false;
}

bool CloseOnePopupOfHiddenOwner(HWND wnd)
{
    for (TcxCustomPopupWindow* p : OpenList()) {
        TWinControl* owner = p->OwnerControl();
        if (IsDying(p) || !p->HandleAllocated() || IsDying(owner) || WindowOf(owner) != wnd) continue;
        if (IsWindowVisible(wnd)) continue;
        p->CloseUp(false);
        return true;
    }
    return false;
}

bool IsOwnerFormOfOpenPopup(HWND wnd)
{
    for (TcxCustomPopupWindow* p : OpenList())
        if (!IsDying(p) && WindowOf(OwnerForm(p)) == wnd) return true;
    return false;
}

void LockInactiveCaption(HWND wnd)
{
    if (Unit().mouseClosing || IsOwnerFormOfOpenPopup(wnd)) SwallowNextMessage(wnd);
}

void CallWndProcAction(const CWPSTRUCT& m)
{
    switch (m.message) {
    case WM_DESTROY: return ClosePopupsOfDestroyedWindow(m.hwnd);
    case WM_CLOSE: return ClosePopupsOfClosedWindow(m.hwnd);
    case WM_SHOWWINDOW:
        if (m.wParam == 0) ClosePopupsOfHiddenWindow(m.hwnd);
        return;
    case WM_ACTIVATEAPP:
        if (m.wParam == 0)
            while (CloseOnePopupOnAppDeactivation()) {}
        return;
    case WM_WINDOWPOSCHANGED:
        while (CloseOnePopupOfHiddenOwner(m.hwnd)) {}
        return;
    case WM_NCACTIVATE:
        if (m.wParam == 0) LockInactiveCaption(m.hwnd);
        return;
    default: return;
    }
}

LRESULT CallWndProcHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && !OpenList().empty()) CallWndProcAction(*reinterpret_cast<const CWPSTRUCT*>(lParam));
    return CallNextHookEx(Unit().callWndProcHook, code, wParam, lParam);
}

// ---- get-message hook ----

LRESULT GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    const auto& open = OpenList();
    if (code == HC_ACTION && (wParam & PM_REMOVE) && !open.empty() && msg->message == WM_SYSKEYDOWN) {
        TcxCustomPopupWindow* last = open.back();
        const bool modal = last->CaptureFocus() && last->ModalMode();
        if (!modal && !last->IsSysKeyAccepted(static_cast<WORD>(msg->wParam))) msg->message = WM_NULL;
    }
    return CallNextHookEx(Unit().getMessageHook, code, wParam, lParam);
}

// ---- mouse hook ----

bool IsOnOwnerAnchor(TcxCustomPopupWindow* p, HWND wnd, UINT msg, POINT pt)
{
    TWinControl* owner = p->OwnerControl();
    if (WindowOf(owner) != wnd && !IsChildWindow(owner, wnd)) return false;
    if (msg != WM_LBUTTONDOWN && msg != WM_LBUTTONDBLCLK) return false;
    RECT r = p->AnchorBounds();
    if (TControl* parent = p->AnchorParent()) {
        const POINT tl = parent->ClientToScreen(POINT{r.left, r.top});
        r = RECT{tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top)};
    }
    return PtInRect(&r, pt) != FALSE;
}

bool ClosedByClickOutside(TcxCustomPopupWindow* p, HWND wnd)
{
    TCustomForm* form = OwnerForm(p);
    auto* formPopup = dynamic_cast<TcxCustomPopupWindow*>(form);
    return CheckParentsNativeHandle(p->OwnerControl(), wnd) || (formPopup && !formPopup->IsVisible());
}

void CloseByMouse(TcxCustomPopupWindow* p)
{
    PopupUnit& u = Unit();
    u.mouseClosing = true;
    p->LockDeactivate(true);
    auto alive = p->AliveToken();
    quelvo::sys::ScopeGuard unlock([&] {
        u.mouseClosing = false;
        if (*alive) p->LockDeactivate(false);
    });
    p->CloseUp(false);
}

// One pass over the open popups; true when it closed one (the scan starts
// again). False in `allow` swallows the click.
bool CloseOnePopupByClick(HWND wnd, UINT msg, POINT pt, bool& allow)
{
    for (TcxCustomPopupWindow* p : OpenList()) {
        if (p->CaptureFocus() && !p->Active()) continue;
        if (WindowOf(p) == wnd || IsChildWindow(p, wnd)) continue;
        if (!ClosedByClickOutside(p, wnd)) continue;
        TWinControl* owner = p->OwnerControl();
        const bool onOwner = IsOnOwnerAnchor(p, wnd, msg, pt);
        if (onOwner) p->SetJustClosed(true);
        auto ownerAlive = owner->AliveToken();
        CloseByMouse(p);
        if (onOwner && (!*ownerAlive || IsDying(owner) || !owner->Visible())) allow = false;
        return true;
    }
    return false;
}

LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto msg = static_cast<UINT>(wParam);
    const bool press = msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK || msg == WM_LBUTTONDOWN ||
                       msg == WM_LBUTTONDBLCLK;
    if (code == HC_ACTION && press && !OpenList().empty()) {
        const auto* mh = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        bool allow = true;
        while (CloseOnePopupByClick(mh->hwnd, msg, mh->pt, allow)) {}
        if (!allow) return 1;
    }
    return CallNextHookEx(Unit().mouseHook, code, wParam, lParam);
}

// Some form that stays on top is hidden.
bool HiddenStayOnTopFormExists()
{
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* f = Screen->Forms(i);
        if (f->FormStyle() == fsStayOnTop && !f->Visible()) return true;
    }
    return false;
}

bool IsModalSysKey(const MSG& m)
{
    return m.message == WM_SYSKEYDOWN && (m.wParam == VK_RETURN || m.wParam == VK_MENU || m.wParam == VK_SPACE);
}

}  // namespace

// ---- TcxCustomPopupWindow --------------------------------------------------------------------

TClass TcxCustomPopupWindow::StaticClass()
{
    return DefineClass<TcxCustomPopupWindow, TcxPopupWindow>("TcxCustomPopupWindow");
}

void TcxCustomPopupWindow::Construct(TComponent* owner) { Construct(dynamic_cast<TWinControl*>(owner)); }

void TcxCustomPopupWindow::Construct(TWinControl* ownerControl)
{
    TcxPopupWindow::Construct(ownerControl);
    SetFormStyle(fsNormal);
    SetVisible(false);
    style_.reset(CreateInstance<TcxCustomContainerStyle>(GetStyleClass(), static_cast<TPersistent*>(this), false));
    style_->OnChanged = TNotifyEvent::Bind(this, &TcxCustomPopupWindow::PopupWindowStyleChanged);
    ownerControl_ = ownerControl;
    SetKeyPreview(true);
}

void TcxCustomPopupWindow::Destroy()
{
    auto& open = OpenList();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
    if (style_) style_->OnChanged.Clear();
    style_.reset();
    TcxPopupWindow::Destroy();
}

int TcxCustomPopupWindow::OpenPopupCount() { return static_cast<int>(OpenList().size()); }

TcxCustomPopupWindow* TcxCustomPopupWindow::OpenPopup(int index)
{
    return OpenList().at(static_cast<std::size_t>(index));
}

bool TcxCustomPopupWindow::IsVisible() const
{
    const auto& open = OpenList();
    return std::find(open.begin(), open.end(), this) != open.end();
}

bool TcxCustomPopupWindow::HasCapture() { return HandleAllocated() && GetCapture() == Handle(); }

void TcxCustomPopupWindow::ClosePopup() { PostMessageA(Handle(), CM_CLOSEPOPUPWINDOW, 0, 0); }

void TcxCustomPopupWindow::RecreateWindow()
{
    if (HandleAllocated()) RecreateWnd();
}

void TcxCustomPopupWindow::DoShowing() { OnShowing(this); }
void TcxCustomPopupWindow::DoShowed() { OnShowed(this); }
void TcxCustomPopupWindow::DoClosing() { OnClosing(this); }
void TcxCustomPopupWindow::DoClosed() { OnClosed(this); }

bool TcxCustomPopupWindow::IsSysKeyAccepted(WORD key) { return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_F4; }

void TcxCustomPopupWindow::SetCaptureFocus(bool value)
{
    if (captureFocus_ == value) return;
    captureFocus_ = value;
    RecreateAndReopen();
}

void TcxCustomPopupWindow::SetIsTopMost(bool value)
{
    if (isTopMost_ == value) return;
    isTopMost_ = value;
    RecreateAndReopen();
}

// Destroying the window may already close the popup (its deactivation).
void TcxCustomPopupWindow::RecreateAndReopen()
{
    const bool wasOpen = IsVisible();
    TWinControl* focused = focusedControl_;
    RecreateWindow();
    if (!wasOpen) return;
    CloseUp(false);
    Popup(focused);
}

bool TcxCustomPopupWindow::Focused()
{
    if (!IsVisible() || !captureFocus_ || !HandleAllocated()) return false;
    HWND focus = GetFocus();
    return focus == Handle() || IsChildWindow(this, focus);
}

TWinControl* TcxCustomPopupWindow::GetFirstFocusControl(TWinControl* control)
{
    if (!control) return this;
    if (control->CanFocus() && control->TabStop()) return control;
    TWinControl* first = FindNextControl(nullptr, true, true, false);
    return first ? first : this;
}

void TcxCustomPopupWindow::CorrectBoundsWithDesktopWorkArea(POINT& position)
{
    if (!AcceptsAnySize()) return;
    const RECT area = GetDesktopWorkArea(position);
    int w = Width();
    int h = Height();
    if (position.x < area.left) {
        w -= area.left - position.x;
        position.x = area.left;
    }
    if (position.y < area.top) {
        h -= area.top - position.y;
        position.y = area.top;
    }
    h = std::min<int>(h, area.bottom - position.y);
    SetWidth(std::min<int>(w, area.right - position.x));
    SetHeight(h);
    if (Height() != h && position.y == area.top) position.y += h - Height();
}

bool TcxCustomPopupWindow::IsTopMostOverOwner()
{
    HWND form = WindowOf(OwnerForm(this));
    if (!form || HasTopMostStyle(form)) return true;
    return !captureFocus_ && HiddenStayOnTopFormExists();
}

void TcxCustomPopupWindow::Popup(TWinControl* focusedControl)
{
    if (IsVisible()) return;
    InitPopup();
    CalculateSize();
    POINT p = CalculatePosition();
    CorrectBoundsWithDesktopWorkArea(p);
    SetBounds(p.x, p.y, Width(), Height());
    OpenList().push_back(this);
    auto alive = AliveToken();
    DoShowing();
    if (!*alive) return;
    Show();
    focusedControl_ = captureFocus_ ? GetFirstFocusControl(focusedControl) : focusedControl;
    if (focusedControl_ && focusedControl_->CanFocus()) focusedControl_->SetFocus();
    else if (!focusedControl_) SetFocus();
    SetWindowPos(Handle(), IsTopMostOverOwner() ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    SetModalResult(mrNone);
    DoShowed();
    if (*alive && captureFocus_ && modalMode_) RunModalLoop();
}

// Alt+Enter, Alt and Alt+Space would reach the owner's form menu or its
// system menu; they are dropped unseen.
void TcxCustomPopupWindow::RunModalLoop()
{
    auto alive = AliveToken();
    while (*alive && Visible() && !Application->Terminated()) {
        MSG m{};
        if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) && IsModalSysKey(m)) PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);
        if (ModalResult() != mrNone) CloseUp(true);
        // Closed by its result: waiting for one more message would keep
        // the caller until the next input.
        if (!*alive || !Visible()) break;
        Application->HandleMessage();
    }
}

void TcxCustomPopupWindow::CloseUp(bool askCloseQuery)
{
    if (!IsVisible()) return;
    if (askCloseQuery && !CloseQuery()) {
        SetModalResult(mrNone);
        return;
    }
    auto& open = OpenList();
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
    auto alive = AliveToken();
    DoClosing();
    if (!*alive) return;
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    Hide();
    DoClosed();
    if (*alive && HasCapture()) ReleaseCapture();
}

void TcxCustomPopupWindow::Deactivate()
{
    TCustomForm::Deactivate();
    if (deactivateLocked_) return;
    const auto open = OpenList();
    HWND active = GetActiveWindow();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        TcxCustomPopupWindow* p = *it;
        if (!p->IsVisible()) continue;
        if (WindowOf(p) && WindowOf(p) == active) return;
        if (WindowOf(p) && IsWindowEnabled(p->Handle())) p->CloseUp(false);
    }
    if (!OpenList().empty()) CloseUp(false);
}

void TcxCustomPopupWindow::KeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_ESCAPE && IsVisible() && HasCapture()) {
        SetCaptureControl(nullptr);
        key = 0;
        return;
    }
    TcxPopupWindow::KeyDown(key, shift);
}

void TcxCustomPopupWindow::VisibleChanged()
{
    TcxPopupWindow::VisibleChanged();
    if (!HandleAllocated() || Visible() || !ownerControl_) return;
    TCustomForm* form = OwnerForm(this);
    if (form && WindowOf(form) == GetFocus() && ownerControl_->CanFocus() && !IsDying(ownerControl_) &&
        !form->ComponentState().Contains(csDesigning))
        ownerControl_->SetFocus();
}

// ---- window ----

void TcxCustomPopupWindow::CreateParams(TCreateParams& params)
{
    TcxPopupWindow::CreateParams(params);
    if (captureFocus_) {
        TCustomForm* form = OwnerForm(this);
        if (form) params.WndParent = form->Handle();
        params.Style = (params.Style & ~WS_CHILD) | WS_POPUP;
        if (isTopMost_ && (!form || HasTopMostStyle(WindowOf(form)))) params.ExStyle |= WS_EX_TOPMOST;
    } else {
        params.Style = WS_CHILD;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        if (!params.WndParent && ownerControl_) params.WndParent = ownerControl_->Handle();
    }
    params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateWnd()
{
    TcxPopupWindow::CreateWnd();
    if (!captureFocus_) ::SetParent(Handle(), nullptr);
}

// The hooks treat a popup whose window is being made as open.
void TcxCustomPopupWindow::CreateHandle()
{
    if (IsVisible()) return TcxPopupWindow::CreateHandle();
    OpenList().push_back(this);
    quelvo::sys::ScopeGuard leave([this] {
        auto& open = OpenList();
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
    });
    TcxPopupWindow::CreateHandle();
}

// ---- messages ----

void TcxCustomPopupWindow::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ACTIVATEAPP: return;
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case CM_CLOSEPOPUPWINDOW: return CMClosePopupWindow(m);
    case CM_SHOWPOPUPWINDOW: return Popup(reinterpret_cast<TWinControl*>(m.WParam));
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return CMMouseEnterLeave(m);
    default: return TcxPopupWindow::Dispatch(m);
    }
}

void TcxCustomPopupWindow::WMEraseBkgnd(TMessage& m)
{
    if (HasBackground()) return TcxPopupWindow::Dispatch(m);
    m.Result = 1;
}

void TcxCustomPopupWindow::CMClosePopupWindow(TMessage&)
{
    auto alive = AliveToken();
    LockDeactivate(true);
    {
        quelvo::sys::ScopeGuard unlock([&] {
            if (*alive) LockDeactivate(false);
        });
        CloseUp(false);
    }
    if (*alive && ownerControl_ && ownerControl_->HandleAllocated())
        SendMessageA(ownerControl_->Handle(), WM_SETFOCUS, 0, 0);
}

void TcxCustomPopupWindow::CMMouseEnterLeave(TMessage& m)
{
    auto alive = AliveToken();
    TcxPopupWindow::Dispatch(m);
    if (!*alive) return;
    TControl* control = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
    if (m.Msg == CM_MOUSEENTER) MouseEnter(control);
    else MouseLeave(control);
}

// ---- message locking and the unit ----

void SwallowNextMessage(HWND wnd)
{
    PopupUnit& u = Unit();
    if (u.lockedWindow || !IsWindow(wnd)) return;
    u.lockedWindow = wnd;
    u.lockedProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWL_WNDPROC));
    SetWindowLongPtrA(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&LockedWindowProc));
}

void cxContainerPopupInitialize()
{
    PopupUnit& u = Unit();
    if (u.callWndProcHook) return;
    u.open.clear();
    const DWORD thread = GetCurrentThreadId();
    u.callWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProcHook, nullptr, thread);
    u.getMessageHook = SetWindowsHookExA(WH_GETMESSAGE, &GetMessageHook, nullptr, thread);
    u.mouseHook = SetWindowsHookExA(WH_MOUSE, &MouseHook, nullptr, thread);
}

void cxContainerPopupFinalize()
{
    PopupUnit& u = Unit();
    if (u.mouseHook) UnhookWindowsHookEx(u.mouseHook);
    if (u.getMessageHook) UnhookWindowsHookEx(u.getMessageHook);
    if (u.callWndProcHook) UnhookWindowsHookEx(u.callWndProcHook);
    u.mouseHook = u.getMessageHook = u.callWndProcHook = nullptr;
    u.open.clear();
    u.lockedWindow = nullptr;
    u.lockedProc = nullptr;
}
