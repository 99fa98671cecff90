// The text editor's face without a control: text margins by alignment and
// style, automatic height, content sizes, the selection painted, the cached
// rows moved with the view, and the hint of a cut text. The fixed-metrics
// face (8 pixels a character, rows of 16) and distinct system colours make
// every position and pixel exact.
#include "tests/platform/hostlib/visual/visual_fixture.h"

#include <climits>
#include <string>

#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditUtils.h"
#include "components/editors/cxTextEdit.h"
#include "tests/components/editors/editors_canvas.h"
#include "tests/platform/graphics/canvas.h"

using namespace hostlib;
using namespace visualtest;
using quelvo::gfx::test::Distinct;

namespace {

// The list styles of the drop-down kinds.
class StyledProperties : public TcxCustomTextEditProperties {
public:
    static TClass StaticClass()
    {
        return DefineClass<StyledProperties, TcxCustomTextEditProperties>("TestStyledTextProperties");
    }
    TClass ClassType() const override { return StaticClass(); }
    TcxEditEditingStyle GetEditingStyle() override { return style; }
    TcxEditEditingStyle style = esEdit;
};

struct TextView : VisualTest {
    quelvo::editors::test::FixedCanvas cv{200, 80};
    ObjectPtr<TCanvas> host = MakeObject<TCanvas>();
    TcxCanvas canvas{nullptr};
    ObjectPtr<StyledProperties> properties = MakeObject<StyledProperties>(nullptr);
    ObjectPtr<TFont> font = MakeObject<TFont>();
    ObjectPtr<TcxEditStyle> style;
    ObjectPtr<TcxCustomTextEditViewData> data;
    ObjectPtr<TcxCustomTextEditViewInfo> info = MakeObject<TcxCustomTextEditViewInfo>();

    void SetUp() override
    {
        VisualTest::SetUp();
        quelvo::gfx::test::SetDistinctSysColors();
        host->SetHandle(cv.dc());
        canvas.SetCanvas(host.get());
        font->SetName(quelvo::gfx::kFixedTestFace);
        font->SetHeight(-16);
    }
    void TearDown() override
    {
        data.reset();
        style.reset();
        FreeDefaultEditStyleController();
        cxEditPaintUtilsFinalize();
        VisualTest::TearDown();
    }
    // A cell's style (in place) or an editor's (not).
    void Make(bool inplace)
    {
        style.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), inplace));
        if (inplace)
            style->SetFont(font.get());
        else
            style->Font()->Assign(font.get());
        style->SetColor(clWindow);
        style->SetTextColor(clWindowText);
        style->LookAndFeel()->SetKind(lfStandard);
        data.reset(static_cast<TcxCustomTextEditViewData*>(properties->CreateViewData(style.get(), inplace)));
    }
    void Show(const std::string& text, const RECT& bounds)
    {
        data->EditValueToDrawValue(&canvas, Variant(text), info.get());
        data->CalculateEx(&canvas, bounds, POINT{-1, -1}, cxmbNone, {}, info.get(), false);
    }
    void Paint()
    {
        cv.Clear(quelvo::gfx::test::kWhite);
        info->PaintEx(&canvas);
    }
    // Columns of the row y that show the text colour, as [first, last].
    std::pair<int, int> InkColumns(int y, COLORREF ink)
    {
        int first = -1, last = -1;
        for (int x = 0; x < cv.width(); ++x)
            if (cv.At(x, y) == ink) {
                first = first < 0 ? x : first;
                last = x;
            }
        return {first, last};
    }
    int InkRow(COLORREF ink)
    {
        for (int y = 0; y < cv.height(); ++y)
            if (InkColumns(y, ink).first >= 0)
                return y;
        return -1;
    }
};

COLORREF Sys(int index) { return Distinct(index); }

TEST_F(TextView, TextMarginsByAlignmentPlaceAndStyle)
{
    struct Case {
        TAlignment horz;
        TcxEditVertAlignment vert;
        bool inplace;
        TcxEditEditingStyle style;
        RECT offset;
    } cases[] = {
        {taLeftJustify, taTopJustify, false, esEdit, {1, 1, 1, 3}},
        {taRightJustify, taTopJustify, false, esEdit, {1, 1, 2, 3}},
        {taCenter, taVCenter, false, esEdit, {1, 1, 1, 3}},
        {taLeftJustify, taTopJustify, true, esEdit, {1, 1, 1, 1}},
        {taRightJustify, taTopJustify, true, esFixedList, {1, 1, 2, 1}},
        {taLeftJustify, taTopJustify, false, esFixedList, {2, 2, 1, 2}},
        {taLeftJustify, taVCenter, false, esNoEdit, {2, 1, 1, 3}},
    };
    for (const Case& c : cases) {
        properties->style = c.style;
        properties->Alignment()->SetHorz(c.horz);
        properties->Alignment()->SetVert(c.vert);
        Make(c.inplace);
        const RECT offset = data->GetDrawTextOffset();
        EXPECT_TRUE(EqualRect(&offset, &c.offset)) << &c - cases << ": " << offset.left << "," << offset.top << ","
                                                  << offset.right << "," << offset.bottom;
    }
}

