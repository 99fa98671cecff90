// Text rows on the fixed-metrics face: every character 8 pixels wide, rows
// 16 pixels high, glyphs drawn as boxes from y 1 to 11 of their row.
#include "components/editors/cxEditTextUtils.h"
#include "tests/components/editors/editors_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using quelvo::editors::test::FixedCanvas;
using quelvo::gfx::test::kBlack;
using quelvo::gfx::test::kWhite;

namespace {

std::vector<std::string> RowTexts(const TcxTextRows& rows, int count)
{
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.emplace_back(rows[static_cast<size_t>(i)].Text, static_cast<size_t>(rows[static_cast<size_t>(i)].TextLength));
    return texts;
}

TEST(TextRowsTest, RowsBreakAtBlanksOrCharactersAndLinesEndThem)
{
    struct Case {
        const char* text;
        int width;
        unsigned format;
        std::vector<std::string> rows;
    } cases[] = {
        {"abc def", 30, cxWordBreak, {"abc ", "def"}},
        {"abcdefgh", 30, cxWordBreak, {"abcdefgh"}},  // a long word overflows its row
        {"abcdefgh", 30, cxWordBreak | cxCharBreak, {"abc", "def", "gh"}},
        {"ab cdefghij k", 30, cxWordBreak, {"ab ", "cdefghij ", "k"}},
        {"abc def", 30, 0, {"abc def"}},  // no wrapping without word break
        {"ab\ncd\r\nef", 100, cxWordBreak, {"ab", "cd", "ef"}},
        {"ab\n\ncd", 100, 0, {"ab", "", "cd"}},
        {"ab\ncd", 100, cxSingleLine, {"ab\ncd"}},
        {"aa bb cc dd", 80, cxWordBreak | taJustifyX, {"aa bb cc", "dd"}},  // trailing blanks go
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 16, cxWordBreak | cxCharBreak, {"\xC3\xA9\xC3\xA9", "\xC3\xA9"}},
    };
    FixedCanvas cv(10, 10);
    for (const Case& c : cases) {
        TcxTextParams p = cxCalcTextParams(cv.dc(), c.format);
        TcxTextRows rows;
        int count = -1;
        EXPECT_TRUE(cxMakeTextRows(cv.dc(), c.text, RECT{0, 0, c.width, 1000}, p, rows, count));
        EXPECT_EQ(RowTexts(rows, count), c.rows) << c.text;
    }
}

TEST(TextRowsTest, HeightAndLineCountDecideTheLastRow)
{
    struct Case {
        unsigned format;
        int maxLines;
        int rows;
        bool allFitted;
    } cases[] = {
        {cxWordBreak, 0, 3, true},                  // the third row shows partly
        {cxWordBreak | cxEditControl, 0, 2, true},  // only whole rows
        {cxWordBreak | cxEditControl | cxDontClip, 0, 3, true},
        {cxWordBreak | (taCenterY << 4), 0, 4, true},  // not top-aligned: every row
        {cxWordBreak | (taCenterY << 4), 2, 2, false},
        {cxWordBreak, 1, 1, false},
        {cxWordBreak | cxCalcRect, 2, 2, true},
        {cxSingleLine, 0, 1, true},
    };
    FixedCanvas cv(10, 10);
    for (const Case& c : cases) {
        TcxTextParams p = cxCalcTextParams(cv.dc(), c.format);
        TcxTextRows rows;
        int count = 0;
        bool all = cxMakeTextRows(cv.dc(), "a b c d", RECT{0, 0, 8, 40}, p, rows, count, c.maxLines);
        EXPECT_EQ(count, c.rows) << std::hex << c.format << " max " << c.maxLines;
        EXPECT_EQ(all, c.allFitted) << std::hex << c.format << " max " << c.maxLines;
    }
}

