// The inner edit of a text editor and its helper: the real edit window that
// types, while the editor decides on every key, click, focus change and
// clipboard action first.
#include "components/editors/cxTextEdit.h"

#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- TcxCustomInnerTextEditHelper --------------------------------------------------

TClass TcxCustomInnerTextEditHelper::StaticClass()
{
    return DefineClass<TcxCustomInnerTextEditHelper, TObject>("TcxCustomInnerTextEditHelper");
}

Variant TcxCustomInnerTextEditHelper::GetEditValue() { return Variant(edit_->Text()); }

void TcxCustomInnerTextEditHelper::SetEditValue(const Variant& value)
{
    const std::string text = VarToStr(value);
    const std::string previous = edit_->Text();
    edit_->SetText(text);
    if (edit_->ComponentState().Contains(csDesigning) && text != previous)
        edit_->Change();
}

int TcxCustomInnerTextEditHelper::GetSelStart()
{
    return edit_->IsImeCharPending() ? savedSelStart_ : edit_->TCustomEdit::SelStart();
}

int TcxCustomInnerTextEditHelper::GetSelLength()
{
    return edit_->IsImeCharPending() ? savedSelLength_ : edit_->TCustomEdit::SelLength();
}

void TcxCustomInnerTextEditHelper::SetSelStart(int value)
{
    if (!edit_->HandleAllocated())
        return;
    if (edit_->IsImeCharPending())
        savedSelStart_ = value;
    else
        edit_->TCustomEdit::SetSelStart(value);
}

void TcxCustomInnerTextEditHelper::SetSelLength(int value)
{
    if (!edit_->HandleAllocated())
        return;
    if (edit_->IsImeCharPending())
        savedSelLength_ = value;
    else
        edit_->TCustomEdit::SetSelLength(value);
}

void TcxCustomInnerTextEditHelper::RestoreSelection()
{
    edit_->TCustomEdit::SetSelStart(savedSelStart_);
    edit_->TCustomEdit::SetSelLength(savedSelLength_);
}

void TcxCustomInnerTextEditHelper::SelectAll()
{
    if (edit_->HandleAllocated())
        edit_->TCustomEdit::SelectAll();
}

void TcxCustomInnerTextEditHelper::SetAlignment(TAlignment value)
{
    TcxCustomTextEdit* container = edit_->GetContainer();
    if (container && container->ActiveProperties()->UseLeftAlignmentOnEditing())
        value = taLeftJustify;
    if (value == edit_->alignment_)
        return;
    edit_->alignment_ = value;
    edit_->RecreateWnd();
}

void TcxCustomInnerTextEditHelper::SetEchoMode(TcxEditEchoMode value)
{
    if (value == edit_->echoMode_)
        return;
    edit_->echoMode_ = value;
    edit_->UpdateEchoMode();
}

void TcxCustomInnerTextEditHelper::SetPasswordChar(char value)
{
    if (value == edit_->passwordChar_)
        return;
    edit_->passwordChar_ = value;
    if (edit_->echoMode_ == eemPassword)
        edit_->UpdateEchoMode();
}

char TcxCustomInnerTextEditHelper::GetImeLastChar() { return edit_->imeCharCount_ == 2 ? edit_->imeLastChar_ : '\0'; }

// ---- state of a key ----------------------------------------------------------------

void SaveTextEditState(IcxInnerTextEdit* innerEdit, bool saveText, TcxCustomInnerTextEditPrevState& state)
{
    state.IsTextSaved = saveText;
    if (saveText)
        state.PrevText = VarToStr(innerEdit->GetEditValue());
    state.PrevSelStart = innerEdit->GetSelStart();
    state.PrevSelLength = innerEdit->GetSelLength();
}

bool CheckTextEditState(IcxInnerTextEdit* innerEdit, const TcxCustomInnerTextEditPrevState& state)
{
    if (!innerEdit->GetControl()->HandleAllocated())
        return true;
    if (innerEdit->GetSelStart() != state.PrevSelStart || innerEdit->GetSelLength() != state.PrevSelLength)
        return true;
    return state.IsTextSaved && !AnsiSameText(VarToStr(innerEdit->GetEditValue()), state.PrevText);
}

// ---- TcxCustomInnerTextEdit --------------------------------------------------------

TClass TcxCustomInnerTextEdit::StaticClass()
{
    return DefineClass<TcxCustomInnerTextEdit, TCustomEdit>("TcxCustomInnerTextEdit");
}

