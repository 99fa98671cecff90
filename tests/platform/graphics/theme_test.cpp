// The theme layer: opening by class name, part metrics, colours, drawing.
#include "platform/graphics/libraries.h"
#include "platform/graphics/uxtheme.h"
#include "platform/system/winbase.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

using quelvo::gfx::test::Canvas;

namespace {

struct Theme {
    HTHEME h;
    explicit Theme(const char* cls) : h(OpenThemeData(nullptr, cls)) {}
    ~Theme()
    {
        if (h)
            CloseThemeData(h);
    }
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;
};

TEST(ThemeOpenTest, KnownClassesOpenIgnoringCaseAndOthersGiveZero)
{
    for (const char* cls : {"Button", "BUTTON", "ScrollBar", "Header", "ListView", "TreeView", "ExplorerBar", "Edit",
                            "TrackBar", "Window", "ComboBox", "Tab", "Progress", "Spin", "ToolTip", "Nope;Tab"}) {
        Theme t(cls);
        EXPECT_NE(t.h, nullptr) << cls;
    }
    for (const char* cls : {"Clock", "Menu", "Page", "Rebar", "StartPanel", "Status", "TaskBand", "TaskBar", "ToolBar",
                            "TrayNotify", "", "Button2"}) {
        Theme t(cls);
        EXPECT_EQ(t.h, nullptr) << cls;
    }
    EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);
}

TEST(ThemeOpenTest, SwitchingStylesOffClosesTheDoorAndTellsTheListener)
{
    int changes = 0;
    quelvo::gfx::SetThemeChangeListener([&] { ++changes; });
    Theme before("Button");
    quelvo::gfx::SetThemeActive(false);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    Theme off("Button");
    EXPECT_EQ(off.h, nullptr);
    char file[64];
    EXPECT_LT(GetCurrentThemeName(file, 64, nullptr, 0, nullptr, 0), 0);
    quelvo::gfx::SetThemeActive(false);
    quelvo::gfx::SetThemeActive(true);
    EXPECT_EQ(changes, 2) << "only real changes are reported";
    EXPECT_TRUE(IsThemeActive());
    char color[64];
    EXPECT_EQ(GetCurrentThemeName(file, 64, color, 64, nullptr, 0), 0);
    EXPECT_STRNE(file, "");
    quelvo::gfx::SetThemeChangeListener(nullptr);
    EXPECT_EQ(CloseThemeData(before.h), 0);
    EXPECT_NE(CloseThemeData(before.h), 0) << "closing twice fails";
    before.h = nullptr;
}

TEST(ThemeOpenTest, TheThemeLibraryBindsByNameAtRunTime)
{
    quelvo::gfx::RegisterLibraries();
    HMODULE ux = LoadLibraryA("UxTheme.dll");
    ASSERT_NE(ux, nullptr);
    using OpenFn = HTHEME (*)(HWND, LPCSTR);
    using CloseFn = HRESULT (*)(HTHEME);
    auto open = reinterpret_cast<OpenFn>(GetProcAddress(ux, "OpenThemeData"));
    auto close = reinterpret_cast<CloseFn>(GetProcAddress(ux, "CloseThemeData"));
    ASSERT_NE(open, nullptr);
    ASSERT_NE(close, nullptr);
    HTHEME t = open(nullptr, "Button");
    EXPECT_NE(t, nullptr);
    EXPECT_EQ(close(t), 0);
    EXPECT_EQ(GetProcAddress(ux, "GetThemeInt"), nullptr) << "names not offered stay unbound";
    HMODULE img = LoadLibraryA("msimg32.dll");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(img, "AlphaBlend")), reinterpret_cast<void*>(&AlphaBlend));
}

