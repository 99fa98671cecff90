// The ultra-flat painter: metrics, one-pixel frames coloured by state,
// button groups, headers beside neighbours, footers, the filter drop-down,
// expand buttons and hot scroll-bar parts, under the distinct palette.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "tests/components/foundation/foundation_canvas.h"
#include "platform/windows/loop.h"

using namespace hostlib;
using foundationtest::Distinct;
using foundationtest::Surface;

namespace {

const TcxUltraFlatLookAndFeelPainter& UltraFlat()
{
    return static_cast<const TcxUltraFlatLookAndFeelPainter&>(*TcxUltraFlatLookAndFeelPainter::Class());
}

class UltraFlatPainter : public ::testing::Test {
protected:
    void SetUp() override
    {
        quelvo::gfx::test::SetDistinctSysColors();
        cxUltraFlatLookAndFeelPaintersInitialize();
    }
    void TearDown() override
    {
        cxUltraFlatLookAndFeelPaintersFinalize();
        quelvo::gfx::ResetSysColors();
        quelvo::win::ResetWindowManager();
    }
};

// Capitals: system colours (I HIGHLIGHT, R WINDOWFRAME); 'l' and 'd' the
// light selection and pressed-selection colours; '.' white, 'r' red, 'b' blue.
char Name(COLORREF c)
{
    const std::map<COLORREF, char> legend = {
        {Distinct(COLOR_WINDOW), 'W'},       {Distinct(COLOR_BTNFACE), 'F'},   {Distinct(COLOR_BTNSHADOW), 'S'},
        {Distinct(COLOR_BTNHIGHLIGHT), 'H'}, {Distinct(COLOR_BTNTEXT), 'T'},   {Distinct(COLOR_HIGHLIGHT), 'I'},
        {Distinct(COLOR_WINDOWFRAME), 'R'},  {ColorToRGB(GetLightSelColor()), 'l'},
        {ColorToRGB(GetLightDownedSelColor()), 'd'}, {RGB(255, 255, 255), '.'}, {RGB(255, 0, 0), 'r'},
        {RGB(0, 0, 255), 'b'}, {Distinct(COLOR_HIGHLIGHTTEXT), 'X'}};
    auto it = legend.find(c);
    return it == legend.end() ? '?' : it->second;
}

// Ring k of r: the middle of its left, top, right and bottom sides.
std::string Ring(Surface& s, const RECT& r, int k)
{
    const RECT q{r.left + k, r.top + k, r.right - k - 1, r.bottom - k - 1};
    const int mx = (q.left + q.right) / 2, my = (q.top + q.bottom) / 2;
    return {Name(s.At(q.left, my)), Name(s.At(mx, q.top)), Name(s.At(q.right, my)), Name(s.At(mx, q.bottom))};
}

TEST_F(UltraFlatPainter, Metrics)
{
    const auto& p = UltraFlat();
    EXPECT_EQ(p.LookAndFeelStyle(), lfsUltraFlat);
    const std::vector<int> got = {p.BorderSize(), p.ButtonBorderSize(cxbsDefault), p.ButtonBorderSize(cxbsHot),
                                  p.ButtonTextOffset(), p.ButtonTextShift(), p.ExpandButtonSize(),
                                  p.SmallExpandButtonSize(), p.HeaderBorderSize(), int(p.SortingMarkSize().x),
                                  int(p.SortingMarkSize().y), p.FooterBorderSize(), p.FooterCellBorderSize(),
                                  p.FooterCellOffset(), int(p.FilterCloseButtonSize().y),
                                  int(p.ChartViewNavigatorAddValueColumnButtonSize().x), p.TabBorderSize(false)};
    EXPECT_EQ(got, (std::vector<int>{1, 2, 1, 2, 0, 11, 9, 1, 7, 8, 1, 1, 2, 15, 12, 1}));
    EXPECT_TRUE(p.IsButtonHotTrack());
    EXPECT_FALSE(p.IsHeaderHotTrack());
    EXPECT_TRUE(p.DrawExpandButtonFirst());
    EXPECT_EQ(p.ButtonSymbolState(cxbsPressed), cxbsNormal);
    EXPECT_TRUE(p.FooterBorders() == (TcxBorders{bRight, bBottom}));
    EXPECT_EQ(p.ButtonFocusRect(nullptr, RECT{0, 0, 20, 10}).left, 3);
    EXPECT_EQ(p.ButtonFocusRect(nullptr, RECT{0, 0, 6, 6}).left, 0) << "too small to inset";
    EXPECT_EQ(cxLookAndFeelPainterOfStyle(lfsUltraFlat), TcxUltraFlatLookAndFeelPainter::Class());
}

TEST_F(UltraFlatPainter, ButtonColoursAndFramesByState)
{
    struct Row {
        TcxButtonState state;
        const char* rings; // frame rings, then the face
        char symbol;
    };
    const Row rows[] = {{cxbsNormal, "TF", 'T'}, {cxbsHot, "Il", 'T'}, {cxbsPressed, "Id", 'X'},
                        {cxbsDisabled, "SF", 'S'}, {cxbsDefault, "RRF", 'T'}};
    const RECT r{1, 1, 21, 15};
    for (const Row& row : rows) {
        Surface s(22, 16);
        UltraFlat().DrawButton(&s.Canvas(), r, "", row.state);
        std::string got;
        for (int k = 0; row.rings[k]; ++k) got += Ring(s, r, k)[0];
        EXPECT_EQ(got, row.rings) << row.state;
        EXPECT_EQ(Ring(s, r, 0), std::string(4, row.rings[0])) << row.state;
        EXPECT_EQ(Name(ColorToRGB(UltraFlat().ButtonSymbolColor(row.state))), row.symbol) << row.state;
    }
}

TEST_F(UltraFlatPainter, ButtonGroups)
{
    struct Sizes {
        int count, index;
        RECT sizes;
    };
    for (const Sizes& c : {Sizes{1, 0, {2, 2, 1, 2}}, Sizes{3, 0, {2, 2, 1, 2}}, Sizes{3, 1, {1, 2, 1, 2}},
                           Sizes{3, 2, {1, 2, 2, 2}}}) {
        const RECT got = UltraFlat().ButtonGroupBorderSizes(c.count, c.index);
        EXPECT_EQ((std::vector<LONG>{got.left, got.top, got.right, got.bottom}),
                  (std::vector<LONG>{c.sizes.left, c.sizes.top, c.sizes.right, c.sizes.bottom}))
            << c.count << " " << c.index;
    }
    // A middle button: normal framed in the background colour, hot with
    // highlight columns at both shared edges; rows 0 and 9 stay as they were.
    struct Row {
        TcxButtonState state;
        const char* row5;
    };
    for (const Row& row : {Row{cxbsNormal, "rFFFFFFr"}, Row{cxbsHot, "IllllllI"}}) {
        Surface s(8, 10);
        UltraFlat().DrawButtonInGroup(&s.Canvas(), RECT{0, 0, 8, 10}, row.state, 3, 1, clRed);
        std::string got;
        for (int x = 0; x < 8; ++x) got += Name(s.At(x, 5));
        EXPECT_EQ(got, row.row5) << row.state;
        EXPECT_EQ(Name(s.At(3, 0)), '.');
        EXPECT_EQ(Name(s.At(3, 9)), '.');
    }
    Surface s(10, 10);
    UltraFlat().DrawButtonGroupBorder(&s.Canvas(), RECT{0, 0, 10, 10}, false, true);
    EXPECT_EQ(Ring(s, RECT{0, 0, 10, 10}, 0), "IIII");
}

TEST_F(UltraFlatPainter, HeadersLeaveTheLineNextToANeighbourAndHonourTheBackgroundEvent)
{
    struct Row {
        TcxNeighbors neighbors;
        const char* ring; // left, top, right, bottom
    };
    const RECT r{0, 0, 30, 16};
    for (const Row& row : {Row{{}, "TTTT"}, Row{{nLeft}, "FTTT"}, Row{{nLeft, nTop}, "FFTT"}, Row{{nRight}, "TTTT"}}) {
        Surface s(30, 16);
        UltraFlat().DrawHeader(&s.Canvas(), r, r, row.neighbors, UltraFlat().HeaderBorders(row.neighbors), cxbsNormal,
                               taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText, clBtnFace);
        EXPECT_EQ(Ring(s, r, 0), row.ring);
    }
    bool asked = false;
    const auto keep = TcxDrawBackgroundEvent::FromFunction([&](TcxCanvas*, const RECT&, bool& done) {
        asked = true;
        done = true;
    });
    Surface s(30, 16);
    UltraFlat().DrawHeader(&s.Canvas(), r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaCenter, false, false, "",
                           nullptr, clBtnText, clBtnFace, keep);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Name(s.At(15, 8)), '.') << "the handler painted the background";
    // DrawHeaderEx: the content over all of it, the border one pixel in.
    Surface ex(30, 16);
    UltraFlat().DrawHeaderEx(&ex.Canvas(), r, r, {}, cxBordersAll, cxbsNormal, taLeftJustify, vaCenter, false, false,
                             "", nullptr, clBtnText, clBtnFace);
    EXPECT_EQ(Ring(ex, r, 0), "FFFF");
    EXPECT_EQ(Ring(ex, r, 1), "TTTT");
}

