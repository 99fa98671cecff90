#include "platform/desktop/StatusNotifierItem.h"

#include "platform/desktop/BusText.h"

#include <cstring>

namespace quelvo::desktop {

std::unique_ptr<StatusNotifierItem> StatusNotifierItem::Create(BusConnection& connection, std::string serviceName,
                                                               std::string title)
{
    std::unique_ptr<StatusNotifierItem> item(
        new StatusNotifierItem(connection, std::move(serviceName), ToBusText(title)));
    if (!item->Publish())
        return nullptr;
    return item;
}

bool StatusNotifierItem::Publish()
{
    if (!connection_.IsOpen())
        return false;
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_vtable(connection_.Bus(), &slot, kItemPath, kItemInterface, Vtable(), this) < 0)
        return false;
    object_.reset(slot);
    menu_ = DbusMenuExporter::Create(connection_, kMenuPath);
    if (!menu_)
        return false;
    ownsName_ = connection_.RequestName(serviceName_);
    return ownsName_;
}

StatusNotifierItem::~StatusNotifierItem()
{
    registerCall_.reset();
    // The watcher drops the item when its name goes.
    if (ownsName_)
        connection_.ReleaseName(serviceName_);
    object_.reset();
    menu_.reset();
    connection_.Flush();
}

void StatusNotifierItem::Register()
{
    if (!connection_.IsOpen())
        return;
    sd_bus_slot* slot = nullptr;
    if (sd_bus_call_method_async(connection_.Bus(), &slot, kWatcherName, kWatcherPath, kWatcherName,
                                 "RegisterStatusNotifierItem", &StatusNotifierItem::OnRegistered, this, "s",
                                 serviceName_.c_str()) >= 0)
        registerCall_.reset(slot);
    connection_.Flush();
}

int StatusNotifierItem::OnRegistered(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<StatusNotifierItem*>(userdata);
    self->registered_ = !sd_bus_message_is_method_error(m, nullptr);
    self->registerCall_.reset();
    return 0;
}

void StatusNotifierItem::Emit(const char* signal)
{
    if (!connection_.IsOpen())
        return;
    sd_bus_emit_signal(connection_.Bus(), kItemPath, kItemInterface, signal, "");
    connection_.Flush();
}

void StatusNotifierItem::SetIcon(std::string iconName, std::vector<IconImage> images)
{
    iconName_ = ToBusText(iconName);
    images_.clear();
    for (IconImage& image : images) {
        if (image.Valid())
            images_.push_back(std::move(image));
    }
    Emit("NewIcon");
}

void StatusNotifierItem::SetToolTip(std::string_view tip)
{
    toolTip_ = ToBusText(tip);
    Emit("NewToolTip");
}

int StatusNotifierItem::AppendIcon(sd_bus_message* m, const std::vector<IconImage>& images)
{
    int r = sd_bus_message_open_container(m, SD_BUS_TYPE_ARRAY, "(iiay)");
    for (const IconImage& image : images) {
        if (r < 0)
            break;
        // The protocol wants ARGB32 in network byte order.
        std::vector<std::uint8_t> bytes;
        bytes.reserve(image.argb.size() * 4);
        for (const std::uint32_t pixel : image.argb) {
            bytes.push_back(static_cast<std::uint8_t>(pixel >> 24));
            bytes.push_back(static_cast<std::uint8_t>(pixel >> 16));
            bytes.push_back(static_cast<std::uint8_t>(pixel >> 8));
            bytes.push_back(static_cast<std::uint8_t>(pixel));
        }
        r = sd_bus_message_open_container(m, SD_BUS_TYPE_STRUCT, "iiay");
        if (r >= 0)
            r = sd_bus_message_append(m, "ii", image.width, image.height);
        if (r >= 0)
            r = sd_bus_message_append_array(m, 'y', bytes.data(), bytes.size());
        if (r >= 0)
            r = sd_bus_message_close_container(m);
    }
    if (r < 0)
        return r;
    return sd_bus_message_close_container(m);
}

