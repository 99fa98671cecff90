#pragma once
// Common controls drawn by the library itself.

#include "platform/hostlib/visual/controls.h"

namespace hostlib {

enum TTrackBarOrientation { trHorizontal, trVertical };

// A slider over Min..Max. Position is always kept within Min..Max; every
// change of it, by the program or the user, raises OnChange once.
// Keys: arrows move by LineSize, Page Up/Down by PageSize, Home and End to
// the ends; a click beside the thumb moves by PageSize towards it and
// dragging the thumb follows the mouse.
class TTrackBar : public TCustomControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value) { pageSize_ = value < 0 ? 0 : value; }
    int LineSize() const { return lineSize_; }
    void SetLineSize(int value) { lineSize_ = value < 0 ? 0 : value; }
    // Distance between tick marks (0: none).
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation value);

    // The thumb's rectangle in client coordinates.
    RECT ThumbRect();

    TNotifyEvent OnChange;

protected:
    virtual void Changed() { OnChange(this); }
    void Paint() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Dispatch(TMessage& message) override;

private:
    // The channel's usable length in pixels and its start.
    int TrackStart();
    int TrackLength();
    int PositionAt(int x, int y);

    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int pageSize_ = 2;
    int lineSize_ = 1;
    int frequency_ = 1;
    TTrackBarOrientation orientation_ = trHorizontal;
    bool dragging_ = false;
};

}  // namespace hostlib
