#pragma once
// TTimer and the hidden utility windows that deliver messages to a method
// of an object that is not a control.

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/visual/controls.h"

namespace hostlib {

// A hidden window whose messages go to method (exceptions go to the
// application's HandleException). Free it with DeallocateHWnd; it may be
// freed from inside its own method.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND hwnd);

// Fires OnTimer every Interval milliseconds while Enabled; interval 0
// never fires; changing either restarts the count.
class TTimer : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned value);
    TNotifyEvent OnTimer;

protected:
    void Destroy() override;
    void Loaded() override;
    virtual void Timer() { OnTimer(this); }

private:
    void UpdateTimer();
    void WndProc(TMessage& m);

    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
};

}  // namespace hostlib
