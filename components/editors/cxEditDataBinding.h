#pragma once
// Where an editor's value is kept: the plain binding of an editor that no
// data set stands behind (its own edit value, always data, always
// editable), which also owns the editor's default-values provider; and the
// per-cell data an in-place container keeps between activations of its
// shared editor.

#include <string>

#include "components/data/cxDataUtils.h"
#include "components/editors/cxEdit.h"

class TcxCustomEdit;

class TcxEditDataBinding : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomEdit* edit);
    hostlib::TPersistent* GetOwner() const override;

    virtual bool CanCheckEditorValue();
    virtual bool CanSetEditMode() { return true; }
    virtual void DefaultValuesChanged();
    virtual bool ExecuteAction(hostlib::TComponent* action);
    virtual hostlib::Variant GetDisplayValue();
    virtual bool GetIsDataAvailable() { return true; }
    virtual bool GetModified();
    virtual hostlib::Variant GetStoredValue();
    virtual void Reset();
    virtual void SetDisplayValue(const hostlib::Variant& value) { SetInternalDisplayValue(value); }
    virtual bool SetEditMode() { return true; }
    virtual void SetStoredValue(const hostlib::Variant& value) { (void)value; }
    virtual bool UpdateAction(hostlib::TComponent* action);
    virtual void UpdateDisplayValue();
    virtual hostlib::TClass GetDefaultValuesProviderClass();
    virtual void UpdateNotConnectedDBEditDisplayValue() {}

    void SetInternalDisplayValue(const hostlib::Variant& value);
    IcxEditDefaultValuesProvider* GetIDefaultValuesProvider() const;
    IcxEditDefaultValuesProvider* IDefaultValuesProvider() const { return GetIDefaultValuesProvider(); }
    // Data-set bindings answer the binding another one must be assigned from.
    hostlib::TObject* GetEditDataBindingInstance() { return nullptr; }
    TcxCustomEdit* Edit() const { return edit_; }

protected:
    void Destroy() override;

private:
    TcxCustomEdit* edit_ = nullptr;
    hostlib::ObjectPtr<TcxCustomEditDefaultValuesProvider> provider_;
};
using TcxEditDataBindingClass = hostlib::TClass;

class TcxCustomEditData : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomEdit* edit);
    // Marks the data cleared and, while the editor lives, has it start anew.
    void Clear();
    TcxCustomEdit* Edit() const { return edit_; }
    bool Cleared() const { return cleared_; }
    void SetCleared(bool value) { cleared_ = value; }

protected:
    void Destroy() override;

private:
    void EditFreed(hostlib::TComponent* sender);

    TcxCustomEdit* edit_ = nullptr;
    hostlib::ObjectPtr<TcxFreeNotificator> freeNotificator_;
    bool cleared_ = false;
};
using TcxCustomEditDataClass = hostlib::TClass;
