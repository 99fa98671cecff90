// The tray program's desktop side on a private session bus: the icon's
// menu as panels read it, and what the program shows when something fails.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "platform/desktop/traymenu.h"
#include "platform/system/fake_system.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"
#include "tests/platform/desktop/FakeDesktop.h"
#include "tray/DesktopTrayServices.h"
#include "tray/TrayApp.h"
#include "tray/TrayArtwork.h"

namespace {

namespace dt = quelvo::desktop::testing;
using namespace quelvo::tray;

class TrayOnTheBus : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
        quelvo::win::ResetWindowManager();
        char pattern[] = "/tmp/quelvo-traybus-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::filesystem::create_directory(folder_ + "/run");
        quelvo::win::SetRuntimeFolder(folder_ + "/run");
        fake_.SetProcessorCount(1);
    }
    void TearDown() override
    {
        app_.reset();
        quelvo::desktop::ShutdownDesktopServices();
        watcher_.reset();
        server_.reset();
        quelvo::win::ResetWindowManager();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        quelvo::win::SetRuntimeFolder("");
    }

    void WriteSettings(const std::string& text)
    {
        const std::string path = folder_ + "/Quelvo.ini";
        std::ofstream(path, std::ios::binary) << text;
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    std::string Log() const
    {
        std::ifstream in(folder_ + "/Quelvo.log", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    TrayApp& App()
    {
        if (!app_)
            app_ = std::make_unique<TrayApp>(processes_, options_, services_, TrayApp::Setup{folder_, false});
        return *app_;
    }
    // The engine sees the scripted system's windows again afterwards (the
    // window layer installs its own directory with the first window).
    void Start()
    {
        ASSERT_EQ(App().Start(nullptr), TrayApp::StartResult::Running);
        directory_ = std::make_unique<quelvo::sys::WindowDirectoryScope>(fake_);
    }

    dt::FakeWatcher& StartPanel()
    {
        watcher_ = std::make_unique<dt::FakeWatcher>(true);
        EXPECT_TRUE(watcher_->Ok());
        return *watcher_;
    }
    dt::FakeNotificationServer& StartNotifications()
    {
        server_ = std::make_unique<dt::FakeNotificationServer>(std::vector<std::string>{"body"});
        EXPECT_TRUE(server_->Ok());
        return *server_;
    }

    // The program's loop and the stand-ins, served in turn.
    bool PumpUntil(const std::function<bool()>& condition)
    {
        dt::Pump pump;
        pump.AddWork([this] {
            if (app_)
                app_->ProcessPendingMessages();
        });
        if (watcher_)
            pump.Add(&watcher_->Connection());
        if (server_)
            pump.Add(&server_->Connection());
        return pump.Until(condition);
    }

    // The panel clicks an item of the menu it shows.
    void ClickInPanel(int id)
    {
        dt::Pump pump;
        pump.AddWork([this] { app_->ProcessPendingMessages(); });
        pump.Add(&watcher_->Connection());
        const std::string service = watcher_->Registrations().back().service;
        quelvo::desktop::MessagePtr reply = dt::Call(pump, watcher_->Connection(), service, "/MenuBar", "com.canonical.dbusmenu",
                                        "Event", [id](sd_bus_message* m) {
                                            return sd_bus_message_append(m, "isvu", id, "clicked", "s", "", 0u);
                                        });
        ASSERT_TRUE(reply);
    }

    quelvo::sys::FakeSystem fake_;
    quelvo::sys::FakeSystemScope scope_{fake_};
    std::string folder_;
    ProcessWatcher processes_;
    ProgramOptions options_;
    DesktopTrayServices services_;
    std::unique_ptr<TrayApp> app_;
    std::unique_ptr<quelvo::sys::WindowDirectoryScope> directory_;
    std::unique_ptr<dt::FakeWatcher> watcher_;
    std::unique_ptr<dt::FakeNotificationServer> server_;
};

const std::vector<std::string> kEnabledMenu = {
    "_Enabled*", "-", "_Configure", "-", "_Help", "_About Quelvo..", "_Visit Quelvo Homepage (check for updates)",
    "-", "_Exit"};

// A panel that reads the layout at once and never says it will show the
// menu finds it complete, before and after the panel restarts, and a
// change of state made from its menu shows in it.
TEST_F(TrayOnTheBus, PanelsThatReadTheMenuFirstSeeItWhole)
{
    dt::FakeWatcher& panel = StartPanel();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return panel.LayoutArrived(0); }));
    EXPECT_EQ(dt::LayoutTopLevel(panel.TakeLayout(0).get()), kEnabledMenu);

    ClickInPanel(1);
    ASSERT_TRUE(PumpUntil([&] { return !App().Enabled(); }));
    watcher_.reset();
    dt::FakeWatcher& restarted = StartPanel();
    ASSERT_TRUE(PumpUntil([&] { return restarted.LayoutArrived(0); }));
    std::vector<std::string> disabled = kEnabledMenu;
    disabled[0] = "_Enable (currently disabled)";
    EXPECT_EQ(dt::LayoutTopLevel(restarted.TakeLayout(0).get()), disabled);
}

