#pragma once
// The console table as usual, keeping each benchmark's real time per
// iteration so a benchmark's main can print its ratios after the table.

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quelvo::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }

    // The time of the named run; nothing when it did not run.
    std::optional<double> Time(const std::string& name) const
    {
        const auto found = times_.find(name);
        if (found == times_.end()) return std::nullopt;
        return found->second;
    }

    // numerator's time / denominator's time; nothing when either did not
    // run or the denominator took no time.
    std::optional<double> Ratio(const std::string& numerator, const std::string& denominator) const
    {
        const std::optional<double> top = Time(numerator);
        const std::optional<double> bottom = Time(denominator);
        if (!top || !bottom || *bottom <= 0) return std::nullopt;
        return *top / *bottom;
    }

private:
    std::map<std::string, double> times_;
};

// A benchmark program's main: runs what the command line picks (1 for
// arguments it does not know), printing the table, then hands the kept
// times to printRatios.
template <class PrintRatios>
int RunAndPrintRatios(int argc, char** argv, PrintRatios&& printRatios)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printRatios(static_cast<const RatioReporter&>(reporter));
    benchmark::Shutdown();
    return 0;
}

}  // namespace quelvo::bench
