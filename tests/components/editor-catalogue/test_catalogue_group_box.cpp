// The group box and the button group as a user sees them: where the caption
// goes on each edge, the frame with its caption gap, the etched line, the
// turned caption without its accelerator, the styles, and the button group's
// columns, rows, arrow keys and buttons kept in step with the items.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <string>
#include <vector>

#include "components/editor-catalogue/cxGroupBox.h"
#include "components/editor-catalogue/cxRadioGroup.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "platform/windows/winuser.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace cataloguetest;

namespace {

class GroupBoxTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        form = NewForm(400, 300);
        box = Add<TcxGroupBox>(form, "Box", 10, 10, 200, 150);
        UseFixedFace(box->Style()->Font());
        box->Style()->LookAndFeel()->SetNativeStyle(false);
        box->Style()->SetBorderStyle(ebs3D);
        box->SetCaption("Cap");
        form->Show();
        Pump();
    }
    void TearDown() override
    {
        if (form) form->Free();
        form = nullptr;
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        CatalogueTest::TearDown();
    }
    std::uint32_t Background() { return Rgb(box->GetViewInfo()->BackgroundColor()); }
    // The first row, going down column x, that is not the background.
    int FirstLineDown(int x)
    {
        for (int y = 0; y < box->Height(); ++y)
            if (Pixel(box, x, y) != Background()) return y;
        return -1;
    }
    int FirstLineRight(int y)
    {
        for (int x = 0; x < box->Width(); ++x)
            if (Pixel(box, x, y) != Background()) return x;
        return -1;
    }

    TcxGroupBox* box = nullptr;
};

}  // namespace

TEST_F(GroupBoxTest, DefaultsOfTheGroupBox)
{
    auto* fresh = CreateObject<TcxGroupBox>(form);
    EXPECT_EQ(fresh->Width(), 105);
    EXPECT_EQ(fresh->Height(), 185);
    EXPECT_FALSE(fresh->TabStop());
    EXPECT_FALSE(fresh->AutoSize());
    EXPECT_EQ(fresh->Alignment(), alTopLeft);
}

TEST_F(GroupBoxTest, TheCaptionRectangleFollowsTheAlignment)
{
    // "Cap" in the fixed face: 24 wide, 16 high; the box is 200 by 150.
    struct Case {
        TcxCaptionAlignment alignment;
        RECT expected;
    };
    const Case cases[] = {
        {alTopLeft, {8, 0, 32, 16}},          {alTopCenter, {88, 0, 112, 16}},
        {alTopRight, {168, 0, 192, 16}},      {alBottomLeft, {8, 132, 32, 148}},
        {alBottomCenter, {88, 132, 112, 148}}, {alBottomRight, {168, 132, 192, 148}},
        {alCenterCenter, {88, 67, 112, 83}},  {alLeftTop, {-1, 8, 15, 32}},
        {alLeftCenter, {-1, 63, 15, 87}},     {alLeftBottom, {-1, 118, 15, 142}},
        {alRightTop, {185, 8, 201, 32}},      {alRightCenter, {185, 63, 201, 87}},
        {alRightBottom, {185, 118, 201, 142}},
    };
    for (const Case& c : cases) {
        box->SetAlignment(c.alignment);
        Pump();
        const RECT r = box->GetViewInfo()->CaptionRect;
        EXPECT_EQ(r.left, c.expected.left) << c.alignment;
        EXPECT_EQ(r.top, c.expected.top) << c.alignment;
        EXPECT_EQ(r.right, c.expected.right) << c.alignment;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.alignment;
    }
    box->Style()->SetShadow(true);
    box->SetAlignment(alRightCenter);
    Pump();
    EXPECT_EQ(box->GetViewInfo()->CaptionRect.top, 63) << "the right side ignores the shadow";
    box->SetAlignment(alLeftCenter);
    Pump();
    EXPECT_EQ(box->GetViewInfo()->CaptionRect.bottom, 150 - 3 - (150 - 3 - 24) / 2) << "the left side allows for it";
}

TEST_F(GroupBoxTest, TheFrameLeavesAGapForTheCaptionOnly)
{
    const RECT caption = box->GetViewInfo()->CaptionRect;
    const int line = FirstLineDown(150);
    ASSERT_GT(line, 0);
    EXPECT_EQ(line, 16 / 2 - 2 + 1) << "the line runs through the caption's middle";
    EXPECT_EQ(Pixel(box, 150, line), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(box, 150, line + 1), Rgb(clBtnHighlight)) << "etched";
    for (int x = caption.left + 1; x < caption.right - 1; ++x)
        EXPECT_NE(Pixel(box, x, line), Rgb(clBtnShadow)) << "the gap at " << x;

    box->SetCaption("");
    Pump();
    for (int x = 20; x < 40; ++x) EXPECT_EQ(Pixel(box, x, line), Rgb(clBtnShadow)) << "no gap without a caption";

    box->SetCaption("Cap");
    box->SetAlignment(alCenterCenter);
    Pump();
    const int top = FirstLineDown(20);
    for (int x = 20; x < 180; ++x) EXPECT_EQ(Pixel(box, x, top), Rgb(clBtnShadow)) << "centred: no gap at " << x;
}

