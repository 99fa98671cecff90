// The popup editor as a user drives it on the headless display: the
// control it names moves into the popup below the editor and goes back as
// it was when the popup closes, when the editor goes while open, and when
// the editor is pointed at another control meanwhile; controls that hold
// the editor are refused; the popup's sizes.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxEditConsts.h"
#include "components/editors/cxPopupEdit.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/system/scope_guard.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

using namespace hostlib;
using namespace visualtest;

namespace {

// A form class of its own, so a written form can be read back into one.
class PickForm : public TForm {
public:
    static TClass StaticClass() { return DefineClass<PickForm, TForm>("TestPopupEditForm"); }
    TClass ClassType() const override { return StaticClass(); }
};

struct PopupEditTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        panel = Add<TTraceControl>(form, "Panel", 200, 120, 180, 150);
        panel->SetColor(clNavy);
        edit = Add<TcxPopupEdit>(panel, "Pick", 10, 10, 150, 24);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->SetAutoSize(false);
        edit->SetBounds(10, 10, 150, 24);
        edit->ActiveProperties()->OnInitPopup = TNotifyEvent::FromFunction([this](TObject*) { ++initPopups; });
        content = Add<TTraceControl>(form, "Content", 20, 200, 120, 60);
        content->SetColor(clLime);
        Pump();
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxContainerPopupFinalize();
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
    }
    // Opens as a user does: focus, then the drop-down button.
    void Open()
    {
        edit->SetFocus();
        Pump();
        Key(VK_F4);
        Pump();
    }
    // Closes as a user does: a click elsewhere.
    void Close()
    {
        ClickAt(form, 5, 5);
        Pump();
    }
    bool IsOpen() { return edit->DroppedDown(); }
    // The popup's client area inside its frame.
    RECT Inside(TcxCustomEditPopupWindow* popup)
    {
        RECT r = popup->ClientRect();
        popup->AdjustClientRect(r);
        return r;
    }
    // Where the control's top-left lies on the screen.
    POINT Origin(TControl* c) { return c->ClientToScreen(POINT{0, 0}); }

    TTraceControl* panel = nullptr;
    TcxPopupEdit* edit = nullptr;
    TTraceControl* content = nullptr;
    int initPopups = 0;
};

TEST_F(PopupEditTest, WithoutAControlTheButtonOnlyAsksForOne)
{
    EXPECT_FALSE(edit->Properties()->PopupControl());
    edit->SetFocus();
    Pump();
    const RECT b = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
    ClickAt(edit, (b.left + b.right) / 2, (b.top + b.bottom) / 2);
    EXPECT_EQ(initPopups, 1);
    EXPECT_FALSE(IsOpen());
    Key(VK_F4);
    Pump();
    EXPECT_EQ(initPopups, 2);
    EXPECT_FALSE(IsOpen());
}

TEST_F(PopupEditTest, AControlHoldingTheEditorIsRefusedWhenOpening)
{
    TControl* const holders[] = {form, panel, edit};
    for (TControl* holder : holders) {
        SCOPED_TRACE(holder->Name());
        edit->Properties()->SetPopupControl(holder);
        const RECT bounds = holder->BoundsRect();
        try {
            edit->DropDown();
            ADD_FAILURE() << "opened";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), "Circular referencing is not allowed");
        }
        Pump();
        EXPECT_FALSE(IsOpen());
        EXPECT_EQ(holder->BoundsRect().left, bounds.left) << "nothing moved";
        EXPECT_EQ(edit->Parent(), panel);
    }
    EXPECT_EQ(initPopups, 0) << "the check comes before the handlers";
}