TEST(ThemeMetricsTest, PartSizesContentRectsAndColours)
{
    Theme button("Button"), tree("TreeView"), window("Window"), progress("Progress"), combo("ComboBox");
    SIZE s{};
    struct Case {
        HTHEME theme;
        int part, state;
        SIZE expected;
    } sizes[] = {
        {button.h, BP_CHECKBOX, CBS_UNCHECKEDNORMAL, {13, 13}},
        {button.h, BP_RADIOBUTTON, RBS_CHECKEDNORMAL, {13, 13}},
        {tree.h, TVP_GLYPH, GLPS_OPENED, {9, 9}},
        {window.h, WP_SMALLCLOSEBUTTON, CBS_NORMAL, {12, 10}},
    };
    for (const Case& c : sizes) {
        ASSERT_EQ(GetThemePartSize(c.theme, nullptr, c.part, c.state, nullptr, TS_TRUE, &s), 0);
        EXPECT_EQ(s.cx, c.expected.cx);
        EXPECT_EQ(s.cy, c.expected.cy);
    }
    RECT bounds{0, 0, 100, 100}, content{};
    ASSERT_EQ(GetThemeBackgroundContentRect(button.h, nullptr, BP_PUSHBUTTON, PBS_NORMAL, &bounds, &content), 0);
    EXPECT_EQ(content.left, 3);
    EXPECT_EQ(content.bottom, 97);
    RECT extent{};
    GetThemeBackgroundExtent(button.h, nullptr, BP_PUSHBUTTON, PBS_NORMAL, &content, &extent);
    EXPECT_EQ(extent.right, 100);
    ASSERT_EQ(GetThemeBackgroundContentRect(progress.h, nullptr, PP_BAR, 1, &bounds, &content), 0);
    EXPECT_EQ(content.left, 1);
    COLORREF border = 0, fill = 0, text = 1;
    EXPECT_EQ(GetThemeColor(combo.h, CP_DROPDOWNBUTTON, CBXS_NORMAL, TMT_BORDERCOLOR, &border), 0);
    EXPECT_EQ(GetThemeColor(button.h, BP_PUSHBUTTON, PBS_NORMAL, TMT_FILLCOLOR, &fill), 0);
    EXPECT_EQ(GetThemeColor(button.h, BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, &text), 0);
    EXPECT_NE(border, fill);
    EXPECT_EQ(text, RGB(0, 0, 0));
    COLORREF disabled = 0;
    GetThemeColor(button.h, BP_PUSHBUTTON, PBS_DISABLED, TMT_TEXTCOLOR, &disabled);
    EXPECT_NE(disabled, text);
    EXPECT_LT(GetThemeColor(button.h, BP_PUSHBUTTON, PBS_NORMAL, 1234, &text), 0);
    EXPECT_TRUE(IsThemeBackgroundPartiallyTransparent(button.h, BP_RADIOBUTTON, RBS_UNCHECKEDNORMAL));
    EXPECT_FALSE(IsThemeBackgroundPartiallyTransparent(button.h, BP_PUSHBUTTON, PBS_NORMAL));
    EXPECT_LT(GetThemePartSize(nullptr, nullptr, 1, 1, nullptr, TS_TRUE, &s), 0);
}

TEST(ThemeDrawTest, PartsDrawInsideTheirRectangleAndRegionsMatch)
{
    Theme button("Button"), explorer("ExplorerBar"), scroll("ScrollBar"), progress("Progress");
    struct Case {
        HTHEME theme;
        int part, state;
    } cases[] = {
        {button.h, BP_PUSHBUTTON, PBS_HOT},          {button.h, BP_CHECKBOX, CBS_CHECKEDNORMAL},
        {button.h, BP_RADIOBUTTON, RBS_CHECKEDHOT},  {button.h, BP_GROUPBOX, GBS_NORMAL},
        {scroll.h, SBP_ARROWBTN, ABS_DOWNPRESSED},   {scroll.h, SBP_THUMBBTNVERT, SCRBS_NORMAL},
        {progress.h, PP_CHUNK, 1},                   {explorer.h, EBP_NORMALGROUPEXPAND, EBNGC_NORMAL},
    };
    for (const Case& c : cases) {
        Canvas cv(30, 30, RGB(1, 2, 3));
        RECT r{5, 5, 25, 25};
        ASSERT_EQ(DrawThemeBackground(c.theme, cv.dc(), c.part, c.state, &r, nullptr), 0);
        RECT ink = cv.InkBox(RGB(1, 2, 3));
        EXPECT_GE(ink.left, 5) << c.part;
        EXPECT_GE(ink.top, 5) << c.part;
        EXPECT_LE(ink.right, 25) << c.part;
        EXPECT_LE(ink.bottom, 25) << c.part;
        EXPECT_LT(ink.left, ink.right) << "something was drawn for part " << c.part;
    }
    Canvas clipped(30, 30, RGB(1, 2, 3));
    RECT r{0, 0, 30, 30}, clip{0, 0, 10, 30};
    DrawThemeBackground(button.h, clipped.dc(), BP_PUSHBUTTON, PBS_NORMAL, &r, &clip);
    EXPECT_LE(clipped.InkBox(RGB(1, 2, 3)).right, 10);
    HRGN rgn = nullptr;
    RECT box{0, 0, 15, 15};
    ASSERT_EQ(GetThemeBackgroundRegion(explorer.h, nullptr, EBP_NORMALGROUPEXPAND, 1, &box, &rgn), 0);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0)) << "a round part has round corners";
    EXPECT_TRUE(PtInRegion(rgn, 7, 7));
    DeleteObject(rgn);
}

