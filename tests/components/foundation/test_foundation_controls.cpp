// The custom control base on the headless display: guarded messages, mouse
// and focus, context menus, the control's scroll bars and auto-scroll, the
// library's drag and drop, drag detection, mouse tracking and the desktop
// helpers.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>

#include "components/foundation/cxControls.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/windows/winuser.h"
#include "tests/components/foundation/foundation_modal_script.h"

using namespace hostlib;
using namespace visualtest;

namespace {

bool Logged(const std::string& what) { return std::find(Log().begin(), Log().end(), what) != Log().end(); }

int Count(const std::string& what) { return static_cast<int>(std::count(Log().begin(), Log().end(), what)); }

// Draws a 2-pixel red border; everything else is the base's.
class TRingPainter : public TcxCustomLookAndFeelPainter {
public:
    int BorderSize() const override { return 2; }
    void DrawBorder(TcxCanvas* canvas, const RECT& r) const override { canvas->FrameRect(r, clRed, 2); }
};
const TRingPainter kRingPainter;

class TTestControl : public TcxControl {
public:
    static TClass StaticClass() { return DefineClass<TTestControl, TcxControl>("TTestControl"); }
    TClass ClassType() const override { return StaticClass(); }

    bool focusable = true;
    bool startDragAndDrop = false;
    bool refuseDrag = false;
    using TcxControl::SetExplicitBounds;
    TcxMouseWheelScrollingKind wheelKind = mwskNone;
    POINT afterDown{-99, -99};

    bool MayFocus() override { return focusable; }
    bool StartDragAndDrop(const POINT&) override { return startDragAndDrop; }
    bool StartDrag(TDragObject*) override { return !refuseDrag; }
    TcxMouseWheelScrollingKind GetMouseWheelScrollingKind() override { return wheelKind; }
    void Scroll(TScrollBarKind kind, TScrollCode code, int&) override
    {
        Log().push_back(std::string("scroll ") + (kind == sbVertical ? "v" : "h") + std::to_string(code));
    }
    void AfterMouseDown(TMouseButton button, int x, int y) override
    {
        afterDown = POINT{x, y};
        TcxControl::AfterMouseDown(button, x, y);
    }
    void DoCancelMode() override
    {
        Log().push_back("cancel mode");
        TcxControl::DoCancelMode();
    }
    void MouseEnter(TControl* c) override
    {
        Log().push_back("enter " + c->Name());
        TcxControl::MouseEnter(c);
    }
    void MouseLeave(TControl* c) override
    {
        Log().push_back("leave " + c->Name());
        TcxControl::MouseLeave(c);
    }

protected:
    void Paint() override
    {
        TcxControl::Paint();
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(ClientRect());
    }
};

class TRecordingDragAndDrop : public TcxDragAndDropObject {
public:
    static inline bool immediate = false;
    bool GetImmediateStart() override { return immediate; }

protected:
    void BeginDragAndDrop() override
    {
        Log().push_back("dnd begin");
        TcxDragAndDropObject::BeginDragAndDrop();
    }
    void DragAndDrop(const POINT& p, bool& accepted) override
    {
        accepted = p.x >= 100;
        Log().push_back(std::string("dnd move ") + (accepted ? "accepted" : "refused"));
        TcxDragAndDropObject::DragAndDrop(p, accepted);
    }
    void EndDragAndDrop(bool accepted) override
    {
        Log().push_back(std::string("dnd end ") + (accepted ? "accepted" : "refused"));
        TcxDragAndDropObject::EndDragAndDrop(accepted);
    }
    void AfterDragAndDrop(bool) override { Log().push_back("dnd after"); }
};

class Controls : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxControlsInitialize();
        Mouse->SetDragThreshold(5);
        form = NewForm(400, 300);
        control = Add<TTestControl>(form, "control", 10, 10, 200, 100);
        form->Show();
        Pump();
        Log().clear();
    }
    void TearDown() override
    {
        // Every look and feel goes before the unit that keeps their root.
        form->Free();
        form = nullptr;
        control = nullptr;
        cxControlsFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        VisualTest::TearDown();
    }
    TForm* form = nullptr;
    TTestControl* control = nullptr;
};

TEST_F(Controls, ConstructionDefaults)
{
    EXPECT_EQ(control->BorderStyle(), cxcbsNone);
    EXPECT_EQ(control->ScrollBars(), ssBoth);
    EXPECT_TRUE(control->Keys().Empty());
    EXPECT_TRUE(control->TabStop()) << "from MayFocus";
    EXPECT_TRUE(control->ParentBackground());
    EXPECT_TRUE(control->FocusOnMouseClick());
    EXPECT_FALSE(control->HScrollBarVisible());
    EXPECT_FALSE(control->VScrollBarVisible());
    EXPECT_EQ(control->DragAndDropState(), ddsNone);
    EXPECT_NE(control->LookAndFeel(), nullptr);
    EXPECT_EQ(control->ActiveCanvas(), control->Canvas());
    auto* loose = CreateObject<TTestControl>(nullptr);
    loose->focusable = false;
    EXPECT_NE(loose->ActiveCanvas(), loose->Canvas()) << "a screen canvas until a window exists";
    loose->Free();
}

