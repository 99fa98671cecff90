// The tray program under faults, on the real kernel: a closed pipe as its
// output, a kill -9 and the next tray, a program that runs another one
// through exec, a named pipe as its settings file, a runtime folder someone
// else made first, two sessions of one user, and a kill rule that names the
// tray itself. Each tray runs in a folder of its own with its own home.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/scope_guard.h"
#include "tests/common/live.h"

namespace {

namespace fs = std::filesystem;
namespace live = quelvo::test::live;
using namespace std::chrono_literals;

fs::path OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

int NiceOf(pid_t pid)
{
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(pid));
    return errno == 0 ? nice : 99;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

// A child's exit status (128 + signal when killed), or -1 on time out.
int WaitExit(pid_t pid, std::chrono::milliseconds limit)
{
    int status = 0;
    if (!WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit)) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool Running(pid_t pid)
{
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Lowers a process whose use passes high % of the machine, at once, and
// never raises it on its own: what gives it back here is what is tested.
std::string SettingsLoweringAbove(int high)
{
    return "[Settings]\nLogging=1\nBalloonTips=0\nCpuTriggerHigh=" + std::to_string(high) +
           "\nCpuTriggerLow=0\nCpuSmoothing=0\nCpuMinInterval=1\n";
}

const std::string kSettings = SettingsLoweringAbove(10);

// One installation of the tray: its folder with the program and settings,
// its own home (so its per-user state is its own), its own runtime folder.
class Installation {
public:
    explicit Installation(const fs::path& under, const std::string& name) : folder_(under / name)
    {
        fs::create_directories(folder_ / "home");
        fs::create_directories(folder_ / "runtime");
        fs::permissions(folder_, fs::perms::owner_all);
        fs::permissions(folder_ / "runtime", fs::perms::owner_all);
        std::error_code ec;
        fs::create_hard_link(OwnFolder() / "QuelvoTray.exe", folder_ / "QuelvoTray.exe", ec);
        if (ec) fs::copy_file(OwnFolder() / "QuelvoTray.exe", folder_ / "QuelvoTray.exe");
        Settings(kSettings);
    }
    void Settings(const std::string& text) const
    {
        std::ofstream(folder_ / "Quelvo.ini.new", std::ios::binary) << text;
        fs::rename(folder_ / "Quelvo.ini.new", folder_ / "Quelvo.ini");
    }
    std::string Log() const { return ReadFile(folder_ / "Quelvo.log"); }
    bool Logged(const std::string& text) const { return Log().find(text) != std::string::npos; }
    std::size_t Count(const std::string& text) const
    {
        const std::string log = Log();
        std::size_t count = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }
    bool WaitLogged(const std::string& text, std::chrono::milliseconds limit = 10s) const
    {
        return WaitFor([&] { return Logged(text); }, limit);
    }
    const fs::path& Folder() const { return folder_; }
    // The environment of a session of this installation's user.
    std::vector<std::string> Environment(const std::string& runtime = "") const
    {
        std::vector<std::string> env{"HOME=" + (folder_ / "home").string(), "PATH=/usr/bin:/bin",
                                     "ASAN_OPTIONS=detect_leaks=0"};
        env.push_back("XDG_RUNTIME_DIR=" + (runtime.empty() ? (folder_ / "runtime").string() : runtime));
        return env;
    }

private:
    fs::path folder_;
};

// Where a child's standard output and error go; -1: /dev/null.
struct Streams {
    int out = -1;
    int err = -1;
};

class LiveFaults : public testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0) GTEST_SKIP() << "the trays here lower and raise real processes: that needs root";
        std::string pattern = (OwnFolder() / "tray-faults-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        base_ = pattern;
    }
    void TearDown() override
    {
        // SIGTERM first: a tray gives back what it lowered on the way out.
        for (const pid_t pid : children_) ::kill(pid, SIGTERM);
        for (const pid_t pid : children_) {
            if (WaitExit(pid, 10s) < 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
        std::error_code ec;
        if (!base_.empty()) fs::remove_all(base_, ec);
    }

    pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
                const std::vector<std::string>& env, Streams streams = {})
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Started from elsewhere: the program must find its own folder.
            if (::chdir("/") != 0) ::_exit(126);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(streams.out >= 0 ? streams.out : null, 1);
            ::dup2(streams.err >= 0 ? streams.err : null, 2);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            std::vector<char*> envp;
            for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
            envp.push_back(nullptr);
            ::execve(program.c_str(), argv.data(), envp.data());
            ::_exit(127);
        }
        children_.push_back(pid);
        return pid;
    }
    pid_t StartTray(const Installation& at, const std::vector<std::string>& env, Streams streams = {})
    {
        return Spawn((at.Folder() / "QuelvoTray.exe").string(), {}, env, streams);
    }
    pid_t StartRunningTray(const Installation& at)
    {
        const std::string started = "Starting Up | hello world!";
        const std::size_t before = at.Count(started);
        const pid_t pid = StartTray(at, at.Environment());
        EXPECT_TRUE(WaitFor([&] { return at.Count(started) > before; }, 60s)) << "tray did not start: " << at.Log();
        return pid;
    }
    // A child that keeps every processor busy; SIGUSR1 makes it idle.
    pid_t StartBurner(const std::vector<std::string>& args = {}, const std::string& program = {})
    {
        return Spawn(program.empty() ? (OwnFolder() / "tray_test_burner").string() : program, args,
                     {"ASAN_OPTIONS=detect_leaks=0"});
    }
    void Forget(pid_t pid) { std::erase(children_, pid); }

    // Starts a tray that lowers above half the share the burner got over
    // the last second, so the decision is reachable however busy the
    // machine is; rules follow the settings. The burner rests while the
    // tray starts: beside its threads a start takes many times longer.
    pid_t StartTrayBesideBurner(const Installation& at, pid_t burner, const std::string& rules = "")
    {
        const live::ShareMeter share(burner);
        std::this_thread::sleep_for(1s);
        threshold_ = std::clamp(static_cast<int>(share.MachinePercent() / 2), 1, 50);
        at.Settings(SettingsLoweringAbove(threshold_) + rules);
        ::kill(burner, SIGUSR1);
        const pid_t tray = StartRunningTray(at);
        ::kill(burner, SIGUSR1);
        return tray;
    }

    // Waits for a tray to lower the burner; when it does not, says what
    // the burner got meanwhile against the threshold.
    void ExpectLowered(pid_t burner, const Installation& by, const std::string& name = "tray_test_burner")
    {
        const live::ShareMeter share(burner);
        if (WaitFor([&] { return NiceOf(burner) == 19; }, 20s)) {
            // A tray outside this test's pid namespace sees the burner too
            // and may lower it first; ours then has nothing to give back.
            if (!by.WaitLogged(" -> Lowering Process Priority  | " + name + "\n", 5s))
                GTEST_SKIP() << "another program on this machine lowered the burner first";
            return;
        }
        FAIL() << "not lowered: nice " << NiceOf(burner) << " after holding " << share.MachinePercent()
               << " % of the machine against a threshold of " << threshold_ << " %\n"
               << by.Log();
    }

    fs::path base_;
    int threshold_ = 0;

