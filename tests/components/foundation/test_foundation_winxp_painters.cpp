// The native painter through a theme layer that records what it is asked
// (class, part, state, rectangle) and then draws as ours does: each themed
// operation's call, its fallback once themes are off, the metrics it
// takes from the theme, the header's right-hand item per colour scheme,
// the rotated vertical tab, and a few results of our theme's table.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxWinXPLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/libraries.h"
#include "platform/system/winerror.h"
#include "platform/windows/loop.h"
#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using foundationtest::Surface;

namespace {

struct Recording {
    std::map<HTHEME, std::string> classes;
    std::vector<std::string> calls;
    // Answers of the layer instead of our theme's, when set.
    std::optional<RECT> contentInsets;
    std::optional<SIZE> partSize;
    std::optional<bool> transparent;
    bool colorFails = false;
};
Recording& Rec()
{
    static Recording rec;
    return rec;
}

std::string Text(const RECT& r)
{
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "}";
}

void Log(const char* call, HTHEME theme, int part, int state, const std::string& rest = "")
{
    Rec().calls.push_back(std::string(call) + " " + Rec().classes[theme] + " " + std::to_string(part) + "/" +
                          std::to_string(state) + (rest.empty() ? "" : " " + rest));
}

HTHEME FakeOpen(HWND window, LPCSTR name)
{
    HTHEME theme = ::OpenThemeData(window, name);
    if (theme) Rec().classes[theme] = name;
    return theme;
}
HRESULT FakeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip)
{
    Log("Background", theme, part, state, Text(*rect) + (clip ? " clip " + Text(*clip) : ""));
    return ::DrawThemeBackground(theme, dc, part, state, rect, clip);
}
HRESULT FakeText(HTHEME theme, HDC dc, int part, int state, LPCSTR text, int length, DWORD flags, DWORD flags2,
                 const RECT* rect)
{
    Log("Text", theme, part, state, std::string(text) + " " + std::to_string(flags) + " " + Text(*rect));
    return ::DrawThemeText(theme, dc, part, state, text, length, flags, flags2, rect);
}
HRESULT FakeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* rect, UINT edge, UINT flags, LPRECT content)
{
    Log("Edge", theme, part, state, std::to_string(edge) + " " + std::to_string(flags) + " " + Text(*rect));
    return ::DrawThemeEdge(theme, dc, part, state, rect, edge, flags, content);
}
HRESULT FakeContent(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, LPRECT content)
{
    Log("Content", theme, part, state, Text(*bounds));
    if (!Rec().contentInsets) return ::GetThemeBackgroundContentRect(theme, dc, part, state, bounds, content);
    const RECT& m = *Rec().contentInsets;
    *content = RECT{bounds->left + m.left, bounds->top + m.top, bounds->right - m.right, bounds->bottom - m.bottom};
    return S_OK;
}
HRESULT FakeSize(HTHEME theme, HDC dc, int part, int state, const RECT* rect, THEMESIZE size, SIZE* result)
{
    Log("Size", theme, part, state, std::to_string(size));
    if (!Rec().partSize) return ::GetThemePartSize(theme, dc, part, state, rect, size, result);
    *result = *Rec().partSize;
    return S_OK;
}
HRESULT FakeColor(HTHEME theme, int part, int state, int property, COLORREF* color)
{
    Log("Color", theme, part, state, std::to_string(property));
    return Rec().colorFails ? E_FAIL : ::GetThemeColor(theme, part, state, property, color);
}
HRESULT FakeRegion(HTHEME theme, HDC dc, int part, int state, const RECT* rect, HRGN* region)
{
    Log("Region", theme, part, state, Text(*rect));
    return ::GetThemeBackgroundRegion(theme, dc, part, state, rect, region);
}
BOOL FakeTransparent(HTHEME theme, int part, int state)
{
    Log("Transparent", theme, part, state);
    if (Rec().transparent) return *Rec().transparent ? TRUE : FALSE;
    return ::IsThemeBackgroundPartiallyTransparent(theme, part, state);
}

template <class F>
void Bind(const char* name, F* f)
{
    quelvo::sys::RegisterLibraryFunction("UXTHEME.DLL", name, reinterpret_cast<FARPROC>(f));
}

