// The cost of one performance data block for every process, beside the
// least work that yields the same numbers: opening and reading
// /proc/N/stat of every process. Both run on the live process list and
// with 1,000 extra sleeping children; the ratios are printed at the end.

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/common/ratio_reporter.h"
#include "platform/system/registry.h"

namespace {

// Sleeping children, started on first need and ended at exit.
class SleepingChildren {
public:
    ~SleepingChildren() { Stop(); }

    void EnsureCount(int count)
    {
        while (static_cast<int>(pids_.size()) < count) {
            const pid_t pid = fork();
            if (pid == 0) {
                while (true) pause();
            }
            if (pid < 0) break;
            pids_.push_back(pid);
        }
    }

    void Stop()
    {
        for (const pid_t pid : pids_) kill(pid, SIGKILL);
        for (const pid_t pid : pids_) waitpid(pid, nullptr, 0);
        pids_.clear();
    }

private:
    std::vector<pid_t> pids_;
};

SleepingChildren g_children;

void PrepareProcesses(const benchmark::State& state)
{
    if (state.range(0) > 0) {
        g_children.EnsureCount(static_cast<int>(state.range(0)));
    } else {
        g_children.Stop();
    }
}

void BM_PerformanceBlock(benchmark::State& state)
{
    PrepareProcesses(state);
    std::vector<BYTE> block(1 << 20);
    for (auto _ : state) {
        DWORD size = static_cast<DWORD>(block.size());
        LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, block.data(), &size);
        if (result == ERROR_MORE_DATA) {
            block.resize(size * 2);
            size = static_cast<DWORD>(block.size());
            result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, "230", nullptr, nullptr, block.data(), &size);
        }
        if (result != ERROR_SUCCESS) state.SkipWithError("query failed");
        benchmark::DoNotOptimize(block.data());
    }
}

// The minimal loop: list /proc, read each stat, take the processor times
// and the start time.
void BM_MinimalStatLoop(benchmark::State& state)
{
    PrepareProcesses(state);
    for (auto _ : state) {
        long long total = 0;
        DIR* dir = opendir("/proc");
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
            char path[sizeof(entry->d_name) + 16];
            std::snprintf(path, sizeof(path), "/proc/%s/stat", entry->d_name);
            const int fd = open(path, O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            char buffer[1024];
            const ssize_t n = read(fd, buffer, sizeof(buffer) - 1);
            close(fd);
            if (n <= 0) continue;
            buffer[n] = '\0';
            const char* p = std::strrchr(buffer, ')');
            if (p == nullptr) continue;
            // Fields 14, 15 and 22 after the name (which ends field 2).
            int field = 2;
            for (; *p != '\0' && field < 22; ++p) {
                if (*p != ' ') continue;
                ++field;
                if (field == 14 || field == 15 || field == 22) total += std::strtoll(p + 1, nullptr, 10);
            }
        }
        closedir(dir);
        benchmark::DoNotOptimize(total);
    }
}

BENCHMARK(BM_PerformanceBlock)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MinimalStatLoop)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return quelvo::bench::RunAndPrintRatios(argc, argv, [](const quelvo::bench::RatioReporter& reporter) {
        g_children.Stop();
        for (const std::string extra : {"0", "1000"}) {
            if (const auto ratio = reporter.Ratio("BM_PerformanceBlock/" + extra, "BM_MinimalStatLoop/" + extra))
                std::printf("performance block / minimal loop, %s extra processes: %.2fx (target 1.30x)\n",
                            extra.c_str(), *ratio);
        }
    });
}
