// The check box: its values and their refusals, copying, the state cycle,
// loading beside an action, Space and mouse input, the drawing rules of a
// check in every look, and what a user sees of it on the headless display.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxEditUtils.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/windows/winuser.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

class CheckForm : public TComponent {
public:
    static TClass StaticClass() { return DefineClass<CheckForm, TComponent>("TCheckForm"); }
    TClass ClassType() const override { return StaticClass(); }
};

class CheckBoxTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        cxCheckBoxInitialize();
        form = NewForm(300, 200);
        // Takes the focus when the form shows, so the box starts unfocused.
        other = Add<visualtest::TTraceControl>(form, "other", 10, 100, 50, 20);
        other->SetTabStop(true);
        box = Add<TcxCheckBox>(form, "Box", 10, 10, 121, 21);
        UseFixedFace(box->Style()->Font());
        box->SetCaption("&Option");
        box->OnClick = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("click"); });
        box->Properties()->OnChange = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("change"); });
        form->Show();
        Pump();
        // The pointer away from the box: no hot look.
        Screen().MoveMouse(At(form, 280, 180));
        Pump();
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        cxCheckBoxFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        CatalogueTest::TearDown();
    }
    void UltraFlat()
    {
        box->Style()->LookAndFeel()->SetKind(lfUltraFlat);
        box->Style()->LookAndFeel()->SetNativeStyle(false);
        box->Style()->SetBorderStyle(ebsUltraFlat);
        box->Style()->SetHotTrack(false);
        Pump();
    }
    RECT Check() const { return box->GetViewInfo()->CheckBoxRect; }
    // Pixels of the check's inner square in one colour.
    int CountInner(TColor color)
    {
        RECT inner = Check();
        InflateRect(&inner, -2, -2);
        int n = 0;
        for (int y = inner.top; y < inner.bottom; ++y)
            for (int x = inner.left; x < inner.right; ++x) n += Pixel(box, x, y) == Rgb(color) ? 1 : 0;
        return n;
    }
    int CountText(TColor color)
    {
        const RECT t = box->GetViewInfo()->TextRect;
        int n = 0;
        for (int y = t.top; y < t.bottom; ++y)
            for (int x = t.left; x < t.right; ++x) n += Pixel(box, x, y) == Rgb(color) ? 1 : 0;
        return n;
    }

    visualtest::TTraceControl* other = nullptr;
    TcxCheckBox* box = nullptr;
    std::vector<std::string> events;
};

}  // namespace

// ---- values ------------------------------------------------------------------------------------

TEST(CheckBoxProperties, ValuesReadAsStatesCheckedFirst)
{
    auto p = MakeObject<TcxCheckBoxProperties>(nullptr);
    struct Case {
        const char* what;
        Variant value;
        TcxCheckBoxState state;
    };
    const Case cases[] = {
        {"True", Variant(true), cbsChecked},
        {"False", Variant(false), cbsUnchecked},
        {"Null", Variant::Null(), cbsGrayed},
        {"Integer 1 is compared as a text", Variant(1), cbsGrayed},
        {"the text True", Variant("True"), cbsChecked},
    };
    for (const Case& c : cases) EXPECT_EQ(p->GetState(c.value), c.state) << c.what;
    EXPECT_EQ(p->GetDisplayText(Variant(true)), "True");
    EXPECT_EQ(p->GetDisplayText(Variant(false)), "False");
    EXPECT_EQ(p->GetDisplayText(Variant::Null()), "");
    Variant v = Variant(1);
    EXPECT_FALSE(p->IsEditValueValid(v, false)) << "valid only when exactly one of the three values";
}

TEST(CheckBoxProperties, ValueSettersRefuseDuplicatesSilently)
{
    auto p = MakeObject<TcxCheckBoxProperties>(nullptr);
    p->SetValueChecked(Variant("Y"));
    p->SetValueUnchecked(Variant("N"));
    EXPECT_EQ(p->ValueChecked(), Variant("Y"));
    EXPECT_EQ(p->ValueUnchecked(), Variant("N"));
    p->SetValueGrayed(Variant("Y"));
    EXPECT_TRUE(p->ValueGrayed().IsNull()) << "equal to the checked value";
    p->SetValueUnchecked(Variant::Null());
    EXPECT_EQ(p->ValueUnchecked(), Variant("N")) << "Null is no unchecked value";
    p->SetValueGrayed(Variant("X"));
    EXPECT_EQ(p->ValueGrayed(), Variant("X"));
    p->SetValueGrayed(Variant::Null());
    EXPECT_TRUE(p->ValueGrayed().IsNull());
}

