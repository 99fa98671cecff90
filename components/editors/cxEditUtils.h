#pragma once
// What every editor paints alike: small drawing operations (glyphs, filled
// poly-lines, rectangle frames), accelerator removal, the conversion between
// the canvas text flags and the editors' text-row format word, and the
// highlight colours of the flat looks.

#include <string>
#include <vector>

#include "components/editors/cxEdit.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/hostlib/visual/imagelist.h"

enum TcxEditBackgroundPaintingStyle { bpsSolid, bpsComboEdit, bpsComboListEdit };

class TcxCustomEditViewData;
class TcxCustomEditViewInfo;
class TcxEditButtonViewInfo;

// ---- layout every editor kind shares -----------------------------------------------

// Native state, border extent and rectangle, shadow rectangle, border colour
// (stand-alone), background and text colours.
void CalculateCustomEditViewInfo(TcxCustomEditViewData* viewData, TcxCustomEditViewInfo* viewInfo);
// The theme part and state of a native button (0 when not native).
void CalculateEditButtonState(TcxEditButtonViewInfo* viewInfo);
int CalculateEditDefaultButtonWidth(TcxCanvas* canvas, TcxEditButtonViewInfo* viewInfo);
RECT GetEditBorderExtent(TcxCustomEditViewData* viewData);
RECT GetEditButtonsExtent(TcxCanvas* canvas, TcxCustomEditViewData* viewData);
int GetEditButtonsContentVerticalOffset(TcxCanvas* canvas, TcxEditButtonStyle buttonStyle, bool nativeStyle);
void GetEditColorSettings(TcxCustomEditViewData* viewData, hostlib::TColor& backgroundColor,
                          hostlib::TColor& textColor);
SIZE GetTextEditContentSizeCorrection(TcxCustomEditViewData* viewData);
bool IsShadowDrawingNeeded(TcxCustomEditViewData* viewData);
hostlib::TColor GetEditBorderColor(TcxCustomEditViewData* viewData);

// ---- painting ----------------------------------------------------------------------

// Frame, background, shadow and buttons of an editor, buttons clipped out
// of the frame painting.
void DrawCustomEdit(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, bool drawBackground,
                    TcxEditBackgroundPaintingStyle backgroundPaintingStyle);
void DrawEditButton(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex);
// The border by style (or theme), then the content in what is left of rect.
void DrawEditButtonBorder(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                          TcxEditButtonStyle buttonStyle, RECT& rect);
void DrawEditButtonContent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                           const RECT& contentRect, hostlib::TColor backgroundColor, hostlib::TColor foregroundColor);
// The caller owns the region.
TcxRegion* GetEditButtonRegion(TcxCanvas* canvas, TcxEditButtonViewInfo* viewInfo);
void GetCheckBoxContentSize(TcxCanvas* canvas, TcxCustomEditViewData* viewData, const std::string& caption,
                            SIZE& size, bool addWidth, const TcxEditSizeProperties& sizeProperties,
                            bool nativeAware, int textFlags);

// Enabled: the glyph copied with its transparent colour showing the
// background colour (nothing for clNone, or the background bitmap);
// disabled: the image list's disabled look over that background.
void DrawGlyph(TcxCanvas* canvas, int x, int y, hostlib::TBitmap* glyph, bool enabled = true,
               hostlib::TColor backgroundColor = hostlib::clNone, hostlib::TBitmap* backgroundBitmap = nullptr);
void DrawGlyph(TcxCanvas* canvas, hostlib::TCustomImageList* imageList, int imageIndex, const RECT& glyphRect,
               hostlib::TColor backgroundColor, bool enabled, hostlib::TBitmap* backgroundBitmap = nullptr);
// The arrow of a button of that size: (w, h) for up and down, (h, w) for
// left and right, w odd.
SIZE GetArrowSize(const SIZE& size, TcxArrowDirection direction);
// n one-pixel lines (n the smaller side of arrowSize), centred in the
// rectangle, one pixel right and down when shifted; a double arrow repeats
// it n further on.
void DrawArrow(TcxCanvas* canvas, const SIZE& arrowSize, const RECT& rect, TcxArrowDirection direction, bool shifted,
               bool isDouble, hostlib::TColor color);
// The visual-styles painter when native and themes are on, else the kind's.
TcxCustomLookAndFeelPainterClass GetPainterClass(bool native, TcxLookAndFeelKind kind);
hostlib::TColor GetEditButtonHighlightColor(bool pressed, bool isOffice11Style);
// Points 0..lastIndex; filled draws each segment as a one-pixel rectangle.
void InternalPolyLine(TcxCanvas* canvas, const std::vector<POINT>& points, int lastIndex, bool filled,
                      hostlib::TColor color);
// The ring of outer around inner (all of outer when inner is empty).
void InternalFillRect(TcxCanvas* canvas, const RECT& outer, const RECT& inner, HBRUSH brush);
void cxEditFillRect(HDC dc, const RECT& rect, HBRUSH brush);
void cxOffsetRect(RECT& rect, const POINT& offset);

hostlib::TColor GetHotTrackColor();
hostlib::TColor GetEditBorderHighlightColor(bool isOffice11Style);
bool VerifyBitmap(hostlib::TBitmap* bitmap);
bool VerifyImages(hostlib::TCustomImageList* images);
// "&" dropped, "&&" gives "&", a final "&" becomes "_".
std::string RemoveAccelChars(const std::string& text);

// Between the text-row format word (alignment 1 = centre, 2 = right in the
// low bits, 0x10 = centre, 0x20 = bottom, 0x200 single line) and the canvas
// text flags (cxtfHCenter, cxtfRight, cxtfVCenter, cxtfBottom,
// cxtfSingleLine); every other bit is dropped.
int cxTextOutFlagsToDrawTextFlags(unsigned flags);
unsigned DrawTextFlagsTocxTextOutFlags(int flags);

void cxEditUtilsInitialize();
