// Window tree, creation and destruction order, placement, coordinates and
// window data.
#include <algorithm>

#include "platform/system/winbase.h"
#include "tests/platform/windows/win_fixture.h"

using namespace wintest;
using V = std::vector<std::string>;

namespace {

std::string RectTextOf(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

const std::set<std::string> kLifecycle = {"WM_GETMINMAXINFO", "WM_NCCREATE",   "WM_NCCALCSIZE", "WM_CREATE",
                                          "WM_SIZE",          "WM_MOVE",       "WM_SHOWWINDOW", "WM_PARENTNOTIFY",
                                          "WM_DESTROY",       "WM_NCDESTROY",  "WM_ACTIVATEAPP", "WM_ACTIVATE",
                                          "WM_SETFOCUS",      "WM_KILLFOCUS",  "WM_WINDOWPOSCHANGING",
                                          "WM_WINDOWPOSCHANGED", "WM_NCACTIVATE", "WM_CAPTURECHANGED"};

class Tree : public WinTest {};

TEST_F(Tree, CreationOrderOfTopLevelAndChildWindows)
{
    struct Case {
        const char* what;
        bool child;
        DWORD style;
        V expected;
    };
    const Case cases[] = {
        {"hidden popup", false, WS_POPUP,
         {"w WM_NCCREATE", "w WM_NCCALCSIZE", "w WM_CREATE", "w WM_SIZE 50,40", "w WM_MOVE 10,20"}},
        {"overlapped (caption forced)", false, WS_OVERLAPPED,
         {"w WM_GETMINMAXINFO", "w WM_NCCREATE", "w WM_NCCALCSIZE", "w WM_CREATE", "w WM_SIZE 44,15", "w WM_MOVE 13,42"}},
        {"visible popup activates", false, WS_POPUP | WS_VISIBLE,
         {"w WM_NCCREATE", "w WM_NCCALCSIZE", "w WM_CREATE", "w WM_SIZE 50,40", "w WM_MOVE 10,20",
          "w WM_SHOWWINDOW 1", "w WM_WINDOWPOSCHANGING", "w WM_WINDOWPOSCHANGING", "w WM_WINDOWPOSCHANGED",
          "w WM_ACTIVATEAPP 1", "w WM_NCACTIVATE 1", "w WM_ACTIVATE 1 0", "w WM_SETFOCUS 0", "w WM_WINDOWPOSCHANGED"}},
        {"visible child", true, WS_CHILD | WS_VISIBLE,
         {"w WM_NCCREATE", "w WM_NCCALCSIZE", "w WM_CREATE", "w WM_SIZE 50,40", "w WM_MOVE 10,20",
          "p WM_PARENTNOTIFY", "w WM_SHOWWINDOW 1", "w WM_WINDOWPOSCHANGING", "w WM_WINDOWPOSCHANGED"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        quelvo::win::ResetWindowManager();
        SetUp();
        HWND p = c.child ? Make("p", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300) : nullptr;
        Rec().Clear();
        HWND w = Make("w", c.style, 10, 20, 50, 40, p);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(Rec().Only(kLifecycle), c.expected);
    }
}

TEST_F(Tree, DestroySendsDestroyParentFirstAndNcDestroyChildrenFirst)
{
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND a = Make("a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, p, 1);
    HWND b = Make("b", WS_CHILD, 60, 0, 50, 50, p, 2);
    HWND aa = Make("aa", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a, 3);
    Rec().Clear();
    ASSERT_TRUE(DestroyWindow(p));
    EXPECT_EQ(Rec().Only({"WM_DESTROY", "WM_NCDESTROY"}),
              (V{"p WM_DESTROY", "a WM_DESTROY", "aa WM_DESTROY", "b WM_DESTROY", "aa WM_NCDESTROY",
                 "a WM_NCDESTROY", "b WM_NCDESTROY", "p WM_NCDESTROY"}));
    for (HWND h : {p, a, b, aa}) EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Tree, DestroyingTheFocusedChildHandsFocusAndCaptureBack)
{
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND c = Make("c", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, p, 1);
    SetFocus(c);
    SetCapture(c);
    Rec().Clear();
    DestroyWindow(c);
    EXPECT_EQ(Rec().Only({"WM_KILLFOCUS", "WM_SETFOCUS", "WM_CAPTURECHANGED", "WM_DESTROY"}),
              (V{"c WM_KILLFOCUS p", "p WM_SETFOCUS c", "c WM_CAPTURECHANGED 0", "c WM_DESTROY"}));
    EXPECT_EQ(GetFocus(), p);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Tree, OwnedPopupsGoWithTheirOwnerAndStayAboveIt)
{
    HWND owner = Make("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 300);
    HWND popup = Make("popup", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, owner);
    HWND other = Make("other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), owner);
    EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), owner);
    EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
    SetActiveWindow(owner);
    EXPECT_EQ(GetTopWindow(nullptr), popup);
    EXPECT_EQ(GetWindow(popup, GW_HWNDNEXT), owner);
    EXPECT_EQ(GetWindow(owner, GW_HWNDNEXT), other);
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(Tree, ShowAndHideAnswerThePreviousStateAndNotifyOnlyOnChange)
{
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND c = Make("c", WS_CHILD, 0, 0, 50, 50, p, 1);
    struct Step {
        int cmd;
        BOOL result;
        V messages;
    };
    const Step steps[] = {
        {SW_SHOW, FALSE, {"c WM_SHOWWINDOW 1", "c WM_WINDOWPOSCHANGING", "c WM_WINDOWPOSCHANGED"}},
        {SW_SHOW, TRUE, {"c WM_WINDOWPOSCHANGING", "c WM_WINDOWPOSCHANGED"}},
        {SW_HIDE, TRUE, {"c WM_SHOWWINDOW 0", "c WM_WINDOWPOSCHANGING", "c WM_WINDOWPOSCHANGED"}},
        {SW_HIDE, FALSE, {}},
    };
    for (const Step& s : steps) {
        Rec().Clear();
        EXPECT_EQ(ShowWindow(c, s.cmd), s.result) << s.cmd;
        EXPECT_EQ(Rec().Only(kLifecycle), s.messages) << s.cmd;
        EXPECT_EQ(IsWindowVisible(c), s.cmd != SW_HIDE);
    }
    ShowWindow(p, SW_HIDE);
    ShowWindow(c, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(c)) << "visible only when every ancestor is";
}

TEST_F(Tree, SetWindowPosSendsMoveAndSizeOnlyForWhatChanged)
{
    HWND p = Make("p", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300);
    HWND c = Make("c", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 50, 50, p, 1);
    struct Case {
        int x, y, cx, cy;
        UINT flags;
        V expected;
    };
    const Case cases[] = {
        {20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER,
         {"c WM_WINDOWPOSCHANGING", "c WM_WINDOWPOSCHANGED", "c WM_MOVE 21,31"}},
        {0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER,
         {"c WM_WINDOWPOSCHANGING", "c WM_NCCALCSIZE", "c WM_WINDOWPOSCHANGED", "c WM_SIZE 78,58"}},
        {5, 6, 70, 40, SWP_NOZORDER,
         {"c WM_WINDOWPOSCHANGING", "c WM_NCCALCSIZE", "c WM_WINDOWPOSCHANGED", "c WM_MOVE 6,7", "c WM_SIZE 68,38"}},
        {5, 6, 70, 40, SWP_NOZORDER, {"c WM_WINDOWPOSCHANGING", "c WM_WINDOWPOSCHANGED"}},
        {0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOSENDCHANGING, {"c WM_WINDOWPOSCHANGED"}},
        {0, 0, -5, -5, SWP_NOMOVE | SWP_NOZORDER,
         {"c WM_WINDOWPOSCHANGING", "c WM_NCCALCSIZE", "c WM_WINDOWPOSCHANGED", "c WM_SIZE 0,0"}},
    };
    for (const Case& k : cases) {
        Rec().Clear();
        ASSERT_TRUE(SetWindowPos(c, nullptr, k.x, k.y, k.cx, k.cy, k.flags));
        EXPECT_EQ(Rec().Only({"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_MOVE", "WM_SIZE"}),
                  k.expected);
    }
    RECT r;
    GetClientRect(c, &r);
    EXPECT_EQ(r.right, 0) << "negative sizes become empty";
}

TEST_F(Tree, WindowPosChangingMayAlterThePlacement)
{
    struct Clamp {
        static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m == WM_WINDOWPOSCHANGING) {
                auto* wp = reinterpret_cast<WINDOWPOS*>(l);
                wp->cx = std::min(wp->cx, 100);
            }
            return DefWindowProcA(h, m, w, l);
        }
    };
    HWND w = Make("w", WS_POPUP, 0, 0, 50, 50);
    SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Clamp::Proc));
    SetWindowPos(w, nullptr, 0, 0, 500, 80, SWP_NOMOVE | SWP_NOZORDER);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 80);
}

TEST_F(Tree, ZOrderOfTopLevelWindows)
{
    HWND a = Make("a", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND b = Make("b", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND c = Make("c", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    auto order = [] {
        std::string s;
        for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) s += Rec().NameOf(h);
        return s;
    };
    EXPECT_EQ(order(), "cba");
    struct Case {
        HWND w;
        HWND after;
        std::string order;
    };
    const Case cases[] = {
        {a, HWND_TOP, "acb"},     {a, HWND_BOTTOM, "cba"}, {b, HWND_TOPMOST, "bca"},
        {c, HWND_TOP, "bca"},     {a, HWND_TOPMOST, "abc"}, {b, HWND_NOTOPMOST, "abc"},
        {c, a, "acb"},            {b, c, "acb"},
    };
    for (const Case& k : cases) {
        SetWindowPos(k.w, k.after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        EXPECT_EQ(order(), k.order);
    }
    EXPECT_TRUE(GetWindowLongA(a, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Tree, CoordinatesAcrossNestedWindowsWithFrames)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE | WS_BORDER, 100, 50, 400, 300);
    HWND mid = Make("mid", WS_CHILD | WS_VISIBLE, 10, 20, 200, 200, top, 1, WS_EX_CLIENTEDGE);
    HWND leaf = Make("leaf", WS_CHILD | WS_VISIBLE, 5, 5, 30, 30, mid, 2);
    RECT r;
    GetWindowRect(leaf, &r);
    // top client at 101,51; mid window at 111,71, its client 2 further in.
    EXPECT_EQ(r.left, 118);
    EXPECT_EQ(r.top, 78);
    POINT pt{0, 0};
    ClientToScreen(leaf, &pt);
    EXPECT_EQ(pt.x, 118);
    ScreenToClient(top, &pt);
    EXPECT_EQ(pt.x, 17);
    EXPECT_EQ(pt.y, 27);
    POINT pts[2] = {{0, 0}, {1, 1}};
    MapWindowPoints(leaf, mid, pts, 2);
    EXPECT_EQ(pts[1].x, 6);
    EXPECT_EQ(pts[1].y, 6);
    MapWindowPoints(leaf, nullptr, pts, 1);
    EXPECT_EQ(pts[0].x, 118 + 5);

    struct Hit {
        POINT screen;
        HWND expected;
    };
    const Hit hits[] = {{{120, 80}, leaf}, {{113, 73}, mid}, {{105, 55}, top}, {{99, 49}, nullptr}, {{600, 600}, nullptr}};
    for (const Hit& h : hits) EXPECT_EQ(WindowFromPoint(h.screen), h.expected) << h.screen.x << "," << h.screen.y;
    EnableWindow(leaf, FALSE);
    EXPECT_EQ(WindowFromPoint(POINT{120, 80}), mid) << "disabled children are passed over";
    EXPECT_EQ(ChildWindowFromPointEx(mid, POINT{10, 10}, CWP_ALL), leaf);
    EXPECT_EQ(ChildWindowFromPointEx(mid, POINT{10, 10}, CWP_SKIPDISABLED), mid);
    ShowWindow(leaf, SW_HIDE);
    EXPECT_EQ(ChildWindowFromPointEx(mid, POINT{10, 10}, CWP_SKIPINVISIBLE), mid);
    EXPECT_EQ(ChildWindowFromPointEx(mid, POINT{-1, 10}, CWP_ALL), nullptr);
}

TEST_F(Tree, HitTestTransparentWindowsPassThePointOn)
{
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND under = Make("under", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 1);
    HWND glass = Make("glass", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, top, 2);
    SetWindowPos(glass, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), glass);
    Rec().answers["glass"].byMessage[WM_NCHITTEST] = HTTRANSPARENT;
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), under);
}

LRESULT Subclass(HWND h, UINT m, WPARAM w, LPARAM l);
WNDPROC gOriginal = nullptr;
LRESULT Subclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_USER) return 42;
    return CallWindowProcA(gOriginal, h, m, w, l);
}

