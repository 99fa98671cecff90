#pragma once
// The base of the library's custom-drawn controls and what they share: a
// guarded window procedure that survives a handler freeing the control, a
// drag-and-drop protocol of the library's own beside the host's drag, a
// modal drag detection, mouse tracking that tells when the cursor leaves a
// control, the library's cursors, popup-menu helpers that take any
// component implementing IcxPopupMenu, the desktop work area, the popup
// window that drops down beside an owner, and the customizing list box.
// The control lays out scroll bars of its own look and feel and a size grip,
// settles which bars show, follows the system's scroll-bar size and scrolls
// its content on a middle-button press (auto-scroll).

#include <cstdint>
#include <string>
#include <vector>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxScrollBar.h"
#include "platform/hostlib/stdctrls/listbox.h"
#include "platform/hostlib/stdctrls/stdctrls.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/dragdrop.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/hostlib/visual/menus.h"

enum TcxControlBorderStyle { cxcbsNone, cxcbsDefault };
enum TcxDragAndDropState { ddsNone, ddsStarting, ddsInProcess };
enum TcxKey { kAll, kArrows, kChars, kTab };
using TcxKeys = hostlib::TSet<TcxKey>;
enum TcxMouseWheelScrollingKind { mwskNone, mwskHorizontal, mwskVertical };
enum TcxDragDetect { ddNone, ddDrag, ddCancel };
const hostlib::TEnumInfo& EnumTypeInfo(TcxControlBorderStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxKey*);

// Sent to a control when the system's non-client sizes (scroll bars) may
// have changed.
inline constexpr UINT CM_NCSIZECHANGED = 0x8131;

inline constexpr hostlib::TCursor cxcrDragCopy = 2100;
inline constexpr hostlib::TCursor cxcrFullScroll = 2101;
inline constexpr hostlib::TCursor cxcrHorScroll = 2102;
inline constexpr hostlib::TCursor cxcrVerScroll = 2103;
inline constexpr hostlib::TCursor cxcrUpScroll = 2104;
inline constexpr hostlib::TCursor cxcrRightScroll = 2105;
inline constexpr hostlib::TCursor cxcrDownScroll = 2106;
inline constexpr hostlib::TCursor cxcrLeftScroll = 2107;
inline constexpr hostlib::TCursor cxcrRemove = 2108;
inline constexpr hostlib::TCursor cxcrVertSize = 2109;
inline constexpr hostlib::TCursor cxcrHorzSize = 2110;
inline constexpr hostlib::TCursor cxcrMultiDrag = 2111;
inline constexpr hostlib::TCursor cxcrNoDrop = 2112;
inline constexpr hostlib::TCursor cxcrDrag = 2113;

class TcxControl;
class TcxControlChildComponent;
class TcxSizeGrip;

// ---- interfaces (abstract classes found with hostlib::Supports) ----

class IcxMouseTrackingCaller {
public:
    virtual void MouseLeave() = 0;

protected:
    ~IcxMouseTrackingCaller() = default;
};

class IcxMouseTrackingCaller2 : public IcxMouseTrackingCaller {
public:
    // Whether a point in the tracked control's client coordinates still
    // counts as inside.
    virtual bool PtInCaller(const POINT& p) = 0;

protected:
    ~IcxMouseTrackingCaller2() = default;
};

class IcxMouseCaptureObject {
public:
    virtual void CaptureLost() = 0;

protected:
    ~IcxMouseCaptureObject() = default;
};

class IcxPopupMenu {
public:
    virtual bool IsShortCut(hostlib::TMessage& message) = 0;
    virtual void Popup(int x, int y) = 0;

protected:
    ~IcxPopupMenu() = default;
};

class IcxCompoundControl {
public:
    // The window control that really holds the focus inside.
    virtual hostlib::TWinControl* GetActiveControl() = 0;

protected:
    ~IcxCompoundControl() = default;
};

// ---- drag and drop of the library ----

// Follows the mouse while a control drags something of its own (columns,
// sizes); descendants replace the class through the control.
class TcxDragAndDropObject : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(TcxControl* control);

    TcxControl* Control() const { return control_; }
    TcxCanvas* Canvas() const;
    POINT CurMousePos() const { return curMousePos_; }
    POINT PrevMousePos() const { return prevMousePos_; }
    bool Dirty() const { return dirty_; }
    void SetDirty(bool value);

    void DoBeginDragAndDrop();
    void DoDragAndDrop(const POINT& p, bool& accepted);
    void DoEndDragAndDrop(bool accepted);
    void ChangeMousePos(const POINT& p);
    virtual bool GetImmediateStart() { return false; }

