#pragma once
// Default editor kinds by the data a column shows: registries of repository
// items keyed by a value type (or a field type), each key with priorities;
// the registries listen to their items and forget one that is freed.

#include <climits>
#include <cstdint>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "components/editors/cxEditRepositoryItems.h"

struct TcxEditRegisteredRepositoryItemsData {
    std::intptr_t DataKey = 0;
    int Priority = 0;
    TcxEditRepositoryItem* RepositoryItem = nullptr;
};
using TcxEditRegisteredRepositoryItemsList = std::vector<TcxEditRegisteredRepositoryItemsData>;

class TcxEditRegisteredRepositoryItems : public TcxInterfacedPersistent, public IcxEditRepositoryItemListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Any priority in searches.
    static constexpr int kAnyPriority = INT_MAX;

    void BeforeDestruction() override;

    void ItemRemoved(TcxEditRepositoryItem* item) override;
    void PropertiesChanged(TcxEditRepositoryItem* item) override { (void)item; Changed(); }
    // The index of the (key, priority) entry; an existing one stays as it is.
    virtual int Add(TcxEditRegisteredRepositoryItemsList& list, std::intptr_t key, TcxEditRepositoryItem* item,
                    int priority);
    virtual void Changed() {}
    // The first default entry's item (the highest priority), nullptr without one.
    virtual TcxEditRepositoryItem* GetDefaultItem();
    virtual TcxEditRepositoryItem* GetItem(std::intptr_t key);
    virtual void RegisterDefaultItem(int priority, TcxEditRepositoryItem* item);
    virtual void RegisterItem(std::intptr_t key, int priority, TcxEditRepositoryItem* item);
    virtual void UnregisterDefaultItem(int priority);
    virtual void UnregisterItem(std::intptr_t key, int priority);

    void Clear();
    void Delete(TcxEditRegisteredRepositoryItemsList& list, int index);
    // Bisection over entries in descending (key, priority) order: true and
    // the match, or false and the index that keeps the order.
    bool Find(const TcxEditRegisteredRepositoryItemsList& list, std::intptr_t key, int& index,
              int priority = kAnyPriority) const;
    int GetCount() const { return static_cast<int>(items_.size()); }
    int GetDefaultCount() const { return static_cast<int>(defaultItems_.size()); }
    TcxEditRepositoryItem* GetRepositoryItem(int index) const;
    TcxEditRepositoryItem* GetDefaultRepositoryItem(int index) const;

protected:
    void Destroy() override;
    bool IsDestroying() const { return destroying_; }
    static void RemoveItemFrom(TcxEditRegisteredRepositoryItems& owner, TcxEditRegisteredRepositoryItemsList& list,
                               TcxEditRepositoryItem* item);
    static void DeleteAll(TcxEditRegisteredRepositoryItems& owner, TcxEditRegisteredRepositoryItemsList& list);
    TcxEditRepositoryItem* FirstItem(const TcxEditRegisteredRepositoryItemsList& list);

    TcxEditRegisteredRepositoryItemsList items_;
    TcxEditRegisteredRepositoryItemsList defaultItems_;

private:
    bool destroying_ = false;
};

class TcxEditDataRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxEditRegisteredRepositoryItems::GetItem;
    using TcxEditRegisteredRepositoryItems::RegisterItem;
    using TcxEditRegisteredRepositoryItems::UnregisterItem;
    TcxEditRepositoryItem* GetItem(TcxValueTypeClass valueType) { return GetItem(Key(valueType)); }
    void RegisterItem(TcxValueTypeClass valueType, int priority, TcxEditRepositoryItem* item)
    {
        RegisterItem(Key(valueType), priority, item);
    }
    void UnregisterItem(TcxValueTypeClass valueType, int priority) { UnregisterItem(Key(valueType), priority); }

private:
    static std::intptr_t Key(TcxValueTypeClass valueType) { return reinterpret_cast<std::intptr_t>(valueType); }
};

TcxEditDataRegisteredRepositoryItems* GetDefaultEditDataRepositoryItems();
// A new item of the class in the default repository; nullptr when its
// editor kind is not linked in.
TcxEditRepositoryItem* cxCreateDefaultRepositoryItem(hostlib::TClass itemClass);

// Start-up: the default items by value type in the default repository
// (kinds that are not linked in are skipped); shut-down frees the registry.
void cxEditDataRegisteredRepositoryItemsInitialize();
void cxEditDataRegisteredRepositoryItemsFinalize();
