#include "platform/hostlib/core/component.h"

#include <algorithm>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"

namespace hostlib {

// ---- TPersistent ---------------------------------------------------------------

TClass TPersistent::StaticClass()
{
    return DefineClass<TPersistent, TObject>("TPersistent");
}

void TPersistent::Assign(TPersistent* source)
{
    if (source) source->AssignTo(this);
    else AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* dest)
{
    dest->AssignError(this);
}

void TPersistent::AssignError(TPersistent* source)
{
    const std::string sourceName = source ? source->ClassName() : std::string("nil");
    throw EConvertError(Format(messages::SAssignError, sourceName, ClassName()));
}

std::string TPersistent::GetNamePath() const
{
    return ClassName();
}

void TPersistent::DefineProperties(TFiler&) {}

// ---- TComponent -------------------------------------------------------------------

const TEnumInfo& EnumTypeInfo(TComponentStateFlag*)
{
    static const TEnumInfo info{"TComponentStateFlag",
                                {"csLoading", "csReading", "csWriting", "csDestroying", "csDesigning", "csAncestor",
                                 "csUpdating", "csFixups", "csFreeNotification", "csInline", "csDesignInstance"},
                                0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TComponentStyleFlag*)
{
    static const TEnumInfo info{"TComponentStyleFlag", {"csInheritable", "csCheckPropAvail", "csSubComponent", "csTransient"}, 0};
    return info;
}

TClass TComponent::StaticClass()
{
    return DefineClass<TComponent, TPersistent>("TComponent", [](ClassBuilder<TComponent>& b) {
        b.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
        b.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0LL);
    });
}

TComponent* CreateComponent(TClass cls, TComponent* owner)
{
    if (!cls || !cls->InheritsFrom(TComponent::StaticClass()))
        throw EComponentError(Format("%s is not a component class", cls ? cls->ClassName() : std::string("nil")));
    return CreateInstance<TComponent>(cls, owner);
}

TComponent::~TComponent()
{
    // Reached without Free (a plain delete): still leave no dangling links.
    Cleanup();
}

void TComponent::Construct(TComponent* owner)
{
    style_.Include(csInheritable);
    if (owner) owner->InsertComponent(this);
}

TComponent* TComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount()) throw EListError(Format(messages::SListIndexError, index));
    return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const
{
    if (!owner_) return -1;
    const auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int index)
{
    if (!owner_) return;
    auto& list = owner_->components_;
    const int current = ComponentIndex();
    if (current < 0) return;
    index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
    if (index == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + index, this);
}

void TComponent::SetName(const std::string& name)
{
    if (name_ == name) return;
    if (!name.empty() && !IsValidIdent(name)) throw EComponentError(Format(messages::SInvalidName, name));
    if (owner_) owner_->ValidateRename(this, name_, name);
    else ValidateRename(nullptr, name_, name);
    name_ = name;
}

TComponent* TComponent::FindComponent(std::string_view name) const
{
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName, const std::string& newName)
{
    if (component && !SameText(curName, newName) && component->owner_ == this && FindComponent(newName))
        throw EComponentError(Format(messages::SDuplicateName, newName));
}

void TComponent::ValidateContainer(TComponent* component)
{
    component->ValidateInsert(this);
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component) return;
    component->ValidateContainer(this);
    // A second component of the same name would make FindComponent and
    // reference fix-ups ambiguous: refuse it here too.
    if (!component->name_.empty() && FindComponent(component->name_))
        throw EComponentError(Format(messages::SDuplicateName, component->name_));
    ValidateRename(component, "", component->name_);
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    if (!component || component->owner_ != this) return;
    Notification(component, opRemove);
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents()
{
    while (!components_.empty()) {
        TComponent* instance = components_.back();
        if (instance->state_.Contains(csFreeNotification)) {
            RemoveComponent(instance);
        } else {
            components_.pop_back();
            instance->owner_ = nullptr;
        }
        instance->Free();
    }
}

void TComponent::Destroying()
{
    if (!state_.Contains(csDestroying)) {
        state_.Include(csDestroying);
        for (TComponent* c : components_) c->Destroying();
    }
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this) return;
    if (!owner_ || component->owner_ != owner_) {
        if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
            freeNotifies_.push_back(component);
            component->FreeNotification(this);
        }
    }
    state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it == freeNotifies_.end()) return;
    freeNotifies_.erase(it);
    component->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component) RemoveFreeNotification(component);
    // Tell the owned components too; the list may shrink meanwhile.
    int i = static_cast<int>(components_.size()) - 1;
    while (i >= 0) {
        components_[static_cast<std::size_t>(i)]->Notification(component, operation);
        --i;
        if (i >= static_cast<int>(components_.size())) i = static_cast<int>(components_.size()) - 1;
    }
}

void TComponent::Loaded()
{
    state_.Exclude(csLoading);
}

void TComponent::ReadState(TReader& reader)
{
    reader.ReadData(this);
}

void TComponent::GetChildren(const std::function<void(TComponent*)>&, TComponent*) {}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::SetChildOrder(TComponent*, int) {}

void TComponent::Updating()
{
    state_.Include(csUpdating);
}

void TComponent::Updated()
{
    state_.Exclude(csUpdating);
}

void TComponent::BeforeDestruction()
{
    if (!state_.Contains(csDestroying)) Destroying();
}

void TComponent::SetSubComponent(bool value)
{
    if (value) style_.Include(csSubComponent);
    else style_.Exclude(csSubComponent);
}

void TComponent::Destroy()
{
    Destroying();
    Cleanup();
    TPersistent::Destroy();
}

void TComponent::Cleanup()
{
    if (cleanedUp_) return;
    cleanedUp_ = true;
    state_.Include(csDestroying);
    // Everyone that asked to hear about our end hears it now.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& theirs = other->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

}  // namespace hostlib
