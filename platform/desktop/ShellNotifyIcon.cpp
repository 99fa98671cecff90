// The notification-area icons of the process, kept as the Windows-style
// records the programs pass, shown through the desktop session. Everything
// the bus reports reaches the windows as posted messages, from the window
// layer's loop: nothing here runs a window procedure directly.

#include "platform/desktop/shellapi.h"
#include "platform/desktop/traymenu.h"

#include "platform/desktop/BusText.h"
#include "platform/desktop/DesktopSession.h"
#include "platform/desktop/IconPixels.h"
#include "platform/desktop/MenuReader.h"
#include "platform/desktop/TrayTip.h"
#include "platform/windows/x11/x11_systray.h"
#include "platform/controls/winctl.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <sys/timerfd.h>
#include <unistd.h>
#include <vector>

namespace quelvo::desktop {

namespace {

constexpr const char* kProductName = "Quelvo";
// Balloons stay at least this long, as they do on Windows.
constexpr UINT kMinimumBalloonMs = 10000;

// How long the end of the program waits for the notification server to
// name balloons still on their way, so it can take them down.
constexpr std::chrono::milliseconds kBalloonsGoingMs{1000};

// How long the pointer rests on a docked icon before its tip shows.
constexpr int kTipDelayMs = 500;

// How long a panel opening an icon's menu waits for the program to build it
// before it shows the menu it has.
constexpr int kMenuWaitMs = 500;

// A one-shot timer the message loop serves like any other descriptor.
class LoopTimer {
public:
    LoopTimer() : fd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {}
    ~LoopTimer()
    {
        if (source_ != 0)
            win::RemoveLoopSource(source_);
        if (fd_ >= 0)
            close(fd_);
    }
    LoopTimer(const LoopTimer&) = delete;
    LoopTimer& operator=(const LoopTimer&) = delete;

    void OnExpiry(std::function<void()> handler)
    {
        source_ = win::AddLoopSource(fd_, [this, handler = std::move(handler)] {
            std::uint64_t expirations = 0;
            if (read(fd_, &expirations, sizeof expirations) > 0)
                handler();
        });
    }
    void Start(int ms)
    {
        itimerspec spec{};
        spec.it_value.tv_sec = ms / 1000;
        spec.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
        if (fd_ >= 0)
            timerfd_settime(fd_, 0, &spec, nullptr);
    }

private:
    int fd_ = -1;
    int source_ = 0;
};

struct TrayIcon {
    HWND hwnd = nullptr;
    UINT id = 0;
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::string tip;
    std::unique_ptr<StatusNotifierItem> item;
    // Docked in the old-style system tray instead, when no panel of the
    // newer kind is there.
    std::unique_ptr<win::x11::SystemTrayIcon> dock;
    bool dockGone = false;
    // The program's menu as last published; every new item starts with it.
    std::vector<MenuItem> menu;
    // The panel asked for the exported menu; the next TrackPopupMenu of the
    // window goes there.
    bool menuForPanel = false;
    // The panel asked for a menu of the program's own at this place; the
    // next popup of the window opens there.
    std::optional<POINT> menuAt;
};

class TrayIcons {
public:
    // Never destroyed: at exit the window layer it serves may be gone
    // already; the system closes the bus connection.
    static TrayIcons& Instance()
    {
        static TrayIcons* const instance = new TrayIcons();
        return *instance;
    }

