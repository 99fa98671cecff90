#pragma once
// The editor control base: stand-alone on a form or the in-place editor of
// a list cell. It owns a properties object of its kind or uses those of a
// repository item, keeps the edit value, tells of changes (held back while
// change events are locked) and talks to its value's home through a data
// binding.

#include <memory>
#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditDataBinding.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxContainer.h"

class TcxCustomEdit;
class TcxEditRepositoryItem;

// Counts change-event locks and remembers what fired meanwhile.
class TcxEditChangeEventsCatcher : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxEditChangeEventsCatcher(TcxCustomEdit* edit) : edit_(edit) {}
    bool IsLocked() const { return lockCount_ > 0; }
    // The first lock forgets what was remembered; the last unlock with
    // invoke fires it.
    void Lock(bool lock, bool invokeChangedOnUnlock = true);
    bool OnChangeEvent = false;
    bool OnEditValueChangedEvent = false;

private:
    TcxCustomEdit* edit_;
    int lockCount_ = 0;
};

using TcxEditKeyEvent = hostlib::Event<hostlib::TObject*, WORD&, hostlib::TShiftState>;

class TcxCustomEdit : public TcxContainer {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    // The in-place constructor.
    virtual void Construct(bool isInplace, hostlib::TComponent* owner);
    void AfterConstruction() override;
    void BeforeDestruction() override;

    // Class factories.
    virtual hostlib::TClass GetPropertiesClass() const;
    virtual hostlib::TClass GetDataBindingClass() const;
    virtual hostlib::TClass GetEditDataClass() const { return nullptr; }

    bool IsInplace() const override { return isInplace_; }
    // The styles of the active properties' kind.
    TcxContainerStyleClass GetStyleClass() const override;
    TcxContainerStyleClass GetStyleExClass() const override;
    TcxContainerViewInfoClass GetViewInfoClass() const override;
    // A plain editor stores none of the button and popup values.
    TcxContainerStyleValues GetNotPublishedStyleValues() const override;
    TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(TcxContainer::Style()); }
    void SetStyle(TcxEditStyle* value) { TcxContainer::SetStyle(value); }
    TcxEditStyleEx* StyleFocused() const { return static_cast<TcxEditStyleEx*>(TcxContainer::StyleFocused()); }
    void SetStyleFocused(TcxEditStyleEx* value) { TcxContainer::SetStyleFocused(value); }
    TcxEditStyleEx* StyleDisabled() const { return static_cast<TcxEditStyleEx*>(TcxContainer::StyleDisabled()); }
    void SetStyleDisabled(TcxEditStyleEx* value) { TcxContainer::SetStyleDisabled(value); }
    TcxEditStyleEx* StyleHot() const { return static_cast<TcxEditStyleEx*>(TcxContainer::StyleHot()); }
    void SetStyleHot(TcxEditStyleEx* value) { TcxContainer::SetStyleHot(value); }
    TcxCustomEditProperties* Properties() const { return properties_.get(); }
    void SetProperties(TcxCustomEditProperties* value) { properties_->Assign(value); }
    // The repository item's properties (given this editor's provider), else
    // the own ones.
    TcxCustomEditProperties* ActiveProperties() { return InternalGetActiveProperties(); }
    TcxCustomEditProperties* GetActiveProperties() { return InternalGetActiveProperties(); }
    TcxCustomEditProperties* InternalGetActiveProperties();
    TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
    // Raises Exception "The repository item is not acceptable" for an item
    // of another kind; the editor keeps its item then.
    void SetRepositoryItem(TcxEditRepositoryItem* value);
    TcxEditDataBinding* DataBinding() const { return dataBinding_.get(); }
    void SetDataBinding(TcxEditDataBinding* value);
    // The provider says a data set stands behind the editor.
    bool IsDBEdit();

    hostlib::Variant EditValue() { return GetEditValue(); }
    void SetEditValueProperty(const hostlib::Variant& value) { SetEditValue(value); }
    virtual hostlib::Variant GetEditValue() { return editValue_; }
    virtual void SetEditValue(const hostlib::Variant& value);
    void SetInternalEditValue(const hostlib::Variant& value);
    virtual void InternalSetEditValue(const hostlib::Variant& value, bool validateEditValue);
    void Clear() { SetEditValue(hostlib::Variant::Null()); }
    virtual std::string GetDisplayValue() { return {}; }
    virtual void SetInternalDisplayValue(const hostlib::Variant& value) { (void)value; }
    virtual void SynchronizeDisplayValue() {}
    virtual void ResetEditValue();
    virtual bool CanModify();
    virtual void SelectAll() {}

    bool Modified() const { return modified_; }
    void SetModified(bool value);
    bool ModifiedAfterEnter() const { return modifiedAfterEnter_; }
    void SetModifiedAfterEnter(bool value);
    void SaveModified() { savedModified_.emplace_back(modified_, modifiedAfterEnter_); }
    void RestoreModified();

    virtual void PropertiesChanged(hostlib::TObject* sender);
    bool PropertiesChangeLocked() const;

    void LockChangeEvents(bool lock, bool invokeChangedOnUnlock = true) { catcher_->Lock(lock, invokeChangedOnUnlock); }
    bool AreChangeEventsLocked() const { return catcher_->IsLocked(); }
    void LockEditValueChanging(bool lock);
    void DoChange();
    void DoEditValueChanged();
    virtual void DoOnChange();
    virtual void DoOnEditValueChanged();
    bool IsOnChangeEventAssigned();
    bool IsOnEditValueChangedEventAssigned();
    bool IsOnValidateEventAssigned();
    void DoOnValidate(hostlib::Variant& displayValue, std::string& errorText, bool& error);
    bool DoEditing();

    // Per-cell data of an in-place container.
    virtual void Activate(TcxCustomEditData*& editData);
    void DoClearEditData(TcxCustomEditData* editData);
    TcxCustomEditData* EditData() const { return editData_; }

    TcxEditEditingEvent OnEditing;
    TcxEditKeyEvent OnAfterKeyDown;
    hostlib::TNotifyEvent OnPostEditValue;
    hostlib::TNotifyEvent OnFocusChanged;

