#pragma once
// The tree list's layout: the control-level view info that partitions the
// client area into band headers, column headers, the node area and the
// footer, places the bands with the fixed ones pinned to the edges, and
// keeps the horizontal scroll state; and the header-side items it places
// (the band and column view infos with their header and footer items, the
// indicator corner cells). Scrolling moves the items by offsets instead of
// recalculating them.

#include <vector>

#include "components/treelist/cxInplaceContainerViewInfo.h"

class TcxTreeListNode;
class TcxTreeListColumn;
class TcxTreeListBand;
class TcxTreeListCaption;
class TcxTreeListColumnSummaryFooter;
class TcxTreeListOptionsView;
class TcxCustomTreeListControl;
class TcxTreeListViewInfo;
class TcxTreeListBandViewInfo;
class TcxTreeListColumnViewInfo;
class IcxDragSizing;

enum TcxTreeListBandFixedKind { tlbfNone, tlbfLeft, tlbfRight };
enum TcxDragSizingDirection { dsdHorz, dsdVert };

// ---- item base ----------------------------------------------------------------------

class TcxTreeListViewInfoItem : public TcxCustomViewInfoItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TObject* owner) override;
    void DoCalculate() override;
    void DoHorzOffset(int) override {}
    void DoVertOffset(int) override {}
    TcxEditingControl* GetControl() override;
    // Clipping against clip, then the item's own calculation.
    virtual void Calculate(const RECT& displayRect, const RECT& clipRect);
    virtual TcxCustomTreeListControl* GetTreeList() = 0;

    // Moves the display rectangle and clips it again; an item that comes
    // into view is recalculated. True when the visibility did not change.
    bool ShiftItem(const RECT& clip, int dx, int dy);
    TcxTreeListOptionsView* GetOptionsView();
    TcxTreeListViewInfo* GetTreeListViewInfo();
    hostlib::TBrush* Brush() const { return brush_.get(); }

protected:
    void Destroy() override;

private:
    hostlib::ObjectPtr<hostlib::TBrush> brush_;
};

// One indicator cell: per row and the two corner cells.
class TcxTreeListIndicatorViewInfo : public TcxTreeListViewInfoItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Only while the indicator is shown; otherwise the item stays as it was.
    void Calculate(const RECT& r, const RECT& clip) override;
    void DoCalculate() override;
    void DoVertOffset(int dy) override;
    TcxCustomTreeListControl* GetTreeList() override;
    void UpdateKind(TcxIndicatorKind kind);

    TcxIndicatorKind Kind = ikNone;

private:
    TcxTreeListViewInfo* Layout() const;
};

class TcxTreeListFooterItemViewInfo : public TcxTreeListViewInfoItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoHorzOffset(int dx) override;
    TcxCustomTreeListControl* GetTreeList() override;
    TcxTreeListColumn* GetColumn() const;
    TcxTreeListBandViewInfo* GetBandViewInfo() const;
    TcxTreeListColumnSummaryFooter* GetFooterSummary() const;
    hostlib::TAlignment AlignHorz() const;
    TcxAlignmentVert AlignVert() const;
    bool MultiLine() const;
    std::string Text() const;
    bool GetVisible() const;
};

class TcxTreeListHeaderViewInfo : public TcxTreeListViewInfoItem, public IcxHotTrackElement {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoCalculate() override;
    void DoHorzOffset(int dx) override;
    TcxCustomTreeListControl* GetTreeList() override;

