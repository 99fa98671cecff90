#include "components/data/cxDBData.h"
#include <algorithm>

#include "components/data/cxDBFilter.h"
#include "components/data/cxDataConsts.h"
#include "components/data/cxDataUtils.h"
#include "components/data/cxVariants.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/hostlib/core/properties.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/system/scope_guard.h"

using hostlib::Variant;

hostlib::TClass TcxDBProviderDetailFilterAdapter::StaticClass()
{
    return hostlib::DefineClass<TcxDBProviderDetailFilterAdapter, TcxDBAdapterItem>("TcxDBProviderDetailFilterAdapter");
}

TcxValueTypeClass GetValueTypeClassByField(hostlib::TField* field)
{
    using namespace hostlib;
    if (!field) return TcxStringValueType::Class();
    switch (field->DataType()) {
    case ftString: return TcxStringValueType::Class();
    case ftSmallint: return TcxSmallintValueType::Class();
    case ftInteger:
    case ftAutoInc: return TcxIntegerValueType::Class();
    case ftWord: return TcxWordValueType::Class();
    case ftBoolean: return TcxBooleanValueType::Class();
    case ftFloat: return TcxFloatValueType::Class();
    case ftCurrency:
    case ftBCD: return TcxCurrencyValueType::Class();
    case ftDate:
    case ftTime:
    case ftDateTime: return TcxDateTimeValueType::Class();
    case ftWideString: return TcxWideStringValueType::Class();
    case ftLargeint: return TcxLargeIntValueType::Class();
    case ftFMTBcd: return TcxFMTBcdValueType::Class();
    default: return TcxVariantValueType::Class();
    }
}

namespace {
// The parameter of that name in the data set's published Params, if any.
hostlib::TParam* PublishedParam(hostlib::TDataSet* dataSet, const std::string& name)
{
    const hostlib::TPropInfo* prop = dataSet ? dataSet->ClassType()->FindProperty("Params") : nullptr;
    if (!prop || !prop->GetObject) return nullptr;
    auto* params = hostlib::As<hostlib::TParams>(prop->GetObject(*dataSet));
    return params ? params->FindParam(name) : nullptr;
}
} // namespace

bool TcxDBProviderDetailFilterAdapter::IsCurrentQuery(hostlib::TDataSet* dataSet, const std::string& paramName,
                                                      const Variant& value)
{
    hostlib::TParam* param = PublishedParam(dataSet, paramName);
    return param && VarEquals(param->Value(), value);
}

void TcxDBProviderDetailFilterAdapter::ReopenSQL(hostlib::TDataSet* dataSet, const std::string& paramName,
                                                 const Variant& value, bool& reopened)
{
    hostlib::TParam* param = PublishedParam(dataSet, paramName);
    if (!param) return;
    if (VarEquals(param->Value(), value)) {
        dataSet->First();
        return;
    }
    dataSet->DisableControls();
    quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
    dataSet->Close();
    param->SetValue(value);
    dataSet->Open();
    reopened = true;
}

void TcxDBProviderDetailFilterAdapter::SetFilter(hostlib::TDataSet* dataSet, const std::string& keyFieldNames,
                                                 const Variant& keyValues, bool sqlMode, bool& reopened)
{
    if (sqlMode)
        ReopenSQL(dataSet, keyFieldNames, keyValues, reopened);
    else
        dataSet->Locate(keyFieldNames, keyValues);
}

TcxDBAdapterList& cxDetailFilterControllers()
{
    static const hostlib::ObjectPtr<TcxDBAdapterList> list = [] {
        hostlib::ObjectPtr<TcxDBAdapterList> made(hostlib::CreateObject<TcxDBAdapterList>());
        made->RegisterAdapter(hostlib::TDataSet::StaticClass(), TcxDBProviderDetailFilterAdapter::StaticClass());
        return made;
    }();
    return *list;
}

// ---- TcxDBDataModeController -------------------------------------------------

hostlib::TClass TcxDBDataModeController::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataModeController, hostlib::TPersistent>("TcxDBDataModeController");
}

void TcxDBDataModeController::Assign(hostlib::TPersistent* source)
{
    auto* other = hostlib::As<TcxDBDataModeController>(source);
    if (!other) {
        hostlib::TPersistent::Assign(source);
        return;
    }
    SetDetailInSQLMode(other->detailInSQLMode_);
    SetGridModeBufferCount(other->gridModeBufferCount_);
    SetGridMode(other->gridMode_);
    SetSmartRefresh(other->smartRefresh_);
    SetSyncMode(other->syncMode_);
    detailInSyncMode_ = other->detailInSyncMode_;
    syncInsert_ = other->syncInsert_;
    OnDetailFirst = other->OnDetailFirst;
    OnDetailIsCurrentQuery = other->OnDetailIsCurrentQuery;
}

void TcxDBDataModeController::SetGridMode(bool value)
{
    if (gridMode_ == value) return;
    const bool wasGridMode = controller_ && controller_->IsGridMode();
    gridMode_ = value;
    if (controller_ && controller_->IsGridMode() != wasGridMode) controller_->RestructData();
}

void TcxDBDataModeController::SetGridModeBufferCount(int value)
{
    value = std::max(value, 0);
    if (gridModeBufferCount_ == value) return;
    gridModeBufferCount_ = value;
    if (controller_) controller_->UpdateGridModeBufferCount();
}

void TcxDBDataModeController::SetSmartRefresh(bool value)
{
    if (smartRefresh_ == value) return;
    smartRefresh_ = value;
    if (controller_ && !controller_->IsGridMode()) controller_->DBProvider().DataScrolled(0);
}

void TcxDBDataModeController::SetSyncMode(bool value)
{
    if (syncMode_ == value) return;
    syncMode_ = value;
    if (controller_ && controller_->DBProvider().IsActive()) controller_->DBProvider().DataScrolled(0);
}

bool TcxDBDataModeController::DetailIsCurrentQuery(const std::string& keyFieldNames, const Variant& keyValues)
{
    hostlib::TDataSet* dataSet = controller_ ? controller_->DataSet() : nullptr;
    if (OnDetailIsCurrentQuery.Assigned()) {
        bool result = false;
        OnDetailIsCurrentQuery(this, dataSet, keyFieldNames, keyValues, result);
        return result;
    }
    int index = -1;
    if (!dataSet || !cxDetailFilterControllers().FindAdapter(dataSet->ClassType(), index)) return false;
    auto* adapter = hostlib::As<TcxDBProviderDetailFilterAdapter>(cxDetailFilterControllers().Items(index));
    return adapter && adapter->IsCurrentQuery(dataSet, keyFieldNames, keyValues);
}

void TcxDBDataModeController::DoDetailFirst(const std::string& keyFieldNames, const Variant& keyValues, bool& reopened)
{
    reopened = false;
    hostlib::TDataSet* dataSet = controller_ ? controller_->DataSet() : nullptr;
    if (OnDetailFirst.Assigned()) {
        OnDetailFirst(this, dataSet, keyFieldNames, keyValues, reopened);
        return;
    }
    if (!controller_ || !dataSet) return;
    controller_->GetDetailFilterAdapter()->SetFilter(dataSet, keyFieldNames, keyValues, detailInSQLMode_, reopened);
}

// ---- TcxDBDataLink -------------------------------------------------------------

hostlib::TClass TcxDBDataLink::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataLink, hostlib::TDataLink>("TcxDBDataLink");
}

void TcxDBDataLink::ActiveChanged()
{
    if (!provider_) return;
    provider_->LinkActiveChanged(Active());
    TcxDBDataController* controller = provider_->DBDataController();
    if (controller && controller->IsLoading()) controller->SetActivatedWhileLoading();
}

void TcxDBDataLink::DataSetChanged()
{
    if (provider_) provider_->LinkDataSetChanged();
}

void TcxDBDataLink::DataSetScrolled(int distance)
{
    if (provider_) provider_->DataScrolled(distance);
}

void TcxDBDataLink::EditingChanged()
{
    if (provider_) provider_->LinkEditingChanged();
}

void TcxDBDataLink::FocusControl(hostlib::TField*& field)
{
    TcxDBDataController* controller = provider_ ? provider_->DBDataController() : nullptr;
    if (!controller || !field) return;
    for (int i = 0; i < controller->GetItemCount(); ++i) {
        TcxDBDataField* dbField = controller->DBFields(i);
        if (dbField && !dbField->IsInternal() && dbField->Field() == field) {
            bool done = false;
            controller->FocusControl(i, done);
            if (done) field = nullptr;
            return;
        }
    }
}

void TcxDBDataLink::LayoutChanged()
{
    if (provider_) provider_->LayoutChanged({lcStructure, lcData});
}

void TcxDBDataLink::RecordChanged(hostlib::TField* field)
{
    if (provider_) provider_->RecordChanged(field);
}

void TcxDBDataLink::UpdateData()
{
    if (!provider_) return;
    provider_->DoUpdateData();
    provider_->ResetChanging();
}

// ---- TcxValueDefDBReader -----------------------------------------------------

hostlib::TClass TcxValueDefDBReader::StaticClass()
{
    return hostlib::DefineClass<TcxValueDefDBReader, TcxValueDefReader>("TcxValueDefDBReader");
}

namespace {
TcxDBDataField* DBFieldOf(TcxValueDef* valueDef)
{
    return valueDef ? hostlib::As<TcxDBDataField>(valueDef->LinkObject()) : nullptr;
}
} // namespace

Variant TcxValueDefDBReader::GetValue(TcxValueDef* valueDef)
{
    TcxDBDataField* field = DBFieldOf(valueDef);
    if (field && field->Field()) return GetFieldValue(field->Field());
    return TcxValueDefReader::GetValue(valueDef);
}

std::string TcxValueDefDBReader::GetDisplayText(TcxValueDef* valueDef)
{
    TcxDBDataField* field = DBFieldOf(valueDef);
    if (field && field->Field()) return field->Field()->DisplayText();
    return TcxValueDefReader::GetDisplayText(valueDef);
}

bool TcxValueDefDBReader::IsInternal(TcxValueDef* valueDef)
{
    TcxDBDataField* field = DBFieldOf(valueDef);
    return field ? field->IsValueDefInternal() : TcxValueDefReader::IsInternal(valueDef);
}

// ---- TcxDBDataProvider ---------------------------------------------------------

hostlib::TClass TcxDBDataProvider::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataProvider, TcxCustomDataProvider>("TcxDBDataProvider");
}

namespace {
// Every provider, so that those bound to one data set can see each other.
std::vector<TcxDBDataProvider*>& Providers()
{
    static std::vector<TcxDBDataProvider*> providers;
    return providers;
}
} // namespace

std::vector<TcxDBDataProvider*> TcxDBDataProvider::ProvidersOf(hostlib::TDataSet* dataSet)
{
    std::vector<TcxDBDataProvider*> result;
    for (TcxDBDataProvider* provider : Providers())
        if (dataSet && provider->DataSet() == dataSet) result.push_back(provider);
    return result;
}

void TcxDBDataProvider::Construct(TcxCustomDataController* controller)
{
    TcxCustomDataProvider::Construct(controller);
    dbController_ = hostlib::As<TcxDBDataController>(controller);
    link_.reset(hostlib::CreateObject<TcxDBDataLink>(this));
    Providers().push_back(this);
}

// Another controller reading the same data set moves its cursor; what it
// causes is no change of the data.
bool TcxDBDataProvider::IsOtherProviderBusy() const
{
    hostlib::TDataSet* dataSet = DataSet();
    for (TcxDBDataProvider* other : Providers())
        if (other != this && dataSet && other->DataSet() == dataSet && (other->IsFrozen() || other->LocateCount() > 0))
            return true;
    return false;
}

// Another controller of the same data set is inside an update or a keyed
// locate: it tells this one afterwards.
bool TcxDBDataProvider::IsOtherDataControllerUpdating()
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return false;
    for (TcxDBDataProvider* other : Providers()) {
        // One that is passing its changes on wants them read.
        if (other == this || other->DataSet() != dataSet || other->inNotify_) continue;
        TcxCustomDataController* controller = other->DataController();
        const bool locating = other->LocateCount() > 0 && controller->IsKeyNavigation();
        if (controller->GetLockCount() == 0 && !locating) continue;
        if (!controller->HasListenerLinks()) other->AddListener(this);
        return true;
    }
    return false;
}

// A provider of the data set (this one included) is moving its cursor: the
// change is a move, not new data.
bool TcxDBDataProvider::IsDataSetBusy() const
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return false;
    for (TcxDBDataProvider* other : Providers()) {
        if (other->DataSet() != dataSet) continue;
        TcxCustomDataController* controller = other->DataController();
        const bool locating = other->LocateCount() > 0 && (controller->IsKeyNavigation() || other->IsGridMode());
        if (other->inNotify_) return !postLocate_;
        if (controller->GetLockCount() == 0 && !locating) continue;
        if (postLocate_) return false;
        return !IsGridMode() || !DataController()->HasListenerLinks();
    }
    return false;
}

bool TcxDBDataProvider::IsDetailDataSetBusy() const
{
    for (TcxDBDataProvider* provider : ProvidersOf(DataSet())) {
        TcxCustomDataController* controller = provider->DataController();
        if (controller->GetLockCount() > 0 && controller->IsDetailMode()) return true;
    }
    return false;
}

bool TcxDBDataProvider::IsCanInitEditingBusy() const
{
    for (TcxDBDataProvider* provider : ProvidersOf(DataSet()))
        if (provider->inCanInitEditing_) return true;
    return false;
}

