// DrawText: lines, word breaking, tabs, '&' prefixes, ellipses, alignment.
#include "platform/graphics/fonts.h"
#include "platform/graphics/raster.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

using namespace quelvo::gfx;

namespace {

constexpr size_t kMaxDrawText = 1u << 18;

struct Layout {
    DCObj* dc = nullptr;
    FontFace* face = nullptr;
    UINT format = 0;
    int tabWidth = 0;
    int extra = 0;

    // Width of a piece of one line; tabs jump to the next stop counted from
    // the line's start when tabs are expanded, and are otherwise nothing.
    int Width(std::string_view s) const
    {
        long long w = 0;
        auto cps = DecodeUtf8(s.data(), static_cast<int>(s.size()));
        for (std::uint32_t c : cps) {
            if (c == '\t') {
                if ((format & DT_EXPANDTABS) && tabWidth > 0)
                    w = (w / tabWidth + 1) * tabWidth;
                continue;
            }
            if (c == '\r' || c == '\n')
                continue;
            w += face->Get(c).advance + extra;
        }
        return static_cast<int>(std::clamp(w, -(1LL << 29), 1LL << 29));
    }
};

struct Line {
    std::string text;
    int prefix = -1; // byte offset of the underlined character in text
};

// Removes '&' markers: "&x" underlines x, "&&" is one '&'.
std::string StripPrefixes(std::string_view in, int& prefix)
{
    std::string out;
    prefix = -1;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == '&') {
            if (i + 1 < in.size() && in[i + 1] == '&') {
                out += '&';
                ++i;
                continue;
            }
            if (i + 1 < in.size()) {
                if (prefix < 0)
                    prefix = static_cast<int>(out.size());
                continue;
            }
            continue; // a trailing '&' shows nothing
        }
        out += in[i];
    }
    return out;
}

// Where a line of `s` starting at `from` must end to fit `width`; the next
// line starts at `next` (spaces at the break are dropped).
void BreakLine(const Layout& L, const std::string& s, size_t from, size_t end, int width, bool breakWords,
               size_t& cut, size_t& next)
{
    std::vector<int> offsets = Utf8Offsets(s.data() + from, static_cast<int>(end - from));
    // The longest prefix that fits.
    size_t fitEnd = from;
    for (size_t k = 1; k < offsets.size(); ++k) {
        size_t e = from + static_cast<size_t>(offsets[k]);
        if (L.Width(std::string_view(s).substr(from, e - from)) > width)
            break;
        fitEnd = e;
    }
    if (fitEnd >= end) {
        cut = next = end;
        return;
    }
    // Break after the last blank inside the fitting part (or the blank that
    // just overflows).
    size_t blank = std::string::npos;
    for (size_t i = fitEnd + 1; i-- > from;) {
        if (i < s.size() && (s[i] == ' ' || s[i] == '\t')) {
            blank = i;
            break;
        }
    }
    if (blank != std::string::npos && blank > from) {
        cut = blank;
        next = blank;
        while (next < end && (s[next] == ' ' || s[next] == '\t'))
            ++next;
        // Trailing blanks of the line are not drawn.
        while (cut > from && (s[cut - 1] == ' ' || s[cut - 1] == '\t'))
            --cut;
        return;
    }
    if (!breakWords) {
        // The word stays whole: the line runs to the next blank.
        size_t e = from;
        while (e < end && s[e] != ' ' && s[e] != '\t')
            ++e;
        cut = e;
        next = e;
        while (next < end && (s[next] == ' ' || s[next] == '\t'))
            ++next;
        return;
    }
    // Break inside the word, at least one character per line.
    cut = fitEnd > from ? fitEnd : from + static_cast<size_t>(offsets.size() > 1 ? offsets[1] : 1);
    next = cut;
}

