// The tree list's controller and cell navigator: keys and the mouse turned
// into focus, selection, expansion, header sorting, paging, scrolling,
// incremental search and hot tracking of rows.

#include <algorithm>

#include "components/data/cxDataUtils.h"
#include "components/treelist/cxTL.h"
#include "platform/hostlib/visual/forms.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

namespace {

bool HasShiftOrCtrl(TShiftState shift) { return shift.Contains(ssShift) || shift.Contains(ssCtrl); }

bool IsPagingKey(WORD key) { return key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME; }

bool IsMovingKey(WORD key)
{
    return IsPagingKey(key) || key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

} // namespace

// ---- cell navigator --------------------------------------------------------------------------

TClass TcxTreeListCellNavigator::StaticClass()
{
    return DefineClass<TcxTreeListCellNavigator, TcxCustomCellNavigator>("TcxTreeListCellNavigator");
}

TcxTreeListController* TcxTreeListCellNavigator::TreeListController() const
{
    return static_cast<TcxTreeListController*>(Controller());
}

TcxCustomTreeListControl* TcxTreeListCellNavigator::TreeList() const { return TreeListController()->TreeList(); }

TcxTreeListNode* TcxTreeListCellNavigator::GetFocusedNode() { return TreeList()->FocusedNode(); }

TcxTreeListNode* TcxTreeListCellNavigator::VisibleNode(int rowIndex) const
{
    TcxTreeListNodes* nodes = TreeList()->Nodes();
    if (rowIndex < 0 || rowIndex >= nodes->GetVisibleCount()) return nullptr;
    int index = rowIndex;
    return nodes->GetVisibleNode(index);
}

bool TcxTreeListCellNavigator::IsGroupRow(int rowIndex)
{
    TcxTreeListNode* node = VisibleNode(rowIndex);
    return node && node->IsGroupNode();
}

int TcxTreeListCellNavigator::GetCount(int rowIndex)
{
    return IsGroupRow(rowIndex) ? 1 : TreeList()->GetVisibleColumnCount();
}

TcxCustomInplaceEditContainer* TcxTreeListCellNavigator::GetCellContainer(int rowIndex, int cellIndex)
{
    if (cellIndex < 0 || cellIndex >= GetCount(rowIndex)) return nullptr;
    return TreeList()->GetVisibleColumn(cellIndex);
}

void TcxTreeListCellNavigator::Init(int& rowIndex, int& cellIndex, int& rowCount)
{
    TcxCustomTreeListControl* treeList = TreeList();
    rowCount = treeList->Nodes()->GetVisibleCount();
    TcxTreeListNode* node = GetFocusedNode();
    rowIndex = node && node->IsVisible() ? node->VisibleIndex() : 0;
    TcxTreeListColumn* column = treeList->FocusedColumn();
    cellIndex = column && column->Visibility() ? column->VisibleIndex() : 0;
}

void TcxTreeListCellNavigator::SetFocusCell(int rowIndex, int cellIndex, TShiftState)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListNode* node = VisibleNode(rowIndex);
    TcxCustomInplaceEditContainer* item = IsGroupRow(rowIndex) ? treeList->OptionsView()->GetCategorizedColumn()
                                                                : treeList->GetVisibleColumn(cellIndex);
    Controller()->SetFocusedRecordItem(node ? node->RecordIndex() : -1, item);
}

int TcxTreeListCellNavigator::GetCellIndex(TcxTreeListColumn* column, int bandRow)
{
    TcxTreeListBandRow* row = column->OwnerBand()->Rows()->Items(bandRow);
    const int position = std::min(column->Position()->ColIndex(), row->Count() - 1);
    return row->Items(position)->VisibleIndexInBand();
}

// Up and Down step through the rows of the column's band before leaving
// the node.
bool TcxTreeListCellNavigator::MoveInBand(bool forward, int& cellIndex)
{
    TcxTreeListColumn* column = TreeList()->GetVisibleColumn(cellIndex);
    TcxTreeListBand* band = column ? column->OwnerBand() : nullptr;
    TcxTreeListBandRow* own = column ? column->OwnerBandRow() : nullptr;
    if (!band || !own || band->Rows()->Count() < 2) return false;
    TcxTreeListBandRows* rows = band->Rows();
    int r = own->Index() + (forward ? 1 : -1);
    while (r >= 0 && r < rows->Count() && rows->Items(r)->Count() == 0) r += forward ? 1 : -1;
    if (r < 0 || r >= rows->Count()) return false;
    TcxTreeListBandRow* row = rows->Items(r);
    TcxTreeListColumn* target = row->Items(std::min(column->Position()->ColIndex(), row->Count() - 1));
    if (!target->Visibility()) return false;
    cellIndex = target->VisibleIndex();
    return true;
}