TEST(ThemeDrawTest, OpaqueScrollBarPartsCoverTheirWholeRectangle)
{
    Theme scroll("ScrollBar");
    const int parts[] = {SBP_ARROWBTN, SBP_THUMBBTNHORZ, SBP_THUMBBTNVERT, SBP_LOWERTRACKVERT, SBP_UPPERTRACKHORZ};
    for (int part : parts) {
        ASSERT_FALSE(IsThemeBackgroundPartiallyTransparent(scroll.h, part, SCRBS_HOT)) << part;
        Canvas cv(30, 30, RGB(1, 2, 3));
        RECT r{5, 5, 25, 25};
        ASSERT_EQ(DrawThemeBackground(scroll.h, cv.dc(), part, SCRBS_HOT, &r, nullptr), 0);
        int uncovered = 0;
        for (int y = 5; y < 25; ++y)
            for (int x = 5; x < 25; ++x) uncovered += GetPixel(cv.dc(), x, y) == RGB(1, 2, 3);
        EXPECT_EQ(uncovered, 0) << "part " << part;
    }
}

TEST(ThemeDrawTest, SizeBoxShowsTheGripLinesInItsBottomRightCorner)
{
    Theme scroll("ScrollBar");
    Canvas cv(30, 30, RGB(1, 2, 3));
    RECT r{5, 5, 25, 25};
    ASSERT_EQ(DrawThemeBackground(scroll.h, cv.dc(), SBP_SIZEBOX, 1, &r, nullptr), 0);
    const COLORREF face = GetPixel(cv.dc(), 6, 6);
    EXPECT_NE(face, RGB(1, 2, 3));
    // Each group: one lit line, then two shadowed ones, on the diagonals
    // x + y = const next to the corner.
    EXPECT_EQ(GetPixel(cv.dc(), 24, 24), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(cv.dc(), 23, 24), GetPixel(cv.dc(), 24, 23));
    EXPECT_NE(GetPixel(cv.dc(), 23, 24), face);
    EXPECT_EQ(GetPixel(cv.dc(), 22, 24), GetPixel(cv.dc(), 23, 24));
    EXPECT_EQ(GetPixel(cv.dc(), 21, 24), face) << "the gap between groups";
    EXPECT_EQ(GetPixel(cv.dc(), 20, 24), RGB(255, 255, 255)) << "the next group";
    EXPECT_EQ(GetPixel(cv.dc(), 8, 8), face) << "the lines stay in the corner's half";
}

TEST(ThemeDrawTest, TextEdgesAndParentBackground)
{
    Theme button("Button"), edit("Edit");
    Canvas cv(60, 20);
    HGDIOBJ font = GetCurrentObject(cv.dc(), OBJ_FONT);
    RECT r{0, 0, 60, 20};
    ASSERT_EQ(DrawThemeText(button.h, cv.dc(), BP_PUSHBUTTON, PBS_NORMAL, "OK", -1,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, &r),
              0);
    RECT ink = cv.InkBox();
    EXPECT_GT(ink.left, 10);
    EXPECT_LT(ink.right, 50);
    EXPECT_EQ(GetBkMode(cv.dc()), OPAQUE) << "the DC's mode is put back";
    Canvas e(10, 10);
    RECT er{0, 0, 10, 10}, content{};
    DrawThemeEdge(edit.h, e.dc(), 0, 0, &er, BDR_RAISEDINNER, BF_RECT, &content);
    EXPECT_EQ(content.left, 1);
    EXPECT_EQ(content.right, 9);
    Canvas parent(10, 10);
    HGDIOBJ before = GetCurrentObject(parent.dc(), OBJ_FONT);
    RECT pr{2, 2, 5, 5};
    EXPECT_EQ(DrawThemeParentBackground(nullptr, parent.dc(), &pr), 0);
    EXPECT_EQ(parent.At(3, 3), GetSysColor(COLOR_BTNFACE));
    // A parent that changes the font does not leave it changed.
    quelvo::gfx::SetParentBackgroundPainter([](HWND, HDC dc, const RECT*) {
        SelectObject(dc, GetStockObject(ANSI_FIXED_FONT));
        return true;
    });
    DrawThemeParentBackground(nullptr, parent.dc(), &pr);
    quelvo::gfx::SetParentBackgroundPainter(nullptr);
    EXPECT_EQ(GetCurrentObject(parent.dc(), OBJ_FONT), before);
    (void)font;
}

} // namespace
