// The items of a tree-list row: edit cells with their selection rules and
// positions, the cells group of each band, indents with tree lines,
// expand button and images, the group-node cell, the preview cell, and the
// row-less cell best fit measures with.

#include <algorithm>
#include <cmath>

#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxTL.h"

using namespace hostlib;

namespace {

RECT Offset(RECT r, int dx, int dy)
{
    OffsetRect(&r, dx, dy);
    return r;
}

} // namespace

TcxBorders cxTreeListGridLineBorders(TcxTreeListGridLines lines)
{
    switch (lines) {
    case tlglHorz: return TcxBorders{bTop, bBottom};
    case tlglVert: return TcxBorders{bLeft, bRight};
    case tlglBoth: return cxBordersAll;
    default: return TcxBorders{};
    }
}

// ---- edit cell ------------------------------------------------------------------------------

TClass TcxTreeListEditCellViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListEditCellViewInfo, TcxEditCellViewInfo>("TcxTreeListEditCellViewInfo");
}

TcxTreeListNodeViewInfo* TcxTreeListEditCellViewInfo::GetNodeViewInfo() { return As<TcxTreeListNodeViewInfo>(Owner()); }

TcxTreeListNode* TcxTreeListEditCellViewInfo::GetNode()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    return row ? row->Node : nullptr;
}

TcxTreeListNodesViewInfo* TcxTreeListEditCellViewInfo::GetNodesViewInfo()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    return row ? row->Owner() : nullptr;
}

TcxCustomTreeListControl* TcxTreeListEditCellViewInfo::GetTreeList()
{
    TcxTreeListNodesViewInfo* rows = GetNodesViewInfo();
    return rows ? rows->TreeList() : nullptr;
}

TcxTreeListColumn* TcxTreeListEditCellViewInfo::GetColumn()
{
    return ColumnViewInfo ? ColumnViewInfo->Column() : nullptr;
}

TcxCustomInplaceEditContainer* TcxTreeListEditCellViewInfo::GetEditContainer()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (!treeList || treeList->ComponentState().Contains(csDestroying)) return nullptr;
    return GetColumn();
}

const TcxCustomDrawViewInfoItemEvent* TcxTreeListEditCellViewInfo::CustomDrawEvent()
{
    return &GetTreeList()->OnCustomDrawCell;
}

int TcxTreeListEditCellViewInfo::GetRecordIndex()
{
    TcxTreeListNode* node = GetNode();
    return node ? node->RecordIndex() : -1;
}

Variant TcxTreeListEditCellViewInfo::GetDisplayValue()
{
    TcxTreeListColumn* column = GetColumn();
    TcxTreeListNode* node = GetNode();
    if (!column || !node) return Variant::Null();
    Variant value = TcxEditCellViewInfo::GetDisplayValue();
    column->DoOnGetDisplayText(node, false, value);
    return value;
}

bool TcxTreeListEditCellViewInfo::GetHotTrack()
{
    TcxTreeListNode* node = GetNode();
    return node && node->HotTrack();
}

int TcxTreeListEditCellViewInfo::GetLineCount() { return ColumnViewInfo ? ColumnViewInfo->GetLineCount() : 1; }

int TcxTreeListEditCellViewInfo::GetLineOffset() { return ColumnViewInfo ? ColumnViewInfo->YOfs : 0; }

bool TcxTreeListEditCellViewInfo::GetFocused()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    return row && row->Selected;
}

bool TcxTreeListEditCellViewInfo::GetSelected()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    if (!row) return false;
    if (!row->Focused) return row->Selected;
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxTreeListOptionsSelection* options = treeList->OptionsSelection();
    if (options->HideSelection() && !treeList->GetIsFocused()) return false;
    if (!row->Selected) return false;
    if (!options->CellSelect()) return options->InvertSelect();
    const bool focusedColumn = GetColumn() == treeList->FocusedColumn();
    if (options->InvertSelect()) return !focusedColumn;
    if (!focusedColumn || GetColumn()->Editing()) return false;
    row->FocusedCell = this;
    return true;
}

TcxViewParams TcxTreeListEditCellViewInfo::GetTreeListEditCellParams()
{
    return GetTreeList()->Styles()->DoGetContentParams(GetNode(), GetColumn());
}

