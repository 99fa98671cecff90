#pragma once
// The data-set data layer: value types for data-set fields and the default
// detail filter adapter, which restricts a detail data set to its master's
// key values by locating them, or in SQL mode by reopening a query with the
// key as its parameter.

#include <functional>
#include <string>
#include <vector>

#include "components/data/cxCustomData.h"
#include "components/data/cxDB.h"
#include "components/data/cxDataSearch.h"
#include "components/data/cxDataFilter.h"
#include "components/data/cxDataStorage.h"
#include "components/data/cxDataSummary.h"
#include "platform/hostlib/data/datalink.h"
#include "platform/hostlib/data/dataset.h"

// TcxStringValueType without a field.
TcxValueTypeClass GetValueTypeClassByField(hostlib::TField* field);

class TcxDBProviderDetailFilterAdapter : public TcxDBAdapterItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Whether the data set's published parameter of that name holds the
    // value.
    virtual bool IsCurrentQuery(hostlib::TDataSet* dataSet, const std::string& paramName, const hostlib::Variant& value);
    virtual void ReopenSQL(hostlib::TDataSet* dataSet, const std::string& paramName, const hostlib::Variant& value,
                           bool& reopened);
    virtual void SetFilter(hostlib::TDataSet* dataSet, const std::string& keyFieldNames, const hostlib::Variant& keyValues,
                           bool sqlMode, bool& reopened);
};

// The registry, made on first use with the default adapter for TDataSet.
TcxDBAdapterList& cxDetailFilterControllers();

class TcxDBDataController;
class TcxDBDataProvider;

using TcxDBDataModeControllerDetailFirstEvent =
    hostlib::Event<hostlib::TObject*, hostlib::TDataSet*, const std::string&, const hostlib::Variant&, bool&>;
// The last argument receives the answer.
using TcxDBDataModeControllerDetailIsCurrentQueryEvent =
    hostlib::Event<hostlib::TObject*, hostlib::TDataSet*, const std::string&, const hostlib::Variant&, bool&>;

// The data-set controller's mode settings.
class TcxDBDataModeController : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxDBDataModeController(TcxDBDataController* controller) : controller_(controller) {}
    TcxDBDataModeController() = default;

    void Assign(hostlib::TPersistent* source) override;
    virtual bool DetailIsCurrentQuery(const std::string& keyFieldNames, const hostlib::Variant& keyValues);
    virtual void DoDetailFirst(const std::string& keyFieldNames, const hostlib::Variant& keyValues, bool& reopened);

    bool DetailInSQLMode() const { return detailInSQLMode_; }
    void SetDetailInSQLMode(bool value) { detailInSQLMode_ = value; }
    bool GridMode() const { return gridMode_; }
    void SetGridMode(bool value);
    int GridModeBufferCount() const { return gridModeBufferCount_; }
    void SetGridModeBufferCount(int value);
    bool SmartRefresh() const { return smartRefresh_; }
    void SetSmartRefresh(bool value);
    bool SyncMode() const { return syncMode_; }
    void SetSyncMode(bool value);
    bool DetailInSyncMode() const { return detailInSyncMode_; }
    void SetDetailInSyncMode(bool value) { detailInSyncMode_ = value; }
    bool SyncInsert() const { return syncInsert_; }
    void SetSyncInsert(bool value) { syncInsert_ = value; }

    TcxDBDataModeControllerDetailFirstEvent OnDetailFirst;
    TcxDBDataModeControllerDetailIsCurrentQueryEvent OnDetailIsCurrentQuery;

private:
    TcxDBDataController* controller_ = nullptr;
    bool detailInSQLMode_ = false;
    bool gridMode_ = false;
    int gridModeBufferCount_ = 0;
    bool smartRefresh_ = false;
    bool syncMode_ = true;
    bool detailInSyncMode_ = true;
    bool syncInsert_ = true;
};

// Forwards the data set's notifications to its provider.
class TcxDBDataLink : public hostlib::TDataLink {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxDBDataLink(TcxDBDataProvider* provider) : provider_(provider) { SetVisualControl(true); }
    TcxDBDataLink() { SetVisualControl(true); }

