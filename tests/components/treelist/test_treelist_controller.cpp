// What a user does to the tree list with keys and the mouse on the headless
// display: clicks that focus, arrows, Home and End, Tab, paging, numpad
// expansion, inserting and deleting rows, header clicks that sort, double
// clicks, multi-selection, incremental search, gaining the focus, and
// focus kept when rows go away.
#include <functional>
#include <string>
#include <vector>

#include "platform/hostlib/stdctrls/stdctrls.h"
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class ControllerTest : public TreeListLayoutTest {
protected:
    void TearDown() override
    {
        if (list) {
            list->OnColumnHeaderClick = {};
            list->OnHotTrackNode = {};
        }
        Application->SetMessageBoxResponder(nullptr);
        TreeListLayoutTest::TearDown();
    }
    // Fixture T without editors, so clicks and keys stay with the list.
    void MakeList()
    {
        MakeT();
        list->OptionsBehavior()->SetImmediateEditor(false);
        list->OptionsData()->SetEditing(false);
    }
    TcxTreeListController* Controller() const { return static_cast<TcxTreeListController*>(list->Controller()); }
    TcxTreeListHitTest* HitTest() const { return Controller()->HitTest(); }
    // Clicks far enough apart in time that none makes a double click.
    void Click(int x, int y)
    {
        Advance(1000);
        ClickAt(list, x, y);
    }
    void ClickWith(int modifier, int x, int y)
    {
        Advance(1000);
        Screen().KeyDown(modifier);
        Screen().Click(At(list, x, y));
        Screen().KeyUp(modifier);
        Pump();
    }
    void DoubleClick(int x, int y)
    {
        Advance(1000);
        Screen().DoubleClick(At(list, x, y));
        Pump();
    }
    void Char(unsigned char c)
    {
        SendMessageA(list->Handle(), WM_CHAR, c, 0);
        Pump();
    }
    void Type(const std::string& text)
    {
        Screen().TypeText(text);
        Pump();
    }
    struct Place {
        TcxTreeListNode* node;
        TcxTreeListColumn* column;
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        Place expected;
    };
    void Run(const std::vector<Step>& steps)
    {
        for (const Step& step : steps) {
            step.act();
            EXPECT_EQ(list->FocusedNode(), step.expected.node) << step.what;
            EXPECT_EQ(list->FocusedColumn(), step.expected.column) << step.what;
        }
    }
    std::function<void()> Press(int vk)
    {
        return [this, vk] { Key(vk); };
    }
    std::function<void()> PressWith(int modifier, int vk)
    {
        return [this, modifier, vk] { KeyWith(modifier, vk); };
    }
};

TEST_F(ControllerTest, AClickFocusesTheCellAndKeysMoveIt)
{
    MakeList();
    Click(50, 25);
    ASSERT_TRUE(list->Focused());
    Run({
        {"the click", [] {}, {n0, a}},
        {"Right", Press(VK_RIGHT), {n0, b}},
        {"Right at the last cell", Press(VK_RIGHT), {n0, b}},
        {"Down keeps the column", Press(VK_DOWN), {c0, b}},
        {"Left", Press(VK_LEFT), {c0, a}},
        {"Down", Press(VK_DOWN), {c1, a}},
        {"Down", Press(VK_DOWN), {n1, a}},
        {"Down past the end without inserting", Press(VK_DOWN), {n1, a}},
        {"Page Down on the last node", Press(VK_NEXT), {n1, a}},
        {"numpad + expands, Down enters the children",
         [this] {
             Key(VK_ADD);
             Key(VK_DOWN);
         },
         {d0, a}},
        {"Ctrl+Home", PressWith(VK_CONTROL, VK_HOME), {n0, a}},
        {"End", Press(VK_END), {n0, b}},
        {"Home", Press(VK_HOME), {n0, a}},
        {"numpad - collapses, Down skips the children",
         [this] {
             Key(VK_SUBTRACT);
             Key(VK_DOWN);
         },
         {n1, a}},
        {"Ctrl+End", PressWith(VK_CONTROL, VK_END), {d0, a}},
        {"Up", Press(VK_UP), {n1, a}},
    });
    EXPECT_TRUE(n1->Expanded());
    EXPECT_FALSE(n0->Expanded());
    EXPECT_FALSE(list->Controller()->IsEditing()) << "the numpad keys' characters are swallowed";
    EXPECT_FALSE(list->GetSearching());
}

