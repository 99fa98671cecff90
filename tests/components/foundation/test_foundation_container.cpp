// The container on the headless display under a distinct system palette:
// border extent, visible bounds and window region; rings and colours by
// border style and state; native painting through a recording theme layer;
// the inner control's bounds, clipping, colour, focus and keys; Tab; the
// cursor over the border; hot tracking; mirrored scroll bars.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "components/foundation/cxContainer.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/libraries.h"
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

// An inner control that answers keys with 42 and notes them.
class TTestInner : public TTraceControl, public IcxContainerInnerControl {
public:
    static TClass StaticClass() { return DefineClass<TTestInner, TTraceControl>("TTestInner"); }
    TClass ClassType() const override { return StaticClass(); }
    TWinControl* GetControl() override { return this; }
    TcxContainer* GetControlContainer() override { return As<TcxContainer>(Parent()); }
    DWORD extraStyle = 0;

protected:
    void CreateParams(TCreateParams& params) override
    {
        TTraceControl::CreateParams(params);
        params.Style |= extraStyle;
    }
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_VSCROLL) Note(this, "scroll " + std::to_string(LOWORD(m.WParam)));
        if (m.Msg == WM_KEYDOWN || m.Msg == WM_CHAR) {
            Note(this, "got " + std::to_string(m.Msg) + " " + std::to_string(m.WParam));
            m.Result = 42;
            return;
        }
        TTraceControl::Dispatch(m);
    }
};

class TTestContainer : public TcxContainer {
public:
    static TClass StaticClass() { return DefineClass<TTestContainer, TcxContainer>("TTestContainer"); }
    TClass ClassType() const override { return StaticClass(); }
    using TcxContainer::SetInnerControl;

    bool tabs = false;
    bool keepInnerBounds = false;
    TcxScrollBar* bars[2] = {nullptr, nullptr};

    bool TabsNeeded() override { return tabs; }
    void SetSize() override
    {
        if (!keepInnerBounds) TcxContainer::SetSize();
    }
    TcxScrollBar* GetMirrorScrollBar(TScrollBarKind kind) override { return bars[kind]; }
    bool NeedsScrollBars() override { return bars[0] != nullptr; }

protected:
    void KeyDown(WORD& key, TShiftState shift) override
    {
        TcxContainer::KeyDown(key, shift);
        if (key) Note(this, "key " + std::to_string(key));
    }
    void DoEnter() override
    {
        Note(this, "enter");
        TcxContainer::DoEnter();
    }
    void DoExit() override
    {
        Note(this, "exit");
        TcxContainer::DoExit();
    }
};

class Container : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxControlsInitialize();
        cxContainerInitialize();
        form = NewForm(400, 300);
        form->SetColor(kFormColor);
        other = Add<TTraceControl>(form, "other", 300, 250, 30, 30);
        container = Add<TTestContainer>(form, "container", 20, 20, 100, 40);
        form->Show();
        other->SetFocus();
        Pump();
        Log().clear();
    }
    void TearDown() override
    {
        form->Free();
        cxContainerFinalize();
        cxControlsFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        quelvo::gfx::ResetSysColors();
        VisualTest::TearDown();
    }
    std::uint32_t Px(TControl* c, int x, int y)
    {
        const POINT p = c->ClientToScreen(POINT{x, y});
        return Screen().ScreenPixel(p.x, p.y);
    }
    void Style(TcxContainerBorderStyle border, bool transparent, bool shadow)
    {
        container->Style()->BeginUpdate();
        container->Style()->SetBorderStyle(border);
        container->Style()->SetTransparentBorder(transparent);
        container->Style()->SetShadow(shadow);
        container->Style()->EndUpdate();
        Pump();
    }
    TTestInner* AddInner()
    {
        auto* inner = Add<TTestInner>(container, "inner", 0, 0, 10, 10);
        container->SetInnerControl(inner);
        container->ShortRefreshContainer(false);
        Pump();
        Log().clear();
        return inner;
    }
    std::string Focused()
    {
        TWinControl* f = TWinControl::FindControl(GetFocus());
        return f ? f->Name() : "-";
    }
    bool Hot() { return container->ViewInfo()->ContainerState.Contains(csHotTrack); }

    TForm* form = nullptr;
    TTraceControl* other = nullptr;
    TTestContainer* container = nullptr;
};

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

