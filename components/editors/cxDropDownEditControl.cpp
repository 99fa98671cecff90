// The drop-down editor: opening and closing its popup by button, keys,
// typing, clicks and activation in a cell, handing typed characters to the
// control in the popup, posting the value when the popup accepts, and the
// size a user gave the popup, kept per cell or in the properties.
#include "components/editors/cxDropDownEdit.h"

#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

using quelvo::sys::FlagScope;

TcxLookAndFeelKind KindOfButtonStyle(TcxEditButtonStyle style)
{
    switch (style) {
    case btsFlat:
    case btsSimple:
    case btsHotFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
    }
}

TcxPopupAlignHorz PopupAlignHorz(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return pahRight;
    case taCenter: return pahCenter;
    default: return pahLeft;
    }
}

// Keys that type a character.
bool IsCharacterKey(WORD key)
{
    return key == VK_SPACE || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
           (key >= VK_NUMPAD0 && key <= VK_DIVIDE) || (key >= 0xBA && key <= 0xE2);
}

} // namespace

// ---- the popup look and feel -------------------------------------------------------

TClass TcxEditPopupControlLookAndFeel::StaticClass()
{
    return DefineClass<TcxEditPopupControlLookAndFeel, TcxLookAndFeel>("TcxEditPopupControlLookAndFeel");
}

TcxCustomDropDownEdit* TcxEditPopupControlLookAndFeel::Edit() const { return As<TcxCustomDropDownEdit>(GetOwner()); }

TcxLookAndFeelKind TcxEditPopupControlLookAndFeel::InternalGetKind() const
{
    TcxCustomDropDownEdit* edit = Edit();
    if (!edit)
        return TcxLookAndFeel::InternalGetKind();
    if (edit->IsInplace())
        return edit->GetActiveStyle()->LookAndFeel()->Kind();
    TcxCustomEditViewInfo* viewInfo = edit->ViewInfo();
    if (!viewInfo || viewInfo->ButtonCount() == 0)
        return lfStandard;
    return KindOfButtonStyle(viewInfo->ButtonsInfo.front()->Data.Style);
}

bool TcxEditPopupControlLookAndFeel::InternalGetNativeStyle() const
{
    TcxCustomDropDownEdit* edit = Edit();
    if (!edit || !edit->ViewInfo())
        return TcxLookAndFeel::InternalGetNativeStyle();
    return edit->ViewInfo()->NativeStyle;
}

void TcxEditPopupControlLookAndFeel::EditStyleChanged()
{
    TcxLookAndFeelValues changed;
    if (InternalGetKind() != Kind())
        changed.Include(lfvKind);
    if (InternalGetNativeStyle() != NativeStyle())
        changed.Include(lfvNativeStyle);
    Changed(changed);
}

// ---- the inner edit ----------------------------------------------------------------

TClass TcxCustomDropDownInnerEdit::StaticClass()
{
    return DefineClass<TcxCustomDropDownInnerEdit, TcxCustomInnerTextEdit>("TcxCustomDropDownInnerEdit");
}

