// Cells painted as a list control paints them, on a form of the headless
// display, read back from the window: frame, button rectangles and the
// first text column sit where the layout says.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include "components/editors/cxEditControl.h"
#include "tests/components/editors/edit_cells.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace visualtest;
using quelvo::editors::test::EditCells;
using quelvo::gfx::test::Distinct;

namespace {

struct CellPaintingTest : VisualTest {
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
    }
    void TearDown() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        VisualTest::TearDown();
    }
    // The display answers 0xRRGGBB.
    COLORREF Pixel(TForm* form, int x, int y)
    {
        const std::uint32_t p = Screen().ClientPixel(form->Handle(), x, y);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The first column in the row whose pixel has the colour, or -1.
    int FirstColumn(TForm* form, int y, int from, int to, COLORREF color)
    {
        for (int x = from; x < to; ++x)
            if (Pixel(form, x, y) == color)
                return x;
        return -1;
    }
};

TEST_F(CellPaintingTest, CellsShowTheirButtonsAndTextWhereTheLayoutSays)
{
    EditCells cells;
    TForm* form = NewForm(200, 200);
    form->SetColor(clAppWorkSpace);
    form->OnPaint = TNotifyEvent::FromFunction([&](TObject*) {
        TcxCanvas canvas(form->Canvas());
        cells.Paint(&canvas);
    });
    form->Show();
    Pump();
    const COLORREF window = Distinct(COLOR_WINDOW), light = Distinct(COLOR_3DLIGHT),
                   shadow = Distinct(COLOR_BTNSHADOW), text = Distinct(COLOR_WINDOWTEXT),
                   gray = Distinct(COLOR_GRAYTEXT), face = Distinct(COLOR_BTNFACE);
    for (int i = 0; i < EditCells::kCount; ++i) {
        SCOPED_TRACE(i);
        const RECT b = EditCells::Bounds(i);
        const int mid = (b.top + b.bottom) / 2;
        EXPECT_EQ(Pixel(form, b.left - 1, mid), Distinct(COLOR_APPWORKSPACE)) << "nothing left of the cell";
        EXPECT_EQ(Pixel(form, b.left, b.top), window) << "an in-place cell has no frame";
        const int textColumn = FirstColumn(form, mid, b.left, b.right, i == 4 ? gray : text);
        EXPECT_EQ(textColumn, cells.ClientLeft(i)) << "the text starts at the client area";
        if (i == 0) {
            EXPECT_EQ(Pixel(form, b.right - 1, mid), window) << "no button";
            continue;
        }
        const RECT button = cells.ButtonRect(i);
        EXPECT_EQ(button.right, b.right);
        EXPECT_EQ(button.right - button.left, 17);
        EXPECT_EQ(cells.ClientLeft(i), b.left) << "the client area reaches the left edge";
        const bool pressed = i == 3;
        EXPECT_EQ(Pixel(form, button.left, button.top), pressed ? shadow : light) << "the button's outer frame";
        EXPECT_EQ(Pixel(form, button.left + 3, button.top + 3), face) << "the button face";
        EXPECT_EQ(Pixel(form, button.left - 1, mid), window) << "the text area ends at the button";
    }
}

} // namespace
