#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"

using namespace hostlib;

namespace {

RECT Inset(const RECT& r, int n = 1) { return cxRectInflate(r, -n, -n); }

void FillIn(TcxCanvas* canvas, const RECT& r, TColor color)
{
    canvas->SetBrushColor(color);
    canvas->FillRect(r);
}

}  // namespace

TcxCustomLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Class()
{
    static const TcxUltraFlatLookAndFeelPainter painter;
    return &painter;
}

TColor TcxUltraFlatLookAndFeelPainter::FilterDropDownButtonBorderColor(TcxButtonState state) const
{
    return state == cxbsNormal ? clBtnShadow : clHighlight;
}

void TcxUltraFlatLookAndFeelPainter::DrawBorder(TcxCanvas* canvas, const RECT& r) const
{
    canvas->FrameRect(r, clBtnShadow);
}

// ---- buttons ------------------------------------------------------------------------------

TColor TcxUltraFlatLookAndFeelPainter::ButtonColor(TcxButtonState state) const
{
    switch (state) {
    case cxbsHot: return GetLightSelColor();
    case cxbsPressed: return GetLightDownedSelColor();
    default: return clBtnFace;
    }
}

RECT TcxUltraFlatLookAndFeelPainter::ButtonFocusRect(TcxCanvas*, const RECT& r) const
{
    const RECT inner = Inset(r, 3);
    return cxRectIsEmpty(inner) ? r : inner;
}

