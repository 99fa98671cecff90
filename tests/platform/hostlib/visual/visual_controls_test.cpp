// The control pipeline: two-phase creation, the procedure chain, exceptions
// per message, reflection, mouse, keys, focus, alignment and echoes.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;

namespace {

class Controls : public VisualTest {};

// ---- two-phase creation -----------------------------------------------------------

class TLevel1 : public TCustomControl {
public:
    static TClass StaticClass() { return DefineClass<TLevel1, TCustomControl>("TLevel1"); }
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override
    {
        TCustomControl::Construct(owner);
        Log().push_back("construct helper " + HelperKind());
    }
    virtual std::string HelperKind() { return "level1"; }

protected:
    void Destroy() override
    {
        Log().push_back(std::string("destroy ") + (IsDestroying() ? "destroying " : "") + HelperKind());
        TCustomControl::Destroy();
    }
};

class TLevel2 : public TLevel1 {
public:
    static TClass StaticClass() { return DefineClass<TLevel2, TLevel1>("TLevel2"); }
    TClass ClassType() const override { return StaticClass(); }
    std::string HelperKind() override { return "level2"; }
};

class TLevel3 : public TLevel2 {
public:
    static TClass StaticClass() { return DefineClass<TLevel3, TLevel2>("TLevel3"); }
    TClass ClassType() const override { return StaticClass(); }
    std::string HelperKind() override { return "level3:" + suffix_; }

private:
    std::string suffix_ = "fields first";
};

TEST_F(Controls, ConstructionAndDestructionReachTheMostDerivedClass)
{
    struct Case {
        TClass cls;
        std::string kind;
    };
    const Case cases[] = {
        {TLevel1::StaticClass(), "level1"},
        {TLevel2::StaticClass(), "level2"},
        {TLevel3::StaticClass(), "level3:fields first"},
    };
    for (const Case& c : cases) {
        Log().clear();
        TComponent* made = CreateComponent(c.cls, nullptr);
        made->Free();
        EXPECT_EQ(Log(), (Trace{"construct helper " + c.kind, "destroy destroying " + c.kind})) << c.cls->ClassName();
    }
}

TEST_F(Controls, MessagesToAControlBeingDestroyedAreDropped)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    form->Show();
    Pump();
    HWND h = c->Handle();
    int seen = 0;
    c->WindowProc = [&seen, c](TMessage& m) {
        if (m.Msg == WM_USER + 7) ++seen;
        c->WndProc(m);
    };
    SendMessageA(h, WM_USER + 7, 0, 0);
    EXPECT_EQ(seen, 1);
    c->BeforeDestruction();
    SendMessageA(h, WM_USER + 7, 0, 0);
    EXPECT_EQ(seen, 1) << "dropped once the control is being destroyed";
    c->Free();
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(Controls, FreeingControlsLeavesNoReferenceBehind)
{
    TForm* form = NewForm();
    auto* panel = Add<TTraceControl>(form, "panel", 0, 0, 100, 100);
    // Owned by the form, as a form resource makes it, but inside the panel.
    auto* inner = CreateObject<TTraceControl>(form);
    inner->SetName("inner");
    inner->SetBounds(0, 0, 20, 20);
    inner->SetParent(panel);
    auto* other = Add<TTraceControl>(form, "other", 120, 0, 20, 20);
    auto* menu = CreateObject<TPopupMenu>(form);
    menu->Items()->Add(CreateObject<TMenuItem>(form));
    other->SetPopupMenu(menu);
    form->Show();
    Pump();
    inner->SetFocus();
    Pump();
    auto innerAlive = inner->AliveToken();
    const int before = form->ComponentCount();
    panel->Free();
    EXPECT_FALSE(*innerAlive) << "children go with their parent whoever owns them";
    EXPECT_EQ(form->ComponentCount(), before - 2);
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(hostlib::Screen->ActiveControl(), nullptr);
    Log().clear();
    other->SetFocus();
    Pump();
    EXPECT_EQ(Log(), (Trace{"other enter"})) << "no exit events for a freed control";
    menu->Free();
    EXPECT_EQ(other->PopupMenu(), nullptr);
    Screen().Click(At(other), quelvo::win::MouseButton::Right);
    Pump();
}

// Answers another control's menu as its own.
class TMenuBorrower : public TTraceControl {
public:
    static TClass StaticClass() { return DefineClass<TMenuBorrower, TTraceControl>("TMenuBorrower"); }
    TClass ClassType() const override { return StaticClass(); }
    TControl* lender = nullptr;
    TPopupMenu* GetPopupMenu() override { return lender ? lender->PopupMenu() : TTraceControl::GetPopupMenu(); }
};

TEST_F(Controls, TheContextMenuIsTheOneTheControlAnswers)
{
    TForm* form = NewForm();
    auto* lender = Add<TTraceControl>(form, "lender", 120, 0, 20, 20);
    auto* borrower = Add<TMenuBorrower>(form, "borrower", 0, 0, 100, 100);
    auto* own = CreateObject<TPopupMenu>(form);
    auto* lent = CreateObject<TPopupMenu>(form);
    borrower->SetPopupMenu(own);
    lender->SetPopupMenu(lent);
    std::vector<TPopupMenu*> shown;
    TPopupMenu::SetTracker([&](TPopupMenu* menu, int, int) {
        shown.push_back(menu);
        return nullptr;
    });
    form->Show();
    Pump();
    for (TControl* lenderOrNone : {static_cast<TControl*>(lender), static_cast<TControl*>(nullptr)}) {
        borrower->lender = lenderOrNone;
        Screen().Click(At(borrower), quelvo::win::MouseButton::Right);
        Pump();
    }
    EXPECT_EQ(shown, (std::vector<TPopupMenu*>{lent, own}));
    EXPECT_EQ(lent->PopupComponent(), borrower);
}

// ---- procedure chain ---------------------------------------------------------------

TEST_F(Controls, WindowProcSeesSentMessagesAndPerformSkipsTheWindow)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    form->Show();
    Pump();
    Trace seen;
    TWndMethod previous = c->WindowProc;
    c->WindowProc = [&](TMessage& m) {
        if (m.Msg >= WM_USER) seen.push_back(std::to_string(m.Msg - WM_USER));
        previous(m);
    };
    int hooked = 0;
    static int* hookCount = nullptr;
    hookCount = &hooked;
    HHOOK hook = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM w, LPARAM l) -> LRESULT {
            if (reinterpret_cast<CWPSTRUCT*>(l)->message == WM_USER + 2) ++*hookCount;
            return CallNextHookEx(nullptr, code, w, l);
        },
        nullptr, GetCurrentThreadId());
    c->Perform(WM_USER + 1);
    SendMessageA(c->Handle(), WM_USER + 2, 0, 0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(seen, (Trace{"1", "2"}));
    EXPECT_EQ(hooked, 1) << "only the sent message runs the hooks";
    // The default handler is the window class's: text set through it.
    SendMessageA(c->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("via window"));
    EXPECT_EQ(c->Text(), "via window");
}

