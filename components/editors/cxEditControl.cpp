#include "components/editors/cxEditControl.h"

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/update_scope.h"

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
    dataBinding_.reset(CreateInstance<TcxEditDataBinding>(GetDataBindingClass(), this));
    editValue_ = Variant::Null();
    properties_->ChangeNotification = TNotifyEvent::Bind(this, &TcxCustomEdit::PropertiesChanged);
    if (isInplace_)
        SetKeys(Keys() + TcxKeys{kAll, kArrows, kTab});
    listener_ = std::make_unique<RepositoryListener>(this);
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
    quelvo::sys::ScopeGuard unlock([this] { LockChangeEvents(false); });
    dataBinding_->UpdateNotConnectedDBEditDisplayValue();
    if (!repositoryItem_)
        properties_->ChangeNotification = TNotifyEvent::Bind(this, &TcxCustomEdit::PropertiesChanged);
    PropertiesChanged(ActiveProperties());
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

bool TcxCustomEdit::PropertiesChangeLocked() const { return destroying_ || IsDestroying(); }

void TcxCustomEdit::PropertiesChanged(TObject*)
{
    validated_ = false;
    if (!PropertiesChangeLocked())
        ShortRefreshContainer(false);
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
    if (userChange_ && !DoEditing())
        return;
    InternalSetEditValue(value, true);
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
