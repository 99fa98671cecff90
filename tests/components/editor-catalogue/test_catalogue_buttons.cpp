// The look-and-feel push button: glyph counts and layout, colours, the
// shared glyph lists, what a form shows, and the drop-down kinds.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxButtons.h"
#include "platform/controls/ctldefs.h"
#include "platform/hostlib/visual/actnlist.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

// Olive with a red square over (4, 4)-(12, 12) in every image.
ObjectPtr<TBitmap> SquareGlyph(int images, int side = 16)
{
    auto bmp = MakeObject<TBitmap>();
    bmp->SetSize(side * images, side);
    bmp->Canvas()->Brush()->SetColor(cxButtonGlyphMaskColor);
    bmp->Canvas()->FillRect(RECT{0, 0, side * images, side});
    bmp->Canvas()->Brush()->SetColor(clRed);
    for (int i = 0; i < images; ++i) bmp->Canvas()->FillRect(RECT{i * side + 4, 4, i * side + 12, 12});
    return bmp;
}

ObjectPtr<TBitmap> PlainBitmap(int w, int h)
{
    auto bmp = MakeObject<TBitmap>();
    bmp->SetSize(w, h);
    return bmp;
}

class Buttons : public CatalogueTest {
protected:
    TcxButton* NewButton(int w = 100, int h = 30)
    {
        if (!form) form = NewForm(300, 200);
        const int n = count_++;
        auto* b = Add<TcxButton>(form, "Button" + std::to_string(n), 10, 10 + 40 * n, w, h);
        UseFixedFace(b->Font());
        return b;
    }
    int count_ = 0;
};

TEST_F(Buttons, TheGlyphBitmapsAspectGivesTheNumberOfImages)
{
    struct Case {
        int width, height, before, after;
    };
    const Case cases[] = {{64, 16, 1, 4}, {80, 16, 2, 1}, {50, 16, 2, 2}, {32, 16, 1, 2}, {16, 0, 3, 3}};
    for (const Case& c : cases) {
        auto glyph = MakeObject<TcxButtonGlyph>();
        glyph->SetNumGlyphs(c.before);
        auto bmp = PlainBitmap(c.width, c.height);
        glyph->SetGlyph(bmp.get());
        EXPECT_EQ(glyph->NumGlyphs(), c.after) << c.width << " x " << c.height;
    }
    auto glyph = MakeObject<TcxButtonGlyph>();
    glyph->SetNumGlyphs(9);
    EXPECT_EQ(glyph->NumGlyphs(), 4);
}

TEST_F(Buttons, LayoutPlacesGlyphAndCaptionByMarginAndSpacing)
{
    struct Case {
        const char* what;
        TButtonLayout layout;
        int margin, spacing;
        SIZE text;
        bool rightToLeft;
        POINT glyph;
        int textStart;  // along the layout axis
    };
    const SIZE caption{40, 16};
    const Case cases[] = {
        {"centred", blGlyphLeft, -1, 4, caption, false, {20, 2}, 40},
        {"spread", blGlyphLeft, -1, -1, caption, false, {14, 2}, 44},
        {"margin 3, spacing spreads", blGlyphLeft, 3, -1, caption, false, {3, 2}, 39},
        {"no caption ignores spacing", blGlyphLeft, -1, 4, {0, 0}, false, {42, 2}, 58},
        {"glyph right", blGlyphRight, -1, 4, caption, false, {64, 2}, 20},
        {"right-to-left swaps", blGlyphLeft, -1, 4, caption, true, {64, 2}, 20},
        {"glyph top", blGlyphTop, 2, 4, caption, false, {42, 2}, 22},
    };
    for (const Case& c : cases) {
        const TcxButtonLayoutResult r = cxCalcButtonLayout(RECT{0, 0, 100, 60}, POINT{0, 0}, SIZE{16, 16}, c.text,
                                                           c.layout, c.margin, c.spacing, c.rightToLeft);
        EXPECT_EQ(r.GlyphPos.x, c.glyph.x) << c.what;
        if (c.layout == blGlyphTop) EXPECT_EQ(r.TextBounds.top, c.textStart) << c.what;
        else EXPECT_EQ(r.TextBounds.left, c.textStart) << c.what;
    }
    // No glyph: the caption alone is centred; offsets move both parts.
    const TcxButtonLayoutResult r =
        cxCalcButtonLayout(RECT{5, 5, 105, 35}, POINT{1, 1}, SIZE{0, 0}, caption, blGlyphLeft, -1, 4, false);
    EXPECT_EQ(r.TextBounds.left, 5 + 1 + 30);
    EXPECT_EQ(r.TextBounds.top, 5 + 1 + (30 - 16 - 1) / 2);
}

