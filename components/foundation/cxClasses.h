#pragma once
// Building blocks every unit of the component library uses: persistent and
// component bases that know their owner, an owning object list, two class
// registries, a proportional width distributor, an alignment persistent with
// assigned-value tracking, weak object links, a free-notification relay, a
// most-recently-used list, component naming and resource strings with a
// run-time replacement table.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/resources.h"
#include "platform/hostlib/core/streams.h"
#include "platform/system/wintypes.h"

enum TcxDirection { dirNone, dirLeft, dirRight, dirUp, dirDown };
enum TcxAlignmentVert { vaTop, vaBottom, vaCenter };
const hostlib::TEnumInfo& EnumTypeInfo(TcxAlignmentVert*);
enum TcxCollectionOperation { coAdd, coDelete, coChanged };

using TcxGetCaptionForIntegerItemFunc = std::function<std::string(int)>;
using TcxGetComponent = std::function<hostlib::TComponent*(hostlib::TComponent* caller, int index)>;
using TcxFreeNotificationEvent = hostlib::Event<hostlib::TComponent*>;

// A persistent that knows the owner it was created for. Interfaces are
// abstract classes found with hostlib::Supports.
class TcxInterfacedPersistent : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner) { owner_ = owner; }
    hostlib::TPersistent* GetOwner() const override { return owner_; }

private:
    hostlib::TPersistent* owner_ = nullptr;
};
using TcxInterfacedPersistentClass = hostlib::TClass;

class TcxComponent : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TComponent* FakeComponentLink1() const { return fakeLinks_[0]; }
    hostlib::TComponent* FakeComponentLink2() const { return fakeLinks_[1]; }
    hostlib::TComponent* FakeComponentLink3() const { return fakeLinks_[2]; }
    void SetFakeComponentLink1(hostlib::TComponent* value) { fakeLinks_[0] = value; }
    void SetFakeComponentLink2(hostlib::TComponent* value) { fakeLinks_[1] = value; }
    void SetFakeComponentLink3(hostlib::TComponent* value) { fakeLinks_[2] = value; }
    static constexpr int GetFakeComponentLinkCount() { return 3; }

    bool IsDesigning() const { return ComponentState().Contains(hostlib::csDesigning); }
    void Loaded() override;

protected:
    void Destroy() override;
    // The components this one depends on, for a designer; none here.
    virtual void GetFakeComponentLinks(std::vector<hostlib::TComponent*>& list) { (void)list; }
    void UpdateFakeLinks();

private:
    hostlib::TComponent* fakeLinks_[3] = {nullptr, nullptr, nullptr};
};

// A list that owns its objects.
class TcxObjectList : public hostlib::TList {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Frees every item, first to last, then empties the list.
    void Clear() override;
    hostlib::TObject* Items(int index) const { return static_cast<hostlib::TObject*>(TList::Items(index)); }

protected:
    void Destroy() override;
};

struct TcxRegisteredClassListItemData {
    hostlib::TClass ItemClass = nullptr;
    hostlib::TClass RegisteredClass = nullptr;
};

// Pairs (item class, registered class), an ancestor item class always before
// its descendants, so a search from the end finds the most specific pair.
class TcxRegisteredClassList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Scans from the end for a pair whose item class is itemClass or its
    // ancestor; index receives the hit, or else the lowest descendant pair.
    virtual bool Find(hostlib::TClass itemClass, int& index) const;
    virtual void Register(hostlib::TClass itemClass, hostlib::TClass registeredClass);
    virtual void Unregister(hostlib::TClass itemClass, hostlib::TClass registeredClass);
    void Clear() { items_.clear(); }
    hostlib::TClass FindClass(hostlib::TClass itemClass) const;
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for a bad index.
    const TcxRegisteredClassListItemData& Items(int index) const;

private:
    std::vector<TcxRegisteredClassListItemData> items_;
};