TEST_F(Container, BorderExtentVisibleBoundsAndRegion)
{
    struct Case {
        TcxContainerBorderStyle border;
        bool transparent;
        bool shadow;
        const char* extent;
        const char* visible;
        bool cornerShows;  // (0, 0) is part of the window
    };
    const Case cases[] = {
        {cbsSingle, true, false, "2,2,2,2", "1,1,99,39", false},
        {cbsFlat, true, false, "2,2,2,2", "0,0,100,40", true},
        {cbs3D, true, false, "2,2,2,2", "0,0,100,40", true},
        {cbsSingle, false, false, "1,1,1,1", "0,0,100,40", true},
        {cbsThick, false, false, "2,2,2,2", "0,0,100,40", true},
        {cbsSingle, true, true, "2,2,5,5", "1,1,96,36", false},
        {cbsFlat, false, true, "2,2,5,5", "0,0,97,37", true},
    };
    EXPECT_EQ(Px(form, 5, 5), Rgb(kFormColor));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.border) + " transparent " + std::to_string(c.transparent) + " shadow " +
                     std::to_string(c.shadow));
        Style(c.border, c.transparent, c.shadow);
        EXPECT_EQ(Text(container->GetBorderExtent()), c.extent);
        EXPECT_EQ(Text(container->GetVisibleBounds()), c.visible);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const bool hasRegion = GetWindowRgn(container->Handle(), region) != RGN_ERROR;
        EXPECT_EQ(hasRegion && !PtInRegion(region, 0, 0), !c.cornerShows) << "the window region";
        DeleteObject(region);
        const std::uint32_t corner = Px(container, 0, 0);
        EXPECT_EQ(corner == Rgb(kFormColor), !c.cornerShows) << "the parent shows where the region leaves out";
        if (!c.shadow) continue;
        EXPECT_EQ(Px(container, 98, 1), Rgb(kFormColor)) << "top right corner square left out";
        EXPECT_EQ(Px(container, 1, 38), Rgb(kFormColor)) << "bottom left corner square left out";
        EXPECT_EQ(Px(container, 98, 20), Rgb(cxContainerShadowColor)) << "the strip on the right";
        EXPECT_EQ(Px(container, 50, 38), Rgb(cxContainerShadowColor)) << "the strip below";
    }
}