TEST_F(Controls, ExceptionsGoToHandleExceptionPerMessageAndPerformRethrows)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    form->Show();
    Pump();
    struct Case {
        std::string name;
        std::function<void()> raise;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"click", [&] {
             c->OnClick = TNotifyEvent::FromFunction([](TObject*) { throw EConvertError("bad value"); });
             ClickAt(c);
         },
         {"bad value."}},
        {"abort is silent", [&] {
             c->OnClick = TNotifyEvent::FromFunction([](TObject*) { Abort(); });
             ClickAt(c);
         },
         {}},
        {"paint", [&] {
             c->throwInPaint = true;
             c->Invalidate();
             Pump();
             c->throwInPaint = false;
         },
         {"paint failed."}},
        {"sent message", [&] {
             c->OnKeyDown = TKeyEvent::FromFunction([](TObject*, WORD&, TShiftState) { throw Exception("key!"); });
             SendMessageA(c->Handle(), WM_KEYDOWN, 'Q', 0);
         },
         {"key!"}},
    };
    for (const Case& k : cases) {
        boxes.clear();
        k.raise();
        std::vector<std::string> texts;
        for (const Box& b : boxes) {
            texts.push_back(b.text);
            EXPECT_EQ(b.caption, "Visual");
            EXPECT_EQ(b.flags & MB_ICONMASK, MB_ICONSTOP);
        }
        EXPECT_EQ(texts, k.boxes) << k.name;
    }
    c->OnKeyDown = TKeyEvent::FromFunction([](TObject*, WORD&, TShiftState) { throw Exception("direct"); });
    boxes.clear();
    EXPECT_THROW(c->Perform(WM_KEYDOWN, 'Q', 0), Exception);
    EXPECT_TRUE(boxes.empty());
    // OnException replaces the box.
    std::string handled;
    Application->OnException = TExceptionEvent::FromFunction([&](TObject*, Exception& e) { handled = e.Message(); });
    SendMessageA(c->Handle(), WM_KEYDOWN, 'Q', 0);
    EXPECT_EQ(handled, "direct");
    EXPECT_TRUE(boxes.empty());
}

