// The combo box on the headless display, as the configurator's process and
// rule lists use it in place: keys, typing and the mouse over the list,
// what each posts, the list's size from its rows and the screen room,
// double-click stepping, the owner-drawn face, and what the screen shows.
#include "tests/components/editors/editor_form_fixture.h"

#include <string>
#include <vector>

#include "components/editors/cxComboBox.h"
#include "components/editors/cxEditInplaceList.h"
#include "components/foundation/cxContainerPopup.h"

using namespace hostlib;
using namespace visualtest;

namespace {

const std::vector<std::string> kPriorities{"Low", "Below Normal", "Normal", "Above Normal", "High", "Realtime"};
const std::vector<std::string> kRules{"",
                                      "Ignore",
                                      "Force Low",
                                      "Force High",
                                      "Force Normal",
                                      "Force Below Normal",
                                      "Force Above Normal",
                                      "Force Realtime",
                                      "Force Kill"};

// Plays the list control's editing controller around one combo cell.
struct ComboCell {
    ObjectPtr<TcxInplaceEditList> list = MakeObject<TcxInplaceEditList>();
    ObjectPtr<TcxComboBoxProperties> column = MakeObject<TcxComboBoxProperties>(nullptr);
    TcxComboBox* edit = nullptr;
    TcxCustomEditData* data = nullptr;
    std::vector<WORD> afterKeys;
    std::vector<std::string> posted;

    ComboCell(const std::vector<std::string>& items)
    {
        for (const std::string& item : items)
            column->Items()->Add(item);
        column->SetDropDownListStyle(lsFixedList);
        column->SetImmediatePost(true);
    }
    ~ComboCell() { delete data; }
    TcxComboBox* Place(TWinControl* parent, const RECT& cell, const std::string& value)
    {
        edit = static_cast<TcxComboBox*>(list->GetEdit(column.get()));
        edit->SetParent(parent);
        edit->SetBoundsRect(cell);
        edit->OnAfterKeyDown =
            TcxEditKeyEvent::FromFunction([this](TObject*, WORD& key, TShiftState) { afterKeys.push_back(key); });
        edit->OnPostEditValue =
            TNotifyEvent::FromFunction([this](TObject*) { posted.push_back(VarToStr(edit->EditValue())); });
        edit->SetEditValue(Variant(value));
        edit->Activate(data);
        return edit;
    }
    std::string Value() const { return VarToStr(edit->EditValue()); }
    TcxComboBoxListBox* List() const { return edit->ComboLookupData()->ComboList(); }
};

struct ComboBoxTest : editortest::EditorFormTest {
    void SetUp() override
    {
        EditorFormTest::SetUp();
        cxContainerPopupInitialize();
        cxDropDownEditInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 700});
    }
    void TearDown() override
    {
        Screen().SetWorkArea(RECT{});
        EditorFormTest::TearDown();
        cxDropDownEditFinalize();
        cxContainerPopupFinalize();
    }
    // The configurator's priority column.
    TcxComboBox* Priority(ComboCell& cell, const std::string& value = "Normal")
    {
        cell.column->SetImmediateUpdateText(true);
        cell.column->SetPostPopupValueOnTab(true);
        TcxComboBox* edit = cell.Place(form, RECT{20, 40, 180, 62}, value);
        Pump();
        return edit;
    }
    // The configurator's rule column.
    TcxComboBox* Rule(ComboCell& cell, const std::string& value = "Ignore")
    {
        cell.column->SetDropDownRows(12);
        TcxComboBox* edit = cell.Place(form, RECT{20, 40, 220, 62}, value);
        Pump();
        return edit;
    }
    void Press(WORD key, WORD modifier = 0)
    {
        if (modifier)
            KeyWith(modifier, key);
        else
            Key(key);
        Pump();
    }
    void Type(const std::string& text)
    {
        Screen().TypeText(text);
        Pump();
    }
    POINT RowCentre(ComboCell& cell, int row)
    {
        TcxComboBoxListBox* list = cell.List();
        const int h = list->GetItemHeight(row);
        return list->ClientToScreen(POINT{list->Width() / 2, h * row + h / 2});
    }
};

