#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"

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

// ---- unit ----------------------------------------------------------------------------------

namespace {
int starts = 0;
}  // namespace

void cxUltraFlatLookAndFeelPaintersInitialize()
{
    if (starts++ > 0) return;
    cxLookAndFeelPainterImagesInitialize();
    cxRegisterLookAndFeelPainter(lfsUltraFlat, TcxUltraFlatLookAndFeelPainter::Class());
}

void cxUltraFlatLookAndFeelPaintersFinalize()
{
    if (starts == 0 || --starts > 0) return;
    cxRegisterLookAndFeelPainter(lfsUltraFlat, nullptr);
    cxLookAndFeelPainterImagesFinalize();
}
