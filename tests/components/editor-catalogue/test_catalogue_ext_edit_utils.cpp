// The extended editors' helpers: rectangle and colour arithmetic, colour and
// number texts, check-state texts, text flags, font rotation, the colour
// tables, the window-procedure hook and painting what lies behind a control.
#include "tests/components/editor-catalogue/catalogue_fixture.h"

#include <algorithm>
#include <string>

#include "components/editor-catalogue/cxExtEditConsts.h"
#include "components/editor-catalogue/cxExtEditUtils.h"
#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/windows/winuser.h"

using namespace hostlib;
using namespace visualtest;

namespace {

struct ExtEditUtilsTest : cataloguetest::CatalogueTest {};

ObjectPtr<TBitmap> WhiteBitmap(int w, int h)
{
    ObjectPtr<TBitmap> b(CreateObject<TBitmap>());
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(RECT{0, 0, w, h});
    return b;
}

TEST(ExtEditRectangles, ArithmeticKeepsTheDocumentedEdges)
{
    RECT r{0, 0, 10, 10};
    InflateRectEx(r, 1, 2, -3, -4);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 7);
    EXPECT_EQ(r.bottom, 6);
    EXPECT_EQ(RectWidth(RECT{10, 0, 5, 5}), 0);
    EXPECT_EQ(RectHeight(RECT{0, 9, 5, 5}), 0);
    EXPECT_EQ(CalcCenterPosHeight(RECT{0, 0, 5, 5}, 10), -2) << "truncated toward zero";
    EXPECT_EQ(CalcDrawWidth(RECT{0, 0, 10, 10}, 5), 11);
}

TEST(ExtEditRectangles, DrawBoundsPaintsOnTheRightAndBottomCoordinates)
{
    ObjectPtr<TBitmap> b = WhiteBitmap(14, 14);
    TcxCanvas canvas(b->Canvas());
    const RECT inner = DrawBounds(&canvas, RECT{0, 0, 10, 10}, clRed, clBlue);
    EXPECT_EQ(inner.left, 1);
    EXPECT_EQ(inner.right, 9);
    EXPECT_EQ(inner.bottom, 9);
    for (int i = 0; i <= 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(b->Canvas()->Pixel(0, i), clRed) << "column 0, rows 0 to 10";
        EXPECT_EQ(b->Canvas()->Pixel(i, 0), clRed) << "row 0, columns 0 to 10";
        if (i >= 1 && i <= 9) { EXPECT_EQ(b->Canvas()->Pixel(10, i), clBlue) << "column 10, rows 1 to 9"; }
        if (i >= 1) { EXPECT_EQ(b->Canvas()->Pixel(i, 10), clBlue) << "row 10, columns 1 to 10"; }
    }
    EXPECT_EQ(b->Canvas()->Pixel(11, 5), clWhite);
    EXPECT_EQ(b->Canvas()->Pixel(5, 11), clWhite);
    EXPECT_EQ(b->Canvas()->Pixel(5, 5), clWhite);
}

TEST(ExtEditColours, IncColorCapsEachChannel)
{
    EXPECT_EQ(IncColor(clWhite, 10, 10, 10), 0xFFFFFF);
    EXPECT_EQ(IncColor(0x000080, 0, 0, 200), 0xC80080) << "red 128, green 0, blue 200";
    EXPECT_EQ(IncColor(0x102030, -0x40, 0, 0), 0x102000) << "a channel stops at 0";
    EXPECT_EQ(IncColor(clBtnFace, 0, 0, 0), static_cast<TColor>(ColorToRGB(clBtnFace))) << "system colours resolved";
}

TEST(ExtEditColours, ColourTextsFollowTheirRules)
{
    const struct {
        TColor (*convert)(std::string_view);
        const char* text;
        TColor expected;
    } cases[] = {
        {cxRGBStringColorToColor, "255.128.0", 0x0080FF},
        {cxRGBStringColorToColor, "256.0.0", 0x000000},
        {cxRGBStringColorToColor, "100", 0x646464},
        {cxRGBStringColorToColor, "10.20", 0x14140A},
        {cxHexRGBStringColorToColor, "#FF8000", 0x0080FF},
        {cxHexRGBStringColorToColor, "FF", 0x0000FF},
        {cxHexRGBStringColorToColor, "F", 0x00000F},
        {cxHexRGBStringColorToColor, "", 0x000000},
    };
    for (const auto& c : cases) EXPECT_EQ(c.convert(c.text), c.expected) << c.text;

    bool valid = false;
    EXPECT_EQ(cxStringToColor("clBtnFace", valid), clBtnFace);
    EXPECT_TRUE(valid);
    EXPECT_EQ(cxStringToColor("12", valid), 12);
    EXPECT_TRUE(valid);
    EXPECT_EQ(cxStringToColor("zz", valid), clNone);
    EXPECT_FALSE(valid);
}

