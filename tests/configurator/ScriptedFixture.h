#pragma once
// The configuration window on the scripted system: a tray program is a
// process record the test adds or ends, what the window asks of the shell
// and of other programs' windows is recorded. Also what a control shows.

#include <cstdint>
#include <string>

#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/system/fake_system.h"
#include "platform/system/window_directory.h"
#include "tests/configurator/ConfiguratorFixture.h"

namespace configuratortest {

class ScriptedConfiguratorTest : public ConfiguratorTest {
protected:
    void SetUp() override
    {
        // The engine the base makes must see the scripted processes.
        scope_ = std::make_unique<quelvo::sys::FakeSystemScope>(fake);
        // Others beside the tray: a sample that sees no process at all is
        // not taken as every process gone.
        fake.AddProcess(1, "/sbin/init");
        fake.AddProcess(2, "/usr/bin/editor");
        ConfiguratorTest::SetUp();
    }
    void TearDown() override
    {
        ConfiguratorTest::TearDown();
        directory_.reset();
        scope_.reset();
    }
    // The window layer installs its own directory with the first window;
    // the engine then looks at the scripted one again.
    TMainForm* OpenScripted()
    {
        Open();
        directory_ = std::make_unique<quelvo::sys::WindowDirectoryScope>(fake);
        return form;
    }
    // One second on both clocks: the watch timer's and the system's.
    void Tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            fake.Clock().Advance(1000);
            Advance(1000);
        }
    }
    // A tray program with its window.
    DWORD StartTray(DWORD pid = 500)
    {
        fake.AddProcess(pid, "/opt/quelvo/QuelvoTray.exe");
        trayWindow = fake.AddWindow(pid);
        return pid;
    }

    quelvo::sys::FakeSystem fake;
    HWND trayWindow = nullptr;

private:
    std::unique_ptr<quelvo::sys::FakeSystemScope> scope_;
    std::unique_ptr<quelvo::sys::WindowDirectoryScope> directory_;
};

// Pixels of a control as the headless display shows them in its form.
inline std::uint32_t Rgb(int r, int g, int b)
{
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

inline int CountPixels(hostlib::TForm* form, hostlib::TControl* control, std::uint32_t colour)
{
    int count = 0;
    for (int y = 0; y < control->Height(); ++y)
        for (int x = 0; x < control->Width(); ++x) {
            const POINT p = form->ScreenToClient(control->ClientToScreen(POINT{x, y}));
            count += quelvo::win::Headless().ClientPixel(form->Handle(), p.x, p.y) == colour;
        }
    return count;
}

// A user's click on a page's tab.
inline void ClickTab(TMainForm* form, int index)
{
    const RECT tab = form->PageControl->TabRect(index);
    quelvo::win::Headless().Click(form->PageControl->ClientToScreen(POINT{tab.left + 6, tab.top + 4}));
    hostlib::Application->ProcessMessages();
}

}  // namespace configuratortest
