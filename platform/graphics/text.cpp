// Fonts and text output.
#include "platform/graphics/fonts.h"
#include "platform/graphics/raster.h"
#include "platform/system/locale_name.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace quelvo::gfx;

HFONT CreateFontIndirectA(const LOGFONTA* log)
{
    if (!log)
        return nullptr;
    auto f = std::make_unique<FontObj>();
    f->kind = ObjKind::Font;
    f->log = *log;
    f->log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(Register(std::move(f)));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCSTR face)
{
    LOGFONTA log;
    log.lfHeight = height;
    log.lfWidth = width;
    log.lfEscapement = escapement;
    log.lfOrientation = orientation;
    log.lfWeight = weight;
    log.lfItalic = static_cast<BYTE>(italic != 0);
    log.lfUnderline = static_cast<BYTE>(underline != 0);
    log.lfStrikeOut = static_cast<BYTE>(strikeOut != 0);
    log.lfCharSet = static_cast<BYTE>(charSet);
    log.lfOutPrecision = static_cast<BYTE>(outPrecision);
    log.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    log.lfQuality = static_cast<BYTE>(quality);
    log.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (face)
        std::strncpy(log.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&log);
}

namespace {

int Length(LPCSTR text, int length)
{
    if (!text)
        return 0;
    if (length < 0)
        return static_cast<int>(std::strlen(text));
    return length;
}

// Quarter turns counter-clockwise of the font's escapement (tenths of a
// degree), rounded to the nearest quarter.
int QuarterTurns(const LOGFONTA& log)
{
    long e = log.lfEscapement % 3600;
    if (e < 0)
        e += 3600;
    return static_cast<int>(((e + 450) / 900) % 4);
}

// SetTextJustification: the break characters get the extra pixels, the
// first extra % count of them one more.
void AddJustification(const DCState& st, const std::vector<std::uint32_t>& cps, std::vector<int>& adv)
{
    if (st.justExtra == 0 || st.justCount <= 0)
        return;
    int each = st.justExtra / st.justCount, rest = st.justExtra % st.justCount, k = 0;
    for (size_t i = 0; i < cps.size(); ++i)
        if (cps[i] == TEXTMETRICA{}.tmBreakChar)
            adv[i] += each + (k++ < rest ? 1 : 0);
}

// Advances of each character: the font's plus the DC's character extra and
// justification, or from the caller's array, which has one entry per byte (a
// character advances by the sum of its bytes' entries, as double-byte text
// does).
std::vector<int> Advances(FontFace& face, const char* text, int length, const std::vector<std::uint32_t>& cps,
                          const INT* dx, const DCState& st)
{
    std::vector<int> adv(cps.size());
    if (dx) {
        std::vector<int> offsets = Utf8Offsets(text, length);
        for (size_t i = 0; i < cps.size(); ++i) {
            int sum = 0;
            for (int b = offsets[i]; b < offsets[i + 1]; ++b)
                sum += dx[b];
            adv[i] = sum;
        }
        return adv;
    }
    for (size_t i = 0; i < cps.size(); ++i)
        adv[i] = face.Get(cps[i]).advance + st.charExtra;
    AddJustification(st, cps, adv);
    return adv;
}

// round(v / 255) for v in 0..65535, without a division.
inline unsigned Div255(unsigned v)
{
    v += 128;
    return (v + (v >> 8)) >> 8;
}

inline Pixel BlendCoverage(Pixel dst, Pixel color, unsigned cov)
{
    if (cov >= 255)
        return color;
    unsigned inv = 255 - cov;
    unsigned r = Div255(((color >> 16) & 0xFF) * cov + ((dst >> 16) & 0xFF) * inv);
    unsigned g = Div255(((color >> 8) & 0xFF) * cov + ((dst >> 8) & 0xFF) * inv);
    unsigned b = Div255((color & 0xFF) * cov + (dst & 0xFF) * inv);
    return (r << 16) | (g << 8) | b;
}

// Blends one row of coverage in the text colour: two channels per multiply
// (red and blue share a word), the same rounding as BlendCoverage, and no
// branches so the compiler can vectorise it. Alpha becomes 0.
inline void BlendRow(Pixel* dst, const std::uint8_t* cov, int n, Pixel color)
{
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time in 16-bit lanes; the same formula and rounding.
    const __m128i zero = _mm_setzero_si128();
    const __m128i c16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(color)), zero);
    const __m128i full = _mm_set1_epi16(255), half = _mm_set1_epi16(128);
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    auto blend2 = [&](__m128i d16, __m128i a) {
        __m128i v = _mm_add_epi16(_mm_mullo_epi16(d16, _mm_sub_epi16(full, a)), _mm_mullo_epi16(c16, a));
        v = _mm_add_epi16(v, half);
        return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
    };
    for (; i + 4 <= n; i += 4) {
        std::uint32_t c4;
        std::memcpy(&c4, cov + i, 4);
        if (c4 == 0)
            continue;
        __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c4)), zero);
        a = _mm_unpacklo_epi16(a, a);
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = blend2(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(a, a));
        __m128i hi = blend2(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(a, a));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_and_si128(_mm_packus_epi16(lo, hi), rgb));
    }