bool TcxDBDataProvider::IsOtherInsert() const
{
    hostlib::TDataSet* dataSet = DataSet();
    for (TcxDBDataProvider* other : Providers())
        if (other != this && dataSet && other->DataSet() == dataSet && other->inInsert_) return true;
    return false;
}

void TcxDBDataProvider::AddListener(TcxDBDataProvider* provider)
{
    if (std::find(listeners_.begin(), listeners_.end(), provider) == listeners_.end()) listeners_.push_back(provider);
}

void TcxDBDataProvider::NotifyListeners()
{
    if (inNotify_) return;
    inNotify_ = true;
    quelvo::sys::ScopeGuard reset([this] { inNotify_ = false; });
    while (!listeners_.empty()) {
        TcxDBDataProvider* listener = listeners_.back();
        listeners_.pop_back();
        listener->LinkDataSetChanged();
    }
}

void TcxDBDataProvider::Destroy()
{
    auto& providers = Providers();
    providers.erase(std::remove(providers.begin(), providers.end(), this), providers.end());
    for (TcxDBDataProvider* other : providers)
        other->listeners_.erase(std::remove(other->listeners_.begin(), other->listeners_.end(), this),
                                other->listeners_.end());
    // The link must not call back into a provider being torn down.
    if (link_) link_->SetDataSource(nullptr);
    link_.reset();
    TcxCustomDataProvider::Destroy();
}

TcxDBDataController* TcxDBDataProvider::DBDataController() const
{
    return dbController_;
}

TcxDBDataModeController* TcxDBDataProvider::Modes() const
{
    TcxDBDataController* controller = DBDataController();
    return controller ? &controller->DataModeController() : nullptr;
}

bool TcxDBDataProvider::DataSetInEditState() const
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return false;
    const hostlib::TDataSetState state = dataSet->State();
    return state == hostlib::dsEdit || state == hostlib::dsInsert || state == hostlib::dsSetKey;
}

bool TcxDBDataProvider::IsGridMode() const
{
    TcxDBDataModeController* modes = Modes();
    hostlib::TDataSet* dataSet = DataSet();
    if (!modes || !modes->GridMode()) return false;
    if (dataSet && dataSet->IsUniDirectional()) return false;
    return !LoadAllNeeded() && DataController()->GetDetailMode() != dcdmPattern;
}

bool TcxDBDataProvider::IsActive() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->Active() && !dataSet->ControlsDisabled();
}

bool TcxDBDataProvider::IsActiveDataSet() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->FieldCount() > 0 && (dataSet->Active() || !dataSet->DefaultFields());
}

bool TcxDBDataProvider::IsDataSource() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->State() != hostlib::dsInactive;
}

bool TcxDBDataProvider::IsSyncMode() const
{
    hostlib::TDataSet* dataSet = DataSet();
    TcxDBDataModeController* modes = Modes();
    if (!dataSet || !dataSet->Active() || !modes || dataSet->IsUniDirectional()) return false;
    if (!IsGridMode() && !modes->SyncMode()) return false;
    if (!IsDetail()) return true;
    if (!modes->DetailInSyncMode()) return false;
    if (modes->DetailInSQLMode()) return IsDataSetCurrent();
    return DataController()->IsKeyNavigation() || IsGridMode();
}

bool TcxDBDataProvider::IsDetail() const
{
    TcxDBDataController* controller = DBDataController();
    return controller && controller->DBMasterRelation() && !controller->GetMasterDetailKeyFieldNames().empty();
}

bool TcxDBDataProvider::IsBOF() const
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return TcxCustomDataProvider::IsBOF();
    return !link_->Active() || dataSet->Bof();
}

bool TcxDBDataProvider::IsEOF() const
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return TcxCustomDataProvider::IsEOF();
    if (!IsDetail() || IsGridMode()) return !link_->Active() || dataSet->Eof();
    // A detail's rows stand together in the data set.
    const Variant& keys = DBDataController()->MasterDetailKeyValues();
    if (keys.IsNull() || keys.IsEmpty() || dataSet->Eof()) return true;
    if (DataSetInEditState()) return false;
    return !VarEquals(GetDataSetValues(dataSet, DBDataController()->GetMasterDetailKeyFields()), keys);
}

bool TcxDBDataProvider::IsEditing() const
{
    if (IsUnboundColumnMode()) return TcxCustomDataProvider::IsEditing();
    return DataSetInEditState();
}

bool TcxDBDataProvider::IsInserting() const
{
    if (IsUnboundColumnMode()) return TcxCustomDataProvider::IsInserting();
    return DataSet() && DataSet()->State() == hostlib::dsInsert;
}

bool TcxDBDataProvider::IsModified() const
{
    return TcxCustomDataProvider::IsModified() || (DataSet() && DataSet()->Modified());
}

void TcxDBDataProvider::First()
{
    TcxCustomDataProvider::First();
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return;
    if (!IsDetail() || IsGridMode()) {
        dataSet->First();
        return;
    }
    TcxDBDataController* controller = DBDataController();
    const Variant& keys = controller->MasterDetailKeyValues();
    if (keys.IsNull() || keys.IsEmpty()) return;
    bool reopened = false;
    controller->DataModeController().DoDetailFirst(controller->GetMasterDetailKeyFieldNames(), keys, reopened);
    if (reopened) {
        SavePos();
        // Reopening made the data set's default fields anew.
        controller->UpdateFields();
    }
    SetIsDataSetCurrent(true);
}

bool TcxDBDataProvider::IsDetailInSyncMode() const
{
    TcxDBDataModeController* modes = Modes();
    return IsDetail() && modes && modes->DetailInSyncMode();
}

// Details of one master share their data set: it stands on one detail's
// rows at a time.
bool TcxDBDataProvider::IsDataSetCurrent() const
{
    TcxDBDataModeController* modes = Modes();
    if (!IsDetail() || !modes || modes->DetailInSQLMode() || !IsSyncMode()) return dataSetCurrent_;
    if (inCanInitEditing_) return true;
    const bool otherInitEditing = IsOtherProvider([](const TcxDBDataProvider& p) { return p.inCanInitEditing_; });
    if (inInsert_ || insertingRecord_) return !otherInitEditing;
    TcxCustomDataController* controller = DataController();
    if ((controller->GetFocusedRowIndex() != -1 || dataSetCurrent_) && !IsOtherInsert()) return true;
    return controller->UseNewItemRowForEditing() && controller->GetNewItemRowFocused() && IsInserting() &&
           !otherInitEditing;
}

void TcxDBDataProvider::SetIsDataSetCurrent(bool value)
{
    if (dataSetCurrent_ == value) return;
    TcxDBDataController* controller = DBDataController();
    TcxCustomDataRelation* relation = controller->GetMasterRelation();
    if (value && relation) {
        controller->ForEachDetail(relation, [controller](TcxCustomDataController* detail) {
            if (auto* dbDetail = hostlib::As<TcxDBDataController>(detail)) controller->ResetDataSetCurrent(dbDetail);
        });
    }
    dataSetCurrent_ = value;
    controller->DoDataSetCurrentChanged(value);
}

bool TcxDBDataProvider::IsOtherProvider(const std::function<bool(const TcxDBDataProvider&)>& test) const
{
    hostlib::TDataSet* dataSet = DataSet();
    for (TcxDBDataProvider* other : Providers())
        if (other != this && dataSet && other->DataSet() == dataSet && test(*other)) return true;
    return false;
}

void TcxDBDataProvider::Prev()
{
    if (DataSet()) DataSet()->Prior();
}

void TcxDBDataProvider::Next()
{
    if (DataSet()) DataSet()->Next();
}

void TcxDBDataProvider::Last()
{
    if (DataSet()) DataSet()->Last();
}

void TcxDBDataProvider::MoveBy(int distance)
{
    if (DataSet()) DataSet()->MoveBy(distance);
}

void TcxDBDataProvider::Scroll(int distance)
{
    if (!DataSet() || !IsGridMode() || !IsActive() || distance == 0) return;
    const int active = link_->ActiveRecord();
    if (distance < 0)
        DataSet()->MoveBy(distance - active);
    else
        DataSet()->MoveBy(distance + link_->RecordCount() - active - 1);
    DataController()->CorrectPrevSelectionChangedInfo();
    DataController()->SyncSelected(true);
}

void TcxDBDataProvider::SavePos()
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return;
    savePos_ = {};
    if (dataSet->Active() && !dataSet->IsEmpty()) savePos_.bookmark = dataSet->GetBookmark();
    savePos_.activeRecord = link_->Active() ? link_->ActiveRecord() : 0;
    savePos_.bof = dataSet->Bof();
    savePos_.eof = dataSet->Eof();
}

void TcxDBDataProvider::RestoreWindowRow(int storedRow)
{
    hostlib::TDataSet* dataSet = DataSet();
    const int row = link_->ActiveRecord();
    if (row > storedRow) {
        const int count = link_->BufferCount() - 1 - storedRow;
        dataSet->MoveBy(count);
        dataSet->MoveBy(-count);
    } else if (row < storedRow) {
        dataSet->MoveBy(-storedRow);
        dataSet->MoveBy(storedRow);
    }
}

void TcxDBDataProvider::RestorePos()
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet || !dataSet->Active()) return;
    try {
        if (!savePos_.bookmark.empty() && BookmarkValid(savePos_.bookmark)) dataSet->GotoBookmark(savePos_.bookmark);
        if (link_->Active()) RestoreWindowRow(savePos_.activeRecord);
        if (savePos_.bof && !dataSet->Bof()) dataSet->Prior();
        if (savePos_.eof && !dataSet->Eof()) dataSet->Next();
    } catch (const hostlib::EDatabaseError&) {
        // The record may be gone; staying where the data set stands is fine.
    }
}

void TcxDBDataProvider::CorrectRecordIndex(int recordIndex)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet || DataController()->IsKeyNavigation() || savePos_.bookmark.empty()) return;
    if (dataSet->CompareBookmarks(dataSet->GetBookmark(), savePos_.bookmark) == 0) currentRecordIndex_ = recordIndex;
}

bool TcxDBDataProvider::CanModify() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->Active() && dataSet->CanModify() && IsSyncMode();
}

bool TcxDBDataProvider::CanDelete() const
{
    return CanModify() && !DataSet()->IsEmpty();
}

bool TcxDBDataProvider::CanInitEditing(int recordIndex)
{
    if (IsUnboundColumnMode()) return TcxCustomDataProvider::CanInitEditing(recordIndex);
    inCanInitEditing_ = true;
    quelvo::sys::ScopeGuard reset([this] { inCanInitEditing_ = false; });
    TcxCustomDataController* controller = DataController();
    bool result = true;
    if (controller->UseNewItemRowForEditing() && controller->GetNewItemRowFocused() && !IsInserting())
        Insert();
    else
        result = link_->Edit();
    if (result) SetChanging();
    return result;
}

void TcxDBDataProvider::Delete()
{
    TcxCustomDataController* controller = DataController();
    hostlib::TDataSet* dataSet = DataSet();
    const int focused = controller->GetFocusedRecordIndex();
    if (!dataSet || focused == -1) return;
    const bool smart = IsSmartRefresh();
    deletedFocusedRecordIndex_ = smart ? focused : -1;
    {
        dataSet->DisableControls();
        quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
        dataSet->Delete();
        const int nearest = controller->NearestRecordIndex();
        if (nearest != -1 && nearest < controller->GetRecordCount()) DBDataController()->TryFocusRecord(nearest);
    }
    if (!smart) return;
    const int record = deletedFocusedRecordIndex_;
    deletedFocusedRecordIndex_ = -1;
    if (record >= 0 && record < controller->GetRecordCount()) controller->DeleteRecord(record);
    controller->UpdateFocused();
}

void TcxDBDataProvider::DeleteRecords(std::vector<int>& list)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet || list.empty()) return;
    if (DataController()->IsKeyNavigation())
        DeleteRecordsByKeys(list);
    else
        DeleteRecordsByMoves(list);
}

void TcxDBDataProvider::DeleteRecordsByKeys(const std::vector<int>& list)
{
    TcxDBDataController* controller = DBDataController();
    hostlib::TDataSet* dataSet = DataSet();
    std::vector<TcxCustomDataField*> keyFields;
    controller->GetKeyFields(keyFields);
    std::vector<Variant> keys;
    for (int record : list) keys.push_back(controller->GetInternalRecordId(record, keyFields));
    const bool smart = controller->IsSmartRefresh();
    {
        dataSet->DisableControls();
        quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            if (!dataSet->Locate(controller->KeyFieldNames(), *key)) continue;
            if (!smart) {
                dataSet->Delete();
                continue;
            }
            const int record = controller->LocateRecordIndex([&keyFields](TcxDataControllerKeyLocateObject& locate) {
                for (TcxCustomDataField* field : keyFields) locate.AddField(field);
            });
            if (record == -1) continue;
            dataSet->Delete();
            controller->DeleteRecord(record);
        }
    }
    if (smart) controller->UpdateFocused();
}

// Records follow the data set's order here: a relative move reaches each.
void TcxDBDataProvider::DeleteRecordsByMoves(const std::vector<int>& list)
{
    TcxCustomDataController* controller = DataController();
    hostlib::TDataSet* dataSet = DataSet();
    if (!controller->ChangeFocusedRecordIndex(list.back())) return;
    dataSet->DisableControls();
    quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
    int position = list.back();
    for (auto record = list.rbegin(); record != list.rend(); ++record) {
        dataSet->MoveBy(*record - position);
        position = *record;
        const bool atEnd = dataSet->RecNo() == dataSet->RecordCount();
        dataSet->Delete();
        // Deleting the last record leaves the cursor on the one before.
        if (atEnd) --position;
    }
}

