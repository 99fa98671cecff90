// The tree-list control: construction, node adding and deletion, focus,
// selection, expansion, the update hooks, the layout services the bands and
// columns ask for, the change notice with its delay timer, and the unit's
// start and end.

#include <algorithm>

#include "components/editor-catalogue/cxNavigator.h"
#include "components/treelist/cxTL.h"
#include "components/treelist/cxTLCustomizationForm.h"
#include "components/treelist/cxTLPainter.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/visual/forms.h"

using namespace hostlib;

std::string scxStr(const TResourceString& resource) { return cxGetResourceString(resource); }

void cxTreeListError(const std::string& text) { throw EcxTreeList(text); }

// ---- helpers the control creates -----------------------------------------------------------

TClass TcxTreeListController::StaticClass()
{
    return DefineClass<TcxTreeListController, TcxCustomControlController>("TcxTreeListController");
}

TcxCustomTreeListControl* TcxTreeListController::TreeList() const
{
    return static_cast<TcxCustomTreeListControl*>(EditingControl());
}

TcxTreeListNode* TcxTreeListController::GetNode(int recordIndex) const { return TreeList()->RecordMapNode(recordIndex); }

TcxTreeListNode* TcxTreeListController::GetFocusedNode() const
{
    return GetNode(TreeList()->DataController()->GetFocusedRecordIndex());
}

void TcxTreeListController::SetFocusedNode(TcxTreeListNode* node) { SetFocusedRecordIndex(node ? node->RecordIndex() : -1); }

void TcxTreeListController::MakeFocusedRecordVisible()
{
    if (TcxTreeListNode* node = GetFocusedNode()) TreeList()->MakeNodeVisible(node);
}

void TcxTreeListController::DoChangeColumnSortOrder(TcxTreeListColumn* column, TcxDataSortOrder order, TShiftState shift)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList->OptionsBehavior()->Sorting() || !column->ColumnOptions()->Sorting()) return;
    treeList->DisableSorting();
    quelvo::sys::ScopeGuard enable([treeList] { treeList->EnableSorting(); });
    shift = ValidateShift(shift);
    const bool ctrl = shift.Contains(ssCtrl);
    if (!((shift.Contains(ssShift) || ctrl) && treeList->OptionsBehavior()->MultiSort())) treeList->SetSorted(false);
    column->SetSortOrder(ctrl ? soNone : order);
}

void TcxTreeListController::CheckEdit()
{
    TcxCustomControlController::CheckEdit();
    TreeList()->RefreshNavigatorButtons();
}

// ---- construction --------------------------------------------------------------------------

TClass TcxCustomTreeListControl::StaticClass()
{
    return DefineClass<TcxCustomTreeListControl, TcxExtEditingControl>("TcxCustomTreeListControl");
}

TClass TcxCustomTreeListControl::GetPainterClass() { return TcxTreeListControlPainter::StaticClass(); }

void TcxCustomTreeListControl::Construct(TComponent* owner)
{
    TcxExtEditingControl::Construct(owner);
    SetBounds(Left(), Top(), 250, 150);
}

void TcxCustomTreeListControl::CreateSubClasses()
{
    TcxExtEditingControl::CreateSubClasses();
    TPersistent* self = this;
    navigatorNotifier_.reset(CreateObject<TcxNavigatorControlNotifier>());
    optionsCustomizing_.reset(CreateObject<TcxTreeListOptionsCustomizing>(self));
    optionsSelection_.reset(CreateObject<TcxTreeListOptionsSelection>(self));
    nodes_.reset(CreateInstance<TcxTreeListNodes>(GetNodesClass(), this));
    preview_.reset(CreateObject<TcxTreeListPreview>(self));
    bands_.reset(CreateObject<TcxTreeListBands>(this));
    bands_->SetPropName("Bands");
    customizing_ = CreateInstance<TcxTreeListCustomizing>(GetCustomizingClass(), self);
    DataController()->OnRecordChanged = TcxDataRecordChangedEvent::FromFunction(
        [this](TcxCustomDataController*, int record, int item) { DoRecordChanged(record, item); }, this);
    DataController()->OnDataChanged =
        TNotifyEvent::FromFunction([this](TObject*) { DoDataChangedEvent(); }, this);
    changeTimer_.reset(CreateObject<TTimer>(static_cast<TComponent*>(nullptr)));
    changeTimer_->SetEnabled(false);
    changeTimer_->SetInterval(0);
    changeTimer_->OnTimer = TNotifyEvent::Bind(this, &TcxCustomTreeListControl::DoChangedTimer);
    for (ImageListLink* holder : {&images_, &stateImages_}) {
        holder->link.reset(CreateObject<TChangeLink>());
        holder->link->OnChange = TNotifyEvent::Bind(this, &TcxCustomTreeListControl::OnChangeImages);
    }
}

void TcxCustomTreeListControl::Destroy()
{
    TcxExtEditingControl::Destroy();
    recordMap_.clear();
    deletionQueue_.clear();
}

void TcxCustomTreeListControl::DestroySubClasses()
{
    BeginUpdate();
    if (customizing_) customizing_->Free();
    customizing_ = nullptr;
    measureCell_.reset();
    SetImages(nullptr);
    SetStateImages(nullptr);
    changeTimer_.reset();
    sortOrders_.clear();
    navigatorNotifier_.reset();
    nodes_.reset();
    visibleColumns_.clear();
    visibleBands_.clear();
    preview_.reset();
    FreeColumns();
    bands_.reset();
    optionsCustomizing_.reset();
    optionsSelection_.reset();
    sortedColumns_.clear();
    selection_.clear();
    CancelUpdate();
    TcxExtEditingControl::DestroySubClasses();
}

void TcxCustomTreeListControl::FreeColumns()
{
    std::vector<TcxCustomInplaceEditContainer*> columns;
    for (int i = 0; i < ItemCount(); ++i) columns.push_back(TcxExtEditingControl::Items(i));
    for (TcxCustomInplaceEditContainer* column : columns) column->Free();
}

TcxTreeListStyles* TcxCustomTreeListControl::Styles() const
{
    return static_cast<TcxTreeListStyles*>(TcxExtEditingControl::Styles());
}

