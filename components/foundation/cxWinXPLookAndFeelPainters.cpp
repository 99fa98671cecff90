#include "components/foundation/cxWinXPLookAndFeelPainters.h"

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/winerror.h"

using namespace hostlib;

namespace {

using Standard = TcxStandardLookAndFeelPainter;
using StateTable = int[cxbsDisabled + 1];

// Theme states by button state, from cxbsDefault to cxbsDisabled.
constexpr StateTable kHeaderStates{HIS_NORMAL, HIS_NORMAL, HIS_HOT, HIS_PRESSED, HIS_NORMAL};
// The small close button, the combo box's drop-down button and tab items.
constexpr StateTable kCommonStates{1, 1, 2, 3, 4};
constexpr StateTable kPinStates{EBHP_NORMAL, EBHP_NORMAL, EBHP_HOT, EBHP_PRESSED, EBHP_NORMAL};
constexpr StateTable kUncheckedStates{CBS_UNCHECKEDNORMAL, CBS_UNCHECKEDNORMAL, CBS_UNCHECKEDHOT,
                                      CBS_UNCHECKEDPRESSED, CBS_UNCHECKEDDISABLED};
constexpr StateTable kCheckedStates{CBS_CHECKEDNORMAL, CBS_CHECKEDNORMAL, CBS_CHECKEDHOT, CBS_CHECKEDPRESSED,
                                    CBS_CHECKEDDISABLED};
// A default button's group-expand state is the normal one.
constexpr StateTable kGroupExpandStates{EBNGC_NORMAL, EBNGC_NORMAL, EBNGC_HOT, EBNGC_PRESSED, EBNGC_NORMAL};

constexpr RECT k100{0, 0, 100, 100};

int ThumbState(TcxButtonState state)
{
    switch (state) {
    case cxbsHot: return SCRBS_HOT;
    case cxbsPressed: return SCRBS_PRESSED;
    case cxbsDisabled: return SCRBS_DISABLED;
    default: return SCRBS_NORMAL;
    }
}

// Up 1 to 4, down 5 to 8, left 9 to 12, right 13 to 16.
int ArrowState(TcxArrowDirection direction, TcxButtonState state)
{
    return static_cast<int>(direction) * 4 + (state == cxbsDefault ? 1 : static_cast<int>(state));
}

// The insets of a part's content rectangle laid over 100 x 100; false
// when the theme cannot tell them.
bool ContentInsets(HTHEME theme, int part, int state, RECT& insets, HDC dc = nullptr)
{
    RECT content{};
    if (dxUxTheme::GetThemeBackgroundContentRect(theme, dc, part, state, k100, content) != S_OK) return false;
    insets = RECT{content.left - k100.left, content.top - k100.top, k100.right - content.right,
                  k100.bottom - content.bottom};
    return true;
}

SIZE TrueSize(HTHEME theme, int part, int state)
{
    SIZE size{};
    dxUxTheme::GetThemePartSize(theme, nullptr, part, state, TS_TRUE, size);
    return size;
}

void DrawPart(TcxCanvas* canvas, HTHEME theme, int part, int state, const RECT& r)
{
    dxUxTheme::DrawThemeBackground(theme, canvas->Handle(), part, state, r);
}

bool ThemeColor(HTHEME theme, int part, int state, int property, TColor& color)
{
    COLORREF value = 0;
    if (dxUxTheme::GetThemeColor(theme, part, state, property, &value) != S_OK) return false;
    color = static_cast<TColor>(value);
    return true;
}

DWORD ThemeTextFlags(TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis)
{
    static constexpr DWORD horz[] = {0, DT_RIGHT, DT_CENTER};
    static constexpr DWORD vert[] = {0, DT_BOTTOM, DT_VCENTER};
    DWORD flags = horz[alignmentHorz] | vert[alignmentVert] | DT_NOPREFIX | DT_EDITCONTROL;
    flags |= multiLine ? DT_WORDBREAK : DT_SINGLELINE;
    if (showEndEllipsis) flags |= DT_END_ELLIPSIS;
    return flags;
}

// The last header of a row ends with the right-hand item on the blue and
// olive schemes only; the silver one draws every item alike.
int HeaderPart(bool isLast, int stateId)
{
    const TOffice11Scheme scheme = GetOffice11Scheme();
    const bool rightHand = scheme == schNormalColor || scheme == schHomestead;
    return isLast && stateId == HIS_NORMAL && rightHand ? HP_HEADERITEMRIGHT : HP_HEADERITEM;
}

int TrackPart(bool horizontal, TcxScrollBarPart part)
{
    if (horizontal) return part == sbpPageDown ? SBP_UPPERTRACKHORZ : SBP_LOWERTRACKHORZ;
    return part == sbpPageDown ? SBP_UPPERTRACKVERT : SBP_LOWERTRACKVERT;
}

// Restores the device context's drawing state (clip region above all)
// when it goes.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    ~SavedDC() { RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

// A 32-bit bitmap of a size with a canvas over it.
ObjectPtr<TBitmap> NewBitmap(int width, int height)
{
    ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(width, height);
    return bitmap;
}

}  // namespace