void TcxDBDataProvider::EndDeleting()
{
    TcxCustomDataController* controller = DataController();
    const int nearest = controller->NearestRecordIndex();
    if (nearest != -1 && nearest < controller->GetRecordCount()) controller->ChangeFocusedRecordIndex(nearest);
    TcxCustomDataProvider::EndDeleting();
}

void TcxDBDataProvider::Append()
{
    AddNewRecord(true);
}

void TcxDBDataProvider::Insert()
{
    AddNewRecord(false);
}

// The data set posts what it holds (or drops an untouched record) and the
// controller reads that record alone.
void TcxDBDataProvider::FinishSmartChange()
{
    hostlib::TDataSet* dataSet = DataSet();
    link_->UpdateRecord();
    if (dataSet->Modified())
        dataSet->Post();
    else
        dataSet->Cancel();
    SmartDataChanged();
    ResetSmartRefresh();
}

void TcxDBDataProvider::AddNewRecord(bool append)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return;
    inInsert_ = true;
    quelvo::sys::ScopeGuard reset([this] { inInsert_ = false; });
    const auto add = [dataSet, append] { append ? dataSet->Append() : dataSet->Insert(); };
    if (!DataSetInEditState()) {
        add();
        return;
    }
    if (!IsSmartRefresh() && dataSet->State() == hostlib::dsInsert) dataSet->CheckBrowseMode();
    {
        dataSet->DisableControls();
        quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
        if (IsSmartRefresh() && DataSetInEditState()) FinishSmartChange();
    }
    add();
}

void TcxDBDataProvider::Edit()
{
    if (IsUnboundColumnMode()) return TcxCustomDataProvider::Edit();
    if (DataSet()) DataSet()->Edit();
}

void TcxDBDataProvider::Post()
{
    if (IsUnboundColumnMode()) return TcxCustomDataProvider::Post();
    if (DataSet()) DataSet()->Post();
}

void TcxDBDataProvider::Cancel()
{
    if (IsUnboundColumnMode()) return TcxCustomDataProvider::Cancel();
    if (IsSmartRefresh()) {
        TcxDBDataController* controller = DBDataController();
        controller->SetInUnboundCopy(true);
        quelvo::sys::ScopeGuard reset([controller] { controller->SetInUnboundCopy(false); });
        TcxCustomDataProvider::Cancel();
    }
    if (DataSet()) DataSet()->Cancel();
}

void TcxDBDataProvider::PostEditingData()
{
    link_->UpdateRecord();
}

hostlib::TField* TcxDBDataProvider::FieldOf(TcxCustomDataField* field) const
{
    auto* dbField = hostlib::As<TcxDBDataField>(field);
    return dbField ? dbField->Field() : nullptr;
}

Variant TcxDBDataProvider::GetEditValue(int recordIndex, TcxCustomDataField* field, TcxDataEditValueSource source)
{
    hostlib::TField* dataSetField = FieldOf(field);
    if (!dataSetField) return TcxCustomDataProvider::GetEditValue(recordIndex, field, source);
    if (source == evsText) return Variant(dataSetField->Text());
    if (source == evsKey && dataSetField->Lookup())
        return DataSet()->FieldValues(dataSetField->KeyFields());
    return dataSetField->IsNull() ? Variant::Null() : dataSetField->Value();
}

bool TcxDBDataProvider::SetEditValue(int recordIndex, TcxCustomDataField* field, const Variant& value,
                                     TcxDataEditValueSource source)
{
    hostlib::TField* dataSetField = FieldOf(field);
    if (!dataSetField) return TcxCustomDataProvider::SetEditValue(recordIndex, field, value, source);
    if (source == evsText || dataSetField->OnSetText.Assigned())
        dataSetField->SetText(hostlib::VarToStr(value));
    else if (source == evsKey && dataSetField->Lookup())
        DataSet()->SetFieldValues(dataSetField->KeyFields(), value);
    else
        SetFieldValue(dataSetField, value);
    return true;
}

void TcxDBDataProvider::AssignItemValue(int recordIndex, TcxCustomDataField* field, const Variant& value)
{
    hostlib::TField* dataSetField = FieldOf(field);
    if (!dataSetField) return TcxCustomDataProvider::AssignItemValue(recordIndex, field, value);
    if (dataSetField->Lookup())
        DataSet()->SetFieldValues(dataSetField->KeyFields(), value);
    else
        SetFieldValue(dataSetField, value);
}

void TcxDBDataProvider::SetPostLocateFlags()
{
    for (TcxDBDataProvider* provider : ProvidersOf(DataSet()))
        if (!provider->DataController()->IsPattern()) provider->postLocate_ = true;
}

void TcxDBDataProvider::BeginLocate()
{
    TcxCustomDataProvider::BeginLocate();
    if (DataSetInEditState()) SetPostLocateFlags();
}

void TcxDBDataProvider::Freeze()
{
    TcxCustomDataProvider::Freeze();
    if (hostlib::TDataSet* dataSet = DataSet()) {
        dataSet->DisableControls();
        if (dataSet->Active() && DataSetInEditState()) {
            SetPostLocateFlags();
            dataSet->Cancel();
        }
    }
}

void TcxDBDataProvider::Unfreeze()
{
    if (hostlib::TDataSet* dataSet = DataSet()) dataSet->EnableControls();
    TcxCustomDataProvider::Unfreeze();
}

Variant TcxDBDataProvider::GetExternalDataValue(int recordIndex, TcxCustomDataField* field) const
{
    hostlib::TField* dataSetField = FieldOf(field);
    if (!dataSetField) return TcxCustomDataProvider::GetExternalDataValue(recordIndex, field);
    if (recordIndex >= 0 && recordIndex < link_->RecordCount()) {
        const int old = link_->ActiveRecord();
        link_->SetActiveRecord(recordIndex);
        quelvo::sys::ScopeGuard back([&] { link_->SetActiveRecord(old); });
        return dataSetField->IsNull() ? Variant::Null() : dataSetField->Value();
    }
    return IsInserting() ? dataSetField->Value() : Variant::Null();
}

std::string TcxDBDataProvider::GetExternalDataDisplayText(int recordIndex, TcxCustomDataField* field) const
{
    hostlib::TField* dataSetField = FieldOf(field);
    if (!dataSetField) return TcxCustomDataProvider::GetExternalDataDisplayText(recordIndex, field);
    if (recordIndex >= 0 && recordIndex < link_->RecordCount()) {
        const int old = link_->ActiveRecord();
        link_->SetActiveRecord(recordIndex);
        quelvo::sys::ScopeGuard back([&] { link_->SetActiveRecord(old); });
        return dataSetField->DisplayText();
    }
    return IsInserting() ? dataSetField->DisplayText() : std::string();
}

int TcxDBDataProvider::GetDataBufferCount() const
{
    TcxDBDataModeController* modes = Modes();
    if (modes && modes->GridModeBufferCount() != 0) return modes->GridModeBufferCount();
    TcxDBDataController* controller = DBDataController();
    return controller ? controller->GetDefaultGridModeBufferCount() : 1;
}

void TcxDBDataProvider::LoadDataBuffer()
{
    if (IsGridMode() && IsActive()) {
        link_->SetBufferCount(GetDataBufferCount());
        TcxDataStorage& storage = DataController()->DataStorage();
        storage.Clear(false);
        storage.SetRecordCount(link_->RecordCount());
        currentRecordIndex_ = link_->ActiveRecord();
    }
    TcxCustomDataProvider::LoadDataBuffer();
}

void TcxDBDataProvider::UpdateGridMode()
{
    if (!IsGridMode() || !IsActive()) return;
    const int oldCount = DataController()->GetRecordCount();
    link_->SetBufferCount(GetDataBufferCount());
    currentRecordIndex_ = link_->ActiveRecord();
    if (oldCount == link_->RecordCount()) {
        if (!IsInserting()) TcxCustomDataProvider::DataChanged(dcRecord, -1, -1);
        DataController()->UpdateFocused();
    } else {
        TcxCustomDataProvider::DataChanged(dcTotal, -1, -1);
    }
}

bool TcxDBDataProvider::SearchMatches(hostlib::TField* field, const std::string& text) const
{
    return DataCompareText(field->DisplayText(), text, true);
}

// One step in the search direction; at the end a first search goes on from
// the other end, a next one stops.
bool TcxDBDataProvider::StepLocate(bool forward, bool next)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (dataSet->MoveBy(forward ? 1 : -1) != 0) return true;
    if (next) return false;
    if (forward)
        dataSet->First();
    else
        dataSet->Last();
    return true;
}

bool TcxDBDataProvider::DoLocate(const std::string& text, bool forward, bool next)
{
    hostlib::TDataSet* dataSet = DataSet();
    TcxCustomDataController* controller = DataController();
    if (!dataSet || IsEditing() || !dataSet->Active() || dataSet->IsEmpty()) return false;
    const int item = controller->Search().GetItemIndex();
    auto* field = item >= 0 && item < controller->GetItemCount() ? hostlib::As<TcxDBDataField>(controller->GetField(item)) : nullptr;
    hostlib::TField* dataSetField = field ? field->Field() : nullptr;
    if (!dataSetField) return false;
    if (!next && SearchMatches(dataSetField, text)) {
        controller->UpdateFocused();
        return true;
    }
    bool found = false;
    {
        Freeze();
        SavePos();
        quelvo::sys::ScopeGuard unfreeze([this] { Unfreeze(); });
        const hostlib::TBookmark start = dataSet->GetBookmark();
        while (StepLocate(forward, next) && dataSet->GetBookmark() != start) {
            if (SearchMatches(dataSetField, text)) {
                found = true;
                break;
            }
        }
        if (!found) RestorePos();
    }
    if (found) {
        controller->CorrectPrevSelectionChangedInfo();
        controller->Change({dccLayout});
    }
    return found;
}

void TcxDBDataProvider::DataScrolled(int distance)
{
    if (IsGridMode()) {
        currentRecordIndex_ = link_->ActiveRecord();
        TcxCustomDataController* controller = DataController();
        controller->BeginUpdate();
        quelvo::sys::ScopeGuard end([controller] { controller->EndUpdate(); });
        if (distance != 0) DBDataController()->InvalidateDataBuffer();
    } else {
        currentRecordIndex_ += distance;
    }
    TcxCustomDataProvider::DataScrolled(distance);
    if (IsGridMode() && DBDataController()->IsSequenced()) DBDataController()->UpdateScrollBars();
}

void TcxDBDataProvider::LayoutChanged(TcxDataLayoutChanges changes)
{
    if (!IsOtherProviderBusy()) return TcxCustomDataProvider::LayoutChanged(changes);
    // Another detail is repositioning the shared data set: only the
    // fields follow.
    if (IsActive()) DBDataController()->ResyncDBFields();
}

bool TcxDBDataProvider::DetailHasRows(TcxDBDataController& detail, const Variant& key)
{
    hostlib::TDataSet* dataSet = detail.DataSet();
    if (!dataSet || !dataSet->Active()) return false;
    TcxDBDataProvider& provider = detail.DBProvider();
    provider.Freeze();
    provider.SavePos();
    quelvo::sys::ScopeGuard restore([&provider] {
        provider.RestorePos();
        provider.Unfreeze();
    });
    return dataSet->Locate(detail.GetMasterDetailKeyFieldNames(), key);
}

bool TcxDBDataProvider::GetDetailHasChildren(int recordIndex, int relationIndex)
{
    TcxCustomDataController* pattern = DataController()->GetPatternDataController();
    auto* relation = relationIndex >= 0 && relationIndex < pattern->Relations().GetCount()
                         ? hostlib::As<TcxDBDataRelation>(pattern->Relations().GetItem(relationIndex))
                         : nullptr;
    auto* detail = relation ? hostlib::As<TcxDBDataController>(relation->DetailDataController()) : nullptr;
    if (!detail) return TcxCustomDataProvider::GetDetailHasChildren(recordIndex, relationIndex);
    const Variant key = relation->GetMasterRecordID(recordIndex);
    TcxDBDataController* master = DBDataController();
    if (master && master->OnDetailHasChildren.Assigned()) {
        bool hasChildren = true;
        master->OnDetailHasChildren(master, recordIndex, relationIndex, detail->GetMasterDetailKeyFieldNames(), key,
                                    hasChildren);
        return hasChildren;
    }
    if (detail->IsGridMode() || detail->DataModeController().DetailInSQLMode()) return true;
    return DetailHasRows(*detail, key);
}

bool TcxDBDataProvider::BookmarkValid(const hostlib::TBookmark& bookmark) const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->BookmarkValid(bookmark);
}

int TcxDBDataProvider::CompareBookmarks(const hostlib::TBookmark& a, const hostlib::TBookmark& b) const
{
    if (!link_->Active()) return -1;
    return DataSet()->CompareBookmarks(a, b);
}

void TcxDBDataProvider::RecordChanged(hostlib::TField*)
{
    const bool current = !IsDetailInSyncMode() || IsDataSetCurrent();
    if (IsEditing() && !IsUnboundColumnMode() && current) DBDataController()->UpdateEditingRecord();
    ResetChanging();
}

void TcxDBDataProvider::SetDataSource(hostlib::TDataSource* value)
{
    if (link_->DataSource() != value) link_->SetDataSource(value);
}

