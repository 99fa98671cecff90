#include "components/editor-catalogue/cxDBLookupEdit.h"

#include "components/data/cxDB.h"
#include "components/editor-catalogue/cxDBEdit.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- lookup data --------------------------------------------------------------------------------

TClass TcxCustomDBLookupEditLookupData::StaticClass()
{
    return DefineClass<TcxCustomDBLookupEditLookupData, TcxCustomLookupEditLookupData>("TcxCustomDBLookupEditLookupData");
}

void TcxCustomDBLookupEditLookupData::DoSetCurrentKey(int recordIndex)
{
    auto* controller = As<TcxDBDataController>(DataController());
    SetStoredCurrentKey(recordIndex != -1 && controller ? controller->GetRecordId(recordIndex) : Variant::Null());
}

void TcxCustomDBLookupEditLookupData::DoSyncGrid()
{
    auto* controller = As<TcxDBDataController>(DataController());
    if (!controller)
        return;
    TcxCustomLookupEditProperties* properties = Properties();
    properties->LockDataChanged();
    quelvo::sys::ScopeGuard unlock([properties] { properties->UnlockDataChanged(); });
    try {
        controller->LocateByKey(GetCurrentKey());
    } catch (const EVariantError&) {
    } catch (const EDatabaseError&) {
    }
}

// ---- properties ---------------------------------------------------------------------------------

TClass TcxCustomDBLookupEditProperties::StaticClass()
{
    return DefineClass<TcxCustomDBLookupEditProperties, TcxCustomLookupEditProperties>("TcxCustomDBLookupEditProperties");
}

void TcxCustomDBLookupEditProperties::Destroy()
{
    SetLookupField(nullptr);
    lookupList_.reset();
    TcxCustomLookupEditProperties::Destroy();
}

void TcxCustomDBLookupEditProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomDBLookupEditProperties>(source);
    if (!other) {
        TcxCustomLookupEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { EndUpdate(); });
    TcxCustomLookupEditProperties::Assign(source);
    if (!IsDefinedByLookup())
        SetKeyFieldNames(other->KeyFieldNames());
}

void TcxCustomDBLookupEditProperties::Changed()
{
    CheckLookupList();
    CheckLookup();
    CheckLookupColumn();
    TcxCustomLookupEditProperties::Changed();
}

// ---- the lookup-field definition ----------------------------------------------------------------

TField* TcxCustomDBLookupEditProperties::GetDataField()
{
    IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
    auto* db = provider ? As<TcxCustomDBEditDefaultValuesProvider>(provider->GetInstance()) : nullptr;
    return db ? db->Field() : nullptr;
}

TField* TcxCustomDBLookupEditProperties::GetLookupField()
{
    TField* field = GetDataField();
    return field && field->Lookup() ? field : nullptr;
}

std::string TcxCustomDBLookupEditProperties::GetLookupResultFieldName()
{
    return lookupField_ ? lookupField_->LookupResultField() : std::string();
}

void TcxCustomDBLookupEditProperties::DefineByLookupError()
{
    DatabaseError(db_messages::SPropDefByLookup);
}

void TcxCustomDBLookupEditProperties::CheckLookup() { SetLookupField(GetLookupField()); }

void TcxCustomDBLookupEditProperties::CheckLookupColumn()
{
    const std::string name = GetLookupResultFieldName();
    if (!name.empty())
        DBLookupGridCheckColumnByFieldName(name);
}

void TcxCustomDBLookupEditProperties::DefineByLookupField()
{
    TcxDBDataController* controller = GetDBLookupGridDataController();
    if (!controller)
        return;
    defining_ = true;
    quelvo::sys::ScopeGuard done([this] { defining_ = false; });
    controller->SetDataSource(lookupDataSource_.get());
    const std::string result = lookupField_->LookupResultField();
    if (GetDBLookupGridColumnIndexByFieldName(result) == -1)
        SetListFieldNames(result);
    SetKeyFieldNames(lookupField_->LookupKeyFields());
    SetListFieldIndex(0);
}

void TcxCustomDBLookupEditProperties::SetLookupField(TField* value)
{
    if (lookupField_ == value)
        return;
    lookupField_ = value;
    if (!value) {
        lookupDataSource_.reset();
        return;
    }
    if (!lookupDataSource_)
        lookupDataSource_.reset(CreateObject<TDataSource>(nullptr));
    lookupDataSource_->SetDataSet(value->LookupDataSet());
    DefineByLookupField();
    if (TcxDBDataController* controller = GetDBLookupGridDataController())
        CheckCircularLink(controller->DataSource());
}

namespace {
// Whether the data set or one of its masters is the source's data set.
bool IsLinkedToDataSet(TDataSource* source, TDataSet* dataSet)
{
    TDataSet* target = source ? source->DataSet() : nullptr;
    // Bounded: master chains are short, and a malformed ring must not hang.
    for (int depth = 0; dataSet && target && depth < 256; ++depth) {
        if (dataSet == target)
            return true;
        TDataSource* master = dataSet->DataSource();
        dataSet = master ? master->DataSet() : nullptr;
    }
    return false;
}
}  // namespace

