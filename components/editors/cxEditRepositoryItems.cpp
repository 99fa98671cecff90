#include "components/editors/cxEditRepositoryItems.h"

#include <algorithm>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/controls.h"

using namespace hostlib;

namespace {

ObjectPtr<TcxEditRepository>& DefaultRepository()
{
    static ObjectPtr<TcxEditRepository> repository;
    return repository;
}

} // namespace

TcxEditRepository* GetDefaultEditRepository()
{
    auto& repository = DefaultRepository();
    if (!repository)
        repository.reset(CreateObject<TcxEditRepository>(nullptr));
    return repository.get();
}

// ---- TcxEditRepositoryItem ---------------------------------------------------------

TClass TcxEditRepositoryItem::StaticClass()
{
    return DefineClass<TcxEditRepositoryItem, TComponent>(
        "TcxEditRepositoryItem", [](ClassBuilder<TcxEditRepositoryItem>& b) {
            b.Property("Properties", &TcxEditRepositoryItem::Properties, &TcxEditRepositoryItem::SetProperties);
        });
}

void TcxEditRepositoryItem::Construct(TComponent* owner)
{
    TComponent::Construct(owner);
    properties_.reset(CreateInstance<TcxCustomEditProperties>(GetEditPropertiesClass(), this));
    properties_->ChangeNotification = TNotifyEvent::Bind(this, &TcxEditRepositoryItem::PropertiesChanged);
}

TClass TcxEditRepositoryItem::GetEditPropertiesClass() const
{
    const char* name = EditPropertiesClassName();
    return name ? FindClass(name) : TcxCustomEditProperties::StaticClass();
}

// Users hear of the removal while the item is still whole.
void TcxEditRepositoryItem::BeforeDestruction()
{
    for (auto it = listeners_.rbegin(); it != listeners_.rend(); it = listeners_.rbegin()) {
        IcxEditRepositoryItemListener* listener = *it;
        listeners_.erase(std::next(it).base());
        listener->ItemRemoved(this);
        if (listeners_.empty())
            break;
    }
    TComponent::BeforeDestruction();
}

void TcxEditRepositoryItem::Destroy()
{
    SetRepository(nullptr);
    properties_.reset();
    TComponent::Destroy();
}