    BOOL Apply(DWORD message, const NOTIFYICONDATAA& data);
    bool ExportMenu(HWND owner, const std::vector<MenuItem>& menu);
    void PublishMenu(HWND owner, const std::vector<MenuItem>& menu);
    // A popup of the program's own opens where the panel asked for it.
    void PlaceOwnMenu(HWND owner, POINT& at);
    bool OwnsIcon(HWND owner) const
    {
        return std::any_of(icons_.begin(), icons_.end(), [&](const auto& icon) { return icon->hwnd == owner; });
    }
    void Name(HICON icon, const std::string& name) { iconNames_[icon] = ToBusText(name); }
    void SetPictures(HICON icon, std::vector<IconImage> pictures)
    {
        if (pictures.empty())
            iconPictures_.erase(icon);
        else
            iconPictures_[icon] = std::move(pictures);
    }
    void Shutdown();

private:
    DesktopSession& Session();
    TrayIcon* Find(HWND hwnd, UINT id);
    void Update(TrayIcon& icon, const NOTIFYICONDATAA& data);
    void ShowIcon(TrayIcon& icon);
    void PushIcon(TrayIcon& icon);
    std::string NameOf(HICON icon) const;
    void ForgetDeadWindows();
    void ShowBalloon(const TrayIcon& icon, const NOTIFYICONDATAA& data);
    void Dock(TrayIcon& icon);
    void DockedButton(TrayIcon& icon, win::MouseButton button, bool down, bool doubleClick);
    void DockedHover(TrayIcon& icon, bool inside);
    std::vector<IconImage> Pictures(HICON icon) const;
    void AddAgain();
    void SystemTrayAppeared();
    void Post(const TrayIcon& icon, UINT mouseMessage);
    void WatcherAppeared();
    void WatcherVanished();
    void ConnectionLost();
    // Each record has its own balloon; its balloon goes when it goes.
    static std::uint64_t Key(const TrayIcon& icon) { return reinterpret_cast<std::uintptr_t>(&icon); }

