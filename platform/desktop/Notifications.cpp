#include "platform/desktop/Notifications.h"

#include "platform/desktop/BusText.h"

#include <string_view>

namespace quelvo::desktop {

namespace {
constexpr const char* kNotificationsInterface = "org.freedesktop.Notifications";
// A server that has not answered by then is taken to be hung; the next
// balloon is sent without waiting for it.
constexpr auto kHungCall = std::chrono::seconds(30);

// Urgency, and the picture as RGBA rows.
int AppendHints(sd_bus_message* m, const Notification& n)
{
    int r = sd_bus_message_open_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
    if (r >= 0)
        r = sd_bus_message_append(m, "{sv}", "urgency", "y", n.urgency);
    if (r >= 0 && n.image && n.image->Valid()) {
        const IconImage& image = *n.image;
        std::vector<std::uint8_t> rgba;
        rgba.reserve(image.argb.size() * 4);
        for (const std::uint32_t pixel : image.argb) {
            rgba.push_back(static_cast<std::uint8_t>(pixel >> 16));
            rgba.push_back(static_cast<std::uint8_t>(pixel >> 8));
            rgba.push_back(static_cast<std::uint8_t>(pixel));
            rgba.push_back(static_cast<std::uint8_t>(pixel >> 24));
        }
        r = sd_bus_message_open_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv");
        if (r >= 0)
            r = sd_bus_message_append(m, "s", "image-data");
        if (r >= 0)
            r = sd_bus_message_open_container(m, SD_BUS_TYPE_VARIANT, "(iiibiiay)");
        if (r >= 0)
            r = sd_bus_message_open_container(m, SD_BUS_TYPE_STRUCT, "iiibiiay");
        if (r >= 0)
            r = sd_bus_message_append(m, "iiibii", image.width, image.height, image.width * 4, 1, 8, 4);
        if (r >= 0)
            r = sd_bus_message_append_array(m, 'y', rgba.data(), rgba.size());
        for (int level = 0; level < 3 && r >= 0; ++level)
            r = sd_bus_message_close_container(m);
    }
    if (r >= 0)
        r = sd_bus_message_close_container(m);
    return r;
}

} // namespace

NotificationClient::NotificationClient(BusConnection* connection) : connection_(connection)
{
    if (connection_ != nullptr)
        serverWatch_ = connection_->WatchName(kNotificationsName, [this](const std::string&) { ServerChanged(); });
}

NotificationClient::Slot& NotificationClient::SlotOf(std::uint64_t key)
{
    Slot& slot = slots_[key];
    slot.owner = this;
    slot.key = key;
    return slot;
}

std::uint32_t NotificationClient::IdOf(std::uint64_t key) const
{
    const auto it = slots_.find(key);
    return it == slots_.end() ? 0 : it->second.id;
}

void NotificationClient::Show(std::uint64_t key, Notification notification)
{
    notification.appName = ToBusText(notification.appName);
    notification.summary = ToBusText(notification.summary);
    notification.body = ToBusText(notification.body);
    notification.icon = ToBusText(notification.icon);
    Slot& slot = SlotOf(key);
    slot.waiting = std::move(notification);
    slot.closeWhenShown = false;
    if (connection_ == nullptr || !connection_->IsOpen())
        return;
    if (capabilities_ != Capabilities::Known) {
        AskCapabilities();
        return;
    }
    if (slot.call && std::chrono::steady_clock::now() - slot.sentAt > kHungCall)
        slot.call.reset();
    if (!slot.call)
        Send(slot);
}

void NotificationClient::Close(std::uint64_t key)
{
    Slot& slot = SlotOf(key);
    slot.waiting.reset();
    if (slot.call) {
        slot.closeWhenShown = true;
    } else if (slot.id != 0) {
        SendClose(slot.id);
        slot.id = 0;
    }
}

void NotificationClient::CloseAll(std::chrono::milliseconds limit)
{
    for (auto& [key, slot] : slots_)
        Close(key);
    const auto waiting = [this] {
        for (const auto& [key, slot] : slots_) {
            if (slot.call && slot.closeWhenShown)
                return true;
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // A notification whose id is not known yet can only be closed once
    // the server answered; the answer closes it (OnNotified).
    while (connection_ != nullptr && connection_->IsOpen() && waiting()) {
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            break;
        sd_bus_wait(connection_->Bus(),
                    static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(left).count()));
        connection_->Dispatch();
    }
    if (connection_ != nullptr)
        connection_->Flush();
}

void NotificationClient::AskCapabilities()
{
    if (capabilities_ != Capabilities::Unknown || connection_ == nullptr || !connection_->IsOpen())
        return;
    sd_bus_slot* raw = nullptr;
    if (sd_bus_call_method_async(connection_->Bus(), &raw, kNotificationsName, kNotificationsPath,
                                 kNotificationsInterface, "GetCapabilities", &NotificationClient::OnCapabilities,
                                 this, "") < 0)
        return;
    capabilitiesCall_.reset(raw);
    capabilities_ = Capabilities::Asking;
    connection_->Flush();
}

int NotificationClient::OnCapabilities(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<NotificationClient*>(userdata);
    self->capabilitiesCall_.reset();
    self->capabilities_ = Capabilities::Known;
    self->markup_ = false;
    if (!sd_bus_message_is_method_error(m, nullptr) &&
        sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "s") > 0) {
        const char* capability = nullptr;
        while (sd_bus_message_read(m, "s", &capability) > 0) {
            if (std::string_view(capability) == "body-markup")
                self->markup_ = true;
        }
    }
    self->SendWaiting();
    return 0;
}

void NotificationClient::SendWaiting()
{
    for (auto& [key, slot] : slots_) {
        if (slot.waiting && !slot.call)
            Send(slot);
    }
}

void NotificationClient::Send(Slot& slot)
{
    const Notification n = std::move(*slot.waiting);
    slot.waiting.reset();
    const std::string body = markup_ ? EscapeMarkup(n.body) : n.body;
    sd_bus_message* raw = nullptr;
    if (sd_bus_message_new_method_call(connection_->Bus(), &raw, kNotificationsName, kNotificationsPath,
                                       kNotificationsInterface, "Notify") < 0)
        return;
    MessagePtr message(raw);
    int r = sd_bus_message_append(raw, "susss", n.appName.c_str(), slot.id, n.icon.c_str(), n.summary.c_str(),
                                  body.c_str());
    if (r >= 0)
        r = sd_bus_message_append(raw, "as", 0);
    if (r >= 0)
        r = AppendHints(raw, n);
    if (r >= 0)
        r = sd_bus_message_append(raw, "i", n.timeoutMs);
    if (r < 0)
        return;
    sd_bus_slot* call = nullptr;
    if (sd_bus_call_async(connection_->Bus(), &call, raw, &NotificationClient::OnNotified, &slot, 0) < 0)
        return;
    slot.call.reset(call);
    slot.sentAt = std::chrono::steady_clock::now();
    connection_->Flush();
}

int NotificationClient::OnNotified(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto& slot = *static_cast<Slot*>(userdata);
    slot.call.reset();
    std::uint32_t id = 0;
    if (!sd_bus_message_is_method_error(m, nullptr) && sd_bus_message_read(m, "u", &id) > 0)
        slot.id = id;
    if (slot.closeWhenShown) {
        slot.closeWhenShown = false;
        if (slot.id != 0)
            slot.owner->SendClose(slot.id);
        slot.id = 0;
    }
    if (slot.waiting)
        slot.owner->Send(slot);
    return 0;
}

void NotificationClient::SendClose(std::uint32_t id)
{
    if (connection_ == nullptr || !connection_->IsOpen())
        return;
    sd_bus_call_method_async(connection_->Bus(), nullptr, kNotificationsName, kNotificationsPath,
                             kNotificationsInterface, "CloseNotification", nullptr, nullptr, "u", id);
    connection_->Flush();
}

void NotificationClient::ServerChanged()
{
    // Ids of a server that went mean nothing to the next one.
    capabilities_ = Capabilities::Unknown;
    capabilitiesCall_.reset();
    bool waiting = false;
    for (auto& [key, slot] : slots_) {
        slot.call.reset();
        slot.id = 0;
        slot.closeWhenShown = false;
        waiting = waiting || slot.waiting.has_value();
    }
    if (waiting)
        AskCapabilities();
}

} // namespace quelvo::desktop
