// The tray frame: start-up, the window's messages and commands, the watch
// timer, reload requests, feedback and launching.

#include "tests/tray/TrayFixture.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "tray/TrayTexts.h"

namespace {

using namespace quelvo::tray;
using traytest::RecordingServices;
using traytest::TrayFixture;

constexpr DWORD kLow = IDLE_PRIORITY_CLASS;
constexpr DWORD kNormal = NORMAL_PRIORITY_CLASS;
constexpr DWORD kHigh = HIGH_PRIORITY_CLASS;

using Frame = TrayFixture;

TEST_F(Frame, StartAddsTheIconAndOneInstanceOnly)
{
    Start();
    ASSERT_NE(App().Window(), nullptr);
    EXPECT_EQ(FindWindowA(kWindowClass, kWindowClass), App().Window());
    ASSERT_EQ(services.calls.size(), 1u);
    const auto& add = services.calls[0];
    EXPECT_EQ(add.message, NIM_ADD);
    EXPECT_EQ(add.flags, 7u);
    EXPECT_EQ(add.id, 255u);
    EXPECT_EQ(add.callback, 0x8001u);
    EXPECT_EQ(add.tip, "Quelvo");
    EXPECT_EQ(RecordingServices::IconId(add.icon), 103);
    EXPECT_TRUE(fake.MutexHeld(kMutexName));

    // A second tray of the same machine leaves at once, silently.
    ProcessWatcher second;
    ProgramOptions secondOptions;
    RecordingServices secondServices;
    TrayApp other(second, secondOptions, secondServices, TrayApp::Setup{folder, false});
    EXPECT_EQ(other.Start(nullptr), TrayApp::StartResult::AlreadyRunning);
    EXPECT_EQ(other.Window(), nullptr);
    EXPECT_TRUE(secondServices.calls.empty());
}

TEST_F(Frame, StartReadsSettingsScansAndLogs)
{
    WriteSettings("[Settings]\nLogging=1\nCpuTriggerHigh=50\n[Rules]\nRuleStrings=game?Force Low\n");
    fake.AddProcess(10, "/usr/bin/game");
    Start();
    EXPECT_EQ(watcher->CpuTriggerHigh, 50);
    EXPECT_EQ(ClassOf(10), kLow) << "rules are applied by the first scan";
    EXPECT_NE(ReadLog().find(" -> Starting Up | hello world!\n"), std::string::npos);
}

TEST_F(Frame, TimerLowersAndRaisesAndUpdatesTheTip)
{
    WriteSettings("[Settings]\nLogging=1\nCpuTriggerHigh=50\nCpuSmoothing=0\nCpuMinInterval=2\n");
    fake.AddProcess(10, "/usr/bin/burner");
    Start();
    Tick();  // first reading
    fake.AddCpuTime(10, 1000);
    Tick();
    EXPECT_EQ(ClassOf(10), kLow);
    EXPECT_EQ(LastTip().message, NIM_MODIFY);
    EXPECT_EQ(LastTip().tip, "Quelvo - Taming 1 process (burner).");
    EXPECT_EQ(RecordingServices::IconId(LastTip().icon), 106);
    auto balloons = services.Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].title, "Lowering Process Priority ");
    EXPECT_EQ(balloons[0].info, "burner");
    EXPECT_EQ(balloons[0].flags, 0x17u);
    EXPECT_NE(ReadLog().find(" -> Lowering Process Priority  | burner\n"), std::string::npos);
    // Idle from now on: raised after more than the interval.
    for (int i = 0; i < 4 && ClassOf(10) == kLow; ++i)
        Tick();
    EXPECT_EQ(ClassOf(10), kNormal);
    EXPECT_EQ(LastTip().tip, "Quelvo - Watching for processes to tame.");
    EXPECT_EQ(RecordingServices::IconId(LastTip().icon), 103);
    EXPECT_NE(ReadLog().find(" -> Increasing Process Priority | burner\n"), std::string::npos);
}

