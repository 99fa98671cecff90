// Tree-list nodes: the node with its links, values, state and navigation,
// and the node collection with the visible information.

#include <algorithm>

#include "components/treelist/cxTL.h"
#include "platform/hostlib/core/format.h"

using namespace hostlib;

// ---- node: construction and deletion -------------------------------------------------------

TClass TcxTreeListNode::StaticClass() { return DefineClass<TcxTreeListNode, TPersistent>("TcxTreeListNode"); }
TClass TcxTreeListRootNode::StaticClass() { return DefineClass<TcxTreeListRootNode, TcxTreeListNode>("TcxTreeListRootNode"); }
TClass TcxUnboundTreeListNode::StaticClass()
{
    return DefineClass<TcxUnboundTreeListNode, TcxTreeListNode>("TcxUnboundTreeListNode");
}

void TcxTreeListNode::Construct(TcxTreeListNodes* owner)
{
    owner_ = owner;
    state_ = nsCollapsed;
    if (!owner_->HasState(TcxTreeListNodes::nssReading)) recordIndex_ = AddDataControllerRecord();
}

void TcxUnboundTreeListNode::Construct(TcxTreeListNodes* owner)
{
    TcxTreeListNode::Construct(owner);
    SetStoredImageIndex(tlitImageIndex, 0);
    SetStoredImageIndex(tlitSelectedIndex, 0);
    SetStoredImageIndex(tlitStateIndex, -1);
}

int TcxTreeListNode::AddDataControllerRecord()
{
    TcxCustomTreeListControl* treeList = owner_->TreeList();
    recordIndex_ = treeList->DataController()->AppendRecord();
    treeList->AddToRecordMap(this);
    return recordIndex_;
}

TPersistent* TcxTreeListNode::GetOwner() const { return owner_; }
TcxCustomTreeListControl* TcxTreeListNode::TreeList() const { return owner_->TreeList(); }
TcxControlDataController* TcxTreeListNode::DataController() const { return TreeList()->DataController(); }

bool TcxTreeListNode::IsDeleting() const
{
    for (const TcxTreeListNode* node = this; node; node = node->parent_)
        if (node->state_ & nsDeleting) return true;
    return false;
}

void TcxTreeListNode::Destroy()
{
    TcxCustomTreeListControl* treeList = owner_ ? owner_->TreeList() : nullptr;
    if (treeList && parent_) {
        treeList->BeginUpdate();
        quelvo::sys::ScopeGuard close([treeList] { treeList->EndUpdate(); });
        // A handler that raises must not leave a half-deleted node behind:
        // the deletion completes and the error follows once it is done.
        try {
            treeList->DoOnDeletion(this);
        } catch (...) {
            treeList->KeepDeletionError(std::current_exception());
        }
        if (HasChildren()) DeleteChildren();
        treeList->DoCheckDeletedNode(this);
        treeList->DoDeleteNode(this);
        owner_->MarkDirty();
        const bool markedBefore = OwnDeletingMark();
        state_ |= nsDeleting;
        owner_->ForgetTopNodeIf(this);
        if (!markedBefore) state_ &= ~nsDeleting;
        InternalRemove();
    } else if (firstChild_) {
        DeleteChildren();
    }
    TPersistent::Destroy();
}

void TcxTreeListNode::Delete()
{
    if (IsDeleting()) return;
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->BeginNodeDeletion();
    try {
        Free();
    } catch (...) {
        treeList->EndNodeDeletion(false);
        throw;
    }
    treeList->EndNodeDeletion(true);
}

void TcxTreeListNode::DeleteChildren()
{
    TcxCustomTreeListControl* treeList = owner_->TreeList();
    treeList->BeginNodeDeletion();
    try {
        treeList->BeginUpdate();
        quelvo::sys::ScopeGuard close([treeList] { treeList->EndUpdate(); });
        while (TcxTreeListNode* child = firstChild_) {
            child->state_ |= nsDeleting;
            firstChild_ = child->next_;
            if (firstChild_) firstChild_->prev_ = nullptr;
            child->Free();
        }
        childCount_ = 0;
        firstChild_ = lastChild_ = nullptr;
        SetHasChildren(false);
    } catch (...) {
        treeList->EndNodeDeletion(false);
        throw;
    }
    treeList->EndNodeDeletion(true);
}

