#pragma once
// One notification-area item of the StatusNotifierItem protocol: the object
// a panel reads (icon, tooltip, menu) and calls (activation, context menu).

#include "platform/desktop/BusConnection.h"
#include "platform/desktop/DbusMenu.h"
#include "platform/desktop/IconImage.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quelvo::desktop {


inline constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
inline constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
inline constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
inline constexpr const char* kItemPath = "/StatusNotifierItem";
inline constexpr const char* kMenuPath = "/MenuBar";

class StatusNotifierItem {
public:
    // Takes the service name and exports the item and its (empty) menu;
    // nullptr when the bus refuses. Panels see the item once Register()
    // reached the watcher. One item per connection: the protocol's object
    // path is fixed.
    static std::unique_ptr<StatusNotifierItem> Create(BusConnection& connection, std::string serviceName,
                                                      std::string title);
    ~StatusNotifierItem();
    StatusNotifierItem(const StatusNotifierItem&) = delete;
    StatusNotifierItem& operator=(const StatusNotifierItem&) = delete;

    // Asks the watcher to show the item (asynchronous).
    void Register();
    // True once the watcher accepted the registration.
    bool Registered() const { return registered_; }

    void SetIcon(std::string iconName, std::vector<IconImage> images);
    void SetToolTip(std::string_view tip);

    const std::string& ServiceName() const { return serviceName_; }
    const std::string& ToolTip() const { return toolTip_; }
    DbusMenuExporter& Menu() { return *menu_; }

    // Primary click, middle click and the request for a context menu, at
    // screen coordinates.
    std::function<void(int x, int y)> OnActivate;
    std::function<void(int x, int y)> OnSecondaryActivate;
    std::function<void(int x, int y)> OnContextMenu;

private:
    StatusNotifierItem(BusConnection& connection, std::string serviceName, std::string title)
        : connection_(connection), serviceName_(std::move(serviceName)), title_(std::move(title)) {}
    bool Publish();
    void Emit(const char* signal);
    static const sd_bus_vtable* Vtable();
    static int AppendIcon(sd_bus_message* reply, const std::vector<IconImage>& images);
    static int OnRegistered(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int Click(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int Scroll(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int GetProperty(sd_bus* bus, const char* path, const char* interface, const char* property,
                           sd_bus_message* reply, void* userdata, sd_bus_error* error);

    BusConnection& connection_;
    std::string serviceName_;
    std::string title_;
    std::string iconName_;
    std::vector<IconImage> images_;
    std::string toolTip_;
    bool ownsName_ = false;
    bool registered_ = false;
    std::unique_ptr<DbusMenuExporter> menu_;
    SlotPtr object_;
    SlotPtr registerCall_;
};

} // namespace quelvo::desktop
