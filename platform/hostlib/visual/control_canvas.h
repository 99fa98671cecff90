#pragma once

#include <functional>

#include "platform/hostlib/visual/control.h"

namespace hostlib {

// A canvas over a control: the control's window DC, or its parent's
// clipped to the control for a graphic control. A DC it takes itself
// outside painting is released when the message being handled returns.
class TControlCanvas : public TCanvas {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    ~TControlCanvas() override;
    TControl* Control() const { return control_; }
    void SetControl(TControl* control);
    void FreeHandle();
    // Runs paint with the canvas on dc, in the control's font and colour.
    void PaintOn(HDC dc, const std::function<void()>& paint);

protected:
    void CreateHandle() override;

private:
    TControl* control_ = nullptr;
    HDC ownDC_ = nullptr;
    HWND ownWnd_ = nullptr;
};

}  // namespace hostlib
