#include "components/editors/cxEditControl.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "components/editors/cxEditViewData.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/update_scope.h"

#include <map>
#include <tuple>

using namespace hostlib;

// ---- TcxEditChangeEventsCatcher ----------------------------------------------------

TClass TcxEditChangeEventsCatcher::StaticClass()
{
    return DefineClass<TcxEditChangeEventsCatcher, TObject>("TcxEditChangeEventsCatcher");
}

void TcxEditChangeEventsCatcher::Lock(bool lock, bool invokeChangedOnUnlock)
{
    if (lock) {
        if (lockCount_++ == 0)
            OnChangeEvent = OnEditValueChangedEvent = false;
        return;
    }
    if (lockCount_ == 0 || --lockCount_ > 0 || !invokeChangedOnUnlock || edit_->IsLoadingOrDestroying())
        return;
    if (OnChangeEvent && edit_->IsOnChangeEventAssigned())
        edit_->DoOnChange();
    if (OnEditValueChangedEvent && edit_->IsOnEditValueChangedEventAssigned())
        edit_->DoOnEditValueChanged();
}

// ---- repository listener -----------------------------------------------------------

void TcxCustomEdit::RepositoryListener::ItemRemoved(TcxEditRepositoryItem*) { edit_->RepositoryItemRemoved(); }

void TcxCustomEdit::RepositoryListener::PropertiesChanged(TcxEditRepositoryItem* item)
{
    if (!edit_->IsLoadingOrDestroying())
        edit_->PropertiesChanged(item->Properties());
}

// ---- TcxCustomEdit -----------------------------------------------------------------

TClass TcxCustomEdit::StaticClass() { return DefineClass<TcxCustomEdit, TcxContainer>("TcxCustomEdit"); }

TClass TcxCustomEdit::GetPropertiesClass() const { return TcxCustomEditProperties::StaticClass(); }
TClass TcxCustomEdit::GetDataBindingClass() const { return TcxEditDataBinding::StaticClass(); }

TcxContainerStyleClass TcxCustomEdit::GetStyleClass() const
{
    return const_cast<TcxCustomEdit*>(this)->ActiveProperties()->GetStyleClass();
}

TcxContainerStyleClass TcxCustomEdit::GetStyleExClass() const
{
    return const_cast<TcxCustomEdit*>(this)->ActiveProperties()->GetStyleExClass();
}

TcxContainerViewInfoClass TcxCustomEdit::GetViewInfoClass() const
{
    return const_cast<TcxCustomEdit*>(this)->ActiveProperties()->GetViewInfoClass();
}

TcxContainerStyleValues TcxCustomEdit::GetNotPublishedStyleValues() const
{
    return {csvButtonStyle, csvButtonTransparency, csvPopupBorderStyle};
}

void TcxCustomEdit::Construct(bool isInplace, TComponent* owner)
{
    isInplace_ = isInplace;
    Construct(owner);
}

void TcxCustomEdit::Construct(TComponent* owner)
{
    // The container asks the properties for its style classes.
    properties_.reset(CreateInstance<TcxCustomEditProperties>(GetPropertiesClass(), this));
    TcxContainer::Construct(owner);
    catcher_.reset(CreateObject<TcxEditChangeEventsCatcher>(this));
    SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csSetCaption});
    SetTabStop(true);
    CreateInnerEdit();
    if (innerEdit_)
        InitializeInnerEdit();
    dataBinding_.reset(CreateInstance<TcxEditDataBinding>(GetDataBindingClass(), this));
    autoSize_ = !isInplace_;
    editValue_ = Variant::Null();
    properties_->ChangeNotification = TNotifyEvent::Bind(this, &TcxCustomEdit::PropertiesChanged);
    if (isInplace_)
        SetKeys(Keys() + TcxKeys{kAll, kArrows});
    if (isInplace_ && !GetInnerEditClass())
        SetKeys(Keys() + TcxKeys{kTab});
    listener_ = std::make_unique<RepositoryListener>(this);
    dblClickTimer_ = CreateObject<TTimer>(static_cast<TComponent*>(this));
    dblClickTimer_->SetEnabled(false);
    dblClickTimer_->SetInterval(GetDoubleClickTime());
    dblClickTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxCustomEdit::DblClickTimerHandler);
}

void TcxCustomEdit::CreateInnerEdit()
{
    if (!GetInnerEditClass())
        return;
    auto* control = CreateInstance<TWinControl>(GetInnerEditClass(), static_cast<TComponent*>(this));
    innerEdit_ = dynamic_cast<IcxCustomInnerEdit*>(control);
    if (!innerEdit_)
        control->Free();
}

void TcxCustomEdit::InitializeInnerEdit()
{
    innerEdit_->SetParent(this);
    innerEdit_->SetOnChange(TNotifyEvent::Bind(this, &TcxCustomEdit::ChangeHandler));
    innerEdit_->GetControl()->SetParentShowHint(false);
    SetInnerControl(innerEdit_->GetControl());
}

void TcxCustomEdit::AfterConstruction()
{
    TcxContainer::AfterConstruction();
    if (isInplace_)
        return;
    properties_->SetIDefaultValuesProvider(dataBinding_->IDefaultValuesProvider());
    dataBinding_->UpdateNotConnectedDBEditDisplayValue();
    PropertiesChanged(properties_.get());
    dataBinding_->UpdateDisplayValue();
}

void TcxCustomEdit::BeforeDestruction()
{
    destroying_ = true;
    TcxContainer::BeforeDestruction();
}

void TcxCustomEdit::Destroy()
{
    destroying_ = true;
    if (dblClickTimer_)
        dblClickTimer_->SetEnabled(false);
    if (innerEdit_)
        innerEdit_->SetOnChange({});
    UnlockInnerEditRepainting();
    if (repositoryItem_) {
        repositoryItem_->RemoveListener(listener_.get());
        RemoveFreeNotification(repositoryItem_);
        repositoryItem_ = nullptr;
    }
    listener_.reset();
    if (properties_) {
        properties_->ChangeNotification.Clear();
        if (!isInplace_)
            properties_->ForgetIDefaultValuesProvider();
    }
    dataBinding_.reset();
    properties_.reset();
    catcher_.reset();
    TcxContainer::Destroy();
}

