#include <gtest/gtest.h>

#include <tuple>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxLibraryStrs.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/lists.h"

using namespace hostlib;

namespace {

// A small class tree: A <- B <- C, and an unrelated U.
class A : public TObject {
public:
    static TClass StaticClass() { return DefineClass<A, TObject>("A"); }
    TClass ClassType() const override { return StaticClass(); }
};
class B : public A {
public:
    static TClass StaticClass() { return DefineClass<B, A>("B"); }
    TClass ClassType() const override { return StaticClass(); }
};
class C : public B {
public:
    static TClass StaticClass() { return DefineClass<C, B>("C"); }
    TClass ClassType() const override { return StaticClass(); }
};
class U : public TObject {
public:
    static TClass StaticClass() { return DefineClass<U, TObject>("U"); }
    TClass ClassType() const override { return StaticClass(); }
};
// Registered classes, one per pair.
class RA : public TObject {
public:
    static TClass StaticClass() { return DefineClass<RA, TObject>("RA"); }
};
class RB : public TObject {
public:
    static TClass StaticClass() { return DefineClass<RB, TObject>("RB"); }
};

TEST(RegisteredClassList, AncestorsPrecedeDescendantsWhateverTheOrder)
{
    struct Case {
        std::vector<std::pair<TClass, TClass>> registrations;
    };
    const std::vector<Case> cases = {
        {{{B::StaticClass(), RB::StaticClass()}, {A::StaticClass(), RA::StaticClass()}}},
        {{{A::StaticClass(), RA::StaticClass()}, {B::StaticClass(), RB::StaticClass()}}},
    };
    for (const auto& c : cases) {
        TcxRegisteredClassList list;
        for (auto [item, reg] : c.registrations) list.Register(item, reg);
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.Items(0).ItemClass, A::StaticClass());
        EXPECT_EQ(list.Items(1).ItemClass, B::StaticClass());
        EXPECT_EQ(list.FindClass(A::StaticClass()), RA::StaticClass());
        EXPECT_EQ(list.FindClass(B::StaticClass()), RB::StaticClass());
        EXPECT_EQ(list.FindClass(C::StaticClass()), RB::StaticClass());
        EXPECT_EQ(list.FindClass(U::StaticClass()), nullptr);
    }
}

TEST(RegisteredClassList, LaterRegistrationForOneClassWinsAndUnregisterRemovesThePair)
{
    TcxRegisteredClassList list;
    list.Register(A::StaticClass(), RA::StaticClass());
    list.Register(A::StaticClass(), RB::StaticClass());
    EXPECT_EQ(list.FindClass(C::StaticClass()), RB::StaticClass());
    list.Unregister(A::StaticClass(), RB::StaticClass());
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.FindClass(C::StaticClass()), RA::StaticClass());
    EXPECT_THROW(list.Items(5), EListError);
}

TEST(RegisteredClasses, DescriptionAndHintParts)
{
    TcxRegisteredClasses classes;
    classes.Register(A::StaticClass(), "Edit|Represents an edit");
    classes.Register(B::StaticClass(), "Edit");
    classes.Register(A::StaticClass(), "again");
    ASSERT_EQ(classes.Count(), 2);
    EXPECT_EQ(classes.GetDescriptionByClass(A::StaticClass()), "Edit");
    EXPECT_EQ(classes.GetHintByClass(A::StaticClass()), "Represents an edit");
    EXPECT_EQ(classes.Descriptions(1), "Edit");
    EXPECT_EQ(classes.Hints(1), "Edit");
    EXPECT_EQ(classes.FindByDescription("Edit"), A::StaticClass());
    EXPECT_EQ(classes.GetHintByClass(U::StaticClass()), "");
    EXPECT_EQ(classes.FindByClassName("B"), B::StaticClass());
    EXPECT_EQ(classes.FindByClassName("b"), nullptr);
    classes.Unregister(A::StaticClass());
    classes.Unregister(U::StaticClass());
    EXPECT_EQ(classes.GetIndexByClass(B::StaticClass()), 0);
}