    TcxDBDataProvider* Provider() const { return provider_; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void EditingChanged() override;
    void FocusControl(hostlib::TField*& field) override;
    void LayoutChanged() override;
    void RecordChanged(hostlib::TField* field) override;
    void UpdateData() override;

private:
    TcxDBDataProvider* provider_ = nullptr;
};

// Reads the data set's current record into the storage.
class TcxValueDefDBReader : public TcxValueDefReader {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    std::string GetDisplayText(TcxValueDef* valueDef) override;
    hostlib::Variant GetValue(TcxValueDef* valueDef) override;
    bool IsInternal(TcxValueDef* valueDef) override;
};

// The provider of a controller bound to a data set: loads its records,
// follows its cursor, puts it into edit and insert states and turns its
// notifications into controller changes.
class TcxDBDataProvider : public TcxCustomDataProvider {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(TcxCustomDataController* controller) override;

    bool IsCustomDataSourceSupported() const override { return false; }
    bool IsGridMode() const override;
    bool IsDataSource() const override;
    bool IsSyncMode() const override;
    bool IsActive() const override;
    bool IsActiveDataSet() const override;
    bool IsBOF() const override;
    bool IsEOF() const override;
    bool IsEditing() const override;
    bool IsGridModeUpdating() const override { return IsGridMode() && inGridModeUpdate_; }
    bool IsInserting() const override;
    bool IsModified() const override;

    void First() override;
    void Prev() override;
    void Next() override;
    void Last() override;
    void MoveBy(int distance) override;
    // Scrolls the buffer window by the distance.
    void Scroll(int distance) override;
    void SavePos() override;
    void RestorePos() override;
    void CorrectRecordIndex(int recordIndex) override;

    bool CanModify() const override;
    bool CanDelete() const override;
    bool CanInitEditing(int recordIndex) override;
    void Delete() override;
    void DeleteRecords(std::vector<int>& list) override;
    void EndDeleting() override;
    void Append() override;
    void Insert() override;
    void Edit() override;
    void Post() override;
    void Cancel() override;
    void PostEditingData() override;
    hostlib::Variant GetEditValue(int recordIndex, TcxCustomDataField* field, TcxDataEditValueSource source) override;
    bool SetEditValue(int recordIndex, TcxCustomDataField* field, const hostlib::Variant& value,
                      TcxDataEditValueSource source) override;
    void AssignItemValue(int recordIndex, TcxCustomDataField* field, const hostlib::Variant& value) override;

    // Over a pending change of the data set, a locate or a freeze marks
    // every provider of it: the moves that follow are not new data.
    void BeginLocate() override;
    void Freeze() override;
    void Unfreeze() override;
    hostlib::TClass GetValueDefReaderClass() const override { return TcxValueDefDBReader::StaticClass(); }

    hostlib::Variant GetExternalDataValue(int recordIndex, TcxCustomDataField* field) const override;
    std::string GetExternalDataDisplayText(int recordIndex, TcxCustomDataField* field) const override;
    int GetRecordIndex() const override { return currentRecordIndex_; }
    void LoadDataBuffer() override;

    void DataScrolled(int distance) override;
    bool GetDetailHasChildren(int recordIndex, int relationIndex) override;
    void LayoutChanged(TcxDataLayoutChanges changes) override;

    virtual bool BookmarkValid(const hostlib::TBookmark& bookmark) const;
    // -1 while the link is inactive.
    virtual int CompareBookmarks(const hostlib::TBookmark& a, const hostlib::TBookmark& b) const;
    virtual void RecordChanged(hostlib::TField* field);

    int GetDataBufferCount() const;
    int GetDataRecordCount() const { return link_->RecordCount(); }
    void UpdateGridMode();
    // Finds the text in the search item from the current record on, in the
    // data set itself; a first search wraps once, a next one stops at the
    // end.
    bool DoLocate(const std::string& text, bool forward, bool next);

    TcxDBDataController* DBDataController() const;
    TcxDBDataLink& DataLink() const { return *link_; }
    hostlib::TDataSet* DataSet() const { return link_->DataSet(); }
    hostlib::TDataSource* DataSource() const { return link_->DataSource(); }
    void SetDataSource(hostlib::TDataSource* value);
    int CurrentRecordIndex() const { return currentRecordIndex_; }
    void SetCurrentRecordIndex(int value) { currentRecordIndex_ = value; }
    bool InGridModeUpdate() const { return inGridModeUpdate_; }
    bool PostLocate() const { return postLocate_; }
    void ResetPostLocate() { postLocate_ = false; }

