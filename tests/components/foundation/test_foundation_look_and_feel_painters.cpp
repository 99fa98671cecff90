#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "platform/windows/loop.h"
#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using namespace foundationtest;

namespace {

using Painter = TcxCustomLookAndFeelPainter;
const Painter& Base() { return *Painter::Class(); }

// A painter with borders and a sorting mark, to see the base behaviour
// that depends on them.
class SizedPainter : public TcxCustomLookAndFeelPainter {
public:
    int HeaderBorderSize() const override { return 2; }
    int ButtonBorderSize(TcxButtonState) const override { return 1; }
    POINT SortingMarkSize() const override { return POINT{8, 7}; }
    void DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState) const override
    {
        canvas->FrameRect(r, clBlack);
    }
};
const SizedPainter kSized;

const std::map<COLORREF, char> kLegend = {
    {RGB(255, 255, 255), '.'},          {RGB(255, 0, 0), 'r'},  {RGB(0, 255, 0), 'g'},
    {RGB(0, 0, 0), '#'},                {Distinct(COLOR_BTNTEXT), 'T'},    {Distinct(COLOR_BTNSHADOW), 'S'},
    {Distinct(COLOR_BTNHIGHLIGHT), 'H'}, {Distinct(COLOR_BTNFACE), 'F'},   {Distinct(COLOR_WINDOW), 'W'},
    {Distinct(COLOR_WINDOWTEXT), 'X'},
};

std::string Rows(std::initializer_list<const char*> rows)
{
    std::string s = "\n";
    for (const char* row : rows) (s += row) += '\n';
    return s;
}

// A surface whose pen is left in a colour no golden expects.
Surface Stale(int width, int height)
{
    Surface s(width, height);
    s.Canvas().Pen()->SetColor(clLime);
    s.Canvas().Pen()->SetWidth(1);
    return s;
}

class Painters : public DistinctPalette {};

TEST(PainterGeometry, ArrowPoints)
{
    struct Case {
        RECT r;
        TcxArrowDirection direction;
        bool proportional;
        TcxArrowPoints expected;
    };
    const Case cases[] = {
        {{0, 0, 16, 16}, adUp, false, {POINT{7, 6}, POINT{4, 9}, POINT{10, 9}}},
        {{0, 0, 16, 16}, adDown, false, {POINT{4, 6}, POINT{10, 6}, POINT{7, 9}}},
        {{0, 0, 16, 16}, adLeft, false, {POINT{6, 8}, POINT{9, 5}, POINT{9, 11}}},
        {{0, 0, 16, 16}, adRight, false, {POINT{6, 5}, POINT{6, 11}, POINT{9, 8}}},
        // Proportional squares a wide rectangle first: 30 x 10 becomes 10 x 10,
        // whose half base (4) is even and gains one.
        {{0, 0, 30, 10}, adUp, true, {POINT{14, 4}, POINT{12, 6}, POINT{16, 6}}},
        {{0, 0, 30, 10}, adUp, false, {POINT{14, 1}, POINT{7, 8}, POINT{21, 8}}},
        {{2, 3, 10, 11}, adDown, true, {POINT{4, 6}, POINT{6, 6}, POINT{5, 7}}},
    };
    for (const auto& c : cases) {
        TcxArrowPoints points{};
        Painter::CalculateArrowPoints(c.r, points, c.direction, c.proportional);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(points[i].x, c.expected[i].x) << c.direction << c.proportional << " point " << i;
            EXPECT_EQ(points[i].y, c.expected[i].y) << c.direction << c.proportional << " point " << i;
        }
    }
}

TEST(PainterGeometry, ArrowDirectionOfScrollBarParts)
{
    for (auto part : {sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown}) {
        EXPECT_EQ(Painter::GetArrowDirection(false, part), part == sbpLineUp ? adUp : adDown) << part;
        EXPECT_EQ(Painter::GetArrowDirection(true, part), part == sbpLineUp ? adLeft : adRight) << part;
    }
}