TEST_F(Tree, SubclassingChainsThroughCallWindowProc)
{
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10);
    gOriginal = reinterpret_cast<WNDPROC>(SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
    EXPECT_EQ(gOriginal, &RecordingProc);
    EXPECT_EQ(GetWindowLongA(w, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(&Subclass));
    Rec().Clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 42);
    EXPECT_TRUE(Rec().All().empty()) << "the subclass answered alone";
    SendMessageA(w, WM_USER + 1, 0, 0);
    EXPECT_EQ(Rec().All(), V{"w 0x1025"});
    EXPECT_EQ(SetWindowLongA(w, GWL_WNDPROC, 0), 0) << "a null procedure is refused";
}

TEST_F(Tree, WindowLongsAndExtraBytes)
{
    WNDCLASSA wc;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 8;
    wc.lpszClassName = "extra";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND w = Make("w", WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0, "extra");
    EXPECT_EQ(SetWindowLongA(w, 0, 7), 0);
    EXPECT_EQ(SetWindowLongA(w, 4, -9), 0);
    EXPECT_EQ(GetWindowLongA(w, 0), 7);
    EXPECT_EQ(GetWindowLongA(w, 4), -9);
    EXPECT_EQ(SetWindowLongPtrA(w, 0, 0x1234567890LL), static_cast<LONG_PTR>(0xFFFFFFF700000007LL));
    EXPECT_EQ(GetWindowLongPtrA(w, 0), 0x1234567890LL);
    for (int bad : {5, 8, 1000, -1000}) {
        SetLastError(0);
        EXPECT_EQ(GetWindowLongA(w, bad), 0) << bad;
        EXPECT_EQ(GetLastError(), 1413u) << bad;
    }
    SetWindowLongA(w, GWL_USERDATA, 99);
    SetWindowLongA(w, GWL_ID, 12);
    EXPECT_EQ(GetWindowLongA(w, GWL_USERDATA), 99);
    EXPECT_EQ(GetWindowLongA(w, GWL_ID), 12);
    Rec().Clear();
    SetWindowLongA(w, GWL_STYLE, WS_POPUP | WS_BORDER);
    EXPECT_EQ(Rec().Only({"WM_STYLECHANGING", "WM_STYLECHANGED"}), (V{"w WM_STYLECHANGING", "w WM_STYLECHANGED"}));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)), WS_POPUP | WS_BORDER);
    SetWindowLongA(w, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)), WS_EX_TOOLWINDOW) << "topmost only through SetWindowPos";
}

