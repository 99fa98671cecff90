// What a user does when dragging in the tree list on the headless display:
// sizing header and row edges (live or with an inverted mark, Escape,
// releasing where it began, fast moves past the limits) and the timers that
// scroll while the mouse rests near an edge.
#include "components/treelist/cxInplaceContainerDragAndDrop.h"
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class DragTest : public TreeListLayoutTest {
protected:
    TcxTreeListController* Controller() const { return static_cast<TcxTreeListController*>(list->Controller()); }
    void Press(int x, int y)
    {
        Advance(1000);
        Screen().MoveMouse(At(list, x, y));
        Screen().ButtonDown(At(list, x, y));
        Pump();
    }
    void Move(int x, int y)
    {
        Screen().MoveMouse(At(list, x, y));
        Pump();
    }
    void Release(int x, int y)
    {
        Screen().ButtonUp(At(list, x, y));
        Pump();
    }
    std::uint32_t Pixel(int x, int y) { return Screen().ClientPixel(list->Handle(), x, y); }
    // A's right header edge, where the width is sized.
    static constexpr int kEdgeX = 99;
    static constexpr int kHeaderY = 9;
};

TEST_F(DragTest, SizingAColumnShowsTheSplitCursorAndAnInvertedMarkUntilRelease)
{
    MakeT();
    const std::uint32_t before = Pixel(129, 150);
    Press(kEdgeX, kHeaderY);
    EXPECT_EQ(list->DragAndDropState(), ddsInProcess) << "sizing starts without a threshold";
    EXPECT_TRUE(list->DragAndDropObject()->InheritsFrom(TcxSizingDragAndDropObject::StaticClass()));
    Move(130, kHeaderY);
    EXPECT_EQ(hostlib::Screen->Cursor(), crHSplit);
    EXPECT_EQ(Pixel(129, 150), before ^ 0xFFFFFFu) << "the mark stands at X - 1";
    EXPECT_EQ(Pixel(130, 150), before);
    EXPECT_EQ(a->Width(), 100) << "not live without dynamic sizing";
    Move(140, kHeaderY);
    EXPECT_EQ(Pixel(129, 150), before) << "the old mark is gone";
    EXPECT_EQ(Pixel(139, 150), before ^ 0xFFFFFFu);
    Release(140, kHeaderY);
    EXPECT_EQ(list->DragAndDropState(), ddsNone);
    EXPECT_EQ(a->Width(), 141);
    EXPECT_EQ(Pixel(139, 150), before) << "no mark is left behind";
}

TEST_F(DragTest, SizingEndsWithoutChangeOnEscapeOrWhereItBegan)
{
    MakeT();
    const std::uint32_t before = Pixel(119, 150);
    Press(kEdgeX, kHeaderY);
    Move(120, kHeaderY);
    Key(VK_ESCAPE);
    EXPECT_EQ(list->DragAndDropState(), ddsNone);
    EXPECT_EQ(a->Width(), 100);
    EXPECT_EQ(Pixel(119, 150), before);
    Release(120, kHeaderY);
    EXPECT_EQ(a->Width(), 100);

    Press(kEdgeX, kHeaderY);
    Move(120, kHeaderY);
    Move(kEdgeX, kHeaderY);
    Release(kEdgeX, kHeaderY);
    EXPECT_EQ(a->Width(), 100);
    EXPECT_EQ(Pixel(119, 150), before);
}

// One fast move from the edge far past the list's left side still sizes the
// column down to its minimum.
TEST_F(DragTest, AFastMovePastTheBoundsReachesTheLimit)
{
    MakeT();
    for (bool dynamic : {false, true}) {
        list->OptionsCustomizing()->SetDynamicSizing(dynamic);
        a->SetWidth(100);
        Pump();
        Press(kEdgeX, kHeaderY);
        Move(-60, kHeaderY);
        Release(-60, kHeaderY);
        EXPECT_EQ(a->Width(), a->MinWidth()) << "dynamic " << dynamic;
    }
}

TEST_F(DragTest, DynamicSizingFollowsEveryMoveWithoutAMark)
{
    MakeT();
    list->OptionsCustomizing()->SetDynamicSizing(true);
    Pump();
    Press(kEdgeX, kHeaderY);
    for (int x : {110, 125, 118}) {
        Move(x, kHeaderY);
        EXPECT_EQ(a->Width(), 100 + x - kEdgeX) << x;
    }
    Release(118, kHeaderY);
    EXPECT_EQ(a->Width(), 119);
}