#endif
    // The three channels spread over 16-bit lanes of one 64-bit word:
    // one multiply-add per pixel.
    auto spread = [](std::uint64_t p) {
        return ((p & 0xFF0000u) << 16) | ((p & 0x00FF00u) << 8) | (p & 0x0000FFu);
    };
    const std::uint64_t c = spread(color);
    constexpr std::uint64_t kLanes = 0x000000FF00FF00FFull;
    for (; i < n; ++i) {
        std::uint64_t a = cov[i];
        std::uint64_t v = spread(dst[i]) * (255 - a) + c * a + 0x0000008000800080ull;
        v = ((v + ((v >> 8) & kLanes)) >> 8) & kLanes;
        dst[i] = static_cast<Pixel>(((v >> 16) & 0xFF0000u) | ((v >> 8) & 0x00FF00u) | (v & 0xFFu));
    }
}

// Maps a point (ux, uy) relative to the pen origin of unrotated text (y
// down) to the rotated text's surface offset.
inline void Rotate(int q, int ux, int uy, int& ox, int& oy)
{
    switch (q) {
    case 1: ox = uy; oy = -ux; break;
    case 2: ox = -ux; oy = -uy; break;
    case 3: ox = -uy; oy = ux; break;
    default: ox = ux; oy = uy; break;
    }
}

void DrawGlyph(const Target& t, const Glyph& g, int ox, int oy, int q, Pixel color, bool monoTarget)
{
    if (g.width == 0 || g.height == 0)
        return;
    if (q == 0) {
        int x0 = ox + g.left, y0 = oy - g.top;
        if (x0 >= t.box.right || y0 >= t.box.bottom || x0 + g.width <= t.box.left || y0 + g.height <= t.box.top)
            return;
        for (int gy = 0; gy < g.height; ++gy) {
            int y = y0 + gy;
            if (y < t.box.top || y >= t.box.bottom)
                continue;
            Pixel* row = t.surface->Row(y);
            const std::uint8_t* cov = g.coverage.data() + static_cast<size_t>(gy) * g.width;
            int from = g.rowStart[static_cast<size_t>(gy)], to = g.rowEnd[static_cast<size_t>(gy)];
            if (from >= to)
                continue;
            t.ForSpan(y, x0 + from, x0 + to, [&](int a, int b) {
                if (!monoTarget) {
                    BlendRow(row + a, cov + (a - x0), b - a, color);
                    return;
                }
                for (int x = a; x < b; ++x)
                    if (cov[x - x0] >= 128)
                        row[x] = color;
            });
        }
        return;
    }
    for (int gy = 0; gy < g.height; ++gy)
        for (int gx = 0; gx < g.width; ++gx) {
            unsigned c = g.coverage[static_cast<size_t>(gy * g.width + gx)];
            if (c == 0)
                continue;
            int dx, dy;
            Rotate(q, g.left + gx, gy - g.top, dx, dy);
            int x = ox + dx, y = oy + dy;
            if (!t.Visible(x, y))
                continue;
            Pixel& p = t.surface->Row(y)[x];
            p = monoTarget ? (c >= 128 ? color : p) : BlendCoverage(p, color, c);
        }
}

} // namespace

