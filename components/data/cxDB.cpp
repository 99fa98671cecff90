#include "components/data/cxDB.h"

#include <algorithm>

#include "platform/hostlib/core/format.h"
#include "platform/hostlib/data/dataset.h"
#include "platform/system/scope_guard.h"

using hostlib::TField;
using hostlib::Variant;
using quelvo::sys::ScopeGuard;

hostlib::TClass TcxDBAdapterItem::StaticClass()
{
    return hostlib::DefineClass<TcxDBAdapterItem, hostlib::TObject>("TcxDBAdapterItem");
}
hostlib::TClass TcxDBAdapterList::StaticClass()
{
    return hostlib::DefineClass<TcxDBAdapterList, hostlib::TObject>("TcxDBAdapterList");
}
hostlib::TClass TcxCustomFieldDataLink::StaticClass()
{
    return hostlib::DefineClass<TcxCustomFieldDataLink, hostlib::TDataLink>("TcxCustomFieldDataLink");
}
hostlib::TClass TcxCustomDBDataBinding::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDBDataBinding, TcxCustomDataBinding>("TcxCustomDBDataBinding");
}

// ---- field helpers -------------------------------------------------------------

bool IsBinaryFieldType(hostlib::TFieldType type)
{
    using namespace hostlib;
    switch (type) {
    case ftBytes: case ftVarBytes: case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle:
    case ftDBaseOle: case ftTypedBinary: case ftCursor: case ftADT: case ftArray: case ftReference: case ftDataSet:
        return true;
    default:
        return false;
    }
}

Variant GetFieldValue(TField* field)
{
    if (hostlib::Is<hostlib::TAggregateField>(field)) return field->Value();
    if (field->IsNull()) return Variant::Null();
    return field->Value();
}

void SetFieldValue(TField* field, const Variant& value)
{
    if (hostlib::Is<hostlib::TDateTimeField>(field) && (value.VarType() & hostlib::varTypeMask) == hostlib::varDouble)
        field->SetAsDateTime(value.AsDouble());
    else
        field->SetValue(value);
}

Variant GetDataSetValues(hostlib::TDataSet*, const std::vector<TField*>& fields)
{
    if (fields.empty()) return Variant::Null();
    if (fields.size() == 1) return GetFieldValue(fields.front());
    std::vector<Variant> values;
    values.reserve(fields.size());
    for (TField* field : fields) values.push_back(GetFieldValue(field));
    return Variant::ArrayOf(values);
}

void SetDataSetValues(hostlib::TDataSet*, const std::vector<TField*>& fields, const Variant& value)
{
    if (fields.empty()) return;
    if (fields.size() == 1) {
        SetFieldValue(fields.front(), value);
        return;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) SetFieldValue(fields[i], value[static_cast<int>(i)]);
}

void GetFieldNames(const std::string& names, std::vector<std::string>& list)
{
    list = hostlib::SplitFieldNames(names);
}

int GetFieldNamesCount(const std::string& names)
{
    return static_cast<int>(hostlib::SplitFieldNames(names).size());
}

bool IsMultipleFieldNames(const std::string& names)
{
    return GetFieldNamesCount(names) > 1;
}

bool IsEqualFieldNames(const std::string& name1, const std::string& name2)
{
    return hostlib::AnsiUpperCase(name1) == hostlib::AnsiUpperCase(name2);
}

void CheckFilterFieldName(std::string& name)
{
    if (!hostlib::IsValidIdent(name)) name = "[" + name + "]";
}

std::string GetFilterFieldName(TField* field, bool ignoreOrigin)
{
    if (!field) return std::string();
    std::string name = ignoreOrigin ? std::string() : field->Origin();
    if (name.empty()) {
        name = field->FieldName();
        CheckFilterFieldName(name);
    }
    return name;
}

bool IsFieldCanModify(TField* field, bool isValueSource)
{
    if (!field->CanModify()) return false;
    if (isValueSource) return true;
    return !(IsBinaryFieldType(field->DataType()) && !field->OnSetText.Assigned());
}

namespace {
template <class F>
bool HasFormats(TField* field)
{
    auto* f = hostlib::As<F>(field);
    return f && (!f->DisplayFormat().empty() || !f->EditFormat().empty());
}

bool CurrencyFlag(TField* field)
{
    if (auto* f = hostlib::As<hostlib::TFloatField>(field)) return f->Currency();
    if (auto* f = hostlib::As<hostlib::TBCDField>(field)) return f->Currency();
    return false;
}
} // namespace

