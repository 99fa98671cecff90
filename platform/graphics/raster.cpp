#include "platform/graphics/raster.h"

#include <algorithm>
#include <cstdlib>

namespace quelvo::gfx {

Paint SolidPaint(Pixel color)
{
    Paint p;
    p.kind = Paint::Kind::Solid;
    p.color = color;
    return p;
}

namespace {

Paint PaintOfBrush(DCObj& dc, BrushObj* b)
{
    Paint p;
    if (!b || b->style == BS_NULL)
        return p;
    if (b->style == BS_SOLID) {
        COLORREF c = b->dcBrush ? dc.st.dcBrushColor : b->color;
        if (b->sysColorIndex >= 0)
            c = GetSysColor(b->sysColorIndex);
        return SolidPaint(TargetPixel(dc, c));
    }
    p.kind = Paint::Kind::Pattern;
    // Patterns line up with device point (0, 0) plus the brush origin,
    // whatever the window origin.
    p.orgX = dc.deviceOrigin.x + dc.st.brushOrg.x;
    p.orgY = dc.deviceOrigin.y + dc.st.brushOrg.y;
    if (b->style == BS_HATCHED) {
        Pixel line = TargetPixel(dc, b->color);
        Pixel back = TargetPixel(dc, dc.st.bkColor);
        bool opaque = dc.st.bkMode == OPAQUE;
        for (size_t i = 0; i < 64; ++i) {
            p.pattern[i] = b->patternBit[i] ? line : back;
            p.on[i] = b->patternBit[i] || opaque;
        }
        return p;
    }
    if (b->monoPattern) {
        Pixel zero = TargetPixel(dc, dc.st.textColor);
        Pixel one = TargetPixel(dc, dc.st.bkColor);
        for (size_t i = 0; i < 64; ++i) {
            p.pattern[i] = b->patternBit[i] ? one : zero;
            p.on[i] = true;
        }
        return p;
    }
    for (size_t i = 0; i < 64; ++i) {
        p.pattern[i] = IsMonoTarget(dc) ? TargetPixel(dc, ColorRefFromPixel(b->pattern[i])) : b->pattern[i];
        p.on[i] = true;
    }
    return p;
}

} // namespace

Paint BrushPaint(DCObj& dc, HGDIOBJ brush) { return PaintOfBrush(dc, ResolveBrush(static_cast<HBRUSH>(brush))); }

bool Target::Open(DCObj& d, const RECT* bound)
{
    dc = &d;
    clip = &EffectiveClip(d);
    box = d.effectiveBox;
    simple = d.effectiveIsRect;
    // Nothing is drawn outside the clip box, so a section packs no more.
    RECT drawn = box;
    if (bound)
        drawn = RECT{std::max(box.left, bound->left), std::max(box.top, bound->top),
                     std::min(box.right, bound->right), std::min(box.bottom, bound->bottom)};
    surface = TargetSurface(d, BitmapAccess::Draw, &drawn);
    if (!surface)
        return false;
    return !clip->Empty();
}

bool Target::Open(HDC handle)
{
    DCObj* d = LookupDC(handle);
    return d && Open(*d);
}

void FillSpan(const Target& t, int y, int x0, int x1, const Paint& paint, int rop2)
{
    if (paint.kind == Paint::Kind::None)
        return;
    Pixel* row = t.surface->Row(y);
    t.ForSpan(y, x0, x1, [&](int a, int b) {
        if (paint.kind == Paint::Kind::Solid) {
            if (rop2 == R2_COPYPEN) {
                std::fill(row + a, row + b, paint.color);
            } else {
                for (int x = a; x < b; ++x)
                    row[x] = ApplyRop2(rop2, paint.color, row[x]);
            }
            return;
        }
        for (int x = a; x < b; ++x) {
            Pixel c;
            if (paint.At(x, y, c))
                row[x] = ApplyRop2(rop2, c, row[x]);
        }
    });
}

void FillRectOn(const Target& t, const RECT& r, const Paint& paint, int rop2)
{
    int top = std::max(r.top, t.box.top);
    int bottom = std::min(r.bottom, t.box.bottom);
    for (int y = top; y < bottom; ++y)
        FillSpan(t, y, r.left, r.right, paint, rop2);
}

void FillRegionOn(const Target& t, const Region& region, const Paint& paint, int rop2)
{
    int n = 0;
    const pixman_box32_t* boxes = region.Rects(n);
    for (int i = 0; i < n; ++i)
        FillRectOn(t, RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2}, paint, rop2);
}

