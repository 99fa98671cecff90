#include "components/foundation/cxStandardLookAndFeelPainters.h"

#include "components/foundation/cxGeometry.h"
#include "components/foundation/cxLookAndFeelPainterImages.h"
#include "platform/graphics/winuserdraw.h"

using namespace hostlib;

namespace {

using Painter = TcxCustomLookAndFeelPainter;

RECT Inset(const RECT& r, int n = 1) { return cxRectInflate(r, -n, -n); }

// A frame of two colours: left and top, then right and bottom.
struct Frame {
    TColor leftTop, rightBottom;
};

constexpr Frame kRaised{clBtnHighlight, clBtnShadow};
constexpr Frame kSunken{clBtnShadow, clBtnHighlight};

// Frames one inside the other, each one pixel wide; returns what is left inside.
RECT DrawFrames(TcxCanvas* canvas, RECT r, std::initializer_list<Frame> frames, TcxBorders borders = cxBordersAll)
{
    for (const Frame& f : frames) {
        canvas->DrawComplexFrame(r, f.leftTop, f.rightBottom, borders);
        if (borders.Contains(bLeft)) ++r.left;
        if (borders.Contains(bTop)) ++r.top;
        if (borders.Contains(bRight)) --r.right;
        if (borders.Contains(bBottom)) --r.bottom;
    }
    return r;
}

void FillIn(TcxCanvas* canvas, const RECT& r, TColor color)
{
    canvas->SetBrushColor(color);
    canvas->FillRect(r);
}

// The raised bevel; adjoining headers meet without hard corners.
void DrawSoftHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors)
{
    DrawFrames(canvas, r, {kRaised});
    if (neighbors.Contains(nLeft)) {
        canvas->SetPixel(r.left, r.top + 1, clBtnFace);
        canvas->SetPixel(r.left, r.bottom - 2, clBtnFace);
    }
    if (neighbors.Contains(nRight)) {
        canvas->SetPixel(r.right - 1, r.top, clBtnHighlight);
        canvas->SetPixel(r.right - 1, r.top + 1, clBtnFace);
        canvas->SetPixel(r.right - 1, r.bottom - 2, clBtnFace);
    }
}

void DrawFilterDropDown(const Painter& painter, TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool active)
{
    const RECT inner = DrawFrames(canvas, r, {state == cxbsPressed ? kSunken : kRaised});
    FillIn(canvas, inner, clBtnFace);
    painter.DrawButtonArrow(canvas, inner, active ? TColor(0xFF0000) : clBtnText);
}

void DrawCrossHair(const Painter& painter, TcxCanvas* canvas, RECT r, TcxButtonState state)
{
    --r.right;
    --r.bottom;
    if (state == cxbsPressed) r = cxRectOffset(r, 1, 1);
    painter.Painter::DrawChartViewNavigatorAddValueColumnButtonCrossHire(canvas, r, state);
}

void DrawTabSide(TcxCanvas* canvas, RECT r, TcxBorder side, TcxBorders borders, bool vertical)
{
    if (!vertical && (side == bLeft || side == bRight)) {
        if (borders.Contains(bTop)) r.top += 2;
        if (borders.Contains(bBottom)) r.bottom -= 1;
    } else if (!vertical && side == bTop) {
        ++r.left;
        --r.right;
        canvas->SetPixel(r.left - 1, r.top + 1, clBtnHighlight);
        canvas->SetPixel(r.right, r.top + 1, clBtnHighlight);
    } else if (vertical && side == bLeft) {
        r.top += borders.Contains(bTop) ? 2 : 1;
        r.bottom -= borders.Contains(bBottom) ? 2 : 1;
        canvas->SetPixel(r.left + 1, r.top - 1, clBtnHighlight);
        canvas->SetPixel(r.left + 1, r.bottom, clBtnHighlight);
    } else if (vertical && (side == bTop || side == bBottom) && borders.Contains(bLeft)) {
        ++r.left;
    }
    const bool dark = (!vertical && side == bRight) || (vertical && side == bBottom);
    FillIn(canvas, r, dark ? clBtnShadow : clBtnHighlight);
}

