// user32 drawing helpers: system colours, rectangle helpers, 3-D edges,
// focus rectangles, frame controls and the check-box bitmap. A "distinct
// palette" gives every system colour its own value, so a pixel tells which
// colour role drew it.
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::kBlack;
using quelvo::gfx::test::kWhite;
using quelvo::gfx::test::Joined;

namespace {


using quelvo::gfx::test::Distinct;

class DistinctPalette : public ::testing::Test {
protected:
    void SetUp() override { quelvo::gfx::test::SetDistinctSysColors(); }
    void TearDown() override { quelvo::gfx::ResetSysColors(); }

    static std::map<COLORREF, char> Roles()
    {
        return {{kWhite, '.'},
                {Distinct(COLOR_3DLIGHT), 'L'},
                {Distinct(COLOR_3DDKSHADOW), 'D'},
                {Distinct(COLOR_BTNHIGHLIGHT), 'H'},
                {Distinct(COLOR_BTNSHADOW), 'S'},
                {Distinct(COLOR_BTNFACE), 'F'},
                {Distinct(COLOR_WINDOW), 'W'},
                {Distinct(COLOR_WINDOWTEXT), 'T'},
                {Distinct(COLOR_WINDOWFRAME), 'M'},
                {Distinct(COLOR_BTNTEXT), 'B'},
                {Distinct(COLOR_GRAYTEXT), 'G'}};
    }
};

TEST_F(DistinctPalette, DrawEdgeRingsTakeTheirRoleColours)
{
    struct Case {
        UINT edge, flags;
        std::vector<std::string> art;
        RECT adjusted;
    } cases[] = {
        {EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST,
         {"LLLLLD", "LHHHSD", "LHFFSD", "LSSSSD", "DDDDDD"}, {2, 2, 4, 3}},
        {EDGE_SUNKEN, BF_RECT | BF_ADJUST,
         {"SSSSSH", "SDDDLH", "SD..LH", "SLLLLH", "HHHHHH"}, {2, 2, 4, 3}},
        {EDGE_ETCHED, BF_RECT,
         {"SSSSSH", "SHHHSH", "SH..SH", "SSSSSH", "HHHHHH"}, {0, 0, 6, 5}},
        {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST,
         {"HHHHH.", "H.....", "H.....", "H.....", "......"}, {1, 1, 6, 5}},
        {BDR_SUNKENOUTER, BF_BOTTOM | BF_RIGHT | BF_ADJUST,
         {".....H", ".....H", ".....H", ".....H", "HHHHHH"}, {0, 0, 5, 4}},
        {EDGE_SUNKEN, BF_RECT | BF_FLAT, {"SSSSSS", "SFFFFS", "SF..FS", "SFFFFS", "SSSSSS"}, {0, 0, 6, 5}},
        {EDGE_SUNKEN, BF_RECT | BF_MONO | BF_MIDDLE,
         {"MMMMMM", "MWWWWM", "MWWWWM", "MWWWWM", "MMMMMM"}, {0, 0, 6, 5}},
    };
    for (const Case& c : cases) {
        Canvas cv(6, 5);
        RECT r{0, 0, 6, 5};
        EXPECT_TRUE(DrawEdge(cv.dc(), &r, c.edge, c.flags));
        EXPECT_EQ(Joined(cv.Art(Roles())), Joined(c.art)) << c.edge << "/" << c.flags;
        EXPECT_EQ(r.left, c.adjusted.left);
        EXPECT_EQ(r.top, c.adjusted.top);
        EXPECT_EQ(r.right, c.adjusted.right);
        EXPECT_EQ(r.bottom, c.adjusted.bottom);
    }
}

TEST_F(DistinctPalette, SystemColourBrushesFollowTheTableAndIndexBrushesWork)
{
    Canvas cv(2, 1);
    RECT r{0, 0, 1, 1};
    FillRect(cv.dc(), &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT r2{1, 0, 2, 1};
    FillRect(cv.dc(), &r2, reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_INFOBK + 1)));
    EXPECT_EQ(cv.At(0, 0), Distinct(COLOR_HIGHLIGHT));
    EXPECT_EQ(cv.At(1, 0), Distinct(COLOR_INFOBK));
    INT e = COLOR_HIGHLIGHT;
    COLORREF v = RGB(9, 8, 7);
    SetSysColors(1, &e, &v);
    FillRect(cv.dc(), &r, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(cv.At(0, 0), RGB(9, 8, 7));
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_HIGHLIGHT))) << "system brushes ignore deletion";
    EXPECT_NE(GetObjectType(GetSysColorBrush(COLOR_HIGHLIGHT)), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(SYS_COLOR_COUNT), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

TEST(SysColorTest, DefaultsAreTheClassicTable)
{
    quelvo::gfx::ResetSysColors();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(64, 64, 64));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
}

