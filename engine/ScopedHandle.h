#pragma once
// Owns one system handle and closes it with the given function when it goes
// out of scope. A null handle is not closed.

#include "platform/system/registry.h"
#include "platform/system/winbase.h"

template <typename H, auto Close>
class ScopedHandle {
public:
    explicit ScopedHandle(H handle = nullptr) : handle_(handle) {}
    ~ScopedHandle()
    {
        if (handle_ != nullptr)
            Close(handle_);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    H handle_ = nullptr;
};

using ScopedProcessHandle = ScopedHandle<HANDLE, &CloseHandle>;
using ScopedRegistryKey = ScopedHandle<HKEY, &RegCloseKey>;