private:
    std::vector<pid_t> children_;
};

TEST_F(LiveFaults, AClosedPipeAsOutputEndsNothing)
{
    Installation at(base_, "a");
    // Odd lines make the settings reader say so on standard error.
    at.Settings("\x01odd\n" + kSettings + "\x02odd\n");
    int out[2];
    int err[2];
    ASSERT_EQ(::pipe(out), 0);
    ASSERT_EQ(::pipe(err), 0);
    ::close(out[0]);
    ::close(err[0]);
    const pid_t tray = StartTray(at, at.Environment(), {out[1], err[1]});
    ::close(out[1]);
    ::close(err[1]);
    EXPECT_TRUE(at.WaitLogged("Starting Up | hello world!", 20s)) << at.Log();
    // Another load and its report, with the pipes still closed.
    ::kill(tray, SIGHUP);  // closes it the regular way: restore, closing line
    EXPECT_EQ(WaitExit(tray, 15s), 0);
    Forget(tray);
    EXPECT_TRUE(at.Logged(" -> Failing on char 1 | ")) << at.Log();
    EXPECT_TRUE(at.Logged("Closing Down | goodbye!")) << at.Log();
}

TEST_F(LiveFaults, TheNextTrayGivesBackWhatAKilledOneLowered)
{
    Installation at(base_, "a");
    const pid_t burner = StartBurner();
    const pid_t first = StartTrayBesideBurner(at, burner);
    ExpectLowered(burner, at);
    if (IsSkipped() || HasFatalFailure()) return;
    ::kill(first, SIGKILL);
    EXPECT_EQ(WaitExit(first, 10s), 128 + SIGKILL);
    Forget(first);
    ASSERT_EQ(NiceOf(burner), 19) << "nothing gives it back without the record";
    ::kill(burner, SIGUSR1);  // idle from now on
    StartRunningTray(at);
    // Given back before the new tray's first cycle.
    EXPECT_EQ(NiceOf(burner), 0);
}

