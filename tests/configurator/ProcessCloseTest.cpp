// The process list on real child processes: closing asks a process without
// a window to end, forced termination kills one that will not, and a class
// changed by another program shows at the next tick.
#include "tests/configurator/ConfiguratorFixture.h"

#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "components/treelist/cxTL.h"
#include "platform/hostlib/stdctrls/stdctrls.h"

using namespace configuratortest;
using namespace std::chrono_literals;

namespace {

class RealProcessTest : public ConfiguratorTest {
protected:
    void TearDown() override
    {
        for (pid_t pid : children_) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ConfiguratorTest::TearDown();
    }
    pid_t StartChild(bool ignoreTerm)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Gone with the test, however it ends.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            // As a program started afresh: nothing blocked.
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGTERM, ignoreTerm ? SIG_IGN : SIG_DFL);
            for (;;) ::pause();
        }
        children_.push_back(pid);
        return pid;
    }
    // The signal that ended the child, 0 while it runs on.
    int EndedBy(pid_t pid, std::chrono::milliseconds limit = 5000ms)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        do {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                std::erase(children_, pid);
                return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
            }
            std::this_thread::sleep_for(10ms);
        } while (std::chrono::steady_clock::now() < end);
        return 0;
    }
    TcxTreeListNode* RowOf(pid_t pid)
    {
        const ProcessObject* record = watcher->FindProcess(static_cast<DWORD>(pid));
        return record ? static_cast<TcxTreeListNode*>(record->UserData) : nullptr;
    }

private:
    std::vector<pid_t> children_;
};

TEST_F(RealProcessTest, CloseEndsASleepingChildAndForcedTerminationOneThatIgnoresTheRequest)
{
    const pid_t sleeping = StartChild(false);
    const pid_t stubborn = StartChild(true);
    std::this_thread::sleep_for(50ms);  // its signal disposition is set
    Open();
    form->HideLowCheckBox->SetChecked(false);
    Ticks(1);
    ASSERT_NE(RowOf(sleeping), nullptr);
    ASSERT_NE(RowOf(stubborn), nullptr);

    RowOf(sleeping)->SetFocused(true);
    form->TerminateNowClick(form);
    EXPECT_EQ(EndedBy(sleeping), SIGTERM);
    Ticks(1);
    EXPECT_EQ(watcher->FindProcess(static_cast<DWORD>(sleeping)), nullptr) << "its row went with its record";

    RowOf(stubborn)->SetFocused(true);
    form->TerminateNowClick(form);
    EXPECT_EQ(EndedBy(stubborn, 300ms), 0) << "still running";
    Ticks(1);
    ASSERT_NE(RowOf(stubborn), nullptr);
    RowOf(stubborn)->SetFocused(true);
    form->TerminateProcessHarshly1Click(form);
    EXPECT_EQ(EndedBy(stubborn), SIGKILL);
}

TEST_F(RealProcessTest, AClassChangedByAnotherProgramShowsAtTheNextTick)
{
    const pid_t child = StartChild(false);
    Open();
    form->HideLowCheckBox->SetChecked(false);
    Ticks(1);
    ASSERT_NE(RowOf(child), nullptr);
    EXPECT_EQ(RowOf(child)->GetText(3), "Normal");

    // Lowering needs no privilege; each step is made behind the list's back.
    const auto nice = [child](int value) { ::setpriority(PRIO_PROCESS, static_cast<id_t>(child), value); };
    const auto idle = [child](int) {
        sched_param param{};
        ::sched_setscheduler(child, SCHED_IDLE, &param);
    };
    const struct {
        std::function<void(int)> change;
        int value;
        const char* shown;
    } steps[] = {{nice, 7, "Below Normal"}, {nice, 19, "Low"}, {idle, 0, "Low"}};
    for (const auto& step : steps) {
        step.change(step.value);
        Ticks(1);
        ASSERT_NE(RowOf(child), nullptr);
        EXPECT_EQ(RowOf(child)->GetText(3), step.shown) << step.value;
    }
}

}  // namespace
