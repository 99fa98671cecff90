#pragma once
// An independent reader of the performance data block for the tests: it
// walks the bytes by their documented offsets, not by the layer's
// structures, and checks every length against the block.

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace quelvo::test {

struct WalkedInstance {
    std::string name;        // the low bytes of the name: enough for ASCII
    std::u16string wideName;
    std::uint32_t pid = 0;
    std::int64_t processorTime = 0;
    std::int64_t startTime = 0;
};

struct WalkedBlock {
    std::string error;  // empty when the block is sound
    std::int64_t perfTime100nSec = 0;
    std::int64_t objectPerfTime = 0;
    std::uint32_t objectCount = 0;
    bool hasProcessObject = false;
    std::vector<WalkedInstance> instances;
};

class PerfWalker {
public:
    explicit PerfWalker(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    WalkedBlock Walk()
    {
        WalkedBlock block;
        if (!Check(0, 88)) return Fail(block, "header beyond the block");
        const char16_t expected[4] = {u'P', u'E', u'R', u'F'};
        if (std::memcmp(bytes_.data(), expected, 8) != 0) return Fail(block, "bad signature");
        const std::uint32_t total = U32(20);
        if (total != bytes_.size()) return Fail(block, "TotalByteLength differs from the size");
        const std::uint32_t headerLength = U32(24);
        block.objectCount = U32(28);
        block.perfTime100nSec = I64(72);
        std::size_t object = headerLength;
        for (std::uint32_t i = 0; i < block.objectCount; ++i) {
            if (!Check(object, 64)) return Fail(block, "object beyond the block");
            const std::uint32_t objectLength = U32(object);
            if (!Check(object, objectLength) || objectLength < 64) return Fail(block, "object length");
            if (U32(object + 12) == 230) {
                block.hasProcessObject = true;
                if (!WalkProcesses(object, block)) return block;
            }
            object += objectLength;
        }
        return block;
    }

private:
    bool WalkProcesses(std::size_t object, WalkedBlock& block)
    {
        const std::uint32_t definitionLength = U32(object + 4);
        const std::uint32_t objectHeaderLength = U32(object + 8);
        const auto counters = static_cast<std::int32_t>(U32(object + 32));
        const auto instances = static_cast<std::int32_t>(U32(object + 40));
        block.objectPerfTime = I64(object + 48);
        std::map<std::uint32_t, std::uint32_t> offsetOf;  // counter index -> offset
        std::size_t counter = object + objectHeaderLength;
        for (std::int32_t i = 0; i < counters; ++i) {
            if (!Check(counter, 40)) return Fail(block, "counter beyond the block"), false;
            offsetOf[U32(counter + 4)] = U32(counter + 36);
            counter += U32(counter);
        }
        if (!offsetOf.count(6) || !offsetOf.count(784) || !offsetOf.count(684)) {
            return Fail(block, "a counter is missing"), false;
        }
        std::size_t instance = object + definitionLength;
        for (std::int32_t i = 0; i < instances; ++i) {
            if (!Check(instance, 24)) return Fail(block, "instance beyond the block"), false;
            const std::uint32_t length = U32(instance);
            const std::uint32_t nameOffset = U32(instance + 16);
            const std::uint32_t nameLength = U32(instance + 20);
            if (length % 8 != 0 || !Check(instance + nameOffset, nameLength) || nameOffset + nameLength > length) {
                return Fail(block, "instance lengths"), false;
            }
            WalkedInstance walked;
            if (nameLength < 2 || nameLength % 2 != 0 || U16(instance + nameOffset + nameLength - 2) != 0) {
                return Fail(block, "instance name not terminated"), false;
            }
            for (std::uint32_t k = 0; k + 2 < nameLength; k += 2) {
                const char16_t unit = U16(instance + nameOffset + k);
                walked.wideName += unit;
                walked.name += static_cast<char>(unit & 0xFF);
            }
            const std::size_t counterBlock = instance + length;
            if (!Check(counterBlock, 4)) return Fail(block, "counter block beyond the block"), false;
            const std::uint32_t blockLength = U32(counterBlock);
            if (!Check(counterBlock, blockLength)) return Fail(block, "counter block length"), false;
            walked.pid = U32(counterBlock + offsetOf[784]);
            walked.processorTime = I64(counterBlock + offsetOf[6]);
            walked.startTime = I64(counterBlock + offsetOf[684]);
            block.instances.push_back(walked);
            instance = counterBlock + blockLength;
        }
        if (instance != object + U32(object)) return Fail(block, "instances do not fill the object"), false;
        return true;
    }

    bool Check(std::size_t at, std::size_t length) const { return at <= bytes_.size() && length <= bytes_.size() - at; }
    char16_t U16(std::size_t at) const
    {
        char16_t v = 0;
        if (Check(at, 2)) std::memcpy(&v, bytes_.data() + at, 2);
        return v;
    }
    std::uint32_t U32(std::size_t at) const
    {
        std::uint32_t v = 0;
        if (Check(at, 4)) std::memcpy(&v, bytes_.data() + at, 4);
        return v;
    }
    std::int64_t I64(std::size_t at) const
    {
        std::int64_t v = 0;
        if (Check(at, 8)) std::memcpy(&v, bytes_.data() + at, 8);
        return v;
    }
    static WalkedBlock& Fail(WalkedBlock& block, const char* why)
    {
        block.error = why;
        return block;
    }

    const std::vector<unsigned char>& bytes_;
};

}  // namespace quelvo::test

#include "platform/system/registry.h"

namespace quelvo::test {

// Queries the performance data the way a careful caller does: grow the
// buffer while the answer is ERROR_MORE_DATA.
inline LONG QueryPerfBlock(const char* valueName, std::vector<unsigned char>& bytes)
{
    bytes.assign(64, 0);
    for (int attempt = 0; attempt < 10; ++attempt) {
        DWORD size = static_cast<DWORD>(bytes.size());
        DWORD type = 0;
        const LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, valueName, nullptr, &type, bytes.data(), &size);
        if (result == ERROR_MORE_DATA) {
            bytes.assign(size + 1024, 0);
            continue;
        }
        if (result == ERROR_SUCCESS) bytes.resize(size);
        return result;
    }
    return ERROR_MORE_DATA;
}

}  // namespace quelvo::test
