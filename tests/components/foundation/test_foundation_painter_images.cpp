// The painters' shared images: indicator glyphs, track patterns and the
// radio images in every kind, state and colour.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/dxOffice11.h"
#include "tests/components/foundation/foundation_canvas.h"
#include "platform/windows/loop.h"

extern "C" void __lsan_disable() __attribute__((weak));

using namespace hostlib;
using foundationtest::Distinct;
using foundationtest::Surface;

namespace {

class PainterImages : public ::testing::Test {
protected:
    void SetUp() override
    {
        quelvo::gfx::test::SetDistinctSysColors();
        cxLookAndFeelPainterImagesInitialize();
    }
    void TearDown() override
    {
        cxLookAndFeelPainterImagesFinalize();
        quelvo::gfx::ResetSysColors();
        quelvo::win::ResetWindowManager();
    }
    static TcxRadioButtonImageList& Radios() { return *cxRadioButtonImageList(); }
};

std::string PatternText(const TcxRadioPattern& pattern)
{
    std::string s = "\n";
    for (const auto& row : pattern) {
        for (std::uint8_t code : row) s += code == rpcOutside ? '.' : char('0' + code);
        s += '\n';
    }
    return s;
}

TEST_F(PainterImages, MapIndexesRunOverAllCombinations)
{
    EXPECT_EQ(TcxRadioButtonImageList::MapIndex(lfFlat, cxbsNormal, false, false, false), 0);
    EXPECT_EQ(TcxRadioButtonImageList::MapIndex(lfOffice11, cxbsDisabled, true, true, true), 127);
    EXPECT_EQ(TcxRadioButtonImageList::MapIndex(lfStandard, cxbsDefault, true, false, false),
              TcxRadioButtonImageList::MapIndex(lfStandard, cxbsNormal, true, false, false))
        << "a default button's radio is the normal one, not another combination's";
    Surface s(12, 12);
    Radios().Draw(&s.Canvas(), 0, 0, clDefault, lfFlat, cxbsNormal, false, false, false);
    EXPECT_EQ(Radios().Count(), TcxRadioButtonImageList::kImageCount);
    EXPECT_EQ(Radios().ImageIndex(lfOffice11, cxbsDisabled, true, true, true), 127);
}

TEST_F(PainterImages, TheSystemRadioIsMeasuredAlikeUnderEveryPalette)
{
    // The pattern: outer ring 1 / 2, inner ring 3 / 4, interior 5, dot 6.
    const std::string expected = R"(
...111111...
..13333331..
.1355555542.
135555555542
135566665542
135566665542
135566665542
135566665542
135555555542
.1355555542.
..24444442..
...222222...
)";
    for (bool classic : {false, true}) {
        if (classic) quelvo::gfx::ResetSysColors();
        ObjectPtr<TcxRadioButtonImageList> list(CreateObject<TcxRadioButtonImageList>());
        const TcxRadioButtonMeasurements& m = list->Measurements();
        EXPECT_EQ((std::vector<int>{m.width, m.height, m.left, m.top}), (std::vector<int>{12, 12, 0, 0})) << classic;
        EXPECT_EQ((std::vector<LONG>{m.dot.left, m.dot.top, m.dot.right, m.dot.bottom}),
                  (std::vector<LONG>{4, 4, 8, 8}))
            << classic;
        EXPECT_EQ(PatternText(list->Pattern()), expected) << classic;
    }
}

