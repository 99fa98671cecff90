// Layout storage: object trees stored and restored through the INI, registry
// and stream forms, the forms' own layouts and typed values, and the text
// conversions.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/common/TempFolder.h"
#include "components/foundation/cxStorage.h"
#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/lists.h"
#include "platform/hostlib/core/streams.h"

using namespace hostlib;

// ---- objects to store ---------------------------------------------------------

enum TFruit { frApple, frBanana, frCherry };
const TEnumInfo& EnumTypeInfo(TFruit*)
{
    static const TEnumInfo info{"TFruit", {"frApple", "frBanana", "frCherry"}, 0};
    return info;
}
using TFruits = TSet<TFruit>;

namespace {

// Known to the storage only by its published properties.
class TPlain : public TComponent {
public:
    static TClass StaticClass()
    {
        return DefineClass<TPlain, TComponent>("TPlain", [](ClassBuilder<TPlain>& b) {
            b.Property("Count", &TPlain::count, &TPlain::SetCount);
            b.Property("Fruit", &TPlain::fruit, &TPlain::SetFruit);
            b.Property("Enabled", &TPlain::enabled, &TPlain::SetEnabled);
            b.Property("Ratio", &TPlain::ratio, &TPlain::SetRatio);
            b.Property("Title", &TPlain::title, &TPlain::SetTitle);
            b.Property("Basket", &TPlain::basket, &TPlain::SetBasket);
            b.Property("Buddy", &TPlain::buddy, &TPlain::SetBuddy);
            b.Property("Big", &TPlain::big, &TPlain::SetBig);
            b.Property("Fixed", &TPlain::fixed);
        });
    }
    TClass ClassType() const override { return StaticClass(); }

    int count = 0;
    TFruit fruit = frApple;
    bool enabled = false;
    double ratio = 0;
    std::string title;
    TFruits basket;
    TComponent* buddy = nullptr;
    std::int64_t big = 0;
    int fixed = 7;

    void SetCount(int v) { count = v; }
    void SetFruit(TFruit v) { fruit = v; }
    void SetEnabled(bool v) { enabled = v; }
    void SetRatio(double v) { ratio = v; }
    void SetTitle(std::string v) { title = std::move(v); }
    void SetBasket(TFruits v) { basket = v; }
    void SetBuddy(TComponent* v) { buddy = v; }
    void SetBig(std::int64_t v) { big = v; }
};

class TStoreItem : public TCollectionItem {
public:
    static TClass StaticClass()
    {
        return DefineClass<TStoreItem, TCollectionItem>("TStoreItem", [](ClassBuilder<TStoreItem>& b) {
            b.Property("Label", &TStoreItem::label, &TStoreItem::SetLabel);
        });
    }
    TClass ClassType() const override { return StaticClass(); }
    std::string label;
    void SetLabel(std::string v) { label = std::move(v); }
};

// Any values by name, offered through the stored-object interface.
class TBag : public TComponent, public IcxStoredObject {
public:
    static TClass StaticClass() { return DefineClass<TBag, TComponent>("TBag"); }
    TClass ClassType() const override { return StaticClass(); }

    std::string GetObjectName() override { return Name().empty() ? "Bag" : Name(); }
    bool GetProperties(TStrings* properties) override
    {
        for (const auto& [name, value] : values) properties->Add(name);
        return true;
    }
    void GetPropertyValue(const std::string& name, Variant& value) override
    {
        if (auto it = values.find(name); it != values.end()) value = it->second;
    }
    void SetPropertyValue(const std::string& name, const Variant& value) override { restored[name] = value; }

    std::map<std::string, Variant> values;
    std::map<std::string, Variant> restored;
};

// A root with its own properties and children.
class TStoreRoot : public TComponent, public IcxStoredObject, public IcxStoredParent {
public:
    static TClass StaticClass() { return DefineClass<TStoreRoot, TComponent>("TStoreRoot"); }
    TClass ClassType() const override { return StaticClass(); }

    void Construct(TComponent* owner) override
    {
        TComponent::Construct(owner);
        items.reset(CreateObject<TCollection>(TStoreItem::StaticClass()));
        plain = CreateObject<TPlain>(this);
        plain->SetName("Plain");
        AddChild("First");
        AddChild("Second");
    }

    TBag* AddChild(const std::string& name)
    {
        TBag* child = CreateObject<TBag>(this);
        child->SetName(name);
        children.push_back(child);
        return child;
    }