TEST_F(Controls, AHandlerThatFreesTheControlStopsEverythingAfterIt)
{
    control->OnMouseDown = TMouseEvent::FromFunction([&](TObject*, TMouseButton, TShiftState, int, int) {
        // The handler lives in the control: nothing of it is touched after the free.
        TTestControl* doomed = control;
        control = nullptr;
        doomed->Free();
    });
    Screen().Click(At(form, 50, 50));
    Pump();
    EXPECT_EQ(control, nullptr);
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(Controls, AnAutomaticDragWaitsForTheLibrarysDetection)
{
    control->SetDragMode(dmAutomatic);
    int starts = 0;
    control->OnStartDrag = TStartDragEvent::FromFunction([&](TObject*, TDragObject*&) { ++starts; });
    const POINT p = At(control, 20, 20);
    Screen().ButtonDown(p);
    Screen().ButtonUp(p);
    Pump();
    EXPECT_EQ(starts, 0) << "a press without moving drags nothing";
    EXPECT_FALSE(DraggingAny());

    Advance(1000);  // no double click
    Screen().ButtonDown(p);
    Screen().MoveMouse(POINT{p.x + 10, p.y});
    Screen().MoveMouse(POINT{p.x + 150, p.y});
    Pump();
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(DraggingAny());
    EXPECT_TRUE(dynamic_cast<TcxDragControlObject*>(CurrentDragObject())) << "the library's drag object";
    Screen().ButtonUp(POINT{p.x + 150, p.y});
    Pump();
    EXPECT_FALSE(DraggingAny());

    // A drag the control refuses when it starts never begins.
    control->refuseDrag = true;
    Advance(1000);
    Screen().ButtonDown(p);
    Screen().MoveMouse(POINT{p.x + 10, p.y});
    Screen().MoveMouse(POINT{p.x + 150, p.y});
    Pump();
    EXPECT_EQ(starts, 2);
    EXPECT_FALSE(DraggingAny());
    EXPECT_NE(GetCapture(), control->Handle()) << "nothing holds the mouse for a refused drag";
    Screen().ButtonUp(POINT{p.x + 150, p.y});
    Pump();
}

TEST_F(Controls, AnExplicitBoundsRectangleReplacesTheClientRectangle)
{
    const auto text = [](const RECT& r) {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    };
    control->SetBorderStyle(cxcbsDefault);
    control->SetScrollBars(ssNone);
    Pump();
    const std::string client = text(control->ClientRect());
    EXPECT_EQ(text(control->GetBounds()), client);
    const int b = control->GetBorderSize();
    control->SetExplicitBounds(RECT{10, 8, 60, 48});
    EXPECT_EQ(text(control->GetBounds()), "10,8,60,48");
    EXPECT_EQ(text(control->GetClientBounds()), text(RECT{10 + b, 8 + b, 60 - b, 48 - b})) << "the border inside it";
    control->SetExplicitBounds(RECT{});
    EXPECT_EQ(text(control->GetBounds()), client) << "an empty rectangle goes back to the client rectangle";
}

TEST_F(Controls, AControlWiderThan16BitsTakesThePointFromTheCursor)
{
    control->SetBounds(-34000, 10, 40000, 100);
    Pump();
    const POINT screen = At(form, 300, 50);
    Screen().Click(screen);
    Pump();
    const POINT expected = control->ScreenToClient(screen);
    EXPECT_GT(expected.x, 32767);
    EXPECT_EQ(control->afterDown.x, expected.x);
    EXPECT_EQ(control->afterDown.y, expected.y);
}

TEST_F(Controls, DialogCodeFollowsKeys)
{
    struct Case {
        TcxKeys keys;
        LRESULT code;
    };
    const Case cases[] = {{{}, 0}, {{kArrows, kChars}, 0x81}, {{kAll}, 4}, {{kTab}, 2}, {{kAll, kArrows, kChars, kTab}, 0x87}};
    for (const Case& c : cases) {
        control->SetKeys(c.keys);
        EXPECT_EQ(SendMessageA(control->Handle(), WM_GETDLGCODE, 0, 0), c.code);
    }
}

class ContextMenus : public Controls {
protected:
    void SetUp() override
    {
        Controls::SetUp();
        menu = CreateObject<TPopupMenu>(form);
        auto* item = CreateObject<TMenuItem>(form);
        item->SetCaption("Item");
        item->SetShortCut(scCtrl | 'K');
        menu->Items()->Add(item);
        TPopupMenu::SetTracker([this](TPopupMenu*, int x, int y) {
            shown.push_back(POINT{x, y});
            return nullptr;
        });
    }
    TPopupMenu* menu = nullptr;
    std::vector<POINT> shown;
};

TEST_F(ContextMenus, ByMouseInsideByKeyboardAtTheCornerNeverOutside)
{
    control->SetPopupMenu(menu);
    const POINT inside = At(control, 30, 40);
    SendMessageA(control->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(inside.x, inside.y));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].x, inside.x);
    EXPECT_EQ(shown[0].y, inside.y);
    EXPECT_EQ(menu->PopupComponent(), control);

    SendMessageA(control->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(-1, -1));
    ASSERT_EQ(shown.size(), 2u);
    const POINT corner = control->ClientToScreen(POINT{0, 0});
    EXPECT_EQ(shown[1].x, corner.x);
    EXPECT_EQ(shown[1].y, corner.y);

    const POINT outside = At(control, 300, 40);
    SendMessageA(control->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(outside.x, outside.y));
    EXPECT_EQ(shown.size(), 2u);

    menu->SetAutoPopup(false);
    SendMessageA(control->Handle(), WM_CONTEXTMENU, 0, MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(shown.size(), 2u) << "a menu that does not pop up by itself stays closed";
}

TEST_F(ContextMenus, OnlyMenusAreKeptAndAFreedMenuIsForgotten)
{
    auto* plain = CreateObject<TComponent>(form);
    control->SetPopupMenu(plain);
    EXPECT_EQ(control->PopupMenu(), nullptr);
    control->SetPopupMenu(menu);
    EXPECT_EQ(control->PopupMenu(), menu);
    menu->Free();
    EXPECT_EQ(control->PopupMenu(), nullptr);
}

TEST_F(ContextMenus, AShortcutIsFoundUpTheParentChain)
{
    auto* inner = Add<TTestControl>(control, "inner", 5, 5, 50, 50);
    Pump();
    TMessage key{CN_KEYDOWN, 'K', 0, 0};
    Screen().KeyDown(VK_CONTROL);
    Pump();
    EXPECT_FALSE(inner->IsMenuKey(key));
    control->SetPopupMenu(menu);
    EXPECT_TRUE(inner->IsMenuKey(key));
    Screen().KeyUp(VK_CONTROL);
    Pump();
}