TEST(RectHelperTest, RectangleArithmetic)
{
    RECT a{0, 0, 10, 10}, b{10, 0, 20, 10}, out{1, 1, 1, 1};
    EXPECT_FALSE(IntersectRect(&out, &a, &b)) << "touching rectangles do not overlap";
    EXPECT_TRUE(IsRectEmpty(&out));
    RECT c{5, 5, 15, 15};
    EXPECT_TRUE(IntersectRect(&out, &a, &c));
    EXPECT_TRUE(EqualRect(&out, new (&out) RECT{5, 5, 10, 10}));
    RECT empty{3, 3, 3, 9};
    EXPECT_TRUE(UnionRect(&out, &a, &empty));
    EXPECT_EQ(out.right, 10);
    RECT left{0, 0, 4, 10};
    EXPECT_TRUE(SubtractRect(&out, &a, &left));
    EXPECT_EQ(out.left, 4);
    RECT middle{3, 3, 6, 6};
    EXPECT_TRUE(SubtractRect(&out, &a, &middle));
    EXPECT_EQ(out.left, 0) << "a hole does not shrink the rectangle";
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    InflateRect(&a, 2, 1);
    OffsetRect(&a, 1, 1);
    EXPECT_EQ(a.left, -1);
    EXPECT_EQ(a.bottom, 12);
}

TEST(FocusRectTest, FocusRectanglesInvertAlternatePixelsAndUndoThemselves)
{
    Canvas cv(5, 4);
    RECT r{0, 0, 5, 4};
    EXPECT_TRUE(DrawFocusRect(cv.dc(), &r));
    EXPECT_EQ(Joined(cv.Art()), Joined({"#.#.#", ".....", "#...#", ".#.#."}));
    DrawFocusRect(cv.dc(), &r);
    EXPECT_EQ(Joined(cv.Art()), Joined({".....", ".....", ".....", "....."}));
}

