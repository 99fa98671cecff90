#pragma once
// The library's default look (one-pixel frames coloured by state, hot
// tracking, selection-tinted faces) and the Office 2003 look built on it.

#include "components/foundation/cxLookAndFeelPainters.h"

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
    static TcxCustomLookAndFeelPainterClass Class();
    const char* ClassName() const override { return "TcxUltraFlatLookAndFeelPainter"; }

    TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsUltraFlat; }
    TColor DefaultChartViewNavigatorAddValueColumnButtonCrossColor() const override { return TColor(0x800000); }
    TColor DefaultSchedulerBorderColor() const override { return hostlib::clBtnShadow; }

    // Introduced here.
    virtual TColor FilterDropDownButtonBorderColor(TcxButtonState state) const;
    virtual TColor TabBorderHighlightColor() const { return hostlib::clBtnShadow; }
    virtual TColor TabBorderDarkColor() const { return hostlib::clBtnText; }
    virtual TColor BorderHighlightColor() const { return hostlib::clHighlight; }

    int BorderSize() const override { return 1; }
    void DrawBorder(TcxCanvas* canvas, const RECT& r) const override;

    int ButtonBorderSize(TcxButtonState state = cxbsNormal) const override { return state == cxbsDefault ? 2 : 1; }
    TColor ButtonColor(TcxButtonState state) const override;
    RECT ButtonFocusRect(TcxCanvas* canvas, const RECT& r) const override;
    RECT ButtonGroupBorderSizes(int buttonCount, int buttonIndex) const override;
    int ButtonTextOffset() const override { return 2; }
    int ButtonTextShift() const override { return 0; }
    TColor ButtonSymbolColor(TcxButtonState state) const override;
    TcxButtonState ButtonSymbolState(TcxButtonState) const override { return cxbsNormal; }
    void DrawButtonInGroup(TcxCanvas* canvas, const RECT& r, TcxButtonState state, int buttonCount, int buttonIndex,
                           TColor backgroundColor) const override;
    void DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
    void DrawButtonGroupBorder(TcxCanvas* canvas, const RECT& r, bool inplace, bool selected) const override;

    void DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                          TColor color = hostlib::clDefault) const override;
    int ExpandButtonSize() const override { return 11; }
    bool IsButtonHotTrack() const override { return true; }

    void DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;

    void DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
    void DrawHeaderEx(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxNeighbors neighbors,
                      TcxBorders borders, TcxButtonState state, TAlignment alignmentHorz,
                      TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis, const std::string& text,
                      TFont* font, TColor textColor, TColor bkColor,
                      const TcxDrawBackgroundEvent& onDrawBackground = {}, bool isLast = false) const override;
    void DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                        TcxButtonState state) const override;
    void DrawHeaderControlSectionContent(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                         TcxButtonState state, TAlignment alignmentHorz,
                                         TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis,
                                         const std::string& text, TFont* font, TColor textColor,
                                         TColor bkColor) const override;
    void DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const override;
    TcxBorders HeaderBorders(TcxNeighbors neighbors) const override;
    int HeaderBorderSize() const override { return 1; }
    POINT SortingMarkSize() const override { return POINT{7, 8}; }

    TcxBorders FooterBorders() const override { return TcxBorders{bRight, bBottom}; }
    int FooterBorderSize() const override { return 1; }
    int FooterCellBorderSize() const override { return 1; }
    int FooterCellOffset() const override { return 2; }
    TColor FooterSeparatorColor() const override { return hostlib::clBtnShadow; }
    void DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const override;
    void DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const override;

    void DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                  bool isFilterActive) const override;
    POINT FilterCloseButtonSize() const override { return POINT{16, 15}; }
    POINT ChartViewNavigatorAddValueColumnButtonSize() const override { return POINT{12, 12}; }

    void DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                       bool vertical) const override;
    void DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool vertical) const override;
    int TabBorderSize(bool) const override { return 1; }

    void DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                           TcxButtonState state) const override;
    void DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r, const TcxViewParams& viewParams,
                                     bool isHorizontal) const override;