TEST_F(Controls, FocusOnClickButNotOnDoubleClickAndMouseDownEvenWithoutFocus)
{
    auto* other = Add<TTestControl>(form, "other", 220, 10, 100, 100);
    auto* still = Add<TTestControl>(form, "still", 220, 150, 100, 100);
    still->focusable = false;
    int downs = 0;
    still->OnMouseDown = TMouseEvent::FromFunction([&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; });
    Pump();
    Screen().Click(At(control));
    Pump();
    EXPECT_TRUE(control->Focused());
    Screen().Click(At(still));
    Pump();
    EXPECT_EQ(downs, 1);
    EXPECT_TRUE(control->Focused()) << "a control that takes no focus leaves it";
    other->SetFocus();
    Pump();
    SendMessageA(control->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_TRUE(other->Focused()) << "a double click does not move the focus";
}

TEST_F(Controls, LosingTheCaptureWhileStartingCancels)
{
    control->startDragAndDrop = true;
    control->SetDragAndDropObjectClass(&cxDragAndDropObjectClass<TRecordingDragAndDrop>);
    TRecordingDragAndDrop::immediate = false;
    Screen().ButtonDown(At(control));
    Pump();
    ASSERT_EQ(control->DragAndDropState(), ddsStarting);
    ASSERT_TRUE(control->MouseCapture());
    control->SetMouseCaptureObject(nullptr);
    EXPECT_EQ(control->DragAndDropState(), ddsNone);
    EXPECT_TRUE(Logged("cancel mode"));
    Screen().ButtonUp(At(control));
    Pump();
}

TEST_F(Controls, TheWheelScrollsAsManyLinesAsTheSystemSays)
{
    Screen().Wheel(At(control), -120);
    Pump();
    EXPECT_EQ(Count("scroll v1"), 0) << "nothing to scroll without a scrolling kind";
    control->wheelKind = mwskVertical;
    Screen().Wheel(At(control), -120);
    Pump();
    EXPECT_EQ(Count("scroll v1"), 3);
    control->wheelKind = mwskHorizontal;
    Screen().Wheel(At(control), 120);
    Pump();
    EXPECT_EQ(Count("scroll h0"), 3);
}

TEST_F(Controls, TheDefaultBorderIsThePaintersAndClipsTheClient)
{
    control->LookAndFeel()->SetPainter(&kRingPainter);
    control->SetBorderStyle(cxcbsDefault);
    control->Repaint();
    Pump();
    HWND h = form->Handle();
    const POINT o{control->Left(), control->Top()};
    EXPECT_EQ(Screen().ClientPixel(h, o.x, o.y), 0xFF0000u);
    EXPECT_EQ(Screen().ClientPixel(h, o.x + 1, o.y + 50), 0xFF0000u);
    EXPECT_EQ(Screen().ClientPixel(h, o.x + 199, o.y + 99), 0xFF0000u);
    EXPECT_EQ(Screen().ClientPixel(h, o.x + 2, o.y + 2), 0x0000FFu) << "just inside the ring";
    control->SetBorderStyle(cxcbsNone);
    control->Repaint();
    Pump();
    EXPECT_EQ(Screen().ClientPixel(h, o.x, o.y), 0x0000FFu);
}

// ---- the control's scroll bars ----

// Scrolls content of a given size by pixels or lines.
class TContentControl : public TTestControl {
public:
    static TClass StaticClass() { return DefineClass<TContentControl, TTestControl>("TContentControl"); }
    TClass ClassType() const override { return StaticClass(); }

    SIZE content{0, 0};
    bool pixel = false;
    bool allowHide = true;
    // Pages as if both bars always showed.
    bool reserve = false;
    // Wants a horizontal bar exactly while it has none.
    bool flip = false;
    int rounds = 0;
    int boundsChanges = 0;

    void SetContent(SIZE size)
    {
        content = size;
        UpdateScrollBars();
    }
    void InitScrollBarsParameters() override
    {
        ++rounds;
        if (flip) {
            SetScrollBarInfo(sbHorizontal, 0, 99, 1, HScrollBar()->Visible() ? 100 : 10, 0, true, true);
            return;
        }
        SIZE page = reserve ? SIZE{Width() - 17, Height() - 17} : SIZE{ClientWidthOf(), ClientHeightOf()};
        SetScrollBarInfo(sbHorizontal, 0, content.cx - 1, 1, page.cx, 0, true, allowHide);
        SetScrollBarInfo(sbVertical, 0, content.cy - 1, 1, page.cy, 0, true, allowHide);
    }
    bool IsPixelScrollBar(TScrollBarKind) override { return pixel; }
    void BoundsChanged() override
    {
        ++boundsChanges;
        TTestControl::BoundsChanged();
    }

private:
    int ClientWidthOf()
    {
        const RECT r = GetClientBounds();
        return r.right - r.left;
    }
    int ClientHeightOf()
    {
        const RECT r = GetClientBounds();
        return r.bottom - r.top;
    }
};

class ScrollBars : public Controls {
protected:
    void SetUp() override
    {
        Controls::SetUp();
        content = Add<TContentControl>(form, "content", 10, 120, 200, 100);
        Pump();
    }
    // "h" / "v" for each visible bar, lower case when disabled.
    std::string Shown(TContentControl* c)
    {
        std::string s;
        if (c->HScrollBar()->Visible()) s += c->HScrollBar()->Enabled() ? "H" : "h";
        if (c->VScrollBar()->Visible()) s += c->VScrollBar()->Enabled() ? "V" : "v";
        return s;
    }
    TContentControl* content = nullptr;
};

TEST_F(ScrollBars, NoBarsWithoutNeedsScrollBars)
{
    class TBare : public TTestControl {
    public:
        bool NeedsScrollBars() override { return false; }
    };
    auto* bare = CreateObject<TBare>(form);
    EXPECT_EQ(bare->HScrollBar(), nullptr);
    EXPECT_EQ(bare->VScrollBar(), nullptr);
    EXPECT_EQ(bare->SizeGrip(), nullptr);
    bare->SetBounds(0, 0, 50, 50);
    bare->SetParent(form);
    Pump();
    EXPECT_FALSE(bare->HScrollBarVisible());
    EXPECT_EQ(bare->ControlCount(), 0);
    EXPECT_EQ(content->HScrollBar()->Parent(), content) << "the bars belong to the control's window";
    EXPECT_TRUE(content->IsInternalControl(content->SizeGrip()));
    EXPECT_FALSE(content->IsInternalControl(bare));
}

TEST_F(ScrollBars, WhatABarIsToldDecidesWhetherItShows)
{
    struct Case {
        const char* name;
        TScrollStyle style;
        TScrollBarKind kind;
        int min, max, page, pos;
        bool allowHide;
        bool visible, enabled;
    };
    const Case cases[] = {
        {"a style without the kind", ssVertical, sbHorizontal, 0, 999, 10, 0, false, false, false},
        {"a style with only the kind", ssVertical, sbVertical, 0, 999, 10, 5, true, true, true},
        {"the page covers the range, may hide", ssBoth, sbHorizontal, 0, 99, 100, 0, true, false, false},
        {"the page covers the range, may not hide", ssBoth, sbHorizontal, 0, 99, 100, 0, false, true, false},
        {"max below min", ssBoth, sbVertical, 10, 5, 1, 10, false, true, false},
        {"position below min", ssBoth, sbVertical, 10, 500, 1, 3, false, true, false},
        {"something to scroll", ssBoth, sbHorizontal, 0, 999, 100, 40, true, true, true},
    };
    for (const Case& c : cases) {
        content->SetScrollBars(c.style);
        TcxControlScrollBar* bar = c.kind == sbHorizontal ? content->HScrollBar() : content->VScrollBar();
        bar->Data() = TcxScrollBarData{};
        content->SetScrollBarInfo(c.kind, c.min, c.max, 3, c.page, c.pos, true, c.allowHide);
        const TcxScrollBarData& d = bar->Data();
        EXPECT_EQ(d.Visible, c.visible) << c.name;
        EXPECT_EQ(d.Enabled, c.enabled) << c.name;
        EXPECT_EQ(d.AllowHide, c.allowHide) << c.name;
        if (!c.enabled) continue;
        EXPECT_EQ(d.Min, c.min) << c.name;
        EXPECT_EQ(d.Max, c.max) << c.name;
        EXPECT_EQ(d.SmallChange, 3) << c.name;
        EXPECT_EQ(d.LargeChange, c.page) << c.name;
        EXPECT_EQ(d.PageSize, c.page) << c.name;
        EXPECT_EQ(d.Position, c.pos) << c.name;
    }
}

TEST_F(ScrollBars, VisibilitySettlesOnWhatTheOtherBarLeaves)
{
    struct Case {
        SIZE size;
        const char* shown;
    };
    const Case cases[] = {
        {{190, 90}, ""},     // fits
        {{250, 50}, "H"},    // too wide, and the bar leaves room enough
        {{190, 150}, "HV"},  // fits in width only while no vertical bar shows
        {{250, 90}, "HV"},   // fits in height only while no horizontal bar shows
        {{100, 300}, "V"},
    };
    for (const Case& c : cases) {
        content->SetContent(c.size);
        EXPECT_EQ(Shown(content), c.shown) << c.size.cx << "x" << c.size.cy;
        EXPECT_EQ(content->SizeGrip()->Visible(), std::string(c.shown) == "HV");
    }
    content->allowHide = false;
    content->SetContent(SIZE{10, 10});
    EXPECT_EQ(Shown(content), "hv") << "bars that may not hide stay, disabled";
}

TEST_F(ScrollBars, UpdatesThatWouldFlipLeaveTheBarShownDisabled)
{
    content->flip = true;
    content->SetContent(SIZE{});
    EXPECT_EQ(Shown(content), "h");
    EXPECT_LT(content->rounds, 10);
    content->rounds = 0;
    content->SetContent(SIZE{});
    EXPECT_EQ(Shown(content), "h") << "and stays so";
    EXPECT_LT(content->rounds, 10);
}

TEST_F(ScrollBars, PixelBarsThatOnlyNeedEachOtherHideTogether)
{
    content->reserve = true;
    for (bool pixel : {false, true}) {
        content->pixel = pixel;
        content->SetContent(SIZE{195, 95});
        EXPECT_EQ(Shown(content), pixel ? "" : "HV") << pixel;
    }
    content->SetContent(SIZE{205, 95});
    EXPECT_EQ(Shown(content), "HV") << "one that needs its bar keeps both";
}

TEST_F(ScrollBars, BarsAndGripLieInsideTheBoundsAndTheGripShowsButtonFace)
{
    form->SetColor(clWhite);
    content->SetContent(SIZE{400, 400});
    Pump();
    struct Case {
        TControl* part;
        RECT bounds;
    };
    const Case cases[] = {{content->HScrollBar(), {0, 83, 183, 100}},
                          {content->VScrollBar(), {183, 0, 200, 83}},
                          {content->SizeGrip(), {183, 83, 200, 100}}};
    for (const Case& c : cases) {
        const RECT r = c.part->BoundsRect();
        EXPECT_EQ(r.left, c.bounds.left) << c.part->ClassName();
        EXPECT_EQ(r.top, c.bounds.top) << c.part->ClassName();
        EXPECT_EQ(r.right, c.bounds.right) << c.part->ClassName();
        EXPECT_EQ(r.bottom, c.bounds.bottom) << c.part->ClassName();
    }
    const RECT client = content->GetClientBounds();
    EXPECT_EQ(client.right, 183);
    EXPECT_EQ(client.bottom, 83);
    const std::uint32_t face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t rgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    HWND h = form->Handle();
    EXPECT_EQ(Screen().ClientPixel(h, 10 + 190, 120 + 90), rgb) << "the grip";
    EXPECT_EQ(Screen().ClientPixel(h, 10 + 100, 120 + 40), 0x0000FFu) << "the content";
    EXPECT_NE(Screen().ClientPixel(h, 10 + 100, 120 + 91), 0x0000FFu) << "the horizontal bar";
}

TEST_F(ScrollBars, ANewSystemBarSizeResizesEveryControlsBarsOnce)
{
    auto* hidden = Add<TContentControl>(form, "hidden", 220, 120, 150, 100);
    Pump();
    TContentControl* controls[] = {content, hidden};
    for (TContentControl* c : controls) {
        c->SetContent(SIZE{400, 400});
        c->boundsChanges = 0;
    }
    NONCLIENTMETRICSA ncm;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    ncm.iScrollWidth = 21;
    ncm.iScrollHeight = 15;
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, sizeof ncm, &ncm, SPIF_SENDCHANGE));
    Pump();
    for (TContentControl* c : controls) {
        EXPECT_EQ(c->VScrollBar()->Width(), 21) << c->Name();
        EXPECT_EQ(c->HScrollBar()->Height(), 15) << c->Name();
        EXPECT_EQ(c->VScrollBar()->Left(), c->Width() - 21) << c->Name();
        EXPECT_EQ(c->boundsChanges, 1) << c->Name();
    }
    control->Perform(WM_NCCALCSIZE, 0, 0);
    Pump();
    EXPECT_EQ(content->boundsChanges, 1) << "nothing new after the next frame calculation";
}

