#include "components/data/cxCustomData.h"

#include <algorithm>
#include <exception>

#include "components/data/cxDataConsts.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/system/scope_guard.h"

using hostlib::Variant;

namespace {

// Creates an object of a class reference that must be a T (or descends
// from it); the caller runs the second phase.
template <class T>
T* NewInstanceOf(hostlib::TClass cls)
{
    hostlib::TObject* object = cls ? cls->NewInstance() : nullptr;
    T* result = dynamic_cast<T*>(object);
    if (!result) {
        if (object) object->Free();
        TcxCustomDataController::InvalidOperation(std::string("Class is not a ") + T::StaticClass()->ClassName());
    }
    return result;
}

// Hoare partition quicksort over record indexes; not stable, so compare
// must break ties itself.
template <class Compare>
void QuickSort(std::vector<int>& list, int left, int right, const Compare& compare)
{
    while (left < right) {
        int i = left;
        int j = right;
        const int pivot = list[static_cast<std::size_t>((static_cast<unsigned>(left) + static_cast<unsigned>(right)) >> 1)];
        do {
            while (compare(list[static_cast<std::size_t>(i)], pivot) < 0) ++i;
            while (compare(list[static_cast<std::size_t>(j)], pivot) > 0) --j;
            if (i <= j) {
                std::swap(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j) QuickSort(list, left, j, compare);
        left = i;
    }
}

using quelvo::sys::ScopeGuard;
using UpdateBracket = hostlib::UpdateScope<TcxCustomDataController>;

// In provider mode, deletions keep the selection and details by key.
class KeysBracket {
public:
    explicit KeysBracket(TcxCustomDataController& controller)
        : controller_(controller.IsProviderMode() ? &controller : nullptr)
    {
        if (controller_) controller_->SaveKeys();
    }
    KeysBracket(const KeysBracket&) = delete;
    KeysBracket& operator=(const KeysBracket&) = delete;
    ~KeysBracket()
    {
        if (controller_) controller_->RestoreKeys();
    }

private:
    TcxCustomDataController* controller_;
};

} // namespace

// ---- class information -------------------------------------------------------

hostlib::TClass TcxCustomDataField::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataField, hostlib::TObject>("TcxCustomDataField");
}
hostlib::TClass TcxCustomDataFieldList::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataFieldList, hostlib::TObject>("TcxCustomDataFieldList");
}
hostlib::TClass TcxSortingFieldList::StaticClass()
{
    return hostlib::DefineClass<TcxSortingFieldList, hostlib::TObject>("TcxSortingFieldList");
}
hostlib::TClass TcxGroupingFieldList::StaticClass()
{
    return hostlib::DefineClass<TcxGroupingFieldList, TcxSortingFieldList>("TcxGroupingFieldList");
}
hostlib::TClass TcxUpdateControlInfo::StaticClass()
{
    return hostlib::DefineClass<TcxUpdateControlInfo, hostlib::TObject>("TcxUpdateControlInfo");
}
hostlib::TClass TcxDataChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxDataChangedInfo, TcxUpdateControlInfo>("TcxDataChangedInfo");
}
hostlib::TClass TcxLayoutChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxLayoutChangedInfo, TcxUpdateControlInfo>("TcxLayoutChangedInfo");
}
hostlib::TClass TcxBookmarkChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxBookmarkChangedInfo, TcxUpdateControlInfo>("TcxBookmarkChangedInfo");
}
hostlib::TClass TcxSearchChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxSearchChangedInfo, TcxUpdateControlInfo>("TcxSearchChangedInfo");
}
hostlib::TClass TcxUpdateRecordInfo::StaticClass()
{
    return hostlib::DefineClass<TcxUpdateRecordInfo, TcxUpdateControlInfo>("TcxUpdateRecordInfo");
}
hostlib::TClass TcxFocusedRowChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxFocusedRowChangedInfo, TcxUpdateControlInfo>("TcxFocusedRowChangedInfo");
}
hostlib::TClass TcxFocusedRecordChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxFocusedRecordChangedInfo, TcxUpdateControlInfo>("TcxFocusedRecordChangedInfo");
}
hostlib::TClass TcxSelectionChangedInfo::StaticClass()
{
    return hostlib::DefineClass<TcxSelectionChangedInfo, TcxUpdateControlInfo>("TcxSelectionChangedInfo");
}
hostlib::TClass TcxDataFocusingInfo::StaticClass()
{
    return hostlib::DefineClass<TcxDataFocusingInfo, hostlib::TObject>("TcxDataFocusingInfo");
}
hostlib::TClass TcxDataSelection::StaticClass()
{
    return hostlib::DefineClass<TcxDataSelection, hostlib::TObject>("TcxDataSelection");
}
hostlib::TClass TcxDataGroups::StaticClass()
{
    return hostlib::DefineClass<TcxDataGroups, hostlib::TObject>("TcxDataGroups");
}
hostlib::TClass TcxDataExpandingInfos::StaticClass()
{
    return hostlib::DefineClass<TcxDataExpandingInfos, hostlib::TObject>("TcxDataExpandingInfos");
}
hostlib::TClass TcxDataControllerGroups::StaticClass()
{
    return hostlib::DefineClass<TcxDataControllerGroups, hostlib::TObject>("TcxDataControllerGroups");
}
hostlib::TClass TcxCustomDataControllerInfo::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataControllerInfo, hostlib::TObject>("TcxCustomDataControllerInfo");
}
hostlib::TClass TcxCustomDataProvider::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataProvider, hostlib::TObject>("TcxCustomDataProvider");
}
hostlib::TClass TcxDataControllerNotifier::StaticClass()
{
    return hostlib::DefineClass<TcxDataControllerNotifier, hostlib::TComponent>("TcxDataControllerNotifier");
}
hostlib::TClass TcxCustomDataController::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataController, hostlib::TPersistent>("TcxCustomDataController");
}

// ---- TcxCustomDataField ------------------------------------------------------

void TcxCustomDataField::Construct(TcxCustomDataFieldList* fieldList)
{
    fieldList_ = fieldList;
}

TcxCustomDataController* TcxCustomDataField::DataController() const
{
    return fieldList_ ? fieldList_->DataController() : nullptr;
}

bool TcxCustomDataField::CanModify(TcxDataEditValueSource) const
{
    const TcxCustomDataController* controller = DataController();
    return ValueDef() != nullptr || (controller && controller->IsProviderMode());
}

void TcxCustomDataField::Reassign(TcxCustomDataField* source)
{
    valueDef_ = source->valueDef_;
    if (valueDef_) valueDef_->SetLinkObject(this);
    valueTypeClass_ = source->valueTypeClass_;
    textStored_ = source->textStored_;
    referenceField_ = nullptr;
    source->valueDef_ = nullptr;
    source->valueTypeClass_ = nullptr;
}

int TcxCustomDataField::Index() const
{
    return fieldList_ ? fieldList_->IndexOf(this) : -1;
}

void TcxCustomDataField::SetIndex(int index)
{
    if (fieldList_) fieldList_->Move(Index(), index);
}

void TcxCustomDataField::SetIsInternal(bool value)
{
    isInternal_ = value;
    if (fieldList_) fieldList_->UpdateInternalCount();
}

TcxCustomDataField* TcxCustomDataField::ChainEnd() const
{
    const TcxCustomDataField* field = this;
    // A chain is kept acyclic by SetReferenceField; the bound guards against
    // anything else.
    for (int guard = 0; field->referenceField_ && guard < 1 << 20; ++guard)
        field = field->referenceField_;
    return const_cast<TcxCustomDataField*>(field);
}

void TcxCustomDataField::SetReferenceField(TcxCustomDataField* value)
{
    TcxCustomDataField* end = value ? value->ChainEnd() : nullptr;
    if (end == this) return;
    if (!referenceField_) SetValueTypeClass(nullptr);
    referenceField_ = end;
}

TcxValueTypeClass TcxCustomDataField::ValueTypeClass() const
{
    return ChainEnd()->valueTypeClass_;
}

void TcxCustomDataField::SetValueTypeClass(TcxValueTypeClass value)
{
    if (referenceField_ || valueTypeClass_ == value) return;
    BeginRecreateData();
    valueTypeClass_ = value;
    EndRecreateData();
}

bool TcxCustomDataField::TextStored() const
{
    return ChainEnd()->textStored_;
}

void TcxCustomDataField::SetTextStored(bool value)
{
    if (referenceField_ || textStored_ == value) return;
    BeginRecreateData();
    textStored_ = value;
    EndRecreateData();
}

TcxValueDef* TcxCustomDataField::ValueDef() const
{
    return ChainEnd()->valueDef_;
}

void TcxCustomDataField::BeginRecreateData()
{
    if (recreateLock_++ == 0) ClearData();
}

void TcxCustomDataField::EndRecreateData()
{
    if (--recreateLock_ == 0) CreateData();
}

void TcxCustomDataField::CreateData()
{
    if (referenceField_ || !valueTypeClass_) return;
    TcxCustomDataController* controller = DataController();
    if (!controller) return;
    ClearData();
    valueDef_ = controller->DataStorage().ValueDefs().Add(valueTypeClass_, IsValueDefInternal(), textStored_, this);
}

void TcxCustomDataField::ClearData()
{
    if (referenceField_ || !valueDef_) return;
    TcxValueDef* def = valueDef_;
    valueDef_ = nullptr;
    def->ValueDefs()->Remove(def);
}

void TcxCustomDataField::Changed()
{
    TcxCustomDataController* controller = DataController();
    if (controller && !controller->Provider().IsFrozen()) controller->Provider().LayoutChanged({lcStructure});
}

void TcxCustomDataField::Destroy()
{
    if (fieldList_) fieldList_->RemoveField(this);
    ClearData();
    TObject::Destroy();
}

// ---- TcxCustomDataFieldList --------------------------------------------------

void TcxCustomDataFieldList::Add(TcxCustomDataField* field)
{
    if (field->IsInternal())
        items_.push_back(field);
    else
        items_.insert(items_.begin() + (Count() - internalCount_), field);
    UpdateInternalCount();
}

void TcxCustomDataFieldList::Clear()
{
    while (!items_.empty()) items_.back()->Free();
}

TcxCustomDataField* TcxCustomDataFieldList::Items(int index) const
{
    if (index < 0 || index >= Count()) TcxCustomDataController::InvalidOperation(cxSDataItemIndexError);
    return items_[static_cast<std::size_t>(index)];
}

int TcxCustomDataFieldList::IndexOf(const TcxCustomDataField* field) const
{
    const auto it = std::find(items_.begin(), items_.end(), field);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TcxCustomDataField* TcxCustomDataFieldList::FieldByItem(const hostlib::TObject* item) const
{
    for (TcxCustomDataField* field : items_)
        if (field->Item() == item) return field;
    return nullptr;
}

void TcxCustomDataFieldList::Move(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
    TcxCustomDataField* field = items_[static_cast<std::size_t>(from)];
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, field);
}

void TcxCustomDataFieldList::RemoveField(TcxCustomDataField* field)
{
    const int index = IndexOf(field);
    if (index < 0) return;
    fieldDestroyed_ = true;
    if (controller_) controller_->RemoveField(field);
    ReassignFields(field);
    items_.erase(items_.begin() + index);
    UpdateInternalCount();
}

void TcxCustomDataFieldList::ReassignFields(TcxCustomDataField* field)
{
    TcxCustomDataField* first = nullptr;
    for (TcxCustomDataField* other : items_) {
        if (other == field || other->ReferenceField() != field) continue;
        if (!first) {
            first = other;
            first->Reassign(field);
        } else {
            other->SetReferenceField(first);
        }
    }
}

void TcxCustomDataFieldList::RemoveNotification(hostlib::TComponent* component)
{
    // A field may free others (its sub-fields): only those still listed hear.
    for (TcxCustomDataField* field : std::vector<TcxCustomDataField*>(items_))
        if (IndexOf(field) >= 0) field->RemoveNotification(component);
}

void TcxCustomDataFieldList::UpdateInternalCount()
{
    internalCount_ = static_cast<int>(std::count_if(items_.begin(), items_.end(), [](auto* f) { return f->IsInternal(); }));
}

void TcxCustomDataFieldList::Destroy()
{
    Clear();
    TObject::Destroy();
}

// ---- sorting lists -----------------------------------------------------------

void TcxSortingFieldList::Add(TcxCustomDataField* field, TcxDataSortOrder order)
{
    items_.push_back({field, order});
    Changed();
}

void TcxSortingFieldList::Insert(int index, TcxCustomDataField* field, TcxDataSortOrder order)
{
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, TcxDataSortInfo{field, order});
    Changed();
}

void TcxSortingFieldList::Delete(int index)
{
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
    Changed();
}

void TcxSortingFieldList::Move(int from, int to)
{
    if (from == to || from < 0 || from >= Count() || to < 0 || to >= Count()) return;
    const TcxDataSortInfo info = items_[static_cast<std::size_t>(from)];
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, info);
    Changed();
}

void TcxSortingFieldList::Remove(TcxCustomDataField* field)
{
    Delete(Find(field));
}

void TcxSortingFieldList::SetSortOrder(int index, TcxDataSortOrder order)
{
    if (index < 0 || index >= Count() || items_[static_cast<std::size_t>(index)].SortOrder == order) return;
    items_[static_cast<std::size_t>(index)].SortOrder = order;
    Changed();
}

void TcxSortingFieldList::Clear()
{
    while (!items_.empty()) Delete(0);
}

int TcxSortingFieldList::Find(const TcxCustomDataField* field) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<std::size_t>(i)].Field == field) return i;
    return -1;
}

TcxDataSortOrder TcxSortingFieldList::SortOrderByField(const TcxCustomDataField* field) const
{
    const int index = Find(field);
    return index < 0 ? soNone : items_[static_cast<std::size_t>(index)].SortOrder;
}

const TcxDataSortInfo& TcxSortingFieldList::Items(int index) const
{
    if (index < 0 || index >= Count()) TcxCustomDataController::InvalidOperation(cxSDataItemIndexError);
    return items_[static_cast<std::size_t>(index)];
}

void TcxSortingFieldList::ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order)
{
    const int index = Find(field);
    if (index >= 0) {
        if (order == soNone)
            Delete(index);
        else
            SetSortOrder(index, order);
    } else if (order != soNone) {
        Add(field, order);
    }
}

void TcxSortingFieldList::CheckField(const TcxCustomDataField* field)
{
    if (Find(field) >= 0) Changed();
}

void TcxSortingFieldList::AppendFrom(const TcxSortingFieldList& list)
{
    for (const TcxDataSortInfo& info : list.items_)
        if (Find(info.Field) < 0) items_.push_back(info);
}

void TcxGroupingFieldList::ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order)
{
    TcxSortingFieldList::ChangeSorting(field, order == soNone ? soAscending : order);
}

void TcxGroupingFieldList::ChangeGrouping(TcxCustomDataField* field, int index)
{
    const int present = Find(field);
    if (index < 0) {
        Delete(present);
    } else if (present < 0) {
        Insert(std::min(index, Count()), field, soAscending);
    } else {
        Move(present, std::min(index, Count() - 1));
    }
}

void TcxGroupingFieldList::UpdateSorting(const TcxSortingFieldList& sortingList)
{
    bool changed = false;
    for (TcxDataSortInfo& info : items_) {
        TcxDataSortOrder order = sortingList.SortOrderByField(info.Field);
        if (order == soNone) order = soAscending;
        if (info.SortOrder != order) {
            info.SortOrder = order;
            changed = true;
        }
    }
    if (changed) Changed();
}

// ---- notices -----------------------------------------------------------------

TcxSelectionChangedInfo::TcxSelectionChangedInfo(int row1, int row2)
{
    if (row1 != -1) rows_.push_back(row1);
    if (row2 != -1 && row2 != row1) rows_.push_back(row2);
}

int TcxSelectionChangedInfo::GetRowIndex(int index) const
{
    if (index < 0 || index >= GetCount()) TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
    return rows_[static_cast<std::size_t>(index)];
}

// ---- TcxDataFocusingInfo -----------------------------------------------------

void TcxDataFocusingInfo::Assign(const TcxDataFocusingInfo& source)
{
    Level = source.Level;
    PrevRecordIndex = source.PrevRecordIndex;
    RecordIndex = source.RecordIndex;
    RowIndex = source.RowIndex;
    Changed = false;
    Changed2 = false;
}

void TcxDataFocusingInfo::Clear()
{
    Level = -1;
    RecordIndex = -1;
    RowIndex = -1;
}

bool TcxDataFocusingInfo::IsEqual(const TcxDataFocusingInfo& other) const
{
    if (RecordIndex != other.RecordIndex || Level != other.Level) return false;
    return !info_->Changes().Contains(dcicSorting) || RowIndex == other.RowIndex;
}

void TcxDataFocusingInfo::ResetPos()
{
    Level = -1;
    RecordIndex = info_->DataController()->GetRecordIndex();
}

void TcxDataFocusingInfo::SavePos()
{
    if (RowIndex == -1) {
        Level = -1;
        RecordIndex = -1;
    } else {
        Level = info_->GetRowInfo(RowIndex).Level;
        RecordIndex = info_->DataController()->GetRecordIndex();
    }
    PrevRecordIndex = RecordIndex;
}

// ---- TcxDataSelection --------------------------------------------------------

void TcxDataSelection::Construct(TcxCustomDataController* controller)
{
    controller_ = controller;
}

void TcxDataSelection::Add(int position, int rowIndex, int level, int recordIndex)
{
    InternalAdd(position, rowIndex, level, recordIndex);
    Changed();
}

void TcxDataSelection::InternalAdd(int position, int rowIndex, int level, int recordIndex)
{
    const TcxDataSelectionInfo info{level, recordIndex, rowIndex};
    if (position < 0 || position > Count())
        items_.push_back(info);
    else
        items_.insert(items_.begin() + position, info);
}

void TcxDataSelection::Delete(int index)
{
    InternalDelete(index);
    Changed();
}

void TcxDataSelection::InternalDelete(int index)
{
    if (index < 0 || index >= Count()) return;
    if (items_[static_cast<std::size_t>(index)].RowIndex == anchorRowIndex_) anchorRowIndex_ = -1;
    items_.erase(items_.begin() + index);
}

void TcxDataSelection::Clear()
{
    InternalClear();
    Changed();
}

void TcxDataSelection::InternalClear()
{
    fields_.clear();
    items_.clear();
}

void TcxDataSelection::ClearAll()
{
    ClearAnchor();
    InternalClear();
    Changed();
}

bool TcxDataSelection::FindByRowIndex(int rowIndex, int& index) const
{
    const auto it = std::lower_bound(items_.begin(), items_.end(), rowIndex,
                                     [](const TcxDataSelectionInfo& info, int row) { return info.RowIndex < row; });
    index = static_cast<int>(it - items_.begin());
    return it != items_.end() && it->RowIndex == rowIndex;
}

bool TcxDataSelection::IsRowSelected(int rowIndex) const
{
    int index = 0;
    return FindByRowIndex(rowIndex, index);
}

int TcxDataSelection::FindByRecordIndex(int recordIndex) const
{
    for (int i = 0; i < Count(); ++i) {
        const TcxDataSelectionInfo& info = items_[static_cast<std::size_t>(i)];
        if (info.Level != -1 && info.RecordIndex == recordIndex) return i;
    }
    return -1;
}

int TcxDataSelection::FindByGroupIndex(int groupIndex) const
{
    for (int i = 0; i < Count(); ++i) {
        const TcxDataSelectionInfo& info = items_[static_cast<std::size_t>(i)];
        if (info.Level == -1 && info.RecordIndex == groupIndex) return i;
    }
    return -1;
}