RECT TcxUltraFlatLookAndFeelPainter::ButtonGroupBorderSizes(int buttonCount, int buttonIndex) const
{
    RECT sizes{1, 2, 1, 2};
    if (buttonIndex == 0) sizes.left = 2;
    else if (buttonIndex == buttonCount - 1) sizes.right = 2;
    return sizes;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonSymbolColor(TcxButtonState state) const
{
    switch (state) {
    case cxbsPressed: return clHighlightText;
    case cxbsDisabled: return clBtnShadow;
    default: return clBtnText;
    }
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonInGroup(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                       int buttonCount, int buttonIndex, TColor backgroundColor) const
{
    const bool first = buttonIndex == 0, last = buttonIndex == buttonCount - 1;
    RECT face = cxRectInflate(r, 0, -1);
    if (first) ++face.left;
    if (last) --face.right;
    if (state == cxbsNormal || state == cxbsDisabled) {
        canvas->FrameRect(face, backgroundColor);
        face = Inset(face);
    } else {
        // The highlight columns mark the edges shared with the neighbours.
        if (!first) FillIn(canvas, RECT{face.left, face.top, face.left + 1, face.bottom}, BorderHighlightColor());
        if (!first) ++face.left;
        if (!last) FillIn(canvas, RECT{face.right - 1, face.top, face.right, face.bottom}, BorderHighlightColor());
        if (!last) --face.right;
    }
    FillIn(canvas, face, ButtonColor(state));
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    switch (state) {
    case cxbsDefault:
        canvas->FrameRect(r, clWindowFrame);
        canvas->FrameRect(Inset(r), clWindowFrame);
        break;
    case cxbsNormal: canvas->FrameRect(r, clBtnText); break;
    case cxbsDisabled: canvas->FrameRect(r, clBtnShadow); break;
    default: canvas->FrameRect(r, clHighlight); break;
    }
}

void TcxUltraFlatLookAndFeelPainter::DrawButtonGroupBorder(TcxCanvas* canvas, const RECT& r, bool inplace,
                                                           bool selected) const
{
    canvas->FrameRect(r, inplace ? clBtnText : selected ? BorderHighlightColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                      TColor color) const
{
    canvas->FrameRect(r, clBtnShadow);
    FillIn(canvas, Inset(r), color == clDefault ? clBtnFace : color);
    DrawExpandButtonCross(canvas, r, expanded, clBtnText);
    // Tree lines drawn afterwards must not cross the button.
    canvas->ExcludeClipRect(r);
}

void TcxUltraFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    canvas->FrameRect(r, clBtnText);
    canvas->FrameRect(Inset(r), CheckButtonColor(state));
}

// ---- headers and footers -------------------------------------------------------------------

void TcxUltraFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors,
                                                      TcxBorders borders) const
{
    TcxBorders sides{bRight, bBottom};
    if (borders.Contains(bLeft)) sides.Include(bLeft);
    if (borders.Contains(bTop)) sides.Include(bTop);
    canvas->FrameRect(r, clBtnText, 1, sides);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderEx(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                                  TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                                  TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                                                  bool multiLine, bool showEndEllipsis, const std::string& text,
                                                  TFont* font, TColor textColor, TColor bkColor,
                                                  const TcxDrawBackgroundEvent& onDrawBackground, bool) const
{
    DrawContent(canvas, bounds, Inset(textAreaBounds), state, alignmentHorz, alignmentVert, multiLine,
                showEndEllipsis, text, font, textColor, bkColor, onDrawBackground);
    DrawHeaderBorder(canvas, Inset(bounds), neighbors, borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r,
                                                                    TcxBorders borders, TcxButtonState state) const
{
    canvas->FrameRect(r, state == cxbsDisabled ? clBtnShadow : clBlack, 1, borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawHeaderControlSectionContent(
    TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxButtonState state, TAlignment alignmentHorz,
    TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis, const std::string& text, TFont* font,
    TColor textColor, TColor bkColor) const
{
    const bool tinted = state == cxbsHot || state == cxbsPressed || state == cxbsDisabled;
    FillIn(canvas, bounds, tinted ? ButtonColor(state) : bkColor);
    DrawHeaderControlSectionText(canvas, textAreaBounds, state, alignmentHorz, alignmentVert, multiLine,
                                 showEndEllipsis, text, font, textColor);
}

void TcxUltraFlatLookAndFeelPainter::DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const
{
    DrawSortingArrow(canvas, r, clBtnShadow, clBtnShadow, ascendingSorting);
}

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderBorders(TcxNeighbors neighbors) const
{
    TcxBorders borders = cxBordersAll;
    if (neighbors.Contains(nLeft)) borders.Exclude(bLeft);
    if (neighbors.Contains(nTop)) borders.Exclude(bTop);
    return borders;
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const
{
    canvas->FrameRect(r, FooterSeparatorColor(), 1, TcxBorders{bRight, bBottom});
}

void TcxUltraFlatLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const
{
    canvas->FrameRect(r, FooterSeparatorColor());
}

// ---- filter, tabs, scroll bar, scheduler ------------------------------------------------------

void TcxUltraFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                              bool isFilterActive) const
{
    canvas->FrameRect(r, FilterDropDownButtonBorderColor(state));
    FillIn(canvas, Inset(r), ButtonColor(state));
    DrawButtonArrow(canvas, Inset(r), isFilterActive ? TColor(0xFF0000) : ButtonSymbolColor(state));
}

void TcxUltraFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders,
                                                   bool vertical) const
{
    RECT strip = r;
    const bool dark = (!vertical && side == bRight) || (vertical && side == bBottom);
    if (!vertical && side == bRight) strip.bottom -= TabBorderSize(vertical);
    FillIn(canvas, strip, dark ? TabBorderDarkColor() : TabBorderHighlightColor());
}

void TcxUltraFlatLookAndFeelPainter::DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                  bool vertical) const
{
    canvas->FrameRect(r, TabBorderHighlightColor(), TabBorderSize(vertical), borders);
}

void TcxUltraFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                       TcxScrollBarPart part, TcxButtonState state) const
{
    if (cxRectIsEmpty(r) || part == sbpNone || (part == sbpThumbnail && state == cxbsDisabled)) return;
    if (part == sbpPageUp || part == sbpPageDown) {
        cxFillScrollBarTrack(canvas, r, state == cxbsPressed);
        return;
    }
    DrawButton(canvas, r, "", state, true);
    if (part != sbpThumbnail) DrawScrollBarArrow(canvas, r, state, GetArrowDirection(horizontal, part));
}

void TcxUltraFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r,
                                                                 const TcxViewParams& viewParams,
                                                                 bool isHorizontal) const
{
    const TColor line = DefaultSchedulerBorderColor();
    canvas->FillRect(cxDrawSplitterLines(canvas, r, isHorizontal, line, line), viewParams);
}

// ---- Office 2003 ---------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::Class()
{
    static const TcxOffice11LookAndFeelPainter painter;
    return &painter;
}

TColor TcxOffice11LookAndFeelPainter::DefaultSchedulerBorderColor() const { return dxOffice11OutlookBorderColor; }
TColor TcxOffice11LookAndFeelPainter::DefaultChartViewNavigatorColor() const { return dxOffice11InPlaceSubItemColor; }
TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorHeaderColor() const { return dxOffice11DockColor1; }
TColor TcxOffice11LookAndFeelPainter::DefaultDateNavigatorSelectionColor() const
{
    return dxOffice11DayNavigatorSelectedColor;
}
TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxColor() const { return dxOffice11BarFloatingBorderColor1; }
TColor TcxOffice11LookAndFeelPainter::DefaultFilterBoxTextColor() const
{
    return dxOffice11BarFloatingCaptionTextColor1;
}
TColor TcxOffice11LookAndFeelPainter::DefaultGroupColor() const { return dxOffice11GroupColor; }
TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxColor() const { return dxOffice11InPlaceSubItemColor; }
TColor TcxOffice11LookAndFeelPainter::DefaultGroupByBoxTextColor() const { return dxOffice11ToolbarsColor1; }
TColor TcxOffice11LookAndFeelPainter::DefaultHeaderColor() const { return dxOffice11DockColor1; }
TColor TcxOffice11LookAndFeelPainter::DefaultSchedulerControlColor() const { return dxOffice11OutlookControlColor; }
TColor TcxOffice11LookAndFeelPainter::DefaultTabColor() const { return dxOffice11DockColor2; }

TColor TcxOffice11LookAndFeelPainter::FilterDropDownButtonBorderColor(TcxButtonState state) const
{
    return state == cxbsNormal ? HeaderDarkEdgeColor() : dxOffice11SelectedBorderColor;
}
TColor TcxOffice11LookAndFeelPainter::BorderHighlightColor() const { return dxOffice11SelectedBorderColor; }
TColor TcxOffice11LookAndFeelPainter::HeaderBottomColor() const { return dxOffice11ToolbarsColor2; }
TColor TcxOffice11LookAndFeelPainter::HeaderDarkEdgeColor() const { return dxOffice11BarSeparatorColor1; }
TColor TcxOffice11LookAndFeelPainter::HeaderHighlightEdgeColor() const { return dxOffice11BarSeparatorColor2; }
TColor TcxOffice11LookAndFeelPainter::HeaderTopColor() const
{
    return GetMiddleRGB(dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, 50);
}

void TcxOffice11LookAndFeelPainter::DrawContent(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                                int state, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                                                bool multiLine, bool showEndEllipsis, const std::string& text,
                                                TFont* font, TColor textColor, TColor bkColor,
                                                const TcxDrawBackgroundEvent& onDrawBackground, bool isFooter) const
{
    const bool hot = state == cxbsHot;
    bool done = false;
    if (onDrawBackground) onDrawBackground(canvas, bounds, done);
    if (!done) {
        const TColor top = hot ? dxOffice11ToolbarsColor1 : HeaderTopColor();
        const TColor bottom = hot ? dxOffice11ToolbarsColor1 : HeaderBottomColor();
        if (isFooter) {
            FillIn(canvas, bounds, top);
        } else {
            FillIn(canvas, RECT{bounds.left, bounds.top, bounds.right, bounds.bottom - 3}, top);
            FillGradientRect(canvas->Handle(), RECT{bounds.left, bounds.bottom - 4, bounds.right, bounds.bottom}, top,
                             bottom, false);
        }
    }
    // The text as the custom painter draws it, over the background made here.
    static const auto painted =
        TcxDrawBackgroundEvent::FromFunction([](TcxCanvas*, const RECT&, bool& d) { d = true; });
    TcxCustomLookAndFeelPainter::DrawContent(canvas, bounds, textAreaBounds, state, alignmentHorz, alignmentVert,
                                             multiLine, showEndEllipsis, text, font, textColor, bkColor, painted,
                                             isFooter);
    if (hot)
        FillGradientRect(canvas->Handle(), RECT{bounds.left - 1, bounds.bottom - 2, bounds.right, bounds.bottom + 1},
                         dxOffice11SelectedColor1, dxOffice11SelectedColor2, false);
}

void TcxOffice11LookAndFeelPainter::DrawBorder(TcxCanvas* canvas, const RECT& r) const
{
    canvas->FrameRect(r, dxOffice11ControlBorderColor);
}

TColor TcxOffice11LookAndFeelPainter::ButtonColor(TcxButtonState state) const { return cxOffice11ButtonColor(state); }

TColor TcxOffice11LookAndFeelPainter::ButtonSymbolColor(TcxButtonState state) const
{
    if (state == cxbsPressed && !IsXPStandardScheme()) return clHighlightText;
    return state == cxbsDisabled ? dxOffice11TextDisabledColor : dxOffice11TextEnabledColor;
}

void TcxOffice11LookAndFeelPainter::DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    switch (state) {
    case cxbsDefault: TcxUltraFlatLookAndFeelPainter::DrawButtonBorder(canvas, r, state); break;
    case cxbsNormal: canvas->FrameRect(r, clBtnText); break;
    case cxbsDisabled: canvas->FrameRect(r, dxOffice11TextDisabledColor); break;
    default: canvas->FrameRect(r, dxOffice11SelectedBorderColor); break;
    }
}

