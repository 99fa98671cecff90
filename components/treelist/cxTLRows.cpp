// The rows of the tree list's node area: one row per visible node from the
// top node down to the first row that does not fit. The column arrangement
// is laid out once in a template row and copied into each row; row objects
// are pooled, scrolling up by less than a page adds rows at the top, and
// rows are positioned lazily before the painter or the hit test use them.

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

constexpr int kRowPoolStep = 32;

} // namespace

// ---- a row: construction --------------------------------------------------------------------

TClass TcxTreeListNodeViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListNodeViewInfo, TObject>("TcxTreeListNodeViewInfo");
}

void TcxTreeListNodeViewInfo::Construct(TcxTreeListNodesViewInfo* owner)
{
    owner_ = owner;
    TObject* self = this;
    indicator_.reset(CreateInstance<TcxTreeListIndicatorViewInfo>(Layout()->GetIndicatorViewInfoClass(), self));
    preview_.reset(CreateInstance<TcxTreeListNodePreviewViewInfo>(owner->GetNodePreviewViewInfoClass(), self));
    groupNodeEdit_.reset(CreateObject<TcxTreeListGroupNodeEditViewInfo>(self));
}

void TcxTreeListNodeViewInfo::Destroy()
{
    quelvo::sys::ScopeGuard items([this] {
        indicator_.reset();
        preview_.reset();
    });
    groupNodeEdit_.reset();
    Clear();
    TObject::Destroy();
}

void TcxTreeListNodeViewInfo::Clear()
{
    cells_.clear();
    groups_.clear();
    indents_.clear();
    indentCount_ = 0;
    FocusedCell = nullptr;
}

TcxCustomTreeListControl* TcxTreeListNodeViewInfo::TreeList() const { return owner_->TreeList(); }

TcxTreeListViewInfo* TcxTreeListNodeViewInfo::Layout() const { return owner_->Owner(); }

int TcxTreeListNodeViewInfo::GetIndentWidth() const { return owner_->IndentWidth; }

int TcxTreeListNodeViewInfo::GetRealHeight() const { return (HasPreview ? preview_->PreviewHeight : 0) + CellsMaxHeight; }

int TcxTreeListNodeViewInfo::GetVisibleIndex() const { return Node ? Node->VisibleIndex() : -1; }

bool TcxTreeListNodeViewInfo::GetHotTrack() const { return Node && Node->HotTrack(); }

RECT TcxTreeListNodeViewInfo::GetVisibleRect(bool fixed) const { return fixed ? owner_->RowsRect : owner_->ScrollRect; }

void TcxTreeListNodeViewInfo::ReallocateData(int groupCount, int cellCount)
{
    TObject* self = this;
    groups_.resize(static_cast<std::size_t>(groupCount));
    for (auto& group : groups_)
        if (!group) group.reset(CreateInstance<TcxTreeListCellsGroupViewInfo>(owner_->GetGroupViewInfoItemClass(), self));
    cells_.resize(static_cast<std::size_t>(cellCount));
    for (auto& cell : cells_)
        if (!cell) cell.reset(CreateInstance<TcxTreeListEditCellViewInfo>(owner_->GetEditCellViewInfoItemClass(), self));
}

void TcxTreeListNodeViewInfo::SetIndentCount(int count)
{
    TObject* self = this;
    if (static_cast<int>(indents_.size()) < count) indents_.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto& indent = indents_[static_cast<std::size_t>(i)];
        if (!indent) indent.reset(CreateInstance<TcxTreeListIndentViewInfo>(owner_->GetIndentViewInfoItemClass(), self));
    }
    indentCount_ = count;
}

// ---- a row: the template layout -------------------------------------------------------------

TcxTreeListCellsGroupViewInfo* TcxTreeListNodeViewInfo::AddGroup(TcxTreeListBandViewInfo* band, int x)
{
    TcxTreeListCellsGroupViewInfo* group = nullptr;
    for (auto& item : groups_)
        if (item->BandViewInfo == nullptr) {
            group = item.get();
            break;
        }
    group->BandViewInfo = band;
    group->BandOpaque = band->Opaque;
    group->DisplayRect = RECT{x, Top, band->DisplayRect.right, ContentRect.bottom};
    return group;
}

void TcxTreeListNodeViewInfo::AddCell(TcxTreeListColumnViewInfo* column, int groupIndex)
{
    for (auto& cell : cells_)
        if (cell->ColumnViewInfo == nullptr) {
            cell->ColumnViewInfo = column;
            cell->GroupIndex = groupIndex;
            return;
        }
}