// Classes with a description "name|hint", in registration order.
class TcxRegisteredClasses : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxRegisteredClasses() = default;
    // With registerClasses, every added class joins the streaming registry.
    explicit TcxRegisteredClasses(bool registerClasses) : registerClasses_(registerClasses) {}

    void Register(hostlib::TClass cls, const std::string& description);
    void Unregister(hostlib::TClass cls);
    void Clear() { items_.clear(); }
    int Count() const { return static_cast<int>(items_.size()); }
    hostlib::TClass Items(int index) const { return At(index).Class; }
    std::string Descriptions(int index) const;
    std::string Hints(int index) const;
    // Exact, case-sensitive class-name match; nullptr when absent.
    hostlib::TClass FindByClassName(const std::string& name) const;
    hostlib::TClass FindByDescription(const std::string& description) const;
    std::string GetDescriptionByClass(hostlib::TClass cls) const;
    std::string GetHintByClass(hostlib::TClass cls) const;
    int GetIndexByClass(hostlib::TClass cls) const;

private:
    struct Item {
        std::string Text;
        hostlib::TClass Class = nullptr;
    };
    const Item& At(int index) const;
    bool registerClasses_ = false;
    std::vector<Item> items_;
};

class TcxAutoWidthItem : public hostlib::TObject {
public:
    int MinimalWidth() const { return minimalWidth_; }
    void SetMinimalWidth(int value) { minimalWidth_ = value; }
    int Width() const { return width_; }
    void SetWidth(int value) { width_ = value; }
    bool IsFixed() const { return isFixed_; }
    void SetIsFixed(bool value) { isFixed_ = value; }
    int ResultWidth() const { return resultWidth_; }
    void SetResultWidth(int value) { resultWidth_ = value; }

private:
    int minimalWidth_ = 0;
    int width_ = 0;
    bool isFixed_ = false;
    int resultWidth_ = -1;
};

// Spreads TargetWidth over the items in proportion to their widths, with
// cumulative rounding, never below an item's minimal width.
class TcxAutoWidthObject : public hostlib::TObject {
public:
    explicit TcxAutoWidthObject(int capacity = 0) { items_.reserve(static_cast<std::size_t>(std::max(capacity, 0))); }

    TcxAutoWidthItem* AddItem();
    void Clear() { items_.clear(); }
    void Calculate();
    int Count() const { return static_cast<int>(items_.size()); }
    TcxAutoWidthItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)).get(); }
    int TargetWidth() const { return targetWidth_; }
    void SetTargetWidth(int value) { targetWidth_ = value; }
    // The sum of the items' requested widths.
    int Width() const;

private:
    bool CalculatePass(int& target, int& weight, bool final);

    int targetWidth_ = 0;
    std::vector<std::unique_ptr<TcxAutoWidthItem>> items_;
};

// Horizontal and vertical alignment with one assigned flag per axis.
class TcxAlignment : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TPersistent* owner, bool useAssignedValues = false,
                           hostlib::TAlignment defaultHorz = hostlib::taLeftJustify,
                           TcxAlignmentVert defaultVert = vaTop);
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override { return owner_; }
    void Reset();

    hostlib::TAlignment Horz() const { return horz_; }
    void SetHorz(hostlib::TAlignment value);
    TcxAlignmentVert Vert() const { return vert_; }
    void SetVert(TcxAlignmentVert value);
    bool IsHorzStored() const { return useAssignedValues_ ? isHorzAssigned_ : horz_ != defaultHorz_; }
    bool IsVertStored() const { return useAssignedValues_ ? isVertAssigned_ : vert_ != defaultVert_; }
    bool IsHorzAssigned() const { return isHorzAssigned_; }
    bool IsVertAssigned() const { return isVertAssigned_; }

    hostlib::TNotifyEvent OnChanged;