void TcxCustomEdit::Loaded()
{
    TcxContainer::Loaded();
    LockChangeEvents(true);
    LockClick(true);
    quelvo::sys::ScopeGuard unlock([this] {
        LockClick(false);
        LockChangeEvents(false);
    });
    dataBinding_->UpdateNotConnectedDBEditDisplayValue();
    ShortRefreshContainer(false);
    if (!repositoryItem_)
        properties_->ChangeNotification = TNotifyEvent::Bind(this, &TcxCustomEdit::PropertiesChanged);
    PropertiesChanged(ActiveProperties());
}

void TcxCustomEdit::ReadState(TReader& reader)
{
    properties_->ChangeNotification.Clear();
    TcxContainer::ReadState(reader);
}

void TcxCustomEdit::SetName(const std::string& name)
{
    TcxContainer::SetName(name);
    dataBinding_->UpdateNotConnectedDBEditDisplayValue();
}

void TcxCustomEdit::Notification(TComponent* component, TOperation operation)
{
    TcxContainer::Notification(component, operation);
    if (operation == opRemove && component == repositoryItem_)
        SetRepositoryItem(nullptr);
}

// ---- properties and repository item ------------------------------------------------

TcxCustomEditProperties* TcxCustomEdit::InternalGetActiveProperties()
{
    if (!repositoryItem_)
        return properties_.get();
    TcxCustomEditProperties* properties = repositoryItem_->Properties();
    // An item is no control: its properties take the provider silently.
    properties->SetIDefaultValuesProvider(dataBinding_->IDefaultValuesProvider());
    return properties;
}

bool TcxCustomEdit::IsRepositoryItemAcceptable(TcxEditRepositoryItem* item)
{
    return !item || item->Properties()->InheritsFrom(GetPropertiesClass());
}

void TcxCustomEdit::AttachOwnProperties()
{
    if (IsLoadingOrDestroying())
        return;
    properties_->ChangeNotification = TNotifyEvent::Bind(this, &TcxCustomEdit::PropertiesChanged);
    properties_->SetIDefaultValuesProvider(dataBinding_->IDefaultValuesProvider());
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* value)
{
    if (value == repositoryItem_)
        return;
    if (!IsRepositoryItemAcceptable(value))
        throw Exception(cxGetResourceString(cxSEditInvalidRepositoryItem));
    RepositoryItemAssigning();
    if (repositoryItem_) {
        repositoryItem_->RemoveListener(listener_.get());
        RemoveFreeNotification(repositoryItem_);
    }
    repositoryItem_ = value;
    if (value) {
        value->AddListener(listener_.get());
        FreeNotification(value);
        properties_->ForgetIDefaultValuesProvider();
        listener_->PropertiesChanged(value);
        properties_->ChangeNotification.Clear();
    } else {
        AttachOwnProperties();
    }
    RepositoryItemAssigned();
}

// The item is going away: the editor falls back to its own properties,
// which must be heard again.
void TcxCustomEdit::RepositoryItemRemoved()
{
    if (repositoryItem_)
        RemoveFreeNotification(repositoryItem_);
    repositoryItem_ = nullptr;
    AttachOwnProperties();
    if (!IsLoadingOrDestroying())
        PropertiesChanged(properties_.get());
}

void TcxCustomEdit::SetDataBinding(TcxEditDataBinding* value)
{
    dataBinding_->GetEditDataBindingInstance();
    dataBinding_->Assign(value);
}

bool TcxCustomEdit::IsDBEdit()
{
    IcxEditDefaultValuesProvider* provider = dataBinding_->IDefaultValuesProvider();
    return provider && provider->IsDataStorage();
}

bool TcxCustomEdit::PropertiesChangeLocked() const
{
    return destroying_ || IsDestroying() || (GetInnerEditClass() && !innerEdit_);
}

void TcxCustomEdit::PropertiesChanged(TObject*)
{
    validated_ = false;
    if (PropertiesChangeLocked())
        return;
    if (innerEdit_)
        InternalSetReadOnly(ActiveProperties()->GetReadOnly() || !dataBinding_->GetIsDataAvailable());
    ShortRefreshContainer(false);
}

void TcxCustomEdit::InternalSetReadOnly(bool value)
{
    if (innerEdit_)
        innerEdit_->SetReadOnly(value);
}

bool TcxCustomEdit::IsDBEditPaintCopyDrawing()
{
    return IsDBEdit() && ControlState().Contains(csPaintCopy);
}

// ---- values ------------------------------------------------------------------------

void TcxCustomEdit::LockEditValueChanging(bool lock)
{
    if (lock)
        ++editValueChangingLock_;
    else if (editValueChangingLock_ > 0)
        --editValueChangingLock_;
}

bool TcxCustomEdit::CanModify()
{
    TcxCustomEditProperties* properties = ActiveProperties();
    if (isInplace_)
        return properties->CanModify();
    if (properties->IsReadOnlyStored())
        return !properties->ReadOnly();
    IcxEditDefaultValuesProvider* provider = dataBinding_->IDefaultValuesProvider();
    return (!provider || provider->DefaultCanModify()) && dataBinding_->CanSetEditMode();
}

bool TcxCustomEdit::DoEditing()
{
    if (!InternalDoEditing())
        return false;
    if (dataBinding_->GetModified())
        return true;
    insideEditing_ = true;
    LockEditValueChanging(true);
    quelvo::sys::ScopeGuard release([this] {
        LockEditValueChanging(false);
        insideEditing_ = false;
    });
    bool result = CanModify();
    if (result && OnEditing)
        OnEditing(this, result);
    if (result && !isInplace_)
        result = dataBinding_->SetEditMode();
    return result;
}

