#include "components/foundation/cxContainerListBox.h"

#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// STATE_SYSTEM_INVISIBLE and STATE_SYSTEM_OFFSCREEN.
constexpr DWORD kHiddenScrollBarStates = 0x18000;
constexpr UINT kScrollInfoMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

bool IsCtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace

TClass TcxCustomInnerListBox::StaticClass()
{
    return DefineClass<TcxCustomInnerListBox, TListBox>("TcxCustomInnerListBox");
}

void TcxCustomInnerListBox::Construct(TComponent* owner)
{
    TListBox::Construct(owner);
    cxCanvas_.reset(CreateObject<TcxCanvas>(TListBox::Canvas()));
    CreateScrollBars();
    lookAndFeel_.reset(CreateObject<TcxLookAndFeel>(this));
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::Bind(this, &TcxCustomInnerListBox::LookAndFeelChangeHandler);
    hScrollBar_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
    vScrollBar_->LookAndFeel()->SetMasterLookAndFeel(lookAndFeel_.get());
    SetBorderStyle(bsNone);
    controlStyle_.Exclude(csOpaque);
    controlStyle_.Include(csDoubleClicks);
    SetParentColor(false);
    SetParentFont(true);
}

void TcxCustomInnerListBox::CreateScrollBars()
{
    hScrollBar_ = CreateScrollBar(sbHorizontal);
    vScrollBar_ = CreateScrollBar(sbVertical);
}

TcxScrollBar* TcxCustomInnerListBox::CreateScrollBar(TScrollBarKind kind)
{
    auto* bar = CreateObject<TcxScrollBar>(this);
    bar->FreeNotification(this);
    bar->SetKind(kind);
    bar->OnScroll = kind == sbHorizontal ? TScrollEvent::Bind(this, &TcxCustomInnerListBox::HScrollHandler)
                                         : TScrollEvent::Bind(this, &TcxCustomInnerListBox::VScrollHandler);
    bar->SetSmallChange(1);
    bar->SetVisible(false);
    return bar;
}

void TcxCustomInnerListBox::Destroy()
{
    SetContainer(nullptr);
    // Forgotten before they go: freeing one moves focus and windows around.
    TControl* bars[] = {hScrollBar_, vScrollBar_};
    hScrollBar_ = vScrollBar_ = nullptr;
    for (TControl* bar : bars)
        if (bar) bar->Free();
    lookAndFeel_.reset();
    cxCanvas_.reset();
    TListBox::Destroy();
}

void TcxCustomInnerListBox::SetContainer(TcxContainer* value)
{
    if (container_ == value) return;
    if (container_) container_->RemoveFreeNotification(this);
    container_ = value;
    if (container_) container_->FreeNotification(this);
}

void TcxCustomInnerListBox::Notification(TComponent* component, TOperation operation)
{
    TListBox::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == hScrollBar_) hScrollBar_ = nullptr;
    if (component == vScrollBar_) vScrollBar_ = nullptr;
    if (component == container_) container_ = nullptr;
}

bool TcxCustomInnerListBox::ItemVisible(int index) const
{
    const RECT r = ItemRect(index);
    const RECT bounds{0, 0, Width(), Height()};
    const POINT corners[] = {{r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
    for (const POINT& p : corners)
        if (PtInRect(&bounds, p)) return true;
    return false;
}

bool TcxCustomInnerListBox::BothScrollBarsVisible() const
{
    return hScrollBar_ && vScrollBar_ && hScrollBar_->Visible() && vScrollBar_->Visible();
}

RECT TcxCustomInnerListBox::GetSizeGripRect() const
{
    if (!BothScrollBarsVisible() || !handle_ || !vScrollBar_->Parent()) return cxEmptyRect;
    const POINT corner = vScrollBar_->Parent()->ClientToScreen(POINT{vScrollBar_->Left(), hScrollBar_->Top()});
    RECT window{};
    GetWindowRect(handle_, &window);
    const int left = corner.x - window.left;
    const int top = corner.y - window.top;
    return RECT{left, top, left + vScrollBar_->Width(), top + hScrollBar_->Height()};
}

void TcxCustomInnerListBox::LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues)
{
    LookAndFeelChanged(sender, changedValues);
}

void TcxCustomInnerListBox::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues)
{
    if (HandleAllocated()) Invalidate();
}

// ---- the external scroll bars ---------------------------------------------------------------------------

