// Focus, activation, capture, mouse and keyboard input, hooks and dialog keys,
// driven through the headless display.
#include "tests/platform/windows/win_fixture.h"

using namespace wintest;
using V = std::vector<std::string>;

namespace {

class Input : public WinTest {};

const std::set<std::string> kFocus = {"WM_SETFOCUS", "WM_KILLFOCUS", "WM_ACTIVATE", "WM_NCACTIVATE", "WM_ACTIVATEAPP"};

TEST_F(Input, FocusMovesBetweenSiblingsAndIntoChildren)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND a = Make("a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1);
    HWND b = Make("b", WS_CHILD | WS_VISIBLE, 60, 0, 50, 50, top, 2);
    HWND bb = Make("bb", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, b, 3);
    struct Step {
        HWND target;
        V expected;
        HWND focus;
    };
    const Step steps[] = {
        {a, {"top WM_KILLFOCUS a", "a WM_SETFOCUS top"}, a},
        {b, {"a WM_KILLFOCUS b", "b WM_SETFOCUS a"}, b},
        {bb, {"b WM_KILLFOCUS bb", "bb WM_SETFOCUS b"}, bb},
        {bb, {}, bb},
        {nullptr, {"bb WM_KILLFOCUS 0"}, nullptr},
        {a, {"a WM_SETFOCUS 0"}, a},
    };
    for (const Step& s : steps) {
        Rec().Clear();
        SetFocus(s.target);
        EXPECT_EQ(Rec().Only(kFocus), s.expected) << Rec().NameOf(s.target);
        EXPECT_EQ(GetFocus(), s.focus);
    }
    EnableWindow(a, FALSE);
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window gives the focus up";
    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_EQ(GetFocus(), nullptr) << "and cannot take it";
}

TEST_F(Input, ActivationBetweenTwoTopLevelWindows)
{
    HWND one = Make("one", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND two = Make("two", WS_POPUP, 200, 0, 100, 100);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, two, 1);
    EXPECT_EQ(GetActiveWindow(), one);
    Rec().Clear();
    ShowWindow(two, SW_SHOW);
    EXPECT_EQ(Rec().Only(kFocus), (V{"one WM_NCACTIVATE 0", "one WM_ACTIVATE 0 two", "two WM_NCACTIVATE 1",
                                      "two WM_ACTIVATE 1 one", "one WM_KILLFOCUS two", "two WM_SETFOCUS one"}));
    Rec().Clear();
    SetFocus(child);
    EXPECT_EQ(Rec().Only(kFocus), (V{"two WM_KILLFOCUS child", "child WM_SETFOCUS two"}));
    Rec().Clear();
    EXPECT_EQ(SetActiveWindow(one), two);
    EXPECT_EQ(Rec().Only(kFocus), (V{"two WM_NCACTIVATE 0", "two WM_ACTIVATE 0 one", "one WM_NCACTIVATE 1",
                                      "one WM_ACTIVATE 1 two", "child WM_KILLFOCUS one", "one WM_SETFOCUS child"}));
    Rec().Clear();
    DestroyWindow(one);
    EXPECT_EQ(GetActiveWindow(), two) << "another window is activated";
    Rec().Clear();
    DestroyWindow(two);
    EXPECT_EQ(Rec().Only({"WM_ACTIVATEAPP"}), (V{"two WM_ACTIVATEAPP 0"}));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(Input, LastActivePopupOfAnOwner)
{
    HWND owner = Make("owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND popup = Make("popup", WS_POPUP | WS_VISIBLE, 10, 10, 20, 20, owner);
    EXPECT_EQ(GetLastActivePopup(owner), popup);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetLastActivePopup(owner), owner);
}

TEST_F(Input, ClickActivatesAndMouseActivateMayEatTheClick)
{
    HWND one = Make("one", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND two = Make("two", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    HWND inner = Make("inner", WS_CHILD | WS_VISIBLE, 10, 10, 20, 20, one, 1);
    ASSERT_EQ(GetActiveWindow(), two);
    Rec().Clear();
    Screen().Click({15, 15});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_MOUSEACTIVATE", "WM_ACTIVATE", "WM_LBUTTONDOWN", "WM_LBUTTONUP"}),
              (V{"inner WM_MOUSEACTIVATE", "one WM_MOUSEACTIVATE", "two WM_ACTIVATE 0 one", "one WM_ACTIVATE 2 two",
                 "inner WM_LBUTTONDOWN 5,5", "inner WM_LBUTTONUP 5,5"}));
    EXPECT_EQ(GetActiveWindow(), one);

    Rec().answers["two"].byMessage[WM_MOUSEACTIVATE] = MA_NOACTIVATEANDEAT;
    Rec().Clear();
    Screen().Click({250, 50});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_MOUSEACTIVATE", "WM_ACTIVATE", "WM_LBUTTONDOWN", "WM_LBUTTONUP"}),
              (V{"two WM_MOUSEACTIVATE", "two WM_LBUTTONUP 50,50"}));
    EXPECT_EQ(GetActiveWindow(), one);
    (void)inner;
}

TEST_F(Input, CaptureRoutesTheMouseAndCancelModeEndsIt)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND a = Make("a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1);
    HWND b = Make("b", WS_CHILD | WS_VISIBLE, 100, 100, 50, 50, top, 2);
    Rec().Clear();
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(Rec().Only({"WM_CAPTURECHANGED"}), (V{"a WM_CAPTURECHANGED b"}));
    Rec().Clear();
    Screen().MoveMouse({10, 10});
    Screen().ButtonDown({10, 10});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_MOUSEMOVE", "WM_LBUTTONDOWN", "WM_SETCURSOR"}),
              (V{"b WM_MOUSEMOVE -90,-90", "b WM_LBUTTONDOWN -90,-90"}))
        << "captured messages carry the capturing window's client coordinates, without WM_SETCURSOR";
    Rec().Clear();
    EnableWindow(b, FALSE);
    EXPECT_EQ(Rec().Only({"WM_CANCELMODE", "WM_CAPTURECHANGED", "WM_ENABLE"}),
              (V{"b WM_CANCELMODE", "b WM_CAPTURECHANGED 0", "b WM_ENABLE 0"}));
    EXPECT_EQ(GetCapture(), nullptr);
    Rec().Clear();
    Screen().ButtonUp({10, 10});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_LBUTTONUP"}), (V{"a WM_LBUTTONUP 10,10"}));
}

TEST_F(Input, DoubleClicksFollowClassTimeAndDistance)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND dbl = Make("dbl", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top, 1);
    HWND plain = Make("plain", WS_CHILD | WS_VISIBLE, 150, 0, 100, 100, top, 2, 0, "plain");
    const std::set<std::string> keep = {"WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK"};
    struct Case {
        const char* what;
        POINT first, second;
        std::uint64_t gap;
        V expected;
    };
    const Case cases[] = {
        {"double click", {10, 10}, {11, 11}, 100,
         {"dbl WM_LBUTTONDOWN 10,10", "dbl WM_LBUTTONUP 10,10", "dbl WM_LBUTTONDBLCLK 11,11", "dbl WM_LBUTTONUP 11,11"}},
        {"too slow", {10, 10}, {10, 10}, 501,
         {"dbl WM_LBUTTONDOWN 10,10", "dbl WM_LBUTTONUP 10,10", "dbl WM_LBUTTONDOWN 10,10", "dbl WM_LBUTTONUP 10,10"}},
        {"too far", {10, 10}, {13, 10}, 100,
         {"dbl WM_LBUTTONDOWN 10,10", "dbl WM_LBUTTONUP 10,10", "dbl WM_LBUTTONDOWN 13,10", "dbl WM_LBUTTONUP 13,10"}},
        {"class without double clicks", {160, 10}, {160, 10}, 100,
         {"plain WM_LBUTTONDOWN 10,10", "plain WM_LBUTTONUP 10,10", "plain WM_LBUTTONDOWN 10,10", "plain WM_LBUTTONUP 10,10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Advance(2000);  // forget earlier clicks
        Rec().Clear();
        Screen().Click(c.first);
        Pump();
        clock_.Advance(c.gap);
        Screen().Click(c.second);
        Pump();
        EXPECT_EQ(Rec().Only(keep), c.expected);
    }
    Advance(2000);
    Rec().Clear();
    Screen().DoubleClick({20, 20});
    Screen().Click({20, 20});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_LBUTTONDOWN", "WM_LBUTTONDBLCLK"}),
              (V{"dbl WM_LBUTTONDOWN 20,20", "dbl WM_LBUTTONDBLCLK 20,20", "dbl WM_LBUTTONDOWN 20,20"}))
        << "a third click starts over";
    (void)plain;
    (void)dbl;
}

std::vector<std::string>* gHookLog = nullptr;
HHOOK gMouseHook = nullptr;
bool gSwallowDowns = false;

LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* mh = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && gHookLog)
        gHookLog->push_back(Rec().NameOf(mh->hwnd) + " " + MessageName(static_cast<UINT>(wParam)) + " " +
                            std::to_string(mh->pt.x) + "," + std::to_string(mh->pt.y));
    if (gSwallowDowns && wParam == WM_LBUTTONDOWN) return 1;
    return CallNextHookEx(gMouseHook, code, wParam, lParam);
}

