#pragma once
// The binary layout of the performance data returned for
// HKEY_PERFORMANCE_DATA, and what this platform puts in it.
//
// Block: PERF_DATA_BLOCK (HeaderLength includes the system name that
// follows it), then NumObjectTypes objects. Object: PERF_OBJECT_TYPE, its
// PERF_COUNTER_DEFINITIONs (first at HeaderLength, each next at + ByteLength),
// then from DefinitionLength on the instances: PERF_INSTANCE_DEFINITION with
// its UTF-16 name (ByteLength covers both), followed by the instance's
// PERF_COUNTER_BLOCK whose ByteLength covers the counter values. Every
// record starts on an 8-byte boundary.
//
// The one object here is the Process object (230), one instance per process
// (no Idle or _Total instances), with the counters:
//   6   "% Processor Time": user + system time, 100 ns units (8 bytes)
//   784 "ID Process": the process id (4 bytes)
//   684 "Elapsed Time": the process's start time, 100 ns units since boot
//       (8 bytes), the object's PerfTime being now in the same units, so a
//       reused process id can be told apart.
// PerfTime100nSec of the block is the monotonic clock in 100 ns units.

#include "platform/system/wintypes.h"

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

struct PERF_DATA_BLOCK {
    WCHAR Signature[4] = {};
    DWORD LittleEndian = 0;
    DWORD Version = 0;
    DWORD Revision = 0;
    DWORD TotalByteLength = 0;
    DWORD HeaderLength = 0;
    DWORD NumObjectTypes = 0;
    LONG DefaultObject = 0;
    SYSTEMTIME SystemTime;
    LARGE_INTEGER PerfTime{};
    LARGE_INTEGER PerfFreq{};
    LARGE_INTEGER PerfTime100nSec{};
    DWORD SystemNameLength = 0;
    DWORD SystemNameOffset = 0;
};
static_assert(sizeof(PERF_DATA_BLOCK) == 88);

struct PERF_OBJECT_TYPE {
    DWORD TotalByteLength = 0;
    DWORD DefinitionLength = 0;
    DWORD HeaderLength = 0;
    DWORD ObjectNameTitleIndex = 0;
    DWORD ObjectNameTitle = 0;
    DWORD ObjectHelpTitleIndex = 0;
    DWORD ObjectHelpTitle = 0;
    DWORD DetailLevel = 0;
    LONG NumCounters = 0;
    LONG DefaultCounter = 0;
    LONG NumInstances = 0;
    DWORD CodePage = 0;
    LARGE_INTEGER PerfTime{};
    LARGE_INTEGER PerfFreq{};
};
static_assert(sizeof(PERF_OBJECT_TYPE) == 64);

struct PERF_COUNTER_DEFINITION {
    DWORD ByteLength = 0;
    DWORD CounterNameTitleIndex = 0;
    DWORD CounterNameTitle = 0;
    DWORD CounterHelpTitleIndex = 0;
    DWORD CounterHelpTitle = 0;
    LONG DefaultScale = 0;
    DWORD DetailLevel = 0;
    DWORD CounterType = 0;
    DWORD CounterSize = 0;
    DWORD CounterOffset = 0;  // from the start of the PERF_COUNTER_BLOCK
};
static_assert(sizeof(PERF_COUNTER_DEFINITION) == 40);

struct PERF_INSTANCE_DEFINITION {
    DWORD ByteLength = 0;
    DWORD ParentObjectTitleIndex = 0;
    DWORD ParentObjectInstance = 0;
    LONG UniqueID = 0;
    DWORD NameOffset = 0;  // from the start of this record
    DWORD NameLength = 0;  // bytes, terminating zero included
};
static_assert(sizeof(PERF_INSTANCE_DEFINITION) == 24);

struct PERF_COUNTER_BLOCK {
    DWORD ByteLength = 0;
};

inline constexpr LONG PERF_NO_INSTANCES = -1;
inline constexpr LONG PERF_NO_UNIQUE_ID = -1;
inline constexpr DWORD PERF_DETAIL_NOVICE = 100;

// Counter types used here.
inline constexpr DWORD PERF_COUNTER_RAWCOUNT = 0x00010000;
inline constexpr DWORD PERF_COUNTER_LARGE_RAWCOUNT = 0x00010100;
inline constexpr DWORD PERF_100NSEC_TIMER = 0x20510500;
inline constexpr DWORD PERF_ELAPSED_TIME = 0x30240500;

namespace quelvo::sys {

inline constexpr DWORD kPerfObjectProcess = 230;
inline constexpr DWORD kPerfCounterProcessorTime = 6;
inline constexpr DWORD kPerfCounterIdProcess = 784;
inline constexpr DWORD kPerfCounterElapsedTime = 684;

}  // namespace quelvo::sys
