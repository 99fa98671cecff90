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

} // namespace

int DrawTextExA(HDC handle, LPSTR text, int length, LPRECT rect, UINT format, DRAWTEXTPARAMS* params)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect || (length > 0 && !text) || length < -1)
        return 0;
    std::string_view source = text ? (length < 0 ? std::string_view(text) : std::string_view(text, static_cast<size_t>(length)))
                                   : std::string_view();
    Layout L;
    L.dc = dc;
    L.face = &FaceOf(*dc);
    L.format = format;
    L.extra = dc->st.charExtra;
    int tabChars = params && params->iTabLength > 0 ? params->iTabLength : 8;
    if (format & DT_TABSTOP)
        tabChars = static_cast<int>((format >> 8) & 0xFF) ? static_cast<int>((format >> 8) & 0xFF) : 8;
    L.tabWidth = tabChars * L.face->AveCharWidth();
    int leftMargin = params ? params->iLeftMargin : 0, rightMargin = params ? params->iRightMargin : 0;
    // Longer texts are refused; the working rectangle is kept within
    // +-2^29 (far beyond any surface), so no sum below can overflow.
    if (source.size() > kMaxDrawText)
        return 0;
    auto inner = [](long long v) { return static_cast<LONG>(std::clamp(v, -(1LL << 29), 1LL << 29)); };
    RECT box{inner(static_cast<long long>(rect->left) + leftMargin), inner(rect->top),
             inner(static_cast<long long>(rect->right) - rightMargin), inner(rect->bottom)};
    int width = box.right - box.left;

    int prefix = -1;
    bool prefixes = !(format & DT_NOPREFIX);
    std::string s = prefixes ? StripPrefixes(source, prefix) : std::string(source);

    int lineHeight = L.face->Height() + ((format & DT_EXTERNALLEADING) ? L.face->ExternalLeading() : 0);
    std::vector<Line> lines;
    if (format & DT_SINGLELINE) {
        std::string one;
        int shifted = prefix;
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '\r' && s[i] != '\n')
                one += s[i];
            else if (prefix >= 0 && static_cast<int>(i) < prefix)
                --shifted;
        }
        lines.push_back(Line{one, shifted});
    } else {
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
    }
    if (lines.empty())
        lines.push_back(Line{});

    bool modified = false;
    if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) {
        for (Line& line : lines) {
            std::string before = line.text;
            if (format & DT_PATH_ELLIPSIS)
                line.text = PathEllipsis(L, line.text, width, line.prefix);
            else
                line.text = EndEllipsis(L, line.text, width, line.prefix);
            modified = modified || before != line.text;
        }
    }
    if ((format & DT_MODIFYSTRING) && modified && text && lines.size() == 1 && length != 0) {
        size_t room = length < 0 ? std::strlen(text) : static_cast<size_t>(length);
        size_t n = std::min(room, lines[0].text.size());
        std::memcpy(text, lines[0].text.data(), n);
        if (length < 0 || n < room)
            text[n] = '\0';
    }

    int maxWidth = 0;
    for (const Line& line : lines)
        maxWidth = std::max(maxWidth, L.Width(line.text));
    int totalHeight = lineHeight * static_cast<int>(lines.size());

    if (format & DT_CALCRECT) {
        if (!source.empty() || !(format & DT_SINGLELINE))
            rect->right = Saturate(static_cast<long long>(rect->left) + maxWidth + leftMargin + rightMargin);
        if (source.empty())
            rect->right = rect->left;
        rect->bottom = Saturate(static_cast<long long>(rect->top) + totalHeight);
        if (params)
            params->uiLengthDrawn = static_cast<UINT>(source.size());
        return totalHeight;
    }

    int y = box.top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = Saturate(box.top + (static_cast<long long>(box.bottom) - box.top - lineHeight) / 2);
        else if (format & DT_BOTTOM)
            y = box.bottom - lineHeight;
    }
    int startY = y;
    UINT savedAlign = dc->st.textAlign;
    dc->st.textAlign = TA_LEFT | TA_TOP;
    Target t;
    bool canDraw = t.Open(*dc);
    UINT options = (format & DT_NOCLIP) ? 0 : ETO_CLIPPED;
    for (size_t li = 0; li < lines.size(); ++li) {
        const Line& line = lines[li];
        if ((format & DT_EDITCONTROL) && li > 0 && y + lineHeight > box.bottom)
            break; // no partly visible last line
        int w = L.Width(line.text);
        int x = box.left;
        if (format & DT_CENTER)
            x = Saturate(box.left + (static_cast<long long>(width) - w) / 2);
        else if (format & DT_RIGHT)
            x = box.right - w;
        if (canDraw && !(format & DT_PREFIXONLY)) {
            if ((format & DT_EXPANDTABS) && line.text.find('\t') != std::string::npos) {
                size_t from = 0;
                while (from <= line.text.size()) {
                    size_t tab = line.text.find('\t', from);
                    size_t end = tab == std::string::npos ? line.text.size() : tab;
                    int px = x + L.Width(std::string_view(line.text).substr(0, from));
                    ExtTextOutA(handle, px, y, options, rect, line.text.data() + from, static_cast<UINT>(end - from),
                                nullptr);
                    if (tab == std::string::npos)
                        break;
                    from = tab + 1;
                }
            } else {
                std::string visible;
                for (char c : line.text)
                    if (c != '\t')
                        visible += c;
                ExtTextOutA(handle, x, y, options, rect, visible.data(), static_cast<UINT>(visible.size()), nullptr);
            }
        }
        if (canDraw && line.prefix >= 0 && !(format & DT_HIDEPREFIX) &&
            line.prefix < static_cast<int>(line.text.size())) {
            int ux = x + L.Width(std::string_view(line.text).substr(0, static_cast<size_t>(line.prefix)));
            std::vector<int> offs = Utf8Offsets(line.text.data() + line.prefix,
                                                static_cast<int>(line.text.size()) - line.prefix);
            int charLen = offs.size() > 1 ? offs[1] : 1;
            int uw = L.Width(std::string_view(line.text).substr(static_cast<size_t>(line.prefix),
                                                                static_cast<size_t>(charLen)));
            int uy = y + L.face->Ascent() + L.face->UnderlinePosition();
            POINT a = ToSurface(*dc, ux, uy), b = ToSurface(*dc, ux + uw, uy + L.face->UnderlineThickness());
            Target clipT = t;
            Region narrowed;
            if (!(format & DT_NOCLIP)) {
                narrowed = *t.clip;
                POINT ra = ToSurface(*dc, rect->left, rect->top), rb = ToSurface(*dc, rect->right, rect->bottom);
                narrowed.Intersect(RECT{ra.x, ra.y, rb.x, rb.y});
                clipT.clip = &narrowed;
                clipT.box = narrowed.Bounds();
                clipT.simple = narrowed.RectCount() <= 1;
            }
            if (!narrowed.Empty() || (format & DT_NOCLIP))
                FillRectOn(clipT, RECT{a.x, a.y, b.x, b.y}, SolidPaint(TargetPixel(*dc, dc->st.textColor)),
                           R2_COPYPEN);
        }
        y += lineHeight;
    }
    dc->st.textAlign = savedAlign;
    if (params)
        params->uiLengthDrawn = static_cast<UINT>(source.size());
    return y - startY + (startY - box.top);
}

int DrawTextA(HDC dc, LPCSTR text, int length, LPRECT rect, UINT format)
{
    // DT_MODIFYSTRING needs a writable buffer; DrawTextA never writes.
    return DrawTextExA(dc, const_cast<LPSTR>(text), length, rect, format & ~DT_MODIFYSTRING, nullptr);
}
