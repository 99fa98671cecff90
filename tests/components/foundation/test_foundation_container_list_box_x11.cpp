// A container hosting an inner list box in a real X11 window under the
// test's own Xvfb: the server shows the container's border and the external
// bars as the form's surface has them, a click selects an item and wheel
// turns move the list and its bar.
#include <gtest/gtest.h>

#include <string>

#include "components/foundation/cxContainerListBox.h"
#include "tests/components/control_units.h"
#include "platform/hostlib/visual/forms.h"
#include "tests/components/x11_form_fixture.h"

// After the project's headers: Xlib's macros would clash with their names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

using namespace hostlib;

namespace {

class TListContainer : public TcxContainer {
public:
    static TClass StaticClass() { return DefineClass<TListContainer, TcxContainer>("TListContainerX11"); }
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override
    {
        TcxContainer::Construct(owner);
        list = CreateObject<TcxCustomInnerListBox>(this);
        list->SetContainer(this);
        list->SetParent(this);
        SetInnerControl(list);
    }
    TcxCustomInnerListBox* list = nullptr;
};

class ContainerListBoxOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        componenttest::StartControlUnits();
        cxContainerInitialize();
    }
    void DoneUnits() override
    {
        cxContainerFinalize();
        componenttest::EndControlUnits();
    }
    std::uint32_t ServerPixel(TControl* control, int x, int y)
    {
        const POINT p = control->ClientToScreen(POINT{x, y});
        XImage* image = XGetImage(other_, DefaultRootWindow(other_), p.x, p.y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0xFFFFFFFFu;
        const auto pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xFFFFFF);
        XDestroyImage(image);
        return pixel;
    }
};

TEST_F(ContainerListBoxOnX11, BorderBarsClickAndWheelAsTheUserSeesThem)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 240);
    auto* container = CreateObject<TListContainer>(form);
    container->SetBounds(20, 20, 150, 120);
    container->SetParent(form);
    container->Style()->SetBorderStyle(cbsSingle);
    container->Style()->SetBorderColor(clRed);
    TcxCustomInnerListBox* list = container->list;
    list->LookAndFeel()->SetKind(lfUltraFlat);
    for (int i = 0; i < 40; ++i) list->Items()->Add("item " + std::to_string(i));
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();
    TcxScrollBar* bar = list->VScrollBar();
    ASSERT_TRUE(bar->Visible());
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the server shows the form's surface";
    EXPECT_EQ(ServerPixel(container, 0, 50), 0xFF0000u) << "the border";
    const RECT thumb = bar->ThumbnailRect();
    EXPECT_EQ(ServerPixel(bar, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2),
              ServerPixel(bar, (thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2 + 1));

    const RECT item = list->ItemRect(2);
    ClickScreen(list->ClientToScreen(POINT{item.left + 10, (item.top + item.bottom) / 2}));
    // The wheel goes to the focused control: the click must have given the
    // list the focus and ended its capture before the wheel turns.
    ASSERT_TRUE(PumpUntil([&] { return list->ItemIndex() == 2 && list->Focused() && !GetCapture(); }));
    for (int turn = 1; turn <= 2; ++turn) {
        ClickScreen(list->ClientToScreen(POINT{20, 20}), 5);
        ASSERT_TRUE(PumpUntil([&] { return list->TopIndex() >= 3 * turn; }))
            << "turn " << turn << ": top index " << list->TopIndex() << ", focus on the list " << list->Focused();
    }
    EXPECT_EQ(bar->Position(), list->TopIndex()) << "the bar follows the wheel";
    EXPECT_GT(bar->ThumbnailRect().top, thumb.top);
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "the moved thumb reaches the server";
    form->Free();
}

}  // namespace
