// The header-side view-info items of the tree list: the item base with its
// shift, the indicator cell, column footers, band and column headers, and
// the band and column view infos that place them.

#include <algorithm>

#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/treelist/cxTL.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

RECT Inflated(RECT r, int dx, int dy)
{
    InflateRect(&r, dx, dy);
    return r;
}

RECT Offset(RECT r, int dx, int dy)
{
    OffsetRect(&r, dx, dy);
    return r;
}

} // namespace

// ---- item base ------------------------------------------------------------------------------

TClass TcxTreeListViewInfoItem::StaticClass()
{
    return DefineClass<TcxTreeListViewInfoItem, TcxCustomViewInfoItem>("TcxTreeListViewInfoItem");
}

void TcxTreeListViewInfoItem::Construct(TObject* owner)
{
    TcxCustomViewInfoItem::Construct(owner);
    brush_.reset(CreateObject<TBrush>());
}

void TcxTreeListViewInfoItem::Destroy()
{
    brush_.reset();
    TcxCustomViewInfoItem::Destroy();
}

void TcxTreeListViewInfoItem::Calculate(const RECT& displayRect, const RECT& clipRect)
{
    CheckClipping(displayRect, clipRect);
    DoCalculate();
}

void TcxTreeListViewInfoItem::DoCalculate() { brush_->SetColor(ViewParams.Color); }

TcxEditingControl* TcxTreeListViewInfoItem::GetControl() { return GetTreeList(); }

TcxTreeListOptionsView* TcxTreeListViewInfoItem::GetOptionsView() { return GetTreeList()->OptionsView(); }

TcxTreeListViewInfo* TcxTreeListViewInfoItem::GetTreeListViewInfo()
{
    return static_cast<TcxTreeListViewInfo*>(GetTreeList()->ViewInfo());
}

bool TcxTreeListViewInfoItem::ShiftItem(const RECT& clip, int dx, int dy)
{
    const bool wasVisible = Visible;
    CheckClipping(Offset(DisplayRect, dx, dy), clip);
    if (!wasVisible && Visible) DoCalculate();
    return wasVisible == Visible;
}

// ---- indicator ------------------------------------------------------------------------------

TClass TcxTreeListIndicatorViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListIndicatorViewInfo, TcxTreeListViewInfoItem>("TcxTreeListIndicatorViewInfo");
}

// The corner cells belong to the layout, a row's cell to its row.
TcxTreeListViewInfo* TcxTreeListIndicatorViewInfo::Layout() const
{
    if (auto* row = As<TcxTreeListNodeViewInfo>(Owner())) return row->Owner()->Owner();
    return As<TcxTreeListViewInfo>(Owner());
}

TcxCustomTreeListControl* TcxTreeListIndicatorViewInfo::GetTreeList()
{
    TcxTreeListViewInfo* layout = Layout();
    return layout ? layout->GetTreeList() : nullptr;
}

void TcxTreeListIndicatorViewInfo::Calculate(const RECT& r, const RECT& clip)
{
    TcxTreeListOptionsView* view = GetOptionsView();
    if (!view->Indicator()) return;
    const int border = GetTreeListViewInfo()->GetBorderSize();
    CheckClipping(RECT{border, r.top, border + view->IndicatorWidth(), r.bottom}, clip);
    if (Visible) DoCalculate();
}

void TcxTreeListIndicatorViewInfo::DoCalculate() { ViewParams = GetTreeListViewInfo()->IndicatorParams; }

void TcxTreeListIndicatorViewInfo::DoVertOffset(int dy)
{
    CheckClipping(Offset(DisplayRect, 0, dy), GetTreeListViewInfo()->NodesViewInfo()->RowsRect);
}

void TcxTreeListIndicatorViewInfo::UpdateKind(TcxIndicatorKind kind)
{
    if (Kind == kind) return;
    Kind = kind;
    Invalidate(false);
}

// ---- column footer --------------------------------------------------------------------------

TClass TcxTreeListFooterItemViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListFooterItemViewInfo, TcxTreeListViewInfoItem>("TcxTreeListFooterItemViewInfo");
}

TcxTreeListColumn* TcxTreeListFooterItemViewInfo::GetColumn() const
{
    return static_cast<TcxTreeListColumnViewInfo*>(Owner())->Column();
}

TcxCustomTreeListControl* TcxTreeListFooterItemViewInfo::GetTreeList() { return GetColumn()->TreeList(); }

