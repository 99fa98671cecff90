#include <gtest/gtest.h>

#include <set>

#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/system/muldiv.h"
#include "platform/windows/loop.h"
#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using namespace foundationtest;

namespace {

class Office11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        quelvo::gfx::ResetSysColors();
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
    }
    void TearDown() override
    {
        quelvo::gfx::SetThemeName("Flat.theme", "Normal");
        quelvo::gfx::SetThemeActive(true);
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        quelvo::gfx::ResetSysColors();
        quelvo::win::ResetWindowManager();
    }
};

TEST_F(Office11, SchemesFollowTheThemeName)
{
    struct Case {
        const char* file;
        const char* color;
        bool active;
        TOffice11Scheme scheme;
        COLORREF toolbars1;
    };
    const Case cases[] = {
        {"C:\\Windows\\Resources\\Themes\\Luna\\luna.msstyles", "NormalColor", true, schNormalColor, RGB(221, 236, 254)},
        {"luna.msstyles", "HomeStead", true, schHomestead, RGB(244, 247, 222)},
        {"/themes/Luna.MSSTYLES", "metallic", true, schMetallic, RGB(243, 244, 250)},
        {"luna.msstyles", "Royale", true, schUnknown, RGB(246, 245, 243)},
        {"Flat.theme", "NormalColor", true, schUnknown, RGB(246, 245, 243)},
        {"luna.msstyles", "NormalColor", false, schUnknown, RGB(246, 245, 243)},
    };
    for (const auto& c : cases) {
        quelvo::gfx::SetThemeName(c.file, c.color);
        quelvo::gfx::SetThemeActive(c.active);
        RefreshOffice11Colors();
        EXPECT_EQ(GetOffice11Scheme(), c.scheme) << c.file << " " << c.color;
        EXPECT_EQ(IsXPStandardScheme(), c.scheme != schUnknown);
        EXPECT_EQ(static_cast<COLORREF>(dxOffice11ToolbarsColor1), c.toolbars1) << c.color;
        quelvo::gfx::SetThemeActive(true);
    }
    quelvo::gfx::SetThemeName("luna.msstyles", "Homestead");
    RefreshOffice11Colors();
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11GroupRowTextColor), RGB(115, 137, 84));
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11GroupIndentColor), RGB(253, 238, 201));
    EXPECT_EQ(dxOffice11InPlaceSubItemColor, dxOffice11BarBorderMarkColors[3]);
}

TEST_F(Office11, ClassicPaletteColours)
{
    RefreshOffice11Colors();
    ASSERT_EQ(GetOffice11Scheme(), schUnknown);
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11DockColor2), RGB(246, 246, 244));
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11ToolbarsColor1), RGB(246, 245, 243));
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11ToolbarsColor2), RGB(214, 210, 202));
    EXPECT_EQ(dxOffice11DockColor1, static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(dxOffice11MenuDownedColor2, dxOffice11ToolbarsColor2);
}

TEST_F(Office11, AColourChangeRecreatesEveryBrush)
{
    CreateOffice11Colors();
    CreateOffice11Colors();
    ASSERT_NE(dxOffice11MenuBrush, nullptr);
    EXPECT_EQ(dxOffice11DropDownBorderBrush2, dxOffice11MenuBrush);
    EXPECT_EQ(dxOffice11StaticBorderBrush, dxOffice11DropDownBorderBrush1);
    EXPECT_EQ(dxOffice11DetachableSelectedBrush, dxOffice11ToolbarSelectedBrush);
    ASSERT_NE(dxOffice11SubMenuExpandBitmap, nullptr);
    EXPECT_EQ(dxOffice11SubMenuExpandBitmap->Width(), 16);
    EXPECT_EQ(dxOffice11ExpandButtonBitmap2->Height(), 11);
    const HBRUSH menu = dxOffice11MenuBrush;
    INT window = COLOR_WINDOW;
    COLORREF pink = RGB(250, 200, 220);
    SetSysColors(1, &window, &pink);
    RefreshOffice11Colors();
    EXPECT_EQ(static_cast<COLORREF>(dxOffice11MenuColor), pink);
    LOGBRUSH lb{};
    EXPECT_EQ(GetObjectA(menu, sizeof(lb), &lb), 0) << "the old brush is gone";
    ASSERT_EQ(GetObjectA(dxOffice11MenuBrush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbColor, pink);
    // The arrow's shades run between the two toolbar colours.
    std::set<COLORREF> shades;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) shades.insert(static_cast<COLORREF>(dxOffice11SubMenuExpandBitmap->Canvas()->Pixel(x, y)));
    EXPECT_TRUE(shades.count(static_cast<COLORREF>(dxOffice11ToolbarsColor2)));
    ReleaseOffice11Colors();
    EXPECT_NE(dxOffice11MenuBrush, nullptr);
    ReleaseOffice11Colors();
    EXPECT_EQ(dxOffice11MenuBrush, nullptr);
    EXPECT_EQ(dxOffice11SubMenuExpandBitmap, nullptr);
}

