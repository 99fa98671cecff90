#pragma once
// The tray frame on the scripted system and the headless window layer,
// with the desktop side recorded.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "platform/system/fake_system.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"
#include "tray/TrayApp.h"

namespace traytest {

struct NotifyCall {
    DWORD message = 0;
    UINT flags = 0;
    HICON icon = nullptr;
    std::string tip;
    std::string title;
    std::string info;
    UINT id = 0;
    UINT callback = 0;
};

class RecordingServices : public quelvo::tray::TrayServices {
public:
    BOOL NotifyIcon(DWORD message, NOTIFYICONDATAA& data) override
    {
        calls.push_back({message, data.uFlags, data.hIcon, std::string(data.szTip), std::string(data.szInfoTitle),
                         std::string(data.szInfo), data.uID, data.uCallbackMessage});
        return TRUE;
    }
    HICON LoadTrayIcon(int id) override
    {
        ++loads;
        return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(id * 1000 + loads));
    }
    void DestroyTrayIcon(HICON) override { ++destroyed; }
    void TrackMenu(HWND owner, const std::vector<quelvo::tray::TrayMenuItem>& items) override
    {
        menus.push_back(items);
        if (duringMenu)
            duringMenu();
        if (pick != 0)
            PostMessageA(owner, WM_COMMAND, pick, 0);
    }
    void PublishMenu(HWND, const std::vector<quelvo::tray::TrayMenuItem>& items) override
    {
        published.push_back(items);
    }
    INT_PTR ShowAbout(HINSTANCE, const std::string& text) override
    {
        abouts.push_back(text);
        return 1;
    }

    // The icon number (103, 104, 106) of a handle made here.
    static int IconId(HICON icon) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(icon) / 1000); }
    std::vector<NotifyCall> Balloons() const
    {
        std::vector<NotifyCall> out;
        for (const auto& c : calls)
            if (c.flags & NIF_INFO)
                out.push_back(c);
        return out;
    }

    std::vector<NotifyCall> calls;
    std::vector<std::vector<quelvo::tray::TrayMenuItem>> menus;
    std::vector<std::vector<quelvo::tray::TrayMenuItem>> published;
    std::vector<std::string> abouts;
    UINT pick = 0;
    std::function<void()> duringMenu;  // runs while the menu is "open"
    int loads = 0;
    int destroyed = 0;
};

class TrayFixture : public testing::Test {
protected:
    void SetUp() override
    {
        quelvo::win::ResetWindowManager();
        char pattern[] = "/tmp/quelvo-tray-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        std::filesystem::create_directory(folder + "/run");
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        quelvo::win::SetRuntimeFolder(folder + "/run");
        fake.SetProcessorCount(1);
    }
    void TearDown() override
    {
        app.reset();
        quelvo::win::ResetWindowManager();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    quelvo::tray::TrayApp& App()
    {
        if (!app) {
            watcher = std::make_unique<ProcessWatcher>();
            app = std::make_unique<quelvo::tray::TrayApp>(*watcher, options, services,
                                                          quelvo::tray::TrayApp::Setup{folder, false});
        }
        return *app;
    }
    // Starts the frame; the engine then sees the scripted windows again
    // (the window layer installs its own directory with the first window).
    void Start()
    {
        ASSERT_EQ(App().Start(nullptr), quelvo::tray::TrayApp::StartResult::Running);
        directory_ = std::make_unique<quelvo::sys::WindowDirectoryScope>(fake);
    }
    LRESULT Command(UINT id, LPARAM lParam = 0) { return SendMessageA(App().Window(), WM_COMMAND, id, lParam); }
    // A second goes by: the watch timer fires and the loop handles it.
    void Tick(std::uint64_t ms = 1000)
    {
        fake.Clock().Advance(ms);
        App().ProcessPendingMessages();
    }
    void WriteSettings(const std::string& text)
    {
        const std::string path = folder + "/Quelvo.ini";
        std::ofstream(path, std::ios::binary) << text;
        std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    std::string ReadLog() const
    {
        std::ifstream in(folder + "/Quelvo.log", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    DWORD ClassOf(DWORD pid) { return fake.Process(pid)->priorityClass; }
    const NotifyCall& LastTip() const { return services.calls.back(); }

    quelvo::sys::FakeSystem fake;
    quelvo::sys::FakeSystemScope scope{fake};
    std::string folder;
    std::unique_ptr<ProcessWatcher> watcher;
    ProgramOptions options;
    RecordingServices services;
    std::unique_ptr<quelvo::tray::TrayApp> app;

private:
    std::unique_ptr<quelvo::sys::WindowDirectoryScope> directory_;
};

}  // namespace traytest
