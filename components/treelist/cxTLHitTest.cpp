// The tree list's hit test: the header area (bands, their headers, column
// headers and footers) is tried first, then the rows; a hit on a header or
// a row edge that can be dragged adds the sizing code of its direction.

#include <cstdlib>

#include "components/treelist/cxTL.h"
#include "platform/hostlib/visual/forms.h"

using namespace hostlib;

TClass TcxTreeListHitTest::StaticClass()
{
    return DefineClass<TcxTreeListHitTest, TcxCustomHitTestController>("TcxTreeListHitTest");
}

TcxCustomTreeListControl* TcxTreeListHitTest::GetTreeList() const
{
    return static_cast<TcxCustomTreeListControl*>(GetControl());
}

TcxTreeListViewInfo* TcxTreeListHitTest::GetViewInfo() const { return GetTreeList()->TreeListViewInfo(); }

bool TcxTreeListHitTest::Check(const RECT& r) const
{
    const POINT& p = HitPoint();
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool TcxTreeListHitTest::HitInItem(TcxCustomViewInfoItem* item, int code, int margin)
{
    if (!item || !item->Visible) return false;
    RECT r = item->ClipRect;
    r.right += margin;
    r.bottom += margin;
    if (!Check(r)) return false;
    SetHitState(code, true);
    return true;
}

// ---- calculation -------------------------------------------------------------------------------

void TcxTreeListHitTest::DoCalculate()
{
    if (skipCount_ > 0) {
        skipCount_ = skipCount_ == kSkipCount ? 0 : skipCount_ + 1;
        RestoreHitState(calculatedState_);
        return;
    }
    hitBand_ = nullptr;
    hitColumn_ = nullptr;
    hitNode_ = nullptr;
    hitItem_ = nullptr;
    quelvo::sys::ScopeGuard publish([this] {
        calculatedState_ = HitState();
        SetHitTestItem(hitItem_);
    });
    if (!Check(GetTreeList()->GetClientBounds())) return;
    TcxTreeListViewInfo* viewInfo = GetViewInfo();
    viewInfo->NodesViewInfo()->PostViewInfoUpdate();
    if (Check(viewInfo->FixedSeparators[0]) || Check(viewInfo->FixedSeparators[1]))
        SetHitState(tlhcFixedSeparator, true);
    if (!CheckHitInBands()) CheckHitInNodes();
    if (GetState(tlhcNode) && GetState(tlhcColumn)) return;
    hitItem_ = GetHitTestItem();
    TcxDragSizingDirection direction = dsdHorz;
    if (CanSizing(direction)) SetHitState(direction == dsdHorz ? tlhcHorzSizing : tlhcVertSizing, true);
}

// The header area lies above the rows: a row's first pixel line belongs to
// the row, not to the header above it.
bool TcxTreeListHitTest::CheckHitInBands()
{
    TcxTreeListViewInfo* viewInfo = GetViewInfo();
    const int y = HitPoint().y;
    const bool inFooter = GetTreeList()->OptionsView()->Footer() && y >= viewInfo->FooterRect.top;
    if (y >= viewInfo->GetCellsOffset() && !inFooter) return false;
    if (CheckHitInBand(viewInfo->FixedBands[tlbfLeft]) || CheckHitInBand(viewInfo->FixedBands[tlbfRight])) return true;
    for (int i = 0; i < viewInfo->BandCount; ++i)
        if (CheckHitInBand(viewInfo->GetBand(i))) return true;
    return false;
}

bool TcxTreeListHitTest::CheckHitInBand(TcxTreeListBandViewInfo* bandViewInfo)
{
    if (!bandViewInfo) return false;
    TcxTreeListBand* band = bandViewInfo->GetBand();
    const int margin = band->CanSizing(dsdHorz) ? kSizingMargin : 0;
    const POINT& p = HitPoint();
    if (p.x < bandViewInfo->ClipRect.left || p.x >= bandViewInfo->ClipRect.right + margin) return false;
    SetHitState(tlhcBand, true);
    hitBand_ = band;
    TcxTreeListOptionsView* view = GetTreeList()->OptionsView();
    if (!view->Bands() && !view->Headers() && !view->Footer()) return true;
    if (view->Bands() && HitInItem(bandViewInfo->Header(), tlhcBandHeader, margin)) return true;
    for (int i = 0; i < bandViewInfo->ColumnCount(); ++i)
        if (CheckHitInColumn(bandViewInfo->GetColumn(i))) return true;
    if (view->Headers())
        SetHitState(tlhcHeaderPanel, p.y >= bandViewInfo->ClipRect.top && p.y < bandViewInfo->ClipRect.bottom);
    if (view->Footer())
        SetHitState(tlhcFooterPanel,
                    p.y >= GetViewInfo()->GetFooterOffset() && p.y < GetTreeList()->GetClientBounds().bottom);
    return true;
}

bool TcxTreeListHitTest::CheckHitInColumn(TcxTreeListColumnViewInfo* columnViewInfo)
{
    TcxTreeListColumn* column = columnViewInfo->Column();
    const int margin = column->CanSizing(dsdHorz) || column->CanSizing(dsdVert) ? kSizingMargin : 0;
    const bool hit = HitInItem(columnViewInfo->ColumnFooter(), tlhcColumnFooter, 0) ||
                     (GetTreeList()->OptionsView()->Headers() &&
                      HitInItem(columnViewInfo->ColumnHeader(), tlhcColumnHeader, margin));
    if (!hit) return false;
    hitColumn_ = column;
    SetHitState(tlhcColumn, true);
    return true;
}

void TcxTreeListHitTest::CheckHitInNodes()
{
    TcxTreeListNodesViewInfo* rows = GetViewInfo()->NodesViewInfo();
    if (rows->VisibleCount == 0) return;
    for (int i = 0; i < rows->Count; ++i)
        if (CheckHitInNode(rows->GetNodeViewInfo(i))) return;
}

bool TcxTreeListHitTest::CheckHitInNode(TcxTreeListNodeViewInfo* row)
{
    const bool indentHit = HitInIndent(row);
    bool hit = indentHit;
    if (row->IsGroup) {
        TcxTreeListGroupNodeEditViewInfo* cell = row->GroupNodeEdit();
        if (!indentHit && HitInItem(cell, tlhcColumn, 0)) {
            SetHitState(tlhcBand, true);
            hitColumn_ = cell->GetColumn();
            hitItem_ = cell;
            hitBand_ = GetTreeList()->GetVisibleBandCount() > 0 ? GetTreeList()->GetVisibleBand(0) : nullptr;
            hit = true;
        }
    } else {
        hit = hit || HitInGroups(row) || (row->HasPreview && HitInItem(row->Preview(), tlhcPreview, 0));
    }
    if (!hit && GetTreeList()->OptionsView()->Indicator()) hit = HitInItem(row->Indicator(), tlhcIndicator, 0);
    if (hit) {
        SetHitState(tlhcNode, true);
        hitNode_ = row->Node;
    }
    return hit;
}

bool TcxTreeListHitTest::HitInGroups(TcxTreeListNodeViewInfo* row)
{
    for (int i = 0; i < row->GetGroupCount(); ++i)
        if (HitInGroup(row->GetGroup(i))) return true;
    return false;
}

bool TcxTreeListHitTest::HitInGroup(TcxTreeListCellsGroupViewInfo* group)
{
    if (!group->Visible || !Check(group->ClipRect)) return false;
    SetHitState(tlhcBand, true);
    hitBand_ = group->GetBand();
    for (int i = 0; i < group->GetCount(); ++i) {
        TcxTreeListEditCellViewInfo* cell = group->GetCell(i);
        if (!cell->Visible || !Check(cell->ClipRect)) continue;
        SetHitState(tlhcColumn, true);
        hitColumn_ = cell->GetColumn();
        hitItem_ = cell;
        break;
    }
    return true;
}

bool TcxTreeListHitTest::HitInIndent(TcxTreeListNodeViewInfo* row)
{
    for (int i = 0; i < row->GetIndentCount(); ++i) {
        TcxTreeListIndentViewInfo* indent = row->GetIndent(i);
        if (!Check(indent->ClipRect)) continue;
        SetHitState(tlhcIndent, true);
        if (!indent->IsLevel) {
            SetHitState(indent->IsStateImage ? tlhcStateImage : tlhcImage, true);
        } else if (indent->HasButton) {
            RECT button = indent->GetButtonRect();
            InflateRect(&button, kSizingMargin, kSizingMargin);
            if (Check(button)) SetHitState(tlhcButton, true);
        }
        if (HitAtImages()) SetHitState(tlhcIndent, false);
        return true;
    }
    return false;
}

// ---- sizing, moving, cursor -------------------------------------------------------------------------

IcxDragSizing* TcxTreeListHitTest::FindSizingEdge(TcxDragSizingDirection& direction, bool& found)
{
    const POINT& p = HitPoint();
    found = false;
    if (GetState(tlhcBandHeader) || GetState(tlhcColumnHeader)) {
        TcxTreeListHeaderViewInfo* header = GetState(tlhcBandHeader) ? hitBand_->ViewInfo()->Header()
                                                                     : hitColumn_->ViewInfo()->ColumnHeader();
        hitItem_ = header;
        const RECT& r = header->ClipRect;
        if (std::abs(r.right - p.x) <= kSizingMargin) {
            direction = dsdHorz;
            found = true;
        } else if (std::abs(r.bottom - p.y) <= kSizingMargin) {
            direction = dsdVert;
            found = true;
        }
        return header->GetDragSizing();
    }
    RECT r = hitNode_->DisplayRect(false);
    sizingNode_ = hitNode_;
    if (hitNode_ != GetTreeList()->GetTopVisibleNode() && p.y >= r.top - kSizingMargin && p.y <= r.top + kSizingMargin) {
        if (TcxTreeListNode* above = hitNode_->GetPrevVisible()) {
            sizingNode_ = above;
            r = above->DisplayRect(false);
        }
    }
    direction = dsdVert;
    found = p.y >= r.bottom - 2 * kSizingMargin && p.y <= r.bottom + kSizingMargin;
    return sizingNode_;
}

bool TcxTreeListHitTest::CanSizing(TcxDragSizingDirection& direction)
{
    if (!GetState(tlhcBandHeader) && !GetState(tlhcColumnHeader) && !GetState(tlhcNode)) return false;
    if (GetState(tlhcNode) && !hitNode_) return false;
    bool found = false;
    IcxDragSizing* sized = FindSizingEdge(direction, found);
    return found && sized && sized->CanSizing(direction);
}

bool TcxTreeListHitTest::CanSizing()
{
    TcxDragSizingDirection direction = dsdHorz;
    return CanSizing(direction);
}

bool TcxTreeListHitTest::CanMoving()
{
    return (GetState(tlhcBandHeader) && hitBand_ && hitBand_->CanMoving()) ||
           (GetState(tlhcColumnHeader) && hitColumn_ && hitColumn_->CanMoving() && !CanSizing());
}

// A sizing drag keeps the split cursors; any other drag has its own. The
// sizing object belongs to the drag objects, which this unit does not
// include, so it is known by its class name.
bool TcxTreeListHitTest::IsSizingDrag() const
{
    TcxCustomTreeListControl* treeList = GetTreeList();
    if (treeList->DragAndDropState() == ddsNone) return true;
    for (TClass cls = treeList->DragAndDropObject()->ClassType(); cls; cls = cls->ClassParent())
        if (cls->ClassName() == "TcxSizingDragAndDropObject") return true;
    return false;
}

TCursor TcxTreeListHitTest::GetCurrentCursor()
{
    const TCursor cursor = TcxCustomHitTestController::GetCurrentCursor();
    TcxDragSizingDirection direction = dsdHorz;
    if (cursor != crDefault || !IsSizingDrag() || !CanSizing(direction)) return cursor;
    if (GetTreeList()->DragAndDropState() == ddsNone) return direction == dsdHorz ? cxcrHorzSize : cxcrVertSize;
    return direction == dsdHorz ? crHSplit : crVSplit;
}

bool TcxTreeListHitTest::AllowDesignMouseEvents(int x, int y, TShiftState shift)
{
    TcxCustomHitTestController::AllowDesignMouseEvents(x, y, shift);
    return GetTreeList()->DragAndDropState() != ddsNone || GetState(tlhcHeaderPanel) || GetState(tlhcBandHeader) ||
           GetState(tlhcColumnHeader) || CanSizing() || GetState(tlhcButton);
}

TcxTreeListHeaderViewInfo* TcxTreeListHitTest::GetHitTestItem()
{
    if (GetState(tlhcColumnHeader) && hitColumn_) {
        TcxTreeListHeaderViewInfo* header = hitColumn_->ViewInfo()->ColumnHeader();
        if (cxPtInViewInfoItem(header, HitPoint())) return header;
    }
    if (GetState(tlhcBandHeader) && hitBand_) {
        TcxTreeListHeaderViewInfo* header = hitBand_->ViewInfo()->Header();
        if (cxPtInViewInfoItem(header, HitPoint())) return header;
    }
    return nullptr;
}

void TcxTreeListHitTest::HitTestItemChanged(TObject* prevItem)
{
    if (GetTreeList()->DragAndDropState() == ddsNone) {
        if (auto* header = As<TcxTreeListHeaderViewInfo>(prevItem)) header->UpdateState();
        if (auto* header = As<TcxTreeListHeaderViewInfo>(HitTestItem())) header->UpdateState();
    }
    TcxCustomHitTestController::HitTestItemChanged(prevItem);
}

void TcxTreeListHitTest::Update()
{
    SetMouseEvent(true);
    quelvo::sys::ScopeGuard clear([this] { SetMouseEvent(false); });
    ResetHitTestItem();
    SetHitPoint(GetTreeList()->ScreenToClient(GetMouseCursorPos()));
}
