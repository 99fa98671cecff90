// What a user does to the tree list in a real X11 window under the test's
// own Xvfb: a click focuses a row, a double click expands one, a typed
// letter searches, arrows move the focus, and the row under the pointer is
// hot-tracked, as on the headless display.
#include <gtest/gtest.h>

#include <string>

#include "tests/components/treelist/tree_list_x11_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class TreeListControllerOnX11 : public TreeListX11Test {
protected:
    // N0 apple (C0 apricot, C1 banana), N1 avocado (D0 blueberry, collapsed);
    // rows 18 high below a 19-pixel header.
    void MakeList()
    {
        form = Application->CreateForm<TForm>();
        form->SetBounds(60, 60, 320, 220);
        list = CreateObject<TcxTreeList>(form);
        list->BeginUpdate();
        list->SetBounds(0, 0, 300, 200);
        list->SetBorderStyle(cxcbsNone);
        list->Font()->SetName(quelvo::gfx::kFixedTestFace);
        list->Font()->SetHeight(-13);
        list->OptionsView()->SetIndicator(false);
        list->SetDefaultRowHeight(18);
        list->OptionsBehavior()->SetImmediateEditor(false);
        list->OptionsData()->SetEditing(false);
        list->OptionsBehavior()->SetIncSearch(true);
        list->OptionsBehavior()->SetHotTrack(true);
        TcxTreeListColumn* column = list->CreateColumn();
        column->SetWidth(150);
        list->OptionsBehavior()->SetIncSearchItem(column);
        n0 = Add(nullptr, "apple");
        c0 = Add(n0, "apricot");
        c1 = Add(n0, "banana");
        n1 = Add(nullptr, "avocado");
        d0 = Add(n1, "blueberry");
        n0->SetExpanded(true);
        list->SetParent(form);
        list->EndUpdate();
        form->Show();
        ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
        Settle();
    }
    TcxTreeListNode* Add(TcxTreeListNode* parent, const std::string& text)
    {
        TcxTreeListNode* node = list->AddChild(parent);
        node->SetValue(0, Variant(text));
        return node;
    }
    // The middle of a row's text in column 0, in screen coordinates.
    POINT RowPoint(int visibleIndex) { return list->ClientToScreen(POINT{60, 19 + 18 * visibleIndex + 9}); }
    TcxTreeListController* Controller() const { return static_cast<TcxTreeListController*>(list->Controller()); }

    TcxTreeList* list = nullptr;
    TcxTreeListNode* n0 = nullptr;
    TcxTreeListNode* c0 = nullptr;
    TcxTreeListNode* c1 = nullptr;
    TcxTreeListNode* n1 = nullptr;
    TcxTreeListNode* d0 = nullptr;
};

TEST_F(TreeListControllerOnX11, ClicksKeysAndThePointerActAsOnTheHeadlessDisplay)
{
    MakeList();
    ClickScreen(RowPoint(1));
    ASSERT_TRUE(PumpUntil([&] { return list->FocusedNode() == c0; })) << "a click focuses its row";
    EXPECT_TRUE(list->Focused());

    TypeKey(XK_Home);
    TypeKey(XK_b);
    EXPECT_TRUE(PumpUntil([&] { return list->FocusedNode() == c1; })) << "typed b finds banana";
    EXPECT_EQ(list->SearchingText(), "b");
    TypeKey(XK_Escape);
    EXPECT_TRUE(PumpUntil([&] { return !list->GetSearching(); }));

    // A server under load may take the two clicks apart: a second double
    // click then does it.
    for (int attempt = 0; attempt < 2 && !n1->Expanded(); ++attempt) {
        ClickScreen(RowPoint(3));
        ClickScreen(RowPoint(3));
        PumpUntil([&] { return n1->Expanded(); }, 2000);
    }
    EXPECT_TRUE(n1->Expanded()) << "a double click expands the row";
    EXPECT_EQ(list->FocusedNode(), n1);
    TypeKey(XK_Down);
    EXPECT_TRUE(PumpUntil([&] { return list->FocusedNode() == d0; })) << "Down moves into the children";

    XTestFakeMotionEvent(other_, DefaultScreen(other_), RowPoint(2).x, RowPoint(2).y, CurrentTime);
    XFlush(other_);
    EXPECT_TRUE(PumpUntil([&] { return Controller()->HotTrackNode() == c1; })) << "the row under the pointer is hot";
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows the list as painted";
}

} // namespace
