// The tree list's painter: background, headers, footer, and the rows with
// their indicators, indents, tree lines, buttons, images, cells, previews,
// grid lines, fixed separators and focus rectangle.

#include "components/treelist/cxTLPainter.h"

#include <memory>

#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxInplaceContainerControllers.h"
#include "components/treelist/cxTL.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

namespace {

bool HasPixels(TBitmap* bitmap) { return bitmap && !bitmap->Empty(); }

} // namespace

TClass TcxTreeListControlPainter::StaticClass()
{
    return DefineClass<TcxTreeListControlPainter, TcxCustomControlPainter>("TcxTreeListControlPainter");
}

TcxCustomTreeListControl* TcxTreeListControlPainter::GetTreeList() const
{
    return static_cast<TcxCustomTreeListControl*>(Control());
}

TcxTreeListViewInfo* TcxTreeListControlPainter::GetTreeListViewInfo() const
{
    return static_cast<TcxTreeListViewInfo*>(GetViewInfo());
}

bool TcxTreeListControlPainter::GetViewState(int bit) const { return GetTreeList()->OptionsView()->GetState(bit); }

bool TcxTreeListControlPainter::GetIsFooterVisible() const
{
    return GetTreeList()->OptionsView()->Footer() && GetTreeList()->GetVisibleColumnCount() > 0;
}

// ---- the whole control ----------------------------------------------------------------------

void TcxTreeListControlPainter::DoPaint()
{
    if (GetTreeList()->IsLocked()) return TcxCustomControlPainter::DoPaint();
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    // Rows are positioned lazily; they must be in place before they are drawn.
    layout->NodesViewInfo()->PostViewInfoUpdate();
    const RECT client = layout->ClientRect();
    if (layout->VisibleCellsRect.right < client.right) {
        const RECT right{layout->VisibleCellsRect.right, client.top, client.right, client.bottom};
        DrawBackgroundRect(right);
        if (!Buffered()) Canvas()->ExcludeClipRect(right);
    }
    if (GetViewState(tlov::Bands) || GetViewState(tlov::Headers)) DrawHeader();
    if (GetIsFooterVisible()) DrawFooter();
    contentClipRegion_.reset(Canvas()->GetClipRegion());
    quelvo::sys::ScopeGuard freeRegion([this] { contentClipRegion_.reset(); });
    DrawNodes();
}

void TcxTreeListControlPainter::ExcludeFromContent(const RECT& r)
{
    Canvas()->ExcludeClipRect(r);
    if (contentClipRegion_) contentClipRegion_->Combine(new TcxRegion(r), roSubtract);
}

void TcxTreeListControlPainter::RestoreClipping()
{
    if (contentClipRegion_) Canvas()->SetClipRegion(contentClipRegion_.get(), roSet, false);
}

void TcxTreeListControlPainter::DrawBackgroundRect(const RECT& r)
{
    if (cxRectIsEmpty(r) || !Canvas()->RectVisible(r)) return;
    TcxCustomTreeListControl* treeList = GetTreeList();
    bool done = false;
    if (treeList->OnCustomDrawBackground) treeList->OnCustomDrawBackground(treeList, Canvas(), r, done);
    if (!done) DrawRect(r, GetViewInfo()->Brush(), GetTreeListViewInfo()->BackgroundBitmap);
}

void TcxTreeListControlPainter::DrawRect(const RECT& r, TBrush* brush, TBitmap* bitmap)
{
    if (cxRectIsEmpty(r)) return;
    if (HasPixels(bitmap)) return Canvas()->FillRect(r, bitmap);
    Canvas()->SetBrushColor(brush->Color());
    Canvas()->FillRect(r);
}

void TcxTreeListControlPainter::DrawRectWithBorders(const RECT& r, TBrush* brush, bool bordersOnly, TcxBorders borders,
                                                    TBitmap* bitmap)
{
    RECT rest = r;
    const TColor grid = GetTreeListViewInfo()->GridLineBrush()->Color();
    auto strip = [this, grid](const RECT& s) {
        Canvas()->SetBrushColor(grid);
        Canvas()->FillRect(s);
    };
    if (borders.Contains(bLeft)) strip(RECT{r.left, r.top, ++rest.left, r.bottom});
    if (borders.Contains(bRight)) strip(RECT{--rest.right, r.top, r.right, r.bottom});
    if (borders.Contains(bTop)) strip(RECT{r.left, r.top, r.right, ++rest.top});
    if (borders.Contains(bBottom)) strip(RECT{r.left, --rest.bottom, r.right, r.bottom});
    if (!bordersOnly) DrawRect(rest, brush, bitmap);
}

