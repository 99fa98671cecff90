// The editor control as a user and a list control drive it: validation
// and posting, the clear, click, Enter, Escape and navigation keys, edit
// buttons under the mouse, in-place activation through a stand-in for the
// list's editing controller, and the delayed validation error.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditViewData.h"
#include "tests/components/control_units.h"
#include "platform/controls/winctl.h"
#include "platform/hostlib/core/exceptions.h"

using namespace hostlib;
using namespace visualtest;

namespace {

// A kind that keeps its text itself: typed characters append to it as a
// user change, the value follows the text on validation and Escape brings
// back the value at entry.
class KeyEdit : public TcxCustomEdit {
public:
    static TClass StaticClass() { return DefineClass<KeyEdit, TcxCustomEdit>("TKeyEdit"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override;

    std::string text;
    std::vector<std::string> events;
    int selectAlls = 0;

    std::string GetDisplayValue() override { return text; }
    void SetInternalDisplayValue(const Variant& value) override { text = VarToStr(value); }
    void SynchronizeDisplayValue() override { text = GetEditValue().IsNull() ? "" : VarToStr(GetEditValue()); }
    void SelectAll() override { ++selectAlls; }
    using TcxCustomEdit::ValueAtEntry;

protected:
    void InternalSetDisplayValue(const Variant& value) override { InternalSetEditValue(value, true); }
    bool CanKeyPressModifyEdit(char) override { return true; }
    void DoEditKeyPress(char& key) override
    {
        TcxCustomEdit::DoEditKeyPress(key);
        if (static_cast<unsigned char>(key) < 32)
            return;
        events.push_back(std::string("char ") + key);
        text += key;
        ChangeHandler(this);
    }
    void DoButtonDown(int index) override { events.push_back("button down " + std::to_string(index)); }
    void DoButtonUp(int index) override { events.push_back("button up " + std::to_string(index)); }
    void DoButtonClick(int index) override
    {
        events.push_back("button click " + std::to_string(index));
        TcxCustomEdit::DoButtonClick(index);
    }
    void DblClick() override
    {
        events.push_back("dblclick");
        TcxCustomEdit::DblClick();
    }
    void DoExit() override
    {
        TcxCustomEdit::DoExit();
        events.push_back("exit done");
    }
};

class KeyEditProperties : public TcxCustomEditProperties {
public:
    static TClass StaticClass() { return DefineClass<KeyEditProperties, TcxCustomEditProperties>("TKeyEditProperties"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetContainerClass() override { return KeyEdit::StaticClass(); }
    bool CompareEditValue() override { return true; }
    bool CanValidate() override { return true; }
    bool IsResetEditClass() override { return true; }
};

TClass KeyEdit::GetPropertiesClass() const { return KeyEditProperties::StaticClass(); }

// Plays the list control's editing controller: takes the editor from the
// in-place list, places it on the form, hears its keys and posts, and
// activates it.
struct EditingController {
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    ObjectPtr<KeyEditProperties> column = MakeObject<KeyEditProperties>(nullptr);
    KeyEdit* edit = nullptr;
    TcxCustomEditData* data = nullptr;
    std::vector<WORD> afterKeys;
    std::vector<Variant> posted;

    KeyEdit* InitEdit(TWinControl* parent, const RECT& cell)
    {
        edit = static_cast<KeyEdit*>(list->GetEdit(column.get()));
        edit->SetParent(parent);
        edit->SetBoundsRect(cell);
        edit->OnAfterKeyDown = TcxEditKeyEvent::FromFunction([this](TObject*, WORD& key, TShiftState) {
            afterKeys.push_back(key);
        });
        edit->OnPostEditValue = TNotifyEvent::FromFunction([this](TObject*) { posted.push_back(edit->EditValue()); });
        return edit;
    }
    ~EditingController() { delete data; }
};

struct EditKeysTest : VisualTest {
    void SetUp() override
    {
        VisualTest::SetUp();
        RegisterClass(KeyEdit::StaticClass());
        RegisterClass(KeyEditProperties::StaticClass());
        form = NewForm(320, 200);
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        form->Free();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        componenttest::EndControlUnits();
        VisualTest::TearDown();
    }
    // A stand-alone editor on the form, focused, holding value.
    KeyEdit* NewEdit(const char* value = "start")
    {
        ++count;
        auto* edit = Add<KeyEdit>(form, "Edit" + std::to_string(count), 10, 10 + 30 * count, 150, 24);
        auto* other = Add<TTraceControl>(form, "Other" + std::to_string(count), 200, 10 + 30 * count, 60, 24);
        (void)other;
        edit->SetAutoSize(false);  // this kind measures no content
        edit->SetBounds(10, 10 + 30 * count, 150, 24);
        edit->SetEditValue(Variant(std::string(value)));
        edit->SetFocus();
        Pump();
        return edit;
    }
    void AddButton(TcxCustomEdit* edit, bool isDefault)
    {
        auto* button = static_cast<TcxEditButton*>(edit->Properties()->Buttons()->Add());
        button->SetKind(bkEllipsis);
        button->SetDefault(isDefault);
        edit->ShortRefreshContainer(false);
        Pump();
    }
    POINT ButtonCentre(TcxCustomEdit* edit, int index = 0)
    {
        const RECT& r = edit->ViewInfo()->ButtonsInfo[static_cast<size_t>(index)]->Bounds;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void Type(const std::string& text)
    {
        Screen().TypeText(text);
        Pump();
    }

    TForm* form = nullptr;
    int count = 0;
};

TEST_F(EditKeysTest, ValidateEditRaisesTheHandlersTextFocusesAndSelects)
{
    struct Case {
        const char* handlerText;
        const char* expected;
    } cases[] = {{"Too short", "Too short"}, {nullptr, "Invalid input value. Use escape key to abandon changes"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        KeyEdit* edit = NewEdit();
        int validations = 0;
        edit->Properties()->OnValidate =
            TcxEditValidateEvent::FromFunction([&](TObject*, Variant&, std::string& text, bool& error) {
                ++validations;
                error = true;
                if (c.handlerText)
                    text = c.handlerText;
            });
        Type("x");
        EXPECT_EQ(edit->text, "startx");
        EXPECT_TRUE(edit->ModifiedAfterEnter());
        static_cast<TWinControl*>(form->FindComponent("Other" + std::to_string(count)))->SetFocus();
        boxes.clear();
        Pump();
        edit->SetFocus();
        Pump();
        EXPECT_FALSE(edit->ValidateEdit(false)) << "without raising it only answers";
        static_cast<TWinControl*>(form->FindComponent("Other" + std::to_string(count)))->SetFocus();
        Pump();
        boxes.clear();
        const int selected = edit->selectAlls;
        try {
            edit->SetModifiedAfterEnter(true);
            edit->ValidateEdit(true);
            FAIL() << "no exception";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.expected);
        }
        EXPECT_TRUE(edit->Focused()) << "the focus comes back to the editor";
        EXPECT_GT(edit->selectAlls, selected) << "its text is selected";
        edit->DisableValidate();
        const int before = validations;
        EXPECT_TRUE(edit->ValidateEdit(true));
        EXPECT_EQ(validations, before) << "no handler while validation is disabled";
        edit->EnableValidate();
        edit->Properties()->OnValidate = {};
    }
}

TEST_F(EditKeysTest, LeavingWithInvalidTextRaisesAndDoesNotExit)
{
    KeyEdit* edit = NewEdit();
    int exits = 0;
    edit->OnExit = TNotifyEvent::FromFunction([&](TObject*) { ++exits; });
    edit->Properties()->OnValidate = TcxEditValidateEvent::FromFunction(
        [&](TObject*, Variant& value, std::string& text, bool& error) {
            error = VarToStr(value).size() > 6;
            text = "Too long";
        });
    Type("ab");
    Key(VK_TAB);
    Pump();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Too long.");
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(edit->Focused());

    edit->text = "ok";
    boxes.clear();
    Key(VK_TAB);
    Pump();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(VarToStr(edit->EditValue()), "ok") << "the valid text became the value";
}

TEST_F(EditKeysTest, ClearKeyEmptiesTheValueUnlessReadOnly)
{
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "editable");
        KeyEdit* edit = NewEdit();
        edit->Properties()->SetClearKey(VK_DELETE);
        edit->Properties()->SetReadOnly(readOnly);
        Key(VK_DELETE);
        EXPECT_EQ(edit->EditValue().IsNull(), !readOnly);
        EXPECT_EQ(edit->ModifiedAfterEnter(), !readOnly);
        EXPECT_EQ(edit->text, readOnly ? "start" : "");
    }
}

TEST_F(EditKeysTest, CtrlEnterClicksTheDefaultButtonOnceWithoutACharacterOrBeep)
{
    KeyEdit* edit = NewEdit();
    AddButton(edit, false);
    AddButton(edit, true);
    int clicks = 0, clicked = -1;
    edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction([&](TObject*, int index) {
        ++clicks;
        clicked = index;
    });
    const unsigned beeps = Screen().BeepCount();
    edit->events.clear();
    KeyWith(VK_CONTROL, VK_RETURN);
    Pump();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clicked, 1) << "the default button";
    EXPECT_EQ(edit->events, std::vector<std::string>{"button click 1"}) << "no character followed";
    EXPECT_EQ(Screen().BeepCount(), beeps);
}

TEST_F(EditKeysTest, EscapeRestoresTheValueAtEntryAndSwallowsItsCharacter)
{
    KeyEdit* edit = NewEdit();
    std::vector<char> formKeys;
    edit->OnKeyPress = TKeyPressEvent::FromFunction([&](TObject*, char& key) { formKeys.push_back(key); });
    Type("zz");
    ASSERT_EQ(edit->text, "startzz");
    formKeys.clear();
    Key(VK_ESCAPE);
    Pump();
    EXPECT_EQ(VarToStr(edit->EditValue()), "start");
    EXPECT_EQ(edit->text, "start");
    EXPECT_FALSE(edit->ModifiedAfterEnter());
    EXPECT_TRUE(formKeys.empty()) << "the Escape character went nowhere";

    Key(VK_ESCAPE);  // nothing changed: it passes
    Pump();
    EXPECT_EQ(formKeys, std::vector<char>{'\x1B'});
}

TEST_F(EditKeysTest, EnterWithValidateOnEnterValidatesAndPostsInPlace)
{
    EditingController controller;
    controller.column->SetValidateOnEnter(true);
    KeyEdit* edit = controller.InitEdit(form, RECT{10, 120, 160, 144});
    edit->SetEditValue(Variant(std::string("cell")));
    controller.edit->ActivateByKey('!', controller.data);
    Pump();
    EXPECT_EQ(edit->text, "cell!") << "the activating key is typed";
    int validations = 0;
    edit->Properties()->OnValidate =
        TcxEditValidateEvent::FromFunction([&](TObject*, Variant&, std::string&, bool&) { ++validations; });
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(validations, 1);
    ASSERT_EQ(controller.posted.size(), 1u);
    EXPECT_EQ(VarToStr(controller.posted[0]), "cell!");
    EXPECT_FALSE(edit->Modified());
}

TEST_F(EditKeysTest, InPlaceNavigationKeysReachTheController)
{
    EditingController controller;
    KeyEdit* edit = controller.InitEdit(form, RECT{10, 120, 160, 144});
    controller.edit->Activate(controller.data);
    Pump();
    for (int vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_NEXT, VK_HOME})
        Key(vk);
    Key('A');
    Pump();
    EXPECT_EQ(controller.afterKeys, (std::vector<WORD>{VK_LEFT, VK_RIGHT, VK_UP, VK_NEXT, VK_HOME}));
    EXPECT_EQ(edit->text, "a") << "other keys stay with the editor";
}

TEST_F(EditKeysTest, AButtonReleasedOutsideIsDownAndUpWithoutAClick)
{
    KeyEdit* edit = NewEdit();
    AddButton(edit, false);
    int clicks = 0;
    edit->Properties()->OnButtonClick = TcxEditButtonClickEvent::FromFunction([&](TObject*, int) { ++clicks; });
    edit->events.clear();
    ASSERT_EQ(edit->ViewInfo()->ButtonCount(), 1);
    const RECT& b = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
    ASSERT_EQ(edit->ButtonVisibleIndexAt(ButtonCentre(edit)), 0) << b.left << "," << b.top << "," << b.right << "," << b.bottom;
    auto look = [&] {
        const RECT& r = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
        std::vector<std::uint32_t> pixels;
        for (int x = r.left; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                pixels.push_back(Screen().ClientPixel(edit->Handle(), x, y));
        return pixels;
    };
    const auto released = look();
    Screen().ButtonDown(edit->ClientToScreen(ButtonCentre(edit)));
    Pump();
    EXPECT_NE(look(), released) << "the held button looks pressed";
    Screen().MoveMouse(edit->ClientToScreen(POINT{5, 5}));
    Pump();
    Screen().ButtonUp(edit->ClientToScreen(POINT{5, 5}));
    Pump();
    EXPECT_EQ(edit->events, (std::vector<std::string>{"button down 0", "button up 0"}));
    EXPECT_EQ(clicks, 0);

    Advance(1000);  // not a double click
    edit->events.clear();
    Screen().Click(edit->ClientToScreen(ButtonCentre(edit)));
    Pump();
    EXPECT_EQ(edit->events, (std::vector<std::string>{"button down 0", "button up 0", "button click 0"}));
    EXPECT_EQ(clicks, 1);
}

TEST_F(EditKeysTest, AClickSoonAfterMouseActivationIsADoubleClick)
{
    struct Case {
        const char* name;
        unsigned waited;
        bool onButton;
        bool doubled;
    } cases[] = {{"soon, on the text", 100, false, true},
                 {"late", 2000, false, false},
                 {"soon, on a button", 100, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditingController controller;
        KeyEdit* edit = controller.InitEdit(form, RECT{10, 120, 160, 144});
        AddButton(edit, false);
        edit->ActivateByMouse(TShiftState{ssLeft}, 20, 125, controller.data);
        Pump();
        Screen().ButtonUp(edit->ClientToScreen(POINT{10, 5}));
        Pump();
        Advance(c.waited);
        edit->events.clear();
        POINT at = c.onButton ? ButtonCentre(edit) : POINT{10, 5};
        Screen().Click(edit->ClientToScreen(at));
        Pump();
        const bool doubled = std::find(edit->events.begin(), edit->events.end(), "dblclick") != edit->events.end();
        EXPECT_EQ(doubled, c.doubled);
        controller.list->RemoveItem(controller.column.get());
    }
}

TEST_F(EditKeysTest, OnlyValidationErrorsTheEditorPostedAreRaised)
{
    KeyEdit* edit = NewEdit();
    PostMessageA(edit->Handle(), CM_EDITVALIDATIONERROR, 12345, 0);
    PostMessageA(edit->Handle(), CM_EDITVALIDATIONERROR, 0, 0);
    Pump();
    EXPECT_TRUE(boxes.empty()) << "unknown numbers change nothing";
    edit->PostValidationError("Later");
    Pump();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Later.");
    boxes.clear();
    PostMessageA(edit->Handle(), CM_EDITVALIDATIONERROR, 1, 0);
    Pump();
    EXPECT_TRUE(boxes.empty()) << "a number is used once";
    edit->PostValidationError("never shown");
    edit->Free();  // the waiting text goes with the editor
    Pump();
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
