// Best fit: a column, a band or the whole tree list takes the widths its
// cells, headers and footers need, measured over the visible nodes with
// one reused cell that belongs to no row on screen.

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxTL.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

// Caption width in the font plus 8, plus a glyph beside (not behind) the text.
int CaptionBestWidth(TcxTreeListCaption* caption, TFont* font)
{
    int width = cxTextWidth(font, caption->Text()) + 8;
    TBitmap* glyph = caption->Glyph();
    if (glyph && !glyph->Empty() && caption->GlyphAlignHorz() != taCenter) width += glyph->Width();
    return width;
}

// The extra width of the left-most column for a node's tree levels.
int LevelIndent(TcxTreeListColumn* column, TcxTreeListNode* node)
{
    TcxCustomTreeListControl* treeList = column->TreeList();
    if (!column->IsLeftMost()) return 0;
    return treeList->LevelIndentWidth() * ((treeList->OptionsView()->ShowRoot() ? 1 : 0) + node->Level());
}

} // namespace

// ---- measuring ------------------------------------------------------------------------------

int TcxCustomTreeListControl::MeasureCellWidth(TcxTreeListColumn* column, TcxTreeListNode* node, bool focused, int height)
{
    if (!measureCell_) measureCell_.reset(CreateObject<TcxTemporaryCellViewInfo>(static_cast<TObject*>(nullptr)));
    auto* cell = static_cast<TcxTemporaryCellViewInfo*>(measureCell_.get());
    cell->Prepare(column, node, focused);
    column->InitEditViewInfo(cell);
    cell->DisplayRect = cell->ClipRect = cell->ContentRect = cell->EditRect = RECT{0, 0, 0, height};
    int width = column->GetEditWidth(cell) + 2 + (OptionsView()->HorzIncrement() ? 2 : 0);
    width = std::max(width, column->MinWidth());
    if (column->IsLeftMost()) width += ImagesIndentWidth();
    column->SetBestFitWidth(std::max(column->BestFitWidth(), width));
    return width;
}

// ---- the tree list --------------------------------------------------------------------------

void TcxCustomTreeListControl::ApplyBestFit()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    SetLeftMostIndentWidth(0);
    HandleNeeded();
    for (TcxTreeListBand* band : std::vector<TcxTreeListBand*>(VisibleBandList())) band->ApplyBestFit();
}

// ---- a column -------------------------------------------------------------------------------

int TcxTreeListColumn::GetHeaderFooterBestfitSize()
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListOptionsView* view = treeList->OptionsView();
    TcxCustomLookAndFeelPainterClass painter = treeList->LookAndFeelPainter();
    int width = MinWidth();
    if (view->Headers()) {
        const TcxViewParams params = treeList->Styles()->GetColumnHeaderParams(this);
        width = std::max(width, CaptionBestWidth(Caption(), params.Font ? params.Font : treeList->Font()));
        if (SortOrder() != soNone) width += painter->SortingMarkAreaSize().x;
    }
    if (view->Footer() && ColumnOptions()->Footer()) {
        const TcxViewParams params = treeList->Styles()->GetColumnFooterParams(this);
        const int footer = cxTextWidth(params.Font ? params.Font : treeList->Font(), SummaryFooter()->SummaryText()) + 8 +
                           2 * (painter->FooterCellBorderSize() + painter->FooterCellOffset());
        width = std::max(width, footer);
    }
    return width;
}

void TcxTreeListColumn::ApplyBestFit()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList || !CanSizing(dsdHorz)) return;
    if (IsLeftMost()) treeList->SetLeftMostIndentWidth(0);
    treeList->HandleNeeded();
    const int height = treeList->TreeListViewInfo()->GetDefaultHeight();
    TcxTreeListNode* node = treeList->GetStartNodeForBestFit();
    int count = treeList->GetCountNodeForBestFit();
    if (!node || count == 0) return;
    {
        quelvo::sys::ScopeGuard finish([this, treeList] {
            bestFitWidth_ = 0;
            treeList->LayoutChanged();
            treeList->Controller()->CheckEdit();
        });
        treeList->Controller()->EditingController()->HideEdit(true);
        for (; node && count != 0; node = node->GetNextVisible(), --count)
            bestFitWidth_ = std::max(bestFitWidth_, treeList->MeasureCellWidth(this, node, true, height) + LevelIndent(this, node));
        bestFitWidth_ = std::max(bestFitWidth_, GetHeaderFooterBestfitSize());
        currentWidth_ = bestFitWidth_;
        SetWidth(bestFitWidth_);
    }
}

// ---- a band ---------------------------------------------------------------------------------

void TcxTreeListBand::MeasureColumns(TcxTreeListNode* node, int count)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const int height = treeList->TreeListViewInfo()->GetDefaultHeight();
    TcxTreeListNode* focused = treeList->FocusedNode();
    treeList->Controller()->EditingController()->HideEdit(true);
    for (; node && count != 0; node = node->GetNextVisible(), --count)
        for (int r = 0; r < rows_.Count(); ++r)
            for (int c = 0; c < rows_.Items(r)->Count(); ++c) {
                TcxTreeListColumn* column = rows_.Items(r)->Items(c);
                const int width = treeList->MeasureCellWidth(column, node, node == focused, height) + LevelIndent(column, node);
                column->SetBestFitWidth(std::max(column->BestFitWidth(), width));
            }
}

int TcxTreeListBand::AssignBestFitWidths()
{
    int width = 0;
    for (int r = 0; r < rows_.Count(); ++r) {
        int sum = 0;
        for (int c = 0; c < rows_.Items(r)->Count(); ++c) {
            TcxTreeListColumn* column = rows_.Items(r)->Items(c);
            column->SetBestFitWidth(std::max(column->BestFitWidth(), column->GetHeaderFooterBestfitSize()));
            column->SetWidthField(column->BestFitWidth());
            column->SetCurrentWidth(column->BestFitWidth());
            sum += column->BestFitWidth();
        }
        width = std::max(width, sum);
    }
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList->OptionsView()->Bands()) {
        const TcxViewParams params = treeList->Styles()->GetBandHeaderParams(this);
        width = std::max(width, CaptionBestWidth(Caption(), params.Font ? params.Font : treeList->Font()));
    }
    return width;
}

void TcxTreeListBand::ApplyBestFit()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList) return;
    treeList->HandleNeeded();
    if (IsLeftMost()) treeList->SetLeftMostIndentWidth(0);
    TcxTreeListNode* node = treeList->GetStartNodeForBestFit();
    const int count = treeList->GetCountNodeForBestFit();
    if (!node || !CanSizing(dsdHorz)) return;
    treeList->BeginUpdate();
    {
        quelvo::sys::ScopeGuard finish([this, treeList] {
            treeList->EndUpdate();
            treeList->Controller()->CheckEdit();
            for (int i = 0; i < treeList->GetColumnCount(); ++i) treeList->GetColumn(i)->SetBestFitWidth(0);
            width_ = 0;
        });
        for (TcxTreeListColumn* column : visibleColumns_) column->SetBestFitWidth(column->MinWidth());
        MeasureColumns(node, count);
        SetBandWidth(AssignBestFitWidths());
    }
}