TcxTreeListBandViewInfo* TcxTreeListFooterItemViewInfo::GetBandViewInfo() const
{
    return static_cast<TcxTreeListColumnViewInfo*>(Owner())->GetBandViewInfo();
}

TcxTreeListColumnSummaryFooter* TcxTreeListFooterItemViewInfo::GetFooterSummary() const
{
    return GetColumn()->SummaryFooter();
}

TAlignment TcxTreeListFooterItemViewInfo::AlignHorz() const { return GetFooterSummary()->AlignHorz(); }

TcxAlignmentVert TcxTreeListFooterItemViewInfo::AlignVert() const { return GetFooterSummary()->AlignVert(); }

bool TcxTreeListFooterItemViewInfo::MultiLine() const { return GetFooterSummary()->MultiLine(); }

std::string TcxTreeListFooterItemViewInfo::Text() const { return GetFooterSummary()->SummaryText(); }

bool TcxTreeListFooterItemViewInfo::GetVisible() const { return Visible && GetColumn()->ColumnOptions()->Footer(); }

void TcxTreeListFooterItemViewInfo::DoHorzOffset(int dx)
{
    if (TcxTreeListBandViewInfo* band = GetBandViewInfo()) ShiftItem(band->FooterRect, dx, 0);
}

// ---- header ---------------------------------------------------------------------------------

TClass TcxTreeListHeaderViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListHeaderViewInfo, TcxTreeListViewInfoItem>("TcxTreeListHeaderViewInfo");
}

TcxTreeListBandViewInfo* TcxTreeListHeaderViewInfo::OwnerBandViewInfo() const
{
    return As<TcxTreeListBandViewInfo>(Owner());
}

TcxCustomTreeListControl* TcxTreeListHeaderViewInfo::GetTreeList() { return OwnerBandViewInfo()->GetTreeList(); }

void TcxTreeListHeaderViewInfo::Destroy()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (treeList && treeList->Controller()) {
        auto* hitTest = static_cast<TcxTreeListHitTest*>(treeList->Controller()->HitTestController());
        if (hitTest->PressedHeader() == this) hitTest->SetPressedHeader(nullptr);
        hitTest->DestroyingItem(this);
    }
    TcxTreeListViewInfoItem::Destroy();
}

const TcxCustomDrawViewInfoItemEvent* TcxTreeListHeaderViewInfo::CustomDrawEvent()
{
    return &GetTreeList()->OnCustomDrawBandHeader;
}

TcxTreeListBandViewInfo* TcxTreeListHeaderViewInfo::GetBandViewInfo() { return OwnerBandViewInfo(); }

TcxTreeListCaption* TcxTreeListHeaderViewInfo::GetCaption() { return GetBandViewInfo()->GetBand()->Caption(); }

std::string TcxTreeListHeaderViewInfo::GetText() { return GetCaption()->Text(); }
TAlignment TcxTreeListHeaderViewInfo::GetAlignHorz() { return GetCaption()->AlignHorz(); }
TcxAlignmentVert TcxTreeListHeaderViewInfo::GetAlignVert() { return GetCaption()->AlignVert(); }
TBitmap* TcxTreeListHeaderViewInfo::GetGlyph() { return GetCaption()->Glyph(); }
TAlignment TcxTreeListHeaderViewInfo::GetGlyphAlignHorz() { return GetCaption()->GlyphAlignHorz(); }
TcxAlignmentVert TcxTreeListHeaderViewInfo::GetGlyphAlignVert() { return GetCaption()->GlyphAlignVert(); }

bool TcxTreeListHeaderViewInfo::GetState(int bit)
{
    return bit == 1 ? GetCaption()->ShowEndEllipsis() : bit == 2 ? GetCaption()->MultiLine() : false;
}

void TcxTreeListHeaderViewInfo::InitViewParams()
{
    ViewParams = GetTreeList()->Styles()->GetBandHeaderParams(GetBandViewInfo()->GetBand());
}

void TcxTreeListHeaderViewInfo::DoCalculate()
{
    if (!Visible) return;
    TextRect = Inflated(DisplayRect, -2, -2);
    if (GetSortOrder() != soNone) {
        SortMarkRect = TextRect;
        SortMarkRect.left = TextRect.right - GetPainterClass()->SortingMarkAreaSize().x;
        TextRect.right = SortMarkRect.left - 2;
    }
    TextRect.left += 1;
    TextRect.right -= 1;
    DoCalculateGlyphPosition();
    Borders = cxBordersAll;
    ButtonState = GetButtonState();
    TcxTreeListViewInfoItem::DoCalculate();
}

