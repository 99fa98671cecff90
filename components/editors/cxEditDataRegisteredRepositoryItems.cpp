#include "components/editors/cxEditDataRegisteredRepositoryItems.h"

#include "platform/hostlib/core/exceptions.h"

using namespace hostlib;

// ---- TcxEditRegisteredRepositoryItems ----------------------------------------------

TClass TcxEditRegisteredRepositoryItems::StaticClass()
{
    return DefineClass<TcxEditRegisteredRepositoryItems, TcxInterfacedPersistent>("TcxEditRegisteredRepositoryItems");
}

void TcxEditRegisteredRepositoryItems::BeforeDestruction()
{
    destroying_ = true;
    TcxInterfacedPersistent::BeforeDestruction();
}

void TcxEditRegisteredRepositoryItems::Destroy()
{
    Clear();
    TcxInterfacedPersistent::Destroy();
}

bool TcxEditRegisteredRepositoryItems::Find(const TcxEditRegisteredRepositoryItemsList& list, std::intptr_t key,
                                            int& index, int priority) const
{
    // Negative: the entry comes before (key, priority) in descending order.
    auto compare = [&](const TcxEditRegisteredRepositoryItemsData& entry) {
        if (entry.DataKey != key)
            return entry.DataKey > key ? -1 : 1;
        if (priority == kAnyPriority || entry.Priority == priority)
            return 0;
        return entry.Priority > priority ? -1 : 1;
    };
    int low = 0, high = static_cast<int>(list.size()) - 1;
    while (low <= high) {
        int middle = (low + high) / 2;
        int c = compare(list[static_cast<size_t>(middle)]);
        if (c == 0) {
            index = middle;
            return true;
        }
        if (c < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    index = low;
    return false;
}

int TcxEditRegisteredRepositoryItems::Add(TcxEditRegisteredRepositoryItemsList& list, std::intptr_t key,
                                          TcxEditRepositoryItem* item, int priority)
{
    int index = 0;
    if (Find(list, key, index, priority))
        return index;
    list.insert(list.begin() + index, TcxEditRegisteredRepositoryItemsData{key, priority, item});
    if (item)
        item->AddListener(this);
    Changed();
    return index;
}

void TcxEditRegisteredRepositoryItems::Delete(TcxEditRegisteredRepositoryItemsList& list, int index)
{
    TcxEditRepositoryItem* item = list[static_cast<size_t>(index)].RepositoryItem;
    list.erase(list.begin() + index);
    // Another entry may still hold the item.
    auto holds = [item](const TcxEditRegisteredRepositoryItemsData& e) { return e.RepositoryItem == item; };
    if (item && std::ranges::none_of(items_, holds) && std::ranges::none_of(defaultItems_, holds))
        item->RemoveListener(this);
    Changed();
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::FirstItem(const TcxEditRegisteredRepositoryItemsList& list)
{
    return list.empty() ? nullptr : list.front().RepositoryItem;
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetDefaultItem() { return FirstItem(defaultItems_); }

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetItem(std::intptr_t key)
{
    int index = 0;
    if (key != 0 && Find(items_, key, index))
        return items_[static_cast<size_t>(index)].RepositoryItem;
    return GetDefaultItem();
}

void TcxEditRegisteredRepositoryItems::RegisterDefaultItem(int priority, TcxEditRepositoryItem* item)
{
    Add(defaultItems_, 0, item, priority);
}

void TcxEditRegisteredRepositoryItems::RegisterItem(std::intptr_t key, int priority, TcxEditRepositoryItem* item)
{
    Add(items_, key, item, priority);
}

void TcxEditRegisteredRepositoryItems::UnregisterDefaultItem(int priority)
{
    int index = 0;
    if (Find(defaultItems_, 0, index, priority))
        Delete(defaultItems_, index);
}

void TcxEditRegisteredRepositoryItems::UnregisterItem(std::intptr_t key, int priority)
{
    int index = 0;
    if (Find(items_, key, index, priority))
        Delete(items_, index);
}

void TcxEditRegisteredRepositoryItems::RemoveItemFrom(TcxEditRegisteredRepositoryItems& owner,
                                                      TcxEditRegisteredRepositoryItemsList& list,
                                                      TcxEditRepositoryItem* item)
{
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (list[static_cast<size_t>(i)].RepositoryItem == item)
            owner.Delete(list, i);
}

void TcxEditRegisteredRepositoryItems::DeleteAll(TcxEditRegisteredRepositoryItems& owner,
                                                 TcxEditRegisteredRepositoryItemsList& list)
{
    while (!list.empty())
        owner.Delete(list, static_cast<int>(list.size()) - 1);
}

void TcxEditRegisteredRepositoryItems::ItemRemoved(TcxEditRepositoryItem* item)
{
    RemoveItemFrom(*this, defaultItems_, item);
    RemoveItemFrom(*this, items_, item);
}

void TcxEditRegisteredRepositoryItems::Clear()
{
    DeleteAll(*this, defaultItems_);
    DeleteAll(*this, items_);
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetRepositoryItem(int index) const
{
    return items_.at(static_cast<size_t>(index)).RepositoryItem;
}

TcxEditRepositoryItem* TcxEditRegisteredRepositoryItems::GetDefaultRepositoryItem(int index) const
{
    return defaultItems_.at(static_cast<size_t>(index)).RepositoryItem;
}

// ---- by value type ------------------------------------------------------------------

TClass TcxEditDataRegisteredRepositoryItems::StaticClass()
{
    return DefineClass<TcxEditDataRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems>(
        "TcxEditDataRegisteredRepositoryItems");
}

namespace {

ObjectPtr<TcxEditDataRegisteredRepositoryItems>& DataRegistry()
{
    static ObjectPtr<TcxEditDataRegisteredRepositoryItems> registry;
    return registry;
}

} // namespace

TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems()
{
    auto& registry = DataRegistry();
    if (!registry)
        registry.reset(CreateObject<TcxEditDataRegisteredRepositoryItems>(nullptr));
    return registry.get();
}

TcxEditRepositoryItem* cxCreateDefaultRepositoryItem(TClass itemClass)
{
    try {
        return GetDefaultEditRepository()->CreateItem(itemClass);
    } catch (const EClassNotFound&) {
        return nullptr;
    }
}

void cxEditDataRegisteredRepositoryItemsInitialize()
{
    TcxEditDataRegisteredRepositoryItems* registry = GetDefaultEditDataRepositoryItems();
    if (auto* item = cxCreateDefaultRepositoryItem(TcxEditRepositoryTextItem::StaticClass()))
        registry->RegisterDefaultItem(-1, item);
    const std::pair<TcxValueTypeClass, TClass> table[] = {
        {TcxBooleanValueType::Class(), TcxEditRepositoryCheckBoxItem::StaticClass()},
        {TcxCurrencyValueType::Class(), TcxEditRepositoryCurrencyItem::StaticClass()},
        {TcxDateTimeValueType::Class(), TcxEditRepositoryDateItem::StaticClass()},
        {TcxFMTBcdValueType::Class(), TcxEditRepositoryCurrencyItem::StaticClass()},
        {TcxSQLTimeStampValueType::Class(), TcxEditRepositoryDateItem::StaticClass()},
    };
    for (const auto& [valueType, itemClass] : table)
        if (auto* item = cxCreateDefaultRepositoryItem(itemClass))
            registry->RegisterItem(valueType, -1, item);
}

void cxEditDataRegisteredRepositoryItemsFinalize() { DataRegistry().reset(); }