TEST_F(Frame, DisablingRestoresAndStopsTheCycle)
{
    WriteSettings("[Settings]\nCpuTriggerHigh=50\nCpuSmoothing=0\n");
    fake.AddProcess(10, "/usr/bin/burner").priorityClass = kHigh;
    Start();
    Tick();
    fake.AddCpuTime(10, 1000);
    Tick();
    ASSERT_EQ(ClassOf(10), kNormal);
    services.calls.clear();
    EXPECT_EQ(Command(ID_TRAY_TOGGLE_ENABLED), 1);
    EXPECT_FALSE(App().Enabled());
    EXPECT_EQ(ClassOf(10), kHigh);
    ASSERT_FALSE(services.calls.empty());
    EXPECT_EQ(services.calls[0].tip, "Quelvo - Currently disabled.");
    EXPECT_EQ(RecordingServices::IconId(services.calls[0].icon), 104);
    auto balloons = services.Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].title, "Restoring Process Priority");
    // No cycles while disabled.
    fake.AddCpuTime(10, 1000);
    Tick();
    fake.AddCpuTime(10, 1000);
    Tick();
    EXPECT_EQ(ClassOf(10), kHigh);
    // Enabled again: the timer runs without a new scan.
    fake.AddProcess(11, "/usr/bin/late");
    Command(ID_TRAY_TOGGLE_ENABLED);
    EXPECT_TRUE(App().Enabled());
    EXPECT_EQ(watcher->FindProcess(11), nullptr);
    Tick();
    EXPECT_NE(watcher->FindProcess(11), nullptr);
}