void TcxTreeListNodeViewInfo::DoCalculateLayout()
{
    TcxTreeListViewInfo* layout = Layout();
    TcxCustomTreeListControl* treeList = TreeList();
    std::vector<TcxTreeListBandViewInfo*> bands;
    if (layout->FixedBands[tlbfLeft]) bands.push_back(layout->FixedBands[tlbfLeft]);
    for (int i = 0; i < layout->BandCount; ++i) bands.push_back(layout->GetBand(i));
    if (layout->FixedBands[tlbfRight]) bands.push_back(layout->FixedBands[tlbfRight]);
    ReallocateData(static_cast<int>(bands.size()), treeList->GetVisibleColumnCount());
    for (auto& group : groups_) group->BandViewInfo = nullptr;
    for (auto& cell : cells_) cell->ColumnViewInfo = nullptr;
    Top = owner_->RowsRect.top;
    ContentRect = owner_->RowsRect;
    if (treeList->OptionsView()->Indicator()) ContentRect.left -= treeList->OptionsView()->IndicatorWidth();
    const TcxBorders gridBorders = cxTreeListGridLineBorders(treeList->OptionsView()->GridLines());
    int x = 0;
    int cellIndex = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        TcxTreeListBandViewInfo* band = bands[i];
        const bool nextToFixed = i > 0 && (band->GetFixed() != tlbfNone || bands[i - 1]->GetFixed() != tlbfNone);
        const int left = (i == 0 || nextToFixed) ? band->DisplayRect.left : x - 1;
        TcxTreeListCellsGroupViewInfo* group = AddGroup(band, left);
        group->Borders = gridBorders;
        group->FirstCell = cellIndex;
        for (int c = 0; c < band->ColumnCount(); ++c) AddCell(band->GetColumn(c), static_cast<int>(i));
        cellIndex += band->ColumnCount();
        group->EndCell = cellIndex;
        group->CheckClipping(group->DisplayRect, GetVisibleRect(band->GetFixed() != tlbfNone));
        group->DoCalculateCellsLayout();
        x = group->DisplayRect.right;
        CellsArea.right = x;
        group->Borders.Exclude(bTop);
        if (band->GetBand()->IsLeftMost() && !group->Borders.Contains(bBottom)) group->Borders.Exclude(bLeft);
    }
    Borders = TcxBorders{};
    CellsArea.left = groups_.empty() ? ContentRect.left : groups_.front()->DisplayRect.left;
    if (!groups_.empty()) {
        Borders = groups_.front()->Borders;
        if (groups_.back()->Borders.Contains(bRight)) Borders.Include(bRight);
    }
    CellsMaxHeight = 0;
    if (!owner_->IsRowAutoHeight && !cells_.empty()) {
        int top = cells_.front()->DisplayRect.top;
        int bottom = cells_.front()->DisplayRect.bottom;
        for (auto& cell : cells_) {
            top = std::min(top, static_cast<int>(cell->DisplayRect.top));
            bottom = std::max(bottom, static_cast<int>(cell->DisplayRect.bottom));
        }
        CellsMaxHeight = bottom - top;
    }
    ContentRect.right = std::min(owner_->RowsRect.right, CellsArea.right);
    CellsArea.top = Top;
    CellsArea.bottom = Top + CellsMaxHeight;
}

void TcxTreeListNodeViewInfo::AssignLayoutTo(TcxTreeListNodeViewInfo* row)
{
    row->ReallocateData(GetGroupCount(), GetCellCount());
    for (int i = 0; i < GetGroupCount(); ++i) row->GetGroup(i)->Assign(GetGroup(i));
    for (int i = 0; i < GetCellCount(); ++i) row->GetCell(i)->Assign(GetCell(i));
    row->Top = Top;
    row->Borders = Borders;
    row->CellsMaxHeight = CellsMaxHeight;
    row->ContentRect = ContentRect;
    row->CellsArea = CellsArea;
    row->CellsCalculated = row->Focused = row->HasButton = row->HasPreview = false;
    row->Selected = row->Visible = row->Expanded = false;
    row->FocusedCell = nullptr;
}

// ---- a row: its own values ------------------------------------------------------------------

void TcxTreeListNodeViewInfo::DoCalculate()
{
    TcxCustomTreeListControl* treeList = TreeList();
    TcxTreeListOptionsView* view = treeList->OptionsView();
    HasButton = view->Buttons() && Node->HasChildren();
    IsGroup = treeList->DoIsGroupNode(Node);
    Focused = Node->Focused();
    Selected = Node->Selected();
    Expanded = HasButton && Node->Expanded();
    Level = Node->Level();
    IndentLeft = DoCalculateIndentsLayout();
    CellsOffset = Top;
    if (treeList->Preview()->Place() == tlppTop) {
        preview_->DoInitPreviewSettings(Top);
        CellsOffset = Top + preview_->PreviewHeight;
    }
    if (!IsGroup)
        for (auto& group : groups_) {
            group->ViewParams = treeList->Styles()->GetBandContentParams(group->GetBand(), Node);
            group->DoCalculate();
        }
    if (owner_->IsRowAutoHeight) DoCalculateAutoHeights();
    if (treeList->Preview()->Place() == tlppBottom) preview_->DoInitPreviewSettings(Top + CellsMaxHeight);
    ContentRect.bottom = ContentRect.top + GetRealHeight();
    UpdateContentRects();
    indicator_->Kind = GetNodeIndicatorKind();
}

