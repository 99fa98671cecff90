#include "components/treelist/cxInplaceContainerDragAndDrop.h"

#include <algorithm>
#include <cmath>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "platform/windows/winuser.h"
#include "platform/windows/x11/layered.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace {

constexpr const char* kDragWindowClass = "TcxDragPictureWindow";
constexpr const char* kDragWindowProp = "cx.dragwindow";

// n / d rounded to the nearest integer, halves to the even one.
int RoundHalfEven(int n, int d)
{
    if (d < 0) n = -n, d = -d;
    int q = n / d;
    int r = n % d;
    if (r < 0) r += d, --q;
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return q;
}


} // namespace

// ---- TcxSizingDragAndDropObject ---------------------------------------------------------------

TClass TcxSizingDragAndDropObject::StaticClass()
{
    return DefineClass<TcxSizingDragAndDropObject, TcxDragAndDropObject>("TcxSizingDragAndDropObject");
}

TcxCustomControlController* TcxSizingDragAndDropObject::Controller() const
{
    auto* control = As<TcxEditingControl>(Control());
    return control ? control->Controller() : nullptr;
}

TObject* TcxSizingDragAndDropObject::DragItem() const
{
    TcxCustomControlController* controller = Controller();
    return controller ? controller->DragItem() : nullptr;
}

IcxDragSizing* TcxSizingDragAndDropObject::DragSizing() const { return dynamic_cast<IcxDragSizing*>(DragItem()); }

int TcxSizingDragAndDropObject::Increments(int coordinate, bool truncate) const
{
    const int distance = coordinate - Coordinate(startPos_);
    return truncate ? distance / sizeIncrement_ : RoundHalfEven(distance, sizeIncrement_);
}

POINT TcxSizingDragAndDropObject::GetDragPos(const POINT& p)
{
    POINT result = startPos_;
    const int coordinate = Coordinate(startPos_) + Increments(Coordinate(p), false) * sizeIncrement_;
    (direction_ == dsdHorz ? result.x : result.y) = coordinate;
    return result;
}

RECT TcxSizingDragAndDropObject::GetSizingMarkBounds()
{
    if (direction_ == dsdHorz) return RECT{dragPos_.x - 1, dragBounds_.top, dragPos_.x, dragBounds_.bottom};
    return RECT{dragBounds_.left, dragPos_.y - 1, dragBounds_.right, dragPos_.y};
}

void TcxSizingDragAndDropObject::DirtyChanged()
{
    if (!begun_ || dynamicUpdate_ || !Canvas()) return;
    const RECT mark = GetSizingMarkBounds();
    RECT client = Control()->GetClientBounds();
    RECT visible{};
    if (IntersectRect(&visible, &mark, &client)) Canvas()->InvertRect(mark);
}

TCursor TcxSizingDragAndDropObject::GetDragAndDropCursor(bool) { return direction_ == dsdHorz ? crHSplit : crVSplit; }

void TcxSizingDragAndDropObject::BeginDragAndDrop()
{
    IcxDragSizing* sizing = DragSizing();
    if (!sizing) Abort();
    direction_ = Controller()->GetResizeDirection();
    dragBounds_ = sizing->GetSizingBoundsRect(direction_);
    sizeIncrement_ = std::max(1, sizing->GetSizingIncrement(direction_));
    startPos_ = CurMousePos();
    dragPos_ = GetDragPos(startPos_);
    dynamicUpdate_ = sizing->IsDynamicUpdate();
    begun_ = true;
    TcxDragAndDropObject::BeginDragAndDrop();
}

// A fast move may land beyond the bounds in one step: the point is clamped
// into them, so the size still reaches the minimum or maximum.
void TcxSizingDragAndDropObject::DragAndDrop(const POINT& p, bool& accepted)
{
    POINT q = p;
    int& c = direction_ == dsdHorz ? q.x : q.y;
    const int low = direction_ == dsdHorz ? dragBounds_.left : dragBounds_.top;
    const int high = direction_ == dsdHorz ? dragBounds_.right : dragBounds_.bottom;
    c = std::clamp(c, low, std::max(low, high));
    const POINT newPos = GetDragPos(q);
    const int delta = Increments(c, dynamicUpdate_);
    if (delta == 0 && Coordinate(newPos) == Coordinate(dragPos_)) return;
    delta_ = delta;
    SetDirty(true);
    dragPos_ = newPos;
    if (dynamicUpdate_) {
        if (IcxDragSizing* sizing = DragSizing()) sizing->SetSizeDelta(direction_, delta);
        startPos_ = q;
    }
    SetDirty(false);
    TcxDragAndDropObject::DragAndDrop(q, accepted);
}

