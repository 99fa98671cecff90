// The performance block walker against hand-built blocks, intact and damaged.

#include "engine/CPerfCounters.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

#include "platform/system/perfdata.h"

namespace {

struct Proc {
    DWORD pid;
    std::int64_t time;
    std::int64_t start;
};

// Lays out a block the way the system documents it; every field a test may
// damage is reachable through the offsets kept here.
struct Block {
    std::vector<BYTE> bytes;
    std::size_t object = 0;
    std::vector<std::size_t> counters;
    std::vector<std::size_t> instances;

    template <typename T>
    T& At(std::size_t offset)
    {
        return *reinterpret_cast<T*>(bytes.data() + offset);
    }

    template <typename T>
    std::size_t Append(const T& value, std::size_t extra = 0)
    {
        const std::size_t at = bytes.size();
        bytes.resize(at + sizeof(T) + extra);
        std::memcpy(bytes.data() + at, &value, sizeof(T));
        return at;
    }

    static Block Make(const std::vector<Proc>& procs, DWORD objectIndex = 230, bool withStart = true)
    {
        Block b;
        PERF_DATA_BLOCK header;
        header.NumObjectTypes = 2;
        header.HeaderLength = sizeof(PERF_DATA_BLOCK) + 16;  // a system name follows
        header.PerfTime100nSec.QuadPart = 123456789;
        b.Append(header, 16);

        // An unrelated object first, to be stepped over.
        PERF_OBJECT_TYPE other;
        other.ObjectNameTitleIndex = 238;
        other.TotalByteLength = sizeof(PERF_OBJECT_TYPE) + 8;
        b.Append(other, 8);

        PERF_OBJECT_TYPE obj;
        obj.ObjectNameTitleIndex = objectIndex;
        obj.HeaderLength = sizeof(PERF_OBJECT_TYPE);
        const DWORD indexes[] = {6, 784, 684};
        const DWORD offsets[] = {8, 16, 24};
        obj.NumCounters = withStart ? 3 : 2;
        obj.DefinitionLength = sizeof(PERF_OBJECT_TYPE) + obj.NumCounters * sizeof(PERF_COUNTER_DEFINITION);
        obj.NumInstances = static_cast<LONG>(procs.size());
        b.object = b.Append(obj);
        for (LONG i = 0; i < obj.NumCounters; ++i) {
            PERF_COUNTER_DEFINITION def;
            def.ByteLength = sizeof(def);
            def.CounterNameTitleIndex = indexes[i];
            def.CounterOffset = offsets[i];
            def.CounterSize = i == 1 ? 4 : 8;
            b.counters.push_back(b.Append(def));
        }
        for (const auto& p : procs) {
            PERF_INSTANCE_DEFINITION inst;
            inst.ByteLength = sizeof(inst) + 8;  // a short name follows
            b.instances.push_back(b.Append(inst, 8));
            PERF_COUNTER_BLOCK cb;
            cb.ByteLength = 32;
            const std::size_t at = b.Append(cb, 32 - sizeof(cb));
            std::memcpy(b.bytes.data() + at + 8, &p.time, 8);
            std::memcpy(b.bytes.data() + at + 16, &p.pid, 4);
            std::memcpy(b.bytes.data() + at + 24, &p.start, 8);
        }
        b.At<PERF_OBJECT_TYPE>(b.object).TotalByteLength = static_cast<DWORD>(b.bytes.size() - b.object);
        b.At<PERF_DATA_BLOCK>(0).TotalByteLength = static_cast<DWORD>(b.bytes.size());
        return b;
    }

    std::vector<CPerfCounters::Instance> Walk(DWORD size, int* walked = nullptr, DWORD counter = 6)
    {
        std::vector<CPerfCounters::Instance> seen;
        const int n = CPerfCounters::WalkBlock(bytes.data(), size, 230, counter,
                                               [&](const CPerfCounters::Instance& i) { seen.push_back(i); });
        if (walked != nullptr)
            *walked = n;
        return seen;
    }
    std::vector<CPerfCounters::Instance> Walk() { return Walk(static_cast<DWORD>(bytes.size())); }
};

TEST(PerfBlock, WalksEveryInstanceSkippingRepeatsOfTheIdBefore)
{
    Block b = Block::Make({{10, 100, 1}, {10, 200, 1}, {20, 300, 2}, {10, 400, 3}});
    int walked = 0;
    const auto seen = b.Walk(static_cast<DWORD>(b.bytes.size()), &walked);
    EXPECT_EQ(walked, 4);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].processId, 10u);
    EXPECT_EQ(seen[0].value, 100);
    EXPECT_EQ(seen[1].processId, 20u);
    EXPECT_EQ(seen[1].startTime, 2);
    EXPECT_EQ(seen[2].value, 400);
    EXPECT_EQ(seen[2].startTime, 3);
}

