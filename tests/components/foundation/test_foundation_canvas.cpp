#include <gtest/gtest.h>

#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using namespace foundationtest;

namespace {

class CanvasTest : public DistinctPalette {};

TEST(CanvasFlags, ConvertToDrawTextFlags)
{
    const std::vector<std::pair<int, UINT>> cases = {
        {0, DT_NOPREFIX},
        {cxtfLeft | cxtfTop, DT_NOPREFIX},
        {cxtfShowPrefix, 0},
        {cxtfRight | cxtfBottom, DT_NOPREFIX | DT_RIGHT | DT_BOTTOM},
        {cxtfHCenter | cxtfVCenter | cxtfSingleLine, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {cxtfNoClip | cxtfExpandTabs, DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS},
        {cxtfWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
        {cxtfEndEllipsis | cxtfCalcOnly | cxtfPathEllipsis, DT_NOPREFIX | DT_END_ELLIPSIS | DT_CALCRECT | DT_PATH_ELLIPSIS},
    };
    for (auto [flags, expected] : cases) EXPECT_EQ(cxFlagsToDTFlags(flags), expected) << flags;
}

const std::map<COLORREF, char> kRoles = {
    {RGB(255, 255, 255), '.'},          {Distinct(COLOR_BTNHIGHLIGHT), 'H'}, {Distinct(COLOR_BTNSHADOW), 'S'},
    {Distinct(COLOR_3DLIGHT), 'L'},     {Distinct(COLOR_3DDKSHADOW), 'D'},   {RGB(0, 0, 255), 'b'},
    {RGB(0, 0, 0), '#'},
};

TEST_F(CanvasTest, FrameRectStripsStayInsideTheRectangle)
{
    Surface s(8, 6);
    s.Canvas().FrameRect(RECT{2, 1, 6, 5}, clBlue, 10);
    EXPECT_EQ(s.Art(kRoles),
              "\n........\n..bbbb..\n..bbbb..\n..bbbb..\n..bbbb..\n........\n");
    Surface t(8, 6);
    t.Canvas().FrameRect(RECT{1, 1, 7, 5}, clBlue, 2, TcxBorders{bLeft, bBottom});
    EXPECT_EQ(t.Art(kRoles),
              "\n........\n.bb.....\n.bb.....\n.bbbbbb.\n.bbbbbb.\n........\n");
    t.Canvas().FrameRect(RECT{3, 3, 3, 5}, clBlack, 1);  // empty: nothing
    EXPECT_EQ(t.At(3, 3), RGB(0, 0, 255));
}

TEST_F(CanvasTest, DrawEdgeRings)
{
    struct Case {
        bool sunken, outer;
        const char* art;
    };
    const Case cases[] = {
        {false, false, "\nHHHS\nH..S\nH..S\nSSSS\n"},
        {false, true, "\nLLLD\nL..D\nL..D\nDDDD\n"},
        {true, false, "\nDDDL\nD..L\nD..L\nLLLL\n"},
        {true, true, "\nSSSH\nS..H\nS..H\nHHHH\n"},
    };
    for (const auto& c : cases) {
        Surface s(4, 4);
        s.Canvas().DrawEdge(RECT{0, 0, 4, 4}, c.sunken, c.outer);
        EXPECT_EQ(s.Art(kRoles), c.art) << c.sunken << c.outer;
    }
}

TEST_F(CanvasTest, TilesLineUpAcrossCalls)
{
    auto tile = MakeObject<TBitmap>();
    tile->SetSize(10, 10);
    auto colour = [](int x, int y) { return static_cast<TColor>(RGB(x * 20, y * 20, 7)); };
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) tile->Canvas()->SetPixel(x, y, colour(x, y));
    Surface s(40, 30);
    s.Canvas().FillRect(RECT{5, 5, 25, 25}, tile.get());
    s.Canvas().FillRect(RECT{25, 5, 35, 25}, tile.get());
    int wrong = 0;
    const auto pixels = s.Pixels();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 5 && x < 35 && y >= 5 && y < 25;
            const COLORREF want = inside ? static_cast<COLORREF>(colour(x % 10, y % 10)) : RGB(255, 255, 255);
            if (pixels[static_cast<std::size_t>(y) * 40 + x] != want) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    // Without a bitmap the brush fills; an empty rectangle draws nothing.
    s.Canvas().SetBrushColor(clBlue);
    s.Canvas().FillRect(RECT{0, 0, 2, 2});
    s.Canvas().FillRect(RECT{3, 3, 3, 9}, tile.get());
    EXPECT_EQ(s.At(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(s.At(3, 3), RGB(255, 255, 255));
}

// Text is smoothed: a pixel counts as a shade of black, of the highlight
// (pure red here) or of the shadow (pure blue) by its channels.
struct Shades {
    bool black = false, highlight = false, shadow = false;
};
Shades ShadesOf(const std::vector<COLORREF>& pixels)
{
    Shades s;
    for (COLORREF p : pixels) {
        const int r = GetRValue(p), g = GetGValue(p), b = GetBValue(p);
        if (p == RGB(255, 255, 255)) continue;
        s.black |= r == g && g == b;
        s.highlight |= g == b && r > g;
        s.shadow |= r == g && b > r;
    }
    return s;
}

TEST_F(CanvasTest, DrawTexTPlacesEnabledAndEmbossedText)
{
    INT elements[] = {COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    COLORREF values[] = {RGB(255, 0, 0), RGB(0, 0, 255)};
    SetSysColors(2, elements, values);
    const RECT r{10, 10, 110, 50};
    for (int horz : {cxtfLeft, cxtfHCenter, cxtfRight})
        for (int vert : {cxtfTop, cxtfVCenter, cxtfBottom})
            for (bool enabled : {true, false})
                for (int line : {cxtfSingleLine, 0}) {
                    Surface s(120, 60);
                    s.Canvas().Font()->SetColor(clBlack);
                    const int flags = horz | vert | line;
                    s.Canvas().DrawTexT("Hq", r, flags, enabled);
                    const RECT ink = s.Ink();
                    const std::string what = std::to_string(flags) + (enabled ? " enabled" : " disabled");
                    ASSERT_LT(ink.left, ink.right) << what;
                    EXPECT_GE(ink.left, r.left) << what;
                    EXPECT_LE(ink.right, r.right) << what;
                    EXPECT_GE(ink.top, r.top) << what;
                    EXPECT_LE(ink.bottom, r.bottom) << what;
                    const int mid = (r.left + r.right) / 2;
                    const int middle = (r.top + r.bottom) / 2;
                    if (horz == cxtfLeft) {
                        EXPECT_LT(ink.right, mid) << what;
                    } else if (horz == cxtfRight) {
                        EXPECT_GT(ink.left, mid) << what;
                    } else {
                        EXPECT_TRUE(ink.left < mid && ink.right > mid) << what;
                    }
                    if (vert == cxtfTop) {
                        EXPECT_LT(ink.bottom, middle) << what;
                    } else if (vert == cxtfBottom) {
                        EXPECT_GT(ink.top, middle) << what;
                    } else {
                        EXPECT_TRUE(ink.top < middle && ink.bottom > middle) << what;
                    }
                    const Shades shades = ShadesOf(s.Pixels());
                    EXPECT_EQ(shades.black, enabled) << what;
                    EXPECT_EQ(shades.highlight && shades.shadow, !enabled) << what;
                }
}

TEST_F(CanvasTest, MultiLineTextTallerThanTheRectangleIsClipped)
{
    Surface s(60, 60);
    s.Canvas().Font()->SetColor(clBlack);
    const int lineHeight = s.Canvas().TextHeight("Hq");
    const RECT r{5, 5, 55, 5 + lineHeight * 2 - 2};
    // Each line fits the width alone, so a single-line measure would say
    // the text fits and drop the clipping.
    s.Canvas().DrawTexT("Hq\nHq\nHq", r, cxtfLeft | cxtfTop);
    const RECT ink = s.Ink();
    EXPECT_LE(ink.bottom, r.bottom);
    EXPECT_GT(ink.bottom, r.top + lineHeight);
    s.Canvas().DrawTexT("", r, 0);  // nothing to draw
}

TEST_F(CanvasTest, TextExtentKeepsTheAlignment)
{
    Surface s(10, 10);
    const SIZE size = s.Canvas().TextExtent("Hello");
    ASSERT_GT(size.cx, 0);
    RECT r{0, 0, 100, 40};
    s.Canvas().TextExtent("Hello", r, cxtfRight | cxtfBottom | cxtfSingleLine);
    EXPECT_EQ(r.right, 100);
    EXPECT_EQ(r.left, 100 - size.cx);
    EXPECT_EQ(r.bottom, 40);
    RECT c{0, 0, 100, 40};
    s.Canvas().TextExtent("Hello", c, cxtfHCenter | cxtfVCenter | cxtfSingleLine);
    EXPECT_EQ(c.left, (100 - size.cx) / 2);
    EXPECT_EQ(c.top, (40 - size.cy) / 2);
    EXPECT_EQ(s.Canvas().FontHeight(s.Canvas().Font()), s.Canvas().TextHeight("Qq"));
}

TEST_F(CanvasTest, TextStringsBounds)
{
    Surface s(10, 10);
    TcxCanvas& c = s.Canvas();
    const int h = c.TextHeight("Hq");
    auto widths = [&](const std::string& text, int width, int flags) {
        TRectArray bounds;
        c.GetTextStringsBounds(text, RECT{0, 0, width, 500}, flags, true, bounds);
        std::vector<int> result;
        for (std::size_t i = 0; i < bounds.size(); ++i) {
            EXPECT_EQ(bounds[i].top, static_cast<LONG>(i) * h);
            EXPECT_EQ(bounds[i].bottom - bounds[i].top, h);
            result.push_back(bounds[i].right - bounds[i].left);
        }
        return result;
    };
    const int ab = c.TextWidth("ab");
    const int cd = c.TextWidth("cd");
    for (const char* breakText : {"\r", "\n", "\r\n", "\n\r"})
        EXPECT_EQ(widths(std::string("ab") + breakText + "cd", 200, cxtfLeft), (std::vector<int>{ab, cd})) << breakText;
    EXPECT_EQ(widths("ab\n\ncd", 200, cxtfLeft), (std::vector<int>{ab, 0, cd}));
    // The blank rule: a blank two or more characters before the first that
    // does not fit breaks the line after it; it stays for left alignment.
    const int wide = c.TextWidth("aaa b");
    EXPECT_EQ(widths("aaa bbb", wide, cxtfLeft), (std::vector<int>{c.TextWidth("aaa "), c.TextWidth("bbb")}));
    EXPECT_EQ(widths("aaa bbb", wide, cxtfRight), (std::vector<int>{c.TextWidth("aaa"), c.TextWidth("bbb")}));
    // A blank just before the cut does not count: the fitting characters go.
    EXPECT_EQ(widths("aaa bbb", c.TextWidth("aaa "), cxtfLeft),
              (std::vector<int>{c.TextWidth("aaa "), c.TextWidth("bbb")}));
    // Narrower than a character: one whole character per line.
    EXPECT_EQ(widths("a\xC3\xA9z", 1, cxtfLeft),
              (std::vector<int>{c.TextWidth("a"), c.TextWidth("\xC3\xA9"), c.TextWidth("z")}));
    // Right and centred lines sit in the block.
    TRectArray bounds;
    c.GetTextStringsBounds("ab", RECT{0, 0, 100, 50}, cxtfRight, true, bounds);
    ASSERT_EQ(bounds.size(), 1u);
    EXPECT_EQ(bounds[0].right, 100);
    c.GetTextStringsBounds("&ab", RECT{0, 0, 100, 50}, cxtfHCenter | cxtfShowPrefix, false, bounds);
    ASSERT_EQ(bounds.size(), 1u);
    EXPECT_EQ(bounds[0].left, (99 - ab) / 2);
}

TEST(CanvasRotation, EveryAngleAndFlip)
{
    // a b / c d / e f
    const TColor a = 0x010101, b = 0x020202, cc = 0x030303, d = 0x040404, e = 0x050505, f = 0x060606;
    struct Case {
        TcxRotationAngle angle;
        bool flip;
        std::vector<std::vector<TColor>> rows;
    };
    const Case cases[] = {
        {ra0, false, {{a, b}, {cc, d}, {e, f}}},
        {ra0, true, {{e, f}, {cc, d}, {a, b}}},
        {raPlus90, false, {{b, d, f}, {a, cc, e}}},
        {raPlus90, true, {{a, cc, e}, {b, d, f}}},
        {raMinus90, false, {{e, cc, a}, {f, d, b}}},
        {raMinus90, true, {{f, d, b}, {e, cc, a}}},
        {ra180, false, {{f, e}, {d, cc}, {b, a}}},
        {ra180, true, {{b, a}, {d, cc}, {f, e}}},
    };
    for (const auto& c : cases) {
        Surface s(2, 3);
        const TColor fixture[3][2] = {{a, b}, {cc, d}, {e, f}};
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 2; ++x) s.Bitmap()->Canvas()->SetPixel(x, y, fixture[y][x]);
        s.Canvas().RotateBitmap(s.Bitmap(), c.angle, c.flip);
        ASSERT_EQ(s.Bitmap()->Height(), static_cast<int>(c.rows.size())) << c.angle;
        ASSERT_EQ(s.Bitmap()->Width(), static_cast<int>(c.rows[0].size())) << c.angle;
        for (int y = 0; y < s.Bitmap()->Height(); ++y)
            for (int x = 0; x < s.Bitmap()->Width(); ++x)
                EXPECT_EQ(s.Bitmap()->Canvas()->Pixel(x, y), c.rows[y][x]) << c.angle << c.flip << x << y;
    }
    Surface s(2, 1);
    s.Bitmap()->Canvas()->SetPixel(0, 0, a);
    s.Bitmap()->Canvas()->SetPixel(1, 0, b);
    s.Canvas().FlipHorizontally(s.Bitmap());
    EXPECT_EQ(s.Bitmap()->Canvas()->Pixel(0, 0), b);
}

TEST_F(CanvasTest, ClipRegionUnderAWindowOrigin)
{
    Surface s(40, 40);
    TcxCanvas& c = s.Canvas();
    ObjectPtr<TcxRegion> whole(c.GetClipRegion());
    RECT box{};
    GetRgnBox(whole->Handle(), &box);
    EXPECT_EQ(box.right, 107374182);
    EXPECT_EQ(box.bottom, 107374182);
    c.SetWindowOrg(POINT{10, 20});
    c.SetClipRegion(new TcxRegion(15, 25, 25, 35), roIntersect);
    c.SetBrushColor(clBlue);
    c.FillRect(RECT{0, 0, 100, 100});
    c.SetWindowOrg(POINT{0, 0});
    // Logical (15, 25)-(25, 35) is device (5, 5)-(15, 15).
    const RECT ink = s.Ink();
    EXPECT_EQ(std::vector<LONG>({ink.left, ink.top, ink.right, ink.bottom}), std::vector<LONG>({5, 5, 15, 15}));
    ObjectPtr<TcxRegion> clip(c.GetClipRegion());
    EXPECT_TRUE(clip->PtInRegion(5, 5));
    EXPECT_FALSE(clip->PtInRegion(15, 15));
    c.SetClipRegion(new TcxRegion(0, 0, 8, 8), roSubtract);
    c.SetBrushColor(clBlack);
    c.FillRect(RECT{0, 0, 40, 40});
    EXPECT_EQ(s.At(6, 6), RGB(0, 0, 255));
    EXPECT_EQ(s.At(9, 9), RGB(0, 0, 0));
}

TEST(Region, CombineAndCompare)
{
    TcxRegion region(0, 0, 10, 10);
    EXPECT_FALSE(region.IsEmpty());
    region.Combine(new TcxRegion(5, 0, 10, 10), roSubtract);
    EXPECT_TRUE(region.PtInRegion(4, 4));
    EXPECT_FALSE(region.PtInRegion(5, 4));
    region.Combine(new TcxRegion(20, 0, 30, 10), roAdd);
    EXPECT_TRUE(region.RectInRegion(25, 2, 26, 3));
    region.Offset(1, 0);
    EXPECT_FALSE(region.PtInRegion(0, 0));
    TcxRegion empty;
    EXPECT_TRUE(empty.IsEmpty());
    TcxRegion empty2(3, 3, 3, 3);
    EXPECT_TRUE(empty.IsEqual(&empty2));
    EXPECT_FALSE(empty.IsEqual(static_cast<TcxRegion*>(nullptr)));
    region.Combine(&empty2, roSet, false);
    EXPECT_TRUE(region.IsEmpty());
}

TEST(LightColours, ClassicPalette)
{
    quelvo::gfx::ResetSysColors();
    struct Case {
        const char* name;
        TColor colour;
        COLORREF expected;
    };
    const Case cases[] = {
        {"sel", GetLightSelColor(), RGB(183, 191, 212)},
        {"downed", GetLightDownedColor(), RGB(210, 212, 218)},
        {"downed sel", GetLightDownedSelColor(), RGB(136, 147, 177)},
        {"btn face", GetLightBtnFaceColor(), RGB(219, 216, 209)},
    };
    for (const auto& c : cases) EXPECT_EQ(static_cast<COLORREF>(c.colour), c.expected) << c.name;
    INT face = COLOR_BTNFACE;
    COLORREF white = RGB(255, 255, 255);
    SetSysColors(1, &face, &white);
    EXPECT_EQ(static_cast<COLORREF>(GetLightSelColor()), GetSysColor(COLOR_HIGHLIGHT));
    quelvo::gfx::ResetSysColors();
}

TEST_F(CanvasTest, GlyphsReplaceTheirTransparentColour)
{
    auto glyph = MakeObject<TBitmap>();
    glyph->SetSize(3, 3);
    glyph->Canvas()->Brush()->SetColor(clLime);
    glyph->Canvas()->FillRect(RECT{0, 0, 3, 3});
    glyph->Canvas()->SetPixel(1, 1, clBlack);
    glyph->SetTransparentColor(clLime);
    Surface s(5, 5);
    s.Canvas().DrawGlyph(1, 1, glyph.get(), true, clBlue);
    EXPECT_EQ(s.Art(kRoles), "\n.....\n.bbb.\n.b#b.\n.bbb.\n.....\n");
    Surface t(5, 5);
    t.Canvas().DrawGlyph(1, 1, glyph.get(), true);
    EXPECT_EQ(t.Art(kRoles), "\n.....\n.....\n..#..\n.....\n.....\n");
    Surface u(5, 5);
    glyph->SetTransparentMode(tmFixed);
    u.Canvas().DrawGlyph(1, 1, glyph.get(), false);
    EXPECT_EQ(u.Art(kRoles), "\n.....\n.....\n..S..\n...H.\n.....\n");
}

}  // namespace
