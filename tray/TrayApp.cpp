#include "tray/TrayApp.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/CIniFile.h"
#include "platform/system/backend.h"
#include "platform/system/shell.h"
#include "platform/system/winbase.h"
#include "platform/system/window_directory.h"
#include "platform/windows/loop.h"
#include "tray/TrayFiles.h"
#include "tray/TrayTexts.h"
#include "tray/TrayWatch.h"

namespace quelvo::tray {

namespace {

// The one frame of the process; the window procedure reaches it here, as
// WM_CREATE arrives before CreateWindowExA returns.
TrayApp* gActive = nullptr;

constexpr UINT kFlagsAdd = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr UINT kFlagsTip = NIF_ICON | NIF_TIP;
constexpr UINT kFlagsBalloon = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
constexpr UINT kBalloonTimeoutMs = 1000;
constexpr DWORD kCompanionCloseWaitMs = 3000;
constexpr DWORD kConfiguratorCloseWaitMs = 3;

// Copies a text into a fixed field, cut between characters, zero-ended.
template <std::size_t N>
void CopyField(char (&field)[N], const std::string& text)
{
    const std::string cut = CutToCharacters(text, N - 1);
    std::memset(field, 0, N);
    std::memcpy(field, cut.data(), cut.size());
}

int IconIndex(int id)
{
    switch (id) {
    case kIconEnabled: return 0;
    case kIconDisabled: return 1;
    case kIconTaming: return 2;
    default: return -1;
    }
}

constexpr int kIconIds[3] = {kIconEnabled, kIconDisabled, kIconTaming};

}  // namespace

std::vector<TrayMenuItem> TrayMenuItems(bool enabled, const ProgramOptions& options)
{
    std::vector<TrayMenuItem> items;
    if (enabled)
        items.push_back({ID_TRAY_TOGGLE_ENABLED, "&Enabled", true});
    else
        items.push_back({ID_TRAY_TOGGLE_ENABLED, "&Enable (currently disabled)", false});
    items.push_back({});
    items.push_back({ID_TRAY_CONFIGURE, "&Configure", false});
    if (!options.LaunchCaption.empty() && !options.LeftClickLaunch.empty())
        items.push_back({ID_TRAY_LAUNCH_TOOL, "&Launch " + options.LaunchCaption, false});
    items.push_back({});
    items.push_back({ID_TRAY_HELP, "&Help", false});
    items.push_back({ID_TRAY_ABOUT, std::string("&About ") + kCaption + "..", false});
    items.push_back({ID_TRAY_HOMEPAGE, std::string("&Visit ") + kCaption + " Homepage (check for updates)", false});
    items.push_back({});
    items.push_back({ID_TRAY_EXIT, "&Exit", false});
    return items;
}

std::string OpenFailureReason(int shellResult)
{
    switch (shellResult) {
    case SE_ERR_FNF:
    case SE_ERR_PNF: return "not found";
    case SE_ERR_ACCESSDENIED: return "access denied";
    case 0:
    case SE_ERR_OOM: return "out of memory";
    case SE_ERR_NOASSOC: return "no program to open it with";
    default: return "error " + std::to_string(shellResult);
    }
}

TrayApp::TrayApp(ProcessWatcher& watcher, ProgramOptions& options, TrayServices& services, Setup setup)
    : watcher_(watcher), options_(options), services_(services), setup_(std::move(setup))
{
}

TrayApp::~TrayApp()
{
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
    window_ = nullptr;
    if (classRegistered_)
        UnregisterClassA(kWindowClass, instance_);
    if (mutex_ != nullptr)
        CloseHandle(mutex_);
    for (HICON& icon : icons_) {
        if (icon != nullptr)
            services_.DestroyTrayIcon(icon);
        icon = nullptr;
    }
    watcher_.EventCallback = nullptr;
    if (gActive == this)
        gActive = nullptr;
}

std::string TrayApp::Path(const std::string& name) const
{
    return setup_.folder.empty() ? name : setup_.folder + "/" + name;
}

// ---- Start-up and loop -------------------------------------------------------

TrayApp::StartResult TrayApp::Start(HINSTANCE instance)
{
    if (setup_.changeDirectory)
        SetCurrentDirToExe();
    // Without it there are no windows and no lock: say why and fail,
    // rather than end as if another instance ran.
    if (const std::string problem = win::RuntimeFolderError(); !problem.empty())
        return Fail(problem);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (mutex == nullptr)
        return Fail("the single-instance lock cannot be taken (error " + std::to_string(GetLastError()) + ")");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return StartResult::AlreadyRunning;
    }
    mutex_ = mutex;
    // Whatever an earlier run left lowered when it died gets its class back
    // before anything is sampled.
    sys::AdoptPriorityJournal();
    instance_ = instance;
    LoadTrayIcons();
    gActive = this;
    if (CreateNotifyWindow(instance) == nullptr)
        return Fail("its window cannot be created");
    watcher_.EventCallback = [this](const std::string& event, const std::string& name) {
        OnWatcherEvent(event, name);
    };
    options_.Watcher = &watcher_;
    ReloadSettings();
    if (enabled_)
        watcher_.ScanProcesses();
    exit_ = false;
    if (options_.Logging)
        WriteLogLine("Starting Up", "hello world!");
    SetWatchTimer(enabled_);
    return StartResult::Running;
}

