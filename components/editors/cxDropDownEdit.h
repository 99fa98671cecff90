#pragma once
// The drop-down editors: their popup window and the settings they share.
// The popup window belongs to one editor, opens below or above it inside
// the desktop work area, sizes itself from the editor's preferred client
// size or from stored sizes, draws its own frame and shadow and, with a
// system panel, offers a close button and a size grip. The drop-down
// properties add the popup's settings and the drop-down button to the
// masked editor's.

#include <optional>

#include "components/editors/cxEditDataBinding.h"
#include "components/editors/cxMaskEdit.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/visual/forms.h"

// Posted to the popup with a character typed into the editor; the
// character goes to the control inside the popup.
inline constexpr UINT CM_POPUPCONTROLKEY = 0x806B;


// What the popup window asks of the drop-down editor it belongs to.
class IcxEditPopupWindowOwner {
public:
    virtual ~IcxEditPopupWindowOwner() = default;
    virtual bool PopupWindowAcceptsAnySize() = 0;
    virtual SIZE GetPopupWindowClientPreferredSize() = 0;
    // The editor's visible bounds in its parent's client coordinates.
    virtual RECT GetPopupWindowOwnerControlBounds() = 0;
    virtual void PositionPopupWindowChilds(const RECT& clientRect) = 0;
    virtual TcxLookAndFeelKind GetPopupLookAndFeelKind() = 0;
    // The editor's list may snap a client size the user drags to; False
    // keeps the old size.
    virtual bool IsPopupLookupDataVisual() = 0;
    virtual bool CanResizePopupVisualArea(SIZE& clientSize, int maxHeight) = 0;
    // The user changed the popup's size.
    virtual void PopupWindowResizedByUser() = 0;
    // The close button was released: close without accepting.
    virtual void ClosePopupWindowByButton() = 0;
    // The user resized the popup of this editor (or of its cell) before.
    virtual bool IsPopupResized() { return false; }
};

// Corners of the size grip.
enum TcxEditPopupGripCorner { egcTopLeft, egcTopRight, egcBottomLeft, egcBottomRight };

class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct() override;
    virtual void Calculate();
    virtual void DrawBorder(TcxCanvas* canvas, RECT& r);
    // Frame, client edge, shadow and panel, per side.
    virtual RECT GetBorderExtent();
    RECT GetClientExtent() { return GetBorderExtent(); }
    void InternalPaint(TcxCanvas* canvas) override;
    virtual int GetSysPanelHeight();
    // Whether a resize starts at the point; sets the drag directions.
    bool IsSizingPlace(int x, int y, int& horz, int& vert);

    int FrameWidth() const;
    int ClientEdgeWidth() const;
    bool PanelAtBottom() const { return SizeGripCorner == egcBottomLeft || SizeGripCorner == egcBottomRight; }
    bool GripAtRight() const { return SizeGripCorner == egcTopRight || SizeGripCorner == egcBottomRight; }
    bool UsesThemes() const;

    TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
    bool ClientEdge = false;
    bool CloseButton = false;
    bool Sizeable = false;
    bool SysPanelStyle = false;
    TcxEditPopupGripCorner SizeGripCorner = egcBottomRight;
    int SysPanelHeight = 0;
    int MinSysPanelHeight = 0;
    int SizingOffset = 0;
    RECT SizingRegionBounds{};
    RECT SizeGripRect{};
    RECT SizeGripSizingRect{};
    RECT CloseButtonRect{};
    // 1 normal, 2 hot, 3 pressed.
    int CloseButtonState = 1;
    int CloseButtonNativeState = 0;
    TcxLookAndFeelKind LookAndFeelKind = lfStandard;
    bool IsEditPopup = false;

