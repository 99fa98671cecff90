#pragma once
// Writing the performance data block (see perfdata.h for its layout).

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/system/backend.h"
#include "platform/system/wintypes.h"

namespace quelvo::sys {

struct PerfBlockInput {
    const std::vector<ProcessSample>* samples = nullptr;
    std::int64_t perfTime100ns = 0;  // monotonic, for PerfTime100nSec
    std::int64_t now100ns = 0;       // on the base of the start times
    bool includeProcessObject = true;
    std::u16string_view systemName = u"LOCALHOST";
};

// Replaces out with the block.
void BuildPerfBlock(const PerfBlockInput& input, std::vector<BYTE>& out);

// Whether a performance value name ("230", "Global", "230 232") asks for
// the Process object.
bool PerfQueryWantsProcesses(std::string_view valueName);

}  // namespace quelvo::sys
