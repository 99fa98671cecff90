#include "FakeDesktop.h"

#include "platform/desktop/Notifications.h"
#include "platform/desktop/StatusNotifierItem.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <poll.h>
#include <sys/wait.h>

namespace quelvo::desktop::testing {

bool Pump::Until(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        for (const auto& work : work_)
            work();
        for (BusConnection* connection : connections_)
            connection->Dispatch();
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::vector<pollfd> fds;
        for (BusConnection* connection : connections_) {
            if (connection->IsOpen())
                fds.push_back(pollfd{connection->Fd(), connection->Events(), 0});
        }
        poll(fds.data(), fds.size(), work_.empty() ? 5 : 2);
    }
}

std::unique_ptr<PendingCall> PendingCall::Start(BusConnection& from, const std::string& destination,
                                                const std::string& path, const std::string& interface,
                                                const std::string& member,
                                                const std::function<int(sd_bus_message*)>& append)
{
    sd_bus_message* raw = nullptr;
    if (sd_bus_message_new_method_call(from.Bus(), &raw, destination.c_str(), path.c_str(), interface.c_str(),
                                       member.c_str()) < 0)
        return nullptr;
    MessagePtr call(raw);
    if (append && append(raw) < 0)
        return nullptr;
    std::unique_ptr<PendingCall> pending(new PendingCall());
    sd_bus_slot* slot = nullptr;
    if (sd_bus_call_async(from.Bus(), &slot, raw, &PendingCall::OnReply, pending.get(), 0) < 0)
        return nullptr;
    pending->slot_.reset(slot);
    from.Flush();
    return pending;
}

int PendingCall::OnReply(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    static_cast<PendingCall*>(userdata)->reply_.reset(sd_bus_message_ref(m));
    return 0;
}

MessagePtr Call(Pump& pump, BusConnection& from, const std::string& destination, const std::string& path,
                const std::string& interface, const std::string& member,
                const std::function<int(sd_bus_message*)>& append)
{
    auto pending = PendingCall::Start(from, destination, path, interface, member, append);
    if (!pending)
        return nullptr;
    pump.Until([&] { return pending->Done(); });
    return pending->TakeReply();
}

MessagePtr GetProperty(Pump& pump, BusConnection& from, const std::string& destination, const std::string& path,
                       const std::string& interface, const std::string& property)
{
    MessagePtr reply = Call(pump, from, destination, path, "org.freedesktop.DBus.Properties", "Get",
                            [&](sd_bus_message* m) {
                                return sd_bus_message_append(m, "ss", interface.c_str(), property.c_str());
                            });
    if (!reply || sd_bus_message_is_method_error(reply.get(), nullptr))
        return nullptr;
    // Step into the variant so the caller reads the value itself.
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(reply.get(), &type, &contents) < 0 ||
        sd_bus_message_enter_container(reply.get(), SD_BUS_TYPE_VARIANT, contents) < 0)
        return nullptr;
    return reply;
}

PrivateBus::PrivateBus()
{
    FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (out == nullptr)
        return;
    char line[512] = {};
    if (fgets(line, sizeof line, out) != nullptr) {
        address_ = line;
        while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r'))
            address_.pop_back();
    }
    if (fgets(line, sizeof line, out) != nullptr)
        pid_ = std::atoi(line);
    pclose(out);
}

void PrivateBus::Kill()
{
    if (pid_ > 0)
        kill(pid_, SIGTERM);
    pid_ = 0;
}

