// The rasteriser's rules: half-open rectangles, origins, pattern alignment,
// lines, polygons, ellipses, binary raster operations, clipping, DC state.
#include "platform/graphics/surface.h"
#include "platform/system/winerror.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::kBlack;
using quelvo::gfx::test::kWhite;
using quelvo::gfx::test::Joined;
using quelvo::gfx::test::Selected;

namespace {


void Fill(HDC dc, RECT r, COLORREF c)
{
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndRefusesZeroDivisor)
{
    struct Case {
        int a, b, c, expected;
    } cases[] = {
        {10, 3, 4, 8},           // 7.5 -> 8
        {-10, 3, 4, -8},         // -7.5 -> -8
        {10, -3, 4, -8},
        {7, 1, 2, 4},            // 3.5 -> 4
        {5, 1, 3, 2},            // 1.67 -> 2
        {4, 1, 3, 1},            // 1.33 -> 1
        {0x40000000, 4, 2, -1},  // result out of range
        {2000000000, 3, 3, 2000000000}, // 64-bit product
        {1, 1, 0, -1},
        {-7, 1, -2, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(RectangleRulesTest, FillsAreHalfOpenAndEmptyRectanglesDrawNothing)
{
    struct Case {
        RECT r;
        std::vector<std::string> art;
    } cases[] = {
        {{1, 1, 4, 3}, {"......", ".###..", ".###..", "......"}},
        {{0, 0, 1, 1}, {"#.....", "......", "......", "......"}},
        {{2, 2, 2, 4}, {"......", "......", "......", "......"}},  // zero width
        {{4, 3, 1, 1}, {"......", "......", "......", "......"}},  // inverted
        {{-3, -3, 2, 1}, {"##....", "......", "......", "......"}}, // off the surface
    };
    for (const Case& c : cases) {
        Canvas cv(6, 4);
        Fill(cv.dc(), c.r, kBlack);
        EXPECT_EQ(Joined(cv.Art()), Joined(c.art));
    }
}

TEST(RectangleRulesTest, LogicalToDeviceSubtractsWindowOriginAndAddsViewportOrigin)
{
    Canvas cv(6, 4);
    SetWindowOrgEx(cv.dc(), 2, 1, nullptr);
    SetViewportOrgEx(cv.dc(), 1, 0, nullptr);
    Fill(cv.dc(), RECT{3, 2, 5, 3}, kBlack); // device (2,1)-(4,2)
    SetWindowOrgEx(cv.dc(), 0, 0, nullptr);
    SetViewportOrgEx(cv.dc(), 0, 0, nullptr);
    EXPECT_EQ(Joined(cv.Art()), Joined({"......", "..##..", "......", "......"}));
    POINT p{3, 2};
    SetWindowOrgEx(cv.dc(), 2, 1, nullptr);
    SetViewportOrgEx(cv.dc(), 1, 0, nullptr);
    LPtoDP(cv.dc(), &p, 1);
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.y, 1);
    DPtoLP(cv.dc(), &p, 1);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, 2);
}

HBITMAP MonoPattern(const WORD rows[8])
{
    return CreateBitmap(8, 8, 1, 1, rows);
}

TEST(PatternBrushTest, MonochromePatternsTakeTextColourForZeroAndBackgroundForOne)
{
    const WORD rows[8] = {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0}; // left half set
    HBITMAP bits = MonoPattern(rows);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    Canvas cv(8, 1);
    SetTextColor(cv.dc(), RGB(255, 0, 0));
    SetBkColor(cv.dc(), RGB(0, 0, 255));
    RECT r{0, 0, 8, 1};
    FillRect(cv.dc(), &r, brush);
    DeleteObject(brush);
    EXPECT_EQ(Joined(cv.Art({{RGB(255, 0, 0), 't'}, {RGB(0, 0, 255), 'b'}})), Joined({"bbbbtttt"}));
}

TEST(PatternBrushTest, PatternsAlignToTheDeviceOriginWhateverTheWindowOrigin)
{
    const WORD rows[8] = {0x80, 0, 0, 0, 0, 0, 0, 0}; // one set pixel at (0, 0)
    HBITMAP bits = MonoPattern(rows);
    HBRUSH brush = CreatePatternBrush(bits);
    DeleteObject(bits);
    for (POINT org : {POINT{0, 0}, POINT{3, 2}, POINT{-5, 7}}) {
        Canvas cv(10, 10);
        SetTextColor(cv.dc(), kWhite);
        SetBkColor(cv.dc(), kBlack);
        SetWindowOrgEx(cv.dc(), org.x, org.y, nullptr);
        RECT r{org.x, org.y, org.x + 10, org.y + 10};
        FillRect(cv.dc(), &r, brush);
        // Set pixels at device (0,0), (8,0), (0,8), (8,8) only.
        int count = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                if (cv.At(x, y) == kBlack) {
                    ++count;
                    EXPECT_EQ(x % 8, 0);
                    EXPECT_EQ(y % 8, 0);
                }
        EXPECT_EQ(count, 4) << org.x << "," << org.y;
    }
    DeleteObject(brush);
}

TEST(PatternBrushTest, HatchGapsShowTheBackgroundOnlyInOpaqueMode)
{
    HBRUSH brush = CreateHatchBrush(HS_VERTICAL, kBlack);
    for (int mode : {OPAQUE, TRANSPARENT}) {
        Canvas cv(8, 1, RGB(0, 255, 0));
        SetBkColor(cv.dc(), kWhite);
        SetBkMode(cv.dc(), mode);
        RECT r{0, 0, 8, 1};
        FillRect(cv.dc(), &r, brush);
        auto art = cv.Art({{kBlack, '#'}, {kWhite, '.'}, {RGB(0, 255, 0), 'g'}});
        EXPECT_EQ(art[0], mode == OPAQUE ? std::string(".......#") : std::string("ggggggg#"));
    }
    DeleteObject(brush);
}

TEST(LineTest, LinesLeaveOutTheirEndPointAndStepByTheDocumentedRule)
{
    struct Case {
        POINT a, b;
        std::vector<std::string> art;
    } cases[] = {
        {{0, 0}, {5, 0}, {"#####.", "......", "......", "......"}},
        {{5, 1}, {0, 1}, {"......", ".#####", "......", "......"}},
        {{1, 0}, {1, 3}, {".#....", ".#....", ".#....", "......"}},
        {{0, 0}, {3, 3}, {"#.....", ".#....", "..#...", "......"}},
        // Halves round up along the direction of travel.
        {{0, 0}, {4, 2}, {"#.....", ".##...", "...#..", "......"}},
        {{4, 2}, {0, 0}, {".#....", "..##..", "....#.", "......"}},
        {{0, 3}, {6, 0}, {".....#", "...##.", ".##...", "#....."}},
        {{2, 2}, {2, 2}, {"......", "......", "......", "......"}},
    };
    for (const Case& c : cases) {
        Canvas cv(6, 4);
        MoveToEx(cv.dc(), c.a.x, c.a.y, nullptr);
        LineTo(cv.dc(), c.b.x, c.b.y);
        EXPECT_EQ(Joined(cv.Art()), Joined(c.art)) << c.a.x << "," << c.a.y << " -> " << c.b.x << "," << c.b.y;
        POINT pos;
        GetCurrentPositionEx(cv.dc(), &pos);
        EXPECT_EQ(pos.x, c.b.x);
        EXPECT_EQ(pos.y, c.b.y);
    }
}

TEST(LineTest, PolylineLeavesOutOnlyTheLastPoint)
{
    Canvas cv(5, 4);
    POINT pts[] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    Polyline(cv.dc(), pts, 4);
    EXPECT_EQ(Joined(cv.Art()), Joined({"####.", "...#.", "...#.", ".###."}));
}

TEST(LineTest, PenStylesDrawTheirDocumentedRuns)
{
    struct Case {
        int style;
        int bkMode;
        std::string row;
    } cases[] = {
        {PS_SOLID, OPAQUE, "############"},
        {PS_DOT, TRANSPARENT, "###...###..."},
        {PS_DOT, OPAQUE, "###ooo###ooo"},
        {PS_ALTERNATE, OPAQUE, "#.#.#.#.#.#."},
        {PS_NULL, OPAQUE, "............"},
    };
    for (const Case& c : cases) {
        Canvas cv(12, 1);
        SetBkMode(cv.dc(), c.bkMode);
        SetBkColor(cv.dc(), RGB(255, 128, 0));
        HPEN pen = c.style == PS_ALTERNATE ? [] {
            LOGBRUSH lb;
            lb.lbColor = RGB(0, 0, 0);
            return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
        }()
                                           : CreatePen(c.style, 1, kBlack);
        Selected sel(cv.dc(), pen);
        MoveToEx(cv.dc(), 0, 0, nullptr);
        LineTo(cv.dc(), 12, 0);
        EXPECT_EQ(cv.Art({{kBlack, '#'}, {kWhite, '.'}, {RGB(255, 128, 0), 'o'}})[0], c.row) << c.style;
    }
}

TEST(LineTest, FarAwayEndPointsDrawOnlyTheVisiblePartByTheSameRule)
{
    struct Case {
        POINT a, b;
        int row; // the row where the line crosses the canvas
    } cases[] = {
        {{-2000000000, 1}, {2000000000, 1}, 1},
        {{3, -1000000000}, {3, 1000000000}, -1},
        {{-1000000, -1000000}, {1000000, 1000000}, -1},
    };
    for (const Case& c : cases) {
        Canvas cv(6, 4);
        MoveToEx(cv.dc(), c.a.x, c.a.y, nullptr);
        LineTo(cv.dc(), c.b.x, c.b.y);
        int ink = 0;
        for (const auto& row : cv.Art())
            ink += static_cast<int>(std::count(row.begin(), row.end(), '#'));
        EXPECT_EQ(ink, c.row >= 0 ? 6 : 4) << c.a.x << "," << c.a.y;
        if (c.a.x == -1000000) {
            EXPECT_EQ(Joined(cv.Art()), Joined({"#.....", ".#....", "..#...", "...#.."}));
        }
    }
}

TEST(PolygonTest, HugePolygonsStillFillTheVisibleRows)
{
    Canvas cv(4, 3);
    Selected b(cv.dc(), GetStockObject(BLACK_BRUSH), false);
    Selected p(cv.dc(), GetStockObject(NULL_PEN), false);
    POINT pts[] = {{-100000000, -100000000}, {100000000, -100000000}, {100000000, 100000000}, {-100000000, 100000000}};
    Polygon(cv.dc(), pts, 4);
    EXPECT_EQ(Joined(cv.Art()), Joined({"####", "####", "####"}));
}

TEST(PathTest, PathsOfShapesBecomeTheSameRegions)
{
    Canvas cv(10, 10);
    BeginPath(cv.dc());
    Ellipse(cv.dc(), 1, 1, 8, 8);
    EndPath(cv.dc());
    HRGN fromPath = PathToRegion(cv.dc());
    HRGN direct = CreateEllipticRgn(1, 1, 8, 8);
    EXPECT_TRUE(EqualRgn(fromPath, direct));
    BeginPath(cv.dc());
    MoveToEx(cv.dc(), 0, 0, nullptr);
    LineTo(cv.dc(), 4, 0);
    LineTo(cv.dc(), 4, 3);
    LineTo(cv.dc(), 0, 3);
    EndPath(cv.dc());
    HRGN box = PathToRegion(cv.dc());
    HRGN expected = CreateRectRgn(0, 0, 4, 3);
    EXPECT_TRUE(EqualRgn(box, expected));
    EXPECT_EQ(PathToRegion(cv.dc()), nullptr) << "the path is used up";
    for (HRGN r : {fromPath, direct, box, expected})
        DeleteObject(r);
}

TEST(Rop2Test, BinaryRasterOperationsCombinePenAndDestination)
{
    struct Case {
        int rop;
        COLORREF dst, pen, expected;
    } cases[] = {
        {R2_COPYPEN, RGB(10, 20, 30), RGB(1, 2, 3), RGB(1, 2, 3)},
        {R2_XORPEN, RGB(0xF0, 0x0F, 0xFF), RGB(0xFF, 0xFF, 0x0F), RGB(0x0F, 0xF0, 0xF0)},
        {R2_NOT, RGB(0xF0, 0x0F, 0x00), RGB(1, 2, 3), RGB(0x0F, 0xF0, 0xFF)},
        {R2_NOTXORPEN, RGB(0xF0, 0x0F, 0xFF), RGB(0xFF, 0xFF, 0x0F), RGB(0xF0, 0x0F, 0x0F)},
        {R2_BLACK, RGB(9, 9, 9), RGB(1, 2, 3), RGB(0, 0, 0)},
        {R2_WHITE, RGB(9, 9, 9), RGB(1, 2, 3), RGB(255, 255, 255)},
        {R2_MASKPEN, RGB(0xF0, 0xFF, 0x0F), RGB(0x3C, 0x0F, 0xFF), RGB(0x30, 0x0F, 0x0F)},
        {R2_MERGEPEN, RGB(0xF0, 0x00, 0x0F), RGB(0x0C, 0x0F, 0xF0), RGB(0xFC, 0x0F, 0xFF)},
        {R2_NOP, RGB(9, 9, 9), RGB(1, 2, 3), RGB(9, 9, 9)},
    };
    for (const Case& c : cases) {
        Canvas cv(3, 1, c.dst);
        HPEN pen = CreatePen(PS_SOLID, 1, c.pen);
        Selected sel(cv.dc(), pen);
        SetROP2(cv.dc(), c.rop);
        MoveToEx(cv.dc(), 0, 0, nullptr);
        LineTo(cv.dc(), 2, 0);
        EXPECT_EQ(cv.At(1, 0), c.expected) << "rop " << c.rop;
        EXPECT_EQ(cv.At(2, 0), c.dst) << "end point untouched";
    }
}

TEST(PolygonTest, ArrowTrianglesComeOutAsOddRowsWithVerticesIncluded)
{
    Canvas cv(9, 5);
    HBRUSH brush = CreateSolidBrush(kBlack);
    Selected b(cv.dc(), brush);
    POINT down[] = {{1, 1}, {7, 1}, {4, 4}};
    Polygon(cv.dc(), down, 3);
    EXPECT_EQ(Joined(cv.Art()), Joined({".........", ".#######.", "..#####..", "...###...", "....#...."}));
}

TEST(PolygonTest, FillFollowsPixelCentresWithThePenOutlineOnTop)
{
    Canvas cv(7, 6);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    Selected b(cv.dc(), brush);
    POINT square[] = {{1, 1}, {5, 1}, {5, 5}, {1, 5}};
    Polygon(cv.dc(), square, 4);
    EXPECT_EQ(Joined(cv.Art({{kWhite, '.'}, {kBlack, '#'}, {RGB(0, 0, 255), 'o'}})),
              Joined({".......", ".#####.", ".#ooo#.", ".#ooo#.", ".#ooo#.", ".#####."}));
    Canvas nopen(7, 6);
    Selected b2(nopen.dc(), CreateSolidBrush(RGB(0, 0, 255)));
    Selected p2(nopen.dc(), GetStockObject(NULL_PEN), false);
    Polygon(nopen.dc(), square, 4);
    EXPECT_EQ(Joined(nopen.Art({{kWhite, '.'}, {kBlack, '#'}, {RGB(0, 0, 255), 'o'}})),
              Joined({".......", ".oooo..", ".oooo..", ".oooo..", ".oooo..", "......."}));
}

TEST(PolygonTest, AlternateAndWindingRulesDifferOnOverlaps)
{
    // Two overlapping squares drawn as one polygon path each way round.
    POINT pts[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {2, 2}, {6, 2}, {6, 6}, {2, 6}};
    INT counts[] = {4, 4};
    for (int mode : {ALTERNATE, WINDING}) {
        Canvas cv(7, 7);
        Selected p(cv.dc(), GetStockObject(NULL_PEN), false);
        Selected b(cv.dc(), GetStockObject(BLACK_BRUSH), false);
        SetPolyFillMode(cv.dc(), mode);
        PolyPolygon(cv.dc(), pts, counts, 2);
        EXPECT_EQ(cv.At(3, 3), mode == ALTERNATE ? kWhite : kBlack);
        EXPECT_EQ(cv.At(1, 1), kBlack);
        EXPECT_EQ(cv.At(5, 5), kBlack);
    }
}

TEST(ShapeTest, RectangleOutlinesWithThePenAndFillsInside)
{
    Canvas cv(6, 5);
    Selected b(cv.dc(), CreateSolidBrush(RGB(0, 0, 255)));
    Rectangle(cv.dc(), 0, 0, 5, 4);
    EXPECT_EQ(Joined(cv.Art({{kWhite, '.'}, {kBlack, '#'}, {RGB(0, 0, 255), 'o'}})),
              Joined({"#####.", "#ooo#.", "#ooo#.", "#####.", "......"}));
    Canvas nopen(6, 5);
    Selected b2(nopen.dc(), CreateSolidBrush(RGB(0, 0, 255)));
    Selected p2(nopen.dc(), GetStockObject(NULL_PEN), false);
    Rectangle(nopen.dc(), 0, 0, 5, 4);
    EXPECT_EQ(Joined(nopen.Art({{kWhite, '.'}, {kBlack, '#'}, {RGB(0, 0, 255), 'o'}})),
              Joined({"oooo..", "oooo..", "oooo..", "......", "......"}));
}

TEST(ShapeTest, EllipsesKeepPixelCentresInsideWithAFourConnectedOutline)
{
    struct Case {
        RECT box;
        std::vector<std::string> art;
    } cases[] = {
        {{0, 0, 7, 7},
         {"..###..", ".#ooo#.", "#ooooo#", "#ooooo#", "#ooooo#", ".#ooo#.", "..###.."}},
        {{0, 0, 9, 5},
         {"..#####..", "##ooooo##", "#ooooooo#", "##ooooo##", "..#####.."}},
        {{1, 1, 4, 4}, {".......", ".###...", ".#o#...", ".###...", ".......", ".......", "......."}},
    };
    for (const Case& c : cases) {
        int w = c.art[0].size(), h = c.art.size();
        Canvas cv(w, h);
        Selected b(cv.dc(), CreateSolidBrush(RGB(0, 0, 255)));
        Ellipse(cv.dc(), c.box.left, c.box.top, c.box.right, c.box.bottom);
        EXPECT_EQ(Joined(cv.Art({{kWhite, '.'}, {kBlack, '#'}, {RGB(0, 0, 255), 'o'}})), Joined(c.art));
    }
}

TEST(ShapeTest, RoundRectCornersFollowTheCornerEllipse)
{
    Canvas cv(8, 6);
    Selected b(cv.dc(), CreateSolidBrush(RGB(0, 0, 255)));
    RoundRect(cv.dc(), 0, 0, 8, 6, 4, 4);
    EXPECT_EQ(Joined(cv.Art({{kWhite, '.'}, {kBlack, '#'}, {RGB(0, 0, 255), 'o'}})),
              Joined({".######.", "#oooooo#", "#oooooo#", "#oooooo#", "#oooooo#", ".######."}));
}

TEST(ShapeTest, PieKeepsTheCounterClockwiseSweep)
{
    Canvas cv(9, 9);
    Selected b(cv.dc(), GetStockObject(BLACK_BRUSH), false);
    Selected p(cv.dc(), GetStockObject(NULL_PEN), false);
    // From the right (3 o'clock) counter-clockwise to the top (12 o'clock).
    Pie(cv.dc(), 0, 0, 9, 9, 9, 4, 4, 0);
    EXPECT_EQ(cv.At(6, 2), kBlack); // upper right quarter
    EXPECT_EQ(cv.At(2, 2), kWhite);
    EXPECT_EQ(cv.At(2, 6), kWhite);
    EXPECT_EQ(cv.At(6, 6), kWhite);
}

TEST(ShapeTest, ArcAndChordKeepToTheirSweep)
{
    // Upper-right quarter, counter-clockwise from 3 o'clock to 12 o'clock.
    Canvas arc(9, 9);
    Arc(arc.dc(), 0, 0, 9, 9, 9, 4, 4, 0);
    auto art = arc.Art();
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            if (art[y][x] == '#') {
                EXPECT_GE(x, 4) << x << "," << y;
                EXPECT_LE(y, 4) << x << "," << y;
            }
    EXPECT_EQ(art[0][4], '#') << "the arc reaches the top";
    EXPECT_EQ(art[4][8], '#') << "and the right";
    EXPECT_EQ(art[4][4], '.') << "an arc draws no fill";
    Canvas chord(9, 9);
    Selected b(chord.dc(), GetStockObject(BLACK_BRUSH), false);
    Chord(chord.dc(), 0, 0, 9, 9, 9, 4, 4, 0);
    EXPECT_EQ(chord.At(6, 2), kBlack) << "beyond the chord line";
    EXPECT_EQ(chord.At(3, 5), kWhite) << "the centre side of the chord stays empty";
}

TEST(ClipTest, ClipRegionsAreDeviceRectanglesAndIntersect)
{
    Canvas cv(8, 4);
    SetWindowOrgEx(cv.dc(), 1, 0, nullptr);
    IntersectClipRect(cv.dc(), 2, 0, 7, 4); // device 1..6
    ExcludeClipRect(cv.dc(), 4, 1, 5, 3);   // device 3..4, rows 1..2
    Fill(cv.dc(), RECT{-10, -10, 20, 20}, kBlack);
    SetWindowOrgEx(cv.dc(), 0, 0, nullptr);
    SelectClipRgn(cv.dc(), nullptr);
    EXPECT_EQ(Joined(cv.Art()), Joined({".#####..", ".##.##..", ".##.##..", ".#####.."}));
}

TEST(ClipTest, ClipQueriesReportLogicalCoordinates)
{
    Canvas cv(20, 10);
    HRGN r = CreateRectRgn(2, 3, 12, 8);
    EXPECT_EQ(SelectClipRgn(cv.dc(), r), SIMPLEREGION);
    SetWindowOrgEx(cv.dc(), 5, 5, nullptr);
    RECT box;
    EXPECT_EQ(GetClipBox(cv.dc(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 7);
    EXPECT_EQ(box.top, 8);
    EXPECT_EQ(box.right, 17);
    EXPECT_EQ(box.bottom, 13);
    RECT in{10, 10, 11, 11}, out{0, 0, 7, 8}, edge{16, 12, 30, 30};
    EXPECT_TRUE(RectVisible(cv.dc(), &in));
    EXPECT_FALSE(RectVisible(cv.dc(), &out));
    EXPECT_TRUE(RectVisible(cv.dc(), &edge));
    EXPECT_TRUE(PtVisible(cv.dc(), 7, 8));
    EXPECT_FALSE(PtVisible(cv.dc(), 17, 8));
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(cv.dc(), got), 1);
    EXPECT_TRUE(EqualRgn(got, r));
    SelectClipRgn(cv.dc(), nullptr);
    EXPECT_EQ(GetClipRgn(cv.dc(), got), 0);
    DeleteObject(got);
    DeleteObject(r);
}

TEST(DCStateTest, RestoreDCBringsBackObjectsOriginsAndClip)
{
    Canvas cv(4, 4);
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    int saved = SaveDC(cv.dc());
    EXPECT_EQ(saved, 1);
    HGDIOBJ old = SelectObject(cv.dc(), red);
    SetWindowOrgEx(cv.dc(), 3, 3, nullptr);
    IntersectClipRect(cv.dc(), 0, 0, 1, 1);
    SetTextColor(cv.dc(), RGB(1, 2, 3));
    EXPECT_TRUE(RestoreDC(cv.dc(), -1));
    EXPECT_EQ(GetCurrentObject(cv.dc(), OBJ_PEN), old);
    POINT org;
    GetWindowOrgEx(cv.dc(), &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(GetTextColor(cv.dc()), kBlack);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(cv.dc(), probe), 0);
    DeleteObject(probe);
    EXPECT_FALSE(RestoreDC(cv.dc(), 1)) << "nothing left to restore";
    EXPECT_TRUE(DeleteObject(red));
}

TEST(DCStateTest, DeletingASelectedObjectWaitsUntilItIsDeselected)
{
    Canvas cv(2, 2);
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(cv.dc(), brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), OBJ_BRUSH) << "still in use";
    Rectangle(cv.dc(), 0, 0, 2, 2);
    SelectObject(cv.dc(), old);
    EXPECT_EQ(GetObjectType(brush), 0u) << "gone once deselected";
}

TEST(DCStateTest, StaleAndForgedHandlesAreRefused)
{
    HDC dc = CreateCompatibleDC(nullptr);
    DeleteDC(dc);
    SetLastError(0);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
    RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    HGDIOBJ forged = reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0x7FFF1234));
    EXPECT_EQ(GetObjectType(forged), 0u);
    EXPECT_FALSE(DeleteObject(forged));
    EXPECT_EQ(GetObjectA(forged, 0, nullptr), 0);
}

