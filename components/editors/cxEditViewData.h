#pragma once
// The layout of an editor in two steps: a short-lived view data, made by
// the properties for one style and mode, takes the state of an editor or
// of a list cell and fills a view info with what painting needs (bounds,
// border, client and inner-edit rectangles, colours, font, state, one
// button view info per visible button). The view info paints itself at
// its own origin and repaints only what changed. Neither needs a control,
// so a list control paints and sizes a cell of any kind with them.

#include <climits>
#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxContainer.h"

class TcxCustomEditViewInfo;
class TcxCustomEditViewData;

struct TcxEditButtonViewInfoData {
    hostlib::TColor BackgroundColor = hostlib::clBtnFace;
    std::string Caption;
    bool Default = false;
    bool IsInplace = false;
    TcxEditButtonKind Kind = bkDown;
    bool LeftAlignment = false;
    bool Leftmost = false;
    bool NativeStyle = false;
    bool Rightmost = false;
    TcxEditButtonState State = ebsNormal;
    TcxEditButtonStyle Style = btsDefault;
    hostlib::TColor TextColor = hostlib::clBtnText;
    bool Transparent = false;
    std::string VisibleCaption;
    bool BackgroundPartiallyTransparent = false;
    // The only button, a drop-down one: drawn as a combo box's.
    bool ComboBoxStyle = false;
    int NativePart = 0;
    int NativeState = 0;
};

// The computed state of one visible edit button.
class TcxEditButtonViewInfo : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct() {}
    // Bounds, background colour, style, state and native state.
    void Assign(hostlib::TPersistent* source) override;
    // Empty when nothing that shows changed; the caller owns the region.
    virtual TcxRegion* GetUpdateRegion(TcxEditButtonViewInfo* viewInfo);
    virtual bool Repaint(hostlib::TWinControl* control, TcxEditButtonViewInfo* viewInfo, const POINT& offset);

    RECT Bounds{};
    // The part that is painted and hit-tested.
    RECT VisibleBounds{};
    int ButtonIndex = -1;
    TcxEditButtonViewInfoData Data;
    hostlib::TBitmap* Glyph = nullptr;
    bool HasBackground = false;
    bool Stretchable = true;
    int Width = 0;

private:
    bool DiffersFrom(const TcxEditButtonViewInfo* other) const;
};
using TcxEditButtonViewInfoClass = hostlib::TClass;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxContainerBorderStyle GetContainerBorderStyle() const override
    {
        return static_cast<TcxContainerBorderStyle>(EditBorderStyle);
    }
    void Assign(TcxContainerViewInfo* source) override;
    TcxRegion* GetUpdateRegion(TcxContainerViewInfo* viewInfo) override;
    void Offset(int dx, int dy) override;

    virtual hostlib::TClass GetButtonViewInfoClass() const { return TcxEditButtonViewInfo::StaticClass(); }
    virtual bool IsRepaintOnStateChangingNeeded() const { return true; }
    virtual void DrawButton(TcxCanvas* canvas, int buttonVisibleIndex);
    virtual void DrawButtonBorder(TcxCanvas* canvas, int buttonVisibleIndex, TcxEditButtonStyle style, RECT& rect);
    virtual void DrawButtonContent(TcxCanvas* canvas, int buttonVisibleIndex, const RECT& contentRect,
                                   hostlib::TColor backgroundColor, hostlib::TColor foregroundColor);
    // Some button is hot.
    virtual bool IsHotTrack() const;
    // The point (relative to Left/Top) lies on a button.
    virtual bool IsHotTrack(POINT p) const;
    bool NeedShowHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine);
    virtual bool NeedShowHint(TcxCanvas* canvas, const POINT& p, const RECT& visibleBounds, std::string& text,
                              bool& isMultiLine, RECT& textRect);
    virtual void PrepareCanvasFont(TcxCanvas* canvas) { (void)canvas; }
    // Invalidates on the control what differs from the older view info
    // (everything without one) and tells whether it did.
    virtual bool Repaint(hostlib::TWinControl* control, TcxContainerViewInfo* viewInfo, const RECT& innerEditRect);

    // Paints at Left/Top; the canvas origin comes back even when painting fails.
    void PaintEx(TcxCanvas* canvas);
    void SetButtonCount(int count);
    int ButtonCount() const { return static_cast<int>(ButtonsInfo.size()); }

    RECT BorderExtent{};
    TcxEditBorderStyle EditBorderStyle = ebsNone;
    std::vector<hostlib::ObjectPtr<TcxEditButtonViewInfo>> ButtonsInfo;
    TcxCustomEditProperties* EditProperties = nullptr;
    bool Enabled = true;
    bool Focused = false;
    hostlib::TFont* Font = nullptr;
    bool HasBackground = false;
    bool HasInnerEdit = false;
    bool HasTextButtons = false;
    RECT InnerEditRect{};
    bool IsButtonReallyPressed = false;
    bool IsContainerInnerControl = false;
    bool IsDBEditPaintCopyDrawing = false;
    bool IsDesigning = false;
    bool IsInplace = false;
    bool IsSelected = false;
    int Left = 0;
    int Top = 0;
    TcxEditPaintOptions PaintOptions;
    TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
    int PressedButton = -1;
    int SelectedButton = -1;
    bool PreviewMode = false;
    RECT ShadowRect{};
    hostlib::TColor TextColor = hostlib::clWindowText;
    bool Transparent = false;

