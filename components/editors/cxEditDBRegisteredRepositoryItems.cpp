#include "components/editors/cxEditDBRegisteredRepositoryItems.h"

#include "platform/hostlib/core/properties.h"

using namespace hostlib;

TClass TcxEditDBRegisteredRepositoryItems::StaticClass()
{
    return DefineClass<TcxEditDBRegisteredRepositoryItems, TcxEditRegisteredRepositoryItems>(
        "TcxEditDBRegisteredRepositoryItems");
}

void TcxEditDBRegisteredRepositoryItems::Destroy()
{
    Clear();
    TcxEditRegisteredRepositoryItems::Destroy();
}

namespace {

bool IsCurrencyField(TField* field)
{
    if (!Is<TNumericField>(field))
        return false;
    const TPropInfo* prop = GetPropInfo(field, "Currency");
    return prop && prop->Kind == pkBoolean && GetOrdProp(field, "Currency") != 0;
}

} // namespace

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetItemByField(TField* field)
{
    if (!field)
        return GetDefaultItem();
    if (field->Lookup())
        return GetLookupItem();
    if (IsCurrencyField(field))
        return GetCurrencyItem();
    return GetItem(field->DataType());
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetCurrencyItem()
{
    TcxEditRepositoryItem* item = FirstItem(currencyItems_);
    return item ? item : GetDefaultItem();
}

TcxEditRepositoryItem* TcxEditDBRegisteredRepositoryItems::GetLookupItem()
{
    TcxEditRepositoryItem* item = FirstItem(lookupItems_);
    return item ? item : GetDefaultItem();
}

void TcxEditDBRegisteredRepositoryItems::RegisterCurrencyItem(int priority, TcxEditRepositoryItem* item)
{
    Add(currencyItems_, 0, item, priority);
}

void TcxEditDBRegisteredRepositoryItems::RegisterLookupItem(int priority, TcxEditRepositoryItem* item)
{
    Add(lookupItems_, 0, item, priority);
}

void TcxEditDBRegisteredRepositoryItems::UnregisterFrom(TcxEditRegisteredRepositoryItemsList& list, int priority)
{
    int index = 0;
    if (Find(list, 0, index, priority))
        Delete(list, index);
}

void TcxEditDBRegisteredRepositoryItems::UnregisterCurrencyItem(int priority) { UnregisterFrom(currencyItems_, priority); }
void TcxEditDBRegisteredRepositoryItems::UnregisterLookupItem(int priority) { UnregisterFrom(lookupItems_, priority); }

void TcxEditDBRegisteredRepositoryItems::ItemRemoved(TcxEditRepositoryItem* item)
{
    TcxEditRegisteredRepositoryItems::ItemRemoved(item);
    RemoveItemFrom(*this, lookupItems_, item);
    RemoveItemFrom(*this, currencyItems_, item);
}

void TcxEditDBRegisteredRepositoryItems::Clear()
{
    TcxEditRegisteredRepositoryItems::Clear();
    DeleteAll(*this, lookupItems_);
    DeleteAll(*this, currencyItems_);
}

namespace {

ObjectPtr<TcxEditDBRegisteredRepositoryItems>& DBRegistry()
{
    static ObjectPtr<TcxEditDBRegisteredRepositoryItems> registry;
    return registry;
}

TClass ItemClassOf(TFieldType type)
{
    switch (type) {
    case ftBoolean: return TcxEditRepositoryCheckBoxItem::StaticClass();
    case ftDate:
    case ftDateTime:
    case ftTimeStamp: return TcxEditRepositoryDateItem::StaticClass();
    case ftTime: return TcxEditRepositoryTimeItem::StaticClass();
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return TcxEditRepositoryBlobItem::StaticClass();
    case ftMemo: return TcxEditRepositoryMemoItem::StaticClass();
    case ftGraphic: return TcxEditRepositoryImageItem::StaticClass();
    default: return nullptr;
    }
}

void RegisterLookupItem(TcxEditDBRegisteredRepositoryItems* registry)
{
    TcxEditRepositoryItem* item = cxCreateDefaultRepositoryItem(TcxEditRepositoryLookupComboBoxItem::StaticClass());
    if (!item)
        return;
    if (auto* options = dynamic_cast<IcxLookupGridListOptions*>(item->Properties())) {
        options->SetGridLines(glNone);
        options->SetShowHeader(false);
    }
    registry->RegisterLookupItem(-1, item);
}

} // namespace

TcxEditDBRegisteredRepositoryItems* GetDefaultEditDBRepositoryItems()
{
    auto& registry = DBRegistry();
    if (!registry)
        registry.reset(CreateObject<TcxEditDBRegisteredRepositoryItems>(nullptr));
    return registry.get();
}

void cxEditDBRegisteredRepositoryItemsInitialize()
{
    TcxEditDBRegisteredRepositoryItems* registry = GetDefaultEditDBRepositoryItems();
    if (auto* item = cxCreateDefaultRepositoryItem(TcxEditRepositoryMaskItem::StaticClass()))
        registry->RegisterDefaultItem(-1, item);
    if (auto* item = cxCreateDefaultRepositoryItem(TcxEditRepositoryCurrencyItem::StaticClass()))
        registry->RegisterCurrencyItem(-1, item);
    RegisterLookupItem(registry);
    for (int type = ftUnknown; type <= ftFMTBcd; ++type)
        if (TClass itemClass = ItemClassOf(static_cast<TFieldType>(type)))
            if (auto* item = cxCreateDefaultRepositoryItem(itemClass))
                registry->RegisterItem(static_cast<TFieldType>(type), -1, item);
}

void cxEditDBRegisteredRepositoryItemsFinalize() { DBRegistry().reset(); }
