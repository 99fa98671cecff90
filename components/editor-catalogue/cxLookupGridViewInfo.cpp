// The lookup grid's layout (headers, rows, cells by their editor's view
// information) and its painter.

#include <algorithm>

#include "components/editor-catalogue/cxLookupGrid.h"
#include "components/foundation/cxGeometry.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

// ---- lists --------------------------------------------------------------------------------------

TcxCustomEditViewInfo* TcxLookupGridCellViewInfo::CreateEditViewInfo(TcxCustomEditProperties* properties)
{
    EditViewInfo.reset();
    EditViewInfo.reset(CreateInstance<TcxCustomEditViewInfo>(properties->GetViewInfoClass()));
    return EditViewInfo.get();
}

TcxLookupGridCellViewInfo* TcxLookupGridRowViewInfo::Add()
{
    cells_.push_back(std::make_unique<TcxLookupGridCellViewInfo>());
    return cells_.back().get();
}

TcxLookupGridRowViewInfo* TcxLookupGridRowsViewInfo::Add()
{
    rows_.push_back(std::make_unique<TcxLookupGridRowViewInfo>());
    return rows_.back().get();
}

TcxLookupGridRowViewInfo* TcxLookupGridRowsViewInfo::FindByRowIndex(int rowIndex) const
{
    for (const auto& row : rows_)
        if (row->RowIndex == rowIndex)
            return row.get();
    return nullptr;
}

TcxLookupGridColumnViewInfo* TcxLookupGridColumnsViewInfo::Add()
{
    columns_.push_back(std::make_unique<TcxLookupGridColumnViewInfo>());
    return columns_.back().get();
}

// ---- colours, fonts and metrics -------------------------------------------------------------------

TColor TcxLookupGridViewInfo::GetContentColor() { return grid_->Color(); }
TFont* TcxLookupGridViewInfo::GetContentFont() { return grid_->Font(); }
TColor TcxLookupGridViewInfo::GetContentFontColor() { return grid_->Font()->Color(); }
TColor TcxLookupGridViewInfo::GetHeaderColor() { return grid_->Painter()->LFPainterClass->DefaultHeaderColor(); }
TFont* TcxLookupGridViewInfo::GetHeaderFont() { return grid_->Font(); }
TColor TcxLookupGridViewInfo::GetHeaderFontColor() { return grid_->Painter()->LFPainterClass->DefaultHeaderTextColor(); }
TColor TcxLookupGridViewInfo::GetSelectedColor() { return grid_->Painter()->LFPainterClass->DefaultSelectionColor(); }
TColor TcxLookupGridViewInfo::GetSelectedFontColor()
{
    return grid_->Painter()->LFPainterClass->DefaultSelectionTextColor();
}

int TcxLookupGridViewInfo::GetHeaderHeight()
{
    return grid_->Painter()->LFPainterClass->HeaderHeight(GetCanvas()->FontHeight(GetHeaderFont()));
}

int TcxLookupGridViewInfo::GetRowHeight()
{
    const TcxGridLines lines = GetGridLines();
    return rowMinHeight_ + (lines == glBoth || lines == glHorizontal ? GetGridLineWidth() : 0);
}

int TcxLookupGridViewInfo::GetTopRowIndex()
{
    return topRowIndexCalculation_ == ticNone ? grid_->TopRowIndex() : calculationTopRowIndex_;
}

int TcxLookupGridViewInfo::GetRowCount() { return grid_->RowCount(); }
TcxGridLines TcxLookupGridViewInfo::GetGridLines() { return grid_->Options()->GridLines(); }
RECT TcxLookupGridViewInfo::GetBounds() { return grid_->GetBounds(); }
RECT TcxLookupGridViewInfo::GetClientBounds() { return grid_->GetClientBounds(); }
TcxCanvas* TcxLookupGridViewInfo::GetCanvas() { return grid_->Painter()->GetCanvas(); }

// ---- edit objects per column ----------------------------------------------------------------------

void TcxLookupGridViewInfo::CreateEditStyle(TcxLookupGridColumnViewInfo* columnViewInfo, TcxLookupGridColumn* column)
{
    TcxCustomEditProperties* properties = column->GetProperties();
    auto* style = CreateInstance<TcxCustomEditStyle>(properties->GetStyleClass(), static_cast<TPersistent*>(nullptr), true);
    columnViewInfo->EditStyle.reset(style);
    style->SetButtonTransparency(ebtHideInactive);
    if (TFont* font = column->GetContentFont())
        style->SetFont(font);
}