void TcxTreeListControlPainter::DrawSeparators(const RECT (&separators)[2])
{
    const TColor color = GetTreeListViewInfo()->FixedSeparatorBrush()->Color();
    for (const RECT& r : separators) {
        if (cxRectIsEmpty(r)) continue;
        Canvas()->SetBrushColor(color);
        Canvas()->FillRect(r);
        ExcludeFromContent(r);
    }
}

bool TcxTreeListControlPainter::DoCustomDrawEx(TcxCustomViewInfoItem* item, bool excludeWhenDone,
                                               const TcxCustomDrawViewInfoItemEvent& event)
{
    const bool done = DoCustomDraw(item, event);
    if (done && excludeWhenDone) Canvas()->ExcludeClipRect(item->ClipRect);
    return done;
}

void TcxTreeListControlPainter::DoPaintBackground(TcxCanvas* canvas, const RECT& r, bool& done)
{
    TBitmap* bitmap = currentBitmap_;
    currentBitmap_ = nullptr;
    if (!bitmap) return;
    canvas->FillRect(r, bitmap);
    done = true;
}

// ---- custom draw of cells -------------------------------------------------------------------

// A handler sees the cell's colours and font on the canvas ...
void TcxTreeListControlPainter::BeforeCustomDraw(TcxCustomViewInfoItem* item)
{
    auto* cell = As<TcxTreeListEditCellViewInfo>(item);
    if (!cell) return TcxCustomControlPainter::BeforeCustomDraw(item);
    TcxCustomEditViewInfo* info = cell->ViewInfo();
    if (!info || !cell->ViewParams.Font) return;
    Canvas()->SetBrushColor(info->BackgroundColor());
    if (info->Font) Canvas()->Font()->Assign(info->Font);
    Canvas()->Font()->SetColor(info->TextColor);
}

// ... and whatever colours it leaves there are the ones the editor paints with.
void TcxTreeListControlPainter::AfterCustomDraw(TcxCustomViewInfoItem* item)
{
    auto* cell = As<TcxTreeListEditCellViewInfo>(item);
    if (!cell) return TcxCustomControlPainter::AfterCustomDraw(item);
    TcxCustomEditViewInfo* info = cell->ViewInfo();
    if (!info) return;
    info->SetBackgroundColor(Canvas()->Brush()->Color());
    info->TextColor = Canvas()->Font()->Color();
}

// ---- headers --------------------------------------------------------------------------------

void TcxTreeListControlPainter::DrawHeader()
{
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    {
        std::unique_ptr<TcxRegion> saved(Canvas()->GetClipRegion());
        quelvo::sys::ScopeGuard restore([this, &saved] { Canvas()->SetClipRegion(saved.release(), roSet); });
        if (GetViewState(tlov::Indicator)) DrawIndicator(layout->HeaderIndicator());
        DrawSeparators(layout->HeaderSeparators);
        DrawBandItem(layout->FixedBands[tlbfLeft]);
        DrawBandItem(layout->FixedBands[tlbfRight]);
        if (layout->BandCount > 0 && layout->ScrollAreaVisible) {
            Canvas()->IntersectClipRect(layout->ScrollArea);
            for (int i = 0; i < layout->BandCount; ++i) DrawBandItem(layout->GetBand(i));
        }
        TcxTreeListBandViewInfo* last = layout->FixedBands[tlbfRight];
        if (!last && layout->BandCount > 0) last = layout->GetBand(layout->BandCount - 1);
        if (last && !last->Opaque) Canvas()->FrameRect(last->DisplayRect, clBtnShadow, 1, TcxBorders{bRight});
    }
    Canvas()->ExcludeClipRect(layout->HeaderIndicatorRect);
}

void TcxTreeListControlPainter::DrawBandItem(TcxTreeListBandViewInfo* band)
{
    if (!band || !band->Visible || !Canvas()->RectVisible(band->ClipRect)) return;
    if (Buffered()) DrawHeaderRect(band->ClipRect, band);
    if (GetViewState(tlov::Bands)) DrawHeaderItem(band->Header(), band->Opaque);
    if (GetViewState(tlov::Headers))
        for (int i = 0; i < band->ColumnCount(); ++i) DrawHeaderItem(band->GetColumn(i)->ColumnHeader(), band->Opaque);
    if (!Buffered() && !band->Opaque) DrawHeaderRect(band->ClipRect, band);
}