    std::string GetObjectName() override { return "Root"; }
    bool GetProperties(TStrings* properties) override
    {
        properties->Add("Caption");
        return true;
    }
    void GetPropertyValue(const std::string& name, Variant& value) override
    {
        if (name == "Caption") value = Variant(caption);
    }
    void SetPropertyValue(const std::string& name, const Variant& value) override
    {
        if (name == "Caption") caption = value.AsString();
    }
    TObject* CreateChild(const std::string& name, const std::string& className) override
    {
        return className == "TBag" ? AddChild(name) : nullptr;
    }
    void DeleteChild(const std::string&, TObject* object) override
    {
        std::erase(children, object);
        object->Free();
    }
    void GetChildren(TStrings* list) override
    {
        for (TBag* child : children) list->AddObject(child->Name(), child);
        list->AddObject("Items", items.get());
        list->AddObject("Plain", plain);
    }

    std::string caption;
    std::vector<TBag*> children;
    ObjectPtr<TCollection> items;
    TPlain* plain = nullptr;

protected:
    void Destroy() override
    {
        items.reset();
        TComponent::Destroy();
    }
};

// ---- a stub shaped like a tree list's layout ------------------------------------

class TStubColumn;

class TStubBands : public TObject, public IcxStoredObject, public IcxStoredParent {
public:
    static TClass StaticClass() { return DefineClass<TStubBands, TObject>("TStubBands"); }
    TClass ClassType() const override { return StaticClass(); }

    std::string GetObjectName() override { return "Bands"; }
    bool GetProperties(TStrings*) override { return true; }
    void GetPropertyValue(const std::string&, Variant&) override {}
    void SetPropertyValue(const std::string&, const Variant&) override {}
    TObject* CreateChild(const std::string&, const std::string& className) override
    {
        if (className != "TBag") return nullptr;
        bands.emplace_back(CreateObject<TBag>(nullptr));
        return bands.back().get();
    }
    void DeleteChild(const std::string&, TObject* object) override
    {
        std::erase_if(bands, [&](const ObjectPtr<TBag>& b) { return b.get() == object; });
    }
    void GetChildren(TStrings* list) override
    {
        for (std::size_t i = 0; i < bands.size(); ++i) list->AddObject("Band" + std::to_string(i), bands[i].get());
    }
    std::vector<ObjectPtr<TBag>> bands;
};

enum TStubSortOrder { soNone, soAscending, soDescending };
const TEnumInfo& EnumTypeInfo(TStubSortOrder*)
{
    static const TEnumInfo info{"TStubSortOrder", {"soNone", "soAscending", "soDescending"}, 0};
    return info;
}

class TStubTree : public TComponent, public IcxStoredObject, public IcxStoredParent {
public:
    static TClass StaticClass() { return DefineClass<TStubTree, TComponent>("TStubTree"); }
    TClass ClassType() const override { return StaticClass(); }

    std::string GetObjectName() override { return Name(); }
    bool GetProperties(TStrings*) override { return true; }
    void GetPropertyValue(const std::string&, Variant&) override {}
    void SetPropertyValue(const std::string&, const Variant&) override {}
    TObject* CreateChild(const std::string& name, const std::string& className) override;
    void DeleteChild(const std::string&, TObject*) override {}
    void GetChildren(TStrings* list) override;

    TStubColumn* AddColumn(const std::string& name, const std::string& caption);
    int IndexOf(const TStubColumn* column) const;
    void Move(TStubColumn* column, int index);
    std::vector<std::string> Captions() const;

    std::vector<TStubColumn*> columns;
    TStubBands bands;
};

// Stored only through its interface: the published SortOrder would give a
// name where the layout keeps a one-byte value.
class TStubColumn : public TComponent, public IcxStoredObject {
public:
    static TClass StaticClass()
    {
        return DefineClass<TStubColumn, TComponent>("TStubColumn", [](ClassBuilder<TStubColumn>& b) {
            b.Property("SortOrder", &TStubColumn::sortOrder, &TStubColumn::SetSortOrder);
        });
    }
    TClass ClassType() const override { return StaticClass(); }

    std::string GetObjectName() override { return Name(); }
    bool GetProperties(TStrings* properties) override
    {
        for (const char* name : {"Index", "Caption", "Visible", "SortOrder", "RealWidth"}) properties->Add(name);
        return true;
    }
    void GetPropertyValue(const std::string& name, Variant& value) override
    {
        if (SameText(name, "Index")) value = Variant(tree->IndexOf(this));
        else if (SameText(name, "Caption")) value = Variant(caption);
        else if (SameText(name, "Visible")) value = Variant(visible);
        else if (SameText(name, "SortOrder")) value = Variant(static_cast<std::uint8_t>(sortOrder));
        else if (SameText(name, "RealWidth")) value = Variant(width);
    }
    void SetPropertyValue(const std::string& name, const Variant& value) override
    {
        if (SameText(name, "Index")) tree->Move(this, value.AsInteger());
        else if (SameText(name, "Caption")) caption = value.AsString();
        else if (SameText(name, "Visible")) visible = StringToBoolean(value.AsString());
        else if (SameText(name, "SortOrder")) sortOrder = static_cast<TStubSortOrder>(value.AsInteger());
        else if (SameText(name, "RealWidth")) width = value.AsInteger();
    }
    void SetSortOrder(TStubSortOrder v) { sortOrder = v; }

