// The drop-down editor on the headless display: the keys, button and
// typing that open and close its popup, where the popup opens, what closing
// accepts and posts, focus loss, and the size a user gives the popup, kept
// per cell in place and in the properties stand-alone.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxDropDownEdit.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/foundation/cxContainerPopup.h"

using namespace hostlib;
using namespace visualtest;

namespace {

class PanelDropDownEdit;

class PanelProperties : public TcxCustomDropDownEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<PanelProperties, TcxCustomDropDownEditProperties>("TestPanelDropDownProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetContainerClass() override;
};

// A drop-down kind whose popup is an empty panel of a fixed size.
class PanelDropDownEdit : public TcxCustomDropDownEdit {
public:
    static TClass StaticClass()
    {
        return DefineClass<PanelDropDownEdit, TcxCustomDropDownEdit>("TestPanelDropDownEdit");
    }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetPropertiesClass() const override { return PanelProperties::StaticClass(); }
    bool CanDropDown() override { return canDropDown; }
    SIZE GetPopupWindowClientPreferredSize() override { return SIZE{120, 60}; }

    bool canDropDown = true;
};

TClass PanelProperties::GetContainerClass() { return PanelDropDownEdit::StaticClass(); }

struct DropDownTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 700});
    }
    void TearDown() override
    {
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
        cxContainerPopupFinalize();
    }
    PanelDropDownEdit* NewEdit(const std::string& value = "start")
    {
        ++count;
        auto* edit = Add<PanelDropDownEdit>(form, "Drop" + std::to_string(count), 10, 10 + 40 * count, 150, 24);
        edit->SetEditValue(Variant(value));
        Listen(edit);
        Pump();
        return edit;
    }
    void Listen(TcxCustomDropDownEdit* edit)
    {
        edit->Properties()->OnPopup = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("popup"); });
        edit->Properties()->OnCloseUp = TNotifyEvent::FromFunction([this](TObject*) { events.push_back("closeup"); });
        edit->OnAfterKeyDown =
            TcxEditKeyEvent::FromFunction([this](TObject*, WORD& key, TShiftState) { afterKeys.push_back(key); });
        edit->OnPostEditValue = TNotifyEvent::FromFunction([this, edit](TObject*) {
            posted.push_back(VarToStr(edit->EditValue()));
        });
    }
    void Focus(TcxCustomEdit* edit)
    {
        edit->SetFocus();
        Pump();
    }
    void Type(const std::string& text)
    {
        Screen().TypeText(text);
        Pump();
    }
    // The editor's bounds on the screen.
    RECT OnScreen(TControl* control)
    {
        const POINT tl = control->ClientToScreen(POINT{0, 0});
        return RECT{tl.x, tl.y, tl.x + control->Width(), tl.y + control->Height()};
    }
    void Drag(POINT from, POINT to)
    {
        Screen().MoveMouse(from);
        Screen().ButtonDown(from);
        Pump();
        Screen().MoveMouse(to);
        Pump();
        Screen().ButtonUp(to);
        Pump();
    }
    // Drags the size grip of an open sizeable popup by (dx, dy).
    void DragGrip(TcxCustomEditPopupWindow* popup, int dx, int dy)
    {
        const RECT grip = popup->ViewInfo()->SizeGripRect;
        const POINT from{popup->Left() + (grip.left + grip.right) / 2, popup->Top() + (grip.top + grip.bottom) / 2};
        Drag(from, POINT{from.x + dx, from.y + dy});
    }

    int count = 0;
    std::vector<std::string> events;
    std::vector<WORD> afterKeys;
    std::vector<std::string> posted;
};

TEST_F(DropDownTest, KeysAndTheButtonOpenAndCloseThePopupBelowTheEditor)
{
    PanelDropDownEdit* edit = NewEdit();
    Focus(edit);
    struct Step {
        WORD Modifier;
        WORD Key;
        bool Open;
    };
    const Step steps[] = {{0, VK_F4, true},         {0, VK_F4, false},         {VK_MENU, VK_DOWN, true},
                          {VK_MENU, VK_UP, false},   {VK_MENU, VK_UP, true},    {0, VK_F4, false}};
    for (const Step& s : steps) {
        if (s.Modifier)
            KeyWith(s.Modifier, s.Key);
        else
            Key(s.Key);
        Pump();
        EXPECT_EQ(edit->DroppedDown(), s.Open) << s.Key;
    }
    EXPECT_EQ(events, (std::vector<std::string>{"popup", "closeup", "popup", "closeup", "popup", "closeup"}));
    EXPECT_TRUE(afterKeys.empty()) << "the keys that toggle the popup are used up";

    const RECT& button = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
    ClickAt(edit, (button.left + button.right) / 2, (button.top + button.bottom) / 2);
    Pump();
    ASSERT_TRUE(edit->DroppedDown()) << "the drop-down button opens it";
    TcxCustomEditPopupWindow* popup = edit->PopupWindow();
    const RECT editor = OnScreen(edit);
    EXPECT_EQ(popup->Top(), editor.bottom);
    EXPECT_EQ(popup->Left(), editor.left);
    EXPECT_GE(popup->Width(), 120);
    EXPECT_TRUE(edit->InnerEdit()->GetControl()->Focused()) << "the keyboard stays in the editor";
}