// One row per kind, state and checked: the colours of codes 1 to 6 through
// the legend below (capitals: system colours).
TEST_F(PainterImages, EveryCombinationHasItsColours)
{
    // Under this palette the Office 2003 colours come from the system
    // colours, so some of them coincide with those.
    const std::map<char, TColor> legend = {
        {'W', clWindow}, {'F', clBtnFace}, {'S', clBtnShadow}, {'H', clBtnHighlight}, {'L', cl3DLight},
        {'D', cl3DDkShadow}, {'T', clBtnText}, {'I', clHighlight}, {'l', GetLightSelColor()},
        {'d', GetLightDownedSelColor()}, {'g', dxOffice11TextDisabledColor}, {'b', dxOffice11SelectedBorderColor},
        {'o', dxOffice11SelectedColor1}, {'p', dxOffice11SelectedDownColor1}};
    struct Row {
        TcxLookAndFeelKind kind;
        TcxButtonState state;
        bool checked, focused, designing;
        const char* colors;
    };
    const Row rows[] = {
        {lfFlat, cxbsNormal, false, false, false, "SHLLWW"},     {lfFlat, cxbsNormal, true, false, false, "SHLLWT"},
        {lfFlat, cxbsHot, false, false, false, "SHLLWW"},        {lfFlat, cxbsHot, true, false, false, "SHLLWT"},
        {lfFlat, cxbsPressed, false, false, false, "SHLLFF"},    {lfFlat, cxbsPressed, true, false, false, "SHLLFT"},
        {lfFlat, cxbsDisabled, false, false, false, "SHLLFF"},   {lfFlat, cxbsDisabled, true, false, false, "SHLLFS"},
        {lfStandard, cxbsNormal, false, false, false, "SHDLWW"}, {lfStandard, cxbsNormal, true, false, false, "SHDLWT"},
        {lfStandard, cxbsHot, false, false, false, "SHDLWW"},    {lfStandard, cxbsHot, true, false, false, "SHDLWT"},
        {lfStandard, cxbsPressed, false, false, false, "SHDLFF"}, {lfStandard, cxbsPressed, true, false, false, "SHDLFT"},
        {lfStandard, cxbsDisabled, false, false, false, "SHDLFF"}, {lfStandard, cxbsDisabled, true, false, false, "SHDLFS"},
        {lfStandard, cxbsDefault, true, false, false, "SHDLWT"},
        {lfUltraFlat, cxbsNormal, false, false, false, "SSWWWW"}, {lfUltraFlat, cxbsNormal, true, false, false, "SSWWWT"},
        {lfUltraFlat, cxbsHot, false, false, false, "IIllll"},   {lfUltraFlat, cxbsHot, true, false, false, "IIlllT"},
        {lfUltraFlat, cxbsPressed, false, false, false, "IIdddd"}, {lfUltraFlat, cxbsPressed, true, false, false, "IIdddT"},
        {lfUltraFlat, cxbsDisabled, false, false, false, "SSFFFF"}, {lfUltraFlat, cxbsDisabled, true, false, false, "SSFFFS"},
        {lfUltraFlat, cxbsNormal, false, true, false, "IIWWWW"}, {lfUltraFlat, cxbsNormal, false, false, true, "IIWWWW"},
        {lfUltraFlat, cxbsDisabled, true, true, true, "SSFFFS"},
        {lfOffice11, cxbsNormal, false, false, false, "TTWWWW"}, {lfOffice11, cxbsNormal, true, false, false, "TTWWWT"},
        {lfOffice11, cxbsHot, false, false, false, "bboooo"},    {lfOffice11, cxbsHot, true, false, false, "bboooT"},
        {lfOffice11, cxbsPressed, false, false, false, "bbpppp"}, {lfOffice11, cxbsPressed, true, false, false, "bbpppT"},
        {lfOffice11, cxbsDisabled, false, false, false, "ggFFFF"}, {lfOffice11, cxbsDisabled, true, false, false, "ggFFFg"},
        {lfOffice11, cxbsNormal, false, false, true, "bbWWWW"},  {lfOffice11, cxbsDisabled, true, true, false, "ggFFFg"},
    };
    // Where each code first appears in the pattern.
    std::map<int, POINT> probes;
    const auto& pattern = Radios().Pattern();
    for (int y = static_cast<int>(pattern.size()) - 1; y >= 0; --y)
        for (int x = static_cast<int>(pattern[y].size()) - 1; x >= 0; --x) probes[pattern[y][x]] = POINT{x, y};
    ASSERT_EQ(probes.size(), 7u);
    for (const Row& row : rows) {
        Surface s(12, 12);
        Radios().Draw(&s.Canvas(), 0, 0, clDefault, row.kind, row.state, row.checked, row.focused, row.designing);
        std::string got;
        for (int code = rpcOuterUpperLeft; code <= rpcDot; ++code) {
            const char want = row.colors[code - 1];
            got += s.At(probes[code].x, probes[code].y) == ColorToRGB(legend.at(want)) ? want : '?';
        }
        EXPECT_EQ(got, row.colors) << "kind " << row.kind << " state " << row.state << " checked " << row.checked
                                   << " focused " << row.focused << " designing " << row.designing;
    }
}