void TcxCustomEdit::SetEditValue(const Variant& value)
{
    if (editValueChangingLock_ > 0)
        return;
    LockClick(true);
    quelvo::sys::ScopeGuard unlock([this] { LockClick(false); });
    if (userChange_ && !DoEditing())
        return;
    InternalSetEditValue(value, true);
}

void TcxCustomEdit::LockClick(bool lock)
{
    if (lock)
        ++clickLock_;
    else if (clickLock_ > 0)
        --clickLock_;
}

void TcxCustomEdit::EnableValidate()
{
    if (validateDisableCount_ > 0)
        --validateDisableCount_;
}

bool TcxCustomEdit::IsValidChar(char key)
{
    IcxEditDefaultValuesProvider* provider = dataBinding_->IDefaultValuesProvider();
    return !provider || provider->IsValidChar(key);
}

void TcxCustomEdit::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool editFocused)
{
    ActiveProperties()->PrepareDisplayValue(editValue, displayValue, editFocused);
}

void TcxCustomEdit::ChangeHandler(TObject*)
{
    if (InternalFocused())
        SetModifiedAfterEnter(true);
    DoChange();
}

void TcxCustomEdit::DoClick()
{
    SetModifiedAfterEnter(true);
    if (!IsClickLocked())
        Click();
}

void TcxCustomEdit::SetInternalEditValue(const Variant& value)
{
    if (editValueChangingLock_ > 0)
        return;
    if (userChange_ && !DoEditing())
        return;
    InternalSetEditValue(value, true);
}

void TcxCustomEdit::InternalSetEditValue(const Variant& value, bool)
{
    if (userChange_ && !DoEditing())
        return;
    TcxCustomEditProperties* properties = ActiveProperties();
    bool changed = properties->CompareEditValue() && !InternalVarEqualsExact(editValue_, value);
    editValue_ = value;
    SynchronizeDisplayValue();
    if (userChange_)
        SetModifiedAfterEnter(true);
    else
        SetModified(false);
    if (!changed)
        return;
    DoEditValueChanged();
    if (!properties->HasDisplayValue())
        DoChange();
}

void TcxCustomEdit::ResetEditValue()
{
    if (!modifiedAfterEnter_ || !ActiveProperties()->IsResetEditClass())
        return;
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    modifiedAfterEnter_ = false;
    SetInternalEditValue(IsDBEdit() ? dataBinding_->GetStoredValue() : valueAtEntry_);
    SetModified(true);
    SelectAll();
    if (ActiveProperties()->ImmediatePost() && CanPostEditValue())
        InternalPostEditValue(false);
}

void TcxCustomEdit::SetModified(bool value)
{
    modified_ = value;
    if (!value)
        modifiedAfterEnter_ = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool value)
{
    modifiedAfterEnter_ = value;
    if (value) {
        modified_ = true;
        validated_ = false;
    }
}

void TcxCustomEdit::RestoreModified()
{
    if (savedModified_.empty())
        return;
    std::tie(modified_, modifiedAfterEnter_) = savedModified_.back();
    savedModified_.pop_back();
}

// ---- change events -----------------------------------------------------------------

bool TcxCustomEdit::IsOnChangeEventAssigned()
{
    return properties_->OnChange || ActiveProperties()->OnChange;
}

bool TcxCustomEdit::IsOnEditValueChangedEventAssigned()
{
    return properties_->OnEditValueChanged || ActiveProperties()->OnEditValueChanged;
}

bool TcxCustomEdit::IsOnValidateEventAssigned()
{
    return properties_->OnValidate || ActiveProperties()->OnValidate;
}

// In place the handlers see the editor modified; the flags come back after.
template <class Fire>
void TcxCustomEdit::FireInplaceGuarded(Fire&& fire)
{
    if (!isInplace_) {
        fire();
        return;
    }
    SaveModified();
    quelvo::sys::ScopeGuard restore([this] { RestoreModified(); });
    modified_ = modifiedAfterEnter_ = true;
    fire();
}

void TcxCustomEdit::DoChange()
{
    if (IsLoadingOrDestroying())
        return;
    if (IsOnChangeEventAssigned()) {
        if (AreChangeEventsLocked())
            catcher_->OnChangeEvent = true;
        else
            FireInplaceGuarded([this] { DoOnChange(); });
    }
    TcxCustomEditProperties* properties = ActiveProperties();
    if (!properties->HasDisplayValue() && !properties->CompareEditValue())
        DoEditValueChanged();
}

void TcxCustomEdit::DoEditValueChanged()
{
    if (IsLoadingOrDestroying() || !IsOnEditValueChangedEventAssigned())
        return;
    if (AreChangeEventsLocked())
        catcher_->OnEditValueChangedEvent = true;
    else
        FireInplaceGuarded([this] { DoOnEditValueChanged(); });
}

void TcxCustomEdit::DoOnChange()
{
    if (properties_->OnChange)
        properties_->OnChange(this);
    if (repositoryItem_ && ActiveProperties()->OnChange)
        ActiveProperties()->OnChange(this);
}

void TcxCustomEdit::DoOnEditValueChanged()
{
    if (properties_->OnEditValueChanged)
        properties_->OnEditValueChanged(this);
    if (repositoryItem_ && ActiveProperties()->OnEditValueChanged)
        ActiveProperties()->OnEditValueChanged(this);
}

void TcxCustomEdit::DoOnValidate(Variant& displayValue, std::string& errorText, bool& error)
{
    if (properties_->OnValidate)
        properties_->OnValidate(this, displayValue, errorText, error);
    if (repositoryItem_ && ActiveProperties()->OnValidate)
        ActiveProperties()->OnValidate(this, displayValue, errorText, error);
}

// ---- in-place activation -----------------------------------------------------------

void TcxCustomEdit::Activate(TcxCustomEditData*& editData)
{
    if (!editData && GetEditDataClass())
        editData = CreateInstance<TcxCustomEditData>(GetEditDataClass(), this);
    editData_ = editData;
    if (editData_)
        DoClearEditData(editData_);
    SetVisible(true);
    if (HandleAllocated() && CanFocus()) {
        SetFocus();
        if (ActiveProperties()->AutoSelect())
            SelectAll();
    }
    SynchronizeDisplayValue();
    SetModified(false);
}

