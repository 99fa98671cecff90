// The owner-drawn scroll bar on a form of the headless display: its model,
// its parts, the repeat timer on the manual clock, thumb dragging and what
// it paints, through a painter that fills each part in a colour telling
// the part and its state.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <string>
#include <vector>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxScrollBar.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/foundation/cxWinXPLookAndFeelPainters.h"
#include "components/foundation/dxThemeManager.h"
#include "tests/components/foundation/foundation_canvas.h"
#include "platform/controls/ctldefs.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/system/muldiv.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;

namespace {

std::uint32_t PartColor(TcxScrollBarPart part, TcxButtonState state)
{
    return (static_cast<std::uint32_t>(part) * 40u << 16) | (static_cast<std::uint32_t>(state) * 50u << 8) | 7u;
}

class PartPainter : public TcxCustomLookAndFeelPainter {
public:
    explicit PartPainter(bool hotTrack) : hotTrack_(hotTrack) {}
    bool IsButtonHotTrack() const override { return hotTrack_; }
    void DrawScrollBarPart(TcxCanvas* canvas, bool, const RECT& r, TcxScrollBarPart part,
                           TcxButtonState state) const override
    {
        const std::uint32_t rgb = PartColor(part, state);
        canvas->SetBrushColor(static_cast<TColor>(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)));
        canvas->FillRect(r);
    }

private:
    bool hotTrack_;
};
const PartPainter kPlain(false);
const PartPainter kHotTracking(true);

class ScrollBar : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        cxLookAndFeelsInitialize();
        UsePainter(kPlain);
        button = GetSystemMetrics(SM_CXVSCROLL);
    }
    void TearDown() override
    {
        cxLookAndFeelsFinalize();
        VisualTest::TearDown();
        for (int s = 0; s < kLookAndFeelStyleCount; ++s) cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle(s), nullptr);
    }
    static void UsePainter(const PartPainter& painter)
    {
        for (int s = 0; s < kLookAndFeelStyleCount; ++s) cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle(s), &painter);
    }
    // A vertical bar whose track is trackLength pixels long, on a shown form.
    TcxScrollBar* NewBar(int trackLength = 200)
    {
        form = NewForm(200, 400);
        auto* bar = Add<TcxScrollBar>(form, "Bar", 10, 10, 17, trackLength + 2 * button);
        bar->SetKind(sbVertical);
        bar->SetBounds(10, 10, 17, trackLength + 2 * button);
        form->Show();
        Pump();
        return bar;
    }
    void MoveTo(POINT p)
    {
        Screen().MoveMouse(p);
        Pump();
    }
    void Press(POINT p)
    {
        Screen().MoveMouse(p);
        Screen().ButtonDown(p);
        Pump();
    }
    void Release(POINT p)
    {
        Screen().ButtonUp(p);
        Pump();
    }
    // A point of the bar's client area on the screen.
    POINT On(TcxScrollBar* bar, int y, int x = 8) { return bar->ClientToScreen(POINT{x, y}); }
    std::uint32_t Pixel(TcxScrollBar* /*bar*/, int y, int x = 8)
    {
        return Screen().ClientPixel(form->Handle(), 10 + x, 10 + y);
    }

    int button = 0;
    TForm* form = nullptr;
};

TEST_F(ScrollBar, DefaultsAndParameters)
{
    auto* bar = CreateObject<TcxScrollBar>(static_cast<TComponent*>(nullptr));
    EXPECT_EQ(bar->Width(), 121);
    EXPECT_EQ(bar->Height(), GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_EQ(bar->Kind(), sbHorizontal);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->LargeChange(), 1);
    int changes = 0;
    bar->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPageSize(10);
    try {
        bar->SetMax(5);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Scrollbar property out of range");
    }
    EXPECT_THROW(bar->SetMin(101), EInvalidOperation);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(changes, 1);
    // Only max below min or below the page is refused: a position below min
    // is clamped.
    bar->SetParams(-5, 0, 10);
    EXPECT_EQ(bar->Position(), 0);
    bar->Free();
}

