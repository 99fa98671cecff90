#pragma once
// The record-oriented data controller: items and their data fields, records
// and values kept in a TcxDataStorage, the row engine that turns records
// into sorted rows with a focus and a selection, the data provider that
// keeps the edit state of the one record being edited, and the change
// notification that delivers what changed once per outermost update
// bracket.
//
// Objects of this unit are built in two phases (CreateObject / the class
// factories, then Construct), so the controller's virtual class getters
// reach the most-derived controller while it builds its helpers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/data/cxCustomDataRelations.h"
#include "components/data/cxCustomDataSource.h"
#include "components/data/cxDataFilter.h"
#include "components/data/cxDataKeys.h"
#include "components/data/cxDataSearch.h"
#include "components/data/cxDataStorage.h"
#include "components/data/cxDataSummary.h"
#include "components/data/cxDataUtils.h"
#include "components/data/record_sort_keys.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

class TcxCustomDataController;
class TcxCustomDataControllerInfo;
class TcxCustomDataProvider;
class TcxCustomDataFieldList;
class TcxDataSelection;

namespace cx_data_error_names {
inline constexpr const char* InvalidOperation = "EcxInvalidDataControllerOperation";
}
// Every misuse of a data controller raises this.
using EcxInvalidDataControllerOperation = hostlib::ErrorClass<hostlib::Exception, &cx_data_error_names::InvalidOperation>;

enum TcxDataControllerOption {
    dcoAnsiSort,
    dcoCaseInsensitive,
    dcoAssignGroupingValues,
    dcoAssignMasterDetailKeys,
    dcoSaveExpanding,
    dcoSortByDisplayText,
    dcoFocusTopRowAfterSorting,
    dcoGroupsAlwaysExpanded,
    dcoImmediatePost,
    dcoInsertOnNewItemRowFocusing,
};
using TcxDataControllerOptions = hostlib::TSet<TcxDataControllerOption>;
inline constexpr TcxDataControllerOptions cxDataControllerDefaultOptions{dcoAssignGroupingValues, dcoAssignMasterDetailKeys,
                                                                         dcoSaveExpanding};

enum TcxDataChange { dcField, dcRecord, dcNew, dcDeleted, dcTotal };
enum TcxDataLayoutChange { lcStructure, lcData };
using TcxDataLayoutChanges = hostlib::TSet<TcxDataLayoutChange>;
enum TcxDataControllerDetailMode { dcdmNone, dcdmPattern, dcdmClone };

enum TcxDataControllerChange {
    dccLayout,
    dccData,
    dccFocus,
    dccSelection,
    dccDetail,
    dccSummary,
    dccSearch,
    dccSorting,
    dccGrouping,
    dccSyncMasterPost,
    dccBookmark,
    dccUpdateRecord,
};
using TcxDataControllerChanges = hostlib::TSet<TcxDataControllerChange>;

enum TcxDataControllerInfoChange {
    dcicLoad,
    dcicGrouping,
    dcicSorting,
    dcicFocusedRow,
    dcicView,
    dcicExpanding,
    dcicResetFocusedRow,
    dcicSelection,
    dcicSummary,
    dcicFocusedRecord,
};
using TcxDataControllerInfoChanges = hostlib::TSet<TcxDataControllerInfoChange>;

enum TcxDataSortOrder { soNone, soAscending, soDescending };

enum TcxDataControllerEditKind { dceInsert, dceEdit, dceChanging, dceModified };
using TcxDataControllerEditState = hostlib::TSet<TcxDataControllerEditKind>;
enum TcxDataControllerEditOperation { dceoAppend, dceoDelete, dceoEdit, dceoInsert, dceoShowEdit };
using TcxDataControllerEditOperations = hostlib::TSet<TcxDataControllerEditOperation>;

// The editing, anchor and saved-record indexes of the provider use this for
// none.
inline constexpr int cxNullEditingRecordIndex = -2147483647;

// ---- fields ------------------------------------------------------------------

// One item's column of values: its value type and its place in the storage.
// A field with a reference field shares that field's data.
class TcxCustomDataField : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataFieldList* fieldList);

    virtual bool CanModify(TcxDataEditValueSource source) const;
    virtual bool IsUnbound() const { return false; }
    virtual bool IsValueDefInternal() const { return isInternal_; }
    virtual void RemoveNotification(hostlib::TComponent*) {}
    virtual void Reassign(TcxCustomDataField* source);

    TcxCustomDataFieldList* FieldList() const { return fieldList_; }
    TcxCustomDataController* DataController() const;
    hostlib::TObject* Item() const { return item_; }
    void SetItem(hostlib::TObject* item) { item_ = item; }
    int Index() const;
    void SetIndex(int index);
    bool IsInternal() const { return isInternal_; }
    void SetIsInternal(bool value);
    TcxCustomDataField* ReferenceField() const { return referenceField_; }
    void SetReferenceField(TcxCustomDataField* value);
    // Read through the end of the reference chain.
    TcxValueTypeClass ValueTypeClass() const;
    void SetValueTypeClass(TcxValueTypeClass value);
    bool TextStored() const;
    void SetTextStored(bool value);
    TcxValueDef* ValueDef() const;
    bool NeedConversion() const { return needConversion_; }
    void SetNeedConversion(bool value) { needConversion_ = value; }
    // 0 none, -1 no conversion, 1 convert, 2 compare by display text; set
    // only while sorting.
    int CompareMarker() const { return compareMarker_; }
    void SetCompareMarker(int value) { compareMarker_ = value; }
    bool Prepared() const { return prepared_; }
    void SetPrepared(bool value) { prepared_ = value; }

    void BeginRecreateData();
    void EndRecreateData();
    void CreateData();
    void ClearData();
    void Changed();

protected:
    void Destroy() override;

private:
    TcxCustomDataField* ChainEnd() const;

    TcxCustomDataFieldList* fieldList_ = nullptr;
    hostlib::TObject* item_ = nullptr;
    TcxValueTypeClass valueTypeClass_ = nullptr;
    bool textStored_ = false;
    bool isInternal_ = false;
    TcxCustomDataField* referenceField_ = nullptr;
    TcxValueDef* valueDef_ = nullptr;
    bool needConversion_ = false;
    int compareMarker_ = 0;
    bool prepared_ = false;
    int recreateLock_ = 0;
};

// The fields in item order, internal fields after the others, so that item
// index i and field index i coincide.
class TcxCustomDataFieldList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxCustomDataFieldList(TcxCustomDataController* controller) : controller_(controller) {}
    TcxCustomDataFieldList() = default;

    void Add(TcxCustomDataField* field);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TcxCustomDataField* Items(int index) const;
    int IndexOf(const TcxCustomDataField* field) const;
    int ItemCount() const { return Count() - internalCount_; }
    int InternalCount() const { return internalCount_; }
    TcxCustomDataField* FieldByItem(const hostlib::TObject* item) const;
    void Move(int from, int to);
    // Called by a field being destroyed.
    void RemoveField(TcxCustomDataField* field);
    virtual void RemoveNotification(hostlib::TComponent* component);
    void UpdateInternalCount();
    TcxCustomDataController* DataController() const { return controller_; }
    bool FieldDestroyed() const { return fieldDestroyed_; }
    void SetFieldDestroyed(bool value) { fieldDestroyed_ = value; }

protected:
    void Destroy() override;

private:
    void ReassignFields(TcxCustomDataField* field);

    TcxCustomDataController* controller_ = nullptr;
    std::vector<TcxCustomDataField*> items_;
    int internalCount_ = 0;
    bool fieldDestroyed_ = false;
};

// ---- sorting lists -----------------------------------------------------------

struct TcxDataSortInfo {
    TcxCustomDataField* Field = nullptr;
    TcxDataSortOrder SortOrder = soNone;
};

using TcxNoParamsEvent = hostlib::Event<>;

class TcxSortingFieldList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Add(TcxCustomDataField* field, TcxDataSortOrder order);
    void Insert(int index, TcxCustomDataField* field, TcxDataSortOrder order);
    void Delete(int index);
    void Move(int from, int to);
    void Remove(TcxCustomDataField* field);
    void SetSortOrder(int index, TcxDataSortOrder order);
    void Clear();
    int Find(const TcxCustomDataField* field) const;
    int SortIndexByField(const TcxCustomDataField* field) const { return Find(field); }
    TcxDataSortOrder SortOrderByField(const TcxCustomDataField* field) const;
    const TcxDataSortInfo& Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }
    virtual void ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order);
    void CheckField(const TcxCustomDataField* field);
    void AppendFrom(const TcxSortingFieldList& list);

    TcxNoParamsEvent OnChanged;