BOOL ExtTextOutA(HDC handle, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length, const INT* dx)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    int len = text ? static_cast<int>(std::min<UINT>(length, 1u << 24)) : 0;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    Region saved;
    bool clipped = false;
    // ETO_OPAQUE fills the rectangle with the background colour first.
    RECT sr{};
    if (rect) {
        POINT a = ToSurface(*dc, rect->left, rect->top), b = ToSurface(*dc, rect->right, rect->bottom);
        sr = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
        if (options & ETO_OPAQUE)
            FillRectOn(t, sr, SolidPaint(TargetPixel(*dc, dc->st.bkColor)), R2_COPYPEN);
    }
    if (len == 0)
        return TRUE;
    Target clip = t;
    Region narrowed;
    if (rect && (options & ETO_CLIPPED)) {
        if (t.simple) {
            // One rectangle: intersect boxes, no region needed.
            RECT b{std::max(t.box.left, sr.left), std::max(t.box.top, sr.top), std::min(t.box.right, sr.right),
                   std::min(t.box.bottom, sr.bottom)};
            if (b.left >= b.right || b.top >= b.bottom)
                return TRUE;
            narrowed.SetRect(b);
        } else {
            narrowed = *t.clip;
            narrowed.Intersect(sr);
        }
        clip.clip = &narrowed;
        clip.box = narrowed.Bounds();
        clip.simple = narrowed.RectCount() <= 1;
        clipped = true;
        if (narrowed.Empty())
            return TRUE;
    }
    (void)saved;
    (void)clipped;
    FontFace& face = FaceOf(*dc);
    const LOGFONTA& log = LogFontOf(*dc);
    std::vector<std::uint32_t> cps = DecodeUtf8(text, len);
    std::vector<int> adv = Advances(face, text, len, cps, dx, dc->st);
    long long sum = 0;
    for (int a : adv)
        sum += a;
    if (!SaneSpan(0, sum))
        return FALSE; // advances no surface could show
    int total = static_cast<int>(sum);
    // Reference point.
    UINT align = dc->st.textAlign;
    POINT origin{x, y};
    if (align & TA_UPDATECP)
        origin = dc->st.pos;
    int startX = 0; // along the baseline, relative to the reference point
    UINT h = align & TA_CENTER;
    if (h == TA_RIGHT)
        startX = -total;
    else if (h == TA_CENTER)
        startX = -total / 2;
    int baseline = face.Ascent(); // from the reference point down to the baseline
    UINT v = align & TA_BASELINE;
    if (v == TA_BASELINE)
        baseline = 0;
    else if (v == TA_BOTTOM)
        baseline = -face.Descent();
    if (align & TA_UPDATECP) {
        if (h == TA_LEFT)
            dc->st.pos.x += total;
        else if (h == TA_RIGHT)
            dc->st.pos.x -= total;
    }
    POINT ref = ToSurface(*dc, origin.x, origin.y);
    if (!SaneSpan(0, ref.x) || !SaneSpan(0, ref.y))
        return TRUE; // far outside every surface
    int q = QuarterTurns(log);
    Pixel color = TargetPixel(*dc, dc->st.textColor);
    bool mono = IsMonoTarget(*dc);
    // The background of the text cell in OPAQUE mode.
    auto cellRect = [&](int u0, int v0, int u1, int v1) {
        int ax, ay, bx, by;
        Rotate(q, u0, v0, ax, ay);
        Rotate(q, u1, v1, bx, by);
        return RECT{ref.x + std::min(ax, bx), ref.y + std::min(ay, by), ref.x + std::max(ax, bx),
                    ref.y + std::max(ay, by)};
    };
    int top = baseline - face.Ascent(), bottom = baseline + face.Descent();
    if (dc->st.bkMode == OPAQUE && !(options & ETO_OPAQUE && rect))
        FillRectOn(clip, cellRect(startX, top, startX + total, bottom), SolidPaint(TargetPixel(*dc, dc->st.bkColor)),
                   R2_COPYPEN);
    // Quick rejection of text wholly outside the clip box.
    RECT whole = cellRect(startX - face.MaxCharWidth(), top - face.Height(), startX + total + face.MaxCharWidth(),
                          bottom + face.Height());
    if (whole.right <= clip.box.left || whole.left >= clip.box.right || whole.bottom <= clip.box.top ||
        whole.top >= clip.box.bottom)
        return TRUE;
    int pen = startX;
    for (size_t i = 0; i < cps.size(); ++i) {
        int ox, oy;
        Rotate(q, pen, baseline, ox, oy);
        const Glyph& g = face.Get(cps[i]);
        DrawGlyph(clip, g, ref.x + ox, ref.y + oy, q, color, mono);
        pen += adv[i];
    }
    auto line = [&](int v0, int thickness) {
        FillRectOn(clip, cellRect(startX, v0, startX + total, v0 + thickness), SolidPaint(color), R2_COPYPEN);
    };
    if (log.lfUnderline)
        line(baseline + face.UnderlinePosition(), face.UnderlineThickness());
    if (log.lfStrikeOut)
        line(baseline - face.StrikeoutPosition(), face.UnderlineThickness());
    return TRUE;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length)
{
    if (length < 0)
        return FALSE;
    return ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(Length(text, length)), nullptr);
}

