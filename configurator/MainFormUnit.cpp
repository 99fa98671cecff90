#include "configurator/MainFormUnit.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "components/treelist/cxTL.h"
#include "configurator/Dropper.h"
#include "platform/controls/ctldefs.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/files.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/richedit.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/system/scope_guard.h"
#include "platform/system/shell.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace quelvo_resources {
void Register_configurator();
}

namespace quelvo::configurator {

namespace {

Setup& SetupHeld()
{
    static Setup setup;
    return setup;
}

ProcessWatcher*& CurrentWatcher()
{
    static ProcessWatcher* watcher = nullptr;
    return watcher;
}

}  // namespace

void SetSetup(const Setup& setup) { SetupHeld() = setup; }

const Setup& CurrentSetup() { return SetupHeld(); }

void SetWatcher(ProcessWatcher* watcher) { CurrentWatcher() = watcher; }

ProcessWatcher& Watcher()
{
    if (!CurrentWatcher()) throw Exception("The configurator has no process watcher");
    return *CurrentWatcher();
}

void RegisterConfiguratorClasses()
{
    static const bool resources = [] {
        quelvo_resources::Register_configurator();
        return true;
    }();
    (void)resources;
    RegisterClasses({TMainForm::StaticClass(), TFileDropper::StaticClass(), TcxTreeList::StaticClass(),
                     TcxTreeListColumn::StaticClass()});
}

}  // namespace quelvo::configurator

namespace cfg = quelvo::configurator;

namespace {

// The component of the form by its name and class; a form resource that
// lacks it is a broken build, not a user error.
template <class T>
T* Named(TComponent* form, const char* name)
{
    auto* component = dynamic_cast<T*>(form->FindComponent(name));
    if (!component) throw EComponentError(std::string("The window has no component ") + name);
    return component;
}

}  // namespace

TClass TMainForm::StaticClass()
{
    return DefineClass<TMainForm, TForm>("TMainForm", [](ClassBuilder<TMainForm>& b) {
        using F = TMainForm;
        b.Method("FormClose", &F::FormClose);
        b.Method("OkBitBtnClick", &F::OkBitBtnClick);
        b.Method("TimerUpdateProcessesTimer", &F::TimerUpdateProcessesTimer);
        b.Method("PageControlChange", &F::PageControlChange);
        b.Method("cxTreeListProcessesTopRecordIndexChanged", &F::cxTreeListProcessesTopRecordIndexChanged);
        b.Method("cxTreeListProcessesColumnHeaderClick", &F::cxTreeListProcessesColumnHeaderClick);
        b.Method("cxTreeListProcessesFocusedNodeChanged", &F::cxTreeListProcessesFocusedNodeChanged);
        b.Method("cxTreeListProcessesSelectionChanged", &F::cxTreeListProcessesNothing);
        b.Method("cxTreeListProcessesSorting", &F::cxTreeListProcessesNothing);
        b.Method("cxTreeListProcessesAfterSorting", &F::cxTreeListProcessesNothing);
        b.Method("cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange",
                 &F::cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange);
        b.Method("cxTreeListProcessescxTreeListColumn_RulePropertiesChange",
                 &F::cxTreeListProcessescxTreeListColumn_RulePropertiesChange);
        b.Method("cxTreeListColumn_RuleRuleStringPropertiesChange", &F::cxTreeListColumn_RuleRuleStringPropertiesChange);
        b.Method("HideLowCheckBoxClick", &F::HideLowCheckBoxClick);
        b.Method("TerminateNowClick", &F::TerminateNowClick);
        b.Method("TerminateProcessHarshly1Click", &F::TerminateProcessHarshly1Click);
        b.Method("AddRuleClick", &F::AddRuleClick);
        b.Method("DeleteRuleClick", &F::DeleteRuleClick);
        b.Method("FileDropperRulesDrop", &F::FileDropperRulesDrop);
        b.Method("LaunchAppFileDropperDrop", &F::LaunchAppFileDropperDrop);
        b.Method("LaunchAppOpenSpeedButtonClick", &F::LaunchAppOpenSpeedButtonClick);
        b.Method("LaunchAppEditChange", &F::LaunchAppEditChange);
        b.Method("LogFileCheckBoxClick", &F::LogFileCheckBoxClick);
        b.Method("BalloonCheckBoxClick", &F::BalloonCheckBoxClick);
        b.Method("LowTriggerMaskEditChange", &F::LowTriggerMaskEditChange);
        b.Method("HighTriggerMaskEditChange", &F::HighTriggerMaskEditChange);
        b.Method("DoubleClickOptionChange", &F::DoubleClickOptionChange);
        b.Method("SmoothingTrackBarChange", &F::SmoothingTrackBarChange);
        b.Method("DefaultsBitBtnClick", &F::DefaultsBitBtnClick);
        b.Method("QuelvoRunningLabelDblClick", &F::QuelvoRunningLabelDblClick);
        b.Method("StartWindowsCheckBoxClick", &F::StartWindowsCheckBoxClick);
        b.Method("HelpBitBtnClick", &F::HelpBitBtnClick);
        b.Method("ClearLogItemClick", &F::ClearLogItemClick);
    });
}

