// The spin editor: stepping with and without a range, the parser of typed
// text, keys and the clipboard, the mouse-held repeat, the button layout
// per position, and the buttons as a user sees them.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/data/cxVariants.h"
#include "components/editor-catalogue/cxSpinEdit.h"
#include "components/editors/cxEditConsts.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/clipboard.h"
#include "tests/components/editors/fixed_locale.h"

using namespace hostlib;
using quelvo::gfx::test::Distinct;

namespace {

struct SpinEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxTextEditInitialize();
        cxMaskEditInitialize();
        cxSpinEditInitialize();
    }
    void TearDown() override
    {
        EditorFormTest::TearDown();
        cxSpinEditFinalize();
        cxMaskEditFinalize();
        cxTextEditFinalize();
    }
    TcxSpinEdit* NewEdit(int width = 120)
    {
        ++count;
        auto* edit = Add<TcxSpinEdit>(form, "Spin" + std::to_string(count), 10, 10 + 40 * count, width, 24);
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        Pump();
        return edit;
    }
    void Focus(TWinControl* c)
    {
        c->SetFocus();
        Pump();
    }
    RECT ButtonRect(TcxCustomEdit* edit, int index) { return edit->ViewInfo()->ButtonsInfo[index]->Bounds; }
    POINT ButtonCentre(TcxCustomEdit* edit, int index)
    {
        const RECT r = ButtonRect(edit, index);
        return edit->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }

    std::vector<int> Rows(TcxCustomEdit* edit, const RECT& r, std::uint32_t rgb);

    hostlib::ScopedFormatSettings locale{FixedEnglishLocale()};
    int count = 0;
};

struct StepCase {
    const char* name;
    double min, max, increment;
    bool circular;
    TcxSpinEditValueType type;
    double from;
    TcxSpinEditButton button;
    double expected;
    bool changed;
};

TEST_F(SpinEditTest, StepsFollowTheRangeAndItsBoundsCheckingKind)
{
    const StepCase cases[] = {
        {"no range forward", 0, 0, 1, false, vtInt, 5, sebForward, 6, true},
        {"no range fast", 0, 0, 1, false, vtInt, 5, sebFastForward, 15, true},
        {"no range below zero", 0, 0, 1, false, vtInt, -1, sebBackward, -2, true},
        {"integer half step rounds to nothing", 0, 0, 0.5, false, vtInt, 5, sebForward, 5, false},
        {"integer step 1.5 rounds to 2", 0, 0, 1.5, false, vtInt, 0, sebForward, 2, true},
        {"circular past the top", 0, 10, 1, true, vtInt, 10, sebForward, 0, true},
        {"extend at the top", 0, 10, 1, false, vtInt, 10, sebForward, 10, false},
        {"circular past the bottom", 0, 10, 1, true, vtInt, 0, sebBackward, 10, true},
        {"above the range backward", 0, 10, 1, false, vtInt, 15, sebBackward, 10, true},
        {"above the range forward refused", 0, 10, 1, false, vtInt, 15, sebForward, 15, false},
        {"above the range forward circular", 0, 10, 1, true, vtInt, 15, sebForward, 0, true},
        {"below the range forward", 0, 10, 1, false, vtInt, -3, sebForward, 0, true},
        {"below the range backward circular", 0, 10, 1, true, vtInt, -3, sebBackward, 10, true},
        {"float circular", 0, 1, 0.25, true, vtFloat, 1, sebForward, 0, true},
        // One period is not always enough: the remainder keeps the value inside.
        {"fast step wraps by the remainder", 0, 2, 1, true, vtInt, 0, sebFastForward, 1, true},
        {"wrap landing above the top starts over", 0, 10, 2, true, vtInt, 9, sebForward, 0, true},
        {"fine float range forward", 0, 1, 0.3, true, vtFloat, 0.9, sebForward, 0, true},
        {"fine float range backward", 0, 1, 0.3, true, vtFloat, 0.1, sebBackward, 1, true},
    };
    TcxSpinEdit* edit = NewEdit();
    Focus(edit);
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto* p = edit->Properties();
        p->SetValueType(c.type);
        p->SetMinMaxValues(c.min, c.max);
        p->SetIncrement(c.increment);
        p->SetCircular(c.circular);
        edit->SetValue(Variant(c.from));
        EXPECT_EQ(edit->Increment(c.button), c.changed);
        EXPECT_NEAR(edit->Value().AsDouble(), c.expected, 1e-9);
        EXPECT_EQ(edit->Value().VarType(), c.type == vtInt ? varInt64 : varDouble);
    }
}

