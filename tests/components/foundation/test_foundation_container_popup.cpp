// The editors' drop-down window on the headless display: opening and
// closing, the modal loop, and the hooks that close it on clicks elsewhere,
// hidden or closed owners, program switches and keys it does not accept.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <set>

#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;

namespace {

bool Logged(const std::string& what) { return std::find(Log().begin(), Log().end(), what) != Log().end(); }

// The popups' closing and closed events, in order.
Trace Closings()
{
    Trace t;
    std::copy_if(Log().begin(), Log().end(), std::back_inserter(t), [](const std::string& s) { return s.rfind("clos", 0) == 0; });
    return t;
}

// A control that records the system keys and WM_SETFOCUS reaching its
// window procedure.
class TKeyTrace : public TTraceControl {
public:
    static TClass StaticClass() { return DefineClass<TKeyTrace, TTraceControl>("TKeyTrace"); }
    TClass ClassType() const override { return StaticClass(); }
    std::set<WPARAM> sysKeys;
    int setFocus = 0;

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_SYSKEYDOWN || m.Msg == CN_SYSKEYDOWN) sysKeys.insert(m.WParam);
        if (m.Msg == WM_SETFOCUS) ++setFocus;
        TTraceControl::WndProc(m);
    }
};

class TTracedPopup : public TcxCustomPopupWindow {
public:
    static TClass StaticClass() { return DefineClass<TTracedPopup, TcxCustomPopupWindow>("TTracedPopup"); }
    TClass ClassType() const override { return StaticClass(); }
    bool refuseClose = false;

    int styleChanges = 0;

    bool CloseQuery() override { return !refuseClose && TcxCustomPopupWindow::CloseQuery(); }
    void PopupWindowStyleChanged(TObject*) override { ++styleChanges; }

protected:
    void DoClosing() override
    {
        Log().push_back("closing " + Name());
        TcxCustomPopupWindow::DoClosing();
    }
    void DoClosed() override
    {
        Log().push_back("closed " + Name());
        TcxCustomPopupWindow::DoClosed();
    }
};

class PopupHooks : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxControlsInitialize();
        cxContainerPopupInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        form = NewForm(400, 300);
        edit = Add<TKeyTrace>(form, "edit", 20, 20, 120, 24);
        edit->SetTabStop(true);
        other = Add<TKeyTrace>(form, "other", 20, 150, 120, 24);
        other->SetTabStop(true);
        form->Show();
        Pump();
        edit->SetFocus();
        first = MakePopup(edit, "first");
        inner = Add<TKeyTrace>(first, "inner", 0, 0, 100, 60);
        inner->SetTabStop(true);
        inner->SetColor(clLime);
        Pump();
        Log().clear();
    }
    void TearDown() override
    {
        Application->OnIdle.Clear();
        for (TTracedPopup* p : {second, first})
            if (p) p->Free();
        form->Free();
        cxContainerPopupFinalize();
        cxControlsFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        Screen().SetWorkArea(RECT{});
        VisualTest::TearDown();
    }
    TTracedPopup* MakePopup(TWinControl* owner, const std::string& name)
    {
        auto* p = CreateObject<TTracedPopup>(owner);
        p->SetName(name);
        p->SetAnchorParent(owner);
        p->SetAnchorBounds(owner->ClientRect());
        p->SetModalMode(false);
        return p;
    }
    // Opens the first popup and, from its inner control, a second one.
    void OpenNested(bool captureFocus)
    {
        first->SetCaptureFocus(captureFocus);
        first->Popup(captureFocus ? inner : edit);
        Pump();
        second = MakePopup(inner, "second");
        second->SetAnchorBounds(RECT{90, 50, 100, 60});
        Add<TKeyTrace>(second, "deep", 0, 0, 80, 40);
        second->SetCaptureFocus(false);
        second->Popup(edit);
        Pump();
        Log().clear();
    }
    // Runs the popup's modal loop, feeding one step whenever the queue is
    // empty; the popup is told to close once the steps are used up.
    void RunModal(std::vector<std::function<void()>> steps)
    {
        std::size_t next = 0;
        Application->OnIdle = TIdleEvent::FromFunction([&, this](TObject*, bool& done) {
            done = false;
            if (next < steps.size()) steps[next++]();
            else if (first->ModalResult() == mrNone) first->SetModalResult(mrOk);
            else if (++spins > 100) first->CloseUp(false);  // never hang the run
        });
        first->SetModalMode(true);
        first->Popup(inner);
        Application->OnIdle.Clear();
    }
    int spins = 0;
    TForm* form = nullptr;
    TKeyTrace* edit = nullptr;
    TKeyTrace* other = nullptr;
    TKeyTrace* inner = nullptr;
    TTracedPopup* first = nullptr;
    TTracedPopup* second = nullptr;
};

