#pragma once
// Pairs of benchmarks measured in alternating rounds: a round of one side,
// then a round of the other, several times in one process run, so that
// whatever else the machine does lands on both sides alike. Prints min and
// median per call of each side and of the per-round ratio.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace quelvo::bench {

struct Side {
    std::string name;
    std::function<void()> call;  // one call of the work measured
    // Run before every call and not timed (loading what the call works
    // on, say); none when empty.
    std::function<void()> prepare = {};
};

// What a round is timed by: the wall clock, or the processor time of the
// calling thread (which leaves out the waits for a processor on a busy
// machine, for work that does not sleep itself).
enum class Timing { Wall, ThreadProcessor };

struct Pair {
    std::string title;
    Side subject;
    Side reference;  // the least work that gives the same result
    double target = 0;  // the ratio aimed at; 0 for none
    Timing timing = Timing::Wall;
};

struct Options {
    int rounds = 9;              // of each side, at least 5
    double roundSeconds = 0.2;   // the least time a round runs for
};

// Rounds and round length from the command line ("--rounds=N",
// "--round-seconds=S"); others are ignored.
inline Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rounds=", 9) == 0) options.rounds = std::max(5, std::atoi(argv[i] + 9));
        if (std::strncmp(argv[i], "--round-seconds=", 16) == 0)
            options.roundSeconds = std::max(0.001, std::atof(argv[i] + 16));
    }
    return options;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    if (n == 0) return 0;
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double Min(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

inline double Seconds(Timing timing)
{
    if (timing == Timing::Wall)
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The time of calls calls, each after its untimed preparation when it has one.
inline double TimeCalls(const Side& side, long calls, Timing timing)
{
    if (!side.prepare) {
        const double start = Seconds(timing);
        for (long i = 0; i < calls; ++i) side.call();
        return Seconds(timing) - start;
    }
    double seconds = 0;
    for (long i = 0; i < calls; ++i) {
        side.prepare();
        const double start = Seconds(timing);
        side.call();
        seconds += Seconds(timing) - start;
    }
    return seconds;
}

// Seconds per call over a round of calls; calls is kept from round to
// round so both sides' rounds take about the same time.
inline double TimeRound(const Side& side, long& calls, double roundSeconds, Timing timing = Timing::Wall)
{
    for (;;) {
        const double seconds = TimeCalls(side, calls, timing);
        if (seconds >= roundSeconds || calls > (1L << 40)) return seconds / static_cast<double>(calls);
        calls = std::max(calls * 2, static_cast<long>(static_cast<double>(calls) * roundSeconds / std::max(seconds, 1e-9)));
    }
}

// A time per call in the unit that reads best.
inline std::string Readable(double seconds)
{
    char text[32];
    if (seconds >= 1e-1)
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    else if (seconds >= 1e-4)
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    else if (seconds >= 1e-7)
        std::snprintf(text, sizeof text, "%.3f us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.1f ns", seconds * 1e9);
    return text;
}

struct PairResult {
    std::vector<double> subject, reference, ratio;
};

inline PairResult RunPair(const Pair& pair, const Options& options)
{
    PairResult result;
    long subjectCalls = 1;
    long referenceCalls = 1;
    // A first round of each warms caches and sizes the rounds; not counted.
    TimeRound(pair.subject, subjectCalls, options.roundSeconds, pair.timing);
    TimeRound(pair.reference, referenceCalls, options.roundSeconds, pair.timing);
    for (int round = 0; round < options.rounds; ++round) {
        result.subject.push_back(TimeRound(pair.subject, subjectCalls, options.roundSeconds, pair.timing));
        result.reference.push_back(TimeRound(pair.reference, referenceCalls, options.roundSeconds, pair.timing));
        result.ratio.push_back(result.subject.back() / result.reference.back());
    }
    return result;
}

inline void PrintPair(const Pair& pair, const PairResult& result)
{
    std::printf("\n%s (%zu alternating rounds each%s)\n", pair.title.c_str(), result.subject.size(),
                pair.timing == Timing::ThreadProcessor ? ", processor time of the thread" : "");
    std::printf("  %-40s %14s %14s\n", "per call", "min", "median");
    for (const auto& [side, times] : {std::pair{&pair.subject, &result.subject}, {&pair.reference, &result.reference}})
        std::printf("  %-40s %14s %14s\n", side->name.c_str(), Readable(Min(*times)).c_str(),
                    Readable(Median(*times)).c_str());
    std::printf("  %-40s %14.2f %14.2f", ("ratio " + pair.subject.name + " / " + pair.reference.name).c_str(),
                Min(result.ratio), Median(result.ratio));
    if (pair.target > 0) std::printf("   (target: median at most %.2f)", pair.target);
    std::printf("\n");
    std::fflush(stdout);
}

// Runs and prints every pair; the exit status is 0.
inline int RunPairs(int argc, char** argv, const std::vector<Pair>& pairs)
{
    const Options options = ParseOptions(argc, argv);
    for (const Pair& pair : pairs) PrintPair(pair, RunPair(pair, options));
    return 0;
}

}  // namespace quelvo::bench
