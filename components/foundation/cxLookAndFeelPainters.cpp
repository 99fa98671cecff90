#include "components/foundation/cxLookAndFeelPainters.h"

#include <vector>

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/muldiv.h"

using namespace hostlib;

namespace {

TcxCustomLookAndFeelPainterClass& Registered(TcxLookAndFeelStyle style)
{
    static TcxCustomLookAndFeelPainterClass table[kLookAndFeelStyleCount] = {};
    return table[style];
}

// x / 2 with halves rounded away from zero.
int Mid(int x) { return MulDiv(x, 1, 2); }

// The odd length nearest above or at n.
int MakeOdd(int n) { return n % 2 == 0 ? n + 1 : n; }

void FillTriangle(TcxCanvas* canvas, const TcxArrowPoints& points, TColor color)
{
    canvas->FillPolygon({points.begin(), points.end()}, color);
}

// A line from one point to another, both end pixels included.
void DrawLine(TcxCanvas* canvas, POINT from, POINT to, TColor color)
{
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(from.x, from.y);
    canvas->LineTo(to.x, to.y);
    canvas->SetPixel(to.x, to.y, color);
}

int TextFlags(TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis)
{
    static constexpr int horz[] = {cxtfLeft, cxtfRight, cxtfHCenter};
    static constexpr int vert[] = {cxtfTop, cxtfBottom, cxtfVCenter};
    int flags = horz[alignmentHorz] | vert[alignmentVert];
    flags |= multiLine ? cxtfWordBreak : cxtfSingleLine;
    if (showEndEllipsis) flags |= cxtfEndEllipsis;
    return flags;
}

// Text on a transparent background in one colour; the brush is solid again
// afterwards.
void DrawTextIn(TcxCanvas* canvas, const std::string& text, const RECT& r, int flags, TFont* font, TColor color,
                bool enabled = true)
{
    canvas->Brush()->SetStyle(bsClear);
    if (font) canvas->SetFont(font);
    canvas->Font()->SetColor(color);
    canvas->DrawTexT(text, r, flags, enabled);
    canvas->Brush()->SetStyle(bsSolid);
}

void FillIn(TcxCanvas* canvas, const RECT& r, TColor color)
{
    canvas->SetBrushColor(color);
    canvas->FillRect(r);
}

}  // namespace

TcxCustomLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Class()
{
    static const TcxCustomLookAndFeelPainter painter;
    return &painter;
}

// ---- basic -----------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawButtonArrow(TcxCanvas* canvas, const RECT& r, TColor color) const
{
    const int base = MakeOdd(cxRectWidth(r) / 2);
    const int depth = base / 2 + 1;
    const int x0 = (r.left + r.right - base) / 2;
    const int y0 = Mid(r.top + r.bottom - depth);
    FillTriangle(canvas, {POINT{x0, y0}, POINT{x0 + base - 1, y0}, POINT{x0 + base / 2, y0 + depth - 1}}, color);
}

void TcxCustomLookAndFeelPainter::DrawContent(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, int,
                                              TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                              bool showEndEllipsis, const std::string& text, TFont* font,
                                              TColor textColor, TColor bkColor,
                                              const TcxDrawBackgroundEvent& onDrawBackground, bool) const
{
    bool done = false;
    if (onDrawBackground) onDrawBackground(canvas, bounds, done);
    if (!done) FillIn(canvas, bounds, bkColor);
    if (text.empty()) return;
    DrawTextIn(canvas, text, textAreaBounds, TextFlags(alignmentHorz, alignmentVert, multiLine, showEndEllipsis), font,
               textColor);
}

RECT TcxCustomLookAndFeelPainter::FooterCellContentBounds(const RECT& r) const
{
    const int size = FooterCellBorderSize();
    return cxRectInflate(r, -size, -size);
}

RECT TcxCustomLookAndFeelPainter::FooterCellTextAreaBounds(const RECT& r) const
{
    return cxRectInflate(FooterCellContentBounds(r), -2, -2);
}

// ---- default colours --------------------------------------------------------------------

