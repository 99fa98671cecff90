// Object model: class information and published properties, two-phase
// construction, Assign, component ownership and notification, collections,
// pointer and string lists.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/lists.h"

using namespace hostlib;

namespace {

enum TShade { shLight, shMedium, shDark };
const TEnumInfo& EnumTypeInfo(TShade*)
{
    static const TEnumInfo info{"TShade", {"shLight", "shMedium", "shDark"}, 0};
    return info;
}
using TShades = TSet<TShade>;

std::vector<std::string>* gLog = nullptr;
void Log(const std::string& s)
{
    if (gLog) gLog->push_back(s);
}

class TSample : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    void Construct(TComponent* owner) override
    {
        TComponent::Construct(owner);
        Log("construct " + std::string(Kind()));
    }
    // Overridden below; called from Construct to show it reaches the most
    // derived class.
    virtual const char* Kind() const { return "sample"; }

    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TShade Shade() const { return shade_; }
    void SetShade(TShade s) { shade_ = s; }
    TShades Shades() const { return shades_; }
    void SetShades(TShades s) { shades_ = s; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; }
    long long Big() const { return big_; }
    char Hotkey() const { return hotkey_; }
    void SetHotkey(char c) { hotkey_ = c; }
    TSample* Buddy() const { return buddy_; }
    void SetBuddy(TSample* b)
    {
        if (buddy_) buddy_->RemoveFreeNotification(this);
        buddy_ = b;
        if (buddy_) buddy_->FreeNotification(this);
    }
    TNotifyEvent& OnClick() { return onClick_; }
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == opRemove && c == buddy_) buddy_ = nullptr;
    }
    void Click(TObject*) { ++clicks; }
    int clicks = 0;

protected:
    void Destroy() override
    {
        Log("destroy " + Name() + " " + Kind());
        TComponent::Destroy();
    }

private:
    int width_ = 10;
    bool visible_ = true;
    TShade shade_ = shMedium;
    TShades shades_;
    double ratio_ = 0;
    std::string caption_;
    long long big_ = 5000000000LL;
    char hotkey_ = 'a';
    TSample* buddy_ = nullptr;
    TNotifyEvent onClick_;
};

TClass TSample::StaticClass()
{
    return DefineClass<TSample, TComponent>("TSample", [](ClassBuilder<TSample>& b) {
        b.Property("Width", &TSample::Width, &TSample::SetWidth).Default(10);
        b.Property("Visible", &TSample::Visible, &TSample::SetVisible).Default(true);
        b.Property("Shade", &TSample::Shade, &TSample::SetShade).Default(shMedium);
        b.Property("Shades", &TSample::Shades, &TSample::SetShades);
        b.Property("Ratio", &TSample::Ratio, &TSample::SetRatio);
        b.Property("Caption", &TSample::Caption, &TSample::SetCaption);
        b.Property("Big", &TSample::Big);
        b.Property("Hotkey", &TSample::Hotkey, &TSample::SetHotkey);
        b.Property("Buddy", &TSample::Buddy, &TSample::SetBuddy);
        b.EventProperty("OnClick", &TSample::OnClick);
        b.Method("Click", &TSample::Click);
    });
}

class TFancySample : public TSample {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    const char* Kind() const override { return "fancy"; }
    int Depth() const { return depth_; }
    void SetDepth(int d) { depth_ = d; }

private:
    int depth_ = 0;
};

TClass TFancySample::StaticClass()
{
    return DefineClass<TFancySample, TSample>("TFancySample", [](ClassBuilder<TFancySample>& b) {
        b.Property("Depth", &TFancySample::Depth, &TFancySample::SetDepth);
        // Redeclared with another default: replaces the ancestor's in place.
        b.Property("Width", &TFancySample::Width, &TFancySample::SetWidth).Default(20);
    });
}

class LogScope {
public:
    LogScope() { gLog = &log; }
    ~LogScope() { gLog = nullptr; }
    std::vector<std::string> log;
};

