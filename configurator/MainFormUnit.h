#pragma once
// The configuration program's one window: the process list, the rules and
// options, the tray program's status and its log, kept up to date by a
// one-second watch cycle. Settings live in "Quelvo.ini" in the program's
// folder; every save asks a running tray program to reload them.

#include <string>

#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "platform/hostlib/core/datetime.h"
#include "platform/hostlib/visual/forms.h"

namespace hostlib {
class TBitBtn;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TMaskEdit;
class TMenuItem;
class TOpenDialog;
class TPageControl;
class TPopupMenu;
class TRichEdit;
class TSpeedButton;
class TStatusBar;
class TTabSheet;
class TTimer;
class TTrackBar;
class TGroupBox;
}  // namespace hostlib
class TcxTreeList;
class TcxTreeListColumn;
class TcxTreeListNode;
class TFileDropper;

namespace quelvo::configurator {

inline constexpr const char* kSettingsFile = "Quelvo.ini";
inline constexpr const char* kLegacyRulesFile = "ApplicationOverrides.txt";
inline constexpr const char* kLogFile = "Quelvo.log";
inline constexpr const char* kTrayProgram = "QuelvoTray.exe";
inline constexpr UINT kReloadRequest = 777;

// Where the window finds its files: `folder` (with its trailing '/'), by
// default that of the program file, made the current folder when
// `changeDirectory` is set. Tests point it at a folder of their own.
struct Setup {
    std::string folder;
    bool changeDirectory = true;
};
void SetSetup(const Setup& setup);
const Setup& CurrentSetup();

// The engine every handler works on; the program's first object.
void SetWatcher(ProcessWatcher* watcher);
ProcessWatcher& Watcher();

// Registers the window's classes and its compiled-in form.
void RegisterConfiguratorClasses();

}  // namespace quelvo::configurator

class TMainForm : public hostlib::TForm {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

    // ---- Components ----
    hostlib::TPageControl* PageControl = nullptr;
    hostlib::TTabSheet* ProcessTabSheet = nullptr;
    hostlib::TTabSheet* ConfigTabSheet = nullptr;
    hostlib::TTabSheet* LogTabSheet = nullptr;
    TcxTreeList* cxTreeListProcesses = nullptr;
    TcxTreeList* cxTreeListRules = nullptr;
    hostlib::TLabel* QuelvoRunningLabel = nullptr;
    hostlib::TCheckBox* StartWindowsCheckBox = nullptr;
    hostlib::TCheckBox* LogFileCheckBox = nullptr;
    hostlib::TCheckBox* BalloonCheckBox = nullptr;
    hostlib::TEdit* LaunchAppEdit = nullptr;
    hostlib::TEdit* LaunchCaptionEdit = nullptr;
    hostlib::TMaskEdit* LowTriggerMaskEdit = nullptr;
    hostlib::TMaskEdit* HighTriggerMaskEdit = nullptr;
    hostlib::TMaskEdit* MinChangeIntervalMaskEdit = nullptr;
    hostlib::TComboBox* DoubleClickOption = nullptr;
    hostlib::TTrackBar* SmoothingTrackBar = nullptr;
    hostlib::TRichEdit* LogRichEdit = nullptr;
    hostlib::TLabel* ConfigLabel1 = nullptr;
    hostlib::TLabel* ConfigLabel2 = nullptr;
    hostlib::TLabel* QuelvoTrayProcOnlyLabel = nullptr;
    hostlib::TLabel* QuelvoTrayProcOnlyStatus = nullptr;
    hostlib::TCheckBox* HideLowCheckBox = nullptr;
    hostlib::TBitBtn* DefaultsBitBtn = nullptr;
    hostlib::TBitBtn* OkBitBtn = nullptr;
    hostlib::TStatusBar* StatusBar = nullptr;
    hostlib::TTimer* TimerUpdateProcesses = nullptr;
    hostlib::TOpenDialog* OpenDialog = nullptr;
    TFileDropper* LaunchAppFileDropper = nullptr;
    TFileDropper* FileDropperRules = nullptr;

    // ---- State ----
    bool Updating = true;
    bool TrayRunning = false;
    bool Dirty = false;
    bool RulesChanged = false;
    bool ForceTrayStatus = true;
    ProgramOptions Options;
    std::string ExeFolder;
    // A reload request waiting for the tray program's window, and its flag.
    bool RequestPending = false;
    bool RequestRulesChanged = false;
    // Why the last save failed ("" after a good one).
    std::string SaveError;

