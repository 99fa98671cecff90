// The editor base as lists and repositories use it: own and active
// properties, repository items, held-back change events, validation
// handlers, the data binding and per-cell data, and the in-place list.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "platform/hostlib/core/exceptions.h"

using namespace hostlib;
using namespace visualtest;

namespace {

class TestEditProperties;
class DerivedEditProperties;

// An editor kind that compares values and shows "shown".
class TestEdit : public TcxCustomEdit {
public:
    static TClass StaticClass() { return DefineClass<TestEdit, TcxCustomEdit>("TTestEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override;
    TClass GetEditDataClass() const override { return TcxCustomEditData::StaticClass(); }
    std::string GetDisplayValue() override { return "shown"; }
    void InitializeEditData() override { ++initialized; }
    int refreshes = 0;
    int initialized = 0;
    void PropertiesChanged(TObject* sender) override
    {
        ++refreshes;
        TcxCustomEdit::PropertiesChanged(sender);
    }
};

class TestEditProperties : public TcxCustomEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<TestEditProperties, TcxCustomEditProperties>("TTestEditProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetContainerClass() override { return TestEdit::StaticClass(); }
    bool CompareEditValue() override { return true; }
    bool CanValidate() override { return true; }
};

TClass TestEdit::GetPropertiesClass() const { return TestEditProperties::StaticClass(); }

class DerivedEdit : public TestEdit {
public:
    static TClass StaticClass() { return DefineClass<DerivedEdit, TestEdit>("TDerivedEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override;
};

class DerivedEditProperties : public TestEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<DerivedEditProperties, TestEditProperties>("TDerivedEditProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetContainerClass() override { return DerivedEdit::StaticClass(); }
};

TClass DerivedEdit::GetPropertiesClass() const { return DerivedEditProperties::StaticClass(); }

// Repository items of the test kind and of an unrelated kind.
inline constexpr const char* kTestItem = "TTestEditRepositoryItem";
inline constexpr const char* kTestProperties = "TTestEditProperties";
inline constexpr const char* kPlainItem = "TPlainEditRepositoryItem";
inline constexpr const char* kPlainProperties = "TcxCustomEditProperties";
using TestItem = TcxEditRepositoryKindItem<&kTestItem, &kTestProperties>;
using PlainItem = TcxEditRepositoryKindItem<&kPlainItem, &kPlainProperties>;

struct EditControlTest : VisualTest {
    void SetUp() override
    {
        VisualTest::SetUp();
        for (TClass c : {TestEdit::StaticClass(), TestEditProperties::StaticClass(), DerivedEdit::StaticClass(),
                         DerivedEditProperties::StaticClass(), TcxCustomEditProperties::StaticClass()})
            RegisterClass(c);
    }
    void TearDown() override
    {
        FreeDefaultEditStyleController();
        VisualTest::TearDown();
    }
    ObjectPtr<TestEdit> NewEdit() { return MakeObject<TestEdit>(static_cast<TComponent*>(nullptr)); }
};

TEST_F(EditControlTest, TwoEditorsOnOneItemHearItsChangesAndFallBackWhenItGoes)
{
    auto first = NewEdit(), second = NewEdit();
    auto* item = CreateObject<TestItem>(nullptr);
    first->SetRepositoryItem(item);
    second->SetRepositoryItem(item);
    EXPECT_EQ(first->ActiveProperties(), item->Properties());
    EXPECT_EQ(second->ActiveProperties()->IDefaultValuesProvider(), second->DataBinding()->IDefaultValuesProvider())
        << "the item's properties take the provider of the editor that asks";
    int before1 = first->refreshes, before2 = second->refreshes;
    item->Properties()->SetAutoSelect(false);
    EXPECT_EQ(first->refreshes, before1 + 1);
    EXPECT_EQ(second->refreshes, before2 + 1);
    int ownBefore = first->refreshes;
    first->Properties()->SetBeepOnError(true);
    first->Properties()->Changed();
    EXPECT_EQ(first->refreshes, ownBefore) << "the own properties are not heard while an item is used";

    item->Free();
    EXPECT_EQ(first->RepositoryItem(), nullptr);
    EXPECT_EQ(second->RepositoryItem(), nullptr);
    EXPECT_EQ(first->ActiveProperties(), first->Properties());
    ownBefore = first->refreshes;
    first->Properties()->SetAutoSelect(false);
    EXPECT_EQ(first->refreshes, ownBefore + 1) << "the own properties are heard again";
}

TEST_F(EditControlTest, AnItemOfAnotherKindIsRefusedAndTheOldOneKept)
{
    auto edit = NewEdit();
    auto good = MakeObject<TestItem>(nullptr);
    auto plain = MakeObject<PlainItem>(nullptr);
    edit->SetRepositoryItem(good.get());
    try {
        edit->SetRepositoryItem(plain.get());
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "The repository item is not acceptable");
    }
    EXPECT_EQ(edit->RepositoryItem(), good.get());
    edit->SetRepositoryItem(nullptr);
    EXPECT_EQ(edit->ActiveProperties(), edit->Properties());
}

TEST_F(EditControlTest, ChangeEventsHeldBackFireOnceOrNotAtAll)
{
    struct Case {
        const char* name;
        int locks;
        bool invoke;
        int changes;
    } cases[] = {{"unlocked", 0, true, 2}, {"nested, invoked", 2, true, 1}, {"released without invoke", 1, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto edit = NewEdit();
        int changes = 0, valueChanges = 0;
        edit->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
        edit->Properties()->OnEditValueChanged = TNotifyEvent::FromFunction([&](TObject*) { ++valueChanges; });
        for (int i = 0; i < c.locks; ++i)
            edit->LockChangeEvents(true);
        edit->SetEditValue(Variant("a"));
        edit->SetEditValue(Variant("a"));
        edit->SetEditValue(Variant::Null());
        for (int i = 0; i < c.locks; ++i)
            edit->LockChangeEvents(false, c.invoke);
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(valueChanges, c.changes) << "an equal value of the same type is no change";
    }
}

TEST_F(EditControlTest, InPlaceChangeHandlersSeeTheEditorModified)
{
    auto* edit = CreateInstance<TcxCustomEdit>(TestEdit::StaticClass(), true, static_cast<TComponent*>(nullptr));
    ObjectPtr<TcxCustomEdit> owned(edit);
    bool seen = false;
    edit->Properties()->OnChange = TNotifyEvent::FromFunction([&](TObject*) {
        seen = edit->Modified() && edit->ModifiedAfterEnter();
    });
    edit->SetEditValue(Variant(1));
    EXPECT_TRUE(seen);
    EXPECT_FALSE(edit->Modified());
    EXPECT_FALSE(edit->ModifiedAfterEnter());
}

TEST_F(EditControlTest, ValidationHandlersMayKeepOrReplaceTheText)
{
    struct Case {
        const char* name;
        bool replaceText;
        const char* shown;
        bool userValue;
    } cases[] = {{"error only", false, "shown", false}, {"error and new text", true, "fixed", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto edit = NewEdit();
        edit->Properties()->OnValidate =
            TcxEditValidateEvent::FromFunction([&](TObject*, Variant& value, std::string&, bool& error) {
                error = true;
                if (c.replaceText)
                    value = Variant("fixed");
            });
        Variant value("typed");
        std::string text;
        bool error = false, userValue = false;
        edit->Properties()->ValidateDisplayValue(value, text, error);
        EXPECT_FALSE(error) << "without the editor no handler runs";
        edit->Properties()->DoValidate(value, text, error, edit.get(), userValue);
        EXPECT_TRUE(error);
        EXPECT_EQ(VarToStr(value), c.shown);
        EXPECT_EQ(userValue, c.userValue);
    }
}

TEST_F(EditControlTest, EditDataOutlivesItsEditor)
{
    auto* edit = CreateObject<TestEdit>(static_cast<TComponent*>(nullptr));
    TcxCustomEditData* data = nullptr;
    edit->Activate(data);
    ASSERT_NE(data, nullptr);
    ObjectPtr<TcxCustomEditData> owned(data);
    EXPECT_EQ(data->Edit(), edit);
    EXPECT_EQ(edit->initialized, 1);
    data->Clear();
    EXPECT_EQ(edit->initialized, 2) << "clearing the current data has the editor start anew";
    EXPECT_FALSE(data->Cleared());
    edit->Free();
    EXPECT_EQ(data->Edit(), nullptr);
    data->Clear();
    EXPECT_TRUE(data->Cleared());
}

TEST_F(EditControlTest, TheBindingIsTheEditorsOwnValue)
{
    auto edit = NewEdit();
    TcxEditDataBinding* binding = edit->DataBinding();
    EXPECT_EQ(binding->GetOwner(), edit.get());
    EXPECT_TRUE(binding->GetIsDataAvailable());
    EXPECT_TRUE(binding->SetEditMode());
    edit->SetEditValue(Variant(7));
    EXPECT_EQ(binding->GetStoredValue(), Variant(7));
    binding->SetStoredValue(Variant(8));
    EXPECT_EQ(edit->EditValue(), Variant(7)) << "posting to the plain binding has no effect";
    EXPECT_EQ(VarToStr(binding->GetDisplayValue()), "shown");
    EXPECT_EQ(edit->Properties()->IDefaultValuesProvider(), binding->IDefaultValuesProvider());
    EXPECT_FALSE(edit->IsDBEdit());
}

TEST_F(EditControlTest, TheInplaceListKeepsOneEditorPerProperties)
{
    auto list = MakeObject<TcxInplaceEditList>();
    auto column1 = MakeObject<TestEditProperties>(nullptr);
    auto column2 = MakeObject<TestEditProperties>(nullptr);
    TcxCustomEdit* edit = list->GetEdit(column1.get());
    EXPECT_EQ(edit->ClassType(), TestEdit::StaticClass());
    EXPECT_TRUE(edit->IsInplace());
    EXPECT_FALSE(edit->Visible());
    column1->SetAutoSelect(false);
    EXPECT_EQ(list->GetEdit(column1.get()), edit);
    EXPECT_FALSE(edit->Properties()->AutoSelect()) << "the second call assigns the properties again";
    EXPECT_NE(list->GetEdit(column2.get()), edit);
    EXPECT_EQ(list->Count(), 2);

    TcxCustomEdit* derived = list->GetEdit(DerivedEditProperties::StaticClass());
    EXPECT_EQ(derived->ClassType(), DerivedEdit::StaticClass());
    EXPECT_EQ(list->GetEdit(DerivedEditProperties::StaticClass()), derived);
    EXPECT_EQ(list->Count(), 3);
    TcxCustomEdit* byBase = list->GetEdit(TestEditProperties::StaticClass());
    EXPECT_EQ(byBase, edit) << "an editor of the exact class is found";

    auto unknown = MakeObject<TestEditProperties>(nullptr);
    list->RemoveItem(unknown.get());
    list->RemoveItem(column1.get());
    EXPECT_EQ(list->FindEdit(column1.get()), nullptr);
    EXPECT_EQ(list->Count(), 2);
}

TEST_F(EditControlTest, ByClassTheExactClassOnly)
{
    auto list = MakeObject<TcxInplaceEditList>();
    TcxCustomEdit* derived = list->GetEdit(DerivedEditProperties::StaticClass());
    TcxCustomEdit* base = list->GetEdit(TestEditProperties::StaticClass());
    EXPECT_NE(base, derived) << "a descendant's editor does not serve the base class";
    EXPECT_EQ(base->Properties()->ClassType(), TestEditProperties::StaticClass());
}

} // namespace
