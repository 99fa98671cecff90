// LISTBOX and COMBOBOX: items, selection modes and keys, owner drawing,
// the native scroll bar, drop-down and selection.
#include <cstdint>
#include <cstring>
#include <vector>

#include "ctl_fixture.h"

namespace ctltest {
namespace {

// A COLORREF as the display's 0xRRGGBB.
std::uint32_t RgbOf(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

class ListTest : public CtlTest {
protected:
    HWND MakeList(DWORD style, int items = 10, int h = 100)
    {
        HWND lb = MakeChild("LISTBOX", "", style | WS_BORDER, 10, 10, 150, h, 40);
        for (int i = 0; i < items; ++i) {
            std::string s = "item " + std::to_string(i);
            SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        }
        Pump();
        return lb;
    }
    void ClickItem(HWND lb, int index, WPARAM keys = 0)
    {
        RECT r;
        SendMessageA(lb, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        if (keys & MK_SHIFT) Screen().KeyDown(VK_SHIFT);
        if (keys & MK_CONTROL) Screen().KeyDown(VK_CONTROL);
        Screen().Click(ScreenPoint(lb, r.left + 5, (r.top + r.bottom) / 2));
        if (keys & MK_CONTROL) Screen().KeyUp(VK_CONTROL);
        if (keys & MK_SHIFT) Screen().KeyUp(VK_SHIFT);
        Pump();
        clock_.Advance(600);
    }
    static std::vector<int> Selected(HWND lb)
    {
        int items[64];
        LRESULT n = SendMessageA(lb, LB_GETSELITEMS, 64, reinterpret_cast<LPARAM>(items));
        if (n < 0) {
            LRESULT cur = SendMessageA(lb, LB_GETCURSEL, 0, 0);
            return cur < 0 ? std::vector<int>{} : std::vector<int>{static_cast<int>(cur)};
        }
        return std::vector<int>(items, items + n);
    }
    static std::string ItemText(HWND lb, int i)
    {
        char buf[64]{};
        SendMessageA(lb, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        return buf;
    }
};

TEST_F(ListTest, ItemsSortingSearchAndData)
{
    HWND lb = MakeList(LBS_SORT | LBS_NOTIFY, 0);
    for (const char* s : {"pear", "Apple", "banana", "apricot"}) SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    EXPECT_EQ(SendMessageA(lb, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ItemText(lb, 0), "Apple");
    EXPECT_EQ(ItemText(lb, 1), "apricot");
    EXPECT_EQ(ItemText(lb, 3), "pear");
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zebra")), 0);  // no sorting here
    EXPECT_EQ(SendMessageA(lb, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("x")), LB_ERR);
    EXPECT_EQ(SendMessageA(lb, LB_GETTEXTLEN, 0, 0), 5);
    EXPECT_EQ(SendMessageA(lb, LB_GETTEXTLEN, 7, 0), LB_ERR);
    struct Find {
        UINT msg;
        int start;
        const char* text;
        LRESULT expected;
    } finds[] = {
        {LB_FINDSTRING, -1, "ap", 1},        {LB_FINDSTRING, 1, "ap", 2},   {LB_FINDSTRING, 2, "ap", 1},  // wraps
        {LB_FINDSTRINGEXACT, -1, "APPLE", 1}, {LB_FINDSTRINGEXACT, -1, "app", LB_ERR}, {LB_FINDSTRING, -1, "q", LB_ERR},
    };
    for (const Find& f : finds)
        EXPECT_EQ(SendMessageA(lb, f.msg, static_cast<WPARAM>(f.start), reinterpret_cast<LPARAM>(f.text)), f.expected) << f.text;
    EXPECT_EQ(SendMessageA(lb, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ban")), 3);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 3);
    SendMessageA(lb, LB_SETITEMDATA, 2, 1234);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMDATA, 2, 0), 1234);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMDATA, 99, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 3, 0), 4);
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), LB_ERR);  // the selected item went
    EXPECT_EQ(SendMessageA(lb, LB_DELETESTRING, 9, 0), LB_ERR);
    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(lb, LB_GETCOUNT, 0, 0), 0);
    EXPECT_TRUE(H().Commands(LBN_SELCHANGE).empty());  // programmatic changes are not notified
}

TEST_F(ListTest, SelectionModesByMouseAndKeys)
{
    struct Step {
        int click = -1;  // item to click, or -1 for a key
        WPARAM mods = 0;
        int vk = 0;
    };
    struct Case {
        const char* name;
        DWORD style;
        std::vector<Step> steps;
        std::vector<int> selected;
        int caret;
    };
    const std::vector<Case> cases = {
        {"single: click", LBS_NOTIFY, {{3}}, {3}, 3},
        {"single: keys", LBS_NOTIFY, {{2}, {-1, 0, VK_DOWN}, {-1, 0, VK_DOWN}, {-1, 0, VK_UP}}, {3}, 3},
        {"single: home and end", LBS_NOTIFY, {{2}, {-1, 0, VK_END}}, {9}, 9},
        {"single: type-ahead", LBS_NOTIFY | LBS_HASSTRINGS, {{-1, 0, 'I'}}, {0}, 0},
        {"multiple: clicks toggle", LBS_MULTIPLESEL, {{1}, {4}, {1}}, {4}, 1},
        {"multiple: space toggles the caret item", LBS_MULTIPLESEL, {{1}, {-1, 0, VK_DOWN}, {-1, 0, VK_SPACE}}, {1, 2}, 2},
        {"extended: click replaces", LBS_EXTENDEDSEL, {{1}, {4}}, {4}, 4},
        {"extended: shift extends from the anchor", LBS_EXTENDEDSEL, {{2}, {5, MK_SHIFT}}, {2, 3, 4, 5}, 5},
        {"extended: ctrl adds", LBS_EXTENDEDSEL, {{2}, {5, MK_CONTROL}, {4, MK_CONTROL}, {5, MK_CONTROL}}, {2, 4}, 5},
        {"extended: shift+down", LBS_EXTENDEDSEL, {{2}, {-1, MK_SHIFT, VK_DOWN}, {-1, MK_SHIFT, VK_DOWN}}, {2, 3, 4}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND lb = MakeList(c.style | WS_VSCROLL);
        SetFocus(lb);
        for (const Step& s : c.steps) {
            if (s.click >= 0) {
                ClickItem(lb, s.click, s.mods);
                continue;
            }
            if (s.mods & MK_SHIFT) Screen().KeyDown(VK_SHIFT);
            if (s.vk == 'I') Screen().TypeText("i");
            else Screen().PressKey(s.vk);
            if (s.mods & MK_SHIFT) Screen().KeyUp(VK_SHIFT);
            Pump();
        }
        EXPECT_EQ(Selected(lb), c.selected);
        EXPECT_EQ(SendMessageA(lb, LB_GETCARETINDEX, 0, 0), c.caret);
        DestroyWindow(lb);
    }
}

TEST_F(ListTest, NotificationsAndMultipleSelectionMessages)
{
    HWND lb = MakeList(LBS_NOTIFY);
    ClickItem(lb, 2);
    EXPECT_EQ(H().Commands(LBN_SETFOCUS), std::vector<WORD>{40});
    EXPECT_EQ(H().Commands(LBN_SELCHANGE), std::vector<WORD>{40});
    ClickItem(lb, 2);  // the same item again
    EXPECT_EQ(H().Commands(LBN_SELCHANGE).size(), 1u);
    RECT r;
    SendMessageA(lb, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r));
    Screen().DoubleClick(ScreenPoint(lb, 5, r.top + 2));
    Pump();
    EXPECT_EQ(H().Commands(LBN_DBLCLK), std::vector<WORD>{40});
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(SendMessageA(lb, LB_SETSEL, TRUE, 1), LB_ERR);  // single selection
    EXPECT_EQ(SendMessageA(lb, LB_GETSELCOUNT, 0, 0), LB_ERR);

    HWND multi = MakeList(LBS_EXTENDEDSEL);
    SendMessageA(multi, LB_SETSEL, TRUE, -1);
    EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 10);
    SendMessageA(multi, LB_SETSEL, FALSE, 3);
    EXPECT_EQ(SendMessageA(multi, LB_GETSEL, 3, 0), 0);
    EXPECT_EQ(SendMessageA(multi, LB_GETSELCOUNT, 0, 0), 9);
    EXPECT_EQ(SendMessageA(multi, LB_SETCURSEL, 1, 0), LB_ERR);
    SendMessageA(multi, LB_SELITEMRANGEEX, 8, 2);  // backwards: deselects
    EXPECT_EQ(Selected(multi), (std::vector<int>{0, 1, 9}));
    H().log.clear();
    SetFocus(host_);
    EXPECT_EQ(H().Commands(LBN_KILLFOCUS), std::vector<WORD>{40});
}