void TcxTreeListControlPainter::DrawHeaderRect(const RECT& r, TcxTreeListBandViewInfo* band)
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (treeList->OnCustomDrawHeader && DoCustomDraw(band, treeList->OnCustomDrawHeader)) return;
    DrawRect(r, band->BackgroundBrush(), band->BackgroundParams.Bitmap);
    Canvas()->FrameRect(r, clBtnShadow, 1, TcxBorders{bBottom});
}

void TcxTreeListControlPainter::DrawHeaderItem(TcxTreeListHeaderViewInfo* header, bool keepClip)
{
    if (!header || !header->Visible || !Canvas()->RectVisible(header->ClipRect)) return;
    if (!Buffered() && !GetPainter()->HeaderDrawCellsFirst() && header->GetBandViewInfo())
        DrawHeaderRect(header->ClipRect, header->GetBandViewInfo());
    if (!DoCustomDrawEx(header, false, *header->CustomDrawEvent())) {
        currentBitmap_ = header->ViewParams.Bitmap;
        ExtDrawHeader(header->GetDisplayRect(), header->TextRect, header->Neighbors, header->Borders,
                      header->ButtonState, header->GetAlignHorz(), header->GetAlignVert(), header->GetState(2),
                      header->GetState(1), header->GetText(), header->ViewParams.Font, header->ViewParams.TextColor,
                      header->ViewParams.Color);
        DrawHeaderGlyphAndMarks(header);
    }
    if (header->GetSelected()) {
        RECT r = header->GetDisplayRect();
        for (int i = 0; i < 2; ++i) {
            InflateRect(&r, -1, -1);
            Canvas()->DrawFocusRect(r);
        }
    }
    if (!Buffered() && !keepClip) Canvas()->ExcludeClipRect(header->ClipRect);
}

void TcxTreeListControlPainter::DrawHeaderGlyphAndMarks(TcxTreeListHeaderViewInfo* header)
{
    TBitmap* glyph = header->GetGlyph();
    if (HasPixels(glyph)) {
        std::unique_ptr<TcxRegion> saved;
        if (header->GlyphClipped) {
            saved.reset(Canvas()->GetClipRegion());
            Canvas()->IntersectClipRect(header->ClipRect);
        }
        quelvo::sys::ScopeGuard restore([this, &saved] {
            if (saved) Canvas()->SetClipRegion(saved.release(), roSet);
        });
        Canvas()->DrawGlyph(header->GlyphPos.x, header->GlyphPos.y, glyph, true, clNone);
    }
    if (header->GetSortOrder() != soNone)
        GetPainter()->DrawSortingMark(Canvas(), header->SortMarkRect, header->GetSortOrder() == soAscending);
    if (header->ButtonState == cxbsPressed) GetPainter()->DrawHeaderPressed(Canvas(), header->GetDisplayRect());
}

void TcxTreeListControlPainter::ExtDrawHeader(const RECT& bounds, const RECT& textArea, TcxNeighbors neighbors,
                                              TcxBorders borders, TcxButtonState state, TAlignment alignHorz,
                                              TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis,
                                              const std::string& text, TFont* font, TColor textColor, TColor color)
{
    const auto background = TcxDrawBackgroundEvent::Bind(this, &TcxTreeListControlPainter::DoPaintBackground);
    if (GetViewState(tlov::ExtPaintStyle))
        GetPainter()->DrawHeaderEx(Canvas(), bounds, textArea, neighbors, borders, state, alignHorz, alignVert,
                                   multiLine, showEndEllipsis, text, font, textColor, color, background);
    else
        GetPainter()->DrawHeader(Canvas(), bounds, textArea, neighbors, borders, state, alignHorz, alignVert,
                                 multiLine, showEndEllipsis, text, font, textColor, color, background);
    currentBitmap_ = nullptr;
}

// ---- footer ---------------------------------------------------------------------------------