TcxTreeListOptionsView* TcxCustomTreeListControl::OptionsView() const
{
    return static_cast<TcxTreeListOptionsView*>(TcxExtEditingControl::OptionsView());
}

TcxTreeListOptionsBehavior* TcxCustomTreeListControl::OptionsBehavior() const
{
    return static_cast<TcxTreeListOptionsBehavior*>(TcxExtEditingControl::OptionsBehavior());
}

TcxTreeListOptionsData* TcxCustomTreeListControl::OptionsData() const
{
    return static_cast<TcxTreeListOptionsData*>(TcxExtEditingControl::OptionsData());
}

// ---- nodes ---------------------------------------------------------------------------------

TcxTreeListNode* TcxCustomTreeListControl::RecordMapNode(int recordIndex) const
{
    if (recordIndex < 0 || recordIndex >= RecordMapCount()) return nullptr;
    return recordMap_[static_cast<std::size_t>(recordIndex)];
}

void TcxCustomTreeListControl::AddToRecordMap(TcxTreeListNode* node)
{
    const auto index = static_cast<std::size_t>(node->RecordIndex());
    if (recordMap_.size() <= index) recordMap_.resize(index + 1, nullptr);
    recordMap_[index] = node;
}

TcxTreeListNode* TcxCustomTreeListControl::CreateNode() { return CreateObject<TcxUnboundTreeListNode>(nodes_.get()); }

TcxTreeListNode* TcxCustomTreeListControl::DoCreateNode()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] {
        NeedSortPost();
        EndUpdate();
    });
    DoValidateDeletedNodes();
    return CreateNode();
}

TcxTreeListNode* TcxCustomTreeListControl::AddNode(TcxTreeListNode* node, TcxTreeListNode* relative,
                                                    TcxTreeListNodeAttachMode mode, void* data)
{
    TcxTreeListNode* result = nodes_->InternalAddNode(node, relative, mode);
    result->SetData(data);
    return result;
}

void TcxCustomTreeListControl::Clear()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    DoClear();
}

void TcxCustomTreeListControl::DoClear() { nodes_->Clear(); }

int TcxCustomTreeListControl::Count() const { return nodes_->Root()->Count(); }

TcxTreeListNode* TcxCustomTreeListControl::Items(int index) const { return nodes_->Root()->GetItem(index); }

TcxTreeListNode* TcxCustomTreeListControl::TopNode() const { return nodes_->Root()->getFirstChild(); }

TcxTreeListNode* TcxCustomTreeListControl::LastNode() const
{
    TcxTreeListNode* node = nodes_->Root()->GetLastChild();
    while (node && node->GetLastChild()) node = node->GetLastChild();
    return node;
}

TcxTreeListNode* TcxCustomTreeListControl::GetNodeByID(int recordIndex) const { return RecordMapNode(recordIndex); }

void TcxCustomTreeListControl::FullExpand() { nodes_->Root()->Expand(true); }

void TcxCustomTreeListControl::FullCollapse() { nodes_->Root()->Collapse(true); }

// ---- deletion ------------------------------------------------------------------------------

void TcxCustomTreeListControl::DoCheckDeletedNode(TcxTreeListNode* node)
{
    if (auto* controller = static_cast<TcxTreeListController*>(Controller())) controller->NodeDeleting(node);
}

void TcxCustomTreeListControl::DoDeleteNode(TcxTreeListNode* node)
{
    if (IsDestroying()) return;
    UpdateFocusedRecordPost();
    DoRemoveNode(node);
}

void TcxCustomTreeListControl::DoRemoveNode(TcxTreeListNode* node)
{
    const int record = node->RecordIndex();
    if (record >= 0 && record < RecordMapCount()) {
        recordMap_[static_cast<std::size_t>(record)] = nullptr;
        deletionQueue_.push_back(record);
    }
    RemoveFromSelection(node);
    if (selectionBeingDeleted_)
        selectionBeingDeleted_->erase(std::remove(selectionBeingDeleted_->begin(), selectionBeingDeleted_->end(), node),
                                      selectionBeingDeleted_->end());
    if (LockCount() == 0) DoValidateDeletedNodes();
}

void TcxCustomTreeListControl::DoValidateDeletedNodes()
{
    if (deletionQueue_.empty()) return;
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    std::vector<int> queue;
    queue.swap(deletionQueue_);
    std::sort(queue.begin(), queue.end());
    recordMap_.erase(std::remove(recordMap_.begin(), recordMap_.end(), nullptr), recordMap_.end());
    for (std::size_t i = static_cast<std::size_t>(queue.front()); i < recordMap_.size(); ++i)
        recordMap_[i]->SetRecordIndex(static_cast<int>(i));
    DataController()->DeleteRecords(queue);
}

void TcxCustomTreeListControl::EndNodeDeletion(bool raise)
{
    if (deletionDepth_ > 0) --deletionDepth_;
    if (deletionDepth_ > 0 || !deletionError_) return;
    std::exception_ptr error = deletionError_;
    deletionError_ = nullptr;
    if (raise && !IsDestroying()) std::rethrow_exception(error);
}

void TcxCustomTreeListControl::DeleteSelection()
{
    std::vector<TcxTreeListNode*> list = GetSelectionsEx();
    BeginNodeDeletion();
    try {
        BeginUpdate();
        quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
        DeleteSelectionList(list);
    } catch (...) {
        EndNodeDeletion(false);
        throw;
    }
    EndNodeDeletion(true);
}

void TcxCustomTreeListControl::DeleteSelectionList(std::vector<TcxTreeListNode*>& list)
{
    selectionBeingDeleted_ = &list;
    quelvo::sys::ScopeGuard reset([this] { selectionBeingDeleted_ = nullptr; });
    while (!list.empty()) {
        TcxTreeListNode* node = list.back();
        node->Delete();
        if (!list.empty() && list.back() == node) list.pop_back();
    }
}

// ---- moving and copying --------------------------------------------------------------------

void TcxCustomTreeListControl::InternalMove(TcxTreeListNode* node, TcxTreeListNode* destination,
                                            TcxTreeListNodeAttachMode mode)
{
    if (destination->HasAsParent(node) || node == destination) return;
    if (destination == node->Parent() && mode == tlamAddChild) return;
    nodes_->InternalAddNode(node, destination, mode);
}

