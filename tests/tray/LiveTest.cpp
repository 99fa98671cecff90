// The tray program itself on this machine: it lowers a child that burns
// every processor, raises it once it is idle, keeps to one instance,
// restores on SIGTERM and applies a rule on a reload request. Needs the
// right to raise priorities again (root or CAP_SYS_NICE); skipped without.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
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
#include "tests/platform/desktop/FakeDesktop.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kSettings =
    "[Settings]\nLogging=1\nBalloonTips=0\nCpuTriggerHigh=50\nCpuTriggerLow=8\nCpuSmoothing=0\nCpuMinInterval=2\n";

fs::path OwnFolder()
{
    return fs::read_symlink("/proc/self/exe").parent_path();
}

bool MayRaisePriorities()
{
    if (::geteuid() == 0)
        return true;
    rlimit limit{};
    return ::getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 20;
}

// The fields of a process's stat file from the third (its state) on;
// empty when unreadable.
std::vector<std::string> StatFields(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto close = stat.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos || close + 2 > stat.size())
        return fields;
    std::istringstream in2(stat.substr(close + 2));
    for (std::string field; in2 >> field;)
        fields.push_back(field);
    return fields;
}

// Field n (counted from 1, as the stat file's manual does) of a stat file.
std::string StatField(const std::vector<std::string>& fields, std::size_t n)
{
    return n >= 3 && n - 3 < fields.size() ? fields[n - 3] : std::string();
}

// The nice value of a process; 99 when unreadable.
int NiceOf(pid_t pid)
{
    const std::string nice = StatField(StatFields(pid), 19);
    return nice.empty() ? 99 : std::atoi(nice.c_str());
}

