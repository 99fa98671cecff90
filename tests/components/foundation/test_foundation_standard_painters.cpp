// The standard and flat painters: metrics, bevels and frames read ring by
// ring, header corners, buttons, scroll-bar parts and the expand button's
// clipping, under the distinct palette (each system colour its own value).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "tests/components/foundation/foundation_canvas.h"
#include "platform/windows/loop.h"

using namespace hostlib;
using foundationtest::Distinct;
using foundationtest::Surface;

namespace {

const TcxCustomLookAndFeelPainter& Custom() { return *TcxCustomLookAndFeelPainter::Class(); }
const TcxCustomLookAndFeelPainter& Standard() { return *TcxStandardLookAndFeelPainter::Class(); }
const TcxCustomLookAndFeelPainter& Flat() { return *TcxFlatLookAndFeelPainter::Class(); }

class StandardPainters : public ::testing::Test {
protected:
    void SetUp() override
    {
        quelvo::gfx::test::SetDistinctSysColors();
        cxStandardLookAndFeelPaintersInitialize();
    }
    void TearDown() override
    {
        cxStandardLookAndFeelPaintersFinalize();
        quelvo::gfx::ResetSysColors();
        quelvo::win::ResetWindowManager();
    }
};

// Capitals: system colours; '#' black, '.' white, 'b' blue, 'r' red.
const std::map<COLORREF, char>& Legend()
{
    static const std::map<COLORREF, char> legend = {
        {Distinct(COLOR_WINDOW), 'W'},      {Distinct(COLOR_BTNFACE), 'F'},   {Distinct(COLOR_BTNSHADOW), 'S'},
        {Distinct(COLOR_BTNHIGHLIGHT), 'H'}, {Distinct(COLOR_3DLIGHT), 'L'},  {Distinct(COLOR_3DDKSHADOW), 'D'},
        {Distinct(COLOR_BTNTEXT), 'T'},     {Distinct(COLOR_WINDOWTEXT), 'X'}, {RGB(0, 0, 0), '#'},
        {RGB(255, 255, 255), '.'},          {RGB(0, 0, 255), 'b'},            {RGB(255, 0, 0), 'r'}};
    return legend;
}

char Name(COLORREF c)
{
    auto it = Legend().find(c);
    return it == Legend().end() ? '?' : it->second;
}

// Ring k of r (k pixels inside it): the middle of its left, top, right and
// bottom sides, then its top-right and bottom-left corners.
std::string Ring(Surface& s, const RECT& r, int k)
{
    const RECT q{r.left + k, r.top + k, r.right - k - 1, r.bottom - k - 1};
    const int mx = (q.left + q.right) / 2, my = (q.top + q.bottom) / 2;
    return {Name(s.At(q.left, my)), Name(s.At(mx, q.top)), Name(s.At(q.right, my)),
            Name(s.At(mx, q.bottom)), Name(s.At(q.right, q.top)), Name(s.At(q.left, q.bottom))};
}

std::vector<std::string> Rings(Surface& s, const RECT& r, int count)
{
    std::vector<std::string> rings;
    for (int k = 0; k < count; ++k) rings.push_back(Ring(s, r, k));
    return rings;
}

TEST_F(StandardPainters, MetricsOfTheCustomStandardAndFlatPainters)
{
    struct Row {
        const char* name;
        std::function<int(const TcxCustomLookAndFeelPainter&)> get;
        int custom, standard, flat;
    };
    const Row rows[] = {
        {"LookAndFeelStyle", [](auto& p) { return int(p.LookAndFeelStyle()); }, lfsStandard, lfsStandard, lfsFlat},
        {"BorderSize", [](auto& p) { return p.BorderSize(); }, 0, 2, 1},
        {"ButtonBorderSize default", [](auto& p) { return p.ButtonBorderSize(cxbsDefault); }, 0, 3, 2},
        {"ButtonBorderSize pressed", [](auto& p) { return p.ButtonBorderSize(cxbsPressed); }, 0, 2, 1},
        {"ButtonTextOffset", [](auto& p) { return p.ButtonTextOffset(); }, 0, 1, 1},
        {"ButtonTextShift", [](auto& p) { return p.ButtonTextShift(); }, 0, 1, 1},
        {"ExpandButtonSize", [](auto& p) { return p.ExpandButtonSize(); }, 0, 12, 11},
        {"IsButtonHotTrack", [](auto& p) { return int(p.IsButtonHotTrack()); }, 0, 0, 0},
        {"HeaderBorderSize", [](auto& p) { return p.HeaderBorderSize(); }, 0, 1, 1},
        {"HeaderControlSectionBorderSize pressed", [](auto& p) { return p.HeaderControlSectionBorderSize(cxbsPressed); }, 1, 1, 1},
        {"HeaderControlSectionBorderSize hot", [](auto& p) { return p.HeaderControlSectionBorderSize(cxbsHot); }, 1, 2, 1},
        {"SortingMarkSize x", [](auto& p) { return int(p.SortingMarkSize().x); }, 0, 8, 8},
        {"SortingMarkSize y", [](auto& p) { return int(p.SortingMarkSize().y); }, 0, 7, 7},
        {"FooterBorderSize", [](auto& p) { return p.FooterBorderSize(); }, 0, 1, 1},
        {"FooterCellBorderSize", [](auto& p) { return p.FooterCellBorderSize(); }, 0, 1, 1},
        {"FooterCellOffset", [](auto& p) { return p.FooterCellOffset(); }, 0, 1, 1},
        {"TabBorderSize", [](auto& p) { return p.TabBorderSize(false); }, 0, 1, 1},
        {"DefaultSchedulerViewContentColor", [](auto& p) { return int(p.DefaultSchedulerViewContentColor()); },
         0xD5FFFF, int(clWindow), 0xD5FFFF},
        {"HeaderHeight(13)", [](auto& p) { return p.HeaderHeight(13); }, 17, 19, 19},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.get(Custom()), row.custom) << row.name;
        EXPECT_EQ(row.get(Standard()), row.standard) << row.name;
        EXPECT_EQ(row.get(Flat()), row.flat) << row.name;
    }
    EXPECT_EQ(cxLookAndFeelPainterOfStyle(lfsStandard), TcxStandardLookAndFeelPainter::Class());
    EXPECT_EQ(cxLookAndFeelPainterOfStyle(lfsFlat), TcxFlatLookAndFeelPainter::Class());
}