// A control that asks its parent something while its window is created.
class TEarlyNotifier : public TTraceControl {
public:
    static TClass StaticClass() { return DefineClass<TEarlyNotifier, TTraceControl>("TEarlyNotifier"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_CREATE)
            SendMessageA(GetParent(handle_), WM_COMMAND, MAKEWPARAM(1, 99), reinterpret_cast<LPARAM>(handle_));
        if (m.Msg >= CN_BASE && m.Msg < CN_BASE + 0x400) {
            Log().push_back(Name() + " CN " + std::to_string(m.Msg - CN_BASE));
            m.Result = 42;
            return;
        }
        TTraceControl::Dispatch(m);
    }
};

TEST_F(Controls, NotificationsReachTheChildAsReflections)
{
    TForm* form = NewForm();
    form->Show();
    Pump();
    Log().clear();
    auto* child = Add<TEarlyNotifier>(form, "child", 0, 0, 40, 40);
    EXPECT_EQ(Log(), (Trace{"child CN " + std::to_string(WM_COMMAND)})) << "also during the child's creation";
    struct Case {
        UINT msg;
        LPARAM lParam;
    };
    const Case cases[] = {
        {WM_COMMAND, reinterpret_cast<LPARAM>(child->Handle())},
        {WM_HSCROLL, reinterpret_cast<LPARAM>(child->Handle())},
        {WM_VSCROLL, reinterpret_cast<LPARAM>(child->Handle())},
        {WM_CTLCOLOREDIT, reinterpret_cast<LPARAM>(child->Handle())},
        {WM_CTLCOLORSTATIC, reinterpret_cast<LPARAM>(child->Handle())},
    };
    for (const Case& k : cases) {
        Log().clear();
        EXPECT_EQ(SendMessageA(form->Handle(), k.msg, 0, k.lParam), 42);
        EXPECT_EQ(Log(), (Trace{"child CN " + std::to_string(k.msg)}));
    }
}

// A standard push button wrapped as a control.
class TWrappedButton : public TWinControl {
public:
    static TClass StaticClass() { return DefineClass<TWrappedButton, TWinControl>("TWrappedButton"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    void CreateParams(TCreateParams& p) override
    {
        TWinControl::CreateParams(p);
        CreateSubClass(p, "BUTTON");
        p.Style |= BS_PUSHBUTTON;
    }
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == CN_COMMAND) Log().push_back(Name() + " CN_COMMAND " + std::to_string(HIWORD(m.WParam)));
        TWinControl::Dispatch(m);
    }
};

