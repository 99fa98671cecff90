// Forms, the application loop, timers, hints, popup menus, cursors and drag
// and drop, driven through the headless display and the manual clock.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include "platform/controls/winctl.h"
#include "platform/hostlib/visual/dragdrop.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;
namespace gfx = quelvo::gfx;

namespace {

class Forms : public VisualTest {
protected:
    // Runs steps one per idle step of whatever loop is running; when they
    // run out the modal form is ended with mrAbort so that a test fails
    // instead of hanging.
    void Script(std::vector<std::function<void()>> steps, TCustomForm* modal = nullptr)
    {
        script_ = std::move(steps);
        step_ = 0;
        Application->OnIdle = TIdleEvent::FromFunction([this, modal](TObject*, bool& done) {
            done = false;
            if (inStep_) return;  // a step that pumps itself
            if (step_ < script_.size()) {
                inStep_ = true;
                script_[step_++]();
                inStep_ = false;
            } else {
                Log().push_back("script exhausted");
                if (modal) modal->SetModalResult(mrAbort);
                Application->Terminate();
            }
        });
    }
    // A popup menu with one item on c; the form shown and c focused.
    TMenuItem* MenuOn(TForm* form, TTraceControl* c, std::function<void()> onClick)
    {
        auto* menu = CreateObject<TPopupMenu>(form);
        auto* item = CreateObject<TMenuItem>(form);
        item->OnClick = TNotifyEvent::FromFunction([onClick](TObject*) { onClick(); });
        menu->Items()->Add(item);
        c->SetPopupMenu(menu);
        form->Show();
        Pump();
        c->SetFocus();
        Pump();
        return item;
    }
    std::vector<std::function<void()>> script_;
    std::size_t step_ = 0;
    bool inStep_ = false;
};

void DrainQueue()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST_F(Forms, ShowModalEndsOnModalResultAfterCloseQueryAndOnClose)
{
    struct Case {
        std::string name;
        bool refuseOnce;
        TCloseAction action;
        std::function<void(TForm*, TTestButton*)> end;
        TModalResult expected;
        int closeQueries;
    };
    const Case cases[] = {
        {"ok button", false, caHide, [this](TForm*, TTestButton* b) { ClickAt(b); }, mrOk, 1},
        {"close", false, caHide, [](TForm* f, TTestButton*) { PostMessageA(f->Handle(), WM_CLOSE, 0, 0); }, mrCancel, 1},
        {"escape", false, caHide, [this](TForm*, TTestButton*) { Key(VK_ESCAPE); }, mrCancel, 1},
        {"refused once", true, caHide, [this](TForm*, TTestButton* b) { ClickAt(b); }, mrOk, 2},
        {"close action none once", false, caNone, [this](TForm*, TTestButton* b) { ClickAt(b); }, mrOk, 2},
    };
    for (const Case& k : cases) {
        TForm* main = NewForm();
        main->Show();
        Pump();
        TForm* dialog = NewForm(200, 100);
        auto* ok = Add<TTestButton>(dialog, "ok", 0, 0, 50, 20);
        ok->modalResult = mrOk;
        auto* cancel = Add<TTestButton>(dialog, "cancel", 60, 0, 50, 20);
        cancel->isCancel = true;
        cancel->modalResult = mrCancel;
        int queries = 0;
        bool refuse = k.refuseOnce;
        dialog->OnCloseQuery = TCloseQueryEvent::FromFunction([&](TObject*, bool& can) {
            ++queries;
            can = !refuse;
            refuse = false;
        });
        TCloseAction action = k.action;
        dialog->OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction& a) {
            a = action;
            action = caHide;
        });
        bool mainDisabled = false;
        Script({[&] { mainDisabled = !IsWindowEnabled(main->Handle()); },
                [&] { k.end(dialog, ok); },
                [&] {
                    clock_.Advance(1000);  // no double click
                    k.end(dialog, ok);
                }},
               dialog);
        EXPECT_EQ(dialog->ShowModal(), k.expected) << k.name;
        EXPECT_EQ(queries, k.closeQueries) << k.name;
        EXPECT_TRUE(mainDisabled) << k.name;
        EXPECT_TRUE(IsWindowEnabled(main->Handle())) << k.name;
        EXPECT_FALSE(dialog->Visible()) << k.name;
        Application->OnIdle = nullptr;
        dialog->Free();
        main->Free();
        Application->SetMainForm(nullptr);
        DrainQueue();
    }
}

