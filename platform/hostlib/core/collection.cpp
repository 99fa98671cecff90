#include "platform/hostlib/core/collection.h"

#include <algorithm>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/update_scope.h"

namespace hostlib {

// ---- TCollectionItem -------------------------------------------------------------

TClass TCollectionItem::StaticClass()
{
    return DefineClass<TCollectionItem, TPersistent>("TCollectionItem");
}

void TCollectionItem::Construct(TCollection* collection)
{
    SetCollection(collection);
}

void TCollectionItem::Destroy()
{
    SetCollection(nullptr);
    TPersistent::Destroy();
}

void TCollectionItem::SetCollection(TCollection* collection)
{
    if (collection_ == collection) return;
    if (collection_) collection_->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const
{
    if (!collection_) return -1;
    const auto& items = collection_->items_;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int index)
{
    const int current = Index();
    if (current < 0 || current == index) return;
    auto& items = collection_->items_;
    if (index < 0 || index >= static_cast<int>(items.size())) throw EListError(Format(messages::SListIndexError, index));
    items.erase(items.begin() + current);
    items.insert(items.begin() + index, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const
{
    return ClassName();
}

void TCollectionItem::SetDisplayName(const std::string&)
{
    Changed(false);
}

std::string TCollectionItem::GetNamePath() const
{
    if (!collection_) return ClassName();
    return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const
{
    return collection_;
}

void TCollectionItem::Changed(bool allItems)
{
    if (collection_ && collection_->updateCount_ == 0) collection_->Update(allItems ? nullptr : this);
}

// ---- TCollection -------------------------------------------------------------------

TClass TCollection::StaticClass()
{
    return DefineClass<TCollection, TPersistent>("TCollection");
}

TClass TOwnedCollection::StaticClass()
{
    return DefineClass<TOwnedCollection, TCollection>("TOwnedCollection");
}

void TCollection::Construct(TClass itemClass)
{
    if (!itemClass || !itemClass->InheritsFrom(TCollectionItem::StaticClass()))
        throw EComponentError(Format("%s is not a collection item class", itemClass ? itemClass->ClassName() : std::string("nil")));
    itemClass_ = itemClass;
}

void TOwnedCollection::Construct(TPersistent* owner, TClass itemClass)
{
    owner_ = owner;
    TCollection::Construct(itemClass);
}

TCollection::~TCollection()
{
    // A plain delete: free the items without notifications.
    std::vector<TCollectionItem*> items;
    items.swap(items_);
    for (auto* item : items) {
        item->collection_ = nullptr;
        item->Free();
    }
}

void TCollection::Destroy()
{
    updateCount_ = 1;  // no change notifications while going away
    Clear();
    TPersistent::Destroy();
}

TCollectionItem* TCollection::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(Format(messages::SListIndexError, index));
    return items_[static_cast<std::size_t>(index)];
}

TCollectionItem* TCollection::Add()
{
    if (!itemClass_) throw EComponentError("Collection has no item class");
    return CreateInstance<TCollectionItem>(itemClass_, this);
}

TCollectionItem* TCollection::Insert(int index)
{
    if (index < 0 || index > Count()) throw EListError(Format(messages::SListIndexError, index));
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index)
{
    TCollectionItem* item = Items(index);
    Notify(item, cnDeleting);
    item->Free();
}

void TCollection::Clear()
{
    if (items_.empty()) return;
    UpdateScope update(*this);
    while (!items_.empty()) items_.back()->Free();
}

TCollectionItem* TCollection::FindItemID(int id) const
{
    for (auto* item : items_)
        if (item->id_ == id) return item;
    return nullptr;
}

void TCollection::BeginUpdate()
{
    ++updateCount_;
}

void TCollection::EndUpdate()
{
    if (updateCount_ > 0) --updateCount_;
    Changed();
}

void TCollection::Changed()
{
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem* item, TCollectionNotification action)
{
    if (action == cnAdded) Added(item);
    else if (action == cnDeleting) Deleting(item);
}

void TCollection::Added(TCollectionItem*) {}
void TCollection::Deleting(TCollectionItem*) {}

void TCollection::InsertItem(TCollectionItem* item)
{
    if (!item->InheritsFrom(itemClass_))
        throw EComponentError(Format(messages::SAssignError, item->ClassName(), itemClass_->ClassName()));
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Notify(item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* item)
{
    Notify(item, cnExtracting);
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) items_.erase(it);
    item->collection_ = nullptr;
    Changed();
}

void TCollection::Assign(TPersistent* source)
{
    if (auto* other = As<TCollection>(source)) {
        if (other == this) return;
        {
            UpdateScope update(*this);
            Clear();
            for (int i = 0; i < other->Count(); ++i) Add()->Assign(other->Items(i));
        }
        return;
    }
    TPersistent::Assign(source);
}

std::string TCollection::GetNamePath() const
{
    TPersistent* owner = GetOwner();
    if (!owner) return ClassName();
    const std::string ownerPath = owner->GetNamePath();
    if (ownerPath.empty() || propName_.empty()) return ClassName();
    return ownerPath + "." + propName_;
}

}  // namespace hostlib
