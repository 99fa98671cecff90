// The window in this process with a real tray program in its folder: a
// double click on "Not Running" starts the tray (one, however often the
// user clicks), whose log the Log page then follows; a double click on
// "Running" closes it, and the tray gives back what it lowered before it
// goes. As root everything runs sealed in a pid namespace of its own, so
// the tray sees nothing but what the test starts.
#include "tests/configurator/ScriptedFixture.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "components/treelist/cxTL.h"
#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/hostlib/stdctrls/richedit.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/windows/loop.h"
#include "tests/common/live.h"

using namespace configuratortest;
using namespace hostlib;
namespace fs = std::filesystem;
namespace live = quelvo::test::live;
using namespace std::chrono_literals;

namespace {

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

std::string TraySettings(int high)
{
    return "[Settings]\nLogging=1\nBalloonTips=0\nCpuTriggerHigh=" + std::to_string(high) +
           "\nCpuTriggerLow=0\nCpuSmoothing=0\nCpuMinInterval=2\n";
}

class TrayFromTheWindow : public ConfiguratorTest {
protected:
    void SetUp() override
    {
        if (::geteuid() == 0) {
            ASSERT_TRUE(live::Sealed()) << "not in a pid namespace of its own";
        }
        ConfiguratorTest::SetUp();
        for (const char* sub : {"runtime", "home"}) {
            fs::create_directory(private_.File(sub));
            fs::permissions(private_.File(sub), fs::perms::owner_all);
        }
        // What the tray inherits: a home and runtime folder of its own, no
        // desktop, no session bus.
        ::setenv("XDG_RUNTIME_DIR", private_.File("runtime").c_str(), 1);
        ::setenv("HOME", private_.File("home").c_str(), 1);
        for (const char* name : {"XDG_STATE_HOME", "DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
            ::unsetenv(name);
        quelvo::win::SetRuntimeFolder(private_.File("runtime") + "/quelvo");
        fs::permissions(folder.Path(), fs::perms::owner_all);
        std::error_code ec;
        fs::create_hard_link(QUELVO_TRAY, folder.File("QuelvoTray.exe"), ec);
        if (ec) fs::copy_file(QUELVO_TRAY, folder.File("QuelvoTray.exe"));
        burnerName_ = "burner_" + fs::path(folder.Path()).filename().string().substr(12);
        fs::copy_file(QUELVO_BURNER, folder.File(burnerName_));
        // The shell starts the tray from the current folder, the window's.
        ownFolder_ = fs::current_path();
        cfg::SetSetup(cfg::Setup{folder.Path() + "/", true});
    }
    void TearDown() override
    {
        if (form) {
            form->Free();
            form = nullptr;
        }
        // SIGTERM first: a tray gives back what it lowered on the way. The
        // shell started it, so it is not our child.
        for (const pid_t pid : Trays()) ::kill(pid, SIGTERM);
        if (!WaitFor([&] { return Trays().empty(); }, 10s))
            for (const pid_t pid : Trays()) ::kill(pid, SIGKILL);
        if (burner_ > 0) {
            ::kill(burner_, SIGKILL);
            ::waitpid(burner_, nullptr, 0);
        }
        std::error_code ec;
        fs::current_path(ownFolder_, ec);
        ConfiguratorTest::TearDown();
    }

    // The running trays of this folder.
    std::vector<pid_t> Trays() const
    {
        std::vector<pid_t> pids;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/proc", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            std::error_code linkError;
            if (fs::read_symlink(entry.path() / "exe", linkError) == fs::path(folder.File("QuelvoTray.exe")))
                pids.push_back(static_cast<pid_t>(std::stoi(name)));
        }
        return pids;
    }
    std::string Log() const { return TempFolder::Read(folder.File("Quelvo.log")); }
    void DoubleClick(TLabel* label)
    {
        Screen().DoubleClick(label->ClientToScreen(POINT{8, label->Height() / 2}));
        Pump();
    }
    int GreenPixels(TLabel* label) { return CountPixels(form, label, Rgb(0, 128, 0)); }
    int RedPixels(TLabel* label) { return CountPixels(form, label, Rgb(255, 0, 0)); }
    // A burner's share of the machine over a second, halved: a threshold
    // it is above however busy the machine is.
    int StartBurnerForThreshold()
    {
        const std::string program = folder.File(burnerName_);
        burner_ = ::fork();
        if (burner_ == 0) {
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const live::ShareMeter share(burner_);
        std::this_thread::sleep_for(1s);
        return std::clamp(static_cast<int>(share.MachinePercent() / 2), 0, 50);
    }
    // The burner rests while the tray starts, which takes long beside it.
    void ToggleBurner() { ::kill(burner_, SIGUSR1); }
    // The tray started as a user starts it, from elsewhere.
    void StartTray()
    {
        const std::string program = folder.File("QuelvoTray.exe");
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir("/") != 0) ::_exit(126);
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    // The burner's row on the Processes page; none while it has none.
    TcxTreeListNode* BurnerRow() const
    {
        for (int i = 0; i < form->cxTreeListProcesses->Count(); ++i) {
            TcxTreeListNode* row = form->cxTreeListProcesses->Items(i);
            if (row->GetText(2) == burnerName_) return row;
        }
        return nullptr;
    }

    TempFolder private_;
    std::string burnerName_;
    pid_t burner_ = -1;

private:
    fs::path ownFolder_;
};

TEST_F(TrayFromTheWindow, DoubleClicksStartOneTrayWhoseLogThePageFollows)
{
    folder.Write("Quelvo.ini", TraySettings(50));
    Open();
    Ticks(1);
    TLabel* label = form->QuelvoRunningLabel;
    ASSERT_EQ(label->Caption(), "Not Running");
    ASSERT_GT(RedPixels(label), 10);

    // Twice within one tick: the second tray leaves at once.
    DoubleClick(label);
    DoubleClick(label);
    EXPECT_TRUE(WaitFor([&] { return !Trays().empty(); }, 1s)) << "no tray started";
    ASSERT_TRUE(WaitFor([&] { return Log().find(" -> Starting Up | hello world!\n") != std::string::npos; }, 60s))
        << Log();
    EXPECT_TRUE(WaitFor([&] { return Trays().size() == 1; }, 15s)) << Trays().size() << " trays";
    Ticks(2);
    EXPECT_EQ(label->Caption(), "Running");
    EXPECT_GT(GreenPixels(label), 10);
    EXPECT_EQ(RedPixels(label), 0);
    EXPECT_EQ(Trays().size(), 1u);

    // The Log page shows the tray's lines, and each new one within a tick.
    ClickTab(form, 2);
    Pump();
    ASSERT_EQ(form->PageControl->ActivePage(), form->LogTabSheet);
    EXPECT_NE(form->LogRichEdit->Text().find("Starting Up | hello world!"), std::string::npos)
        << form->LogRichEdit->Text();
    for (int i = 0; i < 2; ++i) {
        const std::string line = "Fri Dec 11 10:00:0" + std::to_string(i) + " 2026  -> Test line | " +
                                 std::to_string(i) + "\n";
        std::ofstream(folder.File("Quelvo.log"), std::ios::binary | std::ios::app) << line;
        Ticks(1);
        EXPECT_NE(form->LogRichEdit->Text().find("Test line | " + std::to_string(i)), std::string::npos) << i;
    }
}

TEST_F(TrayFromTheWindow, ADoubleClickOnRunningClosesTheTrayWhichGivesBackWhatItLowered)
{
    if (!live::MayRaisePriorities()) GTEST_SKIP() << "needs root, or RLIMIT_NICE of 20, to give priorities back";
    const int threshold = StartBurnerForThreshold();
    folder.Write("Quelvo.ini", TraySettings(threshold));
    ToggleBurner();
    Open();
    Ticks(1);
    TLabel* label = form->QuelvoRunningLabel;
    DoubleClick(label);
    ASSERT_TRUE(WaitFor([&] { return Log().find(" -> Starting Up | hello world!\n") != std::string::npos; }, 60s))
        << Log();
    ToggleBurner();
    Ticks(2);
    ASSERT_EQ(label->Caption(), "Running");
    const std::vector<pid_t> trays = Trays();
    ASSERT_EQ(trays.size(), 1u);
    const live::ShareMeter share(burner_);
    ASSERT_TRUE(WaitFor([&] { return live::AllAt(burner_, 19); }, 20s))
        << "not lowered after holding " << share.MachinePercent() << " % of the machine against " << threshold
        << " %\n" << Log();

    const auto asked = std::chrono::steady_clock::now();
    DoubleClick(label);
    EXPECT_TRUE(WaitFor([&] { return ::kill(trays[0], 0) != 0; }, 3s)) << "the tray is still there";
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 3500ms);
    EXPECT_TRUE(live::AllAt(burner_, 0)) << "given back before the tray went";
    const std::string log = Log();
    const std::string last = " -> Closing Down | goodbye!\n";
    EXPECT_TRUE(log.size() >= last.size() && log.compare(log.size() - last.size(), last.size(), last) == 0) << log;
    EXPECT_NE(log.find("Lowering Process Priority"), std::string::npos) << log;
    Ticks(2);
    EXPECT_EQ(label->Caption(), "Not Running");
    EXPECT_GT(RedPixels(label), 10);
    EXPECT_EQ(GreenPixels(label), 0);
}

}  // namespace

TEST_F(TrayFromTheWindow, TheProcessListShowsTheBurnersShareAndThePriorityTheTrayGaveIt)
{
    if (!live::MayRaisePriorities()) GTEST_SKIP() << "needs root, or RLIMIT_NICE of 20, to give priorities back";
    const int threshold = StartBurnerForThreshold();
    folder.Write("Quelvo.ini", TraySettings(threshold) + "[GuiConfig]\nActivePage=0\nHideLowCPUs=0\n");
    ToggleBurner();
    Open();
    ASSERT_FALSE(form->HideLowCheckBox->Checked());
    Ticks(2);
    ASSERT_NE(BurnerRow(), nullptr) << "no row for " << burnerName_;
    EXPECT_EQ(BurnerRow()->GetText(3), "Normal");

    StartTray();
    ASSERT_TRUE(WaitFor([&] { return Log().find(" -> Starting Up | hello world!\n") != std::string::npos; }, 60s))
        << Log();
    ToggleBurner();
    const live::ShareMeter share(burner_);
    ASSERT_TRUE(WaitFor([&] { return live::AllAt(burner_, 19); }, 20s))
        << "not lowered after holding " << share.MachinePercent() << " % of the machine against " << threshold
        << " %\n" << Log();

    // Two ticks of the window a second apart, each between two readings of
    // what the burner got: its instant cell lies within what the kernel
    // gave it between the two samples.
    const live::Reading beforeStart = live::ReadNow(burner_);
    Ticks(1);
    const live::Reading afterStart = live::ReadNow(burner_);
    std::this_thread::sleep_for(1s);
    const live::Reading beforeEnd = live::ReadNow(burner_);
    Ticks(1);
    const live::Reading afterEnd = live::ReadNow(burner_);
    TcxTreeListNode* row = BurnerRow();
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetText(3), "Low") << "the class the tray gave it";
    const live::ShareBounds got = live::Bounds(beforeStart, afterStart, beforeEnd, afterEnd);
    const double percent = 100.0 / live::OnlineProcessors();
    const int shown = row->GetValue(0).AsInteger();
    EXPECT_GE(shown, static_cast<int>(std::floor(got.least * percent)) - 1);
    EXPECT_LE(shown, static_cast<int>(std::ceil(got.most * percent)) + 1);
    EXPECT_NE(Log().find("Lowering Process Priority"), std::string::npos) << Log();
}
