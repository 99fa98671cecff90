// The BLOB editor in a real X11 window under the test's own Xvfb: its
// drop-down opens as a window of its own below the editor with the memo
// and the buttons, keys typed by another client edit the memo, and a click
// on OK writes the text into the editor.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <string>

#include "components/editor-catalogue/cxBlobEdit.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "platform/hostlib/visual/forms.h"
#include "platform/system/scope_guard.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

class BlobEditOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxContainerInitialize();
        cxContainerPopupInitialize();
        cxBlobEditInitialize();
    }
    void DoneUnits() override
    {
        cxBlobEditFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        cxContainerPopupFinalize();
        cxContainerFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        cxLookAndFeelsFinalize();
    }
    void PressKey(KeySym symbol)
    {
        const KeyCode code = XKeysymToKeycode(other_, symbol);
        XTestFakeKeyEvent(other_, code, True, CurrentTime);
        XTestFakeKeyEvent(other_, code, False, CurrentTime);
        XFlush(other_);
        Settle();
    }
    POINT Centre(TControl* c) { return c->ClientToScreen(POINT{c->Width() / 2, c->Height() / 2}); }
};

TEST_F(BlobEditOnX11, TheMemoDropsDownAsItsOwnWindowAndOKKeepsTheTypedText)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(40, 40, 320, 120);
    auto* edit = CreateObject<TcxBlobEdit>(static_cast<TComponent*>(form));
    edit->Style()->Font()->SetName(quelvo::gfx::kFixedTestFace);
    edit->Style()->Font()->SetHeight(-16);
    edit->Style()->LookAndFeel()->SetKind(lfStandard);
    edit->Properties()->SetBlobEditKind(bekMemo);
    edit->SetBounds(20, 20, 200, 24);
    edit->SetParent(form);
    edit->SetEditValue(Variant("note"));
    quelvo::sys::ScopeGuard freeForm([form] { form->Free(); });
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    HWND popup = nullptr;
    ASSERT_NO_FATAL_FAILURE(DropDownByButton(edit, form->Handle(), popup));
    ASSERT_NE(edit->OKButton(), nullptr);
    EXPECT_FALSE(edit->OKButton()->Enabled());
    Settle();
    EXPECT_EQ(Mismatches(popup), 0) << "the server shows what the drop-down painted";

    PressKey(XK_End);
    PressKey(XK_s);
    ASSERT_TRUE(PumpUntil([&] { return edit->OKButton() && edit->OKButton()->Enabled(); }));
    ClickScreen(Centre(edit->OKButton()));
    ASSERT_TRUE(PumpUntil([&] { return !edit->DroppedDown(); }));
    EXPECT_EQ(VarToStr(edit->EditValue()), "notes");
    EXPECT_EQ(edit->PopupEditor(), nullptr);
}

}  // namespace
