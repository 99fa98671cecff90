#pragma once
// The lookup grid: a light, flat, read-only grid of column headers over
// rows, one row per data-controller row, each cell painted by its column's
// editor kind without a live editor. It is the drop-down of the lookup
// combo box (a popup control that hot-tracks) and can stand on a form by
// itself. The layout object keeps the geometry, the painter draws from it;
// popup sizes can be measured before the grid has a window.

#include <memory>
#include <string>
#include <vector>

#include "components/data/cxData.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxEditRepositoryItems.h"
#include "components/editors/cxEditStyles.h"
#include "components/editors/cxEditViewData.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/visual/timer.h"

class TcxCustomLookupGrid;
class TcxLookupGridColumn;

// The foundation declares the grid-line kinds; the lookup grid is the first
// to publish them.
const hostlib::TEnumInfo& EnumTypeInfo(TcxGridLines*);

enum TcxLookupGridChange { lgcLayout, lgcData, lgcFocusedRow };
using TcxLookupGridChanges = hostlib::TSet<TcxLookupGridChange>;
enum TcxLookupGridScrollMode { smNone, smTop, smBottom };
enum TcxLookupGridHitTest { htNone, htHeader, htCell };
enum TcxLookupGridTopRowIndexCalculation { ticNone, ticForward, ticBackward };

struct TcxLookupGridHitInfo {
    TcxLookupGridHitTest HitTest = htNone;
    int RowIndex = -1;
    int ColumnIndex = -1;
};

// (sender, accept): the grid asks its owner to close it.
using TcxLookupGridCloseUpEvent = hostlib::Event<hostlib::TObject*, bool>;

// ---- columns -------------------------------------------------------------------------------

// Display formats of a column follow whether its data keeps texts.
class TcxLookupGridDefaultValuesProvider : public TcxCustomEditDefaultValuesProvider {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    bool IsDisplayFormatDefined(bool isCurrencyValueAccepted) override;
    TcxLookupGridColumn* Column() const;
};

class TcxLookupGridColumn : public hostlib::TCollectionItem, public IcxEditRepositoryItemListener {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;
    void SetIndex(int index) override;

    virtual int CheckWidthValue(int value) { return std::max(value, minWidth_); }
    virtual hostlib::TClass GetDefaultValuesProviderClass();
    virtual TcxValueTypeClass GetValueTypeClass();
    virtual void SetValueTypeClass(TcxValueTypeClass value);
    virtual std::string DefaultCaption() { return {}; }
    virtual TcxEditRepositoryItem* DefaultRepositoryItem();
    virtual int DefaultWidth() { return 64; }
    virtual hostlib::TFont* GetContentFont();
    virtual TcxEditRepositoryItem* GetInternalDefaultRepositoryItem();
    virtual TcxEditRepositoryItem* GetRepositoryItem();
    virtual bool IsLeft();
    virtual bool IsRight();
    virtual void RestoreDefaults();

    // IcxEditRepositoryItemListener.
    void ItemRemoved(TcxEditRepositoryItem* sender) override;
    void PropertiesChanged(TcxEditRepositoryItem* sender) override;

    TcxCustomLookupGrid* Grid() const;
    // The editor properties that paint the column's cells.
    TcxCustomEditProperties* GetProperties();
    TcxCustomEditDefaultValuesProvider* DefaultValuesProvider() const { return provider_.get(); }

    std::string Caption() const { return captionAssigned_ ? caption_ : Mutable()->DefaultCaption(); }
    void SetCaption(const std::string& value);
    bool IsCaptionStored() const { return captionAssigned_; }
    bool Fixed() const { return fixed_; }
    void SetFixed(bool value);
    hostlib::TAlignment HeaderAlignment() const { return headerAlignment_; }
    void SetHeaderAlignment(hostlib::TAlignment value);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    bool Sorting() const { return sorting_; }
    void SetSorting(bool value);
    TcxDataSortOrder SortOrder() const;
    void SetSortOrder(TcxDataSortOrder value);
    TcxEditRepositoryItem* RepositoryItem() const { return repositoryItem_; }
    void SetRepositoryItem(TcxEditRepositoryItem* value);
    int Width() const { return Mutable()->CheckWidthValue(widthAssigned_ ? width_ : Mutable()->DefaultWidth()); }
    void SetWidth(int value);
    bool IsWidthStored() const { return widthAssigned_; }

protected:
    void Destroy() override;
    void ColumnChanged() { Changed(false); }

private:
    // The published getters are const; the answers come from virtuals.
    TcxLookupGridColumn* Mutable() const { return const_cast<TcxLookupGridColumn*>(this); }