TColor TcxCustomLookAndFeelPainter::DefaultChartViewLegendColor() const { return TColor(0xF0FBFF); }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewLegendTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewTitleColor() const { return TColor(0xF0FBFF); }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewTitleTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorAddValueColumnButtonCrossColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorByTextTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorCategoryColumnTextColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorFilterTextColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewNavigatorValueColumnTextColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultChartViewSeriesTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultContentColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultContentTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultFilterBoxColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultFilterBoxTextColor() const { return clBtnHighlight; }
TColor TcxCustomLookAndFeelPainter::DefaultFixedSeparatorColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultFooterColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultFooterTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultGridLineColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupByBoxColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultGroupByBoxTextColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderBackgroundColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::DefaultHeaderBackgroundTextColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultInactiveColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultInactiveTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultPreviewTextColor() const { return TColor(0xFF0000); }
TColor TcxCustomLookAndFeelPainter::DefaultRecordSeparatorColor() const { return DefaultGridLineColor(); }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorHeaderColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorSelectionColor() const { return clHighlight; }
TColor TcxCustomLookAndFeelPainter::DefaultDateNavigatorSelectionTextColor() const { return clHighlightText; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerBackgroundColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerBorderColor() const { return TColor(0x0000FF); }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerControlColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerViewContentColor() const { return TColor(0xD5FFFF); }
TColor TcxCustomLookAndFeelPainter::DefaultSchedulerViewTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::DefaultSelectionColor() const { return clHighlight; }
TColor TcxCustomLookAndFeelPainter::DefaultSelectionTextColor() const { return clHighlightText; }
TColor TcxCustomLookAndFeelPainter::DefaultSeparatorColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultTabColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::DefaultTabTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DefaultTabsBackgroundColor() const { return clBtnFace; }

// ---- arrows and border --------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* canvas, const RECT& r, TcxArrowDirection direction,
                                            TColor color) const
{
    TcxArrowPoints points{};
    CalculateArrowPoints(r, points, direction, true);
    FillTriangle(canvas, points, color);
}

void TcxCustomLookAndFeelPainter::DrawArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                            TcxArrowDirection direction, bool drawBorder) const
{
    TcxArrowPoints points{};
    CalculateArrowPoints(r, points, direction, false);
    if (drawBorder) DrawArrowBorder(canvas, r, state);
    else FillIn(canvas, r, ButtonColor(state));
    FillTriangle(canvas, points, ButtonSymbolColor(state));
}

void TcxCustomLookAndFeelPainter::DrawArrowBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    FillIn(canvas, r, ButtonColor(state));
    DrawButtonBorder(canvas, r, state);
}

void TcxCustomLookAndFeelPainter::DrawScrollBarArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                     TcxArrowDirection direction) const
{
    RECT rect = r;
    if (state == cxbsPressed) rect = cxRectOffset(rect, ButtonTextShift(), ButtonTextShift());
    TcxArrowPoints points{};
    if (state == cxbsDisabled) {
        CalculateArrowPoints(cxRectOffset(rect, 1, 1), points, direction, true);
        FillTriangle(canvas, points, clBtnHighlight);
        CalculateArrowPoints(rect, points, direction, true);
        FillTriangle(canvas, points, clBtnShadow);
    } else {
        CalculateArrowPoints(rect, points, direction, true);
        FillTriangle(canvas, points, ButtonSymbolColor(state));
    }
}

void TcxCustomLookAndFeelPainter::DrawBorder(TcxCanvas*, const RECT&) const {}

// ---- push buttons -------------------------------------------------------------------------

int TcxCustomLookAndFeelPainter::ButtonBorderSize(TcxButtonState) const { return 0; }

TColor TcxCustomLookAndFeelPainter::ButtonColor(TcxButtonState) const { return clBtnFace; }

RECT TcxCustomLookAndFeelPainter::ButtonFocusRect(TcxCanvas*, const RECT& r) const
{
    const RECT inner = cxRectInflate(r, -4, -4);
    return cxRectIsEmpty(inner) ? r : inner;
}

RECT TcxCustomLookAndFeelPainter::ButtonGroupBorderSizes(int, int) const
{
    const int size = ButtonBorderSize(cxbsNormal);
    return RECT{size, size, size, size};
}

TColor TcxCustomLookAndFeelPainter::ButtonSymbolColor(TcxButtonState state) const
{
    return state == cxbsDisabled ? clBtnShadow : clBtnText;
}

