// Raster-operation transfers and blending between device contexts.
#include "platform/graphics/bitmaps.h"
#include "platform/graphics/raster.h"

#include <algorithm>
#include <array>
#include <cmath>

using namespace quelvo::gfx;

namespace {

bool UsesSource(std::uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool UsesPattern(std::uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// round(v * a / 255) for bytes, the one blending formula of the layer.
const std::array<std::uint8_t, 65536>& ScaleTable()
{
    static const auto table = [] {
        std::array<std::uint8_t, 65536> t{};
        for (int v = 0; v < 256; ++v)
            for (int a = 0; a < 256; ++a)
                t[static_cast<size_t>(v * 256 + a)] = static_cast<std::uint8_t>((v * a * 2 + 255) / 510);
        return t;
    }();
    return table;
}

inline std::uint8_t Scale(unsigned v, unsigned a) { return ScaleTable()[(v & 0xFF) * 256 + (a & 0xFF)]; }

// How source pixels turn into destination colours.
struct SourceMap {
    enum class Kind { Same, MonoToColor, ColorToMono } kind = Kind::Same;
    Pixel zero = 0;      // mono 0 (black) becomes the destination's text colour
    Pixel one = 0;       // mono 1 (white) becomes its background colour
    Pixel srcBack = 0;   // colour to mono: the source's background colour is 1
    Pixel Map(Pixel p) const
    {
        switch (kind) {
        case Kind::MonoToColor: return (p & 0xFFFFFFu) == 0xFFFFFFu ? one : zero;
        case Kind::ColorToMono: return (p & 0xFFFFFFu) == srcBack ? 0xFFFFFFu : 0u;
        default: return p;
        }
    }
};

SourceMap MapBetween(DCObj& dst, DCObj& src)
{
    SourceMap m;
    bool srcMono = IsMonoTarget(src), dstMono = IsMonoTarget(dst);
    if (srcMono && !dstMono) {
        m.kind = SourceMap::Kind::MonoToColor;
        m.zero = PixelFromColorRef(dst.st.textColor);
        m.one = PixelFromColorRef(dst.st.bkColor);
    } else if (!srcMono && dstMono) {
        m.kind = SourceMap::Kind::ColorToMono;
        m.srcBack = PixelFromColorRef(src.st.bkColor);
    }
    return m;
}

// Destination rectangle in surface coordinates from a logical origin and a
// signed size; `mirror` says the size was negative.
RECT DestRect(const DCObj& dc, int x, int y, int w, int h)
{
    POINT a = ToSurface(dc, x, y);
    RECT r{a.x, a.y, Saturate(static_cast<long long>(a.x) + w), Saturate(static_cast<long long>(a.y) + h)};
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

// Nearest source coordinate of destination index i out of n, for a source
// span of m starting at s (negative m mirrors).
inline int SourceIndex(int i, int n, int s, int m)
{
    if (m >= 0)
        return s + static_cast<int>((2LL * i + 1) * m / (2LL * n));
    return s - 1 - static_cast<int>((2LL * i + 1) * (-static_cast<long long>(m)) / (2LL * n));
}

struct BlitSource {
    Surface* surface = nullptr;
    int x = 0, y = 0, w = 0, h = 0; // surface coordinates, w/h signed
    SourceMap map;
    bool Fetch(int sx, int sy, Pixel& out) const
    {
        if (!surface || !surface->Contains(sx, sy))
            return false;
        out = map.Map(surface->At(sx, sy));
        return true;
    }
};

// A same-size transfer with neither pattern nor mask: each destination
// span meets the source at a fixed offset; `rowOp(source, dest, count)`
// combines the pixels. Pixels whose source lies outside it are left alone.
template <class RowOp>
void StraightRows(const Target& t, const RECT& r, const BlitSource& src, RowOp rowOp)
{
    const int top = std::max(r.top, t.box.top), bottom = std::min(r.bottom, t.box.bottom);
    const int sw = src.surface->Width(), sh = src.surface->Height(), shift = src.x - r.left;
    for (int yy = top; yy < bottom; ++yy) {
        const int sy = src.y + (yy - r.top);
        if (sy < 0 || sy >= sh)
            continue;
        const Pixel* srow = src.surface->Row(sy);
        Pixel* drow = t.surface->Row(yy);
        t.ForSpan(yy, std::max<int>(r.left, -shift), std::min<int>(r.right, sw - shift), [&](int a, int b) {
            if (a < b)
                rowOp(srow + a + shift, drow + a, b - a);
        });
    }
}

// SRCCOPY between surfaces of one kind: rows copied as they are.
bool CopyStraight(const Target& t, const RECT& r, const BlitSource& src)
{
    StraightRows(t, r, src, [](const Pixel* s, Pixel* d, int n) { std::copy(s, s + n, d); });
    return true;
}

template <class Rop>
void MappedRows(const Target& t, const RECT& r, const BlitSource& src, Rop rop)
{
    StraightRows(t, r, src, [&](const Pixel* s, Pixel* d, int n) {
        for (int i = 0; i < n; ++i)
            d[i] = rop(src.map.Map(s[i]), d[i]);
    });
}

void TransferStraight(const Target& t, const RECT& r, const BlitSource& src, std::uint8_t code)
{
    switch (code) {
    case 0x66: return MappedRows(t, r, src, [](Pixel s, Pixel d) { return s ^ d; });
    case 0x88: return MappedRows(t, r, src, [](Pixel s, Pixel d) { return s & d; });
    case 0xEE: return MappedRows(t, r, src, [](Pixel s, Pixel d) { return s | d; });
    default: return MappedRows(t, r, src, [code](Pixel s, Pixel d) { return ApplyRop3(code, 0, s, d); });
    }
}

// The general transfer: destination rectangle (surface coordinates) with a
// destination-to-source mapping, a ternary code and the DC's brush.
BOOL Transfer(DCObj& dst, int x, int y, int w, int h, const BlitSource* src, std::uint8_t code,
              const BitmapObj* mask = nullptr, int mx = 0, int my = 0, std::uint8_t backCode = 0)
{
    if (w == 0 || h == 0)
        return TRUE;
    if (!SaneSpan(0, w) || !SaneSpan(0, h) || (src && (!SaneSpan(0, src->w) || !SaneSpan(0, src->h))))
        return FALSE;
    RECT r = DestRect(dst, x, y, w, h);
    Target t;
    if (!t.Open(dst, &r))
        return TRUE;
    int dw = r.right - r.left, dh = r.bottom - r.top;
    // Destination mirroring by a negative size: the source runs backwards.
    bool flipX = w < 0, flipY = h < 0;
    // Same size, same direction: source index = start + offset, no division.
    const bool straight = src && !flipX && !flipY && src->w == dw && src->h == dh;
    if (straight && code == 0xCC && !mask && src->map.kind == SourceMap::Kind::Same)
        return CopyStraight(t, r, *src);
    bool needPattern = UsesPattern(code) || (mask && UsesPattern(backCode));
    if (straight && !mask && !needPattern) {
        TransferStraight(t, r, *src, code);
        return TRUE;
    }
    Paint pat;
    if (needPattern) {
        pat = BrushPaint(dst, dst.st.brush);
        if (pat.kind == Paint::Kind::None)
            pat = SolidPaint(0);
    }
    int top = std::max(r.top, t.box.top), bottom = std::min(r.bottom, t.box.bottom);
    for (int yy = top; yy < bottom; ++yy) {
        int row = yy - r.top;
        if (flipY)
            row = dh - 1 - row;
        int sy = !src ? 0 : straight ? src->y + row : SourceIndex(row, dh, src->y, src->h);
        Pixel* drow = t.surface->Row(yy);
        t.ForSpan(yy, r.left, r.right, [&](int a, int b) {
            for (int xx = a; xx < b; ++xx) {
                int col = xx - r.left;
                if (flipX)
                    col = dw - 1 - col;
                Pixel s = 0;
                if (src) {
                    int sx = straight ? src->x + col : SourceIndex(col, dw, src->x, src->w);
                    if (!src->Fetch(sx, sy, s))
                        continue; // outside the source: left alone
                }
                Pixel p = 0;
                if (needPattern && !pat.At(xx, yy, p))
                    p = drow[xx];
                std::uint8_t c = code;
                if (mask) {
                    int mxx = mx + col, myy = my + row;
                    bool fore = mask->surface.Contains(mxx, myy) &&
                                (mask->surface.At(mxx, myy) & 0xFFFFFFu) == 0xFFFFFFu;
                    c = fore ? code : backCode;
                }
                drow[xx] = ApplyRop3(c, p, s, drow[xx]);
            }
        });
    }
    return TRUE;
}

// A blit whose source and destination are one surface copies through a
// snapshot, so overlapping areas move as a whole.
struct Snapshot {
    Surface copy;
    bool Take(BlitSource& src, Surface* dst)
    {
        if (src.surface != dst || !src.surface)
            return false;
        copy = Surface(src.surface->Width(), src.surface->Height());
        for (int y = 0; y < copy.Height(); ++y)
            std::copy(src.surface->Row(y), src.surface->Row(y) + copy.Width(), copy.Row(y));
        src.surface = &copy;
        return true;
    }
};

// The source of a transfer in `out`; when it is the destination's own
// surface, `snap` keeps a copy to read from.
bool OpenSource(HDC handle, DCObj& dst, int x, int y, int w, int h, BlitSource& out, Snapshot& snap)
{
    DCObj* srcDc = LookupDC(handle);
    if (!srcDc)
        return false;
    out.surface = TargetSurface(*srcDc, BitmapAccess::Read);
    POINT p = ToSurface(*srcDc, x, y);
    out.x = p.x;
    out.y = p.y;
    out.w = w;
    out.h = h;
    out.map = MapBetween(dst, *srcDc);
    if (!out.surface)
        return false;
    snap.Take(out, TargetSurface(dst, BitmapAccess::Query));
    return true;
}

// Calls f(destination pixel, source x, source y) for every destination
// pixel of r inside the clip, with the nearest source pixel of the stretch.
template <class F>
void StretchEach(const Target& t, const RECT& r, int w, int h, const BlitSource& s, int ws, int hs, F&& f)
{
    int top = std::max(r.top, t.box.top), bottom = std::min(r.bottom, t.box.bottom);
    for (int yy = top; yy < bottom; ++yy) {
        int sy = SourceIndex(yy - r.top, h, s.y, hs);
        Pixel* drow = t.surface->Row(yy);
        t.ForSpan(yy, r.left, r.right, [&](int a, int b) {
            for (int xx = a; xx < b; ++xx)
                f(drow[xx], SourceIndex(xx - r.left, w, s.x, ws), sy);
        });
    }
}

} // namespace

BOOL PatBlt(HDC handle, int x, int y, int w, int h, DWORD rop)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (UsesSource(code))
        return FALSE;
    return Transfer(*dc, x, y, w, h, nullptr, code);
}

BOOL StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, DWORD rop)
{
    DCObj* dc = LookupDC(dest);
    if (!dc)
        return FALSE;
    auto code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (!UsesSource(code))
        return Transfer(*dc, x, y, w, h, nullptr, code);
    if (ws == 0 || hs == 0)
        return FALSE;
    BlitSource s;
    Snapshot snap;
    if (!OpenSource(src, *dc, xs, ys, ws, hs, s, snap))
        return FALSE;
    return Transfer(*dc, x, y, w, h, &s, code);
}

BOOL BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, DWORD rop)
{
    return StretchBlt(dest, x, y, w, h, src, xs, ys, w, h, rop);
}

