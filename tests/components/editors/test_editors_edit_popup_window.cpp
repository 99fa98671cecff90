// The drop-down editors' popup window on the headless display: border and
// panel geometry, sizes, placement below or above the editor, resizing with
// the mouse, the close button, and what the screen shows.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <algorithm>

#include "components/editors/cxDropDownEdit.h"
#include "components/foundation/cxContainerPopup.h"
#include "components/foundation/cxControls.h"
#include "components/foundation/cxLookAndFeels.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;

namespace {

// An editor that answers the popup's questions with fixed facts.
class TPopupOwner : public TTraceControl, public IcxEditPopupWindowOwner {
public:
    static TClass StaticClass() { return DefineClass<TPopupOwner, TTraceControl>("TPopupOwner"); }
    TClass ClassType() const override { return StaticClass(); }

    bool PopupWindowAcceptsAnySize() override { return true; }
    SIZE GetPopupWindowClientPreferredSize() override { return preferred; }
    RECT GetPopupWindowOwnerControlBounds() override { return RECT{Left(), Top(), Left() + Width(), Top() + Height()}; }
    void PositionPopupWindowChilds(const RECT& clientRect) override { placedClient = clientRect; }
    TcxLookAndFeelKind GetPopupLookAndFeelKind() override { return lfStandard; }
    bool IsPopupLookupDataVisual() override { return rowHeight > 0; }
    // Snaps the client height to whole rows.
    bool CanResizePopupVisualArea(SIZE& clientSize, int) override
    {
        clientSize.cy = std::max(1, clientSize.cy / rowHeight) * rowHeight;
        return true;
    }
    void PopupWindowResizedByUser() override { ++resizedByUser; }
    void ClosePopupWindowByButton() override
    {
        ++closedByButton;
        popup->CloseUp(false);
    }

