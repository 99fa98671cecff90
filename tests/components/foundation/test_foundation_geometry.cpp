#include <gtest/gtest.h>

#include "components/foundation/cxGeometry.h"
#include "platform/graphics/libraries.h"
#include "platform/system/libraries.h"
#include "platform/windows/winuser.h"
#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using namespace foundationtest;

namespace {

std::vector<LONG> V(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST(Geometry, RectangleCases)
{
    RECT out{1, 1, 1, 1};
    EXPECT_FALSE(cxRectIntersect(out, RECT{0, 0, 10, 10}, RECT{10, 0, 20, 10}));
    EXPECT_EQ(V(out), V(cxNullRect));
    EXPECT_TRUE(cxRectIntersect(out, RECT{0, 0, 10, 10}, RECT{5, 2, 20, 8}));
    EXPECT_EQ(V(out), (std::vector<LONG>{5, 2, 10, 8}));
    EXPECT_TRUE(cxRectIsNull(RECT{5, 5, 5, 5}));
    EXPECT_FALSE(cxRectIsNull(RECT{0, 0, 1, 0}));
    EXPECT_EQ(cxRectCenter(RECT{-3, 0, 0, 0}).x, -1);
    EXPECT_EQ(V(cxRectCenter(RECT{0, 0, 10, 10}, SIZE{4, 3})), (std::vector<LONG>{3, 3, 7, 6}));
    EXPECT_EQ(V(cxRectUnion(RECT{1, 2, 3, 4}, RECT{5, 5, 5, 9})), (std::vector<LONG>{1, 2, 3, 4}));
    EXPECT_EQ(V(cxRectUnion(RECT{1, 2, 3, 4}, RECT{0, 3, 5, 9})), (std::vector<LONG>{0, 2, 5, 9}));
    EXPECT_EQ(V(cxRectInflate(RECT{10, 10, 20, 20}, RECT{1, 2, 3, 4})), (std::vector<LONG>{11, 12, 17, 16}));
    EXPECT_EQ(V(cxRectOffset(RECT{0, 0, 1, 1}, std::vector<POINT>{{1, 2}, {3, 4}})), (std::vector<LONG>{4, 6, 5, 7}));
    EXPECT_EQ(V(cxRectSetRight(RECT{0, 0, 10, 5}, 30)), (std::vector<LONG>{20, 0, 30, 5}));
    RECT a, b;
    cxRectSplitHorz(RECT{0, 0, 11, 4}, a, b);
    EXPECT_EQ(a.right, 5);
    EXPECT_EQ(b.left, 5);
    EXPECT_EQ(cxRectGetItem(RECT{1, 2, 3, 4}, 2), 3);
    int mn, mx;
    cxRectMinMaxInit(mn, mx);
    cxRectMinMaxWidth(RECT{3, 0, 9, 0}, mx, mn);
    EXPECT_EQ(mn, 3);
    EXPECT_EQ(mx, 9);
    const POINT none = cxPointSum({});
    EXPECT_TRUE(cxPointIsNull(none));
    EXPECT_EQ(cxPointReplaceItem(POINT{1, 2}, 1, 7).y, 7);
}

TEST(Geometry, ScalingKeepsTheOrientation)
{
    // Left' = b + MulDiv(Left - a, new, old): a rectangle right of the
    // anchor stays right of the new anchor.
    EXPECT_EQ(V(cxRectScaleWidth(RECT{10, 1, 20, 5}, 0, 100, 10, 20)), (std::vector<LONG>{120, 1, 140, 5}));
    EXPECT_EQ(V(cxRectScaleHeight(RECT{1, 10, 5, 20}, 5, 0, 1, 1)), (std::vector<LONG>{1, 5, 5, 15}));
}

TEST(Geometry, PointInRectangleWithTolerance)
{
    const RECT r{10, 10, 20, 20};
    const std::vector<std::pair<POINT, TcxPtInRectType>> cases = {
        {{21, 15}, ptrtRight}, {{15, 21}, ptrtBottom}, {{8, 15}, ptrtLeft},
        {{15, 8}, ptrtTop},    {{30, 30}, ptrtNone},   {{15, 15}, ptrtArea},
    };
    for (auto [p, expected] : cases) EXPECT_EQ(cxRectPtInEx(r, p.x, p.y, 3), expected) << p.x << "," << p.y;
    EXPECT_EQ(cxRectPtInEx(r, 22, 15, 1, 0), ptrtNone);
}

TEST(Geometry, OverlappedStrips)
{
    RECT r1v, r1h, r2v, r2h;
    cxRectOverlapped(RECT{0, 0, 10, 10}, RECT{3, 4, 13, 14}, r1v, r1h, r2v, r2h);
    EXPECT_EQ(V(r1v), (std::vector<LONG>{0, 0, 10, 4}));
    EXPECT_EQ(V(r2v), (std::vector<LONG>{3, 10, 13, 14}));
    EXPECT_EQ(V(r1h), (std::vector<LONG>{0, 0, 3, 10}));
    EXPECT_EQ(V(r2h), (std::vector<LONG>{10, 4, 13, 14}));
    cxRectOverlapped(RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10}, r1v, r1h, r2v, r2h);
    EXPECT_TRUE(cxRectIsNull(r1v) && cxRectIsNull(r2h));
}

ObjectPtr<TBitmap> Filled(int w, int h, TPixelFormat format, int seed)
{
    auto bitmap = MakeObject<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bitmap->Canvas()->SetPixel(x, y, static_cast<TColor>(RGB((x * 37 + seed) & 0xFF, (y * 53 + seed) & 0xFF, seed)));
    return bitmap;
}

std::vector<TColor> PixelsOf(TBitmap* bitmap)
{
    std::vector<TColor> pixels;
    for (int y = 0; y < bitmap->Height(); ++y)
        for (int x = 0; x < bitmap->Width(); ++x) pixels.push_back(bitmap->Canvas()->Pixel(x, y));
    return pixels;
}

// Rebinds the unit with or without the platform's AlphaBlend.
void BindAlphaBlend(bool available)
{
    cxGeometryFinalize();
    quelvo::sys::RegisterLibraryFunction("MSIMG32.DLL", "AlphaBlend",
                                         available ? reinterpret_cast<FARPROC>(&AlphaBlend) : nullptr);
    cxGeometryInitialize();
}

TEST(Blending, BothWaysGiveTheSamePixels)
{
    cxGeometryInitialize();
    for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
        std::vector<TColor> results[2];
        for (bool available : {true, false}) {
            BindAlphaBlend(available);
            auto background = Filled(9, 5, format, 10);
            auto source = Filled(9, 5, format, 200);
            auto dest = MakeObject<TBitmap>();
            dest->SetPixelFormat(format);
            dest->SetSize(9, 5);
            cxAlphaBlend(dest.get(), background.get(), source.get(), 200);
            results[available ? 0 : 1] = PixelsOf(dest.get());
        }
        EXPECT_EQ(results[0], results[1]) << format;
        const COLORREF first = static_cast<COLORREF>(results[0][0]);
        EXPECT_EQ(GetRValue(first), (10 * 55 * 2 + 255) / 510 + (200 * 200 * 2 + 255) / 510) << format;
    }
    BindAlphaBlend(true);
    cxGeometryFinalize();
}