void TcxCustomDropDownInnerEdit::KeyUp(WORD& key, TShiftState shift)
{
    const bool lonelyAlt = key == VK_MENU && !shift.Contains(ssShift) && !shift.Contains(ssCtrl);
    TcxCustomInnerTextEdit::KeyUp(key, shift);
    if (!lonelyAlt || !HandleAllocated())
        return;
    MSG msg{};
    while (PeekMessageA(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
    }
}

// No hint over an editor whose popup is open.
void TcxCustomDropDownInnerEdit::Dispatch(TMessage& m)
{
    auto* edit = dynamic_cast<TcxCustomDropDownEdit*>(GetContainer());
    if (m.Msg == CM_HINTSHOW && edit && edit->HasPopupWindow()) {
        m.Result = 1;
        return;
    }
    TcxCustomInnerTextEdit::Dispatch(m);
}

// ---- construction ------------------------------------------------------------------

TClass TcxCustomDropDownEdit::StaticClass()
{
    return DefineClass<TcxCustomDropDownEdit, TcxCustomMaskEdit>("TcxCustomDropDownEdit");
}

TClass TcxCustomDropDownEditProperties::GetContainerClass() { return TcxCustomDropDownEdit::StaticClass(); }

TClass TcxCustomDropDownEdit::GetPropertiesClass() const { return TcxCustomDropDownEditProperties::StaticClass(); }
TClass TcxCustomDropDownEdit::GetEditDataClass() const { return TcxCustomDropDownEditData::StaticClass(); }
TClass TcxCustomDropDownEdit::GetInnerEditClass() const { return TcxCustomDropDownInnerEdit::StaticClass(); }

void TcxCustomDropDownEdit::Construct(TComponent* owner)
{
    TcxCustomMaskEdit::Construct(owner);
    popupLookAndFeel_.reset(CreateObject<TcxEditPopupControlLookAndFeel>(static_cast<TPersistent*>(this)));
    popupLookAndFeel_->OnChanged =
        TcxLookAndFeelChangedEvent::Bind(this, &TcxCustomDropDownEdit::PopupControlsLookAndFeelChanged);
    if (!IsDesigning())
        CreatePopupWindow();
}

void TcxCustomDropDownEdit::CreatePopupWindow()
{
    TClass popupClass = ActiveProperties()->GetPopupWindowClass();
    popupWindow_.reset(CreateInstance<TcxCustomEditPopupWindow>(popupClass, static_cast<TWinControl*>(this)));
    popupWindow_->SetCaptureFocus(ActiveProperties()->PopupWindowCapturesFocus());
    popupWindow_->SetIsTopMost(!IsInplace());
    popupWindow_->SetModalMode(false);
    popupWindow_->OnCloseQuery = TCloseQueryEvent::Bind(this, &TcxCustomDropDownEdit::PopupWindowCloseQuery);
    popupWindow_->OnClosed = TNotifyEvent::Bind(this, &TcxCustomDropDownEdit::PopupWindowClosed);
    popupWindow_->OnClosing = TNotifyEvent::Bind(this, &TcxCustomDropDownEdit::PopupWindowClosing);
    popupWindow_->OnShowed = TNotifyEvent::Bind(this, &TcxCustomDropDownEdit::PopupWindowShowed);
    popupWindow_->OnShowing = TNotifyEvent::Bind(this, &TcxCustomDropDownEdit::PopupWindowShowing);
}

void TcxCustomDropDownEdit::BeforeDestruction()
{
    if (ILookupData())
        ILookupData()->Deinitialize();
    TcxCustomMaskEdit::BeforeDestruction();
}

void TcxCustomDropDownEdit::Destroy()
{
    if (popupWindow_) {
        popupWindow_->OnClosed = {};
        popupWindow_->OnClosing = {};
        popupWindow_->CloseUp(false);
    }
    TcxCustomMaskEdit::Destroy();
    popupWindow_.reset();
    popupLookAndFeel_.reset();
}

void TcxCustomDropDownEdit::CreateHandle()
{
    TcxCustomMaskEdit::CreateHandle();
    InitializeLookupData();
}

TcxCustomDropDownEditData* TcxCustomDropDownEdit::DropDownEditData() const
{
    return As<TcxCustomDropDownEditData>(EditData());
}

void TcxCustomDropDownEdit::InitializeEditData()
{
    if (TcxCustomDropDownEditData* data = DropDownEditData())
        data->Initialize(ActiveProperties());
}

// ---- state -------------------------------------------------------------------------

bool TcxCustomDropDownEdit::HasPopupWindow() { return popupWindow_ && popupWindow_->IsVisible(); }

bool TcxCustomDropDownEdit::Focused() { return TcxCustomMaskEdit::Focused() || HasPopupWindow(); }

void TcxCustomDropDownEdit::SetDroppedDown(bool value)
{
    if (value == HasPopupWindow())
        return;
    if (value)
        DropDown();
    else
        CloseUp(false);
}

bool TcxCustomDropDownEdit::HasPopupControl() { return GetPopupFocusedControl() != nullptr; }

TcxCustomEditViewData* TcxCustomDropDownEdit::CreateViewData()
{
    TcxCustomEditViewData* viewData = TcxCustomMaskEdit::CreateViewData();
    if (auto* dropDown = As<TcxCustomDropDownEditViewData>(viewData)) {
        dropDown->HasPopup = HasPopupWindow();
        dropDown->IsHotAndPopup = isHotAndPopup_;
        dropDown->InFindSelection = FindSelection();
    }
    return viewData;
}

void TcxCustomDropDownEdit::SetIsHotAndPopup()
{
    isHotAndPopup_ = HasPopupWindow() && ViewInfo()->ContainerState.Contains(csHotTrack);
}

bool TcxCustomDropDownEdit::RefreshContainer(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    if (isMouseEvent)
        SetIsHotAndPopup();
    const bool refreshed = TcxCustomMaskEdit::RefreshContainer(p, button, shift, isMouseEvent);
    if (isMouseEvent && button != cxmbNone && HasPopupWindow() && ButtonVisibleIndexAt(p) == -1 &&
        PtInRect(&ViewInfo()->Bounds, p))
        CloseUp(false);
    if (popupLookAndFeel_)
        popupLookAndFeel_->EditStyleChanged();
    return refreshed;
}

void TcxCustomDropDownEdit::ContainerStyleChanged(TObject* sender)
{
    TcxCustomMaskEdit::ContainerStyleChanged(sender);
    if (popupLookAndFeel_)
        popupLookAndFeel_->EditStyleChanged();
}

void TcxCustomDropDownEdit::PropertiesChanged(TObject* sender)
{
    if (!ActiveProperties()->PopupSizeable())
        popupResized_ = false;
    if (HasPopupWindow())
        SetupPopupWindow();
    TcxCustomMaskEdit::PropertiesChanged(sender);
}

// ---- opening -----------------------------------------------------------------------

void TcxCustomDropDownEdit::DoInitPopup()
{
    Properties()->OnInitPopup(this);
    if (RepositoryItem())
        ActiveProperties()->OnInitPopup(this);
}

void TcxCustomDropDownEdit::DoPopup()
{
    Properties()->OnPopup(this);
    if (RepositoryItem())
        ActiveProperties()->OnPopup(this);
}

void TcxCustomDropDownEdit::DoCloseUp()
{
    Properties()->OnCloseUp(this);
    if (RepositoryItem())
        ActiveProperties()->OnCloseUp(this);
}

bool TcxCustomDropDownEdit::DoCloseQuery()
{
    bool canClose = true;
    Properties()->OnCloseQuery(this, canClose);
    if (canClose && RepositoryItem())
        ActiveProperties()->OnCloseQuery(this, canClose);
    return canClose;
}

void TcxCustomDropDownEdit::PopupWindowCloseQuery(TObject*, bool& canClose) { canClose = DoCloseQuery(); }

void TcxCustomDropDownEdit::DropDown()
{
    auto alive = AliveToken();
    DoInitPopup();
    if (!*alive || !popupWindow_ || HasPopupWindow() || !CanDropDown())
        return;
    if (ILookupData())
        ILookupData()->DropDown();
    SetupPopupWindow();
    popupWindow_->HandleNeeded();
    PostMessageA(popupWindow_->Handle(), CM_SHOWPOPUPWINDOW, reinterpret_cast<WPARAM>(GetPopupFocusedControl()), 0);
}

void TcxCustomDropDownEdit::SetupPopupWindow()
{
    popupWindow_->SetCaptureFocus(ActiveProperties()->PopupWindowCapturesFocus());
    InitializeLookupData();
    InitializePopupWindow();
    popupWindow_->CalculateSize();
    const POINT position = popupWindow_->CalculatePosition();
    popupWindow_->SetBounds(position.x, position.y, popupWindow_->Width(), popupWindow_->Height());
    popupWindow_->RefreshPopupWindow();
}

void TcxCustomDropDownEdit::InitializePopupWindow()
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    TcxCustomEditPopupWindow* popup = popupWindow_.get();
    popup->SetAlignment(PopupAlignHorz(properties->PopupAlignment()));
    popup->SetClientEdge(properties->PopupClientEdge());
    popup->SetMinHeight(properties->PopupMinHeight());
    popup->SetMinWidth(properties->PopupMinWidth());
    popup->SetPopupAutoSize(properties->PopupAutoSize());
    popup->SetSizeable(properties->PopupSizeable());
    popup->SetSysPanelStyle(properties->PopupSysPanelStyle());
    TcxCustomDropDownEditData* data = DropDownEditData();
    const bool perCell = IsInplace() && properties->PopupSizeable() && data;
    popup->SetPopupWidth(perCell ? data->Width() : properties->PopupWidth());
    popup->SetPopupHeight(perCell ? data->Height() : properties->PopupHeight());
    popup->SetCloseButton(static_cast<TcxCustomEditStyle*>(GetActiveStyle())->PopupCloseButton());
    popup->SetBorderStyle(ViewInfo()->PopupBorderStyle);
    popup->SetNativeStyle(ViewInfo()->NativeStyle);
    popup->SetShadow(ViewInfo()->Shadow);
}