TEST_F(ListTest, ScrollingAndTheNativeBar)
{
    HWND lb = MakeList(LBS_NOTIFY | WS_VSCROLL, 3, 100);
    // Three items fit: no bar.
    SCROLLBARINFO sbi;
    ASSERT_TRUE(GetScrollBarInfo(lb, OBJID_VSCROLL, &sbi));
    EXPECT_EQ(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
    int itemH = static_cast<int>(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0));
    RECT client;
    GetClientRect(lb, &client);
    EXPECT_EQ(client.bottom % itemH, 0);  // whole items only
    for (int i = 3; i < 30; ++i) SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    ASSERT_TRUE(GetScrollBarInfo(lb, OBJID_VSCROLL, &sbi));
    EXPECT_EQ(sbi.rgstate[0], 0u);
    GetClientRect(lb, &client);
    int visible = client.bottom / itemH;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    ASSERT_TRUE(GetScrollInfo(lb, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 29);
    EXPECT_EQ(static_cast<int>(si.nPage), visible);

    struct Case {
        WORD code;
        int expectedTop;
    } cases[] = {{SB_LINEDOWN, 1}, {SB_PAGEDOWN, 1 + visible - 1}, {SB_LINEUP, visible - 1}, {SB_BOTTOM, 30 - visible}, {SB_TOP, 0}};
    for (const Case& c : cases) {
        SendMessageA(lb, WM_VSCROLL, c.code, 0);
        EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), c.expectedTop) << c.code;
        EXPECT_EQ(GetScrollPos(lb, SB_VERT), c.expectedTop);
    }
    // A scroll-bar control of another window (lParam) gives the thumb
    // position in wParam; the list's own bar is not being tracked.
    HWND other = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | SBS_VERT, 0, 0, 17, 50, host_, nullptr, nullptr, nullptr);
    for (WORD code : {static_cast<WORD>(SB_THUMBTRACK), static_cast<WORD>(SB_THUMBPOSITION)}) {
        const int target = code == SB_THUMBTRACK ? 7 : 3;
        SendMessageA(lb, WM_VSCROLL, MAKEWPARAM(code, target), reinterpret_cast<LPARAM>(other));
        EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), target) << code;
    }
    DestroyWindow(other);
    SendMessageA(lb, WM_VSCROLL, SB_TOP, 0);
    // A click on the bar's lower arrow scrolls by one line.
    ASSERT_TRUE(GetScrollBarInfo(lb, OBJID_VSCROLL, &sbi));
    Screen().Click(POINT{(sbi.rcScrollBar.left + sbi.rcScrollBar.right) / 2, sbi.rcScrollBar.bottom - 3});
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 1);
    // The wheel, the caret and the top index keep the caret in view.
    SetFocus(lb);
    Screen().Wheel(ScreenPoint(lb, 10, 10), -WHEEL_DELTA);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 4);
    SendMessageA(lb, LB_SETCURSEL, 25, 0);
    int top = static_cast<int>(SendMessageA(lb, LB_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, 25);
    EXPECT_GT(top + visible, 25);
    SendMessageA(lb, LB_SETTOPINDEX, 29, 0);  // the last page stays full
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), 30 - visible);
    RECT r;
    SendMessageA(lb, LB_GETITEMRECT, 29, reinterpret_cast<LPARAM>(&r));
    LRESULT hit = SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(3, r.top + 1));
    EXPECT_EQ(LOWORD(hit), 29);
    EXPECT_EQ(HIWORD(hit), 0);
    hit = SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(3, 2000));
    EXPECT_EQ(HIWORD(hit), 1);
    // Removing items hides the bar again.
    SendMessageA(lb, LB_RESETCONTENT, 0, 0);
    ASSERT_TRUE(GetScrollBarInfo(lb, OBJID_VSCROLL, &sbi));
    EXPECT_EQ(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE, STATE_SYSTEM_INVISIBLE);
    // A horizontal extent brings a horizontal bar.
    HWND wide = MakeList(WS_HSCROLL, 3);
    SendMessageA(wide, LB_SETHORIZONTALEXTENT, 600, 0);
    ASSERT_TRUE(GetScrollBarInfo(wide, OBJID_HSCROLL, &sbi));
    EXPECT_EQ(sbi.rgstate[0], 0u);
    EXPECT_EQ(SendMessageA(wide, LB_GETHORIZONTALEXTENT, 0, 0), 600);
}