// One row per painter, operation and state: the rings from the outside in.
TEST_F(StandardPainters, BordersAndButtonsRingByRing)
{
    using Draw = std::function<void(const TcxCustomLookAndFeelPainter&, TcxCanvas*, const RECT&)>;
    auto border = [](TcxButtonState st) -> Draw {
        return [st](auto& p, TcxCanvas* c, const RECT& r) { p.DrawButtonBorder(c, r, st); };
    };
    auto button = [](TcxButtonState st) -> Draw {
        return [st](auto& p, TcxCanvas* c, const RECT& r) { p.DrawButton(c, r, "", st, true, clRed); };
    };
    auto check = [](TcxButtonState st) -> Draw {
        return [st](auto& p, TcxCanvas* c, const RECT& r) { p.DrawCheckBorder(c, r, st); };
    };
    const Draw drawBorder = [](auto& p, TcxCanvas* c, const RECT& r) { p.DrawBorder(c, r); };
    const Draw footer = [](auto& p, TcxCanvas* c, const RECT& r) { p.DrawFooterBorder(c, r); };
    const Draw footerCell = [](auto& p, TcxCanvas* c, const RECT& r) { p.DrawFooterCellBorder(c, r); };
    const Draw tabsRoot = [](auto& p, TcxCanvas* c, const RECT& r) { p.DrawTabsRoot(c, r, cxBordersAll, false); };
    struct Row {
        const char* name;
        const TcxCustomLookAndFeelPainter& painter;
        Draw draw;
        std::vector<std::string> rings;
    };
    const Row rows[] = {
        {"standard border", Standard(), drawBorder, {"SSHHHH", "DDLLLL", "......"}},
        {"flat border", Flat(), drawBorder, {"SSHHHH", "......"}},
        {"standard default", Standard(), border(cxbsDefault), {"######", "HHDDDD", "LLSSSS", "......"}},
        {"standard pressed", Standard(), border(cxbsPressed), {"######", "SSSSSS", "......"}},
        {"standard normal", Standard(), border(cxbsNormal), {"HHDDDD", "LLSSSS", "......"}},
        {"standard hot", Standard(), border(cxbsHot), {"HHDDDD", "LLSSSS", "......"}},
        {"flat default", Flat(), border(cxbsDefault), {"######", "HHSSSS", "......"}},
        {"flat pressed", Flat(), border(cxbsPressed), {"SSHHHH", "......"}},
        {"flat disabled", Flat(), border(cxbsDisabled), {"HHSSSS", "......"}},
        // The face starts where the border ends: 3, 2, 2 and 1 pixels in.
        {"standard default button", Standard(), button(cxbsDefault), {"######", "HHDDDD", "LLSSSS", "rrrrrr"}},
        {"standard normal button", Standard(), button(cxbsNormal), {"HHDDDD", "LLSSSS", "rrrrrr"}},
        {"flat default button", Flat(), button(cxbsDefault), {"######", "HHSSSS", "rrrrrr"}},
        {"flat normal button", Flat(), button(cxbsNormal), {"HHSSSS", "rrrrrr"}},
        {"standard check", Standard(), check(cxbsNormal), {"DDLLLL", "SSHHHH", "......"}},
        {"flat check", Flat(), check(cxbsNormal), {"SSHHHH", "WWWWWW", "......"}},
        {"flat pressed check", Flat(), check(cxbsPressed), {"SSHHHH", "FFFFFF", "......"}},
        {"standard footer", Standard(), footer, {"HHSSSS", "......"}},
        {"flat footer cell", Flat(), footerCell, {"SSHHHH", "......"}},
        {"standard tabs root", Standard(), tabsRoot, {"HHSSSS", "......"}},
    };
    const RECT r{2, 2, 20, 16};
    for (const Row& row : rows) {
        Surface s(22, 18);
        row.draw(row.painter, &s.Canvas(), r);
        EXPECT_EQ(Rings(s, r, static_cast<int>(row.rings.size())), row.rings) << row.name;
    }
}