TcxViewParams TcxTreeListEditCellViewInfo::GetEditViewParams()
{
    TcxViewParams params = GetTreeListEditCellParams();
    if (!GetSelected()) return params;
    TcxCustomTreeListControl* treeList = GetTreeList();
    const TcxViewParams& selection = treeList->ViewInfo()->SelectionParams();
    params.TextColor = selection.TextColor;
    params.Color = selection.Color;
    if (treeList->Styles()->SelectionFontAssigned()) params.Font = selection.Font;
    return params;
}

TcxViewParams TcxTreeListEditCellViewInfo::IncSearchParams()
{
    TcxViewParams params = GetTreeList()->Styles()->GetIncSearchParams();
    if (params.Color == clDefault) params.Color = TcxEditCellViewInfo::GetSelectedBKColor();
    if (params.TextColor == clDefault) params.TextColor = TcxEditCellViewInfo::GetSelectedTextColor();
    return params;
}

TColor TcxTreeListEditCellViewInfo::GetSelectedTextColor() { return IncSearchParams().TextColor; }

TColor TcxTreeListEditCellViewInfo::GetSelectedBKColor() { return IncSearchParams().Color; }

bool TcxTreeListEditCellViewInfo::IsAutoHeight()
{
    TcxTreeListNodesViewInfo* rows = GetNodesViewInfo();
    return rows && rows->IsRowAutoHeight;
}

bool TcxTreeListEditCellViewInfo::IsEndEllipsis()
{
    TcxTreeListColumn* column = GetColumn();
    return GetTreeList()->OptionsView()->CellEndEllipsis() && column && column->ColumnOptions()->CellEndEllipsis();
}

bool TcxTreeListEditCellViewInfo::IsTransparent() { return TcxEditCellViewInfo::IsTransparent() && !GetSelected(); }

TcxEditButtonTransparency TcxTreeListEditCellViewInfo::GetButtonTransparency()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    switch (GetColumn()->Options()->ShowEditButtons()) {
    case eisbAlways: return ebtNone;
    case eisbNever: return ebtHideInactive;
    default: break;
    }
    switch (treeList->OptionsView()->ShowEditButtons()) {
    case ecsbAlways: return ebtNone;
    case ecsbFocused: return GetNode() && GetNode() == treeList->FocusedNode() ? ebtNone : ebtHideInactive;
    default: return ebtHideInactive;
    }
}

void TcxTreeListEditCellViewInfo::Assign(TcxCustomViewInfoItem* source)
{
    TcxEditCellViewInfo::Assign(source);
    if (auto* cell = As<TcxTreeListEditCellViewInfo>(source)) {
        GroupIndex = cell->GroupIndex;
        ColumnViewInfo = cell->ColumnViewInfo;
    }
}

void TcxTreeListEditCellViewInfo::UpdateViewInfoPosition()
{
    if (!ViewInfo()) return;
    const int dx = Borders.Contains(bLeft) ? 1 : 0;
    const int dy = Borders.Contains(bTop) ? 1 : 0;
    const RECT bounds = ViewInfo()->Bounds;
    ViewInfo()->Offset(DisplayRect.left + dx - bounds.left, DisplayRect.top + dy - bounds.top);
}

void TcxTreeListEditCellViewInfo::ShiftItem(int dx, int dy)
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    const RECT clip = row && GroupIndex < row->GetGroupCount() ? row->GetGroup(GroupIndex)->ClipRect : ClipRect;
    CheckClipping(Offset(DisplayRect, dx, dy), clip);
    UpdateViewInfoPosition();
}

void TcxTreeListEditCellViewInfo::SetPosition(int top, int height, const RECT& clip)
{
    RECT r = DisplayRect;
    if (IsAutoHeight()) {
        r.top = top;
        r.bottom = top + height;
    } else {
        const int h = r.bottom - r.top;
        r.top = top + r.top - GetNodeViewInfo()->Top;
        r.bottom = r.top + h;
    }
    CheckClipping(r, clip);
}

