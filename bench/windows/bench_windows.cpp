// SendMessageA within a process and to another process's window, beside a
// bare Unix datagram ping-pong of the same size (the least work that
// crosses processes). Prints the ratio of the cross-process send to the
// bare ping-pong at the end.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/windows/loop.h"
#include "platform/windows/winuser.h"

namespace {

constexpr std::size_t kPayload = 56;  // the size of one window-message datagram

LRESULT EchoProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_APP + 1) return static_cast<LRESULT>(w + 1);
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(h, m, w, l);
}

HWND MakeEchoWindow()
{
    WNDCLASSA wc;
    wc.lpfnWndProc = EchoProc;
    wc.lpszClassName = "BenchEcho";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "BenchEcho", "echo", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

struct Child {
    pid_t pid = -1;
    ~Child()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

HWND gLocal = nullptr;
HWND gRemote = nullptr;
int gPing = -1;
Child gPeer;
Child gEcho;

void BM_SendInProcess(benchmark::State& state)
{
    WPARAM n = 0;
    for (auto _ : state) benchmark::DoNotOptimize(n = static_cast<WPARAM>(SendMessageA(gLocal, WM_APP + 1, n, 0)));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendInProcess);

void BM_SendAcrossProcesses(benchmark::State& state)
{
    WPARAM n = 0;
    for (auto _ : state) {
        LRESULT r = SendMessageA(gRemote, WM_APP + 1, n, 0);
        if (r != static_cast<LRESULT>(n + 1)) {
            state.SkipWithError("no answer from the other process");
            break;
        }
        ++n;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SendAcrossProcesses);

void PingPongOnce()
{
    char buf[kPayload] = {};
    if (send(gPing, buf, sizeof buf, 0) != static_cast<ssize_t>(sizeof buf)) std::abort();
    if (recv(gPing, buf, sizeof buf, 0) != static_cast<ssize_t>(sizeof buf)) std::abort();
}

void BM_BareSocketPingPong(benchmark::State& state)
{
    for (auto _ : state) PingPongOnce();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BareSocketPingPong);

double NanosPer(const std::function<void()>& f, int n)
{
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) f();
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / n;
}

}  // namespace

int main(int argc, char** argv)
{
    char tmpl[] = "/tmp/quelvo-bench-XXXXXX";
    std::string folder = mkdtemp(tmpl);
    quelvo::win::SetRuntimeFolder(folder);

    int ready[2];
    if (pipe(ready) != 0) return 1;
    gPeer.pid = fork();
    if (gPeer.pid == 0) {
        close(ready[0]);
        HWND w = MakeEchoWindow();
        if (write(ready[1], &w, sizeof w) != static_cast<ssize_t>(sizeof w)) _exit(1);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        _exit(0);
    }
    close(ready[1]);
    if (read(ready[0], &gRemote, sizeof gRemote) != static_cast<ssize_t>(sizeof gRemote)) return 1;
    close(ready[0]);

    int pair[2];
    if (socketpair(AF_UNIX, SOCK_DGRAM, 0, pair) != 0) return 1;
    gEcho.pid = fork();
    if (gEcho.pid == 0) {
        close(pair[0]);
        char buf[kPayload];
        for (;;) {
            ssize_t n = recv(pair[1], buf, sizeof buf, 0);
            if (n <= 0 || send(pair[1], buf, static_cast<std::size_t>(n), 0) != n) _exit(0);
        }
    }
    close(pair[1]);
    gPing = pair[0];
    gLocal = MakeEchoWindow();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    constexpr int kRounds = 20000;
    double bare = NanosPer(PingPongOnce, kRounds);
    WPARAM n = 0;
    double cross = NanosPer([&] { SendMessageA(gRemote, WM_APP + 1, n++, 0); }, kRounds);
    std::printf("cross-process SendMessageA: %.0f ns, bare ping-pong: %.0f ns, ratio %.2f (target <= 1.5)\n", cross, bare,
                cross / bare);
    PostMessageA(gRemote, WM_CLOSE, 0, 0);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return 0;
}
