// Region algebra, region shapes, and drawing through regions.
#include "platform/graphics/surface.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::Joined;

namespace {

struct Rgn {
    HRGN h;
    explicit Rgn(HRGN r) : h(r) {}
    Rgn(int l, int t, int r, int b) : h(CreateRectRgn(l, t, r, b)) {}
    ~Rgn() { DeleteObject(h); }
    Rgn(const Rgn&) = delete;
    Rgn& operator=(const Rgn&) = delete;
};

// The region's pixels in a w x h grid.
std::vector<std::string> Art(HRGN r, int w, int h)
{
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x)
            row += PtInRegion(r, x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(RegionAlgebraTest, CombineModesOnTwoOverlappingSquares)
{
    struct Case {
        int mode;
        int complexity;
        std::vector<std::string> art;
    } cases[] = {
        {RGN_AND, SIMPLEREGION, {"......", "......", "..##..", "..##..", "......", "......"}},
        {RGN_OR, COMPLEXREGION, {"####..", "####..", "######", "######", "..####", "..####"}},
        {RGN_XOR, COMPLEXREGION, {"####..", "####..", "##..##", "##..##", "..####", "..####"}},
        {RGN_DIFF, COMPLEXREGION, {"####..", "####..", "##....", "##....", "......", "......"}},
        {RGN_COPY, SIMPLEREGION, {"####..", "####..", "####..", "####..", "......", "......"}},
    };
    for (const Case& c : cases) {
        Rgn a(0, 0, 4, 4), b(2, 2, 6, 6), out(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(out.h, a.h, b.h, c.mode), c.complexity) << c.mode;
        EXPECT_EQ(Joined(Art(out.h, 6, 6)), Joined(c.art)) << c.mode;
    }
    Rgn a(0, 0, 4, 4), b(5, 5, 6, 6), out(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out.h, a.h, b.h, RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(out.h, a.h, b.h, 99), ERROR);
    EXPECT_EQ(CombineRgn(out.h, a.h, nullptr, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(a.h, a.h, a.h, RGN_DIFF), NULLREGION) << "operands may be the destination";
}

TEST(RegionAlgebraTest, QueriesAndOffsets)
{
    Rgn r(2, 3, 8, 6);
    RECT box;
    EXPECT_EQ(GetRgnBox(r.h, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 6);
    EXPECT_TRUE(PtInRegion(r.h, 2, 3));
    EXPECT_FALSE(PtInRegion(r.h, 8, 3)) << "right edge excluded";
    EXPECT_FALSE(PtInRegion(r.h, 2, 6)) << "bottom edge excluded";
    RECT touching{8, 3, 10, 6}, overlapping{7, 5, 10, 10};
    EXPECT_FALSE(RectInRegion(r.h, &touching));
    EXPECT_TRUE(RectInRegion(r.h, &overlapping));
    EXPECT_EQ(OffsetRgn(r.h, -2, -3), SIMPLEREGION);
    Rgn same(0, 0, 6, 3);
    EXPECT_TRUE(EqualRgn(r.h, same.h));
    Rgn empty1(5, 5, 5, 9), empty2(3, 3, 3, 3);
    EXPECT_TRUE(EqualRgn(empty1.h, empty2.h)) << "all empty regions are equal";
    EXPECT_EQ(GetRgnBox(empty1.h, &box), NULLREGION);
    EXPECT_TRUE(SetRectRgn(r.h, 6, 6, 1, 1)) << "coordinates are put in order";
    GetRgnBox(r.h, &box);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.right, 6);
}

TEST(RegionAlgebraTest, RectanglesComeOutInBandsFromTopToBottom)
{
    Rgn a(0, 0, 4, 2), b(6, 0, 8, 2), c(0, 3, 8, 4), out(0, 0, 0, 0);
    CombineRgn(out.h, a.h, b.h, RGN_OR);
    CombineRgn(out.h, out.h, c.h, RGN_OR);
    std::vector<RECT> rects = quelvo::gfx::RegionRects(out.h);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0].right, 4);
    EXPECT_EQ(rects[1].left, 6);
    EXPECT_EQ(rects[2].top, 3);
    EXPECT_TRUE(quelvo::gfx::RegionRects(nullptr).empty());
}

TEST(RegionShapeTest, EllipticAndRoundRegionsMatchTheDrawnShapes)
{
    Rgn e(CreateEllipticRgn(0, 0, 7, 7));
    EXPECT_EQ(Joined(Art(e.h, 7, 7)),
              Joined({"..###..", ".#####.", "#######", "#######", "#######", ".#####.", "..###.."}));
    Canvas cv(7, 7);
    SelectObject(cv.dc(), GetStockObject(BLACK_BRUSH));
    Ellipse(cv.dc(), 0, 0, 7, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(PtInRegion(e.h, x, y) != 0, cv.At(x, y) == RGB(0, 0, 0)) << x << "," << y;
    Rgn rr(CreateRoundRectRgn(0, 0, 8, 6, 4, 4));
    EXPECT_EQ(Joined(Art(rr.h, 8, 6)), Joined({".######.", "########", "########", "########", "########", ".######."}));
}

TEST(RegionShapeTest, PolygonRegionsUseTheFillRule)
{
    POINT tri[] = {{1, 1}, {7, 1}, {4, 4}};
    Rgn t(CreatePolygonRgn(tri, 3, ALTERNATE));
    EXPECT_EQ(Joined(Art(t.h, 9, 5)), Joined({".........", ".######..", "..####...", "...##....", "........."}));
    EXPECT_EQ(CreatePolygonRgn(tri, 3, 7), nullptr);
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, ALTERNATE), nullptr);
    Rgn two(CreatePolygonRgn(tri, 2, ALTERNATE));
    RECT box;
    EXPECT_EQ(GetRgnBox(two.h, &box), NULLREGION);
}

TEST(RegionPaintTest, FillFrameInvertAndPaintUseLogicalCoordinates)
{
    Canvas cv(7, 5);
    SetWindowOrgEx(cv.dc(), 1, 0, nullptr);
    Rgn r(1, 0, 7, 5); // device 0..6
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(FrameRgn(cv.dc(), r.h, black, 2, 1));
    EXPECT_EQ(Joined(cv.Art()), Joined({"######.", "##..##.", "##..##.", "##..##.", "######."}));
    EXPECT_TRUE(InvertRgn(cv.dc(), r.h));
    EXPECT_EQ(Joined(cv.Art()), Joined({".......", "..##...", "..##...", "..##...", "......."}));
    Canvas fill(4, 2);
    Rgn small(1, 0, 3, 1);
    FillRgn(fill.dc(), small.h, black);
    EXPECT_EQ(Joined(fill.Art()), Joined({".##.", "...."}));
    SelectObject(fill.dc(), black);
    Rgn second(0, 1, 1, 2);
    PaintRgn(fill.dc(), second.h);
    EXPECT_EQ(Joined(fill.Art()), Joined({".##.", "#..."}));
    EXPECT_FALSE(FillRgn(fill.dc(), nullptr, black));
    EXPECT_FALSE(FrameRgn(fill.dc(), small.h, black, -1, 1));
}

} // namespace