protected:
    void InternalPaint(TcxCanvas* canvas) override;

    bool HasBorder() const;

private:
    void RepaintWhole(hostlib::TWinControl* control, const RECT& innerEditRect);
    bool NeedsFullRepaint(const TcxCustomEditViewInfo* old) const;
};
using TcxCustomEditViewInfoClass = hostlib::TClass;

using TcxEditViewDataGetDisplayTextEvent = hostlib::Event<TcxCustomEditViewData*, std::string&>;

class TcxCustomEditViewData : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, bool isInplace);

    virtual bool CanPressButton(TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex);
    virtual hostlib::TColor GetBorderColor();
    virtual TcxEditBorderStyle GetBorderStyle();
    virtual void Initialize();
    virtual void InitCacheData();
    virtual std::string InternalEditValueToDisplayText(const hostlib::Variant& editValue);
    virtual void InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace,
                                                 const TcxEditSizeProperties& sizeProperties, SIZE& minContentSize,
                                                 TcxCustomEditViewInfo* viewInfo, SIZE& size);
    virtual SIZE InternalGetEditContentSize(TcxCanvas* canvas, const hostlib::Variant& editValue,
                                            const TcxEditSizeProperties& sizeProperties);
    virtual bool IsButtonPressed(TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex);
    virtual void CalculateButtonNativeInfo(TcxEditButtonViewInfo* buttonViewInfo);
    virtual void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                           hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent);
    virtual void CalculateButtonBounds(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                                       RECT& buttonsRect);
    virtual void CalculateButtonsViewInfo(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                          TcxMouseButton button, hostlib::TShiftState shift,
                                          TcxCustomEditViewInfo* viewInfo, bool isMouseEvent);
    virtual void CalculateButtonViewInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                                         RECT& buttonsRect);
    virtual void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                                      TcxCustomEditViewInfo* viewInfo);
    virtual RECT GetBorderExtent();
    virtual RECT GetButtonsExtent(TcxCanvas* canvas);
    virtual RECT GetClientExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo);
    virtual void GetEditConstantPartSize(TcxCanvas* canvas, const TcxEditSizeProperties& sizeProperties,
                                         SIZE& minContentSize, SIZE& size, TcxCustomEditViewInfo* viewInfo = nullptr);
    virtual SIZE GetEditContentSize(TcxCanvas* canvas, const hostlib::Variant& editValue,
                                    const TcxEditSizeProperties& sizeProperties);
    virtual bool HasShadow();
    virtual bool IsNativeStyle(TcxLookAndFeel* lookAndFeel);

    // Bounds in the caller's coordinates: the view info's Left/Top become
    // their top-left and the layout is made at the origin.
    void CalculateEx(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                     hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent);
    void EditValueToDisplayText(const hostlib::Variant& editValue, std::string& text);
    void DoOnGetDisplayText(std::string& text);
    SIZE GetEditSize(TcxCanvas* canvas, const hostlib::Variant& editValue, TcxEditSizeProperties sizeProperties,
                     TcxCustomEditViewInfo* viewInfo = nullptr);
    static TcxEditBorderStyle CorrectBorderStyle(TcxEditBorderStyle style);
    int GetCaptureButtonVisibleIndex() const { return CaptureButtonVisibleIndex; }
    bool InternalFocused() const { return Focused; }
    TcxCustomEditStyle* Style() const { return style_; }
    void SetStyle(TcxCustomEditStyle* value) { style_ = value; }
    TcxCustomEditProperties* Properties() const { return properties_; }

    hostlib::TObject* EditData = nullptr;
    bool IsInplace = false;
    int LeftSideLeftmostButtonIndex = -1;
    int LeftSideRightmostButtonIndex = -1;
    int RightSideLeftmostButtonIndex = -1;
    int RightSideRightmostButtonIndex = -1;
    TcxEditViewDataGetDisplayTextEvent OnGetDisplayText;
    bool AutoHeight = false;
    RECT Bounds{};
    bool ButtonsOnlyStyle = false;
    int ButtonVisibleCount = 0;
    TcxContainerState ContainerState{csNormal};
    // In place: the margins the cell leaves around the content.
    RECT ContentOffset{};
    // The editor (nullptr when painting a cell).
    TcxCustomEdit* Edit = nullptr;
    bool Enabled = true;
    bool Focused = false;
    hostlib::TAlignment HorzAlignment = hostlib::taLeftJustify;
    TcxEditVertAlignment VertAlignment = taTopJustify;
    // Visible scroll bars of the editor.
    bool HScrollBarVisible = false;
    bool VScrollBarVisible = false;
    // The inner edit's control, when it exists and shows.
    hostlib::TWinControl* InnerEdit = nullptr;
    bool IsDesigning = false;
    bool IsSelected = false;
    bool IsValueSource = false;
    int MaxLineCount = 0;
    bool NativeStyle = false;
    TcxEditPaintOptions PaintOptions;
    bool Selected = false;
    int SelStart = 0;
    int SelLength = 0;
    hostlib::TColor SelTextColor = hostlib::clDefault;
    hostlib::TColor SelBackgroundColor = hostlib::clDefault;
    HWND WindowHandle = nullptr;
    // The editor's button under a held mouse button, -1 for none.
    int CaptureButtonVisibleIndex = -1;
    // The editor's visible bounds; empty: Bounds less the content offset.
    RECT VisibleBounds{};
    bool IsMouseCaptured = false;

