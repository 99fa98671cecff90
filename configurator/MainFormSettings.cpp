// The window's side of "Quelvo.ini" and the reload request to the tray.
#include <cerrno>
#include <cstring>
#include <string>

#include "configurator/MainFormUnit.h"
#include "engine/CIniFile.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
namespace cfg = quelvo::configurator;

namespace {

constexpr const char* kGeneral = "General";
constexpr const char* kGuiConfig = "GuiConfig";
// The option fields hold two digits: larger values would show cut.
constexpr int kMostInTwoDigits = 99;

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

bool TMainForm::LoadSettings(const std::string& path)
{
    CIniFile document(path);
    document.Load();
    ReadGuiConfig(document);
    LoadOptions(Options, document);
    ProcessWatcher& watcher = cfg::Watcher();
    watcher.CpuTriggerHigh = Clamp(watcher.CpuTriggerHigh, 0, kMostInTwoDigits);
    watcher.CpuTriggerLow = Clamp(watcher.CpuTriggerLow, 0, kMostInTwoDigits);
    watcher.CpuMinInterval = Clamp(watcher.CpuMinInterval, 1, kMostInTwoDigits);
    OptionsToControls();
    StartWindowsCheckBox->SetChecked(StartupShortcutExists("Quelvo"));
    Dirty = false;
    RulesChanged = false;
    return true;
}

void TMainForm::ReadGuiConfig(const CIniFile& document)
{
    SetLeft(document.GetInt(kGuiConfig, "Window.Left", Left()));
    SetTop(document.GetInt(kGuiConfig, "Window.Top", Top()));
    SetWidth(document.GetInt(kGuiConfig, "Window.Width", Width()));
    SetHeight(document.GetInt(kGuiConfig, "Window.Height", Height()));
    PageControl->SetActivePageIndex(document.GetInt(kGuiConfig, "ActivePage", PageControl->ActivePageIndex()));
    HideLowCheckBox->SetChecked(document.GetBool(kGuiConfig, "HideLowCPUs", HideLowCheckBox->Checked()));
    StartWindowsCheckBox->SetChecked(document.GetBool(kGuiConfig, "StartWithWindows", StartWindowsCheckBox->Checked()));
}

void TMainForm::WriteGuiConfig(CIniFile& document)
{
    document.SetString(kGeneral, "Program", "Quelvo", true);
    document.SetString(kGuiConfig, "FileVersion", "1", true);
    document.SetInt(kGuiConfig, "Window.Left", Left());
    document.SetInt(kGuiConfig, "Window.Top", Top());
    document.SetInt(kGuiConfig, "Window.Width", Width());
    document.SetInt(kGuiConfig, "Window.Height", Height());
    document.SetInt(kGuiConfig, "ActivePage", PageControl->ActivePageIndex());
    document.SetBool(kGuiConfig, "HideLowCPUs", HideLowCheckBox->Checked());
    document.SetBool(kGuiConfig, "StartWithWindows", StartWindowsCheckBox->Checked());
}

bool TMainForm::SaveSettings(const std::string& path)
{
    CIniFile document;
    WriteGuiConfig(document);
    ControlsToOptions();
    SaveOptions(Options, document);
    document.SetPath(path);
    if (!document.Save()) {
        // Kept dirty: the next tick tries again, and closing says why.
        SaveError = errno != 0 ? std::strerror(errno) : "unknown error";
        return false;
    }
    SaveError.clear();
    RequestPending = true;
    RequestRulesChanged = RequestRulesChanged || RulesChanged;
    Dirty = false;
    RulesChanged = false;
    NotifyTray();
    return true;
}

void TMainForm::SaveSettingsIfDirty()
{
    if (Dirty) SaveSettings(FilePath(cfg::kSettingsFile));
}

LRESULT TMainForm::NotifyTray()
{
    if (!RequestPending) return 0;
    // Looked up afresh each time: a record of an earlier tick may be gone,
    // and a tray that is starting may not have its window yet.
    ProcessWatcher& watcher = cfg::Watcher();
    const ProcessObject* tray = watcher.FindProcessByName(cfg::kTrayProgram);
    if (!tray) {
        RequestPending = false;
        RequestRulesChanged = false;
        return 0;
    }
    HWND window = watcher.FindWindowOfPid(tray->Pid);
    if (!window) return 0;
    const LPARAM flag = RequestRulesChanged ? 1 : 0;
    RequestPending = false;
    RequestRulesChanged = false;
    return SendMessageA(window, WM_COMMAND, cfg::kReloadRequest, flag);
}

void TMainForm::ControlsToOptions()
{
    Options.LeftClickLaunch = LaunchAppEdit->Text();
    Options.LaunchCaption = LaunchCaptionEdit->Text();
    Options.Logging = LogFileCheckBox->Checked();
    Options.BalloonTips = BalloonCheckBox->Checked();
    Options.DoubleClickMethod = DoubleClickOption->ItemIndex();
}

void TMainForm::OptionsToControls()
{
    const ProcessWatcher& watcher = cfg::Watcher();
    LowTriggerMaskEdit->SetText(IntToStr(watcher.CpuTriggerLow));
    HighTriggerMaskEdit->SetText(IntToStr(watcher.CpuTriggerHigh));
    MinChangeIntervalMaskEdit->SetText(IntToStr(watcher.CpuMinInterval));
    SmoothingTrackBar->SetPosition(watcher.CpuSmoothing);
    LaunchAppEdit->SetText(Options.LeftClickLaunch);
    LaunchCaptionEdit->SetText(Options.LaunchCaption);
    LogFileCheckBox->SetChecked(Options.Logging);
    BalloonCheckBox->SetChecked(Options.BalloonTips);
    DoubleClickOption->SetItemIndex(Options.DoubleClickMethod);
}
