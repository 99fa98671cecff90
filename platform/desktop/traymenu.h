#pragma once
// The menu side of notification-area icons, and the services' life.
//
// Panels show the menu of an icon themselves, from a menu the program
// exports. Panels read it at any time, many without warning the program
// first, so a program publishes its menu with PublishTrayMenu whenever it
// changes (after adding the icon, after a change of state); the menu stays
// with the icon when the panel is restarted. A panel that announces it is
// about to show the menu gets it rebuilt too: the program builds its popup
// menu when it receives WM_RBUTTONUP through the icon's callback message
// and passes it to TrackPopupMenu; the menu layer hands the menu to
// ExportTrayMenu first:
//   - when the owner window has a tray icon, the menu is exported (the
//     panel's copy is kept current either way);
//   - when the panel itself asked for the menu (it is about to show it, and
//     waits up to half a second for the program to build it),
//     ExportTrayMenu returns true: the menu layer shows nothing and returns
//     at once; the item the user picks in the panel arrives at the owner as
//     a posted WM_COMMAND with the item's id (wParam low word; lParam 0);
//   - otherwise (the panel asked for a context menu of the program's own,
//     or the window owns no icon) it returns false and the menu layer shows
//     its own popup menu at the pointer as usual.
// The menu layer sits below this one and cannot call in directly: the first
// Shell_NotifyIconA installs its tray-menu handler, which reads the HMENU
// (MenuReader.h) of a window with an icon and calls ExportTrayMenu.

#include "platform/desktop/IconImage.h"
#include "platform/desktop/MenuModel.h"
#include "platform/system/wintypes.h"

#include <string>
#include <vector>

namespace quelvo::desktop {

bool ExportTrayMenu(HWND owner, const std::vector<MenuItem>& menu);

// The menu panels show for every icon of the owner window; nothing when the
// window has no icon.
void PublishTrayMenu(HWND owner, const std::vector<MenuItem>& menu);

// Gives the icon a name of the desktop's icon theme, shown by panels that
// find it there instead of the icon's pixels. Icons without a name are
// shown from their pixels only.
void NameTrayIcon(HICON icon, const std::string& themeName);

// Pictures of the icon at other sizes (its own size among them or not):
// panels pick the one that fits, instead of scaling the icon's single
// picture. An empty list forgets them (before the handle is destroyed).
void SetTrayIconPictures(HICON icon, std::vector<IconImage> pictures);

// Removes every icon, balloon and the bus connection (end of program,
// tests). The next Shell_NotifyIconA connects again.
void ShutdownDesktopServices();

} // namespace quelvo::desktop
