// A child for the live tray tests: keeps every processor busy until
// SIGUSR1, which makes it idle (and busy again on the next one). Started
// with "idle" it begins idle; started with "exec PATH" it runs PATH on
// SIGUSR2, as a launcher runs the program it was started for.

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> busy{true};

void Toggle(int) { busy = !busy; }

const char* execPath = nullptr;

void RunOther(int)
{
    char* argv[] = {const_cast<char*>(execPath), nullptr};
    ::execv(execPath, argv);
}

void Burn()
{
    volatile unsigned long sink = 0;
    for (;;) {
        if (busy) {
            for (int i = 0; i < 100000; ++i)
                sink = sink + static_cast<unsigned long>(i);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "idle") == 0)
        busy = false;
    if (argc > 2 && std::strcmp(argv[1], "exec") == 0) {
        execPath = argv[2];
        struct sigaction run {};
        run.sa_handler = RunOther;
        sigemptyset(&run.sa_mask);
        sigaction(SIGUSR2, &run, nullptr);
    }
    struct sigaction toggle {};
    toggle.sa_handler = Toggle;
    sigemptyset(&toggle.sa_mask);
    sigaction(SIGUSR1, &toggle, nullptr);
    // Several threads a processor, so that the child holds most of the
    // machine even while other programs compete for it.
    const unsigned count = 4 * std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < count; ++i)
        threads.emplace_back(Burn);
    Burn();
}
