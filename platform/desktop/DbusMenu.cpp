#include "platform/desktop/DbusMenu.h"

#include "platform/desktop/BusText.h"

#include <algorithm>
#include <string_view>

namespace quelvo::desktop {

namespace {

constexpr const char* kInterface = "com.canonical.dbusmenu";
constexpr std::size_t kMostPendingOpenings = 8;

bool Wanted(const std::vector<std::string>& names, std::string_view name)
{
    return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

int ReadStrings(sd_bus_message* m, std::vector<std::string>& out)
{
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "s");
    if (r < 0)
        return r;
    const char* s = nullptr;
    while ((r = sd_bus_message_read(m, "s", &s)) > 0)
        out.emplace_back(s);
    if (r < 0)
        return r;
    return sd_bus_message_exit_container(m);
}

int ReadInts(sd_bus_message* m, std::vector<int>& out)
{
    const void* data = nullptr;
    size_t size = 0;
    const int r = sd_bus_message_read_array(m, 'i', &data, &size);
    if (r < 0)
        return r;
    const auto* values = static_cast<const std::int32_t*>(data);
    out.assign(values, values + size / sizeof(std::int32_t));
    return 0;
}

int AppendValue(sd_bus_message* m, const MenuProperty& property)
{
    if (const auto* text = std::get_if<std::string>(&property.value))
        return sd_bus_message_append(m, "v", "s", text->c_str());
    if (const auto* flag = std::get_if<bool>(&property.value))
        return sd_bus_message_append(m, "v", "b", static_cast<int>(*flag));
    return sd_bus_message_append(m, "v", "i", std::get<std::int32_t>(property.value));
}

int ReplyInts(sd_bus_message* call, const std::vector<int>& first, const std::vector<int>* second)
{
    return ReplyWith(call, [&](sd_bus_message* reply) {
        int r = sd_bus_message_append_array(reply, 'i', first.data(), first.size() * sizeof(int));
        if (r >= 0 && second != nullptr)
            r = sd_bus_message_append_array(reply, 'i', second->data(), second->size() * sizeof(int));
        return r;
    });
}

int UnknownItem(sd_bus_error* error, int id)
{
    return sd_bus_error_setf(error, SD_BUS_ERROR_INVALID_ARGS, "No menu item %d", id);
}

} // namespace

std::unique_ptr<DbusMenuExporter> DbusMenuExporter::Create(BusConnection& connection, std::string path)
{
    std::unique_ptr<DbusMenuExporter> menu(new DbusMenuExporter(connection, std::move(path)));
    if (!menu->Export())
        return nullptr;
    return menu;
}

bool DbusMenuExporter::Export()
{
    entries_.assign(1, Entry{});
    if (!connection_.IsOpen())
        return false;
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_vtable(connection_.Bus(), &slot, path_.c_str(), kInterface, Vtable(), this) < 0)
        return false;
    slot_.reset(slot);
    return true;
}

void DbusMenuExporter::Flatten(const std::vector<MenuItem>& items, int parent)
{
    for (const MenuItem& item : items) {
        const int id = static_cast<int>(entries_.size());
        entries_.push_back(Entry{&item, {}});
        entries_[parent].children.push_back(id);
        if (!item.separator)
            Flatten(item.children, id);
    }
}

DbusMenuExporter::~DbusMenuExporter()
{
    AnswerOpenings(false);
}

void DbusMenuExporter::AnswerOpenings()
{
    AnswerOpenings(false);
}

void DbusMenuExporter::AnswerOpenings(bool needUpdate)
{
    if (pendingOpenings_.empty())
        return;
    const std::vector<MessagePtr> pending = std::move(pendingOpenings_);
    pendingOpenings_.clear();
    if (!connection_.IsOpen())
        return;
    for (const MessagePtr& call : pending)
        sd_bus_reply_method_return(call.get(), "b", static_cast<int>(needUpdate));
    connection_.Flush();
}

