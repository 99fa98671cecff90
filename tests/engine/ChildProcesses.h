#pragma once
// Child processes for tests and benchmarks on the real system: busy ones
// that burn a processor and sleeping ones; all are killed and reaped when
// the owner goes.

#include <chrono>
#include <csignal>
#include <vector>

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

class ChildProcesses {
public:
    ChildProcesses() = default;
    ~ChildProcesses()
    {
        for (const pid_t pid : pids_)
            ::kill(pid, SIGKILL);
        for (const pid_t pid : pids_)
            ::waitpid(pid, nullptr, 0);
    }
    ChildProcesses(const ChildProcesses&) = delete;
    ChildProcesses& operator=(const ChildProcesses&) = delete;

    // Spins until killed, or at most the given time.
    pid_t StartBusy(std::chrono::seconds limit = std::chrono::seconds(20))
    {
        return Start([limit] {
            const auto end = std::chrono::steady_clock::now() + limit;
            volatile unsigned long sink = 0;
            while (std::chrono::steady_clock::now() < end)
                for (int i = 0; i < 100000; ++i)
                    sink = sink + static_cast<unsigned long>(i);
        });
    }

    // Sleeps until killed.
    pid_t StartSleeping()
    {
        return Start([] {
            for (;;)
                ::pause();
        });
    }

    const std::vector<pid_t>& Pids() const { return pids_; }

private:
    template <typename Body>
    pid_t Start(Body body)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            body();
            ::_exit(0);
        }
        if (pid > 0)
            pids_.push_back(pid);
        return pid;
    }

    std::vector<pid_t> pids_;
};
