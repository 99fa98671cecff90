#include "components/data/cxCustomDataSource.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/data/cxDataConsts.h"
#include "components/data/cxVariants.h"
#include "platform/system/scope_guard.h"

using hostlib::Variant;
using quelvo::sys::ScopeGuard;

hostlib::TClass TcxCustomDataSource::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataSource, hostlib::TObject>("TcxCustomDataSource");
}

// ---- TcxCustomDataSource -------------------------------------------------------

void TcxCustomDataSource::Destroy()
{
    RemoveFromProviders();
    TObject::Destroy();
}

void TcxCustomDataSource::RemoveFromProviders()
{
    // Each controller still bound restructures into unbound mode.
    while (!providers_.empty()) providers_.back()->SetCustomDataSource(nullptr);
    currentProvider_ = nullptr;
}

void TcxCustomDataSource::AddProvider(TcxCustomDataProvider* provider)
{
    if (std::find(providers_.begin(), providers_.end(), provider) == providers_.end()) providers_.push_back(provider);
}

void TcxCustomDataSource::RemoveProvider(TcxCustomDataProvider* provider)
{
    providers_.erase(std::remove(providers_.begin(), providers_.end(), provider), providers_.end());
    if (currentProvider_ == provider) currentProvider_ = nullptr;
}

TcxCustomDataController* TcxCustomDataSource::GetDataController() const
{
    return currentProvider_ ? currentProvider_->DataController() : nullptr;
}

int TcxCustomDataSource::GetDefaultItemID(int itemIndex)
{
    TcxCustomDataController* controller = GetDataController();
    return controller ? controller->GetItemID(controller->GetItem(itemIndex)) : -1;
}

std::string TcxCustomDataSource::GetDisplayText(TcxDataRecordHandle recordHandle, TcxDataItemHandle itemHandle)
{
    const Variant value = GetValue(recordHandle, itemHandle);
    try {
        return hostlib::VarToStr(value);
    } catch (const hostlib::EVariantError&) {
        return std::string();
    }
}

bool TcxCustomDataSource::GetInfoForCompare(TcxDataRecordHandle, TcxDataItemHandle, const void*&)
{
    TcxCustomDataController::InvalidOperation(cxSDataCustomDataSourceInvalidCompare);
}

void TcxCustomDataSource::LoadRecordHandles()
{
    TcxCustomDataController* controller = GetDataController();
    if (!controller) return;
    TcxDataStorage& storage = controller->DataStorage();
    // A new record being posted into the source keeps its internal copy.
    storage.Clear(currentProvider_->DataChangedLocked());
    const int count = std::max(GetRecordCount(), 0);
    storage.SetRecordCount(count);
    TcxCustomDataField* field = controller->RecordHandleField();
    if (!field) return;
    for (int i = 0; i < count; ++i)
        controller->SetStoredValue(i, field, Variant(static_cast<long long>(GetRecordHandle(i))));
}

void TcxCustomDataSource::DataChanged()
{
    TcxCustomDataProvider* provider = currentProvider_ ? currentProvider_ : (providers_.empty() ? nullptr : providers_.front());
    if (!provider) return;
    currentProvider_ = provider;
    TcxCustomDataController* controller = provider->DataController();
    controller->BeginFullUpdate();
    ScopeGuard end([controller] { controller->EndFullUpdate(); });
    // Selected records and expanded details follow their keys when the
    // source has record IDs.
    controller->SaveKeys();
    ScopeGuard restore([controller] { controller->RestoreKeys(); });
    provider->DataChanged(dcTotal, -1, -1);
}

TcxDataRecordHandle TcxCustomDataSource::GetRecordHandleByIndex(int recordIndex) const
{
    TcxCustomDataController* controller = GetDataController();
    TcxCustomDataField* field = controller ? controller->RecordHandleField() : nullptr;
    if (!field) return cxNullRecordHandle;
    const Variant value = controller->GetStoredValue(recordIndex, field);
    return value.IsNull() ? cxNullRecordHandle : static_cast<TcxDataRecordHandle>(value.AsInt64());
}

int TcxCustomDataSource::GetRecordIndexByHandle(TcxDataRecordHandle recordHandle) const
{
    TcxCustomDataController* controller = GetDataController();
    if (!controller) return -1;
    for (int i = 0; i < controller->DataStorage().RecordCount(); ++i)
        if (GetRecordHandleByIndex(i) == recordHandle) return i;
    return -1;
}

int TcxCustomDataSource::AddRecordHandle(TcxDataRecordHandle recordHandle)
{
    TcxCustomDataController* controller = GetDataController();
    if (!controller || !controller->RecordHandleField()) return -1;
    const int index = controller->DataStorage().AppendRecord();
    controller->SetStoredValue(index, controller->RecordHandleField(), Variant(static_cast<long long>(recordHandle)));
    return index;
}

// ---- TcxCustomDataProvider: provider mode ----------------------------------------

void TcxCustomDataProvider::Destroy()
{
    if (customDataSource_) customDataSource_->RemoveProvider(this);
    customDataSource_ = nullptr;
    TObject::Destroy();
}

void TcxCustomDataProvider::SetCustomDataSource(TcxCustomDataSource* value)
{
    if (!IsCustomDataSourceSupported() || customDataSource_ == value) return;
    if (customDataSource_) customDataSource_->RemoveProvider(this);
    customDataSource_ = value;
    if (value) value->AddProvider(this);
    if (!controller_->IsDestroying() && !controller_->Destroyed()) controller_->RestructData();
}

