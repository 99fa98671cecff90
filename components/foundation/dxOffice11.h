#pragma once
// The colours, brushes, bitmaps and small drawing routines of the Office
// 2003 look. Under the standard luna style the colours come from a table per
// colour variant; otherwise they are derived from the system colours. The
// palette is reference-counted: colours stay readable (last computed values)
// outside its life, brushes and bitmaps do not.

#include "platform/graphics/wingdi.h"
#include "platform/hostlib/visual/graphics.h"

enum TOffice11Scheme { schUnknown, schNormalColor, schHomestead, schMetallic };
// One scheme's row of the colour table.
using TOffice11SchemeColor = COLORREF[37];

inline hostlib::TColor dxOffice11DockColor1 = 0;
inline hostlib::TColor dxOffice11DockColor2 = 0;
inline hostlib::TColor dxOffice11BarMarkColors1[3] = {};
inline hostlib::TColor dxOffice11BarMarkColors2[3] = {};
inline hostlib::TColor dxOffice11BarBorderColors[2] = {};
inline hostlib::TColor dxOffice11BarBorderMarkColors[6] = {};
inline hostlib::TColor dxOffice11ToolbarsColor1 = 0;
inline hostlib::TColor dxOffice11ToolbarsColor2 = 0;
inline hostlib::TColor dxOffice11BarFingerColor1 = 0;
inline hostlib::TColor dxOffice11BarFingerColor2 = 0;
inline hostlib::TColor dxOffice11BarSeparatorColor1 = 0;
inline hostlib::TColor dxOffice11BarSeparatorColor2 = 0;
inline hostlib::TColor dxOffice11BarMarkArrowColor1 = 0;
inline hostlib::TColor dxOffice11BarMarkArrowColor2 = 0;
inline hostlib::TColor dxOffice11BarFloatingBorderColor1 = 0;
inline hostlib::TColor dxOffice11BarFloatingBorderColor2 = 0;
inline hostlib::TColor dxOffice11BarFloatingBorderColor3 = 0;
inline hostlib::TColor dxOffice11BarFloatingCaptionColor = 0;
inline hostlib::TColor dxOffice11BarFloatingCaptionTextColor1 = 0;
inline hostlib::TColor dxOffice11BarFloatingCaptionTextColor2 = 0;
inline hostlib::TColor dxOffice11BarFloatingCaptionTextColor3 = 0;
inline hostlib::TColor dxOffice11MenuColor = 0;
inline hostlib::TColor dxOffice11MenuDownedColor1 = 0;
inline hostlib::TColor dxOffice11MenuDownedColor2 = 0;
inline hostlib::TColor dxOffice11MenuIndentColor1 = 0;
inline hostlib::TColor dxOffice11MenuIndentColor2 = 0;
inline hostlib::TColor dxOffice11MenuNonRecentIndentColor1 = 0;
inline hostlib::TColor dxOffice11MenuNonRecentIndentColor2 = 0;
inline hostlib::TColor dxOffice11DropDownBorderColor1 = 0;
inline hostlib::TColor dxOffice11DropDownBorderColor2 = 0;
inline hostlib::TColor dxOffice11ToolbarSelectedColor = 0;
inline hostlib::TColor dxOffice11SelectedBorderColor = 0;
inline hostlib::TColor dxOffice11SelectedColor1 = 0;
inline hostlib::TColor dxOffice11SelectedColor2 = 0;
inline hostlib::TColor dxOffice11SelectedDownColor1 = 0;
inline hostlib::TColor dxOffice11SelectedDownColor2 = 0;
inline hostlib::TColor dxOffice11OwnerControlDownedColor = 0;
inline hostlib::TColor dxOffice11DownedColor = 0;
inline hostlib::TColor dxOffice11DownedSelectedColor = 0;
inline hostlib::TColor dxOffice11DetachableColor = 0;
inline hostlib::TColor dxOffice11DetachableSelectedColor = 0;
inline hostlib::TColor dxOffice11TextEnabledColor = 0;
inline hostlib::TColor dxOffice11TextDisabledColor = 0;
inline hostlib::TColor dxOffice11StaticBorderColor = 0;
inline hostlib::TColor dxOffice11DateHeaderColor = 0;
inline hostlib::TColor dxOffice11InPlaceSubItemColor = 0;
inline hostlib::TColor dxOffice11InPlaceSubItemTextColor = 0;
inline hostlib::TColor dxOffice11ControlBorderColor = 0;
inline hostlib::TColor dxOffice11GroupColor = 0;
inline hostlib::TColor dxOffice11DayNavigatorSelectedColor = 0;
inline hostlib::TColor dxOffice11OutlookBorderColor = 0;
inline hostlib::TColor dxOffice11OutlookControlColor = 0;
inline hostlib::TColor dxOffice11GroupIndentColor = 0;
inline hostlib::TColor dxOffice11GroupRowTextColor = 0;
inline hostlib::TColor dxOffice11GroupRowSeparatorColor = 0;
inline hostlib::TColor dxOffice11ExpandButtonColor1 = 0;
inline hostlib::TColor dxOffice11ExpandButtonColor2 = 0;