protected:
    RECT PanelRect() const;
    void CalculateGrip(int panelHeight);
    void CalculateCloseButton(int panelHeight);
    void DrawClientEdge(TcxCanvas* canvas, const RECT& client);
    void DrawSizeGrip(TcxCanvas* canvas);
    void DrawCloseButton(TcxCanvas* canvas);
    void DrawPanelSeparator(TcxCanvas* canvas);
};

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    void Construct(hostlib::TWinControl* ownerControl) override;
    using TcxCustomPopupWindow::Construct;

    virtual hostlib::TClass GetViewInfoClass() const;
    TcxCustomEditPopupWindowViewInfo* ViewInfo() const { return viewInfo_.get(); }
    IcxEditPopupWindowOwner* GetEdit() const;

    bool AcceptsAnySize() override;
    void AdjustClientRect(RECT& rect) override;
    POINT CalculatePosition() override;
    void CalculateSize() override;
    // The part cut out over the editor depends on where the popup lies.
    void SetBounds(int left, int top, int width, int height) override;
    virtual void CalculateViewInfo();
    // Corrects a size the user drags to; False leaves the size alone. (The
    // control's own CanResize guards every SetBounds.)
    virtual bool CanResizePopup(int& width, int& height);
    virtual void DoPopupControlKey(char key);
    SIZE GetMinSize();
    void RefreshPopupWindow();
    void DrawSizeFrame(const RECT& r);

    // Settings copied from the editor's properties when the popup is set up.
    TcxEditPopupBorderStyle BorderStyle() const { return viewInfo_->PopupBorderStyle; }
    void SetBorderStyle(TcxEditPopupBorderStyle value) { viewInfo_->PopupBorderStyle = value; }
    bool ClientEdge() const { return viewInfo_->ClientEdge; }
    void SetClientEdge(bool value) { viewInfo_->ClientEdge = value; }
    bool CloseButton() const { return viewInfo_->CloseButton; }
    void SetCloseButton(bool value) { viewInfo_->CloseButton = value; }
    int MinSysPanelHeight() const { return viewInfo_->MinSysPanelHeight; }
    void SetMinSysPanelHeight(int value) { viewInfo_->MinSysPanelHeight = value; }
    bool NativeStyle() const { return viewInfo_->NativeStyle; }
    void SetNativeStyle(bool value) { viewInfo_->NativeStyle = value; }
    bool Shadow() const { return viewInfo_->Shadow; }
    void SetShadow(bool value) { viewInfo_->Shadow = value; }
    bool Sizeable() const { return viewInfo_->Sizeable; }
    void SetSizeable(bool value) { viewInfo_->Sizeable = value; }
    bool SysPanelStyle() const { return viewInfo_->SysPanelStyle; }
    void SetSysPanelStyle(bool value) { viewInfo_->SysPanelStyle = value; }
    bool PopupAutoSize() const { return popupAutoSize_; }
    void SetPopupAutoSize(bool value) { popupAutoSize_ = value; }
    int PopupWidth() const { return popupWidth_; }
    void SetPopupWidth(int value) { popupWidth_ = value; }
    int PopupHeight() const { return popupHeight_; }
    void SetPopupHeight(int value) { popupHeight_ = value; }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value) { minWidth_ = value; }
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int value) { minHeight_ = value; }
    TcxPopupAlignHorz Alignment() const { return HorzPlacement(); }
    void SetAlignment(TcxPopupAlignHorz value) { SetHorzPlacement(value); }
    // Resizing moves the window at once; else a frame shows the new size.
    bool ShowContentWhileResize() const { return showContentWhileResize_; }
    void SetShowContentWhileResize(bool value) { showContentWhileResize_ = value; }
    bool Resizing() const { return resizing_; }
    // The editor's bounds in screen coordinates, as last placed.
    const RECT& OwnerScreenBounds() const { return ownerScreenBounds_; }

protected:
    void Destroy() override;
    void Dispatch(hostlib::TMessage& message) override;
    void DoClosed() override;
    void DoClosing() override;
    void Paint() override;
    void Resize() override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseLeave(hostlib::TControl* control) override;

    // The room between the editor and the work area's edge on the popup's side.
    int RoomBesideEditor() const;
    void UpdateOwnerBounds();

