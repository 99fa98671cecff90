// The small editing control in a real X11 window under the test's own
// Xvfb: the server shows what the control painted, buffered and not, a
// click on a cell reaches the controller, which focuses that cell, and the
// pointer over a cut-off text brings up its hint window, and a drag takes
// a translucent picture of the cell along.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "components/editors/cxEditPaintUtils.h"
#include "tests/components/treelist/inplace_test_control.h"
#include "tests/components/x11_form_fixture.h"

using namespace hostlib;
using namespace treelisttest;

namespace {

class InplaceContainerOnX11 : public x11test::X11FormTest {
protected:
    void InitUnits() override
    {
        cxInplaceContainerInitialize();
        kind = std::make_unique<DefaultTextKind>();
    }
    void DoneUnits() override
    {
        items.clear();
        kind.reset();
        cxInplaceContainerFinalize();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
    }

    std::unique_ptr<DefaultTextKind> kind;
    std::vector<ObjectPtr<TTestItem>> items;
};

TEST_F(InplaceContainerOnX11, TheServerShowsTheCellsAndAClickFocusesOne)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 200);
    auto* control = CreateObject<TTestControl>(form);
    control->SetBounds(10, 10, 240, 120);
    control->SetBorderStyle(cxcbsNone);
    control->Font()->SetName(quelvo::gfx::kFixedTestFace);
    control->Font()->SetHeight(-16);
    control->OptionsBehavior()->SetImmediateEditor(false);
    for (int i = 0; i < 2; ++i) {
        items.emplace_back(CreateObject<TTestItem>(nullptr));
        items.back()->SetEditingControl(control);
    }
    control->DataController()->SetRecordCount(3);
    for (int r = 0; r < 3; ++r)
        for (int i = 0; i < 2; ++i) control->DataController()->SetValue(r, i, Variant("x" + std::to_string(r)));
    control->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] {
        XWindowAttributes wa{};
        const auto w = static_cast<::Window>(x_->XWindowOf(form->Handle()));
        return w && XGetWindowAttributes(other_, w, &wa) && wa.map_state == IsViewable;
    }));
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "unbuffered";
    control->SetBufferedPaint(true);
    control->Invalidate();
    Settle();
    EXPECT_EQ(Mismatches(form->Handle()), 0) << "buffered";

    TTestCell* cell = control->TestViewInfo()->Cell(2, 1);
    ASSERT_NE(cell, nullptr);
    ClickScreen(control->ClientToScreen(POINT{cell->ClipRect.left + 5, cell->ClipRect.top + 5}));
    EXPECT_TRUE(PumpUntil([&] { return control->Controller()->FocusedItem() == items[1].get(); }));
    EXPECT_EQ(control->DataController()->GetFocusedRecordIndex(), 2);
    items.clear();
}

TEST_F(InplaceContainerOnX11, ThePointerOverACutOffTextBringsUpItsHint)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 200);
    auto* control = CreateObject<TTestControl>(form);
    control->SetBounds(10, 10, 240, 120);
    control->SetBorderStyle(cxcbsNone);
    control->Font()->SetName(quelvo::gfx::kFixedTestFace);
    control->Font()->SetHeight(-16);
    control->OptionsBehavior()->SetCellHints(true);
    items.emplace_back(CreateObject<TTestItem>(nullptr));
    items.back()->SetEditingControl(control);
    control->DataController()->SetRecordCount(2);
    control->DataController()->SetValue(0, 0, Variant("short"));
    control->DataController()->SetValue(1, 0, Variant("a much longer text"));
    control->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    TcxHotTrackController* hot = control->Controller()->HotTrackController();
    TTestCell* cell = control->TestViewInfo()->Cell(1, 0);
    ASSERT_NE(cell, nullptr);
    ClickScreen(control->ClientToScreen(POINT{cell->ClipRect.left + 5, cell->ClipRect.top + 5}), 1, false, false);
    ASSERT_TRUE(PumpUntil([&] { return hot->HintVisible() && Viewable(hot->HintWindow()->Handle()); }));
    Settle();
    HWND hint = hot->HintWindow()->Handle();
    EXPECT_EQ(Mismatches(hint), 0) << "the server shows the hint as painted";
    const COLORREF paper = ColorToRGB(Application->HintColor());
    const std::uint32_t expected = (GetRValue(paper) << 16) | (GetGValue(paper) << 8) | GetBValue(paper);
    EXPECT_EQ(ServerPixel(hint, 1, 1), expected);
    RECT r{};
    GetWindowRect(hint, &r);
    const POINT origin = control->ClientToScreen(POINT{cell->ViewInfo()->Bounds.left, cell->ViewInfo()->Bounds.top});
    EXPECT_EQ(r.left, origin.x - 1);
    EXPECT_EQ(r.top, origin.y - 1);
    items.clear();
}

TEST_F(InplaceContainerOnX11, ADragTakesATranslucentPictureAlong)
{
    TForm* form = Application->CreateForm<TForm>();
    form->SetBounds(60, 60, 300, 200);
    auto* control = CreateObject<TTestControl>(form);
    control->SetBounds(10, 10, 240, 120);
    control->SetBorderStyle(cxcbsNone);
    control->OptionsBehavior()->SetImmediateEditor(false);
    control->OptionsBehavior()->SetDragDropText(true);
    items.emplace_back(CreateObject<TTestItem>(nullptr));
    items.back()->SetEditingControl(control);
    control->DataController()->SetRecordCount(2);
    control->SetParent(form);
    form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Viewable(form->Handle()); }));
    Settle();

    const POINT start = control->ClientToScreen(POINT{30, 5});
    ClickScreen(start, 1, true, false);
    ASSERT_TRUE(PumpUntil([&] { return control->Controller()->MousePressed(); }));
    control->BeginDrag(true);
    const POINT to{start.x + 50, start.y + 70};
    ClickScreen(POINT{start.x + 10, start.y + 10}, 1, false, false);
    ClickScreen(to, 1, false, false);
    TcxDragImageHelper* helper = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        helper = control->DragImageHelper();
        return helper && helper->DragImageVisible() && helper->ImageRect().left == to.x - 30 &&
               Viewable(helper->ImageWindow());
    }));
    Settle();
    HWND window = helper->ImageWindow();
    const POINT root = RootPosition(x_->XWindowOf(window));
    EXPECT_EQ(root.x, to.x - 30);
    EXPECT_EQ(root.y, to.y - 5);
    // Blended by the server: the colour itself, or premultiplied by the
    // window's opacity on a visual with alpha.
    const COLORREF left = ColorToRGB(TTestControl::kDragLeft);
    const std::uint32_t pixel = ServerPixel(window, 2, 2);
    const int blue = static_cast<int>(pixel & 0xFF);
    const int full = GetBValue(left), premultiplied = full * TcxDragImageHelper::kDragImageAlpha / 255;
    EXPECT_TRUE(std::abs(blue - full) <= 1 || std::abs(blue - premultiplied) <= 1) << std::hex << pixel;

    ClickScreen(to, 1, false, true);
    EXPECT_TRUE(PumpUntil([&] { return control->DragImageHelper() == nullptr; }));
    EXPECT_FALSE(IsWindow(window));
    items.clear();
}

} // namespace