TEST_F(Input, MouseHookSeesEveryEventCapturedOrNotAndMaySwallowIt)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND a = Make("a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1);
    std::vector<std::string> log;
    gHookLog = &log;
    gMouseHook = SetWindowsHookExA(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(gMouseHook, nullptr);
    Screen().Click({10, 10});
    Pump();
    SetCapture(a);
    Screen().Click({200, 200});
    Pump();
    ReleaseCapture();
    EXPECT_EQ(log, (V{"a WM_MOUSEMOVE 10,10", "a WM_LBUTTONDOWN 10,10", "a WM_LBUTTONUP 10,10",
                      "a WM_MOUSEMOVE 200,200", "a WM_LBUTTONDOWN 200,200", "a WM_LBUTTONUP 200,200"}));
    gSwallowDowns = true;
    Rec().Clear();
    Screen().Click({10, 10});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_LBUTTONDOWN", "WM_LBUTTONUP"}), (V{"a WM_LBUTTONUP 10,10"}));
    gSwallowDowns = false;
    EXPECT_TRUE(UnhookWindowsHookEx(gMouseHook));
    EXPECT_FALSE(UnhookWindowsHookEx(gMouseHook));
    log.clear();
    Screen().Click({10, 10});
    Pump();
    EXPECT_TRUE(log.empty());
    gHookLog = nullptr;
}

HHOOK gCallHook = nullptr;
HHOOK gGetHook = nullptr;
std::vector<std::string> gCalls;

LRESULT CallHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (cwp->message >= WM_USER) gCalls.push_back("call " + Rec().NameOf(cwp->hwnd) + " " + std::to_string(cwp->message - WM_USER));
    return CallNextHookEx(gCallHook, code, wParam, lParam);
}