private:
    hostlib::TPersistent* owner_ = nullptr;
    bool useAssignedValues_ = false;
    hostlib::TAlignment defaultHorz_ = hostlib::taLeftJustify;
    TcxAlignmentVert defaultVert_ = vaTop;
    hostlib::TAlignment horz_ = hostlib::taLeftJustify;
    TcxAlignmentVert vert_ = vaTop;
    bool isHorzAssigned_ = false;
    bool isVertAssigned_ = false;
};

// A weak reference: cleared when its object is destroyed (cxClearObjectLinks).
struct TcxObjectLink {
    hostlib::TObject* Ref = nullptr;
};
TcxObjectLink* cxAddObjectLink(hostlib::TObject* object);
// Frees the link (nullptr is ignored).
void cxRemoveObjectLink(TcxObjectLink* link);
void cxClearObjectLinks(hostlib::TObject* object);

// Relays free notifications of watched components to OnComponentFreed.
class TcxFreeNotificator : public hostlib::TComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void AddSender(hostlib::TComponent* sender);
    void RemoveSender(hostlib::TComponent* sender);
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;

    TcxFreeNotificationEvent OnComponentFreed;
};

class TcxMRUItem : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // Raises EAbstractError unless overridden.
    virtual bool Equals(TcxMRUItem* item);
};
using TcxMRUItemClass = hostlib::TClass;

// Most recent first; MaxCount 0 means unlimited.
class TcxMRUItems : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    ~TcxMRUItems() override;

    // Takes ownership of item: an equal item already present moves to the
    // front and item is freed.
    void Add(TcxMRUItem* item);
    void Delete(int index);
    void ClearItems();
    int Count() const { return static_cast<int>(items_.size()); }
    TcxMRUItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int IndexOf(TcxMRUItem* item) const;
    int MaxCount() const { return maxCount_; }
    void SetMaxCount(int value);

private:
    void CutTo(int count);

    std::vector<TcxMRUItem*> items_;
    int maxCount_ = 0;
};

// ---- functions --------------------------------------------------------------

void FillStringsWithEnumTypeValues(hostlib::TStrings* strings, const hostlib::TEnumInfo& typeInfo,
                                   const TcxGetCaptionForIntegerItemFunc& getCaption);
std::string GetValidName(hostlib::TComponent* component, const std::string& name, bool isBaseName = false);
std::string CreateUniqueName(hostlib::TComponent* ownerComponent, hostlib::TComponent* parentComponent,
                             hostlib::TComponent* component, const std::string& prefixName,
                             const std::string& suffixName);
void RenameComponents(hostlib::TComponent* caller, hostlib::TComponent* owner, const std::string& newName,
                      const std::string& oldName, int componentCount, const TcxGetComponent& getComponent);
// A div B, plus 1 when A mod B is not 0.
int RoundDiv(int a, int b);
SIZE Size(int cx, int cy);
bool StreamsEqual(hostlib::TMemoryStream* stream1, hostlib::TMemoryStream* stream2);
void OpenWebPage(const std::string& address);
// Folder separators made the platform's: "\" becomes "/".
std::string GetCorrectPath(const std::string& path);

// ---- resource strings ----------------------------------------------------------

// A string-table entry: its identifier and built-in text (registered,
// for instance translated, texts take its place).
using TcxResourceString = hostlib::TResourceString;

// The entry's text in force, or its replacement when one was set for it.
std::string cxGetResourceString(const TcxResourceString& resource);
// The replacement for a loaded text (compared ignoring case), else the text.
std::string cxGetResourceStringNet(const std::string& text);
// Replaces the text of an entry. The table is keyed by the loaded text, so
// two entries with the same text share one replacement.
void cxSetResourceString(const TcxResourceString& resource, const std::string& value);
void cxSetResourceStringNet(const std::string& source, const std::string& value);
// Frees the replacement table.
void cxClearResourceStrings();

// Unit start-up (class grouping) and shut-down (the replacement table).
void cxClassesInitialize();
void cxClassesFinalize();
