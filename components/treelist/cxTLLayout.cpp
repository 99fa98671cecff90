// The tree list's layout services: tree indents with image lists, panel
// heights, the scroll-bar parameters, the visible range of nodes, the
// hourglass of long operations, the image shown while nodes are dragged,
// and width adjustment.

#include <algorithm>

#include "components/foundation/cxContainer.h"
#include "components/foundation/cxGeometry.h"
#include "components/treelist/cxTL.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;

TcxTreeListViewInfo* TcxCustomTreeListControl::TreeListViewInfo() const
{
    return static_cast<TcxTreeListViewInfo*>(ViewInfo());
}

// ---- image lists --------------------------------------------------------------------------

void TcxCustomTreeListControl::SetImageList(ImageListLink& holder, TCustomImageList* value)
{
    if (holder.list == value) return;
    Freeze();
    quelvo::sys::ScopeGuard unfreeze([this] { UnFreeze(); });
    if (holder.list) {
        holder.list->UnRegisterChanges(holder.link.get());
        holder.list->RemoveFreeNotification(this);
    }
    holder.list = value;
    if (value) {
        value->RegisterChanges(holder.link.get());
        value->FreeNotification(this);
    }
    UpdateViewStyles();
}

void TcxCustomTreeListControl::SetImages(TCustomImageList* value) { SetImageList(images_, value); }

void TcxCustomTreeListControl::SetStateImages(TCustomImageList* value) { SetImageList(stateImages_, value); }

void TcxCustomTreeListControl::OnChangeImages(TObject*) { UpdateViewStyles(); }

void TcxCustomTreeListControl::Notification(TComponent* component, TOperation operation)
{
    TcxExtEditingControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == images_.list) SetImages(nullptr);
    if (component == stateImages_.list) SetStateImages(nullptr);
}

// ---- indents --------------------------------------------------------------------------------

void TcxCustomTreeListControl::CalculateLevelIndentWidth()
{
    levelIndentWidth_ = ViewInfo()->GetLookAndFeelPainter()->SmallExpandButtonSize() + 6;
    if (Images()) levelIndentWidth_ = std::max(levelIndentWidth_, Images()->Width() + 3);
    if (StateImages()) levelIndentWidth_ = std::max(levelIndentWidth_, StateImages()->Width() + 3);
}

int TcxCustomTreeListControl::GetLevelIndentCount(int level, bool withImages, TcxTreeListNode* node)
{
    int count = level + (OptionsView()->ShowRoot() ? 1 : 0);
    if (withImages && Images()) ++count;
    if (StateImages() && node && DoGetNodeImageIndex(node, tlitStateIndex) >= 0) ++count;
    return count;
}

int TcxCustomTreeListControl::GetLevelIndentsWidth(int level, bool withImages, TcxTreeListNode* node)
{
    return GetLevelIndentCount(level, withImages, node) * levelIndentWidth_;
}

int TcxCustomTreeListControl::ImagesIndentWidth()
{
    return (StateImages() ? levelIndentWidth_ : 0) + (Images() ? levelIndentWidth_ : 0);
}

void TcxCustomTreeListControl::CalculateLeftMostIndentWidth()
{
    int value = 0;
    if (Nodes()->GetVisibleCount() > 0 && GetVisibleBandCount() > 0) {
        value = std::max(0, GetLevelIndentsWidth(Nodes()->GetMaxLevel(), true, nullptr));
        TcxTreeListBandRows* rows = GetVisibleBand(0)->Rows();
        const int slack = rows->GetLeftMostWidth() - rows->GetLeftMostMinWidth();
        value = slack < value ? value - slack : 0;
    }
    if (OptionsBehavior()->AutomateLeftMostIndent()) SetLeftMostIndentWidth(value);
    else SetLeftMostIndentWidth(std::max(LeftMostIndentWidth(), value));
}

// ---- heights --------------------------------------------------------------------------------

int TcxCustomTreeListControl::GetHeaderHeight() const
{
    return OptionsView()->Headers() ? HeaderLineCount() * TreeListViewInfo()->HeaderLineHeight : 0;
}