void TcxCustomEdit::DoClearEditData(TcxCustomEditData* editData)
{
    if (editData != editData_ || !editData->Cleared())
        return;
    InitializeEditData();
    editData->SetCleared(false);
}

// ---- validation --------------------------------------------------------------------

bool TcxCustomEdit::ValidateEdit(bool raiseError)
{
    if (!modifiedAfterEnter_ || validated_ || validateDisableCount_ != 0)
        return true;
    Variant displayValue(GetDisplayValue());
    std::string errorText;
    bool error = false;
    TcxCustomEditProperties* properties = ActiveProperties();
    if (properties->CanValidate())
        properties->ValidateDisplayValue(displayValue, errorText, error, this);
    if (!error) {
        if (!userChange_ || DoEditing())
            InternalValidateDisplayValue(displayValue);
        if (!isInplace_ && !InternalFocused())
            modifiedAfterEnter_ = false;
        validated_ = true;
        return true;
    }
    const std::string validatedText = VarToStr(displayValue);
    // The text validation produced comes back whether or not an error is raised.
    quelvo::sys::ScopeGuard restore([this, validatedText] { RestoreDisplayAfterError(validatedText); });
    if (raiseError) {
        HandleValidationError(errorText);
        Application->ProcessMessages();
    }
    return false;
}

void TcxCustomEdit::RestoreDisplayAfterError(const std::string& displayValue)
{
    if (destroying_ || GetDisplayValue() == displayValue)
        return;
    SetInternalDisplayValue(Variant(displayValue));
    if (!Visible())
        return;
    SelectAll();
    if (!IsEditClass())
        UpdateDrawValue();
}

void TcxCustomEdit::InternalValidateDisplayValue(const Variant& displayValue)
{
    SaveModified();
    quelvo::sys::ScopeGuard restore([this] { RestoreModified(); });
    InternalSetDisplayValue(displayValue);
}

void TcxCustomEdit::HandleValidationError(const std::string& errorText)
{
    if (!InternalFocused() && Visible() && CanFocus()) {
        errorHandling_ = true;
        quelvo::sys::ScopeGuard done([this] { errorHandling_ = false; });
        if (innerEdit_ && innerEdit_->GetControl()->CanFocus())
            innerEdit_->GetControl()->SetFocus();
        else
            SetFocus();
    }
    if (Visible())
        SelectAll();
    if (ActiveProperties()->BeepOnError())
        MessageBeep(0);
    if (!errorText.empty())
        throw Exception(errorText);
}

void TcxCustomEdit::PostValidationError(const std::string& text)
{
    const WPARAM serial = nextErrorSerial_++;
    pendingErrors_[serial] = text;
    if (HandleAllocated())
        PostMessageA(Handle(), CM_EDITVALIDATIONERROR, serial, 0);
}

// Only a text this editor posted itself is raised; any other number is a
// stray message and changes nothing.
void TcxCustomEdit::CMEditValidationError(TMessage& m)
{
    auto pending = pendingErrors_.find(m.WParam);
    if (pending == pendingErrors_.end())
        return;
    std::string text = std::move(pending->second);
    pendingErrors_.erase(pending);
    throw Exception(text);
}

// ---- posting -----------------------------------------------------------------------

bool TcxCustomEdit::CanPostEditValue() { return dataBinding_->GetModified() && !IsDesigning(); }

void TcxCustomEdit::PostEditValue()
{
    if (CanPostEditValue()) {
        InternalPostEditValue(true);
        return;
    }
    if (!InternalFocused() || !DoEditing())
        return;
    SetModifiedAfterEnter(true);
    validated_ = true;
    quelvo::sys::ScopeGuard done([this] { modifiedAfterEnter_ = false; });
    InternalPostEditValue(false);
}

void TcxCustomEdit::InternalPostEditValue(bool validateEdit)
{
    if (validateEdit) {
        const bool userChange = userChange_;
        userChange_ = false;
        quelvo::sys::ScopeGuard restore([this, userChange] { userChange_ = userChange; });
        if (!ValidateEdit(true))
            return;
    }
    BeforePosting();
    try {
        quelvo::sys::ScopeGuard after([this] { AfterPosting(); });
        if (isInplace_) {
            DoPostEditValue();
            SetModified(false);
        } else {
            dataBinding_->SetStoredValue(GetEditValue());
        }
    } catch (...) {
        if (isInplace_)
            return;  // the list control has reported it already
        PostingFailed();
        throw;
    }
}

void TcxCustomEdit::PostingFailed() { HandleValidationError({}); }

// ---- keys --------------------------------------------------------------------------

bool TcxCustomEdit::IsEditorKey(WORD key, TShiftState shift)
{
    return ViewInfo()->ButtonCount() > 0 && ShortCut(key, shift) == ActiveProperties()->ClickKey();
}

void TcxCustomEdit::KeyDown(WORD& key, TShiftState shift)
{
    escapeHandled_ = false;
    if (!IsEditorKey(key, shift))
        TcxContainer::KeyDown(key, shift);
    if (key != 0)
        DoEditKeyDown(key, shift);
}

void TcxCustomEdit::KeyPress(char& key)
{
    if (key == '\x1B' && escapeHandled_) {
        escapeHandled_ = false;
        key = 0;
        return;
    }
    TcxContainer::KeyPress(key);
    if (key != 0)
        DoEditKeyPress(key);
}

void TcxCustomEdit::KeyUp(WORD& key, TShiftState shift)
{
    TcxContainer::KeyUp(key, shift);
    if (key != 0)
        DoEditKeyUp(key, shift);
}

