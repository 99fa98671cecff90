#pragma once
// Collections: an owned, ordered list of items of one item class, streamed
// inline by their owner.

#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"

namespace hostlib {

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Second construction phase: joins the collection (may be nullptr).
    // Overrides call the base first.
    virtual void Construct(TCollection* collection);

    TCollection* Collection() const { return collection_; }
    // Moves the item to another collection (nullptr takes it out).
    virtual void SetCollection(TCollection* collection);
    int ID() const { return id_; }
    // Position in the collection, -1 outside one.
    int Index() const;
    // Moves the item; raises EListError for a bad index.
    virtual void SetIndex(int index);
    virtual std::string DisplayName() const;
    virtual void SetDisplayName(const std::string& name);
    std::string GetNamePath() const override;
    TPersistent* GetOwner() const override;

protected:
    // Reports a change to the collection: this item, or all items.
    void Changed(bool allItems);
    void Destroy() override;

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    ~TCollection() override;

    // Second construction phase. itemClass must derive from
    // TCollectionItem (EComponentError otherwise).
    virtual void Construct(TClass itemClass);

    TClass ItemClass() const { return itemClass_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for a bad index.
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const;
    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    void Assign(TPersistent* source) override;
    std::string GetNamePath() const override;
    // The name of the collection property in its owner ("Columns").
    const std::string& PropName() const { return propName_; }
    void SetPropName(std::string name) { propName_ = std::move(name); }

    template <class T>
    T* AddAs()
    {
        return static_cast<T*>(Add());
    }

protected:
    friend class TCollectionItem;
    // Called after changes (item nullptr: all items) unless updating.
    virtual void Update(TCollectionItem* item);
    virtual void Notify(TCollectionItem* item, TCollectionNotification action);
    virtual void Added(TCollectionItem* item);
    virtual void Deleting(TCollectionItem* item);
    void Changed();
    void Destroy() override;

private:
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);

    TClass itemClass_ = nullptr;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    int nextId_ = 0;
    std::string propName_;
};

// A collection whose owner is given at construction.
class TOwnedCollection : public TCollection {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TPersistent* owner, TClass itemClass);
    using TCollection::Construct;
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_ = nullptr;
};

}  // namespace hostlib