void DbusMenuExporter::SetMenu(const std::vector<MenuItem>& items)
{
    items_ = items;
    entries_.assign(1, Entry{});
    Flatten(items_, 0);
    ++revision_;
    if (connection_.IsOpen()) {
        sd_bus_emit_signal(connection_.Bus(), path_.c_str(), kInterface, "LayoutUpdated", "ui", revision_, 0);
        connection_.Flush();
    }
    AnswerOpenings(true);
}

const DbusMenuExporter::Entry* DbusMenuExporter::Find(int id) const
{
    if (id < 0 || static_cast<std::size_t>(id) >= entries_.size())
        return nullptr;
    return &entries_[id];
}

std::vector<MenuProperty> DbusMenuExporter::Properties(int id) const
{
    const Entry& entry = entries_[id];
    const MenuItem* item = entry.item;
    if (item == nullptr)
        return {{"children-display", std::string("submenu")}};
    if (item->separator)
        return {{"type", std::string("separator")}};
    std::vector<MenuProperty> properties{
        {"label", ToBusText(MenuLabelToBus(item->label))},
        {"enabled", item->enabled},
    };
    if (item->checked) {
        properties.push_back({"toggle-type", std::string("checkmark")});
        properties.push_back({"toggle-state", std::int32_t{1}});
    }
    if (item->IsSubmenu())
        properties.push_back({"children-display", std::string("submenu")});
    return properties;
}

int DbusMenuExporter::AppendProperties(sd_bus_message* m, int id, const std::vector<std::string>& names) const
{
    int r = sd_bus_message_open_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
    for (const MenuProperty& property : Properties(id)) {
        if (r < 0)
            break;
        if (!Wanted(names, property.name))
            continue;
        r = sd_bus_message_open_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv");
        if (r >= 0)
            r = sd_bus_message_append(m, "s", property.name);
        if (r >= 0)
            r = AppendValue(m, property);
        if (r >= 0)
            r = sd_bus_message_close_container(m);
    }
    if (r < 0)
        return r;
    return sd_bus_message_close_container(m);
}

int DbusMenuExporter::AppendLayout(sd_bus_message* m, int id, int depth, const std::vector<std::string>& names) const
{
    int r = sd_bus_message_open_container(m, SD_BUS_TYPE_STRUCT, "ia{sv}av");
    if (r >= 0)
        r = sd_bus_message_append(m, "i", id);
    if (r >= 0)
        r = AppendProperties(m, id, names);
    if (r >= 0)
        r = sd_bus_message_open_container(m, SD_BUS_TYPE_ARRAY, "v");
    if (r >= 0 && depth != 0) {
        for (const int child : entries_[id].children) {
            r = sd_bus_message_open_container(m, SD_BUS_TYPE_VARIANT, "(ia{sv}av)");
            if (r >= 0)
                r = AppendLayout(m, child, depth > 0 ? depth - 1 : depth, names);
            if (r >= 0)
                r = sd_bus_message_close_container(m);
            if (r < 0)
                break;
        }
    }
    if (r >= 0)
        r = sd_bus_message_close_container(m);
    if (r >= 0)
        r = sd_bus_message_close_container(m);
    return r;
}

bool DbusMenuExporter::Click(int id, const std::string& event)
{
    const Entry* entry = Find(id);
    if (entry == nullptr)
        return false;
    if (event == "clicked" && entry->item != nullptr && !entry->item->separator && entry->item->enabled &&
        !entry->item->IsSubmenu() && OnCommand)
        OnCommand(entry->item->command);
    return true;
}

int DbusMenuExporter::GetLayout(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    const auto* self = static_cast<DbusMenuExporter*>(userdata);
    std::int32_t parent = 0;
    std::int32_t depth = -1;
    std::vector<std::string> names;
    int r = sd_bus_message_read(m, "ii", &parent, &depth);
    if (r >= 0)
        r = ReadStrings(m, names);
    if (r < 0)
        return r;
    if (self->Find(parent) == nullptr)
        return UnknownItem(error, parent);
    return ReplyWith(m, [&](sd_bus_message* reply) {
        int status = sd_bus_message_append(reply, "u", self->revision_);
        if (status >= 0)
            status = self->AppendLayout(reply, parent, depth, names);
        return status;
    });
}