void TcxTreeListHeaderViewInfo::DoCalculateGlyphPosition()
{
    GlyphClipped = false;
    TBitmap* glyph = GetGlyph();
    if (!glyph || glyph->Empty()) return;
    const int w = glyph->Width();
    const int h = glyph->Height();
    switch (GetGlyphAlignHorz()) {
    case taLeftJustify:
        GlyphPos.x = TextRect.left;
        TextRect.left += w + 2;
        break;
    case taRightJustify:
        TextRect.right -= w;
        GlyphPos.x = TextRect.right;
        TextRect.right -= 2;
        break;
    default: GlyphPos.x = (TextRect.left + TextRect.right - w) / 2; break;
    }
    switch (GetGlyphAlignVert()) {
    case vaTop: GlyphPos.y = TextRect.top; break;
    case vaBottom: GlyphPos.y = TextRect.bottom - h; break;
    default: GlyphPos.y = (TextRect.top + TextRect.bottom - h) / 2; break;
    }
    GlyphClipped = !cxInRange(GlyphPos.x, ClipRect.left, ClipRect.right - w) ||
                   !cxInRange(GlyphPos.y, ClipRect.top, ClipRect.bottom - h);
}

bool TcxTreeListHeaderViewInfo::GetHotTrack()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    return GetPainterClass()->IsHeaderHotTrack() && treeList->DragAndDropState() != ddsInProcess &&
           treeList->Controller()->HitTestController()->HitTestItem() == this;
}

TcxButtonState TcxTreeListHeaderViewInfo::GetButtonState()
{
    if (Pressed) return cxbsPressed;
    return GetHotTrack() ? cxbsHot : cxbsDefault;
}

void TcxTreeListHeaderViewInfo::UpdateState()
{
    const TcxButtonState state = GetButtonState();
    if (state != ButtonState) ButtonState = state;
    Invalidate(false);
}

void TcxTreeListHeaderViewInfo::SetPressed(bool value)
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (!treeList || !treeList->Controller() || value == Pressed) return;
    auto* hitTest = static_cast<TcxTreeListHitTest*>(treeList->Controller()->HitTestController());
    Pressed = value;
    if (value) {
        TcxTreeListHeaderViewInfo* previous = hitTest->PressedHeader();
        if (previous && previous != this) previous->SetPressed(false);
        hitTest->SetPressedHeader(this);
    } else if (hitTest->PressedHeader() == this) {
        hitTest->SetPressedHeader(nullptr);
    }
    ButtonStateChanged(!value, value);
    UpdateState();
}

void TcxTreeListHeaderViewInfo::ButtonStateChanged(bool wasPressed, bool isPressed)
{
    if (wasPressed && !isPressed) GetTreeList()->DoBandHeaderClick(GetBandViewInfo()->GetBand());
}

bool TcxTreeListHeaderViewInfo::CanDropAt(const POINT& p)
{
    auto* hitTest = static_cast<TcxTreeListHitTest*>(GetTreeList()->Controller()->HitTestController());
    hitTest->SetHitPoint(p);
    TcxTreeListBand* band = hitTest->HitBand();
    if (!band || !band->ViewInfo()) return false;
    RECT zone = band->ViewInfo()->ClipRect;
    zone.bottom += 10;
    return PtInRect(&zone, p) != 0;
}

RECT TcxTreeListHeaderViewInfo::GetDroppingRect()
{
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    return Inflated(RECT{layout->GetContentOffset(), layout->GetBorderSize(), layout->ClientRect().right,
                         layout->GetHeaderOffset()},
                    0, 10);
}

IcxDragSizing* TcxTreeListHeaderViewInfo::GetDragSizing() { return GetBandViewInfo()->GetBand(); }

bool TcxTreeListHeaderViewInfo::GetSelected()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxCustomDesignSelectionHelper* helper = treeList->Controller()->DesignSelectionHelper();
    return treeList->IsDesigning() && helper && helper->IsObjectSelected(GetBandViewInfo()->GetBand());
}