int TcxTreeListNodeViewInfo::DoCalculateIndentsLayout()
{
    TcxCustomTreeListControl* treeList = TreeList();
    const int n = treeList->GetLevelIndentCount(Node->Level(), true, Node);
    const int groupLeft = groups_.empty() ? ContentRect.left : groups_.front()->DisplayRect.left;
    const int result = groupLeft + n * treeList->LevelIndentWidth();
    SetIndentCount(n);
    if (n == 0) return result;
    if (treeList->OptionsView()->ShowRoot()) ++Level;
    TcxTreeListNode* next = Node->GetNextVisible();
    const int m = next ? treeList->GetLevelIndentCount(next->Level(), true, next) : -1;
    int right = result;
    DoCalculateImageIndents(right);
    CalculateIndentInfo(right);
    CalculateIndentBorders(m);
    return result;
}

void TcxTreeListNodeViewInfo::DoCalculateImageIndents(int& right)
{
    TcxCustomTreeListControl* treeList = TreeList();
    int index = indentCount_ - 1;
    auto place = [&](TCustomImageList* images, TcxTreeListImageIndexType kind) {
        const int position = index--;
        TcxTreeListIndentViewInfo* indent = GetIndent(position);
        indent->IsLevel = false;
        indent->Lines = 0;
        indent->HasButton = false;
        indent->Node = Node;
        indent->Borders = TcxBorders{};
        indent->IsStateImage = kind == tlitStateIndex;
        indent->ImageKind = kind;
        indent->ImageIndex = treeList->DoGetNodeImageIndex(Node, kind);
        indent->Images = images;
        indent->ViewParams = treeList->Styles()->GetIndentParams(Node, position);
        indent->Calculate(RECT{right - GetIndentWidth(), Top, right, Top + GetRealHeight()}, owner_->RowsRect);
        indent->ImageValid = indent->ImageIndex >= 0 && indent->ImageIndex < images->Count();
        right -= GetIndentWidth();
    };
    if (treeList->Images()) place(treeList->Images(), Selected ? tlitSelectedIndex : tlitImageIndex);
    if (treeList->StateImages() && index >= 0 && treeList->DoGetNodeImageIndex(Node, tlitStateIndex) >= 0)
        place(treeList->StateImages(), tlitStateIndex);
}

void TcxTreeListNodeViewInfo::CalculateIndentInfo(int& right)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const bool lines = treeList->OptionsView()->TreeLineStyle() != tllsNone;
    TcxTreeListNode* node = Node;
    for (int level = Level - 1; level >= 0 && node; --level) {
        TcxTreeListIndentViewInfo* indent = GetIndent(level);
        const bool own = node == Node;
        indent->Node = node;
        indent->Level = level;
        indent->IsLevel = true;
        indent->Borders = TcxBorders{};
        indent->HasButton = own && HasButton;
        indent->Images = nullptr;
        indent->ImageValid = false;
        indent->Lines = 0;
        if (lines) {
            indent->Lines = tlifUp;
            if (own) indent->Lines |= tlifRight;
            if (node->getNextSibling()) indent->Lines |= tlifDown;
            else if (!own) indent->Lines &= ~tlifUp;
            if (own && node == treeList->Nodes()->Root()->getFirstChild()) indent->Lines &= ~tlifUp;
        }
        indent->ViewParams = treeList->Styles()->GetIndentParams(node, level);
        indent->Calculate(RECT{right - GetIndentWidth(), Top, right, Top + GetRealHeight()}, owner_->RowsRect);
        right -= GetIndentWidth();
        // The root's children sit at level 0 without ShowRoot; with it the
        // walk still stops at the root itself.
        node = node->Parent() && node->Parent() != treeList->Nodes()->Root() ? node->Parent() : nullptr;
    }
}

void TcxTreeListNodeViewInfo::CalculateIndentBorders(int nextCount)
{
    const TcxTreeListGridLines lines = TreeList()->OptionsView()->GridLines();
    const bool horz = lines == tlglHorz || lines == tlglBoth;
    for (int i = 0; i < indentCount_; ++i) {
        TcxTreeListIndentViewInfo* indent = GetIndent(i);
        indent->Borders = horz && i >= nextCount ? TcxBorders{bBottom} : TcxBorders{};
    }
}

