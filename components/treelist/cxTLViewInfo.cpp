// The tree list's control-level layout: line heights, the vertical
// partition of the client area, band placement with fixed bands and
// separators, the horizontal scroll state and the shared painting values;
// and the node area's rows object as far as the layout needs it.

#include "components/treelist/cxTLViewInfo.h"

#include <algorithm>

#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxTL.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

RECT Intersection(const RECT& a, const RECT& b)
{
    RECT r{};
    if (!IntersectRect(&r, &a, &b)) return RECT{};
    return r;
}

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

} // namespace

// ---- layout: construction -------------------------------------------------------------------

TClass TcxTreeListViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListViewInfo, TcxCustomControlViewInfo>("TcxTreeListViewInfo");
}

void TcxTreeListViewInfo::Construct(TcxEditingControl* control)
{
    TcxCustomControlViewInfo::Construct(control);
    footerBrush_.reset(CreateObject<TBrush>());
    gridLineBrush_.reset(CreateObject<TBrush>());
    fixedSeparatorBrush_.reset(CreateObject<TBrush>());
    TObject* self = this;
    headerIndicator_.reset(CreateInstance<TcxTreeListIndicatorViewInfo>(GetIndicatorViewInfoClass(), self));
    footerIndicator_.reset(CreateInstance<TcxTreeListIndicatorViewInfo>(GetIndicatorViewInfoClass(), self));
    nodesViewInfo_.reset(CreateInstance<TcxTreeListNodesViewInfo>(GetNodesViewInfoClass(), this));
}

void TcxTreeListViewInfo::Destroy()
{
    // The brushes go last, also when freeing an earlier part fails.
    quelvo::sys::ScopeGuard brushes([this] {
        footerBrush_.reset();
        gridLineBrush_.reset();
        fixedSeparatorBrush_.reset();
    });
    headerIndicator_.reset();
    footerIndicator_.reset();
    nodesViewInfo_.reset();
    bands_.clear();
    TcxCustomControlViewInfo::Destroy();
}

TClass TcxTreeListViewInfo::GetIndicatorViewInfoClass() { return TcxTreeListIndicatorViewInfo::StaticClass(); }

TClass TcxTreeListViewInfo::GetNodesViewInfoClass() { return TcxTreeListNodesViewInfo::StaticClass(); }

TcxCustomTreeListControl* TcxTreeListViewInfo::GetTreeList() const
{
    return static_cast<TcxCustomTreeListControl*>(Control());
}

TcxTreeListOptionsView* TcxTreeListViewInfo::GetOptionsView() const { return GetTreeList()->OptionsView(); }

TcxBrushCache* TcxTreeListViewInfo::GetBrushManager() const { return GetTreeList()->BrushCache(); }

// ---- derived values -------------------------------------------------------------------------

int TcxTreeListViewInfo::GetBorderSize() const { return GetTreeList()->BorderSize(); }

int TcxTreeListViewInfo::GetContentOffset() const
{
    TcxTreeListOptionsView* view = GetOptionsView();
    return GetBorderSize() + (view->Indicator() ? view->IndicatorWidth() : 0);
}

int TcxTreeListViewInfo::GetHeaderOffset() const
{
    TcxTreeListOptionsView* view = GetOptionsView();
    return GetBorderSize() + (view->Bands() ? BandLineHeight * view->BandLineCount() : 0);
}

int TcxTreeListViewInfo::GetCellsOffset() const
{
    const int headers = GetOptionsView()->Headers() ? HeaderLineHeight * GetTreeList()->HeaderLineCount() : 0;
    return GetHeaderOffset() + headers;
}

bool TcxTreeListViewInfo::HasFooterPanel() const
{
    return GetOptionsView()->Footer() && GetTreeList()->GetVisibleColumnCount() > 0;
}

int TcxTreeListViewInfo::GetFooterOffset() const
{
    if (!HasFooterPanel()) return ClientRect().bottom;
    const int borders = 2 * GetLookAndFeelPainter()->FooterBorderSize();
    return ClientRect().bottom - (borders + GetTreeList()->HeaderLineCount() * FooterLineHeight);
}