// ---- middle-button auto-scroll ----

using foundationtest::ModalScript;

class AutoScroll : public ScrollBars {
protected:
    void SetUp() override
    {
        ScrollBars::SetUp();
        content->SetContent(SIZE{1000, 1000});
        Pump();
        anchor = At(content, 80, 40);
        Log().clear();
    }
    static HWND Anchor() { return foundationtest::VisibleAutoScrollAnchor(); }
    void StartWithClick() { Screen().Click(anchor, quelvo::win::MouseButton::Middle); }
    POINT Offset(int dx, int dy) const { return POINT{anchor.x + dx, anchor.y + dy}; }
    static ModalScript::Step Tick(quelvo::sys::ManualClock& clock)
    {
        return ModalScript::Do([&clock] { clock.Advance(20); });
    }
    void ExpectOver(const char* what)
    {
        EXPECT_FALSE(content->ScrollingContent()) << what;
        EXPECT_EQ(Anchor(), nullptr) << what;
        EXPECT_EQ(GetCapture(), nullptr) << what;
        clock_.Advance(200);
        EXPECT_EQ(GetQueueStatus(QS_TIMER), 0u) << "no timer left: " << what;
        Pump();
    }
    POINT anchor{};
};

TEST_F(AutoScroll, DistanceSetsDirectionSpeedAndCursor)
{
    struct Case {
        POINT offset;
        const char* step;  // the scroll call logged
        int steps;         // in 22 ticks of 20 ms
        TCursor cursor;
    };
    const Case cases[] = {
        {{0, 80}, "scroll v1", 22, cxcrDownScroll},   // speed 12: every tick
        {{3, 20}, "scroll v1", 2, cxcrDownScroll},    // speed 2: every 11th tick
        {{-40, 3}, "scroll h0", 3, cxcrLeftScroll},   // speed 6: every 7th
        {{30, -30}, "scroll v0", 2, cxcrUpScroll},    // a tie goes to the vertical axis; speed 4: every 9th
        {{5, -5}, "scroll", 0, cxcrFullScroll},       // the neutral zone
    };
    for (const Case& c : cases) {
        Advance(1000);
        Log().clear();
        std::vector<ModalScript::Step> steps{ModalScript::Do([&] { Screen().MoveMouse(Offset(c.offset.x, c.offset.y)); })};
        for (int i = 0; i < 22; ++i) steps.push_back(Tick(clock_));
        TCursor shown = crDefault;
        steps.push_back(ModalScript::Do([&] {
            for (TCursor id = cxcrFullScroll; id <= cxcrLeftScroll; ++id)
                if (Screen().CurrentCursor() == hostlib::Screen->Cursors(id)) shown = id;
            Screen().PressKey(VK_ESCAPE);
        }));
        ModalScript script(steps);
        StartWithClick();
        Pump();
        EXPECT_TRUE(script.Finished()) << c.step;
        int logged = 0;
        for (const auto& e : Log()) logged += e.rfind("scroll", 0) == 0;
        EXPECT_EQ(logged, c.steps) << c.offset.x << "," << c.offset.y;
        if (c.steps) {
            EXPECT_EQ(Count(c.step), c.steps) << c.offset.x << "," << c.offset.y;
        }
        EXPECT_EQ(shown, c.cursor) << c.offset.x << "," << c.offset.y;
        ExpectOver("after Esc");
    }
}