TEST_F(LiveFaults, QuitAndUserSignalsRestoreLikeTermination)
{
    for (const int signal : {SIGQUIT, SIGUSR1, SIGUSR2}) {
        SCOPED_TRACE(signal);
        Installation at(base_, "s" + std::to_string(signal));
        const pid_t burner = StartBurner();
        const pid_t tray = StartTrayBesideBurner(at, burner);
        ExpectLowered(burner, at);
        if (IsSkipped() || HasFatalFailure()) return;
        ::kill(tray, signal);
        EXPECT_EQ(WaitExit(tray, 15s), 0);
        Forget(tray);
        EXPECT_EQ(NiceOf(burner), 0);
        ::kill(burner, SIGKILL);
    }
}

TEST_F(LiveFaults, AProgramRunThroughExecGetsItsOwnNamesRules)
{
    Installation at(base_, "a");
    // The burner under another name; on SIGUSR2 it runs the real burner.
    const fs::path wrapper = base_ / "wrapper";
    fs::copy_file(OwnFolder() / "tray_test_burner", wrapper);
    const pid_t burner = StartBurner({"exec", (OwnFolder() / "tray_test_burner").string()}, wrapper.string());
    StartTrayBesideBurner(at, burner, "[Rules]\nRuleStrings=tray_test_burner?Ignore\n");
    ExpectLowered(burner, at, "wrapper");
    if (IsSkipped() || HasFatalFailure()) return;
    ::kill(burner, SIGUSR2);
    EXPECT_TRUE(WaitFor([&] { return NiceOf(burner) == 0; }, 10s)) << "nice " << NiceOf(burner);
    EXPECT_TRUE(at.WaitLogged(" -> Restoring Process Priority | tray_test_burner\n")) << at.Log();
}