    bool IsOtherInsert() const override;
    // A provider of the data set inside an update of a detail controller.
    bool IsDetailDataSetBusy() const;
    bool IsOtherDetailDataSetInInsert() const { return IsOtherInsert(); }
    // A provider of the data set (this one included) inside CanInitEditing.
    bool IsCanInitEditingBusy() const;
    static std::vector<TcxDBDataProvider*> ProvidersOf(hostlib::TDataSet* dataSet);
    bool IsDetail() const;
    bool IsDetailInSyncMode() const;
    // A provider of the data set is moving its cursor: a change is a move.
    bool IsDataSetBusy() const;
    // Whether the shared data set stands on this detail's rows; setting it
    // takes it from the other details of the master relation.
    bool IsDataSetCurrent() const;
    void SetIsDataSetCurrent(bool value);
    void ClearDataSetCurrent() { dataSetCurrent_ = false; }
    // A provider whose own locate or update moved the shared data set
    // notifies the providers that skipped its changes once it is done.
    void AddListener(TcxDBDataProvider* provider);
    void NotifyListeners();
    bool InNotify() const { return inNotify_; }
    bool ActiveChanging() const { return activeChanging_; }

    // Called by the data link.
    void LinkActiveChanged(bool active);
    void LinkDataSetChanged();
    void LinkEditingChanged();
    void DoInsertingRecord();

    // Smart refresh: after a post or cancel only the changed record is read
    // again.
    bool IsSmartRefresh() const;
    void SmartDataChanged();
    void ResetSmartRefresh();
    void SetUpdatingRecord(int recordIndex, bool inserting);
    int UpdatingRecordIndex() const { return updatingRecordIndex_; }
    void ForgetRecord(int recordIndex);
    bool InCanInitEditing() const { return inCanInitEditing_; }
    void DoInitInsertingRecord(int recordIndex, const hostlib::Variant& groupValues) override;

protected:
    void Destroy() override;

private:
    struct SavePosInfo {
        hostlib::TBookmark bookmark;
        int activeRecord = 0;
        bool bof = false;
        bool eof = false;
    };
    bool DataSetInEditState() const;
    TcxDBDataModeController* Modes() const;
    hostlib::TField* FieldOf(TcxCustomDataField* field) const;
    void RestoreWindowRow(int storedRow);
    void GridModeDataSetChanged();
    bool IsSyncInsert() const;
    bool IsOtherProviderBusy() const;
    bool IsOtherDataControllerUpdating();
    bool IsOtherProvider(const std::function<bool(const TcxDBDataProvider&)>& test) const;
    bool IsOtherDetailChanged() const;
    void SetPostLocateFlags();
    void AssignMasterDetailKeys();
    void CopyNewItemRecord();
    bool DetailHasRows(TcxDBDataController& detail, const hostlib::Variant& key);
    void AddNewRecord(bool append);
    void FinishSmartChange();
    bool ReadInsertedRecord(int recordIndex, const hostlib::Variant& storedKey);
    int SmartTargetRecord() const;
    void DeleteRecordsByKeys(const std::vector<int>& list);
    void DeleteRecordsByMoves(const std::vector<int>& list);
    bool SearchMatches(hostlib::TField* field, const std::string& text) const;
    bool StepLocate(bool forward, bool next);

    hostlib::ObjectPtr<TcxDBDataLink> link_;
    // The controller as its data-set class, found once: the grid-mode test
    // of every cell read asks for it.
    TcxDBDataController* dbController_ = nullptr;
    SavePosInfo savePos_;
    int currentRecordIndex_ = 0;
    bool inGridModeUpdate_ = false;
    bool inInsert_ = false;
    bool postLocate_ = false;
    bool inCanInitEditing_ = false;
    bool insertingRecord_ = false;
    int updatingRecordIndex_ = cxNullEditingRecordIndex;
    int updatingNewRecordIndex_ = -1;
    bool updatingInserting_ = false;
    int deletedFocusedRecordIndex_ = -1;
    bool activeChanging_ = false;
    bool inNotify_ = false;
    bool dataSetCurrent_ = false;
    std::vector<TcxDBDataProvider*> listeners_;
};

// A controller field bound to a data-set field by name. It may hold
// sub-fields: one per key field of a lookup field, or one per name of a
// ";"-separated name list.
class TcxDBDataField : public TcxCustomDataField {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Reassign(TcxCustomDataField* source) override;
    void RemoveNotification(hostlib::TComponent* component) override;
    bool CanModify(TcxDataEditValueSource source) const override;
    bool IsUnbound() const override;
    bool IsValueDefInternal() const override;