    virtual const TcxCustomDrawViewInfoItemEvent* CustomDrawEvent();
    virtual TcxTreeListBandViewInfo* GetBandViewInfo();
    virtual TcxTreeListCaption* GetCaption();
    virtual void ButtonStateChanged(bool wasPressed, bool isPressed);
    virtual bool CanDropAt(const POINT& p);
    virtual RECT GetDisplayRect() { return DisplayRect; }
    virtual IcxDragSizing* GetDragSizing();
    virtual RECT GetDroppingRect();
    virtual bool GetSelected();
    virtual TcxDataSortOrder GetSortOrder() { return soNone; }
    virtual void InitViewParams();
    POINT GetOrigin() override { return POINT{DisplayRect.left, DisplayRect.top}; }
    bool IsNeedHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine, RECT& textRect,
                    bool& isNeedOffsetHint) override;
    void UpdateHotTrackState(const POINT&) override {}

    std::string GetText();
    hostlib::TAlignment GetAlignHorz();
    TcxAlignmentVert GetAlignVert();
    hostlib::TBitmap* GetGlyph();
    hostlib::TAlignment GetGlyphAlignHorz();
    TcxAlignmentVert GetGlyphAlignVert();
    bool GetState(int bit);
    TcxButtonState GetButtonState();
    bool GetHotTrack();
    void UpdateState();
    void SetPressed(bool value);

    TcxBorders Borders;
    POINT GlyphPos{0, 0};
    TcxNeighbors Neighbors;
    bool Pressed = false;
    TcxButtonState ButtonState = cxbsDefault;
    RECT SortMarkRect{};
    RECT TextRect{};
    bool GlyphClipped = false;

protected:
    void Destroy() override;
    TcxTreeListBandViewInfo* OwnerBandViewInfo() const;

private:
    void DoCalculateGlyphPosition();

    int hintLock_ = 0;
};

class TcxTreeListColumnHeaderViewInfo : public TcxTreeListHeaderViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoCalculate() override;
    TcxCustomTreeListControl* GetTreeList() override;
    const TcxCustomDrawViewInfoItemEvent* CustomDrawEvent() override;
    TcxTreeListBandViewInfo* GetBandViewInfo() override;
    TcxTreeListCaption* GetCaption() override;
    void ButtonStateChanged(bool wasPressed, bool isPressed) override;
    bool CanDropAt(const POINT&) override { return true; }
    RECT GetDisplayRect() override;
    IcxDragSizing* GetDragSizing() override;
    RECT GetDroppingRect() override;
    bool GetSelected() override;
    TcxDataSortOrder GetSortOrder() override;
    void InitViewParams() override;

    TcxTreeListColumn* GetColumn() const;

    bool OverlapLeft = false;

private:
    bool IsFirstInRow() const;
    bool IsLastInRow() const;
};

// Owned by a band; places the band's header and the headers and footers of
// its columns.
class TcxTreeListBandViewInfo : public TcxTreeListViewInfoItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TObject* owner) override;
    void DoCalculate() override;
    void DoHorzOffset(int dx) override;
    TcxCustomTreeListControl* GetTreeList() override;
    virtual void CheckOpaque();

    TcxTreeListBand* GetBand() const;
    TcxTreeListColumnViewInfo* GetColumn(int index) const { return columns_.at(static_cast<std::size_t>(index)); }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int GetDisplayWidth() const;
    TcxTreeListBandFixedKind GetFixed() const;
    // Never shrinks the storage; empties the column list.
    void SetCapacity(int count);
    void CalcFooterRect();
    void DoCalculateColumns();
    TcxTreeListHeaderViewInfo* Header() const { return header_.get(); }
    hostlib::TBrush* BackgroundBrush() const { return backgroundBrush_.get(); }
    hostlib::TBrush* FooterBrush() const { return footerBrush_.get(); }

    TcxViewParams BackgroundParams;
    RECT FooterRect{};
    TcxViewParams FooterParams;
    bool Opaque = false;

protected:
    void Destroy() override;

private:
    hostlib::ObjectPtr<TcxTreeListHeaderViewInfo> header_;
    std::vector<TcxTreeListColumnViewInfo*> columns_;
    hostlib::ObjectPtr<hostlib::TBrush> backgroundBrush_;
    hostlib::ObjectPtr<hostlib::TBrush> footerBrush_;
};

