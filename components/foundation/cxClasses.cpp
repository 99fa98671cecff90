#include "components/foundation/cxClasses.h"

#include <climits>
#include <cstring>

#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/system/muldiv.h"
#include "platform/system/shell.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxAlignmentVert*)
{
    static const TEnumInfo info{"TcxAlignmentVert", {"vaTop", "vaBottom", "vaCenter"}, 0};
    return info;
}

// ---- TcxInterfacedPersistent, TcxComponent, TcxObjectList ---------------------

TClass TcxInterfacedPersistent::StaticClass()
{
    return DefineClass<TcxInterfacedPersistent, TPersistent>("TcxInterfacedPersistent");
}

TClass TcxComponent::StaticClass()
{
    return DefineClass<TcxComponent, TComponent>("TcxComponent", [](ClassBuilder<TcxComponent>& b) {
        b.Property("FakeComponentLink1", &TcxComponent::FakeComponentLink1, &TcxComponent::SetFakeComponentLink1);
        b.Property("FakeComponentLink2", &TcxComponent::FakeComponentLink2, &TcxComponent::SetFakeComponentLink2);
        b.Property("FakeComponentLink3", &TcxComponent::FakeComponentLink3, &TcxComponent::SetFakeComponentLink3);
    });
}

void TcxComponent::Loaded()
{
    TComponent::Loaded();
    UpdateFakeLinks();
}

void TcxComponent::UpdateFakeLinks()
{
    if (!IsDesigning() || IsDestroying() || !Owner()) return;
    std::vector<TComponent*> list;
    GetFakeComponentLinks(list);
    for (std::size_t i = 0; i < 3; ++i) fakeLinks_[i] = i < list.size() ? list[i] : nullptr;
}

void TcxComponent::Destroy()
{
    cxClearObjectLinks(this);
    TComponent::Destroy();
}

TClass TcxObjectList::StaticClass() { return DefineClass<TcxObjectList, TList>("TcxObjectList"); }

void TcxObjectList::Clear()
{
    for (int i = 0; i < Count(); ++i) {
        TObject* item = Items(i);
        SetItems(i, nullptr);
        if (item) item->Free();
    }
    TList::Clear();
}

void TcxObjectList::Destroy()
{
    Clear();
    TList::Destroy();
}

// ---- TcxRegisteredClassList ---------------------------------------------------

TClass TcxRegisteredClassList::StaticClass()
{
    return DefineClass<TcxRegisteredClassList, TObject>("TcxRegisteredClassList");
}

bool TcxRegisteredClassList::Find(TClass itemClass, int& index) const
{
    for (int i = Count() - 1; i >= 0; --i) {
        TClass c = items_[static_cast<std::size_t>(i)].ItemClass;
        if (itemClass->InheritsFrom(c)) {
            index = i;
            return true;
        }
        if (c->InheritsFrom(itemClass)) index = i;
    }
    return false;
}

void TcxRegisteredClassList::Register(TClass itemClass, TClass registeredClass)
{
    int index = -1;
    if (Find(itemClass, index)) ++index;
    else if (index < 0) index = Count();
    items_.insert(items_.begin() + index, {itemClass, registeredClass});
}

void TcxRegisteredClassList::Unregister(TClass itemClass, TClass registeredClass)
{
    for (int i = Count() - 1; i >= 0; --i) {
        const auto& item = items_[static_cast<std::size_t>(i)];
        if (item.ItemClass == itemClass && item.RegisteredClass == registeredClass) items_.erase(items_.begin() + i);
    }
}

TClass TcxRegisteredClassList::FindClass(TClass itemClass) const
{
    int index = -1;
    return Find(itemClass, index) ? items_[static_cast<std::size_t>(index)].RegisteredClass : nullptr;
}

const TcxRegisteredClassListItemData& TcxRegisteredClassList::Items(int index) const
{
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    return items_[static_cast<std::size_t>(index)];
}

// ---- TcxRegisteredClasses -----------------------------------------------------

namespace {

// A stored text is "name|hint"; without "|" it serves whole as both.
std::string DescriptionPart(const std::string& text) { return text.substr(0, text.find('|')); }
std::string HintPart(const std::string& text)
{
    auto bar = text.find('|');
    return bar == std::string::npos ? text : text.substr(bar + 1);
}

}  // namespace

TClass TcxRegisteredClasses::StaticClass() { return DefineClass<TcxRegisteredClasses, TObject>("TcxRegisteredClasses"); }

const TcxRegisteredClasses::Item& TcxRegisteredClasses::At(int index) const
{
    if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
    return items_[static_cast<std::size_t>(index)];
}

