#include "FakeDesktop.h"

#include "platform/desktop/DesktopSession.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace quelvo::desktop {
namespace {

using testing::FakeNotificationServer;
using testing::FakeWatcher;
using testing::Pump;
using testing::ReceivedNotification;

std::string ReadString(sd_bus_message* m)
{
    const char* text = nullptr;
    char type = 0;
    if (sd_bus_message_peek_type(m, &type, nullptr) < 0)
        return "<error>";
    if (type == 'o') {
        if (sd_bus_message_read(m, "o", &text) < 0)
            return "<error>";
    } else if (sd_bus_message_read(m, "s", &text) < 0) {
        return "<error>";
    }
    return text;
}

struct Pixmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;
};

std::vector<Pixmap> ReadPixmaps(sd_bus_message* m)
{
    std::vector<Pixmap> out;
    if (sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "(iiay)") < 0)
        return out;
    while (sd_bus_message_enter_container(m, SD_BUS_TYPE_STRUCT, "iiay") > 0) {
        Pixmap p;
        const void* data = nullptr;
        size_t size = 0;
        sd_bus_message_read(m, "ii", &p.width, &p.height);
        sd_bus_message_read_array(m, 'y', &data, &size);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        p.bytes.assign(bytes, bytes + size);
        sd_bus_message_exit_container(m);
        out.push_back(std::move(p));
    }
    sd_bus_message_exit_container(m);
    return out;
}

IconImage SolidIcon(int size, std::uint32_t pixel)
{
    return IconImage{size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, pixel)};
}

// The program's side: a session on the test bus, served by the same pump
// as the fakes.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session_ = DesktopSession::OpenUserSession();
        ASSERT_TRUE(session_->Online()) << "no session bus: run under dbus-run-session";
        pump_.Add(session_->Connection());
    }

    FakeWatcher& StartWatcher()
    {
        watcher_ = std::make_unique<FakeWatcher>();
        EXPECT_TRUE(watcher_->Ok());
        pump_.Add(&watcher_->Connection());
        pump_.Until([&] { return session_->WatcherPresent(); });
        return *watcher_;
    }

    void StopWatcher()
    {
        // The pump keeps a pointer: replace the connection list.
        watcher_.reset();
        RebuildPump();
    }

    FakeNotificationServer& StartServer(std::vector<std::string> capabilities)
    {
        server_ = std::make_unique<FakeNotificationServer>(std::move(capabilities));
        EXPECT_TRUE(server_->Ok());
        pump_.Add(&server_->Connection());
        return *server_;
    }

    void RebuildPump()
    {
        pump_ = Pump();
        pump_.Add(session_->Connection());
        if (watcher_)
            pump_.Add(&watcher_->Connection());
        if (server_)
            pump_.Add(&server_->Connection());
    }

    MessagePtr ItemProperty(const StatusNotifierItem& item, const std::string& name)
    {
        return testing::GetProperty(pump_, watcher_->Connection(), item.ServiceName(), kItemPath, kItemInterface,
                                    name);
    }

    MessagePtr CallItem(const StatusNotifierItem& item, const std::string& path, const std::string& interface,
                        const std::string& member, const std::function<int(sd_bus_message*)>& append = {})
    {
        return testing::Call(pump_, watcher_->Connection(), item.ServiceName(), path, interface, member, append);
    }

    std::unique_ptr<DesktopSession> session_;
    std::unique_ptr<FakeWatcher> watcher_;
    std::unique_ptr<FakeNotificationServer> server_;
    Pump pump_;
};