TEST_F(Tree, TextPropertiesAndFinding)
{
    HWND w = Make("first", WS_POPUP, 0, 0, 10, 10);
    HWND hidden = CreateWindowExA(0, "plain", "msg", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(SetWindowTextA(w, "Renamed"));
    char buf[5];
    EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "Rena");
    EXPECT_EQ(GetWindowTextLengthA(w), 7);
    EXPECT_EQ(GetWindowTextA(w, buf, 0), 0);
    EXPECT_EQ(FindWindowA("REC", "Renamed"), w) << "class names compare without case";
    EXPECT_EQ(FindWindowA(nullptr, "renamed"), nullptr);
    EXPECT_EQ(FindWindowA("plain", nullptr), nullptr) << "message-only windows are not found";
    EXPECT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, "plain", nullptr), hidden);
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_FALSE(ShowWindow(hidden, SW_SHOW));
    EXPECT_EQ(GetAncestor(hidden, GA_PARENT), nullptr);

    int seen = 0;
    EnumWindows([](HWND h, LPARAM p) -> BOOL {
        if (!IsWindow(h)) return FALSE;
        ++*reinterpret_cast<int*>(p);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, 1);

    int a = 1, b = 2;
    EXPECT_TRUE(SetPropA(w, "Key", &a));
    EXPECT_TRUE(SetPropA(w, "key", &b));
    EXPECT_EQ(GetPropA(w, "KEY"), &b);
    EXPECT_EQ(RemovePropA(w, "key"), &b);
    EXPECT_EQ(GetPropA(w, "key"), nullptr);
    EXPECT_EQ(RemovePropA(w, "key"), nullptr);
    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(w, &pid), static_cast<DWORD>(getpid()));
    EXPECT_EQ(pid, static_cast<DWORD>(getpid()));
}