void TcxCustomLookAndFeelPainter::DrawButton(TcxCanvas* canvas, const RECT& r, const std::string& caption,
                                             TcxButtonState state, bool drawBorder, TColor color,
                                             TColor textColor) const
{
    RECT rect = r;
    if (drawBorder) {
        DrawButtonBorder(canvas, rect, state);
        rect = cxRectInflate(rect, -ButtonBorderSize(state), -ButtonBorderSize(state));
    }
    FillIn(canvas, rect, color == clDefault ? ButtonColor(state) : color);
    if (textColor == clDefault) textColor = ButtonSymbolColor(state);
    // The text centres on an even height; short buttons lend it a row above.
    if (cxRectHeight(rect) % 2 != 0) --rect.bottom;
    if (cxRectHeight(rect) < 18) --rect.top;
    if (state == cxbsPressed) rect = cxRectOffset(rect, ButtonTextShift(), ButtonTextShift());
    if (caption.empty()) return;
    DrawTextIn(canvas, caption, rect, cxtfHCenter | cxtfVCenter | cxtfSingleLine | cxtfShowPrefix, nullptr, textColor,
               state != cxbsDisabled);
}

void TcxCustomLookAndFeelPainter::DrawButtonInGroup(TcxCanvas* canvas, const RECT& r, TcxButtonState state, int, int,
                                                    TColor) const
{
    DrawButton(canvas, r, "", state);
}

void TcxCustomLookAndFeelPainter::DrawButtonBorder(TcxCanvas*, const RECT&, TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::DrawButtonGroupBorder(TcxCanvas*, const RECT&, bool, bool) const {}

// ---- expand buttons ------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawExpandButton(TcxCanvas*, const RECT&, bool, TColor) const {}

void TcxCustomLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                        TcxButtonState state) const
{
    DrawButton(canvas, r, "", state);
    DrawGroupExpandButtonMark(canvas, r, expanded, state);
}

void TcxCustomLookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                        TColor borderColor, TColor color) const
{
    canvas->FrameRect(r, borderColor);
    if (color != clDefault) FillIn(canvas, cxRectInflate(r, -1, -1), color);
    DrawExpandButtonCross(canvas, r, expanded, clBtnText);
}

bool TcxCustomLookAndFeelPainter::IsPointOverGroupExpandButton(const RECT& r, const POINT& p) const
{
    return cxRectPtIn(r, p);
}

// ---- check boxes and radio buttons -----------------------------------------------------------

TColor TcxCustomLookAndFeelPainter::CheckButtonColor(TcxButtonState state) const
{
    return state == cxbsPressed || state == cxbsDisabled ? clBtnFace : clWindow;
}

void TcxCustomLookAndFeelPainter::DrawCheck(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked,
                                            TColor color) const
{
    FillIn(canvas, r, CheckButtonColor(state));
    if (!checked) return;
    const int w = cxRectWidth(r) - 2;
    const int h = cxRectHeight(r) - 4;
    const int x0 = (r.left + r.right) / 2 - 1;
    const int y = (r.top + r.bottom + h) / 2 - 2;
    canvas->Pen()->SetColor(color);
    for (int d = 0; d < 3; ++d)
        canvas->Polyline({POINT{x0 + 1 - w / 2, y + d - h / 2}, POINT{x0, y + d}, POINT{x0 + w / 2 + 2, y + d - h}});
}

void TcxCustomLookAndFeelPainter::DrawCheckBorder(TcxCanvas*, const RECT&, TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::DrawCheckButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                  bool checked) const
{
    DrawCheckBorder(canvas, r, state);
    const RECT inner = cxRectInflate(r, -CheckBorderSize(), -CheckBorderSize());
    DrawCheck(canvas, inner, state, checked, state == cxbsDisabled ? clBtnShadow : clBtnText);
}

void TcxCustomLookAndFeelPainter::DrawRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state, bool checked,
                                                  bool focused, TColor brushColor, bool isDesigning) const
{
    auto* images = cxRadioButtonImageList();
    if (!images) return;
    TcxLookAndFeelKind kind = lfStandard;
    switch (LookAndFeelStyle()) {
    case lfsFlat: kind = lfFlat; break;
    case lfsUltraFlat: kind = lfUltraFlat; break;
    case lfsOffice11: kind = lfOffice11; break;
    default: break;
    }
    images->Draw(canvas, x, y, brushColor, kind, state, checked, focused, isDesigning);
}

