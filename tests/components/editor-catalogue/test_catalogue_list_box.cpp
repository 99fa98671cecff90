// The list box in its container on a form of the headless display:
// coordinates in the container's terms, the whole-item height, messages
// passed to the inner list, the binding's edit-mode gate and refused exit,
// owner-drawn rows on screen and the form resource.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxListBox.h"
#include "components/foundation/cxContainer.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;

namespace {

// What the gate binding does, set by the test.
struct Gate {
    bool editable = true;
    bool refuseUpdate = false;
    int resets = 0;
    int updates = 0;
};
Gate gate;

class TGateBinding : public TcxDataBinding {
public:
    static TClass StaticClass() { return DefineClass<TGateBinding, TcxDataBinding>("TGateBinding"); }
    TClass ClassType() const override { return StaticClass(); }
    bool SetEditMode() override { return gate.editable; }
    void Reset() override { ++gate.resets; }
    void UpdateDataSource() override
    {
        ++gate.updates;
        if (gate.refuseUpdate) throw Exception("refused");
    }
};

class TGatedListBox : public TcxListBox {
public:
    static TClass StaticClass() { return DefineClass<TGatedListBox, TcxListBox>("TGatedListBox"); }
    TClass ClassType() const override { return StaticClass(); }
    TClass GetDataBindingClass() const override { return TGateBinding::StaticClass(); }
    using TcxListBox::DoExit;
};

class ListBox : public cataloguetest::CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        cxContainerInitialize();
        gate = Gate{};
        form = NewForm(300, 240);
        box = Add<TGatedListBox>(form, "List", 10, 10, 121, 97);
        box->Style()->SetBorderStyle(cbsSingle);
        other = Add<TTraceControl>(form, "other", 200, 10, 40, 40);
        form->Show();
        Pump();
        Log().clear();
    }
    void TearDown() override
    {
        form->Free();
        form = nullptr;
        cxContainerFinalize();
        CatalogueTest::TearDown();
    }
    void Fill(std::vector<std::string> items)
    {
        for (const std::string& s : items) box->Items()->Add(s);
        Pump();
    }
    // In every state: the focused one falls back to its own default.
    void NoBorder()
    {
        box->Style()->SetTransparentBorder(false);
        for (TcxCustomContainerStyle* style : {box->Style(), box->StyleFocused(), box->StyleHot()})
            style->SetBorderStyle(cbsNone);
        const RECT none{0, 0, 0, 0};
        const RECT extent = box->GetBorderExtent();
        ASSERT_TRUE(EqualRect(&extent, &none));
    }
    // The middle of an item, in the list box's client coordinates.
    POINT ItemCentre(int index)
    {
        const RECT r = box->ItemRect(index);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    TGatedListBox* box = nullptr;
    TTraceControl* other = nullptr;
};

TEST_F(ListBox, PointsAndItemRectanglesAreInTheContainersCoordinates)
{
    Fill({"one", "two", "three"});
    const RECT border = box->GetBorderExtent();
    ASSERT_GT(border.left, 0);
    ASSERT_EQ(box->InnerListBox()->Left(), border.left);

    RECT inner = box->InnerListBox()->ItemRect(1);
    OffsetRect(&inner, border.left, border.top);
    const RECT outer = box->ItemRect(1);
    EXPECT_TRUE(EqualRect(&outer, &inner)) << "shifted by the border";
    EXPECT_EQ(box->ItemAtPos(ItemCentre(1), true), 1);
    EXPECT_EQ(box->ItemAtPos(POINT{outer.left, outer.top}, true), 1) << "the item's first pixel";
    EXPECT_EQ(box->ItemAtPos(POINT{0, 0}, true), -1) << "a point on the border";
    EXPECT_TRUE(box->ItemVisible(2));
}

