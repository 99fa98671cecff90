#pragma once
// An in-memory data set: records are rows of variants, one per field
// definition, with ids that stay valid while other rows come and go. An
// empty autoincrement value is numbered when the record is stored. The
// rows outlive Close, so a closed and reopened data set shows them again.
// TMemQuery adds a published parameter list, for code that treats data
// sets with parameters (class names containing "Query") as query engines.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/data/dataset.h"

namespace hostlib {

class TMemDataSet : public TDataSet {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Removes every row (posting or cancelling a pending change first).
    void EmptyDataSet();

protected:
    int StoreCount() const override { return static_cast<int>(rows_.size()); }
    int StoreRowId(int index) const override { return rows_[static_cast<std::size_t>(index)].id; }
    int StoreIndexOf(int rowId) const override;
    Variant StoreValue(int rowId, int column) const override;
    int StoreInsert(int beforeId, std::vector<Variant> values) override;
    void StoreUpdate(int rowId, std::vector<Variant> values) override;
    void StoreDelete(int rowId) override;
    void InternalOpen() override;

private:
    struct Row {
        int id = 0;
        std::vector<Variant> values;
    };
    void Reindex() const;
    void AssignAutoIncrements(std::vector<Variant>& values);

    std::vector<Row> rows_;
    int nextId_ = 1;
    mutable std::unordered_map<int, int> index_;
    mutable bool indexDirty_ = false;
};

class TParam : public TCollectionItem {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    TFieldType DataType() const { return dataType_; }
    void SetDataType(TFieldType type) { dataType_ = type; }
    const Variant& Value() const { return value_; }
    void SetValue(const Variant& value) { value_ = value; }
    bool IsNull() const { return value_.IsNull() || value_.IsEmpty(); }
    std::string DisplayName() const override { return name_; }
    void Assign(TPersistent* source) override;

private:
    std::string name_;
    TFieldType dataType_ = ftUnknown;
    Variant value_ = Variant::Null();
};

class TParams : public TOwnedCollection {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    void Construct(TPersistent* owner) { TOwnedCollection::Construct(owner, TParam::StaticClass()); }
    using TOwnedCollection::Construct;

    TParam* Items(int index) const { return static_cast<TParam*>(TCollection::Items(index)); }
    TParam* CreateParam(TFieldType type, const std::string& name);
    // Case-insensitive; nullptr when absent.
    TParam* FindParam(const std::string& name) const;
    // Raises EDatabaseError "Parameter '%s' not found".
    TParam* ParamByName(const std::string& name) const;
};

class TMemQuery : public TMemDataSet {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    void Construct(TComponent* owner) override;
    TParams* Params() const { return params_.get(); }
    void SetParams(TParams* params) { params_->Assign(params); }

private:
    ObjectPtr<TParams> params_;
};

}  // namespace hostlib
