#include "components/foundation/cxControls.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "platform/hostlib/visual/pictures.h"
#include "platform/hostlib/visual/timer.h"
#include "platform/system/scope_guard.h"
#include "platform/system/winbase.h"
#include "platform/windows/winuser.h"

namespace quelvo_resources {
void Register_foundation();
}

using namespace hostlib;

namespace {

// The host drag over a library control (DragOver keeps it current).
TDragObject* gDragObject = nullptr;

// A link to an object for as long as the scope runs.
class LinkScope {
public:
    explicit LinkScope(TObject* object) : link_(cxAddObjectLink(object)) {}
    LinkScope(const LinkScope&) = delete;
    LinkScope& operator=(const LinkScope&) = delete;
    ~LinkScope() { cxRemoveObjectLink(link_); }
    bool Alive() const { return link_->Ref != nullptr; }

private:
    TcxObjectLink* link_;
};

TMouseButton ButtonOfDown(UINT msg)
{
    if (msg == WM_RBUTTONDOWN) return mbRight;
    if (msg == WM_MBUTTONDOWN) return mbMiddle;
    return mbLeft;
}

}  // namespace

const TEnumInfo& EnumTypeInfo(TcxControlBorderStyle*)
{
    static const TEnumInfo info{"TcxControlBorderStyle", {"cxcbsNone", "cxcbsDefault"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxKey*)
{
    static const TEnumInfo info{"TcxKey", {"kAll", "kArrows", "kChars", "kTab"}, 0};
    return info;
}

// ---- TcxDragAndDropObject ----------------------------------------------------------

TClass TcxDragAndDropObject::StaticClass() { return DefineClass<TcxDragAndDropObject, TObject>("TcxDragAndDropObject"); }

void TcxDragAndDropObject::Construct(TcxControl* control) { control_ = control; }

TcxCanvas* TcxDragAndDropObject::Canvas() const { return control_ ? control_->Canvas() : nullptr; }

void TcxDragAndDropObject::SetDirty(bool value)
{
    if (dirty_ == value) return;
    dirty_ = value;
    DirtyChanged();
}

void TcxDragAndDropObject::DoBeginDragAndDrop()
{
    curMousePos_ = control_->ScreenToClient(GetMouseCursorPos());
    prevMousePos_ = curMousePos_;
    BeginDragAndDrop();
}

void TcxDragAndDropObject::DoDragAndDrop(const POINT& p, bool& accepted)
{
    prevMousePos_ = curMousePos_;
    curMousePos_ = p;
    DragAndDrop(p, accepted);
}

void TcxDragAndDropObject::DoEndDragAndDrop(bool accepted)
{
    EndDragAndDrop(accepted);
    AfterDragAndDrop(accepted);
}

void TcxDragAndDropObject::ChangeMousePos(const POINT& p)
{
    prevMousePos_ = curMousePos_;
    curMousePos_ = p;
}

TCursor TcxDragAndDropObject::GetDragAndDropCursor(bool accepted) { return accepted ? crDrag : crNoDrop; }

void TcxDragAndDropObject::DragAndDrop(const POINT&, bool& accepted)
{
    dirty_ = false;
    if (hostlib::Screen) hostlib::Screen->SetCursor(GetDragAndDropCursor(accepted));
}

// ---- host drag objects and images ---------------------------------------------------

TClass TcxDragControlObject::StaticClass()
{
    return DefineClass<TcxDragControlObject, TDragControlObject>("TcxDragControlObject");
}

void TcxDragControlObject::Finished(TObject* target, int x, int y, bool accepted)
{
    TDragControlObject::Finished(target, x, y, accepted);
    if (gDragObject == this) gDragObject = nullptr;
    Free();
}

TCursor TcxDragControlObject::GetDragCursor(bool accepted, int x, int y)
{
    auto* control = As<TcxControl>(Control());
    if (accepted && control && control->IsCopyDragDrop()) return cxcrDragCopy;
    return TDragControlObject::GetDragCursor(accepted, x, y);
}

TClass TcxDragImageList::StaticClass() { return DefineClass<TcxDragImageList, TDragImageList>("TcxDragImageList"); }

TDragObject* GetDragObject() { return gDragObject; }

// ---- the settings controller ----------------------------------------------------------

namespace {

// Tells every control with scroll bars when the system's scroll-bar size
// changed. Its hidden window exists while a control is registered.
class TcxSettingsController {
public:
    TcxSettingsController() = default;
    TcxSettingsController(const TcxSettingsController&) = delete;
    TcxSettingsController& operator=(const TcxSettingsController&) = delete;
    ~TcxSettingsController() { ReleaseWindow(); }

    void Register(TcxControl* control);
    void Unregister(TcxControl* control);

private:
    void WndProc(TMessage& m);
    void ReleaseWindow();

    std::vector<TcxControl*> controls_;
    HWND window_ = nullptr;
};

std::unique_ptr<TcxSettingsController>& SettingsControllerInstance()
{
    static std::unique_ptr<TcxSettingsController> instance;
    return instance;
}

TcxSettingsController& SettingsController()
{
    auto& instance = SettingsControllerInstance();
    if (!instance) instance = std::make_unique<TcxSettingsController>();
    return *instance;
}

void TcxSettingsController::Register(TcxControl* control)
{
    if (std::find(controls_.begin(), controls_.end(), control) != controls_.end()) return;
    // A window manager reset (tests) may have taken the window away.
    if (window_ && !IsWindow(window_)) window_ = nullptr;
    if (!window_) window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    controls_.push_back(control);
}

void TcxSettingsController::Unregister(TcxControl* control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (controls_.empty()) ReleaseWindow();
}

void TcxSettingsController::ReleaseWindow()
{
    if (window_ && IsWindow(window_)) DeallocateHWnd(window_);
    window_ = nullptr;
}

void TcxSettingsController::WndProc(TMessage& m)
{
    if (m.Msg != WM_SETTINGCHANGE || m.WParam != SPI_SETNONCLIENTMETRICS) {
        m.Result = DefWindowProcA(window_, m.Msg, m.WParam, m.LParam);
        return;
    }
    // A control told may free another one.
    const auto controls = controls_;
    for (TcxControl* c : controls)
        if (std::find(controls_.begin(), controls_.end(), c) != controls_.end() && c->HandleAllocated())
            SendNotifyMessageA(c->Handle(), CM_NCSIZECHANGED, 0, 0);
    m.Result = 0;
}

}  // namespace

// ---- TcxControl: construction ------------------------------------------------------

TClass TcxControl::StaticClass()
{
    return DefineClass<TcxControl, TCustomControl>("TcxControl", [](ClassBuilder<TcxControl>& b) {
        b.Property("Keys", &TcxControl::Keys, &TcxControl::SetKeys);
        b.Property("ParentBackground", &TcxControl::ParentBackground, &TcxControl::SetParentBackground).Default(true);
        b.EventProperty("OnFocusChanged", &TcxControl::OnFocusChanged);
    });
}

void TcxControl::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    if (HasDragImages()) controlStyle_.Include(csDisplayDragImage);
    cxCanvas_.reset(CreateObject<TcxCanvas>(TCustomControl::Canvas()));
    defaultCursor_ = Cursor();
    focusOnMouseClick_ = true;
    lookAndFeel_.reset(CreateObject<TcxLookAndFeel>(this));
    lookAndFeel_->OnChanged = TcxLookAndFeelChangedEvent::Bind(this, &TcxControl::LookAndFeelChangeHandler);
    scrollBars_ = ssBoth;
    if (NeedsScrollBars()) CreateScrollBars();
    SetTabStop(MayFocus());
    parentBackground_ = lastParentBackground_ = true;
}

void TcxControl::BeforeDestruction() { TCustomControl::BeforeDestruction(); }

void TcxControl::CreateScrollBars()
{
    hScrollBar_ = CreateObject<TcxControlScrollBar>(this);
    hScrollBar_->SetKind(sbHorizontal);
    hScrollBar_->SetHeight(GetSystemMetrics(SM_CYHSCROLL));
    hScrollBar_->OnScroll = TScrollEvent::Bind(this, &TcxControl::ScrollEvent);
    vScrollBar_ = CreateObject<TcxControlScrollBar>(this);
    vScrollBar_->SetKind(sbVertical);
    vScrollBar_->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
    vScrollBar_->OnScroll = TScrollEvent::Bind(this, &TcxControl::ScrollEvent);
    sizeGrip_ = CreateObject<TcxSizeGrip>(this);
    sizeGrip_->SetVisible(false);
    SettingsController().Register(this);
}

void TcxControl::DestroyScrollBars()
{
    if (!hScrollBar_ && !vScrollBar_ && !sizeGrip_) return;
    if (auto& controller = SettingsControllerInstance()) controller->Unregister(this);
    // Forgotten before they go: freeing one may lay out the others.
    TControl* parts[] = {sizeGrip_, vScrollBar_, hScrollBar_};
    sizeGrip_ = nullptr;
    vScrollBar_ = nullptr;
    hScrollBar_ = nullptr;
    for (TControl* part : parts)
        if (part) part->Free();
}

void TcxControl::Destroy()
{
    DestroyScrollBars();
    if (mouseCaptureObject_ && GetCaptureControl() == this) SetCaptureControl(nullptr);
    dragAndDropObject_.reset();
    dragImages_.reset();
    fontListeners_.clear();
    screenCanvas_.reset();
    cxCanvas_.reset();
    lookAndFeel_.reset();
    cxClearObjectLinks(this);
    TCustomControl::Destroy();
}

void TcxControl::LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues values)
{
    LookAndFeelChanged(sender, values);
}