TEST_F(LiveFaults, ANamedPipeAsSettingsFileIsRefusedAndSignalsServed)
{
    Installation at(base_, "a");
    fs::remove(at.Folder() / "Quelvo.ini");
    ASSERT_EQ(::mkfifo((at.Folder() / "Quelvo.ini").c_str(), 0600), 0);
    const int err = ::open((base_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t tray = StartTray(at, at.Environment(), {-1, err});
    ::close(err);
    const std::string expected = "Quelvo.ini: not a regular file";
    EXPECT_TRUE(WaitFor([&] { return ReadFile(base_ / "stderr").find(expected) != std::string::npos; }, 20s))
        << ReadFile(base_ / "stderr");
    ::kill(tray, SIGTERM);
    EXPECT_EQ(WaitExit(tray, 15s), 0);
    Forget(tray);
}

// The folder right below /tmp that holds path, or path itself when it lies
// elsewhere.
fs::path TopFolderBelowTmp(const fs::path& path)
{
    const fs::path absolute = fs::absolute(path).lexically_normal();
    auto part = absolute.begin();
    if (absolute.root_path() != "/" || ++part == absolute.end() || *part != "tmp") return absolute;
    if (++part == absolute.end()) return absolute;
    return fs::path("/tmp") / *part;
}

TEST_F(LiveFaults, ARuntimeFolderMadeFirstBySomeoneElse)
{
    if (!live::Sealed()) GTEST_SKIP() << "needs a private mount namespace to put its own /tmp in place";
    // Installed before the mounts: the build folder may itself lie below /tmp.
    Installation at(base_, "a");
    // The tray's shared libraries sit in the build tree beside base_, so a
    // build below /tmp keeps its whole top folder there, not base_ alone.
    const fs::path keep = TopFolderBelowTmp(base_);
    const int kept = ::open(keep.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(kept, 0);
    quelvo::sys::ScopeGuard closeKept([kept] { ::close(kept); });
    // Our own /tmp and /run/user, seen by this test and its children only,
    // taken down again however the test ends.
    quelvo::sys::ScopeGuard unmount([] {
        ::umount2("/run/user", MNT_DETACH);
        ::umount2("/tmp", MNT_DETACH);
    });
    ASSERT_EQ(::mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777"), 0);
    ASSERT_EQ(::mount("tmpfs", "/run/user", "tmpfs", 0, "mode=755"), 0);
    if (!fs::exists(keep)) {
        fs::create_directories(keep);
        const std::string source = "/proc/self/fd/" + std::to_string(kept);
        ASSERT_EQ(::mount(source.c_str(), keep.c_str(), nullptr, MS_BIND, nullptr), 0);
    }
    const std::string squatted = "/tmp/quelvo-" + std::to_string(::geteuid());
    ASSERT_EQ(::mkdir(squatted.c_str(), 0777), 0);
    ASSERT_EQ(::chown(squatted.c_str(), 65534, 65534), 0);
    const auto withoutVariable = [](std::vector<std::string> env) {
        std::erase_if(env, [](const std::string& e) { return e.starts_with("XDG_RUNTIME_DIR="); });
        return env;
    };
    // With a home, the squatter's folder is never reached.
    const pid_t tray = StartTray(at, withoutVariable(at.Environment()));
    EXPECT_TRUE(at.WaitLogged("Starting Up | hello world!", 20s)) << at.Log();
    EXPECT_TRUE(fs::is_directory(at.Folder() / "home/.local/state/quelvo/run"));
    ::kill(tray, SIGTERM);
    EXPECT_EQ(WaitExit(tray, 15s), 0);
    Forget(tray);
    // Without one, the tray says why it cannot run and fails.
    std::vector<std::string> homeless = withoutVariable(at.Environment());
    std::erase_if(homeless, [](const std::string& e) { return e.starts_with("HOME="); });
    homeless.push_back("HOME=/proc");
    const int err = ::open((base_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const pid_t refused = StartTray(at, homeless, {-1, err});
    ::close(err);
    EXPECT_EQ(WaitExit(refused, 20s), 1);
    Forget(refused);
    EXPECT_NE(ReadFile(base_ / "stderr").find("runtime folder " + squatted + ": owned by another user"),
              std::string::npos)
        << ReadFile(base_ / "stderr");
    EXPECT_TRUE(at.Logged(" -> Cannot start | runtime folder " + squatted)) << at.Log();
}

TEST_F(LiveFaults, OneTrayPerUserWhateverTheRuntimeFolder)
{
    Installation at(base_, "a");
    const pid_t desktop = StartRunningTray(at);
    fs::create_directory(base_ / "ssh-runtime");
    fs::permissions(base_ / "ssh-runtime", fs::perms::owner_all);
    const pid_t ssh = StartTray(at, at.Environment((base_ / "ssh-runtime").string()));
    EXPECT_EQ(WaitExit(ssh, 15s), 0);
    Forget(ssh);
    EXPECT_TRUE(Running(desktop));
}

TEST_F(LiveFaults, AKillRuleNamingTheTrayKillsNoTray)
{
    // Two users' trays, as far as their state goes: separate homes.
    Installation mine(base_, "mine");
    Installation theirs(base_, "theirs");
    const pid_t other = StartRunningTray(theirs);
    mine.Settings(kSettings + "[Rules]\nRuleStrings=QuelvoTray.exe?Force Kill\n");
    const pid_t tray = StartRunningTray(mine);
    std::this_thread::sleep_for(4s);  // past the grace a kill rule gives
    EXPECT_TRUE(Running(other));
    EXPECT_TRUE(Running(tray));
    EXPECT_FALSE(mine.Logged("Killing process")) << mine.Log();
}

}  // namespace