// ---- node: linking -------------------------------------------------------------------------

void TcxTreeListNode::RenumberFrom()
{
    int index = prev_ ? prev_->index_ + 1 : 0;
    for (TcxTreeListNode* node = this; node; node = node->next_) node->index_ = index++;
}

void TcxTreeListNode::InternalRemove()
{
    if (!parent_ || IsDeleting()) return;
    for (TcxTreeListNode* node = next_; node; node = node->next_) --node->index_;
    --parent_->childCount_;
    if (parent_->firstChild_ == this) parent_->firstChild_ = next_;
    if (parent_->lastChild_ == this) parent_->lastChild_ = prev_;
    if (parent_->childCount_ == 0) parent_->state_ = (parent_->state_ & ~nsHasChildren) | nsCollapsed;
    if (prev_) prev_->next_ = next_;
    if (next_) next_->prev_ = prev_;
    prev_ = next_ = nullptr;
    parent_ = nullptr;
}

void TcxTreeListNode::LinkAsLastChild(TcxTreeListNode* parent)
{
    InternalRemove();
    parent_ = parent;
    prev_ = parent->lastChild_;
    if (prev_) prev_->next_ = this;
    else parent->firstChild_ = this;
    parent->lastChild_ = this;
    ++parent->childCount_;
    RenumberFrom();
}

void TcxTreeListNode::LinkAsFirstChild(TcxTreeListNode* parent)
{
    InternalRemove();
    parent_ = parent;
    next_ = parent->firstChild_;
    if (next_) next_->prev_ = this;
    else parent->lastChild_ = this;
    parent->firstChild_ = this;
    ++parent->childCount_;
    RenumberFrom();
}

void TcxTreeListNode::LinkBefore(TcxTreeListNode* sibling)
{
    InternalRemove();
    TcxTreeListNode* parent = sibling->parent_;
    parent_ = parent;
    prev_ = sibling->prev_;
    next_ = sibling;
    if (prev_) prev_->next_ = this;
    else parent->firstChild_ = this;
    sibling->prev_ = this;
    ++parent->childCount_;
    RenumberFrom();
}

TcxTreeListNode* TcxTreeListNode::AddChild() { return TreeList()->AddNode(nullptr, this, tlamAddChild, nullptr); }

TcxTreeListNode* TcxTreeListNode::AddChildFirst()
{
    return TreeList()->AddNode(nullptr, this, tlamAddChildFirst, nullptr);
}

TcxTreeListNode* TcxTreeListNode::InsertChild(TcxTreeListNode* beforeNode)
{
    return TreeList()->AddNode(nullptr, beforeNode, tlamInsert, nullptr);
}

bool TcxTreeListNode::CanMove(TcxTreeListNode* destination, TcxTreeListNodeAttachMode mode) const
{
    if (!destination || destination->HasAsParent(this)) return false;
    return !(destination == this && (mode == tlamAddChild || mode == tlamAddChildFirst || mode == tlamInsert));
}

void TcxTreeListNode::MoveTo(TcxTreeListNode* destination, TcxTreeListNodeAttachMode mode)
{
    if (!destination || destination == this) return;
    if (mode == tlamAdd || mode == tlamAddFirst) destination = destination->parent_;
    if (!destination || destination->HasAsParent(this)) return;
    TreeList()->InternalMove(this, destination, mode);
}

// ---- node: values --------------------------------------------------------------------------

int TcxTreeListNode::GetValueCount() const { return TreeList()->DoGetNodeValueCount(); }

void TcxTreeListNode::AssignValues(const std::vector<Variant>& values)
{
    const int count = std::min(static_cast<int>(values.size()), GetValueCount());
    for (int i = 0; i < count; ++i) SetValue(i, values[static_cast<std::size_t>(i)]);
}

Variant TcxTreeListNode::GetValue(int index) const { return DataController()->GetValue(recordIndex_, index); }