// Processor time of a process in seconds (user and system); 0 when unreadable.
double CpuSecondsOf(pid_t pid)
{
    const auto fields = StatFields(pid);
    const double ticks = std::atof(StatField(fields, 14).c_str()) + std::atof(StatField(fields, 15).c_str());
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// What a process held of the whole machine since a reading of its time.
class MachineShare {
public:
    explicit MachineShare(pid_t pid) : pid_(pid), cpu_(CpuSecondsOf(pid)) {}
    double Now() const
    {
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const double processors = std::max(1u, std::thread::hardware_concurrency());
        return wall <= 0 ? 0 : (CpuSecondsOf(pid_) - cpu_) / (wall * processors);
    }
    // Too little to pass a threshold of half the machine.
    bool Starved() const { return Now() < 0.6; }

private:
    pid_t pid_;
    double cpu_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

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
        if (!MayRaisePriorities())
            GTEST_SKIP() << "needs root, or RLIMIT_NICE of 20, to give priorities back";
        std::string pattern = (OwnFolder() / "tray-live-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        fs::permissions(folder_, fs::perms::owner_all);
        fs::create_directory(folder_ / "runtime");
        fs::permissions(folder_ / "runtime", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (folder_ / "runtime").c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        quelvo::win::SetRuntimeFolder((folder_ / "runtime" / "quelvo").string());
        // The program finds its settings beside itself.
        std::error_code ec;
        fs::create_hard_link(OwnFolder() / "QuelvoTray.exe", folder_ / "QuelvoTray.exe", ec);
        if (ec)
            fs::copy_file(OwnFolder() / "QuelvoTray.exe", folder_ / "QuelvoTray.exe");
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
        EXPECT_TRUE(WaitFor([&] { return Logged("Starting Up | hello world!"); }, 20s)) << "tray did not start";
        return pid;
    }
    pid_t StartBurner(bool idle = false)
    {
        return Spawn((OwnFolder() / "tray_test_burner").string(), idle ? std::vector<std::string>{"idle"}
                                                                       : std::vector<std::string>{});
    }
    void Forget(pid_t pid) { std::erase(children_, pid); }

    enum class Outcome { Lowered, Starved, NotLowered };
    // Waits for the burner to be lowered. When it is not, tells whether it
    // ever held enough of the machine to pass the threshold: on a machine
    // busy with other work it cannot, and the case proves nothing.
    Outcome WaitLowered(pid_t burner)
    {
        const MachineShare share(burner);
        if (WaitFor([&] { return NiceOf(burner) == 19; }, 20s))
            return Outcome::Lowered;
        return share.Starved() ? Outcome::Starved : Outcome::NotLowered;
    }

    fs::path folder_;

private:
    std::vector<pid_t> children_;
};

TEST_F(LiveTray, LowersABurnerAndRaisesItOnceIdle)
{
    const pid_t burner = StartBurner();
    StartTray();
    const Outcome outcome = WaitLowered(burner);
    if (outcome == Outcome::Starved)
        GTEST_SKIP() << "the machine is too busy for the child to hold half of it";
    ASSERT_EQ(outcome, Outcome::Lowered) << "nice " << NiceOf(burner);
    EXPECT_TRUE(WaitLogged(" -> Lowering Process Priority  | tray_test_burner\n")) << Log();
    ::kill(burner, SIGUSR1);
    EXPECT_TRUE(WaitFor([&] { return NiceOf(burner) == 0; }, 20s)) << "nice " << NiceOf(burner);
    EXPECT_TRUE(WaitLogged(" -> Increasing Process Priority | tray_test_burner\n")) << Log();
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
    const pid_t burner = StartBurner();
    const pid_t tray = StartTray();
    const Outcome outcome = WaitLowered(burner);
    if (outcome == Outcome::Starved)
        GTEST_SKIP() << "the machine is too busy for the child to hold half of it";
    ASSERT_EQ(outcome, Outcome::Lowered) << "nice " << NiceOf(burner);
    ::kill(tray, SIGTERM);
    EXPECT_EQ(WaitExit(tray, 15s), 0);
    Forget(tray);
    EXPECT_EQ(NiceOf(burner), 0);
    EXPECT_TRUE(WaitLogged(" -> Restoring Process Priority | tray_test_burner\n")) << Log();
    EXPECT_TRUE(WaitLogged(" -> Closing Down | goodbye!\n")) << Log();
}

TEST_F(LiveTray, ReloadRequestAppliesANewRule)
{
    const pid_t burner = StartBurner(true);
    const pid_t tray = StartTray();
    ASSERT_EQ(NiceOf(burner), 0);
    WriteSettings(kSettings + "[Rules]\nRuleStrings=tray_test_burner?Force Low\n");
    // A client of our own, as the configurator sends it.
    quelvo::win::InstallWindowDirectory();
    std::vector<HWND> windows;
    ASSERT_TRUE(WaitFor([&] {
        windows = quelvo::sys::WindowsOfProcess(static_cast<DWORD>(tray));
        return !windows.empty();
    }, 20s));
    EXPECT_EQ(quelvo::sys::Windows().SendMessageTo(windows.front(), WM_COMMAND, 777, 1), 1);
    EXPECT_TRUE(WaitFor([&] { return NiceOf(burner) == 19; }, 10s)) << "nice " << NiceOf(burner);
    EXPECT_TRUE(WaitLogged(" -> Forcing priority Low due to explicit rule | tray_test_burner\n")) << Log();
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
    std::string settings = kSettings;
    settings.replace(settings.find("BalloonTips=0"), 13, "BalloonTips=1");
    WriteSettings(settings);
    const pid_t burner = StartBurner();
    Spawn((folder_ / "QuelvoTray.exe").string(), {});
    EXPECT_TRUE(pump.Until([&] { return !area.Registrations().empty(); }, std::chrono::seconds(20)));
    const auto lowered = [&] {
        for (const auto& n : notifications.Received())
            if (n.summary == "Lowering Process Priority " && n.body == "tray_test_burner")
                return true;
        return false;
    };
    const MachineShare share(burner);
    if (!pump.Until(lowered, std::chrono::seconds(20))) {
        if (share.Starved())
            GTEST_SKIP() << "the machine is too busy for the child to hold half of it";
        FAIL() << "no balloon; nice " << NiceOf(burner);
    }
}

}  // namespace