TEST(PainterGeometry, MetricsOfTheNeutralPainter)
{
    const Painter& p = Base();
    EXPECT_EQ(p.LookAndFeelStyle(), lfsStandard);
    const std::pair<const char*, int> metrics[] = {
        {"BorderSize", p.BorderSize()},
        {"ButtonBorderSize", p.ButtonBorderSize()},
        {"ButtonTextOffset", p.ButtonTextOffset()},
        {"ButtonTextShift", p.ButtonTextShift()},
        {"CheckBorderSize", p.CheckBorderSize()},
        {"ExpandButtonSize", p.ExpandButtonSize()},
        {"GroupExpandButtonSize", p.GroupExpandButtonSize()},
        {"SmallExpandButtonSize", p.SmallExpandButtonSize()},
        {"HeaderBorderSize", p.HeaderBorderSize()},
        {"HeaderControlSectionBorderSize", p.HeaderControlSectionBorderSize()},
        {"FooterBorderSize", p.FooterBorderSize()},
        {"FooterCellBorderSize", p.FooterCellBorderSize()},
        {"FooterCellOffset", p.FooterCellOffset()},
        {"FooterSeparatorSize", p.FooterSeparatorSize()},
        {"TabBorderSize", p.TabBorderSize(false)},
        {"FilterCloseButtonSize.x", p.FilterCloseButtonSize().x},
        {"FilterDropDownButtonSize.y", p.FilterDropDownButtonSize().y},
        {"SortingMarkAreaSize.x", p.SortingMarkAreaSize().x},
    };
    const int expected[] = {0, 0, 0, 0, 2, 0, 15, 9, 0, 1, 0, 0, 0, 1, 0, 16, 0, 16};
    for (std::size_t i = 0; i < std::size(metrics); ++i) EXPECT_EQ(metrics[i].second, expected[i]) << metrics[i].first;
    EXPECT_EQ(p.DefaultRecordSeparatorColor(), p.DefaultGridLineColor());
    EXPECT_EQ(p.FilterPopupBorderStyle(), pbsUltraFlat);
    EXPECT_EQ(kSized.SortingMarkAreaSize().y, 7);
}

TEST(PainterGeometry, FocusRectangleAndHeaderBounds)
{
    EXPECT_TRUE(cxRectIsEqual(Base().ButtonFocusRect(nullptr, RECT{0, 0, 8, 8}), RECT{0, 0, 8, 8}));
    EXPECT_TRUE(cxRectIsEqual(Base().ButtonFocusRect(nullptr, RECT{0, 0, 9, 20}), RECT{4, 4, 5, 16}));
    EXPECT_TRUE(cxRectIsEqual(Base().ButtonFocusRect(nullptr, RECT{0, 0, 20, 8}), RECT{0, 0, 20, 8}));

    const RECT r{10, 10, 50, 30};
    EXPECT_TRUE(cxRectIsEqual(kSized.HeaderContentBounds(r, TcxBorders{bLeft, bBottom}), RECT{12, 10, 50, 28}));
    EXPECT_TRUE(cxRectIsEqual(kSized.HeaderContentBounds(r, cxBordersAll), RECT{12, 12, 48, 28}));
    // Every border the neighbours would leave is wanted here: the base
    // leaves none, so nothing grows.
    EXPECT_TRUE(cxRectIsEqual(kSized.HeaderBounds(r, TcxNeighbors{nLeft}), r));
    EXPECT_EQ(kSized.HeaderHeight(13), 13 + 2 * 2 + 4);
    EXPECT_EQ(Base().HeaderHeight(13), 17);
}

TEST_F(Painters, HeaderWidthAddsTheLeftBorderAndTakesTheRightOne)
{
    Surface s(4, 4);
    const int text = s.Canvas().TextWidth("Name");
    ASSERT_GT(text, 0);
    EXPECT_EQ(kSized.HeaderWidth(&s.Canvas(), cxBordersAll, "Name", nullptr), text + 4);
    EXPECT_EQ(kSized.HeaderWidth(&s.Canvas(), TcxBorders{bLeft}, "Name", nullptr), text + 6);
    EXPECT_EQ(kSized.HeaderWidth(&s.Canvas(), TcxBorders{bRight}, "Name", nullptr), text + 2);
}