TEST(Blending, TintStaysInsideTheRectangleAndTheBitmap)
{
    auto bitmap = Filled(4, 4, pf32bit, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) bitmap->Canvas()->SetPixel(x, y, clWhite);
    cxAlphaBlend(bitmap.get(), RECT{1, 1, 3, 3}, clBlack, 255);
    std::string art;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) art += bitmap->Canvas()->Pixel(x, y) == clBlack ? '#' : '.';
    EXPECT_EQ(art, ".....##..##.....");
    cxAlphaBlend(bitmap.get(), RECT{-50, -50, 100, 100}, clRed, 255);
    EXPECT_EQ(bitmap->Canvas()->Pixel(3, 3), clRed);
    EXPECT_EQ(bitmap->Canvas()->Pixel(0, 0), clRed);
}

TEST(HalfTone, PhaseFollowsTheDevice)
{
    for (int originX : {0, 1}) {
        Surface s(4, 2);
        s.Canvas().SetWindowOrg(POINT{originX, 0});
        cxFillHalfToneRect(s.Bitmap()->Canvas(), RECT{originX, 0, originX + 4, 2}, clRed, clBlue);
        s.Canvas().SetWindowOrg(POINT{0, 0});
        EXPECT_EQ(s.Art({{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}}), "\nrbrb\nbrbr\n") << originX;
    }
    cxGeometryFinalize();
}

TEST(Arrows, EachSideWithTheInversePen)
{
    struct Case {
        TcxBorder side;
        std::vector<LONG> ink;
    };
    const Case cases[] = {
        {bLeft, {15, 11, 26, 49}},
        {bRight, {35, 11, 46, 49}},
        {bTop, {11, 15, 49, 26}},
        {bBottom, {11, 35, 49, 46}},
    };
    for (const auto& c : cases) {
        Surface s(60, 60);
        cxDrawArrows(s.Bitmap()->Canvas(), RECT{20, 20, 40, 40}, c.side, clDefault, clBlue);
        EXPECT_EQ(V(s.Ink()), c.ink) << c.side;
        bool pen = false, brush = false;
        for (COLORREF p : s.Pixels()) {
            pen |= p == RGB(255, 255, 0);
            brush |= p == RGB(0, 0, 255);
        }
        EXPECT_TRUE(pen && brush) << c.side;
    }
}