TEST(RegisteredClasses, StreamingFlagRegistersByName)
{
    class Streamed : public TObject {
    public:
        static TClass StaticClass() { return DefineClass<Streamed, TObject>("TcxTestStreamedClass"); }
    };
    TcxRegisteredClasses classes(true);
    classes.Register(Streamed::StaticClass(), "S");
    EXPECT_EQ(GetClass("TcxTestStreamedClass"), Streamed::StaticClass());
    UnRegisterClass(Streamed::StaticClass());
}

struct WidthItem {
    int width;
    int minimal = 0;
    bool fixed = false;
};

std::vector<int> Distribute(int target, const std::vector<WidthItem>& items)
{
    TcxAutoWidthObject object(static_cast<int>(items.size()));
    object.SetTargetWidth(target);
    for (const auto& i : items) {
        auto* item = object.AddItem();
        item->SetWidth(i.width);
        item->SetMinimalWidth(i.minimal);
        item->SetIsFixed(i.fixed);
    }
    object.Calculate();
    std::vector<int> result;
    for (int i = 0; i < object.Count(); ++i) result.push_back(object.Items(i)->ResultWidth());
    return result;
}

TEST(AutoWidth, DistributesWithCumulativeRounding)
{
    struct Case {
        int target;
        std::vector<WidthItem> items;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {10, {{1}, {1}, {1}}, {3, 4, 3}},
        // The first share (20) does not exceed its minimum: fixed at 30.
        {60, {{1, 30}, {1}, {1}}, {30, 15, 15}},
        // A fixed item keeps its width; the rest share what is left.
        {100, {{40, 0, true}, {1}, {1}}, {40, 30, 30}},
        // Zero weight: the item takes its minimum.
        {50, {{0, 7}, {1}, {1}}, {7, 22, 21}},
        // Two passes: fixing the first makes the second's share too small.
        {100, {{10, 50}, {10, 40}, {10}}, {50, 40, 10}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Distribute(c.target, c.items), c.expected) << "target " << c.target;
    }
}

TEST(Alignment, AssignedFlagsDecideStorageAndChangesFireOnce)
{
    auto align = MakeObject<TcxAlignment>(nullptr, true, taLeftJustify, vaCenter);
    int changes = 0;
    align->OnChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    EXPECT_FALSE(align->IsHorzStored());
    align->SetHorz(taLeftJustify);  // same value: assigned, no change
    EXPECT_TRUE(align->IsHorzStored());
    EXPECT_EQ(changes, 0);
    align->SetVert(vaBottom);
    EXPECT_EQ(changes, 1);
    auto other = MakeObject<TcxAlignment>(nullptr, false, taLeftJustify, vaTop);
    other->Assign(align.get());
    EXPECT_EQ(other->Vert(), vaBottom);
    EXPECT_TRUE(other->IsHorzAssigned());
    EXPECT_TRUE(other->IsVertStored());  // differs from its own default
    align->Reset();
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(align->IsHorzStored());
    EXPECT_EQ(align->Vert(), vaCenter);
    EXPECT_THROW(align->Assign(MakeObject<TStringList>().get()), EConvertError);
}

class TcxTreeListColumn : public TComponent {
public:
    static TClass StaticClass() { return DefineClass<TcxTreeListColumn, TComponent>("TcxTreeListColumn"); }
    TClass ClassType() const override { return StaticClass(); }
};