TEST(TextRowsTest, PlacingFollowsTheAlignment)
{
    struct Case {
        unsigned format;
        std::vector<POINT> origins;
    } cases[] = {
        {cxMakeFormat(taLeft, taTop), {{10, 0}, {10, 16}}},
        {cxMakeFormat(taRight, taTop), {{100 - 32, 0}, {100 - 16, 16}}},
        {cxMakeFormat(taCenterX, taCenterY), {{10 + (90 - 32) / 2, 34}, {10 + (90 - 16) / 2, 50}}},
        {cxMakeFormat(taLeft, taBottom), {{10, 100 - 32}, {10, 100 - 16}}},
        {cxMakeFormat(taLeft, taDistributeY), {{10, 0}, {10, 84}}},
    };
    FixedCanvas cv(10, 10);
    for (const Case& c : cases) {
        TcxTextParams p = cxCalcTextParams(cv.dc(), c.format | cxWordBreak);
        TcxTextRows rows;
        int count = 0;
        RECT r{10, 0, 100, 100};
        cxMakeTextRows(cv.dc(), "abcd\nef", r, p, rows, count);
        cxPlaceTextRows(cv.dc(), r, p, rows, count);
        ASSERT_EQ(count, 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(rows[static_cast<size_t>(i)].TextOriginX, c.origins[static_cast<size_t>(i)].x) << std::hex << c.format;
            EXPECT_EQ(rows[static_cast<size_t>(i)].TextOriginY, c.origins[static_cast<size_t>(i)].y) << std::hex << c.format;
        }
    }
    TcxTextRows rows(1);
    rows[0].TextExtents = SIZE{200, 16};
    TcxTextParams p{};
    p.RowHeight = p.RowPitch = 16;
    p.TextAlignX = taRight;
    p.PreventLeftExceed = true;
    cxPlaceTextRows(cv.dc(), RECT{10, 0, 100, 100}, p, rows, 1);
    EXPECT_EQ(rows[0].TextOriginX, 10) << "a wide row never starts left of the rectangle";
}

TEST(TextOutTest, CalculatingTheRectangleShrinksItToTheText)
{
    FixedCanvas cv(10, 10);
    struct Case {
        const char* text;
        RECT rect;
        unsigned format;
        RECT want;
        int answer;
    } cases[] = {
        {"abc def", {0, 0, 500, 500}, cxCalcRect | cxWordBreak, {0, 0, 56, 16}, 16},
        {"abc def", {0, 0, 30, 500}, cxCalcRect | cxWordBreak, {0, 0, 32, 32}, 32},
        {"abc def", {5, 5, 500, 500}, cxCalcRect | cxSingleLine, {5, 5, 61, 21}, 16},
        {"abc def", {0, 0, 30, 500}, cxCalcRect | cxWordBreak | cxCalcRowCount, {0, 0, 32, 32}, 2},
    };
    for (const Case& c : cases) {
        RECT r = c.rect;
        EXPECT_EQ(cxTextOut(cv.dc(), c.text, r, c.format), c.answer) << c.text << std::hex << c.format;
        EXPECT_EQ(r.left, c.want.left);
        EXPECT_EQ(r.top, c.want.top);
        EXPECT_EQ(r.right, c.want.right) << c.text << std::hex << c.format;
        EXPECT_EQ(r.bottom, c.want.bottom) << c.text << std::hex << c.format;
    }
    RECT indented{0, 0, 500, 500};
    cxTextOut(cv.dc(), "abc", indented, cxCalcRect | cxSingleLine, 0, 3, 4);
    EXPECT_EQ(indented.right, 3 + 24 + 4) << "the indents stay around the text";
    RECT untouched{0, 0, 500, 500};
    EXPECT_EQ(cxTextOut(cv.dc(), "", untouched, cxCalcRect), 0);
    EXPECT_EQ(untouched.right, 500);
}

