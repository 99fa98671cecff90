// A child for the live tray tests: keeps every processor busy until
// SIGUSR1, which makes it idle (and busy again on the next one). Started
// with "idle" it begins idle.

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