bool IsFieldFormatted(TField* field, bool binaryAnswer)
{
    if (field->OnGetText.Assigned() || !field->EditMask().empty()) return true;
    if (IsBinaryFieldType(field->DataType()) || hostlib::Is<hostlib::TBooleanField>(field)) return binaryAnswer;
    if (hostlib::Is<hostlib::TNumericField>(field)) return HasFormats<hostlib::TNumericField>(field) || CurrencyFlag(field);
    if (auto* f = hostlib::As<hostlib::TDateTimeField>(field)) return !f->DisplayFormat().empty();
    if (auto* f = hostlib::As<hostlib::TAggregateField>(field)) return !f->DisplayFormat().empty() || f->Currency();
    return false;
}

bool CanModifyLookupField(TField* field)
{
    hostlib::TDataSet* dataSet = field->DataSet();
    if (!dataSet || field->KeyFields().empty()) return false;
    const std::vector<TField*> keys = dataSet->GetFieldList(field->KeyFields());
    return !keys.empty() && std::all_of(keys.begin(), keys.end(), [](TField* key) { return key->CanModify(); });
}

// ---- TcxDBAdapterList ----------------------------------------------------------

bool TcxDBAdapterList::FindAdapter(hostlib::TClass dataSetClass, int& index) const
{
    index = -1;
    for (int i = ItemCount() - 1; i >= 0; --i) {
        hostlib::TClass itemClass = Items(i)->DataSetClass();
        if (dataSetClass->InheritsFrom(itemClass)) {
            index = i;
            return true;
        }
        if (itemClass->InheritsFrom(dataSetClass)) index = i;
    }
    return false;
}

void TcxDBAdapterList::RegisterAdapter(hostlib::TClass dataSetClass, hostlib::TClass adapterItemClass)
{
    hostlib::ObjectPtr<TcxDBAdapterItem> item(hostlib::CreateInstance<TcxDBAdapterItem>(adapterItemClass, dataSetClass));
    int index = -1;
    if (FindAdapter(dataSetClass, index))
        ++index;
    else if (index == -1)
        index = ItemCount();
    items_.insert(items_.begin() + index, std::move(item));
}

void TcxDBAdapterList::UnregisterAdapter(hostlib::TClass dataSetClass, hostlib::TClass adapterItemClass)
{
    std::erase_if(items_, [&](const auto& item) {
        return item->DataSetClass() == dataSetClass && item->ClassType() == adapterItemClass;
    });
}

// ---- TcxCustomFieldDataLink ----------------------------------------------------

void TcxCustomFieldDataLink::Construct(TcxCustomDBDataBinding* binding)
{
    binding_ = binding;
    SetVisualControl(false);
}

hostlib::TComponent* TcxCustomFieldDataLink::DataComponent() const
{
    return binding_ ? binding_->DataComponent() : nullptr;
}

bool TcxCustomFieldDataLink::RefreshDisabled() const
{
    return binding_ && binding_->IsRefreshDisabled();
}

void TcxCustomFieldDataLink::UpdateField()
{
    hostlib::TField* field = nullptr;
    if (Active() && !fieldName_.empty()) {
        if (hostlib::TComponent* component = DataComponent())
            field = hostlib::GetFieldProperty(DataSet(), component, fieldName_);
        else
            field = DataSet()->FieldByName(fieldName_);
    }
    SetField(field);
}

void TcxCustomFieldDataLink::SetField(hostlib::TField* value)
{
    if (field_ == value) return;
    field_ = value;
    if (binding_) binding_->DataSetChange();
    EditingChanged();
    RecordChanged(nullptr);
    UpdateRightToLeft();
}

void TcxCustomFieldDataLink::SetFieldName(const std::string& value)
{
    if (fieldName_ == value) return;
    fieldName_ = value;
    UpdateField();
}

void TcxCustomFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (binding_) binding_->DataSetChange();
}

void TcxCustomFieldDataLink::DataEvent(hostlib::TDataEvent event, std::intptr_t info)
{
    if (event != hostlib::deDataSetChange) {
        TDataLink::DataEvent(event, info);
        return;
    }
    UpdateField();
    TDataLink::DataEvent(event, info);
    if (binding_) binding_->DataSetChange();
}

void TcxCustomFieldDataLink::EditingChanged()
{
    SetEditing(TDataLink::Editing() && CanModify());
}

void TcxCustomFieldDataLink::SetEditing(bool value)
{
    if (editing_ == value) return;
    editing_ = value;
    if (!RefreshDisabled()) modified_ = false;
}