TcxCanvas* TcxControl::ActiveCanvas()
{
    if (HandleAllocated()) {
        screenCanvas_.reset();
        return cxCanvas_.get();
    }
    if (!screenCanvas_) screenCanvas_.reset(CreateObject<TcxScreenCanvas>());
    return screenCanvas_.get();
}

void TcxControl::SetBorderStyle(TcxControlBorderStyle value)
{
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    BoundsChanged();
    Invalidate();
}

void TcxControl::SetScrollBars(TScrollStyle value)
{
    if (scrollBars_ == value) return;
    scrollBars_ = value;
    BoundsChanged();
}

void TcxControl::SetPopupMenu(TComponent* value)
{
    if (value && !As<TPopupMenu>(value) && !Supports<IcxPopupMenu>(value)) value = nullptr;
    if (popupMenu_ == value) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = value;
    if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TcxControl::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TcxControl::SetMouseCaptureObject(TObject* value)
{
    if (value != mouseCaptureObject_) {
        if (auto* old = dynamic_cast<IcxMouseCaptureObject*>(mouseCaptureObject_)) old->CaptureLost();
        mouseCaptureObject_ = value;
    }
    const bool had = MouseCapture();
    SetMouseCapture(value != nullptr);
    if (had && !MouseCapture() && dragAndDropState_ == ddsStarting) Perform(WM_CANCELMODE);
}

bool TcxControl::IsCopyDragDrop() const { return IsCtrlPressed(); }

void TcxControl::AddFontListener(IcxFontListener* listener)
{
    if (std::find(fontListeners_.begin(), fontListeners_.end(), listener) == fontListeners_.end())
        fontListeners_.push_back(listener);
}

void TcxControl::RemoveFontListener(IcxFontListener* listener)
{
    fontListeners_.erase(std::remove(fontListeners_.begin(), fontListeners_.end(), listener), fontListeners_.end());
}

void TcxControl::FontChanged()
{
    TCustomControl::FontChanged();
    const auto listeners = fontListeners_;
    for (IcxFontListener* l : listeners) l->Changed(this, Font());
    Invalidate();
}

void TcxControl::InvalidateRect(const RECT& r, bool erase)
{
    if (HandleAllocated()) ::InvalidateRect(Handle(), &r, erase);
}

void TcxControl::InvalidateRgn(TcxRegion* region, bool erase)
{
    if (HandleAllocated() && region && !region->IsEmpty()) ::InvalidateRgn(Handle(), region->Handle(), erase);
}

void TcxControl::PostMouseMove() { PostMouseMove(ScreenToClient(GetMouseCursorPos())); }

void TcxControl::PostMouseMove(POINT p)
{
    if (!HandleAllocated()) return;
    const LPARAM l = MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
    PostMessageA(Handle(), WM_MOUSEMOVE, 0, l);
}

void TcxControl::ScrollWindow(int dx, int dy, const RECT& r)
{
    HideDragImage();
    quelvo::sys::ScopeGuard show([this] { ShowDragImage(); });
    ScrollWindowEx(Handle(), dx, dy, &r, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

bool TcxControl::IsMouseInPressedArea(int x, int y) const { return IsPointInDragDetectArea(mouseDownPos_, x, y); }

void TcxControl::Modified()
{
    if (IsDesigning()) SetDesignerModified(this);
}

bool TcxControl::IsMenuKey(TMessage& message)
{
    if (IsDesigning()) return false;
    for (TControl* c = this; c; c = c->Parent()) {
        auto* cx = As<TcxControl>(c);
        if (cx && cx->PopupMenu() && IsPopupMenuShortCut(cx->PopupMenu(), message)) return true;
    }
    return false;
}

// ---- TcxControl: virtual operations -------------------------------------------------

bool TcxControl::DoShowPopupMenu(TComponent* menu, int x, int y) { return ShowPopupMenu(this, menu, x, y); }

void TcxControl::CancelMouseOperations()
{
    FinishDragAndDrop(true);
    SetMouseCaptureObject(nullptr);
}

bool TcxControl::CanFocusOnClick() { return !IsDesigning() && focusOnMouseClick_ && MayFocus() && CanFocus(); }

int TcxControl::GetBorderSize()
{
    if (borderStyle_ == cxcbsNone) return 0;
    TcxCustomLookAndFeelPainterClass painter = GetLookAndFeelPainter();
    return painter ? painter->BorderSize() : 0;
}

RECT TcxControl::GetBounds()
{
    if (!IsRectEmpty(&explicitBounds_)) return explicitBounds_;
    if (HandleAllocated()) return ClientRect();
    return RECT{0, 0, Width(), Height()};
}

void TcxControl::SetExplicitBounds(const RECT& value)
{
    if (EqualRect(&explicitBounds_, &value)) return;
    explicitBounds_ = value;
    BoundsChanged();
    Invalidate();
}

RECT TcxControl::GetClientBounds()
{
    RECT r = GetBounds();
    const int border = GetBorderSize();
    InflateRect(&r, -border, -border);
    if (HScrollBarVisible()) r.bottom -= hScrollBar_->Height();
    if (VScrollBarVisible()) r.right -= vScrollBar_->Width();
    return r;
}

TcxMouseWheelScrollingKind TcxControl::GetMouseWheelScrollingKind()
{
    return VScrollBarVisible() ? mwskVertical : mwskNone;
}

bool TcxControl::CanFocusEx()
{
    if (!CanFocus()) return false;
    TCustomForm* form = GetParentForm(this);
    return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

bool TcxControl::AcceptMousePosForClick(int x, int y)
{
    return DragMode() == dmManual || IsPointInDragDetectArea(mouseDownPos_, x, y);
}

void TcxControl::DoCancelMode()
{
    mouseButtonPressed_ = false;
    SetMouseCaptureObject(nullptr);
}

bool TcxControl::GetDesignHitTest(int, int, TShiftState)
{
    return dragAndDropState_ != ddsNone || mouseButtonPressed_;
}

TcxDragControlObjectClass TcxControl::GetDragObjectClass()
{
    return [](TControl* control) { return CreateObject<TcxDragControlObject>(control); };
}

// ---- TcxControl: the library's drag and drop ---------------------------------------

TcxDragAndDropObjectClass TcxControl::GetDragAndDropObjectClass()
{
    return dragAndDropObjectClass_ ? dragAndDropObjectClass_ : &cxDragAndDropObjectClass<TcxDragAndDropObject>;
}

TcxDragAndDropObject* TcxControl::DragAndDropObject()
{
    if (!dragAndDropObject_) dragAndDropObject_.reset(GetDragAndDropObjectClass()(this));
    return dragAndDropObject_.get();
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState value)
{
    if (dragAndDropState_ == value) return;
    dragAndDropState_ = value;
    if (value == ddsNone && !finishingDragAndDrop_) DoCancelMode();
}

void TcxControl::BeginDragAndDrop()
{
    DragAndDropObject()->DoBeginDragAndDrop();
    SetMouseCapture(true);
    dragAndDropPrevCursor_ = hostlib::Screen ? hostlib::Screen->Cursor() : crDefault;
    SetDragAndDropState(ddsInProcess);
}

void TcxControl::DragAndDrop(const POINT& p, bool& accepted) { DragAndDropObject()->DoDragAndDrop(p, accepted); }

void TcxControl::EndDragAndDrop(bool accepted)
{
    SetDragAndDropState(ddsNone);
    if (hostlib::Screen) hostlib::Screen->SetCursor(dragAndDropPrevCursor_);
    SetMouseCapture(false);
    SetMouseCaptureObject(nullptr);
    DragAndDropObject()->DoEndDragAndDrop(accepted);
}

void TcxControl::FinishDragAndDrop(bool accepted)
{
    if (finishingDragAndDrop_) return;
    finishingDragAndDrop_ = true;
    quelvo::sys::ScopeGuard done([this] { finishingDragAndDrop_ = false; });
    if (dragAndDropState_ == ddsInProcess) EndDragAndDrop(accepted);
    else SetDragAndDropState(ddsNone);
    dragAndDropObject_.reset();
}

// ---- TcxControl: the host's drag -----------------------------------------------------

void TcxControl::DoStartDrag(TDragObject*& dragObject)
{
    TCustomControl::DoStartDrag(dragObject);
    if (!dragObject) {
        if (TcxDragControlObjectClass make = GetDragObjectClass()) dragObject = make(this);
    }
    if (dragObject && !StartDrag(dragObject)) {
        dragObject->Free();
        dragObject = nullptr;
        CancelDrag();
    }
}

void TcxControl::DoEndDrag(TObject* target, int x, int y)
{
    TCustomControl::DoEndDrag(target, x, y);
    dragImages_.reset();
}

void TcxControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept)
{
    TDragObject* drag = As<TDragObject>(source);
    if (!drag) drag = CurrentDragObject();
    if (drag) gDragObject = state == dsDragLeave ? nullptr : drag;
    TCustomControl::DragOver(source, x, y, state, accept);
}

void TcxControl::HideDragImage()
{
    if (TDragObject* drag = CurrentDragObject()) drag->HideDragImage();
}

void TcxControl::ShowDragImage()
{
    if (TDragObject* drag = CurrentDragObject()) drag->ShowDragImage();
}

TDragImageList* TcxControl::GetDragImages()
{
    if (!HasDragImages()) return nullptr;
    if (!dragImages_) {
        dragImages_.reset(CreateDragImages());
        InitDragImages(dragImages_.get());
    }
    return dragImages_.get();
}

TDragImageList* TcxControl::CreateDragImages() { return CreateObject<TcxDragImageList>(nullptr); }

void TcxControl::InitDragImages(TDragImageList* list)
{
    const SIZE size = GetDragImagesSize();
    list->SetSize(size.cx, size.cy);
    if (size.cx <= 0 || size.cy <= 0) return;
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(size.cx, size.cy);
    TcxCanvas canvas(bitmap->Canvas());
    DrawDragImage(&canvas, RECT{0, 0, size.cx, size.cy});
    list->AddMasked(bitmap.get(), bitmap->TransparentColor());
}

// ---- TcxControl: messages ------------------------------------------------------------

POINT TcxControl::MessagePoint(const TMessage& m)
{
    // Coordinates beyond 16 bits do not fit the message.
    if ((Width() > 32768 || Height() > 32768) && HandleAllocated()) return ScreenToClient(GetMouseCursorPos());
    return POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
}

bool TcxControl::IsAutoDragPress(const TMessage& m, POINT p)
{
    if ((m.Msg != WM_LBUTTONDOWN && m.Msg != WM_LBUTTONDBLCLK) || Dragging()) return false;
    if (IsDesigning()) return GetDesignHitTest(p.x, p.y, TShiftState{ssLeft});
    return DragMode() == dmAutomatic;
}

void TcxControl::WndProc(TMessage& m)
{
    LinkScope link(this);
    const POINT p = MessagePoint(m);
    const TMessage original = m;
    quelvo::sys::ScopeGuard after([&] {
        if (link.Alive()) AfterMessage(original, p);
    });
    if (!IsAutoDragPress(m, p)) return TCustomControl::WndProc(m);
    // Straight to the handlers, so the host does not start its own drag:
    // AfterMouseDown decides by the library's drag detection.
    if (IsControlMouseMsg(m)) return;
    controlState_.Include(csLButtonDown);
    quelvo::sys::ScopeGuard clear([&] {
        if (link.Alive()) controlState_.Exclude(csLButtonDown);
    });
    Dispatch(m);
}

void TcxControl::AfterMessage(const TMessage& m, POINT p)
{
    switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return FocusChanged();
    case WM_PAINT:
        if (parentBackground_ != lastParentBackground_) {
            lastParentBackground_ = parentBackground_;
            ParentBackgroundChanged();
        }
        return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return AfterMouseDown(ButtonOfDown(m.Msg), p.x, p.y);
    default: return;
    }
}

void TcxControl::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT: return WMPaint(m);
    case WM_ERASEBKGND: return WMEraseBkgnd(m);
    case WM_CANCELMODE: return WMCancelMode(m);
    case WM_SETCURSOR: return WMSetCursor(m);
    case WM_CONTEXTMENU: return WMContextMenu(m);
    case WM_NCCALCSIZE: return WMNCCalcSize(m);
    case WM_GETDLGCODE: return WMGetDlgCode(m);
    case CM_CURSORCHANGED:
        CursorChanged();
        return TCustomControl::Dispatch(m);
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: return CMMouseEnterLeave(m);
    case CM_DESIGNHITTEST: return CMDesignHitTest(m);
    case CM_NCSIZECHANGED: return CMNCSizeChanged(m);
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: return CNKeyDown(m);
    default: return TCustomControl::Dispatch(m);
    }
}

