// The progress bar's settings (defaults, range rules, the peak, texts,
// copying, registration) and its cells painted into off-screen bitmaps and
// read back column by column.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "platform/graphics/uxtheme.h"
#include "tests/components/editor-catalogue/progress_bar_cells.h"

using namespace hostlib;
using cataloguetest::ProgressBarCell;

namespace {

struct ProgressBarTest : cataloguetest::CatalogueTest {
    void SetUp() override
    {
        CatalogueTest::SetUp();
        cxProgressBarInitialize();
    }
    void TearDown() override
    {
        cxProgressBarFinalize();
        quelvo::gfx::SetThemeActive(false);
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        CatalogueTest::TearDown();
    }
    // Paints one cell of w x h onto a fresh bitmap.
    ObjectPtr<TBitmap> Paint(ProgressBarCell& cell, const Variant& value, int w, int h,
                             TcxCustomProgressBarViewInfo* info = nullptr)
    {
        ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
        b->SetPixelFormat(pf24bit);
        b->SetSize(w, h);
        TcxCanvas canvas(b->Canvas());
        ObjectPtr<TcxCustomProgressBarViewInfo> own;
        if (!info) own = cell.NewViewInfo(), info = own.get();
        cell.Paint(&canvas, info, RECT{0, 0, w, h}, value);
        return b;
    }
    static TColor At(TBitmap* b, int x, int y) { return b->Canvas()->Pixel(x, y); }
    // Columns [from, to) of row y all show the colour.
    static bool Run(TBitmap* b, int y, int from, int to, TColor color)
    {
        for (int x = from; x < to; ++x)
            if (At(b, x, y) != color) return false;
        return true;
    }
    int changes = 0;
    void Count(TcxCustomEditProperties* p)
    {
        p->ChangeNotification = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    }
};

// ---- settings ----------------------------------------------------------------------

TEST_F(ProgressBarTest, DefaultsAndEqualValuesChangeNothing)
{
    auto p = MakeObject<TcxProgressBarProperties>(nullptr);
    EXPECT_EQ(p->Min(), 0);
    EXPECT_EQ(p->Max(), 100);
    EXPECT_EQ(p->OverloadValue(), 80);
    EXPECT_EQ(p->PeakValue(), 0);
    EXPECT_EQ(p->PeakSize(), 2);
    EXPECT_TRUE(p->ShowText());
    EXPECT_TRUE(p->TransparentImage());
    EXPECT_EQ(p->BeginColor(), clNavy);
    EXPECT_EQ(p->EndColor(), clWhite);
    EXPECT_EQ(p->OverloadBeginColor(), 0x008080FF);
    EXPECT_EQ(p->OverloadEndColor(), clFuchsia);
    EXPECT_EQ(p->PeakColor(), clRed);
    Count(p.get());
    p->SetBeginColor(clNavy);
    p->SetBarStyle(cxbsSolid);
    p->SetPeakSize(2);
    p->SetMin(0);
    p->SetOverloadValue(80);
    for (double max : {100.0, 0.0, -10.0}) p->SetMax(max);
    EXPECT_EQ(p->Max(), 100);
    EXPECT_EQ(changes, 0);
    p->SetBarStyle(cxbsLEDs);
    EXPECT_EQ(changes, 1);

    int transparencyCalls = 0;
    p->OnChangeTransparent = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, p.get());
        ++transparencyCalls;
    });
    p->SetTransparent(true);
    p->SetTransparent(true);
    EXPECT_EQ(transparencyCalls, 1);
    EXPECT_EQ(changes, 2);
}

