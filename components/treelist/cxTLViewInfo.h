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

enum TcxTreeListBandFixedKind { tlbfNone, tlbfLeft, tlbfRight };

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

class TcxTreeListHeaderViewInfo : public TcxTreeListViewInfoItem, public IcxHotTrackElement, public IcxDragSizing {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Sizing the header sizes what it heads.
    bool CanSizing(TcxDragSizingDirection direction) override;
    RECT GetSizingBoundsRect(TcxDragSizingDirection direction) override;
    int GetSizingIncrement(TcxDragSizingDirection direction) override;
    bool IsDynamicUpdate() override;
    void SetSizeDelta(TcxDragSizingDirection direction, int delta) override;

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

// ---- row items ----------------------------------------------------------------------

class TcxTreeListNodeViewInfo;
class TcxTreeListNodesViewInfo;
class TcxTreeListCellsGroupViewInfo;
class TcxTreeListPreview;

// One cell of a row: a column's value painted by the column's editor.
class TcxTreeListEditCellViewInfo : public TcxEditCellViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoHorzOffset(int dx) override { ShiftItem(dx, 0); }
    void DoVertOffset(int dy) override { ShiftItem(0, dy); }
    void Assign(TcxCustomViewInfoItem* source) override;
    bool IsTransparent() override;
    bool ChangedHeight(int prevHeight, int height) override;
    RECT ContentOffset() override { return RECT{1, 1, 1, 1}; }
    TcxEditButtonTransparency GetButtonTransparency() override;
    hostlib::Variant GetDisplayValue() override;
    TcxCustomInplaceEditContainer* GetEditContainer() override;
    TcxViewParams GetEditViewParams() override;
    bool GetFocused() override;
    int GetRecordIndex() override;
    hostlib::TColor GetSelectedTextColor() override;
    hostlib::TColor GetSelectedBKColor() override;
    void* GetViewInfoData() override { return GetNode(); }
    bool IsAutoHeight() override;
    bool IsEndEllipsis() override;

    virtual TcxTreeListNode* GetNode();
    virtual TcxTreeListNodesViewInfo* GetNodesViewInfo();
    virtual TcxTreeListNodeViewInfo* GetNodeViewInfo();
    virtual TcxCustomTreeListControl* GetTreeList();
    virtual const TcxCustomDrawViewInfoItemEvent* CustomDrawEvent();
    virtual TcxTreeListColumn* GetColumn();
    virtual bool GetHotTrack();
    virtual int GetLineCount();
    virtual int GetLineOffset();
    virtual bool GetSelected();
    virtual TcxViewParams GetTreeListEditCellParams();
    virtual void ShiftItem(int dx, int dy);

    TcxViewParams IncSearchParams();
    // With row auto height the cell spans the row; otherwise it keeps its
    // height and its offset inside the row.
    void SetPosition(int top, int height, const RECT& clip);
    void UpdateViewInfoPosition();

    int GroupIndex = 0;
    TcxTreeListColumnViewInfo* ColumnViewInfo = nullptr;
};

// The one cell of a group row (categorized painting), across all bands.
class TcxTreeListGroupNodeEditViewInfo : public TcxTreeListEditCellViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoCalculate() override;
    bool ChangedHeight(int prevHeight, int height) override;
    TcxTreeListColumn* GetColumn() override;
    void ShiftItem(int dx, int dy) override;
    virtual void Update();

    RECT GetCellRect();
};

// The preview text of a row, above or below its cells.
class TcxTreeListNodePreviewViewInfo : public TcxTreeListEditCellViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TObject* owner) override;
    void DoCalculate() override;
    RECT ContentOffset() override;
    TcxEditButtonTransparency GetButtonTransparency() override { return ebtHideInactive; }
    const TcxCustomDrawViewInfoItemEvent* CustomDrawEvent() override;
    int GetMaxLineCount() override;
    bool IsAutoHeight() override;
    TcxTreeListColumn* GetColumn() override;
    bool GetHotTrack() override { return false; }
    int GetLineCount() override { return GetMaxLineCount(); }
    int GetLineOffset() override { return 0; }
    TcxViewParams GetTreeListEditCellParams() override;
    void ShiftItem(int dx, int dy) override;
    virtual void DoInitPreviewSettings(int top);
    virtual void Update();

    int CheckPreviewHeight(int offsets);
    RECT GetPreviewRect();

    TcxTreeListPreview* Preview = nullptr;
    int PreviewHeight = 0;
};