// Owned by a column: where its header and footer go inside its band.
class TcxTreeListColumnViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxTreeListColumn* column);
    virtual void DoCalculate();
    virtual void DoHorzOffset(int dx);

    int GetDisplayWidth() const;
    int GetLineCount() const;
    TcxTreeListBandViewInfo* GetBandViewInfo() const;
    int GetFooterCellsOffset() const;
    RECT CalcHeaderRect() const;
    RECT CalcFooterRect() const;
    TcxTreeListColumn* Column() const { return column_; }
    TcxTreeListColumnHeaderViewInfo* ColumnHeader() const { return header_.get(); }
    TcxTreeListFooterItemViewInfo* ColumnFooter() const { return footer_.get(); }

    int XOfs = 0;
    int YOfs = 0;

protected:
    void Destroy() override;

private:
    TcxTreeListViewInfo* Layout() const;

    TcxTreeListColumn* column_ = nullptr;
    hostlib::ObjectPtr<TcxTreeListColumnHeaderViewInfo> header_;
    hostlib::ObjectPtr<TcxTreeListFooterItemViewInfo> footer_;
};

// ---- the node area ------------------------------------------------------------------

// The rows of the node area. Until rows are laid out it keeps the top of
// the visible range and the rectangles the rows will fill.
class TcxTreeListNodesViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxTreeListViewInfo* owner) { owner_ = owner; }
    virtual void DoCalculate(bool recalculateTemplate);
    virtual void DoHorzOffset(int) {}
    virtual void DoVertOffset(int rows);
    virtual void MakeNodeVisible(TcxTreeListNode* node);
    virtual void SetLastVisibleNode(TcxTreeListNode* node);
    virtual void SynchronizeTopNode();
    virtual void UpdateSelectedNodes() {}

    void NeedViewInfoUpdatePost()
    {
        NeedSynchronize = true;
        NeedUpdatePos = true;
    }
    int GetTopVisibleIndex() const;
    TcxTreeListViewInfo* Owner() const { return owner_; }

    bool NeedSynchronize = false;
    bool NeedUpdatePos = false;
    RECT RowsRect{};
    RECT ScrollRect{};
    RECT SpaceArea{};
    int Count = 0;
    int IndentWidth = 0;
    int VisibleCount = 0;
    TcxTreeListNode* TopNode = nullptr;

private:
    TcxCustomTreeListControl* TreeList() const;

    TcxTreeListViewInfo* owner_ = nullptr;
};

// ---- the layout ---------------------------------------------------------------------

