#pragma once
// The component library's connection to the host's data sets: field
// helpers, registries of adapters chosen by data-set class, and the binding
// of one editor to one field of a data source.

#include <string>
#include <vector>

#include "components/data/cxDataUtils.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"
#include "platform/hostlib/data/datalink.h"
#include "platform/hostlib/data/fields.h"

class TcxCustomDBDataBinding;

// ---- field helpers -------------------------------------------------------------

hostlib::Variant GetFieldValue(hostlib::TField* field);
void SetFieldValue(hostlib::TField* field, const hostlib::Variant& value);
// Null for no fields, the value of one, else an array in list order.
hostlib::Variant GetDataSetValues(hostlib::TDataSet* dataSet, const std::vector<hostlib::TField*>& fields);
void SetDataSetValues(hostlib::TDataSet* dataSet, const std::vector<hostlib::TField*>& fields, const hostlib::Variant& value);
// Names in a ";"-separated text.
void GetFieldNames(const std::string& names, std::vector<std::string>& list);
int GetFieldNamesCount(const std::string& names);
bool IsMultipleFieldNames(const std::string& names);
bool IsEqualFieldNames(const std::string& name1, const std::string& name2);
// The name a filter expression uses: the origin unless ignored, else the
// field name, bracketed when it is no identifier.
std::string GetFilterFieldName(hostlib::TField* field, bool ignoreOrigin);
void CheckFilterFieldName(std::string& name);
bool IsFieldCanModify(hostlib::TField* field, bool isValueSource);
bool IsFieldFormatted(hostlib::TField* field, bool binaryAnswer);
bool CanModifyLookupField(hostlib::TField* field);
// The binary and object kinds the helpers treat alike.
bool IsBinaryFieldType(hostlib::TFieldType type);

// ---- adapter registry ----------------------------------------------------------

class TcxDBAdapterItem : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TClass dataSetClass) { dataSetClass_ = dataSetClass; }
    hostlib::TClass DataSetClass() const { return dataSetClass_; }

private:
    hostlib::TClass dataSetClass_ = nullptr;
};

// Keeps an item for a class after the items for that class's ancestors, so
// the search from the end finds the nearest.
class TcxDBAdapterList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // True with the item of the class or its nearest ancestor; otherwise
    // index is the first item of a descendant, or -1.
    virtual bool FindAdapter(hostlib::TClass dataSetClass, int& index) const;
    virtual void RegisterAdapter(hostlib::TClass dataSetClass, hostlib::TClass adapterItemClass);
    virtual void UnregisterAdapter(hostlib::TClass dataSetClass, hostlib::TClass adapterItemClass);

    void Clear() { items_.clear(); }
    TcxDBAdapterItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
    int ItemCount() const { return static_cast<int>(items_.size()); }

private:
    std::vector<hostlib::ObjectPtr<TcxDBAdapterItem>> items_;
};

// ---- field binding -------------------------------------------------------------

class TcxCustomFieldDataLink : public hostlib::TDataLink {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void DataComponentChanged() {}
    virtual void UpdateRightToLeft() {}
    virtual void VisualControlChanged() {}
    virtual void Construct(TcxCustomDBDataBinding* binding);

    void DataEvent(hostlib::TDataEvent event, std::intptr_t info) override;
    // Puts the data set into edit mode when the field may be changed.
    bool Edit();
    void Modified() { modified_ = true; }
    void Reset() { RecordChanged(nullptr); }
    bool CanModify() const;
    hostlib::TComponent* DataComponent() const;
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& value);
    hostlib::TField* Field() const { return field_; }
    bool IsEditing() const { return editing_; }
    bool IsModified() const { return modified_; }
    void UpdateField();

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override { UpdateField(); }
    void RecordChanged(hostlib::TField* field) override;
    void UpdateData() override;

private:
    void SetField(hostlib::TField* value);
    void SetEditing(bool value);
    bool RefreshDisabled() const;

    TcxCustomDBDataBinding* binding_ = nullptr;
    std::string fieldName_;
    hostlib::TField* field_ = nullptr;
    bool editing_ = false;
    bool modified_ = false;
};

class TcxCustomDBDataBinding : public TcxCustomDataBinding {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner, hostlib::TComponent* dataComponent) override;
    virtual hostlib::TClass GetDataLinkClass() const { return TcxCustomFieldDataLink::StaticClass(); }

    bool CanModify() override;
    hostlib::Variant GetStoredValue(TcxDataEditValueSource valueSource, bool editFocused) override;
    bool IsDataSourceLive() override;
    bool IsDataStorage() override { return true; }
    void Reset() override { dataLink_->Reset(); }
    bool SetEditMode() override;
    void SetStoredValue(TcxDataEditValueSource valueSource, const hostlib::Variant& value) override;
    void UpdateDataSource() override { dataLink_->UpdateRecord(); }
    bool GetModified() override;
    bool GetReadOnly() override { return dataLink_->ReadOnly(); }
    void SetReadOnly(bool value) override { dataLink_->SetReadOnly(value); }
    void VisualControlChanged() override { dataLink_->VisualControlChanged(); }
    bool ExecuteAction(hostlib::TComponent* action) override { return dataLink_->ExecuteAction(action); }
    bool UpdateAction(hostlib::TComponent* action) override { return dataLink_->UpdateAction(action); }

    void DisableRefresh() { ++refreshCount_; }
    void EnableRefresh()
    {
        if (refreshCount_ > 0) --refreshCount_;
    }
    bool IsRefreshDisabled() const { return refreshCount_ > 0; }
    void InternalDataChange();

    const std::string& DataField() const { return dataLink_->FieldName(); }
    void SetDataField(const std::string& value) { dataLink_->SetFieldName(value); }
    hostlib::TDataSource* DataSource() const { return dataLink_->DataSource(); }
    void SetDataSource(hostlib::TDataSource* value) { dataLink_->SetDataSource(value); }
    hostlib::TField* Field() const { return dataLink_->Field(); }
    TcxCustomFieldDataLink& DataLink() const { return *dataLink_; }

protected:
    void Destroy() override;

private:
    void WriteField(hostlib::TField* field, const hostlib::Variant& value);
    void WriteKey(const hostlib::Variant& value);

    hostlib::ObjectPtr<TcxCustomFieldDataLink> dataLink_;
    int refreshCount_ = 0;
};
