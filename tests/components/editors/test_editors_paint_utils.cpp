// The solid brush cache and the small drawing operations of the editors.
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditUtils.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

#include <set>

using hostlib::TColor;
using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::kWhite;

namespace {

// The global cache goes at shut-down, as the unit's finalization does it.
struct UnitEnvironment : ::testing::Environment {
    void TearDown() override { cxEditPaintUtilsFinalize(); }
};
const auto* const kUnit = ::testing::AddGlobalTestEnvironment(new UnitEnvironment);

TColor Rgb(int r, int g, int b) { return static_cast<TColor>(RGB(r, g, b)); }

LOGBRUSH BrushOf(HBRUSH brush)
{
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof(lb), &lb);
    return lb;
}

TEST(SolidBrushCacheTest, SystemColoursAnswerTheSystemBrushWithoutCaching)
{
    cxEditPaintUtilsInitialize();
    ResetSolidBrushCache();
    HBRUSH face = GetSolidBrush(hostlib::clBtnFace);
    EXPECT_EQ(face, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetSolidBrush(hostlib::clBtnFace), face);
    EXPECT_EQ(cxSolidBrushCache().Depth(), 0);
    HBRUSH red = GetSolidBrush(Rgb(255, 0, 0));
    EXPECT_EQ(GetSolidBrush(Rgb(255, 0, 0)), red);
    EXPECT_EQ(BrushOf(red).lbColor, RGB(255, 0, 0));
    EXPECT_EQ(cxSolidBrushCache().Depth(), 1);
    cxEditPaintUtilsFinalize();
}

TEST(SolidBrushCacheTest, AFullCacheEvictsTheLeastUsedBrush)
{
    auto cache = hostlib::MakeObject<TcxSolidBrushCache>();
    ASSERT_EQ(cache->MaxDepth(), 128);
    HBRUSH kept = cache->GetBrush(Rgb(1, 2, 3));
    cache->GetBrush(Rgb(1, 2, 3)); // used more than the others
    cache->GetBrush(Rgb(1, 2, 3));
    for (int i = 1; i < 128; ++i)
        cache->GetBrush(Rgb(10, i, 100));
    for (int i = 1; i < 128; ++i)
        cache->GetBrush(Rgb(10, i, 100)); // every other colour used once too
    cache->GetBrush(Rgb(10, 1, 100));     // and the first of them once more
    EXPECT_EQ(cache->Depth(), 128);
    HBRUSH newcomer = cache->GetBrush(Rgb(200, 200, 200));
    EXPECT_EQ(cache->Depth(), 128);
    EXPECT_EQ(cache->GetBrush(Rgb(1, 2, 3)), kept) << "a frequently used colour keeps its brush";
    EXPECT_EQ(cache->GetBrush(Rgb(200, 200, 200)), newcomer);
    EXPECT_EQ(BrushOf(newcomer).lbColor, RGB(200, 200, 200));
    // The least used were Rgb(10, 2..127, 100); the first of them went.
    int before = cache->Depth();
    cache->GetBrush(Rgb(10, 3, 100));
    cache->GetBrush(Rgb(10, 1, 100));
    EXPECT_EQ(cache->Depth(), before) << "survivors are still cached";
    cache->GetBrush(Rgb(10, 2, 100));
    EXPECT_EQ(BrushOf(cache->GetBrush(Rgb(10, 2, 100))).lbColor, RGB(10, 2, 100)) << "the evicted one is made again";
}

TEST(SolidBrushCacheTest, APaletteChangeEmptiesTheCache)
{
    auto cache = hostlib::MakeObject<TcxSolidBrushCache>(4);
    cache->GetBrush(Rgb(9, 9, 9));
    INT element = COLOR_WINDOW;
    COLORREF value = RGB(1, 2, 3);
    SetSysColors(1, &element, &value);
    quelvo::gfx::ResetSysColors();
    EXPECT_EQ(cache->Depth(), 0);
    EXPECT_EQ(BrushOf(cache->GetBrush(Rgb(9, 9, 9))).lbColor, RGB(9, 9, 9));
    EXPECT_EQ(cache->Depth(), 1);
}

TEST(EditUtilsTest, AcceleratorsAreRemoved)
{
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"&OK", "OK"}, {"Sa&ve", "Save"}, {"A&&B", "A&B"}, {"End&", "End_"}, {"", ""}, {"&&&", "&_"}};
    for (const Case& c : cases)
        EXPECT_EQ(RemoveAccelChars(c.in), c.out) << c.in;
}