protected:
    virtual void DirtyChanged() {}
    virtual hostlib::TCursor GetDragAndDropCursor(bool accepted);
    virtual void AfterDragAndDrop(bool) {}
    virtual void BeginDragAndDrop() { DirtyChanged(); }
    virtual void DragAndDrop(const POINT& p, bool& accepted);
    virtual void EndDragAndDrop(bool) { dirty_ = true; }

private:
    TcxControl* control_ = nullptr;
    POINT curMousePos_{-1, -1};
    POINT prevMousePos_{-1, -1};
    bool dirty_ = false;
};

// Makes a drag-and-drop object of a class for a control.
using TcxDragAndDropObjectClass = TcxDragAndDropObject* (*)(TcxControl* control);
template <class T>
TcxDragAndDropObject* cxDragAndDropObjectClass(TcxControl* control)
{
    return hostlib::CreateObject<T>(control);
}

// The host drag object of a control's host drags; it frees itself when the
// drag is over.
class TcxDragControlObject : public hostlib::TDragControlObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Finished(hostlib::TObject* target, int x, int y, bool accepted) override;
    hostlib::TCursor GetDragCursor(bool accepted, int x, int y) override;
};
using TcxDragControlObjectClass = TcxDragControlObject* (*)(hostlib::TControl* control);

class TcxDragImageList : public hostlib::TDragImageList {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- the control's scroll bars ----

// The values a control wants for one of its bars, applied once the
// visibility of both bars is settled.
struct TcxScrollBarData {
    int Min = 0;
    int Max = 0;
    std::int16_t SmallChange = 0;
    int LargeChange = 0;
    int PageSize = 0;
    int Position = 0;
    bool Enabled = false;
    bool Visible = false;
    bool AllowShow = false;
    bool AllowHide = false;
};

class TcxControlScrollBar : public TcxScrollBar {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // The owner is the control the bar belongs to.
    void Construct(hostlib::TComponent* owner) override;

    TcxScrollBarData& Data() { return data_; }
    const TcxScrollBarData& Data() const { return data_; }
    void ApplyData();

protected:
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    virtual void FocusParent();

private:
    TcxScrollBarData data_;
};

// ---- the control base ----

class TcxControl : public hostlib::TCustomControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;
    void BeforeDestruction() override;

    TcxCanvas* Canvas() const { return cxCanvas_.get(); }
    // The control's canvas once it has a window; before, a screen canvas
    // for measuring.
    TcxCanvas* ActiveCanvas();
    TcxLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
    void SetLookAndFeel(TcxLookAndFeel* value) { lookAndFeel_->Assign(value); }
    TcxCustomLookAndFeelPainterClass LookAndFeelPainter() { return GetLookAndFeelPainter(); }

    TcxControlBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TcxControlBorderStyle value);
    hostlib::TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(hostlib::TScrollStyle value);
    TcxKeys Keys() const { return keys_; }
    void SetKeys(TcxKeys value) { keys_ = value; }
    // A TPopupMenu or a component implementing IcxPopupMenu; others are
    // stored as nullptr.
    hostlib::TComponent* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(hostlib::TComponent* value);
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool value) { parentBackground_ = value; }
    bool FocusOnMouseClick() const { return focusOnMouseClick_; }
    void SetFocusOnMouseClick(bool value) { focusOnMouseClick_ = value; }
    hostlib::TObject* MouseCaptureObject() const { return mouseCaptureObject_; }
    void SetMouseCaptureObject(hostlib::TObject* value);

    TcxDragAndDropState DragAndDropState() const { return dragAndDropState_; }
    void SetDragAndDropState(TcxDragAndDropState value);
    TcxDragAndDropObject* DragAndDropObject();
    TcxDragAndDropObjectClass DragAndDropObjectClass() const { return dragAndDropObjectClass_; }
    void SetDragAndDropObjectClass(TcxDragAndDropObjectClass value) { dragAndDropObjectClass_ = value; }
    void FinishDragAndDrop(bool accepted);

    bool IsDesigning() const { return ComponentState().Contains(hostlib::csDesigning); }
    bool IsDestroying() const { return ComponentState().Contains(hostlib::csDestroying); }
    bool IsLoading() const { return ComponentState().Contains(hostlib::csLoading); }
    bool IsFocused() { return GetIsFocused(); }
    bool IsCopyDragDrop() const;
    bool HScrollBarVisible() const;
    bool VScrollBarVisible() const;
    bool ScrollingContent() const { return scrollingContent_; }
    POINT MouseDownPos() const { return mouseDownPos_; }

    void AddFontListener(IcxFontListener* listener);
    void RemoveFontListener(IcxFontListener* listener);
    void InvalidateRect(const RECT& r, bool erase);
    void InvalidateRgn(TcxRegion* region, bool erase);
    // Posts a WM_MOUSEMOVE at p (client coordinates), by default where the
    // cursor is.
    void PostMouseMove();
    void PostMouseMove(POINT p);
    void ScrollWindow(int dx, int dy, const RECT& r);
    void ScrollContent(TcxDirection direction);
    TcxControlScrollBar* HScrollBar() const { return hScrollBar_; }
    TcxControlScrollBar* VScrollBar() const { return vScrollBar_; }
    TcxSizeGrip* SizeGrip() const { return sizeGrip_; }
    // What InitScrollBarsParameters says about one bar.
    void SetScrollBarInfo(hostlib::TScrollBarKind kind, int min, int max, int step, int page, int pos,
                          bool allowShow, bool allowHide);
    bool IsMouseInPressedArea(int x, int y) const;
    bool IsMenuKey(hostlib::TMessage& message) override;
    // Tells a form designer that the control changed (design time only).
    void Modified();

    hostlib::TDragImageList* GetDragImages() override;
    void HideDragImage();
    void ShowDragImage();
    void Notification(hostlib::TComponent* component, hostlib::TOperation operation) override;

    hostlib::TNotifyEvent OnFocusChanged;

    // ---- operations descendants override
    virtual bool DoShowPopupMenu(hostlib::TComponent* menu, int x, int y);
    virtual void ParentBackgroundChanged() {}
    virtual void AfterMouseDown(hostlib::TMouseButton button, int x, int y);
    virtual bool AllowAutoDragAndDropAtDesignTime(int, int, hostlib::TShiftState) { return true; }
    virtual void BeforeMouseDown(hostlib::TMouseButton, hostlib::TShiftState, int, int) {}
    virtual void CancelMouseOperations();
    virtual bool CanFocusOnClick();
    virtual bool FocusWhenChildIsClicked(hostlib::TControl*) { return CanFocusOnClick(); }
    virtual int GetBorderSize();
    // The explicit bounds rectangle when one was set, else the client
    // rectangle (the whole control before the window exists).
    virtual RECT GetBounds();
    virtual RECT GetClientBounds();
    virtual hostlib::TCursor GetCursor(int, int) { return defaultCursor_; }
    virtual bool GetIsDesigning() { return IsDesigning(); }
    virtual bool GetIsFocused() { return Focused(); }
    virtual TcxMouseWheelScrollingKind GetMouseWheelScrollingKind();
    virtual bool HasBackground() { return false; }
    virtual void InitControl();
    virtual bool IsInternalControl(hostlib::TControl* control);
    virtual TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() { return lookAndFeel_->Painter(); }
    virtual void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {}
    virtual RECT GetHScrollBarBounds();
    virtual RECT GetSizeGripBounds();
    virtual RECT GetVScrollBarBounds();
    virtual void InitScrollBarsParameters() {}
    virtual bool IsPixelScrollBar(hostlib::TScrollBarKind) { return false; }
    virtual bool NeedsScrollBars() { return true; }
    virtual void Scroll(hostlib::TScrollBarKind, hostlib::TScrollCode, int&) {}
    virtual void SetInternalControlsBounds();
    virtual void UpdateScrollBars();
    virtual TcxDragAndDropObjectClass GetDragAndDropObjectClass();
    virtual void DrawDragImage(TcxCanvas*, const RECT&) {}
    virtual hostlib::TDragImageList* CreateDragImages();
    virtual SIZE GetDragImagesSize() { return SIZE{0, 0}; }
    virtual bool HasDragImages() { return false; }
    virtual void InitDragImages(hostlib::TDragImageList* list);
    virtual bool CanFocusEx();
    virtual bool AcceptMousePosForClick(int x, int y);

    virtual void AddChildComponent(TcxControlChildComponent* child);
    virtual void RemoveChildComponent(TcxControlChildComponent* child);
    virtual bool AllowDragAndDropWithoutFocus() { return false; }
    virtual void BoundsChanged() { UpdateScrollBars(); }
    virtual bool CanDrag(int, int) { return dragAndDropState_ == ddsNone; }
    virtual void CursorChanged() { defaultCursor_ = Cursor(); }
    virtual void DoCancelMode();
    virtual void FocusChanged() { OnFocusChanged(this); }
    virtual bool GetDesignHitTest(int x, int y, hostlib::TShiftState shift);
    virtual TcxDragControlObjectClass GetDragObjectClass();
    virtual bool MayFocus() { return true; }
    using hostlib::TCustomControl::MouseEnter;
    using hostlib::TCustomControl::MouseLeave;
    virtual void MouseEnter(hostlib::TControl*) { OnMouseEnter(this); }
    virtual void MouseLeave(hostlib::TControl*) { OnMouseLeave(this); }
    virtual void DragAndDrop(const POINT& p, bool& accepted);
    virtual void EndDragAndDrop(bool accepted);
    virtual bool StartDragAndDrop(const POINT&) { return false; }
    virtual bool StartDrag(hostlib::TDragObject*) { return true; }
    virtual void BeginDragAndDrop();

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void CreateScrollBars();
    void DestroyScrollBars();
    // Where a descendant draws its content and border; an empty rectangle
    // goes back to the client rectangle.
    RECT ExplicitBounds() const { return explicitBounds_; }
    void SetExplicitBounds(const RECT& value);
    void ScrollEvent(hostlib::TObject* sender, hostlib::TScrollCode scrollCode, int& scrollPos);
    // Middle-button auto-scroll: a modal loop until a click, Esc or the
    // capture ends it.
    void DoScrolling();
    void CreateParams(hostlib::TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void Resize() override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    void DoContextPopup(POINT mousePos, bool& handled) override;
    void DoStartDrag(hostlib::TDragObject*& dragObject) override;
    void DoEndDrag(hostlib::TObject* target, int x, int y) override;
    void DragOver(hostlib::TObject* source, int x, int y, hostlib::TDragState state, bool& accept) override;
    void FontChanged() override;
    // The Part's own enter and leave take over (with the control in LParam).
    void MouseEnter() override {}
    void MouseLeave() override {}

private:
    void GuardedWndProc(hostlib::TMessage& m, TcxObjectLink* link);
    void AfterMessage(const hostlib::TMessage& m, POINT p);
    bool IsAutoDragPress(const hostlib::TMessage& m, POINT p);
    POINT MessagePoint(const hostlib::TMessage& m);
    void LookAndFeelChangeHandler(TcxLookAndFeel* sender, TcxLookAndFeelValues values);
    void FreeDragAndDropObject();
    // One per message of Dispatch.
    void WMPaint(hostlib::TMessage& m);
    void WMEraseBkgnd(hostlib::TMessage& m);
    void WMCancelMode(hostlib::TMessage& m);
    void WMSetCursor(hostlib::TMessage& m);
    void WMContextMenu(hostlib::TMessage& m);
    void WMNCCalcSize(hostlib::TMessage& m);
    void WMGetDlgCode(hostlib::TMessage& m);
    void CMMouseEnterLeave(hostlib::TMessage& m);
    void CMDesignHitTest(hostlib::TMessage& m);
    void CNKeyDown(hostlib::TMessage& m);
    void CMNCSizeChanged(hostlib::TMessage& m);
    // UpdateScrollBars' steps.
    void CalculateScrollBarsParams();
    void AdjustPixelScrollBars();
    void ApplyScrollBarsData(bool nested);
    void LayOutScrollBars();

    hostlib::ObjectPtr<TcxCanvas> cxCanvas_;
    hostlib::ObjectPtr<TcxScreenCanvas> screenCanvas_;
    RECT explicitBounds_{};
    hostlib::ObjectPtr<TcxLookAndFeel> lookAndFeel_;
    TcxControlBorderStyle borderStyle_ = cxcbsNone;
    hostlib::TScrollStyle scrollBars_ = hostlib::ssBoth;
    TcxKeys keys_;
    hostlib::TComponent* popupMenu_ = nullptr;
    bool parentBackground_ = true;
    bool lastParentBackground_ = true;
    TcxDragAndDropState dragAndDropState_ = ddsNone;
    hostlib::ObjectPtr<TcxDragAndDropObject> dragAndDropObject_;
    TcxDragAndDropObjectClass dragAndDropObjectClass_ = nullptr;
    hostlib::TCursor dragAndDropPrevCursor_ = hostlib::crDefault;
    bool finishingDragAndDrop_ = false;
    hostlib::ObjectPtr<hostlib::TDragImageList> dragImages_;
    hostlib::TObject* mouseCaptureObject_ = nullptr;
    POINT mouseDownPos_{-1, -1};
    bool mouseButtonPressed_ = false;
    hostlib::TCursor defaultCursor_ = hostlib::crDefault;
    bool settingCursor_ = false;
    bool focusOnMouseClick_ = true;
    bool scrollingContent_ = false;
    std::vector<IcxFontListener*> fontListeners_;
    TcxControlScrollBar* hScrollBar_ = nullptr;
    TcxControlScrollBar* vScrollBar_ = nullptr;
    TcxSizeGrip* sizeGrip_ = nullptr;
    bool updatingScrollBars_ = false;
    bool calculatingScrollBarsParams_ = false;
    bool initialScrollBarsParams_ = false;
    bool initialHScrollBarVisible_ = false;
    bool initialVScrollBarVisible_ = false;
};