void TcxTreeListHeaderViewInfo::DoHorzOffset(int dx)
{
    TcxTreeListBandViewInfo* band = GetBandViewInfo();
    if (!ShiftItem(band->ClipRect, dx, 0)) return;
    OffsetRect(&SortMarkRect, dx, 0);
    OffsetRect(&TextRect, dx, 0);
    GlyphPos.x += dx;
}

bool TcxTreeListHeaderViewInfo::IsNeedHint(TcxCanvas* canvas, const POINT& p, std::string& text, bool& isMultiLine,
                                           RECT& textRect, bool& isNeedOffsetHint)
{
    text.clear();
    if (hintLock_ > 0) return false;
    ++hintLock_;
    RECT measured = TextRect;
    quelvo::sys::ScopeGuard finish([&] {
        --hintLock_;
        text = GetText();
        textRect = measured;
        isNeedOffsetHint = false;
    });
    text = GetText();
    canvas->Font()->Assign(ViewParams.Font);
    isMultiLine = GetState(2);
    canvas->TextExtent(text, measured, cxtfLeft | cxtfTop | (isMultiLine ? cxtfWordBreak : cxtfSingleLine));
    const bool taller = measured.bottom - measured.top > TextRect.bottom - TextRect.top;
    auto* hitTest = static_cast<TcxTreeListHitTest*>(GetTreeList()->Controller()->HitTestController());
    const bool wider = !hitTest->CanSizing() && PtInRect(&TextRect, p) &&
                       measured.right - measured.left > TextRect.right - TextRect.left;
    return taller || wider;
}

// ---- column header --------------------------------------------------------------------------

TClass TcxTreeListColumnHeaderViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListColumnHeaderViewInfo, TcxTreeListHeaderViewInfo>("TcxTreeListColumnHeaderViewInfo");
}

TcxTreeListColumn* TcxTreeListColumnHeaderViewInfo::GetColumn() const
{
    return static_cast<TcxTreeListColumnViewInfo*>(Owner())->Column();
}

TcxCustomTreeListControl* TcxTreeListColumnHeaderViewInfo::GetTreeList() { return GetColumn()->TreeList(); }

const TcxCustomDrawViewInfoItemEvent* TcxTreeListColumnHeaderViewInfo::CustomDrawEvent()
{
    return &GetTreeList()->OnCustomDrawHeaderCell;
}

TcxTreeListBandViewInfo* TcxTreeListColumnHeaderViewInfo::GetBandViewInfo()
{
    return static_cast<TcxTreeListColumnViewInfo*>(Owner())->GetBandViewInfo();
}

TcxTreeListCaption* TcxTreeListColumnHeaderViewInfo::GetCaption() { return GetColumn()->Caption(); }

TcxDataSortOrder TcxTreeListColumnHeaderViewInfo::GetSortOrder() { return GetColumn()->GetRealSortOrder(); }

void TcxTreeListColumnHeaderViewInfo::InitViewParams()
{
    ViewParams = GetTreeList()->Styles()->GetColumnHeaderParams(GetColumn());
}

IcxDragSizing* TcxTreeListColumnHeaderViewInfo::GetDragSizing() { return GetColumn(); }

bool TcxTreeListColumnHeaderViewInfo::GetSelected()
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    TcxCustomDesignSelectionHelper* helper = treeList->Controller()->DesignSelectionHelper();
    return treeList->IsDesigning() && helper && helper->IsObjectSelected(GetColumn());
}

RECT TcxTreeListColumnHeaderViewInfo::GetDroppingRect()
{
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    return Inflated(RECT{layout->GetContentOffset(), layout->GetHeaderOffset(), layout->ClientRect().right,
                         layout->GetCellsOffset()},
                    0, 10);
}

bool TcxTreeListColumnHeaderViewInfo::IsFirstInRow() const
{
    TcxTreeListBandRow* row = GetColumn()->OwnerBandRow();
    return !row || row->First() == GetColumn();
}

bool TcxTreeListColumnHeaderViewInfo::IsLastInRow() const
{
    TcxTreeListBandRow* row = GetColumn()->OwnerBandRow();
    return !row || row->Last() == GetColumn();
}

RECT TcxTreeListColumnHeaderViewInfo::GetDisplayRect()
{
    RECT r = DisplayRect;
    if (OverlapLeft && !IsFirstInRow()) --r.left;
    return r;
}

