// What a user does when dragging in the tree list on the headless display:
// sizing header and row edges (live or with an inverted mark, Escape,
// releasing where it began, fast moves past the limits), the timers that
// scroll while the mouse rests near an edge, moving headers with their
// picture and drop arrows, and moving or copying nodes.
#include "components/treelist/cxTLDragAndDrop.h"
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


// ---- moving headers ---------------------------------------------------------------------------

TEST(DropPosition, RefusesTheItemItselfAndTheHalvesNextToIt)
{
    struct Case {
        int current, target, dropX;
        bool valid;
        int newIndex;
        TcxTreeListDropBorder border;
    } cases[] = {
        {2, 2, 10, false, 2, tldbRight},  // onto itself
        {2, 1, 60, false, 2, tldbRight},  // right half of the one before
        {2, 3, 40, false, 2, tldbRight},  // left half of the one after
        {2, 1, 40, true, 1, tldbLeft},    // left half of the one before
        {2, 3, 60, true, 4, tldbRight},   // right half of the one after
        {-1, 0, 40, true, 0, tldbLeft},   // from outside the row
        {-1, 0, 60, true, 1, tldbRight},
    };
    for (const Case& c : cases) {
        TcxTreeListDropBorder border = tldbTop;
        int index = -7;
        EXPECT_EQ(cxTreeListCheckDropPos(c.current, c.target, true, border, index, c.dropX, 50), c.valid)
            << c.current << " " << c.target << " " << c.dropX;
        EXPECT_EQ(index, c.newIndex) << c.current << " " << c.target << " " << c.dropX;
        if (c.valid) {
            EXPECT_EQ(border, c.border);
        }
    }
}

class HeaderDragTest : public DragTest {
protected:
    TcxTreeListDragAndDropObject* DragObject() const
    {
        return As<TcxTreeListDragAndDropObject>(list->DragAndDropObject());
    }
    // Presses a header and moves past the drag threshold.
    void StartHeaderDrag(int x, int y)
    {
        Press(x, y);
        Move(x + 8, y);
        ASSERT_EQ(list->DragAndDropState(), ddsInProcess);
        ASSERT_NE(DragObject(), nullptr);
    }
    std::vector<std::string> Order() const
    {
        std::vector<std::string> captions;
        for (int i = 0; i < list->GetVisibleColumnCount(); ++i)
            captions.push_back(list->GetVisibleColumn(i)->Caption()->Text());
        return captions;
    }
    static bool Near(std::uint32_t a, std::uint32_t b)
    {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1) return false;
        return true;
    }
};