    TStubTree* tree = nullptr;
    std::string caption;
    bool visible = true;
    TStubSortOrder sortOrder = soNone;
    int width = 64;
};

TObject* TStubTree::CreateChild(const std::string& name, const std::string& className)
{
    return className == "TStubColumn" ? AddColumn(name, "") : nullptr;
}

void TStubTree::GetChildren(TStrings* list)
{
    for (TStubColumn* column : columns) list->AddObject(column->Name(), column);
    list->AddObject("Bands", &bands);
}

TStubColumn* TStubTree::AddColumn(const std::string& name, const std::string& caption)
{
    auto* column = CreateObject<TStubColumn>(this);
    column->SetName(name);
    column->tree = this;
    column->caption = caption;
    columns.push_back(column);
    return column;
}

int TStubTree::IndexOf(const TStubColumn* column) const
{
    return static_cast<int>(std::find(columns.begin(), columns.end(), column) - columns.begin());
}

void TStubTree::Move(TStubColumn* column, int index)
{
    std::erase(columns, column);
    columns.insert(columns.begin() + std::clamp<std::ptrdiff_t>(index, 0, std::ssize(columns)), column);
}

std::vector<std::string> TStubTree::Captions() const
{
    std::vector<std::string> result;
    for (const TStubColumn* column : columns) result.push_back(column->caption);
    return result;
}

// ---- the three forms, one table ----------------------------------------------------

std::string ReadAll(const std::string& file)
{
    std::string text;
    ReadFileBytes(file, text);
    return text;
}

enum class FormKind { Ini, Registry, Stream };

struct Form {
    const char* name;
    FormKind kind;
};

const Form kForms[] = {{"Ini", FormKind::Ini}, {"Registry", FormKind::Registry}, {"Stream", FormKind::Stream}};

class StorageForms : public ::testing::TestWithParam<Form> {
protected:
    void SetUp() override { SetRegistryStoreFile(dir_.File("registry")); }

    // A storage for the form under test, set up by configure.
    ObjectPtr<TcxStorage> NewStorage(const std::function<void(TcxStorage&)>& configure = {})
    {
        auto storage = GetParam().kind == FormKind::Stream ? MakeObject<TcxStorage>(&stream_)
                                                           : MakeObject<TcxStorage>(StorageName());
        if (configure) configure(*storage);
        return storage;
    }
    std::string StorageName() const
    {
        return GetParam().kind == FormKind::Ini ? dir_.File("layout.ini") : std::string("Software\\Tests\\Layout");
    }
    void Store(TObject* object, const std::function<void(TcxStorage&)>& configure = {})
    {
        stream_.Clear();
        auto storage = NewStorage(configure);
        switch (GetParam().kind) {
        case FormKind::Ini: storage->StoreToIni(object); break;
        case FormKind::Registry: storage->StoreToRegistry(object); break;
        case FormKind::Stream: storage->StoreToStream(object); break;
        }
    }
    void Restore(TObject* object, const std::function<void(TcxStorage&)>& configure = {})
    {
        stream_.SetPosition(0);
        auto storage = NewStorage(configure);
        switch (GetParam().kind) {
        case FormKind::Ini: storage->RestoreFromIni(object); break;
        case FormKind::Registry: storage->RestoreFromRegistry(object); break;
        case FormKind::Stream: storage->RestoreFromStream(object); break;
        }
    }