TEST_F(Painters, FilledArrowsIgnoreAStalePen)
{
    Surface s = Stale(16, 12);
    Base().DrawArrow(&s.Canvas(), RECT{0, 0, 16, 12}, adUp, clRed);
    // Proportional: the 12 x 12 square in the middle, base 5, depth 3.
    EXPECT_EQ(s.Art(kLegend), Rows({"................",
                                     "................",
                                     "................",
                                     "................",
                                     "................",
                                     ".......r........",
                                     "......rrr.......",
                                     ".....rrrrr......",
                                     "................",
                                     "................",
                                     "................",
                                     "................"}));
    Surface t = Stale(16, 16);
    Base().DrawButtonArrow(&t.Canvas(), RECT{0, 0, 16, 16}, clRed);
    EXPECT_EQ(t.Art(kLegend), Rows({"................",
                                     "................",
                                     "................",
                                     "................",
                                     "................",
                                     "................",
                                     "...rrrrrrrrr....",
                                     "....rrrrrrr.....",
                                     ".....rrrrr......",
                                     "......rrr.......",
                                     ".......r........",
                                     "................",
                                     "................",
                                     "................",
                                     "................",
                                     "................"}));
}

TEST_F(Painters, ButtonArrowsTakeStateColours)
{
    // The second form fills the rectangle in the button colour first.
    Surface s = Stale(9, 9);
    Base().DrawArrow(&s.Canvas(), RECT{0, 0, 9, 9}, cxbsNormal, adRight, false);
    EXPECT_EQ(s.Art(kLegend), Rows({"FFFFFFFFF", "FFFFFFFFF", "FFFTFFFFF", "FFFTTFFFF", "FFFTTTFFF",
                                     "FFFTTFFFF", "FFFTFFFFF", "FFFFFFFFF", "FFFFFFFFF"}));
    // A disabled scroll-bar arrow is etched: light one pixel off, shadow on top.
    Surface t = Stale(9, 9);
    Base().DrawScrollBarArrow(&t.Canvas(), RECT{0, 0, 9, 9}, cxbsDisabled, adDown);
    EXPECT_EQ(t.Art(kLegend), Rows({".........", ".........", ".........", "..SSSSS..", "...SSSHH.",
                                     "....SHH..", ".....H...", ".........", "........."}));
}

TEST_F(Painters, CheckMarkIsThreePixelsThick)
{
    Surface s = Stale(13, 13);
    Base().DrawCheckButton(&s.Canvas(), RECT{0, 0, 13, 13}, cxbsNormal, true);
    EXPECT_EQ(s.Art(kLegend), Rows({".............", ".............", "..WWWWWWWWW..", "..WWWWWWWTW..",
                                     "..WWWWWWTTW..", "..WTWWWTTTW..", "..WTTWTTTWW..", "..WTTTTTWWW..",
                                     "..WWTTTWWWW..", "..WWWTWWWWW..", "..WWWWWWWWW..", ".............",
                                     "............."}));
    Surface t = Stale(13, 13);
    Base().DrawCheckButton(&t.Canvas(), RECT{0, 0, 13, 13}, cxbsDisabled, false);
    EXPECT_EQ(t.At(6, 6), Distinct(COLOR_BTNFACE));
}

TEST_F(Painters, ExpandCrossesAndTheCloseCross)
{
    Surface s = Stale(20, 9);
    Base().DrawSmallExpandButton(&s.Canvas(), RECT{0, 0, 9, 9}, false, clBlack, clWindow);
    Base().DrawSmallExpandButton(&s.Canvas(), RECT{10, 0, 19, 9}, true, clBlack);
    EXPECT_EQ(s.Art(kLegend), Rows({"#########.#########.", "#WWWWWWW#.#.......#.", "#WWWTWWW#.#.......#.",
                                     "#WWWTWWW#.#.......#.", "#WTTTTTW#.#.TTTTT.#.", "#WWWTWWW#.#.......#.",
                                     "#WWWTWWW#.#.......#.", "#WWWWWWW#.#.......#.", "#########.#########."}));
    Surface t = Stale(12, 10);
    Base().DrawButtonCross(&t.Canvas(), RECT{0, 0, 12, 10}, clRed, cxbsNormal);
    // Side 7 (half of 16, less one as it is even), at (2, 1).
    EXPECT_EQ(t.Art(kLegend), Rows({"............", "..rr....rr..", "...rr..rr...", "....rrrr....",
                                     ".....rr.....", "....rrrr....", "...rr..rr...", "..rr....rr..",
                                     "............", "............"}));
}