void TcxLookupGridViewInfo::CreateEditViewData(TcxLookupGridColumnViewInfo* columnViewInfo, TcxLookupGridColumn* column)
{
    TcxCustomEditProperties* properties = column->GetProperties();
    properties->LockUpdate(true);
    {
        quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
        properties->SetIDefaultValuesProvider(column->DefaultValuesProvider());
    }
    columnViewInfo->EditViewData.reset(properties->CreateViewData(columnViewInfo->EditStyle.get(), true));
}

void TcxLookupGridViewInfo::DestroyEditViewData(TcxLookupGridColumnViewInfo* columnViewInfo, TcxLookupGridColumn* column)
{
    columnViewInfo->EditViewData.reset();
    TcxCustomEditProperties* properties = column->GetProperties();
    properties->LockUpdate(true);
    quelvo::sys::ScopeGuard unlock([properties] { properties->LockUpdate(false); });
    properties->SetIDefaultValuesProvider(nullptr);
}

// ---- headers ------------------------------------------------------------------------------------

void TcxLookupGridViewInfo::Calculate()
{
    BorderSize = grid_->GetBorderSize();
    CalcColumns();
    CalcRows();
    CalcEmptyAreas();
}

void TcxLookupGridViewInfo::CalcColumns()
{
    Columns.Clear();
    HeadersRect = RECT{};
    if (grid_->Columns()->Count() == 0)
        return;
    HeadersRect = GetClientBounds();
    HeadersRect.bottom = HeadersRect.top + (grid_->Options()->ShowHeader() ? GetHeaderHeight() : 0);
    CalcHeaders();
}

void TcxLookupGridViewInfo::CalcHeaders()
{
    TcxLookupGridColumns* columns = grid_->Columns();
    TcxCustomLookAndFeelPainterClass painter = grid_->Painter()->LFPainterClass;
    for (int i = 0; i < columns->Count(); ++i) {
        TcxLookupGridColumn* column = columns->Items(i);
        TcxLookupGridColumnViewInfo* info = Columns.Add();
        info->HeaderAlignment = column->HeaderAlignment();
        if (!column->IsLeft())
            info->Neighbors.Include(nLeft);
        if (!column->IsRight())
            info->Neighbors.Include(nRight);
        info->Borders = painter->HeaderBorders(info->Neighbors);
        info->SortOrder = column->SortOrder();
        info->Text = column->Caption();
        CreateEditStyle(info, column);
    }
    CalcColumnBounds();
}

void TcxLookupGridViewInfo::CalcColumnBounds()
{
    TcxLookupGridColumns* columns = grid_->Columns();
    TcxAutoWidthObject widths(columns->Count());
    for (int i = 0; i < columns->Count(); ++i) {
        TcxAutoWidthItem* item = widths.AddItem();
        item->SetMinimalWidth(columns->Items(i)->MinWidth());
        item->SetWidth(columns->Items(i)->Width());
        item->SetIsFixed(columns->Items(i)->Fixed());
    }
    widths.SetTargetWidth(cxRectWidth(HeadersRect));
    widths.Calculate();
    TcxCustomLookAndFeelPainterClass painter = grid_->Painter()->LFPainterClass;
    int left = HeadersRect.left;
    for (int i = 0; i < Columns.Count(); ++i) {
        TcxLookupGridColumnViewInfo* info = Columns.Items(i);
        info->Bounds = RECT{left, HeadersRect.top, left + widths.Items(i)->ResultWidth(), HeadersRect.bottom};
        info->HeaderBounds = info->Bounds;
        info->ContentBounds = painter->HeaderContentBounds(info->Bounds, info->Borders);
        info->HeaderContentBounds = info->ContentBounds;
        left = info->Bounds.right;
    }
    if (left < HeadersRect.right)
        HeadersRect.right = left;
}

// ---- rows ---------------------------------------------------------------------------------------

int TcxLookupGridViewInfo::CalcCellMinHeight(TcxLookupGridColumn* column)
{
    ObjectPtr<TcxLookupGridColumnViewInfo> info(CreateObject<TcxLookupGridColumnViewInfo>());
    CreateEditStyle(info.get(), column);
    CreateEditViewData(info.get(), column);
    quelvo::sys::ScopeGuard destroy([&] { DestroyEditViewData(info.get(), column); });
    TcxEditSizeProperties size;
    size.Width = -1;
    size.MaxLineCount = 0;
    return info->EditViewData->GetEditSize(GetCanvas(), Variant::Null(), size).cy + 2;
}

