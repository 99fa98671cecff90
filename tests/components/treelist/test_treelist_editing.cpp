// Editing cells of the tree list on the headless display: where a column's
// cell of a node is, the editor shown over it, posting and discarding its
// value, the keys it hands on, the delayed show after a click, the editor
// following scrolling, and a combo-box cell posting at once.
#include "tests/components/treelist/tree_list_layout_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "components/editors/cxComboBox.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

constexpr int kOutOfSight = 1073741823;
constexpr TColor kEditColor = 0x00FF00; // lime: no cell or header uses it

// Records the keys the editor hands to the list.
class TRecordingController : public TcxTreeListController {
public:
    static TClass StaticClass()
    {
        return DefineClass<TRecordingController, TcxTreeListController>("TRecordingController");
    }
    TClass ClassType() const override { return StaticClass(); }
    void KeyDown(WORD& key, TShiftState shift) override
    {
        keys.push_back(key);
        TcxTreeListController::KeyDown(key, shift);
    }
    static inline std::vector<WORD> keys;
};

class TRecordingTreeList : public TcxTreeList {
public:
    static TClass StaticClass() { return DefineClass<TRecordingTreeList, TcxTreeList>("TRecordingTreeList"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetControllerClass() override { return TRecordingController::StaticClass(); }
};

class EditingTest : public TreeListLayoutTest {
protected:
    void TearDown() override
    {
        if (list) {
            list->OnEditing = {};
            list->OnEdited = {};
            list->OnInitEdit = {};
        }
        TTestTextProperties::rejected.clear();
        TRecordingController::keys.clear();
        TreeListLayoutTest::TearDown();
    }
    TcxTreeListController* Controller() const { return static_cast<TcxTreeListController*>(list->Controller()); }
    TcxEditingController* Editing() const { return list->Controller()->EditingController(); }
    TcxCustomEdit* Edit() const { return Editing()->Edit(); }
    // Fixture T, focused, with the editors painted lime; no editor yet.
    void Prepare()
    {
        MakeT();
        list->OptionsBehavior()->SetImmediateEditor(false);
        list->OnInitEdit = TcxecInitEditEvent::FromFunction(
            [](TObject*, TObject*, TcxCustomEdit* edit) { edit->Style()->SetColor(kEditColor); });
        list->SetFocus();
        Pump();
    }
    void Focus(TcxTreeListNode* node, TcxTreeListColumn* column)
    {
        list->SetFocusedNode(node);
        list->SetFocusedColumn(column);
        Pump();
    }
    // Rows take their positions lazily, before a paint or an editor shows.
    void Place()
    {
        Pump();
        Controller()->BeforeShowEdit();
    }
    TcxTreeListEditCellViewInfo* Cell(TcxTreeListNode* node, TcxTreeListColumn* column)
    {
        return Controller()->GetCellFromViewInfoEx(column, node);
    }
    std::string Value(TcxTreeListNode* node, TcxTreeListColumn* column) const
    {
        return VarToStr(node->GetValue(column->ItemIndex()));
    }
    std::uint32_t Pixel(int x, int y) { return Screen().ClientPixel(list->Handle(), x, y); }
    bool Lime(int x, int y) { return Pixel(x, y) == static_cast<std::uint32_t>(kEditColor); }
    // Lime pixels along the middle of each row of the node area.
    int LimeInRows()
    {
        int n = 0;
        for (int y = 28; y < 200; y += 18)
            for (int x = 0; x < 300; ++x) n += Lime(x, y);
        return n;
    }
    static POINT Middle(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // The editor stands exactly on the cell's edit rectangle.
    void ExpectOver(TcxTreeListNode* node, TcxTreeListColumn* column)
    {
        TcxTreeListEditCellViewInfo* cell = Cell(node, column);
        ASSERT_NE(cell, nullptr);
        ASSERT_NE(Edit(), nullptr);
        const RECT r = cell->EditRect;
        EXPECT_FALSE(IsRectEmpty(&r));
        EXPECT_EQ(Edit()->Left(), r.left);
        EXPECT_EQ(Edit()->Top(), r.top);
        EXPECT_EQ(Edit()->Width(), r.right - r.left);
        EXPECT_EQ(Edit()->Height(), r.bottom - r.top);
        EXPECT_TRUE(Edit()->Visible());
        const POINT m = Middle(r);
        EXPECT_TRUE(Lime(m.x, m.y)) << "the editor shows on the cell at " << m.x << "," << m.y;
    }
};

// ---- cell look-up ------------------------------------------------------------------------

TEST_F(EditingTest, ACellIsFoundByColumnAndNodeOnlyWhileItsRowIsInView)
{
    MakeT();
    struct Case {
        const char* what;
        TcxTreeListColumn* column;
        TcxTreeListNode* node;
        RECT rect; // left < 0: no cell
    };
    const Case cases[] = {
        {"A of N0", a, n0, {15, 19, 100, 37}},
        {"A of C0", a, c0, {30, 37, 100, 55}},
        {"B of C1", b, c1, {100, 55, 180, 73}},
        {"a child of a collapsed node", a, d0, {-1, 0, 0, 0}},
        {"no column", nullptr, n0, {-1, 0, 0, 0}},
        {"no node", a, nullptr, {-1, 0, 0, 0}},
    };
    Place();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TcxTreeListEditCellViewInfo* cell = Cell(c.node, c.column);
        if (c.rect.left < 0) {
            EXPECT_EQ(cell, nullptr);
            continue;
        }
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->GetNode(), c.node);
        EXPECT_EQ(cell->GetColumn(), c.column);
        EXPECT_EQ(cell->DisplayRect.left, c.rect.left);
        EXPECT_EQ(cell->DisplayRect.top, c.rect.top);
        EXPECT_EQ(cell->DisplayRect.right, c.rect.right);
        EXPECT_EQ(cell->DisplayRect.bottom, c.rect.bottom);
    }

    list->SetBounds(0, 0, 300, 19 + 36); // two rows
    list->SetTopVisibleIndex(2);
    Place();
    EXPECT_EQ(Cell(n0, a), nullptr) << "scrolled out of view";
    ASSERT_NE(Cell(c1, a), nullptr);
    EXPECT_EQ(Cell(c1, a)->DisplayRect.top, 19);

    b->SetVisible(false);
    Place();
    EXPECT_EQ(Cell(c1, b), nullptr) << "a hidden column has no cell";
}

TEST_F(EditingTest, TheFocusedCellIsTheFocusedNodesCellButNeverThePreview)
{
    Prepare();
    Focus(c0, a);
    EXPECT_EQ(Controller()->GetFocusedCellViewInfo(a), Cell(c0, a));
    EXPECT_EQ(Controller()->GetFocusedCellViewInfo(b), Cell(c0, b));
    EXPECT_EQ(Controller()->GetFocusedCellViewInfo(nullptr), nullptr);

    list->Preview()->SetColumn(b);
    list->Preview()->SetVisible(true);
    Pump();
    TcxTreeListNodeViewInfo* row = nullptr;
    ASSERT_TRUE(list->TreeListViewInfo()->NodesViewInfo()->FindNodeViewInfo(c0, row));
    ASSERT_TRUE(row->HasPreview);
    EXPECT_EQ(Controller()->GetCellFromViewInfo(b, row), row->Preview()) << "the preview column's cell is the preview";
    EXPECT_EQ(Controller()->GetFocusedCellViewInfo(b), nullptr) << "the preview is not edited";
    EXPECT_EQ(Controller()->GetFocusedCellViewInfo(a), Cell(c0, a));
}

// ---- showing, posting, discarding --------------------------------------------------------

TEST_F(EditingTest, TheEditorAppearsOnTheCellAndEnterPostsItsValue)
{
    Prepare();
    Focus(c0, a);
    std::vector<TObject*> edited;
    list->OnEdited = TcxecItemEvent::FromFunction([&edited](TObject*, TObject* item) { edited.push_back(item); });
    Editing()->ShowEdit(a);
    Pump();
    ExpectOver(c0, a);
    EXPECT_EQ(Edit()->Parent(), list);
    EXPECT_EQ(Editing()->EditingItem(), a);
    auto* edit = As<TTestEdit>(Edit());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text, "C0");
    EXPECT_TRUE(edit->allSelected) << "the value is selected so that typing replaces it";

