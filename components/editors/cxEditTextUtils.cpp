#include "components/editors/cxEditTextUtils.h"

#include <algorithm>
#include <array>

#include "platform/system/scope_guard.h"

namespace {

bool IsJustified(const TcxTextParams& p) { return p.TextAlignX == taJustifyX || p.TextAlignX == taDistributeX; }

bool IsBreak(const TcxTextParams& p, char c) { return static_cast<unsigned char>(c) == p.BreakChar || c == '\t'; }

// Bytes of the UTF-8 character at text[i] (1 for a stray byte).
int CharLength(std::string_view text, size_t i)
{
    auto c = static_cast<unsigned char>(text[i]);
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + static_cast<size_t>(n) > text.size())
        return 1;
    for (int k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0xC0) != 0x80)
            return 1;
    return n;
}

// Restores the DC's clip region when it goes.
class ClipSaver {
public:
    explicit ClipSaver(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0))
    {
        hadClip_ = GetClipRgn(dc, saved_) == 1;
    }
    ~ClipSaver()
    {
        SelectClipRgn(dc_, hadClip_ ? saved_ : nullptr);
        DeleteObject(saved_);
    }
    ClipSaver(const ClipSaver&) = delete;
    ClipSaver& operator=(const ClipSaver&) = delete;

private:
    HDC dc_;
    HRGN saved_;
    bool hadClip_ = false;
};

// Makes one row at a time from a position in the text.
class RowMaker {
public:
    RowMaker(HDC dc, std::string_view text, const TcxTextParams& params, int width)
        : dc_(dc), text_(text), p_(params), width_(width)
    {
        widths_.fill(-1);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    size_t Position() const { return pos_; }
    TcxTextRow Make(bool last);

private:
    int CharWidth(size_t i, int n);
    size_t Scan(bool ellipsisRow, bool& lineEnd);
    void SkipSeparators();

    HDC dc_;
    std::string_view text_;
    const TcxTextParams& p_;
    int width_;
    size_t pos_ = 0;
    std::array<int, 128> widths_{};
};

int RowMaker::CharWidth(size_t i, int n)
{
    auto c = static_cast<unsigned char>(text_[i]);
    if (n == 1 && c < 128 && widths_[c] >= 0)
        return widths_[c];
    SIZE size{};
    GetTextExtentPoint32A(dc_, text_.data() + i, n, &size);
    if (n == 1 && c < 128)
        widths_[c] = size.cx;
    return size.cx;
}

// Finds where the row starting at pos_ ends (exclusive).
size_t RowMaker::Scan(bool ellipsisRow, bool& lineEnd)
{
    bool wrap = !p_.SingleLine && (p_.WordBreak || IsJustified(p_));
    bool charBreak = wrap && p_.CharBreak;
    bool measure = wrap || ellipsisRow || p_.SingleLine;
    size_t start = pos_, i = pos_;
    long long width = 0;
    size_t lastBreak = std::string_view::npos;
    while (i < text_.size()) {
        char c = text_[i];
        if ((c == '\r' || c == '\n') && !ellipsisRow && !p_.SingleLine) {
            lineEnd = true;
            return i;
        }
        int n = CharLength(text_, i);
        if (IsBreak(p_, c))
            lastBreak = i;
        if (measure) {
            if (p_.ExpandTabs)
                width = LOWORD(GetTabbedTextExtentA(dc_, text_.data() + start, static_cast<int>(i - start) + n, 0,
                                                    nullptr));
            else
                width += CharWidth(i, n);
            if (width > width_) {
                if (ellipsisRow || p_.SingleLine)
                    return i + static_cast<size_t>(n);
                if (lastBreak != std::string_view::npos)
                    return lastBreak + 1;
                if (charBreak)
                    return i > start ? i : i + static_cast<size_t>(n);
            }
        }
        i += static_cast<size_t>(n);
    }
    return i;
}

// Past the blanks after a row, then one tab, one carriage return, one line feed.
void RowMaker::SkipSeparators()
{
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) == p_.BreakChar)
        ++pos_;
    for (char c : {'\t', '\r', '\n'})
        if (pos_ < text_.size() && text_[pos_] == c)
            ++pos_;
}