TEST_F(ScrollBar, ThumbFollowsPageRangeAndPosition)
{
    struct Case {
        const char* what;
        int min, max, page, position, track;
        bool enabled;
        int thumbStart, thumbEnd;  // along the track; equal for no thumb
    };
    const int systemThumb = GetSystemMetrics(SM_CYVTHUMB);
    const Case cases[] = {
        {"page 10 of 100", 0, 99, 10, 0, 200, true, 0, 20},
        {"at the end", 0, 99, 10, 90, 200, true, 180, 200},
        {"no page", 0, 100, 0, 50, 200, true, MulDiv(200 - systemThumb, 50, 100),
         MulDiv(200 - systemThumb, 50, 100) + systemThumb},
        {"disabled", 0, 99, 10, 0, 200, false, 0, 0},
        {"track below the minimum", 0, 99, 10, 0, 7, true, 0, 0},
        {"a page as large as the range", 10, 99, 90, 10, 200, true, 0, 200},
    };
    for (const auto& c : cases) {
        auto* bar = NewBar(c.track);
        bar->SetScrollParams(c.min, c.max, c.position, c.page);
        bar->SetEnabled(c.enabled);
        const RECT thumb = bar->ThumbnailRect();
        if (c.thumbStart == c.thumbEnd) {
            EXPECT_TRUE(cxRectIsEmpty(thumb)) << c.what;
            EXPECT_TRUE(cxRectIsEmpty(bar->PageUpRect()) && cxRectIsEmpty(bar->PageDownRect())) << c.what;
        } else {
            EXPECT_EQ(thumb.top - button, c.thumbStart) << c.what;
            EXPECT_EQ(thumb.bottom - button, c.thumbEnd) << c.what;
            EXPECT_EQ(bar->PageUpRect().bottom, thumb.top) << c.what;
            EXPECT_EQ(bar->PageDownRect().top, thumb.bottom) << c.what;
        }
        form->Free();
    }
}

TEST_F(ScrollBar, PartsUnderThePoint)
{
    auto* bar = NewBar();
    bar->SetScrollParams(0, 99, 50, 10);
    const RECT thumb = bar->ThumbnailRect();
    const std::pair<POINT, TcxScrollBarPart> cases[] = {
        {{8, 0}, sbpLineUp},
        {{8, button + 200}, sbpLineDown},
        {{8, thumb.top}, sbpThumbnail},
        {{8, thumb.top - 1}, sbpPageUp},
        {{8, thumb.bottom}, sbpPageDown},
        {{17, 5}, sbpNone},
        {{8, -1}, sbpNone},
    };
    for (const auto& [p, part] : cases) EXPECT_EQ(bar->GetScrollBarPart(p), part) << p.x << "," << p.y;
    bar->SetEnabled(false);
    EXPECT_EQ(bar->GetScrollBarPart(POINT{8, 100}), sbpNone);
    EXPECT_EQ(bar->GetScrollBarPart(POINT{8, 1}), sbpLineUp);
}

TEST_F(ScrollBar, ScrollCodesStepClampAndReport)
{
    auto* bar = NewBar();
    bar->SetScrollParams(0, 100, 50, 0);
    bar->SetSmallChange(2);
    bar->SetLargeChange(10);
    std::vector<std::string> seen;
    int changes = 0;
    bar->OnChange = TNotifyEvent::FromFunction([&](TObject*) { ++changes; });
    bar->OnScroll = TScrollEvent::FromFunction([&](TObject*, TScrollCode code, int& position) {
        seen.push_back(std::to_string(code) + ":" + std::to_string(position));
        if (code == scTrack) position = 40;
    });
    const std::pair<WORD, int> steps[] = {{SB_LINEDOWN, 52}, {SB_PAGEUP, 42}, {SB_BOTTOM, 100}, {SB_PAGEDOWN, 100},
                                          {SB_TOP, 0},       {SB_LINEUP, 0}};
    for (const auto& [code, expected] : steps) {
        bar->Perform(CN_VSCROLL, code);
        EXPECT_EQ(bar->Position(), expected) << code;
    }
    EXPECT_EQ(changes, 4);
    // The track code keeps the position unless the handler moves it, and
    // then stores it without a change notice.
    bar->Perform(CN_VSCROLL, SB_THUMBTRACK);
    EXPECT_EQ(bar->Position(), 40);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(seen.front(), "1:52");
    EXPECT_EQ(seen.back(), "5:0");
}