bool TcxTreeListEditCellViewInfo::ChangedHeight(int prevHeight, int height)
{
    TcxEditCellViewInfo::ChangedHeight(prevHeight, height);
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    if (!row) return prevHeight != height;
    if (prevHeight != height && prevHeight == row->CellsMaxHeight) --row->CellsMaxHeightCount;
    return prevHeight != height || height > row->CellsMaxHeight || row->CellsMaxHeightCount <= 0;
}

// ---- group-node cell ------------------------------------------------------------------------

TClass TcxTreeListGroupNodeEditViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListGroupNodeEditViewInfo, TcxTreeListEditCellViewInfo>("TcxTreeListGroupNodeEditViewInfo");
}

TcxTreeListColumn* TcxTreeListGroupNodeEditViewInfo::GetColumn()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    return treeList ? As<TcxTreeListColumn>(treeList->OptionsView()->GetCategorizedColumn()) : nullptr;
}

RECT TcxTreeListGroupNodeEditViewInfo::GetCellRect()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    return RECT{row->CellsArea.left, row->CellsOffset, row->CellsArea.right, row->CellsOffset + row->CellsMaxHeight};
}

void TcxTreeListGroupNodeEditViewInfo::DoCalculate()
{
    Borders = cxTreeListGridLineBorders(GetTreeList()->OptionsView()->GridLines());
    Borders.Exclude(bTop);
    CheckClipping(GetCellRect(), GetNodeViewInfo()->RowClipRect);
    TcxTreeListEditCellViewInfo::DoCalculate();
}

bool TcxTreeListGroupNodeEditViewInfo::ChangedHeight(int prevHeight, int height)
{
    height = std::max(height, GetTreeList()->TreeListViewInfo()->GetDefaultHeight());
    TcxEditCellViewInfo::ChangedHeight(prevHeight, height);
    return height != prevHeight;
}

void TcxTreeListGroupNodeEditViewInfo::Update()
{
    if (!GetNodeViewInfo()->IsGroup || !GetColumn()) return;
    GetColumn()->InitEditViewInfo(this);
    DoCalculate();
}

void TcxTreeListGroupNodeEditViewInfo::ShiftItem(int dx, int dy)
{
    ContentRect = Offset(ContentRect, dx, dy);
    EditRect = Offset(EditRect, dx, dy);
    const RECT display = Offset(DisplayRect, dx, dy);
    const RECT content = ContentRect;
    const RECT edit = EditRect;
    TcxCustomViewInfoItem::CheckClipping(display, GetNodesViewInfo()->RowsRect);
    ContentRect = content;
    EditRect = edit;
    if (ViewInfo()) {
        const RECT bounds = ViewInfo()->Bounds;
        ViewInfo()->Offset(ContentRect.left - bounds.left, ContentRect.top - bounds.top);
    }
}

// ---- preview cell ---------------------------------------------------------------------------

TClass TcxTreeListNodePreviewViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListNodePreviewViewInfo, TcxTreeListEditCellViewInfo>("TcxTreeListNodePreviewViewInfo");
}

void TcxTreeListNodePreviewViewInfo::Construct(TObject* owner)
{
    TcxTreeListEditCellViewInfo::Construct(owner);
    if (TcxCustomTreeListControl* treeList = GetTreeList()) Preview = treeList->Preview();
}

TcxTreeListColumn* TcxTreeListNodePreviewViewInfo::GetColumn()
{
    return Preview ? As<TcxTreeListColumn>(Preview->Column()) : nullptr;
}

const TcxCustomDrawViewInfoItemEvent* TcxTreeListNodePreviewViewInfo::CustomDrawEvent()
{
    return &GetTreeList()->OnCustomDrawPreview;
}

bool TcxTreeListNodePreviewViewInfo::IsAutoHeight() { return Preview && Preview->AutoHeight(); }

int TcxTreeListNodePreviewViewInfo::GetMaxLineCount() { return Preview ? Preview->MaxLineCount() : 0; }

RECT TcxTreeListNodePreviewViewInfo::ContentOffset()
{
    return Preview ? RECT{Preview->LeftIndent(), 1, Preview->RightIndent(), 1} : RECT{1, 1, 1, 1};
}