TEST(TextOutTest, EndEllipsisShortensTheLastRow)
{
    // "ab..." inks 0..38; unshortened text would also ink 40..42.
    for (int width : {40, 43}) {
        FixedCanvas cv(60, 16);
        RECT r{0, 0, width, 16};
        cxTextOut(cv.dc(), "abcdefgh", r, cxSingleLine | cxShowEndEllipsis);
        EXPECT_EQ(cv.InkBox().right, 39) << width;
    }
    FixedCanvas cv(60, 16);
    RECT r{0, 0, 43, 16};
    cxTextOut(cv.dc(), "abcdefgh", r, cxSingleLine);
    EXPECT_EQ(cv.InkBox().right, 43) << "without ellipsis the text is clipped";
}

TEST(TextOutTest, JustifiedRowsFillTheWidthAndDistributedOnesTheLastToo)
{
    // Row 1 "aa bb cc" (64 of 80 wide), row 2 "dd ee" (40).
    for (TcxTextAlignX align : {taJustifyX, taDistributeX}) {
        FixedCanvas cv(100, 32);
        RECT r{0, 0, 80, 32};
        cxTextOut(cv.dc(), "aa bb cc dd ee", r, cxMakeFormat(align, taTop) | cxWordBreak);
        RECT row1 = cv.InkBox();
        EXPECT_EQ(row1.right, 79) << "the first row's last glyph ends at the edge";
        EXPECT_EQ(cv.At(32, 5), kBlack) << "its first break widened by 8";
        EXPECT_EQ(cv.At(24, 5), kWhite);
        int lastRowInk = 0;
        for (int x = 0; x < 100; ++x)
            if (cv.At(x, 20) == kBlack)
                lastRowInk = x + 1;
        EXPECT_EQ(lastRowInk, align == taDistributeX ? 79 : 39) << align;
        SIZE after{};
        GetTextExtentPoint32A(cv.dc(), "a b", 3, &after);
        EXPECT_EQ(after.cx, 24) << "justification reset";
    }
}

TEST(TextOutTest, ASelectionOverTwoRowsIsHighlightedOnBoth)
{
    const COLORREF kSelBk = RGB(0, 0, 255), kSelText = RGB(255, 0, 0);
    FixedCanvas cv(40, 32);
    RECT r{0, 0, 30, 32};
    // "c d": rows "abc " and "def".
    cxTextOut(cv.dc(), "abc def", r, cxWordBreak, 2, 3, static_cast<hostlib::TColor>(kSelBk),
              static_cast<hostlib::TColor>(kSelText));
    EXPECT_EQ(cv.At(18, 5), kSelBk) << "inside c";
    EXPECT_EQ(cv.At(16, 1), kSelText) << "c's box in the selection text colour";
    EXPECT_EQ(cv.At(27, 5), kSelBk) << "the blank after c";
    EXPECT_EQ(cv.At(8, 1), kBlack) << "b is not selected";
    EXPECT_EQ(cv.At(10, 5), kWhite);
    EXPECT_EQ(cv.At(3, 21), kSelBk) << "d on the second row";
    EXPECT_EQ(cv.At(11, 21), kWhite) << "e is not selected";
    EXPECT_EQ(GetBkMode(cv.dc()), OPAQUE) << "background mode restored";
}

TEST(TextOutTest, HostileSelectionsAndEmptyRectanglesAreHarmless)
{
    FixedCanvas cv(40, 32);
    RECT r{0, 0, 30, 32};
    EXPECT_EQ(cxTextOut(cv.dc(), "abc", r, 0, 100, 5, hostlib::clRed, hostlib::clBlue), 16);
    EXPECT_EQ(cxTextOut(cv.dc(), "abc", r, 0, 1, 1000, hostlib::clRed, hostlib::clBlue), 16);
    EXPECT_EQ(cxTextOut(cv.dc(), "abc", r, 0, -4, 2, hostlib::clRed, hostlib::clBlue), 16);
    RECT empty{10, 10, 10, 40};
    EXPECT_EQ(cxTextOut(cv.dc(), "abc", empty, 0), 0);
    RECT tiny{0, 0, 1, 32};
    EXPECT_GT(cxTextOut(cv.dc(), "abc def ghi", tiny, cxWordBreak | cxCharBreak), 0);
}

} // namespace
