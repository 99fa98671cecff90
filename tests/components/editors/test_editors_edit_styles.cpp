// Editor styles: the button and popup values resolved through the state
// styles and controllers, what is stored, and the default controller.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <string>

#include "components/editors/cxEditControl.h"

using namespace hostlib;
using namespace visualtest;

namespace {

// An editor kind that stores the button values but not the popup's.
class ButtonLikeEdit : public TcxCustomEdit {
public:
    static TClass StaticClass() { return DefineClass<ButtonLikeEdit, TcxCustomEdit>("TButtonLikeEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TcxContainerStyleValues GetNotPublishedStyleValues() const override { return {csvPopupBorderStyle}; }
};

struct EditStylesTest : VisualTest {
    void TearDown() override
    {
        FreeDefaultEditStyleController();
        VisualTest::TearDown();
    }
    template <class T = TcxCustomEdit>
    ObjectPtr<T> NewEdit(bool inplace = false)
    {
        return ObjectPtr<T>(static_cast<T*>(
            CreateInstance<TcxCustomEdit>(T::StaticClass(), inplace, static_cast<TComponent*>(nullptr))));
    }
};

TEST_F(EditStylesTest, StateStylesFollowTheNormalStyle)
{
    auto edit = NewEdit();
    EXPECT_EQ(edit->StyleFocused()->ButtonStyle(), btsDefault);
    edit->Style()->SetButtonStyle(bts3D);
    EXPECT_EQ(edit->StyleFocused()->ButtonStyle(), bts3D);
    EXPECT_EQ(edit->StyleHot()->ButtonStyle(), bts3D);
    edit->StyleFocused()->SetButtonStyle(btsFlat);
    EXPECT_EQ(edit->StyleFocused()->ButtonStyle(), btsFlat) << "a state style keeps its own button style";
    EXPECT_EQ(edit->Style()->ButtonStyle(), bts3D);

    edit->StyleFocused()->SetButtonTransparency(ebtAlways);
    edit->StyleHot()->SetPopupBorderStyle(epbsFlat);
    edit->StyleDisabled()->SetPopupCloseButton(false);
    EXPECT_EQ(edit->Style()->ButtonTransparency(), ebtAlways) << "lands on the normal style";
    EXPECT_TRUE(edit->Style()->IsValueAssigned(csvButtonTransparency));
    EXPECT_FALSE(edit->StyleFocused()->IsValueAssigned(csvButtonTransparency));
    EXPECT_EQ(edit->StyleFocused()->ButtonTransparency(), ebtAlways);
    EXPECT_EQ(edit->Style()->PopupBorderStyle(), epbsFlat);
    EXPECT_FALSE(edit->Style()->PopupCloseButton());
    EXPECT_FALSE(edit->StyleHot()->PopupCloseButton());
}

TEST_F(EditStylesTest, ValuesComeFromTheOwnStyleThenTheControllerChainThenTheDefault)
{
    auto outer = MakeObject<TcxEditStyleController>(static_cast<TComponent*>(nullptr));
    auto inner = MakeObject<TcxEditStyleController>(static_cast<TComponent*>(nullptr));
    outer->Style()->SetButtonTransparency(ebtInactive);
    outer->StyleFocused()->SetButtonStyle(btsUltraFlat);
    inner->Style()->SetStyleController(outer.get());
    inner->Style()->SetButtonStyle(btsFlat);
    auto edit = NewEdit();
    edit->Style()->SetStyleController(inner.get());
    EXPECT_EQ(edit->Style()->ButtonStyle(), btsFlat);
    EXPECT_EQ(edit->StyleHot()->ButtonStyle(), btsFlat);
    EXPECT_EQ(edit->StyleFocused()->ButtonStyle(), btsUltraFlat) << "through the controller's controller";
    EXPECT_EQ(edit->Style()->ButtonTransparency(), ebtInactive);
    EXPECT_TRUE(edit->Style()->IsValueAssigned(csvButtonStyle));
    edit->Style()->SetButtonStyle(btsSimple);
    EXPECT_EQ(edit->Style()->ButtonStyle(), btsSimple) << "the own value wins";

    DefaultEditStyleController()->Style()->SetButtonStyle(bts3D);
    auto plain = NewEdit();
    auto inplace = NewEdit(true);
    EXPECT_EQ(plain->Style()->ButtonStyle(), bts3D) << "a stand-alone editor uses the default controller";
    EXPECT_EQ(plain->Style()->StyleController(), nullptr) << "the default controller reads as none";
    EXPECT_EQ(inplace->Style()->ButtonStyle(), btsDefault) << "an in-place editor uses none";
}

TEST_F(EditStylesTest, APlainEditorStoresNoButtonValuesAButtonEditorItsOwn)
{
    auto plain = NewEdit();
    auto button = NewEdit<ButtonLikeEdit>();
    for (TcxCustomEdit* edit : {static_cast<TcxCustomEdit*>(plain.get()), static_cast<TcxCustomEdit*>(button.get())}) {
        edit->Style()->SetButtonStyle(btsFlat);
        edit->Style()->SetButtonTransparency(ebtAlways);
        edit->Style()->SetPopupBorderStyle(epbsSingle);
        edit->Style()->SetBorderStyle(ebsFlat);
    }
    EXPECT_FALSE(plain->Style()->IsButtonStyleStored());
    EXPECT_FALSE(plain->Style()->IsButtonTransparencyStored());
    EXPECT_FALSE(plain->Style()->IsPopupBorderStyleStored());
    EXPECT_TRUE(plain->Style()->IsBorderStyleStored());
    EXPECT_TRUE(button->Style()->IsButtonStyleStored());
    EXPECT_TRUE(button->Style()->IsButtonTransparencyStored());
    EXPECT_FALSE(button->Style()->IsPopupBorderStyleStored());
    EXPECT_EQ(plain->Style()->BorderStyle(), ebsFlat);

    std::string name;
    EXPECT_EQ(plain->Style()->GetStyleValueCount(), 13);
    EXPECT_TRUE(plain->Style()->GetStyleValueName(11, name));
    EXPECT_EQ(name, "ButtonTransparency");
    int index = -1;
    EXPECT_TRUE(plain->Style()->GetStyleValue("popupborderstyle", index));
    EXPECT_EQ(index, 12);

    auto copy = NewEdit();
    copy->Style()->Assign(button->Style());
    EXPECT_EQ(copy->Style()->ButtonStyle(), btsFlat);
    EXPECT_EQ(copy->Style()->PopupBorderStyle(), epbsSingle);
    EXPECT_TRUE(copy->Style()->IsValueAssigned(csvButtonTransparency));
}

TEST_F(EditStylesTest, TheLastDefaultControllerComponentRestoresTheGlobalStyles)
{
    auto* first = CreateObject<TcxDefaultEditStyleController>(static_cast<TComponent*>(nullptr));
    auto* second = CreateObject<TcxDefaultEditStyleController>(static_cast<TComponent*>(nullptr));
    EXPECT_EQ(TcxDefaultEditStyleController::InstanceCount(), 2);
    first->Style()->SetButtonStyle(btsHotFlat);
    first->SetOnStyleChanged(TNotifyEvent::FromFunction([](TObject*) {}));
    EXPECT_EQ(second->Style(), DefaultEditStyleController()->Style());
    EXPECT_EQ(second->Style()->ButtonStyle(), btsHotFlat);
    first->Free();
    EXPECT_EQ(DefaultEditStyleController()->Style()->ButtonStyle(), btsHotFlat);
    EXPECT_TRUE(DefaultEditStyleController()->OnStyleChanged);
    second->Free();
    EXPECT_EQ(DefaultEditStyleController()->Style()->ButtonStyle(), btsDefault);
    EXPECT_FALSE(DefaultEditStyleController()->OnStyleChanged);
    EXPECT_EQ(TcxDefaultEditStyleController::InstanceCount(), 0);
}

} // namespace