    // Through the reference field when there is one.
    hostlib::TField* Field() const;
    void SetField(hostlib::TField* value);
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& value) { fieldName_ = value; }
    bool IsLookup() const;
    // Follows the field's type and formatting until nothing changes.
    void SetPropertiesByField(hostlib::TField* field);

    // Raises when the sub-field already belongs to another field.
    void AddField(TcxDBDataField* field);
    void RemoveField(TcxDBDataField* field);
    // Frees the sub-fields, the last first.
    void ClearFields();
    int FieldCount() const;
    TcxDBDataField* Fields(int index) const;
    TcxDBDataField* ParentField() const { return parentField_; }

protected:
    void Destroy() override;

private:
    const TcxDBDataField* Source() const;
    void NotifyValueTypeChanged(TcxCustomDataController& controller);

    std::string fieldName_;
    hostlib::TField* field_ = nullptr;
    std::vector<TcxDBDataField*> fields_;
    TcxDBDataField* parentField_ = nullptr;
};

class TcxDBDataFilterCriteriaItem : public TcxDataFilterCriteriaItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // The null operators of the data set's dialect.
    TcxFilterOperatorClass GetFilterOperatorClass() override;
};

using TcxDBDataFilterBeforeChangeEvent = hostlib::Event<hostlib::TObject*, hostlib::TDataSet*, const std::string&>;
using TcxDBDataFilterFormatFilterTextValueEvent = hostlib::Event<hostlib::TObject*, const hostlib::Variant&, std::string&>;

// Criteria that can also filter through the data set itself.
class TcxDBDataFilterCriteria : public TcxDataFilterCriteria {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void FormatFilterTextValue(TcxFilterCriteriaItem* item, const hostlib::Variant& value,
                               std::string& displayValue) override;
    hostlib::TClass GetItemClass() const override { return TcxDBDataFilterCriteriaItem::StaticClass(); }
    void Update() override;
    void AssignEvents(hostlib::TPersistent* source) override;
    void RestoreDefaults() override;
    bool IsFiltering() const override;

    bool AutoDataSetFilter() const { return autoDataSetFilter_; }
    void SetAutoDataSetFilter(bool value);
    bool IgnoreOrigin() const { return ignoreOrigin_; }
    void SetIgnoreOrigin(bool value);
    // Off while the controller refreshes smartly: it then filters itself.
    bool IsAutoDataSetFilter() const;

    TcxDBDataFilterBeforeChangeEvent OnBeforeChange;
    TcxDBDataFilterFormatFilterTextValueEvent OnFormatFilterTextValue;

private:
    TcxDBDataController* DBController() const;
    void PostPendingChange();
    void ApplyToDataSet(hostlib::TDataSet* dataSet);

    bool autoDataSetFilter_ = false;
    bool ignoreOrigin_ = true;
};

// A summary that may sum a data-set field no item shows.
class TcxDBDataSummaryItem : public TcxDataSummaryItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    TcxCustomDataField* DataField() const override;

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& value);

protected:
    void Destroy() override;

private:
    std::string fieldName_;
    TcxDBDataField* dataField_ = nullptr;
};

// In grid mode the selection keeps the data set's bookmarks, in data-set
// order, parallel to its entries.
class TcxDBDataSelection : public TcxDataSelection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void ClearAnchor() override;
    bool FindByRowIndex(int rowIndex, int& index) const override;

    // True with the index of the bookmark, else false with its insertion
    // index.
    bool FindBookmark(const hostlib::TBookmark& bookmark, int& index) const;
    hostlib::TBookmark GetRowBookmark(int rowIndex) const;
    int CompareBookmarks(const hostlib::TBookmark& a, const hostlib::TBookmark& b) const;
    // Drops the entries whose records are gone; true when one was.
    bool RefreshBookmarks();
    void SelectAll();
    void SelectFromAnchor(const hostlib::TBookmark& bookmark, bool keepSelection);
    void SyncCount();

    int BookmarkCount() const { return static_cast<int>(bookmarks_.size()); }
    const hostlib::TBookmark& Bookmarks(int index) const { return bookmarks_.at(static_cast<std::size_t>(index)); }
    const hostlib::TBookmark& AnchorBookmark() const { return anchorBookmark_; }
    void SetAnchorBookmark(const hostlib::TBookmark& value) { anchorBookmark_ = value; }