void TcxDataSelection::Sort()
{
    // Row indexes are unique within a selection, so a plain sort is exact.
    std::sort(items_.begin(), items_.end(),
              [](const TcxDataSelectionInfo& a, const TcxDataSelectionInfo& b) { return a.RowIndex < b.RowIndex; });
}

void TcxDataSelection::CheckAfterFiltering()
{
    for (int i = Count() - 1; i >= 0; --i) {
        const TcxDataSelectionInfo& info = items_[static_cast<std::size_t>(i)];
        if (info.Level != -1 && controller_->GetFilteredIndexByRecordIndex(info.RecordIndex) == -1) InternalDelete(i);
    }
}

void TcxDataSelection::SetInternalCount(int count)
{
    count = std::max(count, 0);
    while (Count() > count) InternalDelete(Count() - 1);
    while (Count() < count) items_.push_back({0, Count(), Count()});
}

const TcxDataSelectionInfo& TcxDataSelection::Items(int index) const
{
    if (index < 0 || index >= Count()) TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
    return items_[static_cast<std::size_t>(index)];
}

TcxDataSelectionInfo& TcxDataSelection::ItemRef(int index)
{
    if (index < 0 || index >= Count()) TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
    return items_[static_cast<std::size_t>(index)];
}

// ---- TcxDataGroups -----------------------------------------------------------

void TcxDataGroups::Clear()
{
    fields_.clear();
    items_.clear();
    innermost_.clear();
    indexed_ = false;
    rowCount_ = 0;
}

TcxDataGroupInfo& TcxDataGroups::AddEmpty()
{
    items_.emplace_back();
    indexed_ = false;
    return items_.back();
}

TcxCustomDataField* TcxDataGroups::GetField(int index) const
{
    if (index < 0 || index >= GetFieldCount()) TcxCustomDataController::InvalidOperation(cxSDataItemIndexError);
    return fields_[static_cast<std::size_t>(index)];
}

const TcxDataGroupInfo& TcxDataGroups::GetItem(int index) const
{
    if (index < 0 || index >= GetItemCount()) TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
    return items_[static_cast<std::size_t>(index)];
}

TcxDataGroupInfo& TcxDataGroups::ItemRef(int index)
{
    if (index < 0 || index >= GetItemCount()) TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
    return items_[static_cast<std::size_t>(index)];
}

void TcxDataGroups::Number(int& index, int level, bool visible, int hiddenRow, int& counter)
{
    while (index < GetItemCount() && items_[static_cast<std::size_t>(index)].Level == level) {
        TcxDataGroupInfo& group = items_[static_cast<std::size_t>(index++)];
        group.RowIndex = visible ? counter : hiddenRow;
        if (visible) ++counter;
        if (level == InnermostLevel()) {
            if (visible && group.Expanded) counter += group.End - group.Begin + 1;
        } else {
            Number(index, level + 1, visible && group.Expanded, visible ? group.RowIndex : hiddenRow, counter);
        }
    }
}

void TcxDataGroups::Rebuild()
{
    int index = 0;
    int counter = 0;
    Number(index, 0, true, 0, counter);
    rowCount_ = GetItemCount() == 0 ? 0 : counter;
    innermost_.clear();
    for (int i = 0; i < GetItemCount(); ++i)
        if (items_[static_cast<std::size_t>(i)].Level == InnermostLevel()) innermost_.push_back(i);
    // Groups sorted by a summary no longer follow their positions.
    const auto byBegin = [this](int a, int b) {
        return items_[static_cast<std::size_t>(a)].Begin < items_[static_cast<std::size_t>(b)].Begin;
    };
    if (!std::is_sorted(innermost_.begin(), innermost_.end(), byBegin)) std::sort(innermost_.begin(), innermost_.end(), byBegin);
    indexed_ = true;
}

int TcxDataGroups::CompareGroups(const TcxDataGroupInfo& group1, const TcxDataGroupInfo& group2) const
{
    const auto element = [this](const TcxDataGroupInfo& group) {
        const Variant& values = group.SummaryValues;
        const bool valid = values.IsArray() && summaryIndex_ >= values.ArrayLowBound() && summaryIndex_ <= values.ArrayHighBound();
        return valid ? values[summaryIndex_] : Variant::Null();
    };
    const int result = VarCompare(element(group1), element(group2));
    return summarySortOrder_ == soDescending ? -result : result;
}

std::vector<int> TcxDataGroups::SortBySummary()
{
    if (items_.empty() || GetFieldCount() != 1) return {};
    std::vector<int> order(items_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    // Equal values keep the grouping order.
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return CompareGroups(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]) < 0;
    });
    std::vector<TcxDataGroupInfo> sorted;
    sorted.reserve(items_.size());
    for (const int index : order) sorted.push_back(std::move(items_[static_cast<std::size_t>(index)]));
    items_.swap(sorted);
    Rebuild();
    return order;
}

int TcxDataGroups::GetTopVisibleItem(int index) const
{
    const TcxDataGroupInfo& start = GetItem(index);
    int result = index;
    int level = start.Level;
    for (int i = index - 1; i >= 0 && level > 0; --i) {
        const TcxDataGroupInfo& group = items_[static_cast<std::size_t>(i)];
        if (group.Level >= level) continue;
        if (group.RowIndex != start.RowIndex) break;
        level = group.Level;
        if (!group.Expanded) result = i;
    }
    return result;
}

int TcxDataGroups::Find(int row, int& infoIndex) const
{
    const auto it = std::lower_bound(items_.begin(), items_.end(), row,
                                     [](const TcxDataGroupInfo& g, int r) { return g.RowIndex < r; });
    const int at = static_cast<int>(it - items_.begin());
    if (it != items_.end() && it->RowIndex == row) {
        infoIndex = GetTopVisibleItem(at);
        return infoIndex;
    }
    infoIndex = at - 1;
    return -1;
}

TcxRowInfo TcxDataGroups::GetRowInfo(int row) const
{
    int index = -1;
    TcxRowInfo info;
    if (Find(row, index) != -1) {
        const TcxDataGroupInfo& group = GetItem(index);
        info.Level = group.Level;
        info.Expanded = group.Expanded;
        int inner = index;
        while (GetItem(inner).Level < InnermostLevel()) ++inner;
        info.RecordIndex = GetItem(inner).Begin;
    } else {
        const TcxDataGroupInfo& group = GetItem(index);
        info.Level = GetFieldCount();
        info.Expanded = false;
        info.RecordIndex = row + group.Begin - group.RowIndex - 1;
    }
    return info;
}

int TcxDataGroups::GetIndexByRowIndexLevel(int row, int level) const
{
    int index = -1;
    Find(row, index);
    if (index < 0 || index >= GetItemCount()) return -1;
    if (level == -1) return index;
    if (GetItem(index).Level < level) {
        for (int i = index; i < GetItemCount(); ++i)
            if (items_[static_cast<std::size_t>(i)].Level == level) return i;
    } else {
        for (int i = index; i >= 0; --i)
            if (items_[static_cast<std::size_t>(i)].Level == level) return i;
    }
    return -1;
}

int TcxDataGroups::FindByIndex(int position, int level) const
{
    if (indexed_) {
        const auto it = std::upper_bound(innermost_.begin(), innermost_.end(), position,
                                         [this](int p, int g) { return p < items_[static_cast<std::size_t>(g)].Begin; });
        if (it == innermost_.begin()) return -1;
        int group = *(it - 1);
        if (position > items_[static_cast<std::size_t>(group)].End) return -1;
        while (group != -1 && items_[static_cast<std::size_t>(group)].Level != level) group = GetParentIndex(group);
        return group;
    }
    int last = -1;
    for (int i = 0; i < GetItemCount(); ++i) {
        const TcxDataGroupInfo& group = items_[static_cast<std::size_t>(i)];
        if (group.Level == level) last = i;
        if (group.Level == InnermostLevel() && group.Begin <= position && position <= group.End) return last;
    }
    return -1;
}

int TcxDataGroups::GetLevel(int index) const
{
    return index < 0 || index >= GetItemCount() ? -1 : items_[static_cast<std::size_t>(index)].Level;
}

int TcxDataGroups::GetParentIndex(int index) const
{
    const int level = GetLevel(index);
    if (level <= 0) return -1;
    for (int i = index - 1; i >= 0; --i)
        if (items_[static_cast<std::size_t>(i)].Level < level) return i;
    return -1;
}

int TcxDataGroups::GetChildCount(int index) const
{
    if (index == -1) {
        return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](const TcxDataGroupInfo& g) { return g.Level == 0; }));
    }
    if (index < 0 || index >= GetItemCount()) return 0;
    const TcxDataGroupInfo& group = items_[static_cast<std::size_t>(index)];
    if (group.Level == InnermostLevel()) return group.End - group.Begin + 1;
    int count = 0;
    for (int i = group.Begin; i <= group.End && i < GetItemCount(); ++i)
        if (items_[static_cast<std::size_t>(i)].Level == group.Level + 1) ++count;
    return count;
}

int TcxDataGroups::GetChildIndex(int index, int childIndex) const
{
    if (childIndex < 0) return -1;
    int begin = 0;
    int end = GetItemCount() - 1;
    int level = 0;
    if (index != -1) {
        if (index < 0 || index >= GetItemCount()) return -1;
        const TcxDataGroupInfo& group = items_[static_cast<std::size_t>(index)];
        if (group.Level == InnermostLevel() || childIndex > group.End - group.Begin) return -1;
        begin = group.Begin;
        end = group.End;
        level = group.Level + 1;
    }
    for (int i = begin; i <= end && i < GetItemCount(); ++i) {
        if (items_[static_cast<std::size_t>(i)].Level != level) continue;
        if (childIndex-- == 0) return i;
    }
    return -1;
}

int TcxDataGroups::GetChildRecordListIndex(int index, int childIndex) const
{
    if (index < 0 || index >= GetItemCount()) return -1;
    const TcxDataGroupInfo& group = items_[static_cast<std::size_t>(index)];
    if (group.Level != InnermostLevel() || childIndex < 0 || childIndex > group.End - group.Begin) return -1;
    return group.Begin + childIndex;
}

bool TcxDataGroups::MakeVisible(int index, bool expandSelf)
{
    bool changed = false;
    if (expandSelf && !GetItem(index).Expanded) {
        ItemRef(index).Expanded = true;
        changed = true;
    }
    for (int parent = GetParentIndex(index); parent != -1; parent = GetParentIndex(parent)) {
        if (!items_[static_cast<std::size_t>(parent)].Expanded) {
            items_[static_cast<std::size_t>(parent)].Expanded = true;
            changed = true;
        }
    }
    if (changed) Rebuild();
    return changed;
}

void TcxDataGroups::ChangeExpanding(int row, bool expanded, bool recursive)
{
    int index = -1;
    if (Find(row, index) == -1) return;
    TcxDataGroupInfo& group = ItemRef(index);
    group.Expanded = expanded;
    if (recursive && group.Level < InnermostLevel())
        for (int i = index + 1; i < GetItemCount() && items_[static_cast<std::size_t>(i)].Level > group.Level; ++i)
            items_[static_cast<std::size_t>(i)].Expanded = expanded;
    Rebuild();
}

void TcxDataGroups::FullExpanding(bool expanded)
{
    for (TcxDataGroupInfo& group : items_) group.Expanded = expanded;
    Rebuild();
}

// ---- TcxDataExpandingInfos ---------------------------------------------------

void TcxDataExpandingInfos::AddField(TcxCustomDataField* field)
{
    if (Find(field) != -1) TcxCustomDataController::InvalidOperation(cxSDataItemExistError);
    fields_.push_back(field);
    items_.clear();
}

void TcxDataExpandingInfos::AddItem(int level, const Variant& value, TcxDataExpandingInfoStateSet state)
{
    items_.push_back({level, value, state});
}

void TcxDataExpandingInfos::CheckField(TcxCustomDataField* field)
{
    if (Find(field) != -1) Clear();
}

void TcxDataExpandingInfos::Clear()
{
    fields_.clear();
    items_.clear();
    saveStates_ = {};
}

int TcxDataExpandingInfos::Find(const TcxCustomDataField* field) const
{
    const auto it = std::find(fields_.begin(), fields_.end(), field);
    return it == fields_.end() ? -1 : static_cast<int>(it - fields_.begin());
}

// ---- TcxCustomDataControllerInfo ---------------------------------------------

void TcxCustomDataControllerInfo::Construct(TcxCustomDataController* controller)
{
    controller_ = controller;
    selection_.reset(NewInstanceOf<TcxDataSelection>(controller->GetDataSelectionClass()));
    selection_->Construct(controller);
    selection_->OnChanged = TcxNoParamsEvent::Bind(this, &TcxCustomDataControllerInfo::SelectionChanged);
    sortingList_.OnChanged = TcxNoParamsEvent::Bind(this, &TcxCustomDataControllerInfo::SortingChanged);
    groupingList_.OnChanged = TcxNoParamsEvent::Bind(this, &TcxCustomDataControllerInfo::GroupingChanged);
}

void TcxCustomDataControllerInfo::Destroy()
{
    selection_.reset();
    TObject::Destroy();
}

void TcxCustomDataControllerInfo::EndUpdate()
{
    if (lockCount_ > 0) --lockCount_;
    CheckChanges();
}

void TcxCustomDataControllerInfo::CheckChanges()
{
    if (!changes_.Empty() && lockCount_ == 0) Update();
}

void TcxCustomDataControllerInfo::Refresh()
{
    changes_.Include(dcicLoad);
    if (!controller_->LockOnAfterSummary()) changes_.Include(dcicSummary);
    if (sortingList_.Count() > 0) changes_.Include(dcicSorting);
    if (groupingList_.Count() > 0) changes_.Include(dcicGrouping);
    CheckChanges();
}

void TcxCustomDataControllerInfo::RefreshFocused()
{
    changes_.Include(dcicResetFocusedRow);
    focusingInfo_.ResetPos();
    CheckChanges();
}

void TcxCustomDataControllerInfo::RefreshSummary(bool redrawOnly)
{
    changes_.Include(redrawOnly ? dcicView : dcicSummary);
    CheckChanges();
}

void TcxCustomDataControllerInfo::FocusedRecordChanged(bool newItemRowChanged)
{
    changes_.Include(dcicFocusedRecord);
    if (newItemRowChanged) prevFocusingInfo_.Changed = true;
}

void TcxCustomDataControllerInfo::GroupingChanged()
{
    changes_ = changes_ + TcxDataControllerInfoChanges{dcicGrouping, dcicSorting, dcicSummary};
}

void TcxCustomDataControllerInfo::SelectionChanged()
{
    changes_.Include(dcicSelection);
    if (controller_->Summary().Options().Contains(soSelectedRecords)) changes_.Include(dcicSummary);
}

void TcxCustomDataControllerInfo::RemoveField(TcxCustomDataField* field)
{
    sortingList_.Remove(field);
    if (groupingList_.Find(field) >= 0) selection_->Clear();
    groupingList_.Remove(field);
    groupingList_.UpdateSorting(sortingList_);
    totalSortingList_.Remove(field);
    expandingInfos_.CheckField(field);
    CheckChanges();
}