protected:
    void Changed() { OnChanged(); }
    std::vector<TcxDataSortInfo> items_;
};

// Grouping entries are never unsorted.
class TcxGroupingFieldList : public TcxSortingFieldList {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order) override;
    void ChangeGrouping(TcxCustomDataField* field, int index);
    int GroupIndexByField(const TcxCustomDataField* field) const { return Find(field); }
    void UpdateSorting(const TcxSortingFieldList& sortingList);
};

// ---- change notices ----------------------------------------------------------

class TcxUpdateControlInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxDataChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxDataChangedInfo() = default;
    TcxDataChangedInfo(TcxDataChange kind, int itemIndex, int recordIndex)
        : Kind(kind), ItemIndex(itemIndex), RecordIndex(recordIndex)
    {
    }
    TcxDataChange Kind = dcTotal;
    int ItemIndex = -1;
    int RecordIndex = -1;
};

class TcxLayoutChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxBookmarkChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxSearchChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

class TcxUpdateRecordInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxUpdateRecordInfo() = default;
    explicit TcxUpdateRecordInfo(int recordIndex) : RecordIndex(recordIndex) {}
    int RecordIndex = -1;
};

class TcxFocusedRowChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxFocusedRowChangedInfo() = default;
    TcxFocusedRowChangedInfo(int prevRow, int row) : PrevFocusedRowIndex(prevRow), FocusedRowIndex(row) {}
    int PrevFocusedRowIndex = -1;
    int FocusedRowIndex = -1;
};

class TcxFocusedRecordChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    int PrevFocusedRecordIndex = -1;
    int FocusedRecordIndex = -1;
    int PrevFocusedRowIndex = -1;
    int FocusedRowIndex = -1;
    bool NewItemRowFocusingChanged = false;
};

class TcxSelectionChangedInfo : public TcxUpdateControlInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxSelectionChangedInfo() = default;
    // Lists row1 unless -1, then row2 unless -1 or equal to row1.
    TcxSelectionChangedInfo(int row1, int row2);
    int GetCount() const { return static_cast<int>(rows_.size()); }
    int GetRowIndex(int index) const;

private:
    std::vector<int> rows_;
};

// ---- focus and selection state -----------------------------------------------

class TcxDataFocusingInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxDataFocusingInfo(TcxCustomDataControllerInfo* info) : info_(info) {}
    TcxDataFocusingInfo() = default;

    void Assign(const TcxDataFocusingInfo& source);
    void Clear();
    bool IsEqual(const TcxDataFocusingInfo& other) const;
    void ResetPos();
    void SavePos();

    int RowIndex = -1;
    int RecordIndex = -1;
    int Level = -1;
    int PrevRecordIndex = -1;
    bool Changed = false;
    bool Changed2 = false;

private:
    TcxCustomDataControllerInfo* info_ = nullptr;
};

struct TcxDataSelectionInfo {
    int Level = 0;        // -1 for a group entry
    int RecordIndex = -1; // the group index for a group entry
    int RowIndex = -1;
};

// The selected rows, sorted by row index, and the selection anchor.
class TcxDataSelection : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller);

    virtual void Add(int position, int rowIndex, int level, int recordIndex);
    void Delete(int index);
    void Clear();
    void ClearAll();
    virtual void ClearAnchor() { anchorRowIndex_ = -1; }
    virtual bool FindByRowIndex(int rowIndex, int& index) const;
    bool IsRowSelected(int rowIndex) const;
    int FindByRecordIndex(int recordIndex) const;
    bool IsRecordSelected(int recordIndex) const { return FindByRecordIndex(recordIndex) != -1; }
    int FindByGroupIndex(int groupIndex) const;
    void Sort();
    void CheckAfterFiltering();
    virtual void SetInternalCount(int count);
    int Count() const { return static_cast<int>(items_.size()); }
    const TcxDataSelectionInfo& Items(int index) const;
    TcxDataSelectionInfo& ItemRef(int index);
    int AnchorRowIndex() const { return anchorRowIndex_; }
    void SetAnchorRowIndex(int row) { anchorRowIndex_ = row; }
    void Changed() { OnChanged(); }
    TcxCustomDataController* DataController() const { return controller_; }
    // Key fields a descendant keeps its entries by; cleared with them.
    void AddField(TcxCustomDataField* field) { fields_.push_back(field); }
    void ClearFields() { fields_.clear(); }
    TcxCustomDataField* GetField(int index) const { return fields_.at(static_cast<std::size_t>(index)); }
    int GetFieldCount() const { return static_cast<int>(fields_.size()); }

    TcxNoParamsEvent OnChanged;

protected:
    virtual void InternalAdd(int position, int rowIndex, int level, int recordIndex);
    virtual void InternalDelete(int index);
    virtual void InternalClear();

private:
    TcxCustomDataController* controller_ = nullptr;
    std::vector<TcxCustomDataField*> fields_;
    std::vector<TcxDataSelectionInfo> items_;
    int anchorRowIndex_ = -1;
};

// ---- groups ------------------------------------------------------------------

struct TcxRowInfo {
    bool Expanded = false;
    int Level = 0;
    int RecordIndex = -1;
};

// One group. For a group of the innermost level Begin and End are the first
// and last positions in the filtered record list; for any other group, the
// first and last index of its descendant groups in the group list.
struct TcxDataGroupInfo {
    int RowIndex = 0;
    bool Expanded = false;
    int Level = 0;
    int Begin = 0;
    int End = 0;
    hostlib::Variant SummaryValues;
};

// The group tree: the groups in depth-first order (each followed by its
// descendants) with their row numbers. A group hidden under a collapsed
// ancestor carries the row number of its topmost collapsed ancestor.
class TcxDataGroups : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Clear();
    void AddField(TcxCustomDataField* field) { fields_.push_back(field); }
    TcxDataGroupInfo& AddEmpty();
    void Add(const TcxDataGroupInfo& info)
    {
        items_.push_back(info);
        indexed_ = false;
    }
    TcxCustomDataField* GetField(int index) const;
    int GetFieldCount() const { return static_cast<int>(fields_.size()); }
    const TcxDataGroupInfo& GetItem(int index) const;
    TcxDataGroupInfo& ItemRef(int index);
    int GetItemCount() const { return static_cast<int>(items_.size()); }

    void Rebuild();
    int GetRowCount() const { return rowCount_; }
    int GetTopVisibleItem(int index) const;
    // The group shown at the row, or -1 for a data row; infoIndex is that
    // group, or for a data row the innermost group holding it.
    int Find(int row, int& infoIndex) const;
    // For the row's record: its position in the filtered record list.
    TcxRowInfo GetRowInfo(int row) const;
    int GetIndexByRowIndex(int row) const { return GetIndexByRowIndexLevel(row, -1); }
    int GetIndexByRowIndexLevel(int row, int level) const;
    int FindByIndex(int position, int level) const;
    int GetLevel(int index) const;
    int GetParentIndex(int index) const;
    int GetChildCount(int index) const;
    int GetChildIndex(int index, int childIndex) const;
    int GetChildRecordListIndex(int index, int childIndex) const;
    int GetFirstLevelCount() const { return GetChildCount(-1); }
    int GetFirstLevelIndex(int index) const { return GetChildIndex(-1, index); }
    bool IsVisible(int index) const { return GetTopVisibleItem(index) == index; }
    bool MakeVisible(int index, bool expandSelf);
    void ChangeExpanding(int row, bool expanded, bool recursive);
    void FullExpanding(bool expanded);
    int InnermostLevel() const { return GetFieldCount() - 1; }
    // Sorting groups by element summaryIndex of their summary values.
    void SetSummarySort(int summaryIndex, TcxDataSortOrder order)
    {
        summaryIndex_ = summaryIndex;
        summarySortOrder_ = order;
    }
    // With one grouping level only; returns the old index of every group
    // in its new place (empty when nothing was sorted).
    std::vector<int> SortBySummary();
    int CompareGroups(const TcxDataGroupInfo& group1, const TcxDataGroupInfo& group2) const;

private:
    void Number(int& index, int level, bool visible, int hiddenRow, int& counter);

    std::vector<TcxCustomDataField*> fields_;
    std::vector<TcxDataGroupInfo> items_;
    // The innermost groups in list order (their Begin grows), kept by
    // Rebuild for finding a position's group by halving.
    std::vector<int> innermost_;
    bool indexed_ = false;
    int rowCount_ = 0;
    int summaryIndex_ = -1;
    TcxDataSortOrder summarySortOrder_ = soNone;
};

enum TcxDataExpandingInfoState { eisExpanded, eisSelected };
using TcxDataExpandingInfoStateSet = hostlib::TSet<TcxDataExpandingInfoState>;

