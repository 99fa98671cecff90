#include "FakeDesktop.h"

#include "platform/desktop/StatusNotifierItem.h"
#include "platform/desktop/shellapi.h"
#include "platform/desktop/traymenu.h"
#include "platform/controls/winctl.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

namespace quelvo::desktop {
namespace {

using testing::FakeNotificationServer;
using testing::FakeWatcher;
using testing::Pump;
using testing::ReceivedNotification;

constexpr UINT kTrayNotify = 0x8001;
constexpr UINT kIconId = 255;

struct Seen {
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// What the window of a tray program does with its icon, reduced to what the
// shell services see.
struct TrayWindowState {
    std::vector<Seen> messages;
    NOTIFYICONDATAA record{};
    std::vector<MenuItem> menu;
    std::vector<bool> menuTaken;
    bool trackPopup = false; // build the menu as the tray does, through TrackPopupMenu
    bool noMenu = false;     // build no menu at all
    BOOL addedOnCreate = -1; // result of NIM_ADD from WM_CREATE, when asked for
    UINT taskbarCreated = 0;
    int readds = 0;
};
TrayWindowState* g_state = nullptr;

LRESULT TrayWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_state != nullptr) {
        if (msg == WM_CREATE && g_state->addedOnCreate == FALSE) {
            NOTIFYICONDATAA record = g_state->record;
            record.hWnd = hwnd;
            g_state->addedOnCreate = Shell_NotifyIconA(NIM_ADD, &record);
        }
        if (msg == g_state->taskbarCreated || msg == kTrayNotify || msg == WM_COMMAND)
            g_state->messages.push_back({msg, wParam, lParam});
        if (msg == g_state->taskbarCreated) {
            ++g_state->readds;
            Shell_NotifyIconA(NIM_ADD, &g_state->record);
        }
        if (msg == kTrayNotify && lParam == WM_RBUTTONUP && g_state->noMenu) {
            g_state->menuTaken.push_back(false);
        } else if (msg == kTrayNotify && lParam == WM_RBUTTONUP && g_state->trackPopup) {
            HMENU menu = CreatePopupMenu();
            AppendMenuA(menu, MF_STRING | MF_CHECKED, 404, "&Enabled");
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, 101, "&Exit");
            const BOOL chosen = TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, 0, 0, 0, hwnd, nullptr);
            DestroyMenu(menu);
            g_state->menuTaken.push_back(chosen == 0);
        } else if (msg == kTrayNotify && lParam == WM_RBUTTONUP) {
            g_state->menuTaken.push_back(ExportTrayMenu(hwnd, g_state->menu));
        }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void CopyField(char* field, std::size_t size, const std::string& text)
{
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(size, text.size()));
}

class ShellNotifyIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
        // Window lists and sockets of this test stay in a folder of its own.
        win::ResetWindowManager();
        char folder[] = "/tmp/quelvo-desktoptest-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        win::SetRuntimeFolder(folder_);
        g_state = &state_;
        WNDCLASSA wc;
        wc.lpfnWndProc = &TrayWindowProc;
        wc.lpszClassName = "QuelvoShellTestWindow";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, "QuelvoShellTestWindow", "tray", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
        ASSERT_NE(hwnd_, nullptr);
        state_.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
        state_.record.hWnd = hwnd_;
        state_.record.uID = kIconId;
        state_.record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        state_.record.uCallbackMessage = kTrayNotify;
        state_.record.hIcon = icon_ = MakeIcon();
        CopyField(state_.record.szTip, sizeof state_.record.szTip, "Quelvo");
        state_.menu = {{404, "&Enabled", false, true, true, {}}, {0, "", true, false, true, {}},
                       {101, "&Exit", false, false, true, {}}};
    }

    void TearDown() override
    {
        ShutdownDesktopServices();
        if (icon_ != nullptr)
            DestroyIcon(icon_);
        watcher_.reset();
        server_.reset();
        win::ResetWindowManager();
        g_state = nullptr;
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
        win::SetRuntimeFolder("");
    }

    // 16 x 16: opaque red with a transparent left column (from the mask).
    static HICON MakeIcon()
    {
        gfx::Picture picture;
        picture.width = 16;
        picture.height = 16;
        picture.pixels.assign(256, 0x00FF0000);
        HBITMAP color = gfx::CreateBitmapFromPicture(picture);
        std::vector<std::uint8_t> maskBits(16 * 2, 0);
        for (int row = 0; row < 16; ++row)
            maskBits[row * 2] = 0x80; // leftmost pixel transparent
        HBITMAP mask = CreateBitmap(16, 16, 1, 1, maskBits.data());
        ICONINFO info;
        info.hbmColor = color;
        info.hbmMask = mask;
        HICON icon = CreateIconIndirect(&info);
        DeleteObject(color);
        DeleteObject(mask);
        return icon;
    }

    // Serves the window layer's loop (and with it the program's bus
    // connection) and the fakes.
    Pump LoopPump()
    {
        Pump pump;
        pump.AddWork([] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
        });
        if (watcher_)
            pump.Add(&watcher_->Connection());
        if (server_)
            pump.Add(&server_->Connection());
        return pump;
    }

    bool PumpUntil(const std::function<bool()>& condition, int limitMs = 5000)
    {
        return LoopPump().Until(condition, std::chrono::milliseconds(limitMs));
    }
    void Settle() { PumpUntil([] { return false; }, 150); }

    FakeWatcher& StartWatcher()
    {
        watcher_ = std::make_unique<FakeWatcher>();
        EXPECT_TRUE(watcher_->Ok());
        return *watcher_;
    }

    FakeNotificationServer& StartServer(std::vector<std::string> capabilities = {"body"})
    {
        server_ = std::make_unique<FakeNotificationServer>(std::move(capabilities));
        EXPECT_TRUE(server_->Ok());
        return *server_;
    }

    std::vector<Seen> Callbacks(LPARAM mouse) const
    {
        std::vector<Seen> out;
        for (const Seen& s : state_.messages) {
            if (s.msg == kTrayNotify && s.lParam == mouse)
                out.push_back(s);
        }
        return out;
    }

    std::string ItemService() const
    {
        return watcher_->Registrations().empty() ? std::string() : watcher_->Registrations().back().service;
    }

    // A method call from the panel to the item, answered through the loop.
    MessagePtr PanelCall(const std::string& path, const std::string& interface, const std::string& member,
                         const std::function<int(sd_bus_message*)>& append)
    {
        Pump pump = LoopPump();
        return testing::Call(pump, watcher_->Connection(), ItemService(), path, interface, member, append);
    }

    MessagePtr ItemProperty(const std::string& name)
    {
        Pump pump = LoopPump();
        return testing::GetProperty(pump, watcher_->Connection(), ItemService(), kItemPath, kItemInterface, name);
    }

    // Adds the icon, and the panel opens its menu: the window builds the
    // menu, which goes to the panel instead of a popup of its own.
    void OpenMenuFromPanel()
    {
        FakeWatcher& watcher = StartWatcher();
        ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
        ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
        MessagePtr shown = PanelCall(kMenuPath, "com.canonical.dbusmenu", "AboutToShow",
                                     [](sd_bus_message* m) { return sd_bus_message_append(m, "i", 0); });
        ASSERT_TRUE(shown);
        ASSERT_TRUE(PumpUntil([&] { return watcher.Count("LayoutUpdated") == 1; }));
        ASSERT_EQ(state_.menuTaken.size(), 1u);
        EXPECT_TRUE(state_.menuTaken[0]);
    }

    std::string ToolTipTitle()
    {
        MessagePtr tip = ItemProperty("ToolTip");
        if (!tip)
            return "<none>";
        const char* title = nullptr;
        sd_bus_message_enter_container(tip.get(), SD_BUS_TYPE_STRUCT, "sa(iiay)ss");
        sd_bus_message_skip(tip.get(), "sa(iiay)");
        sd_bus_message_read(tip.get(), "s", &title);
        return title != nullptr ? title : "<error>";
    }

    std::string folder_;
    TrayWindowState state_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    std::unique_ptr<FakeWatcher> watcher_;
    std::unique_ptr<FakeNotificationServer> server_;
};

