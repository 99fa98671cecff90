#pragma once
// Sort keys of records, built once per sort: for each level of a sorting
// list, one key per record whose byte order is the order in which the
// controller compares the records' values of that level. A sort then costs
// byte comparisons instead of a field comparison per comparison.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class RecordSortKeys {
public:
    // Appends a record's key; false when the level has no exact key.
    using KeyOf = std::function<bool(int recordIndex, std::string& key)>;

    // Adds the next level with the keys of the given records (indexes in
    // 0..recordCount - 1); a level where keyOf answers false is left
    // without keys.
    void AddLevel(const std::vector<int>& records, int recordCount, const KeyOf& keyOf);
    void Clear() { levels_.clear(); }

    // Whether both records have keys at level.
    bool Has(int level, int recordIndex1, int recordIndex2) const
    {
        if (level < 0 || static_cast<std::size_t>(level) >= levels_.size()) return false;
        const Level& l = levels_[static_cast<std::size_t>(level)];
        return Present(l, recordIndex1) && Present(l, recordIndex2);
    }
    // <0, 0 or >0 as the two records' keys at level order; both must exist.
    int Compare(int level, int recordIndex1, int recordIndex2) const
    {
        const Level& l = levels_[static_cast<std::size_t>(level)];
        return KeyOfRecord(l, recordIndex1).compare(KeyOfRecord(l, recordIndex2));
    }

private:
    struct Span {
        std::uint32_t Begin = 0;
        std::uint32_t Length = kMissing;
    };
    static constexpr std::uint32_t kMissing = UINT32_MAX;
    // All keys of a level back to back, and each record's place among them.
    struct Level {
        std::string Bytes;
        std::vector<Span> Spans;
    };

    static bool Present(const Level& level, int recordIndex)
    {
        return recordIndex >= 0 && static_cast<std::size_t>(recordIndex) < level.Spans.size() &&
               level.Spans[static_cast<std::size_t>(recordIndex)].Length != kMissing;
    }
    static std::string_view KeyOfRecord(const Level& level, int recordIndex)
    {
        const Span span = level.Spans[static_cast<std::size_t>(recordIndex)];
        return std::string_view(level.Bytes).substr(span.Begin, span.Length);
    }

    std::vector<Level> levels_;
};