TEST_F(Controls, AWrappedStandardControlKeepsItsClassBehaviour)
{
    TForm* form = NewForm();
    auto* b = Add<TWrappedButton>(form, "b", 10, 10, 60, 25);
    b->SetCaption("Go");
    form->Show();
    Pump();
    char cls[32]{};
    GetClassNameA(b->Handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TWrappedButton");
    EXPECT_EQ(SendMessageA(b->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_BUTTON, DLGC_BUTTON) << "the class's own answer";
    EXPECT_EQ(b->Text(), "Go");
    Log().clear();
    ClickAt(b, 20, 10);
    EXPECT_EQ(Log(), (Trace{"b CN_COMMAND " + std::to_string(BN_CLICKED)}));
}

// ---- mouse -----------------------------------------------------------------------

TEST_F(Controls, ClicksAndDoubleClicksOnWindowedAndGraphicControls)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    auto* l = Add<TTraceLabel>(form, "l", 100, 0, 50, 20);
    form->Show();
    Pump();
    struct Case {
        std::string name;
        TControl* target;
        std::function<void(POINT)> input;
        Trace expected;
    };
    const Case cases[] = {
        {"click", c, [&](POINT p) { Screen().Click(p); }, {"c downL 5,5", "c click", "c upL"}},
        {"label click", l, [&](POINT p) { Screen().Click(p); }, {"l downL 5,5", "l click", "l upL"}},
        {"double", c, [&](POINT p) { Screen().DoubleClick(p); },
         {"c downL 5,5", "c click", "c upL", "c dblclick", "c downL double 5,5", "c upL"}},
        {"label double", l, [&](POINT p) { Screen().DoubleClick(p); },
         {"l downL 5,5", "l click", "l upL", "l dblclick", "l downL double 5,5", "l upL"}},
        {"released outside", c,
         [&](POINT p) {
             Screen().ButtonDown(p);
             Screen().ButtonUp(POINT{p.x + 200, p.y + 100});
         },
         {"c downL 5,5", "c upL"}},
        {"right", l, [&](POINT p) { Screen().Click(p, quelvo::win::MouseButton::Right); }, {"l downR 5,5", "l upR"}},
    };
    for (const Case& k : cases) {
        clock_.Advance(2000);
        Log().clear();
        k.input(At(k.target));
        Pump();
        Trace mouse;
        for (const auto& e : Log())
            if (e.find("enter") == std::string::npos && e.find("leave") == std::string::npos &&
                e.find("paint") == std::string::npos)
                mouse.push_back(e);
        EXPECT_EQ(mouse, k.expected) << k.name;
    }
}

TEST_F(Controls, WheelGoesToTheControlThenItsParents)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    form->Show();
    Pump();
    c->SetFocus();
    Pump();
    Trace seen;
    form->OnMouseWheel = TMouseWheelEvent::FromFunction([&](TObject*, TShiftState, int delta, POINT, bool& handled) {
        seen.push_back("form " + std::to_string(delta));
        handled = true;
    });
    Screen().Wheel(At(c), -120);
    Pump();
    c->OnMouseWheel = TMouseWheelEvent::FromFunction([&](TObject*, TShiftState, int delta, POINT, bool& handled) {
        seen.push_back("c " + std::to_string(delta));
        handled = true;
    });
    Screen().Wheel(At(c), 120);
    Pump();
    EXPECT_EQ(seen, (Trace{"form -120", "c 120"}));
}

// ---- keys and focus ------------------------------------------------------------------

class Keys : public VisualTest {
protected:
    void Build()
    {
        form = NewForm();
        a = Add<TTraceControl>(form, "a", 0, 0, 30, 20);
        b = Add<TTraceControl>(form, "b", 40, 0, 30, 20);
        hidden = Add<TTraceControl>(form, "hidden", 80, 0, 30, 20);
        notab = Add<TTraceControl>(form, "notab", 120, 0, 30, 20);
        e = Add<TTraceControl>(form, "e", 160, 0, 30, 20);
        b->SetEnabled(false);
        hidden->SetVisible(false);
        notab->SetTabStop(false);
        ok = Add<TTestButton>(form, "ok", 0, 100, 50, 20);
        ok->SetTabStop(false);
        ok->isDefault = true;
        ok->SetCaption("&Save");
        cancel = Add<TTestButton>(form, "cancel", 60, 100, 50, 20);
        cancel->SetTabStop(false);
        cancel->isCancel = true;
        form->Show();
        Pump();
    }
    std::string Focused()
    {
        TWinControl* f = TWinControl::FindControl(GetFocus());
        return f ? f->Name() : "-";
    }
    Trace Without(const std::string& word)
    {
        Trace t;
        for (const auto& s : Log())
            if (s.find(word) == std::string::npos && s.find("paint") == std::string::npos &&
                s.find("mouse") == std::string::npos)
                t.push_back(s);
        return t;
    }
    TForm* form = nullptr;
    TTraceControl *a = nullptr, *b = nullptr, *hidden = nullptr, *notab = nullptr, *e = nullptr;
    TTestButton *ok = nullptr, *cancel = nullptr;
};

