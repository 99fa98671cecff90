#include "components/foundation/cxScrollBar.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/controls/ctldefs.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/system/muldiv.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

namespace {

// How far the mouse may stray from the bar while dragging the thumb before
// it jumps back: along the bar and across it.
constexpr int kTrackingToleranceAlong = 34;
constexpr int kTrackingToleranceAcross = 136;
constexpr int kMinThumbnailSize = 8;
constexpr unsigned kFirstRepeatDelay = 400;
constexpr unsigned kRepeatInterval = 60;
// The scroll-bar theme's gripper parts.
constexpr int kGripperHorizontal = 8;
constexpr int kGripperVertical = 9;

TScrollCode CodeOf(TcxScrollBarPart part)
{
    switch (part) {
    case sbpLineUp: return scLineUp;
    case sbpLineDown: return scLineDown;
    case sbpPageUp: return scPageUp;
    case sbpPageDown: return scPageDown;
    default: return scTrack;
    }
}

}  // namespace

POINT GetScrollBarSize() { return POINT{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

TClass TcxScrollBar::StaticClass()
{
    return DefineClass<TcxScrollBar, TCustomControl>("TcxScrollBar", [](ClassBuilder<TcxScrollBar>& b) {
        b.Property("Kind", &TcxScrollBar::Kind, &TcxScrollBar::SetKind).Default(sbHorizontal);
        b.Property("LargeChange", &TcxScrollBar::LargeChange, &TcxScrollBar::SetLargeChange).Default(1);
        b.Property("LookAndFeel", &TcxScrollBar::LookAndFeel, &TcxScrollBar::SetLookAndFeel);
        b.Property("Max", &TcxScrollBar::Max, &TcxScrollBar::SetMax).Default(100);
        b.Property("Min", &TcxScrollBar::Min, &TcxScrollBar::SetMin).Default(0);
        b.Property("PageSize", &TcxScrollBar::PageSize, &TcxScrollBar::SetPageSize);
        b.Property("Position", &TcxScrollBar::Position, &TcxScrollBar::SetPosition).Default(0);
        b.Property("SmallChange", &TcxScrollBar::SmallChange, &TcxScrollBar::SetSmallChange).Default(1);
        b.Property("UnlimitedTracking", &TcxScrollBar::UnlimitedTracking, &TcxScrollBar::SetUnlimitedTracking)
            .Default(false);
        b.EventProperty("OnChange", &TcxScrollBar::OnChange);
        b.EventProperty("OnScroll", &TcxScrollBar::OnScroll);
    });
}

void TcxScrollBar::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    bitmap_ = MakeObject<TBitmap>();
    bitmapCanvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
    lookAndFeel_.reset(CreateObject<TcxLookAndFeel>(static_cast<TPersistent*>(this)));
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::Bind(this, &TcxScrollBar::LookAndFeelChanged);
    themeNotificator_ = MakeObject<TdxThemeChangedNotificator>();
    themeNotificator_->OnThemeChanged = TdxThemeChangedEvent::Bind(this, &TcxScrollBar::ThemeChanged);
    timer_ = MakeObject<TTimer>(static_cast<TComponent*>(nullptr));
    timer_->SetEnabled(false);
    timer_->SetInterval(kFirstRepeatDelay);
    timer_->OnTimer = TNotifyEvent::Bind(this, &TcxScrollBar::OnTimer);
    SetBounds(Left(), Top(), 121, GetSystemMetrics(SM_CYHSCROLL));
    controlStyle_ = {csCaptureMouse, csFramed, csOpaque};
    CalcMinThumbnailSize();
    CalculateRects();
}

void TcxScrollBar::Destroy()
{
    timer_.reset();
    themeNotificator_.reset();
    lookAndFeel_.reset();
    bitmapCanvas_.reset();
    bitmap_.reset();
    TCustomControl::Destroy();
}

void TcxScrollBar::SetBounds(int left, int top, int width, int height)
{
    const RECT before = BoundsRect();
    TCustomControl::SetBounds(left, top, width, height);
    if (!bitmap_ || cxRectIsEqual(before, BoundsRect()) || Width() <= 0 || Height() <= 0) return;
    bitmap_->SetSize(Width(), Height());
    CalculateRects();
}

void TcxScrollBar::SetKind(TScrollBarKind value)
{
    if (kind_ == value) return;
    kind_ = value;
    CalculateRects();
    Repaint();
}

// ---- model ----------------------------------------------------------------------------

void TcxScrollBar::SetScrollParams(int min, int max, int position, int pageSize, bool redraw)
{
    if (max < min || max < pageSize) throw EInvalidOperation("Scrollbar property out of range");
    redraw = redraw && HandleAllocated();
    position = std::clamp(position, min, max);
    if (min == min_ && max == max_ && pageSize == pageSize_ && position == position_) return;
    min_ = min;
    max_ = max;
    pageSize_ = pageSize;
    if (position == position_) {
        CalculateThumbnailRect();
        if (redraw) Repaint();
        return;
    }
    SetEnabled(true);
    position_ = position;
    CalculateThumbnailRect();
    if (redraw) Repaint();
    Change();
}

void TcxScrollBar::Change()
{
    Changed();
    if (OnChange) OnChange(this);
}

void TcxScrollBar::Scroll(TScrollCode code, int& position)
{
    if (OnScroll) OnScroll(this, code, position);
}

void TcxScrollBar::InternalScroll(TScrollCode code)
{
    int position = position_;
    switch (code) {
    case scLineUp: position -= smallChange_; break;
    case scLineDown: position += smallChange_; break;
    case scPageUp: position -= largeChange_; break;
    case scPageDown: position += largeChange_; break;
    case scTop: position = min_; break;
    case scBottom: position = max_; break;
    default: break;
    }
    position = std::clamp(position, min_, max_);
    Scroll(code, position);
    position = std::clamp(position, min_, max_);
    if (position == position_) return;
    if (code == scTrack) {
        // The thumb follows the mouse, not the position.
        position_ = position;
        Repaint();
    } else {
        SetPosition(position);
    }
}

TcxCustomLookAndFeelPainterClass TcxScrollBar::Painter() const
{
    return lookAndFeel_->GetAvailablePainter(totScrollBar);
}

TcxScrollBarPart TcxScrollBar::GetScrollBarPart(POINT p)
{
    if (!cxRectPtIn(ClientRect(), p)) return sbpNone;
    if (cxRectPtIn(lineUp_, p)) return sbpLineUp;
    if (cxRectPtIn(lineDown_, p)) return sbpLineDown;
    if (cxRectIsEmpty(thumb_)) return sbpNone;
    if (cxRectPtIn(thumb_, p)) return sbpThumbnail;
    if (cxRectPtIn(pageUp_, p)) return sbpPageUp;
    if (cxRectPtIn(pageDown_, p)) return sbpPageDown;
    return sbpNone;
}

// ---- geometry -------------------------------------------------------------------------

RECT TcxScrollBar::Span(int start, int end)
{
    return IsVertical() ? RECT{0, start, Width(), end} : RECT{start, 0, end, Height()};
}

void TcxScrollBar::CalcMinThumbnailSize()
{
    minThumbnailSize_ = kMinThumbnailSize;
    const auto native = cxRegisteredLookAndFeelPainter(lfsNative);
    HTHEME theme = native && Painter() == native ? OpenTheme(totScrollBar) : nullptr;
    if (!theme) return;
    // The gripper that is painted: the vertical one on a vertical bar.
    const int part = IsVertical() ? kGripperVertical : kGripperHorizontal;
    SIZE minSize{}, trueSize{};
    if (dxUxTheme::GetThemePartSize(theme, nullptr, part, 0, TS_MIN, minSize) != S_OK) return;
    const int minLength = IsVertical() ? minSize.cy : minSize.cx;
    int length = minLength;
    if (dxUxTheme::GetThemePartSize(theme, nullptr, part, 0, TS_TRUE, trueSize) == S_OK)
        length = std::max(IsVertical() ? trueSize.cy : trueSize.cx, minLength + 4);
    minThumbnailSize_ = std::max(length, kMinThumbnailSize);
}

void TcxScrollBar::CalculateRects()
{
    const int length = IsVertical() ? Height() : Width();
    const int button = std::min(GetSystemMetrics(IsVertical() ? SM_CXVSCROLL : SM_CYHSCROLL), length / 2);
    lineUp_ = Span(0, button);
    lineDown_ = Span(length - button, length);
    CalculateThumbnailRect();
}

void TcxScrollBar::CalculateThumbnailRect()
{
    thumb_ = RECT{};
    CalculatePageRects();
    if (!Enabled()) return;
    const int trackStart = EndOf(lineUp_);
    const int track = StartOf(lineDown_) - trackStart;
    int thumb = 0, offset = 0;
    if (pageSize_ > 0) {
        thumb = std::min(track, MulDiv(track, pageSize_, max_ - min_ + 1));
        if (track < minThumbnailSize_ || max_ == min_) return;
        thumb = std::max(thumb, minThumbnailSize_);
        // A page as large as the whole range leaves the thumb at the start.
        const int steps = max_ - min_ - pageSize_ + 1;
        offset = steps <= 0 ? 0 : MulDiv(track - thumb, std::min(position_ - min_, steps), steps);
    } else {
        thumb = GetSystemMetrics(IsVertical() ? SM_CYVTHUMB : SM_CXHTHUMB);
        if (track < thumb) return;
        offset = track - thumb <= 0 || max_ == min_ ? 0 : MulDiv(track - thumb, position_ - min_, max_ - min_);
    }
    thumb_ = Span(trackStart + offset, trackStart + offset + thumb);
    CalculatePageRects();
}

void TcxScrollBar::CalculatePageRects()
{
    if (cxRectIsEmpty(thumb_)) {
        pageUp_ = pageDown_ = RECT{};
        return;
    }
    pageUp_ = Span(EndOf(lineUp_), StartOf(thumb_));
    pageDown_ = Span(EndOf(thumb_), StartOf(lineDown_));
}

int TcxScrollBar::GetPositionFromThumbnail() const
{
    const int span = StartOf(lineDown_) - EndOf(lineUp_) - (EndOf(thumb_) - StartOf(thumb_));
    // A thumb that fills its track can only mean the start.
    if (span <= 0) return min_;
    int range = max_ - min_;
    if (pageSize_ > 0) range += 1 - pageSize_;
    return min_ + MulDiv(range, StartOf(thumb_) - EndOf(lineUp_), span);
}

// ---- mouse ------------------------------------------------------------------------------

void TcxScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft) return;
    const TcxScrollBarPart part = GetScrollBarPart(POINT{x, y});
    if (part == sbpNone) return;
    pressedPart_ = hotPart_ = part;
    if (part == sbpThumbnail) {
        savedPoint_ = POINT{x, y};
        savedPosition_ = position_;
        savedThumbCorner_ = POINT{thumb_.left, thumb_.top};
        InternalScroll(scTrack);
    } else {
        InternalScroll(CodeOf(part));
        timer_->SetInterval(kFirstRepeatDelay);
        timer_->SetEnabled(true);
    }
    Repaint();
}

void TcxScrollBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (pressedPart_ == sbpThumbnail) {
        DragThumbnail(POINT{x, y});
        return;
    }
    const TcxScrollBarPart part = GetScrollBarPart(POINT{x, y});
    if (pressedPart_ != sbpNone) timer_->SetEnabled(part == pressedPart_);
    if (part == hotPart_) return;
    hotPart_ = part;
    if (HotTracks()) Repaint();
}

void TcxScrollBar::DragThumbnail(POINT p)
{
    const bool vertical = IsVertical();
    const RECT box = cxRectInflate(ClientRect(), vertical ? kTrackingToleranceAcross : kTrackingToleranceAlong,
                                   vertical ? kTrackingToleranceAlong : kTrackingToleranceAcross);
    if (!unlimitedTracking_ && !cxRectPtIn(box, p)) {
        SetPosition(savedPosition_);
        CalculateThumbnailRect();
        Repaint();
        InternalScroll(scTrack);
        return;
    }
    const int length = EndOf(thumb_) - StartOf(thumb_);
    const int delta = vertical ? p.y - savedPoint_.y : p.x - savedPoint_.x;
    const int saved = vertical ? savedThumbCorner_.y : savedThumbCorner_.x;
    const int start = std::clamp(saved + delta, EndOf(lineUp_), StartOf(lineDown_) - length);
    thumb_ = Span(start, start + length);
    CalculatePageRects();
    Repaint();
    const int position = GetPositionFromThumbnail();
    if (position == position_) return;
    position_ = position;
    InternalScroll(scTrack);
}

void TcxScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    CancelScroll();
    hotPart_ = GetScrollBarPart(POINT{x, y});
}

void TcxScrollBar::MouseEnter()
{
    TCustomControl::MouseEnter();
    if (HotTracks() || IsRepeatPart(pressedPart_)) Repaint();
}

void TcxScrollBar::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (!HotTracks() && !IsRepeatPart(pressedPart_)) return;
    if (pressedPart_ != sbpThumbnail) hotPart_ = sbpNone;
    Invalidate();
}

void TcxScrollBar::OnTimer(TObject*)
{
    if (!MouseCapture() || !IsRepeatPart(pressedPart_)) {
        CancelScroll();
        return;
    }
    timer_->SetInterval(kRepeatInterval);
    InternalScroll(CodeOf(pressedPart_));
    POINT cursor{};
    GetCursorPos(&cursor);
    timer_->SetEnabled(GetScrollBarPart(ScreenToClient(cursor)) == pressedPart_);
}

void TcxScrollBar::CancelScroll()
{
    if (pressedPart_ == sbpNone) return;
    if (pressedPart_ == sbpThumbnail) {
        position_ = GetPositionFromThumbnail();
        InternalScroll(scPosition);
    }
    timer_->SetEnabled(false);
    pressedPart_ = hotPart_ = sbpNone;
    InternalScroll(scEndScroll);
    CalculateThumbnailRect();
    Invalidate();
}

