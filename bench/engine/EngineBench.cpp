// One engine cycle (Sample + PurgeVanished), and the engine's own work in
// it alone, against the performance block the cycle stands on (the least
// work that yields the same numbers), with the live process list and with
// 1,000 extra sleeping children. Alternating rounds.

#include <cstdio>
#include <memory>
#include <string>

#include "bench/common/alternating.h"
#include "engine/ProcessWatcher.h"
#include "tests/engine/ChildProcesses.h"

namespace {

// A watcher that has seen every process once.
std::unique_ptr<ProcessWatcher> ReadyWatcher()
{
    auto watcher = std::make_unique<ProcessWatcher>();
    watcher->EnforceRules = false;
    watcher->ScanProcesses();
    watcher->Sample();
    watcher->PurgeVanished();
    return watcher;
}

}  // namespace

int main(int argc, char** argv)
{
    for (const int extra : {0, 1000}) {
        ChildProcesses children;
        for (int i = 0; i < extra; ++i) children.StartSleeping();
        CPerfCounters perf;
        const auto cycling = ReadyWatcher();
        // The engine's own work alone: walking a block already read and
        // updating the records, without the system query.
        const auto walking = ReadyWatcher();
        const auto& block = walking->PerfCounters().Block();
        std::int64_t tick = 0;
        const quelvo::bench::Side blockSide{"performance block", [&] { perf.QueryData(ProcessWatcher::kPerfObjectProcess); }};
        const std::string processes = std::to_string(cycling->Processes().size()) + " processes";
        quelvo::bench::RunPairs(
            argc, argv,
            {{"engine cycle, " + processes,
              {"Sample + PurgeVanished",
               [&] {
                   cycling->Sample();
                   cycling->PurgeVanished();
               }},
              blockSide},
             {"engine's own work, " + processes,
              {"walk and update records",
               [&] {
                   ++walking->SampleTime;
                   ++tick;
                   CPerfCounters::WalkBlock(block.data(), static_cast<DWORD>(block.size()),
                                            ProcessWatcher::kPerfObjectProcess, ProcessWatcher::kPerfCounterProcessorTime,
                                            [&](const CPerfCounters::Instance& i) {
                                                walking->UpdateProcessCpu(i.processId, i.value + tick, i.startTime);
                                            });
                   walking->PurgeVanished();
               }},
              blockSide,
              0.2}});
    }
    return 0;
}