void TcxCustomDataControllerInfo::UpdateField(TcxCustomDataField* field)
{
    changes_.Include(dcicView);
    sortingList_.CheckField(field);
    groupingList_.CheckField(field);
    if (groupingList_.Find(field) >= 0) selection_->Clear();
    expandingInfos_.CheckField(field);
    CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order)
{
    sortingList_.ChangeSorting(field, order);
    groupingList_.UpdateSorting(sortingList_);
    CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeSortIndex(TcxCustomDataField* field, int index)
{
    const int present = sortingList_.Find(field);
    if (present >= 0 && sortingList_.Count() > 0) sortingList_.Move(present, std::clamp(index, 0, sortingList_.Count() - 1));
    CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSorting(bool keepGroupedItems)
{
    if (keepGroupedItems) {
        for (int i = sortingList_.Count() - 1; i >= 0; --i)
            if (groupingList_.Find(sortingList_.Items(i).Field) < 0) sortingList_.Delete(i);
    } else {
        sortingList_.Clear();
    }
    groupingList_.UpdateSorting(sortingList_);
    CheckChanges();
}

void TcxCustomDataControllerInfo::CheckRowIndex(int row) const
{
    if (row < 0 || row >= GetRowCount()) TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
}

TcxRowInfo TcxCustomDataControllerInfo::GetRowInfo(int row) const
{
    CheckRowIndex(row);
    if (!IsGrouped()) return TcxRowInfo{false, 0, recordList_[static_cast<std::size_t>(row)]};
    TcxRowInfo info = groups_.GetRowInfo(row);
    info.RecordIndex = GetInternalRecordIndex(info.RecordIndex);
    return info;
}

int TcxCustomDataControllerInfo::GetRowIndexByRecordIndex(int recordIndex, bool makeVisible)
{
    const int position = GetInternalRecordListIndex(recordIndex);
    if (position == -1 || !IsGrouped()) return position;
    const int group = FindDataGroup(position);
    if (group == -1) return -1;
    const int row = LocateDetail(group, position, makeVisible);
    if (makeVisible && expanding_) CheckChanges();
    return row;
}

int TcxCustomDataControllerInfo::FindDataGroup(int position) const
{
    return groups_.FindByIndex(position, groups_.InnermostLevel());
}

int TcxCustomDataControllerInfo::LocateDetail(int groupIndex, int position, bool makeVisible)
{
    const TcxDataGroupInfo& group = groups_.GetItem(groupIndex);
    if (!makeVisible) {
        if (!groups_.IsVisible(groupIndex) || !group.Expanded) return -1;
    } else if (groups_.MakeVisible(groupIndex, true)) {
        ExpandingChanged();
    }
    return position + groups_.GetItem(groupIndex).RowIndex - groups_.GetItem(groupIndex).Begin + 1;
}

int TcxCustomDataControllerInfo::LocateGroupByLevel(int groupIndex, int level)
{
    int current = groupIndex;
    for (;;) {
        const int parent = groups_.GetParentIndex(current);
        if (parent == -1 || current != parent + 1 || groups_.GetLevel(current) == level) break;
        current = parent;
    }
    if (groups_.MakeVisible(current, false)) ExpandingChanged();
    return groups_.GetItem(current).RowIndex;
}

int TcxCustomDataControllerInfo::GetNearestRowIndex(int row) const
{
    CheckRowIndex(row);
    const int count = GetRowCount();
    if (!IsGrouped()) {
        if (row + 1 < count) return row + 1;
        return row > 0 ? row - 1 : row;
    }
    const int level = GetRowInfo(row).Level;
    if (row + 1 < count && GetRowInfo(row + 1).Level == level) return row + 1;
    if (row > 0 && GetRowInfo(row - 1).Level == level) return row - 1;
    if (row == count - 1) return row > 0 ? row - 1 : row;
    return row + 1;
}

int TcxCustomDataControllerInfo::GetInternalRecordIndex(int position) const
{
    if (position < 0 || position >= static_cast<int>(recordList_.size()))
        TcxCustomDataController::InvalidOperation(cxSDataRowIndexError);
    return recordList_[static_cast<std::size_t>(position)];
}

int TcxCustomDataControllerInfo::GetInternalRecordListIndex(int recordIndex) const
{
    if (recordIndex < 0 || recordIndex >= static_cast<int>(positions_.size())) return -1;
    return positions_[static_cast<std::size_t>(recordIndex)];
}

int TcxCustomDataControllerInfo::GetFocusedRecordIndex() const
{
    const int row = focusingInfo_.RowIndex;
    return row >= 0 && row < GetRowCount() ? GetRowInfo(row).RecordIndex : -1;
}

bool TcxCustomDataControllerInfo::SetFocusedRowIndex(int row)
{
    const bool allowed = DoChangeFocusedRow(row, false);
    CheckChanges();
    return allowed;
}

void TcxCustomDataControllerInfo::CorrectFocusedRow(int row)
{
    focusingInfo_.Clear();
    DoChangeFocusedRow(row, false);
}

bool TcxCustomDataControllerInfo::CanFocusedRowChanging(int row)
{
    return controller_->CanFocusRecord(row == -1 ? -1 : GetRowInfo(row).RecordIndex);
}

void TcxCustomDataControllerInfo::ChangeRowSelection(int row, bool selected)
{
    CheckRowIndex(row);
    int index = 0;
    const bool found = selection_->FindByRowIndex(row, index);
    if (found && !selected) {
        selection_->Delete(index);
    } else if (!found && selected && controller_->CanSelectRow(row)) {
        const TcxRowInfo info = GetRowInfo(row);
        if (IsGrouped() && info.Level < groups_.GetFieldCount())
            selection_->Add(index, row, -1, groups_.GetIndexByRowIndex(row));
        else
            selection_->Add(index, row, info.Level, info.RecordIndex);
    }
    CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSelection()
{
    selection_->Clear();
    CheckChanges();
}

void TcxCustomDataControllerInfo::ClearSelectionAnchor()
{
    selection_->ClearAnchor();
}

bool TcxCustomDataControllerInfo::IsRowSelected(int row) const
{
    CheckRowIndex(row);
    return selection_->IsRowSelected(row);
}

void TcxCustomDataControllerInfo::TruncateSelection()
{
    if (selection_->Count() == 0) return;
    const int recordCount = controller_->GetRecordCount();
    if (recordCount == 0) {
        selection_->Clear();
        return;
    }
    if (controller_->InDeleteSelection() && !controller_->IsLoading()) return;
    if (controller_->IsKeyNavigation() && !controller_->IsSmartRefresh()) return;
    // A window of records: what lies beyond it is still selected.
    if (controller_->IsGridMode()) return;
    bool changed = false;
    for (int i = selection_->Count() - 1; i >= 0; --i) {
        if (selection_->Items(i).RecordIndex >= recordCount) {
            selection_->Delete(i);
            changed = true;
        }
    }
    if (changed) CheckChanges();
}

void TcxCustomDataControllerInfo::Update()
{
    if (lockCount_ != 0 || changes_.Empty()) return;
    // Changes raised while this update runs are added to the pending set
    // and delivered by the update that follows.
    ++lockCount_;
    const bool summary = changes_.Contains(dcicSummary);
    ScopeGuard finish([this, summary] {
        --lockCount_;
        expandingInfos_.Clear();
        if (expanding_ || changes_.Contains(dcicExpanding)) RecalcSelection();
        expanding_ = false;
        if (changes_.Contains(dcicSorting) || changes_.Contains(dcicExpanding)) controller_->CorrectPrevSelectionChangedInfo();
        // A failing summary event must not keep the changes from being delivered.
        ScopeGuard forward([this] { ForwardChanges(); });
        if (summary) DoSummary();
    });
    controller_->CheckMode();
    SaveInfo();
    if (changes_.Contains(dcicLoad)) {
        DoLoad();
        DoFilter();
    }
    const bool grouping = changes_.Contains(dcicGrouping);
    if (grouping || changes_.Contains(dcicSorting)) {
        // The sort's keys serve the grouping after it too.
        ScopeGuard dropKeys([this] { sortKeys_.Clear(); });
        DoSort();
        if (grouping) DoGrouping();
    }
    if (grouping || changes_.Contains(dcicSorting)) ResetFocusing();
    CheckExpanding();
    CheckFocusing();
    controller_->CheckBookmarkValid(-1);
}

void TcxCustomDataControllerInfo::DoSummary()
{
    const hostlib::TComponent* owner = controller_->Owner();
    if (controller_->IsDestroying() || (owner && owner->ComponentState().Contains(hostlib::csReading))) return;
    controller_->Summary().Calculate();
    if (controller_->IsSortBySummary()) controller_->DoSortBySummary();
}

void TcxCustomDataControllerInfo::SortGroupsBySummary(int summaryIndex, TcxDataSortOrder order)
{
    groups_.SetSummarySort(summaryIndex, order);
    const std::vector<int> oldIndexes = groups_.SortBySummary();
    if (oldIndexes.empty()) return;
    std::vector<int> newIndex(oldIndexes.size());
    std::vector<Variant> values(oldIndexes.size());
    for (std::size_t i = 0; i < oldIndexes.size(); ++i) {
        const auto old = static_cast<std::size_t>(oldIndexes[i]);
        newIndex[old] = static_cast<int>(i);
        if (old < groupValues_.size()) values[i] = groupValues_[old];
    }
    if (groupValues_.size() == oldIndexes.size()) groupValues_.swap(values);
    for (int i = 0; i < selection_->Count(); ++i) {
        TcxDataSelectionInfo& entry = selection_->ItemRef(i);
        if (entry.Level == -1 && entry.RecordIndex >= 0 && entry.RecordIndex < static_cast<int>(newIndex.size()))
            entry.RecordIndex = newIndex[static_cast<std::size_t>(entry.RecordIndex)];
    }
    RecalcSelection();
    // The focused record keeps the focus in its new row.
    if (focusingInfo_.RowIndex != -1) focusingInfo_.RowIndex = std::clamp(FindFocusedRow(false), -1, GetRowCount() - 1);
    changes_.Include(dcicView);
}

void TcxCustomDataControllerInfo::ForwardChanges()
{
    TcxDataControllerChanges result;
    const TcxDataControllerInfoChanges c = changes_;
    changes_ = {};
    if (c.Contains(dcicView) || c.Contains(dcicSorting)) result.Include(dccLayout);
    if (c.Contains(dcicExpanding) || c.Contains(dcicLoad) || c.Contains(dcicGrouping)) result.Include(dccData);
    if (c.Contains(dcicFocusedRow) || c.Contains(dcicResetFocusedRow) || c.Contains(dcicFocusedRecord))
        result.Include(dccFocus);
    if (c.Contains(dcicSelection)) result.Include(dccSelection);
    if (c.Contains(dcicSummary)) result.Include(dccSummary);
    if (controller_->GroupingChangedFlag()) result.Include(dccGrouping);
    if (controller_->SortingChangedFlag()) result.Include(dccSorting);
    controller_->ClearUpdateFlags();
    controller_->Change(result);
}

void TcxCustomDataControllerInfo::DoLoad()
{
    const int count = controller_->GetRecordCount();
    recordList_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) recordList_[static_cast<std::size_t>(i)] = i;
    RebuildPositions();
}

void TcxCustomDataControllerInfo::DoFilter()
{
    TcxCustomDataController& c = *controller_;
    const bool byEvent = c.IsFilterRecord() && !c.IsGridMode();
    const bool byIncremental = c.IsIncrementalFilter();
    const bool byCriteria = c.Filter().IsFiltering();
    if (!byEvent && !byIncremental && !byCriteria) return;
    const std::size_t oldCount = recordList_.size();
    const int editing = c.Provider().EditingRecordIndex();
    // Asked from the last record to the first; the first failing test
    // decides; the survivors keep their order.
    std::vector<bool> keep(recordList_.size(), true);
    for (int position = static_cast<int>(recordList_.size()) - 1; position >= 0; --position) {
        const int record = recordList_[static_cast<std::size_t>(position)];
        if (record == editing) continue;
        const bool passes = (!byEvent || c.DoFilterRecord(record)) && (!byIncremental || c.DoIncrementalFilterRecord(record)) &&
                            (!byCriteria || c.Filter().DoFilterRecord(record));
        if (!passes) keep[static_cast<std::size_t>(position)] = false;
    }
    std::size_t kept = 0;
    for (std::size_t position = 0; position < recordList_.size(); ++position)
        if (keep[position]) recordList_[kept++] = recordList_[position];
    recordList_.resize(kept);
    if (recordList_.size() == oldCount) return;
    RebuildPositions();
    selection_->CheckAfterFiltering();
    if (controller_->CheckFocusingAfterFilterNeeded()) {
        controller_->SetCheckFocusingAfterFilterNeeded(false);
        controller_->SetFilterChangedFlag(true);
    }
}

void TcxCustomDataControllerInfo::DoSort()
{
    totalSortingList_.Clear();
    totalSortingList_.AppendFrom(groupingList_);
    totalSortingList_.AppendFrom(sortingList_);
    // With no entries left the rows return to record order (the anchors of
    // an edited record still apply), rather than keeping a stale order.
    if (controller_->IsGridMode() || recordList_.size() < 2) return;
    PrepareSorting();
    ScopeGuard unprepare([this] { UnprepareSorting(); });
    if (controller_->IsProviderMode() && controller_->Provider().IsCustomSorting()) {
        controller_->Provider().CustomSort();
        return;
    }
    BuildSortKeys();
    QuickSort(recordList_, 0, static_cast<int>(recordList_.size()) - 1,
              [this](int r1, int r2) { return CompareRecords(r1, r2); });
    RebuildPositions();
}

void TcxCustomDataControllerInfo::BuildSortKeys()
{
    sortKeys_.Clear();
    for (int level = 0; level < totalSortingList_.Count(); ++level) {
        TcxCustomDataField* field = totalSortingList_.Items(level).Field;
        sortKeys_.AddLevel(recordList_, controller_->GetRecordCount(),
                           [this, field](int record, std::string& key) { return controller_->GetSortKey(record, field, key); });
    }
}

void TcxCustomDataControllerInfo::RebuildPositions()
{
    positions_.assign(static_cast<std::size_t>(controller_->GetRecordCount()), -1);
    for (std::size_t p = 0; p < recordList_.size(); ++p) {
        const int record = recordList_[p];
        if (record >= 0 && record < static_cast<int>(positions_.size()))
            positions_[static_cast<std::size_t>(record)] = static_cast<int>(p);
    }
}

void TcxCustomDataControllerInfo::PrepareSorting()
{
    for (int i = 0; i < totalSortingList_.Count(); ++i) {
        TcxCustomDataField* field = totalSortingList_.Items(i).Field;
        field->SetCompareMarker(0);
        int marker = -1;
        if (controller_->IsConversionNeededForCompare(field)) marker = controller_->IsSortByDisplayTextNeeded(field) ? 2 : 1;
        field->SetCompareMarker(marker);
    }
}

void TcxCustomDataControllerInfo::UnprepareSorting()
{
    for (int i = 0; i < totalSortingList_.Count(); ++i) totalSortingList_.Items(i).Field->SetCompareMarker(0);
}

int TcxCustomDataControllerInfo::CompareRecords(int r1, int r2)
{
    if (r1 == r2) return 0;
    const TcxCustomDataProvider& provider = controller_->Provider();
    if (provider.HasAnchor()) {
        const int editing = provider.EditingRecordIndex();
        if (r1 == editing || r2 == editing) {
            if (provider.AfterAllAnchor() != cxNullEditingRecordIndex) return r1 == editing ? 1 : -1;
            const int before = provider.BeforeRecordAnchor();
            if (r1 == editing) {
                if (r2 == before) return -1;
                r1 = before;
            } else {
                if (r1 == before) return 1;
                r2 = before;
            }
            if (r1 == r2) return 0;
        }
    }
    for (int level = 0; level < totalSortingList_.Count(); ++level) {
        const int result = CompareGroupRecords(r1, r2, level);
        if (result != 0) return result;
    }
    return controller_->CompareEqualRecords(r1, r2);
}

void TcxCustomDataControllerInfo::ResetFocusing()
{
    if (controller_->InNotifyControl() || !controller_->Options().Contains(dcoFocusTopRowAfterSorting)) return;
    if (!controller_->GroupingChangedFlag() && !controller_->SortingChangedFlag() && !controller_->StorageLoadedOnActivation())
        return;
    focusingInfo_.Clear();
    DoChangeFocusedRow(0, false);
    if (selection_->Count() > 0) selection_->ClearAll();
}

int TcxCustomDataControllerInfo::FindFocusedRow(bool afterCollapse)
{
    if (focusingInfo_.RecordIndex == -1) return -1;
    const int position = GetInternalRecordListIndex(focusingInfo_.RecordIndex);
    if (position == -1 || !IsGrouped()) return position;
    const int group = FindDataGroup(position);
    if (group == -1) return -1;
    int level = focusingInfo_.Level;
    const int dataLevel = groups_.GetFieldCount();
    if (!afterCollapse) {
        const bool firstOfGroup = groups_.GetItem(group).Begin == position;
        if (level != -1 && level != dataLevel && firstOfGroup) return LocateGroupByLevel(group, level);
        if (level == -1 && firstOfGroup) return LocateGroupByLevel(group, -1);
        return LocateDetail(group, position, true);
    }
    if (level == dataLevel && groups_.IsVisible(group) && groups_.GetItem(group).Expanded)
        return LocateDetail(group, position, false);
    if (level == dataLevel) --level;
    if (level < 0) return groups_.GetItem(groups_.GetTopVisibleItem(group)).RowIndex;
    for (int g = group; g != -1; g = groups_.GetParentIndex(g))
        if (groups_.GetLevel(g) == level) return groups_.GetItem(g).RowIndex;
    return -1;
}

void TcxCustomDataControllerInfo::CheckAfterCollapsing()
{
    const int row = FindFocusedRow(true);
    if (row != focusingInfo_.RowIndex) DoChangeFocusedRow(row, false);
}

void TcxCustomDataControllerInfo::CheckFocusing()
{
    const int newRow = FindFocusedRow(false);
    const int stored = focusingInfo_.RowIndex;
    if (newRow != stored) {
        const bool storedInvalid = stored < 0 || stored >= GetRowCount();
        if (storedInvalid || GetRowInfo(stored).RecordIndex != focusingInfo_.RecordIndex) DoChangeFocusedRow(newRow, true);
    }
    if (changes_.Contains(dcicFocusedRow) && prevFocusingInfo_.RowIndex >= GetRowCount()) prevFocusingInfo_.RowIndex = -1;
    if (controller_->FilterChangedFlag() && focusingInfo_.RowIndex == -1 && !controller_->GetNewItemRowFocused()) {
        controller_->SetFilterChangedFlag(false);
        if (controller_->Provider().LocateCount() == 0) CorrectFocusedRow(0);
    }
}

bool TcxCustomDataControllerInfo::DoChangeFocusedRow(int row, bool noCheck)
{
    row = std::clamp(row, -1, GetRowCount() - 1);
    if (row == focusingInfo_.RowIndex) return true;
    focusing_ = true;
    ScopeGuard clearFocusing([this] { focusing_ = false; });
    if (!changes_.Contains(dcicFocusedRow)) prevFocusingInfo_.Assign(focusingInfo_);
    bool allowed = false;
    ScopeGuard settle([&] {
        if (focusingInfo_.RowIndex >= GetRowCount()) focusingInfo_.RowIndex = -1;
        if (prevFocusingInfo_.RowIndex >= GetRowCount()) prevFocusingInfo_.RowIndex = -1;
        if (prevFocusingInfo_.RowIndex != -1 || allowed) {
            focusingInfo_.SavePos();
            if (focusingInfo_.RowIndex != -1 && GetFocusedRecordIndex() != focusingInfo_.RecordIndex)
                focusingInfo_.RowIndex = std::clamp(FindFocusedRow(false), -1, GetRowCount() - 1);
        }
        if (!focusingInfo_.IsEqual(prevFocusingInfo_)) {
            changes_.Include(dcicFocusedRow);
            changes_.Include(dcicFocusedRecord);
            if (controller_->IsFocusedSelectedMode() && controller_->Summary().Options().Contains(soSelectedRecords))
                changes_.Include(dcicSummary);
            controller_->ResetNewItemRowFocused();
            controller_->SyncSelected(true);
        }
    });
    allowed = noCheck || CanFocusedRowChanging(row);
    if (allowed) {
        controller_->DoBeforeFocusedRowChange(row);
        focusingInfo_.RowIndex = row;
    }
    return allowed;
}

// ---- row engine: grouping and expansion --------------------------------------

namespace {
// The position of the first record under a group.
int FirstPositionOf(const TcxDataGroups& groups, int index)
{
    while (groups.GetLevel(index) < groups.InnermostLevel()) ++index;
    return groups.GetItem(index).Begin;
}
} // namespace

bool TcxCustomDataControllerInfo::IsAlwaysExpanded() const
{
    return controller_->Options().Contains(dcoGroupsAlwaysExpanded);
}

void TcxCustomDataControllerInfo::ExpandingChanged()
{
    changes_.Include(dcicExpanding);
    expanding_ = true;
}

void TcxCustomDataControllerInfo::ChangeGrouping(TcxCustomDataField* field, int index)
{
    groupingList_.ChangeGrouping(field, index);
    groupingList_.UpdateSorting(sortingList_);
    CheckChanges();
}

void TcxCustomDataControllerInfo::ClearGrouping()
{
    groupingList_.Clear();
    CheckChanges();
}

void TcxCustomDataControllerInfo::ChangeExpanding(int row, bool expanded, bool recursive)
{
    CheckRowIndex(row);
    if (!IsGrouped() || IsAlwaysExpanded()) return;
    const int focused = focusingInfo_.RowIndex;
    if (!expanded && focused != -1 && controller_->Groups().HasAsParent(focused, row)) controller_->CheckBrowseMode();
    groups_.ChangeExpanding(row, expanded, recursive);
    ExpandingChanged();
    UpdateBracket bracket(*controller_);
    if (!expanded) CheckAfterCollapsing();
}

void TcxCustomDataControllerInfo::FullCollapse()
{
    if (!IsGrouped() || IsAlwaysExpanded()) return;
    groups_.FullExpanding(false);
    ExpandingChanged();
    UpdateBracket bracket(*controller_);
    CheckAfterCollapsing();
}

void TcxCustomDataControllerInfo::FullExpand()
{
    if (!IsGrouped() || IsAlwaysExpanded()) return;
    groups_.FullExpanding(true);
    ExpandingChanged();
    CheckChanges();
}

int TcxCustomDataControllerInfo::CompareGroupRecords(int recordIndex1, int recordIndex2, int level)
{
    const TcxDataSortInfo& sortInfo = totalSortingList_.Items(level);
    if (!sortKeys_.Has(level, recordIndex1, recordIndex2))
        return controller_->CompareRecords(recordIndex1, recordIndex2, sortInfo);
    const int result = sortKeys_.Compare(level, recordIndex1, recordIndex2);
    return sortInfo.SortOrder == soDescending ? -result : result;
}

void TcxCustomDataControllerInfo::DoGrouping()
{
    groups_.Clear();
    groupValues_.clear();
    for (int i = 0; i < groupingList_.Count(); ++i) groups_.AddField(groupingList_.Items(i).Field);
    const int levels = groups_.GetFieldCount();
    const int count = static_cast<int>(recordList_.size());
    if (count == 0 || levels == 0) {
        groups_.Rebuild();
        return;
    }
    PrepareSorting();
    ScopeGuard unprepare([this] { UnprepareSorting(); });
    std::vector<int> open(static_cast<std::size_t>(levels), -1);
    std::vector<int> reference(static_cast<std::size_t>(levels), -1);
    const auto openGroups = [&](int fromLevel, int position) {
        for (int level = fromLevel; level < levels; ++level) {
            const int index = groups_.GetItemCount();
            TcxDataGroupInfo& group = groups_.AddEmpty();
            group.Level = level;
            group.Begin = level == levels - 1 ? position : index + 1;
            open[static_cast<std::size_t>(level)] = index;
            reference[static_cast<std::size_t>(level)] = recordList_[static_cast<std::size_t>(position)];
        }
    };
    const auto closeGroups = [&](int fromLevel, int lastPosition) {
        for (int level = levels - 1; level >= fromLevel; --level) {
            TcxDataGroupInfo& group = groups_.ItemRef(open[static_cast<std::size_t>(level)]);
            group.End = level == levels - 1 ? lastPosition : groups_.GetItemCount() - 1;
        }
    };
    openGroups(0, 0);
    for (int position = 1; position < count; ++position) {
        const int record = recordList_[static_cast<std::size_t>(position)];
        for (int level = 0; level < levels; ++level) {
            if (CompareGroupRecords(reference[static_cast<std::size_t>(level)], record, level) != 0) {
                closeGroups(level, position - 1);
                openGroups(level, position);
                break;
            }
        }
    }
    closeGroups(0, count - 1);
    groups_.Rebuild();
    // Each group's value as it was grouped: expansion is saved and found
    // again by it, also after records moved to other indexes.
    groupValues_.resize(static_cast<std::size_t>(groups_.GetItemCount()));
    for (int i = 0; i < groups_.GetItemCount(); ++i) {
        const int record = recordList_[static_cast<std::size_t>(FirstPositionOf(groups_, i))];
        groupValues_[static_cast<std::size_t>(i)] = controller_->GetComparedValue(record, groups_.GetField(groups_.GetLevel(i)));
    }
}

void TcxCustomDataControllerInfo::SaveInfo()
{
    TcxDataExpandingInfoStateSet states;
    if (controller_->Options().Contains(dcoSaveExpanding)) {
        const bool loadOrGrouping = changes_.Contains(dcicLoad) || changes_.Contains(dcicGrouping);
        if (loadOrGrouping) states.Include(eisExpanded);
        if (selection_->Count() > 0 &&
            (loadOrGrouping || changes_.Contains(dcicSorting) || changes_.Contains(dcicExpanding)))
            states.Include(eisSelected);
    }
    SaveExpanding(states);
}

void TcxCustomDataControllerInfo::SaveExpanding(TcxDataExpandingInfoStateSet states)
{
    if (states == expandingInfos_.SaveStates() && !states.Empty()) return;
    bool sameFields = groups_.GetFieldCount() == groupingList_.Count();
    for (int i = 0; sameFields && i < groupingList_.Count(); ++i)
        sameFields = groups_.GetField(i) == groupingList_.Items(i).Field;
    expandingInfos_.Clear();
    expandingInfos_.SetSaveStates(states);
    if (states.Empty() || !sameFields || controller_->GetRecordCount() == 0) return;
    for (int i = 0; i < groups_.GetFieldCount(); ++i) expandingInfos_.AddField(groups_.GetField(i));
    if (!IsGrouped()) return;
    const bool saveSelected = states.Contains(eisSelected);
    int depth = 0;
    for (int i = 0; i < groups_.GetItemCount(); ++i) {
        const TcxDataGroupInfo& group = groups_.GetItem(i);
        if (group.Level > depth) continue;
        depth = group.Level;
        const bool selected = saveSelected && selection_->FindByGroupIndex(i) != -1;
        TcxDataExpandingInfoStateSet state;
        if (group.Expanded) {
            if (!IsAlwaysExpanded()) state.Include(eisExpanded);
            depth = group.Level + 1;
        }
        if (selected) state.Include(eisSelected);
        if (state.Empty() || i >= static_cast<int>(groupValues_.size())) continue;
        expandingInfos_.AddItem(group.Level, groupValues_[static_cast<std::size_t>(i)], state);
    }
}

bool TcxCustomDataControllerInfo::SameGroupValue(TcxCustomDataField* field, const Variant& a, const Variant& b)
{
    if (hostlib::VarIsStr(a) && hostlib::VarIsStr(b) && controller_->IsStringConversionNeeded(field))
        return controller_->CompareTexts(a.AsString(), b.AsString()) == 0;
    return VarCompare(a, b) == 0;
}

int TcxCustomDataControllerInfo::LocateSavedGroup(int level, const std::vector<Variant>& values)
{
    int parent = -1;
    for (int l = 0; l <= level; ++l) {
        TcxCustomDataField* field = groups_.GetField(l);
        int found = -1;
        const int children = groups_.GetChildCount(parent);
        for (int c = 0; c < children && found == -1; ++c) {
            const int g = groups_.GetChildIndex(parent, c);
            if (g == -1 || g >= static_cast<int>(groupValues_.size())) break;
            if (SameGroupValue(field, groupValues_[static_cast<std::size_t>(g)], values[static_cast<std::size_t>(l)])) found = g;
        }
        if (found == -1) return -1;
        parent = found;
    }
    return parent;
}

void TcxCustomDataControllerInfo::CheckExpanding()
{
    if (IsGrouped() && IsAlwaysExpanded()) groups_.FullExpanding(true);
    const TcxDataExpandingInfoStateSet states = expandingInfos_.SaveStates();
    if (!states.Empty()) {
        bool sameFields = expandingInfos_.GetFieldCount() == groups_.GetFieldCount();
        for (int i = 0; sameFields && i < groups_.GetFieldCount(); ++i)
            sameFields = expandingInfos_.GetField(i) == groups_.GetField(i);
        if (sameFields) {
            const int dataLevel = groups_.GetFieldCount();
            for (int i = selection_->Count() - 1; i >= 0; --i)
                if (selection_->Items(i).Level != dataLevel) selection_->Delete(i);
            if (IsGrouped()) {
                std::vector<Variant> values(static_cast<std::size_t>(dataLevel));
                for (int i = 0; i < expandingInfos_.GetCount(); ++i) {
                    const TcxDataExpandingInfo& entry = expandingInfos_.GetItem(i);
                    if (entry.Level < 0 || entry.Level >= dataLevel) continue;
                    values[static_cast<std::size_t>(entry.Level)] = entry.Value;
                    const int g = LocateSavedGroup(entry.Level, values);
                    if (g == -1) continue;
                    if (states.Contains(eisExpanded) && entry.State.Contains(eisExpanded)) groups_.ItemRef(g).Expanded = true;
                    if (entry.State.Contains(eisSelected)) selection_->Add(-1, -1, -1, g);
                }
                groups_.Rebuild();
                RecalcSelection();
            } else if (states.Contains(eisSelected) && !controller_->IsGridMode()) {
                RecalcSelection();
            }
        } else if (states.Contains(eisSelected)) {
            selection_->Clear();
        }
    }
    const int anchor = selection_->AnchorRowIndex();
    if (anchor != -1 && !selection_->IsRowSelected(anchor)) selection_->ClearAnchor();
}

void TcxCustomDataControllerInfo::RecalcSelection()
{
    for (int i = selection_->Count() - 1; i >= 0; --i) {
        TcxDataSelectionInfo& entry = selection_->ItemRef(i);
        if (entry.Level == -1) {
            const bool valid = entry.RecordIndex >= 0 && entry.RecordIndex < groups_.GetItemCount() &&
                               groups_.IsVisible(entry.RecordIndex);
            entry.RowIndex = valid ? groups_.GetItem(entry.RecordIndex).RowIndex : -1;
        } else {
            entry.RowIndex = entry.RecordIndex >= 0 && entry.RecordIndex < controller_->GetRecordCount()
                                 ? GetRowIndexByRecordIndex(entry.RecordIndex, false)
                                 : -1;
        }
        // A row that is hidden or gone leaves the selection.
        if (entry.RowIndex == -1) selection_->Delete(i);
    }
    selection_->Sort();
}

// ---- TcxDataControllerGroups -------------------------------------------------

TcxCustomDataControllerInfo& TcxDataControllerGroups::Info() const
{
    return controller_->DataControllerInfo();
}

const TcxDataGroups& TcxDataControllerGroups::Groups() const
{
    return Info().DataGroups();
}

void TcxDataControllerGroups::ChangeGrouping(int itemIndex, int groupIndex)
{
    TcxCustomDataField* field = controller_->GetField(itemIndex);
    const int current = Info().GroupingFieldList().GroupIndexByField(field);
    if (current == groupIndex || (current == -1 && groupIndex < 0)) return;
    controller_->BeforeSorting();
    controller_->SetGroupingChangedFlag();
    Info().ChangeGrouping(field, groupIndex);
}

void TcxDataControllerGroups::ClearGrouping()
{
    if (GetGroupingItemCount() > 0) {
        controller_->BeforeSorting();
        controller_->SetGroupingChangedFlag();
    }
    Info().ClearGrouping();
}

void TcxDataControllerGroups::ChangeExpanding(int rowIndex, bool expanded, bool recursive)
{
    Info().ChangeExpanding(rowIndex, expanded, recursive);
}

void TcxDataControllerGroups::FullCollapse()
{
    Info().FullCollapse();
}

void TcxDataControllerGroups::FullExpand()
{
    Info().FullExpand();
}

int TcxDataControllerGroups::GetGroupingItemCount() const
{
    return Info().GroupingFieldList().Count();
}

int TcxDataControllerGroups::GetGroupingItemIndex(int index) const
{
    return controller_->GetItemIndexByField(Info().GroupingFieldList().Items(index).Field);
}

int TcxDataControllerGroups::GetItemGroupIndex(int itemIndex) const
{
    return Info().GroupingFieldList().GroupIndexByField(controller_->GetField(itemIndex));
}

int TcxDataControllerGroups::GetDataGroupIndexByRowIndex(int rowIndex) const
{
    Info().CheckRowIndex(rowIndex);
    return Info().IsGrouped() ? Groups().GetIndexByRowIndex(rowIndex) : -1;
}

int TcxDataControllerGroups::GetLevel(int groupIndex) const
{
    return Groups().GetLevel(groupIndex);
}

int TcxDataControllerGroups::GetParentDataGroupIndex(int groupIndex) const
{
    return Groups().GetParentIndex(groupIndex);
}

int TcxDataControllerGroups::GetChildCount(int groupIndex) const
{
    return Groups().GetChildCount(groupIndex);
}

int TcxDataControllerGroups::GetChildDataGroupIndex(int groupIndex, int childIndex) const
{
    return Groups().GetChildIndex(groupIndex, childIndex);
}

int TcxDataControllerGroups::GetChildRecordIndex(int groupIndex, int childIndex) const
{
    const int position = Groups().GetChildRecordListIndex(groupIndex, childIndex);
    return position == -1 ? -1 : Info().GetInternalRecordIndex(position);
}

bool TcxDataControllerGroups::HasAsParent(int rowIndex, int parentRowIndex) const
{
    if (!Info().IsGrouped()) return false;
    const int group = Groups().GetIndexByRowIndex(rowIndex);
    const int parent = Groups().GetIndexByRowIndex(parentRowIndex);
    if (group == -1 || parent == -1) return false;
    if (group == parent) return true;
    const TcxDataGroupInfo& p = Groups().GetItem(parent);
    return p.Level < Groups().GetLevel(group) && p.Level < Groups().InnermostLevel() && p.Begin <= group && group <= p.End;
}

void TcxDataControllerGroups::LoadRecordIndexes(std::vector<int>& list, int groupIndex) const
{
    const TcxDataGroups& groups = Groups();
    if (groupIndex < 0 || groupIndex >= groups.GetItemCount()) return;
    const int count = groups.GetChildCount(groupIndex);
    if (groups.GetLevel(groupIndex) == groups.InnermostLevel()) {
        for (int i = 0; i < count; ++i) list.push_back(GetChildRecordIndex(groupIndex, i));
    } else {
        for (int i = 0; i < count; ++i) LoadRecordIndexes(list, groups.GetChildIndex(groupIndex, i));
    }
}

void TcxDataControllerGroups::LoadRecordIndexesByRowIndex(std::vector<int>& list, int rowIndex) const
{
    LoadRecordIndexes(list, GetDataGroupIndexByRowIndex(rowIndex));
}

// ---- TcxCustomDataProvider ---------------------------------------------------

void TcxCustomDataProvider::Construct(TcxCustomDataController* controller)
{
    controller_ = controller;
}

bool TcxCustomDataProvider::CanDelete() const
{
    return controller_->GetRecordCount() > 0;
}

bool TcxCustomDataProvider::CanInitEditing(int recordIndex)
{
    controller_->CheckRecordRange(recordIndex);
    if (!IsEditing()) Edit();
    if (IsEditing()) SetChanging();
    return true;
}

void TcxCustomDataProvider::Cancel()
{
    controller_->DoBeforeCancel();
    {
        UpdateBracket bracket(*controller_);
        const int editing = editingRecordIndex_;
        const bool real = editing != cxNullEditingRecordIndex &&
                          ((editing >= 0 && editing < controller_->GetRecordCount()) ||
                           controller_->IsNewItemRecordIndex(editing));
        if (real) {
            if (IsInserting()) {
                const int prevFocused = controller_->GetFocusedRecordIndex();
                if (editing >= 0) controller_->DeleteRecord(editing);
                if (prevFocused >= controller_->GetRecordCount() && controller_->GetRecordCount() > 0)
                    controller_->ChangeFocusedRecordIndex(controller_->GetRecordCount() - 1);
            } else if (savedRecordIndex_ != 0) {
                controller_->CopyRecord(savedRecordIndex_, editing);
            }
        }
        ResetEditing();
    }
    controller_->DoAfterCancel();
}

void TcxCustomDataProvider::DoUpdateData()
{
    if (!changing_ || inUpdateData_) return;
    inUpdateData_ = true;
    ScopeGuard reset([this] { inUpdateData_ = false; });
    controller_->UpdateData();
}

void TcxCustomDataProvider::DeleteFocusedRecordCore()
{
    const int record = controller_->GetFocusedRecordIndex();
    if (record == -1) return;
    controller_->DoBeforeDelete(record);
    {
        KeysBracket keys(*controller_);
        controller_->DeleteRecord(record);
        controller_->CheckNearestFocusRow();
    }
    controller_->DoAfterDelete();
}

void TcxCustomDataProvider::Delete()
{
    DeleteFocusedRecordCore();
}

void TcxCustomDataProvider::DeleteRecords(std::vector<int>& list)
{
    KeysBracket keys(*controller_);
    {
        UpdateBracket bracket(*controller_);
        for (auto it = list.rbegin(); it != list.rend(); ++it) {
            controller_->DoBeforeDelete(*it);
            controller_->DeleteRecord(*it);
            controller_->DoAfterDelete();
        }
    }
    controller_->CheckNearestFocusRow();
}

void TcxCustomDataProvider::DeleteSelection()
{
    std::vector<int> records;
    for (int i = 0; i < controller_->GetSelectedCount(); ++i) {
        const int row = controller_->GetSelectedRowIndex(i);
        if (row < 0 || row >= controller_->GetRowCount()) continue;
        if (controller_->GetRowInfo(row).Level < controller_->GetGroupingItemCount())
            controller_->Groups().LoadRecordIndexesByRowIndex(records, row);
        else
            records.push_back(controller_->GetRowInfo(row).RecordIndex);
    }
    controller_->SetInDeleteSelection(true);
    ScopeGuard reset([this] { controller_->SetInDeleteSelection(false); });
    controller_->DeleteRecords(records);
    controller_->ClearSelection();
}

Variant TcxCustomDataProvider::GetEditValue(int recordIndex, TcxCustomDataField* field, TcxDataEditValueSource)
{
    if (recordIndex == cxNullEditingRecordIndex) TcxCustomDataController::InvalidOperation(cxSDataRecordIndexError);
    return controller_->GetInternalValue(recordIndex, field);
}

void TcxCustomDataProvider::Post()
{
    DoUpdateData();
    int record = -1;
    const bool realPost = !IsInserting() || modified_;
    if (realPost) {
        controller_->DoBeforePost();
        record = editingRecordIndex_;
        if (controller_->IsNewItemRecordIndex(record) && record != cxNullEditingRecordIndex) {
            dataChangedLocked_ = true;
            ScopeGuard unlock([this] { dataChangedLocked_ = false; });
            const int appended = controller_->AppendRecord();
            insertedRecordIndex_ = appended;
            controller_->CopyRecord(record, appended);
            record = appended;
        }
        ResetEditing();
    } else {
        Cancel();
        record = -1;
    }
    controller_->DataChanged(dcRecord, -1, record);
    if (realPost) controller_->DoAfterPost();
}

void TcxCustomDataProvider::PostEditingData()
{
    DoUpdateData();
    ResetChanging();
}

bool TcxCustomDataProvider::SetEditValue(int recordIndex, TcxCustomDataField* field, const Variant& value,
                                         TcxDataEditValueSource source)
{
    const int itemIndex = controller_->GetItemIndexByField(field);
    if (source == evsText && VarToStr(value).empty())
        controller_->SetValue(recordIndex, itemIndex, Variant::Null());
    else
        controller_->SetValue(recordIndex, itemIndex, value);
    SetModified();
    return true;
}

void TcxCustomDataProvider::BeginDeleting()
{
    if (IsGridMode()) return;
    const int focusedRow = controller_->GetFocusedRowIndex();
    if (focusedRow == -1) return;
    int row = focusedRow;
    if (!(controller_->MultiSelect() && !controller_->IsRowSelected(focusedRow) && controller_->GetSelectedCount() > 0))
        row = controller_->GetNearestRowIndex(focusedRow);
    controller_->SetNearestRecordIndex(controller_->GetRowInfo(row).RecordIndex);
}

void TcxCustomDataProvider::EndDeleting()
{
    controller_->SetNearestRecordIndex(-1);
}

void TcxCustomDataProvider::AssignItemValue(int recordIndex, TcxCustomDataField* field, const Variant& value)
{
    controller_->SetValue(recordIndex, controller_->GetItemIndexByField(field), value);
}

void TcxCustomDataProvider::DoInitInsertingRecord(int recordIndex, const Variant& groupValues)
{
    const int count = controller_->GetGroupingItemCount();
    if (count > 0 && controller_->Options().Contains(dcoAssignGroupingValues) && groupValues.IsArray()) {
        for (int i = 0; i < count && i <= groupValues.ArrayHighBound(); ++i) {
            TcxCustomDataField* field = controller_->DataControllerInfo().GroupingFieldList().Items(i).Field;
            AssignItemValue(recordIndex, field, groupValues[i]);
        }
    }
    controller_->DoNewRecord(recordIndex);
}

void TcxCustomDataProvider::EditingRecord()
{
    if (controller_->UseNewItemRowForEditing() && controller_->GetNewItemRowFocused() && !IsInserting()) {
        Insert();
        return;
    }
    editingRecordIndex_ = controller_->CalcEditingRecordIndex();
    if (editingRecordIndex_ >= 0) {
        afterAllAnchor_ = cxNullEditingRecordIndex;
        beforeRecordAnchor_ = cxNullEditingRecordIndex;
        const int row = controller_->GetFocusedRowIndex();
        if (row != -1) {
            if (row < controller_->GetRowCount() - 1)
                beforeRecordAnchor_ = controller_->GetRowInfo(row + 1).RecordIndex;
            else
                afterAllAnchor_ = controller_->GetRowInfo(row > 0 ? row - 1 : row).RecordIndex;
        }
    }
    if (editingRecordIndex_ != cxNullEditingRecordIndex) {
        if ((!IsDataSource() || controller_->IsSmartRefresh()) && !IsInserting()) {
            TcxDataStorage& storage = controller_->DataStorage();
            if (savedRecordIndex_ == 0) savedRecordIndex_ = storage.AddInternalRecord();
            controller_->CopyRecord(editingRecordIndex_, savedRecordIndex_);
        }
        controller_->Change({dccUpdateRecord});
    }
}

void TcxCustomDataProvider::InsertingRecord(bool isAppending)
{
    if (!IsDataSource() && IsInserting() && !changing_ && !modified_) return;
    if (IsEditing() && (changing_ || modified_) && !IsDataSource()) {
        if (changing_) PostEditingData();
        Post();
    }
    controller_->DoBeforeInsert();
    int editing = cxNullEditingRecordIndex;
    {
        UpdateBracket bracket(*controller_);
        Variant groupValues;
        if (controller_->UseNewItemRowForEditing()) {
            int base = controller_->GetFocusedRecordIndex();
            if (base == -1 && controller_->GetRowCount() > 0) base = controller_->GetRowInfo(0).RecordIndex;
            editing = controller_->GetNewItemRecordIndex();
            editingRecordIndex_ = editing;
            controller_->SetNewItemRowFocused(true);
            controller_->GetGroupValues(base, groupValues);
        } else {
            if (!isAppending) controller_->ClearSelection();
            if (isAppending) {
                const int rows = controller_->GetRowCount();
                const int base = rows > 0 ? controller_->GetRowInfo(rows - 1).RecordIndex : -1;
                controller_->GetGroupValues(base, groupValues);
                editing = controller_->AppendRecord();
                editingRecordIndex_ = editing;
                afterAllAnchor_ = base;
                beforeRecordAnchor_ = cxNullEditingRecordIndex;
            } else {
                const int base = std::max(controller_->GetFocusedRecordIndex(), 0);
                controller_->GetGroupValues(base, groupValues);
                editing = std::min(base, controller_->GetRecordCount());
                controller_->InsertRecord(editing);
                editingRecordIndex_ = editing;
                afterAllAnchor_ = cxNullEditingRecordIndex;
                beforeRecordAnchor_ = editing + 1;
            }
        }
        DoInitInsertingRecord(editing, groupValues);
        ResetChanging();
        inserting_ = true;
    }
    if (editing >= 0) controller_->ChangeFocusedRecordIndex(editing);
    controller_->DoAfterInsert();
}

void TcxCustomDataProvider::ResetEditing()
{
    TcxDataStorage& storage = controller_->DataStorage();
    if (editingRecordIndex_ < 0 && editingRecordIndex_ != cxNullEditingRecordIndex &&
        controller_->IsNewItemRecordIndex(editingRecordIndex_)) {
        storage.FreeAndNilRecordBuffer(editingRecordIndex_);
        storage.AllocRecordBuffer(editingRecordIndex_)[0] |= cxRecordFlagInUse;
    }
    editingRecordIndex_ = cxNullEditingRecordIndex;
    afterAllAnchor_ = cxNullEditingRecordIndex;
    beforeRecordAnchor_ = cxNullEditingRecordIndex;
    inserting_ = false;
    changing_ = false;
    modified_ = false;
    if (savedRecordIndex_ != 0) {
        storage.DeleteInternalRecord(savedRecordIndex_);
        savedRecordIndex_ = 0;
    }
}

void TcxCustomDataProvider::ActiveChanged(bool active)
{
    controller_->ActiveChanged(active);
    ResetChanging();
}

void TcxCustomDataProvider::DataChanged(TcxDataChange kind, int itemIndex, int recordIndex)
{
    if (!IsFrozen()) controller_->DataChanged(kind, itemIndex, recordIndex);
    if (dataChangedLocked_)
        ResetChanging();
    else
        ResetEditing();
}

void TcxCustomDataProvider::DataScrolled(int distance)
{
    controller_->DataScrolled(distance);
    ResetChanging();
}

void TcxCustomDataProvider::LayoutChanged(TcxDataLayoutChanges changes)
{
    controller_->LayoutChanged(changes);
}

// ---- TcxDataControllerNotifier -----------------------------------------------

void TcxDataControllerNotifier::Notification(hostlib::TComponent* component, hostlib::TOperation operation)
{
    hostlib::TComponent::Notification(component, operation);
    if (operation != hostlib::opRemove || !controller_) return;
    if (component == this && IsDestroying()) return;
    controller_->RemoveNotification(component);
}

// ---- TcxCustomDataController: construction -----------------------------------

void TcxCustomDataController::Construct(hostlib::TComponent* owner)
{
    owner_ = owner;
    focusedSelected_ = true;
    options_ = cxDataControllerDefaultOptions;
    storage_.reset(hostlib::CreateObject<TcxDataStorage>());
    groups_.reset(hostlib::CreateObject<TcxDataControllerGroups>(this));
    fields_.reset(hostlib::CreateObject<TcxCustomDataFieldList>(this));
    provider_.reset(NewInstanceOf<TcxCustomDataProvider>(GetDataProviderClass()));
    provider_->Construct(this);
    info_.reset(hostlib::CreateObject<TcxCustomDataControllerInfo>(this));
    bookmarkRecordIndex_ = -1;
    nearestRecordIndex_ = -1;
    ResetDataChangeInfo();
    notifier_.reset(hostlib::CreateObject<TcxDataControllerNotifier>(nullptr));
    notifier_->SetDataController(this);
    storage_->OnClearInternalRecords =
        hostlib::TNotifyEvent::Bind(this, &TcxCustomDataController::DataStorageClearInternalRecords);
    filters_.reset(hostlib::CreateObject<TcxDataFilterList>());
    filter_.reset(NewInstanceOf<TcxDataFilterCriteria>(GetFilterCriteriaClass()));
    filter_->Construct(this);
    summary_.reset(NewInstanceOf<TcxDataSummary>(GetSummaryClass()));
    summary_->Construct(this);
    search_.reset(hostlib::CreateObject<TcxDataControllerSearch>(this));
    UpdateUseRecordIDState();
}

void TcxCustomDataController::BeforeDestruction()
{
    destroying_ = true;
    TPersistent::BeforeDestruction();
}

void TcxCustomDataController::Destroy()
{
    destroying_ = true;
    notifier_.reset();
    FreeRelations();
    sortedSummaryItem_ = nullptr;
    saveObject_.reset();
    info_.reset();
    summary_.reset();
    filter_.reset();
    filters_.reset();
    search_.reset();
    if (storage_) {
        storage_->OnClearInternalRecords.Clear();
        storage_->Clear(false);
    }
    groups_.reset();
    fields_.reset();
    storage_.reset();
    provider_.reset();
    listeners_.clear();
    NotifyListenerLinks();
    TPersistent::Destroy();
}

void TcxCustomDataController::FreeRelations()
{
    // The relations go while the storage with the details still exists.
    if (relations_) {
        relations_->Free();
        (void)relations_.release();
    }
    if (masterRelation_ && masterRelation_->DetailDataController() == this) masterRelation_->SetDetailDataController(nullptr);
    masterRelation_ = nullptr;
}

void TcxCustomDataController::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxCustomDataController*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    SetOptions(other->Options());
    filter_->Assign(&other->Filter());
    summary_->Assign(&other->Summary());
    OnCompare = other->OnCompare;
    OnDataChanged = other->OnDataChanged;
    OnDetailCollapsing = other->OnDetailCollapsing;
    OnDetailCollapsed = other->OnDetailCollapsed;
    OnDetailExpanding = other->OnDetailExpanding;
    OnDetailExpanded = other->OnDetailExpanded;
    OnGroupingChanged = other->OnGroupingChanged;
    OnRecordChanged = other->OnRecordChanged;
    OnSortingChanged = other->OnSortingChanged;
}

hostlib::TClass TcxCustomDataController::GetDataProviderClass() const
{
    return TcxCustomDataProvider::StaticClass();
}
hostlib::TClass TcxCustomDataController::GetDataSelectionClass() const
{
    return TcxDataSelection::StaticClass();
}
hostlib::TClass TcxCustomDataController::GetFieldClass() const
{
    return TcxCustomDataField::StaticClass();
}
hostlib::TClass TcxCustomDataController::GetFilterCriteriaClass() const
{
    return TcxDataFilterCriteria::StaticClass();
}
hostlib::TClass TcxCustomDataController::GetSummaryClass() const
{
    return TcxDataSummary::StaticClass();
}
hostlib::TClass TcxCustomDataController::GetSummaryItemClass() const
{
    return TcxDataSummaryItem::StaticClass();
}
hostlib::TClass TcxCustomDataController::GetSummaryGroupItemLinkClass() const
{
    return TcxDataSummaryGroupItemLink::StaticClass();
}

void TcxCustomDataController::InvalidOperation(const std::string& message)
{
    throw EcxInvalidDataControllerOperation(message);
}

// ---- items and fields --------------------------------------------------------

void TcxCustomDataController::AddItem(hostlib::TObject* item)
{
    if (item && fields_->FieldByItem(item)) InvalidOperation(cxSDataItemExistError);
    AddField()->SetItem(item);
}

TcxCustomDataField* TcxCustomDataController::AddField()
{
    auto* field = NewInstanceOf<TcxCustomDataField>(GetFieldClass());
    field->Construct(fields_.get());
    fields_->Add(field);
    return field;
}

TcxCustomDataField* TcxCustomDataController::AddInternalField()
{
    auto* field = NewInstanceOf<TcxCustomDataField>(GetFieldClass());
    field->Construct(fields_.get());
    field->SetIsInternal(true);
    fields_->Add(field);
    return field;
}

void TcxCustomDataController::RemoveItem(hostlib::TObject* item)
{
    TcxCustomDataField* field = fields_->FieldByItem(item);
    if (!field) return;
    UpdateBracket bracket(*this);
    field->Free();
}

void TcxCustomDataController::RemoveField(TcxCustomDataField* field)
{
    if (recordHandleField_ == field) recordHandleField_ = nullptr;
    if (relations_) relations_->RemoveDataField(field);
    if (filters_) filters_->RemoveItemByField(field);
    if (filter_) filter_->RemoveItemByField(field);
    if (summary_) summary_->RemoveItemByField(field);
    if (incrementalFilterField_ == field) ResetIncrementalFilter();
    if (searchField_ == field) {
        if (search_) search_->Cancel();
        searchField_ = nullptr;
    }
    if (info_) info_->RemoveField(field);
}

void TcxCustomDataController::UpdateItemIndexes()
{
    for (int i = 0; i < GetItemCount(); ++i) {
        TcxCustomDataField* field = fields_->FieldByItem(GetItem(i));
        if (field) field->SetIndex(i);
    }
    Change({dccLayout});
}

int TcxCustomDataController::GetItemCount() const
{
    return fields_->ItemCount();
}

int TcxCustomDataController::GetItemID(hostlib::TObject*) const
{
    return -1;
}

hostlib::TObject* TcxCustomDataController::FindItemByInternalID(int id) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemID(GetItem(i)) == id) return GetItem(i);
    return nullptr;
}