void TcxSizingDragAndDropObject::EndDragAndDrop(bool accepted)
{
    SetDirty(true);
    TcxDragAndDropObject::EndDragAndDrop(accepted);
    begun_ = false;
    if (dynamicUpdate_ || delta_ == 0 || Controller()->EscapePressed()) return;
    if (IcxDragSizing* sizing = DragSizing()) sizing->SetSizeDelta(direction_, delta_);
}

// ---- auto scrolling ----------------------------------------------------------------------------

TClass TcxAutoScrollingObject::StaticClass()
{
    return DefineClass<TcxAutoScrollingObject, TObject>("TcxAutoScrollingObject");
}

void TcxAutoScrollingObject::Construct(TObject* owner)
{
    owner_ = owner;
    timer_.reset(CreateObject<TTimer>(static_cast<TComponent*>(nullptr)));
    timer_->SetEnabled(false);
    timer_->SetInterval(kInterval);
    timer_->OnTimer = TNotifyEvent::Bind(this, &TcxAutoScrollingObject::TimerHandler);
}

void TcxAutoScrollingObject::Destroy()
{
    if (timer_) timer_->SetEnabled(false);
    timer_.reset();
    TObject::Destroy();
}

bool TcxAutoScrollingObject::Running() const { return timer_ && timer_->Enabled(); }

void TcxAutoScrollingObject::SetTimerEnabled(bool value)
{
    if (timer_->Enabled() != value) timer_->SetEnabled(value);
}

TcxControlScrollBar* TcxAutoScrollingObject::GetScrollBar(TScrollBarKind kind)
{
    TcxControl* control = GetControl();
    if (!control) return nullptr;
    return kind == sbHorizontal ? control->HScrollBar() : control->VScrollBar();
}

void TcxAutoScrollingObject::TimerHandler(TObject*) { DoScrollInspectingControl(); }

void TcxAutoScrollingObject::ScrollBy(TScrollBarKind kind, TScrollCode code, int delta)
{
    TcxControlScrollBar* bar = GetScrollBar(kind);
    auto* control = As<TcxEditingControl>(GetControl());
    if (!bar || !control) return;
    const int last = std::max(bar->Min(), bar->Max() - bar->PageSize() + 1);
    int position = std::clamp(bar->Position() + delta, bar->Min(), last);
    if (!bar->Visible() || position == bar->Position()) return;
    control->Controller()->Scroll(kind, code, position);
    // The bars follow the view only when told: the next tick steps from here.
    control->UpdateScrollBars();
}

void TcxAutoScrollingObject::DoScrollInspectingControl() { ScrollBy(kind_, code_, increment_); }

bool TcxAutoScrollingObject::Check(const POINT& p)
{
    const bool inside = PtInRect(&area_, p) != 0;
    SetTimerEnabled(inside);
    return inside;
}

void TcxAutoScrollingObject::SetParams(const RECT& area, TScrollBarKind kind, int increment, TScrollCode code)
{
    area_ = area;
    kind_ = kind;
    code_ = code;
    increment_ = code == scLineUp ? -increment : increment;
}

void TcxAutoScrollingObject::Stop() { SetTimerEnabled(false); }

TClass TcxDragDropObjectAutoScrollingObject::StaticClass()
{
    return DefineClass<TcxDragDropObjectAutoScrollingObject, TcxAutoScrollingObject>(
        "TcxDragDropObjectAutoScrollingObject");
}

TcxControl* TcxDragDropObjectAutoScrollingObject::GetControl()
{
    auto* object = As<TcxDragAndDropObject>(Owner());
    return object ? object->Control() : nullptr;
}

TClass TcxControllerAutoScrollingObject::StaticClass()
{
    return DefineClass<TcxControllerAutoScrollingObject, TcxAutoScrollingObject>("TcxControllerAutoScrollingObject");
}

TcxControl* TcxControllerAutoScrollingObject::GetControl()
{
    auto* controller = As<TcxCustomControlController>(Owner());
    return controller ? controller->EditingControl() : nullptr;
}

void TcxControllerAutoScrollingObject::SetBoundsParams(const RECT& area, bool checkHorz, bool checkVert, int increment)
{
    boundsMode_ = true;
    area_ = area;
    checkHorz_ = checkHorz;
    checkVert_ = checkVert;
    increment_ = increment;
}

bool TcxControllerAutoScrollingObject::CheckBounds(const POINT& p)
{
    std::fill(std::begin(directions_), std::end(directions_), false);
    if (!PtInRect(&area_, p)) {
        if (checkHorz_) {
            directions_[dirLeft] = p.x <= area_.left;
            directions_[dirRight] = p.x >= area_.right;
        }
        if (checkVert_) {
            directions_[dirTop] = p.y <= area_.top;
            directions_[dirBottom] = p.y >= area_.bottom;
        }
    }
    const bool any = std::any_of(std::begin(directions_), std::end(directions_), [](bool d) { return d; });
    SetTimerEnabled(any);
    return any;
}

