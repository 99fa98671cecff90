#pragma once
// Reads a menu of the menu layer into the plain model that is exported to
// desktop panels.

#include "platform/desktop/MenuModel.h"
#include "platform/system/wintypes.h"

#include <vector>

namespace quelvo::desktop {

// Items in order with their ids, labels, separators, check marks, disabled
// state and submenus. An invalid menu gives no items; submenus nested deeper
// than a panel could show (or a menu that contains itself) are cut off.
std::vector<MenuItem> ReadMenu(HMENU menu);

} // namespace quelvo::desktop