void TcxTreeListControlPainter::DrawFooter()
{
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    {
        std::unique_ptr<TcxRegion> saved(Canvas()->GetClipRegion());
        quelvo::sys::ScopeGuard restore([this, &saved] { Canvas()->SetClipRegion(saved.release(), roSet); });
        if (GetViewState(tlov::Indicator)) DrawIndicator(layout->FooterIndicator());
        DrawSeparators(layout->FooterSeparators);
        DrawBandFooter(layout->FixedBands[tlbfLeft]);
        DrawBandFooter(layout->FixedBands[tlbfRight]);
        if (layout->BandCount > 0 && layout->ScrollAreaVisible) {
            Canvas()->IntersectClipRect(layout->ScrollArea);
            for (int i = 0; i < layout->BandCount; ++i) DrawBandFooter(layout->GetBand(i));
        }
    }
    const int fb = GetPainter()->FooterBorderSize();
    RECT border = layout->FooterRect;
    border.left -= fb;
    border.top -= fb;
    border.bottom += fb;
    GetPainter()->DrawFooterSeparator(Canvas(), RECT{border.left, border.top, border.right, border.top + fb});
    GetPainter()->DrawFooterBorder(Canvas(), border);
    border.left = layout->ClientRect().left;
    Canvas()->ExcludeClipRect(border);
}

void TcxTreeListControlPainter::DrawBandFooter(TcxTreeListBandViewInfo* band)
{
    if (!band || !band->Visible) return;
    if (Buffered()) DrawFooterRect(band->FooterRect, band);
    for (int i = 0; i < band->ColumnCount(); ++i) DrawFooterItem(band->GetColumn(i)->ColumnFooter());
    if (!Buffered()) DrawFooterRect(band->FooterRect, band);
}

void TcxTreeListControlPainter::DrawFooterRect(const RECT& r, TcxTreeListBandViewInfo* band)
{
    if (!band || !band->Visible || !Canvas()->RectVisible(r)) return;
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (treeList->OnCustomDrawFooter) {
        const RECT display = band->DisplayRect;
        const RECT clip = band->ClipRect;
        band->DisplayRect.top = r.top;
        band->ClipRect = r;
        quelvo::sys::ScopeGuard putBack([band, display, clip] {
            band->DisplayRect = display;
            band->ClipRect = clip;
        });
        if (DoCustomDraw(band, treeList->OnCustomDrawFooter)) return;
    }
    DrawRect(r, band->FooterBrush(), band->FooterParams.Bitmap);
}

void TcxTreeListControlPainter::DrawFooterItem(TcxTreeListFooterItemViewInfo* footer)
{
    if (!footer->GetVisible() || !Canvas()->RectVisible(footer->ClipRect)) return;
    if (!Buffered() && !GetPainter()->FooterDrawCellsFirst()) DrawFooterRect(footer->ClipRect, footer->GetBandViewInfo());
    if (!DoCustomDraw(footer, GetTreeList()->OnCustomDrawFooterCell)) {
        currentBitmap_ = footer->ViewParams.Bitmap;
        GetPainter()->DrawFooterCell(Canvas(), footer->DisplayRect, footer->AlignHorz(), footer->AlignVert(),
                                     footer->MultiLine(), footer->Text(), footer->ViewParams.Font,
                                     footer->ViewParams.TextColor, footer->ViewParams.Color,
                                     TcxDrawBackgroundEvent::Bind(this, &TcxTreeListControlPainter::DoPaintBackground));
        currentBitmap_ = nullptr;
    }
    if (!Buffered()) Canvas()->ExcludeClipRect(footer->ClipRect);
}

// ---- indicator ------------------------------------------------------------------------------

void TcxTreeListControlPainter::DrawIndicator(TcxTreeListIndicatorViewInfo* indicator)
{
    if (!indicator || !indicator->Visible) return;
    if (!DoCustomDraw(indicator, GetTreeList()->OnCustomDrawIndicatorCell)) DrawRowIndicatorGlyph(indicator);
    // Also when a handler drew it: the cell is not part of the node area.
    ExcludeFromContent(indicator->ClipRect);
}

void TcxTreeListControlPainter::DrawRowIndicatorGlyph(TcxTreeListIndicatorViewInfo* indicator)
{
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    currentBitmap_ = indicator->ViewParams.Bitmap;
    const TColor color = indicator->ViewParams.Color;
    if (indicator == layout->HeaderIndicator() || indicator == layout->FooterIndicator()) {
        ExtDrawHeader(indicator->DisplayRect, indicator->DisplayRect, TcxNeighbors{}, cxBordersAll, cxbsDefault,
                      taLeftJustify, vaTop, false, false, std::string(), nullptr, clDefault, color);
        return;
    }
    const auto background = TcxDrawBackgroundEvent::Bind(this, &TcxTreeListControlPainter::DoPaintBackground);
    if (GetViewState(tlov::ExtPaintStyle))
        GetPainter()->DrawIndicatorItemEx(Canvas(), indicator->DisplayRect, indicator->Kind, color, background);
    else
        GetPainter()->DrawIndicatorItem(Canvas(), indicator->DisplayRect, indicator->Kind, color, background);
    currentBitmap_ = nullptr;
}