TcxTreeListNode* TcxCustomTreeListControl::InternalCopy(TcxTreeListNode* node, TcxTreeListNode* destination)
{
    TcxTreeListNode* copy = AddNode(nullptr, destination, tlamAddChild, node->Data());
    for (int i = 0; i < node->GetValueCount(); ++i) copy->SetValue(i, node->GetValue(i));
    copy->SetState((copy->State() & TcxTreeListNode::nsDeleting) | (node->State() & ~TcxTreeListNode::nsDeleting));
    for (TcxTreeListNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        InternalCopy(child, copy);
    return copy;
}

void TcxCustomTreeListControl::DoInternalMoveTo(TcxTreeListNode* attachNode, TcxTreeListNodeAttachMode mode, bool copy,
                                                std::vector<TcxTreeListNode*> nodes)
{
    if (copy && mode == tlamInsert && attachNode) attachNode = attachNode->Parent();
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(),
                               [&](TcxTreeListNode* n) { return !n->CanMove(attachNode, mode); }),
                nodes.end());
    if (nodes.empty()) return;
    bool done = false;
    if (OnMoveTo) {
        auto list = MakeObject<TList>();
        for (TcxTreeListNode* n : nodes) list->Add(n);
        OnMoveTo(this, attachNode, mode, list.get(), copy, done);
    }
    if (done) return;
    Freeze();
    quelvo::sys::ScopeGuard thaw([this] { UnFreeze(); });
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if (copy) InternalCopy(*it, attachNode);
        else (*it)->MoveTo(attachNode, mode);
    }
}

// ---- focus ---------------------------------------------------------------------------------

TcxTreeListNode* TcxCustomTreeListControl::FocusedNode() const
{
    return static_cast<TcxTreeListController*>(Controller())->GetFocusedNode();
}

void TcxCustomTreeListControl::SetFocusedNode(TcxTreeListNode* node)
{
    if (node && !node->IsVisible()) return;
    const int record = node ? node->RecordIndex() : -1;
    if (record < 0) {
        DataController()->SetFocusedRecordIndex(-1);
    } else if (OptionsBehavior()->AlwaysShowEditor()) {
        Controller()->SetFocusedRecordItem(record, Controller()->FocusedItem());
    } else {
        Controller()->SetFocusedRecordIndex(record);
    }
}

TcxTreeListColumn* TcxCustomTreeListControl::FocusedColumn() const
{
    return As<TcxTreeListColumn>(Controller()->FocusedItem());
}

void TcxCustomTreeListControl::SetFocusedColumn(TcxTreeListColumn* column)
{
    if (!column || column->Visibility()) Controller()->SetFocusedItem(column);
}

void TcxCustomTreeListControl::DoSetNodeFocused(TcxTreeListNode* node, bool focused)
{
    if (focused) SetFocusedNode(node);
    else if (node && node->Focused()) SetFocusedNode(nullptr);
}

void TcxCustomTreeListControl::DoFocusedRecordChanged(int prevRecordIndex, int recordIndex)
{
    RecordEventHappened();
    OnFocusedNodeChanged(this, GetNodeByID(prevRecordIndex), GetNodeByID(recordIndex));
    if (!CanMultiSelect()) DoSelectionChanged();
}

void TcxCustomTreeListControl::UpdateFocusedRecordPost()
{
    if (IsDestroying() || focusedRecordUpdatePosted_) return;
    TcxTreeListNode* node = FocusedNode();
    if (!node) return;
    focusedRecordUpdatePosted_ = true;
    nodes_->SetFocusedVisibleIndex(node->VisibleIndex());
}

void TcxCustomTreeListControl::PostUpdateFocusedRecord()
{
    if (!focusedRecordUpdatePosted_) return;
    focusedRecordUpdatePosted_ = false;
    int index = nodes_->FocusedVisibleIndex();
    if (index < 0 || !nodes_->Root()->getFirstChild()) return;
    TcxTreeListNode* node = nodes_->GetVisibleNode(index);
    if (!node) return;
    node->MakeVisible();
    SetFocusedNode(node);
}

void TcxCustomTreeListControl::CheckFocusedItem()
{
    if (DataController()->GetFocusedRecordIndex() < 0) return;
    TcxTreeListNode* node = FocusedNode();
    if (!node) node = TopNode();
    while (node && !node->IsVisible()) node = node->Parent();
    if (!node || node == nodes_->Root()) return;
    TcxCustomInplaceEditContainer* column = Controller()->FocusedItem();
    if (OptionsSelection()->CellSelect() && GetVisibleColumnCount() > 0) {
        auto* focused = As<TcxTreeListColumn>(column);
        if (!focused || !focused->Visibility() || node->IsGroupNode()) column = GetVisibleColumn(0);
    }
    if ((column == Controller()->FocusedItem() && node->RecordIndex() == DataController()->GetFocusedRecordIndex()) ||
        Dragging())
        return;
    Controller()->SetFocusedRecordItem(node->RecordIndex(), column);
}

// ---- selection -----------------------------------------------------------------------------

bool TcxCustomTreeListControl::CanMultiSelect() { return OptionsSelection()->MultiSelect(); }

bool TcxCustomTreeListControl::IsNodeInSelection(const TcxTreeListNode* node) const
{
    return std::find(selection_.begin(), selection_.end(), node) != selection_.end();
}

void TcxCustomTreeListControl::AddToSelection(TcxTreeListNode* node)
{
    if (!IsNodeInSelection(node)) selection_.push_back(node);
}

void TcxCustomTreeListControl::RemoveFromSelection(TcxTreeListNode* node)
{
    selection_.erase(std::remove(selection_.begin(), selection_.end(), node), selection_.end());
}

void TcxCustomTreeListControl::Select(TcxTreeListNode* node, TShiftState)
{
    // Selection by shift state belongs to the controller's input handling;
    // without it a node is selected on its own.
    if (!node) return;
    if (CanMultiSelect()) node->SetSelected(true);
    else SetFocusedNode(node);
}

void TcxCustomTreeListControl::Select(const std::vector<TcxTreeListNode*>& nodes)
{
    BeginUpdateSelection();
    quelvo::sys::ScopeGuard close([this] { EndUpdateSelection(); });
    selection_.clear();
    for (TcxTreeListNode* node : nodes) node->SetSelected(true);
}

