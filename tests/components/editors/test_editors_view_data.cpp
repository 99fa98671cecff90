// Editor layout and painting without a control: buttons placed, stretched,
// hidden and pressed by the view data, frames and buttons painted by the
// view info, and minimal repaints. The fixed-metrics face (8 pixels a
// character) and a palette of distinct system colours make every width and
// pixel exact.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <climits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "components/editors/cxEditViewData.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/uxtheme.h"
#include "tests/components/editors/editors_canvas.h"
#include "tests/platform/graphics/canvas.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline void PrintTo(const RECT& r, std::ostream* os)
{
    *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const POINT& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

using namespace hostlib;
using namespace visualtest;
using quelvo::gfx::test::Distinct;

namespace {

COLORREF Sys(int index) { return Distinct(index); }

struct Layout {
    ObjectPtr<TcxCustomEditProperties> properties = MakeObject<TcxCustomEditProperties>(nullptr);
    ObjectPtr<TFont> font = MakeObject<TFont>();
    ObjectPtr<TcxEditStyle> style;
    ObjectPtr<TcxCustomEditViewData> viewData;
    ObjectPtr<TcxCustomEditViewInfo> viewInfo = MakeObject<TcxCustomEditViewInfo>();

    // A cell's style holds what the list control feeds in; a stand-alone
    // editor's resolves its values.
    explicit Layout(bool inplace)
    {
        font->SetName(quelvo::gfx::kFixedTestFace);
        font->SetHeight(-16);
        style.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), inplace));
        if (inplace)
            style->SetFont(font.get());
        else
            style->Font()->Assign(font.get());
        style->LookAndFeel()->SetKind(lfStandard);
    }
    TcxEditButton* AddButton(TcxEditButtonKind kind, int width = 0, bool left = false)
    {
        auto* button = static_cast<TcxEditButton*>(properties->Buttons()->Add());
        button->SetKind(kind);
        button->SetWidth(width);
        button->SetLeftAlignment(left);
        return button;
    }
    TcxCustomEditViewData* Data(bool inplace)
    {
        viewData.reset(properties->CreateViewData(style.get(), inplace));
        return viewData.get();
    }
    void Calculate(TcxCanvas* canvas, const RECT& bounds, POINT p = {-1, -1}, TcxMouseButton button = cxmbNone,
                   TShiftState shift = {}, bool isMouseEvent = false)
    {
        viewData->CalculateEx(canvas, bounds, p, button, shift, viewInfo.get(), isMouseEvent);
    }
    TcxEditButtonViewInfo* Button(int i) const { return viewInfo->ButtonsInfo[static_cast<size_t>(i)].get(); }
};

struct ViewDataTest : VisualTest {
    quelvo::editors::test::FixedCanvas cv{120, 60};
    ObjectPtr<TCanvas> host = MakeObject<TCanvas>();
    TcxCanvas canvas{nullptr};
    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        host->SetHandle(cv.dc());
        canvas.SetCanvas(host.get());
    }
    void TearDown() override
    {
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        VisualTest::TearDown();
    }
};

TEST_F(ViewDataTest, RightButtonsLineUpFromTheOutsideIn)
{
    Layout cell(true);
    cell.AddButton(bkEllipsis);
    cell.AddButton(bkEllipsis);
    cell.Data(true)->CalculateEx(&canvas, RECT{0, 0, 100, 20}, POINT{-1, -1}, cxmbNone, {}, cell.viewInfo.get(), false);
    ASSERT_EQ(cell.viewInfo->ButtonCount(), 2);
    EXPECT_EQ(cell.Button(1)->Bounds, (RECT{83, 0, 100, 20})) << "the collection's last button is the outermost";
    EXPECT_EQ(cell.Button(0)->Bounds, (RECT{66, 0, 83, 20}));
    EXPECT_TRUE(cell.Button(1)->Data.Rightmost);
    EXPECT_TRUE(cell.Button(0)->Data.Leftmost);
    EXPECT_FALSE(cell.Button(0)->Data.Rightmost);
    EXPECT_EQ(cell.Button(0)->Data.Style, bts3D) << "a standard cell's buttons are 3-D";
    EXPECT_EQ(cell.viewInfo->ClientRect.right, 66);
}