void TcxTreeListNode::SetValue(int index, const Variant& value)
{
    TcxControlDataController* data = DataController();
    if (data->GetIsEditing() && data->GetEditingRecordIndex() == recordIndex_) {
        data->SetEditValue(index, value, evsValue);
        return;
    }
    data->SetValue(recordIndex_, index, value);
}

std::string TcxTreeListNode::GetText(int index) const
{
    TcxTreeListColumn* column = TreeList()->GetColumn(index);
    return column ? column->GetDisplayText(recordIndex_) : std::string();
}

void TcxTreeListNode::Assign(TPersistent* source)
{
    auto* other = As<TcxTreeListNode>(source);
    if (!other) return TPersistent::Assign(source);
    data_ = other->data_;
    SetFocused(other->Focused());
    SetHasChildren(other->HasChildren());
    for (int i = 0; i < GetValueCount(); ++i) SetValue(i, other->GetValue(i));
}

void TcxUnboundTreeListNode::Assign(TPersistent* source)
{
    if (auto* other = As<TcxTreeListNode>(source))
        for (int t = tlitImageIndex; t <= tlitStateIndex; ++t) {
            const auto type = static_cast<TcxTreeListImageIndexType>(t);
            SetStoredImageIndex(type, other->StoredImageIndex(type));
        }
    TcxTreeListNode::Assign(source);
}

// ---- node: state ---------------------------------------------------------------------------

void TcxTreeListNode::Expand(bool recurse)
{
    if (!HasChildren()) return;
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] { treeList->EndUpdate(); });
    SetExpanded(true);
    if (recurse)
        for (TcxTreeListNode* child = firstChild_; child; child = child->next_) child->Expand(true);
}

void TcxTreeListNode::Collapse(bool recurse)
{
    if (!HasChildren()) return;
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->BeginUpdate();
    quelvo::sys::ScopeGuard close([treeList] { treeList->EndUpdate(); });
    SetExpanded(false);
    if (recurse)
        for (TcxTreeListNode* child = firstChild_; child; child = child->next_) child->Collapse(true);
}

void TcxTreeListNode::SetExpanded(bool value)
{
    if (value == Expanded()) return;
    owner_->MarkDirty();
    TreeList()->DoSetNodeExpanded(this, value);
}

bool TcxTreeListNode::CanExpand() { return TreeList()->DoCanNodeExpand(this); }
bool TcxTreeListNode::CanCollapse() { return TreeList()->DoCanNodeCollapse(this); }

void TcxTreeListNode::SetHasChildren(bool value)
{
    if (value) state_ |= nsHasChildren;
    else if (childCount_ == 0) state_ &= ~nsHasChildren;
    owner_->DoNodeChanged(this);
}

bool TcxTreeListNode::Focused() const
{
    return recordIndex_ >= 0 && DataController()->GetFocusedRecordIndex() == recordIndex_;
}

void TcxTreeListNode::SetFocused(bool value)
{
    if (value == Focused()) return;
    if (value) static_cast<TcxTreeListController*>(TreeList()->Controller())->SetFocusedNode(this);
    else DataController()->SetFocusedRecordIndex(-1);
}

bool TcxTreeListNode::Selected() const
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!treeList->CanMultiSelect()) return Focused();
    return treeList->IsNodeInSelection(this);
}

void TcxTreeListNode::SetSelected(bool value)
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (value == Selected() || !treeList->CanMultiSelect()) return;
    if (value && !treeList->DoCanSelectNode(this)) {
        Repaint(false);
        return;
    }
    if (value) treeList->AddToSelection(this);
    else treeList->RemoveFromSelection(this);
    treeList->DoSelectionChanged();
    Repaint(false);
}

void TcxTreeListNode::MakeVisible()
{
    TcxCustomTreeListControl* treeList = TreeList();
    if (!IsVisible()) {
        treeList->BeginUpdate();
        quelvo::sys::ScopeGuard close([treeList] { treeList->EndUpdate(); });
        for (TcxTreeListNode* node = parent_; node && node != owner_->Root(); node = node->parent_) {
            node->SetExpanded(true);
            if (!node->Expanded()) break;
        }
    }
    if (IsVisible()) treeList->MakeNodeVisible(this);
}