void TcxCustomTreeListControl::Select(TList* list)
{
    BeginUpdateSelection();
    if (!nodes_) {
        CancelUpdateSelection();
        return;
    }
    quelvo::sys::ScopeGuard close([this] { EndUpdateSelection(); });
    selection_.clear();
    for (int i = 0; i < list->Count(); ++i) selection_.push_back(static_cast<TcxTreeListNode*>(list->Items(i)));
}

void TcxCustomTreeListControl::Subselect(TcxTreeListNode* node)
{
    if (!CanMultiSelect()) cxTreeListError(scxStr(scxMultiSelectRequired));
    node->SetSelected(true);
}

void TcxCustomTreeListControl::Deselect(TcxTreeListNode* node) { node->SetSelected(false); }

void TcxCustomTreeListControl::ClearSelection()
{
    if (selection_.empty()) return;
    selection_.clear();
    DoSelectionChanged();
}

void TcxCustomTreeListControl::SelectAll()
{
    if (!CanMultiSelect() || !TopNode()) return;
    BeginUpdateSelection();
    quelvo::sys::ScopeGuard close([this] { EndUpdateSelection(); });
    DoSelectAll();
}

void TcxCustomTreeListControl::DoSelectAll()
{
    selection_.clear();
    for (TcxTreeListNode* node = TopNode(); node; node = node->GetNext())
        if (DoCanSelectNode(node)) selection_.push_back(node);
}

void TcxCustomTreeListControl::EndUpdateSelection()
{
    if (selectionUpdateCount_ == 0) return;
    if (--selectionUpdateCount_ == 0) UpdateSelection();
}

void TcxCustomTreeListControl::UpdateSelection()
{
    ViewInfo()->UpdateSelection();
    DoSelectionChanged();
}

TcxTreeListNode* TcxCustomTreeListControl::GetSelections(TList* list)
{
    list->Clear();
    if (CanMultiSelect()) {
        for (TcxTreeListNode* node : selection_) list->Add(node);
    } else {
        list->Add(FocusedNode());
    }
    return FocusedNode();
}

std::vector<TcxTreeListNode*> TcxCustomTreeListControl::GetSelectionsEx()
{
    std::vector<TcxTreeListNode*> result;
    if (CanMultiSelect()) result = selection_;
    TcxTreeListNode* focused = FocusedNode();
    if (focused && std::find(result.begin(), result.end(), focused) == result.end()) result.push_back(focused);
    return result;
}

TcxTreeListNode* TcxCustomTreeListControl::Selections(int index) const
{
    auto* self = const_cast<TcxCustomTreeListControl*>(this);
    if (!self->CanMultiSelect() && FocusedNode()) return index == 0 ? FocusedNode() : nullptr;
    return selection_.at(static_cast<std::size_t>(index));
}

int TcxCustomTreeListControl::SelectionCount() const
{
    auto* self = const_cast<TcxCustomTreeListControl*>(this);
    if (!self->CanMultiSelect() && FocusedNode()) return 1;
    return static_cast<int>(selection_.size());
}

// ---- expansion and node attributes ---------------------------------------------------------

bool TcxCustomTreeListControl::DoCanNodeExpand(TcxTreeListNode* node)
{
    bool allow = node->HasChildren();
    if (allow) OnExpanding(this, node, allow);
    return allow;
}

bool TcxCustomTreeListControl::DoCanNodeCollapse(TcxTreeListNode* node)
{
    bool allow = node->HasChildren();
    if (allow) OnCollapsing(this, node, allow);
    return allow;
}

void TcxCustomTreeListControl::DoSetNodeExpanded(TcxTreeListNode* node, bool expand)
{
    const bool expanded = !(node->State() & TcxTreeListNode::nsCollapsed) && node->HasChildren();
    if (expanded == expand || !node->HasChildren()) return;
    if (expand ? !DoCanNodeExpand(node) : !DoCanNodeCollapse(node)) return;
    constexpr std::uint32_t bits = TcxTreeListNode::nsCollapsed | TcxTreeListNode::nsHasChildren;
    std::uint32_t state = expand ? node->State() & ~bits : node->State() | bits;
    if (node->Count() > 0) state |= TcxTreeListNode::nsHasChildren;
    else state &= ~TcxTreeListNode::nsHasChildren;
    node->SetState(state);
    if (expand) DoOnExpanded(node);
    else DoOnCollapsed(node);
    nodes_->MarkDirty();
    LayoutChanged();
}

bool TcxCustomTreeListControl::DoCanSelectNode(TcxTreeListNode* node)
{
    RecordEventHappened();
    bool allow = true;
    if (CanMultiSelect()) OnCanSelectNode(this, node, allow);
    return allow;
}

int TcxCustomTreeListControl::DoGetNodeImageIndex(TcxTreeListNode* node, TcxTreeListImageIndexType type)
{
    if (!node) return -1;
    int index = node->StoredImageIndex(type);
    if (type == tlitSelectedIndex && index == -1 && OptionsView()->UseImageIndexForSelected())
        index = node->StoredImageIndex(tlitImageIndex);
    if (OnGetNodeImageIndex) {
        inImageIndexEvent_ = true;
        quelvo::sys::ScopeGuard reset([this] { inImageIndexEvent_ = false; });
        OnGetNodeImageIndex(this, node, type, index);
    }
    return index;
}

void TcxCustomTreeListControl::DoSetNodeImageIndex(TcxTreeListNode* node, TcxTreeListImageIndexType type, int value)
{
    node->SetStoredImageIndex(type, value);
}

void TcxTreeList::DoSetNodeImageIndex(TcxTreeListNode* node, TcxTreeListImageIndexType type, int value)
{
    TcxCustomTreeListControl::DoSetNodeImageIndex(node, type, value);
    if (!InImageIndexEvent()) DoNodeChanged(node);
}

bool TcxCustomTreeListControl::DoIsGroupNode(TcxTreeListNode* node)
{
    if (!OptionsView()->IsCategorizedPaint()) return false;
    bool group = node->HasChildren();
    OnIsGroupNode(this, node, group);
    return group;
}

// ---- columns and bands ---------------------------------------------------------------------