TEST_F(Buttons, ColoursTrackWhichStatesAreAssigned)
{
    TcxButton* b = NewButton();
    TcxButtonColors* colors = b->Colors();
    colors->SetHot(clRed);
    colors->SetNormal(clLime);
    EXPECT_TRUE(colors->AssignedColors().Contains(cxbsHot));
    colors->SetHot(clDefault);
    EXPECT_EQ(colors->Hot(), clDefault);
    EXPECT_FALSE(colors->AssignedColors().Contains(cxbsHot));
    colors->SetNormal(clNone);
    EXPECT_EQ(colors->Normal(), clDefault);
    EXPECT_TRUE(colors->AssignedColors().Empty());
    colors->SetPressed(clBlue);
    colors->SetAssignedColors({});  // honoured at design time only
    EXPECT_TRUE(colors->AssignedColors().Contains(cxbsPressed));
    EXPECT_EQ(colors->Pressed(), clBlue);
}

TEST_F(Buttons, GlyphListsAreSharedBySizeTheirSlotsReusedAndTheCacheGoesWithTheLastGlyph)
{
    TcxButton* a = NewButton();
    TcxButton* b = NewButton();
    auto glyph = SquareGlyph(1);
    a->SetGlyph(glyph.get());
    b->SetGlyph(glyph.get());
    form->Show();
    Pump();
    ASSERT_NE(cxButtonGlyphCache(), nullptr);
    TcxGlyphList* list = a->ButtonGlyph()->GlyphList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(b->ButtonGlyph()->GlyphList(), list);
    EXPECT_EQ(cxButtonGlyphCache()->Count(), 1);
    const int slot = a->ButtonGlyph()->ImageIndex(bgkUp);
    const int images = list->Count();

    a->SetGlyph(glyph.get());  // a new bitmap drops the images made
    EXPECT_EQ(a->ButtonGlyph()->ImageIndex(bgkUp), -1);
    EXPECT_EQ(a->ButtonGlyph()->CreateButtonGlyph(cxbsNormal), slot);
    EXPECT_EQ(list->Count(), images);

    auto big = SquareGlyph(1, 20);
    b->SetGlyph(big.get());
    b->ButtonGlyph()->CreateButtonGlyph(cxbsNormal);
    EXPECT_EQ(cxButtonGlyphCache()->Count(), 2);
    a->Free();
    b->Free();
    EXPECT_EQ(cxButtonGlyphCache(), nullptr);
}

TEST_F(Buttons, AFormShowsGlyphCaptionColourAndTheHotBorder)
{
    TcxButton* b = NewButton();
    auto glyph = SquareGlyph(1);
    b->SetGlyph(glyph.get());
    b->SetCaption("ABCDE");
    b->Colors()->SetNormal(clLime);
    b->Colors()->SetDefault(clLime);
    TcxButton* off = NewButton();
    off->SetGlyph(glyph.get());
    off->SetEnabled(false);
    form->Show();
    Pump();
    // The glyph at x 20, y 7; the square inside it at (24, 11)-(32, 19).
    EXPECT_EQ(Pixel(b, 28, 15), Rgb(clRed));
    EXPECT_EQ(Pixel(b, 22, 15), Rgb(clLime)) << "olive is the glyph's mask";
    const std::uint32_t text = Rgb(b->Painter()->ButtonSymbolColor(b->CurrentState()));
    int inCaption = 0, pastCaption = 0;
    for (int x = 36; x < 94; ++x)
        for (int y = 6; y < 24; ++y) (x >= 40 && x < 80 ? inCaption : pastCaption) += Pixel(b, x, y) == text;
    EXPECT_GT(inCaption, 0);
    EXPECT_EQ(pastCaption, 0);
    // Disabled with one image: the embossed square.
    const int dy = (30 - 16) / 2;
    EXPECT_EQ(Pixel(off, 42 + 6, dy + 6), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(off, 42 + 12, dy + 12), Rgb(clBtnHighlight));

    EXPECT_NE(Pixel(b, 0, 0), Rgb(clHighlight));
    Screen().MoveMouse(At(b, 50, 3));
    Pump();
    EXPECT_TRUE(b->IsHot());
    EXPECT_EQ(Pixel(b, 0, 0), Rgb(clHighlight));
    Screen().MoveMouse(At(b, 150, 3));
    Pump();
    Advance(50);
    EXPECT_FALSE(b->IsHot());
    EXPECT_NE(Pixel(b, 0, 0), Rgb(clHighlight));
}

