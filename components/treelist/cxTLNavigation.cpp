// The tree list's services on top of its nodes: rows as tab-separated text
// on the clipboard, finding nodes, moving the focus, and what a navigator
// bound to the list asks and tells it.

#include "components/treelist/cxTL.h"
#include "platform/hostlib/visual/clipboard.h"

using namespace hostlib;

namespace {

// Whether a step may go down into the node's children. A node that claims
// children it does not have yet gets one expansion, so that an expanding
// handler can create them.
bool CanDescend(TcxTreeListNode* node, bool expandedOnly)
{
    if (!expandedOnly && (node->State() & TcxTreeListNode::nsHasChildren) && node->Count() == 0 &&
        !node->Expanded()) {
        node->Expand(false);
        node->Collapse(false);
    }
    return node->Count() > 0 && (node->Expanded() || !expandedOnly);
}

TcxTreeListNode* StepForward(TcxTreeListNode* node, bool expandedOnly)
{
    if (CanDescend(node, expandedOnly)) return node->getFirstChild();
    TcxTreeListNode* root = node->Owner()->Root();
    while (node && node != root && !node->getNextSibling()) node = node->Parent();
    return node && node != root ? node->getNextSibling() : nullptr;
}

TcxTreeListNode* StepBackward(TcxTreeListNode* node, bool expandedOnly)
{
    if (TcxTreeListNode* previous = node->getPrevSibling()) {
        while (CanDescend(previous, expandedOnly)) previous = previous->GetLastChild();
        return previous;
    }
    TcxTreeListNode* parent = node->Parent();
    return parent == node->Owner()->Root() ? nullptr : parent;
}

struct TextMatch {
    const std::string* text;
    TcxTreeListColumn* column;
};

bool ContainsText(TcxTreeListNode* node, void* data)
{
    const auto* match = static_cast<TextMatch*>(data);
    return match->column->GetDisplayText(node->RecordIndex()).find(*match->text) != std::string::npos;
}

}  // namespace

// ---- clipboard text ----------------------------------------------------------------------

bool TcxCustomTreeListControl::DoWriteToClipboard(bool selectedOnly)
{
    std::string text;
    if (!DoWriteToText(selectedOnly, text)) return false;
    Clipboard()->SetAsText(text);
    return true;
}

bool TcxCustomTreeListControl::DoWriteToText(bool selectedOnly, std::string& text)
{
    text.clear();
    if (OptionsView()->Headers()) DoWriteHeaderToText(text);
    const bool multiSelect = IsMultiSelect();
    for (TcxTreeListNode* node = TopNode(); node; node = node->GetNext()) {
        if (selectedOnly && !(multiSelect ? IsNodeInSelection(node) : node->Focused())) continue;
        std::string line;
        DoWriteNodeToText(node, line);
        text += "\r\n";
        text += line;
    }
    return !text.empty();
}

// A TAB stands between every two columns, so an empty cell keeps its place.
void TcxCustomTreeListControl::DoWriteHeaderToText(std::string& text)
{
    for (int i = 0; i < GetVisibleColumnCount(); ++i) {
        if (i > 0) text += '\t';
        text += GetVisibleColumn(i)->Caption()->Text();
    }
}

void TcxCustomTreeListControl::DoWriteNodeToText(TcxTreeListNode* node, std::string& text)
{
    for (int i = 0; i < GetVisibleColumnCount(); ++i) {
        if (i > 0) text += '\t';
        text += GetVisibleColumn(i)->GetDisplayText(node->RecordIndex());
    }
}

// ---- searching -----------------------------------------------------------------------------

TcxTreeListNode* TcxCustomTreeListControl::Find(void* data, TcxTreeListNode* start, bool expandedOnly, bool forward,
                                                TcxTreeListFindFunc filter)
{
    if (!filter) return nullptr;
    TcxTreeListNode* node = start ? start : TopNode();
    BeginUpdate();
    quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
    while (node) {
        if (filter(node, data)) return node;
        node = forward ? StepForward(node, expandedOnly) : StepBackward(node, expandedOnly);
    }
    return nullptr;
}

