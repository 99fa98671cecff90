// QuelvoTray: keeps the desktop responsive by lowering the priority of
// processes that hog the processor. Everything runs in TrayApp; this only
// makes the program's objects and ends with the loop.

#include <csignal>

#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "platform/desktop/traymenu.h"
#include "platform/system/winbase.h"
#include "tray/DesktopTrayServices.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/controls_clipboard.h"
#include "platform/windows/x11/x11_display.h"
#include "tray/TrayApp.h"

namespace {

// Termination signals close the tray's window, which restores every
// lowered process before the program ends. A signal the starting shell
// told us to ignore (nohup, a background job's interrupt) stays ignored.
void CloseOnTerminationSignals()
{
    const int signals[] = {SIGTERM, SIGINT, SIGHUP};
    bool ignored[3] = {false, false, false};
    for (int i = 0; i < 3; ++i) {
        struct sigaction old {};
        ignored[i] = sigaction(signals[i], nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
    }
    quelvo::win::InstallCloseOnSignals();
    for (int i = 0; i < 3; ++i)
        if (ignored[i] && signals[i] != SIGTERM)
            std::signal(signals[i], SIG_IGN);
}

}  // namespace

int main()
{
    // In the order the program needs them; destroyed in reverse.
    ProcessWatcher watcher;
    ProgramOptions options;
    quelvo::tray::DesktopTrayServices services;
    int result = 0;
    CloseOnTerminationSignals();
    // On a desktop the menu and the About box are real windows; without one
    // the tray keeps working on the invisible screen.
    if (quelvo::win::x11::UseDesktopDisplay())
        quelvo::win::x11::UseDesktopClipboard();
    {
        quelvo::tray::TrayApp app(watcher, options, services);
        if (app.Start(GetModuleHandleA(nullptr)) == quelvo::tray::TrayApp::StartResult::Running)
            result = app.Run();
    }
    quelvo::desktop::ShutdownDesktopServices();
    return result;
}