TEST_F(Tree, BadCallsFailWithAReason)
{
    struct Case {
        const char* what;
        HWND result;
        DWORD error;
    };
    HWND top = Make("top", WS_POPUP, 0, 0, 10, 10);
    HWND fake = reinterpret_cast<HWND>((static_cast<std::uintptr_t>(getpid()) << 32) | 0xFFFFFF);
    const Case cases[] = {
        {"unknown class", CreateWindowExA(0, "nope", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), 1407},
        {"child without parent", CreateWindowExA(0, "rec", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), 1406},
        {"dead parent", CreateWindowExA(0, "rec", "", WS_CHILD, 0, 0, 1, 1, fake, nullptr, nullptr, nullptr), 1400},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.result, nullptr) << c.what;
    }
    SetLastError(0);
    EXPECT_EQ(CreateWindowExA(0, "nope", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), 1407u);
    EXPECT_FALSE(DestroyWindow(fake));
    EXPECT_FALSE(IsWindow(fake));
    EXPECT_EQ(SendMessageA(fake, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessageA(fake, WM_USER, 0, 0));
    EXPECT_EQ(SetParent(top, top), nullptr);
    WNDCLASSA wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "rec";
    EXPECT_EQ(RegisterClassA(&wc), 0) << "registered twice";
    wc.lpszClassName = "";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_FALSE(UnregisterClassA("rec", nullptr)) << "a window still uses it";
    Rec().answers["refuses"].byMessage[WM_CREATE] = -1;
    EXPECT_EQ(Make("refuses", WS_POPUP, 0, 0, 1, 1), nullptr);
    Rec().answers["nonc"].byMessage[WM_NCCREATE] = 0;
    EXPECT_EQ(Make("nonc", WS_POPUP, 0, 0, 1, 1), nullptr);
}

TEST_F(Tree, DestroyingInsideItsOwnHandlersIsSafe)
{
    struct Self {
        static LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
        {
            if (m == WM_USER) DestroyWindow(h);
            if (m == WM_DESTROY) DestroyWindow(h);  // re-entrant: ignored
            return DefWindowProcA(h, m, w, l);
        }
    };
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    SetWindowLongA(w, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&Self::Proc));
    PostMessageA(w, WM_USER + 5, 0, 0);
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(Pump(), 0) << "posted messages of a destroyed window are dropped";
}

TEST_F(Tree, SetParentMovesAWindowBetweenParents)
{
    HWND a = Make("a", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND b = Make("b", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    HWND c = Make("c", WS_CHILD | WS_VISIBLE, 5, 5, 10, 10, a, 1);
    EXPECT_EQ(SetParent(c, b), a);
    EXPECT_EQ(GetParent(c), b);
    EXPECT_TRUE(IsChild(b, c));
    EXPECT_FALSE(IsChild(a, c));
    RECT r;
    GetWindowRect(c, &r);
    EXPECT_EQ(r.left, 205);
    EXPECT_EQ(SetParent(b, c), nullptr) << "a window cannot become its own descendant";
}

}  // namespace

namespace {

TEST_F(Tree, ClassProvidersRegisterSystemClassesOnDemand)
{
    static int runs = 0;
    runs = 0;
    quelvo::win::AddClassProvider([] {
        ++runs;
        WNDCLASSA wc;
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "ProvidedClass";
        RegisterClassA(&wc);
    });
    EXPECT_NE(Make("e", WS_POPUP, 0, 0, 1, 1, nullptr, 0, 0, "providedclass"), nullptr);
    EXPECT_EQ(CreateWindowExA(0, "StillMissing", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(runs, 1) << "each provider runs once";
    quelvo::win::ResetWindowManager();
    WNDCLASSA info;
    EXPECT_TRUE(GetClassInfoA(nullptr, "ProvidedClass", &info)) << "and again after a reset";
    EXPECT_EQ(runs, 2);
}

TEST_F(Tree, SystemMetricsParametersAndMonitors)
{
    Screen().SetScreenSize(800, 600);
    struct Metric {
        int index;
        int value;
    };
    const Metric metrics[] = {{SM_CXSCREEN, 800}, {SM_CYSCREEN, 600}, {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17},
                              {SM_CXCURSOR, 32},  {SM_CXBORDER, 1},   {SM_CXEDGE, 2},     {SM_CXDOUBLECLK, 4},
                              {SM_CYCAPTION, 19}, {SM_CMONITORS, 1},  {12345, 0}};
    for (const Metric& m : metrics) EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, 800);
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 3u);
    NONCLIENTMETRICSA ncm;
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    EXPECT_EQ(ncm.iScrollWidth, 17);
    ncm.cbSize = 12;
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 12, &ncm, 0)) << "a size we do not know";
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr, 0));
    EXPECT_EQ(GetDoubleClickTime(), 500u);

    HMONITOR primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{-10, 10}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{-10, 10}, MONITOR_DEFAULTTONEAREST), primary);
    RECT off{900, 900, 950, 950};
    EXPECT_EQ(MonitorFromRect(&off, MONITOR_DEFAULTTONULL), nullptr);
    HWND w = Make("w", WS_POPUP, 100, 100, 10, 10);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), primary);
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfoA(primary, &mi));
    EXPECT_EQ(mi.rcMonitor.bottom, 600);
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_FALSE(GetMonitorInfoA(reinterpret_cast<HMONITOR>(&mi), &mi));
    RECT r{0, 0, 100, 50};
    AdjustWindowRectEx(&r, WS_POPUP | WS_BORDER, FALSE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(r.left, -3);
    EXPECT_EQ(r.bottom, 53);
}