void BindLayer(bool recording)
{
    Bind("OpenThemeData", recording ? &FakeOpen : &::OpenThemeData);
    Bind("DrawThemeBackground", recording ? &FakeBackground : &::DrawThemeBackground);
    Bind("DrawThemeText", recording ? &FakeText : &::DrawThemeText);
    Bind("DrawThemeEdge", recording ? &FakeEdge : &::DrawThemeEdge);
    Bind("GetThemeBackgroundContentRect", recording ? &FakeContent : &::GetThemeBackgroundContentRect);
    Bind("GetThemePartSize", recording ? &FakeSize : &::GetThemePartSize);
    Bind("GetThemeColor", recording ? &FakeColor : &::GetThemeColor);
    Bind("GetThemeBackgroundRegion", recording ? &FakeRegion : &::GetThemeBackgroundRegion);
    Bind("IsThemeBackgroundPartiallyTransparent",
         recording ? &FakeTransparent : &::IsThemeBackgroundPartiallyTransparent);
}

const TcxWinXPLookAndFeelPainter& XP()
{
    return static_cast<const TcxWinXPLookAndFeelPainter&>(*TcxWinXPLookAndFeelPainter::Class());
}
TcxCustomLookAndFeelPainterClass Standard() { return TcxStandardLookAndFeelPainter::Class(); }

class WinXPPainter : public ::testing::Test {
protected:
    void SetUp() override
    {
        Rec() = Recording{};
        quelvo::gfx::ResetSysColors();
        quelvo::gfx::SetThemeName("Flat.theme", "Normal");
        BindLayer(true);
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxWinXPLookAndFeelPaintersInitialize();
        RefreshOffice11Colors();
    }
    void TearDown() override
    {
        cxWinXPLookAndFeelPaintersFinalize();
        quelvo::gfx::SetThemeName("Flat.theme", "Normal");
        quelvo::gfx::SetThemeActive(true);
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        BindLayer(false);
        RefreshOffice11Colors();
        quelvo::win::ResetWindowManager();
    }
    static void SetScheme(const char* colorName)
    {
        quelvo::gfx::SetThemeName("luna.msstyles", colorName);
        quelvo::gfx::SetThemeActive(true);
        RefreshOffice11Colors();
    }
    // The calls one drawing makes, opening the theme aside.
    template <class F>
    static std::vector<std::string> CallsOf(F draw)
    {
        Rec().calls.clear();
        draw();
        return Rec().calls;
    }
};

using Draw = std::function<void(TcxCustomLookAndFeelPainterClass, TcxCanvas*)>;

struct DrawRow {
    const char* name;
    Draw draw;
    std::vector<std::string> calls;
};