void TcxCustomFieldDataLink::RecordChanged(hostlib::TField* field)
{
    if (field && field != field_) return;
    if (binding_) binding_->InternalDataChange();
    if (!RefreshDisabled()) modified_ = false;
}

void TcxCustomFieldDataLink::UpdateData()
{
    if (!modified_) return;
    if (field_ && binding_) binding_->UpdateData();
    if (!RefreshDisabled()) modified_ = false;
}

bool TcxCustomFieldDataLink::Edit()
{
    if (CanModify()) TDataLink::Edit();
    return editing_;
}

bool TcxCustomFieldDataLink::CanModify() const
{
    if (ReadOnly() || !field_) return false;
    return field_->CanModify() || (field_->Lookup() && CanModifyLookupField(field_));
}

// ---- TcxCustomDBDataBinding ----------------------------------------------------

void TcxCustomDBDataBinding::Construct(hostlib::TComponent* owner, hostlib::TComponent* dataComponent)
{
    TcxCustomDataBinding::Construct(owner, dataComponent);
    dataLink_.reset(hostlib::CreateInstance<TcxCustomFieldDataLink>(GetDataLinkClass(), this));
}

void TcxCustomDBDataBinding::Destroy()
{
    dataLink_.reset();
    TcxCustomDataBinding::Destroy();
}

bool TcxCustomDBDataBinding::IsDataSourceLive()
{
    TField* field = Field();
    return field && field->DataSet() && field->DataSet()->Active();
}

bool TcxCustomDBDataBinding::CanModify()
{
    if (!IsDataSourceLive() || Field()->ReadOnly()) return false;
    return Field()->CanModify() || (Field()->Lookup() && CanModifyLookupField(Field()));
}

Variant TcxCustomDBDataBinding::GetStoredValue(TcxDataEditValueSource valueSource, bool editFocused)
{
    if (!IsDataSourceLive()) return Variant::Null();
    TField* field = Field();
    if (field->IsNull() && valueSource != evsText) return Variant::Null();
    switch (valueSource) {
    case evsText:
        return Variant(editFocused && dataLink_->CanModify() ? field->Text() : field->DisplayText());
    case evsKey:
        if (!field->KeyFields().empty()) return field->DataSet()->FieldValues(field->KeyFields());
        return field->Value();
    default:
        return field->Value();
    }
}

void TcxCustomDBDataBinding::WriteField(TField* field, const Variant& value)
{
    // Only text fields keep an empty text; others take it as no value.
    const hostlib::TFieldType type = Field()->DataType();
    const bool emptyText = hostlib::VarIsStr(value) && value.AsString().empty();
    if (emptyText && type != hostlib::ftString && type != hostlib::ftWideString)
        SetFieldValue(field, Variant::Null());
    else
        SetFieldValue(field, value);
}

void TcxCustomDBDataBinding::WriteKey(const Variant& value)
{
    TField* field = Field();
    const std::vector<TField*> keys = field->DataSet()->GetFieldList(field->KeyFields());
    if (keys.size() == 1) {
        WriteField(keys.front(), value);
        return;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) WriteField(keys[i], value[static_cast<int>(i)]);
    field->DataSet()->SetFieldValues(field->KeyFields(), value);
}

void TcxCustomDBDataBinding::SetStoredValue(TcxDataEditValueSource valueSource, const Variant& value)
{
    if (!IsDataSourceLive()) return;
    DisableRefresh();
    ScopeGuard enable([this] { EnableRefresh(); });
    dataLink_->Edit();
    if (!dataLink_->IsEditing()) return;
    TField* field = Field();
    if (valueSource == evsText)
        field->SetText(hostlib::VarToStr(value));
    else if (valueSource == evsKey && field->Lookup() && !field->KeyFields().empty())
        WriteKey(value);
    else
        WriteField(field, value);
}

bool TcxCustomDBDataBinding::SetEditMode()
{
    if (!CanModify()) return false;
    DisableRefresh();
    ScopeGuard enable([this] { EnableRefresh(); });
    dataLink_->Edit();
    if (dataLink_->IsEditing()) dataLink_->Modified();
    return dataLink_->IsEditing();
}

bool TcxCustomDBDataBinding::GetModified()
{
    return IsDataSourceLive() && dataLink_->IsEditing() && dataLink_->IsModified();
}

void TcxCustomDBDataBinding::InternalDataChange()
{
    if (!IsRefreshDisabled()) DataChange();
}