int StatusNotifierItem::GetProperty(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                                    void* userdata, sd_bus_error*)
{
    const auto* self = static_cast<StatusNotifierItem*>(userdata);
    const std::string_view name = property;
    if (name == "Category")
        return sd_bus_message_append(reply, "s", "ApplicationStatus");
    if (name == "Id" || name == "Title")
        return sd_bus_message_append(reply, "s", self->title_.c_str());
    if (name == "Status")
        return sd_bus_message_append(reply, "s", "Active");
    if (name == "WindowId")
        return sd_bus_message_append(reply, "i", 0);
    if (name == "IconName")
        return sd_bus_message_append(reply, "s", self->iconName_.c_str());
    if (name == "IconPixmap")
        return AppendIcon(reply, self->images_);
    if (name == "OverlayIconPixmap" || name == "AttentionIconPixmap")
        return AppendIcon(reply, {});
    if (name == "ItemIsMenu")
        return sd_bus_message_append(reply, "b", 0);
    if (name == "Menu")
        return sd_bus_message_append(reply, "o", kMenuPath);
    if (name == "ToolTip") {
        // Title is the first line of the tip, the rest its description.
        const std::string& tip = self->toolTip_;
        const auto lineEnd = tip.find_first_of("\r\n");
        const std::string title = tip.substr(0, lineEnd);
        std::string body;
        if (lineEnd != std::string::npos) {
            const auto rest = tip.find_first_not_of("\r\n", lineEnd);
            if (rest != std::string::npos)
                body = tip.substr(rest);
        }
        int r = sd_bus_message_open_container(reply, SD_BUS_TYPE_STRUCT, "sa(iiay)ss");
        if (r >= 0)
            r = sd_bus_message_append(reply, "s", self->iconName_.c_str());
        if (r >= 0)
            r = AppendIcon(reply, self->images_);
        if (r >= 0)
            r = sd_bus_message_append(reply, "ss", title.c_str(), body.c_str());
        if (r >= 0)
            r = sd_bus_message_close_container(reply);
        return r;
    }
    // IconThemePath, OverlayIconName, AttentionIconName, AttentionMovieName.
    return sd_bus_message_append(reply, "s", "");
}

int StatusNotifierItem::Click(sd_bus_message* m, void* userdata, sd_bus_error*)
{
    auto* self = static_cast<StatusNotifierItem*>(userdata);
    std::int32_t x = 0;
    std::int32_t y = 0;
    const int r = sd_bus_message_read(m, "ii", &x, &y);
    if (r < 0)
        return r;
    const std::string_view member = sd_bus_message_get_member(m);
    const auto& handler = member == "Activate"            ? self->OnActivate
                          : member == "SecondaryActivate" ? self->OnSecondaryActivate
                                                          : self->OnContextMenu;
    if (handler)
        handler(x, y);
    return sd_bus_reply_method_return(m, "");
}

int StatusNotifierItem::Scroll(sd_bus_message* m, void*, sd_bus_error*)
{
    // The programs have no use for the wheel over their icon.
    return sd_bus_reply_method_return(m, "");
}

const sd_bus_vtable* StatusNotifierItem::Vtable()
{
    using I = StatusNotifierItem;
    constexpr auto method = SD_BUS_VTABLE_UNPRIVILEGED;
    constexpr auto changing = SD_BUS_VTABLE_PROPERTY_EMITS_INVALIDATION;
    constexpr auto fixed = SD_BUS_VTABLE_PROPERTY_CONST;
    static const sd_bus_vtable table[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_PROPERTY("Category", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("Id", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("Title", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("Status", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("WindowId", "i", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("IconThemePath", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("IconName", "s", &I::GetProperty, 0, changing),
        SD_BUS_PROPERTY("IconPixmap", "a(iiay)", &I::GetProperty, 0, changing),
        SD_BUS_PROPERTY("OverlayIconName", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("OverlayIconPixmap", "a(iiay)", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("AttentionIconName", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("AttentionIconPixmap", "a(iiay)", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("AttentionMovieName", "s", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("ToolTip", "(sa(iiay)ss)", &I::GetProperty, 0, changing),
        SD_BUS_PROPERTY("ItemIsMenu", "b", &I::GetProperty, 0, fixed),
        SD_BUS_PROPERTY("Menu", "o", &I::GetProperty, 0, fixed),
        SD_BUS_METHOD("ContextMenu", "ii", "", &I::Click, method),
        SD_BUS_METHOD("Activate", "ii", "", &I::Click, method),
        SD_BUS_METHOD("SecondaryActivate", "ii", "", &I::Click, method),
        SD_BUS_METHOD("Scroll", "is", "", &I::Scroll, method),
        SD_BUS_SIGNAL("NewTitle", "", 0),
        SD_BUS_SIGNAL("NewIcon", "", 0),
        SD_BUS_SIGNAL("NewAttentionIcon", "", 0),
        SD_BUS_SIGNAL("NewOverlayIcon", "", 0),
        SD_BUS_SIGNAL("NewToolTip", "", 0),
        SD_BUS_SIGNAL("NewStatus", "s", 0),
        SD_BUS_VTABLE_END,
    };
    return table;
}

} // namespace quelvo::desktop