TEST_F(ShellNotifyIconTest, AddShowsTheIconWithItsTipAndPixels)
{
    FakeWatcher& watcher = StartWatcher();
    NameTrayIcon(icon_, "quelvo-watching");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
    EXPECT_EQ(ToolTipTitle(), "Quelvo");

    MessagePtr name = ItemProperty("IconName");
    ASSERT_TRUE(name);
    const char* text = nullptr;
    sd_bus_message_read(name.get(), "s", &text);
    EXPECT_STREQ(text, "quelvo-watching");

    MessagePtr pixmap = ItemProperty("IconPixmap");
    ASSERT_TRUE(pixmap);
    ASSERT_GT(sd_bus_message_enter_container(pixmap.get(), SD_BUS_TYPE_ARRAY, "(iiay)"), 0);
    ASSERT_GT(sd_bus_message_enter_container(pixmap.get(), SD_BUS_TYPE_STRUCT, "iiay"), 0);
    int width = 0;
    int height = 0;
    const void* data = nullptr;
    size_t size = 0;
    sd_bus_message_read(pixmap.get(), "ii", &width, &height);
    sd_bus_message_read_array(pixmap.get(), 'y', &data, &size);
    ASSERT_EQ(width, 16);
    ASSERT_EQ(height, 16);
    ASSERT_EQ(size, 16u * 16u * 4u);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    EXPECT_EQ(bytes[0], 0x00) << "masked pixel is transparent";
    EXPECT_EQ((std::vector<std::uint8_t>(bytes + 4, bytes + 8)), (std::vector<std::uint8_t>{0xFF, 0xFF, 0x00, 0x00}));

    // Adding the same icon twice fails as it does on Windows.
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &state_.record));
}

TEST_F(ShellNotifyIconTest, IconAddedWhileTheWindowIsBeingCreated)
{
    FakeWatcher& watcher = StartWatcher();
    DestroyWindow(hwnd_);
    state_.addedOnCreate = FALSE;
    hwnd_ = CreateWindowExA(0, "QuelvoShellTestWindow", "tray", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    EXPECT_EQ(state_.addedOnCreate, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
}

TEST_F(ShellNotifyIconTest, ModifyChangesTipAndIconAndDeleteRemovesTheItem)
{
    FakeWatcher& watcher = StartWatcher();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));

    NOTIFYICONDATAA tip = state_.record;
    tip.uFlags = NIF_ICON | NIF_TIP;
    // A full field without terminator, ending in a cut character.
    std::memset(tip.szTip, 'x', sizeof tip.szTip);
    tip.szTip[sizeof tip.szTip - 1] = '\xC3';
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &tip));
    ASSERT_TRUE(PumpUntil([&] { return watcher.Count("NewToolTip") >= 2 && watcher.Count("NewIcon") >= 2; }));
    EXPECT_EQ(ToolTipTitle(), std::string(sizeof tip.szTip - 1, 'x'));

    const std::string service = ItemService();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &state_.record));
    EXPECT_FALSE(watcher.Connection().NameHasOwner(service));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &state_.record));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &tip));
}