TEST_F(ComboBoxTest, PriorityCellKeysPostAtOnce)
{
    {
        ComboCell cell(kPriorities);
        Priority(cell);
        Press(VK_DOWN, VK_MENU);
        EXPECT_TRUE(cell.edit->DroppedDown());
        Press(VK_DOWN);
        EXPECT_TRUE(cell.edit->DroppedDown());
        EXPECT_EQ(cell.Value(), "Above Normal");
        EXPECT_EQ(cell.posted, std::vector<std::string>{"Above Normal"});
    }
    {
        ComboCell cell(kPriorities);
        Priority(cell);
        Press(VK_DOWN, VK_MENU);
        Press(VK_DOWN);
        cell.posted.clear();
        Press(VK_TAB);
        EXPECT_FALSE(cell.edit->DroppedDown());
        EXPECT_EQ(cell.Value(), "Above Normal");
        EXPECT_EQ(cell.afterKeys, std::vector<WORD>{VK_TAB});
    }
    {
        ComboCell cell(kPriorities);
        Priority(cell);
        Type("H");
        EXPECT_TRUE(cell.edit->DroppedDown()) << "typing opens the list";
        EXPECT_EQ(cell.Value(), "High");
        EXPECT_EQ(cell.posted, std::vector<std::string>{"High"});
    }
    {
        ComboCell cell(kPriorities);
        Priority(cell);
        Type("Z");
        EXPECT_TRUE(cell.edit->DroppedDown());
        EXPECT_EQ(cell.Value(), "Normal");
        EXPECT_TRUE(cell.posted.empty());
    }
    {
        ComboCell cell(kPriorities);
        Priority(cell);
        Press(VK_UP);
        Press(VK_DOWN);
        EXPECT_FALSE(cell.edit->DroppedDown());
        EXPECT_EQ(cell.afterKeys, (std::vector<WORD>{VK_UP, VK_DOWN})) << "closed, the list control moves rows";
        EXPECT_EQ(cell.Value(), "Normal");
    }
}

TEST_F(ComboBoxTest, RuleCellAcceptsOnlyOnEnter)
{
    {
        ComboCell cell(kRules);
        Rule(cell);
        Press(VK_F4);
        Press(VK_DOWN);
        Press(VK_ESCAPE);
        EXPECT_FALSE(cell.edit->DroppedDown());
        EXPECT_EQ(cell.Value(), "Ignore");
        EXPECT_TRUE(cell.posted.empty());
    }
    {
        ComboCell cell(kRules);
        Rule(cell);
        Press(VK_F4);
        Press(VK_DOWN);
        Press(VK_RETURN);
        EXPECT_FALSE(cell.edit->DroppedDown());
        EXPECT_EQ(cell.Value(), "Force Low");
        EXPECT_EQ(cell.posted, std::vector<std::string>{"Force Low"});
    }
}

TEST_F(ComboBoxTest, RuleListShowsEveryRowAndAReleaseOverARowChoosesIt)
{
    ComboCell cell(kRules);
    Rule(cell);
    Press(VK_F4);
    ASSERT_TRUE(cell.edit->DroppedDown());
    TcxComboBoxListBox* list = cell.List();
    const int row = list->GetItemHeight(0);
    EXPECT_EQ(list->Height(), 9 * row) << "nine rows, fewer than the twelve allowed";
    EXPECT_EQ(list->Width(), list->ClientWidth()) << "no scroll bar";

    const POINT third = RowCentre(cell, 3);
    Screen().MoveMouse(third);
    Screen().ButtonDown(third);
    Screen().ButtonUp(third);
    Pump();
    EXPECT_FALSE(cell.edit->DroppedDown());
    EXPECT_EQ(cell.Value(), "Force High");
    EXPECT_EQ(cell.posted, std::vector<std::string>{"Force High"});
}

TEST_F(ComboBoxTest, AReleaseBelowTheLastRowChoosesNothing)
{
    ComboCell cell(kPriorities);
    cell.column->SetDropDownSizeable(true);
    cell.column->SetPopupHeight(400);
    cell.column->SetDropDownAutoWidth(true);
    Priority(cell);
    Press(VK_F4);
    ASSERT_TRUE(cell.edit->DroppedDown());
    TcxComboBoxListBox* list = cell.List();
    const int rows = static_cast<int>(kPriorities.size()) * list->GetItemHeight(0);
    ASSERT_GT(list->Height(), rows + 4) << "room below the last row";
    const POINT below = list->ClientToScreen(POINT{list->Width() / 2, rows + 2});
    Screen().MoveMouse(below);
    Screen().ButtonDown(below);
    Screen().ButtonUp(below);
    Pump();
    EXPECT_TRUE(cell.edit->DroppedDown());
    EXPECT_EQ(cell.Value(), "Normal");
}

