#pragma once
// The classic three-dimensional look (two-pixel bevels, the system's own
// scroll arrows) and the flat look (one-pixel bevels).

#include "components/foundation/cxLookAndFeelPainters.h"

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
    static TcxCustomLookAndFeelPainterClass Class();
    const char* ClassName() const override { return "TcxStandardLookAndFeelPainter"; }

    TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsStandard; }
    TColor DefaultSchedulerViewContentColor() const override { return hostlib::clWindow; }

    int BorderSize() const override { return 2; }
    void DrawBorder(TcxCanvas* canvas, const RECT& r) const override;

    int ButtonBorderSize(TcxButtonState state = cxbsNormal) const override { return state == cxbsDefault ? 3 : 2; }
    int ButtonTextOffset() const override { return 1; }
    int ButtonTextShift() const override { return 1; }
    void DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;

    void DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                          TColor color = hostlib::clDefault) const override;
    void DrawGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const override;
    int ExpandButtonSize() const override { return 12; }

    void DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;

    void DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
    void DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                        TcxButtonState state) const override;
    void DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const override;
    int HeaderBorderSize() const override { return 1; }
    int HeaderControlSectionBorderSize(TcxButtonState state = cxbsNormal) const override
    {
        return state == cxbsPressed ? 1 : 2;
    }
    POINT SortingMarkSize() const override { return POINT{8, 7}; }

    void DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const override;
    void DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const override;
    int FooterBorderSize() const override { return 1; }
    int FooterCellBorderSize() const override { return 1; }
    int FooterCellOffset() const override { return 1; }

    void DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                  bool isFilterActive) const override;
    void DrawChartViewNavigatorAddValueColumnButtonCrossHire(TcxCanvas* canvas, const RECT& r,
                                                             TcxButtonState state) const override;

    void DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                       bool vertical) const override;
    void DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool vertical) const override;
    int TabBorderSize(bool) const override { return 1; }

    void DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                           TcxButtonState state) const override;
    void DrawMonthHeader(TcxCanvas* canvas, const RECT& bounds, const std::string& text, TcxNeighbors neighbors,
                         const TcxViewParams& viewParams, TcxHeaderArrows arrows, int sideWidth,
                         const TcxDrawBackgroundEvent& onDrawBackground = {}) const override;
    void DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r, const TcxViewParams& viewParams,
                                     bool isHorizontal) const override;

protected:
    TcxStandardLookAndFeelPainter() = default;
};

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
    static TcxCustomLookAndFeelPainterClass Class();
    const char* ClassName() const override { return "TcxFlatLookAndFeelPainter"; }

    TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsFlat; }

    int BorderSize() const override { return 1; }
    void DrawBorder(TcxCanvas* canvas, const RECT& r) const override;

    int ButtonBorderSize(TcxButtonState state = cxbsNormal) const override { return state == cxbsDefault ? 2 : 1; }
    int ButtonTextOffset() const override { return 1; }
    int ButtonTextShift() const override { return 1; }
    void DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;

    void DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                          TColor color = hostlib::clDefault) const override;
    int ExpandButtonSize() const override { return 11; }

    void DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;

    void DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
    void DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                        TcxButtonState state) const override;
    void DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const override;
    int HeaderBorderSize() const override { return 1; }
    POINT SortingMarkSize() const override { return POINT{8, 7}; }

    void DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const override;
    void DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const override;
    int FooterBorderSize() const override { return 1; }
    int FooterCellBorderSize() const override { return 1; }
    int FooterCellOffset() const override { return 1; }

    void DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                  bool isFilterActive) const override;
    void DrawChartViewNavigatorAddValueColumnButtonCrossHire(TcxCanvas* canvas, const RECT& r,
                                                             TcxButtonState state) const override;

    void DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                       bool vertical) const override;
    void DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool vertical) const override;
    int TabBorderSize(bool) const override { return 1; }

    void DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                           TcxButtonState state) const override;
    void DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r, const TcxViewParams& viewParams,
                                     bool isHorizontal) const override;

protected:
    TcxFlatLookAndFeelPainter() = default;
};

// Shared with the other looks: fills r with a brush of the scroll-bar track
// pattern, solid again afterwards.
void cxFillScrollBarTrack(TcxCanvas* canvas, const RECT& r, bool pressed);
// Lines along two opposite sides of r (top and bottom of a horizontal
// splitter, left and right of a vertical one); returns r grown across them
// by one pixel and shrunk along them by one.
RECT cxDrawSplitterLines(TcxCanvas* canvas, const RECT& r, bool horizontal, hostlib::TColor first,
                         hostlib::TColor second);

// Unit start-up registers both painters for their styles; shut-down
// takes them out again. Counted.
void cxStandardLookAndFeelPaintersInitialize();
void cxStandardLookAndFeelPaintersFinalize();
