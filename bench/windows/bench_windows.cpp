// SendMessageA to another process's window beside a bare Unix datagram
// ping-pong of the same size between two processes: the least work that
// carries a request to another process and its answer back (one send and
// one receive on each side). A send within the process is shown beside a
// plain function call for scale. Alternating rounds; min and median.
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/common/alternating.h"
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

// A child process, killed and reaped at the end.
class Child {
public:
    template <class Body>
    explicit Child(Body body) : pid_(fork())
    {
        if (pid_ == 0) {
            body();
            _exit(0);
        }
    }
    ~Child()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

private:
    pid_t pid_;
};

// Another process with an echo window; its handle comes back through a pipe.
HWND StartEchoPeer(std::unique_ptr<Child>& peer)
{
    int ready[2];
    if (pipe(ready) != 0) std::abort();
    peer = std::make_unique<Child>([&] {
        close(ready[0]);
        HWND w = MakeEchoWindow();
        if (write(ready[1], &w, sizeof w) != static_cast<ssize_t>(sizeof w)) _exit(1);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    });
    close(ready[1]);
    HWND remote = nullptr;
    if (read(ready[0], &remote, sizeof remote) != static_cast<ssize_t>(sizeof remote)) std::abort();
    close(ready[0]);
    return remote;
}

// Another process that echoes every datagram; our end of the pair.
int StartBareEcho(std::unique_ptr<Child>& echo)
{
    int pair[2];
    if (socketpair(AF_UNIX, SOCK_DGRAM, 0, pair) != 0) std::abort();
    echo = std::make_unique<Child>([&] {
        close(pair[0]);
        char buf[kPayload];
        for (;;) {
            const ssize_t n = recv(pair[1], buf, sizeof buf, 0);
            if (n <= 0 || send(pair[1], buf, static_cast<std::size_t>(n), 0) != n) return;
        }
    });
    close(pair[1]);
    return pair[0];
}

}  // namespace

int main(int argc, char** argv)
{
    char tmpl[] = "/tmp/quelvo-bench-XXXXXX";
    const std::string folder = mkdtemp(tmpl);
    quelvo::win::SetRuntimeFolder(folder);
    std::unique_ptr<Child> peer;
    std::unique_ptr<Child> echo;
    const HWND remote = StartEchoPeer(peer);
    const int ping = StartBareEcho(echo);
    const HWND local = MakeEchoWindow();

    WPARAM n = 0;
    const auto sendAcross = [&] {
        if (SendMessageA(remote, WM_APP + 1, n, 0) != static_cast<LRESULT>(n + 1)) {
            std::fprintf(stderr, "no answer from the other process\n");
            std::exit(1);
        }
        ++n;
    };
    const auto pingPong = [&] {
        char buf[kPayload] = {};
        if (send(ping, buf, sizeof buf, 0) != static_cast<ssize_t>(sizeof buf)) std::abort();
        if (recv(ping, buf, sizeof buf, 0) != static_cast<ssize_t>(sizeof buf)) std::abort();
    };
    WPARAM m = 0;
    volatile LRESULT sink = 0;
    const auto sendWithin = [&] { sink = SendMessageA(local, WM_APP + 1, m++, 0); };
    const auto callDirectly = [&] { sink = EchoProc(local, WM_APP + 1, m++, 0); };

    const int status = quelvo::bench::RunPairs(
        argc, argv,
        {{"SendMessageA to another process", {"cross-process send", sendAcross}, {"bare datagram ping-pong", pingPong}, 1.3},
         {"SendMessageA within the process", {"send within", sendWithin}, {"window procedure called directly", callDirectly}}});
    PostMessageA(remote, WM_CLOSE, 0, 0);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return status;
}