bool TcxTreeListNode::IsGroupNode() { return TreeList()->DoIsGroupNode(this); }

bool TcxTreeListNode::HotTrack() const
{
    TcxCustomTreeListControl* treeList = TreeList();
    return treeList && treeList->Controller() &&
           static_cast<TcxTreeListController*>(treeList->Controller())->HotTrackNode() == this;
}

void TcxTreeListNode::EndEdit(bool cancel)
{
    TreeList()->Controller()->EditingController()->HideEdit(!cancel);
}

void TcxTreeListNode::Repaint(bool recalculate)
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListViewInfo* layout = treeList ? treeList->TreeListViewInfo() : nullptr;
    // Rows waiting for the layout may show nodes that are gone; it paints them all.
    if (!layout || treeList->IsLocked() || layout->GetState(cxvisCalculationNeeded)) return;
    TcxTreeListNodeViewInfo* row = nullptr;
    if (!layout->NodesViewInfo()->FindNodeViewInfo(this, row)) return;
    row->Update(recalculate);
    layout->InvalidateRect(row->ContentRect);
}

// The row's rectangle, or only the part its cells take; empty out of view.
RECT TcxTreeListNode::DisplayRect(bool textOnly) const
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListViewInfo* layout = treeList ? treeList->TreeListViewInfo() : nullptr;
    TcxTreeListNodeViewInfo* row = nullptr;
    if (!layout || !layout->NodesViewInfo()->FindNodeViewInfo(const_cast<TcxTreeListNode*>(this), row)) return RECT{};
    if (!textOnly) return row->ContentRect;
    return RECT{row->CellsArea.left, row->ContentRect.top, row->CellsArea.right, row->ContentRect.bottom};
}

int TcxTreeListNode::GetNodeImageIndex(TcxTreeListImageIndexType type)
{
    return TreeList()->DoGetNodeImageIndex(this, type);
}

void TcxTreeListNode::SetNodeImageIndex(TcxTreeListImageIndexType type, int value)
{
    TreeList()->DoSetNodeImageIndex(this, type, value);
}

bool TcxTreeListNode::CanSizing(TcxDragSizingDirection direction)
{
    TcxCustomTreeListControl* treeList = TreeList();
    return direction == dsdVert && treeList->OptionsCustomizing()->RowSizing() &&
           !treeList->OptionsView()->CellAutoHeight();
}

RECT TcxTreeListNode::GetSizingBoundsRect(TcxDragSizingDirection)
{
    RECT r = TreeList()->GetClientBounds();
    r.top += TreeList()->ViewInfo()->DefaultEditHeight();
    return r;
}

void TcxTreeListNode::SetSizeDelta(TcxDragSizingDirection, int delta)
{
    TcxCustomTreeListControl* treeList = TreeList();
    treeList->SetDefaultRowHeight(treeList->DefaultRowHeight() + delta);
}

// ---- node: navigation ----------------------------------------------------------------------

TcxTreeListNode* TcxTreeListNode::GetNext() const
{
    if (firstChild_) return firstChild_;
    for (const TcxTreeListNode* node = this; node; node = node->parent_)
        if (node->next_) return node->next_;
    return nullptr;
}

TcxTreeListNode* TcxTreeListNode::GetPrev() const
{
    if (prev_) {
        TcxTreeListNode* node = prev_;
        while (node->lastChild_) node = node->lastChild_;
        return node;
    }
    if (!parent_ || !parent_->parent_) return nullptr;
    return parent_;
}

TcxTreeListNode* TcxTreeListNode::GetNextVisible() const
{
    if (Expanded()) return firstChild_;
    for (const TcxTreeListNode* node = this; node && node->parent_; node = node->parent_)
        if (node->next_) return node->next_;
    return nullptr;
}

TcxTreeListNode* TcxTreeListNode::GetPrevVisible() const
{
    if (prev_) {
        TcxTreeListNode* node = prev_;
        while (node->Expanded() && node->lastChild_) node = node->lastChild_;
        return node;
    }
    if (!parent_ || !parent_->parent_) return nullptr;
    return parent_;
}

