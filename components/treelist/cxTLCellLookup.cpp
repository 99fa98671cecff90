// Where a column's cell of a node is in the laid-out rows: what the editing
// controller places its editor over.
#include "components/treelist/cxTL.h"

using namespace hostlib;

namespace {

TcxTreeListCellsGroupViewInfo* BandGroup(TcxTreeListNodeViewInfo* row, TcxTreeListBand* band)
{
    for (int i = 0; i < row->GetGroupCount(); ++i) {
        TcxTreeListCellsGroupViewInfo* group = row->GetGroup(i);
        if (group->BandViewInfo && group->GetBand() == band) return group;
    }
    return nullptr;
}

} // namespace

TcxTreeListNodesViewInfo* TcxTreeListController::NodesViewInfo() const
{
    TcxTreeListViewInfo* viewInfo = TreeList()->TreeListViewInfo();
    return viewInfo ? viewInfo->NodesViewInfo() : nullptr;
}

TcxTreeListEditCellViewInfo* TcxTreeListController::GetCellFromViewInfo(TcxTreeListColumn* column,
                                                                        TcxTreeListNodeViewInfo* row)
{
    if (!column || !row || !column->Visibility()) return nullptr;
    if (row->HasPreview && row->Preview() && row->Preview()->GetColumn() == column) return row->Preview();
    if (row->IsGroup && row->GroupNodeEdit() && row->GroupNodeEdit()->GetColumn() == column)
        return row->GroupNodeEdit();
    TcxTreeListCellsGroupViewInfo* group = BandGroup(row, column->OwnerBand());
    if (!group) return nullptr;
    const int index = column->VisibleIndexInBand();
    if (index < 0 || index >= group->GetCount()) return nullptr;
    return group->GetCell(index);
}

TcxTreeListEditCellViewInfo* TcxTreeListController::GetCellFromViewInfoEx(TcxTreeListColumn* column,
                                                                          TcxTreeListNode* node)
{
    TcxTreeListNodesViewInfo* rows = NodesViewInfo();
    if (!column || !node || !rows) return nullptr;
    TcxTreeListNodeViewInfo* row = nullptr;
    if (!rows->FindNodeViewInfo(node, row) || !row) return nullptr;
    return GetCellFromViewInfo(column, row);
}

TcxEditCellViewInfo* TcxTreeListController::GetFocusedCellViewInfo(TcxCustomInplaceEditContainer* item)
{
    auto* column = As<TcxTreeListColumn>(item);
    if (!column || !column->Visibility() || column->IsPreview()) return nullptr;
    return GetCellFromViewInfoEx(column, GetFocusedNode());
}

void TcxTreeListController::BeforeShowEdit()
{
    if (TcxTreeListNodesViewInfo* rows = NodesViewInfo()) rows->BeforeShowEdit();
}