void TcxCustomInnerTextEdit::Construct(TComponent* owner)
{
    creating_ = true;
    quelvo::sys::ScopeGuard created([this] { creating_ = false; });
    TCustomEdit::Construct(owner);
    helper_.reset(CreateObject<TcxCustomInnerTextEditHelper>(this));
    SetTabStop(false);
    SetControlStyle(ControlStyle() + TControlStyle{csDoubleClicks});
    SetParentColor(true);
    SetParentFont(false);
    alignment_ = cxEditDefaultHorzAlignment;
    internalUpdating_ = false;
    echoMode_ = eemNormal;
    UpdateEchoMode();
}

void TcxCustomInnerTextEdit::Destroy()
{
    helper_.reset();
    TCustomEdit::Destroy();
}

TcxCustomTextEdit* TcxCustomInnerTextEdit::GetContainer() const { return dynamic_cast<TcxCustomTextEdit*>(Owner()); }

TcxContainer* TcxCustomInnerTextEdit::GetControlContainer() { return GetContainer(); }

// The edit's own caret index: the same answer as bisecting by pixel
// positions, without their 16-bit limit.
int TcxCustomInnerTextEdit::GetCursorPos() { return CaretIndex(); }

void TcxCustomInnerTextEdit::UpdateEchoMode()
{
    if (echoMode_ == eemNormal)
        TCustomEdit::SetPasswordChar('\0');
    else
        TCustomEdit::SetPasswordChar(passwordChar_ ? passwordChar_ : '*');
}

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& params)
{
    TCustomEdit::CreateParams(params);
    params.Style &= ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
    if (alignment_ == taRightJustify)
        params.Style |= ES_RIGHT;
    else if (alignment_ == taCenter)
        params.Style |= ES_CENTER;
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TcxCustomInnerTextEdit::CreateWnd()
{
    TCustomEdit::CreateWnd();
    AdjustMargins();
}

void TcxCustomInnerTextEdit::CreateHandle()
{
    if (TcxCustomTextEdit* container = GetContainer())
        container->ClearSavedChildControlRegions();
    TCustomEdit::CreateHandle();
}

// The editor frames the text itself: no left margin, one pixel for the
// caret at the right.
void TcxCustomInnerTextEdit::AdjustMargins()
{
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
}

void TcxCustomInnerTextEdit::SetBounds(int left, int top, int width, int height)
{
    if (creating_ || boundsLockCount_ > 0)
        return;
    TcxCustomTextEdit* container = GetContainer();
    if (!container)
        return TCustomEdit::SetBounds(left, top, width, height);
    auto alive = container->AliveToken();
    container->LockAlignControls(true);
    quelvo::sys::ScopeGuard unlock([&] {
        if (*alive)
            container->LockAlignControls(false);
    });
    TCustomEdit::SetBounds(left, top, width, height);
}

void TcxCustomInnerTextEdit::LockBounds(bool lock)
{
    if (lock)
        ++boundsLockCount_;
    else if (boundsLockCount_ > 0)
        --boundsLockCount_;
}

void TcxCustomInnerTextEdit::SafelySetFocus()
{
    const bool autoSelect = AutoSelect();
    TCustomEdit::SetAutoSelect(false);
    auto alive = AliveToken();
    quelvo::sys::ScopeGuard restore([&] {
        if (*alive)
            TCustomEdit::SetAutoSelect(autoSelect);
    });
    SetFocus();
}

bool TcxCustomInnerTextEdit::CanFocus()
{
    TcxCustomTextEdit* container = GetContainer();
    return container ? container->CanFocusEx() : TCustomEdit::CanFocus();
}

TPopupMenu* TcxCustomInnerTextEdit::GetPopupMenu()
{
    if (TPopupMenu* menu = TCustomEdit::GetPopupMenu())
        return menu;
    TcxCustomTextEdit* container = GetContainer();
    return container ? container->GetPopupMenu() : nullptr;
}

// ---- keys --------------------------------------------------------------------------

template <class Key, class Handler>
void TcxCustomInnerTextEdit::ForwardKey(Key& key, Handler&& handler)
{
    internalUpdating_ = false;
    TcxCustomTextEdit* container = GetContainer();
    if (!container || key == 0)
        return;
    auto alive = AliveToken();
    try {
        handler(container);
    } catch (...) {
        if (*alive)
            internalUpdating_ = true;
        throw;
    }
    if (*alive && key == 0)
        internalUpdating_ = true;
}

void TcxCustomInnerTextEdit::KeyDown(WORD& key, TShiftState shift)
{
    auto alive = AliveToken();
    ForwardKey(key, [&](TcxCustomTextEdit* container) { container->KeyDown(key, shift); });
    if (*alive && key != 0)
        TCustomEdit::KeyDown(key, shift);
}

void TcxCustomInnerTextEdit::KeyPress(char& key)
{
    auto alive = AliveToken();
    if (key == '\t')
        key = 0;
    ForwardKey(key, [&](TcxCustomTextEdit* container) { container->KeyPress(key); });
    if (!*alive)
        return;
    // The edit would beep: an in-place editor, a popup that took the key or
    // an editor told not to beep gets Enter and Escape silently.
    TcxCustomTextEdit* container = GetContainer();
    if (container && (key == '\r' || key == '\x1B') &&
        (container->IsInplace() || container->PopupClosedByKey() || (key == '\r' && !container->BeepOnEnter()))) {
        container->SetPopupClosedByKey(false);
        key = 0;
    }
    if (key != 0)
        TCustomEdit::KeyPress(key);
}

void TcxCustomInnerTextEdit::KeyUp(WORD& key, TShiftState shift)
{
    auto alive = AliveToken();
    if (key == VK_TAB)
        key = 0;
    ForwardKey(key, [&](TcxCustomTextEdit* container) { container->KeyUp(key, shift); });
    if (*alive && key != 0)
        TCustomEdit::KeyUp(key, shift);
}

// A popup key of an open popup goes to the popup's list; False lets the
// edit handle it after all.
bool TcxCustomInnerTextEdit::SendToPopup(TMessage& m)
{
    TcxCustomTextEdit* container = GetContainer();
    IcxTextEditLookupData* lookupData = container->ILookupData();
    TWinControl* list = lookupData ? lookupData->GetActiveControl() : nullptr;
    if (!list || !list->HandleAllocated())
        return false;
    m.Result = SendMessageA(list->Handle(), m.Msg, m.WParam, m.LParam);
    return m.Result == 0;
}

void TcxCustomInnerTextEdit::WMKeyDown(TMessage& m)
{
    TcxCustomTextEdit* container = GetContainer();
    WORD key = static_cast<WORD>(m.WParam);
    const TShiftState shift = KeyDataToShiftState(m.LParam);
    if (container && container->HasPopupWindow() && container->ActiveProperties()->IsPopupKey(key, shift) &&
        SendToPopup(m))
        return;
    TcxCustomInnerTextEditPrevState state;
    SaveTextEditState(this, true, state);
    internalUpdating_ = false;
    auto alive = AliveToken();
    TCustomEdit::Dispatch(m);
    if (!*alive || !container || internalUpdating_ || CheckTextEditState(this, state) || key == 0)
        return;
    container->DoAfterKeyDown(key, shift);
}

void TcxCustomInnerTextEdit::WMChar(TMessage& m)
{
    TcxCustomInnerTextEditPrevState state;
    SaveTextEditState(this, true, state);
    internalUpdating_ = false;
    auto alive = AliveToken();
    TCustomEdit::Dispatch(m);
    TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr;
    if (!container)
        return;
    if (imeCharCount_ > 0 && --imeCharCount_ == 0 && container->FindSelection())
        helper_->RestoreSelection();
    container->UnlockLookupDataTextChanged();
    if (!internalUpdating_ && CheckTextEditState(this, state))
        container->SetFindSelection(false);
}

void TcxCustomInnerTextEdit::WMGetDlgCode(TMessage& m)
{
    TCustomEdit::Dispatch(m);
    m.Result |= DLGC_WANTCHARS;
    if (GetKeyState(VK_CONTROL) >= 0)
        m.Result |= DLGC_WANTTAB;
    TcxCustomTextEdit* container = GetContainer();
    if (container && (container->IsInplace() || container->HasPopupWindow()))
        m.Result |= DLGC_WANTALLKEYS;
}

// ---- clipboard ---------------------------------------------------------------------

// The editor decides: it may hand the message back to the edit window
// (PassToEdit) or change the text itself.
void TcxCustomInnerTextEdit::WMClipboard(TMessage& m)
{
    TcxCustomTextEdit* container = GetContainer();
    if (!container)
        return TCustomEdit::Dispatch(m);
    if (m.Msg != WM_CUT && ReadOnly())
        return;
    auto alive = container->AliveToken();
    const bool userChange = container->IsUserChange();
    container->SetUserChange(true);
    container->innerClipboardMessage_ = &m;
    quelvo::sys::ScopeGuard restore([&] {
        if (!*alive)
            return;
        container->SetUserChange(userChange);
        container->innerClipboardMessage_ = nullptr;
    });
    switch (m.Msg) {
    case WM_CUT: return ReadOnly() ? container->CopyToClipboard() : container->CutToClipboard();
    case WM_PASTE: return container->PasteFromClipboard();
    default: return container->ClearSelection();
    }
}

void TcxCustomInnerTextEdit::PassToEdit(TMessage& m) { TCustomEdit::Dispatch(m); }

// ---- focus, mouse and messages -----------------------------------------------------

void TcxCustomInnerTextEdit::WMFocus(TMessage& m)
{
    auto alive = AliveToken();
    TCustomEdit::Dispatch(m);
    TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr;
    if (!container || ComponentState().Contains(csDestroying) || container->GetIsDestroying())
        return;
    const HWND from = reinterpret_cast<HWND>(m.WParam);
    if (m.Msg == WM_SETFOCUS && container->HandleAllocated() && from == container->Handle())
        return;
    container->FocusChanged();
}

void TcxCustomInnerTextEdit::WMSize(TMessage& m)
{
    TCustomEdit::Dispatch(m);
    AdjustMargins();
}

void TcxCustomInnerTextEdit::CMMouseEnterLeave(TMessage& m)
{
    auto alive = AliveToken();
    TCustomEdit::Dispatch(m);
    if (!*alive)
        return;
    auto* control = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
    if (m.Msg == CM_MOUSEENTER)
        MouseEnter(control);
    else
        MouseLeave(control);
}

void TcxCustomInnerTextEdit::MouseLeave(TControl*)
{
    if (TcxCustomTextEdit* container = GetContainer())
        container->ShortRefreshContainer(false);
}

bool TcxCustomInnerTextEdit::IsContainerAutoDrag()
{
    TcxCustomTextEdit* container = GetContainer();
    return container && container->DragMode() == dmAutomatic && !container->IsDesigning();
}

void TcxCustomInnerTextEdit::WndProc(TMessage& m)
{
    TcxCustomTextEdit* container = GetContainer();
    if (container && container->InnerControlMenuHandler(m))
        return;
    if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && IsContainerAutoDrag())
        return container->BeginDrag(false, -1);
    TCustomEdit::WndProc(m);
}