TEST_F(ScrollBar, HoldingAnArrowRepeatsAfter400ThenEvery60WhileOverIt)
{
    auto* bar = NewBar();
    bar->SetScrollParams(0, 1000, 0, 0);
    const POINT arrow = On(bar, button + 200 + 2);
    Press(arrow);
    EXPECT_EQ(bar->Position(), 1) << "a step at once";
    EXPECT_EQ(bar->PressedPart(), sbpLineDown);
    Advance(399);
    EXPECT_EQ(bar->Position(), 1);
    Advance(1);
    EXPECT_EQ(bar->Position(), 2);
    Advance(60);
    EXPECT_EQ(bar->Position(), 3);
    Advance(60);
    EXPECT_EQ(bar->Position(), 4);
    // Off the arrow the repetition pauses; back on it, it goes on.
    MoveTo(On(bar, 100));
    Advance(300);
    EXPECT_EQ(bar->Position(), 4);
    MoveTo(arrow);
    Advance(60);
    EXPECT_EQ(bar->Position(), 5);
    Release(arrow);
    Advance(300);
    EXPECT_EQ(bar->Position(), 5);
    EXPECT_EQ(bar->PressedPart(), sbpNone);
}

TEST_F(ScrollBar, CancelModeDisablingAndHidingEndTheScroll)
{
    for (int way = 0; way < 3; ++way) {
        auto* bar = NewBar();
        bar->SetScrollParams(0, 1000, 0, 0);
        const POINT arrow = On(bar, button + 200 + 2);
        Press(arrow);
        ASSERT_EQ(bar->PressedPart(), sbpLineDown) << way;
        if (way == 0) bar->Perform(WM_CANCELMODE);
        if (way == 1) bar->SetEnabled(false);
        if (way == 2) bar->Hide();
        EXPECT_EQ(bar->PressedPart(), sbpNone) << way;
        Advance(1000);
        EXPECT_EQ(bar->Position(), 1) << way;
        Release(arrow);
        form->Free();
    }
}

TEST_F(ScrollBar, ThumbDraggedTooFarAcrossJumpsBackUnlessTrackingIsUnlimited)
{
    for (bool unlimited : {false, true}) {
        auto* bar = NewBar();
        bar->SetScrollParams(0, 99, 0, 10);
        bar->SetUnlimitedTracking(unlimited);
        int scrolls = 0;
        bar->OnScroll = TScrollEvent::FromFunction([&](TObject*, TScrollCode code, int&) { scrolls += code == scTrack; });
        Press(On(bar, button + 5));
        MoveTo(On(bar, button + 95));
        EXPECT_EQ(bar->ThumbnailRect().top, button + 90) << unlimited;
        EXPECT_EQ(bar->Position(), 45) << unlimited;
        EXPECT_GT(scrolls, 0);
        // 140 pixels beside the bar, past the 136 it tolerates.
        MoveTo(On(bar, button + 95, 17 + 140));
        EXPECT_EQ(bar->ThumbnailRect().top, unlimited ? button + 90 : button) << unlimited;
        EXPECT_EQ(bar->Position(), unlimited ? 45 : 0) << unlimited;
        Release(On(bar, button + 95, 17 + 140));
        EXPECT_EQ(bar->Position(), unlimited ? 45 : 0) << unlimited;
        form->Free();
    }
}

TEST_F(ScrollBar, AThumbThatFillsItsTrackKeepsTheMinimumWhenDragged)
{
    auto* bar = NewBar();
    bar->SetScrollParams(10, 99, 10, 90);
    ASSERT_EQ(bar->ThumbnailRect().top, button);
    ASSERT_EQ(bar->ThumbnailRect().bottom, button + 200);
    Press(On(bar, button + 50));
    MoveTo(On(bar, button + 70));
    Release(On(bar, button + 70));
    EXPECT_EQ(bar->Position(), 10);
}