void TcxRegisteredClasses::Register(TClass cls, const std::string& description)
{
    if (GetIndexByClass(cls) >= 0) return;
    items_.push_back({description, cls});
    if (registerClasses_) RegisterClass(cls);
}

void TcxRegisteredClasses::Unregister(TClass cls)
{
    int index = GetIndexByClass(cls);
    if (index >= 0) items_.erase(items_.begin() + index);
}

std::string TcxRegisteredClasses::Descriptions(int index) const { return DescriptionPart(At(index).Text); }
std::string TcxRegisteredClasses::Hints(int index) const { return HintPart(At(index).Text); }

TClass TcxRegisteredClasses::FindByClassName(const std::string& name) const
{
    for (const auto& item : items_)
        if (item.Class->ClassName() == name) return item.Class;
    return nullptr;
}

TClass TcxRegisteredClasses::FindByDescription(const std::string& description) const
{
    for (const auto& item : items_)
        if (DescriptionPart(item.Text) == description) return item.Class;
    return nullptr;
}

std::string TcxRegisteredClasses::GetDescriptionByClass(TClass cls) const
{
    int index = GetIndexByClass(cls);
    return index < 0 ? std::string() : Descriptions(index);
}

std::string TcxRegisteredClasses::GetHintByClass(TClass cls) const
{
    int index = GetIndexByClass(cls);
    return index < 0 ? std::string() : Hints(index);
}

int TcxRegisteredClasses::GetIndexByClass(TClass cls) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].Class == cls) return static_cast<int>(i);
    return -1;
}

// ---- TcxAutoWidthObject -------------------------------------------------------

TcxAutoWidthItem* TcxAutoWidthObject::AddItem()
{
    items_.push_back(std::make_unique<TcxAutoWidthItem>());
    return items_.back().get();
}

int TcxAutoWidthObject::Width() const
{
    int sum = 0;
    for (const auto& item : items_) sum += item->Width();
    return sum;
}

// One pass over the open items with this pass's totals; true when an item
// was fixed at its minimal width.
bool TcxAutoWidthObject::CalculatePass(int& target, int& weight, bool final)
{
    const int target0 = target;
    const int weight0 = weight;
    int sum = 0;
    bool fixedSome = false;
    for (const auto& item : items_) {
        if (item->ResultWidth() != -1) continue;
        const int share = MulDiv(sum + item->Width(), target0, weight0) - MulDiv(sum, target0, weight0);
        if (final) {
            item->SetResultWidth(share);
        } else if (item->MinimalWidth() >= share) {
            item->SetResultWidth(item->MinimalWidth());
            target -= item->MinimalWidth();
            weight -= item->Width();
            fixedSome = true;
        }
        sum += item->Width();
    }
    return fixedSome;
}

void TcxAutoWidthObject::Calculate()
{
    int target = targetWidth_;
    int weight = Width();
    for (const auto& item : items_) {
        item->SetResultWidth(-1);
        if (!item->IsFixed()) continue;
        item->SetResultWidth(item->Width());
        target -= item->Width();
        weight -= item->Width();
    }
    bool final = false;
    bool fixedSome = false;
    do {
        fixedSome = CalculatePass(target, weight, final);
        if (final) break;
        final = !fixedSome;
    } while (weight != 0 && (fixedSome || final));
}

// ---- TcxAlignment ---------------------------------------------------------------

TClass TcxAlignment::StaticClass()
{
    return DefineClass<TcxAlignment, TPersistent>("TcxAlignment", [](ClassBuilder<TcxAlignment>& b) {
        b.Property("Horz", &TcxAlignment::Horz, &TcxAlignment::SetHorz).NoDefault().Stored(&TcxAlignment::IsHorzStored);
        b.Property("Vert", &TcxAlignment::Vert, &TcxAlignment::SetVert).NoDefault().Stored(&TcxAlignment::IsVertStored);
    });
}

void TcxAlignment::Construct(TPersistent* owner, bool useAssignedValues, TAlignment defaultHorz,
                             TcxAlignmentVert defaultVert)
{
    owner_ = owner;
    useAssignedValues_ = useAssignedValues;
    defaultHorz_ = horz_ = defaultHorz;
    defaultVert_ = vert_ = defaultVert;
}

void TcxAlignment::Assign(TPersistent* source)
{
    auto* other = As<TcxAlignment>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    const bool changed = horz_ != other->horz_ || vert_ != other->vert_;
    horz_ = other->horz_;
    vert_ = other->vert_;
    isHorzAssigned_ = other->isHorzAssigned_;
    isVertAssigned_ = other->isVertAssigned_;
    if (changed) OnChanged(this);
}