// ---- headers --------------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawHeader(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                             TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                             TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                             bool showEndEllipsis, const std::string& text, TFont* font,
                                             TColor textColor, TColor bkColor,
                                             const TcxDrawBackgroundEvent& onDrawBackground, bool) const
{
    DrawHeaderBorder(canvas, bounds, neighbors, borders);
    DrawContent(canvas, HeaderContentBounds(bounds, borders), textAreaBounds, state, alignmentHorz, alignmentVert,
                multiLine, showEndEllipsis, text, font, textColor, bkColor, onDrawBackground);
}

void TcxCustomLookAndFeelPainter::DrawHeaderEx(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                               TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                               TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                                               bool multiLine, bool showEndEllipsis, const std::string& text,
                                               TFont* font, TColor textColor, TColor bkColor,
                                               const TcxDrawBackgroundEvent& onDrawBackground, bool isLast) const
{
    DrawHeader(canvas, bounds, textAreaBounds, neighbors, borders, state, alignmentHorz, alignmentVert, multiLine,
               showEndEllipsis, text, font, textColor, bkColor, onDrawBackground, isLast);
}

void TcxCustomLookAndFeelPainter::DrawHeaderBorder(TcxCanvas*, const RECT&, TcxNeighbors, TcxBorders) const {}

void TcxCustomLookAndFeelPainter::DrawHeaderPressed(TcxCanvas* canvas, const RECT& r) const { canvas->InvertRect(r); }

void TcxCustomLookAndFeelPainter::DrawHeaderControlSection(
    TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxNeighbors, TcxBorders borders,
    TcxButtonState state, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
    bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor, TColor bkColor) const
{
    DrawHeaderControlSectionBorder(canvas, bounds, borders, state);
    DrawHeaderControlSectionContent(canvas, HeaderControlSectionContentBounds(bounds, state), textAreaBounds, state,
                                    alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text, font, textColor,
                                    bkColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas*, const RECT&, TcxBorders,
                                                                 TcxButtonState) const
{
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxButtonState state, TAlignment alignmentHorz,
    TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis, const std::string& text, TFont* font,
    TColor textColor, TColor bkColor) const
{
    FillIn(canvas, bounds, bkColor);
    DrawHeaderControlSectionText(canvas, HeaderControlSectionTextAreaBounds(textAreaBounds, state), state,
                                 alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text, font, textColor);
}

void TcxCustomLookAndFeelPainter::DrawHeaderControlSectionText(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                               TAlignment alignmentHorz,
                                                               TcxAlignmentVert alignmentVert, bool multiLine,
                                                               bool showEndEllipsis, const std::string& text,
                                                               TFont* font, TColor textColor) const
{
    const int flags = TextFlags(alignmentHorz, alignmentVert, multiLine, showEndEllipsis);
    if (state == cxbsDisabled) {
        DrawTextIn(canvas, text, cxRectOffset(r, 1, 1), flags, font, clBtnHighlight);
        DrawTextIn(canvas, text, r, flags, font, clBtnShadow);
    } else {
        DrawTextIn(canvas, text, r, flags, font, textColor);
    }
}

void TcxCustomLookAndFeelPainter::DrawSortingMark(TcxCanvas*, const RECT&, bool) const {}

TcxBorders TcxCustomLookAndFeelPainter::HeaderBorders(TcxNeighbors) const { return cxBordersAll; }

RECT TcxCustomLookAndFeelPainter::HeaderBounds(const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const
{
    const TcxBorders grow = borders - HeaderBorders(neighbors);
    const int size = HeaderBorderSize();
    RECT result = r;
    if (grow.Contains(bLeft)) result.left -= size;
    if (grow.Contains(bTop)) result.top -= size;
    if (grow.Contains(bRight)) result.right += size;
    if (grow.Contains(bBottom)) result.bottom += size;
    return result;
}

RECT TcxCustomLookAndFeelPainter::HeaderContentBounds(const RECT& r, TcxBorders borders) const
{
    const int size = HeaderBorderSize();
    RECT result = r;
    if (borders.Contains(bLeft)) result.left += size;
    if (borders.Contains(bTop)) result.top += size;
    if (borders.Contains(bRight)) result.right -= size;
    if (borders.Contains(bBottom)) result.bottom -= size;
    return result;
}

int TcxCustomLookAndFeelPainter::HeaderHeight(int fontHeight) const { return fontHeight + 2 * HeaderBorderSize() + 4; }

int TcxCustomLookAndFeelPainter::HeaderControlSectionBorderSize(TcxButtonState) const { return 1; }

RECT TcxCustomLookAndFeelPainter::HeaderControlSectionTextAreaBounds(const RECT& r, TcxButtonState state) const
{
    return state == cxbsPressed ? cxRectOffset(r, 1, 1) : r;
}

RECT TcxCustomLookAndFeelPainter::HeaderControlSectionContentBounds(const RECT& r, TcxButtonState state) const
{
    const int size = HeaderControlSectionBorderSize(state);
    return cxRectInflate(r, -size, -size);
}

int TcxCustomLookAndFeelPainter::HeaderWidth(TcxCanvas* canvas, TcxBorders borders, const std::string& text,
                                             TFont* font) const
{
    if (font) canvas->SetFont(font);
    int width = canvas->TextWidth(text) + 4;
    if (borders.Contains(bLeft)) width += HeaderBorderSize();
    if (borders.Contains(bRight)) width -= HeaderBorderSize();
    return width;
}

POINT TcxCustomLookAndFeelPainter::SortingMarkAreaSize() const { return POINT{16, SortingMarkSize().y}; }

POINT TcxCustomLookAndFeelPainter::SortingMarkSize() const { return POINT{0, 0}; }

// ---- footers --------------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawFooterCell(TcxCanvas* canvas, const RECT& r, TAlignment alignmentHorz,
                                                 TcxAlignmentVert alignmentVert, bool multiLine,
                                                 const std::string& text, TFont* font, TColor textColor,
                                                 TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground) const
{
    DrawFooterCellBorder(canvas, r);
    DrawContent(canvas, FooterCellContentBounds(r), FooterCellTextAreaBounds(r), 0, alignmentHorz, alignmentVert,
                multiLine, false, text, font, textColor, bkColor, onDrawBackground, true);
}

TColor TcxCustomLookAndFeelPainter::FooterSeparatorColor() const { return clBtnShadow; }

void TcxCustomLookAndFeelPainter::DrawFooterBorder(TcxCanvas*, const RECT&) const {}

void TcxCustomLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas*, const RECT&) const {}