TEST_F(SpinEditTest, TheValueTypeComesFromTheProviderUntilAssigned)
{
    TcxSpinEdit* edit = NewEdit();
    auto* p = edit->Properties();
    EXPECT_EQ(p->ValueType(), vtInt) << "the neutral provider answers integers";
    EXPECT_FALSE(p->IsValueTypeStored());
    ObjectPtr<TcxSpinEditProperties> loose = MakeObject<TcxSpinEditProperties>(nullptr);
    EXPECT_EQ(loose->ValueType(), vtFloat) << "no provider at all";
    p->SetValueType(vtFloat);
    EXPECT_TRUE(p->IsValueTypeStored());
    loose->Assign(p);
    EXPECT_EQ(loose->ValueType(), vtFloat);
    EXPECT_TRUE(loose->AssignedValues()->ValueType());
    p->AssignedValues()->RestoreDefaults();
    EXPECT_EQ(p->ValueType(), vtInt);
}

struct ParseCase {
    const char* text;
    TcxSpinEditValueType type;
    bool exceptionOnInvalidInput;
    bool ok;
    const char* errorText;
    Variant value;
};

TEST_F(SpinEditTest, TypedTextIsParsedIntoTheValueTypeOrFallsBackToTheLastGoodNumber)
{
    const ParseCase cases[] = {
        {"1e3", vtInt, false, true, "", Variant(1000LL)},
        {" 42 ", vtInt, false, true, "", Variant(42LL)},
        {"2.5", vtInt, false, true, "", Variant(2LL)},
        {"2.5", vtFloat, false, true, "", Variant(2.5)},
        {"12.", vtFloat, false, true, "", Variant(12.0)},
        {"abc", vtInt, false, false, "", Variant(7LL)},
        {"1e400", vtFloat, false, false, "", Variant(7.0)},
        {"1e19", vtInt, false, false, "", Variant(7LL)},
        {"", vtInt, false, true, "", Variant::Null()},
    };
    TcxSpinEdit* edit = NewEdit();
    edit->SetValue(Variant(7));
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        edit->Properties()->SetValueType(c.type);
        edit->Properties()->SetExceptionOnInvalidInput(c.exceptionOnInvalidInput);
        edit->SetValue(Variant(7));
        Variant value;
        std::string error = "stale";
        EXPECT_EQ(edit->InternalPrepareEditValue(c.text, true, value, error), c.ok);
        EXPECT_EQ(error, c.errorText);
        EXPECT_TRUE(VarEquals(value, c.value)) << VarToStr(value);
        EXPECT_EQ(value.VarType(), c.value.VarType());
    }
}