TcxViewParams TcxTreeListNodePreviewViewInfo::GetTreeListEditCellParams()
{
    return GetTreeList()->Styles()->GetPreviewParams(GetNode());
}

RECT TcxTreeListNodePreviewViewInfo::GetPreviewRect()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    return RECT{row->CellsArea.left, row->PreviewTop, row->CellsArea.right, row->PreviewTop + PreviewHeight};
}

int TcxTreeListNodePreviewViewInfo::CheckPreviewHeight(int offsets)
{
    const int line = GetTreeList()->TreeListViewInfo()->PreviewLineHeight;
    int n = Preview->MaxLineCount();
    if (n == 0) {
        // An editor without a default height leaves no line to count by.
        if (line <= 0) return PreviewHeight;
        n = static_cast<int>(std::nearbyint(static_cast<double>(PreviewHeight) / line));
    }
    return std::min(PreviewHeight, n * (line + offsets));
}

void TcxTreeListNodePreviewViewInfo::DoInitPreviewSettings(int top)
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    PreviewHeight = 0;
    Borders = row->Borders;
    row->HasPreview = Preview && Preview->Active() && GetColumn();
    row->PreviewTop = top;
    if (!row->HasPreview) return;
    TcxTreeListColumn* column = GetColumn();
    column->InitEditViewInfo(this);
    if (ViewData()) ViewData()->PaintOptions.Include(epoAllowZeroHeight);
    const RECT offset = ContentOffset();
    const int v = offset.top + offset.bottom + (Borders.Contains(bBottom) ? 1 : 0) + (Borders.Contains(bTop) ? 1 : 0);
    TcxCustomTreeListControl* treeList = GetTreeList();
    PreviewHeight = v + treeList->TreeListViewInfo()->PreviewLineHeight;
    if (Preview->AutoHeight()) {
        ContentRect = GetPreviewRect();
        ContentRect.left += row->GetIndentWidth();
        PreviewHeight = column->GetEditHeight(this);
        ContentRect.left -= row->GetIndentWidth();
        PreviewHeight = CheckPreviewHeight(v);
    }
    if (treeList->OnGetNodePreviewHeight) treeList->OnGetNodePreviewHeight(treeList, row->Node, GetDisplayValue(), PreviewHeight);
    if (PreviewHeight - v <= 0) {
        PreviewHeight = 0;
        row->HasPreview = false;
        Visible = false;
    }
}

void TcxTreeListNodePreviewViewInfo::DoCalculate()
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    if (!row->HasPreview) return;
    CheckClipping(GetPreviewRect(), row->RowClipRect);
    Refresh(false);
    if (Visible && GetColumn()) GetColumn()->CalculateEditViewInfo(Value, this, POINT{-1, -1});
}

void TcxTreeListNodePreviewViewInfo::Update()
{
    if (!GetNodeViewInfo()->HasPreview || !GetColumn()) return;
    GetColumn()->InitEditViewInfo(this);
    DoCalculate();
}

void TcxTreeListNodePreviewViewInfo::ShiftItem(int dx, int dy)
{
    const RECT content = Offset(ContentRect, dx, dy);
    const RECT edit = Offset(EditRect, dx, dy);
    TcxCustomViewInfoItem::CheckClipping(Offset(DisplayRect, dx, dy), GetNodesViewInfo()->RowsRect);
    ContentRect = content;
    EditRect = edit;
    if (ViewInfo()) {
        const RECT bounds = ViewInfo()->Bounds;
        ViewInfo()->Offset(ContentRect.left - bounds.left, ContentRect.top - bounds.top);
    }
}

// ---- cells group ----------------------------------------------------------------------------

TClass TcxTreeListCellsGroupViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListCellsGroupViewInfo, TcxTreeListViewInfoItem>("TcxTreeListCellsGroupViewInfo");
}

TcxTreeListNodeViewInfo* TcxTreeListCellsGroupViewInfo::GetNodeViewInfo() const
{
    return As<TcxTreeListNodeViewInfo>(Owner());
}

TcxTreeListNode* TcxTreeListCellsGroupViewInfo::GetNode() const { return GetNodeViewInfo()->Node; }