TcxTextRow RowMaker::Make(bool last)
{
    bool ellipsisRow = last && p_.EndEllipsis && !p_.EditControl && !p_.NoClip && !IsJustified(p_);
    bool lineEnd = false;
    size_t start = pos_, end = Scan(ellipsisRow, lineEnd);
    if (IsJustified(p_))
        while (end > start && IsBreak(p_, text_[end - 1]))
            --end;
    TcxTextRow row;
    row.Text = text_.data() + start;
    row.TextLength = static_cast<int>(end - start);
    row.StartOffset = static_cast<int>(start);
    for (size_t k = start; k < end; ++k)
        row.BreakCount += IsBreak(p_, text_[k]) ? 1 : 0;
    cxCalcTextRowExtents(dc_, row, p_);
    pos_ = std::max(end, pos_);
    SkipSeparators();
    // The last row of a paragraph is not stretched (distributed text is).
    if (p_.TextAlignX == taJustifyX && (lineEnd || AtEnd()))
        row.BreakCount = 0;
    return row;
}

bool IsLastRow(const TcxTextParams& p, int made, int summedPitch, int height, int maxLineCount)
{
    if (p.SingleLine)
        return true;
    if (maxLineCount > 0 && made >= maxLineCount)
        return true;
    if (p.TextAlignY != taTop || p.CalcRect)
        return false;
    if (!p.EditControl || p.NoClip)
        return summedPitch > height;
    return summedPitch + p.RowPitch > height;
}

void DrawRowText(HDC dc, const TcxTextParams& p, const TcxTextRow& row, const RECT& band)
{
    if (p.ExpandTabs)
        TabbedTextOutA(dc, row.TextOriginX, row.TextOriginY, row.Text, row.TextLength, 0, nullptr, row.TextOriginX);
    else
        ExtTextOutA(dc, row.TextOriginX, row.TextOriginY, ETO_CLIPPED, &band, row.Text,
                    static_cast<UINT>(row.TextLength), nullptr);
}

int PrefixWidth(HDC dc, const TcxTextParams& p, const TcxTextRow& row, int length)
{
    SIZE size{};
    cxCalcTextExtents(dc, row.Text, length, size, p.ExpandTabs);
    return size.cx;
}

// The selected part of the row, drawn again over the selection brush.
void DrawRowSelection(HDC dc, const TcxTextParams& p, const TcxTextRow& row, const RECT& band, int selStart,
                      int selLength, HBRUSH brush, hostlib::TColor selTextColor)
{
    int a = std::max(selStart, row.StartOffset), b = std::min(selStart + selLength, row.StartOffset + row.TextLength);
    if (selLength <= 0 || a >= b)
        return;
    RECT sel{row.TextOriginX + PrefixWidth(dc, p, row, a - row.StartOffset), band.top,
             row.TextOriginX + PrefixWidth(dc, p, row, b - row.StartOffset), band.bottom};
    FillRect(dc, &sel, brush);
    ClipSaver clip(dc);
    IntersectClipRect(dc, sel.left, sel.top, sel.right, sel.bottom);
    COLORREF old = SetTextColor(dc, hostlib::ColorToRGB(selTextColor));
    DrawRowText(dc, p, row, band);
    SetTextColor(dc, old);
}

// Cuts an ellipsis row to what fits beside the "...", at least one character.
TcxTextRow CutForEllipsis(HDC dc, const TcxTextParams& p, TcxTextRow row, int width)
{
    int room = width - p.EllipsisWidth, fit = 0;
    std::string_view text(row.Text, static_cast<size_t>(row.TextLength));
    for (size_t i = 0; i < text.size();) {
        int n = CharLength(text, i);
        if (fit > 0 && PrefixWidth(dc, p, row, static_cast<int>(i) + n) > room)
            break;
        i += static_cast<size_t>(n);
        fit = static_cast<int>(i);
    }
    row.TextLength = fit;
    cxCalcTextRowExtents(dc, row, p);
    return row;
}

void DrawEllipsis(HDC dc, int x, int y, const RECT& rect, const TcxTextParams& p)
{
    RECT box{x, y, x + p.EllipsisWidth, y + p.RowPitch};
    UINT options = x + p.EllipsisWidth > rect.right ? ETO_CLIPPED : 0;
    if (options)
        box.right = rect.right;
    ExtTextOutA(dc, x, y, options, &box, "...", 3, nullptr);
}

struct Selection {
    int start = 0, length = 0;
    HBRUSH brush = nullptr;
    hostlib::TColor textColor = hostlib::clNone;
};