TEST(ExtEditNumbers, IntegerTextsAreCheckedAndFiltered)
{
    const struct {
        const char* text;
        bool valid;
    } ints[] = {{"  12 ", true}, {"", false}, {"1.5", false}, {"$1F", true}, {"0x10", true}, {"x10", true},
                {"-7", true},    {"-", false}, {"2147483648", false}, {"-2147483648", true}, {"$", false}};
    for (const auto& c : ints) EXPECT_EQ(IsValidStringForInt(c.text), c.valid) << '"' << c.text << '"';

    EXPECT_EQ(cxStrToInt("a1b2", false), 12);
    EXPECT_EQ(cxStrToInt("a1b2", true), 0) << "stops at the a with nothing kept";
    EXPECT_EQ(cxStrToInt("12ab3", true), 12);
    EXPECT_THROW(cxStrToInt("1-2", false), EConvertError);
    EXPECT_THROW(cxStrToInt("--", false), EConvertError);
}

TEST(ExtEditNumbers, DoubleTextsUseTheLocaleSeparatorAndNeverRaise)
{
    TFormatSettings comma = FormatSettings();
    comma.DecimalSeparator = ',';
    ScopedFormatSettings scope(comma);
    const struct {
        const char* text;
        bool valid;
    } cases[] = {{"-1,5", true}, {"1-5", false}, {"1,5,2", false}, {"+1", false}, {"1e5", false},
                 {"-", false},   {",", false},   {"-,", false},   {" 12 ", true}, {"1.5", false}, {"", false}};
    for (const auto& c : cases) EXPECT_EQ(IsValidStringForDouble(c.text), c.valid) << '"' << c.text << '"';
    EXPECT_EQ(cxStrToFloat("x1,5y", false), 1.5L);
    EXPECT_THROW(cxStrToFloat("1,5,2", false), EConvertError);
}

TEST(ExtEditNumbers, VariantRangesByType)
{
    EXPECT_EQ(GetMaxVarInteger(Variant("1")), 0);
    EXPECT_EQ(GetMaxVarInteger(Variant(std::uint32_t{1})), 4294967295LL);
    EXPECT_EQ(GetMaxVarInteger(Variant(std::int16_t{1})), 32767);
    EXPECT_EQ(GetMaxVarDouble(Variant(1.0)), 1.7E308L);
    EXPECT_EQ(GetMaxVarDouble(Variant(Currency())), 1.1E4932L);
    EXPECT_TRUE(VarIsInteger(Variant(std::uint8_t{1})));
    EXPECT_FALSE(VarIsInteger(Variant(1.0)));
    EXPECT_TRUE(VarIsDouble(Variant(1.0f)));
    EXPECT_TRUE(IsVarEmpty(Variant::Null()));
    EXPECT_TRUE(IsVarEmpty(Variant()));
    EXPECT_FALSE(IsVarEmpty(Variant(0)));
}

TEST(ExtEditTexts, WordsAndCheckStates)
{
    EXPECT_EQ(GetWord(2, "a;b;c", ';'), "b");
    EXPECT_EQ(GetWord(4, "a;b;c", ';'), "");
    EXPECT_EQ(GetWord(1, "abc", ';'), "abc");
    EXPECT_EQ(GetWord(2, "a;;c", ';'), "");
    EXPECT_EQ(GetWord(3, "a;;c", ';'), "c");
    EXPECT_EQ(GetWord(2, "a;", ';'), "");
    EXPECT_EQ(GetWord(0, "a;b", ';'), "");

    EXPECT_EQ(StringToCheckState("2", false), cbsUnchecked);
    EXPECT_EQ(StringToCheckState("2", true), cbsGrayed);
    EXPECT_EQ(StringToCheckState("yes", true), cbsGrayed);
    EXPECT_EQ(StringToCheckState("0", true), cbsUnchecked);
    EXPECT_EQ(StringToCheckState("1", false), cbsChecked);
    EXPECT_EQ(StringToCheckState(" 1", false), cbsUnchecked) << "exact comparison";
    EXPECT_EQ(CheckStateToString(cbsGrayed), "2");
    EXPECT_EQ(CheckStateToString(cbsChecked), "1");
    EXPECT_EQ(CheckStateToString(cbsUnchecked), "0");
}