protected:
    void InternalAdd(int position, int rowIndex, int level, int recordIndex) override;
    void InternalDelete(int index) override;
    void InternalClear() override;

private:
    TcxDBDataController* DBController() const;
    bool IsActiveGridMode() const;
    bool SelectByShortcut(const hostlib::TBookmark& anchor, const hostlib::TBookmark& start, const hostlib::TBookmark& end);
    bool IsNeighbour(const hostlib::TBookmark& bookmark, const hostlib::TBookmark& of, int direction) const;
    void WalkRange(const hostlib::TBookmark& start, const hostlib::TBookmark& end);
    void MergeBookmark(const hostlib::TBookmark& bookmark, int& from);
    void Notify();

    std::vector<hostlib::TBookmark> bookmarks_;
    hostlib::TBookmark anchorBookmark_;
    bool inSelectAll_ = false;
};

// Links a master controller to its data-set details through key fields.
class TcxDBDataRelation : public TcxCustomDataRelation {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void RemoveDataField(TcxCustomDataField* field) override;
    virtual bool IsLinked() const;

    // The names the pattern detail of this relation gives.
    std::string GetMasterKeyFieldNames() const;
    std::string GetDetailKeyFieldNames() const;
    void GetMasterKeyFields(std::vector<TcxCustomDataField*>& list) const;
    // Empty when not linked; an array for several key fields.
    hostlib::Variant GetMasterRecordID(int recordIndex) const;
    void RemoveMasterKeyField();
    void UpdateMasterDetailKeyFieldNames();
    TcxDBDataField*& MasterKeyField() { return masterKeyField_; }

protected:
    void Destroy() override;

private:
    TcxDBDataController* DetailDBController() const;

    TcxDBDataField* masterKeyField_ = nullptr;
};

using TcxDBDataDetailHasChildrenEvent =
    hostlib::Event<hostlib::TObject*, int, int, const std::string&, const hostlib::Variant&, bool&>;

// Puts the fields to match into a key locate object.
using TcxDBDataLocateFillProc = std::function<void(TcxDataControllerKeyLocateObject&)>;

