// The controllers of the small editing control on the headless display:
// the live editor's activation, validation and posting; the hint of a
// cell whose text is cut off; the picture that follows a drag; the cell
// navigator's moves; the design selection a design environment supplies.
#include "tests/components/treelist/treelist_fixture.h"

#include <functional>
#include <vector>

#include "platform/hostlib/core/exceptions.h"
#include "platform/windows/x11/layered.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

struct EditingTest : ControlTest {
    TTestControl* MakeFocusedControl(int itemCount, int recordCount)
    {
        MakeControl(itemCount, recordCount);
        control->OptionsBehavior()->SetImmediateEditor(false);
        control->SetFocus();
        Pump();
        control->Controller()->SetFocusedRecordItem(0, items[0].get());
        Pump();
        return control;
    }
    TcxEditingController* Editing() const { return control->Controller()->EditingController(); }
    TTestEdit* Edit() const { return static_cast<TTestEdit*>(Editing()->Edit()); }
    std::string Stored(int record, int item) const
    {
        return VarToStr(control->DataController()->GetValue(record, item));
    }
};

TEST_F(EditingTest, ATypedValueReachesTheDataWhenTheFocusLeavesTheItem)
{
    struct Case {
        const char* how;
        std::function<void(TcxCustomInplaceEditContainer*)> leave;
    };
    const Case cases[] = {
        {"unfocused", [](TcxCustomInplaceEditContainer* item) { item->SetFocused(false); }},
        {"focusing switched off", [](TcxCustomInplaceEditContainer* item) { item->Options()->SetFocusing(false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        MakeFocusedControl(2, 2);
        Screen().TypeText("xy");
        Pump();
        ASSERT_NE(Edit(), nullptr);
        EXPECT_EQ(Edit()->text, "xy");
        EXPECT_EQ(Stored(0, 0), "r0c0") << "nothing is stored while the editor is open";
        c.leave(items[0].get());
        Pump();
        EXPECT_EQ(Stored(0, 0), "xy");
        EXPECT_EQ(Editing()->EditingItem(), nullptr);
        EXPECT_EQ(control->Controller()->FocusedItem(), nullptr);
        EXPECT_EQ(Edit(), nullptr);
        items.clear();
        form->Free();
        form = nullptr;
    }
}

TEST_F(EditingTest, APlainShowKeepsTheValueAndAKeyReplacesIt)
{
    MakeFocusedControl(2, 2);
    items[0]->SetEditing(true);
    Pump();
    ASSERT_NE(Edit(), nullptr);
    EXPECT_EQ(Edit()->text, "r0c0");
    EXPECT_TRUE(Edit()->Visible());
    const RECT editRect = control->TestViewInfo()->Cell(0, 0)->EditRect;
    EXPECT_EQ(Edit()->Left(), editRect.left);
    EXPECT_EQ(Edit()->Top(), editRect.top);
    Key(VK_ESCAPE);
    EXPECT_EQ(Edit(), nullptr);

    Screen().TypeText("k");
    Pump();
    ASSERT_NE(Edit(), nullptr) << "a character typed on the focused cell opens its editor";
    EXPECT_EQ(Edit()->text, "k") << "the key reaches the editor and replaces the selected value";
    EXPECT_TRUE(Edit()->Focused());
    Key(VK_RETURN);
    EXPECT_EQ(Edit(), nullptr);
    EXPECT_EQ(Stored(0, 0), "k");
}

TEST_F(EditingTest, AMouseActivationPassesTheClickToTheEditor)
{
    MakeFocusedControl(2, 2);
    const RECT editRect = control->TestViewInfo()->Cell(0, 0)->EditRect;
    Editing()->ShowEdit(items[0].get(), TShiftState{ssLeft}, editRect.left + 7, editRect.top + 4);
    Pump();
    ASSERT_NE(Edit(), nullptr);
    ASSERT_EQ(Edit()->clicks.size(), 1u);
    EXPECT_EQ(Edit()->clicks[0].x, 7);
    EXPECT_EQ(Edit()->clicks[0].y, 4);
}

TEST_F(EditingTest, ARefusedValueKeepsTheEditorOpenWithItsText)
{
    MakeFocusedControl(2, 2);
    TTestTextProperties::rejected = "bad";
    Screen().TypeText("bad");
    Pump();
    ASSERT_NE(Edit(), nullptr);
    EXPECT_FALSE(control->Controller()->MayFocus()) << "a click may not take the focus from a refused value";

    EXPECT_THROW(Editing()->HideEdit(true), EAbort) << "refused without a message: silently";
    TTestTextProperties::rejectText = "not here";
    try {
        Editing()->HideEdit(true);
        ADD_FAILURE() << "a refused value with a message raises it";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "not here");
    }
    EXPECT_THROW(items[0]->SetFocused(false), Exception);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_TRUE(Edit()->Visible());
    EXPECT_EQ(Edit()->text, "bad");
    EXPECT_EQ(Editing()->EditingItem(), items[0].get());
    EXPECT_EQ(control->Controller()->FocusedItem(), items[0].get());
    EXPECT_EQ(Stored(0, 0), "r0c0");

    Editing()->HideEdit(false);
    EXPECT_EQ(Edit(), nullptr) << "discarding needs no valid value";
    EXPECT_EQ(Stored(0, 0), "r0c0");
    TTestTextProperties::rejected.clear();
    TTestTextProperties::rejectText.clear();
}

// ---- cell hints ------------------------------------------------------------------------

constexpr const char* kLongText = "a much longer text";

struct HintTest : ControlTest {
    void SetUp() override
    {
        ControlTest::SetUp();
        MakeControl(2, 3);
        control->OptionsBehavior()->SetCellHints(true);
        control->OptionsBehavior()->SetImmediateEditor(false);
        control->DataController()->SetValue(1, 0, Variant(kLongText));
        control->LayoutChanged();
        Pump();
    }
    TcxHotTrackController* Hot() const { return control->Controller()->HotTrackController(); }
    void Hover(int record, int item)
    {
        TTestCell* cell = control->TestViewInfo()->Cell(record, item);
        Screen().MoveMouse(At(control, cell->ClipRect.left + 10, cell->ClipRect.top + 5));
        Pump();
    }
    bool HintShown() const
    {
        HWND window = Hot()->HintWindow()->HandleAllocated() ? Hot()->HintWindow()->Handle() : nullptr;
        return Hot()->HintVisible() && window && IsWindowVisible(window);
    }
    COLORREF ScreenColor(int x, int y)
    {
        const std::uint32_t p = Screen().ScreenPixel(x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

TEST_F(HintTest, ACutOffTextShowsItsHintAtOnceJustAboveTheCellForFiveSeconds)
{
    Hover(0, 0);
    EXPECT_FALSE(HintShown()) << "a text that fits wants no hint";
    Hover(1, 0);
    ASSERT_TRUE(HintShown()) << "shown at once, without waiting";
    EXPECT_EQ(Hot()->Hint(), kLongText);

    TTestCell* cell = control->TestViewInfo()->Cell(1, 0);
    const POINT origin = control->ClientToScreen(POINT{cell->ViewInfo()->Bounds.left, cell->ViewInfo()->Bounds.top});
    const RECT r = Hot()->HintRect();
    EXPECT_EQ(r.left, origin.x - 1);
    EXPECT_EQ(r.top, origin.y - 1);
    EXPECT_GT(r.right - r.left, static_cast<LONG>(std::string(kLongText).size()) * kCharWidth)
        << "the whole text, wider than the cell";

    const COLORREF paper = ColorToRGB(Application->HintColor());
    EXPECT_EQ(ScreenColor(r.left + 1, r.bottom - 2), paper) << "the hint window lies over the control";
    int ink = 0;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x) ink += ScreenColor(x, y) != paper;
    EXPECT_GT(ink, 20) << "the text is drawn";

    Advance(TcxHotTrackController::kHideHintWait - 1);
    Pump();
    EXPECT_TRUE(HintShown());
    Advance(1);
    Pump();
    EXPECT_FALSE(HintShown()) << "gone after five seconds though the pointer stays";
    Hover(1, 0);
    EXPECT_FALSE(HintShown()) << "not again over the same cell";
    Hover(0, 1);
    Hover(1, 0);
    EXPECT_TRUE(HintShown()) << "again after the pointer came back";
    Hover(0, 0);
    EXPECT_FALSE(HintShown()) << "leaving the cell hides it";
}

TEST_F(HintTest, NoHintWhereItWouldBeInTheWay)
{
    struct Case {
        const char* when;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"cell hints off", [&] { control->OptionsBehavior()->SetCellHints(false); }},
        {"a button held", [&] { control->Controller()->SetMousePressed(true); }},
        {"the cell being edited", [&] {
             control->SetFocus();
             control->Controller()->SetFocusedRecordItem(1, items[0].get());
             items[0]->SetEditing(true);
             Pump();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.when);
        Hover(2, 1);
        c.arrange();
        Hover(1, 0);
        EXPECT_FALSE(HintShown());
        control->OptionsBehavior()->SetCellHints(true);
        control->Controller()->SetMousePressed(false);
        control->Controller()->EditingController()->HideEdit(false);
    }
    Hover(2, 1);
    Hover(1, 0);
    EXPECT_TRUE(HintShown()) << "each condition was undone";
}

// ---- drag image --------------------------------------------------------------------------

struct DragImageTest : ControlTest {
    COLORREF ScreenColor(POINT p)
    {
        const std::uint32_t c = Screen().ScreenPixel(p.x, p.y);
        return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    }
    // The screen shows the picture blended at its alpha over what lies below.
    static bool Blended(COLORREF shown, COLORREF picture, COLORREF below)
    {
        const int a = TcxDragImageHelper::kDragImageAlpha;
        for (int shift = 0; shift < 24; shift += 8) {
            const int p = (picture >> shift) & 0xFF, d = (below >> shift) & 0xFF, s = (shown >> shift) & 0xFF;
            if (std::abs(s - (p * a + d * (255 - a)) / 255) > 1) return false;
        }
        return true;
    }
};

TEST_F(DragImageTest, ATranslucentPictureFollowsTheDragUntilTheButtonComesUp)
{
    MakeControl(2, 3);
    control->OptionsBehavior()->SetImmediateEditor(false);
    control->OptionsBehavior()->SetDragDropText(true);
    const POINT start = At(control, 30, 5);
    const POINT corner{start.x + 60 - 30, start.y + 90 - 5};
    const COLORREF belowLeft = ScreenColor(POINT{corner.x + 2, corner.y + 2});
    const COLORREF belowRight = ScreenColor(POINT{corner.x + kCellWidth - 3, corner.y + kCellHeight - 3});
    Screen().ButtonDown(start);
    Pump();
    control->BeginDrag(true);
    Screen().MoveMouse(POINT{start.x + 20, start.y + 30});
    Pump();
    ASSERT_TRUE(control->Dragging());
    TcxDragImageHelper* helper = control->DragImageHelper();
    ASSERT_NE(helper, nullptr);
    ASSERT_TRUE(cxDragImageHookInstalled());

    Screen().MoveMouse(POINT{start.x + 60, start.y + 90});
    Pump();
    ASSERT_TRUE(helper->DragImageVisible());
    HWND window = helper->ImageWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(quelvo::win::WindowAlpha(window), TcxDragImageHelper::kDragImageAlpha);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0) << "the pointer passes through";
    // The picture keeps its place relative to the pointer: the cell began
    // 30 pixels left of it.
    RECT wr{};
    GetWindowRect(window, &wr);
    EXPECT_EQ(wr.left, corner.x);
    EXPECT_EQ(wr.top, corner.y);
    EXPECT_EQ(wr.right - wr.left, kCellWidth);
    EXPECT_TRUE(Blended(ScreenColor(POINT{corner.x + 2, corner.y + 2}), ColorToRGB(TTestControl::kDragLeft), belowLeft));
    EXPECT_TRUE(Blended(ScreenColor(POINT{corner.x + kCellWidth - 3, corner.y + kCellHeight - 3}),
                        ColorToRGB(TTestControl::kDragRight), belowRight));

    Screen().MoveMouse(POINT{start.x + 64, start.y + 93});
    Pump();
    GetWindowRect(window, &wr);
    EXPECT_EQ(wr.left, corner.x + 4) << "a small move moves the picture along";
    EXPECT_EQ(wr.top, corner.y + 3);
    const COLORREF left = ColorToRGB(TTestControl::kDragLeft);
    EXPECT_NE(ScreenColor(POINT{corner.x + 1, corner.y + 1}), left) << "nothing stays behind where it was";

    Screen().ButtonUp(POINT{start.x + 64, start.y + 93});
    Pump();
    EXPECT_EQ(control->DragImageHelper(), nullptr);
    EXPECT_FALSE(cxDragImageHookInstalled());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_NE(ScreenColor(POINT{corner.x + 6, corner.y + 5}), left);
}

// ---- cell navigator ----------------------------------------------------------------------

struct NavigatorTest : ControlTest {
    void Press(WORD vk, TShiftState shift)
    {
        WORD key = vk;
        control->Controller()->KeyDown(key, shift);
        Pump();
    }
    int FocusedCell() const
    {
        TcxCustomInplaceEditContainer* item = control->Controller()->FocusedItem();
        return item ? item->ItemIndex() : -1;
    }
};

TEST_F(NavigatorTest, TabAndArrowsMoveTheFocusedCellPastItemsThatTakeNoTab)
{
    MakeControl(3, 3);
    control->OptionsBehavior()->SetImmediateEditor(false);
    control->Controller()->SetFocusedRecordItem(0, items[0].get());
    struct Step {
        const char* what;
        std::function<void()> arrange;
        WORD key;
        TShiftState shift;
        int record, cell;
    };
    const TShiftState none, shifted{ssShift};
    const Step steps[] = {
        {"tab", nullptr, VK_TAB, none, 0, 1},
        {"tab again", nullptr, VK_TAB, none, 0, 2},
        {"the row ends", nullptr, VK_TAB, none, 0, 2},
        {"tab wraps with focus-cell-on-cycle", [&] { control->OptionsBehavior()->SetFocusCellOnCycle(true); }, VK_TAB,
         none, 1, 0},
        {"shift+tab wraps back", nullptr, VK_TAB, shifted, 0, 2},
        {"left", nullptr, VK_LEFT, none, 0, 1},
        {"down", nullptr, VK_DOWN, none, 1, 1},
        {"down again", nullptr, VK_DOWN, none, 2, 1},
        {"no row below", nullptr, VK_DOWN, none, 2, 1},
        {"up", nullptr, VK_UP, none, 1, 1},
        {"left to the first", nullptr, VK_LEFT, none, 1, 0},
        {"no tab stop is skipped", [&] { items[1]->Options()->SetTabStop(false); }, VK_TAB, none, 1, 2},
        {"back past it", nullptr, VK_TAB, shifted, 1, 0},
        {"unfocusable ones too, into the next row", [&] { items[2]->Options()->SetFocusing(false); }, VK_TAB, none, 2, 0},
        {"none left on the last row", nullptr, VK_TAB, none, 2, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.arrange) s.arrange();
        Press(s.key, s.shift);
        EXPECT_EQ(control->DataController()->GetFocusedRecordIndex(), s.record);
        EXPECT_EQ(FocusedCell(), s.cell);
    }
}

TEST_F(NavigatorTest, TheBaseLeavesRowsAndCellsToItsDescendants)
{
    MakeControl(1, 1);
    ObjectPtr<TcxCustomCellNavigator> base(
        CreateInstance<TcxCustomCellNavigator>(TcxCustomCellNavigator::StaticClass(), control->Controller()));
    EXPECT_THROW(base->FocusNextCell(true, false, TShiftState{}), EAbstractError);
    EXPECT_FALSE(base->MayFocusedEmptyRow(0));
}

// ---- design selection ----------------------------------------------------------------------

class TDesignControl : public TTestControl {
public:
    static TClass StaticClass() { return DefineClass<TDesignControl, TTestControl>("TDesignControl"); }
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override
    {
        IncludeState(csDesigning);
        TTestControl::Construct(owner);
    }
};

class TRecordingSelection : public TcxCustomDesignSelectionHelper {
public:
    static TClass StaticClass()
    {
        return DefineClass<TRecordingSelection, TcxCustomDesignSelectionHelper>("TRecordingSelection");
    }
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TcxCustomControlController* controller) override
    {
        TcxCustomDesignSelectionHelper::Construct(controller);
        ++alive;
    }
    void UnselectObject(TPersistent* object) override { unselected.push_back(object); }
    static inline int alive = 0;
    static inline std::vector<TPersistent*> unselected;

protected:
    void Destroy() override
    {
        --alive;
        TcxCustomDesignSelectionHelper::Destroy();
    }
};

TEST_F(ControlTest, OnlyAControlBeingDesignedHasTheSuppliedSelectionAndItemsLeaveIt)
{
    quelvo::sys::ScopeGuard restore([] { cxDesignSelectionHelperClass = nullptr; });
    ObjectPtr<TTestControl> designed(CreateObject<TDesignControl>(static_cast<TComponent*>(nullptr)));
    EXPECT_EQ(designed->Controller()->DesignSelectionHelper(), nullptr) << "none supplied";

    cxDesignSelectionHelperClass = TRecordingSelection::StaticClass();
    ObjectPtr<TTestControl> running(CreateObject<TTestControl>(static_cast<TComponent*>(nullptr)));
    EXPECT_EQ(running->Controller()->DesignSelectionHelper(), nullptr) << "not at run time";
    ObjectPtr<TTestControl> other(CreateObject<TDesignControl>(static_cast<TComponent*>(nullptr)));
    TcxCustomDesignSelectionHelper* helper = other->Controller()->DesignSelectionHelper();
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->ClassType(), TRecordingSelection::StaticClass());
    EXPECT_EQ(helper->GetControl(), other.get());

    ObjectPtr<TTestItem> item(CreateObject<TTestItem>(nullptr)), kept(CreateObject<TTestItem>(nullptr));
    item->SetEditingControl(other.get());
    kept->SetEditingControl(other.get());
    TPersistent* gone = item.get();
    item.reset();
    EXPECT_EQ(TRecordingSelection::unselected, std::vector<TPersistent*>{gone});
    kept->SetEditingControl(nullptr);
    kept.reset();
    EXPECT_EQ(TRecordingSelection::unselected.size(), 1u) << "an item outside the control unselects nothing";
    other.reset();
    EXPECT_EQ(TRecordingSelection::alive, 0) << "freed with its controller";
    TRecordingSelection::unselected.clear();
}

} // namespace