int TcxTreeListViewInfo::GetDefaultHeight() const
{
    return GetTreeList()->IsDefaultRowHeightAssigned() ? GetTreeList()->DefaultRowHeight() : DefaultEditHeight();
}

TcxTreeListBandViewInfo* TcxTreeListViewInfo::GetVisibleBand(int index) const
{
    TcxTreeListBand* band = GetTreeList()->GetVisibleBand(index);
    return band ? band->ViewInfo() : nullptr;
}

int TcxTreeListViewInfo::GetVisibleBandCount() const { return GetTreeList()->GetVisibleBandCount(); }

// ---- default heights ------------------------------------------------------------------------

int TcxTreeListViewInfo::FontHeaderHeight(TFont* font) const
{
    return GetLookAndFeelPainter()->HeaderHeight(cxTextHeight(font, "Wg"));
}

void TcxTreeListViewInfo::SetHeaderSizeValue(const TcxViewParams& params, int& height, TcxViewParams& out, int extra,
                                             bool visible)
{
    out = params;
    if (visible) height = std::max(height, FontHeaderHeight(params.Font) + 2 * extra);
}

void TcxTreeListViewInfo::SetBandCount(int count)
{
    if (static_cast<int>(bands_.size()) < count) bands_.resize(static_cast<std::size_t>(count));
    BandCount = count;
}

void TcxTreeListViewInfo::SetBandViewParams(TcxTreeListBand* band)
{
    TcxTreeListBandViewInfo* info = band->ViewInfo();
    if (band->FixedKind() == tlbfNone) bands_[static_cast<std::size_t>(BandCount++)] = info;
    else FixedBands[band->FixedKind()] = info;
    TcxTreeListStyles* styles = GetTreeList()->Styles();
    SetHeaderSizeValue(styles->GetBandHeaderParams(band), BandLineHeight, info->ViewParams, 0,
                       GetOptionsView()->Bands());
    info->BackgroundParams = styles->GetBandBackgroundParams(band);
}

void TcxTreeListViewInfo::SetColumnViewParams(TcxTreeListColumn* column)
{
    TcxTreeListColumnViewInfo* info = column->ViewInfo();
    TcxTreeListStyles* styles = GetTreeList()->Styles();
    SetHeaderSizeValue(styles->GetColumnHeaderParams(column), HeaderLineHeight, info->ColumnHeader()->ViewParams, 0,
                       GetOptionsView()->Headers());
    SetHeaderSizeValue(styles->GetColumnFooterParams(column), FooterLineHeight, info->ColumnFooter()->ViewParams,
                       2 * GetLookAndFeelPainter()->FooterCellBorderSize(), GetOptionsView()->Footer());
}

void TcxTreeListViewInfo::CalculateDefaultHeights()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    treeList->Styles()->ContentStyleChanged();
    FooterLineHeight = 0;
    if (BandLineHeight != 0) treeList->SetRealBandLineHeight(BandLineHeight);
    HeaderLineHeight = 0;
    BandLineHeight = 0;
    FixedBands[tlbfLeft] = FixedBands[tlbfRight] = nullptr;
    SetBandCount(treeList->GetVisibleBandCount());
    BandCount = 0;
    for (int i = 0; i < treeList->GetVisibleBandCount(); ++i) SetBandViewParams(treeList->GetVisibleBand(i));
    if (treeList->GetVisibleColumnCount() > 0) {
        for (int i = 0; i < treeList->GetVisibleColumnCount(); ++i) SetColumnViewParams(treeList->GetVisibleColumn(i));
    } else {
        HeaderLineHeight = FontHeaderHeight(treeList->Font());
        treeList->ResetHeaderLineCount();
    }
    HorzScrollStep = cxTextWidth(treeList->Font(), "W");
    if (treeList->GetVisibleBandCount() > 0) BandLineHeight = std::max(BandLineHeight, FontHeaderHeight(treeList->Font()));
    if (FooterLineHeight == 0)
        FooterLineHeight = FontHeaderHeight(treeList->Font()) + GetLookAndFeelPainter()->FooterCellBorderSize();
    TcxCustomControlViewInfo::CalculateDefaultHeights();
    if (BandLineHeight != 0) treeList->SetRealBandLineHeight(BandLineHeight);
    calculatedBands_ = treeList->VisibleBandList();
    calculatedColumns_.clear();
    for (int i = 0; i < treeList->GetVisibleColumnCount(); ++i) {
        TcxTreeListColumn* column = treeList->GetVisibleColumn(i);
        calculatedColumns_.emplace_back(column, column->OwnerBand());
    }
}