private:
    void CMPopupControlKey(hostlib::TMessage& m);
    void WMMouseActivate(hostlib::TMessage& m);
    void ChooseGripCorner(POINT position);
    void SetCloseButtonState(int state);
    void UpdateCursor(int x, int y);
    void StartDrag(int x, int y, int horz, int vert);
    void Drag(POINT screen);
    RECT DraggedBounds(POINT screen);
    void ApplyDraggedBounds(const RECT& r);
    void EndDrag();
    void EraseSizeFrame();
    void UpdateShadowRegion();

    hostlib::ObjectPtr<TcxCustomEditPopupWindowViewInfo> viewInfo_;
    bool popupAutoSize_ = true;
    int popupWidth_ = 0;
    int popupHeight_ = 0;
    int minWidth_ = 0;
    int minHeight_ = 0;
    bool showContentWhileResize_ = true;
    RECT ownerScreenBounds_{};
    bool resizing_ = false;
    bool closeButtonPressed_ = false;
    int horzDirection_ = 0;
    int vertDirection_ = 0;
    POINT grabOffset_{};
    RECT lastBounds_{};
    std::optional<RECT> sizeFrame_;
};

// The popup window's minimum of the system panel metrics.
int cxEditPopupSizingOffset();

// ---- drop-down properties ----------------------------------------------------------

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    // The glyph button shows the glyph while there is one, the arrow again
    // once it is gone.
    void Changed() override;
    bool IsLookupDataVisual() override { return true; }
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewDataClass() override;

    virtual int DropDownButtonVisibleIndex() { return 0; }
    // A click into the text opens the popup.
    virtual bool DropDownOnClick() { return false; }
    // The value is posted when the popup has closed, not when it accepts.
    virtual bool GetAlwaysPostEditValue() { return false; }
    virtual hostlib::TClass GetPopupWindowClass();
    virtual bool PopupWindowAcceptsAnySize() { return true; }
    virtual bool PopupWindowCapturesFocus() { return false; }

    // Created on first read.
    hostlib::TBitmap* ButtonGlyph() const;
    void SetButtonGlyph(hostlib::TBitmap* value) { ButtonGlyph()->Assign(value); }
    bool IsButtonGlyphStored() const { return buttonGlyph_ && !buttonGlyph_->Empty(); }
    int GlyphButtonIndex() const { return glyphButtonIndex_; }
    void SetGlyphButtonIndex(int value);
    bool ImmediateDropDown() const { return immediateDropDown_; }
    void SetImmediateDropDown(bool value) { immediateDropDown_ = value; }
    bool ImmediatePopup() const { return immediatePopup_; }
    void SetImmediatePopup(bool value) { immediatePopup_ = value; }
    hostlib::TAlignment PopupAlignment() const { return popupAlignment_; }
    void SetPopupAlignment(hostlib::TAlignment value) { Set(popupAlignment_, value); }
    bool PopupAutoSize() const { return popupAutoSize_; }
    void SetPopupAutoSize(bool value) { popupAutoSize_ = value; }
    bool PopupClientEdge() const { return popupClientEdge_; }
    void SetPopupClientEdge(bool value) { Set(popupClientEdge_, value); }
    // The four sizes tell nobody: they apply at the next opening.
    int PopupHeight() const { return popupHeight_; }
    void SetPopupHeight(int value);
    int PopupWidth() const { return popupWidth_; }
    void SetPopupWidth(int value);
    int PopupMinHeight() const { return popupMinHeight_; }
    void SetPopupMinHeight(int value);
    int PopupMinWidth() const { return popupMinWidth_; }
    void SetPopupMinWidth(int value);
    bool PopupSizeable() const { return popupSizeable_; }
    void SetPopupSizeable(bool value) { Set(popupSizeable_, value); }
    bool PopupSysPanelStyle() const { return popupSysPanelStyle_; }
    void SetPopupSysPanelStyle(bool value) { Set(popupSysPanelStyle_, value); }
    bool PostPopupValueOnTab() const { return postPopupValueOnTab_; }
    void SetPostPopupValueOnTab(bool value) { postPopupValueOnTab_ = value; }

    hostlib::TCloseQueryEvent OnCloseQuery;
    hostlib::TNotifyEvent OnCloseUp;
    hostlib::TNotifyEvent OnInitPopup;
    hostlib::TNotifyEvent OnPopup;

protected:
    void Destroy() override;