TEST_F(Tree, ScrollBarMetricsAreSettableAndTheChangeReachesEveryTopLevelWindow)
{
    HWND shown = Make("shown", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    Make("hidden", WS_POPUP, 0, 0, 50, 50);
    Make("child", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, shown);
    const std::set<std::string> change = {"WM_SETTINGCHANGE"};
    NONCLIENTMETRICSA ncm;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    ncm.iScrollWidth = 21;
    ncm.iScrollHeight = 14;
    Rec().Clear();
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof ncm, &ncm, SPIF_UPDATEINIFILE));
    EXPECT_EQ(Rec().Only(change), V{}) << "told only with SPIF_SENDCHANGE";
    struct Metric {
        int index;
        int value;
    };
    const Metric metrics[] = {{SM_CXVSCROLL, 21}, {SM_CXHSCROLL, 21}, {SM_CXHTHUMB, 21},
                              {SM_CYHSCROLL, 14}, {SM_CYVSCROLL, 14}, {SM_CYVTHUMB, 14}};
    for (const Metric& m : metrics) EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;
    NONCLIENTMETRICSA back;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &back, 0));
    EXPECT_EQ(back.iScrollWidth, 21);
    EXPECT_EQ(back.iScrollHeight, 14);

    ncm.iScrollWidth = 19;
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &ncm, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
    V told = Rec().Only(change);
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told, (V{"hidden WM_SETTINGCHANGE", "shown WM_SETTINGCHANGE"}));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 19);

    // Refused whole: nothing changes and nobody is told.
    Rec().Clear();
    struct Bad {
        UINT size;
        UINT cbSize;
        int width;
        int height;
    };
    const Bad bad[] = {{12, sizeof ncm, 17, 17}, {0, 12, 17, 17}, {0, sizeof ncm, 0, 17},
                       {0, sizeof ncm, 17, -3},  {0, sizeof ncm, 100000, 17}};
    for (const Bad& b : bad) {
        NONCLIENTMETRICSA m;
        m.cbSize = b.cbSize;
        m.iScrollWidth = b.width;
        m.iScrollHeight = b.height;
        EXPECT_FALSE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, b.size, &m, SPIF_SENDCHANGE)) << b.width;
    }
    EXPECT_FALSE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, nullptr, SPIF_SENDCHANGE));
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 14);
    EXPECT_EQ(Rec().Only(change), V{});

    quelvo::win::ResetWindowManager();
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17) << "a fresh window manager starts from the defaults";
}

TEST_F(Tree, MonitorFunctionsBindByNameFromUser32)
{
    Screen().SetMonitors({RECT{0, 0, 800, 600}, RECT{800, 0, 1600, 600}});
    HMODULE user32 = LoadLibraryA("user32");
    ASSERT_NE(user32, nullptr);
    using FromPoint = HMONITOR (*)(POINT, DWORD);
    using Info = BOOL (*)(HMONITOR, MONITORINFO*);
    auto fromPoint = reinterpret_cast<FromPoint>(GetProcAddress(user32, "MonitorFromPoint"));
    auto info = reinterpret_cast<Info>(GetProcAddress(user32, "GetMonitorInfoA"));
    ASSERT_TRUE(fromPoint && info);
    HMONITOR second = fromPoint(POINT{900, 10}, MONITOR_DEFAULTTONEAREST);
    EXPECT_EQ(second, MonitorFromPoint(POINT{900, 10}, MONITOR_DEFAULTTONEAREST));
    MONITORINFO mi;
    ASSERT_TRUE(info(second, &mi));
    EXPECT_EQ(mi.rcMonitor.left, 800);
    FreeLibrary(user32);
    Screen().SetMonitors({});
}