void TcxDBDataProvider::LinkActiveChanged(bool active)
{
    TcxDBDataController* controller = DBDataController();
    // Default fields die with a closing data set: nothing may keep them.
    if (controller && !active) controller->UnbindDBFields();
    // A detail reopening a shared query for its own key: the others keep
    // their rows rather than reopen it for theirs in turn.
    if (IsOtherProviderBusy()) return;
    activeChanging_ = true;
    quelvo::sys::ScopeGuard reset([this] { activeChanging_ = false; });
    ActiveChanged(active);
}

// In SQL mode the query holds one detail's rows; changes to another's are
// not this detail's.
bool TcxDBDataProvider::IsOtherDetailChanged() const
{
    TcxDBDataModeController* modes = Modes();
    if (!IsDetail() || !modes || !modes->DetailInSQLMode()) return false;
    if (!modes->DetailInSyncMode()) return true;
    TcxDBDataController* controller = DBDataController();
    const Variant& keys = controller->MasterDetailKeyValues();
    if (IsDataSetCurrent() || keys.IsNull() || keys.IsEmpty()) return false;
    return !VarEquals(GetDataSetValues(DataSet(), controller->GetMasterDetailKeyFields()), keys);
}

void TcxDBDataProvider::LinkDataSetChanged()
{
    if (IsOtherDataControllerUpdating() || IsOtherProviderBusy() || IsOtherDetailChanged()) return;
    if (IsDataSetBusy()) {
            DataScrolled(0);
        return;
    }
    if (IsGridMode()) {
        GridModeDataSetChanged();
        return;
    }
    if (!DataSetInEditState()) {
        if (IsSmartRefresh()) {
            SmartDataChanged();
            DataScrolled(0);
        } else {
            TcxCustomDataProvider::DataChanged(dcTotal, -1, -1);
        }
        ResetSmartRefresh();
        return;
    }
    if (IsDetail() && !IsDataSetCurrent()) return;
    if (DataSet()->State() == hostlib::dsInsert && !TcxCustomDataProvider::IsInserting() && IsSyncInsert())
        DoInsertingRecord();
}

bool TcxDBDataProvider::IsSyncInsert() const
{
    TcxDBDataModeController* modes = Modes();
    return DataController()->GetDetailMode() != dcdmPattern && modes && modes->SyncInsert() && IsSyncMode();
}

void TcxDBDataProvider::DoInsertingRecord()
{
    insertingRecord_ = true;
    quelvo::sys::ScopeGuard reset([this] { insertingRecord_ = false; });
    InsertingRecord(IsEOF());
    SetUpdatingRecord(EditingRecordIndex(), true);
}

void TcxDBDataProvider::GridModeDataSetChanged()
{
    TcxDBDataController* controller = DBDataController();
    inGridModeUpdate_ = true;
    controller->BeginUpdate();
    quelvo::sys::ScopeGuard end([this, controller] {
        controller->EndUpdate();
        inGridModeUpdate_ = false;
    });
    UpdateGridMode();
    if (controller->MultiSelect() && controller->DBSelection().RefreshBookmarks()) controller->DBSelection().SyncCount();
    controller->CheckBookmarkValid(-1);
}

void TcxDBDataProvider::LinkEditingChanged()
{
    if (!IsSyncMode()) return;
    if (link_->Active() && DataSetInEditState()) {
        if (DataSet()->State() != hostlib::dsEdit) return;
        TcxDBDataController* controller = DBDataController();
        controller->SetInUnboundCopy(true);
        quelvo::sys::ScopeGuard reset([controller] { controller->SetInUnboundCopy(false); });
        EditingRecord();
        SetUpdatingRecord(EditingRecordIndex(), false);
        return;
    }
    if (IsSmartRefresh()) CopyNewItemRecord();
    ResetEditing();
}

// The new-item row's record was posted: an ordinary record takes its values
// and is read again once the data set has its key.
void TcxDBDataProvider::CopyNewItemRecord()
{
    TcxCustomDataController* controller = DataController();
    const int editing = EditingRecordIndex();
    if (!controller->IsNewItemRecordIndex(editing) || !updatingInserting_) return;
    const int appended = controller->AppendRecord();
    controller->CopyRecord(editing, appended);
    updatingNewRecordIndex_ = appended;
}

// ---- smart refresh ---------------------------------------------------------------

bool TcxDBDataProvider::IsSmartRefresh() const
{
    TcxDBDataController* controller = DBDataController();
    return controller && controller->IsSmartRefresh();
}

void TcxDBDataProvider::SetUpdatingRecord(int recordIndex, bool inserting)
{
    if (!IsSmartRefresh() || recordIndex == cxNullEditingRecordIndex) return;
    updatingRecordIndex_ = recordIndex;
    updatingInserting_ = inserting;
}

void TcxDBDataProvider::ResetSmartRefresh()
{
    updatingRecordIndex_ = cxNullEditingRecordIndex;
    updatingNewRecordIndex_ = -1;
    updatingInserting_ = false;
}

void TcxDBDataProvider::ForgetRecord(int recordIndex)
{
    if (updatingRecordIndex_ == recordIndex) updatingRecordIndex_ = cxNullEditingRecordIndex;
    if (deletedFocusedRecordIndex_ == recordIndex) deletedFocusedRecordIndex_ = -1;
}

// The focused record, or for the new-item row the record it was copied to.
int TcxDBDataProvider::SmartTargetRecord() const
{
    TcxCustomDataController* controller = DataController();
    const int focused = controller->GetFocusedRecordIndex();
    if (focused < 0 && controller->IsNewItemRecordIndex(updatingRecordIndex_) && updatingNewRecordIndex_ != -1)
        return updatingNewRecordIndex_;
    return focused;
}

// A posted record with an autoincrement key gets the key the data set gave
// it; true when the record was read.
bool TcxDBDataProvider::ReadInsertedRecord(int recordIndex, const Variant& storedKey)
{
    TcxDBDataController* controller = DBDataController();
    std::vector<hostlib::TField*> keys = controller->GetKeyDBFields();
    if (!updatingInserting_ || !storedKey.IsNull() || keys.size() != 1 || keys.front()->DataType() != hostlib::ftAutoInc)
        return false;
    if (controller->FindRecordIndexByKey(controller->GetKeyFieldsValues()) != -1) return false;
    if (recordIndex < 0) {
        recordIndex = controller->AppendRecord();
        controller->CopyRecord(updatingRecordIndex_, recordIndex);
    }
    controller->DoUpdateRecord(recordIndex);
    return true;
}

void TcxDBDataProvider::SmartDataChanged()
{
    TcxDBDataController* controller = DBDataController();
    const int updating = updatingRecordIndex_;
    if (updating != cxNullEditingRecordIndex) {
        int record = SmartTargetRecord();
        if (updating == record || (controller->IsNewItemRecordIndex(updating) && record == updatingNewRecordIndex_)) {
            const Variant storedKey = record >= 0 ? controller->GetRecordId(record) : Variant::Null();
            if (record >= 0 && VarEquals(storedKey, controller->GetKeyFieldsValues())) {
                controller->DoUpdateRecord(record);
            } else if (!ReadInsertedRecord(record, storedKey)) {
                const int found = controller->FindRecordIndexByKey(storedKey);
                if ((found == -1 || found == record) && record >= 0) {
                    controller->DeleteRecord(record);
                    record = -1;
                    controller->UpdateFocused();
                }
            }
        }
        if (record >= 0 && record < controller->GetRecordCount()) controller->DataChanged(dcRecord, -1, record);
    }
    controller->FilterChanged();
    controller->SummaryChanged(false);
    postLocate_ = false;
}

void TcxDBDataProvider::DoInitInsertingRecord(int recordIndex, const Variant& groupValues)
{
    TcxDBDataController* controller = DBDataController();
    if (inInsert_ || inCanInitEditing_ || IsOtherInsert()) {
        TcxCustomDataProvider::DoInitInsertingRecord(recordIndex, groupValues);
        if (controller->Options().Contains(dcoAssignMasterDetailKeys)) AssignMasterDetailKeys();
        controller->DoInitInsertingRecord(recordIndex);
    }
    controller->UpdateEditingRecord();
}

// A new detail record belongs to its master record.
void TcxDBDataProvider::AssignMasterDetailKeys()
{
    TcxDBDataController* controller = DBDataController();
    const Variant& keys = controller->MasterDetailKeyValues();
    if (!IsDetail() || keys.IsNull() || keys.IsEmpty()) return;
    SetDataSetValues(DataSet(), controller->GetMasterDetailKeyFields(), keys);
}

// ---- TcxDBDataField ------------------------------------------------------------

hostlib::TClass TcxDBDataField::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataField, TcxCustomDataField>("TcxDBDataField");
}

void TcxDBDataField::Destroy()
{
    if (parentField_) parentField_->RemoveField(this);
    ClearFields();
    TcxCustomDataField::Destroy();
}

const TcxDBDataField* TcxDBDataField::Source() const
{
    auto* reference = hostlib::As<TcxDBDataField>(ReferenceField());
    return reference ? reference : this;
}

hostlib::TField* TcxDBDataField::Field() const
{
    return Source()->field_;
}

void TcxDBDataField::SetField(hostlib::TField* value)
{
    if (ReferenceField()) return;
    if (value && value->IsDestroying()) value = nullptr;
    if (field_ == value) return;
    TcxCustomDataController* controller = DataController();
    hostlib::TComponent* notifier = controller ? controller->Notifier() : nullptr;
    // Other fields may be bound to the old field: its notice stays.
    field_ = value;
    if (field_ && notifier) field_->FreeNotification(notifier);
    ClearFields();
}

bool TcxDBDataField::IsLookup() const
{
    hostlib::TField* field = Field();
    return field && field->Lookup();
}

int TcxDBDataField::FieldCount() const
{
    return static_cast<int>(Source()->fields_.size());
}

TcxDBDataField* TcxDBDataField::Fields(int index) const
{
    return Source()->fields_.at(static_cast<std::size_t>(index));
}

void TcxDBDataField::AddField(TcxDBDataField* field)
{
    if (std::find(fields_.begin(), fields_.end(), field) != fields_.end()) return;
    if (field->parentField_) throw EcxInvalidDataControllerOperation("ADataField.FParentField <> nil");
    fields_.push_back(field);
    field->parentField_ = this;
}

void TcxDBDataField::RemoveField(TcxDBDataField* field)
{
    const auto it = std::find(fields_.begin(), fields_.end(), field);
    if (it == fields_.end()) return;
    fields_.erase(it);
    field->parentField_ = nullptr;
}

void TcxDBDataField::ClearFields()
{
    while (!fields_.empty()) fields_.back()->Free();
}

void TcxDBDataField::Reassign(TcxCustomDataField* source)
{
    TcxCustomDataField::Reassign(source);
    auto* other = hostlib::As<TcxDBDataField>(source);
    if (!other) return;
    field_ = other->field_;
    other->field_ = nullptr;
    fields_ = std::move(other->fields_);
    other->fields_.clear();
    for (TcxDBDataField* sub : fields_) sub->parentField_ = this;
}

bool TcxDBDataField::CanModify(TcxDataEditValueSource source) const
{
    if (IsUnbound()) return TcxCustomDataField::CanModify(source);
    if (!TcxCustomDataField::CanModify(source) || !Field()) return false;
    if (!IsLookup()) return IsFieldCanModify(Field(), source == evsValue);
    if (source != evsKey || FieldCount() == 0) return false;
    for (int i = 0; i < FieldCount(); ++i)
        if (!Fields(i)->CanModify(evsValue)) return false;
    return true;
}

bool TcxDBDataField::IsUnbound() const
{
    return !IsInternal() && fieldName_.empty() && !Field() && ValueDef() != nullptr;
}

bool TcxDBDataField::IsValueDefInternal() const
{
    auto* controller = hostlib::As<TcxDBDataController>(DataController());
    if (controller && controller->IsGridMode()) return true;
    if (Field()) return false;
    return !(IsUnbound() && controller && controller->InUnboundCopy());
}

void TcxDBDataField::RemoveNotification(hostlib::TComponent* component)
{
    if (ReferenceField()) return;
    TcxCustomDataField::RemoveNotification(component);
    if (component != field_ || !field_) return;
    SetField(nullptr);
    Changed();
}

void TcxDBDataField::SetPropertiesByField(hostlib::TField* field)
{
    if (ReferenceField()) return;
    TcxCustomDataController* controller = DataController();
    for (;;) {
        const bool byText = !IsInternal() && controller && Index() < controller->GetItemCount() &&
                            controller->GetItemValueSource(Index()) == evsText;
        const bool textStored = IsFieldFormatted(field, byText);
        TcxValueTypeClass valueType = GetValueTypeClassByField(field);
        const bool typeChanged = valueType != ValueTypeClass();
        if (!typeChanged && textStored == TextStored()) return;
        BeginRecreateData();
        SetTextStored(textStored);
        SetValueTypeClass(valueType);
        EndRecreateData();
        if (typeChanged && controller) NotifyValueTypeChanged(*controller);
    }
}

void TcxDBDataField::NotifyValueTypeChanged(TcxCustomDataController& controller)
{
    if (!IsInternal()) controller.DoValueTypeClassChanged(Index());
    for (int i = 0; i < controller.Fields().Count(); ++i) {
        TcxCustomDataField* other = controller.Fields().Items(i);
        if (other != this && other->ReferenceField() == this && !other->IsInternal())
            controller.DoValueTypeClassChanged(other->Index());
    }
}

// ---- filter criteria -----------------------------------------------------------

hostlib::TClass TcxDBDataFilterCriteriaItem::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataFilterCriteriaItem, TcxDataFilterCriteriaItem>("TcxDBDataFilterCriteriaItem");
}