TEST_F(Keys, TabSkipsDisabledHiddenAndNonTabStopControls)
{
    Build();
    EXPECT_EQ(Focused(), "a") << "the first tab stop takes the focus when the form shows";
    struct Step {
        bool shift;
        std::string focus;
    };
    const Step steps[] = {{false, "e"}, {false, "a"}, {true, "e"}, {true, "a"}};
    for (const Step& s : steps) {
        if (s.shift) KeyWith(VK_SHIFT, VK_TAB);
        else Key(VK_TAB);
        EXPECT_EQ(Focused(), s.focus);
    }
    Log().clear();
    Key(VK_TAB);
    EXPECT_EQ(Without("key"), (Trace{"a exit", "e enter"})) << "Tab itself never reaches KeyDown";
    e->dlgCode = DLGC_WANTTAB;
    Log().clear();
    Key(VK_TAB);
    EXPECT_EQ(Focused(), "e") << "a control that wants Tab keeps it";
    EXPECT_EQ(Log(), (Trace{"e key 9", "e char \t"}));
}

// A compound control that lets its part stand in its place in the tab order.
class TStandIn : public TTraceControl {
public:
    static TClass StaticClass() { return DefineClass<TStandIn, TTraceControl>("TStandIn"); }
    TClass ClassType() const override { return StaticClass(); }
    TWinControl* part = nullptr;
    void GetTabOrderList(std::vector<TWinControl*>& list) override
    {
        TTraceControl::GetTabOrderList(list);
        std::erase(list, part);
        std::ranges::replace(list, static_cast<TWinControl*>(this), part);
    }
};

TEST_F(Keys, TabOrderAsksEachControlForItsList)
{
    Build();
    auto* standIn = Add<TStandIn>(form, "standin", 0, 40, 60, 30);
    standIn->part = Add<TTraceControl>(standIn, "part", 5, 5, 20, 20);
    standIn->SetTabOrder(1);
    Pump();
    a->SetFocus();
    const char* order[] = {"part", "e", "a", "part"};
    for (const char* name : order) {
        Key(VK_TAB);
        EXPECT_EQ(Focused(), name);
    }
    KeyWith(VK_SHIFT, VK_TAB);
    EXPECT_EQ(Focused(), "a");
    EXPECT_EQ(form->FindNextControl(a, true, true, false), standIn->part);
}

TEST_F(Keys, SelectFirstFocusesTheFirstTabStopInsideAndFallsBackToAnyFocusable)
{
    Build();
    auto* panel = Add<TTraceControl>(form, "panel", 0, 40, 100, 50);
    auto* off = Add<TTraceControl>(panel, "off", 0, 0, 20, 20);
    auto* first = Add<TTraceControl>(panel, "first", 30, 0, 20, 20);
    auto* second = Add<TTraceControl>(panel, "second", 60, 0, 20, 20);
    off->SetEnabled(false);
    Pump();
    a->SetFocus();
    panel->SelectFirst();
    EXPECT_EQ(Focused(), "first") << "a disabled control is passed over";
    first->SetTabStop(false);
    second->SetTabStop(false);
    a->SetFocus();
    panel->SelectFirst();
    EXPECT_EQ(Focused(), "first") << "without tab stops the first focusable control";
    first->SetEnabled(false);
    second->SetEnabled(false);
    a->SetFocus();
    panel->SelectFirst();
    EXPECT_EQ(Focused(), "a") << "nothing to focus leaves the focus where it was";
}

// A compound control handing its drag kind on to its part.
class TDragKindRelay : public TTraceControl {
public:
    static TClass StaticClass() { return DefineClass<TDragKindRelay, TTraceControl>("TDragKindRelay"); }
    TClass ClassType() const override { return StaticClass(); }
    TControl* part = nullptr;
    void SetDragKind(TDragKind value) override
    {
        TTraceControl::SetDragKind(value);
        if (part) part->SetDragKind(value);
    }
};

TEST_F(Keys, DragKindIsVirtualAndStreamedOnlyWhenNotDrag)
{
    Build();
    auto* relay = Add<TDragKindRelay>(form, "relay", 0, 40, 60, 30);
    relay->part = Add<TTraceControl>(relay, "part", 5, 5, 20, 20);
    EXPECT_EQ(relay->DragKind(), dkDrag);
    static_cast<TControl*>(relay)->SetDragKind(dkDock);
    EXPECT_EQ(relay->part->DragKind(), dkDock) << "the override runs through the base pointer";
    const TPropInfo* info = GetPropInfo(relay, "DragKind");
    ASSERT_NE(info, nullptr);
    EXPECT_FALSE(IsDefaultPropValue(relay, *info));
    relay->SetDragKind(dkDrag);
    EXPECT_TRUE(IsDefaultPropValue(relay, *info)) << "dkDrag is the default";
}

