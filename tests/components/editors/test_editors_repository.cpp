// Repository items, repositories and the registries of default items, with
// stand-in properties classes registered under the real kinds' names.
#include "components/editors/cxEditDBRegisteredRepositoryItems.h"
#include "components/editors/cxEditDataRegisteredRepositoryItems.h"
#include "components/editors/cxEditRepositoryItems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hostlib;

namespace {

template <const char* const* Name, int Variant = 0>
class StandIn : public TcxCustomEditProperties {
public:
    static TClass StaticClass() { return DefineClass<StandIn, TcxCustomEditProperties>(*Name); }
    TClass ClassType() const override { return StaticClass(); }
};

using TextStandIn = StandIn<&cx_repository_names::TextProperties>;
// A second class under the text kind's name.
using OtherTextStandIn = StandIn<&cx_repository_names::TextProperties, 1>;
using CheckBoxStandIn = StandIn<&cx_repository_names::CheckBoxProperties>;
using CurrencyStandIn = StandIn<&cx_repository_names::CurrencyProperties>;
using MaskStandIn = StandIn<&cx_repository_names::MaskProperties>;

// The lookup kind's grid options, as the catalogue's class gives them.
class LookupStandIn : public TcxCustomEditProperties, public IcxLookupGridListOptions {
public:
    static TClass StaticClass()
    {
        return DefineClass<LookupStandIn, TcxCustomEditProperties>(cx_repository_names::LookupComboBoxProperties);
    }
    TClass ClassType() const override { return StaticClass(); }
    void SetGridLines(TcxGridLines value) override { gridLines = value; }
    void SetShowHeader(bool value) override { showHeader = value; }
    TcxGridLines gridLines = glBoth;
    bool showHeader = true;
};

// An editor's listener: records what it hears, in order.
struct Listener : IcxEditRepositoryItemListener {
    std::string name;
    std::vector<std::string>* log;
    TcxEditRepositoryItem* item = nullptr;
    Listener(std::string n, std::vector<std::string>* l) : name(std::move(n)), log(l) {}
    void ItemRemoved(TcxEditRepositoryItem*) override
    {
        log->push_back(name + " removed");
        item = nullptr; // the editor falls back to its own properties
    }
    void PropertiesChanged(TcxEditRepositoryItem*) override { log->push_back(name + " changed"); }
};

struct RepositoryTest : ::testing::Test {
    void SetUp() override
    {
        for (TClass c : {TextStandIn::StaticClass(), CheckBoxStandIn::StaticClass(), CurrencyStandIn::StaticClass(),
                         MaskStandIn::StaticClass(), LookupStandIn::StaticClass()})
            RegisterClass(c);
        cxEditRepositoryItemsInitialize();
    }
    void TearDown() override
    {
        cxEditDBRegisteredRepositoryItemsFinalize();
        cxEditDataRegisteredRepositoryItemsFinalize();
        cxEditRepositoryItemsFinalize();
    }
};

TEST_F(RepositoryTest, ItemsTellTheirListenersLastAddedFirst)
{
    auto repository = MakeObject<TcxEditRepository>(nullptr);
    auto* item = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
    EXPECT_EQ(item->Properties()->ClassType(), TextStandIn::StaticClass());
    EXPECT_EQ(item->Repository(), repository.get());
    std::vector<std::string> log;
    Listener a("a", &log), b("b", &log);
    item->AddListener(&a);
    item->AddListener(&b);
    item->AddListener(&a);
    item->Properties()->SetAutoSelect(false);
    EXPECT_EQ(log, (std::vector<std::string>{"b changed", "a changed"})) << "both editors refreshed, once each";
    log.clear();
    item->Free();
    EXPECT_EQ(log, (std::vector<std::string>{"b removed", "a removed"}));
    EXPECT_EQ(repository->Count(), 0);
}

TEST_F(RepositoryTest, RepositoriesFindByNameAndGiveUpMovedItems)
{
    auto first = MakeObject<TcxEditRepository>(nullptr);
    auto second = MakeObject<TcxEditRepository>(nullptr);
    auto* item = first->CreateItem(TcxEditRepositoryCheckBoxItem::StaticClass());
    item->SetName("ActiveCheck");
    EXPECT_EQ(first->ItemByName("activecheck"), item);
    EXPECT_EQ(first->ItemByName("other"), nullptr);
    item->SetRepository(second.get());
    EXPECT_EQ(first->Count(), 0);
    EXPECT_EQ(second->Items(0), item);
    second->AddItem(item);
    EXPECT_EQ(second->Count(), 1) << "an item is listed once";
    EXPECT_THROW(second->Items(1), EListError);
    EXPECT_EQ(item->Owner(), first.get()) << "membership is not ownership";
    first.reset();
    EXPECT_EQ(second->Count(), 0) << "freed with its owner, it left the other list";
}

TEST_F(RepositoryTest, KindsFoundByNameOrNotAtAll)
{
    auto repository = MakeObject<TcxEditRepository>(nullptr);
    EXPECT_THROW(repository->CreateItem(TcxEditRepositorySpinItem::StaticClass()), EClassNotFound)
        << "the spin kind is not linked in";
    EXPECT_EQ(repository->Count(), 0);
    auto* item = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
    // Another class takes the kind's name: the item's properties are of the wrong class now.
    UnRegisterClass(TextStandIn::StaticClass());
    RegisterClass(OtherTextStandIn::StaticClass());
    EXPECT_THROW(item->Properties(), EInvalidCast);
    UnRegisterClass(OtherTextStandIn::StaticClass());
    RegisterClass(TextStandIn::StaticClass());
    EXPECT_NO_THROW(item->Properties());
}

TEST_F(RepositoryTest, ValueTypesGetTheirDefaultItems)
{
    cxEditDataRegisteredRepositoryItemsInitialize();
    TcxEditDataRegisteredRepositoryItems* registry = GetDefaultEditDataRepositoryItems();
    TcxEditRepositoryItem* text = registry->GetDefaultItem();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->ClassType(), TcxEditRepositoryTextItem::StaticClass());
    EXPECT_EQ(registry->GetItem(TcxStringValueType::Class()), text);
    TcxEditRepositoryItem* check = registry->GetItem(TcxBooleanValueType::Class());
    EXPECT_EQ(check->ClassType(), TcxEditRepositoryCheckBoxItem::StaticClass());
    EXPECT_NE(registry->GetItem(TcxCurrencyValueType::Class()), registry->GetItem(TcxFMTBcdValueType::Class()))
        << "one item per value type";
    EXPECT_EQ(registry->GetItem(TcxDateTimeValueType::Class()), text) << "an unlinked kind answers the default";
    check->Free();
    EXPECT_EQ(registry->GetItem(TcxBooleanValueType::Class()), text) << "a freed item is forgotten";
    registry->UnregisterDefaultItem(-1);
    EXPECT_EQ(registry->GetDefaultItem(), nullptr);
    EXPECT_EQ(registry->GetItem(TcxStringValueType::Class()), nullptr);
}