void TcxTreeListNodeViewInfo::DoCalculateAutoHeights()
{
    CellsMaxHeightCount = 0;
    CellsMaxHeight = Layout()->DefaultEditHeight();
    if (IsGroup) {
        CellsMaxHeight = std::max(CellsMaxHeight, groupNodeEdit_->CalculateEditHeight());
    } else {
        TcxCustomTreeListControl* treeList = TreeList();
        for (auto& cell : cells_) {
            RECT content = cell->DisplayRect;
            if (cell->Borders.Contains(bLeft)) ++content.left;
            if (cell->Borders.Contains(bTop)) ++content.top;
            if (cell->Borders.Contains(bRight)) --content.right;
            if (cell->Borders.Contains(bBottom)) --content.bottom;
            if (cell->GetColumn()->IsLeftMost()) content.left += treeList->GetLevelIndentsWidth(Node->Level(), true, Node);
            cell->ContentRect = content;
            const int h = cell->CalculateEditHeight();
            cell->ChangedHeight(cell->Height(), h);
            if (h > CellsMaxHeight) {
                CellsMaxHeight = h;
                CellsMaxHeightCount = 1;
            } else if (h == CellsMaxHeight) {
                ++CellsMaxHeightCount;
            }
        }
    }
    if (CellsMaxHeightCount == 0) CellsMaxHeightCount = 1;
}

void TcxTreeListNodeViewInfo::UpdateContentRects()
{
    CellsArea.left = IndentLeft;
    if (!IsGroup && !groups_.empty()) {
        TcxTreeListCellsGroupViewInfo* first = groups_.front().get();
        first->SetSize(CellsOffset, CellsMaxHeight);
        const int groupLeft = first->DisplayRect.left;
        for (int i = 0; i < first->GetCount(); ++i) {
            TcxTreeListEditCellViewInfo* cell = first->GetCell(i);
            if (cell->DisplayRect.left != groupLeft) continue;
            RECT r = cell->DisplayRect;
            r.left = IndentLeft;
            cell->CheckClipping(r, RowClipRect);
        }
        RECT r = first->DisplayRect;
        r.left = IndentLeft;
        first->CheckClipping(r, RowClipRect);
        for (std::size_t i = 1; i < groups_.size(); ++i) groups_[i]->SetSize(CellsOffset, CellsMaxHeight);
    }
    CellsArea.top = CellsOffset;
    CellsArea.bottom = CellsOffset + CellsMaxHeight;
    ContentRect.top = Top;
    ContentRect.bottom = Top + GetRealHeight();
    for (int i = 0; i < indentCount_; ++i) {
        TcxTreeListIndentViewInfo* indent = GetIndent(i);
        RECT r = indent->DisplayRect;
        r.bottom = r.top + GetRealHeight();
        indent->CheckClipping(r, owner_->RowsRect);
    }
}

// ---- a row: positioning ---------------------------------------------------------------------

void TcxTreeListNodeViewInfo::UpdateLinks()
{
    NextVisible = Index + 1 < owner_->Count ? owner_->GetNodeViewInfo(Index + 1) : nullptr;
    PrevVisible = Index > 0 ? owner_->GetNodeViewInfo(Index - 1) : nullptr;
    LeftFixedGroup = RightFixedGroup = nullptr;
    if (IsGroup || groups_.empty()) return;
    if (groups_.front()->BandViewInfo->GetFixed() == tlbfLeft) LeftFixedGroup = groups_.front().get();
    if (groups_.back()->BandViewInfo->GetFixed() == tlbfRight) RightFixedGroup = groups_.back().get();
}

void TcxTreeListNodeViewInfo::UpdatePostCalculate(int top, int index)
{
    indicator_->Kind = GetNodeIndicatorKind();
    Index = index;
    UpdateLinks();
    DoVertOffset(top - Top);
    if (!CellsCalculated) DoCalculateCellsViewInfo();
    else UpdateClipping();
    Top = top;
}

void TcxTreeListNodeViewInfo::DoCalculateCellsViewInfo()
{
    UpdateClipping();
    if (IsGroup) {
        groupNodeEdit_->Update();
    } else {
        for (auto& cell : cells_)
            if (TcxTreeListColumn* column = cell->GetColumn()) {
                column->InitEditViewInfo(cell.get());
                cell->CheckClipping(cell->DisplayRect, groups_[static_cast<std::size_t>(cell->GroupIndex)]->ClipRect);
                column->CalculateEditViewInfo(cell->Value, cell.get(), POINT{-1, -1});
            }
    }
    CellsCalculated = true;
}