BOOL MaskBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, HBITMAP mask, int xm, int ym, DWORD rop)
{
    DCObj* dc = LookupDC(dest);
    if (!dc)
        return FALSE;
    auto fore = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    auto back = static_cast<std::uint8_t>((rop >> 24) & 0xFF);
    BitmapObj* m = nullptr;
    if (mask) {
        m = LookupBitmap(mask);
        if (!m || m->bitsPixel != 1)
            return FALSE;
        m->Sync(BitmapAccess::Read);
    }
    BlitSource s;
    BlitSource* sp = nullptr;
    Snapshot snap;
    if (UsesSource(fore) || (m && UsesSource(back))) {
        if (!OpenSource(src, *dc, xs, ys, w, h, s, snap))
            return FALSE;
        sp = &s;
    }
    return Transfer(*dc, x, y, w, h, sp, fore, m, xm, ym, m ? back : fore);
}

BOOL TransparentBlt(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, UINT transparent)
{
    DCObj* dc = LookupDC(dest);
    if (!dc || w <= 0 || h <= 0 || ws <= 0 || hs <= 0 || !SaneSpan(0, w) || !SaneSpan(0, h) || !SaneSpan(0, ws) ||
        !SaneSpan(0, hs))
        return FALSE;
    BlitSource s;
    Snapshot snap;
    if (!OpenSource(src, *dc, xs, ys, ws, hs, s, snap))
        return FALSE;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    Pixel key = PixelFromColorRef(transparent);
    StretchEach(t, DestRect(*dc, x, y, w, h), w, h, s, ws, hs, [&](Pixel& d, int sx, int sy) {
        if (!s.surface->Contains(sx, sy))
            return;
        Pixel raw = s.surface->At(sx, sy);
        if ((raw & 0xFFFFFFu) != key)
            d = s.map.Map(raw);
    });
    return TRUE;
}