// The pictures of an item's IconPixmap property, by size.
std::map<int, std::vector<std::uint32_t>> IconPixmap(sd_bus_message* reply)
{
    std::map<int, std::vector<std::uint32_t>> out;
    if (reply == nullptr || sd_bus_message_enter_container(reply, SD_BUS_TYPE_ARRAY, "(iiay)") <= 0)
        return out;
    while (sd_bus_message_enter_container(reply, SD_BUS_TYPE_STRUCT, "iiay") > 0) {
        int width = 0, height = 0;
        const void* data = nullptr;
        size_t size = 0;
        sd_bus_message_read(reply, "ii", &width, &height);
        sd_bus_message_read_array(reply, 'y', &data, &size);
        sd_bus_message_exit_container(reply);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        std::vector<std::uint32_t> pixels;
        for (size_t i = 0; i + 3 < size; i += 4)  // ARGB in network order
            pixels.push_back(std::uint32_t{bytes[i]} << 24 | bytes[i + 1] << 16 | bytes[i + 2] << 8 | bytes[i + 3]);
        if (width == height && pixels.size() == static_cast<std::size_t>(width) * height)
            out[width] = std::move(pixels);
    }
    return out;
}

// Panels get the icon in six sizes, each the artwork at that size; the
// watching, switched-off and taming icons differ in the pans at each.
TEST_F(TrayOnTheBus, TheIconComesInEverySize)
{
    WriteSettings("[Settings]\nCpuTriggerHigh=30\nCpuSmoothing=0\n");
    fake_.AddProcess(10, "/usr/bin/burner");
    dt::FakeWatcher& panel = StartPanel();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return panel.LayoutArrived(0); }));
    const auto read = [&] {
        dt::Pump pump;
        pump.AddWork([this] { app_->ProcessPendingMessages(); });
        pump.Add(&panel.Connection());
        quelvo::desktop::MessagePtr reply = dt::GetProperty(pump, panel.Connection(), panel.Registrations().back().service,
                                               "/StatusNotifierItem", "org.kde.StatusNotifierItem", "IconPixmap");
        return IconPixmap(reply.get());
    };
    const auto tick = [&] {
        fake_.Clock().Advance(1000);
        App().ProcessPendingMessages();
    };
    std::map<int, std::map<int, std::vector<std::uint32_t>>> byIcon;
    byIcon[kIconEnabled] = read();
    tick();
    fake_.AddCpuTime(10, 1000);
    tick();
    ASSERT_GT(processes_.TamedCount, 0);
    byIcon[kIconTaming] = read();
    App().ToggleEnabled();
    byIcon[kIconDisabled] = read();
    for (const auto& [id, pictures] : byIcon) {
        SCOPED_TRACE(id);
        ASSERT_EQ(pictures.size(), kIconSizes.size());
        for (const int size : kIconSizes) {
            ASSERT_EQ(pictures.count(size), 1u) << size;
            EXPECT_EQ(pictures.at(size), TrayIconPixels(id, size)) << size;
        }
    }
    for (const int size : kIconSizes) {
        // Inside the left pan.
        const std::size_t spot = static_cast<std::size_t>(size * 37 / 64 * size + size * 10 / 64);
        const std::uint32_t watching = byIcon[kIconEnabled][size][spot], taming = byIcon[kIconTaming][size][spot],
                            off = byIcon[kIconDisabled][size][spot];
        EXPECT_TRUE(watching != taming && taming != off && off != watching) << size;
    }
}

// Help with no help file to open: the user gets a notification naming the
// file, and the log has the line.
TEST_F(TrayOnTheBus, HelpThatCannotOpenSaysSo)
{
    WriteSettings("[Settings]\nLogging=1\nBalloonTips=0\n");
    StartPanel();
    dt::FakeNotificationServer& notifications = StartNotifications();
    Start();
    fake_.SetShellResult(SE_ERR_FNF);
    SendMessageA(App().Window(), WM_COMMAND, ID_TRAY_HELP, 0);
    ASSERT_TRUE(PumpUntil([&] { return !notifications.Received().empty(); }));
    const dt::ReceivedNotification& shown = notifications.Received().back();
    EXPECT_EQ(shown.summary, "Could not open");
    EXPECT_EQ(shown.body, "Quelvo.chm: not found");
    EXPECT_EQ(shown.icon, "dialog-warning");
    EXPECT_NE(Log().find(" -> Could not open | Quelvo.chm: not found\n"), std::string::npos) << Log();
}

}  // namespace