TcxCustomDataSource* TcxCustomDataProvider::Source() const
{
    if (customDataSource_) customDataSource_->SetCurrentProvider(const_cast<TcxCustomDataProvider*>(this));
    return customDataSource_;
}

TcxDataRecordHandle TcxCustomDataProvider::HandleOf(int recordIndex) const
{
    return Source()->GetRecordHandleByIndex(recordIndex);
}

TcxDataItemHandle TcxCustomDataProvider::ItemHandleOf(TcxCustomDataField* field) const
{
    return Source()->GetItemHandle(controller_->Fields().IndexOf(field));
}

int TcxCustomDataProvider::IndexOfNewHandle(TcxDataRecordHandle recordHandle)
{
    if (recordHandle == cxNullRecordHandle) return -1;
    const int index = customDataSource_->GetRecordIndexByHandle(recordHandle);
    // A source that did not report its new record still gets it mapped.
    return index != -1 ? index : customDataSource_->AddRecordHandle(recordHandle);
}

int TcxCustomDataProvider::AppendRecord()
{
    if (!Source()) return -1;
    return IndexOfNewHandle(customDataSource_->AppendRecord());
}

int TcxCustomDataProvider::InsertRecord(int recordIndex)
{
    if (!Source()) return -1;
    const bool hasRecords = customDataSource_->GetRecordCount() > 0;
    const TcxDataRecordHandle handle =
        hasRecords ? customDataSource_->InsertRecord(HandleOf(recordIndex)) : customDataSource_->AppendRecord();
    return IndexOfNewHandle(handle);
}

void TcxCustomDataProvider::DeleteRecord(int recordIndex)
{
    if (Source()) customDataSource_->DeleteRecord(HandleOf(recordIndex));
}

Variant TcxCustomDataProvider::GetValue(int recordIndex, TcxCustomDataField* field) const
{
    if (!Source()) return Variant::Null();
    return customDataSource_->GetValue(HandleOf(recordIndex), ItemHandleOf(field));
}

void TcxCustomDataProvider::SetValue(int recordIndex, TcxCustomDataField* field, const Variant& value)
{
    if (Source()) customDataSource_->SetValue(HandleOf(recordIndex), ItemHandleOf(field), value);
}

std::string TcxCustomDataProvider::GetDisplayText(int recordIndex, TcxCustomDataField* field) const
{
    if (!Source()) return std::string();
    return customDataSource_->GetDisplayText(HandleOf(recordIndex), ItemHandleOf(field));
}

Variant TcxCustomDataProvider::GetRecordId(int recordIndex) const
{
    if (!Source()) return Variant::Null();
    return customDataSource_->GetRecordId(HandleOf(recordIndex));
}

void TcxCustomDataProvider::SetRecordCount(int count)
{
    if (Source()) customDataSource_->SetRecordCount(count);
}

void TcxCustomDataProvider::CustomSort()
{
    if (Source()) customDataSource_->CustomSort();
}

bool TcxCustomDataProvider::IsCustomSorting() const
{
    return Source() && customDataSource_->IsCustomSorting();
}

bool TcxCustomDataProvider::IsNativeCompare() const
{
    return Source() && customDataSource_->IsNativeCompare();
}

bool TcxCustomDataProvider::IsNativeCompareFunc() const
{
    return Source() && customDataSource_->IsNativeCompareFunc();
}

bool TcxCustomDataProvider::IsRecordIdSupported() const
{
    return Source() && customDataSource_->IsRecordIdSupported();
}

void TcxCustomDataProvider::LoadRecordHandles()
{
    if (Source()) customDataSource_->LoadRecordHandles();
}

bool TcxCustomDataProvider::GetDetailHasChildren(int recordIndex, int relationIndex)
{
    return Source() && customDataSource_->GetDetailHasChildren(recordIndex, relationIndex);
}

int TcxCustomDataProvider::NativeCompareFunc(int recordIndex1, int recordIndex2, TcxCustomDataField* field)
{
    if (!Source()) return 0;
    return customDataSource_->NativeCompareFunc(HandleOf(recordIndex1), HandleOf(recordIndex2), ItemHandleOf(field));
}

bool TcxCustomDataProvider::GetCompareInfo(int recordIndex, TcxCustomDataField* field, const void*& value) const
{
    // True when Null, as the storage answers.
    if (recordIndex < 0) return controller_->DataStorage().GetCompareInfo(recordIndex, field->ValueDef(), value);
    value = nullptr;
    return !customDataSource_->GetInfoForCompare(HandleOf(recordIndex), ItemHandleOf(field), value);
}

int TcxCustomDataProvider::NativeCompare(int recordIndex1, int recordIndex2, TcxCustomDataField* field)
{
    TcxValueDef* def = field->ValueDef();
    if (!Source() || !def) return 0;
    TcxDataStorage& storage = controller_->DataStorage();
    if (recordIndex1 < 0 && recordIndex2 < 0) return storage.CompareRecords(recordIndex1, recordIndex2, def);
    const void* value1 = nullptr;
    const void* value2 = nullptr;
    const bool null1 = GetCompareInfo(recordIndex1, field, value1);
    const bool null2 = GetCompareInfo(recordIndex2, field, value2);
    return def->CompareValues(null1, null2, value1, value2);
}

int TcxCustomDataProvider::AddRecordHandle(TcxDataRecordHandle recordHandle)
{
    return Source() ? customDataSource_->AddRecordHandle(recordHandle) : -1;
}