int DbusMenuExporter::GetGroupProperties(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    const auto* self = static_cast<DbusMenuExporter*>(userdata);
    std::vector<int> ids;
    std::vector<std::string> names;
    int r = ReadInts(m, ids);
    if (r >= 0)
        r = ReadStrings(m, names);
    if (r < 0)
        return r;
    if (ids.empty()) {
        for (std::size_t id = 0; id < self->entries_.size(); ++id)
            ids.push_back(static_cast<int>(id));
    }
    return ReplyWith(m, [&](sd_bus_message* reply) {
        int status = sd_bus_message_open_container(reply, SD_BUS_TYPE_ARRAY, "(ia{sv})");
        for (const int id : ids) {
            if (status < 0)
                break;
            if (self->Find(id) == nullptr)
                continue;
            status = sd_bus_message_open_container(reply, SD_BUS_TYPE_STRUCT, "ia{sv}");
            if (status >= 0)
                status = sd_bus_message_append(reply, "i", id);
            if (status >= 0)
                status = self->AppendProperties(reply, id, names);
            if (status >= 0)
                status = sd_bus_message_close_container(reply);
        }
        if (status >= 0)
            status = sd_bus_message_close_container(reply);
        return status;
    });
}

int DbusMenuExporter::GetProperty(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    const auto* self = static_cast<DbusMenuExporter*>(userdata);
    std::int32_t id = 0;
    const char* name = nullptr;
    int r = sd_bus_message_read(m, "is", &id, &name);
    if (r < 0)
        return r;
    if (self->Find(id) == nullptr)
        return UnknownItem(error, id);
    for (const MenuProperty& property : self->Properties(id)) {
        if (std::string_view(property.name) != name)
            continue;
        return ReplyWith(m, [&](sd_bus_message* reply) { return AppendValue(reply, property); });
    }
    return sd_bus_error_setf(error, SD_BUS_ERROR_INVALID_ARGS, "Menu item %d has no property %s", id, name);
}

int DbusMenuExporter::Event(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    auto* self = static_cast<DbusMenuExporter*>(userdata);
    std::int32_t id = 0;
    const char* event = nullptr;
    std::uint32_t timestamp = 0;
    int r = sd_bus_message_read(m, "is", &id, &event);
    if (r >= 0)
        r = sd_bus_message_skip(m, "v");
    if (r >= 0)
        r = sd_bus_message_read(m, "u", &timestamp);
    if (r < 0)
        return r;
    if (!self->Click(id, event))
        return UnknownItem(error, id);
    return sd_bus_reply_method_return(m, "");
}

int DbusMenuExporter::EventGroup(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<DbusMenuExporter*>(userdata);
    struct Pending {
        int id;
        std::string event;
    };
    std::vector<Pending> events;
    int r = sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "(isvu)");
    if (r < 0)
        return r;
    while ((r = sd_bus_message_enter_container(m, SD_BUS_TYPE_STRUCT, "isvu")) > 0) {
        std::int32_t id = 0;
        const char* event = nullptr;
        std::uint32_t timestamp = 0;
        r = sd_bus_message_read(m, "is", &id, &event);
        if (r >= 0)
            r = sd_bus_message_skip(m, "v");
        if (r >= 0)
            r = sd_bus_message_read(m, "u", &timestamp);
        if (r >= 0)
            r = sd_bus_message_exit_container(m);
        if (r < 0)
            return r;
        events.push_back({id, event});
    }
    if (r < 0 || (r = sd_bus_message_exit_container(m)) < 0)
        return r;
    // Read everything first: a handler must not see a half-parsed request.
    std::vector<int> errors;
    for (const Pending& pending : events) {
        if (!self->Click(pending.id, pending.event))
            errors.push_back(pending.id);
    }
    return ReplyInts(m, errors, nullptr);
}

