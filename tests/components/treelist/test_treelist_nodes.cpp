// Nodes and the tree-list control: linking, moving, deletion with the batch
// removal of records, navigation, values, expansion with its events, focus
// across deletions, selection, and the change notice with its delay timer.
#include "tests/components/treelist/tree_list_fixture.h"

#include "platform/hostlib/core/format.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

using NodesTest = TreeListTest;

TEST_F(NodesTest, AddChildUnderACollapsedNodeLeavesItCollapsed)
{
    MakeTreeList(1);
    TcxTreeListNode* parent = list->AddChild(nullptr);
    TcxTreeListNode* child = parent->AddChild();
    EXPECT_EQ(child->Parent(), parent);
    EXPECT_TRUE(parent->HasChildren());
    EXPECT_FALSE(parent->Expanded());
    EXPECT_FALSE(child->IsVisible());
    EXPECT_EQ(child->VisibleIndex(), -1);
    EXPECT_EQ(list->Nodes()->GetVisibleCount(), 1);
    parent->SetExpanded(true);
    EXPECT_TRUE(child->IsVisible());
    EXPECT_EQ(child->VisibleIndex(), 1);
}

TEST_F(NodesTest, DeletingTheLastChildClearsHasChildrenAndCollapses)
{
    MakeTreeList(1);
    TcxTreeListNode* parent = list->AddChild(nullptr);
    TcxTreeListNode* child = parent->AddChild();
    parent->Expand(false);
    ASSERT_TRUE(parent->Expanded());
    child->Delete();
    EXPECT_EQ(parent->Count(), 0);
    EXPECT_FALSE(parent->HasChildren());
    EXPECT_EQ(parent->State() & TcxTreeListNode::nsHasChildren, 0u);
    EXPECT_NE(parent->State() & TcxTreeListNode::nsCollapsed, 0u);
    EXPECT_EQ(list->DataController()->GetRecordCount(), 1);
}

TEST_F(NodesTest, LinksIndexesAndNavigation)
{
    MakeTreeList(1);
    TcxTreeListNode* a = list->Add();
    TcxTreeListNode* c = list->Add();
    TcxTreeListNode* b = list->Insert(c);
    TcxTreeListNode* first = list->AddFirst();
    TcxTreeListNode* a1 = a->AddChild();
    TcxTreeListNode* a0 = a->AddChildFirst();
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(list->Items(0), first);
    EXPECT_EQ(list->Items(2), b);
    EXPECT_EQ(b->Index(), 2);
    EXPECT_EQ(c->Index(), 3);
    EXPECT_EQ(a->GetItem(0), a0);
    EXPECT_EQ(a0->Level(), 1);
    EXPECT_EQ(a1->GetRootParent(), a);
    // Pre-order over all nodes, expanded or not.
    EXPECT_EQ(first->GetPrev(), nullptr);
    EXPECT_EQ(a->GetNext(), a0);
    EXPECT_EQ(a1->GetNext(), b);
    EXPECT_EQ(b->GetPrev(), a1);
    EXPECT_EQ(c->GetNext(), nullptr);
    EXPECT_EQ(list->LastNode(), c);
    EXPECT_EQ(a1->AbsoluteIndex(), 3);
    EXPECT_EQ(list->Nodes()->GetAbsoluteItem(3), a1);
    // Visible navigation skips the collapsed children.
    EXPECT_EQ(a->GetNextVisible(), b);
    EXPECT_EQ(b->GetPrevVisible(), a);
    EXPECT_EQ(first->GetPrevVisible(), nullptr);
    EXPECT_TRUE(c->GetIsLastVisible());
    EXPECT_TRUE(first->GetIsFirstVisible());
}

TEST_F(NodesTest, GetItemOutOfRangeRaisesWithTheIndex)
{
    MakeTreeList(1);
    TcxTreeListNode* parent = list->Add();
    for (int i = 0; i < 3; ++i) parent->AddChild();
    EXPECT_EQ(parent->GetItem(2), parent->GetLastChild());
    for (int index : {3, -1}) {
        try {
            parent->GetItem(index);
            ADD_FAILURE() << index;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), Format("Index %d out of bounds", index));
        }
    }
}