TEST_F(TextView, ALeftTextStartsAtItsMarginAndARightTextEndsTwoPixelsBeforeTheEdge)
{
    Make(true);
    Show("ab", RECT{10, 10, 110, 30});
    Paint();
    const COLORREF ink = Sys(COLOR_WINDOWTEXT);
    const int row = InkRow(ink);
    ASSERT_GE(row, 10);
    const int left = InkColumns(row, ink).first;
    EXPECT_GE(left, 10 + 1);
    EXPECT_LT(left, 10 + 1 + 8);

    properties->Alignment()->SetHorz(taRightJustify);
    Make(true);
    Show("ab", RECT{10, 10, 110, 30});
    Paint();
    int right = -1;
    for (int y = 10; y < 30; ++y)
        right = std::max(right, InkColumns(y, ink).second);
    EXPECT_LE(right, 110 - 1 - 2) << "the right margin is two pixels";
    EXPECT_GT(right, 110 - 1 - 2 - 8);
}

TEST_F(TextView, ASelectionIsPaintedInHighlightUpToTheEnd)
{
    Make(true);
    struct Case {
        int start, length;
        int highlightedChars;
    } cases[] = {{1, 1, 1}, {1, 10, 2}, {3, 2, 0}, {-1, 2, 0}};
    for (const Case& c : cases) {
        data->SelStart = c.start;
        data->SelLength = c.length;
        Show("abc", RECT{0, 0, 100, 20});
        Paint();
        int first = -1, last = -1;
        for (int y = 0; y < 20; ++y) {
            const auto [f, l] = InkColumns(y, Sys(COLOR_HIGHLIGHT));
            if (f >= 0) {
                first = first < 0 ? f : std::min(first, f);
                last = std::max(last, l);
            }
        }
        const int width = first < 0 ? 0 : last - first + 1;
        EXPECT_EQ(width, c.highlightedChars * 8) << "selection " << c.start << "+" << c.length;
        if (c.highlightedChars > 0) {
            EXPECT_EQ(first, 1 + c.start * 8) << "selection " << c.start << "+" << c.length;
        }
    }
}

TEST_F(TextView, SelectionColours)
{
    Make(true);
    data->SelStart = 0;
    data->SelLength = 1;
    struct Case {
        TColor text, background, styleColor;
        TColor wantText, wantBackground;
    } cases[] = {
        {clDefault, clDefault, clWindow, clHighlightText, clHighlight},
        {clDefault, clDefault, clHighlight, clWhite, clBlack},
        {TColor(0x0000FF), clDefault, clWindow, TColor(0x0000FF), TColor(0xFFFF00)},
        {clDefault, TColor(0x00FF00), clWindow, TColor(0xFF00FF), TColor(0x00FF00)},
        {clRed, clBlue, clWindow, clRed, clBlue},
    };
    for (const Case& c : cases) {
        style->SetColor(c.styleColor);
        data->SelTextColor = c.text;
        data->SelBackgroundColor = c.background;
        data->PrepareSelection(info.get());
        EXPECT_EQ(info->SelTextColor, c.wantText) << &c - cases;
        EXPECT_EQ(info->SelBackgroundColor, c.wantBackground) << &c - cases;
    }
}

TEST_F(TextView, ContentHeightIsZeroOnlyForAnEmptyTextThatMayHaveNone)
{
    Make(true);
    TcxEditSizeProperties unconstrained;
    canvas.SetFont(style->GetVisibleFont());
    const int row = canvas.TextHeight("Zg") + GetTextEditContentSizeCorrection(data.get()).cy;
    EXPECT_EQ(GetTextEditContentSize(&canvas, data.get(), "", data->GetDrawTextFlags(), unconstrained).cy, row);
    data->PaintOptions = {epoAllowZeroHeight};
    EXPECT_EQ(GetTextEditContentSize(&canvas, data.get(), "", data->GetDrawTextFlags(), unconstrained).cy, row)
        << "no width: the empty text keeps one row";
    TcxEditSizeProperties width{0, 50, -1};
    EXPECT_EQ(GetTextEditContentSize(&canvas, data.get(), "", data->GetDrawTextFlags(), width).cy, 0);
    EXPECT_EQ(GetTextEditContentSize(&canvas, data.get(), "abc", data->GetDrawTextFlags(), width).cy, row);
    data->PaintOptions = {};
    EXPECT_EQ(GetTextEditContentSize(&canvas, data.get(), "", data->GetDrawTextFlags(), width).cy, row);
    EXPECT_EQ(GetTextEditContentSize(&canvas, data.get(), "abcd efgh ijkl", data->GetDrawTextFlags(),
                                     TcxEditSizeProperties{0, 2 + 5 * 8, -1})
                  .cy,
              3 * canvas.TextHeight("Zg") + GetTextEditContentSizeCorrection(data.get()).cy)
        << "a given width wraps the text into rows";
    const SIZE one = GetTextEditContentSize(&canvas, data.get(), "abcd", data->GetDrawTextFlags(), unconstrained);
    EXPECT_EQ(one.cx, 4 * 8 + GetTextEditContentSizeCorrection(data.get()).cx);
}

