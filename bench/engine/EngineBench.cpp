// One engine cycle (Sample + PurgeVanished) against the performance block
// it stands on, with the live process list and with 1,000 extra sleeping
// children. The engine's own work is the cycle minus the block.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <memory>
#include <string>

#include "bench/common/ratio_reporter.h"
#include "engine/ProcessWatcher.h"
#include "tests/engine/ChildProcesses.h"

namespace {

// Extra sleeping children kept for the whole run of one argument value.
class ExtraChildren {
public:
    void Ensure(int count)
    {
        if (count == count_)
            return;
        children_ = std::make_unique<ChildProcesses>();
        for (int i = 0; i < count; ++i)
            children_->StartSleeping();
        count_ = count;
    }

private:
    std::unique_ptr<ChildProcesses> children_;
    int count_ = 0;
};

ExtraChildren& Extra()
{
    static ExtraChildren extra;
    return extra;
}

void BM_PerfBlock(benchmark::State& state)
{
    Extra().Ensure(static_cast<int>(state.range(0)));
    CPerfCounters perf;
    int instances = 0;
    for (auto _ : state) {
        const DWORD size = perf.QueryData(ProcessWatcher::kPerfObjectProcess);
        benchmark::DoNotOptimize(size);
    }
    instances = CPerfCounters::WalkBlock(perf.Block().data(), static_cast<DWORD>(perf.Block().size()),
                                         ProcessWatcher::kPerfObjectProcess,
                                         ProcessWatcher::kPerfCounterProcessorTime,
                                         [](const CPerfCounters::Instance&) {});
    state.counters["processes"] = instances;
    state.counters["per_process"] =
        benchmark::Counter(static_cast<double>(instances) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_EngineCycle(benchmark::State& state)
{
    Extra().Ensure(static_cast<int>(state.range(0)));
    const std::size_t heapBefore = mallinfo2().uordblks;
    ProcessWatcher watcher;
    watcher.EnforceRules = false;
    watcher.ScanProcesses();
    watcher.Sample();
    watcher.PurgeVanished();
    for (auto _ : state) {
        watcher.Sample();
        watcher.PurgeVanished();
    }
    const auto processes = watcher.Processes().size();
    state.counters["processes"] = static_cast<double>(processes);
    state.counters["per_process"] =
        benchmark::Counter(static_cast<double>(processes) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // The heap the watcher holds: records, hash buckets and the data block.
    state.counters["engine_heap_KiB"] = static_cast<double>(mallinfo2().uordblks - heapBefore) / 1024.0;
    state.counters["block_KiB"] = static_cast<double>(watcher.PerfCounters().Block().size()) / 1024.0;
}

// The engine's own work alone: walking a block already read and updating
// the records, without the system query.
void BM_EngineOwnWork(benchmark::State& state)
{
    Extra().Ensure(static_cast<int>(state.range(0)));
    ProcessWatcher watcher;
    watcher.EnforceRules = false;
    watcher.ScanProcesses();
    watcher.Sample();
    watcher.PurgeVanished();
    const auto& block = watcher.PerfCounters().Block();
    for (auto _ : state) {
        ++watcher.SampleTime;
        CPerfCounters::WalkBlock(block.data(), static_cast<DWORD>(block.size()), ProcessWatcher::kPerfObjectProcess,
                                 ProcessWatcher::kPerfCounterProcessorTime, [&](const CPerfCounters::Instance& i) {
                                     watcher.UpdateProcessCpu(i.processId, i.value + state.iterations(),
                                                              i.startTime);
                                 });
        watcher.PurgeVanished();
    }
    state.counters["processes"] = static_cast<double>(watcher.Processes().size());
}

BENCHMARK(BM_PerfBlock)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineCycle)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EngineOwnWork)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return quelvo::bench::RunAndPrintRatios(argc, argv, [](const quelvo::bench::RatioReporter& reporter) {
        for (const std::string extra : {"0", "1000"}) {
            const auto own = reporter.Ratio("BM_EngineOwnWork/" + extra, "BM_PerfBlock/" + extra);
            if (!own)
                continue;
            std::printf("extra children %-5s engine's own work / block = %.2f %% (target < 20 %%)", extra.c_str(),
                        100.0 * *own);
            if (const auto cycle = reporter.Ratio("BM_EngineCycle/" + extra, "BM_PerfBlock/" + extra))
                std::printf(", full cycle / block = %.2f", *cycle);
            std::printf("\n");
        }
    });
}
