#pragma once
// The tray program's frame: single instance, the hidden notification
// window with its icon, the message loop that drives the one-second watch
// cycle, the commands of the menu and of other programs, feedback
// (tooltip, balloons, log) and launching.

#include <string>
#include <vector>

#include "engine/ProcessWatcher.h"
#include "engine/ProgramOptions.h"
#include "platform/desktop/shellapi.h"
#include "platform/windows/winuser.h"
#include "tray/TrayServices.h"

namespace quelvo::tray {

inline constexpr const char* kMutexName = "Bellwick_Quelvo_Mutex";
inline constexpr const char* kWindowClass = "Bellwick_Quelvo_NotifyClass";
inline constexpr const char* kSettingsFile = "Quelvo.ini";

inline constexpr const char* kLogFile = "Quelvo.log";
inline constexpr const char* kHelpFile = "Quelvo.chm";
inline constexpr const char* kConfigurator = "QuelvoConfigurator.exe";
inline constexpr const char* kCompanion = "Quelvo.exe";
inline constexpr const char* kHomepage = "https://quelvo.example.org/";

inline constexpr UINT WM_TRAY_NOTIFY = WM_APP + 1;
inline constexpr UINT WM_TRAY_LAUNCH_APP = WM_APP + 2;
inline constexpr UINT WM_TRAY_APP_STARTED = 301;
inline constexpr UINT WM_TRAY_APP_CLOSING = 302;
inline constexpr UINT kTrayIconId = 255;
inline constexpr UINT_PTR kWatchTimerId = 1;
inline constexpr UINT kWatchIntervalMs = 1000;
// Serves the grace periods of processes a kill rule asked to close.
inline constexpr UINT_PTR kKillTimerId = 2;
inline constexpr UINT kKillTimerMs = 250;

enum TrayCommand : UINT {
    ID_TRAY_EXIT = 101,
    ID_TRAY_ABOUT = 102,
    ID_TRAY_APP_LAUNCH = 103,
    ID_TRAY_APP_CLOSE = 104,
    ID_TRAY_HOMEPAGE = 110,
    ID_TRAY_REREAD_SETTINGS = 305,
    ID_TRAY_SAMPLE_NOW = 401,
    ID_TRAY_HELP = 402,
    ID_TRAY_CONFIGURE = 403,
    ID_TRAY_TOGGLE_ENABLED = 404,
    ID_TRAY_LAUNCH_TOOL = 405,
    ID_TRAY_SETTINGS_CHANGED = 777,
};

// The popup menu for a state and the options.
std::vector<TrayMenuItem> TrayMenuItems(bool enabled, const ProgramOptions& options);

// What the program reports when it refuses to run the user's command.
inline constexpr const char* kEventLaunchRefused = "Launch refused";
inline constexpr const char* kLaunchRefusedReason = "Quelvo.ini or its folder may be changed by others";
// The log's event text of a start that failed; the reason is its name part.
inline constexpr const char* kEventCannotStart = "Cannot start";

// What the program reports when the shell could not open what was asked:
// the title, and the reason that follows the name of what was asked.
inline constexpr const char* kEventOpenFailed = "Could not open";
std::string OpenFailureReason(int shellResult);

class TrayApp {
public:
    enum class StartResult { Running, AlreadyRunning, Failed };

    // Files ("Quelvo.ini", "Quelvo.log") are looked up in `folder`; empty
    // means the current folder, which Start makes the program's own when
    // `changeDirectory` is set.
    struct Setup {
        std::string folder;
        bool changeDirectory = true;
    };

    TrayApp(ProcessWatcher& watcher, ProgramOptions& options, TrayServices& services, Setup setup);
    TrayApp(ProcessWatcher& watcher, ProgramOptions& options, TrayServices& services)
        : TrayApp(watcher, options, services, Setup{})
    {
    }
    ~TrayApp();
    TrayApp(const TrayApp&) = delete;
    TrayApp& operator=(const TrayApp&) = delete;