TEST_F(ProgressBarTest, TheRangeKeepsOverloadAndPeakInside)
{
    auto p = MakeObject<TcxProgressBarProperties>(nullptr);
    p->SetPeakValue(20);
    Count(p.get());
    p->SetMin(150);
    EXPECT_EQ(p->Min(), 150);
    EXPECT_EQ(p->Max(), 150);
    EXPECT_EQ(p->OverloadValue(), 150);
    EXPECT_EQ(p->PeakValue(), 150);
    EXPECT_EQ(changes, 1);

    auto q = MakeObject<TcxProgressBarProperties>(nullptr);
    q->SetPeakValue(70);
    q->SetMax(50);
    EXPECT_EQ(q->OverloadValue(), 50);
    EXPECT_EQ(q->PeakValue(), 50);

    auto r = MakeObject<TcxProgressBarProperties>(nullptr);
    const struct {
        double set, stored;
    } overloads[] = {{20, 20}, {-5, 0}, {120, 100}};
    for (const auto& c : overloads) {
        r->SetOverloadValue(c.set);
        EXPECT_EQ(r->OverloadValue(), c.stored) << c.set;
    }
    EXPECT_EQ(r->GetRealPeakValue(30), 30);
    EXPECT_EQ(r->PeakValue(), 30) << "a stand-alone bar's peak follows the highest position";
    EXPECT_EQ(r->GetRealPeakValue(10), 30);
    EXPECT_EQ(r->CalculatePeakValue(60), 60);
    EXPECT_EQ(r->PeakValue(), 30) << "the cells' peak is not stored";
}

TEST_F(ProgressBarTest, DisplayTextsShowTheRawValue)
{
    auto p = MakeObject<TcxProgressBarProperties>(nullptr);
    p->SetMax(200);
    const struct {
        Variant value;
        const char* text;
    } cases[] = {{Variant("12.5"), "12.5 %"}, {Variant("12,5"), "0 %"}, {Variant("abc"), "0 %"},
                 {Variant::Null(), "0 %"},     {Variant(45), "45 %"},   {Variant(" 7.25"), "7.25 %"},
                 {Variant("7 "), "0 %"},       {Variant("1e2"), "100 %"}, {Variant(), "0 %"}};
    for (const auto& c : cases) EXPECT_EQ(p->GetDisplayText(c.value), c.text) << c.value.AsString();
    p->SetShowTextStyle(cxtsPosition);
    EXPECT_EQ(p->GetDisplayText(Variant(7)), "7");
}

TEST_F(ProgressBarTest, AssignCopiesEverythingButTransparency)
{
    auto source = MakeObject<TcxProgressBarProperties>(nullptr);
    source->SetTransparent(true);
    source->SetMax(300);
    source->SetMin(200);
    source->SetBarStyle(cxbsGradientLEDs);
    source->SetPeakSize(5);
    source->SetBeginColor(clGreen);
    auto target = MakeObject<TcxProgressBarProperties>(nullptr);
    Count(target.get());
    target->Assign(source.get());
    EXPECT_FALSE(target->Transparent());
    EXPECT_EQ(target->Min(), 200) << "Min before Max takes a range above the old one whole";
    EXPECT_EQ(target->Max(), 300);
    EXPECT_EQ(target->BarStyle(), cxbsGradientLEDs);
    EXPECT_EQ(target->PeakSize(), 5);
    EXPECT_EQ(target->BeginColor(), clGreen);
    EXPECT_EQ(changes, 1) << "one notification for the whole copy";
}

TEST_F(ProgressBarTest, TheKindIsRegisteredUnderItsName)
{
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxProgressBarProperties"),
              TcxProgressBarProperties::StaticClass());
    EXPECT_EQ(GetRegisteredEditProperties()->FindByClassName("TcxNoSuchProperties"), nullptr);
    EXPECT_EQ(GetRegisteredEditProperties()->GetDescriptionByClass(TcxProgressBarProperties::StaticClass()),
              "ProgressBar");
    auto p = MakeObject<TcxProgressBarProperties>(nullptr);
    EXPECT_EQ(p->GetViewInfoClass(), TcxCustomProgressBarViewInfo::StaticClass());
    EXPECT_EQ(p->GetViewDataClass(), TcxCustomProgressBarViewData::StaticClass());
    EXPECT_TRUE(p->GetSupportedOperations().Contains(esoSorting));
    p->SetMin(5);
    EXPECT_TRUE(p->GetMinStored());
    EXPECT_FALSE(p->GetMaxStored());
}

