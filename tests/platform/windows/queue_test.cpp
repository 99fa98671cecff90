// Retrieval order, filters, quitting, timers on the manual clock, broadcast,
// registered messages, loop sources and termination signals.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "tests/platform/windows/win_fixture.h"

#include <algorithm>

#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"

using namespace wintest;
using V = std::vector<std::string>;

namespace {

class Queue : public WinTest {};

std::vector<std::string> Drain(bool dispatch = true)
{
    std::vector<std::string> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        out.push_back(MessageName(m.message));
        if (m.message == WM_QUIT) break;
        if (dispatch) DispatchMessageA(&m);
        if (out.size() > 50) break;
    }
    return out;
}

TEST_F(Queue, PostedBeforeInputBeforePaintBeforeTimers)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    SetTimer(w, 1, 50, nullptr);
    clock_.Advance(60);
    InvalidateRect(w, nullptr, FALSE);
    Screen().ButtonDown({10, 10});
    PostMessageA(w, WM_USER, 0, 0);
    PostMessageA(w, WM_APP, 0, 0);
    EXPECT_EQ(Drain(), (V{"WM_USER", "WM_APP", "WM_LBUTTONDOWN", "WM_PAINT", "WM_TIMER"}));
}

TEST_F(Queue, FiltersAndNoRemove)
{
    HWND a = Make("a", WS_POPUP, 0, 0, 10, 10);
    HWND b = Make("b", WS_POPUP, 0, 0, 10, 10);
    HWND ac = Make("ac", WS_CHILD, 0, 0, 5, 5, a, 1);
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    PostMessageA(ac, WM_USER + 3, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 4, 0, 0);
    MSG m;
    struct Case {
        HWND hwnd;
        UINT min, max;
        UINT flags;
        UINT expected;  // 0 = none
    };
    const Case cases[] = {
        {b, 0, 0, PM_NOREMOVE, WM_USER + 2},
        {nullptr, WM_USER + 3, WM_USER + 4, PM_NOREMOVE, WM_USER + 3},
        {reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE, WM_USER + 4},
        {a, WM_USER + 2, WM_USER + 2, PM_NOREMOVE, 0},
        {a, 0, 0, PM_REMOVE, WM_USER + 1},
        {a, 0, 0, PM_REMOVE, WM_USER + 3},  // children count for their parent
        {a, 0, 0, PM_REMOVE, 0},
        {nullptr, 0, 0, PM_REMOVE, WM_USER + 2},
        {nullptr, 0, 0, PM_REMOVE, WM_USER + 4},
        {nullptr, 0, 0, PM_REMOVE, 0},
    };
    for (const Case& c : cases) {
        BOOL got = PeekMessageA(&m, c.hwnd, c.min, c.max, c.flags);
        EXPECT_EQ(got != FALSE, c.expected != 0) << c.expected;
        if (got) {
            EXPECT_EQ(m.message, c.expected);
        }
    }
}

TEST_F(Queue, QuitComesAfterPostedMessagesAndEndsGetMessage)
{
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10);
    PostQuitMessage(3);
    PostMessageA(w, WM_USER, 0, 0);
    Screen().KeyDown('A');
    MSG m;
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, WM_USER);
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(0x1234), 0, 0), -1) << "an invalid window filter";
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

TEST_F(Queue, SendIsSynchronousAndReentrant)
{
    struct Relay {
        static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m == WM_USER) return SendMessageA(reinterpret_cast<HWND>(w), WM_USER + 1, 0, 0) + 1;
            if (m == WM_USER + 1) return 10;
            return DefWindowProcA(h, m, w, l);
        }
    };
    HWND a = Make("a", WS_POPUP, 0, 0, 10, 10);
    HWND b = Make("b", WS_POPUP, 0, 0, 10, 10);
    SetWindowLongA(a, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Relay::Proc));
    SetWindowLongA(b, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Relay::Proc));
    EXPECT_EQ(SendMessageA(a, WM_USER, reinterpret_cast<WPARAM>(b), 0), 11);
    EXPECT_TRUE(SendNotifyMessageA(b, WM_USER + 1, 0, 0));
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_NOREMOVE)) << "a notification to our own window is sent";
}