TEST(Naming, CreateUniqueName)
{
    auto owner = MakeObject<TComponent>(nullptr);
    auto* list = CreateObject<TComponent>(owner.get());
    list->SetName("List1");
    auto* column = CreateObject<TcxTreeListColumn>(owner.get());
    EXPECT_EQ(CreateUniqueName(owner.get(), list, column, "TcxTreeList", ""), "List1Column1");
    column->SetName("List1Column1");
    // The component's own name does not count as taken.
    EXPECT_EQ(CreateUniqueName(owner.get(), list, column, "TcxTreeList", ""), "List1Column1");
    auto* second = CreateObject<TcxTreeListColumn>(owner.get());
    EXPECT_EQ(CreateUniqueName(owner.get(), list, second, "TcxTreeList", ""), "List1Column2");
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"", "", "cxTreeListColumn1"},
        {"", "Name", "Name"},
        {"", "Na-me x", "Namex"},
        {"", "Gr\xC3\xB6\xC3\x9F" "e", "Gre"},  // non-ASCII characters go whole
        {"", "2nd", "cxTreeListColumn2nd"},
        {"TcxTreeList", "#", "Column"},
        {"Other", "", "cxTreeListColumn1"},
    };
    for (const auto& [prefix, suffix, expected] : cases)
        EXPECT_EQ(CreateUniqueName(owner.get(), nullptr, second, prefix, suffix), expected) << suffix;
    second->SetName("Name");
    auto* third = CreateObject<TcxTreeListColumn>(owner.get());
    EXPECT_EQ(CreateUniqueName(owner.get(), nullptr, third, "", "NAME"), "NAME1");
}

TEST(Naming, GetValidNameAndRename)
{
    auto owner = MakeObject<TComponent>(nullptr);
    auto* a = CreateObject<TComponent>(owner.get());
    a->SetName("Edit");
    auto* b = CreateObject<TComponent>(owner.get());
    EXPECT_EQ(GetValidName(b, "Edit"), "Edit2");
    EXPECT_EQ(GetValidName(b, "Edit", true), "Edit1");
    EXPECT_EQ(GetValidName(b, "Memo"), "Memo");
    b->SetName("Edit1");
    EXPECT_EQ(GetValidName(b, "Edit", true), "Edit2");
    auto lone = MakeObject<TComponent>(nullptr);
    EXPECT_EQ(GetValidName(lone.get(), "Edit"), "Edit");

    auto* clash = CreateObject<TComponent>(owner.get());
    clash->SetName("NewX");
    std::vector<TComponent*> items{a, b};
    RenameComponents(nullptr, owner.get(), "New", "edit", 2,
                     [&](TComponent*, int i) { return items[static_cast<std::size_t>(i)]; });
    EXPECT_EQ(a->Name(), "Edit");  // not longer than the old prefix
    EXPECT_EQ(b->Name(), "New1");
    items = {CreateObject<TComponent>(owner.get())};
    items[0]->SetName("OldX");
    RenameComponents(nullptr, owner.get(), "New", "Old", 1, [&](TComponent*, int) { return items[0]; });
    EXPECT_EQ(items[0]->Name(), "OldX");  // the clash was swallowed
}

TEST(ResourceStringsWithRegistry, RegisteredTranslationThenSharedReplacement)
{
    constexpr TcxResourceString first{64990, "Close"};
    constexpr TcxResourceString second{64991, "Close"};
    RegisterResourceString(64990, "Schliessen");
    EXPECT_EQ(cxGetResourceString(first), "Schliessen");
    EXPECT_EQ(cxGetResourceString(second), "Close");
    cxSetResourceString(second, "Zu");
    EXPECT_EQ(cxGetResourceString(second), "Zu");
    EXPECT_EQ(cxGetResourceString(first), "Schliessen");
    constexpr TcxResourceString third{64992, "close"};
    EXPECT_EQ(cxGetResourceString(third), "Zu");
    cxClassesFinalize();
    EXPECT_EQ(cxGetResourceString(second), "Close");
    EXPECT_EQ(cxGetResourceString(scxCantCreateRegistryKey), "Can't create the registry key: \\%s");
}

class Text : public TcxMRUItem {
public:
    explicit Text(std::string v, int* freed = nullptr) : value(std::move(v)), freed_(freed) {}
    ~Text() override
    {
        if (freed_) ++*freed_;
    }
    bool Equals(TcxMRUItem* item) override { return static_cast<Text*>(item)->value == value; }
    std::string value;

private:
    int* freed_;
};