TEST_F(ShellNotifyIconTest, PanelClicksArriveAsTheCallbackMessage)
{
    FakeWatcher& watcher = StartWatcher();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
    for (const char* member : {"Activate", "ContextMenu", "SecondaryActivate"}) {
        MessagePtr reply = PanelCall(kItemPath, kItemInterface, member,
                                     [](sd_bus_message* m) { return sd_bus_message_append(m, "ii", 5, 5); });
        ASSERT_TRUE(reply) << member;
    }
    ASSERT_TRUE(PumpUntil([&] { return Callbacks(WM_MBUTTONUP).size() == 1; }));
    ASSERT_EQ(Callbacks(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_EQ(Callbacks(WM_LBUTTONDBLCLK)[0].wParam, kIconId);
    ASSERT_EQ(Callbacks(WM_RBUTTONUP).size(), 1u);
    // Asked for a context menu of its own: the program shows it itself.
    ASSERT_EQ(state_.menuTaken.size(), 1u);
    EXPECT_FALSE(state_.menuTaken[0]);
}

TEST_F(ShellNotifyIconTest, MenuOpenedInThePanelIsExportedAndItsChoiceIsACommand)
{
    ASSERT_NO_FATAL_FAILURE(OpenMenuFromPanel());

    // Items are numbered in order from 1: the exit item is the third.
    MessagePtr clicked = PanelCall(kMenuPath, "com.canonical.dbusmenu", "Event", [](sd_bus_message* m) {
        return sd_bus_message_append(m, "isvu", 3, "clicked", "s", "", 0u);
    });
    ASSERT_TRUE(clicked);
    ASSERT_TRUE(PumpUntil([&] {
        return std::any_of(state_.messages.begin(), state_.messages.end(),
                           [](const Seen& s) { return s.msg == WM_COMMAND; });
    }));
    const auto command = std::find_if(state_.messages.begin(), state_.messages.end(),
                                      [](const Seen& s) { return s.msg == WM_COMMAND; });
    EXPECT_EQ(LOWORD(command->wParam), 101);
    EXPECT_EQ(HIWORD(command->wParam), 0);
    EXPECT_EQ(command->lParam, 0);

    // A window without an icon keeps its menus to itself.
    EXPECT_FALSE(ExportTrayMenu(nullptr, state_.menu));
}

TEST_F(ShellNotifyIconTest, TrackPopupMenuOfTheTrayWindowGoesToThePanel)
{
    state_.trackPopup = true;
    ASSERT_NO_FATAL_FAILURE(OpenMenuFromPanel());

    MessagePtr label = PanelCall(kMenuPath, "com.canonical.dbusmenu", "GetProperty", [](sd_bus_message* m) {
        return sd_bus_message_append(m, "is", 1, "toggle-state");
    });
    ASSERT_TRUE(label);
    std::int32_t checked = 0;
    ASSERT_GE(sd_bus_message_read(label.get(), "v", "i", &checked), 0);
    EXPECT_EQ(checked, 1);
    MessagePtr clicked = PanelCall(kMenuPath, "com.canonical.dbusmenu", "Event", [](sd_bus_message* m) {
        return sd_bus_message_append(m, "isvu", 3, "clicked", "s", "", 0u);
    });
    ASSERT_TRUE(clicked);
    ASSERT_TRUE(PumpUntil([&] {
        return std::any_of(state_.messages.begin(), state_.messages.end(),
                           [](const Seen& s) { return s.msg == WM_COMMAND && LOWORD(s.wParam) == 101; });
    }));
}

TEST_F(ShellNotifyIconTest, PanelIsAnsweredEvenWhenNoMenuIsBuilt)
{
    state_.noMenu = true;
    FakeWatcher& watcher = StartWatcher();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
    MessagePtr shown = PanelCall(kMenuPath, "com.canonical.dbusmenu", "AboutToShow",
                                 [](sd_bus_message* m) { return sd_bus_message_append(m, "i", 0); });
    ASSERT_TRUE(shown);
    int needUpdate = 1;
    ASSERT_GE(sd_bus_message_read(shown.get(), "b", &needUpdate), 0);
    EXPECT_EQ(needUpdate, 0);
    EXPECT_EQ(state_.menuTaken.size(), 1u);
}

TEST_F(ShellNotifyIconTest, BalloonsBecomeNotificationsReplacingTheLastOne)
{
    StartWatcher();
    FakeNotificationServer& server = StartServer({"body", "body-markup"});
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));

    struct BalloonCase {
        DWORD flags;
        UINT timeout;
        const char* expectedIcon;
        std::int32_t expectedTimeout;
    };
    const BalloonCase cases[] = {
        {NIIF_INFO, 1000, "dialog-information", 10000},
        {NIIF_WARNING | NIIF_NOSOUND, 15000, "dialog-warning", 15000},
        {NIIF_ERROR, 0, "dialog-error", 10000},
        {NIIF_NONE, 10000, "", 10000},
        {NIIF_USER, 10000, "quelvo-busy", 10000},
    };
    NameTrayIcon(icon_, "quelvo-busy");
    std::uint32_t firstId = 0;
    for (const BalloonCase& c : cases) {
        NOTIFYICONDATAA balloon = state_.record;
        balloon.uFlags = NIF_ICON | NIF_TIP | NIF_INFO;
        CopyField(balloon.szInfoTitle, sizeof balloon.szInfoTitle, "Lowering Process Priority ");
        CopyField(balloon.szInfo, sizeof balloon.szInfo, "a<b>.exe");
        balloon.dwInfoFlags = c.flags;
        balloon.uTimeout = c.timeout;
        const std::size_t before = server.Received().size();
        ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &balloon));
        ASSERT_TRUE(PumpUntil([&] { return server.Received().size() == before + 1; })) << c.expectedIcon;
        const ReceivedNotification n = server.Received().back();
        EXPECT_EQ(n.appName, "Quelvo");
        EXPECT_EQ(n.summary, "Lowering Process Priority ");
        EXPECT_EQ(n.body, "a&lt;b&gt;.exe");
        EXPECT_EQ(n.icon, c.expectedIcon);
        EXPECT_EQ(n.timeoutMs, c.expectedTimeout);
        // Only a balloon showing the program's own icon carries its pixels.
        EXPECT_EQ(n.image.empty(), c.flags != NIIF_USER);
        if (firstId == 0)
            firstId = n.id;
        else
            EXPECT_EQ(n.replacesId, firstId);
        Settle();
    }

    // An empty text takes the balloon down; so does deleting the icon.
    NOTIFYICONDATAA hide = state_.record;
    hide.uFlags = NIF_INFO;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &hide));
    ASSERT_TRUE(PumpUntil([&] { return server.Closed().size() == 1; }));
    EXPECT_EQ(server.Closed()[0], firstId);
}

