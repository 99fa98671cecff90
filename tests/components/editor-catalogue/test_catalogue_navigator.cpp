// The navigator on a form: which buttons a data control enables, how
// clicks reach it, the strip's size, the mouse with auto-repeat, keys,
// hints, images, binding, and what the user sees of it.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "components/editor-catalogue/cxNavigator.h"
#include "platform/hostlib/core/form_resource.h"
#include "platform/hostlib/visual/imagelist.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

// A data control as the navigator sees it, recording the actions asked of it.
class TFakeDataControl : public TComponent, public IcxNavigator {
public:
    static TClass StaticClass() { return DefineClass<TFakeDataControl, TComponent>("TFakeDataControl"); }
    TClass ClassType() const override { return StaticClass(); }

    bool CanDelete() override { return canDelete; }
    bool CanEdit() override { return canEdit; }
    bool CanInsert() override { return canInsert; }
    bool GetNavigatorIsActive() override { return active; }
    bool IsBOF() override { return bof; }
    bool IsBookmarkAvailable() override { return bookmark; }
    bool GetIsEditing() override { return editing; }
    bool IsEOF() override { return eof; }
    void ClearBookmark() override { bookmark = false; }
    void DoAction(int index) override
    {
        actions.push_back(index);
        if (onAction) onAction(index);
    }
    TcxNavigatorControlNotifier* GetNotifier() override { return notifier.get(); }
    bool IsActionSupported(int index) override { return !unsupported.count(index); }
    void Reset()
    {
        active = canInsert = canDelete = canEdit = true;
        bof = eof = editing = bookmark = false;
    }

    bool active = true, bof = false, eof = false, canInsert = true, canDelete = true, canEdit = true;
    bool editing = false, bookmark = false;
    std::set<int> unsupported;
    std::vector<int> actions;
    std::function<void(int)> onAction;
    ObjectPtr<TcxNavigatorControlNotifier> notifier = MakeObject<TcxNavigatorControlNotifier>();
};

