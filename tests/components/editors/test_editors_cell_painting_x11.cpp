// The cells of the headless check in a real X11 window under the test's own
// Xvfb: the server shows the frames, buttons and text where the layout says.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/controls/control_base.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/display.h"
#include "platform/windows/loop.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/components/editors/edit_cells.h"
#include "tests/platform/graphics/canvas.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace hostlib;
using quelvo::editors::test::EditCells;
using quelvo::gfx::test::Distinct;

namespace {

class CellsOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        quelvo::gfx::test::SetDistinctSysColors();
    }
    void DoneUnits() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
};

TEST_F(CellsOnX11, TheServerShowsTheCellsAsLaidOut)
{
    EditCells cells;
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 200, 200);
    form->SetColor(clAppWorkSpace);
    form->OnPaint = TNotifyEvent::FromFunction([&](TObject*) {
        TcxCanvas canvas(form->Canvas());
        cells.Paint(&canvas);
    });
    form->Show();
    const auto window = [&] { return static_cast<::Window>(x_->XWindowOf(form->Handle())); };
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        return window() && XGetWindowAttributes(other_, window(), &wa) && wa.map_state == IsViewable;
    }));
    PumpUntil([] { return false; }, 300);
    x_->Flush();

    XWindowAttributes wa{};
    ASSERT_TRUE(XGetWindowAttributes(other_, window(), &wa));
    XImage* image = XGetImage(other_, window(), 0, 0, static_cast<unsigned>(wa.width),
                              static_cast<unsigned>(wa.height), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wx = 0, wy = 0;
    ::Window child = 0;
    XTranslateCoordinates(other_, window(), DefaultRootWindow(other_), 0, 0, &wx, &wy, &child);
    // A client point of the form as the server has it.
    auto pixel = [&](int x, int y) {
        const POINT screen = form->ClientToScreen(POINT{x, y});
        const unsigned long p = XGetPixel(image, screen.x - wx, screen.y - wy);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    };
    for (int i = 0; i < EditCells::kCount; ++i) {
        SCOPED_TRACE(i);
        const RECT b = EditCells::Bounds(i);
        const int mid = (b.top + b.bottom) / 2;
        EXPECT_EQ(pixel(b.left - 1, mid), Distinct(COLOR_APPWORKSPACE));
        EXPECT_EQ(pixel(b.left, b.top), Distinct(COLOR_WINDOW));
        int textColumn = -1;
        for (int x = b.left; x < b.right && textColumn < 0; ++x)
            if (pixel(x, mid) == Distinct(i == 4 ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT))
                textColumn = x;
        EXPECT_EQ(textColumn, cells.ClientLeft(i));
        if (i == 0)
            continue;
        const RECT button = cells.ButtonRect(i);
        EXPECT_EQ(pixel(button.left, button.top), Distinct(i == 3 ? COLOR_BTNSHADOW : COLOR_3DLIGHT));
        EXPECT_EQ(pixel(button.left + 3, button.top + 3), Distinct(COLOR_BTNFACE));
        EXPECT_EQ(pixel(button.left - 1, mid), Distinct(COLOR_WINDOW));
    }
    XDestroyImage(image);
}

} // namespace