hostlib::TObject* TcxCustomDataController::FindProperItemLink(hostlib::TObject* item) const
{
    return FindItemByInternalID(GetItemID(item));
}

TcxCustomDataField* TcxCustomDataController::GetField(int itemIndex) const
{
    CheckItemRange(itemIndex);
    return fields_->Items(itemIndex);
}

int TcxCustomDataController::GetItemIndexByField(const TcxCustomDataField* field) const
{
    const int index = fields_->IndexOf(field);
    return index < GetItemCount() ? index : -1;
}

void TcxCustomDataController::ChangeValueTypeClass(int itemIndex, TcxValueTypeClass valueTypeClass)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (field->ValueTypeClass() == valueTypeClass) return;
    field->SetValueTypeClass(valueTypeClass);
    if (IsProviderMode()) RestructData();
    info_->UpdateField(field);
    DoValueTypeClassChanged(itemIndex);
}

void TcxCustomDataController::ChangeTextStored(int itemIndex, bool value)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (field->TextStored() == value) return;
    field->SetTextStored(value);
    info_->UpdateField(field);
}

void TcxCustomDataController::ChangeNeedConversion(int itemIndex, bool value)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (field->NeedConversion() == value) return;
    field->SetNeedConversion(value);
    info_->UpdateField(field);
}

