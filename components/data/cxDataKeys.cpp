#include "components/data/cxDataKeys.h"

#include <algorithm>

#include "components/data/cxCustomData.h"
#include "components/data/cxVariants.h"

using hostlib::Variant;

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

// ---- TcxSaveObject -----------------------------------------------------------

TcxSaveObject::TcxSaveObject(TcxCustomDataController* controller)
    : controller_(controller), detailKeys_(controller), selectedKeys_(controller)
{
}

void TcxSaveObject::Save()
{
    if (controller_->IsDestroying() || !controller_->IsKeyNavigation()) return;
    detailKeys_.Save();
    selectedKeys_.Save();
}

void TcxSaveObject::Restore()
{
    if (!controller_->IsKeyNavigation()) {
        controller_->CheckSelectedCount(-1);
        return;
    }
    detailKeys_.Restore();
    selectedKeys_.Restore();
}
