// Menus as data, popup menus chosen by keys and by mouse, the tray hook,
// notifications, owner drawing and accelerators.
#include <cstring>

#include "ctl_fixture.h"

namespace ctltest {
namespace {

class MenuTest : public CtlTest {
protected:
    void SetUp() override
    {
        CtlTest::SetUp();
        sub_ = CreatePopupMenu();
        AppendMenuA(sub_, MF_STRING, 201, "&Red");
        AppendMenuA(sub_, MF_STRING | MF_CHECKED, 202, "&Green");
        menu_ = CreatePopupMenu();
        AppendMenuA(menu_, MF_STRING, 101, "&Open\tCtrl+O");
        AppendMenuA(menu_, MF_STRING | MF_GRAYED, 102, "&Disabled");
        AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(sub_), "&Colour");
        AppendMenuA(menu_, MF_STRING, 105, "E&xit");
    }
    void TearDown() override
    {
        quelvo::ctl::SetTrayMenuHandler({});
        if (IsMenu(menu_)) DestroyMenu(menu_);
        CtlTest::TearDown();
    }
    UINT Track(UINT flags = TPM_RETURNCMD) { return static_cast<UINT>(TrackPopupMenu(menu_, flags, 300, 200, 0, host_, nullptr)); }

    HMENU menu_ = nullptr;
    HMENU sub_ = nullptr;
};

TEST_F(MenuTest, ReadsBackWhatWasBuilt)
{
    EXPECT_EQ(GetMenuItemCount(menu_), 5);
    EXPECT_EQ(GetMenuItemID(menu_, 0), 101u);
    EXPECT_EQ(GetMenuItemID(menu_, 3), static_cast<UINT>(-1));  // submenu
    EXPECT_EQ(GetMenuItemID(menu_, 9), static_cast<UINT>(-1));
    EXPECT_EQ(GetSubMenu(menu_, 3), sub_);
    EXPECT_EQ(GetMenuState(menu_, 102, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu_, 2, MF_BYPOSITION) & MF_SEPARATOR, MF_SEPARATOR);
    EXPECT_EQ(GetMenuState(menu_, 3, MF_BYPOSITION), (2u << 8) | MF_POPUP);
    // By command, the search goes into submenus.
    EXPECT_EQ(GetMenuState(menu_, 202, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu_, 999, MF_BYCOMMAND), static_cast<UINT>(-1));

    char buf[4];
    MENUITEMINFOA info;
    info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
    info.dwTypeData = buf;
    info.cch = sizeof buf;
    ASSERT_TRUE(GetMenuItemInfoA(menu_, 0, TRUE, &info));
    EXPECT_STREQ(buf, "&Op");  // cut to the buffer
    EXPECT_EQ(info.cch, std::strlen("&Open\tCtrl+O"));
    EXPECT_EQ(info.wID, 101u);
    info.cbSize = 3;  // a size no caller can mean
    EXPECT_FALSE(GetMenuItemInfoA(menu_, 0, TRUE, &info));

    EXPECT_EQ(CheckMenuItem(menu_, 101, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(CheckMenuItem(menu_, 101, MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(CheckMenuItem(menu_, 555, MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(EnableMenuItem(menu_, 102, MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
    EXPECT_EQ(GetMenuState(menu_, 102, MF_BYCOMMAND) & MF_GRAYED, 0u);

    ASSERT_TRUE(ModifyMenuA(menu_, 0, MF_BYPOSITION | MF_STRING, 110, "&New"));
    char text[16];
    EXPECT_EQ(GetMenuStringA(menu_, 110, text, sizeof text, MF_BYCOMMAND), 4);
    EXPECT_STREQ(text, "&New");

    MENUITEMINFOA add;
    add.fMask = MIIM_STRING | MIIM_ID | MIIM_DATA;
    add.wID = 120;
    add.dwTypeData = const_cast<LPSTR>("Inserted");
    add.dwItemData = 77;
    ASSERT_TRUE(InsertMenuItemA(menu_, 1, TRUE, &add));
    EXPECT_EQ(GetMenuItemID(menu_, 1), 120u);
    MENUITEMINFOA data;
    data.fMask = MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(menu_, 120, FALSE, &data));
    EXPECT_EQ(data.dwItemData, 77u);
}

TEST_F(MenuTest, DeleteDestroysSubmenusRemoveKeepsThem)
{
    HMENU other = CreatePopupMenu();
    AppendMenuA(other, MF_STRING, 1, "x");
    AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(other), "Other");
    ASSERT_TRUE(RemoveMenu(menu_, 5, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(other));
    ASSERT_TRUE(DeleteMenu(menu_, 3, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub_));
    EXPECT_EQ(GetMenuItemCount(menu_), 4);
    EXPECT_TRUE(DestroyMenu(other));
    EXPECT_FALSE(DestroyMenu(other));
    EXPECT_EQ(GetMenuItemCount(other), -1);
    EXPECT_FALSE(AppendMenuA(other, MF_STRING, 1, "gone"));
    // A menu cannot become its own submenu.
    EXPECT_FALSE(AppendMenuA(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(menu_), "self"));
}

struct KeyCase {
    const char* name;
    std::vector<int> keys;  // virtual keys, or letters typed as characters
    UINT expected;
};

TEST_F(MenuTest, ChosenByKeys)
{
    const KeyCase cases[] = {
        {"first item", {VK_DOWN, VK_RETURN}, 101},
        {"separator and disabled item are passed by arrows only once",
         {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, 105},
        {"up from nothing wraps to the last", {VK_UP, VK_RETURN}, 105},
        {"end then home", {VK_END, VK_HOME, VK_RETURN}, 101},
        {"mnemonic", {'X'}, 105},
        {"mnemonic opens a submenu", {'C', VK_DOWN, VK_RETURN}, 202},
        {"right opens, left closes", {VK_UP, VK_UP, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, 105},
        {"escape closes the submenu first", {'C', VK_ESCAPE, VK_DOWN, VK_RETURN}, 105},
        {"escape", {VK_ESCAPE}, 0},
        {"disabled item is not chosen", {'D', VK_ESCAPE}, 0},
        {"enter without selection", {VK_RETURN}, 0},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        H().idle.push_back([&] {
            for (int vk : c.keys) {
                if (vk >= 'A' && vk <= 'Z') Screen().TypeText(std::string(1, static_cast<char>(vk + 32)));
                else Screen().PressKey(vk);
            }
        });
        EXPECT_EQ(Track(), c.expected);
        EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr);  // every popup is gone
        H().idle.clear();
    }
}

TEST_F(MenuTest, ChosenByMouseAndClosedByClickOutside)
{
    RECT item{};
    H().idle.push_back([&] {
        ASSERT_TRUE(GetMenuItemRect(host_, menu_, 4, &item));
        Screen().Click(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    });
    EXPECT_EQ(Track(), 105u);
    EXPECT_GE(item.left, 300);  // left aligned at the point
    EXPECT_GE(item.top, 200);

    // A disabled item does not end the menu; a click outside does.
    H().idle.push_back([&] {
        ASSERT_TRUE(GetMenuItemRect(host_, menu_, 1, &item));
        Screen().Click(POINT{item.left + 5, item.top + 3});
    });
    H().idle.push_back([&] { Screen().Click(POINT{5, 5}); });
    EXPECT_EQ(Track(), 0u);

    // Hovering a submenu item opens it; its items are chosen as well.
    H().idle.push_back([&] {
        ASSERT_TRUE(GetMenuItemRect(host_, menu_, 3, &item));
        Screen().MoveMouse(POINT{item.left + 5, item.top + 3});
    });
    H().idle.push_back([&] {
        ASSERT_TRUE(GetMenuItemRect(host_, sub_, 0, &item));
        Screen().Click(POINT{item.left + 5, item.top + 3});
    });
    EXPECT_EQ(Track(), 201u);

    // The right button chooses only with TPM_RIGHTBUTTON.
    H().idle.push_back([&] {
        ASSERT_TRUE(GetMenuItemRect(host_, menu_, 0, &item));
        Screen().Click(POINT{item.left + 5, item.top + 3}, quelvo::win::MouseButton::Right);
    });
    H().idle.push_back([&] { Screen().PressKey(VK_ESCAPE); });
    EXPECT_EQ(Track(TPM_RETURNCMD), 0u);
    H().idle.push_back([&] {
        ASSERT_TRUE(GetMenuItemRect(host_, menu_, 0, &item));
        Screen().Click(POINT{item.left + 5, item.top + 3}, quelvo::win::MouseButton::Right);
    });
    EXPECT_EQ(Track(TPM_RETURNCMD | TPM_RIGHTBUTTON), 101u);
}

TEST_F(MenuTest, AlignmentAndScreenEdges)
{
    struct Case {
        UINT flags;
        int x, y;
        bool right, below;  // menu lies right of x, below y
    } cases[] = {
        {TPM_LEFTALIGN | TPM_TOPALIGN, 300, 200, true, true},
        {TPM_RIGHTALIGN | TPM_BOTTOMALIGN, 300, 200, false, false},
        {TPM_LEFTALIGN, 1275, 1020, false, false},  // flipped at the screen's edges
    };
    for (const Case& c : cases) {
        RECT first{}, last{};
        H().idle.push_back([&] {
            GetMenuItemRect(host_, menu_, 0, &first);
            GetMenuItemRect(host_, menu_, 4, &last);
            Screen().PressKey(VK_ESCAPE);
        });
        TrackPopupMenu(menu_, c.flags | TPM_RETURNCMD, c.x, c.y, 0, host_, nullptr);
        EXPECT_EQ(first.left >= c.x, c.right) << c.flags;
        EXPECT_EQ(first.top >= c.y, c.below) << c.flags;
        EXPECT_LE(last.bottom, 1024);
    }
}

TEST_F(MenuTest, PostsCommandAndNotifiesOwner)
{
    H().idle.push_back([&] { Keys({VK_DOWN, VK_RETURN}); });
    EXPECT_TRUE(Track(0));
    EXPECT_EQ(H().Count(WM_ENTERMENULOOP), 1);
    EXPECT_EQ(H().Count(WM_INITMENUPOPUP), 1);
    EXPECT_EQ(H().Count(WM_EXITMENULOOP), 1);
    ASSERT_GE(H().Count(WM_MENUSELECT), 2);
    bool sawOpen = false, sawClose = false;
    for (const Seen& s : H().log) {
        if (s.msg != WM_MENUSELECT) continue;
        if (LOWORD(s.wParam) == 101 && (HIWORD(s.wParam) & MF_HILITE)) sawOpen = true;
        if (HIWORD(s.wParam) == 0xFFFF && s.lParam == 0) sawClose = true;
    }
    EXPECT_TRUE(sawOpen);
    EXPECT_TRUE(sawClose);
    EXPECT_TRUE(H().Commands(0).empty());  // posted, not yet delivered
    Pump();
    EXPECT_EQ(H().Commands(0), std::vector<WORD>{101});

    H().log.clear();
    H().idle.push_back([&] { Keys({VK_ESCAPE}); });
    EXPECT_TRUE(Track(TPM_NONOTIFY | TPM_RETURNCMD) == 0);
    EXPECT_EQ(H().Count(WM_ENTERMENULOOP), 0);
    EXPECT_EQ(H().Count(WM_INITMENUPOPUP), 0);
}

TEST_F(MenuTest, UnknownMnemonicAsksOwner)
{
    H().extra = [](HWND, UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
        if (msg != WM_MENUCHAR) return 0;
        handled = true;
        return (LOWORD(wParam) == 'q') ? MAKELONG(4, MNC_EXECUTE) : MAKELONG(0, MNC_CLOSE);
    };
    H().idle.push_back([&] { Screen().TypeText("q"); });
    EXPECT_EQ(Track(), 105u);
    H().idle.push_back([&] { Screen().TypeText("z"); });
    EXPECT_EQ(Track(), 0u);
}

TEST_F(MenuTest, TrayHandlerTakesTheMenu)
{
    HMENU seen = nullptr;
    int items = 0;
    quelvo::ctl::SetTrayMenuHandler([&](HMENU m, HWND owner, POINT&) {
        seen = m;
        items = GetMenuItemCount(m);
        return owner == host_;
    });
    EXPECT_EQ(Track(TPM_RIGHTBUTTON), TRUE);
    EXPECT_EQ(seen, menu_);
    EXPECT_EQ(items, 5);
    EXPECT_EQ(H().Count(WM_ENTERIDLE), 0);  // no popup of its own
    EXPECT_EQ(H().Count(WM_ENTERMENULOOP), 0);

    // Declined: the popup runs as usual, where the handler says.
    quelvo::ctl::SetTrayMenuHandler([](HMENU, HWND, POINT& at) {
        at = POINT{500, 400};
        return false;
    });
    RECT first{};
    H().idle.push_back([&] {
        GetMenuItemRect(host_, menu_, 0, &first);
        Keys({VK_DOWN, VK_RETURN});
    });
    EXPECT_EQ(Track(), 101u);
    EXPECT_TRUE(first.left >= 500 && first.left < 510 && first.top >= 400 && first.top < 410)
        << first.left << "," << first.top;
}

TEST_F(MenuTest, RefusesBadArguments)
{
    EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(0x1234), TPM_RETURNCMD, 0, 0, 0, host_, nullptr));
    EXPECT_FALSE(TrackPopupMenu(menu_, TPM_RETURNCMD, 0, 0, 0, reinterpret_cast<HWND>(0x999999), nullptr));
    HMENU empty = CreatePopupMenu();
    EXPECT_FALSE(TrackPopupMenu(empty, 0, 0, 0, 0, host_, nullptr));
    DestroyMenu(empty);
}

TEST_F(MenuTest, OwnerDrawnItemsAreMeasuredAndDrawn)
{
    AppendMenuA(menu_, MF_OWNERDRAW, 130, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(0xABC)));
    H().measureHeight = 30;
    RECT item{};
    H().idle.push_back([&] {
        GetMenuItemRect(host_, menu_, 5, &item);
        Keys({VK_END});
    });
    H().idle.push_back([&] { Keys({VK_RETURN}); });
    EXPECT_EQ(Track(), 130u);
    EXPECT_EQ(item.bottom - item.top, 30);
    EXPECT_EQ(H().Count(WM_MEASUREITEM), 1);
    ASSERT_FALSE(H().drawn.empty());
    bool selectedDrawn = false;
    for (const DRAWITEMSTRUCT& d : H().drawn) {
        EXPECT_EQ(d.CtlType, ODT_MENU);
        EXPECT_EQ(d.itemData, 0xABCu);
        selectedDrawn |= (d.itemState & ODS_SELECTED) != 0;
    }
    EXPECT_TRUE(selectedDrawn);
}

TEST_F(MenuTest, PictureItemsTakeTheirSize)
{
    std::vector<std::uint32_t> pixels(40 * 30, 0x00FF00FF);
    HBITMAP tall = CreateBitmap(40, 30, 1, 32, pixels.data());
    AppendMenuA(menu_, MF_BITMAP, 140, reinterpret_cast<LPCSTR>(tall));
    MENUITEMINFOA withPicture;
    withPicture.fMask = MIIM_STRING | MIIM_ID | MIIM_BITMAP;
    withPicture.wID = 141;
    withPicture.dwTypeData = const_cast<LPSTR>("&Picture");
    withPicture.hbmpItem = tall;
    InsertMenuItemA(menu_, static_cast<UINT>(-1), TRUE, &withPicture);
    SetMenuDefaultItem(menu_, 0, TRUE);
    EXPECT_EQ(GetMenuState(menu_, 0, MF_BYPOSITION) & MF_DEFAULT, MF_DEFAULT);
    RECT bitmapItem{}, pictureItem{}, first{};
    H().idle.push_back([&] {
        GetMenuItemRect(host_, menu_, 0, &first);
        GetMenuItemRect(host_, menu_, 5, &bitmapItem);
        GetMenuItemRect(host_, menu_, 6, &pictureItem);
        Screen().Click(POINT{bitmapItem.left + 5, bitmapItem.top + 5});
    });
    EXPECT_EQ(Track(), 140u);
    EXPECT_EQ(bitmapItem.bottom - bitmapItem.top, 34);
    EXPECT_EQ(pictureItem.bottom - pictureItem.top, 34);
    EXPECT_GE(first.right - first.left, 40 + 6 + 40);  // gutter as wide as the picture, then the widest item
    DeleteObject(tall);
}

TEST_F(MenuTest, AcceleratorsBecomeCommands)
{
    ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'O', 101}, {FVIRTKEY, VK_F5, 102}, {0, 'x', 103}};
    HACCEL table = CreateAcceleratorTableA(keys, 3);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(CreateAcceleratorTableA(keys, 0), nullptr);
    struct Case {
        UINT msg;
        WPARAM key;
        bool ctrl;
        int expected;  // command, 0 when not translated
    } cases[] = {
        {WM_KEYDOWN, 'O', true, 101}, {WM_KEYDOWN, 'O', false, 0}, {WM_KEYDOWN, VK_F5, false, 102},
        {WM_KEYDOWN, VK_F5, true, 0}, {WM_CHAR, 'x', false, 103},  {WM_KEYUP, 'O', true, 0},
    };
    for (const Case& c : cases) {
        H().log.clear();
        if (c.ctrl) Screen().KeyDown(VK_CONTROL);
        Pump();
        MSG m;
        m.hwnd = host_;
        m.message = c.msg;
        m.wParam = c.key;
        EXPECT_EQ(TranslateAcceleratorA(host_, table, &m), c.expected ? 1 : 0) << c.key;
        auto cmds = H().Commands(1);
        EXPECT_EQ(cmds.empty() ? 0 : cmds.front(), c.expected);
        if (c.ctrl) Screen().KeyUp(VK_CONTROL);
        Pump();
    }
    EXPECT_TRUE(DestroyAcceleratorTable(table));
}

}  // namespace
}  // namespace ctltest