BOOL AlphaBlend(HDC dest, int x, int y, int w, int h, HDC src, int xs, int ys, int ws, int hs, BLENDFUNCTION blend)
{
    DCObj* dc = LookupDC(dest);
    if (!dc || w < 0 || h < 0 || ws < 0 || hs < 0 || blend.BlendOp != AC_SRC_OVER || !SaneSpan(0, w) ||
        !SaneSpan(0, h) || !SaneSpan(0, ws) || !SaneSpan(0, hs))
        return FALSE;
    if (w == 0 || h == 0)
        return TRUE;
    if (ws == 0 || hs == 0)
        return FALSE;
    BlitSource s;
    Snapshot snap;
    if (!OpenSource(src, *dc, xs, ys, ws, hs, s, snap))
        return FALSE;
    // The source rectangle must lie inside the source surface.
    if (s.x < 0 || s.y < 0 || s.x + ws > s.surface->Width() || s.y + hs > s.surface->Height())
        return FALSE;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    const unsigned ca = blend.SourceConstantAlpha;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    StretchEach(t, DestRect(*dc, x, y, w, h), w, h, s, ws, hs, [&](Pixel& d, int sx, int sy) {
        Pixel sp = s.surface->At(sx, sy);
        Pixel dp = d;
        Pixel out = 0;
        if (perPixel) {
            // Premultiplied source scaled by the constant alpha.
            unsigned alpha = Scale(sp >> 24, ca);
            for (int shift = 0; shift < 32; shift += 8) {
                unsigned sv = Scale(sp >> shift, ca);
                unsigned dv = Scale(dp >> shift, 255 - alpha);
                out |= static_cast<Pixel>(std::min(255u, sv + dv)) << shift;
            }
        } else {
            for (int shift = 0; shift < 32; shift += 8) {
                unsigned v = Scale(dp >> shift, 255 - ca) + Scale(sp >> shift, ca);
                out |= static_cast<Pixel>(std::min(255u, v)) << shift;
            }
        }
        d = out;
    });
    return TRUE;
}