void TcxLookupGridViewInfo::CalcRowMinHeight()
{
    rowMinHeight_ = 0;
    TcxLookupGridColumns* columns = grid_->Columns();
    for (int i = 0; i < columns->Count(); ++i)
        rowMinHeight_ = std::max(rowMinHeight_, CalcCellMinHeight(columns->Items(i)));
}

void TcxLookupGridViewInfo::CalcRows()
{
    Rows.Clear();
    RowsRect = RECT{};
    FullyVisibleRowsRect = RECT{};
    VisibleRowCount = 0;
    FullyVisibleRowCount = 0;
    if (cxRectWidth(HeadersRect) <= 0)
        return;
    CalcRowMinHeight();
    RowsRect = RECT{HeadersRect.left, HeadersRect.bottom, HeadersRect.right, HeadersRect.bottom};
    FullyVisibleRowsRect = RowsRect;
    const int clientBottom = GetClientBounds().bottom;
    const int step = topRowIndexCalculation_ == ticBackward ? -1 : 1;
    for (int row = GetTopRowIndex(); row >= 0 && row < GetRowCount(); row += step) {
        TakeRow(row, RowsRect.bottom);
        ++VisibleRowCount;
        if (clientBottom < RowsRect.bottom)
            break;
        ++FullyVisibleRowCount;
        FullyVisibleRowsRect.bottom = RowsRect.bottom;
    }
    if (VisibleRowCount > 0 && FullyVisibleRowCount == 0)
        FullyVisibleRowCount = 1;
}

int TcxLookupGridViewInfo::TakeRow(int rowIndex, int top)
{
    TcxLookupGridRowViewInfo* row = AddRow(rowIndex, top);
    RowsRect.bottom = row->Bounds.bottom;
    CalculateCells(row);
    return row->Bounds.bottom;
}

bool TcxLookupGridViewInfo::HasVerticalLine(bool lastCell)
{
    const TcxGridLines lines = GetGridLines();
    return lines == glBoth || lines == glVertical || (lastCell && lines == glHorizontal);
}

TcxLookupGridRowViewInfo* TcxLookupGridViewInfo::AddRow(int rowIndex, int top)
{
    TcxLookupGridRowViewInfo* row = Rows.Add();
    row->RowIndex = rowIndex;
    row->RecordIndex = grid_->DataController()->GetRowInfo(rowIndex).RecordIndex;
    row->Focused = rowIndex == grid_->FocusedRowIndex();
    row->Bounds = RECT{RowsRect.left, top, RowsRect.right, top + rowMinHeight_};
    row->ContentBounds = row->Bounds;
    CalcCellsOfRow(row);
    AddHorizontalLine(row);
    return row;
}

void TcxLookupGridViewInfo::CalcCellsOfRow(TcxLookupGridRowViewInfo* row)
{
    const int lineWidth = GetGridLineWidth();
    for (int i = 0; i < Columns.Count(); ++i) {
        TcxLookupGridCellViewInfo* cell = row->Add();
        cell->ColumnIndex = i;
        cell->Focused = i == grid_->FocusedColumnIndex();
        const RECT& header = Columns.Items(i)->Bounds;
        cell->Bounds = RECT{header.left, row->Bounds.top, header.right, row->Bounds.bottom};
        cell->ContentBounds = cell->Bounds;
        const bool last = i == Columns.Count() - 1;
        if (!HasVerticalLine(last))
            continue;
        if (last) {
            row->ContentBounds.right -= lineWidth;
            row->Borders.Include(bRight);
        } else {
            cell->ContentBounds.right -= lineWidth;
            cell->Borders.Include(bRight);
        }
    }
}

void TcxLookupGridViewInfo::AddHorizontalLine(TcxLookupGridRowViewInfo* row)
{
    const TcxGridLines lines = GetGridLines();
    bool line = lines == glBoth || lines == glHorizontal;
    if (lines == glVertical && topRowIndexCalculation_ == ticNone && row->RowIndex == GetRowCount() - 1)
        line = row->Bounds.bottom != GetClientBounds().bottom;
    if (!line)
        return;
    row->Bounds.bottom += GetGridLineWidth();
    row->Borders.Include(bBottom);
}