TcxCustomTreeListControl* TcxTreeListCellsGroupViewInfo::GetTreeList()
{
    return GetNodeViewInfo()->Owner()->TreeList();
}

TcxTreeListBand* TcxTreeListCellsGroupViewInfo::GetBand() const { return BandViewInfo ? BandViewInfo->GetBand() : nullptr; }

bool TcxTreeListCellsGroupViewInfo::GetFixed() const { return BandViewInfo && BandViewInfo->GetFixed() != tlbfNone; }

TcxTreeListEditCellViewInfo* TcxTreeListCellsGroupViewInfo::GetCell(int index) const
{
    return GetNodeViewInfo()->GetCell(FirstCell + index);
}

int TcxTreeListCellsGroupViewInfo::GetCellsHeight() { return GetTreeListViewInfo()->GetDefaultHeight(); }

bool TcxTreeListCellsGroupViewInfo::GetHotTrack()
{
    TcxTreeListNode* node = GetNode();
    return node && node->HotTrack();
}

bool TcxTreeListCellsGroupViewInfo::GetSelected()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxTreeListOptionsSelection* options = treeList->OptionsSelection();
    return GetNodeViewInfo()->Selected && options->InvertSelect() &&
           (!options->HideSelection() || treeList->GetIsFocused());
}

TBitmap* TcxTreeListCellsGroupViewInfo::GetGroupBitmap() { return GetSelected() ? nullptr : ViewParams.Bitmap; }

TBrush* TcxTreeListCellsGroupViewInfo::GetCurrentBrush()
{
    return GetSelected() ? GetTreeListViewInfo()->SelectionBrush() : Brush();
}

void TcxTreeListCellsGroupViewInfo::Assign(TcxCustomViewInfoItem* source)
{
    TcxTreeListViewInfoItem::Assign(source);
    if (auto* group = As<TcxTreeListCellsGroupViewInfo>(source)) {
        BandViewInfo = group->BandViewInfo;
        Borders = group->Borders;
        FirstCell = group->FirstCell;
        EndCell = group->EndCell;
        BandOpaque = group->BandOpaque;
    }
}

void TcxTreeListCellsGroupViewInfo::DoCalculate()
{
    if (!BandOpaque) TcxTreeListViewInfoItem::DoCalculate();
}

void TcxTreeListCellsGroupViewInfo::CalculateEditCellRect(TcxTreeListEditCellViewInfo* cell, int bandLeft)
{
    TcxTreeListColumnViewInfo* column = cell->ColumnViewInfo;
    cell->Borders = Borders;
    const int h = GetCellsHeight();
    RECT r{};
    if (column->XOfs == bandLeft) {
        r.left = DisplayRect.left;
        if (Borders != cxBordersAll) cell->Borders.Exclude(bLeft);
    } else {
        r.left = Borders.Contains(bRight) ? column->XOfs - 1 : column->XOfs;
    }
    r.right = column->XOfs + column->GetDisplayWidth();
    r.top = column->YOfs * h;
    r.bottom = (column->YOfs + column->GetLineCount()) * h;
    if (column->YOfs == 0) cell->Borders.Exclude(bTop);
    else r.top -= GetOptionsView()->VertIncrement();
    const int top = GetNodeViewInfo()->Top;
    cell->CheckClipping(Offset(r, 0, top), ClipRect);
}

void TcxTreeListCellsGroupViewInfo::DoCalculateCellsLayout()
{
    const int bandLeft = BandViewInfo->DisplayRect.left;
    for (int i = 0; i < GetCount(); ++i) CalculateEditCellRect(GetCell(i), bandLeft);
}

void TcxTreeListCellsGroupViewInfo::SetSize(int top, int height)
{
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo();
    CheckClipping(RECT{DisplayRect.left, top, DisplayRect.right, top + height}, row->RowClipRect);
    for (int i = 0; i < GetCount(); ++i) GetCell(i)->SetPosition(row->CellsOffset, row->CellsMaxHeight, row->RowClipRect);
}

void TcxTreeListCellsGroupViewInfo::ShiftGroup(int dx, int dy)
{
    CheckClipping(Offset(DisplayRect, dx, dy), GetNodeViewInfo()->GetVisibleRect(GetFixed()));
    for (int i = 0; i < GetCount(); ++i) GetCell(i)->ShiftItem(dx, dy);
}