TEST(EditUtilsTest, FlagConvertersRoundTripByMeaning)
{
    struct Case {
        unsigned format;
        int flags;
    } cases[] = {
        {taCenterX, cxtfHCenter},
        {taRight, cxtfRight},
        {taCenterY << 4, cxtfVCenter},
        {taBottom << 4, cxtfBottom},
        {cxSingleLine, cxtfSingleLine},
        {taRight | (taCenterY << 4) | cxSingleLine, cxtfRight | cxtfVCenter | cxtfSingleLine},
        {0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(c.format), c.flags) << std::hex << c.format;
        EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(c.flags), c.format) << std::hex << c.flags;
    }
    EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(cxWordBreak | cxShowEndEllipsis | cxExpandTabs), 0) << "dropped";
    EXPECT_EQ(DrawTextFlagsTocxTextOutFlags(cxtfWordBreak | cxtfEndEllipsis | cxtfShowPrefix), 0u) << "dropped";
    EXPECT_EQ(cxTextOutFlagsToDrawTextFlags(cxSingleLine) & cxtfExpandTabs, 0)
        << "single line is never read as expand tabs";
}

struct PaintFixture : ::testing::Test {
    Canvas cv{20, 20};
    hostlib::ObjectPtr<hostlib::TCanvas> host = hostlib::MakeObject<hostlib::TCanvas>();
    TcxCanvas canvas{nullptr};
    void SetUp() override
    {
        host->SetHandle(cv.dc());
        canvas.SetCanvas(host.get());
    }
};

using EditUtilsPaintTest = PaintFixture;

TEST_F(EditUtilsPaintTest, FillRectFillsTheRingAroundTheInnerRectangle)
{
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    InternalFillRect(&canvas, RECT{2, 2, 10, 10}, RECT{4, 4, 8, 8}, black);
    EXPECT_EQ(cv.InkBox().left, 2);
    EXPECT_EQ(cv.InkBox().bottom, 10);
    EXPECT_EQ(cv.At(5, 5), kWhite);
    for (POINT p : {POINT{2, 2}, POINT{9, 5}, POINT{5, 3}, POINT{5, 8}})
        EXPECT_NE(cv.At(p.x, p.y), kWhite) << p.x << "," << p.y;
    cv.Clear(kWhite);
    InternalFillRect(&canvas, RECT{2, 2, 10, 10}, RECT{}, black);
    EXPECT_NE(cv.At(5, 5), kWhite) << "an empty inner rectangle fills all";
    cv.Clear(kWhite);
    InternalFillRect(&canvas, RECT{2, 2, 10, 10}, RECT{2, 2, 10, 10}, black);
    EXPECT_EQ(cv.InkBox().right, 0) << "equal rectangles fill nothing";
}

TEST_F(EditUtilsPaintTest, FilledPolyLinesIncludeTheirEnds)
{
    for (bool filled : {false, true}) {
        cv.Clear(kWhite);
        InternalPolyLine(&canvas, {{2, 2}, {8, 2}, {8, 6}}, 2, filled, Rgb(0, 0, 0));
        RECT ink = cv.InkBox();
        EXPECT_EQ(ink.left, 2) << filled;
        EXPECT_EQ(ink.top, 2) << filled;
        EXPECT_EQ(ink.right, 9) << filled;
        EXPECT_EQ(ink.bottom, 7) << "the last point is set too, " << filled;
    }
}