std::vector<std::string> gTimerLog;

LRESULT TimerProcWindow(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_TIMER) {
        gTimerLog.push_back("timer " + std::to_string(w));
        if (w == 3) KillTimer(h, 3);  // killing inside its own handler
        return 0;
    }
    return DefWindowProcA(h, m, w, l);
}

void CALLBACK_ThreadTimer(HWND, UINT, UINT_PTR id, DWORD) { gTimerLog.push_back("proc " + std::to_string(id >= 0x7FF0)); }

TEST_F(Queue, TimersCoalesceFireInDueOrderAndMayBeKilledInTheirHandler)
{
    gTimerLog.clear();
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10);
    SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TimerProcWindow));
    EXPECT_EQ(SetTimer(w, 1, 100, nullptr), 1u);
    EXPECT_EQ(SetTimer(w, 2, 250, nullptr), 2u);
    EXPECT_EQ(SetTimer(w, 3, 30, nullptr), 3u);
    UINT_PTR thread = SetTimer(nullptr, 0, 400, CALLBACK_ThreadTimer);
    EXPECT_NE(thread, 0u);
    struct Step {
        std::uint64_t advance;
        V fired;
    };
    const Step steps[] = {
        {20, {}},
        {10, {"timer 3"}},
        {70, {"timer 1"}},
        {1000, {"timer 1", "timer 2", "proc 1"}},  // late: once each, in due order
        {99, {}},
        {1, {"timer 1"}},
    };
    for (const Step& s : steps) {
        gTimerLog.clear();
        Advance(s.advance);
        EXPECT_EQ(gTimerLog, s.fired) << s.advance;
    }
    EXPECT_FALSE(KillTimer(w, 3)) << "already gone";
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_EQ(SetTimer(w, 2, 10, nullptr), 2u) << "same id replaces";
    gTimerLog.clear();
    Advance(10);
    EXPECT_EQ(gTimerLog, V{"timer 2"});
    DestroyWindow(w);
    gTimerLog.clear();
    Advance(1000);
    EXPECT_EQ(gTimerLog, V{"proc 1"}) << "a destroyed window's timers are gone";
    EXPECT_EQ(SetTimer(reinterpret_cast<HWND>(0x42), 1, 10, nullptr), 0u);
}

TEST_F(Queue, DispatchCallsOnlyRegisteredTimerProcedures)
{
    gTimerLog.clear();
    MSG forged;
    forged.message = WM_TIMER;
    forged.wParam = 5;
    forged.lParam = reinterpret_cast<LPARAM>(&CALLBACK_ThreadTimer);
    DispatchMessageA(&forged);
    EXPECT_TRUE(gTimerLog.empty());
}

TEST_F(Queue, BroadcastReachesEveryTopLevelWindowOnly)
{
    Make("shown", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND hidden = Make("hidden", WS_POPUP, 0, 0, 10, 10);
    Make("child", WS_CHILD, 0, 0, 1, 1, hidden, 1);
    CreateWindowExA(0, "rec", "msgonly", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    for (UINT msg : {WM_SYSCOLORCHANGE, WM_THEMECHANGED}) {
        Rec().Clear();
        EXPECT_EQ(SendMessageA(HWND_BROADCAST, msg, 0, 0), 1);
        EXPECT_EQ(Rec().Only({MessageName(msg)}), (V{"hidden " + MessageName(msg), "shown " + MessageName(msg)}));
    }
    Rec().Clear();
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0));
    Pump();
    EXPECT_EQ(Rec().Only({"WM_SETTINGCHANGE"}), (V{"hidden WM_SETTINGCHANGE", "shown WM_SETTINGCHANGE"}));
}

TEST_F(Queue, RegisteredMessages)
{
    UINT a = RegisterWindowMessageA("TaskbarCreated");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageA("taskbarcreated"), a);
    UINT b = RegisterWindowMessageA("Another");
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
    EXPECT_EQ(RegisterWindowMessageA(nullptr), 0u);
}