class BrushCacheTest : public ::testing::Test {
protected:
    void TearDown() override { cxGeometryFinalize(); }
    std::vector<TColor> Colors() const
    {
        std::vector<TColor> result;
        for (int i = 0; i < cache.Count(); ++i) result.push_back(cache.Items(i).Color);
        return result;
    }
    TcxBrushCache cache;
};

TEST_F(BrushCacheTest, SortedAndCounted)
{
    TBrush* brushes[5];
    int i = 0;
    for (TColor c : {300, 100, 200}) brushes[i++] = cache.Add(c);
    EXPECT_EQ(Colors(), (std::vector<TColor>{100, 200, 300}));
    for (TColor c : {50, 400}) brushes[i++] = cache.Add(c);
    EXPECT_EQ(Colors(), (std::vector<TColor>{50, 100, 200, 300, 400}));
    EXPECT_EQ(cache.Capacity(), 8);
    EXPECT_EQ(cache.Add(200), brushes[2]);
    EXPECT_EQ(cache.Items(2).RefCount, 2);
    cache.ReleaseBrush(brushes[2]);
    cache.ReleaseBrush(brushes[2]);
    EXPECT_EQ(Colors(), (std::vector<TColor>{50, 100, 300, 400}));
    TBrush* other = brushes[3];
    cache.SetBrushColor(other, 7);
    EXPECT_EQ(Colors(), (std::vector<TColor>{7, 100, 300, 400}));
}

TEST_F(BrushCacheTest, LockedReleaseKeepsTheEntryUntilEndUpdate)
{
    TBrush* red = cache.Add(clRed);
    cache.Add(clBlue);
    cache.BeginUpdate();
    cache.ReleaseBrush(red);
    EXPECT_EQ(cache.Count(), 2);
    // Revived before the bracket closes: the same brush.
    TBrush* again = cache.Add(clRed);
    EXPECT_EQ(again, red);
    cache.ReleaseBrush(again);
    EXPECT_THROW(cache.ReleaseBrush(again), EBrushCache);
    cache.EndUpdate();
    EXPECT_EQ(Colors(), (std::vector<TColor>{clBlue}));
}

TEST_F(BrushCacheTest, SystemBrushesAreSharedAndNeverReleased)
{
    TBrush* window = cache.Add(clWindow);
    EXPECT_EQ(window->Color(), static_cast<TColor>(0x80000005u));
    EXPECT_EQ(window->Handle(), GetSysColorBrush(COLOR_WINDOW));
    cache.ReleaseBrush(window);
    cache.ReleaseBrush(window);
    EXPECT_EQ(cache.Add(clWindow), window);
    EXPECT_EQ(cache.Count(), 0);
    // An index past the system list gets a brush of its own, made once.
    const TColor beyond = static_cast<TColor>(0x80000040u);
    TBrush* extra = cache.Add(beyond);
    EXPECT_EQ(cache.Add(beyond), extra);
    EXPECT_EQ(extra->Color(), beyond);
    cache.ReleaseBrush(extra);
    TBrush* none = nullptr;
    cache.ReleaseBrush(none);
}

TEST(CursorSize, StaysInsideTheMask)
{
    // A 32 x 32 monochrome cursor: AND mask on top, XOR mask below; the
    // lowest visible row is row 10.
    std::vector<std::uint8_t> bits(4 * 64, 0);
    for (int y = 0; y < 32; ++y)
        for (int b = 0; b < 4; ++b) bits[static_cast<std::size_t>(y * 4 + b)] = y == 10 ? 0x0F : 0xFF;
    HBITMAP mask = CreateBitmap(32, 64, 1, 1, bits.data());
    ICONINFO info{FALSE, 1, 3, mask, nullptr};
    HCURSOR cursor = CreateIconIndirect(&info);
    DeleteObject(mask);
    ASSERT_NE(cursor, nullptr);
    HCURSOR old = SetCursor(cursor);
    const SIZE size = cxGetCursorSize();
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 10 - 3);
    // A colour cursor whose mask is lower than wide is read within bounds.
    HBITMAP shortMask = CreateBitmap(32, 8, 1, 1, bits.data());
    HBITMAP colour = CreateBitmap(32, 8, 1, 32, nullptr);
    ICONINFO wide{FALSE, 0, 0, shortMask, colour};
    HCURSOR second = CreateIconIndirect(&wide);
    DeleteObject(shortMask);
    DeleteObject(colour);
    SetCursor(second);
    EXPECT_EQ(cxGetCursorSize().cx, 32);
    SetCursor(old);
    DestroyIcon(second);
    DestroyIcon(cursor);
}

}  // namespace