TEST_F(ListTest, OwnerDrawCallsCarryStateAndData)
{
    H().measureHeight = 22;
    HWND lb = MakeChild("LISTBOX", "", LBS_OWNERDRAWFIXED | LBS_NOTIFY | WS_VSCROLL, 10, 10, 150, 100, 41);
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMHEIGHT, 0, 0), 22);
    EXPECT_EQ(H().Count(WM_MEASUREITEM), 1);
    SetFocus(lb);
    Pump();
    ASSERT_FALSE(H().drawn.empty());
    EXPECT_EQ(static_cast<int>(H().drawn.back().itemID), -1);  // an empty list with the focus
    EXPECT_EQ(H().drawn.back().itemState & ODS_FOCUS, ODS_FOCUS);
    for (ULONG_PTR d : {0xA0u, 0xB0u, 0xC0u}) SendMessageA(lb, LB_ADDSTRING, 0, static_cast<LPARAM>(d));
    EXPECT_EQ(SendMessageA(lb, LB_GETITEMDATA, 1, 0), 0xB0);  // no strings: the value is the data
    H().drawn.clear();
    ClickItem(lb, 1);
    ASSERT_FALSE(H().drawn.empty());
    bool sawSelected = false;
    for (const DRAWITEMSTRUCT& d : H().drawn) {
        EXPECT_EQ(d.CtlType, ODT_LISTBOX);
        EXPECT_EQ(d.CtlID, 41u);
        EXPECT_EQ(d.hwndItem, lb);
        EXPECT_EQ(d.rcItem.bottom - d.rcItem.top, 22);
        if (d.itemID == 1) {
            EXPECT_EQ(d.itemData, 0xB0u);
            EXPECT_EQ(d.itemState & (ODS_SELECTED | ODS_FOCUS), ODS_SELECTED | ODS_FOCUS);
            sawSelected = true;
        } else {
            EXPECT_EQ(d.itemState & ODS_SELECTED, 0u);
        }
    }
    EXPECT_TRUE(sawSelected);
    // Printing the client paints the items into the DC given.
    H().drawn.clear();
    HDC mem = CreateCompatibleDC(nullptr);
    SendMessageA(lb, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), 0);
    ASSERT_EQ(H().drawn.size(), 3u);
    EXPECT_EQ(H().drawn.front().hDC, mem);
    DeleteDC(mem);

    H().log.clear();
    H().measureHeight = 0;
    HWND variable = MakeChild("LISTBOX", "", LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS, 200, 10, 150, 100, 42);
    SendMessageA(variable, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
    SendMessageA(variable, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("b"));
    EXPECT_EQ(H().Count(WM_MEASUREITEM), 2);  // each item measured
    SendMessageA(variable, LB_SETITEMHEIGHT, 1, 40);
    RECT r0, r1;
    SendMessageA(variable, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    SendMessageA(variable, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r1));
    EXPECT_EQ(r1.top, r0.bottom);
    EXPECT_EQ(r1.bottom - r1.top, 40);
    EXPECT_EQ(SendMessageA(variable, LB_SETITEMHEIGHT, 1, 0), LB_ERR);
}