TEST_F(ScrollBar, PaintsEachPartInItsStateAndMovesTheThumbOnAPageClick)
{
    auto* bar = NewBar();
    bar->SetScrollParams(0, 99, 0, 10);
    bar->SetLargeChange(45);
    Pump();
    EXPECT_EQ(Pixel(bar, 1), PartColor(sbpLineUp, cxbsNormal));
    EXPECT_EQ(Pixel(bar, button + 5), PartColor(sbpThumbnail, cxbsNormal));
    EXPECT_EQ(Pixel(bar, button + 100), PartColor(sbpPageDown, cxbsNormal));
    // A page click: the thumb moves to rows 90..110 of the track.
    const POINT page = On(bar, button + 150);
    Press(page);
    EXPECT_EQ(bar->Position(), 45);
    EXPECT_EQ(Pixel(bar, button + 100), PartColor(sbpThumbnail, cxbsNormal));
    EXPECT_EQ(Pixel(bar, button + 5), PartColor(sbpPageUp, cxbsNormal));
    EXPECT_EQ(Pixel(bar, button + 150), PartColor(sbpPageDown, cxbsPressed));
    Release(page);
    // A pressed arrow shows pressed.
    Press(On(bar, 2));
    EXPECT_EQ(Pixel(bar, 2), PartColor(sbpLineUp, cxbsPressed));
    Release(On(bar, 2));
    bar->SetEnabled(false);
    Pump();
    EXPECT_EQ(Pixel(bar, 2), PartColor(sbpLineUp, cxbsDisabled));
    EXPECT_EQ(Pixel(bar, button + 100), PartColor(sbpPageUp, cxbsNormal)) << "no thumb: one page area";
}

TEST_F(ScrollBar, HotPartsShowOnlyWithHotTrackingPainters)
{
    for (const PartPainter* painter : {&kPlain, &kHotTracking}) {
        UsePainter(*painter);
        auto* bar = NewBar();
        bar->SetScrollParams(0, 99, 0, 10);
        MoveTo(On(bar, 2));
        EXPECT_EQ(bar->HotPart(), sbpLineUp);
        EXPECT_EQ(Pixel(bar, 2), PartColor(sbpLineUp, painter->IsButtonHotTrack() ? cxbsHot : cxbsNormal));
        MoveTo(POINT{1200, 1000});
        form->Free();
    }
}

// With the real painters of every kind registered.
class ScrollBarKinds : public ScrollBar {
protected:
    void SetUp() override
    {
        ScrollBar::SetUp();
        for (int s = 0; s < kLookAndFeelStyleCount; ++s) cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle(s), nullptr);
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxStandardLookAndFeelPaintersInitialize();
        cxUltraFlatLookAndFeelPaintersInitialize();
        cxWinXPLookAndFeelPaintersInitialize();
    }
    void TearDown() override
    {
        cxWinXPLookAndFeelPaintersFinalize();
        cxUltraFlatLookAndFeelPaintersFinalize();
        cxStandardLookAndFeelPaintersFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        ScrollBar::TearDown();
    }
};

TEST_F(ScrollBarKinds, EachKindPaintsThePressedArrowAndThumbOnTheWindowAsOnABitmap)
{
    const std::pair<TcxLookAndFeelKind, bool> looks[] = {
        {lfFlat, false}, {lfStandard, false}, {lfUltraFlat, false}, {lfOffice11, false}, {lfUltraFlat, true}};
    for (const auto& [kind, native] : looks) {
        auto* bar = NewBar(100);
        bar->LookAndFeel()->SetKind(kind);
        bar->LookAndFeel()->SetNativeStyle(native);
        bar->SetScrollParams(0, 99, 30, 10);
        const POINT arrow = On(bar, button + 100 + 2);
        Press(arrow);
        ASSERT_EQ(bar->PressedPart(), sbpLineDown);
        const auto painter = bar->Painter();
        ASSERT_EQ(painter, cxLookAndFeelPainterOfStyle(bar->LookAndFeel()->GetActiveStyle())) << kind;
        if (native) {
            ASSERT_EQ(painter, TcxWinXPLookAndFeelPainter::Class());
        }
        const std::pair<TcxScrollBarPart, TcxButtonState> parts[] = {
            {sbpLineDown, cxbsPressed}, {sbpThumbnail, cxbsNormal}, {sbpLineUp, cxbsNormal}};
        for (const auto& [part, state] : parts) {
            const RECT r = part == sbpLineDown ? bar->LineDownRect()
                           : part == sbpThumbnail ? bar->ThumbnailRect()
                                                  : bar->LineUpRect();
            foundationtest::Surface golden(bar->Width(), bar->Height());
            painter->DrawScrollBarPart(&golden.Canvas(), false, r, part, state);
            int wrong = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) {
                    const COLORREF want = golden.At(x, y);
                    const std::uint32_t rgb = (GetRValue(want) << 16) | (GetGValue(want) << 8) | GetBValue(want);
                    wrong += Pixel(bar, y, x) != rgb;
                }
            EXPECT_EQ(wrong, 0) << "kind " << kind << (native ? " native" : "") << " part " << part;
        }
        Release(arrow);
        form->Free();
    }
}

}  // namespace