// Whether a scroll-bar part is drawn at all; hot parts look normal.
bool ScrollBarPartShown(const RECT& r, TcxScrollBarPart part, TcxButtonState& state)
{
    if (cxRectIsEmpty(r) || part == sbpNone || (part == sbpThumbnail && state == cxbsDisabled)) return false;
    if (state == cxbsHot) state = cxbsNormal;
    return true;
}

UINT ScrollArrowFlags(bool horizontal, TcxScrollBarPart part, TcxButtonState state)
{
    UINT flags = part == sbpLineUp ? (horizontal ? DFCS_SCROLLLEFT : DFCS_SCROLLUP)
                                   : (horizontal ? DFCS_SCROLLRIGHT : DFCS_SCROLLDOWN);
    if (state == cxbsDisabled) flags |= DFCS_INACTIVE;
    if (state == cxbsPressed) flags |= DFCS_FLAT;
    return flags;
}

constexpr Frame kScrollButtonOuter{clBtnFace, cl3DDkShadow};
constexpr Frame kScrollButtonInner{clBtnHighlight, clBtnShadow};

void DrawStandardLineButton(TcxCanvas* canvas, bool horizontal, RECT r, TcxScrollBarPart part, TcxButtonState state)
{
    const bool pressed = state == cxbsPressed;
    RECT arrow = pressed ? cxRectOffset(r, 1, 1) : r;
    DrawFrameControl(canvas->Handle(), &arrow, DFC_SCROLL, ScrollArrowFlags(horizontal, part, state));
    if (pressed) DrawFrames(canvas, r, {{clBtnShadow, clBtnShadow}, {clBtnFace, clBtnFace}});
    else DrawFrames(canvas, r, {kScrollButtonOuter, kScrollButtonInner});
}

}  // namespace

void cxFillScrollBarTrack(TcxCanvas* canvas, const RECT& r, bool pressed)
{
    canvas->Brush()->SetBitmap(cxScrollBarTrackBitmap(pressed));
    canvas->FillRect(r);
    canvas->Brush()->SetBitmap(nullptr);
}

RECT cxDrawSplitterLines(TcxCanvas* canvas, const RECT& r, bool horizontal, TColor first, TColor second)
{
    if (horizontal) {
        FillIn(canvas, RECT{r.left, r.top, r.right, r.top + 1}, first);
        FillIn(canvas, RECT{r.left, r.bottom - 1, r.right, r.bottom}, second);
        return cxRectInflate(r, 1, -1);
    }
    FillIn(canvas, RECT{r.left, r.top, r.left + 1, r.bottom}, first);
    FillIn(canvas, RECT{r.right - 1, r.top, r.right, r.bottom}, second);
    return cxRectInflate(r, -1, 1);
}

// ---- standard ----------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Class()
{
    static const TcxStandardLookAndFeelPainter painter;
    return &painter;
}

void TcxStandardLookAndFeelPainter::DrawBorder(TcxCanvas* canvas, const RECT& r) const
{
    DrawFrames(canvas, r, {kSunken, {cl3DDkShadow, cl3DLight}});
}

void TcxStandardLookAndFeelPainter::DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    RECT inner = r;
    if (state == cxbsDefault || state == cxbsPressed) inner = DrawFrames(canvas, r, {{clBlack, clBlack}});
    if (state == cxbsPressed) DrawFrames(canvas, inner, {{clBtnShadow, clBtnShadow}});
    else DrawFrames(canvas, inner, {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}});
}

void TcxStandardLookAndFeelPainter::DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                     TColor color) const
{
    canvas->DrawComplexFrame(r, clBtnHighlight, cl3DDkShadow);
    canvas->DrawComplexFrame(Inset(r), clBtnHighlight, clBtnShadow, TcxBorders{bRight, bBottom});
    FillIn(canvas, RECT{r.left + 1, r.top + 1, r.right - 2, r.bottom - 2}, color == clDefault ? clBtnFace : color);
    DrawExpandButtonCross(canvas, Inset(r), expanded, clBtnText);
    // Tree lines drawn afterwards must not cross the button.
    canvas->ExcludeClipRect(r);
}

