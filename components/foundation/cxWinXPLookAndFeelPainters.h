#pragma once
// The native look: every element the theme layer knows is drawn with the
// visual style's parts. Each themed operation opens the theme of its kind
// of object and, when that gives no handle (visual styles switched off
// while the painter is still in use), draws as the standard painter does.

#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/dxUxTheme.h"

// The push-button theme state of a button state.
int BtnStateToXPBtnState(TcxButtonState state);

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
    static TcxCustomLookAndFeelPainterClass Class();
    const char* ClassName() const override { return "TcxWinXPLookAndFeelPainter"; }

    // ---- basic
    using TcxStandardLookAndFeelPainter::DrawContent;
    // Themed text of a part in a state; nothing for an empty text.
    virtual void DrawContent(TcxCanvas* canvas, HTHEME theme, int partId, int stateId, const RECT& bounds,
                             const RECT& textAreaBounds, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                             bool multiLine, bool showEndEllipsis, const std::string& text, TFont* font,
                             TColor textColor) const;
    TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsNative; }
    TColor DefaultChartViewNavigatorAddValueColumnButtonCrossColor() const override { return TColor(0x800000); }
    TColor DefaultSchedulerBorderColor() const override;
    TColor DefaultSchedulerViewContentColor() const override { return TColor(0xD5FFFF); }

    // ---- arrows and border
    void DrawArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state, TcxArrowDirection direction,
                   bool drawBorder = true) const override;
    using TcxStandardLookAndFeelPainter::DrawArrow;
    void DrawArrowBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
    int BorderSize() const override;
    void DrawBorder(TcxCanvas* canvas, const RECT& r) const override;

    // ---- push buttons
    int ButtonBorderSize(TcxButtonState state = cxbsNormal) const override;
    TColor ButtonColor(TcxButtonState state) const override;
    RECT ButtonFocusRect(TcxCanvas* canvas, const RECT& r) const override;
    RECT ButtonGroupBorderSizes(int buttonCount, int buttonIndex) const override;
    int ButtonTextOffset() const override { return 2; }
    int ButtonTextShift() const override { return 0; }
    TColor ButtonSymbolColor(TcxButtonState state) const override;
    void DrawButton(TcxCanvas* canvas, const RECT& r, const std::string& caption, TcxButtonState state,
                    bool drawBorder = true, TColor color = hostlib::clDefault,
                    TColor textColor = hostlib::clDefault) const override;

    // ---- expand buttons
    void DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                          TColor color = hostlib::clDefault) const override;
    bool DrawExpandButtonFirst() const override { return false; }
    void DrawGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const override;
    void DrawSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor borderColor,
                               TColor color = hostlib::clDefault) const override;
    int ExpandButtonSize() const override;
    int GroupExpandButtonSize() const override;
    bool IsButtonHotTrack() const override { return true; }
    bool IsPointOverGroupExpandButton(const RECT& r, const POINT& p) const override;
    int SmallExpandButtonSize() const override;

    // ---- check boxes and radio buttons
    int CheckBorderSize() const override;
    void DrawCheck(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked, TColor color) const override;
    void DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
    void DrawRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state, bool checked, bool focused,
                         TColor brushColor, bool isDesigning = false) const override;

    // ---- headers
    void DrawHeader(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, TcxNeighbors neighbors,
                    TcxBorders borders, TcxButtonState state, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                    bool multiLine, bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                    TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = {},
                    bool isLast = false) const override;
    void DrawHeaderPressed(TcxCanvas*, const RECT&) const override {}
    void DrawHeaderControlSection(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                  TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                  TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                  bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                                  TColor bkColor) const override;
    void DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const override;
    int HeaderBorderSize() const override;
    bool HeaderDrawCellsFirst() const override { return false; }
    int HeaderControlSectionBorderSize(TcxButtonState = cxbsNormal) const override { return HeaderBorderSize(); }
    RECT HeaderControlSectionContentBounds(const RECT& r, TcxButtonState state) const override;
    bool IsHeaderHotTrack() const override { return true; }
    POINT SortingMarkSize() const override { return POINT{7, 8}; }

    // ---- footers
    void DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const override;
    void DrawFooterCell(TcxCanvas* canvas, const RECT& r, TAlignment alignmentHorz, TcxAlignmentVert alignmentVert,
                        bool multiLine, const std::string& text, TFont* font, TColor textColor, TColor bkColor,
                        const TcxDrawBackgroundEvent& onDrawBackground = {}) const override;
    int FooterCellBorderSize() const override;
    bool FooterDrawCellsFirst() const override { return false; }

    // ---- filter buttons
    void DrawFilterCloseButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
    void DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                  bool isFilterActive) const override;
    POINT FilterActivateButtonSize() const override;
    POINT FilterCloseButtonSize() const override;

    // ---- chart-view buttons
    POINT ChartViewNavigatorAutoHideButtonSize() const override;
    POINT ChartViewNavigatorAddValueColumnButtonSize() const override;
    void DrawChartViewNavigatorAddValueColumnButton(TcxCanvas* canvas, const RECT& r,
                                                    TcxButtonState state) const override;
    void DrawChartViewNavigatorAutoHideButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool pinned,
                                              TColor color) const override;

    // ---- tabs
    void DrawTab(TcxCanvas* canvas, const RECT& r, TcxBorders borders, const std::string& text, TcxButtonState state,
                 bool vertical, TFont* font, TColor textColor, TColor bkColor) const override;
    void DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                       bool vertical) const override;
    void DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool vertical) const override;
    bool IsDrawTabImplemented(bool vertical) const override;
    bool IsTabHotTrack(bool vertical) const override;

    // ---- row indicator, scroll bar, scheduler
    void DrawIndicatorItem(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind, TColor color,
                           const TcxDrawBackgroundEvent& onDrawBackground = {}) const override;
    void DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                           TcxButtonState state) const override;
    void DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r, const TcxViewParams& viewParams,
                                     bool isHorizontal) const override;

protected:
    TcxWinXPLookAndFeelPainter() = default;

private:
    void DrawTabPart(TcxCanvas* canvas, HTHEME theme, const RECT& r, TcxBorders borders, int stateId,
                     bool vertical) const;
    void DrawVerticalTabPart(TcxCanvas* canvas, HTHEME theme, const RECT& r, TcxBorders borders,
                             int stateId) const;
};

// Unit start-up registers the painter for the native style; shut-down
// takes it out again. Counted.
void cxWinXPLookAndFeelPaintersInitialize();
void cxWinXPLookAndFeelPaintersFinalize();