TEST(CheckBoxProperties, AssignTakesTheThreeValuesAsOneSet)
{
    auto yes = MakeObject<TcxCheckBoxProperties>(nullptr);
    auto no = MakeObject<TcxCheckBoxProperties>(nullptr);
    yes->SetValueChecked(Variant("Y"));
    yes->SetValueUnchecked(Variant("N"));
    no->SetValueChecked(Variant("N"));
    no->SetValueUnchecked(Variant("Y"));
    no->SetAllowGrayed(true);
    no->SetCaption("kept");
    yes->Assign(no.get());
    EXPECT_EQ(yes->ValueChecked(), Variant("N"));
    EXPECT_EQ(yes->ValueUnchecked(), Variant("Y"));
    EXPECT_EQ(yes->GetState(Variant("N")), cbsChecked) << "the copy reads states as the source does";
    EXPECT_TRUE(yes->AllowGrayed());
    EXPECT_EQ(yes->Caption(), "") << "the caption is not copied";
}

TEST(CheckBoxProperties, DisplayTextsAreStoredOnACaseSensitiveDifference)
{
    auto p = MakeObject<TcxCheckBoxProperties>(nullptr);
    EXPECT_FALSE(p->IsDisplayCheckedStored());
    p->SetDisplayChecked("TRUE");
    EXPECT_TRUE(p->IsDisplayCheckedStored());
    p->SetDisplayChecked("True");
    EXPECT_FALSE(p->IsDisplayCheckedStored());
    EXPECT_FALSE(p->IsValueCheckedStored());
    p->SetValueChecked(Variant(1));
    EXPECT_TRUE(p->IsValueCheckedStored()) << "differs in type from Boolean True";
}

TEST(CheckBoxProperties, TheKindResolvesByItsClassName)
{
    cxCheckBoxInitialize();
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxCheckBoxProperties"),
              TcxCheckBoxProperties::StaticClass());
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxCheckBoxProperties::StaticClass()), "CheckBox");
    cxCheckBoxFinalize();
}

// ---- drawing rules -----------------------------------------------------------------------------