TEST_F(DragTest, ARowHeightAppliesOnceOnRelease)
{
    MakeT();
    list->OptionsCustomizing()->SetRowSizing(true);
    Pump();
    const RECT row = n0->DisplayRect(false);
    int changes = 0;
    list->OnLayoutChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    Press(50, row.bottom - 1);
    ASSERT_EQ(list->DragAndDropState(), ddsInProcess);
    Move(50, row.bottom + 4);
    EXPECT_EQ(hostlib::Screen->Cursor(), crVSplit);
    Move(50, row.bottom + 9);
    EXPECT_EQ(list->DefaultRowHeight(), 18);
    EXPECT_EQ(changes, 0);
    Release(50, row.bottom + 9);
    EXPECT_EQ(list->DefaultRowHeight(), 28);
}

TEST_F(DragTest, ABandWidthIsSizedAtItsHeaderEdge)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    list->Bands()->Items(0)->SetWidth(180);
    Pump();
    const RECT header = list->Bands()->Items(0)->ViewInfo()->Header()->ClipRect;
    Press(header.right - 1, header.top + 3);
    Move(header.right + 19, header.top + 3);
    Release(header.right + 19, header.top + 3);
    EXPECT_EQ(list->Bands()->Items(0)->Width(), 200);
}

// ---- auto scrolling --------------------------------------------------------------------------

class AutoScrollTest : public DragTest {
protected:
    void MakeLong()
    {
        MakeT();
        list->BeginUpdate();
        for (int i = 0; i < 30; ++i) AddRow(nullptr, {"R", "r"});
        list->EndUpdate();
        Pump();
    }
};

TEST_F(AutoScrollTest, ScrollsOneStepEvery50MsUntilTheLimitOrTheMouseLeaves)
{
    MakeLong();
    ObjectPtr<TcxControllerAutoScrollingObject> scroller(
        CreateObject<TcxControllerAutoScrollingObject>(static_cast<TObject*>(Controller())));
    const RECT area{0, 190, 300, 200};
    scroller->SetParams(area, sbVertical, 1, scLineDown);
    TcxControlScrollBar* bar = list->VScrollBar();
    ASSERT_TRUE(bar->Visible());
    const int start = bar->Position();
    EXPECT_FALSE(scroller->Check(POINT{10, 100}));
    Advance(200);
    EXPECT_EQ(bar->Position(), start) << "outside its area nothing scrolls";
    EXPECT_TRUE(scroller->Check(POINT{10, 195}));
    Advance(49);
    EXPECT_EQ(bar->Position(), start);
    Advance(1);
    EXPECT_EQ(bar->Position(), start + 1);
    Advance(50);
    EXPECT_EQ(bar->Position(), start + 2);
    EXPECT_FALSE(scroller->Check(POINT{10, 200})) << "the area is half-open";
    Advance(500);
    EXPECT_EQ(bar->Position(), start + 2);
    scroller->Check(POINT{10, 195});
    for (int i = 0; i < 100; ++i) Advance(50);
    EXPECT_EQ(bar->Position(), bar->Max() - bar->PageSize() + 1);
    EXPECT_EQ(list->GetTopVisibleIndex(), bar->Position());
}

TEST_F(AutoScrollTest, BoundsModeScrollsTowardsEverySideThePointLiesBeyond)
{
    MakeLong();
    ObjectPtr<TcxControllerAutoScrollingObject> scroller(
        CreateObject<TcxControllerAutoScrollingObject>(static_cast<TObject*>(Controller())));
    scroller->SetBoundsParams(RECT{10, 30, 290, 190}, false, true, 1);
    TcxControlScrollBar* bar = list->VScrollBar();
    EXPECT_FALSE(scroller->CheckBounds(POINT{100, 100}));
    EXPECT_TRUE(scroller->CheckBounds(POINT{100, 190}));
    Advance(50);
    Advance(50);
    EXPECT_EQ(bar->Position(), 2);
    EXPECT_TRUE(scroller->CheckBounds(POINT{100, 29}));
    Advance(50);
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_FALSE(scroller->CheckBounds(POINT{0, 100})) << "horizontal sides are not checked";
}

} // namespace