TcxTreeListColumn* TcxCustomTreeListControl::GetColumn(int index) const
{
    return index >= 0 && index < ItemCount() ? static_cast<TcxTreeListColumn*>(TcxExtEditingControl::Items(index)) : nullptr;
}

TcxTreeListColumn* TcxCustomTreeListControl::GetColumnById(int index) const { return GetColumn(index); }

TcxTreeListColumn* TcxCustomTreeListControl::GetVisibleColumn(int index) const
{
    if (index < 0 || index >= GetVisibleColumnCount()) throw EListError(Format("List index out of bounds (%d)", index));
    return visibleColumns_[static_cast<std::size_t>(index)];
}

TcxTreeListBand* TcxCustomTreeListControl::GetVisibleBand(int index) const
{
    return index >= 0 && index < GetVisibleBandCount() ? visibleBands_[static_cast<std::size_t>(index)] : nullptr;
}

TcxTreeListColumn* TcxCustomTreeListControl::CreateColumn(TcxTreeListBand* band)
{
    auto* column = CreateInstance<TcxTreeListColumn>(GetTreeListColumnClass(), Owner());
    column->SetEditingControl(this);
    if (!band && bands_->Count() == 0) band = bands_->Add();
    if (!band) band = bands_->Items(0);
    column->Position()->SetPositionEx(band->Index(), band->ColumnCount(), false, 0);
    return column;
}

void TcxCustomTreeListControl::DeleteAllColumns()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    FreeColumns();
}

TcxTreeListColumn* TcxCustomTreeListControl::ColumnByName(const std::string& name) const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (SameText(GetColumn(i)->Name(), name)) return GetColumn(i);
    return nullptr;
}

void TcxCustomTreeListControl::MakeDefaultLayout()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    while (bands_->Count() > 1) bands_->Items(bands_->Count() - 1)->Free();
    TcxTreeListBand* band = bands_->Count() == 0 ? bands_->Add() : bands_->Items(0);
    band->SetVisible(true);
    for (int i = 0; i < GetColumnCount(); ++i) GetColumn(i)->Position()->SetPositionEx(0, i, false, 0);
    defaultLayout_ = true;
}

void TcxCustomTreeListControl::RestoreColumnsDefaults()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    for (int i = 0; i < GetColumnCount(); ++i) GetColumn(i)->RestoreDefaults();
}

void TcxCustomTreeListControl::RestoreColumnsWidths()
{
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    for (int i = 0; i < GetColumnCount(); ++i) GetColumn(i)->RestoreWidths();
}

void TcxCustomTreeListControl::ColumnSortOrderChanged(TcxTreeListColumn* column)
{
    auto it = std::find(sortedColumns_.begin(), sortedColumns_.end(), column);
    if (column->GetRealSortOrder() == soNone || column->SortOrder() == soNone) {
        if (it != sortedColumns_.end()) sortedColumns_.erase(it);
    } else if (it == sortedColumns_.end()) {
        sortedColumns_.push_back(column);
    }
}

void TcxCustomTreeListControl::DoInplaceEditContainerItemRemoved(TcxCustomInplaceEditContainer* item)
{
    if (auto* column = As<TcxTreeListColumn>(item)) {
        sortedColumns_.erase(std::remove(sortedColumns_.begin(), sortedColumns_.end(), column), sortedColumns_.end());
        visibleColumns_.erase(std::remove(visibleColumns_.begin(), visibleColumns_.end(), column),
                              visibleColumns_.end());
        if (column->OwnerBand()) column->SetOwnerBand(nullptr);
    }
    TcxExtEditingControl::DoInplaceEditContainerItemRemoved(item);
}

void TcxCustomTreeListControl::RefreshVisibleIndexes()
{
    bands_->RefreshBandStates();
    visibleColumns_.clear();
    for (int i = 0; i < GetColumnCount(); ++i) {
        TcxTreeListColumn* column = GetColumn(i);
        if (column->Visibility() && !column->IsPreview()) visibleColumns_.push_back(column);
    }
    std::stable_sort(visibleColumns_.begin(), visibleColumns_.end(),
                     [](TcxTreeListColumn* a, TcxTreeListColumn* b) { return cxCompareColumnsPosEx(a, b) < 0; });
}

int TcxCustomTreeListControl::GetFixedBandCount() const
{
    if (visibleBands_.empty()) return 0;
    return (visibleBands_.front()->FixedKind() == tlbfLeft ? 1 : 0) +
           (visibleBands_.back()->FixedKind() == tlbfRight ? 1 : 0);
}

int TcxCustomTreeListControl::GetMaxBandWidth(TcxTreeListBand* band)
{
    const RECT bounds = const_cast<TcxCustomTreeListControl*>(this)->GetClientBounds();
    int result = (bounds.right - bounds.left) - GetFixedBandCount() * OptionsView()->FixedSeparatorWidth() -
                 (OptionsView()->Indicator() ? OptionsView()->IndicatorWidth() : 0);
    const bool last = !visibleBands_.empty() && visibleBands_.back() == band;
    bool before = true;
    for (TcxTreeListBand* other : visibleBands_) {
        if (other == band) {
            before = false;
            continue;
        }
        result -= (!last && before) ? other->CurrentWidth() : other->MinimalWidth();
    }
    return result;
}

void TcxCustomTreeListControl::AssignColumnWidths(TcxTreeListBand* band)
{
    if (band && band->Width() == 0) band = nullptr;
    const bool all = OptionsView()->ColumnAutoWidth();
    for (TcxTreeListColumn* column : visibleColumns_)
        if (all || (band && column->OwnerBand() == band)) column->SetWidthField(column->CurrentWidth());
}

void TcxCustomTreeListControl::DoCalculateBandsAutoWidth(TcxTreeListBand* band)
{
    if (!OptionsView()->ColumnAutoWidth()) {
        bands_->RealignColumns(true);
        return;
    }
    if (band) {
        band->ReBuildRows();
        band->SetCurrentWidth(band->NaturalWidth());
        const bool lastBand = !visibleBands_.empty() && visibleBands_.back() == band;
        const int bandIndex = band->VisibleIndex();
        for (TcxTreeListBand* other : visibleBands_)
            other->AutoWidthItem()->Fixed = !lastBand && other->VisibleIndex() <= bandIndex;
        band->AutoWidthItem()->Fixed = true;
    }
    const RECT bounds = GetClientBounds();
    int available = (bounds.right - bounds.left) - GetFixedBandCount() * OptionsView()->FixedSeparatorWidth() -
                    (OptionsView()->Indicator() ? OptionsView()->IndicatorWidth() : 0);
    autoWidthController_.Init(available, GetVisibleBandCount());
    for (TcxTreeListBand* visible : visibleBands_) {
        visible->InitAutoWidthItem();
        autoWidthController_.Add(visible->AutoWidthItem());
    }
    autoWidthController_.Calculate();
    for (TcxTreeListBand* visible : visibleBands_) visible->AssignDisplayWidth();
}