void TcxCustomDropDownEdit::InitializeLookupData()
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    if (!ILookupData() || IsDesigning() || !popupWindow_ || !properties->IsLookupDataVisual())
        return;
    ILookupData()->Initialize(popupWindow_.get());
}

TWinControl* TcxCustomDropDownEdit::GetPopupFocusedControl()
{
    if (ILookupData() && ActiveProperties()->IsLookupDataVisual() && popupWindow_ && popupWindow_->CaptureFocus())
        if (TWinControl* control = ILookupData()->GetActiveControl())
            return control;
    return InnerEdit() ? InnerEdit()->GetControl() : nullptr;
}

RECT TcxCustomDropDownEdit::GetPopupWindowOwnerControlBounds()
{
    RECT r = ViewInfo()->Bounds;
    OffsetRect(&r, Left(), Top());
    if (ViewInfo()->Shadow)
        r.right += cxContainerShadowWidth;
    return r;
}

void TcxCustomDropDownEdit::PositionPopupWindowChilds(const RECT& clientRect)
{
    if (ILookupData())
        ILookupData()->PositionVisualArea(clientRect);
}

bool TcxCustomDropDownEdit::IsPopupLookupDataVisual()
{
    return ILookupData() && ActiveProperties()->IsLookupDataVisual() && ILookupData()->GetActiveControl();
}