TEST_F(NodesTest, MovingUnderAnOwnDescendantDoesNothing)
{
    MakeTreeList(1);
    TcxTreeListNode* a = list->Add();
    TcxTreeListNode* child = a->AddChild();
    TcxTreeListNode* grandChild = child->AddChild();
    TcxTreeListNode* b = list->Add();
    a->MoveTo(grandChild, tlamAddChild);
    a->MoveTo(child, tlamAdd);
    a->MoveTo(a, tlamAddChild);
    EXPECT_EQ(a->Parent(), Root());
    EXPECT_EQ(list->Count(), 2);
    EXPECT_FALSE(a->CanMove(grandChild, tlamAddChild));
    b->MoveTo(grandChild, tlamAddChild);
    EXPECT_EQ(b->Parent(), grandChild);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(b->Level(), 3);
    b->MoveTo(a, tlamInsert);
    EXPECT_EQ(list->Items(0), b);
    EXPECT_FALSE(grandChild->HasChildren());
}

TEST_F(NodesTest, AssignValuesSetsNoMoreValuesThanColumns)
{
    MakeTreeList(2);
    TcxTreeListNode* node = list->Add();
    node->AssignValues({Variant("x"), Variant("y"), Variant("z")});
    EXPECT_EQ(node->GetValue(0).AsString(), "x");
    EXPECT_EQ(node->GetText(1), "y");
    EXPECT_EQ(node->GetValueCount(), 2);
    node->AssignValues({Variant("only")});
    EXPECT_EQ(node->GetValue(0).AsString(), "only");
    EXPECT_EQ(node->GetValue(1).AsString(), "y");
}

TEST_F(NodesTest, ExpandingRaisesEachEventOnceAndMayBeRefused)
{
    MakeTreeList(1);
    TcxTreeListNode* parent = list->Add();
    parent->AddChild();
    int expanded = 0, collapsed = 0;
    bool allow = true;
    list->OnExpanding = TcxTreeListNodeChangingEvent::FromFunction([&](TObject*, TcxTreeListNode*, bool& a) { a = allow; });
    list->OnExpanded = TcxTreeListNodeChangedEvent::FromFunction([&](TObject*, TcxTreeListNode*) { ++expanded; });
    list->OnCollapsed = TcxTreeListNodeChangedEvent::FromFunction([&](TObject*, TcxTreeListNode*) { ++collapsed; });
    allow = false;
    parent->Expand(false);
    EXPECT_FALSE(parent->Expanded());
    EXPECT_EQ(expanded, 0);
    allow = true;
    parent->Expand(true);
    parent->SetExpanded(true);
    EXPECT_TRUE(parent->Expanded());
    EXPECT_EQ(expanded, 1);
    parent->Collapse(false);
    EXPECT_EQ(collapsed, 1);
}

TEST_F(NodesTest, ExpandingANodeThatOnlyClaimsChildrenDropsTheClaim)
{
    MakeTreeList(1);
    TcxTreeListNode* node = list->Add();
    node->SetHasChildren(true);
    int expanded = 0;
    list->OnExpanded = TcxTreeListNodeChangedEvent::FromFunction([&](TObject*, TcxTreeListNode*) { ++expanded; });
    node->SetExpanded(true);
    EXPECT_EQ(expanded, 1);
    EXPECT_FALSE(node->HasChildren());
    EXPECT_FALSE(node->Expanded());
}

TEST_F(NodesTest, DeletionHandlerRaisingInsideClearStillRemovesEveryRecord)
{
    MakeTreeList(1);
    for (int i = 0; i < 4; ++i) list->Add()->SetText(0, "n" + std::to_string(i));
    int deletions = 0;
    list->OnDeletion = TcxTreeListNodeChangedEvent::FromFunction([&](TObject*, TcxTreeListNode*) {
        if (++deletions == 2) throw Exception("refused");
    });
    EXPECT_THROW(list->Clear(), Exception);
    EXPECT_EQ(deletions, 4);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->Nodes()->GetCount(), 0);
    EXPECT_EQ(list->DataController()->GetRecordCount(), 0);
    // The list stays usable.
    list->OnDeletion = {};
    TcxTreeListNode* node = list->Add();
    EXPECT_EQ(node->RecordIndex(), 0);
}

// ---- the control ----------------------------------------------------------------------

using ControlTest = TreeListTest;

TEST_F(ControlTest, ConstructionDefaults)
{
    form = NewForm();
    list = CreateObject<TcxTreeList>(form);
    EXPECT_EQ(list->Width(), 250);
    EXPECT_EQ(list->Height(), 150);
    EXPECT_FALSE(list->DefaultLayout());
    EXPECT_EQ(list->GetVersion(), 0x00040002);
    EXPECT_EQ(TcxCustomTreeListControl::DragCursorOfKind(0), crDrag);
    EXPECT_EQ(TcxCustomTreeListControl::DragCursorOfKind(1), 2100);
    EXPECT_EQ(TcxCustomTreeListControl::DragCursorOfKind(2), -23424);
    EXPECT_EQ(TcxCustomTreeListControl::DragCursorOfKind(3), 101);
}