class TcxTreeListViewInfo : public TcxCustomControlViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(TcxEditingControl* control) override;
    void CalculateDefaultEditHeight() override;
    void CalculateDefaultHeights() override;
    void DoCalculate() override;
    void UpdateSelection() override;
    virtual void CalculateDefaultViewParams();
    virtual void CalculateHeaderFooterViewInfo();
    virtual void CheckScrolling();
    virtual void DoScrollHorizontal(int newPosition);
    virtual void DoScrollVertical(int delta);
    virtual hostlib::TClass GetIndicatorViewInfoClass();
    virtual hostlib::TClass GetNodesViewInfoClass();
    virtual void UpdateFootersViewInfo();
    virtual void InvalidateScrollRect(TcxDragSizingDirection direction);

    // Derived offsets.
    int GetBorderSize() const;
    int GetContentOffset() const;
    int GetHeaderOffset() const;
    int GetCellsOffset() const;
    int GetFooterOffset() const;
    int GetCellsHeight() const { return GetFooterOffset() - GetCellsOffset(); }
    int GetDefaultHeight() const;
    TcxTreeListBandViewInfo* GetBand(int index) const { return bands_.at(static_cast<std::size_t>(index)); }
    TcxTreeListBandViewInfo* GetVisibleBand(int index) const;
    int GetVisibleBandCount() const;
    TcxTreeListOptionsView* GetOptionsView() const;
    TcxCustomTreeListControl* GetTreeList() const;
    TcxBrushCache* GetBrushManager() const;

    void SetBandCount(int count);
    void SetBandViewParams(TcxTreeListBand* band);
    void SetColumnViewParams(TcxTreeListColumn* column);
    void SetHeaderSizeValue(const TcxViewParams& params, int& height, TcxViewParams& out, int extra, bool visible);
    int CalcBandRect(RECT& r, int width, TcxTreeListBandFixedKind kind, int left);
    void CalculateCellRects();
    void InvalidateRect(const RECT& r);

    TcxTreeListNodesViewInfo* NodesViewInfo() const { return nodesViewInfo_.get(); }
    TcxTreeListIndicatorViewInfo* HeaderIndicator() const { return headerIndicator_.get(); }
    TcxTreeListIndicatorViewInfo* FooterIndicator() const { return footerIndicator_.get(); }
    hostlib::TBrush* FooterBrush() const { return footerBrush_.get(); }
    hostlib::TBrush* GridLineBrush() const { return gridLineBrush_.get(); }
    hostlib::TBrush* FixedSeparatorBrush() const { return fixedSeparatorBrush_.get(); }
    // The header the mouse holds down; at most one.
    TcxTreeListHeaderViewInfo* PressedHeader() const { return pressedHeader_; }
    void SetPressedHeader(TcxTreeListHeaderViewInfo* header) { pressedHeader_ = header; }

    int BandCount = 0;
    TcxTreeListBandViewInfo* FixedBands[3] = {nullptr, nullptr, nullptr};
    RECT ScrollArea{};
    bool ScrollAreaVisible = false;
    RECT FixedSeparators[2]{};
    hostlib::TBitmap* BackgroundBitmap = nullptr;
    int BandLineHeight = 0;
    RECT CellsRect{};
    RECT VisibleCellsRect{};
    int ExpandButtonSize = 0;
    hostlib::TBitmap* FooterBitmap = nullptr;
    hostlib::TColor FooterColor = hostlib::clDefault;
    int FooterLineHeight = 0;
    RECT FooterRect{};
    RECT FooterSeparators[2]{};
    RECT HeaderIndicatorRect{};
    int HeaderLineHeight = 0;
    RECT HeaderSeparators[2]{};
    TcxViewParams IndicatorParams;
    int PreviewLineHeight = 0;
    RECT PrevClientRect{};
    hostlib::TColor RealTreeLineColor = 0;
    int PrevContentWidth = 0;
    int HorzScrollStep = 0;
    int ViewportWidth = 0;
    int HorzScrollPos = 0;
    int ContentWidth = 0;

protected:
    void Destroy() override;

private:
    int FontHeaderHeight(hostlib::TFont* font) const;
    bool HasFooterPanel() const;
    void CalculateSeparators();
    void CalculateIndicators();
    // Band and column parameters are refreshed with the default heights; a
    // change of the visible bands or columns without a style change must
    // refresh them too.
    bool VisibleItemsChanged() const;

    std::vector<TcxTreeListBandViewInfo*> bands_;
    hostlib::ObjectPtr<TcxTreeListNodesViewInfo> nodesViewInfo_;
    hostlib::ObjectPtr<TcxTreeListIndicatorViewInfo> headerIndicator_;
    hostlib::ObjectPtr<TcxTreeListIndicatorViewInfo> footerIndicator_;
    hostlib::ObjectPtr<hostlib::TBrush> footerBrush_;
    hostlib::ObjectPtr<hostlib::TBrush> gridLineBrush_;
    hostlib::ObjectPtr<hostlib::TBrush> fixedSeparatorBrush_;
    TcxTreeListHeaderViewInfo* pressedHeader_ = nullptr;
    std::vector<TcxTreeListBand*> calculatedBands_;
    std::vector<std::pair<TcxTreeListColumn*, TcxTreeListBand*>> calculatedColumns_;
};