TEST_F(Frame, EveryCommandIdentifier)
{
    options.LeftClickLaunch = "/usr/bin/tool --x";
    WriteSettings("[Settings]\nLeftClickLaunch=/usr/bin/tool --x\n");
    fake.AddFile("/usr/bin/tool");
    Start();
    fake.AddProcess(77, "/usr/bin/newcomer");  // seen by an out-of-turn sample
    struct Case {
        UINT id;
        LRESULT result;
        std::function<void()> check;
        std::function<void()> before = [] {};
        LPARAM lParam = 0;
    };
    auto lastShell = [this](const std::string& file, const std::string& parameters) {
        ASSERT_FALSE(fake.shellCalls.empty());
        EXPECT_EQ(fake.shellCalls.back().verb, "open");
        EXPECT_EQ(fake.shellCalls.back().file, file);
        EXPECT_EQ(fake.shellCalls.back().parameters, parameters);
        EXPECT_EQ(fake.shellCalls.back().showCommand, SW_SHOWNORMAL);
    };
    fake.onSend = [](const quelvo::sys::FakeMessage&) { return LRESULT{0}; };
    const Case cases[] = {
        {ID_TRAY_ABOUT, 1, [&] { ASSERT_EQ(services.abouts.size(), 1u); }},
        {ID_TRAY_HOMEPAGE, 1, [&] { lastShell(kHomepage, ""); }},
        {ID_TRAY_HELP, 1, [&] { lastShell("Quelvo.chm", ""); }},
        {ID_TRAY_CONFIGURE, 1, [&] { lastShell("QuelvoConfigurator.exe", ""); }},
        {ID_TRAY_LAUNCH_TOOL, 1, [&] { lastShell("/usr/bin/tool", "--x"); }},
        {ID_TRAY_SAMPLE_NOW, 1, [&] { EXPECT_NE(watcher->FindProcess(77), nullptr); }},
        {ID_TRAY_REREAD_SETTINGS, 1, [&] { EXPECT_EQ(watcher->CpuTriggerHigh, 61); },
         [&] { WriteSettings("[Settings]\nLeftClickLaunch=/usr/bin/tool --x\nCpuTriggerHigh=61\n"); }},
        // With the flag set, a changed rule reaches the running processes.
        {ID_TRAY_SETTINGS_CHANGED, 1, [&] { EXPECT_EQ(ClassOf(77), kLow); },
         [&] { WriteSettings("[Settings]\nLeftClickLaunch=/usr/bin/tool --x\n[Rules]\nRuleStrings=newcomer?Force Low\n"); },
         1},
        {ID_TRAY_APP_LAUNCH, 1, [&] { EXPECT_EQ(fake.createdProcesses.size(), 1u); }},
        // The companion started above, once it has a window, is asked to close.
        {ID_TRAY_APP_CLOSE, 1, [&] {
             ASSERT_EQ(fake.createdProcesses.size(), 1u);
             EXPECT_EQ(fake.Process(fake.createdProcesses[0].pid), nullptr);
             EXPECT_FALSE(App().CompanionRunning());
         },
         [&] { fake.AddWindow(fake.createdProcesses.at(0).pid); }},
        {999, 0, [] {}},
        {0, 0, [] {}},
        {ID_TRAY_TOGGLE_ENABLED, 1, [&] { EXPECT_FALSE(App().Enabled()); }},
        {ID_TRAY_EXIT, 1, [&] {
             EXPECT_TRUE(App().ExitRequested());
             EXPECT_EQ(App().Window(), nullptr);
             EXPECT_EQ(services.calls.back().message, NIM_DELETE);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        c.before();
        EXPECT_EQ(Command(c.id, c.lParam), c.result);
        c.check();
    }
}

TEST_F(Frame, MenuFollowsStateAndOptions)
{
    auto texts = [](const std::vector<TrayMenuItem>& items) {
        std::vector<std::string> out;
        for (const auto& i : items)
            out.push_back(i.IsSeparator() ? "-" : std::to_string(i.id) + (i.checked ? "* " : " ") + i.text);
        return out;
    };
    ProgramOptions o;
    const std::vector<std::string> enabled = {
        "404* &Enabled", "-", "403 &Configure", "-", "402 &Help", "102 &About Quelvo..",
        "110 &Visit Quelvo Homepage (check for updates)", "-", "101 &Exit"};
    EXPECT_EQ(texts(TrayMenuItems(true, o)), enabled);
    auto disabled = enabled;
    disabled[0] = "404 &Enable (currently disabled)";
    EXPECT_EQ(texts(TrayMenuItems(false, o)), disabled);
    o.LaunchCaption = "Top";
    EXPECT_EQ(texts(TrayMenuItems(true, o)), enabled) << "caption without a command";
    o.LeftClickLaunch = "/usr/bin/top";
    auto withLaunch = enabled;
    withLaunch.insert(withLaunch.begin() + 3, "405 &Launch Top");
    EXPECT_EQ(texts(TrayMenuItems(true, o)), withLaunch);
    o.LaunchCaption.clear();
    EXPECT_EQ(texts(TrayMenuItems(true, o)), enabled) << "command without a caption";

    // A right click on the icon shows it; the pick arrives as a command.
    Start();
    // Panels that show the menu themselves have it from the start.
    ASSERT_EQ(services.published.size(), 1u);
    EXPECT_EQ(texts(services.published[0]), enabled);
    services.pick = ID_TRAY_TOGGLE_ENABLED;
    EXPECT_EQ(SendMessageA(App().Window(), WM_TRAY_NOTIFY, 255, WM_RBUTTONUP), 0);
    ASSERT_EQ(services.menus.size(), 1u);
    EXPECT_EQ(texts(services.menus[0]), enabled);
    App().ProcessPendingMessages();
    EXPECT_FALSE(App().Enabled());
    EXPECT_EQ(SendMessageA(App().Window(), WM_TRAY_NOTIFY, 255, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(services.menus.size(), 1u);

    // Every change of the menu reaches them, and only a change.
    ASSERT_EQ(services.published.size(), 2u);
    EXPECT_EQ(texts(services.published[1]), disabled);
    WriteSettings("[Settings]\nLeftClickLaunch=/usr/bin/top\nLaunchCaption=Top\n");
    Command(ID_TRAY_REREAD_SETTINGS);
    Command(ID_TRAY_REREAD_SETTINGS);
    ASSERT_EQ(services.published.size(), 3u);
    auto disabledWithLaunch = withLaunch;
    disabledWithLaunch[0] = disabled[0];
    EXPECT_EQ(texts(services.published[2]), disabledWithLaunch);
}

// A menu runs its own loop: timer messages are dispatched there, but the
// watch cycle only runs from the program's loop.
TEST_F(Frame, NoCycleWhileTheMenuIsOpen)
{
    WriteSettings("[Settings]\nCpuTriggerHigh=50\nCpuSmoothing=0\n");
    fake.AddProcess(10, "/usr/bin/burner");
    Start();
    Tick();
    const int samples = watcher->FindProcess(10)->SampleCount;
    int timers = 0;
    services.duringMenu = [&] {
        for (int second = 0; second < 3; ++second) {
            fake.AddCpuTime(10, 1000);
            fake.Clock().Advance(1000);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                timers += msg.message == WM_TIMER;
                DispatchMessageA(&msg);
            }
        }
    };
    SendMessageA(App().Window(), WM_TRAY_NOTIFY, 255, WM_RBUTTONUP);
    EXPECT_GE(timers, 1);
    EXPECT_EQ(watcher->FindProcess(10)->SampleCount, samples);
    EXPECT_EQ(ClassOf(10), kNormal);
    fake.AddCpuTime(10, 1000);
    Tick();
    EXPECT_EQ(watcher->FindProcess(10)->SampleCount, samples + 1);
}

TEST_F(Frame, ReloadRequests)
{
    WriteSettings("[Settings]\nCpuTriggerHigh=50\nCpuSmoothing=0\n");
    fake.AddProcess(10, "/usr/bin/burner");
    fake.AddProcess(11, "/usr/bin/game");
    Start();
    Tick();
    fake.AddCpuTime(10, 1000);
    Tick();
    ASSERT_EQ(ClassOf(10), kLow);
    const std::string rules = "[Settings]\nCpuTriggerHigh=60\nCpuTriggerLow=5\n[Rules]\nRuleStrings=game?Force Low\n";

    // 305 and 777/0: settings change in memory, nothing is touched.
    for (const auto& [id, flag] : {std::pair<UINT, LPARAM>{ID_TRAY_REREAD_SETTINGS, 1},
                                   std::pair<UINT, LPARAM>{ID_TRAY_SETTINGS_CHANGED, 0}}) {
        SCOPED_TRACE(id);
        WriteSettings(rules);
        EXPECT_EQ(Command(id, flag), 1);
        EXPECT_EQ(watcher->CpuTriggerHigh, 60);
        EXPECT_EQ(watcher->CpuTriggerLow, 5);
        ASSERT_EQ(watcher->Rules().size(), 1u);
        EXPECT_EQ(ClassOf(11), kNormal);
        EXPECT_EQ(ClassOf(10), kLow);
        EXPECT_TRUE(watcher->FindProcess(10)->IsTamed());
        WriteSettings("[Settings]\nCpuTriggerHigh=50\n");
        Command(ID_TRAY_REREAD_SETTINGS);
        EXPECT_TRUE(watcher->Rules().empty());
    }

    // 777/1 after a class was changed by hand: reset and rules applied.
    WriteSettings(rules);
    fake.Process(10)->priorityClass = kHigh;
    services.calls.clear();
    EXPECT_EQ(Command(ID_TRAY_SETTINGS_CHANGED, 1), 1);
    EXPECT_EQ(ClassOf(11), kLow);
    const ProcessObject* burner = watcher->FindProcess(10);
    EXPECT_FALSE(burner->IsTamed());
    EXPECT_EQ(burner->SmoothedCpuUse, 0.0);
    EXPECT_EQ(watcher->TamedCount, 0);
    ASSERT_FALSE(services.calls.empty());
    EXPECT_EQ(LastTip().tip, "Quelvo - Watching for processes to tame.");
}

TEST_F(Frame, MissingSettingsFileKeepsSettingsAndRules)
{
    WriteSettings("[Settings]\nCpuTriggerHigh=40\n[Rules]\nRuleStrings=game?Ignore|tool?Force High\n");
    Start();
    ASSERT_EQ(watcher->Rules().size(), 2u);
    std::filesystem::remove(folder + "/Quelvo.ini");
    EXPECT_EQ(Command(ID_TRAY_SETTINGS_CHANGED, 1), 1);
    EXPECT_EQ(watcher->CpuTriggerHigh, 40);
    EXPECT_EQ(watcher->Rules().size(), 2u);
    WriteSettings("");
    std::filesystem::permissions(folder + "/Quelvo.ini", std::filesystem::perms::none);
    Command(ID_TRAY_REREAD_SETTINGS);
    EXPECT_EQ(watcher->Rules().size(), 2u) << "unreadable or empty file";
}

TEST_F(Frame, DamagedOrForeignSettingsKeepTheSettingsHeld)
{
    const std::string good = "[Settings]\nLogging=1\nCpuTriggerHigh=40\n[Rules]\nRuleStrings=game?Ignore|tool?Force High\n";
    WriteSettings(good);
    Start();
    ASSERT_EQ(watcher->Rules().size(), 2u);
    std::string binary;
    for (int i = 0; i < 64 * 1024; ++i)
        binary += static_cast<char>((i * 131) % 256);
    struct Case {
        const char* what;
        std::string text;
        const char* logged;  // in the log line of the reload; "" for none
        int high;
        std::size_t rules;
    };
    const Case cases[] = {
        {"binary data", binary, "Failing on char ", 40, 2},
        {"text without the two sections", "[Other]\nCpuTriggerHigh=90\nRuleStrings=\n", "", 40, 2},
        {"CR line ends read as lines", "[Settings]\rCpuTriggerHigh=45\r[Rules]\rRuleStrings=game?Ignore\r", "", 45, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSettings(c.text);
        testing::internal::CaptureStderr();
        EXPECT_EQ(Command(ID_TRAY_SETTINGS_CHANGED, 1), 1);
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(watcher->CpuTriggerHigh, c.high);
        EXPECT_EQ(watcher->Rules().size(), c.rules);
        if (*c.logged != '\0') {
            EXPECT_NE(ReadLog().find(std::string(" -> ") + c.logged), std::string::npos) << ReadLog();
            EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << "once per load";
        }
    }
    // A pipe in the file's place is refused at once, with the reason.
    std::filesystem::remove(folder + "/Quelvo.ini");
    ASSERT_EQ(::mkfifo((folder + "/Quelvo.ini").c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    Command(ID_TRAY_REREAD_SETTINGS);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), folder + "/Quelvo.ini: not a regular file\n");
    EXPECT_EQ(watcher->Rules().size(), 1u);
    EXPECT_NE(ReadLog().find(": not a regular file | " + folder + "/Quelvo.ini\n"), std::string::npos) << ReadLog();
}

TEST_F(Frame, KillRuleGraceIsServedFromTheLoop)
{
    WriteSettings("[Rules]\nRuleStrings=stubborn?Force Kill|QuelvoTray.exe?Force Kill\n");
    fake.AddProcess(10, "/usr/bin/stubborn").closesOnRequest = false;
    fake.AddProcess(11, "/opt/other/QuelvoTray.exe").closesOnRequest = false;
    Start();
    EXPECT_EQ(fake.closeRequests, std::vector<DWORD>{10});
    // Sampling goes on through the grace period, off as well as on.
    Command(ID_TRAY_TOGGLE_ENABLED);
    for (int i = 0; i < 7; ++i)
        Tick(250);
    EXPECT_TRUE(fake.terminations.empty());
    Tick(250);
    ASSERT_EQ(fake.terminations.size(), 1u);
    EXPECT_EQ(fake.terminations[0].pid, 10u);
    EXPECT_NE(fake.Process(11), nullptr) << "another tray is never killed by a rule";
}

TEST_F(Frame, AnUnusableRuntimeFolderIsToldAndFails)
{
    WriteSettings("[Settings]\nLogging=1\n");
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string restore = saved != nullptr ? saved : "";
    std::ofstream(folder + "/quelvo") << "a file in the folder's place";
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    quelvo::win::SetRuntimeFolder("");
    testing::internal::CaptureStderr();
    EXPECT_EQ(App().Start(nullptr), TrayApp::StartResult::Failed);
    const std::string reason = "runtime folder " + folder + "/quelvo: not a folder";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Quelvo: " + reason + "\n");
    EXPECT_EQ(App().FailureReason(), reason);
    EXPECT_NE(ReadLog().find(" -> Cannot start | " + reason + "\n"), std::string::npos) << ReadLog();
    EXPECT_EQ(fake.journalAdoptions, 0) << "only the running instance adopts the record";
    if (saved != nullptr)
        ::setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(Frame, TheRecordOfLoweredProcessesIsAdoptedAtStartAndClosedAtTheEnd)
{
    Start();
    EXPECT_EQ(fake.journalAdoptions, 1);
    EXPECT_EQ(fake.journalClosings, 0);
    Command(ID_TRAY_EXIT);
    App().CloseDown();
    EXPECT_EQ(fake.journalClosings, 1);
}

TEST_F(Frame, ClosingFromOutsideRestoresLikeExit)
{
    const UINT closers[] = {WM_CLOSE, WM_ENDSESSION};
    for (const UINT closer : closers) {
        SCOPED_TRACE(closer);
        app.reset();
        watcher.reset();
        quelvo::win::ResetWindowManager();
        fake.ClearRecords();
        if (!fake.Process(10))
            fake.AddProcess(10, "/usr/bin/burner");
        fake.Process(10)->priorityClass = kHigh;
        WriteSettings("[Settings]\nLogging=1\nCpuTriggerHigh=50\nCpuSmoothing=0\n");
        std::filesystem::remove(folder + "/Quelvo.log");
        Start();
        Tick();
        fake.AddCpuTime(10, 1000);
        Tick();
        ASSERT_EQ(ClassOf(10), kNormal);
        PostMessageA(App().Window(), closer, TRUE, 0);
        EXPECT_FALSE(App().ProcessPendingMessages());
        EXPECT_TRUE(App().ExitRequested());
        EXPECT_EQ(ClassOf(10), kHigh);
        EXPECT_EQ(App().Window(), nullptr);
        App().CloseDown();
        EXPECT_FALSE(fake.MutexHeld(kMutexName));
        const std::string log = ReadLog();
        EXPECT_NE(log.find("Restoring Process Priority | burner\n"), std::string::npos);
        EXPECT_NE(log.find(" -> Closing Down | goodbye!\n"), std::string::npos);
    }
}

TEST_F(Frame, TaskbarRestartBringsTheIconBack)
{
    Start();
    App().ToggleEnabled();
    services.calls.clear();
    const int loads = services.loads;
    SendMessageA(App().Window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_EQ(services.loads, loads + 3);
    ASSERT_EQ(services.calls.size(), 2u);
    EXPECT_EQ(services.calls[0].message, NIM_ADD);
    EXPECT_EQ(services.calls[1].message, NIM_MODIFY);
    EXPECT_EQ(services.calls[1].tip, "Quelvo - Currently disabled.");
    EXPECT_EQ(RecordingServices::IconId(services.calls[1].icon), 104);
}

TEST_F(Frame, EventsGoToBalloonsAndLogByTheSwitches)
{
    struct Case {
        bool logging, balloons;
        std::size_t balloonCount;
        bool logged;
    };
    const Case cases[] = {{true, false, 0, true}, {false, false, 0, false}, {false, true, 1, false}, {true, true, 1, true}};
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.logging) + std::to_string(c.balloons));
        std::filesystem::remove(folder + "/Quelvo.log");
        services.calls.clear();
        options.Logging = c.logging;
        options.BalloonTips = c.balloons;
        App().OnWatcherEvent("Forcing priority Low due to explicit rule", "bad\nname");
        EXPECT_EQ(services.Balloons().size(), c.balloonCount);
        if (c.balloonCount) {
            EXPECT_EQ(services.Balloons()[0].info, "bad?name");
        }
        EXPECT_EQ(ReadLog().find("explicit rule | bad?name\n") != std::string::npos, c.logged);
    }
}

// Help, the configurator and the homepage may have nothing to open them:
// the user is told what failed and why, even with event balloons off, and
// the log says it too; a success is silent.
TEST_F(Frame, FailedOpensAreShownAndLogged)
{
    WriteSettings("[Settings]\nLogging=1\nBalloonTips=0\n");
    Start();
    struct Case {
        UINT command;
        int shellResult;
        const char* text;  // null: nothing shown
    };
    const Case cases[] = {
        {ID_TRAY_HELP, SE_ERR_FNF, "Quelvo.chm: not found"},
        {ID_TRAY_CONFIGURE, SE_ERR_NOASSOC, "QuelvoConfigurator.exe: no program to open it with"},
        {ID_TRAY_HOMEPAGE, SE_ERR_ACCESSDENIED, "https://quelvo.example.org/: access denied"},
        {ID_TRAY_HELP, 17, "Quelvo.chm: error 17"},
        {ID_TRAY_HELP, 42, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shellResult);
        services.calls.clear();
        std::filesystem::remove(folder + "/Quelvo.log");
        fake.SetShellResult(c.shellResult);
        Command(c.command);
        if (c.text == nullptr) {
            EXPECT_TRUE(services.Balloons().empty());
            EXPECT_EQ(ReadLog(), "");
            continue;
        }
        ASSERT_EQ(services.Balloons().size(), 1u);
        EXPECT_EQ(services.Balloons()[0].title, kEventOpenFailed);
        EXPECT_EQ(services.Balloons()[0].info, c.text);
        EXPECT_NE(ReadLog().find(std::string(" -> Could not open | ") + c.text + "\n"), std::string::npos) << ReadLog();
    }
}

TEST_F(Frame, AboutShowsTheStatusUnderTheText)
{
    Start();
    Command(ID_TRAY_ABOUT);
    ASSERT_EQ(services.abouts.size(), 1u);
    EXPECT_EQ(services.abouts[0], AboutDialogText("Watching for processes to tame."));
}

TEST_F(Frame, DoubleClickByMethod)
{
    fake.AddFile("/usr/bin/tool");
    WriteSettings("[Settings]\n");
    Start();
    struct Case {
        int method;
        const char* launch;
        const char* shellFile;  // "" for none
        bool enabledAfter;
    };
    const Case cases[] = {
        {0, "/usr/bin/tool", "QuelvoConfigurator.exe", true},
        {1, "/usr/bin/tool", "/usr/bin/tool", true},
        {1, "", "QuelvoConfigurator.exe", true},
        {2, "/usr/bin/tool", "", false},
        {-1, "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        fake.shellCalls.clear();
        options.DoubleClickMethod = c.method;
        options.LeftClickLaunch = c.launch;
        EXPECT_EQ(SendMessageA(App().Window(), WM_TRAY_NOTIFY, 255, WM_LBUTTONDBLCLK), 0);
        if (*c.shellFile == '\0') {
            EXPECT_TRUE(fake.shellCalls.empty());
        } else {
            ASSERT_EQ(fake.shellCalls.size(), 1u);
            EXPECT_EQ(fake.shellCalls[0].file, c.shellFile);
        }
        EXPECT_EQ(App().Enabled(), c.enabledAfter);
    }
}

TEST_F(Frame, ConfiguratorIsFoundAfreshAndAskedToClose)
{
    Start();
    Command(ID_TRAY_TOGGLE_ENABLED);  // disabled: the table is not refreshed
    fake.AddProcess(50, "/opt/quelvo/QuelvoConfigurator.exe");
    const HWND configWindow = fake.AddWindow(50);
    Command(ID_TRAY_CONFIGURE);
    EXPECT_TRUE(fake.shellCalls.empty()) << "a second configurator must not start";
    bool closeSent = false;
    for (const auto& m : fake.messages)
        closeSent = closeSent || (m.window == configWindow && m.message == WM_CLOSE);
    EXPECT_TRUE(closeSent);
    EXPECT_EQ(fake.Process(50), nullptr);
    Command(ID_TRAY_CONFIGURE);
    ASSERT_EQ(fake.shellCalls.size(), 1u);
    EXPECT_EQ(fake.shellCalls[0].file, "QuelvoConfigurator.exe");
}

TEST_F(Frame, UserToolOnlyFromAPrivateSettingsFile)
{
    fake.AddFile("/usr/bin/tool");
    WriteSettings("[Settings]\nLeftClickLaunch=/usr/bin/tool -v\nLaunchCaption=Tool\n");
    Start();
    namespace fs = std::filesystem;
    const fs::perms privateFile = fs::perms::owner_read | fs::perms::owner_write;
    struct Case {
        const char* what;
        fs::perms file;
        fs::perms dir;
        bool launched;
    };
    const Case cases[] = {
        {"private", privateFile, fs::perms::owner_all, true},
        {"file writable by others", privateFile | fs::perms::others_write, fs::perms::owner_all, false},
        {"file writable by group", privateFile | fs::perms::group_write, fs::perms::owner_all, false},
        {"folder writable by others", privateFile, fs::perms::owner_all | fs::perms::others_all, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::permissions(folder + "/Quelvo.ini", c.file);
        fs::permissions(folder, c.dir);
        fake.shellCalls.clear();
        services.calls.clear();
        Command(ID_TRAY_LAUNCH_TOOL);
        EXPECT_EQ(fake.shellCalls.size(), c.launched ? 1u : 0u);
        if (!c.launched) {
            ASSERT_EQ(services.Balloons().size(), 1u);
            EXPECT_EQ(services.Balloons()[0].title, kEventLaunchRefused);
        }
    }
    fs::permissions(folder, fs::perms::owner_all);
}

TEST_F(Frame, CompanionProtocol)
{
    Start();
    fake.onSend = [](const quelvo::sys::FakeMessage&) { return LRESULT{0}; };
    // Not running: started, even without a window yet.
    EXPECT_EQ(SendMessageA(App().Window(), WM_TRAY_LAUNCH_APP, 0, 0), 0);
    ASSERT_EQ(fake.createdProcesses.size(), 1u);
    EXPECT_EQ(fake.createdProcesses[0].request.application, "Quelvo.exe");
    const DWORD pid = fake.createdProcesses[0].pid;
    EXPECT_EQ(App().CompanionPid(), pid);
    // Running with a window: found, not started again.
    const HWND window = fake.AddWindow(pid);
    EXPECT_TRUE(App().LaunchCompanionApp());
    EXPECT_TRUE(App().CompanionRunning());
    EXPECT_EQ(fake.createdProcesses.size(), 1u);
    // Closing: told first, then asked to close.
    EXPECT_TRUE(App().CloseCompanionApp());
    ASSERT_FALSE(fake.messages.empty());
    bool told = false;
    for (const auto& m : fake.messages)
        told = told || (m.window == window && m.message == WM_TRAY_APP_CLOSING &&
                        m.lParam == reinterpret_cast<LPARAM>(App().Window()));
    EXPECT_TRUE(told);
    EXPECT_EQ(fake.Process(pid), nullptr);
    EXPECT_FALSE(App().CompanionRunning());
    fake.SetCreateProcessFails(true);
    EXPECT_FALSE(App().LaunchCompanionApp());
}

}  // namespace