LRESULT GetHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* m = reinterpret_cast<MSG*>(lParam);
    if (m->message == WM_USER + 2 && wParam == PM_REMOVE) m->message = WM_NULL;  // vetoed
    if (m->message >= WM_USER) gCalls.push_back("get " + std::to_string(m->message - WM_USER) + (wParam == PM_REMOVE ? " remove" : " peek"));
    return CallNextHookEx(gGetHook, code, wParam, lParam);
}

TEST_F(Input, CallWndProcAndGetMessageHooks)
{
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10);
    gCalls.clear();
    gCallHook = SetWindowsHookExA(WH_CALLWNDPROC, CallHook, nullptr, 0);
    gGetHook = SetWindowsHookExA(WH_GETMESSAGE, GetHook, nullptr, 0);
    SendMessageA(w, WM_USER + 1, 0, 0);
    PostMessageA(w, WM_USER + 2, 0, 0);
    PostMessageA(w, WM_USER + 3, 0, 0);
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    Rec().Clear();
    Pump();
    EXPECT_EQ(gCalls, (V{"call w 1", "get 2 peek", "get 3 remove"}));
    EXPECT_EQ(Rec().Only({"0x1027"}), V{"w 0x1027"}) << "WM_USER + 2 was turned into WM_NULL";
    EXPECT_TRUE(UnhookWindowsHookEx(gCallHook));
    EXPECT_TRUE(UnhookWindowsHookEx(gGetHook));
    EXPECT_EQ(SetWindowsHookExA(99, GetHook, nullptr, 0), nullptr);
    EXPECT_EQ(SetWindowsHookExA(WH_MOUSE, nullptr, nullptr, 0), nullptr);
}

