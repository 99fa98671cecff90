// The stand-alone progress bar on a form of the headless display: its size,
// that it never takes the focus, its clamped position, and what the window
// shows (the fill, the inverted text, a transparent bar's parent).
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <string>

#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "platform/windows/winuser.h"
#include "tests/components/editor-catalogue/progress_bar_cells.h"

using namespace hostlib;
using namespace visualtest;

namespace {

struct ProgressBarControlTest : cataloguetest::CatalogueTest {
    void SetUp() override
    {
        CatalogueTest::SetUp();
        cxProgressBarInitialize();
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        cxProgressBarFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        CatalogueTest::TearDown();
    }
    TcxProgressBar* NewBar(int x = 10, int y = 10)
    {
        auto* bar = CreateObject<TcxProgressBar>(form);
        bar->SetLeft(x);
        bar->SetTop(y);
        bar->SetParent(form);
        return bar;
    }
    // The display answers 0xRRGGBB.
    TColor At(TWinControl* c, int x, int y)
    {
        const std::uint32_t p = Pixel(c, x, y);
        return static_cast<TColor>(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
};

TEST_F(ProgressBarControlTest, ANewBarIsSmallAndNeverTakesTheFocus)
{
    form = NewForm();
    auto* other = Add<TTraceControl>(form, "other", 10, 60, 50, 20);
    other->SetTabStop(true);
    TcxProgressBar* bar = NewBar();
    EXPECT_EQ(bar->Width(), 121);
    EXPECT_EQ(bar->Height(), 21);
    EXPECT_TRUE(bar->ParentColor());
    EXPECT_EQ(bar->Properties()->ClassType(), TcxProgressBarProperties::StaticClass());
    EXPECT_EQ(bar->Properties()->GetContainerClass(), TcxProgressBar::StaticClass());
    form->Show();
    Pump();
    EXPECT_FALSE(bar->CanFocus());
    ClickAt(bar);
    Pump();
    EXPECT_NE(form->ActiveControl(), bar) << "a click does not focus it";
    other->SetFocus();
    Pump();
    for (int i = 0; i < 3; ++i) {
        Key(VK_TAB);
        Pump();
        EXPECT_NE(form->ActiveControl(), bar) << "Tab passes it by";
    }
    EXPECT_FALSE(bar->GetNotPublishedStyleValues().Empty());
    EXPECT_TRUE(bar->GetNotPublishedStyleValues().Contains(csvHotTrack));
}

TEST_F(ProgressBarControlTest, ThePositionStaysInsideTheRangeUnlessLoading)
{
    form = NewForm();
    TcxProgressBar* bar = NewBar();
    int changes = 0;
    bar->Properties()->OnEditValueChanged = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    EXPECT_EQ(bar->EditValue().AsDouble(), 100);
    EXPECT_EQ(changes, 1);
    bar->SetPosition(100);
    EXPECT_EQ(changes, 1) << "the same position changes nothing";

    bar->SetPosition(80);
    bar->Properties()->SetMax(50);
    EXPECT_EQ(bar->EditValue().AsDouble(), 50) << "a lower Max lowers the value";
    EXPECT_EQ(bar->Position(), 50);

    TcxProgressBar* loading = NewBar(10, 40);
    loading->IncludeState(csLoading);
    loading->SetPosition(150);
    EXPECT_EQ(loading->EditValue().AsDouble(), 150) << "stored as read while loading";
    loading->ExcludeState(csLoading);
    EXPECT_TRUE(loading->GetPositionStored());
}

TEST_F(ProgressBarControlTest, TheWindowShowsTheFillAndTheInvertedText)
{
    form = NewForm();
    TcxProgressBar* bar = NewBar();
    UseFixedFace(bar->Style()->Font());
    bar->Style()->SetColor(cataloguetest::ProgressBarCell::kBackground);
    bar->Properties()->SetShowText(false);
    bar->SetPosition(50);
    form->Show();
    Pump();
    const TcxCustomProgressBarViewInfo* info = bar->GetViewInfo();
    const RECT inner = info->InnerRect;
    ASSERT_GT(inner.right - inner.left, 100);
    const int filled = 50 * (inner.right - inner.left) / 100;
    for (int y = inner.top; y < inner.bottom; y += 5) {
        for (int x = inner.left; x < inner.left + filled; ++x) ASSERT_EQ(At(bar, x, y), clNavy) << x << "," << y;
        EXPECT_EQ(At(bar, inner.left + filled, y), cataloguetest::ProgressBarCell::kBackground);
    }
    EXPECT_EQ(info->ProgressBarRect.right, inner.left + filled);

    bar->Properties()->SetShowText(true);
    Pump();
    int inverted = 0, plain = 0;
    for (int y = inner.top; y < inner.bottom; ++y)
        for (int x = inner.left; x < inner.right; ++x) {
            const TColor p = At(bar, x, y);
            inverted += p == 0x7FFFFF;
            plain += p == clBlack;
            if (p == 0x7FFFFF) {
                EXPECT_LT(x, inner.left + filled) << "inverted only over the fill";
            }
            if (p == clBlack) {
                EXPECT_GE(x, inner.left + filled) << "the text colour only beside it";
            }
        }
    EXPECT_GT(inverted, 10);
    EXPECT_GT(plain, 10);
}

TEST_F(ProgressBarControlTest, ATransparentBarShowsItsParentAndFollowsAMove)
{
    form = NewForm(300, 100);
    // Stripes 10 pixels wide: the bar shows the ones behind it.
    form->OnPaint = TNotifyEvent::FromFunction([&](TObject*) {
        for (int x = 0; x < 300; x += 10) {
            form->Canvas()->Brush()->SetColor((x / 10) % 2 ? TColor{0x2080C0} : TColor{0xC08020});
            form->Canvas()->FillRect(RECT{x, 0, x + 10, 100});
        }
    });
    TcxProgressBar* bar = NewBar(20, 20);
    bar->Properties()->SetShowText(false);
    bar->Properties()->SetTransparent(true);
    EXPECT_TRUE(bar->IsRefreshOnWindowPosChangedNeeded());
    form->Show();
    Pump();
    // Column 60 of the bar lies at form column 80 (an even stripe).
    EXPECT_EQ(At(bar, 60, 10), 0xC08020);
    EXPECT_EQ(At(bar, 70, 10), 0x2080C0);
    bar->SetLeft(30);
    Pump();
    EXPECT_EQ(At(bar, 60, 10), 0x2080C0) << "form column 90 after the move";
    EXPECT_EQ(At(bar, 70, 10), 0xC08020);
}

}  // namespace