TEST_F(PopupHooks, ConstructionDefaultsAndTheOwnStyle)
{
    EXPECT_TRUE(first->CaptureFocus());
    EXPECT_FALSE(first->IsTopMost());
    EXPECT_TRUE(first->KeyPreview());
    EXPECT_EQ(first->FormStyle(), fsNormal);
    EXPECT_EQ(first->OwnerControl(), edit);
    EXPECT_FALSE(first->IsVisible());
    ASSERT_NE(first->Style(), nullptr);
    EXPECT_EQ(first->Style()->ClassType(), TcxContainerStyle::StaticClass());
    EXPECT_FALSE(first->Style()->IsHolder());
    first->Style()->SetColor(clRed);
    first->Style()->SetColor(clRed);
    EXPECT_EQ(first->styleChanges, 1) << "a change reaches the popup, an equal value does not";
}

TEST_F(PopupHooks, OpeningAnOpenPopupOrClosingAClosedOneDoesNothing)
{
    int showing = 0;
    first->OnShowing = TNotifyEvent::FromFunction([&](TObject*) { ++showing; });
    first->Popup(inner);
    const HWND handle = first->Handle();
    first->Popup(other);
    EXPECT_EQ(showing, 1);
    ASSERT_EQ(TcxCustomPopupWindow::OpenPopupCount(), 1);
    EXPECT_EQ(first->FocusedControl(), inner) << "a focus-taking popup focuses its first tab stop";
    EXPECT_EQ(GetFocus(), inner->Handle());
    EXPECT_EQ(first->Left(), edit->ClientToScreen(POINT{0, 0}).x);
    EXPECT_EQ(first->Top(), edit->ClientToScreen(POINT{0, 24}).y) << "below its owner";
    first->CloseUp(false);
    first->CloseUp(false);
    EXPECT_EQ(Closings(), (Trace{"closing first", "closed first"}));
    EXPECT_FALSE(first->IsVisible());
    EXPECT_FALSE(IsWindowVisible(handle));
}

TEST_F(PopupHooks, TheModalLoopDropsAltEnterAltAndAltSpaceAndClosesOnItsResult)
{
    std::vector<std::function<void()>> steps = {[this] { Screen().KeyDown(VK_MENU); }};
    for (int vk : {VK_RETURN, VK_SPACE}) {
        steps.push_back([this, vk] { Screen().KeyDown(vk); });
        steps.push_back([this, vk] { Screen().KeyUp(vk); });
    }
    steps.push_back([this] { Screen().KeyUp(VK_MENU); });
    steps.push_back([this] { Screen().KeyDown('X'); });
    steps.push_back([this] { Screen().KeyUp('X'); });
    RunModal(steps);
    EXPECT_FALSE(first->IsVisible());
    EXPECT_EQ(first->ModalResult(), mrOk);
    EXPECT_LT(spins, 100);
    EXPECT_EQ(inner->sysKeys.count(VK_RETURN) + inner->sysKeys.count(VK_MENU) + inner->sysKeys.count(VK_SPACE), 0u);
    EXPECT_TRUE(Logged("inner key 88")) << "other keys reach the focused control";
}

TEST_F(PopupHooks, ARefusingCloseQueryKeepsItOpenWithModalResultZero)
{
    first->refuseClose = true;
    std::vector<TModalResult> seen;
    first->OnClosing = TNotifyEvent::FromFunction([&](TObject*) { seen.push_back(first->ModalResult()); });
    int refusals = 0;
    RunModal({[&] {}, [&] {
                  first->SetModalResult(mrOk);
                  ++refusals;
              },
              [&] {
                  EXPECT_TRUE(first->IsVisible());
                  EXPECT_EQ(first->ModalResult(), mrNone);
                  first->refuseClose = false;
              }});
    EXPECT_EQ(refusals, 1);
    EXPECT_FALSE(first->IsVisible());
    ASSERT_EQ(seen.size(), 1u);
}