TcxFilterOperatorClass TcxDBDataFilterCriteriaItem::GetFilterOperatorClass()
{
    TcxFilterOperatorClass result = TcxDataFilterCriteriaItem::GetFilterOperatorClass();
    auto* controller = hostlib::As<TcxDBDataController>(GetDataController());
    hostlib::TDataSet* dataSet = controller ? controller->DataSet() : nullptr;
    if (TcxDBFilterOperatorAdapter* adapter = cxGetFilterOperatorAdapter(dataSet))
        adapter->PrepareOperatorClass(this, dataSet, result);
    return result;
}

hostlib::TClass TcxDBDataFilterCriteria::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataFilterCriteria, TcxDataFilterCriteria>("TcxDBDataFilterCriteria");
}

TcxDBDataController* TcxDBDataFilterCriteria::DBController() const
{
    return hostlib::As<TcxDBDataController>(DataController());
}

void TcxDBDataFilterCriteria::Assign(hostlib::TPersistent* source)
{
    auto* other = hostlib::As<TcxDBDataFilterCriteria>(source);
    if (!other) {
        TcxDataFilterCriteria::Assign(source);
        return;
    }
    hostlib::UpdateScope scope(*this);
    TcxDataFilterCriteria::Assign(source);
    SetAutoDataSetFilter(other->autoDataSetFilter_);
    SetIgnoreOrigin(other->ignoreOrigin_);
}

void TcxDBDataFilterCriteria::AssignEvents(hostlib::TPersistent* source)
{
    TcxDataFilterCriteria::AssignEvents(source);
    if (auto* other = hostlib::As<TcxDBDataFilterCriteria>(source)) {
        OnBeforeChange = other->OnBeforeChange;
        OnFormatFilterTextValue = other->OnFormatFilterTextValue;
    }
}

void TcxDBDataFilterCriteria::RestoreDefaults()
{
    hostlib::UpdateScope scope(*this);
    TcxDataFilterCriteria::RestoreDefaults();
    SetAutoDataSetFilter(false);
    SetIgnoreOrigin(true);
}

void TcxDBDataFilterCriteria::SetAutoDataSetFilter(bool value)
{
    if (autoDataSetFilter_ == value) return;
    autoDataSetFilter_ = value;
    Changed();
}

void TcxDBDataFilterCriteria::SetIgnoreOrigin(bool value)
{
    if (ignoreOrigin_ == value) return;
    ignoreOrigin_ = value;
    Changed();
}

bool TcxDBDataFilterCriteria::IsAutoDataSetFilter() const
{
    TcxDBDataController* controller = DBController();
    return autoDataSetFilter_ && !(controller && controller->IsSmartRefresh());
}

bool TcxDBDataFilterCriteria::IsFiltering() const
{
    if (OnBeforeChange.Assigned() || IsAutoDataSetFilter()) return false;
    return TcxDataFilterCriteria::IsFiltering();
}

void TcxDBDataFilterCriteria::FormatFilterTextValue(TcxFilterCriteriaItem* item, const Variant& value,
                                                   std::string& displayValue)
{
    (void)item;
    if (OnFormatFilterTextValue.Assigned()) OnFormatFilterTextValue(this, value, displayValue);
}

// A pending edit must not survive a change of the rows it stands among.
void TcxDBDataFilterCriteria::PostPendingChange()
{
    TcxDBDataController* controller = DBController();
    hostlib::TDataSet* dataSet = controller ? controller->DataSet() : nullptr;
    if (!dataSet) return;
    const hostlib::TDataSetState state = dataSet->State();
    if (state != hostlib::dsEdit && state != hostlib::dsInsert && state != hostlib::dsSetKey) return;
    try {
        controller->CheckBrowseMode();
    } catch (...) {
        SetActive(false);
        throw;
    }
}

void TcxDBDataFilterCriteria::ApplyToDataSet(hostlib::TDataSet* dataSet)
{
    const std::string text = GetFilterText();
    hostlib::TFilterOptions options;
    if (Options().Contains(fcoCaseInsensitive)) options.Include(hostlib::foCaseInsensitive);
    const bool filtered = Active() && !text.empty();
    if (dataSet->Filter() == text && dataSet->FilterOptions() == options && dataSet->Filtered() == filtered) return;
    dataSet->DisableControls();
    quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
    dataSet->SetFilter(text);
    dataSet->SetFilterOptions(options);
    dataSet->SetFiltered(filtered);
}

void TcxDBDataFilterCriteria::Update()
{
    TcxDBDataController* controller = DBController();
    hostlib::TDataSet* dataSet = controller ? controller->DataSet() : nullptr;
    const bool destroying = IsDestroying();
    if (!destroying) {
        PostPendingChange();
        if (OnBeforeChange.Assigned() && !IsLoading()) OnBeforeChange(this, dataSet, GetFilterText());
        if (IsAutoDataSetFilter() && dataSet) ApplyToDataSet(dataSet);
    }
    TcxDataFilterCriteria::Update();
    if (!destroying && controller && controller->DBProvider().IsSyncMode()) controller->CheckFocusedRow();
}

// ---- summary items ---------------------------------------------------------------

hostlib::TClass TcxDBDataSummaryItem::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataSummaryItem, TcxDataSummaryItem>("TcxDBDataSummaryItem");
}

void TcxDBDataSummaryItem::Destroy()
{
    TcxCustomDataController* controller = GetDataController();
    // A controller being torn down frees its fields itself.
    if (dataField_ && controller && !controller->IsDestroying()) dataField_->Free();
    dataField_ = nullptr;
    TcxDataSummaryItem::Destroy();
}

TcxCustomDataField* TcxDBDataSummaryItem::DataField() const
{
    return dataField_ ? dataField_ : TcxDataSummaryItem::DataField();
}

void TcxDBDataSummaryItem::SetFieldName(const std::string& value)
{
    if (fieldName_ == value) return;
    fieldName_ = value;
    auto* controller = hostlib::As<TcxDBDataController>(GetDataController());
    if (!controller) return;
    controller->UpdateInternalKeyFields(value, dataField_);
}

void TcxDBDataSummaryItem::Assign(hostlib::TPersistent* source)
{
    auto* other = hostlib::As<TcxDBDataSummaryItem>(source);
    if (!other) {
        TcxDataSummaryItem::Assign(source);
        return;
    }
    TcxDataSummaryItem::Assign(source);
    SetFieldName(other->fieldName_);
}

// ---- TcxDBDataSelection ----------------------------------------------------------

hostlib::TClass TcxDBDataSelection::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataSelection, TcxDataSelection>("TcxDBDataSelection");
}

TcxDBDataController* TcxDBDataSelection::DBController() const
{
    return hostlib::As<TcxDBDataController>(DataController());
}

bool TcxDBDataSelection::IsActiveGridMode() const
{
    TcxDBDataController* controller = DBController();
    return controller && controller->IsGridMode() && controller->DataSet();
}

void TcxDBDataSelection::InternalAdd(int position, int rowIndex, int level, int recordIndex)
{
    TcxDataSelection::InternalAdd(position, rowIndex, level, recordIndex);
    if (!IsActiveGridMode() || inSelectAll_) return;
    const hostlib::TBookmark bookmark = GetRowBookmark(rowIndex);
    if (position < 0 || position > BookmarkCount())
        bookmarks_.push_back(bookmark);
    else
        bookmarks_.insert(bookmarks_.begin() + position, bookmark);
}

void TcxDBDataSelection::InternalDelete(int index)
{
    TcxDataSelection::InternalDelete(index);
    if (!IsActiveGridMode() || inSelectAll_ || index < 0 || index >= BookmarkCount()) return;
    if (bookmarks_[static_cast<std::size_t>(index)] == anchorBookmark_) anchorBookmark_.clear();
    bookmarks_.erase(bookmarks_.begin() + index);
}

void TcxDBDataSelection::InternalClear()
{
    TcxDataSelection::InternalClear();
    bookmarks_.clear();
}

void TcxDBDataSelection::ClearAnchor()
{
    TcxDataSelection::ClearAnchor();
    anchorBookmark_.clear();
}

bool TcxDBDataSelection::FindByRowIndex(int rowIndex, int& index) const
{
    if (!IsActiveGridMode()) return TcxDataSelection::FindByRowIndex(rowIndex, index);
    return FindBookmark(GetRowBookmark(rowIndex), index);
}

bool TcxDBDataSelection::FindBookmark(const hostlib::TBookmark& bookmark, int& index) const
{
    int low = 0;
    int high = BookmarkCount() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int compare = CompareBookmarks(bookmarks_[static_cast<std::size_t>(middle)], bookmark);
        if (compare == 0) {
            index = middle;
            return true;
        }
        if (compare < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    index = low;
    return false;
}

hostlib::TBookmark TcxDBDataSelection::GetRowBookmark(int rowIndex) const
{
    TcxDBDataController* controller = DBController();
    hostlib::TDataSet* dataSet = controller ? controller->DataSet() : nullptr;
    if (!dataSet) return {};
    TcxDBDataLink& link = controller->DBProvider().DataLink();
    const int old = link.ActiveRecord();
    link.SetActiveRecord(rowIndex);
    quelvo::sys::ScopeGuard back([&link, old] { link.SetActiveRecord(old); });
    return dataSet->GetBookmark();
}

int TcxDBDataSelection::CompareBookmarks(const hostlib::TBookmark& a, const hostlib::TBookmark& b) const
{
    return DBController()->DBProvider().CompareBookmarks(a, b);
}

void TcxDBDataSelection::SyncCount()
{
    inSelectAll_ = true;
    quelvo::sys::ScopeGuard reset([this] { inSelectAll_ = false; });
    SetInternalCount(BookmarkCount());
}

bool TcxDBDataSelection::RefreshBookmarks()
{
    if (!IsActiveGridMode()) return false;
    TcxDBDataProvider& provider = DBController()->DBProvider();
    bool deleted = false;
    for (int i = BookmarkCount() - 1; i >= 0; --i) {
        const hostlib::TBookmark& bookmark = bookmarks_[static_cast<std::size_t>(i)];
        if (!bookmark.empty() && provider.BookmarkValid(bookmark)) continue;
        InternalDelete(i);
        deleted = true;
    }
    return deleted;
}

void TcxDBDataSelection::Notify()
{
    Changed();
    DataController()->Change({dccSelection});
}

void TcxDBDataSelection::SelectAll()
{
    if (!IsActiveGridMode()) return;
    TcxDBDataProvider& provider = DBController()->DBProvider();
    hostlib::TDataSet* dataSet = provider.DataSet();
    {
        provider.Freeze();
        provider.SavePos();
        quelvo::sys::ScopeGuard restore([&provider] {
            provider.RestorePos();
            provider.Unfreeze();
        });
        dataSet->First();
        InternalClear();
        try {
            for (; !dataSet->Eof(); dataSet->Next()) bookmarks_.push_back(dataSet->GetBookmark());
        } catch (...) {
            bookmarks_.clear();
            SyncCount();
            throw;
        }
        SyncCount();
    }
    Notify();
}

bool TcxDBDataSelection::IsNeighbour(const hostlib::TBookmark& bookmark, const hostlib::TBookmark& of, int direction) const
{
    hostlib::TDataSet* dataSet = DBController()->DataSet();
    dataSet->GotoBookmark(of);
    return dataSet->MoveBy(direction) != 0 && dataSet->GetBookmark() == bookmark;
}

// Extending or shrinking a range by its end row needs no walk.
bool TcxDBDataSelection::SelectByShortcut(const hostlib::TBookmark& anchor, const hostlib::TBookmark& start,
                                          const hostlib::TBookmark& end)
{
    const int count = BookmarkCount();
    const auto equal = [this](const hostlib::TBookmark& a, const hostlib::TBookmark& b) { return CompareBookmarks(a, b) == 0; };
    if (equal(start, end)) {
        bookmarks_.assign(1, start);
        return true;
    }
    const hostlib::TBookmark first = bookmarks_.front();
    const hostlib::TBookmark last = bookmarks_.back();
    if (equal(anchor, start)) {
        if (count > 1 && equal(bookmarks_[static_cast<std::size_t>(count - 2)], end)) {
            if (!equal(first, start)) return false;
            bookmarks_.pop_back();
            return true;
        }
        if (!equal(first, start) || !IsNeighbour(last, end, -1)) return false;
        bookmarks_.push_back(end);
        return true;
    }
    if (count > 1 && equal(bookmarks_[1], start)) {
        if (!equal(last, end)) return false;
        bookmarks_.erase(bookmarks_.begin());
        return true;
    }
    if (!equal(last, end) || !IsNeighbour(first, start, 1)) return false;
    bookmarks_.insert(bookmarks_.begin(), start);
    return true;
}

void TcxDBDataSelection::MergeBookmark(const hostlib::TBookmark& bookmark, int& from)
{
    while (from < BookmarkCount() && CompareBookmarks(bookmarks_[static_cast<std::size_t>(from)], bookmark) < 0) ++from;
    if (from < BookmarkCount() && CompareBookmarks(bookmarks_[static_cast<std::size_t>(from)], bookmark) == 0) {
        ++from;
        return;
    }
    bookmarks_.insert(bookmarks_.begin() + from, bookmark);
    ++from;
}

void TcxDBDataSelection::WalkRange(const hostlib::TBookmark& start, const hostlib::TBookmark& end)
{
    hostlib::TDataSet* dataSet = DBController()->DataSet();
    int from = 0;
    if (!bookmarks_.empty()) FindBookmark(start, from);
    dataSet->GotoBookmark(start);
    for (; !dataSet->Eof(); dataSet->Next()) {
        const hostlib::TBookmark bookmark = dataSet->GetBookmark();
        MergeBookmark(bookmark, from);
        if (CompareBookmarks(bookmark, end) >= 0) break;
    }
}

void TcxDBDataSelection::SelectFromAnchor(const hostlib::TBookmark& bookmark, bool keepSelection)
{
    if (!IsActiveGridMode()) return;
    TcxDBDataProvider& provider = DBController()->DBProvider();
    hostlib::TDataSet* dataSet = provider.DataSet();
    if (dataSet->State() == hostlib::dsInsert && dataSet->Eof()) return;
    {
        provider.Freeze();
        provider.SavePos();
        quelvo::sys::ScopeGuard restore([&provider] {
            provider.RestorePos();
            provider.Unfreeze();
        });
        hostlib::TBookmark start = anchorBookmark_;
        hostlib::TBookmark end = bookmark;
        if (CompareBookmarks(start, end) > 0) std::swap(start, end);
        const bool settled = !keepSelection && !bookmarks_.empty() && SelectByShortcut(anchorBookmark_, start, end);
        if (!settled) {
            if (!keepSelection) InternalClear();
            try {
                WalkRange(start, end);
            } catch (...) {
                bookmarks_.clear();
                SyncCount();
                throw;
            }
        }
        SyncCount();
    }
    Notify();
}

// ---- TcxDBDataRelation -----------------------------------------------------------

hostlib::TClass TcxDBDataRelation::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataRelation, TcxCustomDataRelation>("TcxDBDataRelation");
}