void TcxEditRepositoryItem::PropertiesChanged(TObject*)
{
    // A copy: a listener may leave while it is told.
    std::vector<IcxEditRepositoryItemListener*> listeners = listeners_;
    for (auto it = listeners.rbegin(); it != listeners.rend(); ++it)
        if (std::ranges::find(listeners_, *it) != listeners_.end())
            (*it)->PropertiesChanged(this);
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* listener)
{
    if (listener && std::ranges::find(listeners_, listener) == listeners_.end())
        listeners_.push_back(listener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* listener)
{
    std::erase(listeners_, listener);
}

TcxCustomEditProperties* TcxEditRepositoryItem::Properties() const
{
    if (properties_ && !properties_->InheritsFrom(GetEditPropertiesClass()))
        ClassCastError(properties_->ClassType(), GetEditPropertiesClass());
    return properties_.get();
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* value)
{
    if (repository_ == value)
        return;
    TcxEditRepository* old = repository_;
    repository_ = value;
    if (old)
        old->RemoveItem(this);
    if (value)
        value->AddItem(this);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return repository_; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* parent)
{
    if (ComponentState().Contains(csLoading))
        return;
    auto* repository = As<TcxEditRepository>(parent);
    if (!repository)
        throw EInvalidOperation("The parent of a repository item must be an edit repository");
    SetRepository(repository);
}

void TcxEditRepositoryItem::ReadState(TReader& reader)
{
    TComponent::ReadState(reader);
    if (auto* repository = As<TcxEditRepository>(reader.Parent()))
        SetRepository(repository);
}

// ---- TcxEditRepositoryImageComboBoxItem --------------------------------------------

TClass TcxEditRepositoryImageComboBoxItem::StaticClass()
{
    return DefineClass<TcxEditRepositoryImageComboBoxItem, TcxEditRepositoryItem>(
        cx_repository_names::ImageComboBoxItem);
}

void TcxEditRepositoryImageComboBoxItem::Notification(TComponent* component, TOperation operation)
{
    TcxEditRepositoryItem::Notification(component, operation);
    if (operation != opRemove || component == this || ComponentState().Contains(csDestroying))
        return;
    auto* images = dynamic_cast<IcxImageComboBoxImages*>(Properties());
    if (!images)
        return;
    if (images->Images() == component)
        images->SetImages(nullptr);
    if (images->LargeImages() == component)
        images->SetLargeImages(nullptr);
}

// ---- TcxEditRepository -------------------------------------------------------------

TClass TcxEditRepository::StaticClass() { return DefineClass<TcxEditRepository, TComponent>("TcxEditRepository"); }

void TcxEditRepository::Destroy()
{
    Clear();
    TComponent::Destroy();
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TClass itemClass, TComponent* owner)
{
    TcxEditRepositoryItem* item = CreateInstance<TcxEditRepositoryItem>(itemClass, owner);
    item->SetRepository(this);
    return item;
}

void TcxEditRepository::Clear()
{
    while (!items_.empty())
        items_.back()->Free();
}

TcxEditRepositoryItem* TcxEditRepository::ItemByName(const std::string& name) const
{
    auto it = std::ranges::find_if(items_, [&](TcxEditRepositoryItem* item) { return AnsiSameText(item->Name(), name); });
    return it == items_.end() ? nullptr : *it;
}

TcxEditRepositoryItem* TcxEditRepository::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

void TcxEditRepository::AddItem(TcxEditRepositoryItem* item)
{
    if (std::ranges::find(items_, item) != items_.end())
        return;
    items_.push_back(item);
    if (item->Repository() != this)
        item->SetRepository(this);
}

void TcxEditRepository::RemoveItem(TcxEditRepositoryItem* item)
{
    std::erase(items_, item);
    if (item->Repository() == this)
        item->SetRepository(nullptr);
}

void TcxEditRepository::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    for (TcxEditRepositoryItem* item : items_)
        if (item->Owner() == root)
            proc(item);
}

void cxEditRepositoryItemsInitialize()
{
    RegisterClasses({TcxEditRepositoryItem::StaticClass(), TcxEditRepositoryTextItem::StaticClass(),
                     TcxEditRepositoryButtonItem::StaticClass(), TcxEditRepositoryImageItem::StaticClass(),
                     TcxEditRepositoryComboBoxItem::StaticClass(), TcxEditRepositoryMaskItem::StaticClass(),
                     TcxEditRepositoryPopupItem::StaticClass(), TcxEditRepositoryCalcItem::StaticClass(),
                     TcxEditRepositoryDateItem::StaticClass(), TcxEditRepositoryCurrencyItem::StaticClass(),
                     TcxEditRepositorySpinItem::StaticClass(), TcxEditRepositoryMemoItem::StaticClass(),
                     TcxEditRepositoryImageComboBoxItem::StaticClass(), TcxEditRepositoryBlobItem::StaticClass(),
                     TcxEditRepositoryCheckBoxItem::StaticClass(), TcxEditRepositoryTimeItem::StaticClass(),
                     TcxEditRepositoryMRUItem::StaticClass(), TcxEditRepositoryHyperLinkItem::StaticClass(),
                     TcxEditRepositoryRadioGroupItem::StaticClass(),
                     TcxEditRepositoryLookupComboBoxItem::StaticClass()});
    GroupDescendentsWith(TcxEditRepositoryItem::StaticClass(), TControl::StaticClass());
    GroupDescendentsWith(TcxEditRepository::StaticClass(), TControl::StaticClass());
}

void cxEditRepositoryItemsFinalize() { DefaultRepository().reset(); }