TEST_F(DropDownTest, EscapeWhileOpenClosesKeepingTheTypedText)
{
    PanelDropDownEdit* edit = NewEdit();
    Focus(edit);
    Key(VK_END);
    Type("x");
    ASSERT_TRUE(edit->DroppedDown()) << "typing opens the popup";
    EXPECT_EQ(edit->Text(), "startx");
    afterKeys.clear();
    Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "startx") << "the first Escape only closes";
    EXPECT_TRUE(afterKeys.empty()) << "the Escape that closed is used up";
    Key(VK_ESCAPE);
    Pump();
    EXPECT_EQ(edit->Text(), "start") << "the next one resets the value";
}

TEST_F(DropDownTest, ANeverOpeningKindStaysClosedAndTypingReachesTheText)
{
    PanelDropDownEdit* edit = NewEdit("");
    edit->canDropDown = false;
    Focus(edit);
    Key(VK_F4);
    Type("ab");
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(edit->Text(), "ab");
    EXPECT_EQ(events, std::vector<std::string>{}) << "nothing popped up, nothing closed";
}

TEST_F(DropDownTest, LeavingTheEditorClosesThePopupWithoutAccepting)
{
    PanelDropDownEdit* edit = NewEdit();
    PanelDropDownEdit* other = NewEdit();
    edit->Properties()->SetImmediatePost(true);
    Focus(edit);
    Key(VK_F4);
    Pump();
    ASSERT_TRUE(edit->DroppedDown());
    Focus(other);
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(events.back(), "closeup");
    EXPECT_TRUE(posted.empty());
}

TEST_F(DropDownTest, AcceptingPostsAnImmediateValueInPlace)
{
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    ObjectPtr<PanelProperties> column = MakeObject<PanelProperties>(nullptr);
    column->SetImmediatePost(true);
    auto* edit = static_cast<PanelDropDownEdit*>(list->GetEdit(column.get()));
    ASSERT_TRUE(edit->IsInplace());
    edit->SetParent(form);
    edit->SetBoundsRect(RECT{10, 200, 160, 222});
    edit->SetEditValue(Variant(std::string("cell")));
    Listen(edit);
    TcxCustomEditData* data = nullptr;
    edit->ActivateByKey('1', data);
    Pump();
    EXPECT_TRUE(edit->DroppedDown()) << "the activating character opens the popup";
    EXPECT_EQ(edit->Text(), "1") << "and replaces the selected text";
    Key(VK_RETURN);
    Pump();
    EXPECT_FALSE(edit->DroppedDown());
    EXPECT_EQ(posted, std::vector<std::string>{"1"});
    edit->DropDown();
    EXPECT_TRUE(edit->Deactivate());
    Pump();
    EXPECT_FALSE(edit->DroppedDown()) << "a pending opening is dropped when the cell is left";
    delete data;
}

TEST_F(DropDownTest, AUserSizedPopupKeepsItsSizePerCellOrInTheProperties)
{
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    ObjectPtr<PanelProperties> column = MakeObject<PanelProperties>(nullptr);
    column->SetPopupSizeable(true);
    column->SetPopupSysPanelStyle(true);
    column->SetPopupAutoSize(false);
    auto* edit = static_cast<PanelDropDownEdit*>(list->GetEdit(column.get()));
    edit->SetParent(form);
    edit->SetBoundsRect(RECT{10, 100, 160, 122});
    TcxCustomEditData* cellA = nullptr;
    TcxCustomEditData* cellB = nullptr;
    edit->Activate(cellA);
    Key(VK_F4);
    Pump();
    TcxCustomEditPopupWindow* popup = edit->PopupWindow();
    ASSERT_TRUE(edit->DroppedDown());
    const SIZE before{popup->Width(), popup->Height()};
    DragGrip(popup, 40, 30);
    const SIZE dragged{popup->Width(), popup->Height()};
    EXPECT_EQ(dragged.cx, before.cx + 40);
    EXPECT_EQ(dragged.cy, before.cy + 30);
    Key(VK_F4);
    Pump();
    EXPECT_EQ(column->PopupWidth(), 0) << "in place the properties keep no size";
    ASSERT_TRUE(edit->Deactivate());

    edit->Activate(cellB);
    Key(VK_F4);
    Pump();
    EXPECT_EQ(popup->Width(), before.cx) << "another cell opens at the computed size";
    Key(VK_F4);
    ASSERT_TRUE(edit->Deactivate());
    edit->Activate(cellA);
    Key(VK_F4);
    Pump();
    EXPECT_EQ(popup->Width(), dragged.cx) << "the resized cell opens at its size";
    EXPECT_EQ(popup->Height(), dragged.cy);
    Key(VK_F4);
    ASSERT_TRUE(edit->Deactivate());
    delete cellA;
    delete cellB;

    PanelDropDownEdit* standAlone = NewEdit();
    standAlone->Properties()->SetPopupSizeable(true);
    standAlone->Properties()->SetPopupSysPanelStyle(true);
    Focus(standAlone);
    Key(VK_F4);
    Pump();
    DragGrip(standAlone->PopupWindow(), 25, 15);
    const SIZE grown{standAlone->PopupWindow()->Width(), standAlone->PopupWindow()->Height()};
    Key(VK_F4);
    Pump();
    EXPECT_EQ(standAlone->Properties()->PopupWidth(), grown.cx);
    EXPECT_EQ(standAlone->Properties()->PopupHeight(), grown.cy);
}

}  // namespace