TEST_F(AutoScroll, TheAnchorShowsItsBitmapInsideItsEllipse)
{
    std::uint32_t centre = 0, corner = 0, edge = 0;
    RECT placed{};
    ModalScript script({ModalScript::Do([&] {
        ASSERT_NE(Anchor(), nullptr);
        GetWindowRect(Anchor(), &placed);
        centre = Screen().ScreenPixel(anchor.x, anchor.y);
        corner = Screen().ScreenPixel(placed.left + 1, placed.top + 1);
        edge = Screen().ScreenPixel(placed.left + 6, anchor.y + 6);
        Screen().PressKey(VK_ESCAPE);
    })});
    StartWithClick();
    Pump();
    EXPECT_EQ(placed.right - placed.left, 29);
    EXPECT_EQ(placed.left, anchor.x - 14);
    EXPECT_EQ(placed.top, anchor.y - 14);
    EXPECT_EQ(centre, 0x404040u) << "the bitmap's centre dot";
    EXPECT_EQ(edge, 0xF4F4F4u) << "the bitmap's face";
    EXPECT_EQ(corner, 0x0000FFu) << "outside the ellipse the control shows through";
    ExpectOver("after Esc");
}

TEST_F(AutoScroll, HowClicksEndIt)
{
    auto* menu = CreateObject<TPopupMenu>(form);
    auto* item = CreateObject<TMenuItem>(form);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    content->SetPopupMenu(menu);
    int menus = 0;
    TPopupMenu::SetTracker([&](TPopupMenu*, int, int) {
        ++menus;
        return nullptr;
    });
    int clicks = 0;
    content->OnClick = TNotifyEvent::FromFunction([&](TObject*) { ++clicks; });
    using quelvo::win::MouseButton;
    struct Case {
        const char* name;
        MouseButton ending;
        bool moveFirst;
    };
    const Case cases[] = {{"right click", MouseButton::Right, false},
                          {"left click", MouseButton::Left, false},
                          {"middle click after a short one", MouseButton::Middle, false}};
    for (const Case& c : cases) {
        Advance(1000);
        bool stillOn = false;
        ModalScript script({ModalScript::Do([&] { stillOn = content->ScrollingContent() && Anchor(); }),
                            ModalScript::Do([&] { Screen().Click(Offset(30, 0), c.ending); })});
        StartWithClick();
        Pump();
        EXPECT_TRUE(stillOn) << "a short middle click leaves it running: " << c.name;
        EXPECT_TRUE(script.Finished()) << c.name;
        ExpectOver(c.name);
    }
    EXPECT_EQ(menus, 0) << "the ending right click opens no menu";
    EXPECT_EQ(clicks, 0) << "the ending left click clicks nothing";

    // Held down, moved and released: the release ends it.
    Advance(1000);
    Screen().ButtonDown(anchor, MouseButton::Middle);
    ModalScript held({ModalScript::Do([&] { Screen().MoveMouse(Offset(0, 60)); }),
                      ModalScript::Do([&] { Screen().ButtonUp(Offset(0, 60), MouseButton::Middle); })});
    Pump();
    EXPECT_TRUE(held.Finished());
    ExpectOver("release after moving");
}

TEST_F(AutoScroll, QuitIsPassedOnAndNothingStartsWithoutBars)
{
    ModalScript script({ModalScript::Do([] { PostQuitMessage(7); })});
    StartWithClick();
    MSG m{};
    bool quit = false;
    for (int i = 0; i < 100 && !quit; ++i) {
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) continue;
        if (m.message == WM_QUIT) quit = true;
        else DispatchMessageA(&m);
    }
    ASSERT_TRUE(quit);
    EXPECT_EQ(m.wParam, 7u);
    ExpectOver("after WM_QUIT");

    content->SetContent(SIZE{10, 10});
    ModalScript none({});
    StartWithClick();
    Pump();
    EXPECT_FALSE(content->ScrollingContent());
    EXPECT_EQ(Anchor(), nullptr);
}

// ---- the library's drag and drop ----

class DragAndDrop : public Controls {
protected:
    void SetUp() override
    {
        Controls::SetUp();
        control->startDragAndDrop = true;
        control->SetDragAndDropObjectClass(&cxDragAndDropObjectClass<TRecordingDragAndDrop>);
        TRecordingDragAndDrop::immediate = false;
    }
    Trace DndLog()
    {
        Trace t;
        for (const auto& s : Log())
            if (s.rfind("dnd", 0) == 0) t.push_back(s);
        return t;
    }
};