TEST_F(ComboBoxTest, TheListFollowsTheItemsAndTheRoom)
{
    struct Case {
        int Items;
        int Rows;
        bool Bar;
    };
    for (const Case& c : {Case{3, 3, false}, Case{9, 8, true}}) {
        std::vector<std::string> items;
        for (int i = 0; i < c.Items; ++i)
            items.push_back("Item " + std::to_string(i));
        ComboCell cell(items);
        cell.column->SetDropDownListStyle(lsEditList);
        cell.Place(form, RECT{20, 40, 180, 62}, "");
        Pump();
        Press(VK_F4);
        ASSERT_TRUE(cell.edit->DroppedDown());
        TcxComboBoxListBox* list = cell.List();
        EXPECT_EQ(list->Height(), c.Rows * list->GetItemHeight(0)) << c.Items;
        const SIZE preferred = cell.edit->ComboLookupData()->GetVisualAreaPreferredSize(1000, 0);
        int widest = 0;
        for (int i = 0; i < c.Items; ++i)
            widest = std::max(widest, list->GetItemWidth(i));
        EXPECT_EQ(preferred.cx, widest + 4 + (c.Bar ? GetSystemMetrics(SM_CXVSCROLL) : 0)) << c.Items;
        Press(VK_F4);
    }

    std::vector<std::string> many;
    for (int i = 0; i < 40; ++i)
        many.push_back("Row " + std::to_string(i));
    ComboCell cell(many);
    cell.column->SetDropDownRows(40);
    cell.Place(form, RECT{20, 40, 180, 62}, "");
    Pump();
    const RECT room{0, 0, 1000, cell.edit->ClientToScreen(POINT{0, 0}).y + 22 + 10 * 16};
    Screen().SetWorkArea(room);
    Press(VK_F4);
    ASSERT_TRUE(cell.edit->DroppedDown());
    TcxCustomEditPopupWindow* popup = cell.edit->PopupWindow();
    EXPECT_LE(popup->Top() + popup->Height(), room.bottom) << "cut to the work area";
    Press(VK_END);
    EXPECT_EQ(cell.List()->ItemIndex(), 39);
    EXPECT_GT(cell.List()->TopIndex(), 0) << "the last row scrolled into view";
}

TEST_F(ComboBoxTest, NoItemsNeverOpen)
{
    ComboCell cell({});
    cell.Place(form, RECT{20, 40, 180, 62}, "");
    Pump();
    Press(VK_F4);
    Press(VK_DOWN, VK_MENU);
    EXPECT_FALSE(cell.edit->DroppedDown());
}

TEST_F(ComboBoxTest, DropDownRowsBelowOneAreIgnored)
{
    ComboCell cell(kPriorities);
    int changes = 0;
    cell.column->ChangeNotification = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    cell.column->SetDropDownRows(0);
    cell.column->SetDropDownRows(-1);
    EXPECT_EQ(cell.column->DropDownRows(), 8);
    EXPECT_EQ(changes, 0);
}

TEST_F(ComboBoxTest, ARevertableComboStepsOnDoubleClickOnlyWhileClosed)
{
    ComboCell cell(kPriorities);
    cell.column->SetRevertable(true);
    cell.column->SetDropDownListStyle(lsEditList);
    auto* edit = cell.Place(form, RECT{20, 40, 180, 62}, "Realtime");
    Pump();
    const POINT p = edit->ClientToScreen(POINT{20, 10});
    Screen().DoubleClick(p);
    Pump();
    EXPECT_EQ(cell.Value(), "Low") << "from the last item to the first";
    EXPECT_EQ(cell.posted, std::vector<std::string>{"Low"});
    Press(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    SendMessageA(edit->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 10));
    Pump();
    EXPECT_EQ(cell.Value(), "Low");
}

TEST_F(ComboBoxTest, OpenPriorityListShowsItsRowsUnderTheEditorWithTheHighlight)
{
    ComboCell cell(kPriorities);
    cell.column->SetItemHeight(16);
    TcxComboBox* edit = Priority(cell);
    Press(VK_F4);
    ASSERT_TRUE(edit->DroppedDown());
    TcxComboBoxListBox* list = cell.List();
    const RECT editor{edit->ClientToScreen(POINT{0, 0}).x, edit->ClientToScreen(POINT{0, 0}).y, 0, 0};
    const POINT origin = list->ClientToScreen(POINT{0, 0});
    EXPECT_GE(origin.y, editor.top + edit->Height()) << "the list is under the editor";
    EXPECT_EQ(list->GetItemHeight(0), 16);
    const std::uint32_t highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT));
    // Normal, the third row, is highlighted across the whole width.
    for (int x : {1, list->Width() / 2, list->Width() - 2})
        EXPECT_EQ(Screen().ScreenPixel(origin.x + x, origin.y + 2 * 16 + 1), highlight) << x;
    EXPECT_NE(Screen().ScreenPixel(origin.x + 1, origin.y + 16 + 1), highlight) << "the row above is not";
}

