#include "platform/desktop/MenuReader.h"

#include "platform/controls/winctl.h"

#include <gtest/gtest.h>

namespace quelvo::desktop {
namespace {

std::string Describe(const std::vector<MenuItem>& items)
{
    std::string out;
    for (const MenuItem& item : items) {
        if (!out.empty())
            out += " ";
        if (item.separator) {
            out += "-";
            continue;
        }
        out += std::to_string(item.command) + ":" + item.label;
        if (item.checked)
            out += "[x]";
        if (!item.enabled)
            out += "[off]";
        if (item.IsSubmenu())
            out += "{" + Describe(item.children) + "}";
    }
    return out;
}

TEST(MenuReaderTest, ReadsItemsInOrderWithTheirStates)
{
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    HMENU empty = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 110, "&Visit Quelvo Homepage (check for updates)");
    AppendMenuA(menu, MF_STRING | MF_CHECKED, 404, "&Enabled");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING | MF_GRAYED, 405, "&Launch my_tool");
    AppendMenuA(menu, MF_STRING | MF_DISABLED, 403, "&Configure");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(empty), "&Empty");
    AppendMenuA(menu, MF_STRING, 101, "");
    EXPECT_EQ(Describe(ReadMenu(menu)),
              "404:&Enabled[x] - 405:&Launch my_tool[off] 403:&Configure[off] "
              "0:&More{110:&Visit Quelvo Homepage (check for updates)} 0:&Empty{} 101:");
    DestroyMenu(menu);
}

TEST(MenuReaderTest, InvalidOrSelfContainingMenusAreSafe)
{
    EXPECT_TRUE(ReadMenu(nullptr).empty());
    EXPECT_TRUE(ReadMenu(reinterpret_cast<HMENU>(0x5555)).empty());
    // A chain deeper than a panel shows is cut off rather than followed.
    HMENU top = CreatePopupMenu();
    HMENU current = top;
    for (int level = 0; level < 20; ++level) {
        HMENU next = CreatePopupMenu();
        AppendMenuA(current, MF_POPUP, reinterpret_cast<UINT_PTR>(next), "deeper");
        current = next;
    }
    int depth = 0;
    for (auto items = ReadMenu(top); !items.empty(); items = items[0].children)
        ++depth;
    EXPECT_LE(depth, 9);
    EXPECT_GE(depth, 8);
    DestroyMenu(top);
}

} // namespace
} // namespace quelvo::desktop