TEST_F(Input, KeysBecomeKeyAndCharMessagesForTheFocus)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND edit = Make("edit", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top, 1);
    SetFocus(edit);
    const std::set<std::string> keys = {"WM_KEYDOWN", "WM_KEYUP", "WM_CHAR", "WM_SYSKEYDOWN", "WM_SYSKEYUP", "WM_SYSCHAR"};
    struct Case {
        const char* what;
        std::function<void()> input;
        V expected;
    };
    auto& s = Screen();
    const Case cases[] = {
        {"letter", [&] { s.PressKey('A'); }, {"edit WM_KEYDOWN 65", "edit WM_CHAR a", "edit WM_KEYUP 65"}},
        {"shifted", [&] { s.TypeText("B!"); },
         {"edit WM_KEYDOWN 16", "edit WM_KEYDOWN 66", "edit WM_CHAR B", "edit WM_KEYUP 66", "edit WM_KEYUP 16",
          "edit WM_KEYDOWN 16", "edit WM_KEYDOWN 49", "edit WM_CHAR !", "edit WM_KEYUP 49", "edit WM_KEYUP 16"}},
        {"alt", [&] { s.KeyDown(VK_MENU); s.PressKey('X'); s.KeyUp(VK_MENU); },
         {"edit WM_SYSKEYDOWN 18", "edit WM_SYSKEYDOWN 88", "edit WM_SYSCHAR x", "edit WM_SYSKEYUP 88", "edit WM_KEYUP 18"}},
        {"control", [&] { s.KeyDown(VK_CONTROL); s.PressKey('C'); s.KeyUp(VK_CONTROL); },
         {"edit WM_KEYDOWN 17", "edit WM_KEYDOWN 67", "edit WM_CHAR \x03", "edit WM_KEYUP 67", "edit WM_KEYUP 17"}},
        {"navigation", [&] { s.PressKey(VK_LEFT); }, {"edit WM_KEYDOWN 37", "edit WM_KEYUP 37"}},
    };
    for (const Case& c : cases) {
        Rec().Clear();
        c.input();
        Pump();
        EXPECT_EQ(Rec().Only(keys), c.expected) << c.what;
    }
    SetFocus(nullptr);
    Rec().Clear();
    s.PressKey('Q');
    Pump();
    EXPECT_EQ(Rec().Only(keys), (V{"top WM_SYSKEYDOWN 81", "top WM_SYSCHAR q", "top WM_SYSKEYUP 81"}))
        << "without a focus, keys reach the active window as system keys";
}

TEST_F(Input, KeyMessageParametersAndKeyState)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    SetFocus(top);
    Screen().KeyDown(VK_SHIFT);
    Screen().KeyDown('Z', 3);
    EXPECT_TRUE(GetAsyncKeyState('Z') & 0x8000) << "the physical state changes at once";
    EXPECT_FALSE(GetKeyState('Z') & 0x8000) << "the message state when the message is read";
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYDOWN);
    EXPECT_EQ(m.lParam & 0xFFFF, 1);
    EXPECT_FALSE(m.lParam & (1 << 30));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.wParam, static_cast<WPARAM>('Z'));
    EXPECT_EQ(m.lParam & 0xFFFF, 3) << "repeat count";
    EXPECT_TRUE(GetKeyState('Z') & 0x8000);
    EXPECT_TRUE(GetKeyState(VK_SHIFT) < 0);
    Screen().KeyUp('Z');
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_KEYUP);
    EXPECT_TRUE(m.lParam & (1 << 30));
    EXPECT_TRUE(m.lParam & (1u << 31));
    BYTE state[256];
    ASSERT_TRUE(GetKeyboardState(state));
    EXPECT_EQ(state['Z'] & 0x80, 0);
    EXPECT_EQ(state[VK_SHIFT] & 0x80, 0x80);
}

LRESULT DialogProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == DM_GETDEFID) return Rec().answers["dlg"].byMessage.count(DM_GETDEFID) ? Rec().answers["dlg"].byMessage[DM_GETDEFID] : 0;
    return RecordingProc(h, m, w, l);
}

