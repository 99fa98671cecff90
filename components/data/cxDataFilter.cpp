#include "components/data/cxDataFilter.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/data/cxFilterConsts.h"
#include "platform/hostlib/core/update_scope.h"

using hostlib::Variant;

namespace {

// The data object a condition of the controller's filter reads from.
class RecordData : public hostlib::TObject {
public:
    explicit RecordData(int recordIndex) : RecordIndex(recordIndex) {}
    int RecordIndex = -1;
};

} // namespace

hostlib::TClass TcxDataFilterCriteria::StaticClass()
{
    return hostlib::DefineClass<TcxDataFilterCriteria, TcxFilterCriteria>("TcxDataFilterCriteria");
}
hostlib::TClass TcxDataFilterCriteriaItem::StaticClass()
{
    return hostlib::DefineClass<TcxDataFilterCriteriaItem, TcxFilterCriteriaItem>("TcxDataFilterCriteriaItem");
}
hostlib::TClass TcxDataFilterValueList::StaticClass()
{
    return hostlib::DefineClass<TcxDataFilterValueList, TcxFilterValueList>("TcxDataFilterValueList");
}
hostlib::TClass TcxDataFilterList::StaticClass()
{
    return hostlib::DefineClass<TcxDataFilterList, hostlib::TObject>("TcxDataFilterList");
}

// ---- TcxDataFilterCriteria ---------------------------------------------------

void TcxDataFilterCriteria::BeforeDestruction()
{
    destroying_ = true;
    TcxFilterCriteria::BeforeDestruction();
}

void TcxDataFilterCriteria::Destroy()
{
    destroying_ = true;
    if (controller_) controller_->Filters().Remove(this);
    SetActive(false);
    TcxFilterCriteria::Destroy();
}

void TcxDataFilterCriteria::DefineProperties(hostlib::TFiler& filer)
{
    TcxFilterCriteria::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Criteria", [this](hostlib::TStream& stream) { ReadData(stream); },
        [this](hostlib::TStream& stream) { WriteData(stream); }, IsStore());
}

void TcxDataFilterCriteria::Assign(hostlib::TPersistent* source)
{
    auto* other = dynamic_cast<TcxDataFilterCriteria*>(source);
    if (!other) {
        TcxFilterCriteria::Assign(source);
        return;
    }
    hostlib::UpdateScope scope(*this);
    TcxFilterCriteria::Assign(source);
    SetActive(other->Active());
}

void TcxDataFilterCriteria::AssignEvents(hostlib::TPersistent* source)
{
    TcxFilterCriteria::AssignEvents(source);
    if (auto* other = dynamic_cast<TcxDataFilterCriteria*>(source)) OnGetValueList = other->OnGetValueList;
}

hostlib::TObject* TcxDataFilterCriteria::FieldOf(hostlib::TObject* itemLink) const
{
    if (!itemLink || hostlib::Is<TcxCustomDataField>(itemLink)) return itemLink;
    return controller_->Fields().FieldByItem(itemLink);
}

int TcxDataFilterCriteria::GetIDByItemLink(hostlib::TObject* itemLink)
{
    auto* field = dynamic_cast<TcxCustomDataField*>(itemLink);
    return controller_->GetItemID(field ? field->Item() : itemLink);
}

hostlib::TObject* TcxDataFilterCriteria::GetItemLinkByID(int id)
{
    return controller_->FindItemByInternalID(id);
}

hostlib::TClass TcxDataFilterCriteria::GetItemClass() const
{
    return TcxDataFilterCriteriaItem::StaticClass();
}