int TcxCustomTreeListControl::DefaultRowHeight() const
{
    return defaultRowHeight_ != 0 ? defaultRowHeight_ : ViewInfo()->DefaultEditHeight();
}

void TcxCustomTreeListControl::SetDefaultRowHeight(int value)
{
    value = std::max(value, 0);
    const int editHeight = ViewInfo()->DefaultEditHeight();
    if (editHeight > 0 && editHeight > value) value = editHeight;
    defaultRowHeight_ = value;
    LayoutChanged();
    Modified();
}

void TcxCustomTreeListControl::Modified()
{
    defaultLayout_ = false;
    if (customizing_) customizing_->Modified();
}

TClass TcxCustomTreeListControl::GetCustomizingClass() { return TcxTreeListCustomizing::StaticClass(); }

void TcxCustomTreeListControl::SetCustomizing(TcxTreeListCustomizing* value)
{
    if (customizing_ && value) customizing_->Assign(value);
}

void TcxCustomTreeListControl::StoreTopPos() { topPosToRestore_ = nodes_->TopIndex(); }

void TcxCustomTreeListControl::RestoreTopPos()
{
    if (topPosToRestore_ < 0) return;
    nodes_->CalculateInfo(false);
    nodes_->SetTopIndex(0);
    nodes_->SetTopNode(TopNode());
    nodes_->SetTopVisibleIndex(topPosToRestore_);
    topPosToRestore_ = -1;
}

// ---- option wiring -------------------------------------------------------------------------

void TcxCustomTreeListControl::ChangeDelayChanged(int value)
{
    if (!changeTimer_) return;
    changeTimer_->SetInterval(static_cast<unsigned>(std::max(value, 0)));
    changeTimer_->SetEnabled(value > 0);
}

void TcxCustomTreeListControl::HeaderSingleLineChanging()
{
    for (int i = 0; i < GetColumnCount(); ++i) GetColumn(i)->Position()->ForceSingleLine();
}

void TcxCustomTreeListControl::RefreshNavigatorButtons()
{
    if (IsLoading() || IsDestroying() || !navigatorNotifier_) return;
    navigatorNotifier_->RefreshNavigatorButtons();
}

// ---- update hooks --------------------------------------------------------------------------

bool TcxCustomTreeListControl::IsLocked() { return TcxExtEditingControl::IsLocked() || freezeCount_ > 0; }

void TcxCustomTreeListControl::UnFreeze()
{
    if (freezeCount_ == 0) return;
    if (--freezeCount_ != 0) return;
    BeforeUpdate();
    LayoutChanged();
}

void TcxCustomTreeListControl::BeforeUpdate()
{
    DoValidateDeletedNodes();
    if (IsLocked()) return;
    PostUpdateFocusedRecord();
    RestoreTopPos();
}

void TcxCustomTreeListControl::RefreshVisibleLists()
{
    for (TcxTreeListBand* band : visibleBands_) band->ReBuildRows();
    RefreshVisibleIndexes();
}

void TcxCustomTreeListControl::DoLayoutChanged()
{
    RestoreCursor();
    bands_->RefreshBandStates();
    ResetHeaderLineCount();
    PostUpdateFocusedRecord();
    RefreshVisibleLists();
    CalculateLevelIndentWidth();
    nodes_->CalculateInfo(false);
    CalculateLeftMostIndentWidth();
    DoCalculateBandsAutoWidth(nullptr);
    TcxExtEditingControl::DoLayoutChanged();
    if (LayoutChangeDepth() == 1) CheckFocusedItem();
    DoUpdateDesignerForms();
    // The lists of hidden headers follow every change of the layout.
    if (customizing_) customizing_->Modified();
}

void TcxCustomTreeListControl::AfterLayoutChanged()
{
    quelvo::sys::ScopeGuard finish([this] {
        RunSortPost();
        DoLayoutChangedEvent();
    });
    TcxExtEditingControl::AfterLayoutChanged();
}

void TcxCustomTreeListControl::RunSortPost()
{
    if (sortPosted_) DoSortNodes();
}

void TcxCustomTreeListControl::DataChanged()
{
    TcxExtEditingControl::DataChanged();
    DoSortNodes();
}

void TcxCustomTreeListControl::ControlUpdateData(TcxUpdateControlInfo* info)
{
    auto* changed = As<TcxDataChangedInfo>(info);
    const bool oneRecord = changed && (changed->Kind == dcRecord || changed->Kind == dcField) &&
                           changed->RecordIndex >= 0 && !Controller()->EditingController()->Edit();
    if (oneRecord) {
        if (TcxTreeListNode* node = GetNodeByID(changed->RecordIndex)) UpdateNode(node);
    } else {
        TcxExtEditingControl::ControlUpdateData(info);
    }
    if (!IsLocked()) Invalidate();
    RefreshNavigatorButtons();
}

void TcxCustomTreeListControl::UpdateNode(TcxTreeListNode* node)
{
    if (!node->IsVisible()) return;
    // A closing update bracket lays every row out again anyway. A display
    // text handler may write its record while the row is laid out: that
    // write must not lay it out again (UI thread only).
    static bool updatingRow = false;
    if (!IsLocked() && !updatingRow) {
        updatingRow = true;
        quelvo::sys::ScopeGuard done([] { updatingRow = false; });
        Controller()->UpdateRecord(node->RecordIndex());
    }
    if (!Sorted()) return;
    DoSorting();
    quelvo::sys::ScopeGuard after([this] { DoOnAfterSorting(); });
    RecreateSortOrdersList();
    node->Parent()->CustomSort(nullptr, false);
    if (node->Focused()) MakeNodeVisible(node);
}

