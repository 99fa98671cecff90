#pragma once
// The process clock: 64-bit monotonic milliseconds. Every layer reads time
// through CurrentClock(); tests install a ManualClock and move it by hand.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace quelvo::sys {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t NowMs() const = 0;
    // Time in 100 ns units on the same base, for performance data.
    virtual std::int64_t Now100ns() const = 0;
};

// CLOCK_MONOTONIC.
class MonotonicClock final : public Clock {
public:
    std::uint64_t NowMs() const override;
    std::int64_t Now100ns() const override;
};

// Time stands still until Advance or Set. Listeners are told after every
// move (the window layer fires its due timers from there); they run on the
// thread that moved the clock, outside any lock of the clock.
class ManualClock final : public Clock {
public:
    using Listener = std::function<void(std::uint64_t nowMs)>;

    explicit ManualClock(std::uint64_t startMs = 0) : now_(startMs) {}

    std::uint64_t NowMs() const override { return now_.load(); }
    std::int64_t Now100ns() const override { return static_cast<std::int64_t>(now_.load()) * 10000; }

    void Advance(std::uint64_t ms);
    void Set(std::uint64_t ms);

    // Returns an id for RemoveListener.
    int AddListener(Listener listener);
    void RemoveListener(int id);

private:
    void Notify();

    std::atomic<std::uint64_t> now_;
    mutable std::mutex listenersMutex_;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerId_ = 1;
};

// The clock in use: the monotonic clock unless a ClockScope installed
// another.
Clock& CurrentClock();
std::uint64_t NowMs();

// Installs a clock for the scope's life and puts the previous one back.
class ClockScope {
public:
    explicit ClockScope(Clock& clock);
    ~ClockScope();
    ClockScope(const ClockScope&) = delete;
    ClockScope& operator=(const ClockScope&) = delete;

private:
    Clock* previous_ = nullptr;
};

}  // namespace quelvo::sys