// ---- painting ----------------------------------------------------------------------

TEST_F(ProgressBarTest, TheFilledLengthAndPercentFollowTheRange)
{
    const struct {
        double min, max, position;
        int width, filled;
        const char* text;
    } cases[] = {
        {0, 100, 37, 75, 27, "37 %"},  {0, 100, 2.6, 100, 2, "3 %"},   {0, 0.5, 0.25, 100, 50, "50 %"},
        {0, 100, 2.5, 100, 2, "2 %"},  {0, 100, 3.5, 100, 3, "4 %"},   {0, 100, 99.5, 100, 99, "100 %"},
        {10, 10, 5, 100, 0, "0 %"},    {0, 100, 0, 100, 0, "0 %"},     {0, 100, 100, 75, 75, "100 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << ".." << c.max << " at " << c.position);
        ProgressBarCell cell;
        cell.properties->SetShowText(false);
        cell.properties->SetMax(c.max);
        cell.properties->SetMin(c.min);
        auto info = cell.NewViewInfo();
        if (c.min == c.max) {
            // Only raising Min gets there; no clamping happens then.
            EXPECT_EQ(cell.properties->Max(), 10);
        }
        ObjectPtr<TBitmap> b = Paint(cell, Variant(c.position), c.width, 18, info.get());
        EXPECT_EQ(info->BarText(), c.text);
        EXPECT_TRUE(Run(b.get(), 9, 0, c.filled, clNavy));
        if (c.filled < c.width) { EXPECT_EQ(At(b.get(), c.filled, 9), ProgressBarCell::kBackground); }
    }
}

TEST_F(ProgressBarTest, TheOverloadZoneTakesItsOwnColour)
{
    const struct {
        double position;
        int normalEnd, overloadEnd;
        bool native;
    } cases[] = {{90, 80, 90, false}, {79, 79, 79, false}, {90, 90, 90, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        quelvo::gfx::SetThemeActive(c.native);
        ProgressBarCell cell(c.native);
        cell.properties->SetShowText(false);
        cell.properties->SetShowOverload(true);
        auto info = cell.NewViewInfo();
        ObjectPtr<TBitmap> b = Paint(cell, Variant(c.position), 100, 18, info.get());
        EXPECT_EQ(info->OverloadBarVisible, !c.native && c.position >= 80);
        if (c.native) {
            for (int x = 0; x < 100; ++x) EXPECT_NE(At(b.get(), x, 9), 0x008080FF) << "themed bars have no zone";
            continue;
        }
        EXPECT_TRUE(Run(b.get(), 9, 0, c.normalEnd, clNavy));
        EXPECT_TRUE(Run(b.get(), 9, c.normalEnd, c.overloadEnd, 0x008080FF));
        EXPECT_EQ(At(b.get(), c.overloadEnd, 9), ProgressBarCell::kBackground);
    }
}

TEST_F(ProgressBarTest, GradientColoursAreTruncatedPerChannel)
{
    EXPECT_EQ(ProgressBarGradientColor(clNavy, clWhite, 50, 100), 0x00BF7F7Fu);
    EXPECT_EQ(ProgressBarGradientColor(0x8080FF, 0xFF00FF, 1, 4), 0x009F60FFu);
    EXPECT_EQ(ProgressBarGradientColor(0x8080FF, 0xFF00FF, 0, 0), 0x008080FFu) << "no range: the first colour";
    EXPECT_EQ(ProgressBarGradientColor(0x000000, 0xFFFFFF, 7, 4), 0x00FFFFFFu) << "never past the end colour";
}

TEST_F(ProgressBarTest, TheOverloadGradientRunsFromItsOwnStartToTheEnd)
{
    const struct {
        double overloadValue;
        int zoneStart;
    } cases[] = {{0, 0}, {50, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overloadValue);
        ProgressBarCell cell;
        cell.properties->SetShowText(false);
        cell.properties->SetBarStyle(cxbsGradient);
        cell.properties->SetShowOverload(true);
        cell.properties->SetOverloadValue(c.overloadValue);
        ObjectPtr<TBitmap> b = Paint(cell, Variant(100), 100, 18);
        const int n = 100 - c.zoneStart;
        for (int x = 0; x < 100; ++x) {
            const COLORREF expected = x >= c.zoneStart
                                          ? ProgressBarGradientColor(0x008080FF, clFuchsia, x - c.zoneStart, n)
                                          : ProgressBarGradientColor(clNavy, clWhite, x, 100);
            ASSERT_EQ(static_cast<COLORREF>(At(b.get(), x, 9)), expected) << "column " << x;
        }
        EXPECT_EQ(At(b.get(), c.zoneStart, 9), 0x008080FF) << "the zone starts at its begin colour";
    }
}

TEST_F(ProgressBarTest, LedsAreLaidOutInStepsAndShortBarsFillWhole)
{
    ProgressBarCell cell;
    cell.properties->SetShowText(false);
    cell.properties->SetBarStyle(cxbsLEDs);
    ObjectPtr<TBitmap> b = Paint(cell, Variant(100), 100, 21);
    for (int led = 0; led < 6; ++led) {
        SCOPED_TRACE(led);
        EXPECT_TRUE(Run(b.get(), 10, led * 16, led * 16 + 14, clNavy));
        EXPECT_TRUE(Run(b.get(), 10, led * 16 + 14, led * 16 + 16, ProgressBarCell::kBackground));
    }
    EXPECT_TRUE(Run(b.get(), 10, 96, 100, clNavy)) << "the partial LED";

    for (TcxProgressBarOrientation orientation : {cxorHorizontal, cxorVertical}) {
        SCOPED_TRACE(orientation);
        ProgressBarCell shortBar;
        shortBar.properties->SetShowText(false);
        shortBar.properties->SetBarStyle(cxbsLEDs);
        shortBar.properties->SetOrientation(orientation);
        const bool horizontal = orientation == cxorHorizontal;
        ObjectPtr<TBitmap> s = Paint(shortBar, Variant(100), horizontal ? 10 : 21, horizontal ? 21 : 10);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(horizontal ? At(s.get(), i, 10) : At(s.get(), 10, i), clNavy) << "pixel " << i;
    }
}

TEST_F(ProgressBarTest, ThePeakAtMaxSitsInsideAndCellsKeepTheirOwnPeaks)
{
    ProgressBarCell cell;
    cell.properties->SetShowText(false);
    cell.properties->SetShowPeak(true);
    cell.properties->SetPeakValue(100);
    ObjectPtr<TBitmap> b = Paint(cell, Variant(50), 100, 18);
    EXPECT_TRUE(Run(b.get(), 9, 98, 100, clRed));
    EXPECT_EQ(At(b.get(), 97, 9), ProgressBarCell::kBackground);

    ProgressBarCell column;
    column.properties->SetShowText(false);
    column.properties->SetShowPeak(true);
    auto high = column.NewViewInfo(), low = column.NewViewInfo();
    ObjectPtr<TBitmap> first = Paint(column, Variant(70), 100, 18, high.get());
    ObjectPtr<TBitmap> second = Paint(column, Variant(30), 100, 18, low.get());
    EXPECT_EQ(high->RealPeakValue, 70);
    EXPECT_EQ(low->RealPeakValue, 30) << "one row's peak does not show in another";
    EXPECT_EQ(column.properties->PeakValue(), 0) << "painting leaves the shared setting alone";
    EXPECT_TRUE(Run(second.get(), 9, 30, 32, clRed));
    EXPECT_EQ(At(second.get(), 69, 9), ProgressBarCell::kBackground);
}

TEST_F(ProgressBarTest, BevelsFrameTheFilledPart)
{
    const struct {
        TcxProgressBarBevelOuter bevel;
        TColor topLeft, bottomRight;
    } cases[] = {{cxbvRaised, clBtnHighlight, clBtnShadow}, {cxbvLowered, clBtnShadow, clBtnHighlight}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bevel);
        ProgressBarCell cell;
        cell.properties->SetShowText(false);
        cell.properties->SetBarBevelOuter(c.bevel);
        ObjectPtr<TBitmap> b = Paint(cell, Variant(50), 100, 18);
        EXPECT_EQ(At(b.get(), 0, 9), static_cast<TColor>(ColorToRGB(c.topLeft)));
        EXPECT_EQ(At(b.get(), 20, 0), static_cast<TColor>(ColorToRGB(c.topLeft)));
        EXPECT_EQ(At(b.get(), 49, 9), static_cast<TColor>(ColorToRGB(c.bottomRight)));
        EXPECT_EQ(At(b.get(), 20, 17), static_cast<TColor>(ColorToRGB(c.bottomRight)));
        EXPECT_EQ(At(b.get(), 20, 9), clNavy);
        EXPECT_EQ(At(b.get(), 50, 9), ProgressBarCell::kBackground);
    }
}

// The bounding box of the pixels of a colour.
RECT Ink(TBitmap* b, TColor color)
{
    RECT r{b->Width(), b->Height(), -1, -1};
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x)
            if (b->Canvas()->Pixel(x, y) == color)
                r = RECT{std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                         std::max<LONG>(r.bottom, y + 1)};
    return r;
}