void TcxOffice11LookAndFeelPainter::DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor) const
{
    TBitmap* source = expanded ? dxOffice11ExpandButtonBitmap1 : dxOffice11ExpandButtonBitmap2;
    if (!source || source->Width() < 11 || source->Height() < 11) return;
    // The corners blend into what is under them; the palette's bitmap stays as it is.
    ObjectPtr<TBitmap> glyph = MakeObject<TBitmap>();
    glyph->Assign(source);
    TCanvas* under = canvas->Canvas();
    const TColor topLeft = GetMiddleRGB(dxOffice11ExpandButtonColor1, under->Pixel(r.left, r.top), 25);
    const TColor others = GetMiddleRGB(dxOffice11ExpandButtonColor2, under->Pixel(r.right - 1, r.bottom - 1), 25);
    glyph->Canvas()->SetPixel(0, 0, topLeft);
    for (POINT p : {POINT{10, 10}, POINT{0, 10}, POINT{10, 0}}) glyph->Canvas()->SetPixel(p.x, p.y, others);
    canvas->Draw(r.left, r.top, glyph.get());
}

void TcxOffice11LookAndFeelPainter::DrawSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor,
                                                          TColor color) const
{
    DrawExpandButton(canvas, r, expanded, color);
}

TColor TcxOffice11LookAndFeelPainter::CheckButtonColor(TcxButtonState state) const
{
    if (state == cxbsHot || state == cxbsPressed || state == cxbsDisabled) return ButtonColor(state);
    return TcxUltraFlatLookAndFeelPainter::CheckButtonColor(state);
}