TEST_F(Keys, EnterAndEscapeClickTheDefaultAndCancelButtons)
{
    Build();
    struct Case {
        int vk;
        LRESULT dlgCode;
        Trace expected;
    };
    const Case cases[] = {
        {VK_RETURN, 0, {"ok click"}},
        {VK_ESCAPE, 0, {"cancel click"}},
        {VK_RETURN, DLGC_WANTALLKEYS, {"a key 13", "a char \r"}},
        {'X', 0, {"a key 88", "a char x"}},
    };
    for (const Case& k : cases) {
        a->dlgCode = k.dlgCode;
        Log().clear();
        Key(k.vk);
        EXPECT_EQ(Without("enter"), k.expected) << k.vk;
    }
}

TEST_F(Keys, KeyPreviewLetsTheFormSeeKeysFirstAndZeroStopsThem)
{
    Build();
    Trace seen;
    form->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, WORD& key, TShiftState) {
        seen.push_back("form " + std::to_string(key));
        if (key == 'Z') key = 0;
    });
    a->OnKeyDown = TKeyEvent::FromFunction([&](TObject*, WORD& key, TShiftState) { seen.push_back("a " + std::to_string(key)); });
    Key('Y');
    EXPECT_EQ(seen, (Trace{"a 89"})) << "without KeyPreview the form is not asked";
    form->SetKeyPreview(true);
    seen.clear();
    Key('Y');
    Key('Z');
    EXPECT_EQ(seen, (Trace{"form 89", "a 89", "form 90"}));
}

TEST_F(Keys, AltAndAnAcceleratorClickTheControlWithIt)
{
    Build();
    Log().clear();
    KeyWith(VK_MENU, 'S');
    EXPECT_EQ(Without("key"), (Trace{"ok click"}));
    Log().clear();
    KeyWith(VK_MENU, 'Q');
    EXPECT_EQ(Without("key"), Trace{});
}

TEST_F(Keys, FocusEventsRunUpToTheCommonParentThenDown)
{
    form = NewForm();
    auto* p1 = Add<TTraceControl>(form, "p1", 0, 0, 100, 100);
    p1->SetControlStyle(p1->ControlStyle() + TControlStyle{csAcceptsControls});
    auto* x = Add<TTraceControl>(p1, "x", 0, 0, 20, 20);
    auto* p2 = Add<TTraceControl>(form, "p2", 120, 0, 100, 100);
    auto* y = Add<TTraceControl>(p2, "y", 0, 0, 20, 20);
    form->Show();
    Pump();
    x->SetFocus();
    Pump();
    Log().clear();
    y->SetFocus();
    Pump();
    EXPECT_EQ(Without("key"), (Trace{"x exit", "p1 exit", "p2 enter", "y enter"}));
    // Hiding the focused control moves the focus to its parent.
    Log().clear();
    y->SetVisible(false);
    Pump();
    EXPECT_EQ(TWinControl::FindControl(GetFocus()), p2);
    EXPECT_EQ(Without("key"), (Trace{"y exit"}));
    EXPECT_THROW(y->SetFocus(), EInvalidOperation);
    p2->SetEnabled(false);
    Pump();
    EXPECT_EQ(TWinControl::FindControl(GetFocus()), form);
}

// ---- alignment, anchors, constraints ---------------------------------------------------