void TcxStandardLookAndFeelPainter::DrawGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                          TcxButtonState state) const
{
    TcxFlatLookAndFeelPainter::Class()->DrawGroupExpandButton(canvas, r, expanded, state);
}

void TcxStandardLookAndFeelPainter::DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState) const
{
    DrawFrames(canvas, r, {{cl3DDkShadow, cl3DLight}, kSunken});
}

void TcxStandardLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors,
                                                     TcxBorders) const
{
    DrawSoftHeaderBorder(canvas, r, neighbors);
}

void TcxStandardLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r,
                                                                   TcxBorders borders, TcxButtonState state) const
{
    if (state == cxbsPressed) DrawFrames(canvas, r, {{clBtnShadow, clBtnShadow}}, borders);
    else DrawFrames(canvas, r, {{clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow}}, borders);
}

void TcxStandardLookAndFeelPainter::DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const
{
    DrawSortingArrow(canvas, r, clBtnShadow, clBtnHighlight, ascendingSorting);
}

void TcxStandardLookAndFeelPainter::DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const
{
    DrawFrames(canvas, r, {kRaised});
}

void TcxStandardLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const
{
    DrawFrames(canvas, r, {kSunken});
}

void TcxStandardLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                             bool isFilterActive) const
{
    DrawFilterDropDown(*this, canvas, r, state, isFilterActive);
}

void TcxStandardLookAndFeelPainter::DrawChartViewNavigatorAddValueColumnButtonCrossHire(TcxCanvas* canvas,
                                                                                      const RECT& r,
                                                                                      TcxButtonState state) const
{
    DrawCrossHair(*this, canvas, r, state);
}

void TcxStandardLookAndFeelPainter::DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side,
                                                  TcxBorders borders, bool vertical) const
{
    DrawTabSide(canvas, r, side, borders, vertical);
}

void TcxStandardLookAndFeelPainter::DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool) const
{
    DrawFrames(canvas, r, {kRaised}, borders);
}

void TcxStandardLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                      TcxScrollBarPart part, TcxButtonState state) const
{
    if (!ScrollBarPartShown(r, part, state)) return;
    switch (part) {
    case sbpPageUp:
    case sbpPageDown: cxFillScrollBarTrack(canvas, r, state == cxbsPressed); break;
    case sbpThumbnail:
        DrawFrames(canvas, r, {kScrollButtonOuter, kScrollButtonInner});
        FillIn(canvas, Inset(r, ButtonBorderSize(cxbsNormal)), clBtnFace);
        break;
    default: DrawStandardLineButton(canvas, horizontal, r, part, state); break;
    }
}

void TcxStandardLookAndFeelPainter::DrawMonthHeader(TcxCanvas* canvas, const RECT& bounds, const std::string& text,
                                                    TcxNeighbors neighbors, const TcxViewParams& viewParams,
                                                    TcxHeaderArrows arrows, int sideWidth,
                                                    const TcxDrawBackgroundEvent& onDrawBackground) const
{
    TcxBorders borders = cxBordersAll;
    if (neighbors.Contains(nLeft)) borders.Exclude(bLeft);
    if (neighbors.Contains(nRight)) borders.Exclude(bRight);
    canvas->FrameRect(bounds, clBlack, 1, borders);
    const RECT content = HeaderContentBounds(bounds, borders);
    DrawHeader(canvas, content, content, neighbors, cxBordersAll, cxbsNormal, taCenter, vaCenter, false, false, text,
               viewParams.Font, viewParams.TextColor, viewParams.Color, onDrawBackground);
    DrawMonthHeaderArrows(canvas, bounds, arrows, sideWidth, clWindowText);
}

void TcxStandardLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r,
                                                                const TcxViewParams& viewParams,
                                                                bool isHorizontal) const
{
    RECT rest = cxDrawSplitterLines(canvas, r, isHorizontal, clBtnFace, cl3DDkShadow);
    rest = cxDrawSplitterLines(canvas, rest, isHorizontal, clBtnHighlight, clBtnShadow);
    canvas->FillRect(rest, viewParams);
}

// ---- flat ----------------------------------------------------------------------------------

TcxCustomLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Class()
{
    static const TcxFlatLookAndFeelPainter painter;
    return &painter;
}