class Navigator : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        form = NewForm(400, 200);
        data = CreateObject<TFakeDataControl>(form);
        nav = Add<TcxNavigator>(form, "Nav", 10, 10, 300, 25);
        nav->LookAndFeel()->SetKind(lfStandard);
    }
    void Show()
    {
        form->Show();
        Pump();
    }
    // "1" per effectively enabled button, in index order.
    std::string EnabledMask()
    {
        std::string mask;
        for (int i = 0; i < NavigatorButtonCount; ++i) mask += nav->Buttons()->Button(i)->GetInternalEnabled() ? '1' : '0';
        return mask;
    }
    RECT Bounds(int index)
    {
        TcxNavigatorViewInfo* vi = nav->ViewInfo();
        if (vi->IsDirty()) vi->Calculate();
        for (int i = 0; i < vi->ButtonCount(); ++i)
            if (vi->ButtonViewInfo(i).Button->DefaultIndex() == index) return vi->ButtonViewInfo(i).Bounds;
        ADD_FAILURE() << "button " << index << " is not shown";
        return RECT{};
    }
    POINT Centre(int index)
    {
        const RECT r = Bounds(index);
        return At(nav, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Where the default glyph of a standard button sits in the navigator.
    POINT GlyphOrigin(int index)
    {
        const RECT r = Bounds(index);
        return POINT{r.left + (r.right - r.left - 12) / 2, r.top + (r.bottom - r.top - 11) / 2};
    }

    TFakeDataControl* data = nullptr;
    TcxNavigator* nav = nullptr;
};

TEST_F(Navigator, TheDataControlsStateDecidesWhichButtonsAreEnabled)
{
    EXPECT_EQ(EnabledMask(), "000000000000000") << "unbound";
    nav->Buttons()->ClickButton(NBDI_NEXT);
    EXPECT_TRUE(data->actions.empty());

    nav->SetControl(data);
    struct Case {
        const char* what;
        std::function<void()> set;
        const char* mask;
    };
    const std::vector<Case> cases = {
        {"browsing", [] {}, "111111111001101"},
        {"at the start", [&] { data->bof = true; }, "000111111001101"},
        {"at the end, editing, bookmark kept", [&] { data->eof = data->editing = data->bookmark = true; },
         "111000110111111"},
        {"read-only", [&] { data->canEdit = data->canInsert = data->canDelete = false; }, "111111000001101"},
        {"inactive: only Filter", [&] { data->active = false; }, "000000000000001"},
        {"the navigator disabled", [&] { nav->SetEnabled(false); }, "000000000000000"},
        {"Delete switched off", [&] { nav->Buttons()->Delete()->SetEnabled(false); }, "111111101001101"},
    };
    for (const Case& c : cases) {
        data->Reset();
        nav->SetEnabled(true);
        nav->Buttons()->Delete()->SetEnabled(true);
        c.set();
        EXPECT_EQ(EnabledMask(), c.mask) << c.what;
    }
}

TEST_F(Navigator, ClicksGoToOnClickElseTheEventElseTheDataControl)
{
    nav->SetControl(data);
    std::vector<std::string> log;
    nav->Buttons()->OnButtonClick = TcxNavigatorButtonClickEvent::FromFunction([&](TObject* sender, int index, bool& done) {
        EXPECT_EQ(sender, nav->Buttons());
        log.push_back("event " + std::to_string(index));
        done = index == NBDI_INSERT;
    });
    nav->Buttons()->Refresh()->OnClick = TNotifyEvent::FromFunction([&](TObject* sender) {
        EXPECT_EQ(sender, nav->Buttons()->Refresh());
        log.push_back("own");
    });
    for (int index : {NBDI_INSERT, NBDI_NEXT, NBDI_REFRESH}) nav->Buttons()->ClickButton(index);
    EXPECT_EQ(log, (std::vector<std::string>{"event 6", "event 3", "own"}));
    EXPECT_EQ(data->actions, std::vector<int>{NBDI_NEXT});

    // After the action the buttons re-read their states without a new layout.
    Show();
    data->onAction = [&](int) { data->eof = true; };
    nav->Buttons()->ClickButton(NBDI_NEXT);
    EXPECT_EQ(nav->ViewInfo()->GetButtonState(NBDI_NEXT), cxbsDisabled);
    EXPECT_EQ(nav->ViewInfo()->GetButtonState(NBDI_PRIOR), cxbsNormal);
}

TEST_F(Navigator, TheStripIsAsWideAsItsButtonsWithExtraSpaceSharedEvenly)
{
    Show();
    struct Case {
        TcxLookAndFeelKind kind;
        int requested, width, firstWidth, lastWidth;
    };
    // Standard buttons need 12 + 2 + 2 + 1 = 17 pixels; ultra-flat ones 15,
    // and 16 at either end.
    const Case cases[] = {
        {lfStandard, 300, 300, 20, 20}, {lfStandard, 310, 300, 20, 20}, {lfStandard, 100, 255, 17, 17},
        {lfUltraFlat, 227, 227, 16, 16}, {lfUltraFlat, 260, 257, 18, 18},
    };
    for (const Case& c : cases) {
        nav->LookAndFeel()->SetKind(c.kind);
        Pump();
        nav->SetBounds(10, 10, c.requested, 3);
        EXPECT_EQ(nav->Width(), c.width) << c.requested;
        EXPECT_EQ(nav->Height(), 5) << "raised to the buttons' least height";
        EXPECT_EQ(Bounds(NBDI_FIRST).right - Bounds(NBDI_FIRST).left, c.firstWidth) << c.requested;
        EXPECT_EQ(Bounds(NBDI_FILTER).right - Bounds(NBDI_FILTER).left, c.lastWidth) << c.requested;
        EXPECT_EQ(Bounds(NBDI_FILTER).right, c.width);
    }
    nav->SetBounds(10, 10, 300, 25);
    EXPECT_EQ(nav->Height(), 25);
    for (int i = 0; i < NavigatorButtonCount; ++i) nav->Buttons()->Button(i)->SetVisible(false);
    EXPECT_EQ(nav->Width(), 0);
}

TEST_F(Navigator, AnUnsupportedActionHidesItsButtonUnlessVisibleWasSet)
{
    Show();
    data->unsupported = {NBDI_FILTER, NBDI_SAVEBOOKMARK};
    nav->Buttons()->SaveBookmark()->SetVisible(false);
    nav->Buttons()->SaveBookmark()->SetVisible(true);
    nav->SetControl(data);
    EXPECT_FALSE(nav->Buttons()->Filter()->Visible());
    EXPECT_TRUE(nav->Buttons()->SaveBookmark()->Visible());
    EXPECT_FALSE(nav->Buttons()->Filter()->IsVisibleAssigned()) << "not stored in a form resource";
    EXPECT_EQ(nav->ViewInfo()->ButtonCount(), 14);
    EXPECT_EQ(nav->Width() % 14, 0) << "300 shrinks to the nearest share among 14 buttons";
    nav->RestoreButtons();
    EXPECT_FALSE(nav->Buttons()->SaveBookmark()->Visible());
    nav->SetControl(nullptr);
    EXPECT_TRUE(nav->Buttons()->Filter()->Visible());
}

TEST_F(Navigator, BindingRefusesOtherComponentsAndEndsWhenTheControlGoes)
{
    Show();
    TComponent* plain = CreateObject<TComponent>(form);
    nav->SetControl(plain);
    EXPECT_EQ(nav->Control(), nullptr);
    nav->SetControl(data);
    EXPECT_EQ(data->notifier->Count(), 1);

    // The data control refreshes its navigators through the notifier.
    data->eof = true;
    data->notifier->RefreshNavigatorButtons();
    EXPECT_EQ(nav->ViewInfo()->GetButtonState(NBDI_LAST), cxbsDisabled);

    auto* other = CreateObject<TFakeDataControl>(form);
    nav->SetControl(other);
    EXPECT_EQ(data->notifier->Count(), 0);
    EXPECT_EQ(other->notifier->Count(), 1);
    other->Free();
    EXPECT_EQ(nav->Control(), nullptr);
    EXPECT_EQ(EnabledMask(), "000000000000000");

    nav->SetControl(data);
    nav->Free();
    EXPECT_EQ(data->notifier->Count(), 0) << "a freed navigator leaves the notifier";
}

TEST_F(Navigator, HoldingNextRepeatsAndOnlyAReleaseOverThePressedButtonClicks)
{
    nav->SetControl(data);
    Show();
    auto count = [&](int index) { return static_cast<int>(std::count(data->actions.begin(), data->actions.end(), index)); };

    // Held: after 400 ms, then every 100 ms, and once more on release.
    Screen().MoveMouse(Centre(NBDI_NEXT));
    Screen().ButtonDown(Centre(NBDI_NEXT));
    Pump();
    EXPECT_EQ(nav->ViewInfo()->GetButtonState(NBDI_NEXT), cxbsPressed);
    std::vector<int> seen;
    for (int step = 0; step < 6; ++step) {
        Advance(100);
        seen.push_back(count(NBDI_NEXT));
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 0, 0, 1, 2, 3}));
    Screen().ButtonUp(Centre(NBDI_NEXT));
    Pump();
    EXPECT_EQ(count(NBDI_NEXT), 4);

    // Sliding off pauses the repeat, and a release elsewhere clicks nothing.
    data->actions.clear();
    Screen().ButtonDown(Centre(NBDI_NEXT));
    Pump();
    Advance(100);
    Advance(300);
    Screen().MoveMouse(Centre(NBDI_LAST));
    Pump();
    Advance(100);
    Advance(100);
    Screen().ButtonUp(Centre(NBDI_LAST));
    Pump();
    EXPECT_EQ(data->actions, std::vector<int>{NBDI_NEXT});

    // Delete neither repeats nor deletes when the pointer slides off it.
    data->actions.clear();
    Screen().MoveMouse(Centre(NBDI_DELETE));
    Screen().ButtonDown(Centre(NBDI_DELETE));
    Pump();
    Advance(100);
    Advance(400);
    Screen().MoveMouse(At(nav, 5, 40));
    Screen().ButtonUp(At(nav, 5, 40));
    Pump();
    EXPECT_TRUE(data->actions.empty());
    Screen().Click(Centre(NBDI_DELETE));
    Pump();
    EXPECT_EQ(data->actions, std::vector<int>{NBDI_DELETE});

    // A disabled button takes no press.
    data->actions.clear();
    data->bof = true;
    data->notifier->RefreshNavigatorButtons();
    Screen().Click(Centre(NBDI_FIRST));
    Pump();
    EXPECT_TRUE(data->actions.empty());
}