namespace {

int DibToDevice(HDC handle, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs, const void* bits,
                const BITMAPINFO* info, DWORD rop)
{
    DCObj* dc = LookupDC(handle);
    Surface decoded;
    if (!dc || !DecodeDib(info, bits, decoded))
        return 0;
    // Source coordinates count from the DIB's lower-left corner for
    // bottom-up pictures; the decoded surface is top-down.
    int height = decoded.Height();
    bool bottomUp = info->bmiHeader.biHeight > 0;
    int top = bottomUp ? height - (ys + hs) : ys;
    BlitSource s;
    s.surface = &decoded;
    s.x = xs;
    s.y = top;
    s.w = ws;
    s.h = hs;
    if (ws == 0 || hs == 0)
        return 0;
    Transfer(*dc, xd, yd, wd, hd, &s, static_cast<std::uint8_t>((rop >> 16) & 0xFF));
    return hs < 0 ? -hs : hs;
}

} // namespace

int StretchDIBits(HDC dc, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs, const void* bits,
                  const BITMAPINFO* info, UINT usage, DWORD rop)
{
    if (usage != DIB_RGB_COLORS)
        return 0;
    return DibToDevice(dc, xd, yd, wd, hd, xs, ys, ws, hs, bits, info, rop);
}

int SetDIBitsToDevice(HDC dc, int xd, int yd, DWORD w, DWORD h, int xs, int ys, UINT startScan, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage)
{
    if (usage != DIB_RGB_COLORS || !info || w > 32767 || h > 32767)
        return 0;
    (void)startScan;
    (void)lines;
    int iw = static_cast<int>(w), ih = static_cast<int>(h);
    return DibToDevice(dc, xd, yd, iw, ih, xs, ys, iw, ih, bits, info, SRCCOPY) ? static_cast<int>(h) : 0;
}