void TcxTreeListNodeViewInfo::UpdateClipping()
{
    RowClipRect = Intersection(ContentRect, owner_->RowsRect);
    Visible = !IsEmptyRect(RowClipRect);
}

void TcxTreeListNodeViewInfo::DoCalculateIndentsViewInfo()
{
    for (int i = 0; i < indentCount_; ++i) GetIndent(i)->DoCalculate();
}

void TcxTreeListNodeViewInfo::DoVertOffset(int dy)
{
    if (dy == 0 && CellsCalculated) return;
    PreviewTop += dy;
    CellsOffset += dy;
    OffsetRect(&ContentRect, 0, dy);
    OffsetRect(&CellsArea, 0, dy);
    UpdateClipping();
    if (!IsGroup)
        for (auto& group : groups_) group->ShiftGroup(0, dy);
    for (int i = 0; i < indentCount_; ++i) GetIndent(i)->ShiftIndent(0, dy);
    if (!IsGroup) {
        for (int i = 0; i < 2; ++i) Separators[i] = Intersection(Layout()->FixedSeparators[i], CellsArea);
    } else {
        groupNodeEdit_->ShiftItem(0, dy);
    }
    indicator_->Calculate(ContentRect, ContentRect);
    if (HasPreview) preview_->DoCalculate();
}

void TcxTreeListNodeViewInfo::DoHorzOffset(int dx)
{
    if (!IsGroup) {
        for (auto& group : groups_)
            if (group.get() != LeftFixedGroup && group.get() != RightFixedGroup) group->ShiftGroup(dx, 0);
        if (!groups_.empty() && groups_.back()->BandViewInfo->GetFixed() == tlbfNone) CellsArea.right += dx;
        if (!groups_.empty() && groups_.front()->BandViewInfo->GetFixed() == tlbfNone) {
            CellsArea.left += dx;
            for (int i = 0; i < indentCount_; ++i) GetIndent(i)->ShiftIndent(dx, 0);
        }
    }
    UpdateClipping();
    if (HasPreview) preview_->DoCalculate();
    if (IsGroup) groupNodeEdit_->DoCalculate();
}

TcxIndicatorKind TcxTreeListNodeViewInfo::GetNodeIndicatorKind()
{
    if (!Focused) return Selected ? ikMultiDot : ikNone;
    TcxCustomTreeListControl* treeList = TreeList();
    if (treeList->Controller()->EditingController()->IsEditing()) return ikEdit;
    if (treeList->DataController()->GetEditState().Contains(dceInsert)) return ikInsert;
    if (Selected && treeList->SelectionCount() > 1) return ikMultiArrow;
    return ikArrow;
}

RECT TcxTreeListNodeViewInfo::GetFocusRect()
{
    if (!Focused || groups_.empty()) return RECT{-1, -1, -1, -1};
    if (FocusedCell) return FocusedCell->ContentRect;
    RECT r{CellsArea.left, ContentRect.top, CellsArea.right, ContentRect.bottom};
    if (Borders.Contains(bLeft)) ++r.left;
    if (Borders.Contains(bTop)) ++r.top;
    if (Borders.Contains(bRight)) --r.right;
    if (Borders.Contains(bBottom)) --r.bottom;
    return r;
}

bool TcxTreeListNodeViewInfo::RefreshItems(bool refresh)
{
    if (IsGroup) {
        if (groupNodeEdit_->Refresh(refresh)) return true;
    } else {
        for (auto& cell : cells_)
            if (cell->Refresh(refresh)) return true;
    }
    if (HasPreview && preview_->Refresh(refresh)) return true;
    return false;
}

void TcxTreeListNodeViewInfo::Update(bool force)
{
    TcxCustomTreeListControl* treeList = TreeList();
    const bool focused = Node->Focused();
    const bool selected = Node->Selected();
    const bool f = focused != Focused;
    const bool a = Focused || f;
    const bool b = selected != Selected || (Selected && !owner_->SelectionUpdating);
    Focused = focused;
    Selected = selected;
    if (a || b || Focused || force) {
        for (int i = 0; i < indentCount_; ++i) {
            TcxTreeListIndentViewInfo* indent = GetIndent(i);
            indent->ViewParams = treeList->Styles()->GetIndentParams(indent->Node, indent->Level);
            indent->DoCalculate();
        }
        FocusedCell = nullptr;
        if (RefreshItems(force || f)) treeList->LayoutChanged();
        else {
            UpdateImageIndexes();
            Layout()->InvalidateRect(ContentRect);
        }
    }
    indicator_->Kind = GetNodeIndicatorKind();
}

