// Rows copied as text, finding nodes, focus moves, and a navigator on the
// form driving the list as a user clicks it.
#include "tests/components/treelist/tree_list_fixture.h"

#include "platform/hostlib/visual/clipboard.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class NavigationTest : public TreeListTest {
protected:
    // Two columns captioned A and B.
    void MakeAB()
    {
        MakeTreeList(2);
        Column(0)->Caption()->SetText("A");
        Column(1)->Caption()->SetText("B");
    }
    TcxTreeListNode* Row(TcxTreeListNode* parent, const char* a, const char* b)
    {
        return AddRow(parent, {Variant(a), Variant(b)});
    }
    std::string Copied(bool selectedOnly)
    {
        Clipboard()->SetAsText("before");
        if (selectedOnly) list->CopySelectedToClipboard();
        else list->CopyAllToClipboard();
        return Clipboard()->AsText();
    }
};

TEST_F(NavigationTest, RowsAreCopiedAsTabSeparatedLines)
{
    MakeAB();
    TcxTreeListNode* x = Row(nullptr, "x", "y");
    EXPECT_EQ(Copied(false), "A\tB\r\nx\ty");
    list->OptionsView()->SetHeaders(false);
    EXPECT_EQ(Copied(false), "\r\nx\ty");
    list->OptionsView()->SetHeaders(true);
    // An empty cell keeps its column.
    x->SetValue(0, Variant(""));
    EXPECT_EQ(Copied(false), "A\tB\r\n\ty");
    x->SetValue(1, Variant(""));
    EXPECT_EQ(Copied(false), "A\tB\r\n\t");
    // Collapsed children are copied too, in pre-order; hidden columns are not.
    x->SetValue(0, Variant("x"));
    Row(x, "c", "d");
    Row(nullptr, "z", "w");
    EXPECT_EQ(Copied(false), "A\tB\r\nx\t\r\nc\td\r\nz\tw");
    Column(0)->SetVisible(false);
    EXPECT_EQ(Copied(false), "B\r\n\r\nd\r\nw");
}

TEST_F(NavigationTest, CopyingTheSelectionTakesTheFocusedNodeOrTheSelectedOnes)
{
    MakeAB();
    TcxTreeListNode* x = Row(nullptr, "x", "1");
    TcxTreeListNode* child = Row(x, "c", "2");
    TcxTreeListNode* z = Row(nullptr, "z", "3");
    z->SetFocused(true);
    EXPECT_EQ(Copied(true), "A\tB\r\nz\t3");
    list->SetFocusedNode(nullptr);
    EXPECT_EQ(Copied(true), "A\tB");
    list->OptionsView()->SetHeaders(false);
    EXPECT_EQ(Copied(true), "before") << "nothing to copy leaves the clipboard";

    list->OptionsSelection()->SetMultiSelect(true);
    list->Select(std::vector<TcxTreeListNode*>{z, child});
    EXPECT_EQ(Copied(true), "\r\nc\t2\r\nz\t3");
}

TEST_F(NavigationTest, FindingNodesByFilterAndText)
{
    MakeAB();
    TcxTreeListNode* a = Row(nullptr, "xABy", "");
    TcxTreeListNode* hidden = Row(a, "in collapsed", "");
    TcxTreeListNode* b = Row(nullptr, "xaby", "");
    TcxTreeListNode* c = Row(nullptr, "last", "");
    EXPECT_EQ(list->FindNodeByText("ab", Column(0)), b);
    EXPECT_EQ(list->FindNodeByText("AB", Column(0)), a);
    EXPECT_EQ(list->FindNodeByText("ab", Column(0), c, false, false), b);
    EXPECT_EQ(list->FindNodeByText("nowhere", Column(0)), nullptr);

    EXPECT_EQ(list->FindNodeByText("collapsed", Column(0), nullptr, false, true), hidden);
    EXPECT_EQ(list->FindNodeByText("collapsed", Column(0), nullptr, true, true), nullptr);
    // Backward from the node after a collapsed branch.
    EXPECT_EQ(list->FindNodeByText("collapsed", Column(0), b, false, false), hidden);
    EXPECT_EQ(list->FindNodeByText("collapsed", Column(0), b, true, false), nullptr);
    a->Expand(false);
    EXPECT_EQ(list->FindNodeByText("collapsed", Column(0), nullptr, true, true), hidden);

    // A filter over the data pointer, and a node that claims children gets
    // them from the expanding handler before the search goes on.
    TcxTreeListNode* lazy = Row(nullptr, "lazy", "");
    lazy->SetHasChildren(true);
    int expansions = 0;
    list->OnExpanding = TcxTreeListNodeChangingEvent::FromFunction([&](TObject*, TcxTreeListNode* node, bool&) {
        ++expansions;
        if (node->Count() == 0) Row(node, "made", "");
    });
    const auto byValue = [](TcxTreeListNode* node, void* data) {
        return node->GetText(0) == *static_cast<std::string*>(data);
    };
    std::string wanted = "made";
    TcxTreeListNode* made = list->Find(&wanted, nullptr, false, true, byValue);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Parent(), lazy);
    EXPECT_EQ(expansions, 1);
    EXPECT_FALSE(lazy->Expanded());
    list->OnExpanding = {};
}