int BtnStateToXPBtnState(TcxButtonState state)
{
    static constexpr StateTable states{PBS_DEFAULTED, PBS_NORMAL, PBS_HOT, PBS_PRESSED, PBS_DISABLED};
    return states[state];
}

TcxCustomLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Class()
{
    static const TcxWinXPLookAndFeelPainter painter;
    return &painter;
}

// ---- basic ---------------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawContent(TcxCanvas* canvas, HTHEME theme, int partId, int stateId,
                                             const RECT&, const RECT& textAreaBounds, TAlignment alignmentHorz,
                                             TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis,
                                             const std::string& text, TFont* font, TColor textColor) const
{
    if (text.empty()) return;
    if (font) canvas->SetFont(font);
    canvas->Font()->SetColor(textColor);
    canvas->Canvas()->RequiredState(true, false, false);
    dxUxTheme::DrawThemeText(theme, canvas->Handle(), partId, stateId, text,
                             ThemeTextFlags(alignmentHorz, alignmentVert, multiLine, showEndEllipsis), 0,
                             textAreaBounds);
}

TColor TcxWinXPLookAndFeelPainter::DefaultSchedulerBorderColor() const
{
    TColor color = TcxCustomLookAndFeelPainter::DefaultSchedulerBorderColor();
    if (HTHEME theme = OpenTheme(totComboBox)) ThemeColor(theme, CP_DROPDOWNBUTTON, 1, TMT_BORDERCOLOR, color);
    return color;
}

// ---- arrows and border ------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                           TcxArrowDirection direction, bool drawBorder) const
{
    HTHEME theme = OpenTheme(totScrollBar);
    if (!theme) return Standard::DrawArrow(canvas, r, state, direction, drawBorder);
    DrawPart(canvas, theme, SBP_ARROWBTN, ArrowState(direction, state), r);
}

void TcxWinXPLookAndFeelPainter::DrawArrowBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::DrawArrowBorder(canvas, r, state);
    DrawPart(canvas, theme, BP_PUSHBUTTON, BtnStateToXPBtnState(state), r);
}

int TcxWinXPLookAndFeelPainter::BorderSize() const { return OpenTheme(totListView) ? 1 : Standard::BorderSize(); }

void TcxWinXPLookAndFeelPainter::DrawBorder(TcxCanvas* canvas, const RECT& r) const
{
    HTHEME theme = OpenTheme(totListView);
    if (!theme) return Standard::DrawBorder(canvas, r);
    const SavedDC saved(canvas->Handle());
    canvas->ExcludeClipRect(cxRectInflate(r, -1, -1));
    DrawPart(canvas, theme, LVP_EMPTYTEXT, 0, r);
}

// ---- push buttons -------------------------------------------------------------------------------

int TcxWinXPLookAndFeelPainter::ButtonBorderSize(TcxButtonState state) const
{
    RECT insets{};
    HTHEME theme = OpenTheme(totButton);
    if (theme && ContentInsets(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(state), insets)) return insets.left;
    // The state's own size: a default button's third ring must not be
    // painted over by the face.
    return Standard::ButtonBorderSize(state);
}