    hostlib::ObjectPtr<TcxCustomEditDefaultValuesProvider> provider_;
    hostlib::ObjectPtr<TcxEditRepositoryItem> internalItem_;
    std::string caption_;
    bool captionAssigned_ = false;
    bool fixed_ = false;
    hostlib::TAlignment headerAlignment_ = hostlib::taLeftJustify;
    int minWidth_ = 20;
    bool sorting_ = true;
    TcxEditRepositoryItem* repositoryItem_ = nullptr;
    int width_ = 0;
    bool widthAssigned_ = false;
};

class TcxLookupGridColumns : public hostlib::TCollection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomLookupGrid* grid, hostlib::TClass itemClass);
    using hostlib::TCollection::Construct;
    hostlib::TPersistent* GetOwner() const override;
    void BeginUpdate() override;
    void EndUpdate() override;
    virtual void RestoreDefaults();

    TcxLookupGridColumn* Add() { return static_cast<TcxLookupGridColumn*>(TCollection::Add()); }
    TcxLookupGridColumn* Items(int index) const { return static_cast<TcxLookupGridColumn*>(TCollection::Items(index)); }
    void SetItems(int index, TcxLookupGridColumn* value) { Items(index)->Assign(value); }
    TcxCustomLookupGrid* Grid() const { return grid_; }

protected:
    void Update(hostlib::TCollectionItem* item) override;

private:
    bool GridUsable() const;

    TcxCustomLookupGrid* grid_ = nullptr;
};

// ---- options and data controller ----------------------------------------------------------

class TcxLookupGridOptions : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxLookupGridOptions(TcxCustomLookupGrid* grid = nullptr) : grid_(grid) {}
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override;
    virtual void Changed();

    bool AnsiSort() const;
    void SetAnsiSort(bool value);
    bool CaseInsensitive() const;
    void SetCaseInsensitive(bool value);
    bool ColumnSorting() const { return columnSorting_; }
    void SetColumnSorting(bool value) { columnSorting_ = value; }
    TcxGridLines GridLines() const { return gridLines_; }
    void SetGridLines(TcxGridLines value);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    bool ShowHeader() const { return showHeader_; }
    void SetShowHeader(bool value);
    TcxCustomLookupGrid* Grid() const { return grid_; }

    hostlib::TNotifyEvent OnChanged;

private:
    void SetOption(TcxDataControllerOption option, bool value);

    TcxCustomLookupGrid* grid_ = nullptr;
    bool columnSorting_ = true;
    TcxGridLines gridLines_ = glBoth;
    bool rowSelect_ = true;
    bool showHeader_ = true;
};

class TcxLookupGridDataController : public TcxDataController {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    hostlib::TObject* GetItem(int index) const override;
    TcxCustomLookupGrid* Grid() const;
};

// ---- layout --------------------------------------------------------------------------------

class TcxLookupGridPartViewInfo : public hostlib::TObject {
public:
    RECT Bounds{};
    RECT ContentBounds{};
};

class TcxLookupGridColumnViewInfo : public TcxLookupGridPartViewInfo {
public:
    RECT HeaderBounds{};
    RECT HeaderContentBounds{};
    hostlib::TAlignment HeaderAlignment = hostlib::taLeftJustify;
    TcxBorders Borders;
    TcxNeighbors Neighbors;
    TcxDataSortOrder SortOrder = soNone;
    std::string Text;
    hostlib::ObjectPtr<TcxCustomEditStyle> EditStyle;
    hostlib::ObjectPtr<TcxCustomEditViewData> EditViewData;
};

class TcxLookupGridCellViewInfo : public TcxLookupGridPartViewInfo {
public:
    // A fresh view information of the properties' kind.
    TcxCustomEditViewInfo* CreateEditViewInfo(TcxCustomEditProperties* properties);

    int ColumnIndex = -1;
    bool Focused = false;
    TcxBorders Borders;
    hostlib::ObjectPtr<TcxCustomEditViewInfo> EditViewInfo;
};