TEST_F(PopupHooks, ClicksCloseByWhereTheyLand)
{
    struct Case {
        const char* name;
        std::function<POINT()> where;
        bool hideOwnerOnClose;
        bool firstOpen;
        bool secondOpen;
        bool justClosed;
        const char* reaches;  // the control that gets the press, or ""
    };
    const Case cases[] = {
        {"another control of the form", [&] { return At(other); }, false, false, false, false, "other"},
        {"the owner", [&] { return At(edit); }, false, false, false, true, "edit"},
        {"the owner hidden by the closing", [&] { return At(edit); }, true, false, false, true, ""},
        {"inside the popup: only the drop-down opened from it closes", [&] { return At(inner); }, false, true, false,
         false, "inner"},
        {"inside the nested drop-down", [&] { return At(second->Controls(0)); }, false, true, true, false, "deep"},
    };
    for (const Case& c : cases) {
        edit->SetVisible(true);
        OpenNested(false);
        first->SetJustClosed(false);
        first->OnClosed = TNotifyEvent::FromFunction([&](TObject*) {
            if (c.hideOwnerOnClose) edit->SetVisible(false);
        });
        Screen().Click(c.where());
        Pump();
        EXPECT_EQ(first->IsVisible(), c.firstOpen) << c.name;
        EXPECT_EQ(second->IsVisible(), c.secondOpen) << c.name;
        EXPECT_EQ(first->JustClosed(), c.justClosed) << c.name;
        const bool anyDown = std::any_of(Log().begin(), Log().end(), [](const std::string& s) {
            return s.find(" downL") != std::string::npos;
        });
        if (*c.reaches) EXPECT_TRUE(Logged(std::string(c.reaches) + " downL 5,5")) << c.name;
        else EXPECT_FALSE(anyDown) << c.name << ": swallowed";
        first->OnClosed.Clear();
        first->CloseUp(false);
        second->Free();
        second = nullptr;
    }
}

TEST_F(PopupHooks, HidingTheFirstOwnerClosesBothNestedPopupsTheSecondFirst)
{
    OpenNested(false);
    edit->SetVisible(false);
    Pump();
    EXPECT_EQ(Closings(), (Trace{"closing second", "closed second", "closing first", "closed first"}));
    EXPECT_EQ(TcxCustomPopupWindow::OpenPopupCount(), 0);
}

TEST_F(PopupHooks, SwitchingProgramsClosesPopupsThatLeaveTheFocusWhileTheCaptionStaysActive)
{
    std::vector<WPARAM> captions;
    TWndMethod previous = form->WindowProc;
    form->WindowProc = [&captions, previous](TMessage& m) {
        if (m.Msg == WM_NCACTIVATE) captions.push_back(m.WParam);
        previous(m);
    };
    first->SetCaptureFocus(true);
    first->Popup(inner);
    Pump();
    EXPECT_EQ(GetActiveWindow(), first->Handle());
    EXPECT_EQ(std::count(captions.begin(), captions.end(), static_cast<WPARAM>(FALSE)), 0)
        << "the owner's caption never goes inactive for its drop-down";
    first->CloseUp(false);
    Pump();
    first->SetCaptureFocus(false);
    first->Popup(edit);
    Pump();
    ASSERT_TRUE(first->IsVisible());
    EXPECT_EQ(GetFocus(), edit->Handle()) << "the focus stays with the owner";
    EXPECT_EQ(GetActiveWindow(), form->Handle());
    captions.clear();
    quelvo::win::ForegroundChangedByDisplay(nullptr);
    Pump();
    EXPECT_FALSE(first->IsVisible());
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.back(), static_cast<WPARAM>(FALSE)) << "another program is active now";
    form->WindowProc = previous;
}