TEST(ExtEditTexts, TextFlagsInBothVocabularies)
{
    EXPECT_EQ(PrepareTextFlag(0, taCenter, vaCenter, false, false, 0, true, false), 0x805);
    EXPECT_EQ(PrepareTextFlag(0, taCenter, vaCenter, false, false, 0, true, true), 0x005);
    EXPECT_EQ(PrepareTextFlag(0, taCenter, vaCenter, false, false, 0, false, false), 0x024);
    EXPECT_EQ(PrepareTextFlag(0, taCenter, vaCenter, false, false, 0, false, true), 0x224);
    EXPECT_EQ(PrepareTextFlag(0x40, taRightJustify, vaBottom, true, true, 8, true, true), 0x40 | 2 | 8 | 0x8000 | 0x10 | 0xC0);
    EXPECT_EQ(PrepareTextFlag(0, taLeftJustify, vaTop, true, true, 8, false, false), 1 | 8 | 0x800 | 0x400 | 0x100);
}

TEST_F(ExtEditUtilsTest, FontsTurnByWholeTurnsNormalised)
{
    ObjectPtr<TBitmap> b = WhiteBitmap(4, 4);
    ObjectPtr<TFont> font(CreateObject<TFont>());
    UseFixedFace(font.get());
    const struct {
        int angle;
        int escapement;
    } cases[] = {{-90, 2700}, {0, 0}, {360, 0}, {450, 900}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_TRUE(AdjustCanvasFont(b->Canvas(), font.get(), c.angle));
        EXPECT_EQ(b->Canvas()->Font()->Escapement(), c.escapement);
        EXPECT_EQ(b->Canvas()->Font()->Name(), font->Name());
    }
    EXPECT_EQ(font->Escapement(), 0) << "the given font stays as it was";
    EXPECT_EQ(NonCanvasTextHeight(font.get()), 16);
    EXPECT_EQ(NonCanvasTextWidth(font.get(), "abc"), 24);
    EXPECT_EQ(CalcMaxWidth(b->Canvas(), "ab\r\nabcd\nx"), 1 + 10 * 8) << "the whole text is the widest here";
}

TEST(ExtEditTables, SizesOrderAndKnownEntries)
{
    EXPECT_EQ(cxIdentColorNames.size(), 52u);
    EXPECT_EQ(cxHTML4ColorNames.size(), 16u);
    EXPECT_EQ(cxX11ColorNames.size(), 140u);
    EXPECT_EQ(cxX11OrderedColorNames.size(), 140u);
    EXPECT_EQ(cxIdentColorNames[16], "clMoneyGreen");
    EXPECT_EQ(cxIdentColorValues[16], 0xC0DCC0);
    EXPECT_EQ(static_cast<std::uint32_t>(cxIdentColorValues[42]), 0x8000001Eu) << "clMenuBar";
    EXPECT_TRUE(std::is_sorted(cxX11ColorNames.begin(), cxX11ColorNames.end()));
    auto x11 = [](std::string_view name) {
        const auto it = std::find(cxX11ColorNames.begin(), cxX11ColorNames.end(), name);
        return it == cxX11ColorNames.end() ? -1 : cxX11ColorValues[it - cxX11ColorNames.begin()];
    };
    EXPECT_EQ(x11("Coral"), 0x507FFF);
    EXPECT_EQ(x11("LightGrey"), 0xD3D3D3);
    EXPECT_EQ(x11("LightGray"), -1) << "one spelling per grey";
    EXPECT_EQ(x11("Aqua"), x11("Cyan"));
    EXPECT_EQ(x11("Fuchsia"), x11("Magenta"));
    for (std::size_t i = 0; i < cxX11OrderedColorNames.size(); ++i)
        EXPECT_EQ(x11(cxX11OrderedColorNames[i]), cxX11OrderedColorValues[i]) << cxX11OrderedColorNames[i];
    for (std::size_t i = 0; i < cxHTML4ColorNames.size(); ++i)
        EXPECT_EQ(x11(cxHTML4ColorNames[i]), cxHTML4ColorValues[i]) << cxHTML4ColorNames[i];
}

// ---- the hook ------------------------------------------------------------------------

WNDPROC gBehindLater = nullptr;
int gLaterCalls = 0;
LRESULT LaterProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ++gLaterCalls;
    return CallWindowProcA(gBehindLater, hwnd, msg, wParam, lParam);
}

