// The control's own scroll bars: what a descendant asks for, which bars end
// up visible, and where bars and grip go.
#include <algorithm>

#include "components/foundation/cxControls.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// Descendants normally settle in two or three rounds; one whose answers
// never settle must not hang the program.
constexpr int kMaxCalculationRounds = 8;

bool HidesWhenIdle(const TcxScrollBarData& d) { return d.Visible && d.Enabled && d.AllowHide; }

// The page, widened by the other bar, covers the whole range.
bool FitsWith(const TcxScrollBarData& d, int extra)
{
    return static_cast<long long>(d.PageSize) + extra >= static_cast<long long>(d.Max) - d.Min + 1;
}

// Shows a bar that flipped since the outermost update, disabled.
void KeepShownDisabled(TcxControlScrollBar* bar, bool initiallyVisible)
{
    if (bar->Visible() == initiallyVisible) return;
    bar->SetEnabled(false);
    bar->SetVisible(true);
}

}  // namespace

// ---- TcxControlScrollBar ------------------------------------------------------------

TClass TcxControlScrollBar::StaticClass()
{
    return DefineClass<TcxControlScrollBar, TcxScrollBar>("TcxControlScrollBar");
}

void TcxControlScrollBar::Construct(TComponent* owner)
{
    TcxScrollBar::Construct(owner);
    SetColor(clBtnFace);
    controlStyle_.Exclude(csFramed);
    controlStyle_.Include(csNoDesignVisible);
    SetTabStop(false);
    SetVisible(false);
    if (auto* control = As<TcxControl>(owner)) LookAndFeel()->SetMasterLookAndFeel(control->LookAndFeel());
}

void TcxControlScrollBar::WndProc(TMessage& m)
{
    if (m.Msg == WM_LBUTTONDOWN) {
        auto alive = AliveToken();
        FocusParent();
        if (!*alive) return;
    }
    TcxScrollBar::WndProc(m);
}

void TcxControlScrollBar::Dispatch(TMessage& m)
{
    // The bar works in a form designer too.
    if (m.Msg == CM_DESIGNHITTEST) {
        m.Result = 1;
        return;
    }
    TcxScrollBar::Dispatch(m);
}

void TcxControlScrollBar::FocusParent()
{
    TWinControl* parent = Parent();
    if (!parent) return;
    if (auto* control = As<TcxControl>(parent)) {
        if (control->FocusWhenChildIsClicked(this)) control->SetFocus();
    } else if (parent->CanFocus()) {
        parent->SetFocus();
    }
}

void TcxControlScrollBar::ApplyData()
{
    if (data_.Visible) {
        SetScrollParams(data_.Min, data_.Max, data_.Position, data_.PageSize, true);
        SetSmallChange(data_.SmallChange);
        SetLargeChange(data_.LargeChange);
    }
    SetEnabled(data_.Enabled);
    SetVisible(data_.Visible);
}

// ---- TcxControl: the bars ------------------------------------------------------------

bool TcxControl::HScrollBarVisible() const
{
    if (!hScrollBar_) return false;
    return calculatingScrollBarsParams_ ? hScrollBar_->Data().Visible : hScrollBar_->Visible();
}

bool TcxControl::VScrollBarVisible() const
{
    if (!vScrollBar_) return false;
    return calculatingScrollBarsParams_ ? vScrollBar_->Data().Visible : vScrollBar_->Visible();
}

bool TcxControl::IsInternalControl(TControl* control)
{
    return control && (control == hScrollBar_ || control == vScrollBar_ || control == sizeGrip_);
}

void TcxControl::InitControl()
{
    if (hScrollBar_) hScrollBar_->SetParent(this);
    if (vScrollBar_) vScrollBar_->SetParent(this);
    if (sizeGrip_) sizeGrip_->SetParent(this);
}

void TcxControl::ScrollEvent(TObject* sender, TScrollCode scrollCode, int& scrollPos)
{
    if (auto* bar = As<TcxScrollBar>(sender)) Scroll(bar->Kind(), scrollCode, scrollPos);
}

void TcxControl::ScrollContent(TcxDirection direction)
{
    if (direction == dirNone || !NeedsScrollBars()) return;
    const TScrollBarKind kind = direction == dirUp || direction == dirDown ? sbVertical : sbHorizontal;
    const TScrollCode code = direction == dirLeft || direction == dirUp ? scLineUp : scLineDown;
    TcxControlScrollBar* bar = kind == sbHorizontal ? hScrollBar_ : vScrollBar_;
    int position = bar ? bar->Position() : 0;
    Scroll(kind, code, position);
}

void TcxControl::SetScrollBarInfo(TScrollBarKind kind, int min, int max, int step, int page, int pos, bool allowShow,
                                  bool allowHide)
{
    TcxControlScrollBar* bar = kind == sbHorizontal ? hScrollBar_ : vScrollBar_;
    if (!bar) return;
    TcxScrollBarData d = bar->Data();
    const TScrollStyle own = kind == sbHorizontal ? ssHorizontal : ssVertical;
    d.AllowShow = allowShow && (scrollBars_ == own || scrollBars_ == ssBoth);
    d.AllowHide = allowHide;
    const bool nothingToScroll =
        max < min || static_cast<long long>(page) >= static_cast<long long>(max) - min + 1 || pos < min;
    if (!d.AllowShow) {
        d.Visible = false;
    } else if (nothingToScroll) {
        // Without allow-hide the bar stays, disabled.
        if (!allowHide) d.Enabled = false;
        d.Visible = !allowHide;
    } else {
        d.Min = min;
        d.Max = max;
        d.SmallChange = static_cast<std::int16_t>(step);
        d.PageSize = page;
        d.LargeChange = page;
        d.Position = pos;
        d.Enabled = d.Visible = true;
    }
    bar->Data() = d;
}

