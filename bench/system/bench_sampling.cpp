// What one sample of every process's processor use costs: the performance
// block the engine reads (RegQueryValueExA of the Process object) against
// the least work that gives the same numbers, a loop that keeps one
// descriptor per /proc/N/stat and re-reads it with pread. Both sides run in
// alternating rounds in one run, at 0, 1,000 and 3,000 extra sleeping
// processes, timed by the processor time of the sampling thread (a busy
// machine's waits for a processor are not the sampler's cost); min and
// median of each side and of the ratio are printed.
// Then the real tray's own processor use over 20 s beside 500 sleeping
// processes (in a private pid namespace when run as root, so those are
// all it sees).

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "bench/common/alternating.h"
#include "platform/system/registry.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using quelvo::bench::Timing;

// ---- Sleeping processes ------------------------------------------------------

class Sleepers {
public:
    explicit Sleepers(int count)
    {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                for (;;) pause();
            }
            if (pid > 0) pids_.push_back(pid);
        }
    }
    ~Sleepers()
    {
        for (const pid_t pid : pids_) kill(pid, SIGKILL);
        for (const pid_t pid : pids_) waitpid(pid, nullptr, 0);
    }
    Sleepers(const Sleepers&) = delete;
    Sleepers& operator=(const Sleepers&) = delete;

private:
    std::vector<pid_t> pids_;
};

// ---- The two sides -------------------------------------------------------------

// The block as the engine asks for it, into a buffer kept between samples.
class BlockSide {
public:
    std::size_t Sample()
    {
        for (;;) {
            DWORD size = static_cast<DWORD>(buffer_.size());
            const LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, buffer_.data(), &size);
            if (result == ERROR_MORE_DATA) {
                buffer_.resize(std::max<std::size_t>(size, buffer_.size()) + 10240);
                continue;
            }
            return result == ERROR_SUCCESS ? size : 0;
        }
    }

private:
    std::vector<BYTE> buffer_ = std::vector<BYTE>(102400);
};

// The reference: the directory listing, one kept descriptor per process
// re-read with pread, and the fields the block carries (id, name, state,
// flags, processor times, start time).
class ReferenceSide {
public:
    ~ReferenceSide()
    {
        for (const auto& [pid, fd] : fds_) close(fd);
    }
    std::size_t Sample()
    {
        std::size_t processes = 0;
        DIR* dir = opendir("/proc");
        while (const dirent* entry = readdir(dir)) {
            const char* name = entry->d_name;
            if (name[0] < '1' || name[0] > '9') continue;
            const int pid = std::atoi(name);
            int& fd = fds_[pid];
            if (fd <= 0) {
                char path[40];
                std::snprintf(path, sizeof(path), "/proc/%d/stat", pid);
                fd = open(path, O_RDONLY | O_CLOEXEC);
            }
            char buffer[1024];
            const ssize_t n = fd > 0 ? pread(fd, buffer, sizeof(buffer), 0) : -1;
            if (n <= 0) continue;
            processes += Parse(buffer, static_cast<std::size_t>(n));
        }
        closedir(dir);
        return processes;
    }

private:
    static std::size_t Parse(const char* text, std::size_t size)
    {
        const char* end = text + size;
        const char* close = end;
        while (close > text && *(close - 1) != ')') --close;
        if (close == text) return 0;
        const char* p = close + 1;
        unsigned long long fields[23] = {};
        char state = 0;
        for (int number = 3; number <= 22 && p < end; ++number) {
            while (p < end && *p == ' ') ++p;
            if (number == 3) {
                state = *p;
            } else {
                unsigned long long value = 0;
                while (p < end && *p >= '0' && *p <= '9') value = value * 10 + static_cast<unsigned>(*p++ - '0');
                fields[number] = value;
            }
            while (p < end && *p != ' ') ++p;
        }
        sink_ += fields[14] + fields[15] + fields[22] + fields[9];
        return state != 'Z' ? 1 : 0;
    }

    std::map<int, int> fds_;
    static inline unsigned long long sink_ = 0;
};

// ---- Pairs ------------------------------------------------------------------------