int TcxTreeListCellNavigator::GoToNextNodeCell(bool, int rowIndex, int cellIndex)
{
    return IsGroupRow(rowIndex) ? 0 : cellIndex;
}

void TcxTreeListCellNavigator::CalcNextRow(bool forward, int& rowIndex, int& cellIndex)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const bool validCell = cellIndex >= 0 && cellIndex < treeList->GetVisibleColumnCount();
    if (validCell && !IsGroupRow(rowIndex) && MoveInBand(forward, cellIndex)) return;
    const int next = rowIndex + (forward ? 1 : -1);
    if (next >= 0 && next < treeList->Nodes()->GetVisibleCount()) {
        cellIndex = GoToNextNodeCell(forward, next, cellIndex);
        rowIndex = next;
        return;
    }
    if (!forward || !TreeListController()->CanInsertNode()) return;
    // Past the last row a new row follows it, under the same parent.
    TcxTreeListNode* last = VisibleNode(treeList->Nodes()->GetVisibleCount() - 1);
    TcxTreeListNode* parent = last && last->Parent() != treeList->Nodes()->Root() ? last->Parent() : nullptr;
    treeList->BeginUpdate();
    TcxTreeListNode* added = nullptr;
    {
        ScopeGuard close([treeList] { treeList->EndUpdate(); });
        added = treeList->AddNode(nullptr, parent, tlamAdd, nullptr);
    }
    treeList->SetFocusedNode(added);
    rowIndex = added->VisibleIndex();
    cellIndex = 0;
}

TcxCustomInplaceEditContainer* TcxTreeListCellNavigator::SelectCell(bool forward, bool nextRow, int& rowIndex,
                                                                    int& cellIndex)
{
    TcxTreeListNode* focused = GetFocusedNode();
    if (focused && focused->IsGroupNode() && (nextRow || Controller()->GetFocusCellOnCycle())) {
        cellIndex = forward || nextRow ? 0 : TreeList()->GetVisibleColumnCount() - 1;
        if (!nextRow) rowIndex += forward ? 1 : -1;
    }
    return TcxCustomCellNavigator::SelectCell(forward, nextRow, rowIndex, cellIndex);
}

void TcxTreeListCellNavigator::KeyDown(WORD& key, TShiftState shift)
{
    TcxTreeListController* controller = TreeListController();
    TcxTreeListController::EventScope scope(controller);
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList->OptionsSelection()->CellSelect() && !HasShiftOrCtrl(shift)) return TcxCustomCellNavigator::KeyDown(key, shift);
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT: {
        TcxTreeListViewInfo* layout = treeList->TreeListViewInfo();
        if (layout->ContentWidth > layout->ViewportWidth) {
            int position = layout->HorzScrollPos;
            controller->Scroll(sbHorizontal, key == VK_LEFT ? scLineUp : scLineDown, position);
        }
        key = 0;
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        TcxTreeListNode* node = GetFocusedNode();
        TcxTreeListNode* next = node ? node->GetNextVisibleEx(key == VK_UP) : nullptr;
        if (next) treeList->SetFocusedNode(next);
        key = 0;
        break;
    }
    default: break;
    }
}

// ---- controller: basics ---------------------------------------------------------------------------

TcxTreeListHitTest* TcxTreeListController::HitTest() const
{
    return static_cast<TcxTreeListHitTest*>(HitTestController());
}

TClass TcxTreeListController::GetNavigatorClass() { return TcxTreeListCellNavigator::StaticClass(); }

bool TcxTreeListController::IsDestroying() { return destroying_ || TreeList()->IsDestroying(); }

void TcxTreeListController::NodeDeleting(TcxTreeListNode* node)
{
    if (selectionAnchor_ == node) selectionAnchor_ = nullptr;
    if (hotTrackNode_ == node) hotTrackNode_ = nullptr;
    if (incSearchNode_ == node) incSearchNode_ = nullptr;
    ForgetDragNode(node);
    if (HitTest()->HitNode() == node) HitTest()->ClearState();
    if (TcxTreeListViewInfo* layout = TreeList()->TreeListViewInfo()) layout->NodesViewInfo()->NodeDeleting(node);
}

// ---- controller: focus ----------------------------------------------------------------------------

void TcxTreeListController::SetFocusedRecordIndex(int value)
{
    if (TreeList()->SkipFocusedRecordChanged()) return;
    TcxCustomControlController::SetFocusedRecordIndex(value);
}