void TcxCustomDBLookupEditProperties::CheckCircularLink(TDataSource* source)
{
    TField* field = GetDataField();
    if (field && IsLinkedToDataSet(source, field->DataSet()))
        DatabaseError(db_messages::SCircularDataLink);
}

TcxDataEditValueSource TcxCustomDBLookupEditProperties::GetEditValueSource(bool editFocused)
{
    if (lookupField_)
        return editFocused ? evsKey : evsText;
    return TcxCustomLookupEditProperties::GetEditValueSource(editFocused);
}

int TcxCustomDBLookupEditProperties::GetDisplayColumnIndex()
{
    const std::string result = GetLookupResultFieldName();
    if (!result.empty())
        return GetDBLookupGridColumnIndexByFieldName(result);
    return TcxCustomLookupEditProperties::GetDisplayColumnIndex();
}

void TcxCustomDBLookupEditProperties::SetDisplayColumnIndex(int index)
{
    if (IsDefinedByLookup() && !defining_)
        DefineByLookupError();
    TcxCustomLookupEditProperties::SetDisplayColumnIndex(index);
}

void TcxCustomDBLookupEditProperties::CheckLookupList()
{
    if (lookupList_)
        lookupList_->Clear();
    if (TcxDBDataController* controller = GetDBLookupGridDataController())
        controller->DataModeController().SetGridMode(IsUseLookupList());
}

TAlignment TcxCustomDBLookupEditProperties::GetDefaultHorzAlignment()
{
    TField* field = GetListField();
    return field ? field->Alignment() : TcxCustomLookupEditProperties::GetDefaultHorzAlignment();
}

int TcxCustomDBLookupEditProperties::GetDefaultMaxLength()
{
    TField* field = GetListField();
    return field ? field->Size() : TcxCustomLookupEditProperties::GetDefaultMaxLength();
}

TClass TcxCustomDBLookupEditProperties::GetContainerClass() { return TcxCustomDBLookupEdit::StaticClass(); }

TClass TcxCustomDBLookupEditProperties::GetLookupDataClass() { return TcxCustomDBLookupEditLookupData::StaticClass(); }

bool TcxCustomDBLookupEditProperties::GetIncrementalFiltering()
{
    return !IsListGridMode() && TcxCustomLookupEditProperties::GetIncrementalFiltering();
}

bool TcxCustomDBLookupEditProperties::IsListGridMode()
{
    TcxDBDataController* controller = GetDBLookupGridDataController();
    return controller && controller->IsGridMode();
}

TField* TcxCustomDBLookupEditProperties::GetListField()
{
    const int index = GetListIndex();
    return index == -1 ? nullptr : GetDBLookupGridColumnField(index);
}

std::string TcxCustomDBLookupEditProperties::KeyFieldNames()
{
    TcxDBDataController* controller = GetDBLookupGridDataController();
    return controller ? controller->KeyFieldNames() : std::string();
}

void TcxCustomDBLookupEditProperties::SetKeyFieldNames(const std::string& value)
{
    if (IsDefinedByLookup() && !defining_)
        DefineByLookupError();
    if (TcxDBDataController* controller = GetDBLookupGridDataController())
        controller->SetKeyFieldNames(value);
}

std::string TcxCustomDBLookupEditProperties::ListFieldNames()
{
    std::string names;
    for (int i = 0; i < GetLookupGridColumnCount(); ++i)
        names += (i ? ";" : "") + GetDBLookupGridColumnFieldName(i);
    return names;
}

void TcxCustomDBLookupEditProperties::SetListFieldNames(const std::string& value)
{
    const bool differs = value != ListFieldNames();
    // The rebuild's own data change is not a change of the properties.
    DisableChanging();
    DBLookupGridBeginUpdate();
    {
        quelvo::sys::ScopeGuard end([this] {
            DBLookupGridEndUpdate();
            EnableChanging();
        });
        DBLookupGridCreateColumnsByFieldNames(value);
        CheckLookupColumn();
        CheckDisplayColumnIndex();
    }
    if (differs)
        Changed();
}

void TcxCustomDBLookupEditProperties::SetIsUseLookupList(bool value)
{
    if (value == IsUseLookupList())
        return;
    if (value)
        lookupList_.reset(CreateObject<TcxLookupList>());
    else
        lookupList_.reset();
    Changed();
}

Variant TcxCustomDBLookupEditProperties::GetNullKey()
{
    const std::string names = KeyFieldNames();
    if (!IsMultipleFieldNames(names))
        return Variant::Null();
    std::vector<Variant> nulls(static_cast<std::size_t>(GetFieldNamesCount(names)), Variant::Null());
    return VarArrayOf(nulls);
}

bool TcxCustomDBLookupEditProperties::IsPickMode()
{
    const std::string names = KeyFieldNames();
    TcxDBDataController* controller = GetDBLookupGridDataController();
    if (names.empty() || IsMultipleFieldNames(names) || !controller || !controller->DataSet())
        return false;
    TField* list = GetListField();
    return list && controller->DataSet()->FindField(names) == list;
}