void TcxTreeListNodeViewInfo::UpdateImageIndexes()
{
    for (int i = indentCount_ - 1; i >= 0 && !GetIndent(i)->IsLevel; --i) GetIndent(i)->UpdateImageIndex();
}

// ---- the rows object ------------------------------------------------------------------------

TClass TcxTreeListNodesViewInfo::StaticClass()
{
    return DefineClass<TcxTreeListNodesViewInfo, TObject>("TcxTreeListNodesViewInfo");
}

void TcxTreeListNodesViewInfo::Destroy()
{
    Clear();
    TObject::Destroy();
}

TcxCustomTreeListControl* TcxTreeListNodesViewInfo::TreeList() const { return owner_->GetTreeList(); }

int TcxTreeListNodesViewInfo::GetTopVisibleIndex() const
{
    if (TopNode && TopNode->IsVisible()) return TopNode->VisibleIndex();
    return TreeList()->Nodes()->TopIndex();
}

// Inside an update bracket the rows are not laid out again until it
// closes, and closing it brings the focused row into view first, counting
// from the top row: without it, from the nodes' own top index.
void TcxTreeListNodesViewInfo::NodeDeleting(TcxTreeListNode* node)
{
    if (TopNode == node) TopNode = nullptr;
}

int TcxTreeListNodesViewInfo::GetMaxVisibleIndex() const { return TreeList()->Nodes()->GetVisibleCount() - 1; }

bool TcxTreeListNodesViewInfo::FindNodeViewInfo(TcxTreeListNode* node, TcxTreeListNodeViewInfo*& row) const
{
    row = nullptr;
    if (!node || !node->IsVisible()) return false;
    const int i = node->VisibleIndex() - GetTopVisibleIndex();
    if (i < 0 || i >= Count) return false;
    row = GetNodeViewInfo(i);
    return true;
}

TcxTreeListNode* TcxTreeListNodesViewInfo::GetNextNodeFromViewInfo(int i) const
{
    if (i < 0 || i >= Count) return nullptr;
    return GetNodeViewInfo(i)->Node->GetNextVisible();
}

void TcxTreeListNodesViewInfo::ClearState()
{
    IsAddFirst = false;
    Count = 0;
    VisibleCount = 0;
    IsRowAutoHeight = TreeList()->OptionsView()->CellAutoHeight() && TreeList()->HeaderLineCount() == 1;
    TopNode = TreeList()->Nodes()->GetTopVisibleNode();
}

void TcxTreeListNodesViewInfo::Clear()
{
    {
        quelvo::sys::ScopeGuard rest([this] {
            template_.reset();
            if (!TreeList()->ComponentState().Contains(csDestroying)) ClearState();
            TopNode = nullptr;
            VisibleCount = Count = 0;
        });
        rows_.clear();
    }
    rows_.shrink_to_fit();
}

void TcxTreeListNodesViewInfo::AddNode(TcxTreeListNode* node)
{
    if (Count >= PoolSize()) {
        const int pool = PoolSize() + 1;
        const int wanted = (pool + kRowPoolStep) / kRowPoolStep * kRowPoolStep;
        if (wanted > Capacity()) rows_.reserve(static_cast<std::size_t>(wanted));
        rows_.emplace_back(CreateInstance<TcxTreeListNodeViewInfo>(GetNodeViewInfoClass(), this));
    }
    GetNodeViewInfo(Count)->Node = node;
    ++Count;
}

int TcxTreeListNodesViewInfo::Add(TcxTreeListNode* node)
{
    AddNode(node);
    if (IsAddFirst && Count > 1) {
        auto last = rows_.begin() + (Count - 1);
        std::rotate(rows_.begin(), last, last + 1);
    }
    TcxTreeListNodeViewInfo* row = GetNodeViewInfo(IsAddFirst ? 0 : Count - 1);
    template_->AssignLayoutTo(row);
    row->DoCalculate();
    return row->GetRealHeight();
}

int TcxTreeListNodesViewInfo::MoveFirstToLatest(bool keepOne)
{
    if (Count == 0 || (keepOne && Count == 1)) return 0;
    const int height = GetNodeViewInfo(0)->GetRealHeight();
    std::rotate(rows_.begin(), rows_.begin() + 1, rows_.begin() + Count);
    --Count;
    return height;
}

void TcxTreeListNodesViewInfo::ProcessAddNode(TcxTreeListNode*& node, bool& full)
{
    full = Full();
    if (full) return;
    NodesBottom += Add(node);
    full = Full();
    node = IsAddFirst ? node->GetPrevVisible() : node->GetNextVisible();
}