TColor TcxWinXPLookAndFeelPainter::ButtonColor(TcxButtonState state) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::ButtonColor(state);
    TColor color = clBtnFace;
    ThemeColor(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(state), TMT_FILLCOLOR, color);
    return color;
}

RECT TcxWinXPLookAndFeelPainter::ButtonFocusRect(TcxCanvas* canvas, const RECT& r) const
{
    HTHEME theme = OpenTheme(totButton);
    RECT content{};
    if (theme && dxUxTheme::GetThemeBackgroundContentRect(theme, canvas->Handle(), BP_PUSHBUTTON, PBS_NORMAL, r,
                                                          content) == S_OK)
        return content;
    return Standard::ButtonFocusRect(canvas, r);
}

RECT TcxWinXPLookAndFeelPainter::ButtonGroupBorderSizes(int buttonCount, int buttonIndex) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::ButtonGroupBorderSizes(buttonCount, buttonIndex);
    TcxScreenCanvas screen;
    RECT insets{};
    ContentInsets(theme, BP_PUSHBUTTON, PBS_NORMAL, insets, screen.Handle());
    // A part with see-through edges needs a pixel more around its content.
    if (dxUxTheme::IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, PBS_NORMAL))
        insets = RECT{insets.left + 1, insets.top + 1, insets.right + 1, insets.bottom + 1};
    return insets;
}

TColor TcxWinXPLookAndFeelPainter::ButtonSymbolColor(TcxButtonState state) const
{
    TColor color = Standard::ButtonSymbolColor(state);
    if (HTHEME theme = OpenTheme(totButton))
        ThemeColor(theme, BP_PUSHBUTTON, BtnStateToXPBtnState(state), TMT_TEXTCOLOR, color);
    return color;
}

void TcxWinXPLookAndFeelPainter::DrawButton(TcxCanvas* canvas, const RECT& r, const std::string& caption,
                                            TcxButtonState state, bool drawBorder, TColor color,
                                            TColor textColor) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::DrawButton(canvas, r, caption, state, drawBorder, color, textColor);
    const int stateId = BtnStateToXPBtnState(state);
    DrawPart(canvas, theme, BP_PUSHBUTTON, stateId, r);
    if (caption.empty()) return;
    dxUxTheme::DrawThemeText(theme, canvas->Handle(), BP_PUSHBUTTON, stateId, caption,
                             DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0, r);
}

// ---- expand buttons ---------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                  TColor color) const
{
    HTHEME theme = OpenTheme(totTreeview);
    if (!theme) return Standard::DrawExpandButton(canvas, r, expanded, color);
    DrawPart(canvas, theme, TVP_GLYPH, expanded ? GLPS_OPENED : GLPS_CLOSED, r);
    // Tree lines drawn afterwards must not cross the button.
    canvas->ExcludeClipRect(r);
}

void TcxWinXPLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                       TcxButtonState state) const
{
    HTHEME theme = OpenTheme(totExplorerBar);
    if (!theme) return Standard::DrawGroupExpandButton(canvas, r, expanded, state);
    DrawPart(canvas, theme, expanded ? EBP_NORMALGROUPCOLLAPSE : EBP_NORMALGROUPEXPAND, kGroupExpandStates[state], r);
}

void TcxWinXPLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                       TColor borderColor, TColor color) const
{
    if (!OpenTheme(totTreeview)) return Standard::DrawSmallExpandButton(canvas, r, expanded, borderColor, color);
    DrawExpandButton(canvas, r, expanded);
}

int TcxWinXPLookAndFeelPainter::ExpandButtonSize() const
{
    HTHEME theme = OpenTheme(totTreeview);
    return theme ? TrueSize(theme, TVP_GLYPH, GLPS_OPENED).cx : Standard::ExpandButtonSize();
}

int TcxWinXPLookAndFeelPainter::GroupExpandButtonSize() const
{
    HTHEME theme = OpenTheme(totExplorerBar);
    return theme ? TrueSize(theme, EBP_NORMALGROUPEXPAND, EBNGC_NORMAL).cx : Standard::GroupExpandButtonSize();
}

