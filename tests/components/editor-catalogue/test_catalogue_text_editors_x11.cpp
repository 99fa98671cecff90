// The hyperlink and memo editors in a real X11 window under the test's own
// Xvfb: the server shows the link in its colour and a click from another
// client starts it; keys typed into the memo make a second line, and the
// server shows what the form painted.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <string>

#include "components/editor-catalogue/cxHyperLinkEdit.h"
#include "components/editor-catalogue/cxMemo.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/windows/x11/x11_display.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace hostlib;

namespace {

class TextEditorsOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerInitialize();
    }
    void DoneUnits() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxContainerFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
    // Pixels of the control in the colour, as the server shows them.
    int ServerCount(TWinControl* c, std::uint32_t rgb)
    {
        const POINT origin = c->ClientToScreen(POINT{0, 0});
        XImage* image = XGetImage(other_, DefaultRootWindow(other_), origin.x, origin.y,
                                  static_cast<unsigned>(c->Width()), static_cast<unsigned>(c->Height()), AllPlanes,
                                  ZPixmap);
        if (!image) return -1;
        int n = 0;
        for (int y = 0; y < c->Height(); ++y)
            for (int x = 0; x < c->Width(); ++x) n += (XGetPixel(image, x, y) & 0xFFFFFF) == rgb;
        XDestroyImage(image);
        return n;
    }
    template <class T>
    T* Place(TForm* form, int x, int y, int w, int h)
    {
        auto* edit = CreateObject<T>(static_cast<TComponent*>(form));
        edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
        edit->Style()->Font()->SetHeight(-16);
        edit->Style()->LookAndFeel()->SetKind(lfStandard);
        edit->SetBounds(x, y, w, h);
        edit->SetParent(form);
        return edit;
    }
};

TEST_F(TextEditorsOnX11, TheLinkShowsInItsColourAClickStartsItAndTheMemoTakesLines)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 300, 200);
    auto* link = Place<TcxHyperLinkEdit>(form, 20, 20, 200, 24);
    link->Properties()->SetLinkColor(clRed);
    link->Properties()->SetSingleClick(true);
    link->SetEditValue(Variant(std::string("example.org")));
    int starts = 0;
    link->Properties()->OnStartClick = TNotifyEvent::FromFunction([&](TObject*) { ++starts; });
    auto* memo = Place<TcxMemo>(form, 20, 60, 200, 89);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    EXPECT_GT(ServerCount(link, 0xFF0000), 11 * 8) << "the text and its underline in the link colour";

    ClickScreen(link->ClientToScreen(POINT{30, 12}));
    ASSERT_TRUE(PumpUntil([&] { return starts == 1; }));

    ClickScreen(memo->ClientToScreen(POINT{20, 10}));
    ASSERT_TRUE(PumpUntil([&] { return memo->InnerEdit()->GetControl()->Focused(); }));
    TypeKey(XK_a);
    TypeKey(XK_Return);
    TypeKey(XK_b);
    ASSERT_TRUE(PumpUntil([&] { return memo->Text() == "a\r\nb"; })) << memo->Text();
    EXPECT_EQ(memo->Lines()->Count(), 2);
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows what the form painted";
    form->Free();
}

}  // namespace