int TcxCustomTreeListControl::GetBandPanelHeight() const
{
    return OptionsView()->Bands() ? TreeListViewInfo()->BandLineHeight * OptionsView()->BandLineCount() : 0;
}

int TcxCustomTreeListControl::GetFooterHeight() const
{
    const RECT& r = TreeListViewInfo()->FooterRect;
    return std::max(0, static_cast<int>(r.bottom - r.top));
}

// ---- scroll bars and the visible range --------------------------------------------------------

void TcxCustomTreeListControl::InitScrollBarsParameters()
{
    if (IsLocked()) return;
    TcxTreeListViewInfo* layout = TreeListViewInfo();
    const RECT bounds = GetClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, layout->ContentWidth - 1, layout->HorzScrollStep, bounds.right - bounds.left,
                     layout->HorzScrollPos, true, true);
    const int nodes = Nodes()->GetVisibleCount();
    const int rows = GetVisibleCount();
    SetScrollBarInfo(sbVertical, 0, nodes - 1, 1, rows, GetTopVisibleIndex(), rows > 0 && rows < nodes, true);
}

int TcxCustomTreeListControl::GetTopVisibleIndex() const { return TreeListViewInfo()->NodesViewInfo()->GetTopVisibleIndex(); }

void TcxCustomTreeListControl::SetTopVisibleIndex(int index)
{
    TcxTreeListNodes* nodes = Nodes();
    if (IsLocked()) {
        // Looking the node up re-syncs the stored index with the old top
        // node, so the index is stored after it.
        int found = index;
        TcxTreeListNode* node = nodes->GetVisibleNode(found);
        nodes->SetTopNode(node);
        nodes->SetTopIndex(node ? found : index);
        TreeListViewInfo()->DoCalculate();
        return;
    }
    index = std::clamp(index, 0, std::max(nodes->GetVisibleCount() - 1, 0));
    const int current = GetTopVisibleIndex();
    if (index != current) TreeListViewInfo()->DoScrollVertical(index - current);
}

TcxTreeListNode* TcxCustomTreeListControl::GetTopVisibleNode() const
{
    TcxTreeListNode* node = TreeListViewInfo()->NodesViewInfo()->TopNode;
    return node ? node : Nodes()->TopNode();
}

void TcxCustomTreeListControl::SetTopVisibleNode(TcxTreeListNode* node)
{
    Nodes()->CalculateInfo(false);
    if (node && node->IsVisible()) SetTopVisibleIndex(node->VisibleIndex());
}

int TcxCustomTreeListControl::GetVisibleCount() const
{
    TcxTreeListNodesViewInfo* rows = TreeListViewInfo()->NodesViewInfo();
    return rows->TopNode ? rows->VisibleCount : -1;
}

TcxTreeListNode* TcxCustomTreeListControl::GetLastVisibleNode() const
{
    TcxTreeListNode* node = GetTopVisibleNode();
    for (int i = 1; node && i < GetVisibleCount(); ++i) {
        TcxTreeListNode* next = node->GetNextVisible();
        if (!next) break;
        node = next;
    }
    return node;
}

void TcxCustomTreeListControl::SetLastVisibleNode(TcxTreeListNode* node)
{
    if (node && node->IsVisible()) TreeListViewInfo()->NodesViewInfo()->SetLastVisibleNode(node);
}

void TcxCustomTreeListControl::MakeNodeVisible(TcxTreeListNode* node)
{
    if (!node || !node->IsVisible()) return;
    TcxTreeListNodes* nodes = Nodes();
    const bool dirtyWhileLocked = nodes->HasState(TcxTreeListNodes::nssDirty) && IsLocked();
    int top = nodes->TopIndex();
    nodes->CalculateInfo(false);
    if (!dirtyWhileLocked) {
        TreeListViewInfo()->NodesViewInfo()->MakeNodeVisible(node);
        return;
    }
    nodes->SetTopNode(nodes->GetVisibleNode(top));
    nodes->SetTopIndex(top);
    node->MakeVisible();
    StoreTopPos();
}

