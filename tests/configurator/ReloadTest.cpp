// The reload request after a save and the tray's status, observed with a
// stand-in tray program that logs every command its window gets. As root
// the tests run sealed in a pid namespace of their own, so no other
// program of the tray's name on the machine is seen.
#include "tests/configurator/ConfiguratorFixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/hostlib/stdctrls/extctrls.h"
#include "platform/windows/loop.h"

extern char** environ;

using namespace configuratortest;

namespace {

class ReloadTest : public ConfiguratorTest {
protected:
    void TearDown() override
    {
        for (pid_t pid : probes_) Stop(pid);
        ConfiguratorTest::TearDown();
    }

    // Starts the stand-in; its window appears after delayMs.
    pid_t StartProbe(const std::string& log, int delayMs = 0)
    {
        const std::string runtime = quelvo::win::RuntimeFolder();
        const std::string delay = std::to_string(delayMs);
        std::vector<char*> argv{const_cast<char*>(QUELVO_TRAY_PROBE), const_cast<char*>(runtime.c_str()),
                                const_cast<char*>(log.c_str()), const_cast<char*>(delay.c_str()), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, QUELVO_TRAY_PROBE, nullptr, nullptr, argv.data(), environ), 0);
        probes_.push_back(pid);
        return pid;
    }
    void Stop(pid_t pid)
    {
        if (::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
        std::erase(probes_, pid);
    }
    // Ticks in real time until the window's engine sees the stand-in's
    // window (as the request will look it up).
    bool TickUntilProbeWindow(pid_t pid, int timeoutMs = 10000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            Ticks(1);
            const ProcessObject* tray = watcher->FindProcessByName(cfg::kTrayProgram);
            if (tray && tray->Pid == static_cast<DWORD>(pid) && watcher->FindWindowOfPid(tray->Pid)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    std::vector<std::string> Requests(const std::string& log) const
    {
        std::istringstream in(TempFolder::Read(log));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    static ino_t Inode(const std::string& path)
    {
        struct stat st{};
        return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    }
    void Change(bool rules)
    {
        form->Dirty = true;
        form->RulesChanged = rules;
    }

    TempFolder logs;

private:
    std::vector<pid_t> probes_;
};

TEST_F(ReloadTest, EachSaveAsksTheRunningTrayWithTheRulesFlag)
{
    Open();
    Ticks(1);
    EXPECT_EQ(form->QuelvoTrayProcOnlyStatus->Caption(), "Not Running") << "written at the first tick";
    const std::string log = logs.File("probe.log");
    const pid_t probe = StartProbe(log);
    ASSERT_TRUE(TickUntilProbeWindow(probe));
    EXPECT_EQ(form->QuelvoTrayProcOnlyStatus->Caption(), "Running");
    EXPECT_EQ(form->QuelvoRunningLabel->Caption(), "Running");
    EXPECT_TRUE(Requests(log).empty()) << "no request without a save";
    Change(true);
    Ticks(1);
    EXPECT_EQ(Requests(log), (std::vector<std::string>{"777 1"}));
    Change(false);
    Ticks(1);
    CloseWindow();
    EXPECT_EQ(Requests(log), (std::vector<std::string>{"777 1", "777 0", "777 0"}));
}

TEST_F(ReloadTest, ATrayThatIsNotThereMissesTheRequestAndGetsTheNextOne)
{
    Open();
    Change(true);
    Ticks(1);
    EXPECT_FALSE(form->RequestPending) << "dropped: no tray program runs";
    // Started late, then started again under a new process id.
    for (const char* name : {"first.log", "second.log"}) {
        const std::string log = logs.File(name);
        const pid_t probe = StartProbe(log);
        ASSERT_TRUE(TickUntilProbeWindow(probe)) << name;
        EXPECT_TRUE(Requests(log).empty()) << name;
        Change(true);
        Ticks(1);
        EXPECT_EQ(Requests(log), (std::vector<std::string>{"777 1"})) << name;
        Stop(probe);
        Ticks(2);  // its record goes
    }
}

TEST_F(ReloadTest, ATrayWithoutItsWindowYetGetsOneRequestOnceTheWindowExists)
{
    Open();
    const std::string log = logs.File("late.log");
    const pid_t probe = StartProbe(log, 2000);
    // Its process is seen before its window exists.
    for (int i = 0; i < 100 && !watcher->FindProcessByName(cfg::kTrayProgram); ++i) {
        Ticks(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_NE(watcher->FindProcessByName(cfg::kTrayProgram), nullptr);
    Change(true);
    Ticks(1);
    EXPECT_TRUE(form->RequestPending);
    Change(false);
    Ticks(1);
    EXPECT_TRUE(form->RequestPending);
    const ino_t written = Inode(folder.File("Quelvo.ini"));
    ASSERT_TRUE(TickUntilProbeWindow(probe));
    Ticks(2);
    EXPECT_EQ(Requests(log), (std::vector<std::string>{"777 1"})) << "one request, with the flag of either save";
    EXPECT_FALSE(form->RequestPending);
    EXPECT_EQ(Inode(folder.File("Quelvo.ini")), written) << "waiting rewrites nothing";
}

TEST_F(ReloadTest, OptionChangesAskTheTrayWithoutTheRulesFlag)
{
    Open();
    const std::string log = logs.File("options.log");
    const pid_t probe = StartProbe(log);
    ASSERT_TRUE(TickUntilProbeWindow(probe));
    ClickControl(form, "DefaultsBitBtn");
    Ticks(1);
    ClickControl(form, "LogFileCheckBox");
    Ticks(1);
    EXPECT_EQ(Requests(log), (std::vector<std::string>{"777 0", "777 0"}));
}

}  // namespace