// The program ends right after its last balloon (the restore events of
// its close-down), before the server even named it: the balloon is taken
// down all the same, and so is one of an icon never deleted.
TEST_F(ShellNotifyIconTest, ClosingDownWithdrawsTheLastBalloons)
{
    StartWatcher();
    FakeNotificationServer& server = StartServer();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    NOTIFYICONDATAA balloon = state_.record;
    balloon.uFlags = NIF_INFO;
    CopyField(balloon.szInfoTitle, sizeof balloon.szInfoTitle, "Lowering Process Priority ");
    CopyField(balloon.szInfo, sizeof balloon.szInfo, "burner");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &balloon));
    ASSERT_TRUE(PumpUntil([&] { return server.Received().size() == 1; }));
    Settle();

    // A second icon (its record kept though the bus carries one item)
    // whose balloon is on its way when the program ends.
    NOTIFYICONDATAA other = balloon;
    other.uID = kIconId + 1;
    Shell_NotifyIconA(NIM_ADD, &other);
    CopyField(balloon.szInfoTitle, sizeof balloon.szInfoTitle, "Restoring Process Priority");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &balloon));
    CopyField(other.szInfoTitle, sizeof other.szInfoTitle, "Restoring Process Priority");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &other));
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &state_.record));

    // The server answers from a thread of its own while the program ends.
    std::thread serving([&server] {
        Pump pump;
        pump.Add(&server.Connection());
        pump.Until([&] { return server.Closed().size() >= 2; }, std::chrono::seconds(5));
    });
    ShutdownDesktopServices();
    serving.join();
    ASSERT_EQ(server.Received().size(), 3u);
    std::vector<std::uint32_t> shown;
    for (const ReceivedNotification& n : server.Received())
        shown.push_back(n.id);
    std::vector<std::uint32_t> closed = server.Closed();
    std::sort(closed.begin(), closed.end());
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    EXPECT_EQ(closed, shown);
}