TEST_F(ListTest, KeyboardInputCanGoToTheParent)
{
    H().extra = [](HWND, UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
        if (msg != WM_VKEYTOITEM && msg != WM_CHARTOITEM) return 0;
        handled = true;
        if (msg == WM_CHARTOITEM) return 7;                    // jump to item 7
        return LOWORD(wParam) == VK_DOWN ? -2 : -1;           // swallow Down, default for others
    };
    HWND lb = MakeList(LBS_WANTKEYBOARDINPUT | LBS_NOTIFY | LBS_HASSTRINGS);
    SetFocus(lb);
    SendMessageA(lb, LB_SETCURSEL, 2, 0);
    Keys({VK_DOWN});
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2);
    Keys({VK_UP});
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 1);
    Screen().TypeText("x");
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 7);
    EXPECT_EQ(SendMessageA(lb, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

class ComboTest : public CtlTest {
protected:
    HWND MakeCombo(DWORD style, int h = 150)
    {
        HWND cb = MakeChild("COMBOBOX", "", style | WS_TABSTOP, 20, 20, 160, h, 50);
        for (const char* s : {"red", "green", "blue", "black", "white"})
            SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
        Pump();
        H().log.clear();
        return cb;
    }
    static std::string Text(HWND cb)
    {
        char buf[64]{};
        GetWindowTextA(cb, buf, sizeof buf);
        return buf;
    }
    static HWND List() { return FindWindowA("ComboLBox", nullptr); }
    std::vector<WORD> Codes() const
    {
        std::vector<WORD> out;
        for (const Seen& s : H().log)
            if (s.msg == WM_COMMAND && LOWORD(s.wParam) == 50) out.push_back(HIWORD(s.wParam));
        return out;
    }
};

TEST_F(ComboTest, DropDownAndChooseWithTheMouse)
{
    for (DWORD kind : {CBS_DROPDOWNLIST, CBS_DROPDOWN}) {
        SCOPED_TRACE(kind);
        HWND cb = MakeCombo(kind);
        RECT wr;
        GetWindowRect(cb, &wr);
        EXPECT_LT(wr.bottom - wr.top, 150);  // the field only; the list drops
        Screen().Click(POINT{wr.right - 5, (wr.top + wr.bottom) / 2});  // the button
        Pump();
        clock_.Advance(600);
        ASSERT_TRUE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0));
        HWND list = List();
        ASSERT_NE(list, nullptr);
        EXPECT_TRUE(IsWindowVisible(list));
        RECT lr;
        GetWindowRect(list, &lr);
        EXPECT_EQ(lr.top, wr.bottom);  // right below the field
        RECT item;
        SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
        POINT at = ScreenPoint(list, item.left + 5, (item.top + item.bottom) / 2);
        Screen().MoveMouse(at);
        Screen().Click(at);
        Pump();
        clock_.Advance(600);
        EXPECT_FALSE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_FALSE(IsWindowVisible(list));
        EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(Text(cb), "blue");
        EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_CLOSEUP, CBN_SELENDOK}));
        EXPECT_EQ(GetCapture(), nullptr);

        // A press outside closes without a change.
        H().log.clear();
        SendMessageA(cb, CB_SHOWDROPDOWN, TRUE, 0);
        Screen().Click(POINT{600, 600});
        Pump();
        clock_.Advance(600);
        EXPECT_FALSE(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0));
        EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELENDCANCEL}));
        DestroyWindow(cb);
        EXPECT_EQ(List(), nullptr);  // the list goes with its combo box
    }
}