void TcxControl::WMPaint(TMessage& m)
{
    HideDragImage();
    quelvo::sys::ScopeGuard show([this] { ShowDragImage(); });
    TCustomControl::Dispatch(m);
}

void TcxControl::WMEraseBkgnd(TMessage& m)
{
    if (HasBackground()) return TCustomControl::Dispatch(m);
    m.Result = 1;
}

void TcxControl::WMCancelMode(TMessage& m)
{
    LinkScope link(this);
    TCustomControl::Dispatch(m);
    if (!link.Alive()) return;
    FinishDragAndDrop(false);
    if (link.Alive()) DoCancelMode();
}

void TcxControl::WMSetCursor(TMessage& m)
{
    if (IsDesigning() && dragAndDropState_ == ddsNone) {
        const POINT p = ScreenToClient(GetMouseCursorPos());
        if (GetDesignHitTest(p.x, p.y, TShiftState{ssLeft}) && hostlib::Screen) {
            ::SetCursor(hostlib::Screen->Cursors(GetCursor(p.x, p.y)));
            m.Result = 1;
            return;
        }
    }
    TCustomControl::Dispatch(m);
}

void TcxControl::WMContextMenu(TMessage& m)
{
    if (m.Result) return;
    if (IsDesigning()) return TCustomControl::Dispatch(m);
    POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    if (p.x != -1 || p.y != -1) {
        p = ScreenToClient(p);
        const RECT client = ClientRect();
        // Outside the client area (a bar, the border): the window's default,
        // which asks the parent.
        if (!PtInRect(&client, p)) return DefaultHandler(m);
    }
    LinkScope link(this);
    bool handled = false;
    DoContextPopup(p, handled);
    if (!link.Alive()) return;
    m.Result = handled ? 1 : 0;
    if (!handled) DefaultHandler(m);
}