TEST_F(SpinEditTest, InvalidInputRaisesOnlyWhenAskedAndTheHandlerMayConvert)
{
    TcxSpinEdit* edit = NewEdit();
    auto* p = edit->Properties();
    p->SetExceptionOnInvalidInput(true);
    struct Case {
        const char* text;
        const char* message;
    };
    for (const Case& c : {Case{"abc", "Invalid numeric value"}, Case{"1e400", "Value out of bounds"}}) {
        Variant value;
        std::string error;
        try {
            edit->InternalPrepareEditValue(c.text, true, value, error);
            ADD_FAILURE() << c.text << " raised nothing";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        // Without raising the text is reported instead.
        EXPECT_FALSE(edit->InternalPrepareEditValue(c.text, false, value, error));
        EXPECT_EQ(error, c.message);
    }

    p->OnGetValue = TcxSpinEditGetValueEvent::FromFunction(
        [](TObject*, const std::string& text, Variant& value, std::string& errorText, bool& error) {
            if (text == "ten")
                value = Variant(10);
            else if (text == "boom")
                throw Exception("handler failed");
            else {
                error = true;
                errorText = "not a word I know";
            }
        });
    Variant value;
    std::string error;
    EXPECT_TRUE(edit->InternalPrepareEditValue("ten", true, value, error));
    EXPECT_EQ(value.AsInt64(), 10);
    EXPECT_FALSE(edit->InternalPrepareEditValue("eleven", false, value, error));
    EXPECT_EQ(error, "not a word I know");
    EXPECT_FALSE(edit->InternalPrepareEditValue("boom", false, value, error));
    EXPECT_EQ(error, "handler failed");
    EXPECT_THROW(edit->InternalPrepareEditValue("boom", true, value, error), Exception);
}

class RequiringProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static TClass StaticClass()
    {
        return DefineClass<RequiringProvider, TcxCustomEditDefaultValuesProvider>("TestRequiringProvider");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool DefaultRequired() override { return true; }
};

TEST_F(SpinEditTest, EmptyTextIsNullUnlessAValueIsRequired)
{
    TcxSpinEdit* edit = NewEdit();
    edit->Properties()->SetMinMaxValues(5, 10);
    Variant value;
    std::string error;
    EXPECT_TRUE(edit->InternalPrepareEditValue("  ", true, value, error));
    EXPECT_TRUE(value.IsNull());
    ObjectPtr<RequiringProvider> provider = MakeObject<RequiringProvider>(nullptr);
    edit->Properties()->SetIDefaultValuesProvider(provider.get());
    EXPECT_TRUE(edit->InternalPrepareEditValue("", true, value, error));
    EXPECT_EQ(value.AsDouble(), 5) << "0 clamped into the range";
    edit->Properties()->SetIDefaultValuesProvider(nullptr);
}

TEST_F(SpinEditTest, KeysStepTypeAndRespectCtrlIncrementAndCanEdit)
{
    TcxSpinEdit* edit = NewEdit();
    edit->SetValue(Variant(5));
    Focus(edit);
    Key(VK_UP);
    EXPECT_EQ(edit->Text(), "6");
    Key(VK_PRIOR);
    EXPECT_EQ(edit->Text(), "16");
    Key(VK_NEXT);
    Key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "5");

    edit->Properties()->SetUseCtrlIncrement(true);
    Key(VK_UP);
    EXPECT_EQ(edit->Text(), "5") << "Up without Ctrl only moves the caret";
    KeyWith(VK_CONTROL, VK_UP);
    EXPECT_EQ(edit->Text(), "6");
    edit->Properties()->SetUseCtrlIncrement(false);

    // Digits, the exponent and signs type; letters beep.
    edit->SelectAll();
    unsigned beeps = Screen().BeepCount();
    Screen().TypeText("1x2");
    Pump();
    EXPECT_EQ(edit->Text(), "12");
    EXPECT_EQ(Screen().BeepCount() - beeps, 1u);
    EXPECT_EQ(edit->Value().AsInt64(), 12) << "the typed text is newer than the stepped value";
    Key(VK_UP);
    EXPECT_EQ(edit->Text(), "13");

    // Without CanEdit only stepping changes the value.
    edit->Properties()->SetCanEdit(false);
    Clipboard()->SetAsText("99");
    beeps = Screen().BeepCount();
    Screen().TypeText("4");
    Key(VK_BACK);
    Pump();
    EXPECT_EQ(edit->Text(), "13");
    EXPECT_EQ(Screen().BeepCount() - beeps, 2u);
    KeyWith(VK_CONTROL, 'V');
    KeyWith(VK_CONTROL, 'X');
    EXPECT_EQ(edit->Text(), "13") << "neither paste nor cut through the keyboard";
    Key(VK_DOWN);
    EXPECT_EQ(edit->Text(), "12");
    Screen().Click(ButtonCentre(edit, sebForward));
    Pump();
    EXPECT_EQ(edit->Text(), "13") << "the buttons still step";
}

TEST_F(SpinEditTest, TheSeparatorKeysTypeTheLocalesDecimalSeparator)
{
    TcxSpinEdit* edit = NewEdit();
    edit->Properties()->SetValueType(vtFloat);
    Focus(edit);
    edit->SelectAll();
    Screen().TypeText("1,5");
    Pump();
    EXPECT_EQ(edit->Text(), "1.5");
    EXPECT_DOUBLE_EQ(edit->Value().AsDouble(), 1.5);

    // An integer editor has no use for it.
    edit->Properties()->SetValueType(vtInt);
    edit->SelectAll();
    const unsigned beeps = Screen().BeepCount();
    Screen().TypeText("2.");
    Pump();
    EXPECT_EQ(edit->Text(), "2");
    EXPECT_EQ(Screen().BeepCount() - beeps, 1u);
}