hostlib::TClass TcxDataFilterCriteria::GetValueListClass() const
{
    return TcxDataFilterValueList::StaticClass();
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::AddItem(TcxFilterCriteriaItemList* parent, hostlib::TObject* itemLink,
                                                      TcxFilterOperatorKind kind, const Variant& value,
                                                      const std::string& displayValue)
{
    return TcxFilterCriteria::AddItem(parent, FieldOf(itemLink), kind, value, displayValue);
}

TcxFilterCriteriaItem* TcxDataFilterCriteria::FindItemByItemLink(hostlib::TObject* itemLink)
{
    return TcxFilterCriteria::FindItemByItemLink(FieldOf(itemLink));
}

TcxDataFilterValueList* TcxDataFilterCriteria::CreateValueList()
{
    return hostlib::CreateInstance<TcxDataFilterValueList>(GetValueListClass(), static_cast<TcxFilterCriteria*>(this));
}

bool TcxDataFilterCriteria::IsFiltering() const
{
    return active_ && !IsEmpty() && !controller_->IsGridMode();
}

bool TcxDataFilterCriteria::DoFilterRecord(int recordIndex)
{
    RecordData data(recordIndex);
    return DoFilterData(&data);
}

void TcxDataFilterCriteria::RemoveItemByField(TcxCustomDataField* field)
{
    RemoveItemByItemLink(field);
}

void TcxDataFilterCriteria::SetActive(bool value)
{
    if (active_ == value) return;
    active_ = value;
    Changed();
}

bool TcxDataFilterCriteria::IsInternal() const
{
    return controller_->Filters().Contains(this);
}

bool TcxDataFilterCriteria::IsLoading() const
{
    return controller_->IsLoading();
}

bool TcxDataFilterCriteria::IsDestroying() const
{
    return destroying_ || controller_->IsDestroying();
}

void TcxDataFilterCriteria::Update()
{
    if (IsInternal() || IsDestroying() || IsLoading()) return;
    if (!controller_->Provider().IsDataSource()) controller_->Post();
    controller_->FilterChanged();
    TcxFilterCriteria::Update();
}

// ---- TcxDataFilterCriteriaItem -----------------------------------------------

TcxCustomDataController* TcxDataFilterCriteriaItem::GetDataController() const
{
    auto* criteria = dynamic_cast<TcxDataFilterCriteria*>(GetCriteria());
    return criteria ? criteria->DataController() : nullptr;
}

TcxCustomDataField* TcxDataFilterCriteriaItem::GetField() const
{
    return dynamic_cast<TcxCustomDataField*>(ItemLink());
}

Variant TcxDataFilterCriteriaItem::GetDataValue(hostlib::TObject* data)
{
    TcxCustomDataField* field = GetField();
    auto* record = dynamic_cast<RecordData*>(data);
    if (!field || !record) return Variant::Null();
    return GetDataController()->GetFilterDataValue(record->RecordIndex, field);
}

std::string TcxDataFilterCriteriaItem::GetFieldCaption()
{
    TcxCustomDataField* field = GetField();
    if (!field || !field->Item()) return std::string();
    return GetDataController()->GetFilterItemFieldCaption(field->Item());
}

std::string TcxDataFilterCriteriaItem::GetFieldName()
{
    TcxCustomDataField* field = GetField();
    if (!field || !field->Item()) return std::string();
    return GetDataController()->GetFilterItemFieldName(field->Item());
}

hostlib::TObject* TcxDataFilterCriteriaItem::GetItemLink() const
{
    TcxCustomDataField* field = GetField();
    return field ? field->Item() : nullptr;
}

// ---- TcxDataFilterValueList --------------------------------------------------

TcxCustomDataController* TcxDataFilterValueList::GetDataController() const
{
    auto* criteria = dynamic_cast<TcxDataFilterCriteria*>(Criteria());
    return criteria ? criteria->DataController() : nullptr;
}

void TcxDataFilterValueList::Load(int itemIndex)
{
    TcxCustomDataController* controller = GetDataController();
    Clear();
    SetSortByDisplayText(controller->IsFilterItemSortByDisplayText(itemIndex));
    Add(fviAll, Variant::Null(), cxSFilterString(cxSFilterBoxAllCaption));
    Add(fviCustom, Variant::Null(), cxSFilterString(cxSFilterBoxCustomCaption));
    bool blanks = controller->IsGridMode();
    if (!blanks) {
        TcxCustomDataField* field = controller->GetField(itemIndex);
        for (int r = 0; r < controller->GetRecordCount(); ++r) {
            const Variant value = controller->GetFilterDataValue(r, field);
            if (Criteria()->ValueIsNull(value))
                blanks = true;
            else
                Add(fviValue, value, controller->GetFilterDisplayText(r, itemIndex));
        }
    }
    if (blanks) {
        Add(fviBlanks, Variant::Null(), cxSFilterString(cxSFilterBoxBlanksCaption));
        Add(fviNonBlanks, Variant::Null(), cxSFilterString(cxSFilterBoxNonBlanksCaption));
    }
    auto* criteria = static_cast<TcxDataFilterCriteria*>(Criteria());
    if (criteria->OnGetValueList) criteria->OnGetValueList(criteria, itemIndex, this);
}

// ---- TcxDataFilterList -------------------------------------------------------

void TcxDataFilterList::Remove(TcxDataFilterCriteria* criteria)
{
    items_.erase(std::remove(items_.begin(), items_.end(), criteria), items_.end());
}

bool TcxDataFilterList::Contains(const TcxDataFilterCriteria* criteria) const
{
    return std::find(items_.begin(), items_.end(), criteria) != items_.end();
}

void TcxDataFilterList::Clear()
{
    while (!items_.empty()) {
        TcxDataFilterCriteria* criteria = items_.back();
        items_.pop_back();
        criteria->Free();
    }
}

void TcxDataFilterList::RemoveItemByField(TcxCustomDataField* field)
{
    for (TcxDataFilterCriteria* criteria : items_) criteria->RemoveItemByField(field);
}

void TcxDataFilterList::Destroy()
{
    Clear();
    TObject::Destroy();
}