void TcxTreeListController::SetFocusedRecordItem(int recordIndex, TcxCustomInplaceEditContainer* item)
{
    if (TreeList()->Dragging()) return HitTest()->ReCalculate();
    TcxCustomControlController::SetFocusedRecordItem(recordIndex, item);
}

void TcxTreeListController::FocusedItemChanged(TcxCustomInplaceEditContainer* prevFocusedItem)
{
    TcxCustomControlController::FocusedItemChanged(prevFocusedItem);
    UpdateRecord(GetFocusedRecordIndex());
    TreeList()->DoFocusedItemChanged(prevFocusedItem, FocusedItem());
}

void TcxTreeListController::FocusedRecordChanged(int prevFocusedRowIndex, int focusedRowIndex)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!searching_ && GetIsIncSearching()) CancelIncSearching();
    treeList->DoFocusedRecordChanged(prevFocusedRowIndex, focusedRowIndex);
    if (treeList->IsFocusedRecordUpdatePosted()) return;
    Navigator()->Refresh();
    TcxTreeListNode* node = GetNode(focusedRowIndex);
    if (node && treeList->DragAndDropState() != ddsInProcess) treeList->MakeNodeVisible(node);
    if (node && node->IsGroupNode() && treeList->GetVisibleColumnCount() > 0)
        treeList->SetFocusedColumn(As<TcxTreeListColumn>(treeList->OptionsView()->GetCategorizedColumn()));
    treeList->TreeListViewInfo()->NodesViewInfo()->FocusedRecordChanged(GetNode(prevFocusedRowIndex), node);
    const bool extending = storedShift_.Contains(ssShift) || storedShift_.Contains(ssCtrl) ||
                           storedShift_.Contains(ssLeft) || storedShift_.Contains(ssRight);
    if ((treeList->DragAndDropState() != ddsNone || IsControllerEvent()) && extending) {
        if (!selectionAnchor_) selectionAnchor_ = GetNode(prevFocusedRowIndex);
    } else {
        CancelSelection(true);
    }
    TcxCustomControlController::FocusedRecordChanged(prevFocusedRowIndex, focusedRowIndex);
    if (node) node->Repaint(false);
}

// Gaining the focus without a focused row focuses one the user can see:
// the first selected node, else the top one in view, else the first.
void TcxTreeListController::ControlFocusChanged()
{
    TcxCustomControlController::ControlFocusChanged();
    TcxCustomTreeListControl* treeList = TreeList();
    if (DataController()->GetRecordCount() == 0 || GetFocusedRecordIndex() >= 0 ||
        treeList->GetVisibleColumnCount() == 0 || !GetFocused())
        return;
    TcxCustomInplaceEditContainer* item = treeList->FocusedColumn();
    if (!item) item = treeList->GetVisibleColumn(0);
    TcxTreeListNode* node = treeList->SelectionCount() > 0 ? treeList->Selections(0) : nullptr;
    if (!node || !node->IsVisible()) node = treeList->GetTopVisibleNode();
    if (!node) node = treeList->TopNode();
    if (node) SetFocusedRecordItem(node->RecordIndex(), item);
}

void TcxTreeListController::UpdateRecord(int recordIndex)
{
    TcxTreeListNode* node = GetNode(recordIndex);
    TcxTreeListNodeViewInfo* row = nullptr;
    if (node && node->IsVisible() && TreeList()->TreeListViewInfo()->NodesViewInfo()->FindNodeViewInfo(node, row))
        row->Update(true);
}

// ---- controller: keys ---------------------------------------------------------------------------

bool TcxTreeListController::IsKeyForController(WORD key, TShiftState shift)
{
    if (TcxCustomControlController::IsKeyForController(key, shift)) return true;
    const bool nodeKey = key == VK_HOME || key == VK_END || key == VK_MULTIPLY || key == VK_ADD || key == VK_SUBTRACT;
    return nodeKey && (!IsEditing() || shift.Contains(ssCtrl));
}