TEST_F(DragAndDrop, FromPressToEnd)
{
    const POINT p = At(control, 20, 20);
    Screen().ButtonDown(p);
    Pump();
    EXPECT_EQ(control->DragAndDropState(), ddsStarting);
    Screen().MoveMouse(POINT{p.x + 2, p.y});
    Pump();
    EXPECT_EQ(control->DragAndDropState(), ddsStarting) << "still inside the drag-detect area";
    Screen().MoveMouse(POINT{p.x + 30, p.y});
    Pump();
    EXPECT_EQ(control->DragAndDropState(), ddsInProcess);
    Screen().MoveMouse(POINT{p.x + 40, p.y});
    Pump();
    EXPECT_EQ(Screen().CurrentCursor(), hostlib::Screen->Cursors(crNoDrop));
    Screen().MoveMouse(POINT{p.x + 120, p.y});
    Pump();
    EXPECT_EQ(Screen().CurrentCursor(), hostlib::Screen->Cursors(crDrag));
    Screen().ButtonUp(POINT{p.x + 120, p.y});
    Pump();
    EXPECT_EQ(control->DragAndDropState(), ddsNone);
    EXPECT_FALSE(control->MouseCapture());
    EXPECT_EQ(DndLog(), (Trace{"dnd begin", "dnd move refused", "dnd move accepted", "dnd end accepted", "dnd after"}));
    EXPECT_FALSE(Logged("cancel mode")) << "a finished drag is no cancellation";
}

TEST_F(DragAndDrop, AnImmediateStartIsInProcessAtOnce)
{
    TRecordingDragAndDrop::immediate = true;
    Screen().ButtonDown(At(control));
    Pump();
    EXPECT_EQ(control->DragAndDropState(), ddsInProcess);
    EXPECT_EQ(DndLog(), (Trace{"dnd begin"}));
    Screen().ButtonUp(At(control));
    Pump();
}

TEST_F(DragAndDrop, EscapeAndCancelModeEndItRefused)
{
    for (bool escape : {true, false}) {
        Advance(1000);  // no double click
        Log().clear();
        control->SetFocus();
        const POINT p = At(control, 20, 20);
        Screen().ButtonDown(p);
        Screen().MoveMouse(POINT{p.x + 150, p.y});
        Pump();
        ASSERT_EQ(control->DragAndDropState(), ddsInProcess);
        if (escape) Screen().PressKey(VK_ESCAPE);
        else SendMessageA(control->Handle(), WM_CANCELMODE, 0, 0);
        Pump();
        EXPECT_EQ(control->DragAndDropState(), ddsNone) << escape;
        EXPECT_TRUE(Logged("dnd end refused")) << escape;
        Screen().ButtonUp(POINT{p.x + 150, p.y});
        Pump();
    }
}

TEST_F(Controls, DragDetect)
{
    struct Case {
        const char* name;
        std::vector<int> moves;  // pixels right of the start, in order
        bool escape;
        TcxDragDetect expected;
    };
    const Case cases[] = {
        {"released without moving", {}, false, ddNone},
        {"three pixels wait, five drag", {3, 5}, false, ddDrag},
        {"three pixels then released", {3}, false, ddNone},
        {"escape", {}, true, ddCancel},
    };
    const POINT start = At(control, 50, 50);
    for (const Case& c : cases) {
        Screen().MoveMouse(start);
        Pump();
        for (int dx : c.moves) Screen().MoveMouse(POINT{start.x + dx, start.y});
        if (c.escape) Screen().PressKey(VK_ESCAPE);
        Screen().ButtonUp(start);
        EXPECT_EQ(DragDetect(control->Handle()), c.expected) << c.name;
        EXPECT_NE(GetCapture(), control->Handle()) << c.name;
        Pump();
    }
}

// ---- mouse tracking ----

struct LeaveCounter : IcxMouseTrackingCaller {
    int leaves = 0;
    void MouseLeave() override { ++leaves; }
};

TEST_F(Controls, TrackingReportsTheLeaveOnceAndTellsTheControlOnlyOutsideIt)
{
    LeaveCounter whole;
    LeaveCounter corner;
    Screen().MoveMouse(At(control, 5, 5));
    Pump();
    BeginMouseTracking(control, control->ClientRect(), &whole);
    BeginMouseTracking(control, control->ClientRect(), &whole);
    BeginMouseTracking(control, RECT{0, 0, 20, 20}, &corner);
    EXPECT_TRUE(IsMouseTracking(&whole));
    Advance(30);
    EXPECT_EQ(whole.leaves + corner.leaves, 0);

    Screen().MoveMouse(At(control, 50, 50));
    Pump();
    Advance(30);
    EXPECT_EQ(corner.leaves, 1);
    EXPECT_FALSE(IsMouseTracking(&corner));
    EXPECT_FALSE(Logged("leave control")) << "still inside the control";
    EXPECT_EQ(whole.leaves, 0);

    Screen().MoveMouse(At(form, 350, 250));
    Pump();
    Advance(30);
    Advance(30);
    EXPECT_EQ(whole.leaves, 1) << "one timer for the caller, one report";
    EXPECT_FALSE(IsMouseTracking(&whole));
    EXPECT_GE(Count("leave control"), 1) << "told once the cursor is outside the control";
}

TEST_F(Controls, TrackingLeftAtShutDownIsReportedAndFreed)
{
    LeaveCounter caller;
    BeginMouseTracking(nullptr, RECT{0, 0, 10, 10}, &caller);
    testing::internal::CaptureStderr();
    cxControlsFinalize();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("MouseTrackingTimerList.Count <> 0"), std::string::npos);
    EXPECT_FALSE(IsMouseTracking(&caller));
    cxControlsInitialize();
}

// ---- menus, desktop, hourglass ----

TEST_F(Controls, PopupMenuHeight)
{
    auto* menu = CreateObject<TPopupMenu>(form);
    for (bool visible : {true, false, true}) {
        auto* item = CreateObject<TMenuItem>(form);
        item->SetCaption("Item");
        item->SetVisible(visible);
        item->OnMeasureItem = TMenuMeasureItemEvent::FromFunction([](TObject*, TCanvas*, int&, int& h) { h = 30; });
        menu->Items()->Add(item);
    }
    TScreenCanvas canvas;
    canvas.Font()->Assign(hostlib::Screen->MenuFont());
    const int line = canvas.TextHeight("Qg") + 4;
    EXPECT_EQ(GetPopupMenuHeight(menu), 2 * line + 4);
    menu->SetOwnerDraw(true);
    EXPECT_EQ(GetPopupMenuHeight(menu), 2 * 30 + 4) << "owner-drawn items measure themselves";
}