bool TcxWinXPLookAndFeelPainter::IsPointOverGroupExpandButton(const RECT& r, const POINT& p) const
{
    HTHEME theme = OpenTheme(totExplorerBar);
    if (!theme) return Standard::IsPointOverGroupExpandButton(r, p);
    HRGN handle = nullptr;
    if (dxUxTheme::GetThemeBackgroundRegion(theme, nullptr, EBP_NORMALGROUPEXPAND, EBNGC_NORMAL, &r, &handle) != S_OK)
        return false;
    const TcxRegion region(handle);
    return region.PtInRegion(p);
}

int TcxWinXPLookAndFeelPainter::SmallExpandButtonSize() const
{
    return OpenTheme(totTreeview) ? ExpandButtonSize() : Standard::SmallExpandButtonSize();
}

// ---- check boxes and radio buttons ----------------------------------------------------------------

int TcxWinXPLookAndFeelPainter::CheckBorderSize() const
{
    return OpenTheme(totButton) ? 0 : Standard::CheckBorderSize();
}

void TcxWinXPLookAndFeelPainter::DrawCheck(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked,
                                           TColor color) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::DrawCheck(canvas, r, state, checked, color);
    DrawPart(canvas, theme, BP_CHECKBOX, (checked ? kCheckedStates : kUncheckedStates)[state], r);
}

void TcxWinXPLookAndFeelPainter::DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    if (!OpenTheme(totButton)) Standard::DrawCheckBorder(canvas, r, state);
}

void TcxWinXPLookAndFeelPainter::DrawRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state,
                                                 bool checked, bool focused, TColor brushColor,
                                                 bool isDesigning) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::DrawRadioButton(canvas, x, y, state, checked, focused, brushColor, isDesigning);
    // The radio states number as the check box's.
    const int stateId = (checked ? kCheckedStates : kUncheckedStates)[state];
    const SIZE size = TrueSize(theme, BP_RADIOBUTTON, stateId);
    DrawPart(canvas, theme, BP_RADIOBUTTON, stateId, RECT{x, y, x + size.cx, y + size.cy});
}

// ---- headers --------------------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawHeader(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                            TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                            TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                            bool showEndEllipsis, const std::string& text, TFont* font,
                                            TColor textColor, TColor bkColor,
                                            const TcxDrawBackgroundEvent& onDrawBackground, bool isLast) const
{
    HTHEME theme = OpenTheme(totHeader);
    if (!theme)
        return Standard::DrawHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignmentHorz,
                                    alignmentVert, multiLine, showEndEllipsis, text, font, textColor, bkColor,
                                    onDrawBackground, isLast);
    const int stateId = kHeaderStates[state];
    const int part = HeaderPart(isLast, stateId);
    DrawPart(canvas, theme, part, stateId, bounds);
    const RECT textArea = state == cxbsPressed ? cxRectOffset(textAreaBounds, 1, 1) : textAreaBounds;
    DrawContent(canvas, theme, part, stateId, bounds, textArea, alignmentHorz, alignmentVert, multiLine,
                showEndEllipsis, text, font, textColor);
}

void TcxWinXPLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxNeighbors neighbors, TcxBorders borders,
    TcxButtonState state, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
    bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor, TColor bkColor) const
{
    canvas->SetBrushColor(clBtnFace);
    canvas->FillRect(bounds);
    DrawHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignmentHorz, alignmentVert, multiLine,
               showEndEllipsis, text, font, textColor, bkColor);
}

void TcxWinXPLookAndFeelPainter::DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const
{
    DrawSortingArrow(canvas, r, clBtnShadow, clBtnShadow, ascendingSorting);
}

int TcxWinXPLookAndFeelPainter::HeaderBorderSize() const
{
    RECT insets{};
    HTHEME theme = OpenTheme(totHeader);
    if (theme && ContentInsets(theme, HP_HEADERITEM, HIS_NORMAL, insets)) return (insets.left + insets.top) / 2;
    return Standard::HeaderBorderSize();
}

RECT TcxWinXPLookAndFeelPainter::HeaderControlSectionContentBounds(const RECT& r, TcxButtonState state) const
{
    if (!OpenTheme(totHeader)) return Standard::HeaderControlSectionContentBounds(r, state);
    return cxRectInflate(r, -HeaderBorderSize(), -HeaderBorderSize());
}