namespace {

// One dictionary of item properties, entered already.
int ReadItemProperties(sd_bus_message* m, std::string& out)
{
    std::string label;
    bool separator = false;
    bool checked = false;
    bool enabled = true;
    int r = 0;
    while ((r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv")) > 0) {
        const char* key = nullptr;
        r = sd_bus_message_read(m, "s", &key);
        const std::string name = key != nullptr ? key : "";
        const char* text = nullptr;
        int flag = 0;
        std::int32_t number = 0;
        if (r >= 0 && name == "label" && (r = sd_bus_message_read(m, "v", "s", &text)) >= 0)
            label = text;
        else if (r >= 0 && name == "type" && (r = sd_bus_message_read(m, "v", "s", &text)) >= 0)
            separator = std::string(text) == "separator";
        else if (r >= 0 && name == "enabled" && (r = sd_bus_message_read(m, "v", "b", &flag)) >= 0)
            enabled = flag != 0;
        else if (r >= 0 && name == "toggle-state" && (r = sd_bus_message_read(m, "v", "i", &number)) >= 0)
            checked = number == 1;
        else if (r >= 0)
            r = sd_bus_message_skip(m, "v");
        if (r >= 0)
            r = sd_bus_message_exit_container(m);
        if (r < 0)
            return r;
    }
    out = separator ? "-" : label + (checked ? "*" : "") + (enabled ? "" : " (off)");
    return r;
}

} // namespace

std::vector<std::string> LayoutTopLevel(sd_bus_message* reply)
{
    std::vector<std::string> items;
    std::uint32_t revision = 0;
    std::int32_t id = 0;
    if (reply == nullptr || sd_bus_message_is_method_error(reply, nullptr) ||
        sd_bus_message_read(reply, "u", &revision) < 0 ||
        sd_bus_message_enter_container(reply, SD_BUS_TYPE_STRUCT, "ia{sv}av") <= 0 ||
        sd_bus_message_read(reply, "i", &id) < 0 || sd_bus_message_skip(reply, "a{sv}") < 0 ||
        sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "v") <= 0)
        return {};
    while (sd_bus_message_enter_container(reply, SD_BUS_TYPE_VARIANT, "(ia{sv}av)") > 0) {
        std::string item;
        if (sd_bus_message_enter_container(reply, SD_BUS_TYPE_STRUCT, "ia{sv}av") <= 0 ||
            sd_bus_message_read(reply, "i", &id) < 0 ||
            sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "{sv}") <= 0 ||
            ReadItemProperties(reply, item) < 0 || sd_bus_message_exit_container(reply) < 0 ||
            sd_bus_message_skip(reply, "av") < 0 || sd_bus_message_exit_container(reply) < 0 ||
            sd_bus_message_exit_container(reply) < 0)
            return {};
        items.push_back(item);
    }
    return items;
}

FakeWatcher::FakeWatcher(bool layoutFirst) : connection_(BusConnection::OpenSession()), layoutFirst_(layoutFirst)
{
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("RegisterStatusNotifierItem", "s", "", &FakeWatcher::Register, 0),
        SD_BUS_SIGNAL("StatusNotifierItemRegistered", "s", 0),
        SD_BUS_VTABLE_END,
    };
    if (!connection_)
        return;
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_vtable(connection_->Bus(), &slot, kWatcherPath, kWatcherName, table, this) < 0)
        return;
    object_.reset(slot);
    slot = nullptr;
    if (sd_bus_add_match(connection_->Bus(), &slot, "type='signal',path='/StatusNotifierItem'", &OnSignal, this) < 0)
        return;
    match_.reset(slot);
    slot = nullptr;
    if (sd_bus_add_match(connection_->Bus(), &slot, "type='signal',path='/MenuBar'", &OnSignal, this) < 0)
        return;
    menuMatch_.reset(slot);
    ok_ = connection_->RequestName(kWatcherName);
}

FakeWatcher::~FakeWatcher()
{
    object_.reset();
    match_.reset();
    menuMatch_.reset();
}

int FakeWatcher::Count(const std::string& signal) const
{
    return static_cast<int>(std::count(signals_.begin(), signals_.end(), signal));
}

int FakeWatcher::Register(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<FakeWatcher*>(userdata);
    const char* service = nullptr;
    const int r = sd_bus_message_read(m, "s", &service);
    if (r < 0)
        return r;
    self->registrations_.push_back({service, sd_bus_message_get_sender(m)});
    if (self->layoutFirst_) {
        self->layoutCalls_.push_back(PendingCall::Start(
            *self->connection_, service, "/MenuBar", "com.canonical.dbusmenu", "GetLayout", [](sd_bus_message* call) {
                int status = sd_bus_message_append(call, "ii", 0, -1);
                if (status >= 0)
                    status = sd_bus_message_append(call, "as", 0);
                return status;
            }));
    }
    return sd_bus_reply_method_return(m, "");
}

bool FakeWatcher::LayoutArrived(std::size_t index) const
{
    return index < layoutCalls_.size() && layoutCalls_[index] && layoutCalls_[index]->Done();
}

MessagePtr FakeWatcher::TakeLayout(std::size_t index)
{
    return LayoutArrived(index) ? layoutCalls_[index]->TakeReply() : nullptr;
}