// Brush handles; three share a handle with another (each is deleted once).
inline HBRUSH dxOffice11BarFingerBrush1 = nullptr;
inline HBRUSH dxOffice11BarFingerBrush2 = nullptr;
inline HBRUSH dxOffice11BarSeparatorBrush1 = nullptr;
inline HBRUSH dxOffice11BarSeparatorBrush2 = nullptr;
inline HBRUSH dxOffice11MenuBrush = nullptr;
inline HBRUSH dxOffice11SelectedBorderBrush = nullptr;
inline HBRUSH dxOffice11ToolbarSelectedBrush = nullptr;
inline HBRUSH dxOffice11OwnerControlDownedBrush = nullptr;
inline HBRUSH dxOffice11DownedBrush = nullptr;
inline HBRUSH dxOffice11DownedSelectedBrush = nullptr;
inline HBRUSH dxOffice11DropDownBorderBrush1 = nullptr;
inline HBRUSH dxOffice11DropDownBorderBrush2 = nullptr;
inline HBRUSH dxOffice11DetachableBrush = nullptr;
inline HBRUSH dxOffice11DetachableSelectedBrush = nullptr;
inline HBRUSH dxOffice11StaticBorderBrush = nullptr;
inline HBRUSH dxOffice11InPlaceSubItemBrush = nullptr;

inline hostlib::TBitmap* dxOffice11SubMenuExpandBitmap = nullptr;
inline hostlib::TBitmap* dxOffice11ExpandButtonBitmap1 = nullptr;
inline hostlib::TBitmap* dxOffice11ExpandButtonBitmap2 = nullptr;

TOffice11Scheme GetOffice11Scheme();
// Visual styles are available and the scheme is a luna variant.
bool IsXPStandardScheme();
void CreateOffice11Colors();
void ReleaseOffice11Colors();
void RefreshOffice11Colors();

// Per component the percent-weighted mean of two colours (percent is the
// first colour's weight), each component within 0..255, then the screen's
// nearest colour.
hostlib::TColor GetMiddleRGB(hostlib::TColor color1, hostlib::TColor color2, int percent);
// Parts of BTNFACE, HIGHLIGHT and WINDOW in percent; HIGHLIGHT when the face
// is pure black or white.
hostlib::TColor GetLightColor(int btnFaceColorPart, int highlightColorPart, int windowColorPart);
bool IsHighContrastBlack();
bool IsHighContrastWhite();
bool IsHighContrast2();

void FillRectByColor(HDC dc, const RECT& r, hostlib::TColor color);
void FrameRectByColor(HDC dc, const RECT& r, hostlib::TColor color);
// Up to 256 bands from color1 to color2 along the width (horizontal) or
// the height.
void FillGradientRect(HDC dc, const RECT& r, hostlib::TColor color1, hostlib::TColor color2, bool horizontal);
// One band per pixel, through a middle colour set by the tube factor.
void FillTubeGradientRect(HDC dc, const RECT& r, hostlib::TColor color1, hostlib::TColor color2, bool horizontal);
// The colour FillGradientRect gives at a coordinate along the run.
hostlib::TColor GetGradientColorRect(const RECT& r, int position, hostlib::TColor color1, hostlib::TColor color2,
                                     bool horizontal);
void Office11FrameSelectedRect(HDC dc, const RECT& r);
// Grip dots in 4 x 4 cells, down the rect or along it.
void Office11DrawFingerElements(HDC dc, const RECT& r, bool downward);
void Office11DrawSizeGrip(HDC dc, const RECT& r);
void Office11DrawLargeItemArrow(HDC dc, const RECT& r, bool down, int size, bool selected, bool enabled, bool last);
void Office11DrawItemArrow(HDC dc, const RECT& r, bool down, bool enabled, bool selected, bool last);
