#include "components/editors/cxEditInplaceList.h"

#include <algorithm>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/update_scope.h"

using namespace hostlib;

TClass TcxInplaceEditList::StaticClass() { return DefineClass<TcxInplaceEditList, TObject>("TcxInplaceEditList"); }

void TcxInplaceEditList::Destroy()
{
    DestroyItems();
    TObject::Destroy();
}

TcxEditListItem* TcxInplaceEditList::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)].get();
}

TcxEditListItem* TcxInplaceEditList::Add(TcxCustomEdit* edit, TcxCustomEditProperties* properties)
{
    items_.push_back(std::make_unique<TcxEditListItem>(TcxEditListItem{edit, properties}));
    return items_.back().get();
}

TcxCustomEdit* TcxInplaceEditList::CreateEdit(TcxCustomEditProperties* properties)
{
    auto* edit = CreateInstance<TcxCustomEdit>(properties->GetContainerClass(), true, static_cast<TComponent*>(nullptr));
    edit->SetVisible(false);
    return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditProperties* properties)
{
    TcxCustomEdit* edit = FindEdit(properties);
    if (!edit)
        edit = Add(CreateEdit(properties), properties)->Edit;
    edit->LockChangeEvents(true);
    quelvo::sys::ScopeGuard unlock([edit] { edit->LockChangeEvents(false, false); });
    edit->Properties()->Assign(properties);
    return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TClass propertiesClass)
{
    for (const auto& item : items_)
        if (item->Edit->Properties()->ClassType() == propertiesClass)
            return item->Edit;
    // The container class is the kind's answer; a sample of the kind asks.
    ObjectPtr<TcxCustomEditProperties> sample(
        CreateInstance<TcxCustomEditProperties>(propertiesClass, static_cast<TPersistent*>(nullptr)));
    auto* edit = CreateInstance<TcxCustomEdit>(sample->GetContainerClass(), true, static_cast<TComponent*>(nullptr));
    return Add(edit, edit->Properties())->Edit;
}

TcxEditListItem* TcxInplaceEditList::FindItem(TcxCustomEditProperties* properties) const
{
    for (const auto& item : items_)
        if (item->Properties == properties)
            return item.get();
    return nullptr;
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(TcxCustomEditProperties* properties) const
{
    TcxEditListItem* item = FindItem(properties);
    return item ? item->Edit : nullptr;
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditProperties* properties)
{
    if (TcxEditListItem* item = FindItem(properties))
        RemoveItem(item);
}

void TcxInplaceEditList::RemoveItem(TcxEditListItem* item)
{
    auto it = std::find_if(items_.begin(), items_.end(), [item](const auto& p) { return p.get() == item; });
    if (it == items_.end())
        return;
    std::unique_ptr<TcxEditListItem> owned = std::move(*it);
    items_.erase(it);
    owned->Edit->Free();
}

void TcxInplaceEditList::DestroyItems()
{
    while (!items_.empty())
        RemoveItem(items_.back().get());
}