void TcxTreeListController::KeyDown(WORD& key, TShiftState shift)
{
    EventScope scope(this);
    storedShift_ = shift;
    const WORD pressed = key;
    TcxCustomTreeListControl* treeList = TreeList();
    // Only a taken key that types a character has one to swallow; left set
    // after Home or End, the flag would eat the next character that comes
    // without a key of its own (composed text).
    const bool taken = IsNodeKeyHandle(GetFocusedNode(), key, shift);
    SetKeyHandled(taken && TypesCharacter(pressed, shift));
    TcxTreeListNode* node = GetFocusedNode();
    if (key == VK_SPACE && node && treeList->IsMultiSelect() && HasShiftOrCtrl(shift)) {
        if (shift.Contains(ssCtrl)) ToggleNodeSelection(node);
        else Select(node, storedShift_);
        key = 0;
    }
    if (treeList->GetVisibleColumnCount() == 1 && node && node->HasChildren() &&
        ((key == VK_LEFT && node->Expanded()) || (key == VK_RIGHT && !node->Expanded()))) {
        node->SetExpanded(key == VK_RIGHT);
        key = 0;
    }
    TcxCustomControlController::KeyDown(key, shift);
    if (!IsMovingKey(pressed)) return;
    if (IsPagingKey(key)) {
        TcxTreeListNode* anchor = selectionAnchor_;
        if (treeList->IsMultiSelect()) {
            treeList->BeginUpdateSelection();
            ScopeGuard end([treeList] { treeList->EndUpdateSelection(); });
            treeList->ClearSelection();
            if (anchor) anchor->SetSelected(true);
        }
        Select(GetFocusedNode(), storedShift_);
        selectionAnchor_ = anchor;
    } else {
        Select(GetFocusedNode(), storedShift_);
    }
}

void TcxTreeListController::KeyUp(WORD& key, TShiftState shift)
{
    EventScope scope(this);
    storedShift_ = shift;
    TcxCustomControlController::KeyUp(key, shift);
}

bool TcxTreeListController::TypesCharacter(WORD key, TShiftState shift)
{
    const bool numpad = key == VK_MULTIPLY || key == VK_ADD || key == VK_SUBTRACT;
    return numpad && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
}

bool TcxTreeListController::IsNodeKeyHandle(TcxTreeListNode* node, WORD& key, TShiftState shift)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const bool ctrl = shift.Contains(ssCtrl);
    const int columns = treeList->GetVisibleColumnCount();
    switch (key) {
    case VK_END:
    case VK_HOME: {
        const bool end = key == VK_END;
        if (ctrl) {
            const int count = treeList->Nodes()->GetVisibleCount();
            treeList->SetTopVisibleIndex(end ? count - 1 : 0);
            int index = end ? count - 1 : 0;
            if (count > 0) SetFocusedNode(end ? treeList->Nodes()->GetVisibleNode(index) : treeList->GetTopVisibleNode());
        } else if (columns > 0) {
            SetFocusedItem(treeList->GetVisibleColumn(end ? columns - 1 : 0));
        }
        return true;
    }
    case VK_INSERT:
        if (!node || !CanInsertNode()) return false;
        treeList->InsertNode(ctrl);
        return true;
    case VK_DELETE:
        if (!ctrl || !CanDeleteSelection() || !DeleteConfirmation()) return false;
        return DeleteFocusedSelection();
    case VK_MULTIPLY:
        if (node && node->HasChildren()) node->Expand(true);
        return true;
    case VK_ADD:
    case VK_SUBTRACT:
        if (node && node->HasChildren()) node->SetExpanded(key == VK_ADD);
        return true;
    default: return false;
    }
}

bool TcxTreeListController::DeleteFocusedSelection()
{
    TcxCustomTreeListControl* treeList = TreeList();
    const int top = treeList->GetTopVisibleIndex();
    ScopeGuard restore([this, treeList, top] {
        treeList->SetTopVisibleIndex(top);
        if (TcxTreeListNode* focused = GetFocusedNode()) treeList->MakeNodeVisible(focused);
    });
    treeList->DeleteSelection();
    DataController()->Post();
    return true;
}

bool TcxTreeListController::CanDeleteSelection() { return TreeList()->OptionsData()->Deleting() && !IsEditing(); }

bool TcxTreeListController::CanInsertNode() { return TreeList()->OptionsData()->Inserting() && !IsEditing(); }

bool TcxTreeListController::DeleteConfirmation()
{
    if (!TreeList()->OptionsBehavior()->ConfirmDelete()) return true;
    return cxConfirmMessageBox(scxStr(scxDeleteRecordQuestion), scxStr(scxConfirmCaption));
}

// ---- controller: paging and scrolling ---------------------------------------------------------------

void TcxTreeListController::DoNextPage(bool forward, TShiftState shift)
{
    DoShowNextPageEx(forward, true, shift);
    CheckEdit();
    TreeList()->Update();
}