TEST_F(Controls, ParentResizeAppliesAlignAnchorsAndConstraints)
{
    TForm* form = NewForm(200, 100);
    // No frame: the sizes below are the client area's.
    form->SetBorderStyle(bsNone);
    form->SetBounds(10, 10, 200, 100);
    auto* top = Add<TTraceControl>(form, "top", 0, 0, 10, 20);
    top->SetAlign(alTop);
    auto* left = Add<TTraceControl>(form, "left", 0, 0, 30, 10);
    left->SetAlign(alLeft);
    auto* client = Add<TTraceControl>(form, "client", 0, 0, 10, 10);
    client->SetAlign(alClient);
    client->Constraints()->SetMaxWidth(150);
    auto* br = Add<TTraceLabel>(form, "br", 150, 70, 40, 20);
    br->SetAnchors({akRight, akBottom});
    auto* stretch = Add<TTraceLabel>(form, "stretch", 10, 30, 100, 10);
    stretch->SetAnchors({akLeft, akRight, akTop});
    form->Show();
    Pump();
    struct Case {
        int w, h;
        RECT top, left, client, br, stretch;
    };
    const Case cases[] = {
        {200, 100, {0, 0, 200, 20}, {0, 20, 30, 100}, {30, 20, 180, 100}, {150, 70, 190, 90}, {10, 30, 110, 40}},
        {300, 150, {0, 0, 300, 20}, {0, 20, 30, 150}, {30, 20, 180, 150}, {250, 120, 290, 140}, {10, 30, 210, 40}},
        {120, 60, {0, 0, 120, 20}, {0, 20, 30, 60}, {30, 20, 120, 60}, {70, 30, 110, 50}, {10, 30, 30, 40}},
    };
    for (const Case& k : cases) {
        form->SetBounds(form->Left(), form->Top(), k.w, k.h);
        Pump();
        auto rect = [](TControl* c) { return c->BoundsRect(); };
        auto same = [](RECT a, RECT b) { return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom; };
        EXPECT_TRUE(same(rect(top), k.top)) << k.w;
        EXPECT_TRUE(same(rect(left), k.left)) << k.w;
        EXPECT_TRUE(same(rect(client), k.client)) << k.w << " " << client->Width();
        EXPECT_TRUE(same(rect(br), k.br)) << k.w << " " << br->Left() << "," << br->Top();
        EXPECT_TRUE(same(rect(stretch), k.stretch)) << k.w << " " << stretch->Width();
    }
}

TEST_F(Controls, ParentColourAndFontReachChildrenWithTheFlag)
{
    TForm* form = NewForm();
    auto* inherits = Add<TTraceControl>(form, "inherits", 0, 0, 10, 10);
    auto* own = Add<TTraceControl>(form, "own", 20, 0, 10, 10);
    auto* label = Add<TTraceLabel>(inherits, "label", 0, 0, 5, 5);
    own->SetColor(clRed);
    own->Font()->SetHeight(-20);
    EXPECT_FALSE(own->ParentColor());
    EXPECT_FALSE(own->ParentFont()) << "a child's own value clears the flag";
    form->SetColor(clYellow);
    form->Font()->SetName("Serif");
    EXPECT_EQ(inherits->Color(), clYellow);
    EXPECT_EQ(label->Color(), clYellow) << "through two levels";
    EXPECT_EQ(inherits->Font()->Name(), "Serif");
    EXPECT_TRUE(inherits->ParentColor());
    EXPECT_TRUE(inherits->ParentFont());
    EXPECT_EQ(own->Color(), clRed);
    EXPECT_EQ(own->Font()->Name(), "Sans");
    own->SetParentColor(true);
    EXPECT_EQ(own->Color(), clYellow);
}

TEST_F(Controls, ACanvasTakenOutsidePaintingIsReleasedWhenTheMessageReturns)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    auto* l = Add<TTraceLabel>(form, "l", 60, 0, 30, 30);
    form->Show();
    Pump();
    bool heldInside = false;
    c->OnClick = TNotifyEvent::FromFunction([&](TObject*) {
        c->Canvas()->Brush()->SetColor(clLime);
        c->Canvas()->FillRect(RECT{0, 0, 10, 10});
        l->Canvas()->Brush()->SetColor(clRed);
        l->Canvas()->FillRect(RECT{0, 0, 10, 10});
        heldInside = c->Canvas()->HandleAllocated() && l->Canvas()->HandleAllocated();
    });
    ClickAt(c, 20, 20);
    EXPECT_TRUE(heldInside);
    EXPECT_FALSE(c->Canvas()->HandleAllocated());
    EXPECT_FALSE(l->Canvas()->HandleAllocated());
    EXPECT_EQ(Screen().ClientPixel(c->Handle(), 5, 5), 0x00FF00u);
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 65, 5), 0xFF0000u) << "a graphic control draws at its place";
}