// A component that belongs to a control (form streaming keeps it there).
class TcxControlChildComponent : public TcxComponent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // The control's owner owns it when ownedByControlOwner, else nobody.
    virtual void Construct(TcxControl* control, bool ownedByControlOwner);
    void Construct(hostlib::TComponent* owner) override { TcxComponent::Construct(owner); }

    TcxControl* Control() const { return control_; }
    virtual bool GetIsDestroying() { return ComponentState().Contains(hostlib::csDestroying); }
    virtual void SetControl(TcxControl* value) { control_ = value; }
    bool IsLoading() const { return ComponentState().Contains(hostlib::csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(hostlib::csDestroying); }

    hostlib::TComponent* GetParentComponent() const override;
    bool HasParent() const override { return control_ != nullptr; }
    void SetParentComponent(hostlib::TComponent* parent) override;

protected:
    void Destroy() override;

private:
    TcxControl* control_ = nullptr;
};

// The corner between a control's two scroll bars.
class TcxSizeGrip : public hostlib::TCustomControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TComponent* owner) override;

protected:
    void Paint() override;
};

// ---- popup window ----

enum TcxPopupAlignHorz { pahLeft, pahCenter, pahRight };
enum TcxPopupAlignVert { pavTop, pavCenter, pavBottom };
enum TcxPopupDirection { pdHorizontal, pdVertical };

