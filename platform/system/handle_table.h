#pragma once
// Kernel objects behind HANDLE values (internal to the system layer).

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system/backend.h"
#include "platform/system/wintypes.h"

namespace quelvo::sys {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

class ProcessObject final : public KernelObject {
public:
    explicit ProcessObject(std::unique_ptr<ProcessHandleState> state) : state_(std::move(state)) {}
    ProcessHandleState& State() { return *state_; }

private:
    std::unique_ptr<ProcessHandleState> state_;
};

// Ownership within this process; a named one also holds its system-wide
// lock (or, for a second creator, only its name).
class MutexObject final : public KernelObject {
public:
    explicit MutexObject(std::unique_ptr<NamedMutexState> named) : named_(std::move(named)) {}
    // Returns whether it was acquired within the time.
    bool Acquire(DWORD milliseconds);
    bool Release();

private:
    std::unique_ptr<NamedMutexState> named_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::thread::id owner_;
    unsigned count_ = 0;
};

class SnapshotObject final : public KernelObject {
public:
    explicit SnapshotObject(std::vector<ProcessEntry> entries) : entries_(std::move(entries)) {}
    const ProcessEntry* First();
    const ProcessEntry* Next();

private:
    std::vector<ProcessEntry> entries_;
    std::size_t next_ = 0;
};

// The main thread of a process we created: it lives as long as the
// process, so it shares the process handle's state (and outlives that
// handle's closing).
class ThreadObject final : public KernelObject {
public:
    explicit ThreadObject(std::shared_ptr<ProcessObject> process) : process_(std::move(process)) {}
    ProcessObject& Process() { return *process_; }

private:
    std::shared_ptr<ProcessObject> process_;
};

HANDLE AddHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
bool RemoveHandle(HANDLE handle);

// The process behind a handle when the handle carries one of the rights;
// sets the error and gives null otherwise. The pseudo handle of this
// process opens it afresh with every right.
std::shared_ptr<ProcessObject> ProcessForHandle(HANDLE handle, DWORD anyOfRights);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

}  // namespace quelvo::sys