TEST_F(Controls, WorkAreaAndMakeVisibleOnTwoMonitors)
{
    Screen().SetMonitors({RECT{0, 0, 1280, 1024}, RECT{1280, 0, 2560, 1024}});
    Screen().SetWorkArea(RECT{0, 0, 2560, 1000});
    const RECT second = GetDesktopWorkArea(POINT{2000, 10});
    EXPECT_EQ(second.left, 1280);
    EXPECT_EQ(second.bottom, 1000);
    struct Case {
        RECT bounds;
        POINT at;
        POINT expected;
    };
    const Case cases[] = {
        {{2500, 980, 2600, 1030}, {2000, 10}, {2460, 950}},  // right and bottom
        {{1200, -20, 1300, 30}, {2000, 10}, {1280, 0}},      // left and top
        {{1300, 10, 3000, 2000}, {2000, 10}, {1280, 0}},     // larger: top-left wins
        {{10, 10, 50, 50}, {100, 100}, {10, 10}},            // inside stays
    };
    for (const Case& c : cases) {
        RECT r = c.bounds;
        MakeVisibleOnDesktop(r, c.at);
        EXPECT_EQ(r.left, c.expected.x);
        EXPECT_EQ(r.top, c.expected.y);
        EXPECT_EQ(r.right - r.left, c.bounds.right - c.bounds.left);
    }
    Screen().SetMonitors({});
    Screen().SetWorkArea(RECT{});
}

TEST_F(Controls, HourglassNests)
{
    hostlib::Screen->SetCursor(crCross);
    ShowHourglassCursor();
    ShowHourglassCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crHourGlass);
    HideHourglassCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crHourGlass);
    HideHourglassCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crCross);
    HideHourglassCursor();
    EXPECT_EQ(hostlib::Screen->Cursor(), crCross) << "hiding at zero does nothing";
    hostlib::Screen->SetCursor(crDefault);
}

TEST_F(Controls, TheLibraryCursorsAreRegistered)
{
    for (TCursor id = cxcrDragCopy; id <= cxcrDrag; ++id) {
        HCURSOR cursor = hostlib::Screen->Cursors(id);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info)) << id;
        EXPECT_FALSE(info.fIcon) << id;
        // Pointing cursors point with their tip, the others at their centre.
        const bool tip = id == cxcrDragCopy || id == cxcrRemove || id == cxcrMultiDrag || id == cxcrDrag;
        EXPECT_EQ(info.xHotspot, tip ? 0u : 16u) << id;
        EXPECT_EQ(info.yHotspot, tip ? 0u : 16u) << id;
        BITMAP mask{};
        GetObjectA(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, 32) << id;
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        EXPECT_NE(cursor, hostlib::Screen->Cursors(crDefault)) << id;
    }
}

TEST_F(Controls, TheSizeGripShowsButtonFace)
{
    form->SetColor(clWhite);
    auto* grip = Add<TcxSizeGrip>(form, "grip", 300, 200, 17, 17);
    Pump();
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 299, 200), 0xFFFFFFu);
    const std::uint32_t face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t rgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    EXPECT_EQ(grip->Color(), clBtnFace);
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 300, 200), rgb);
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 316, 216), rgb);
}

// ---- popup window ----

class Popups : public Controls {
protected:
    void SetUp() override
    {
        Controls::SetUp();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        popup = CreateObject<TcxPopupWindow>(form);
    }
    void TearDown() override
    {
        popup->Free();
        Screen().SetWorkArea(RECT{});
        Controls::TearDown();
    }
    // The top-left corner of a 100 x 50 popup beside a screen rectangle.
    POINT PositionFor(const RECT& owner, TcxPopupDirection direction, TcxPopupAlignHorz h, TcxPopupAlignVert v)
    {
        popup->SetAnchorParent(nullptr);
        popup->SetAnchorBounds(owner);
        popup->SetBounds(0, 0, 100, 50);
        popup->SetPlacementDirection(direction);
        popup->SetHorzPlacement(h);
        popup->SetVertPlacement(v);
        return popup->CalculatePosition();
    }
    TcxPopupWindow* popup = nullptr;
};

TEST_F(Popups, Defaults)
{
    EXPECT_EQ(popup->Owner(), nullptr);
    EXPECT_EQ(popup->HorzPlacement(), pahLeft);
    EXPECT_EQ(popup->VertPlacement(), pavBottom);
    EXPECT_EQ(popup->PlacementDirection(), pdVertical);
    EXPECT_TRUE(popup->AutoFit());
    EXPECT_EQ(popup->BorderStyle(), pbsNone);
    EXPECT_EQ(popup->FormStyle(), fsStayOnTop);
    EXPECT_EQ(popup->OutlineColor(), clWindowText);
}

TEST_F(Popups, PositionFlipsOnlyToMoreRoomAndClampsOnlyAcross)
{
    struct Case {
        const char* name;
        RECT owner;
        TcxPopupDirection direction;
        TcxPopupAlignHorz h;
        TcxPopupAlignVert v;
        POINT expected;
    };
    const Case cases[] = {
        {"below", {200, 100, 300, 120}, pdVertical, pahLeft, pavBottom, {200, 120}},
        {"right-aligned below", {200, 100, 300, 120}, pdVertical, pahRight, pavBottom, {200, 120}},
        {"above", {200, 100, 300, 120}, pdVertical, pahLeft, pavTop, {200, 50}},
        {"bottom edge, more room above: flips", {200, 770, 300, 790}, pdVertical, pahLeft, pavBottom, {200, 720}},
        {"bottom edge, less room above: stays, unclamped", {200, 10, 300, 760}, pdVertical, pahLeft, pavBottom, {200, 760}},
        {"top edge, not more room above: flips down", {200, 20, 300, 40}, pdVertical, pahLeft, pavTop, {200, 40}},
        {"right edge clamps across", {950, 100, 990, 120}, pdVertical, pahLeft, pavBottom, {900, 120}},
        {"left edge clamps across", {-50, 100, 30, 120}, pdVertical, pahRight, pavBottom, {0, 120}},
        {"centred", {200, 100, 300, 120}, pdVertical, pahCenter, pavBottom, {200, 120}},
        {"centred at the left edge", {0, 100, 40, 120}, pdVertical, pahCenter, pavBottom, {0, 120}},
        {"right of", {200, 100, 300, 120}, pdHorizontal, pahRight, pavTop, {300, 100}},
        {"left of", {200, 100, 300, 120}, pdHorizontal, pahLeft, pavBottom, {100, 70}},
        {"right edge, more room left: flips", {850, 100, 950, 120}, pdHorizontal, pahRight, pavTop, {750, 100}},
        {"bottom edge clamps vertically", {200, 780, 300, 795}, pdHorizontal, pahRight, pavTop, {300, 750}},
        {"centred vertically", {200, 100, 300, 120}, pdHorizontal, pahRight, pavCenter, {300, 85}},
    };
    for (const Case& c : cases) {
        const POINT p = PositionFor(c.owner, c.direction, c.h, c.v);
        EXPECT_EQ(p.x, c.expected.x) << c.name;
        EXPECT_EQ(p.y, c.expected.y) << c.name;
        EXPECT_EQ(popup->HorzPlacement(), c.h) << "the properties never change";
        EXPECT_EQ(popup->VertPlacement(), c.v);
    }
}

