#pragma once
// The editing control's own drag-and-drop objects: sizing an edge, the
// translucent picture of a dragged thing that follows the mouse, and the
// timers that scroll the control while the mouse rests near an edge.
//
// Nothing is drawn onto the screen itself: a picture is a click-through
// top-level window the display blends at a constant alpha, so moving it
// never saves, restores or repaints what lies below. The sizing mark stays
// an inverted line on the control's own surface.

#include <vector>

#include "components/treelist/cxInplaceContainerControllers.h"

class TcxCustomControlController;

// ---- sizing ---------------------------------------------------------------------------

// Moves an edge of whatever the controller's drag item sizes; the size
// changes in whole increments, live or once on release.
class TcxSizingDragAndDropObject : public TcxDragAndDropObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool GetImmediateStart() override { return true; }

    virtual POINT GetDragPos(const POINT& p);
    virtual RECT GetSizingMarkBounds();

    TcxCustomControlController* Controller() const;
    hostlib::TObject* DragItem() const;
    IcxDragSizing* DragSizing() const;
    bool IsSizingKind(TcxDragSizingDirection direction) const { return direction_ == direction; }
    int Delta() const { return delta_; }
    POINT DragPosition() const { return dragPos_; }
    RECT DragBounds() const { return dragBounds_; }

protected:
    void DirtyChanged() override;
    hostlib::TCursor GetDragAndDropCursor(bool accepted) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const POINT& p, bool& accepted) override;
    void EndDragAndDrop(bool accepted) override;

private:
    int Coordinate(const POINT& p) const { return direction_ == dsdHorz ? p.x : p.y; }
    // Whole increments between the start and a coordinate, halves to even
    // when rounding.
    int Increments(int coordinate, bool truncate) const;

    int delta_ = 0;
    TcxDragSizingDirection direction_ = dsdHorz;
    RECT dragBounds_{};
    POINT dragPos_{};
    bool dynamicUpdate_ = false;
    POINT startPos_{};
    int sizeIncrement_ = 1;
    bool begun_ = false;
};

// ---- auto scrolling ---------------------------------------------------------------------

// Scrolls its control one increment per tick while a point rests in its area.
class TcxAutoScrollingObject : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr UINT kInterval = 50;

    virtual void Construct(hostlib::TObject* owner);
    virtual void DoScrollInspectingControl();
    virtual TcxControl* GetControl() { return nullptr; }
    virtual TcxControlScrollBar* GetScrollBar(hostlib::TScrollBarKind kind);
    virtual void TimerHandler(hostlib::TObject* sender);

    bool Check(const POINT& p);
    void SetParams(const RECT& area, hostlib::TScrollBarKind kind, int increment, hostlib::TScrollCode code);
    void Stop();

    bool Running() const;
    hostlib::TObject* Owner() const { return owner_; }
    RECT Area() const { return area_; }
    int Increment() const { return increment_; }

protected:
    void Destroy() override;
    // Steps a bar by delta, kept within [Min, Max - PageSize + 1]; the
    // control's controller scrolls when the position changes.
    void ScrollBy(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int delta);
    void SetTimerEnabled(bool value);

    RECT area_{};
    hostlib::TScrollCode code_ = hostlib::scLineDown;
    int increment_ = 0;
    hostlib::TScrollBarKind kind_ = hostlib::sbHorizontal;

private:
    hostlib::TObject* owner_ = nullptr;
    hostlib::ObjectPtr<hostlib::TTimer> timer_;
};

class TcxDragDropObjectAutoScrollingObject : public TcxAutoScrollingObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxControl* GetControl() override;
};

// Owned by a controller; in bounds mode it scrolls towards every side of
// the area the point lies beyond.
class TcxControllerAutoScrollingObject : public TcxAutoScrollingObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxControl* GetControl() override;
    void DoScrollInspectingControl() override;

    void SetBoundsParams(const RECT& area, bool checkHorz, bool checkVert, int increment);
    bool CheckBounds(const POINT& p);