// ---- indent ---------------------------------------------------------------------------------

TClass TcxTreeListIndentViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListIndentViewInfo, TcxTreeListViewInfoItem>("TcxTreeListIndentViewInfo");
}

TcxTreeListNodeViewInfo* TcxTreeListIndentViewInfo::GetNodeViewInfo() const { return As<TcxTreeListNodeViewInfo>(Owner()); }

TcxCustomTreeListControl* TcxTreeListIndentViewInfo::GetTreeList() { return GetNodeViewInfo()->Owner()->TreeList(); }

TcxTreeListNodeViewInfo* TcxTreeListIndentViewInfo::GetNextVisible() const { return GetNodeViewInfo()->NextVisible; }

TcxTreeListNodeViewInfo* TcxTreeListIndentViewInfo::GetPrevVisible() const { return GetNodeViewInfo()->PrevVisible; }

bool TcxTreeListIndentViewInfo::GetIsExpanded() const { return HasButton && GetNodeViewInfo()->Expanded; }

void TcxTreeListIndentViewInfo::DoCalculate()
{
    if (!Visible) return;
    HorzLineRect = VertLineRect = RECT{};
    if (Lines != 0) {
        const POINT c = cxRectCenter(DisplayRect);
        if (Lines & tlifRight) HorzLineRect = RECT{c.x, c.y - 1, DisplayRect.right, c.y};
        if (Lines & (tlifUp | tlifDown)) {
            VertLineRect = RECT{c.x, DisplayRect.top, c.x + 1, DisplayRect.bottom};
            if (!(Lines & tlifUp)) VertLineRect.top = c.y - 1;
            if (!(Lines & tlifDown)) VertLineRect.bottom = c.y - 1;
        }
    }
    TcxTreeListViewInfoItem::DoCalculate();
}

RECT TcxTreeListIndentViewInfo::GetButtonRect()
{
    if (!HasButton) return RECT{-1, -1, -1, -1};
    const int size = GetTreeListViewInfo()->ExpandButtonSize;
    const int w = DisplayRect.right - DisplayRect.left;
    const int h = DisplayRect.bottom - DisplayRect.top;
    RECT r{0, 0, size, size};
    OffsetRect(&r, DisplayRect.left + (w - size) / 2, DisplayRect.top + (h - size) / 2 - 1);
    if (w % 2 == 0) OffsetRect(&r, 1, 0);
    if (h % 2 == 0) OffsetRect(&r, 0, 1);
    return r;
}

void TcxTreeListIndentViewInfo::UpdateImageIndex()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxTreeListImageIndexType kind = tlitStateIndex;
    if (!IsStateImage) kind = GetNodeViewInfo()->Selected ? tlitSelectedIndex : tlitImageIndex;
    ImageKind = kind;
    ImageIndex = treeList->DoGetNodeImageIndex(Node, kind);
    ImageValid = Images && ImageIndex >= 0 && ImageIndex < Images->Count();
    Invalidate(false);
}

void TcxTreeListIndentViewInfo::ShiftIndent(int dx, int dy)
{
    CheckClipping(Offset(DisplayRect, dx, dy), GetNodeViewInfo()->Owner()->RowsRect);
    DoCalculate();
}

// ---- the row-less measuring cell ------------------------------------------------------------

TClass TcxTemporaryCellViewInfo::StaticClass()
{
    return DefineClass<TcxTemporaryCellViewInfo, TcxTreeListEditCellViewInfo>("TcxTemporaryCellViewInfo");
}

TcxCustomTreeListControl* TcxTemporaryCellViewInfo::GetTreeList() { return column_ ? column_->TreeList() : nullptr; }

void TcxTemporaryCellViewInfo::Prepare(TcxTreeListColumn* column, TcxTreeListNode* node, bool focused)
{
    column_ = column;
    node_ = node;
    focused_ = focused;
}

void TcxTemporaryCellViewInfo::Destroy()
{
    // The column may already be gone when the tree list frees the cell.
    column_ = nullptr;
    TcxTreeListEditCellViewInfo::Destroy();
}
