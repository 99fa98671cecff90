#include "platform/system/clock.h"

#include <algorithm>
#include <ctime>

namespace quelvo::sys {
namespace {

std::int64_t MonotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

MonotonicClock g_monotonic;
std::atomic<Clock*> g_clock{nullptr};

}  // namespace

std::uint64_t MonotonicClock::NowMs() const { return static_cast<std::uint64_t>(MonotonicNanoseconds() / 1'000'000); }
std::int64_t MonotonicClock::Now100ns() const { return MonotonicNanoseconds() / 100; }

void ManualClock::Advance(std::uint64_t ms)
{
    now_ += ms;
    Notify();
}

void ManualClock::Set(std::uint64_t ms)
{
    now_ = ms;
    Notify();
}

int ManualClock::AddListener(Listener listener)
{
    std::lock_guard lock(listenersMutex_);
    const int id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void ManualClock::RemoveListener(int id)
{
    std::lock_guard lock(listenersMutex_);
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void ManualClock::Notify()
{
    // Copy first: a listener may add or remove listeners.
    std::vector<std::pair<int, Listener>> listeners;
    {
        std::lock_guard lock(listenersMutex_);
        listeners = listeners_;
    }
    const std::uint64_t now = now_.load();
    for (auto& [id, listener] : listeners) {
        if (listener) listener(now);
    }
}

Clock& CurrentClock()
{
    Clock* clock = g_clock.load();
    return clock != nullptr ? *clock : g_monotonic;
}

std::uint64_t NowMs() { return CurrentClock().NowMs(); }

ClockScope::ClockScope(Clock& clock) : previous_(g_clock.exchange(&clock)) {}
ClockScope::~ClockScope() { g_clock.store(previous_); }

}  // namespace quelvo::sys