TEST_F(ControllerTest, TabWrapsIntoTheNextRowAndNumpadStarExpandsTheBranch)
{
    MakeList();
    list->OptionsBehavior()->SetFocusCellOnCycle(true);
    list->OptionsBehavior()->SetGoToNextCellOnTab(true);
    Click(150, 25);
    Run({
        {"the click", [] {}, {n0, b}},
        {"Tab", Press(VK_TAB), {c0, a}},
        {"Shift+Tab", PressWith(VK_SHIFT, VK_TAB), {n0, b}},
    });
    TcxTreeListNode* e0 = AddRow(d0, {"E0", "e0"});
    Click(50, 80);
    ASSERT_EQ(list->FocusedNode(), n1);
    Key(VK_MULTIPLY);
    EXPECT_TRUE(n1->Expanded());
    EXPECT_TRUE(d0->Expanded()) << "every level below";
    EXPECT_TRUE(e0->IsVisible());
}

TEST_F(ControllerTest, WithoutCellSelectLeftAndRightScrollAndOneColumnExpandsAndCollapses)
{
    MakeList();
    list->OptionsSelection()->SetCellSelect(false);
    list->SetBounds(0, 0, 120, 200);
    Pump();
    Click(50, 25);
    ASSERT_EQ(list->FocusedNode(), n0);
    TcxTreeListViewInfo* layout = ViewInfo();
    ASSERT_GT(layout->ContentWidth, layout->ViewportWidth);
    Key(VK_RIGHT);
    EXPECT_GT(layout->HorzScrollPos, 0) << "Right scrolls";
    Key(VK_LEFT);
    EXPECT_EQ(layout->HorzScrollPos, 0) << "Left scrolls back";
    Key(VK_DOWN);
    EXPECT_EQ(list->FocusedNode(), c0);
    Key(VK_UP);
    EXPECT_EQ(list->FocusedNode(), n0);

    list->OptionsSelection()->SetCellSelect(true);
    b->SetVisible(false);
    Pump();
    Key(VK_LEFT);
    EXPECT_FALSE(n0->Expanded()) << "one column: Left collapses";
    Key(VK_RIGHT);
    EXPECT_TRUE(n0->Expanded()) << "one column: Right expands";
    EXPECT_EQ(list->FocusedNode(), n0);
}

TEST_F(ControllerTest, InsertingRows)
{
    MakeList();
    list->OptionsData()->SetInserting(true);
    Click(50, 80);
    Key(VK_DOWN);
    ASSERT_EQ(list->Count(), 3) << "Down past the end adds a row";
    TcxTreeListNode* added = n1->getNextSibling();
    EXPECT_EQ(list->FocusedNode(), added) << "after the last row, at its level";
    EXPECT_EQ(list->FocusedColumn(), a);

    Click(150, 62);
    ASSERT_EQ(list->FocusedNode(), c1);
    KeyWith(VK_CONTROL, VK_INSERT);
    EXPECT_EQ(n0->Count(), 2) << "Ctrl+Insert on a child goes one level up";
    EXPECT_EQ(list->TopNode(), list->FocusedNode());
    EXPECT_EQ(list->FocusedNode()->getNextSibling(), n0) << "just before the child's parent";

    Click(150, 80);
    ASSERT_EQ(list->FocusedNode(), c1);
    Key(VK_INSERT);
    EXPECT_EQ(c1->Count(), 1) << "Insert adds a last child";
    EXPECT_EQ(list->FocusedNode(), c1->getFirstChild());

    n0->SetFocused(true);
    Pump();
    TcxTreeListNode* above = n0->getPrevSibling();
    KeyWith(VK_CONTROL, VK_INSERT);
    EXPECT_EQ(list->FocusedNode()->getNextSibling(), n0) << "just before a top-level node";
    EXPECT_EQ(list->FocusedNode()->getPrevSibling(), above);
    EXPECT_EQ(list->FocusedNode()->Parent(), n0->Parent());
}