TEST(HostileInputTest, ExtremeCoordinatesAndSizesNeverOverflowOrHang)
{
    const int M = INT32_MAX, m = INT32_MIN;
    Canvas cv(8, 8);
    Canvas src(4, 4);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    Selected f(cv.dc(), font);
    struct Origin {
        int x, y;
    } origins[] = {{0, 0}, {m, m}, {M, M}, {-5, 1000}};
    for (Origin o : origins) {
        SetWindowOrgEx(cv.dc(), o.x, o.y, nullptr);
        RECT huge{m, m, M, M};
        FillRect(cv.dc(), &huge, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        Rectangle(cv.dc(), m, m, M, M);
        Ellipse(cv.dc(), m, m, M, M);
        RoundRect(cv.dc(), m, m, M, M, M, M);
        Pie(cv.dc(), m, m, M, M, 0, 0, 1, 1);
        MoveToEx(cv.dc(), m, m, nullptr);
        LineTo(cv.dc(), M, M);
        PatBlt(cv.dc(), m, m, M, M, PATCOPY);
        BitBlt(cv.dc(), m, m, M, M, src.dc(), m, m, SRCCOPY);
        StretchBlt(cv.dc(), 0, 0, 8, 8, src.dc(), m, m, M, M, SRCCOPY);
        TextOutA(cv.dc(), M, M, "text", 4);
        INT dx[2] = {M, M};
        ExtTextOutA(cv.dc(), 0, 0, 0, nullptr, "ab", 2, dx);
        DrawTextA(cv.dc(), "a b c", -1, &huge, DT_WORDBREAK | DT_CENTER);
        DrawTextA(cv.dc(), "a b c", -1, &huge, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        RECT edge = huge;
        DrawEdge(cv.dc(), &edge, EDGE_RAISED, BF_RECT | BF_ADJUST);
        DrawFrameControl(cv.dc(), &edge, DFC_BUTTON, DFCS_BUTTONCHECK);
        DrawFocusRect(cv.dc(), &huge);
        IntersectClipRect(cv.dc(), m, m, M, M);
        SelectClipRgn(cv.dc(), nullptr);
    }
    SetWindowOrgEx(cv.dc(), 0, 0, nullptr);
    HRGN e = CreateEllipticRgn(m, m, M, M);
    RECT box;
    EXPECT_NE(GetRgnBox(e, &box), ERROR) << "a huge elliptic region falls back to its box";
    DeleteObject(e);
    RECT r{0, 0, 5, 5};
    OffsetRect(&r, M, M);
    EXPECT_EQ(r.right, M);
    InflateRect(&r, M, M);
    EXPECT_EQ(r.left, 0) << "saturated, not wrapped";
    EXPECT_EQ(r.right, M);
    RoundRect(cv.dc(), 0, 0, 8, 8, m, m);
}

// Several threads drawing into their own bitmaps at once get the pixels
// one thread alone gets.
TEST(ThreadTest, ThreadsDrawingTheirOwnBitmapsAgreeWithOneThread)
{
    auto draw = [] {
        Canvas cv(40, 20);
        HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
        HGDIOBJ old = SelectObject(cv.dc(), font);
        HBRUSH brush = CreateHatchBrush(HS_CROSS, RGB(0, 0, 200));
        RECT r{0, 0, 40, 20};
        FillRect(cv.dc(), &r, brush);
        Ellipse(cv.dc(), 2, 2, 30, 18);
        TextOutA(cv.dc(), 3, 3, "Threads", 7);
        HRGN rgn = CreateEllipticRgn(0, 0, 20, 20);
        InvertRgn(cv.dc(), rgn);
        DeleteObject(rgn);
        SelectObject(cv.dc(), old);
        DeleteObject(font);
        DeleteObject(brush);
        return cv.Art({{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}}, '+');
    };
    const auto expected = draw();
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&] {
            for (int k = 0; k < 25; ++k)
                if (draw() != expected)
                    ++mismatches;
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches.load(), 0);
}

// The window layer's hook: a DC on a shared surface, offset to a child's
// origin and limited to its visible region (surface coordinates).
TEST(SurfaceDCTest, WindowDCsDrawAtTheirOriginWithinTheVisibleRegion)
{
    quelvo::gfx::Surface surface(8, 6);
    surface.Fill(0x00FFFFFF);
    HRGN visible = CreateRectRgn(3, 2, 7, 6);
    HRGN hole = CreateRectRgn(4, 3, 5, 4);
    CombineRgn(visible, visible, hole, RGN_DIFF);
    HDC dc = quelvo::gfx::CreateSurfaceDC(surface, POINT{2, 1}, visible);
    DeleteObject(visible);
    DeleteObject(hole);
    EXPECT_EQ(quelvo::gfx::SurfaceOfDC(dc), &surface);
    RECT all{-100, -100, 100, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    std::vector<std::string> art;
    for (int y = 0; y < 6; ++y) {
        std::string row;
        for (int x = 0; x < 8; ++x)
            row += (surface.At(x, y) & 0xFFFFFF) == 0 ? '#' : '.';
        art.push_back(row);
    }
    EXPECT_EQ(Joined(art), Joined({"........", "........", "...####.", "...#.##.", "...####.", "...####."}));
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 1) << "device coordinates of the DC start at its origin";
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 5);
    EXPECT_EQ(box.bottom, 5);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, probe), 0) << "the visible region is not the application's clip region";
    DeleteObject(probe);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID) << "outside the visible region";
    EXPECT_TRUE(quelvo::gfx::SetSurfaceDCVisibleRegion(dc, nullptr));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_TRUE(quelvo::gfx::ReleaseSurfaceDC(dc));
    EXPECT_EQ(quelvo::gfx::SurfaceOfDC(dc), nullptr);
}