    SIZE preferred{100, 80};
    RECT placedClient{};
    int rowHeight = 0;
    int resizedByUser = 0;
    int closedByButton = 0;
    TcxCustomEditPopupWindow* popup = nullptr;
};

std::uint32_t ScreenColour(TColor color)
{
    const DWORD bgr = GetSysColor(static_cast<int>(color & 0xFF));
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

class EditPopupWindow : public VisualTest {
protected:
    void SetUp() override
    {
        VisualTest::SetUp();
        dxUxThemeInitialize();
        dxThemeManagerInitialize();
        cxLookAndFeelsInitialize();
        cxControlsInitialize();
        cxContainerPopupInitialize();
        Screen().SetWorkArea(RECT{0, 0, 1000, 800});
        form = NewForm(400, 300);
        edit = Add<TPopupOwner>(form, "edit", 20, 20, 120, 24);
        edit->SetTabStop(true);
        form->Show();
        Pump();
        edit->SetFocus();
        popup = CreateObject<TcxCustomEditPopupWindow>(static_cast<TWinControl*>(edit));
        popup->SetCaptureFocus(false);
        popup->SetModalMode(false);
        popup->SetBorderStyle(epbsSingle);
        edit->popup = popup;
        Pump();
    }
    void TearDown() override
    {
        popup->Free();
        form->Free();
        cxContainerPopupFinalize();
        cxControlsFinalize();
        cxLookAndFeelsFinalize();
        dxThemeManagerFinalize();
        dxUxThemeFinalize();
        Screen().SetWorkArea(RECT{});
        VisualTest::TearDown();
    }
    void Open()
    {
        popup->Popup(edit);
        Pump();
    }
    RECT EditOnScreen()
    {
        const POINT tl = edit->ClientToScreen(POINT{0, 0});
        return RECT{tl.x, tl.y, tl.x + edit->Width(), tl.y + edit->Height()};
    }
    POINT PopupPoint(int x, int y) { return POINT{popup->Left() + x, popup->Top() + y}; }
    void Drag(POINT from, POINT to)
    {
        Screen().MoveMouse(from);
        Screen().ButtonDown(from);
        Pump();
        Screen().MoveMouse(to);
        Pump();
        Screen().ButtonUp(to);
        Pump();
    }
    // A sizeable popup with the panel, grip and close button.
    void MakeSizeable()
    {
        popup->SetSizeable(true);
        popup->SetSysPanelStyle(true);
        popup->SetCloseButton(true);
    }

    TForm* form = nullptr;
    TPopupOwner* edit = nullptr;
    TcxCustomEditPopupWindow* popup = nullptr;
};

TEST(EditPopupWindowViewInfo, BorderExtentPerStyle)
{
    struct Case {
        TcxEditPopupBorderStyle Style;
        bool Native;
        bool ClientEdge;
        int Width;
    };
    const Case cases[] = {
        {epbsDefault, false, false, 0}, {epbsDefault, false, true, 0}, {epbsSingle, false, false, 1},
        {epbsSingle, false, true, 3},   {epbsFrame3D, false, false, 4}, {epbsFrame3D, false, true, 6},
        {epbsFlat, false, false, 2},    {epbsFlat, false, true, 3},     {epbsFlat, true, false, 1},
        {epbsFrame3D, true, true, 3},
    };
    for (const auto& c : cases) {
        auto viewInfo = MakeObject<TcxCustomEditPopupWindowViewInfo>();
        viewInfo->PopupBorderStyle = c.Style;
        viewInfo->NativeStyle = c.Native;
        viewInfo->ClientEdge = c.ClientEdge;
        const RECT plain = viewInfo->GetBorderExtent();
        EXPECT_EQ(plain.left, c.Width) << c.Style << c.Native << c.ClientEdge;
        EXPECT_EQ(plain.top, c.Width);
        viewInfo->Shadow = true;
        const RECT shadowed = viewInfo->GetBorderExtent();
        EXPECT_EQ(shadowed.right, c.Width + 3);
        EXPECT_EQ(shadowed.bottom, c.Width + 3);
        EXPECT_EQ(shadowed.top, c.Width);
        viewInfo->Shadow = false;
        viewInfo->SysPanelStyle = true;
        const int panel = viewInfo->GetSysPanelHeight() + (c.Native || c.Style == epbsSingle ? 1 : 0);
        EXPECT_EQ(viewInfo->GetBorderExtent().bottom, c.Width + panel);
        viewInfo->SizeGripCorner = egcTopLeft;
        EXPECT_EQ(viewInfo->GetBorderExtent().top, c.Width + panel);
        EXPECT_EQ(viewInfo->GetBorderExtent().bottom, c.Width);
    }
}

TEST(EditPopupWindowViewInfo, PanelHeightFollowsMetricsAndItsMinimum)
{
    auto viewInfo = MakeObject<TcxCustomEditPopupWindowViewInfo>();
    const int metrics = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
    EXPECT_EQ(viewInfo->GetSysPanelHeight(), metrics);
    viewInfo->MinSysPanelHeight = metrics + 7;
    EXPECT_EQ(viewInfo->GetSysPanelHeight(), metrics + 7);
    viewInfo->MinSysPanelHeight = 3;
    EXPECT_EQ(viewInfo->GetSysPanelHeight(), metrics);
}

TEST_F(EditPopupWindow, SizeFromPreferredStoredOrMinimumSizes)
{
    struct Case {
        bool AutoSize;
        int Width;
        int Height;
        int MinWidth;
        int MinHeight;
        bool Sizeable;
        SIZE Expected;
    };
    const Case cases[] = {
        {true, 0, 0, 0, 0, false, {102, 82}},
        {true, 300, 300, 0, 0, false, {102, 82}},
        // Width 0 is the editor's width; height 0 the minimum height.
        {false, 0, 0, 0, 0, false, {120, 2}},
        {false, 0, 0, 0, 100, false, {120, 100}},
        {false, 250, 200, 0, 0, false, {250, 200}},
        // Positive minimums count only for a sizeable popup.
        {true, 0, 0, 300, 150, false, {102, 82}},
        {true, 0, 0, 300, 150, true, {300, 150}},
    };
    for (const auto& c : cases) {
        popup->SetPopupAutoSize(c.AutoSize);
        popup->SetPopupWidth(c.Width);
        popup->SetPopupHeight(c.Height);
        popup->SetMinWidth(c.MinWidth);
        popup->SetMinHeight(c.MinHeight);
        popup->SetSizeable(c.Sizeable);
        popup->CalculateSize();
        EXPECT_EQ(popup->Width(), c.Expected.cx) << c.AutoSize << " " << c.Width << " " << c.MinWidth;
        EXPECT_EQ(popup->Height(), c.Expected.cy) << c.AutoSize << " " << c.Height << " " << c.MinHeight;
    }
}

TEST_F(EditPopupWindow, MinimumSizeCoversGripAndCloseButton)
{
    MakeSizeable();
    popup->SetPopupAutoSize(false);
    popup->SetPopupWidth(1);
    popup->SetPopupHeight(1);
    popup->CalculateSize();
    const int panel = popup->ViewInfo()->GetSysPanelHeight();
    EXPECT_EQ(popup->Width(), 2 + (panel - 2) + (panel - 4) + 10);
    EXPECT_EQ(popup->Height(), 2 + panel + 1);
}

TEST_F(EditPopupWindow, OpensBelowWithTheGripAwayFromTheEditorAndShowsItsFrame)
{
    MakeSizeable();
    Open();
    ASSERT_TRUE(popup->IsVisible());
    const RECT e = EditOnScreen();
    EXPECT_EQ(popup->Left(), e.left);
    EXPECT_EQ(popup->Top(), e.bottom);
    auto* vi = popup->ViewInfo();
    EXPECT_EQ(vi->SizeGripCorner, egcBottomRight);
    EXPECT_EQ(vi->ClientRect.top, 1);
    EXPECT_EQ(vi->ClientRect.bottom, popup->Height() - 1 - vi->SysPanelHeight - 1);
    EXPECT_EQ(edit->placedClient.bottom, 0) << "the base popup does not place children";
    // The frame in the button text colour, the client in the face colour,
    // the close button at the left end of the panel, away from the grip.
    EXPECT_EQ(Screen().ScreenPixel(popup->Left(), popup->Top() + 10), ScreenColour(clBtnText));
    EXPECT_EQ(Screen().ScreenPixel(popup->Left() + 50, popup->Top() + 40), ScreenColour(clBtnFace));
    EXPECT_LT(vi->CloseButtonRect.right, vi->SizeGripRect.left);
    EXPECT_GE(vi->SizeGripSizingRect.bottom, popup->Height() - 2);
    EXPECT_NE(Screen().ScreenPixel(popup->Left() + vi->SizeGripRect.right - 3, popup->Top() + vi->SizeGripRect.bottom - 3),
              Screen().ScreenPixel(popup->Left() + vi->SizeGripRect.left + 1, popup->Top() + vi->SizeGripRect.top + 1))
        << "the grip's lines";
}

TEST_F(EditPopupWindow, OpensAboveWithPanelOnTopAndTheEdgeNextToTheEditorFixed)
{
    MakeSizeable();
    form->SetTop(400);
    Pump();
    const RECT e = EditOnScreen();
    Screen().SetWorkArea(RECT{0, 0, 1000, e.bottom + 40});
    Open();
    ASSERT_TRUE(popup->IsVisible());
    EXPECT_EQ(popup->Top() + popup->Height(), e.top);
    auto* vi = popup->ViewInfo();
    EXPECT_EQ(vi->SizeGripCorner, egcTopRight);
    EXPECT_GT(vi->ClientRect.top, vi->SysPanelHeight);
    EXPECT_LT(vi->SizeGripRect.bottom, vi->ClientRect.top);
    const int height = popup->Height();
    const int top = popup->Top();
    // The bottom edge touches the editor: it never drags.
    Drag(PopupPoint(40, height - 1), PopupPoint(40, height + 30));
    EXPECT_EQ(popup->Height(), height);
    EXPECT_EQ(edit->resizedByUser, 0);
    // The grip drags the top and right edges.
    const POINT grip = PopupPoint(vi->SizeGripRect.left + 2, vi->SizeGripRect.top + 2);
    Drag(grip, POINT{grip.x + 20, grip.y - 30});
    EXPECT_EQ(popup->Height(), height + 30);
    EXPECT_EQ(popup->Top(), top - 30);
    EXPECT_EQ(popup->Top() + popup->Height(), e.top);
    EXPECT_GT(edit->resizedByUser, 0);
    EXPECT_TRUE(popup->IsVisible());
}

TEST_F(EditPopupWindow, ResizesFromOuterEdgesWithoutPanelAndSnapsThroughTheList)
{
    popup->SetSizeable(true);
    Open();
    const int width = popup->Width();
    const int height = popup->Height();
    // The right edge, away from the editor.
    Drag(PopupPoint(width - 1, 30), PopupPoint(width + 39, 30));
    EXPECT_EQ(popup->Width(), width + 40);
    // The left edge is on the editor's side when the grip is at the right.
    Drag(PopupPoint(0, 30), PopupPoint(-30, 30));
    EXPECT_EQ(popup->Width(), width + 40);
    // A list that snaps to rows of 16 pixels: less than a row keeps nothing
    // of the drag, a drag past a row takes whole rows.
    edit->rowHeight = 16;
    Drag(PopupPoint(30, height - 1), PopupPoint(30, height + 20));
    EXPECT_EQ((popup->Height() - 2) % 16, 0);
}

TEST_F(EditPopupWindow, CloseButtonClosesOnlyWhenReleasedOverIt)
{
    MakeSizeable();
    Open();
    const RECT r = popup->ViewInfo()->CloseButtonRect;
    const POINT on = PopupPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Drag(on, PopupPoint(60, 20));
    EXPECT_TRUE(popup->IsVisible());
    EXPECT_EQ(edit->closedByButton, 0);
    EXPECT_EQ(popup->ViewInfo()->CloseButtonState, 1);
    Drag(PopupPoint(60, 20), on);
    EXPECT_TRUE(popup->IsVisible()) << "pressed elsewhere";
    Drag(on, on);
    EXPECT_FALSE(popup->IsVisible());
    EXPECT_EQ(edit->closedByButton, 1);
}

TEST_F(EditPopupWindow, TypedCharacterGoesToTheFocusedControl)
{
    Open();
    Log().clear();
    PostMessageA(popup->Handle(), CM_POPUPCONTROLKEY, 'q', 0);
    Pump();
    EXPECT_NE(std::find(Log().begin(), Log().end(), "edit char q"), Log().end());
    popup->CloseUp(false);
    Log().clear();
    PostMessageA(popup->Handle(), CM_POPUPCONTROLKEY, 'r', 0);
    Pump();
    EXPECT_EQ(std::find(Log().begin(), Log().end(), "edit char r"), Log().end()) << "closed";
}

}  // namespace