TEST_F(Queue, LoopSourcesWakeTheLoopAndMayPost)
{
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    int calls = 0;
    int id = quelvo::win::AddLoopSource(fds[0], [&] {
        char c;
        if (read(fds[0], &c, 1) == 1) ++calls;
        PostMessageA(w, WM_APP + 7, 0, 0);
    });
    ASSERT_GT(id, 0);
    EXPECT_EQ(quelvo::win::AddLoopSource(-1, [] {}), 0);
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    MSG m;
    ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, WM_APP + 7);
    EXPECT_EQ(calls, 1);
    quelvo::win::RemoveLoopSource(id);
    ASSERT_EQ(write(fds[1], "y", 1), 1);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(calls, 1);
    close(fds[0]);
    close(fds[1]);
}

TEST_F(Queue, TerminationSignalsCloseTheWindowsCleanly)
{
    quelvo::win::InstallCloseOnSignals();
    HWND a = Make("a", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND b = Make("b", WS_POPUP, 0, 0, 10, 10);
    Rec().answers["b"].byMessage[WM_CLOSE] = 0;  // b keeps itself open
    Rec().Clear();
    ASSERT_EQ(raise(SIGTERM), 0);
    Pump();
    EXPECT_EQ(Rec().Only({"WM_CLOSE", "WM_DESTROY"}), (V{"b WM_CLOSE", "a WM_CLOSE", "a WM_DESTROY"}));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_TRUE(IsWindow(b));
}

TEST_F(Queue, QuitAndUserSignalsCloseTooAndBrokenPipesEndNothing)
{
    quelvo::win::InstallCloseOnSignals();
    for (const int sig : {SIGQUIT, SIGUSR1, SIGUSR2}) {
        SCOPED_TRACE(sig);
        HWND window = Make("w", WS_POPUP, 0, 0, 10, 10);
        ASSERT_EQ(raise(sig), 0);
        Pump();
        EXPECT_FALSE(IsWindow(window));
    }
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    errno = 0;
    EXPECT_EQ(write(fds[1], "x", 1), -1);
    EXPECT_EQ(errno, EPIPE);
    close(fds[1]);
}

}  // namespace

namespace {

TEST_F(Queue, ThemeChangesReachEveryTopLevelWindow)
{
    HWND shown = Make("shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50);
    Make("hidden", WS_POPUP, 0, 0, 0, 0);
    Make("child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, shown);
    Rec().Clear();
    quelvo::gfx::SetThemeActive(false);
    quelvo::gfx::SetThemeActive(true);
    quelvo::gfx::SetThemeName("luna.msstyles", "NormalColor");
    char file[64] = "", color[64] = "";
    EXPECT_EQ(GetCurrentThemeName(file, 64, color, 64, nullptr, 0), 0);
    EXPECT_STREQ(file, "luna.msstyles");
    EXPECT_STREQ(color, "NormalColor");
    quelvo::gfx::SetThemeName("Flat.theme", "Normal");
    const auto seen = Rec().Only({"WM_THEMECHANGED"});
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "shown WM_THEMECHANGED"), 4);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "hidden WM_THEMECHANGED"), 4);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "child WM_THEMECHANGED"), 0);
}

TEST_F(Queue, ColourChangesReachEveryTopLevelWindowOncePerCall)
{
    HWND shown = Make("shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50);
    Make("hidden", WS_POPUP, 0, 0, 0, 0);
    Make("child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, shown);
    Rec().Clear();
    INT elements[] = {COLOR_WINDOW, COLOR_BTNFACE};
    COLORREF values[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
    SetSysColors(2, elements, values);
    auto seen = Rec().Only({"WM_SYSCOLORCHANGE"});
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"hidden WM_SYSCOLORCHANGE", "shown WM_SYSCOLORCHANGE"}));
    Rec().Clear();
    quelvo::gfx::ResetSysColors();
    EXPECT_EQ(Rec().Only({"WM_SYSCOLORCHANGE"}).size(), 2u);
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
}

}  // namespace