TEST_F(DesktopTest, ItemRegistersWithItsProperties)
{
    FakeWatcher& watcher = StartWatcher();
    auto item = session_->CreateItem("Quelvo");
    ASSERT_TRUE(item);
    item->SetIcon("quelvo-tray", {SolidIcon(16, 0x80FF2010), SolidIcon(32, 0xFF000000)});
    item->SetToolTip("Quelvo");
    ASSERT_TRUE(pump_.Until([&] { return item->Registered(); }));

    ASSERT_EQ(watcher.Registrations().size(), 1u);
    EXPECT_EQ(watcher.Registrations()[0].service, item->ServiceName());
    EXPECT_EQ(watcher.Registrations()[0].sender, session_->Connection()->UniqueName());

    const std::map<std::string, std::string> texts = {
        {"Id", "Quelvo"},           {"Title", "Quelvo"},      {"Category", "ApplicationStatus"},
        {"Status", "Active"},       {"IconName", "quelvo-tray"}, {"Menu", kMenuPath},
        {"AttentionIconName", ""},
    };
    for (const auto& [name, expected] : texts) {
        MessagePtr value = ItemProperty(*item, name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(ReadString(value.get()), expected) << name;
    }

    MessagePtr isMenu = ItemProperty(*item, "ItemIsMenu");
    ASSERT_TRUE(isMenu);
    int flag = 1;
    ASSERT_GE(sd_bus_message_read(isMenu.get(), "b", &flag), 0);
    EXPECT_EQ(flag, 0);

    MessagePtr pixmap = ItemProperty(*item, "IconPixmap");
    ASSERT_TRUE(pixmap);
    const auto pictures = ReadPixmaps(pixmap.get());
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].width, 16);
    EXPECT_EQ(pictures[0].height, 16);
    ASSERT_EQ(pictures[0].bytes.size(), 16u * 16u * 4u);
    // ARGB in network byte order.
    EXPECT_EQ(pictures[0].bytes[0], 0x80);
    EXPECT_EQ(pictures[0].bytes[1], 0xFF);
    EXPECT_EQ(pictures[0].bytes[2], 0x20);
    EXPECT_EQ(pictures[0].bytes[3], 0x10);
    EXPECT_EQ(pictures[1].width, 32);
}

TEST_F(DesktopTest, ToolTipAndIconChangesAreSignalledAndReadBack)
{
    FakeWatcher& watcher = StartWatcher();
    auto item = session_->CreateItem("Quelvo");
    ASSERT_TRUE(item);
    ASSERT_TRUE(pump_.Until([&] { return item->Registered(); }));

    item->SetToolTip("Quelvo - Taming 1 process (burn.exe).\r\nsecond line");
    ASSERT_TRUE(pump_.Until([&] { return watcher.Count("NewToolTip") == 1; }));
    MessagePtr tip = ItemProperty(*item, "ToolTip");
    ASSERT_TRUE(tip);
    ASSERT_GE(sd_bus_message_enter_container(tip.get(), SD_BUS_TYPE_STRUCT, "sa(iiay)ss"), 0);
    EXPECT_EQ(ReadString(tip.get()), "");
    ReadPixmaps(tip.get());
    EXPECT_EQ(ReadString(tip.get()), "Quelvo - Taming 1 process (burn.exe).");
    EXPECT_EQ(ReadString(tip.get()), "second line");

    // Icons of a wrong shape are left out rather than sent malformed.
    IconImage broken{16, 16, std::vector<std::uint32_t>(3, 0)};
    item->SetIcon("quelvo-disabled", {broken, SolidIcon(16, 0xFF00FF00)});
    ASSERT_TRUE(pump_.Until([&] { return watcher.Count("NewIcon") == 1; }));
    MessagePtr pixmap = ItemProperty(*item, "IconPixmap");
    ASSERT_TRUE(pixmap);
    const auto pictures = ReadPixmaps(pixmap.get());
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].bytes[2], 0xFF);
    MessagePtr name = ItemProperty(*item, "IconName");
    ASSERT_TRUE(name);
    EXPECT_EQ(ReadString(name.get()), "quelvo-disabled");
}