void TcxCustomInnerListBox::SetExternalScrollBarsParameters()
{
    if (IsDestroying() || scrollBarsLockCount_ > 0 || !UsecxScrollBars()) return;
    scrollBarsCalculating_ = true;
    quelvo::sys::ScopeGuard done([this] { scrollBarsCalculating_ = false; });
    if (hScrollBar_) {
        PlaceScrollBar(hScrollBar_, OBJID_HSCROLL);
        if (hScrollBar_ && hScrollBar_->Visible()) SetScrollBarParams(hScrollBar_, SB_HORZ);
    }
    if (vScrollBar_) {
        PlaceScrollBar(vScrollBar_, OBJID_VSCROLL);
        if (vScrollBar_ && vScrollBar_->Visible()) SetScrollBarParams(vScrollBar_, SB_VERT);
    }
}

void TcxCustomInnerListBox::PlaceScrollBar(TcxScrollBar* bar, LONG objectId)
{
    bool visible = false;
    SCROLLBARINFO info{};
    info.cbSize = sizeof(SCROLLBARINFO);
    if (Parent() && HandleAllocated() && GetScrollBarInfoProc(handle_, objectId, &info) &&
        (info.rgstate[0] & kHiddenScrollBarStates) == 0) {
        visible = true;
        bar->SetEnabled((info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0 && bar->Parent() && bar->Parent()->HandleAllocated() &&
                        IsWindowEnabled(bar->Parent()->Handle()));
        const POINT p = Parent()->ScreenToClient(POINT{info.rcScrollBar.left, info.rcScrollBar.top});
        const int w = info.rcScrollBar.right - info.rcScrollBar.left;
        const int h = info.rcScrollBar.bottom - info.rcScrollBar.top;
        if (p.x < 0 || w > Width() || p.y < 0 || h > Height()) visible = false;
        else bar->SetBounds(p.x, p.y, w, h);
    }
    if (visible) {
        ++scrollBarsLockCount_;
        quelvo::sys::ScopeGuard unlock([this] { --scrollBarsLockCount_; });
        bar->SetParent(Parent());
        bar->BringToFront();
    } else {
        bar->SetBounds(0, 0, 0, 0);
    }
    bar->SetVisible(visible);
}

void TcxCustomInnerListBox::SetScrollBarParams(TcxScrollBar* bar, int nativeBar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = kScrollInfoMask;
    if (!GetScrollInfo(handle_, nativeBar, &info)) return;
    int page = static_cast<int>(info.nPage);
    if (info.nMax < page) page = info.nMax;
    bar->SetScrollParams(info.nMin, info.nMax, info.nPos, page, true);
}

void TcxCustomInnerListBox::HScrollHandler(TObject*, TScrollCode code, int& position)
{
    NativeScroll(WM_HSCROLL, SB_HORZ, code, position, hScrollBar_);
}

// Line steps move the top item directly: the native bar's line step would
// not land on the position the external bar asks for.
void TcxCustomInnerListBox::VScrollHandler(TObject*, TScrollCode code, int& position)
{
    if (!vScrollBar_ || !vScrollBar_->HandleAllocated()) return;
    if (code == scLineUp || code == scLineDown) return SetTopIndex(position);
    NativeScroll(WM_VSCROLL, SB_VERT, code, position, vScrollBar_);
}

void TcxCustomInnerListBox::NativeScroll(UINT msg, int bar, TScrollCode code, int& position, TcxScrollBar* scrollBar)
{
    if (!scrollBar || !scrollBar->HandleAllocated() || !HandleAllocated()) return;
    const WPARAM wParam = (static_cast<WPARAM>(static_cast<WORD>(position)) << 16) | static_cast<WORD>(code);
    CallWindowProcA(defWndProc_ ? defWndProc_ : DefWindowProcA, handle_, msg, wParam,
                    reinterpret_cast<LPARAM>(scrollBar->Handle()));
    position = GetScrollPos(handle_, bar);
}

// ---- messages ---------------------------------------------------------------------------------------------

bool TcxCustomInnerListBox::IsScrollBarsMessage(const TMessage& m) const
{
    switch (m.Msg) {
    case WM_SHOWWINDOW: return m.WParam != 0;
    // Keys and a held button scroll the list without a scroll message.
    case WM_MOUSEMOVE: return (m.WParam & MK_LBUTTON) != 0;
    case WM_KEYDOWN:
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_WININICHANGE: return true;
    default: return false;
    }
}

void TcxCustomInnerListBox::WndProc(TMessage& m)
{
    if (container_ && container_->InnerControlMenuHandler(m)) return;
    auto alive = AliveToken();
    if (m.Msg == WM_LBUTTONDOWN && IsContainerAutoDrag()) WMLButtonDown(m);
    else if (m.Msg == WM_LBUTTONDBLCLK && IsContainerAutoDrag()) WMLButtonDblClk(m);
    else TListBox::WndProc(m);
    if (*alive && IsScrollBarsMessage(m)) SetExternalScrollBarsParameters();
}

void TcxCustomInnerListBox::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE: return WMGetDlgCode(m);
    case WM_SETFOCUS: return WMSetFocus(m);
    case WM_KILLFOCUS: return WMKillFocus(m);
    case WM_NCPAINT: return WMNCPaint(m);
    case WM_NCCALCSIZE: return WMNCCalcSize(m);
    case WM_WINDOWPOSCHANGED: return WMWindowPosChanged(m);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return CMMouseEnterLeave(m);
    default: return TListBox::Dispatch(m);
    }
}

