#pragma once
// Brackets changes to a list, collection or component between BeginUpdate
// and EndUpdate, also when the changes throw.

#include <exception>

namespace hostlib {

template <class T>
class UpdateScope {
public:
    explicit UpdateScope(T& target) : target_(target) { target_.BeginUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
    // EndUpdate may run change handlers that throw; while another exception
    // is already on its way such a second one is dropped.
    ~UpdateScope() noexcept(false)
    {
        if (std::uncaught_exceptions() > pending_) {
            try {
                target_.EndUpdate();
            } catch (...) {
            }
        } else {
            target_.EndUpdate();
        }
    }

private:
    T& target_;
    int pending_ = std::uncaught_exceptions();
};

}  // namespace hostlib