TEST_F(Tree, WindowRegionsShapeHitTesting)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    EXPECT_EQ(WindowFromPoint(POINT{90, 90}), w);
    HRGN rgn = CreateRectRgn(0, 0, 50, 50);
    EXPECT_EQ(SetWindowRgn(w, rgn, TRUE), 1);
    EXPECT_EQ(WindowFromPoint(POINT{90, 90}), nullptr);
    EXPECT_EQ(WindowFromPoint(POINT{10, 10}), w);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, copy), SIMPLEREGION);
    RECT box;
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right, 50);
    EXPECT_EQ(SetWindowRgn(w, nullptr, FALSE), 1);
    EXPECT_EQ(GetWindowRgn(w, copy), RGN_ERROR);
    DeleteObject(copy);
    EXPECT_EQ(WindowFromPoint(POINT{90, 90}), w);
}

}  // namespace

namespace {

TEST_F(Tree, HugeWindowsGetABoundedSurface)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, -100000, 0, 1000000, 1000000);
    ASSERT_NE(w, nullptr);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right - r.left, 1000000);
    quelvo::gfx::Surface* s = quelvo::win::TopLevelSurface(w);
    ASSERT_NE(s, nullptr);
    EXPECT_LE(static_cast<long long>(s->Width()) * s->Height(), 4096LL * 4096LL);
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_TRUE(IsWindow(w));
}

TEST_F(Tree, NoOwnerZOrderLeavesOwnedWindowsWhereTheyAre)
{
    HWND owner = Make("owner", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HWND owned = Make("owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, owner);
    HWND other = Make("other", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    EXPECT_EQ(GetTopWindow(nullptr), owner);
    SetWindowPos(owner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopWindow(nullptr), owned);
    (void)other;
}

}  // namespace

namespace {

TEST_F(Tree, DefaultNonClientAreaByStyle)
{
    struct Case {
        const char* what;
        DWORD style;
        DWORD exStyle;
        bool child;
        RECT client;  // in window coordinates of a 200 x 100 window
    };
    const Case cases[] = {
        {"bare popup", WS_POPUP, 0, false, {0, 0, 200, 100}},
        {"border", WS_POPUP | WS_BORDER, 0, false, {1, 1, 199, 99}},
        {"dialog frame", WS_POPUP | WS_DLGFRAME, 0, false, {3, 3, 197, 97}},
        {"sizing frame", WS_POPUP | WS_THICKFRAME, 0, false, {4, 4, 196, 96}},
        {"caption", WS_POPUP | WS_CAPTION, 0, false, {3, 22, 197, 97}},
        {"tool caption", WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, false, {3, 18, 197, 97}},
        {"child caption has none", WS_CHILD | WS_CAPTION, 0, true, {3, 3, 197, 97}},
        {"client edge and scroll bars", WS_CHILD | WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, true, {2, 2, 181, 81}},
        {"static edge", WS_CHILD, WS_EX_STATICEDGE, true, {1, 1, 199, 99}},
    };
    HWND parent = Make("parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400);
    for (const Case& c : cases) {
        HWND w = Make("w", c.style | WS_VISIBLE, 0, 0, 200, 100, c.child ? parent : nullptr, 1, c.exStyle);
        RECT wr, cr;
        GetWindowRect(w, &wr);
        GetClientRect(w, &cr);
        POINT o{0, 0};
        ClientToScreen(w, &o);
        RECT got{o.x - wr.left, o.y - wr.top, o.x - wr.left + cr.right, o.y - wr.top + cr.bottom};
        EXPECT_TRUE(EqualRect(&got, &c.client)) << c.what << ": " << got.left << "," << got.top << "," << got.right << "," << got.bottom;
        RECT adjusted = cr;
        AdjustWindowRectEx(&adjusted, c.style & ~(WS_VSCROLL | WS_HSCROLL), FALSE, c.exStyle);
        if (!(c.style & (WS_VSCROLL | WS_HSCROLL))) {
            EXPECT_EQ(adjusted.right - adjusted.left, 200) << c.what << ": AdjustWindowRectEx is the inverse";
        }
        DestroyWindow(w);
    }
}

TEST_F(Tree, DefaultHitTestCodes)
{
    HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, 100, 100, 300, 200);
    // Frame 4, caption 19, scroll bar 17: client from (104,123) to (379,296).
    struct Case {
        POINT pt;
        LRESULT hit;
    };
    const Case cases[] = {
        {{200, 200}, HTCLIENT},   {{200, 110}, HTCAPTION},  {{390, 110}, HTCLOSE},    {{106, 110}, HTSYSMENU},
        {{101, 200}, HTLEFT},     {{398, 200}, HTRIGHT},    {{200, 101}, HTTOP},      {{200, 298}, HTBOTTOM},
        {{101, 101}, HTTOPLEFT},  {{398, 298}, HTBOTTOMRIGHT}, {{385, 200}, HTVSCROLL}, {{50, 50}, HTNOWHERE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(c.pt.x), static_cast<WORD>(c.pt.y))), c.hit)
            << c.pt.x << "," << c.pt.y;
    Screen().MoveMouse({101, 200});
    Pump();
    EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), IDC_SIZEWE_ID);
    Screen().MoveMouse({101, 101});
    Pump();
    EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), IDC_SIZENWSE_ID);
    Screen().MoveMouse({200, 110});
    Pump();
    EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), IDC_ARROW_ID);
}

