// The radio button the library draws: its mouse states, checking itself on
// focus, its popup menu, the text rectangle corrections and what it shows.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <vector>

#include "components/editor-catalogue/cxRadioGroup.h"
#include "platform/hostlib/visual/menus.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

class TInplaceRadioButton : public TcxRadioButton {
public:
    static TClass StaticClass()
    {
        return DefineClass<TInplaceRadioButton, TcxRadioButton>("TInplaceRadioButton");
    }
    TClass ClassType() const override { return StaticClass(); }
    bool IsInplace() override { return inplace; }
    bool inplace = false;
};

class RadioButtons : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        form = NewForm(300, 200);
        first = Add<TInplaceRadioButton>(form, "First", 10, 10, 120, 20);
        second = Add<TInplaceRadioButton>(form, "Second", 10, 40, 120, 20);
        for (auto* rb : {first, second}) {
            UseFixedFace(rb->Font());
            rb->SetCaption("Radio");
            rb->SetTabStop(true);
            rb->OnClick = TNotifyEvent::FromFunction([this, rb](TObject*) { clicked.push_back(rb); });
        }
        form->Show();
        Pump();
        clicked.clear();
    }
    TInplaceRadioButton* first = nullptr;
    TInplaceRadioButton* second = nullptr;
    std::vector<TcxRadioButton*> clicked;
};

TEST_F(RadioButtons, TheMouseGivesHotAndPressedStates)
{
    struct Case {
        const char* what;
        bool captured;
        POINT p;
        TShiftState shift;
        TcxRadioButtonState state;
    };
    const Case cases[] = {
        {"over it", false, {5, 5}, {}, rbsHot},
        {"over it with Shift", false, {5, 5}, {ssShift}, rbsNormal},
        {"away", false, {-1, -1}, {}, rbsNormal},
        {"captured, inside", true, {5, 5}, {ssLeft}, rbsPressed},
        {"captured, dragged out", true, {200, 5}, {ssLeft}, rbsHot},
    };
    for (const Case& c : cases) {
        if (c.captured) SetCapture(first->Handle());
        first->UpdateState(mbLeft, c.shift, c.p);
        EXPECT_EQ(first->State(), c.state) << c.what;
        if (c.captured) ReleaseCapture();
    }
    first->SetEnabled(false);
    first->UpdateState(mbLeft, {}, POINT{5, 5});
    EXPECT_EQ(first->State(), rbsDisabled);
}

TEST_F(RadioButtons, FocusingAnUncheckedButtonChecksItWithOneClick)
{
    second->SetFocus();
    Pump();
    EXPECT_TRUE(second->Checked());
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0], second);
    first->SetFocus();
    Pump();
    EXPECT_TRUE(first->Checked());
    EXPECT_FALSE(second->Checked());
    EXPECT_EQ(clicked.size(), 2u);
    second->SetChecked(true);  // checking by the program still clicks
    EXPECT_EQ(clicked.size(), 3u);
}

TEST_F(RadioButtons, ThePopupMenuTakesMenusOnlyAndOpensAtTheCornerForTheKey)
{
    auto* menu = CreateObject<TPopupMenu>(form);
    auto* notAMenu = CreateObject<TComponent>(form);
    first->SetPopupMenu(notAMenu);
    EXPECT_EQ(first->PopupMenu(), nullptr);
    first->SetPopupMenu(menu);
    EXPECT_EQ(first->PopupMenu(), menu);
    std::vector<POINT> shown;
    TPopupMenu::SetTracker([&](TPopupMenu*, int x, int y) -> TMenuItem* {
        shown.push_back(POINT{x, y});
        return nullptr;
    });
    first->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(first->Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
    ASSERT_EQ(shown.size(), 1u);
    const POINT corner = first->ClientToScreen(POINT{0, 0});
    EXPECT_EQ(shown[0].x, corner.x);
    EXPECT_EQ(shown[0].y, corner.y);
    const POINT outside = first->ClientToScreen(POINT{150, 5});
    first->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(first->Handle()),
                   MAKELPARAM(static_cast<WORD>(outside.x), static_cast<WORD>(outside.y)));
    EXPECT_EQ(shown.size(), 1u) << "a point outside is left to the platform";
    menu->Free();
    EXPECT_EQ(first->PopupMenu(), nullptr);
}

TEST_F(RadioButtons, TheTextRectangleIsCorrectedByPlacementStyleAndWrapping)
{
    struct Case {
        bool inplace, native, wordWrap;
        TLeftRight alignment;
        RECT expected;  // from (0, 0, 100, 20)
    };
    const Case cases[] = {
        {true, false, false, taLeftJustify, {5, 0, 99, 20}},
        {true, true, true, taRightJustify, {3, 0, 100, 20}},
        {false, false, false, taLeftJustify, {2, -1, 99, 20}},
        {false, false, false, taRightJustify, {5, -1, 100, 20}},
        {false, false, true, taLeftJustify, {2, -1, 94, 20}},
        {false, false, true, taRightJustify, {5, -1, 98, 20}},
        {false, true, false, taLeftJustify, {0, -1, 99, 20}},
        {false, true, false, taRightJustify, {3, -1, 100, 20}},
        {false, true, true, taLeftJustify, {0, -1, 97, 20}},
        {false, true, true, taRightJustify, {3, -1, 100, 20}},
    };
    for (const Case& c : cases) {
        first->inplace = c.inplace;
        first->SetWordWrap(c.wordWrap);
        first->SetAlignment(c.alignment);
        const RECT r = first->CorrectTextRect(RECT{0, 0, 100, 20}, c.native);
        EXPECT_TRUE(EqualRect(&r, &c.expected)) << c.inplace << c.native << c.wordWrap << c.alignment << " gives "
                                                << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

TEST_F(RadioButtons, TheMarkSitsBesideTheCaptionAndShowsTheCheck)
{
    const SIZE glyph = cxRadioButtonGlyphSize();
    EXPECT_GE(glyph.cx, 10);
    EXPECT_LE(glyph.cx, 13);
    const RECT g = first->GlyphRect();
    EXPECT_EQ(g.left, 1);
    EXPECT_EQ(g.top, (20 - glyph.cy) / 2);
    const int cx = (g.left + g.right) / 2, cy = (g.top + g.bottom) / 2;
    first->SetChecked(false);
    Pump();
    const std::uint32_t uncheckedCentre = Pixel(first, cx, cy);
    first->SetChecked(true);
    Pump();
    EXPECT_NE(Pixel(first, cx, cy), uncheckedCentre) << "the dot";
    EXPECT_EQ(Pixel(first, g.right + 2, 1), Rgb(first->Color()));

    second->SetAlignment(taLeftJustify);
    Pump();
    EXPECT_EQ(second->GlyphRect().right, second->Width());
    const RECT sg = second->GlyphRect();
    const int sx = (sg.left + sg.right) / 2, sy = (sg.top + sg.bottom) / 2;
    const std::uint32_t secondUnchecked = Pixel(second, sx, sy);
    second->SetChecked(true);
    Pump();
    EXPECT_NE(Pixel(second, sx, sy), secondUnchecked) << "the dot at the right";
    EXPECT_EQ(Pixel(second, sg.left - 1, 1), Rgb(second->Color()));
}

}  // namespace