void TcxOffice11LookAndFeelPainter::DrawHeader(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                               TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                               TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                                               bool multiLine, bool showEndEllipsis, const std::string& text,
                                               TFont* font, TColor textColor, TColor bkColor,
                                               const TcxDrawBackgroundEvent&, bool isLast) const
{
    // The header's background is always the gradient of DrawContent.
    TcxUltraFlatLookAndFeelPainter::DrawHeader(canvas, bounds, textAreaBounds, neighbors, borders, state,
                                               alignmentHorz, alignmentVert, multiLine, showEndEllipsis, text, font,
                                               textColor, bkColor, {}, isLast);
}

void TcxOffice11LookAndFeelPainter::DrawHeaderLeftEdge(TcxCanvas* canvas, const RECT& r, bool neighbor) const
{
    const TColor top = HeaderTopColor(), bottom = HeaderBottomColor();
    if (neighbor) {
        FillIn(canvas, RECT{r.left, r.top + 2, r.left + 1, r.bottom - 3}, HeaderHighlightEdgeColor());
        canvas->SetPixel(r.left, r.top + 1, top);
        canvas->SetPixel(r.left, r.bottom - 3, GetMiddleRGB(top, bottom, 25));
    } else {
        FillIn(canvas, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 2}, HeaderHighlightEdgeColor());
        canvas->SetPixel(r.left, r.bottom - 2, bottom);
    }
}

void TcxOffice11LookAndFeelPainter::DrawHeaderRightEdge(TcxCanvas* canvas, const RECT& r, bool neighbor) const
{
    const TColor top = HeaderTopColor(), bottom = HeaderBottomColor(), dark = HeaderDarkEdgeColor();
    const int x = r.right - 1;
    if (neighbor) {
        FillIn(canvas, RECT{x, r.top + 2, x + 1, r.bottom - 3}, dark);
        canvas->SetPixel(x, r.top + 1, top);
        canvas->SetPixel(x, r.bottom - 3, GetMiddleRGB(top, bottom, 25));
        canvas->SetPixel(x, r.bottom - 2, bottom);
    } else {
        FillIn(canvas, RECT{x, r.top + 1, x + 1, r.bottom - 2}, dark);
        canvas->SetPixel(x, r.top, GetMiddleRGB(top, dark, 50));
        canvas->SetPixel(x, r.bottom - 2, GetMiddleRGB(bottom, dark, 50));
    }
}