// The cells of one band in a row.
class TcxTreeListCellsGroupViewInfo : public TcxTreeListViewInfoItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(TcxCustomViewInfoItem* source) override;
    void DoCalculate() override;
    void DoHorzOffset(int dx) override { ShiftGroup(dx, 0); }
    void DoVertOffset(int dy) override { ShiftGroup(0, dy); }
    TcxCustomTreeListControl* GetTreeList() override;
    virtual void DoCalculateCellsLayout();
    virtual bool GetHotTrack();
    virtual bool GetSelected();
    virtual hostlib::TBitmap* GetGroupBitmap();
    virtual void SetSize(int top, int height);
    virtual void ShiftGroup(int dx, int dy);

    TcxTreeListNodeViewInfo* GetNodeViewInfo() const;
    TcxTreeListNode* GetNode() const;
    TcxTreeListBand* GetBand() const;
    bool GetFixed() const;
    int GetCount() const { return EndCell - FirstCell; }
    TcxTreeListEditCellViewInfo* GetCell(int index) const;
    int GetCellsHeight();
    hostlib::TBrush* GetCurrentBrush();
    void CalculateEditCellRect(TcxTreeListEditCellViewInfo* cell, int bandLeft);

    bool BandOpaque = false;
    TcxTreeListBandViewInfo* BandViewInfo = nullptr;
    TcxBorders Borders;
    int FirstCell = 0;
    int EndCell = 0;
};

// Tree-line flags of an indent.
inline constexpr int tlifUp = 1, tlifDown = 2, tlifRight = 4;

// One indent of a row: a tree level with its lines and expand button, or
// an image.
class TcxTreeListIndentViewInfo : public TcxTreeListViewInfoItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void DoCalculate() override;
    void DoHorzOffset(int dx) override { ShiftIndent(dx, 0); }
    void DoVertOffset(int dy) override { ShiftIndent(0, dy); }
    TcxCustomTreeListControl* GetTreeList() override;
    virtual void ShiftIndent(int dx, int dy);

    TcxTreeListNodeViewInfo* GetNodeViewInfo() const;
    TcxTreeListNode* GetNode() const { return Node; }
    TcxTreeListNodeViewInfo* GetNextVisible() const;
    TcxTreeListNodeViewInfo* GetPrevVisible() const;
    bool GetIsExpanded() const;
    RECT GetButtonRect();
    void UpdateImageIndex();

    TcxBorders Borders;
    int Lines = 0;
    bool ImageValid = false;
    bool HasButton = false;
    RECT HorzLineRect{};
    int ImageIndex = -1;
    bool IsStateImage = false;
    hostlib::TCustomImageList* Images = nullptr;
    RECT VertLineRect{};
    int Level = 0;
    bool IsLevel = false;
    int ImageKind = 0; // a TcxTreeListImageIndexType
    TcxTreeListNode* Node = nullptr;
};

// ---- rows ---------------------------------------------------------------------------

