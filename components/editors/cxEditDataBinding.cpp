#include "components/editors/cxEditDataBinding.h"

#include "components/editors/cxEditControl.h"
#include "platform/hostlib/core/update_scope.h"

using namespace hostlib;

// ---- TcxEditDataBinding ------------------------------------------------------------

TClass TcxEditDataBinding::StaticClass() { return DefineClass<TcxEditDataBinding, TPersistent>("TcxEditDataBinding"); }

void TcxEditDataBinding::Construct(TcxCustomEdit* edit)
{
    edit_ = edit;
    provider_.reset(CreateInstance<TcxCustomEditDefaultValuesProvider>(GetDefaultValuesProviderClass(), edit));
}

void TcxEditDataBinding::Destroy()
{
    provider_.reset();
    TPersistent::Destroy();
}

TPersistent* TcxEditDataBinding::GetOwner() const { return edit_; }

TClass TcxEditDataBinding::GetDefaultValuesProviderClass() { return TcxCustomEditDefaultValuesProvider::StaticClass(); }

IcxEditDefaultValuesProvider* TcxEditDataBinding::GetIDefaultValuesProvider() const { return provider_.get(); }

bool TcxEditDataBinding::CanCheckEditorValue() { return edit_->IsDesigning(); }

void TcxEditDataBinding::DefaultValuesChanged()
{
    TcxCustomEditProperties* properties = edit_->ActiveProperties();
    if (!edit_->RepositoryItem()) {
        properties->DefaultValuesChanged();
        return;
    }
    // Other editors sharing the item are left alone: only this one hears.
    properties->BeginUpdate();
    {
        quelvo::sys::ScopeGuard endUpdate([properties] { properties->EndUpdate(false); });
        properties->DefaultValuesChanged();
    }
    edit_->PropertiesChanged(properties);
}

bool TcxEditDataBinding::ExecuteAction(TComponent*) { return false; }
bool TcxEditDataBinding::UpdateAction(TComponent*) { return false; }

Variant TcxEditDataBinding::GetDisplayValue() { return Variant(edit_->GetDisplayValue()); }

bool TcxEditDataBinding::GetModified() { return edit_->ModifiedAfterEnter(); }

Variant TcxEditDataBinding::GetStoredValue() { return edit_->GetEditValue(); }

void TcxEditDataBinding::Reset() { edit_->ResetEditValue(); }

void TcxEditDataBinding::UpdateDisplayValue() { edit_->SynchronizeDisplayValue(); }

void TcxEditDataBinding::SetInternalDisplayValue(const Variant& value) { edit_->SetInternalDisplayValue(value); }

// ---- TcxCustomEditData -------------------------------------------------------------

TClass TcxCustomEditData::StaticClass() { return DefineClass<TcxCustomEditData, TObject>("TcxCustomEditData"); }

void TcxCustomEditData::Construct(TcxCustomEdit* edit)
{
    edit_ = edit;
    freeNotificator_.reset(CreateObject<TcxFreeNotificator>(nullptr));
    freeNotificator_->OnComponentFreed = TcxFreeNotificationEvent::Bind(this, &TcxCustomEditData::EditFreed);
    if (edit_)
        freeNotificator_->AddSender(edit_);
    Clear();
}

void TcxCustomEditData::Destroy()
{
    freeNotificator_.reset();
    TObject::Destroy();
}

void TcxCustomEditData::EditFreed(TComponent* sender)
{
    if (sender == edit_)
        edit_ = nullptr;
}

void TcxCustomEditData::Clear()
{
    cleared_ = true;
    if (edit_)
        edit_->DoClearEditData(this);
}
