#include "components/data/cxDBData.h"
#include <algorithm>

#include "components/data/cxVariants.h"
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
    int index = -1;
    if (!dataSet || !cxDetailFilterControllers().FindAdapter(dataSet->ClassType(), index))
        throw EcxInvalidDataControllerOperation("DetailFilterController not found");
    auto* adapter = hostlib::As<TcxDBProviderDetailFilterAdapter>(cxDetailFilterControllers().Items(index));
    adapter->SetFilter(dataSet, keyFieldNames, keyValues, detailInSQLMode_, reopened);
}

// ---- TcxDBDataLink -------------------------------------------------------------

hostlib::TClass TcxDBDataLink::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataLink, hostlib::TDataLink>("TcxDBDataLink");
}

void TcxDBDataLink::ActiveChanged()
{
    if (provider_) provider_->LinkActiveChanged(Active());
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

void TcxDBDataProvider::Construct(TcxCustomDataController* controller)
{
    TcxCustomDataProvider::Construct(controller);
    link_.reset(hostlib::CreateObject<TcxDBDataLink>(this));
}

void TcxDBDataProvider::Destroy()
{
    // The link must not call back into a provider being torn down.
    if (link_) link_->SetDataSource(nullptr);
    link_.reset();
    TcxCustomDataProvider::Destroy();
}

TcxDBDataController* TcxDBDataProvider::DBDataController() const
{
    return hostlib::As<TcxDBDataController>(DataController());
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
    return IsGridMode() || modes->SyncMode();
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
    return !link_->Active() || dataSet->Eof();
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
    if (DataSet()) DataSet()->First();
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

void TcxDBDataProvider::Delete()
{
    TcxCustomDataController* controller = DataController();
    hostlib::TDataSet* dataSet = DataSet();
    if (!dataSet || controller->GetFocusedRecordIndex() == -1) return;
    dataSet->DisableControls();
    quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
    dataSet->Delete();
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
    if (!DataSet()) return;
    inInsert_ = true;
    quelvo::sys::ScopeGuard reset([this] { inInsert_ = false; });
    if (DataSetInEditState()) DataSet()->CheckBrowseMode();
    DataSet()->Append();
}

void TcxDBDataProvider::Insert()
{
    if (!DataSet()) return;
    inInsert_ = true;
    quelvo::sys::ScopeGuard reset([this] { inInsert_ = false; });
    if (DataSetInEditState()) DataSet()->CheckBrowseMode();
    DataSet()->Insert();
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

void TcxDBDataProvider::Freeze()
{
    TcxCustomDataProvider::Freeze();
    if (hostlib::TDataSet* dataSet = DataSet()) {
        dataSet->DisableControls();
        if (dataSet->Active() && DataSetInEditState()) dataSet->Cancel();
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
    ActiveChanged(active);
}

void TcxDBDataProvider::LinkDataSetChanged()
{
    if (IsGridMode()) {
        TcxCustomDataController* controller = DataController();
        inGridModeUpdate_ = true;
        controller->BeginUpdate();
        quelvo::sys::ScopeGuard end([this, controller] {
            controller->EndUpdate();
            inGridModeUpdate_ = false;
        });
        UpdateGridMode();
        return;
    }
    if (!DataSetInEditState()) TcxCustomDataProvider::DataChanged(dcTotal, -1, -1);
}

void TcxDBDataProvider::LinkEditingChanged()
{
    if (!IsSyncMode()) return;
    if (link_->Active() && DataSetInEditState()) {
        if (DataSet()->State() == hostlib::dsEdit) EditingRecord();
        return;
    }
    ResetEditing();
}

// ---- TcxDBDataField ------------------------------------------------------------

hostlib::TClass TcxDBDataField::StaticClass()
{
    return hostlib::DefineClass<TcxDBDataField, TcxCustomDataField>("TcxDBDataField");
}

hostlib::TField* TcxDBDataField::Field() const
{
    if (auto* reference = hostlib::As<TcxDBDataField>(ReferenceField())) return reference->Field();
    return field_;
}

void TcxDBDataField::SetField(hostlib::TField* value)
{
    if (ReferenceField()) return;
    if (value && value->IsDestroying()) value = nullptr;
    field_ = value;
}

bool TcxDBDataField::IsValueDefInternal() const
{
    TcxCustomDataController* controller = DataController();
    if (controller && controller->IsGridMode()) return true;
    return Field() == nullptr;
}

void TcxDBDataField::RemoveNotification(hostlib::TComponent* component)
{
    TcxCustomDataField::RemoveNotification(component);
    if (!ReferenceField() && component == field_) {
        field_ = nullptr;
        Changed();
    }
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
        if (typeChanged && !IsInternal() && controller) controller->DoValueTypeClassChanged(Index());
    }
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
    DBProvider().SetDataSource(nullptr);
    TcxCustomDataController::Destroy();
    modeController_.reset();
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

bool TcxDBDataController::IsDataField(const TcxCustomDataField* field) const
{
    auto* dbField = hostlib::As<TcxDBDataField>(const_cast<TcxCustomDataField*>(field));
    return TcxCustomDataController::IsDataField(field) || (dbField && dbField->Field());
}

void TcxDBDataController::ChangeFieldName(int itemIndex, const std::string& fieldName)
{
    TcxDBDataField* field = DBFields(itemIndex);
    if (!field || field->FieldName() == fieldName) return;
    field->SetFieldName(fieldName);
    LayoutChanged({lcStructure});
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

void TcxDBDataController::PrepareField(TcxCustomDataField* field)
{
    TcxCustomDataController::PrepareField(field);
    if (auto* dbField = hostlib::As<TcxDBDataField>(field)) RetrieveField(dbField);
}

void TcxDBDataController::RetrieveField(TcxDBDataField* field)
{
    hostlib::TDataSet* dataSet = DataSet();
    if (field->ReferenceField() || !dataSet) return;
    hostlib::TField* dataSetField = field->FieldName().empty() ? nullptr : dataSet->FindField(field->FieldName());
    field->SetField(dataSetField);
    if (dataSetField) field->SetPropertiesByField(dataSetField);
}

void TcxDBDataController::UnbindDBFields()
{
    for (int i = 0; i < Fields().Count(); ++i)
        if (TcxDBDataField* field = DBFields(i)) field->SetField(nullptr);
}

void TcxDBDataController::RestructData()
{
    if (!IsGridMode()) DBProvider().DataLink().SetBufferCount(1);
    TcxCustomDataController::RestructData();
}

void TcxDBDataController::LoadStorage()
{
    // A closed data set shows no rows, whatever was copied from it.
    if (!DBProvider().IsActive() && !DBProvider().IsDataSource()) DataStorage().Clear(false);
    TcxCustomDataController::LoadStorage();
}

void TcxDBDataController::ActiveChanged(bool active)
{
    TcxCustomDataController::ActiveChanged(active);
    if (!active) LoadStorage();
}

bool TcxDBDataController::CanFocusRecord(int recordIndex)
{
    TcxDBDataProvider& provider = DBProvider();
    if (provider.IsInserting() && recordIndex == provider.EditingRecordIndex()) return true;
    provider.BeginLocate();
    quelvo::sys::ScopeGuard end([&provider] { provider.EndLocate(); });
    if (!provider.IsSyncMode()) return TcxCustomDataController::CanFocusRecord(recordIndex);
    return TryFocusRecord(recordIndex);
}

bool TcxDBDataController::TryFocusRecord(int recordIndex)
{
    if (recordIndex < 0) return false;
    DataSet()->MoveBy(recordIndex - DBProvider().CurrentRecordIndex());
    return true;
}

void TcxDBDataController::UpdateGridModeBufferCount()
{
    if (IsGridMode()) DBProvider().UpdateGridMode();
}