void TcxCustomInnerTextEdit::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_CHAR: return WMChar(m);
    case WM_CLEAR:
    case WM_CUT:
    case WM_PASTE: return WMClipboard(m);
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_GETDLGCODE: return WMGetDlgCode(m);
    case WM_KEYDOWN: return WMKeyDown(m);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return WMFocus(m);
    case WM_NCPAINT: m.Result = 0; return;
    case WM_SIZE: return WMSize(m);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return CMMouseEnterLeave(m);
    default: return TCustomEdit::Dispatch(m);
    }
}

void TcxCustomInnerTextEdit::DefaultHandler(TMessage& m)
{
    TcxCustomTextEdit* container = GetContainer();
    if (container && container->InnerControlDefaultHandler(m))
        return;
    TCustomEdit::DefaultHandler(m);
}

void TcxCustomInnerTextEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TCustomEdit::MouseDown(button, shift, x, y);
    TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr;
    if (!container)
        return;
    auto containerAlive = container->AliveToken();
    container->SetInnerControlMouseDown(true);
    quelvo::sys::ScopeGuard clear([&] {
        if (*containerAlive)
            container->SetInnerControlMouseDown(false);
    });
    container->MouseDown(button, shift, x + Left(), y + Top());
}

void TcxCustomInnerTextEdit::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TCustomEdit::MouseMove(shift, x, y);
    if (TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr)
        container->MouseMove(shift, x + Left(), y + Top());
}

