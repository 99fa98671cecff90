// The inner list box in a container on the headless display under a
// distinct system palette: the external bars over the native ones, the grip
// corner, scrolling from the external bars, keys and dialog codes, the
// automatic drag of a multi-select list, owner drawing and the menu.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "components/foundation/cxContainerListBox.h"
#include "tests/components/control_units.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/winuser.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace visualtest;

namespace {

constexpr TColor kFormColor = 0x00336699;

std::uint32_t Rgb(TColor color)
{
    const COLORREF c = color < 0 ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Notes the characters and keys that reach the native list.
class TTestListBox : public TcxCustomInnerListBox {
public:
    static TClass StaticClass() { return DefineClass<TTestListBox, TcxCustomInnerListBox>("TTestListBox"); }
    TClass ClassType() const override { return StaticClass(); }
    void DefaultHandler(TMessage& m) override
    {
        if (m.Msg == WM_CHAR || m.Msg == WM_KEYDOWN)
            Note(this, std::string(m.Msg == WM_CHAR ? "native char " : "native key ") + std::to_string(m.WParam));
        TcxCustomInnerListBox::DefaultHandler(m);
    }
};

class TListContainer : public TcxContainer {
public:
    static TClass StaticClass() { return DefineClass<TListContainer, TcxContainer>("TListContainer"); }
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override
    {
        TcxContainer::Construct(owner);
        list = CreateObject<TTestListBox>(this);
        list->SetName("list");
        list->SetContainer(this);
        list->SetParent(this);
        SetInnerControl(list);
    }
    TTestListBox* list = nullptr;
    bool keepListBounds = false;

    void SetSize() override
    {
        if (!keepListBounds) TcxContainer::SetSize();
    }

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        Note(this, MouseNote("down", button, shift, x, y) + (InnerControlMouseDown() ? " from list" : ""));
        TcxContainer::MouseDown(button, shift, x, y);
    }
    void KeyDown(WORD& key, TShiftState shift) override
    {
        Note(this, "key " + std::to_string(key));
        TcxContainer::KeyDown(key, shift);
    }
};

class ContainerListBox : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        componenttest::StartControlUnits();
        cxContainerInitialize();
        form = NewForm(400, 300);
        form->SetColor(kFormColor);
        other = Add<TTraceControl>(form, "other", 300, 250, 30, 30);
        container = Add<TListContainer>(form, "container", 20, 20, 120, 100);
        container->Style()->SetBorderStyle(cbsSingle);
        list = container->list;
        list->LookAndFeel()->SetKind(lfUltraFlat);
        form->Show();
        Pump();
        Log().clear();
    }
    void TearDown() override
    {
        TPopupMenu::SetTracker(nullptr);
        form->Free();
        cxContainerFinalize();
        componenttest::EndControlUnits();
        quelvo::gfx::ResetSysColors();
        VisualTest::TearDown();
    }
    void Fill(int count)
    {
        list->Items()->BeginUpdate();
        for (int i = 0; i < count; ++i) list->Items()->Add("item " + std::to_string(i));
        list->Items()->EndUpdate();
        Pump();
    }
    // The native bar's rectangle in the container's client coordinates.
    RECT NativeBar(LONG objectId)
    {
        SCROLLBARINFO info{};
        info.cbSize = sizeof(info);
        GetScrollBarInfo(list->Handle(), objectId, &info);
        const POINT p = container->ScreenToClient(POINT{info.rcScrollBar.left, info.rcScrollBar.top});
        return RECT{p.x, p.y, p.x + info.rcScrollBar.right - info.rcScrollBar.left,
                    p.y + info.rcScrollBar.bottom - info.rcScrollBar.top};
    }
    // The screen shows at the bar what a lone bar with its values shows.
    void ExpectShownLikeALoneBar(TcxScrollBar* bar)
    {
        auto* lone = Add<TcxScrollBar>(form, "lone", 200, 20, bar->Width(), bar->Height());
        lone->SetKind(bar->Kind());
        lone->LookAndFeel()->SetKind(lfUltraFlat);
        lone->SetScrollParams(bar->Min(), bar->Max(), bar->Position(), bar->PageSize());
        lone->SetEnabled(bar->Enabled());
        Pump();
        int differences = 0;
        for (int y = 0; y < bar->Height(); ++y)
            for (int x = 0; x < bar->Width(); ++x) differences += Px(bar, x, y) != Px(lone, x, y);
        EXPECT_EQ(differences, 0) << "pixels of the bar that differ from a lone bar";
        // The native bar below looks otherwise.
        bar->SetVisible(false);
        Pump();
        differences = 0;
        for (int y = 0; y < bar->Height(); ++y)
            for (int x = 0; x < bar->Width(); ++x) differences += Px(bar, x, y) != Px(lone, x, y);
        EXPECT_GT(differences, 0) << "the native bar shows the same";
        bar->SetVisible(true);
        lone->Free();
        Pump();
    }
    std::uint32_t Px(TControl* c, int x, int y)
    {
        const POINT p = c->ClientToScreen(POINT{x, y});
        return Screen().ScreenPixel(p.x, p.y);
    }
    std::string Selection()
    {
        std::string s;
        for (int i = 0; i < list->Count(); ++i)
            if (list->Selected(i)) s += std::to_string(i) + " ";
        return s;
    }
    POINT ItemPoint(int index)
    {
        const RECT r = list->ItemRect(index);
        return list->ClientToScreen(POINT{r.left + 5, (r.top + r.bottom) / 2});
    }

    TForm* form = nullptr;
    TTraceControl* other = nullptr;
    TListContainer* container = nullptr;
    TTestListBox* list = nullptr;
};

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(ContainerListBox, ExternalBarsFollowTheNativeBars)
{
    TcxScrollBar* v = list->VScrollBar();
    TcxScrollBar* h = list->HScrollBar();
    ASSERT_TRUE(v && h);
    EXPECT_FALSE(v->Visible());
    EXPECT_FALSE(h->Visible());
    list->SetFocus();
    struct Step {
        const char* what;
        std::function<void()> act;
        bool vertical;
        bool horizontal;
        int position;  // of the vertical bar; -1: the top index, whatever it is
    };
    const std::vector<Step> steps = {
        {"add", [&] { Fill(30); }, true, false, 0},
        {"horizontal extent", [&] { list->SetScrollWidth(400); }, true, true, 0},
        {"top index", [&] { list->SetTopIndex(10); }, true, true, 10},
        {"wheel", [&] { Screen().Wheel(ItemPoint(12), -WHEEL_DELTA); }, true, true, 13},
        {"delete", [&] { list->Items()->Delete(29); }, true, true, -1},
        {"resize", [&] { container->SetBounds(20, 20, 160, 140); }, true, true, -1},
        {"no horizontal extent", [&] { list->SetScrollWidth(0); }, true, false, -1},
        {"clear", [&] { list->Items()->Clear(); }, false, false, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        Pump();
        EXPECT_EQ(v->Visible(), step.vertical);
        EXPECT_EQ(h->Visible(), step.horizontal);
        for (TcxScrollBar* bar : {v, h}) {
            if (!bar->Visible()) {
                EXPECT_EQ(Text(bar->BoundsRect()), "0,0,0,0");
                continue;
            }
            EXPECT_EQ(bar->Parent(), container);
            EXPECT_EQ(Text(bar->BoundsRect()), Text(NativeBar(bar->Kind() == sbVertical ? OBJID_VSCROLL : OBJID_HSCROLL)));
        }
        if (v->Visible()) {
            if (step.position >= 0) { EXPECT_EQ(v->Position(), step.position); }
            EXPECT_EQ(v->Position(), list->TopIndex());
            EXPECT_EQ(v->Max(), list->Count() - 1);
        }
    }
}

TEST_F(ContainerListBox, TheScreenShowsTheExternalBarsAndTheGripCorner)
{
    Fill(30);
    list->SetScrollWidth(400);
    list->SetTopIndex(7);
    Pump();
    TcxScrollBar* v = list->VScrollBar();
    TcxScrollBar* h = list->HScrollBar();
    ASSERT_TRUE(v->Visible() && h->Visible());
    ExpectShownLikeALoneBar(v);
    ExpectShownLikeALoneBar(h);
    const RECT grip = list->GetSizeGripRect();
    EXPECT_EQ(grip.right - grip.left, v->Width());
    EXPECT_EQ(grip.bottom - grip.top, h->Height());
    // Just inside the corner square, in the list's window coordinates.
    RECT window{};
    GetWindowRect(list->Handle(), &window);
    EXPECT_EQ(Screen().ScreenPixel(window.left + grip.left + 2, window.top + grip.top + 2), Rgb(clBtnFace));
    EXPECT_EQ(Screen().ScreenPixel(window.left + grip.right - 2, window.top + grip.bottom - 2), Rgb(clBtnFace));
}

TEST_F(ContainerListBox, NoExternalBarsOutsideTheContainerOrWithoutAParent)
{
    Fill(30);
    ASSERT_TRUE(list->VScrollBar()->Visible());
    // Its native bar left of the container's client area.
    container->keepListBounds = true;
    list->SetBounds(-200, 2, 150, 80);
    Pump();
    EXPECT_FALSE(list->VScrollBar()->Visible());
    EXPECT_EQ(Text(list->VScrollBar()->BoundsRect()), "0,0,0,0");

    auto* lone = CreateObject<TcxCustomInnerListBox>(form);
    lone->SetParentWindow(form->Handle());
    lone->SetBounds(200, 150, 80, 60);
    lone->HandleNeeded();
    for (int i = 0; i < 30; ++i) lone->Items()->Add("item");
    lone->SetScrollWidth(300);
    Pump();
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetScrollBarInfo(lone->Handle(), OBJID_VSCROLL, &info));
    EXPECT_EQ(info.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u) << "the native bar shows";
    EXPECT_FALSE(lone->VScrollBar()->Visible());
    EXPECT_FALSE(lone->HScrollBar()->Visible());
    lone->Free();
}


