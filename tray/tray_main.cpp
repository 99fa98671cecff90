// QuelvoTray: keeps the desktop responsive by lowering the priority of
// processes that hog the processor. Everything runs in TrayApp; this only
// makes the program's objects and ends with the loop.

#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "platform/desktop/traymenu.h"
#include "platform/system/winbase.h"
#include "tray/DesktopTrayServices.h"
#include "platform/windows/loop.h"
#include "platform/desktop/clipboard/desktop_clipboard.h"
#include "platform/windows/x11/x11_display.h"
#include "tray/TrayApp.h"

int main()
{
    // In the order the program needs them; destroyed in reverse.
    ProcessWatcher watcher;
    ProgramOptions options;
    quelvo::tray::DesktopTrayServices services;
    quelvo::tray::UseTrayProgramIcon();
    int result = 0;
    // Termination signals close the tray's window, which restores every
    // lowered process before the program ends; a broken pipe ends nothing.
    quelvo::win::InstallCloseOnSignals();
    // On a desktop the menu and the About box are real windows; without one
    // the tray keeps working on the invisible screen.
    if (quelvo::win::x11::UseDesktopDisplay())
        quelvo::desktop::UseDesktopClipboard();
    {
        quelvo::tray::TrayApp app(watcher, options, services);
        switch (app.Start(GetModuleHandleA(nullptr))) {
        case quelvo::tray::TrayApp::StartResult::Running: result = app.Run(); break;
        case quelvo::tray::TrayApp::StartResult::AlreadyRunning: break;
        case quelvo::tray::TrayApp::StartResult::Failed: result = 1; break;
        }
    }
    quelvo::desktop::ShutdownDesktopServices();
    return result;
}