void TcxCustomInnerListBox::DefaultHandler(TMessage& m)
{
    if (container_ && container_->InnerControlDefaultHandler(m)) return;
    TListBox::DefaultHandler(m);
}

void TcxCustomInnerListBox::WMGetDlgCode(TMessage& m)
{
    TListBox::Dispatch(m);
    if (!container_) return;
    m.Result |= DLGC_WANTCHARS;
    if (!IsCtrlDown()) m.Result |= DLGC_WANTTAB;
}

void TcxCustomInnerListBox::WMSetFocus(TMessage& m)
{
    auto alive = AliveToken();
    TListBox::Dispatch(m);
    if (!*alive || !container_ || container_->GetIsDestroying() || IsDestroying()) return;
    const HWND from = reinterpret_cast<HWND>(m.WParam);
    if (!container_->HandleAllocated() || from != container_->Handle()) container_->FocusChanged();
}

void TcxCustomInnerListBox::WMKillFocus(TMessage& m)
{
    auto alive = AliveToken();
    TListBox::Dispatch(m);
    if (*alive && container_ && !container_->GetIsDestroying()) container_->FocusChanged();
}

void TcxCustomInnerListBox::WMNCPaint(TMessage& m)
{
    TListBox::Dispatch(m);
    if (!UsecxScrollBars() || !BothScrollBarsVisible() || !HandleAllocated()) return;
    HDC dc = GetWindowDC(handle_);
    if (!dc) return;
    quelvo::sys::ScopeGuard release([&] { ReleaseDC(handle_, dc); });
    const RECT grip = GetSizeGripRect();
    FillRect(dc, &grip, GetSysColorBrush(COLOR_BTNFACE));
}

void TcxCustomInnerListBox::WMNCCalcSize(TMessage& m)
{
    TListBox::Dispatch(m);
    if (!scrollBarsCalculating_) SetExternalScrollBarsParameters();
}

