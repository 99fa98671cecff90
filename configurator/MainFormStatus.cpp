// The window's smaller duties: the tray program's status with starting and
// stopping it, the start-up shortcut, the log page, the help file, and the
// controls below the pages that follow the active page.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "configurator/MainFormUnit.h"
#include "platform/controls/ctldefs.h"
#include "platform/hostlib/core/files.h"
#include "platform/hostlib/stdctrls/buttons.h"
#include "platform/hostlib/stdctrls/comctrls.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/richedit.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/system/scope_guard.h"
#include "platform/system/shell.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;
namespace cfg = quelvo::configurator;

namespace {

constexpr const char* kTrayRunningHint = "The main Quelvo tray tool is currently running.";
constexpr const char* kTrayStoppedHint =
    "The main Quelvo tray tool is not currently running; double-click here to launch it.";
constexpr const char* kEmptyLog = "Log file is empty.";
constexpr const char* kShortcutName = "Quelvo";
// Long enough for the tray to give back what it lowered and leave; only a
// tray still there afterwards is killed.
constexpr DWORD kTrayCloseWaitMs = 3000;

// The start-up shortcut's file for a name: the platform's extension of
// shortcuts; "" when there is no start-up folder.
std::string ShortcutPath(const std::string& name)
{
    const std::string folder = SpecialFolderPath(CSIDL_STARTUP);
    if (folder.empty()) return {};
    const std::string shortcut = StartupShortcutName();
    const std::size_t dot = shortcut.find_last_of('.');
    return folder + "/" + name + (dot == std::string::npos ? std::string() : shortcut.substr(dot));
}

// Whether a path is a plain file: opening a pipe or a device put in the
// log's place would wait for a writer or a reader that never comes.
bool IsPlainFile(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The size of a file as reading it finds it; -1 when it cannot be read.
long long ReadableSize(const std::string& path)
{
    if (!IsPlainFile(path)) return -1;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return -1;
    return static_cast<long long>(in.tellg());
}

}  // namespace

// ---- tray status -----------------------------------------------------------------------------

void TMainForm::UpdateTrayStatus(bool force)
{
    const bool running = cfg::Watcher().FindProcessByName(cfg::kTrayProgram) != nullptr;
    if (running == TrayRunning && !force) return;
    for (TLabel* label : {QuelvoRunningLabel, QuelvoTrayProcOnlyStatus}) {
        label->SetCaption(running ? "Running" : "Not Running");
        label->Font()->SetColor(running ? clGreen : clRed);
        label->SetHint(running ? kTrayRunningHint : kTrayStoppedHint);
    }
    TrayRunning = running;
}

void TMainForm::QuelvoRunningLabelDblClick(TObject*)
{
    if (!TrayRunning) {
        ShellExecuteA(nullptr, "open", cfg::kTrayProgram, nullptr, nullptr, SW_SHOWNORMAL);
        return;
    }
    ProcessWatcher& watcher = cfg::Watcher();
    if (const ProcessObject* tray = watcher.FindProcessByName(cfg::kTrayProgram))
        watcher.ClosePid(tray->Pid, kTrayCloseWaitMs, true);
}

// ---- start-up shortcut -------------------------------------------------------------------

void TMainForm::StartWindowsCheckBoxClick(TObject*)
{
    if (!Updating) {
        const bool exists =
            SetStartupShortcut(kShortcutName, ExeFolder + cfg::kTrayProgram, "", StartWindowsCheckBox->Checked());
        // The box says what is there: a shortcut that could not be made
        // must not be saved as made.
        Updating = true;
        ScopeGuard updated([this] { Updating = false; });
        StartWindowsCheckBox->SetChecked(exists);
    }
    ApplyControls();
}

bool TMainForm::SetStartupShortcut(const std::string& name, const std::string& target, const std::string& arguments,
                                   bool wanted)
{
    const std::string link = ShortcutPath(name);
    if (link.empty()) return false;
    if (FileExists(link)) DeleteFile(link);
    if (wanted) CreateShortcut(target, ExtractFilePath(target), arguments, link, "");
    return StartupShortcutExists(name);
}

bool TMainForm::StartupShortcutExists(const std::string& name)
{
    const std::string link = ShortcutPath(name);
    return !link.empty() && FileExists(link);
}

// ---- log page, help, pages -----------------------------------------------------------------

void TMainForm::RefreshLogView()
{
    const std::string path = FilePath(cfg::kLogFile);
    if (!FileExists(path)) {
        // Forgotten, so that a file written again at the same size shows.
        logSize_ = -1;
        logAge_ = -1;
        if (LogRichEdit->Text() != kEmptyLog) LogRichEdit->SetText(kEmptyLog);
        return;
    }
    const long long size = ReadableSize(path);
    if (size < 0) return;
    // A file rewritten at the same size differs in its age.
    const TDateTime age = FileAge(path);
    if (size == logSize_ && age == logAge_) return;
    LogRichEdit->Lines()->LoadFromFile(path);
    // The view's end, not the file's: it shows each line break as two
    // characters, so the file's size falls short of the end.
    const HWND view = LogRichEdit->Handle();
    const auto end = static_cast<long long>(SendMessageA(view, WM_GETTEXTLENGTH, 0, 0));
    LogRichEdit->SetSelStart(static_cast<int>(std::max(size + 2, end)));
    SendMessageA(view, EM_SCROLLCARET, 0, 0);
    logSize_ = size;
    logAge_ = age;
}

void TMainForm::ClearLogItemClick(TObject*)
{
    const std::string path = FilePath(cfg::kLogFile);
    if (!FileExists(path) || IsPlainFile(path)) {
        // Empties the file, or makes it empty when there is none.
        std::ofstream emptied(path, std::ios::binary | std::ios::trunc);
    }
    RefreshLogView();
}

void TMainForm::HelpBitBtnClick(TObject*)
{
    ShellExecuteA(nullptr, "open", "Quelvo.chm", nullptr, nullptr, SW_SHOWNORMAL);
}

void TMainForm::PageControlChange(TObject*)
{
    const TTabSheet* page = PageControl->ActivePage();
    const bool processes = page == ProcessTabSheet;
    const bool config = page == ConfigTabSheet;
    HideLowCheckBox->SetVisible(processes);
    DefaultsBitBtn->SetVisible(!processes);
    ConfigLabel1->SetVisible(config);
    ConfigLabel2->SetCaption(config ? "Or drag-and-drop files from explorer." : "Double-click on status to toggle.");
    ConfigLabel2->SetHint(processes ? "No priorities will be changed unless Quelvo Tray Tool is running." : "");
    QuelvoTrayProcOnlyLabel->SetVisible(!config);
    QuelvoTrayProcOnlyStatus->SetVisible(!config);
    if (!processes && !config) RefreshLogView();
}
