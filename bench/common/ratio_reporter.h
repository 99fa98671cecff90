#pragma once
// The ratios of several pairs in one table: each pair runs in alternating
// rounds and prints its own lines, then one row per pair gives the min and
// median ratio of subject to reference and whether the median meets the
// pair's target.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/common/alternating.h"

namespace quelvo::bench {

class RatioReporter {
public:
    explicit RatioReporter(std::string title) : title_(std::move(title)) {}

    void Add(const std::string& name, const PairResult& result, double target)
    {
        rows_.push_back(Row{name, Min(result.ratio), Median(result.ratio), target});
    }

    // Runs and prints each pair and keeps its ratio under the pair's
    // subject name.
    void Run(const std::vector<Pair>& pairs, const Options& options)
    {
        for (const Pair& pair : pairs) {
            const PairResult result = RunPair(pair, options);
            PrintPair(pair, result);
            Add(pair.subject.name, result, pair.target);
        }
    }

    void Print() const
    {
        std::printf("\n%s\n  %-24s %10s %10s %10s\n", title_.c_str(), "ratio", "min", "median", "target");
        for (const Row& row : rows_) {
            std::printf("  %-24s %10.2f %10.2f", row.name.c_str(), row.min, row.median);
            if (row.target > 0) std::printf(" %10.2f  %s", row.target, row.median <= row.target ? "met" : "missed");
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    struct Row {
        std::string name;
        double min = 0, median = 0, target = 0;
    };
    std::string title_;
    std::vector<Row> rows_;
};

}  // namespace quelvo::bench