void TcxDBDataRelation::Destroy()
{
    RemoveMasterKeyField();
    TcxCustomDataRelation::Destroy();
}

TcxDBDataController* TcxDBDataRelation::DetailDBController() const
{
    TcxCustomDataController* master = GetDataController();
    if (!master) return nullptr;
    TcxCustomDataController* pattern = master->GetPatternDataController();
    const int index = GetIndex();
    if (!pattern || index < 0 || index >= pattern->Relations().GetCount()) return nullptr;
    return hostlib::As<TcxDBDataController>(pattern->Relations().GetItem(index)->DetailDataController());
}

std::string TcxDBDataRelation::GetMasterKeyFieldNames() const
{
    TcxDBDataController* detail = DetailDBController();
    return detail ? detail->MasterKeyFieldNames() : std::string();
}

std::string TcxDBDataRelation::GetDetailKeyFieldNames() const
{
    TcxDBDataController* detail = DetailDBController();
    return detail ? detail->DetailKeyFieldNames() : std::string();
}

bool TcxDBDataRelation::IsLinked() const
{
    return masterKeyField_ && !GetDetailKeyFieldNames().empty();
}

void TcxDBDataRelation::GetMasterKeyFields(std::vector<TcxCustomDataField*>& list) const
{
    if (!masterKeyField_) return;
    if (masterKeyField_->FieldCount() == 0) {
        list.push_back(masterKeyField_);
        return;
    }
    for (int i = 0; i < masterKeyField_->FieldCount(); ++i) list.push_back(masterKeyField_->Fields(i));
}

Variant TcxDBDataRelation::GetMasterRecordID(int recordIndex) const
{
    TcxCustomDataController* master = GetDataController();
    if (recordIndex < 0 || recordIndex >= master->GetRecordCount())
        TcxCustomDataController::InvalidOperation(cxSDataRecordIndexError);
    if (!IsLinked()) return Variant();
    std::vector<TcxCustomDataField*> fields;
    GetMasterKeyFields(fields);
    return master->GetInternalRecordId(recordIndex, fields);
}

void TcxDBDataRelation::RemoveDataField(TcxCustomDataField* field)
{
    TcxCustomDataRelation::RemoveDataField(field);
    if (field == masterKeyField_) masterKeyField_ = nullptr;
}

void TcxDBDataRelation::RemoveMasterKeyField()
{
    TcxDBDataField* field = masterKeyField_;
    masterKeyField_ = nullptr;
    TcxCustomDataController* master = GetDataController();
    if (field && master && !master->IsDestroying()) field->Free();
}

void TcxDBDataRelation::UpdateMasterDetailKeyFieldNames()
{
    TcxCustomDataController* master = GetDataController();
    if (master && master->GetDetailMode() != dcdmClone) Changed();
}

// ---- TcxDBDataController -------------------------------------------------------

hostlib::TClass TcxDBDataController::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataController, TcxCustomDataController>("TcxDBDataController");
}

void TcxDBDataController::Construct(hostlib::TComponent* owner)
{
    TcxCustomDataController::Construct(owner);
    modeController_.reset(hostlib::CreateObject<TcxDBDataModeController>(this));
}

void TcxDBDataController::Destroy()
{
    destroying_ = true;
    DBProvider().SetDataSource(nullptr);
    TcxCustomDataController::Destroy();
    modeController_.reset();
    keyField_ = nullptr; // freed with the field list
}

TcxDBDataProvider& TcxDBDataController::DBProvider() const
{
    return static_cast<TcxDBDataProvider&>(Provider());
}

hostlib::TDataSource* TcxDBDataController::DataSource() const
{
    return DBProvider().DataSource();
}

void TcxDBDataController::SetDataSource(hostlib::TDataSource* value)
{
    if (DataSource() == value) return;
    DBProvider().SetDataSource(value);
    DoDataSourceChanged();
}

hostlib::TDataSet* TcxDBDataController::DataSet() const
{
    return DBProvider().DataSet();
}

int TcxDBDataController::DataSetRecordCount() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->Active() ? dataSet->RecordCount() : 0;
}

int TcxDBDataController::RecNo() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->Active() ? dataSet->RecNo() : -1;
}

void TcxDBDataController::SetRecNo(int value)
{
    if (hostlib::TDataSet* dataSet = DataSet()) dataSet->SetRecNo(value);
}

TcxDBDataField* TcxDBDataController::DBFields(int index) const
{
    return hostlib::As<TcxDBDataField>(Fields().Items(index));
}

TcxDBDataField* TcxDBDataController::DBFieldByItem(const hostlib::TObject* item) const
{
    return hostlib::As<TcxDBDataField>(Fields().FieldByItem(item));
}

bool TcxDBDataController::IsDataField(const TcxCustomDataField* field) const
{
    auto* dbField = hostlib::As<TcxDBDataField>(const_cast<TcxCustomDataField*>(field));
    return TcxCustomDataController::IsDataField(field) || (dbField && dbField->Field());
}

void TcxDBDataController::ChangeFieldName(int itemIndex, const std::string& fieldName)
{
    TcxDBDataField* field = DBFields(itemIndex);
    if (field && field->FieldName() != fieldName) UpdateField(field, fieldName, false);
}

hostlib::TField* TcxDBDataController::GetItemField(int itemIndex) const
{
    TcxDBDataField* field = DBFields(itemIndex);
    return field ? field->Field() : nullptr;
}

std::string TcxDBDataController::GetItemFieldName(int itemIndex) const
{
    TcxDBDataField* field = DBFields(itemIndex);
    return field ? field->FieldName() : std::string();
}

hostlib::TObject* TcxDBDataController::GetItemByFieldName(const std::string& fieldName) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (IsEqualFieldNames(GetItemFieldName(i), fieldName)) return GetItem(i);
    return nullptr;
}

void TcxDBDataController::ChangeValueTypeClass(int itemIndex, TcxValueTypeClass valueTypeClass)
{
    // A bound item's type follows its data-set field.
    if (GetItemField(itemIndex)) return;
    TcxCustomDataController::ChangeValueTypeClass(itemIndex, valueTypeClass);
}

// ---- fields bound by name ------------------------------------------------------

TcxDBDataField* TcxDBDataController::AddInternalDBField()
{
    return static_cast<TcxDBDataField*>(AddInternalField());
}

TcxDBDataField* TcxDBDataController::FindFieldByName(const std::string& name, const TcxDBDataField* except) const
{
    if (name.empty()) return nullptr;
    for (int i = 0; i < Fields().Count(); ++i) {
        TcxDBDataField* field = DBFields(i);
        if (field && field != except && IsEqualFieldNames(field->FieldName(), name)) return field;
    }
    return nullptr;
}

void TcxDBDataController::ReassignReferringFields(TcxDBDataField* field)
{
    TcxCustomDataField* first = nullptr;
    for (int i = 0; i < Fields().Count(); ++i) {
        TcxCustomDataField* other = Fields().Items(i);
        if (other == field || other->ReferenceField() != field) continue;
        if (!first) {
            first = other;
            first->Reassign(field);
        } else {
            other->SetReferenceField(first);
        }
    }
}

void TcxDBDataController::UpdateField(TcxDBDataField* field, const std::string& fieldNames, bool asList)
{
    field->ClearFields();
    if (!asList && field->FieldName() != fieldNames) {
        ReassignReferringFields(field);
        field->SetFieldName(fieldNames);
    }
    if (!asList && !IsMultipleFieldNames(fieldNames)) {
        ShareFieldByName(field);
        return;
    }
    if (!asList) field->SetReferenceField(nullptr);
    std::vector<std::string> names;
    GetFieldNames(fieldNames, names);
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    for (const std::string& name : names) {
        TcxDBDataField* sub = AddInternalDBField();
        field->AddField(sub);
        UpdateField(sub, name, false);
    }
}

// Two fields of one name share the first one's data-set field and values.
void TcxDBDataController::ShareFieldByName(TcxDBDataField* field)
{
    TcxDBDataField* other = FindFieldByName(field->FieldName(), field);
    if (other && other->ReferenceField() == field) other = nullptr;
    const TcxValueTypeClass oldType = field->ValueTypeClass();
    field->SetReferenceField(other);
    if (other && oldType != field->ValueTypeClass() && !field->IsInternal()) DoValueTypeClassChanged(field->Index());
    if (other)
        Change({dccData});
    else
        LayoutChanged({lcStructure});
}

void TcxDBDataController::UpdateInternalKeyFields(const std::string& fieldNames, TcxDBDataField*& field)
{
    if (!fieldNames.empty()) {
        if (!field) field = AddInternalDBField();
        UpdateField(field, fieldNames, false);
        return;
    }
    if (field) {
        TcxDBDataField* gone = field;
        field = nullptr;
        gone->Free();
    }
    Change({dccData});
}

void TcxDBDataController::SetKeyFieldNames(const std::string& value)
{
    if (keyFieldNames_ == value) return;
    keyFieldNames_ = value;
    UpdateInternalKeyFields(value, keyField_);
}

void TcxDBDataController::PrepareField(TcxCustomDataField* field)
{
    TcxCustomDataController::PrepareField(field);
    if (auto* dbField = hostlib::As<TcxDBDataField>(field)) RetrieveField(dbField, false);
}

void TcxDBDataController::RetrieveField(TcxDBDataField* field, bool lookupOnly)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (field->ReferenceField() || !dataSet) return;
    if (lookupOnly && !(field->ParentField() && field->ParentField()->IsLookup())) return;
    if (resetDBFields_) {
        field->SetField(nullptr);
        return;
    }
    // FindField finds aggregate fields too.
    hostlib::TField* dataSetField = field->FieldName().empty() ? nullptr : dataSet->FindField(field->FieldName());
    const bool same = dataSetField && dataSetField == field->Field();
    field->SetField(dataSetField);
    if (!dataSetField || (same && IsOtherDetailCreating())) return;
    field->SetPropertiesByField(dataSetField);
    if (dataSetField->Lookup() && field->FieldCount() == 0) UpdateField(field, dataSetField->KeyFields(), true);
}

void TcxDBDataController::ForEachDBField(const std::function<void(TcxDBDataField*)>& proc)
{
    // A field may free sub-fields: only fields still listed are visited.
    std::vector<TcxDBDataField*> fields;
    for (int i = 0; i < Fields().Count(); ++i)
        if (TcxDBDataField* field = DBFields(i)) fields.push_back(field);
    for (TcxDBDataField* field : fields)
        if (Fields().IndexOf(field) >= 0) proc(field);
}

void TcxDBDataController::UpdateFields()
{
    TcxCustomDataController::UpdateFields();
    ForEachDBField([this](TcxDBDataField* field) { RetrieveField(field, true); });
}

void TcxDBDataController::ResetDBFields()
{
    resetDBFields_ = true;
    quelvo::sys::ScopeGuard reset([this] { resetDBFields_ = false; });
    UpdateFields();
}

void TcxDBDataController::UnbindDBFields()
{
    ForEachDBField([](TcxDBDataField* field) { field->SetField(nullptr); });
}

// ---- keys ----------------------------------------------------------------------

bool TcxDBDataController::IsKeyNavigation() const
{
    return keyField_ != nullptr && !IsGridMode();
}

bool TcxDBDataController::IsSmartRefresh() const
{
    return IsKeyNavigation() && DataModeController().SmartRefresh();
}

void TcxDBDataController::GetKeyFields(std::vector<TcxCustomDataField*>& list) const
{
    if (!keyField_) return;
    if (keyField_->FieldCount() == 0) {
        list.push_back(keyField_);
        return;
    }
    for (int i = 0; i < keyField_->FieldCount(); ++i) list.push_back(keyField_->Fields(i));
}

std::vector<hostlib::TField*> TcxDBDataController::GetKeyDBFields() const
{
    std::vector<TcxCustomDataField*> keyFields;
    GetKeyFields(keyFields);
    std::vector<hostlib::TField*> result;
    for (TcxCustomDataField* field : keyFields) {
        hostlib::TField* dataSetField = static_cast<TcxDBDataField*>(field)->Field();
        if (!dataSetField) InvalidOperation(cxSDBKeyFieldNotFound);
        result.push_back(dataSetField);
    }
    return result;
}