void TcxAlignment::Reset()
{
    const bool changed = horz_ != defaultHorz_ || vert_ != defaultVert_;
    isHorzAssigned_ = isVertAssigned_ = false;
    horz_ = defaultHorz_;
    vert_ = defaultVert_;
    if (changed) OnChanged(this);
}

void TcxAlignment::SetHorz(TAlignment value)
{
    isHorzAssigned_ = true;
    if (horz_ == value) return;
    horz_ = value;
    OnChanged(this);
}

void TcxAlignment::SetVert(TcxAlignmentVert value)
{
    isVertAssigned_ = true;
    if (vert_ == value) return;
    vert_ = value;
    OnChanged(this);
}

// ---- object links ---------------------------------------------------------------

namespace {

// Exists while at least one link exists.
std::unique_ptr<std::vector<TcxObjectLink*>>& LinkController()
{
    static std::unique_ptr<std::vector<TcxObjectLink*>> links;
    return links;
}

}  // namespace

TcxObjectLink* cxAddObjectLink(TObject* object)
{
    auto& links = LinkController();
    if (!links) links = std::make_unique<std::vector<TcxObjectLink*>>();
    auto* link = new TcxObjectLink{object};
    links->push_back(link);
    return link;
}

void cxRemoveObjectLink(TcxObjectLink* link)
{
    if (!link) return;
    auto& links = LinkController();
    if (links) {
        std::erase(*links, link);
        if (links->empty()) links.reset();
    }
    delete link;
}

void cxClearObjectLinks(TObject* object)
{
    auto& links = LinkController();
    if (!links || !object) return;
    for (TcxObjectLink* link : *links)
        if (link->Ref == object) link->Ref = nullptr;
    // Cleared links stay alive until their holders remove them.
}

// ---- TcxFreeNotificator, MRU items ----------------------------------------------

TClass TcxFreeNotificator::StaticClass() { return DefineClass<TcxFreeNotificator, TComponent>("TcxFreeNotificator"); }

void TcxFreeNotificator::AddSender(TComponent* sender)
{
    if (sender) sender->FreeNotification(this);
}

void TcxFreeNotificator::RemoveSender(TComponent* sender)
{
    if (sender) sender->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && OnComponentFreed) OnComponentFreed(component);
}

TClass TcxMRUItem::StaticClass() { return DefineClass<TcxMRUItem, TObject>("TcxMRUItem"); }

bool TcxMRUItem::Equals(TcxMRUItem*) { AbstractError(); }

TClass TcxMRUItems::StaticClass() { return DefineClass<TcxMRUItems, TObject>("TcxMRUItems"); }

TcxMRUItems::~TcxMRUItems() { ClearItems(); }

int TcxMRUItems::IndexOf(TcxMRUItem* item) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Equals(item)) return static_cast<int>(i);
    return -1;
}

void TcxMRUItems::Add(TcxMRUItem* item)
{
    const int index = IndexOf(item);
    if (index >= 0) {
        TcxMRUItem* found = items_[static_cast<std::size_t>(index)];
        items_.erase(items_.begin() + index);
        items_.insert(items_.begin(), found);
        item->Free();
        return;
    }
    items_.insert(items_.begin(), item);
    CutTo(maxCount_);
}

void TcxMRUItems::Delete(int index)
{
    TcxMRUItem* item = items_.at(static_cast<std::size_t>(index));
    items_.erase(items_.begin() + index);
    item->Free();
}

void TcxMRUItems::ClearItems()
{
    for (int i = Count() - 1; i >= 0; --i) Delete(i);
}

void TcxMRUItems::CutTo(int count)
{
    if (count <= 0) return;
    while (Count() > count) Delete(Count() - 1);
}

void TcxMRUItems::SetMaxCount(int value)
{
    value = std::max(value, 0);
    if (value == maxCount_) return;
    maxCount_ = value;
    CutTo(value);
}

// ---- functions --------------------------------------------------------------------

void FillStringsWithEnumTypeValues(TStrings* strings, const TEnumInfo& typeInfo,
                                   const TcxGetCaptionForIntegerItemFunc& getCaption)
{
    UpdateScope<TStrings> update(*strings);
    for (int value = typeInfo.MinValue; value <= typeInfo.MaxValue(); ++value) {
        std::string caption = getCaption(value);
        if (!caption.empty()) strings->AddObject(caption, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(value)));
    }
}

std::string GetValidName(TComponent* component, const std::string& name, bool isBaseName)
{
    TComponent* owner = component ? component->Owner() : nullptr;
    if (!owner) return name;
    int counter = 1;
    std::string result = isBaseName ? name + std::to_string(counter) : name;
    while (owner->FindComponent(result)) result = name + std::to_string(++counter);
    return result;
}