bool TcxCustomDropDownEdit::CanResizePopupVisualArea(SIZE& clientSize, int maxHeight)
{
    return ILookupData() && ILookupData()->CanResizeVisualArea(clientSize, maxHeight);
}

void TcxCustomDropDownEdit::PopupWindowResizedByUser()
{
    resizedByUser_ = true;
    popupResized_ = true;
}

void TcxCustomDropDownEdit::PopupWindowShowed(TObject*)
{
    ShortRefreshContainer(false);
    PositionPopupWindowChilds(popupWindow_->ViewInfo()->ClientRect);
    auto alive = AliveToken();
    DoPopup();
    if (!*alive)
        return;
    UpdateDrawValue();
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    if (ILookupData() && properties->UseLookupData() && FindSelection() && properties->ImmediateDropDown() &&
        popupWindow_->CaptureFocus()) {
        const std::string text = GetDisplayValue();
        ILookupData()->DroppedDown(text.substr(0, TextByteOffset(text, GetSelStart())));
    }
    resizedByUser_ = false;
}

// ---- closing -----------------------------------------------------------------------

void TcxCustomDropDownEdit::CloseUp(bool accepted)
{
    if (!HasPopupWindow())
        return;
    auto alive = AliveToken();
    {
        LockChangeEvents(true);
        quelvo::sys::ScopeGuard unlock([&] {
            if (*alive)
                LockChangeEvents(false);
        });
        if (accepted && ILookupData() && ActiveProperties()->UseLookupData()) {
            const Variant previous = ILookupData()->GetCurrentKey();
            {
                LockClick(true);
                quelvo::sys::ScopeGuard unlockClick([&] {
                    if (*alive)
                        LockClick(false);
                });
                ILookupData()->SelectItem();
            }
            if (*alive && ModifiedAfterEnter() && !InternalVarEqualsExact(previous, ILookupData()->GetCurrentKey()))
                DoClick();
        }
        if (*alive && accepted)
            PostAfterCloseUp();
    }
    if (!*alive || !popupWindow_)
        return;
    const bool focusInPopup = IsFocusInPopup();
    popupWindow_->CloseUp(false);
    if (*alive && focusInPopup && InnerEdit())
        InnerEdit()->SafelySetFocus();
}

