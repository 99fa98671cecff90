#pragma once
// A popup menu as plain data, the form in which a menu leaves the process.

#include <string>
#include <vector>

namespace quelvo::desktop {

struct MenuItem {
    int command = 0;       // what the owner receives when the item is chosen
    std::string label;     // with '&' access keys, as the menu shows it
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    std::vector<MenuItem> children;
    bool submenu = false; // opens children (even none) instead of giving a command

    bool IsSubmenu() const { return submenu || !children.empty(); }
};

} // namespace quelvo::desktop
