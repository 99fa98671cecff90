// Edit properties: defaults, change brackets, read-only rules, the working
// alignment, providers and edit buttons.
#include "components/editors/cxEdit.h"
#include "components/editors/cxEditConsts.h"

#include <gtest/gtest.h>

using namespace hostlib;

namespace {

// A provider of a read-only field aligned right.
class FieldProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass()
    {
        return DefineClass<FieldProvider, TcxCustomEditDefaultValuesProvider>("TestFieldProvider");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool DefaultReadOnly() override { return readOnly; }
    bool DefaultCanModify() override { return canModify; }
    TAlignment DefaultAlignment() override { return taRightJustify; }
    bool readOnly = true;
    bool canModify = true;
};

class ValidatingProperties : public TcxCustomEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<ValidatingProperties, TcxCustomEditProperties>("TestValidatingProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool CanValidate() override { return true; }
};

struct PropertiesTest : ::testing::Test {
    ObjectPtr<TcxCustomEditProperties> properties = MakeObject<TcxCustomEditProperties>(nullptr);
    int changes = 0;
    void SetUp() override
    {
        properties->ChangeNotification = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    }
};

TEST_F(PropertiesTest, ANewObjectHasTheDefaults)
{
    EXPECT_TRUE(properties->AutoSelect());
    EXPECT_EQ(properties->ClickKey(), 16397);
    EXPECT_EQ(properties->ClearKey(), 0);
    EXPECT_EQ(properties->ButtonsViewStyle(), bvsNormal);
    EXPECT_FALSE(properties->ValidateOnEnter());
    EXPECT_TRUE(properties->AllowMouseWheel());
    EXPECT_TRUE(properties->UseLeftAlignmentOnEditing());
    EXPECT_EQ(properties->Buttons()->Count(), 0);
    EXPECT_TRUE(properties->GetSupportedOperations().Empty());
    EXPECT_EQ(properties->Alignment()->Vert(), taTopJustify);
    EXPECT_EQ(properties->GetEditValueSource(true), evsValue);
    properties->Buttons()->Add();
    EXPECT_EQ(properties->GetSupportedOperations(), TcxEditSupportedOperations{esoHotTrack});
    EXPECT_EQ(changes, 1) << "adding a button is a change";
}

TEST_F(PropertiesTest, ReadOnlyAndCanModifyFollowTheProvider)
{
    auto provider = MakeObject<FieldProvider>(nullptr);
    struct Case {
        bool withProvider;
        bool providerReadOnly;
        int explicitReadOnly; // -1: never set
        bool readOnly, canModify;
    } cases[] = {
        {false, false, -1, false, true},
        {true, true, -1, true, false},
        {true, false, -1, false, true},
        {true, true, 0, false, true},  // set False: modifiable whatever the provider says
        {false, false, 1, true, false},
    };
    for (const Case& c : cases) {
        auto p = MakeObject<TcxCustomEditProperties>(nullptr);
        provider->readOnly = c.providerReadOnly;
        if (c.withProvider)
            p->SetIDefaultValuesProvider(provider.get());
        if (c.explicitReadOnly >= 0)
            p->SetReadOnly(c.explicitReadOnly == 1);
        EXPECT_EQ(p->GetReadOnly(), c.readOnly) << &c - cases;
        EXPECT_EQ(p->CanModify(), c.canModify) << &c - cases;
        EXPECT_EQ(p->IsReadOnlyStored(), c.explicitReadOnly >= 0);
    }
}

TEST_F(PropertiesTest, ChangesAreBracketedAndSetReadOnlyOnlyChangesOnce)
{
    properties->EndUpdate();
    EXPECT_EQ(changes, 0) << "a lone EndUpdate does nothing";
    properties->BeginUpdate();
    properties->BeginUpdate();
    properties->SetAutoSelect(false);
    properties->SetButtonsViewStyle(bvsButtonsOnly);
    properties->EndUpdate();
    EXPECT_EQ(changes, 0);
    properties->EndUpdate();
    EXPECT_EQ(changes, 1) << "one change at the outermost bracket";
    properties->SetAutoSelect(false);
    EXPECT_EQ(changes, 1) << "an equal value is no change";
    properties->SetReadOnly(false);
    properties->SetReadOnly(false);
    EXPECT_EQ(changes, 2) << "assigning ReadOnly the first time changes, the second does not";
    properties->LockUpdate(true);
    properties->SetAutoSelect(true);
    properties->LockUpdate(false);
    EXPECT_EQ(changes, 2) << "locked changes are dropped";
    properties->BeginUpdate();
    properties->SetAutoSelect(false);
    properties->EndUpdate(false);
    EXPECT_EQ(changes, 2) << "EndUpdate without a change";
}

TEST_F(PropertiesTest, OnlyAnEditorsPropertiesAnnounceEveryProviderTheyAreGiven)
{
    auto provider = MakeObject<FieldProvider>(nullptr);
    auto editor = MakeObject<TControl>(nullptr);
    auto owned = MakeObject<TcxCustomEditProperties>(editor.get());
    int ownedChanges = 0;
    owned->ChangeNotification = TNotifyEvent::FromFunction([&ownedChanges](TObject*) { ++ownedChanges; });
    for (int round = 1; round <= 2; ++round) {
        // The same provider again still makes the editor re-read its defaults.
        owned->SetIDefaultValuesProvider(provider.get());
        properties->SetIDefaultValuesProvider(provider.get());
        EXPECT_EQ(ownedChanges, round);
        EXPECT_EQ(changes, 0) << "properties of no editor hear of defaults through their editors";
    }
    owned->SetIDefaultValuesProvider(nullptr);
    EXPECT_EQ(ownedChanges, 3);
    EXPECT_EQ(owned->IDefaultValuesProvider(), nullptr);
}

TEST_F(PropertiesTest, TheWorkingAlignmentShowsTheProviderUntilHorzIsSet)
{
    auto provider = MakeObject<FieldProvider>(nullptr);
    properties->SetIDefaultValuesProvider(provider.get());
    EXPECT_EQ(properties->Alignment()->Horz(), taRightJustify);
    EXPECT_FALSE(properties->Alignment()->IsHorzAssigned());
    EXPECT_FALSE(properties->IsAlignmentStored());
    properties->Alignment()->SetVert(taVCenter);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(properties->Alignment()->Horz(), taRightJustify) << "changing Vert does not assign Horz";
    properties->Alignment()->SetHorz(taLeftJustify);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(properties->IsAlignmentStored());
    EXPECT_EQ(properties->Alignment()->Horz(), taLeftJustify) << "an assigned Horz wins over the provider";
    EXPECT_EQ(properties->Alignment()->Vert(), taVCenter);
    properties->RestoreDefaults();
    EXPECT_EQ(properties->Alignment()->Horz(), taRightJustify);
}

TEST_F(PropertiesTest, ADestroyedProviderIsDetachedEverywhere)
{
    auto provider = MakeObject<FieldProvider>(nullptr);
    auto other = MakeObject<TcxCustomEditProperties>(nullptr);
    properties->SetIDefaultValuesProvider(provider.get());
    other->SetIDefaultValuesProvider(provider.get());
    auto unrelated = MakeObject<FieldProvider>(nullptr);
    auto third = MakeObject<TcxCustomEditProperties>(nullptr);
    third->SetIDefaultValuesProvider(unrelated.get());
    provider.reset();
    EXPECT_EQ(properties->IDefaultValuesProvider(), nullptr);
    EXPECT_EQ(other->IDefaultValuesProvider(), nullptr);
    EXPECT_EQ(third->IDefaultValuesProvider(), unrelated.get());
    EXPECT_FALSE(properties->GetReadOnly()) << "no dangling provider is asked";
}

TEST_F(PropertiesTest, AssignCopiesSettingsButtonsAndTheExplicitReadOnly)
{
    auto source = MakeObject<TcxCustomEditProperties>(nullptr);
    source->SetAutoSelect(false);
    source->SetClickKey(0);
    source->SetReadOnly(true);
    source->Alignment()->SetHorz(taCenter);
    source->Buttons()->Add();
    source->Buttons()->Add();
    static_cast<TcxEditButton*>(source->Buttons()->Items(1))->SetCaption("&Go");
    source->OnChange = TNotifyEvent::FromFunction([](TObject*) {});
    properties->Assign(source.get());
    EXPECT_EQ(changes, 1) << "one change for the whole assignment";
    EXPECT_FALSE(properties->AutoSelect());
    EXPECT_EQ(properties->ClickKey(), 0);
    EXPECT_TRUE(properties->GetReadOnly());
    EXPECT_TRUE(properties->IsReadOnlyStored());
    EXPECT_EQ(properties->Alignment()->Horz(), taCenter);
    ASSERT_EQ(properties->Buttons()->Count(), 2);
    EXPECT_EQ(properties->Buttons()->Items(1)->VisibleCaption(), "Go");
    EXPECT_TRUE(properties->OnChange.Assigned());
    auto plain = MakeObject<TcxCustomEditProperties>(nullptr);
    properties->Assign(plain.get());
    EXPECT_FALSE(properties->IsReadOnlyStored()) << "an unassigned ReadOnly is copied as unassigned";
}

TEST_F(PropertiesTest, OnlyValidatingKindsFillTheErrorText)
{
    Variant value("x");
    std::string text;
    bool error = false;
    properties->ValidateDisplayValue(value, text, error);
    EXPECT_EQ(text, "");
    auto validating = MakeObject<ValidatingProperties>(nullptr);
    validating->ValidateDisplayValue(value, text, error);
    EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
    text = "own";
    validating->ValidateDisplayValue(value, text, error);
    EXPECT_EQ(text, "own");
}

TEST(EditButtonsTest, DefaultIsExclusiveAndChangesAreReported)
{
    auto properties = MakeObject<TcxCustomEditProperties>(nullptr);
    int changes = 0;
    properties->ChangeNotification = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    auto* first = static_cast<TcxEditButton*>(properties->Buttons()->Add());
    auto* second = static_cast<TcxEditButton*>(properties->Buttons()->Add());
    EXPECT_FALSE(first->Default()) << "no designer: no default button";
    first->SetDefault(true);
    second->SetDefault(true);
    EXPECT_FALSE(first->Default());
    EXPECT_TRUE(second->Default());
    changes = 0;
    second->SetKind(bkDown);
    EXPECT_EQ(changes, 0) << "an equal value reports nothing";
    second->SetKind(bkEllipsis);
    second->SetVisible(false);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(properties->Buttons()->VisibleCount(), 1);
    second->SetCaption("&OK");
    EXPECT_EQ(second->VisibleCaption(), "OK");
    EXPECT_EQ(second->TextColor(), clBtnText);
    second->SetWidth(20);
    EXPECT_EQ(second->Width(), 20);
    first->Assign(second);
    EXPECT_EQ(first->Kind(), bkEllipsis);
    EXPECT_EQ(first->Caption(), "&OK");
    EXPECT_TRUE(first->Default());
    EXPECT_FALSE(second->Default()) << "the copy took Default over";
}

TEST(RegisteredEditPropertiesTest, KindsAreFoundByClassNameAndByDescription)
{
    TcxRegisteredClasses* list = GetRegisteredEditProperties();
    list->Register(ValidatingProperties::StaticClass(), cxGetResourceString(scxSEditRepositoryMaskItem));
    EXPECT_EQ(list->FindByClassName("TestValidatingProperties"), ValidatingProperties::StaticClass());
    EXPECT_EQ(list->FindByDescription("MaskEdit"), ValidatingProperties::StaticClass());
    EXPECT_EQ(list->GetHintByClass(ValidatingProperties::StaticClass()), "Represents a generic masked edit control.");
    EXPECT_EQ(FindClass("TestValidatingProperties"), ValidatingProperties::StaticClass())
        << "registered for streaming too";
    EXPECT_EQ(list->FindByClassName("TcxNoSuchProperties"), nullptr);
    cxEditFinalize();
}

TEST(EditUnitTest, SmallHelpers)
{
    EXPECT_EQ(ShiftStateToKeys(TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle}),
              static_cast<WPARAM>(MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON));
    EXPECT_EQ(ShiftStateToKeys(TShiftState{ssAlt}), 0u);
    EXPECT_EQ(ButtonToShift(mbMiddle), TShiftState{ssMiddle});
    SIZE size{3, 10};
    CheckSize(size, SIZE{5, 5});
    EXPECT_EQ(size.cx, 5);
    EXPECT_EQ(size.cy, 10);
    EXPECT_TRUE(InternalVarEqualsExact(Variant(1), Variant(1)));
    EXPECT_FALSE(InternalVarEqualsExact(Variant(1), Variant(1.0))) << "different variant types";
    auto properties = MakeObject<TcxCustomEditProperties>(nullptr);
    EXPECT_EQ(GetOwnerComponent(properties->Buttons()), nullptr);
    auto owner = MakeObject<TComponent>(nullptr);
    auto owned = MakeObject<TcxCustomEditProperties>(owner.get());
    EXPECT_EQ(GetOwnerComponent(owned->Buttons()), owner.get());
}

} // namespace
