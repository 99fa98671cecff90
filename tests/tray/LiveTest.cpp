// The tray program itself on this machine: it lowers a child that burns
// every processor, raises it once it is idle, keeps to one instance,
// restores on SIGTERM and applies a rule on a reload request. Needs the
// right to raise priorities again (root or CAP_SYS_NICE); skipped without.
// As root the tray and its burners run sealed in a pid namespace of their
// own, so neither touches nor is touched by other programs.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/window_directory.h"
#include "tests/common/live.h"
#include "tests/platform/desktop/FakeDesktop.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace {

namespace fs = std::filesystem;
namespace live = quelvo::test::live;
using namespace std::chrono_literals;

// The tray's settings for a test. The upper threshold is set from what the
// burner really gets on this machine at the moment, so the decision to
// lower it is reachable however busy the machine is; a lower threshold of
// 0 keeps the tray from raising a busy burner on its own.
std::string Settings(int high, int low, bool balloons = false)
{
    return "[Settings]\nLogging=1\nBalloonTips=" + std::string(balloons ? "1" : "0") +
           "\nCpuTriggerHigh=" + std::to_string(high) + "\nCpuTriggerLow=" + std::to_string(low) +
           "\nCpuSmoothing=0\nCpuMinInterval=2\n";
}

const std::string kSettings = Settings(50, 8);

fs::path OwnFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

