#include "platform/hostlib/data/memdataset.h"

#include <algorithm>

#include "platform/hostlib/core/format.h"

namespace hostlib {

TClass TMemDataSet::StaticClass() { return DefineClass<TMemDataSet, TDataSet>("TMemDataSet"); }

void TMemDataSet::Reindex() const
{
    index_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) index_[rows_[i].id] = static_cast<int>(i);
    indexDirty_ = false;
}

int TMemDataSet::StoreIndexOf(int rowId) const
{
    if (indexDirty_) Reindex();
    const auto it = index_.find(rowId);
    return it == index_.end() ? -1 : it->second;
}

Variant TMemDataSet::StoreValue(int rowId, int column) const
{
    const int index = StoreIndexOf(rowId);
    if (index < 0 || column < 0) return Variant::Null();
    const Row& row = rows_[static_cast<std::size_t>(index)];
    return static_cast<std::size_t>(column) < row.values.size() ? row.values[static_cast<std::size_t>(column)] : Variant::Null();
}

// An autoincrement column left empty gets one more than the largest value
// stored so far.
void TMemDataSet::AssignAutoIncrements(std::vector<Variant>& values)
{
    for (int column = 0; column < FieldDefs().Count() && column < static_cast<int>(values.size()); ++column) {
        Variant& value = values[static_cast<std::size_t>(column)];
        if (FieldDefs().Items(column)->DataType != ftAutoInc || !(value.IsNull() || value.IsEmpty())) continue;
        std::int64_t largest = 0;
        for (const Row& row : rows_) {
            const Variant& stored = row.values[static_cast<std::size_t>(column)];
            if (!stored.IsNull() && !stored.IsEmpty()) largest = std::max<std::int64_t>(largest, stored.AsInteger());
        }
        value = Variant(static_cast<std::int32_t>(largest + 1));
    }
}

int TMemDataSet::StoreInsert(int beforeId, std::vector<Variant> values)
{
    AssignAutoIncrements(values);
    Row row{nextId_++, std::move(values)};
    const int before = beforeId > 0 ? StoreIndexOf(beforeId) : -1;
    if (before < 0) {
        rows_.push_back(std::move(row));
        if (!indexDirty_) index_[rows_.back().id] = static_cast<int>(rows_.size()) - 1;
    } else {
        rows_.insert(rows_.begin() + before, std::move(row));
        indexDirty_ = true;
    }
    return nextId_ - 1;
}

void TMemDataSet::StoreUpdate(int rowId, std::vector<Variant> values)
{
    const int index = StoreIndexOf(rowId);
    if (index < 0) DatabaseError(db_messages::SInvalidBookmark, this);
    rows_[static_cast<std::size_t>(index)].values = std::move(values);
}

void TMemDataSet::StoreDelete(int rowId)
{
    const int index = StoreIndexOf(rowId);
    if (index < 0) DatabaseError(db_messages::SInvalidBookmark, this);
    rows_.erase(rows_.begin() + index);
    indexDirty_ = true;
}

void TMemDataSet::InternalOpen()
{
    // Field definitions may have grown since the rows were written.
    const auto columns = static_cast<std::size_t>(FieldDefs().Count());
    for (Row& row : rows_) row.values.resize(columns, Variant::Null());
}

void TMemDataSet::EmptyDataSet()
{
    if (Active()) CheckBrowseMode();
    rows_.clear();
    index_.clear();
    indexDirty_ = false;
    if (Active()) Refresh();
}

// ---- parameters -------------------------------------------------------------------------

TClass TParam::StaticClass()
{
    return DefineClass<TParam, TCollectionItem>("TParam", [](ClassBuilder<TParam>& b) {
        b.Property("Name", &TParam::Name, &TParam::SetName);
        b.Property("DataType", &TParam::DataType, &TParam::SetDataType).Default(ftUnknown);
        b.Property("Value", &TParam::Value, &TParam::SetValue);
    });
}

void TParam::Assign(TPersistent* source)
{
    if (auto* other = As<TParam>(source)) {
        name_ = other->name_;
        dataType_ = other->dataType_;
        value_ = other->value_;
        return;
    }
    TCollectionItem::Assign(source);
}

TClass TParams::StaticClass() { return DefineClass<TParams, TOwnedCollection>("TParams"); }

TParam* TParams::CreateParam(TFieldType type, const std::string& name)
{
    auto* param = static_cast<TParam*>(Add());
    param->SetName(name);
    param->SetDataType(type);
    return param;
}

TParam* TParams::FindParam(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(Items(i)->Name(), name)) return Items(i);
    return nullptr;
}

TParam* TParams::ParamByName(const std::string& name) const
{
    TParam* param = FindParam(name);
    if (!param) DatabaseError(Format("Parameter '%s' not found", name));
    return param;
}

TClass TMemQuery::StaticClass()
{
    return DefineClass<TMemQuery, TMemDataSet>("TMemQuery", [](ClassBuilder<TMemQuery>& b) {
        b.Property("Params", &TMemQuery::Params, &TMemQuery::SetParams);
    });
}

void TMemQuery::Construct(TComponent* owner)
{
    TMemDataSet::Construct(owner);
    params_.reset(CreateObject<TParams>(static_cast<TPersistent*>(this)));
    params_->SetPropName("Params");
}

}  // namespace hostlib