TEST_F(DesktopTest, ClicksOnTheItemReachItsHandlers)
{
    StartWatcher();
    auto item = session_->CreateItem("Quelvo");
    ASSERT_TRUE(item);
    std::vector<std::string> seen;
    item->OnActivate = [&](int x, int y) { seen.push_back("activate " + std::to_string(x) + "," + std::to_string(y)); };
    item->OnContextMenu = [&](int x, int y) { seen.push_back("menu " + std::to_string(x) + "," + std::to_string(y)); };
    item->OnSecondaryActivate = [&](int, int) { seen.push_back("secondary"); };
    const char* members[] = {"Activate", "ContextMenu", "SecondaryActivate"};
    for (const char* member : members) {
        MessagePtr reply = CallItem(*item, kItemPath, kItemInterface, member,
                                    [](sd_bus_message* m) { return sd_bus_message_append(m, "ii", 10, -20); });
        ASSERT_TRUE(reply) << member;
        EXPECT_FALSE(sd_bus_message_is_method_error(reply.get(), nullptr)) << member;
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"activate 10,-20", "menu 10,-20", "secondary"}));
    // A wrong signature is refused by the bus layer and reaches no handler.
    MessagePtr bad = CallItem(*item, kItemPath, kItemInterface, "Activate",
                              [](sd_bus_message* m) { return sd_bus_message_append(m, "s", "x"); });
    ASSERT_TRUE(bad);
    EXPECT_TRUE(sd_bus_message_is_method_error(bad.get(), nullptr));
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(DesktopTest, OnlyOneItemPerConnectionAndDeleteReleasesTheName)
{
    StartWatcher();
    auto item = session_->CreateItem("Quelvo");
    ASSERT_TRUE(item);
    EXPECT_FALSE(session_->CreateItem("Quelvo"));
    const std::string service = item->ServiceName();
    EXPECT_TRUE(watcher_->Connection().NameHasOwner(service));
    item.reset();
    EXPECT_FALSE(watcher_->Connection().NameHasOwner(service));
    // The path is free again for a new item under a new name.
    auto again = session_->CreateItem("Quelvo");
    ASSERT_TRUE(again);
    EXPECT_NE(again->ServiceName(), service);
}

TEST_F(DesktopTest, WithoutWatcherNothingIsCreatedAndNothingBreaks)
{
    EXPECT_FALSE(session_->WatcherPresent());
    EXPECT_FALSE(session_->CreateItem("Quelvo"));
    // No notification server either: the call fails on the bus, quietly.
    Notification n;
    n.summary = "Lowering Process Priority ";
    n.body = "burn.exe";
    session_->Notifications().Show(1, n);
    session_->Notifications().Show(1, n);
    session_->Notifications().Close(1);
    pump_.Settle();
    EXPECT_TRUE(session_->Online());
    EXPECT_EQ(session_->Notifications().IdOf(1), 0u);
}

TEST(DesktopOfflineTest, UnreachableBusLeavesEveryServiceQuiet)
{
    auto session = DesktopSession::Open(BusConnection::OpenAddress("unix:path=/nonexistent/quelvo-bus"));
    ASSERT_TRUE(session);
    EXPECT_FALSE(session->Online());
    EXPECT_FALSE(session->WatcherPresent());
    EXPECT_EQ(session->Fd(), -1);
    EXPECT_FALSE(session->CreateItem("Quelvo"));
    session->Notifications().Show(7, Notification{});
    session->Notifications().Close(7);
    session->Dispatch();
}

TEST(DesktopLostBusTest, BusThatGoesAwayLeavesTheSessionOffline)
{
    testing::PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    auto session = DesktopSession::Open(BusConnection::OpenAddress(bus.Address()));
    ASSERT_TRUE(session->Online());
    bus.Kill();
    Pump pump;
    pump.AddWork([&] { session->Dispatch(); });
    ASSERT_TRUE(pump.Until([&] { return !session->Online(); }));
    EXPECT_FALSE(session->CreateItem("Quelvo"));
    session->Notifications().Show(1, Notification{});
    session->Dispatch();
}

TEST_F(DesktopTest, WatcherThatComesLateOrRestartsIsAnnounced)
{
    int appeared = 0;
    int vanished = 0;
    session_->OnWatcherAppeared = [&] { ++appeared; };
    session_->OnWatcherVanished = [&] { ++vanished; };
    ASSERT_FALSE(session_->CreateItem("Quelvo"));

    StartWatcher();
    EXPECT_EQ(appeared, 1);
    auto item = session_->CreateItem("Quelvo");
    ASSERT_TRUE(item);
    ASSERT_TRUE(pump_.Until([&] { return item->Registered(); }));
    EXPECT_EQ(watcher_->Registrations().size(), 1u);

    item.reset();
    StopWatcher();
    ASSERT_TRUE(pump_.Until([&] { return vanished == 1; }));
    EXPECT_FALSE(session_->WatcherPresent());

    FakeWatcher& second = StartWatcher();
    EXPECT_EQ(appeared, 2);
    auto again = session_->CreateItem("Quelvo");
    ASSERT_TRUE(again);
    ASSERT_TRUE(pump_.Until([&] { return again->Registered(); }));
    ASSERT_EQ(second.Registrations().size(), 1u);
    EXPECT_EQ(second.Registrations()[0].service, again->ServiceName());
}