void TcxOffice11LookAndFeelPainter::DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors,
                                                     TcxBorders borders) const
{
    if (borders.Contains(bTop)) FillIn(canvas, RECT{r.left, r.top, r.right, r.top + 1}, HeaderTopColor());
    if (borders.Contains(bBottom)) FillIn(canvas, RECT{r.left, r.bottom - 1, r.right, r.bottom}, HeaderDarkEdgeColor());
    if (borders.Contains(bLeft)) DrawHeaderLeftEdge(canvas, r, neighbors.Contains(nLeft));
    if (borders.Contains(bRight)) DrawHeaderRightEdge(canvas, r, neighbors.Contains(nRight));
}

void TcxOffice11LookAndFeelPainter::DrawHeaderControlSection(TcxCanvas* canvas, const RECT& bounds,
                                                             const RECT& textAreaBounds, TcxNeighbors, TcxBorders,
                                                             TcxButtonState state, TAlignment alignmentHorz,
                                                             TcxAlignmentVert alignmentVert, bool multiLine,
                                                             bool showEndEllipsis, const std::string& text,
                                                             TFont* font, TColor textColor, TColor bkColor) const
{
    DrawHeader(canvas, bounds, textAreaBounds, {}, {}, state, alignmentHorz, alignmentVert, multiLine,
               showEndEllipsis, text, font, textColor, bkColor);
    if (state == cxbsPressed) DrawHeaderPressed(canvas, bounds);
}

void TcxOffice11LookAndFeelPainter::DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const
{
    DrawSortingArrow(canvas, r, HeaderDarkEdgeColor(), HeaderHighlightEdgeColor(), ascendingSorting);
}

void TcxOffice11LookAndFeelPainter::DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                      TcxScrollBarPart part, TcxButtonState state) const
{
    // The themed scroll bar whenever its theme opens, whatever the kind says.
    const auto native = cxRegisteredLookAndFeelPainter(lfsNative);
    const auto painter =
        native && AreVisualStylesAvailable(totScrollBar) ? native : TcxStandardLookAndFeelPainter::Class();
    painter->DrawScrollBarPart(canvas, horizontal, r, part, state);
}

void TcxOffice11LookAndFeelPainter::DrawMonthHeader(TcxCanvas* canvas, const RECT& bounds, const std::string& text,
                                                    TcxNeighbors, const TcxViewParams& viewParams,
                                                    TcxHeaderArrows arrows, int sideWidth,
                                                    const TcxDrawBackgroundEvent& onDrawBackground) const
{
    const RECT inner = Inset(bounds);
    bool done = false;
    if (onDrawBackground) onDrawBackground(canvas, inner, done);
    if (!done) canvas->FillRect(inner, viewParams);
    if (!text.empty()) {
        canvas->Brush()->SetStyle(bsClear);
        if (viewParams.Font) canvas->SetFont(viewParams.Font);
        canvas->Font()->SetColor(viewParams.TextColor);
        canvas->DrawTexT(text, inner, cxtfHCenter | cxtfVCenter | cxtfSingleLine);
        canvas->Brush()->SetStyle(bsSolid);
    }
    DrawMonthHeaderArrows(canvas, bounds, arrows, sideWidth, clWindowText);
}

void TcxOffice11LookAndFeelPainter::DrawSchedulerBorder(TcxCanvas* canvas, const RECT& r) const
{
    canvas->FrameRect(r, DefaultSchedulerBorderColor());
}

// ---- unit ----------------------------------------------------------------------------------

namespace {
int starts = 0;
}  // namespace

void cxUltraFlatLookAndFeelPaintersInitialize()
{
    if (starts++ > 0) return;
    cxLookAndFeelPainterImagesInitialize();
    cxRegisterLookAndFeelPainter(lfsUltraFlat, TcxUltraFlatLookAndFeelPainter::Class());
    cxRegisterLookAndFeelPainter(lfsOffice11, TcxOffice11LookAndFeelPainter::Class());
}

void cxUltraFlatLookAndFeelPaintersFinalize()
{
    if (starts == 0 || --starts > 0) return;
    cxRegisterLookAndFeelPainter(lfsUltraFlat, nullptr);
    cxRegisterLookAndFeelPainter(lfsOffice11, nullptr);
    cxLookAndFeelPainterImagesFinalize();
}
