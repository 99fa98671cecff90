#pragma once
// Brackets changes to a list, collection or component between BeginUpdate
// and EndUpdate, also when the changes throw.

#include "platform/system/scope_guard.h"

namespace hostlib {

template <class T>
class UpdateScope {
public:
    explicit UpdateScope(T& target) : end_(Begin(target)) {}

private:
    struct EndUpdate {
        T& target;
        void operator()() const { target.EndUpdate(); }
    };
    static EndUpdate Begin(T& target)
    {
        target.BeginUpdate();
        return {target};
    }

    quelvo::sys::ScopeGuard<EndUpdate> end_;
};

}  // namespace hostlib