TEST_F(HeaderDragTest, AColumnDroppedPastItsNeighbourMovesThere)
{
    MakeT();
    StartHeaderDrag(50, kHeaderY);
    Move(150, kHeaderY);
    EXPECT_TRUE(DragObject()->ArrowsShown()) << "the right half of B";
    EXPECT_NE(hostlib::Screen->Cursor(), crNoDrop);
    Release(150, kHeaderY);
    EXPECT_EQ(Order(), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(list->DragAndDropState(), ddsNone);
}

TEST_F(HeaderDragTest, DropsNextToItsOwnPlaceChangeNothingAndShowNoArrows)
{
    MakeT();
    StartHeaderDrag(50, kHeaderY);
    for (int x : {120, 60}) {  // B's left half, A itself
        Move(x, kHeaderY);
        EXPECT_FALSE(DragObject()->ArrowsShown()) << x;
        EXPECT_EQ(DragObject()->ArrowWindow(0), nullptr) << x;
    }
    Release(120, kHeaderY);
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(HeaderDragTest, EscapeOrAReleaseOverNothingLeavesTheColumnsAlone)
{
    MakeT();
    StartHeaderDrag(50, kHeaderY);
    Move(150, kHeaderY);
    Key(VK_ESCAPE);
    EXPECT_EQ(list->DragAndDropState(), ddsNone);
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B"}));
    Release(150, kHeaderY);
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B"})) << "no sort or move after the drag";

    StartHeaderDrag(50, kHeaderY);
    Move(150, 150);
    Release(150, 150);
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(a->Visible()) << "without the customization form nothing is hidden";
}

// The picture is a translucent window at alpha 200 over whatever lies below,
// the arrows opaque windows in the drop-arrow colour; none of them stays.
TEST_F(HeaderDragTest, PictureAndArrowsAreWindowsOverTheScreenAndGoAfterTheDrop)
{
    MakeT();
    list->OptionsView()->SetDropArrowColor(clRed);
    const quelvo::gfx::Surface before = Screen().CaptureScreen();
    StartHeaderDrag(50, kHeaderY);
    Move(150, kHeaderY);
    TcxTreeListDragAndDropObject* drag = DragObject();
    const RECT line = drag->ArrowBaseLine();
    const POINT bHeader = list->ClientToScreen(POINT{0, 0});
    EXPECT_EQ(line.left, bHeader.x + 179) << "B's right border";
    EXPECT_EQ(Screen().ScreenPixel(line.left, line.top - 4), 0xFF0000u) << "inside the upper arrow";
    EXPECT_EQ(Screen().ScreenPixel(line.left, line.bottom + 3), 0xFF0000u) << "inside the lower arrow";
    const RECT arrowSpace{line.left - 9, line.top - 9, 0, 0};
    EXPECT_EQ(Screen().ScreenPixel(arrowSpace.left, arrowSpace.top), before.At(arrowSpace.left, arrowSpace.top) & 0xFFFFFF)
        << "the arrow window is shaped to the arrow";

    // Over the desktop, away from the form.
    const POINT far = list->ClientToScreen(POINT{700, 200});
    Screen().MoveMouse(far);
    Pump();
    HWND picture = drag->PictureWindow();
    ASSERT_NE(picture, nullptr);
    RECT r;
    GetWindowRect(picture, &r);
    const std::uint32_t desk = Screen().desktopColour & 0xFFFFFF;
    TBitmap* bitmap = drag->DragPicture();
    for (POINT p : {POINT{5, 5}, POINT{bitmap->Width() / 2, bitmap->Height() / 2}}) {
        const std::uint32_t src = static_cast<std::uint32_t>(ColorToRGB(bitmap->Canvas()->Pixel(p.x, p.y)));
        const std::uint32_t srcRgb = ((src & 0xFF) << 16) | (src & 0xFF00) | ((src >> 16) & 0xFF);
        std::uint32_t want = 0;
        for (int shift = 0; shift < 24; shift += 8)
            want |= ((((srcRgb >> shift) & 0xFF) * 200 + ((desk >> shift) & 0xFF) * 55) / 255) << shift;
        EXPECT_TRUE(Near(Screen().ScreenPixel(r.left + p.x, r.top + p.y), want))
            << std::hex << Screen().ScreenPixel(r.left + p.x, r.top + p.y) << " " << want;
    }

    Move(50, kHeaderY);
    Release(50, kHeaderY);
    EXPECT_FALSE(IsWindow(picture));
    EXPECT_EQ(Order(), (std::vector<std::string>{"A", "B"}));
    const quelvo::gfx::Surface after = Screen().CaptureScreen();
    int differing = 0;
    for (int y = 0; y < after.Height(); ++y)
        for (int x = 0; x < after.Width(); ++x) differing += (after.At(x, y) & 0xFFFFFF) != (before.At(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0);
}

TEST_F(HeaderDragTest, OnlyOwnColumnsKeepsColumnsInAndOutOfTheirBand)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    TcxTreeListBand* second = AddBand(b);
    Pump();
    const RECT aHeader = HeaderRect(a);
    const RECT bHeader = HeaderRect(b);
    for (int closed : {0, 1}) {
        list->Bands()->Items(0)->Options()->SetOnlyOwnColumns(closed == 0);
        second->Options()->SetOnlyOwnColumns(closed == 1);
        Pump();
        StartHeaderDrag(bHeader.left + 20, bHeader.top + 5);
        Move(aHeader.left + 10, aHeader.top + 5);
        EXPECT_FALSE(DragObject()->ArrowsShown()) << closed;
        Release(aHeader.left + 10, aHeader.top + 5);
        EXPECT_EQ(b->OwnerBand(), second) << closed;
    }
    second->Options()->SetOnlyOwnColumns(false);
    list->Bands()->Items(0)->Options()->SetOnlyOwnColumns(false);
    Pump();
    StartHeaderDrag(bHeader.left + 20, bHeader.top + 5);
    Move(aHeader.left + 10, aHeader.top + 5);
    EXPECT_TRUE(DragObject()->ArrowsShown());
    Release(aHeader.left + 10, aHeader.top + 5);
    EXPECT_EQ(b->OwnerBand(), list->Bands()->Items(0));
    EXPECT_EQ(Order(), (std::vector<std::string>{"B", "A"}));
}

// Band 0 has two header rows, band 1 one: under band 1's row lies an empty
// panel, where a dropped column starts a new row.
TEST_F(HeaderDragTest, ADropUnderTheLastHeaderRowMakesANewRow)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    TcxTreeListColumn* c = AddColumn("C", 60);
    TcxTreeListBand* second = AddBand(c);
    b->Position()->SetPositionEx(0, 0, true, 1);
    Pump();
    ASSERT_EQ(b->Position()->RowIndex(), 1);
    const RECT cHeader = HeaderRect(c);
    const RECT bHeader = HeaderRect(b);
    for (bool singleLine : {true, false}) {
        list->OptionsView()->SetHeaderSingleLine(singleLine);
        if (singleLine) {
            // One line: the panel is no target.
            StartHeaderDrag(10, kHeaderY + 19);
            Move(cHeader.left + 10, cHeader.bottom + 5);
            Release(cHeader.left + 10, cHeader.bottom + 5);
            EXPECT_EQ(a->OwnerBand(), list->Bands()->Items(0));
            continue;
        }
        b->Position()->SetPositionEx(0, 0, true, 1);
        Pump();
        const RECT aHeader = HeaderRect(a);
        StartHeaderDrag(aHeader.left + 10, aHeader.top + 5);
        Move(cHeader.left + 10, bHeader.top + 5);
        EXPECT_TRUE(DragObject()->ArrowsShown());
        EXPECT_EQ(DragObject()->DropInfo()->RowIndex, 1);
        EXPECT_TRUE(DragObject()->DropInfo()->InsertRow);
        Release(cHeader.left + 10, bHeader.top + 5);
        EXPECT_EQ(a->OwnerBand(), second);
        EXPECT_EQ(a->Position()->RowIndex(), 1);
        EXPECT_EQ(c->Position()->RowIndex(), 0);
    }
}

TEST_F(HeaderDragTest, ABandDroppedOntoAFixedBandLandsOnItsInnerSide)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    TcxTreeListColumn* c = AddColumn("C", 60);
    TcxTreeListColumn* d = AddColumn("D", 60);
    TcxTreeListBand* left = list->Bands()->Items(0);
    left->SetFixedKind(tlbfLeft);
    TcxTreeListBand* x = AddBand(b);
    TcxTreeListBand* y = AddBand(c);
    TcxTreeListBand* right = AddBand(d, tlbfRight);
    Pump();
    auto visibleOrder = [&] {
        std::vector<TcxTreeListBand*> order;
        for (int i = 0; i < list->GetVisibleBandCount(); ++i) order.push_back(list->VisibleBandList()[i]);
        return order;
    };
    ASSERT_EQ(visibleOrder(), (std::vector<TcxTreeListBand*>{left, x, y, right}));
    const RECT leftHeader = left->ViewInfo()->Header()->ClipRect;
    const RECT yHeader = y->ViewInfo()->Header()->ClipRect;
    StartHeaderDrag(yHeader.left + 20, yHeader.top + 5);
    Move(leftHeader.left + 5, leftHeader.top + 5);  // the left half of the left-fixed band
    EXPECT_TRUE(DragObject()->ArrowsShown());
    Release(leftHeader.left + 5, leftHeader.top + 5);
    EXPECT_EQ(visibleOrder(), (std::vector<TcxTreeListBand*>{left, y, x, right}));

    const RECT rightHeader = right->ViewInfo()->Header()->ClipRect;
    const RECT yNow = y->ViewInfo()->Header()->ClipRect;
    StartHeaderDrag(yNow.left + 20, yNow.top + 5);
    Move(rightHeader.right - 5, rightHeader.top + 5);  // the right half of the right-fixed band
    Release(rightHeader.right - 5, rightHeader.top + 5);
    EXPECT_EQ(visibleOrder(), (std::vector<TcxTreeListBand*>{left, x, y, right}));
}