// The data controller of a control bound to a data source.
class TcxDBDataController : public TcxCustomDataController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;

    hostlib::TClass GetDataProviderClass() const override { return TcxDBDataProvider::StaticClass(); }
    hostlib::TClass GetFieldClass() const override { return TcxDBDataField::StaticClass(); }
    hostlib::TClass GetFilterCriteriaClass() const override { return TcxDBDataFilterCriteria::StaticClass(); }
    hostlib::TClass GetSummaryItemClass() const override { return TcxDBDataSummaryItem::StaticClass(); }
    hostlib::TClass GetDataSelectionClass() const override { return TcxDBDataSelection::StaticClass(); }
    hostlib::TClass GetRelationClass() const override { return TcxDBDataRelation::StaticClass(); }
    void Assign(hostlib::TPersistent* source) override;
    void SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex) override;
    void UpdateRelations(TcxCustomDataRelation* relation) override;
    bool IsProviderDataSource() const override { return true; }
    bool IsDataField(const TcxCustomDataField* field) const override;
    void PrepareField(TcxCustomDataField* field) override;
    void UpdateFields() override;
    void ChangeValueTypeClass(int itemIndex, TcxValueTypeClass valueTypeClass) override;
    void RestructData() override;
    void LoadStorage() override;
    void ActiveChanged(bool active) override;
    void UpdateFocused() override;
    bool IsKeyNavigation() const override;
    bool IsSmartRefresh() const override;
    bool CanFocusRecord(int recordIndex) override;
    hostlib::Variant GetRecordId(int recordIndex) const override;
    void GetKeyFields(std::vector<TcxCustomDataField*>& list) const override;
    hostlib::Variant GetGroupValue(int recordIndex, TcxCustomDataField* field) const override;
    hostlib::Variant GetFilterDataValue(int recordIndex, TcxCustomDataField* field) const override;
    std::string GetFilterItemFieldName(hostlib::TObject* item) const override;
    bool IsBookmarkAvailable() const override;
    bool IsBookmarkRow(int rowIndex) const override;
    bool InternalSaveBookmark() override;
    void InternalGotoBookmark() override;
    bool InternalCheckBookmark(int deletedRecordIndex) override;
    void InternalClearBookmark() override;
    hostlib::Variant GetRowId(int rowIndex) const override;
    void SelectAll() override;
    void SelectFromAnchor(int rowIndex, bool keepSelection) override;
    void SetSelectionAnchor(int rowIndex) override;
    int GetSelectionAnchorRowIndex() const override;
    bool IsSelectionAnchorExist() const override;
    int GetSelectedRowIndex(int index) const override;
    bool FocusSelectedRow(int index) override;
    void ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc) override;
    bool DoSearchInGridMode(const std::string& text, bool forward, bool next) override;
    bool ExecuteAction(hostlib::TComponent* action) override;
    bool UpdateAction(hostlib::TComponent* action) override;
    void RefreshExternalData() override;
    void CheckBrowseMode() override;
    // Posts or cancels pending changes of the masters above, then its own;
    // false when a controller did not survive it.
    bool CheckMasterBrowseMode() override;
    // Grid mode expands only the focused record: it is focused first.
    bool CanChangeDetailExpanding(int recordIndex, bool expanded) override;
    int GetActiveRecordIndex() const override;
    bool LockOnAfterSummary() const override;
    void NotifyDataControllers() override;
    void Loaded() override;
    bool IsSequenced() const;
    bool IsLoaded() const { return loaded_; }
    void SetActivatedWhileLoading() { activatedWhileLoading_ = true; }

    virtual void DoDataSourceChanged() {}
    virtual int GetDefaultGridModeBufferCount() const { return 100; }
    virtual void InvalidateDataBuffer() { Change({dccLayout}); }
    // The loaded record matching the data set's current values of the
    // fields the procedure names; -1 when none.
    virtual int LocateRecordIndex(const TcxDBDataLocateFillProc& fill);
    // Moves the data set's cursor to the record; false when it cannot.
    virtual bool TryFocusRecord(int recordIndex);
    virtual void UpdateScrollBars() {}

    TcxDBDataModeController& DataModeController() const { return *modeController_; }
    void SetDataModeController(TcxDBDataModeController* value) { modeController_->Assign(value); }
    TcxDBDataProvider& DBProvider() const;
    hostlib::TDataSource* DataSource() const;
    void SetDataSource(hostlib::TDataSource* value);
    hostlib::TDataSet* DataSet() const;
    // 0 without an active data set.
    int DataSetRecordCount() const;
    // -1 without an active data set; setting it without a data set does
    // nothing.
    int RecNo() const;
    void SetRecNo(int value);
    TcxDBDataField* DBFields(int index) const;
    TcxDBDataField* DBFieldByItem(const hostlib::TObject* item) const;
    TcxDBDataFilterCriteria& DBFilter() const { return static_cast<TcxDBDataFilterCriteria&>(Filter()); }
    // Binds the item's field to the data-set field of that name.
    void ChangeFieldName(int itemIndex, const std::string& fieldName);
    hostlib::TField* GetItemField(int itemIndex) const;
    std::string GetItemFieldName(int itemIndex) const;
    hostlib::TObject* GetItemByFieldName(const std::string& fieldName) const;
    void UpdateGridModeBufferCount();
    // Unbinds every field (their data-set fields are going away).
    void UnbindDBFields();
    void ResetDBFields();
    void ResyncDBFields() { UpdateFields(); }

    // Keys.
    const std::string& KeyFieldNames() const { return keyFieldNames_; }
    // The empty text ends key navigation.
    void SetKeyFieldNames(const std::string& value);
    TcxDBDataField* KeyField() const { return keyField_; }
    // Raises "Key Field not found" for a key field no data-set field binds.
    std::vector<hostlib::TField*> GetKeyDBFields() const;
    hostlib::Variant GetKeyFieldsValues() const;
    // -1 when no loaded record has the key; a scalar key never matches
    // several key fields.
    int FindRecordIndexByKey(const hostlib::Variant& keyValue) const;
    // Focuses the record of the key; true when a row got the focus.
    bool LocateByKey(const hostlib::Variant& keyValue);
    void BeginLocate();
    void EndLocate();
    void SyncDataSetPos();
    // For a pattern detail: the masters follow the detail data set's cursor.
    void SyncMasterDetailDataSetPos();
    // Moves the masters to the record whose key the detail data set's
    // cursor holds and expands its detail; the detail controller that now
    // shows the cursor's record, this one without a data-set master, or
    // nil.
    TcxCustomDataController* SyncMasterDetail();
    void SetFocus() override;
    // In SQL mode reopens the shared query for this detail's keys.
    void CheckCurrentQuery();
    // The controller loses the data set and its focused record.
    void ResetDataSetCurrent(TcxDBDataController* controller);
    bool IsOtherDetailCreating() const;
    bool InCheckCurrentQuery() const { return inCheckCurrentQuery_; }
    virtual void DoDataSetCurrentChanged(bool) {}

    // Master-detail: a detail shows the rows of its master record's key
    // values in the detail key fields.
    const std::string& MasterKeyFieldNames() const { return masterKeyFieldNames_; }
    void SetMasterKeyFieldNames(const std::string& value);
    const std::string& DetailKeyFieldNames() const { return detailKeyFieldNames_; }
    void SetDetailKeyFieldNames(const std::string& value);
    // The detail key field names once a master key is named.
    std::string GetMasterDetailKeyFieldNames() const;
    std::vector<hostlib::TField*> GetMasterDetailKeyFields() const;
    const hostlib::Variant& MasterDetailKeyValues() const { return masterDetailKeyValues_; }
    TcxDBDataRelation* DBMasterRelation() const;
    // Raises "DetailFilterController not found" without an adapter for the
    // data set's class.
    virtual TcxDBProviderDetailFilterAdapter* GetDetailFilterAdapter() const;
    virtual void DoInitInsertingRecord(int) {}
    TcxDBDataDetailHasChildrenEvent OnDetailHasChildren;

    // Grid mode: bookmarks of the data set stand for records. Reading them
    // outside grid mode raises "DataController not in GridMode".
    TcxDBDataSelection& DBSelection() const;
    const hostlib::TBookmark& GetSelectionAnchorBookmark() const;
    hostlib::TBookmark GetSelectedBookmark(int index) const;
    const hostlib::TBookmark& BookmarkString() const { return bookmark_; }

    // Fields bound by name.
    TcxDBDataField* AddInternalDBField();
    // Binds the field (and its sub-fields for several names, or as a list)
    // to the names.
    void UpdateField(TcxDBDataField* field, const std::string& fieldNames, bool asList);
    void UpdateInternalKeyFields(const std::string& fieldNames, TcxDBDataField*& field);
    bool InUnboundCopy() const { return inUnboundCopy_; }
    void SetInUnboundCopy(bool value) { inUnboundCopy_ = value; }

    // Reads the record again from the data set's current record.
    void DoUpdateRecord(int recordIndex);
    void UpdateEditingRecord();
    void CorrectAfterDelete(int recordIndex) override;

