// One watch tick of the configuration window's Processes page (Sample, the
// list's refresh, PurgeVanished, and painting the visible rows into the
// window surface) beside the engine's own cycle (Sample + PurgeVanished)
// over the same processes, with every process shown and 1,000 extra
// sleeping children. Also the refresh's own time per tick.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/common/alternating.h"
#include "components/treelist/cxTL.h"
#include "configurator/ConfiguratorApp.h"
#include "configurator/MainFormUnit.h"
#include "engine/ProcessWatcher.h"
#include "platform/controls/winctl.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/windows/loop.h"
#include "tests/engine/ChildProcesses.h"

namespace cfg = quelvo::configurator;
using namespace hostlib;

namespace {

std::unique_ptr<ProcessWatcher> ReadyWatcher()
{
    auto watcher = std::make_unique<ProcessWatcher>();
    watcher->EnforceRules = false;
    watcher->ScanProcesses();
    watcher->Sample();
    watcher->PurgeVanished();
    return watcher;
}

}  // namespace

int main(int argc, char** argv)
{
    char runtime[] = "/tmp/quelvo-bench-XXXXXX";
    char program[] = "/tmp/quelvo-bench-XXXXXX";
    quelvo::win::SetRuntimeFolder(mkdtemp(runtime));
    const std::string folder = mkdtemp(program);

    ChildProcesses children;
    for (int i = 0; i < 1000; ++i) children.StartSleeping();

    quelvo::ctl::InitControls();
    InitVisualLibrary();
    RegisterStandardControls();
    cfg::RegisterConfiguratorClasses();
    cfg::StartComponentUnits();
    auto windowWatcher = std::make_unique<ProcessWatcher>();
    cfg::SetWatcher(windowWatcher.get());
    cfg::SetSetup(cfg::Setup{folder + "/", false});
    TMainForm* form = Application->CreateForm<TMainForm>();
    form->TimerUpdateProcesses->SetEnabled(false);  // ticks come from the rounds
    form->HideLowCheckBox->SetChecked(false);
    form->PageControl->SetActivePage(form->ProcessTabSheet);
    form->SetBounds(0, 0, 700, 600);
    form->Show();
    Application->ProcessMessages();

    ProcessWatcher& watcher = *windowWatcher;
    watcher.Sample();
    form->RefreshProcessList();
    watcher.PurgeVanished();
    const auto engine = ReadyWatcher();
    const std::string processes = std::to_string(watcher.Processes().size()) + " processes, " +
                                  std::to_string(form->cxTreeListProcesses->Count()) + " rows";

    const auto tick = [&] {
        watcher.Sample();
        form->RefreshProcessList();
        watcher.PurgeVanished();
        form->cxTreeListProcesses->Repaint();
    };
    const quelvo::bench::Side cycle{"Sample + PurgeVanished", [&] {
                                        engine->Sample();
                                        engine->PurgeVanished();
                                    }};
    // The refresh alone: each call walks a fresh sample's records.
    const quelvo::bench::Side refresh{"RefreshProcessList", [&] { form->RefreshProcessList(); },
                                      [&] { watcher.Sample(); }};
    // Timed by the thread's processor time (system calls included): neither
    // side sleeps, and on a busy machine the waits for a processor would
    // otherwise swamp both.
    const auto timing = quelvo::bench::Timing::ThreadProcessor;
    quelvo::bench::RunPairs(argc, argv,
                            {{"watch tick of the Processes page, " + processes, {"whole tick", tick}, cycle, 2.0, timing},
                             {"the refresh's own part, " + processes, refresh, cycle, 0, timing}});

    form->Free();
    cfg::EndComponentUnits();
    cfg::SetWatcher(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    std::filesystem::remove_all(runtime, ec);
    return 0;
}
