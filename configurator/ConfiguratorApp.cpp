#include "configurator/ConfiguratorApp.h"

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxTextEdit.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "components/treelist/cxInplaceContainer.h"
#include "components/treelist/cxTL.h"
#include "configurator/MainFormUnit.h"
#include "engine/ProcessWatcher.h"
#include "platform/desktop/clipboard/desktop_clipboard.h"
#include "platform/hostlib/core/hostlib.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/x11_display.h"

namespace quelvo::configurator {

void StartComponentUnits()
{
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
    cxLookAndFeelsInitialize();
    cxStandardLookAndFeelPaintersInitialize();
    cxUltraFlatLookAndFeelPaintersInitialize();
    cxControlsInitialize();
    cxTextEditInitialize();
    cxDropDownEditInitialize();
    cxProgressBarInitialize();
    cxInplaceContainerInitialize();
    cxTreeListInitialize();
}

void EndComponentUnits()
{
    cxTreeListFinalize();
    cxInplaceContainerFinalize();
    cxProgressBarFinalize();
    cxDropDownEditFinalize();
    cxTextEditFinalize();
    FreeDefaultEditStyleController();
    cxEditPaintUtilsFinalize();
    cxControlsFinalize();
    cxUltraFlatLookAndFeelPaintersFinalize();
    cxStandardLookAndFeelPaintersFinalize();
    cxLookAndFeelsFinalize();
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
}

int RunConfigurator()
{
    // The engine first: without the process-status libraries it ends the
    // program (exit code 1) before any window exists.
    ProcessWatcher watcher;
    SetWatcher(&watcher);
    hostlib::InitHostLibrary();
    hostlib::RegisterStandardControls();
    RegisterConfiguratorClasses();
    hostlib::InitVisualLibrary();
    // Termination signals close the window, which saves on the way out.
    quelvo::win::InstallCloseOnSignals();
    // A real window with a desktop; the invisible screen without one.
    if (quelvo::win::x11::UseDesktopDisplay()) quelvo::desktop::UseDesktopClipboard();
    StartComponentUnits();
    {
        quelvo::sys::ScopeGuard end([] {
            hostlib::DoneVisualLibrary();
            EndComponentUnits();
        });
        hostlib::Application->Initialize();
        hostlib::Application->SetTitle("Quelvo Configuration GUI");
        try {
            hostlib::Application->CreateForm<TMainForm>();
            hostlib::Application->Run();
        } catch (const hostlib::Exception& e) {
            hostlib::Application->ShowException(e);
        } catch (...) {
            hostlib::Application->ShowException(hostlib::Exception(""));
        }
    }
    SetWatcher(nullptr);
    return 0;
}

}  // namespace quelvo::configurator