void TcxTreeListController::DoShowNextPageEx(bool forward, bool moveFocus, TShiftState)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListNode* top = treeList->GetTopVisibleNode();
    TcxTreeListNode* last = treeList->GetLastVisibleNode();
    TcxTreeListNode* focused = GetFocusedNode();
    if (!top || !last) return;
    const bool single = top == last;
    const auto further = [single](TcxTreeListNode* node, bool ahead) {
        TcxTreeListNode* next = single ? node->GetNextVisibleEx(!ahead) : nullptr;
        return next ? next : node;
    };
    if (forward) {
        if (moveFocus && !last->GetNextVisible() && last == focused) return;
        treeList->SetTopVisibleNode(further(moveFocus && focused ? focused : last, true));
        if (moveFocus) SetFocusedNode(treeList->GetLastVisibleNode());
        return;
    }
    if (moveFocus && !top->GetPrevVisible() && top == focused) return;
    TcxTreeListNode* bottom = further(moveFocus && focused ? focused : top, false);
    treeList->SetLastVisibleNode(bottom);
    if (moveFocus) SetFocusedNode(treeList->GetTopVisibleNode());
}

void TcxTreeListController::DoNextNode(bool back)
{
    TcxTreeListNode* focused = GetFocusedNode();
    if (TcxTreeListNode* next = focused ? focused->GetNextVisibleEx(back) : nullptr) SetFocusedNode(next);
}

int TcxTreeListController::ScrollPosition(TScrollCode code, int position, int page, int line, int max, int given)
{
    int result = position;
    switch (code) {
    case scLineUp: result = position - line; break;
    case scLineDown: result = position + line; break;
    case scPageUp: result = position - page; break;
    case scPageDown: result = position + page; break;
    case scPosition:
    case scTrack: result = std::clamp(given, 0, std::max(max, 0)); break;
    case scTop: result = 0; break;
    case scBottom: result = max; break;
    default: break;
    }
    if (result < 0) return 0;
    return result > max - page ? std::max(max - page, 0) : result;
}

void TcxTreeListController::Scroll(TScrollBarKind kind, TScrollCode code, int& position)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList->IsLocked() || code == scEndScroll) return;
    if (kind == sbHorizontal) {
        TcxTreeListViewInfo* layout = treeList->TreeListViewInfo();
        const int p = layout->HorzScrollPos;
        const int next = ScrollPosition(code, p, layout->ViewportWidth, std::max(layout->HorzScrollStep, 1),
                                        layout->ContentWidth, position);
        if (next != p) {
            layout->DoScrollHorizontal(next);
            treeList->UpdateScrollBars();
        }
        position = layout->HorzScrollPos;
    } else if (code == scPageUp || code == scPageDown) {
        DoShowNextPageEx(code == scPageDown, false, TShiftState{});
        position = treeList->GetTopVisibleIndex();
    } else {
        const int p = treeList->GetTopVisibleIndex();
        const int next = ScrollPosition(code, p, std::max(treeList->GetVisibleCount(), 1), 1,
                                        treeList->Nodes()->GetVisibleCount(), position);
        if (next != p) treeList->SetTopVisibleIndex(next);
        position = treeList->GetTopVisibleIndex();
    }
    TcxCustomControlController::Scroll(kind, code, position);
    UpdateHotTrackNode(TShiftState{});
    treeList->DoChanged(false);
    treeList->Update();
}

// ---- controller: mouse ------------------------------------------------------------------------------

bool TcxTreeListController::HitAtNodeEx()
{
    TcxTreeListHitTest* hitTest = HitTest();
    return TreeList()->IsMultiSelect() && hitTest->GetState(tlhcNode) && !hitTest->GetState(tlhcButton) &&
           !hitTest->GetState(tlhcIndent);
}

void TcxTreeListController::ReleasePressedHeader()
{
    if (TcxTreeListHeaderViewInfo* header = HitTest()->PressedHeader()) header->SetPressed(false);
}

void TcxTreeListController::BeforeMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxCustomControlController::BeforeMouseDown(button, shift, x, y);
    EventScope scope(this);
    storedShift_ = shift;
    if (GetFocused() || GetFocusedRecordIndex() >= 0) return;
    HitTest()->RecalculateOnMouseEvent(x, y, shift);
    if (!HitTest()->GetState(tlhcButton)) CheckHitItemOnMouseDown(button, shift, x, y);
    TcxCustomTreeListControl* treeList = TreeList();
    if (GetFocusedRecordIndex() >= 0 && treeList->GetVisibleColumnCount() > 0)
        SetFocusedItem(treeList->GetVisibleColumn(0));
}

void TcxTreeListController::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    storedShift_ = shift;
    TcxCustomControlController::MouseDown(button, shift, x, y);
    CheckHitItemOnMouseDown(button, shift, x, y);
    SetHotTrackNode(nullptr, shift);
}