TEST_F(Container, RingsByBorderStyle)
{
    struct Probe {
        int x, y;
        TColor color;
    };
    struct Case {
        TcxContainerBorderStyle border;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        {cbsSingle, {{0, 0, clWindowFrame}, {99, 39, clWindowFrame}, {1, 1, clWindow}}},
        {cbsThick, {{1, 1, clWindowFrame}, {98, 38, clWindowFrame}, {2, 2, clWindow}}},
        {cbsFlat, {{0, 0, clBtnShadow}, {99, 39, clBtnHighlight}, {1, 1, clBtnFace}, {98, 38, clBtnFace}, {2, 2, clWindow}}},
        {cbs3D, {{0, 0, clBtnShadow}, {99, 39, clBtnHighlight}, {1, 1, cl3DDkShadow}, {98, 38, cl3DLight}, {2, 2, clWindow}}},
        {cbsNone, {{0, 0, clWindow}, {99, 39, clWindow}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("border " + std::to_string(c.border));
        Style(c.border, false, false);
        for (const Probe& p : c.probes) EXPECT_EQ(Px(container, p.x, p.y), Rgb(p.color)) << p.x << "," << p.y;
    }
}

TEST_F(Container, UltraFlatAndOffice11ColoursByState)
{
    struct Case {
        TcxContainerBorderStyle border;
        bool hotTrack;
        std::function<void()> enter;
        TColor expected;
        TColor background;
    };
    const Case cases[] = {
        {cbsUltraFlat, true, [] {}, clBtnShadow, clWindow},
        {cbsUltraFlat, true, [&] { container->SetFocus(); }, clHighlight, clWindow},
        {cbsUltraFlat, true, [&] { Screen().MoveMouse(At(container, 50, 20)); }, clHighlight, clWindow},
        {cbsUltraFlat, false, [&] { Screen().MoveMouse(At(container, 50, 20)); }, clBtnShadow, clWindow},
        {cbsUltraFlat, true, [&] { container->SetEnabled(false); }, clBtnShadow, clBtnFace},
        {cbsOffice11, true, [&] { container->SetFocus(); }, dxOffice11SelectedBorderColor, clWindow},
        {cbsOffice11, true, [] {}, clBtnShadow, clWindow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("border " + std::to_string(c.border) + " expected " + std::to_string(c.expected));
        other->SetFocus();
        Screen().MoveMouse(At(form, 390, 290));
        container->SetEnabled(true);
        container->Style()->SetHotTrack(c.hotTrack);
        Style(c.border, false, false);
        c.enter();
        Pump();
        EXPECT_EQ(container->ViewInfo()->BorderStyle, cbsSingle) << "drawn as a single border";
        EXPECT_EQ(Px(container, 0, 0), Rgb(c.expected));
        EXPECT_EQ(Px(container, 50, 20), Rgb(c.background));
    }
}

TEST_F(Container, NoHotStateWhileAButtonIsHeld)
{
    Style(cbsUltraFlat, false, false);
    container->SetFocusOnMouseClick(false);
    Screen().MoveMouse(At(container, 50, 20));
    Pump();
    EXPECT_TRUE(Hot());
    Screen().ButtonDown(At(container, 50, 20));
    Screen().MoveMouse(At(container, 52, 21));
    Pump();
    EXPECT_FALSE(Hot()) << "a held button hides the hot state";
    Screen().ButtonUp(At(container, 52, 21));
    Pump();
    EXPECT_TRUE(Hot()) << "releasing it brings it back";

    // The tracking timer ends the hot state once the cursor is outside.
    SetCursorPos(5, 5);
    Advance(50);
    Pump();
    EXPECT_FALSE(Hot());
    EXPECT_EQ(Px(container, 0, 0), Rgb(clBtnShadow));
}

// The theme layer answers a content rectangle 3 pixels in, a border colour
// for the combo box and a fill colour for the disabled edit.
struct ThemeCalls {
    std::vector<std::string> log;
};
ThemeCalls& Calls()
{
    static ThemeCalls calls;
    return calls;
}
constexpr COLORREF kThemeBorder = RGB(10, 20, 30);
constexpr COLORREF kThemeFill = RGB(40, 50, 60);

HTHEME FakeOpen(HWND, LPCSTR name)
{
    Calls().log.push_back(std::string("open ") + name);
    return reinterpret_cast<HTHEME>(static_cast<std::intptr_t>(std::string(name) == "Edit" ? 1 : 2));
}
HRESULT FakeClose(HTHEME) { return 0; }
BOOL FakeActive() { return TRUE; }
HRESULT FakeContent(HTHEME theme, HDC, int part, int state, const RECT* bounds, LPRECT content)
{
    Calls().log.push_back("content " + std::to_string(reinterpret_cast<std::intptr_t>(theme)) + " " + std::to_string(part) +
                          " " + std::to_string(state));
    *content = *bounds;
    InflateRect(content, -3, -3);
    return 0;
}
HRESULT FakeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
    Calls().log.push_back("color " + std::to_string(reinterpret_cast<std::intptr_t>(theme)) + " " + std::to_string(part) +
                          " " + std::to_string(state) + " " + std::to_string(property));
    *color = property == TMT_BORDERCOLOR ? kThemeBorder : kThemeFill;
    return 0;
}
template <class F>
void Bind(const char* name, F* f)
{
    quelvo::sys::RegisterLibraryFunction("UXTHEME.DLL", name, reinterpret_cast<FARPROC>(f));
}

TEST_F(Container, NativePaintingThroughTheThemeLayer)
{
    form->Free();
    cxContainerFinalize();
    cxControlsFinalize();
    cxLookAndFeelsFinalize();
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
    Bind("OpenThemeData", &FakeOpen);
    Bind("CloseThemeData", &FakeClose);
    Bind("IsThemeActive", &FakeActive);
    Bind("GetThemeBackgroundContentRect", &FakeContent);
    Bind("GetThemeColor", &FakeColor);
    quelvo::sys::ScopeGuard unbind([] {
        Bind("OpenThemeData", &::OpenThemeData);
        Bind("CloseThemeData", &::CloseThemeData);
        Bind("IsThemeActive", &::IsThemeActive);
        Bind("GetThemeBackgroundContentRect", &::GetThemeBackgroundContentRect);
        Bind("GetThemeColor", &::GetThemeColor);
    });
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
    cxLookAndFeelsInitialize();
    cxControlsInitialize();
    cxContainerInitialize();
    form = NewForm(400, 300);
    form->SetColor(kFormColor);
    container = Add<TTestContainer>(form, "container", 20, 20, 100, 40);
    container->Style()->LookAndFeel()->SetNativeStyle(true);
    container->Style()->SetTransparentBorder(false);
    form->Show();
    Pump();

    EXPECT_TRUE(container->ViewInfo()->NativeStyle);
    EXPECT_EQ(Text(container->GetBorderExtent()), "2,2,2,2");
    EXPECT_EQ(Px(container, 0, 0), Rgb(kThemeBorder)) << "the ring in the combo box's border colour";
    EXPECT_EQ(Px(container, 2, 2), Rgb(kThemeBorder));
    EXPECT_EQ(Px(container, 3, 3), Rgb(clWindow)) << "the content rectangle in the background colour";
    Calls().log.clear();
    container->SetEnabled(false);
    Pump();
    EXPECT_EQ(Px(container, 50, 20), Rgb(kThemeFill)) << "disabled: the theme's fill colour";
    EXPECT_NE(std::find(Calls().log.begin(), Calls().log.end(), "color 1 1 4 3802"), Calls().log.end());
    EXPECT_NE(std::find(Calls().log.begin(), Calls().log.end(), "content 1 1 4"), Calls().log.end());
}

TEST_F(Container, InnerControlBoundsClippingColourAndFont)
{
    Style(cbsSingle, false, false);
    container->Style()->SetColor(clYellow);
    container->Style()->SetTextColor(clRed);
    TTestInner* inner = AddInner();
    EXPECT_EQ(Text(inner->BoundsRect()), "1,1,99,39") << "the view's client rectangle";
    EXPECT_EQ(inner->Color(), clYellow);
    EXPECT_EQ(inner->Font()->Color(), clRed);
    EXPECT_EQ(container->GetActiveControl(), inner);

    container->keepInnerBounds = true;
    inner->SetBounds(1, 1, 150, 38);
    Pump();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(inner->Handle(), region), RGN_ERROR) << "an oversized inner control is clipped";
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(Text(box), "0,0,98,38");
    inner->SetBounds(1, 1, 50, 38);
    Pump();
    EXPECT_EQ(GetWindowRgn(inner->Handle(), region), RGN_ERROR) << "once it fits, the region goes";
    DeleteObject(region);

    // The font follows the container without becoming a stored style value.
    auto font = MakeObject<TFont>();
    font->SetName("Mono");
    container->SetFont(font.get());
    EXPECT_EQ(inner->Font()->Name(), "Mono");
    EXPECT_FALSE(container->Style()->IsFontStored());
}

TEST_F(Container, FocusMovesToTheInnerControlWithoutContainerEvents)
{
    TTestInner* inner = AddInner();
    other->SetFocus();
    Pump();
    Log().clear();
    container->SetFocus();
    Pump();
    EXPECT_EQ(Focused(), "inner");
    EXPECT_TRUE(container->Focused());
    EXPECT_FALSE(container->MayFocus()) << "while the inner control is focused";
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "container enter"), 1);
    EXPECT_EQ(container->ViewInfo()->ContainerState, TcxContainerState{csActive});

    Log().clear();
    ::SetFocus(container->Handle());
    Pump();
    ::SetFocus(inner->Handle());
    Pump();
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "container enter"), 0);
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "container exit"), 0);
    other->SetFocus();
    Pump();
    EXPECT_EQ(std::count(Log().begin(), Log().end(), "container exit"), 1);
    EXPECT_FALSE(container->Focused());
}

