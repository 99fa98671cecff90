#pragma once
// Layout and painting of an editing control, kept apart: the view info
// computes where everything is and keeps the edit cells, each holding the
// editor kind's view data and view info that paint one value; the painter
// draws what was computed, optionally through an off-screen bitmap, and
// lets a handler take over single items; the control's and each item's
// styles resolve into view parameters.

#include "components/foundation/cxStyles.h"
#include "components/treelist/cxInplaceContainerItems.h"

// What a sized object offers to the sizing drag.
enum TcxDragSizingDirection { dsdHorz, dsdVert };

class IcxDragSizing {
public:
    virtual bool CanSizing(TcxDragSizingDirection direction) = 0;
    virtual RECT GetSizingBoundsRect(TcxDragSizingDirection direction) = 0;
    virtual int GetSizingIncrement(TcxDragSizingDirection direction) = 0;
    virtual bool IsDynamicUpdate() = 0;
    virtual void SetSizeDelta(TcxDragSizingDirection direction, int delta) = 0;

protected:
    ~IcxDragSizing() = default;
};

// ---- view info ----------------------------------------------------------------------

// State bits of the view info.
inline constexpr int cxvisCalculationNeeded = 1;
inline constexpr int cxvisStylesChanged = 2;

class TcxCustomControlViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxEditingControl* control);

    virtual void CalculateDefaultEditHeight();
    virtual void CalculateDefaultHeights() { CalculateDefaultEditHeight(); }
    virtual void CreatePainter();
    virtual void DoCalculate();
    virtual void UpdateSelection() { UpdateSelectionParams(); }
    virtual void Invalidate(bool recalculate);

    void Calculate();
    // The cell is made with the item as owner and appended; the list owns it.
    TcxEditCellViewInfo* AddEditCellViewInfo(hostlib::TClass cellClass, TcxCustomInplaceEditContainer* item);
    void RemoveEditCellViewInfo(TcxEditCellViewInfo* cell);
    void ClearEditCellViewInfos();
    void UpdateSelectionParams();
    bool GetState(int mask) const { return (state_ & mask) == mask; }
    void SetState(int mask, bool value) { state_ = value ? (state_ | mask) : (state_ & ~mask); }
    TcxCustomLookAndFeelPainterClass GetLookAndFeelPainter() const;

    TcxEditingControl* Control() const { return control_; }
    const RECT& ClientRect() const { return clientRect_; }
    int DefaultEditHeight() const { return defaultEditHeight_; }
    void SetDefaultEditHeight(int value) { defaultEditHeight_ = value; }
    int EditCellCount() const { return editCells_->Count(); }
    int EditCellCapacity() const { return editCells_->Capacity(); }
    TcxEditCellViewInfo* EditCells(int index) const;
    TcxCustomControlPainter* Painter() const { return painter_.get(); }
    hostlib::TBrush* Brush() const { return brush_.get(); }
    hostlib::TBrush* SelectionBrush() const { return selectionBrush_.get(); }
    const TcxViewParams& SelectionParams() const { return selectionParams_; }
    const TcxViewParams& ViewParams() const { return viewParams_; }

protected:
    void Destroy() override;
    void SetPainter(TcxCustomControlPainter* painter);

private:
    TcxEditingControl* control_ = nullptr;
    RECT clientRect_{};
    int defaultEditHeight_ = 0;
    hostlib::ObjectPtr<hostlib::TList> editCells_;
    hostlib::ObjectPtr<TcxCustomControlPainter> painter_;
    int state_ = cxvisStylesChanged;
    hostlib::ObjectPtr<hostlib::TBrush> brush_;
    hostlib::ObjectPtr<hostlib::TBrush> selectionBrush_;
    TcxViewParams selectionParams_;
    TcxViewParams viewParams_;
};