TEST_F(Forms, FramesPositionsAndStylesOfForms)
{
    TForm* main = NewForm(400, 300);
    main->SetLeft(100);
    main->SetTop(50);
    main->Show();
    Pump();
    const RECT work = hostlib::Screen->WorkAreaRect();
    struct Case {
        TFormBorderStyle border;
        TPosition position;
        TFormStyle style;
        RECT around;  // the form is centred in it; empty: stays where placed
    };
    const Case cases[] = {
        {bsSizeToolWin, poScreenCenter, fsStayOnTop, work},
        {bsDialog, poMainFormCenter, fsNormal, RECT{100, 50, 500, 350}},
        {bsSingle, poDesigned, fsMDIChild, RECT{}},
    };
    for (const Case& k : cases) {
        TForm* form = NewForm(200, 100);
        form->SetBorderStyle(k.border);
        form->SetBorderIcons({biSystemMenu});
        form->SetPosition(k.position);
        form->SetFormStyle(k.style);
        form->SetBounds(7, 8, 200, 100);
        form->SetClientWidth(150);
        const int clientBeforeWindow = form->ClientWidth();
        form->Show();
        Pump();
        EXPECT_EQ(form->ClientWidth(), 150) << k.border;
        EXPECT_EQ(clientBeforeWindow, 150) << k.border;
        EXPECT_EQ(form->FormStyle(), k.style == fsMDIChild ? fsNormal : k.style) << "no MDI";
        const LONG_PTR ex = GetWindowLongA(form->Handle(), GWL_EXSTYLE);
        EXPECT_EQ((ex & WS_EX_TOPMOST) != 0, k.style == fsStayOnTop);
        EXPECT_EQ((ex & WS_EX_TOOLWINDOW) != 0, k.border == bsSizeToolWin);
        const bool centred = k.around.right > k.around.left;
        const int expectedLeft = centred ? k.around.left + (k.around.right - k.around.left - form->Width()) / 2 : 7;
        const int expectedTop = centred ? k.around.top + (k.around.bottom - k.around.top - form->Height()) / 2 : 8;
        EXPECT_EQ(form->Left(), expectedLeft) << k.position;
        EXPECT_EQ(form->Top(), expectedTop) << k.position;
        form->Free();
    }
}

TEST_F(Forms, AFormWithAParentIsAChildWindowAndTopLevelAgainWithout)
{
    TForm* outer = NewForm(400, 300);
    auto* panel = Add<TTraceControl>(outer, "panel", 20, 30, 250, 200);
    panel->SetColor(clNavy);
    auto* before = Add<TTraceControl>(outer, "before", 300, 30, 50, 20);
    before->SetTabStop(true);
    outer->Show();
    Pump();
    before->SetFocus();
    Pump();
    TForm* inner = NewForm(200, 120);
    inner->SetColor(clLime);
    auto* field = Add<TTraceControl>(inner, "field", 10, 10, 80, 20);
    field->SetTabStop(true);
    field->SetColor(clYellow);
    inner->Show();
    Pump();
    ASSERT_NE(GetWindowLongA(inner->Handle(), GWL_STYLE) & WS_CAPTION, 0);

    inner->SetParent(panel);
    inner->SetBounds(5, 6, 200, 120);
    Pump();
    const LONG_PTR style = GetWindowLongA(inner->Handle(), GWL_STYLE);
    EXPECT_NE(style & WS_CHILD, 0);
    EXPECT_EQ(style & WS_CAPTION, 0) << "no frame or caption";
    EXPECT_EQ(GetParent(inner->Handle()), panel->Handle());
    EXPECT_EQ(inner->ClientWidth(), 200);
    const POINT origin = panel->ClientToScreen(POINT{5, 6});
    EXPECT_EQ(Screen().ScreenPixel(origin.x + 150, origin.y + 100), 0x00FF00u) << "shown inside the panel";
    EXPECT_EQ(Screen().ScreenPixel(origin.x + 20, origin.y + 15), 0xFFFF00u);

    // Clicking into it does not activate it; its controls' focus is the
    // outer form's.
    ClickAt(field);
    EXPECT_EQ(GetActiveWindow(), outer->Handle());
    field->SetFocus();
    Pump();
    EXPECT_EQ(GetFocus(), field->Handle());
    EXPECT_EQ(outer->ActiveControl(), field);

    outer->Hide();
    Pump();
    EXPECT_FALSE(IsWindowVisible(inner->Handle())) << "hidden with its parent";
    outer->Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(inner->Handle()));

    inner->SetParent(nullptr);
    Pump();
    ASSERT_TRUE(inner->HandleAllocated());
    EXPECT_NE(GetWindowLongA(inner->Handle(), GWL_STYLE) & WS_CAPTION, 0) << "top-level again";
    EXPECT_EQ(GetParent(inner->Handle()), nullptr);
    EXPECT_TRUE(IsWindowVisible(inner->Handle()));
    inner->Free();
    outer->Free();
}

TEST_F(Forms, OnPaintDrawsOnTheFormsCanvasBeforeGraphicChildren)
{
    TForm* form = NewForm(100, 100);
    auto* label = Add<TTraceLabel>(form, "label", 50, 50, 20, 20);
    label->SetColor(clBlue);
    form->OnPaint = TNotifyEvent::FromFunction([form](TObject*) {
        Log().push_back("form paint");
        form->Canvas()->Brush()->SetColor(clRed);
        form->Canvas()->FillRect(RECT{0, 0, 100, 100});
    });
    form->Show();
    Pump();
    Log().clear();
    form->Repaint();
    Pump();
    EXPECT_EQ(Log(), (Trace{"form paint", "label paint"}));
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 10, 10), 0xFF0000u);
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 55, 55), 0x0000FFu);
}