// The middle button never moves the focus.
void TcxTreeListController::CheckHitItemOnMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    EventScope scope(this);
    TcxTreeListHitTest* hitTest = HitTest();
    hitTest->RecalculateOnMouseEvent(x, y, shift);
    auto* header = As<TcxTreeListHeaderViewInfo>(hitTest->HitTestItem());
    const bool sizing = hitTest->GetState(tlhcHorzSizing) || hitTest->GetState(tlhcVertSizing);
    if (header && !sizing && button == mbLeft) {
        if (!DesignSelectionHelper()) header->SetPressed(true);
        return;
    }
    TcxTreeListNode* node = hitTest->HitNode();
    if (!node || button == mbMiddle) return;
    if (hitTest->GetState(tlhcButton)) {
        if (button == mbLeft) node->SetExpanded(!node->Expanded());
        return;
    }
    if (hitTest->GetState(tlhcIndent) || CanDrag(x, y)) return;
    TcxCustomInplaceEditContainer* item = hitTest->HitColumn();
    SetFocusedRecordItem(node->RecordIndex(), item ? item : FocusedItem());
}

void TcxTreeListController::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TcxTreeListHitTest* hitTest = HitTest();
    if (TreeList()->DragAndDropState() != ddsNone && hitTest->CanSizing()) return EditingController()->HideEdit(true);
    EventScope scope(this);
    TcxCustomControlController::DoMouseDown(button, shift, x, y);
    hitTest->RecalculateOnMouseEvent(x, y, shift);
    if (!HitAtNodeEx()) return;
    if (HasShiftOrCtrl(shift)) return Select(hitTest->HitNode(), shift);
    TcxTreeListNode* focused = GetFocusedNode();
    if (!focused || !focused->Selected()) CancelSelection(true);
}

void TcxTreeListController::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    EventScope scope(this);
    TcxCustomControlController::MouseUp(button, shift, x, y);
    if (HitAtNodeEx() && TreeList()->SelectionCount() > 0 && !HasShiftOrCtrl(shift) && button == mbLeft)
        CancelSelection(true);
    storedShift_ = shift;
    ReleasePressedHeader();
    SetHeaderDragged(false);
}

void TcxTreeListController::MouseMove(TShiftState shift, int x, int y)
{
    EventScope scope(this);
    storedShift_ = shift;
    TcxCustomControlController::MouseMove(shift, x, y);
    UpdateHotTrackNode(x, y, shift);
}

void TcxTreeListController::MouseLeave()
{
    TcxCustomControlController::MouseLeave();
    SetHotTrackNode(nullptr, TShiftState{});
}

void TcxTreeListController::DoCancelMode()
{
    TcxCustomControlController::DoCancelMode();
    ReleasePressedHeader();
    SetHotTrackNode(nullptr, TShiftState{});
}

TCursor TcxTreeListController::GetCursor(int x, int y)
{
    if (!TreeList()->IsDesigning()) {
        TcxTreeListHitTest* hitTest = HitTest();
        if (hitTest->HitPoint().x != x || hitTest->HitPoint().y != y) hitTest->ReCalculate(POINT{x, y});
        const TCursor cursor = hitTest->GetCurrentCursor();
        if (cursor != crDefault) return cursor;
    }
    return TcxCustomControlController::GetCursor(x, y);
}

void TcxTreeListController::DblClick()
{
    TcxCustomControlController::DblClick();
    TcxTreeListHitTest* hitTest = HitTest();
    hitTest->SetSkipCount(1);
    TcxTreeListNode* node = hitTest->HitNode();
    if (node && hitTest->GetState(tlhcNode) && !hitTest->GetState(tlhcButton) && !IsEditing() &&
        TreeList()->OptionsBehavior()->ExpandOnDblClick())
        node->SetExpanded(!node->Expanded());
    if (!hitTest->GetState(tlhcHorzSizing)) return;
    if (hitTest->GetState(tlhcBandHeader) && hitTest->HitBand()) hitTest->HitBand()->ApplyBestFit();
    else if (hitTest->GetState(tlhcColumnHeader) && hitTest->HitColumn()) hitTest->HitColumn()->ApplyBestFit();
}

void TcxTreeListController::BeforePaint()
{
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->TreeListViewInfo()->NodesViewInfo()->PostViewInfoUpdate();
    TcxCustomControlController::BeforePaint();
    const int top = treeList->GetTopVisibleIndex();
    if (top == lastTopIndex_) return;
    lastTopIndex_ = top;
    treeList->DoOnTopRecordIndexChanged();
}

// ---- controller: selection ----------------------------------------------------------------------------

TcxTreeListNode* TcxTreeListController::GetSelectionAnchor()
{
    TcxTreeListNode* anchor = selectionAnchor_ ? selectionAnchor_ : GetFocusedNode();
    TcxTreeListNode* root = TreeList()->Nodes()->Root();
    while (anchor && anchor != root && !anchor->IsVisible()) anchor = anchor->Parent();
    return anchor == root ? nullptr : anchor;
}

