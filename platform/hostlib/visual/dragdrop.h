#pragma once
// Drag and drop between controls: drag objects, the CM_DRAG protocol and
// the one drag in progress. A drag starts with BeginDrag (at once or after
// the mouse moved the threshold), follows the mouse over targets (enter,
// move, leave), and ends with a drop on an accepting target, or cancelled
// by Escape, the right button or a drop where nothing accepts.

#include "platform/hostlib/visual/controls.h"

namespace hostlib {

class TDragImageList;

// CM_DRAG's wParam.
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

class TDragObject;
// CM_DRAG's lParam.
struct TDragRec {
    POINT Pos{};
    TDragObject* Source = nullptr;
    TControl* Target = nullptr;
    bool Docking = false;
};

class TDragObject : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    // The cursor over a target that did or did not accept: the target's
    // drag cursor when accepted, else crNoDrop.
    virtual TCursor GetDragCursor(bool accepted, int x, int y);
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // Takes the image's window away while the source repaints or scrolls
    // under it, and brings it back.
    void HideDragImage();
    void ShowDragImage();
    // The object handed to DragOver and DragDrop as the source.
    virtual TObject* SourceObject() { return this; }
    // The drag ended: target is nullptr when it was cancelled.
    virtual void Finished(TObject*, int, int, bool) {}
    TControl* DragTarget() const { return dragTarget_; }
    POINT DragPos() const { return dragPos_; }
    bool Cancelling() const { return cancelling_; }
    bool Dropped() const { return dropped_; }

private:
    friend struct DragState;
    friend void DragTo(POINT);
    friend void DragDone(bool);
    friend void EndDragFor(TControl*);
    TControl* dragTarget_ = nullptr;
    POINT dragPos_{};
    bool cancelling_ = false;
    bool dropped_ = false;
};

class TDragControlObject : public TDragObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TControl* control) { control_ = control; }
    TControl* Control() const { return control_; }
    TObject* SourceObject() override { return control_; }
    TDragImageList* GetDragImages() override { return control_ ? control_->GetDragImages() : nullptr; }
    void Finished(TObject* target, int x, int y, bool accepted) override;

private:
    TControl* control_ = nullptr;
};

// Starts a drag from control (see TControl::BeginDrag).
void StartDrag(TControl* control, bool immediate, int threshold);
// The drag in progress started from this control.
bool DraggingFrom(const TControl* control);
bool DraggingAny();
TDragObject* CurrentDragObject();
// Moves the drag to a screen point / ends it (drop or cancel).
void DragTo(POINT screenPos);
void DragDone(bool drop);
void CancelDrag();
// Mouse messages of the source while it drags.
void DragMouseMessage(TControl* control, TMessage& m);
// Escape while dragging cancels; returns true when the key was used.
bool DragKeyMessage(const MSG& msg);
// A control that starts dragging on press (DragMode dmAutomatic).
void BeginAutoDrag(TControl* control);
// The control is going away: a drag that involves it stops.
void EndDragFor(TControl* control);
// The default CM_DRAG handling of a control.
void DragMessage(TControl* control, TMessage& m);

}  // namespace hostlib