    TempFolder dir_;
    TMemoryStream stream_;
};

void WholeTree(TcxStorage& storage)
{
    storage.SetModes({smSavePublishedClassProperties, smChildrenCreating, smChildrenDeleting});
    storage.SetSaveComponentPropertiesByName(true);
    // Component references are stored by name, not as children.
    storage.OnTestClassProperty = TcxTestClassPropertyEvent::FromFunction(
        [](const std::string&, TObject* object, bool& result) { result = !Is<TComponent>(object); });
}

TEST_P(StorageForms, ObjectTreeRoundTrip)
{
    auto owner = MakeObject<TComponent>(nullptr);
    TStoreRoot* root = CreateObject<TStoreRoot>(owner.get());
    auto* peer = CreateObject<TComponent>(owner.get());
    peer->SetName("Peer");
    root->caption = "Layout";
    root->children[0]->values = {{"Width", Variant(120)}, {"Note", Variant("first")}};
    root->children[1]->values = {{"Width", Variant(80)}};
    root->items->AddAs<TStoreItem>()->label = "one";
    root->items->AddAs<TStoreItem>()->label = "two";
    TPlain* plain = root->plain;
    plain->count = 42;
    plain->fruit = frCherry;
    plain->enabled = true;
    plain->ratio = 0.1;
    plain->title = "Plain text";
    plain->basket = {frBanana, frCherry};
    plain->buddy = peer;
    plain->big = 1234567890123;
    plain->SetTag(99);
    Store(root, WholeTree);

    root->caption.clear();
    root->items->Clear();
    root->items->AddAs<TStoreItem>();
    plain->count = 0;
    plain->fruit = frApple;
    plain->enabled = false;
    plain->ratio = 0;
    plain->title.clear();
    plain->basket = {};
    plain->buddy = nullptr;
    plain->big = 0;
    plain->SetTag(0);
    root->DeleteChild("Second", root->children[1]);
    root->AddChild("Extra");
    Restore(root, [&](TcxStorage& storage) {
        WholeTree(storage);
        storage.OnGetComponentByName = TcxGetComponentByNameEvent::FromFunction(
            [&](const std::string& name, TComponent*& result) { result = owner->FindComponent(name); });
    });

    EXPECT_EQ(root->caption, "Layout");
    ASSERT_EQ(root->children.size(), 2u);  // "Extra" deleted, "Second" created
    EXPECT_EQ(root->children[0]->restored.at("Note").AsString(), "first");
    EXPECT_EQ(root->children[0]->restored.at("Width").AsInteger(), 120);
    EXPECT_EQ(root->children[1]->Name(), "Second");
    EXPECT_EQ(root->children[1]->restored.at("Width").AsInteger(), 80);
    ASSERT_EQ(root->items->Count(), 2);
    EXPECT_EQ(static_cast<TStoreItem*>(root->items->Items(0))->label, "one");
    EXPECT_EQ(static_cast<TStoreItem*>(root->items->Items(1))->label, "two");
    EXPECT_EQ(plain->count, 42);
    EXPECT_EQ(plain->fruit, frCherry);
    EXPECT_TRUE(plain->enabled);
    EXPECT_DOUBLE_EQ(plain->ratio, 0.1);
    EXPECT_EQ(plain->title, "Plain text");
    EXPECT_EQ(plain->basket, (TFruits{frBanana, frCherry}));
    EXPECT_EQ(plain->buddy, peer);
    // 64-bit integers have no form that reads them back: left out everywhere.
    EXPECT_EQ(plain->big, 0);
    EXPECT_EQ(plain->Tag(), 0);
    EXPECT_EQ(plain->fixed, 7);
}

TEST_P(StorageForms, TreeListLayoutRestoresColumnsInStoredOrder)
{
    auto tree = MakeObject<TStubTree>(nullptr);
    tree->SetName("TreeList1");
    tree->AddColumn("ColName", "Name")->sortOrder = soAscending;
    tree->AddColumn("ColCpu", "CPU")->visible = false;
    tree->AddColumn("ColRule", "Rule");
    tree->bands.CreateChild("Band0", "TBag");
    const auto layout = [](TcxStorage& storage) {
        storage.SetNamePrefix("TreeList1");
        storage.SetUseInterfaceOnly(true);
    };
    Store(tree.get(), layout);

    tree->Move(tree->columns[2], 0);
    tree->columns[0]->sortOrder = soDescending;
    tree->columns[1]->visible = true;
    tree->columns[1]->sortOrder = soNone;
    Restore(tree.get(), layout);
    EXPECT_EQ(tree->Captions(), (std::vector<std::string>{"Name", "CPU", "Rule"}));
    EXPECT_EQ(tree->columns[0]->sortOrder, soAscending);
    EXPECT_FALSE(tree->columns[1]->visible);
    EXPECT_EQ(tree->columns[2]->sortOrder, soNone);

    // A stored column missing from the tree comes back only when children may
    // be created; a tree band missing from the store goes only when they may
    // be deleted.
    TStubColumn* cpu = tree->columns[1];
    std::erase(tree->columns, cpu);
    cpu->Free();
    tree->bands.CreateChild("Band1", "TBag");
    Restore(tree.get(), layout);
    EXPECT_EQ(tree->Captions(), (std::vector<std::string>{"Name", "Rule"}));
    EXPECT_EQ(tree->bands.bands.size(), 2u);
    Restore(tree.get(), [&](TcxStorage& storage) {
        layout(storage);
        storage.SetModes({smChildrenCreating, smChildrenDeleting});
    });
    EXPECT_EQ(tree->Captions(), (std::vector<std::string>{"Name", "CPU", "Rule"}));
    EXPECT_EQ(tree->columns[1]->Name(), "ColCpu");
    EXPECT_FALSE(tree->columns[1]->visible);
    EXPECT_EQ(tree->bands.bands.size(), 1u);
}

TEST_P(StorageForms, NothingStoredRestoresNothing)
{
    auto root = MakeObject<TStoreRoot>(nullptr);
    root->caption = "kept";
    Restore(root.get(), WholeTree);
    EXPECT_EQ(root->caption, "kept");
    EXPECT_EQ(root->children.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Forms, StorageForms, ::testing::ValuesIn(kForms),
                         [](const ::testing::TestParamInfo<Form>& info) { return std::string(info.param.name); });

// ---- the storage's own rules ---------------------------------------------------

TEST(Storage, ChildStoragesInheritInterfaceOnlyMode)
{
    TempFolder dir;
    auto tree = MakeObject<TStubTree>(nullptr);
    tree->SetName("TreeList1");
    tree->AddColumn("ColName", "Name")->sortOrder = soDescending;
    auto storage = MakeObject<TcxStorage>(dir.File("tree.ini"));
    storage->SetNamePrefix("TreeList1");
    storage->SetUseInterfaceOnly(true);
    storage->StoreToIni(tree.get());
    const std::string text = ReadAll(dir.File("tree.ini"));
    EXPECT_NE(text.find("[TreeList1.TreeList1/ColName: TStubColumn]\n=\nIndex=0\nCaption=\"Name\"\nVisible=\"True\"\n"
                        "SortOrder=2\nRealWidth=64\n"),
              std::string::npos)
        << text;

    // Without the mode, the published SortOrder is stored by its name.
    storage->SetUseInterfaceOnly(false);
    storage->StoreToIni(tree.get());
    EXPECT_NE(ReadAll(dir.File("tree.ini")).find("SortOrder=\"soDescending\""), std::string::npos);
}

TEST(Storage, NamesAndPaths)
{
    TempFolder dir;
    auto storage = MakeObject<TcxStorage>(dir.File("names.ini"));
    auto plain = MakeObject<TPlain>(nullptr);
    EXPECT_EQ(storage->GetObjectName(plain.get()), "");
    auto item = MakeObject<TStoreItem>(nullptr);
    EXPECT_EQ(storage->GetObjectName(item.get()), "Object");
    auto bag = MakeObject<TBag>(nullptr);
    EXPECT_EQ(storage->GetObjectName(bag.get()), "Bag");

    storage->SetNamePrefix("P");
    bag->values = {{"A", Variant(1)}};
    storage->StoreToIni(bag.get());
    EXPECT_EQ(ReadAll(dir.File("names.ini")), "[P.Bag: TBag]\n=\nA=1\n");
}

TEST(Storage, PublishedPropertiesAsValues)
{
    TempFolder dir;
    auto plain = MakeObject<TPlain>(nullptr);
    plain->enabled = true;
    plain->basket = {frBanana, frCherry};
    plain->fruit = frBanana;
    auto storage = MakeObject<TcxStorage>(dir.File("plain.ini"));
    storage->SetStoredObject(plain.get());
    EXPECT_EQ(storage->GetPropertyValue("Enabled").AsString(), "True");
    EXPECT_EQ(storage->GetPropertyValue("Basket").AsString(), "[frBanana,frCherry]");
    EXPECT_EQ(storage->GetPropertyValue("Fruit").AsString(), "frBanana");
    EXPECT_EQ(VarType(storage->GetPropertyValue("Count")), varInteger);
    // Without storing by name, a component reference has no value.
    EXPECT_TRUE(VarIsEmpty(storage->GetPropertyValue("Buddy")));

    storage->SetPropertyValue("enabled", Variant("false"));
    storage->SetPropertyValue("Fruit", Variant("FRCHERRY"));
    storage->SetPropertyValue("Basket", Variant("[frApple, frBanana]"));
    storage->SetPropertyValue("Fixed", Variant(1));
    storage->SetPropertyValue("Count", Null());
    EXPECT_FALSE(plain->enabled);
    EXPECT_EQ(plain->fruit, frCherry);
    EXPECT_EQ(plain->basket, TFruits{frApple});
    EXPECT_EQ(plain->fixed, 7);
    EXPECT_EQ(plain->count, 0);
    EXPECT_THROW(storage->SetPropertyValue("Fruit", Variant("frPear")), EPropertyConvertError);
}

// ---- text conversions ----------------------------------------------------------

TEST(StorageConversions, HexStreams)
{
    TMemoryStream source(std::vector<std::uint8_t>{0x01, 0xAB});
    EXPECT_EQ(StreamToString(&source), "Hex:01AB");
    EXPECT_EQ(StreamToString(nullptr), "");
    TMemoryStream empty;
    EXPECT_EQ(StreamToString(&empty), "");

    TMemoryStream target;
    StringToStream("Hex:01ab", &target);
    EXPECT_EQ(target.Bytes(), (std::vector<std::uint8_t>{0x01, 0xAB}));
    TMemoryStream single;
    StringToStream("Hex:1", &single);
    EXPECT_EQ(single.Size(), 0);
    EXPECT_EQ(HexStringToString("41424"), "AB");
    EXPECT_THROW(HexStringToString("4G"), EcxHexStringConvertError);
    EXPECT_THROW(StringToStream("Hex:01Zz", &target), EcxHexStringConvertError);
}

TEST(StorageConversions, BooleansEnumerationsAndSets)
{
    const std::vector<std::string> names{"a", "b", "c"};
    struct Case {
        std::string text;
        bool ok;
        std::uint32_t bits;
    };
    for (const Case& c : {Case{"[b,c]", true, 6}, Case{"[b, c]", true, 2}, Case{"[]", true, 0},
                          Case{"[B,x]", true, 2}, Case{"b,c", false, 0}, Case{"[b", false, 0}}) {
        std::uint32_t bits = 0xFF;
        if (c.ok) {
            StringToSet(c.text, bits, 1, names);
            EXPECT_EQ(bits, c.bits) << c.text;
        } else {
            EXPECT_THROW(StringToSet(c.text, bits, 1, names), EPropertyConvertError) << c.text;
        }
    }
    EXPECT_EQ(SetToString(6, 1, names), "[b,c]");
    EXPECT_EQ(SetToString(0, 1, names), "[]");
    EXPECT_THROW(SetToString(8, 1, names), EPropertyConvertError);

    EXPECT_TRUE(StringToBoolean("tRuE"));
    EXPECT_FALSE(StringToBoolean("FALSE"));
    EXPECT_THROW(StringToBoolean("1"), EPropertyConvertError);
    EXPECT_EQ(EnumerationToString(2, names), "c");
    EXPECT_THROW(EnumerationToString(3, names), EPropertyConvertError);
    EXPECT_EQ(StringToEnumeration("B", names), 1);
    EXPECT_THROW(StringToEnumeration("d", names), EPropertyConvertError);
}

// ---- the INI form ------------------------------------------------------------------

class IniForm : public ::testing::Test {
protected:
    std::string File() const { return dir_.File("form.ini"); }
    void Write(const std::string& text) const { std::ofstream(File(), std::ios::binary) << text; }
    TempFolder dir_;
    ScopedFormatSettings english_{EnglishFormatSettings()};
};

TEST_F(IniForm, SectionLayout)
{
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"Text", Variant("abc")},    {"Count", Variant(12)},
                   {"Ratio", Variant(1.5)},     {"When", Variant::FromDate(EncodeDateTime(2024, 3, 5, 14, 7, 9, 25))},
                   {"Money", Variant(Currency::FromScaled(123456))}, {"Wide", Variant::FromOleStr("w")},
                   {"Flag", Variant(true)},     {"Big", Variant(1LL << 40)}};
    auto storage = MakeObject<TcxStorage>(File());
    storage->StoreToIni(bag.get());
    EXPECT_EQ(ReadAll(File()), "[Bag: TBag]\n=\nCount=12\nFlag=\"True\"\nMoney=12.3456\nRatio=1.5\n"
                               "Text=\"abc\"\nWhen=2024-03-05T14:07:09.025\nWide=\"w\"\n");
}

