// A text editor in a real X11 window under the test's own Xvfb: keys typed
// from another client reach the text, and the server shows them in the
// columns where the editor's own unfocused drawing puts the same text.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxTextEdit.h"
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

class TextEditOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
    }
    void DoneUnits() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
    // First and last column, first row of the server's pixels of the
    // editor in the colour; left -1 when none.
    RECT ServerInk(TcxCustomEdit* edit, std::uint32_t rgb)
    {
        const POINT origin = edit->ClientToScreen(POINT{0, 0});
        XImage* image = XGetImage(other_, DefaultRootWindow(other_), origin.x, origin.y,
                                  static_cast<unsigned>(edit->Width()), static_cast<unsigned>(edit->Height()),
                                  AllPlanes, ZPixmap);
        RECT r{-1, -1, -1, -1};
        if (!image)
            return r;
        for (int y = 0; y < edit->Height(); ++y)
            for (int x = 0; x < edit->Width(); ++x) {
                if ((XGetPixel(image, x, y) & 0xFFFFFF) != rgb)
                    continue;
                r.left = r.left < 0 ? x : std::min<int>(r.left, x);
                r.top = r.top < 0 ? y : r.top;
                r.right = std::max<int>(r.right, x);
            }
        XDestroyImage(image);
        return r;
    }
};

TEST_F(TextEditOnX11, TypedTextShowsWhereTheEditorDrawsIt)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 260, 120);
    auto* edit = CreateObject<TcxTextEdit>(static_cast<TComponent*>(form));
    edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
    edit->Style()->Font()->SetHeight(-16);
    edit->Style()->LookAndFeel()->SetKind(lfStandard);
    edit->SetBounds(20, 20, 180, 24);
    edit->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    const RECT client = edit->ViewInfo()->ClientRect;
    ClickScreen(edit->ClientToScreen(POINT{client.left + 5, (client.top + client.bottom) / 2}));
    ASSERT_TRUE(PumpUntil([&] { return edit->InnerEdit()->GetControl()->Focused(); }));
    TypeKey(XK_a);
    TypeKey(XK_b);
    ASSERT_TRUE(PumpUntil([&] { return edit->Text() == "ab"; })) << "typed: " << edit->Text();
    Settle();
    const TColor ink = ColorToRGB(clWindowText);
    const std::uint32_t rgb = (GetRValue(ink) << 16) | (GetGValue(ink) << 8) | GetBValue(ink);
    const RECT typed = ServerInk(edit, rgb);
    ASSERT_GE(typed.left, 0) << "the server shows the typed text";

    edit->SetHideInnerEdit(true);
    Settle();
    const RECT drawn = ServerInk(edit, rgb);
    EXPECT_EQ(typed.left, drawn.left);
    EXPECT_EQ(typed.right, drawn.right);
    EXPECT_EQ(typed.top, drawn.top);
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows what the editor painted";
    form->Free();
}

TEST_F(TextEditOnX11, AClickOnTheListChoosesItsRow)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 260, 160);
    auto* list = CreateObject<TcxCustomEditListBox>(static_cast<TComponent*>(form));
    list->Font()->SetName(quelvo::gfx::kFixedTestFace);
    list->Font()->SetHeight(-16);
    list->SetBounds(20, 20, 150, 5 * 16);
    list->SetParent(form);
    for (const char* item : {"one", "two", "three", "four"})
        list->Items()->Add(item);
    std::vector<int> selected;
    list->OnSelectItem = TNotifyEvent::FromFunction([&](TObject*) { selected.push_back(list->ItemIndex()); });
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    ClickScreen(list->ClientToScreen(POINT{30, 2 * 16 + 8}));
    EXPECT_TRUE(PumpUntil([&] { return !selected.empty() && selected.back() == 2; }));
    Settle();
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows what the list painted";
    form->Free();
}

}  // namespace