TEST_F(Forms, TheSystemMenuCanBeEdited)
{
    TForm* form = NewForm();
    form->SetBorderStyle(bsSizeToolWin);
    form->Show();
    HMENU menu = GetSystemMenu(form->Handle(), FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 7);
    DeleteMenu(menu, 7, MF_BYPOSITION);
    DeleteMenu(menu, 5, MF_BYPOSITION);
    for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) DeleteMenu(menu, command, MF_BYCOMMAND);
    std::vector<UINT> left;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) left.push_back(GetMenuItemID(menu, i));
    EXPECT_EQ(left, (std::vector<UINT>{SC_MOVE, SC_SIZE, SC_CLOSE}));
    EXPECT_EQ(GetSystemMenu(form->Handle(), FALSE), menu) << "the same, edited menu";
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(form->Handle(), TRUE)), 7) << "revert restores it";
    EXPECT_EQ(GetSystemMenu(nullptr, FALSE), nullptr);
    // Alt+Space opens it; its Close closes the form.
    Pump();
    int closes = 0;
    form->OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction& a) {
        ++closes;
        a = caNone;
    });
    Screen().KeyDown(VK_MENU);
    Screen().PressKey(VK_SPACE);
    Screen().KeyUp(VK_MENU);
    Screen().TypeText("c");
    Pump();
    EXPECT_EQ(closes, 1);
}

TEST_F(Forms, ShowModalRefusesAVisibleForm)
{
    TForm* form = NewForm();
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
}

TEST_F(Forms, CloseActionsOnTheMainFormEndRun)
{
    struct Case {
        TCloseAction action;
        bool ends;
    };
    const Case cases[] = {{caHide, true}, {caFree, true}, {caMinimize, true}, {caNone, false}};
    for (const Case& k : cases) {
        TForm* main = NewForm();
        main->OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction& a) { a = k.action; });
        Script({[&] { PostMessageA(main->Handle(), WM_CLOSE, 0, 0); }, [] {}, [] {}});
        Log().clear();
        Application->Run();
        const bool exhausted = !Log().empty() && Log().back() == "script exhausted";
        EXPECT_EQ(!exhausted, k.ends) << k.action;
        Application->OnIdle = nullptr;
        if (Application->MainForm()) Application->MainForm()->Free();
        DrainQueue();
        // A fresh application for the next case.
        DoneVisualLibrary();
        InitVisualLibrary();
        Application->SetMessageBoxResponder([](const std::string&, const std::string&, UINT) { return IDOK; });
    }
}

TEST_F(Forms, CloseActionsOfOtherForms)
{
    NewForm();  // the main form
    struct Case {
        TCloseAction action;
        bool visible;
        bool freed;
    };
    const Case cases[] = {{caHide, false, false}, {caFree, true, true}, {caNone, true, false}};
    for (const Case& k : cases) {
        TForm* form = NewForm();
        form->Show();
        Pump();
        form->OnClose = TCloseEvent::FromFunction([&](TObject*, TCloseAction& a) { a = k.action; });
        auto alive = form->AliveToken();
        form->Close();
        EXPECT_TRUE(*alive) << "freed only after the current message";
        if (*alive) {
            EXPECT_EQ(form->Visible(), k.visible) << k.action;
        }
        Pump();
        EXPECT_EQ(!*alive, k.freed) << k.action;
        if (*alive) form->Free();
    }
}

TEST_F(Forms, AFormReleasedInItsOwnClickIsFreedAfterTheMessage)
{
    TForm* form = NewForm();
    auto* b = Add<TTestButton>(form, "b", 0, 0, 40, 20);
    b->OnClick = TNotifyEvent::FromFunction([form](TObject*) { form->Release(); });
    form->Show();
    Pump();
    auto alive = form->AliveToken();
    Screen().Click(At(b));
    Pump();
    EXPECT_FALSE(*alive);
    EXPECT_EQ(hostlib::Screen->FormCount(), 0);
}

// ---- timers ---------------------------------------------------------------------------

TEST_F(Forms, TimersFireOnTheManualClock)
{
    struct Case {
        unsigned interval;
        bool enabled;
        std::uint64_t advance;
        int fired;
    };
    const Case cases[] = {{100, true, 350, 3}, {100, false, 350, 0}, {0, true, 5000, 0}, {1000, true, 999, 0}};
    for (const Case& k : cases) {
        int fired = 0;
        TTimer* t = CreateObject<TTimer>(nullptr);
        t->SetInterval(k.interval);
        t->SetEnabled(k.enabled);
        t->OnTimer = TNotifyEvent::FromFunction([&](TObject*) { ++fired; });
        for (std::uint64_t done = 0; done < k.advance; done += 50) Advance(std::min<std::uint64_t>(50, k.advance - done));
        EXPECT_EQ(fired, k.fired) << k.interval << " " << k.advance;
        t->Free();
    }
}

TEST_F(Forms, ATimerOutlivesACloseRequestToEveryWindowOfTheProgram)
{
    int fired = 0;
    ObjectPtr<TTimer> t(CreateObject<TTimer>(nullptr));
    t->SetInterval(100);
    t->OnTimer = TNotifyEvent::FromFunction([&](TObject*) { ++fired; });
    // What a termination signal or another program closing this one does.
    EnumWindows([](HWND hwnd, LPARAM) -> BOOL { return PostMessageA(hwnd, WM_CLOSE, 0, 0); }, 0);
    Pump();
    Advance(100);
    EXPECT_EQ(fired, 1);
}