bool TcxTreeListViewInfo::VisibleItemsChanged() const
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (calculatedBands_ != treeList->VisibleBandList()) return true;
    if (static_cast<int>(calculatedColumns_.size()) != treeList->GetVisibleColumnCount()) return true;
    for (int i = 0; i < treeList->GetVisibleColumnCount(); ++i) {
        TcxTreeListColumn* column = treeList->GetVisibleColumn(i);
        if (calculatedColumns_[static_cast<std::size_t>(i)] != std::make_pair(column, column->OwnerBand())) return true;
    }
    return false;
}

void TcxTreeListViewInfo::CalculateDefaultEditHeight()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    int height = 0;
    if (treeList->Images()) height = treeList->Images()->Height();
    if (treeList->StateImages()) height = std::max(height, treeList->StateImages()->Height());
    for (int i = 0; i < treeList->GetVisibleColumnCount(); ++i) {
        TcxTreeListColumn* column = treeList->GetVisibleColumn(i);
        const TcxTreeListContentCache& cache = column->TreeListStyles()->ContentCache();
        height = std::max({height, column->GetEditDefaultHeight(cache.Even.Font ? cache.Even.Font : treeList->Font()),
                           column->GetEditDefaultHeight(cache.Odd.Font ? cache.Odd.Font : treeList->Font())});
    }
    SetDefaultEditHeight(height + GetOptionsView()->VertIncrement() + 2);
}

// ---- layout ---------------------------------------------------------------------------------

void TcxTreeListViewInfo::DoCalculate()
{
    if (VisibleItemsChanged()) CalculateDefaultHeights();
    TcxCustomControlViewInfo::DoCalculate();
    ExpandButtonSize = GetLookAndFeelPainter()->SmallExpandButtonSize();
    ContentWidth = 0;
    FixedSeparators[0] = FixedSeparators[1] = RECT{};
    CalculateHeaderFooterViewInfo();
    CalculateCellRects();
    CheckScrolling();
    PrevContentWidth = ContentWidth;
    nodesViewInfo_->DoCalculate(true);
    CalculateSeparators();
    CalculateIndicators();
    CalculateDefaultViewParams();
    PrevClientRect = ClientRect();
}

void TcxTreeListViewInfo::CalculateSeparators()
{
    HeaderIndicatorRect = ClientRect();
    HeaderIndicatorRect.bottom = GetCellsOffset();
    RECT headerArea = ClientRect();
    headerArea.bottom = GetCellsOffset();
    RECT footerArea = ClientRect();
    footerArea.top = GetFooterOffset() + GetLookAndFeelPainter()->FooterBorderSize();
    footerArea.bottom -= GetLookAndFeelPainter()->FooterBorderSize();
    for (int i = 0; i < 2; ++i) {
        HeaderSeparators[i] = Intersection(FixedSeparators[i], headerArea);
        FooterSeparators[i] = Intersection(FixedSeparators[i], footerArea);
    }
}

void TcxTreeListViewInfo::CalculateIndicators()
{
    headerIndicator_->Calculate(HeaderIndicatorRect, HeaderIndicatorRect);
    headerIndicator_->ViewParams = GetTreeList()->Styles()->GetIndicatorParams();
    FooterRect.right = VisibleCellsRect.right;
    const int border = GetLookAndFeelPainter()->FooterBorderSize();
    footerIndicator_->Calculate(RECT{FooterRect.left, FooterRect.top - border, FooterRect.right, FooterRect.bottom + border},
                                ClientRect());
    footerIndicator_->ViewParams = GetTreeList()->Styles()->GetIndicatorParams();
}

