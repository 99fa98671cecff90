#pragma once
// An icon docked in the screen's old-style system tray (the system-tray
// protocol over XEmbed): for desktops whose panel has no notification area
// of the newer kind. The tray owns the selection _NET_SYSTEM_TRAY_S<screen>;
// the icon is a small X window of ours that the tray embeds and sizes.

#include <functional>
#include <memory>
#include <vector>

#include "platform/windows/display.h"
#include "platform/windows/x11/x11_display.h"
#include "platform/windows/x11/x11_icons.h"

namespace quelvo::win::x11 {

class SystemTrayIcon {
public:
    struct Handlers {
        // A button went down or up over the icon; a press within the
        // double-click time and distance of the last is a double click.
        std::function<void(MouseButton button, bool down, bool doubleClick)> button;
        // The pointer came onto the icon (true) or left it.
        std::function<void(bool inside)> hover;
        // The tray went away: the icon is no longer shown.
        std::function<void()> gone;
    };

    // Asks the tray of the display's screen to dock a new icon; null when
    // the screen has no system tray.
    static std::unique_ptr<SystemTrayIcon> Dock(X11Display& display, Handlers handlers);
    ~SystemTrayIcon();
    SystemTrayIcon(const SystemTrayIcon&) = delete;
    SystemTrayIcon& operator=(const SystemTrayIcon&) = delete;

    // The icon's pictures; the one that fits the size the tray gives is
    // shown (scaled when none fits exactly).
    void SetPictures(std::vector<ArgbImage> pictures);
    unsigned long XWindow() const;

    struct State;

private:
    explicit SystemTrayIcon(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Whether the screen has a system tray now.
bool SystemTrayPresent(X11Display& display);
// `appeared` runs whenever a system tray starts on the screen (a tray
// announces itself to every client); an empty function stops watching.
void WatchSystemTray(X11Display& display, std::function<void()> appeared);

}  // namespace quelvo::win::x11