TcxValueTypeClass TcxCustomDataController::GetItemValueTypeClass(int itemIndex) const
{
    return GetField(itemIndex)->ValueTypeClass();
}

bool TcxCustomDataController::GetItemTextStored(int itemIndex) const
{
    return GetField(itemIndex)->TextStored();
}

bool TcxCustomDataController::GetItemNeedConversion(int) const
{
    return false;
}

bool TcxCustomDataController::ItemPropertiesChanged(int itemIndex)
{
    if (itemIndex == -1 || GetItemSortOrder(itemIndex) != soNone) {
        Refresh();
        return true;
    }
    return false;
}

void TcxCustomDataController::RemoveNotification(hostlib::TComponent* component)
{
    fields_->RemoveNotification(component);
}

// ---- records and values ------------------------------------------------------

int TcxCustomDataController::GetRecordCount() const
{
    return storage_->RecordCount();
}

int TcxCustomDataController::AppendRecord()
{
    if (IsSmartLoad()) return AppendInSmartLoad();
    if (IsProviderMode()) return provider_->AppendRecord();
    const int index = storage_->AppendRecord();
    DataChanged(dcNew, -1, -1);
    return index;
}

void TcxCustomDataController::InsertRecord(int recordIndex)
{
    if (recordIndex < 0 || recordIndex > GetRecordCount()) InvalidOperation(cxSDataRecordIndexError);
    if (IsSmartLoad()) {
        AppendInSmartLoad();
        return;
    }
    if (IsProviderMode()) {
        provider_->InsertRecord(recordIndex);
        return;
    }
    storage_->InsertRecord(recordIndex);
    CorrectAfterInsert(recordIndex);
    DataChanged(dcNew, -1, -1);
}

void TcxCustomDataController::DeleteRecord(int recordIndex)
{
    CheckRecordRange(recordIndex);
    if (smartLoadOperation_) {
        DeleteInSmartLoad(recordIndex);
        return;
    }
    if (recordIndex == provider_->EditingRecordIndex()) provider_->ResetEditing();
    if (IsProviderMode() && recordIndex >= 0) {
        // The source reports the change and the controller reloads.
        provider_->DeleteRecord(recordIndex);
        return;
    }
    if (recordIndex >= 0) {
        storage_->DeleteRecord(recordIndex);
        // The edited record moved down by one, or is beyond the count now;
        // the details of the records after it follow them.
        CorrectAfterDelete(recordIndex);
    } else {
        storage_->DeleteInternalRecord(recordIndex);
    }
    CheckSelectedCount(recordIndex);
    if (newItemRecordIndex_ == recordIndex) newItemRecordIndex_ = 0;
    DataChanged(dcDeleted, -1, -1);
}

void TcxCustomDataController::SetRecordCount(int count)
{
    if (IsGridMode()) return;
    count = std::max(count, 0);
    const int old = GetRecordCount();
    if (count == old) return;
    if (IsProviderMode()) {
        provider_->SetRecordCount(count);
        return;
    }
    storage_->SetRecordCount(count);
    CheckSelectedCount(-1);
    CheckEditingRecordIndex(-1);
    DataChanged(count > old ? dcNew : dcDeleted, -1, -1);
}

Variant TcxCustomDataController::GetValue(int recordIndex, int itemIndex) const
{
    CheckRange(recordIndex, itemIndex);
    return GetInternalValue(recordIndex, fields_->Items(itemIndex));
}

std::string TcxCustomDataController::GetDisplayText(int recordIndex, int itemIndex) const
{
    CheckRange(recordIndex, itemIndex);
    return GetInternalDisplayText(recordIndex, fields_->Items(itemIndex));
}

void TcxCustomDataController::SetValue(int recordIndex, int itemIndex, const Variant& value)
{
    if (IsGridMode()) return;
    CheckRange(recordIndex, itemIndex);
    TcxCustomDataField* field = fields_->Items(itemIndex);
    if (IsProviderMode() && recordIndex >= 0)
        provider_->SetValue(recordIndex, field, value);
    else if (field->ValueDef())
        storage_->SetValue(recordIndex, field->ValueDef(), value);
    else
        return;
    DataChanged(dcField, itemIndex, recordIndex);
}

void TcxCustomDataController::SetDisplayText(int recordIndex, int itemIndex, const std::string& text)
{
    if (IsGridMode()) return;
    CheckRange(recordIndex, itemIndex);
    TcxCustomDataField* field = fields_->Items(itemIndex);
    if (IsProviderMode() && recordIndex >= 0)
        provider_->SetDisplayText(recordIndex, field, text);
    else if (field->ValueDef())
        storage_->SetDisplayText(recordIndex, field->ValueDef(), text);
    else
        return;
    DataChanged(dcField, itemIndex, recordIndex);
}

Variant TcxCustomDataController::GetInternalValue(int recordIndex, TcxCustomDataField* field) const
{
    if (recordIndex >= 0 && IsProviderMode() && IsDataField(field)) return provider_->GetValue(recordIndex, field);
    // Grid mode keeps no copy: the cell is read from the source's buffer.
    if (recordIndex >= 0 && IsGridMode() && IsDataField(field)) return provider_->GetExternalDataValue(recordIndex, field);
    return GetStoredValue(recordIndex, field);
}

std::string TcxCustomDataController::GetInternalDisplayText(int recordIndex, TcxCustomDataField* field) const
{
    if (recordIndex >= 0 && IsProviderMode() && IsDataField(field)) return provider_->GetDisplayText(recordIndex, field);
    if (recordIndex >= 0 && IsGridMode() && IsDataField(field))
        return provider_->GetExternalDataDisplayText(recordIndex, field);
    return GetStoredDisplayText(recordIndex, field);
}

Variant TcxCustomDataController::GetStoredValue(int recordIndex, TcxCustomDataField* field) const
{
    TcxValueDef* def = field->ValueDef();
    if (!def) return Variant::Null();
    return storage_->GetValue(recordIndex, def);
}

std::string TcxCustomDataController::GetStoredDisplayText(int recordIndex, TcxCustomDataField* field) const
{
    TcxValueDef* def = field->ValueDef();
    if (!def) return std::string();
    return storage_->GetDisplayText(recordIndex, def);
}

void TcxCustomDataController::SetStoredValue(int recordIndex, TcxCustomDataField* field, const Variant& value)
{
    if (TcxValueDef* def = field->ValueDef()) storage_->SetValue(recordIndex, def, value);
}

bool TcxCustomDataController::IsDataField(const TcxCustomDataField* field) const
{
    if (!field->IsInternal()) return true;
    return field->ReferenceField() && !field->ReferenceField()->IsInternal();
}

Variant TcxCustomDataController::GetRecordId(int recordIndex) const
{
    if (recordIndex < 0 || recordIndex >= GetRecordCount()) InvalidOperation(cxSDataRecordIndexError);
    if (IsRecordID()) return Variant(static_cast<std::int32_t>(storage_->GetRecordID(recordIndex)));
    return Variant::Null();
}

Variant TcxCustomDataController::GetRowId(int rowIndex) const
{
    return Variant(static_cast<std::int32_t>(rowIndex));
}

Variant TcxCustomDataController::GetInternalRecordId(int recordIndex,
                                                     const std::vector<TcxCustomDataField*>& keyFields) const
{
    if (keyFields.empty()) return IsProviderMode() ? provider_->GetRecordId(recordIndex) : Variant::Null();
    if (keyFields.size() == 1) return GetInternalValue(recordIndex, keyFields.front());
    std::vector<Variant> values;
    values.reserve(keyFields.size());
    for (TcxCustomDataField* field : keyFields) values.push_back(GetInternalValue(recordIndex, field));
    return Variant::ArrayOf(values);
}