int FakeWatcher::OnSignal(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    static_cast<FakeWatcher*>(userdata)->signals_.emplace_back(sd_bus_message_get_member(m));
    return 0;
}

FakeNotificationServer::FakeNotificationServer(std::vector<std::string> capabilities)
    : connection_(BusConnection::OpenSession()), capabilities_(std::move(capabilities))
{
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Notify", "susssasa{sv}i", "u", &FakeNotificationServer::Notify, 0),
        SD_BUS_METHOD("GetCapabilities", "", "as", &FakeNotificationServer::GetCapabilities, 0),
        SD_BUS_METHOD("CloseNotification", "u", "", &FakeNotificationServer::CloseNotification, 0),
        SD_BUS_VTABLE_END,
    };
    if (!connection_)
        return;
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_vtable(connection_->Bus(), &slot, kNotificationsPath, kNotificationsName, table, this) < 0)
        return;
    object_.reset(slot);
    ok_ = connection_->RequestName(kNotificationsName);
}

FakeNotificationServer::~FakeNotificationServer()
{
    object_.reset();
}

namespace {

int ReadImage(sd_bus_message* m, std::vector<int>& out)
{
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_VARIANT, "(iiibiiay)");
    if (r >= 0)
        r = sd_bus_message_enter_container(m, SD_BUS_TYPE_STRUCT, "iiibiiay");
    int values[6] = {};
    if (r >= 0)
        r = sd_bus_message_read(m, "iiibii", &values[0], &values[1], &values[2], &values[3], &values[4], &values[5]);
    const void* data = nullptr;
    size_t size = 0;
    if (r >= 0)
        r = sd_bus_message_read_array(m, 'y', &data, &size);
    if (r < 0)
        return r;
    out.assign(values, values + 6);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (size_t i = 0; i < 4 && i < size; ++i)
        out.push_back(bytes[i]);
    r = sd_bus_message_exit_container(m);
    if (r >= 0)
        r = sd_bus_message_exit_container(m);
    return r;
}

} // namespace

int FakeNotificationServer::Notify(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<FakeNotificationServer*>(userdata);
    ReceivedNotification n;
    const char* appName = nullptr;
    const char* icon = nullptr;
    const char* summary = nullptr;
    const char* body = nullptr;
    int r = sd_bus_message_read(m, "susss", &appName, &n.replacesId, &icon, &summary, &body);
    if (r >= 0)
        r = sd_bus_message_skip(m, "as");
    if (r >= 0)
        r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
    while (r >= 0 && (r = sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv")) > 0) {
        const char* key = nullptr;
        r = sd_bus_message_read(m, "s", &key);
        std::uint8_t urgency = 0;
        if (r >= 0 && std::string(key) == "urgency" && sd_bus_message_read(m, "v", "y", &urgency) >= 0)
            n.urgency = urgency;
        else if (r >= 0 && std::string(key) == "image-data")
            r = ReadImage(m, n.image);
        else if (r >= 0)
            r = sd_bus_message_skip(m, "v");
        if (r >= 0)
            r = sd_bus_message_exit_container(m);
    }
    if (r >= 0)
        r = sd_bus_message_exit_container(m);
    if (r >= 0)
        r = sd_bus_message_read(m, "i", &n.timeoutMs);
    if (r < 0)
        return r;
    n.appName = appName;
    n.icon = icon;
    n.summary = summary;
    n.body = body;
    n.id = n.replacesId != 0 ? n.replacesId : self->nextId_++;
    self->received_.push_back(n);
    return sd_bus_reply_method_return(m, "u", n.id);
}

int FakeNotificationServer::GetCapabilities(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<FakeNotificationServer*>(userdata);
    return ReplyWith(m, [self](sd_bus_message* reply) {
        int r = sd_bus_message_open_container(reply, SD_BUS_TYPE_ARRAY, "s");
        for (const std::string& capability : self->capabilities_) {
            if (r >= 0)
                r = sd_bus_message_append(reply, "s", capability.c_str());
        }
        if (r >= 0)
            r = sd_bus_message_close_container(reply);
        return r;
    });
}

int FakeNotificationServer::CloseNotification(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    std::uint32_t id = 0;
    const int r = sd_bus_message_read(m, "u", &id);
    if (r < 0)
        return r;
    static_cast<FakeNotificationServer*>(userdata)->closed_.push_back(id);
    return sd_bus_reply_method_return(m, "");
}

} // namespace quelvo::desktop::testing
