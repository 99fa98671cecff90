#include "components/data/cxCustomDataRelations.h"

#include <algorithm>
#include <cstdint>

#include "components/data/cxCustomData.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/system/scope_guard.h"

using hostlib::Variant;
using quelvo::sys::ScopeGuard;

namespace {
using UpdateBracket = hostlib::UpdateScope<TcxCustomDataController>;

Variant AddressOf(hostlib::TObject* object)
{
    return Variant(static_cast<long long>(reinterpret_cast<std::intptr_t>(object)));
}
} // namespace

hostlib::TClass TcxDetailInfoObject::StaticClass()
{
    return hostlib::DefineClass<TcxDetailInfoObject, hostlib::TObject>("TcxDetailInfoObject");
}
hostlib::TClass TcxDetailObject::StaticClass()
{
    return hostlib::DefineClass<TcxDetailObject, hostlib::TObject>("TcxDetailObject");
}
hostlib::TClass TcxCustomDataRelation::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataRelation, hostlib::TObject>("TcxCustomDataRelation");
}
hostlib::TClass TcxCustomDataRelationList::StaticClass()
{
    return hostlib::DefineClass<TcxCustomDataRelationList, hostlib::TObject>("TcxCustomDataRelationList");
}

// ---- TcxDetailObject -----------------------------------------------------------

bool TcxDetailObject::Clear()
{
    bool cleared = false;
    for (auto& info : infos_) {
        cleared = cleared || info != nullptr;
        info.reset();
    }
    return cleared;
}

bool TcxDetailObject::ClearInfoObject(int index)
{
    if (!GetInfoObject(index)) return false;
    infos_[static_cast<std::size_t>(index)].reset();
    return true;
}

bool TcxDetailObject::ClearHasChildrenFlag()
{
    bool cleared = false;
    for (auto& info : infos_) {
        if (!info || !info->HasChildrenAssigned) continue;
        info->HasChildrenAssigned = false;
        cleared = true;
    }
    return cleared;
}

void TcxDetailObject::Grow(int count)
{
    if (count > GetLinkObjectCount()) infos_.resize(static_cast<std::size_t>(count));
}

void TcxDetailObject::CorrectCount(int count)
{
    Grow(count);
    if (infos_.empty())
        ActiveRelationIndex = -1;
    else if (ActiveRelationIndex < 0)
        ActiveRelationIndex = 0;
    else if (ActiveRelationIndex >= count)
        ActiveRelationIndex = count - 1;
}

TcxDetailInfoObject* TcxDetailObject::GetInfoObject(int index) const
{
    if (index < 0 || index >= GetLinkObjectCount()) return nullptr;
    return infos_[static_cast<std::size_t>(index)].get();
}

void TcxDetailObject::SetInfoObject(int index, TcxDetailInfoObject* info)
{
    Grow(index + 1);
    infos_[static_cast<std::size_t>(index)].reset(info);
}

hostlib::TObject* TcxDetailObject::GetLinkObject(int index) const
{
    const TcxDetailInfoObject* info = GetInfoObject(index);
    return info ? info->LinkObject.get() : nullptr;
}

void TcxDetailObject::SetLinkObject(int index, hostlib::TObject* linkObject)
{
    if (!GetInfoObject(index)) SetInfoObject(index, hostlib::CreateObject<TcxDetailInfoObject>());
    infos_[static_cast<std::size_t>(index)]->LinkObject.reset(linkObject);
}

bool TcxDetailObject::GetIsEmpty() const
{
    return std::none_of(infos_.begin(), infos_.end(), [](const auto& info) { return info && info->LinkObject; });
}

// ---- TcxCustomDataRelation ---------------------------------------------------

void TcxCustomDataRelation::Construct(TcxCustomDataRelationList* relationList, hostlib::TObject* item)
{
    item_ = item;
    relationList->AddItem(this);
}

void TcxCustomDataRelation::Destroy()
{
    if (TcxCustomDataController* detail = detailDataController_) {
        detail->SetMasterMode(nullptr, detail->IsPattern());
        detailDataController_ = nullptr;
    }
    if (relationList_) relationList_->RemoveItem(this);
    TObject::Destroy();
}

void TcxCustomDataRelation::Changed()
{
    if (relationList_) relationList_->Changed(this);
}

TcxCustomDataController* TcxCustomDataRelation::GetDataController() const
{
    return relationList_ ? relationList_->DataController() : nullptr;
}