TEST_F(Forms, ChangingATimerRestartsItsCount)
{
    int fired = 0;
    ObjectPtr<TTimer> t(CreateObject<TTimer>(nullptr));
    t->SetInterval(100);
    t->OnTimer = TNotifyEvent::FromFunction([&](TObject*) { ++fired; });
    Advance(80);
    t->SetInterval(150);
    Advance(80);
    EXPECT_EQ(fired, 0);
    Advance(80);
    EXPECT_EQ(fired, 1);
}

TEST_F(Forms, ATimerFreedInItsOwnHandlerAndThrowingTimers)
{
    int fired = 0;
    TTimer* t = CreateObject<TTimer>(nullptr);
    t->SetInterval(10);
    t->OnTimer = TNotifyEvent::FromFunction([&](TObject* sender) {
        ++fired;
        sender->Free();
    });
    Advance(50);
    Advance(50);
    EXPECT_EQ(fired, 1);
    ObjectPtr<TTimer> thrower(CreateObject<TTimer>(nullptr));
    thrower->SetInterval(10);
    thrower->OnTimer = TNotifyEvent::FromFunction([](TObject*) { throw Exception("tick failed"); });
    Advance(10);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "tick failed.");
}

TEST_F(Forms, TimersFireInsideShowModal)
{
    TForm* dialog = NewForm();
    int fired = 0;
    ObjectPtr<TTimer> t(CreateObject<TTimer>(nullptr));
    t->SetInterval(100);
    t->OnTimer = TNotifyEvent::FromFunction([&](TObject*) { ++fired; });
    // One message per due timer: a long step counts once.
    Script({[&] { clock_.Advance(150); }, [] {}, [&] { clock_.Advance(100); }, [] {}, [&] { clock_.Advance(500); },
            [] {}, [&] { dialog->SetModalResult(mrOk); }},
           dialog);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(fired, 3);
}

// ---- hints and cursors -------------------------------------------------------------------

TEST_F(Forms, HintsFollowTheMousePath)
{
    TForm* form = NewForm();
    auto* panel = Add<TTraceControl>(form, "panel", 0, 0, 100, 100);
    panel->SetHint("Panel|Long panel");
    auto* inner = Add<TTraceControl>(panel, "inner", 10, 10, 30, 30);
    auto* label = Add<TTraceLabel>(form, "label", 150, 0, 40, 20);
    label->SetHint("Label|Long label");
    form->Show();
    Pump();
    Trace hints;
    Application->OnHint = TNotifyEvent::FromFunction([&](TObject*) { hints.push_back(Application->Hint()); });
    struct Step {
        TControl* over;
        int x;
        int y;
        std::string hint;
    };
    const Step steps[] = {
        {inner, 5, 5, "Long panel"}, {inner, 8, 8, "Long panel"}, {panel, 80, 80, "Long panel"},
        {label, 5, 5, "Long label"}, {form, 250, 150, ""},
    };
    for (const Step& s : steps) {
        Screen().MoveMouse(At(s.over, s.x, s.y));
        Pump();
        EXPECT_EQ(Application->Hint(), s.hint);
    }
    EXPECT_EQ(hints, (Trace{"Long panel", "Long label", ""})) << "OnHint only on a change";
    EXPECT_EQ(Application->HintWindow(), nullptr) << "no tooltip without ShowHint";
    // With ShowHint the short part shows after the pause; CM_HINTSHOW may refuse.
    label->SetShowHint(true);
    Screen().MoveMouse(At(label));
    Pump();
    Advance(600);
    ASSERT_NE(Application->HintWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Application->HintWindow()->Handle()));
    EXPECT_EQ(Application->HintWindow()->Caption(), "Label");
    EXPECT_TRUE(GetWindowLongA(Application->HintWindow()->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetActiveWindow(), form->Handle()) << "the hint never takes the activation";
    auto hintShown = [] {
        return Application->HintWindow() && Application->HintWindow()->HandleAllocated() &&
               IsWindowVisible(Application->HintWindow()->Handle());
    };
    Advance(Application->HintHidePause() + 100);
    EXPECT_FALSE(hintShown()) << "hidden after the hide pause";
    Screen().MoveMouse(At(form, 250, 150));
    Pump();
    Screen().MoveMouse(At(label, 6, 6));
    Pump();
    Advance(600);
    EXPECT_TRUE(hintShown());
    Screen().MoveMouse(At(form, 250, 150));
    Pump();
    EXPECT_FALSE(hintShown()) << "leaving the control hides it";
    // A control may refuse through CM_HINTSHOW.
    TWndMethod previous = label->WindowProc;
    label->WindowProc = [previous](TMessage& m) {
        if (m.Msg == CM_HINTSHOW) {
            m.Result = 1;
            return;
        }
        previous(m);
    };
    Screen().MoveMouse(At(label, 5, 5));
    Pump();
    Advance(600);
    EXPECT_FALSE(hintShown());
    EXPECT_EQ(Application->Hint(), "Long label") << "the status hint still follows";
}