void TcxTreeListColumnHeaderViewInfo::DoCalculate()
{
    TcxTreeListHeaderViewInfo::DoCalculate();
    OverlapLeft = !GetOptionsView()->ExtPaintStyle() && GetPainterClass() == TcxUltraFlatLookAndFeelPainter::Class();
    const RECT display = GetDisplayRect();
    if (ClipRect.left == DisplayRect.left) ClipRect.left = display.left;
    // Inner headers have both neighbours; the outer ones the side that faces in.
    Neighbors = TcxNeighbors{};
    if (!IsFirstInRow()) Neighbors.Include(nLeft);
    if (!IsLastInRow()) Neighbors.Include(nRight);
}

void TcxTreeListColumnHeaderViewInfo::ButtonStateChanged(bool wasPressed, bool isPressed)
{
    if (!wasPressed || isPressed) return;
    TcxCustomTreeListControl* treeList = GetTreeList();
    auto* controller = static_cast<TcxTreeListController*>(treeList->Controller());
    TcxTreeListColumn* column = GetColumn();
    if (!controller->HeaderDragged() && !controller->DoubleClick()) {
        const TcxDataSortOrder order = column->SortOrder() == soAscending ? soDescending : soAscending;
        controller->DoChangeColumnSortOrder(column, order, TShiftState{});
    }
    treeList->DoColumnHeaderClick(column);
}

// ---- band view info -------------------------------------------------------------------------

TClass TcxTreeListBandViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListBandViewInfo, TcxTreeListViewInfoItem>("TcxTreeListBandViewInfo");
}

void TcxTreeListBandViewInfo::Construct(TObject* owner)
{
    TcxTreeListViewInfoItem::Construct(owner);
    TObject* self = this;
    header_.reset(CreateObject<TcxTreeListHeaderViewInfo>(self));
    backgroundBrush_.reset(CreateObject<TBrush>());
    footerBrush_.reset(CreateObject<TBrush>());
}

void TcxTreeListBandViewInfo::Destroy()
{
    header_.reset();
    backgroundBrush_.reset();
    footerBrush_.reset();
    TcxTreeListViewInfoItem::Destroy();
}

TcxTreeListBand* TcxTreeListBandViewInfo::GetBand() const { return static_cast<TcxTreeListBand*>(Owner()); }

TcxCustomTreeListControl* TcxTreeListBandViewInfo::GetTreeList() { return GetBand()->TreeList(); }

int TcxTreeListBandViewInfo::GetDisplayWidth() const { return GetBand()->DisplayWidth(); }

TcxTreeListBandFixedKind TcxTreeListBandViewInfo::GetFixed() const { return GetBand()->FixedKind(); }

void TcxTreeListBandViewInfo::SetCapacity(int count)
{
    if (static_cast<int>(columns_.capacity()) < count) columns_.reserve(static_cast<std::size_t>(count));
    columns_.clear();
}

void TcxTreeListBandViewInfo::DoCalculate()
{
    backgroundBrush_->SetColor(BackgroundParams.Color);
    FooterParams = GetTreeList()->Styles()->GetBandFooterParams(GetBand());
    footerBrush_->SetColor(FooterParams.Color);
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    if (GetOptionsView()->Bands()) {
        header_->ViewParams = ViewParams;
        RECT r = DisplayRect;
        r.bottom = layout->GetHeaderOffset();
        header_->Calculate(r, ClipRect);
    }
    CalcFooterRect();
    DoCalculateColumns();
}

void TcxTreeListBandViewInfo::CalcFooterRect()
{
    FooterRect = GetTreeListViewInfo()->FooterRect;
    FooterRect.left = ClipRect.left;
    FooterRect.right = ClipRect.right;
}

void TcxTreeListBandViewInfo::DoCalculateColumns()
{
    TcxTreeListBand* band = GetBand();
    SetCapacity(band->VisibleColumnCount());
    TcxTreeListBandRows* rows = band->Rows();
    for (int r = 0; r < rows->Count(); ++r) {
        TcxTreeListBandRow* row = rows->Items(r);
        int x = DisplayRect.left;
        for (int c = 0; c < row->Count(); ++c) {
            TcxTreeListColumnViewInfo* column = row->Items(c)->ViewInfo();
            column->XOfs = x;
            column->YOfs = row->LineOffset();
            columns_.push_back(column);
            x += column->GetDisplayWidth();
            column->DoCalculate();
        }
    }
    Opaque = false;
    CheckOpaque();
}