TrayApp::StartResult TrayApp::Fail(const std::string& reason)
{
    failure_ = reason;
    std::fprintf(stderr, "%s: %s\n", kCaption, reason.c_str());
    std::fflush(stderr);
    // The settings tell whether there is a log to write it to.
    options_.Watcher = &watcher_;
    ReloadSettings();
    if (options_.Logging)
        WriteLogLine(kEventCannotStart, reason);
    return StartResult::Failed;
}

HWND TrayApp::CreateNotifyWindow(HINSTANCE instance)
{
    WNDCLASSA wc;
    wc.lpfnWndProc = &TrayApp::StaticWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (RegisterClassA(&wc) == 0)
        return nullptr;
    classRegistered_ = true;
    const HWND hwnd = CreateWindowExA(0, kWindowClass, kWindowClass, 0, 0, 0, 0, 0, nullptr, nullptr, instance,
                                      nullptr);
    if (hwnd == nullptr)
        return nullptr;
    window_ = hwnd;
    return hwnd;
}

void TrayApp::HandleMessage(const MSG& msg)
{
    TranslateMessage(&msg);
    // Only the watch timer drives the cycle, so other timers of the
    // process cannot make it run more often than once a second.
    if (msg.message == WM_TIMER && enabled_ && msg.hwnd == window_ && msg.wParam == kWatchTimerId)
        OnTimerTick();
    DispatchMessageA(&msg);
    ArmKillTimer();
}

void TrayApp::ArmKillTimer()
{
    if (killTimer_ || window_ == nullptr || !watcher_.HasPendingKills())
        return;
    killTimer_ = SetTimer(window_, kKillTimerId, kKillTimerMs, nullptr) != 0;
}

void TrayApp::OnKillTimer()
{
    if (watcher_.ServePendingKills() || window_ == nullptr)
        return;
    KillTimer(window_, kKillTimerId);
    killTimer_ = false;
}

int TrayApp::Run()
{
    MSG msg;
    while (!exit_) {
        if (GetMessageA(&msg, nullptr, 0, 0) != 1)
            break;
        HandleMessage(msg);
    }
    CloseDown();
    return 0;
}

bool TrayApp::ProcessPendingMessages()
{
    MSG msg;
    while (!exit_ && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            return false;
        HandleMessage(msg);
    }
    return !exit_;
}

void TrayApp::CloseDown()
{
    if (closedDown_)
        return;
    closedDown_ = true;
    // However the loop ended, nothing stays lowered behind us; what is
    // still forced by a rule stays so, and the next run leaves it alone.
    RestoreAll(watcher_);
    sys::ClosePriorityJournal();
    if (options_.Logging)
        WriteLogLine("Closing Down", "goodbye!");
    if (mutex_ != nullptr)
        CloseHandle(mutex_);
    mutex_ = nullptr;
}

// ---- Window procedure ----------------------------------------------------------