Variant TcxCustomDataController::GetGroupValue(int recordIndex, TcxCustomDataField* field) const
{
    return GetInternalValue(recordIndex, field);
}

void TcxCustomDataController::GetGroupValues(int recordIndex, Variant& values) const
{
    const int count = GetGroupingItemCount();
    if (count == 0) {
        values = Variant();
        return;
    }
    values = Variant::CreateArray(0, count - 1);
    for (int i = 0; i < count; ++i) values[i] = Variant::Null();
    if (recordIndex < 0 || recordIndex >= GetRecordCount()) return;
    for (int i = 0; i < count; ++i) values[i] = GetGroupValue(recordIndex, info_->GroupingFieldList().Items(i).Field);
}

void TcxCustomDataController::Refresh()
{
    UpdateBracket bracket(*this);
    info_->Refresh();
}

int TcxCustomDataController::GetNewItemRecordIndex()
{
    if (newItemRecordIndex_ == 0) newItemRecordIndex_ = storage_->AddInternalRecord();
    return newItemRecordIndex_;
}

bool TcxCustomDataController::IsNewItemRecordIndex(int recordIndex) const
{
    return useNewItemRowForEditing_ && newItemRecordIndex_ != 0 && recordIndex == newItemRecordIndex_;
}

// ---- range checks ------------------------------------------------------------

void TcxCustomDataController::CheckItemRange(int itemIndex) const
{
    if (itemIndex < 0 || itemIndex >= GetItemCount()) InvalidOperation(cxSDataItemIndexError);
}

void TcxCustomDataController::CheckRecordRange(int recordIndex) const
{
    // Only existing records pass; the check never creates the new-item
    // record.
    const bool ordinary = recordIndex >= 0 && recordIndex < GetRecordCount();
    const bool newItem = newItemRecordIndex_ != 0 && recordIndex == newItemRecordIndex_;
    if (!ordinary && !newItem) InvalidOperation(cxSDataRecordIndexError);
}

// ---- loading and modes -------------------------------------------------------

void TcxCustomDataController::LayoutChanged(TcxDataLayoutChanges)
{
    UpdateItems(provider_->IsActive());
}

void TcxCustomDataController::UpdateItems(bool force)
{
    if (inUpdateItems_) return;
    inUpdateItems_ = true;
    ScopeGuard reset([this] { inUpdateItems_ = false; });
    if (GetLockCount() > 0) layoutChangePending_ = true;
    if (IsProviderDataSource()) UpdateStorage(force);
}

void TcxCustomDataController::UpdateStorage(bool force)
{
    UpdateBracket bracket(*this);
    if (IsProviderDataSource() && (force || provider_->IsActiveDataSet())) {
        if (updateFieldsCount_ > 0)
            fieldsChangedWhileLocked_ = true;
        else if (!(provider_->IsGridModeUpdating() && GetEditState().Contains(dceInsert)))
            UpdateFields();
        if (!layoutChangePending_) LoadStorage();
    }
    info_->Refresh();
    inUpdateItems_ = false;
    restructurePending_ = false;
}

bool TcxCustomDataController::IsProviderDataSource() const
{
    return IsProviderMode() || restructurePending_;
}

void TcxCustomDataController::UpdateFields()
{
    for (int i = 0; i < fields_->Count(); ++i) fields_->Items(i)->SetPrepared(false);
    bool restart = true;
    while (restart) {
        restart = false;
        fields_->SetFieldDestroyed(false);
        for (int i = 0; i < fields_->Count(); ++i) {
            TcxCustomDataField* field = fields_->Items(i);
            if (field->Prepared()) continue;
            PrepareField(field);
            field->SetPrepared(true);
            if (fields_->FieldDestroyed()) {
                restart = true;
                break;
            }
        }
    }
}

void TcxCustomDataController::LoadStorage()
{
    // Records of the unbound mode live in the storage itself: nothing to
    // load from a source.
    if (provider_->IsActive() && !smartLoadOperation_) storage_->Clear(provider_->DataChangedLocked());
    if (provider_->IsActive() && !IsSmartLoad()) {
        // A pattern only carries the settings of its clones: it holds no
        // records.
        if (GetDetailMode() != dcdmPattern) LoadFromProvider();
        {
            inLoadStorage_ = true;
            ScopeGuard reset([this] { inLoadStorage_ = false; });
            CheckSelectedCount(-1);
        }
        UpdateFocused();
    }
    Change({dccData});
    SyncMasterPos();
}

void TcxCustomDataController::LoadFromProvider()
{
    if (IsGridMode()) {
        storage_->BeginLoad();
        ScopeGuard end([this] { storage_->EndLoad(); });
        provider_->LoadDataBuffer();
        return;
    }
    provider_->Freeze();
    provider_->SavePos();
    ScopeGuard restore([this] {
        provider_->RestorePos();
        provider_->Unfreeze();
    });
    provider_->First();
    storage_->BeginLoad();
    ScopeGuard end([this] { storage_->EndLoad(); });
    if (IsProviderMode()) {
        provider_->LoadRecordHandles();
        return;
    }
    hostlib::ObjectPtr<TcxValueDefReader> reader(NewInstanceOf<TcxValueDefReader>(provider_->GetValueDefReaderClass()));
    while (!provider_->IsEOF()) {
        LoadRecord(*reader);
        provider_->Next();
    }
}

void TcxCustomDataController::RestructData()
{
    UpdateBracket bracket(*this);
    provider_->ResetEditing();
    // Leaving provider mode drops the handles of the source that is gone.
    if (!IsUnboundMode() || recordHandleField_) storage_->Clear(false);
    ClearBookmark();
    CheckSelectedCount(-1);
    storage_->SetStoredValuesOnly(IsProviderMode() || IsGridMode());
    UpdateUseRecordIDState();
    UpdateRecordHandleField();
    restructurePending_ = true;
    LayoutChanged({lcData});
}

void TcxCustomDataController::UpdateRecordHandleField()
{
    if (!GetCustomDataSource()) {
        TcxCustomDataField* field = recordHandleField_;
        recordHandleField_ = nullptr;
        if (field) field->Free();
    } else if (!recordHandleField_) {
        recordHandleField_ = AddInternalField();
        recordHandleField_->SetValueTypeClass(TcxLargeIntValueType::Class());
    }
}

void TcxCustomDataController::CheckMode()
{
    provider_->SetLoadAllNeeded(GetGroupingItemCount() > 0);
}

bool TcxCustomDataController::IsUnboundMode() const
{
    return provider_->IsCustomDataSourceSupported() && !IsProviderMode();
}

void TcxCustomDataController::UpdateUseRecordIDState()
{
    storage_->SetUseRecordID(IsRecordID());
}

bool TcxCustomDataController::IsLoading() const
{
    return owner_ && owner_->IsLoading();
}

bool TcxCustomDataController::IsDestroying() const
{
    return owner_ && owner_->IsDestroying();
}

void TcxCustomDataController::ActiveChanged(bool active)
{
    active_ = active;
    UpdateItems(provider_->IsActive());
    if (TcxCustomDataController* master = GetMasterDataController()) master->ResetHasChildrenFlag();
}

void TcxCustomDataController::DataScrolled(int)
{
    UpdateFocused();
}

void TcxCustomDataController::UpdateFocused()
{
    info_->RefreshFocused();
}

void TcxCustomDataController::DataStorageClearInternalRecords(hostlib::TObject*)
{
    provider_->ClearSavedRecord();
    newItemRecordIndex_ = 0;
}

void TcxCustomDataController::Loaded()
{
    if (dataChangedWhileLoading_) DoDataChanged();
    if (afterSummaryFlag_) summary_->DoAfterSummary();
}

void TcxCustomDataController::SetOptions(TcxDataControllerOptions value)
{
    if (options_ == value) return;
    options_ = value;
    Refresh();
}

void TcxCustomDataController::SetMultiSelect(bool value)
{
    if (multiSelect_ == value) return;
    multiSelect_ = value;
    focusedSelected_ = true;
    UpdateBracket bracket(*this);
    if (!value)
        ClearSelection();
    else if (GetFocusedRowIndex() != -1)
        ChangeRowSelection(GetFocusedRowIndex(), true);
    if (summary_->Options().Contains(soSelectedRecords)) summary_->Recalculate();
}

// ---- brackets and notification -----------------------------------------------

void TcxCustomDataController::BeginUpdate()
{
    info_->BeginUpdate();
}

void TcxCustomDataController::EndUpdate()
{
    info_->EndUpdate();
    CheckChanges();
}

void TcxCustomDataController::EndUpdateFields()
{
    if (updateFieldsCount_ > 0) --updateFieldsCount_;
    if (updateFieldsCount_ == 0 && fieldsChangedWhileLocked_) {
        fieldsChangedWhileLocked_ = false;
        LayoutChanged({lcStructure});
    }
}

void TcxCustomDataController::LockGridModeNotify()
{
    ++gridModeNotifyLock_;
    provider_->BeginLocate();
}

void TcxCustomDataController::UnlockGridModeNotify()
{
    provider_->EndLocate();
    --gridModeNotifyLock_;
}

void TcxCustomDataController::SaveKeys()
{
    if (saveKeysCount_++ != 0) return;
    BeginUpdate();
    ScopeGuard undoOnFailure([this] {
        saveObject_.reset();
        EndUpdate();
    });
    saveObject_.reset(hostlib::CreateObject<TcxSaveObject>(this));
    saveObject_->Save();
    undoOnFailure.Dismiss();
}

void TcxCustomDataController::RestoreKeys()
{
    if (saveKeysCount_ == 0) return;
    if (--saveKeysCount_ != 0) return;
    // Without key navigation nothing was saved by key; the selection is
    // only trimmed to the records that remain.
    ScopeGuard end([this] {
        saveObject_.reset();
        EndUpdate();
    });
    if (saveObject_) saveObject_->Restore();
}

void TcxCustomDataController::Change(TcxDataControllerChanges changes)
{
    changes_ = changes_ + changes;
    CheckChanges();
}

void TcxCustomDataController::CheckChanges()
{
    if (changes_.Empty() || GetLockCount() > 0) return;
    if (layoutChangePending_) {
        layoutChangePending_ = false;
        LayoutChanged({lcStructure});
    }
    Update();
}

void TcxCustomDataController::Update()
{
    const TcxDataControllerChanges changes = changes_;
    changes_ = {};
    if (changes.Contains(dccData))
        DataNotification();
    else if (changes.Contains(dccLayout) || changes.Contains(dccDetail) || changes.Contains(dccSummary))
        NotifyControl(std::make_unique<TcxLayoutChangedInfo>());
    else if (changes.Contains(dccUpdateRecord))
        NotifyControl(std::make_unique<TcxUpdateRecordInfo>(GetFocusedRecordIndex()));
    if (changes.Contains(dccFocus)) FocusedNotification();
    if (changes.Contains(dccSelection)) SelectionNotification();
    if (changes.Contains(dccSearch)) NotifyControl(std::make_unique<TcxSearchChangedInfo>());
    if (changes.Contains(dccBookmark)) NotifyControl(std::make_unique<TcxBookmarkChangedInfo>());
    if (changes.Contains(dccGrouping)) DoGroupingChanged();
    if (changes.Contains(dccSorting)) DoSortingChanged();
    if (changes.Contains(dccSyncMasterPost) && GetDetailMode() == dcdmClone) {
        TcxCustomDataController* pattern = GetPatternDataController();
        if (pattern != this) pattern->UpdateFocused();
    }
}

void TcxCustomDataController::NotifyControl(std::unique_ptr<TcxUpdateControlInfo> info)
{
    inNotifyControl_ = true;
    ScopeGuard reset([this] { inNotifyControl_ = false; });
    UpdateControl(info.get());
}

void TcxCustomDataController::UpdateControl(TcxUpdateControlInfo* info)
{
    OnUpdateControl(info);
}

void TcxCustomDataController::DataChanged(TcxDataChange kind, int itemIndex, int recordIndex)
{
    // Merged so that nothing is lost: the result names a single cell, a
    // single record, or everything.
    DataChangeInfo& info = dataChangeInfo_;
    if (!info.Pending) {
        info = {kind, itemIndex, recordIndex, true};
    } else if (info.Kind == dcTotal || kind == dcTotal) {
        info = {dcTotal, -1, -1, true};
    } else if (info.Kind == dcNew || info.Kind == dcDeleted || kind == dcNew || kind == dcDeleted) {
        if (!(info.Kind == kind && info.RecordIndex == -1 && recordIndex == -1)) info = {dcTotal, -1, -1, true};
    } else if (info.RecordIndex != recordIndex) {
        info = {dcTotal, -1, -1, true};
    } else if (info.Kind == dcField && kind == dcField && info.ItemIndex == itemIndex) {
        // the same cell again
    } else {
        info = {dcRecord, -1, recordIndex, true};
    }
    if (kind == dcTotal) {
        // A source's total change is what makes a provider-mode controller
        // reload its handles.
        UpdateStorage(IsProviderMode());
    } else if (kind == dcNew || kind == dcDeleted) {
        info_->FocusedRecordChanged(false);
        info_->Refresh();
    } else {
        info_->Refresh();
    }
    // Most controllers have no master: ask for it before the edit state.
    if (TcxCustomDataController* master = GetMasterDataController()) {
        const TcxDataControllerEditState state = GetEditState();
        if (!state.Contains(dceInsert) && !state.Contains(dceEdit)) master->ResetHasChildrenFlag();
    }
}

void TcxCustomDataController::DataNotification()
{
    DataChangeInfo info = dataChangeInfo_;
    ResetDataChangeInfo();
    if (info.Kind == dcField && info.ItemIndex == -1) info.Kind = dcRecord;
    if ((info.Kind == dcField || info.Kind == dcRecord) && !NamesRecord(info.RecordIndex)) {
        info.Kind = dcTotal;
        info.ItemIndex = -1;
    }
    // Changes raised while this one is delivered gather afresh and come
    // with their own notice.
    NotifyControl(std::make_unique<TcxDataChangedInfo>(info.Kind, info.ItemIndex, info.RecordIndex));
    deliveredDataChange_ = info;
    DoDataChanged();
}

void TcxCustomDataController::DoDataChanged()
{
    if (IsDestroying() || !IsDataChangedListenersExist()) return;
    if (IsLoading()) {
        dataChangedWhileLoading_ = true;
        return;
    }
    dataChangedWhileLoading_ = false;
    NotifyDataChangedListeners();
}

bool TcxCustomDataController::IsDataChangedListenersExist() const
{
    return OnDataChanged.Assigned() || OnRecordChanged.Assigned() || !listeners_.empty();
}

void TcxCustomDataController::NotifyDataChangedListeners()
{
    const DataChangeInfo info = deliveredDataChange_;
    if (!IsPattern()) {
        if ((info.Kind == dcField || info.Kind == dcRecord) && NamesRecord(info.RecordIndex))
            OnRecordChanged(this, info.RecordIndex, info.ItemIndex);
        OnDataChanged(this);
    }
    if (provider_->LocateCount() > 0) return;
    // A listener may remove itself or others while being called.
    const std::vector<ListenerEntry> listeners = listeners_;
    for (const ListenerEntry& entry : listeners) entry.Event(this);
}

void TcxCustomDataController::AddDataChangedListener(hostlib::TObject* instance, const hostlib::TNotifyEvent& event)
{
    listeners_.push_back({instance, event});
}

void TcxCustomDataController::RemoveDataChangedListener(hostlib::TObject* instance, const hostlib::TNotifyEvent& event)
{
    const auto it = std::find_if(listeners_.begin(), listeners_.end(), [&](const ListenerEntry& entry) {
        return entry.Instance == instance && entry.Event == event;
    });
    if (it != listeners_.end()) listeners_.erase(it);
}

TcxDataListenerLink* TcxCustomDataController::AddListenerLink()
{
    auto* link = new TcxDataListenerLink{this};
    listenerLinks_.push_back(link);
    return link;
}

void TcxCustomDataController::RemoveListenerLink(TcxDataListenerLink* link)
{
    if (!link) return;
    if (TcxCustomDataController* controller = link->DataController) {
        auto& links = controller->listenerLinks_;
        links.erase(std::remove(links.begin(), links.end(), link), links.end());
    }
    delete link;
}

void TcxCustomDataController::NotifyListenerLinks()
{
    for (auto it = listenerLinks_.rbegin(); it != listenerLinks_.rend(); ++it) (*it)->DataController = nullptr;
    listenerLinks_.clear();
}

void TcxCustomDataController::FocusedNotification()
{
    const int prevRow = info_->GetPrevFocusedRowIndex();
    const int row = GetFocusedRowIndex();
    if (prevRow != row) NotifyControl(std::make_unique<TcxFocusedRowChangedInfo>(prevRow, row));
    const int prevRecord = info_->GetPrevFocusedRecordIndex();
    const int record = GetFocusedRecordIndex();
    const bool mark = info_->GetNewItemRowFocusingChanged();
    if (prevRecord >= 0 || record >= 0 || mark) {
        auto notice = std::make_unique<TcxFocusedRecordChangedInfo>();
        notice->PrevFocusedRecordIndex = prevRecord;
        notice->FocusedRecordIndex = record;
        notice->PrevFocusedRowIndex = prevRow;
        notice->FocusedRowIndex = row;
        notice->NewItemRowFocusingChanged = mark;
        NotifyControl(std::move(notice));
        search_->Cancel();
    }
    info_->AssignPrevFocusingInfo();
}

void TcxCustomDataController::SelectionNotification()
{
    const int count = GetSelectedCount();
    const int single = count == 1 ? GetSelectedRowIndex(0) : -1;
    if (count <= 1 && prevSelectedCount_ <= 1)
        NotifyControl(std::make_unique<TcxSelectionChangedInfo>(prevSelectedCount_ == 1 ? prevSelectedRowIndex_ : -1, single));
    else
        NotifyControl(std::make_unique<TcxSelectionChangedInfo>());
    prevSelectedCount_ = count;
    prevSelectedRowIndex_ = single;
}

void TcxCustomDataController::CorrectPrevSelectionChangedInfo()
{
    if (prevSelectedCount_ != 1) return;
    prevSelectedCount_ = GetSelectedCount();
    prevSelectedRowIndex_ = prevSelectedCount_ == 1 ? GetSelectedRowIndex(0) : -1;
}

void TcxCustomDataController::DoGroupingChanged()
{
    if (owner_ && owner_->ComponentState().Contains(hostlib::csReading)) return;
    OnGroupingChanged(this);
}

void TcxCustomDataController::DoSortingChanged()
{
    if (owner_ && owner_->ComponentState().Contains(hostlib::csReading)) return;
    if (inSortingChangedEvent_) return;
    inSortingChangedEvent_ = true;
    ScopeGuard reset([this] { inSortingChangedEvent_ = false; });
    OnSortingChanged(this);
}

bool TcxCustomDataController::DoFilterRecord(int recordIndex)
{
    bool accept = true;
    OnFilterRecord(this, recordIndex, accept);
    return accept;
}

// ---- stream and smart load ---------------------------------------------------