TEST_F(IniForm, TextTypesTheValues)
{
    Write("[Bag: TBag]\n=\nText=\"abc\"\nCount=12\nRatio=1.5\nWhen=2024-03-05T14:07:09.025\nLocal=3/5/2024\n"
          "Plain=abc\nComma=1,5\n");
    auto reader = MakeObject<TcxIniFileReader>(File());
    const auto read = [&](const char* name) { return reader->ReadProperty("Bag", "TBag", name); };
    EXPECT_EQ(VarType(read("Text")), varString);
    EXPECT_EQ(read("Text").AsString(), "abc");
    EXPECT_EQ(VarType(read("Count")), varInteger);
    EXPECT_EQ(read("Count").AsInteger(), 12);
    EXPECT_EQ(VarType(read("Ratio")), varDouble);
    EXPECT_EQ(read("Ratio").AsDouble(), 1.5);
    EXPECT_EQ(VarType(read("When")), varDate);
    EXPECT_EQ(read("When").AsDate(), EncodeDateTime(2024, 3, 5, 14, 7, 9, 25));
    EXPECT_EQ(VarType(read("Local")), varDate);
    EXPECT_EQ(read("Local").AsDate(), EncodeDate(2024, 3, 5));
    EXPECT_EQ(read("Plain").AsString(), "abc");
    EXPECT_EQ(read("Comma").AsString(), "1,5");
}