namespace {

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The suffix with every character that cannot be in a name deleted; a
// multi-byte character goes whole since none of its bytes is ASCII.
std::string NameStem(TComponent* parent, TComponent* component, const std::string& prefix, const std::string& suffix)
{
    std::string stem;
    for (char c : suffix)
        if (IsNameChar(c)) stem += c;
    if (stem.empty() || (stem[0] >= '0' && stem[0] <= '9')) {
        const std::string& className = component->ClassName();
        std::string front = !prefix.empty() && className.size() >= prefix.size() &&
                                    SameText(std::string_view(className).substr(0, prefix.size()), prefix)
                                ? className.substr(prefix.size())
                                : className;
        stem = front + stem;
        if (front == className && !stem.empty() && stem[0] == 'T') stem.erase(0, 1);
    }
    if (parent) stem = parent->Name() + stem;
    return stem;
}

bool NameTaken(TComponent* owner, TComponent* component, const std::string& name)
{
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (c != component && SameText(c->Name(), name)) return true;
    }
    return false;
}

}  // namespace

std::string CreateUniqueName(TComponent* ownerComponent, TComponent* parentComponent, TComponent* component,
                             const std::string& prefixName, const std::string& suffixName)
{
    const std::string stem = NameStem(parentComponent, component, prefixName, suffixName);
    for (int counter = suffixName.empty() ? 1 : 0;; ++counter) {
        std::string candidate = counter > 0 ? stem + std::to_string(counter) : stem;
        if (!ownerComponent || !NameTaken(ownerComponent, component, candidate) || counter == INT_MAX)
            return candidate;
    }
}

void RenameComponents(TComponent* caller, TComponent* owner, const std::string& newName, const std::string& oldName,
                      int componentCount, const TcxGetComponent& getComponent)
{
    for (int i = 0; i < componentCount; ++i) {
        TComponent* component = getComponent(caller, i);
        if (!component || component->Owner() != owner) continue;
        const std::string& name = component->Name();
        if (name.size() <= oldName.size() || !SameText(std::string_view(name).substr(0, oldName.size()), oldName))
            continue;
        try {
            component->SetName(newName + name.substr(oldName.size()));
        } catch (const EComponentError&) {
        }
    }
}

int RoundDiv(int a, int b) { return a / b + (a % b != 0 ? 1 : 0); }

SIZE Size(int cx, int cy) { return SIZE{cx, cy}; }

bool StreamsEqual(TMemoryStream* stream1, TMemoryStream* stream2)
{
    if (stream1->Size() != stream2->Size()) return false;
    return stream1->Size() == 0 ||
           std::memcmp(stream1->Memory(), stream2->Memory(), static_cast<std::size_t>(stream1->Size())) == 0;
}

void OpenWebPage(const std::string& address)
{
    ShellExecuteA(nullptr, "OPEN", address.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

std::string GetCorrectPath(const std::string& path)
{
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

// ---- resource strings ------------------------------------------------------------

namespace {

struct Replacement {
    std::string Source;
    std::string Value;
};

// Created on the first replacement, freed at shut-down.
std::unique_ptr<std::vector<Replacement>>& Table()
{
    static std::unique_ptr<std::vector<Replacement>> table;
    return table;
}

Replacement* FindReplacement(const std::string& source)
{
    auto& table = Table();
    if (!table) return nullptr;
    auto it = std::find_if(table->begin(), table->end(),
                           [&](const Replacement& item) { return SameText(item.Source, source); });
    return it == table->end() ? nullptr : &*it;
}

}  // namespace

std::string cxGetResourceString(const TcxResourceString& resource)
{
    return cxGetResourceStringNet(LoadResString(resource));
}

std::string cxGetResourceStringNet(const std::string& text)
{
    const Replacement* found = FindReplacement(text);
    return found ? found->Value : text;
}

void cxSetResourceString(const TcxResourceString& resource, const std::string& value)
{
    cxSetResourceStringNet(LoadResString(resource), value);
}

void cxSetResourceStringNet(const std::string& source, const std::string& value)
{
    if (Replacement* found = FindReplacement(source)) {
        found->Value = value;
        return;
    }
    auto& table = Table();
    if (!table) table = std::make_unique<std::vector<Replacement>>();
    table->push_back({source, value});
}

void cxClearResourceStrings() { Table().reset(); }

void cxClassesInitialize() { GroupDescendentsWith(TcxComponent::StaticClass(), TCanvas::StaticClass()); }

void cxClassesFinalize() { cxClearResourceStrings(); }