// One node of a menu layout as the panel reads it.
struct LayoutNode {
    int id = -1;
    std::map<std::string, std::string> properties; // values rendered as text
    std::vector<LayoutNode> children;
};

std::string ReadVariantText(sd_bus_message* m)
{
    char type = 0;
    const char* contents = nullptr;
    if (sd_bus_message_peek_type(m, &type, &contents) < 0 || sd_bus_message_enter_container(m, 'v', contents) < 0)
        return "<error>";
    std::string text;
    if (contents[0] == 's') {
        const char* s = nullptr;
        sd_bus_message_read(m, "s", &s);
        text = s;
    } else if (contents[0] == 'b') {
        int b = 0;
        sd_bus_message_read(m, "b", &b);
        text = b ? "true" : "false";
    } else if (contents[0] == 'i') {
        std::int32_t i = 0;
        sd_bus_message_read(m, "i", &i);
        text = std::to_string(i);
    } else {
        sd_bus_message_skip(m, contents);
        text = "<other>";
    }
    sd_bus_message_exit_container(m);
    return text;
}

std::map<std::string, std::string> ReadProperties(sd_bus_message* m)
{
    std::map<std::string, std::string> out;
    sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "{sv}");
    while (sd_bus_message_enter_container(m, SD_BUS_TYPE_DICT_ENTRY, "sv") > 0) {
        const char* key = nullptr;
        sd_bus_message_read(m, "s", &key);
        const std::string name = key;
        out[name] = ReadVariantText(m);
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    return out;
}

LayoutNode ReadLayout(sd_bus_message* m)
{
    LayoutNode node;
    if (sd_bus_message_enter_container(m, SD_BUS_TYPE_STRUCT, "ia{sv}av") <= 0)
        return node;
    sd_bus_message_read(m, "i", &node.id);
    node.properties = ReadProperties(m);
    sd_bus_message_enter_container(m, SD_BUS_TYPE_ARRAY, "v");
    while (sd_bus_message_enter_container(m, SD_BUS_TYPE_VARIANT, "(ia{sv}av)") > 0) {
        node.children.push_back(ReadLayout(m));
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
    sd_bus_message_exit_container(m);
    return node;
}

std::vector<MenuItem> TrayLikeMenu()
{
    std::vector<MenuItem> menu;
    menu.push_back({404, "&Enabled", false, true, true, {}});
    menu.push_back({0, "", true, false, true, {}});
    menu.push_back({403, "&Configure", false, false, true, {}});
    menu.push_back({405, "&Launch my_tool", false, false, false, {}});
    MenuItem more{0, "&More", false, false, true, {}};
    more.children.push_back({110, "&Visit Quelvo Homepage (check for updates)", false, false, true, {}});
    menu.push_back(more);
    menu.push_back({101, "&Exit", false, false, true, {}});
    menu.push_back({0, "&Nothing yet", false, false, true, {}, true});
    return menu;
}

class DesktopMenuTest : public DesktopTest {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        StartWatcher();
        item_ = session_->CreateItem("Quelvo");
        ASSERT_TRUE(item_);
        item_->Menu().OnCommand = [&](int command) { commands_.push_back(command); };
        item_->Menu().OnOpening = [&] { ++openings_; };
    }

    MessagePtr MenuCall(const std::string& member, const std::function<int(sd_bus_message*)>& append = {})
    {
        return CallItem(*item_, kMenuPath, "com.canonical.dbusmenu", member, append);
    }

    std::optional<LayoutNode> Layout(int parent, int depth, std::uint32_t* revision = nullptr)
    {
        MessagePtr reply = MenuCall("GetLayout", [&](sd_bus_message* m) {
            return sd_bus_message_append(m, "iias", parent, depth, 0);
        });
        if (!reply || sd_bus_message_is_method_error(reply.get(), nullptr))
            return std::nullopt;
        std::uint32_t rev = 0;
        sd_bus_message_read(reply.get(), "u", &rev);
        if (revision != nullptr)
            *revision = rev;
        return ReadLayout(reply.get());
    }

    MessagePtr Click(int id, const char* event = "clicked")
    {
        return MenuCall("Event", [&](sd_bus_message* m) {
            return sd_bus_message_append(m, "isvu", id, event, "i", 0, 0u);
        });
    }

    std::unique_ptr<StatusNotifierItem> item_;
    std::vector<int> commands_;
    int openings_ = 0;
};

