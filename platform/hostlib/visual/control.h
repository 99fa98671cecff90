#pragma once
// TControl: bounds, alignment, anchors, constraints, colour and font with
// their parent flags, mouse and message pipeline; the shift-state, hint
// and capture helpers around it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/hostlib/visual/messages.h"

namespace hostlib {

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TControlCanvas;
class TDragObject;
class TDragImageList;
class TBasicAction;
class TControlActionLink;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

enum TControlStyleFlag {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents,
};
using TControlStyle = TSet<TControlStyleFlag>;

enum TControlStateFlag {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking,
};
using TControlState = TSet<TControlStateFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

const TEnumInfo& EnumTypeInfo(TAlign*);
const TEnumInfo& EnumTypeInfo(TAnchorKind*);
const TEnumInfo& EnumTypeInfo(TDragMode*);
const TEnumInfo& EnumTypeInfo(TDragKind*);

using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

using TMouseEvent = Event<TObject*, TMouseButton, TShiftState, int, int>;
using TMouseMoveEvent = Event<TObject*, TShiftState, int, int>;
using TKeyEvent = Event<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = Event<TObject*, char&>;
using TMouseWheelEvent = Event<TObject*, TShiftState, int, POINT, bool&>;
using TContextPopupEvent = Event<TObject*, POINT, bool&>;
using TDragOverEvent = Event<TObject*, TObject*, int, int, TDragState, bool&>;
using TDragDropEvent = Event<TObject*, TObject*, int, int>;
using TStartDragEvent = Event<TObject*, TDragObject*&>;
using TEndDragEvent = Event<TObject*, TObject*, int, int>;
using TWndMethod = std::function<void(TMessage&)>;

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
// The current state of Shift, Ctrl, Alt and the mouse buttons.
TShiftState GetShiftState();
// The part of a hint before "|" (short) or after it (long; the whole hint
// when it has no "|").
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
// Whether ch is the accelerator of caption ("&x"; "&&" is a plain "&").
bool IsAccel(WORD ch, const std::string& caption);

class TSizeConstraints : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    int MinWidth() const { return minWidth_; }
    int MinHeight() const { return minHeight_; }
    int MaxWidth() const { return maxWidth_; }
    int MaxHeight() const { return maxHeight_; }
    void SetMinWidth(int v);
    void SetMinHeight(int v);
    void SetMaxWidth(int v);
    void SetMaxHeight(int v);
    // Applies the limits (0 = none) to a width or height.
    int ClampWidth(int w) const;
    int ClampHeight(int h) const;
    void Assign(TPersistent* source) override;
    TNotifyEvent OnChange;

private:
    void Changed() { OnChange(this); }
    int minWidth_ = 0;
    int minHeight_ = 0;
    int maxWidth_ = 0;
    int maxHeight_ = 0;
};

class TControl : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    TControl();
    ~TControl() override;
    void Construct(TComponent* owner) override;
    void BeforeDestruction() override;

    // ---- messages
    TWndMethod WindowProc;
    virtual void WndProc(TMessage& message);
    virtual void Dispatch(TMessage& message);
    virtual void DefaultHandler(TMessage& message);
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // ---- hierarchy and bounds
    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
    virtual void SetBounds(int left, int top, int width, int height);
    virtual RECT ClientRect();
    int ClientWidth() { return ClientRect().right; }
    int ClientHeight() { return ClientRect().bottom; }
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    POINT ClientOrigin();
    POINT ClientToScreen(POINT p);
    POINT ScreenToClient(POINT p);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors value);
    TSizeConstraints* Constraints() const { return constraints_.get(); }
    void BringToFront();
    void SendToBack();

    // ---- state
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible here and in every parent up to a window that is on screen.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* value) { font_->Assign(value); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    const std::string& Caption() const { return text_; }
    void SetCaption(const std::string& value) { SetText(value); }
    virtual std::string Text() const { return text_; }
    virtual void SetText(const std::string& value);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState value) { controlState_ = value; }
    bool MouseCapture() const;
    void SetMouseCapture(bool value);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    // The menu WM_CONTEXTMENU shows: the own one, or one a control answers
    // for another (an inner control answers its container's).
    virtual TPopupMenu* GetPopupMenu() { return popupMenu_; }
    TDragMode DragMode() const { return dragMode_; }
    virtual void SetDragMode(TDragMode value) { dragMode_ = value; }
    TDragKind DragKind() const { return dragKind_; }
    // Virtual so that compound controls can pass it on to their parts.
    virtual void SetDragKind(TDragKind value) { dragKind_ = value; }
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor value) { dragCursor_ = value; }
    bool IsDestroyingControl() const { return destroyingControl_; }
    // Cleared when the control is freed; callers that run user events keep
    // a copy to learn whether the control still lives afterwards.
    std::shared_ptr<const bool> AliveToken() const { return alive_; }

    // ---- painting
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }

    // ---- drag and drop
    void BeginDrag(bool immediate, int threshold = -1);
    void EndDrag(bool drop);
    bool Dragging() const;
    virtual void DragDrop(TObject* source, int x, int y);
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void DoStartDrag(TDragObject*& dragObject);
    // A drag from this control ended without a drop (Escape, the right
    // button, no accepting target).
    virtual void DragCanceled() {}
    // The images a drag from this control shows under the cursor (none here).
    virtual TDragImageList* GetDragImages() { return nullptr; }

    // ---- events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TMouseWheelEvent OnMouseWheel;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TContextPopupEvent OnContextPopup;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;

    bool HasParent() const override { return true; }
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;

    // Simulated clicks (the "click" of a button, menu and test helpers):
    // OnClick when assigned, else the action.
    virtual void Click();

    // The action whose caption, enabled state, hint and visibility the
    // control follows; nullptr for none.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* value);
    TControlActionLink* ActionLink() const { return actionLink_.get(); }

