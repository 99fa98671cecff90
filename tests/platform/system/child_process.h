#pragma once
// A child program for the real-system tests: started with pipes on its
// standard input and output, killed and reaped at the end.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quelvo::test {

// The helper program built beside the test executables.
inline std::string HelperPath()
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string path(self, n > 0 ? static_cast<std::size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1) + "quelvo_system_test_child";
}

class Child {
public:
    explicit Child(const std::vector<std::string>& argv, bool newSession = false)
    {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        // Leak checking needs to stop the world, which a child running
        // under another user cannot always do; it is not what is tested.
        std::vector<std::string> environment{"ASAN_OPTIONS=detect_leaks=0"};
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0) environment.emplace_back(*e);
        }
        std::vector<char*> envp;
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);

        int out[2] = {-1, -1};
        int in[2] = {-1, -1};
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(in, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            if (newSession) setsid();
            execvpe(args[0], args.data(), envp.data());
            _exit(127);
        }
        close(out[1]);
        close(in[0]);
        out_ = out[0];
        in_ = in[1];
    }
    ~Child()
    {
        Kill();
        if (out_ >= 0) close(out_);
        if (in_ >= 0) close(in_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t Pid() const { return pid_; }

    // One line of output without its end; "" on time-out or end of output.
    std::string ReadLine(int timeoutMs = 10000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (true) {
            const std::size_t end = buffered_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return {};
            pollfd entry{out_, POLLIN, 0};
            if (poll(&entry, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[512];
            const ssize_t n = read(out_, chunk, sizeof(chunk));
            if (n <= 0) return {};
            buffered_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    void CloseInput()
    {
        if (in_ >= 0) close(in_);
        in_ = -1;
    }

    // Waits for a voluntary end; returns whether it came.
    bool WaitForExit(int timeoutMs = 10000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (pid_ > 0) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline) return false;
            usleep(2000);
        }
        return true;
    }

    void Kill()
    {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int in_ = -1;
    std::string buffered_;
};

}  // namespace quelvo::test
