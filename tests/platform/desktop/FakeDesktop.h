#pragma once
// A small panel and notification server of our own, on their own bus
// connection in the test process, and a pump that serves every connection
// of the test from one loop (as the program's message loop would).

#include "platform/desktop/BusConnection.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quelvo::desktop::testing {

// Serves the given connections until the condition holds or time runs out.
class Pump {
public:
    void Add(BusConnection* connection) { connections_.push_back(connection); }
    // Runs on every round, e.g. the window layer's message loop.
    void AddWork(std::function<void()> work) { work_.push_back(std::move(work)); }
    bool Until(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Serves for a short while, for checks that something did NOT happen.
    void Settle() { Until([] { return false; }, std::chrono::milliseconds(150)); }

private:
    std::vector<BusConnection*> connections_;
    std::vector<std::function<void()>> work_;
};

// A method call under way; its reply (or error) arrives through the pump.
class PendingCall {
public:
    // nullptr when the call cannot be sent.
    static std::unique_ptr<PendingCall> Start(BusConnection& from, const std::string& destination,
                                              const std::string& path, const std::string& interface,
                                              const std::string& member,
                                              const std::function<int(sd_bus_message*)>& append = {});
    PendingCall(const PendingCall&) = delete;
    PendingCall& operator=(const PendingCall&) = delete;
    bool Done() const { return reply_ != nullptr; }
    MessagePtr TakeReply() { return std::move(reply_); }

private:
    PendingCall() = default;
    static int OnReply(sd_bus_message* m, void* userdata, sd_bus_error* error);
    MessagePtr reply_;
    SlotPtr slot_;
};

// Calls a method on another connection without blocking the loop that must
// answer it; the reply (or error) comes back through the pump.
MessagePtr Call(Pump& pump, BusConnection& from, const std::string& destination, const std::string& path,
                const std::string& interface, const std::string& member,
                const std::function<int(sd_bus_message*)>& append = {});
MessagePtr GetProperty(Pump& pump, BusConnection& from, const std::string& destination, const std::string& path,
                       const std::string& interface, const std::string& property);

// A bus daemon of the test's own, which the test may take down.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus() { Kill(); }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    const std::string& Address() const { return address_; }
    void Kill();

private:
    std::string address_;
    int pid_ = 0;
};

struct Registration {
    std::string service;
    std::string sender;
};

// The top level of a GetLayout reply as text, one entry per item: "-" for
// a separator, else the label, "*" when checked, " (off)" when disabled.
// Empty when the reply cannot be read.
std::vector<std::string> LayoutTopLevel(sd_bus_message* reply);

// The watcher (and host) side of the notification area.
class FakeWatcher {
public:
    // layoutFirst: like some panels, reads the menu layout of each item as
    // soon as it registers, without announcing that it will show it.
    explicit FakeWatcher(bool layoutFirst = false);
    ~FakeWatcher();
    bool Ok() const { return ok_; }
    BusConnection& Connection() { return *connection_; }
    const std::vector<Registration>& Registrations() const { return registrations_; }
    // Signals seen from item and menu objects, by member name.
    const std::vector<std::string>& Signals() const { return signals_; }
    int Count(const std::string& signal) const;
    // Layouts read at registration (layoutFirst), in order of registration:
    // whether the reply is there, and the reply itself (once).
    bool LayoutArrived(std::size_t index) const;
    MessagePtr TakeLayout(std::size_t index);

private:
    static int Register(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int OnSignal(sd_bus_message* m, void* userdata, sd_bus_error* error);
    std::unique_ptr<BusConnection> connection_;
    SlotPtr object_;
    SlotPtr match_;
    SlotPtr menuMatch_;
    std::vector<Registration> registrations_;
    std::vector<std::string> signals_;
    bool layoutFirst_ = false;
    std::vector<std::unique_ptr<PendingCall>> layoutCalls_;
    bool ok_ = false;
};

struct ReceivedNotification {
    std::string appName;
    std::uint32_t replacesId = 0;
    std::string icon;
    std::string summary;
    std::string body;
    std::int32_t timeoutMs = 0;
    int urgency = -1;
    std::vector<int> image; // width, height, rowstride, alpha, bits, channels, then the first pixel's RGBA
    std::uint32_t id = 0; // the id handed back
};

class FakeNotificationServer {
public:
    explicit FakeNotificationServer(std::vector<std::string> capabilities);
    ~FakeNotificationServer();
    bool Ok() const { return ok_; }
    BusConnection& Connection() { return *connection_; }
    const std::vector<ReceivedNotification>& Received() const { return received_; }
    const std::vector<std::uint32_t>& Closed() const { return closed_; }

private:
    static int Notify(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int GetCapabilities(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int CloseNotification(sd_bus_message* m, void* userdata, sd_bus_error* error);
    std::unique_ptr<BusConnection> connection_;
    SlotPtr object_;
    std::vector<std::string> capabilities_;
    std::vector<ReceivedNotification> received_;
    std::vector<std::uint32_t> closed_;
    std::uint32_t nextId_ = 100;
    bool ok_ = false;
};

} // namespace quelvo::desktop::testing