// An action list whose images are 16 x 16: a blank one, then a blue
// square over (4, 4)-(12, 12) on an olive mask.
struct ActionImages {
    ActionImages()
    {
        images->SetSize(16, 16);
        auto blank = SquareGlyph(1);
        blank->Canvas()->Brush()->SetColor(cxButtonGlyphMaskColor);
        blank->Canvas()->FillRect(RECT{0, 0, 16, 16});
        images->AddMasked(blank.get(), cxButtonGlyphMaskColor);
        auto blue = SquareGlyph(1);
        blue->Canvas()->Brush()->SetColor(clBlue);
        blue->Canvas()->FillRect(RECT{4, 4, 12, 12});
        images->AddMasked(blue.get(), cxButtonGlyphMaskColor);
        list->SetImages(images.get());
        action->SetActionList(list.get());
        action->SetCaption("ABCDE");
    }
    ObjectPtr<TImageList> images = MakeObject<TImageList>(nullptr);
    ObjectPtr<TActionList> list = MakeObject<TActionList>(nullptr);
    ObjectPtr<TAction> action = MakeObject<TAction>(nullptr);
};

TEST_F(Buttons, AButtonWithoutAGlyphShowsItsActionsImageOnFuchsia)
{
    ActionImages a;
    a.action->SetImageIndex(1);
    TcxButton* b = NewButton();
    b->Colors()->SetNormal(clLime);
    b->Colors()->SetDefault(clLime);
    b->SetAction(a.action.get());
    EXPECT_EQ(b->Caption(), "ABCDE");
    ASSERT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(b->Glyph()->Canvas()->Pixel(0, 15), clFuchsia);
    EXPECT_EQ(b->Glyph()->Canvas()->Pixel(8, 8), clBlue);
    form->Show();
    Pump();
    // Laid out as any 16-pixel glyph: at x 20, y 7, the square at (24, 11)-(32, 19).
    EXPECT_EQ(Pixel(b, 28, 15), Rgb(clBlue));
    EXPECT_EQ(Pixel(b, 22, 15), Rgb(clLime)) << "the fuchsia around the image is transparent";
    EXPECT_EQ(Pixel(b, 22, 9), Rgb(clLime));
    // Once the button has a glyph, a later image of the action leaves it.
    a.action->SetImageIndex(0);
    EXPECT_EQ(b->Glyph()->Canvas()->Pixel(8, 8), clBlue);
}