// ---- footers --------------------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const
{
    HTHEME theme = OpenTheme(totEdit);
    if (!theme) return Standard::DrawFooterBorder(canvas, r);
    dxUxTheme::DrawThemeEdge(theme, canvas->Handle(), 0, 0, r, BDR_RAISEDINNER, BF_RECT);
}

void TcxWinXPLookAndFeelPainter::DrawFooterCell(TcxCanvas* canvas, const RECT& r, TAlignment alignmentHorz,
                                                TcxAlignmentVert alignmentVert, bool multiLine,
                                                const std::string& text, TFont* font, TColor textColor,
                                                TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground) const
{
    HTHEME theme = OpenTheme(totTrackBar);
    if (!theme)
        return Standard::DrawFooterCell(canvas, r, alignmentHorz, alignmentVert, multiLine, text, font, textColor,
                                        bkColor, onDrawBackground);
    DrawPart(canvas, theme, TKP_TRACK, TRS_NORMAL, r);
    DrawContent(canvas, theme, TKP_TRACK, TRS_NORMAL, r, FooterCellTextAreaBounds(r), alignmentHorz, alignmentVert,
                multiLine, false, text, font, textColor);
}

int TcxWinXPLookAndFeelPainter::FooterCellBorderSize() const
{
    RECT insets{};
    HTHEME theme = OpenTheme(totTrackBar);
    if (theme && ContentInsets(theme, TKP_TRACK, TRS_NORMAL, insets)) return insets.left;
    return Standard::FooterCellBorderSize();
}

// ---- filter buttons ---------------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    HTHEME theme = OpenTheme(totWindow);
    if (!theme) return Standard::DrawFilterCloseButton(canvas, r, state);
    DrawPart(canvas, theme, WP_SMALLCLOSEBUTTON, kCommonStates[state], r);
}

void TcxWinXPLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                          bool isFilterActive) const
{
    HTHEME theme = OpenTheme(totComboBox);
    if (!theme) return Standard::DrawFilterDropDownButton(canvas, r, state, isFilterActive);
    DrawPart(canvas, theme, CP_DROPDOWNBUTTON, kCommonStates[state], r);
}

POINT TcxWinXPLookAndFeelPainter::FilterActivateButtonSize() const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::FilterActivateButtonSize();
    const SIZE size = TrueSize(theme, BP_CHECKBOX, CBS_CHECKEDNORMAL);
    return POINT{size.cx, size.cy};
}

POINT TcxWinXPLookAndFeelPainter::FilterCloseButtonSize() const
{
    HTHEME theme = OpenTheme(totWindow);
    if (!theme) return Standard::FilterCloseButtonSize();
    const SIZE size = TrueSize(theme, WP_SMALLCLOSEBUTTON, CBS_NORMAL);
    return POINT{size.cx + 4, size.cy + 4};
}

// ---- chart-view buttons -------------------------------------------------------------------------------

POINT TcxWinXPLookAndFeelPainter::ChartViewNavigatorAutoHideButtonSize() const
{
    HTHEME theme = OpenTheme(totExplorerBar);
    if (!theme) return Standard::ChartViewNavigatorAutoHideButtonSize();
    const SIZE size = TrueSize(theme, EBP_HEADERPIN, EBHP_NORMAL);
    return POINT{size.cx, size.cy};
}

POINT TcxWinXPLookAndFeelPainter::ChartViewNavigatorAddValueColumnButtonSize() const
{
    const POINT size = Standard::ChartViewNavigatorAddValueColumnButtonSize();
    return POINT{size.x + 2, size.y + 2};
}

void TcxWinXPLookAndFeelPainter::DrawChartViewNavigatorAddValueColumnButton(TcxCanvas* canvas, const RECT& r,
                                                                            TcxButtonState state) const
{
    HTHEME theme = OpenTheme(totButton);
    if (!theme) return Standard::DrawChartViewNavigatorAddValueColumnButton(canvas, r, state);
    DrawPart(canvas, theme, BP_PUSHBUTTON, BtnStateToXPBtnState(state), r);
    RECT cross = cxRectInflate(r, -2, -2);
    if (state == cxbsDisabled) cross = cxRectOffset(cross, 1, 1);
    Standard::DrawChartViewNavigatorAddValueColumnButtonCrossHire(canvas, cross, state);
}