TEST_F(StandardPainters, HeaderCornersSoftenTowardsNeighbours)
{
    // Pixels at (left, top + 1), (left, bottom - 2), (right - 1, top),
    // (right - 1, top + 1) and (right - 1, bottom - 2).
    struct Row {
        TcxNeighbors neighbors;
        const char* corners;
    };
    const Row rows[] = {{{}, "HHSSS"}, {{nLeft}, "FFSSS"}, {{nRight}, "HHHFF"}, {{nLeft, nRight}, "FFHFF"}};
    const RECT r{1, 1, 21, 15};
    for (const auto* painter : {&Standard(), &Flat()})
        for (const Row& row : rows) {
            Surface s(22, 16);
            painter->DrawHeaderBorder(&s.Canvas(), r, row.neighbors, cxBordersAll);
            const std::string got = {Name(s.At(r.left, r.top + 1)), Name(s.At(r.left, r.bottom - 2)),
                                     Name(s.At(r.right - 1, r.top)), Name(s.At(r.right - 1, r.top + 1)),
                                     Name(s.At(r.right - 1, r.bottom - 2))};
            EXPECT_EQ(got, row.corners) << painter->ClassName() << " " << row.corners;
            EXPECT_EQ(Ring(s, r, 0).substr(0, 4), "HHSS");
        }
}

TEST_F(StandardPainters, FilterDropDownButtonIsABevelWithABlueArrowWhenActive)
{
    struct Row {
        TcxButtonState state;
        bool active;
        const char* ring0;
        char arrow;
    };
    const Row rows[] = {{cxbsNormal, false, "HHSSSS", 'T'}, {cxbsPressed, false, "SSHHHH", 'T'},
                        {cxbsNormal, true, "HHSSSS", 'b'}};
    const RECT r{0, 0, 15, 14};
    for (const auto* painter : {&Standard(), &Flat()})
        for (const Row& row : rows) {
            Surface s(15, 14);
            painter->DrawFilterDropDownButton(&s.Canvas(), r, row.state, row.active);
            EXPECT_EQ(Ring(s, r, 0), row.ring0) << painter->ClassName();
            EXPECT_EQ(Ring(s, r, 1), "FFFFFF") << painter->ClassName();
            EXPECT_EQ(Name(s.At(7, 7)), row.arrow) << painter->ClassName();
        }
}