void DrawRow(HDC dc, const RECT& rect, const TcxTextParams& p, TcxTextRow row, bool ellipsis, const Selection& sel)
{
    int width = rect.right - rect.left;
    RECT band{rect.left, row.TextOriginY, rect.right, row.TextOriginY + p.RowPitch};
    quelvo::sys::ScopeGuard unjustify([dc] { SetTextJustification(dc, 0, 0); });
    if (IsJustified(p) && !ellipsis && width - row.TextExtents.cx > 0 && row.BreakCount > 0)
        SetTextJustification(dc, width - row.TextExtents.cx, row.BreakCount);
    ClipSaver clip(dc);
    if (!p.NoClip && (row.TextExtents.cx > width || band.top < rect.top || band.bottom > rect.bottom)) {
        band.top = std::max(band.top, rect.top);
        band.bottom = std::min(band.bottom, rect.bottom);
        IntersectClipRect(dc, band.left, band.top, band.right, band.bottom);
    }
    if (ellipsis)
        row = CutForEllipsis(dc, p, row, width);
    DrawRowText(dc, p, row, band);
    DrawRowSelection(dc, p, row, band, sel.start, sel.length, sel.brush, sel.textColor);
    if (ellipsis)
        DrawEllipsis(dc, row.TextOriginX + row.TextExtents.cx, row.TextOriginY, rect, p);
}

} // namespace

unsigned cxMakeFormat(TcxTextAlignX x, TcxTextAlignY y) { return static_cast<unsigned>(x) + static_cast<unsigned>(y) * 16; }

TcxTextParams cxCalcTextParams(HDC dc, unsigned format)
{
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    TcxTextParams p;
    p.TextAlignX = static_cast<TcxTextAlignX>(std::min(format & cxTextAlignXMask, unsigned{taDistributeX}));
    p.TextAlignY = static_cast<TcxTextAlignY>((format & cxTextAlignYMask) >> 4);
    auto has = [format](unsigned bit) { return (format & bit) != 0; };
    p.PreventLeftExceed = has(cxPreventLeftExceed);
    p.PreventTopExceed = has(cxPreventTopExceed);
    p.WordBreak = has(cxWordBreak);
    p.SingleLine = has(cxSingleLine);
    p.ExpandTabs = has(cxExpandTabs);
    p.EndEllipsis = has(cxShowEndEllipsis);
    p.IncludeExternalLeading = has(cxExternalLeading);
    p.EditControl = has(cxEditControl);
    p.NoClip = has(cxDontClip);
    p.AutoIndents = has(cxAutoIndents);
    p.CharBreak = has(cxCharBreak);
    p.CalcRect = has(cxCalcRect);
    p.CalcRowCount = has(cxCalcRowCount);
    p.RowHeight = tm.tmHeight;
    p.ExternalLeading = p.IncludeExternalLeading ? tm.tmExternalLeading : 0;
    p.RowPitch = p.RowHeight + p.ExternalLeading;
    p.BreakChar = static_cast<unsigned char>(tm.tmBreakChar);
    p.MaxCharWidth = tm.tmMaxCharWidth;
    if (p.EndEllipsis) {
        SIZE size{};
        GetTextExtentPoint32A(dc, "...", 3, &size);
        p.EllipsisWidth = size.cx;
    }
    return p;
}

TcxTextParams cxCalcTextParams(hostlib::TCanvas* canvas, unsigned format)
{
    canvas->RequiredState(true, false, false);
    return cxCalcTextParams(canvas->Handle(), format);
}

void cxCalcTextExtents(HDC dc, const char* text, int length, SIZE& size, bool expandTabs)
{
    if (expandTabs) {
        DWORD extent = GetTabbedTextExtentA(dc, text, length, 0, nullptr);
        size = SIZE{LOWORD(extent), HIWORD(extent)};
    } else {
        GetTextExtentPoint32A(dc, text, length, &size);
    }
}

void cxCalcTextRowExtents(HDC dc, TcxTextRow& row, const TcxTextParams& params)
{
    cxCalcTextExtents(dc, row.Text, row.TextLength, row.TextExtents, params.ExpandTabs);
}

