#pragma once
// Painters draw the standard elements of the library's controls (borders,
// buttons, arrows, headers, footers, scroll-bar parts, ...) in one look and
// answer the metrics layout code needs. A painter has no state: each painter
// class is one immutable object whose virtual operations are the class's
// methods, and a painter class reference is a pointer to that object, so two
// references name the same class exactly when the pointers are equal.
// TcxCustomLookAndFeelPainter gives the contract a neutral implementation;
// one descendant per look supplies the rest.

#include <array>
#include <string>

#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "platform/hostlib/core/event.h"

enum TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11 };
inline constexpr int kLookAndFeelStyleCount = lfsOffice11 + 1;
enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };
enum TcxArrowDirection { adUp, adDown, adLeft, adRight };
enum TcxHeaderArrows { haNone, haLeft, haRight, haBoth };
enum TcxIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow };
enum TcxNeighbor { nLeft, nTop, nRight, nBottom };
using TcxNeighbors = hostlib::TSet<TcxNeighbor>;
enum TcxScrollBarPart { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };
enum TcxPopupBorderStyle { pbsNone, pbsUltraFlat, pbsFlat, pbs3D };

using TcxArrowPoints = std::array<POINT, 3>;
// A handler that paints the background itself sets done to true.
using TcxDrawBackgroundEvent = hostlib::Event<TcxCanvas*, const RECT&, bool&>;

class TcxCustomLookAndFeelPainter;
using TcxCustomLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

class TcxCustomLookAndFeelPainter {
public:
    using TColor = hostlib::TColor;
    using TFont = hostlib::TFont;
    using TAlignment = hostlib::TAlignment;

    TcxCustomLookAndFeelPainter(const TcxCustomLookAndFeelPainter&) = delete;
    TcxCustomLookAndFeelPainter& operator=(const TcxCustomLookAndFeelPainter&) = delete;
    virtual ~TcxCustomLookAndFeelPainter() = default;

    static TcxCustomLookAndFeelPainterClass Class();
    virtual const char* ClassName() const { return "TcxCustomLookAndFeelPainter"; }

    // ---- basic
    // The small down-pointing drop-down triangle centred in r.
    virtual void DrawButtonArrow(TcxCanvas* canvas, const RECT& r, TColor color) const;
    // The background (unless the event paints it), then the text.
    virtual void DrawContent(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds, int state,
                             TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                             bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                             TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = {},
                             bool isFooter = false) const;
    virtual RECT FooterCellContentBounds(const RECT& r) const;
    virtual RECT FooterCellTextAreaBounds(const RECT& r) const;
    virtual TcxLookAndFeelStyle LookAndFeelStyle() const { return lfsStandard; }

    // ---- default colours
    virtual TColor DefaultChartViewLegendColor() const;
    virtual TColor DefaultChartViewLegendTextColor() const;
    virtual TColor DefaultChartViewTitleColor() const;
    virtual TColor DefaultChartViewTitleTextColor() const;
    virtual TColor DefaultChartViewNavigatorColor() const;
    virtual TColor DefaultChartViewNavigatorTextColor() const;
    virtual TColor DefaultChartViewNavigatorAddValueColumnButtonCrossColor() const;
    virtual TColor DefaultChartViewNavigatorByTextTextColor() const;
    virtual TColor DefaultChartViewNavigatorCategoryColumnTextColor() const;
    virtual TColor DefaultChartViewNavigatorFilterTextColor() const;
    virtual TColor DefaultChartViewNavigatorValueColumnTextColor() const;
    virtual TColor DefaultChartViewSeriesTextColor() const;
    virtual TColor DefaultContentColor() const;
    virtual TColor DefaultContentTextColor() const;
    virtual TColor DefaultFilterBoxColor() const;
    virtual TColor DefaultFilterBoxTextColor() const;
    virtual TColor DefaultFixedSeparatorColor() const;
    virtual TColor DefaultFooterColor() const;
    virtual TColor DefaultFooterTextColor() const;
    virtual TColor DefaultGridLineColor() const;
    virtual TColor DefaultGroupColor() const;
    virtual TColor DefaultGroupTextColor() const;
    virtual TColor DefaultGroupByBoxColor() const;
    virtual TColor DefaultGroupByBoxTextColor() const;
    virtual TColor DefaultHeaderColor() const;
    virtual TColor DefaultHeaderTextColor() const;
    virtual TColor DefaultHeaderBackgroundColor() const;
    virtual TColor DefaultHeaderBackgroundTextColor() const;
    virtual TColor DefaultInactiveColor() const;
    virtual TColor DefaultInactiveTextColor() const;
    virtual TColor DefaultPreviewTextColor() const;
    virtual TColor DefaultRecordSeparatorColor() const;
    virtual TColor DefaultDateNavigatorHeaderColor() const;
    virtual TColor DefaultDateNavigatorSelectionColor() const;
    virtual TColor DefaultDateNavigatorSelectionTextColor() const;
    virtual TColor DefaultSchedulerBackgroundColor() const;
    virtual TColor DefaultSchedulerTextColor() const;
    virtual TColor DefaultSchedulerBorderColor() const;
    virtual TColor DefaultSchedulerControlColor() const;
    virtual TColor DefaultSchedulerViewContentColor() const;
    virtual TColor DefaultSchedulerViewTextColor() const;
    virtual TColor DefaultSelectionColor() const;
    virtual TColor DefaultSelectionTextColor() const;
    virtual TColor DefaultSeparatorColor() const;
    virtual TColor DefaultTabColor() const;
    virtual TColor DefaultTabTextColor() const;
    virtual TColor DefaultTabsBackgroundColor() const;

