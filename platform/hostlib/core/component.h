#pragma once
// TPersistent (assignment, owner path, defined properties) and TComponent
// (ownership, names, state flags, free notification, loading hooks).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/core/object.h"

namespace hostlib {

class TFiler;
class TReader;
class TComponent;

class TPersistent : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Copies source into this object. The base asks source->AssignTo(this);
    // with no class able to copy, raises EConvertError
    // "Cannot assign a <source class> to a <this class>" ("nil" for none).
    virtual void Assign(TPersistent* source);
    // Dotted path of owners' names ("Form1.Grid.Columns[0]").
    virtual std::string GetNamePath() const;
    // The object that owns this one in the streaming sense.
    virtual TPersistent* GetOwner() const { return nullptr; }
    // Lets a class stream data that is not a published property.
    virtual void DefineProperties(TFiler& filer);

protected:
    virtual void AssignTo(TPersistent* dest);
    [[noreturn]] void AssignError(TPersistent* source);
};

enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance,
};
using TComponentState = TSet<TComponentStateFlag>;
const TEnumInfo& EnumTypeInfo(TComponentStateFlag*);

enum TComponentStyleFlag { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleFlag>;
const TEnumInfo& EnumTypeInfo(TComponentStyleFlag*);

enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TComponent() = default;
    ~TComponent() override;

    // Second construction phase: joins the owner. Overrides call the base
    // first; virtual calls made here reach the most-derived class.
    virtual void Construct(TComponent* owner);

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    // Raises EListError for a bad index.
    TComponent* Components(int index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int index);
    const std::string& Name() const { return name_; }
    // Raises EComponentError for a name that is not an identifier or is
    // already used by another component of the owner (case-insensitive).
    virtual void SetName(const std::string& name);
    std::intptr_t Tag() const { return tag_; }
    void SetTag(std::intptr_t tag) { tag_ = tag; }
    TComponentState ComponentState() const { return state_; }
    TComponentStyle ComponentStyle() const { return style_; }
    // Case-insensitive among the owned components; nullptr for "" or none.
    TComponent* FindComponent(std::string_view name) const;

    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);
    // Frees the owned components, last first.
    void DestroyComponents();
    void Destroying();

    // Asks component to call Notification(this-component, opRemove) on us
    // when it is freed (and the other way round).
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);
    virtual void Notification(TComponent* component, TOperation operation);

    // Loading hooks.
    virtual void Loaded();
    virtual void ReadState(TReader& reader);
    // Calls proc for each child a writer stores inside this component.
    virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* parent);
    virtual void SetChildOrder(TComponent* child, int order);
    virtual void Updating();
    virtual void Updated();

    void BeforeDestruction() override;
    TPersistent* GetOwner() const override { return owner_; }
    std::string GetNamePath() const override { return name_; }

    // State flags the loader and writer set (csLoading, csReading, ...).
    void IncludeState(TComponentStateFlag flag) { state_.Include(flag); }
    void ExcludeState(TComponentStateFlag flag) { state_.Exclude(flag); }
    void SetSubComponent(bool value);

    bool IsLoading() const { return state_.Contains(csLoading); }
    bool IsDestroying() const { return state_.Contains(csDestroying); }

protected:
    void Destroy() override;
    virtual void ValidateRename(TComponent* component, const std::string& curName, const std::string& newName);
    virtual void ValidateContainer(TComponent* component);
    virtual void ValidateInsert(TComponent* component);
    void ChangeName(const std::string& name) { name_ = name; }

private:
    void Cleanup();

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    std::intptr_t tag_ = 0;
    TComponentState state_;
    TComponentStyle style_;
    bool cleanedUp_ = false;
};

// Creates a component of a class known at run time (two phases).
TComponent* CreateComponent(TClass cls, TComponent* owner);

}  // namespace hostlib
