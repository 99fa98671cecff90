#include "platform/hostlib/visual/custom_control.h"

namespace hostlib {

TClass TCustomControl::StaticClass() { return DefineClass<TCustomControl, TWinControl>("TCustomControl"); }

void TCustomControl::Construct(TComponent* owner)
{
    TWinControl::Construct(owner);
    canvas_.reset(CreateObject<TControlCanvas>());
    canvas_->SetControl(this);
}

void TCustomControl::Destroy()
{
    canvas_.reset();
    TWinControl::Destroy();
}

void TCustomControl::PaintWindow(HDC dc)
{
    canvas_->PaintOn(dc, [this] { Paint(); });
}

TClass TGraphicControl::StaticClass() { return DefineClass<TGraphicControl, TControl>("TGraphicControl"); }

void TGraphicControl::Construct(TComponent* owner)
{
    TControl::Construct(owner);
    canvas_.reset(CreateObject<TControlCanvas>());
    canvas_->SetControl(this);
}

void TGraphicControl::Destroy()
{
    canvas_.reset();
    TControl::Destroy();
}

void TGraphicControl::Dispatch(TMessage& m)
{
    if (m.Msg == WM_PAINT && m.WParam) {
        canvas_->PaintOn(reinterpret_cast<HDC>(m.WParam), [this] { Paint(); });
        return;
    }
    TControl::Dispatch(m);
}

}  // namespace hostlib
