// A control painting through each painter on a form of the headless display
// shows exactly what the painter draws on a bitmap: the window canvas's
// origin and clipping change nothing.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using namespace visualtest;

namespace {

constexpr int kWidth = 130;
constexpr int kHeight = 50;

// A header row of three cells, a default push button and a checked radio.
void Scene(TcxCanvas& canvas, const TcxCustomLookAndFeelPainter& painter, TFont* font)
{
    canvas.SetBrushColor(clWhite);
    canvas.FillRect(RECT{0, 0, kWidth, kHeight});
    canvas.SetFont(font);
    const char* captions[] = {"Name", "CPU", "Rule"};
    for (int i = 0; i < 3; ++i) {
        TcxNeighbors neighbors;
        if (i > 0) neighbors.Include(nLeft);
        if (i < 2) neighbors.Include(nRight);
        const RECT r{i * 40, 0, i * 40 + 40, 20};
        painter.DrawHeader(&canvas, r, RECT{r.left + 3, r.top + 2, r.right - 3, r.bottom - 2}, neighbors,
                           painter.HeaderBorders(neighbors), cxbsNormal, taLeftJustify, vaCenter, false, false,
                           captions[i], font, clBtnText, clBtnFace);
    }
    painter.DrawButton(&canvas, RECT{4, 24, 64, 46}, "OK", cxbsDefault);
    painter.DrawRadioButton(&canvas, 80, 28, cxbsNormal, true, false, clDefault);
}

class TPainterSample : public TCustomControl {
public:
    static TClass StaticClass() { return DefineClass<TPainterSample, TCustomControl>("TPainterSample"); }
    TClass ClassType() const override { return StaticClass(); }
    const TcxCustomLookAndFeelPainter* painter = nullptr;
    TFont* font = nullptr;

protected:
    void Paint() override
    {
        TcxCanvas canvas(Canvas());
        Scene(canvas, *painter, font);
    }
};

class PaintersOnWindow : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        cxStandardLookAndFeelPaintersInitialize();
        cxUltraFlatLookAndFeelPaintersInitialize();
        font_->SetName("Sans");
        font_->SetHeight(-11);
    }
    void TearDown() override
    {
        cxUltraFlatLookAndFeelPaintersFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        quelvo::gfx::ResetSysColors();
        VisualTest::TearDown();
    }
    ObjectPtr<TFont> font_ = MakeObject<TFont>();
};

TEST_F(PaintersOnWindow, EveryPainterShowsOnTheControlWhatItDrawsOnABitmap)
{
    const TcxCustomLookAndFeelPainter* painters[] = {TcxCustomLookAndFeelPainter::Class(),
                                                     TcxStandardLookAndFeelPainter::Class(),
                                                     TcxFlatLookAndFeelPainter::Class(),
                                                     TcxUltraFlatLookAndFeelPainter::Class(),
                                                     TcxOffice11LookAndFeelPainter::Class()};
    TForm* form = NewForm(200, 120);
    auto* sample = Add<TPainterSample>(form, "sample", 7, 9, kWidth, kHeight);
    sample->font = font_.get();
    form->Show();
    for (const auto* painter : painters) {
        foundationtest::Surface golden(kWidth, kHeight);
        Scene(golden.Canvas(), *painter, font_.get());
        const auto expected = golden.Pixels();
        sample->painter = painter;
        sample->Invalidate();
        Pump();
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const COLORREF want = expected[static_cast<std::size_t>(y) * kWidth + x];
                const std::uint32_t rgb = (GetRValue(want) << 16) | (GetGValue(want) << 8) | GetBValue(want);
                if (Screen().ClientPixel(sample->Handle(), x, y) != rgb) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << painter->ClassName();
        // Something of the look shows: the button's face, the header's text colour somewhere.
        EXPECT_EQ(golden.At(34, 35) == RGB(255, 255, 255), false) << painter->ClassName();
    }
}

}  // namespace