TEST_F(DesktopMenuTest, ExportsLabelsSeparatorsChecksAndSubmenus)
{
    std::uint32_t before = 0;
    ASSERT_TRUE(Layout(0, -1, &before));
    item_->Menu().SetMenu(TrayLikeMenu());
    ASSERT_TRUE(pump_.Until([&] { return watcher_->Count("LayoutUpdated") == 1; }));

    std::uint32_t revision = 0;
    const auto root = Layout(0, -1, &revision);
    ASSERT_TRUE(root);
    EXPECT_GT(revision, before);
    EXPECT_EQ(root->id, 0);
    EXPECT_EQ(root->properties.at("children-display"), "submenu");
    ASSERT_EQ(root->children.size(), 7u);
    EXPECT_EQ(root->children[6].properties.at("children-display"), "submenu");
    EXPECT_TRUE(root->children[6].children.empty());

    const auto& enabled = root->children[0].properties;
    EXPECT_EQ(enabled.at("label"), "_Enabled");
    EXPECT_EQ(enabled.at("toggle-type"), "checkmark");
    EXPECT_EQ(enabled.at("toggle-state"), "1");
    EXPECT_EQ(enabled.at("enabled"), "true");

    EXPECT_EQ(root->children[1].properties.at("type"), "separator");
    EXPECT_EQ(root->children[1].properties.count("label"), 0u);

    const auto& configure = root->children[2].properties;
    EXPECT_EQ(configure.at("label"), "_Configure");
    EXPECT_EQ(configure.count("toggle-type"), 0u);

    const auto& launch = root->children[3].properties;
    EXPECT_EQ(launch.at("label"), "_Launch my__tool");
    EXPECT_EQ(launch.at("enabled"), "false");

    const LayoutNode& more = root->children[4];
    EXPECT_EQ(more.properties.at("children-display"), "submenu");
    ASSERT_EQ(more.children.size(), 1u);
    EXPECT_EQ(more.children[0].properties.at("label"), "_Visit Quelvo Homepage (check for updates)");

    // Depth 0 gives the node alone; a subtree starts at its own id.
    const auto shallow = Layout(0, 0);
    ASSERT_TRUE(shallow);
    EXPECT_TRUE(shallow->children.empty());
    const auto sub = Layout(more.id, -1);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->children.size(), 1u);
    EXPECT_FALSE(Layout(999, -1));
}

TEST_F(DesktopMenuTest, ClickedLeafItemsReportTheirCommandOnly)
{
    item_->Menu().SetMenu(TrayLikeMenu());
    const auto root = Layout(0, -1);
    ASSERT_TRUE(root);
    const int homepage = root->children[4].children[0].id;

    struct ClickCase {
        const char* name;
        int id;
        const char* event;
        bool error;
    };
    const ClickCase cases[] = {
        {"checked item", root->children[0].id, "clicked", false},
        {"separator", root->children[1].id, "clicked", false},
        {"disabled item", root->children[3].id, "clicked", false},
        {"submenu itself", root->children[4].id, "clicked", false},
        {"item in a submenu", homepage, "clicked", false},
        {"hover is no click", root->children[5].id, "hovered", false},
        {"empty submenu", root->children[6].id, "clicked", false},
        {"root", 0, "clicked", false},
        {"unknown id", 4242, "clicked", true},
        {"negative id", -3, "clicked", true},
    };
    for (const ClickCase& c : cases) {
        MessagePtr reply = Click(c.id, c.event);
        ASSERT_TRUE(reply) << c.name;
        EXPECT_EQ(sd_bus_message_is_method_error(reply.get(), nullptr) != 0, c.error) << c.name;
    }
    EXPECT_EQ(commands_, (std::vector<int>{404, 110}));

    // A group of events: the bad ids come back, the good ones act.
    const int exitId = root->children[5].id;
    MessagePtr group = MenuCall("EventGroup", [&](sd_bus_message* m) {
        return sd_bus_message_append(m, "a(isvu)", 2, exitId, "clicked", "s", "", 0u, 77, "clicked", "s", "", 0u);
    });
    ASSERT_TRUE(group);
    const void* data = nullptr;
    size_t size = 0;
    ASSERT_GE(sd_bus_message_read_array(group.get(), 'i', &data, &size), 0);
    ASSERT_EQ(size, sizeof(std::int32_t));
    EXPECT_EQ(*static_cast<const std::int32_t*>(data), 77);
    EXPECT_EQ(commands_.back(), 101);
}