TEST_F(SpinEditTest, AHeldButtonStepsAtOnceAfter400AndThenEvery100Milliseconds)
{
    TcxSpinEdit* edit = NewEdit();
    Focus(edit);
    const POINT up = ButtonCentre(edit, sebForward);
    Screen().ButtonDown(up);
    Pump();
    EXPECT_EQ(edit->Value().AsInt64(), 1);
    Advance(399);
    EXPECT_EQ(edit->Value().AsInt64(), 1);
    Advance(1);
    EXPECT_EQ(edit->Value().AsInt64(), 2);
    Advance(100);
    EXPECT_EQ(edit->Value().AsInt64(), 3);
    Advance(100);
    Advance(100);
    EXPECT_EQ(edit->Value().AsInt64(), 5);
    Screen().ButtonUp(up);
    Pump();
    Advance(500);
    EXPECT_EQ(edit->Value().AsInt64(), 5) << "released: the repeat stops";

    // While a key holds a button, the mouse presses none.
    Screen().KeyDown(VK_UP);
    Pump();
    EXPECT_EQ(edit->Value().AsInt64(), 6);
    EXPECT_EQ(edit->PressedState(), epsUp);
    Screen().Click(ButtonCentre(edit, sebBackward));
    Pump();
    EXPECT_EQ(edit->Value().AsInt64(), 6);
    Screen().KeyUp(VK_UP);
    Pump();
    EXPECT_EQ(edit->PressedState(), epsNone);
    Screen().Click(ButtonCentre(edit, sebBackward));
    Pump();
    EXPECT_EQ(edit->Value().AsInt64(), 5);
}

TEST_F(SpinEditTest, TheWheelStepsAStandAloneEditor)
{
    TcxSpinEdit* edit = NewEdit();
    edit->SetValue(Variant(3));
    Focus(edit);
    Screen().Wheel(edit->ClientToScreen(POINT{10, 10}), 120);
    Pump();
    EXPECT_EQ(edit->Value().AsInt64(), 4);
    Screen().Wheel(edit->ClientToScreen(POINT{10, 10}), -240);
    Pump();
    EXPECT_EQ(edit->Value().AsInt64(), 3);
}

TEST_F(SpinEditTest, FastButtonsComeAndGoWithTheirSetting)
{
    TcxSpinEdit* edit = NewEdit();
    auto* p = edit->Properties();
    EXPECT_EQ(p->Buttons()->Count(), 2);
    p->SpinButtons()->SetShowFastButtons(true);
    EXPECT_EQ(p->Buttons()->Count(), 4);
    p->SpinButtons()->SetShowFastButtons(false);
    EXPECT_EQ(p->Buttons()->Count(), 2);
    p->SpinButtons()->SetShowFastButtons(true);
    ObjectPtr<TcxSpinEditProperties> copy = MakeObject<TcxSpinEditProperties>(nullptr);
    copy->Assign(p);
    EXPECT_EQ(copy->Buttons()->Count(), 4);
    EXPECT_TRUE(copy->SpinButtons()->ShowFastButtons());
}

// Left edges of the buttons in the order a user sees them, left to right.
TEST_F(SpinEditTest, ButtonsAreOrderedByTheirPosition)
{
    struct Case {
        TcxSpinEditButtonsPosition position;
        bool fast;
        std::vector<int> leftToRight;  // button indexes; -1 is the text
    };
    const Case cases[] = {
        {sbpHorzLeftRight, true, {sebFastBackward, sebBackward, -1, sebForward, sebFastForward}},
        {sbpHorzLeftRight, false, {sebBackward, -1, sebForward}},
        {sbpHorzRight, true, {-1, sebFastBackward, sebBackward, sebForward, sebFastForward}},
        {sbpVert, true, {-1, sebFastBackward, sebForward, sebFastForward}},
    };
    TcxSpinEdit* edit = NewEdit(200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        edit->Properties()->SpinButtons()->SetPosition(c.position);
        edit->Properties()->SpinButtons()->SetShowFastButtons(c.fast);
        Pump();
        int previousRight = -1;
        for (int index : c.leftToRight) {
            const RECT r = index < 0 ? edit->ViewInfo()->ClientRect : ButtonRect(edit, index);
            EXPECT_GT(r.right, r.left) << index;
            EXPECT_GE(r.left, previousRight) << index;
            previousRight = r.right;
        }
    }
    // Stacked: up over down in one column, the text to their left.
    edit->Properties()->SpinButtons()->SetShowFastButtons(false);
    Pump();
    const RECT up = ButtonRect(edit, sebForward), down = ButtonRect(edit, sebBackward);
    EXPECT_EQ(up.left, down.left);
    EXPECT_EQ(up.bottom, down.top);
    EXPECT_LE(edit->ViewInfo()->ClientRect.right, up.left);
}