namespace {
constexpr const char* kStreamSignature = "DataController1";

// A storage with the same value definitions (and so the same record
// layout) as another, to read records into before they replace the old.
void MirrorValueDefs(TcxDataStorage& source, TcxDataStorage& mirror)
{
    mirror.SetUseRecordID(source.UseRecordID());
    mirror.SetStoredValuesOnly(source.StoredValuesOnly());
    TcxValueDefs& defs = source.ValueDefs();
    for (int i = 0; i < defs.Count(); ++i) {
        TcxValueDef* def = defs.Items(i);
        mirror.ValueDefs().Add(def->ValueTypeClass(), def->GetStored(), def->TextStored(), def->GetLinkObject());
    }
}

void ReadError()
{
    throw hostlib::EReadError(cxSDataReadError);
}
} // namespace

TcxValueDefCompareFunc TcxCustomDataController::StreamingCompare() const
{
    // Definitions follow their fields, whatever order they were made in.
    return [this](const TcxValueDef* a, const TcxValueDef* b) {
        const auto index = [this](const TcxValueDef* def) {
            return fields_->IndexOf(dynamic_cast<const TcxCustomDataField*>(def->GetLinkObject()));
        };
        return index(a) - index(b);
    };
}

void TcxCustomDataController::SaveToStream(hostlib::TStream& stream)
{
    TcxWriter writer(stream);
    storage_->BeginStreaming(StreamingCompare());
    ScopeGuard end([this] { storage_->EndStreaming(); });
    writer.WriteString(kStreamSignature);
    const std::vector<TcxValueDef*> order = storage_->StreamingOrder(&storage_->ValueDefs());
    writer.WriteInteger(static_cast<std::int32_t>(order.size()));
    for (TcxValueDef* def : order) writer.WriteString(def->ValueTypeClass()->ClassName());
    writer.WriteInteger(GetRecordCount());
    for (int r = 0; r < GetRecordCount(); ++r) storage_->WriteData(r, stream);
}

void TcxCustomDataController::CheckStreamValueTypes(TcxReader& reader)
{
    if (reader.ReadString() != kStreamSignature) InvalidOperation(cxSDataInvalidStreamFormat);
    if (reader.ReadInteger() != storage_->ValueDefs().Count()) InvalidOperation(cxSDataInvalidStreamFormat);
    for (TcxValueDef* def : storage_->StreamingOrder(&storage_->ValueDefs()))
        if (reader.ReadString() != def->ValueTypeClass()->ClassName()) InvalidOperation(cxSDataInvalidStreamFormat);
}

void TcxCustomDataController::LoadFromStream(hostlib::TStream& stream)
{
    if (IsProviderMode()) InvalidOperation(cxSDataProviderModeError);
    TcxReader reader(stream);
    auto scratch = hostlib::MakeObject<TcxDataStorage>();
    MirrorValueDefs(*storage_, *scratch);
    const TcxValueDefCompareFunc compare = StreamingCompare();
    {
        storage_->BeginStreaming(compare);
        ScopeGuard end([this] { storage_->EndStreaming(); });
        CheckStreamValueTypes(reader);
    }
    // Every record takes at least one byte: a larger count is a broken
    // stream, refused before anything is allocated.
    const std::int32_t count = reader.ReadInteger();
    if (count < 0 || count > stream.Size() - stream.Position()) ReadError();
    {
        scratch->BeginStreaming(compare);
        ScopeGuard end([&scratch] { scratch->EndStreaming(); });
        scratch->SetRecordCount(count);
        for (int r = 0; r < count; ++r) scratch->ReadData(r, stream);
    }
    // The whole stream was read: only now the records are replaced.
    UpdateBracket bracket(*this);
    ClearSelection();
    SetRecordCount(count);
    for (int r = 0; r < count; ++r) storage_->SetRecordBuffers(r, scratch->TakeRecordBuffers(r));
    info_->Refresh();
}

void TcxCustomDataController::BeginSmartLoad()
{
    provider_->Freeze();
    provider_->SavePos();
    storage_->BeginLoad();
}

void TcxCustomDataController::EndSmartLoad()
{
    storage_->EndLoad();
    provider_->RestorePos();
    provider_->Unfreeze();
    UpdateFocused();
    info_->Refresh();
}

int TcxCustomDataController::LoadRecord(TcxValueDefReader& source)
{
    const int index = storage_->AppendRecord();
    storage_->ReadRecord(index, source, false);
    DoReadRecord(index);
    return index;
}

int TcxCustomDataController::LoadRecord(TcxDataRecordHandle recordHandle)
{
    return provider_->AddRecordHandle(recordHandle);
}

int TcxCustomDataController::AppendInSmartLoad()
{
    smartLoadOperation_ = true;
    ScopeGuard reset([this] { smartLoadOperation_ = false; });
    int index = -1;
    if (IsProviderMode()) {
        // The new source record is added by its handle, not reloaded.
        TcxCustomDataSource* source = GetCustomDataSource();
        source->SetCurrentProvider(provider_.get());
        const TcxDataRecordHandle handle = source->AppendRecord();
        if (handle != cxNullRecordHandle) index = LoadRecord(handle);
    } else {
        hostlib::ObjectPtr<TcxValueDefReader> reader(NewInstanceOf<TcxValueDefReader>(provider_->GetValueDefReaderClass()));
        index = LoadRecord(*reader);
    }
    DataChanged(dcNew, -1, -1);
    return index;
}

void TcxCustomDataController::DeleteInSmartLoad(int recordIndex)
{
    if (IsProviderMode()) provider_->DeleteRecord(recordIndex);
    storage_->DeleteRecord(recordIndex);
}

// ---- filtering ---------------------------------------------------------------

TcxDataFilterCriteria* TcxCustomDataController::CreateFilter()
{
    auto* criteria = NewInstanceOf<TcxDataFilterCriteria>(GetFilterCriteriaClass());
    criteria->Construct(this);
    filters_->Add(criteria);
    return criteria;
}

void TcxCustomDataController::SetOnFilterRecord(const TcxDataFilterRecordEvent& event)
{
    OnFilterRecord = event;
    filter_->Changed();
}

void TcxCustomDataController::FilterChanged()
{
    checkFocusingAfterFilter_ = true;
    Cancel();
    Refresh();
    CheckBookmarkValid(-1);
    CorrectPrevSelectionChangedInfo();
}

bool TcxCustomDataController::IsFilterItemSortByDisplayText(int itemIndex) const
{
    if (GetItemSortByDisplayText(itemIndex, true)) return true;
    if (!options_.Contains(dcoAnsiSort)) return false;
    TcxValueDef* def = GetField(itemIndex)->ValueDef();
    return def && def->IsNeedConversion();
}

int TcxCustomDataController::SetIncrementalFilter(int itemIndex, const std::string& text)
{
    incrementalFilterField_ = GetField(itemIndex);
    incrementalFilterText_ = text;
    Refresh();
    return GetFilteredRecordCount() > 0 ? GetFilteredRecordIndex(0) : -1;
}

void TcxCustomDataController::ResetIncrementalFilter()
{
    const bool active = IsIncrementalFilter();
    incrementalFilterField_ = nullptr;
    incrementalFilterText_.clear();
    if (active && !IsDestroying()) Refresh();
}

bool TcxCustomDataController::ChangeIncrementalFilterText(const std::string& text)
{
    if (!incrementalFilterField_ || incrementalFilterText_ == text) return false;
    SetIncrementalFilter(GetItemIndexByField(incrementalFilterField_), text);
    return true;
}

bool TcxCustomDataController::DoIncrementalFilterRecord(int recordIndex)
{
    return DataCompareText(GetInternalDisplayText(recordIndex, incrementalFilterField_), incrementalFilterText_, true);
}

// ---- finding records ---------------------------------------------------------

int TcxCustomDataController::FindRecordIndexByText(int startPosition, int itemIndex, const std::string& text, bool partial,
                                                   bool circular, bool forward)
{
    TcxCustomDataField* field = GetField(itemIndex);
    const int count = GetFilteredRecordCount();
    if (startPosition < 0 || startPosition >= count) return -1;
    const auto scan = [&](int from, int to, int step) {
        for (int p = from; p != to + step; p += step) {
            const int record = GetFilteredRecordIndex(p);
            if (DataCompareText(GetInternalDisplayText(record, field), text, partial)) return record;
        }
        return -1;
    };
    const int step = forward ? 1 : -1;
    int result = scan(startPosition, forward ? count - 1 : 0, step);
    if (result == -1 && startPosition != 0 && circular)
        result = forward ? scan(0, startPosition - 1, 1) : scan(count - 1, startPosition + 1, -1);
    return result;
}

int TcxCustomDataController::FindRecordByFields(int internalRecordIndex, const std::vector<TcxCustomDataField*>& fields)
{
    if (fields.empty()) return -1;
    info_->PrepareSorting();
    ScopeGuard unprepare([this] { info_->UnprepareSorting(); });
    for (int record = 0; record < GetRecordCount(); ++record) {
        const bool equal = std::all_of(fields.begin(), fields.end(), [&](TcxCustomDataField* field) {
            return CompareByField(record, internalRecordIndex, field) == 0;
        });
        if (equal) return record;
    }
    return -1;
}

int TcxCustomDataController::FindGroupRecord(int internalRecordIndex, int levelCount)
{
    levelCount = std::min(levelCount, info_->TotalSortingFieldList().Count());
    info_->PrepareSorting();
    ScopeGuard unprepare([this] { info_->UnprepareSorting(); });
    int low = 0;
    int high = GetFilteredRecordCount() - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const int record = GetFilteredRecordIndex(middle);
        int result = 0;
        for (int level = 0; level < levelCount && result == 0; ++level)
            result = info_->CompareGroupRecords(record, internalRecordIndex, level);
        if (result == 0) return record;
        if (result < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

void TcxCustomDataController::SetSummary(TcxDataSummary* value)
{
    summary_->Assign(value);
}

void TcxCustomDataController::SummaryChanged(bool redrawOnly)
{
    if (info_) info_->RefreshSummary(redrawOnly);
}

void TcxCustomDataController::SetSortedSummaryItem(TcxDataSummaryItem* item)
{
    if (item && item->Collection() != &summary_->DefaultGroupSummaryItems()) item = nullptr;
    if (sortedSummaryItem_ == item) return;
    sortedSummaryItem_ = item;
    if (destroying_) return;
    UpdateBracket bracket(*this);
    // Without a sorted item the groups return to their grouping order.
    if (!item) info_->GroupingChanged();
    summary_->Changed(false);
}

void TcxCustomDataController::SetSummaryItemSortOrder(TcxDataSortOrder order)
{
    const TcxDataSortOrder before = GetSummaryItemSortOrder();
    summaryItemSortOrder_ = order;
    if (GetSummaryItemSortOrder() != before) summary_->Changed(false);
}

TcxDataSortOrder TcxCustomDataController::GetSummaryItemSortOrder() const
{
    if (!sortedSummaryItem_) return soNone;
    return summaryItemSortOrder_ == soNone ? soAscending : summaryItemSortOrder_;
}

void TcxCustomDataController::DoSortBySummary()
{
    info_->SortGroupsBySummary(sortedSummaryItem_->Index(), GetSummaryItemSortOrder());
}

void TcxCustomDataController::ClearUpdateFlags()
{
    groupingChanged_ = false;
    sortingChanged_ = false;
    storageLoadedOnActivation_ = false;
    filterChanged_ = false;
}

// ---- editing -----------------------------------------------------------------

void TcxCustomDataController::Edit()
{
    if (provider_->CanModify()) provider_->Edit();
}

void TcxCustomDataController::Insert()
{
    if (provider_->CanInsert()) provider_->Insert();
}

void TcxCustomDataController::Append()
{
    if (provider_->CanAppend()) provider_->Append();
}

void TcxCustomDataController::Post()
{
    TcxDataListenerLink* link = AddListenerLink();
    ScopeGuard release([link] { RemoveListenerLink(link); });
    checkFocusingAfterFilter_ = true;
    if (provider_->IsEditing()) provider_->Post();
    if (link->DataController) provider_->SetInsertedRecordIndex(-1);
}

void TcxCustomDataController::Cancel()
{
    const int row = GetFocusedRowIndex();
    if (provider_->IsEditing()) provider_->Cancel();
    if (row != -1) ChangeFocusedRowIndex(std::min(row, GetRowCount() - 1));
}

void TcxCustomDataController::PostEditingData()
{
    provider_->PostEditingData();
}

bool TcxCustomDataController::CanInitEditing(int itemIndex)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (!provider_->CanModify() && !field->IsUnbound()) return false;
    if (!field->CanModify(GetItemValueSource(itemIndex))) return false;
    return provider_->CanInitEditing(GetEditingRecordIndex());
}

Variant TcxCustomDataController::GetEditValue(int itemIndex, TcxDataEditValueSource source)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (useNewItemRowForEditing_ && GetNewItemRowFocused() && !provider_->IsEditing()) return Variant::Null();
    return provider_->GetEditValue(GetEditingRecordIndex(), field, source);
}

bool TcxCustomDataController::SetEditValue(int itemIndex, const Variant& value, TcxDataEditValueSource source)
{
    bool result = false;
    if (CanInitEditing(itemIndex)) result = provider_->SetEditValue(GetEditingRecordIndex(), GetField(itemIndex), value, source);
    if (result && IsImmediatePost()) Post();
    return result;
}

bool TcxCustomDataController::IsImmediatePost() const
{
    return options_.Contains(dcoImmediatePost) || provider_->IsUnboundColumnMode();
}

int TcxCustomDataController::GetEditingRecordIndex()
{
    const int editing = provider_->EditingRecordIndex();
    return editing != cxNullEditingRecordIndex ? editing : CalcEditingRecordIndex();
}

int TcxCustomDataController::CalcEditingRecordIndex()
{
    if (GetNewItemRowFocused()) return GetNewItemRecordIndex();
    const int row = GetFocusedRowIndex();
    if (row == -1) return cxNullEditingRecordIndex;
    return GetRowInfo(row).RecordIndex;
}

TcxDataControllerEditState TcxCustomDataController::GetEditState() const
{
    TcxDataControllerEditState state;
    if (provider_->IsInserting())
        state.Include(dceInsert);
    else if (provider_->IsEditing())
        state.Include(dceEdit);
    if (!state.Empty()) {
        if (provider_->IsChanging()) state.Include(dceChanging);
        if (provider_->IsModified()) state.Include(dceModified);
    }
    return state;
}

bool TcxCustomDataController::GetIsEditing() const
{
    // Asked on every cell write; mostly nothing is edited.
    if (!provider_->IsEditing()) return false;
    const TcxDataControllerEditState state = GetEditState();
    return state.Contains(dceInsert) || state.Contains(dceEdit);
}

TcxDataControllerEditOperations TcxCustomDataController::GetEditOperations() const
{
    TcxDataControllerEditOperations result;
    if (provider_->CanAppend()) result.Include(dceoAppend);
    if (provider_->CanDelete()) result.Include(dceoDelete);
    if (provider_->CanModify()) result.Include(dceoEdit);
    if (provider_->CanInsert()) result.Include(dceoInsert);
    if (!provider_->IsDataSource() || provider_->IsSyncMode()) result.Include(dceoShowEdit);
    return result;
}

bool TcxCustomDataController::CanFocusRecord(int recordIndex)
{
    if (!provider_->IsDataSource() && recordIndex != provider_->EditingRecordIndex()) Post();
    return true;
}

void TcxCustomDataController::BeforeSorting()
{
    if (provider_->IsEditing()) Post();
}

void TcxCustomDataController::CheckEditingRecordIndex(int recordIndex)
{
    const int editing = provider_->EditingRecordIndex();
    if (editing == cxNullEditingRecordIndex || editing < 0) return;
    if ((recordIndex >= 0 && recordIndex <= editing) || editing >= GetRecordCount()) provider_->ResetEditing();
}

void TcxCustomDataController::CopyRecord(int fromRecordIndex, int toRecordIndex)
{
    const bool intoSource = IsProviderMode() && toRecordIndex >= 0;
    for (int i = 0; i < fields_->Count(); ++i) {
        TcxCustomDataField* field = fields_->Items(i);
        // A record owns its detail objects: a copy sharing them would free
        // them with itself.
        if (field->ReferenceField() || (relations_ && field == relations_->DataField())) continue;
        TcxValueDef* def = field->ValueDef();
        if (!def) continue;
        if (intoSource) {
            ProviderValueDefSetProc(field, fromRecordIndex, toRecordIndex);
            continue;
        }
        storage_->SetValue(toRecordIndex, def, storage_->GetValue(fromRecordIndex, def));
        if (def->TextStored()) storage_->SetDisplayText(toRecordIndex, def, storage_->GetDisplayText(fromRecordIndex, def));
    }
    if (toRecordIndex >= 0) DataChanged(dcRecord, -1, -1);
}

void TcxCustomDataController::ProviderValueDefSetProc(TcxCustomDataField* field, int fromRecordIndex, int toRecordIndex)
{
    if (field->IsInternal()) return;
    TcxValueDef* def = field->ValueDef();
    provider_->SetValue(toRecordIndex, field, storage_->GetValue(fromRecordIndex, def));
    if (def->TextStored()) provider_->SetDisplayText(toRecordIndex, field, storage_->GetDisplayText(fromRecordIndex, def));
}

void TcxCustomDataController::SetUseNewItemRowForEditing(bool value)
{
    if (useNewItemRowForEditing_ == value) return;
    Cancel();
    ClearSelection();
    useNewItemRowForEditing_ = value;
    Change({dccData});
}

bool TcxCustomDataController::GetNewItemRowFocused() const
{
    return newItemRowFocused_ && useNewItemRowForEditing_ && GetFocusedRecordIndex() == -1;
}

void TcxCustomDataController::SetNewItemRowFocused(bool value)
{
    if (newItemRowFocused_ == value) return;
    {
        UpdateBracket bracket(*this);
        if (value)
            ChangeFocusedRowIndex(-1);
        else if (!IsDestroying())
            Post();
        info_->FocusedRecordChanged(true);
        newItemRowFocused_ = value;
    }
    if (options_.Contains(dcoInsertOnNewItemRowFocusing) && GetNewItemRowFocused() && !provider_->IsInserting()) Insert();
}

void TcxCustomDataController::ResetNewItemRowFocused()
{
    const bool was = newItemRowFocused_;
    newItemRowFocused_ = false;
    if (was) info_->PrevFocusingInfo().Changed = true;
}

void TcxCustomDataController::DeleteFocused()
{
    const int row = GetFocusedRowIndex();
    if (row == -1 || !provider_->CanDelete()) return;
    provider_->BeginDeleting();
    ScopeGuard end([this] { provider_->EndDeleting(); });
    if (GetRowInfo(row).Level < GetGroupingItemCount()) {
        std::vector<int> records;
        groups_->LoadRecordIndexesByRowIndex(records, row);
        DeleteRecords(records);
    } else {
        DeleteFocusedRecord();
    }
    ClearSelection();
}

void TcxCustomDataController::DeleteSelection()
{
    if (GetSelectedCount() == 0 || !provider_->CanDelete()) return;
    provider_->BeginDeleting();
    ScopeGuard end([this] { provider_->EndDeleting(); });
    if (IsFocusedSelectedMode())
        DeleteFocusedRecord();
    else
        provider_->DeleteSelection();
}

void TcxCustomDataController::DeleteRecords(std::vector<int> list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    const int count = GetRecordCount();
    for (int r : list)
        if (r < 0 || r >= count) InvalidOperation(cxSDataRecordIndexError);
    // Every deleted record below the nearest one moves it down by one.
    if (nearestRecordIndex_ != -1) {
        const int below = static_cast<int>(std::lower_bound(list.begin(), list.end(), nearestRecordIndex_) - list.begin());
        nearestRecordIndex_ -= below;
    }
    provider_->DeleteRecords(list);
}

