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
    std::vector<MenuItem> children; // a submenu when not empty
};

} // namespace quelvo::desktop