private:
    enum Direction { dirLeft, dirTop, dirRight, dirBottom };

    bool boundsMode_ = false;
    bool checkHorz_ = false;
    bool checkVert_ = false;
    bool directions_[4] = {false, false, false, false};
};

// ---- pictures of dragged things ----------------------------------------------------------

// A click-through top-level popup that shows a bitmap at a screen place,
// translucent at a constant alpha or opaque and shaped to the pixels not
// of a key colour.
class TcxDragWindow {
public:
    TcxDragWindow() = default;
    TcxDragWindow(const TcxDragWindow&) = delete;
    TcxDragWindow& operator=(const TcxDragWindow&) = delete;
    ~TcxDragWindow() { Close(); }

    // The bitmap is copied; a shape key of clNone keeps the whole rectangle.
    void Show(hostlib::TBitmap* picture, const POINT& at, BYTE alpha, hostlib::TColor shapeKey = hostlib::clNone);
    void MoveTo(const POINT& at);
    void Close();
    HWND Handle() const { return window_; }
    RECT ScreenRect() const;

private:
    static LRESULT WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Create(const POINT& at, BYTE alpha);
    void ApplyShape(hostlib::TColor key);

    HWND window_ = nullptr;
    hostlib::ObjectPtr<hostlib::TBitmap> picture_;
    POINT position_{};
};

class TcxBaseDragAndDropObject : public TcxDragAndDropObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxEditingControl* EditingControl() const;

protected:
    hostlib::TCursor GetDragAndDropCursor(bool accepted) override;
};

// Shows a translucent picture of the dragged thing under the mouse and
// scrolls the control while the mouse rests in one of its areas.
class TcxCustomControlDragAndDropObject : public TcxBaseDragAndDropObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    static constexpr BYTE kPictureAlpha = 200;

    void Construct(TcxControl* control) override;

    void AddAutoScrollingObject(const RECT& r, hostlib::TScrollBarKind kind, hostlib::TScrollCode code);
    TcxAutoScrollingObject* GetAutoScrollObject(int index) const { return autoScrollObjects_.at(static_cast<std::size_t>(index)).get(); }
    int GetAutoScrollObjectCount() const { return static_cast<int>(autoScrollObjects_.size()); }
    TcxCanvas* Canvas() const;
    TcxCustomHitTestController* HitTestController() const;
    bool Accepted() const { return accepted_; }
    hostlib::TBitmap* DragPicture() const { return picture_.get(); }
    // The window showing the picture; none before the first move.
    HWND PictureWindow() const { return pictureWindow_.Handle(); }

    virtual void DrawDragImage();
    virtual RECT GetAcceptedRect() { return RECT{}; }
    virtual hostlib::TClass GetAutoScrollingObjectClass();
    virtual RECT GetDisplayRect() { cxAbstractError(); }
    virtual int GetHorzScrollInc() { return 1; }
    virtual int GetVertScrollInc() { return 1; }
    virtual void OwnerImageChanged();
    virtual void OwnerImageChanging();
    virtual void Paint() { cxAbstractError(); }

protected:
    void Destroy() override;
    hostlib::TCursor GetDragAndDropCursor(bool accepted) override;
    void BeginDragAndDrop() override;
    void DragAndDrop(const POINT& p, bool& accepted) override;
    void EndDragAndDrop(bool accepted) override;

    // The picture's screen top-left for a mouse point in client coordinates.
    POINT PicturePosition(const POINT& mouse) const;
    void ShowPicture();

    std::vector<hostlib::ObjectPtr<TcxAutoScrollingObject>> autoScrollObjects_;
    bool accepted_ = false;
    hostlib::ObjectPtr<hostlib::TBitmap> picture_;
    POINT hotSpot_{};
    POINT screenOrigin_{};
    RECT pictureBounds_{};

private:
    void CheckAutoScrolling(const POINT& p);

    TcxDragWindow pictureWindow_;
};