TEST_F(ControllerTest, CtrlDeleteAsksFirst)
{
    MakeList();
    list->OptionsBehavior()->SetConfirmDelete(true);
    std::vector<std::string> asked;
    int answer = IDCANCEL;
    Application->SetMessageBoxResponder([&](const std::string& text, const std::string& caption, UINT flags) {
        asked.push_back(text + "|" + caption + "|" + std::to_string(flags));
        return answer;
    });
    Click(50, 62);
    ASSERT_EQ(list->FocusedNode(), c1);
    Key(VK_DELETE);
    EXPECT_TRUE(asked.empty()) << "Delete alone is no command";
    KeyWith(VK_CONTROL, VK_DELETE);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Delete record(s)?|Confirm|" + std::to_string(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(n0->Count(), 2) << "Cancel keeps the row";
    answer = IDOK;
    KeyWith(VK_CONTROL, VK_DELETE);
    EXPECT_EQ(n0->Count(), 1);
    EXPECT_EQ(list->FocusedNode(), n1) << "the focus stays at the row's place: " << list->FocusedNode()->GetText(0);
}

TEST_F(ControllerTest, TheFocusKeepsItsPlaceWhenRowsGo)
{
    MakeList();
    Click(50, 62);
    ASSERT_EQ(list->FocusedNode(), c1);
    c0->Delete();
    Pump();
    EXPECT_EQ(list->FocusedNode(), n1) << "a row above went: the focus stays at the third row";
    n1->Delete();
    Pump();
    EXPECT_EQ(list->FocusedNode(), c1) << "the focused last row went: the new last row";
    c1->SetFocused(true);
    ASSERT_EQ(list->FocusedNode(), c1);
    n1 = c1;

    std::vector<std::pair<TcxTreeListNode*, TcxTreeListNode*>> changes;
    list->OnFocusedNodeChanged = TcxTreeListFocusedChangedEvent::FromFunction(
        [&](TObject*, TcxTreeListNode* from, TcxTreeListNode* to) { changes.emplace_back(from, to); });
    n1->SetFocused(false);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].first, n1);
    EXPECT_EQ(changes[0].second, nullptr);
}

TEST_F(ControllerTest, HeaderClicksSort)
{
    MakeList();
    std::vector<TcxTreeListColumn*> clicks;
    list->OnColumnHeaderClick =
        TcxTreeListColumnChangedEvent::FromFunction([&](TObject*, TcxTreeListColumn* column) { clicks.push_back(column); });
    list->OptionsBehavior()->SetMultiSort(false);
    std::vector<TcxDataSortOrder> orders{a->SortOrder()};
    for (int i = 0; i < 3; ++i) {
        Click(50, 5);
        orders.push_back(a->SortOrder());
    }
    EXPECT_EQ(orders, (std::vector<TcxDataSortOrder>{soNone, soAscending, soDescending, soAscending}));
    EXPECT_EQ(clicks, (std::vector<TcxTreeListColumn*>{a, a, a}));
    Click(150, 5);
    EXPECT_EQ(a->SortOrder(), soNone) << "a plain click replaces the sort";
    EXPECT_EQ(b->SortOrder(), soAscending);
    ClickWith(VK_SHIFT, 50, 5);
    EXPECT_EQ(b->SortOrder(), soNone) << "Shift keeps others only with multi-sort";
    EXPECT_EQ(a->SortOrder(), soAscending);
    list->OptionsBehavior()->SetMultiSort(true);
    ClickWith(VK_SHIFT, 150, 5);
    EXPECT_EQ(a->SortOrder(), soAscending);
    EXPECT_EQ(b->SortOrder(), soAscending);
    ClickWith(VK_CONTROL, 150, 5);
    EXPECT_EQ(b->SortOrder(), soNone) << "Ctrl takes a column out";
    EXPECT_EQ(a->SortOrder(), soAscending);
    EXPECT_EQ(HitTest()->PressedHeader(), nullptr);
}

