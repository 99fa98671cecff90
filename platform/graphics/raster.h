#pragma once
// Internal: the software rasteriser's pixel operations. Coordinates here are
// surface coordinates; everything is clipped against the DC's effective clip.

#include "platform/graphics/gdiobjects.h"

#include <array>
#include <functional>

namespace quelvo::gfx {

// Binary raster operation (R2_*): the code - 1 is a truth table over
// (pen bit, destination bit), index = pen * 2 + destination.
inline Pixel ApplyRop2(int rop2, Pixel pen, Pixel dst)
{
    switch (rop2) {
    case R2_COPYPEN: return pen;
    case R2_XORPEN: return (pen ^ dst) & 0xFFFFFFu;
    case R2_NOT: return ~dst & 0xFFFFFFu;
    case R2_NOTXORPEN: return ~(pen ^ dst) & 0xFFFFFFu;
    case R2_NOP: return dst;
    default: break;
    }
    unsigned t = static_cast<unsigned>(rop2 - 1) & 0xF;
    Pixel r = 0;
    if (t & 1) r |= ~pen & ~dst;
    if (t & 2) r |= ~pen & dst;
    if (t & 4) r |= pen & ~dst;
    if (t & 8) r |= pen & dst;
    return r & 0xFFFFFFu;
}

// Ternary raster operation: the code's truth table over (pattern, source,
// destination), index = pattern * 4 + source * 2 + destination. Works on
// all 32 bits, so SRCCOPY keeps the source's alpha byte.
inline Pixel ApplyRop3(std::uint8_t code, Pixel pat, Pixel src, Pixel dst)
{
    switch (code) {
    case 0xCC: return src;
    case 0xF0: return pat;
    case 0x88: return src & dst;
    case 0xEE: return src | dst;
    case 0x66: return src ^ dst;
    case 0x5A: return pat ^ dst;
    case 0x55: return ~dst;
    case 0x33: return ~src;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFu;
    case 0xAA: return dst;
    default: break;
    }
    Pixel r = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code & (1u << i)))
            continue;
        Pixel p = (i & 4) ? pat : ~pat;
        Pixel s = (i & 2) ? src : ~src;
        Pixel d = (i & 1) ? dst : ~dst;
        r |= p & s & d;
    }
    return r;
}

// What a fill paints with: nothing, one colour, or an 8 x 8 pattern whose
// cell (0, 0) sits at (orgX, orgY) on the surface. Pattern pixels that are
// off (hatch gaps in transparent mode) are left alone.
struct Paint {
    enum class Kind { None, Solid, Pattern };
    Kind kind = Kind::None;
    Pixel color = 0;
    std::array<Pixel, 64> pattern{};
    std::array<bool, 64> on{};
    int orgX = 0;
    int orgY = 0;
    bool At(int x, int y, Pixel& out) const
    {
        if (kind == Kind::Solid) {
            out = color;
            return true;
        }
        int i = ((y - orgY) & 7) * 8 + ((x - orgX) & 7);
        out = pattern[static_cast<size_t>(i)];
        return on[static_cast<size_t>(i)];
    }
};

Paint SolidPaint(Pixel color);
// The brush's paint on this DC: mono patterns take the text colour for 0
// bits and the background colour for 1 bits; hatch gaps take the background
// colour when the background mode is OPAQUE.
Paint BrushPaint(DCObj& dc, HGDIOBJ brush);

// A drawing target: the DC's surface and clip, ready for spans.
struct Target {
    DCObj* dc = nullptr;
    Surface* surface = nullptr;
    const Region* clip = nullptr;
    RECT box{};
    bool simple = true;
    bool Open(HDC handle);
    // `bound` (surface coordinates) holds all the caller will draw, when known.
    bool Open(DCObj& dc, const RECT* bound = nullptr);
    // Calls f(x0, x1) for the clipped pieces of [x0, x1) on row y.
    template <class F>
    void ForSpan(int y, int x0, int x1, F&& f) const
    {
        if (y < box.top || y >= box.bottom || x0 >= x1)
            return;
        if (simple) {
            int a = x0 < box.left ? box.left : x0;
            int b = x1 > box.right ? box.right : x1;
            if (a < b)
                f(a, b);
            return;
        }
        int n = 0;
        const pixman_box32_t* r = clip->Rects(n);
        for (int i = 0; i < n; ++i) {
            if (y < r[i].y1 || y >= r[i].y2)
                continue;
            int a = x0 < r[i].x1 ? r[i].x1 : x0;
            int b = x1 > r[i].x2 ? r[i].x2 : x1;
            if (a < b)
                f(a, b);
        }
    }
    bool Visible(int x, int y) const
    {
        if (x < box.left || x >= box.right || y < box.top || y >= box.bottom)
            return false;
        return simple || clip->Contains(x, y);
    }
};

void FillSpan(const Target& t, int y, int x0, int x1, const Paint& paint, int rop2);
void FillRectOn(const Target& t, const RECT& r, const Paint& paint, int rop2);
// Every pixel of the region (surface coordinates) through the paint.
void FillRegionOn(const Target& t, const Region& region, const Paint& paint, int rop2);
inline void PlotPixel(const Target& t, int x, int y, Pixel color, int rop2)
{
    if (!t.Visible(x, y))
        return;
    Pixel& p = t.surface->Row(y)[x];
    p = rop2 == R2_COPYPEN ? color : ApplyRop2(rop2, color, p);
}

// One-pixel pen lines. The style pattern (on/off run lengths) continues
// from `phase`; `gap` paints the off pixels unless null.
struct PenStroke {
    bool null = true;
    Pixel color = 0;
    int width = 1;
    std::vector<int> dashes;   // empty: solid
    bool opaqueGaps = false;
    Pixel gapColor = 0;
    int rop2 = R2_COPYPEN;
    int phase = 0;
};
PenStroke PenOf(DCObj& dc);
// Bresenham from (x0, y0) to (x1, y1), the end point left out unless
// `last` is true. Steps along the longer axis; the other coordinate is
// start + floor((2 * i * d + n) / (2 * n)) (halves round up in the
// direction of travel).
void StrokeLine(const Target& t, PenStroke& pen, int x0, int y0, int x1, int y1, bool last);

// Regions of shapes, by the same pixel-centre rules as the drawing calls.
Region RoundRegion(const RECT& box, long long cornerWidth, long long cornerHeight);
// Rows outside [rowFrom, rowTo) are left out (the caller's clip box).
Region PolygonRegion(const std::vector<std::vector<POINT>>& polygons, int fillMode, long rowFrom = -(1L << 30),
                     long rowTo = 1L << 30);

} // namespace quelvo::gfx