class TcxLookupGridRowViewInfo : public TcxLookupGridPartViewInfo {
public:
    int Count() const { return static_cast<int>(cells_.size()); }
    TcxLookupGridCellViewInfo* Items(int index) const { return cells_.at(static_cast<std::size_t>(index)).get(); }
    TcxLookupGridCellViewInfo* Add();

    int RowIndex = -1;
    int RecordIndex = -1;
    bool Focused = false;
    TcxBorders Borders;

private:
    std::vector<std::unique_ptr<TcxLookupGridCellViewInfo>> cells_;
};

class TcxLookupGridRowsViewInfo {
public:
    int Count() const { return static_cast<int>(rows_.size()); }
    TcxLookupGridRowViewInfo* Items(int index) const { return rows_.at(static_cast<std::size_t>(index)).get(); }
    TcxLookupGridRowViewInfo* Add();
    void Clear() { rows_.clear(); }
    TcxLookupGridRowViewInfo* FindByRowIndex(int rowIndex) const;

private:
    std::vector<std::unique_ptr<TcxLookupGridRowViewInfo>> rows_;
};

class TcxLookupGridColumnsViewInfo {
public:
    int Count() const { return static_cast<int>(columns_.size()); }
    TcxLookupGridColumnViewInfo* Items(int index) const { return columns_.at(static_cast<std::size_t>(index)).get(); }
    TcxLookupGridColumnViewInfo* Add();
    void Clear() { columns_.clear(); }

private:
    std::vector<std::unique_ptr<TcxLookupGridColumnViewInfo>> columns_;
};

class TcxLookupGridViewInfo : public hostlib::TObject {
public:
    explicit TcxLookupGridViewInfo(TcxCustomLookupGrid* grid) : grid_(grid) {}

    virtual int GetHeaderHeight();
    virtual void CalcColumns();
    virtual void CalcEmptyAreas();
    virtual void CalcHeaders();
    virtual void CalcRows();
    virtual void Calculate();
    // The top row from which the rows fill the grid when they can.
    virtual int CheckTopRowIndex(int index);
    virtual void CreateEditStyle(TcxLookupGridColumnViewInfo* columnViewInfo, TcxLookupGridColumn* column);
    virtual void CreateEditViewData(TcxLookupGridColumnViewInfo* columnViewInfo, TcxLookupGridColumn* column);
    virtual void DestroyEditViewData(TcxLookupGridColumnViewInfo* columnViewInfo, TcxLookupGridColumn* column);
    virtual hostlib::TColor GetContentColor();
    virtual hostlib::TFont* GetContentFont();
    virtual hostlib::TColor GetContentFontColor();
    virtual hostlib::TColor GetGridColor() { return hostlib::clBtnFace; }
    virtual int GetGridLineWidth() { return 1; }
    virtual hostlib::TColor GetHeaderColor();
    virtual hostlib::TFont* GetHeaderFont();
    virtual hostlib::TColor GetHeaderFontColor();
    virtual hostlib::TColor GetSelectedColor();
    virtual hostlib::TColor GetSelectedFontColor();
    hostlib::TColor GetEmptyAreaColor() { return GetContentColor(); }

    int GetRowHeight();
    int GetCellHeight() { return rowMinHeight_; }
    int GetTopRowIndex();
    int GetRowCount();
    TcxGridLines GetGridLines();
    RECT GetBounds();
    RECT GetClientBounds();
    TcxCanvas* GetCanvas();
    TcxLookupGridRowViewInfo* AddRow(int rowIndex, int top);
    void CalcRowMinHeight();
    int CalcCellMinHeight(TcxLookupGridColumn* column);
    void CalcCellColors(TcxLookupGridRowViewInfo* row, TcxLookupGridCellViewInfo* cell, bool selected,
                        TcxCustomEditStyle* style);
    void CalculateCells(TcxLookupGridRowViewInfo* row);
    // Refreshes the row's focused flag and recalculates its cells.
    void RecalculateRow(TcxLookupGridRowViewInfo* row);