TEST(ClassInfo, NamesParentsAndRegistry)
{
    EXPECT_EQ(TFancySample::StaticClass()->ClassName(), "TFancySample");
    EXPECT_EQ(TFancySample::StaticClass()->ClassParent(), TSample::StaticClass());
    EXPECT_TRUE(TFancySample::StaticClass()->InheritsFrom(TComponent::StaticClass()));
    EXPECT_FALSE(TSample::StaticClass()->InheritsFrom(TFancySample::StaticClass()));
    RegisterClasses({TSample::StaticClass(), TFancySample::StaticClass()});
    RegisterClass(TSample::StaticClass());  // twice is fine
    EXPECT_EQ(GetClass("tfancysample"), TFancySample::StaticClass());
    EXPECT_EQ(GetClass("TNothing"), nullptr);
    EXPECT_THROW(FindClass("TNothing"), EClassNotFound);
    UnRegisterClass(TFancySample::StaticClass());
    EXPECT_EQ(GetClass("TFancySample"), nullptr);
}

TEST(ClassInfo, PropertiesInDeclarationOrderAfterAncestors)
{
    std::vector<std::string> names;
    for (const TPropInfo* p : TFancySample::StaticClass()->Properties()) names.push_back(p->Name);
    const std::vector<std::string> expected = {"Name", "Tag", "Width", "Visible", "Shade", "Shades", "Ratio",
                                               "Caption", "Big", "Hotkey", "Buddy", "OnClick", "Depth"};
    EXPECT_EQ(names, expected);

    struct Case {
        const char* name;
        TPropKind kind;
        bool readOnly;
    };
    const std::vector<Case> cases = {
        {"width", pkInteger, false},  {"VISIBLE", pkBoolean, false}, {"Shade", pkEnumeration, false},
        {"Shades", pkSet, false},     {"Ratio", pkFloat, false},     {"Caption", pkString, false},
        {"Big", pkInt64, true},       {"Hotkey", pkChar, false},     {"Buddy", pkComponent, false}, {"OnClick", pkEvent, false},
        {"Tag", pkInt64, false},      {"Depth", pkInteger, false},
    };
    TClass cls = TFancySample::StaticClass();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TPropInfo* p = cls->FindProperty(c.name);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Kind, c.kind);
        EXPECT_EQ(p->ReadOnly, c.readOnly);
    }
    EXPECT_EQ(cls->FindProperty("Nope"), nullptr);
    EXPECT_EQ(cls->FindProperty("Width")->DefaultValue->AsInteger(), 20);
    EXPECT_EQ(TSample::StaticClass()->FindProperty("Width")->DefaultValue->AsInteger(), 10);
    EXPECT_NE(cls->FindMethod("click"), nullptr);
}