TEST_F(TextView, AutomaticHeightWrapsAndTopsOnlyWhenNeeded)
{
    properties->Alignment()->SetVert(taVCenter);
    Make(true);
    data->PaintOptions = {epoAutoHeight};
    Show("abc", RECT{0, 0, 100, 40});
    EXPECT_TRUE(info->DrawTextFlags & cxSingleLine) << "one row keeps its flags";
    EXPECT_EQ(info->DrawTextFlags & cxTextAlignYMask, unsigned(taCenterY) << 4);

    Show("abcd efgh", RECT{0, 0, 50, 40});
    EXPECT_FALSE(info->DrawTextFlags & cxSingleLine) << "two rows wrap";
    EXPECT_TRUE(info->DrawTextFlags & cxWordBreak);
    EXPECT_EQ(info->DrawTextFlags & cxTextAlignYMask, unsigned(taCenterY) << 4) << "two rows of 16 fit 40";

    Show("abcd efgh ijkl mnop", RECT{0, 0, 50, 40});
    EXPECT_EQ(info->DrawTextFlags & cxTextAlignYMask, 0u) << "rows that overflow are topped";
}

TEST_F(TextView, RowsAreLaidOutOnceAndMoveWithTheView)
{
    Make(true);
    Show("ab", RECT{0, 0, 60, 20});
    Paint();
    ASSERT_TRUE(info->TextOutData.Initialized);
    const int x = info->TextOutData.Rows[0].TextOriginX;
    info->Offset(50, 30);
    EXPECT_EQ(info->TextOutData.Rows[0].TextOriginX, x + 50);
    cv.Clear(quelvo::gfx::test::kWhite);
    info->Paint(&canvas);
    EXPECT_EQ(InkRow(Sys(COLOR_WINDOWTEXT)) >= 30, true) << "the moved rows paint where the view went";
    Show("ab", RECT{0, 0, 60, 20});
    EXPECT_FALSE(info->TextOutData.Initialized) << "a new calculation lays out again";
}

TEST_F(TextView, AHintShowsACutText)
{
    Make(true);
    Show("abcdefghij", RECT{0, 0, 120, 20});
    std::string text;
    bool multiLine = true;
    RECT textRect{};
    EXPECT_FALSE(info->NeedShowHint(&canvas, POINT{5, 5}, RECT{}, text, multiLine, textRect)) << "it fits";
    EXPECT_TRUE(info->NeedShowHint(&canvas, POINT{5, 5}, RECT{0, 0, 40, 20}, text, multiLine, textRect))
        << "the row ends outside the visible part";
    EXPECT_EQ(text, "abcdefghij");
    EXPECT_FALSE(multiLine);
    EXPECT_FALSE(info->NeedShowHint(&canvas, POINT{60, 5}, RECT{0, 0, 40, 20}, text, multiLine, textRect))
        << "the point is outside the visible part";
    Show("abcdefghijklmnopqrstuvwxyz", RECT{0, 0, 120, 20});
    EXPECT_TRUE(info->NeedShowHint(&canvas, POINT{5, 5}, RECT{}, text, multiLine, textRect));
}

TEST_F(TextView, PasswordsAndEmptyTexts)
{
    properties->SetEchoMode(eemPassword);
    Make(true);
    Show("abc", RECT{0, 0, 100, 20});
    EXPECT_EQ(info->Text, "***");
    properties->SetEchoMode(eemNormal);
    Make(true);
    Show("", RECT{0, 0, 100, 20});
    Paint();
    EXPECT_EQ(InkRow(Sys(COLOR_WINDOWTEXT)), -1) << "nothing but the background";
    EXPECT_EQ(cv.At(5, 5), Sys(COLOR_WINDOW));
}

} // namespace