void TcxCustomEdit::ValidateKeyPress(char& key)
{
    bool valid = static_cast<unsigned char>(key) < 32 || IsValidChar(key);
    if (valid && !dataBinding_->GetModified() && CanKeyPressModifyEdit(key))
        valid = DoEditing();
    if (!valid)
        key = 0;
}

bool TcxCustomEdit::ValidateKeyDown(WORD& key, TShiftState shift)
{
    return dataBinding_->GetModified() || !CanKeyDownModifyEdit(key, shift) || DoEditing();
}

void TcxCustomEdit::DoAfterKeyDown(WORD& key, TShiftState shift) { OnAfterKeyDown(this, key, shift); }

void TcxCustomEdit::DoEditKeyDown(WORD& key, TShiftState shift)
{
    TcxCustomEditProperties* properties = ActiveProperties();
    const TShortCut shortCut = ShortCut(key, shift);
    if (properties->ClearKey() != 0 && shortCut == properties->ClearKey())
        ClearKeyPressed(key);
    if (key != 0 && ViewInfo()->ButtonCount() > 0 && shortCut == properties->ClickKey())
        ClickKeyPressed(key);
    if (key == 0)
        return;
    if (!ValidateKeyDown(key, shift)) {
        DoAfterKeyDown(key, shift);
        key = 0;
        return;
    }
    switch (key) {
    case VK_TAB: TabPressed(key, shift); break;
    case VK_RETURN:
        if (properties->ValidateOnEnter())
            EnterPressed(key);
        break;
    case VK_ESCAPE:
        if (modifiedAfterEnter_) {
            ResetEditValue();
            escapeHandled_ = true;
            key = 0;
        }
        break;
    default: break;
    }
    if (key == 0 || WantNavigationKeys() || key < VK_PRIOR || key > VK_DOWN)
        return;
    DoAfterKeyDown(key, shift);
    key = 0;
}

void TcxCustomEdit::ClearKeyPressed(WORD& key)
{
    const bool userChange = userChange_;
    userChange_ = true;
    quelvo::sys::ScopeGuard restore([this, userChange] { userChange_ = userChange; });
    SetInternalEditValue(Variant::Null());
    validated_ = true;
    key = 0;
}

void TcxCustomEdit::ClickKeyPressed(WORD& key)
{
    RemovePendingChar();
    DefaultButtonClick();
    key = 0;
}

// The character the click key's key-down produced must not reach the text.
void TcxCustomEdit::RemovePendingChar()
{
    HWND windows[] = {HandleAllocated() ? Handle() : nullptr,
                      innerEdit_ && innerEdit_->GetControl()->HandleAllocated() ? innerEdit_->GetControl()->Handle()
                                                                              : nullptr};
    for (HWND wnd : windows) {
        MSG msg{};
        if (!wnd || !PeekMessageA(&msg, wnd, WM_CHAR, WM_CHAR, PM_REMOVE))
            continue;
        if (msg.message == WM_QUIT)
            PostQuitMessage(static_cast<int>(msg.wParam));
        return;
    }
}

void TcxCustomEdit::TabPressed(WORD& key, TShiftState shift)
{
    if (!InternalFocused() || shift.Contains(ssCtrl) || shift.Contains(ssAlt) || ActiveProperties()->TabsNeed())
        return;
    DoEditProcessTab(shift);
    DoAfterKeyDown(key, shift);
    if (key == 0)
        return;
    key = 0;
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return;
    form->SelectNext(form->ActiveControl(), !shift.Contains(ssShift), true);
    if (HandleAllocated() && GetFocus() == Handle() && innerEdit_)
        innerEdit_->SafelySetFocus();
}

void TcxCustomEdit::EnterPressed(WORD& key)
{
    key = 0;
    LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    if (ValidateEdit(true) && CanPostEditValue())
        InternalPostEditValue(false);
}

// ---- buttons -----------------------------------------------------------------------

int TcxCustomEdit::ButtonVisibleIndexAt(POINT p)
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    for (int i = 0; i < viewInfo->ButtonCount(); ++i)
        if (PtInRect(&viewInfo->ButtonsInfo[static_cast<size_t>(i)]->Bounds, p))
            return i;
    return -1;
}

void TcxCustomEdit::DoButtonClick(int buttonVisibleIndex)
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    if (buttonVisibleIndex < 0 || buttonVisibleIndex >= viewInfo->ButtonCount())
        return;
    const int index = viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)]->ButtonIndex;
    if (properties_->OnButtonClick)
        properties_->OnButtonClick(this, index);
    if (repositoryItem_ && ActiveProperties()->OnButtonClick)
        ActiveProperties()->OnButtonClick(this, index);
}

void TcxCustomEdit::DefaultButtonClick()
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        if (viewInfo->ButtonsInfo[static_cast<size_t>(i)]->Data.Default) {
            DoButtonClick(i);
            return;
        }
    }
}

bool TcxCustomEdit::CheckButtonShortCuts(char key)
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        const int index = viewInfo->ButtonsInfo[static_cast<size_t>(i)]->ButtonIndex;
        TcxEditButton* button = ActiveProperties()->Buttons()->Items(index);
        if (button->Visible() && button->Enabled() &&
            IsAccel(static_cast<unsigned char>(key), button->Caption())) {
            DoButtonClick(i);
            return true;
        }
    }
    return false;
}

void TcxCustomEdit::CMDialogChar(TMessage& m)
{
    if (CheckButtonShortCuts(static_cast<char>(m.WParam)))
        m.Result = 1;
    else
        TcxContainer::Dispatch(m);
}

// ---- mouse -------------------------------------------------------------------------

void TcxCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft && dblClickTimer_->Enabled()) {
        dblClickTimer_->SetEnabled(false);
        if (ButtonVisibleIndexAt(POINT{x, y}) == -1)
            DblClick();
    }
    TcxContainer::MouseDown(button, shift, x, y);
    if (button != mbLeft || !HandleAllocated() || GetCapture() != Handle())
        return;
    const int index = ButtonVisibleIndexAt(POINT{x, y});
    if (index != -1 && ViewInfo()->ButtonsInfo[static_cast<size_t>(index)]->Data.State == ebsPressed)
        capturedButtonIndex_ = index;
}