TEST(PerfBlock, StartTimeIsOptional)
{
    Block b = Block::Make({{10, 100, 7}}, 230, false);
    const auto seen = b.Walk();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].startTime, 0);
}

TEST(PerfBlock, DamagedOrIncompleteBlocksReportNothing)
{
    struct Case {
        const char* what;
        void (*damage)(Block&);
    };
    const Case cases[] = {
        {"other object only", [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).ObjectNameTitleIndex = 231; }},
        {"no instances", [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).NumInstances = 0; }},
        {"instances not applicable",
         [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).NumInstances = PERF_NO_INSTANCES; }},
        {"id counter missing",
         [](Block& b) { b.At<PERF_COUNTER_DEFINITION>(b.counters[1]).CounterNameTitleIndex = 999; }},
        {"time counter missing",
         [](Block& b) { b.At<PERF_COUNTER_DEFINITION>(b.counters[0]).CounterNameTitleIndex = 999; }},
        {"header length past the end", [](Block& b) { b.At<PERF_DATA_BLOCK>(0).HeaderLength = 0x7FFFFFF0; }},
        {"object count too high", [](Block& b) { b.At<PERF_DATA_BLOCK>(0).NumObjectTypes = 9; b.At<PERF_OBJECT_TYPE>(b.object).ObjectNameTitleIndex = 231; }},
        {"object longer than the data", [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).TotalByteLength += 1; }},
        {"zero-length object before",
         [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.At<PERF_DATA_BLOCK>(0).HeaderLength).TotalByteLength = 0; }},
        {"zero-length counter definition",
         [](Block& b) { b.At<PERF_COUNTER_DEFINITION>(b.counters[0]).ByteLength = 0; }},
        {"counter count too high", [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).NumCounters = 1000000; }},
        {"counter offset outside its block",
         [](Block& b) { b.At<PERF_COUNTER_DEFINITION>(b.counters[0]).CounterOffset = 28; }},
        {"huge counter offset",
         [](Block& b) { b.At<PERF_COUNTER_DEFINITION>(b.counters[1]).CounterOffset = 0xFFFFFFFF; }},
        {"instance count too high", [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).NumInstances = 3; }},
        {"instance length too small",
         [](Block& b) { b.At<PERF_INSTANCE_DEFINITION>(b.instances[1]).ByteLength = 4; }},
        {"instance length past the end",
         [](Block& b) { b.At<PERF_INSTANCE_DEFINITION>(b.instances[1]).ByteLength = 0xFFFFFF00; }},
        {"definition length past the end",
         [](Block& b) { b.At<PERF_OBJECT_TYPE>(b.object).DefinitionLength = 0xFFFFFFF8; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Block b = Block::Make({{10, 100, 1}, {20, 200, 2}});
        c.damage(b);
        int walked = -1;
        EXPECT_TRUE(b.Walk(static_cast<DWORD>(b.bytes.size()), &walked).empty());
        EXPECT_EQ(walked, 0);
    }
}

TEST(PerfBlock, SizeIsTheReturnedSizeNotTheBuffer)
{
    Block b = Block::Make({{10, 100, 1}, {20, 200, 2}});
    const auto full = static_cast<DWORD>(b.bytes.size());
    for (DWORD size : {0u, 10u, static_cast<DWORD>(sizeof(PERF_DATA_BLOCK)), full / 2, full - 1}) {
        int walked = -1;
        EXPECT_TRUE(b.Walk(size, &walked).empty()) << size;
        EXPECT_EQ(walked, 0);
    }
    EXPECT_EQ(CPerfCounters::WalkBlock(nullptr, 100, 230, 6, [](const CPerfCounters::Instance&) {}), 0);
    EXPECT_EQ(b.Walk(full).size(), 2u);
}

} // namespace
