#include "platform/system/perf_block.h"

#include <cstring>
#include <ctime>

#include "platform/system/perfdata.h"
#include "platform/system/text_conversion.h"

namespace quelvo::sys {
namespace {

constexpr std::size_t Align8(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

// Counter block: the length word, padding, then the values.
constexpr DWORD kOffsetProcessorTime = 8;
constexpr DWORD kOffsetElapsedTime = 16;
constexpr DWORD kOffsetIdProcess = 24;
constexpr DWORD kCounterBlockLength = 32;
constexpr int kCounterCount = 3;
constexpr std::size_t kDefinitionLength =
    Align8(sizeof(PERF_OBJECT_TYPE) + kCounterCount * sizeof(PERF_COUNTER_DEFINITION));

constexpr std::size_t kNameCapacity = sizeof(ProcessSample::name);

// The short name in UTF-16, without its terminating zero.
std::size_t WideName(const ProcessSample& sample, char16_t (&wide)[kNameCapacity])
{
    const std::string_view name(sample.name, strnlen(sample.name, kNameCapacity - 1));
    return WidenTextInto(name, wide, kNameCapacity);
}

std::size_t InstanceLength(std::size_t nameUnits)
{
    return Align8(sizeof(PERF_INSTANCE_DEFINITION) + (nameUnits + 1) * sizeof(WCHAR));
}

template <class T>
void Put(std::vector<BYTE>& out, std::size_t at, const T& value)
{
    std::memcpy(out.data() + at, &value, sizeof(T));
}

PERF_COUNTER_DEFINITION Counter(DWORD index, DWORD type, DWORD size, DWORD offset)
{
    PERF_COUNTER_DEFINITION counter;
    counter.ByteLength = sizeof(PERF_COUNTER_DEFINITION);
    counter.CounterNameTitleIndex = index;
    counter.CounterHelpTitleIndex = index + 1;
    counter.DetailLevel = PERF_DETAIL_NOVICE;
    counter.CounterType = type;
    counter.CounterSize = size;
    counter.CounterOffset = offset;
    return counter;
}

SYSTEMTIME UtcNow()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm parts{};
    gmtime_r(&ts.tv_sec, &parts);
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(parts.tm_year + 1900);
    st.wMonth = static_cast<WORD>(parts.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    st.wDay = static_cast<WORD>(parts.tm_mday);
    st.wHour = static_cast<WORD>(parts.tm_hour);
    st.wMinute = static_cast<WORD>(parts.tm_min);
    st.wSecond = static_cast<WORD>(parts.tm_sec);
    st.wMilliseconds = static_cast<WORD>(ts.tv_nsec / 1'000'000);
    return st;
}

}  // namespace

bool PerfQueryWantsProcesses(std::string_view valueName)
{
    while (!valueName.empty()) {
        const std::size_t cut = valueName.find(' ');
        const std::string_view token = valueName.substr(0, cut);
        if (token == "230" || token == "Global") return true;
        if (cut == std::string_view::npos) break;
        valueName.remove_prefix(cut + 1);
    }
    return false;
}

void BuildPerfBlock(const PerfBlockInput& input, std::vector<BYTE>& out)
{
    static const std::vector<ProcessSample> kNone;
    const std::vector<ProcessSample>& samples = input.samples != nullptr ? *input.samples : kNone;

    const std::size_t systemNameBytes = (input.systemName.size() + 1) * sizeof(WCHAR);
    const std::size_t headerLength = Align8(sizeof(PERF_DATA_BLOCK) + systemNameBytes);
    std::size_t objectLength = 0;
    if (input.includeProcessObject) {
        objectLength = kDefinitionLength;
        char16_t wide[kNameCapacity];
        for (const ProcessSample& sample : samples) {
            objectLength += InstanceLength(WideName(sample, wide)) + kCounterBlockLength;
        }
    }
    out.assign(headerLength + objectLength, 0);

    PERF_DATA_BLOCK header;
    std::memcpy(header.Signature, u"PERF", sizeof(header.Signature));
    header.LittleEndian = 1;
    header.Version = 1;
    header.Revision = 1;
    header.TotalByteLength = static_cast<DWORD>(out.size());
    header.HeaderLength = static_cast<DWORD>(headerLength);
    header.NumObjectTypes = input.includeProcessObject ? 1 : 0;
    header.DefaultObject = static_cast<LONG>(kPerfObjectProcess);
    header.SystemTime = UtcNow();
    header.PerfTime.QuadPart = input.perfTime100ns;
    header.PerfFreq.QuadPart = 10'000'000;
    header.PerfTime100nSec.QuadPart = input.perfTime100ns;
    header.SystemNameLength = static_cast<DWORD>(systemNameBytes);
    header.SystemNameOffset = sizeof(PERF_DATA_BLOCK);
    Put(out, 0, header);
    std::memcpy(out.data() + sizeof(PERF_DATA_BLOCK), input.systemName.data(), input.systemName.size() * sizeof(WCHAR));
    if (!input.includeProcessObject) return;

    std::size_t at = headerLength;
    PERF_OBJECT_TYPE object;
    object.TotalByteLength = static_cast<DWORD>(objectLength);
    object.DefinitionLength = static_cast<DWORD>(kDefinitionLength);
    object.HeaderLength = sizeof(PERF_OBJECT_TYPE);
    object.ObjectNameTitleIndex = kPerfObjectProcess;
    object.ObjectHelpTitleIndex = kPerfObjectProcess + 1;
    object.DetailLevel = PERF_DETAIL_NOVICE;
    object.NumCounters = kCounterCount;
    object.DefaultCounter = 0;
    object.NumInstances = static_cast<LONG>(samples.size());
    object.PerfTime.QuadPart = input.now100ns;
    object.PerfFreq.QuadPart = 10'000'000;
    Put(out, at, object);
    std::size_t counterAt = at + sizeof(PERF_OBJECT_TYPE);
    for (const PERF_COUNTER_DEFINITION& counter :
         {Counter(kPerfCounterProcessorTime, PERF_100NSEC_TIMER, 8, kOffsetProcessorTime),
          Counter(kPerfCounterElapsedTime, PERF_ELAPSED_TIME, 8, kOffsetElapsedTime),
          Counter(kPerfCounterIdProcess, PERF_COUNTER_RAWCOUNT, 4, kOffsetIdProcess)}) {
        Put(out, counterAt, counter);
        counterAt += sizeof(PERF_COUNTER_DEFINITION);
    }

    at += kDefinitionLength;
    for (const ProcessSample& sample : samples) {
        char16_t wide[kNameCapacity];
        const std::size_t nameUnits = WideName(sample, wide);
        PERF_INSTANCE_DEFINITION instance;
        instance.ByteLength = static_cast<DWORD>(InstanceLength(nameUnits));
        instance.UniqueID = PERF_NO_UNIQUE_ID;
        instance.NameOffset = sizeof(PERF_INSTANCE_DEFINITION);
        instance.NameLength = static_cast<DWORD>((nameUnits + 1) * sizeof(WCHAR));
        Put(out, at, instance);
        std::memcpy(out.data() + at + sizeof(PERF_INSTANCE_DEFINITION), wide, nameUnits * sizeof(WCHAR));
        at += instance.ByteLength;
        Put(out, at, PERF_COUNTER_BLOCK{kCounterBlockLength});
        Put(out, at + kOffsetProcessorTime, sample.cpuTime100ns);
        Put(out, at + kOffsetElapsedTime, sample.startTime100ns);
        Put(out, at + kOffsetIdProcess, sample.pid);
        at += kCounterBlockLength;
    }
}

}  // namespace quelvo::sys
