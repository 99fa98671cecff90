// Global memory blocks: owned by one table, so a handle that was never
// given out, or was freed, is refused rather than dereferenced.

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/system/winbase.h"

namespace {

constexpr DWORD kErrorNotLocked = 158;
constexpr SIZE_T kLargestBlock = SIZE_T{1} << 31;

struct Block {
    std::vector<unsigned char> bytes;
    UINT locks = 0;
};

struct Blocks {
    std::mutex lock;
    std::map<HGLOBAL, std::unique_ptr<Block>> byHandle;
};

Blocks& All()
{
    static Blocks blocks;
    return blocks;
}

// The block of a handle, with the table locked by the caller.
Block* Lookup(Blocks& all, HGLOBAL mem)
{
    auto it = mem ? all.byHandle.find(mem) : all.byHandle.end();
    if (it == all.byHandle.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second.get();
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes)
{
    if (bytes > kLargestBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto block = std::make_unique<Block>();
    block->bytes.assign(std::max<SIZE_T>(bytes, 1), 0);
    // A fixed block is used through its handle directly.
    HGLOBAL handle = (flags & GMEM_MOVEABLE) ? static_cast<HGLOBAL>(block.get()) : block->bytes.data();
    Blocks& all = All();
    std::lock_guard guard(all.lock);
    all.byHandle[handle] = std::move(block);
    return handle;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    if (!mem) return nullptr;
    Blocks& all = All();
    std::lock_guard guard(all.lock);
    if (!all.byHandle.erase(mem)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    return nullptr;
}

LPVOID GlobalLock(HGLOBAL mem)
{
    Blocks& all = All();
    std::lock_guard guard(all.lock);
    Block* b = Lookup(all, mem);
    if (!b) return nullptr;
    if (b->locks < GMEM_LOCKCOUNT) ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL mem)
{
    Blocks& all = All();
    std::lock_guard guard(all.lock);
    Block* b = Lookup(all, mem);
    if (!b) return FALSE;
    if (b->locks == 0) {
        SetLastError(kErrorNotLocked);
        return FALSE;
    }
    if (--b->locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

SIZE_T GlobalSize(HGLOBAL mem)
{
    Blocks& all = All();
    std::lock_guard guard(all.lock);
    Block* b = Lookup(all, mem);
    return b ? b->bytes.size() : 0;
}

UINT GlobalFlags(HGLOBAL mem)
{
    Blocks& all = All();
    std::lock_guard guard(all.lock);
    Block* b = Lookup(all, mem);
    return b ? b->locks : GMEM_INVALID_HANDLE;
}
