#pragma once
// The editors' text layout: a text broken into rows that fit a rectangle,
// placed by horizontal and vertical alignment (justified and distributed
// too), and drawn with an optional end ellipsis and a highlighted selection,
// straight on a device context. Text is UTF-8: a character's bytes stay in
// one row.

#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/wingdi.h"
#include "platform/hostlib/visual/graphics.h"

enum TcxTextAlignX { taLeft, taCenterX, taRight, taJustifyX, taDistributeX };
enum TcxTextAlignY { taTop, taCenterY, taBottom, taDistributeY };

// Bits of the format word every operation here takes.
inline constexpr unsigned cxTextAlignXMask = 0x7;
inline constexpr unsigned cxTextAlignYMask = 0x30;
inline constexpr unsigned cxPreventLeftExceed = 0x40;
inline constexpr unsigned cxPreventTopExceed = 0x80;
inline constexpr unsigned cxWordBreak = 0x100;
inline constexpr unsigned cxSingleLine = 0x200;
inline constexpr unsigned cxExpandTabs = 0x400;
inline constexpr unsigned cxShowEndEllipsis = 0x800;
inline constexpr unsigned cxExternalLeading = 0x2000;
inline constexpr unsigned cxEditControl = 0x4000;
inline constexpr unsigned cxDontClip = 0x8000;
inline constexpr unsigned cxAutoIndents = 0x10000;
inline constexpr unsigned cxCharBreak = 0x20000;
inline constexpr unsigned cxCalcRect = 0x100000;
inline constexpr unsigned cxCalcRowCount = 0x200000;

struct TcxTextParams {
    int RowHeight = 0;
    int ExternalLeading = 0;
    int RowPitch = 0;
    int EllipsisWidth = 0;
    unsigned char BreakChar = ' ';
    TcxTextAlignX TextAlignX = taLeft;
    TcxTextAlignY TextAlignY = taTop;
    bool PreventLeftExceed = false;
    bool PreventTopExceed = false;
    bool WordBreak = false;
    bool SingleLine = false;
    bool ExpandTabs = false;
    bool EndEllipsis = false;
    bool IncludeExternalLeading = false;
    bool EditControl = false;
    bool NoClip = false;
    bool AutoIndents = false;
    bool CharBreak = false;
    bool CalcRect = false;
    bool CalcRowCount = false;
    int MaxCharWidth = 0;
};
using PcxTextParams = TcxTextParams*;

// One row: its characters point into the caller's text.
struct TcxTextRow {
    const char* Text = nullptr;
    int TextLength = 0;
    SIZE TextExtents{};
    int BreakCount = 0;
    int TextOriginX = 0;
    int TextOriginY = 0;
    int StartOffset = 0;
};
using TcxTextRows = std::vector<TcxTextRow>;

unsigned cxMakeFormat(TcxTextAlignX x, TcxTextAlignY y);
TcxTextParams cxCalcTextParams(HDC dc, unsigned format);
TcxTextParams cxCalcTextParams(hostlib::TCanvas* canvas, unsigned format);
void cxCalcTextExtents(HDC dc, const char* text, int length, SIZE& size, bool expandTabs);
void cxCalcTextRowExtents(HDC dc, TcxTextRow& row, const TcxTextParams& params);
// Rows of the text for the rectangle; false when the maximal line count
// stopped them with text left over. The rows point into `text`.
bool cxMakeTextRows(HDC dc, std::string_view text, const RECT& rect, const TcxTextParams& params, TcxTextRows& rows,
                    int& rowCount, int maxLineCount = 0);
bool cxMakeTextRows(hostlib::TCanvas* canvas, std::string_view text, const RECT& rect, const TcxTextParams& params,
                    TcxTextRows& rows, int& rowCount, int maxLineCount = 0);
void cxPlaceTextRows(HDC dc, const RECT& rect, const TcxTextParams& params, TcxTextRows& rows, int rowCount);
RECT cxPrepareRect(const RECT& rect, const TcxTextParams& params, int leftIndent, int rightIndent);
void cxTextRowsOutHighlight(HDC dc, const RECT& rect, const TcxTextParams& params, const TcxTextRows& rows,
                            int rowCount, int selStart, int selLength, hostlib::TColor selBkColor,
                            hostlib::TColor selTextColor, bool forceEndEllipsis);
int cxGetLongestTextRowWidth(const TcxTextRows& rows, int rowCount);

// Lays out and draws the text (or, with cxCalcRect, only sets the rectangle
// to the text's size); answers the height of the block or, with
// cxCalcRowCount, the number of rows.
int cxTextOut(HDC dc, const std::string& text, RECT& rect, unsigned format, int selStart, int selLength,
              hostlib::TColor selBkColor, hostlib::TColor selTextColor, int maxLineCount = 0, int leftIndent = 0,
              int rightIndent = 0);
int cxTextOut(hostlib::TCanvas* canvas, const std::string& text, RECT& rect, unsigned format, int selStart,
              int selLength, hostlib::TColor selBkColor, hostlib::TColor selTextColor, int maxLineCount = 0,
              int leftIndent = 0, int rightIndent = 0);
int cxTextOut(hostlib::TCanvas* canvas, const std::string& text, RECT& rect, unsigned format, int maxLineCount = 0,
              int leftIndent = 0, int rightIndent = 0);
int cxTextOut(HDC dc, const std::string& text, RECT& rect, unsigned format, int maxLineCount = 0, int leftIndent = 0,
              int rightIndent = 0);