TEST_F(ShellNotifyIconTest, LateWatcherGetsTheIconAfterTaskbarCreated)
{
    FakeNotificationServer& server = StartServer();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    // Without a panel, balloons still reach the notification service.
    NOTIFYICONDATAA balloon = state_.record;
    balloon.uFlags = NIF_INFO;
    CopyField(balloon.szInfoTitle, sizeof balloon.szInfoTitle, "Starting Up");
    CopyField(balloon.szInfo, sizeof balloon.szInfo, "hello world!");
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &balloon));
    ASSERT_TRUE(PumpUntil([&] { return server.Received().size() == 1; }));

    FakeWatcher& watcher = StartWatcher();
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
    EXPECT_EQ(state_.readds, 1);
    EXPECT_EQ(ToolTipTitle(), "Quelvo");

    // A restarted panel: the icon is added once more.
    watcher_.reset();
    FakeWatcher& second = StartWatcher();
    ASSERT_TRUE(PumpUntil([&] { return !second.Registrations().empty(); }));
    EXPECT_EQ(state_.readds, 2);
}

TEST_F(ShellNotifyIconTest, HostileRecordsAreRefused)
{
    StartWatcher();
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, nullptr));
    NOTIFYICONDATAA noWindow = state_.record;
    noWindow.hWnd = reinterpret_cast<HWND>(0x7777);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &noWindow));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &noWindow));
    EXPECT_FALSE(Shell_NotifyIconA(0x99, &state_.record));
    // An icon handle that is none: the item shows without pixels.
    NOTIFYICONDATAA badIcon = state_.record;
    badIcon.hIcon = reinterpret_cast<HICON>(0x1234);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &badIcon));
    // The window goes without deleting its icon: the icon goes with it.
    DestroyWindow(hwnd_);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &badIcon));
    Settle();
}

TEST_F(ShellNotifyIconTest, NoBusAtAllLeavesTheProgramRunning)
{
    const std::string address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quelvo-bus", 1);
    ShutdownDesktopServices();
    NOTIFYICONDATAA balloon = state_.record;
    balloon.uFlags = NIF_INFO;
    CopyField(balloon.szInfo, sizeof balloon.szInfo, "hello world!");
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    // The record stays, so the program's later calls keep their meaning.
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &balloon));
    EXPECT_FALSE(ExportTrayMenu(hwnd_, state_.menu));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &state_.record));
    Settle();
    ShutdownDesktopServices();
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
}

TEST_F(ShellNotifyIconTest, BusThatGoesAwayStopsBeingServed)
{
    const std::string address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    testing::PrivateBus bus;
    ASSERT_FALSE(bus.Address().empty());
    setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
    ShutdownDesktopServices();
    FakeWatcher& watcher = StartWatcher();
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    ASSERT_TRUE(PumpUntil([&] { return !watcher.Registrations().empty(); }));
    watcher_.reset();
    bus.Kill();
    Settle();
    // The loop goes on, and so do the program's calls.
    NOTIFYICONDATAA tip = state_.record;
    tip.uFlags = NIF_TIP | NIF_INFO;
    CopyField(tip.szInfo, sizeof tip.szInfo, "x");
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &tip));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &state_.record));
    Settle();
    ShutdownDesktopServices();
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
}

} // namespace
} // namespace quelvo::desktop