TEST_F(ListBox, IntegralHeightShowsWholeItems)
{
    struct Case {
        const char* what;
        int items;
        int scrollWidth;
        TAlign align;
        int asked;
        int expected;
    };
    const int hbar = GetSystemMetrics(SM_CYHSCROLL);
    const Case cases[] = {
        {"two whole items", 3, 0, alNone, 40, 32},
        {"never below one item", 3, 0, alNone, 10, 16},
        {"an exact fit stays", 3, 0, alNone, 48, 48},
        {"a wide list adds the bar", 10, 500, alNone, 60, 32 + hbar},
        {"client alignment leaves it", 3, 0, alClient, 40, 0},
    };
    NoBorder();
    box->SetListStyle(lbOwnerDrawFixed);
    box->SetItemHeight(16);
    box->SetIntegralHeight(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box->Clear();
        for (int i = 0; i < c.items; ++i) box->Items()->Add("item");
        box->SetScrollWidth(c.scrollWidth);
        box->SetAlign(c.align);
        int height = c.asked;
        if (c.align == alNone) {
            box->GetOptimalHeight(height);
            EXPECT_EQ(height, c.expected);
        }
        box->SetAlign(alNone);
        box->SetBounds(10, 10, 121, 97);
        box->SetAlign(c.align);
        if (c.align == alNone) box->SetHeight(c.asked);
        const int expected = c.align == alNone ? c.expected : form->ClientHeight();
        EXPECT_EQ(box->Height(), expected) << "through the control's own resizing";
        box->SetAlign(alNone);
    }
}

// A measure handler answering 0 must not let the walk run past every item
// without growing: heights below 1 count as 1.
TEST_F(ListBox, ZeroItemHeightsStillEndTheWalk)
{
    NoBorder();
    box->SetListStyle(lbOwnerDrawVariable);
    box->SetItemHeight(16);
    Fill({"a", "b", "c"});
    int asked = 0;
    box->SetOnMeasureItem(TcxListBoxMeasureItemEvent::FromFunction([&](TcxListBox* control, int, int& height) {
        EXPECT_EQ(control, box);
        ++asked;
        height = 0;
    }));
    int height = 10;
    box->GetOptimalHeight(height);
    EXPECT_EQ(height, 3);
    EXPECT_GT(asked, 0);

    box->SetOnMeasureItem(nullptr);
    asked = 0;
    height = 10;
    box->GetOptimalHeight(height);
    EXPECT_EQ(asked, 0) << "a cleared handler is not asked";
    EXPECT_EQ(height, 16);
}

TEST_F(ListBox, ListMessagesReachTheInnerList)
{
    Fill({"one", "two", "three"});
    EXPECT_EQ(SendMessageA(box->Handle(), LB_GETCOUNT, 0, 0), 3);
    SendMessageA(box->Handle(), LB_SETCURSEL, 2, 0);
    EXPECT_EQ(box->InnerListBox()->ItemIndex(), 2);
    EXPECT_EQ(box->ItemIndex(), 2);
}

TEST_F(ListBox, AssignedItemsSelectTheFirstEmptyItemOrNothing)
{
    auto* items = CreateObject<TStringList>();
    items->Add("a");
    items->Add("");
    items->Add("b");
    box->SetItemIndex(-1);
    box->SetItems(items);
    EXPECT_EQ(box->ItemIndex(), 1);
    items->Delete(1);
    box->SetItemIndex(0);
    box->SetItems(items);
    EXPECT_EQ(box->ItemIndex(), -1);
    items->Free();
}

TEST_F(ListBox, ABindingOutOfEditModeBlocksSelectionButNotFocusOrEscape)
{
    Fill({"apple", "banana", "cherry", "date"});
    int downs = 0;
    box->OnMouseDown = TMouseEvent::FromFunction([&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; });
    box->SetItemIndex(0);
    gate.editable = false;

    const POINT p = ItemCentre(2);
    ClickAt(box, p.x, p.y);
    EXPECT_EQ(box->ItemIndex(), 0) << "the click changes nothing";
    EXPECT_TRUE(box->InnerListBox()->Focused()) << "but the list takes the focus";
    EXPECT_EQ(downs, 1) << "and the press is reported";

    for (int vk : {VK_DOWN, VK_END, VK_NEXT}) Key(vk);
    Screen().TypeText("c");
    Pump();
    EXPECT_EQ(box->ItemIndex(), 0) << "neither keys nor typing select";
    Key(VK_ESCAPE);
    EXPECT_EQ(gate.resets, 1);

    gate.editable = true;
    Key(VK_DOWN);
    EXPECT_EQ(box->ItemIndex(), 1);
    clock_.Advance(1000);
    Screen().TypeText("d");
    Pump();
    EXPECT_EQ(box->ItemIndex(), 3);
    ClickAt(box, p.x, p.y);
    EXPECT_EQ(box->ItemIndex(), 2);
}