void TcxTreeListViewInfo::CalculateHeaderFooterViewInfo()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxTreeListOptionsView* view = GetOptionsView();
    ScrollArea = ClientRect();
    const int grown = (ClientRect().right - ClientRect().left) - (PrevClientRect.right - PrevClientRect.left);
    if (grown > PrevContentWidth - HorzScrollPos - ViewportWidth)
        HorzScrollPos = std::clamp(HorzScrollPos - grown, 0, std::max(PrevContentWidth, 0));
    const int border = GetBorderSize();
    // The band line counts only when band headers are shown: otherwise the
    // band would reach into the rows by one band line.
    RECT r{0, border, 0, GetCellsOffset()};
    int left = GetContentOffset() - (FixedBands[tlbfLeft] ? 0 : HorzScrollPos);
    FooterRect = RECT{};
    if (HasFooterPanel()) {
        FooterColor = treeList->Styles()->GetFooterParams().Color;
        footerBrush_->SetColor(FooterColor);
        const int fb = GetLookAndFeelPainter()->FooterBorderSize();
        FooterRect = RECT{GetContentOffset() + fb, GetFooterOffset() + fb, ClientRect().right - fb, ClientRect().bottom - fb};
    }
    for (int i = 0; i < treeList->GetVisibleBandCount(); ++i) {
        TcxTreeListBand* band = treeList->GetVisibleBand(i);
        left = CalcBandRect(r, band->DisplayWidth(), band->FixedKind(), left);
        band->ViewInfo()->Calculate(r, ClientRect());
    }
    if (view->Indicator()) ContentWidth += view->IndicatorWidth();
    if (treeList->GetVisibleColumnCount() == 0 && !view->Bands()) ContentWidth = 0;
}

int TcxTreeListViewInfo::CalcBandRect(RECT& r, int width, TcxTreeListBandFixedKind kind, int left)
{
    const int separator = GetOptionsView()->FixedSeparatorWidth();
    ContentWidth += width;
    if (kind == tlbfRight) {
        left += separator;
        left = std::min(left, static_cast<int>(ClientRect().right) - width);
        if (FixedBands[tlbfLeft]) left = std::max(left, static_cast<int>(FixedSeparators[0].right));
        FixedSeparators[1] = RECT{left - separator, ClientRect().top, left, ClientRect().bottom};
        ScrollArea.right = FixedSeparators[1].left;
        ContentWidth += separator;
    }
    r.left = left;
    r.right = left + width;
    int next = left + width;
    if (kind == tlbfLeft) {
        FixedSeparators[0] = RECT{next, ClientRect().top, next + separator, ClientRect().bottom};
        next = FixedSeparators[0].right - HorzScrollPos;
        ScrollArea.left = FixedSeparators[0].right;
        ContentWidth += separator;
    }
    return next;
}

void TcxTreeListViewInfo::CalculateCellRects()
{
    CellsRect = RECT{-1, -1, -1, -1};
    TcxTreeListBandViewInfo* first = FixedBands[tlbfLeft] ? FixedBands[tlbfLeft] : (BandCount > 0 ? bands_[0] : nullptr);
    TcxTreeListBandViewInfo* last =
        FixedBands[tlbfRight] ? FixedBands[tlbfRight] : (BandCount > 0 ? bands_[static_cast<std::size_t>(BandCount - 1)] : nullptr);
    for (TcxTreeListBandViewInfo* band : {first, last}) {
        if (!band) continue;
        if (CellsRect.left == -1 || band->DisplayRect.left < CellsRect.left) CellsRect.left = band->DisplayRect.left;
        if (band->DisplayRect.right > CellsRect.right) CellsRect.right = band->DisplayRect.right;
    }
    CellsRect.top = GetCellsOffset();
    CellsRect.bottom = GetFooterOffset();
    VisibleCellsRect = CellsRect;
    VisibleCellsRect.right = std::min(VisibleCellsRect.right, ClientRect().right);
    FooterRect.right = ClientRect().right;
    PreviewLineHeight = 0;
}