TEST(Office11Drawing, MiddleColoursStayInRange)
{
    EXPECT_EQ(static_cast<COLORREF>(GetMiddleRGB(clWhite, clBlack, 50)), RGB(128, 128, 128));
    EXPECT_EQ(static_cast<COLORREF>(GetMiddleRGB(clWhite, clBlack, -1)), RGB(0, 0, 0));
    EXPECT_EQ(static_cast<COLORREF>(GetMiddleRGB(clWhite, clWhite, 150)), RGB(255, 255, 255));
}

TEST(Office11Drawing, GradientBandsCoverTheRunAndAgreeWithTheColourAt)
{
    for (int length : {1, 2, 255, 256, 259, 600}) {
        Surface s(length, 1);
        const RECT r{0, 0, length, 1};
        FillGradientRect(s.Bitmap()->Canvas()->Handle(), r, clBlack, clWhite, true);
        const auto pixels = s.Pixels();
        int bands = 1, disagree = 0;
        for (int x = 0; x < length; ++x) {
            if (x > 0 && pixels[static_cast<std::size_t>(x)] != pixels[static_cast<std::size_t>(x) - 1]) ++bands;
            if (static_cast<COLORREF>(GetGradientColorRect(r, x, clBlack, clWhite, true)) != pixels[static_cast<std::size_t>(x)])
                ++disagree;
        }
        EXPECT_EQ(bands, std::min(length, 256)) << length;
        EXPECT_EQ(disagree, 0) << length;
        EXPECT_EQ(pixels.front(), RGB(0, 0, 0)) << length;
    }
}

TEST(Office11Drawing, TubeRunsThroughTheMiddleColour)
{
    quelvo::gfx::ResetSysColors();
    RefreshOffice11Colors();  // no scheme: tube factor 75
    Surface s(1, 10);
    FillTubeGradientRect(s.Bitmap()->Canvas()->Handle(), RECT{0, 0, 1, 10}, clWhite, clBlack, false);
    const auto pixels = s.Pixels();
    EXPECT_EQ(pixels.front(), RGB(255, 255, 255));
    const int middle = 255 - MulDiv(255, 75, 200);
    EXPECT_EQ(pixels[5], RGB(middle, middle, middle));
    EXPECT_EQ(pixels.back(), RGB(0, 0, 0));
    for (std::size_t i = 1; i < pixels.size(); ++i) EXPECT_LE(GetRValue(pixels[i]), GetRValue(pixels[i - 1])) << i;
}

TEST(Office11Drawing, ItemArrowsAndSizeGrip)
{
    quelvo::gfx::ResetSysColors();
    CreateOffice11Colors();
    const std::map<COLORREF, char> legend = {{RGB(255, 255, 255), '.'},
                                             {static_cast<COLORREF>(dxOffice11TextEnabledColor), '#'},
                                             {static_cast<COLORREF>(dxOffice11TextDisabledColor), 'g'},
                                             {static_cast<COLORREF>(dxOffice11BarFingerColor1), 'D'},
                                             {static_cast<COLORREF>(dxOffice11BarFingerColor2), 'L'}};
    Surface right(12, 12);
    Office11DrawItemArrow(right.Bitmap()->Canvas()->Handle(), RECT{0, 0, 12, 12}, false, true, false, false);
    EXPECT_EQ(right.Art(legend), "\n............\n............\n............\n....#.......\n....##......\n"
                                 "....###.....\n....##......\n....#.......\n............\n............\n"
                                 "............\n............\n");
    Surface down(12, 8);
    Office11DrawItemArrow(down.Bitmap()->Canvas()->Handle(), RECT{0, 0, 12, 8}, true, false, false, false);
    EXPECT_EQ(down.Art(legend), "\n............\n............\n...ggggg....\n....ggg.....\n.....g......\n"
                                "............\n............\n............\n");
    // On grey, so that the white dots show.
    Surface grip(14, 13);
    grip.Canvas().SetBrushColor(clGray);
    grip.Canvas().FillRect(RECT{0, 0, 14, 13});
    Office11DrawSizeGrip(grip.Bitmap()->Canvas()->Handle(), RECT{0, 0, 14, 13});
    const std::map<COLORREF, char> dots = {{RGB(128, 128, 128), '.'},
                                           {static_cast<COLORREF>(dxOffice11BarFingerColor1), 'D'},
                                           {static_cast<COLORREF>(dxOffice11BarFingerColor2), 'L'}};
    EXPECT_EQ(grip.Art(dots), "\n..............\n..............\n..........DD..\n..........DDL.\n"
                              "...........LL.\n..............\n......DD..DD..\n......DDL.DDL.\n"
                              ".......LL..LL.\n..............\n..DD..DD..DD..\n..DDL.DDL.DDL.\n"
                              "...LL..LL..LL.\n");
    ReleaseOffice11Colors();
}

}  // namespace
