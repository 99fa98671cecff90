#pragma once
// Default editor kinds by data-set field: by field type, with separate
// entries for lookup fields and currency fields.

#include "components/editors/cxEditDataRegisteredRepositoryItems.h"
#include "platform/hostlib/data/fields.h"

class TcxEditDBRegisteredRepositoryItems : public TcxEditRegisteredRepositoryItems {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using TcxEditRegisteredRepositoryItems::GetItem;
    using TcxEditRegisteredRepositoryItems::RegisterItem;
    using TcxEditRegisteredRepositoryItems::UnregisterItem;
    TcxEditRepositoryItem* GetItem(hostlib::TFieldType fieldType) { return GetItem(std::intptr_t{fieldType}); }
    // Default for none, the lookup item for a lookup field, the currency
    // item for a numeric field whose "Currency" is True, else by data type.
    TcxEditRepositoryItem* GetItemByField(hostlib::TField* field);
    TcxEditRepositoryItem* GetCurrencyItem();
    TcxEditRepositoryItem* GetLookupItem();
    void RegisterItem(hostlib::TFieldType fieldType, int priority, TcxEditRepositoryItem* item)
    {
        RegisterItem(std::intptr_t{fieldType}, priority, item);
    }
    void RegisterCurrencyItem(int priority, TcxEditRepositoryItem* item);
    void RegisterLookupItem(int priority, TcxEditRepositoryItem* item);
    void UnregisterItem(hostlib::TFieldType fieldType, int priority) { UnregisterItem(std::intptr_t{fieldType}, priority); }
    void UnregisterCurrencyItem(int priority);
    void UnregisterLookupItem(int priority);

    void ItemRemoved(TcxEditRepositoryItem* item) override;
    void Clear();

protected:
    void Destroy() override;

private:
    void UnregisterFrom(TcxEditRegisteredRepositoryItemsList& list, int priority);

    TcxEditRegisteredRepositoryItemsList currencyItems_;
    TcxEditRegisteredRepositoryItemsList lookupItems_;
};

TcxEditDBRegisteredRepositoryItems* GetDefaultEditDBRepositoryItems();

void cxEditDBRegisteredRepositoryItemsInitialize();
void cxEditDBRegisteredRepositoryItemsFinalize();