TEST_F(Buttons, TheActionsImageIsTakenOnlyWhenThereIsOneAndTheButtonHasNoGlyph)
{
    struct Case {
        const char* what;
        int imageIndex;
        bool inList;
        bool withImages;
        bool ownGlyph;
        TColor centre;  // the glyph's centre pixel afterwards; clNone for no glyph
    };
    const Case cases[] = {
        {"taken", 1, true, true, false, clBlue},
        {"own glyph kept", 1, true, true, true, clRed},
        {"no image index", -1, true, true, false, clNone},
        {"index past the images", 2, true, true, false, clNone},
        {"action outside a list", 1, false, true, false, clNone},
        {"list without images", 1, true, false, false, clNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ActionImages a;
        a.action->SetImageIndex(c.imageIndex);
        if (!c.inList) a.action->SetActionList(nullptr);
        if (!c.withImages) a.list->SetImages(nullptr);
        TcxButton* b = NewButton();
        if (c.ownGlyph) b->SetGlyph(SquareGlyph(1).get());
        b->SetAction(a.action.get());
        if (c.centre == clNone) EXPECT_TRUE(b->Glyph()->Empty());
        else EXPECT_EQ(b->Glyph()->Canvas()->Pixel(8, 8), c.centre);
        b->SetAction(nullptr);
    }
    // An image index given after the action was assigned reaches the button.
    ActionImages a;
    TcxButton* b = NewButton();
    b->SetAction(a.action.get());
    EXPECT_TRUE(b->Glyph()->Empty());
    a.action->SetImageIndex(1);
    EXPECT_EQ(b->Glyph()->Canvas()->Pixel(8, 8), clBlue);
}

class DropDown : public Buttons {
protected:
    void SetUp() override
    {
        Buttons::SetUp();
        button = NewButton();
        menu = CreateObject<TPopupMenu>(form);
        for (int i = 0; i < 3; ++i) {
            auto* item = CreateObject<TMenuItem>(menu);
            item->SetCaption("Item");
            menu->Items()->Add(item);
        }
        button->SetDropDownMenu(menu);
        button->SetKind(cxbkDropDownButton);
        button->OnClick = TNotifyEvent::FromFunction([this](TObject*) { ++clicks; });
        form->Show();
        Pump();
    }
    TcxButton* button = nullptr;
    TPopupMenu* menu = nullptr;
    int clicks = 0;
};

TEST_F(DropDown, ThePartAtTheRightOpensTheMenuBelowWithoutPressingTheMainPart)
{
    std::vector<POINT> shown;
    bool pressed = true, visible = false;
    TPopupMenu::SetTracker([&](TPopupMenu* m, int x, int y) -> TMenuItem* {
        shown.push_back(POINT{x, y});
        pressed = button->IsPressed();
        visible = button->IsMenuVisible();
        EXPECT_EQ(m->PopupComponent(), button);
        return nullptr;
    });
    Screen().Click(At(button, 92, 10));
    Pump();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].x, button->ClientToScreen(POINT{0, 0}).x);
    EXPECT_EQ(shown[0].y, button->ClientToScreen(POINT{0, button->Height()}).y);
    EXPECT_FALSE(pressed);
    EXPECT_TRUE(visible);
    EXPECT_FALSE(button->IsMenuVisible());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(menu->PopupComponent(), nullptr) << "restored after the popup";

    Screen().Click(At(button, 30, 10));
    Pump();
    EXPECT_EQ(shown.size(), 1u) << "the main part is a plain button";
    EXPECT_EQ(clicks, 1);
}

TEST_F(DropDown, AClickWhileTheMenuIsOpenClosesItWithoutAClick)
{
    TPopupMenu::SetTracker([&](TPopupMenu*, int, int) -> TMenuItem* {
        button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 10));
        return nullptr;
    });
    Screen().Click(At(button, 92, 10));
    Pump();
    Screen().ButtonUp(At(button, 30, 10));
    Pump();
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->IsMenuVisible());
    TPopupMenu::SetTracker(nullptr);
    Screen().Click(At(button, 30, 10));
    Pump();
    EXPECT_EQ(clicks, 1) << "the next click is a click again";
}

TEST_F(DropDown, AMenuThatWouldCrossTheWorkAreaOpensAbove)
{
    const POINT below = button->ClientToScreen(POINT{0, button->Height()});
    const int menuHeight = GetPopupMenuHeight(menu);
    Screen().SetWorkArea(RECT{0, 0, 1280, below.y + menuHeight - 1});
    std::vector<POINT> shown;
    TPopupMenu::SetTracker([&](TPopupMenu*, int x, int y) -> TMenuItem* {
        shown.push_back(POINT{x, y});
        return nullptr;
    });
    button->SetKind(cxbkDropDown);
    Pump();
    Screen().ButtonDown(At(button, 30, 10));
    Pump();
    Screen().ButtonUp(At(button, 30, 10));
    Pump();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].y, below.y - (menuHeight + button->Height() + 2));
    EXPECT_EQ(clicks, 0) << "the whole button opens the menu";
}

}  // namespace