TEST_F(IniForm, FilesReadTheSameUnderAnyLocale)
{
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"Ratio", Variant(0.1)}, {"When", Variant::FromDate(EncodeDateTime(2024, 3, 5, 1, 2, 3, 4))}};
    TFormatSettings comma = EnglishFormatSettings();
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    comma.DateSeparator = '.';
    comma.ShortDateFormat = "dd.MM.yyyy";
    {
        ScopedFormatSettings german(comma);
        MakeObject<TcxStorage>(File())->StoreToIni(bag.get());
    }
    for (const TFormatSettings& settings : {EnglishFormatSettings(), comma}) {
        ScopedFormatSettings scope(settings);
        bag->restored.clear();
        MakeObject<TcxStorage>(File())->RestoreFromIni(bag.get());
        EXPECT_EQ(bag->restored.at("Ratio").AsDouble(), 0.1);
        EXPECT_EQ(bag->restored.at("When").AsDate(), EncodeDateTime(2024, 3, 5, 1, 2, 3, 4));
    }
    // A file in the comma locale's own form still reads under it.
    Write("[Bag: TBag]\n=\nRatio=2,5\n");
    ScopedFormatSettings german(comma);
    bag->restored.clear();
    MakeObject<TcxStorage>(File())->RestoreFromIni(bag.get());
    EXPECT_EQ(bag->restored.at("Ratio").AsDouble(), 2.5);
}