protected:
    void Destroy() override;
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;
    void Loaded() override;

    virtual bool IsRepositoryItemAcceptable(TcxEditRepositoryItem* item);
    virtual void RepositoryItemAssigning() {}
    virtual void RepositoryItemAssigned() {}
    virtual void InitializeEditData() {}
    virtual bool InternalDoEditing() { return true; }

private:
    // How the editor hears of its repository item.
    class RepositoryListener : public IcxEditRepositoryItemListener {
    public:
        explicit RepositoryListener(TcxCustomEdit* edit) : edit_(edit) {}
        void ItemRemoved(TcxEditRepositoryItem* item) override;
        void PropertiesChanged(TcxEditRepositoryItem* item) override;

    private:
        TcxCustomEdit* edit_;
    };
    friend class TcxEditChangeEventsCatcher;

    bool IsLoadingOrDestroying() const { return IsLoading() || IsDestroying() || destroying_; }
    void AttachOwnProperties();
    template <class Fire>
    void FireInplaceGuarded(Fire&& fire);
    void RepositoryItemRemoved();

    bool isInplace_ = false;
    bool destroying_ = false;
    hostlib::ObjectPtr<TcxCustomEditProperties> properties_;
    TcxEditRepositoryItem* repositoryItem_ = nullptr;
    std::unique_ptr<RepositoryListener> listener_;
    hostlib::ObjectPtr<TcxEditDataBinding> dataBinding_;
    hostlib::ObjectPtr<TcxEditChangeEventsCatcher> catcher_;
    hostlib::Variant editValue_;
    hostlib::Variant valueAtEntry_;
    bool modified_ = false;
    bool modifiedAfterEnter_ = false;
    std::vector<std::pair<bool, bool>> savedModified_;
    bool validated_ = false;
    bool userChange_ = false;
    bool insideEditing_ = false;
    int editValueChangingLock_ = 0;
    TcxCustomEditData* editData_ = nullptr;
};
using TcxCustomEditClass = hostlib::TClass;