TEST_F(ControllerTest, DoubleClicksExpandRowsAndFitColumns)
{
    MakeList();
    DoubleClick(50, 80);
    EXPECT_TRUE(n1->Expanded()) << "a double click on a row toggles it";
    DoubleClick(50, 80);
    EXPECT_FALSE(n1->Expanded());
    list->OptionsBehavior()->SetExpandOnDblClick(false);
    DoubleClick(50, 80);
    EXPECT_FALSE(n1->Expanded());

    Click(7, 80);
    EXPECT_TRUE(n1->Expanded()) << "a click on the button";
    EXPECT_EQ(list->FocusedNode(), n1) << "the row was focused before";

    const int width = a->Width();
    DoubleClick(99, 5);
    EXPECT_NE(a->Width(), width) << "a double click on a header edge fits the column";
    EXPECT_EQ(a->SortOrder(), soNone) << "and sorts nothing";
}

TEST_F(ControllerTest, TheMiddleButtonNeverFocuses)
{
    MakeList();
    Click(50, 25);
    Screen().Click(At(list, 50, 80), quelvo::win::MouseButton::Middle);
    Pump();
    EXPECT_EQ(list->FocusedNode(), n0);
}

TEST_F(ControllerTest, MultiSelectionWithShiftAndCtrl)
{
    MakeList();
    list->OptionsSelection()->SetMultiSelect(true);
    Click(50, 25);
    ClickWith(VK_SHIFT, 50, 62);
    EXPECT_EQ(list->SelectionCount(), 3) << "N0 to C1";
    ClickWith(VK_CONTROL, 50, 45);
    EXPECT_FALSE(c0->Selected()) << "Ctrl toggles";
    EXPECT_EQ(list->SelectionCount(), 2);
    ClickWith(VK_CONTROL, 50, 80);
    EXPECT_TRUE(n1->Selected());
    EXPECT_EQ(Controller()->SelectionAnchor(), n1);
    ClickWith(VK_SHIFT, 50, 62);
    EXPECT_EQ(list->SelectionCount(), 2) << "a range from the anchor, the rest dropped";
    EXPECT_TRUE(c1->Selected());
    EXPECT_TRUE(n1->Selected());
    Click(50, 25);
    EXPECT_EQ(list->SelectionCount(), 1) << "a plain click selects its row alone";
    EXPECT_TRUE(n0->Selected());
    KeyWith(VK_SHIFT, VK_DOWN);
    EXPECT_EQ(list->SelectionCount(), 2) << "Shift+Down extends";
    Controller()->CancelSelection(false);
    EXPECT_EQ(list->SelectionCount(), 0);
    EXPECT_EQ(Controller()->SelectionAnchor(), nullptr);
}

TEST_F(ControllerTest, TabbingInWithoutAFocusedRowFocusesTheTopRowInView)
{
    MakeList();
    auto* before = CreateObject<TEdit>(form);
    before->SetParent(form);
    before->SetBounds(310, 10, 60, 20);
    before->SetFocus();
    list->SetBounds(0, 0, 300, 19 + 2 * 18);
    Pump();
    list->SetTopVisibleIndex(1);
    list->SetFocusedNode(nullptr);
    Pump();
    ASSERT_EQ(list->FocusedNode(), nullptr);
    list->SetFocus();
    Pump();
    ASSERT_NE(list->FocusedNode(), nullptr);
    EXPECT_EQ(list->FocusedNode(), c0) << "the top row in view, not record 0: " << list->FocusedNode()->GetText(0);
    EXPECT_EQ(list->FocusedColumn(), a);
    EXPECT_EQ(list->GetTopVisibleIndex(), 1) << "nothing scrolls";
}

// N0 apple, C0 apricot, C1 banana, N1 avocado, D0 blueberry under collapsed N1.
class IncSearchTest : public ControllerTest {
protected:
    void MakeFruit()
    {
        MakeList();
        const std::pair<TcxTreeListNode*, const char*> texts[] = {
            {n0, "apple"}, {c0, "apricot"}, {c1, "banana"}, {n1, "avocado"}, {d0, "blueberry"}};
        for (const auto& [node, text] : texts) node->SetText(0, text);
        list->OptionsBehavior()->SetIncSearch(true);
        list->OptionsBehavior()->SetIncSearchItem(a);
        Click(50, 25);
    }
    std::string Text() { return list->SearchingText(); }
};