    std::unique_ptr<DesktopSession> session_;
    int loopSource_ = 0;
    std::unique_ptr<LoopTimer> menuWait_;
    std::unique_ptr<LoopTimer> tipWait_;
    TrayTip tip_;
    TrayIcon* hovered_ = nullptr;
    std::vector<std::unique_ptr<TrayIcon>> icons_;
    std::map<HICON, std::string> iconNames_;
    std::map<HICON, std::vector<IconImage>> iconPictures_;
};

DesktopSession& TrayIcons::Session()
{
    if (!session_) {
        // Popup menus of windows with an icon go to the panel when it asked
        // for them; the menu is read only for such windows.
        ctl::SetTrayMenuHandler([](HMENU menu, HWND owner, POINT& at) {
            TrayIcons& icons = Instance();
            if (!icons.OwnsIcon(owner))
                return false;
            if (icons.ExportMenu(owner, ReadMenu(menu)))
                return true;
            icons.PlaceOwnMenu(owner, at);
            return false;
        });
        session_ = DesktopSession::OpenUserSession();
        session_->OnWatcherAppeared = [this] { WatcherAppeared(); };
        session_->OnWatcherVanished = [this] { WatcherVanished(); };
        if (auto* x = win::x11::CurrentX11Display())
            win::x11::WatchSystemTray(*x, [this] { SystemTrayAppeared(); });
        tipWait_ = std::make_unique<LoopTimer>();
        tipWait_->OnExpiry([this] {
            POINT at{};
            GetCursorPos(&at);
            if (hovered_ != nullptr)
                tip_.Show(hovered_->tip, at);
        });
        menuWait_ = std::make_unique<LoopTimer>();
        menuWait_->OnExpiry([this] {
            for (auto& icon : icons_) {
                if (icon->item)
                    icon->item->Menu().AnswerOpenings();
            }
        });
        if (session_->Online())
            loopSource_ = win::AddLoopSource(session_->Fd(), [this] {
                if (!session_)
                    return;
                session_->Dispatch();
                if (!session_->Online())
                    ConnectionLost();
            });
    }
    return *session_;
}

void TrayIcons::ConnectionLost()
{
    // A bus that went away keeps its socket readable for good: stop
    // watching it, or the message loop would spin. The records stay; the
    // calls fail quietly from now on.
    for (auto& icon : icons_)
        icon->item.reset();
    if (loopSource_ != 0)
        win::RemoveLoopSource(loopSource_);
    loopSource_ = 0;
}

void TrayIcons::Shutdown()
{
    tip_.Hide();
    hovered_ = nullptr;
    if (auto* x = win::x11::CurrentX11Display(); x != nullptr && session_)
        win::x11::WatchSystemTray(*x, {});
    // Nothing of a program that is gone stays on the desktop.
    if (session_)
        session_->Notifications().CloseAll(kBalloonsGoingMs);
    if (session_)
        ctl::SetTrayMenuHandler({});
    icons_.clear();
    if (loopSource_ != 0)
        win::RemoveLoopSource(loopSource_);
    loopSource_ = 0;
    menuWait_.reset();
    tipWait_.reset();
    session_.reset();
}

TrayIcon* TrayIcons::Find(HWND hwnd, UINT id)
{
    const auto it = std::find_if(icons_.begin(), icons_.end(),
                                 [&](const auto& icon) { return icon->hwnd == hwnd && icon->id == id; });
    return it == icons_.end() ? nullptr : it->get();
}

void TrayIcons::Post(const TrayIcon& icon, UINT mouseMessage)
{
    if (icon.callbackMessage != 0)
        PostMessageA(icon.hwnd, icon.callbackMessage, icon.id, static_cast<LPARAM>(mouseMessage));
}

void TrayIcons::ShowIcon(TrayIcon& icon)
{
    icon.item = Session().CreateItem(kProductName);
    if (!icon.item) {
        Dock(icon);
        return;
    }
    TrayIcon* self = &icon;
    icon.item->OnActivate = [this, self](int, int) { Post(*self, WM_LBUTTONDBLCLK); };
    icon.item->OnSecondaryActivate = [this, self](int, int) { Post(*self, WM_MBUTTONUP); };
    icon.item->OnContextMenu = [this, self](int x, int y) {
        self->menuForPanel = false;
        // (0, 0) is what hosts send when they know no place: the pointer's.
        self->menuAt.reset();
        if (x != 0 || y != 0)
            self->menuAt = POINT{x, y};
        Post(*self, WM_RBUTTONUP);
    };
    icon.item->Menu().OnOpening = [this, self] {
        self->menuForPanel = true;
        Post(*self, WM_RBUTTONUP);
        menuWait_->Start(kMenuWaitMs);
    };
    icon.item->Menu().OnCommand = [self](int command) {
        PostMessageA(self->hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
    };
    PushIcon(icon);
    icon.item->SetToolTip(icon.tip);
    // Hosts read the menu as soon as the item is registered.
    if (!icon.menu.empty())
        icon.item->Menu().SetMenu(icon.menu);
}

std::vector<IconImage> TrayIcons::Pictures(HICON icon) const
{
    std::vector<IconImage> images;
    if (const auto pictures = iconPictures_.find(icon); pictures != iconPictures_.end())
        images = pictures->second;
    else if (auto image = IconImageOf(icon))
        images.push_back(std::move(*image));
    return images;
}

void TrayIcons::PushIcon(TrayIcon& icon)
{
    if (icon.item)
        icon.item->SetIcon(NameOf(icon.icon), Pictures(icon.icon));
    if (icon.dock) {
        std::vector<win::x11::ArgbImage> pictures;
        for (IconImage& image : Pictures(icon.icon))
            pictures.push_back({image.width, image.height, POINT{}, std::move(image.argb)});
        icon.dock->SetPictures(std::move(pictures));
    }
}

void TrayIcons::Dock(TrayIcon& icon)
{
    auto* x = win::x11::CurrentX11Display();
    if (x == nullptr)
        return;
    TrayIcon* self = &icon;
    win::x11::SystemTrayIcon::Handlers handlers;
    handlers.button = [this, self](win::MouseButton button, bool down, bool doubleClick) {
        DockedButton(*self, button, down, doubleClick);
    };
    handlers.hover = [this, self](bool inside) { DockedHover(*self, inside); };
    // Destroyed later: the tray reports from inside the icon's own code.
    handlers.gone = [self] { self->dockGone = true; };
    icon.dockGone = false;
    icon.dock = win::x11::SystemTrayIcon::Dock(*x, std::move(handlers));
    if (icon.dock)
        PushIcon(icon);
}

void TrayIcons::DockedButton(TrayIcon& icon, win::MouseButton button, bool down, bool doubleClick)
{
    DockedHover(icon, false);
    UINT message = 0;
    switch (button) {
    case win::MouseButton::Left: message = doubleClick ? WM_LBUTTONDBLCLK : down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case win::MouseButton::Right: message = doubleClick ? WM_RBUTTONDBLCLK : down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case win::MouseButton::Middle: message = doubleClick ? WM_MBUTTONDBLCLK : down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    }
    Post(icon, message);
}

void TrayIcons::DockedHover(TrayIcon& icon, bool inside)
{
    tip_.Hide();
    hovered_ = inside ? &icon : nullptr;
    if (inside && tipWait_)
        tipWait_->Start(kTipDelayMs);
}

std::string TrayIcons::NameOf(HICON icon) const
{
    const auto name = iconNames_.find(icon);
    return name != iconNames_.end() ? name->second : std::string();
}

void TrayIcons::Update(TrayIcon& icon, const NOTIFYICONDATAA& data)
{
    if ((data.uFlags & NIF_MESSAGE) != 0)
        icon.callbackMessage = data.uCallbackMessage;
    if ((data.uFlags & NIF_TIP) != 0) {
        icon.tip = FieldText(data.szTip, sizeof data.szTip);
        if (icon.item)
            icon.item->SetToolTip(icon.tip);
    }
    if ((data.uFlags & NIF_ICON) != 0) {
        icon.icon = data.hIcon;
        PushIcon(icon);
    }
    if ((data.uFlags & NIF_INFO) != 0)
        ShowBalloon(icon, data);
}

void TrayIcons::ShowBalloon(const TrayIcon& icon, const NOTIFYICONDATAA& data)
{
    NotificationClient& client = Session().Notifications();
    const std::string body = FieldText(data.szInfo, sizeof data.szInfo);
    if (body.empty()) {
        client.Close(Key(icon));
        return;
    }
    Notification n;
    n.appName = kProductName;
    n.summary = FieldText(data.szInfoTitle, sizeof data.szInfoTitle);
    n.body = body;
    switch (data.dwInfoFlags & NIIF_ICON_MASK) {
    case NIIF_INFO: n.icon = "dialog-information"; break;
    case NIIF_WARNING: n.icon = "dialog-warning"; break;
    case NIIF_ERROR: n.icon = "dialog-error"; break;
    case NIIF_USER:
        n.icon = NameOf(icon.icon);
        n.image = IconImageOf(icon.icon);
        break;
    default: break;
    }
    n.timeoutMs = static_cast<std::int32_t>(std::clamp<UINT>(data.uTimeout, kMinimumBalloonMs, 0x7FFFFFFF));
    client.Show(Key(icon), std::move(n));
}

BOOL TrayIcons::Apply(DWORD message, const NOTIFYICONDATAA& data)
{
    DesktopSession& session = Session();
    ForgetDeadWindows();
    BOOL result = FALSE;
    TrayIcon* icon = Find(data.hWnd, data.uID);
    switch (message) {
    case NIM_ADD:
        if (icon != nullptr && (icon->item || icon->dock))
            break; // already shown
        if (icon == nullptr) {
            if (IsWindow(data.hWnd) == FALSE)
                break;
            icons_.push_back(std::make_unique<TrayIcon>());
            icon = icons_.back().get();
            icon->hwnd = data.hWnd;
            icon->id = data.uID;
        }
        Update(*icon, data);
        ShowIcon(*icon);
        result = icon->item || icon->dock ? TRUE : FALSE;
        break;
    case NIM_MODIFY:
        if (icon == nullptr)
            break;
        Update(*icon, data);
        result = TRUE;
        break;
    case NIM_DELETE:
        if (icon == nullptr)
            break;
        session.Notifications().Close(Key(*icon));
        if (hovered_ == icon) {
            hovered_ = nullptr;
            tip_.Hide();
        }
        std::erase_if(icons_, [&](const auto& each) { return each.get() == icon; });
        result = TRUE;
        break;
    default:
        break;
    }
    // Synchronous calls to the bus daemon may have read other messages
    // off the socket; serve them now rather than at the next readable fd.
    session.Dispatch();
    return result;
}

void TrayIcons::ForgetDeadWindows()
{
    for (auto& icon : icons_) {
        if (icon->dockGone)
            icon->dock.reset();
    }
    // A window destroyed without deleting its icons leaves them behind.
    std::erase_if(icons_, [&](const auto& icon) {
        if (IsWindow(icon->hwnd) != FALSE)
            return false;
        if (hovered_ == icon.get()) {
            hovered_ = nullptr;
            tip_.Hide();
        }
        Session().Notifications().Close(Key(*icon));
        return true;
    });
}

void TrayIcons::WatcherAppeared()
{
    // A new host knows none of our items: drop them (and icons docked in
    // an old-style tray, which the new host replaces) and let each window
    // add its icons again, as after a restarted taskbar.
    AddAgain();
}

void TrayIcons::SystemTrayAppeared()
{
    if (!Session().WatcherPresent())
        AddAgain();
}

void TrayIcons::AddAgain()
{
    tip_.Hide();
    hovered_ = nullptr;
    for (auto& icon : icons_) {
        icon->item.reset();
        icon->dock.reset();
    }
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == static_cast<DWORD>(getpid()))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        PostMessageA(hwnd, taskbarCreated, 0, 0);
}

void TrayIcons::WatcherVanished()
{
    for (auto& icon : icons_)
        icon->item.reset();
    // An old-style tray may show them meanwhile.
    auto* x = win::x11::CurrentX11Display();
    if (!icons_.empty() && x != nullptr && win::x11::SystemTrayPresent(*x))
        AddAgain();
}

void TrayIcons::PublishMenu(HWND owner, const std::vector<MenuItem>& menu)
{
    for (auto& icon : icons_) {
        if (icon->hwnd != owner)
            continue;
        icon->menu = menu;
        if (icon->item)
            icon->item->Menu().SetMenu(menu);
    }
}

void TrayIcons::PlaceOwnMenu(HWND owner, POINT& at)
{
    for (auto& icon : icons_) {
        if (icon->hwnd != owner || !icon->menuAt)
            continue;
        at = *icon->menuAt;
        icon->menuAt.reset();
    }
}

bool TrayIcons::ExportMenu(HWND owner, const std::vector<MenuItem>& menu)
{
    PublishMenu(owner, menu);
    bool forPanel = false;
    for (auto& icon : icons_) {
        if (icon->hwnd != owner || !icon->item)
            continue;
        forPanel = forPanel || icon->menuForPanel;
        icon->menuForPanel = false;
    }
    return forPanel;
}

} // namespace

bool ExportTrayMenu(HWND owner, const std::vector<MenuItem>& menu)
{
    return TrayIcons::Instance().ExportMenu(owner, menu);
}

void PublishTrayMenu(HWND owner, const std::vector<MenuItem>& menu)
{
    TrayIcons::Instance().PublishMenu(owner, menu);
}

void NameTrayIcon(HICON icon, const std::string& themeName)
{
    TrayIcons::Instance().Name(icon, themeName);
}

void SetTrayIconPictures(HICON icon, std::vector<IconImage> pictures)
{
    TrayIcons::Instance().SetPictures(icon, std::move(pictures));
}

void ShutdownDesktopServices()
{
    TrayIcons::Instance().Shutdown();
}

} // namespace quelvo::desktop

BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data)
{
    if (data == nullptr)
        return FALSE;
    return quelvo::desktop::TrayIcons::Instance().Apply(message, *data);
}