int DbusMenuExporter::AboutToShow(sd_bus_message* m, void* userdata, sd_bus_error* error)
{
    auto* self = static_cast<DbusMenuExporter*>(userdata);
    std::int32_t id = 0;
    const int r = sd_bus_message_read(m, "i", &id);
    if (r < 0)
        return r;
    if (self->Find(id) == nullptr)
        return UnknownItem(error, id);
    // A panel repeating the request while its first waits needs no second
    // menu; a bound keeps a flood of requests from piling up.
    if (id != 0 || !self->OnOpening || self->pendingOpenings_.size() >= kMostPendingOpenings)
        return sd_bus_reply_method_return(m, "b", 0);
    // The owner builds its menu from its message loop; the answer waits
    // for it (SetMenu) so that the panel shows the new menu at once.
    self->pendingOpenings_.emplace_back(sd_bus_message_ref(m));
    self->OnOpening();
    return 1;
}

int DbusMenuExporter::AboutToShowGroup(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<DbusMenuExporter*>(userdata);
    std::vector<int> ids;
    const int r = ReadInts(m, ids);
    if (r < 0)
        return r;
    std::vector<int> errors;
    bool opening = false;
    for (const int id : ids) {
        if (self->Find(id) == nullptr)
            errors.push_back(id);
        else if (id == 0)
            opening = true;
    }
    if (opening && self->OnOpening)
        self->OnOpening();
    const std::vector<int> updates;
    return ReplyInts(m, updates, &errors);
}

int DbusMenuExporter::GetVersion(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                                 sd_bus_error*)
{
    return sd_bus_message_append(reply, "u", 3u);
}

int DbusMenuExporter::GetTextDirection(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                                       sd_bus_error*)
{
    return sd_bus_message_append(reply, "s", "ltr");
}

int DbusMenuExporter::GetStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                                sd_bus_error*)
{
    return sd_bus_message_append(reply, "s", "normal");
}

int DbusMenuExporter::GetIconThemePath(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                                       sd_bus_error*)
{
    return sd_bus_message_append(reply, "as", 0);
}

const sd_bus_vtable* DbusMenuExporter::Vtable()
{
    using M = DbusMenuExporter;
    constexpr auto flags = SD_BUS_VTABLE_UNPRIVILEGED;
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("GetLayout", "iias", "u(ia{sv}av)", &M::GetLayout, flags),
        SD_BUS_METHOD("GetGroupProperties", "aias", "a(ia{sv})", &M::GetGroupProperties, flags),
        SD_BUS_METHOD("GetProperty", "is", "v", &M::GetProperty, flags),
        SD_BUS_METHOD("Event", "isvu", "", &M::Event, flags),
        SD_BUS_METHOD("EventGroup", "a(isvu)", "ai", &M::EventGroup, flags),
        SD_BUS_METHOD("AboutToShow", "i", "b", &M::AboutToShow, flags),
        SD_BUS_METHOD("AboutToShowGroup", "ai", "aiai", &M::AboutToShowGroup, flags),
        SD_BUS_PROPERTY("Version", "u", &M::GetVersion, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("TextDirection", "s", &M::GetTextDirection, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("Status", "s", &M::GetStatus, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_PROPERTY("IconThemePath", "as", &M::GetIconThemePath, 0, SD_BUS_VTABLE_PROPERTY_CONST),
        SD_BUS_SIGNAL("ItemsPropertiesUpdated", "a(ia{sv})a(ias)", 0),
        SD_BUS_SIGNAL("LayoutUpdated", "ui", 0),
        SD_BUS_SIGNAL("ItemActivationRequested", "iu", 0),
        SD_BUS_VTABLE_END,
    };
    return table;
}

} // namespace quelvo::desktop