// A borderless stay-on-top form dropped down beside an owner rectangle: it
// fits itself around its children, draws one of four frames, flips to the
// side with more room and closes when it or the program loses activation.
class TcxPopupWindow : public hostlib::TForm {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    // Made without an owner whatever is passed: its user frees it.
    void Construct(hostlib::TComponent* owner) override;

    const RECT& AnchorBounds() const { return anchorBounds_; }
    void SetAnchorBounds(const RECT& value) { anchorBounds_ = value; }
    hostlib::TControl* AnchorParent() const { return anchorParent_; }
    void SetAnchorParent(hostlib::TControl* value) { anchorParent_ = value; }
    TcxPopupAlignHorz HorzPlacement() const { return horzPlacement_; }
    void SetHorzPlacement(TcxPopupAlignHorz value) { horzPlacement_ = value; }
    TcxPopupAlignVert VertPlacement() const { return vertPlacement_; }
    void SetVertPlacement(TcxPopupAlignVert value) { vertPlacement_ = value; }
    TcxPopupDirection PlacementDirection() const { return placementDirection_; }
    void SetPlacementDirection(TcxPopupDirection value) { placementDirection_ = value; }
    bool AutoFit() const { return autoFit_; }
    void SetAutoFit(bool value) { autoFit_ = value; }
    TcxPopupBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TcxPopupBorderStyle value);
    int BorderSpace() const { return borderSpace_; }
    void SetBorderSpace(int value);
    hostlib::TColor OutlineColor() const { return outlineColor_; }
    void SetOutlineColor(hostlib::TColor value) { outlineColor_ = value; }
    TcxCanvas* Canvas() const { return cxCanvas_.get(); }
    int NCWidth() { return GetBorderWidth(bLeft) + GetBorderWidth(bRight); }
    int NCHeight() { return GetBorderWidth(bTop) + GetBorderWidth(bBottom); }

    virtual POINT CalculatePosition();
    virtual void CalculateSize();
    virtual int GetBorderWidth(TcxBorder side) { return GetFrameWidth(side) + borderSpace_; }
    virtual int GetFrameWidth(TcxBorder side);
    virtual void InitPopup();
    virtual void DrawFrame();
    virtual void CloseUp() { Hide(); }
    virtual void Popup();

