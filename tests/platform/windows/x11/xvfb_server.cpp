#include "tests/platform/windows/x11/xvfb_server.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

namespace x11test {

XvfbServer::~XvfbServer()
{
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

bool XvfbServer::Start(std::string* error, int timeoutMs)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *error = "cannot create a pipe for Xvfb";
        return false;
    }
    pid_t pid = fork();
    if (pid < 0) {
        *error = "cannot fork for Xvfb";
        return false;
    }
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive the test
        close(fds[0]);
        int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    pid_ = pid;
    close(fds[1]);
    std::string number;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (number.empty() || number.back() != '\n') {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
        pollfd p{fds[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char c = 0;
        if (read(fds[0], &c, 1) != 1) break;
        number += c;
    }
    close(fds[0]);
    if (number.empty() || number.back() != '\n') {
        *error = "Xvfb did not start (is the xvfb package installed? scripts/setup installs it)";
        return false;
    }
    number.pop_back();
    name_ = ":" + number;
    while (std::chrono::steady_clock::now() < end) {
        if (Display* d = XOpenDisplay(name_.c_str())) {
            XCloseDisplay(d);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *error = "Xvfb on " + name_ + " accepts no connections";
    return false;
}

}  // namespace x11test