TEST_F(Tree, CaptionIsPaintedInTheActiveColour)
{
    HWND a = Make("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
    Pump();
    std::uint32_t active = quelvo::gfx::PixelFromColorRef(GetSysColor(COLOR_ACTIVECAPTION)) & 0xFFFFFF;
    std::uint32_t inactive = quelvo::gfx::PixelFromColorRef(GetSysColor(COLOR_INACTIVECAPTION)) & 0xFFFFFF;
    EXPECT_EQ(Screen().ScreenPixel(150, 10), active);
    Make("b", WS_POPUP | WS_VISIBLE, 300, 300, 10, 10);
    Pump();
    EXPECT_EQ(Screen().ScreenPixel(150, 10), inactive);
    SetWindowTextA(a, "A title");
    Pump();
    EXPECT_EQ(Screen().ScreenPixel(150, 10), inactive);
}

}  // namespace

namespace {

bool ScrollBarsHook(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& result)
{
    if (msg == WM_NCHITTEST && (GetWindowLongA(hwnd, GWL_STYLE) & WS_VSCROLL)) {
        result = HTBORDER;  // stands in for a layer that owns the bars
        return true;
    }
    return false;
}

TEST_F(Tree, AHigherLayerMayAnswerInsideDefWindowProc)
{
    HWND bars = Make("bars", WS_POPUP | WS_VSCROLL | WS_VISIBLE, 0, 0, 100, 100);
    HWND plain = Make("plain", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    EXPECT_EQ(quelvo::win::SetDefWindowProcHook(ScrollBarsHook), nullptr);
    EXPECT_EQ(SendMessageA(bars, WM_NCHITTEST, 0, MAKELPARAM(50, 50)), HTBORDER);
    EXPECT_EQ(SendMessageA(plain, WM_NCHITTEST, 0, MAKELPARAM(250, 50)), HTCLIENT);
    EXPECT_EQ(quelvo::win::SetDefWindowProcHook(nullptr), &ScrollBarsHook);
    EXPECT_EQ(SendMessageA(bars, WM_NCHITTEST, 0, MAKELPARAM(50, 50)), HTCLIENT);
}

}  // namespace

namespace {

TEST_F(Tree, MaximizeFillsTheWorkAreaAndRestoreGivesThePlaceBack)
{
    Screen().SetScreenSize(640, 480);
    HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 200, 100);
    Rec().Clear();
    ShowWindow(w, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(w));
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(RectTextOf(r), "0,0,640,480");
    EXPECT_EQ(Rec().Only({"WM_SIZE"}).size(), 1u);
    EXPECT_EQ(Rec().Only({"WM_SIZE"}).front(), "w WM_SIZE 632,453");
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(w));
    GetWindowRect(w, &r);
    EXPECT_EQ(RectTextOf(r), "10,20,210,120");
}


// Two monitors side by side, the right one primary, with a panel along the
// top of the left one.
class Desk : public Tree {
protected:
    void SetUp() override
    {
        Tree::SetUp();
        Screen().SetScreenSize(1800, 1000);
        Screen().SetMonitors({RECT{800, 0, 1800, 1000}, RECT{0, 200, 800, 800}});
        Screen().SetWorkArea(RECT{0, 30, 1800, 1000});
    }
};

TEST_F(Desk, MetricsAndWorkAreaFollowTheDisplay)
{
    Screen().SetDragThreshold(8);
    Screen().SetDoubleClickDistance(3);
    struct Metric {
        int index;
        int value;
    };
    const Metric metrics[] = {{SM_CXSCREEN, 1800},        {SM_CMONITORS, 2},         {SM_XVIRTUALSCREEN, 0},
                              {SM_YVIRTUALSCREEN, 0},     {SM_CXVIRTUALSCREEN, 1800}, {SM_CYVIRTUALSCREEN, 1000},
                              {SM_CXDRAG, 16},            {SM_CYDRAG, 16},           {SM_CXDOUBLECLK, 6},
                              {SM_CYDOUBLECLK, 6},        {SM_CXFULLSCREEN, 1000},   {SM_CYFULLSCREEN, 1000 - 30 - 19}};
    for (const Metric& m : metrics) EXPECT_EQ(GetSystemMetrics(m.index), m.value) << m.index;
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(RectTextOf(work), "0,30,1800,1000");

    struct Facts {
        const char* what;
        std::vector<RECT> monitors;
        RECT work;
        std::string expectedWork;
        int monitorCount;
    };
    const Facts facts[] = {
        {"no monitors: the screen", {}, RECT{}, "0,0,1800,1000", 1},
        {"empty monitors are skipped", {RECT{5, 5, 5, 9}, RECT{0, 0, 100, 100}}, RECT{}, "0,0,100,100", 1},
        {"a work area off every monitor: all of them", {RECT{0, 0, 100, 100}}, RECT{500, 500, 600, 600}, "0,0,100,100", 1},
        {"a work area larger than the monitors is cut", {RECT{0, 0, 100, 100}}, RECT{-50, 10, 900, 900}, "0,10,100,100", 1},
    };
    for (const Facts& f : facts) {
        SCOPED_TRACE(f.what);
        Screen().SetMonitors(f.monitors);
        Screen().SetWorkArea(f.work);
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
        EXPECT_EQ(RectTextOf(work), f.expectedWork);
        EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), f.monitorCount);
    }
    Screen().SetDragThreshold(0);
    EXPECT_EQ(GetSystemMetrics(SM_CXDRAG), 4) << "no setting: the layer's own";
}

