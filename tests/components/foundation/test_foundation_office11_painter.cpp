// The Office 2003 painter on the classic palette: its header gradient and
// corners, the hot underline, frames and colours by state, the blended
// expand button and the scroll bar it borrows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/uxtheme.h"
#include "platform/windows/loop.h"
#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using foundationtest::Surface;

namespace {

const TcxOffice11LookAndFeelPainter& Office()
{
    return static_cast<const TcxOffice11LookAndFeelPainter&>(*TcxOffice11LookAndFeelPainter::Class());
}

class Office11Painter : public ::testing::Test {
protected:
    void SetUp() override
    {
        quelvo::gfx::ResetSysColors();
        quelvo::gfx::SetThemeName("Flat.theme", "Normal");
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxUltraFlatLookAndFeelPaintersInitialize();
        RefreshOffice11Colors();
    }
    void TearDown() override
    {
        cxUltraFlatLookAndFeelPaintersFinalize();
        quelvo::gfx::SetThemeName("Flat.theme", "Normal");
        quelvo::gfx::SetThemeActive(true);
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        quelvo::gfx::ResetSysColors();
        quelvo::win::ResetWindowManager();
    }
    static void Header(Surface& s, const RECT& r, TcxNeighbors neighbors, TcxButtonState state = cxbsNormal,
                       const TcxDrawBackgroundEvent& event = {})
    {
        Office().DrawHeader(&s.Canvas(), r, r, neighbors, Office().HeaderBorders(neighbors), state, taLeftJustify,
                            vaCenter, false, false, "", nullptr, clBtnText, clRed, event);
    }
};

std::string Rgb(COLORREF c)
{
    return std::to_string(GetRValue(c)) + "," + std::to_string(GetGValue(c)) + "," + std::to_string(GetBValue(c));
}

TEST_F(Office11Painter, HeaderGradientAndCornersOnTheClassicPalette)
{
    EXPECT_EQ(Rgb(ColorToRGB(Office().HeaderTopColor())), "230,228,223");
    const RECT r{0, 0, 30, 20};
    Surface s(30, 20);
    Header(s, r, {});
    // Column 10: the gradient's four rows above the dark bottom edge.
    std::vector<std::string> rows;
    for (int y = 15; y < 19; ++y) rows.push_back(Rgb(s.At(10, y)));
    EXPECT_EQ(rows, (std::vector<std::string>{"230,228,223", "225,222,216", "219,216,209", "214,210,202"}));
    EXPECT_EQ(s.At(10, 19), ColorToRGB(Office().HeaderDarkEdgeColor())) << "the bottom border";
    EXPECT_EQ(Rgb(s.At(10, 5)), "230,228,223") << "the background event never paints an Office 2003 header";
    // Corners without and with neighbours.
    const COLORREF t = ColorToRGB(Office().HeaderTopColor()), b = ColorToRGB(Office().HeaderBottomColor());
    const COLORREF dark = ColorToRGB(Office().HeaderDarkEdgeColor()), light = ColorToRGB(Office().HeaderHighlightEdgeColor());
    EXPECT_EQ(Rgb(ColorToRGB(GetMiddleRGB(Office().HeaderTopColor(), Office().HeaderBottomColor(), 25))), "219,215,208");
    EXPECT_EQ(s.At(0, 5), light);
    EXPECT_EQ(s.At(0, 18), b);
    EXPECT_EQ(s.At(29, 5), dark);
    EXPECT_EQ(s.At(29, 0), ColorToRGB(GetMiddleRGB(Office().HeaderTopColor(), Office().HeaderDarkEdgeColor(), 50)));
    Surface n(30, 20);
    Header(n, r, {nLeft, nRight});
    EXPECT_EQ(n.At(0, 1), t);
    EXPECT_EQ(n.At(0, 17), ColorToRGB(GetMiddleRGB(Office().HeaderTopColor(), Office().HeaderBottomColor(), 25)));
    EXPECT_EQ(n.At(0, 2), light);
    EXPECT_EQ(n.At(29, 1), t);
    EXPECT_EQ(n.At(29, 18), b);
    EXPECT_EQ(n.At(29, 2), dark);
    EXPECT_TRUE(Office().HeaderBorders({nLeft, nTop}) == cxBordersAll);
}

TEST_F(Office11Painter, TheLunaBlueSchemeTintsTheHeader)
{
    quelvo::gfx::SetThemeName("luna.msstyles", "NormalColor");
    quelvo::gfx::SetThemeActive(true);
    RefreshOffice11Colors();
    EXPECT_EQ(Rgb(ColorToRGB(Office().HeaderTopColor())), "176,203,240");
    EXPECT_EQ(Office().ButtonSymbolColor(cxbsPressed), dxOffice11TextEnabledColor)
        << "no highlight text on a pressed button under the standard scheme";
}

TEST_F(Office11Painter, HotUnderlineReachesPastTheBoundsButNeverOnAFooter)
{
    Surface hot(30, 24), footer(30, 24);
    const RECT r{2, 2, 26, 20};
    Office().DrawContent(&hot.Canvas(), r, r, cxbsHot, taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText,
                         clRed);
    Office().DrawFooterCell(&footer.Canvas(), r, taLeftJustify, vaCenter, false, "", nullptr, clBtnText, clRed);
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_NE(hot.At(1, 20), white) << "one column left, one row below";
    EXPECT_NE(hot.At(25, 18), white);
    EXPECT_EQ(hot.At(26, 20), white);
    EXPECT_EQ(hot.At(1, 17), white);
    EXPECT_EQ(hot.At(10, 5), ColorToRGB(dxOffice11ToolbarsColor1));
    EXPECT_EQ(footer.At(1, 20), white);
    EXPECT_EQ(footer.At(10, 18), ColorToRGB(Office().HeaderTopColor())) << "a footer is one flat colour";
    EXPECT_EQ(footer.At(10, 4), ColorToRGB(Office().HeaderTopColor()));
}

TEST_F(Office11Painter, FramesAndColoursByState)
{
    struct Row {
        TcxButtonState state;
        TColor frame, face, symbol;
    };
    const Row rows[] = {
        {cxbsNormal, clBtnText, dxOffice11DockColor1, dxOffice11TextEnabledColor},
        {cxbsHot, dxOffice11SelectedBorderColor, dxOffice11SelectedColor1, dxOffice11TextEnabledColor},
        {cxbsPressed, dxOffice11SelectedBorderColor, dxOffice11SelectedDownColor1, clHighlightText},
        {cxbsDisabled, dxOffice11TextDisabledColor, clBtnFace, dxOffice11TextDisabledColor},
        {cxbsDefault, clWindowFrame, dxOffice11DockColor1, dxOffice11TextEnabledColor},
    };
    for (const Row& row : rows) {
        Surface s(20, 16);
        Office().DrawButton(&s.Canvas(), RECT{0, 0, 20, 16}, "", row.state);
        EXPECT_EQ(s.At(0, 8), ColorToRGB(row.frame)) << row.state;
        EXPECT_EQ(s.At(10, 8), ColorToRGB(row.face)) << row.state;
        EXPECT_EQ(Office().ButtonColor(row.state), row.face) << row.state;
        EXPECT_EQ(Office().ButtonSymbolColor(row.state), row.symbol) << row.state;
    }
    EXPECT_EQ(Office().CheckButtonColor(cxbsHot), dxOffice11SelectedColor1);
    EXPECT_EQ(Office().CheckButtonColor(cxbsNormal), clWindow);
}

TEST_F(Office11Painter, ExpandButtonBlendsItsCornersIntoTheBackground)
{
    Surface s(13, 13);
    s.Canvas().SetBrushColor(clRed);
    s.Canvas().FillRect(RECT{0, 0, 13, 13});
    const COLORREF corner = dxOffice11ExpandButtonBitmap2->Canvas()->Pixel(10, 10);
    Office().DrawExpandButton(&s.Canvas(), RECT{1, 1, 12, 12}, false);
    EXPECT_EQ(s.At(1, 1), ColorToRGB(GetMiddleRGB(dxOffice11ExpandButtonColor1, clRed, 25)));
    EXPECT_EQ(s.At(11, 11), ColorToRGB(GetMiddleRGB(dxOffice11ExpandButtonColor2, clRed, 25)))
        << "blended with the button's own bottom-right pixel";
    EXPECT_EQ(s.At(11, 1), s.At(11, 11));
    EXPECT_EQ(s.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(COLORREF(dxOffice11ExpandButtonBitmap2->Canvas()->Pixel(10, 10)), corner) << "the palette's bitmap stays";
    EXPECT_FALSE(Office().DrawExpandButtonFirst());
    EXPECT_EQ(Office().SmallExpandButtonSize(), 11);
}

// Remembers that it was asked to draw a scroll-bar part.
class RecordingPainter : public TcxCustomLookAndFeelPainter {
public:
    void DrawScrollBarPart(TcxCanvas*, bool, const RECT&, TcxScrollBarPart part, TcxButtonState) const override
    {
        parts.push_back(part);
    }
    mutable std::vector<TcxScrollBarPart> parts;
};

TEST_F(Office11Painter, ScrollBarPartsComeFromTheThemedPainterWhenTheThemeOpens)
{
    const RecordingPainter native;
    cxRegisterLookAndFeelPainter(lfsNative, &native);
    Surface themed(16, 16);
    Office().DrawScrollBarPart(&themed.Canvas(), false, RECT{0, 0, 16, 16}, sbpLineUp, cxbsHot);
    EXPECT_EQ(native.parts, (std::vector<TcxScrollBarPart>{sbpLineUp}));
    quelvo::gfx::SetThemeActive(false);
    Surface ours(16, 16), standard(16, 16);
    Office().DrawScrollBarPart(&ours.Canvas(), false, RECT{0, 0, 16, 16}, sbpLineUp, cxbsHot);
    TcxStandardLookAndFeelPainter::Class()->DrawScrollBarPart(&standard.Canvas(), false, RECT{0, 0, 16, 16}, sbpLineUp,
                                                              cxbsHot);
    EXPECT_EQ(native.parts.size(), 1u) << "themes off: the standard painter draws";
    EXPECT_EQ(ours.Pixels(), standard.Pixels());
    cxRegisterLookAndFeelPainter(lfsNative, nullptr);
}

TEST_F(Office11Painter, MonthHeaderAndSchedulerBorderLightly)
{
    TcxViewParams params{};
    params.Color = clRed;
    params.TextColor = clBlack;
    Surface s(40, 20);
    Office().DrawMonthHeader(&s.Canvas(), RECT{0, 0, 40, 20}, "", {}, params, haBoth, 8);
    EXPECT_EQ(s.At(0, 0), RGB(255, 255, 255)) << "the fill is one pixel in";
    EXPECT_EQ(s.At(20, 1), RGB(255, 0, 0));
    EXPECT_EQ(s.At(39, 10), RGB(255, 255, 255));
    int arrows = 0;
    for (COLORREF c : s.Pixels()) arrows += c == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(arrows, 4) << "both arrows in WINDOWTEXT";
    Surface border(10, 10);
    Office().DrawSchedulerBorder(&border.Canvas(), RECT{0, 0, 10, 10});
    EXPECT_EQ(border.At(0, 5), ColorToRGB(dxOffice11OutlookBorderColor));
    EXPECT_EQ(border.At(5, 5), RGB(255, 255, 255));
}

}  // namespace
