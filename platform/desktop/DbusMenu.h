#pragma once
// Exports a menu model with the com.canonical.dbusmenu interface, so that a
// panel can show the menu of a notification-area item itself.

#include "platform/desktop/BusConnection.h"
#include "platform/desktop/MenuModel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace quelvo::desktop {

// One entry of an item's property dictionary as the panel reads it.
struct MenuProperty {
    const char* name = "";
    std::variant<std::string, bool, std::int32_t> value;
};

class DbusMenuExporter {
public:
    // nullptr when the object cannot be exported on this connection.
    static std::unique_ptr<DbusMenuExporter> Create(BusConnection& connection, std::string path);

    DbusMenuExporter(const DbusMenuExporter&) = delete;
    DbusMenuExporter& operator=(const DbusMenuExporter&) = delete;

    ~DbusMenuExporter();

    // Replaces the exported menu and tells the panel its layout changed; a
    // panel waiting for the menu to open learns that it must read it again.
    void SetMenu(const std::vector<MenuItem>& items);
    // Lets a panel waiting for the menu to open go on with the menu as it is.
    void AnswerOpenings();
    bool OpeningPending() const { return !pendingOpenings_.empty(); }
    std::uint32_t Revision() const { return revision_; }
    const std::string& Path() const { return path_; }

    // An enabled leaf item was clicked.
    std::function<void(int command)> OnCommand;
    // The panel is about to show the menu. The panel waits (a few seconds at
    // most) until SetMenu() or AnswerOpenings() answers it, so the owner can
    // build the menu first.
    std::function<void()> OnOpening;

private:
    // Flattened tree; the index is the id the panel sees, 0 is the root.
    struct Entry {
        const MenuItem* item = nullptr; // null for the root
        std::vector<int> children;
    };

    DbusMenuExporter(BusConnection& connection, std::string path) : connection_(connection), path_(std::move(path)) {}
    bool Export();
    void Flatten(const std::vector<MenuItem>& items, int parent);
    const Entry* Find(int id) const;
    std::vector<MenuProperty> Properties(int id) const;
    static const sd_bus_vtable* Vtable();
    int AppendLayout(sd_bus_message* reply, int id, int depth, const std::vector<std::string>& names) const;
    int AppendProperties(sd_bus_message* reply, int id, const std::vector<std::string>& names) const;
    bool Click(int id, const std::string& event);
    void AnswerOpenings(bool needUpdate);

    static int GetLayout(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int GetGroupProperties(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int GetProperty(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int Event(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int EventGroup(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int AboutToShow(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int AboutToShowGroup(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int GetVersion(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*);
    static int GetTextDirection(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                                sd_bus_error*);
    static int GetStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*);
    static int GetIconThemePath(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                                sd_bus_error*);

    BusConnection& connection_;
    std::string path_;
    std::vector<MenuItem> items_;
    std::vector<Entry> entries_;
    std::uint32_t revision_ = 1;
    std::vector<MessagePtr> pendingOpenings_;
    SlotPtr slot_;
};

} // namespace quelvo::desktop