// "text..." cut to fit the width; the ellipsis alone when nothing else fits.
std::string EndEllipsis(const Layout& L, const std::string& s, int width, int& prefix)
{
    if (L.Width(s) <= width)
        return s;
    std::vector<int> offsets = Utf8Offsets(s.data(), static_cast<int>(s.size()));
    const std::string dots = "...";
    for (size_t k = offsets.size() - 1; k-- > 0;) {
        std::string candidate = s.substr(0, static_cast<size_t>(offsets[k])) + dots;
        if (L.Width(candidate) <= width || k == 0) {
            if (prefix >= offsets[k])
                prefix = -1;
            return candidate;
        }
    }
    return dots;
}

// "C:\...\name": keeps the last path component and as much of the start as
// fits; plain end ellipsis when there is no separator.
std::string PathEllipsis(const Layout& L, const std::string& s, int width, int& prefix)
{
    if (L.Width(s) <= width)
        return s;
    size_t sep = s.find_last_of("\\/");
    if (sep == std::string::npos)
        return EndEllipsis(L, s, width, prefix);
    std::string tail = s.substr(sep);
    std::vector<int> offsets = Utf8Offsets(s.data(), static_cast<int>(sep));
    prefix = -1;
    for (size_t k = offsets.size(); k-- > 0;) {
        std::string candidate = s.substr(0, static_cast<size_t>(offsets[k])) + "..." + tail;
        if (L.Width(candidate) <= width)
            return candidate;
    }
    return "..." + tail;
}

// The layout for a DC and format: its font, tab stops and character extra.
Layout MakeLayout(DCObj* dc, UINT format, const DRAWTEXTPARAMS* params)
{
    Layout L;
    L.dc = dc;
    L.face = &FaceOf(*dc);
    L.format = format;
    L.extra = dc->st.charExtra;
    int tabChars = params && params->iTabLength > 0 ? params->iTabLength : 8;
    if (format & DT_TABSTOP)
        tabChars = static_cast<int>((format >> 8) & 0xFF) ? static_cast<int>((format >> 8) & 0xFF) : 8;
    L.tabWidth = tabChars * L.face->AveCharWidth();
    return L;
}

// The single line of DT_SINGLELINE: line breaks dropped, the prefix moved
// with the text.
Line SingleLine(const std::string& s, int prefix)
{
    std::string one;
    int shifted = prefix;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\r' && s[i] != '\n')
            one += s[i];
        else if (prefix >= 0 && static_cast<int>(i) < prefix)
            --shifted;
    }
    return Line{one, shifted};
}

// The lines of a text at its line breaks and, with DT_WORDBREAK, where the
// width ends.
std::vector<Line> BrokenLines(const Layout& L, const std::string& s, int prefix, int width)
{
    const UINT format = L.format;
    std::vector<Line> lines;
    size_t i = 0;
    while (true) {
        size_t nl = s.find_first_of("\r\n", i);
        size_t end = nl == std::string::npos ? s.size() : nl;
        size_t from = i;
        do {
            size_t cut = end, next = end;
            if ((format & DT_WORDBREAK) && !(format & DT_CALCRECT && width <= 0))
                BreakLine(L, s, from, end, width, (format & DT_EDITCONTROL) != 0, cut, next);
            Line line{s.substr(from, cut - from), -1};
            if (prefix >= static_cast<int>(from) && prefix < static_cast<int>(cut))
                line.prefix = prefix - static_cast<int>(from);
            lines.push_back(line);
            if (next <= from && next < end)
                next = from + 1; // always progress
            from = next;
        } while (from < end);
        if (nl == std::string::npos)
            break;
        i = nl + 1;
        if (s[nl] == '\r' && i < s.size() && s[i] == '\n')
            ++i;
        if (i >= s.size())
            break;
    }
    return lines;
}

// Shortens lines that do not fit with the asked ellipsis; returns whether
// any line changed.
bool ApplyEllipses(const Layout& L, std::vector<Line>& lines, int width)
{
    if (!(L.format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)))
        return false;
    bool modified = false;
    for (Line& line : lines) {
        std::string before = line.text;
        if (L.format & DT_PATH_ELLIPSIS)
            line.text = PathEllipsis(L, line.text, width, line.prefix);
        else
            line.text = EndEllipsis(L, line.text, width, line.prefix);
        modified = modified || before != line.text;
    }
    return modified;
}