Variant TcxDBDataController::GetKeyFieldsValues() const
{
    return GetDataSetValues(DataSet(), GetKeyDBFields());
}

Variant TcxDBDataController::GetRecordId(int recordIndex) const
{
    std::vector<TcxCustomDataField*> keyFields;
    GetKeyFields(keyFields);
    return GetInternalRecordId(recordIndex, keyFields);
}

int TcxDBDataController::FindRecordIndexByKey(const Variant& keyValue) const
{
    std::vector<TcxCustomDataField*> keyFields;
    GetKeyFields(keyFields);
    if (keyFields.empty() || (keyFields.size() > 1 && !keyValue.IsArray())) return -1;
    for (int record = 0; record < GetRecordCount(); ++record)
        if (VarEquals(GetInternalRecordId(record, keyFields), keyValue)) return record;
    return -1;
}

bool TcxDBDataController::LocateByKey(const Variant& keyValue)
{
    int record = FindRecordIndexByKey(keyValue);
    hostlib::TDataSet* dataSet = DataSet();
    if (record == -1 && IsGridMode() && dataSet) {
        BeginLocate();
        quelvo::sys::ScopeGuard end([this] { EndLocate(); });
        if (dataSet->Locate(keyFieldNames_, keyValue)) {
            record = DBProvider().CurrentRecordIndex();
            SyncSelectionFocusedRecord();
        }
    }
    ChangeFocusedRecordIndex(record);
    return record != -1 && GetFocusedRowIndex() != -1;
}

int TcxDBDataController::LocateRecordIndex(const TcxDBDataLocateFillProc& fill)
{
    hostlib::ObjectPtr<TcxDataControllerKeyLocateObject> locate(hostlib::CreateObject<TcxDataControllerKeyLocateObject>());
    locate->Construct(this);
    fill(*locate);
    hostlib::ObjectPtr<TcxValueDefDBReader> reader(hostlib::CreateObject<TcxValueDefDBReader>());
    locate->ReadData(*reader);
    return locate->FindRecordIndex();
}

void TcxDBDataController::BeginLocate()
{
    DBProvider().BeginLocate();
}

void TcxDBDataController::EndLocate()
{
    DBProvider().EndLocate();
}

// ---- focus and the cursor ------------------------------------------------------

bool TcxDBDataController::CanFocusRecord(int recordIndex)
{
    TcxDBDataProvider& provider = DBProvider();
    if (provider.IsInserting() && recordIndex == provider.EditingRecordIndex()) return true;
    // No record focused is the new-item row: the cursor stays.
    if (recordIndex < 0 && UseNewItemRowForEditing()) return true;
    if (!provider.IsInserting() && recordIndex < -1) Post();
    bool result = true;
    {
        provider.BeginLocate();
        quelvo::sys::ScopeGuard end([&provider] { provider.EndLocate(); });
        result = LocateFocusedRecord(recordIndex);
    }
    SyncMasterPos();
    return result;
}

bool TcxDBDataController::LocateFocusedRecord(int recordIndex)
{
    TcxDBDataProvider& provider = DBProvider();
    if (provider.IsDetailInSyncMode()) {
        // Losing the data set to another detail moves nothing.
        if (inResetDataSetCurrent_) return TcxCustomDataController::CanFocusRecord(recordIndex);
        CheckCurrentQuery();
    }
    return provider.IsSyncMode() ? TryFocusRecord(recordIndex) : TcxCustomDataController::CanFocusRecord(recordIndex);
}

void TcxDBDataController::SetFocus()
{
    if (DBProvider().IsDetailInSyncMode()) CheckCurrentQuery();
}

// In SQL mode the shared query may hold another detail's rows: it is
// reopened for this one's keys.
void TcxDBDataController::CheckCurrentQuery()
{
    if (!DataModeController().DetailInSQLMode() || !DataSet()) return;
    if (DataModeController().DetailIsCurrentQuery(GetMasterDetailKeyFieldNames(), masterDetailKeyValues_)) {
        DBProvider().SetIsDataSetCurrent(true);
        return;
    }
    TcxDBDataProvider& provider = DBProvider();
    provider.Freeze();
    inCheckCurrentQuery_ = true;
    quelvo::sys::ScopeGuard unfreeze([this, &provider] {
        inCheckCurrentQuery_ = false;
        provider.Unfreeze();
    });
    provider.First();
    provider.SavePos();
    provider.RestorePos();
    provider.SetCurrentRecordIndex(0);
}

void TcxDBDataController::ResetDataSetCurrent(TcxDBDataController* controller)
{
    controller->inResetDataSetCurrent_ = true;
    quelvo::sys::ScopeGuard reset([controller] { controller->inResetDataSetCurrent_ = false; });
    controller->DBProvider().ClearDataSetCurrent();
    controller->ChangeFocusedRecordIndex(-1);
}

bool TcxDBDataController::IsOtherDetailCreating() const
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet) return false;
    for (TcxDBDataProvider* provider : TcxDBDataProvider::ProvidersOf(dataSet)) {
        TcxDBDataController* controller = provider->DBDataController();
        TcxCustomDataController* master = controller ? controller->GetMasterDataController() : nullptr;
        if (controller && (controller->inCheckCurrentQuery_ || (master && master->IsCreatingLinkObject()))) return true;
    }
    return false;
}

bool TcxDBDataController::TryFocusRecord(int recordIndex)
{
    if (recordIndex < 0) return false;
    TcxDBDataProvider& provider = DBProvider();
    if (!IsKeyNavigation()) {
        DataSet()->MoveBy(recordIndex - provider.CurrentRecordIndex());
        return true;
    }
    const Variant key = GetRecordId(recordIndex);
    if (recordIndex == provider.CurrentRecordIndex() && VarEquals(key, GetKeyFieldsValues())) return true;
    return DataSet()->Locate(keyFieldNames_, key);
}

void TcxDBDataController::UpdateFocused()
{
    {
        BeginUpdate();
        quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
        TcxCustomDataController::UpdateFocused();
    }
    if (DBProvider().IsSyncMode()) SyncDataSetPos();
}

void TcxDBDataController::SyncDataSetPos()
{
    TcxDBDataProvider& dbProvider = DBProvider();
    // A controller going away moves nothing.
    if (destroying_ || IsDestroying()) return;
    if (IsPattern()) {
        if (!dbProvider.ActiveChanging() && !dbProvider.IsDataSetBusy()) SyncMasterDetailDataSetPos();
        return;
    }
    if (!IsKeyNavigation()) return;
    std::vector<TcxCustomDataField*> keyFields;
    GetKeyFields(keyFields);
    const int record = LocateRecordIndex([&keyFields](TcxDataControllerKeyLocateObject& locate) {
        for (TcxCustomDataField* field : keyFields) locate.AddField(field);
    });
    TcxDBDataProvider& provider = DBProvider();
    if (record == provider.CurrentRecordIndex()) return;
    provider.SetCurrentRecordIndex(record);
    TcxCustomDataController::UpdateFocused();
}

void TcxDBDataController::SyncMasterDetailDataSetPos()
{
    if (updateDataSetPos_ || inCheckBrowseMode_) return;
    SyncMasterDetail();
}

bool TcxDBDataController::IsMasterChainReady() const
{
    for (const TcxDBDataController* c = this; c;) {
        hostlib::TDataSet* dataSet = c->DataSet();
        const bool editing = c->DBProvider().IsEditing() || c->inCheckBrowseMode_ ||
                             (dataSet && (dataSet->State() == hostlib::dsEdit || dataSet->State() == hostlib::dsInsert));
        // One that is destroyed or reloading would lose the detail it expands.
        if (c->destroying_ || c->IsDestroying() || c->GetLockCount() > 0) return false;
        if (!c->DBProvider().IsSyncMode() || !c->IsKeyNavigation() || editing) return false;
        TcxDBDataRelation* relation = c->DBMasterRelation();
        c = relation ? hostlib::As<TcxDBDataController>(relation->GetDataController()) : nullptr;
    }
    return true;
}

// True when the master's data set stands on the record whose key the
// detail data set's cursor holds.
bool TcxDBDataController::LocateMasterRecord(TcxDBDataController& master, const TcxDBDataRelation& relation)
{
    hostlib::TDataSet* masterSet = master.DataSet();
    const std::string masterNames = relation.GetMasterKeyFieldNames();
    const Variant detailValues = GetDataSetValues(DataSet(), DataSet()->GetFieldList(relation.GetDetailKeyFieldNames()));
    const Variant masterValues = GetDataSetValues(masterSet, masterSet->GetFieldList(masterNames));
    if (VarEquals(detailValues, masterValues)) return !master.InFocusDetails();
    TcxDBDataProvider& provider = master.DBProvider();
    provider.BeginLocate();
    quelvo::sys::ScopeGuard end([&provider] { provider.EndLocate(); });
    return masterSet->Locate(masterNames, detailValues);
}

TcxCustomDataController* TcxDBDataController::SyncMasterDetail()
{
    TcxCustomDataRelation* relation = GetMasterRelation();
    if (!relation || GetMasterDetailKeyFieldNames().empty()) return this;
    auto* dbRelation = hostlib::As<TcxDBDataRelation>(relation);
    if (!dbRelation) return nullptr;
    auto* master = hostlib::As<TcxDBDataController>(relation->GetDataController());
    if (!master || !DBProvider().IsSyncMode() || !master->IsMasterChainReady() || master->IsCreatingLinkObject())
        return nullptr;
    {
        master->updateDataSetPos_ = true;
        quelvo::sys::ScopeGuard reset([master] { master->updateDataSetPos_ = false; });
        if (!LocateMasterRecord(*master, *dbRelation)) return nullptr;
    }
    TcxCustomDataController* synced = master->SyncMasterDetail();
    if (!synced) return nullptr;
    const int record = synced->GetFocusedRecordIndex();
    if (synced->GetFocusedRowIndex() == -1 || record < 0) return nullptr;
    const int relationIndex = relation->GetIndex();
    synced->ChangeDetailExpanding(record, true);
    if (!synced->GetDetailExpanding(record)) return nullptr;
    synced->ChangeDetailActiveRelationIndex(record, relationIndex);
    return synced->GetDetailDataController(record, relationIndex);
}

// ---- records read again ---------------------------------------------------------

void TcxDBDataController::DoUpdateRecord(int recordIndex)
{
    if (recordIndex < 0 || recordIndex >= GetRecordCount()) return;
    hostlib::ObjectPtr<TcxValueDefDBReader> reader(hostlib::CreateObject<TcxValueDefDBReader>());
    DataStorage().ReadRecord(recordIndex, *reader, true);
    DoReadRecord(recordIndex);
    if (!DBProvider().InCanInitEditing()) Change({dccUpdateRecord});
}

void TcxDBDataController::UpdateEditingRecord()
{
    TcxDBDataProvider& provider = DBProvider();
    const int editing = provider.EditingRecordIndex();
    if (editing == cxNullEditingRecordIndex) return;
    provider.SetUpdatingRecord(editing, provider.TcxCustomDataProvider::IsInserting());
    DoUpdateRecord(editing);
}

void TcxDBDataController::CorrectAfterDelete(int recordIndex)
{
    TcxCustomDataController::CorrectAfterDelete(recordIndex);
    DBProvider().ForgetRecord(recordIndex);
}

// ---- lookup fields as group and filter values ----------------------------------

Variant TcxDBDataController::LookupKeyValue(int recordIndex, TcxDBDataField* field) const
{
    if (field->FieldCount() == 0) return Variant::Null();
    if (field->FieldCount() == 1) return GetInternalValue(recordIndex, field->Fields(0));
    std::vector<Variant> values;
    for (int i = 0; i < field->FieldCount(); ++i) values.push_back(GetInternalValue(recordIndex, field->Fields(i)));
    return Variant::ArrayOf(values);
}

Variant TcxDBDataController::GetGroupValue(int recordIndex, TcxCustomDataField* field) const
{
    auto* dbField = hostlib::As<TcxDBDataField>(field);
    if (dbField && dbField->IsLookup() && dbField->FieldCount() > 0) return LookupKeyValue(recordIndex, dbField);
    return TcxCustomDataController::GetGroupValue(recordIndex, field);
}

Variant TcxDBDataController::GetFilterDataValue(int recordIndex, TcxCustomDataField* field) const
{
    auto* dbField = hostlib::As<TcxDBDataField>(field);
    if (dbField && dbField->IsLookup()) return LookupKeyValue(recordIndex, dbField);
    return TcxCustomDataController::GetFilterDataValue(recordIndex, field);
}

std::string TcxDBDataController::GetFilterItemFieldName(hostlib::TObject* item) const
{
    TcxDBDataField* field = DBFieldByItem(item);
    if (!field || !field->Field()) return std::string();
    const bool ignoreOrigin = FilterIgnoresOrigin();
    if (!field->IsLookup()) return GetFilterFieldName(field->Field(), ignoreOrigin);
    std::string names;
    for (int i = 0; i < field->FieldCount(); ++i) {
        if (i > 0) names += ';';
        names += GetFilterFieldName(field->Fields(i)->Field(), ignoreOrigin);
    }
    return names;
}

bool TcxDBDataController::FilterIgnoresOrigin() const
{
    auto* filter = hostlib::As<TcxDBDataFilterCriteria>(&Filter());
    return !filter || filter->IgnoreOrigin();
}

// ---- data set ------------------------------------------------------------------