LRESULT TrayApp::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (gActive == nullptr)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    return gActive->WndProc(hwnd, msg, wParam, lParam);
}

LRESULT TrayApp::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (taskbarCreated_ == 0)
        taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        window_ = hwnd;
        LoadTrayIcons();
        TrayIconAction(hwnd, NIM_ADD);
        UpdateTrayTip(enabled_);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
    case WM_CREATE:
        window_ = hwnd;
        TrayIconAction(hwnd, NIM_ADD);
        return 0;
    case WM_DESTROY:
        TrayIconAction(hwnd, NIM_DELETE);
        window_ = nullptr;
        exit_ = true;
        PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
        // From outside (another program, or a termination signal the
        // window layer turned into WM_CLOSE): end as the Exit command does.
        ExitTray();
        return 0;
    case WM_ENDSESSION:
        ExitTray();
        return 0;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        switch (id) {
        case ID_TRAY_EXIT: ExitTray(); return 1;
        case ID_TRAY_ABOUT: ShowAbout(); return 1;
        case ID_TRAY_APP_LAUNCH: LaunchCompanionApp(); return 1;
        case ID_TRAY_APP_CLOSE: CloseCompanionApp(); return 1;
        case ID_TRAY_HOMEPAGE: ShellOpen(kHomepage); return 1;
        default: return DispatchTrayCommand(id, lParam) ? 1 : 0;
        }
    }
    case WM_TRAY_NOTIFY:
        switch (static_cast<UINT>(lParam)) {
        case WM_LBUTTONDOWN: return 0;
        case WM_LBUTTONDBLCLK: OnTrayDoubleClick(); return 0;
        case WM_RBUTTONUP: ShowTrayMenu(hwnd); return 0;
        default: return DefWindowProcA(hwnd, msg, wParam, lParam);
        }
    case WM_TRAY_LAUNCH_APP:
        LaunchCompanionApp();
        return 0;
    case WM_TIMER:
        if (wParam == kKillTimerId)
            OnKillTimer();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

bool TrayApp::DispatchTrayCommand(UINT id, LPARAM lParam)
{
    // Commands sent from other programs bypass the loop: a kill requested
    // by the rules they apply still gets its timer.
    const bool handled = RunTrayCommand(id, lParam);
    ArmKillTimer();
    return handled;
}

bool TrayApp::RunTrayCommand(UINT id, LPARAM lParam)
{
    switch (id) {
    case ID_TRAY_REREAD_SETTINGS: ReloadSettings(); return true;
    case ID_TRAY_SAMPLE_NOW:
        watcher_.Sample();
        watcher_.PurgeVanished();
        return true;
    case ID_TRAY_HELP: ShellOpen(kHelpFile); return true;
    case ID_TRAY_CONFIGURE: ToggleConfigurator(); return true;
    case ID_TRAY_TOGGLE_ENABLED: ToggleEnabled(); return true;
    case ID_TRAY_LAUNCH_TOOL: LaunchUserCommand(); return true;
    case ID_TRAY_SETTINGS_CHANGED: OnSettingsChanged(lParam); return true;
    default: return false;
    }
}

// ---- Watch cycle and switching ----------------------------------------------

void TrayApp::OnTimerTick()
{
    watcher_.Sample();
    watcher_.PurgeVanished();
    TameProcesses(watcher_);
    if (watcher_.TamedChanged) {
        watcher_.TamedChanged = false;
        UpdateTrayTip(enabled_);
    }
}

void TrayApp::ToggleEnabled()
{
    enabled_ = !enabled_;
    UpdateTrayTip(enabled_);
    SetWatchTimer(enabled_);
    if (!enabled_)
        RestoreAll(watcher_);
}

void TrayApp::SetWatchTimer(bool enabled)
{
    enabled_ = enabled;
    if (window_ == nullptr)
        return;
    if (enabled)
        SetTimer(window_, kWatchTimerId, kWatchIntervalMs, nullptr);
    else
        KillTimer(window_, kWatchTimerId);
}