TEST_F(ProgressBarTest, TextOverTheFillIsInvertedPixelForPixel)
{
    const TColor inverse = 0x7FFFFF;  // navy inverted
    ProgressBarCell solid;
    solid.properties->SetSolidTextColor(true);
    ObjectPtr<TBitmap> plain = Paint(solid, Variant(100), 100, 18);
    ProgressBarCell inverted;
    ObjectPtr<TBitmap> over = Paint(inverted, Variant(100), 100, 18);
    int glyphPixels = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 100; ++x) {
            const TColor p = At(over.get(), x, y), s = At(plain.get(), x, y);
            ASSERT_TRUE(p == clNavy || p == inverse) << x << "," << y << " is the bar or its inverse";
            EXPECT_NE(s, inverse) << "a solid text colour is never inverted";
            if (s == ProgressBarCell::kText) {
                ++glyphPixels;
                EXPECT_EQ(p, inverse) << x << "," << y;
            }
        }
    EXPECT_GT(glyphPixels, 20);
    const RECT text = Ink(over.get(), inverse);
    EXPECT_GT(text.right - text.left, 16) << "the whole text is inverted";

    ProgressBarCell beside;
    ObjectPtr<TBitmap> empty = Paint(beside, Variant(10), 100, 18);
    const RECT ink = Ink(empty.get(), ProgressBarCell::kText);
    EXPECT_GT(ink.right - ink.left, 16) << "the whole text in the text colour right of the fill";
    EXPECT_GE(ink.left, 10);
    EXPECT_EQ(Ink(empty.get(), 0xFFFF7F).right, -1) << "nothing inverted";
}