TEST_F(Desk, MonitorsByPointRectAndWindow)
{
    HMONITOR right = MonitorFromPoint(POINT{900, 10}, MONITOR_DEFAULTTONULL);
    HMONITOR left = MonitorFromPoint(POINT{10, 300}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(right, nullptr);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(left, right);
    MONITORINFO mi;
    ASSERT_TRUE(GetMonitorInfoA(right, &mi));
    EXPECT_EQ(RectTextOf(mi.rcMonitor), "800,0,1800,1000");
    EXPECT_EQ(RectTextOf(mi.rcWork), "800,30,1800,1000");
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
    ASSERT_TRUE(GetMonitorInfoA(left, &mi));
    EXPECT_EQ(RectTextOf(mi.rcWork), "0,200,800,800") << "the panel lies above this monitor";
    EXPECT_EQ(mi.dwFlags, 0u);

    struct PointCase {
        POINT pt;
        DWORD flags;
        HMONITOR expected;
    };
    const PointCase points[] = {
        {{799, 799}, MONITOR_DEFAULTTONULL, left},     {{800, 0}, MONITOR_DEFAULTTONULL, right},
        {{10, 10}, MONITOR_DEFAULTTONULL, nullptr},    {{10, 10}, MONITOR_DEFAULTTOPRIMARY, right},
        {{10, 10}, MONITOR_DEFAULTTONEAREST, left},    {{-500, 500}, MONITOR_DEFAULTTONEAREST, left},
        {{5000, 10}, MONITOR_DEFAULTTONEAREST, right}, {{10, 10}, 77, nullptr},
    };
    for (const PointCase& c : points)
        EXPECT_EQ(MonitorFromPoint(c.pt, c.flags), c.expected) << c.pt.x << "," << c.pt.y << " flags " << c.flags;

    struct RectCase {
        RECT rect;
        DWORD flags;
        HMONITOR expected;
    };
    const RectCase rects[] = {
        {{700, 300, 1000, 400}, MONITOR_DEFAULTTONULL, right},  // more of it on the right
        {{600, 300, 850, 400}, MONITOR_DEFAULTTONULL, left},
        {{100, 0, 200, 100}, MONITOR_DEFAULTTONULL, nullptr},
        {{100, 0, 200, 100}, MONITOR_DEFAULTTONEAREST, left},
        {{300, 300, 300, 300}, MONITOR_DEFAULTTONULL, left},  // empty: its corner
    };
    for (const RectCase& c : rects) EXPECT_EQ(MonitorFromRect(&c.rect, c.flags), c.expected) << RectTextOf(c.rect);
    EXPECT_EQ(MonitorFromRect(nullptr, MONITOR_DEFAULTTONULL), nullptr);

    HWND w = Make("w", WS_POPUP, 100, 300, 50, 50);
    EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONULL), left);
    EXPECT_EQ(MonitorFromWindow(nullptr, MONITOR_DEFAULTTOPRIMARY), right);

    Screen().SetMonitors({RECT{0, 0, 1800, 1000}});
    EXPECT_FALSE(GetMonitorInfoA(left, &mi)) << "a monitor that went away";
    EXPECT_FALSE(GetMonitorInfoA(nullptr, &mi));
}

TEST_F(Desk, MaximizeKeepsOffThePanelOfItsOwnMonitor)
{
    HWND w = Make("w", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 300, 200, 100);
    ShowWindow(w, SW_SHOWMAXIMIZED);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(RectTextOf(r), "0,200,800,800");
    ShowWindow(w, SW_RESTORE);
    SetWindowPos(w, nullptr, 1000, 10, 200, 100, SWP_NOZORDER);
    ShowWindow(w, SW_SHOWMAXIMIZED);
    GetWindowRect(w, &r);
    EXPECT_EQ(RectTextOf(r), "800,30,1800,1000");
}

TEST_F(Tree, TheDisplayMaximizesAndMinimizeWithoutActivationKeepsTheActiveWindow)
{
    HWND a = Make("a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 200, 100);
    HWND b = Make("b", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100);
    SetActiveWindow(a);
    Rec().Clear();
    quelvo::win::MaximizedByDisplay(b, true);
    EXPECT_TRUE(IsZoomed(b));
    EXPECT_EQ(Rec().Only({"WM_SIZE"}), (V{"b WM_SIZE 192,73"})) << "the size kind says maximised";
    SetWindowPos(b, nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);  // the display's new size
    quelvo::win::MaximizedByDisplay(b, true);
    EXPECT_EQ(Rec().Only({"WM_SIZE"}).size(), 2u) << "no second notice for the same state";
    quelvo::win::MaximizedByDisplay(b, false);
    EXPECT_FALSE(IsZoomed(b));
    quelvo::win::MaximizedByDisplay(b, true);
    ShowWindow(b, SW_RESTORE);
    RECT r;
    GetWindowRect(b, &r);
    EXPECT_EQ(RectTextOf(r), "0,0,400,300") << "restore goes back to where the display had it";

    ShowWindow(b, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(IsIconic(b));
    EXPECT_TRUE(IsWindowVisible(b));
    EXPECT_EQ(GetActiveWindow(), a);
    SetActiveWindow(b);
    ShowWindow(b, SW_SHOWMINNOACTIVE);
    EXPECT_NE(GetActiveWindow(), b) << "a minimised window gives up activation";
    quelvo::win::MaximizedByDisplay(nullptr, true);
    HWND child = Make("c", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a, 1);
    quelvo::win::MaximizedByDisplay(child, true);
    EXPECT_FALSE(IsZoomed(child)) << "only top-level windows";
}

}  // namespace