// The widths of the runs of a colour, row by row, inside a button: an
// arrow shows as rows widening from its tip.
std::vector<int> SpinEditTest::Rows(TcxCustomEdit* edit, const RECT& r, std::uint32_t rgb)
{
    std::vector<int> rows;
    for (int y = r.top; y < r.bottom; ++y) {
        int n = 0;
        for (int x = r.left; x < r.right; ++x)
            n += Screen().ClientPixel(edit->Handle(), x, y) == rgb;
        if (n > 0)
            rows.push_back(n);
    }
    return rows;
}

TEST_F(SpinEditTest, ArrowsAndThePressedFillShowWhereTheLayoutPutsThem)
{
    TcxSpinEdit* edit = NewEdit();
    edit->Style()->SetButtonStyle(btsHotFlat);
    Focus(edit);
    const auto* info = static_cast<TcxSpinEditViewInfo*>(edit->ViewInfo());
    const int n = info->ArrowSize;
    ASSERT_GT(n, 1);
    std::vector<int> widening;
    for (int i = 0; i < n; ++i)
        widening.push_back(2 * i + 1);
    const std::vector<int> narrowing(widening.rbegin(), widening.rend());
    const std::uint32_t text = Rgb(Distinct(COLOR_BTNTEXT)), face = Rgb(Distinct(COLOR_BTNFACE));
    const std::uint32_t light = Rgb(Distinct(COLOR_BTNHIGHLIGHT)), shadow = Rgb(Distinct(COLOR_BTNSHADOW));
    const RECT up = ButtonRect(edit, sebForward), down = ButtonRect(edit, sebBackward);
    EXPECT_EQ(Rows(edit, up, text), widening) << "the up arrow in the upper button";
    EXPECT_EQ(Rows(edit, down, text), narrowing) << "the down arrow in the lower button";
    EXPECT_EQ(Screen().ClientPixel(edit->Handle(), up.left + 2, up.top + 2), face);
    EXPECT_EQ(Screen().ClientPixel(edit->Handle(), up.right - 1, up.top + 3), shadow) << "the frame";

    const POINT held = edit->ClientToScreen(POINT{(up.left + up.right) / 2, (up.top + up.bottom) / 2});
    Screen().ButtonDown(held);
    Pump();
    EXPECT_EQ(Screen().ClientPixel(edit->Handle(), up.left + 2, up.top + 2), text) << "pressed: filled dark";
    EXPECT_EQ(Rows(edit, up, light), widening) << "with a light arrow";
    EXPECT_EQ(Rows(edit, down, text), narrowing) << "the other button stays as it was";
    Screen().ButtonUp(held);
    Pump();
    EXPECT_EQ(Screen().ClientPixel(edit->Handle(), up.left + 2, up.top + 2), shadow) << "hot under the pointer";
    EXPECT_EQ(Rows(edit, up, light), widening);
}

TEST_F(SpinEditTest, TheEditorIsRegisteredAndStreamsItsSettings)
{
    TcxRegisteredClasses* registered = GetRegisteredEditProperties();
    const TClass cls = registered->FindByClassName("TcxSpinEditProperties");
    ASSERT_EQ(cls, TcxSpinEditProperties::StaticClass());
    EXPECT_EQ(registered->GetDescriptionByClass(cls), "SpinEdit");
    TcxSpinEdit* edit = NewEdit();
    auto* p = edit->Properties();
    EXPECT_FALSE(p->IsIncrementStored());
    p->SetIncrement(2.5);
    EXPECT_TRUE(p->IsIncrementStored());
    EXPECT_FALSE(p->IsLargeIncrementStored());
    EXPECT_FALSE(edit->IsValueStored());
    edit->SetValue(Variant(3));
    EXPECT_TRUE(edit->IsValueStored());
}

}  // namespace