// A program's loop around a modeless dialog: the dialog sees each message first.
void PumpThroughDialog(HWND dlg)
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageA(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
}

TEST_F(Input, DialogKeysMoveFocusAndPressButtons)
{
    HWND dlg = Make("dlg", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, 0, WS_EX_CONTROLPARENT);
    SetWindowLongA(dlg, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
    HWND e1 = Make("e1", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, dlg, 10);
    HWND skip = Make("skip", WS_CHILD | WS_VISIBLE, 0, 20, 10, 10, dlg, 11);  // no tab stop
    HWND r1 = Make("r1", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 40, 10, 10, dlg, 12);
    HWND r2 = Make("r2", WS_CHILD | WS_VISIBLE, 0, 50, 10, 10, dlg, 13);
    HWND r3 = Make("r3", WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 60, 10, 10, dlg, 14);
    HWND r4 = Make("r4", WS_CHILD | WS_VISIBLE, 0, 70, 10, 10, dlg, 15);
    HWND ok = Make("ok", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 0, 90, 10, 10, dlg, IDOK);
    HWND wants = Make("wants", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 110, 10, 10, dlg, 20);
    Rec().answers["wants"].byMessage[WM_GETDLGCODE] = DLGC_WANTTAB | DLGC_WANTARROWS;
    (void)skip;
    (void)r3;
    SetFocus(e1);
    auto press = [&](int vk, bool shift = false) {
        if (shift) Screen().KeyDown(VK_SHIFT);
        Screen().PressKey(vk);
        if (shift) Screen().KeyUp(VK_SHIFT);
        PumpThroughDialog(dlg);
    };
    struct Step {
        int vk;
        bool shift;
        HWND focus;
    };
    const Step steps[] = {
        {VK_TAB, false, r1},  {VK_TAB, false, ok},    {VK_TAB, false, wants}, {VK_TAB, false, wants},
        {VK_TAB, true, wants}, 
    };
    for (const Step& s : steps) {
        press(s.vk, s.shift);
        EXPECT_EQ(GetFocus(), s.focus) << Rec().NameOf(GetFocus());
    }
    SetFocus(ok);
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), r1);
    const Step arrows[] = {{VK_DOWN, false, r2}, {VK_DOWN, false, r4}, {VK_DOWN, false, r1}, {VK_UP, false, r4}};
    for (const Step& s : arrows) {
        press(s.vk);
        EXPECT_EQ(GetFocus(), s.focus) << Rec().NameOf(GetFocus());
    }
    Rec().Clear();
    press(VK_RETURN);
    press(VK_ESCAPE);
    Rec().answers["dlg"].byMessage[DM_GETDEFID] = MAKELONG(77, 0x534B);
    press(VK_RETURN);
    EXPECT_EQ(Rec().Only({"WM_COMMAND", "WM_CHAR"}), (V{"dlg WM_COMMAND 1", "dlg WM_COMMAND 2", "dlg WM_COMMAND 77"}));
    MSG outside;
    outside.hwnd = Make("other", WS_POPUP, 0, 0, 5, 5);
    outside.message = WM_KEYDOWN;
    EXPECT_FALSE(IsDialogMessageA(dlg, &outside));
}