// ---- cells --------------------------------------------------------------------------------------

void TcxLookupGridViewInfo::CalcCellColors(TcxLookupGridRowViewInfo* row, TcxLookupGridCellViewInfo* cell,
                                           bool selected, TcxCustomEditStyle* style)
{
    const bool selectionColours = selected && row->Focused && !cell->Focused;
    style->SetColor(selectionColours ? GetSelectedColor() : GetContentColor());
    style->SetTextColor(selectionColours ? GetSelectedFontColor() : GetContentFontColor());
}

void TcxLookupGridViewInfo::CalculateCell(TcxLookupGridRowViewInfo* row, TcxLookupGridCellViewInfo* cell, bool selected)
{
    TcxLookupGridColumn* column = grid_->Columns()->Items(cell->ColumnIndex);
    TcxLookupGridColumnViewInfo* columnInfo = Columns.Items(cell->ColumnIndex);
    TcxCustomEditProperties* properties = column->GetProperties();
    CalcCellColors(row, cell, selected, columnInfo->EditStyle.get());
    TcxCustomEditViewInfo* viewInfo = cell->CreateEditViewInfo(properties);
    CreateEditViewData(columnInfo, column);
    quelvo::sys::ScopeGuard destroy([&] { DestroyEditViewData(columnInfo, column); });
    TcxCustomDataController* controller = grid_->DataController();
    Variant value;
    if (properties->GetEditValueSource(false) == evsValue)
        value = controller->GetValue(row->RecordIndex, cell->ColumnIndex);
    else
        value = Variant(controller->GetDisplayText(row->RecordIndex, cell->ColumnIndex));
    TcxCustomEditViewData* data = columnInfo->EditViewData.get();
    data->EditValueToDrawValue(GetCanvas(), value, viewInfo);
    data->CalculateEx(GetCanvas(), cxRectInflate(cell->ContentBounds, -1, -1), POINT{-1, -1}, cxmbNone, TShiftState{},
                      viewInfo, false);
}

void TcxLookupGridViewInfo::CalculateCells(TcxLookupGridRowViewInfo* row)
{
    bool selected = false;
    if (row->RowIndex >= 0 && row->RowIndex < GetRowCount())
        selected = grid_->DataController()->IsRowSelected(row->RowIndex);
    for (int i = 0; i < row->Count(); ++i) {
        CalculateCell(row, row->Items(i), selected);
    }
}

void TcxLookupGridViewInfo::RecalculateRow(TcxLookupGridRowViewInfo* row)
{
    row->Focused = row->RowIndex == grid_->FocusedRowIndex();
    for (int i = 0; i < row->Count(); ++i)
        row->Items(i)->Focused = i == grid_->FocusedColumnIndex();
    CalculateCells(row);
}

// ---- empty areas and the filling top row ----------------------------------------------------------

void TcxLookupGridViewInfo::CalcEmptyAreas()
{
    const RECT client = GetClientBounds();
    EmptyRectRight = RECT{};
    EmptyRectBottom = RECT{};
    if (HeadersRect.right < client.right && Columns.Count() > 0)
        EmptyRectRight = RECT{HeadersRect.right, client.top, client.right, client.bottom};
    const int rowsBottom = Columns.Count() > 0 ? RowsRect.bottom : client.top;
    if (rowsBottom < client.bottom)
        EmptyRectBottom = RECT{client.left, rowsBottom, client.right, client.bottom};
}

void TcxLookupGridViewInfo::CalculateDirected(TcxLookupGridTopRowIndexCalculation mode, int topRow)
{
    topRowIndexCalculation_ = mode;
    calculationTopRowIndex_ = topRow;
    Calculate();
}

int TcxLookupGridViewInfo::CheckTopRowIndex(int index)
{
    quelvo::sys::ScopeGuard reset([this] { topRowIndexCalculation_ = ticNone; });
    CalculateDirected(ticForward, index);
    if (cxRectIsEmpty(EmptyRectBottom) || FullyVisibleRowCount == 0)
        return index;
    const int last = std::min(index + FullyVisibleRowCount - 1, GetRowCount() - 1);
    CalculateDirected(ticBackward, last);
    return std::max(last - FullyVisibleRowCount + 1, 0);
}

// ---- painter ------------------------------------------------------------------------------------