void CompareAt(int extra, const quelvo::bench::Options& options)
{
    Sleepers sleepers(extra);
    BlockSide block;
    ReferenceSide reference;
    const quelvo::bench::Pair pair{"one sample of every process, " + std::to_string(extra) + " extra sleeping processes",
                                   {"performance block", [&] { block.Sample(); }},
                                   {"kept descriptors and pread", [&] { reference.Sample(); }},
                                   1.15,
                                   Timing::ThreadProcessor};
    quelvo::bench::PrintPair(pair, quelvo::bench::RunPair(pair, options));
}

// ---- The tray's own use ----------------------------------------------------------

double ProcessSeconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::vector<std::string> fields;
    std::string field;
    for (std::size_t i = close + 2; i <= stat.size(); ++i) {
        if (i == stat.size() || stat[i] == ' ') {
            fields.push_back(field);
            field.clear();
        } else {
            field += stat[i];
        }
    }
    if (fields.size() < 13) return -1;
    return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Starts the tray in a fresh folder, lets it settle, then measures it over
// the given time; the share of one processor in percent, -1 on failure.
double TrayShare(int seconds)
{
    const fs::path self = fs::read_symlink("/proc/self/exe").parent_path();
    char pattern[] = "/tmp/quelvo-bench-tray-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return -1;
    const fs::path folder = pattern;
    fs::copy_file(self / "QuelvoTray.exe", folder / "QuelvoTray.exe");
    std::ofstream(folder / "Quelvo.ini") << "[Settings]\nBalloonTips=0\n";
    fs::create_directories(folder / "home");
    fs::create_directories(folder / "runtime");
    fs::permissions(folder / "runtime", fs::perms::owner_all);
    const pid_t tray = fork();
    if (tray == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        setenv("HOME", (folder / "home").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (folder / "runtime").c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        const std::string program = (folder / "QuelvoTray.exe").string();
        execl(program.c_str(), program.c_str(), nullptr);
        _exit(127);
    }
    usleep(3'000'000);  // start-up and the first samples, not measured
    const double before = ProcessSeconds(tray);
    const auto start = Clock::now();
    usleep(static_cast<useconds_t>(seconds) * 1'000'000);
    const double after = ProcessSeconds(tray);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    kill(tray, SIGTERM);
    waitpid(tray, nullptr, 0);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return before < 0 || after < 0 ? -1 : (after - before) / wall * 100.0;
}

void MeasureTray(int sleepers, int seconds, const quelvo::bench::Options& options)
{
    Sleepers beside(sleepers);
    const double share = TrayShare(seconds);
    // The least work of one sample of the same processes, here and now, at
    // one sample a second: what the machine's load makes of any sampler.
    ReferenceSide reference;
    const quelvo::bench::Side side{"reference", [&] { reference.Sample(); }};
    long calls = 1;
    quelvo::bench::TimeRound(side, calls, options.roundSeconds, Timing::ThreadProcessor);
    std::vector<double> rounds;
    for (int round = 0; round < options.rounds; ++round)
        rounds.push_back(quelvo::bench::TimeRound(side, calls, options.roundSeconds, Timing::ThreadProcessor));
    const double least = quelvo::bench::Min(rounds) * 100.0;
    std::printf("tray over %d s beside %d sleeping processes: %.3f %% of one processor (target < 0.3 %%); "
                "the reference loop alone, once a second: %.3f %% (min of rounds)\n",
                seconds, sleepers, share, least);
    std::fflush(stdout);
}

// As root, runs what follows in a private pid namespace with its own /proc:
// the sleepers and the tray are then all there is to see. Returns in the
// process that is to do the work; the others wait and leave.
bool SealInPidNamespace()
{
    if (geteuid() != 0 || unshare(CLONE_NEWPID | CLONE_NEWNS) != 0) return false;
    std::fflush(nullptr);
    const pid_t init = fork();
    if (init < 0) return false;
    if (init > 0) {
        int status = 0;
        waitpid(init, &status, 0);
        std::exit(WIFEXITED(status) ? WEXITSTATUS(status) : 1);
    }
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("proc", "/proc", "proc", MS_NOSUID | MS_NODEV | MS_NOEXEC, nullptr) != 0)
        std::exit(1);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const quelvo::bench::Options options = quelvo::bench::ParseOptions(argc, argv);
    for (const int extra : {0, 1000, 3000}) CompareAt(extra, options);
    const bool sealed = SealInPidNamespace();
    if (!sealed) std::printf("(not root: the tray sees every process of the machine besides the sleepers)\n");
    MeasureTray(500, 20, options);
    return 0;
}