TEST(ClassInfo, GenericAccessAndDefaults)
{
    auto* obj = CreateObject<TSample>(nullptr);
    ObjectPtr<TSample> guard(obj);
    SetOrdProp(obj, "Width", 33);
    EXPECT_EQ(obj->Width(), 33);
    SetEnumProp(obj, "Shade", "SHDARK");
    EXPECT_EQ(obj->Shade(), shDark);
    EXPECT_EQ(GetEnumProp(obj, "Shade"), "shDark");
    SetSetProp(obj, "Shades", "[shLight, shDark]");
    EXPECT_EQ(GetSetProp(obj, "Shades"), "[shLight,shDark]");
    SetSetProp(obj, "Shades", "[]");
    EXPECT_TRUE(obj->Shades().Empty());
    SetStrProp(obj, "Caption", "Hi");
    EXPECT_EQ(GetStrProp(obj, "caption"), "Hi");
    SetFloatProp(obj, "Ratio", 0.5);
    EXPECT_EQ(GetFloatProp(obj, "Ratio"), 0.5);
    EXPECT_EQ(GetOrdProp(obj, "Big"), 5000000000LL);
    EXPECT_EQ(GetEnumProp(obj, "Visible"), "True");
    EXPECT_EQ(GetOrdProp(obj, "Hotkey"), 'a');  // characters are ordinals
    SetOrdProp(obj, "Hotkey", 'z');
    EXPECT_EQ(obj->Hotkey(), 'z');
    SetStrProp(obj, "Hotkey", "q");
    EXPECT_EQ(obj->Hotkey(), 'q');

    EXPECT_THROW(SetOrdProp(obj, "Big", 1), EPropertyError);
    EXPECT_THROW(SetOrdProp(obj, "Missing", 1), EPropertyError);
    EXPECT_THROW(SetEnumProp(obj, "Shade", "shPurple"), EPropertyError);
    EXPECT_THROW(SetSetProp(obj, "Shades", "[shLight,shPurple]"), EPropertyError);
    EXPECT_THROW(SetSetProp(obj, "Shades", "[shLight"), EPropertyError);
    EXPECT_THROW(SetOrdProp(obj, "Shade", 7), EPropertyError);
    EXPECT_THROW(SetObjectProp(obj, "Buddy", MakeObject<TStringList>().get()), EPropertyError);

    const TPropInfo* width = GetPropInfo(obj, "Width");
    const TPropInfo* caption = GetPropInfo(obj, "Caption");
    const TPropInfo* visible = GetPropInfo(obj, "Visible");
    obj->SetWidth(10);
    obj->SetCaption("");
    EXPECT_TRUE(IsDefaultPropValue(obj, *width));
    EXPECT_TRUE(IsDefaultPropValue(obj, *caption));
    EXPECT_TRUE(IsDefaultPropValue(obj, *visible));
    obj->SetVisible(false);
    EXPECT_FALSE(IsDefaultPropValue(obj, *visible));
    EXPECT_FALSE(IsStoredProp(obj, *GetPropInfo(obj, "Name")));
}

TEST(TwoPhaseConstruction, VirtualCallsReachTheMostDerivedClass)
{
    LogScope scope;
    TComponent* c = CreateComponent(TFancySample::StaticClass(), nullptr);
    EXPECT_EQ(c->ClassName(), "TFancySample");
    c->SetName("F");
    c->Free();
    const std::vector<std::string> expected = {"construct fancy", "destroy F fancy"};
    EXPECT_EQ(scope.log, expected);
    EXPECT_THROW(CreateComponent(TStringList::StaticClass(), nullptr), EComponentError);
}

class TPlain : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int value = 0;
    void Assign(TPersistent* source) override
    {
        if (auto* p = As<TPlain>(source)) {
            value = p->value;
            return;
        }
        TPersistent::Assign(source);
    }
};
TClass TPlain::StaticClass()
{
    return DefineClass<TPlain, TPersistent>("TPlain");
}