TEST_F(ViewDataTest, ButtonWidthsByKind)
{
    struct Case {
        const char* name;
        TcxEditButtonKind kind;
        const char* caption;
        int width;
        int expected;
    } cases[] = {
        {"ellipsis", bkEllipsis, "", 0, 17},
        {"text wider than a scroll bar", bkText, "&OK", 0, 4 + 16 + 3},
        {"text narrower", bkText, "&W", 0, 17},
        {"fixed width", bkDown, "", 30, 30},
        {"fixed below the margin", bkDown, "", 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout cell(true);
        cell.AddButton(c.kind, c.width)->SetCaption(c.caption);
        cell.Data(true);
        cell.Calculate(&canvas, RECT{0, 0, 100, 20});
        EXPECT_EQ(cell.Button(0)->Bounds.right - cell.Button(0)->Bounds.left, c.expected);
    }
}

TEST_F(ViewDataTest, ButtonsOnlyStretchesByShareAndMeasuringStaysOut)
{
    Layout cell(true);
    cell.properties->SetButtonsViewStyle(bvsButtonsOnly);
    cell.AddButton(bkDown, 20);
    cell.AddButton(bkDown, 40);
    TcxCustomEditViewData* data = cell.Data(true);
    cell.Calculate(&canvas, RECT{0, 0, 90, 20});
    EXPECT_TRUE(data->ButtonsOnlyStyle);
    EXPECT_EQ(cell.Button(0)->Bounds, (RECT{0, 0, 30, 20})) << "20 + 10";
    EXPECT_EQ(cell.Button(1)->Bounds, (RECT{30, 0, 90, 20})) << "40 + 20";
    cell.Calculate(&canvas, RECT{0, 0, INT_MAX, 20});
    EXPECT_FALSE(data->ButtonsOnlyStyle) << "a measuring pass";
}

TEST_F(ViewDataTest, HiddenButtonsShowWhenFocused)
{
    Layout cell(true);
    cell.AddButton(bkDown);
    cell.style->SetButtonTransparency(ebtHideInactive);
    TcxCustomEditViewData* data = cell.Data(true);
    cell.Calculate(&canvas, RECT{0, 0, 90, 20}, POINT{85, 5});
    EXPECT_EQ(cell.viewInfo->ButtonCount(), 0);
    data->Focused = true;
    cell.Calculate(&canvas, RECT{0, 0, 90, 20});
    EXPECT_EQ(cell.viewInfo->ButtonCount(), 1);
}

TEST_F(ViewDataTest, APressedButtonLetGoOutsideComesBackOnlyWhenCaptured)
{
    struct Step {
        const char* name;
        POINT p;
        TcxMouseButton button;
        TShiftState shift;
        int capture;
        TcxEditButtonState state;
    } steps[] = {
        {"hover", {95, 5}, cxmbNone, {}, -1, ebsSelected},
        {"press", {95, 5}, cxmbLeft, {ssLeft}, -1, ebsPressed},
        {"move out", {40, 5}, cxmbNone, {ssLeft}, 0, ebsNormal},
        {"back, not captured", {95, 5}, cxmbNone, {ssLeft}, -1, ebsNormal},
        {"out again", {40, 5}, cxmbNone, {ssLeft}, 0, ebsNormal},
        {"back, captured", {95, 5}, cxmbNone, {ssLeft}, 0, ebsPressed},
    };
    Layout edit(false);
    edit.AddButton(bkDown);
    TcxCustomEditViewData* data = edit.Data(false);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        data->CaptureButtonVisibleIndex = s.capture;
        data->IsMouseCaptured = s.capture >= 0;
        edit.Calculate(&canvas, RECT{0, 0, 100, 20}, s.p, s.button, s.shift, true);
        EXPECT_EQ(edit.Button(0)->Data.State, s.state);
        EXPECT_EQ(edit.viewInfo->PressedButton, s.state == ebsPressed ? 0 : -1);
    }
}

TEST_F(ViewDataTest, SizesWithoutAControl)
{
    Layout edit(false);
    edit.style->SetBorderStyle(ebsSingle);
    edit.style->SetTransparentBorder(false);
    TcxEditSizeProperties size;
    SIZE minContent{};
    SIZE constant = edit.properties->GetEditConstantPartSize(&canvas, edit.style.get(), false, size, minContent);
    EXPECT_EQ(constant.cx, 2) << "a one-pixel border on both sides";
    EXPECT_EQ(constant.cy, 2);
    size.Width = 50;
    SIZE whole = edit.properties->GetEditSize(&canvas, edit.style.get(), false, Variant(), size);
    EXPECT_EQ(whole.cx, 50);
    EXPECT_EQ(whole.cy, 2);
    edit.AddButton(bkEllipsis);
    edit.properties->SetButtonsViewStyle(bvsButtonsOnly);
    SIZE content = edit.properties->GetEditContentSize(&canvas, edit.style.get(), false, Variant(), size);
    EXPECT_EQ(content.cy, 16 + 4) << "the height of \"Zg\" and the correction";
}

// ---- painting ----------------------------------------------------------------------