// ---- locks --------------------------------------------------------------------------------------

void TcxCustomDBLookupEditProperties::LockDataChanged()
{
    TcxCustomLookupEditProperties::LockDataChanged();
    TcxDBDataController* controller = GetDBLookupGridDataController();
    const bool gridMode = controller && controller->IsGridMode();
    if (gridMode)
        controller->LockGridModeNotify();
    gridModeLocks_.push_back(gridMode);
}

void TcxCustomDBLookupEditProperties::UnlockDataChanged()
{
    if (!gridModeLocks_.empty()) {
        const bool gridMode = gridModeLocks_.back();
        gridModeLocks_.pop_back();
        if (gridMode)
            if (TcxDBDataController* controller = GetDBLookupGridDataController())
                controller->UnlockGridModeNotify();
    }
    TcxCustomLookupEditProperties::UnlockDataChanged();
}

template <class F>
void TcxCustomDBLookupEditProperties::WithDataChangedLocked(F&& proc)
{
    LockDataChanged();
    quelvo::sys::ScopeGuard unlock([this] { UnlockDataChanged(); });
    proc();
}

// ---- key and text -------------------------------------------------------------------------------

namespace {
// Locating posts or cancels a record being edited in the list data set, so a
// lookup made while it is edited (its own notifications included) only reads.
bool IsBrowsing(TDataSet* dataSet) { return dataSet && dataSet->State() == dsBrowse; }
}  // namespace

std::string TcxCustomDBLookupEditProperties::LoadedDisplayText(const Variant& key)
{
    TcxDBDataController* controller = GetDBLookupGridDataController();
    int record = -1;
    try {
        record = controller->FindRecordIndexByKey(key);
    } catch (const EVariantError&) {
        record = -1;
    }
    return record == -1 ? std::string() : controller->GetDisplayText(record, GetListIndex());
}

std::string TcxCustomDBLookupEditProperties::LocateDisplayText(const Variant& key)
{
    std::string text;
    WithDataChangedLocked([&] {
        TDataSet* dataSet = GetDBLookupGridDataController()->DataSet();
        TField* list = GetListField();
        try {
            if (IsBrowsing(dataSet) && list && dataSet->Locate(KeyFieldNames(), key))
                text = list->AsString();
        } catch (const EVariantError&) {
        } catch (const EDatabaseError&) {
        }
    });
    return text;
}

std::string TcxCustomDBLookupEditProperties::GetDisplayLookupText(const Variant& key)
{
    if (GetListIndex() == -1 || !GetDBLookupGridDataController())
        return {};
    if (!IsListGridMode() || !lookupList_)
        return LoadedDisplayText(key);
    int index = 0;
    if (lookupList_->Find(key, index))
        return lookupList_->Items(index).DisplayText;
    TDataSet* dataSet = GetDBLookupGridDataController()->DataSet();
    if (dataSet && dataSet->Active() && !IsBrowsing(dataSet))
        return {};
    const std::string text = LocateDisplayText(key);
    // Misses are kept too, so an unknown key is looked for once.
    lookupList_->Insert(index, key, text);
    return text;
}

int TcxCustomDBLookupEditProperties::FindInGridMode(int itemIndex, const std::string& text, bool partial)
{
    int record = -1;
    WithDataChangedLocked([&] {
        TcxDBDataController* controller = GetDBLookupGridDataController();
        TDataSet* dataSet = controller->DataSet();
        TField* field = controller->GetItemField(itemIndex);
        if (!IsBrowsing(dataSet) || !field)
            return;
        TLocateOptions options{loCaseInsensitive};
        if (partial)
            options.Include(loPartialKey);
        try {
            if (dataSet->Locate(field->FieldName(), Variant(text), options))
                record = controller->GetFocusedRecordIndex();
        } catch (const EVariantError&) {
        } catch (const EDatabaseError&) {
        }
    });
    return record;
}

int TcxCustomDBLookupEditProperties::FindByText(int itemIndex, const std::string& text, bool partial)
{
    if (!IsListGridMode())
        return TcxCustomLookupEditProperties::FindByText(itemIndex, text, partial);
    if (itemIndex == -1)
        return -1;
    return FindInGridMode(itemIndex, text, partial);
}

// ---- the editor ---------------------------------------------------------------------------------

TClass TcxCustomDBLookupEdit::StaticClass()
{
    return DefineClass<TcxCustomDBLookupEdit, TcxCustomLookupEdit>("TcxCustomDBLookupEdit");
}

TClass TcxCustomDBLookupEdit::GetPropertiesClass() const { return TcxCustomDBLookupEditProperties::StaticClass(); }

bool TcxCustomDBLookupEdit::IsValidChar(char key)
{
    TField* field = ActiveProperties()->GetListField();
    return field ? field->IsValidChar(key) : true;
}

void TcxCustomDBLookupEdit::LookupKeyToEditValue(const Variant& key, Variant& value) { value = key; }
