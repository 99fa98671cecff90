// Fonts and text placement. Glyph shapes differ between machines, so text is
// checked as rectangles: the opaque text cell, ink bounding boxes, extents.
#include "tests/platform/graphics/canvas.h"

#include "platform/system/locale_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::kBlack;
using quelvo::gfx::test::kWhite;
using quelvo::gfx::test::Selected;

namespace {

const COLORREF kCell = RGB(0, 255, 0);

HFONT Font(int height, const char* face = "Tahoma", int weight = FW_NORMAL, int escapement = 0)
{
    return CreateFontA(height, 0, escapement, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

SIZE Extent(HDC dc, const char* text)
{
    SIZE s{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &s);
    return s;
}

// Canvas with a font selected and an opaque green cell background, so the
// text cell shows as a green rectangle.
struct TextCanvas : Canvas {
    Selected font;
    TextCanvas(int w, int h, int height = -13) : Canvas(w, h), font(dc(), Font(height))
    {
        SetBkColor(dc(), kCell);
        SetBkMode(dc(), OPAQUE);
    }
    RECT CellBox() const { return BoxOf(kCell); }
    RECT BoxOf(COLORREF c) const
    {
        RECT r{width(), height(), 0, 0};
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                if (At(x, y) == c) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r.left < r.right ? r : RECT{};
    }
};

void ExpectRect(const RECT& got, const RECT& want, const std::string& what)
{
    EXPECT_EQ(got.left, want.left) << what;
    EXPECT_EQ(got.top, want.top) << what;
    EXPECT_EQ(got.right, want.right) << what;
    EXPECT_EQ(got.bottom, want.bottom) << what;
}

TEST(FontTest, HeightsInPixelsMapToEmOrCellHeights)
{
    Canvas cv(4, 4);
    for (int em : {8, 11, 13, 20, 32}) {
        Selected f(cv.dc(), Font(-em));
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(cv.dc(), &tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em) << "negative height is the em size";
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    }
    for (int cell : {12, 16, 24}) {
        Selected f(cv.dc(), Font(cell));
        TEXTMETRICA tm;
        GetTextMetricsA(cv.dc(), &tm);
        EXPECT_NEAR(tm.tmHeight, cell, 1) << "positive height is the cell height";
    }
}

TEST(FontTest, FaceNamesAreReportedAsRequestedAndBoldIsWider)
{
    Canvas cv(4, 4);
    for (const char* face : {"MS Sans Serif", "MS Shell Dlg", "Tahoma", "Arial", "Segoe UI", "Courier New", "No Such Face"}) {
        Selected f(cv.dc(), Font(-13, face));
        char name[LF_FACESIZE] = {};
        EXPECT_EQ(GetTextFaceA(cv.dc(), LF_FACESIZE, name), static_cast<int>(std::strlen(face)));
        EXPECT_STREQ(name, face);
        EXPECT_GT(Extent(cv.dc(), "Hello").cx, 0) << face;
    }
    LONG normal, bold;
    {
        Selected f(cv.dc(), Font(-13, "Tahoma", FW_NORMAL));
        normal = Extent(cv.dc(), "Wide text here").cx;
    }
    {
        Selected f(cv.dc(), Font(-13, "Tahoma", FW_BOLD));
        bold = Extent(cv.dc(), "Wide text here").cx;
    }
    EXPECT_GT(bold, normal);
    Selected mono(cv.dc(), Font(-13, "Courier New"));
    EXPECT_EQ(Extent(cv.dc(), "iiii").cx, Extent(cv.dc(), "WWWW").cx) << "fixed pitch";
}

TEST(TextMeasureTest, ExtentsAddUpAndCountCharactersNotBytes)
{
    Canvas cv(4, 4);
    Selected f(cv.dc(), Font(-13));
    TEXTMETRICA tm;
    GetTextMetricsA(cv.dc(), &tm);
    SIZE ab = Extent(cv.dc(), "ab"), a = Extent(cv.dc(), "a"), b = Extent(cv.dc(), "b"), none = Extent(cv.dc(), "");
    EXPECT_EQ(ab.cx, a.cx + b.cx);
    EXPECT_EQ(ab.cy, tm.tmHeight);
    EXPECT_EQ(none.cx, 0);
    EXPECT_EQ(none.cy, tm.tmHeight);
    SetTextCharacterExtra(cv.dc(), 3);
    EXPECT_EQ(Extent(cv.dc(), "ab").cx, ab.cx + 6);
    SetTextCharacterExtra(cv.dc(), 0);
    // Fits and offsets count bytes; both bytes of e-acute share its extent.
    const char* text = "a\xC3\xA9z";
    struct Case {
        int max, fit;
    } fits[] = {{a.cx - 1, 0}, {a.cx, 1}, {a.cx + 1, 1}, {1000, 4}};
    int dx[4] = {};
    SIZE s;
    int fit = -1;
    for (const Case& c : fits) {
        ASSERT_TRUE(GetTextExtentExPointA(cv.dc(), text, 4, c.max, &fit, dx, &s));
        EXPECT_EQ(fit, c.fit) << c.max;
    }
    EXPECT_EQ(dx[0], a.cx);
    EXPECT_EQ(dx[1], dx[2]);
    EXPECT_GT(dx[2], dx[0]);
    EXPECT_EQ(dx[3], s.cx);
    int widths[2];
    GetCharWidth32A(cv.dc(), 'a', 'b', widths);
    EXPECT_EQ(widths[0], a.cx);
    ABC abc;
    GetCharABCWidthsA(cv.dc(), 'W', 'W', &abc);
    EXPECT_EQ(abc.abcA + static_cast<int>(abc.abcB) + abc.abcC, Extent(cv.dc(), "W").cx);
    // Bytes that start no character still count, one each.
    EXPECT_TRUE(GetTextExtentExPointA(cv.dc(), "\xFF\xFE", 2, 1000, &fit, nullptr, &s));
    EXPECT_EQ(fit, 2);
}

TEST(TextOutTest, OpaqueCellsSitAtTheReferencePointByAlignment)
{
    struct Case {
        UINT align;
        int x, y;
    } cases[] = {{TA_LEFT | TA_TOP, 10, 5}, {TA_RIGHT | TA_TOP, 70, 5}, {TA_CENTER | TA_TOP, 40, 5},
                 {TA_LEFT | TA_BOTTOM, 10, 30}, {TA_LEFT | TA_BASELINE, 10, 20}};
    for (const Case& c : cases) {
        TextCanvas cv(80, 40);
        TEXTMETRICA tm;
        GetTextMetricsA(cv.dc(), &tm);
        SIZE s = Extent(cv.dc(), "Text");
        SetTextAlign(cv.dc(), c.align);
        TextOutA(cv.dc(), c.x, c.y, "Text", 4);
        int left = (c.align & TA_CENTER) == TA_CENTER ? c.x - s.cx / 2 : (c.align & TA_RIGHT) ? c.x - s.cx : c.x;
        int top = (c.align & TA_BASELINE) == TA_BASELINE ? c.y - tm.tmAscent : (c.align & TA_BOTTOM) ? c.y - tm.tmHeight : c.y;
        RECT cell = cv.CellBox();
        // Ink may cover cell pixels; the cell's bounding box still shows.
        ExpectRect(cell, RECT{left, top, left + s.cx, top + tm.tmHeight}, "align " + std::to_string(c.align));
        RECT ink = cv.BoxOf(kBlack);
        EXPECT_GE(ink.left, left - 1);
        EXPECT_LE(ink.right, left + s.cx + 1);
        EXPECT_GE(ink.top, top);
        EXPECT_LE(ink.bottom, top + tm.tmHeight);
    }
}

TEST(TextOutTest, UpdateCurrentPositionAdvancesByTheExtent)
{
    TextCanvas cv(80, 20);
    SetTextAlign(cv.dc(), TA_UPDATECP);
    MoveToEx(cv.dc(), 5, 2, nullptr);
    TextOutA(cv.dc(), 0, 0, "ab", 2);
    POINT p;
    GetCurrentPositionEx(cv.dc(), &p);
    EXPECT_EQ(p.x, 5 + Extent(cv.dc(), "ab").cx);
    EXPECT_EQ(p.y, 2);
}

TEST(TextOutTest, ClippedAndOpaqueRectanglesBoundTheOutput)
{
    TextCanvas cv(80, 20);
    SetBkMode(cv.dc(), TRANSPARENT);
    RECT clip{10, 0, 20, 20};
    ExtTextOutA(cv.dc(), 5, 2, ETO_CLIPPED, &clip, "WWWWWWWW", 8, nullptr);
    RECT ink = cv.BoxOf(kBlack);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 20);
    TextCanvas op(40, 20);
    SetBkColor(op.dc(), RGB(255, 0, 0));
    RECT box{3, 4, 30, 15};
    ExtTextOutA(op.dc(), 5, 5, ETO_OPAQUE, &box, nullptr, 0, nullptr);
    ExpectRect(op.BoxOf(RGB(255, 0, 0)), box, "opaque rectangle");
    int dx[4] = {10, 10, 6, 4};
    TextCanvas spaced(60, 20);
    ExtTextOutA(spaced.dc(), 0, 0, 0, nullptr, "ab\xC3\xA9", 4, dx);
    EXPECT_EQ(spaced.CellBox().right, 30) << "caller's advances, per byte";
}

TEST(TextOutTest, GlyphPixelsDoNotDependOnWhereTheClipStarts)
{
    // Rows are blended in groups of pixels and the rest one by one; a clip
    // that starts elsewhere regroups them, and the pixels must not change.
    Canvas whole(60, 20, RGB(30, 160, 90));
    Selected f(whole.dc(), Font(-15));
    SetBkMode(whole.dc(), TRANSPARENT);
    SetTextColor(whole.dc(), RGB(200, 20, 250));
    TextOutA(whole.dc(), 1, 1, "Wavy gMjq", 9);
    for (int start = 1; start < 9; ++start) {
        Canvas part(60, 20, RGB(30, 160, 90));
        Selected pf(part.dc(), Font(-15));
        SetBkMode(part.dc(), TRANSPARENT);
        SetTextColor(part.dc(), RGB(200, 20, 250));
        RECT clip{start, 0, 60, 20};
        ExtTextOutA(part.dc(), 1, 1, ETO_CLIPPED, &clip, "Wavy gMjq", 9, nullptr);
        for (int y = 0; y < 20; ++y)
            for (int x = start; x < 60; ++x)
                ASSERT_EQ(part.At(x, y), whole.At(x, y)) << x << "," << y << " clip from " << start;
    }
}

TEST(TextOutTest, VerticalTextRunsUpward)
{
    Canvas cv(40, 120);
    Selected f(cv.dc(), Font(-13, "Tahoma", FW_NORMAL, 900));
    SetBkMode(cv.dc(), TRANSPARENT);
    TextOutA(cv.dc(), 10, 110, "Vertical text", 13);
    RECT ink = cv.InkBox();
    EXPECT_GT(ink.bottom - ink.top, 2 * (ink.right - ink.left));
    EXPECT_LE(ink.bottom, 111);
    EXPECT_GE(ink.left, 9);
}

// --- DrawText ------------------------------------------------------------------

TEST(DrawTextTest, SingleLinePlacementByAlignment)
{
    struct Case {
        UINT format;
        char h, v; // l c r / t c b
    } cases[] = {
        {DT_SINGLELINE, 'l', 't'},
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 'c', 'c'},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 'r', 'b'},
        {DT_SINGLELINE | DT_CENTER, 'c', 't'},
        {DT_VCENTER | DT_RIGHT, 'r', 't'}, // vertical alignment needs a single line
    };
    for (const Case& c : cases) {
        TextCanvas cv(120, 50);
        RECT r{10, 5, 110, 45};
        SIZE s = Extent(cv.dc(), "Label");
        int h = DrawTextA(cv.dc(), "Label", -1, &r, c.format);
        int left = c.h == 'l' ? 10 : c.h == 'r' ? 110 - s.cx : 10 + (100 - s.cx) / 2;
        int top = c.v == 't' ? 5 : c.v == 'b' ? 45 - s.cy : 5 + (40 - s.cy) / 2;
        ExpectRect(cv.CellBox(), RECT{left, top, left + s.cx, top + s.cy}, "format " + std::to_string(c.format));
        EXPECT_EQ(h, top - 5 + s.cy);
    }
}