class ThrowingViewInfo : public TcxCustomEditViewInfo {
public:
    static TClass StaticClass() { return DefineClass<ThrowingViewInfo, TcxCustomEditViewInfo>("TThrowingViewInfo"); }
    TClass ClassType() const override { return StaticClass(); }

protected:
    void InternalPaint(TcxCanvas*) override { throw std::runtime_error("paint"); }
};

TEST_F(ViewDataTest, PaintExDrawsAtTheOriginAndPutsItBack)
{
    Layout edit(false);
    edit.style->SetBorderStyle(ebsSingle);
    edit.style->SetTransparentBorder(false);
    edit.style->SetBorderColor(clHighlight);
    edit.style->SetColor(clInfoBk);
    edit.Data(false);
    edit.Calculate(&canvas, RECT{10, 20, 50, 40});
    cv.Clear(quelvo::gfx::test::kWhite);
    edit.viewInfo->PaintEx(&canvas);
    EXPECT_EQ(cv.At(10, 20), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(cv.At(49, 39), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(cv.At(11, 21), Sys(COLOR_INFOBK));
    EXPECT_EQ(cv.At(9, 19), quelvo::gfx::test::kWhite);
    EXPECT_EQ(canvas.WindowOrg(), (POINT{0, 0}));

    auto throwing = MakeObject<ThrowingViewInfo>();
    throwing->Left = 10;
    throwing->Top = 20;
    EXPECT_THROW(throwing->PaintEx(&canvas), std::runtime_error);
    EXPECT_EQ(canvas.WindowOrg(), (POINT{0, 0})) << "also when painting fails";
}

TEST_F(ViewDataTest, FramesByBorderStyle)
{
    struct Case {
        const char* name;
        TcxEditBorderStyle border;
        POINT probe;
        int role; // a system colour index
    } cases[] = {
        {"single", ebsSingle, {0, 5}, COLOR_WINDOWFRAME},
        {"thick: two pixels", ebsThick, {1, 5}, COLOR_WINDOWFRAME},
        {"flat: sunken outer edge", ebsFlat, {0, 5}, COLOR_BTNSHADOW},
        {"flat: face inside", ebsFlat, {1, 5}, COLOR_BTNFACE},
        {"3-D: dark inner frame", ebs3D, {1, 5}, COLOR_3DDKSHADOW},
        {"3-D: light inner frame", ebs3D, {58, 5}, COLOR_3DLIGHT},
        {"none: background to the edge", ebsNone, {0, 5}, COLOR_INFOBK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout edit(false);
        edit.style->SetBorderStyle(c.border);
        edit.style->SetTransparentBorder(false);
        edit.style->SetColor(clInfoBk);
        edit.Data(false);
        edit.Calculate(&canvas, RECT{0, 0, 60, 20});
        cv.Clear(quelvo::gfx::test::kWhite);
        edit.viewInfo->PaintEx(&canvas);
        EXPECT_EQ(cv.At(c.probe.x, c.probe.y), Sys(c.role));
    }
}

TEST_F(ViewDataTest, ButtonBordersByStyleAndState)
{
    struct Case {
        const char* name;
        TcxEditButtonStyle style;
        bool pressed;
        POINT probe; // relative to the button
        int role;
    } cases[] = {
        {"3-D normal: light outside", bts3D, false, {0, 0}, COLOR_3DLIGHT},
        {"3-D normal: dark bottom", bts3D, false, {16, 19}, COLOR_3DDKSHADOW},
        {"3-D normal: face inside", bts3D, false, {3, 3}, COLOR_BTNFACE},
        {"3-D pressed: shadow frame", bts3D, true, {0, 0}, COLOR_BTNSHADOW},
        {"flat normal: highlight top", btsFlat, false, {5, 0}, COLOR_BTNHIGHLIGHT},
        {"flat pressed: shadow top", btsFlat, true, {5, 0}, COLOR_BTNSHADOW},
        {"hot-flat inner: shadow frame", btsHotFlat, false, {0, 5}, COLOR_BTNSHADOW},
        {"hot-flat pressed: text colour inside", btsHotFlat, true, {3, 3}, COLOR_BTNTEXT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout cell(true);
        cell.AddButton(bkEllipsis);
        cell.style->SetButtonStyle(c.style);
        cell.Data(true);
        const POINT at{c.pressed ? 90 : -1, 5};
        cell.Calculate(&canvas, RECT{0, 0, 100, 20}, at, c.pressed ? cxmbLeft : cxmbNone,
                       c.pressed ? TShiftState{ssLeft} : TShiftState{}, c.pressed);
        ASSERT_EQ(cell.Button(0)->Data.State, c.pressed ? ebsPressed : ebsNormal);
        cv.Clear(quelvo::gfx::test::kWhite);
        cell.viewInfo->PaintEx(&canvas);
        const RECT& b = cell.Button(0)->Bounds;
        EXPECT_EQ(cv.At(b.left + c.probe.x, b.top + c.probe.y), Sys(c.role));
    }
}

// Dots of the ellipsis: one pixel up to 11 wide, two from 12.
TEST_F(ViewDataTest, EllipsisDotsGrowWithTheButton)
{
    for (auto [buttonWidth, dot] : {std::pair{15, 1}, std::pair{16, 2}}) {
        SCOPED_TRACE(buttonWidth);
        Layout cell(true);
        cell.AddButton(bkEllipsis, buttonWidth);
        cell.Data(true);
        cell.Calculate(&canvas, RECT{0, 0, 100, 20});
        cv.Clear(quelvo::gfx::test::kWhite);
        cell.viewInfo->PaintEx(&canvas);
        const RECT& b = cell.Button(0)->Bounds;
        int inked = 0, rows = 0;
        for (int y = b.top + 2; y < b.bottom - 2; ++y) {
            int row = 0;
            for (int x = b.left + 2; x < b.right - 2; ++x)
                row += cv.At(x, y) == Sys(COLOR_BTNTEXT) ? 1 : 0;
            inked += row;
            rows += row > 0 ? 1 : 0;
        }
        EXPECT_EQ(rows, dot);
        EXPECT_EQ(inked, 3 * dot * dot);
    }
}

TEST_F(ViewDataTest, RepaintInvalidatesOnlyWhatChanged)
{
    TForm* form = NewForm(200, 100);
    form->Show();
    Pump();
    Layout edit(false);
    edit.AddButton(bkDown);
    TcxCustomEditViewData* data = edit.Data(false);
    edit.Calculate(&canvas, RECT{0, 0, 100, 20});
    auto older = MakeObject<TcxCustomEditViewInfo>();
    older->Assign(edit.viewInfo.get());
    EXPECT_FALSE(edit.viewInfo->Repaint(form, older.get(), cxEmptyRect)) << "nothing changed";
    data->Focused = true;
    edit.Calculate(&canvas, RECT{0, 0, 100, 20}, POINT{95, 5});
    EXPECT_TRUE(edit.viewInfo->Repaint(form, older.get(), cxEmptyRect));
    ObjectPtr<TcxRegion> region(edit.viewInfo->GetUpdateRegion(older.get()));
    EXPECT_FALSE(region->IsEmpty());
}

} // namespace

namespace {

// The theme's own drawing of a part on a clean canvas of the same size.
std::vector<COLORREF> ThemePicture(TdxThemedObjectType type, int state, const RECT& r, int w, int h)
{
    quelvo::gfx::test::Canvas reference(w, h);
    DrawThemeBackground(OpenTheme(type), reference.dc(), 1, state, &r, nullptr);
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels.push_back(reference.At(x, y));
    return pixels;
}

TEST_F(ViewDataTest, NativeEditorsPaintTheirFrameAndDropDownButtonWithTheTheme)
{
    dxUxThemeInitialize();
    dxThemeManagerInitialize();
    for (bool themed : {true, false}) {
        SCOPED_TRACE(themed);
        quelvo::gfx::SetThemeActive(themed);
        CloseAllThemes();
        Layout edit(false);
        edit.style->LookAndFeel()->SetNativeStyle(true);
        edit.AddButton(bkDown);
        TcxCustomEditViewData* data = edit.Data(false);
        EXPECT_EQ(data->NativeStyle, themed);
        edit.Calculate(&canvas, RECT{0, 0, 100, 24});
        TcxEditButtonViewInfo* button = edit.Button(0);
        EXPECT_TRUE(button->Data.ComboBoxStyle);
        EXPECT_EQ(button->Data.NativeState, themed ? 1 : 0);
        EXPECT_EQ(edit.viewInfo->NativeState, themed ? 1 : 0);
        cv.Clear(quelvo::gfx::test::kWhite);
        edit.viewInfo->PaintEx(&canvas);
        if (!themed)
            continue;
        const RECT& b = button->Bounds;
        std::vector<COLORREF> shown;
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < b.right; ++x)
                shown.push_back(cv.At(x, y));
        EXPECT_EQ(shown, ThemePicture(totComboBox, 1, b, cv.width(), cv.height())) << "the theme's drop-down button";
        const std::vector<COLORREF> frame = ThemePicture(totEdit, 1, edit.viewInfo->Bounds, cv.width(), cv.height());
        EXPECT_EQ(cv.At(0, 10), frame[10 * 100]) << "the theme's edit frame on the left";
    }
    quelvo::gfx::SetThemeActive(true);
    dxThemeManagerFinalize();
    dxUxThemeFinalize();
}

} // namespace