void TcxCustomDropDownEdit::PostAfterCloseUp()
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    if (!properties->GetAlwaysPostEditValue() && properties->ImmediatePost() && CanPostEditValue())
        InternalPostEditValue(true);
}

void TcxCustomDropDownEdit::StorePopupSize()
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    if (!properties->PopupSizeable() || !resizedByUser_)
        return;
    TcxCustomDropDownEditData* data = DropDownEditData();
    if (IsInplace() && data) {
        data->SetPopupResized(true);
        data->SetWidth(popupWindow_->Width());
        data->SetHeight(popupWindow_->Height());
        return;
    }
    properties->SetPopupWidth(popupWindow_->Width());
    properties->SetPopupHeight(popupWindow_->Height());
}

void TcxCustomDropDownEdit::PopupWindowClosed(TObject*)
{
    StorePopupSize();
    resizedByUser_ = false;
    if (ILookupData())
        ILookupData()->CloseUp();
    if (ActiveProperties()->GetEditingStyle() == esFixedList)
        ShortRefreshContainer(false);
    auto alive = AliveToken();
    DoCloseUp();
    if (*alive)
        PostIfAlwaysPosting();
}

void TcxCustomDropDownEdit::PostIfAlwaysPosting()
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    if (!properties->GetAlwaysPostEditValue() || !properties->ImmediatePost())
        return;
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    if (ValidateEdit(true) && CanPostEditValue())
        InternalPostEditValue(false);
}

// ---- keys --------------------------------------------------------------------------

bool TcxCustomDropDownEdit::ToggleKey(WORD key, TShiftState shift)
{
    const bool alt = shift.Contains(ssAlt);
    if (!((alt && (key == VK_UP || key == VK_DOWN)) || (key == VK_F4 && !alt)))
        return false;
    if (HasPopupWindow())
        CloseUp(true);
    else
        DropDown();
    return true;
}

// Enter and Escape close an open popup; True when the key was used.
bool TcxCustomDropDownEdit::CloseKey(WORD& key, TShiftState shift)
{
    if ((key != VK_RETURN && key != VK_ESCAPE) || shift.Contains(ssAlt) || !HasPopupWindow())
        return false;
    const bool escape = key == VK_ESCAPE;
    SetPopupClosedByKey(true);
    {
        const bool userChange = IsUserChange();
        SetUserChange(true);
        quelvo::sys::ScopeGuard restore([this, userChange] { SetUserChange(userChange); });
        CloseUp(!escape && DoEditing());
    }
    if (HasPopupWindow())
        return false;
    if (escape && GetCapture() && (GetCapture() == Handle() || GetCapture() == InnerEdit()->GetControl()->Handle()))
        ReleaseCapture();
    return true;
}

void TcxCustomDropDownEdit::DoEditKeyDown(WORD& key, TShiftState shift)
{
    if (ToggleKey(key, shift) || CloseKey(key, shift)) {
        key = 0;
        return;
    }
    TcxCustomMaskEdit::DoEditKeyDown(key, shift);
}

void TcxCustomDropDownEdit::DoEditProcessTab(TShiftState shift)
{
    if (HasPopupWindow() && ActiveProperties()->PostPopupValueOnTab())
        CloseUp(true);
    TcxCustomMaskEdit::DoEditProcessTab(shift);
}