void TcxCustomLookAndFeelPainter::DrawFooterSeparator(TcxCanvas* canvas, const RECT& r) const
{
    FillIn(canvas, r, FooterSeparatorColor());
}

// ---- filter buttons -----------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawFilterActivateButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                           bool checked) const
{
    DrawCheckButton(canvas, r, state, checked);
}

void TcxCustomLookAndFeelPainter::DrawFilterCloseButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    DrawButtonBorder(canvas, r, state);
    const RECT inner = cxRectInflate(r, -ButtonBorderSize(cxbsNormal), -ButtonBorderSize(cxbsNormal));
    FillIn(canvas, inner, ButtonColor(state));
    DrawButtonCross(canvas, inner, ButtonSymbolColor(state), ButtonSymbolState(state));
}

void TcxCustomLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas*, const RECT&, TcxButtonState, bool) const {}

// ---- chart-view buttons ---------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawChartViewNavigatorAddValueColumnButton(TcxCanvas* canvas, const RECT& r,
                                                                             TcxButtonState state) const
{
    DrawButtonBorder(canvas, r, state);
    const RECT inner = cxRectInflate(r, -ButtonBorderSize(cxbsNormal), -ButtonBorderSize(cxbsNormal));
    FillIn(canvas, inner, ButtonColor(state));
    DrawChartViewNavigatorAddValueColumnButtonCrossHire(canvas, inner, state);
}

void TcxCustomLookAndFeelPainter::DrawChartViewNavigatorAddValueColumnButtonCrossHire(TcxCanvas* canvas,
                                                                                      const RECT& r,
                                                                                      TcxButtonState state) const
{
    // An etched plus: a light copy one pixel right and down whose left and
    // top ends reach one pixel further, then the plus in place whose right
    // and bottom ends reach one pixel further in the light colour.
    const bool disabled = state == cxbsDisabled;
    const TColor cross = DefaultChartViewNavigatorAddValueColumnButtonCrossColor();
    const TColor light = disabled ? clBtnHighlight : cross;
    const TColor dark = disabled ? clBtnShadow : cross;
    const auto plus = [canvas](const RECT& q, TColor color) {
        const int midX = (q.left + q.right) / 2, midY = (q.top + q.bottom) / 2;
        DrawLine(canvas, POINT{q.left, midY}, POINT{q.right - 1, midY}, color);
        DrawLine(canvas, POINT{midX, q.top}, POINT{midX, q.bottom - 1}, color);
    };
    const RECT q = cxRectOffset(cxRectInflate(r, -1, -1), 1, 1);
    plus(q, light);
    canvas->SetPixel(q.left - 1, (q.top + q.bottom) / 2, light);
    canvas->SetPixel((q.left + q.right) / 2, q.top - 1, light);
    const RECT p = cxRectOffset(q, -1, -1);
    plus(p, dark);
    canvas->SetPixel(p.right, (p.top + p.bottom) / 2, light);
    canvas->SetPixel((p.left + p.right) / 2, p.bottom, light);
}

