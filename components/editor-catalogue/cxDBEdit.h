#pragma once
// Data-aware editors: an editor kind whose value lives in one field of a
// data set. The binding reads the field when the record or field changes,
// puts the data set into edit state when the user starts a change, writes
// the value back when the data set collects the record, and gives the
// properties their defaults from the field.

#include <string>

#include "components/data/cxDB.h"
#include "components/editor-catalogue/cxBlobEdit.h"
#include "components/editor-catalogue/cxCalc.h"
#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editor-catalogue/cxCurrencyEdit.h"
#include "components/editor-catalogue/cxDateEdit.h"
#include "components/editor-catalogue/cxHyperLinkEdit.h"
#include "components/editor-catalogue/cxImage.h"
#include "components/editor-catalogue/cxImageComboBox.h"
#include "components/editor-catalogue/cxListBox.h"
#include "components/editor-catalogue/cxMRUEdit.h"
#include "components/editor-catalogue/cxMemo.h"
#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editor-catalogue/cxSpinEdit.h"
#include "components/editor-catalogue/cxTimeEdit.h"
#include "components/editors/cxButtonEdit.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditDataBinding.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxMaskEdit.h"
#include "components/editors/cxPopupEdit.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxClasses.h"
#include "platform/hostlib/data/datalink.h"
#include "platform/hostlib/visual/messages.h"

class TcxDBEditDataBinding;

// Defaults from the bound field while its data set is open; the plain
// editor's defaults otherwise. Drops a field that is destroyed.
class TcxCustomDBEditDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    hostlib::TAlignment DefaultAlignment() override;
    TcxBlobKind DefaultBlobKind() override;
    bool DefaultCanModify() override;
    std::string DefaultDisplayFormat() override;
    std::string DefaultEditFormat() override;
    std::string DefaultEditMask() override;
    bool DefaultIsFloatValue() override;
    int DefaultMaxLength() override;
    double DefaultMaxValue() override;
    double DefaultMinValue() override;
    int DefaultPrecision() override;
    bool DefaultReadOnly() override;
    bool DefaultRequired() override;
    bool IsDataStorage() override { return true; }
    bool IsBlob() override;
    bool IsCurrency() override;
    bool IsDisplayFormatDefined(bool isCurrencyValueAccepted) override;
    bool IsOnGetTextAssigned() override;
    bool IsValidChar(char c) override;
    virtual bool IsDBConnectionLive();

    hostlib::TField* Field() const { return field_; }
    void SetField(hostlib::TField* value);

protected:
    void Destroy() override;

private:
    void FieldFreeNotification(hostlib::TComponent* component);
    double BoundValue(bool maximum);

    hostlib::TField* field_ = nullptr;
    hostlib::ObjectPtr<TcxFreeNotificator> freeNotificator_;
};

// The link between one binding and its data source.
class TcxEditFieldDataLink : public hostlib::TDataLink {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxDBEditDataBinding* binding);
    void DataEvent(hostlib::TDataEvent event, std::intptr_t info) override;

    bool Edit();
    void Modified() { modified_ = true; }
    void Reset() { RecordChanged(nullptr); }
    bool GetCanModify() const;
    hostlib::TField* Field() const { return field_; }
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& value);
    hostlib::TComponent* DataComponent() const { return dataComponent_; }
    void SetDataComponent(hostlib::TComponent* value) { dataComponent_ = value; }
    bool IsEditing() const { return editing_; }
    bool IsModified() const { return modified_; }
    void ClearModified() { modified_ = false; }
    void UpdateField();

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(hostlib::TField*& field) override;
    void LayoutChanged() override { UpdateField(); }
    void RecordChanged(hostlib::TField* field) override;
    void UpdateData() override;

private:
    void SetField(hostlib::TField* value);
    void SetEditing(bool value);
    bool RefreshDisabled() const;

    TcxDBEditDataBinding* binding_ = nullptr;
    hostlib::TField* field_ = nullptr;
    std::string fieldName_;
    hostlib::TComponent* dataComponent_ = nullptr;
    bool editing_ = false;
    bool modified_ = false;
};

class TcxDBEditDataBinding : public TcxEditDataBinding {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(TcxCustomEdit* edit) override;
    void Assign(hostlib::TPersistent* source) override;
    bool CanCheckEditorValue() override { return false; }
    bool CanSetEditMode() override;
    void DefaultValuesChanged() override;
    bool ExecuteAction(hostlib::TComponent* action) override { return dataLink_->ExecuteAction(action); }
    bool GetIsDataAvailable() override { return IsDBConnectionLive(); }
    bool GetModified() override { return GetEditing() && dataLink_->IsModified(); }
    hostlib::Variant GetStoredValue() override;
    void Reset() override;
    void SetDisplayValue(const hostlib::Variant& value) override;
    bool SetEditMode() override;
    void SetStoredValue(const hostlib::Variant& value) override;
    bool UpdateAction(hostlib::TComponent* action) override { return dataLink_->UpdateAction(action); }
    void UpdateDisplayValue() override;
    hostlib::TClass GetDefaultValuesProviderClass() override;
    void UpdateNotConnectedDBEditDisplayValue() override;
    virtual void DataChanged();
    virtual void DataSetChange() { DefaultValuesChanged(); }
    virtual void EditingChanged();
    virtual void UpdateData();