class TcxCustomViewInfoItem : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(hostlib::TObject* owner) { owner_ = owner; }

    virtual void CheckClipping(const RECT& displayRect, const RECT& availableRect);
    void CheckClipping(const RECT& displayRect);
    virtual void DoCalculate() { cxAbstractError(); }
    virtual void DoHorzOffset(int) { cxAbstractError(); }
    virtual void DoVertOffset(int) { cxAbstractError(); }
    virtual TcxEditingControl* GetControl() { cxAbstractError(); }
    virtual bool IsTransparent();
    virtual void Assign(TcxCustomViewInfoItem* source);

    void Invalidate(bool recalculate);
    void UpdateEditRect() { CheckClipping(DisplayRect); }
    TcxCustomControlViewInfo* GetControlViewInfo();
    TcxCustomLookAndFeelPainterClass GetPainterClass();
    hostlib::TObject* Owner() const { return owner_; }

    TcxViewParams ViewParams;
    bool Visible = false;
    RECT ClipRect{};
    RECT DisplayRect{};

private:
    hostlib::TObject* owner_ = nullptr;
};

// An element that lights up under the mouse and may want a hint.
class IcxHotTrackElement {
public:
    virtual POINT GetOrigin() = 0;
    virtual bool IsNeedHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine, RECT& textRect,
                            bool& isNeedOffsetHint) = 0;
    // (-1, -1): the pointer has left the element.
    virtual void UpdateHotTrackState(const POINT& p) = 0;

protected:
    ~IcxHotTrackElement() = default;
};

class TcxEditCellViewInfo : public TcxCustomViewInfoItem, public IcxHotTrackElement {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void CheckClipping(const RECT& displayRect, const RECT& availableRect) override;
    using TcxCustomViewInfoItem::CheckClipping;
    void DoCalculate() override;
    TcxEditingControl* GetControl() override;
    void Assign(TcxCustomViewInfoItem* source) override;

    // The top-left corner of the editor's view info.
    POINT GetOrigin() override;
    bool IsNeedHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine, RECT& textRect,
                    bool& isNeedOffsetHint) override;
    void UpdateHotTrackState(const POINT& p) override;
    virtual bool ChangedHeight(int prevHeight, int height);
    virtual RECT ContentOffset() { return RECT{1, 1, 1, 1}; }
    virtual TcxEditButtonTransparency GetButtonTransparency();
    virtual hostlib::Variant GetDisplayValue();
    virtual TcxCustomInplaceEditContainer* GetEditContainer();
    virtual TcxViewParams GetEditViewParams();
    virtual bool GetFocused();
    virtual int GetMaxLineCount();
    virtual int GetRecordIndex() { return 0; }
    virtual hostlib::TColor GetSelectedTextColor();
    virtual hostlib::TColor GetSelectedBKColor();
    virtual void* GetViewInfoData();
    virtual bool IsAutoHeight();
    virtual bool IsEndEllipsis();
    virtual bool IsSupportedHotTrack();
    virtual bool Refresh(bool recalculate);

    int CalculateEditHeight();
    void SetBounds(const RECT& displayRect, const RECT& availableRect);
    bool Transparent() const;
    void SetTransparent(bool value);
    // Takes a view data; owned says whether the cell frees it.
    void SetViewData(TcxCustomEditViewData* viewData, bool owned);
    void SetViewInfo(TcxCustomEditViewInfo* viewInfo);
    bool ViewDataOwned() const { return viewDataOwned_; }
    int Height() const { return height_; }

    RECT EditRect{};
    hostlib::Variant Value;
    RECT ContentRect{};
    TcxBorders Borders;
    TcxCustomEditProperties* Properties = nullptr;
    TcxCustomEditViewInfo* ViewInfo() const { return viewInfo_; }
    TcxCustomEditViewData* ViewData() const { return viewData_; }

protected:
    void Destroy() override;

private:
    void FreeViewData();

    int height_ = 0;
    bool viewDataOwned_ = false;
    TcxCustomEditViewInfo* viewInfo_ = nullptr;
    TcxCustomEditViewData* viewData_ = nullptr;
};

// AItem exists, is visible and holds the point (half-open).
bool cxPtInViewInfoItem(TcxCustomViewInfoItem* item, const POINT& p);
// The control's edit style takes the look of the cell.
void cxAssignEditStyle(TcxEditCellViewInfo* cell);