TEST(DCStateTest, DeviceCapsDescribeA96DpiTrueColourDevice)
{
    Canvas cv(3, 2);
    EXPECT_EQ(GetDeviceCaps(cv.dc(), BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(cv.dc(), LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(cv.dc(), LOGPIXELSY), 96);
    EXPECT_EQ(GetNearestColor(cv.dc(), RGB(12, 34, 56)), RGB(12, 34, 56));
    HDC fresh = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(fresh, BITSPIXEL), 1) << "a new memory DC holds a 1 x 1 monochrome bitmap";
    DeleteDC(fresh);
    EXPECT_EQ(GetDeviceCaps(cv.dc(), HORZRES), 3) << "memory DCs: their bitmap";
    quelvo::gfx::SetScreenSize(SIZE{1280, 1024});
    HDC screen = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1280);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 1024);
    quelvo::gfx::Surface window(10, 10);
    HDC wdc = quelvo::gfx::CreateSurfaceDC(window, POINT{2, 3}, nullptr);
    EXPECT_EQ(GetDeviceCaps(wdc, HORZRES), 1280) << "window DCs: the screen";
    quelvo::gfx::ReleaseSurfaceDC(wdc);
    DeleteDC(screen);
    quelvo::gfx::SetScreenSize(SIZE{1920, 1080});
}

} // namespace