TEST_F(Controls, AskingAChildForItsWindowMakesItsParentsOnce)
{
    TForm* form = NewForm();
    auto* panel = Add<TTraceControl>(form, "panel", 0, 0, 100, 100);
    auto* inner = Add<TTraceControl>(panel, "inner", 0, 0, 20, 20);
    ASSERT_FALSE(form->HandleAllocated());
    HWND h = inner->Handle();
    EXPECT_TRUE(form->HandleAllocated());
    EXPECT_EQ(GetParent(h), panel->Handle());
    auto children = [](HWND parent) {
        int n = 0;
        for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++n;
        return n;
    };
    EXPECT_EQ(children(form->Handle()), 1);
    EXPECT_EQ(children(panel->Handle()), 1);
    EXPECT_EQ(TWinControl::FindControl(h), inner);
}

TEST_F(Controls, RecreatingAWindowKeepsItsTextChildrenAndVisibility)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    auto* hidden = Add<TTraceControl>(form, "hidden", 60, 0, 50, 50);
    hidden->SetVisible(false);
    form->Show();
    Pump();
    SetWindowTextA(c->Handle(), "typed");
    const HWND oldForm = form->Handle();
    const HWND oldChild = c->Handle();
    form->SetBorderStyle(bsDialog);
    Pump();
    EXPECT_NE(form->Handle(), oldForm);
    EXPECT_FALSE(IsWindow(oldForm));
    EXPECT_NE(c->Handle(), oldChild);
    EXPECT_EQ(GetParent(c->Handle()), form->Handle());
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_TRUE(IsWindowVisible(c->Handle()));
    EXPECT_FALSE(hidden->HandleAllocated() && IsWindowVisible(hidden->Handle()));
    EXPECT_EQ(c->Text(), "typed");
    EXPECT_EQ(TWinControl::FindControl(c->Handle()), c);
    EXPECT_EQ(TWinControl::FindControl(oldChild), nullptr);
}

TEST_F(Controls, GraphicChildrenPaintAfterTheirParent)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 100, 100);
    auto* l = Add<TTraceLabel>(c, "l", 10, 10, 20, 20);
    l->SetColor(clRed);
    c->SetColor(clBlue);
    form->Show();
    Pump();
    Log().clear();
    c->Repaint();
    Pump();
    EXPECT_EQ(Log(), (Trace{"c paint", "l paint"}));
    EXPECT_EQ(Screen().ClientPixel(c->Handle(), 15, 15), 0xFF0000u);
    EXPECT_EQ(Screen().ClientPixel(c->Handle(), 50, 50), 0x0000FFu);
    // A DC in wParam is painted into.
    HDC mem = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 100;
    info.bmiHeader.biHeight = -100;
    info.bmiHeader.biBitCount = 32;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    Log().clear();
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    EXPECT_EQ(Log(), (Trace{"c paint", "l paint"}));
    EXPECT_EQ(GetPixel(mem, 15, 15), static_cast<COLORREF>(clRed));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
}

}  // namespace

namespace {

TEST(ControlMessages, PinnedNumbers)
{
    struct Case {
        UINT msg;
        UINT value;
    };
    const Case cases[] = {
        {CM_ACTIVATE, 0xB000},      {CM_DEACTIVATE, 0xB001},        {CM_DIALOGCHAR, 0xB006},
        {CM_PARENTCOLORCHANGED, 0xB009}, {CM_ENABLEDCHANGED, 0xB00C}, {CM_FONTCHANGED, 0xB00E},
        {CM_MOUSEENTER, 0xB013},    {CM_MOUSELEAVE, 0xB014},        {CM_APPKEYDOWN, 0xB016},
        {CM_APPSYSCOMMAND, 0xB017}, {CM_WININICHANGE, 0xB025},      {CM_GETDATALINK, 0xB02D},
        {CM_RECREATEWND, 0xB033},   {CN_DRAWITEM, 0xBC2B},          {CN_MEASUREITEM, 0xBC2C},
        {CN_KEYDOWN, 0xBD00},       {CN_KEYUP, 0xBD01},             {CN_CHAR, 0xBD02},
        {CN_SYSKEYDOWN, 0xBD04},
    };
    for (const Case& k : cases) EXPECT_EQ(k.msg, k.value) << std::hex << k.value;
    EXPECT_EQ(static_cast<int>(csReplicatable), 11);
}

}  // namespace