    TcxCustomLookupGrid* Grid() const { return grid_; }
    int BorderSize = 0;
    RECT HeadersRect{};
    RECT RowsRect{};
    RECT FullyVisibleRowsRect{};
    RECT EmptyRectRight{};
    RECT EmptyRectBottom{};
    TcxLookupGridColumnsViewInfo Columns;
    TcxLookupGridRowsViewInfo Rows;
    int VisibleRowCount = 0;
    int FullyVisibleRowCount = 0;

private:
    int TakeRow(int rowIndex, int top);
    void CalcColumnBounds();
    void CalcCellsOfRow(TcxLookupGridRowViewInfo* row);
    void AddHorizontalLine(TcxLookupGridRowViewInfo* row);
    bool HasVerticalLine(bool lastCell);
    void CalculateCell(TcxLookupGridRowViewInfo* row, TcxLookupGridCellViewInfo* cell, bool selected);
    void CalculateDirected(TcxLookupGridTopRowIndexCalculation mode, int topRow);

    TcxCustomLookupGrid* grid_;
    int rowMinHeight_ = 0;
    TcxLookupGridTopRowIndexCalculation topRowIndexCalculation_ = ticNone;
    int calculationTopRowIndex_ = 0;
};

class TcxLookupGridPainter : public hostlib::TObject {
public:
    explicit TcxLookupGridPainter(TcxCustomLookupGrid* grid) : grid_(grid) {}

    virtual void DrawBorder();
    virtual void DrawCell(TcxLookupGridCellViewInfo* cell);
    virtual void DrawContent();
    virtual void DrawEmptyArea();
    virtual void DrawHeaders();
    virtual void DrawRow(TcxLookupGridRowViewInfo* row);
    virtual void DrawRows();

    void Paint();
    void Invalidate();
    TcxCanvas* GetCanvas();
    TcxLookupGridViewInfo* GetViewInfo();
    TcxCustomLookAndFeelPainterClass LFPainterClass = nullptr;

private:
    void DrawLines(const RECT& r, TcxBorders borders);
    void DrawHeader(TcxLookupGridColumnViewInfo* column);

    TcxCustomLookupGrid* grid_;
};

// ---- the grid ------------------------------------------------------------------------------

class TcxCustomLookupGrid : public TcxControl {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;