void TcxTreeListViewInfo::CheckScrolling()
{
    ViewportWidth = ClientRect().right - ClientRect().left;
    if (ViewportWidth + HorzScrollPos > ContentWidth) HorzScrollPos = 0;
    if (ViewportWidth >= ContentWidth) {
        HorzScrollPos = 0;
        ContentWidth = 0;
    } else {
        HorzScrollPos = std::clamp(HorzScrollPos, 0, ContentWidth - ViewportWidth + 1);
    }
    RECT visible{};
    ScrollAreaVisible = IntersectRect(&visible, &ScrollArea, &ClientRect()) || VisibleCellsRect.right >= ClientRect().right;
}

void TcxTreeListViewInfo::CalculateDefaultViewParams()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxTreeListOptionsView* view = GetOptionsView();
    TcxCustomLookAndFeelPainterClass painter = GetLookAndFeelPainter();
    IndicatorParams = treeList->Styles()->GetIndicatorParams();
    RealTreeLineColor = view->TreeLineColor() != clDefault ? static_cast<TColor>(ColorToRGB(view->TreeLineColor()))
                                                           : painter->DefaultGridLineColor();
    gridLineBrush_->SetColor(view->GridLineColor() != clDefault ? view->GridLineColor() : painter->DefaultGridLineColor());
    fixedSeparatorBrush_->SetColor(view->FixedSeparatorColor() != clDefault ? view->FixedSeparatorColor()
                                                                           : painter->DefaultFixedSeparatorColor());
    TcxStyle* background = treeList->Styles()->Background();
    BackgroundBitmap = background ? background->Bitmap() : nullptr;
    TcxStyle* footer = treeList->Styles()->Footer();
    FooterBitmap = footer ? footer->Bitmap() : nullptr;
}

void TcxTreeListViewInfo::UpdateSelection()
{
    TcxCustomControlViewInfo::UpdateSelection();
    nodesViewInfo_->UpdateSelectedNodes();
}

void TcxTreeListViewInfo::UpdateFootersViewInfo()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    for (int i = 0; i < treeList->GetColumnCount(); ++i) treeList->GetColumn(i)->ViewInfo()->ColumnFooter()->Invalidate(false);
}

// ---- scrolling ------------------------------------------------------------------------------

void TcxTreeListViewInfo::DoScrollHorizontal(int newPosition)
{
    const int delta = HorzScrollPos - newPosition;
    {
        quelvo::sys::ScopeGuard store([this, newPosition] { HorzScrollPos = newPosition; });
        for (int i = 0; i < BandCount; ++i) bands_[static_cast<std::size_t>(i)]->DoHorzOffset(delta);
        nodesViewInfo_->DoHorzOffset(delta);
    }
    InvalidateScrollRect(dsdHorz);
    PostEditUpdate();
}

void TcxTreeListViewInfo::DoScrollVertical(int delta)
{
    GetTreeList()->Nodes()->CalculateInfo(false);
    nodesViewInfo_->DoVertOffset(delta);
    nodesViewInfo_->NeedViewInfoUpdatePost();
    InvalidateScrollRect(dsdVert);
    nodesViewInfo_->SynchronizeTopNode();
    PostEditUpdate();
}

// The cells moved under an open editor: it follows them at the next paint.
void TcxTreeListViewInfo::PostEditUpdate()
{
    if (TcxCustomControlController* controller = GetTreeList()->Controller())
        controller->EditingController()->PostEditUpdate();
}

void TcxTreeListViewInfo::InvalidateRect(const RECT& r)
{
    if (!GetTreeList()->IsLocked() && !IsEmptyRect(r)) GetTreeList()->InvalidateRect(r, false);
}

void TcxTreeListViewInfo::InvalidateScrollRect(TcxDragSizingDirection direction)
{
    if (direction == dsdHorz) {
        if (ScrollAreaVisible) InvalidateRect(ScrollArea);
        return;
    }
    const RECT rows = nodesViewInfo_->RowsRect;
    InvalidateRect(RECT{ClientRect().left, rows.top, ClientRect().right, rows.bottom});
}