TEST(CheckDrawing, GlyphIndexFoldsPressedLooksIntoShortStrips)
{
    struct Case {
        int count;
        TcxCheckBoxState state;
        TcxEditCheckState check;
        int index;
    };
    const Case cases[] = {
        {3, cbsUnchecked, ecsPressed, 0}, {4, cbsUnchecked, ecsPressed, 3}, {4, cbsChecked, ecsPressed, 1},
        {6, cbsUnchecked, ecsPressed, 3}, {6, cbsChecked, ecsPressed, 4},   {6, cbsGrayed, ecsPressed, 5},
        {6, cbsGrayed, ecsHot, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckGlyphIndex(c.state, c.check, c.count), c.index) << c.count << " " << c.state;
}

TEST(CheckDrawing, ThemeStatesFollowStateAndNullStyle)
{
    for (int check = ecsNormal; check <= ecsDisabled; ++check) {
        const auto cs = static_cast<TcxEditCheckState>(check);
        EXPECT_EQ(CheckNativeState(cbsUnchecked, cs, nssGrayedChecked), 1 + check);
        EXPECT_EQ(CheckNativeState(cbsChecked, cs, nssGrayedChecked), 5 + check);
        EXPECT_EQ(CheckNativeState(cbsGrayed, cs, nssUnchecked), 1 + check);
        EXPECT_EQ(CheckNativeState(cbsGrayed, cs, nssInactive), 4) << "drawn as it is kept";
        EXPECT_EQ(CheckNativeState(cbsGrayed, cs, nssGrayedChecked), 9 + check);
    }
}

TEST(CheckDrawing, ClassicFrameControlFlags)
{
    struct Case {
        TcxCheckBoxState state;
        TcxEditCheckState check;
        TcxEditBorderStyle border;
        TcxCheckBoxNullValueShowingStyle null;
        UINT flags;
    };
    const Case cases[] = {
        {cbsUnchecked, ecsDisabled, ebs3D, nssGrayedChecked, 0x308},
        {cbsChecked, ecsDisabled, ebs3D, nssGrayedChecked, 0x608},
        {cbsGrayed, ecsDisabled, ebs3D, nssInactive, 0x308},
        {cbsGrayed, ecsDisabled, ebs3D, nssGrayedChecked, 0x608},
        {cbsChecked, ecsNormal, ebsSingle, nssGrayedChecked, 0x4400},
        {cbsGrayed, ecsPressed, ebs3D, nssInactive, 0x308},
        {cbsGrayed, ecsNormal, ebs3D, nssGrayedChecked, 0x408},
        {cbsUnchecked, ecsDisabled, ebsFlat, nssGrayedChecked, 0x4308},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckFrameControlFlags(c.state, c.check, c.border, c.null), c.flags) << c.state << " " << c.check;
}

TEST(CheckDrawing, GrayedUnderUncheckedNullStyleDrawsExactlyAsUnchecked)
{
    for (TcxEditBorderStyle border : {ebs3D, ebsUltraFlat, ebsSingle}) {
        auto a = MakeObject<TBitmap>();
        auto b = MakeObject<TBitmap>();
        for (TBitmap* bmp : {a.get(), b.get()}) bmp->SetSize(20, 20);
        TcxCanvas ca(a->Canvas()), cb(b->Canvas());
        const RECT r{2, 2, 15, 15};
        DrawEditCheck(&ca, r, cbsGrayed, ecsNormal, nullptr, 0, border, false, clRed, clWhite, true, false, false,
                      nssUnchecked);
        DrawEditCheck(&cb, r, cbsUnchecked, ecsNormal, nullptr, 0, border, false, clRed, clWhite, true, false, false,
                      nssUnchecked);
        EXPECT_EQ(a->ToPicture().pixels, b->ToPicture().pixels) << border;
    }
}

// ---- the control -------------------------------------------------------------------------------

TEST_F(CheckBoxTest, ANewBoxHoldsFalseAndTogglesThroughTheCycle)
{
    EXPECT_EQ(box->Width(), 121);
    EXPECT_EQ(box->EditValue(), Variant(false));
    EXPECT_EQ(box->State(), cbsUnchecked);
    box->Toggle();
    EXPECT_EQ(box->EditValue(), Variant(true));
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));

    struct Step {
        bool allowGrayed;
        TcxCheckBoxState from, to;
    };
    const Step steps[] = {
        {false, cbsUnchecked, cbsChecked}, {false, cbsChecked, cbsUnchecked}, {false, cbsGrayed, cbsChecked},
        {true, cbsUnchecked, cbsGrayed},   {true, cbsGrayed, cbsChecked},     {true, cbsChecked, cbsUnchecked},
    };
    for (const Step& s : steps) {
        box->Properties()->SetAllowGrayed(s.allowGrayed);
        box->SetState(s.from);
        box->Toggle();
        EXPECT_EQ(box->State(), s.to) << s.allowGrayed << " from " << s.from;
    }
}

TEST_F(CheckBoxTest, OnEditingRefusingLeavesValueAndStateWithoutEvents)
{
    box->OnEditing = TcxEditEditingEvent::FromFunction([](TObject*, bool& allow) { allow = false; });
    events.clear();
    box->Toggle();
    EXPECT_EQ(box->State(), cbsUnchecked);
    EXPECT_EQ(box->EditValue(), Variant(false));
    EXPECT_TRUE(events.empty());
}

TEST_F(CheckBoxTest, ChangingTheValuesReExpressesTheStateOnce)
{
    box->SetChecked(true);
    events.clear();
    box->Properties()->SetValueChecked(Variant("Y"));
    EXPECT_EQ(box->State(), cbsGrayed) << "True is no longer the checked value";
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));
}