void TcxControl::DoContextPopup(POINT mousePos, bool& handled)
{
    LinkScope link(this);
    TCustomControl::DoContextPopup(mousePos, handled);
    if (handled || !link.Alive()) return;
    POINT p = mousePos.x == -1 && mousePos.y == -1 ? POINT{0, 0} : mousePos;
    p = ClientToScreen(p);
    handled = DoShowPopupMenu(PopupMenu(), p.x, p.y);
}

void TcxControl::WMNCCalcSize(TMessage& m)
{
    TCustomControl::Dispatch(m);
    if (HandleAllocated()) PostMessageA(Handle(), CM_NCSIZECHANGED, 0, 0);
}

void TcxControl::WMGetDlgCode(TMessage& m)
{
    LRESULT code = 0;
    if (keys_.Contains(kAll)) code += DLGC_WANTALLKEYS;
    if (keys_.Contains(kArrows)) code += DLGC_WANTARROWS;
    if (keys_.Contains(kChars)) code += DLGC_WANTCHARS;
    if (keys_.Contains(kTab)) code += DLGC_WANTTAB;
    m.Result = code;
}

void TcxControl::CMMouseEnterLeave(TMessage& m)
{
    LinkScope link(this);
    TCustomControl::Dispatch(m);
    if (!link.Alive()) return;
    TControl* control = m.LParam ? reinterpret_cast<TControl*>(m.LParam) : this;
    if (m.Msg == CM_MOUSEENTER) MouseEnter(control);
    else MouseLeave(control);
}

void TcxControl::CMDesignHitTest(TMessage& m)
{
    TCustomControl::Dispatch(m);
    if (m.Result == 0)
        m.Result = GetDesignHitTest(MessageX(m.LParam), MessageY(m.LParam), KeysToShiftState(m.WParam)) ? 1 : 0;
}

void TcxControl::CNKeyDown(TMessage& m)
{
    if (IsMenuKey(m)) {
        m.Result = 1;
        return;
    }
    TCustomControl::Dispatch(m);
}

void TcxControl::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd()
{
    TCustomControl::CreateWnd();
    InitControl();
}

void TcxControl::Paint()
{
    if (borderStyle_ == cxcbsDefault) {
        if (TcxCustomLookAndFeelPainterClass painter = GetLookAndFeelPainter())
            painter->DrawBorder(cxCanvas_.get(), GetBounds());
        cxCanvas_->IntersectClipRect(GetClientBounds());
    }
    TCustomControl::Paint();
}

void TcxControl::KeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_ESCAPE && dragAndDropState_ != ddsNone) {
        LinkScope link(this);
        FinishDragAndDrop(false);
        if (!link.Alive()) return;
    }
    TCustomControl::KeyDown(key, shift);
}

void TcxControl::Resize()
{
    LinkScope link(this);
    TCustomControl::Resize();
    if (link.Alive()) BoundsChanged();
}

// ---- TcxControl: mouse ------------------------------------------------------------------

void TcxControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    mouseDownPos_ = POINT{x, y};
    LinkScope link(this);
    const bool twice = shift.Contains(ssDouble);
    if (CanFocusOnClick() && !twice) {
        SetFocus();
        if (!link.Alive()) return;
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() == this && !Focused() && HandleAllocated()) ::SetFocus(Handle());
        if (!link.Alive()) return;
        if (!IsFocused() && !AllowDragAndDropWithoutFocus()) {
            SetMouseCapture(false);
            return;
        }
    }
    if (button == mbLeft && !twice && StartDragAndDrop(mouseDownPos_)) {
        if (DragAndDropObject()->GetImmediateStart()) BeginDragAndDrop();
        else SetDragAndDropState(ddsStarting);
    } else {
        FinishDragAndDrop(false);
    }
    if (!link.Alive()) return;
    BeforeMouseDown(button, shift, x, y);
    if (!link.Alive()) return;
    TCustomControl::MouseDown(button, shift, x, y);
    if (link.Alive() && MouseCapture()) mouseButtonPressed_ = true;
}

void TcxControl::MouseMove(TShiftState shift, int x, int y)
{
    LinkScope link(this);
    const TCursor keep = defaultCursor_;
    SetCursor(GetCursor(x, y));
    defaultCursor_ = keep;
    TCustomControl::MouseMove(shift, x, y);
    if (!link.Alive()) return;
    if (dragAndDropState_ == ddsStarting && !IsPointInDragDetectArea(mouseDownPos_, x, y)) {
        BeginDragAndDrop();
    } else if (dragAndDropState_ == ddsInProcess) {
        bool accepted = false;
        DragAndDrop(POINT{x, y}, accepted);
    }
}

void TcxControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    LinkScope link(this);
    mouseButtonPressed_ = false;
    CancelMouseOperations();
    if (link.Alive()) TCustomControl::MouseUp(button, shift, x, y);
}

void TcxControl::AfterMouseDown(TMouseButton button, int x, int y)
{
    if (button == mbMiddle) return DoScrolling();
    if (button != mbLeft || DragMode() != dmAutomatic || !MouseCapture()) return;
    if (IsDesigning() && !AllowAutoDragAndDropAtDesignTime(x, y, TShiftState{})) return;
    if (CanDrag(x, y) && DragDetect(Handle()) == ddDrag) BeginDrag(true, -1);
}

bool TcxControl::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos)
{
    LinkScope link(this);
    bool handled = TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos);
    if (handled || !link.Alive()) return handled;
    const TcxMouseWheelScrollingKind kind = GetMouseWheelScrollingKind();
    if (kind == mwskNone) return false;
    TcxDirection direction = dirNone;
    if (kind == mwskHorizontal) direction = wheelDelta >= 0 ? dirLeft : dirRight;
    else direction = wheelDelta >= 0 ? dirUp : dirDown;
    const int lines = hostlib::Mouse ? hostlib::Mouse->WheelScrollLines() : 3;
    for (int i = 0; i < lines && link.Alive(); ++i) ScrollContent(direction);
    return true;
}

// ---- TcxControlChildComponent ----------------------------------------------------------

TClass TcxControlChildComponent::StaticClass()
{
    return DefineClass<TcxControlChildComponent, TcxComponent>("TcxControlChildComponent");
}

void TcxControlChildComponent::Construct(TcxControl* control, bool ownedByControlOwner)
{
    TcxComponent::Construct(ownedByControlOwner && control ? control->Owner() : nullptr);
    SetControl(control);
}

TComponent* TcxControlChildComponent::GetParentComponent() const { return control_; }

void TcxControlChildComponent::SetParentComponent(TComponent* parent)
{
    auto* control = As<TcxControl>(parent);
    if (control) control->AddChildComponent(this);
}

void TcxControlChildComponent::Destroy()
{
    if (control_) control_->RemoveChildComponent(this);
    TcxComponent::Destroy();
}

void TcxControl::AddChildComponent(TcxControlChildComponent* child) { child->SetControl(this); }
void TcxControl::RemoveChildComponent(TcxControlChildComponent* child) { child->SetControl(nullptr); }

// ---- drag detection ----------------------------------------------------------------------