TEST_F(GroupBoxTest, TheEtchedLineLeavesItsCrossingPixelsInTheBackground)
{
    const int top = FirstLineDown(150);
    const int left = FirstLineRight(100);
    int bottom = box->Height() - 1;
    while (Pixel(box, 100, bottom) == Background()) --bottom;
    int right = box->Width() - 1;
    while (Pixel(box, right, 100) == Background()) --right;
    EXPECT_EQ(Pixel(box, left, top), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(box, left + 1, top + 1), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(box, right, bottom), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(box, left, bottom), Background()) << "bottom-left crossing";
    EXPECT_EQ(Pixel(box, right, top), Background()) << "top-right crossing";
}

TEST_F(GroupBoxTest, TurnedCaptionsDropTheAccelerator)
{
    box->SetCaption("&File");
    EXPECT_EQ(box->VisibleCaption(), "&File");
    box->SetAlignment(alLeftTop);
    EXPECT_EQ(box->VisibleCaption(), "File");
    EXPECT_TRUE(box->IsVerticalText());
    LOGFONTA lf{};
    GetObjectA(box->CaptionFont()->Handle(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfEscapement, 900);
    box->SetAlignment(alRightBottom);
    GetObjectA(box->CaptionFont()->Handle(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfEscapement, 2700);
    EXPECT_EQ(box->GetCaptionDrawingFlags() & DT_NOPREFIX, DT_NOPREFIX);
}

TEST_F(GroupBoxTest, AFlatBorderStaysFlatInTheHotStyle)
{
    box->Style()->SetHotTrack(true);
    box->Style()->SetBorderStyle(ebsFlat);
    EXPECT_EQ(box->StyleHot()->BorderStyle(), ebsFlat);
    EXPECT_EQ(box->StyleFocused()->BorderStyle(), ebsFlat);
    box->Style()->SetBorderStyle(ebsSingle);
    EXPECT_EQ(box->StyleHot()->BorderStyle(), ebsThick) << "other borders grow as usual";
}

TEST_F(GroupBoxTest, ChildrenAlignInsideTheCaptionAndBorder)
{
    auto* child = Add<visualtest::TTraceControl>(box, "child", 0, 0, 10, 10);
    child->SetAlign(alClient);
    Pump();
    EXPECT_EQ(child->Top(), 16 + 3) << "the caption side: text height + 3";
    box->SetAlignment(alCenterCenter);
    Pump();
    EXPECT_LT(child->Top(), 16) << "no caption side";
}

TEST_F(GroupBoxTest, TheAcceleratorFocusesTheFirstChild)
{
    box->SetCaption("&Group");
    auto* first = Add<visualtest::TTraceControl>(box, "first", 10, 30, 30, 20);
    first->SetTabStop(true);
    auto* other = Add<visualtest::TTraceControl>(form, "other", 250, 10, 30, 20);
    other->SetTabStop(true);
    Pump();
    other->SetFocus();
    Pump();
    KeyWith(VK_MENU, 'G');
    EXPECT_EQ(TWinControl::FindControl(GetFocus()), first);
}

// ---- button group ------------------------------------------------------------------------------

TEST(ButtonGroupProperties, ColumnsLeaveNoneEmpty)
{
    struct Case {
        int items, columns, expected;
    };
    const Case cases[] = {{5, 4, 3}, {7, 3, 3}, {2, 4, 2}, {0, 4, 0}, {1, 0, 1}};
    for (const Case& c : cases) {
        auto p = MakeObject<TcxCustomButtonGroupProperties>(nullptr);
        for (int i = 0; i < c.items; ++i) p->Items()->Add();
        p->SetColumns(c.columns);
        EXPECT_EQ(p->GetColumnCount(), c.expected) << c.items << " in " << c.columns;
    }
    auto p = MakeObject<TcxCustomButtonGroupProperties>(nullptr);
    p->SetColumns(-3);
    EXPECT_EQ(p->Columns(), 1);
}

TEST(ButtonGroupProperties, ItemsExposeTheirCaptionsToTheCheckStateEncoding)
{
    auto p = MakeObject<TcxCustomButtonGroupProperties>(nullptr);
    static_cast<TcxButtonGroupItem*>(p->Items()->Add())->SetCaption("a");
    static_cast<TcxButtonGroupItem*>(p->Items()->Add())->SetCaption("b");
    TcxCheckStates states{cbsChecked, cbsGrayed};
    Variant value;
    CalculateCheckStatesValue(cvfCaptions, p->Items(), value, &states);
    EXPECT_EQ(VarToStr(value), "1:b;1:a");
}
