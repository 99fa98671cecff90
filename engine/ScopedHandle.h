#pragma once
// Owns one system handle and closes it with the given function when it goes
// out of scope. A null handle is not closed.

#include <utility>

#include "platform/system/registry.h"
#include "platform/system/winbase.h"

template <typename H, auto Close>
class ScopedHandle {
public:
    explicit ScopedHandle(H handle = nullptr) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    void Reset()
    {
        if (handle_ != nullptr)
            Close(handle_);
        handle_ = nullptr;
    }

    H handle_ = nullptr;
};

using ScopedProcessHandle = ScopedHandle<HANDLE, &CloseHandle>;
using ScopedRegistryKey = ScopedHandle<HKEY, &RegCloseKey>;