TEST_F(IniForm, ReCreateReplacesTheFileOtherwiseOtherSectionsStay)
{
    Write("[Other]\nKey=1\n");
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"A", Variant(1)}};
    auto storage = MakeObject<TcxStorage>(File());
    storage->SetReCreate(false);
    storage->StoreToIni(bag.get());
    EXPECT_EQ(ReadAll(File()), "[Other]\nKey=1\n\n[Bag: TBag]\n=\nA=1\n");
    storage->SetReCreate(true);
    storage->StoreToIni(bag.get());
    EXPECT_EQ(ReadAll(File()), "[Bag: TBag]\n=\nA=1\n");
}

// A bag whose value fails half-way through a store.
class TFailingBag : public TBag {
public:
    static TClass StaticClass() { return DefineClass<TFailingBag, TBag>("TFailingBag"); }
    TClass ClassType() const override { return StaticClass(); }
    void GetPropertyValue(const std::string& name, Variant& value) override
    {
        if (name == "Fails") throw EConvertError("no value");
        TBag::GetPropertyValue(name, value);
    }
};

TEST_F(IniForm, FailedStoreLeavesTheFileAsItWas)
{
    Write("[Other]\nKey=1\n");
    auto bag = MakeObject<TFailingBag>(nullptr);
    bag->values = {{"A", Variant(1)}, {"Fails", Variant(2)}};
    EXPECT_THROW(MakeObject<TcxStorage>(File())->StoreToIni(bag.get()), EConvertError);
    EXPECT_EQ(ReadAll(File()), "[Other]\nKey=1\n");
}

TEST_F(IniForm, BlanksAreRemovedFromChildSectionNames)
{
    Write("[Root: TStoreRoot]\n=\n[Root/My Bag: TBag]\n=\n");
    auto reader = MakeObject<TcxIniFileReader>(File());
    auto classes = MakeObject<TStringList>();
    auto names = MakeObject<TStringList>();
    reader->ReadChildren("ROOT", "TStoreRoot", classes.get(), names.get());
    EXPECT_EQ(names->ToVector(), std::vector<std::string>{"MyBag"});
    EXPECT_EQ(classes->ToVector(), std::vector<std::string>{"TBag"});
}

// ---- the registry form ---------------------------------------------------------

class RegistryForm : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryStoreFile(dir_.File("registry")); }
    TempFolder dir_;
};

std::vector<std::string> KeyNames(TRegistry& registry, const std::string& key)
{
    auto names = MakeObject<TStringList>();
    if (registry.OpenKeyReadOnly(key)) registry.GetKeyNames(names.get());
    return names->ToVector();
}

TEST_F(RegistryForm, KeyLayoutInCreationOrder)
{
    auto root = MakeObject<TStoreRoot>(nullptr);
    root->caption = "Layout";
    root->AddChild("Alpha");
    MakeObject<TcxStorage>("Software\\Tests")->StoreToRegistry(root.get());
    auto registry = MakeObject<TRegistry>();
    EXPECT_EQ(KeyNames(*registry, "\\Software\\Tests\\Root"),
              (std::vector<std::string>{"[ClassName]", "First", "Second", "Alpha", "Items", "Plain"}));
    ASSERT_TRUE(registry->OpenKeyReadOnly("\\Software\\Tests\\Root\\[ClassName]"));
    EXPECT_EQ(registry->ReadString("ClassName"), "TStoreRoot");
    ASSERT_TRUE(registry->OpenKeyReadOnly("\\Software\\Tests\\Root"));
    EXPECT_EQ(registry->ReadString("Caption"), "\"Layout\"");

    // Re-create deletes the key first.
    root->children.back()->Free();
    root->children.pop_back();
    MakeObject<TcxStorage>("\\Software\\Tests")->StoreToRegistry(root.get());
    EXPECT_EQ(KeyNames(*registry, "\\Software\\Tests\\Root"),
              (std::vector<std::string>{"[ClassName]", "First", "Second", "Items", "Plain"}));
}