TEST_F(Popups, AThreeDimensionalFrameWithSpaceFitsAroundTheChild)
{
    auto* child = Add<TTestControl>(popup, "child", 0, 0, 100, 50);
    popup->SetBorderStyle(pbs3D);
    popup->SetBorderSpace(2);
    popup->SetAnchorParent(control);
    popup->SetAnchorBounds(control->ClientRect());
    popup->Popup();
    Pump();
    EXPECT_EQ(child->Left(), 4);
    EXPECT_EQ(child->Top(), 4);
    EXPECT_EQ(popup->Width(), 108);
    EXPECT_EQ(popup->Height(), 58);
    EXPECT_EQ(popup->NCWidth(), 8);
    const POINT below = control->ClientToScreen(POINT{0, control->Height()});
    EXPECT_EQ(popup->Left(), below.x);
    EXPECT_EQ(popup->Top(), below.y);
    popup->CloseUp();
    popup->Popup();
    EXPECT_EQ(child->Left(), 4) << "a second popup does not move the children again";
    EXPECT_EQ(popup->Width(), 108);
    popup->SetBorderStyle(pbsNone);
    EXPECT_EQ(child->Left(), 0) << "the children move back";
}

TEST_F(Popups, FramesAsTheUserSeesThem)
{
    Add<TTestControl>(popup, "child", 0, 0, 60, 30);
    struct Case {
        TcxPopupBorderStyle style;
        std::uint32_t outer;  // the outermost ring; 0xFFFFFFFF: any edge colour
        int inside;           // the first pixel of the child
    };
    const Case cases[] = {{pbsUltraFlat, 0x00FF00u, 1}, {pbsFlat, 0xFFFFFFFFu, 1}, {pbs3D, 0xFFFFFFFFu, 2}};
    for (const Case& c : cases) {
        popup->SetOutlineColor(static_cast<TColor>(RGB(0, 255, 0)));
        popup->SetBorderStyle(c.style);
        popup->Popup();
        Pump();
        const POINT o{popup->Left(), popup->Top()};
        const std::uint32_t corner = Screen().ScreenPixel(o.x, o.y);
        if (c.outer != 0xFFFFFFFFu) EXPECT_EQ(corner, c.outer) << c.style;
        else EXPECT_NE(corner, 0x0000FFu) << c.style;
        EXPECT_NE(Screen().ScreenPixel(o.x + c.inside - 1, o.y + 15), 0x0000FFu) << "frame " << c.style;
        EXPECT_EQ(Screen().ScreenPixel(o.x + c.inside, o.y + 15), 0x0000FFu) << "child " << c.style;
        EXPECT_EQ(Screen().ScreenPixel(o.x + popup->Width() - 1, o.y + 15) == 0x0000FFu, false) << c.style;
        popup->CloseUp();
        Pump();
    }
}

TEST_F(Popups, SwitchingProgramsClosesItAndTheOwnerCaptionGoesInactive)
{
    std::vector<WPARAM> captions;
    TWndMethod previous = form->WindowProc;
    form->WindowProc = [&captions, previous](TMessage& m) {
        if (m.Msg == WM_NCACTIVATE) captions.push_back(m.WParam);
        previous(m);
    };
    Add<TTestControl>(popup, "child", 0, 0, 60, 30);
    popup->SetAnchorParent(control);
    popup->SetAnchorBounds(control->ClientRect());
    popup->Popup();
    SetActiveWindow(popup->Handle());
    Pump();
    ASSERT_TRUE(popup->Visible());
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.back(), static_cast<WPARAM>(TRUE)) << "the owner looks active while its popup is";
    quelvo::win::ForegroundChangedByDisplay(nullptr);
    Pump();
    EXPECT_FALSE(popup->Visible());
    EXPECT_EQ(captions.back(), static_cast<WPARAM>(FALSE));
    form->WindowProc = previous;
}

TEST_F(Popups, ClosesWhenItLosesTheActivation)
{
    Add<TTestControl>(popup, "child", 0, 0, 60, 30);
    popup->Popup();
    SetActiveWindow(popup->Handle());
    Pump();
    ASSERT_TRUE(popup->Visible());
    SetActiveWindow(form->Handle());
    Pump();
    EXPECT_FALSE(popup->Visible());
}

// ---- customize list box ----

class TRecordingListBox : public TcxCustomizeListBox {
public:
    int drags = 0;
    int draggedIndex = -2;

protected:
    void BeginDragAndDrop() override
    {
        ++drags;
        draggedIndex = ItemIndex();
        TcxCustomizeListBox::BeginDragAndDrop();
    }
};

TEST_F(Controls, ACustomizeListBoxStartsOneDragPastTheThreshold)
{
    auto* list = Add<TRecordingListBox>(form, "list", 220, 10, 150, 200);
    TObject* objects[3] = {CreateObject<TComponent>(form), CreateObject<TComponent>(form), CreateObject<TComponent>(form)};
    for (int i = 0; i < 3; ++i) list->Items()->AddObject("Item " + std::to_string(i), objects[i]);
    Pump();
    list->SetItemObject(objects[2]);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->ItemObject(), objects[2]);
    const RECT item = list->ItemRect(1);
    const POINT p = list->ClientToScreen(POINT{10, (item.top + item.bottom) / 2});
    Screen().ButtonDown(p);
    Screen().MoveMouse(POINT{p.x + 3, p.y});
    Pump();
    EXPECT_EQ(list->drags, 0) << "inside the threshold";
    EXPECT_EQ(list->DragAndDropItemObject(), objects[1]);
    Screen().MoveMouse(POINT{p.x + 3, p.y + 60});
    Screen().MoveMouse(POINT{p.x + 3, p.y + 80});
    Pump();
    EXPECT_EQ(list->drags, 1);
    EXPECT_EQ(list->draggedIndex, 1) << "the pressed item is selected";
    EXPECT_EQ(list->DragAndDropItemIndex(), -1);
    Screen().ButtonUp(POINT{p.x + 3, p.y + 80});
    Pump();
}

}  // namespace