void TcxCustomLookAndFeelPainter::DrawChartViewNavigatorAutoHideButton(TcxCanvas* canvas, const RECT& r,
                                                                       TcxButtonState state, bool pinned,
                                                                       TColor) const
{
    DrawButtonBorder(canvas, r, state);
    const RECT inner = cxRectInflate(r, -ButtonBorderSize(cxbsNormal), -ButtonBorderSize(cxbsNormal));
    FillIn(canvas, inner, ButtonColor(state));
    TBitmap* glyph = pinned ? cxAutoHideOffGlyph() : cxAutoHideOnGlyph();
    if (!glyph) return;
    const int shift = state == cxbsPressed ? 1 : 0;
    canvas->DrawGlyph((inner.left + inner.right - glyph->Width()) / 2 + shift,
                      (inner.top + inner.bottom - glyph->Height()) / 2 + shift, glyph);
}

// ---- tabs ---------------------------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawTab(TcxCanvas*, const RECT&, TcxBorders, const std::string&, TcxButtonState,
                                          bool, TFont*, TColor, TColor) const
{
}

void TcxCustomLookAndFeelPainter::DrawTabBorder(TcxCanvas*, const RECT&, TcxBorder, TcxBorders, bool) const {}

void TcxCustomLookAndFeelPainter::DrawTabsRoot(TcxCanvas*, const RECT&, TcxBorders, bool) const {}

bool TcxCustomLookAndFeelPainter::IsDrawTabImplemented(bool) const { return false; }

bool TcxCustomLookAndFeelPainter::IsTabHotTrack(bool) const { return false; }

int TcxCustomLookAndFeelPainter::TabBorderSize(bool) const { return 0; }

// ---- row indicator, scroll bar, month header, scheduler -----------------------------------------------------

void TcxCustomLookAndFeelPainter::DrawIndicatorItem(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind,
                                                    TColor color, const TcxDrawBackgroundEvent& onDrawBackground) const
{
    const TcxNeighbors neighbors{nTop, nBottom};
    DrawHeader(canvas, r, r, neighbors, HeaderBorders(neighbors), cxbsNormal, taLeftJustify, vaTop, false, false, "",
               nullptr, clDefault, color, onDrawBackground);
    DrawIndicatorImage(canvas, r, kind);
}

void TcxCustomLookAndFeelPainter::DrawIndicatorItemEx(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind,
                                                      TColor color,
                                                      const TcxDrawBackgroundEvent& onDrawBackground) const
{
    DrawHeaderEx(canvas, r, r, TcxNeighbors{nTop, nBottom}, cxBordersAll, cxbsNormal, taLeftJustify, vaTop, false,
                 false, "", nullptr, clDefault, color, onDrawBackground);
    DrawIndicatorImage(canvas, r, kind);
}

// Drawn when no look and feel's painter is registered: the platform's own
// scroll-bar parts, so that the bar never shows what its buffer held.
void TcxCustomLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                    TcxScrollBarPart part, TcxButtonState state) const
{
    if (r.right <= r.left || r.bottom <= r.top) return;
    const UINT pushed = state == cxbsPressed ? DFCS_PUSHED | DFCS_FLAT : 0;
    const UINT inactive = state == cxbsDisabled ? DFCS_INACTIVE : 0;
    RECT area = r;
    switch (part) {
    case sbpLineUp:
        DrawFrameControl(canvas->Handle(), &area, DFC_SCROLL,
                         (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP) | pushed | inactive);
        break;
    case sbpLineDown:
        DrawFrameControl(canvas->Handle(), &area, DFC_SCROLL,
                         (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN) | pushed | inactive);
        break;
    case sbpThumbnail: DrawFrameControl(canvas->Handle(), &area, DFC_BUTTON, DFCS_BUTTONPUSH); break;
    default:
        canvas->Brush()->SetColor(state == cxbsPressed ? clBtnShadow : clScrollBar);
        canvas->FillRect(r);
        break;
    }
}

