#pragma once
// Reader of the system's performance data: one data block, reused by every
// query and grown as needed, and a walker over the process instances of one
// performance object that checks every offset and length against the data
// actually returned.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/system/wintypes.h"

class ProcessWatcher;

class CPerfCounters {
public:
    static constexpr DWORD kStartSize = 102400;
    static constexpr DWORD kGrowthStep = 10240;
    // Counter indexes read beside the one asked for.
    static constexpr DWORD kIdProcess = 784;
    static constexpr DWORD kElapsedTime = 684;

    // One process instance: its id, the asked counter's value, its start
    // time (the "Elapsed Time" counter's raw value; 0 when the object has no
    // such counter) and the bytes of its UTF-16 instance name (the short
    // name the system gives the process now; empty when it has none). The
    // name points into the block and lives until the next query.
    struct Instance {
        DWORD processId = 0;
        std::int64_t value = 0;
        std::int64_t startTime = 0;
        std::string_view name;
    };
    using InstanceHandler = std::function<void(const Instance&)>;

    // Queries the data of one object index into the block and returns the
    // bytes that hold data (0 when the query failed).
    DWORD QueryData(DWORD objectIndex);

    // Queries, then reports every instance of the object, skipping an
    // instance whose id equals the id just before it. Returns the number of
    // instances walked (0 when the object, one of its counters, or any
    // instance is missing or malformed).
    int ForEachProcess(DWORD objectIndex, DWORD counterIndex, const InstanceHandler& handler);
    int ForEachProcess(DWORD objectIndex, DWORD counterIndex, ProcessWatcher& watcher);

    // Walks a block already in memory, as ForEachProcess does.
    static int WalkBlock(const BYTE* block, DWORD size, DWORD objectIndex, DWORD counterIndex,
                         const InstanceHandler& handler);

    // PerfTime100nSec of the last block queried (0 when none).
    std::int64_t PerfTime100nSec() const { return perfTime100nSec_; }
    const std::vector<BYTE>& Block() const { return block_; }

private:
    std::vector<BYTE> block_;
    std::int64_t perfTime100nSec_ = 0;
};