void TcxCustomEdit::DblClick()
{
    const POINT p = ScreenToClient(InternalGetCursorPos());
    if (ButtonVisibleIndexAt(p) == -1) {
        TcxContainer::DblClick();
        return;
    }
    // A double click on a button is one more press of it.
    MouseDown(mbLeft, InternalGetShiftState() + TShiftState{ssLeft}, p.x, p.y);
    Click();
}

void TcxCustomEdit::Click()
{
    if (destroying_ || IsDestroying() || IsClickLocked() || (IsLoading() && !IsClickEnabledDuringLoading()))
        return;
    TcxContainer::Click();
}

void TcxCustomEdit::MouseLeave(TControl* control)
{
    TcxContainer::MouseLeave(control);
    if (destroying_)
        return;
    for (auto& button : ViewInfo()->ButtonsInfo) {
        if (button->Data.State != ebsSelected)
            continue;
        button->Data.State = ebsNormal;
        if (HandleAllocated())
            InternalInvalidateRect(this, button->Bounds, false);
    }
}

void TcxCustomEdit::ProcessViewInfoChanges(TcxCustomEditViewInfo* prevViewInfo, bool)
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    if (prevViewInfo->PressedButton == viewInfo->PressedButton &&
        prevViewInfo->SelectedButton == viewInfo->SelectedButton)
        return;
    const int pressed = prevViewInfo->PressedButton;
    if (pressed != -1) {
        DoButtonUp(pressed);
        if (pressed == viewInfo->SelectedButton)
            DoButtonClick(pressed);
    } else if (viewInfo->PressedButton != -1) {
        DoButtonDown(viewInfo->PressedButton);
    }
}

bool TcxCustomEdit::HandleMouseWheel(TShiftState shift)
{
    return !isInplace_ || ActiveProperties()->AllowMouseWheel() || shift.Contains(ssCtrl);
}

void TcxCustomEdit::DblClickTimerHandler(TObject*) { dblClickTimer_->SetEnabled(false); }

bool TcxCustomEdit::IsDblClickTimerRunning() const { return dblClickTimer_ && dblClickTimer_->Enabled(); }

// ---- in-place activation -----------------------------------------------------------

void TcxCustomEdit::ActivateByKey(char key, TcxCustomEditData*& editData)
{
    LockInnerEditRepainting();
    quelvo::sys::ScopeGuard unlock([this] { UnlockInnerEditRepainting(); });
    Activate(editData);
    if (SendActivationKey(key) && HandleAllocated())
        SendMessageA(Handle(), WM_CHAR, static_cast<unsigned char>(key), 0);
}

void TcxCustomEdit::ActivateByMouse(TShiftState shift, int x, int y, TcxCustomEditData*& editData)
{
    Activate(editData);
    if (HandleAllocated()) {
        POINT p{x, y};
        if (Parent())
            p = ScreenToClient(Parent()->ClientToScreen(p));
        const LPARAM where = MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
        if (shift.Contains(ssLeft)) {
            SendMessageA(Handle(), WM_LBUTTONDOWN, ShiftStateToKeys(shift), where);
            if (GetCapture() == Handle() && GetKeyState(VK_LBUTTON) >= 0)
                ReleaseCapture();
        } else {
            SendMessageA(Handle(), WM_LBUTTONUP, ShiftStateToKeys(shift), where);
        }
    }
    dblClickTimer_->SetEnabled(true);
}

bool TcxCustomEdit::Deactivate()
{
    if (!ValidateEdit(true))
        return false;
    SynchronizeDisplayValue();
    validated_ = true;
    return true;
}

void TcxCustomEdit::GetTabOrderList(std::vector<TWinControl*>& list)
{
    TcxContainer::GetTabOrderList(list);
    if (isInplace_ && Visible())
        std::erase(list, Parent());
}

namespace {

// The editors whose inner edit paints through LockedInnerEditWindowProc.
std::map<HWND, TcxCustomEdit*>& LockedInnerEdits()
{
    static std::map<HWND, TcxCustomEdit*> edits;
    return edits;
}

}  // namespace

// Reaches the protected hook from the window procedure that replaces the
// inner edit's while repainting is locked.
struct TcxCustomEditAccess {
    static LRESULT LockedProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto found = LockedInnerEdits().find(wnd);
        if (found == LockedInnerEdits().end())
            return DefWindowProcA(wnd, msg, wParam, lParam);
        return found->second->LockedInnerEditWindowProc(wnd, msg, wParam, lParam);
    }
};

void TcxCustomEdit::LockInnerEditRepainting()
{
    if (!innerEdit_ || savedInnerEditProc_ || !innerEdit_->GetControl()->HandleAllocated())
        return;
    HWND wnd = innerEdit_->GetControl()->Handle();
    LockedInnerEdits()[wnd] = this;
    savedInnerEditProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TcxCustomEditAccess::LockedProc)));
}

void TcxCustomEdit::UnlockInnerEditRepainting()
{
    if (!savedInnerEditProc_)
        return;
    for (auto it = LockedInnerEdits().begin(); it != LockedInnerEdits().end();) {
        if (it->second != this) {
            ++it;
            continue;
        }
        if (IsWindow(it->first))
            SetWindowLongPtrA(it->first, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(savedInnerEditProc_));
        it = LockedInnerEdits().erase(it);
    }
    savedInnerEditProc_ = nullptr;
}

LRESULT TcxCustomEdit::LockedInnerEditWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(savedInnerEditProc_, wnd, msg, wParam, lParam);
}

// ---- focus -------------------------------------------------------------------------

void TcxCustomEdit::DoEnter()
{
    if (destroying_)
        return;
    if (!errorHandling_) {
        SaveModified();
        quelvo::sys::ScopeGuard restore([this] {
            RestoreModified();
            modifiedAfterEnter_ = false;
        });
        TcxContainer::DoEnter();
        if (UpdateContentOnFocusChanging())
            dataBinding_->UpdateDisplayValue();
        if (ActiveProperties()->IsResetEditClass())
            valueAtEntry_ = GetEditValue();
        if (UpdateContentOnFocusChanging())
            SynchronizeDisplayValue();
    }
    ShortRefreshContainer(false);
}