namespace {

bool IsEscape(const MSG& msg) { return (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE; }

bool IsButtonUp(UINT msg) { return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP; }

}  // namespace

TcxDragDetect DragDetect(HWND wnd)
{
    TcxDragDetect result = ddCancel;
    const POINT start = GetMouseCursorPos();
    const int threshold = hostlib::Mouse ? hostlib::Mouse->DragThreshold() : GetSystemMetrics(SM_CXDRAG);
    const RECT area{start.x - threshold, start.y - threshold, start.x + threshold, start.y + threshold};
    SetCapture(wnd);
    quelvo::sys::ScopeGuard release([wnd] {
        if (GetCapture() == wnd) ReleaseCapture();
    });
    bool done = false;
    while (!done && GetCapture() == wnd) {
        MSG msg{};
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsEscape(msg)) {
            result = ddCancel;
            done = true;
        } else if (msg.message == WM_MOUSEMOVE) {
            POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ClientToScreen(msg.hwnd, &p);
            if (!PtInRect(&area, p)) {
                result = ddDrag;
                done = true;
            }
        } else if (IsButtonUp(msg.message)) {
            result = ddNone;
            done = true;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return result;
}

// ---- mouse tracking ------------------------------------------------------------------------

namespace {

class TMouseTrackingTimer : public TTimer {
public:
    void Setup(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller)
    {
        control_ = control;
        bounds_ = bounds;
        caller_ = caller;
        if (control_) control_->FreeNotification(this);
        SetInterval(10);
    }
    IcxMouseTrackingCaller* Caller() const { return caller_; }
    void Notification(TComponent* component, TOperation operation) override
    {
        TTimer::Notification(component, operation);
        if (operation == opRemove && component == control_) control_ = nullptr;
    }

protected:
    void Destroy() override
    {
        if (control_) control_->RemoveFreeNotification(this);
        TTimer::Destroy();
    }
    void Timer() override;

private:
    bool StillInside(POINT cursor);
    TWinControl* control_ = nullptr;
    RECT bounds_{};
    IcxMouseTrackingCaller* caller_ = nullptr;
};

std::vector<TMouseTrackingTimer*>& TrackingTimers()
{
    static std::vector<TMouseTrackingTimer*> list;
    return list;
}

TMouseTrackingTimer* FindTrackingTimer(IcxMouseTrackingCaller* caller)
{
    for (TMouseTrackingTimer* t : TrackingTimers())
        if (t->Caller() == caller) return t;
    return nullptr;
}

bool TMouseTrackingTimer::StillInside(POINT cursor)
{
    if (auto* caller2 = dynamic_cast<IcxMouseTrackingCaller2*>(caller_)) {
        if (!control_ || !control_->HandleAllocated()) return false;
        return caller2->PtInCaller(control_->ScreenToClient(cursor));
    }
    return PtInRect(&bounds_, cursor) != FALSE;
}

void TMouseTrackingTimer::Timer()
{
    const POINT cursor = GetMouseCursorPos();
    if (StillInside(cursor)) return;
    // The caller may end the tracking (and free this timer) itself, also
    // while the control handles its leave message.
    IcxMouseTrackingCaller* caller = caller_;
    if (control_ && control_->HandleAllocated()) {
        const RECT client = control_->ClientRect();
        const POINT local = control_->ScreenToClient(cursor);
        if (!PtInRect(&client, local))
            SendMessageA(control_->Handle(), CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control_));
    }
    if (FindTrackingTimer(caller) != this) return;
    caller->MouseLeave();
    EndMouseTracking(caller);
}

}  // namespace

void BeginMouseTracking(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller)
{
    if (!caller || IsMouseTracking(caller)) return;
    RECT screen = bounds;
    if (control) {
        const POINT topLeft = control->ClientToScreen(POINT{bounds.left, bounds.top});
        const POINT bottomRight = control->ClientToScreen(POINT{bounds.right, bounds.bottom});
        screen = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
    auto* timer = CreateObject<TMouseTrackingTimer>(nullptr);
    timer->Setup(control, screen, caller);
    TrackingTimers().push_back(timer);
}

void EndMouseTracking(IcxMouseTrackingCaller* caller)
{
    TMouseTrackingTimer* timer = FindTrackingTimer(caller);
    if (!timer) return;
    auto& list = TrackingTimers();
    list.erase(std::remove(list.begin(), list.end(), timer), list.end());
    timer->Free();
}

bool IsMouseTracking(IcxMouseTrackingCaller* caller) { return FindTrackingTimer(caller) != nullptr; }

// ---- popup menus ------------------------------------------------------------------------------

bool IsPopupMenuShortCut(TComponent* popupMenu, TMessage& message)
{
    if (auto* menu = Supports<IcxPopupMenu>(popupMenu)) return menu->IsShortCut(message);
    auto* menu = As<TPopupMenu>(popupMenu);
    return menu && menu->Items()->Count() > 0 && menu->IsShortCut(message);
}

bool ShowPopupMenu(TComponent* caller, TComponent* popupMenu, int x, int y)
{
    if (auto* menu = Supports<IcxPopupMenu>(popupMenu)) {
        menu->Popup(x, y);
        return true;
    }
    auto* menu = As<TPopupMenu>(popupMenu);
    if (!menu || !menu->AutoPopup()) return false;
    menu->SetPopupComponent(caller);
    menu->Popup(x, y);
    return true;
}

bool ShowPopupMenuFromCursorPos(TComponent* caller, TComponent* popupMenu)
{
    const POINT p = GetMouseCursorPos();
    return ShowPopupMenu(caller, popupMenu, p.x, p.y);
}

namespace {

// Menu items carry images through the menu's image list only.
bool MeasuresItself(TPopupMenu* menu) { return menu->OwnerDraw() || menu->Images(); }

}  // namespace

int GetPopupMenuHeight(TPopupMenu* popupMenu)
{
    if (!popupMenu) return 0;
    TScreenCanvas canvas;
    if (hostlib::Screen) canvas.Font()->Assign(hostlib::Screen->MenuFont());
    const int textHeight = canvas.TextHeight("Qg") + 4;
    int height = 0;
    TMenuItem* items = popupMenu->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (!item->Visible()) continue;
        if (!MeasuresItself(popupMenu)) {
            height += textHeight;
            continue;
        }
        int w = 0;
        int h = 0;
        item->MeasureItem(&canvas, w, h);
        height += h;
    }
    return height + 4;
}

// ---- desktop ------------------------------------------------------------------------------------

namespace {

struct MonitorFunctions {
    HMODULE user32 = nullptr;
    HMONITOR (*fromPoint)(POINT, DWORD) = nullptr;
    BOOL (*info)(HMONITOR, MONITORINFO*) = nullptr;
};

MonitorFunctions& Monitors()
{
    static MonitorFunctions functions;
    return functions;
}

void LoadMonitorFunctions()
{
    MonitorFunctions& m = Monitors();
    if (m.user32) return;
    m.user32 = LoadLibraryA("USER32");
    if (!m.user32) return;
    m.fromPoint = reinterpret_cast<HMONITOR (*)(POINT, DWORD)>(GetProcAddress(m.user32, "MonitorFromPoint"));
    m.info = reinterpret_cast<BOOL (*)(HMONITOR, MONITORINFO*)>(GetProcAddress(m.user32, "GetMonitorInfoA"));
}

void FreeMonitorFunctions()
{
    MonitorFunctions& m = Monitors();
    if (m.user32) FreeLibrary(m.user32);
    m = MonitorFunctions{};
}

}  // namespace

RECT GetDesktopWorkArea(const POINT& p)
{
    const MonitorFunctions& m = Monitors();
    if (m.fromPoint && m.info) {
        MONITORINFO info;
        if (m.info(m.fromPoint(p, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
    }
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void MakeVisibleOnDesktop(RECT& bounds, const POINT& p)
{
    const RECT work = GetDesktopWorkArea(p);
    if (bounds.right > work.right) OffsetRect(&bounds, work.right - bounds.right, 0);
    if (bounds.bottom > work.bottom) OffsetRect(&bounds, 0, work.bottom - bounds.bottom);
    if (bounds.left < work.left) OffsetRect(&bounds, work.left - bounds.left, 0);
    if (bounds.top < work.top) OffsetRect(&bounds, 0, work.top - bounds.top);
}

// ---- small utilities --------------------------------------------------------------------------

void MapWindowPoint(HWND from, HWND to, POINT& p) { MapWindowPoints(from, to, &p, 1); }

void MapWindowRect(HWND from, HWND to, RECT& r) { MapWindowPoints(from, to, reinterpret_cast<POINT*>(&r), 2); }

POINT GetMouseCursorPos()
{
    POINT p{};
    GetCursorPos(&p);
    return p;
}

int GetDblClickInterval() { return static_cast<int>(GetDoubleClickTime()); }

bool IsCtrlPressed() { return GetAsyncKeyState(VK_CONTROL) < 0; }

WPARAM GetMouseKeys()
{
    WPARAM keys = 0;
    if (GetAsyncKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
    if (GetAsyncKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
    return keys;
}

bool IsPointInDragDetectArea(const POINT& mouseDownPos, int x, int y)
{
    const int threshold = hostlib::Mouse ? hostlib::Mouse->DragThreshold() : GetSystemMetrics(SM_CXDRAG);
    return std::abs(x - mouseDownPos.x) < threshold && std::abs(y - mouseDownPos.y) < threshold;
}

// No form designer runs in this program.
void SetDesignerModified(TComponent*) {}

WORD TranslateKey(WORD key) { return key; }

// ---- hourglass ------------------------------------------------------------------------------------

namespace {

struct Hourglass {
    int count = 0;
    TCursor saved = crDefault;
};

Hourglass& HourglassState()
{
    static Hourglass state;
    return state;
}

}  // namespace

void ShowHourglassCursor()
{
    Hourglass& h = HourglassState();
    if (h.count++ == 0 && hostlib::Screen) {
        h.saved = hostlib::Screen->Cursor();
        hostlib::Screen->SetCursor(crHourGlass);
    }
}

void HideHourglassCursor()
{
    Hourglass& h = HourglassState();
    if (h.count == 0) return;
    if (--h.count == 0 && hostlib::Screen) hostlib::Screen->SetCursor(h.saved);
}

// ---- cursors -----------------------------------------------------------------------------------

namespace {

void RegisterCursors()
{
    if (!hostlib::Screen) return;
    const std::pair<TCursor, const char*> cursors[] = {
        {cxcrDragCopy, "CX_DRAGCOPYCURSOR"},     {cxcrFullScroll, "CX_FULLSCROLLCURSOR"},
        {cxcrHorScroll, "CX_HORSCROLLCURSOR"},   {cxcrVerScroll, "CX_VERSCROLLCURSOR"},
        {cxcrUpScroll, "CX_UPSCROLLCURSOR"},     {cxcrRightScroll, "CX_RIGHTSCROLLCURSOR"},
        {cxcrDownScroll, "CX_DOWNSCROLLCURSOR"}, {cxcrLeftScroll, "CX_LEFTSCROLLCURSOR"},
        {cxcrRemove, "CX_REMOVECURSOR"},         {cxcrVertSize, "CX_VERTSIZECURSOR"},
        {cxcrHorzSize, "CX_HORZSIZECURSOR"},     {cxcrMultiDrag, "CX_MULTIDRAGCURSOR"},
        {cxcrNoDrop, "CX_NODROPCURSOR"},         {cxcrDrag, "CX_DRAGCURSOR"},
    };
    quelvo_resources::Register_foundation();
    for (const auto& [id, name] : cursors) hostlib::Screen->SetCursors(id, hostlib::LoadCursorFromResourceName(name));
}

}  // namespace

// ---- unit start-up and shut-down ---------------------------------------------------------------

void cxControlsInitialize()
{
    RegisterCursors();
    LoadMonitorFunctions();
}

void cxControlsFinalize()
{
    auto& timers = TrackingTimers();
    // Left-over tracking is a caller's fault; ending the program over it
    // would be worse.
    if (!timers.empty()) std::cerr << "MouseTrackingTimerList.Count <> 0\n";
    while (!timers.empty()) {
        TMouseTrackingTimer* t = timers.back();
        timers.pop_back();
        t->Free();
    }
    FreeMonitorFunctions();
    SettingsControllerInstance().reset();
}

// ---- TcxSizeGrip ---------------------------------------------------------------------------------

TClass TcxSizeGrip::StaticClass() { return DefineClass<TcxSizeGrip, TCustomControl>("TcxSizeGrip"); }

void TcxSizeGrip::Construct(TComponent* owner)
{
    TCustomControl::Construct(owner);
    SetColor(clBtnFace);
    controlStyle_.Include(csNoDesignVisible);
}

void TcxSizeGrip::Paint()
{
    TCustomControl::Canvas()->Brush()->SetColor(Color());
    TCustomControl::Canvas()->FillRect(ClientRect());
}

// ---- TcxPopupWindow ------------------------------------------------------------------------------

TClass TcxPopupWindow::StaticClass() { return DefineClass<TcxPopupWindow, TForm>("TcxPopupWindow"); }

void TcxPopupWindow::Construct(TComponent*)
{
    TForm::Construct(nullptr);
    TForm::SetBorderStyle(bsNone);
    SetDefaultMonitor(dmDesktop);
    SetFormStyle(fsStayOnTop);
    cxCanvas_.reset(CreateObject<TcxCanvas>(TForm::Canvas()));
}

void TcxPopupWindow::Destroy()
{
    cxCanvas_.reset();
    TForm::Destroy();
}

// Moves the children back by what the last fitting moved them: a border
// set before the first popup, or a second popup, must not move them twice.
void TcxPopupWindow::RestoreControlsBounds()
{
    const int dx = appliedOffset_.x;
    const int dy = appliedOffset_.y;
    appliedOffset_ = POINT{0, 0};
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
    }
}

void TcxPopupWindow::SetBorderStyle(TcxPopupBorderStyle value)
{
    if (borderStyle_ == value) return;
    RestoreControlsBounds();
    borderStyle_ = value;
}

void TcxPopupWindow::SetBorderSpace(int value)
{
    if (borderSpace_ == value) return;
    RestoreControlsBounds();
    borderSpace_ = value;
}

int TcxPopupWindow::GetFrameWidth(TcxBorder)
{
    switch (borderStyle_) {
    case pbsUltraFlat:
    case pbsFlat: return 1;
    case pbs3D: return 2;
    default: return 0;
    }
}

void TcxPopupWindow::InitPopup()
{
    if (anchorParent_) Font()->Assign(anchorParent_->Font());
}

void TcxPopupWindow::CalculateSize()
{
    if (!autoFit_) return;
    RestoreControlsBounds();
    const int left = GetBorderWidth(bLeft);
    const int top = GetBorderWidth(bTop);
    appliedOffset_ = POINT{left, top};
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
        c->SetBounds(c->Left() + left, c->Top() + top, c->Width(), c->Height());
    }
    if (right > 0 || ControlCount() > 0) SetWidth(left + right + GetBorderWidth(bRight));
    if (bottom > 0 || ControlCount() > 0) SetHeight(top + bottom + GetBorderWidth(bBottom));
}

namespace {

// Where the popup goes for one placement (step 3); also the point whose
// monitor counts.
struct Placement {
    int x = 0;
    int y = 0;
    POINT anchor{};
};

void Place(Placement& p, TcxPopupDirection direction, TcxPopupAlignHorz h, TcxPopupAlignVert v, const RECT& owner,
           SIZE size)
{
    const bool vertical = direction == pdVertical;
    if (h == pahLeft) {
        p.x = vertical ? owner.left : owner.left - size.cx;
        p.anchor.x = owner.left;
    } else if (h == pahRight) {
        p.x = vertical ? owner.right - size.cx : owner.right;
        p.anchor.x = owner.right;
    }
    if (v == pavTop) {
        p.y = vertical ? owner.top - size.cy : owner.top;
        p.anchor.y = owner.top;
    } else if (v == pavBottom) {
        p.y = vertical ? owner.bottom : owner.bottom - size.cy;
        p.anchor.y = owner.bottom;
    }
}

// Flips a placement to the other side when it sticks out and the other
// side has strictly more room.
template <class Align>
Align Flip(Align value, Align before, Align after, int pos, int size, int lowEdge, int highEdge, int ownerLow,
           int ownerHigh)
{
    const bool moreRoomBefore = highEdge - ownerHigh < ownerLow - lowEdge;
    if (value == after && highEdge < pos + size && moreRoomBefore) return before;
    if (value == before && pos < lowEdge && !moreRoomBefore) return after;
    return value;
}

int Clamp(int pos, int size, int low, int high)
{
    if (pos + size > high) pos = high - size;
    if (pos < low) pos = low;
    return pos;
}

}  // namespace

POINT TcxPopupWindow::CalculatePosition()
{
    RECT owner = anchorBounds_;
    if (anchorParent_) {
        const POINT tl = anchorParent_->ClientToScreen(POINT{owner.left, owner.top});
        const POINT br = anchorParent_->ClientToScreen(POINT{owner.right, owner.bottom});
        owner = RECT{tl.x, tl.y, br.x, br.y};
    }
    const SIZE size{Width(), Height()};
    TcxPopupAlignHorz h = horzPlacement_;
    TcxPopupAlignVert v = vertPlacement_;
    Placement p;
    if (h == pahCenter) p.x = p.anchor.x = (owner.left + owner.right - size.cx) / 2;
    if (v == pavCenter) p.y = p.anchor.y = (owner.top + owner.bottom - size.cy) / 2;
    Place(p, placementDirection_, h, v, owner, size);
    const RECT work = GetDesktopWorkArea(p.anchor);
    if (placementDirection_ == pdVertical)
        v = Flip(v, pavTop, pavBottom, p.y, size.cy, work.top, work.bottom, owner.top, owner.bottom);
    else
        h = Flip(h, pahLeft, pahRight, p.x, size.cx, work.left, work.right, owner.left, owner.right);
    Place(p, placementDirection_, h, v, owner, size);
    if (placementDirection_ == pdVertical || h == pahCenter) p.x = Clamp(p.x, size.cx, work.left, work.right);
    if (placementDirection_ == pdHorizontal || v == pavCenter) p.y = Clamp(p.y, size.cy, work.top, work.bottom);
    return POINT{p.x, p.y};
}

void TcxPopupWindow::Popup()
{
    InitPopup();
    CalculateSize();
    SetLeft(CalculatePosition().x);
    SetTop(CalculatePosition().y);
    Show();
}

void TcxPopupWindow::DrawFrame()
{
    const RECT r{0, 0, Width(), Height()};
    switch (borderStyle_) {
    case pbsUltraFlat: cxCanvas_->FrameRect(r, outlineColor_); break;
    case pbsFlat: cxCanvas_->DrawEdge(r, false, false); break;
    case pbs3D:
        cxCanvas_->DrawEdge(r, false, true);
        cxCanvas_->DrawEdge(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, false, false);
        break;
    default: break;
    }
}

void TcxPopupWindow::Paint()
{
    TForm::Paint();
    DrawFrame();
}

void TcxPopupWindow::Dispatch(TMessage& m)
{
    switch (m.Msg) {
    case WM_ACTIVATE: return WMActivate(m);
    case WM_ACTIVATEAPP: return WMActivateApp(m);
    default: return TForm::Dispatch(m);
    }
}

void TcxPopupWindow::WMActivate(TMessage& m)
{
    auto alive = AliveToken();
    TForm::Dispatch(m);
    if (!*alive || LOWORD(m.WParam) == WA_INACTIVE) return;
    // The owner's caption stays active while its drop-down is.
    previousActive_ = reinterpret_cast<HWND>(m.LParam);
    if (previousActive_) SendMessageA(previousActive_, WM_NCACTIVATE, TRUE, 0);
}

void TcxPopupWindow::WMActivateApp(TMessage& m)
{
    TForm::Dispatch(m);
    if (m.WParam) return;
    if (previousActive_ && IsWindow(previousActive_)) SendMessageA(previousActive_, WM_NCACTIVATE, FALSE, 0);
    CloseUp();
}

void TcxPopupWindow::Deactivate()
{
    TForm::Deactivate();
    CloseUp();
}

// ---- TcxCustomizeListBox ------------------------------------------------------------------------

TClass TcxCustomizeListBox::StaticClass() { return DefineClass<TcxCustomizeListBox, TListBox>("TcxCustomizeListBox"); }

TObject* TcxCustomizeListBox::ItemObject() const
{
    const int index = ItemIndex();
    return index < 0 ? nullptr : ItemObject(index);
}

void TcxCustomizeListBox::SetItemObject(TObject* value)
{
    if (ItemObject() == value) return;
    SetItemIndex(Items()->IndexOfObject(value));
    Click();
}

TObject* TcxCustomizeListBox::DragAndDropItemObject() const
{
    return dragAndDropItemIndex_ < 0 ? nullptr : ItemObject(dragAndDropItemIndex_);
}

void TcxCustomizeListBox::CreateParams(TCreateParams& params)
{
    TListBox::CreateParams(params);
    params.WindowClass.style |= CS_HREDRAW;
}

void TcxCustomizeListBox::Dispatch(TMessage& m)
{
    if (m.Msg == WM_MOUSEMOVE && dragAndDropItemIndex_ >= 0) {
        // The list's own selection tracking would follow the mouse.
        MouseMove(KeysToShiftState(m.WParam), MessageX(m.LParam), MessageY(m.LParam));
        return;
    }
    if (m.Msg == WM_CANCELMODE) dragAndDropItemIndex_ = -1;
    TListBox::Dispatch(m);
}

void TcxCustomizeListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TListBox::MouseDown(button, shift, x, y);
    if (!*alive || button != mbLeft) return;
    if (ItemAtPos(POINT{x, y}, true) >= 0 && ItemObject()) {
        dragAndDropItemIndex_ = ItemIndex();
        mouseDownPos_ = POINT{x, y};
    }
}

void TcxCustomizeListBox::MouseMove(TShiftState shift, int x, int y)
{
    auto alive = AliveToken();
    TListBox::MouseMove(shift, x, y);
    if (!*alive || dragAndDropItemIndex_ < 0) return;
    if (IsPointInDragDetectArea(mouseDownPos_, x, y) && ItemAtPos(POINT{x, y}, true) == dragAndDropItemIndex_) return;
    SetItemIndex(dragAndDropItemIndex_);
    BeginDragAndDrop();
    if (*alive) dragAndDropItemIndex_ = -1;
}

void TcxCustomizeListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    dragAndDropItemIndex_ = -1;
    TListBox::MouseUp(button, shift, x, y);
}

void TcxCustomizeListBox::BeginDragAndDrop()
{
    if (!MultiSelect()) return;
    Items()->BeginUpdate();
    quelvo::sys::ScopeGuard end([this] { Items()->EndUpdate(); });
    const int current = ItemIndex();
    ClearSelection();
    if (current >= 0) SetSelected(current, true);
}