TEST_F(RepositoryTest, RegistriesKeepTheFirstOfEqualKeysAndOrderByPriority)
{
    auto registry = MakeObject<TcxEditDataRegisteredRepositoryItems>(nullptr);
    auto repository = MakeObject<TcxEditRepository>(nullptr);
    auto* a = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
    auto* b = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
    auto* c = repository->CreateItem(TcxEditRepositoryTextItem::StaticClass());
    registry->RegisterItem(TcxBooleanValueType::Class(), 1, a);
    registry->RegisterItem(TcxBooleanValueType::Class(), 1, b);
    EXPECT_EQ(registry->GetCount(), 1);
    EXPECT_EQ(registry->GetItem(TcxBooleanValueType::Class()), a);
    registry->RegisterDefaultItem(1, b);
    registry->RegisterDefaultItem(5, c);
    EXPECT_EQ(registry->GetDefaultItem(), c) << "the highest priority first";
    registry->UnregisterDefaultItem(5);
    EXPECT_EQ(registry->GetDefaultItem(), b);
    registry->UnregisterItem(TcxBooleanValueType::Class(), 2);
    EXPECT_EQ(registry->GetCount(), 1) << "only the exact entry goes";
    registry.reset();
    a->Properties()->SetAutoSelect(false); // no registry listens any more
}

TEST_F(RepositoryTest, FieldsGetTheirDefaultItems)
{
    cxEditDBRegisteredRepositoryItemsInitialize();
    TcxEditDBRegisteredRepositoryItems* registry = GetDefaultEditDBRepositoryItems();
    TcxEditRepositoryItem* mask = registry->GetDefaultItem();
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->ClassType(), TcxEditRepositoryMaskItem::StaticClass());
    EXPECT_EQ(registry->GetItemByField(nullptr), mask);
    auto lookup = MakeObject<TStringField>(nullptr);
    lookup->SetFieldKind(fkLookup);
    TcxEditRepositoryItem* lookupItem = registry->GetItemByField(lookup.get());
    ASSERT_EQ(lookupItem->ClassType(), TcxEditRepositoryLookupComboBoxItem::StaticClass());
    auto* options = static_cast<LookupStandIn*>(lookupItem->Properties());
    EXPECT_EQ(options->gridLines, glNone);
    EXPECT_FALSE(options->showHeader);
    auto money = MakeObject<TCurrencyField>(nullptr);
    money->SetCurrency(true);
    EXPECT_EQ(registry->GetItemByField(money.get())->ClassType(), TcxEditRepositoryCurrencyItem::StaticClass());
    auto number = MakeObject<TFloatField>(nullptr);
    EXPECT_EQ(registry->GetItemByField(number.get()), mask);
    auto flag = MakeObject<TBooleanField>(nullptr);
    EXPECT_EQ(registry->GetItemByField(flag.get())->ClassType(), TcxEditRepositoryCheckBoxItem::StaticClass());
    lookupItem->Free();
    EXPECT_EQ(registry->GetItemByField(lookup.get()), mask) << "without a lookup item the default";
}

} // namespace