int TcxCustomDataRelation::GetIndex() const
{
    return relationList_ ? relationList_->IndexOf(this) : -1;
}

// ---- TcxCustomDataRelationList -----------------------------------------------

void TcxCustomDataRelationList::Construct(TcxCustomDataController* controller)
{
    controller_ = controller;
}

void TcxCustomDataRelationList::Destroy()
{
    Clear();
    TObject::Destroy();
}

TcxCustomDataRelation* TcxCustomDataRelationList::Add(hostlib::TObject* item)
{
    return hostlib::CreateInstance<TcxCustomDataRelation>(controller_->GetRelationClass(), this, item);
}

void TcxCustomDataRelationList::AddItem(TcxCustomDataRelation* relation)
{
    items_.push_back(relation);
    relation->SetRelationList(this);
    Changed(relation);
}

void TcxCustomDataRelationList::RemoveItem(TcxCustomDataRelation* relation)
{
    controller_->ClearDetailsMasterRelation(relation);
    items_.erase(std::remove(items_.begin(), items_.end(), relation), items_.end());
    relation->SetRelationList(nullptr);
    Changed(relation);
}

void TcxCustomDataRelationList::Assign(TcxCustomDataRelationList* source)
{
    BeginUpdate();
    ScopeGuard end([this] { EndUpdate(); });
    Clear();
    for (int i = 0; i < source->GetCount(); ++i) Add(source->GetItem(i)->Item())->Assign(source->GetItem(i));
}

void TcxCustomDataRelationList::Clear()
{
    BeginUpdate();
    ScopeGuard end([this] { EndUpdate(); });
    while (!items_.empty()) items_.back()->Free();
}

void TcxCustomDataRelationList::Move(int from, int to)
{
    if (from == to) return;
    TcxCustomDataRelation* relation = GetItem(from);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + std::clamp(to, 0, GetCount()), relation);
    Changed(nullptr);
}

void TcxCustomDataRelationList::RemoveByItem(hostlib::TObject* item)
{
    if (TcxCustomDataRelation* relation = FindByItem(item)) relation->Free();
}

TcxCustomDataRelation* TcxCustomDataRelationList::FindByItem(hostlib::TObject* item) const
{
    const auto it = std::find_if(items_.begin(), items_.end(), [item](auto* r) { return r->Item() == item; });
    return it == items_.end() ? nullptr : *it;
}

