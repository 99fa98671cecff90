#pragma once
// Runs a clean-up when a scope ends, however it ends: the bracket that
// `try { ... } catch (...) { cleanup; throw; } cleanup;` spells out by hand.

#include <exception>
#include <utility>

namespace quelvo::sys {

template <class F>
class ScopeGuard {
public:
    explicit ScopeGuard(F cleanup) : cleanup_(std::move(cleanup)) {}
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;
    // A clean-up may throw (change handlers, for one). On a normal exit its
    // exception reaches the caller; while another exception is already on
    // its way the second one is dropped, so the first one arrives.
    ~ScopeGuard() noexcept(false)
    {
        if (!armed_) return;
        if (std::uncaught_exceptions() > pending_) {
            try {
                cleanup_();
            } catch (...) {
            }
        } else {
            cleanup_();
        }
    }

    // The work succeeded: a guard that only undoes a failure stands down.
    void Dismiss() { armed_ = false; }

private:
    F cleanup_;
    int pending_ = std::uncaught_exceptions();
    bool armed_ = true;
};

template <class F>
ScopeGuard(F) -> ScopeGuard<F>;

// Sets a flag for a scope and gives it back the value it had: re-entry
// guards that must hold also when the guarded call throws.
class FlagScope {
public:
    FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
    ~FlagScope() { flag_ = saved_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool saved_;
};

}  // namespace quelvo::sys