// One row per themed drawing operation: what it asks of the theme layer.
std::vector<DrawRow> DrawRows()
{
    const RECT r{2, 2, 42, 22};
    const std::string rect = Text(r);
    return {
        {"DrawArrow", [r](auto p, auto c) { p->DrawArrow(c, r, cxbsHot, adLeft); },
         {"Background ScrollBar 1/10 " + rect}},
        {"DrawArrowBorder", [r](auto p, auto c) { p->DrawArrowBorder(c, r, cxbsPressed); },
         {"Background Button 1/3 " + rect}},
        {"DrawBorder", [r](auto p, auto c) { p->DrawBorder(c, r); }, {"Background ListView 5/0 " + rect}},
        {"DrawButton", [r](auto p, auto c) { p->DrawButton(c, r, "OK", cxbsDefault); },
         {"Background Button 1/5 " + rect, "Text Button 1/5 OK 37 " + rect}},
        {"DrawExpandButton", [r](auto p, auto c) { p->DrawExpandButton(c, r, true); },
         {"Background TreeView 2/2 " + rect}},
        {"DrawSmallExpandButton", [r](auto p, auto c) { p->DrawSmallExpandButton(c, r, false, clBlack); },
         {"Background TreeView 2/1 " + rect}},
        {"DrawGroupExpandButton", [r](auto p, auto c) { p->DrawGroupExpandButton(c, r, true, cxbsDefault); },
         {"Background ExplorerBar 6/1 " + rect}},
        {"DrawCheck", [r](auto p, auto c) { p->DrawCheck(c, r, cxbsHot, true, clBlack); },
         {"Background Button 3/6 " + rect}},
        {"DrawRadioButton", [](auto p, auto c) { p->DrawRadioButton(c, 4, 5, cxbsDisabled, false, false, clWhite); },
         {"Size Button 2/4 1", "Background Button 2/4 {4,5,17,18}"}},
        {"DrawHeader", [r](auto p, auto c) {
             p->DrawHeader(c, r, cxRectInflate(r, -2, -2), {}, cxBordersAll, cxbsPressed, taRightJustify, vaBottom,
                           true, true, "Name", nullptr, clBlack, clWhite, {}, true);
         },
         {"Background Header 1/3 " + rect,
          "Text Header 1/3 Name " + std::to_string(DT_RIGHT | DT_BOTTOM | DT_WORDBREAK | DT_END_ELLIPSIS |
                                                   DT_NOPREFIX | DT_EDITCONTROL) + " {5,5,41,21}"}},
        {"DrawFooterBorder", [r](auto p, auto c) { p->DrawFooterBorder(c, r); },
         {"Edge Edit 0/0 " + std::to_string(BDR_RAISEDINNER) + " " + std::to_string(BF_RECT) + " " + rect}},
        {"DrawFooterCell", [r](auto p, auto c) {
             p->DrawFooterCell(c, r, taCenter, vaCenter, false, "Sum", nullptr, clBlack, clWhite);
         },
         {"Background TrackBar 1/1 " + rect, "Content TrackBar 1/1 {0,0,100,100}",
          "Text TrackBar 1/1 Sum " + std::to_string(DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX |
                                                    DT_EDITCONTROL) + " {5,5,39,19}"}},
        {"DrawFilterCloseButton", [r](auto p, auto c) { p->DrawFilterCloseButton(c, r, cxbsDisabled); },
         {"Background Window 19/4 " + rect}},
        {"DrawFilterDropDownButton", [r](auto p, auto c) { p->DrawFilterDropDownButton(c, r, cxbsHot, true); },
         {"Background ComboBox 1/2 " + rect}},
        {"DrawChartViewNavigatorAddValueColumnButton", [r](auto p, auto c) {
             p->DrawChartViewNavigatorAddValueColumnButton(c, r, cxbsDisabled);
         },
         {"Background Button 1/4 " + rect}},
        {"DrawChartViewNavigatorAutoHideButton", [r](auto p, auto c) {
             p->DrawChartViewNavigatorAutoHideButton(c, r, cxbsHot, true, clWhite);
         },
         {"Background ExplorerBar 3/2 {0,0,40,20}"}},
        {"DrawTab", [r](auto p, auto c) {
             p->DrawTab(c, r, TcxBorders{bTop, bRight}, "", cxbsPressed, false, nullptr, clBlack, clWhite);
         },
         {"Background Tab 1/3 {0,2,42,23} clip " + rect}},
        {"DrawTabsRoot", [r](auto p, auto c) { p->DrawTabsRoot(c, r, cxBordersAll, false); },
         {"Content Tab 9/0 " + rect, "Background Tab 9/0 {1,2,43,32} clip " + rect}},
        {"DrawScrollBarPart thumb", [r](auto p, auto c) { p->DrawScrollBarPart(c, false, r, sbpThumbnail, cxbsHot); },
         {"Background ScrollBar 3/2 " + rect, "Background ScrollBar 9/0 " + rect}},
        {"DrawScrollBarPart page", [r](auto p, auto c) { p->DrawScrollBarPart(c, true, r, sbpPageUp, cxbsPressed); },
         {"Background ScrollBar 4/3 " + rect}},
        {"DrawScrollBarPart arrow", [r](auto p, auto c) { p->DrawScrollBarPart(c, false, r, sbpLineDown, cxbsNormal); },
         {"Background ScrollBar 1/5 " + rect}},
        {"DrawSchedulerSplitterBorder", [r](auto p, auto c) {
             p->DrawSchedulerSplitterBorder(c, r, TcxViewParams{nullptr, clWhite}, true);
         },
         {"Color ComboBox 1/1 3801"}},
    };
}

