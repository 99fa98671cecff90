// The canvas on a form of the headless display draws what it draws on a
// bitmap: the window canvas's origin and clipping change nothing.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include "tests/components/foundation/foundation_canvas.h"

using namespace hostlib;
using namespace visualtest;

namespace {

class CanvasOnWindow : public VisualTest {};

ObjectPtr<TBitmap> Tile()
{
    auto tile = MakeObject<TBitmap>();
    tile->SetSize(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) tile->Canvas()->SetPixel(x, y, static_cast<TColor>(RGB(x * 30, y * 40, 99)));
    return tile;
}

void Scene(TcxCanvas& canvas, TBitmap* tile)
{
    canvas.FrameRect(RECT{10, 10, 30, 30}, clBlue, 2);
    canvas.FillRect(RECT{43, 12, 70, 31}, tile);
    canvas.DrawEdge(RECT{75, 10, 90, 25}, true, true);
}

TEST_F(CanvasOnWindow, FrameTileAndEdgeMatchTheBitmap)
{
    auto tile = Tile();
    foundationtest::Surface golden(100, 40);
    Scene(golden.Canvas(), tile.get());
    const auto expected = golden.Pixels();

    TForm* form = NewForm(120, 80);
    form->OnPaint = TNotifyEvent::FromFunction([&](TObject*) {
        form->Canvas()->Brush()->SetColor(clWhite);
        form->Canvas()->FillRect(RECT{0, 0, 100, 40});
        TcxCanvas canvas(form->Canvas());
        Scene(canvas, tile.get());
    });
    form->Show();
    Pump();
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const COLORREF want = expected[static_cast<std::size_t>(y) * 100 + x];
            const std::uint32_t rgb = (GetRValue(want) << 16) | (GetGValue(want) << 8) | GetBValue(want);
            if (Screen().ClientPixel(form->Handle(), x, y) != rgb) ++wrong;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(Screen().ClientPixel(form->Handle(), 10, 10), 0x0000FFu);
}

}  // namespace
