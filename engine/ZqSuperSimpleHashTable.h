#pragma once
// Buckets of record pointers keyed by an unsigned number. The table does not
// own the records; inserting, finding and removing belong to its user, which
// works on the bucket a key selects.

#include <cstddef>
#include <vector>

struct ZqHashFunctionT_DIV2 {
    unsigned long operator()(unsigned long key) const { return key / 2; }
};

template <typename T, typename Key, typename Hash>
class ZqSuperSimpleHashTable {
public:
    using ZqHashList = std::vector<T*>;

    ZqSuperSimpleHashTable() = default;
    ~ZqSuperSimpleHashTable() { Clear(); }
    ZqSuperSimpleHashTable(const ZqSuperSimpleHashTable&) = delete;
    ZqSuperSimpleHashTable& operator=(const ZqSuperSimpleHashTable&) = delete;

    // Replaces every bucket by n empty ones.
    void Resize(std::size_t n)
    {
        buckets_.assign(n, ZqHashList{});
        count_ = n;
    }

    void Clear()
    {
        buckets_.clear();
        count_ = 0;
    }

    std::size_t BucketCount() const { return count_; }

    std::size_t BucketIndex(Key key) const { return count_ == 0 ? 0 : Hash{}(key) % count_; }

    // The bucket of a key; null while the table has no buckets.
    ZqHashList* Bucket(Key key) { return count_ == 0 ? nullptr : &buckets_[BucketIndex(key)]; }
    const ZqHashList* Bucket(Key key) const { return count_ == 0 ? nullptr : &buckets_[BucketIndex(key)]; }

private:
    std::size_t count_ = 0;
    std::vector<ZqHashList> buckets_;
};