// DT_MODIFYSTRING: the caller's buffer gets the shortened text, within its room.
void WriteBack(LPSTR text, int length, const std::string& shown)
{
    size_t room = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
    size_t n = std::min(room, shown.size());
    std::memcpy(text, shown.data(), n);
    if (length < 0 || n < room)
        text[n] = '\0';
}

// DT_CALCRECT: the rectangle grows or shrinks to the text; nothing is drawn.
int CalcRect(const Layout& L, const std::vector<Line>& lines, std::string_view source, LPRECT rect, int lineHeight,
             const DRAWTEXTPARAMS* params)
{
    int maxWidth = 0;
    for (const Line& line : lines)
        maxWidth = std::max(maxWidth, L.Width(line.text));
    const int totalHeight = lineHeight * static_cast<int>(lines.size());
    const long long leftMargin = params ? params->iLeftMargin : 0, rightMargin = params ? params->iRightMargin : 0;
    if (!source.empty() || !(L.format & DT_SINGLELINE))
        rect->right = Saturate(static_cast<long long>(rect->left) + maxWidth + leftMargin + rightMargin);
    if (source.empty())
        rect->right = rect->left;
    rect->bottom = Saturate(static_cast<long long>(rect->top) + totalHeight);
    return totalHeight;
}

// Where the first line goes: a single line may be centred or at the bottom.
int FirstLineY(UINT format, const RECT& box, int lineHeight)
{
    if (!(format & DT_SINGLELINE))
        return box.top;
    if (format & DT_VCENTER)
        return Saturate(box.top + (static_cast<long long>(box.bottom) - box.top - lineHeight) / 2);
    if (format & DT_BOTTOM)
        return box.bottom - lineHeight;
    return box.top;
}

// Where a line starts in the box, by the horizontal alignment.
int LineX(UINT format, const RECT& box, int lineWidth)
{
    if (format & DT_CENTER)
        return Saturate(box.left + (static_cast<long long>(box.right - box.left) - lineWidth) / 2);
    if (format & DT_RIGHT)
        return box.right - lineWidth;
    return box.left;
}

// The characters of a line; expanded tabs move the next piece to its stop,
// other tabs show nothing.
void DrawLineText(HDC handle, const Layout& L, const std::string& text, int x, int y, UINT options, const RECT* clip)
{
    if ((L.format & DT_EXPANDTABS) && text.find('\t') != std::string::npos) {
        size_t from = 0;
        while (from <= text.size()) {
            size_t tab = text.find('\t', from);
            size_t end = tab == std::string::npos ? text.size() : tab;
            int px = x + L.Width(std::string_view(text).substr(0, from));
            ExtTextOutA(handle, px, y, options, clip, text.data() + from, static_cast<UINT>(end - from), nullptr);
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        return;
    }
    std::string visible;
    for (char c : text)
        if (c != '\t')
            visible += c;
    ExtTextOutA(handle, x, y, options, clip, visible.data(), static_cast<UINT>(visible.size()), nullptr);
}

// The underline under a line's '&' character, clipped to the rectangle
// unless DT_NOCLIP.
void DrawPrefixUnderline(const Layout& L, const Target& t, const Line& line, int x, int y, const RECT& rect)
{
    DCObj& dc = *L.dc;
    int ux = x + L.Width(std::string_view(line.text).substr(0, static_cast<size_t>(line.prefix)));
    std::vector<int> offs = Utf8Offsets(line.text.data() + line.prefix, static_cast<int>(line.text.size()) - line.prefix);
    int charLen = offs.size() > 1 ? offs[1] : 1;
    int uw = L.Width(std::string_view(line.text).substr(static_cast<size_t>(line.prefix), static_cast<size_t>(charLen)));
    int uy = y + L.face->Ascent() + L.face->UnderlinePosition();
    POINT a = ToSurface(dc, ux, uy), b = ToSurface(dc, ux + uw, uy + L.face->UnderlineThickness());
    Target clipT = t;
    Region narrowed;
    if (!(L.format & DT_NOCLIP)) {
        narrowed = *t.clip;
        POINT ra = ToSurface(dc, rect.left, rect.top), rb = ToSurface(dc, rect.right, rect.bottom);
        narrowed.Intersect(RECT{ra.x, ra.y, rb.x, rb.y});
        clipT.clip = &narrowed;
        clipT.box = narrowed.Bounds();
        clipT.simple = narrowed.RectCount() <= 1;
    }
    if (!narrowed.Empty() || (L.format & DT_NOCLIP))
        FillRectOn(clipT, RECT{a.x, a.y, b.x, b.y}, SolidPaint(TargetPixel(dc, dc.st.textColor)), R2_COPYPEN);
}

// Draws the lines from the first line's place; returns the height used.
int DrawLines(HDC handle, const Layout& L, const std::vector<Line>& lines, const RECT& box, const RECT& rect,
              int lineHeight)
{
    DCObj& dc = *L.dc;
    const UINT format = L.format;
    int y = FirstLineY(format, box, lineHeight);
    int startY = y;
    UINT savedAlign = dc.st.textAlign;
    dc.st.textAlign = TA_LEFT | TA_TOP;
    Target t;
    bool canDraw = t.Open(dc);
    UINT options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
    for (size_t li = 0; li < lines.size(); ++li) {
        const Line& line = lines[li];
        if ((format & DT_EDITCONTROL) && li > 0 && y + lineHeight > box.bottom)
            break; // no partly visible last line
        int x = LineX(format, box, L.Width(line.text));
        if (canDraw && !(format & DT_PREFIXONLY))
            DrawLineText(handle, L, line.text, x, y, options, &rect);
        if (canDraw && line.prefix >= 0 && !(format & DT_HIDEPREFIX) && line.prefix < static_cast<int>(line.text.size()))
            DrawPrefixUnderline(L, t, line, x, y, rect);
        y += lineHeight;
    }
    dc.st.textAlign = savedAlign;
    return y - startY + (startY - box.top);
}

} // namespace