    TcxCustomDBEditDefaultValuesProvider* GetDefaultValuesProvider() const;
    bool IsDBConnectionLive() const { return GetDefaultValuesProvider()->IsDBConnectionLive(); }
    bool GetEditing() const { return dataLink_ && IsDBConnectionLive() && dataLink_->IsEditing(); }
    void DisableRefresh() { ++refreshCount_; }
    void EnableRefresh()
    {
        if (refreshCount_ > 0) --refreshCount_;
    }
    bool IsRefreshDisabled() const { return refreshCount_ > 0; }

    std::string DataField() const { return dataLink_->FieldName(); }
    void SetDataField(const std::string& value) { dataLink_->SetFieldName(value); }
    hostlib::TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(hostlib::TDataSource* value) { dataLink_->SetDataSource(value); }
    hostlib::TField* Field() const { return dataLink_->Field(); }
    TcxEditFieldDataLink* DataLink() const { return dataLink_.get(); }

protected:
    void Destroy() override;

private:
    void MarkReplicatable();
    void ReadFieldIntoEditor();
    hostlib::Variant ReadKey(hostlib::TField* field);
    void WriteValue(hostlib::TField* target, const hostlib::Variant& value);
    void WriteStoredValue(const hostlib::Variant& value);

    hostlib::ObjectPtr<TcxEditFieldDataLink> dataLink_;
    int refreshCount_ = 0;
    bool destroying_ = false;
};

// Kinds that show their value as text show nothing without a connection.
class TcxDBTextEditDataBinding : public TcxDBEditDataBinding {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void SetDisplayValue(const hostlib::Variant& value) override;
    void UpdateNotConnectedDBEditDisplayValue() override;
};

// The list box's field link and binding of the data layer.
class TcxDBFieldDataLink : public TcxCustomFieldDataLink {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void VisualControlChanged() override;

protected:
    void FocusControl(hostlib::TField*& field) override;
};

class TcxDBDataBinding : public TcxCustomDBDataBinding {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetDataLinkClass() const override { return TcxDBFieldDataLink::StaticClass(); }
};

// ---- the data-aware kinds (the lookup combo box's is with its kind) -----------------------------------------------------------------------

// What every data-aware kind adds to its editor: the binding class, the
// DataBinding property and the answer to the data-link query.
template <class Base, class Binding>
class TcxDBEditTwin : public Base {
public:
    hostlib::TClass GetDataBindingClass() const override { return Binding::StaticClass(); }
    Binding* DataBinding() const { return static_cast<Binding*>(TcxCustomEdit::DataBinding()); }
    void SetDataBinding(Binding* value) { TcxCustomEdit::SetDataBinding(value); }

protected:
    void WndProc(hostlib::TMessage& message) override
    {
        if (message.Msg == hostlib::CM_GETDATALINK) {
            if (Binding* binding = DataBinding())
                message.Result = reinterpret_cast<LRESULT>(binding->DataLink());
            return;
        }
        Base::WndProc(message);
    }
};

// The field replaces the value property; the rest is published as the
// plain kind publishes it.
template <class C>
void PublishDBEditTwin(hostlib::ClassBuilder<C>& b)
{
    b.Property("DataBinding", &C::DataBinding, &C::SetDataBinding);
    b.Property("Properties", &C::Properties, &C::SetProperties);
    PublishEditStyles(b);
}

class TcxDBTextEdit : public TcxDBEditTwin<TcxCustomTextEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBMemo : public TcxDBEditTwin<TcxCustomMemo, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBMaskEdit : public TcxDBEditTwin<TcxCustomMaskEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBButtonEdit : public TcxDBEditTwin<TcxCustomButtonEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBCheckBox : public TcxDBEditTwin<TcxCustomCheckBox, TcxDBEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBComboBox : public TcxDBEditTwin<TcxCustomComboBox, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBPopupEdit : public TcxDBEditTwin<TcxCustomPopupEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBSpinEdit : public TcxDBEditTwin<TcxCustomSpinEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBTimeEdit : public TcxDBEditTwin<TcxCustomTimeEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Reads and writes the field's value itself, not its text.
class TcxDBBlobEdit : public TcxDBEditTwin<TcxCustomBlobEdit, TcxDBEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBCalcEdit : public TcxDBEditTwin<TcxCustomCalcEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBDateEdit : public TcxDBEditTwin<TcxCustomDateEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBCurrencyEdit : public TcxDBEditTwin<TcxCustomCurrencyEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBHyperLinkEdit : public TcxDBEditTwin<TcxCustomHyperLinkEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBImage : public TcxDBEditTwin<TcxCustomImage, TcxDBEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBImageComboBox : public TcxDBEditTwin<TcxCustomImageComboBox, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDBMRUEdit : public TcxDBEditTwin<TcxCustomMRUEdit, TcxDBTextEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// Its buttons answer the data-link query with the group's link.
class TcxDBRadioGroupButton : public TcxCustomRadioGroupButton {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

protected:
    void WndProc(hostlib::TMessage& message) override;
};

class TcxDBRadioGroup : public TcxDBEditTwin<TcxCustomRadioGroup, TcxDBEditDataBinding> {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TWinControl* GetButtonInstance() override;
};

class TcxDBListBox : public TcxListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetDataBindingClass() const override { return TcxDBDataBinding::StaticClass(); }
    TcxDBDataBinding* DataBinding() const { return static_cast<TcxDBDataBinding*>(TcxListBox::DataBinding()); }

protected:
    void WndProc(hostlib::TMessage& message) override;
};

// Unit start-up and shut-down only count references.
void cxDBEditInitialize();
void cxDBEditFinalize();
