#pragma once
// The tray's desktop side on the platform: icons made from the program's
// artwork, the notification-area icon over the desktop services, the popup
// menu and the modal About dialog (resource 108).

#include "tray/TrayServices.h"

namespace quelvo::tray {

inline constexpr int kAboutDialog = 108;
inline constexpr int kAboutText = 1010;

class DesktopTrayServices final : public TrayServices {
public:
    BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override;
    HICON LoadTrayIcon(int id) override;
    void DestroyTrayIcon(HICON icon) override;
    void TrackMenu(HWND owner, const std::vector<TrayMenuItem>& items) override;
    void PublishMenu(HWND owner, const std::vector<TrayMenuItem>& items) override;
    // While the About box is open, brings it to the front instead (0).
    INT_PTR ShowAbout(HINSTANCE instance, const std::string& text) override;
};

// The watching icon (103) in every size becomes the program's icon on the
// desktop: title bars, task bar and window switcher of its windows.
void UseTrayProgramIcon();

// An icon handle of the program's artwork at one size; null for an unknown
// id or size.
HICON IconAtSize(int id, int size);

// The About dialog's procedure; the creation parameter points at the
// std::string to show in control 1010.
INT_PTR AboutDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// Registers the About dialog's template for an instance (idempotent).
void RegisterAboutDialog(HINSTANCE instance);

}  // namespace quelvo::tray
