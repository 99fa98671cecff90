#pragma once
// The group box: a captioned frame that holds other controls, its caption on
// any edge (turned on the left and right) or centred; and the button group,
// a group box whose content is one button control per item of a collection,
// laid out in columns and kept in step with the items.

#include <string>
#include <vector>

#include "components/editor-catalogue/cxCheckBox.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxEditViewData.h"
#include "components/editors/cxTextEdit.h"
#include "platform/hostlib/core/collection.h"

enum TcxCaptionAlignment {
    alTopLeft,
    alTopCenter,
    alTopRight,
    alBottomLeft,
    alBottomCenter,
    alBottomRight,
    alLeftTop,
    alLeftCenter,
    alLeftBottom,
    alRightTop,
    alRightCenter,
    alRightBottom,
    alCenterCenter
};

const hostlib::TEnumInfo& EnumTypeInfo(TcxCaptionAlignment*);

class TcxCustomGroupBox;

// The focused and hot styles of a group box: a flat normal border stays flat.
class TcxGroupBoxStyleEx : public TcxEditStyleEx {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxContainerBorderStyle DefaultBorderStyle() const override;
};

class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetStyleExClass() override;
    hostlib::TClass GetViewInfoClass() override;
    hostlib::TClass GetViewDataClass() override;
};

// ---- group box view ----------------------------------------------------------------

class TcxGroupBoxViewInfo : public TcxCustomTextEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct() override;
    hostlib::TClass GetButtonViewInfoClass() const override;

    RECT CaptionRect{};
    hostlib::ObjectPtr<hostlib::TBitmap> CaptionBitmap;
    hostlib::ObjectPtr<TcxCanvas> CaptionCanvas;
    TcxCustomGroupBox* GroupBox = nullptr;
    bool Designing = false;

protected:
    void InternalPaint(TcxCanvas* canvas) override;
    void PaintBackgroundAndFrame(TcxCanvas* canvas, const RECT& captionRect);

private:
    void PaintNativeFrame(TcxCanvas* canvas, const RECT& captionRect);
    void PaintClassicFrame(TcxCanvas* canvas);
    void PaintCaptionText();
    void PaintCaption(TcxCanvas* canvas);
};

class TcxGroupBoxViewData : public TcxCustomEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::TColor GetBorderColor() override;
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    RECT GetBorderExtent() override;
    RECT GetClientExtent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo) override;
    bool HasShadow() override;
    bool IsNativeStyle(TcxLookAndFeel* lookAndFeel) override;
    static bool IsGroupBoxNativeStyle(TcxLookAndFeel* lookAndFeel);

    TcxCustomGroupBox* GroupBox() const;

protected:
    // The caption's height h ("Qq" in the caption font).
    int CaptionTextHeight();
    RECT GetCaptionRect(TcxCanvas* canvas);
};

// ---- group box control -------------------------------------------------------------

class TcxCustomGroupBox : public TcxCustomEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomEdit::Construct;
    hostlib::TClass GetPropertiesClass() const override;
    void AdjustClientRect(RECT& rect) override;
    bool CanFocusOnClick() override { return false; }
    bool NeedsScrollBars() override { return false; }
    void ContainerStyleChanged(hostlib::TObject* sender) override;
    bool DefaultParentColor() override { return true; }
    RECT GetShadowBounds() override;
    TcxCustomContainerStyle* InternalGetActiveStyle() override;
    bool IsContainerClass() const override { return true; }
    bool IsRefreshOnWindowPosChangedNeeded() override;
    bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent) override;
    void SetSize() override {}

    TcxCaptionAlignment Alignment() const { return alignment_; }
    void SetAlignment(TcxCaptionAlignment value);
    hostlib::TColor CaptionBkColor() const { return captionBkColor_; }
    void SetCaptionBkColor(hostlib::TColor value) { captionBkColor_ = value; }
    hostlib::TFont* CaptionFont() const { return captionFont_.get(); }
    const std::string& VisibleCaption() const { return visibleCaption_; }

    bool IsVerticalText() const { return alignment_ >= alLeftTop && alignment_ <= alRightBottom; }
    void CalculateVisibleCaption();
    void CalculateCaptionFont();
    // The caption font, and with native painting the theme's text colour.
    void AdjustCanvasFontSettings(TcxCanvas* canvas);
    UINT GetCaptionDrawingFlags() const;
    bool IsNativePainting();
    TcxGroupBoxViewInfo* GetViewInfo() const { return static_cast<TcxGroupBoxViewInfo*>(ViewInfo()); }