TEST_F(UltraFlatPainter, FootersFilterButtonsAndExpandButtons)
{
    const RECT r{0, 0, 15, 14};
    Surface footer(15, 14), cell(15, 14);
    UltraFlat().DrawFooterBorder(&footer.Canvas(), r);
    UltraFlat().DrawFooterCellBorder(&cell.Canvas(), r);
    EXPECT_EQ(Ring(footer, r, 0), "..SS");
    EXPECT_EQ(Ring(cell, r, 0), "SSSS");
    struct Row {
        TcxButtonState state;
        bool active;
        const char* frameFaceArrow;
    };
    for (const Row& row : {Row{cxbsNormal, false, "SFT"}, Row{cxbsHot, false, "IlT"}, Row{cxbsNormal, true, "SFb"}}) {
        Surface s(15, 14);
        UltraFlat().DrawFilterDropDownButton(&s.Canvas(), r, row.state, row.active);
        const std::string got = {Ring(s, r, 0)[0], Ring(s, r, 1)[0], Name(s.At(7, 7))};
        EXPECT_EQ(got, row.frameFaceArrow) << row.state << row.active;
    }
    Surface expand(13, 13);
    UltraFlat().DrawExpandButton(&expand.Canvas(), RECT{1, 1, 12, 12}, false);
    const auto button = expand.Pixels();
    expand.Canvas().SetBrushColor(clRed);
    expand.Canvas().FillRect(RECT{0, 0, 13, 13});
    EXPECT_EQ(expand.Pixels(), [&] {
        auto want = button;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                if (x == 0 || y == 0 || x == 12 || y == 12) want[static_cast<std::size_t>(y) * 13 + x] = RGB(255, 0, 0);
        return want;
    }()) << "the button is clipped out, the rest is not";
    EXPECT_EQ(std::string({Name(button[1 * 13 + 6]), Name(button[2 * 13 + 2]), Name(button[6 * 13 + 6])}), "SFT");
}

