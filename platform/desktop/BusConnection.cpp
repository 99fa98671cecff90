#include "platform/desktop/BusConnection.h"

#include <poll.h>

namespace quelvo::desktop {

namespace {
constexpr const char* kDaemon = "org.freedesktop.DBus";
constexpr const char* kDaemonPath = "/org/freedesktop/DBus";
} // namespace

std::unique_ptr<BusConnection> BusConnection::Start(BusPtr bus)
{
    if (!bus)
        return nullptr;
    std::unique_ptr<BusConnection> connection(new BusConnection(std::move(bus)));
    // Fail now rather than on first use: the unique name arrives with Hello.
    if (connection->UniqueName().empty())
        return nullptr;
    return connection;
}

std::unique_ptr<BusConnection> BusConnection::OpenSession()
{
    sd_bus* raw = nullptr;
    if (sd_bus_open_user(&raw) < 0)
        return nullptr;
    return Start(BusPtr(raw));
}

std::unique_ptr<BusConnection> BusConnection::OpenAddress(const std::string& address)
{
    sd_bus* raw = nullptr;
    if (sd_bus_new(&raw) < 0)
        return nullptr;
    BusPtr bus(raw);
    if (sd_bus_set_address(raw, address.c_str()) < 0 || sd_bus_set_bus_client(raw, 1) < 0 ||
        sd_bus_start(raw) < 0)
        return nullptr;
    return Start(std::move(bus));
}

bool BusConnection::IsOpen() const
{
    return !broken_ && sd_bus_is_open(bus_.get()) > 0;
}

int BusConnection::Fd() const
{
    return sd_bus_get_fd(bus_.get());
}

short BusConnection::Events() const
{
    const int events = sd_bus_get_events(bus_.get());
    return events < 0 ? POLLIN : static_cast<short>(events);
}

void BusConnection::Dispatch()
{
    if (broken_)
        return;
    for (;;) {
        const int r = sd_bus_process(bus_.get(), nullptr);
        if (r < 0) {
            broken_ = true;
            return;
        }
        if (r == 0)
            break;
    }
    Flush();
}

void BusConnection::Flush()
{
    if (!broken_ && sd_bus_flush(bus_.get()) < 0)
        broken_ = true;
}

std::string BusConnection::UniqueName() const
{
    const char* name = nullptr;
    if (sd_bus_get_unique_name(bus_.get(), &name) < 0 || name == nullptr)
        return {};
    return name;
}

bool BusConnection::NameHasOwner(const std::string& name)
{
    if (!IsOpen())
        return false;
    BusError error;
    sd_bus_message* reply = nullptr;
    if (sd_bus_call_method(bus_.get(), kDaemon, kDaemonPath, kDaemon, "NameHasOwner", error.Get(), &reply, "s",
                           name.c_str()) < 0)
        return false;
    MessagePtr owned(reply);
    int has = 0;
    return sd_bus_message_read(reply, "b", &has) >= 0 && has != 0;
}

bool BusConnection::RequestName(const std::string& name)
{
    return IsOpen() && sd_bus_request_name(bus_.get(), name.c_str(), 0) >= 0;
}

void BusConnection::ReleaseName(const std::string& name)
{
    if (IsOpen())
        sd_bus_release_name(bus_.get(), name.c_str());
}

int NameWatch::OnSignal(sd_bus_message* message, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<NameWatch*>(userdata);
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    if (sd_bus_message_read(message, "sss", &name, &oldOwner, &newOwner) < 0)
        return 0;
    if (name == nullptr || self->name_ != name)
        return 0;
    if (self->handler_)
        self->handler_(newOwner != nullptr ? newOwner : "");
    return 0;
}

std::unique_ptr<NameWatch> BusConnection::WatchName(const std::string& name, NameWatch::Handler handler)
{
    std::unique_ptr<NameWatch> watch(new NameWatch());
    watch->name_ = name;
    watch->handler_ = std::move(handler);
    if (!IsOpen())
        return watch;
    const std::string match = "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
                              "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='" +
                              name + "'";
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_match(bus_.get(), &slot, match.c_str(), &NameWatch::OnSignal, watch.get()) >= 0)
        watch->slot_.reset(slot);
    return watch;
}

int ReplyWith(sd_bus_message* call, const std::function<int(sd_bus_message* reply)>& fill)
{
    sd_bus_message* raw = nullptr;
    int r = sd_bus_message_new_method_return(call, &raw);
    if (r < 0)
        return r;
    MessagePtr reply(raw);
    r = fill(raw);
    if (r < 0)
        return r;
    return sd_bus_send(nullptr, raw, nullptr);
}

} // namespace quelvo::desktop