void TrayApp::ReloadSettings()
{
    CIniFile document(SettingsPath());
    // A missing or unreadable file, or one without either section the
    // programs write (binary data, a stray text file), keeps the settings
    // held now, rules included, rather than leaving the program without them.
    if (document.Load() && HasOptionSections(document))
        LoadOptions(options_, document);
    if (!document.Problem().empty() && options_.Logging)
        WriteLogLine(document.Problem(), SettingsPath());
    PublishMenu();
}

void TrayApp::OnSettingsChanged(LPARAM flag)
{
    ReloadSettings();
    if (flag != 1)
        return;
    ResyncPriorities(watcher_);
    ApplyRulesToAll(watcher_);
    if (watcher_.TamedChanged) {
        watcher_.TamedChanged = false;
        UpdateTrayTip(enabled_);
    }
}

void TrayApp::ExitTray()
{
    RestoreAll(watcher_);
    if (window_ != nullptr)
        DestroyWindow(window_);
    exit_ = true;
}

// ---- Feedback ------------------------------------------------------------------

std::string TrayApp::GetStatusText() const
{
    return StatusText(enabled_, watcher_.TamedCount, watcher_.TamedNames);
}

void TrayApp::OnWatcherEvent(const std::string& event, const std::string& name)
{
    if (options_.BalloonTips)
        ShowBalloon(event, name, NIIF_INFO);
    if (options_.Logging)
        WriteLogLine(event, name);
}

void TrayApp::ShowBalloon(const std::string& title, const std::string& text, DWORD infoFlags)
{
    CopyField(record_.szInfoTitle, ReplaceControlBytes(title));
    CopyField(record_.szInfo, ReplaceControlBytes(text));
    record_.uTimeout = kBalloonTimeoutMs;
    record_.uFlags = kFlagsBalloon;
    record_.dwInfoFlags = infoFlags;
    services_.NotifyIcon(NIM_MODIFY, record_);
    record_.dwInfoFlags = NIIF_INFO;
}

void TrayApp::ReportOpenFailure(const std::string& file, int shellResult)
{
    // The user asked for it just now: shown even when event balloons are off.
    const std::string what = file + ": " + OpenFailureReason(shellResult);
    ShowBalloon(kEventOpenFailed, what, NIIF_WARNING);
    std::fprintf(stderr, "%s: %s %s\n", kCaption, kEventOpenFailed, ReplaceControlBytes(what).c_str());
    if (options_.Logging)
        WriteLogLine(kEventOpenFailed, what);
}

void TrayApp::WriteLogLine(const std::string& event, const std::string& name)
{
    AppendLogLine(LogPath(), LogLine(CtimeText(), event, name));
}

HICON TrayApp::Icon(int id) const
{
    const int index = IconIndex(id);
    return index < 0 ? nullptr : icons_[index];
}

HICON TrayApp::CurrentIcon() const
{
    if (!enabled_)
        return Icon(kIconDisabled);
    return watcher_.TamedCount < 1 ? Icon(kIconEnabled) : Icon(kIconTaming);
}

void TrayApp::LoadTrayIcons()
{
    for (int i = 0; i < 3; ++i) {
        if (icons_[i] != nullptr)
            services_.DestroyTrayIcon(icons_[i]);
        icons_[i] = services_.LoadTrayIcon(kIconIds[i]);
    }
}

void TrayApp::TrayIconAction(HWND hwnd, DWORD message)
{
    record_.cbSize = sizeof(NOTIFYICONDATAA);
    record_.hWnd = hwnd;
    record_.uID = kTrayIconId;
    record_.uFlags = kFlagsAdd;
    record_.uCallbackMessage = WM_TRAY_NOTIFY;
    record_.hIcon = CurrentIcon();
    record_.dwInfoFlags = NIIF_INFO;
    CopyField(record_.szTip, kCaption);
    services_.NotifyIcon(message, record_);
    if (message == NIM_ADD)
        PublishMenu(true);
}