// ---- painter ------------------------------------------------------------------------

class TcxCustomControlPainter : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxEditingControl* control);

    virtual void AfterCustomDraw(TcxCustomViewInfoItem* item);
    virtual void BeforeCustomDraw(TcxCustomViewInfoItem* item);
    virtual void DoPaintEditCell(TcxEditCellViewInfo* cell, bool isExcludeRect = true);
    virtual void DoPaint();

    void Paint();
    bool DoCustomDraw(TcxCustomViewInfoItem* item, const TcxCustomDrawViewInfoItemEvent& event);
    bool Buffered() const { return buffered_; }
    void SetBuffered(bool value);
    TcxCustomLookAndFeelPainterClass GetPainter() const;
    TcxCustomControlViewInfo* GetViewInfo() const;
    TcxEditingControl* Control() const { return control_; }
    TcxCanvas* Canvas() const { return canvas_; }
    void SetCanvas(TcxCanvas* value) { canvas_ = value; }

protected:
    void Destroy() override;

private:
    void PaintBuffered();

    TcxViewParams savedParams_;
    hostlib::ObjectPtr<hostlib::TBitmap> buffer_;
    hostlib::ObjectPtr<TcxCanvas> bufferCanvas_;
    bool buffered_ = false;
    TcxEditingControl* control_ = nullptr;
    TcxCanvas* canvas_ = nullptr;
    hostlib::ObjectPtr<hostlib::TFont> savedFont_;
    hostlib::TColor savedTextColor_ = hostlib::clDefault;
    hostlib::TColor savedBackgroundColor_ = hostlib::clDefault;
};

// ---- styles -------------------------------------------------------------------------

inline constexpr int ecs_Content = 0;
inline constexpr int ecs_Background = 1;
inline constexpr int ecs_Inactive = 2;
inline constexpr int ecs_Selection = 3;

using TcxGetContentStyleEvent = hostlib::Event<hostlib::TObject*, void*, TcxStyle*&>;

class TcxCustomControlStyles : public TcxStyles {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    void Assign(hostlib::TPersistent* source) override;
    void Changed(int index) override;
    using TcxStyles::Changed;
    void GetDefaultViewParams(int index, void* data, TcxViewParams& params) override;

    TcxViewParams GetBackgroundParams();
    TcxViewParams GetSelectionParams();
    // One shared style, overwritten by each call.
    TcxStyle* GetDefaultStyle(int index, void* data);
    TcxEditingControl* GetControl() const;
    TcxCustomLookAndFeelPainterClass GetPainter() const;

    TcxStyle* Content() const { return GetValue(ecs_Content); }
    void SetContent(TcxStyle* value) { SetValue(ecs_Content, value); }
    TcxStyle* Background() const { return GetValue(ecs_Background); }
    void SetBackground(TcxStyle* value) { SetValue(ecs_Background, value); }
    TcxStyle* Inactive() const { return GetValue(ecs_Inactive); }
    void SetInactive(TcxStyle* value) { SetValue(ecs_Inactive, value); }
    TcxStyle* Selection() const { return GetValue(ecs_Selection); }
    void SetSelection(TcxStyle* value) { SetValue(ecs_Selection, value); }

    TcxGetContentStyleEvent OnGetContentStyle;

protected:
    void Destroy() override;

private:
    hostlib::ObjectPtr<TcxStyle> defaultStyle_;
};

class TcxEditContainerStyles : public TcxStyles {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void Changed(int index) override;
    using TcxStyles::Changed;

    TcxCustomInplaceEditContainer* GetContainer() const;
    TcxEditingControl* GetControl() const;
    TcxCustomControlStyles* GetControlStyles() const;

    TcxStyle* Content() const { return GetValue(ecs_Content); }
    void SetContent(TcxStyle* value) { SetValue(ecs_Content, value); }
};

// The first style of the list that gives a value wins, value by value; the
// defaults of the index fill the rest.
void cxStylesToViewParams(TcxCustomControlStyles* styles, int index, void* data,
                          std::initializer_list<TcxStyle*> styleList, TcxViewParams& params);