bool TcxCustomDropDownEdit::IsEditorKey(WORD key, TShiftState shift)
{
    if (TcxCustomMaskEdit::IsEditorKey(key, shift))
        return true;
    if (!IsInplace() || !HasPopupWindow())
        return false;
    return shift.Contains(ssAlt) || shift.Contains(ssCtrl) || !IsCharacterKey(key);
}

void TcxCustomDropDownEdit::PostPopupKey(char key)
{
    popupWindow_->HandleNeeded();
    PostMessageA(popupWindow_->Handle(), CM_POPUPCONTROLKEY, static_cast<unsigned char>(key), 0);
}

void TcxCustomDropDownEdit::DoEditKeyPress(char& key)
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    if (static_cast<unsigned char>(key) >= 32 && properties->ImmediateDropDown() && !HasPopupWindow() &&
        HandleAllocated()) {
        auto alive = AliveToken();
        SendMessageA(Handle(), CM_DROPDOWN, 0, 0);
        if (!*alive)
            return;
    }
    // Only an open popup takes the typed key: a closed one leaves it to the text.
    if (HasPopupWindow() && popupWindow_->CaptureFocus() && key != '\r' && CanDropDown() && HasPopupControl()) {
        PostPopupKey(key);
        key = 0;
        return;
    }
    TcxCustomMaskEdit::DoEditKeyPress(key);
}

// ---- activation --------------------------------------------------------------------

void TcxCustomDropDownEdit::Activate(TcxCustomEditData*& editData)
{
    TcxCustomMaskEdit::Activate(editData);
    TcxCustomDropDownEditData* data = DropDownEditData();
    popupResized_ = data && data->PopupResized() && ActiveProperties()->PopupSizeable();
    if (ActiveProperties()->ImmediatePopup())
        DropDown();
}

bool TcxCustomDropDownEdit::SendActivationKey(char key)
{
    if (!ActiveProperties()->ImmediateDropDown())
        return true;
    return !(ActiveProperties()->PopupWindowCapturesFocus() && key != '\r');
}

void TcxCustomDropDownEdit::ActivateByKey(char key, TcxCustomEditData*& editData)
{
    TcxCustomDropDownEditProperties* properties = ActiveProperties();
    const bool printable = static_cast<unsigned char>(key) >= 32;
    const bool toInner = SendActivationKey(key);
    if (printable && properties->ImmediateDropDown() && !properties->ImmediatePopup() && !toInner)
        DropDown();
    TcxCustomMaskEdit::ActivateByKey(key, editData);
    if (!toInner && CanDropDown() && HasPopupControl())
        PostPopupKey(key);
}

void TcxCustomDropDownEdit::ActivateByMouse(TShiftState shift, int x, int y, TcxCustomEditData*& editData)
{
    FlagScope activating(activatingByMouse_, true);
    TcxCustomMaskEdit::ActivateByMouse(shift, x, y, editData);
}

bool TcxCustomDropDownEdit::Deactivate()
{
    CloseUp(false);
    if (TcxCustomDropDownEditData* data = DropDownEditData())
        data->SetPopupResized(popupResized_);
    const bool result = TcxCustomMaskEdit::Deactivate();
    RemovePendingShowMessages();
    return result;
}

void TcxCustomDropDownEdit::RemovePendingShowMessages()
{
    if (!popupWindow_ || !popupWindow_->HandleAllocated())
        return;
    MSG msg{};
    while (PeekMessageA(&msg, popupWindow_->Handle(), CM_SHOWPOPUPWINDOW, CM_SHOWPOPUPWINDOW, PM_REMOVE)) {
    }
}

// ---- mouse and focus ---------------------------------------------------------------

void TcxCustomDropDownEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TcxCustomMaskEdit::MouseDown(button, shift, x, y);
    if (!*alive || activatingByMouse_ || button != mbLeft || !ActiveProperties()->DropDownOnClick())
        return;
    const POINT p{x, y};
    if (PtInRect(&ViewInfo()->ClientRect, p) && !HasPopupWindow() && !isHotAndPopup_ && Focused())
        DropDown();
}