// One row of the node area.
class TcxTreeListNodeViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxTreeListNodesViewInfo* owner);
    virtual void DoCalculate();
    virtual void DoCalculateAutoHeights();
    virtual void DoCalculateCellsViewInfo();
    virtual void DoCalculateImageIndents(int& right);
    virtual int DoCalculateIndentsLayout();
    virtual void DoCalculateIndentsViewInfo();
    virtual void DoCalculateLayout();
    virtual void DoHorzOffset(int dx);
    virtual void DoVertOffset(int dy);
    virtual TcxIndicatorKind GetNodeIndicatorKind();
    virtual void Update(bool force);
    virtual void UpdateClipping();
    virtual void UpdateImageIndexes();
    virtual void UpdatePostCalculate(int top, int index);
    void AssignLayoutTo(TcxTreeListNodeViewInfo* row);

    TcxTreeListCellsGroupViewInfo* GetGroup(int i) const { return groups_.at(static_cast<std::size_t>(i)).get(); }
    int GetGroupCount() const { return static_cast<int>(groups_.size()); }
    TcxTreeListEditCellViewInfo* GetCell(int i) const { return cells_.at(static_cast<std::size_t>(i)).get(); }
    int GetCellCount() const { return static_cast<int>(cells_.size()); }
    TcxTreeListIndentViewInfo* GetIndent(int i) const { return indents_.at(static_cast<std::size_t>(i)).get(); }
    int GetIndentCount() const { return indentCount_; }
    int GetIndentWidth() const;
    int GetRealHeight() const;
    int GetVisibleIndex() const;
    bool GetHotTrack() const;
    RECT GetFocusRect();
    RECT GetVisibleRect(bool fixed) const;
    TcxTreeListCellsGroupViewInfo* AddGroup(TcxTreeListBandViewInfo* band, int x);
    void AddCell(TcxTreeListColumnViewInfo* column, int groupIndex);
    void ReallocateData(int groupCount, int cellCount);
    void UpdateContentRects();
    void UpdateLinks();
    void Clear();

    TcxTreeListNodesViewInfo* Owner() const { return owner_; }
    TcxTreeListIndicatorViewInfo* Indicator() const { return indicator_.get(); }
    TcxTreeListNodePreviewViewInfo* Preview() const { return preview_.get(); }
    TcxTreeListGroupNodeEditViewInfo* GroupNodeEdit() const { return groupNodeEdit_.get(); }

    TcxTreeListNode* Node = nullptr;
    bool CellsCalculated = false;
    bool Focused = false;
    bool HasButton = false;
    bool HasPreview = false;
    bool Selected = false;
    bool Visible = false;
    bool IsGroup = false;
    bool Expanded = false;
    TcxBorders Borders;
    int Level = 0;
    TcxTreeListEditCellViewInfo* FocusedCell = nullptr;
    TcxTreeListNodeViewInfo* NextVisible = nullptr;
    TcxTreeListNodeViewInfo* PrevVisible = nullptr;
    int IndentLeft = 0;
    RECT CellsArea{};
    RECT RowClipRect{};
    RECT ContentRect{};
    int CellsOffset = 0;
    int PreviewTop = 0;
    int CellsMaxHeight = 0;
    int CellsMaxHeightCount = 0;
    TcxTreeListCellsGroupViewInfo* LeftFixedGroup = nullptr;
    TcxTreeListCellsGroupViewInfo* RightFixedGroup = nullptr;
    RECT Separators[2]{};
    int Index = 0;
    int Top = 0;

protected:
    void Destroy() override;

private:
    TcxCustomTreeListControl* TreeList() const;
    TcxTreeListViewInfo* Layout() const;
    void SetIndentCount(int count);
    void CalculateIndentInfo(int& right);
    void CalculateIndentBorders(int nextCount);
    bool RefreshItems(bool refresh);

    TcxTreeListNodesViewInfo* owner_ = nullptr;
    std::vector<hostlib::ObjectPtr<TcxTreeListCellsGroupViewInfo>> groups_;
    std::vector<hostlib::ObjectPtr<TcxTreeListEditCellViewInfo>> cells_;
    // Indent objects are pooled; the first indentCount_ are in use.
    std::vector<hostlib::ObjectPtr<TcxTreeListIndentViewInfo>> indents_;
    int indentCount_ = 0;
    hostlib::ObjectPtr<TcxTreeListIndicatorViewInfo> indicator_;
    hostlib::ObjectPtr<TcxTreeListNodePreviewViewInfo> preview_;
    hostlib::ObjectPtr<TcxTreeListGroupNodeEditViewInfo> groupNodeEdit_;
};