TEST_F(Navigator, LeftAndRightMoveTheFocusedButtonAndSpaceClicksIt)
{
    nav->SetControl(data);
    nav->SetTabStop(true);
    Show();
    nav->SetFocus();
    Pump();
    EXPECT_EQ(nav->ViewInfo()->FocusedButton(), nav->Buttons()->First());
    Key(VK_LEFT);
    EXPECT_EQ(nav->ViewInfo()->FocusedButton(), nav->Buttons()->First()) << "no wrap at the start";
    data->bof = true;
    data->notifier->RefreshNavigatorButtons();
    Key(VK_SPACE);
    EXPECT_TRUE(data->actions.empty()) << "First is disabled";
    for (int i = 0; i < 20; ++i) Key(VK_RIGHT);
    EXPECT_EQ(nav->ViewInfo()->FocusedButton(), nav->Buttons()->Filter()) << "no wrap at the end";
    Key(VK_LEFT);
    Key(VK_SPACE);
    EXPECT_TRUE(data->actions.empty()) << "Goto Bookmark without a bookmark";
    Key(VK_LEFT);
    Key(VK_SPACE);
    EXPECT_EQ(data->actions, std::vector<int>{NBDI_SAVEBOOKMARK});

    // A hidden focused button gives the focus back to the first one shown.
    nav->Buttons()->SaveBookmark()->SetVisible(false);
    nav->Buttons()->First()->SetVisible(false);
    EXPECT_EQ(nav->ViewInfo()->FocusedButton(), nav->Buttons()->PriorPage());
}

