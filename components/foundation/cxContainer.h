#pragma once
// The container: the base of every editor control. It paints a border, a
// background and an optional shadow around a client area, takes colours,
// font and border from four state styles, and may host one real window
// control in its client area (the inner control) that does the typing and
// scrolling while the container supplies the frame: the container keeps it
// in its client rectangle, clips it, forwards keys to it, moves the focus
// to it and mirrors its native scroll bars with the library's own. With a
// transparent border the container's window region leaves out the part of
// the border ring the border does not cover, so the parent shows there.

#include <optional>

#include "components/foundation/cxContainerStyles.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxScrollBar.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/controls/winctl.h"

enum TcxMouseButton { cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle };
enum TcxContainerHotState { chsNoHotTrack, chsNormal, chsSelected };

inline constexpr RECT cxEmptyRect{0, 0, 0, 0};
inline constexpr RECT cxContainerDefaultBorderExtent{2, 2, 2, 2};
inline constexpr hostlib::TColor cxContainerShadowColor = hostlib::clBtnShadow;
inline constexpr int cxContainerShadowWidth = 3;

int GetContainerBorderWidth(TcxContainerBorderStyle borderStyle);
int GetContainerBorderWidth(TcxLookAndFeelKind kind);
TcxMouseButton ButtonTocxButton(hostlib::TMouseButton button);

// "GetScrollBarInfo" of "User32.dll", bound at unit start-up; nullptr on
// systems without it, and then no scroll bars are mirrored.
using TcxGetScrollBarInfoProc = BOOL (*)(HWND, LONG, SCROLLBARINFO*);
extern TcxGetScrollBarInfoProc GetScrollBarInfoProc;
inline bool UsecxScrollBars() { return GetScrollBarInfoProc != nullptr; }
// The program's screen canvas, between unit start-up and shut-down.
TcxScreenCanvas* ScreenCanvas();

class TcxContainer;

// Implemented by every control that lives inside a container.
class IcxContainerInnerControl {
public:
    virtual hostlib::TWinControl* GetControl() = 0;
    virtual TcxContainer* GetControlContainer() = 0;

protected:
    ~IcxContainerInnerControl() = default;
};

// The computed geometry and colours of one container; rectangles are in
// the container's client coordinates.
class TcxContainerViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct() {}
    virtual void DrawBorder(TcxCanvas* canvas, RECT r);
    virtual TcxContainerBorderStyle GetContainerBorderStyle() const { return BorderStyle; }
    virtual void InternalPaint(TcxCanvas* canvas);
    virtual void SetBackgroundColor(hostlib::TColor value) { backgroundColor_ = value; }
    // Copies the client rectangle only.
    virtual void Assign(TcxContainerViewInfo* source);
    // The area that differs from another view; nothing here. The caller
    // owns the region.
    virtual TcxRegion* GetUpdateRegion(TcxContainerViewInfo* viewInfo);
    virtual void Offset(int dx, int dy);
    virtual void Paint(TcxCanvas* canvas) { InternalPaint(canvas); }

    hostlib::TColor BackgroundColor() const { return backgroundColor_; }

    RECT Bounds{};
    RECT BorderRect{};
    RECT ClientRect{};
    TcxContainerBorderStyle BorderStyle = cbsNone;
    int BorderWidth = 0;
    hostlib::TColor BorderColor = hostlib::clDefault;
    TcxBorders Edges = cxBordersAll;
    bool Shadow = false;
    TcxContainerState ContainerState{csNormal};
    TcxContainerHotState HotState = chsNoHotTrack;
    bool NativeStyle = false;
    TdxThemedObjectType ThemedObjectType = totEdit;
    int NativePart = 0;
    int NativeState = 0;

private:
    void PaintNative(TcxCanvas* canvas);

    hostlib::TColor backgroundColor_ = hostlib::clDefault;
};
using TcxContainerViewInfoClass = hostlib::TClass;