void TcxCustomInnerListBox::WMWindowPosChanged(TMessage& m)
{
    auto alive = AliveToken();
    TListBox::Dispatch(m);
    if (!*alive || IsDestroying() || !BothScrollBarsVisible() || !HandleAllocated()) return;
    const RECT grip = GetSizeGripRect();
    HRGN region = CreateRectRgnIndirect(&grip);
    quelvo::sys::ScopeGuard free([&] { DeleteObject(region); });
    SendMessageA(handle_, WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
}

void TcxCustomInnerListBox::CMMouseEnterLeave(TMessage& m)
{
    auto alive = AliveToken();
    TListBox::Dispatch(m);
    if (!*alive) return;
    auto* control = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
    if (m.Msg == CM_MOUSEENTER) MouseEnter(control);
    else MouseLeave(control);
}

void TcxCustomInnerListBox::MouseLeave(TControl*)
{
    if (container_) container_->ShortRefreshContainer(true);
}

// ---- automatic drag --------------------------------------------------------------------------------------

bool TcxCustomInnerListBox::IsContainerAutoDrag() const
{
    return container_ && container_->DragMode() == dmAutomatic && !container_->IsDesigning();
}

// A press on a selected item of a multi-select list starts dragging the
// whole selection without touching it; other presses select first.
void TcxCustomInnerListBox::WMLButtonDown(TMessage& m)
{
    const TDragMode savedMode = DragMode();
    TListBox::SetDragMode(dmManual);
    auto alive = AliveToken();
    quelvo::sys::ScopeGuard restore([&] {
        if (*alive) TListBox::SetDragMode(savedMode);
    });
    const TShiftState shift = KeysToShiftState(m.WParam);
    const bool extending = shift.Contains(ssCtrl) || shift.Contains(ssShift);
    if (MultiSelect() && (!shift.Contains(ssShift) || shift.Contains(ssCtrl))) {
        const int index = ItemAtPos(POINT{MessageX(m.LParam), MessageY(m.LParam)}, true);
        if (index >= 0 && Selected(index)) return container_->BeginDrag(false, -1);
    }
    TListBox::WndProc(m);
    if (!*alive || !container_) return;
    if (!(MultiSelect() && extending)) container_->BeginDrag(false, -1);
}

// The container's drag mode reaches the list too: a double click must not
// start a drag of the list's own.
void TcxCustomInnerListBox::WMLButtonDblClk(TMessage& m)
{
    const TDragMode savedMode = DragMode();
    TListBox::SetDragMode(dmManual);
    auto alive = AliveToken();
    quelvo::sys::ScopeGuard restore([&] {
        if (*alive) TListBox::SetDragMode(savedMode);
    });
    TListBox::WndProc(m);
}

// ---- delegation to the container --------------------------------------------------------------------------

TPopupMenu* TcxCustomInnerListBox::GetPopupMenu()
{
    if (!container_) return TListBox::GetPopupMenu();
    if (auto* menu = As<TPopupMenu>(container_->PopupMenu())) return menu;
    return container_->GetPopupMenu();
}

void TcxCustomInnerListBox::Click()
{
    auto alive = AliveToken();
    TListBox::Click();
    if (!*alive) return;
    if (vScrollBar_) vScrollBar_->SetPosition(TopIndex());
    if (container_) container_->Click();
}

void TcxCustomInnerListBox::DblClick()
{
    auto alive = AliveToken();
    TListBox::DblClick();
    if (*alive && container_) container_->DblClick();
}

bool TcxCustomInnerListBox::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    auto alive = AliveToken();
    if (container_ && container_->DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    return *alive && TListBox::DoMouseWheel(shift, wheelDelta, mousePos);
}

void TcxCustomInnerListBox::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    if (!container_) return TListBox::DragOver(source, x, y, state, accept);
    container_->DragOver(source, x + Left(), y + Top(), state, accept);
}

void TcxCustomInnerListBox::DragDrop(TObject* source, int x, int y)
{
    if (!container_) return TListBox::DragDrop(source, x, y);
    container_->DragDrop(source, x + Left(), y + Top());
}

void TcxCustomInnerListBox::KeyDown(WORD& key, TShiftState shift)
{
    auto alive = AliveToken();
    if (container_) container_->KeyDown(key, shift);
    if (*alive && key != 0) TListBox::KeyDown(key, shift);
}

void TcxCustomInnerListBox::KeyPress(char& key)
{
    auto alive = AliveToken();
    if (key == '\t') key = 0;
    if (container_) container_->KeyPress(key);
    if (key == '\r') key = 0;
    if (*alive && key != 0) TListBox::KeyPress(key);
}

void TcxCustomInnerListBox::KeyUp(WORD& key, TShiftState shift)
{
    auto alive = AliveToken();
    if (key == VK_TAB) key = 0;
    if (container_) container_->KeyUp(key, shift);
    if (*alive && key != 0) TListBox::KeyUp(key, shift);
}

void TcxCustomInnerListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TListBox::MouseDown(button, shift, x, y);
    if (!*alive || !container_) return;
    TcxContainer* container = container_;
    auto containerAlive = container->AliveToken();
    container->SetInnerControlMouseDown(true);
    quelvo::sys::ScopeGuard clear([&] {
        if (*containerAlive) container->SetInnerControlMouseDown(false);
    });
    container->MouseDown(button, shift, x + Left(), y + Top());
}

void TcxCustomInnerListBox::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TListBox::MouseMove(shift, x, y);
    if (*alive && container_) container_->MouseMove(shift, x + Left(), y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TListBox::MouseUp(button, shift, x, y);
    if (*alive && container_) container_->MouseUp(button, shift, x + Left(), y + Top());
}