TEST_F(Navigator, AHintShowsTheShortPartBelowThePointerAfterAPause)
{
    nav->SetControl(data);
    nav->SetShowHint(true);
    nav->Buttons()->Next()->SetHint("Go|Moves to the next record");
    Show();
    TcxNavigatorViewInfo* vi = nav->ViewInfo();
    const POINT over = Centre(NBDI_NEXT);
    Screen().MoveMouse(over);
    Pump();
    Advance(400);
    EXPECT_FALSE(vi->HintShowing());
    Advance(100);
    ASSERT_TRUE(vi->HintShowing());
    EXPECT_EQ(vi->HintWindow()->Caption(), "Go");
    EXPECT_EQ(vi->HintWindow()->Top(), over.y + GetSystemMetrics(SM_CYCURSOR)) << "a cursor without an image";
    EXPECT_EQ(vi->HintWindow()->Left(), over.x);
    EXPECT_EQ(vi->HintWindow()->Color(), Application->HintColor());

    // Moving to the next button moves the hint at once; an empty own hint
    // shows the default one.
    Screen().MoveMouse(Centre(NBDI_LAST));
    Pump();
    ASSERT_TRUE(vi->HintShowing());
    EXPECT_EQ(vi->HintWindow()->Caption(), "Last record");

    nav->Perform(WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_FALSE(vi->HintShowing()) << "a key hides it";
    Screen().MoveMouse(At(nav, 5, 60));
    Pump();
    Advance(600);
    EXPECT_FALSE(vi->HintShowing()) << "no button under the pointer";

    nav->SetShowHint(false);
    Screen().MoveMouse(Centre(NBDI_NEXT));
    Pump();
    Advance(600);
    EXPECT_FALSE(vi->HintShowing());
}

TEST_F(Navigator, OwnImagesReplaceADefaultGlyphOnlyWithAnImageIndex)
{
    auto images = MakeObject<TImageList>(static_cast<TComponent*>(nullptr));
    images->SetSize(12, 11);
    auto red = MakeObject<TBitmap>();
    red->SetSize(12, 11);
    red->Canvas()->Brush()->SetColor(clRed);
    red->Canvas()->FillRect(RECT{0, 0, 12, 11});
    images->AddMasked(red.get(), clNone);
    nav->SetControl(data);
    nav->Buttons()->SetImages(images.get());
    nav->Buttons()->Prior()->SetImageIndex(0);
    Show();
    const POINT prior = GlyphOrigin(NBDI_PRIOR), next = GlyphOrigin(NBDI_NEXT);
    EXPECT_EQ(Pixel(nav, prior.x + 1, prior.y + 1), Rgb(clRed));
    EXPECT_EQ(Pixel(nav, next.x + 4, next.y + 5), Rgb(clBlack)) << "ImageIndex -1 keeps the default glyph";
    EXPECT_EQ(Pixel(nav, next.x + 1, next.y + 1), Rgb(clBtnFace));

    images.reset();
    EXPECT_EQ(nav->Buttons()->Images(), nullptr) << "a freed list is let go";
    Pump();
    EXPECT_EQ(Pixel(nav, prior.x + 5, prior.y + 5), Rgb(clBlack));
}

TEST_F(Navigator, AFormShowsEnabledAndEmbossedGlyphsAndTheHotFrame)
{
    nav->SetControl(data);
    data->bof = true;
    Show();
    // Next's triangle: its tip column at x 4, row 5 of the glyph.
    const POINT next = GlyphOrigin(NBDI_NEXT), prior = GlyphOrigin(NBDI_PRIOR);
    EXPECT_EQ(Pixel(nav, next.x + 4, next.y + 5), Rgb(clBlack));
    EXPECT_EQ(Pixel(nav, next.x + 8, next.y + 6), Rgb(clBtnFace));
    // Prior is disabled: shadow over a highlight one pixel down and right.
    EXPECT_EQ(Pixel(nav, prior.x + 5, prior.y + 5), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(nav, prior.x + 8, prior.y + 6), Rgb(clBtnHighlight));

    // Pressed: the glyph moves one pixel right and down.
    Screen().MoveMouse(Centre(NBDI_NEXT));
    Screen().ButtonDown(Centre(NBDI_NEXT));
    Pump();
    EXPECT_EQ(Pixel(nav, next.x + 4, next.y + 5), Rgb(clBtnFace));
    EXPECT_EQ(Pixel(nav, next.x + 5, next.y + 6), Rgb(clBlack));
    Screen().ButtonUp(Centre(NBDI_NEXT));
    Pump();

    // Ultra-flat: the frame lights up while the pointer is over a button.
    nav->LookAndFeel()->SetKind(lfUltraFlat);
    Screen().MoveMouse(At(nav, 5, 60));
    Pump();
    EXPECT_EQ(Pixel(nav, 0, 0), Rgb(clBtnShadow));
    Screen().MoveMouse(Centre(NBDI_NEXT));
    Pump();
    EXPECT_TRUE(nav->ViewInfo()->Selected());
    EXPECT_EQ(Pixel(nav, 0, 0), Rgb(clHighlight));
    Screen().MoveMouse(At(nav, 5, 60));
    Pump();
    Advance(50);
    EXPECT_EQ(Pixel(nav, 0, 0), Rgb(clBtnShadow));
}

TEST_F(Navigator, AFormResourcePlacesANavigatorWithItsButtons)
{
    nav->SetControl(data);
    data->SetName("Data");
    nav->Buttons()->Delete()->SetHint("Remove");
    nav->Buttons()->Filter()->SetVisible(false);
    nav->Buttons()->SetConfirmDelete(false);
    const std::string text = WriteFormResource(form);
    EXPECT_EQ(text.find("Next.Visible"), std::string::npos) << "set by nobody, so not stored:\n" << text;

    RegisterClasses({TForm::StaticClass(), TcxNavigator::StaticClass(), TFakeDataControl::StaticClass()});
    ObjectPtr<TComponent> loaded(CreateFromFormResource(text, "navigator.form", nullptr));
    auto* copy = As<TcxNavigator>(loaded->FindComponent("Nav"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Control(), loaded->FindComponent("Data"));
    EXPECT_EQ(copy->Buttons()->Delete()->Hint(), "Remove");
    EXPECT_FALSE(copy->Buttons()->Filter()->Visible());
    EXPECT_TRUE(copy->Buttons()->Filter()->IsVisibleAssigned());
    EXPECT_FALSE(copy->Buttons()->ConfirmDelete());
    EXPECT_FALSE(copy->TabStop());
}

}  // namespace