struct TcxDataExpandingInfo {
    int Level = 0;
    hostlib::Variant Value;
    TcxDataExpandingInfoStateSet State;
};

// The expanded and selected groups saved by group value across an update.
class TcxDataExpandingInfos : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void AddField(TcxCustomDataField* field);
    void AddItem(int level, const hostlib::Variant& value, TcxDataExpandingInfoStateSet state);
    void CheckField(TcxCustomDataField* field);
    void Clear();
    void ClearFields() { fields_.clear(); }
    void ClearValues() { items_.clear(); }
    int Find(const TcxCustomDataField* field) const;
    bool GetEmpty() const { return items_.empty() || fields_.empty(); }
    int GetCount() const { return static_cast<int>(items_.size()); }
    int GetFieldCount() const { return static_cast<int>(fields_.size()); }
    TcxCustomDataField* GetField(int index) const { return fields_.at(static_cast<std::size_t>(index)); }
    const TcxDataExpandingInfo& GetItem(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    TcxDataExpandingInfoStateSet SaveStates() const { return saveStates_; }
    void SetSaveStates(TcxDataExpandingInfoStateSet states) { saveStates_ = states; }

private:
    std::vector<TcxCustomDataField*> fields_;
    std::vector<TcxDataExpandingInfo> items_;
    TcxDataExpandingInfoStateSet saveStates_;
};

// ---- the row engine ----------------------------------------------------------

// Turns the controller's records into rows: the filtered and sorted record
// list, the focus and the selection. Changes made while locked are run in
// one Update when the lock count returns to 0.
class TcxCustomDataControllerInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller);
    virtual void TruncateSelection();
    virtual void Update();

    void BeginUpdate() { ++lockCount_; }
    void EndUpdate();
    void CheckChanges();
    int LockCount() const { return lockCount_; }
    TcxDataControllerInfoChanges Changes() const { return changes_; }

    void Refresh();
    void RefreshFocused();
    void RefreshSummary(bool redrawOnly);
    void FocusedRecordChanged(bool newItemRowChanged);
    void SortingChanged() { changes_.Include(dcicSorting); }
    void GroupingChanged();
    void SelectionChanged();
    void RemoveField(TcxCustomDataField* field);
    void UpdateField(TcxCustomDataField* field);
    void ChangeSorting(TcxCustomDataField* field, TcxDataSortOrder order);
    void ChangeSortIndex(TcxCustomDataField* field, int index);
    void ClearSorting(bool keepGroupedItems);
    void ChangeGrouping(TcxCustomDataField* field, int index);
    void ClearGrouping();
    void ChangeExpanding(int row, bool expanded, bool recursive);
    void FullCollapse();
    void FullExpand();
    void ExpandingChanged();
    // Saves the expanded and selected groups by group value, for the next
    // update to find again.
    void SaveExpanding(TcxDataExpandingInfoStateSet states);

    int GetRowCount() const { return IsGrouped() ? groups_.GetRowCount() : static_cast<int>(recordList_.size()); }
    bool IsGrouped() const { return groups_.GetItemCount() > 0; }
    bool IsAlwaysExpanded() const;
    TcxDataGroups& DataGroups() { return groups_; }
    const TcxDataGroups& DataGroups() const { return groups_; }
    int FindDataGroup(int position) const;
    int LocateDetail(int groupIndex, int position, bool makeVisible);
    int LocateGroupByLevel(int groupIndex, int level);
    void CheckRowIndex(int row) const;
    TcxRowInfo GetRowInfo(int row) const;
    int GetRowIndexByRecordIndex(int recordIndex, bool makeVisible);
    int GetNearestRowIndex(int row) const;
    int GetInternalRecordCount() const { return static_cast<int>(recordList_.size()); }
    int GetInternalRecordIndex(int position) const;
    int GetInternalRecordListIndex(int recordIndex) const;

    int GetFocusedRowIndex() const { return focusingInfo_.RowIndex; }
    int GetFocusedRecordIndex() const;
    int GetPrevFocusedRowIndex() const { return prevFocusingInfo_.RowIndex; }
    int GetPrevFocusedRecordIndex() const { return prevFocusingInfo_.PrevRecordIndex; }
    bool GetNewItemRowFocusingChanged() const { return prevFocusingInfo_.Changed; }
    // False when CanFocusRecord refused the move.
    bool SetFocusedRowIndex(int row);
    void CorrectFocusedRow(int row);
    bool CanFocusedRowChanging(int row);
    TcxDataFocusingInfo& FocusingInfo() { return focusingInfo_; }
    TcxDataFocusingInfo& PrevFocusingInfo() { return prevFocusingInfo_; }
    // The previous focusing info takes the current one (after a focus notice).
    void AssignPrevFocusingInfo() { prevFocusingInfo_.Assign(focusingInfo_); }

    void ChangeRowSelection(int row, bool selected);
    void ClearSelection();
    void ClearSelectionAnchor();
    int GetSelectedCount() const { return selection_->Count(); }
    int GetSelectedRowIndex(int index) const { return selection_->Items(index).RowIndex; }
    bool IsRowSelected(int row) const;
    TcxDataSelection& Selection() const { return *selection_; }

    TcxSortingFieldList& SortingFieldList() { return sortingList_; }
    TcxGroupingFieldList& GroupingFieldList() { return groupingList_; }
    TcxSortingFieldList& TotalSortingFieldList() { return totalSortingList_; }
    void PrepareSorting();
    void UnprepareSorting();
    int CompareRecords(int recordIndex1, int recordIndex2);
    int CompareGroupRecords(int recordIndex1, int recordIndex2, int level);
    // Sorts the groups by a summary value; focus and selection stay on
    // their records and groups.
    void SortGroupsBySummary(int summaryIndex, TcxDataSortOrder order);

    TcxCustomDataController* DataController() const { return controller_; }

protected:
    void Destroy() override;

private:
    void DoLoad();
    void DoFilter();
    void DoSort();
    void BuildSortKeys();
    void DoGrouping();
    void ResetFocusing();
    void SaveInfo();
    void CheckExpanding();
    int LocateSavedGroup(int level, const std::vector<hostlib::Variant>& values);
    bool SameGroupValue(TcxCustomDataField* field, const hostlib::Variant& a, const hostlib::Variant& b);
    void RecalcSelection();
    void CheckFocusing();
    void CheckAfterCollapsing();
    void ForwardChanges();
    int FindFocusedRow(bool afterCollapse);
    bool DoChangeFocusedRow(int row, bool noCheck);
    void RebuildPositions();
    void DoSummary();

    TcxCustomDataController* controller_ = nullptr;
    std::vector<int> recordList_;
    // The position of every record in recordList_ (-1 when filtered out),
    // rebuilt after every load, filter and sort.
    std::vector<int> positions_;
    TcxSortingFieldList sortingList_;
    TcxGroupingFieldList groupingList_;
    TcxSortingFieldList totalSortingList_;
    // Built by a sort for it and the grouping after it; empty otherwise.
    RecordSortKeys sortKeys_;
    TcxDataGroups groups_;
    std::vector<hostlib::Variant> groupValues_;
    TcxDataExpandingInfos expandingInfos_;
    TcxDataFocusingInfo focusingInfo_{this};
    TcxDataFocusingInfo prevFocusingInfo_{this};
    hostlib::ObjectPtr<TcxDataSelection> selection_;
    TcxDataControllerInfoChanges changes_;
    int lockCount_ = 0;
    bool focusing_ = false;
    bool expanding_ = false;
};

// The controller's grouping facade; every group index is an index into the
// row engine's group list.
class TcxDataControllerGroups : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxDataControllerGroups(TcxCustomDataController* controller) : controller_(controller) {}
    TcxDataControllerGroups() = default;

    void ChangeGrouping(int itemIndex, int groupIndex);
    void ClearGrouping();
    void ChangeExpanding(int rowIndex, bool expanded, bool recursive);
    void FullCollapse();
    void FullExpand();
    int GetGroupingItemCount() const;
    int GetGroupingItemIndex(int index) const;
    int GetItemGroupIndex(int itemIndex) const;
    int GetDataGroupIndexByRowIndex(int rowIndex) const;
    int GetLevel(int groupIndex) const;
    int GetParentDataGroupIndex(int groupIndex) const;
    int GetChildCount(int groupIndex) const;
    int GetChildDataGroupIndex(int groupIndex, int childIndex) const;
    int GetChildRecordIndex(int groupIndex, int childIndex) const;
    bool HasAsParent(int rowIndex, int parentRowIndex) const;
    void LoadRecordIndexes(std::vector<int>& list, int groupIndex) const;
    void LoadRecordIndexesByRowIndex(std::vector<int>& list, int rowIndex) const;