void TcxTreeListController::ToggleNodeSelection(TcxTreeListNode* node)
{
    node->SetSelected(!node->Selected());
    if (node->Selected()) selectionAnchor_ = node;
}

void TcxTreeListController::SelectRange(TcxTreeListNode* node, bool keepOthers)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListNode* anchor = GetSelectionAnchor();
    if (!anchor) anchor = node;
    const int from = std::min(anchor->VisibleIndex(), node->VisibleIndex());
    const int to = std::max(anchor->VisibleIndex(), node->VisibleIndex());
    if (!keepOthers) {
        for (TcxTreeListNode* selected : treeList->GetSelectionsEx())
            if (!selected->IsVisible() || selected->VisibleIndex() < from || selected->VisibleIndex() > to)
                selected->SetSelected(false);
    }
    anchor->SetSelected(true);
    int index = from;
    for (TcxTreeListNode* n = treeList->Nodes()->GetVisibleNode(index); n && n->VisibleIndex() <= to;
         n = n->GetNextVisible())
        n->SetSelected(true);
}

void TcxTreeListController::Select(TcxTreeListNode* node, TShiftState shift)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList->IsMultiSelect()) return;
    if (!node) return SetFocusedNode(nullptr);
    if (!node->IsVisible()) return;
    treeList->BeginUpdateSelection();
    ScopeGuard end([treeList] { treeList->EndUpdateSelection(); });
    if (shift.Contains(ssShift)) SelectRange(node, shift.Contains(ssCtrl));
    else if (shift.Contains(ssCtrl) && shift.Contains(ssLeft)) node->SetSelected(!node->Selected());
    else if (!shift.Contains(ssCtrl)) CancelSelection(true);
    if (shift.Contains(ssCtrl) && node->Selected()) selectionAnchor_ = node;
}

void TcxTreeListController::CancelSelection(bool keepFocused)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList->IsMultiSelect()) return;
    treeList->BeginUpdateSelection();
    ScopeGuard end([treeList] { treeList->EndUpdateSelection(); });
    selectionAnchor_ = nullptr;
    treeList->ClearSelection();
    TcxTreeListNode* focused = GetFocusedNode();
    if (keepFocused && focused) focused->SetSelected(true);
}

// ---- controller: incremental search ------------------------------------------------------------------

TcxCustomInplaceEditContainer* TcxTreeListController::GetIncSearchingItem()
{
    TcxCustomInplaceEditContainer* item = TreeList()->OptionsBehavior()->IncSearchItem();
    return item ? item : TreeList()->FocusedColumn();
}

TcxTreeListNode* TcxTreeListController::GetNextIncSearchNode(TcxTreeListNode* node, bool forward)
{
    TcxTreeListNode* next = nullptr;
    if (TreeList()->OptionsBehavior()->ExpandOnIncSearch()) next = forward ? node->GetNext() : node->GetPrev();
    else next = node->GetNextVisibleEx(!forward);
    return next == TreeList()->Nodes()->Root() ? nullptr : next;
}

bool TcxTreeListController::DoSearch(TcxTreeListNode* node, int itemIndex, bool forward, const std::string& text)
{
    TcxTreeListNode* found = node;
    while (found && !DataCompareText(found->GetText(itemIndex), text, true)) found = GetNextIncSearchNode(found, forward);
    if (!found) return false;
    TcxTreeListNode* previous = GetFocusedNode();
    {
        searching_ = true;
        ScopeGuard reset([this] { searching_ = false; });
        found->MakeVisible();
        if (found->IsVisible()) SetFocusedNode(found);
        else node->MakeVisible();
    }
    incSearchNode_ = GetFocusedNode();
    UpdateNodeIncSearchingCell(incSearchNode_);
    if (previous != incSearchNode_) UpdateNodeIncSearchingCell(previous);
    return true;
}

// A miss after a found prefix takes the character just typed back; a miss
// on the first character ends the search.
void TcxTreeListController::SearchCheck(bool found)
{
    if (found) return;
    if (!incSearchNode_) return CancelIncSearching();
    SetIncSearchingText(cxDropLastCharacter(incSearchText_));
}

void TcxTreeListController::SearchLocate(TcxCustomInplaceEditContainer* item, const std::string& value)
{
    TcxTreeListNode* start = GetIsIncSearching() ? GetFocusedNode() : TreeList()->TopNode();
    incSearchText_ = value;
    if (item && start) SearchCheck(DoSearch(start, item->ItemIndex(), true, value));
}

