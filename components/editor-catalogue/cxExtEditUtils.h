#pragma once
// Helpers of the extended editors: rectangle arithmetic and frames, text
// flags and measuring, font rotation, colour arithmetic and colour texts,
// number-text checks and filters, Variant ranges, check-state texts, a
// window-procedure hook for a windowed control, and painting a parent's
// appearance behind a control that is to look transparent.

#include <string>
#include <string_view>

#include "components/editor-catalogue/cxCheckBox.h"
#include "components/foundation/cxClasses.h"
#include "components/foundation/cxGraphics.h"
#include "platform/hostlib/core/variant.h"
#include "platform/hostlib/visual/controls.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/hostlib/visual/win_control.h"

// ---- rectangles and lines ----------------------------------------------------------

// Adds the amounts to the left, top, right and bottom edges.
void InflateRectEx(RECT& rect, int dl, int dt, int dr, int db);
int RectWidth(const RECT& rect);   // 0 when negative
int RectHeight(const RECT& rect);  // 0 when negative
int CalcCenterPosHeight(const RECT& rect, int height);
int CalcDrawWidth(const RECT& rect, int height);
// A two-colour frame drawn on R's own right and bottom coordinates (c1
// left and top, c2 right and bottom); returns R shrunk by one.
RECT DrawBounds(TcxCanvas* canvas, const RECT& bounds, hostlib::TColor color1, hostlib::TColor color2);
// The end point is not drawn.
void DrawCanvasLine(hostlib::TCanvas* canvas, hostlib::TColor color, const POINT& from, const POINT& to);

// ---- text and fonts ----------------------------------------------------------------

// The initial flags plus those of the layout: the platform's text-drawing
// flags with platformFlags, else the canvas text flags.
int PrepareTextFlag(int initialFlags, hostlib::TAlignment horz, TcxAlignmentVert vert, bool endEllipsis, bool wordWrap,
                    int tabWidth, bool platformFlags, bool showPrefix = false);
// Measured on a temporary bitmap, so no window or canvas is needed.
int NonCanvasTextHeight(hostlib::TFont* font);
int NonCanvasTextWidth(hostlib::TFont* font, const std::string& text);
// 1 + the widest of the whole text and each of its lines.
int CalcMaxWidth(hostlib::TCanvas* canvas, const std::string& text);
// The canvas takes a copy of the font, turned by the angle (degrees,
// counter-clockwise) when it is a TrueType font; answers whether it is.
bool AdjustCanvasFont(hostlib::TCanvas* canvas, hostlib::TFont* font, int angle);
// Field n (from 1) of the text split at the delimiter; "" when absent.
std::string GetWord(int n, std::string_view text, char delimiter);

// ---- colours -----------------------------------------------------------------------

// Each channel raised by its amount, kept within 0..255; a plain RGB colour.
hostlib::TColor IncColor(hostlib::TColor color, int dr, int dg, int db);
// A colour identifier or an integer text; clNone and valid false otherwise.
hostlib::TColor cxStringToColor(std::string_view text, bool& valid);
// "R.G.B" in decimal; a missing part repeats the last one given.
hostlib::TColor cxRGBStringColorToColor(std::string_view text);
// "RRGGBB" in hexadecimal, other characters ignored; missing pairs give 0.
hostlib::TColor cxHexRGBStringColorToColor(std::string_view text);

// ---- numbers and Variants ----------------------------------------------------------

bool IsVarEmpty(const hostlib::Variant& value);
bool IsValidStringForInt(std::string_view text);
// Digits, the locale's decimal separator once, "-" first; within the
// double range. Never raises.
bool IsValidStringForDouble(std::string_view text);
bool VarIsInteger(const hostlib::Variant& value);
bool VarIsDouble(const hostlib::Variant& value);
std::int64_t GetMaxVarInteger(const hostlib::Variant& value);
long double GetMaxVarDouble(const hostlib::Variant& value);
// The text's "-" and digits (stopAtInvalid: up to the first other
// character) converted; raises EConvertError when that is no number.
int cxStrToInt(std::string_view text, bool stopAtInvalid);
// As cxStrToInt, keeping the locale's decimal separator too.
long double cxStrToFloat(std::string_view text, bool stopAtInvalid);

// ---- check states and keyboard -----------------------------------------------------

std::string CheckStateToString(TcxCheckBoxState state);
TcxCheckBoxState StringToCheckState(std::string_view text, bool allowGrayed);
hostlib::TShiftState CurrentShiftState();

// ---- background painting -----------------------------------------------------------

// The parent's appearance under the control's client area, into dc.
void PaintBackground(hostlib::TWinControl* control, HDC dc, bool paintParent);
// What lies behind rect (the control's client coordinates) of the control:
// its parent and the windowed siblings below it, with rect's top-left at
// the canvas's origin.
void DrawTransparentControlBackground(hostlib::TWinControl* control, hostlib::TCanvas* canvas, const RECT& rect);

// ---- window-procedure hook ---------------------------------------------------------

// Puts its own window procedure in front of one windowed control's and
// passes every message on. One hook per window: the window finds its hook
// through a window property.
class TcxControlHook : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // The same control does nothing; otherwise unhooks, stores and hooks.
    virtual void SetWinControl(hostlib::TWinControl* value);
    // Passes the message to the procedure it replaced (or the control's
    // default handling); a destroyed window releases the hook.
    virtual void HookWndProc(hostlib::TMessage& message);
    virtual void HookControl();
    // Puts the remembered procedure back unless another one was installed
    // after the hook; forgets it in every case.
    virtual void UnHookControl();

    hostlib::TWinControl* WinControl() const { return control_; }
    bool IsHooked() const { return previous_ != nullptr; }
    // The procedure installed on hooked windows.
    static WNDPROC HookProcedure();

protected:
    void Destroy() override;

private:
    static LRESULT Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CanHook() const;

    hostlib::TWinControl* control_ = nullptr;
    WNDPROC previous_ = nullptr;
    bool destroying_ = false;
};