TEST_F(PainterImages, CornersTakeTheBrushColourOrShowTheCanvas)
{
    for (TColor brush : {clDefault, clAqua}) {
        Surface s(14, 14);
        s.Canvas().SetBrushColor(clRed);
        s.Canvas().FillRect(RECT{0, 0, 14, 14});
        Radios().Draw(&s.Canvas(), 1, 1, brush, lfStandard, cxbsNormal, true, false, false);
        const COLORREF corner = brush == clDefault ? RGB(255, 0, 0) : ColorToRGB(clAqua);
        EXPECT_EQ(s.At(1, 1), corner) << "inside the image, outside the circle";
        EXPECT_EQ(s.At(12, 12), corner);
        EXPECT_EQ(s.At(0, 0), RGB(255, 0, 0)) << "beside the image";
        EXPECT_EQ(s.At(13, 6), RGB(255, 0, 0));
        EXPECT_EQ(s.At(7, 7), ColorToRGB(clBtnText)) << "the dot";
        EXPECT_EQ(s.At(4, 1), ColorToRGB(clBtnShadow)) << "the ring";
    }
}

TEST_F(PainterImages, ASystemColourChangeRemakesTheRadios)
{
    Surface before(12, 12);
    Radios().Draw(&before.Canvas(), 0, 0, clDefault, lfFlat, cxbsNormal, true, false, false);
    ASSERT_EQ(before.At(6, 6), Distinct(COLOR_BTNTEXT));
    INT index = COLOR_BTNTEXT;
    COLORREF green = RGB(0, 180, 0);
    SetSysColors(1, &index, &green);
    EXPECT_EQ(Radios().Count(), 0) << "emptied by the palette notifier";
    Surface after(12, 12);
    Radios().Draw(&after.Canvas(), 0, 0, clDefault, lfFlat, cxbsNormal, true, false, false);
    EXPECT_EQ(after.At(6, 6), green);
    EXPECT_EQ(Radios().Count(), TcxRadioButtonImageList::kImageCount);
}

TEST_F(PainterImages, TrackPatternsAlternateByParityAndFollowTheColours)
{
    auto pixel = [](bool pressed, int x, int y) {
        return ColorToRGB(cxScrollBarTrackBitmap(pressed)->Canvas()->Pixel(x, y));
    };
    struct Probe {
        int x, y;
        COLORREF normal, pressed;
    };
    const Probe probes[] = {{0, 0, Distinct(COLOR_BTNFACE), RGB(0, 0, 0)},
                            {1, 0, Distinct(COLOR_BTNHIGHLIGHT), Distinct(COLOR_3DDKSHADOW)},
                            {0, 1, Distinct(COLOR_BTNHIGHLIGHT), Distinct(COLOR_3DDKSHADOW)},
                            {7, 7, Distinct(COLOR_BTNFACE), RGB(0, 0, 0)},
                            {6, 7, Distinct(COLOR_BTNHIGHLIGHT), Distinct(COLOR_3DDKSHADOW)}};
    for (const Probe& p : probes) {
        EXPECT_EQ(pixel(false, p.x, p.y), p.normal) << p.x << "," << p.y;
        EXPECT_EQ(pixel(true, p.x, p.y), p.pressed) << p.x << "," << p.y;
    }
    quelvo::gfx::ResetSysColors();
    EXPECT_EQ(pixel(false, 0, 0), Distinct(COLOR_BTNFACE)) << "repainted only when asked";
    UpdateScrollBarBitmaps();
    EXPECT_EQ(pixel(false, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(true, 1, 0), GetSysColor(COLOR_3DDKSHADOW));
}

TEST_F(PainterImages, IndicatorGlyphsAreMaskedOnWhite)
{
    TImageList* list = cxIndicatorImages();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(list->Width(), 5);
    EXPECT_EQ(list->Height(), 9);
    // The fifth glyph, the multi-arrow: an arrow over a dot, white left out.
    Surface s(5, 9);
    s.Canvas().SetBrushColor(clRed);
    s.Canvas().FillRect(RECT{0, 0, 5, 9});
    s.Canvas().DrawImage(list, 0, 0, 4);
    EXPECT_EQ(s.Art({{RGB(255, 0, 0), '.'}, {RGB(0, 0, 0), '#'}}), R"(
#....
##...
###..
##...
#....
.....
.###.
.###.
.....
)");
    for (TBitmap* glyph : {cxAutoHideOnGlyph(), cxAutoHideOffGlyph()}) {
        EXPECT_EQ(glyph->Width(), 12);
        EXPECT_EQ(glyph->Height(), 12);
        EXPECT_TRUE(glyph->Transparent());
    }
}

}  // namespace

TEST(PainterImagesExit, AProgramEndingWithoutShutDownEndsCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // The child skips the shut-down step on purpose; only faults count.
            if (__lsan_disable) __lsan_disable();
            cxLookAndFeelPainterImagesInitialize();
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}