TEST_F(StandardPainters, StandardMonthHeaderBetweenNeighboursIsFramedOnTopAndBottomOnly)
{
    // The black frame's sides: left, top, right, bottom.
    struct Row {
        TcxNeighbors neighbors;
        const char* black;
    };
    const Row rows[] = {{{}, "LTRB"}, {{nRight}, "LTB"}, {{nLeft}, "TRB"}, {{nLeft, nRight}, "TB"}};
    const RECT r{0, 0, 40, 20};
    TcxViewParams params{};
    params.Color = clBtnFace;
    params.TextColor = clBtnText;
    for (const Row& row : rows) {
        Surface s(40, 20);
        Standard().DrawMonthHeader(&s.Canvas(), r, "", row.neighbors, params, haNone, 0);
        std::string black;
        if (s.At(0, 10) == 0) black += 'L';
        if (s.At(20, 0) == 0) black += 'T';
        if (s.At(39, 10) == 0) black += 'R';
        if (s.At(20, 19) == 0) black += 'B';
        EXPECT_EQ(black, row.black);
    }
}

std::vector<COLORREF> PartPixels(const TcxCustomLookAndFeelPainter& painter, TcxScrollBarPart part,
                                 TcxButtonState state, bool horizontal = false)
{
    Surface s(16, 16);
    painter.DrawScrollBarPart(&s.Canvas(), horizontal, RECT{0, 0, 16, 16}, part, state);
    return s.Pixels();
}

TEST_F(StandardPainters, ScrollBarPartsHotAsNormalDisabledThumbNothing)
{
    const std::vector<COLORREF> white(16 * 16, RGB(255, 255, 255));
    for (const auto* painter : {&Standard(), &Flat()}) {
        for (TcxScrollBarPart part : {sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp})
            EXPECT_EQ(PartPixels(*painter, part, cxbsHot), PartPixels(*painter, part, cxbsNormal))
                << painter->ClassName() << " part " << part;
        EXPECT_EQ(PartPixels(*painter, sbpThumbnail, cxbsDisabled), white) << painter->ClassName();
        EXPECT_NE(PartPixels(*painter, sbpLineUp, cxbsDisabled), white) << painter->ClassName();
        Surface s(16, 16);
        painter->DrawScrollBarPart(&s.Canvas(), false, RECT{4, 4, 4, 20}, sbpLineUp, cxbsNormal);
        EXPECT_EQ(s.Pixels(), white) << "an empty rectangle draws nothing";
    }
    // Standard line buttons: the system's arrow and a two-pixel frame.
    Surface normal(16, 16), pressed(16, 16);
    Standard().DrawScrollBarPart(&normal.Canvas(), false, RECT{0, 0, 16, 16}, sbpLineDown, cxbsNormal);
    Standard().DrawScrollBarPart(&pressed.Canvas(), false, RECT{0, 0, 16, 16}, sbpLineDown, cxbsPressed);
    EXPECT_EQ(Rings(normal, RECT{0, 0, 16, 16}, 2), (std::vector<std::string>{"FFDDDD", "HHSSSS"}));
    EXPECT_EQ(Rings(pressed, RECT{0, 0, 16, 16}, 2), (std::vector<std::string>{"SSSSSS", "FFFFFF"}));
    Surface thumb(16, 16);
    Standard().DrawScrollBarPart(&thumb.Canvas(), false, RECT{0, 0, 16, 16}, sbpThumbnail, cxbsPressed);
    EXPECT_EQ(Rings(thumb, RECT{0, 0, 16, 16}, 3), (std::vector<std::string>{"FFDDDD", "HHSSSS", "FFFFFF"}))
        << "the thumb is never drawn pressed";
}

TEST_F(StandardPainters, TrackPatternAlternatesOnTheCanvasGrid)
{
    // The pattern keeps its phase to the canvas, wherever the part starts.
    for (const auto* painter : {&Standard(), &Flat()})
        for (bool pressed : {false, true}) {
            Surface s(20, 20);
            painter->DrawScrollBarPart(&s.Canvas(), true, RECT{3, 2, 17, 19}, sbpPageDown,
                                       pressed ? cxbsPressed : cxbsNormal);
            const char even = pressed ? '#' : 'F', odd = pressed ? 'D' : 'H';
            for (auto [x, y] : {std::pair{3, 2}, {4, 2}, {3, 3}, {10, 10}, {16, 18}, {15, 18}})
                EXPECT_EQ(Name(s.At(x, y)), (x + y) % 2 ? odd : even) << painter->ClassName() << " " << x << "," << y;
            EXPECT_EQ(Name(s.At(2, 2)), '.');
            EXPECT_EQ(Name(s.At(17, 18)), '.');
            EXPECT_EQ(s.Canvas().Brush()->Bitmap(), nullptr) << "the brush is solid again";
        }
}