    Screen().TypeText("zz");
    Pump();
    EXPECT_EQ(Value(c0, a), "C0") << "nothing reaches the node while editing";
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Value(c0, a), "zz");
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Editing()->EditingItem(), nullptr);
    EXPECT_FALSE(edit->Visible()) << "the editor stays cached, hidden";
    EXPECT_TRUE(list->Focused()) << "the focus is back on the list";
    EXPECT_EQ(edited, std::vector<TObject*>{a});
    EXPECT_EQ(LimeInRows(), 0);

    Editing()->ShowEdit(a);
    Pump();
    EXPECT_EQ(Edit(), edit) << "the same properties reuse their editor";
}

TEST_F(EditingTest, EscapeDiscardsAndOnlyAnUnmodifiedEscapeReachesTheForm)
{
    struct Case {
        const char* typed;
        bool reachesForm;
    };
    const Case cases[] = {{"", true}, {"q", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(*c.typed ? "modified" : "unmodified");
        Prepare();
        Focus(c0, a);
        auto* cancel = Add<visualtest::TTestButton>(form, "Cancel", 320, 250, 60, 20);
        cancel->isCancel = true;
        cancel->modalResult = mrCancel;
        form->SetModalResult(mrNone);
        Editing()->ShowEdit(a);
        Pump();
        ASSERT_NE(Edit(), nullptr);
        Screen().TypeText(c.typed);
        Pump();
        Key(VK_ESCAPE);
        Pump();
        EXPECT_EQ(Edit(), nullptr);
        EXPECT_EQ(Value(c0, a), "C0");
        EXPECT_EQ(form->ModalResult() == mrCancel, c.reachesForm);
        form->SetModalResult(mrNone);
    }
}

TEST_F(EditingTest, AnEditorIsRefusedByTheItemOrTheEditingEvent)
{
    struct Case {
        const char* what;
        std::function<void()> refuse;
    };
    const Case cases[] = {
        {"OnEditing",
         [this] {
             list->OnEditing = TcxecEditingEvent::FromFunction([](TObject*, TObject*, bool& allow) { allow = false; });
         }},
        {"column not editable", [this] { a->Options()->SetEditing(false); }},
        {"list not editable", [this] { list->OptionsData()->SetEditing(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Prepare();
        Focus(c0, a);
        c.refuse();
        Editing()->ShowEdit(a);
        Pump();
        EXPECT_EQ(Editing()->EditingItem(), nullptr);
        EXPECT_EQ(Edit(), nullptr);
        EXPECT_EQ(LimeInRows(), 0);
        list->OnEditing = {};
    }
}

TEST_F(EditingTest, ARefusedValueKeepsTheEditorOnItsCell)
{
    Prepare();
    Focus(c0, a);
    TTestTextProperties::rejected = "bad";
    Editing()->ShowEdit(a);
    Pump();
    Screen().TypeText("bad");
    Pump();
    Key(VK_RETURN);
    Pump();
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Editing()->EditingItem(), a);
    EXPECT_EQ(Value(c0, a), "C0");
    ExpectOver(c0, a);

    TTestTextProperties::rejected.clear();
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Value(c0, a), "bad");
}

TEST_F(EditingTest, ShowingIntoAnUnfocusedListDoesNothing)
{
    Prepare();
    Focus(c0, a);
    auto* other = Add<visualtest::TTestButton>(form, "Other", 320, 250, 60, 20);
    other->SetFocus();
    Pump();
    Editing()->ShowEdit(a);
    Pump();
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Editing()->EditingItem(), nullptr);
}

// ---- placement -----------------------------------------------------------------------------

TEST_F(EditingTest, TheEditorLeavesWithItsScrolledCellAndComesBackAtTheNextPaint)
{
    Prepare();
    list->SetBounds(0, 0, 300, 19 + 36); // two rows: N0 and C0
    Focus(c0, a);
    Editing()->ShowEdit(a);
    Pump();
    ExpectOver(c0, a);
    EXPECT_EQ(Cell(c0, a)->DisplayRect.top, 37);

    list->SetTopVisibleIndex(2);
    Pump();
    EXPECT_EQ(Cell(c0, a), nullptr);
    ASSERT_NE(Edit(), nullptr) << "scrolling does not end editing";
    EXPECT_EQ(Edit()->Left(), kOutOfSight);
    EXPECT_EQ(LimeInRows(), 0);

    list->SetTopVisibleIndex(1);
    EXPECT_TRUE(Editing()->EditUpdateNeeded()) << "placed at the next paint, not at once";
    Pump();
    EXPECT_FALSE(Editing()->EditUpdateNeeded());
    ExpectOver(c0, a);
    EXPECT_EQ(Cell(c0, a)->DisplayRect.top, 19);
}

// ---- keys handed on ----------------------------------------------------------------------

TEST_F(EditingTest, CtrlDeleteGoesToTheListAndDeleteStaysInTheEditor)
{
    listClass = TRecordingTreeList::StaticClass();
    struct Case {
        int modifier; // 0: none
        bool toList;
    };
    const Case cases[] = {{0, false}, {VK_CONTROL, true}, {VK_SHIFT, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modifier);
        Prepare();
        Focus(c0, a);
        Editing()->ShowEdit(a);
        Pump();
        ASSERT_NE(Edit(), nullptr);
        TRecordingController::keys.clear();
        if (c.modifier) KeyWith(c.modifier, VK_DELETE);
        else Key(VK_DELETE);
        Pump();
        const bool handed = std::count(TRecordingController::keys.begin(), TRecordingController::keys.end(),
                                       static_cast<WORD>(VK_DELETE)) > 0;
        EXPECT_EQ(handed, c.toList);
    }
}

TEST_F(EditingTest, AKeyTheListTakesIsHandedOnAfterTheEditorLeftItUnused)
{
    listClass = TRecordingTreeList::StaticClass();
    Prepare();
    Focus(c0, a);
    Editing()->ShowEdit(a);
    Pump();
    TRecordingController::keys.clear();
    Key(VK_NEXT);
    Pump();
    EXPECT_NE(std::find(TRecordingController::keys.begin(), TRecordingController::keys.end(),
                        static_cast<WORD>(VK_NEXT)),
              TRecordingController::keys.end());
}

// ---- delayed show ----------------------------------------------------------------------------

TEST_F(EditingTest, TheDelayedShowWaitsForTheDoubleClickTimeAndAStopCancelsIt)
{
    const std::uint64_t wait = static_cast<std::uint64_t>(GetDoubleClickTime());
    struct Case {
        bool stopHalfway;
    };
    for (const Case c : {Case{false}, Case{true}}) {
        SCOPED_TRACE(c.stopHalfway ? "stopped" : "waited");
        Prepare();
        Focus(c0, a);
        Editing()->StartEditShowingTimer(a);
        Advance(wait / 2);
        Pump();
        EXPECT_EQ(Edit(), nullptr);
        if (c.stopHalfway) Editing()->StopEditShowingTimer();
        Advance(wait / 2 - 1);
        Pump();
        EXPECT_EQ(Edit(), nullptr) << "not before the double-click time";
        Advance(1);
        Pump();
        EXPECT_EQ(Edit() != nullptr, !c.stopHalfway);
        EXPECT_FALSE(Editing()->EditShowingTimerActive());
        EXPECT_EQ(list->Controller()->WasEditingAtMouseDown(), !c.stopHalfway);
        if (Edit()) ExpectOver(c0, a);
    }
}

TEST_F(EditingTest, TheDelayedShowForACellScrolledOutOfViewOpensNoEditor)
{
    Prepare();
    list->SetBounds(0, 0, 300, 19 + 2 * 18);
    Focus(n0, a);
    Editing()->StartEditShowingTimer(a);
    list->SetTopVisibleIndex(2);
    Pump();
    ASSERT_EQ(Cell(n0, a), nullptr) << "the row is out of view";
    Advance(static_cast<std::uint64_t>(GetDoubleClickTime()));
    Pump();
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Editing()->EditingItem(), nullptr);
    EXPECT_EQ(LimeInRows(), 0);
    list->SetTopVisibleIndex(0);
    Editing()->ShowEdit(a);
    Pump();
    ExpectOver(n0, a);
}