    // ---- arrows and border
    virtual void DrawArrow(TcxCanvas* canvas, const RECT& r, TcxArrowDirection direction, TColor color) const;
    virtual void DrawArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state, TcxArrowDirection direction,
                           bool drawBorder = true) const;
    virtual void DrawArrowBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
    virtual void DrawScrollBarArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                    TcxArrowDirection direction) const;
    virtual int BorderSize() const { return 0; }
    virtual void DrawBorder(TcxCanvas* canvas, const RECT& r) const;

    // ---- push buttons
    virtual int ButtonBorderSize(TcxButtonState state = cxbsNormal) const;
    virtual TColor ButtonColor(TcxButtonState state) const;
    // r inset by 4, or r itself when that leaves nothing.
    virtual RECT ButtonFocusRect(TcxCanvas* canvas, const RECT& r) const;
    // Left, top, right and bottom border widths of a button in a group.
    virtual RECT ButtonGroupBorderSizes(int buttonCount, int buttonIndex) const;
    virtual int ButtonTextOffset() const { return 0; }
    // How far text and glyphs move right and down when pressed.
    virtual int ButtonTextShift() const { return 0; }
    virtual TColor ButtonSymbolColor(TcxButtonState state) const;
    virtual TcxButtonState ButtonSymbolState(TcxButtonState state) const { return state; }
    virtual void DrawButton(TcxCanvas* canvas, const RECT& r, const std::string& caption, TcxButtonState state,
                            bool drawBorder = true, TColor color = hostlib::clDefault,
                            TColor textColor = hostlib::clDefault) const;
    virtual void DrawButtonInGroup(TcxCanvas* canvas, const RECT& r, TcxButtonState state, int buttonCount,
                                   int buttonIndex, TColor backgroundColor) const;
    virtual void DrawButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
    virtual void DrawButtonGroupBorder(TcxCanvas* canvas, const RECT& r, bool inplace, bool selected) const;

    // ---- expand buttons
    virtual void DrawExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                  TColor color = hostlib::clDefault) const;
    // True: callers draw the expand button before the tree lines.
    virtual bool DrawExpandButtonFirst() const { return true; }
    virtual void DrawGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const;
    virtual void DrawSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor borderColor,
                                       TColor color = hostlib::clDefault) const;
    virtual int ExpandButtonSize() const { return 0; }
    virtual int GroupExpandButtonSize() const { return 15; }
    virtual bool IsButtonHotTrack() const { return false; }
    virtual bool IsPointOverGroupExpandButton(const RECT& r, const POINT& p) const;
    virtual int SmallExpandButtonSize() const { return 9; }

    // ---- check boxes and radio buttons
    virtual int CheckBorderSize() const { return 2; }
    virtual TColor CheckButtonColor(TcxButtonState state) const;
    virtual void DrawCheck(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked, TColor color) const;
    virtual void DrawCheckBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
    virtual void DrawCheckButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked) const;
    // The radio image of the painter's kind with its top-left at (x, y).
    virtual void DrawRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state, bool checked, bool focused,
                                 TColor brushColor, bool isDesigning = false) const;

    // ---- headers
    virtual void DrawHeader(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                            TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                            TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                            bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                            TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = {},
                            bool isLast = false) const;
    virtual void DrawHeaderEx(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                              TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                              TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                              bool showEndEllipsis, const std::string& text, TFont* font, TColor textColor,
                              TColor bkColor, const TcxDrawBackgroundEvent& onDrawBackground = {},
                              bool isLast = false) const;
    virtual void DrawHeaderBorder(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const;
    virtual void DrawHeaderPressed(TcxCanvas* canvas, const RECT& r) const;
    virtual void DrawHeaderControlSection(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                          TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                          TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                          bool showEndEllipsis, const std::string& text, TFont* font,
                                          TColor textColor, TColor bkColor) const;
    virtual void DrawHeaderControlSectionBorder(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                TcxButtonState state) const;
    virtual void DrawHeaderControlSectionContent(TcxCanvas* canvas, const RECT& bounds, const RECT& textAreaBounds,
                                                 TcxButtonState state, TAlignment alignmentHorz,
                                                 TcxAlignmentVert alignmentVert, bool multiLine, bool showEndEllipsis,
                                                 const std::string& text, TFont* font, TColor textColor,
                                                 TColor bkColor) const;
    virtual void DrawHeaderControlSectionText(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                              TAlignment alignmentHorz, TcxAlignmentVert alignmentVert, bool multiLine,
                                              bool showEndEllipsis, const std::string& text, TFont* font,
                                              TColor textColor) const;
    virtual void DrawSortingMark(TcxCanvas* canvas, const RECT& r, bool ascendingSorting) const;
    virtual TcxBorders HeaderBorders(TcxNeighbors neighbors) const;
    virtual int HeaderBorderSize() const { return 0; }
    // r grown on the border sides the neighbours would otherwise draw, so
    // adjacent headers share one border line.
    virtual RECT HeaderBounds(const RECT& r, TcxNeighbors neighbors, TcxBorders borders = cxBordersAll) const;
    virtual RECT HeaderContentBounds(const RECT& r, TcxBorders borders) const;
    virtual bool HeaderDrawCellsFirst() const { return true; }
    virtual int HeaderHeight(int fontHeight) const;
    virtual int HeaderControlSectionBorderSize(TcxButtonState state = cxbsNormal) const;
    virtual RECT HeaderControlSectionTextAreaBounds(const RECT& r, TcxButtonState state) const;
    virtual RECT HeaderControlSectionContentBounds(const RECT& r, TcxButtonState state) const;
    // Text width + 4, plus the border size for bLeft, minus it for bRight.
    virtual int HeaderWidth(TcxCanvas* canvas, TcxBorders borders, const std::string& text, TFont* font) const;
    virtual bool IsHeaderHotTrack() const { return false; }
    virtual POINT SortingMarkAreaSize() const;
    virtual POINT SortingMarkSize() const;

    // ---- footers
    virtual void DrawFooterCell(TcxCanvas* canvas, const RECT& r, TAlignment alignmentHorz,
                                TcxAlignmentVert alignmentVert, bool multiLine, const std::string& text, TFont* font,
                                TColor textColor, TColor bkColor,
                                const TcxDrawBackgroundEvent& onDrawBackground = {}) const;
    virtual TcxBorders FooterBorders() const { return cxBordersAll; }
    virtual int FooterBorderSize() const { return 0; }
    virtual int FooterCellBorderSize() const { return 0; }
    virtual int FooterCellOffset() const { return 0; }
    virtual bool FooterDrawCellsFirst() const { return true; }
    virtual TColor FooterSeparatorColor() const;
    virtual int FooterSeparatorSize() const { return 1; }
    virtual void DrawFooterBorder(TcxCanvas* canvas, const RECT& r) const;
    virtual void DrawFooterCellBorder(TcxCanvas* canvas, const RECT& r) const;
    virtual void DrawFooterSeparator(TcxCanvas* canvas, const RECT& r) const;

    // ---- filter buttons
    virtual void DrawFilterActivateButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked) const;
    virtual void DrawFilterCloseButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
    virtual void DrawFilterDropDownButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                          bool isFilterActive) const;
    virtual POINT FilterActivateButtonSize() const { return POINT{13, 13}; }
    virtual POINT FilterCloseButtonSize() const { return POINT{16, 14}; }
    // A height of 0 means the height of the place where it is drawn.
    virtual POINT FilterDropDownButtonSize() const { return POINT{15, 0}; }
    virtual TcxPopupBorderStyle FilterPopupBorderStyle() const { return pbsUltraFlat; }

    // ---- chart-view buttons
    virtual POINT ChartViewLegendCloseButtonSize() const { return POINT{16, 14}; }
    virtual POINT ChartViewTitleCloseButtonSize() const { return POINT{16, 14}; }
    virtual POINT ChartViewNavigatorAutoHideButtonSize() const { return POINT{16, 14}; }
    virtual POINT ChartViewNavigatorCloseButtonSize() const { return POINT{16, 14}; }
    virtual POINT ChartViewNavigatorAddValueColumnButtonSize() const { return POINT{13, 13}; }
    virtual void DrawChartViewNavigatorAddValueColumnButton(TcxCanvas* canvas, const RECT& r,
                                                            TcxButtonState state) const;
    virtual void DrawChartViewNavigatorAddValueColumnButtonCrossHire(TcxCanvas* canvas, const RECT& r,
                                                                     TcxButtonState state) const;
    virtual void DrawChartViewNavigatorAutoHideButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                      bool pinned, TColor color) const;

    // ---- tabs
    virtual void DrawTab(TcxCanvas* canvas, const RECT& r, TcxBorders borders, const std::string& text,
                         TcxButtonState state, bool vertical, TFont* font, TColor textColor, TColor bkColor) const;
    virtual void DrawTabBorder(TcxCanvas* canvas, const RECT& r, TcxBorder side, TcxBorders borders,
                               bool vertical) const;
    virtual void DrawTabsRoot(TcxCanvas* canvas, const RECT& r, TcxBorders borders, bool vertical) const;
    // False: the caller draws tabs itself.
    virtual bool IsDrawTabImplemented(bool vertical) const;
    virtual bool IsTabHotTrack(bool vertical) const;
    virtual int TabBorderSize(bool vertical) const;

    // ---- row indicator, scroll bar, month header, scheduler
    virtual void DrawIndicatorItem(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind, TColor color,
                                   const TcxDrawBackgroundEvent& onDrawBackground = {}) const;
    virtual void DrawIndicatorItemEx(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind, TColor color,
                                     const TcxDrawBackgroundEvent& onDrawBackground = {}) const;
    virtual bool IndicatorDrawItemsFirst() const { return true; }
    virtual void DrawScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                                   TcxButtonState state) const;
    virtual void DrawMonthHeader(TcxCanvas* canvas, const RECT& bounds, const std::string& text,
                                 TcxNeighbors neighbors, const TcxViewParams& viewParams, TcxHeaderArrows arrows,
                                 int sideWidth, const TcxDrawBackgroundEvent& onDrawBackground = {}) const;
    virtual void DrawSchedulerBorder(TcxCanvas* canvas, const RECT& r) const;
    virtual void DrawSchedulerSplitterBorder(TcxCanvas* canvas, const RECT& r, const TcxViewParams& viewParams,
                                             bool isHorizontal) const;

    // ---- fixed operations the looks share
    static void CalculateArrowPoints(const RECT& r, TcxArrowPoints& points, TcxArrowDirection direction,
                                     bool proportional);
    // Two diagonals two pixels wide in a square centred in r.
    void DrawButtonCross(TcxCanvas* canvas, const RECT& r, TColor color, TcxButtonState state) const;
    // A minus sign when expanded, a plus sign when collapsed.
    static void DrawExpandButtonCross(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color);
    // A double chevron, up when expanded, down when collapsed.
    void DrawGroupExpandButtonMark(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const;
    static void DrawIndicatorImage(TcxCanvas* canvas, const RECT& r, TcxIndicatorKind kind);
    void DrawMonthHeaderArrows(TcxCanvas* canvas, const RECT& r, TcxHeaderArrows arrows, int sideWidth,
                               TColor color) const;
    // A triangle outline of SortingMarkSize centred in r.
    void DrawSortingArrow(TcxCanvas* canvas, const RECT& r, TColor color1, TColor color2, bool ascendingSorting) const;
    static TcxArrowDirection GetArrowDirection(bool horizontal, TcxScrollBarPart part);

protected:
    TcxCustomLookAndFeelPainter() = default;
};

// The painter registered for a style, nullptr when none is. Painter units
// register theirs at start-up; this table is the one place that knows
// which painter class draws which style.
TcxCustomLookAndFeelPainterClass cxRegisteredLookAndFeelPainter(TcxLookAndFeelStyle style);
// nullptr unregisters.
void cxRegisterLookAndFeelPainter(TcxLookAndFeelStyle style, TcxCustomLookAndFeelPainterClass painter);
// The registered painter of a style, the custom painter while none is.
TcxCustomLookAndFeelPainterClass cxLookAndFeelPainterOfStyle(TcxLookAndFeelStyle style);
// The painter of the ultra-flat style.
TcxCustomLookAndFeelPainterClass GetCurrentPainterClass();
