#pragma once
// Desktop notifications (org.freedesktop.Notifications) as the balloons of
// notification-area icons: each icon has at most one on screen, and a new
// one replaces it.

#include "platform/desktop/BusConnection.h"
#include "platform/desktop/IconImage.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace quelvo::desktop {

inline constexpr const char* kNotificationsName = "org.freedesktop.Notifications";
inline constexpr const char* kNotificationsPath = "/org/freedesktop/Notifications";

struct Notification {
    std::string appName;
    std::string summary;
    std::string body;       // plain text; escaped here when the server reads markup
    std::string icon;       // icon name, may be empty
    std::optional<IconImage> image; // pixels shown where the server shows images
    std::int32_t timeoutMs = -1;
    std::uint8_t urgency = 1; // 0 low, 1 normal, 2 critical
};

class NotificationClient {
public:
    explicit NotificationClient(BusConnection* connection);
    NotificationClient(const NotificationClient&) = delete;
    NotificationClient& operator=(const NotificationClient&) = delete;

    // Shows the notification in place of the one `key` showed before. Calls
    // are asynchronous; while one is under way for a key, only the newest
    // notification waits for it, so none is lost in between and none is
    // shown twice.
    void Show(std::uint64_t key, Notification notification);
    // Takes the key's notification off the screen.
    void Close(std::uint64_t key);

    // Takes every notification off the screen, waiting up to `limit` for
    // the server to name those still on their way (end of the program).
    void CloseAll(std::chrono::milliseconds limit);

    // Server-side id of the key's notification, 0 when none is known.
    std::uint32_t IdOf(std::uint64_t key) const;

private:
    struct Slot {
        NotificationClient* owner = nullptr;
        std::uint64_t key = 0;
        std::uint32_t id = 0;
        std::optional<Notification> waiting;
        bool closeWhenShown = false;
        SlotPtr call;
        std::chrono::steady_clock::time_point sentAt;
    };
    enum class Capabilities { Unknown, Asking, Known };

    void AskCapabilities();
    void SendWaiting();
    Slot& SlotOf(std::uint64_t key);
    void Send(Slot& slot);
    void SendClose(std::uint32_t id);
    void ServerChanged();
    static int OnCapabilities(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int OnNotified(sd_bus_message* m, void* userdata, sd_bus_error* error);

    BusConnection* connection_ = nullptr;
    Capabilities capabilities_ = Capabilities::Unknown;
    bool markup_ = false;
    SlotPtr capabilitiesCall_;
    std::unique_ptr<NameWatch> serverWatch_;
    std::map<std::uint64_t, Slot> slots_;
};

} // namespace quelvo::desktop
