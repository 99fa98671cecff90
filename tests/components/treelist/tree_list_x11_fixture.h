#pragma once
// A form with tree lists in a real X11 window under the test's own Xvfb,
// with the units the lists need and the test text editor as the columns'
// default kind.
#include <memory>

#include "components/editors/cxEditPaintUtils.h"
#include "components/treelist/cxTL.h"
#include "tests/components/treelist/inplace_test_control.h"
#include "tests/components/x11_form_fixture.h"

namespace treelisttest {

class TreeListX11Test : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxInplaceContainerInitialize();
        cxTreeListInitialize();
        kind = std::make_unique<DefaultTextKind>();
    }
    void DoneUnits() override
    {
        // The columns' default editor is the test kind's: they go first.
        if (form) form->Free();
        form = nullptr;
        kind.reset();
        cxTreeListFinalize();
        cxInplaceContainerFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
    }
    // The server's pixel at a point of a list's client area, read from the
    // form's window, which the list draws into.
    std::uint32_t ListPixel(hostlib::TControl* list, POINT p)
    {
        const POINT screen = list->ClientToScreen(p);
        const POINT window = RootPosition(static_cast<unsigned long>(x_->XWindowOf(form->Handle())));
        return ServerPixel(form->Handle(), screen.x - window.x, screen.y - window.y);
    }

    std::unique_ptr<DefaultTextKind> kind;
    hostlib::TForm* form = nullptr;
};

}  // namespace treelisttest
