#pragma once
// The controls that paint themselves on a canvas: TCustomControl (a window
// of its own) and TGraphicControl (drawn on its parent's window).

#include "platform/hostlib/visual/control_canvas.h"
#include "platform/hostlib/visual/win_control.h"

namespace hostlib {

class TCustomControl : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
    TCanvas* Canvas() const { return canvas_.get(); }

protected:
    void Destroy() override;
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    ObjectPtr<TControlCanvas> canvas_;
};

class TGraphicControl : public TControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;
    TCanvas* Canvas() const { return canvas_.get(); }
    void Dispatch(TMessage& message) override;

protected:
    void Destroy() override;
    virtual void Paint() {}

private:
    ObjectPtr<TControlCanvas> canvas_;
};

}  // namespace hostlib