// ---- rows -----------------------------------------------------------------------------------

void TcxTreeListControlPainter::DrawNodes()
{
    TcxTreeListNodesViewInfo* rows = GetTreeListViewInfo()->NodesViewInfo();
    for (int i = 0; i < rows->Count; ++i) DrawNode(rows->GetNodeViewInfo(i));
    DrawBackgroundRect(rows->SpaceArea);
}

void TcxTreeListControlPainter::DrawNode(TcxTreeListNodeViewInfo* row)
{
    if (GetViewState(tlov::Indicator)) DrawIndicator(row->Indicator());
    if (!Canvas()->RectVisible(row->ContentRect)) return;
    // Right to left: an image wider than its indent is covered by the level
    // indents drawn after it.
    for (int i = row->GetIndentCount() - 1; i >= 0; --i) DrawNodeIndent(row->GetIndent(i));
    int first = 0;
    int last = row->GetGroupCount() - 1;
    if (!row->IsGroup) {
        DrawSeparators(row->Separators);
        if (row->LeftFixedGroup) {
            DrawCellsGroup(row->LeftFixedGroup);
            ++first;
        }
        if (row->RightFixedGroup) {
            DrawCellsGroup(row->RightFixedGroup);
            --last;
        }
    }
    if (row->HasPreview) DrawNodePreview(row->Preview());
    {
        quelvo::sys::ScopeGuard restore([this] { RestoreClipping(); });
        DrawNodeCells(row, first, last);
    }
    if (row->Focused) DrawFocusRect(row);
}

void TcxTreeListControlPainter::DrawNodeCells(TcxTreeListNodeViewInfo* row, int firstGroup, int lastGroup)
{
    if (row->IsGroup) return DrawEditCell(row->GroupNodeEdit(), true);
    TcxTreeListViewInfo* layout = GetTreeListViewInfo();
    if (!layout->ScrollAreaVisible) return;
    Canvas()->IntersectClipRect(layout->ScrollArea);
    for (int i = firstGroup; i <= lastGroup; ++i) DrawCellsGroup(row->GetGroup(i));
}

void TcxTreeListControlPainter::DrawCellsGroup(TcxTreeListCellsGroupViewInfo* group)
{
    if (!group || !group->Visible || !Canvas()->RectVisible(group->ClipRect)) return;
    if (Buffered() && !group->BandOpaque) DrawCellsGroupBackground(group);
    for (int i = 0; i < group->GetCount(); ++i) DrawEditCell(group->GetCell(i), group->BandOpaque);
    if (!Buffered() && !group->BandOpaque) DrawCellsGroupBackground(group);
    DrawRectWithBorders(group->DisplayRect, nullptr, true, group->Borders, nullptr);
}

void TcxTreeListControlPainter::DrawCellsGroupBackground(TcxTreeListCellsGroupViewInfo* group)
{
    if (DoCustomDraw(group, GetTreeList()->OnCustomDrawCellsGroup)) return;
    DrawRectWithBorders(group->DisplayRect, group->GetCurrentBrush(), false, group->Borders, group->GetGroupBitmap());
}

void TcxTreeListControlPainter::DrawEditCell(TcxTreeListEditCellViewInfo* cell, bool keepClip)
{
    if (!cell || !cell->Visible || !Canvas()->RectVisible(cell->DisplayRect)) return;
    DrawRectWithBorders(cell->DisplayRect, nullptr, true, cell->Borders, nullptr);
    const TcxCustomDrawViewInfoItemEvent* event = cell->CustomDrawEvent();
    if (event && *event) {
        // One event per cell: a handler that only recolours the canvas
        // recolours the cell, which its editor then paints.
        bool done = false;
        BeforeCustomDraw(cell);
        {
            quelvo::sys::ScopeGuard after([this, cell] { AfterCustomDraw(cell); });
            (*event)(GetTreeList(), Canvas(), cell, done);
        }
        if (!done && cell->ViewInfo()) {
            TcxCustomEditViewInfo* info = cell->ViewInfo();
            TFont* font = info->Font;
            info->Font = Canvas()->Font();
            quelvo::sys::ScopeGuard putBack([info, font] { info->Font = font; });
            PaintEditCellContent(cell);
        }
    } else if (cell->ViewInfo()) {
        PaintEditCellContent(cell);
    }
    if (!Buffered() && !keepClip) Canvas()->ExcludeClipRect(cell->ClipRect);
}