private:
    TcxCustomDataControllerInfo& Info() const;
    const TcxDataGroups& Groups() const;

    TcxCustomDataController* controller_ = nullptr;
};

// ---- the data provider -------------------------------------------------------

// The adapter to where records come from (here the controller's own
// storage) and the keeper of the edit state of the one record being edited.
class TcxCustomDataProvider : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller);

    virtual bool IsCustomDataSourceSupported() const { return true; }
    virtual bool IsGridMode() const { return false; }
    virtual bool IsDataSource() const { return false; }
    virtual bool IsOtherInsert() const { return false; }
    virtual bool IsSyncMode() const { return false; }
    virtual bool IsActive() const { return customDataSource_ != nullptr; }
    virtual bool IsActiveDataSet() const { return false; }
    virtual bool IsBOF() const { return true; }
    virtual bool IsEOF() const { return true; }
    virtual bool IsChanging() const { return changing_; }
    virtual bool IsEditing() const { return editingRecordIndex_ != cxNullEditingRecordIndex; }
    virtual bool IsGridModeUpdating() const { return false; }
    virtual bool IsInserting() const { return IsEditing() && inserting_; }
    virtual bool IsModified() const { return modified_; }
    virtual bool IsUnboundColumnMode() const { return !CanModify(); }

    virtual void First() { fieldsRecreatedByFirst_ = false; }
    virtual void Prev() {}
    virtual void Next() {}
    virtual void Last() {}
    virtual void MoveBy(int) {}
    virtual void Scroll(int) {}
    virtual void SavePos() {}
    virtual void RestorePos() {}

    virtual bool CanAppend() const { return CanModify(); }
    virtual bool CanInsert() const { return CanModify(); }
    virtual bool CanDelete() const;
    virtual bool CanInitEditing(int recordIndex);
    virtual bool CanModify() const { return true; }

    virtual void Append() { InsertingRecord(true); }
    virtual void Cancel();
    virtual void DoUpdateData();
    virtual void Delete();
    virtual void DeleteRecords(std::vector<int>& list);
    virtual void DeleteSelection();
    // Editing the record already being edited keeps its saved copy.
    virtual void Edit()
    {
        if (!IsEditing()) SetEditing();
    }
    virtual hostlib::Variant GetEditValue(int recordIndex, TcxCustomDataField* field, TcxDataEditValueSource source);
    virtual void Insert() { InsertingRecord(false); }
    virtual void Post();
    virtual void PostEditingData();
    virtual bool SetEditValue(int recordIndex, TcxCustomDataField* field, const hostlib::Variant& value,
                              TcxDataEditValueSource source);
    virtual void BeginDeleting();
    virtual void EndDeleting();
    virtual void AssignItemValue(int recordIndex, TcxCustomDataField* field, const hostlib::Variant& value);
    virtual void DoInitInsertingRecord(int recordIndex, const hostlib::Variant& groupValues);
    virtual void EditingRecord();
    virtual void InsertingRecord(bool isAppending);
    virtual void ResetChanging() { changing_ = false; }
    virtual void ResetEditing();
    virtual void ResetModified() { modified_ = false; }
    virtual void SetChanging() { changing_ = true; }
    virtual void SetEditing() { EditingRecord(); }
    virtual void SetModified() { modified_ = true; }

    virtual void BeginLocate() { ++locateCount_; }
    virtual void EndLocate() { --locateCount_; }
    virtual void Freeze() { ++freezeCount_; }
    virtual void CorrectRecordIndex(int) {}
    // The reader a smart-load append fills its new record from.
    virtual hostlib::TClass GetValueDefReaderClass() const { return TcxValueDefReader::StaticClass(); }
    virtual void Unfreeze() { --freezeCount_; }

    virtual void ActiveChanged(bool active);
    virtual void DataChanged(TcxDataChange kind, int itemIndex, int recordIndex);
    virtual void DataScrolled(int distance);
    virtual void LayoutChanged(TcxDataLayoutChanges changes);

    // Provider mode: every record operation goes to the custom data source
    // by record handle; without a source each is inert.
    TcxCustomDataSource* CustomDataSource() const { return customDataSource_; }
    void SetCustomDataSource(TcxCustomDataSource* value);
    virtual int AppendRecord();
    virtual int InsertRecord(int recordIndex);
    virtual void DeleteRecord(int recordIndex);
    virtual hostlib::Variant GetValue(int recordIndex, TcxCustomDataField* field) const;
    virtual void SetValue(int recordIndex, TcxCustomDataField* field, const hostlib::Variant& value);
    virtual std::string GetDisplayText(int recordIndex, TcxCustomDataField* field) const;
    virtual void SetDisplayText(int, TcxCustomDataField*, const std::string&) {}
    virtual hostlib::Variant GetRecordId(int recordIndex) const;
    virtual void SetRecordCount(int count);
    virtual void CustomSort();
    virtual bool IsCustomSorting() const;
    virtual bool IsNativeCompare() const;
    virtual bool IsNativeCompareFunc() const;
    virtual bool IsRecordIdSupported() const;
    virtual void LoadRecordHandles();
    virtual bool GetDetailHasChildren(int recordIndex, int relationIndex);
    virtual int NativeCompareFunc(int recordIndex1, int recordIndex2, TcxCustomDataField* field);
    virtual int NativeCompare(int recordIndex1, int recordIndex2, TcxCustomDataField* field);
    virtual hostlib::Variant GetExternalDataValue(int, TcxCustomDataField*) const { return hostlib::Variant::Null(); }
    virtual std::string GetExternalDataDisplayText(int, TcxCustomDataField*) const { return std::string(); }
    virtual int GetRecordIndex() const { return -1; }
    virtual void LoadDataBuffer() {}
    int AddRecordHandle(TcxDataRecordHandle recordHandle);

    TcxCustomDataController* DataController() const { return controller_; }
    int EditingRecordIndex() const { return editingRecordIndex_; }
    int AfterAllAnchor() const { return afterAllAnchor_; }
    int BeforeRecordAnchor() const { return beforeRecordAnchor_; }
    bool HasAnchor() const
    {
        return afterAllAnchor_ != cxNullEditingRecordIndex || beforeRecordAnchor_ != cxNullEditingRecordIndex;
    }
    int InsertedRecordIndex() const { return insertedRecordIndex_; }
    void SetInsertedRecordIndex(int value) { insertedRecordIndex_ = value; }
    int SavedRecordIndex() const { return savedRecordIndex_; }
    void ClearSavedRecord() { savedRecordIndex_ = 0; }
    bool IsFrozen() const { return freezeCount_ > 0; }
    int LocateCount() const { return locateCount_; }
    bool DataChangedLocked() const { return dataChangedLocked_; }
    bool LoadAllNeeded() const { return loadAllNeeded_; }
    void SetLoadAllNeeded(bool value) { loadAllNeeded_ = value; }

protected:
    void Destroy() override;

private:
    void DeleteFocusedRecordCore();
    // The source, made aware that this provider calls it.
    TcxCustomDataSource* Source() const;
    TcxDataRecordHandle HandleOf(int recordIndex) const;
    TcxDataItemHandle ItemHandleOf(TcxCustomDataField* field) const;
    // The storage record of a handle the source returned.
    int IndexOfNewHandle(TcxDataRecordHandle recordHandle);
    bool GetCompareInfo(int recordIndex, TcxCustomDataField* field, const void*& value) const;

    TcxCustomDataController* controller_ = nullptr;
    TcxCustomDataSource* customDataSource_ = nullptr;
    int editingRecordIndex_ = cxNullEditingRecordIndex;
    int afterAllAnchor_ = cxNullEditingRecordIndex;
    int beforeRecordAnchor_ = cxNullEditingRecordIndex;
    int insertedRecordIndex_ = -1;
    int savedRecordIndex_ = 0;
    bool inserting_ = false;
    bool changing_ = false;
    bool modified_ = false;
    bool inUpdateData_ = false;
    bool dataChangedLocked_ = false;
    bool fieldsRecreatedByFirst_ = false;
    bool loadAllNeeded_ = false;
    int freezeCount_ = 0;
    int locateCount_ = 0;
};

// ---- notifier and listener links ---------------------------------------------

// The target of free notifications for components the items depend on.
class TcxDataControllerNotifier : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void SetDataController(TcxCustomDataController* controller) { controller_ = controller; }
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;

private:
    TcxCustomDataController* controller_ = nullptr;
};

// Tells code that called out to handlers whether the controller survived:
// the controller clears DataController when it is destroyed.
struct TcxDataListenerLink {
    TcxCustomDataController* DataController = nullptr;
};

// ---- the controller ----------------------------------------------------------

