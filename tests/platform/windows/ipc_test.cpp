// Two real processes exchanging sent and posted window messages through the
// runtime folder.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/system/window_directory.h"
#include "tests/platform/windows/win_fixture.h"

extern char** environ;

using namespace wintest;

namespace {

class Peer {
public:
    explicit Peer(const std::string& folder)
    {
        std::string exe = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "test_platform_windows_peer";
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::vector<char*> args{exe.data(), const_cast<char*>(folder.c_str()), nullptr};
        if (posix_spawn(&pid_, exe.c_str(), &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
        std::string ready = Line(5000);
        if (ready.rfind("ready ", 0) == 0)
            hwnd_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(ready.substr(6), nullptr, 16)));
    }
    ~Peer()
    {
        if (pid_ > 0 && !waited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }
    HWND Hwnd() const { return hwnd_; }
    pid_t Pid() const { return pid_; }
    // Next line the peer printed, "" after the timeout.
    std::string Line(int timeoutMs)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            auto nl = buffer_.find('\n');
            if (nl != std::string::npos) {
                std::string line = buffer_.substr(0, nl);
                buffer_.erase(0, nl + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
            if (left <= 0) return "";
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buf[256];
            ssize_t n = read(out_, buf, sizeof buf);
            if (n <= 0) return "";
            buffer_.append(buf, static_cast<std::size_t>(n));
        }
    }
    int Wait()
    {
        int status = 0;
        waitpid(pid_, &status, 0);
        waited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    HWND hwnd_ = nullptr;
    std::string buffer_;
    bool waited_ = false;
};

class CrossProcess : public WinTest {
protected:
    // Pumps our own queue (real time passes) until pred or the timeout.
    bool PumpFor(int ms, const std::function<bool()>& pred)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline) {
            Pump();
            if (pred()) return true;
            usleep(5000);
        }
        return false;
    }
};

TEST_F(CrossProcess, AnotherProcessWindowIsFoundAndAnswers)
{
    Peer peer(quelvo::win::RuntimeFolder());
    HWND p = peer.Hwnd();
    ASSERT_NE(p, nullptr);
    HWND mine = Make("mine", WS_POPUP, 0, 0, 10, 10);
    Rec().answers["mine"].byMessage[WM_APP + 10] = 42;

    EXPECT_EQ(FindWindowA("peerclass", "PeerWindow"), p);
    EXPECT_TRUE(IsWindow(p));
    EXPECT_FALSE(IsWindowVisible(p));
    DWORD pid = 0;
    GetWindowThreadProcessId(p, &pid);
    EXPECT_EQ(static_cast<pid_t>(pid), peer.Pid());
    char title[32];
    EXPECT_EQ(GetWindowTextA(p, title, sizeof title), 10);
    EXPECT_STREQ(title, "PeerWindow");
    auto inDirectory = quelvo::sys::WindowsOfProcess(pid);
    EXPECT_EQ(inDirectory, std::vector<HWND>{p}) << "the engine's directory sees it";
    EXPECT_EQ(quelvo::sys::WindowsOfProcess(static_cast<DWORD>(getpid())), std::vector<HWND>{mine});

    struct Case {
        const char* what;
        UINT msg;
        WPARAM w;
        LPARAM l;
        LRESULT expected;
    };
    const Case cases[] = {
        {"reload request", WM_COMMAND, 777, 1, 2},
        {"integer message", WM_APP + 1, 21, 0, 42},
        {"the peer sends back while we wait", WM_APP + 3, reinterpret_cast<WPARAM>(mine), 0, 43},
        {"the peer is told the message came from another process", WM_APP + 5, 0, 0, 1},
        {"a send within the peer is not from elsewhere", WM_APP + 6, 0, 0, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(SendMessageA(p, c.msg, c.w, c.l), c.expected) << c.what;
    EXPECT_EQ(peer.Line(2000), "command 777 1");
    EXPECT_FALSE(InSendMessage()) << "nothing is being handled here";
    EXPECT_TRUE(PostMessageA(p, WM_APP + 7, 0, 0));
    EXPECT_EQ(peer.Line(2000), "in send 0") << "a posted message is no send";

    EXPECT_EQ(SendMessageA(HWND_BROADCAST, WM_COMMAND, 5, 6), 1);
    EXPECT_EQ(PostMessageA(HWND_BROADCAST, WM_COMMAND, 7, 8), TRUE);
    EXPECT_EQ(peer.Line(2000), "command 5 6") << "a broadcast reaches the other program without waiting for it";
    EXPECT_EQ(peer.Line(2000), "command 7 8");
    Rec().Clear();
    EXPECT_TRUE(PostMessageA(p, WM_APP + 4, reinterpret_cast<WPARAM>(mine), 0));
    EXPECT_TRUE(PumpFor(3000, [] { return !Rec().Only({"0x32779"}).empty(); }));
}

TEST_F(CrossProcess, PointerMessagesAreRefusedAndSlowPeersTimeOut)
{
    Peer peer(quelvo::win::RuntimeFolder());
    HWND p = peer.Hwnd();
    ASSERT_NE(p, nullptr);
    SetLastError(0);
    EXPECT_EQ(SendMessageA(p, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    COPYDATASTRUCT cds;
    EXPECT_EQ(SendMessageA(p, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), 0);
    EXPECT_FALSE(PostMessageA(p, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")));
    struct Kind {
        UINT msg;
        LPARAM l;
        bool crosses;
    };
    const Kind kinds[] = {{WM_TIMER, 1, false},         {WM_PAINT, 0, false},        {WM_SETTINGCHANGE, 1, false},
                          {WM_SETTINGCHANGE, 0, true},  {WM_NULL, 0, true},         {WM_COMMAND, 5, true},
                          {WM_APP + 9, 123, true},      {0xC123, 7, true},           {WM_KEYDOWN, 0, true}};
    for (const Kind& k : kinds) EXPECT_EQ(PostMessageA(p, k.msg, 0, k.l) != FALSE, k.crosses) << k.msg;
    EXPECT_EQ(peer.Line(2000), "command 0 5") << "the posted command arrived; nothing before it";
    EXPECT_FALSE(SetWindowTextA(p, "x"));

    quelvo::win::SetCrossProcessSendTimeout(300);
    auto start = std::chrono::steady_clock::now();
    SetLastError(0);
    EXPECT_EQ(SendMessageA(p, WM_APP + 2, 0, 0), 0);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(GetLastError(), 1460u);
    EXPECT_GE(took, 250);
    EXPECT_LT(took, 1400);
    quelvo::win::SetCrossProcessSendTimeout(5000);
    EXPECT_EQ(SendMessageA(p, WM_APP + 1, 4, 0), 8) << "the late reply is not mistaken for this one";

    EXPECT_TRUE(PostMessageA(p, WM_CLOSE, 0, 0));
    EXPECT_EQ(peer.Line(5000), "closed");
    EXPECT_EQ(peer.Wait(), 0);
    EXPECT_FALSE(IsWindow(p)) << "the list left with the process";
    EXPECT_EQ(FindWindowA("PeerClass", nullptr), nullptr);
    EXPECT_FALSE(PostMessageA(p, WM_APP, 0, 0));
    EXPECT_EQ(SendMessageA(p, WM_APP + 1, 1, 0), 0);
}

TEST_F(CrossProcess, ListsOfDeadProcessesAndMalformedListsAreIgnored)
{
    std::string folder = quelvo::win::RuntimeFolder();
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    auto write = [&](pid_t pid, const std::string& body) {
        std::ofstream(folder + "/windows-" + std::to_string(pid) + ".list") << body;
    };
    auto handle = [](pid_t pid) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%llx", (static_cast<unsigned long long>(pid) << 32) | 0x10);
        return std::string(hex);
    };
    write(dead, "quelvo-windows 1 " + std::to_string(dead) + " 12345\n" + handle(dead) + "\t1\tGhost\tGone\n");
    pid_t parent = getppid();
    write(parent, "quelvo-windows 1 " + std::to_string(parent) + " 1\n" + handle(parent) + "\t1\tGhost\tReused\n");
    write(1, "garbage\n\t\t\t\n");
    EXPECT_EQ(FindWindowA("Ghost", nullptr), nullptr);
    HWND ghost = reinterpret_cast<HWND>((static_cast<std::uintptr_t>(dead) << 32) | 0x10);
    EXPECT_FALSE(IsWindow(ghost));
    EXPECT_FALSE(PostMessageA(ghost, WM_CLOSE, 0, 0));

    // A live process (this one's parent) with a correct start time but a
    // window handle of someone else, and a bad escape, is skipped line by line.
    std::ifstream stat("/proc/" + std::to_string(parent) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream rest(line.substr(line.rfind(')') + 1));
    std::string field;
    for (int i = 3; i <= 22; ++i) rest >> field;
    write(parent, "quelvo-windows 1 " + std::to_string(parent) + " " + field + "\n" + handle(dead) + "\t1\tGhost\tForeign\n" +
                      handle(parent) + "\t1\tGhost\tbad\\q\n" + handle(parent) + "\t0\tReal\tOk\\tTab\n");
    EXPECT_EQ(FindWindowA("Ghost", nullptr), nullptr);
    HWND real = FindWindowA("Real", nullptr);
    EXPECT_NE(real, nullptr);
    char title[16];
    GetWindowTextA(real, title, sizeof title);
    EXPECT_STREQ(title, "Ok\tTab");
    std::filesystem::remove(folder + "/windows-" + std::to_string(parent) + ".list");
}

TEST_F(CrossProcess, PostsFromAnotherUserAreDropped)
{
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    std::string folder = quelvo::win::RuntimeFolder();
    chmod(folder.c_str(), 0777);
    HWND mine = Make("mine", WS_POPUP, 0, 0, 10, 10);
    std::string sock = folder + "/win-" + std::to_string(getpid()) + ".sock";
    ASSERT_EQ(chmod(sock.c_str(), 0777), 0);
    struct Case {
        const char* what;
        uid_t uid;
        UINT msg;
        bool arrives;
    };
    const Case cases[] = {{"same user", 0, WM_APP + 20, true}, {"another user", 65534, WM_APP + 21, false}};
    for (const Case& c : cases) {
        pid_t child = fork();
        if (child == 0) {
            quelvo::win::SetRuntimeFolder(folder);  // our own socket, not the parent's
            if (c.uid && (setgid(65534) != 0 || setuid(c.uid) != 0)) _exit(3);
            _exit(PostMessageA(mine, c.msg, 1, 2) ? 0 : 4);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.what;
        Rec().Clear();
        usleep(100 * 1000);
        Pump();
        EXPECT_EQ(Rec().Only({MessageName(c.msg)}).size(), c.arrives ? 1u : 0u) << c.what;
    }
}

}  // namespace

namespace {

class ScriptedDirectory : public quelvo::sys::WindowDirectory {
public:
    std::vector<quelvo::sys::TopLevelWindow> TopLevelWindows() override { return {{reinterpret_cast<HWND>(0x77), 4242}}; }
    bool PostMessageTo(HWND, UINT, WPARAM, LPARAM) override { return true; }
    LRESULT SendMessageTo(HWND, UINT, WPARAM, LPARAM) override { return 0; }
};

TEST_F(CrossProcess, AScriptedDirectoryIsLeftInPlace)
{
    ScriptedDirectory fake;
    quelvo::sys::WindowDirectoryScope scope(fake);
    Make("w", WS_POPUP, 0, 0, 10, 10);
    quelvo::win::InstallWindowDirectory();
    EXPECT_EQ(quelvo::sys::WindowsOfProcess(4242), std::vector<HWND>{reinterpret_cast<HWND>(0x77)});
}

}  // namespace