// Ends the container's hot state when the tracking timer finds the cursor
// outside.
class TcxContainerMouseTrackingHelper : public hostlib::TObject, public IcxMouseTrackingCaller {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    virtual void Construct(TcxContainer* container) { container_ = container; }
    TcxContainer* Container() const { return container_; }
    void MouseLeave() override;

private:
    TcxContainer* container_ = nullptr;
};

class TcxContainer : public TcxControl, public IcxCompoundControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    void BeforeDestruction() override;
    void Loaded() override;

    hostlib::TWinControl* InnerControl() const { return innerControl_; }
    TcxContainerViewInfo* ViewInfo() const { return viewInfo_.get(); }
    TcxContainerStyles* Styles() const { return styles_.get(); }
    TcxCustomContainerStyle* Style() const { return styles_->StyleNormal(); }
    void SetStyle(TcxCustomContainerStyle* value) { styles_->SetStyleNormal(value); }
    TcxCustomContainerStyle* StyleFocused() const { return styles_->StyleFocused(); }
    void SetStyleFocused(TcxCustomContainerStyle* value) { styles_->SetStyleFocused(value); }
    TcxCustomContainerStyle* StyleDisabled() const { return styles_->StyleDisabled(); }
    void SetStyleDisabled(TcxCustomContainerStyle* value) { styles_->SetStyleDisabled(value); }
    TcxCustomContainerStyle* StyleHot() const { return styles_->StyleHot(); }
    void SetStyleHot(TcxCustomContainerStyle* value) { styles_->SetStyleHot(value); }
    TcxCustomContainerStyle* GetInternalStyle(TcxContainerStateItem state) const { return styles_->GetStyle(state); }
    void SetInternalStyle(TcxContainerStateItem state, TcxCustomContainerStyle* value) { styles_->SetStyle(state, value); }

    // ---- non-virtual operations
    // The style of the view's state, recomputed when that state changed.
    TcxCustomContainerStyle* GetActiveStyle();
    void ShortRefreshContainer(bool isMouseEvent);
    void SetShadowRegion();
    void RestoreStyles() { styles_->RestoreDefaults(); }
    void LockAlignControls(bool lock);
    void LockPopupMenu(bool lock);
    bool IsAlignControlsLocked() const { return alignControlsLock_ > 0; }
    bool IsPopupMenuLocked() const { return popupMenuLock_ > 0; }
    bool GetIsDestroying() const { return IsDestroying() || destroying_; }
    hostlib::TWinControl* GetActiveControl() override;
    // Set by an inner control while it forwards a mouse press.
    bool InnerControlMouseDown() const { return innerControlMouseDown_; }
    void SetInnerControlMouseDown(bool value) { innerControlMouseDown_ = value; }

    // ---- operations descendants refine
    virtual void AdjustInnerControl();
    virtual void CalculateViewInfo(POINT p, bool mouseTracking);
    virtual bool CanShowPopupMenu(POINT) { return true; }
    virtual void ClearSavedChildControlRegions() { savedChildControlRegion_.reset(); }
    virtual void ContainerStyleChanged(hostlib::TObject* sender);
    virtual void DataChange() {}
    virtual void DataSetChange() {}
    virtual bool DefaultParentColor() { return false; }
    virtual void EndMouseTracking();
    virtual RECT GetBorderExtent();
    // region: the part of the child inside bounds, in the child's
    // coordinates; none when the whole child is inside.
    virtual void GetChildControlBounds(const RECT& bounds, hostlib::TControl* child, std::optional<RECT>& region);
    virtual RECT GetShadowBounds();
    virtual TcxContainerStyleClass GetStyleClass() const;
    virtual TcxContainerStyleClass GetStyleExClass() const;
    virtual TcxContainerStylesClass GetStylesClass() const;
    virtual TcxContainerViewInfoClass GetViewInfoClass() const;
    virtual RECT GetVisibleBounds();
    virtual bool HasShadow();
    virtual TcxCustomContainerStyle* InternalGetActiveStyle();
    virtual bool IsChildControlRegionChanged(hostlib::TControl* child, const std::optional<RECT>& region);
    virtual bool IsContainerClass() const { return false; }
    virtual bool IsInplace() const { return false; }
    virtual bool IsRefreshOnWindowPosChangedNeeded() { return false; }
    virtual bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent);
    virtual void SaveChildControlRegion(hostlib::TControl* child, const std::optional<RECT>& region);
    virtual void SetScrollBarsParameters(bool isScrolling);
    virtual void SetSize();
    virtual void SetVisibleBoundsClipRect();
    virtual bool TabsNeeded() { return false; }
    virtual void UpdateData() {}
    virtual void AdjustScrollBarPosition(TcxScrollBar* scrollBar);
    virtual TdxThemedObjectType GetBackgroundThemedObjectType() { return totEdit; }
    virtual int GetBackgroundNativePart() { return 1; }
    virtual int GetBackgroundNativeState();
    virtual RECT GetScrollBarBounds(const RECT& screenRect);
    virtual bool GetScrollBarEnabled(TcxScrollBar* scrollBar, const SCROLLBARINFO& info);
    virtual bool GetScrollBarInfo(SCROLLBARINFO& info, hostlib::TScrollBarKind kind);
    virtual bool InnerControlDefaultHandler(hostlib::TMessage&) { return false; }
    // Called by inner controls for every message: menu shortcuts go to the
    // container's popup menus.
    virtual bool InnerControlMenuHandler(hostlib::TMessage& message);
    virtual bool IsAdjustingScrollBarPositionNeeded(const SCROLLBARINFO& info);
    virtual bool IsNativeStyle();
    virtual void SafeSelectionFocusInnerControl();
    virtual void SetScrollBarVisible(TcxScrollBar* scrollBar, bool visible);
    // Style values the styles of this kind of container do not store.
    virtual TcxContainerStyleValues GetNotPublishedStyleValues() const { return {}; }

    // The library scroll bar that mirrors the inner control's native bar
    // of a kind: the control's own bar of that kind (none unless
    // NeedsScrollBars).
    virtual TcxScrollBar* GetMirrorScrollBar(hostlib::TScrollBarKind kind);

    // ---- overrides
    hostlib::TDragImageList* GetDragImages() override;
    void SetDragMode(hostlib::TDragMode value) override;
    void DragCanceled() override;
    void SetFocus() override;
    bool Focused() override;
    bool AllowAutoDragAndDropAtDesignTime(int, int, hostlib::TShiftState) override { return false; }
    bool CanFocusOnClick() override;
    RECT GetClientBounds() override;
    bool NeedsScrollBars() override { return false; }
    // With an inner control the bars follow its native bars instead of
    // being settled from InitScrollBarsParameters.
    void UpdateScrollBars() override;
    // Scrolls the inner control's native bar and reads its position back.
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& position) override;
    void GetTabOrderList(std::vector<hostlib::TWinControl*>& list) override;
    bool MayFocus() override;
    void CursorChanged() override;
    void FocusChanged() override;
    using TcxControl::MouseEnter;
    using TcxControl::MouseLeave;
    void MouseEnter(hostlib::TControl* control) override;
    void MouseLeave(hostlib::TControl* control) override;