// The rows of the node area, from the top node down to the first row that
// does not fit. Row objects are pooled and reused from node to node.
class TcxTreeListNodesViewInfo : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxTreeListViewInfo* owner) { owner_ = owner; }
    virtual int Add(TcxTreeListNode* node);
    virtual void BeforeShowEdit() { PostViewInfoUpdate(); }
    virtual void CalculatePreviewHeight();
    virtual void DoCalculate(bool recalculateTemplate);
    virtual void DoCalculateShiftUp(int count);
    virtual void DoCalculateShiftDown(int count);
    virtual void DoHorzOffset(int dx);
    virtual void DoVertOffset(int rows);
    virtual void FocusedRecordChanged(TcxTreeListNode* previous, TcxTreeListNode* node);
    virtual void MakeNodeVisible(TcxTreeListNode* node);
    virtual void ProcessNodes(TcxTreeListNode* node, bool stopAtBottom);
    virtual void SetLastVisibleNode(TcxTreeListNode* node);
    virtual void SynchronizeTopNode();
    virtual void UpdateSelectedNodes();
    virtual void UpdatePostCalculate();
    virtual void UpdateData();
    virtual hostlib::TClass GetGroupViewInfoItemClass() { return TcxTreeListCellsGroupViewInfo::StaticClass(); }
    virtual hostlib::TClass GetEditCellViewInfoItemClass() { return TcxTreeListEditCellViewInfo::StaticClass(); }
    virtual hostlib::TClass GetIndentViewInfoItemClass() { return TcxTreeListIndentViewInfo::StaticClass(); }
    virtual hostlib::TClass GetNodePreviewViewInfoClass() { return TcxTreeListNodePreviewViewInfo::StaticClass(); }
    virtual hostlib::TClass GetNodeViewInfoClass() { return TcxTreeListNodeViewInfo::StaticClass(); }

    TcxTreeListNodeViewInfo* GetNodeViewInfo(int i) const { return rows_.at(static_cast<std::size_t>(i)).get(); }
    bool FindNodeViewInfo(TcxTreeListNode* node, TcxTreeListNodeViewInfo*& row) const;
    int GetTopVisibleIndex() const;
    int GetMaxVisibleIndex() const;
    TcxTreeListNode* GetNextNodeFromViewInfo(int i) const;
    int PoolSize() const { return static_cast<int>(rows_.size()); }
    int Capacity() const { return static_cast<int>(rows_.capacity()); }
    void AddNode(TcxTreeListNode* node);
    int MoveFirstToLatest(bool keepOne);
    void ChangeDirection() { IsAddFirst = !IsAddFirst; }
    void ClearState();
    void Clear();
    void NeedUpdatePost() { UpdatePost = true; }
    void CancelUpdatePost() { UpdatePost = false; }
    void NeedViewInfoUpdatePost()
    {
        NeedSynchronize = true;
        NeedUpdatePos = true;
    }
    bool PostViewInfoUpdate();
    void PostUpdate();
    bool GetScrollWindow() const { return false; }
    void ProcessAddNode(TcxTreeListNode*& node, bool& full);
    // A node being deleted: the layout keeps no reference to it.
    void NodeDeleting(TcxTreeListNode* node);
    TcxTreeListViewInfo* Owner() const { return owner_; }
    TcxTreeListNodeViewInfo* Template() const { return template_.get(); }
    TcxCustomTreeListControl* TreeList() const;

    bool NeedSynchronize = false;
    bool NeedUpdatePos = false;
    bool UpdatePost = false;
    bool SelectionUpdating = false;
    RECT RowsRect{};
    int Count = 0;
    int IndentWidth = 0;
    bool IsAddFirst = false;
    bool IsRowAutoHeight = false;
    int NodesBottom = 0;
    RECT ScrollRect{};
    RECT SpaceArea{};
    TcxTreeListNode* TopNode = nullptr;
    int VisibleCount = 0;

protected:
    void Destroy() override;

private:
    bool Full() const { return NodesBottom > RowsRect.bottom; }
    void FillRows(TcxTreeListNode* node, bool stopAtBottom);

    TcxTreeListViewInfo* owner_ = nullptr;
    std::vector<hostlib::ObjectPtr<TcxTreeListNodeViewInfo>> rows_;
    int poolCapacity_ = 0;
    hostlib::ObjectPtr<TcxTreeListNodeViewInfo> template_;
};

// A cell that belongs to no row: best fit measures any column and node
// with it.
class TcxTemporaryCellViewInfo : public TcxTreeListEditCellViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    RECT ContentOffset() override { return RECT{}; }
    TcxEditButtonTransparency GetButtonTransparency() override { return ebtNone; }
    bool GetFocused() override { return focused_; }
    bool IsAutoHeight() override { return false; }
    bool IsEndEllipsis() override { return false; }
    TcxTreeListNode* GetNode() override { return node_; }
    TcxTreeListColumn* GetColumn() override { return column_; }
    TcxCustomTreeListControl* GetTreeList() override;
    bool GetSelected() override { return false; }
    TcxViewParams GetEditViewParams() override { return GetTreeListEditCellParams(); }

    void Prepare(TcxTreeListColumn* column, TcxTreeListNode* node, bool focused);

protected:
    void Destroy() override;

private:
    TcxTreeListColumn* column_ = nullptr;
    TcxTreeListNode* node_ = nullptr;
    bool focused_ = false;
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
    void PostEditUpdate();

    std::vector<TcxTreeListBandViewInfo*> bands_;
    hostlib::ObjectPtr<TcxTreeListNodesViewInfo> nodesViewInfo_;
    hostlib::ObjectPtr<TcxTreeListIndicatorViewInfo> headerIndicator_;
    hostlib::ObjectPtr<TcxTreeListIndicatorViewInfo> footerIndicator_;
    hostlib::ObjectPtr<hostlib::TBrush> footerBrush_;
    hostlib::ObjectPtr<hostlib::TBrush> gridLineBrush_;
    hostlib::ObjectPtr<hostlib::TBrush> fixedSeparatorBrush_;
    std::vector<TcxTreeListBand*> calculatedBands_;
    std::vector<std::pair<TcxTreeListColumn*, TcxTreeListBand*>> calculatedColumns_;
};