    void Loaded() override;
    int GetBorderSize() override;
    void InitControl() override;
    void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed) override;
    void InitScrollBarsParameters() override;
    void Scroll(hostlib::TScrollBarKind kind, hostlib::TScrollCode code, int& position) override;
    bool AllowDragAndDropWithoutFocus() override { return true; }
    void BoundsChanged() override;
    void DoCancelMode() override;
    void FocusChanged() override;

    virtual void AddColumn(TcxLookupGridColumn* column);
    virtual void Change(TcxLookupGridChanges changes);
    virtual void CreateHandlers();
    virtual void CreateSubClasses();
    virtual void DestroyHandlers();
    virtual void DestroySubClasses();
    virtual void DoCellClick(int rowIndex, int columnIndex, hostlib::TShiftState shift);
    virtual void DoHeaderClick(int columnIndex, hostlib::TShiftState shift);
    virtual hostlib::TClass GetColumnClass();
    virtual hostlib::TClass GetColumnsClass();
    virtual hostlib::TClass GetDataControllerClass();
    virtual TcxCustomLookAndFeelPainterClass GetLFPainterClass() { return LookAndFeel()->Painter(); }
    virtual int GetScrollBarOffsetBegin();
    virtual int GetScrollBarOffsetEnd();
    virtual bool IsHotTrack() { return isPopupControl_; }
    virtual void RemoveColumn(TcxLookupGridColumn* column);
    virtual void SetScrollMode(TcxLookupGridScrollMode mode);
    virtual void UpdateFocusing();
    virtual void UpdateRowInfo(int rowIndex, bool recalculate);
    virtual void UpdateLayout();
    virtual void DataChanged();
    virtual void DataLayoutChanged() { LayoutChanged(); }
    virtual void DoClick() { OnClick(this); }
    virtual void DoCloseUp(bool accept) { OnCloseUp(this, accept); }
    virtual void DoFocusedRowChanged() { OnFocusedRowChanged(this); }
    virtual void FocusedRowChanged(int previousRow, int newRow);
    virtual void LayoutChanged();
    virtual void SelectionChanged(TcxSelectionChangedInfo* info);
    virtual void UpdateControl(TcxUpdateControlInfo* info);
    virtual void SyncSelected(bool selected);

    void BeginUpdate();
    void EndUpdate();
    // Closes the grid's bracket and the data controller's.
    void CancelUpdate();
    TcxLookupGridHitInfo GetHitInfo(POINT p);
    int GetNearestPopupHeight(int height);
    int GetPopupHeight(int rowCount);
    bool IsMouseOverList(const POINT& p) { return GetHitInfo(p).RowIndex != -1; }
    bool IsRowVisible(int rowIndex);
    void MakeFocusedRowVisible();
    void MakeRowVisible(int rowIndex);
    void FocusColumn(int index);
    void FocusNextRow(bool forward);
    void FocusNextPage();
    void FocusPriorPage();
    void ShowNextPage();
    void ShowPrevPage();
    int CheckSetTopRowIndex(int value);
    void CheckTopRowIndex(int value, bool calculateOnly);
    void ScrollTimerHandler(hostlib::TObject* sender);

    TcxLookupGridColumns* Columns() const { return columns_.get(); }
    void SetColumns(TcxLookupGridColumns* value) { columns_->Assign(value); }
    TcxCustomDataController* DataController() const { return dataController_.get(); }
    TcxLookupGridColumn* FocusedColumn() const { return focusedColumn_; }
    void SetFocusedColumn(TcxLookupGridColumn* value);
    int FocusedColumnIndex() const { return focusedColumn_ ? focusedColumn_->Index() : -1; }
    void SetFocusedColumnIndex(int index);
    int FocusedRowIndex() const { return dataController_->GetFocusedRowIndex(); }
    void SetFocusedRowIndex(int value) { dataController_->ChangeFocusedRowIndex(value); }
    bool IsPopupControl() const { return isPopupControl_; }
    void SetIsPopupControl(bool value);
    TcxLookupGridOptions* Options() const { return options_.get(); }
    void SetOptions(TcxLookupGridOptions* value) { options_->Assign(value); }
    int RowCount() const { return dataController_->GetRowCount(); }
    int TopRowIndex() const { return topRowIndex_; }
    void SetTopRowIndex(int value);
    TcxLookupGridViewInfo* ViewInfo() const { return viewInfo_.get(); }
    TcxLookupGridPainter* Painter() const { return painter_.get(); }
    TcxLookupGridScrollMode ScrollMode() const { return scrollMode_; }
    bool PopupMouseMoveLocked() const { return popupMouseMoveLocked_; }
    void SetPopupMouseMoveLocked(bool value) { popupMouseMoveLocked_ = value; }
    int LockCount() const { return lockCount_; }

    hostlib::TNotifyEvent OnClick;
    TcxLookupGridCloseUpEvent OnCloseUp;
    hostlib::TNotifyEvent OnDataChanged;
    hostlib::TNotifyEvent OnFocusedRowChanged;

protected:
    void Destroy() override;
    void Paint() override;
    void ColorChanged() override;
    void FontChanged() override;
    void KeyDown(WORD& key, hostlib::TShiftState shift) override;
    void MouseDown(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;
    void MouseMove(hostlib::TShiftState shift, int x, int y) override;
    void MouseUp(hostlib::TMouseButton button, hostlib::TShiftState shift, int x, int y) override;

private:
    void CheckChanges();
    void CreateScrollTimer();
    void DestroyScrollTimer();
    int LastFullyVisibleRow();
    bool IsAboveRows(int y);
    bool IsBelowRows(int y);
    void ScrollVertically(hostlib::TScrollCode code, int& position);
    void DataControllerUpdate(TcxUpdateControlInfo* info) { UpdateControl(info); }

    hostlib::ObjectPtr<TcxLookupGridColumns> columns_;
    hostlib::ObjectPtr<TcxLookupGridOptions> options_;
    hostlib::ObjectPtr<TcxCustomDataController> dataController_;
    hostlib::ObjectPtr<TcxLookupGridPainter> painter_;
    hostlib::ObjectPtr<TcxLookupGridViewInfo> viewInfo_;
    hostlib::ObjectPtr<hostlib::TTimer> scrollTimer_;
    int topRowIndex_ = 0;
    TcxLookupGridColumn* focusedColumn_ = nullptr;
    int lockCount_ = 0;
    TcxLookupGridChanges changes_;
    TcxLookupGridScrollMode scrollMode_ = smNone;
    bool isPopupControl_ = false;
    bool rowPressed_ = false;
    bool popupMouseMoveLocked_ = false;
};

class TcxLookupGrid : public TcxCustomLookupGrid {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};
