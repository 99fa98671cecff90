// The drop-down editors' popup window in a real X11 session under the
// test's own Xvfb: it opens as a window of its own right below the editor,
// the server shows what it drew, and a click on its close button closes it.
#include "components/editors/cxDropDownEdit.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxLookAndFeels.h"
// Last: it brings Xlib, whose macros would clash with the names above.
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;

namespace {

class TPlainEdit : public TCustomControl, public IcxEditPopupWindowOwner {
public:
    static TClass StaticClass() { return DefineClass<TPlainEdit, TCustomControl>("TPlainEdit"); }
    TClass ClassType() const override { return StaticClass(); }

    bool PopupWindowAcceptsAnySize() override { return true; }
    SIZE GetPopupWindowClientPreferredSize() override { return SIZE{140, 90}; }
    RECT GetPopupWindowOwnerControlBounds() override { return RECT{Left(), Top(), Left() + Width(), Top() + Height()}; }
    void PositionPopupWindowChilds(const RECT&) override {}
    TcxLookAndFeelKind GetPopupLookAndFeelKind() override { return lfStandard; }
    bool IsPopupLookupDataVisual() override { return false; }
    bool CanResizePopupVisualArea(SIZE&, int) override { return true; }
    void PopupWindowResizedByUser() override {}
    void ClosePopupWindowByButton() override { popup->CloseUp(false); }

    TcxCustomEditPopupWindow* popup = nullptr;

protected:
    void Paint() override
    {
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(ClientRect());
    }
};

class EditPopupOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxLookAndFeelsInitialize();
        cxContainerPopupInitialize();
    }
    void DoneUnits() override
    {
        cxContainerPopupFinalize();
        cxLookAndFeelsFinalize();
    }
};

TEST_F(EditPopupOnX11, OpensBelowTheEditorShowsItsFrameAndClosesByItsButton)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 240);
    auto* edit = CreateObject<TPlainEdit>(form);
    edit->SetBounds(20, 20, 120, 24);
    edit->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));

    auto* popup = CreateObject<TcxCustomEditPopupWindow>(static_cast<TWinControl*>(edit));
    edit->popup = popup;
    popup->SetCaptureFocus(false);
    popup->SetModalMode(false);
    popup->SetBorderStyle(epbsFrame3D);
    popup->SetSizeable(true);
    popup->SetSysPanelStyle(true);
    popup->SetCloseButton(true);
    popup->Popup(edit);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(popup->Handle()); }));

    const auto window = x_->XWindowOf(popup->Handle());
    EXPECT_NE(window, x_->XWindowOf(form->Handle()));
    const POINT root = RootPosition(window);
    const POINT below = edit->ClientToScreen(POINT{0, edit->Height()});
    EXPECT_EQ(root.x, below.x);
    EXPECT_EQ(root.y, below.y);
    EXPECT_TRUE(PumpUntil([&] { return Mismatches(popup->Handle()) == 0; })) << "the server shows the frame and panel";

    const RECT r = popup->ViewInfo()->CloseButtonRect;
    ClickScreen(POINT{root.x + (r.left + r.right) / 2, root.y + (r.top + r.bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return !popup->IsVisible() && !Viewable(popup->Handle()); }));
    popup->Free();
}

}  // namespace