TcxTreeListNode* TcxTreeListNode::GetItem(int index) const
{
    if (index < 0 || index >= childCount_ || !firstChild_ || index < firstChild_->index_ || index > lastChild_->index_)
        throw Exception(Format(scxStr(scxIndexOutOfBounds), index));
    TcxTreeListNode* node = nullptr;
    if (index < lastChild_->index_ / 2) {
        node = firstChild_;
        while (node->index_ != index) node = node->next_;
    } else {
        node = lastChild_;
        while (node->index_ != index) node = node->prev_;
    }
    return node;
}

int TcxTreeListNode::IndexOf(const TcxTreeListNode* child) const
{
    return child && child->parent_ == this ? child->index_ : -1;
}

TcxTreeListNode* TcxTreeListNode::GetRootParent() const
{
    const TcxTreeListNode* node = this;
    while (node->parent_ && node->parent_->parent_) node = node->parent_;
    return const_cast<TcxTreeListNode*>(node);
}

bool TcxTreeListNode::HasAsParent(const TcxTreeListNode* node) const
{
    for (const TcxTreeListNode* p = parent_; p; p = p->parent_)
        if (p == node) return true;
    return false;
}

int TcxTreeListNode::Level() const
{
    int level = -1;
    for (const TcxTreeListNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

int TcxTreeListNode::AbsoluteIndex() const
{
    if (!parent_) return -1;
    int index = 0;
    for (TcxTreeListNode* node = owner_->Root()->firstChild_; node && node != this; node = node->GetNext()) ++index;
    return index;
}

bool TcxTreeListNode::IsVisible() const
{
    if (!parent_) return false;
    for (const TcxTreeListNode* p = parent_; p && p->parent_; p = p->parent_)
        if (!p->Expanded()) return false;
    return true;
}

int TcxTreeListNode::VisibleIndex() const
{
    if (!IsVisible()) return -1;
    owner_->CalculateInfo(false);
    return visibleIndex_;
}

bool TcxTreeListNode::GetIsFirstVisible() const { return IsVisible() && owner_->Root()->firstChild_ == this; }

bool TcxTreeListNode::GetIsLastVisible() const { return IsVisible() && !GetNextVisible(); }

// ---- the collection ------------------------------------------------------------------------

TClass TcxTreeListNodes::StaticClass() { return DefineClass<TcxTreeListNodes, TPersistent>("TcxTreeListNodes"); }

void TcxTreeListNodes::Construct(TcxCustomTreeListControl* owner)
{
    owner_ = owner;
    root_ = CreateObject<TcxTreeListRootNode>(this);
    root_->state_ = 0;
}

void TcxTreeListNodes::Destroy()
{
    state_ |= nssDestroying;
    owner_->BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { owner_->CancelUpdate(); });
    root_->Free();
    root_ = nullptr;
    TPersistent::Destroy();
}

TPersistent* TcxTreeListNodes::GetOwner() const { return owner_; }

void TcxTreeListNodes::Clear()
{
    if (owner_->RecordMapCount() == 0) return;
    if (!owner_->IsDestroying()) owner_->UpdateFocusedRecordPost();
    quelvo::sys::ScopeGuard reset([this] {
        topIndex_ = 0;
        topNode_ = nullptr;
        state_ = nssDirty;
        owner_->DoValidateDeletedNodes();
    });
    owner_->BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { owner_->EndUpdate(); });
    root_->DeleteChildren();
}

void TcxTreeListNodes::Changed()
{
    MarkDirty();
    topNode_ = nullptr;
    owner_->LayoutChanged();
}

void TcxTreeListNodes::DoNodeChanged(TcxTreeListNode* node)
{
    if (!node) Changed();
    else owner_->DoNodeChanged(node);
}