void TcxTreeListNodesViewInfo::FillRows(TcxTreeListNode* node, bool stopAtBottom)
{
    const int total = TreeList()->Nodes()->GetVisibleCount();
    bool full = false;
    bool takenBack = false;
    while (true) {
        while (node && !full && Count < total) ProcessAddNode(node, full);
        if (IsAddFirst && full && stopAtBottom && Count > 1 && !takenBack) {
            // The row added last on top overflowed: take it back and go on below.
            NodesBottom -= MoveFirstToLatest(true);
            full = Full();
            takenBack = true;
            ChangeDirection();
            node = GetNodeViewInfo(Count - 1)->Node->GetNextVisible();
            continue;
        }
        if (full || Count >= total || takenBack || IsAddFirst || Count == 0) break;
        ChangeDirection();
        node = GetNodeViewInfo(0)->Node->GetPrevVisible();
        if (!node) break;
    }
}

void TcxTreeListNodesViewInfo::ProcessNodes(TcxTreeListNode* node, bool stopAtBottom)
{
    if (!node || TreeList()->GetVisibleColumnCount() == 0) {
        VisibleCount = 0;
        return;
    }
    quelvo::sys::ScopeGuard reset([this] { IsAddFirst = false; });
    NeedViewInfoUpdatePost();
    TreeList()->Controller()->EditingController()->PostEditUpdate();
    FillRows(node, stopAtBottom);
    VisibleCount = Count;
    if (Count > 1 && NodesBottom > RowsRect.bottom) --VisibleCount;
    if (Count > 0) TopNode = GetNodeViewInfo(0)->Node;
}

void TcxTreeListNodesViewInfo::CalculatePreviewHeight()
{
    TcxTreeListPreview* preview = TreeList()->Preview();
    auto* column = As<TcxTreeListColumn>(preview->Column());
    if (!preview->Active() || !column) return;
    TcxTreeListNode* first = TreeList()->Nodes()->Root()->getFirstChild();
    const TcxViewParams params = TreeList()->Styles()->GetPreviewParams(first);
    owner_->PreviewLineHeight = column->GetEditDefaultHeight(params.Font ? params.Font : TreeList()->Font());
}

void TcxTreeListNodesViewInfo::DoCalculate(bool recalculateTemplate)
{
    TcxCustomTreeListControl* treeList = TreeList();
    ClearState();
    IndentWidth = treeList->LevelIndentWidth();
    RowsRect = owner_->VisibleCellsRect;
    ScrollRect = Intersection(owner_->VisibleCellsRect, owner_->ScrollArea);
    SpaceArea = owner_->CellsRect;
    SpaceArea.left = owner_->GetBorderSize();
    if (!TopNode || treeList->GetVisibleBandCount() == 0 || treeList->GetVisibleColumnCount() == 0) {
        VisibleCount = 0;
        return;
    }
    CalculatePreviewHeight();
    if (recalculateTemplate || !template_) {
        if (!template_) template_.reset(CreateInstance<TcxTreeListNodeViewInfo>(GetNodeViewInfoClass(), this));
        template_->DoCalculateLayout();
    }
    NodesBottom = owner_->CellsRect.top;
    ProcessNodes(TopNode, true);
}

void TcxTreeListNodesViewInfo::UpdatePostCalculate()
{
    NodesBottom = RowsRect.top;
    VisibleCount = 0;
    SpaceArea.top = NodesBottom;
    for (int i = 0; i < Count; ++i) {
        TcxTreeListNodeViewInfo* row = GetNodeViewInfo(i);
        row->UpdatePostCalculate(NodesBottom, i);
        NodesBottom += row->GetRealHeight();
        SpaceArea.top = NodesBottom;
        if (NodesBottom > RowsRect.bottom) break;
        ++VisibleCount;
    }
    VisibleCount = std::max(VisibleCount, 1);
    if (VisibleCount < Count) Count = VisibleCount + 1;
}

bool TcxTreeListNodesViewInfo::PostViewInfoUpdate()
{
    if (!NeedUpdatePos) return false;
    UpdatePostCalculate();
    NeedUpdatePos = false;
    TreeList()->DoChanged(true);
    return true;
}

void TcxTreeListNodesViewInfo::PostUpdate()
{
    if (UpdatePost) UpdateSelectedNodes();
}

// ---- the rows object: scrolling -------------------------------------------------------------

void TcxTreeListNodesViewInfo::DoVertOffset(int rows)
{
    if (rows == 0) return;
    TcxTreeListNodes* nodes = TreeList()->Nodes();
    if (TreeList()->IsLocked()) {
        nodes->SetTopVisibleIndex(GetTopVisibleIndex() + rows);
        return;
    }
    if (rows < 0 && -rows < Count && template_) {
        DoCalculateShiftDown(-rows);
        return;
    }
    nodes->SetTopVisibleIndex(GetTopVisibleIndex() + rows);
    DoCalculate(false);
    owner_->InvalidateRect(RowsRect);
}

