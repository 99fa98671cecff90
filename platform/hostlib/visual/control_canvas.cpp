#include "platform/hostlib/visual/control_canvas.h"

#include <algorithm>

#include "platform/hostlib/visual/control_internal.h"
#include "platform/hostlib/visual/win_control.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

namespace hostlib {

std::vector<TControlCanvas*>& detail::TakenCanvases()
{
    static std::vector<TControlCanvas*> list;
    return list;
}

TClass TControlCanvas::StaticClass() { return DefineClass<TControlCanvas, TCanvas>("TControlCanvas"); }

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control)
{
    if (control_ == control) return;
    FreeHandle();
    control_ = control;
}

void TControlCanvas::CreateHandle()
{
    if (!control_) return;
    auto* win = As<TWinControl>(control_);
    TWinControl* owner = win ? win : control_->Parent();
    if (!owner || !owner->HandleAllocated()) return;
    ownWnd_ = owner->Handle();
    ownDC_ = GetDC(ownWnd_);
    if (!ownDC_) return;
    if (!win) {
        SetViewportOrgEx(ownDC_, control_->Left(), control_->Top(), nullptr);
        IntersectClipRect(ownDC_, 0, 0, control_->Width(), control_->Height());
    }
    SetHandle(ownDC_);
    detail::TakenCanvases().push_back(this);
}

void TControlCanvas::FreeHandle()
{
    if (!ownDC_) return;
    SetHandle(nullptr);
    ReleaseDC(ownWnd_, ownDC_);
    ownDC_ = nullptr;
    ownWnd_ = nullptr;
    auto& list = detail::TakenCanvases();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::PaintOn(HDC dc, const std::function<void()>& paint)
{
    Lock();
    FreeHandle();
    SetHandle(dc);
    quelvo::sys::ScopeGuard release([this] {
        SetHandle(nullptr);
        Unlock();
    });
    Font()->Assign(control_->Font());
    Brush()->SetColor(control_->Color());
    paint();
}

}  // namespace hostlib