TEST_F(StandardPainters, ExpandButtonsLeaveTheirRectangleClippedOut)
{
    const RECT r{4, 4, 16, 16};
    for (const auto* painter : {&Standard(), &Flat()}) {
        Surface s(20, 20);
        painter->DrawExpandButton(&s.Canvas(), r, false);
        const auto button = s.Pixels();
        s.Canvas().SetBrushColor(clRed);
        s.Canvas().FillRect(RECT{0, 0, 20, 20});
        EXPECT_EQ(s.Pixels()[10 * 20 + 10], button[10 * 20 + 10]) << painter->ClassName() << ": a tree line stops";
        EXPECT_EQ(Name(s.At(2, 10)), 'r') << painter->ClassName();
        EXPECT_EQ(Name(button[10 * 20 + 10]), 'T') << painter->ClassName() << ": the cross";
    }
    Surface s(20, 20);
    Standard().DrawExpandButton(&s.Canvas(), r, true);
    EXPECT_EQ(Rings(s, r, 3), (std::vector<std::string>{"HHDDDD", "FFSSSS", "FFFFFF"}));
}

TEST_F(StandardPainters, StandardGroupExpandButtonLooksFlat)
{
    for (bool expanded : {false, true}) {
        Surface standard(20, 20), flat(20, 20);
        Standard().DrawGroupExpandButton(&standard.Canvas(), RECT{2, 2, 17, 17}, expanded, cxbsHot);
        Flat().DrawGroupExpandButton(&flat.Canvas(), RECT{2, 2, 17, 17}, expanded, cxbsHot);
        EXPECT_EQ(standard.Pixels(), flat.Pixels());
        EXPECT_EQ(Ring(flat, RECT{2, 2, 17, 17}, 0), "HHSSSS");
    }
}

TEST_F(StandardPainters, CrossHairMovesWhenPressedAndLosesItsLastColumnAndRow)
{
    for (TcxButtonState state : {cxbsNormal, cxbsPressed}) {
        Surface ours(16, 16), custom(16, 16);
        Flat().DrawChartViewNavigatorAddValueColumnButtonCrossHire(&ours.Canvas(), RECT{0, 0, 13, 13}, state);
        const int shift = state == cxbsPressed ? 1 : 0;
        Custom().DrawChartViewNavigatorAddValueColumnButtonCrossHire(
            &custom.Canvas(), RECT{shift, shift, 12 + shift, 12 + shift}, state);
        EXPECT_EQ(ours.Pixels(), custom.Pixels()) << state;
    }
}

TEST_F(StandardPainters, TabSidesAndSplitters)
{
    // A horizontal tab's top side loses a pixel at each end and lights the
    // pixels beside its ends one row down; its right side is dark.
    Surface top(12, 4);
    Standard().DrawTabBorder(&top.Canvas(), RECT{2, 0, 10, 1}, bTop, cxBordersAll, false);
    EXPECT_EQ(top.Art(Legend()), "\n...HHHHHH...\n..H......H..\n............\n............\n");
    Surface right(3, 10);
    Flat().DrawTabBorder(&right.Canvas(), RECT{1, 0, 2, 10}, bRight, cxBordersAll, false);
    EXPECT_EQ(right.Art(Legend()), "\n...\n...\n.S.\n.S.\n.S.\n.S.\n.S.\n.S.\n.S.\n...\n");
    // Splitters: the line pairs, then the view parameters' colour.
    TcxViewParams params{};
    params.Color = clRed;
    Surface standard(6, 6), flat(6, 6);
    Standard().DrawSchedulerSplitterBorder(&standard.Canvas(), RECT{1, 0, 5, 6}, params, true);
    Flat().DrawSchedulerSplitterBorder(&flat.Canvas(), RECT{1, 0, 5, 6}, params, true);
    EXPECT_EQ(standard.Art(Legend()), "\n.FFFF.\nHHHHHH\nrrrrrr\nrrrrrr\nSSSSSS\n.DDDD.\n");
    EXPECT_EQ(flat.Art(Legend()), "\n.HHHH.\nrrrrrr\nrrrrrr\nrrrrrr\nrrrrrr\n.SSSS.\n");
}

}  // namespace
