// A progress bar in a real X11 window under the test's own Xvfb: the server
// shows the fill and the inverted text exactly as the form's surface holds
// them, and the fill ends where the layout says.
#include <gtest/gtest.h>

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "platform/graphics/wingdi.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace hostlib;

namespace {

class ProgressBarOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxUltraFlatLookAndFeelPaintersInitialize();
        cxProgressBarInitialize();
    }
    void DoneUnits() override
    {
        cxProgressBarFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxUltraFlatLookAndFeelPaintersFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
};

TEST_F(ProgressBarOnX11, TheServerShowsTheFillAndTheInvertedText)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 200, 80);
    auto* bar = CreateObject<TcxProgressBar>(form);
    bar->SetBounds(10, 10, 121, 21);
    bar->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
    bar->Style()->Font()->SetHeight(-16);
    bar->SetParent(form);
    bar->SetPosition(60);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0);

    const RECT inner = bar->GetViewInfo()->InnerRect;
    const int end = inner.left + 60 * (inner.right - inner.left) / 100;
    const POINT root = RootPosition(static_cast<::Window>(x_->XWindowOf(form->Handle())));
    // The server's pixel under a point of the bar's client area.
    auto server = [&](int x, int y) {
        const POINT s = bar->ClientToScreen(POINT{x, y});
        return ServerPixel(form->Handle(), s.x - root.x, s.y - root.y);
    };
    EXPECT_EQ(server(inner.left + 1, inner.top + 1), 0x000080u) << "navy fill";
    EXPECT_NE(server(end, inner.top + 1), 0x000080u) << "the fill ends where the layout says";
    int inverted = 0;
    for (int y = inner.top; y < inner.bottom; ++y)
        for (int x = inner.left; x < end; ++x) inverted += server(x, y) == 0xFFFF7Fu;
    EXPECT_GT(inverted, 10) << "glyphs over the fill in the inverse of navy";
    form->Free();
}

}  // namespace