BOOL GetTextExtentExPointA(HDC handle, LPCSTR text, int length, int maxExtent, int* fit, int* dx, LPSIZE size)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc || length < 0 || (length > 0 && !text))
        return FALSE;
    FontFace& face = FaceOf(*dc);
    std::vector<std::uint32_t> cps = DecodeUtf8(text, length);
    std::vector<int> offsets = Utf8Offsets(text, length);
    // Counted in bytes, so that callers can cut their strings with them:
    // every byte of a character gets the extent through that character.
    std::vector<int> adv = Advances(face, text, length, cps, nullptr, dc->st);
    long long total = 0;
    int fitted = 0;
    bool fitting = true;
    for (size_t i = 0; i < cps.size(); ++i) {
        total += adv[i];
        if (dx)
            for (int b = offsets[i]; b < offsets[i + 1]; ++b)
                dx[b] = Saturate(total);
        if (fitting && total <= maxExtent)
            fitted = offsets[i + 1];
        else
            fitting = false;
    }
    if (fit)
        *fit = fitted;
    if (size) {
        size->cx = Saturate(total);
        size->cy = face.Height();
    }
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size)
{
    if (!size)
        return FALSE;
    return GetTextExtentExPointA(dc, text, length, 0, nullptr, nullptr, size);
}

BOOL GetTextExtentPointA(HDC dc, LPCSTR text, int length, LPSIZE size)
{
    return GetTextExtentPoint32A(dc, text, length, size);
}

BOOL GetTextMetricsA(HDC handle, TEXTMETRICA* tm)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc || !tm)
        return FALSE;
    FontFace& face = FaceOf(*dc);
    const LOGFONTA& log = LogFontOf(*dc);
    *tm = TEXTMETRICA{};
    tm->tmAscent = face.Ascent();
    tm->tmDescent = face.Descent();
    tm->tmHeight = face.Height();
    tm->tmInternalLeading = face.InternalLeading();
    tm->tmExternalLeading = face.ExternalLeading();
    tm->tmAveCharWidth = face.AveCharWidth();
    tm->tmMaxCharWidth = face.MaxCharWidth();
    tm->tmWeight = log.lfWeight == 0 ? FW_NORMAL : log.lfWeight;
    tm->tmItalic = log.lfItalic;
    tm->tmUnderlined = log.lfUnderline;
    tm->tmStruckOut = log.lfStrikeOut;
    // The classic flag is set for variable pitch fonts.
    tm->tmPitchAndFamily = static_cast<BYTE>((face.FixedPitch() ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                                             TMPF_TRUETYPE | (log.lfPitchAndFamily & 0xF0));
    tm->tmCharSet = log.lfCharSet;
    return TRUE;
}

namespace {

BYTE CharsetOfLocale(const std::string& name)
{
    const std::string territory = name.substr(0, name.find_first_of(".@"));
    if (territory == "zh_CN" || territory == "zh_SG")
        return GB2312_CHARSET;
    if (territory == "zh_TW" || territory == "zh_HK" || territory == "zh_MO")
        return CHINESEBIG5_CHARSET;
    if (territory == "ar" || territory.rfind("ar_", 0) == 0)
        return ARABIC_CHARSET;
    return ANSI_CHARSET;
}

}  // namespace

int GetTextCharset(HDC dc)
{
    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc, &tm))
        return DEFAULT_CHARSET;
    return tm.tmCharSet == DEFAULT_CHARSET ? CharsetOfLocale(quelvo::sys::UserLocaleName()) : tm.tmCharSet;
}

BOOL GetCharWidth32A(HDC handle, UINT first, UINT last, int* widths)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc || !widths || last < first || last - first > 0x10FFFF)
        return FALSE;
    FontFace& face = FaceOf(*dc);
    for (UINT c = first; c <= last; ++c)
        widths[c - first] = face.Get(c).advance;
    return TRUE;
}

BOOL GetCharWidthA(HDC dc, UINT first, UINT last, int* widths) { return GetCharWidth32A(dc, first, last, widths); }

