#pragma once
// One connection to a message bus, served by whoever polls Fd() and calls
// Dispatch(): no threads. Calls to other clients are always asynchronous
// (a peer may live in this very process and be served by the same loop);
// only the bus daemon itself is ever called synchronously.

#include <systemd/sd-bus.h>

#include <functional>
#include <memory>
#include <string>

namespace quelvo::desktop {

struct BusDeleter {
    void operator()(sd_bus* bus) const noexcept { sd_bus_flush_close_unref(bus); }
};
struct SlotDeleter {
    void operator()(sd_bus_slot* slot) const noexcept { sd_bus_slot_unref(slot); }
};
struct MessageDeleter {
    void operator()(sd_bus_message* message) const noexcept { sd_bus_message_unref(message); }
};
using BusPtr = std::unique_ptr<sd_bus, BusDeleter>;
using SlotPtr = std::unique_ptr<sd_bus_slot, SlotDeleter>;
using MessagePtr = std::unique_ptr<sd_bus_message, MessageDeleter>;

// Answers a method call: fill writes the reply's values, which is then
// sent. A negative result of making, filling or sending is handed back.
int ReplyWith(sd_bus_message* call, const std::function<int(sd_bus_message* reply)>& fill);

// Error texts of sd-bus calls, RAII.
class BusError {
public:
    BusError() = default;
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;
    ~BusError() { sd_bus_error_free(&error_); }
    sd_bus_error* Get() { return &error_; }

private:
    sd_bus_error error_ = SD_BUS_ERROR_NULL;
};

// Follows the owner of one well-known name for as long as it lives.
class NameWatch {
public:
    using Handler = std::function<void(const std::string& newOwner)>;
    NameWatch(const NameWatch&) = delete;
    NameWatch& operator=(const NameWatch&) = delete;

private:
    friend class BusConnection;
    NameWatch() = default;
    static int OnSignal(sd_bus_message* message, void* userdata, sd_bus_error* error);
    std::string name_;
    Handler handler_;
    SlotPtr slot_;
};

class BusConnection {
public:
    // nullptr when no session bus can be reached.
    static std::unique_ptr<BusConnection> OpenSession();
    static std::unique_ptr<BusConnection> OpenAddress(const std::string& address);

    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    sd_bus* Bus() const { return bus_.get(); }
    // False once the connection broke; nothing is sent any more.
    bool IsOpen() const;
    int Fd() const;
    // Poll events the connection waits for (POLLIN, and POLLOUT while
    // output is queued).
    short Events() const;
    // Handles everything that has arrived; handlers run inside, then the
    // output queue is written out.
    void Dispatch();
    // Writes out queued output; call after sending outside Dispatch().
    void Flush();

    std::string UniqueName() const;
    // Synchronous question to the bus daemon.
    bool NameHasOwner(const std::string& name);
    bool RequestName(const std::string& name);
    void ReleaseName(const std::string& name);

    // The handler learns every change of the name's owner (empty: gone).
    std::unique_ptr<NameWatch> WatchName(const std::string& name, NameWatch::Handler handler);

private:
    explicit BusConnection(BusPtr bus) : bus_(std::move(bus)) {}
    static std::unique_ptr<BusConnection> Start(BusPtr bus);
    BusPtr bus_;
    bool broken_ = false;
};

} // namespace quelvo::desktop