void TcxCustomEdit::DoExit()
{
    const bool userChange = userChange_;
    userChange_ = false;
    quelvo::sys::ScopeGuard restore([this, userChange] { userChange_ = userChange; });
    DoHideEdit(true);
}

void TcxCustomEdit::DoHideEdit(bool exit)
{
    if (destroying_ || errorHandling_)
        return;
    SaveModified();
    bool restored = false;
    quelvo::sys::ScopeGuard restore([this, &restored] {
        if (!restored)
            RestoreModified();
    });
    if (modifiedAfterEnter_) {
        LockChangeEvents(true);
        quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
        if (!ValidateEdit(true))
            return;
        if (!isInplace_ && CanPostEditValue())
            InternalPostEditValue(false);
    }
    if (UpdateContentOnFocusChanging())
        dataBinding_->UpdateDisplayValue();
    UpdateDrawValue();
    ShortRefreshContainer(false);
    restored = true;
    RestoreModified();
    if (exit)
        TcxContainer::DoExit();
    modifiedAfterEnter_ = false;
}

void TcxCustomEdit::FocusChanged()
{
    if (destroying_ || IsDestroying() || errorHandling_)
        return;
    const bool focused = InternalFocused() && Application->Active();
    if (focused != lastFocused_) {
        lastFocused_ = focused;
        TcxContainer::FocusChanged();
        UpdateDrawValue();
    }
    if (IsModalFormClosing())
        ValidateEdit(false);
}

bool TcxCustomEdit::IsModalFormClosing()
{
    TCustomForm* form = GetParentForm(this);
    return form && !form->Visible() && form->FormState().Contains(fsModal) && form->ModalResult() != mrNone &&
           form->ModalResult() != mrCancel;
}

bool TcxCustomEdit::IsActiveControl()
{
    if (Focused())
        return true;
    TCustomForm* form = GetParentForm(this);
    if (!form)
        return false;
    TWinControl* active = form->ActiveControl();
    return active == this || (innerEdit_ && active == innerEdit_->GetControl());
}

void TcxCustomEdit::CreateHandle()
{
    TcxContainer::CreateHandle();
    if (innerEdit_ && Focused())
        innerEdit_->SafelySetFocus();
}

void TcxCustomEdit::SafeSelectionFocusInnerControl()
{
    if (innerEdit_)
        innerEdit_->SafelySetFocus();
}

// ---- refresh and size --------------------------------------------------------------

TcxCustomEditViewInfo* TcxCustomEdit::ViewInfo() const
{
    return static_cast<TcxCustomEditViewInfo*>(TcxContainer::ViewInfo());
}

bool TcxCustomEdit::IsNativeStyle()
{
    ObjectPtr<TcxCustomEditViewData> viewData(ActiveProperties()->CreateViewData(Style(), isInplace_));
    return viewData->IsNativeStyle(Style()->LookAndFeel());
}

TcxCustomEditViewData* TcxCustomEdit::CreateViewData()
{
    auto* style = static_cast<TcxCustomEditStyle*>(GetActiveStyle());
    TcxCustomEditViewData* viewData = ActiveProperties()->CreateViewData(style, isInplace_);
    if (!PropertiesChangeLocked())
        viewData->Edit = this;
    if (HandleAllocated())
        viewData->WindowHandle = Handle();
    return viewData;
}

void TcxCustomEdit::InitializeViewData(TcxCustomEditViewData* viewData)
{
    viewData->Enabled = Enabled();
    viewData->Focused = InternalFocused();
    viewData->InnerEdit = innerEdit_ ? innerEdit_->GetControl() : nullptr;
    viewData->IsDesigning = IsDesigning();
    viewData->EditData = editData_;
    viewData->CaptureButtonVisibleIndex = capturedButtonIndex_;
    viewData->IsMouseCaptured = HandleAllocated() && GetCapture() == Handle();
}

void TcxCustomEdit::CalculateViewInfo(POINT p, bool mouseTracking)
{
    CalculateViewInfo(p, cxmbNone, InternalGetShiftState(), mouseTracking);
}

void TcxCustomEdit::CalculateViewInfo(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData());
    InitializeViewData(viewData.get());
    viewData->Calculate(Canvas(), GetControlRect(this), p, button, shift, ViewInfo(), isMouseEvent);
}

bool TcxCustomEdit::RefreshContainer(POINT p, TcxMouseButton button, TShiftState shift, bool isMouseEvent)
{
    if (!HandleAllocated() || destroying_ || GetIsDestroying())
        return false;
    if (capturedButtonIndex_ != -1 && GetCapture() != Handle())
        capturedButtonIndex_ = -1;
    ObjectPtr<TcxCustomEditViewInfo> previous;
    if (isMouseEvent) {
        previous.reset(CreateInstance<TcxCustomEditViewInfo>(GetViewInfoClass()));
        previous->Assign(ViewInfo());
    }
    CalculateViewInfo(p, button, shift, isMouseEvent);
    const RECT innerEditRect =
        innerEdit_ && IsEditClass() ? innerEdit_->GetControl()->BoundsRect() : RECT{0, 0, 0, 0};
    const bool changed = ViewInfo()->Repaint(this, previous.get(), innerEditRect);
    if (previous && !changed)
        return false;
    sizing_ = true;
    {
        quelvo::sys::ScopeGuard sized([this] { sizing_ = false; });
        SetSize();
    }
    settingShadowRegion_ = true;
    {
        quelvo::sys::ScopeGuard set([this] { settingShadowRegion_ = false; });
        SetShadowRegion();
    }
    if (previous)
        ProcessViewInfoChanges(previous.get(), true);
    return true;
}

