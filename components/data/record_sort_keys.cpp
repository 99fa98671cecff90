#include "components/data/record_sort_keys.h"

#include <algorithm>

void RecordSortKeys::AddLevel(const std::vector<int>& records, int recordCount, const KeyOf& keyOf)
{
    Level& level = levels_.emplace_back();
    const auto giveUp = [&level] { level = Level{}; };
    level.Spans.resize(static_cast<std::size_t>(std::max(recordCount, 0)));
    for (const int record : records) {
        if (record < 0 || record >= recordCount) continue;
        const std::size_t begin = level.Bytes.size();
        if (!keyOf(record, level.Bytes)) return giveUp();
        const std::size_t length = level.Bytes.size() - begin;
        // Offsets are 32 bits wide; a larger level compares per comparison.
        if (level.Bytes.size() >= kMissing) return giveUp();
        level.Spans[static_cast<std::size_t>(record)] = {static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(length)};
    }
}