protected:
    void Destroy() override;

private:
    void RetrieveField(TcxDBDataField* field, bool lookupOnly);
    bool LocateFocusedRecord(int recordIndex);
    TcxDBDataField* FindFieldByName(const std::string& name, const TcxDBDataField* except) const;
    void ShareFieldByName(TcxDBDataField* field);
    void ReassignReferringFields(TcxDBDataField* field);
    void ForEachDBField(const std::function<void(TcxDBDataField*)>& proc);
    hostlib::Variant LookupKeyValue(int recordIndex, TcxDBDataField* field) const;
    bool FilterIgnoresOrigin() const;
    // The masters from this one up are synchronised, keyed and neither
    // editing nor posting.
    bool IsMasterChainReady() const;
    bool LocateMasterRecord(TcxDBDataController& master, const TcxDBDataRelation& relation);

    hostlib::ObjectPtr<TcxDBDataModeController> modeController_;
    std::string keyFieldNames_;
    TcxDBDataField* keyField_ = nullptr;
    bool resetDBFields_ = false;
    bool inUnboundCopy_ = false;
    bool inCheckBrowseMode_ = false;
    bool inResetDataSetCurrent_ = false;
    bool inCheckCurrentQuery_ = false;
    bool updateDataSetPos_ = false;
    bool destroying_ = false;
    bool lockOnAfterSummary_ = false;
    bool loaded_ = false;
    bool activatedWhileLoading_ = false;
    hostlib::TBookmark bookmark_;
    std::string masterKeyFieldNames_;
    std::string detailKeyFieldNames_;
    hostlib::Variant masterDetailKeyValues_ = hostlib::Variant::Null();
};
