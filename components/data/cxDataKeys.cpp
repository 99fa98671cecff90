#include "components/data/cxDataKeys.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/data/cxVariants.h"

using hostlib::Variant;

namespace cx_data_keys {

hostlib::TClass TcxKeyInfo::StaticClass()
{
    return hostlib::DefineClass<TcxKeyInfo, hostlib::TObject>("TcxKeyInfo");
}
hostlib::TClass TcxSelectedKeyInfo::StaticClass()
{
    return hostlib::DefineClass<TcxSelectedKeyInfo, TcxKeyInfo>("TcxSelectedKeyInfo");
}
hostlib::TClass TcxDetailKeyInfo::StaticClass()
{
    return hostlib::DefineClass<TcxDetailKeyInfo, TcxKeyInfo>("TcxDetailKeyInfo");
}
hostlib::TClass TcxKeys::StaticClass()
{
    return hostlib::DefineClass<TcxKeys, hostlib::TObject>("TcxKeys");
}
hostlib::TClass TcxSelectedKeys::StaticClass()
{
    return hostlib::DefineClass<TcxSelectedKeys, TcxKeys>("TcxSelectedKeys");
}
hostlib::TClass TcxDetailKeys::StaticClass()
{
    return hostlib::DefineClass<TcxDetailKeys, TcxKeys>("TcxDetailKeys");
}
hostlib::TClass TcxSaveObject::StaticClass()
{
    return hostlib::DefineClass<TcxSaveObject, hostlib::TObject>("TcxSaveObject");
}

// ---- TcxKeys -----------------------------------------------------------------

void TcxKeys::Save()
{
    Clear();
    ReadKeyFields();
    DoSave();
    SortByKey();
}

void TcxKeys::Restore()
{
    ReadKeyFields();
    if (items_.empty()) return;
    DoRestore();
    Clear();
}

void TcxKeys::FreeItem(int index)
{
    items_.erase(items_.begin() + index);
}

void TcxKeys::Clear()
{
    items_.clear();
}

void TcxKeys::ReadKeyFields()
{
    keyFields_.clear();
    controller_->GetKeyFields(keyFields_);
}

Variant TcxKeys::KeyOf(int recordIndex) const
{
    return controller_->GetInternalRecordId(recordIndex, keyFields_);
}

void TcxKeys::Add(TcxKeyInfo* info)
{
    items_.emplace_back(info);
}

void TcxKeys::SortByKey()
{
    std::stable_sort(items_.begin(), items_.end(),
                     [](const auto& a, const auto& b) { return VarCompare(a->Key, b->Key) < 0; });
}

int TcxKeys::Find(const Variant& key) const
{
    const auto it = std::lower_bound(items_.begin(), items_.end(), key,
                                     [](const auto& item, const Variant& k) { return VarCompare(item->Key, k) < 0; });
    if (it == items_.end() || VarCompare((*it)->Key, key) != 0) return -1;
    return static_cast<int>(it - items_.begin());
}

// ---- TcxSelectedKeys ---------------------------------------------------------

void TcxSelectedKeys::DoSave()
{
    TcxCustomDataController* controller = DataController();
    TcxDataSelection& selection = controller->DataControllerInfo().Selection();
    for (int i = 0; i < selection.Count(); ++i) {
        const TcxDataSelectionInfo& entry = selection.Items(i);
        if (entry.Level == -1 || entry.RecordIndex < 0 || entry.RecordIndex >= controller->GetRecordCount()) continue;
        auto* info = new TcxSelectedKeyInfo();
        info->Key = KeyOf(entry.RecordIndex);
        info->SelectionIndex = i;
        Add(info);
    }
    controller->DataControllerInfo().SaveExpanding({eisExpanded, eisSelected});
}

void TcxSelectedKeys::DoRestore()
{
    TcxCustomDataController* controller = DataController();
    TcxDataSelection& selection = controller->DataControllerInfo().Selection();
    if (selection.Count() == 0) return;
    for (int record = 0; record < controller->GetRecordCount() && Count() > 0; ++record) {
        const int found = Find(KeyOf(record));
        if (found == -1) continue;
        const int entry = static_cast<TcxSelectedKeyInfo&>(Items(found)).SelectionIndex;
        if (entry >= 0 && entry < selection.Count()) selection.ItemRef(entry).RecordIndex = record;
        FreeItem(found);
    }
    // Records that are gone leave the selection.
    for (int i = 0; i < Count(); ++i) {
        const int entry = static_cast<TcxSelectedKeyInfo&>(Items(i)).SelectionIndex;
        if (entry >= 0 && entry < selection.Count()) selection.ItemRef(entry).RecordIndex = -1;
    }
    for (int i = selection.Count() - 1; i >= 0; --i)
        if (selection.Items(i).RecordIndex == -1) selection.Delete(i);
    controller->DataControllerInfo().ExpandingChanged();
}

// ---- TcxDetailKeys -----------------------------------------------------------

namespace {
// A detail is saved and restored with its own keys only when it is a
// controller of the master's kind.
TcxCustomDataController* SameKindDetail(TcxCustomDataController* master, int recordIndex, int relationIndex)
{
    if (relationIndex < 0 || !master->IsDetailDataControllerExist(recordIndex, relationIndex)) return nullptr;
    TcxCustomDataController* detail = master->GetDetailDataController(recordIndex, relationIndex);
    return detail && detail->InheritsFrom(master->ClassType()) ? detail : nullptr;
}
} // namespace

void TcxDetailKeys::DoSave()
{
    TcxCustomDataController* controller = DataController();
    if (!controller->RelationsExist()) return;
    for (int record = 0; record < controller->GetRecordCount(); ++record) {
        if (!controller->GetDetailExpanding(record)) continue;
        auto* info = new TcxDetailKeyInfo();
        Add(info);
        info->Key = KeyOf(record);
        info->RelationIndex = controller->GetDetailActiveRelationIndex(record);
        if (TcxCustomDataController* detail = SameKindDetail(controller, record, info->RelationIndex)) {
            info->SaveObject.reset(hostlib::CreateObject<TcxSaveObject>(detail));
            info->SaveObject->Save();
        }
    }
}

void TcxDetailKeys::DoRestore()
{
    TcxCustomDataController* controller = DataController();
    for (int record = 0; record < controller->GetRecordCount() && Count() > 0; ++record) {
        const int found = Find(KeyOf(record));
        if (found == -1) continue;
        auto& info = static_cast<TcxDetailKeyInfo&>(Items(found));
        controller->ChangeDetailExpanding(record, true);
        controller->ChangeDetailActiveRelationIndex(record, info.RelationIndex);
        if (info.SaveObject && controller->GetDetailExpanding(record))
            if (TcxCustomDataController* detail = SameKindDetail(controller, record, info.RelationIndex))
                if (detail != controller) info.SaveObject->RestoreInto(detail);
        FreeItem(found);
    }
}

// ---- TcxSaveObject -----------------------------------------------------------

TcxSaveObject::TcxSaveObject(TcxCustomDataController* controller)
    : controller_(controller), detailKeys_(controller), selectedKeys_(controller)
{
}

void TcxSaveObject::Save()
{
    if (controller_->IsCreatingLinkObject() || controller_->IsDestroying() || !controller_->IsKeyNavigation()) return;
    detailKeys_.Save();
    selectedKeys_.Save();
}

void TcxSaveObject::RestoreInto(TcxCustomDataController* controller)
{
    // The detail saved before a reload is a new controller after it.
    controller_ = controller;
    detailKeys_.SetDataController(controller);
    selectedKeys_.SetDataController(controller);
    Restore();
}

void TcxSaveObject::Restore()
{
    if (controller_->IsCreatingLinkObject()) return;
    if (!controller_->IsKeyNavigation()) {
        controller_->CheckSelectedCount(-1);
        return;
    }
    detailKeys_.Restore();
    selectedKeys_.Restore();
}

} // namespace cx_data_keys