    // ---- Watch cycle, closing, hints ----
    void TimerUpdateProcessesTimer(hostlib::TObject* sender);
    void UpdateSample();
    void FormClose(hostlib::TObject* sender, hostlib::TCloseAction& action);
    void OkBitBtnClick(hostlib::TObject* sender);
    // The application's hint event (keeps TControl::ShowHint() reachable).
    void ShowHint();
    using hostlib::TForm::ShowHint;
    void SetStatusText(const std::string& text);

    // ---- Settings and the reload request ----
    bool LoadSettings(const std::string& path);
    bool SaveSettings(const std::string& path);
    void SaveSettingsIfDirty();
    LRESULT NotifyTray();
    void ControlsToOptions();
    void OptionsToControls();
    // Copies the option controls into the engine and the options.
    void ApplyControls();

    // ---- Process list ----
    void RefreshProcessList();
    TcxTreeListNode* AddProcessNode(ProcessObject* record);
    void ClearProcessList();
    void SetProcessPriority(ProcessObject* record, DWORD priorityClass);

    // ---- Rule list, tray status, pages ----
    void FillRuleList();
    TcxTreeListNode* AddRuleNode(ProcessOverrideRule* rule);
    void SyncRuleRows(const std::string& name, const std::string& text, TcxTreeListNode* keep);
    void UpdateProcessRuleColumn(const std::string& name, const std::string& text);
    void AddRuleForFile(const std::string& path, const std::string& text);
    void UpdateTrayStatus(bool force);
    bool StartupShortcutExists(const std::string& name);
    // Whether the shortcut exists afterwards.
    bool SetStartupShortcut(const std::string& name, const std::string& target, const std::string& arguments,
                            bool wanted);
    void RefreshLogView();
    void PageControlChange(hostlib::TObject* sender);

    // ---- Handlers of the pages (bound by the form) ----
    void cxTreeListProcessesTopRecordIndexChanged(hostlib::TObject* sender);
    void cxTreeListProcessesColumnHeaderClick(hostlib::TObject* sender, TcxTreeListColumn* column);
    void cxTreeListProcessesFocusedNodeChanged(hostlib::TObject* sender, TcxTreeListNode* previous,
                                               TcxTreeListNode* focused);
    void cxTreeListProcessesNothing(hostlib::TObject* sender);
    void cxTreeListProcessescxTreeListColumn_PriorityPropertiesChange(hostlib::TObject* sender);
    void cxTreeListProcessescxTreeListColumn_RulePropertiesChange(hostlib::TObject* sender);
    void cxTreeListColumn_RuleRuleStringPropertiesChange(hostlib::TObject* sender);
    void HideLowCheckBoxClick(hostlib::TObject* sender);
    void TerminateNowClick(hostlib::TObject* sender);
    void TerminateProcessHarshly1Click(hostlib::TObject* sender);
    void AddRuleClick(hostlib::TObject* sender);
    void DeleteRuleClick(hostlib::TObject* sender);
    void FileDropperRulesDrop(hostlib::TObject* sender, const std::string& path);
    void LaunchAppFileDropperDrop(hostlib::TObject* sender, const std::string& path);
    void LaunchAppOpenSpeedButtonClick(hostlib::TObject* sender);
    void LaunchAppEditChange(hostlib::TObject* sender);
    void LogFileCheckBoxClick(hostlib::TObject* sender);
    void BalloonCheckBoxClick(hostlib::TObject* sender);
    void LowTriggerMaskEditChange(hostlib::TObject* sender);
    void HighTriggerMaskEditChange(hostlib::TObject* sender);
    void DoubleClickOptionChange(hostlib::TObject* sender);
    void SmoothingTrackBarChange(hostlib::TObject* sender);
    void DefaultsBitBtnClick(hostlib::TObject* sender);
    void QuelvoRunningLabelDblClick(hostlib::TObject* sender);
    void StartWindowsCheckBoxClick(hostlib::TObject* sender);
    void HelpBitBtnClick(hostlib::TObject* sender);
    void ClearLogItemClick(hostlib::TObject* sender);

private:
    void FindComponents();
    void ApplyHint(hostlib::TObject* sender);
    std::string FilePath(const char* name) const { return ExeFolder + name; }
    void WriteGuiConfig(class CIniFile& document);
    void ReadGuiConfig(const class CIniFile& document);
    void RuleChanged(TcxTreeListNode* row);
    void SetLaunchTool(const std::string& path);
    bool applying_ = false;
    void RefreshProcessRow(ProcessObject* record, bool hideLow);
    TcxTreeListNode* UnfocusForDeletions();
    void ClosePidOfFocusedRow(bool terminate);
    // The log file as last loaded into the view.
    long long logSize_ = -1;
    hostlib::TDateTime logAge_ = -1;
};