TEST_F(Painters, GroupExpandMarkIsADoubleChevron)
{
    for (bool expanded : {true, false}) {
        Surface s = Stale(9, 11);
        Base().DrawGroupExpandButtonMark(&s.Canvas(), RECT{0, 0, 9, 11}, expanded, cxbsNormal);
        const std::string up = Rows({".........", "....T....", "...TTT...", "..TT.TT..", ".TT...TT.", ".T..T..T.",
                                     "...TTT...", "..TT.TT..", ".TT...TT.", ".T.....T.", "........."});
        const std::string down = Rows({".........", ".T.....T.", ".TT...TT.", "..TT.TT..", "...TTT...", ".T..T..T.",
                                       ".TT...TT.", "..TT.TT..", "...TTT...", "....T....", "........."});
        EXPECT_EQ(s.Art(kLegend), expanded ? up : down) << expanded;
    }
}

TEST_F(Painters, SortingArrowsTakeTheirColourPairs)
{
    Surface s = Stale(22, 9);
    kSized.DrawSortingArrow(&s.Canvas(), RECT{0, 0, 10, 9}, clRed, clBlack, true);
    kSized.DrawSortingArrow(&s.Canvas(), RECT{11, 0, 21, 9}, clRed, clBlack, false);
    EXPECT_EQ(s.Art(kLegend), Rows({"......................", "....#.......rrrrrrr#..", "...r.#.......r....#...",
                                     "...r.#.......r....#...", "..r...#.......r..#....", "..r....#......r.#.....",
                                     ".r.....#.......r#.....", ".########......#......", "......................"}));
}

TEST_F(Painters, MonthHeaderArrowsAndTheCrossHair)
{
    Surface s = Stale(20, 10);
    Base().DrawMonthHeaderArrows(&s.Canvas(), RECT{0, 0, 20, 10}, haBoth, 3, clRed);
    // Height 8 inside the one-pixel insets: arrows 5 high, 3 deep, apexes
    // two pixels in from the edges.
    EXPECT_EQ(s.Art(kLegend), Rows({"....................", "....................", "....r..........r....",
                                     "...rr..........rr...", "..rrr..........rrr..", "...rr..........rr...",
                                     "....r..........r....", "....................", "....................",
                                     "...................."}));
    Surface t = Stale(11, 11);
    Base().DrawChartViewNavigatorAddValueColumnButtonCrossHire(&t.Canvas(), RECT{0, 0, 11, 11}, cxbsDisabled);
    EXPECT_EQ(t.Art(kLegend), Rows({"...........", ".....SH....", ".....SH....", ".....SH....", ".....SH....",
                                     ".SSSSSSSSSH", ".HHHHSHHHHH", ".....SH....", ".....SH....", ".....SH....",
                                     ".....HH...."}));
}

TEST_F(Painters, ButtonCaptionsCentreOnAnEvenHeight)
{
    // A 17-pixel button loses its last row and lends one above, so its text
    // sits one pixel higher than on an 18-pixel one.
    RECT ink[2];
    for (int height : {17, 18}) {
        Surface s(40, 24);
        Base().DrawButton(&s.Canvas(), RECT{0, 2, 40, 2 + height}, "Ok", cxbsNormal, true, clWhite);
        ink[height - 17] = s.Ink();
        const auto pixels = s.Pixels();
        EXPECT_NE(std::find(pixels.begin(), pixels.end(), Distinct(COLOR_BTNTEXT)), pixels.end()) << height;
    }
    ASSERT_FALSE(cxRectIsEmpty(ink[0]));
    EXPECT_EQ(ink[0].top + 1, ink[1].top);
    EXPECT_EQ(ink[0].bottom + 1, ink[1].bottom);
    Surface plain(40, 24);
    Base().DrawButton(&plain.Canvas(), RECT{0, 2, 40, 20}, "", cxbsNormal);
    EXPECT_EQ(plain.At(20, 10), Distinct(COLOR_BTNFACE));
}