TEST_F(DesktopMenuTest, OpeningTheMenuIsReportedAndPropertiesAreReadable)
{
    item_->Menu().SetMenu(TrayLikeMenu());
    // The owner either builds the menu anew or leaves it as it is; the
    // panel is told whether to read it again.
    const auto aboutToShow = [&] {
        MessagePtr reply = MenuCall("AboutToShow", [](sd_bus_message* m) { return sd_bus_message_append(m, "i", 0); });
        int needUpdate = -1;
        if (reply && !sd_bus_message_is_method_error(reply.get(), nullptr))
            sd_bus_message_read(reply.get(), "b", &needUpdate);
        return needUpdate;
    };
    item_->Menu().OnOpening = [&] {
        ++openings_;
        item_->Menu().SetMenu(TrayLikeMenu());
    };
    EXPECT_EQ(aboutToShow(), 1);
    item_->Menu().OnOpening = [&] {
        ++openings_;
        item_->Menu().AnswerOpenings();
    };
    EXPECT_EQ(aboutToShow(), 0);
    EXPECT_EQ(openings_, 2);
    MessagePtr reply =
        MenuCall("AboutToShowGroup", [](sd_bus_message* m) { return sd_bus_message_append(m, "ai", 2, 0, 555); });
    ASSERT_TRUE(reply);
    EXPECT_EQ(openings_, 3);

    const auto root = Layout(0, -1);
    ASSERT_TRUE(root);
    const int enabledId = root->children[0].id;
    reply = MenuCall("GetProperty", [&](sd_bus_message* m) { return sd_bus_message_append(m, "is", enabledId, "label"); });
    ASSERT_TRUE(reply);
    EXPECT_EQ(ReadVariantText(reply.get()), "_Enabled");
    reply = MenuCall("GetProperty", [&](sd_bus_message* m) { return sd_bus_message_append(m, "is", enabledId, "icon-name"); });
    ASSERT_TRUE(reply);
    EXPECT_TRUE(sd_bus_message_is_method_error(reply.get(), nullptr));

    reply = MenuCall("GetGroupProperties", [&](sd_bus_message* m) {
        int r = sd_bus_message_append(m, "ai", 2, enabledId, 999);
        if (r >= 0)
            r = sd_bus_message_append(m, "as", 1, "label");
        return r;
    });
    ASSERT_TRUE(reply);
    ASSERT_GE(sd_bus_message_enter_container(reply.get(), SD_BUS_TYPE_ARRAY, "(ia{sv})"), 0);
    ASSERT_GT(sd_bus_message_enter_container(reply.get(), SD_BUS_TYPE_STRUCT, "ia{sv}"), 0);
    int id = 0;
    sd_bus_message_read(reply.get(), "i", &id);
    EXPECT_EQ(id, enabledId);
    const auto properties = ReadProperties(reply.get());
    EXPECT_EQ(properties, (std::map<std::string, std::string>{{"label", "_Enabled"}}));
    sd_bus_message_exit_container(reply.get());
    EXPECT_EQ(sd_bus_message_enter_container(reply.get(), SD_BUS_TYPE_STRUCT, "ia{sv}"), 0) << "unknown id listed";

    MessagePtr version = testing::GetProperty(pump_, watcher_->Connection(), item_->ServiceName(), kMenuPath,
                                              "com.canonical.dbusmenu", "Version");
    ASSERT_TRUE(version);
    std::uint32_t v = 0;
    sd_bus_message_read(version.get(), "u", &v);
    EXPECT_EQ(v, 3u);
}