using TcxDataControllerNotifyEvent = hostlib::Event<TcxCustomDataController*>;
using TcxDataControllerRecordEvent = hostlib::Event<TcxCustomDataController*, int>;
using TcxDataFilterRecordEvent = hostlib::Event<TcxCustomDataController*, int, bool&>;
using TcxDataControllerCompareEvent = hostlib::Event<TcxCustomDataController*, int, int, int, const hostlib::Variant&,
                                                     const hostlib::Variant&, int&>;
using TcxDataRecordChangedEvent = hostlib::Event<TcxCustomDataController*, int, int>;
using TcxDataDetailExpandingEvent = hostlib::Event<TcxCustomDataController*, int, bool&>;
using TcxDataDetailExpandedEvent = hostlib::Event<TcxCustomDataController*, int>;
using TcxUpdateControlEvent = hostlib::Event<TcxUpdateControlInfo*>;
using TcxDataControllerEachRowProc = std::function<void(int rowIndex, const TcxRowInfo& rowInfo)>;

class TcxCustomDataController : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Second construction phase; the owner may be nullptr.
    virtual void Construct(hostlib::TComponent* owner);
    void BeforeDestruction() override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override { return owner_; }
    hostlib::TComponent* Owner() const { return owner_; }

    // Class factories.
    virtual hostlib::TClass GetDataProviderClass() const;
    virtual hostlib::TClass GetDataSelectionClass() const;
    virtual hostlib::TClass GetFieldClass() const;
    virtual hostlib::TClass GetFilterCriteriaClass() const;
    virtual hostlib::TClass GetRelationClass() const;
    virtual hostlib::TClass GetSummaryClass() const;
    virtual hostlib::TClass GetSummaryItemClass() const;
    virtual hostlib::TClass GetSummaryGroupItemLinkClass() const;

    // Items and fields.
    virtual void AddItem(hostlib::TObject* item);
    virtual TcxCustomDataField* AddField();
    virtual TcxCustomDataField* AddInternalField();
    virtual void RemoveItem(hostlib::TObject* item);
    virtual void RemoveField(TcxCustomDataField* field);
    virtual void UpdateItemIndexes();
    virtual int GetItemCount() const;
    virtual hostlib::TObject* GetItem(int index) const = 0;
    virtual int GetItemID(hostlib::TObject* item) const;
    virtual hostlib::TObject* FindItemByInternalID(int id) const;
    virtual hostlib::TObject* FindProperItemLink(hostlib::TObject* item) const;
    virtual void ChangeValueTypeClass(int itemIndex, TcxValueTypeClass valueTypeClass);
    virtual void ChangeTextStored(int itemIndex, bool value);
    virtual void ChangeNeedConversion(int itemIndex, bool value);
    virtual TcxValueTypeClass GetItemValueTypeClass(int itemIndex) const;
    virtual bool GetItemTextStored(int itemIndex) const;
    virtual bool GetItemNeedConversion(int itemIndex) const;
    virtual bool ItemPropertiesChanged(int itemIndex);
    virtual void DoValueTypeClassChanged(int) {}
    virtual void RemoveNotification(hostlib::TComponent* component);
    TcxCustomDataFieldList& Fields() const { return *fields_; }
    // The field of an item index (checked).
    TcxCustomDataField* GetField(int itemIndex) const;
    int GetItemIndexByField(const TcxCustomDataField* field) const;

    // Records and values.
    virtual int GetRecordCount() const;
    int AppendRecord();
    void InsertRecord(int recordIndex);
    void DeleteRecord(int recordIndex);
    virtual void SetRecordCount(int count);
    virtual hostlib::Variant GetValue(int recordIndex, int itemIndex) const;
    virtual std::string GetDisplayText(int recordIndex, int itemIndex) const;
    virtual void SetValue(int recordIndex, int itemIndex, const hostlib::Variant& value);
    virtual void SetDisplayText(int recordIndex, int itemIndex, const std::string& text);
    virtual hostlib::Variant GetInternalValue(int recordIndex, TcxCustomDataField* field) const;
    virtual std::string GetInternalDisplayText(int recordIndex, TcxCustomDataField* field) const;
    hostlib::Variant GetStoredValue(int recordIndex, TcxCustomDataField* field) const;
    std::string GetStoredDisplayText(int recordIndex, TcxCustomDataField* field) const;
    void SetStoredValue(int recordIndex, TcxCustomDataField* field, const hostlib::Variant& value);
    virtual bool IsDataField(const TcxCustomDataField* field) const;
    virtual hostlib::Variant GetRecordId(int recordIndex) const;
    virtual hostlib::Variant GetRowId(int rowIndex) const;
    // The key of a record: Null without key fields, the value of a single
    // key field, else an array of their values.
    virtual hostlib::Variant GetInternalRecordId(int recordIndex, const std::vector<TcxCustomDataField*>& keyFields) const;
    virtual void GetKeyFields(std::vector<TcxCustomDataField*>&) const {}
    virtual hostlib::Variant GetGroupValue(int recordIndex, TcxCustomDataField* field) const;
    virtual void GetGroupValues(int recordIndex, hostlib::Variant& values) const;
    virtual void Refresh();
    void SortByDisplayTextChanged() { Refresh(); }
    virtual int GetNewItemRecordIndex();
    bool IsNewItemRecordIndex(int recordIndex) const;
    TcxDataStorage& DataStorage() const { return *storage_; }

    // Range checks.
    void CheckItemRange(int itemIndex) const;
    void CheckRecordRange(int recordIndex) const;
    // Every cell read and write passes here: an ordinary record and item
    // cost no call.
    void CheckRange(int recordIndex, int itemIndex) const
    {
        if (recordIndex >= 0 && recordIndex < GetRecordCount() && itemIndex >= 0 && itemIndex < GetItemCount()) return;
        CheckRecordRange(recordIndex);
        CheckItemRange(itemIndex);
    }
    [[noreturn]] static void InvalidOperation(const std::string& message);

    // Loading and modes.
    virtual void LayoutChanged(TcxDataLayoutChanges changes);
    void UpdateItems(bool force);
    void UpdateStorage(bool force);
    virtual bool IsProviderDataSource() const;
    virtual void UpdateFields();
    virtual void PrepareField(TcxCustomDataField*) {}
    virtual void LoadStorage();
    virtual void RestructData();
    void CheckMode();
    virtual bool IsProviderMode() const { return provider_->CustomDataSource() != nullptr; }
    TcxCustomDataSource* GetCustomDataSource() const { return provider_->CustomDataSource(); }
    void SetCustomDataSource(TcxCustomDataSource* value) { provider_->SetCustomDataSource(value); }
    // The internal field holding each record's handle in provider mode.
    TcxCustomDataField* RecordHandleField() const { return recordHandleField_; }
    virtual bool IsUnboundMode() const;
    bool IsGridMode() const { return provider_->IsGridMode(); }
    virtual bool UseRecordID() const { return false; }
    bool IsRecordID() const { return IsUnboundMode() && UseRecordID(); }
    void UpdateUseRecordIDState();
    virtual bool IsKeyNavigation() const { return IsProviderMode() && provider_->IsRecordIdSupported(); }
    virtual bool IsSmartLoad() const { return false; }
    virtual bool IsSmartRefresh() const { return false; }
    virtual bool IsLoading() const;
    virtual bool IsDestroying() const;
    virtual bool LockOnAfterSummary() const { return false; }
    virtual void ActiveChanged(bool active);
    bool Active() const { return active_; }
    virtual void DataScrolled(int distance);
    virtual void UpdateFocused();
    virtual void DataStorageClearInternalRecords(hostlib::TObject* sender);
    virtual void Loaded();
    virtual bool ExecuteAction(hostlib::TComponent*) { return false; }
    virtual bool UpdateAction(hostlib::TComponent*) { return false; }
    virtual void RefreshExternalData() {}
    virtual void UpdateData() {}
    virtual void SetFocus() {}
    virtual void DoBeforeFocusedRowChange(int) {}
    virtual void CheckBrowseMode() {}
    virtual void DoReadRecord(int recordIndex) { provider_->CorrectRecordIndex(recordIndex); }

    TcxDataControllerOptions Options() const { return options_; }
    void SetOptions(TcxDataControllerOptions value);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    TcxCustomDataProvider& Provider() const { return *provider_; }
    TcxDataControllerGroups& Groups() const { return *groups_; }
    void SetGroupingChangedFlag() { groupingChanged_ = true; }
    TcxCustomDataControllerInfo& DataControllerInfo() const { return *info_; }
    // Hears of freed components the controller's fields refer to.
    hostlib::TComponent* Notifier() const { return notifier_.get(); }

    // Change brackets and notification.
    void BeginUpdate();
    void EndUpdate();
    virtual void BeginFullUpdate() { BeginUpdate(); }
    virtual void EndFullUpdate() { EndUpdate(); }
    int GetLockCount() const { return info_->LockCount(); }
    void BeginUpdateFields() { ++updateFieldsCount_; }
    void EndUpdateFields();
    void LockDataChangedNotify() { ++dataChangedNotifyLock_; }
    void UnlockDataChangedNotify() { --dataChangedNotifyLock_; }
    bool DataChangedNotifyLocked() const { return dataChangedNotifyLock_ > 0; }
    void LockGridModeNotify();
    void UnlockGridModeNotify();
    void SaveKeys();
    void RestoreKeys();
    void Change(TcxDataControllerChanges changes);
    void CheckChanges();
    virtual void DataChanged(TcxDataChange kind, int itemIndex, int recordIndex);
    virtual void UpdateControl(TcxUpdateControlInfo* info);
    virtual void DoDataChanged();
    void AddDataChangedListener(hostlib::TObject* instance, const hostlib::TNotifyEvent& event);
    void RemoveDataChangedListener(hostlib::TObject* instance, const hostlib::TNotifyEvent& event);
    bool IsDataChangedListenersExist() const;
    TcxDataListenerLink* AddListenerLink();
    static void RemoveListenerLink(TcxDataListenerLink* link);
    bool HasListenerLinks() const { return !listenerLinks_.empty(); }
    void CorrectPrevSelectionChangedInfo();
    bool InNotifyControl() const { return inNotifyControl_; }

    // Editing.
    virtual void Edit();
    virtual void Insert();
    virtual void Append();
    virtual void Post();
    virtual void Cancel();
    virtual void PostEditingData();
    virtual bool CanInitEditing(int itemIndex);
    virtual TcxDataEditValueSource GetItemValueSource(int) const { return evsText; }
    virtual hostlib::Variant GetEditValue(int itemIndex, TcxDataEditValueSource source);
    virtual bool SetEditValue(int itemIndex, const hostlib::Variant& value, TcxDataEditValueSource source);
    virtual bool IsImmediatePost() const;
    virtual int GetEditingRecordIndex();
    virtual int CalcEditingRecordIndex();
    virtual TcxDataControllerEditState GetEditState() const;
    bool GetIsEditing() const;
    virtual TcxDataControllerEditOperations GetEditOperations() const;
    virtual bool CanFocusRecord(int recordIndex);
    void BeforeSorting();
    virtual void CheckEditingRecordIndex(int recordIndex);
    virtual void CopyRecord(int fromRecordIndex, int toRecordIndex);
    virtual void ProviderValueDefSetProc(TcxCustomDataField* field, int fromRecordIndex, int toRecordIndex);
    virtual void FocusControl(int, bool& done) { done = false; }
    bool UseNewItemRowForEditing() const { return useNewItemRowForEditing_; }
    void SetUseNewItemRowForEditing(bool value);
    bool GetNewItemRowFocused() const;
    void SetNewItemRowFocused(bool value);
    void ResetNewItemRowFocused();
    virtual void DeleteFocused();
    virtual void DeleteSelection();
    void DeleteRecords(std::vector<int> list);
    void DeleteFocusedRecord();
    void CheckNearestFocusRow();
    int NearestRecordIndex() const { return nearestRecordIndex_; }
    void SetNearestRecordIndex(int value) { nearestRecordIndex_ = value; }
    bool InDeleteSelection() const { return inDeleteSelection_; }
    void SetInDeleteSelection(bool value) { inDeleteSelection_ = value; }

    // Focus and navigation.
    int GetFocusedRowIndex() const { return info_->GetFocusedRowIndex(); }
    int GetFocusedRecordIndex() const { return info_->GetFocusedRecordIndex(); }
    void SetFocusedRecordIndex(int recordIndex) { ChangeFocusedRecordIndex(recordIndex); }
    virtual int GetActiveRecordIndex() const { return GetFocusedRecordIndex(); }
    virtual int GetRecordIndex() const;
    bool ChangeFocusedRowIndex(int rowIndex);
    bool SetFocusedRowIndex(int rowIndex) { return ChangeFocusedRowIndex(rowIndex); }
    bool ChangeFocusedRecordIndex(int recordIndex);
    int GetRowIndexByRecordIndex(int recordIndex, bool makeVisible);
    int MakeRecordVisible(int recordIndex) { return GetRowIndexByRecordIndex(recordIndex, true); }
    void CheckFocusedRow();
    virtual bool FocusSelectedRow(int index);
    void GotoFirst();
    void GotoLast();
    void GotoNext();
    void GotoPrev();
    void MoveBy(int distance);
    bool IsBOF() const;
    bool IsEOF() const;
    void Scroll(int distance);
    virtual void SaveDataSetPos() { provider_->SavePos(); }
    virtual void RestoreDataSetPos() { provider_->RestorePos(); }
    int GetRowCount() const { return info_->GetRowCount(); }
    TcxRowInfo GetRowInfo(int rowIndex) const { return info_->GetRowInfo(rowIndex); }
    int GetNearestRowIndex(int rowIndex) const { return info_->GetNearestRowIndex(rowIndex); }
    int GetLastRecordIndex() const;
    int GetFilteredRecordCount() const { return info_->GetInternalRecordCount(); }
    int GetFilteredRecordIndex(int position) const { return info_->GetInternalRecordIndex(position); }
    int GetFilteredIndexByRecordIndex(int recordIndex) const { return info_->GetInternalRecordListIndex(recordIndex); }
    void CheckSelectedCount(int recordIndex);
    virtual void ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc);
    hostlib::Variant GetRowValue(const TcxRowInfo& rowInfo, int itemIndex) const;
    std::string GetRowDisplayText(const TcxRowInfo& rowInfo, int& itemIndex) const;
    virtual bool CanSelectRow(int) { return true; }

    // Bookmark.
    virtual bool IsBookmarkAvailable() const { return bookmarkRecordIndex_ != -1; }
    virtual bool IsBookmarkRow(int rowIndex) const;
    void SaveBookmark();
    void ClearBookmark();
    void GotoBookmark();
    virtual void CheckBookmarkValid(int deletedRecordIndex);
    // Where a descendant keeps its bookmark otherwise: saving answers
    // whether a bookmark change is to be announced, checking whether the
    // bookmark is no longer valid.
    virtual bool InternalSaveBookmark();
    virtual void InternalGotoBookmark() { ChangeFocusedRecordIndex(bookmarkRecordIndex_); }
    virtual bool InternalCheckBookmark(int deletedRecordIndex);
    virtual void InternalClearBookmark() { bookmarkRecordIndex_ = -1; }
    int BookmarkRecordIndex() const { return bookmarkRecordIndex_; }

    // Selection.
    virtual bool IsFocusedSelectedMode() const { return !multiSelect_; }
    virtual void ChangeRowSelection(int rowIndex, bool selected);
    void SelectRows(int rowIndex1, int rowIndex2);
    virtual void SelectAll();
    virtual void SelectFromAnchor(int rowIndex, bool keepSelection);
    virtual void SetSelectionAnchor(int rowIndex);
    virtual int GetSelectionAnchorRowIndex() const { return info_->Selection().AnchorRowIndex(); }
    virtual bool IsSelectionAnchorExist() const { return GetSelectionAnchorRowIndex() != -1; }
    virtual void ClearSelectionAnchor() { info_->ClearSelectionAnchor(); }
    void ClearSelection() { info_->ClearSelection(); }
    void CheckFocusedSelected();
    virtual void SyncSelectionFocusedRecord();
    int GetSelectedCount() const;
    virtual int GetSelectedRowIndex(int index) const;
    bool IsRowSelected(int rowIndex) const;
    void SyncSelected(bool selected);
    bool FocusedSelected() const { return focusedSelected_; }

    // Sorting and record comparison.
    void ChangeSorting(int itemIndex, TcxDataSortOrder order);
    void ChangeItemSortingIndex(int itemIndex, int index);
    void ClearSorting(bool keepGroupedItems);
    TcxDataSortOrder GetItemSortOrder(int itemIndex) const;
    int GetItemSortingIndex(int itemIndex) const;
    int GetSortingItemCount() const;
    int GetSortingItemIndex(int index) const;
    int GetGroupingItemCount() const;
    virtual bool GetItemSortByDisplayText(int, bool) const { return false; }
    virtual int CompareByField(int recordIndex1, int recordIndex2, TcxCustomDataField* field);
    virtual int CompareEqualRecords(int recordIndex1, int recordIndex2) { return recordIndex1 - recordIndex2; }
    virtual int CompareRecords(int recordIndex1, int recordIndex2, const TcxDataSortInfo& sortInfo);
    virtual hostlib::Variant GetComparedValue(int recordIndex, TcxCustomDataField* field);
    virtual bool IsConversionNeededForCompare(TcxCustomDataField* field);
    virtual bool IsStringConversionNeeded(TcxCustomDataField* field);
    virtual bool IsSortByDisplayTextNeeded(TcxCustomDataField* field);
    virtual int NativeCompare(int recordIndex1, int recordIndex2, TcxCustomDataField* field);
    // Appends the record's key for the field, with the compare markers
    // prepared: keys compared as bytes order records as CompareByField
    // does, so a sort builds them once instead of comparing values again
    // and again. False (the key partly written) where no key gives that
    // order: a compare event, provider mode, values of other types. A
    // descendant that compares otherwise answers false or keys its order.
    virtual bool GetSortKey(int recordIndex, TcxCustomDataField* field, std::string& key);
    // Compares two texts by dcoAnsiSort and dcoCaseInsensitive.
    int CompareTexts(const std::string& text1, const std::string& text2) const;
    // Appends a key whose byte order is CompareTexts' order.
    void AppendTextSortKey(const std::string& text, std::string& key) const;
    bool SortingChangedFlag() const { return sortingChanged_; }
    bool GroupingChangedFlag() const { return groupingChanged_; }
    bool StorageLoadedOnActivation() const { return storageLoadedOnActivation_; }
    bool FilterChangedFlag() const { return filterChanged_; }
    bool CheckFocusingAfterFilterNeeded() const { return checkFocusingAfterFilter_; }
    void SetFilterChangedFlag(bool value) { filterChanged_ = value; }
    void SetCheckFocusingAfterFilterNeeded(bool value) { checkFocusingAfterFilter_ = value; }
    void ClearUpdateFlags();

    // Filtering: the filter-record event, the incremental filter and the
    // criteria, tested in that order.
    TcxDataFilterCriteria& Filter() const { return *filter_; }
    void SetFilter(TcxDataFilterCriteria* value) { filter_->Assign(value); }
    // Further criteria that never refilter the controller; it owns them.
    virtual TcxDataFilterCriteria* CreateFilter();
    TcxDataFilterList& Filters() const { return *filters_; }
    void SetOnFilterRecord(const TcxDataFilterRecordEvent& event);
    virtual bool IsFilterRecord() const { return static_cast<bool>(OnFilterRecord); }
    virtual void FilterChanged();
    virtual hostlib::Variant GetFilterDataValue(int recordIndex, TcxCustomDataField* field) const
    {
        return GetInternalValue(recordIndex, field);
    }
    virtual std::string GetFilterDisplayText(int recordIndex, int itemIndex) const { return GetDisplayText(recordIndex, itemIndex); }
    virtual std::string GetFilterItemFieldCaption(hostlib::TObject*) const { return std::string(); }
    virtual std::string GetFilterItemFieldName(hostlib::TObject* item) const { return GetFilterItemFieldCaption(item); }
    virtual bool IsFilterItemSortByDisplayText(int itemIndex) const;
    virtual bool IsIncrementalFilter() const { return incrementalFilterField_ && !incrementalFilterText_.empty(); }
    virtual std::string GetIncrementalFilterText() const { return incrementalFilterText_; }
    // Returns the first filtered record, -1 when none passes.
    virtual int SetIncrementalFilter(int itemIndex, const std::string& text);
    virtual void ResetIncrementalFilter();
    bool ChangeIncrementalFilterText(const std::string& text);
    virtual bool DoIncrementalFilterRecord(int recordIndex);

    // The "DataController1" stream: the value types and every record.
    void SaveToStream(hostlib::TStream& stream);
    // Refuses a stream of other value types before anything changes, and
    // reads all records before replacing the old ones.
    void LoadFromStream(hostlib::TStream& stream);

    // Smart load: single records added or deleted while a provider loads.
    virtual void BeginSmartLoad();
    virtual void EndSmartLoad();
    virtual int LoadRecord(TcxValueDefReader& source);
    // Provider mode: the record is added by its handle.
    virtual int LoadRecord(TcxDataRecordHandle recordHandle);
    virtual int AppendInSmartLoad();
    virtual void DeleteInSmartLoad(int recordIndex);
    bool InSmartLoadOperation() const { return smartLoadOperation_; }

    // Finding records.
    TcxDataControllerSearch& Search() const { return *search_; }
    TcxCustomDataField* SearchField() const { return searchField_; }
    void SetSearchField(TcxCustomDataField* field) { searchField_ = field; }
    const std::string& SearchText() const { return searchText_; }
    bool Searching() const { return searching_; }
    void SetSearchState(bool searching, const std::string& text)
    {
        searching_ = searching;
        searchText_ = text;
    }
    virtual bool DoSearchInGridMode(const std::string&, bool, bool) { return false; }
    virtual std::string GetIncrementalSearchText(int recordIndex, int itemIndex) { return GetDisplayText(recordIndex, itemIndex); }
    // The first filtered record from the start position on whose text of
    // the item matches by DataCompareText; -1 when none or the start is no
    // filtered position.
    virtual int FindRecordIndexByText(int startPosition, int itemIndex, const std::string& text, bool partial, bool circular,
                                      bool forward);
    // The first record (of all) equal to the internal record in every field.
    int FindRecordByFields(int internalRecordIndex, const std::vector<TcxCustomDataField*>& fields);
    // A filtered record of the internal record's group over the first
    // levels, by halving the sorted list.
    int FindGroupRecord(int internalRecordIndex, int levelCount);
    bool InInternalFind() const { return inInternalFind_; }
    void SetInternalFind(bool value) { inInternalFind_ = value; }

    // Summaries and sorting groups by a summary value.
    TcxDataSummary& Summary() const { return *summary_; }
    void SetSummary(TcxDataSummary* value);
    void SummaryChanged(bool redrawOnly);
    // A pattern controller (the template of detail clones) runs no
    // after-summary event.
    virtual bool IsPattern() const { return GetDetailMode() == dcdmPattern; }
    bool AfterSummaryFlag() const { return afterSummaryFlag_; }
    void SetAfterSummaryFlag(bool value) { afterSummaryFlag_ = value; }
    TcxDataSummaryItem* SortedSummaryItem() const { return sortedSummaryItem_; }
    void SetSortedSummaryItem(TcxDataSummaryItem* item);
    void SetSummaryItemSortOrder(TcxDataSortOrder order);
    TcxDataSortOrder GetSummaryItemSortOrder() const;
    virtual bool IsSortBySummary() const { return sortedSummaryItem_ != nullptr; }
    virtual void DoSortBySummary();

    // Master-detail.
    TcxCustomDataRelationList& Relations();
    bool RelationsExist() const { return relations_ != nullptr; }
    virtual TcxCustomDataRelation* GetMasterRelation() const { return masterRelation_; }
    virtual bool IsDetailMode() const { return GetMasterRelation() != nullptr; }
    virtual TcxCustomDataController* GetMasterDataController() const;
    virtual int GetMasterRecordIndex() const { return masterRecordIndex_; }
    TcxCustomDataController* GetRootDataController();
    TcxCustomDataController* GetPatternDataController();
    TcxDataControllerDetailMode GetDetailMode() const;
    virtual void SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex);
    void SetMasterMode(TcxCustomDataRelation* relation, bool isPattern);
    // Follows the master record when records before it come or go.
    void SetMasterRecordIndex(int value) { masterRecordIndex_ = value; }
    void SetIsPattern(bool value);
    void AddDataChangeRefCount();
    void RemoveDataChangeRefCount();
    int DataChangeRefCount() const { return dataChangeRefCount_; }
    virtual hostlib::TObject* CreateDetailLinkObject(TcxCustomDataRelation*, int) { return nullptr; }
    virtual TcxCustomDataController* GetDetailDataControllerByLinkObject(hostlib::TObject*) { return nullptr; }
    hostlib::TObject* GetDetailLinkObject(int recordIndex, int relationIndex);
    TcxCustomDataController* GetDetailDataController(int recordIndex, int relationIndex);
    bool IsDetailDataControllerExist(int recordIndex, int relationIndex);
    bool IsCreatingLinkObject() const { return creatingLinkObject_; }
    int GetDetailActiveRelationIndex(int recordIndex);
    void ChangeDetailActiveRelationIndex(int recordIndex, int relationIndex);
    bool GetDetailExpanding(int recordIndex);
    bool ChangeDetailExpanding(int recordIndex, bool expanded);
    virtual bool CanChangeDetailExpanding(int recordIndex, bool expanded);
    void CollapseDetails();
    void ClearDetailLinkObject(int recordIndex, int relationIndex);
    void ClearDetails();
    void ClearDetailsMasterRelation(TcxCustomDataRelation* relation);
    bool GetDetailHasChildren(int recordIndex, int relationIndex);
    void ResetHasChildrenFlag();
    void FocusDetails(int recordIndex);
    bool InFocusDetails() const { return inFocusDetails_; }
    void ForEachDetail(TcxCustomDataRelation* relation, const TcxDataControllerEachDetailProc& proc);
    virtual void ResetRelationByItem(hostlib::TObject* item);
    virtual void UpdateRelations(TcxCustomDataRelation* relation);
    virtual void SyncMasterPos();
    virtual void NotifyDataControllers() {}
    virtual bool SyncDetailsFocusWithMaster() const { return false; }
    virtual bool CheckMasterBrowseMode() { return true; }
    virtual int GetDefaultActiveRelationIndex() const { return 0; }
    virtual void CorrectAfterInsert(int recordIndex);
    virtual void CorrectAfterDelete(int recordIndex);

    // Event raisers.
    virtual void DoDetailExpanding(int recordIndex, bool& allow) { OnDetailExpanding(this, recordIndex, allow); }
    virtual void DoDetailCollapsing(int recordIndex, bool& allow) { OnDetailCollapsing(this, recordIndex, allow); }
    virtual void DoDetailExpanded(int recordIndex) { OnDetailExpanded(this, recordIndex); }
    virtual void DoDetailCollapsed(int recordIndex) { OnDetailCollapsed(this, recordIndex); }
    virtual void DoAfterCancel() { OnAfterCancel(this); }
    virtual void DoAfterDelete() { OnAfterDelete(this); }
    virtual void DoAfterInsert() { OnAfterInsert(this); }
    virtual void DoAfterPost() { OnAfterPost(this); }
    virtual void DoBeforeCancel() { OnBeforeCancel(this); }
    virtual void DoBeforeDelete(int recordIndex) { OnBeforeDelete(this, recordIndex); }
    virtual void DoBeforeInsert() { OnBeforeInsert(this); }
    virtual void DoBeforePost() { OnBeforePost(this); }
    virtual void DoNewRecord(int recordIndex) { OnNewRecord(this, recordIndex); }
    virtual bool DoFilterRecord(int recordIndex);
    virtual void DoGroupingChanged();
    virtual void DoSortingChanged();

    TcxDataControllerNotifyEvent OnAfterCancel;
    TcxDataControllerNotifyEvent OnAfterDelete;
    TcxDataControllerNotifyEvent OnAfterInsert;
    TcxDataControllerNotifyEvent OnAfterPost;
    TcxDataControllerNotifyEvent OnBeforeCancel;
    TcxDataControllerRecordEvent OnBeforeDelete;
    TcxDataControllerNotifyEvent OnBeforeInsert;
    TcxDataControllerNotifyEvent OnBeforePost;
    TcxDataControllerRecordEvent OnNewRecord;
    TcxDataFilterRecordEvent OnFilterRecord;
    TcxDataControllerCompareEvent OnCompare;
    hostlib::TNotifyEvent OnDataChanged;
    hostlib::TNotifyEvent OnSortingChanged;
    hostlib::TNotifyEvent OnGroupingChanged;
    TcxDataRecordChangedEvent OnRecordChanged;
    TcxDataDetailExpandingEvent OnDetailExpanding;
    TcxDataDetailExpandingEvent OnDetailCollapsing;
    TcxDataDetailExpandedEvent OnDetailExpanded;
    TcxDataDetailExpandedEvent OnDetailCollapsed;
    TcxUpdateControlEvent OnUpdateControl;