void TcxTreeListNodes::CalculateInfo(bool locked)
{
    if (!(state_ & nssDirty) && topNode_) return;
    if (locked) {
        maxLevel_ = 0;
        visibleCount_ = -1;
        topIndex_ = 0;
        topNode_ = nullptr;
        return;
    }
    maxLevel_ = -1;
    visibleCount_ = 0;
    topIndex_ = std::max(topIndex_, 0);
    topNode_ = nullptr;
    TcxTreeListNode* node = root_->firstChild_;
    int level = 0;
    while (node) {
        node->visibleIndex_ = visibleCount_;
        if (visibleCount_ <= topIndex_) topNode_ = node;
        ++visibleCount_;
        maxLevel_ = std::max(maxLevel_, level);
        if (node->Expanded()) {
            node = node->firstChild_;
            ++level;
            continue;
        }
        while (node && !node->next_) {
            node = node->parent_;
            --level;
            if (node == root_) node = nullptr;
        }
        if (node) node = node->next_;
    }
    if (visibleCount_ < topIndex_) topIndex_ = visibleCount_ - 1;
    state_ &= ~nssDirty;
}

TcxTreeListNode* TcxTreeListNodes::GetVisibleNode(int& index)
{
    CalculateInfo(false);
    index = std::clamp(index, 0, std::max(visibleCount_ - 1, 0));
    TcxTreeListNode* first = root_->firstChild_;
    if (!first) {
        index = 0;
        return nullptr;
    }
    if (!topNode_) {
        topNode_ = first;
        topIndex_ = 0;
    } else {
        topIndex_ = topNode_->visibleIndex_;
    }
    // Walk from the nearest of the first, the top and the last visible node.
    TcxTreeListNode* last = first;
    while (last->next_) last = last->next_;
    while (last->Expanded()) last = last->lastChild_;
    TcxTreeListNode* start = first;
    int distance = index;
    if (std::abs(index - topIndex_) < distance) {
        start = topNode_;
        distance = std::abs(index - topIndex_);
    }
    if (visibleCount_ - 1 - index < distance) start = last;
    TcxTreeListNode* node = start;
    while (node && node->visibleIndex_ < index) node = node->GetNextVisible();
    while (node && node->visibleIndex_ > index) node = node->GetPrevVisible();
    index = node ? node->visibleIndex_ : 0;
    return node;
}

void TcxTreeListNodes::SetTopVisibleIndex(int index)
{
    int i = index;
    topNode_ = GetVisibleNode(i);
    topIndex_ = i;
}

TcxTreeListNode* TcxTreeListNodes::GetAbsoluteItem(int index) const
{
    if (index < 0) return nullptr;
    TcxTreeListNode* node = root_->firstChild_;
    while (node && index-- > 0) node = node->GetNext();
    return node;
}

TcxTreeListNode* TcxTreeListNodes::GetItem(int index) const { return owner_->RecordMapNode(index); }

int TcxTreeListNodes::GetCount() const { return owner_->RecordMapCount(); }

int TcxTreeListNodes::GetMaxLevel()
{
    CalculateInfo(owner_->IsLocked());
    return maxLevel_;
}

int TcxTreeListNodes::GetVisibleCount()
{
    CalculateInfo(owner_->IsLocked());
    return visibleCount_;
}

TcxTreeListNode* TcxTreeListNodes::GetTopVisibleNode()
{
    CalculateInfo(owner_->IsLocked());
    return topNode_;
}

TcxTreeListNode* TcxTreeListNodes::InternalAddNode(TcxTreeListNode* node, TcxTreeListNode* relative,
                                                   TcxTreeListNodeAttachMode mode)
{
    if (!node) node = owner_->DoCreateNode();
    if (mode == tlamInsert && !relative) mode = tlamAdd;
    TcxTreeListNodeAddMode addMode = tlnaAdd;
    if (mode == tlamAddFirst || mode == tlamAddChildFirst) addMode = tlnaAddFirst;
    if (mode == tlamInsert) addMode = tlnaInsert;
    if (!relative) relative = root_;
    owner_->BeforeAddNode(node, relative, addMode);
    switch (addMode) {
    case tlnaAdd: node->LinkAsLastChild(relative); break;
    case tlnaAddFirst: node->LinkAsFirstChild(relative); break;
    case tlnaInsert: node->LinkBefore(relative); break;
    }
    DoNodeChanged(nullptr);
    Changed();
    return node;
}
