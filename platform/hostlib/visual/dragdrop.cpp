#include "platform/hostlib/visual/dragdrop.h"

#include <cstdlib>

#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"

namespace hostlib {

struct DragState {
    TControl* source = nullptr;
    TDragObject* object = nullptr;
    bool ownsObject = false;
    bool started = false;
    POINT start{};
    int threshold = 5;
    TControl* target = nullptr;
    bool accepted = false;
};

namespace {
DragState* gDrag = nullptr;
// Set while a control's DoStartDrag runs; a CancelDrag then refuses the drag.
bool gStarting = false;
bool gStartCancelled = false;

LRESULT SendDrag(TControl* target, TDragMessage kind, POINT screenPos)
{
    TDragRec rec;
    rec.Pos = screenPos;
    rec.Source = gDrag->object;
    rec.Target = target;
    return target->Perform(CM_DRAG, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&rec));
}

void ShowDragCursor(POINT pos)
{
    if (!gDrag || !Screen) return;
    POINT local = gDrag->target ? gDrag->target->ScreenToClient(pos) : pos;
    const TCursor c = gDrag->object->GetDragCursor(gDrag->accepted && gDrag->target, local.x, local.y);
    ::SetCursor(Screen->Cursors(c));
}
}  // namespace

TClass TDragObject::StaticClass() { return DefineClass<TDragObject, TObject>("TDragObject"); }

TCursor TDragObject::GetDragCursor(bool accepted, int, int)
{
    if (accepted && dragTarget_) return dragTarget_->DragCursor();
    return crNoDrop;
}

TClass TDragControlObject::StaticClass() { return DefineClass<TDragControlObject, TDragObject>("TDragControlObject"); }

namespace {

void ShowDragWindow(TDragObject* object, int show)
{
    TDragImageList* images = object->GetDragImages();
    if (images && images->Dragging()) ShowWindow(images->DragWindow(), show);
}

}  // namespace

void TDragObject::HideDragImage() { ShowDragWindow(this, SW_HIDE); }
void TDragObject::ShowDragImage() { ShowDragWindow(this, SW_SHOWNOACTIVATE); }

void TDragControlObject::Finished(TObject* target, int x, int y, bool)
{
    if (control_) control_->DoEndDrag(target, x, y);
}

void StartDrag(TControl* control, bool immediate, int threshold)
{
    if (!control || gDrag || gStarting) return;
    TDragObject* object = nullptr;
    gStarting = true;
    gStartCancelled = false;
    {
        quelvo::sys::ScopeGuard started([] { gStarting = false; });
        control->DoStartDrag(object);
    }
    if (gStartCancelled) return;
    auto state = std::make_unique<DragState>();
    state->source = control;
    state->ownsObject = object == nullptr;
    state->object = object ? object : CreateObject<TDragControlObject>(control);
    GetCursorPos(&state->start);
    state->threshold = threshold < 0 ? (Mouse ? Mouse->DragThreshold() : 5) : threshold;
    gDrag = state.release();
    SetCaptureControl(control);
    if (immediate) {
        gDrag->started = true;
        DragTo(gDrag->start);
    }
}

bool DraggingFrom(const TControl* control) { return gDrag && gDrag->source == control; }
bool DraggingAny() { return gDrag != nullptr; }
TDragObject* CurrentDragObject() { return gDrag ? gDrag->object : nullptr; }

void DragTo(POINT pos)
{
    if (!gDrag) return;
    if (!gDrag->started) {
        if (std::abs(pos.x - gDrag->start.x) < gDrag->threshold && std::abs(pos.y - gDrag->start.y) < gDrag->threshold)
            return;
        gDrag->started = true;
    }
    // The drag image's window lies over the target: out of the way while
    // looking for what is under the mouse.
    TDragImageList* images = gDrag->object->GetDragImages();
    HWND imageWindow = images && images->Dragging() ? images->DragWindow() : nullptr;
    if (imageWindow) ShowWindow(imageWindow, SW_HIDE);
    TControl* target = FindDragTarget(pos, false);
    if (imageWindow) ShowWindow(imageWindow, SW_SHOWNOACTIVATE);
    if (!gDrag) return;
    if (target != gDrag->target) {
        if (gDrag->target) SendDrag(gDrag->target, dmDragLeave, pos);
        if (!gDrag) return;
        gDrag->target = target;
        gDrag->object->dragTarget_ = target;
        gDrag->accepted = false;
        if (target) gDrag->accepted = SendDrag(target, dmDragEnter, pos) != 0;
        if (!gDrag) return;
    }
    gDrag->object->dragPos_ = pos;
    if (images) {
        if (images->Dragging()) images->DragMove(pos.x, pos.y);
        else images->BeginDrag(pos.x, pos.y);
    }
    if (gDrag->target) gDrag->accepted = SendDrag(gDrag->target, dmDragMove, pos) != 0;
    ShowDragCursor(pos);
}