protected:
    void Destroy() override;
    friend class TControlActionLink;
    // The link class SetAction creates.
    virtual TClass GetActionLinkClass();
    // Takes over the action's state: everything, or with checkDefaults only
    // what the control still shows as its default.
    virtual void ActionChange(TObject* sender, bool checkDefaults);
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos);
    virtual void MouseEnter() { OnMouseEnter(this); }
    virtual void MouseLeave() { OnMouseLeave(this); }
    virtual void Resize() { OnResize(this); }
    virtual void ColorChanged() {}
    virtual void FontChanged();
    virtual void EnabledChanged() {}
    virtual void VisibleChanged() {}
    virtual void TextChanged() {}
    virtual void DoContextPopup(POINT mousePos, bool& handled);
    // Whether the control hit-tests at a client point (CM_HITTEST).
    virtual bool HitTest(int, int) { return true; }
    virtual bool CanResize(int&, int&) { return true; }
    virtual void RequestAlign();
    void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
    void InvalidateControl(bool isVisible, bool isOpaque);
    void SendCancelMode(TControl* sender);
    void SetZOrder(bool topMost);
    // Records where the control sits relative to its parent's client area,
    // so that anchors keep these distances.
    void UpdateAnchorRules();
    // Sets the visible flag without the notifications (construction).
    void InitVisible(bool value) { visible_ = value; }
    void ApplyAnchorRules(const RECT& parentClient);
    virtual void UpdateBoundsFromAlign(int left, int top, int width, int height);

    TControlStyle controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState controlState_;
    std::string text_;

private:
    friend class TWinControl;
    void DoMouseDown(const TMessage& m, TMouseButton button, TShiftState shift);
    void DoMouseUp(const TMessage& m, TMouseButton button);
    void FontObjectChanged(TObject*);
    void ConstraintsChanged(TObject*);
    void ContextMenu(TMessage& m);
    // One per message of Dispatch.
    void WMButtonDown(TMessage& m, bool twice);
    void WMButtonUp(TMessage& m);
    void WMMouseMove(TMessage& m);
    void WMMouseWheel(TMessage& m);
    void WMContextMenu(TMessage& m);
    void CMMouseEnterLeave(TMessage& m);
    void CMEnabledChanged();
    void CMColorChanged();
    void CMTextChanged();
    void CMParentColorChanged();
    void CMParentFontChanged();
    void CMParentShowHintChanged();
    void WMCancelMode(TMessage& m);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = alNone;
    TAnchors anchors_ = {akLeft, akTop};
    ObjectPtr<TSizeConstraints> constraints_;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    ObjectPtr<TFont> font_;
    bool parentFont_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    TDragMode dragMode_ = dmManual;
    TDragKind dragKind_ = dkDrag;
    TCursor dragCursor_ = crDrag;
    bool destroyingControl_ = false;
    bool anchorRulesValid_ = false;
    RECT anchorBounds_{};
    SIZE anchorParentSize_{};
    bool updatingFromParent_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    ObjectPtr<TControlActionLink> actionLink_;
};

// The form a control sits on (nullptr when none).
TCustomForm* GetParentForm(TControl* control);
// The control under a screen point: a windowed control or a graphic child
// of one (allowDisabled: disabled ones too).
TControl* FindDragTarget(POINT pos, bool allowDisabled);
// The control that has the mouse captured (a graphic control's parent
// window holds the system capture).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

}  // namespace hostlib