// The nice value of a process; 99 when unreadable.
int NiceOf(pid_t pid)
{
    const std::string nice = live::StatField(live::StatFields("/proc/" + std::to_string(pid) + "/stat"), 19);
    return nice.empty() ? 99 : std::atoi(nice.c_str());
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

// Waits for a child to end; its exit status, or -1 on time out.
int WaitExit(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    const bool ended = WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit);
    if (!ended)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class LiveTray : public testing::Test {
protected:
    void SetUp() override
    {
        if (!live::MayRaisePriorities())
            GTEST_SKIP() << "needs root, or RLIMIT_NICE of 20, to give priorities back";
        // As root the tray sees nothing but what the test starts.
        if (::geteuid() == 0) {
            ASSERT_TRUE(live::Sealed()) << "not in a pid namespace of its own";
        }
        std::string pattern = (OwnFolder() / "tray-live-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        fs::permissions(folder_, fs::perms::owner_all);
        fs::create_directory(folder_ / "runtime");
        fs::permissions(folder_ / "runtime", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (folder_ / "runtime").c_str(), 1);
        // A home of its own: the one-tray-per-user lock and the record of
        // lowered processes live below it, and a tray of another test run
        // on this machine holds its own.
        fs::create_directory(folder_ / "home");
        ::setenv("HOME", (folder_ / "home").c_str(), 1);
        ::unsetenv("XDG_STATE_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        quelvo::win::SetRuntimeFolder((folder_ / "runtime" / "quelvo").string());
        // The program finds its settings beside itself.
        Place("QuelvoTray.exe", "QuelvoTray.exe");
        // A name of this test's own, so that no rule or tray of another
        // test on the machine takes it for its burner.
        burnerName_ = "burner_" + folder_.filename().string().substr(10);
        Place("tray_test_burner", burnerName_);
        WriteSettings(kSettings);
    }

    void TearDown() override
    {
        // SIGTERM first: a tray gives back whatever it lowered on the way.
        for (const pid_t pid : children_)
            ::kill(pid, SIGTERM);
        for (const pid_t pid : children_) {
            if (WaitExit(pid, 10s) < 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
        std::error_code ec;
        if (!folder_.empty())
            fs::remove_all(folder_, ec);
    }

    void Place(const std::string& program, const std::string& name)
    {
        std::error_code ec;
        fs::create_hard_link(OwnFolder() / program, folder_ / name, ec);
        if (ec)
            fs::copy_file(OwnFolder() / program, folder_ / name);
    }

    void WriteSettings(const std::string& text)
    {
        const fs::path path = folder_ / "Quelvo.ini";
        const fs::path temporary = folder_ / "Quelvo.ini.new";
        std::ofstream(temporary, std::ios::binary) << text;
        fs::rename(temporary, path);
    }

    std::string Log() const
    {
        std::ifstream in(folder_ / "Quelvo.log", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }
    // The line of an action follows the action itself.
    bool WaitLogged(const std::string& text) const
    {
        return WaitFor([&] { return Logged(text); }, 5s);
    }

    pid_t Spawn(const std::string& program, const std::vector<std::string>& args)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Started from elsewhere: the program must find its own folder.
            if (::chdir("/") != 0)
                ::_exit(126);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        children_.push_back(pid);
        return pid;
    }
    pid_t StartTray()
    {
        const pid_t pid = Spawn((folder_ / "QuelvoTray.exe").string(), {});
        EXPECT_TRUE(WaitFor([&] { return Logged("Starting Up | hello world!"); }, 60s)) << "tray did not start";
        return pid;
    }
    pid_t StartBurner(bool idle = false)
    {
        return Spawn((folder_ / burnerName_).string(), idle ? std::vector<std::string>{"idle"}
                                                                       : std::vector<std::string>{});
    }
    void Forget(pid_t pid) { std::erase(children_, pid); }

    // A burner at full speed, and the tray watching it with an upper
    // threshold of half the share the burner got over the last second.
    // The burner rests while the tray starts: beside its threads a start
    // takes many times longer on a busy machine. With balloons the tray
    // starts talking to the session bus, which the test must serve: the
    // test calls Toggle once the tray is up.
    pid_t StartBurnerAndTray(int low, bool balloons = false)
    {
        const pid_t burner = StartBurner();
        const live::ShareMeter share(burner);
        std::this_thread::sleep_for(1s);
        threshold_ = std::clamp(static_cast<int>(share.MachinePercent() / 2), 0, 50);
        WriteSettings(Settings(threshold_, low, balloons));
        Toggle(burner);
        if (balloons) {
            tray_ = Spawn((folder_ / "QuelvoTray.exe").string(), {});
            return burner;
        }
        tray_ = StartTray();
        Toggle(burner);
        return burner;
    }
    // Busy to idle and back.
    static void Toggle(pid_t burner) { ::kill(burner, SIGUSR1); }

    // Whether the burner gets lowered; says what it got meanwhile when not.
    testing::AssertionResult WaitLowered(pid_t burner) const
    {
        const live::ShareMeter share(burner);
        if (WaitFor([&] { return NiceOf(burner) == 19; }, 20s))
            return testing::AssertionSuccess();
        return testing::AssertionFailure() << "not lowered: nice " << NiceOf(burner) << " after holding "
                                           << share.MachinePercent() << " % of the machine against a threshold of "
                                           << threshold_ << " %\n"
                                           << Log();
    }

    // A line the tray logs about the burner.
    bool WaitLoggedOfBurner(const std::string& event) const { return WaitLogged(" -> " + event + " | " + burnerName_ + "\n"); }

    std::string burnerName_;
    pid_t tray_ = 0;
    int threshold_ = 0;
    fs::path folder_;

private:
    std::vector<pid_t> children_;
};

TEST_F(LiveTray, LowersABurnerAndRaisesItOnceIdle)
{
    // Idle, the burner uses nothing: a lower threshold of 1 % raises it.
    const pid_t burner = StartBurnerAndTray(1);
    ASSERT_TRUE(WaitLowered(burner));
    EXPECT_TRUE(WaitLoggedOfBurner("Lowering Process Priority ")) << Log();
    Toggle(burner);
    EXPECT_TRUE(WaitFor([&] { return NiceOf(burner) == 0; }, 20s)) << "nice " << NiceOf(burner);
    EXPECT_TRUE(WaitLoggedOfBurner("Increasing Process Priority")) << Log();
}

TEST_F(LiveTray, SecondTrayLeavesAtOnce)
{
    const pid_t first = StartTray();
    const pid_t second = Spawn((folder_ / "QuelvoTray.exe").string(), {});
    EXPECT_EQ(WaitExit(second, 15s), 0);
    Forget(second);
    int status = 0;
    EXPECT_EQ(::waitpid(first, &status, WNOHANG), 0) << "the first one keeps running";
}

TEST_F(LiveTray, TerminationSignalRestoresBeforeLeaving)
{
    // Never raised by the tray itself: only the restore can give it back.
    const pid_t burner = StartBurnerAndTray(0);
    const pid_t tray = tray_;
    ASSERT_TRUE(WaitLowered(burner));
    ::kill(tray, SIGTERM);
    EXPECT_EQ(WaitExit(tray, 15s), 0);
    Forget(tray);
    EXPECT_EQ(NiceOf(burner), 0);
    EXPECT_TRUE(WaitLoggedOfBurner("Restoring Process Priority")) << Log();
    EXPECT_TRUE(WaitLogged(" -> Closing Down | goodbye!\n")) << Log();
}

TEST_F(LiveTray, ReloadRequestAppliesANewRule)
{
    const pid_t burner = StartBurner(true);
    const pid_t tray = StartTray();
    ASSERT_EQ(NiceOf(burner), 0);
    WriteSettings(kSettings + "[Rules]\nRuleStrings=" + burnerName_ + "?Force Low\n");
    // A client of our own, as the configurator sends it.
    quelvo::win::InstallWindowDirectory();
    std::vector<HWND> windows;
    ASSERT_TRUE(WaitFor([&] {
        windows = quelvo::sys::WindowsOfProcess(static_cast<DWORD>(tray));
        return !windows.empty();
    }, 20s));
    EXPECT_EQ(quelvo::sys::Windows().SendMessageTo(windows.front(), WM_COMMAND, 777, 1), 1);
    EXPECT_TRUE(WaitFor([&] { return NiceOf(burner) == 19; }, 10s)) << "nice " << NiceOf(burner);
    EXPECT_TRUE(WaitLoggedOfBurner("Forcing priority Low due to explicit rule")) << Log();
}

// On a session bus with a notification area and a notification service:
// the icon is registered and the lowering shows as a balloon.
TEST_F(LiveTray, IconAndBalloonOnTheSessionBus)
{
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr)
        GTEST_SKIP() << "no private session bus";
    namespace dt = quelvo::desktop::testing;
    dt::FakeWatcher area;
    dt::FakeNotificationServer notifications({"body"});
    ASSERT_TRUE(area.Ok());
    ASSERT_TRUE(notifications.Ok());
    dt::Pump pump;
    pump.Add(&area.Connection());
    pump.Add(&notifications.Connection());
    const pid_t burner = StartBurnerAndTray(0, true);
    EXPECT_TRUE(pump.Until([&] { return !area.Registrations().empty(); }, std::chrono::seconds(60)));
    Toggle(burner);
    const auto lowered = [&] {
        for (const auto& n : notifications.Received())
            if (n.summary == "Lowering Process Priority " && n.body == burnerName_)
                return true;
        return false;
    };
    const live::ShareMeter share(burner);
    EXPECT_TRUE(pump.Until(lowered, std::chrono::seconds(20)))
        << "no balloon; nice " << NiceOf(burner) << " after holding " << share.MachinePercent()
        << " % of the machine against a threshold of " << threshold_ << " %";
}

}  // namespace
