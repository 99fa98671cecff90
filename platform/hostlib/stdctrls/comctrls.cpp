#include "platform/hostlib/stdctrls/comctrls.h"

#include <algorithm>

namespace hostlib {

namespace {
constexpr int kThumbLength = 11;
constexpr int kMargin = 8;
}  // namespace

const TEnumInfo& EnumTypeInfo(TTrackBarOrientation*)
{
    static const TEnumInfo info{"TTrackBarOrientation", {"trHorizontal", "trVertical"}, 0};
    return info;
}

TClass TTrackBar::StaticClass()
{
    return DefineClass<TTrackBar, TCustomControl>("TTrackBar", [](ClassBuilder<TTrackBar>& b) {
        b.Property("Min", &TTrackBar::Min, &TTrackBar::SetMin).Default(0);
        b.Property("Max", &TTrackBar::Max, &TTrackBar::SetMax).Default(10);
        b.Property("Position", &TTrackBar::Position, &TTrackBar::SetPosition).Default(0);
        b.Property("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize).Default(2);
        b.Property("LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize).Default(1);
        b.Property("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency).Default(1);
        b.Property("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation).Default(trHorizontal);
        b.EventProperty("OnChange", &TTrackBar::OnChange);
    });
}

void TTrackBar::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
}

void TTrackBar::SetMin(int value)
{
    min_ = value;
    if (max_ < min_) max_ = min_;
    SetPosition(position_);
    Invalidate();
}

void TTrackBar::SetMax(int value)
{
    max_ = value;
    if (min_ > max_) min_ = max_;
    SetPosition(position_);
    Invalidate();
}

void TTrackBar::SetPosition(int value)
{
    value = std::clamp(value, min_, max_);
    if (value == position_) return;
    position_ = value;
    Invalidate();
    Changed();
}

void TTrackBar::SetFrequency(int value)
{
    frequency_ = value < 0 ? 0 : value;
    Invalidate();
}

void TTrackBar::SetOrientation(TTrackBarOrientation value)
{
    if (value == orientation_) return;
    orientation_ = value;
    Invalidate();
}

int TTrackBar::TrackStart() { return kMargin; }

int TTrackBar::TrackLength()
{
    const RECT r = ClientRect();
    const int extent = orientation_ == trHorizontal ? r.right : r.bottom;
    return std::max(1, extent - 2 * kMargin - kThumbLength);
}

RECT TTrackBar::ThumbRect()
{
    const RECT r = ClientRect();
    const int range = std::max(1, max_ - min_);
    const long long offset = static_cast<long long>(position_ - min_) * TrackLength() / range;
    const int at = TrackStart() + static_cast<int>(offset);
    if (orientation_ == trHorizontal) return RECT{at, 4, at + kThumbLength, std::max(5, r.bottom - 14)};
    return RECT{4, at, std::max(5, r.right - 14), at + kThumbLength};
}

int TTrackBar::PositionAt(int x, int y)
{
    const int along = (orientation_ == trHorizontal ? x : y) - TrackStart() - kThumbLength / 2;
    const int range = max_ - min_;
    // Rounded to the nearest position.
    const long long scaled = (static_cast<long long>(along) * range * 2 + TrackLength()) / (2LL * TrackLength());
    return min_ + static_cast<int>(std::clamp<long long>(scaled, 0, range));
}

void TTrackBar::Paint()
{
    TCanvas* c = Canvas();
    const RECT r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    const RECT thumb = ThumbRect();
    const bool horizontal = orientation_ == trHorizontal;
    const int middle = horizontal ? (thumb.top + thumb.bottom) / 2 : (thumb.left + thumb.right) / 2;
    const int start = TrackStart() + kThumbLength / 2;
    const int end = start + TrackLength();
    c->Brush()->SetColor(clBtnShadow);
    c->FillRect(horizontal ? RECT{start, middle - 2, end, middle + 2} : RECT{middle - 2, start, middle + 2, end});
    if (frequency_ > 0 && max_ > min_) {
        c->Pen()->SetColor(clWindowText);
        for (int p = min_; p <= max_; p += frequency_) {
            const int at = start + static_cast<int>(static_cast<long long>(p - min_) * TrackLength() / (max_ - min_));
            if (horizontal) {
                c->MoveTo(at, r.bottom - 10);
                c->LineTo(at, r.bottom - 6);
            } else {
                c->MoveTo(r.right - 10, at);
                c->LineTo(r.right - 6, at);
            }
            if (p > max_ - frequency_) break;
        }
    }
    c->Brush()->SetColor(clBtnFace);
    c->Pen()->SetColor(clBtnShadow);
    c->Rectangle(thumb);
    if (Focused()) c->DrawFocusRect(r);
}

void TTrackBar::KeyDown(WORD& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        SetPosition(position_ - lineSize_);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        SetPosition(position_ + lineSize_);
        break;
    case VK_PRIOR:
        SetPosition(position_ - pageSize_);
        break;
    case VK_NEXT:
        SetPosition(position_ + pageSize_);
        break;
    case VK_HOME:
        SetPosition(min_);
        break;
    case VK_END:
        SetPosition(max_);
        break;
    default:
        return;
    }
    key = 0;
}

void TTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    if (CanFocus()) SetFocus();
    const RECT thumb = ThumbRect();
    const POINT p{x, y};
    if (PtInRect(&thumb, p)) {
        dragging_ = true;
        return;
    }
    const int along = orientation_ == trHorizontal ? x : y;
    const int thumbStart = orientation_ == trHorizontal ? thumb.left : thumb.top;
    SetPosition(along < thumbStart ? position_ - pageSize_ : position_ + pageSize_);
}

void TTrackBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (dragging_) SetPosition(PositionAt(x, y));
}

void TTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (dragging_ && button == mbLeft) {
        SetPosition(PositionAt(x, y));
        dragging_ = false;
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TTrackBar::Dispatch(TMessage& m)
{
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS;
        return;
    }
    if (m.Msg == WM_SETFOCUS || m.Msg == WM_KILLFOCUS) Invalidate();
    TCustomControl::Dispatch(m);
}

}  // namespace hostlib