protected:
    void Destroy() override;
    void WndProc(hostlib::TMessage& message) override;
    void Dispatch(hostlib::TMessage& message) override;
    void AdjustClientRect(RECT& rect) override;
    void AlignControls(hostlib::TControl* control, RECT& rect) override;
    void CreateHandle() override;
    void CreateParams(hostlib::TCreateParams& params) override;
    void Paint() override;
    void ColorChanged() override;
    void FontChanged() override;
    void EnabledChanged() override;
    void DoContextPopup(POINT mousePos, bool& handled) override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void Resize() override;

    void SetInnerControl(hostlib::TWinControl* value) { innerControl_ = value; }
    bool IsConstructing() const { return constructing_; }
    bool InnerControlHasWindow() const { return innerControl_ && innerControl_->HandleAllocated(); }

private:
    friend class TcxContainerMouseTrackingHelper;
    // Hands its keys, mouse and drags to the container's own handlers.
    friend class TcxCustomInnerListBox;

    void SetEchoColor(hostlib::TColor value);
    void SetEchoFont(hostlib::TFont* value);
    TcxContainerState CalculateState(POINT p, bool mouseTracking);
    void CalculateBorderStyle();
    void CalculateBorderColor();
    void CalculateBackgroundColor();
    void InvalidateAfterRefresh();
    void MirrorScrollBar(TcxScrollBar* bar, int nativeBar, bool isScrolling);
    void HandleTab(hostlib::TShiftState shift);
    bool IsKeyMessage(UINT msg) const;
    // One per message of Dispatch.
    void WMSetFocus(hostlib::TMessage& m);
    void WMKillFocus(hostlib::TMessage& m);
    void WMSetCursor(hostlib::TMessage& m);
    void WMWindowPosChanged(hostlib::TMessage& m);
    void WMWindowPosChanging(hostlib::TMessage& m);
    void CMParentColorChanged(hostlib::TMessage& m);
    void CMParentFontChanged(hostlib::TMessage& m);

    hostlib::TWinControl* innerControl_ = nullptr;
    hostlib::ObjectPtr<TcxContainerStyles> styles_;
    hostlib::ObjectPtr<TcxContainerViewInfo> viewInfo_;
    hostlib::ObjectPtr<TcxContainerMouseTrackingHelper> trackingHelper_;
    TcxContainerState activeStyleState_{csNormal};
    TcxCustomContainerStyle* activeStyle_ = nullptr;
    bool constructing_ = false;
    bool destroying_ = false;
    bool resizingInnerControl_ = false;
    bool echo_ = false;
    bool innerControlMouseDown_ = false;
    int alignControlsLock_ = 0;
    int popupMenuLock_ = 0;
    std::optional<RECT> savedChildControlRegion_;
};