TEST_F(Input, DialogMnemonicsFromLabelsAndButtons)
{
    HWND dlg = Make("dlg", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, 0, WS_EX_CONTROLPARENT);
    SetWindowLongA(dlg, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogProc));
    struct Control {
        const char* text;
        DWORD style;
        LRESULT code;
    } controls[] = {
        {"&Name", 0, DLGC_STATIC},
        {"edit", WS_TABSTOP, DLGC_WANTCHARS | DLGC_HASSETSEL},
        {"&Go", WS_TABSTOP, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
        {"&Keep", WS_TABSTOP, DLGC_BUTTON},
        {"Also &keep", WS_TABSTOP, DLGC_BUTTON},
        {"&Off", WS_TABSTOP | WS_DISABLED, DLGC_BUTTON},
        {"Salt&&&chips", WS_TABSTOP, DLGC_BUTTON},
    };
    std::map<std::string, HWND> by;
    int id = 10;
    for (const Control& c : controls) {
        by[c.text] = Make(c.text, WS_CHILD | WS_VISIBLE | c.style, 0, id * 10, 10, 10, dlg, id);
        Rec().answers[c.text].byMessage[WM_GETDLGCODE] = c.code;
        ++id;
    }
    struct Step {
        bool alt;
        int vk;
        const char* focus;
        V seen;  // clicks (0x245), selections (0x177), characters and commands
    };
    const Step steps[] = {
        {false, 'G', "edit", {"edit WM_CHAR g"}},  // the edit takes its letters
        {true, 'G', "&Go", {"&Go 0x245"}},
        {true, 'N', "edit", {"edit 0x177"}},  // a label hands on to the next stop
        {true, 'K', "&Keep", {}},              // shared: the focus only moves...
        {true, 'K', "Also &keep", {}},
        {true, 'K', "&Keep", {}},  // ...and wraps
        {true, 'O', "&Keep", {"&Keep WM_SYSCHAR o"}},  // disabled: not a target
        {false, 'C', "Salt&&&chips", {"Salt&&&chips 0x245"}},  // "&&" is no mnemonic
        {false, 'G', "&Go", {"&Go 0x245"}},  // where the focus takes no letters
        {false, VK_RETURN, "&Go", {"dlg WM_COMMAND 12"}},  // the focused push button
    };
    SetFocus(by["edit"]);
    for (const Step& s : steps) {
        Rec().Clear();
        if (s.alt) Screen().KeyDown(VK_MENU);
        Screen().PressKey(s.vk);
        if (s.alt) Screen().KeyUp(VK_MENU);
        PumpThroughDialog(dlg);
        EXPECT_EQ(Rec().NameOf(GetFocus()), s.focus) << s.vk;
        EXPECT_EQ(Rec().Only({"0x245", "0x177", "WM_CHAR", "WM_SYSCHAR", "WM_COMMAND"}), s.seen) << s.vk;
    }
}

TEST_F(Input, MouseLeaveWheelAndCursor)
{
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(quelvo::win::StandardCursorId(hand), IDC_HAND_ID);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    WNDCLASSA wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hCursor = hand;
    wc.lpszClassName = "handy";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND h = Make("h", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1, 0, "handy");
    Screen().MoveMouse({10, 10});
    Pump();
    EXPECT_EQ(Screen().CurrentCursor(), hand);
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE | TME_HOVER;
    tme.hwndTrack = h;
    tme.dwHoverTime = 100;
    ASSERT_TRUE(TrackMouseEvent(&tme));
    Rec().Clear();
    Advance(150);
    EXPECT_EQ(Rec().Only({"WM_MOUSEHOVER", "WM_MOUSELEAVE"}), (V{"h WM_MOUSEHOVER"}));
    Screen().MoveMouse({100, 100});
    Pump();
    Screen().MoveMouse({10, 10});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_MOUSEHOVER", "WM_MOUSELEAVE"}), (V{"h WM_MOUSEHOVER", "h WM_MOUSELEAVE"})) << "once";
    EXPECT_EQ(Screen().CurrentCursor(), hand);
    Screen().MoveMouse({100, 100});
    Pump();
    EXPECT_EQ(Screen().CurrentCursor(), hand) << "a window without a class cursor leaves the shape alone";

    SetFocus(h);
    Rec().Clear();
    Screen().Wheel({200, 200}, -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Rec().Only({"WM_MOUSEWHEEL"}), (V{"h WM_MOUSEWHEEL", "top WM_MOUSEWHEEL"}))
        << "the wheel goes to the focus and unhandled on to its parent";
}

}  // namespace

namespace {

HHOOK gKeyHook = nullptr;
LRESULT KeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == static_cast<WPARAM>('K')) return 1;  // swallowed
    return CallNextHookEx(gKeyHook, code, wParam, lParam);
}

TEST_F(Input, KeyboardHookMaySwallowKeys)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    SetFocus(w);
    gKeyHook = SetWindowsHookExA(WH_KEYBOARD, KeyHook, nullptr, 0);
    Rec().Clear();
    Screen().TypeText("jk");
    Pump();
    EXPECT_EQ(Rec().Only({"WM_KEYDOWN", "WM_KEYUP", "WM_CHAR"}), (V{"w WM_KEYDOWN 74", "w WM_CHAR j", "w WM_KEYUP 74"}));
    UnhookWindowsHookEx(gKeyHook);
}

