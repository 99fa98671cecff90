#pragma once
// The data-set data layer: value types for data-set fields and the default
// detail filter adapter, which restricts a detail data set to its master's
// key values by locating them, or in SQL mode by reopening a query with the
// key as its parameter.

#include <string>

#include "components/data/cxCustomData.h"
#include "components/data/cxDB.h"
#include "components/data/cxDataStorage.h"
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
    void Scroll(int distance) override;
    void SavePos() override;
    void RestorePos() override;
    void CorrectRecordIndex(int recordIndex) override;

    bool CanModify() const override;
    bool CanDelete() const override;
    void Delete() override;
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

    void Freeze() override;
    void Unfreeze() override;
    hostlib::TClass GetValueDefReaderClass() const override { return TcxValueDefDBReader::StaticClass(); }

    hostlib::Variant GetExternalDataValue(int recordIndex, TcxCustomDataField* field) const override;
    std::string GetExternalDataDisplayText(int recordIndex, TcxCustomDataField* field) const override;
    int GetRecordIndex() const override { return currentRecordIndex_; }
    void LoadDataBuffer() override;

    void DataScrolled(int distance) override;

    virtual bool BookmarkValid(const hostlib::TBookmark& bookmark) const;
    // -1 while the link is inactive.
    virtual int CompareBookmarks(const hostlib::TBookmark& a, const hostlib::TBookmark& b) const;
    virtual void RecordChanged(hostlib::TField* field);

    int GetDataBufferCount() const;
    int GetDataRecordCount() const { return link_->RecordCount(); }
    void UpdateGridMode();

    TcxDBDataController* DBDataController() const;
    TcxDBDataLink& DataLink() const { return *link_; }
    hostlib::TDataSet* DataSet() const { return link_->DataSet(); }
    hostlib::TDataSource* DataSource() const { return link_->DataSource(); }
    void SetDataSource(hostlib::TDataSource* value);
    int CurrentRecordIndex() const { return currentRecordIndex_; }
    void SetCurrentRecordIndex(int value) { currentRecordIndex_ = value; }
    bool InGridModeUpdate() const { return inGridModeUpdate_; }

    // Called by the data link.
    void LinkActiveChanged(bool active);
    void LinkDataSetChanged();
    void LinkEditingChanged();

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

    hostlib::ObjectPtr<TcxDBDataLink> link_;
    SavePosInfo savePos_;
    int currentRecordIndex_ = 0;
    bool inGridModeUpdate_ = false;
    bool inInsert_ = false;
};

// A controller field bound to a data-set field by name.
class TcxDBDataField : public TcxCustomDataField {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool IsValueDefInternal() const override;
    void RemoveNotification(hostlib::TComponent* component) override;

    // Through the reference field when there is one.
    hostlib::TField* Field() const;
    void SetField(hostlib::TField* value);
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& value) { fieldName_ = value; }
    // Follows the field's type and formatting until nothing changes.
    void SetPropertiesByField(hostlib::TField* field);

private:
    std::string fieldName_;
    hostlib::TField* field_ = nullptr;
};

// The data controller of a control bound to a data source.
class TcxDBDataController : public TcxCustomDataController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;

    hostlib::TClass GetDataProviderClass() const override { return TcxDBDataProvider::StaticClass(); }
    hostlib::TClass GetFieldClass() const override { return TcxDBDataField::StaticClass(); }
    bool IsProviderDataSource() const override { return true; }
    bool IsDataField(const TcxCustomDataField* field) const override;
    void PrepareField(TcxCustomDataField* field) override;
    void RestructData() override;
    void LoadStorage() override;
    void ActiveChanged(bool active) override;
    bool IsKeyNavigation() const override { return false; }

    virtual void DoDataSourceChanged() {}
    virtual int GetDefaultGridModeBufferCount() const { return 100; }
    virtual void InvalidateDataBuffer() { Change({dccLayout}); }
    virtual void UpdateScrollBars() {}
    // Moves the data set's cursor to the record; false when it cannot.
    virtual bool TryFocusRecord(int recordIndex);
    bool CanFocusRecord(int recordIndex) override;

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
    // Binds the item's field to the data-set field of that name.
    void ChangeFieldName(int itemIndex, const std::string& fieldName);
    hostlib::TField* GetItemField(int itemIndex) const;
    std::string GetItemFieldName(int itemIndex) const;
    hostlib::TObject* GetItemByFieldName(const std::string& fieldName) const;
    void UpdateGridModeBufferCount();
    // Unbinds every field (their data-set fields are going away).
    void UnbindDBFields();

protected:
    void Destroy() override;

private:
    void RetrieveField(TcxDBDataField* field);

    hostlib::ObjectPtr<TcxDBDataModeController> modeController_;
};