TcxTreeListNode* TcxCustomTreeListControl::FindNodeByText(const std::string& text, TcxTreeListColumn* column,
                                                          TcxTreeListNode* start, bool expandedOnly, bool forward)
{
    if (!column || column->TreeList() != this) return nullptr;
    TextMatch match{&text, column};
    return Find(&match, start, expandedOnly, forward, &ContainsText);
}

// ---- focus moves ---------------------------------------------------------------------------

void TcxCustomTreeListControl::GotoBOF() { SetFocusedNode(TopNode()); }

void TcxCustomTreeListControl::GotoEOF()
{
    TcxTreeListNode* node = nodes_->Root()->GetLastChild();
    while (node && node->Expanded()) node = node->GetLastChild();
    SetFocusedNode(node);
}

void TcxCustomTreeListControl::GotoNext()
{
    if (IsEOF()) return;
    if (TcxTreeListNode* node = FocusedNode()) SetFocusedNode(node->GetNextVisible());
}

void TcxCustomTreeListControl::GotoPrev()
{
    if (IsBOF()) return;
    if (TcxTreeListNode* node = FocusedNode()) SetFocusedNode(node->GetPrevVisible());
}

void TcxCustomTreeListControl::GotoNextPage() { Controller()->DoNextPage(true, TShiftState{}); }

void TcxCustomTreeListControl::GotoPrevPage() { Controller()->DoNextPage(false, TShiftState{}); }

bool TcxCustomTreeListControl::IsBOF()
{
    TcxTreeListNode* node = FocusedNode();
    return node && !node->GetPrevVisible();
}

bool TcxCustomTreeListControl::IsEOF()
{
    TcxTreeListNode* node = FocusedNode();
    return node && !node->GetNextVisible();
}

// ---- the navigator -------------------------------------------------------------------------

bool TcxCustomTreeListControl::HasData() { return GetVisibleColumnCount() > 0 && Count() > 0; }

bool TcxCustomTreeListControl::CanEdit()
{
    return OptionsData()->Editing() && (HasData() || CanInsert()) && !Controller()->EditingController()->IsEditing();
}

bool TcxCustomTreeListControl::CanDelete() { return OptionsData()->Deleting() && HasData(); }

bool TcxCustomTreeListControl::CanInsert() { return OptionsData()->Inserting() && (FocusedNode() || !HasData()); }

// Unbound records are always there; bound ones while their source is open.
bool TcxCustomTreeListControl::GetNavigatorIsActive()
{
    return !DataController()->IsProviderMode() || DataController()->Active();
}

bool TcxCustomTreeListControl::IsBookmarkAvailable() { return DataController()->IsBookmarkAvailable() && HasData(); }

bool TcxCustomTreeListControl::GetIsEditing() { return DataController()->GetIsEditing(); }

void TcxCustomTreeListControl::ClearBookmark() { DataController()->ClearBookmark(); }

void TcxCustomTreeListControl::SaveBookmark() { DataController()->SaveBookmark(); }

void TcxCustomTreeListControl::GotoBookmark() { DataController()->GotoBookmark(); }

void TcxCustomTreeListControl::DoAction(int buttonIndex)
{
    switch (buttonIndex) {
    case 0: GotoBOF(); break;
    case 1: GotoPrevPage(); break;
    case 2: GotoPrev(); break;
    case 3: GotoNext(); break;
    case 4: GotoNextPage(); break;
    case 5: GotoEOF(); break;
    case 6: InsertFromNavigator(); break;
    case 7: DeleteSelection(); break;
    case 8: Controller()->EditingController()->ShowEdit(); break;
    case 9:
        DataController()->PostEditingData();
        DataController()->Post();
        break;
    case 10:
        DataController()->Cancel();
        Controller()->EditingController()->UpdateEditValue();
        break;
    case 11: DataController()->Refresh(); break;
    case 12: SaveBookmark(); break;
    case 13: GotoBookmark(); break;
    default: break;
    }
}

// A new node before the focused one, or a last top-level node; it takes the focus.
void TcxCustomTreeListControl::InsertFromNavigator()
{
    TcxTreeListNode* focused = FocusedNode();
    TcxTreeListNode* added = nullptr;
    {
        BeginUpdate();
        quelvo::sys::ScopeGuard close([this] { EndUpdate(); });
        added = AddNode(nullptr, focused, focused ? tlamInsert : tlamAdd, nullptr);
    }
    SetFocusedNode(added);
}