TEST_F(Input, ModalLoopsInsideHandlersKeepDispatching)
{
    struct Modal {
        static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m == WM_USER) {
                // A modal loop: runs until its timer has fired twice.
                SetTimer(h, 9, 100, nullptr);
                int ticks = 0;
                MSG msg;
                while (ticks < 2 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
                    if (msg.message == WM_TIMER && msg.hwnd == h) ++ticks;
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
                KillTimer(h, 9);
                return ticks;
            }
            return RecordingProc(h, m, w, l);
        }
    };
    // The clock moves on from another window's timer proc while the loop runs.
    static quelvo::sys::ManualClock* clock = nullptr;
    clock = &clock_;
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND other = Make("other", WS_POPUP, 0, 0, 5, 5);
    SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Modal::Proc));
    SetTimer(other, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) { clock->Advance(60); });
    clock_.Advance(10);
    Screen().Click({5, 5});
    Rec().Clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 2);
    EXPECT_FALSE(Rec().Only({"WM_LBUTTONDOWN", "WM_LBUTTONUP"}).empty()) << "input was dispatched inside the modal loop";
}

TEST_F(Input, MessagePositionAndTime)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    clock_.Set(123456);
    Screen().MoveMouse({40, 30});
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessageTime(), 123456);
    EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(40, 30)));
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 40);
}

}  // namespace

namespace {

TEST_F(Input, ContextMenuRequestsFromMouseAndKeyboard)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 100, 100, 100, 100);
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1);
    SetFocus(child);
    struct Case {
        const char* what;
        std::function<void()> input;
        V expected;
    };
    auto& s = Screen();
    const Case cases[] = {
        {"right click", [&] { s.Click({110, 110}, quelvo::win::MouseButton::Right); },
         {"child WM_CONTEXTMENU 110,110", "top WM_CONTEXTMENU 110,110"}},
        {"menu key", [&] { s.PressKey(VK_APPS); }, {"child WM_CONTEXTMENU -1,-1", "top WM_CONTEXTMENU -1,-1"}},
        {"shift F10", [&] { s.KeyDown(VK_SHIFT); s.PressKey(VK_F10); s.KeyUp(VK_SHIFT); },
         {"child WM_CONTEXTMENU -1,-1", "top WM_CONTEXTMENU -1,-1"}},
    };
    for (const Case& c : cases) {
        Rec().Clear();
        c.input();
        Pump();
        EXPECT_EQ(Rec().Only({"WM_CONTEXTMENU"}), c.expected) << c.what;
    }
}

}  // namespace

namespace {

TEST_F(Input, NoActivateWindowsNeverTakeActivation)
{
    HWND main = Make("main", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND tip = Make("tip", WS_POPUP, 200, 200, 50, 50, nullptr, 0, WS_EX_NOACTIVATE | WS_EX_TOPMOST);
    ShowWindow(tip, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), main);
    Rec().Clear();
    Screen().Click({210, 210});
    Pump();
    EXPECT_EQ(GetActiveWindow(), main);
    EXPECT_EQ(Rec().Only({"WM_MOUSEACTIVATE", "WM_LBUTTONDOWN"}), (V{"tip WM_LBUTTONDOWN 10,10"}));
    EXPECT_EQ(GetTopWindow(nullptr), tip) << "topmost from creation";
}

}  // namespace

namespace {

TEST_F(Input, AnotherProgramTakingTheForegroundDeactivatesOurs)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND hidden = Make("hidden", WS_POPUP, 0, 0, 10, 10);
    Rec().Clear();
    quelvo::win::ForegroundChangedByDisplay(nullptr);
    EXPECT_EQ(Rec().Only(kFocus), (V{"w WM_NCACTIVATE 0", "w WM_ACTIVATE 0 0", "hidden WM_ACTIVATEAPP 0",
                                      "w WM_ACTIVATEAPP 0", "w WM_KILLFOCUS 0"}));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    quelvo::win::ForegroundChangedByDisplay(w);
    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetFocus(), w);
    (void)hidden;
}

}  // namespace

