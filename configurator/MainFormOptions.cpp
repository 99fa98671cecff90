// The options of the Configuration page: the controls copied into the
// engine and the shared options on every change, "Set Defaults", and the
// choice of the launch tool by browsing or by dropping a file.
#include <string>

#include "configurator/MainFormUnit.h"
#include "platform/hostlib/core/files.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/dialogs.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;
namespace cfg = quelvo::configurator;

namespace {

constexpr int kMostInTwoDigits = 99;

// The number a two-digit field shows; its mask fills empty places with 0,
// and anything else that is not a digit reads as 0 as well.
int FieldValue(const TCustomEdit* field)
{
    int value = 0;
    for (const char c : field->Text()) {
        if (c < '0' || c > '9') continue;
        value = value * 10 + (c - '0');
        if (value > kMostInTwoDigits) return kMostInTwoDigits;
    }
    return value;
}

// The thresholds in order (low below high), both within what the fields
// can show: from a high one down, else from the low one up.
void OrderThresholds(int& low, int& high)
{
    if (high > low) return;
    if (high >= 50) {
        low = high - 1;
    } else if (low < kMostInTwoDigits) {
        high = low + 1;
    } else {
        low = kMostInTwoDigits - 1;
        high = kMostInTwoDigits;
    }
}

}  // namespace

void TMainForm::ApplyControls()
{
    // The corrected thresholds written below raise the fields' change events
    // again; this call stores them itself.
    if (Updating || applying_) return;
    applying_ = true;
    ScopeGuard done([this] { applying_ = false; });

    ProcessWatcher& watcher = cfg::Watcher();
    watcher.CpuSmoothing = SmoothingTrackBar->Position();
    watcher.SmoothingFactor = watcher.CpuSmoothing * 0.01;

    int low = FieldValue(LowTriggerMaskEdit);
    int high = FieldValue(HighTriggerMaskEdit);
    if (high <= low) {
        OrderThresholds(low, high);
        LowTriggerMaskEdit->SetText(IntToStr(low));
        HighTriggerMaskEdit->SetText(IntToStr(high));
    }
    watcher.CpuTriggerHigh = high;
    watcher.CpuTriggerLow = low;
    watcher.CpuMinInterval = FieldValue(MinChangeIntervalMaskEdit);

    Options.LeftClickLaunch = LaunchAppEdit->Text();
    Options.LaunchCaption = LaunchCaptionEdit->Text();
    Options.DoubleClickMethod = DoubleClickOption->ItemIndex();
    Dirty = true;
}

void TMainForm::LowTriggerMaskEditChange(TObject*) { ApplyControls(); }
void TMainForm::HighTriggerMaskEditChange(TObject*) { ApplyControls(); }
void TMainForm::DoubleClickOptionChange(TObject*) { ApplyControls(); }
void TMainForm::LogFileCheckBoxClick(TObject*) { ApplyControls(); }
void TMainForm::BalloonCheckBoxClick(TObject*) { ApplyControls(); }
void TMainForm::LaunchAppEditChange(TObject*) { ApplyControls(); }

void TMainForm::SmoothingTrackBarChange(TObject*)
{
    ApplyControls();
    SetStatusText("CPU Smoothing at " + IntToStr(SmoothingTrackBar->Position()) + "   ");
}

void TMainForm::DefaultsBitBtnClick(TObject*)
{
    {
        Updating = true;
        ScopeGuard updated([this] { Updating = false; });
        LowTriggerMaskEdit->SetText("08");
        HighTriggerMaskEdit->SetText("70");
        MinChangeIntervalMaskEdit->SetText("08");
        SmoothingTrackBar->SetPosition(80);
        BalloonCheckBox->SetChecked(true);
    }
    DoubleClickOption->SetItemIndex(2);
    ApplyControls();
}

void TMainForm::LaunchAppOpenSpeedButtonClick(TObject*)
{
    OpenDialog->SetFileName(LaunchAppEdit->Text());
    if (OpenDialog->Execute()) SetLaunchTool(OpenDialog->FileName());
}

void TMainForm::LaunchAppFileDropperDrop(TObject*, const std::string& path) { SetLaunchTool(path); }

void TMainForm::SetLaunchTool(const std::string& path)
{
    LaunchAppEdit->SetText(path);
    LaunchCaptionEdit->SetText(ExtractFileName(path));
}