void TcxWinXPLookAndFeelPainter::DrawChartViewNavigatorAutoHideButton(TcxCanvas* canvas, const RECT& r,
                                                                      TcxButtonState state, bool pinned,
                                                                      TColor color) const
{
    HTHEME theme = OpenTheme(totExplorerBar);
    if (!theme) return Standard::DrawChartViewNavigatorAutoHideButton(canvas, r, state, pinned, color);
    const int width = cxRectWidth(r), height = cxRectHeight(r);
    if (width <= 0 || height <= 0) return;
    ObjectPtr<TBitmap> bitmap = NewBitmap(width, height);
    bitmap->Canvas()->Brush()->SetColor(color);
    bitmap->Canvas()->FillRect(RECT{0, 0, width, height});
    dxUxTheme::DrawThemeBackground(theme, bitmap->Canvas()->Handle(), EBP_HEADERPIN, kPinStates[state],
                                   RECT{0, 0, width, height});
    if (!pinned) canvas->RotateBitmap(bitmap.get(), raPlus90);
    canvas->Draw(r.left, r.top, bitmap.get());
}

// ---- tabs -----------------------------------------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawTabPart(TcxCanvas* canvas, HTHEME theme, const RECT& r, TcxBorders borders,
                                             int stateId, bool vertical) const
{
    // Without a border on a side the item runs two pixels further, under
    // its neighbour; a selected item reaches a row into the pane, the
    // others stop a row short of it.
    RECT part = r, clip = r;
    const TcxBorder start = vertical ? bTop : bLeft, end = vertical ? bBottom : bRight;
    // A vertical item is drawn lying down and turned a quarter to the left,
    // so its top edge is drawn on the right.
    LONG& startEdge = vertical ? part.right : part.left;
    LONG& endEdge = vertical ? part.left : part.right;
    const int outward = vertical ? 1 : -1;
    if (!borders.Contains(start)) startEdge += 2 * outward;
    if (!borders.Contains(end)) endEdge -= 2 * outward;
    if (stateId == TIS_SELECTED) ++part.bottom;
    else --clip.bottom;
    dxUxTheme::DrawThemeBackground(theme, canvas->Handle(), TABP_TABITEM, stateId, part, clip);
}

void TcxWinXPLookAndFeelPainter::DrawVerticalTabPart(TcxCanvas* canvas, HTHEME theme, const RECT& r,
                                                     TcxBorders borders, int stateId) const
{
    const int width = cxRectWidth(r), height = cxRectHeight(r);
    if (width <= 0 || height <= 0) return;
    // What the theme leaves clear keeps what was under the tab: the bitmap
    // starts as a copy of r, laid down.
    ObjectPtr<TBitmap> bitmap = NewBitmap(width, height);
    bitmap->Canvas()->CopyRect(RECT{0, 0, width, height}, canvas->Canvas(), r);
    canvas->RotateBitmap(bitmap.get(), raMinus90);
    TcxCanvas lying(bitmap->Canvas());
    DrawTabPart(&lying, theme, RECT{0, 0, height, width}, borders, stateId, true);
    canvas->RotateBitmap(bitmap.get(), raPlus90);
    canvas->Draw(r.left, r.top, bitmap.get());
}

void TcxWinXPLookAndFeelPainter::DrawTab(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                         const std::string& text, TcxButtonState state, bool vertical, TFont* font,
                                         TColor textColor, TColor bkColor) const
{
    HTHEME theme = OpenTheme(totTab);
    if (!theme) return Standard::DrawTab(canvas, r, borders, text, state, vertical, font, textColor, bkColor);
    const int stateId = kCommonStates[state];
    if (vertical) DrawVerticalTabPart(canvas, theme, r, borders, stateId);
    else DrawTabPart(canvas, theme, r, borders, stateId, false);
    RECT textArea = r;
    if (stateId == TIS_SELECTED) (vertical ? textArea.left : textArea.top) -= 2;
    DrawContent(canvas, theme, TABP_TABITEM, stateId, r, textArea, taCenter, vaCenter, false, false, text, font,
                textColor);
}