private:
    void CalculateState(const RECT& bounds, const POINT& p, bool isMouseEvent, TcxCustomEditViewInfo* viewInfo);
    void CalculateViewInfoFields(const RECT& bounds, TcxCustomEditViewInfo* viewInfo);
    TcxEditButtonStyle ResolveButtonStyle();
    bool ButtonsHidden() const;
    void PlaceButtons(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, RECT& buttonsRect);
    void StretchButtons(TcxCustomEditViewInfo* viewInfo, int extra, int taken);
    void GrowButton(TcxCustomEditViewInfo* viewInfo, int visibleIndex, int e);
    void CalculateButtonStates(const POINT& p, TcxMouseButton button, hostlib::TShiftState shift,
                               TcxCustomEditViewInfo* viewInfo, bool isMouseEvent, int previousPressed);
    void CalculateButtonState(TcxEditButtonViewInfo* button, int visibleIndex, bool pressed, const POINT& p,
                              TcxMouseButton mouseButton, hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                              bool isMouseEvent, int previousPressed);
    void MarkButtonEdges(TcxCustomEditViewInfo* viewInfo, const RECT& buttonsRect);

    TcxCustomEditProperties* properties_ = nullptr;
    TcxCustomEditStyle* style_ = nullptr;
};
using TcxCustomEditViewDataClass = hostlib::TClass;