TEST_F(DesktopMenuTest, PanelWaitsForTheMenuTheOwnerBuildsLater)
{
    // The owner only notes the request; its loop builds the menu later.
    const auto aboutToShow = [&] {
        return testing::PendingCall::Start(watcher_->Connection(), item_->ServiceName(), kMenuPath,
                                           "com.canonical.dbusmenu", "AboutToShow",
                                           [](sd_bus_message* m) { return sd_bus_message_append(m, "i", 0); });
    };
    auto first = aboutToShow();
    ASSERT_TRUE(first);
    ASSERT_TRUE(pump_.Until([&] { return openings_ == 1; }));
    pump_.Settle();
    EXPECT_FALSE(first->Done()) << "answered before the menu was built";
    EXPECT_TRUE(item_->Menu().OpeningPending());

    // Requests beyond a handful are answered at once instead of piling up.
    std::vector<std::unique_ptr<testing::PendingCall>> more;
    for (int i = 0; i < 11; ++i)
        more.push_back(aboutToShow());
    const auto answered = [&] {
        return std::count_if(more.begin(), more.end(), [](const auto& call) { return call && call->Done(); });
    };
    ASSERT_TRUE(pump_.Until([&] { return answered() == 4; }));
    pump_.Settle();
    EXPECT_EQ(answered(), 4);

    item_->Menu().SetMenu(TrayLikeMenu());
    ASSERT_TRUE(pump_.Until([&] { return first->Done() && answered() == 11; }));
    MessagePtr reply = first->TakeReply();
    int needUpdate = 0;
    ASSERT_GE(sd_bus_message_read(reply.get(), "b", &needUpdate), 0);
    EXPECT_EQ(needUpdate, 1);
    EXPECT_FALSE(item_->Menu().OpeningPending());
}

TEST_F(DesktopMenuTest, LabelsWithBrokenTextStillGoOut)
{
    item_->Menu().SetMenu({{1, "&Kill caf\xE9.exe", false, false, true, {}}});
    const auto root = Layout(0, -1);
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1u);
    EXPECT_EQ(root->children[0].properties.at("label"), "_Kill caf\xEF\xBF\xBD.exe");
}

class DesktopNotificationTest : public DesktopTest {
protected:
    static Notification Balloon(std::string summary, std::string body)
    {
        Notification n;
        n.appName = "Quelvo";
        n.summary = std::move(summary);
        n.body = std::move(body);
        n.icon = "dialog-information";
        n.timeoutMs = 10000;
        return n;
    }
};

TEST_F(DesktopNotificationTest, SendsTextsAndReplacesThePreviousBalloon)
{
    FakeNotificationServer& server = StartServer({"body", "body-markup"});
    NotificationClient& client = session_->Notifications();
    client.Show(1, Balloon("Lowering Process Priority ", "a<b>&c.exe"));
    ASSERT_TRUE(pump_.Until([&] { return client.IdOf(1) != 0; }));
    ASSERT_EQ(server.Received().size(), 1u);
    const ReceivedNotification first = server.Received()[0];
    EXPECT_EQ(first.appName, "Quelvo");
    EXPECT_EQ(first.summary, "Lowering Process Priority ");
    EXPECT_EQ(first.body, "a&lt;b&gt;&amp;c.exe");
    EXPECT_EQ(first.icon, "dialog-information");
    EXPECT_EQ(first.timeoutMs, 10000);
    EXPECT_EQ(first.urgency, 1);
    EXPECT_EQ(first.replacesId, 0u);
    EXPECT_TRUE(first.image.empty());

    client.Show(1, Balloon("Increasing Process Priority", "burn.exe"));
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 2; }));
    EXPECT_EQ(server.Received()[1].replacesId, first.id);

    // Another icon has its own balloon.
    client.Show(2, Balloon("Other", "x"));
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 3; }));
    EXPECT_EQ(server.Received()[2].replacesId, 0u);
    EXPECT_NE(client.IdOf(2), client.IdOf(1));

    client.Close(1);
    ASSERT_TRUE(pump_.Until([&] { return server.Closed().size() == 1; }));
    EXPECT_EQ(server.Closed()[0], first.id);
    EXPECT_EQ(client.IdOf(1), 0u);
}