void TcxFlatLookAndFeelPainter::DrawBorder(TcxCanvas* canvas, const RECT& r) const { DrawFrames(canvas, r, {kSunken}); }

void TcxFlatLookAndFeelPainter::DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    if (state == cxbsDefault) DrawFrames(canvas, r, {{clBlack, clBlack}, kRaised});
    else DrawFrames(canvas, r, {state == cxbsPressed ? kSunken : kRaised});
}

void TcxFlatLookAndFeelPainter::DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color) const
{
    DrawButton(canvas, r, "", cxbsNormal, true, color);
    DrawExpandButtonCross(canvas, Inset(r), expanded, clBtnText);
    // Tree lines drawn afterwards must not cross the button.
    canvas->ExcludeClipRect(r);
}

void TcxFlatLookAndFeelPainter::DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const
{
    const TColor face = CheckButtonColor(state);
    DrawFrames(canvas, r, {kSunken, {face, face}});
}

void TcxFlatLookAndFeelPainter::DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors,
                                                 TcxBorders) const
{
    DrawSoftHeaderBorder(canvas, r, neighbors);
}

void TcxFlatLookAndFeelPainter::DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                               TcxButtonState state) const
{
    DrawFrames(canvas, r, {state == cxbsPressed ? kSunken : kRaised}, borders);
}

void TcxFlatLookAndFeelPainter::DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const
{
    DrawSortingArrow(canvas, r, clBtnShadow, clBtnHighlight, ascendingSorting);
}

void TcxFlatLookAndFeelPainter::DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const
{
    DrawFrames(canvas, r, {kRaised});
}

void TcxFlatLookAndFeelPainter::DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const
{
    DrawFrames(canvas, r, {kSunken});
}

void TcxFlatLookAndFeelPainter::DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                         bool isFilterActive) const
{
    DrawFilterDropDown(*this, canvas, r, state, isFilterActive);
}

void TcxFlatLookAndFeelPainter::DrawChartViewNavigatorAddValueColumnButtonCrossHire(TcxCanvas* canvas, const RECT& r,
                                                                                  TcxButtonState state) const
{
    DrawCrossHair(*this, canvas, r, state);
}

void TcxFlatLookAndFeelPainter::DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                                              bool vertical) const
{
    DrawTabSide(canvas, r, side, borders, vertical);
}

void TcxFlatLookAndFeelPainter::DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool) const
{
    DrawFrames(canvas, r, {kRaised}, borders);
}

void TcxFlatLookAndFeelPainter::DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                  TcxScrollBarPart part, TcxButtonState state) const
{
    if (!ScrollBarPartShown(r, part, state)) return;
    if (part == sbpPageUp || part == sbpPageDown) {
        cxFillScrollBarTrack(canvas, r, state == cxbsPressed);
        return;
    }
    DrawButton(canvas, r, "", state, true);
    if (part != sbpThumbnail) DrawScrollBarArrow(canvas, Inset(r), state, GetArrowDirection(horizontal, part));
}

void TcxFlatLookAndFeelPainter::DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r,
                                                            const TcxViewParams& viewParams, bool isHorizontal) const
{
    canvas->FillRect(cxDrawSplitterLines(canvas, r, isHorizontal, clBtnHighlight, clBtnShadow), viewParams);
}

// ---- unit ----------------------------------------------------------------------------------

namespace {
int starts = 0;
}  // namespace

void cxStandardLookAndFeelPaintersInitialize()
{
    if (starts++ > 0) return;
    cxLookAndFeelPainterImagesInitialize();
    cxRegisterLookAndFeelPainter(lfsStandard, TcxStandardLookAndFeelPainter::Class());
    cxRegisterLookAndFeelPainter(lfsFlat, TcxFlatLookAndFeelPainter::Class());
}

void cxStandardLookAndFeelPaintersFinalize()
{
    if (starts == 0 || --starts > 0) return;
    cxRegisterLookAndFeelPainter(lfsStandard, nullptr);
    cxRegisterLookAndFeelPainter(lfsFlat, nullptr);
    cxLookAndFeelPainterImagesFinalize();
}
