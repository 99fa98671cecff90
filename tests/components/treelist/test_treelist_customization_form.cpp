// The customization form as a user meets it on the headless display: which
// lists it shows, where it opens, its size, which hidden headers it lists
// and how they look, and dragging headers onto it and back.
#include "components/treelist/cxTLCustomizationForm.h"
#include "tests/components/treelist/tree_list_layout_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class CustomizationTest : public TreeListLayoutTest {
protected:
    void TearDown() override
    {
        if (list) list->OnCustomizationFormVisibleChanged = {};
        TreeListLayoutTest::TearDown();
    }
    TcxTreeListCustomizing* Customizing() const { return list->Customizing(); }
    void Show()
    {
        Customizing()->SetVisible(true);
        Pump();
    }
    void Press(TControl* control, POINT p)
    {
        Advance(1000);
        Screen().MoveMouse(control->ClientToScreen(p));
        Screen().ButtonDown(control->ClientToScreen(p));
        Pump();
    }
    void Move(TControl* control, POINT p)
    {
        Screen().MoveMouse(control->ClientToScreen(p));
        Pump();
    }
    void Release(TControl* control, POINT p)
    {
        Screen().ButtonUp(control->ClientToScreen(p));
        Pump();
    }
    // Drags a header from the list to a screen point.
    void DragHeaderTo(TcxTreeListColumn* column, POINT screen)
    {
        const RECT r = HeaderRect(column);
        Press(list, POINT{r.left + 20, r.top + 5});
        Move(list, POINT{r.left + 30, r.top + 5});
        Screen().MoveMouse(screen);
        Pump();
        Screen().ButtonUp(screen);
        Pump();
    }
    POINT FormCentre() const
    {
        TForm* f = Customizing()->Form();
        return POINT{f->Left() + f->Width() / 2, f->Top() + f->Height() / 2};
    }
    std::vector<std::string> Listed(TcxTreeListItemsCustomizeListBox* box) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < box->Count(); ++i)
            texts.push_back(As<TcxTreeListHeaderViewInfo>(box->Items()->Objects(i))->GetText());
        return texts;
    }
};

TEST_F(CustomizationTest, ShowsTheColumnsListAloneWithoutBandsOrWithTheSimpleBox)
{
    MakeT();
    struct Case { bool bands, simple, pages; } cases[] = {{false, false, false}, {true, true, false}, {true, false, true}};
    for (const Case& c : cases) {
        Customizing()->SetVisible(false);
        list->OptionsView()->SetBands(c.bands);
        list->OptionsView()->SetSimpleCustomizeBox(c.simple);
        Show();
        ASSERT_TRUE(Customizing()->Visible());
        TForm* f = Customizing()->Form();
        EXPECT_EQ(f->Caption(), "Customize");
        EXPECT_EQ(Customizing()->PageControl()->Parent() == f, c.pages) << c.bands << c.simple;
        EXPECT_EQ(Customizing()->ColumnsListBox()->Parent() == f, !c.pages);
        if (c.pages) {
            EXPECT_EQ(Customizing()->PageControl()->Pages(0)->Caption(), "    Bands    ");
            EXPECT_EQ(Customizing()->PageControl()->Pages(1)->Caption(), "   Columns   ");
        }
    }
}

TEST_F(CustomizationTest, IsRefusedWithNothingToOffer)
{
    MakeT();
    a->Free();
    b->Free();
    a = b = nullptr;
    Pump();
    list->OptionsView()->SetBands(false);
    Show();
    EXPECT_FALSE(Customizing()->Visible());
    EXPECT_EQ(Customizing()->Form(), nullptr);
}

TEST_F(CustomizationTest, OpensAtTheParentFormsCornerThenWhereItWasLeft)
{
    MakeT();
    Show();
    TForm* f = Customizing()->Form();
    EXPECT_EQ(f->Left() + f->Width(), form->Left() + form->Width());
    EXPECT_EQ(f->Top() + f->Height(), form->Top() + form->Height());
    f->SetBounds(30, 40, f->Width(), f->Height());
    f->Close();
    Pump();
    EXPECT_FALSE(Customizing()->Visible());
    Show();
    EXPECT_EQ(Customizing()->Form(), f) << "the closed form is reused";
    EXPECT_EQ(f->Left(), 30);
    EXPECT_EQ(f->Top(), 40);
}

TEST_F(CustomizationTest, RowCountIsAtLeastTwoAndSetsTheHeight)
{
    MakeT();
    Customizing()->SetRowCount(1);
    EXPECT_EQ(Customizing()->RowCount(), 2);
    Show();
    TForm* f = Customizing()->Form();
    const int line = 4 + cxTextHeight(list->Font(), "Wg");
    EXPECT_EQ(Customizing()->LineHeight(), line);
    EXPECT_EQ(f->ClientHeight(), line * 3);
    EXPECT_EQ(f->ClientWidth(), 28 * cxTextWidth(list->Font(), "0"));
}