TEST_F(Forms, ExceptionsInIdleHandlersShowOneBoxAndTheLoopGoesOn)
{
    int calls = 0;
    Application->OnIdle = TIdleEvent::FromFunction([&](TObject*, bool& done) {
        done = false;
        if (++calls == 1) throw EConvertError("idle failed");
        if (calls == 2) Abort();
        Application->Terminate();
    });
    Application->Run();
    EXPECT_EQ(calls, 3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "idle failed.");
    EXPECT_EQ(boxes[0].caption, "Visual");
}

TEST_F(Forms, ScreenCursorWinsOverTheControlsCursor)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    c->SetCursor(crHandPoint);
    form->Show();
    Pump();
    struct Step {
        TCursor screen;
        WORD expected;
    };
    const Step steps[] = {{crDefault, IDC_HAND_ID}, {crHourGlass, IDC_WAIT_ID}, {crDefault, IDC_HAND_ID}};
    int x = 5;
    for (const Step& s : steps) {
        hostlib::Screen->SetCursor(s.screen);
        Screen().MoveMouse(At(c, x++, 5));
        Pump();
        EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), s.expected) << s.screen;
    }
    hostlib::Screen->SetCursors(2108, LoadCursorA(nullptr, IDC_CROSS));
    EXPECT_EQ(quelvo::win::StandardCursorId(hostlib::Screen->Cursors(2108)), IDC_CROSS_ID);
    EXPECT_EQ(quelvo::win::StandardCursorId(hostlib::Screen->Cursors(4101)), IDC_ARROW_ID) << "unknown: default";
}

// ---- popup menus ----------------------------------------------------------------------------

TEST_F(Forms, PopupMenusOpenOnRightClickAndMenuKeyWithAutoPopup)
{
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 20, 20, 50, 50);
    MenuOn(form, c, [] { Log().push_back("item click"); });
    TPopupMenu* menu = c->PopupMenu();
    TPopupMenu::SetTracker([](TPopupMenu* m, int x, int y) {
        Log().push_back("track " + std::to_string(x) + "," + std::to_string(y) + " " +
                        (m->PopupComponent() ? m->PopupComponent()->Name() : "-"));
        return m->Items()->Items(0);
    });
    const POINT origin = c->ClientToScreen(POINT{0, 0});
    const std::string at = std::to_string(origin.x + 5) + "," + std::to_string(origin.y + 5);
    const std::string atOrigin = std::to_string(origin.x) + "," + std::to_string(origin.y);
    struct Case {
        bool autoPopup;
        bool byKey;
        Trace expected;
    };
    const Case cases[] = {
        {true, false, {"track " + at + " c", "item click"}},
        {false, false, {}},
        {true, true, {"track " + atOrigin + " c", "item click"}},
        {false, true, {}},
    };
    for (const Case& k : cases) {
        menu->SetAutoPopup(k.autoPopup);
        Log().clear();
        if (k.byKey) {
            Key(VK_APPS);
        } else {
            Screen().Click(At(c), quelvo::win::MouseButton::Right);
            Pump();
        }
        Trace menuLog;
        for (const auto& s : Log())
            if (s.rfind("track", 0) == 0 || s == "item click") menuLog.push_back(s);
        EXPECT_EQ(menuLog, k.expected) << k.autoPopup << k.byKey;
    }
}

TEST_F(Forms, ShortCutsOfThePopupMenuClickTheirItem)
{
    EXPECT_EQ(ShortCut(VK_RETURN, TShiftState{ssCtrl}), 16397);
    TForm* form = NewForm();
    auto* c = Add<TTraceControl>(form, "c", 0, 0, 50, 50);
    int clicks = 0;
    TMenuItem* item = MenuOn(form, c, [&] { ++clicks; });
    item->SetShortCut(ShortCut(VK_RETURN, TShiftState{ssCtrl}));
    Log().clear();
    KeyWith(VK_CONTROL, VK_RETURN);
    EXPECT_EQ(clicks, 1);
    Key(VK_RETURN);
    EXPECT_EQ(clicks, 1) << "Enter alone is no shortcut";
    item->SetEnabled(false);
    KeyWith(VK_CONTROL, VK_RETURN);
    EXPECT_EQ(clicks, 1) << "disabled items take no shortcut";
}

// ---- drag and drop ---------------------------------------------------------------------------