// ---- hourglass ------------------------------------------------------------------------------

void TcxCustomTreeListControl::SetGlassCursor()
{
    if (glassCursorCount_ > 0 || !OptionsBehavior()->ShowHourGlass() || !hostlib::Screen) return;
    glassCursorCount_ = 1;
    savedCursor_ = hostlib::Screen->Cursor();
    hostlib::Screen->SetCursor(crHourGlass);
}

void TcxCustomTreeListControl::RestoreCursor()
{
    if (glassCursorCount_ != 1) return;
    glassCursorCount_ = 0;
    if (hostlib::Screen) hostlib::Screen->SetCursor(savedCursor_);
}

// ---- drag image -----------------------------------------------------------------------------

TcxTreeListNode* TcxCustomTreeListControl::GetHitTestNode()
{
    return static_cast<TcxTreeListHitTest*>(Controller()->HitTestController())->HitNode();
}

std::string TcxCustomTreeListControl::GetDragDropText()
{
    TcxTreeListNode* node = GetHitTestNode();
    if (!node || GetVisibleColumnCount() == 0) return std::string();
    return node->GetText(GetVisibleColumn(0)->ItemIndex());
}

void TcxCustomTreeListControl::GetDragDropViewParams(TcxViewParams& params)
{
    TcxTreeListColumn* column = GetVisibleColumnCount() > 0 ? GetVisibleColumn(0) : nullptr;
    params = Styles()->DoGetContentParams(GetHitTestNode(), column);
    TcxViewParams selection;
    Styles()->GetViewParams(tlsv_Selection, nullptr, nullptr, selection);
    params.Color = selection.Color;
    params.TextColor = selection.TextColor;
    TcxStyle* style = Styles()->Selection();
    if (style && style->AssignedValues().Contains(svFont)) params.Font = selection.Font;
}

RECT TcxCustomTreeListControl::DragDropImageDisplayRect()
{
    TcxViewParams params;
    GetDragDropViewParams(params);
    const int height = cxTextHeight(params.Font ? params.Font : Font(), "Wg");
    const int width = GetVisibleColumnCount() > 0 ? GetVisibleColumn(0)->DisplayWidth() : 0;
    POINT p = InternalGetCursorPos();
    if (HandleAllocated()) p = ScreenToClient(p);
    RECT r{p.x + 20, p.y, p.x + 20 + width, p.y + height};
    InflateRect(&r, 2, 2);
    return r;
}

void TcxCustomTreeListControl::DrawDragDropImage(TBitmap* bitmap, TcxCanvas* canvas)
{
    TcxViewParams params;
    GetDragDropViewParams(params);
    cxApplyViewParams(canvas, params);
    const RECT r{0, 0, bitmap->Width(), bitmap->Height()};
    canvas->FillRect(r);
    canvas->FrameRect(r, TColor(0), 1, cxBordersAll);
    canvas->Brush()->SetStyle(bsClear);
    RECT text = r;
    InflateRect(&text, -2, -2);
    canvas->DrawTexT(GetDragDropText(), text, cxtfLeft | cxtfVCenter | cxtfSingleLine, true);
}

// ---- widths ---------------------------------------------------------------------------------

void TcxCustomTreeListControl::AdjustColumnsWidth()
{
    const bool autoWidth = OptionsView()->ColumnAutoWidth();
    OptionsView()->SetColumnAutoWidth(true);
    for (TcxTreeListBand* band : VisibleBandList()) band->SetWidthField(band->CurrentWidth());
    for (int i = 0; i < GetVisibleColumnCount(); ++i) GetVisibleColumn(i)->SetWidthField(GetVisibleColumn(i)->CurrentWidth());
    OptionsView()->SetColumnAutoWidth(autoWidth);
}

TcxTreeListNode* TcxCustomTreeListControl::GetStartNodeForBestFit() { return TopNode(); }