private:
    template <class T>
    void Set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Changed();
    }
    TcxEditButton* GlyphButton() const;
    void ButtonGlyphChanged(hostlib::TObject* sender);
    void UpdateGlyphButtonKind();

    mutable hostlib::ObjectPtr<hostlib::TBitmap> buttonGlyph_;
    int glyphButtonIndex_ = 0;
    bool immediateDropDown_ = true;
    bool immediatePopup_ = false;
    hostlib::TAlignment popupAlignment_ = hostlib::taLeftJustify;
    bool popupAutoSize_ = true;
    bool popupClientEdge_ = false;
    int popupHeight_ = 0;
    int popupWidth_ = 0;
    int popupMinHeight_ = 0;
    int popupMinWidth_ = 0;
    bool popupSizeable_ = false;
    bool popupSysPanelStyle_ = false;
    bool postPopupValueOnTab_ = false;
    bool changing_ = false;
};

// The face of a drop-down editor: a closed, focused fixed-list editor shows
// its text on a selection bar.
class TcxCustomDropDownEditViewData : public TcxCustomTextEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    // The drop-down button does not press while its popup is open under
    // the mouse.
    bool CanPressButton(TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex) override;

    // Set by the editor.
    bool HasPopup = false;
    bool IsHotAndPopup = false;
    // The editor shows the typed prefix of a fixed-list item selected
    // instead of the bar.
    bool InFindSelection = false;

protected:
    virtual bool NeedsSelectionBar(TcxCustomTextEditViewInfo* viewInfo);
};

// What an in-place drop-down editor remembers per cell: a popup the user
// resized opens there with that size again.
class TcxCustomDropDownEditData : public TcxCustomEditData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    bool PopupResized() const { return popupResized_; }
    void SetPopupResized(bool value) { popupResized_ = value; }
    int Width() const { return width_; }
    void SetWidth(int value) { width_ = value; }
    int Height() const { return height_; }
    void SetHeight(int value) { height_ = value; }
    // A fresh cell: not resized, the properties' stored size.
    void Initialize(TcxCustomDropDownEditProperties* properties);

private:
    bool popupResized_ = false;
    int width_ = 0;
    int height_ = 0;
};

// ---- the drop-down editor ------------------------------------------------------------

// Sent to the editor: open the popup.
inline constexpr UINT CM_DROPDOWN = 0x8067;
// Posted to the editor after a paste opened the popup.
inline constexpr UINT CM_DROPDOWNBYPASTE = 0x806C;

class TcxCustomDropDownEdit;

// The look and feel the controls inside the popup follow: in place the kind
// of the editor's style, else the kind of its first button's style.
class TcxEditPopupControlLookAndFeel : public TcxLookAndFeel {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxCustomDropDownEdit* Edit() const;
    // Tells the listeners when what the editor's style resolves to changed.
    void EditStyleChanged();

protected:
    TcxLookAndFeelKind InternalGetKind() const override;
    bool InternalGetNativeStyle() const override;
};

// The inner edit of a drop-down editor: no hint while the popup is open,
// and the character of a released Alt key never arrives.
class TcxCustomDropDownInnerEdit : public TcxCustomInnerTextEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

protected:
    void Dispatch(hostlib::TMessage& message) override;
    void KeyUp(WORD& key, hostlib::TShiftState shift) override;
};

class TcxCustomDropDownEdit : public TcxCustomMaskEdit, public IcxEditPopupWindowOwner {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomMaskEdit::Construct;
    void BeforeDestruction() override;

    hostlib::TClass GetPropertiesClass() const override;
    hostlib::TClass GetEditDataClass() const override;
    hostlib::TClass GetInnerEditClass() const override;
    TcxCustomDropDownEditProperties* Properties() const
    {
        return static_cast<TcxCustomDropDownEditProperties*>(TcxCustomMaskEdit::Properties());
    }
    TcxCustomDropDownEditProperties* ActiveProperties()
    {
        return static_cast<TcxCustomDropDownEditProperties*>(TcxCustomMaskEdit::ActiveProperties());
    }
    TcxCustomEditPopupWindow* PopupWindow() const { return popupWindow_.get(); }
    TcxEditPopupControlLookAndFeel* PopupControlsLookAndFeel() const { return popupLookAndFeel_.get(); }
    bool DroppedDown() { return HasPopupWindow(); }
    void SetDroppedDown(bool value);

    // Opening and closing.
    virtual bool CanDropDown() { return false; }
    // Closes an open popup; an accepted close takes the highlighted item.
    virtual void CloseUp(bool accepted);
    virtual void DropDown();
    bool HasPopupWindow() override;
    bool Focused() override;