void TcxDBDataController::RestructData()
{
    if (!IsGridMode()) DBProvider().DataLink().SetBufferCount(1);
    TcxCustomDataController::RestructData();
}

void TcxDBDataController::LoadStorage()
{
    // A closed data set shows no rows, whatever was copied from it; the rows
    // built over those records go with them before anyone is told.
    const bool closed = !DBProvider().IsActive() && !DBProvider().IsDataSource();
    if (closed) DataStorage().Clear(false);
    SaveKeys();
    {
        quelvo::sys::ScopeGuard restore([this] { RestoreKeys(); });
        if (closed && !destroying_ && !IsDestroying()) Refresh();
        TcxCustomDataController::LoadStorage();
    }
    DBProvider().ResetPostLocate();
}

void TcxDBDataController::ActiveChanged(bool active)
{
    TcxCustomDataController::ActiveChanged(active);
    if (!active) LoadStorage();
}

void TcxDBDataController::CheckBrowseMode()
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet || inCheckBrowseMode_) return;
    inCheckBrowseMode_ = true;
    quelvo::sys::ScopeGuard reset([this] { inCheckBrowseMode_ = false; });
    dataSet->CheckBrowseMode();
}

void TcxDBDataController::RefreshExternalData()
{
    if (hostlib::TDataSet* dataSet = DataSet()) dataSet->Refresh();
}

bool TcxDBDataController::ExecuteAction(hostlib::TComponent* action)
{
    return TcxCustomDataController::ExecuteAction(action) || DBProvider().DataLink().ExecuteAction(action);
}

bool TcxDBDataController::UpdateAction(hostlib::TComponent* action)
{
    return TcxCustomDataController::UpdateAction(action) || DBProvider().DataLink().UpdateAction(action);
}

void TcxDBDataController::UpdateGridModeBufferCount()
{
    if (!IsGridMode()) return;
    lockOnAfterSummary_ = true;
    quelvo::sys::ScopeGuard reset([this] { lockOnAfterSummary_ = false; });
    DBProvider().UpdateGridMode();
}

// A grid-mode detail whose shared data set stands on another master's rows
// has nothing to report.
bool TcxDBDataController::LockOnAfterSummary() const
{
    if (TcxCustomDataController::LockOnAfterSummary() || lockOnAfterSummary_) return true;
    TcxDBDataProvider& provider = DBProvider();
    hostlib::TDataSet* dataSet = DataSet();
    if (!IsGridMode() || IsPattern() || !provider.IsDetail() || !dataSet || !dataSet->Active()) return false;
    return !VarEquals(GetDataSetValues(dataSet, GetMasterDetailKeyFields()), masterDetailKeyValues_);
}

int TcxDBDataController::GetActiveRecordIndex() const
{
    if (!IsGridMode()) return TcxCustomDataController::GetActiveRecordIndex();
    return DBProvider().DataLink().ActiveRecord();
}

bool TcxDBDataController::IsSequenced() const
{
    hostlib::TDataSet* dataSet = DataSet();
    return dataSet && dataSet->IsSequenced();
}

void TcxDBDataController::Loaded()
{
    // A data set active before loading sent no activation: the fields are
    // bound here.
    if (!activatedWhileLoading_ && DBProvider().IsActiveDataSet()) LayoutChanged({lcStructure});
    TcxCustomDataController::Loaded();
    loaded_ = true;
}

void TcxDBDataController::NotifyDataControllers()
{
    DBProvider().NotifyListeners();
}

bool TcxDBDataController::CheckMasterBrowseMode()
{
    TcxDBDataRelation* relation = DBMasterRelation();
    auto* master = relation ? hostlib::As<TcxDBDataController>(relation->GetDataController()) : nullptr;
    if (inResetDataSetCurrent_ || !master) return true;
    if (!master->CheckMasterBrowseMode()) return false;
    // Posting may reload the master and free its details, this one among
    // them.
    TcxDataListenerLink* masterLink = master->AddListenerLink();
    TcxDataListenerLink* ownLink = AddListenerLink();
    quelvo::sys::ScopeGuard release([masterLink, ownLink] {
        RemoveListenerLink(ownLink);
        RemoveListenerLink(masterLink);
    });
    master->CheckBrowseMode();
    if (ownLink->DataController) CheckBrowseMode();
    return masterLink->DataController && ownLink->DataController;
}

bool TcxDBDataController::CanChangeDetailExpanding(int recordIndex, bool expanded)
{
    if (IsGridMode() && expanded) {
        // Focusing scrolls the buffer window: the record may have moved.
        if (!ChangeFocusedRecordIndex(recordIndex) || GetFocusedRecordIndex() != recordIndex)
            ChangeFocusedRecordIndex(recordIndex);
        if (GetFocusedRecordIndex() != recordIndex) return false;
    }
    return TcxCustomDataController::CanChangeDetailExpanding(recordIndex, expanded);
}

// ---- grid mode: bookmarks and selection ----------------------------------------

TcxDBDataSelection& TcxDBDataController::DBSelection() const
{
    return static_cast<TcxDBDataSelection&>(DataControllerInfo().Selection());
}

bool TcxDBDataController::IsBookmarkAvailable() const
{
    return IsGridMode() ? !bookmark_.empty() : TcxCustomDataController::IsBookmarkAvailable();
}

bool TcxDBDataController::IsBookmarkRow(int rowIndex) const
{
    if (!IsGridMode()) return TcxCustomDataController::IsBookmarkRow(rowIndex);
    return !bookmark_.empty() && DBSelection().GetRowBookmark(rowIndex) == bookmark_;
}

bool TcxDBDataController::InternalSaveBookmark()
{
    if (!IsGridMode()) return TcxCustomDataController::InternalSaveBookmark();
    // Grid mode keeps the data set's bookmark and announces nothing.
    if (DataSet()) bookmark_ = DataSet()->GetBookmark();
    return false;
}

void TcxDBDataController::InternalGotoBookmark()
{
    if (!IsGridMode()) return TcxCustomDataController::InternalGotoBookmark();
    if (DataSet()) DataSet()->GotoBookmark(bookmark_);
    CorrectPrevSelectionChangedInfo();
}

bool TcxDBDataController::InternalCheckBookmark(int deletedRecordIndex)
{
    if (!IsGridMode()) return TcxCustomDataController::InternalCheckBookmark(deletedRecordIndex);
    return !DBProvider().BookmarkValid(bookmark_);
}

void TcxDBDataController::InternalClearBookmark()
{
    TcxCustomDataController::InternalClearBookmark();
    bookmark_.clear();
}

Variant TcxDBDataController::GetRowId(int rowIndex) const
{
    if (!IsGridMode()) return TcxCustomDataController::GetRowId(rowIndex);
    return Variant(DBSelection().GetRowBookmark(rowIndex));
}

void TcxDBDataController::SelectAll()
{
    if (IsGridMode())
        DBSelection().SelectAll();
    else
        TcxCustomDataController::SelectAll();
}

void TcxDBDataController::SetSelectionAnchor(int rowIndex)
{
    if (!IsGridMode()) return TcxCustomDataController::SetSelectionAnchor(rowIndex);
    DataControllerInfo().CheckRowIndex(rowIndex);
    DBSelection().SetAnchorBookmark(DBSelection().GetRowBookmark(rowIndex));
}

void TcxDBDataController::SelectFromAnchor(int rowIndex, bool keepSelection)
{
    if (!IsGridMode()) return TcxCustomDataController::SelectFromAnchor(rowIndex, keepSelection);
    if (IsSelectionAnchorExist()) DBSelection().SelectFromAnchor(DBSelection().GetRowBookmark(rowIndex), keepSelection);
}

int TcxDBDataController::GetSelectionAnchorRowIndex() const
{
    return IsGridMode() ? -1 : TcxCustomDataController::GetSelectionAnchorRowIndex();
}

bool TcxDBDataController::IsSelectionAnchorExist() const
{
    if (!IsGridMode()) return TcxCustomDataController::IsSelectionAnchorExist();
    return !DBSelection().AnchorBookmark().empty();
}

const hostlib::TBookmark& TcxDBDataController::GetSelectionAnchorBookmark() const
{
    if (!IsGridMode()) InvalidOperation(cxSDBNotInGridMode);
    return DBSelection().AnchorBookmark();
}

hostlib::TBookmark TcxDBDataController::GetSelectedBookmark(int index) const
{
    if (!IsGridMode()) InvalidOperation(cxSDBNotInGridMode);
    if (IsFocusedSelectedMode()) return DBSelection().GetRowBookmark(GetFocusedRowIndex());
    return DBSelection().Bookmarks(index);
}

int TcxDBDataController::GetSelectedRowIndex(int index) const
{
    if (!IsGridMode() || IsFocusedSelectedMode()) return TcxCustomDataController::GetSelectedRowIndex(index);
    const hostlib::TBookmark& bookmark = DBSelection().Bookmarks(index);
    for (int row = 0; row < GetRowCount(); ++row)
        if (DBSelection().GetRowBookmark(row) == bookmark) return row;
    return -1;
}

bool TcxDBDataController::FocusSelectedRow(int index)
{
    if (!IsGridMode()) return TcxCustomDataController::FocusSelectedRow(index);
    if (!DataSet()) return false;
    DataSet()->GotoBookmark(GetSelectedBookmark(index));
    return true;
}

void TcxDBDataController::ForEachRow(bool selectedOnly, const TcxDataControllerEachRowProc& proc)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (!IsGridMode() || !dataSet) return TcxCustomDataController::ForEachRow(selectedOnly, proc);
    const auto focused = [this, &proc] { proc(GetFocusedRowIndex(), GetRowInfo(GetFocusedRowIndex())); };
    if (selectedOnly && IsFocusedSelectedMode()) {
        if (GetFocusedRowIndex() != -1) focused();
        return;
    }
    if (selectedOnly) {
        for (int i = 0; i < DBSelection().BookmarkCount(); ++i) {
            dataSet->GotoBookmark(DBSelection().Bookmarks(i));
            focused();
        }
        return;
    }
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) focused();
}

bool TcxDBDataController::DoSearchInGridMode(const std::string& text, bool forward, bool next)
{
    Search().Lock();
    quelvo::sys::ScopeGuard unlock([this] { Search().Unlock(); });
    return DBProvider().DoLocate(text, forward, next);
}

// ---- master-detail -----------------------------------------------------------------

void TcxDBDataController::Assign(hostlib::TPersistent* source)
{
    TcxCustomDataController::Assign(source);
    auto* other = hostlib::As<TcxDBDataController>(source);
    if (!other) return;
    DataModeController().Assign(&other->DataModeController());
    SetDataSource(other->DataSource());
    SetKeyFieldNames(other->keyFieldNames_);
    SetMasterKeyFieldNames(other->masterKeyFieldNames_);
    SetDetailKeyFieldNames(other->detailKeyFieldNames_);
    OnDetailHasChildren = other->OnDetailHasChildren;
}

TcxDBDataRelation* TcxDBDataController::DBMasterRelation() const
{
    return hostlib::As<TcxDBDataRelation>(GetMasterRelation());
}

void TcxDBDataController::SetMasterKeyFieldNames(const std::string& value)
{
    if (masterKeyFieldNames_ == value) return;
    masterKeyFieldNames_ = value;
    if (TcxDBDataRelation* relation = DBMasterRelation()) relation->UpdateMasterDetailKeyFieldNames();
}

void TcxDBDataController::SetDetailKeyFieldNames(const std::string& value)
{
    if (detailKeyFieldNames_ == value) return;
    detailKeyFieldNames_ = value;
    if (TcxDBDataRelation* relation = DBMasterRelation()) relation->UpdateMasterDetailKeyFieldNames();
}

std::string TcxDBDataController::GetMasterDetailKeyFieldNames() const
{
    return masterKeyFieldNames_.empty() ? std::string() : detailKeyFieldNames_;
}

std::vector<hostlib::TField*> TcxDBDataController::GetMasterDetailKeyFields() const
{
    hostlib::TDataSet* dataSet = DataSet();
    const std::string names = GetMasterDetailKeyFieldNames();
    if (!dataSet || names.empty()) return {};
    return dataSet->GetFieldList(names);
}

TcxDBProviderDetailFilterAdapter* TcxDBDataController::GetDetailFilterAdapter() const
{
    int index = -1;
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet || !cxDetailFilterControllers().FindAdapter(dataSet->ClassType(), index))
        InvalidOperation(cxSDBDetailFilterControllerNotFound);
    return hostlib::As<TcxDBProviderDetailFilterAdapter>(cxDetailFilterControllers().Items(index));
}

void TcxDBDataController::SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex)
{
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    TcxCustomDataController::SetMasterRelation(relation, masterRecordIndex);
    auto* dbRelation = hostlib::As<TcxDBDataRelation>(relation);
    if (!dbRelation || masterRecordIndex == -1) return;
    masterDetailKeyValues_ = dbRelation->GetMasterRecordID(masterRecordIndex);
    LayoutChanged({lcData});
}

void TcxDBDataController::UpdateRelations(TcxCustomDataRelation* relation)
{
    TcxCustomDataController::UpdateRelations(relation);
    if (IsDestroying() || !RelationsExist()) return;
    for (int i = 0; i < Relations().GetCount(); ++i)
        if (auto* dbRelation = hostlib::As<TcxDBDataRelation>(Relations().GetItem(i)))
            if (const std::string names = dbRelation->GetMasterKeyFieldNames(); !names.empty() || dbRelation->MasterKeyField())
                UpdateInternalKeyFields(names, dbRelation->MasterKeyField());
}