TEST_F(WinXPPainter, EachThemedDrawingAsksForItsClassPartStateAndRectangle)
{
    for (const DrawRow& row : DrawRows()) {
        Surface s(60, 40);
        EXPECT_EQ(CallsOf([&] { row.draw(&XP(), &s.Canvas()); }), row.calls) << row.name;
    }
}

TEST_F(WinXPPainter, WithThemesOffEachDrawsAsTheStandardPainter)
{
    quelvo::gfx::SetThemeActive(false);
    for (const DrawRow& row : DrawRows()) {
        Surface ours(60, 40), standard(60, 40);
        EXPECT_TRUE(CallsOf([&] { row.draw(&XP(), &ours.Canvas()); }).empty()) << row.name;
        row.draw(Standard(), &standard.Canvas());
        EXPECT_EQ(ours.Pixels(), standard.Pixels()) << row.name;
    }
}

struct MetricRow {
    const char* name;
    std::function<int(TcxCustomLookAndFeelPainterClass)> value;
    int themed;
    // Without the theme; the standard painter's answer when not given.
    std::optional<int> fallback = {};
};

TEST_F(WinXPPainter, MetricsComeFromTheThemeAndFallBackWithoutIt)
{
    // Content insets of 5, 3, 4 and 6 in every part; true sizes of 20 x 11.
    Rec().contentInsets = RECT{5, 3, 4, 6};
    Rec().partSize = SIZE{20, 11};
    const MetricRow rows[] = {
        {"BorderSize", [](auto p) { return p->BorderSize(); }, 1},
        {"ButtonBorderSize", [](auto p) { return p->ButtonBorderSize(cxbsHot); }, 5},
        {"ButtonBorderSize of a default button", [](auto p) { return p->ButtonBorderSize(cxbsDefault); }, 5},
        {"HeaderBorderSize", [](auto p) { return p->HeaderBorderSize(); }, 4},
        // Always the header's border, whatever the theme.
        {"HeaderControlSectionBorderSize", [](auto p) { return p->HeaderControlSectionBorderSize(); }, 4, 1},
        {"FooterCellBorderSize", [](auto p) { return p->FooterCellBorderSize(); }, 5},
        {"CheckBorderSize", [](auto p) { return p->CheckBorderSize(); }, 0},
        {"ExpandButtonSize", [](auto p) { return p->ExpandButtonSize(); }, 20},
        {"SmallExpandButtonSize", [](auto p) { return p->SmallExpandButtonSize(); }, 20},
        {"GroupExpandButtonSize", [](auto p) { return p->GroupExpandButtonSize(); }, 20},
        {"FilterCloseButtonSize", [](auto p) { return p->FilterCloseButtonSize().x * 100 + p->FilterCloseButtonSize().y; },
         24 * 100 + 15},
        {"FilterActivateButtonSize",
         [](auto p) { return p->FilterActivateButtonSize().x * 100 + p->FilterActivateButtonSize().y; }, 20 * 100 + 11},
        {"ChartViewNavigatorAutoHideButtonSize",
         [](auto p) { return p->ChartViewNavigatorAutoHideButtonSize().x * 100 + p->ChartViewNavigatorAutoHideButtonSize().y; },
         20 * 100 + 11},
        {"IsDrawTabImplemented", [](auto p) { return int(p->IsDrawTabImplemented(false)); }, 1},
        {"IsTabHotTrack", [](auto p) { return int(p->IsTabHotTrack(true)); }, 1},
    };
    for (const MetricRow& row : rows) EXPECT_EQ(row.value(&XP()), row.themed) << row.name;
    EXPECT_EQ(CallsOf([] { XP().ButtonBorderSize(cxbsPressed); }),
              (std::vector<std::string>{"Content Button 1/3 {0,0,100,100}"}));
    EXPECT_EQ(CallsOf([] { XP().FilterCloseButtonSize(); }), (std::vector<std::string>{"Size Window 19/1 1"}));
    quelvo::gfx::SetThemeActive(false);
    for (const MetricRow& row : rows)
        EXPECT_EQ(row.value(&XP()), row.fallback.value_or(row.value(Standard()))) << row.name;
}

