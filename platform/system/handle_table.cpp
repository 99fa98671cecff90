#include "platform/system/handle_table.h"

#include <chrono>
#include <unordered_map>

#include "platform/system/winbase.h"

namespace quelvo::sys {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 1;
};

Table& TheTable()
{
    static Table table;
    return table;
}

// Handle values are small multiples of 4, never null and never the
// pseudo-handle value.
std::uintptr_t Key(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace

HANDLE AddHandle(std::shared_ptr<KernelObject> object)
{
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    const std::uintptr_t key = 0x1000 + 4 * table.next++;
    table.objects.emplace(key, std::move(object));
    return reinterpret_cast<HANDLE>(key);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(Key(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

bool RemoveHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> removed;  // destroyed outside the lock
    Table& table = TheTable();
    std::lock_guard lock(table.mutex);
    auto it = table.objects.find(Key(handle));
    if (it == table.objects.end()) return false;
    removed = std::move(it->second);
    table.objects.erase(it);
    return true;
}

bool MutexObject::Acquire(DWORD milliseconds)
{
    std::unique_lock lock(mutex_);
    const auto self = std::this_thread::get_id();
    if (count_ > 0 && owner_ == self) {
        ++count_;
        return true;
    }
    auto freeNow = [this] { return count_ == 0; };
    if (milliseconds == INFINITE) {
        freed_.wait(lock, freeNow);
    } else if (!freed_.wait_for(lock, std::chrono::milliseconds(milliseconds), freeNow)) {
        return false;
    }
    owner_ = self;
    count_ = 1;
    return true;
}

bool MutexObject::Release()
{
    std::lock_guard lock(mutex_);
    if (count_ == 0 || owner_ != std::this_thread::get_id()) return false;
    if (--count_ == 0) {
        owner_ = {};
        freed_.notify_one();
    }
    return true;
}

const ProcessEntry* SnapshotObject::First()
{
    next_ = 0;
    return Next();
}

const ProcessEntry* SnapshotObject::Next()
{
    if (next_ >= entries_.size()) return nullptr;
    return &entries_[next_++];
}

}  // namespace quelvo::sys