TEST_F(CheckBoxTest, SpaceShowsPressedAndTogglesOnceOnRelease)
{
    box->SetFocus();
    Pump();
    events.clear();
    Screen().KeyDown(VK_SPACE);
    Pump();
    EXPECT_EQ(box->GetViewInfo()->CheckState, ecsPressed);
    EXPECT_TRUE(box->IsKeyPressed());
    EXPECT_EQ(box->State(), cbsUnchecked) << "nothing toggles while held";
    Screen().KeyUp(VK_SPACE);
    Pump();
    EXPECT_EQ(box->State(), cbsChecked);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "change"}));

    box->SetFocus();
    Pump();
    Screen().KeyDown(VK_SPACE);
    Pump();
    other->SetFocus();
    Pump();
    EXPECT_FALSE(box->IsKeyPressed()) << "leaving clears the held key";
    Screen().KeyUp(VK_SPACE);
    Pump();
    EXPECT_EQ(box->State(), cbsChecked) << "a key released elsewhere toggles nothing";
}

TEST_F(CheckBoxTest, AClickTogglesButPressMoveOffReleaseDoesNot)
{
    const RECT c = Check();
    const POINT on = At(box, (c.left + c.right) / 2, (c.top + c.bottom) / 2);
    Screen().Click(on);
    Pump();
    EXPECT_EQ(box->State(), cbsChecked);
    Screen().ButtonDown(on);
    Pump();
    Screen().MoveMouse(At(box, 200, 100));
    Pump();
    Screen().ButtonUp(At(box, 200, 100));
    Pump();
    EXPECT_EQ(box->State(), cbsChecked) << "released off the box";
    Screen().DoubleClick(on);
    Pump();
    EXPECT_EQ(box->State(), cbsChecked) << "a double click is two clicks";
}

TEST_F(CheckBoxTest, TheAcceleratorFocusesAndToggles)
{
    other->SetFocus();
    Pump();
    KeyWith(VK_MENU, 'O');
    EXPECT_TRUE(box->Focused());
    EXPECT_EQ(box->State(), cbsChecked);
}

TEST_F(CheckBoxTest, InPlaceASpaceCharacterTogglesOnlyInTheNormalState)
{
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    auto column = MakeObject<TcxCheckBoxProperties>(nullptr);
    auto* cell = static_cast<TcxCheckBox*>(list->GetEdit(column.get()));
    ASSERT_TRUE(cell->IsInplace());
    cell->SetParent(form);
    cell->SetBoundsRect(RECT{150, 10, 190, 30});
    cell->SetVisible(true);
    cell->SetFocus();
    Pump();
    EXPECT_EQ(cell->GetViewInfo()->Alignment, taCenter) << "in place the check alone, centred";
    const RECT c = cell->GetViewInfo()->CheckBoxRect;
    EXPECT_EQ(c.left, (40 - (c.right - c.left)) / 2) << "centred";
    cell->GetViewInfo()->CheckState = ecsNormal;
    SendKeyPress(cell, ' ');
    Pump();
    EXPECT_EQ(cell->State(), cbsChecked);
    cell->GetViewInfo()->CheckState = ecsHot;
    SendKeyPress(cell, ' ');
    Pump();
    EXPECT_EQ(cell->State(), cbsChecked) << "not in the hot state";
    cell->SetParent(nullptr);
}

