#pragma once
// Keeping the selection and the expanded details of a data controller
// across a reload by record key: the keys are saved when the controller's
// SaveKeys bracket opens and restored onto the records' new indexes when
// it closes.

#include <vector>

#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

class TcxCustomDataController;
class TcxCustomDataField;

// The key sets live in their own namespace: the control library's set of
// keys a control takes from the dialog manager has the same name.
namespace cx_data_keys {

class TcxSaveObject;

class TcxKeyInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::Variant Key;
};

class TcxSelectedKeyInfo : public TcxKeyInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // The index of the selection entry the key was saved for.
    int SelectionIndex = -1;
};

class TcxDetailKeyInfo : public TcxKeyInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    int RelationIndex = -1;
    hostlib::ObjectPtr<TcxSaveObject> SaveObject;
};

// Key entries sorted by key.
class TcxKeys : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxKeys(TcxCustomDataController* controller) : controller_(controller) {}

    virtual void Restore();
    virtual void Save();
    virtual void FreeItem(int index);
    virtual void Clear();

    int Count() const { return static_cast<int>(items_.size()); }
    TcxKeyInfo& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
    TcxCustomDataController* DataController() const { return controller_; }
    void SetDataController(TcxCustomDataController* controller) { controller_ = controller; }

protected:
    virtual void DoRestore() {}
    virtual void DoSave() {}
    void ReadKeyFields();
    hostlib::Variant KeyOf(int recordIndex) const;
    void Add(TcxKeyInfo* info);
    void SortByKey();
    // The first entry whose key equals the key, -1 when none.
    int Find(const hostlib::Variant& key) const;

private:
    TcxCustomDataController* controller_ = nullptr;
    std::vector<TcxCustomDataField*> keyFields_;
    std::vector<hostlib::ObjectPtr<TcxKeyInfo>> items_;
};

// The selected records by key, and the selected and expanded groups by
// group value.
class TcxSelectedKeys : public TcxKeys {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxKeys::TcxKeys;

protected:
    void DoRestore() override;
    void DoSave() override;
};

// The records whose details are expanded, with their active relation and
// the details' own saved keys.
class TcxDetailKeys : public TcxKeys {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxKeys::TcxKeys;

protected:
    void DoRestore() override;
    void DoSave() override;
};

class TcxSaveObject : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxSaveObject(TcxCustomDataController* controller);

    void Save();
    void Restore();
    // Restores what was saved into another controller of the same kind.
    void RestoreInto(TcxCustomDataController* controller);
    TcxDetailKeys& DetailKeys() { return detailKeys_; }
    TcxSelectedKeys& SelectedKeys() { return selectedKeys_; }

private:
    TcxCustomDataController* controller_ = nullptr;
    TcxDetailKeys detailKeys_;
    TcxSelectedKeys selectedKeys_;
};

} // namespace cx_data_keys

using cx_data_keys::TcxDetailKeyInfo;
using cx_data_keys::TcxDetailKeys;
using cx_data_keys::TcxKeyInfo;
using cx_data_keys::TcxSaveObject;
using cx_data_keys::TcxSelectedKeyInfo;
using cx_data_keys::TcxSelectedKeys;