void TcxCustomInnerTextEdit::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TCustomEdit::MouseUp(button, shift, x, y);
    if (TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr)
        container->MouseUp(button, shift, x + Left(), y + Top());
}

void TcxCustomInnerTextEdit::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    TcxCustomTextEdit* container = GetContainer();
    if (!container)
        return TCustomEdit::DragOver(source, x, y, state, accept);
    container->DragOver(source, x + Left(), y + Top(), state, accept);
}

void TcxCustomInnerTextEdit::DragDrop(TObject* source, int x, int y)
{
    TcxCustomTextEdit* container = GetContainer();
    if (!container)
        return TCustomEdit::DragDrop(source, x, y);
    container->DragDrop(source, x + Left(), y + Top());
}

void TcxCustomInnerTextEdit::Click()
{
    auto alive = AliveToken();
    TCustomEdit::Click();
    if (TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr)
        container->Click();
}

void TcxCustomInnerTextEdit::DblClick()
{
    auto alive = AliveToken();
    TCustomEdit::DblClick();
    if (TcxCustomTextEdit* container = *alive ? GetContainer() : nullptr)
        container->DblClick();
}

// The editor takes the wheel.
bool TcxCustomInnerTextEdit::DoMouseWheel(TShiftState, int, POINT) { return false; }