void TcxCustomLookAndFeelPainter::DrawMonthHeader(TcxCanvas* canvas, const RECT& bounds, const std::string& text,
                                                  TcxNeighbors neighbors, const TcxViewParams& viewParams,
                                                  TcxHeaderArrows arrows, int sideWidth,
                                                  const TcxDrawBackgroundEvent& onDrawBackground) const
{
    DrawHeader(canvas, bounds, bounds, neighbors, HeaderBorders(neighbors), cxbsNormal, taCenter, vaCenter, false,
               false, text, viewParams.Font, viewParams.TextColor, viewParams.Color, onDrawBackground);
    DrawMonthHeaderArrows(canvas, bounds, arrows, sideWidth, clWindowText);
}

void TcxCustomLookAndFeelPainter::DrawSchedulerBorder(TcxCanvas* canvas, const RECT& r) const { DrawBorder(canvas, r); }

void TcxCustomLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas*, const RECT&, const TcxViewParams&,
                                                              bool) const
{
}

// ---- fixed operations ----------------------------------------------------------------------------------------

void TcxCustomLookAndFeelPainter::CalculateArrowPoints(const RECT& r, TcxArrowPoints& points,
                                                       TcxArrowDirection direction, bool proportional)
{
    RECT w = r;
    if (proportional) {
        const int width = cxRectWidth(w), height = cxRectHeight(w);
        if (width > height) w = cxRectInflate(w, -(width - height) / 2, 0);
        else if (height > width) w = cxRectInflate(w, 0, -(height - width) / 2);
    }
    const bool vertical = direction == adUp || direction == adDown;
    const int base = MakeOdd(((vertical ? cxRectWidth(w) : cxRectHeight(w)) - 1) / 2);
    const int depth = base / 2 + 1;
    if (vertical) {
        const int x0 = (w.left + w.right - base) / 2;
        const int y0 = Mid(w.top + w.bottom - depth);
        const int apexX = (w.left + w.right - 1) / 2;
        if (direction == adUp)
            points = {POINT{apexX, y0}, POINT{x0, y0 + depth - 1}, POINT{x0 + base - 1, y0 + depth - 1}};
        else
            points = {POINT{x0, y0}, POINT{x0 + base - 1, y0}, POINT{apexX, y0 + depth - 1}};
    } else {
        const int x0 = (w.left + w.right - depth) / 2;
        const int y0 = Mid(w.top + w.bottom - base);
        const int apexY = (w.top + w.bottom) / 2;
        if (direction == adLeft)
            points = {POINT{x0, apexY}, POINT{x0 + depth - 1, y0}, POINT{x0 + depth - 1, y0 + base - 1}};
        else
            points = {POINT{x0, y0}, POINT{x0, y0 + base - 1}, POINT{x0 + depth - 1, apexY}};
    }
}

void TcxCustomLookAndFeelPainter::DrawButtonCross(TcxCanvas* canvas, const RECT& r, TColor color,
                                                  TcxButtonState state) const
{
    int side = FilterCloseButtonSize().x / 2;
    if (side % 2 == 0) --side;
    int x = (r.left + r.right - side) / 2;
    int y = (r.top + r.bottom - side) / 2;
    if (state == cxbsPressed) ++x, ++y;
    // Each diagonal runs to its end point without it; the second pass one
    // pixel to the right makes the strokes two pixels wide.
    canvas->Pen()->SetColor(color);
    for (int dx = 0; dx < 2; ++dx) {
        canvas->MoveTo(x + dx, y);
        canvas->LineTo(x + dx + side, y + side);
        canvas->MoveTo(x + dx + side - 1, y);
        canvas->LineTo(x + dx - 1, y + side);
    }
}

void TcxCustomLookAndFeelPainter::DrawExpandButtonCross(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color)
{
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const int half = (cxRectWidth(r) - 4) / 2;
    FillIn(canvas, RECT{cx - half, cy, cx + half + 1, cy + 1}, color);
    if (!expanded) FillIn(canvas, RECT{cx, cy - half, cx + 1, cy + half + 1}, color);
}