BOOL GetCharABCWidthsA(HDC handle, UINT first, UINT last, ABC* abc)
{
    std::lock_guard<std::recursive_mutex> textLock(TextLock());
    DCObj* dc = LookupDC(handle);
    if (!dc || !abc || last < first || last - first > 0x10FFFF)
        return FALSE;
    FontFace& face = FaceOf(*dc);
    for (UINT c = first; c <= last; ++c) {
        const Glyph& g = face.Get(c);
        ABC& r = abc[c - first];
        r.abcA = g.width ? g.left : 0;
        r.abcB = static_cast<UINT>(g.width ? g.width : 0);
        r.abcC = g.advance - r.abcA - static_cast<int>(r.abcB);
    }
    return TRUE;
}

int GetTextFaceA(HDC handle, int size, LPSTR out)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return 0;
    const LOGFONTA& log = LogFontOf(*dc);
    std::string name(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE));
    if (name.empty())
        name = "MS Sans Serif";
    if (!out)
        return static_cast<int>(name.size()) + 1;
    if (size <= 0)
        return 0;
    size_t n = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, name.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

BOOL SetTextJustification(HDC handle, int extra, int count)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    dc->st.justExtra = count > 0 ? extra : 0;
    dc->st.justCount = count > 0 ? count : 0;
    return TRUE;
}

namespace {

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The first tab stop right of `pos` (both relative to the tab origin).
int NextTabStop(int pos, int count, const INT* stops, int defaultStep)
{
    int step = defaultStep;
    if (stops && count == 1 && stops[0] > 0)
        step = stops[0];
    if (stops && count > 1) {
        for (int i = 0; i < count; ++i)
            if (stops[i] > pos)
                return stops[i];
        if (stops[count - 1] > 0)
            step = stops[count - 1];
    }
    step = std::max(1, step);
    return (FloorDiv(pos, step) + 1) * step;
}

// Lays out the text's tab-separated runs from `x`, calling out(run start,
// run length, run x, gap end) for each run; answers the end position.
template <class Out>
int LayOutTabbed(HDC dc, LPCSTR text, int length, int tabCount, const INT* tabStops, int x, int tabOrigin, Out out)
{
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    int start = 0;
    for (int i = 0; i <= length; ++i) {
        if (i < length && text[i] != '\t')
            continue;
        SIZE size{};
        GetTextExtentPoint32A(dc, text + start, i - start, &size);
        int runX = x;
        x += size.cx;
        int gapEnd = x;
        if (i < length)
            gapEnd = tabOrigin + NextTabStop(x - tabOrigin, tabCount, tabStops, 8 * tm.tmAveCharWidth);
        out(start, i - start, runX, gapEnd);
        x = gapEnd;
        start = i + 1;
    }
    return x;
}

LONG TabbedAnswer(HDC dc, int width)
{
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return static_cast<LONG>(MAKELONG(static_cast<WORD>(std::clamp(width, 0, 0xFFFF)),
                                      static_cast<WORD>(tm.tmHeight)));
}

} // namespace

LONG TabbedTextOutA(HDC dc, int x, int y, LPCSTR text, int length, int tabCount, const INT* tabStops, int tabOrigin)
{
    if (!LookupDC(dc) || length < 0 || (length > 0 && !text))
        return 0;
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    bool opaque = GetBkMode(dc) == OPAQUE;
    int end = LayOutTabbed(dc, text, length, tabCount, tabStops, x, tabOrigin,
                           [&](int start, int count, int runX, int gapEnd) {
                               ExtTextOutA(dc, runX, y, 0, nullptr, text + start, static_cast<UINT>(count), nullptr);
                               SIZE size{};
                               GetTextExtentPoint32A(dc, text + start, count, &size);
                               // An opaque background covers the tab's gap too.
                               RECT gap{runX + size.cx, y, gapEnd, y + tm.tmHeight};
                               if (opaque && gap.left < gap.right)
                                   ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &gap, "", 0, nullptr);
                           });
    return TabbedAnswer(dc, end - x);
}

DWORD GetTabbedTextExtentA(HDC dc, LPCSTR text, int length, int tabCount, const INT* tabStops)
{
    if (!LookupDC(dc) || length < 0 || (length > 0 && !text))
        return 0;
    int end = LayOutTabbed(dc, text, length, tabCount, tabStops, 0, 0, [](int, int, int, int) {});
    return static_cast<DWORD>(TabbedAnswer(dc, end));
}