TEST_F(Painters, ABackgroundEventThatPaintsLeavesOnlyTheText)
{
    for (bool handled : {true, false}) {
        Surface s(40, 20);
        int calls = 0;
        const auto onBackground = TcxDrawBackgroundEvent::FromFunction([&](TcxCanvas*, const RECT& r, bool& done) {
            ++calls;
            EXPECT_EQ(r.right, 40);
            done = handled;
        });
        Base().DrawContent(&s.Canvas(), RECT{0, 0, 40, 20}, RECT{2, 2, 38, 18}, 0, taCenter, vaCenter, false, false,
                           "Ab", nullptr, clBlack, clRed, onBackground);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(s.At(0, 0), handled ? RGB(255, 255, 255) : RGB(255, 0, 0)) << handled;
        EXPECT_FALSE(cxRectIsEmpty(s.Ink()));
        EXPECT_EQ(s.Canvas().Brush()->Style(), bsSolid);
    }
}

// Logs the border calls of the composite operations and where the content
// went.
class LoggingPainter : public SizedPainter {
public:
    mutable std::vector<std::string> log;
    static std::string Text(const RECT& r)
    {
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    void DrawHeaderBorder(TcxCanvas*, const RECT& r, TcxNeighbors, TcxBorders borders) const override
    {
        log.push_back("header border " + Text(r) + (borders == cxBordersAll ? " all" : " some"));
    }
    void DrawFooterCellBorder(TcxCanvas*, const RECT& r) const override { log.push_back("footer border " + Text(r)); }
    void DrawButtonBorder(TcxCanvas*, const RECT& r, TcxButtonState state) const override
    {
        log.push_back("button border " + Text(r) + " " + std::to_string(state));
    }
    int FooterCellBorderSize() const override { return 1; }
    void DrawContent(TcxCanvas*, const RECT& bounds, const RECT& textArea, int, TAlignment alignmentHorz,
                     TcxAlignmentVert, bool, bool showEndEllipsis, const std::string& text, TFont*, TColor, TColor,
                     const TcxDrawBackgroundEvent&, bool isFooter) const override
    {
        log.push_back("content " + Text(bounds) + " text " + Text(textArea) + " '" + text + "' " +
                      std::to_string(alignmentHorz) + (showEndEllipsis ? " ellipsis" : "") +
                      (isFooter ? " footer" : ""));
    }
};

TEST_F(Painters, CompositeOperationsDrawBorderThenContentInsideIt)
{
    const RECT r{0, 0, 40, 20};
    struct Case {
        const char* what;
        std::function<void(const LoggingPainter&, TcxCanvas*)> draw;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"header",
         [&](const LoggingPainter& p, TcxCanvas* c) {
             p.DrawHeader(c, r, RECT{3, 3, 30, 17}, {}, cxBordersAll, cxbsNormal, taRightJustify, vaTop, false, true,
                          "Name", nullptr, clBlack, clWhite);
         },
         {"header border 0,0,40,20 all", "content 2,2,38,18 text 3,3,30,17 'Name' 1 ellipsis"}},
        {"footer cell",
         [&](const LoggingPainter& p, TcxCanvas* c) {
             p.DrawFooterCell(c, r, taCenter, vaCenter, false, "Sum", nullptr, clBlack, clWhite);
         },
         {"footer border 0,0,40,20", "content 1,1,39,19 text 3,3,37,17 'Sum' 2 footer"}},
        {"indicator",
         [&](const LoggingPainter& p, TcxCanvas* c) { p.DrawIndicatorItem(c, r, ikNone, clWhite); },
         {"header border 0,0,40,20 all", "content 2,2,38,18 text 0,0,40,20 '' 0"}},
        {"month header",
         [&](const LoggingPainter& p, TcxCanvas* c) {
             p.DrawMonthHeader(c, r, "May", {}, TcxViewParams{}, haNone, 5);
         },
         {"header border 0,0,40,20 all", "content 2,2,38,18 text 0,0,40,20 'May' 2"}},
        {"filter close button",
         [&](const LoggingPainter& p, TcxCanvas* c) { p.DrawFilterCloseButton(c, r, cxbsHot); },
         {"button border 0,0,40,20 2"}},
        {"group expand button",
         [&](const LoggingPainter& p, TcxCanvas* c) { p.DrawGroupExpandButton(c, r, true, cxbsPressed); },
         {"button border 0,0,40,20 3"}},
    };
    for (const auto& c : cases) {
        const LoggingPainter painter;
        Surface s(40, 20);
        c.draw(painter, &s.Canvas());
        EXPECT_EQ(painter.log, c.expected) << c.what;
    }
}