namespace {

HWND gHideOnDeactivate = nullptr;

LRESULT HideChildOnDeactivate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE && gHideOnDeactivate) ShowWindow(gHideOnDeactivate, SW_HIDE);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(Input, HidingTheFocusedChildWhileTheProgramLosesTheForegroundKeepsItInactive)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &HideChildOnDeactivate;
    wc.lpszClassName = "hideondeactivate";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, 0, 0, "hideondeactivate");
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top);
    SetFocus(child);
    ASSERT_EQ(GetActiveWindow(), top);
    gHideOnDeactivate = child;
    quelvo::win::ForegroundChangedByDisplay(nullptr);
    gHideOnDeactivate = nullptr;
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_NE(GetFocus(), child);
}

TEST_F(Input, CaptionButtonsWorkOnTheHeadlessScreen)
{
    HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200);
    Pump();
    Screen().DoubleClick({150, 10});
    Pump();
    EXPECT_TRUE(IsZoomed(w)) << "a double click on the caption maximizes";
    Screen().DoubleClick({150, 10});
    Pump();
    EXPECT_FALSE(IsZoomed(w));
    Rec().Clear();
    Screen().Click({290, 10});
    Pump();
    EXPECT_EQ(Rec().Only({"WM_SYSCOMMAND", "WM_CLOSE", "WM_DESTROY"}), (V{"w WM_SYSCOMMAND", "w WM_CLOSE", "w WM_DESTROY"}));
    EXPECT_FALSE(IsWindow(w));
}


// The headless display, noting where the program put the pointer.
class PointerDisplay : public quelvo::win::HeadlessDisplay {
public:
    void PointerMoved(POINT pt) override { moves.push_back(pt); }
    std::vector<POINT> moves;
};

TEST_F(Input, SetCursorPosAndShowCursorReachTheDisplay)
{
    auto owned = std::make_unique<PointerDisplay>();
    PointerDisplay* display = owned.get();
    quelvo::win::SetDisplay(std::move(owned));
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    Rec().Clear();
    ASSERT_TRUE(SetCursorPos(40, 50));
    Pump();
    ASSERT_EQ(display->moves.size(), 1u);
    EXPECT_EQ(display->moves[0].x, 40);
    EXPECT_EQ(display->moves[0].y, 50);
    POINT pt{};
    GetCursorPos(&pt);
    EXPECT_EQ(pt.x, 40);
    EXPECT_EQ(Rec().Only({"WM_MOUSEMOVE"}), (V{"top WM_MOUSEMOVE 40,50"}));
    (void)top;

    struct Step {
        BOOL show;
        int count;
        bool shown;
    };
    const Step steps[] = {{FALSE, -1, false}, {FALSE, -2, false}, {TRUE, -1, false}, {TRUE, 0, true}, {TRUE, 1, true}, {FALSE, 0, true}};
    for (const Step& s : steps) {
        EXPECT_EQ(ShowCursor(s.show), s.count);
        EXPECT_EQ(display->PointerShown(), s.shown) << s.count;
    }
}

TEST_F(Input, DoubleClickDistanceFromTheDisplaySettings)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    const std::set<std::string> keep = {"WM_LBUTTONDBLCLK"};
    struct Case {
        int distance;  // 0: not given
        int apart;
        bool doubled;
    };
    const Case cases[] = {{0, 2, true}, {0, 3, false}, {5, 5, true}, {5, 6, false}};
    for (const Case& c : cases) {
        Screen().SetDoubleClickDistance(c.distance);
        Advance(2000);
        Rec().Clear();
        Screen().Click({100, 100});
        Pump();
        clock_.Advance(50);
        Screen().Click({100 + c.apart, 100});
        Pump();
        EXPECT_EQ(Rec().Only(keep).size(), c.doubled ? 1u : 0u) << c.distance << " apart " << c.apart;
    }
    (void)top;
}

TEST(Beeps, EveryBeepAskedForIsCounted)
{
    const unsigned before = MessageBeepCount();
    MessageBeep(0);
    MessageBeep(0xFFFFFFFF);
    EXPECT_EQ(MessageBeepCount(), before + 2);
    // The display in use hears each one.
    const unsigned heard = quelvo::win::Headless().BeepCount();
    MessageBeep(0);
    EXPECT_EQ(quelvo::win::Headless().BeepCount(), heard + 1);
}

}  // namespace