int TcxCustomDataRelationList::IndexOf(const TcxCustomDataRelation* relation) const
{
    const auto it = std::find(items_.begin(), items_.end(), relation);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TcxCustomDataRelationList::EndUpdate()
{
    if (lockCount_ > 0) --lockCount_;
    Changed(nullptr);
}

void TcxCustomDataRelationList::Changed(TcxCustomDataRelation* relation)
{
    if (lockCount_ == 0) Update(relation);
}

void TcxCustomDataRelationList::Update(TcxCustomDataRelation* relation)
{
    UpdateBracket bracket(*controller_);
    if (items_.empty()) {
        if (TcxCustomDataField* field = dataField_) {
            dataField_ = nullptr;
            field->Free(); // frees every detail object with it
        }
    } else if (dataField_) {
        controller_->ClearDetails();
    } else {
        TcxCustomDataField* field = controller_->AddInternalField();
        field->SetValueTypeClass(TcxObjectValueType::Class());
        dataField_ = field;
    }
    controller_->UpdateRelations(relation);
}

void TcxCustomDataRelationList::RemoveDataField(TcxCustomDataField* field)
{
    if (field == dataField_) dataField_ = nullptr;
    for (TcxCustomDataRelation* relation : items_) relation->RemoveDataField(field);
}

TcxDetailObject* TcxCustomDataRelationList::GetValueAsDetailObject(int recordIndex) const
{
    if (!dataField_) return nullptr;
    const Variant value = controller_->GetStoredValue(recordIndex, dataField_);
    if (value.IsNull() || value.IsEmpty()) return nullptr;
    return reinterpret_cast<TcxDetailObject*>(static_cast<std::intptr_t>(value.AsInt64()));
}

void TcxCustomDataRelationList::StoreDetailObject(int recordIndex, TcxDetailObject* detail)
{
    // The record's place owns the object: storing another frees the old.
    controller_->SetStoredValue(recordIndex, dataField_, AddressOf(detail));
}

bool TcxCustomDataRelationList::IsEmpty() const
{
    TcxCustomDataController* pattern = controller_->GetPatternDataController();
    if (!pattern || !pattern->RelationsExist()) return true;
    const TcxCustomDataRelationList& list = pattern->Relations();
    return std::none_of(list.items_.begin(), list.items_.end(), [](auto* r) { return r->DetailDataController(); });
}

TcxDetailObject* TcxCustomDataRelationList::GetDetailObject(int recordIndex)
{
    controller_->CheckRecordRange(recordIndex);
    if (!dataField_) return nullptr;
    TcxDetailObject* detail = GetValueAsDetailObject(recordIndex);
    if (IsEmpty()) {
        if (detail) ReleaseDetailObject(recordIndex, detail);
        return nullptr;
    }
    if (!detail) {
        detail = hostlib::CreateObject<TcxDetailObject>();
        detail->ActiveRelationIndex = controller_->GetDefaultActiveRelationIndex();
        StoreDetailObject(recordIndex, detail);
    }
    detail->CorrectCount(GetCount());
    return detail;
}

void TcxCustomDataRelationList::ReleaseDetailObject(int recordIndex, TcxDetailObject* detail)
{
    for (int i = 0; i < detail->GetLinkObjectCount(); ++i) {
        hostlib::TObject* link = detail->GetLinkObject(i);
        if (!link) continue;
        if (TcxCustomDataController* clone = controller_->GetDetailDataControllerByLinkObject(link))
            clone->SetMasterRelation(nullptr, -1);
    }
    StoreDetailObject(recordIndex, nullptr);
}

bool TcxCustomDataRelationList::IsDetailObjectExist(int recordIndex, int relationIndex)
{
    controller_->CheckRecordRange(recordIndex);
    const TcxDetailObject* detail = GetValueAsDetailObject(recordIndex);
    if (!detail) return false;
    return relationIndex == -1 ? !detail->GetIsEmpty() : detail->GetLinkObject(relationIndex) != nullptr;
}

bool TcxCustomDataRelationList::ClearDetailObject(int recordIndex, int relationIndex)
{
    controller_->CheckRecordRange(recordIndex);
    TcxDetailObject* detail = GetValueAsDetailObject(recordIndex);
    if (!detail) return false;
    return relationIndex == -1 ? detail->Clear() : detail->ClearInfoObject(relationIndex);
}

// ---- TcxCustomDataController: master-detail ---------------------------------

hostlib::TClass TcxCustomDataController::GetRelationClass() const
{
    return TcxCustomDataRelation::StaticClass();
}

TcxCustomDataRelationList& TcxCustomDataController::Relations()
{
    if (!relations_) relations_.reset(hostlib::CreateObject<TcxCustomDataRelationList>(this));
    return *relations_;
}

TcxCustomDataController* TcxCustomDataController::GetMasterDataController() const
{
    TcxCustomDataRelation* relation = GetMasterRelation();
    return relation ? relation->GetDataController() : nullptr;
}

TcxCustomDataController* TcxCustomDataController::GetRootDataController()
{
    TcxCustomDataController* root = this;
    while (TcxCustomDataController* master = root->GetMasterDataController()) root = master;
    return root;
}

namespace {
TcxCustomDataController* FindPatternByItem(TcxCustomDataController* controller, hostlib::TObject* item, int depth)
{
    // A pattern chain deeper than this is a cycle the control made.
    if (!controller || !controller->RelationsExist() || depth > 64) return nullptr;
    TcxCustomDataRelationList& list = controller->Relations();
    for (int i = 0; i < list.GetCount(); ++i) {
        TcxCustomDataRelation* relation = list.GetItem(i);
        if (relation->Item() == item && relation->DetailDataController()) return relation->DetailDataController();
    }
    for (int i = 0; i < list.GetCount(); ++i)
        if (TcxCustomDataController* found = FindPatternByItem(list.GetItem(i)->DetailDataController(), item, depth + 1))
            return found;
    return nullptr;
}
} // namespace

TcxCustomDataController* TcxCustomDataController::GetPatternDataController()
{
    TcxCustomDataRelation* relation = GetMasterRelation();
    if (!relation) return this;
    TcxCustomDataController* pattern = FindPatternByItem(GetRootDataController(), relation->Item(), 0);
    return pattern ? pattern : this;
}

TcxDataControllerDetailMode TcxCustomDataController::GetDetailMode() const
{
    if (GetMasterRelation()) return GetMasterRecordIndex() == -1 ? dcdmPattern : dcdmClone;
    return isPattern_ ? dcdmPattern : dcdmNone;
}

void TcxCustomDataController::LeaveMasterRelation(int newMasterRecordIndex)
{
    TcxCustomDataRelation* old = masterRelation_;
    const bool pattern = old->DetailDataController() == this;
    // A relation never keeps a controller that left it as its pattern.
    if (pattern) old->SetDetailDataController(nullptr);
    if (!(pattern && newMasterRecordIndex == -1)) SetCustomDataSource(nullptr);
    if (relations_) relations_->Changed(nullptr);
}

void TcxCustomDataController::SetMasterRelation(TcxCustomDataRelation* relation, int masterRecordIndex)
{
    if (!relation && !masterRelation_ && masterRecordIndex == -1 && masterRecordIndex_ == -1) return;
    UpdateBracket bracket(*this);
    if (masterRelation_) LeaveMasterRelation(masterRecordIndex);
    masterRelation_ = relation;
    if (relation && masterRecordIndex == -1) {
        relation->SetDetailDataController(this);
        relation->Changed();
    } else if (relation) {
        TcxCustomDataController* pattern = GetPatternDataController();
        if (pattern != this) SetCustomDataSource(pattern->GetCustomDataSource());
    }
    masterRecordIndex_ = masterRecordIndex;
    LayoutChanged({lcData});
}

void TcxCustomDataController::SetMasterMode(TcxCustomDataRelation* relation, bool isPattern)
{
    UpdateBracket bracket(*this);
    SetMasterRelation(relation, -1);
    SetIsPattern(isPattern);
}

void TcxCustomDataController::SetIsPattern(bool value)
{
    if (value && dataChangeRefCount_ > 0 && masterRelation_) throw hostlib::Exception("!");
    isPatternRequest_ = value;
    const bool old = isPattern_;
    isPattern_ = value && dataChangeRefCount_ == 0;
    if (isPattern_ != old && !destroying_ && !IsDestroying()) RestructData();
}

void TcxCustomDataController::AddDataChangeRefCount()
{
    ++dataChangeRefCount_;
    SetIsPattern(isPatternRequest_);
}

void TcxCustomDataController::RemoveDataChangeRefCount()
{
    --dataChangeRefCount_;
    SetIsPattern(isPatternRequest_);
}

hostlib::TObject* TcxCustomDataController::CreateLinkObject(TcxDetailObject* detail, int recordIndex, int relationIndex)
{
    if (relationIndex < 0 || relationIndex >= relations_->GetCount()) return nullptr;
    TcxCustomDataController* pattern = GetPatternDataController();
    creatingLinkObject_ = true;
    pattern->creatingLinkObject_ = true;
    ScopeGuard clear([this, pattern] {
        creatingLinkObject_ = false;
        pattern->creatingLinkObject_ = false;
    });
    hostlib::ObjectPtr<hostlib::TObject> link(CreateDetailLinkObject(relations_->GetItem(relationIndex), recordIndex));
    if (!link) return nullptr;
    // The control's handlers may have removed the record or its details
    // meanwhile: a link made for them is dropped.
    const bool inRange = (recordIndex >= 0 && recordIndex < GetRecordCount()) || IsNewItemRecordIndex(recordIndex);
    if (!inRange || !relations_ || relations_->GetValueAsDetailObject(recordIndex) != detail) return nullptr;
    detail->SetLinkObject(relationIndex, link.release());
    return detail->GetLinkObject(relationIndex);
}

hostlib::TObject* TcxCustomDataController::GetDetailLinkObject(int recordIndex, int relationIndex)
{
    TcxDetailObject* detail = relations_ ? relations_->GetDetailObject(recordIndex) : nullptr;
    if (!detail) return nullptr;
    hostlib::TObject* link = detail->GetLinkObject(relationIndex);
    if (!link && !creatingLinkObject_) link = CreateLinkObject(detail, recordIndex, relationIndex);
    if (!link && !retryingLinkObject_) {
        retryingLinkObject_ = true;
        ScopeGuard clear([this] { retryingLinkObject_ = false; });
        link = GetDetailLinkObject(recordIndex, relationIndex);
    }
    return link;
}

TcxCustomDataController* TcxCustomDataController::GetDetailDataController(int recordIndex, int relationIndex)
{
    hostlib::TObject* link = GetDetailLinkObject(recordIndex, relationIndex);
    return link ? GetDetailDataControllerByLinkObject(link) : nullptr;
}

bool TcxCustomDataController::IsDetailDataControllerExist(int recordIndex, int relationIndex)
{
    return relations_ && relations_->IsDetailObjectExist(recordIndex, relationIndex);
}

void TcxCustomDataController::ForEachExistingDetail(int recordIndex,
                                                    const std::function<void(int, TcxCustomDataController*)>& proc)
{
    TcxDetailObject* detail = relations_ ? relations_->GetValueAsDetailObject(recordIndex) : nullptr;
    if (!detail) return;
    for (int i = 0; i < detail->GetLinkObjectCount(); ++i) {
        hostlib::TObject* link = detail->GetLinkObject(i);
        TcxCustomDataController* controller = link ? GetDetailDataControllerByLinkObject(link) : nullptr;
        if (controller) proc(i, controller);
    }
}

int TcxCustomDataController::GetDetailActiveRelationIndex(int recordIndex)
{
    if (!relations_ || relations_->IsEmpty()) return -1;
    const TcxDetailObject* detail = relations_->GetDetailObject(recordIndex);
    return detail ? detail->ActiveRelationIndex : -1;
}

void TcxCustomDataController::ChangeDetailActiveRelationIndex(int recordIndex, int relationIndex)
{
    if (GetDetailActiveRelationIndex(recordIndex) == relationIndex) return;
    CheckBrowseMode();
    TcxDetailObject* detail = relations_ ? relations_->GetDetailObject(recordIndex) : nullptr;
    if (!detail) return;
    detail->ActiveRelationIndex = relationIndex;
    Change({dccDetail});
}

bool TcxCustomDataController::GetDetailExpanding(int recordIndex)
{
    if (!relations_ || recordIndex < 0 || recordIndex >= GetRecordCount()) return false;
    const TcxDetailObject* detail = relations_->GetDetailObject(recordIndex);
    return detail && detail->Expanded;
}

bool TcxCustomDataController::ChangeDetailExpanding(int recordIndex, bool expanded)
{
    if (GetDetailExpanding(recordIndex) == expanded) return false;
    CheckBrowseMode();
    if (recordIndex < 0 || recordIndex >= GetRecordCount() || !relations_) return false;
    TcxDetailObject* detail = relations_->GetDetailObject(recordIndex);
    if (!detail || !CanChangeDetailExpanding(recordIndex, expanded)) return false;
    detail->Expanded = expanded;
    Change({dccDetail});
    if (expanded)
        DoDetailExpanded(recordIndex);
    else
        DoDetailCollapsed(recordIndex);
    return true;
}

bool TcxCustomDataController::CanChangeDetailExpanding(int recordIndex, bool expanded)
{
    bool allow = true;
    if (expanded)
        DoDetailExpanding(recordIndex, allow);
    else
        DoDetailCollapsing(recordIndex, allow);
    return allow;
}

void TcxCustomDataController::CollapseDetails()
{
    CheckBrowseMode();
    if (!relations_) return;
    UpdateBracket bracket(*this);
    for (int r = 0; r < GetRecordCount(); ++r) {
        relations_->ClearDetailObject(r, -1);
        if (TcxDetailObject* detail = relations_->GetValueAsDetailObject(r)) {
            detail->Expanded = false;
            Change({dccDetail});
        }
    }
}

void TcxCustomDataController::ClearDetailLinkObject(int recordIndex, int relationIndex)
{
    if (relations_ && relations_->ClearDetailObject(recordIndex, relationIndex)) Change({dccDetail});
}

void TcxCustomDataController::ClearDetails()
{
    UpdateBracket bracket(*this);
    for (int r = 0; r < GetRecordCount(); ++r) ClearDetailLinkObject(r, -1);
}

void TcxCustomDataController::ClearDetailsMasterRelation(TcxCustomDataRelation* relation)
{
    const int index = relations_ ? relations_->IndexOf(relation) : -1;
    if (index == -1) return;
    for (int r = 0; r < GetRecordCount(); ++r)
        ForEachExistingDetail(r, [index](int i, TcxCustomDataController* detail) {
            if (i == index) detail->SetMasterRelation(nullptr, -1);
        });
}

bool TcxCustomDataController::GetDetailHasChildren(int recordIndex, int relationIndex)
{
    if (IsDetailDataControllerExist(recordIndex, relationIndex))
        if (TcxCustomDataController* detail = GetDetailDataController(recordIndex, relationIndex))
            return detail->GetRecordCount() > 0;
    if (!IsProviderMode() && !provider_->IsDataSource()) return false;
    TcxDetailObject* detail = relations_ ? relations_->GetDetailObject(recordIndex) : nullptr;
    if (!detail || relationIndex < 0) return true;
    TcxDetailInfoObject* info = detail->GetInfoObject(relationIndex);
    if (!info) {
        info = hostlib::CreateObject<TcxDetailInfoObject>();
        detail->SetInfoObject(relationIndex, info);
    }
    if (!info->HasChildrenAssigned) {
        info->HasChildren = provider_->GetDetailHasChildren(recordIndex, relationIndex);
        info->HasChildrenAssigned = true;
    }
    return info->HasChildren;
}

void TcxCustomDataController::ResetHasChildrenFlag()
{
    if (!relations_ || !relations_->DataField()) return;
    bool cleared = false;
    for (int r = 0; r < GetRecordCount(); ++r)
        if (TcxDetailObject* detail = relations_->GetValueAsDetailObject(r)) cleared = detail->ClearHasChildrenFlag() || cleared;
    if (cleared) Change({dccLayout});
}

void TcxCustomDataController::FocusDetails(int recordIndex)
{
    const int active = GetDetailActiveRelationIndex(recordIndex);
    ForEachExistingDetail(recordIndex, [active](int i, TcxCustomDataController* detail) {
        if (i == active) detail->CheckFocusedRow();
    });
}

void TcxCustomDataController::ForEachDetail(TcxCustomDataRelation* relation, const TcxDataControllerEachDetailProc& proc)
{
    std::vector<int> chain;
    TcxCustomDataController* top = this;
    for (TcxCustomDataRelation* r = relation; r && chain.size() <= 64; r = r->GetDataController()->GetMasterRelation()) {
        if (!r->GetDataController()) return;
        chain.insert(chain.begin(), r->GetIndex());
        top = r->GetDataController();
    }
    if (!chain.empty()) top->ForEachDetailOnChain(chain, 0, proc);
}

void TcxCustomDataController::ForEachDetailOnChain(const std::vector<int>& chain, std::size_t depth,
                                                   const TcxDataControllerEachDetailProc& proc)
{
    for (int r = 0; r < GetRecordCount(); ++r)
        ForEachExistingDetail(r, [&](int i, TcxCustomDataController* detail) {
            if (i != chain[depth]) return;
            if (depth + 1 == chain.size())
                proc(detail);
            else
                detail->ForEachDetailOnChain(chain, depth + 1, proc);
        });
}

void TcxCustomDataController::ResetRelationByItem(hostlib::TObject* item)
{
    if (relations_ && relations_->FindByItem(item)) {
        ClearDetails();
        return;
    }
    for (int r = 0; r < GetRecordCount(); ++r)
        ForEachExistingDetail(r, [item](int, TcxCustomDataController* detail) { detail->ResetRelationByItem(item); });
}

void TcxCustomDataController::UpdateRelations(TcxCustomDataRelation*)
{
    if (destroying_ || IsDestroying()) return;
    if (GetDetailMode() == dcdmPattern && masterRelation_)
        GetRootDataController()->ResetRelationByItem(masterRelation_->Item());
    else
        Change({dccData});
}

void TcxCustomDataController::SyncMasterPos()
{
    if (GetDetailMode() == dcdmClone) Change({dccSyncMasterPost});
    NotifyDataControllers();
}

void TcxCustomDataController::CorrectAfterInsert(int recordIndex)
{
    if (!relations_ || !relations_->DataField()) return;
    for (int r = recordIndex + 1; r < GetRecordCount(); ++r)
        ForEachExistingDetail(r, [](int, TcxCustomDataController* detail) {
            detail->SetMasterRecordIndex(detail->GetMasterRecordIndex() + 1);
        });
}

void TcxCustomDataController::CorrectAfterDelete(int recordIndex)
{
    if (recordIndex < 0) return;
    CheckEditingRecordIndex(recordIndex);
    if (!relations_ || !relations_->DataField()) return;
    for (int r = recordIndex; r < GetRecordCount(); ++r)
        ForEachExistingDetail(r, [](int, TcxCustomDataController* detail) {
            detail->SetMasterRecordIndex(detail->GetMasterRecordIndex() - 1);
        });
}