TEST_F(Container, KeysReachTheInnerControl)
{
    TTestInner* inner = AddInner();
    (void)inner;
    EXPECT_EQ(SendMessageA(container->Handle(), WM_KEYDOWN, 'A', 0), 42);
    EXPECT_EQ(container->Perform(WM_CHAR, 'b'), 42);
    EXPECT_EQ(Log(), (Trace{"inner got 256 65", "inner got 258 98"}));
}

TEST_F(Container, TabMovesThroughTheForm)
{
    auto* before = Add<TTraceControl>(form, "before", 200, 100, 30, 30);
    auto* after = Add<TTraceControl>(form, "after", 200, 200, 30, 30);
    before->SetTabOrder(0);
    container->SetTabOrder(1);
    after->SetTabOrder(2);
    container->SetKeys({kTab});
    struct Case {
        int modifier;
        bool tabs;
        const char* focus;
    };
    const Case cases[] = {
        {0, false, "after"}, {VK_SHIFT, false, "before"}, {VK_CONTROL, false, "container"}, {0, true, "container"}};
    for (const Case& c : cases) {
        container->tabs = c.tabs;
        container->SetFocus();
        Pump();
        Log().clear();
        if (c.modifier) KeyWith(c.modifier, VK_TAB);
        else Key(VK_TAB);
        Pump();
        EXPECT_EQ(Focused(), c.focus) << c.modifier << " " << c.tabs;
        if (std::string(c.focus) == "container") {
            EXPECT_EQ(std::count(Log().begin(), Log().end(), "container key 9"), 1);
        }
    }
}