bool cxMakeTextRows(HDC dc, std::string_view text, const RECT& rect, const TcxTextParams& params, TcxTextRows& rows,
                    int& rowCount, int maxLineCount)
{
    rows.clear();
    rowCount = 0;
    if (text.empty())
        return true;
    if (params.CalcRect && params.SingleLine) {
        TcxTextRow row;
        row.Text = text.data();
        row.TextLength = static_cast<int>(text.size());
        cxCalcTextRowExtents(dc, row, params);
        rows.push_back(row);
        rowCount = 1;
        return true;
    }
    RowMaker maker(dc, text, params, rect.right - rect.left);
    int summed = 0;
    bool last = false;
    while (!maker.AtEnd() && !last) {
        summed += params.RowPitch;
        last = IsLastRow(params, static_cast<int>(rows.size()) + 1, summed, rect.bottom - rect.top, maxLineCount);
        if (rows.size() == rows.capacity())
            rows.reserve(rows.size() + 4);
        rows.push_back(maker.Make(last));
    }
    rowCount = static_cast<int>(rows.size());
    bool stoppedByCount = maxLineCount > 0 && rowCount >= maxLineCount;
    return !(stoppedByCount && !maker.AtEnd() && !params.SingleLine && !params.CalcRect);
}

bool cxMakeTextRows(hostlib::TCanvas* canvas, std::string_view text, const RECT& rect, const TcxTextParams& params,
                    TcxTextRows& rows, int& rowCount, int maxLineCount)
{
    canvas->RequiredState(true, false, false);
    return cxMakeTextRows(canvas->Handle(), text, rect, params, rows, rowCount, maxLineCount);
}

void cxPlaceTextRows(HDC, const RECT& rect, const TcxTextParams& params, TcxTextRows& rows, int rowCount)
{
    rowCount = std::min(rowCount, static_cast<int>(rows.size()));
    int height = rect.bottom - rect.top, width = rect.right - rect.left;
    int pitch = params.RowPitch, remainder = 0;
    if (params.TextAlignY == taDistributeY && rowCount > 1) {
        int free = height - params.RowHeight;
        if (free / (rowCount - 1) > params.RowHeight) {
            pitch = free / (rowCount - 1);
            remainder = free % (rowCount - 1);
        }
    }
    int top = rect.top;
    if (params.TextAlignY == taCenterY)
        top = rect.top + (height - rowCount * pitch) / 2;
    else if (params.TextAlignY == taBottom)
        top = rect.bottom - rowCount * pitch + params.ExternalLeading;
    if (params.PreventTopExceed)
        top = std::max(top, static_cast<int>(rect.top));
    for (int i = 0; i < rowCount; ++i) {
        TcxTextRow& row = rows[static_cast<size_t>(i)];
        int x = rect.left;
        if (params.TextAlignX == taCenterX)
            x = rect.left + (width - row.TextExtents.cx) / 2;
        else if (params.TextAlignX == taRight)
            x = rect.right - row.TextExtents.cx;
        if (params.PreventLeftExceed)
            x = std::max(x, static_cast<int>(rect.left));
        row.TextOriginX = x;
        row.TextOriginY = top;
        top += pitch + (i < remainder ? 1 : 0);
    }
}

RECT cxPrepareRect(const RECT& rect, const TcxTextParams&, int leftIndent, int rightIndent)
{
    return RECT{rect.left + leftIndent, rect.top, rect.right - rightIndent, rect.bottom};
}

void cxTextRowsOutHighlight(HDC dc, const RECT& rect, const TcxTextParams& params, const TcxTextRows& rows,
                            int rowCount, int selStart, int selLength, hostlib::TColor selBkColor,
                            hostlib::TColor selTextColor, bool forceEndEllipsis)
{
    rowCount = std::min(rowCount, static_cast<int>(rows.size()));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    Selection sel{selStart, selLength, nullptr, selTextColor};
    if (selLength > 0)
        sel.brush = CreateSolidBrush(hostlib::ColorToRGB(selBkColor));
    quelvo::sys::ScopeGuard restore([&] {
        SetBkMode(dc, oldMode);
        if (sel.brush)
            DeleteObject(sel.brush);
    });
    for (int i = 0; i < rowCount; ++i) {
        const TcxTextRow& row = rows[static_cast<size_t>(i)];
        bool lastRow = i == rowCount - 1;
        if (row.TextLength == 0) {
            if (forceEndEllipsis && params.EndEllipsis && lastRow)
                DrawEllipsis(dc, row.TextOriginX, row.TextOriginY, rect, params);
            continue;
        }
        bool ellipsis = params.EndEllipsis && lastRow &&
                        (forceEndEllipsis || row.TextExtents.cx > rect.right - rect.left);
        DrawRow(dc, rect, params, row, ellipsis, sel);
    }
}