TEST_F(PopupEditTest, TheControlFillsThePopupBelowTheEditorAndGoesBackAsItWas)
{
    content->SetBounds(20, 150, 140, 110);
    content->SetVisible(false);
    edit->Properties()->SetPopupControl(content);
    Open();
    ASSERT_TRUE(IsOpen());
    TcxCustomEditPopupWindow* popup = edit->PopupWindow();
    EXPECT_EQ(content->Parent(), popup);
    EXPECT_TRUE(content->Visible()) << "an invisible control shows in the popup";
    EXPECT_EQ(content->Align(), alClient);
    // Auto size: the popup's client area takes the control's own size.
    const RECT client = Inside(popup);
    EXPECT_EQ(client.right - client.left, 140);
    EXPECT_EQ(client.bottom - client.top, 110);
    EXPECT_EQ(content->BoundsRect(), client);
    // As a user sees it: the control's colour right below the editor.
    const POINT editOrigin = Origin(edit);
    EXPECT_EQ(popup->Top(), editOrigin.y + edit->Height());
    EXPECT_EQ(popup->Left(), editOrigin.x);
    const POINT inside = Origin(content);
    EXPECT_EQ(Screen().ScreenPixel(inside.x, inside.y), Rgb(clLime));
    EXPECT_EQ(Screen().ScreenPixel(inside.x + 139, inside.y + 109), Rgb(clLime));
    EXPECT_NE(Screen().ScreenPixel(inside.x - 1, inside.y - 1), Rgb(clLime)) << "the popup's frame around it";

    Close();
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(content->Parent(), form);
    EXPECT_FALSE(content->Visible()) << "invisible again";
    EXPECT_EQ(content->Align(), alNone);
    EXPECT_EQ(content->BoundsRect(), (RECT{20, 150, 160, 260}));
}