RECT TcxControl::GetHScrollBarBounds()
{
    RECT r = GetClientBounds();
    r.top = r.bottom;
    r.bottom = r.top + (hScrollBar_ ? hScrollBar_->Height() : 0);
    return r;
}

RECT TcxControl::GetVScrollBarBounds()
{
    RECT r = GetClientBounds();
    r.left = r.right;
    r.right = r.left + (vScrollBar_ ? vScrollBar_->Width() : 0);
    return r;
}

RECT TcxControl::GetSizeGripBounds()
{
    if (!hScrollBar_ || !vScrollBar_) return RECT{};
    return RECT{vScrollBar_->Left(), hScrollBar_->Top(), vScrollBar_->Left() + vScrollBar_->Width(),
                hScrollBar_->Top() + hScrollBar_->Height()};
}

void TcxControl::SetInternalControlsBounds()
{
    if (HScrollBarVisible()) hScrollBar_->SetBoundsRect(GetHScrollBarBounds());
    if (VScrollBarVisible()) vScrollBar_->SetBoundsRect(GetVScrollBarBounds());
    if (sizeGrip_ && sizeGrip_->Visible()) sizeGrip_->SetBoundsRect(GetSizeGripBounds());
}

// ---- TcxControl: settling the bars -----------------------------------------------------

// A visible bar can make the other one necessary; an update that would
// flip the bars back to what they were when it started leaves them shown
// and disabled instead of oscillating.
void TcxControl::UpdateScrollBars()
{
    if (!NeedsScrollBars() || !hScrollBar_ || !vScrollBar_) return;
    const bool nested = updatingScrollBars_;
    if (!nested) {
        initialHScrollBarVisible_ = hScrollBar_->Visible();
        initialVScrollBarVisible_ = vScrollBar_->Visible();
    }
    updatingScrollBars_ = true;
    auto alive = AliveToken();
    quelvo::sys::ScopeGuard leave([&] {
        if (!*alive) return;
        if (!nested) initialScrollBarsParams_ = false;
        updatingScrollBars_ = nested;
    });
    const bool hWas = hScrollBar_->Visible();
    const bool vWas = vScrollBar_->Visible();
    if (!initialScrollBarsParams_) {
        CalculateScrollBarsParams();
        if (!*alive) return;
        ApplyScrollBarsData(nested);
    }
    if (hScrollBar_->Visible() != hWas || vScrollBar_->Visible() != vWas) return BoundsChanged();
    LayOutScrollBars();
}

void TcxControl::CalculateScrollBarsParams()
{
    if (calculatingScrollBarsParams_) return;
    calculatingScrollBarsParams_ = true;
    auto alive = AliveToken();
    quelvo::sys::ScopeGuard done([&] {
        if (*alive) calculatingScrollBarsParams_ = false;
    });
    TcxScrollBarData& h = hScrollBar_->Data();
    TcxScrollBarData& v = vScrollBar_->Data();
    h.Visible = v.Visible = false;
    for (int round = 0; round < kMaxCalculationRounds; ++round) {
        const bool hBefore = h.Visible;
        const bool vBefore = v.Visible;
        InitScrollBarsParameters();
        if (!*alive) return;
        if (h.Visible == hBefore && v.Visible == vBefore) break;
    }
    AdjustPixelScrollBars();
}

// Pixel-scrolled content that would fit once the other bar is gone needs
// neither bar.
void TcxControl::AdjustPixelScrollBars()
{
    const TcxScrollBarData h = hScrollBar_->Data();
    const TcxScrollBarData v = vScrollBar_->Data();
    if (!HidesWhenIdle(h) || !HidesWhenIdle(v)) return;
    if (!IsPixelScrollBar(sbHorizontal) || !IsPixelScrollBar(sbVertical)) return;
    const int hExtra = vScrollBar_->Width();
    const int vExtra = hScrollBar_->Height();
    if (!FitsWith(h, hExtra) || !FitsWith(v, vExtra)) return;
    SetScrollBarInfo(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + hExtra, h.Position, h.AllowShow,
                     h.AllowHide);
    SetScrollBarInfo(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + vExtra, v.Position, v.AllowShow,
                     v.AllowHide);
}

void TcxControl::ApplyScrollBarsData(bool nested)
{
    const bool hPending = hScrollBar_->Data().Visible;
    const bool vPending = vScrollBar_->Data().Visible;
    if (nested && hPending == initialHScrollBarVisible_ && vPending == initialVScrollBarVisible_) {
        initialScrollBarsParams_ = true;
        KeepShownDisabled(hScrollBar_, initialHScrollBarVisible_);
        KeepShownDisabled(vScrollBar_, initialVScrollBarVisible_);
        return;
    }
    hScrollBar_->ApplyData();
    vScrollBar_->ApplyData();
}

void TcxControl::LayOutScrollBars()
{
    sizeGrip_->SetVisible(hScrollBar_->Visible() && vScrollBar_->Visible());
    SetInternalControlsBounds();
    hScrollBar_->BringToFront();
    vScrollBar_->BringToFront();
    sizeGrip_->BringToFront();
}

void TcxControl::CMNCSizeChanged(TMessage& m)
{
    m.Result = 0;
    if (!NeedsScrollBars() || !hScrollBar_ || !vScrollBar_) return;
    const int height = GetSystemMetrics(SM_CYHSCROLL);
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    if (hScrollBar_->Height() == height && vScrollBar_->Width() == width) return;
    hScrollBar_->SetHeight(height);
    vScrollBar_->SetWidth(width);
    BoundsChanged();
}