void TcxTreeListControlPainter::PaintEditCellContent(TcxTreeListEditCellViewInfo* cell)
{
    if (HasPixels(cell->ViewParams.Bitmap) && !cell->GetSelected()) Canvas()->FillRect(cell->ContentRect, cell->ViewParams.Bitmap);
    cell->ViewInfo()->PaintEx(Canvas());
}

void TcxTreeListControlPainter::DrawFocusRect(TcxTreeListNodeViewInfo* row)
{
    const RECT r = row->GetFocusRect();
    RECT clip = row->ContentRect;
    if (row->FocusedCell) {
        TcxCustomControlController* controller = GetTreeList()->Controller();
        if (controller->IsEditing()) return;
        clip = row->FocusedCell->ClipRect;
    }
    if (!cxRectIntersect(r, clip)) return;
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (!treeList->GetIsFocused() && treeList->OptionsSelection()->HideFocusRect()) return;
    RestoreClipping();
    Canvas()->IntersectClipRect(clip);
    quelvo::sys::ScopeGuard restore([this] { RestoreClipping(); });
    if (treeList->GetIsFocused()) Canvas()->DrawFocusRect(r);
    else Canvas()->InvertFrame(r, 1);
}

// ---- indents --------------------------------------------------------------------------------

void TcxTreeListControlPainter::DrawNodeIndent(TcxTreeListIndentViewInfo* indent)
{
    if (DoCustomDraw(indent, GetTreeList()->OnCustomDrawIndentCell)) return;
    DrawRectWithBorders(indent->DisplayRect, indent->Brush(), false, indent->Borders, indent->ViewParams.Bitmap);
    if (indent->IsLevel) {
        DrawTreeLines(indent);
        if (indent->HasButton) DrawExpandButton(indent->GetButtonRect(), indent->GetIsExpanded(), indent->ViewParams.Bitmap);
    } else if (indent->ImageValid) {
        DrawImage(indent);
    }
}

void TcxTreeListControlPainter::DrawTreeLines(TcxTreeListIndentViewInfo* indent)
{
    const TColor color = indent->ViewParams.Color;
    if (indent->Lines & (tlifUp | tlifDown)) DrawTreeLine(indent->VertLineRect, color);
    if (indent->Lines & tlifRight) DrawTreeLine(indent->HorzLineRect, color);
}

void TcxTreeListControlPainter::DrawTreeLine(const RECT& r, TColor indentColor)
{
    if (cxRectIsEmpty(r)) return;
    const TColor lineColor = GetTreeListViewInfo()->RealTreeLineColor;
    switch (GetTreeList()->OptionsView()->TreeLineStyle()) {
    case tllsDot: return cxFillHalfToneRect(Canvas()->Canvas(), r, indentColor, lineColor);
    case tllsSolid:
        Canvas()->SetBrushColor(lineColor);
        return Canvas()->FillRect(r);
    default: return;
    }
}

void TcxTreeListControlPainter::DrawExpandButton(const RECT& r, bool expanded, TBitmap* bitmap)
{
    Canvas()->FillRect(r, HasPixels(bitmap) ? bitmap : nullptr);
    const TColor lineColor = GetTreeListViewInfo()->RealTreeLineColor;
    Canvas()->SetBrushColor(lineColor);
    GetPainter()->DrawSmallExpandButton(Canvas(), r, expanded, lineColor, clDefault);
}

void TcxTreeListControlPainter::DrawImage(TcxTreeListIndentViewInfo* indent)
{
    RECT r = indent->DisplayRect;
    r.right -= 3;
    const RECT image = cxRectCenter(r, indent->Images->Width(), indent->Images->Height());
    if (cxRectIsEmpty(image)) return;
    indent->Images->Draw(Canvas()->Canvas(), image.left, image.top, indent->ImageIndex, true);
}