void TcxTreeListNodesViewInfo::DoCalculateShiftDown(int count)
{
    NeedViewInfoUpdatePost();
    IsAddFirst = true;
    quelvo::sys::ScopeGuard reset([this] { IsAddFirst = false; });
    for (int i = 0; i < count; ++i) {
        TcxTreeListNode* node = Count > 0 ? GetNodeViewInfo(0)->Node->GetPrevVisible() : nullptr;
        if (!node) break;
        NodesBottom = 0;
        Add(node);
        TopNode = node;
    }
}

void TcxTreeListNodesViewInfo::DoCalculateShiftUp(int count)
{
    for (int i = 0; i < count && Count > 0; ++i) NodesBottom -= MoveFirstToLatest(false);
    if (Count == 0) return;
    TopNode = GetNodeViewInfo(0)->Node;
    ProcessNodes(GetNextNodeFromViewInfo(Count - 1), true);
}

void TcxTreeListNodesViewInfo::DoHorzOffset(int dx)
{
    if (Count == 0) return;
    for (int i = 0; i < Count; ++i) GetNodeViewInfo(i)->DoHorzOffset(dx);
    if (!template_) return;
    for (int i = 0; i < template_->GetGroupCount(); ++i) {
        TcxTreeListCellsGroupViewInfo* group = template_->GetGroup(i);
        if (group->GetFixed()) continue;
        OffsetRect(&group->DisplayRect, dx, 0);
        for (int c = 0; c < group->GetCount(); ++c) OffsetRect(&group->GetCell(c)->DisplayRect, dx, 0);
    }
}

void TcxTreeListNodesViewInfo::MakeNodeVisible(TcxTreeListNode* node)
{
    // The row's place in the array, not its Index: rows may not be
    // positioned yet, and may be stale while the tree is being changed.
    const int top = GetTopVisibleIndex();
    const int index = node->VisibleIndex();
    TcxTreeListNodeViewInfo* row = nullptr;
    if (FindNodeViewInfo(node, row) && index - top < VisibleCount) return;
    if (top >= index) TreeList()->SetTopVisibleNode(node);
    else if (index - top == VisibleCount) owner_->DoScrollVertical(1);
    else SetLastVisibleNode(node);
}

void TcxTreeListNodesViewInfo::SetLastVisibleNode(TcxTreeListNode* node)
{
    IsAddFirst = true;
    NodesBottom = RowsRect.top;
    Count = 0;
    VisibleCount = 0;
    if (!template_) {
        DoCalculate(true);
        IsAddFirst = true;
        NodesBottom = RowsRect.top;
        Count = 0;
    }
    ProcessNodes(node, true);
    owner_->InvalidateScrollRect(dsdVert);
    UpdatePostCalculate();
    SynchronizeTopNode();
}

void TcxTreeListNodesViewInfo::SynchronizeTopNode()
{
    TcxTreeListNodes* nodes = TreeList()->Nodes();
    nodes->SetTopNode(TopNode);
    if (TopNode) nodes->SetTopIndex(TopNode->VisibleIndex());
    TreeList()->InitScrollBarsParameters();
    NeedSynchronize = false;
}

// ---- the rows object: state changes ---------------------------------------------------------

void TcxTreeListNodesViewInfo::FocusedRecordChanged(TcxTreeListNode* previous, TcxTreeListNode* node)
{
    // Rows waiting to be laid out again may show nodes that are gone; the
    // layout shows the new focus when it runs.
    if (previous == node || TreeList()->IsLocked() || Owner()->GetState(cxvisCalculationNeeded)) return;
    TcxTreeListNodeViewInfo* row = nullptr;
    if (FindNodeViewInfo(previous, row)) row->Update(false);
    if (FindNodeViewInfo(node, row)) row->Update(false);
    NeedUpdatePos = true;
}

void TcxTreeListNodesViewInfo::UpdateSelectedNodes()
{
    // Rows of a layout waiting to be recalculated may show nodes that are gone.
    if (TreeList()->IsLocked() || Owner()->GetState(cxvisCalculationNeeded)) {
        UpdatePost = true;
        return;
    }
    UpdatePost = false;
    for (int i = 0; i < Count; ++i) GetNodeViewInfo(i)->Update(false);
    TreeList()->DoChanged(true);
}

void TcxTreeListNodesViewInfo::UpdateData()
{
    if (!TreeList()->OptionsView()->Indicator()) return;
    for (int i = 0; i < Count; ++i) {
        TcxTreeListNodeViewInfo* row = GetNodeViewInfo(i);
        row->Indicator()->UpdateKind(row->GetNodeIndicatorKind());
    }
}