TEST_F(ListBox, ARefusedValueKeepsTheFocusAndReachesTheCaller)
{
    Fill({"a", "b"});
    int exits = 0;
    box->OnExit = TNotifyEvent::FromFunction([&](TObject*) { ++exits; });
    box->SetFocus();
    Pump();
    gate.refuseUpdate = true;
    other->SetFocus();
    Pump();
    EXPECT_THROW(box->DoExit(), Exception);
    EXPECT_TRUE(box->InnerListBox()->Focused()) << "the focus is back on the list";
    EXPECT_THROW(box->DoExit(), Exception) << "the guard was cleared";
    EXPECT_EQ(exits, 0);

    gate.refuseUpdate = false;
    const int updates = gate.updates;
    box->DoExit();
    EXPECT_EQ(gate.updates, updates + 1);
    EXPECT_EQ(exits, 1);
}

TEST_F(ListBox, OwnerDrawnRowsSitInsideTheBorder)
{
    const TColor colours[] = {0x0000C0, 0x00C000, 0xC00000};
    box->SetListStyle(lbOwnerDrawFixed);
    box->SetItemHeight(20);
    std::vector<RECT> drawn;
    box->OnDrawItem = TcxListBoxDrawItemEvent::FromFunction(
        [&](TcxListBox* control, TcxCanvas* canvas, int index, RECT r, TOwnerDrawState) {
            EXPECT_EQ(control, box);
            canvas->SetBrushColor(colours[index % 3]);
            canvas->FillRect(r);
            drawn.push_back(r);
        });
    Fill({"a", "b", "c"});
    box->Invalidate();
    Pump();
    ASSERT_FALSE(drawn.empty());
    const RECT border = box->GetBorderExtent();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const RECT r = box->ItemRect(i);
        EXPECT_EQ(r.top, border.top + 20 * i);
        EXPECT_EQ(Pixel(box, r.left, r.top + 1), Rgb(colours[i]));
        EXPECT_EQ(Pixel(box, r.right - 1, r.bottom - 2), Rgb(colours[i]));
    }
    EXPECT_NE(Pixel(box, 0, border.top + 5), Rgb(colours[0])) << "the border is not painted over";
    EXPECT_EQ(Pixel(box, border.left + 5, border.top + 65), Rgb(clWindow)) << "below the rows: the list's colour";
}

TEST_F(ListBox, AFormResourcePlacesIt)
{
    Fill({"x", "y"});
    box->SetIntegralHeight(true);
    box->SetListStyle(lbOwnerDrawFixed);
    box->SetColumns(2);
    const std::string text = WriteFormResource(form);
    RegisterClasses({TForm::StaticClass(), TcxListBox::StaticClass(), TGatedListBox::StaticClass(),
                     TTraceControl::StaticClass()});
    ObjectPtr<TComponent> loaded(CreateFromFormResource(text, "list.form", nullptr));
    auto* copy = As<TcxListBox>(loaded->FindComponent("List"));
    ASSERT_NE(copy, nullptr) << text;
    EXPECT_EQ(copy->Items()->Count(), 2);
    EXPECT_TRUE(copy->IntegralHeight());
    EXPECT_EQ(copy->ListStyle(), lbOwnerDrawFixed);
    EXPECT_EQ(copy->Columns(), 2);
    EXPECT_EQ(copy->InnerListBox()->Parent(), copy);
    EXPECT_FALSE(copy->InnerListBox()->TabStop());
}

}  // namespace