TEST_F(CustomizationTest, ListsHiddenHeadersButNeverOptionsHidden)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    TcxTreeListColumn* c = AddColumn("C", 50);
    TcxTreeListColumn* d = AddColumn("D", 50);
    TcxTreeListBand* band = AddBand(c);
    band->Caption()->SetText("Second");
    d->Position()->SetBandIndex(band->Index());
    b->SetVisible(false);
    a->ColumnOptions()->SetHidden(true);
    a->SetVisible(false);
    band->SetVisible(false);
    Pump();
    Show();
    EXPECT_EQ(Listed(Customizing()->ColumnsListBox()), (std::vector<std::string>{"B", "C", "D"}))
        << "C and D are hidden with their band";
    EXPECT_EQ(Listed(Customizing()->BandsListBox()), (std::vector<std::string>{"Second"}));
    band->Options()->SetHidden(true);
    list->Modified();
    EXPECT_TRUE(Listed(Customizing()->BandsListBox()).empty());
}

TEST_F(CustomizationTest, EntriesArePaintedAsTheirHeaders)
{
    MakeT();
    b->SetVisible(false);
    Pump();
    Show();
    TcxTreeListItemsCustomizeListBox* box = Customizing()->ColumnsListBox();
    ASSERT_EQ(box->Count(), 1);
    const RECT item = box->ItemRect(0);
    EXPECT_EQ(item.bottom - item.top, list->TreeListViewInfo()->HeaderLineHeight);
    const RECT header = HeaderRect(a);
    // The same offsets inside the list's header A and the entry for B.
    int same = 0, total = 0;
    for (int y = 3; y < item.bottom - item.top - 3; y += 3)
        for (int x = 20; x < 60; x += 7) {
            const std::uint32_t head = Screen().ClientPixel(list->Handle(), header.left + x, header.top + y);
            const std::uint32_t entry = Screen().ClientPixel(box->Handle(), item.left + x, item.top + y);
            same += head == entry;
            ++total;
        }
    EXPECT_GT(same, total * 3 / 4) << "the header's face, borders and text colours";
    EXPECT_EQ(Screen().ClientPixel(box->Handle(), item.left + 40, item.top + 2),
              Screen().ClientPixel(list->Handle(), header.left + 40, header.top + 2));
}

TEST_F(CustomizationTest, DraggingAColumnOntoTheFormHidesItButNeverTheLastOne)
{
    MakeT();
    Show();
    DragHeaderTo(a, FormCentre());
    EXPECT_FALSE(a->Visible());
    EXPECT_EQ(Listed(Customizing()->ColumnsListBox()), (std::vector<std::string>{"A"}));
    DragHeaderTo(b, FormCentre());
    EXPECT_TRUE(b->Visible()) << "the last visible column stays";
    DragHeaderTo(b, list->ClientToScreen(POINT{150, 150}));
    EXPECT_TRUE(b->Visible()) << "over nothing it would hide, but it is the last";
}

TEST_F(CustomizationTest, AnEntryDraggedIntoTheHeaderShowsTheColumnThere)
{
    MakeT();
    a->SetVisible(false);
    Pump();
    Show();
    TcxTreeListItemsCustomizeListBox* box = Customizing()->ColumnsListBox();
    const RECT item = box->ItemRect(0);
    TControl* inner = box->InnerListBox();
    const POINT p{item.left + 10, item.top + 5};
    Press(inner, p);
    Move(inner, POINT{p.x + 10, p.y + 10});
    ASSERT_NE(box->DragObject(), nullptr);
    const RECT bHeader = HeaderRect(b);
    Screen().MoveMouse(list->ClientToScreen(POINT{bHeader.right - 10, bHeader.top + 5}));
    Pump();
    Screen().ButtonUp(list->ClientToScreen(POINT{bHeader.right - 10, bHeader.top + 5}));
    Pump();
    EXPECT_EQ(box->DragObject(), nullptr);
    EXPECT_TRUE(a->Visible());
    EXPECT_EQ(list->GetVisibleColumn(1), a);
    EXPECT_EQ(box->Count(), 0);
}