TEST(DrawTextTest, CalcRectMeasuresWithoutDrawing)
{
    TextCanvas cv(100, 60);
    SIZE s = Extent(cv.dc(), "Measure me");
    RECT r{5, 7, 6, 8};
    int h = DrawTextA(cv.dc(), "Measure me", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(h, s.cy);
    ExpectRect(r, RECT{5, 7, 5 + s.cx, 7 + s.cy}, "calc single");
    RECT two{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextA(cv.dc(), "one\ntwo", -1, &two, DT_CALCRECT), 2 * s.cy);
    EXPECT_EQ(two.right, std::max(Extent(cv.dc(), "one").cx, Extent(cv.dc(), "two").cx));
    RECT one{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextA(cv.dc(), "one\r\ntwo", -1, &one, DT_CALCRECT | DT_SINGLELINE), s.cy);
    EXPECT_EQ(cv.CellBox().right, 0) << "nothing drawn";
}

TEST(DrawTextTest, WordBreakWrapsAtBlanksAndKeepsLongWordsUnlessEditControl)
{
    TextCanvas cv(200, 100);
    int w2 = Extent(cv.dc(), "aaa bbb").cx;
    RECT r{0, 0, w2 + 2, 0};
    int h = DrawTextA(cv.dc(), "aaa bbb ccc", -1, &r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 2 * Extent(cv.dc(), "a").cy);
    EXPECT_EQ(r.right, w2) << "the widest line";
    // A word wider than the rectangle stays whole without DT_EDITCONTROL.
    int narrow = Extent(cv.dc(), "abc").cx;
    RECT k{0, 0, narrow, 0};
    DrawTextA(cv.dc(), "abcdefgh", -1, &k, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(k.bottom, Extent(cv.dc(), "a").cy);
    EXPECT_EQ(k.right, Extent(cv.dc(), "abcdefgh").cx);
    RECT e{0, 0, narrow, 0};
    DrawTextA(cv.dc(), "abcdefgh", -1, &e, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_GE(e.bottom, 2 * Extent(cv.dc(), "a").cy);
    EXPECT_LE(e.right, narrow);
    // Drawn lines: the first cell is exactly "aaa bbb", the second "ccc".
    RECT draw{0, 0, w2 + 2, 100};
    DrawTextA(cv.dc(), "aaa bbb ccc", -1, &draw, DT_WORDBREAK);
    int lh = Extent(cv.dc(), "a").cy;
    int rowWidth[2] = {0, 0};
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 200; ++x)
            for (int y = row * lh; y < (row + 1) * lh; ++y)
                if (cv.At(x, y) != kWhite) {
                    rowWidth[row] = std::max(rowWidth[row], x + 1);
                    break;
                }
    EXPECT_EQ(rowWidth[0], w2);
    EXPECT_EQ(rowWidth[1], Extent(cv.dc(), "ccc").cx);
}

TEST(DrawTextTest, EditControlHidesAPartlyVisibleLastLine)
{
    TextCanvas cv(200, 100);
    int lh = Extent(cv.dc(), "a").cy;
    RECT r{0, 0, 200, lh + lh / 2};
    DrawTextA(cv.dc(), "one\ntwo", -1, &r, DT_EDITCONTROL);
    EXPECT_EQ(cv.CellBox().bottom, lh);
    TextCanvas plain(200, 100);
    DrawTextA(plain.dc(), "one\ntwo", -1, &r, 0);
    EXPECT_EQ(plain.CellBox().bottom, r.bottom) << "clipped to the rectangle";
}

TEST(DrawTextTest, EllipsesShortenTextToFit)
{
    TextCanvas cv(300, 40);
    char end[] = "An overly long caption for this box";
    int width = Extent(cv.dc(), "An overly").cx;
    RECT r{0, 0, width, 20};
    DrawTextExA(cv.dc(), end, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    std::string shown(end);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_LE(Extent(cv.dc(), shown.c_str()).cx, width);
    EXPECT_LE(cv.CellBox().right, width);
    char path[] = "C:\\Program Files\\Some Folder\\file.txt";
    RECT p{0, 0, Extent(cv.dc(), "C:\\Pro...\\file.txt").cx, 20};
    DrawTextExA(cv.dc(), path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    std::string shortened(path);
    EXPECT_NE(shortened.find("...\\file.txt"), std::string::npos) << shortened;
    EXPECT_EQ(shortened.rfind("C:\\", 0), 0u) << shortened;
    char fits[] = "ok";
    RECT wide{0, 0, 300, 20};
    DrawTextExA(cv.dc(), fits, -1, &wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    EXPECT_STREQ(fits, "ok");
}

TEST(DrawTextTest, PrefixesUnderlineTheirLetterUnlessHiddenOrDisabled)
{
    struct Case {
        const char* text;
        UINT format;
        const char* shown;
        bool underline;
    } cases[] = {
        {"&File", DT_SINGLELINE, "File", true},
        {"&File", DT_SINGLELINE | DT_NOPREFIX, "&File", false},
        {"&File", DT_SINGLELINE | DT_HIDEPREFIX, "File", false},
        {"Save && Exit", DT_SINGLELINE, "Save & Exit", false},
    };
    for (const Case& c : cases) {
        TextCanvas cv(200, 30);
        SetBkMode(cv.dc(), TRANSPARENT);
        SetTextColor(cv.dc(), RGB(255, 0, 0));
        RECT calc{0, 0, 200, 30};
        DrawTextA(cv.dc(), c.text, -1, &calc, c.format | DT_CALCRECT);
        EXPECT_EQ(calc.right, Extent(cv.dc(), c.shown).cx) << c.text;
        RECT r{0, 0, 200, 30};
        DrawTextA(cv.dc(), c.text, -1, &r, c.format);
        // The underline is a full row of text colour under the first letter.
        TEXTMETRICA tm;
        GetTextMetricsA(cv.dc(), &tm);
        int fw = Extent(cv.dc(), "F").cx;
        bool found = false;
        for (int y = tm.tmAscent; y < 30 && !found; ++y) {
            int run = 0;
            for (int x = 0; x < fw; ++x)
                run += cv.At(x, y) == RGB(255, 0, 0);
            found = run == fw;
        }
        EXPECT_EQ(found, c.underline) << c.text << " / " << c.format;
    }
}

TEST(DrawTextTest, TabsExpandToStopsOfEightAverageCharacters)
{
    TextCanvas cv(300, 20);
    TEXTMETRICA tm;
    GetTextMetricsA(cv.dc(), &tm);
    RECT r{0, 0, 300, 20};
    DrawTextA(cv.dc(), "a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + Extent(cv.dc(), "b").cx);
    RECT plain{0, 0, 300, 20};
    DrawTextA(cv.dc(), "a\tb", -1, &plain, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(plain.right, Extent(cv.dc(), "ab").cx);
}

TEST(DrawTextTest, NoClipLetsTextLeaveTheRectangle)
{
    for (UINT extra : {0u, DT_NOCLIP}) {
        TextCanvas cv(200, 30);
        RECT r{0, 0, 10, 30};
        DrawTextA(cv.dc(), "A wide line of text", -1, &r, DT_SINGLELINE | extra);
        EXPECT_EQ(cv.CellBox().right > 10, extra == DT_NOCLIP);
    }
}

TEST(DrawTextTest, HostileArgumentsFailQuietly)
{
    TextCanvas cv(50, 20);
    RECT r{0, 0, 50, 20};
    EXPECT_EQ(DrawTextA(cv.dc(), nullptr, 5, &r, 0), 0);
    EXPECT_EQ(DrawTextA(cv.dc(), "x", -5, &r, 0), 0);
    EXPECT_EQ(DrawTextA(cv.dc(), "x", 1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextA(nullptr, "x", 1, &r, 0), 0);
    EXPECT_GT(DrawTextA(cv.dc(), "\xC3\x28\xA0\xA1", 4, &r, DT_SINGLELINE), 0) << "broken UTF-8 still draws";
    RECT tiny{0, 0, 1, 0};
    EXPECT_GT(DrawTextA(cv.dc(), "abc def", -1, &tiny, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL), 0)
        << "a width below one character still ends";
}

TEST(FixedTestFaceTest, MetricsAreExactAtEverySize)
{
    struct Case {
        int height, ascent, descent, advance;
    } cases[] = {{-16, 12, 4, 8}, {16, 12, 4, 8}, {-10, 8, 2, 5}, {-20, 16, 4, 10}};
    Canvas cv(4, 4);
    for (const Case& c : cases) {
        Selected f(cv.dc(), Font(c.height, quelvo::gfx::kFixedTestFace));
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(cv.dc(), &tm));
        EXPECT_EQ(tm.tmAscent, c.ascent) << c.height;
        EXPECT_EQ(tm.tmDescent, c.descent) << c.height;
        EXPECT_EQ(tm.tmHeight, c.ascent + c.descent) << c.height;
        EXPECT_EQ(tm.tmInternalLeading + tm.tmExternalLeading, 0) << c.height;
        EXPECT_EQ(tm.tmAveCharWidth, c.advance) << c.height;
        EXPECT_EQ(tm.tmBreakChar, ' ');
        for (const char* text : {"W", "i", " ", "\xC3\xA9"})
            EXPECT_EQ(Extent(cv.dc(), text).cx, c.advance) << text;
    }
}

TEST(TabbedTextTest, TabsMoveToStopsFromTheOrigin)
{
    struct Case {
        const char* text;
        int count;
        std::vector<INT> stops;
        int width;
    } cases[] = {
        {"a\tb", 0, {}, 64 + 8},          // default: 8 average widths
        {"abcdefghi\tb", 0, {}, 128 + 8}, // past the first stop: the next
        {"a\tb", 1, {20}, 20 + 8},        // one value: the distance
        {"a\tb\tc", 2, {12, 30}, 30 + 8}, // several: the stops themselves
        {"a\tb\tc\td", 2, {12, 30}, 60 + 8}, // past the last: its multiples
        {"\t", 0, {}, 64},
        {"", 0, {}, 0},
    };
    Canvas cv(4, 4);
    Selected f(cv.dc(), Font(-16, quelvo::gfx::kFixedTestFace));
    for (const Case& c : cases) {
        DWORD answer = GetTabbedTextExtentA(cv.dc(), c.text, static_cast<int>(std::strlen(c.text)), c.count,
                                            c.stops.empty() ? nullptr : c.stops.data());
        EXPECT_EQ(LOWORD(answer), c.width) << c.text;
        EXPECT_EQ(HIWORD(answer), 16) << c.text;
    }
}

TEST(TabbedTextTest, OutputPlacesTheRunsAtTheirStops)
{
    TextCanvas cv(200, 20);
    Selected f(cv.dc(), Font(-16, quelvo::gfx::kFixedTestFace));
    SetBkMode(cv.dc(), TRANSPARENT);
    LONG answer = TabbedTextOutA(cv.dc(), 10, 0, "a\tb", 3, 0, nullptr, 0);
    EXPECT_EQ(LOWORD(answer), 64 + 8 - 10) << "stops count from the tab origin";
    RECT ink = cv.InkBox();
    EXPECT_EQ(ink.left, 10);
    EXPECT_EQ(ink.right, 64 + 7) << "b at the first stop, its box one pixel narrower than the advance";
    EXPECT_EQ(cv.At(20, 5), kWhite) << "nothing in the gap";
}

TEST(TextJustificationTest, BreaksTakeTheExtraPixelsUntilReset)
{
    TextCanvas cv(200, 20);
    Selected f(cv.dc(), Font(-16, quelvo::gfx::kFixedTestFace));
    ASSERT_TRUE(SetTextJustification(cv.dc(), 7, 3));
    EXPECT_EQ(Extent(cv.dc(), "a b c d").cx, 56 + 7) << "3 + 2 + 2 pixels";
    EXPECT_EQ(Extent(cv.dc(), "abc").cx, 24) << "no break, no extra";
    int fit = 0;
    int dx[7] = {};
    SIZE size{};
    GetTextExtentExPointA(cv.dc(), "a b c d", 7, 1000, &fit, dx, &size);
    EXPECT_EQ(dx[1], 8 + 8 + 3) << "the first break takes the remainder";
    EXPECT_EQ(dx[3], 8 + 11 + 8 + 10);
    SetBkMode(cv.dc(), TRANSPARENT);
    TextOutA(cv.dc(), 0, 0, "a b", 3);
    EXPECT_EQ(cv.InkBox().right, 16 + 3 + 7) << "output is stretched alike";
    SetTextJustification(cv.dc(), 0, 0);
    EXPECT_EQ(Extent(cv.dc(), "a b c d").cx, 56);
}

} // namespace

namespace {

struct LocaleNameScope {
    explicit LocaleNameScope(const char* name) { quelvo::sys::SetUserLocaleNameOverride(std::string(name)); }
    ~LocaleNameScope() { quelvo::sys::SetUserLocaleNameOverride(std::nullopt); }
};

TEST(TextCharset, TheDefaultSetIsTheLocalesAndAnExplicitOneStays)
{
    struct Case {
        const char* locale;
        int expected;
    };
    const Case cases[] = {
        {"zh_CN.UTF-8", GB2312_CHARSET}, {"zh_SG", GB2312_CHARSET},       {"zh_TW.UTF-8", CHINESEBIG5_CHARSET},
        {"zh_HK", CHINESEBIG5_CHARSET},  {"zh_MO@x", CHINESEBIG5_CHARSET}, {"ar_EG.UTF-8", ARABIC_CHARSET},
        {"ar", ARABIC_CHARSET},          {"en_US.UTF-8", ANSI_CHARSET},    {"C", ANSI_CHARSET},
        {"zh", ANSI_CHARSET},            {"arn_CL", ANSI_CHARSET},         {"", ANSI_CHARSET},
    };
    Canvas canvas(4, 4);
    for (const Case& c : cases) {
        LocaleNameScope locale(c.locale);
        Selected font(canvas.dc(), Font(-13));
        EXPECT_EQ(GetTextCharset(canvas.dc()), c.expected) << c.locale;
        Selected arabic(canvas.dc(), CreateFontA(-13, 0, 0, 0, 0, 0, 0, 0, ARABIC_CHARSET, 0, 0, 0, 0, "Tahoma"));
        EXPECT_EQ(GetTextCharset(canvas.dc()), ARABIC_CHARSET) << "a font's own set, whatever the locale";
    }
    EXPECT_EQ(GetTextCharset(nullptr), DEFAULT_CHARSET);
}

}  // namespace