TEST_F(ProgressBarTest, TextPartlyOverTheFillIsInvertedOnlyThere)
{
    ProgressBarCell cell;
    auto info = cell.NewViewInfo();
    ObjectPtr<TBitmap> b = Paint(cell, Variant(50), 100, 18, info.get());
    const RECT inverted = Ink(b.get(), 0x7FFFFF), normal = Ink(b.get(), ProgressBarCell::kText);
    ASSERT_NE(inverted.right, -1);
    ASSERT_NE(normal.right, -1);
    EXPECT_LE(inverted.right, 50);
    EXPECT_GE(normal.left, 50);
}

TEST_F(ProgressBarTest, VerticalTextRunsDownwards)
{
    ProgressBarCell cell;
    cell.properties->SetTextOrientation(cxorVertical);
    cell.properties->SetOrientation(cxorVertical);
    ObjectPtr<TBitmap> b = Paint(cell, Variant(0), 24, 100);
    const RECT ink = Ink(b.get(), ProgressBarCell::kText);
    ASSERT_NE(ink.right, -1);
    EXPECT_GT(ink.bottom - ink.top, 16) << "\"0 %\" stacked downwards";
    EXPECT_LE(ink.right - ink.left, 16);

    ObjectPtr<TBitmap> full = Paint(cell, Variant(100), 24, 100);
    const RECT inverted = Ink(full.get(), 0x7FFFFF);
    EXPECT_GT(inverted.bottom - inverted.top, 24) << "the rotated text is inverted over the fill";
    EXPECT_EQ(Ink(full.get(), ProgressBarCell::kText).right, -1);
}