protected:
    TcxUltraFlatLookAndFeelPainter() = default;
};

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
public:
    static TcxCustomLookAndFeelPainterClass Class();
    const char* ClassName() const override { return "TcxOffice11LookAndFeelPainter"; }

    TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsOffice11; }
    TColor DefaultSchedulerBorderColor() const override;
    TColor DefaultChartViewNavigatorColor() const override;
    TColor DefaultDateNavigatorHeaderColor() const override;
    TColor DefaultDateNavigatorSelectionColor() const override;
    TColor DefaultDateNavigatorSelectionTextColor() const override { return hostlib::clWindowText; }
    TColor DefaultFilterBoxColor() const override;
    TColor DefaultFilterBoxTextColor() const override;
    TColor DefaultFooterColor() const override { return DefaultHeaderColor(); }
    TColor DefaultFooterTextColor() const override { return DefaultHeaderTextColor(); }
    TColor DefaultGroupColor() const override;
    TColor DefaultGroupByBoxColor() const override;
    TColor DefaultGroupByBoxTextColor() const override;
    TColor DefaultHeaderColor() const override;
    TColor DefaultHeaderBackgroundColor() const override { return DefaultGroupByBoxColor(); }
    TColor DefaultSchedulerControlColor() const override;
    TColor DefaultTabColor() const override;
    TColor DefaultTabsBackgroundColor() const override { return DefaultTabColor(); }

    TColor FilterDropDownButtonBorderColor(TcxButtonState state) const override;
    TColor TabBorderHighlightColor() const override { return HeaderDarkEdgeColor(); }
    TColor BorderHighlightColor() const override;
    // Introduced here.
    virtual TColor HeaderBottomColor() const;
    virtual TColor HeaderDarkEdgeColor() const;
    virtual TColor HeaderHighlightEdgeColor() const;
    virtual TColor HeaderTopColor() const;
    TColor FooterSeparatorColor() const override { return HeaderDarkEdgeColor(); }

    void DrawContent(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, int state,
                     TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis,
                     const std::string& text, TFont* font, TColor textColor, TColor bkColor,
                     const TcxDrawBackgroundEvent& onDrawBackground = {}, bool isFooter = false) const override;
    void DrawBorder(TcxCanvas* canvas, const RECT& r) const override;

    TColor ButtonColor(TcxButtonState state) const override;
    TColor ButtonSymbolColor(TcxButtonState state) const override;
    void DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;

    void DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                          TColor color = hostlib::clDefault) const override;
    bool DrawExpandButtonFirst() const override { return false; }
    void DrawSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor borderColor,
                               TColor color = hostlib::clDefault) const override;
    int SmallExpandButtonSize() const override { return ExpandButtonSize(); }

    TColor CheckButtonColor(TcxButtonState state) const override;

    void DrawHeader(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxNeighbors neighbors,
                    TcxBorders borders, TcxButtonState state, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                    bool multiLine, bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                    TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = {},
                    bool isLast = false) const override;
    void DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
    void DrawHeaderControlSection(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                  TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                  TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                  bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                                  TColor bkColor) const override;
    void DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const override;
    TcxBorders HeaderBorders(TcxNeighbors) const override { return cxBordersAll; }
    bool IsHeaderHotTrack() const override { return true; }

    void DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                           TcxButtonState state) const override;
    void DrawMonthHeader(TcxCanvas* canvas, const RECT& bounds, const std::string& text, TcxNeighbors neighbors,
                         const TcxViewParams& viewParams, TcxHeaderArrows arrows, int sideWidth,
                         const TcxDrawBackgroundEvent& onDrawBackground = {}) const override;
    void DrawSchedulerBorder(TcxCanvas* canvas, const RECT& r) const override;

protected:
    TcxOffice11LookAndFeelPainter() = default;

private:
    void DrawHeaderLeftEdge(TcxCanvas* canvas, const RECT& r, bool neighbor) const;
    void DrawHeaderRightEdge(TcxCanvas* canvas, const RECT& r, bool neighbor) const;
};

// Unit start-up registers the painters for their styles; shut-down takes
// them out again. Counted.
void cxUltraFlatLookAndFeelPaintersInitialize();
void cxUltraFlatLookAndFeelPaintersFinalize();