TEST_F(IncSearchTest, TypingFindsRowsAndMissesTakeTheCharacterBack)
{
    MakeFruit();
    Run({
        {"a", [this] { Type("a"); }, {n0, a}},
        {"ap", [this] { Type("p"); }, {n0, a}},
        {"Ctrl+Down finds the next", PressWith(VK_CONTROL, VK_DOWN), {c0, a}},
        {"a miss of Ctrl+Down keeps focus and text", PressWith(VK_CONTROL, VK_DOWN), {c0, a}},
    });
    EXPECT_EQ(Text(), "ap");
    Key(VK_BACK);
    EXPECT_EQ(Text(), "a");
    Key(VK_ESCAPE);
    EXPECT_FALSE(list->GetSearching());
    Type("b");
    EXPECT_EQ(list->FocusedNode(), c1);
    Type("l");
    EXPECT_EQ(Text(), "b") << "collapsed children are not searched";
    EXPECT_EQ(list->FocusedNode(), c1);
    Key(VK_ESCAPE);
    list->OptionsBehavior()->SetExpandOnIncSearch(true);
    Type("bl");
    EXPECT_EQ(list->FocusedNode(), d0);
    EXPECT_TRUE(n1->Expanded());
    EXPECT_EQ(Text(), "bl");
    Key(VK_ESCAPE);
    Type("z");
    EXPECT_FALSE(list->GetSearching()) << "a miss on the first character ends the search";
    EXPECT_EQ(list->FocusedNode(), d0);
    EXPECT_FALSE(list->Controller()->IsEditing());
}

TEST_F(IncSearchTest, ACharacterOfTwoBytesIsSearchedOnce)
{
    MakeFruit();
    c1->SetText(0, "\xC3\xA9" "clair");
    int searches = 0;
    list->OnFocusedNodeChanged =
        TcxTreeListFocusedChangedEvent::FromFunction([&](TObject*, TcxTreeListNode*, TcxTreeListNode*) { ++searches; });
    Char(0xC3);
    EXPECT_FALSE(list->GetSearching()) << "half a character is no search";
    EXPECT_EQ(list->FocusedNode(), n0);
    Char(0xA9);
    EXPECT_EQ(list->FocusedNode(), c1);
    EXPECT_EQ(Text(), "\xC3\xA9");
    EXPECT_EQ(searches, 1);
    Key(VK_BACK);
    EXPECT_FALSE(list->GetSearching()) << "Backspace takes the whole character";
}

TEST_F(IncSearchTest, EscapeWithoutASearchCancelsTheRowsEdit)
{
    MakeFruit();
    list->DataController()->Edit();
    ASSERT_TRUE(list->DataController()->GetEditState().Contains(dceEdit));
    Key(VK_ESCAPE);
    EXPECT_FALSE(list->DataController()->GetEditState().Contains(dceEdit));
}


TEST_F(ControllerTest, AFocusedListCanBeFreedWithItsEditorOpen)
{
    for (const bool editing : {false, true}) {
        SCOPED_TRACE(editing ? "editor open" : "no editor");
        MakeT();
        list->OptionsBehavior()->SetImmediateEditor(editing);
        Click(50, 25);
        ASSERT_TRUE(list->Focused() || list->Controller()->IsEditing());
        ASSERT_EQ(list->Controller()->IsEditing(), editing);
        list->Free();
        list = nullptr;
        Pump();
        EXPECT_FALSE(form->ActiveControl()) << "the focus went with it";
    }
}

// A composed character arrives as WM_CHAR alone, without a key of its own.
TEST_F(IncSearchTest, HomeAndEndLeaveTheNextCharacterAlone)
{
    MakeFruit();
    for (const int vk : {VK_HOME, VK_END}) {
        Key(VK_ESCAPE);
        Key(vk);
        Char('b');
        EXPECT_EQ(list->FocusedNode(), c1) << vk;
        EXPECT_EQ(Text(), "b") << vk;
        c1->SetFocused(false);
        n0->SetFocused(true);
    }
    Key(VK_ESCAPE);
    Key(VK_ADD);
    EXPECT_FALSE(list->GetSearching()) << "numpad + expands; its character is swallowed";
}