void TcxCustomTreeListControl::Loaded()
{
    TcxExtEditingControl::Loaded();
    RestoreCursor();
    AssignColumnsParams();
    if (TcxTreeListNode* node = FocusedNode()) MakeNodeVisible(node);
    DataChanged();
}

// ---- events and the change notice ----------------------------------------------------------

void TcxCustomTreeListControl::DoChanged(bool delayed)
{
    if (!delayed || OptionsBehavior()->ChangeDelay() <= 0) {
        if (eventHappened_) OnChange(this);
        eventHappened_ = false;
    }
}

void TcxCustomTreeListControl::DoChangedTimer(TObject*)
{
    if (IsLoading() || IsDestroying()) return;
    DoChanged(false);
}

void TcxCustomTreeListControl::DoSelectionChanged()
{
    RecordEventHappened();
    if (!IsSelectionLocked()) OnSelectionChanged(this);
}

void TcxCustomTreeListControl::DoSorting() { OnSorting(this); }

void TcxCustomTreeListControl::DoBandSizeChanged(TcxTreeListBand* band)
{
    OnBandSizeChanged(this, band);
    Modified();
    LayoutChanged();
}

void TcxCustomTreeListControl::DoColumnSizeChanged(TcxTreeListColumn* column)
{
    OnColumnSizeChanged(this, column);
    Modified();
}

void TcxCustomTreeListControl::DoRecordChanged(int recordIndex, int itemIndex)
{
    RecordEventHappened();
    OnNodeChanged(this, GetNodeByID(recordIndex), GetColumn(itemIndex));
}

void TcxCustomTreeListControl::DoDataChangedEvent()
{
    RecordEventHappened();
    OnDataChanged(this);
}

void TcxCustomTreeListControl::DoLayoutChangedEvent()
{
    RecordEventHappened();
    OnLayoutChanged(this);
}

void TcxCustomTreeListControl::DoBandHeaderClick(TcxTreeListBand* band)
{
    RecordEventHappened();
    OnBandHeaderClick(this, band);
}

void TcxCustomTreeListControl::DoColumnHeaderClick(TcxTreeListColumn* column)
{
    RecordEventHappened();
    OnColumnHeaderClick(this, column);
}

bool TcxCustomTreeListControl::DoEditing(TcxCustomInplaceEditContainer* item)
{
    RecordEventHappened();
    return TcxExtEditingControl::DoEditing(item);
}

void TcxCustomTreeListControl::DoEditChanged(TcxCustomInplaceEditContainer* item)
{
    RecordEventHappened();
    TcxExtEditingControl::DoEditChanged(item);
}

void TcxCustomTreeListControl::DoEdited(TcxCustomInplaceEditContainer* item)
{
    RecordEventHappened();
    TcxExtEditingControl::DoEdited(item);
}

void TcxCustomTreeListControl::DoEditValueChanged(TcxCustomInplaceEditContainer* item)
{
    RecordEventHappened();
    TcxExtEditingControl::DoEditValueChanged(item);
}

void TcxCustomTreeListControl::DoInitEdit(TcxCustomInplaceEditContainer* item, TcxCustomEdit* edit)
{
    RecordEventHappened();
    TcxExtEditingControl::DoInitEdit(item, edit);
}

TCursor TcxCustomTreeListControl::DragCursorOfKind(int kind)
{
    static constexpr TCursor cursors[] = {crDrag, cxcrDragCopy, crcxTreeListDragNoDrop, crcxTreeListDragInsert};
    return kind >= 0 && kind < 4 ? cursors[kind] : crDrag;
}

// The host's drag shows this control's drag cursor over it: the one of
// what a drop at the point would do.
void TcxCustomTreeListControl::WndProc(TMessage& message)
{
    if (message.Msg == CM_DRAG) CMDrag(message);
    TcxExtEditingControl::WndProc(message);
}

void TcxCustomTreeListControl::CMDrag(TMessage& message)
{
    const auto kind = static_cast<TDragMessage>(message.WParam);
    const auto* rec = reinterpret_cast<const TDragRec*>(message.LParam);
    auto* controller = As<TcxTreeListController>(Controller());
    if (!rec || !controller || (kind != dmDragEnter && kind != dmDragMove)) return;
    SetDragCursor(DragCursorOfKind(controller->GetDragKind(ScreenToClient(rec->Pos))));
}

// ---- form streaming ------------------------------------------------------------------------

void TcxCustomTreeListControl::SaveColumnsParams()
{
    for (int i = 0; i < GetColumnCount(); ++i) GetColumn(i)->Position()->Save();
}

void TcxCustomTreeListControl::AssignColumnsParams()
{
    for (int i = 0; i < GetColumnCount(); ++i) GetColumn(i)->Position()->Load();
}

void TcxCustomTreeListControl::ReadState(TReader& reader)
{
    SaveColumnsParams();
    TcxExtEditingControl::ReadState(reader);
    AssignColumnsParams();
}

void TcxCustomTreeListControl::Updating()
{
    SaveColumnsParams();
    TcxExtEditingControl::Updating();
}

void TcxCustomTreeListControl::Updated()
{
    TcxExtEditingControl::Updated();
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    AssignColumnsParams();
}

void TcxCustomTreeListControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root)
{
    TcxExtEditingControl::GetChildren(proc, root);
    RefreshVisibleIndexes();
    for (int i = 0; i < GetColumnCount(); ++i) {
        TcxTreeListColumn* column = GetColumn(i);
        if (column->Owner() != root) continue;
        if (column->Visibility())
            if (TcxTreeListBandRow* row = column->OwnerBandRow())
                column->Position()->SetColIndexField(std::max(row->IndexOf(column), 0));
        proc(column);
    }
}

// ---- the unbound tree list -----------------------------------------------------------------