    void Activate(TcxCustomEditData*& editData) override;
    void ActivateByKey(char key, TcxCustomEditData*& editData) override;
    void ActivateByMouse(hostlib::TShiftState shift, int x, int y, TcxCustomEditData*& editData) override;
    bool Deactivate() override;
    void PasteFromClipboard() override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent) override;
    void FocusChanged() override;
    void ContainerStyleChanged(hostlib::TObject* sender) override;

    // IcxEditPopupWindowOwner.
    bool PopupWindowAcceptsAnySize() override { return ActiveProperties()->PopupWindowAcceptsAnySize(); }
    SIZE GetPopupWindowClientPreferredSize() override { return SIZE{0, 0}; }
    RECT GetPopupWindowOwnerControlBounds() override;
    void PositionPopupWindowChilds(const RECT& clientRect) override;
    TcxLookAndFeelKind GetPopupLookAndFeelKind() override { return popupLookAndFeel_->Kind(); }
    bool IsPopupLookupDataVisual() override;
    bool CanResizePopupVisualArea(SIZE& clientSize, int maxHeight) override;
    void PopupWindowResizedByUser() override;
    void ClosePopupWindowByButton() override { CloseUp(false); }
    bool IsPopupResized() override { return popupResized_; }

    // Set by the popup window while the user resizes it.
    bool IsResizedByUser() const { return resizedByUser_; }

protected:
    void Destroy() override;
    void CreateHandle() override;
    void Dispatch(hostlib::TMessage& message) override;
    TcxCustomEditViewData* CreateViewData() override;
    void DoButtonDown(int buttonVisibleIndex) override;
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    void DoEditKeyPress(char& key) override;
    void DoEditProcessTab(hostlib::TShiftState shift) override;
    void DoExit() override;
    bool DoMouseWheel(hostlib::TShiftState shift, int wheelDelta, POINT mousePos) override;
    bool GetScrollLookupDataList(TcxEditScrollCause scrollCause) override;
    void InitializeEditData() override;
    bool IsEditorKey(WORD key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    bool SendActivationKey(char key) override;

    virtual void CreatePopupWindow();
    virtual void DoCloseUp();
    virtual bool DoCloseQuery();
    virtual void DoInitPopup();
    virtual void DoPopup();
    virtual void EditButtonClick() {}
    virtual hostlib::TWinControl* GetPopupFocusedControl();
    virtual void InitializeLookupData();
    virtual void InitializePopupWindow();
    virtual void PopupControlsLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed)
    {
        (void)sender, (void)changed;
    }
    virtual void SetupPopupWindow();
    virtual void PopupWindowShowed(hostlib::TObject* sender);
    virtual void PopupWindowClosed(hostlib::TObject* sender);
    virtual void PopupWindowClosing(hostlib::TObject* sender) { (void)sender; }
    virtual void PopupWindowShowing(hostlib::TObject* sender) { (void)sender; }
    void PopupWindowCloseQuery(hostlib::TObject* sender, bool& canClose);
    // The data of the cell being edited in place, if any.
    TcxCustomDropDownEditData* DropDownEditData() const;
    bool IsHotAndPopup() const { return isHotAndPopup_; }
    bool IsActivatingByMouse() const { return activatingByMouse_; }

private:
    bool HasPopupControl();
    bool IsFocusInPopup();
    bool ToggleKey(WORD key, hostlib::TShiftState shift);
    bool CloseKey(WORD& key, hostlib::TShiftState shift);
    void PostPopupKey(char key);
    void StorePopupSize();
    void SetIsHotAndPopup();
    void DropDownByPasteHandler();
    void PostAfterCloseUp();
    void PostIfAlwaysPosting();
    void RemovePendingShowMessages();

    hostlib::ObjectPtr<TcxCustomEditPopupWindow> popupWindow_;
    hostlib::ObjectPtr<TcxEditPopupControlLookAndFeel> popupLookAndFeel_;
    bool isHotAndPopup_ = false;
    bool activatingByMouse_ = false;
    bool popupResized_ = false;
    bool resizedByUser_ = false;
};