int DrawTextExA(HDC handle, LPSTR text, int length, LPRECT rect, UINT format, DRAWTEXTPARAMS* params)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect || (length > 0 && !text) || length < -1)
        return 0;
    std::string_view source = text ? (length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length)))
                                   : std::string_view();
    // Longer texts are refused; the working rectangle is kept within
    // +-2^29 (far beyond any surface), so no sum below can overflow.
    if (source.size() > kMaxDrawText)
        return 0;
    const Layout L = MakeLayout(dc, format, params);
    int leftMargin = params ? params->iLeftMargin : 0, rightMargin = params ? params->iRightMargin : 0;
    auto inner = [](long long v) { return static_cast<LONG>(std::clamp(v, -(1LL << 29), 1LL << 29)); };
    RECT box{inner(static_cast<long long>(rect->left) + leftMargin), inner(rect->top),
             inner(static_cast<long long>(rect->right) - rightMargin), inner(rect->bottom)};
    int width = box.right - box.left;

    int prefix = -1;
    std::string s = (format & DT_NOPREFIX) ? std::string(source) : StripPrefixes(source, prefix);
    std::vector<Line> lines = (format & DT_SINGLELINE) ? std::vector<Line>{SingleLine(s, prefix)}
                                                       : BrokenLines(L, s, prefix, width);
    if (lines.empty())
        lines.push_back(Line{});
    const bool modified = ApplyEllipses(L, lines, width);
    if ((format & DT_MODIFYSTRING) && modified && text && lines.size() == 1 && length != 0)
        WriteBack(text, length, lines[0].text);

    const int lineHeight = L.face->Height() + ((format & DT_EXTERNALLEADING) ? L.face->ExternalLeading() : 0);
    const int height = (format & DT_CALCRECT) ? CalcRect(L, lines, source, rect, lineHeight, params)
                                              : DrawLines(handle, L, lines, box, *rect, lineHeight);
    if (params)
        params->uiLengthDrawn = static_cast<UINT>(source.size());
    return height;
}

int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format)
{
    // DT_MODIFYSTRING needs a writable buffer; DrawTextA never writes.
    return DrawTextExA(dc, const_cast<LPSTR>(text), length, rect, format & ~DT_MODIFYSTRING, nullptr);
}