TEST_F(ComboTest, KeysSelectDropAndCancel)
{
    struct Case {
        const char* name;
        DWORD kind;
        std::vector<int> keys;
        int sel;
        bool dropped;
    };
    const std::vector<Case> cases = {
        {"down selects without dropping", CBS_DROPDOWNLIST, {VK_DOWN, VK_DOWN}, 1, false},
        {"F4 drops, down moves, enter takes", CBS_DROPDOWNLIST, {VK_F4, VK_DOWN, VK_DOWN, VK_RETURN}, 1, false},
        {"escape puts the old choice back", CBS_DROPDOWNLIST, {VK_DOWN, VK_F4, VK_DOWN, VK_DOWN, VK_ESCAPE}, 0, false},
        {"end and home", CBS_DROPDOWNLIST, {VK_END}, 4, false},
        {"the edit field hands arrows over", CBS_DROPDOWN, {VK_DOWN, VK_DOWN, VK_DOWN}, 2, false},
        {"F4 in the edit field", CBS_DROPDOWN, {VK_F4}, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND cb = MakeCombo(c.kind);
        SetFocus(cb);
        Pump();
        Keys(c.keys);
        Pump();
        EXPECT_EQ(SendMessageA(cb, CB_GETCURSEL, 0, 0), c.sel);
        EXPECT_EQ(SendMessageA(cb, CB_GETDROPPEDSTATE, 0, 0) != 0, c.dropped);
        DestroyWindow(cb);
    }
    // Typing in a drop-down list jumps to the item with that letter.
    HWND cb = MakeCombo(CBS_DROPDOWNLIST);
    SetFocus(cb);
    Screen().TypeText("w");
    Pump();
    EXPECT_EQ(Text(cb), "white");
    EXPECT_EQ(Codes(), (std::vector<WORD>{CBN_SETFOCUS, CBN_SELCHANGE}));
}

TEST_F(ComboTest, MessagesAndTheEditField)
{
    HWND cb = MakeCombo(CBS_DROPDOWN | CBS_AUTOHSCROLL);
    EXPECT_EQ(SendMessageA(cb, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(cb, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BLUE")), 2);
    EXPECT_EQ(SendMessageA(cb, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("bla")), 3);
    EXPECT_EQ(Text(cb), "black");
    char buf[16];
    EXPECT_EQ(SendMessageA(cb, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buf)), 5);
    EXPECT_STREQ(buf, "green");
    EXPECT_EQ(SendMessageA(cb, CB_GETLBTEXTLEN, 9, 0), CB_ERR);
    SendMessageA(cb, CB_SETITEMDATA, 0, 99);
    EXPECT_EQ(SendMessageA(cb, CB_GETITEMDATA, 0, 0), 99);
    SendMessageA(cb, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Text(cb), "");
    SetFocus(cb);
    Pump();
    H().log.clear();
    SendMessageA(cb, CB_LIMITTEXT, 4, 0);
    Screen().TypeText("purple");
    Pump();
    EXPECT_EQ(Text(cb), "purp");
    std::vector<WORD> codes = Codes();
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_EDITCHANGE), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), CBN_EDITUPDATE), codes.end());
    SendMessageA(cb, CB_SETEDITSEL, 0, MAKELPARAM(1, 3));
    DWORD s = 0, e = 0;
    SendMessageA(cb, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    EXPECT_EQ(s, 1u);
    EXPECT_EQ(e, 3u);
    SendMessageA(cb, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(cb, CB_GETCOUNT, 0, 0), 0);

    HWND list = MakeCombo(CBS_DROPDOWNLIST);
    EXPECT_EQ(SendMessageA(list, CB_LIMITTEXT, 4, 0), CB_ERR);  // no edit field
    EXPECT_EQ(SendMessageA(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nothing")), CB_ERR);
    EXPECT_TRUE(SendMessageA(list, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Green")));
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 1);

    HWND simple = MakeCombo(CBS_SIMPLE, 120);
    RECT wr;
    GetWindowRect(simple, &wr);
    EXPECT_EQ(wr.bottom - wr.top, 120);  // the list is always there
    EXPECT_EQ(List(), FindWindowA("ComboLBox", nullptr));
    HWND inner = FindWindowExA(simple, nullptr, "LISTBOX", nullptr);
    ASSERT_NE(inner, nullptr);
    RECT item;
    SendMessageA(inner, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    Click(inner, 5, (item.top + item.bottom) / 2);
    EXPECT_EQ(SendMessageA(simple, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Text(simple), "green");
}

TEST_F(ComboTest, OwnerDrawnComboDrawsItsField)
{
    H().measureHeight = 20;
    HWND cb = MakeChild("COMBOBOX", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, 20, 20, 160, 150, 50);
    for (ULONG_PTR d : {1u, 2u, 3u}) SendMessageA(cb, CB_ADDSTRING, 0, static_cast<LPARAM>(d));
    SendMessageA(cb, CB_SETCURSEL, 1, 0);
    H().drawn.clear();
    InvalidateRect(cb, nullptr, TRUE);
    Pump();
    ASSERT_FALSE(H().drawn.empty());
    EXPECT_EQ(H().drawn.back().CtlType, ODT_COMBOBOX);
    EXPECT_EQ(H().drawn.back().itemState & ODS_COMBOBOXEDIT, ODS_COMBOBOXEDIT);
    EXPECT_EQ(H().drawn.back().itemData, 2u);
    H().drawn.clear();
    SendMessageA(cb, CB_SHOWDROPDOWN, TRUE, 0);
    Pump();
    bool listDrawn = false;
    for (const DRAWITEMSTRUCT& d : H().drawn)
        if (!(d.itemState & ODS_COMBOBOXEDIT)) {
            listDrawn = true;
            EXPECT_EQ(d.CtlType, ODT_COMBOBOX);
            EXPECT_EQ(d.CtlID, 50u);
        }
    EXPECT_TRUE(listDrawn);
    SendMessageA(cb, CB_SHOWDROPDOWN, FALSE, 0);
}

}  // namespace
// A window that paints a subclassed control hands it the DC of its own
// BeginPaint in WM_PAINT; the control draws into that DC, whose update
// region it could not get again.
TEST_F(ListTest, MultipleColumnsFillTopToBottomAndScrollByColumns)
{
    HWND lb = MakeList(LBS_MULTICOLUMN | LBS_NOINTEGRALHEIGHT | WS_HSCROLL, 20, 120);
    SendMessageA(lb, LB_SETITEMHEIGHT, 0, 20);
    SendMessageA(lb, LB_SETCOLUMNWIDTH, 45, 0);
    Pump();
    RECT client;
    GetClientRect(lb, &client);
    const int rows = client.bottom / 20, shown = client.right / 45;
    ASSERT_GE(rows, 2);
    ASSERT_EQ(shown, 3);
    const int columns = (20 + rows - 1) / rows;
    ASSERT_GT(columns, shown);

    RECT r{};
    SendMessageA(lb, LB_GETITEMRECT, rows + 1, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 45);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 90);
    EXPECT_EQ(LOWORD(SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(50, 25))), rows + 1);
    EXPECT_EQ(HIWORD(SendMessageA(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(140, 5 + 20 * (rows - 1)))), 0)
        << "a partly shown column answers too";

    // The user sees the current item where its rectangle says.
    SendMessageA(lb, LB_SETCURSEL, rows + 1, 0);
    Pump();
    EXPECT_EQ(Screen().ClientPixel(lb, 47, 22), RgbOf(GetSysColor(COLOR_HIGHLIGHT)));
    EXPECT_EQ(Screen().ClientPixel(lb, 2, 22), RgbOf(GetSysColor(COLOR_WINDOW)));

    // Right moves a column on and scrolls whole columns into view.
    SetFocus(lb);
    for (int i = 0; i < 2; ++i) Screen().PressKey(VK_RIGHT);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 3 * rows + 1);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), rows);
    Screen().PressKey(VK_LEFT);
    Pump();
    EXPECT_EQ(SendMessageA(lb, LB_GETCURSEL, 0, 0), 2 * rows + 1);

    struct Case {
        WORD code;
        int top;
    };
    const Case cases[] = {{SB_LEFT, 0}, {SB_LINERIGHT, rows}, {SB_RIGHT, (columns - shown) * rows},
                          {SB_LINELEFT, (columns - shown - 1) * rows}, {SB_PAGELEFT, 0}};
    for (const Case& c : cases) {
        SendMessageA(lb, WM_HSCROLL, c.code, 0);
        EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), c.top) << c.code;
    }
    SCROLLINFO si{};
    si.fMask = SIF_ALL;
    GetScrollInfo(lb, SB_HORZ, &si);
    EXPECT_EQ(si.nMax, columns - 1);
    EXPECT_EQ(static_cast<int>(si.nPage), shown);
    SendMessageA(lb, LB_SETTOPINDEX, rows + 1, 0);
    EXPECT_EQ(SendMessageA(lb, LB_GETTOPINDEX, 0, 0), rows) << "the view starts at a column";
}