class Drag : public VisualTest {
protected:
    void Build()
    {
        form = NewForm(400, 200);
        source = Add<TTraceControl>(form, "source", 0, 0, 50, 50);
        source->SetDragMode(dmAutomatic);
        accepting = Add<TTraceControl>(form, "accepting", 100, 0, 50, 50);
        refusing = Add<TTraceLabel>(form, "refusing", 200, 0, 50, 50);
        auto over = [](TObject* self, TObject* src, int, int, TDragState state, bool& accept, bool answer) {
            static const char* names[] = {"enter", "leave", "move"};
            Log().push_back(static_cast<TComponent*>(self)->Name() + " over " + names[state] + " from " +
                            static_cast<TComponent*>(src)->Name());
            accept = answer;
        };
        accepting->OnDragOver = TDragOverEvent::FromFunction(
            [over](TObject* s, TObject* src, int x, int y, TDragState st, bool& a) { over(s, src, x, y, st, a, true); });
        refusing->OnDragOver = TDragOverEvent::FromFunction(
            [over](TObject* s, TObject* src, int x, int y, TDragState st, bool& a) { over(s, src, x, y, st, a, false); });
        accepting->OnDragDrop = TDragDropEvent::FromFunction([](TObject* self, TObject* src, int x, int y) {
            Log().push_back(static_cast<TComponent*>(self)->Name() + " drop " + static_cast<TComponent*>(src)->Name() +
                            " at " + std::to_string(x) + "," + std::to_string(y));
        });
        source->OnEndDrag = TEndDragEvent::FromFunction([](TObject*, TObject* target, int, int) {
            Log().push_back(std::string("end ") + (target ? static_cast<TComponent*>(target)->Name() : "nil"));
        });
        form->Show();
        Pump();
    }
    Trace DragLog()
    {
        Trace t;
        for (const auto& s : Log())
            if (s.find(" over ") != std::string::npos || s.find(" drop ") != std::string::npos || s.rfind("end", 0) == 0 ||
                s.find(" drag canceled") != std::string::npos)
                t.push_back(s);
        return t;
    }
    TForm* form = nullptr;
    TTraceControl* source = nullptr;
    TTraceControl* accepting = nullptr;
    TTraceLabel* refusing = nullptr;
};

TEST_F(Drag, OverTwoTargetsThenDropOrCancel)
{
    Build();
    struct Case {
        std::string name;
        std::function<void()> finish;
        Trace tail;
    };
    const Case cases[] = {
        {"drop on the accepting target",
         [&] {
             Screen().MoveMouse(At(accepting, 10, 12));
             Screen().ButtonUp(At(accepting, 10, 12));
         },
         {"refusing over leave from source", "accepting over enter from source", "accepting over move from source",
          "accepting over move from source", "accepting drop source at 10,12", "end accepting"}},
        {"drop where nothing accepts",
         [&] { Screen().ButtonUp(At(refusing, 10, 10)); },
         {"refusing over move from source", "refusing over leave from source", "source drag canceled", "end nil"}},
        {"escape",
         [&] {
             Screen().MoveMouse(At(accepting, 10, 12));
             Screen().PressKey(VK_ESCAPE);
         },
         {"refusing over leave from source", "accepting over enter from source", "accepting over move from source",
          "accepting over leave from source", "source drag canceled", "end nil"}},
        {"right button",
         [&] { Screen().ButtonDown(At(refusing, 10, 10), quelvo::win::MouseButton::Right); },
         {"refusing over leave from source", "source drag canceled", "end nil"}},
    };
    for (const Case& k : cases) {
        Log().clear();
        Screen().ButtonDown(At(source, 10, 10));
        Pump();
        Screen().MoveMouse(At(source, 12, 12));
        Pump();
        EXPECT_TRUE(DragLog().empty()) << "under the threshold nothing moves yet";
        Screen().MoveMouse(At(accepting, 5, 5));
        Pump();
        EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), IDC_ARROW_ID) << "accepted: the drag cursor";
        Screen().MoveMouse(At(refusing, 5, 5));
        Pump();
        EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), IDC_NO_ID) << "refused: no drop";
        k.finish();
        Pump();
        Trace expected = {"accepting over enter from source", "accepting over move from source",
                          "accepting over leave from source", "refusing over enter from source",
                          "refusing over move from source"};
        expected.insert(expected.end(), k.tail.begin(), k.tail.end());
        EXPECT_EQ(DragLog(), expected) << k.name;
        EXPECT_FALSE(source->Dragging()) << k.name;
        Screen().ButtonUp(At(form, 380, 180));
        Screen().ButtonUp(At(form, 380, 180), quelvo::win::MouseButton::Right);
        Pump();
        clock_.Advance(1000);
    }
}

}  // namespace