protected:
    void Destroy() override;

private:
    struct DataChangeInfo {
        TcxDataChange Kind = dcTotal;
        int ItemIndex = -1;
        int RecordIndex = -1;
        bool Pending = false;
    };
    struct ListenerEntry {
        hostlib::TObject* Instance = nullptr;
        hostlib::TNotifyEvent Event;
    };

    // Calls proc with every detail controller the record's link objects
    // already give; makes none.
    void ForEachExistingDetail(int recordIndex, const std::function<void(int, TcxCustomDataController*)>& proc);
    void ForEachDetailOnChain(const std::vector<int>& chain, std::size_t depth, const TcxDataControllerEachDetailProc& proc);
    void LeaveMasterRelation(int newMasterRecordIndex);
    void FreeRelations();
    void LoadFromProvider();
    void UpdateRecordHandleField();
    hostlib::TObject* CreateLinkObject(TcxDetailObject* detail, int recordIndex, int relationIndex);
    int CompareStoredTexts(int recordIndex1, int recordIndex2, TcxValueDef* def);
    TcxValueDefCompareFunc StreamingCompare() const;
    void CheckStreamValueTypes(TcxReader& reader);
    void Update();
    void NotifyControl(std::unique_ptr<TcxUpdateControlInfo> info);
    void DataNotification();
    void FocusedNotification();
    void SelectionNotification();
    void NotifyDataChangedListeners();
    void NotifyListenerLinks();
    void ResetDataChangeInfo() { dataChangeInfo_ = DataChangeInfo{}; }
    bool NamesRecord(int recordIndex) const { return recordIndex != -1 || IsNewItemRecordIndex(recordIndex); }

    hostlib::TComponent* owner_ = nullptr;
    TcxDataControllerOptions options_ = cxDataControllerDefaultOptions;
    hostlib::ObjectPtr<TcxDataStorage> storage_;
    hostlib::ObjectPtr<TcxDataControllerGroups> groups_;
    hostlib::ObjectPtr<TcxCustomDataFieldList> fields_;
    hostlib::ObjectPtr<TcxCustomDataProvider> provider_;
    hostlib::ObjectPtr<TcxCustomDataControllerInfo> info_;
    hostlib::ObjectPtr<TcxDataControllerNotifier> notifier_;
    hostlib::ObjectPtr<TcxDataSummary> summary_;
    hostlib::ObjectPtr<TcxDataFilterList> filters_;
    hostlib::ObjectPtr<TcxDataFilterCriteria> filter_;
    TcxCustomDataField* incrementalFilterField_ = nullptr;
    std::string incrementalFilterText_;
    hostlib::ObjectPtr<TcxDataControllerSearch> search_;
    TcxCustomDataField* searchField_ = nullptr;
    std::string searchText_;
    bool searching_ = false;
    bool inInternalFind_ = false;
    bool smartLoadOperation_ = false;
    TcxDataSummaryItem* sortedSummaryItem_ = nullptr;
    TcxDataSortOrder summaryItemSortOrder_ = soNone;
    bool afterSummaryFlag_ = false;
    std::vector<ListenerEntry> listeners_;
    std::vector<TcxDataListenerLink*> listenerLinks_;
    DataChangeInfo dataChangeInfo_;
    // The normalised change the listeners hear of.
    DataChangeInfo deliveredDataChange_;
    TcxDataControllerChanges changes_;
    int prevSelectedCount_ = 0;
    int prevSelectedRowIndex_ = -1;
    bool focusedSelected_ = true;
    bool multiSelect_ = false;
    bool active_ = false;
    bool useNewItemRowForEditing_ = false;
    bool newItemRowFocused_ = false;
    int newItemRecordIndex_ = 0;
    int bookmarkRecordIndex_ = -1;
    int nearestRecordIndex_ = -1;
    bool sortingChanged_ = false;
    bool groupingChanged_ = false;
    bool storageLoadedOnActivation_ = false;
    bool filterChanged_ = false;
    bool checkFocusingAfterFilter_ = false;
    bool layoutChangePending_ = false;
    bool restructurePending_ = false;
    bool inUpdateItems_ = false;
    bool fieldsChangedWhileLocked_ = false;
    bool dataChangedWhileLoading_ = false;
    bool inDeleteSelection_ = false;
    bool inLoadStorage_ = false;
    bool inNotifyControl_ = false;
    bool inSortingChangedEvent_ = false;
    bool destroying_ = false;
    int updateFieldsCount_ = 0;
    int dataChangedNotifyLock_ = 0;
    int gridModeNotifyLock_ = 0;
    int saveKeysCount_ = 0;
    hostlib::ObjectPtr<TcxSaveObject> saveObject_;
    hostlib::ObjectPtr<TcxCustomDataRelationList> relations_;
    TcxCustomDataRelation* masterRelation_ = nullptr;
    int masterRecordIndex_ = -1;
    bool isPattern_ = false;
    bool isPatternRequest_ = false;
    int dataChangeRefCount_ = 0;
    bool creatingLinkObject_ = false;
    bool retryingLinkObject_ = false;
    bool inFocusDetails_ = false;
    TcxCustomDataField* recordHandleField_ = nullptr;
};
