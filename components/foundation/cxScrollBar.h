#pragma once
// An owner-drawn scroll bar: the usual model (min, max, position, page,
// small and large change), its five parts computed here, mouse tracking,
// line and page steps repeated on a timer, thumb dragging within a
// tolerance box, and every part drawn by the painter of its own look and
// feel into an off-screen bitmap that reaches the screen in one copy.

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/timer.h"

// The system's vertical-bar width and horizontal-bar height.
POINT GetScrollBarSize();

class TcxScrollBar : public hostlib::TCustomControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void SetBounds(int left, int top, int width, int height) override;

    hostlib::TScrollBarKind Kind() const { return kind_; }
    void SetKind(hostlib::TScrollBarKind value);
    hostlib::TScrollBarInc LargeChange() const { return largeChange_; }
    void SetLargeChange(hostlib::TScrollBarInc value) { largeChange_ = value; }
    hostlib::TScrollBarInc SmallChange() const { return smallChange_; }
    void SetSmallChange(hostlib::TScrollBarInc value) { smallChange_ = value; }
    TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
    // Copies the values.
    void SetLookAndFeel(TcxLookAndFeel* value) { lookAndFeel_->Assign(value); }
    int Max() const { return max_; }
    void SetMax(int value) { SetScrollParams(min_, value, position_, pageSize_); }
    int Min() const { return min_; }
    void SetMin(int value) { SetScrollParams(value, max_, position_, pageSize_); }
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value) { SetScrollParams(min_, max_, position_, value); }
    int Position() const { return position_; }
    void SetPosition(int value) { SetScrollParams(min_, max_, value, pageSize_); }
    bool UnlimitedTracking() const { return unlimitedTracking_; }
    void SetUnlimitedTracking(bool value) { unlimitedTracking_ = value; }

    // Raises EInvalidOperation when max is below min or the page size.
    void SetScrollParams(int min, int max, int position, int pageSize, bool redraw = true);
    void SetParams(int position, int min, int max) { SetScrollParams(min, max, position, pageSize_); }

    // The scroll-bar painter: native only when the scroll-bar theme opens.
    TcxCustomLookAndFeelPainterClass Painter() const;
    TcxScrollBarPart GetScrollBarPart(POINT p);

    // Where the parts are; an empty thumb means none is shown.
    const RECT& LineUpRect() const { return lineUp_; }
    const RECT& LineDownRect() const { return lineDown_; }
    const RECT& ThumbnailRect() const { return thumb_; }
    const RECT& PageUpRect() const { return pageUp_; }
    const RECT& PageDownRect() const { return pageDown_; }
    int MinThumbnailSize() const { return minThumbnailSize_; }
    TcxScrollBarPart PressedPart() const { return pressedPart_; }
    TcxScrollBarPart HotPart() const { return hotPart_; }

    hostlib::TNotifyEvent OnChange;
    hostlib::TScrollEvent OnScroll;

protected:
    void Destroy() override;
    void Dispatch(hostlib::TMessage& message) override;
    void Paint() override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void EnabledChanged() override;
    void VisibleChanged() override;

    virtual void Change();
    virtual void Scroll(hostlib::TScrollCode code, int& position);
    void InternalScroll(hostlib::TScrollCode code);
    void CancelScroll();

private:
    bool IsVertical() const { return kind_ == hostlib::sbVertical; }
    // Start and end of a rectangle along the bar.
    int StartOf(const RECT& r) const { return IsVertical() ? r.top : r.left; }
    int EndOf(const RECT& r) const { return IsVertical() ? r.bottom : r.right; }
    // A rectangle from start to end along the bar, across its full thickness.
    RECT Span(int start, int end);
    bool IsRepeatPart(TcxScrollBarPart part) const { return part != sbpNone && part != sbpThumbnail; }
    TcxButtonState PartState(TcxScrollBarPart part) const;
    bool HotTracks() const { return Painter()->IsButtonHotTrack(); }

    void CalcMinThumbnailSize();
    void CalculateRects();
    void CalculateThumbnailRect();
    void CalculatePageRects();
    int GetPositionFromThumbnail() const;
    void DragThumbnail(POINT p);
    void OnTimer(hostlib::TObject* sender);
    void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues);
    void ThemeChanged();
    void WMCancelMode(hostlib::TMessage& message);
    void CNScroll(hostlib::TMessage& message);
    void SysColorChanged(hostlib::TMessage& message);
    void CNCtlColorScrollBar(hostlib::TMessage& message);

    hostlib::TScrollBarKind kind_ = hostlib::sbHorizontal;
    hostlib::TScrollBarInc largeChange_ = 1;
    hostlib::TScrollBarInc smallChange_ = 1;
    int min_ = 0;
    int max_ = 100;
    int pageSize_ = 0;
    int position_ = 0;
    bool unlimitedTracking_ = false;

    hostlib::ObjectPtr<hostlib::TBitmap> bitmap_;
    std::unique_ptr<TcxCanvas> bitmapCanvas_;
    hostlib::ObjectPtr<TcxLookAndFeel> lookAndFeel_;
    hostlib::ObjectPtr<TdxThemeChangedNotificator> themeNotificator_;
    hostlib::ObjectPtr<hostlib::TTimer> timer_;

    RECT lineUp_{};
    RECT lineDown_{};
    RECT thumb_{};
    RECT pageUp_{};
    RECT pageDown_{};
    int minThumbnailSize_ = 8;
    TcxScrollBarPart pressedPart_ = sbpNone;
    TcxScrollBarPart hotPart_ = sbpNone;
    POINT savedPoint_{};
    int savedPosition_ = 0;
    POINT savedThumbCorner_{};
};