// A next or previous search that finds nothing keeps the text and the focus.
void TcxTreeListController::SearchLocateNext(TcxCustomInplaceEditContainer* item, bool forward)
{
    TcxTreeListNode* focused = GetFocusedNode();
    if (!item || !focused) return;
    TcxTreeListNode* start = GetNextIncSearchNode(focused, forward);
    if (start) DoSearch(start, item->ItemIndex(), forward, incSearchText_);
}

void TcxTreeListController::CancelIncSearching()
{
    if (IsDestroying()) return;
    incSearchText_.clear();
    TcxCustomControlController::CancelIncSearching();
    UpdateNodeIncSearchingCell(incSearchNode_);
    incSearchNode_ = nullptr;
}

void TcxTreeListController::UpdateNodeIncSearchingCell(TcxTreeListNode* node)
{
    TcxCustomInplaceEditContainer* item = GetIncSearchingItem();
    auto* column = As<TcxTreeListColumn>(item);
    TcxTreeListNodeViewInfo* row = nullptr;
    if (!node || !column || !column->Visibility() ||
        !TreeList()->TreeListViewInfo()->NodesViewInfo()->FindNodeViewInfo(node, row))
        return;
    for (int i = 0; i < row->GetCellCount(); ++i)
        if (row->GetCell(i)->GetColumn() == column) return row->GetCell(i)->Invalidate(true);
}

// ---- controller: hot tracking ----------------------------------------------------------------------

void TcxTreeListController::SetHotTrackNode(TcxTreeListNode* node, TShiftState shift)
{
    if (IsDestroying()) return;
    TcxCustomTreeListControl* treeList = TreeList();
    const bool hotTrack = treeList->OptionsBehavior()->HotTrack();
    if (!GetFocused() || !hotTrack) node = nullptr;
    if (node == hotTrackNode_ || treeList->IsDesigning()) return;
    TcxTreeListNode* previous = hotTrackNode_;
    hotTrackNode_ = node;
    if (!hotTrack) return;
    // The rows take their hot colours again.
    if (previous) previous->Repaint(true);
    else savedCursor_ = treeList->Cursor();
    if (!node) return SetHotTrackCursor(savedCursor_);
    node->Repaint(true);
    TCursor cursor = crDefault;
    treeList->DoOnHotTrackNode(node, shift, cursor);
    SetHotTrackCursor(cursor);
}

void TcxTreeListController::UpdateHotTrackNode(TShiftState shift)
{
    TcxTreeListHitTest* hitTest = HitTest();
    SetHotTrackNode(hitTest->GetState(tlhcNode) ? hitTest->HitNode() : nullptr, shift);
}

void TcxTreeListController::UpdateHotTrackNode(int x, int y, TShiftState shift)
{
    HitTest()->RecalculateOnMouseEvent(x, y, shift);
    UpdateHotTrackNode(shift);
}

void TcxTreeListController::SetHotTrackCursor(TCursor cursor) { TreeList()->SetCursor(cursor); }

// ---- the control's part ---------------------------------------------------------------------------

bool TcxCustomTreeListControl::InsertNode(bool above)
{
    TcxTreeListNode* focused = FocusedNode();
    if (!focused && !above) return false;
    // Above a child node is above its parent, one level up; above a
    // top-level node is just before it.
    TcxTreeListNode* relative = focused;
    if (above && focused && focused->Parent() != Nodes()->Root()) relative = focused->Parent();
    const TcxTreeListNodeAttachMode mode = above && focused ? tlamInsert : tlamAdd;
    TcxTreeListNode* added = nullptr;
    BeginUpdate();
    {
        ScopeGuard close([this] { EndUpdate(); });
        added = AddNode(nullptr, relative, mode, nullptr);
    }
    // A child of a collapsed node is shown, so that it can take the focus.
    added->MakeVisible();
    SetFocusedNode(added);
    return focused != nullptr;
}

bool TcxCustomTreeListControl::FindNext(bool forward)
{
    if (!GetSearching()) return false;
    TcxTreeListNode* previous = FocusedNode();
    Controller()->IncSearchKeyDown(forward ? VK_DOWN : VK_UP, TShiftState{ssCtrl});
    return FocusedNode() != previous;
}

void TcxCustomTreeListControl::DoOnHotTrackNode(TcxTreeListNode* node, TShiftState shift, TCursor& cursor)
{
    OnHotTrackNode(this, node, shift, cursor);
}

void TcxCustomTreeListControl::DoFocusedItemChanged(TcxCustomInplaceEditContainer* prevItem,
                                                    TcxCustomInplaceEditContainer* item)
{
    OnFocusedColumnChanged(this, As<TcxTreeListColumn>(prevItem), As<TcxTreeListColumn>(item));
}