void TcxCustomDataController::DeleteFocusedRecord()
{
    if (nearestRecordIndex_ != -1 && nearestRecordIndex_ >= GetFocusedRecordIndex()) --nearestRecordIndex_;
    provider_->Delete();
}

void TcxCustomDataController::CheckNearestFocusRow()
{
    if (nearestRecordIndex_ == -1) {
        if (GetLockCount() > 0 || GetFocusedRecordIndex() != -1) return;
        const int last = GetLastRecordIndex();
        if (last != -1) ChangeFocusedRecordIndex(last);
    } else if (nearestRecordIndex_ < GetRecordCount()) {
        ChangeFocusedRecordIndex(nearestRecordIndex_);
    }
}

// ---- focus and navigation ----------------------------------------------------

int TcxCustomDataController::GetRecordIndex() const
{
    // A synchronised source's cursor is where the focus belongs.
    if (provider_->IsDataSource() && provider_->IsSyncMode()) return provider_->GetRecordIndex();
    return GetFocusedRecordIndex();
}

bool TcxCustomDataController::ChangeFocusedRowIndex(int rowIndex)
{
    const bool sync = provider_->IsSyncMode();
    const bool insertingDataSetRecord = provider_->IsDataSource() && provider_->IsInserting();
    if (sync && !insertingDataSetRecord && rowIndex != GetFocusedRowIndex() && !CheckMasterBrowseMode()) return false;
    // False when the move was refused (CanFocusRecord).
    const bool result = info_->SetFocusedRowIndex(rowIndex);
    if (sync && SyncDetailsFocusWithMaster() && GetFocusedRecordIndex() != -1) {
        inFocusDetails_ = true;
        ScopeGuard reset([this] { inFocusDetails_ = false; });
        FocusDetails(GetFocusedRecordIndex());
    }
    return result;
}

bool TcxCustomDataController::ChangeFocusedRecordIndex(int recordIndex)
{
    return ChangeFocusedRowIndex(recordIndex == -1 ? -1 : GetRowIndexByRecordIndex(recordIndex, true));
}

int TcxCustomDataController::GetRowIndexByRecordIndex(int recordIndex, bool makeVisible)
{
    CheckRecordRange(recordIndex);
    return info_->GetRowIndexByRecordIndex(recordIndex, makeVisible);
}

void TcxCustomDataController::CheckFocusedRow()
{
    if (GetFocusedRowIndex() == -1 && !GetNewItemRowFocused()) ChangeFocusedRowIndex(0);
}

bool TcxCustomDataController::FocusSelectedRow(int index)
{
    const int row = GetSelectedRowIndex(index);
    if (row == -1) return false; // nothing selected there: the focus stays
    ChangeFocusedRowIndex(row);
    return GetFocusedRowIndex() == row;
}

void TcxCustomDataController::GotoFirst()
{
    if (IsGridMode())
        provider_->First();
    else
        ChangeFocusedRowIndex(0);
}

void TcxCustomDataController::GotoLast()
{
    if (IsGridMode())
        provider_->Last();
    else
        ChangeFocusedRowIndex(GetRowCount() - 1);
}

void TcxCustomDataController::GotoNext()
{
    if (IsGridMode())
        provider_->Next();
    else
        ChangeFocusedRowIndex(GetFocusedRowIndex() + 1);
}

void TcxCustomDataController::GotoPrev()
{
    if (IsGridMode())
        provider_->Prev();
    else
        ChangeFocusedRowIndex(std::max(GetFocusedRowIndex() - 1, 0));
}

void TcxCustomDataController::MoveBy(int distance)
{
    if (IsGridMode()) {
        provider_->MoveBy(distance);
        return;
    }
    const long long target = static_cast<long long>(GetFocusedRowIndex()) + distance;
    ChangeFocusedRowIndex(static_cast<int>(std::clamp<long long>(target, 0, std::max(GetRowCount() - 1, 0))));
}

bool TcxCustomDataController::IsBOF() const
{
    if (IsGridMode()) return provider_->IsBOF();
    return GetRowCount() == 0 || GetFocusedRowIndex() == 0;
}

bool TcxCustomDataController::IsEOF() const
{
    if (IsGridMode()) return provider_->IsEOF();
    return GetRowCount() == 0 || GetFocusedRowIndex() == GetRowCount() - 1;
}

void TcxCustomDataController::Scroll(int distance)
{
    if (IsGridMode()) provider_->Scroll(distance);
}

int TcxCustomDataController::GetLastRecordIndex() const
{
    const int rows = GetRowCount();
    return rows == 0 ? -1 : GetRowInfo(rows - 1).RecordIndex;
}

void TcxCustomDataController::CheckSelectedCount(int recordIndex)
{
    info_->TruncateSelection();
    CheckBookmarkValid(recordIndex);
}

void TcxCustomDataController::ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc)
{
    if (selectedOnly) {
        for (int i = 0; i < GetSelectedCount(); ++i) {
            const int row = GetSelectedRowIndex(i);
            proc(row, GetRowInfo(row));
        }
    } else {
        for (int row = 0; row < GetRowCount(); ++row) proc(row, GetRowInfo(row));
    }
}

Variant TcxCustomDataController::GetRowValue(const TcxRowInfo& rowInfo, int itemIndex) const
{
    // A group row shows the value of its own grouping item.
    if (rowInfo.Level < GetGroupingItemCount() && !IsNewItemRecordIndex(rowInfo.RecordIndex))
        itemIndex = groups_->GetGroupingItemIndex(rowInfo.Level);
    return GetValue(rowInfo.RecordIndex, itemIndex);
}

std::string TcxCustomDataController::GetRowDisplayText(const TcxRowInfo& rowInfo, int& itemIndex) const
{
    if (rowInfo.Level < GetGroupingItemCount() && !IsNewItemRecordIndex(rowInfo.RecordIndex))
        itemIndex = groups_->GetGroupingItemIndex(rowInfo.Level);
    return GetDisplayText(rowInfo.RecordIndex, itemIndex);
}

// ---- bookmark ----------------------------------------------------------------

bool TcxCustomDataController::IsBookmarkRow(int rowIndex) const
{
    return IsBookmarkAvailable() && rowIndex >= 0 && rowIndex < GetRowCount() &&
           GetRowInfo(rowIndex).RecordIndex == bookmarkRecordIndex_;
}

void TcxCustomDataController::SaveBookmark()
{
    if (InternalSaveBookmark()) Change({dccBookmark});
}

bool TcxCustomDataController::InternalSaveBookmark()
{
    const int record = GetFocusedRecordIndex();
    if (record == bookmarkRecordIndex_) return false;
    bookmarkRecordIndex_ = record;
    return true;
}

void TcxCustomDataController::ClearBookmark()
{
    const bool was = IsBookmarkAvailable();
    InternalClearBookmark();
    if (was) Change({dccBookmark});
}

void TcxCustomDataController::GotoBookmark()
{
    if (IsBookmarkAvailable()) InternalGotoBookmark();
}

void TcxCustomDataController::CheckBookmarkValid(int deletedRecordIndex)
{
    if (!IsBookmarkAvailable() || !InternalCheckBookmark(deletedRecordIndex)) return;
    InternalClearBookmark();
    Change({dccBookmark});
}

bool TcxCustomDataController::InternalCheckBookmark(int deletedRecordIndex)
{
    return (deletedRecordIndex != -1 && deletedRecordIndex == bookmarkRecordIndex_) ||
           GetFilteredIndexByRecordIndex(bookmarkRecordIndex_) == -1;
}

// ---- selection ---------------------------------------------------------------

void TcxCustomDataController::ChangeRowSelection(int rowIndex, bool selected)
{
    if (multiSelect_) info_->ChangeRowSelection(rowIndex, selected);
}

void TcxCustomDataController::SelectRows(int rowIndex1, int rowIndex2)
{
    if (!multiSelect_) return;
    if (rowIndex1 > rowIndex2) std::swap(rowIndex1, rowIndex2);
    UpdateBracket bracket(*this);
    for (int row = rowIndex1; row <= rowIndex2; ++row) ChangeRowSelection(row, true);
}

void TcxCustomDataController::SelectAll()
{
    if (GetRowCount() > 0) SelectRows(0, GetRowCount() - 1);
}

void TcxCustomDataController::SelectFromAnchor(int rowIndex, bool keepSelection)
{
    if (!IsSelectionAnchorExist()) return;
    UpdateBracket bracket(*this);
    const int anchor = GetSelectionAnchorRowIndex();
    if (!keepSelection) ClearSelection();
    SelectRows(anchor, rowIndex);
}

void TcxCustomDataController::SetSelectionAnchor(int rowIndex)
{
    info_->CheckRowIndex(rowIndex);
    info_->Selection().SetAnchorRowIndex(rowIndex);
}

void TcxCustomDataController::CheckFocusedSelected()
{
    if (!multiSelect_) return;
    UpdateBracket bracket(*this);
    ClearSelection();
    if (GetFocusedRowIndex() != -1) ChangeRowSelection(GetFocusedRowIndex(), true);
}

void TcxCustomDataController::SyncSelectionFocusedRecord()
{
    UpdateBracket bracket(*this);
    ClearSelection();
    if (GetFocusedRowIndex() != -1) SelectRows(GetFocusedRowIndex(), GetFocusedRowIndex());
}

int TcxCustomDataController::GetSelectedCount() const
{
    if (multiSelect_) return info_->GetSelectedCount();
    return focusedSelected_ && GetFocusedRowIndex() != -1 ? 1 : 0;
}

int TcxCustomDataController::GetSelectedRowIndex(int index) const
{
    if (multiSelect_) return info_->GetSelectedRowIndex(index);
    return index == 0 && focusedSelected_ ? GetFocusedRowIndex() : -1;
}

bool TcxCustomDataController::IsRowSelected(int rowIndex) const
{
    if (multiSelect_) return info_->IsRowSelected(rowIndex);
    return focusedSelected_ && rowIndex != -1 && rowIndex == GetFocusedRowIndex();
}

void TcxCustomDataController::SyncSelected(bool selected)
{
    if (!IsFocusedSelectedMode() || focusedSelected_ == selected) return;
    focusedSelected_ = selected;
    if (GetFocusedRowIndex() != -1) {
        prevSelectedCount_ = 1;
        prevSelectedRowIndex_ = GetFocusedRowIndex();
        Change({dccSelection});
    }
}

// ---- sorting and record comparison -------------------------------------------

void TcxCustomDataController::ChangeSorting(int itemIndex, TcxDataSortOrder order)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (info_->SortingFieldList().SortOrderByField(field) == order) return;
    BeforeSorting();
    sortingChanged_ = true;
    info_->ChangeSorting(field, order);
}

void TcxCustomDataController::ChangeItemSortingIndex(int itemIndex, int index)
{
    TcxCustomDataField* field = GetField(itemIndex);
    if (GetItemSortingIndex(itemIndex) == index) return;
    UpdateBracket bracket(*this);
    TcxSortingFieldList& sorting = info_->SortingFieldList();
    if (info_->GroupingFieldList().Find(field) >= 0 && sorting.SortOrderByField(field) == soAscending && index == -1) {
        ChangeSorting(itemIndex, soNone);
        return;
    }
    const TcxDataSortOrder order = GetItemSortOrder(itemIndex);
    if (sorting.Find(field) < 0 && order != soNone) {
        sortingChanged_ = true;
        sorting.Add(field, order);
    }
    if (order == soNone || sorting.Count() == 0) return;
    const int target = std::clamp(index, 0, sorting.Count() - 1);
    if (sorting.Find(field) != target) {
        BeforeSorting();
        sortingChanged_ = true;
        info_->ChangeSortIndex(field, target);
    }
}

void TcxCustomDataController::ClearSorting(bool keepGroupedItems)
{
    // Flagged before the row engine re-sorts, so that the change is
    // announced with that update.
    const TcxSortingFieldList& sorting = info_->SortingFieldList();
    int remaining = 0;
    if (keepGroupedItems)
        for (int i = 0; i < sorting.Count(); ++i)
            if (info_->GroupingFieldList().Find(sorting.Items(i).Field) >= 0) ++remaining;
    if (sorting.Count() != remaining) {
        BeforeSorting();
        sortingChanged_ = true;
    }
    info_->ClearSorting(keepGroupedItems);
}

TcxDataSortOrder TcxCustomDataController::GetItemSortOrder(int itemIndex) const
{
    TcxCustomDataField* field = GetField(itemIndex);
    TcxDataSortOrder order = info_->SortingFieldList().SortOrderByField(field);
    if (order == soNone) order = info_->GroupingFieldList().SortOrderByField(field);
    return order;
}

int TcxCustomDataController::GetItemSortingIndex(int itemIndex) const
{
    return info_->SortingFieldList().Find(GetField(itemIndex));
}

int TcxCustomDataController::GetSortingItemCount() const
{
    return info_->SortingFieldList().Count();
}

int TcxCustomDataController::GetSortingItemIndex(int index) const
{
    return GetItemIndexByField(info_->SortingFieldList().Items(index).Field);
}

int TcxCustomDataController::GetGroupingItemCount() const
{
    return info_->GroupingFieldList().Count();
}

int TcxCustomDataController::CompareRecords(int recordIndex1, int recordIndex2, const TcxDataSortInfo& sortInfo)
{
    const int result = CompareByField(recordIndex1, recordIndex2, sortInfo.Field);
    return sortInfo.SortOrder == soDescending ? -result : result;
}

int TcxCustomDataController::CompareTexts(const std::string& text1, const std::string& text2) const
{
    const bool ansi = options_.Contains(dcoAnsiSort);
    const bool caseInsensitive = options_.Contains(dcoCaseInsensitive);
    if (ansi && caseInsensitive) return hostlib::AnsiCompareText(text1, text2);
    if (ansi) return hostlib::AnsiCompareStr(text1, text2);
    if (caseInsensitive) return hostlib::CompareStr(hostlib::AnsiUpperCase(text1), hostlib::AnsiUpperCase(text2));
    return VarCompare(Variant(text1), Variant(text2));
}

void TcxCustomDataController::AppendTextSortKey(const std::string& text, std::string& key) const
{
    const bool ansi = options_.Contains(dcoAnsiSort);
    const bool caseInsensitive = options_.Contains(dcoCaseInsensitive);
    if (ansi && caseInsensitive)
        key += hostlib::AnsiCompareTextKey(text);
    else if (ansi)
        key += hostlib::AnsiCompareStrKey(text);
    else if (caseInsensitive)
        key += hostlib::AnsiUpperCase(text);
    else
        key += text;  // two strings compare as variants by their bytes
}

bool TcxCustomDataController::GetSortKey(int recordIndex, TcxCustomDataField* field, std::string& key)
{
    if (OnCompare.Assigned() || IsProviderMode()) return false;
    TcxValueDef* def = field->ValueDef();
    if (!IsConversionNeededForCompare(field)) return !def || storage_->AppendSortKey(recordIndex, def, key);
    if (field->CompareMarker() == 2) {
        const Variant text = GetComparedValue(recordIndex, field);
        if (!hostlib::VarIsStr(text)) return false;
        AppendTextSortKey(text.AsString(), key);
        return true;
    }
    if (!def || !def->ValueTypeClass()->InheritsFrom(TcxStringValueType::Class())) return false;
    // As CompareStoredTexts: Null first.
    const void* stored = nullptr;
    if (storage_->GetCompareInfo(recordIndex, def, stored)) return true;
    key.push_back('\1');
    if (stored) AppendTextSortKey(*static_cast<const std::string*>(stored), key);
    return true;
}

int TcxCustomDataController::CompareByField(int recordIndex1, int recordIndex2, TcxCustomDataField* field)
{
    const bool hasEvent = OnCompare.Assigned();
    if ((hasEvent && !field->IsInternal()) || IsConversionNeededForCompare(field)) {
        if (!hasEvent && IsProviderMode() && provider_->IsNativeCompareFunc() && recordIndex1 >= 0 && recordIndex2 >= 0)
            return provider_->NativeCompareFunc(recordIndex1, recordIndex2, field);
        if (!hasEvent && field->CompareMarker() != 2) {
            // Stored texts are compared in place rather than copied into
            // variants: sorting calls this n log n times.
            TcxValueDef* def = field->ValueDef();
            if (def && !IsProviderMode() && def->ValueTypeClass()->InheritsFrom(TcxStringValueType::Class()))
                return CompareStoredTexts(recordIndex1, recordIndex2, def);
        }
        const Variant v1 = GetComparedValue(recordIndex1, field);
        const Variant v2 = GetComparedValue(recordIndex2, field);
        if (hasEvent) {
            int compare = 0;
            OnCompare(this, recordIndex1, recordIndex2, GetItemIndexByField(field), v1, v2, compare);
            return compare;
        }
        if (hostlib::VarIsStr(v1) && hostlib::VarIsStr(v2)) return CompareTexts(v1.AsString(), v2.AsString());
        return VarCompare(v1, v2);
    }
    return NativeCompare(recordIndex1, recordIndex2, field);
}

int TcxCustomDataController::CompareStoredTexts(int recordIndex1, int recordIndex2, TcxValueDef* def)
{
    const void* p1 = nullptr;
    const void* p2 = nullptr;
    const bool null1 = storage_->GetCompareInfo(recordIndex1, def, p1);
    const bool null2 = storage_->GetCompareInfo(recordIndex2, def, p2);
    if (null1 || null2) return null1 == null2 ? 0 : (null1 ? -1 : 1); // Null first
    static const std::string empty;
    const auto* s1 = static_cast<const std::string*>(p1);
    const auto* s2 = static_cast<const std::string*>(p2);
    return CompareTexts(s1 ? *s1 : empty, s2 ? *s2 : empty);
}

int TcxCustomDataController::NativeCompare(int recordIndex1, int recordIndex2, TcxCustomDataField* field)
{
    TcxValueDef* def = field->ValueDef();
    if (!def) return 0;
    if (IsProviderMode()) return provider_->NativeCompare(recordIndex1, recordIndex2, field);
    return storage_->CompareRecords(recordIndex1, recordIndex2, def);
}

Variant TcxCustomDataController::GetComparedValue(int recordIndex, TcxCustomDataField* field)
{
    if (field->CompareMarker() == 2) {
        const int itemIndex = GetItemIndexByField(field);
        return Variant(itemIndex >= 0 ? GetDisplayText(recordIndex, itemIndex) : GetInternalDisplayText(recordIndex, field));
    }
    return GetInternalValue(recordIndex, field);
}

bool TcxCustomDataController::IsConversionNeededForCompare(TcxCustomDataField* field)
{
    if (field->CompareMarker() != 0) return field->CompareMarker() > 0;
    if (field->NeedConversion() || IsStringConversionNeeded(field) || IsSortByDisplayTextNeeded(field)) return true;
    return IsProviderMode() && !provider_->IsNativeCompare();
}

bool TcxCustomDataController::IsStringConversionNeeded(TcxCustomDataField* field)
{
    if (!options_.Contains(dcoAnsiSort) && !options_.Contains(dcoCaseInsensitive)) return false;
    TcxValueDef* def = field->ValueDef();
    return def && def->IsNeedConversion();
}

bool TcxCustomDataController::IsSortByDisplayTextNeeded(TcxCustomDataField* field)
{
    if (inInternalFind_ || field->IsInternal()) return false;
    const int itemIndex = GetItemIndexByField(field);
    return itemIndex >= 0 && GetItemSortByDisplayText(itemIndex, options_.Contains(dcoSortByDisplayText));
}