namespace {

class Streaming : public VisualTest {};

TEST_F(Streaming, FormResourcesNestControlsAndMenuItems)
{
    RegisterClasses({TTraceControl::StaticClass(), TTraceLabel::StaticClass()});
    TForm* form = NewForm();
    const char* text = R"(Form1 : TForm {
  Width = 250;
  BorderStyle = bsDialog;
  BorderIcons = [biSystemMenu];
  Position = poScreenCenter;
  Scaled = False;
  PixelsPerInch = 120;
  TextHeight = 13;
  ClientHeight = 150;
  Font.Name = "Serif";
  Font.Height = -13;
  Font.Style = [fsBold];
  Constraints.MinWidth = 200;
  Panel : TTraceControl {
    Align = alTop;
    Anchors = [akLeft, akTop, akRight];
    PopupMenu = Menu;
    Left = 5;
    Top = 6;
    Width = 100;
    Height = 50;
    Inner : TTraceLabel {
      Left = 1;
      Width = 20;
      Height = 10;
      Caption = "inner";
    }
  }
  Menu : TPopupMenu {
    Open : TMenuItem {
      Caption = "&Open";
      Sub : TMenuItem {
        Caption = "Sub";
      }
    }
  }
  Tick : TTimer {
    Interval = 250;
  }
})";
    ReadFormResource(form, text, "stream.form");
    EXPECT_EQ(form->Width(), 250);
    EXPECT_EQ(form->BorderStyle(), bsDialog);
    EXPECT_EQ(form->BorderIcons(), TBorderIcons{biSystemMenu});
    EXPECT_EQ(form->Position(), poScreenCenter);
    EXPECT_FALSE(form->Scaled());
    EXPECT_EQ(form->ClientHeight(), 150);
    EXPECT_EQ(form->Font()->Name(), "Serif");
    EXPECT_EQ(form->Font()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(form->Constraints()->MinWidth(), 200);
    auto* panel = As<TTraceControl>(FindControlByName(form, "Panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Parent(), form);
    EXPECT_EQ(panel->Align(), alTop);
    EXPECT_EQ(panel->Width(), form->ClientWidth()) << "aligned after loading";
    EXPECT_EQ(panel->Font()->Name(), "Serif") << "the parent's font reached it";
    EXPECT_EQ(panel->PopupMenu(), form->FindComponent("Menu")) << "a reference resolved after loading";
    TControl* inner = FindControlByName(form, "Inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Parent(), panel);
    EXPECT_EQ(inner->Caption(), "inner");
    auto* menu = As<TPopupMenu>(form->FindComponent("Menu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->Items()->Count(), 1);
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), "&Open");
    ASSERT_EQ(menu->Items()->Items(0)->Count(), 1);
    EXPECT_EQ(As<TTimer>(form->FindComponent("Tick"))->Interval(), 250u);
    const std::string written = WriteFormResource(form);
    for (const char* part : {"Inner : TTraceLabel", "Sub : TMenuItem", "Tick : TTimer", "BorderStyle = bsDialog",
                              "Align = alTop", "PopupMenu = Menu", "Style = [fsBold]"})
        EXPECT_NE(written.find(part), std::string::npos) << part << "\n" << written;
    // The test seams reach controls by name.
    form->Show();
    Pump();
    Log().clear();
    ClickControl(form, "panel");
    EXPECT_NE(std::find(Log().begin(), Log().end(), "Panel click"), Log().end());
    Log().clear();
    TypeIntoControl(form, "Panel", "ok");
    EXPECT_NE(std::find(Log().begin(), Log().end(), "Panel char k"), Log().end());
    EXPECT_THROW(ClickControl(form, "Nothing"), EComponentError);
}

}  // namespace

namespace {

// One square image of one colour.
ObjectPtr<TDragImageList> SolidDragImages(int size, std::uint32_t argb)
{
    ObjectPtr<TDragImageList> images(CreateObject<TDragImageList>(nullptr));
    images->SetSize(size, size);
    gfx::Picture picture;
    picture.width = picture.height = size;
    picture.pixels.assign(static_cast<std::size_t>(size * size), argb);
    images->AddPixels(picture);
    return images;
}

class TImageDragObject : public TDragControlObject {
public:
    TDragImageList* images = nullptr;
    TDragImageList* GetDragImages() override { return images; }
};

TEST_F(Drag, CancellingFromTheStartHandlerRefusesTheDrag)
{
    Build();
    source->OnStartDrag = TStartDragEvent::FromFunction([](TObject*, TDragObject*&) { CancelDrag(); });
    source->BeginDrag(true);
    EXPECT_FALSE(DraggingAny());
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(GetCaptureControl(), nullptr);
    source->OnStartDrag = nullptr;
    source->BeginDrag(false);
    EXPECT_TRUE(source->Dragging()) << "the next drag starts as usual";
    CancelDrag();
    Pump();
}

TEST_F(Drag, TheDragImageFollowsTheMouseInATopmostDisabledWindow)
{
    Build();
    ObjectPtr<TDragImageList> images = SolidDragImages(8, 0xFFFF0000u);
    images->SetDragImage(0, 2, 3);
    ObjectPtr<TImageDragObject> object;
    source->OnStartDrag = TStartDragEvent::FromFunction([&](TObject*, TDragObject*& made) {
        object.reset(CreateObject<TImageDragObject>(static_cast<TControl*>(source)));
        object->images = images.get();
        made = object.get();
    });
    Screen().ButtonDown(At(source, 10, 10));
    Pump();
    EXPECT_FALSE(images->Dragging());
    const POINT p = At(accepting, 20, 20);
    Screen().MoveMouse(p);
    Pump();
    ASSERT_TRUE(images->Dragging());
    HWND w = images->DragWindow();
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_DISABLED);
    RECT r{};
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, p.x - 2);
    EXPECT_EQ(r.top, p.y - 3);
    EXPECT_EQ(Screen().ScreenPixel(p.x, p.y), 0xFF0000u);
    EXPECT_EQ(GetActiveWindow(), form->Handle()) << "the image never takes the activation";
    Screen().ButtonUp(p);
    Pump();
    EXPECT_FALSE(images->Dragging());
    EXPECT_FALSE(IsWindow(w));
    EXPECT_NE(std::find(Log().begin(), Log().end(), "end accepting"), Log().end());
}

class TImageSource : public TTraceControl {
public:
    TDragImageList* images = nullptr;
    TDragImageList* GetDragImages() override { return images; }
};

TEST_F(Drag, TheControlsOwnDragImageShowsAndStepsAsideWhileTheSourceRepaints)
{
    Build();
    ObjectPtr<TDragImageList> images = SolidDragImages(6, 0xFF00FF00u);
    auto* own = Add<TImageSource>(form, "own", 0, 100, 50, 50);
    own->SetDragMode(dmAutomatic);
    own->images = images.get();
    Pump();
    Screen().ButtonDown(At(own, 10, 10));
    Pump();
    const POINT p = At(accepting, 20, 20);
    Screen().MoveMouse(p);
    Pump();
    ASSERT_TRUE(images->Dragging()) << "the default drag object asks the control for its images";
    HWND w = images->DragWindow();
    EXPECT_EQ(Screen().ScreenPixel(p.x + 1, p.y + 1), 0x00FF00u);
    CurrentDragObject()->HideDragImage();
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_NE(Screen().ScreenPixel(p.x + 1, p.y + 1), 0x00FF00u);
    CurrentDragObject()->ShowDragImage();
    EXPECT_TRUE(IsWindowVisible(w));
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    Screen().ButtonUp(p);
    Pump();
    EXPECT_FALSE(images->Dragging());
}

}  // namespace