// ---- repository items ----------------------------------------------------------------------

TEST_F(EditingTest, ARemovedRepositoryItemTakesItsEditorAlongWithoutPosting)
{
    Prepare();
    Focus(c0, a);
    ObjectPtr<TTestRepositoryItem> item(CreateObject<TTestRepositoryItem>(nullptr));
    a->SetRepositoryItem(item.get());
    Pump();
    Editing()->ShowEdit(a);
    Pump();
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Editing()->EditList()->Count(), 1);
    Screen().TypeText("lost");
    Pump();
    item.reset();
    Pump();
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Editing()->EditingItem(), nullptr);
    EXPECT_EQ(Editing()->EditList()->Count(), 0) << "the editor is freed with its properties";
    EXPECT_EQ(Value(c0, a), "C0");
    EXPECT_EQ(LimeInRows(), 0);
}

// ---- a combo-box cell ---------------------------------------------------------------------

TEST_F(EditingTest, AnImmediatePostComboPostsEachChoiceAtOnceAndKeepsItsOwnHandlers)
{
    Prepare();
    Focus(n0, b);
    b->SetPropertiesClass(TcxComboBoxProperties::StaticClass());
    auto* combo = As<TcxComboBoxProperties>(b->Properties());
    ASSERT_NE(combo, nullptr);
    combo->Items()->Add("Low");
    combo->Items()->Add("Normal");
    combo->Items()->Add("High");
    combo->SetDropDownListStyle(lsFixedList);
    combo->SetImmediatePost(true);
    int changes = 0;
    combo->OnChange = TNotifyEvent::FromFunction([&changes](TObject*) { ++changes; });
    n0->SetValue(b->ItemIndex(), Variant("Normal"));
    Pump();

    Editing()->ShowEdit(b);
    Pump();
    ExpectOver(n0, b);
    EXPECT_EQ(changes, 0) << "the editor taking the cell's value is no change";
    // In a cell the arrows move between rows; the choice is made in the
    // list that drops down.
    KeyWith(VK_MENU, VK_DOWN);
    Pump();
    ASSERT_TRUE(As<TcxCustomDropDownEdit>(Edit())->HasPopupWindow());
    Key(VK_DOWN);
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Value(n0, b), "High") << "posted without leaving the cell";
    ASSERT_NE(Edit(), nullptr);
    EXPECT_GE(changes, 1) << "the properties' own handler still runs";
    KeyWith(VK_MENU, VK_DOWN);
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Value(n0, b), "Low");
    Key(VK_ESCAPE);
    Pump();
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Value(n0, b), "Low") << "what was posted stays";
    const int seen = changes;
    combo->OnChange(combo);
    EXPECT_EQ(changes, seen + 1) << "the handler is the properties' own again";
}

} // namespace