TEST_F(ComboBoxTest, AFocusedFixedListComboShowsItsSelectionBarAndACentredArrow)
{
    auto* edit = Add<TcxComboBox>(form, "Combo", 20, 100, 160, 22);
    edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
    edit->Style()->LookAndFeel()->SetKind(lfStandard);
    for (const std::string& item : kPriorities)
        edit->Properties()->Items()->Add(item);
    edit->Properties()->SetDropDownListStyle(lsFixedList);
    edit->SetEditValue(Variant(std::string("Normal")));
    edit->SetFocus();
    Pump();
    const std::uint32_t highlight = Rgb(GetSysColor(COLOR_HIGHLIGHT));
    const RECT client = edit->ViewInfo()->ClientRect;
    int bar = 0;
    for (int x = client.left; x < client.right; ++x)
        bar += Screen().ClientPixel(edit->Handle(), x, (client.top + client.bottom) / 2) == highlight;
    EXPECT_GT(bar, 20) << "the text sits on the selection bar";

    const RECT button = edit->ViewInfo()->ButtonsInfo[0]->Bounds;
    const std::uint32_t ink = Rgb(GetSysColor(COLOR_BTNTEXT));
    RECT arrow{button.right, button.bottom, button.left, button.top};
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left; x < button.right; ++x)
            if (Screen().ClientPixel(edit->Handle(), x, y) == ink) {
                arrow.left = std::min(arrow.left, static_cast<LONG>(x));
                arrow.right = std::max(arrow.right, static_cast<LONG>(x + 1));
                arrow.top = std::min(arrow.top, static_cast<LONG>(y));
                arrow.bottom = std::max(arrow.bottom, static_cast<LONG>(y + 1));
            }
    ASSERT_LT(arrow.left, arrow.right) << "an arrow is drawn";
    EXPECT_LE(std::abs((arrow.left + arrow.right) - (button.left + button.right)), 2);
    EXPECT_LE(std::abs((arrow.top + arrow.bottom) - (button.top + button.bottom)), 2);
}

// Freeing a focused editor moves the focus away, and leaving ends the
// search state; by then its properties are gone.
TEST_F(ComboBoxTest, AFocusedComboFreedInTheMiddleOfASearchLeavesQuietly)
{
    for (TcxEditDropDownListStyle style : {lsFixedList, lsEditList}) {
        SCOPED_TRACE(style);
        auto* edit = Add<TcxComboBox>(form, "Combo", 20, 100, 160, 22);
        for (const std::string& item : kPriorities)
            edit->Properties()->Items()->Add(item);
        edit->Properties()->SetDropDownListStyle(style);
        edit->SetFocus();
        Pump();
        Type("Hi");
        ASSERT_TRUE(edit->FindSelection());
        ASSERT_TRUE(edit->Focused());
        edit->Free();
        Pump();
        EXPECT_EQ(form->FindComponent("Combo"), nullptr);
    }
}

TEST_F(ComboBoxTest, TheFaceIsOwnerDrawnOnlyInTheFixedListStyleWithAnItem)
{
    auto* edit = Add<TcxComboBox>(form, "Combo", 20, 100, 160, 22);
    Add<TcxComboBox>(form, "Other", 20, 150, 160, 22);
    for (const std::string& item : kPriorities)
        edit->Properties()->Items()->Add(item);
    std::vector<std::pair<int, bool>> draws;
    edit->Properties()->OnDrawItem = TcxEditDrawItemEvent::FromFunction(
        [&](TcxCustomComboBox*, TcxCanvas*, int index, const RECT&, TOwnerDrawState state) {
            draws.emplace_back(index, state.Contains(odFocused) && state.Contains(odSelected));
        });
    edit->SetEditValue(Variant(std::string("High")));
    Pump();
    EXPECT_TRUE(draws.empty()) << "only the fixed-list style draws its face";
    edit->Properties()->SetDropDownListStyle(lsFixedList);
    edit->Invalidate();
    Pump();
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws.back(), std::make_pair(4, false)) << "unfocused: neither selected nor focused";
    edit->SetFocus();
    Pump();
    EXPECT_EQ(draws.back(), std::make_pair(4, true));
    draws.clear();
    edit->SetEditValue(Variant());
    edit->Invalidate();
    Pump();
    EXPECT_TRUE(draws.empty()) << "no item, no owner drawing";
}

}  // namespace