protected:
    void Destroy() override;
    void Dispatch(hostlib::TMessage& message) override;
    void TextChanged() override;
    void FontChanged() override;
    virtual void LookAndFeelChanged();

    bool DialogCharFocusing() const { return dialogChar_; }
    void WMEraseBkgnd(hostlib::TMessage& m);

private:
    void WMPrintClient(hostlib::TMessage& m);
    void CMDialogChar(hostlib::TMessage& m);
    void InvalidateCaption();

    TcxCaptionAlignment alignment_ = alTopLeft;
    hostlib::TColor captionBkColor_ = hostlib::clBtnFace;
    hostlib::ObjectPtr<hostlib::TFont> captionFont_;
    bool dialogChar_ = false;
    std::string visibleCaption_;
};

class TcxGroupBox : public TcxCustomGroupBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- button group ------------------------------------------------------------------

class TcxButtonGroupItems;

class TcxButtonGroupItem : public hostlib::TCollectionItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }

protected:
    void Destroy() override;
    TcxButtonGroupItems* Items() const;
    void NotifyChanged();

private:
    std::string caption_;
    bool enabled_ = true;
    int tag_ = 0;
};

class TcxButtonGroupItems : public hostlib::TOwnedCollection, public IcxCheckItems {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxButtonGroupItem* Items(int index) const
    {
        return static_cast<TcxButtonGroupItem*>(TCollection::Items(index));
    }
    std::string GetCaption(int index) override { return Items(index)->Caption(); }
    int GetCount() override { return Count(); }
    // Tells the owning properties of one item's arrival, departure or change.
    void InternalNotify(int index, TcxCollectionOperation operation);
    int NotifiedIndex() const { return notifiedIndex_; }
    TcxCollectionOperation NotifiedOperation() const { return notifiedOperation_; }
    bool IsNotifying() const { return notifying_; }

protected:
    void Update(hostlib::TCollectionItem* item) override;

private:
    void OwnerChanged();

    int notifiedIndex_ = -1;
    TcxCollectionOperation notifiedOperation_ = coChanged;
    bool notifying_ = false;
};

class TcxCustomButtonGroupProperties : public TcxCustomGroupBoxProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TClass GetViewDataClass() override;
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewInfoClass() override;
    virtual TcxButtonGroupItems* CreateItems();
    // Columns with no column left empty; 0 without items.
    virtual int GetColumnCount();
    int GetButtonsPerColumn();

    int Columns() const { return columns_; }
    // Below 1 counts as 1.
    void SetColumns(int value);
    TcxButtonGroupItems* Items() const { return items_.get(); }
    void SetItems(TcxButtonGroupItems* value) { items_->Assign(value); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

protected:
    void Destroy() override;

private:
    int columns_ = 1;
    hostlib::ObjectPtr<TcxButtonGroupItems> items_;
    bool wordWrap_ = false;
};

// What a kind of button needs beside its caption, for the layout.
struct TcxEditMetrics {
    int TextWidthCorrection = 0;  // per column, automatic height
    int AutoHeightWidthCorrection = 0;
    int ButtonExtraWidth = 0;
    int ExtraTotalWidth = 0;
    int ColumnOffset = 0;
    int ColumnWidthCorrection = 0;
    int ColumnGap = 0;
    SIZE GlyphSize{};
};

class TcxGroupBoxButtonViewInfo : public TcxEditButtonViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    std::string Caption;
    int Column = 0;
    int Row = 0;
};

class TcxButtonGroupViewInfo : public TcxGroupBoxViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    RECT CaptionRectExtent{};
};