TEST_F(ExtEditUtilsTest, TheHookPassesMessagesOnAndStepsAsideForALaterProcedure)
{
    form = NewForm();
    auto* control = Add<TTraceControl>(form, "c", 10, 10, 50, 20);
    form->Show();
    Pump();
    HWND hwnd = control->Handle();
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC));
    ObjectPtr<TcxControlHook> hook(CreateObject<TcxControlHook>());
    hook->SetWinControl(control);
    ASSERT_TRUE(hook->IsHooked());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC)), TcxControlHook::HookProcedure());
    hook->HookControl();
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("through the hook"));
    EXPECT_EQ(control->Text(), "through the hook");

    gBehindLater = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProcedure)));
    hook->SetWinControl(nullptr);
    EXPECT_FALSE(hook->IsHooked());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC)), &LaterProcedure) << "the later one stays";
    gLaterCalls = 0;
    SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still passed on"));
    EXPECT_EQ(control->Text(), "still passed on");
    EXPECT_GE(gLaterCalls, 1);
    SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(original));
}

TEST_F(ExtEditUtilsTest, ADestroyedWindowReleasesTheHook)
{
    form = NewForm();
    auto* control = Add<TTraceControl>(form, "c", 10, 10, 50, 20);
    form->Show();
    Pump();
    ObjectPtr<TcxControlHook> hook(CreateObject<TcxControlHook>());
    hook->SetWinControl(control);
    ASSERT_TRUE(hook->IsHooked());
    control->RecreateWnd();
    Pump();
    EXPECT_FALSE(hook->IsHooked());
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(control->Handle(), GWL_WNDPROC)), TcxControlHook::HookProcedure());
    hook->SetWinControl(nullptr);
}

// ---- what lies behind a control --------------------------------------------------------

TEST_F(ExtEditUtilsTest, TheBackgroundShowsTheParentAndOnlyTheOverlappingSiblingsBelow)
{
    form = NewForm(200, 100);
    form->SetColor(0x203040);
    auto* below = Add<TTraceControl>(form, "below", 0, 0, 30, 100);
    below->SetColor(0x00C000);
    auto* apart = Add<TTraceControl>(form, "apart", 150, 0, 40, 40);
    apart->SetColor(0xC00000);
    auto* control = Add<TTraceControl>(form, "control", 20, 10, 60, 40);
    auto* above = Add<TTraceControl>(form, "above", 60, 0, 30, 100);
    above->SetColor(0x0000C0);
    form->Show();
    Pump();
    Log().clear();
    ObjectPtr<TBitmap> b = WhiteBitmap(60, 40);
    DrawTransparentControlBackground(control, b->Canvas(), RECT{0, 0, 60, 40});
    EXPECT_EQ(b->Canvas()->Pixel(5, 20), 0x00C000) << "the sibling below, columns 20-29 of the form";
    EXPECT_EQ(b->Canvas()->Pixel(20, 20), 0x203040) << "the parent";
    EXPECT_EQ(b->Canvas()->Pixel(50, 20), 0x203040) << "the sibling above is not drawn";
    const Trace& log = Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "below paint"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "apart paint"), log.end()) << "no overlap, no paint";
    EXPECT_EQ(std::find(log.begin(), log.end(), "above paint"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "control paint"), log.end());

    auto* orphan = CreateObject<TTraceControl>(static_cast<TComponent*>(nullptr));
    ObjectPtr<TBitmap> untouched = WhiteBitmap(10, 10);
    DrawTransparentControlBackground(orphan, untouched->Canvas(), RECT{0, 0, 10, 10});
    EXPECT_EQ(untouched->Canvas()->Pixel(5, 5), clWhite) << "no parent, nothing drawn";
    orphan->Free();
}

TEST_F(ExtEditUtilsTest, PaintBackgroundCopiesTheParentUnderTheClientArea)
{
    form = NewForm(200, 100);
    form->SetColor(0x405060);
    auto* control = Add<TTraceControl>(form, "control", 20, 10, 60, 40);
    form->Show();
    Pump();
    ObjectPtr<TBitmap> b = WhiteBitmap(60, 40);
    PaintBackground(control, b->Canvas()->Handle(), false);
    EXPECT_EQ(b->Canvas()->Pixel(5, 5), clWhite) << "without the flag nothing is painted";
    PaintBackground(control, b->Canvas()->Handle(), true);
    EXPECT_EQ(b->Canvas()->Pixel(5, 5), 0x405060);
}

}  // namespace