// Cells share their painting bitmaps from one to the next: a cell painted
// after larger, differently coloured or rotated ones looks exactly as on a
// thread that never painted a bar before.
TEST_F(ProgressBarTest, ACellLooksTheSameWhateverWasPaintedBefore)
{
    struct Case {
        const char* name;
        int value, w, h;
        TcxProgressBarOrientation text;
        TcxProgressBarBarStyle style;
        TColor begin;
        bool transparent;
    } cases[] = {
        {"large, rotated text, LEDs", 90, 140, 40, cxorVertical, cxbsLEDs, clRed, false},
        {"small, text partly over the fill", 37, 75, 18, cxorHorizontal, cxbsSolid, clNavy, false},
        {"narrower than its text", 60, 20, 18, cxorHorizontal, cxbsSolid, clGreen, false},
        {"transparent over the canvas", 50, 60, 14, cxorHorizontal, cxbsGradient, clMaroon, true},
        {"small again, text beside the fill", 5, 75, 18, cxorHorizontal, cxbsSolid, clNavy, false},
    };
    auto paint = [](const Case& c) {
        ProgressBarCell cell;
        cell.properties->SetTextOrientation(c.text);
        cell.properties->SetBarStyle(c.style);
        cell.properties->SetBeginColor(c.begin);
        cell.properties->SetBarBevelOuter(cxbvRaised);
        ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
        b->SetPixelFormat(pf24bit);
        b->SetSize(c.w, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) b->Canvas()->SetPixel(x, y, (x + y) % 3 ? clYellow : clTeal);
        TcxCanvas canvas(b->Canvas());
        auto info = cell.NewViewInfo();
        info->Transparent = c.transparent;
        cell.Paint(&canvas, info.get(), RECT{0, 0, c.w, c.h}, Variant(c.value));
        std::vector<TColor> pixels;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) pixels.push_back(At(b.get(), x, y));
        return pixels;
    };
    for (const Case& c : cases) {
        std::vector<TColor> fresh;
        std::thread([&] { fresh = paint(c); }).join();
        EXPECT_EQ(paint(c), fresh) << c.name;
    }
}

TEST_F(ProgressBarTest, TheConfiguratorsColumnsPaint)
{
    // "CPU Inst." and "CPU Avg.": raised bevel; the second green, overload at 20 but off.
    for (bool average : {false, true}) {
        SCOPED_TRACE(average);
        ProgressBarCell cell;
        cell.properties->SetBarBevelOuter(cxbvRaised);
        if (average) {
            cell.properties->SetBeginColor(clGreen);
            cell.properties->SetOverloadValue(20);
        }
        auto info = cell.NewViewInfo();
        ObjectPtr<TBitmap> b = Paint(cell, Variant(40), 75, 18, info.get());
        EXPECT_EQ(info->BarText(), "40 %");
        EXPECT_FALSE(info->OverloadBarVisible);
        EXPECT_EQ(At(b.get(), 5, 3), average ? clGreen : clNavy);
        EXPECT_EQ(At(b.get(), 31, 3), ProgressBarCell::kBackground) << "30 pixels filled";
    }
}

}  // namespace