void TMainForm::Construct(TComponent* owner)
{
    TForm::Construct(owner);
    ReadFormResourceByName(this, "TMAINFORM");
    FindComponents();

    Updating = true;
    const cfg::Setup setup = cfg::CurrentSetup();
    ExeFolder = setup.folder.empty() ? ExtractFilePath(Application->ExeName()) : setup.folder;
    if (!ExeFolder.empty() && ExeFolder.back() != '/') ExeFolder += '/';
    if (setup.changeDirectory && !ExeFolder.empty() && ::chdir(ExeFolder.c_str()) != 0)
        throw EInOutError("Cannot make " + ExeFolder + " the current folder");

    Options.Watcher = &cfg::Watcher();
    cfg::Watcher().EnforceRules = false;
    Application->OnHint = TNotifyEvent::Bind(this, &TMainForm::ApplyHint);

    const std::string settings = FilePath(cfg::kSettingsFile);
    LoadSettings(settings);
    if (!FileExists(settings)) cfg::Watcher().ReadOverridesFile(FilePath(cfg::kLegacyRulesFile));
    FillRuleList();
    PageControlChange(this);
    SetStatusText("");
    Updating = false;
    cfg::Watcher().ScanProcesses();
}

void TMainForm::FindComponents()
{
    PageControl = Named<TPageControl>(this, "PageControl");
    ProcessTabSheet = Named<TTabSheet>(this, "ProcessTabSheet");
    ConfigTabSheet = Named<TTabSheet>(this, "ConfigTabSheet");
    LogTabSheet = Named<TTabSheet>(this, "LogTabSheet");
    cxTreeListProcesses = Named<TcxTreeList>(this, "cxTreeListProcesses");
    cxTreeListRules = Named<TcxTreeList>(this, "cxTreeListRules");
    QuelvoRunningLabel = Named<TLabel>(this, "QuelvoRunningLabel");
    StartWindowsCheckBox = Named<TCheckBox>(this, "StartWindowsCheckBox");
    LogFileCheckBox = Named<TCheckBox>(this, "LogFileCheckBox");
    BalloonCheckBox = Named<TCheckBox>(this, "BalloonCheckBox");
    LaunchAppEdit = Named<TEdit>(this, "LaunchAppEdit");
    LaunchCaptionEdit = Named<TEdit>(this, "LaunchCaptionEdit");
    LowTriggerMaskEdit = Named<TMaskEdit>(this, "LowTriggerMaskEdit");
    HighTriggerMaskEdit = Named<TMaskEdit>(this, "HighTriggerMaskEdit");
    MinChangeIntervalMaskEdit = Named<TMaskEdit>(this, "MinChangeIntervalMaskEdit");
    DoubleClickOption = Named<TComboBox>(this, "DoubleClickOption");
    SmoothingTrackBar = Named<TTrackBar>(this, "SmoothingTrackBar");
    LogRichEdit = Named<TRichEdit>(this, "LogRichEdit");
    ConfigLabel1 = Named<TLabel>(this, "ConfigLabel1");
    ConfigLabel2 = Named<TLabel>(this, "ConfigLabel2");
    QuelvoTrayProcOnlyLabel = Named<TLabel>(this, "QuelvoTrayProcOnlyLabel");
    QuelvoTrayProcOnlyStatus = Named<TLabel>(this, "QuelvoTrayProcOnlyStatus");
    HideLowCheckBox = Named<TCheckBox>(this, "HideLowCheckBox");
    DefaultsBitBtn = Named<TBitBtn>(this, "DefaultsBitBtn");
    OkBitBtn = Named<TBitBtn>(this, "OkBitBtn");
    StatusBar = Named<TStatusBar>(this, "StatusBar");
    TimerUpdateProcesses = Named<TTimer>(this, "TimerUpdateProcesses");
    OpenDialog = Named<TOpenDialog>(this, "OpenDialog");
    LaunchAppFileDropper = Named<TFileDropper>(this, "LaunchAppFileDropper");
    FileDropperRules = Named<TFileDropper>(this, "FileDropperRules");
}

// ---- watch cycle, closing, hints ---------------------------------------------------------

void TMainForm::TimerUpdateProcessesTimer(TObject*)
{
    UpdateSample();
    RefreshProcessList();
    cfg::Watcher().PurgeVanished();
    if (Dirty)
        SaveSettingsIfDirty();
    else
        NotifyTray();  // a request still waiting for the tray's window
}

void TMainForm::UpdateSample()
{
    cfg::Watcher().Sample();
    if (PageControl->ActivePage() == LogTabSheet) RefreshLogView();
    UpdateTrayStatus(ForceTrayStatus);
    ForceTrayStatus = false;
}

void TMainForm::FormClose(TObject*, TCloseAction&)
{
    Dirty = true;
    SaveSettingsIfDirty();
    if (Dirty)
        Application->MessageBox("The settings could not be saved to " + FilePath(cfg::kSettingsFile) + ": " + SaveError,
                                Application->Title(), MB_OK | MB_ICONERROR);
}

void TMainForm::OkBitBtnClick(TObject*) { Close(); }

void TMainForm::ApplyHint(TObject*) { ShowHint(); }

void TMainForm::ShowHint() { SetStatusText(Application->Hint()); }

void TMainForm::SetStatusText(const std::string& text) { StatusBar->SetSimpleText(text); }