bool TcxCustomEdit::CanAutoWidth()
{
    return autoSize_ && ActiveProperties()->ButtonsViewStyle() == bvsButtonsAutoWidth && !isInplace_;
}

void TcxCustomEdit::FillSizeProperties(TcxEditSizeProperties& sizeProperties)
{
    sizeProperties.MaxLineCount = 1;
    sizeProperties.Width = Width();
}

SIZE TcxCustomEdit::ComputedEditSize()
{
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData());
    InitializeViewData(viewData.get());
    TcxEditSizeProperties sizeProperties;
    FillSizeProperties(sizeProperties);
    if (CanAutoWidth())
        sizeProperties.Width = -1;
    return viewData->GetEditSize(Canvas(), GetEditValue(), sizeProperties, sizing_ ? ViewInfo() : nullptr);
}

void TcxCustomEdit::SetSize()
{
    if (!HandleAllocated() || resizing_)
        return;
    if (autoSize_ && CanAutoSize()) {
        resizing_ = true;
        quelvo::sys::ScopeGuard done([this] { resizing_ = false; });
        const SIZE size = ComputedEditSize();
        const TAlign align = Align();
        const bool fixedWidth = align == alTop || align == alBottom || align == alClient || align == alCustom;
        const bool fixedHeight =
            !isInplace_ && (align == alLeft || align == alRight || align == alClient || align == alCustom);
        const int width = CanAutoWidth() && !fixedWidth ? static_cast<int>(size.cx) : Width();
        const int height = fixedHeight ? Height() : static_cast<int>(size.cy);
        if (width != Width() || height != Height())
            SetBounds(Left(), Top(), width, height);
    }
    if (innerEdit_)
        AdjustInnerEditPosition();
}

void TcxCustomEdit::AdjustInnerEditPosition() { TcxContainer::SetSize(); }

bool TcxCustomEdit::CanResize(int& width, int& height)
{
    if (!TcxContainer::CanResize(width, height))
        return false;
    const TAlign align = Align();
    const bool fixedHeight = align == alLeft || align == alRight || align == alClient || align == alCustom;
    if (autoSize_ && !IsLoading() && HandleAllocated() && !resizing_ && (isInplace_ || !fixedHeight))
        height = static_cast<int>(ComputedEditSize().cy);
    return true;
}

void TcxCustomEdit::SetEditAutoSize(bool value)
{
    if (isInplace_ || value == autoSize_)
        return;
    autoSize_ = value;
    if (!value)
        return;
    SetSize();
    ShortRefreshContainer(false);
}

RECT TcxCustomEdit::GetBorderExtent()
{
    const TcxCustomEditViewInfo* viewInfo = ViewInfo();
    const RECT& b = viewInfo->Bounds;
    const RECT& c = viewInfo->ClientRect;
    return RECT{c.left - b.left, c.top - b.top, b.right - c.right, b.bottom - c.bottom};
}

// The window's region follows the frame, not the text area: the buttons
// beside the text belong to the editor and must take clicks.
RECT TcxCustomEdit::GetShadowBounds()
{
    TcxCustomEditViewInfo* viewInfo = ViewInfo();
    RECT r = viewInfo->Bounds;
    ExtendRect(r, viewInfo->BorderExtent);
    const int w = GetContainerBorderWidth(viewInfo->GetContainerBorderStyle());
    InflateRect(&r, w, w);
    return InflateRectByBorders(r, w, GetActiveStyle()->Edges());
}

void TcxCustomEdit::RequestAlign()
{
    TcxContainer::RequestAlign();
    ShortRefreshContainer(false);
}

// ---- painting and messages ---------------------------------------------------------

void TcxCustomEdit::Paint()
{
    if (IsDBEditPaintCopyDrawing())
        PaintCopyDraw();
    else
        TcxContainer::Paint();
}

void TcxCustomEdit::PaintCopyDraw()
{
    ObjectPtr<TcxCustomEditViewInfo> viewInfo(CreateInstance<TcxCustomEditViewInfo>(GetViewInfoClass()));
    ObjectPtr<TcxCustomEditViewData> viewData(CreateViewData());
    InitializeViewData(viewData.get());
    viewData->EditValueToDrawValue(Canvas(), dataBinding_->GetStoredValue(), viewInfo.get());
    viewData->Calculate(Canvas(), GetControlRect(this), POINT{-1, -1}, cxmbNone, {}, viewInfo.get(), false);
    viewInfo->Paint(Canvas());
}

void TcxCustomEdit::CMShowingChanged(TMessage& m)
{
    TcxContainer::Dispatch(m);
    if (Showing())
        SetSize();
}

void TcxCustomEdit::WMCut()
{
    const bool userChange = userChange_;
    userChange_ = true;
    quelvo::sys::ScopeGuard restore([this, userChange] { userChange_ = userChange; });
    if (!ActiveProperties()->ReadOnly() && dataBinding_->GetIsDataAvailable())
        CutToClipboard();
    else
        CopyToClipboard();
}

void TcxCustomEdit::WMPaste()
{
    if (ActiveProperties()->ReadOnly() || !dataBinding_->GetIsDataAvailable())
        return;
    const bool userChange = userChange_;
    userChange_ = true;
    quelvo::sys::ScopeGuard restore([this, userChange] { userChange_ = userChange; });
    PasteFromClipboard();
}

void TcxCustomEdit::WndProc(TMessage& m)
{
    if (m.Msg == WM_NCCALCSIZE && settingShadowRegion_) {
        m.Result = 0;
        return;
    }
    TcxContainer::WndProc(m);
}

void TcxCustomEdit::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case CM_DIALOGCHAR: return CMDialogChar(m);
    case CM_EDITVALIDATIONERROR: return CMEditValidationError(m);
    case CM_SHOWINGCHANGED: return CMShowingChanged(m);
    case WM_COPY: return CopyToClipboard();
    case WM_CUT: return WMCut();
    case WM_PASTE: return WMPaste();
    default: return TcxContainer::Dispatch(m);
    }
}