// The shared images: indicator glyphs, radio buttons and auto-hide glyphs.
class PainterImages : public DistinctPalette {
protected:
    void SetUp() override
    {
        DistinctPalette::SetUp();
        cxLookAndFeelPainterImagesInitialize();
    }
    void TearDown() override
    {
        cxLookAndFeelPainterImagesFinalize();
        DistinctPalette::TearDown();
        quelvo::win::ResetWindowManager();
    }
};

class FlatStyled : public TcxCustomLookAndFeelPainter {
public:
    TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsFlat; }
};
const FlatStyled kFlatStyled;

TEST_F(PainterImages, OperationsDrawTheSharedImagesWhereThePartSays)
{
    TImageList* indicators = cxIndicatorImages();
    ASSERT_NE(indicators, nullptr);
    TBitmap* on = cxAutoHideOnGlyph();
    TBitmap* off = cxAutoHideOffGlyph();
    ASSERT_NE(on, nullptr);
    const RECT r{0, 0, 24, 20};
    const int ix = (24 - indicators->Width()) / 2, iy = (20 - indicators->Height()) / 2;
    const int gx = (24 - on->Width()) / 2, gy = (20 - on->Height()) / 2;
    struct Case {
        const char* what;
        std::function<void(TcxCanvas*)> painted, direct;
    };
    const Case cases[] = {
        {"no indicator", [&](TcxCanvas* c) { Painter::DrawIndicatorImage(c, r, ikNone); }, [](TcxCanvas*) {}},
        {"arrow indicator", [&](TcxCanvas* c) { Painter::DrawIndicatorImage(c, r, ikArrow); },
         [&](TcxCanvas* c) { c->DrawImage(indicators, ix, iy, 0); }},
        {"multi-arrow indicator", [&](TcxCanvas* c) { Painter::DrawIndicatorImage(c, r, ikMultiArrow); },
         [&](TcxCanvas* c) { c->DrawImage(indicators, ix, iy, 4); }},
        {"standard radio", [](TcxCanvas* c) { Base().DrawRadioButton(c, 3, 4, cxbsHot, true, false, clRed); },
         [](TcxCanvas* c) { cxRadioButtonImageList()->Draw(c, 3, 4, clRed, lfStandard, cxbsHot, true, false, false); }},
        {"flat radio", [](TcxCanvas* c) { kFlatStyled.DrawRadioButton(c, 3, 4, cxbsNormal, false, true, clDefault, true); },
         [](TcxCanvas* c) { cxRadioButtonImageList()->Draw(c, 3, 4, clDefault, lfFlat, cxbsNormal, false, true, true); }},
        {"auto-hide, not pinned", [&](TcxCanvas* c) { Base().DrawChartViewNavigatorAutoHideButton(c, r, cxbsNormal, false, clNone); },
         [&](TcxCanvas* c) {
             c->SetBrushColor(clBtnFace);
             c->FillRect(r);
             c->DrawGlyph(gx, gy, on);
         }},
        {"auto-hide, pinned and pressed", [&](TcxCanvas* c) { Base().DrawChartViewNavigatorAutoHideButton(c, r, cxbsPressed, true, clNone); },
         [&](TcxCanvas* c) {
             c->SetBrushColor(clBtnFace);
             c->FillRect(r);
             c->DrawGlyph(gx + 1, gy + 1, off);
         }},
    };
    for (const auto& c : cases) {
        Surface painted(24, 20), direct(24, 20);
        c.painted(&painted.Canvas());
        c.direct(&direct.Canvas());
        EXPECT_EQ(painted.Pixels(), direct.Pixels()) << c.what;
        if (std::string(c.what) != "no indicator") {
            EXPECT_FALSE(cxRectIsEmpty(painted.Ink())) << c.what;
        }
    }
}

}  // namespace