void DragDone(bool drop)
{
    if (!gDrag) return;
    std::unique_ptr<DragState> state(gDrag);
    gDrag = nullptr;
    TDragObject* object = state->object;
    if (TDragImageList* images = object->GetDragImages()) images->EndDrag();
    POINT pos{};
    GetCursorPos(&pos);
    const bool accepted = drop && state->started && state->accepted && state->target;
    object->cancelling_ = !accepted;
    object->dropped_ = accepted;
    if (GetCaptureControl() == state->source) SetCaptureControl(nullptr);
    TControl* target = state->target;
    // The target's handling may free the source.
    const auto sourceAlive = state->source ? state->source->AliveToken() : nullptr;
    if (target) {
        auto saved = gDrag;
        gDrag = state.get();
        SendDrag(target, accepted ? dmDragDrop : dmDragLeave, pos);
        gDrag = saved;
    }
    POINT local = target ? target->ScreenToClient(pos) : pos;
    if (!accepted && sourceAlive && *sourceAlive) state->source->DragCanceled();
    object->Finished(accepted ? target : nullptr, local.x, local.y, accepted);
    if (state->ownsObject) object->Free();
    if (Screen) ::SetCursor(Screen->Cursors(crDefault));
}

void CancelDrag()
{
    if (gStarting && !gDrag) gStartCancelled = true;
    DragDone(false);
}

void DragMouseMessage(TControl* control, TMessage& m)
{
    POINT pos = control->ClientToScreen(POINT{MessageX(m.LParam), MessageY(m.LParam)});
    switch (m.Msg) {
    case WM_MOUSEMOVE: DragTo(pos); break;
    case WM_LBUTTONUP:
        DragTo(pos);
        DragDone(true);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: DragDone(false); break;
    default: break;
    }
}

bool DragKeyMessage(const MSG& msg)
{
    if (!gDrag) return false;
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == static_cast<WPARAM>(VK_ESCAPE)) {
        DragDone(false);
        return true;
    }
    return false;
}

void BeginAutoDrag(TControl* control) { control->BeginDrag(false, -1); }

void EndDragFor(TControl* control)
{
    if (!gDrag) return;
    if (gDrag->target == control) {
        gDrag->target = nullptr;
        gDrag->object->dragTarget_ = nullptr;
        gDrag->accepted = false;
    }
    if (gDrag->source == control) {
        std::unique_ptr<DragState> state(gDrag);
        gDrag = nullptr;
        if (state->ownsObject) state->object->Free();
        ReleaseCapture();
    }
}

void DragMessage(TControl* control, TMessage& m)
{
    auto* rec = reinterpret_cast<TDragRec*>(m.LParam);
    if (!rec || !rec->Source) return;
    POINT local = control->ScreenToClient(rec->Pos);
    TObject* source = rec->Source->SourceObject();
    switch (static_cast<TDragMessage>(m.WParam)) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
        const TDragState state = m.WParam == dmDragEnter ? dsDragEnter : m.WParam == dmDragLeave ? dsDragLeave : dsDragMove;
        bool accept = true;
        control->DragOver(source, local.x, local.y, state, accept);
        m.Result = accept ? 1 : 0;
        break;
    }
    case dmDragDrop: control->DragDrop(source, local.x, local.y); break;
    default: break;
    }
}

// ---- TControl's drag members ---------------------------------------------------------------

void TControl::BeginDrag(bool immediate, int threshold) { StartDrag(this, immediate, threshold); }
void TControl::EndDrag(bool drop)
{
    if (DraggingFrom(this)) DragDone(drop);
}
bool TControl::Dragging() const { return DraggingFrom(this); }
void TControl::DragDrop(TObject* source, int x, int y) { OnDragDrop(this, source, x, y); }
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    accept = OnDragOver.Assigned();
    if (accept) OnDragOver(this, source, x, y, state, accept);
}
void TControl::DoEndDrag(TObject* target, int x, int y) { OnEndDrag(this, target, x, y); }
void TControl::DoStartDrag(TDragObject*& dragObject) { OnStartDrag(this, dragObject); }

}  // namespace hostlib