int cxGetLongestTextRowWidth(const TcxTextRows& rows, int rowCount)
{
    int widest = 0;
    for (int i = 0; i < std::min(rowCount, static_cast<int>(rows.size())); ++i)
        widest = std::max(widest, static_cast<int>(rows[static_cast<size_t>(i)].TextExtents.cx));
    return widest;
}

namespace {

int BlockHeight(const TcxTextParams& p, const TcxTextRows& rows, int rowCount, const RECT& textRect)
{
    if (p.CalcRowCount)
        return rowCount;
    if (rowCount == 0)
        return 0;
    int height = rows[static_cast<size_t>(rowCount - 1)].TextOriginY + p.RowHeight - textRect.top;
    return height != 0 ? height : rowCount;
}

int CalcTextRect(HDC dc, const std::string& text, RECT& rect, const TcxTextParams& p, RECT t, int maxLineCount,
                 int leftIndent, int rightIndent)
{
    TcxTextRows rows;
    int count = 0;
    cxMakeTextRows(dc, text, t, p, rows, count, maxLineCount);
    if (maxLineCount > 0)
        count = std::min(count, maxLineCount);
    t.right = t.left + cxGetLongestTextRowWidth(rows, count);
    if (!p.SingleLine) {
        cxMakeTextRows(dc, text, t, p, rows, count, maxLineCount);
        if (maxLineCount > 0)
            count = std::min(count, maxLineCount);
    }
    cxPlaceTextRows(dc, t, p, rows, count);
    if (count > 0)
        t.bottom = rows[static_cast<size_t>(count - 1)].TextOriginY + p.RowHeight;
    rect = RECT{t.left - leftIndent, t.top, t.right + rightIndent, t.bottom};
    return BlockHeight(p, rows, count, t);
}

} // namespace

int cxTextOut(HDC dc, const std::string& text, RECT& rect, unsigned format, int selStart, int selLength,
              hostlib::TColor selBkColor, hostlib::TColor selTextColor, int maxLineCount, int leftIndent,
              int rightIndent)
{
    if (text.empty())
        return 0;
    TcxTextParams p = cxCalcTextParams(dc, format);
    RECT t = cxPrepareRect(rect, p, leftIndent, rightIndent);
    if (p.CalcRect ? t.right <= t.left : IsRectEmpty(&t))
        return 0;
    if (p.CalcRect)
        return CalcTextRect(dc, text, rect, p, t, maxLineCount, leftIndent, rightIndent);
    TcxTextRows rows;
    int count = 0;
    bool allFitted = cxMakeTextRows(dc, text, t, p, rows, count, maxLineCount);
    bool forceEllipsis = !allFitted && p.EndEllipsis && p.EditControl && !p.SingleLine;
    cxPlaceTextRows(dc, t, p, rows, count);
    int length = static_cast<int>(text.size());
    if (selStart < 0 || selStart > length)
        selLength = 0;
    else
        selLength = std::clamp(selLength, 0, length - selStart);
    cxTextRowsOutHighlight(dc, t, p, rows, count, selStart, selLength, selBkColor, selTextColor, forceEllipsis);
    return BlockHeight(p, rows, count, t);
}

int cxTextOut(hostlib::TCanvas* canvas, const std::string& text, RECT& rect, unsigned format, int selStart,
              int selLength, hostlib::TColor selBkColor, hostlib::TColor selTextColor, int maxLineCount,
              int leftIndent, int rightIndent)
{
    canvas->RequiredState(true, false, false);
    return cxTextOut(canvas->Handle(), text, rect, format, selStart, selLength, selBkColor, selTextColor,
                     maxLineCount, leftIndent, rightIndent);
}

int cxTextOut(hostlib::TCanvas* canvas, const std::string& text, RECT& rect, unsigned format, int maxLineCount,
              int leftIndent, int rightIndent)
{
    canvas->RequiredState(true, false, false);
    HDC dc = canvas->Handle();
    SetTextColor(dc, hostlib::ColorToRGB(canvas->Font()->Color()));
    return cxTextOut(dc, text, rect, format, 0, 0, hostlib::clNone, hostlib::clNone, maxLineCount, leftIndent,
                     rightIndent);
}

int cxTextOut(HDC dc, const std::string& text, RECT& rect, unsigned format, int maxLineCount, int leftIndent,
              int rightIndent)
{
    return cxTextOut(dc, text, rect, format, 0, 0, hostlib::clNone, hostlib::clNone, maxLineCount, leftIndent,
                     rightIndent);
}