// ---- moving nodes ---------------------------------------------------------------------------------

class NodeDragTest : public DragTest {
protected:
    void MakeDraggable()
    {
        MakeT();
        list->SetDragMode(dmAutomatic);
        // The list accepts its own nodes, as a program moving them does.
        list->OnDragOver = TDragOverEvent::FromFunction(
            [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; });
        list->OptionsBehavior()->SetImmediateEditor(false);
        list->OptionsData()->SetEditing(false);
        Pump();
    }
    // Focuses a node by a click on its cell, then drags it from there: the
    // moves are queued with the press, as the drag detection waits for them.
    void StartNodeDrag(TcxTreeListNode* node)
    {
        const RECT r = node->DisplayRect(false);
        const int y = (r.top + r.bottom) / 2;
        Advance(1000);
        Screen().Click(At(list, 60, y));
        Pump();
        Advance(1000);
        Screen().ButtonDown(At(list, 60, y));
        Screen().MoveMouse(At(list, 60, y + 10));
        Screen().MoveMouse(At(list, 70, y + 12));
        Pump();
        ASSERT_TRUE(list->Dragging());
    }
    POINT ButtonOf(TcxTreeListNode* node)
    {
        const RECT r = node->DisplayRect(false);
        return POINT{7 + node->Level() * 15, (r.top + r.bottom) / 2};
    }
};