TEST_F(DesktopNotificationTest, PictureTravelsAsRgbaRows)
{
    FakeNotificationServer& server = StartServer({"body"});
    Notification n = Balloon("Quelvo", "with picture");
    n.image = IconImage{3, 2, std::vector<std::uint32_t>(6, 0x80102030)};
    session_->Notifications().Show(1, n);
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 1; }));
    EXPECT_EQ(server.Received()[0].image, (std::vector<int>{3, 2, 12, 1, 8, 4, 0x10, 0x20, 0x30, 0x80}));

    n.image = IconImage{3, 2, std::vector<std::uint32_t>(5, 0)}; // pixels missing: left out
    session_->Notifications().Show(1, n);
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 2; }));
    EXPECT_TRUE(server.Received()[1].image.empty());
}

TEST_F(DesktopNotificationTest, PlainServerGetsPlainTextAndBrokenBytesAreReplaced)
{
    FakeNotificationServer& server = StartServer({"body"});
    session_->Notifications().Show(1, Balloon("Force Kill \xFF", "a<b>&c.exe"));
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 1; }));
    EXPECT_EQ(server.Received()[0].body, "a<b>&c.exe");
    EXPECT_EQ(server.Received()[0].summary, "Force Kill \xEF\xBF\xBD");
}

TEST_F(DesktopNotificationTest, RapidBalloonsCollapseToTheNewestWithoutDuplicates)
{
    FakeNotificationServer& server = StartServer({"body"});
    NotificationClient& client = session_->Notifications();
    // Nothing is served between the calls, as in one watch cycle that
    // reports several events.
    client.Show(1, Balloon("one", "a"));
    client.Show(1, Balloon("two", "b"));
    client.Show(1, Balloon("three", "c"));
    ASSERT_TRUE(pump_.Until([&] { return client.IdOf(1) != 0; }));
    pump_.Settle();
    ASSERT_EQ(server.Received().size(), 1u) << "one call carries the newest balloon";
    EXPECT_EQ(server.Received().back().summary, "three");

    client.Show(1, Balloon("four", "d"));
    client.Show(1, Balloon("five", "e"));
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 3; }));
    pump_.Settle();
    ASSERT_EQ(server.Received().size(), 3u);
    EXPECT_EQ(server.Received()[1].summary, "four");
    EXPECT_EQ(server.Received()[2].summary, "five");
    EXPECT_EQ(server.Received()[2].replacesId, server.Received()[0].id);

    // Closed while its call is under way: taken down once it is shown.
    client.Show(1, Balloon("six", "f"));
    client.Show(3, Balloon("seven", "g"));
    ASSERT_TRUE(pump_.Until([&] { return client.IdOf(3) != 0; }));
    client.Show(3, Balloon("eight", "h"));
    client.Close(3);
    ASSERT_TRUE(pump_.Until([&] { return !server.Closed().empty(); }));
    pump_.Settle();
    EXPECT_EQ(client.IdOf(3), 0u);
    EXPECT_EQ(server.Closed().size(), 1u);
}

TEST_F(DesktopNotificationTest, ServerThatStartsLaterIsUsedAfterItAppears)
{
    NotificationClient& client = session_->Notifications();
    client.Show(1, Balloon("lost", "nobody listens"));
    pump_.Settle();
    EXPECT_EQ(client.IdOf(1), 0u);
    FakeNotificationServer& server = StartServer({"body-markup"});
    pump_.Settle();
    client.Show(1, Balloon("found", "x&y"));
    ASSERT_TRUE(pump_.Until([&] { return server.Received().size() == 1; }));
    EXPECT_EQ(server.Received()[0].summary, "found");
    EXPECT_EQ(server.Received()[0].body, "x&amp;y");
}

} // namespace
} // namespace quelvo::desktop