TEST_F(UltraFlatPainter, ScrollBarPartsTrackTheHotState)
{
    auto draw = [](TcxScrollBarPart part, TcxButtonState state) {
        Surface s(16, 16);
        UltraFlat().DrawScrollBarPart(&s.Canvas(), false, RECT{0, 0, 16, 16}, part, state);
        return s;
    };
    for (TcxScrollBarPart part : {sbpLineUp, sbpThumbnail}) {
        Surface normal = draw(part, cxbsNormal), hot = draw(part, cxbsHot);
        EXPECT_EQ(Ring(normal, RECT{0, 0, 16, 16}, 0), "TTTT") << part;
        EXPECT_EQ(Ring(hot, RECT{0, 0, 16, 16}, 0), "IIII") << part;
        EXPECT_EQ(Name(hot.At(2, 2)), 'l') << part;
    }
    Surface up = draw(sbpLineUp, cxbsNormal);
    EXPECT_EQ(Name(up.At(7, 7)), 'T') << "the arrow over the whole part";
    Surface disabled = draw(sbpThumbnail, cxbsDisabled);
    EXPECT_EQ(disabled.Ink().right, 0) << "a disabled thumb draws nothing";
    Surface track = draw(sbpPageUp, cxbsNormal);
    EXPECT_EQ(std::string({Name(track.At(0, 0)), Name(track.At(1, 0))}), "FH");
}

TEST_F(UltraFlatPainter, TabsSectionsAndSplittersLightly)
{
    // A horizontal tab's right side is dark and one pixel short at the
    // bottom; its other sides take the highlight colour.
    Surface right(3, 6), top(6, 3);
    UltraFlat().DrawTabBorder(&right.Canvas(), RECT{1, 0, 2, 6}, bRight, cxBordersAll, false);
    UltraFlat().DrawTabBorder(&top.Canvas(), RECT{0, 1, 6, 2}, bTop, cxBordersAll, false);
    EXPECT_EQ(std::string({Name(right.At(1, 0)), Name(right.At(1, 4)), Name(right.At(1, 5))}), "TT.");
    EXPECT_EQ(Name(top.At(0, 1)), 'S');
    // Header control sections: black frames, tinted faces when hot.
    Surface section(20, 12);
    UltraFlat().DrawHeaderControlSection(&section.Canvas(), RECT{0, 0, 20, 12}, RECT{2, 2, 18, 10}, {}, cxBordersAll,
                                         cxbsHot, taLeftJustify, vaCenter, false, false, "", nullptr, clBtnText, clRed);
    EXPECT_EQ(section.At(0, 6), RGB(0, 0, 0));
    EXPECT_EQ(Name(section.At(10, 6)), 'l');
    // The splitter: two lines in the scheduler's border colour, then the view's colour.
    TcxViewParams params{};
    params.Color = clRed;
    Surface splitter(6, 4);
    UltraFlat().DrawSchedulerSplitterBorder(&splitter.Canvas(), RECT{1, 0, 5, 4}, params, true);
    EXPECT_EQ(std::string({Name(splitter.At(2, 0)), Name(splitter.At(0, 1)), Name(splitter.At(2, 3))}), "SrS");
}

}  // namespace