TEST_F(Container, ArrowCursorOverTheBorderRing)
{
    Style(cbsSingle, true, false);
    TTestInner* inner = AddInner();
    container->SetCursor(crHandPoint);
    EXPECT_EQ(inner->Cursor(), crHandPoint) << "the inner control takes the container's cursor";
    Screen().MoveMouse(At(container, 1, 1));
    Pump();
    EXPECT_EQ(quelvo::win::StandardCursorId(Screen().CurrentCursor()), IDC_ARROW_ID);
    EXPECT_EQ(SendMessageA(container->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(container->Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
}

TEST_F(Container, MirroredScrollBars)
{
    ASSERT_TRUE(UsecxScrollBars()) << "bound by name at start-up";
    auto* inner = CreateObject<TTestInner>(container);
    inner->SetName("inner");
    inner->extraStyle = WS_HSCROLL | WS_VSCROLL;
    inner->SetParent(container);
    container->SetBounds(20, 20, 200, 120);
    for (TScrollBarKind kind : {sbHorizontal, sbVertical}) {
        container->bars[kind] = CreateObject<TcxScrollBar>(container);
        container->bars[kind]->SetKind(kind);
        container->bars[kind]->SetParent(container);
    }
    container->SetInnerControl(inner);
    container->ShortRefreshContainer(false);
    Pump();
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = 5;
    info.nPage = 10;
    SetScrollInfo(inner->Handle(), SB_VERT, &info, TRUE);
    info.fMask = SIF_ALL;
    info.nMax = 100;
    info.nPage = 20;
    info.nPos = 30;
    SetScrollInfo(inner->Handle(), SB_HORZ, &info, TRUE);
    container->SetScrollBarsParameters(false);

    TcxScrollBar* h = container->bars[sbHorizontal];
    TcxScrollBar* v = container->bars[sbVertical];
    SCROLLBARINFO native{};
    native.cbSize = sizeof(native);
    ASSERT_TRUE(GetScrollBarInfo(inner->Handle(), OBJID_VSCROLL, &native));
    const POINT topLeft = container->ScreenToClient(POINT{native.rcScrollBar.left, native.rcScrollBar.top});
    EXPECT_TRUE(v->Visible());
    EXPECT_EQ(v->Left(), topLeft.x) << "laid over the native bar";
    EXPECT_EQ(v->Top(), topLeft.y);
    EXPECT_EQ(v->PageSize(), 5) << "the page cut to the maximum";
    EXPECT_FALSE(v->Enabled()) << "from STATE_SYSTEM_UNAVAILABLE";
    EXPECT_TRUE(h->Visible());
    EXPECT_TRUE(h->Enabled());
    EXPECT_EQ(h->Position(), 30);
    EnableScrollBar(inner->Handle(), SB_HORZ, ESB_DISABLE_BOTH);
    container->SetScrollBarsParameters(false);
    EXPECT_FALSE(h->Enabled());
    SetScrollPos(inner->Handle(), SB_HORZ, 50, TRUE);
    container->SetScrollBarsParameters(true);
    EXPECT_EQ(h->Position(), 50) << "while scrolling only the position follows";

    // A native bar outside the container leaves the mirror hidden.
    container->keepInnerBounds = true;
    inner->SetBounds(-150, 1, 100, 118);
    container->SetScrollBarsParameters(false);
    EXPECT_FALSE(v->Visible());
    EXPECT_EQ(Text(v->BoundsRect()), "0,0,0,0");
    ShowScrollBar(inner->Handle(), SB_HORZ, FALSE);
    container->SetScrollBarsParameters(false);
    EXPECT_FALSE(h->Visible()) << "an invisible native bar";
}

// A container that has the control's own bars mirrors with them.
class TBarContainer : public TcxContainer {
public:
    static TClass StaticClass() { return DefineClass<TBarContainer, TcxContainer>("TBarContainer"); }
    TClass ClassType() const override { return StaticClass(); }
    using TcxContainer::SetInnerControl;
    bool NeedsScrollBars() override { return true; }
};

TEST_F(Container, TheControlsOwnBarsMirrorTheInnerControlsBars)
{
    auto* bars = Add<TBarContainer>(form, "bars", 20, 100, 200, 120);
    auto* inner = CreateObject<TTestInner>(bars);
    inner->SetName("inner");
    inner->extraStyle = WS_VSCROLL;
    inner->SetParent(bars);
    bars->SetInnerControl(inner);
    bars->ShortRefreshContainer(false);  // places the inner control
    Pump();
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    info.nMax = 99;
    info.nPage = 10;
    SetScrollInfo(inner->Handle(), SB_VERT, &info, TRUE);
    bars->SetScrollBarsParameters(false);
    Pump();
    TcxScrollBar* v = bars->GetMirrorScrollBar(sbVertical);
    ASSERT_EQ(v, bars->VScrollBar());
    EXPECT_EQ(bars->GetMirrorScrollBar(sbHorizontal), bars->HScrollBar());
    EXPECT_EQ(container->GetMirrorScrollBar(sbVertical), nullptr) << "no bars of its own, nothing mirrored";
    SCROLLBARINFO native{};
    native.cbSize = sizeof(native);
    ASSERT_TRUE(GetScrollBarInfo(inner->Handle(), OBJID_VSCROLL, &native));
    const POINT topLeft = bars->ScreenToClient(POINT{native.rcScrollBar.left, native.rcScrollBar.top});
    EXPECT_TRUE(v->Visible());
    EXPECT_EQ(v->Left(), topLeft.x) << "laid over the native bar";
    EXPECT_EQ(v->Top(), topLeft.y);
    EXPECT_EQ(v->Max(), 99);
    EXPECT_FALSE(bars->HScrollBar()->Visible()) << "no native horizontal bar";
    // A click on the mirror's lower arrow scrolls the native bar.
    const RECT down = v->LineDownRect();
    Screen().Click(v->ClientToScreen(POINT{(down.left + down.right) / 2, (down.top + down.bottom) / 2}));
    Pump();
    EXPECT_NE(std::find(Log().begin(), Log().end(), "inner scroll 1"), Log().end());
}

TEST_F(Container, TheWindowRegionIsSetOnlyWhenItChanges)
{
    Style(cbsSingle, true, false);
    RECT update{};
    container->ShortRefreshContainer(false);
    EXPECT_FALSE(GetUpdateRect(form->Handle(), &update, FALSE)) << "the same region again exposes nothing";
    container->Style()->SetShadow(true);
    EXPECT_TRUE(GetUpdateRect(form->Handle(), &update, FALSE)) << "a changed region exposes the parent";
    Pump();
    container->ShortRefreshContainer(false);
    EXPECT_FALSE(GetUpdateRect(form->Handle(), &update, FALSE));
}

TEST_F(Container, FreeFunctions)
{
    TTestInner* inner = AddInner();
    EXPECT_EQ(GetcxContainer(container), container);
    EXPECT_EQ(GetcxContainer(inner), container);
    EXPECT_EQ(GetcxContainer(form), nullptr);
    EXPECT_TRUE(IsChildWindow(container, inner->Handle()));
    EXPECT_FALSE(IsChildWindow(container, container->Handle()));
    EXPECT_TRUE(CheckParentsNativeHandle(inner, form->Handle()));
    EXPECT_TRUE(CheckParentsNativeHandle(inner, container->Handle()));
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(Text(ExtendRect(r, RECT{1, 2, 3, 4})), "1,2,7,6");
    EXPECT_EQ(Text(InflateRectByBorders(RECT{0, 0, 10, 10}, 2, {bLeft, bBottom})), "0,2,8,10");
    EXPECT_TRUE(InternalCompareString("abc", "ABC", false));
    EXPECT_FALSE(InternalCompareString("abc", "ABC", true));
    EXPECT_EQ(GetContainerBorderWidth(cbsThick), 2);
    EXPECT_EQ(GetContainerBorderWidth(lfUltraFlat), 1);
    EXPECT_EQ(MouseButtonToShift(mbRight), TShiftState{ssRight});
    EXPECT_EQ(ButtonTocxButton(mbMiddle), cxmbMiddle);
    EXPECT_EQ(Text(GetSizeGripRect(inner)), "0,0,0,0") << "no bars";
}

TEST_F(Container, DragModeAndCancellingReachTheInnerControl)
{
    TTestInner* inner = AddInner();
    container->SetDragMode(dmAutomatic);
    EXPECT_EQ(inner->DragMode(), dmAutomatic);
    container->DragCanceled();
    EXPECT_EQ(Log(), (Trace{"inner drag canceled"}));
}

}  // namespace