void TcxCustomDropDownEdit::DoButtonDown(int buttonVisibleIndex)
{
    TcxCustomMaskEdit::DoButtonDown(buttonVisibleIndex);
    if (buttonVisibleIndex == ActiveProperties()->DropDownButtonVisibleIndex() && !HasPopupWindow())
        DropDown();
}

bool TcxCustomDropDownEdit::GetScrollLookupDataList(TcxEditScrollCause scrollCause)
{
    if (PropertiesChangeLocked() || ActiveProperties()->ChangedLocked())
        return false;
    return !(IsInplace() && scrollCause == escKeyboard && !HasPopupWindow());
}

bool TcxCustomDropDownEdit::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    if (TcxCustomMaskEdit::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (!HasPopupWindow() || !GetScrollLookupDataList(escMouseWheel) || !ILookupData() ||
        !ActiveProperties()->UseLookupData() || ILookupData()->IsEmpty())
        return false;
    TWinControl* list = ILookupData()->GetActiveControl();
    if (!list || !list->HandleAllocated())
        return false;
    SendMessageA(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(wheelDelta)),
                 MAKELPARAM(static_cast<WORD>(mousePos.x), static_cast<WORD>(mousePos.y)));
    return true;
}

bool TcxCustomDropDownEdit::IsFocusInPopup()
{
    const HWND focus = GetFocus();
    if (!focus || !popupWindow_ || !popupWindow_->HandleAllocated())
        return false;
    return focus == popupWindow_->Handle() || IsChild(popupWindow_->Handle(), focus);
}

// A click into the popup's list moves the focus there; that is no leaving.
void TcxCustomDropDownEdit::FocusChanged()
{
    TcxCustomMaskEdit::FocusChanged();
    if (HasPopupWindow() && !popupWindow_->CaptureFocus() && !InnerEdit()->GetControl()->Focused() &&
        !IsFocusInPopup())
        CloseUp(false);
}

void TcxCustomDropDownEdit::DoExit()
{
    // A focused editor that goes has no styles left to lay itself out with.
    if (GetIsDestroying())
        return;
    CloseUp(false);
    TcxCustomMaskEdit::DoExit();
}

// ---- paste -------------------------------------------------------------------------

void TcxCustomDropDownEdit::PasteFromClipboard()
{
    if (!IsUserChange())
        return TcxCustomMaskEdit::PasteFromClipboard();
    const std::string before = GetDisplayValue();
    auto alive = AliveToken();
    TcxCustomMaskEdit::PasteFromClipboard();
    if (!*alive || GetDisplayValue() == before || !ActiveProperties()->ImmediateDropDown() || HasPopupWindow())
        return;
    SendMessageA(Handle(), CM_DROPDOWN, 0, 0);
    if (*alive && ILookupData())
        PostMessageA(Handle(), CM_DROPDOWNBYPASTE, 0, 0);
}

void TcxCustomDropDownEdit::DropDownByPasteHandler()
{
    if (!HasPopupWindow() || !ILookupData())
        return;
    const Variant previous = ILookupData()->GetCurrentKey();
    {
        LockClick(true);
        quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
        ILookupData()->TextChanged();
    }
    if (!InternalVarEqualsExact(previous, ILookupData()->GetCurrentKey()))
        DoClick();
    const TcxEditEditingStyle style = ActiveProperties()->GetEditingStyle();
    if (style == esFixedList)
        SetFindSelection(true);
    else if (style == esEdit)
        SetFindSelection(CursorPos() == TextCharCount(Text()) && ILookupData()->Find(Text()));
}

void TcxCustomDropDownEdit::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_DROPDOWN: return DropDown();
    case CM_DROPDOWNBYPASTE: return DropDownByPasteHandler();
    default: return TcxCustomMaskEdit::Dispatch(m);
    }
}
