// The performance-block walker on a random block, and the instances it
// reports fed to the engine's update and purge as a watch cycle does.
// Input: one byte picking the counter asked for, then the block.

#include "engine/CPerfCounters.h"
#include "engine/ProcessWatcher.h"
#include "tests/fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ProcessWatcher watcher;
    if (size == 0) return 0;
    watcher.EnforceRules = false;
    const DWORD counter = data[0] & 1 ? ProcessWatcher::kPerfCounterProcessorTime : CPerfCounters::kElapsedTime;
    // A copy, so that the walker cannot lean on bytes past the block.
    const std::vector<BYTE> block(data + 1, data + size);
    watcher.SampleTime = watcher.CurrentTime += 1000;
    CPerfCounters::WalkBlock(block.data(), static_cast<DWORD>(block.size()), ProcessWatcher::kPerfObjectProcess,
                             counter, [](const CPerfCounters::Instance& instance) {
                                 watcher.UpdateProcessCpu(instance.processId, instance.value, instance.startTime);
                             });
    watcher.PurgeVanished();
    return 0;
}
