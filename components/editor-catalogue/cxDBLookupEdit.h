#pragma once
// The lookup editor over a data set: the key is the value of the list data
// set's key field or fields of a record (an array for several), the text
// that record's list field. In grid mode only a window of the list data set
// is loaded, and texts of keys come from a cache filled by locating them.

#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "components/data/cxDataStorage.h"
#include "components/editor-catalogue/cxLookupEdit.h"
#include "platform/hostlib/data/datalink.h"

class TcxCustomDBLookupEditLookupData : public TcxCustomLookupEditLookupData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoSetCurrentKey(int recordIndex) override;
    void DoSyncGrid() override;
};

class TcxCustomDBLookupEditProperties : public TcxCustomLookupEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void Changed() override;
    hostlib::TAlignment GetDefaultHorzAlignment() override;
    hostlib::TClass GetContainerClass() override;
    int GetDefaultMaxLength() override;
    hostlib::TClass GetLookupDataClass() override;
    int FindByText(int itemIndex, const std::string& text, bool partial) override;
    std::string GetDisplayLookupText(const hostlib::Variant& key) override;
    bool GetIncrementalFiltering() override;
    TcxDataEditValueSource GetEditValueSource(bool editFocused) override;
    int GetDisplayColumnIndex() override;
    void SetDisplayColumnIndex(int index) override;
    bool IsLookupField() override { return lookupField_ != nullptr; }
    hostlib::Variant GetNullKey() override;
    bool IsPickMode() override;
    void LockDataChanged() override;
    void UnlockDataChanged() override;

    // The data-set grid hooks: neutral here, the lookup combo box gives them.
    virtual void DBLookupGridBeginUpdate() {}
    virtual void DBLookupGridCheckColumnByFieldName(const std::string& name) { (void)name; }
    virtual void DBLookupGridCreateColumnsByFieldNames(const std::string& names) { (void)names; }
    virtual void DBLookupGridEndUpdate() {}
    virtual hostlib::TField* GetDBLookupGridColumnField(int index) { return (void)index, nullptr; }
    virtual std::string GetDBLookupGridColumnFieldName(int index) { return (void)index, std::string(); }
    virtual int GetDBLookupGridColumnIndexByFieldName(const std::string& name) { return (void)name, -1; }
    virtual TcxDBDataController* GetDBLookupGridDataController() { return nullptr; }

    hostlib::TField* GetListField();
    std::string KeyFieldNames();
    void SetKeyFieldNames(const std::string& value);
    int ListFieldIndex() { return GetDisplayColumnIndex(); }
    void SetListFieldIndex(int value) { SetDisplayColumnIndex(value); }
    std::string ListFieldNames();
    void SetListFieldNames(const std::string& value);
    bool IsUseLookupList() const { return lookupList_ != nullptr; }
    void SetIsUseLookupList(bool value);
    TcxLookupList* LookupList() const { return lookupList_.get(); }
    // Empties the key-to-text cache; grid mode follows the cache's use.
    void CheckLookupList();
    // Takes list source, key fields and list field from the bound field
    // when that is a lookup field.
    virtual void CheckLookup();
    // Adds the lookup field's result column when the list lacks it.
    virtual void CheckLookupColumn();
    // The bound field of a data-aware editor, nullptr for others.
    hostlib::TField* GetDataField();
    hostlib::TField* GetLookupField();
    std::string GetLookupResultFieldName();
    [[noreturn]] void DefineByLookupError();
    bool IsDefining() const { return defining_; }
    // Raises "Circular datalinks are not allowed" when the source's data set
    // is the bound field's data set or one of its masters.
    void CheckCircularLink(hostlib::TDataSource* source);

protected:
    void Destroy() override;

private:
    bool IsListGridMode();
    int FindInGridMode(int itemIndex, const std::string& text, bool partial);
    std::string LocateDisplayText(const hostlib::Variant& key);
    std::string LoadedDisplayText(const hostlib::Variant& key);
    template <class F>
    void WithDataChangedLocked(F&& proc);

    void SetLookupField(hostlib::TField* value);
    void DefineByLookupField();

    hostlib::TField* lookupField_ = nullptr;
    hostlib::ObjectPtr<hostlib::TDataSource> lookupDataSource_;
    bool defining_ = false;
    hostlib::ObjectPtr<TcxLookupList> lookupList_;
    // Per lock, whether it also locked the grid-mode notification, so that
    // every unlock releases exactly what its lock took.
    std::vector<bool> gridModeLocks_;
};

class TcxCustomDBLookupEdit : public TcxCustomLookupEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetPropertiesClass() const override;
    TcxCustomDBLookupEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomDBLookupEditProperties*>(TcxCustomLookupEdit::ActiveProperties());
    }

protected:
    bool IsValidChar(char key) override;
    void LookupKeyToEditValue(const hostlib::Variant& key, hostlib::Variant& value) override;
};