TcxCanvas* TcxLookupGridPainter::GetCanvas() { return grid_->ActiveCanvas(); }

TcxLookupGridViewInfo* TcxLookupGridPainter::GetViewInfo() { return grid_->ViewInfo(); }

void TcxLookupGridPainter::Invalidate() { grid_->Invalidate(); }

void TcxLookupGridPainter::Paint()
{
    DrawBorder();
    DrawContent();
}

void TcxLookupGridPainter::DrawBorder()
{
    if (GetViewInfo()->BorderSize == 0)
        return;
    LFPainterClass->DrawBorder(GetCanvas(), GetViewInfo()->GetBounds());
    GetCanvas()->IntersectClipRect(GetViewInfo()->GetClientBounds());
}

void TcxLookupGridPainter::DrawContent()
{
    DrawHeaders();
    DrawEmptyArea();
    DrawRows();
}

void TcxLookupGridPainter::DrawHeader(TcxLookupGridColumnViewInfo* column)
{
    TcxLookupGridViewInfo* layout = GetViewInfo();
    RECT text = cxRectInflate(LFPainterClass->HeaderContentBounds(column->Bounds, column->Borders), -2, -2);
    RECT mark{};
    const bool sorted = column->SortOrder != soNone;
    if (sorted) {
        mark = text;
        mark.left = std::max(text.right - LFPainterClass->SortingMarkAreaSize().x, text.left);
        text.right = mark.left;
    }
    LFPainterClass->DrawHeader(GetCanvas(), column->Bounds, text, column->Neighbors, column->Borders, cxbsNormal,
                               column->HeaderAlignment, vaCenter, false, true, column->Text, layout->GetHeaderFont(),
                               layout->GetHeaderFontColor(), layout->GetHeaderColor());
    if (sorted)
        LFPainterClass->DrawSortingMark(GetCanvas(), mark, column->SortOrder == soAscending);
}

void TcxLookupGridPainter::DrawHeaders()
{
    TcxLookupGridViewInfo* layout = GetViewInfo();
    if (cxRectIsEmpty(layout->HeadersRect))
        return;
    for (int i = 0; i < layout->Columns.Count(); ++i)
        DrawHeader(layout->Columns.Items(i));
}

void TcxLookupGridPainter::DrawEmptyArea()
{
    TcxLookupGridViewInfo* layout = GetViewInfo();
    if (cxRectIsEmpty(layout->EmptyRectRight) && cxRectIsEmpty(layout->EmptyRectBottom))
        return;
    GetCanvas()->SetBrushColor(layout->GetEmptyAreaColor());
    if (!cxRectIsEmpty(layout->EmptyRectRight))
        GetCanvas()->FillRect(layout->EmptyRectRight);
    if (!cxRectIsEmpty(layout->EmptyRectBottom))
        GetCanvas()->FillRect(layout->EmptyRectBottom);
}

void TcxLookupGridPainter::DrawRows()
{
    TcxLookupGridViewInfo* layout = GetViewInfo();
    if (cxRectIsEmpty(layout->RowsRect))
        return;
    for (int i = 0; i < layout->Rows.Count(); ++i)
        DrawRow(layout->Rows.Items(i));
}

void TcxLookupGridPainter::DrawLines(const RECT& r, TcxBorders borders)
{
    if (!borders.Empty())
        GetCanvas()->FrameRect(r, GetViewInfo()->GetGridColor(), GetViewInfo()->GetGridLineWidth(), borders);
}

void TcxLookupGridPainter::DrawRow(TcxLookupGridRowViewInfo* row)
{
    for (int i = 0; i < row->Count(); ++i) {
        DrawLines(row->Items(i)->Bounds, row->Items(i)->Borders);
        DrawCell(row->Items(i));
    }
    DrawLines(row->Bounds, row->Borders);
    if (row->Focused && (grid_->IsFocused() || grid_->IsPopupControl()))
        GetCanvas()->DrawFocusRect(row->ContentBounds);
}

void TcxLookupGridPainter::DrawCell(TcxLookupGridCellViewInfo* cell)
{
    if (cell->EditViewInfo) {
        cell->EditViewInfo->PaintEx(GetCanvas());
        GetCanvas()->FrameRect(cell->ContentBounds, cell->EditViewInfo->BackgroundColor());
    }
    DrawLines(cell->Bounds, cell->Borders);
}