class TcxButtonGroupViewData : public TcxGroupBoxViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void CalculateButtonsViewInfo(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                                  hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo,
                                  bool isMouseEvent) override;
    void GetEditConstantPartSize(TcxCanvas* canvas, const TcxEditSizeProperties& sizeProperties,
                                 SIZE& minContentSize, SIZE& size, TcxCustomEditViewInfo* viewInfo = nullptr) override;
    virtual void CalculateButtonPositions(TcxCustomEditViewInfo* viewInfo);
    virtual void CalculateButtonViewInfos(TcxCustomEditViewInfo* viewInfo);
    virtual int GetDrawTextFlags();
    // Supplied by the kind of button.
    virtual void GetEditMetrics(bool autoHeight, TcxCanvas* canvas, TcxEditMetrics& metrics);
    virtual RECT GetCaptionRectExtent() { return RECT{}; }
    virtual void CalculateButtonNativeState(TcxCustomEditViewInfo* viewInfo, TcxGroupBoxButtonViewInfo* button);
    static bool IsButtonNativeStyle(TcxLookAndFeel* lookAndFeel);

    TcxCustomButtonGroupProperties* GetProperties() const
    {
        return static_cast<TcxCustomButtonGroupProperties*>(Properties());
    }

private:
    void CalculateButtonStates(TcxCustomEditViewInfo* viewInfo, const POINT& p, TcxMouseButton button,
                               hostlib::TShiftState shift, bool isMouseEvent);
    SIZE SizeWithoutWidth(TcxCanvas* canvas, const TcxEditMetrics& m, int textHeight);
    int RowHeightInWidth(TcxCanvas* canvas, const TcxEditSizeProperties& sp, const TcxEditMetrics& m,
                         int textHeight, int correctionHeight);
};

class TcxCustomButtonGroup : public TcxCustomGroupBox {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomGroupBox::Construct;
    hostlib::TClass GetPropertiesClass() const override;
    void ContainerStyleChanged(hostlib::TObject* sender) override;
    bool IsContainerClass() const override { return DialogCharFocusing(); }
    bool RefreshContainer(POINT p, TcxMouseButton button, hostlib::TShiftState shift, bool isMouseEvent) override;
    void PropertiesChanged(hostlib::TObject* sender) override;
    bool Focused() override;
    void GetTabOrderList(std::vector<hostlib::TWinControl*>& list) override;

    virtual void ArrangeButtons();
    virtual hostlib::TWinControl* GetButtonInstance();
    virtual void InitButtonInstance(hostlib::TWinControl* button);
    virtual void SetButtonCount(int count);
    virtual void SynchronizeButtonsStyle();
    virtual void UpdateButtons();
    virtual bool IsButtonDC(HDC dc) { return (void)dc, false; }
    // A click on a cell: the button under the point gets the press.
    void ActivateByMouse(hostlib::TShiftState shift, int x, int y, TcxCustomEditData*& editData) override;
    int GetButtonIndexAt(POINT p);
    bool IsButtonNativeStyle();

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    hostlib::TWinControl* Buttons(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
    TcxCustomButtonGroupProperties* ActiveProperties()
    {
        return static_cast<TcxCustomButtonGroupProperties*>(TcxCustomEdit::ActiveProperties());
    }

protected:
    void Destroy() override;
    void ReadState(hostlib::TReader& reader) override;
    void CreateHandle() override;
    void CursorChanged() override;
    void EnabledChanged() override;
    void Dispatch(hostlib::TMessage& message) override;
    void DoEditKeyDown(WORD& key, hostlib::TShiftState shift) override;
    bool IsReading() const { return reading_; }

private:
    void ButtonMouseDown(hostlib::TObject* sender, hostlib::TMouseButton button, hostlib::TShiftState shift, int x,
                         int y);
    void ButtonMouseMove(hostlib::TObject* sender, hostlib::TShiftState shift, int x, int y);
    void ButtonMouseUp(hostlib::TObject* sender, hostlib::TMouseButton button, hostlib::TShiftState shift, int x,
                       int y);
    void ButtonKeyDown(hostlib::TObject* sender, WORD& key, hostlib::TShiftState shift);
    void ButtonKeyPress(hostlib::TObject* sender, char& key);
    void ButtonKeyUp(hostlib::TObject* sender, WORD& key, hostlib::TShiftState shift);
    void ButtonDragDrop(hostlib::TObject* sender, hostlib::TObject* source, int x, int y);
    void ButtonDragOver(hostlib::TObject* sender, hostlib::TObject* source, int x, int y, hostlib::TDragState state,
                        bool& accept);
    int FocusedButtonIndex();
    void FreeButton(int index);

    std::vector<hostlib::TWinControl*> buttons_;
    bool reading_ = false;
    // Buttons are made only once construction is over.
    bool constructed_ = false;
};