// ---- editing from the keyboard, a pressed header, columns brought into view --------------

class KeyEditingTest : public ControllerTest {
protected:
    // Fixture T with editing and no editor on a click.
    void MakeEditable()
    {
        MakeT();
        list->OptionsBehavior()->SetImmediateEditor(false);
        Click(50, 25);
        ASSERT_FALSE(list->Controller()->IsEditing());
    }
    TTestEdit* Edit() const { return As<TTestEdit>(list->Controller()->EditingController()->Edit()); }
};

TEST_F(KeyEditingTest, F2EnterAndATypedCharacterOpenTheEditor)
{
    MakeEditable();
    struct Case {
        const char* what;
        std::function<void()> open;
        std::string text;
    };
    const Case cases[] = {
        {"F2", [this] { Key(VK_F2); }, "N0"},
        {"Enter", [this] { Key(VK_RETURN); }, "N0"},
        {"a character", [this] { Type("x"); }, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.open();
        ASSERT_TRUE(list->Controller()->IsEditing());
        ASSERT_NE(Edit(), nullptr);
        EXPECT_EQ(list->Controller()->EditingItem(), a);
        EXPECT_EQ(Edit()->text, c.text);
        EXPECT_TRUE(Edit()->Focused());
        Key(VK_ESCAPE);
        EXPECT_FALSE(list->Controller()->IsEditing());
        EXPECT_EQ(n0->GetText(0), "N0") << "Escape discards";
        EXPECT_TRUE(list->Focused());
    }
    KeyWith(VK_SHIFT, VK_F2);
    EXPECT_FALSE(list->Controller()->IsEditing()) << "only a plain F2";
}

TEST_F(KeyEditingTest, EnterWithGoToNextCellPostsMovesAndReopens)
{
    MakeEditable();
    list->OptionsBehavior()->SetGoToNextCellOnEnter(true);
    Key(VK_F2);
    Type("zz");
    Key(VK_RETURN);
    EXPECT_EQ(n0->GetText(0), "zz") << "posted";
    EXPECT_EQ(list->FocusedNode(), n0);
    EXPECT_EQ(list->FocusedColumn(), b);
    ASSERT_TRUE(list->Controller()->IsEditing()) << "reopened on the next cell";
    EXPECT_EQ(list->Controller()->EditingItem(), b);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "n0");
    Key(VK_ESCAPE);
    list->OptionsBehavior()->SetGoToNextCellOnEnter(false);
    Key(VK_RETURN);
    Key(VK_RETURN);
    EXPECT_EQ(list->FocusedColumn(), b) << "without the option Enter stays on the cell";
    EXPECT_FALSE(list->Controller()->IsEditing());
}

TEST_F(ControllerTest, APressedHeaderLooksPressedUntilTheButtonGoesUp)
{
    MakeList();
    const auto header = [this] {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < 19; ++y)
            for (int x = 0; x < 100; ++x) pixels.push_back(Screen().ClientPixel(list->Handle(), x, y));
        return pixels;
    };
    const std::vector<std::uint32_t> raised = header();
    Screen().ButtonDown(At(list, 50, 5));
    Pump();
    EXPECT_NE(HitTest()->PressedHeader(), nullptr);
    EXPECT_NE(header(), raised) << "pressed while the button is held";
    Screen().ButtonUp(At(list, 50, 5));
    Pump();
    EXPECT_EQ(HitTest()->PressedHeader(), nullptr);
    list->Repaint();
    Pump();
    // The release sorted A: the mark is drawn, the rest is the raised look.
    int differing = 0;
    const std::vector<std::uint32_t> after = header();
    for (std::size_t i = 0; i < after.size(); ++i) differing += after[i] != raised[i];
    EXPECT_LT(differing, 12 * 12) << "no more than the sort mark differs";
}