void TcxControllerAutoScrollingObject::DoScrollInspectingControl()
{
    if (!boundsMode_) return TcxAutoScrollingObject::DoScrollInspectingControl();
    if (directions_[dirLeft]) ScrollBy(sbHorizontal, scLineUp, -increment_);
    if (directions_[dirTop]) ScrollBy(sbVertical, scLineUp, -increment_);
    if (directions_[dirRight]) ScrollBy(sbHorizontal, scLineDown, increment_);
    if (directions_[dirBottom]) ScrollBy(sbVertical, scLineDown, increment_);
}

// ---- TcxDragWindow ----------------------------------------------------------------------------

LRESULT TcxDragWindow::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = static_cast<TcxDragWindow*>(GetPropA(wnd, kDragWindowProp));
    switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        if (self && self->picture_)
            BitBlt(dc, 0, 0, self->picture_->Width(), self->picture_->Height(), self->picture_->Canvas()->Handle(), 0,
                   0, SRCCOPY);
        EndPaint(wnd, &ps);
        return 0;
    }
    default: return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

void TcxDragWindow::Create(const POINT& at, BYTE alpha)
{
    WNDCLASSA existing;
    if (!GetClassInfoA(nullptr, kDragWindowClass, &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TcxDragWindow::WindowProc;
        wc.lpszClassName = kDragWindowClass;
        RegisterClassA(&wc);
    }
    const DWORD exStyle = WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT;
    window_ = CreateWindowExA(exStyle, kDragWindowClass, "", WS_POPUP | WS_DISABLED, at.x, at.y, picture_->Width(),
                              picture_->Height(), nullptr, nullptr, nullptr, nullptr);
    if (!window_) return;
    SetPropA(window_, kDragWindowProp, this);
    if (alpha < 255) SetLayeredWindowAttributes(window_, 0, alpha, LWA_ALPHA);
}

// The region holds every pixel that is not the key colour, row by row.
void TcxDragWindow::ApplyShape(TColor key)
{
    const COLORREF keyRgb = ColorToRGB(key);
    HDC dc = picture_->Canvas()->Handle();
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < picture_->Height(); ++y) {
        int start = -1;
        for (int x = 0; x <= picture_->Width(); ++x) {
            const bool inside = x < picture_->Width() && GetPixel(dc, x, y) != keyRgb;
            if (inside && start < 0) start = x;
            if (inside || start < 0) continue;
            HRGN run = CreateRectRgn(start, y, x, y + 1);
            CombineRgn(shape, shape, run, RGN_OR);
            DeleteObject(run);
            start = -1;
        }
    }
    SetWindowRgn(window_, shape, FALSE);
}