PenStroke PenOf(DCObj& dc)
{
    PenStroke s;
    PenObj* pen = LookupPen(dc.st.pen);
    if (!pen || pen->style == PS_NULL)
        return s;
    s.null = false;
    s.color = TargetPixel(dc, pen->dcPen ? dc.st.dcPenColor : pen->color);
    s.width = std::max(1, pen->width);
    s.rop2 = dc.st.rop2;
    s.opaqueGaps = dc.st.bkMode == OPAQUE;
    s.gapColor = TargetPixel(dc, dc.st.bkColor);
    if (s.width == 1 || !pen->geometric) {
        switch (pen->style) {
        case PS_DASH: s.dashes = {18, 6}; break;
        case PS_DOT: s.dashes = {3, 3}; break;
        case PS_DASHDOT: s.dashes = {9, 6, 3, 6}; break;
        case PS_DASHDOTDOT: s.dashes = {9, 3, 3, 3, 3, 3}; break;
        case PS_ALTERNATE:
            s.dashes = {1, 1};
            s.opaqueGaps = false;
            break;
        default: break;
        }
        if (!s.dashes.empty())
            s.width = 1;
    }
    return s;
}

namespace {

void StampPen(const Target& t, PenStroke& pen, int x, int y)
{
    Pixel c = pen.color;
    if (!pen.dashes.empty()) {
        int period = 0;
        for (int d : pen.dashes)
            period += d;
        int pos = pen.phase % period;
        bool on = true;
        for (size_t i = 0; i < pen.dashes.size(); ++i) {
            if (pos < pen.dashes[i]) {
                on = (i % 2) == 0;
                break;
            }
            pos -= pen.dashes[i];
        }
        ++pen.phase;
        if (!on) {
            if (!pen.opaqueGaps)
                return;
            c = pen.gapColor;
        }
    }
    if (pen.width <= 1) {
        PlotPixel(t, x, y, c, pen.rop2);
        return;
    }
    // Wide pens: a width x width square centred on the line pixel.
    int half = (pen.width - 1) / 2;
    Paint paint = SolidPaint(c);
    for (int yy = y - half; yy < y - half + pen.width; ++yy)
        FillSpan(t, yy, x - half, x - half + pen.width, paint, pen.rop2);
}

} // namespace

void StrokeLine(const Target& t, PenStroke& pen, int x0, int y0, int x1, int y1, bool last)
{
    if (pen.null)
        return;
    if (pen.dashes.empty() && pen.width <= 1) {
        // Solid one-pixel pens: straight lines as spans, others inline.
        if (y0 == y1) {
            int a = x1 >= x0 ? x0 : (last ? x1 : x1 + 1);
            int b = x1 >= x0 ? (last ? x1 + 1 : x1) : x0 + 1;
            FillSpan(t, y0, a, b, SolidPaint(pen.color), pen.rop2);
            return;
        }
        if (x0 == x1) {
            int a = y1 >= y0 ? y0 : (last ? y1 : y1 + 1);
            int b = y1 >= y0 ? (last ? y1 + 1 : y1) : y0 + 1;
            a = std::max(a, static_cast<int>(t.box.top));
            b = std::min(b, static_cast<int>(t.box.bottom));
            for (int y = a; y < b; ++y)
                PlotPixel(t, x0, y, pen.color, pen.rop2);
            return;
        }
    }
    long long dx = std::llabs(static_cast<long long>(x1) - x0);
    long long dy = std::llabs(static_cast<long long>(y1) - y0);
    int sx = x1 >= x0 ? 1 : -1;
    int sy = y1 >= y0 ? 1 : -1;
    long long n = std::max(dx, dy);
    long long count = last ? n + 1 : n;
    // Walk only the steps whose major coordinate can reach the clip box
    // (widened by the pen), so far-away coordinates cost nothing; a dashed
    // pen's pattern still counts the skipped steps.
    long long first = 0;
    {
        long long margin = pen.width + 1;
        long long lo = (dx >= dy ? t.box.left : t.box.top) - margin;
        long long hi = (dx >= dy ? t.box.right : t.box.bottom) + margin;
        long long start = dx >= dy ? x0 : y0;
        int step = dx >= dy ? sx : sy;
        // start + step * i in [lo, hi)
        long long a = step > 0 ? lo - start : start - hi + 1;
        long long b = step > 0 ? hi - start : start - lo + 1;
        first = std::max(0LL, a);
        count = std::min(count, std::max(0LL, b));
        if (first >= count)
            return;
        pen.phase += static_cast<int>(first % 1000000);
    }
    using Wide = __int128; // 2 * i * d reaches 2^65 for lines across the whole range
    for (long long i = first; i < count; ++i) {
        long long x, y;
        if (dx >= dy) {
            x = x0 + sx * i;
            y = dx == 0 ? y0 : y0 + sy * static_cast<long long>((2 * Wide(i) * dy + dx) / (2 * Wide(dx)));
        } else {
            y = y0 + sy * i;
            x = x0 + sx * static_cast<long long>((2 * Wide(i) * dx + dy) / (2 * Wide(dy)));
        }
        StampPen(t, pen, static_cast<int>(x), static_cast<int>(y));
    }
}

} // namespace quelvo::gfx