TEST_F(PopupEditTest, ThePopupSizes)
{
    struct Case {
        const char* what;
        bool autoSize;
        SIZE control;
        SIZE window;  // of the popup; 0: the control's plus the frame
    };
    const Case cases[] = {
        {"auto size", true, {160, 120}, {0, 0}},
        {"auto size within the minimums", true, {60, 40}, {100, 100}},
        {"fixed: a fresh popup", false, {160, 120}, {250, 200}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        content->SetBounds(20, 150, c.control.cx, c.control.cy);
        edit->Properties()->SetPopupControl(content);
        edit->Properties()->SetPopupAutoSize(c.autoSize);
        Open();
        ASSERT_TRUE(IsOpen());
        TcxCustomEditPopupWindow* popup = edit->PopupWindow();
        const RECT client = Inside(popup);
        if (c.window.cx == 0) {
            EXPECT_EQ(client.right - client.left, c.control.cx);
            EXPECT_EQ(client.bottom - client.top, c.control.cy);
        } else {
            EXPECT_EQ(popup->Width(), c.window.cx);
            EXPECT_EQ(popup->Height(), c.window.cy);
        }
        EXPECT_EQ(content->BoundsRect(), client) << "the control fills the client";
        Close();
        EXPECT_EQ(content->Width(), c.control.cx);
        EXPECT_EQ(content->Height(), c.control.cy);
    }
}

TEST_F(PopupEditTest, AFormShowsWithoutFrameInsideAndGetsItBack)
{
    TForm* picker = NewForm(160, 90);
    picker->SetBorderStyle(bsDialog);
    picker->SetColor(clYellow);
    picker->SetBounds(600, 500, 160, 90);
    picker->Show();
    Pump();
    edit->Properties()->SetPopupControl(picker);
    Open();
    ASSERT_TRUE(IsOpen());
    EXPECT_EQ(picker->Parent(), edit->PopupWindow());
    EXPECT_EQ(picker->BorderStyle(), bsNone);
    EXPECT_EQ(GetWindowLongA(picker->Handle(), GWL_STYLE) & WS_CAPTION, 0) << "no frame or caption";
    EXPECT_NE(GetWindowLongA(picker->Handle(), GWL_STYLE) & WS_CHILD, 0);
    const POINT inside = Origin(picker);
    EXPECT_EQ(Screen().ScreenPixel(inside.x + 10, inside.y + 10), Rgb(clYellow));
    EXPECT_NE(GetActiveWindow(), picker->Handle()) << "the form inside is not activated";
    EXPECT_FALSE(picker->Active());

    Close();
    EXPECT_EQ(picker->Parent(), nullptr);
    EXPECT_EQ(picker->BorderStyle(), bsDialog);
    EXPECT_NE(GetWindowLongA(picker->Handle(), GWL_STYLE) & WS_CAPTION, 0) << "top-level with its frame";
    EXPECT_TRUE(picker->Visible());
    EXPECT_EQ(picker->Left(), 600);
    EXPECT_EQ(picker->Top(), 500);
    picker->Free();
}

TEST_F(PopupEditTest, TheControlGoesHomeWhenTheEditorGoesWhileOpen)
{
    edit->Properties()->SetPopupControl(content);
    Open();
    ASSERT_TRUE(IsOpen());
    edit->Free();
    edit = nullptr;
    Pump();
    EXPECT_EQ(content->Parent(), form);
    EXPECT_TRUE(content->Visible());
    EXPECT_EQ(content->Left(), 20);
    EXPECT_EQ(content->Top(), 200);
    EXPECT_EQ(content->Width(), 120);
}

TEST_F(PopupEditTest, AnotherControlNamedWhileOpenLeavesTheMovedOneToGoHome)
{
    auto* other = Add<TTraceControl>(form, "Other", 250, 20, 50, 40);
    edit->Properties()->SetPopupControl(content);
    Open();
    ASSERT_TRUE(IsOpen());
    edit->Properties()->SetPopupControl(other);
    Pump();
    EXPECT_EQ(content->Parent(), form) << "the control moved in went home";
    EXPECT_EQ(content->BoundsRect().top, 200);
    EXPECT_EQ(content->Align(), alNone);
    if (IsOpen())
        Close();
    EXPECT_EQ(other->Parent(), form);
    EXPECT_EQ(other->Left(), 250);
    EXPECT_EQ(other->Width(), 50);
    EXPECT_EQ(content->Parent(), form);

    // A control freed while it is in the popup is forgotten, not restored.
    Open();
    ASSERT_TRUE(IsOpen());
    ASSERT_EQ(other->Parent(), edit->PopupWindow());
    other->Free();
    Pump();
    EXPECT_EQ(edit->Properties()->PopupControl(), nullptr);
    if (IsOpen())
        Close();
    EXPECT_FALSE(IsOpen());
}

TEST_F(PopupEditTest, AFormResourceNamesThePopupControl)
{
    RegisterClasses({PickForm::StaticClass(), TcxPopupEdit::StaticClass(), TcxPopupEditProperties::StaticClass(),
                     TTraceControl::StaticClass()});
    auto* source = CreateObject<PickForm>(static_cast<TComponent*>(nullptr));
    source->SetName("Source");
    auto* written = Add<TcxPopupEdit>(source, "Chooser", 10, 10, 150, 24);
    auto* list = Add<TTraceControl>(source, "Choices", 10, 100, 130, 120);
    written->Properties()->SetPopupControl(list);
    written->Properties()->SetPopupAutoSize(false);
    const std::string text = WriteFormResource(source);
    source->Free();
    EXPECT_NE(text.find("PopupControl = Choices"), std::string::npos) << text;

    auto* read = CreateObject<PickForm>(static_cast<TComponent*>(nullptr));
    quelvo::sys::ScopeGuard freeRead([read] { read->Free(); });
    ReadFormResource(read, text, "pick.form");
    read->Show();
    Pump();
    auto* chooser = As<TcxPopupEdit>(read->FindComponent("Chooser"));
    auto* choices = As<TTraceControl>(read->FindComponent("Choices"));
    ASSERT_TRUE(chooser && choices) << text;
    EXPECT_EQ(chooser->Properties()->PopupControl(), choices);
    chooser->SetFocus();
    Pump();
    Key(VK_F4);
    Pump();
    ASSERT_TRUE(chooser->DroppedDown());
    EXPECT_EQ(choices->Parent(), chooser->PopupWindow());
    EXPECT_EQ(chooser->PopupWindow()->Width(), 250);
    chooser->SetDroppedDown(false);
    Pump();
    EXPECT_EQ(choices->Parent(), read);
    EXPECT_EQ(choices->Top(), 100);
}

}  // namespace