void TcxDragWindow::Show(TBitmap* picture, const POINT& at, BYTE alpha, TColor shapeKey)
{
    Close();
    if (!picture || picture->Width() <= 0 || picture->Height() <= 0) return;
    picture_.reset(CreateObject<TBitmap>());
    picture_->Assign(picture);
    position_ = at;
    Create(at, alpha);
    if (!window_) return;
    if (shapeKey != clNone) ApplyShape(shapeKey);
    SetWindowPos(window_, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(window_);
}

void TcxDragWindow::MoveTo(const POINT& at)
{
    if (!window_ || (at.x == position_.x && at.y == position_.y)) return;
    position_ = at;
    SetWindowPos(window_, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TcxDragWindow::Close()
{
    if (window_) {
        RemovePropA(window_, kDragWindowProp);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    picture_.reset();
}

RECT TcxDragWindow::ScreenRect() const
{
    if (!window_ || !picture_) return RECT{};
    return RECT{position_.x, position_.y, position_.x + picture_->Width(), position_.y + picture_->Height()};
}

// ---- TcxBaseDragAndDropObject -----------------------------------------------------------------

TClass TcxBaseDragAndDropObject::StaticClass()
{
    return DefineClass<TcxBaseDragAndDropObject, TcxDragAndDropObject>("TcxBaseDragAndDropObject");
}

TcxEditingControl* TcxBaseDragAndDropObject::EditingControl() const { return As<TcxEditingControl>(Control()); }

TCursor TcxBaseDragAndDropObject::GetDragAndDropCursor(bool accepted)
{
    return accepted ? Control()->DragCursor() : crNoDrop;
}

// ---- TcxCustomControlDragAndDropObject --------------------------------------------------------

TClass TcxCustomControlDragAndDropObject::StaticClass()
{
    return DefineClass<TcxCustomControlDragAndDropObject, TcxBaseDragAndDropObject>(
        "TcxCustomControlDragAndDropObject");
}

void TcxCustomControlDragAndDropObject::Construct(TcxControl* control) { TcxBaseDragAndDropObject::Construct(control); }

void TcxCustomControlDragAndDropObject::Destroy()
{
    pictureWindow_.Close();
    autoScrollObjects_.clear();
    picture_.reset();
    TcxBaseDragAndDropObject::Destroy();
}

TcxCanvas* TcxCustomControlDragAndDropObject::Canvas() const
{
    TcxEditingControl* control = EditingControl();
    return control && control->GetPainter() ? control->GetPainter()->Canvas() : nullptr;
}

TcxCustomHitTestController* TcxCustomControlDragAndDropObject::HitTestController() const
{
    return EditingControl()->Controller()->HitTestController();
}

TClass TcxCustomControlDragAndDropObject::GetAutoScrollingObjectClass()
{
    return TcxDragDropObjectAutoScrollingObject::StaticClass();
}

void TcxCustomControlDragAndDropObject::AddAutoScrollingObject(const RECT& r, TScrollBarKind kind, TScrollCode code)
{
    ObjectPtr<TcxAutoScrollingObject> object(
        CreateInstance<TcxAutoScrollingObject>(GetAutoScrollingObjectClass(), static_cast<TObject*>(this)));
    object->SetParams(r, kind, kind == sbVertical ? GetVertScrollInc() : GetHorzScrollInc(), code);
    autoScrollObjects_.push_back(std::move(object));
}

TCursor TcxCustomControlDragAndDropObject::GetDragAndDropCursor(bool accepted)
{
    return accepted ? crDefault : cxcrNoDrop;
}

POINT TcxCustomControlDragAndDropObject::PicturePosition(const POINT& mouse) const
{
    return POINT{screenOrigin_.x + hotSpot_.x + mouse.x, screenOrigin_.y + hotSpot_.y + mouse.y};
}

// The picture is painted through the control's painter onto a bitmap whose
// origin maps the display rectangle's top-left to (0, 0).
void TcxCustomControlDragAndDropObject::DrawDragImage()
{
    const RECT r = GetDisplayRect();
    pictureBounds_ = RECT{0, 0, std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top)};
    picture_.reset(CreateObject<TBitmap>());
    picture_->SetSize(pictureBounds_.right, pictureBounds_.bottom);
    const POINT mouse = CurMousePos();
    hotSpot_ = POINT{r.left - mouse.x, r.top - mouse.y};
    screenOrigin_ = Control()->ClientToScreen(POINT{0, 0});
    if (pictureBounds_.right == 0 || pictureBounds_.bottom == 0) return;
    TcxCustomControlPainter* painter = EditingControl()->GetPainter();
    TcxCanvas canvas(picture_->Canvas());
    POINT oldOrigin{};
    SetWindowOrgEx(picture_->Canvas()->Handle(), r.left, r.top, &oldOrigin);
    TcxCanvas* saved = painter->Canvas();
    ScopeGuard restore([&] {
        painter->SetCanvas(saved);
        SetWindowOrgEx(picture_->Canvas()->Handle(), oldOrigin.x, oldOrigin.y, nullptr);
    });
    painter->SetCanvas(&canvas);
    Paint();
}

void TcxCustomControlDragAndDropObject::ShowPicture()
{
    const POINT at = PicturePosition(CurMousePos());
    if (pictureWindow_.Handle()) pictureWindow_.MoveTo(at);
    else pictureWindow_.Show(picture_.get(), at, kPictureAlpha);
}

void TcxCustomControlDragAndDropObject::BeginDragAndDrop()
{
    TcxBaseDragAndDropObject::BeginDragAndDrop();
    DrawDragImage();
}

void TcxCustomControlDragAndDropObject::CheckAutoScrolling(const POINT& p)
{
    for (auto& object : autoScrollObjects_)
        if (object->Check(p)) break;
}

void TcxCustomControlDragAndDropObject::DragAndDrop(const POINT& p, bool& accepted)
{
    TcxBaseDragAndDropObject::DragAndDrop(p, accepted);
    ShowPicture();
    CheckAutoScrolling(p);
    accepted_ = accepted;
}

void TcxCustomControlDragAndDropObject::EndDragAndDrop(bool accepted)
{
    for (auto& object : autoScrollObjects_) object->Stop();
    pictureWindow_.Close();
    TcxBaseDragAndDropObject::EndDragAndDrop(accepted);
}

// The picture has a window of its own: painting the control below never
// touches it, so there is nothing to take off or put back.
void TcxCustomControlDragAndDropObject::OwnerImageChanging() {}

void TcxCustomControlDragAndDropObject::OwnerImageChanged() {}
