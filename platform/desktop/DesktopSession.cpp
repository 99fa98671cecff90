#include "platform/desktop/DesktopSession.h"

#include <unistd.h>

namespace quelvo::desktop {

std::unique_ptr<DesktopSession> DesktopSession::Open(std::unique_ptr<BusConnection> connection)
{
    std::unique_ptr<DesktopSession> session(new DesktopSession(std::move(connection)));
    session->Start();
    return session;
}

std::unique_ptr<DesktopSession> DesktopSession::OpenUserSession()
{
    return Open(BusConnection::OpenSession());
}

void DesktopSession::Start()
{
    notifications_ = std::make_unique<NotificationClient>(connection_.get());
    if (!Online())
        return;
    watcherWatch_ = connection_->WatchName(kWatcherName,
                                           [this](const std::string& newOwner) { WatcherChanged(newOwner); });
    watcherPresent_ = connection_->NameHasOwner(kWatcherName);
}

int DesktopSession::Fd() const
{
    return Online() ? connection_->Fd() : -1;
}

void DesktopSession::Dispatch()
{
    if (connection_)
        connection_->Dispatch();
}

void DesktopSession::WatcherChanged(const std::string& newOwner)
{
    watcherPresent_ = !newOwner.empty();
    const auto& handler = watcherPresent_ ? OnWatcherAppeared : OnWatcherVanished;
    if (handler)
        handler();
}

std::unique_ptr<StatusNotifierItem> DesktopSession::CreateItem(const std::string& title)
{
    if (!WatcherPresent())
        return nullptr;
    const std::string service =
        "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" + std::to_string(++itemCounter_);
    auto item = StatusNotifierItem::Create(*connection_, service, title);
    if (item)
        item->Register();
    return item;
}

} // namespace quelvo::desktop