void TcxWinXPLookAndFeelPainter::DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                                               bool vertical) const
{
    if (!OpenTheme(totTab)) Standard::DrawTabBorder(canvas, r, side, borders, vertical);
}

void TcxWinXPLookAndFeelPainter::DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                              bool vertical) const
{
    HTHEME theme = OpenTheme(totTab);
    if (!theme) return Standard::DrawTabsRoot(canvas, r, borders, vertical);
    RECT content{};
    dxUxTheme::GetThemeBackgroundContentRect(theme, canvas->Handle(), TABP_PANE, 0, r, content);
    // Only the pane's near edge shows: its far side and ends lie outside r.
    RECT pane = r;
    if (vertical) {
        pane.right += 10;
        pane.top -= content.top - r.top;
        pane.bottom += r.bottom - content.bottom;
    } else {
        pane.bottom += 10;
        pane.left -= content.left - r.left;
        pane.right += r.right - content.right;
    }
    dxUxTheme::DrawThemeBackground(theme, canvas->Handle(), TABP_PANE, 0, pane, r);
}

bool TcxWinXPLookAndFeelPainter::IsDrawTabImplemented(bool vertical) const
{
    return OpenTheme(totTab) ? true : Standard::IsDrawTabImplemented(vertical);
}

bool TcxWinXPLookAndFeelPainter::IsTabHotTrack(bool vertical) const
{
    return OpenTheme(totTab) ? true : Standard::IsTabHotTrack(vertical);
}

// ---- row indicator, scroll bar, scheduler ------------------------------------------------------------

void TcxWinXPLookAndFeelPainter::DrawIndicatorItem(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind,
                                                   TColor color, const TcxDrawBackgroundEvent& onDrawBackground) const
{
    TcxFlatLookAndFeelPainter::Class()->DrawIndicatorItem(canvas, r, kind, color, onDrawBackground);
}

void TcxWinXPLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                   TcxScrollBarPart part, TcxButtonState state) const
{
    HTHEME theme = OpenTheme(totScrollBar);
    if (!theme) return Standard::DrawScrollBarPart(canvas, horizontal, r, part, state);
    if (cxRectIsEmpty(r)) return;
    switch (part) {
    case sbpLineUp:
    case sbpLineDown: DrawArrow(canvas, r, state, GetArrowDirection(horizontal, part)); break;
    case sbpThumbnail:
        DrawPart(canvas, theme, horizontal ? SBP_THUMBBTNHORZ : SBP_THUMBBTNVERT, ThumbState(state), r);
        DrawPart(canvas, theme, horizontal ? SBP_GRIPPERHORZ : SBP_GRIPPERVERT, 0, r);
        break;
    case sbpPageUp:
    case sbpPageDown: DrawPart(canvas, theme, TrackPart(horizontal, part), ThumbState(state), r); break;
    default: break;
    }
}

void TcxWinXPLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r,
                                                             const TcxViewParams& viewParams, bool isHorizontal) const
{
    if (!OpenTheme(totComboBox) || !OpenTheme(totListView))
        return Standard::DrawSchedulerSplitterBorder(canvas, r, viewParams, isHorizontal);
    const TColor line = DefaultSchedulerBorderColor();
    canvas->FillRect(cxDrawSplitterLines(canvas, r, isHorizontal, line, line), viewParams);
}

// ---- unit -------------------------------------------------------------------------------------------

namespace {
int starts = 0;
}  // namespace

void cxWinXPLookAndFeelPaintersInitialize()
{
    if (starts++ > 0) return;
    cxStandardLookAndFeelPaintersInitialize();
    cxRegisterLookAndFeelPainter(lfsNative, TcxWinXPLookAndFeelPainter::Class());
}

void cxWinXPLookAndFeelPaintersFinalize()
{
    if (starts == 0 || --starts > 0) return;
    cxRegisterLookAndFeelPainter(lfsNative, nullptr);
    cxStandardLookAndFeelPaintersFinalize();
}