TEST_F(WinXPPainter, GroupBorderSizesAndColoursOfThePushButton)
{
    Rec().contentInsets = RECT{5, 3, 4, 6};
    const RECT sizes = XP().ButtonGroupBorderSizes(3, 1);
    EXPECT_EQ(Text(sizes), "{5,3,4,6}") << "our push button is opaque, so nothing is added";
    Rec().transparent = true;
    EXPECT_EQ(Text(XP().ButtonGroupBorderSizes(3, 1)), "{6,4,5,7}") << "see-through edges need a pixel more";
    COLORREF fill = 0, text = 0;
    HTHEME button = OpenTheme(totButton);
    ::GetThemeColor(button, BP_PUSHBUTTON, PBS_HOT, TMT_FILLCOLOR, &fill);
    ::GetThemeColor(button, BP_PUSHBUTTON, PBS_DISABLED, TMT_TEXTCOLOR, &text);
    EXPECT_EQ(XP().ButtonColor(cxbsHot), static_cast<TColor>(fill));
    EXPECT_EQ(XP().ButtonSymbolColor(cxbsDisabled), static_cast<TColor>(text));
    Rec().colorFails = true;
    EXPECT_EQ(XP().ButtonColor(cxbsHot), clBtnFace) << "a theme without a fill colour";
    EXPECT_EQ(XP().ButtonSymbolColor(cxbsDisabled), clBtnShadow);
    EXPECT_EQ(XP().DefaultSchedulerBorderColor(), TColor(0x0000FF));
    quelvo::gfx::SetThemeActive(false);
    EXPECT_EQ(Text(XP().ButtonGroupBorderSizes(3, 1)), "{2,2,2,2}");
    EXPECT_EQ(XP().DefaultSchedulerBorderColor(), TColor(0x0000FF));
}

TEST_F(WinXPPainter, TheLastHeaderEndsWithTheRightHandItemOnBlueAndOliveOnly)
{
    struct Row {
        const char* scheme;
        TcxButtonState state;
        bool isLast;
        int part;
    };
    const Row rows[] = {
        {"NormalColor", cxbsNormal, true, HP_HEADERITEMRIGHT}, {"HomeStead", cxbsDefault, true, HP_HEADERITEMRIGHT},
        {"Metallic", cxbsNormal, true, HP_HEADERITEM},         {"NormalColor", cxbsHot, true, HP_HEADERITEM},
        {"NormalColor", cxbsNormal, false, HP_HEADERITEM},
    };
    for (const Row& row : rows) {
        SetScheme(row.scheme);
        Surface s(40, 20);
        const auto calls = CallsOf([&] {
            XP().DrawHeader(&s.Canvas(), RECT{0, 0, 40, 20}, RECT{0, 0, 40, 20}, {}, cxBordersAll, row.state,
                            taLeftJustify, vaCenter, false, false, "", nullptr, clBlack, clWhite, {}, row.isLast);
        });
        ASSERT_FALSE(calls.empty()) << row.scheme;
        EXPECT_EQ(calls[0].substr(0, 19), "Background Header " + std::to_string(row.part))
            << row.scheme << " " << row.state;
    }
}

TEST_F(WinXPPainter, AVerticalTabIsTurnedNotStretched)
{
    // Our tab item: a filled face, lines along its top and both ends, open
    // towards the pane; an unselected item stops a row short of it.
    COLORREF line = 0, face = 0;
    ::GetThemeColor(OpenTheme(totTab), TABP_TABITEM, TIS_NORMAL, TMT_BORDERCOLOR, &line);
    ::GetThemeColor(OpenTheme(totTab), TABP_TABITEM, TIS_NORMAL, TMT_FILLCOLOR, &face);
    const COLORREF white = RGB(255, 255, 255);
    Surface lying(80, 50), standing(50, 80);
    XP().DrawTab(&lying.Canvas(), RECT{10, 10, 70, 30}, cxBordersAll, "", cxbsNormal, false, nullptr, clBlack, clWhite);
    XP().DrawTab(&standing.Canvas(), RECT{10, 10, 30, 70}, cxBordersAll, "", cxbsNormal, true, nullptr, clBlack,
                 clWhite);
    EXPECT_EQ(Text(lying.Ink()), "{10,10,70,29}");
    EXPECT_EQ(Text(standing.Ink()), "{10,10,29,70}") << "the pane side is on the right";
    for (int i = 0; i < 60; ++i) {
        // The lying tab's column 10 + i is the standing tab's row 69 - i.
        for (int d = 0; d < 20; ++d)
            ASSERT_EQ(lying.At(10 + i, 10 + d), standing.At(10 + d, 69 - i)) << i << "," << d;
    }
    EXPECT_EQ(standing.At(10, 40), line);
    EXPECT_EQ(standing.At(20, 10), line);
    EXPECT_EQ(standing.At(20, 40), face);
    EXPECT_EQ(standing.At(29, 40), white);
}

