#pragma once
// The configuration window on the headless display, with the real engine
// and platform, in a fresh program folder of its own; the start-up folder
// for shortcuts lies in a private configuration folder.

#include <stdlib.h>

#include <memory>
#include <string>

#include "configurator/ConfiguratorApp.h"
#include "configurator/MainFormUnit.h"
#include "engine/ProcessWatcher.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "tests/common/TempFolder.h"
#include "tests/configurator/ExpectedSettings.h"
#include "tests/platform/hostlib/visual/visual_fixture.h"

namespace configuratortest {

namespace cfg = quelvo::configurator;

class ConfiguratorTest : public visualtest::VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        savedConfigHome_ = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
        setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
        hostlib::RegisterStandardControls();
        cfg::RegisterConfiguratorClasses();
        cfg::StartComponentUnits();
        watcher = std::make_unique<ProcessWatcher>();
        cfg::SetWatcher(watcher.get());
        cfg::SetSetup(cfg::Setup{folder.Path() + "/", false});
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        cfg::EndComponentUnits();
        cfg::SetWatcher(nullptr);
        watcher.reset();
        if (savedConfigHome_.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", savedConfigHome_.c_str(), 1);
        VisualTest::TearDown();
    }

    TMainForm* Open()
    {
        form = hostlib::Application->CreateForm<TMainForm>();
        form->Show();
        Pump();
        return form;
    }
    // Ticks of the watch cycle on the manual clock.
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i) Advance(1000);
    }
    void CloseWindow()
    {
        form->Close();
        Pump();
    }
    std::string Settings() const { return TempFolder::Read(folder.File("Quelvo.ini")); }
    std::string StartupFolder() const { return config.Path() + "/autostart"; }

    TempFolder folder;
    TempFolder config;
    std::unique_ptr<ProcessWatcher> watcher;
    TMainForm* form = nullptr;

private:
    std::string savedConfigHome_;
};

}  // namespace configuratortest