TEST_F(NavigationTest, FocusMovesStopAtTheEnds)
{
    MakeAB();
    TcxTreeListNode* a = Row(nullptr, "a", "");
    TcxTreeListNode* child = Row(a, "a1", "");
    TcxTreeListNode* b = Row(nullptr, "b", "");
    TcxTreeListNode* last = Row(b, "b1", "");
    b->Expand(false);
    EXPECT_FALSE(list->IsBOF());
    EXPECT_FALSE(list->IsEOF());
    list->GotoEOF();
    EXPECT_EQ(list->FocusedNode(), last);
    EXPECT_TRUE(list->IsEOF());
    list->GotoNext();
    EXPECT_EQ(list->FocusedNode(), last);
    list->GotoPrev();
    EXPECT_EQ(list->FocusedNode(), b);
    list->GotoPrev();
    EXPECT_EQ(list->FocusedNode(), a) << "the collapsed child is skipped";
    EXPECT_TRUE(list->IsBOF());
    list->GotoPrev();
    EXPECT_EQ(list->FocusedNode(), a);
    b->Collapse(false);
    list->GotoEOF();
    EXPECT_EQ(list->FocusedNode(), b);
    list->GotoBOF();
    EXPECT_EQ(list->FocusedNode(), a);
    static_cast<void>(child);
}

class NavigatorOnListTest : public NavigationTest {
protected:
    void MakeListAndNavigator()
    {
        MakeAB();
        list->SetBounds(0, 40, 500, 200);
        nav = CreateObject<TcxNavigator>(form);
        nav->SetBounds(10, 5, 320, 25);
        nav->SetParent(form);
        nav->SetControl(list);
        Pump();
    }
    // "1" per enabled button 0..13.
    std::string Mask()
    {
        std::string mask;
        for (int i = 0; i <= NBDI_GOTOBOOKMARK; ++i) mask += nav->Buttons()->Button(i)->GetInternalEnabled() ? '1' : '0';
        return mask;
    }
    void Click(int index)
    {
        TcxNavigatorViewInfo* vi = nav->ViewInfo();
        if (vi->IsDirty()) vi->Calculate();
        for (int i = 0; i < vi->ButtonCount(); ++i) {
            if (vi->ButtonViewInfo(i).Button->DefaultIndex() != index) continue;
            const RECT r = vi->ButtonViewInfo(i).Bounds;
            Screen().Click(At(nav, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
            Pump();
            return;
        }
        ADD_FAILURE() << "button " << index << " is not shown";
    }

    TcxNavigator* nav = nullptr;
};

TEST_F(NavigatorOnListTest, TheButtonsFollowTheListAndMoveItsFocus)
{
    MakeListAndNavigator();
    // Empty: nothing focused, so no end is reached; nothing to delete;
    // inserting (and with it editing) is off by default.
    EXPECT_EQ(Mask(), "11111100000110");
    list->OptionsData()->SetInserting(true);
    EXPECT_EQ(Mask(), "11111110100110");
    Click(NBDI_INSERT);
    ASSERT_EQ(list->Count(), 1);
    TcxTreeListNode* first = list->Items(0);
    EXPECT_EQ(list->FocusedNode(), first);
    first->SetText(0, "first");
    Click(NBDI_INSERT);
    ASSERT_EQ(list->Count(), 2);
    EXPECT_EQ(list->Items(1), first) << "a new node goes before the focused one";
    EXPECT_EQ(list->FocusedNode(), list->Items(0));
    // At the first node: no First, Prior page, Prior.
    EXPECT_EQ(Mask(), "00011111100110");
    Click(NBDI_NEXT);
    EXPECT_EQ(list->FocusedNode(), first);
    EXPECT_EQ(Mask(), "11100011100110");
    Click(NBDI_SAVEBOOKMARK);
    EXPECT_EQ(Mask(), "11100011100111");
    Click(NBDI_FIRST);
    EXPECT_EQ(list->FocusedNode(), list->Items(0));
    Click(NBDI_GOTOBOOKMARK);
    EXPECT_EQ(list->FocusedNode(), first);
    Click(NBDI_DELETE);
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Items(0)->GetText(0), "");
    // Without a visible column there is no data to act on.
    Column(0)->SetVisible(false);
    Column(1)->SetVisible(false);
    EXPECT_EQ(Mask().substr(NBDI_DELETE, 1), "0");
}

TEST_F(NavigatorOnListTest, PageButtonsStepAPageOfRows)
{
    MakeListAndNavigator();
    for (int i = 0; i < 60; ++i) Row(nullptr, "row", "");
    list->GotoBOF();
    Pump();
    Click(NBDI_NEXTPAGE);
    const int page = list->FocusedNode()->VisibleIndex();
    EXPECT_GT(page, 1);
    Click(NBDI_NEXTPAGE);
    EXPECT_GT(list->FocusedNode()->VisibleIndex(), page);
    Click(NBDI_PRIORPAGE);
    EXPECT_LT(list->FocusedNode()->VisibleIndex(), 2 * page + 1);
    Click(NBDI_LAST);
    EXPECT_EQ(list->FocusedNode(), list->LastNode());
    EXPECT_EQ(Mask().substr(0, 6), "111000");
}

}  // namespace