TEST_F(NodeDragTest, RestingOnACollapsedButtonExpandsItOnceAfter500Ms)
{
    MakeDraggable();
    list->OptionsBehavior()->SetDragExpand(true);
    StartNodeDrag(c1);
    const POINT button = ButtonOf(n1);
    Move(button.x, button.y);
    Advance(499);
    EXPECT_FALSE(n1->Expanded());
    Advance(1);
    EXPECT_TRUE(n1->Expanded());
    Advance(600);
    EXPECT_TRUE(n1->Expanded()) << "once only";
    n1->SetExpanded(false);
    Pump();
    Move(60, 30);
    Move(button.x, button.y);
    Advance(300);
    Move(60, 30);
    Move(button.x, button.y);
    Advance(300);
    EXPECT_FALSE(n1->Expanded()) << "leaving restarts the wait";
    Advance(200);
    EXPECT_TRUE(n1->Expanded());
    Release(button.x, button.y);
}

TEST_F(NodeDragTest, ADropOnCellsMakesALastChildAndOnTheIndentInsertsBefore)
{
    MakeDraggable();
    StartNodeDrag(c0);
    const RECT target = n1->DisplayRect(false);
    Move(100, target.top + 5);
    Release(100, target.top + 5);
    EXPECT_FALSE(list->Dragging());
    EXPECT_EQ(c0->Parent(), n1);
    EXPECT_EQ(n1->GetLastChild(), c0);

    StartNodeDrag(c1);
    const POINT indent = ButtonOf(n0);
    Move(indent.x, indent.y);
    Release(indent.x, indent.y);
    EXPECT_EQ(c1->Parent(), Root());
    EXPECT_EQ(c1->getNextSibling(), n0);
}

TEST_F(NodeDragTest, CtrlWithAutoDragCopyCopiesTheNode)
{
    MakeDraggable();
    list->OptionsBehavior()->SetAutoDragCopy(true);
    const int before = list->Nodes()->GetCount();
    int tag = 0;
    n0->SetData(&tag);
    StartNodeDrag(n0);
    const RECT target = n1->DisplayRect(false);
    Move(100, target.top + 5);
    Screen().KeyDown(VK_CONTROL);
    Pump();
    Release(100, target.top + 5);
    Screen().KeyUp(VK_CONTROL);
    Pump();
    EXPECT_EQ(n0->Parent(), Root()) << "the original stays";
    TcxTreeListNode* copy = n1->GetLastChild();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, n0);
    EXPECT_EQ(copy->GetValue(0).AsString(), "N0");
    EXPECT_EQ(copy->Data(), &tag);
    EXPECT_TRUE(copy->Expanded()) << "its state comes along";
    ASSERT_EQ(copy->Count(), 2) << "children come along";
    EXPECT_EQ(copy->GetLastChild()->GetValue(1).AsString(), "c1");
    EXPECT_EQ(list->Nodes()->GetCount(), before + 3);
}

TEST_F(NodeDragTest, TheDragCursorTellsMoveCopyInsertAndNowhere)
{
    MakeDraggable();
    list->OptionsBehavior()->SetAutoDragCopy(true);
    StartNodeDrag(c0);
    const RECT target = n1->DisplayRect(false);
    Move(100, target.top + 5);
    EXPECT_EQ(list->DragCursor(), crDrag);
    const POINT indent = ButtonOf(n1);
    Move(indent.x, indent.y);
    EXPECT_EQ(list->DragCursor(), crcxTreeListDragInsert);
    Move(100, 150);
    EXPECT_EQ(list->DragCursor(), crcxTreeListDragNoDrop);
    Screen().KeyDown(VK_CONTROL);
    Move(100, target.top + 6);
    EXPECT_EQ(list->DragCursor(), cxcrDragCopy);
    Key(VK_ESCAPE);
    Screen().KeyUp(VK_CONTROL);
    Pump();
    EXPECT_FALSE(list->Dragging());
    EXPECT_EQ(c0->Parent(), n0);
}

} // namespace