TEST_F(ListTest, TabStopsPlaceTheTextAfterATab)
{
    HWND lb = MakeChild("LISTBOX", "", LBS_USETABSTOPS, 10, 10, 200, 60, 45);
    LOGFONTA lf{};
    lf.lfHeight = -16;  // 8 pixels a character: a dialog unit is 2 pixels
    std::strcpy(lf.lfFaceName, quelvo::gfx::kFixedTestFace);
    HFONT font = CreateFontIndirectA(&lf);
    SendMessageA(lb, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("A\tB"));
    Pump();
    auto firstInk = [&](int from) {
        for (int x = from; x < 190; ++x)
            for (int y = 0; y < 16; ++y)
                if (Screen().ClientPixel(lb, x, y) != 0xFFFFFF) return x;
        return -1;
    };
    // The text starts 2 pixels in; stops count from there.
    const int bearing = firstInk(0) - 2;
    struct Case {
        std::vector<INT> stops;
        int x;
    };
    const Case cases[] = {{{}, 2 + 64}, {{10}, 2 + 20}, {{40, 60}, 2 + 80}, {{3, 30}, 2 + 60}};
    for (const Case& c : cases) {
        EXPECT_EQ(SendMessageA(lb, LB_SETTABSTOPS, c.stops.size(), reinterpret_cast<LPARAM>(c.stops.data())), TRUE);
        Pump();
        EXPECT_EQ(firstInk(12), c.x + bearing) << c.stops.size();
    }
    const INT falling[] = {60, 40};
    EXPECT_EQ(SendMessageA(lb, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(falling)), FALSE);
    EXPECT_EQ(SendMessageA(lb, LB_SETTABSTOPS, 3, 0), FALSE);
    Pump();
    EXPECT_EQ(firstInk(12), 2 + 60 + bearing) << "refused stops keep the last ones";
    HWND plain = MakeChild("LISTBOX", "", 0, 10, 80, 100, 40, 46);
    EXPECT_EQ(SendMessageA(plain, LB_SETTABSTOPS, 0, 0), FALSE) << "without LBS_USETABSTOPS";
    DestroyWindow(lb);
    DeleteObject(font);
}

TEST_F(ListTest, APaintMessageCarryingADcPaintsIntoIt)
{
    HWND button = MakeChild("BUTTON", "", BS_OWNERDRAW, 10, 150, 80, 24, 43);
    HWND list = MakeChild("LISTBOX", "", LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 100, 150, 80, 60, 44);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
    Pump();
    for (HWND w : {button, list}) {
        H().drawn.clear();
        HDC mem = CreateCompatibleDC(nullptr);
        SendMessageA(w, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
        ASSERT_EQ(H().drawn.size(), 1u);
        EXPECT_EQ(H().drawn.front().hDC, mem);
        DeleteDC(mem);
    }
}

}  // namespace ctltest

TEST(CommonControls, InitCommonControlsRegistersTheControlClasses)
{
    quelvo::win::ResetWindowManager();
    InitCommonControls();
    WNDCLASSA wc{};
    EXPECT_TRUE(GetClassInfoA(nullptr, "BUTTON", &wc));
    EXPECT_TRUE(GetClassInfoA(nullptr, "LISTBOX", &wc));
    quelvo::win::ResetWindowManager();
}