protected:
    void Destroy() override;
    void Dispatch(hostlib::TMessage& message) override;
    void Paint() override;
    void Deactivate() override;
    void VisibleChanged() override {}

private:
    void RestoreControlsBounds();
    void WMActivate(hostlib::TMessage& m);
    void WMActivateApp(hostlib::TMessage& m);

    RECT anchorBounds_{};
    hostlib::TControl* anchorParent_ = nullptr;
    TcxPopupAlignHorz horzPlacement_ = pahLeft;
    TcxPopupAlignVert vertPlacement_ = pavBottom;
    TcxPopupDirection placementDirection_ = pdVertical;
    bool autoFit_ = true;
    TcxPopupBorderStyle borderStyle_ = pbsNone;
    int borderSpace_ = 0;
    hostlib::TColor outlineColor_ = hostlib::clWindowText;
    hostlib::ObjectPtr<TcxCanvas> cxCanvas_;
    HWND previousActive_ = nullptr;
    POINT appliedOffset_{};
};

// The list of a customizing dialog from which items are dragged.
class TcxCustomizeListBox : public hostlib::TListBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    using hostlib::TListBox::ItemObject;
    // The object of the selected item (nullptr when none); setting one
    // selects the first item holding it.
    hostlib::TObject* ItemObject() const;
    void SetItemObject(hostlib::TObject* value);
    hostlib::TObject* DragAndDropItemObject() const;
    int DragAndDropItemIndex() const { return dragAndDropItemIndex_; }

protected:
    void CreateParams(hostlib::TCreateParams& params) override;
    void Dispatch(hostlib::TMessage& message) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    // Descendants start the real drag; here only the dragged item is selected.
    virtual void BeginDragAndDrop();

private:
    int dragAndDropItemIndex_ = -1;
    POINT mouseDownPos_{};
};

// ---- free functions ----

TcxDragDetect DragDetect(HWND wnd);

void BeginMouseTracking(hostlib::TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller);
void EndMouseTracking(IcxMouseTrackingCaller* caller);
bool IsMouseTracking(IcxMouseTrackingCaller* caller);

// The host drag object of the drag over a library control, nullptr when none.
hostlib::TDragObject* GetDragObject();

bool IsPopupMenuShortCut(hostlib::TComponent* popupMenu, hostlib::TMessage& message);
bool ShowPopupMenu(hostlib::TComponent* caller, hostlib::TComponent* popupMenu, int x, int y);
bool ShowPopupMenuFromCursorPos(hostlib::TComponent* caller, hostlib::TComponent* popupMenu);
int GetPopupMenuHeight(hostlib::TPopupMenu* popupMenu);

RECT GetDesktopWorkArea(const POINT& p);
void MakeVisibleOnDesktop(RECT& bounds, const POINT& p);

void MapWindowPoint(HWND from, HWND to, POINT& p);
void MapWindowRect(HWND from, HWND to, RECT& r);
POINT GetMouseCursorPos();
int GetDblClickInterval();
bool IsCtrlPressed();
WPARAM GetMouseKeys();
bool IsPointInDragDetectArea(const POINT& mouseDownPos, int x, int y);
void SetDesignerModified(hostlib::TComponent* component);
WORD TranslateKey(WORD key);
inline int GET_APPCOMMAND_LPARAM(LPARAM lParam) { return static_cast<int>((lParam >> 16) & 0x0FFF); }

void ShowHourglassCursor();
void HideHourglassCursor();

// Unit start-up (cursors, the monitor functions) and shut-down (tracking
// timers left over are reported on the error stream and freed).
void cxControlsInitialize();
void cxControlsFinalize();