TEST(FocusRectTest, InvertRectAndFrameRect)
{
    Canvas cv(4, 3);
    RECT r{1, 0, 3, 2};
    InvertRect(cv.dc(), &r);
    EXPECT_EQ(Joined(cv.Art()), Joined({".##.", ".##.", "...."}));
    Canvas frame(4, 3);
    RECT f{0, 0, 4, 3};
    FrameRect(frame.dc(), &f, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(Joined(frame.Art()), Joined({"####", "#..#", "####"}));
}

TEST_F(DistinctPalette, CheckBoxFrameControlShowsTheMarkInWindowText)
{
    Canvas cv(13, 13);
    RECT r{0, 0, 13, 13};
    DrawFrameControl(cv.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(Joined(cv.Art(Roles())), Joined({
                                           "SSSSSSSSSSSSH",
                                           "SDDDDDDDDDDLH",
                                           "SDWWWWWWWWWLH",
                                           "SDWWWWWWWTWLH",
                                           "SDWWWWWWTTWLH",
                                           "SDWTWWWTTTWLH",
                                           "SDWTTWTTTWWLH",
                                           "SDWTTTTTWWWLH",
                                           "SDWWTTTWWWWLH",
                                           "SDWWWTWWWWWLH",
                                           "SDWWWWWWWWWLH",
                                           "SLLLLLLLLLLLH",
                                           "HHHHHHHHHHHHH",
                                       }));
    Canvas inactive(13, 13);
    DrawFrameControl(inactive.dc(), &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_INACTIVE);
    EXPECT_EQ(inactive.At(6, 6), Distinct(COLOR_BTNFACE));
}

TEST_F(DistinctPalette, ScrollArrowsAreRowsOfOddLengthsCentredOnAButton)
{
    struct Case {
        UINT state;
        std::vector<int> rows; // arrow pixels per row, top to bottom
    } cases[] = {
        {DFCS_SCROLLDOWN, {7, 5, 3, 1}},
        {DFCS_SCROLLUP, {1, 3, 5, 7}},
    };
    for (const Case& c : cases) {
        Canvas cv(16, 16);
        RECT r{0, 0, 16, 16};
        DrawFrameControl(cv.dc(), &r, DFC_SCROLL, c.state);
        auto art = cv.Art(Roles());
        std::vector<int> rows;
        for (const auto& row : art) {
            int n = static_cast<int>(std::count(row.begin(), row.end(), 'B'));
            if (n)
                rows.push_back(n);
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(art[0][0], 'L') << "raised button frame";
    }
    Canvas grey(16, 16);
    RECT r{0, 0, 16, 16};
    DrawFrameControl(grey.dc(), &r, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE);
    auto art = grey.Art(Roles());
    int g = 0, h = 0;
    for (const auto& row : art) {
        g += static_cast<int>(std::count(row.begin(), row.end(), 'G'));
        h += static_cast<int>(std::count(row.begin(), row.end(), 'H'));
    }
    EXPECT_EQ(g, 16) << "inactive arrows are grey";
    EXPECT_GT(h, 0);
}

TEST_F(DistinctPalette, PushedFlatAndCaptionControls)
{
    auto inkBox = [](const std::vector<std::string>& art, char c) {
        RECT r{1000, 1000, -1, -1};
        for (int y = 0; y < static_cast<int>(art.size()); ++y)
            for (int x = 0; x < static_cast<int>(art[y].size()); ++x)
                if (art[y][x] == c) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    };
    RECT r{0, 0, 16, 16};
    Canvas up(16, 16), pushed(16, 16), flat(16, 16), close(16, 16);
    DrawFrameControl(up.dc(), &r, DFC_SCROLL, DFCS_SCROLLDOWN);
    DrawFrameControl(pushed.dc(), &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED);
    DrawFrameControl(flat.dc(), &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_FLAT);
    DrawFrameControl(close.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    RECT a = inkBox(up.Art(Roles()), 'B'), b = inkBox(pushed.Art(Roles()), 'B');
    EXPECT_EQ(b.left, a.left + 1) << "pushed arrows move one pixel right and down";
    EXPECT_EQ(b.top, a.top + 1);
    EXPECT_EQ(pushed.Art(Roles())[0][0], 'S') << "pushed buttons are sunken";
    auto flatArt = flat.Art(Roles());
    EXPECT_EQ(flatArt[0], std::string(16, 'S')) << "flat buttons have a one-colour frame";
    auto x = close.Art(Roles());
    RECT cross = inkBox(x, 'B');
    EXPECT_EQ(cross.right - cross.left, cross.bottom - cross.top + 1) << "two-pixel strokes: one wider than high";
    for (int i = cross.top; i < cross.bottom; ++i)
        for (int j = cross.left; j < cross.right; ++j)
            EXPECT_EQ(x[i][j] == 'B', x[i][cross.left + cross.right - 1 - j] == 'B')
                << "mirror symmetric at " << j << "," << i << Joined(x);
}

TEST_F(DistinctPalette, RadioMaskIsABlackDiscOnWhite)
{
    // Measured the way the painters measure the radio: on a black cell the
    // mask leaves black only in the disc's columns and rows.
    Canvas cv(13, 13, kBlack);
    RECT r{0, 0, 13, 13};
    DrawFrameControl(cv.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_CHECKED | DFCS_FLAT);
    auto art = cv.Art();
    int columns = 0;
    for (int x = 0; x < 13; ++x) {
        bool any = false;
        for (const auto& row : art)
            any = any || row[x] == '#';
        columns += any;
    }
    EXPECT_EQ(columns, 12);
    EXPECT_EQ(art[0], "....####.....");
    EXPECT_EQ(art[6], "############.");
}

TEST_F(DistinctPalette, RadioImageIsMonochromeWhateverThePalette)
{
    // A black ring, a white interior and, when checked, a black 4 x 4 dot,
    // under the distinct and under the classic palette alike; the plain
    // and the mask forms asked for beside the image do not change it.
    const std::vector<std::string> checked = {
        "????####?????", "??##....##???", "?#........#??", "?#........#??", "#....##....#?", "#...####...#?",
        "#...####...#?", "#....##....#?", "?#........#??", "?#........#??", "??##....##???", "????####?????",
        "?????????????",
    };
    struct Case {
        bool classic;
        UINT extra;
    };
    for (const Case& c : {Case{false, 0u}, Case{true, 0u}, Case{false, DFCS_PUSHED | DFCS_INACTIVE}, Case{false, DFCS_BUTTONRADIO}}) {
        if (c.classic)
            quelvo::gfx::ResetSysColors();
        RECT r{0, 0, 13, 13};
        Canvas image(13, 13, RGB(1, 2, 3));
        DrawFrameControl(image.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT | c.extra);
        EXPECT_EQ(Joined(image.Art({{kWhite, '.'}, {kBlack, '#'}})), Joined(checked)) << c.classic << " " << c.extra;
        Canvas empty(13, 13, RGB(1, 2, 3));
        DrawFrameControl(empty.dc(), &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | c.extra);
        EXPECT_EQ(empty.Art({{kWhite, '.'}, {kBlack, '#'}})[5], "#..........#?") << "no dot unless checked";
    }
}

TEST_F(DistinctPalette, CheckBoxesBitmapHoldsTwelveCellsOfThirteenPixels)
{
    HBITMAP bmp = LoadBitmapA(nullptr, OBM_CHECKBOXES);
    ASSERT_NE(bmp, nullptr);
    BITMAP bm;
    GetObject(bmp, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 52);
    EXPECT_EQ(bm.bmHeight, 39);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    auto marks = [&](int col, int row) {
        int n = 0;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                n += GetPixel(dc, col * 13 + x, row * 13 + y) == Distinct(COLOR_WINDOWTEXT);
        return n;
    };
    EXPECT_EQ(marks(0, 0), 0);
    EXPECT_GT(marks(1, 0), 10);
    EXPECT_GT(marks(1, 1), 0) << "checked radio has a dot";
    EXPECT_EQ(GetPixel(dc, 2 * 13 + 6, 6), Distinct(COLOR_BTNFACE)) << "pushed cells are grey inside";
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    EXPECT_EQ(LoadBitmapA(nullptr, "NAMED"), nullptr);
}

} // namespace