TEST(Assign, CopiesKnownClassesAndNamesTheOthers)
{
    auto a = MakeObject<TPlain>();
    auto b = MakeObject<TPlain>();
    b->value = 4;
    a->Assign(b.get());
    EXPECT_EQ(a->value, 4);

    auto list = MakeObject<TStringList>();
    struct Case {
        TPersistent* dest;
        TPersistent* source;
        std::string message;
    };
    const std::vector<Case> cases = {
        {a.get(), list.get(), "Cannot assign a TStringList to a TPlain"},
        {list.get(), a.get(), "Cannot assign a TPlain to a TStringList"},
        {a.get(), nullptr, "Cannot assign a nil to a TPlain"},
    };
    for (const auto& c : cases) {
        try {
            c.dest->Assign(c.source);
            ADD_FAILURE() << c.message;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
}

TEST(Components, OwnerFreesOwnedInReverseOrder)
{
    LogScope scope;
    auto* owner = CreateObject<TSample>(nullptr);
    owner->SetName("Owner");
    auto* a = CreateObject<TSample>(owner);
    a->SetName("A");
    auto* b = CreateObject<TSample>(owner);
    b->SetName("B");
    auto* c = CreateObject<TSample>(a);  // grandchild
    c->SetName("C");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_THROW(owner->Components(2), EListError);
    EXPECT_EQ(owner->FindComponent("a"), a);
    EXPECT_EQ(owner->FindComponent("C"), nullptr);
    EXPECT_EQ(owner->FindComponent(""), nullptr);
    b->SetComponentIndex(0);
    EXPECT_EQ(owner->Components(0), b);
    b->SetComponentIndex(1);
    scope.log.clear();
    owner->Free();
    const std::vector<std::string> expected = {"destroy Owner sample", "destroy B sample", "destroy A sample",
                                               "destroy C sample"};
    EXPECT_EQ(scope.log, expected);
}

TEST(Components, NamesAreValidatedAndUniqueWithinTheOwner)
{
    auto owner = MakeObject<TSample>(nullptr);
    auto* a = CreateObject<TSample>(owner.get());
    auto* b = CreateObject<TSample>(owner.get());
    a->SetName("Button1");
    struct Case {
        std::string name;
        bool ok;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"button1", false, "A component named button1 already exists"},
        {"1abc", false, "'1abc' is not a valid component name"},
        {"a b", false, "'a b' is not a valid component name"},
        {"Button2", true, ""},
        {"", true, ""},
        {"_x9", true, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            b->SetName(c.name);
            EXPECT_TRUE(c.ok);
            EXPECT_EQ(b->Name(), c.name);
        } catch (const EComponentError& e) {
            EXPECT_FALSE(c.ok);
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    a->SetName("BUTTON1");  // renaming itself in another case is fine
    EXPECT_EQ(a->Name(), "BUTTON1");
    // Inserting a component whose name clashes is refused.
    auto* loose = CreateObject<TSample>(nullptr);
    ObjectPtr<TSample> looseGuard(loose);
    loose->SetName("Button1");
    EXPECT_THROW(owner->InsertComponent(loose), EComponentError);
    EXPECT_EQ(loose->Owner(), nullptr);
}

TEST(Components, FreeNotificationClearsReferencesAcrossOwners)
{
    auto formA = MakeObject<TSample>(nullptr);
    auto formB = MakeObject<TSample>(nullptr);
    auto* user = CreateObject<TSample>(formA.get());
    auto* target = CreateObject<TSample>(formB.get());
    auto* sibling = CreateObject<TSample>(formA.get());
    user->SetBuddy(target);
    sibling->SetBuddy(user);  // same owner: the owner's broadcast tells it
    EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
    target->Free();
    EXPECT_EQ(user->Buddy(), nullptr);
    user->Free();
    EXPECT_EQ(sibling->Buddy(), nullptr);
    // A removed notification is not sent.
    auto* t2 = CreateObject<TSample>(formB.get());
    user = CreateObject<TSample>(formA.get());
    user->SetBuddy(t2);
    user->SetBuddy(nullptr);
    user->Free();  // t2 must not call back into the freed user
    t2->Free();
}

TEST(Components, StateFlagsDuringDestruction)
{
    struct Probe : TSample {
        static TClass StaticClass() { return DefineClass<Probe, TSample>("TProbe"); }
        TClass ClassType() const override { return StaticClass(); }
        bool* seen = nullptr;
        void BeforeDestruction() override
        {
            TSample::BeforeDestruction();
            if (seen) *seen = IsDestroying();
        }
    };
    bool seen = false;
    auto* p = CreateObject<Probe>(nullptr);
    p->seen = &seen;
    p->Updating();
    EXPECT_TRUE(p->ComponentState().Contains(csUpdating));
    p->Updated();
    EXPECT_FALSE(p->ComponentState().Contains(csUpdating));
    EXPECT_FALSE(p->ComponentState().Contains(csDesigning));
    p->Free();
    EXPECT_TRUE(seen);
}

TEST(Events, SaveCompareReplaceRestore)
{
    auto a = MakeObject<TSample>(nullptr);
    auto b = MakeObject<TSample>(nullptr);
    TNotifyEvent none;
    EXPECT_FALSE(none.Assigned());
    none(nullptr);  // calling an unassigned event does nothing
    a->OnClick() = TNotifyEvent::Bind(a.get(), &TSample::Click);
    const TNotifyEvent saved = a->OnClick();
    EXPECT_TRUE(saved == TNotifyEvent::Bind(a.get(), &TSample::Click));
    EXPECT_FALSE(saved == TNotifyEvent::Bind(b.get(), &TSample::Click));
    EXPECT_FALSE(saved == none);
    a->OnClick() = TNotifyEvent::Bind(b.get(), &TSample::Click);
    a->OnClick()(a.get());
    EXPECT_EQ(b->clicks, 1);
    a->OnClick() = saved;
    a->OnClick()(a.get());
    EXPECT_EQ(a->clicks, 1);

    // Binding by handler name through the published method.
    const TMethodInfo* m = TSample::StaticClass()->FindMethod("Click");
    ASSERT_NE(m, nullptr);
    TNotifyEvent byName;
    EXPECT_TRUE(m->Bind(*b, byName));
    EXPECT_EQ(byName.HandlerName(), "Click");
    byName(nullptr);
    EXPECT_EQ(b->clicks, 2);
    Event<TObject*, int> otherSignature;
    EXPECT_FALSE(m->Bind(*b, otherSignature));
    EXPECT_FALSE(otherSignature.Assigned());
}

class TColumnItem : public TCollectionItem {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    std::string caption;
    void Assign(TPersistent* source) override
    {
        if (auto* c = As<TColumnItem>(source)) {
            caption = c->caption;
            return;
        }
        TCollectionItem::Assign(source);
    }
};
TClass TColumnItem::StaticClass()
{
    return DefineClass<TColumnItem, TCollectionItem>("TColumnItem");
}

class TColumns : public TOwnedCollection {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    std::vector<std::string> updates;

protected:
    void Update(TCollectionItem* item) override
    {
        updates.push_back(item ? static_cast<TColumnItem*>(item)->caption : std::string("all"));
    }
};
TClass TColumns::StaticClass()
{
    return DefineClass<TColumns, TOwnedCollection>("TColumns");
}

std::vector<std::string> Captions(TCollection& c)
{
    std::vector<std::string> out;
    for (int i = 0; i < c.Count(); ++i) out.push_back(static_cast<TColumnItem*>(c.Items(i))->caption);
    return out;
}

TEST(Collections, AddInsertMoveDeleteAndAssign)
{
    auto owner = MakeObject<TSample>(nullptr);
    owner->SetName("Grid");
    auto cols = MakeObject<TColumns>(owner.get(), TColumnItem::StaticClass());
    cols->SetPropName("Columns");
    for (const char* c : {"a", "b", "c", "d"}) cols->AddAs<TColumnItem>()->caption = c;
    EXPECT_EQ(cols->Count(), 4);
    EXPECT_EQ(cols->Items(2)->ID(), 2);
    EXPECT_EQ(cols->Items(3)->GetNamePath(), "Grid.Columns[3]");

    struct Move {
        int from;
        int to;
        std::vector<std::string> expected;
    };
    const std::vector<Move> moves = {
        {0, 3, {"b", "c", "d", "a"}},
        {3, 0, {"a", "b", "c", "d"}},
        {1, 2, {"a", "c", "b", "d"}},
        {2, 2, {"a", "c", "b", "d"}},
    };
    for (const auto& m : moves) {
        cols->Items(m.from)->SetIndex(m.to);
        EXPECT_EQ(Captions(*cols), m.expected);
    }
    EXPECT_THROW(cols->Items(0)->SetIndex(4), EListError);
    EXPECT_THROW(cols->Items(4), EListError);

    auto* inserted = static_cast<TColumnItem*>(cols->Insert(1));
    inserted->caption = "x";
    EXPECT_EQ(Captions(*cols), (std::vector<std::string>{"a", "x", "c", "b", "d"}));
    EXPECT_EQ(inserted->ID(), 4);
    EXPECT_EQ(cols->FindItemID(4), inserted);
    cols->Delete(0);
    EXPECT_EQ(Captions(*cols), (std::vector<std::string>{"x", "c", "b", "d"}));
    cols->Items(0)->Free();  // freeing an item takes it out
    EXPECT_EQ(Captions(*cols), (std::vector<std::string>{"c", "b", "d"}));

    cols->updates.clear();
    cols->BeginUpdate();
    cols->Add();
    cols->Delete(0);
    EXPECT_TRUE(cols->updates.empty());
    cols->EndUpdate();
    EXPECT_EQ(cols->updates, std::vector<std::string>{"all"});

    auto copy = MakeObject<TColumns>(owner.get(), TColumnItem::StaticClass());
    copy->Assign(cols.get());
    EXPECT_EQ(Captions(*copy), Captions(*cols));
    EXPECT_THROW(copy->Assign(owner.get()), EConvertError);
    EXPECT_THROW(MakeObject<TColumns>(owner.get(), TSample::StaticClass()), EComponentError);
    cols->Clear();
    EXPECT_EQ(cols->Count(), 0);
}

TEST(Lists, PointerListOperations)
{
    auto list = MakeObject<TList>();
    int v[5] = {5, 3, 9, 1, 7};
    for (int& x : v) list->Add(&x);
    list->Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
    std::vector<int> sorted;
    for (int i = 0; i < list->Count(); ++i) sorted.push_back(*static_cast<int*>(list->Items(i)));
    EXPECT_EQ(sorted, (std::vector<int>{1, 3, 5, 7, 9}));
    list->Exchange(0, 4);
    EXPECT_EQ(*static_cast<int*>(list->First()), 9);
    list->SetCount(7);
    EXPECT_EQ(list->Items(6), nullptr);
    list->SetItems(1, nullptr);
    list->Pack();
    EXPECT_EQ(list->Count(), 4);
    EXPECT_THROW(list->SetCapacity(2), EListError);
    list->SetCapacity(100);
    EXPECT_EQ(list->Capacity(), 100);
    EXPECT_THROW(list->Items(-1), EListError);
    EXPECT_THROW(list->Insert(9, nullptr), EListError);
    EXPECT_THROW(list->SetCount(-1), EListError);
    try {
        list->Delete(4);
        ADD_FAILURE() << "deleting past the end was allowed";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (4)");
    }
    const int at = list->IndexOf(&v[0]);
    EXPECT_GE(at, 0);
    EXPECT_EQ(list->Remove(&v[0]), at);
    EXPECT_EQ(list->Remove(&v[0]), -1);
}

TEST(Lists, ObjectListOwnsItsObjects)
{
    LogScope scope;
    auto list = MakeObject<TObjectList>();
    auto* a = CreateObject<TSample>(nullptr);
    a->SetName("A");
    auto* b = CreateObject<TSample>(nullptr);
    b->SetName("B");
    list->Add(a);
    list->Add(b);
    EXPECT_EQ(list->Extract(b), b);
    list->Delete(0);
    EXPECT_EQ(scope.log.back(), "destroy A sample");
    b->Free();
    {
        TObjectList member;  // not freed through Free
        auto* c = CreateObject<TSample>(nullptr);
        c->SetName("C");
        member.Add(c);
    }
    EXPECT_EQ(scope.log.back(), "destroy C sample");
}

TEST(ClassInfo, CreatesInstancesOfClassReferences)
{
    auto owner = MakeObject<TSample>(nullptr);
    TComponent* c = CreateInstance<TComponent>(TFancySample::StaticClass(), owner.get());
    EXPECT_EQ(c->Owner(), owner.get());
    EXPECT_EQ(c->ClassName(), "TFancySample");
    EXPECT_THROW(CreateInstance<TComponent>(TStringList::StaticClass(), owner.get()), EInvalidCast);
    EXPECT_THROW(CreateInstance<TCollection>(TStrings::StaticClass(), nullptr), EInvalidCast);
    EXPECT_THROW(TStrings::StaticClass()->NewInstance(), EAbstractError);
    auto* items = CreateInstance<TCollection>(TCollection::StaticClass(), TColumnItem::StaticClass());
    ObjectPtr<TCollection> guard(items);
    EXPECT_EQ(items->Add()->ClassName(), "TColumnItem");
}

struct StringsCase {
    std::vector<std::string> input;
    bool sorted;
    TDuplicates dup;
    bool caseSensitive;
    std::vector<std::string> expected;
};

TEST(StringLists, SortingDuplicatesAndCase)
{
    const std::vector<StringsCase> cases = {
        {{"b", "A", "a", "B"}, true, dupAccept, true, {"a", "A", "b", "B"}},
        {{"b", "A", "a", "B"}, true, dupIgnore, false, {"A", "b"}},
        {{"b", "A", "a", "B"}, true, dupAccept, false, {"a", "A", "B", "b"}},  // equal ones go first
        {{"b", "A", "a", "B"}, false, dupIgnore, false, {"b", "A", "a", "B"}},
        {{"é", "e", "f", "É"}, true, dupAccept, true, {"e", "é", "É", "f"}},
    };
    for (const auto& c : cases) {
        auto list = MakeObject<TStringList>();
        list->SetCaseSensitive(c.caseSensitive);
        list->SetDuplicates(c.dup);
        list->SetSorted(c.sorted);
        for (const auto& s : c.input) list->Add(s);
        EXPECT_EQ(list->ToVector(), c.expected);
    }
    auto list = MakeObject<TStringList>();
    list->SetSorted(true);
    list->SetDuplicates(dupError);
    list->Add("x");
    EXPECT_THROW(list->Add("X"), EStringListError);
    EXPECT_THROW(list->Insert(0, "a"), EStringListError);
    EXPECT_EQ(list->IndexOf("X"), 0);
    int index = -1;
    EXPECT_FALSE(list->Find("y", index));
    EXPECT_EQ(index, 1);
}

TEST(StringLists, TextCommaTextAndValues)
{
    auto list = MakeObject<TStringList>();
    list->SetText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(list->ToVector(), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(list->Text(), "one\ntwo\nthree\nfour\n");

    struct Comma {
        std::vector<std::string> items;
        std::string text;
    };
    const std::vector<Comma> commas = {
        {{"a", "b c", "d,e", "f\"g", ""}, "a,\"b c\",\"d,e\",\"f\"\"g\","},
        {{""}, "\"\""},
        {{}, ""},
    };
    for (const auto& c : commas) {
        list->Clear();
        for (const auto& s : c.items) list->Add(s);
        EXPECT_EQ(list->CommaText(), c.text);
        list->SetCommaText(c.text);
        EXPECT_EQ(list->ToVector(), c.items);
    }
    // Blanks separate unquoted items unless the delimiter is strict.
    list->SetCommaText("a b,  c ,d,");
    EXPECT_EQ(list->ToVector(), (std::vector<std::string>{"a", "b", "c", "d", ""}));
    list->SetStrictDelimiter(true);
    list->SetDelimiter(';');
    list->SetDelimitedText("a b; c");
    EXPECT_EQ(list->ToVector(), (std::vector<std::string>{"a b", " c"}));

    list->Clear();
    list->Add("Width=10");
    list->Add("Name=x=y");
    list->Add("plain");
    EXPECT_EQ(list->Values("WIDTH"), "10");
    EXPECT_EQ(list->Values("Name"), "x=y");
    EXPECT_EQ(list->Names(1), "Name");
    EXPECT_EQ(list->Names(2), "");
    EXPECT_EQ(list->Values("missing"), "");
    list->SetValues("Height", "5");
    EXPECT_EQ(list->Get(3), "Height=5");
    list->SetValues("Width", "");
    EXPECT_EQ(list->IndexOfName("Width"), -1);
    EXPECT_THROW(list->Get(10), EStringListError);
}

TEST(StringLists, ChangeEventsRespectUpdates)
{
    auto list = MakeObject<TStringList>();
    int changes = 0;
    list->OnChange() = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    list->Add("a");
    EXPECT_EQ(changes, 1);
    list->BeginUpdate();
    list->Add("b");
    list->Add("c");
    list->Delete(0);
    EXPECT_EQ(changes, 1);
    list->EndUpdate();
    EXPECT_EQ(changes, 2);
    list->Exchange(0, 1);
    EXPECT_EQ(list->ToVector(), (std::vector<std::string>{"c", "b"}));
    list->Move(0, 1);
    EXPECT_EQ(list->ToVector(), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(changes, 4);

    auto copy = MakeObject<TStringList>();
    copy->Assign(list.get());
    EXPECT_TRUE(copy->Equals(list.get()));
}

}  // namespace