TEST_F(ControllerTest, AColumnBroughtIntoViewOnAListScrolledRight)
{
    MakeList();
    TcxTreeListColumn* c = AddColumn("C", 60);
    list->SetBounds(0, 0, 120, 200);
    Pump();
    TcxTreeListViewInfo* layout = ViewInfo();
    ASSERT_EQ(layout->ContentWidth, 240);
    ASSERT_EQ(layout->ViewportWidth, 120);
    const int increment = list->OptionsView()->HorzIncrement();
    struct Case {
        const char* what;
        int from;
        TcxTreeListColumn* column;
        int to;
    };
    const Case cases[] = {
        {"the left-most column goes to the start", 120, a, 0},
        {"cut on the left: its left edge at the area's", 120, b, 100 - increment},
        {"cut on the right: its right edge at the area's", 0, b, 60},
        {"wholly in view: stays", 60, b, 60},
        {"the last column", 0, c, 120},
    };
    for (const Case& k : cases) {
        layout->DoScrollHorizontal(k.from);
        Pump();
        ASSERT_EQ(layout->HorzScrollPos, k.from) << k.what;
        k.column->MakeVisible();
        Pump();
        EXPECT_EQ(layout->HorzScrollPos, k.to) << k.what;
    }
    AddBand(c, tlbfRight);
    Pump();
    layout->DoScrollHorizontal(0);
    const int position = layout->HorzScrollPos;
    c->MakeVisible();
    EXPECT_EQ(layout->HorzScrollPos, position) << "a fixed band's column is always in view";
}

// Only what the list invalidates is painted again: the selection colours
// must follow the focus with no repaint forced, also right after a layout.
TEST_F(ControllerTest, TheFocusedCellsSelectionColoursMoveWithDown)
{
    MakeList();
    Click(50, 25);
    const std::uint32_t selection = ColorToRGB(ViewInfo()->SelectionParams().Color);
    const auto rgb = [](COLORREF c) {
        return static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    };
    // Inside B's cell of the row at a visible index, away from its text:
    // with the focus on A, the rest of the row shows the selection.
    const auto cell = [this](int row) { return Screen().ClientPixel(list->Handle(), 177, 19 + 18 * row + 9); };
    ASSERT_EQ(cell(0), rgb(selection));
    const std::uint32_t plain = cell(1);
    ASSERT_NE(plain, rgb(selection));
    struct Case {
        const char* what;
        std::function<void()> before;
    };
    const Case cases[] = {
        {"plain", [] {}},
        {"after a layout", [this] { b->SetWidth(b->Width() + 1); }},
        {"inside an update", [this] {
             list->BeginUpdate();
             list->EndUpdate();
         }},
    };
    int row = 0;
    for (const Case& c : cases) {
        c.before();
        Pump();
        Key(VK_DOWN);
        ++row;
        EXPECT_EQ(cell(row), rgb(selection)) << c.what << ": the newly focused cell";
        EXPECT_EQ(cell(row - 1), plain) << c.what << ": the cell left behind";
    }
}

// A tree list that can hold its focused record where it is.
class THoldingTreeList : public TcxTreeList {
public:
    static TClass StaticClass() { return DefineClass<THoldingTreeList, TcxTreeList>("THoldingTreeList"); }
    TClass ClassType() const override { return StaticClass(); }
    bool SkipFocusedRecordChanged() override { return hold; }
    bool hold = false;
};

TEST_F(ControllerTest, ADescendantSkippingFocusChangesKeepsTheFocusedRow)
{
    listClass = THoldingTreeList::StaticClass();
    MakeList();
    auto* holding = static_cast<THoldingTreeList*>(list);
    Click(50, 25);
    ASSERT_EQ(list->FocusedNode(), n0);
    holding->hold = true;
    Key(VK_DOWN);
    Click(50, 80);
    n1->SetFocused(true);
    EXPECT_EQ(list->FocusedNode(), n0) << "keys, clicks and code leave the focus";
    holding->hold = false;
    Key(VK_DOWN);
    EXPECT_EQ(list->FocusedNode(), c0);
}

} // namespace