TEST_F(CustomizationTest, SwitchingAwayDuringADragEndsItWithoutADrop)
{
    MakeT();
    a->SetVisible(false);
    Pump();
    Show();
    TcxTreeListItemsCustomizeListBox* box = Customizing()->ColumnsListBox();
    const RECT item = box->ItemRect(0);
    TControl* inner = box->InnerListBox();
    Press(inner, POINT{item.left + 10, item.top + 5});
    Move(inner, POINT{item.left + 30, item.top + 25});
    ASSERT_NE(box->DragObject(), nullptr);
    const RECT bHeader = HeaderRect(b);
    Screen().MoveMouse(list->ClientToScreen(POINT{bHeader.right - 10, bHeader.top + 5}));
    Pump();
    SetActiveWindow(form->Handle());
    Advance(10);
    Advance(10);
    EXPECT_EQ(box->DragObject(), nullptr);
    EXPECT_EQ(list->DragAndDropState(), ddsNone);
    EXPECT_FALSE(a->Visible());
    Screen().ButtonUp(list->ClientToScreen(POINT{bHeader.right - 10, bHeader.top + 5}));
    Pump();
    EXPECT_FALSE(a->Visible());
}

// Headers hidden or freed by the program while the form is open: the list
// follows at once and never paints a freed header.
TEST_F(CustomizationTest, TheListFollowsColumnsHiddenOrFreedWhileOpen)
{
    MakeT();
    Show();
    TcxTreeListItemsCustomizeListBox* box = Customizing()->ColumnsListBox();
    EXPECT_TRUE(Listed(box).empty());
    b->SetVisible(false);
    Pump();
    EXPECT_EQ(Listed(box), (std::vector<std::string>{"B"}));
    b->Free();
    b = nullptr;
    EXPECT_TRUE(Listed(box).empty());
    box->Repaint();
    Pump();
}

TEST_F(CustomizationTest, AssigningCopiesTheRowCountAndOpensOrClosesTheForm)
{
    MakeT();
    auto* other = CreateObject<TcxTreeList>(form);
    other->SetBounds(0, 200, 300, 90);
    other->CreateColumn()->Caption()->SetText("X");
    other->SetParent(form);
    Customizing()->SetRowCount(4);
    Show();
    other->SetCustomizing(Customizing());
    EXPECT_EQ(other->Customizing()->RowCount(), 4);
    EXPECT_TRUE(other->Customizing()->Visible());
    Customizing()->SetVisible(false);
    other->SetCustomizing(Customizing());
    EXPECT_FALSE(other->Customizing()->Visible());
    other->Free();
    Pump();  // the closed forms go with the posted release
}

// Over nothing with the form open: the remove cursor where a drop would hide
// the header, else the arrow for a column and no-drop for a band.
TEST_F(CustomizationTest, TheCursorTellsWhetherADropWouldHideTheHeader)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    AddBand(b);  // a band moves only beside another
    Pump();
    Show();
    struct Case {
        bool band, customizable, simple;
        TCursor cursor;
    } cases[] = {
        {false, true, false, cxcrRemove},
        {false, false, false, crArrow},
        {true, true, false, cxcrRemove},
        {true, true, true, cxcrNoDrop},
    };
    for (const Case& c : cases) {
        a->ColumnOptions()->SetCustomizing(c.customizable);
        list->OptionsView()->SetSimpleCustomizeBox(c.simple);
        Pump();
        const RECT r = c.band ? list->Bands()->Items(0)->ViewInfo()->Header()->DisplayRect : HeaderRect(a);
        Press(list, POINT{r.left + 20, r.top + 5});
        Move(list, POINT{r.left + 30, r.top + 5});
        ASSERT_EQ(list->DragAndDropState(), ddsInProcess) << c.band;
        Move(list, POINT{150, 150});
        EXPECT_EQ(hostlib::Screen->Cursor(), c.cursor) << c.band << c.customizable << c.simple;
        Key(VK_ESCAPE);
        Release(list, POINT{150, 150});
        EXPECT_TRUE(a->Visible());
        EXPECT_TRUE(list->Bands()->Items(0)->Visible());
    }
}

// A band dropped on the form is hidden unless the simple box shows columns
// only.
TEST_F(CustomizationTest, ABandDroppedOnTheFormHidesUnlessTheBoxIsSimple)
{
    MakeT();
    list->OptionsView()->SetBands(true);
    TcxTreeListBand* second = AddBand(b);
    second->Caption()->SetText("Second");
    Pump();
    for (bool simple : {true, false}) {
        Customizing()->SetVisible(false);
        list->OptionsView()->SetSimpleCustomizeBox(simple);
        Pump();
        Show();
        const RECT r = second->ViewInfo()->Header()->DisplayRect;
        Press(list, POINT{r.left + 20, r.top + 5});
        Move(list, POINT{r.left + 30, r.top + 5});
        Screen().MoveMouse(FormCentre());
        Pump();
        Screen().ButtonUp(FormCentre());
        Pump();
        EXPECT_EQ(second->Visible(), simple);
    }
    EXPECT_EQ(Listed(Customizing()->BandsListBox()), (std::vector<std::string>{"Second"}));
}

} // namespace
