// Both real programs in one folder: the configurator turns a legacy rules
// file into the settings file at start and the tray, asked to reload,
// applies the rule to a running process; the tray's "Configure" command
// closes the configurator and starts it again. Needs the right to change
// priorities both ways (root or RLIMIT_NICE of 20); as root everything runs
// sealed in a pid namespace of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/window_directory.h"
#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"
#include "tests/common/TempFolder.h"
#include "tests/common/live.h"

namespace {

namespace fs = std::filesystem;
namespace live = quelvo::test::live;
using namespace std::chrono_literals;

constexpr UINT kConfigure = 403;

fs::path OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path(); }

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

class LiveConfigurator : public testing::Test {
protected:
    void SetUp() override
    {
        if (!live::MayRaisePriorities()) GTEST_SKIP() << "needs root, or RLIMIT_NICE of 20, to give priorities back";
        if (::geteuid() == 0) {
            ASSERT_TRUE(live::Sealed()) << "not in a pid namespace of its own";
        }
        std::string pattern = (OwnFolder() / "configurator-live-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        fs::permissions(folder_, fs::perms::owner_all);
        for (const char* sub : {"runtime", "home", "config"}) {
            fs::create_directory(folder_ / sub);
            fs::permissions(folder_ / sub, fs::perms::owner_all);
        }
        ::setenv("XDG_RUNTIME_DIR", (folder_ / "runtime").c_str(), 1);
        ::setenv("HOME", (folder_ / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
        ::unsetenv("XDG_STATE_HOME");
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        quelvo::win::SetRuntimeFolder((folder_ / "runtime" / "quelvo").string());
        quelvo::win::InstallWindowDirectory();
        Place(QUELVO_TRAY, "QuelvoTray.exe");
        Place(QUELVO_CONFIGURATOR, "QuelvoConfigurator.exe");
        Place(QUELVO_BURNER, "hog.exe");
        std::ofstream(folder_ / "ApplicationOverrides.txt") << "hog.exe|IDLE\n";
    }
    void TearDown() override
    {
        // SIGTERM first: the tray gives back what it lowered on the way.
        for (const pid_t pid : children_) ::kill(pid, SIGTERM);
        for (const pid_t pid : children_) {
            int status = 0;
            if (!WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) != 0; }, 10s)) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
        // A configurator the tray started is the tray's child, not ours.
        for (const pid_t pid : ConfiguratorsRunning()) ::kill(pid, SIGKILL);
        std::error_code ec;
        if (!folder_.empty()) fs::remove_all(folder_, ec);
    }

    void Place(const std::string& program, const std::string& name)
    {
        std::error_code ec;
        fs::create_hard_link(program, folder_ / name, ec);
        if (ec) fs::copy_file(program, folder_ / name);
    }
    pid_t Spawn(const std::string& name, const std::vector<std::string>& args = {})
    {
        const std::string program = (folder_ / name).string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Started from elsewhere: each program finds its own folder.
            if (::chdir("/") != 0) ::_exit(126);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 1);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        children_.push_back(pid);
        return pid;
    }
    void Forget(pid_t pid) { std::erase(children_, pid); }
    // Exit status, or -1 when it runs on past the limit.
    static int WaitExit(pid_t pid, std::chrono::milliseconds limit)
    {
        int status = 0;
        if (!WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, limit)) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    static HWND FirstWindow(pid_t pid)
    {
        const std::vector<HWND> windows = quelvo::sys::WindowsOfProcess(static_cast<DWORD>(pid));
        return windows.empty() ? nullptr : windows.front();
    }
    // Processes running this folder's configurator.
    std::vector<pid_t> ConfiguratorsRunning() const
    {
        std::vector<pid_t> pids;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator("/proc", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            std::error_code linkError;
            if (fs::read_symlink(entry.path() / "exe", linkError) == folder_ / "QuelvoConfigurator.exe")
                pids.push_back(static_cast<pid_t>(std::stoi(name)));
        }
        return pids;
    }
    std::string Settings() const { return TempFolder::Read((folder_ / "Quelvo.ini").string()); }
    ino_t SettingsInode() const
    {
        struct stat st{};
        return ::stat((folder_ / "Quelvo.ini").c_str(), &st) == 0 ? st.st_ino : 0;
    }

    fs::path folder_;

private:
    std::vector<pid_t> children_;
};

TEST_F(LiveConfigurator, LegacyRulesReachTheRunningTrayAndConfigureTogglesTheWindow)
{
    const pid_t hog = Spawn("hog.exe", {"idle"});
    const pid_t tray = Spawn("QuelvoTray.exe");
    HWND trayWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (trayWindow = FirstWindow(tray)) != nullptr; }, 60s)) << "the tray did not start";
    // Two ticks of the tray: it has no rule for the process.
    std::this_thread::sleep_for(2200ms);
    EXPECT_TRUE(live::AllAt(hog, 0));

    const pid_t configurator = Spawn("QuelvoConfigurator.exe");
    ASSERT_TRUE(WaitFor([&] { return FirstWindow(configurator) != nullptr; }, 60s)) << "no configurator window";
    // Its first tick saves the rule read from the legacy file and asks the
    // tray to reload with the rules flag, which applies it at once. The
    // window maps before that tick, which a loaded machine may hold back
    // for seconds.
    EXPECT_TRUE(WaitFor([&] { return Settings().find("RuleStrings=hog.exe?Force Low\r") != std::string::npos; }, 10s))
        << Settings();
    EXPECT_TRUE(WaitFor([&] { return live::AllAt(hog, 19); }, 3s)) << "nice " << live::ThreadNices(hog).front();

    // "Configure" closes the running configurator, which saves on the way.
    const ino_t before = SettingsInode();
    EXPECT_TRUE(quelvo::sys::Windows().PostMessageTo(trayWindow, WM_COMMAND, kConfigure, 0));
    EXPECT_EQ(WaitExit(configurator, 30s), 0);
    Forget(configurator);
    EXPECT_NE(SettingsInode(), before) << "rewritten on close";
    EXPECT_NE(Settings().find("RuleStrings=hog.exe?Force Low\r"), std::string::npos);

    // Again: the tray starts this folder's configurator.
    EXPECT_TRUE(quelvo::sys::Windows().PostMessageTo(trayWindow, WM_COMMAND, kConfigure, 0));
    EXPECT_TRUE(WaitFor([&] {
        for (const pid_t pid : ConfiguratorsRunning())
            if (FirstWindow(pid)) return true;
        return false;
    }, 5s)) << "no configurator window after the second command";
}

}  // namespace