TClass TcxTreeList::StaticClass()
{
    return DefineClass<TcxTreeList, TcxCustomTreeListControl>("TcxTreeList", [](ClassBuilder<TcxTreeList>& b) {
        using T = TcxTreeList;
        b.Property("Bands", &T::Bands, &T::SetBands);
        b.Property("BufferedPaint", &T::BufferedPaint, &T::SetBufferedPaint).NoDefault();
        b.Property("DefaultLayout", &T::DefaultLayout, &T::SetDefaultLayout).Default(false);
        b.Property("Images", &T::Images, &T::SetImages);
        b.Property("StateImages", &T::StateImages, &T::SetStateImages);
        b.Property("DefaultRowHeight", &T::DefaultRowHeight, &T::SetDefaultRowHeight)
            .Stored(&T::IsDefaultRowHeightAssigned);
        b.Property("LookAndFeel", &T::LookAndFeel, &T::SetLookAndFeel);
        b.Property("OptionsBehavior", &T::OptionsBehavior,
                   [](T& t, TcxTreeListOptionsBehavior* v) { t.OptionsBehavior()->Assign(v); });
        b.Property("OptionsCustomizing", &T::OptionsCustomizing, &T::SetOptionsCustomizing);
        b.Property("OptionsData", &T::OptionsData, [](T& t, TcxTreeListOptionsData* v) { t.OptionsData()->Assign(v); });
        b.Property("OptionsSelection", &T::OptionsSelection, &T::SetOptionsSelection);
        b.Property("OptionsView", &T::OptionsView, [](T& t, TcxTreeListOptionsView* v) { t.OptionsView()->Assign(v); });
        b.Property("Preview", &T::Preview, &T::SetPreview);
        b.Property("Styles", &T::Styles, &T::SetStyles);
        b.EventProperty("OnAfterSorting", &T::OnAfterSorting);
        b.EventProperty("OnBandHeaderClick", &T::OnBandHeaderClick);
        b.EventProperty("OnBandSizeChanged", &T::OnBandSizeChanged);
        b.EventProperty("OnCanSelectNode", &T::OnCanSelectNode);
        b.EventProperty("OnChange", &T::OnChange);
        b.EventProperty("OnCollapsed", &T::OnCollapsed);
        b.EventProperty("OnCollapsing", &T::OnCollapsing);
        b.EventProperty("OnColumnHeaderClick", &T::OnColumnHeaderClick);
        b.EventProperty("OnColumnSizeChanged", &T::OnColumnSizeChanged);
        b.EventProperty("OnCompare", &T::OnCompare);
        b.EventProperty("OnCustomDrawBackground", &T::OnCustomDrawBackground);
        b.EventProperty("OnCustomDrawBandHeader", &T::OnCustomDrawBandHeader);
        b.EventProperty("OnCustomDrawCell", &T::OnCustomDrawCell);
        b.EventProperty("OnCustomDrawCellsGroup", &T::OnCustomDrawCellsGroup);
        b.EventProperty("OnCustomDrawFooter", &T::OnCustomDrawFooter);
        b.EventProperty("OnCustomDrawFooterCell", &T::OnCustomDrawFooterCell);
        b.EventProperty("OnCustomDrawHeader", &T::OnCustomDrawHeader);
        b.EventProperty("OnCustomDrawHeaderCell", &T::OnCustomDrawHeaderCell);
        b.EventProperty("OnCustomDrawIndentCell", &T::OnCustomDrawIndentCell);
        b.EventProperty("OnCustomDrawIndicatorCell", &T::OnCustomDrawIndicatorCell);
        b.EventProperty("OnCustomDrawPreview", &T::OnCustomDrawPreview);
        b.EventProperty("OnCustomizationFormVisibleChanged", &T::OnCustomizationFormVisibleChanged);
        b.EventProperty("OnDataChanged", &T::OnDataChanged);
        b.EventProperty("OnDeletion", &T::OnDeletion);
        b.EventProperty("OnExpanded", &T::OnExpanded);
        b.EventProperty("OnExpanding", &T::OnExpanding);
        b.EventProperty("OnFocusedColumnChanged", &T::OnFocusedColumnChanged);
        b.EventProperty("OnFocusedNodeChanged", &T::OnFocusedNodeChanged);
        b.EventProperty("OnGetNodeImageIndex", &T::OnGetNodeImageIndex);
        b.EventProperty("OnIsGroupNode", &T::OnIsGroupNode);
        b.EventProperty("OnLayoutChanged", &T::OnLayoutChanged);
        b.EventProperty("OnMoveTo", &T::OnMoveTo);
        b.EventProperty("OnNodeChanged", &T::OnNodeChanged);
        b.EventProperty("OnSelectionChanged", &T::OnSelectionChanged);
        b.EventProperty("OnSorting", &T::OnSorting);
        b.EventProperty("OnTopRecordIndexChanged", &T::OnTopRecordIndexChanged);
    });
}

TcxTreeListNode* TcxTreeList::Add(TcxTreeListNode* sibling, void* data)
{
    return AddNode(nullptr, sibling ? sibling->Parent() : nullptr, tlamAdd, data);
}

TcxTreeListNode* TcxTreeList::AddFirst(TcxTreeListNode* sibling, void* data)
{
    return AddNode(nullptr, sibling ? sibling->Parent() : nullptr, tlamAddFirst, data);
}

TcxTreeListNode* TcxTreeList::AddChild(TcxTreeListNode* parent, void* data)
{
    return AddNode(nullptr, parent, tlamAddChild, data);
}

TcxTreeListNode* TcxTreeList::AddChildFirst(TcxTreeListNode* parent, void* data)
{
    return AddNode(nullptr, parent, tlamAddChildFirst, data);
}

TcxTreeListNode* TcxTreeList::Insert(TcxTreeListNode* before, void* data)
{
    return AddNode(nullptr, before, tlamInsert, data);
}

TcxTreeListNode* TcxTreeList::InsertEx(TcxTreeListNode* node, TcxTreeListNode* before, void* data)
{
    return AddNode(node, before, tlamInsert, data);
}

// ---- unit start and end --------------------------------------------------------------------

void cxTreeListSortingInitialize();
void cxTreeListSortingFinalize();

void cxTreeListInitialize()
{
    cxTreeListSortingInitialize();
    RegisterClass(TcxTreeListStyleSheet::StaticClass());
    TScreen* screen = hostlib::Screen;
    if (!screen) return;
    screen->SetCursors(crcxTreeListDragNoDrop, screen->Cursors(crNoDrop));
    screen->SetCursors(crcxTreeListDragInsert, screen->Cursors(crDrag));
}

void cxTreeListFinalize()
{
    UnRegisterClass(TcxTreeListStyleSheet::StaticClass());
    cxTreeListSortingFinalize();
}