TEST_F(RegistryForm, ValuesRoundTrip)
{
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"Money", Variant(Currency::FromScaled(-123456789))},
                   {"Ratio", Variant(0.25)},
                   {"Count", Variant(-5)},
                   {"Text", Variant("12")},
                   {"Flag", Variant(true)}};
    MakeObject<TcxStorage>("Software\\Tests")->StoreToRegistry(bag.get());
    MakeObject<TcxStorage>("Software\\Tests")->RestoreFromRegistry(bag.get());
    EXPECT_EQ(bag->restored.at("Money").AsCurrency(), Currency::FromScaled(-123456789));
    EXPECT_EQ(bag->restored.at("Ratio").AsDouble(), 0.25);
    EXPECT_EQ(bag->restored.at("Count").AsInteger(), -5);
    EXPECT_EQ(VarType(bag->restored.at("Text")), varString);
    EXPECT_EQ(bag->restored.at("Text").AsString(), "12");
    EXPECT_EQ(bag->restored.at("Flag").AsString(), "True");
}

TEST_F(RegistryForm, RootKeyFailureAndUnopenablePaths)
{
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"A", Variant(1)}};
    try {
        MakeObject<TcxStorage>("Bad\x01Key")->StoreToRegistry(bag.get());
        FAIL() << "no error";
    } catch (const EcxStorage& e) {
        EXPECT_EQ(e.Message(), "Can't create the registry key: \\Bad\x01Key");
    }
    auto reader = MakeObject<TcxRegistryReader>("Software\\Missing");
    auto names = MakeObject<TStringList>();
    reader->ReadProperties("Bag", "TBag", names.get());
    EXPECT_EQ(names->Count(), 0);
    EXPECT_TRUE(VarIsEmpty(reader->ReadProperty("Bag", "TBag", "A")));
    MakeObject<TcxStorage>("Software\\Missing")->RestoreFromRegistry(bag.get());
    EXPECT_TRUE(bag->restored.empty());
}

// ---- the stream form -----------------------------------------------------------

TEST(StreamForm, TaggedValuesRoundTrip)
{
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"Ratio", Variant(2.5)},      {"Count", Variant(-7)},
                   {"Text", Variant("abc")},     {"Wide", Variant::FromOleStr("\xC3\xA9t\xC3\xA9")},
                   {"Big", Variant(1LL << 40)},  {"Byte", Variant(std::uint8_t{200})},
                   {"Flag", Variant(true)}};
    TMemoryStream stream;
    MakeObject<TcxStorage>(&stream)->StoreToStream(bag.get());

    // The record as the form lays it out: the Int64 value is left out.
    stream.SetPosition(0);
    TReader reader(&stream);
    auto record = MakeObject<TcxStreamObjectData>();
    record->Read(reader);
    EXPECT_EQ(record->Name, "Bag");
    EXPECT_EQ(record->ClassName, "TBag");
    ASSERT_EQ(record->GetPropertyCount(), 6);
    EXPECT_EQ(stream.Position(), stream.Size());

    stream.SetPosition(0);
    MakeObject<TcxStorage>(&stream)->RestoreFromStream(bag.get());
    const std::map<std::string, TVarType> types{{"Ratio", varDouble}, {"Count", varInteger}, {"Text", varString},
                                                {"Wide", varOleStr},  {"Byte", varByte},     {"Flag", varString}};
    for (const auto& [name, type] : types) {
        ASSERT_TRUE(bag->restored.count(name)) << name;
        EXPECT_EQ(VarType(bag->restored.at(name)), type) << name;
    }
    EXPECT_EQ(bag->restored.at("Ratio").AsDouble(), 2.5);
    EXPECT_EQ(bag->restored.at("Count").AsInteger(), -7);
    EXPECT_EQ(bag->restored.at("Text").AsString(), "abc");
    EXPECT_EQ(bag->restored.at("Wide").AsString(), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(bag->restored.at("Byte").AsInteger(), 200);
    EXPECT_EQ(bag->restored.count("Big"), 0u);
}

TEST(StreamForm, EmptyAndTruncatedStreams)
{
    auto bag = MakeObject<TBag>(nullptr);
    bag->values = {{"Text", Variant("abcdef")}};
    TMemoryStream empty;
    MakeObject<TcxStorage>(&empty)->RestoreFromStream(bag.get());
    EXPECT_TRUE(bag->restored.empty());

    TMemoryStream stream;
    MakeObject<TcxStorage>(&stream)->StoreToStream(bag.get());
    stream.SetSize(stream.Size() - 3);
    stream.SetPosition(0);
    EXPECT_THROW(MakeObject<TcxStorage>(&stream)->RestoreFromStream(bag.get()), EReadError);
    EXPECT_TRUE(bag->restored.empty());
}

}  // namespace