TEST_F(EditUtilsPaintTest, GlyphsShowTheBackgroundWhereTransparentAndGreyWhenDisabled)
{
    quelvo::gfx::test::SetDistinctSysColors();
    auto glyph = hostlib::MakeObject<hostlib::TBitmap>();
    glyph->SetSize(4, 4);
    glyph->Canvas()->Brush()->SetColor(hostlib::clFuchsia); // bottom-left pixel: the transparent colour
    glyph->Canvas()->FillRect(RECT{0, 0, 4, 4});
    glyph->Canvas()->Brush()->SetColor(hostlib::clBlack);
    glyph->Canvas()->FillRect(RECT{1, 1, 3, 3});
    DrawGlyph(&canvas, 5, 5, glyph.get(), true, hostlib::clLime);
    EXPECT_EQ(cv.At(5, 5), RGB(0, 255, 0)) << "transparent pixels show the background colour";
    EXPECT_EQ(cv.At(6, 6), RGB(0, 0, 0));
    cv.Clear(kWhite);
    DrawGlyph(&canvas, 5, 5, glyph.get(), true, hostlib::clNone);
    EXPECT_EQ(cv.At(5, 5), kWhite) << "clNone leaves the canvas";
    cv.Clear(kWhite);
    DrawGlyph(&canvas, 5, 5, glyph.get(), false, hostlib::clLime);
    EXPECT_EQ(cv.At(6, 6), quelvo::gfx::test::Distinct(COLOR_BTNSHADOW)) << "disabled: the shadow colour";
    EXPECT_EQ(cv.At(8, 8), quelvo::gfx::test::Distinct(COLOR_BTNHIGHLIGHT)) << "and its highlight offset by one";
    EXPECT_EQ(cv.At(5, 5), RGB(0, 255, 0));
    quelvo::gfx::ResetSysColors();
}

} // namespace

namespace {

TEST(ArrowTest, SizesFollowTheSmallerSide)
{
    struct Case {
        SIZE size;
        TcxArrowDirection direction;
        SIZE arrow;
    } cases[] = {{{16, 16}, adDown, {7, 4}}, {{16, 16}, adRight, {4, 7}}, {{17, 30}, adUp, {9, 5}},
                 {{12, 12}, adLeft, {3, 5}}, {{3, 3}, adDown, {1, 1}}};
    for (const Case& c : cases) {
        SIZE got = GetArrowSize(c.size, c.direction);
        EXPECT_EQ(got.cx, c.arrow.cx) << c.size.cx << "x" << c.size.cy << " " << c.direction;
        EXPECT_EQ(got.cy, c.arrow.cy) << c.size.cx << "x" << c.size.cy << " " << c.direction;
    }
}

using ArrowPaintTest = PaintFixture;

TEST_F(ArrowPaintTest, ArrowsNarrowTowardsTheirTip)
{
    struct Case {
        TcxArrowDirection direction;
        bool shifted, isDouble;
        std::vector<std::string> art; // rows 5..10, columns 3..12
    } cases[] = {
        {adDown, false, false, {"..........", ".#######..", "..#####...", "...###....", "....#.....", ".........."}},
        {adUp, true, false, {"..........", "..........", ".....#....", "....###...", "...#####..", "..#######."}},
        {adRight, false, true, {"..#..#....", "..##.##...", "..######..", "..##.##...", "..#..#....", ".........."}},
    };
    for (const Case& c : cases) {
        cv.Clear(kWhite);
        SIZE n = c.direction == adRight ? SIZE{3, 5} : SIZE{7, 4};
        DrawArrow(&canvas, n, RECT{0, 0, 16, 16}, c.direction, c.shifted, c.isDouble, hostlib::clBlack);
        std::vector<std::string> art = cv.Art();
        std::vector<std::string> window;
        for (int y = 5; y <= 10; ++y)
            window.push_back(art[static_cast<size_t>(y)].substr(3, 10));
        EXPECT_EQ(window, c.art) << c.direction << quelvo::gfx::test::Joined(art);
    }
}

} // namespace

namespace {

TEST(EditUtilsTest, HotTrackAndPainterChoice)
{
    cxEditUtilsInitialize();
    EXPECT_EQ(GetHotTrackColor(), static_cast<hostlib::TColor>(0x80000000u | COLOR_HOTLIGHT))
        << "the platform reports NT 10, which has the hot-light colour";
    EXPECT_EQ(GetEditBorderHighlightColor(false), hostlib::clHighlight);
    quelvo::gfx::SetThemeActive(false);
    EXPECT_EQ(GetPainterClass(true, lfFlat), cxLookAndFeelPainterOfStyle(lfsFlat)) << "no themes: the kind's painter";
    EXPECT_EQ(GetPainterClass(false, lfStandard), cxLookAndFeelPainterOfStyle(lfsStandard));
    quelvo::gfx::SetThemeActive(true);
    EXPECT_EQ(GetPainterClass(true, lfFlat), cxLookAndFeelPainterOfStyle(lfsNative));
    EXPECT_EQ(GetPainterClass(false, lfOffice11), cxLookAndFeelPainterOfStyle(lfsOffice11));
}

} // namespace
