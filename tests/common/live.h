#pragma once
// What the live tests share. They run against the real kernel on machines
// of any size under any other load, so a claim about processor use is
// judged against what the kernel really gave the process (its own stat
// file over the same interval), never against a fixed share of the
// machine. Executables built with quelvo_live_test() also run sealed in a
// private pid namespace (see live_main.cpp) and one at a time.

#include <sched.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace quelvo::test::live {

// Set in the environment of a test sealed in its own pid namespace.
inline constexpr const char* kSealedVariable = "QUELVO_LIVE_SEALED";

// The fields of a stat file from the third (the state) on; empty when
// unreadable. The name before them may hold spaces and parentheses.
inline std::vector<std::string> StatFields(const std::string& path)
{
    std::ifstream in(path);
    const std::string stat((std::istreambuf_iterator<char>(in)), {});
    const auto close = stat.rfind(')');
    std::vector<std::string> fields;
    if (close == std::string::npos || close + 2 > stat.size()) return fields;
    std::istringstream rest(stat.substr(close + 2));
    for (std::string field; rest >> field;) fields.push_back(field);
    return fields;
}

// Field n (counted from 1, as the stat file's manual does); "" when absent.
inline std::string StatField(const std::vector<std::string>& fields, std::size_t n)
{
    return n >= 3 && n - 3 < fields.size() ? fields[n - 3] : std::string();
}

// Processor time (user and system) of a stat file in seconds; -1 when
// unreadable.
inline double StatSeconds(const std::string& path)
{
    const auto fields = StatFields(path);
    if (fields.size() < 13) return -1;
    const double ticks = std::stod(StatField(fields, 14)) + std::stod(StatField(fields, 15));
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Whether this process may give a lowered priority back: root, or a nice
// limit of 20.
inline bool MayRaisePriorities()
{
    if (::geteuid() == 0) return true;
    rlimit limit{};
    return ::getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur >= 20;
}

// The nice values of every thread of a process (empty once it is gone).
inline std::vector<int> ThreadNices(pid_t pid)
{
    std::vector<int> nices;
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        const std::string nice = StatField(StatFields(task.path().string() + "/stat"), 19);
        if (!nice.empty()) nices.push_back(std::atoi(nice.c_str()));
    }
    return nices;
}

// Whether a process still exists with every thread at the nice value.
inline bool AllAt(pid_t pid, int nice)
{
    const std::vector<int> nices = ThreadNices(pid);
    return !nices.empty() && std::all_of(nices.begin(), nices.end(), [nice](int n) { return n == nice; });
}

// Of a process, all its threads together.
inline double ProcessSeconds(pid_t pid) { return StatSeconds("/proc/" + std::to_string(pid) + "/stat"); }

// Of one thread of a process.
inline double ThreadSeconds(pid_t pid, pid_t tid)
{
    return StatSeconds("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/stat");
}

// Seconds of one clock tick: the grain of every processor time above.
inline double TickSeconds() { return 1.0 / static_cast<double>(::sysconf(_SC_CLK_TCK)); }

// The processors this process may run on.
inline std::vector<int> UsableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    std::vector<int> cpus;
    if (::sched_getaffinity(0, sizeof(set), &set) != 0) return cpus;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
        if (CPU_ISSET(cpu, &set)) cpus.push_back(cpu);
    return cpus;
}

// How many processors the machine counts in a share of "the whole machine".
inline int OnlineProcessors() { return std::max(1, static_cast<int>(::sysconf(_SC_NPROCESSORS_ONLN))); }

// What a process really got since the meter was made: the processor time
// its stat file gained over the wall time that passed.
class ShareMeter {
public:
    explicit ShareMeter(pid_t pid) : pid_(pid), start_(ProcessSeconds(pid)) {}

    // In processors: 1.0 is one processor all the time.
    double Processors() const
    {
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun_).count();
        const double now = ProcessSeconds(pid_);
        return wall <= 0 || now < 0 || start_ < 0 ? 0 : (now - start_) / wall;
    }
    // In percent of the whole machine, as the engine counts a share.
    double MachinePercent() const { return Processors() * 100.0 / OnlineProcessors(); }

private:
    pid_t pid_;
    double start_;
    std::chrono::steady_clock::time_point begun_ = std::chrono::steady_clock::now();
};

// A process's processor time and the wall clock, read together.
struct Reading {
    double seconds = 0;
    std::chrono::steady_clock::time_point at;
};

inline Reading ReadNow(pid_t pid) { return {ProcessSeconds(pid), std::chrono::steady_clock::now()}; }

// The least and the most a process can have held, in processors, over a
// stretch measured by something else whose start fell between the first
// two readings and whose end between the last two: however long the
// measuring itself took on a busy machine. Times are whole clock ticks,
// so a tick is allowed at each end.
struct ShareBounds {
    double least = 0;
    double most = 0;
};

inline ShareBounds Bounds(const Reading& beforeStart, const Reading& afterStart, const Reading& beforeEnd,
                          const Reading& afterEnd)
{
    const auto wall = [](const Reading& from, const Reading& to) {
        return std::chrono::duration<double>(to.at - from.at).count();
    };
    const double tick = TickSeconds();
    const double inner = beforeEnd.seconds - afterStart.seconds - 2 * tick;
    const double outer = afterEnd.seconds - beforeStart.seconds + 2 * tick;
    return {std::max(0.0, inner) / wall(beforeStart, afterEnd), outer / wall(afterStart, beforeEnd)};
}

// Whether this test runs sealed in a pid namespace of its own (set up by
// live_main.cpp where the kernel allows it).
inline bool Sealed() { return std::getenv(kSealedVariable) != nullptr; }

}  // namespace quelvo::test::live