TEST_F(CheckBoxTest, StateFromAFormWinsOverTheActionAndActionsCheckSilently)
{
    RegisterClasses({CheckForm::StaticClass(), TcxCheckBox::StaticClass(), TAction::StaticClass()});
    const std::string text = R"(CheckForm : TCheckForm {
  Act : TAction { Checked = True; }
  Box : TcxCheckBox { Action = Act; State = cbsGrayed; }
  Plain : TcxCheckBox { Action = Act; }
})";
    ObjectPtr<TComponent> loaded(CreateFromFormResource(text, "check.form", nullptr));
    auto* read = As<TcxCheckBox>(loaded->FindComponent("Box"));
    auto* plain = As<TcxCheckBox>(loaded->FindComponent("Plain"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->State(), cbsGrayed);
    EXPECT_EQ(plain->State(), cbsChecked) << "without a state of its own the action's Checked";

    auto* action = CreateObject<TAction>(form);
    box->SetAction(action);
    events.clear();
    action->SetChecked(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(events.empty()) << "no OnClick or OnChange";
}

TEST_F(CheckBoxTest, TheActionGivesCaptionAndEnabledAndAClickWithoutOnClickExecutesIt)
{
    auto* action = CreateObject<TAction>(form);
    action->SetCaption("&Wrap");
    int executed = 0;
    action->OnExecute = TNotifyEvent::FromFunction([&](TObject*) { ++executed; });
    box->SetAction(action);
    EXPECT_NE(As<TcxCheckBoxActionLink>(box->ActionLink()), nullptr);
    EXPECT_EQ(box->Caption(), "&Wrap") << "the control's own handling first";
    action->SetEnabled(false);
    EXPECT_FALSE(box->Enabled());
    action->SetEnabled(true);

    box->OnClick = {};
    const RECT c = Check();
    Screen().Click(At(box, (c.left + c.right) / 2, (c.top + c.bottom) / 2));
    Pump();
    EXPECT_EQ(box->State(), cbsChecked);
    EXPECT_EQ(executed, 1) << "the box's click runs the action when OnClick is unset";
    box->SetAction(nullptr);
    EXPECT_EQ(box->ActionLink(), nullptr);
}

// ---- as a user sees it -------------------------------------------------------------------------

TEST_F(CheckBoxTest, UltraFlatShowsItsFrameAndTheMarkInButtonText)
{
    UltraFlat();
    const RECT c = Check();
    EXPECT_EQ(c.right - c.left, cxEditCheckClassicSize().cx);
    EXPECT_EQ(Pixel(box, c.left + 1, c.top + 1), Rgb(clBtnShadow)) << "the 1-pixel frame";
    EXPECT_EQ(Pixel(box, c.left + 1, (c.top + c.bottom) / 2), Rgb(clBtnShadow));
    EXPECT_EQ(CountInner(clBtnText), 0) << "unchecked: no mark";
    EXPECT_GT(CountInner(clWindow), 0);
    box->SetChecked(true);
    Pump();
    EXPECT_GT(CountInner(clBtnText), 4) << "the mark";
    EXPECT_GT(CountInner(clWindow), 0) << "around the mark";
}

TEST_F(CheckBoxTest, UltraFlatShowsThePressedFillWhileSpaceIsHeld)
{
    UltraFlat();
    box->SetFocus();
    Pump();
    const TColor pressed = GetEditButtonHighlightColor(true, false);
    EXPECT_EQ(CountInner(pressed), 0);
    Screen().KeyDown(VK_SPACE);
    Pump();
    EXPECT_GT(CountInner(pressed), 20);
    Screen().KeyUp(VK_SPACE);
    Pump();
    EXPECT_EQ(CountInner(pressed), 0);
    EXPECT_GT(CountInner(clBtnText), 4) << "checked after the release";
}

TEST_F(CheckBoxTest, ADisabledCaptionIsEmbossed)
{
    UltraFlat();
    box->Style()->SetTextColor(clWindowText);
    box->Style()->RestoreDefaults();
    EXPECT_GT(CountText(clWindowText), 10) << "enabled: the caption in the text colour";
    box->SetEnabled(false);
    Pump();
    EXPECT_EQ(CountText(clWindowText), 0);
    EXPECT_GT(CountText(clBtnHighlight), 10) << "the light copy one pixel down and right";
    EXPECT_GT(CountText(clBtnShadow), 10);
}

TEST_F(CheckBoxTest, LayoutRules)
{
    box->SetAutoSize(false);
    box->SetWidth(8);
    Pump();
    const auto* vi = box->GetViewInfo();
    EXPECT_EQ(vi->TextRect.right, vi->TextRect.left) << "narrower than the check: no caption";
    EXPECT_EQ(vi->CheckBoxRect.left, vi->ClientRect.left + 2);

    box->SetWidth(121);
    box->Style()->SetBorderStyle(ebsSingle);
    box->Style()->SetHotTrack(true);
    box->Style()->LookAndFeel()->SetNativeStyle(false);
    Pump();
    EXPECT_EQ(box->GetViewInfo()->CheckBorderStyle, ebsSingle);
    box->SetFocus();
    Pump();
    EXPECT_EQ(box->GetViewInfo()->CheckBorderStyle, ebsThick) << "2 pixels while it has the focus";
    const RECT c = Check();
    EXPECT_EQ(Pixel(box, c.left, c.top), Pixel(box, c.left + 1, c.top + 1)) << "both frame pixels";
    EXPECT_NE(Pixel(box, c.left, c.top), Rgb(box->Style()->Color()));
}