void TcxTreeListBandViewInfo::CheckOpaque()
{
    constexpr int kNoColumns = 107374182;
    TcxTreeListBandRows* rows = GetBand()->Rows();
    int lines = 0;
    for (int r = 0; r < rows->Count(); ++r) {
        TcxTreeListBandRow* row = rows->Items(r);
        int smallest = kNoColumns;
        for (int c = 0; c < row->Count(); ++c) smallest = std::min(smallest, row->Items(c)->Position()->LineCount());
        lines += smallest;
    }
    Opaque = ColumnCount() > 0 && lines == GetTreeList()->HeaderLineCount();
}

void TcxTreeListBandViewInfo::DoHorzOffset(int dx)
{
    if (!ShiftItem(GetTreeListViewInfo()->ScrollArea, dx, 0)) return;
    CalcFooterRect();
    if (GetOptionsView()->Bands()) header_->DoHorzOffset(dx);
    for (TcxTreeListColumnViewInfo* column : columns_) column->DoHorzOffset(dx);
}

// ---- column view info -----------------------------------------------------------------------

TClass TcxTreeListColumnViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListColumnViewInfo, TObject>("TcxTreeListColumnViewInfo");
}

void TcxTreeListColumnViewInfo::Construct(TcxTreeListColumn* column)
{
    column_ = column;
    TObject* self = this;
    header_.reset(CreateObject<TcxTreeListColumnHeaderViewInfo>(self));
    footer_.reset(CreateObject<TcxTreeListFooterItemViewInfo>(self));
}

void TcxTreeListColumnViewInfo::Destroy()
{
    header_.reset();
    footer_.reset();
    TObject::Destroy();
}

TcxTreeListViewInfo* TcxTreeListColumnViewInfo::Layout() const
{
    return static_cast<TcxTreeListViewInfo*>(column_->TreeList()->ViewInfo());
}

int TcxTreeListColumnViewInfo::GetDisplayWidth() const { return column_->DisplayWidth(); }

int TcxTreeListColumnViewInfo::GetLineCount() const { return column_->Position()->LineCount(); }

TcxTreeListBandViewInfo* TcxTreeListColumnViewInfo::GetBandViewInfo() const
{
    return column_->OwnerBand() ? column_->OwnerBand()->ViewInfo() : nullptr;
}

int TcxTreeListColumnViewInfo::GetFooterCellsOffset() const
{
    TcxTreeListViewInfo* layout = Layout();
    return layout->GetFooterOffset() + layout->GetLookAndFeelPainter()->FooterBorderSize() + YOfs * layout->FooterLineHeight;
}

RECT TcxTreeListColumnViewInfo::CalcHeaderRect() const
{
    TcxTreeListViewInfo* layout = Layout();
    const int top = layout->GetHeaderOffset() + YOfs * layout->HeaderLineHeight;
    return RECT{XOfs, top, XOfs + GetDisplayWidth(), top + GetLineCount() * layout->HeaderLineHeight};
}

RECT TcxTreeListColumnViewInfo::CalcFooterRect() const
{
    TcxTreeListViewInfo* layout = Layout();
    TcxCustomLookAndFeelPainterClass painter = layout->GetLookAndFeelPainter();
    const int border = painter->FooterBorderSize();
    const int left = column_->IsLeftMost() ? XOfs + border : XOfs;
    const int top = GetFooterCellsOffset();
    const int right = left + GetDisplayWidth() - (column_->IsLeftMost() || column_->IsRightMost() ? border : 0);
    const int offset = painter->FooterCellOffset();
    return Inflated(RECT{left, top, right, top + GetLineCount() * layout->FooterLineHeight}, -offset, -offset);
}

void TcxTreeListColumnViewInfo::DoCalculate()
{
    TcxTreeListBandViewInfo* band = GetBandViewInfo();
    if (!band) return;
    TcxTreeListOptionsView* view = column_->TreeList()->OptionsView();
    if (view->Headers()) header_->Calculate(CalcHeaderRect(), band->ClipRect);
    if (view->Footer()) footer_->Calculate(CalcFooterRect(), band->FooterRect);
}

void TcxTreeListColumnViewInfo::DoHorzOffset(int dx)
{
    TcxCustomTreeListControl* treeList = column_->TreeList();
    if (treeList->OptionsView()->Headers()) header_->DoHorzOffset(dx);
    if (treeList->OptionsView()->Footer() && treeList->GetVisibleColumnCount() > 0) footer_->DoHorzOffset(dx);
    XOfs += dx;
}
