#pragma once
// What the tray frame asks of the desktop: the notification-area icon, its
// pictures, the popup menu and the About dialog. The program uses the
// desktop and controls layers (DesktopTrayServices); tests record calls.

#include <string>
#include <vector>

#include "platform/desktop/shellapi.h"
#include "platform/system/wintypes.h"

namespace quelvo::tray {

// Icon resources of the program.
inline constexpr int kIconEnabled = 103;
inline constexpr int kIconDisabled = 104;
inline constexpr int kIconTaming = 106;

struct TrayMenuItem {
    UINT id = 0;  // 0 for a separator
    std::string text;
    bool checked = false;

    bool IsSeparator() const { return id == 0; }
    friend bool operator==(const TrayMenuItem&, const TrayMenuItem&) = default;
};

class TrayServices {
public:
    virtual ~TrayServices() = default;
    virtual BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA& data) = 0;
    // A new icon handle for a resource id; null when it cannot be made.
    virtual HICON LoadTrayIcon(int id) = 0;
    virtual void DestroyTrayIcon(HICON icon) = 0;
    // Shows the menu at the pointer; the chosen item reaches `owner` as
    // WM_COMMAND.
    virtual void TrackMenu(HWND owner, const std::vector<TrayMenuItem>& items) = 0;
    // The menu as it stands now, for panels that show the icon's menu
    // themselves; chosen items reach `owner` as WM_COMMAND.
    virtual void PublishMenu(HWND owner, const std::vector<TrayMenuItem>& items) = 0;
    // The modal About dialog with its text; the dialog's result.
    virtual INT_PTR ShowAbout(HINSTANCE instance, const std::string& text) = 0;
};

}  // namespace quelvo::tray