namespace {

TEST_F(Forms, PopupTracksTheRealMenuAndClicksAfterItCloses)
{
    TForm* form = NewForm();
    form->Show();
    Pump();
    auto* menu = CreateObject<TPopupMenu>(form);
    bool menuOpenDuringClick = true;
    for (const char* caption : {"&First", "-", "&Second"}) {
        auto* item = CreateObject<TMenuItem>(form);
        item->SetCaption(caption);
        item->OnClick = TNotifyEvent::FromFunction([&, caption](TObject*) {
            Log().push_back(std::string("clicked ") + caption);
            menuOpenDuringClick = FindWindowA("#32768", nullptr) != nullptr && IsWindowVisible(FindWindowA("#32768", nullptr));
        });
        menu->Items()->Add(item);
    }
    menu->OnClose = TNotifyEvent::FromFunction([](TObject*) { Log().push_back("closed"); });
    struct Case {
        std::vector<int> keys;
        Trace expected;
    };
    const Case cases[] = {
        {{VK_ESCAPE}, {"closed"}},
        {{'S'}, {"closed", "clicked &Second"}},
    };
    for (const Case& k : cases) {
        Log().clear();
        for (int vk : k.keys) {
            if (vk >= 'A' && vk <= 'Z') Screen().TypeText(std::string(1, static_cast<char>(vk + 32)));
            else Screen().PressKey(vk);
        }
        menu->Popup(50, 50);
        Pump();
        EXPECT_EQ(Log(), k.expected);
    }
    EXPECT_FALSE(menuOpenDuringClick);
}

}  // namespace

namespace {

TEST_F(Forms, OwnerDrawnMenuItemsAreMeasuredAndDrawn)
{
    TForm* form = NewForm();
    form->Show();
    Pump();
    auto* images = CreateObject<TImageList>(form);
    images->SetSize(12, 12);
    gfx::Picture green;
    green.width = green.height = 12;
    green.pixels.assign(144, 0xFF00FF00u);
    images->AddPixels(green);
    auto* menu = CreateObject<TPopupMenu>(form);
    menu->SetImages(images);
    auto* custom = CreateObject<TMenuItem>(form);
    custom->SetCaption("Custom");
    custom->OnMeasureItem = TMenuMeasureItemEvent::FromFunction([](TObject*, TCanvas*, int& w, int& h) {
        Log().push_back("measure custom");
        w = 120;
        h = 30;
    });
    custom->OnDrawItem = TMenuDrawItemEvent::FromFunction([this](TObject*, TCanvas* canvas, RECT r, bool) {
        Log().push_back("draw custom " + std::to_string(r.bottom - r.top));
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(r);
        Screen().PressKey(VK_ESCAPE);
    });
    auto* plain = CreateObject<TMenuItem>(form);
    plain->SetCaption("&Plain");
    plain->SetImageIndex(0);
    menu->Items()->Add(custom);
    menu->Items()->Add(plain);
    int plainWidth = 0, plainHeight = 0;
    {
        TCanvas canvas;
        HDC dc = CreateCompatibleDC(nullptr);
        canvas.SetHandle(dc);
        plain->MeasureItem(&canvas, plainWidth, plainHeight);
        canvas.SetHandle(nullptr);
        DeleteDC(dc);
    }
    EXPECT_GE(plainHeight, 16) << "room for the 12-pixel image";
    EXPECT_GT(plainWidth, 12 + 8);
    Log().clear();
    menu->Popup(40, 40);
    Pump();
    ASSERT_GE(Log().size(), 2u);
    EXPECT_EQ(Log()[0], "measure custom");
    EXPECT_EQ(Log()[1], "draw custom 30");
}

}  // namespace