// ---- painting ---------------------------------------------------------------------------

TcxButtonState TcxScrollBar::PartState(TcxScrollBarPart part) const
{
    if (!Enabled()) return cxbsDisabled;
    if (part == sbpThumbnail && !HotTracks()) return cxbsNormal;
    if (pressedPart_ != sbpNone) return part == pressedPart_ && part == hotPart_ ? cxbsPressed : cxbsNormal;
    return part == hotPart_ && !ComponentState().Contains(csDesigning) ? cxbsHot : cxbsNormal;
}

void TcxScrollBar::Paint()
{
    const auto painter = Painter();
    TcxCanvas* canvas = bitmapCanvas_.get();
    const bool horizontal = !IsVertical();
    if (cxRectIsEmpty(thumb_)) painter->DrawScrollBarPart(canvas, horizontal, ClientRect(), sbpPageUp, cxbsNormal);
    else painter->DrawScrollBarPart(canvas, horizontal, thumb_, sbpThumbnail, PartState(sbpThumbnail));
    const std::pair<const RECT*, TcxScrollBarPart> parts[] = {
        {&lineUp_, sbpLineUp}, {&lineDown_, sbpLineDown}, {&pageUp_, sbpPageUp}, {&pageDown_, sbpPageDown}};
    for (const auto& [rect, part] : parts)
        if (!cxRectIsEmpty(*rect)) painter->DrawScrollBarPart(canvas, horizontal, *rect, part, PartState(part));
    Canvas()->Draw(0, 0, bitmap_.get());
}

// ---- environment ----------------------------------------------------------------------

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues)
{
    CalcMinThumbnailSize();
    CalculateRects();
    Invalidate();
}

void TcxScrollBar::ThemeChanged()
{
    UpdateScrollBarBitmaps();
    CalcMinThumbnailSize();
    CalculateRects();
    Invalidate();
    if (Parent()) Parent()->Realign();
}

void TcxScrollBar::EnabledChanged()
{
    TCustomControl::EnabledChanged();
    CalculateRects();
    if (!Enabled()) CancelScroll();
    Invalidate();
}

void TcxScrollBar::VisibleChanged()
{
    TCustomControl::VisibleChanged();
    if (!Visible()) CancelScroll();
}

void TcxScrollBar::WMCancelMode(TMessage& message)
{
    CancelScroll();
    TCustomControl::Dispatch(message);
}

void TcxScrollBar::CNScroll(TMessage& message) { InternalScroll(static_cast<TScrollCode>(LOWORD(message.WParam))); }

void TcxScrollBar::SysColorChanged(TMessage& message)
{
    UpdateScrollBarBitmaps();
    TCustomControl::Dispatch(message);
}

void TcxScrollBar::CNCtlColorScrollBar(TMessage& message)
{
    UpdateScrollBarBitmaps();
    DefaultHandler(message);
}

void TcxScrollBar::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_CANCELMODE: WMCancelMode(message); break;
    case WM_ERASEBKGND: message.Result = 1; break;
    case CN_HSCROLL:
    case CN_VSCROLL: CNScroll(message); break;
    case CM_SYSCOLORCHANGE: SysColorChanged(message); break;
    case CN_CTLCOLORSCROLLBAR: CNCtlColorScrollBar(message); break;
    default: TCustomControl::Dispatch(message);
    }
}