    // Every step of start-up up to the message loop. A failure is told on
    // standard error and, with logging on, in the log; FailureReason says it.
    StartResult Start(HINSTANCE instance);
    const std::string& FailureReason() const { return failure_; }
    // The message loop, then the closing steps; the program's result (0).
    int Run();
    // One message as the loop handles it (the watch cycle runs before the
    // timer message is dispatched).
    void HandleMessage(const MSG& msg);
    // Handles what is queued now without waiting (tests); false once the
    // loop would have ended.
    bool ProcessPendingMessages();
    // The closing steps after the loop: processes restored, closing line,
    // mutex released. Run calls it; safe to call more than once.
    void CloseDown();

    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool DispatchTrayCommand(UINT id, LPARAM lParam);

    // ---- Watch cycle and switching ----
    void OnTimerTick();
    void ToggleEnabled();
    void SetWatchTimer(bool enabled);
    void ReloadSettings();
    void OnSettingsChanged(LPARAM flag);
    void ExitTray();

    // ---- Feedback ----
    void OnWatcherEvent(const std::string& event, const std::string& name);
    void WriteLogLine(const std::string& event, const std::string& name);
    void UpdateTrayTip(bool enabled);
    void TrayIconAction(HWND hwnd, DWORD message);
    void LoadTrayIcons();
    std::string GetStatusText() const;
    void ShowTrayMenu(HWND hwnd);
    void ShowAbout();

    // ---- Launching ----
    void ToggleConfigurator();
    void OnTrayDoubleClick();
    void LaunchUserCommand();
    bool LaunchCompanionApp();
    bool CloseCompanionApp();

    // ---- State ----
    bool Enabled() const { return enabled_; }
    bool ExitRequested() const { return exit_; }
    HWND Window() const { return window_; }
    const NOTIFYICONDATAA& IconRecord() const { return record_; }
    HICON Icon(int id) const;
    std::string SettingsPath() const { return Path(kSettingsFile); }
    std::string LogPath() const { return Path(kLogFile); }
    DWORD CompanionPid() const { return companionPid_; }
    bool CompanionRunning() const { return companionRunning_; }

private:
    static LRESULT StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND CreateNotifyWindow(HINSTANCE instance);
    StartResult Fail(const std::string& reason);
    std::string Path(const std::string& name) const;
    // Runs the kill timer while the watcher has kills waiting.
    void ArmKillTimer();
    bool RunTrayCommand(UINT id, LPARAM lParam);
    void OnKillTimer();
    HICON CurrentIcon() const;
    void ShellOpen(const std::string& file, const std::string& parameters = {});
    // Hands the menu to the desktop when it differs from the one it has
    // (always when forced: a new icon starts without one).
    void PublishMenu(bool force = false);
    // The user sees and the log says what could not be opened and why.
    void ReportOpenFailure(const std::string& file, int shellResult);
    void ShowBalloon(const std::string& title, const std::string& text, DWORD infoFlags);
    // Finds a running companion with a window; true when it runs.
    bool FindCompanion();

    ProcessWatcher& watcher_;
    ProgramOptions& options_;
    TrayServices& services_;
    Setup setup_;
    HINSTANCE instance_ = nullptr;
    HANDLE mutex_ = nullptr;
    HWND window_ = nullptr;
    bool classRegistered_ = false;
    bool enabled_ = true;
    bool exit_ = false;
    bool closedDown_ = false;
    bool killTimer_ = false;
    std::string failure_;
    UINT taskbarCreated_ = 0;
    HICON icons_[3] = {nullptr, nullptr, nullptr};  // 103, 104, 106
    NOTIFYICONDATAA record_{};
    std::vector<TrayMenuItem> publishedMenu_;
    DWORD companionPid_ = 0;
    HWND companionWindow_ = nullptr;
    bool companionRunning_ = false;
};

}  // namespace quelvo::tray
