// Tree-list dragging: sizing band, column and row edges, and choosing the
// drag object for a press.
#include "components/treelist/cxInplaceContainerDragAndDrop.h"
#include "components/treelist/cxTL.h"

using namespace hostlib;

// ---- live sizing -----------------------------------------------------------------------------

namespace {

// Widths follow the mouse when asked to; heights apply on release.
bool HorizontalDynamicSizing(TcxCustomTreeListControl* treeList)
{
    if (!treeList || !treeList->OptionsCustomizing()->DynamicSizing()) return false;
    auto* controller = As<TcxTreeListController>(treeList->Controller());
    return controller && controller->HitTest()->GetState(tlhcHorzSizing);
}

} // namespace

bool TcxTreeListColumn::IsDynamicUpdate() { return HorizontalDynamicSizing(TreeList()); }

bool TcxTreeListBand::IsDynamicUpdate() { return HorizontalDynamicSizing(TreeList()); }

// ---- header sizing ------------------------------------------------------------------------------

bool TcxTreeListHeaderViewInfo::CanSizing(TcxDragSizingDirection direction)
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing && sizing->CanSizing(direction);
}

RECT TcxTreeListHeaderViewInfo::GetSizingBoundsRect(TcxDragSizingDirection direction)
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing ? sizing->GetSizingBoundsRect(direction) : RECT{};
}

int TcxTreeListHeaderViewInfo::GetSizingIncrement(TcxDragSizingDirection direction)
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing ? sizing->GetSizingIncrement(direction) : 1;
}

bool TcxTreeListHeaderViewInfo::IsDynamicUpdate()
{
    IcxDragSizing* sizing = GetDragSizing();
    return sizing && sizing->IsDynamicUpdate();
}

void TcxTreeListHeaderViewInfo::SetSizeDelta(TcxDragSizingDirection direction, int delta)
{
    if (IcxDragSizing* sizing = GetDragSizing()) sizing->SetSizeDelta(direction, delta);
}

// ---- the controller's drag objects -------------------------------------------------------------

TcxDragAndDropObjectClass TcxTreeListController::GetDragAndDropObjectClass()
{
    TcxTreeListHitTest* hitTest = HitTest();
    SetDragItem(hitTest->HitTestItem());
    TcxDragSizingDirection direction = dsdHorz;
    if (hitTest->CanSizing(direction)) {
        resizeDirection_ = direction;
        if (!hitTest->GetState(tlhcBandHeader) && !hitTest->GetState(tlhcColumnHeader))
            SetDragItem(hitTest->SizingNode());
        return &cxDragAndDropObjectClass<TcxSizingDragAndDropObject>;
    }
    SetDragItem(nullptr);
    return TcxCustomControlController::GetDragAndDropObjectClass();
}

bool TcxTreeListController::StartDragAndDrop(const POINT& p)
{
    TcxTreeListHitTest* hitTest = HitTest();
    if (hitTest->HitPoint().x != p.x || hitTest->HitPoint().y != p.y) hitTest->ReCalculate(p);
    TcxDragSizingDirection direction = dsdHorz;
    return hitTest->CanSizing(direction);
}

void TcxTreeListController::BeginDragAndDrop()
{
    TcxCustomControlController::BeginDragAndDrop();
    TreeList()->Repaint();
}

void TcxTreeListController::EndDragAndDrop(bool accepted) { TcxCustomControlController::EndDragAndDrop(accepted); }