std::vector<std::string> Values(const TcxMRUItems& items)
{
    std::vector<std::string> v;
    for (int i = 0; i < items.Count(); ++i) v.push_back(static_cast<Text*>(items.Items(i))->value);
    return v;
}

TEST(MRUItems, MaxCountAndMovingToFront)
{
    int freed = 0;
    TcxMRUItems items;
    items.SetMaxCount(3);
    for (const char* s : {"a", "b", "c", "d"}) items.Add(new Text(s, &freed));
    EXPECT_EQ(Values(items), (std::vector<std::string>{"d", "c", "b"}));
    EXPECT_EQ(freed, 1);
    items.Add(new Text("b", &freed));
    EXPECT_EQ(Values(items), (std::vector<std::string>{"b", "d", "c"}));
    EXPECT_EQ(freed, 2);
    items.SetMaxCount(-5);
    EXPECT_EQ(items.MaxCount(), 0);
    items.Add(new Text("e"));
    EXPECT_EQ(items.Count(), 4);
    items.SetMaxCount(2);
    EXPECT_EQ(Values(items), (std::vector<std::string>{"e", "b"}));
    EXPECT_EQ(freed, 4);
    TcxMRUItem base;
    EXPECT_THROW(base.Equals(&base), EAbstractError);
}

TEST(ObjectLinks, LinkClearedWhenAHandlerFreesItsObject)
{
    TcxComponent* component = CreateObject<TcxComponent>(nullptr);
    TcxObjectLink* link = cxAddObjectLink(component);
    TcxObjectLink* other = cxAddObjectLink(nullptr);
    auto handler = [&] { component->Free(); };
    handler();
    EXPECT_EQ(link->Ref, nullptr);
    cxRemoveObjectLink(link);
    cxRemoveObjectLink(other);
    cxRemoveObjectLink(nullptr);
}

TEST(FreeNotificator, ReportsTheFreedComponent)
{
    auto notificator = MakeObject<TcxFreeNotificator>(nullptr);
    TComponent* watched = CreateObject<TComponent>(nullptr);
    TComponent* reported = nullptr;
    notificator->OnComponentFreed = TcxFreeNotificationEvent::FromFunction([&](TComponent* c) { reported = c; });
    notificator->AddSender(watched);
    notificator->AddSender(nullptr);
    watched->Free();
    EXPECT_EQ(reported, watched);
}

TEST(ObjectList, ClearFreesItemsFirstToLast)
{
    struct Tracked : TObject {
        Tracked(std::vector<int>& log, int id) : log_(log), id_(id) {}
        ~Tracked() override { log_.push_back(id_); }
        std::vector<int>& log_;
        int id_;
    };
    std::vector<int> log;
    auto list = MakeObject<TcxObjectList>();
    for (int i = 0; i < 3; ++i) list->Add(new Tracked(log, i));
    list->Clear();
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list->Count(), 0);
    list->Add(new Tracked(log, 9));
    list.reset();
    EXPECT_EQ(log.back(), 9);
}

TEST(Utilities, SmallFunctions)
{
    EXPECT_EQ(RoundDiv(7, 2), 4);
    EXPECT_EQ(RoundDiv(8, 2), 4);
    EXPECT_EQ(RoundDiv(-7, 2), -2);  // kept as given: truncation, then +1
    EXPECT_EQ(GetCorrectPath("a\\b/c"), "a/b/c");
    TMemoryStream s1, s2;
    EXPECT_TRUE(StreamsEqual(&s1, &s2));
    s1.Write("ab", 2);
    s2.Write("ac", 2);
    EXPECT_FALSE(StreamsEqual(&s1, &s2));
    auto strings = MakeObject<TStringList>();
    FillStringsWithEnumTypeValues(strings.get(), EnumTypeInfo(static_cast<TcxAlignmentVert*>(nullptr)),
                                  [](int v) { return v == 1 ? std::string() : "v" + std::to_string(v); });
    EXPECT_EQ(strings->Count(), 2);
    EXPECT_EQ(strings->Strings(1), "v2");
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(strings->Objects(1)), 2);
}

}  // namespace
