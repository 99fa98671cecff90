#pragma once
// The process's link to the desktop shell services on the session bus:
// notification-area items, their menus and notifications. Served from the
// caller's loop through Fd() and Dispatch(); without a bus, or without a
// panel on it, every service fails quietly.

#include "platform/desktop/BusConnection.h"
#include "platform/desktop/Notifications.h"
#include "platform/desktop/StatusNotifierItem.h"

#include <functional>
#include <memory>
#include <string>

namespace quelvo::desktop {

class DesktopSession {
public:
    // connection may be null: the session is then offline for good.
    static std::unique_ptr<DesktopSession> Open(std::unique_ptr<BusConnection> connection);
    // The session bus of the user, or offline.
    static std::unique_ptr<DesktopSession> OpenUserSession();

    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    bool Online() const { return connection_ && connection_->IsOpen(); }
    bool WatcherPresent() const { return Online() && watcherPresent_; }
    BusConnection* Connection() const { return connection_.get(); }

    // -1 when offline.
    int Fd() const;
    void Dispatch();

    // A new item, already on its way to the watcher; nullptr without a
    // watcher, or when this connection already carries an item.
    std::unique_ptr<StatusNotifierItem> CreateItem(const std::string& title);

    NotificationClient& Notifications() { return *notifications_; }

    // The watcher came (or was replaced by a new one): the items the old
    // one knew are gone from the panel and must be created again.
    std::function<void()> OnWatcherAppeared;
    // The watcher went.
    std::function<void()> OnWatcherVanished;

private:
    explicit DesktopSession(std::unique_ptr<BusConnection> connection) : connection_(std::move(connection)) {}
    void Start();
    void WatcherChanged(const std::string& newOwner);

    std::unique_ptr<BusConnection> connection_;
    std::unique_ptr<NotificationClient> notifications_;
    std::unique_ptr<NameWatch> watcherWatch_;
    bool watcherPresent_ = false;
    unsigned itemCounter_ = 0;
};

} // namespace quelvo::desktop
