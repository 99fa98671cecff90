#include "platform/desktop/MenuReader.h"

#include "platform/controls/winctl.h"

namespace quelvo::desktop {

namespace {

constexpr int kDeepestSubmenu = 8;

std::vector<MenuItem> ReadLevel(HMENU menu, int depth)
{
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        if (state == static_cast<UINT>(-1))
            continue;
        MenuItem item;
        item.separator = (state & MF_SEPARATOR) != 0;
        item.checked = (state & MF_CHECKED) != 0;
        item.enabled = (state & (MF_GRAYED | MF_DISABLED)) == 0;
        if (!item.separator) {
            const int length = GetMenuStringA(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
            if (length > 0) {
                std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
                GetMenuStringA(menu, static_cast<UINT>(position), text.data(), length + 1, MF_BYPOSITION);
                item.label = text.data();
            }
        }
        if (HMENU submenu = GetSubMenu(menu, position); submenu != nullptr) {
            item.submenu = true;
            if (depth < kDeepestSubmenu)
                item.children = ReadLevel(submenu, depth + 1);
        } else {
            item.command = static_cast<int>(GetMenuItemID(menu, position));
        }
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace

std::vector<MenuItem> ReadMenu(HMENU menu)
{
    return ReadLevel(menu, 0);
}

} // namespace quelvo::desktop