TEST_F(ControlTest, AddChildInsideAnUpdateSortsOnceAtItsEnd)
{
    MakeTreeList(1);
    int sorts = 0;
    list->OnSorting = TNotifyEvent::FromFunction([&](TObject*) { ++sorts; });
    int payload = 7;
    list->BeginUpdate();
    TcxTreeListNode* node = list->AddChild(nullptr, &payload);
    list->AddChild(nullptr);
    EXPECT_EQ(sorts, 0);
    list->EndUpdate();
    Pump();
    EXPECT_EQ(sorts, 1);
    EXPECT_EQ(node->Data(), &payload);
    EXPECT_EQ(node->RecordIndex(), 0);
    EXPECT_EQ(node->State(), TcxTreeListNode::nsCollapsed);
    EXPECT_EQ(node->StoredImageIndex(tlitImageIndex), 0);
    EXPECT_EQ(node->StoredImageIndex(tlitSelectedIndex), 0);
    EXPECT_EQ(node->StoredImageIndex(tlitStateIndex), -1);
    EXPECT_EQ(list->Items(0), node);
}

TEST_F(ControlTest, DeletionsInOneUpdateRenumberTheSurvivingRecords)
{
    MakeTreeList(1);
    std::vector<TcxTreeListNode*> nodes;
    for (int i = 0; i < 5; ++i) {
        nodes.push_back(list->Add());
        nodes.back()->SetText(0, "v" + std::to_string(i));
    }
    list->BeginUpdate();
    nodes[1]->Delete();
    nodes[3]->Delete();
    EXPECT_EQ(list->DataController()->GetRecordCount(), 5) << "removed in one batch at the end";
    list->EndUpdate();
    TcxControlDataController* data = list->DataController();
    ASSERT_EQ(data->GetRecordCount(), 3);
    const std::vector<std::string> expected = {"v0", "v2", "v4"};
    for (int i = 0; i < 3; ++i) {
        TcxTreeListNode* node = list->Items(i);
        EXPECT_EQ(node->RecordIndex(), i);
        EXPECT_EQ(list->GetNodeByID(i), node);
        EXPECT_EQ(node->GetValue(0).AsString(), expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(list->GetNodeByID(3), nullptr);
}

TEST_F(ControlTest, FocusStaysAtTheVisiblePositionAcrossDeletions)
{
    MakeTreeList(1);
    std::vector<TcxTreeListNode*> nodes;
    for (int i = 0; i < 5; ++i) nodes.push_back(list->Add());
    nodes[2]->SetFocused(true);
    ASSERT_EQ(list->FocusedNode(), nodes[2]);
    nodes[2]->Delete();
    Pump();
    EXPECT_EQ(list->FocusedNode(), nodes[3]) << "the node now at the focused position";
    nodes[0]->Delete();
    Pump();
    EXPECT_EQ(list->FocusedNode(), nodes[4]) << "a deletion above moves the focus down by one node";
    nodes[4]->Delete();
    nodes[3]->Delete();
    Pump();
    EXPECT_EQ(list->FocusedNode(), nodes[1]) << "clamped into the visible range";
}

TEST_F(ControlTest, UnfocusingTheFocusedNodeReportsOldAndNone)
{
    MakeTreeList(1);
    TcxTreeListNode* a = list->Add();
    list->Add();
    a->SetFocused(true);
    TcxTreeListNode* reportedOld = nullptr;
    TcxTreeListNode* reportedNew = a;
    list->OnFocusedNodeChanged = TcxTreeListFocusedChangedEvent::FromFunction(
        [&](TObject*, TcxTreeListNode* before, TcxTreeListNode* after) {
            reportedOld = before;
            reportedNew = after;
        });
    a->SetFocused(false);
    EXPECT_EQ(list->FocusedNode(), nullptr);
    EXPECT_EQ(reportedOld, a);
    EXPECT_EQ(reportedNew, nullptr);
    EXPECT_EQ(list->SelectionCount(), 0);
}

TEST_F(ControlTest, SubselectNeedsMultiSelect)
{
    MakeTreeList(1);
    TcxTreeListNode* node = list->Add();
    try {
        list->Subselect(node);
        ADD_FAILURE();
    } catch (const EcxTreeList& e) {
        EXPECT_STREQ(e.what(), "Multi select required");
    }
    list->OptionsSelection()->SetMultiSelect(true);
    list->Subselect(node);
    EXPECT_TRUE(node->Selected());
}

TEST_F(ControlTest, SelectAllSkipsTheNodesTheHandlerRefuses)
{
    MakeTreeList(1);
    list->OptionsSelection()->SetMultiSelect(true);
    TcxTreeListNode* a = list->Add();
    TcxTreeListNode* refused = a->AddChild();
    TcxTreeListNode* b = list->Add();
    int changes = 0;
    list->OnCanSelectNode =
        TcxTreeListNodeChangingEvent::FromFunction([&](TObject*, TcxTreeListNode* n, bool& allow) { allow = n != refused; });
    list->OnSelectionChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    list->SelectAll();
    EXPECT_EQ(changes, 1) << "one notice for the whole selection update";
    ASSERT_EQ(list->SelectionCount(), 2);
    EXPECT_EQ(list->Selections(0), a);
    EXPECT_EQ(list->Selections(1), b);
    EXPECT_FALSE(refused->Selected());
    // Deleting a selected node takes it out of the selection.
    b->Delete();
    EXPECT_EQ(list->SelectionCount(), 1);
}

TEST_F(ControlTest, ChangeNoticeComesAtOnceWithoutDelay)
{
    MakeTreeList(1);
    int changes = 0;
    list->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    list->DoChanged(true);
    changes = 0;
    list->DoChanged(true);
    EXPECT_EQ(changes, 0) << "nothing happened since";
    list->Add();
    list->DoChanged(true);
    EXPECT_EQ(changes, 1);
    list->DoChanged(true);
    EXPECT_EQ(changes, 1) << "the flag was consumed";
}

TEST_F(ControlTest, ChangeDelayLimitsTheNoticeToOnePerInterval)
{
    MakeTreeList(1);
    int changes = 0;
    list->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    list->OptionsBehavior()->SetChangeDelay(500);
    EXPECT_TRUE(list->ChangeTimer()->Enabled());
    list->Add();
    list->DoChanged(true);
    EXPECT_EQ(changes, 0) << "a delayed call waits for the timer";
    Advance(499);
    EXPECT_EQ(changes, 0);
    Advance(1);
    EXPECT_EQ(changes, 1);
    for (int i = 0; i < 5; ++i) {
        list->Add();
        Advance(100);
    }
    EXPECT_EQ(changes, 2) << "five changes within 500 ms give one notice";
    Advance(1000);
    EXPECT_EQ(changes, 2) << "nothing new happened";
    list->OptionsBehavior()->SetChangeDelay(-1);
    EXPECT_EQ(list->OptionsBehavior()->ChangeDelay(), 0);
    EXPECT_FALSE(list->ChangeTimer()->Enabled());
}

TEST_F(ControlTest, DeleteSelectionRemovesSelectedNodesAndTheirDescendants)
{
    MakeTreeList(1);
    list->OptionsSelection()->SetMultiSelect(true);
    TcxTreeListNode* a = list->Add();
    TcxTreeListNode* a0 = a->AddChild();
    TcxTreeListNode* b = list->Add();
    // Focusing a node from code leaves it the only selected one.
    b->SetFocused(true);
    a0->SetSelected(true);
    a->SetSelected(true);
    list->DeleteSelection();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->DataController()->GetRecordCount(), 0);
    EXPECT_EQ(list->SelectionCount(), 0);
}

TEST_F(ControlTest, CopyAndMoveThroughTheDragEntry)
{
    MakeTreeList(1);
    TcxTreeListNode* a = list->Add();
    a->SetText(0, "a");
    a->AddChild()->SetText(0, "a0");
    TcxTreeListNode* target = list->Add();
    list->DoInternalMoveTo(target, tlamAddChild, true, {a});
    ASSERT_EQ(target->Count(), 1);
    TcxTreeListNode* copy = target->getFirstChild();
    EXPECT_EQ(copy->GetText(0), "a");
    ASSERT_EQ(copy->Count(), 1);
    EXPECT_EQ(copy->getFirstChild()->GetText(0), "a0");
    EXPECT_EQ(list->Count(), 2);
    bool vetoed = false;
    list->OnMoveTo = TcxTreeListMoveToEvent::FromFunction(
        [&](TObject*, TcxTreeListNode*, TcxTreeListNodeAttachMode, TList* nodes, bool&, bool& done) {
            vetoed = nodes->Count() == 1;
            done = true;
        });
    list->DoInternalMoveTo(target, tlamAddChild, false, {a});
    EXPECT_TRUE(vetoed);
    EXPECT_EQ(a->Parent(), Root());
}

} // namespace