TEST_F(ContainerListBox, TheExternalVerticalBarScrollsTheList)
{
    Fill(40);
    TcxScrollBar* v = list->VScrollBar();
    ASSERT_TRUE(v->Visible());
    const int page = v->PageSize();
    ASSERT_GT(page, 2);
    const auto press = [&](const RECT& r) {
        Screen().Click(v->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
        Pump();
    };
    press(v->LineDownRect());
    EXPECT_EQ(list->TopIndex(), 1) << "a line step sets the top item";
    press(v->LineUpRect());
    EXPECT_EQ(list->TopIndex(), 0);
    press(v->PageDownRect());
    EXPECT_EQ(list->TopIndex(), page - 1) << "a page step goes through the native bar";
    EXPECT_EQ(v->Position(), list->TopIndex());
    // Dragging the thumb to the far end.
    const RECT thumb = v->ThumbnailRect();
    const POINT from = v->ClientToScreen(POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
    Screen().ButtonDown(from);
    Screen().MoveMouse(POINT{from.x, from.y + v->Height()});
    Screen().ButtonUp(POINT{from.x, from.y + v->Height()});
    Pump();
    EXPECT_EQ(list->TopIndex(), 40 - page) << "the thumb position reaches the native list";
    EXPECT_EQ(v->Position(), list->TopIndex());
}

TEST_F(ContainerListBox, EnterAndTabNeverReachTheNativeList)
{
    Fill(5);
    list->SetFocus();
    Pump();
    Log().clear();
    // Typed letters go to the list's own search; Escape passes through.
    for (char c : {'\r', '\t', '\x1b'}) list->Perform(WM_CHAR, static_cast<WPARAM>(c), 0);
    EXPECT_EQ(Log(), (Trace{"list native char 27"}));
    Log().clear();
    Screen().PressKey(VK_TAB);
    Pump();
    EXPECT_EQ(GetFocus(), other->Handle()) << "Tab moves on to the next control";
    for (const std::string& line : Log()) EXPECT_EQ(line.find("native"), std::string::npos) << line;
    EXPECT_NE(std::find(Log().begin(), Log().end(), "container key 9"), Log().end()) << "the container sees Tab";
}

TEST_F(ContainerListBox, DialogCodesWantTabUnlessCtrlIsHeld)
{
    struct Case {
        bool withContainer;
        bool ctrl;
        LRESULT wanted;
    };
    const Case cases[] = {{true, false, DLGC_WANTCHARS | DLGC_WANTTAB}, {true, true, DLGC_WANTCHARS}, {false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("container ") + (c.withContainer ? "yes" : "no") + " ctrl " + (c.ctrl ? "yes" : "no"));
        list->SetContainer(c.withContainer ? container : nullptr);
        if (c.ctrl) Screen().KeyDown(VK_CONTROL);
        Pump();
        const LRESULT code = list->Perform(WM_GETDLGCODE);
        EXPECT_EQ(code & DLGC_WANTTAB, c.wanted & DLGC_WANTTAB);
        if (c.withContainer) { EXPECT_EQ(code & DLGC_WANTCHARS, DLGC_WANTCHARS); }
        EXPECT_EQ(code & DLGC_WANTARROWS, DLGC_WANTARROWS) << "the native list's own code stays";
        if (c.ctrl) Screen().KeyUp(VK_CONTROL);
        Pump();
    }
}

TEST_F(ContainerListBox, MouseGoesToTheContainerMovedByTheListsPlace)
{
    Fill(5);
    Log().clear();
    bool clicked = false;
    container->OnClick = TNotifyEvent::FromFunction([&](TObject*) { clicked = true; });
    Screen().Click(list->ClientToScreen(POINT{10, 5}));
    Pump();
    const POINT offset{list->Left(), list->Top()};
    const std::string down = "container " + MouseNote("down", mbLeft, {ssLeft}, 10 + offset.x, 5 + offset.y) + " from list";
    EXPECT_NE(std::find(Log().begin(), Log().end(), down), Log().end()) << down;
    EXPECT_FALSE(container->InnerControlMouseDown());
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_TRUE(clicked) << "a click on the list is the container's click";
}

TEST_F(ContainerListBox, AutomaticDragOfAMultiSelectList)
{
    struct Case {
        const char* what;
        int item;
        int modifier;  // 0: none
        const char* selection;
        bool drags;
    };
    const Case cases[] = {
        {"a selected item", 2, 0, "0 2 ", true},
        {"a selected item with Ctrl", 2, VK_CONTROL, "0 2 ", true},
        {"an unselected item", 1, 0, "1 ", true},
        {"an unselected item with Ctrl", 1, VK_CONTROL, "0 1 2 ", false},
        {"a selected item with Shift", 2, VK_SHIFT, "0 1 2 ", false},
    };
    Fill(6);
    list->SetMultiSelect(true);
    container->SetDragMode(dmAutomatic);
    Pump();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Advance(2000);  // no double click
        list->ClearSelection();
        list->SetSelected(0, true);
        list->SetSelected(2, true);
        list->Perform(LB_SETANCHORINDEX, 0, 0);
        if (c.modifier) Screen().KeyDown(c.modifier);
        Screen().ButtonDown(ItemPoint(c.item));
        Pump();
        EXPECT_EQ(Selection(), c.selection);
        EXPECT_EQ(container->Dragging(), c.drags);
        EXPECT_FALSE(list->Dragging()) << "the list never drags on its own";
        EXPECT_EQ(list->DragMode(), dmAutomatic) << "its own drag mode comes back";
        Screen().ButtonUp(ItemPoint(c.item));
        if (c.modifier) Screen().KeyUp(c.modifier);
        Pump();
        EXPECT_FALSE(container->Dragging());
    }
}

TEST_F(ContainerListBox, OwnerDrawnItemsAndTheFocusRectangle)
{
    Fill(5);
    list->SetStyle(lbOwnerDrawFixed);
    list->SetItemIndex(1);
    list->SetFocus();
    Pump();
    const RECT selected = list->ItemRect(1);
    EXPECT_EQ(Px(list, selected.right - 3, (selected.top + selected.bottom) / 2), Rgb(clHighlight));
    const auto framed = [&](const RECT& r) {
        int off = 0;
        for (int x = r.left; x < r.right; ++x) off += Px(list, x, r.top) != Px(list, x, r.top + 2);
        return off > 0;
    };
    EXPECT_TRUE(framed(selected)) << "the focus rectangle without a drawing handler";
    list->OnDrawItem = TDrawItemEvent::FromFunction([&](TWinControl*, int, RECT r, TOwnerDrawState) {
        list->Canvas()->Brush()->SetColor(clLime);
        list->Canvas()->FillRect(r);
    });
    list->Invalidate();
    Pump();
    EXPECT_EQ(Px(list, selected.left + 3, selected.top + 3), Rgb(clLime));
    EXPECT_FALSE(framed(selected)) << "a drawing handler draws the focus itself";
}

TEST_F(ContainerListBox, ARightClickShowsTheContainersMenu)
{
    Fill(5);
    auto* menu = CreateObject<TPopupMenu>(form);
    container->SetPopupMenu(menu);
    TPopupMenu* shown = nullptr;
    TPopupMenu::SetTracker([&](TPopupMenu* m, int, int) -> TMenuItem* {
        shown = m;
        return nullptr;
    });
    EXPECT_EQ(list->GetPopupMenu(), menu);
    Screen().Click(ItemPoint(1), quelvo::win::MouseButton::Right);
    Pump();
    EXPECT_EQ(shown, menu);
}

}  // namespace
