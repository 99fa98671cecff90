#include "engine/CPerfCounters.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "engine/ProcessWatcher.h"
#include "platform/system/perfdata.h"
#include "platform/system/registry.h"

namespace {

// The block never grows beyond this: a larger answer is not performance data.
constexpr DWORD kMaxBlockSize = 256u * 1024u * 1024u;

template <typename T>
bool ReadAt(const BYTE* block, std::uint64_t limit, std::uint64_t offset, T& out)
{
    if (offset > limit || limit - offset < sizeof(T))
        return false;
    std::memcpy(&out, block + offset, sizeof(T));
    return true;
}

struct Layout {
    std::uint64_t firstInstance = 0;
    std::uint64_t objectEnd = 0;
    LONG instances = 0;
    DWORD idOffset = 0;
    DWORD valueOffset = 0;
    bool hasStart = false;
    DWORD startOffset = 0;
};

// Finds the object and its counters; false when anything is missing or
// lies outside the data.
bool FindLayout(const BYTE* block, DWORD size, DWORD objectIndex, DWORD counterIndex, Layout& layout)
{
    PERF_DATA_BLOCK header;
    if (!ReadAt(block, size, 0, header))
        return false;
    std::uint64_t offset = header.HeaderLength;
    PERF_OBJECT_TYPE object;
    bool found = false;
    for (DWORD i = 0; i < header.NumObjectTypes; ++i) {
        if (!ReadAt(block, size, offset, object))
            return false;
        if (object.ObjectNameTitleIndex == objectIndex) {
            found = true;
            break;
        }
        if (object.TotalByteLength == 0)
            return false;
        offset += object.TotalByteLength;
    }
    if (!found || object.TotalByteLength < sizeof(PERF_OBJECT_TYPE) || offset + object.TotalByteLength > size)
        return false;
    layout.objectEnd = offset + object.TotalByteLength;

    bool hasId = false;
    bool hasValue = false;
    std::uint64_t counter = offset + object.HeaderLength;
    for (LONG j = 0; j < object.NumCounters; ++j) {
        PERF_COUNTER_DEFINITION def;
        if (!ReadAt(block, layout.objectEnd, counter, def) || def.ByteLength == 0)
            return false;
        if (def.CounterNameTitleIndex == CPerfCounters::kIdProcess && !hasId) {
            hasId = true;
            layout.idOffset = def.CounterOffset;
        } else if (def.CounterNameTitleIndex == counterIndex && !hasValue) {
            hasValue = true;
            layout.valueOffset = def.CounterOffset;
        } else if (def.CounterNameTitleIndex == CPerfCounters::kElapsedTime && !layout.hasStart) {
            layout.hasStart = true;
            layout.startOffset = def.CounterOffset;
        }
        counter += def.ByteLength;
    }
    if (!hasId || !hasValue || object.NumInstances == PERF_NO_INSTANCES || object.NumInstances <= 0)
        return false;
    layout.instances = object.NumInstances;
    layout.firstInstance = offset + object.DefinitionLength;
    return true;
}

// The bytes of an instance's name without its terminating zero; empty when
// the name does not lie inside the instance record.
std::string_view InstanceName(const BYTE* record, const PERF_INSTANCE_DEFINITION& instance)
{
    const std::uint64_t end = static_cast<std::uint64_t>(instance.NameOffset) + instance.NameLength;
    if (instance.NameLength < sizeof(char16_t) || instance.NameOffset < sizeof(instance) || end > instance.ByteLength)
        return {};
    return {reinterpret_cast<const char*>(record + instance.NameOffset), instance.NameLength - sizeof(char16_t)};
}

// Visits every instance; false as soon as one does not fit in the object.
template <typename Visit>
bool VisitInstances(const BYTE* block, const Layout& layout, Visit&& visit)
{
    std::uint64_t offset = layout.firstInstance;
    for (LONG i = 0; i < layout.instances; ++i) {
        PERF_INSTANCE_DEFINITION instance;
        if (!ReadAt(block, layout.objectEnd, offset, instance) || instance.ByteLength < sizeof(instance))
            return false;
        const std::uint64_t counters = offset + instance.ByteLength;
        PERF_COUNTER_BLOCK counterBlock;
        if (!ReadAt(block, layout.objectEnd, counters, counterBlock) || counterBlock.ByteLength < sizeof(counterBlock))
            return false;
        const std::uint64_t end = counters + counterBlock.ByteLength;
        if (end > layout.objectEnd)
            return false;
        CPerfCounters::Instance item;
        item.name = InstanceName(block + offset, instance);
        if (!ReadAt(block, end, counters + layout.idOffset, item.processId) ||
            !ReadAt(block, end, counters + layout.valueOffset, item.value))
            return false;
        if (layout.hasStart && !ReadAt(block, end, counters + layout.startOffset, item.startTime))
            return false;
        visit(item);
        offset = end;
    }
    return true;
}

} // namespace

DWORD CPerfCounters::QueryData(DWORD objectIndex)
{
    if (block_.empty())
        block_.resize(kStartSize);
    const std::string valueName = std::to_string(objectIndex);
    perfTime100nSec_ = 0;
    for (;;) {
        std::fill(block_.begin(), block_.end(), BYTE{0});
        DWORD size = static_cast<DWORD>(block_.size());
        const LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, valueName.c_str(), nullptr, nullptr,
                                             block_.data(), &size);
        if (result == static_cast<LONG>(ERROR_MORE_DATA)) {
            // Grow by at least one step even when the size was left as given.
            const std::uint64_t wanted =
                std::max<std::uint64_t>(size, block_.size()) + kGrowthStep;
            if (wanted > kMaxBlockSize)
                return 0;
            block_.resize(static_cast<std::size_t>(wanted));
            continue;
        }
        if (result != static_cast<LONG>(ERROR_SUCCESS))
            return 0;
        size = std::min<DWORD>(size, static_cast<DWORD>(block_.size()));
        PERF_DATA_BLOCK header;
        if (ReadAt(block_.data(), size, 0, header))
            perfTime100nSec_ = header.PerfTime100nSec.QuadPart;
        return size;
    }
}

int CPerfCounters::WalkBlock(const BYTE* block, DWORD size, DWORD objectIndex, DWORD counterIndex,
                             const InstanceHandler& handler)
{
    Layout layout;
    if (block == nullptr || !FindLayout(block, size, objectIndex, counterIndex, layout))
        return 0;
    // Check every instance before reporting any, so a damaged block is a
    // failed sample as a whole rather than half of one.
    if (!VisitInstances(block, layout, [](const Instance&) {}))
        return 0;
    bool first = true;
    DWORD previous = 0;
    VisitInstances(block, layout, [&](const Instance& item) {
        if (first || item.processId != previous)
            handler(item);
        first = false;
        previous = item.processId;
    });
    return layout.instances;
}

int CPerfCounters::ForEachProcess(DWORD objectIndex, DWORD counterIndex, const InstanceHandler& handler)
{
    const DWORD size = QueryData(objectIndex);
    return WalkBlock(block_.data(), size, objectIndex, counterIndex, handler);
}

int CPerfCounters::ForEachProcess(DWORD objectIndex, DWORD counterIndex, ProcessWatcher& watcher)
{
    return ForEachProcess(objectIndex, counterIndex, [&watcher](const Instance& item) {
        watcher.UpdateProcessCpu(item.processId, item.value, item.startTime, item.name);
    });
}