TEST_F(WinXPPainter, ScrollBarPartsShowOurThemesColours)
{
    HTHEME bar = OpenTheme(totScrollBar);
    auto fill = [bar](int part, int state) {
        COLORREF c = 0;
        ::GetThemeColor(bar, part, state, TMT_FILLCOLOR, &c);
        return c;
    };
    Surface s(17, 120);
    XP().DrawScrollBarPart(&s.Canvas(), false, RECT{0, 0, 17, 17}, sbpLineUp, cxbsPressed);
    XP().DrawScrollBarPart(&s.Canvas(), false, RECT{0, 17, 17, 50}, sbpPageUp, cxbsNormal);
    XP().DrawScrollBarPart(&s.Canvas(), false, RECT{0, 50, 17, 80}, sbpThumbnail, cxbsHot);
    XP().DrawScrollBarPart(&s.Canvas(), false, RECT{0, 80, 17, 120}, sbpThumbnail, cxbsNormal);
    EXPECT_EQ(s.At(1, 1), fill(SBP_ARROWBTN, ABS_UPPRESSED));
    EXPECT_EQ(s.At(8, 30), fill(SBP_LOWERTRACKVERT, SCRBS_NORMAL));
    EXPECT_EQ(s.At(8, 60), fill(SBP_THUMBBTNVERT, SCRBS_HOT));
    EXPECT_EQ(s.At(8, 100), fill(SBP_THUMBBTNVERT, SCRBS_NORMAL));
    EXPECT_NE(fill(SBP_THUMBBTNVERT, SCRBS_HOT), fill(SBP_THUMBBTNVERT, SCRBS_NORMAL));
    EXPECT_EQ(s.At(0, 60), fill(SBP_LOWERTRACKVERT, SCRBS_NORMAL)) << "the track beside our narrower thumb";
}

TEST_F(WinXPPainter, FixedAnswersAndTheRegisteredNativePainter)
{
    EXPECT_EQ(cxRegisteredLookAndFeelPainter(lfsNative), &XP());
    EXPECT_EQ(XP().LookAndFeelStyle(), lfsNative);
    EXPECT_EQ(BtnStateToXPBtnState(cxbsDefault), PBS_DEFAULTED);
    EXPECT_EQ(BtnStateToXPBtnState(cxbsDisabled), PBS_DISABLED);
    EXPECT_EQ(XP().ChartViewNavigatorAddValueColumnButtonSize().x, 15);
    EXPECT_EQ(XP().DefaultSchedulerViewContentColor(), TColor(0xD5FFFF));
    EXPECT_FALSE(XP().HeaderDrawCellsFirst());
    EXPECT_TRUE(XP().IsHeaderHotTrack());
    // A pressed header is not inverted.
    Surface s(20, 10);
    XP().DrawHeaderPressed(&s.Canvas(), RECT{0, 0, 20, 10});
    EXPECT_EQ(Text(s.Ink()), "{0,0,0,0}");
    // The point must lie on the round button, not in its corner.
    const RECT r{0, 0, 15, 15};
    EXPECT_TRUE(XP().IsPointOverGroupExpandButton(r, POINT{7, 7}));
    EXPECT_FALSE(XP().IsPointOverGroupExpandButton(r, POINT{0, 0}));
    quelvo::gfx::SetThemeActive(false);
    EXPECT_TRUE(XP().IsPointOverGroupExpandButton(r, POINT{0, 0}));
}

}  // namespace