void TcxCustomLookAndFeelPainter::DrawGroupExpandButtonMark(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                            TcxButtonState state) const
{
    // Four V strokes 7 pixels wide and 4 rows deep in a 7 x 9 box centred in
    // r (halves truncated): apexes on rows 0, 1, 4, 5 pointing up when
    // expanded, ends on those rows pointing down when collapsed.
    const int x0 = (r.left + r.right - 7) / 2;
    const int y0 = (r.top + r.bottom - 9) / 2;
    canvas->Pen()->SetColor(ButtonSymbolColor(state));
    for (int row : {0, 1, 4, 5}) {
        const int y = y0 + row;
        if (expanded)
            canvas->Polyline({POINT{x0, y + 3}, POINT{x0 + 3, y}, POINT{x0 + 7, y + 4}});
        else
            canvas->Polyline({POINT{x0, y}, POINT{x0 + 3, y + 3}, POINT{x0 + 7, y - 1}});
    }
}

void TcxCustomLookAndFeelPainter::DrawIndicatorImage(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind)
{
    TImageList* images = cxIndicatorImages();
    if (kind == ikNone || !images) return;
    canvas->DrawImage(images, (r.left + r.right - images->Width()) / 2, (r.top + r.bottom - images->Height()) / 2,
                      kind - 1);
}

void TcxCustomLookAndFeelPainter::DrawMonthHeaderArrows(TcxCanvas* canvas, const RECT& r, TcxHeaderArrows arrows,
                                                        int sideWidth, TColor color) const
{
    RECT w = r;
    w.top += BorderSize();
    w = cxRectInflate(w, 0, -1);
    const int height = MakeOdd(cxRectHeight(w) / 2);
    const int depth = height / 2 + 1;
    const int top = w.top + (cxRectHeight(w) - height) / 2;
    const int apexY = top + height / 2;
    if (arrows == haLeft || arrows == haBoth) {
        const int apexX = w.left + sideWidth - 1;
        FillTriangle(canvas, {POINT{apexX, apexY}, POINT{apexX + depth - 1, top}, POINT{apexX + depth - 1, top + height - 1}},
                     color);
    }
    if (arrows == haRight || arrows == haBoth) {
        const int apexX = w.right - sideWidth;
        FillTriangle(canvas, {POINT{apexX, apexY}, POINT{apexX - depth + 1, top}, POINT{apexX - depth + 1, top + height - 1}},
                     color);
    }
}

void TcxCustomLookAndFeelPainter::DrawSortingArrow(TcxCanvas* canvas, const RECT& r, TColor color1, TColor color2,
                                                   bool ascendingSorting) const
{
    // In an even-width box the apex takes the left one of the two middle
    // columns; every edge includes both of its end pixels.
    const POINT size = SortingMarkSize();
    const int left = (r.left + r.right - size.x) / 2, top = (r.top + r.bottom - size.y) / 2;
    const int right = left + size.x - 1, bottom = top + size.y - 1;
    const int apexX = left + (size.x - 1) / 2;
    if (ascendingSorting) {
        DrawLine(canvas, POINT{apexX, top}, POINT{left, bottom}, color1);
        DrawLine(canvas, POINT{apexX, top}, POINT{right, bottom}, color2);
        DrawLine(canvas, POINT{left, bottom}, POINT{right, bottom}, color2);
    } else {
        DrawLine(canvas, POINT{left, top}, POINT{apexX, bottom}, color1);
        DrawLine(canvas, POINT{left, top}, POINT{right, top}, color1);
        DrawLine(canvas, POINT{right, top}, POINT{apexX, bottom}, color2);
    }
}

TcxArrowDirection TcxCustomLookAndFeelPainter::GetArrowDirection(bool horizontal, TcxScrollBarPart part)
{
    if (horizontal) return part == sbpLineUp ? adLeft : adRight;
    return part == sbpLineUp ? adUp : adDown;
}

// ---- painter table -------------------------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass cxRegisteredLookAndFeelPainter(TcxLookAndFeelStyle style) { return Registered(style); }

void cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle style, TcxCustomLookAndFeelPainterClass painter)
{
    Registered(style) = painter;
}

TcxCustomLookAndFeelPainterClass cxLookAndFeelPainterOfStyle(TcxLookAndFeelStyle style)
{
    const auto painter = Registered(style);
    return painter ? painter : TcxCustomLookAndFeelPainter::Class();
}

TcxCustomLookAndFeelPainterClass GetCurrentPainterClass() { return cxLookAndFeelPainterOfStyle(lfsUltraFlat); }
