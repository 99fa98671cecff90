// The entry point of every live test executable. As root it first moves
// the tests into a private pid namespace with its own /proc, so what they
// start is all a tray among them can see, and no other program on the
// machine (a second copy of ours, a daemon that renices) can see or touch
// their burners. Inside, a small init reaps orphans and ends with the
// tests; when it ends the kernel kills whatever the tests left behind.

#include <gtest/gtest.h>

#include <errno.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/common/live.h"

namespace {

int ExitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// The child that the signals asking us to stop are passed on to.
pid_t watched = 0;

void PassOn(int signal)
{
    if (watched > 0) ::kill(watched, signal);
}

void PassSignalsTo(pid_t child)
{
    watched = child;
    struct sigaction pass {};
    pass.sa_handler = PassOn;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &pass, nullptr);
}

[[noreturn]] void WaitAndLeave(pid_t child)
{
    PassSignalsTo(child);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {}
    std::fflush(nullptr);
    ::_exit(ExitCodeOf(status));
}

// Pid 1 of the namespace: reaps every orphan until the tests end.
[[noreturn]] void RunInit(pid_t tests)
{
    PassSignalsTo(tests);
    for (;;) {
        int status = 0;
        const pid_t ended = ::wait(&status);
        if (ended == tests) ::_exit(ExitCodeOf(status));
        if (ended < 0 && errno == ECHILD) ::_exit(1);
    }
}

// Returns in the process that runs the tests: sealed where the kernel
// allows it, else as started (with a note why).
void Seal()
{
    if (::geteuid() != 0) {
        std::printf("live tests not sealed in a pid namespace: that needs root\n");
        return;
    }
    if (::unshare(CLONE_NEWPID | CLONE_NEWNS) != 0) {
        std::printf("live tests not sealed in a pid namespace: %s\n", std::strerror(errno));
        return;
    }
    std::fflush(nullptr);
    const pid_t init = ::fork();
    if (init < 0) {
        std::printf("live tests not sealed: fork failed: %s\n", std::strerror(errno));
        return;
    }
    if (init > 0) WaitAndLeave(init);
    // Dies with whoever started us (a test runner's time-out kills that
    // one), and takes the namespace with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0) {
        std::fprintf(stderr, "cannot mount a private /proc: %s\n", std::strerror(errno));
        ::_exit(1);
    }
    const pid_t tests = ::fork();
    if (tests < 0) ::_exit(1);
    if (tests > 0) RunInit(tests);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    ::setenv(quelvo::test::live::kSealedVariable, "1", 1);
}

}  // namespace

int main(int argc, char** argv)
{
    Seal();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