TEST_F(PopupHooks, AltKeysPassWhileAPopupThatIsNotModalIsOpenOnlyWhenAccepted)
{
    struct Case {
        int vk;
        bool passes;
    };
    // Alt+F4 closes the form (refused below), which closes the popup: last.
    const Case cases[] = {{'A', false},   {VK_PRIOR, true}, {VK_NEXT, true},  {VK_END, true},
                          {VK_HOME, true}, {VK_LEFT, true},  {VK_UP, true},    {VK_RIGHT, true},
                          {VK_DOWN, true}, {VK_F5, false},   {VK_F4, true}};
    first->SetCaptureFocus(false);
    first->Popup(edit);
    Pump();
    form->OnCloseQuery = TCloseQueryEvent::FromFunction([](TObject*, bool& can) { can = false; });
    for (const Case& c : cases) {
        ASSERT_TRUE(first->IsVisible()) << c.vk;
        edit->sysKeys.clear();
        KeyWith(VK_MENU, c.vk);
        EXPECT_EQ(edit->sysKeys.count(static_cast<WPARAM>(c.vk)), c.passes ? 1u : 0u) << c.vk;
    }
}

TEST_F(PopupHooks, EscapeInAPopupHoldingTheCaptureOnlyReleasesIt)
{
    first->Popup(inner);
    Pump();
    SetCapture(first->Handle());
    Key(VK_ESCAPE);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(Logged("inner key 27")) << "consumed";
    Key(VK_ESCAPE);
    EXPECT_TRUE(Logged("inner key 27"));
}

TEST_F(PopupHooks, IsTopMostFollowsTheOwnerForm)
{
    for (const bool topmostForm : {true, false}) {
        SetWindowPos(form->Handle(), topmostForm ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        first->SetIsTopMost(true);
        first->Popup(inner);
        Pump();
        const bool topmost = (GetWindowLongA(first->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        EXPECT_EQ(topmost, topmostForm);
        first->CloseUp(false);
        first->SetIsTopMost(false);
    }
}

TEST_F(PopupHooks, SwitchingCaptureFocusRecreatesTheWindowAndReopens)
{
    first->Popup(inner);
    Pump();
    const HWND before = first->Handle();
    Log().clear();
    first->SetCaptureFocus(false);
    EXPECT_TRUE(first->IsVisible());
    EXPECT_EQ(Closings(), (Trace{"closing first", "closed first"}));
    const HWND after = first->Handle();
    EXPECT_NE(after, before);
    const auto style = static_cast<DWORD>(GetWindowLongA(after, GWL_STYLE));
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_EQ(GetParent(after), nullptr) << "detached from its owner";
    EXPECT_TRUE(GetWindowLongA(after, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(first->FocusedControl(), inner) << "the same focused control";
    Pump();
    const POINT middle = At(inner, 50, 30);
    EXPECT_EQ(Screen().ScreenPixel(middle.x, middle.y), 0x00FF00u);
    EXPECT_EQ(WindowFromPoint(At(inner, 50, 30)), inner->Handle()) << "shown on the screen above the form";
}

TEST_F(PopupHooks, ClosePopupClosesLaterAndHandsTheFocusBack)
{
    first->Popup(inner);
    Pump();
    edit->setFocus = 0;
    first->ClosePopup();
    EXPECT_TRUE(first->IsVisible());
    Pump();
    EXPECT_FALSE(first->IsVisible());
    EXPECT_GE(edit->setFocus, 1);
    EXPECT_FALSE(first->IsDeactivateLocked());
}

TEST_F(PopupHooks, ClosingOrDestroyingWindowsClosesTheirPopups)
{
    first->SetCaptureFocus(false);
    first->Popup(edit);
    Pump();
    form->OnCloseQuery = TCloseQueryEvent::FromFunction([](TObject*, bool& can) { can = false; });
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(first->IsVisible()) << "closing the owner's form closes a popup that leaves the focus";
    first->Popup(edit);
    ShowWindow(other->Handle(), SW_HIDE);
    EXPECT_TRUE(first->IsVisible()) << "only its owner's own window counts";
    SetWindowPos(edit->Handle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_FALSE(first->IsVisible()) << "an owner that is no longer visible";
}

}  // namespace