// ---- free functions ----

// The container of a control: itself, or the container an inner control
// belongs to; nullptr otherwise.
TcxContainer* GetcxContainer(hostlib::TWinControl* control);
bool HasNativeHandle(hostlib::TWinControl* control, HWND wnd);
bool HasHandle(hostlib::TWinControl* control, HWND wnd);
// Nested drop-downs count as part of the popup they drop from.
bool IsChildWindow(hostlib::TWinControl* control, HWND wnd);
bool CheckParentsNativeHandle(hostlib::TWinControl* control, HWND wnd);
void DrawContainerShadow(TcxCanvas* canvas, const RECT& r);
RECT& ExtendRect(RECT& rect, const RECT& margins);
RECT GetControlRect(hostlib::TControl* control);
// Moves inward by width every side that is not in borders.
RECT InflateRectByBorders(RECT rect, int width, TcxBorders borders);
bool InternalCompareString(const std::string& a, const std::string& b, bool caseSensitive);
POINT InternalGetCursorPos();
hostlib::TShiftState InternalGetShiftState();
// Invalidates outer minus inner as four strips (all of outer for an empty inner).
void InternalInvalidate(HWND wnd, const RECT& outer, const RECT& inner, bool erase);
void InternalInvalidateRect(hostlib::TWinControl* control, const RECT& rect, bool erase);
bool InternalIsWindowVisible(hostlib::TWinControl* control);
hostlib::TShiftState MouseButtonToShift(hostlib::TMouseButton button);
inline HWND NativeHandle(HWND handle) { return handle; }
void SetWindowRegion(hostlib::TWinControl* control, const std::optional<RECT>& rect);
void SetWindowShadowRegion(HWND wnd, const RECT& rect, bool native, const std::optional<RECT>& exclude, bool shadow);
bool AreVisualStylesMustBeUsed(bool nativeStyle, TdxThemedObjectType type);
// The corner between the container's two bars, in the inner control's
// window coordinates; empty while either bar is hidden.
RECT GetSizeGripRect(hostlib::TWinControl* innerControl);

// Unit start-up (GetScrollBarInfo by name, the screen canvas, the style
// controller class) and shut-down.
void cxContainerInitialize();
void cxContainerFinalize();