void TrayApp::UpdateTrayTip(bool enabled)
{
    CopyField(record_.szTip, TipText(enabled, watcher_.TamedCount, watcher_.TamedNames));
    record_.hIcon = !enabled ? Icon(kIconDisabled) : watcher_.TamedCount < 1 ? Icon(kIconEnabled) : Icon(kIconTaming);
    record_.uFlags = kFlagsTip;
    services_.NotifyIcon(NIM_MODIFY, record_);
    PublishMenu();
}

void TrayApp::PublishMenu(bool force)
{
    if (window_ == nullptr)
        return;
    std::vector<TrayMenuItem> menu = TrayMenuItems(enabled_, options_);
    if (!force && menu == publishedMenu_)
        return;
    publishedMenu_ = std::move(menu);
    services_.PublishMenu(window_, publishedMenu_);
}

void TrayApp::ShowTrayMenu(HWND hwnd)
{
    services_.TrackMenu(hwnd, TrayMenuItems(enabled_, options_));
}

void TrayApp::ShowAbout()
{
    services_.ShowAbout(instance_, AboutDialogText(GetStatusText()));
}

// ---- Launching -------------------------------------------------------------------

void TrayApp::ShellOpen(const std::string& file, const std::string& parameters)
{
    const HINSTANCE result = ShellExecuteA(nullptr, "open", file.c_str(),
                                           parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    const auto code = static_cast<INT_PTR>(reinterpret_cast<std::uintptr_t>(result));
    if (code <= 32)
        ReportOpenFailure(file, static_cast<int>(code));
}

void TrayApp::ToggleConfigurator()
{
    // Looked up afresh: the table is not refreshed while the tray is off.
    const DWORD pid = watcher_.FindPidByName(kConfigurator);
    if (pid != 0)
        watcher_.ClosePid(pid, kConfiguratorCloseWaitMs, false);
    else
        ShellOpen(kConfigurator);
}

void TrayApp::OnTrayDoubleClick()
{
    switch (options_.DoubleClickMethod) {
    case 0:
        ToggleConfigurator();
        break;
    case 1:
        if (!options_.LeftClickLaunch.empty())
            LaunchUserCommand();
        else
            ToggleConfigurator();
        break;
    default:
        ToggleEnabled();
        break;
    }
}

void TrayApp::LaunchUserCommand()
{
    if (options_.LeftClickLaunch.empty())
        return;
    // Whoever may write the settings file could otherwise run commands as
    // this user.
    if (!IsPrivateToUser(SettingsPath())) {
        OnWatcherEvent(kEventLaunchRefused, kLaunchRefusedReason);
        return;
    }
    const SplitCommand command = SplitCommandLine(options_.LeftClickLaunch);
    ShellOpen(command.file, command.parameters);
}

bool TrayApp::FindCompanion()
{
    companionRunning_ = false;
    companionWindow_ = nullptr;
    companionPid_ = watcher_.FindPidByName(kCompanion);
    if (companionPid_ == 0)
        return false;
    companionWindow_ = watcher_.FindWindowOfPid(companionPid_);
    return companionWindow_ != nullptr;
}

bool TrayApp::LaunchCompanionApp()
{
    if (FindCompanion()) {
        companionRunning_ = true;
        return true;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(kCompanion, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &created))
        return false;
    if (created.hThread != nullptr)
        CloseHandle(created.hThread);
    if (created.hProcess != nullptr)
        CloseHandle(created.hProcess);
    companionPid_ = created.dwProcessId;
    companionWindow_ = watcher_.FindWindowOfPid(companionPid_);
    if (companionWindow_ != nullptr) {
        SetForegroundWindow(companionWindow_);
        sys::Windows().SendMessageTo(companionWindow_, WM_TRAY_APP_STARTED, 0,
                                     reinterpret_cast<LPARAM>(window_));
    }
    return true;
}

bool TrayApp::CloseCompanionApp()
{
    companionRunning_ = false;
    if (!FindCompanion())
        return true;
    sys::Windows().SendMessageTo(companionWindow_, WM_TRAY_APP_CLOSING, 0, reinterpret_cast<LPARAM>(window_));
    if (!watcher_.ClosePid(companionPid_, kCompanionCloseWaitMs, false))
        return false;
    companionRunning_ = false;
    return true;
}

}  // namespace quelvo::tray
