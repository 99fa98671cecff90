// Lines, polygons, rectangles, ellipses, arcs and pies; pens and brushes.
//
// Rules:
// - Lines leave out their end point (raster.h documents the stepping).
// - Polygons fill the pixels whose sample point lies inside (alternate or
//   winding rule), then stroke the outline with the pen, vertices included.
//   Pixel (x, y) is sampled at the point (x, y): left and top edges are in,
//   right and bottom edges out, so an arrow (1,1) (7,1) (4,4) gives rows of
//   7, 5, 3 and 1 pixels.
// - Rectangle, RoundRect and Ellipse cover [left, right) x [top, bottom).
//   A pixel belongs to an ellipse when its centre lies inside or on the
//   ellipse inscribed in that box; the one-pixel outline is every such pixel
//   with a 4-neighbour outside, the rest is filled with the brush. With the
//   null pen the filled box is one pixel smaller at the right and bottom.
// - Arc, Pie and Chord keep the ellipse pixels whose centre angle lies on the
//   counter-clockwise sweep from the start radial to the end radial (the
//   radial points are taken at their pixels' centres too).
#include "platform/graphics/raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

using namespace quelvo::gfx;

// --- Pens and brushes --------------------------------------------------------

HPEN CreatePen(int style, int width, COLORREF color)
{
    int s = style & PS_STYLE_MASK;
    if (s > PS_ALTERNATE)
        return nullptr;
    auto p = std::make_unique<PenObj>();
    p->kind = ObjKind::Pen;
    p->style = s;
    p->width = std::max(1, width);
    p->color = color & 0xFFFFFF;
    if (p->width > 1 && s != PS_SOLID && s != PS_INSIDEFRAME && s != PS_NULL)
        p->style = PS_SOLID; // styled pens are one pixel wide
    return static_cast<HPEN>(Register(std::move(p)));
}

HPEN CreatePenIndirect(const LOGPEN* pen)
{
    if (!pen)
        return nullptr;
    return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD, const DWORD*)
{
    if (!brush)
        return nullptr;
    HPEN h = CreatePen(static_cast<int>(style & PS_STYLE_MASK), static_cast<int>(std::min<DWORD>(width, 1024)),
                       brush->lbColor);
    if (PenObj* p = LookupPen(h))
        p->geometric = (style & PS_TYPE_MASK) == static_cast<DWORD>(PS_GEOMETRIC);
    return h;
}

namespace {

HBRUSH NewBrush(UINT style, COLORREF color)
{
    auto b = std::make_unique<BrushObj>();
    b->kind = ObjKind::Brush;
    b->style = style;
    b->color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(Register(std::move(b)));
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF color) { return NewBrush(BS_SOLID, color); }

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return nullptr;
    HBRUSH h = NewBrush(BS_HATCHED, color);
    BrushObj* b = LookupBrush(h);
    b->hatch = hatch;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool horizontal = y == 7, vertical = x == 7, f = x == y, bk = x + y == 7;
            bool on = false;
            switch (hatch) {
            case HS_HORIZONTAL: on = horizontal; break;
            case HS_VERTICAL: on = vertical; break;
            case HS_FDIAGONAL: on = f; break;
            case HS_BDIAGONAL: on = bk; break;
            case HS_CROSS: on = horizontal || vertical; break;
            default: on = f || bk; break;
            }
            b->patternBit[static_cast<size_t>(y * 8 + x)] = on;
        }
    return h;
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    BitmapObj* bm = LookupBitmap(bitmap);
    if (!bm || bm->width <= 0 || bm->height <= 0)
        return nullptr;
    bm->Sync(BitmapAccess::Read);
    HBRUSH h = NewBrush(BS_PATTERN, 0);
    BrushObj* b = LookupBrush(h);
    b->hatch = 0;
    b->monoPattern = bm->bitsPixel == 1;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            Pixel p = bm->surface.At(x % bm->width, y % bm->height) & 0xFFFFFFu;
            b->pattern[static_cast<size_t>(y * 8 + x)] = p;
            b->patternBit[static_cast<size_t>(y * 8 + x)] = p == 0xFFFFFFu;
        }
    return h;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush)
{
    if (!brush)
        return nullptr;
    switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
    default: return nullptr;
    }
}

// --- Paths -------------------------------------------------------------------

namespace {

void PathAdd(DCObj& dc, const std::vector<POINT>& points, bool closed, bool continueFigure)
{
    if (continueFigure && !dc.path.empty() && !dc.path.back().closed && !points.empty()) {
        auto& fig = dc.path.back().points;
        fig.insert(fig.end(), points.begin(), points.end());
        return;
    }
    dc.path.push_back(PathFigure{points, closed});
}

bool Recording(DCObj& dc) { return dc.pathOpen; }

// --- Polygon fill by pixel centres ---------------------------------------------

std::vector<POINT> ToSurfacePoints(const DCObj& dc, const POINT* points, int count)
{
    std::vector<POINT> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        out.push_back(ToSurface(dc, points[i].x, points[i].y));
    return out;
}

void StrokeClosed(const Target& t, PenStroke& pen, const std::vector<POINT>& pts)
{
    size_t n = pts.size();
    for (size_t i = 0; i < n; ++i) {
        const POINT& a = pts[i];
        const POINT& b = pts[(i + 1) % n];
        StrokeLine(t, pen, a.x, a.y, b.x, b.y, false);
    }
    if (n == 1)
        StrokeLine(t, pen, pts[0].x, pts[0].y, pts[0].x, pts[0].y, true);
}

// --- Ellipse spans ---------------------------------------------------------------

// Row y of the pixels whose centres lie in the ellipse inscribed in
// [0, w) x [0, h): [left, right), empty when left == right. Exact integer
// arithmetic up to 2^28 pixels a side, long double beyond.
void EllipseRow(long long w, long long h, long long y, long long& left, long long& right)
{
    left = right = 0;
    if (w <= 0 || h <= 0 || y < 0 || y >= h)
        return;
    long long xr;
    if (w < (1LL << 28) && h < (1LL << 28)) {
        using Wide = __int128;
        Wide W = w, H = h, Y = 2 * Wide(y) + 1 - H;
        Wide q = W * W * (H * H - Y * Y); // X^2 * H^2 <= q
        auto inside = [&](long long x) {
            Wide X = 2 * Wide(x) + 1 - W;
            return X * X * H * H <= q;
        };
        xr = static_cast<long long>(std::floor((std::sqrt(static_cast<double>(q)) / static_cast<double>(h) +
                                                static_cast<double>(w - 1)) / 2.0));
        xr = std::min(xr, w - 1);
        while (xr + 1 <= w - 1 && inside(xr + 1))
            ++xr;
        while (xr >= w / 2 && !inside(xr))
            --xr;
        if (xr < (w - 1) / 2 || !inside(xr))
            return;
    } else {
        long double Y = 2.0L * y + 1 - h;
        long double half = std::sqrt(std::max(0.0L, 1.0L - (Y * Y) / (static_cast<long double>(h) * h))) * w;
        xr = static_cast<long long>(std::floor((half + (w - 1)) / 2.0L));
        xr = std::min(xr, w - 1);
        if (xr < (w - 1) / 2)
            return;
    }
    left = w - 1 - xr;
    right = xr + 1;
}

// Shape rows on the surface: for rows top .. top + Rows() - 1, [left, right).
// Only the rows a caller asks for are computed, so huge shapes cost what is
// visible.
struct Shape {
    int top = 0;
    std::vector<int> left, right;
    int Rows() const { return static_cast<int>(left.size()); }
    bool Inside(int x, int y) const
    {
        long long i = static_cast<long long>(y) - top;
        return i >= 0 && i < Rows() && x >= left[static_cast<size_t>(i)] && x < right[static_cast<size_t>(i)];
    }
};

// A box with corners rounded by an ellipse of cw x ch (a full ellipse when
// they equal the box), rows limited to [rowFrom, rowTo).
Shape RoundShape(const RECT& box, long long cw, long long ch, long long rowFrom = -(1LL << 40),
                 long long rowTo = 1LL << 40)
{
    Shape sh;
    long long w = static_cast<long long>(box.right) - box.left, h = static_cast<long long>(box.bottom) - box.top;
    if (w <= 0 || h <= 0)
        return sh;
    cw = std::clamp(cw, 0LL, w);
    ch = std::clamp(ch, 0LL, h);
    long long from = std::max<long long>(box.top, rowFrom), to = std::min<long long>(box.bottom, rowTo);
    if (from >= to)
        return sh;
    sh.top = static_cast<int>(from);
    sh.left.resize(static_cast<size_t>(to - from));
    sh.right.resize(static_cast<size_t>(to - from));
    for (long long y = from; y < to; ++y) {
        long long i = y - box.top;
        long long er = -1;
        if (ch > 0 && cw > 0) {
            if (i < ch / 2)
                er = i;
            else if (i >= h - (ch - ch / 2))
                er = i - (h - ch);
        }
        size_t k = static_cast<size_t>(y - from);
        if (er >= 0) {
            long long l, r;
            EllipseRow(cw, ch, er, l, r);
            if (l >= r) {
                sh.left[k] = sh.right[k] = box.left;
                continue;
            }
            sh.left[k] = static_cast<int>(box.left + l);
            sh.right[k] = static_cast<int>(box.right - cw + r);
        } else {
            sh.left[k] = box.left;
            sh.right[k] = box.right;
        }
    }
    return sh;
}

// Outline = shape pixels with a 4-neighbour outside; fill = the rest.
void DrawShape(const Target& t, const Shape& sh, const Paint& fill, int rop2, PenStroke& pen,
               const std::function<bool(int, int)>& keep = nullptr)
{
    int rows = sh.Rows();
    auto L = [&](int i) { return (i < 0 || i >= rows) ? 0 : sh.left[static_cast<size_t>(i)]; };
    auto R = [&](int i) { return (i < 0 || i >= rows) ? 0 : sh.right[static_cast<size_t>(i)]; };
    auto emptyRow = [&](int i) { return i < 0 || i >= rows || L(i) >= R(i); };
    // The caller computed one row more than visible on each side, for the
    // outline test; those rows themselves are not drawn.
    int first = std::max(0, t.box.top - sh.top), last = std::min(rows, t.box.bottom - sh.top);
    for (int i = first; i < last; ++i) {
        if (emptyRow(i))
            continue;
        int y = sh.top + i;
        int innerL = L(i) + 1, innerR = R(i) - 1;
        if (pen.null) {
            innerL = L(i);
            innerR = R(i);
        } else {
            if (emptyRow(i - 1) || emptyRow(i + 1)) {
                innerL = innerR; // the whole row is outline
            } else {
                innerL = std::max({innerL, L(i - 1), L(i + 1)});
                innerR = std::min({innerR, R(i - 1), R(i + 1)});
            }
        }
        // Pixel by pixel work stays within the clip box's columns.
        auto visible = [&](int a, int b, auto&& each) {
            for (int x = std::max(a, static_cast<int>(t.box.left)); x < std::min(b, static_cast<int>(t.box.right)); ++x)
                each(x);
        };
        if (innerL < innerR) {
            if (keep)
                visible(innerL, innerR, [&](int x) {
                    if (keep(x, y))
                        FillSpan(t, y, x, x + 1, fill, rop2);
                });
            else
                FillSpan(t, y, innerL, innerR, fill, rop2);
        }
        if (pen.null)
            continue;
        auto outline = [&](int x) {
            if (keep && !keep(x, y))
                return;
            pen.phase = 0;
            StrokeLine(t, pen, x, y, x, y, true);
        };
        if (innerL < innerR) {
            visible(L(i), innerL, outline);
            visible(innerR, R(i), outline);
        } else {
            visible(L(i), R(i), outline);
        }
    }
}

RECT NormalBox(const DCObj& dc, int l, int tp, int r, int b)
{
    POINT a = ToSurface(dc, l, tp), c = ToSurface(dc, r, b);
    return RECT{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}

} // namespace

namespace quelvo::gfx {

Region RoundRegion(const RECT& box, long long cw, long long ch)
{
    long long h = static_cast<long long>(box.bottom) - box.top;
    // Rounded regions taller than this are kept as their bounding box.
    if (h > (1LL << 16))
        return Region(box);
    Shape sh = RoundShape(box, cw, ch);
    std::vector<RECT> rows;
    for (int i = 0; i < sh.Rows(); ++i)
        rows.push_back(RECT{sh.left[static_cast<size_t>(i)], sh.top + i, sh.right[static_cast<size_t>(i)], sh.top + i + 1});
    return Region::FromRects(rows);
}

Region PolygonRegion(const std::vector<std::vector<POINT>>& polys, int fillMode, long rowFrom, long rowTo)
{
    Region result;
    long minY = 1L << 30, maxY = -(1L << 30);
    for (auto& p : polys)
        for (auto& q : p) {
            minY = std::min<long>(minY, q.y);
            maxY = std::max<long>(maxY, q.y);
        }
    minY = std::max(minY, rowFrom);
    maxY = std::min(maxY, rowTo);
    std::vector<std::pair<double, int>> xs;
    for (long y = minY; y < maxY && y - minY < (1L << 16); ++y) {
        double yc = y;
        xs.clear();
        for (auto& poly : polys)
            for (size_t i = 0; i < poly.size(); ++i) {
                const POINT& a = poly[i];
                const POINT& b = poly[(i + 1) % poly.size()];
                if (a.y == b.y)
                    continue;
                double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
                if (yc < lo || yc >= hi)
                    continue;
                xs.emplace_back(a.x + (yc - a.y) * double(b.x - a.x) / double(b.y - a.y), b.y > a.y ? 1 : -1);
            }
        std::sort(xs.begin(), xs.end());
        auto add = [&](double a, double b) {
            int xa = static_cast<int>(std::ceil(a)), xb = static_cast<int>(std::ceil(b));
            result.Union(RECT{xa, static_cast<LONG>(y), xb, static_cast<LONG>(y + 1)});
        };
        if (fillMode == WINDING) {
            int wind = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                wind += xs[i].second;
                if (wind != 0)
                    add(xs[i].first, xs[i + 1].first);
            }
        } else {
            for (size_t i = 0; i + 1 < xs.size(); i += 2)
                add(xs[i].first, xs[i + 1].first);
        }
    }
    return result;
}

} // namespace quelvo::gfx

// --- Lines -------------------------------------------------------------------

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT old)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->st.pos;
    dc->st.pos = POINT{x, y};
    if (Recording(*dc))
        PathAdd(*dc, {POINT{x, y}}, false, false);
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    POINT from = dc->st.pos;
    dc->st.pos = POINT{x, y};
    if (Recording(*dc)) {
        if (dc->path.empty() || dc->path.back().closed)
            PathAdd(*dc, {from}, false, false);
        PathAdd(*dc, {POINT{x, y}}, false, true);
        return TRUE;
    }
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    PenStroke pen = PenOf(*dc);
    POINT a = ToSurface(*dc, from.x, from.y), b = ToSurface(*dc, x, y);
    StrokeLine(t, pen, a.x, a.y, b.x, b.y, false);
    return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !points || count < 2)
        return FALSE;
    if (Recording(*dc)) {
        PathAdd(*dc, std::vector<POINT>(points, points + count), false, false);
        return TRUE;
    }
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    PenStroke pen = PenOf(*dc);
    auto pts = ToSurfacePoints(*dc, points, count);
    for (int i = 0; i + 1 < count; ++i)
        StrokeLine(t, pen, pts[static_cast<size_t>(i)].x, pts[static_cast<size_t>(i)].y,
                   pts[static_cast<size_t>(i) + 1].x, pts[static_cast<size_t>(i) + 1].y, false);
    return TRUE;
}

BOOL PolylineTo(HDC handle, const POINT* points, DWORD count)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !points || count == 0 || count > (1u << 24))
        return FALSE;
    for (DWORD i = 0; i < count; ++i)
        LineTo(handle, points[i].x, points[i].y);
    return TRUE;
}

// --- Polygons ----------------------------------------------------------------

BOOL PolyPolygon(HDC handle, const POINT* points, const INT* counts, int polygons)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !points || !counts || polygons <= 0)
        return FALSE;
    std::vector<std::vector<POINT>> polys;
    const POINT* p = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2)
            return FALSE;
        polys.emplace_back(p, p + counts[i]);
        p += counts[i];
    }
    if (Recording(*dc)) {
        for (auto& poly : polys)
            PathAdd(*dc, poly, true, false);
        return TRUE;
    }
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    for (auto& poly : polys)
        poly = ToSurfacePoints(*dc, poly.data(), static_cast<int>(poly.size()));
    FillRegionOn(t, PolygonRegion(polys, dc->st.polyFillMode, t.box.top, t.box.bottom), BrushPaint(*dc, dc->st.brush),
                 dc->st.rop2);
    PenStroke pen = PenOf(*dc);
    for (const auto& poly : polys)
        StrokeClosed(t, pen, poly);
    return TRUE;
}

BOOL Polygon(HDC handle, const POINT* points, int count)
{
    INT n = count;
    return PolyPolygon(handle, points, &n, 1);
}

// --- Boxes -------------------------------------------------------------------

namespace {

// Boxes drawn with the pen's width: each extra pixel of width adds one more
// ring inside the box (inside-frame behaviour for every wide pen).
BOOL BoxShape(HDC handle, int l, int tp, int r, int b, int cw, int ch, bool ellipse)
{
    // Corner sizes count by their magnitude.
    cw = static_cast<int>(std::min<long long>(std::abs(static_cast<long long>(cw)), INT32_MAX));
    ch = static_cast<int>(std::min<long long>(std::abs(static_cast<long long>(ch)), INT32_MAX));
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    if (Recording(*dc)) {
        // The outline of the shape's pixels as one closed figure.
        RECT lb{std::min(l, r), std::min(tp, b), std::max(l, r), std::max(tp, b)};
        bool huge = static_cast<long long>(lb.bottom) - lb.top > (1LL << 16);
        Shape s = huge ? RoundShape(lb, 0, 0, lb.top, lb.top + 1LL)
                       : RoundShape(lb, ellipse ? static_cast<long long>(lb.right) - lb.left : cw,
                                    ellipse ? static_cast<long long>(lb.bottom) - lb.top : ch);
        if (huge) {
            PathAdd(*dc, {POINT{lb.left, lb.top}, POINT{lb.right, lb.top}, POINT{lb.right, lb.bottom},
                          POINT{lb.left, lb.bottom}},
                    true, false);
            return TRUE;
        }
        std::vector<POINT> outline;
        for (int i = 0; i < s.Rows(); ++i)
            if (s.left[static_cast<size_t>(i)] < s.right[static_cast<size_t>(i)]) {
                outline.push_back(POINT{s.left[static_cast<size_t>(i)], s.top + i});
                outline.push_back(POINT{s.left[static_cast<size_t>(i)], s.top + i + 1});
            }
        for (int i = s.Rows(); i-- > 0;)
            if (s.left[static_cast<size_t>(i)] < s.right[static_cast<size_t>(i)]) {
                outline.push_back(POINT{s.right[static_cast<size_t>(i)], s.top + i + 1});
                outline.push_back(POINT{s.right[static_cast<size_t>(i)], s.top + i});
            }
        if (!outline.empty())
            PathAdd(*dc, outline, true, false);
        return TRUE;
    }
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    RECT box = NormalBox(*dc, l, tp, r, b);
    PenStroke pen = PenOf(*dc);
    Paint fill = BrushPaint(*dc, dc->st.brush);
    if (pen.null) {
        box.right -= 1;
        box.bottom -= 1;
    }
    if (box.right <= box.left || box.bottom <= box.top)
        return TRUE;
    int rings = pen.null ? 0 : pen.width;
    pen.width = 1;
    auto width = [&] { return static_cast<long long>(box.right) - box.left; };
    auto height = [&] { return static_cast<long long>(box.bottom) - box.top; };
    for (int ring = 1; ring < rings && width() > 2 && height() > 2; ++ring) {
        Shape s = RoundShape(box, ellipse ? width() : cw, ellipse ? height() : ch,
                             t.box.top - 1LL, t.box.bottom + 1LL);
        Paint none;
        DrawShape(t, s, none, dc->st.rop2, pen);
        box = RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
        cw = std::max(0, cw - 2);
        ch = std::max(0, ch - 2);
    }
    Shape s = RoundShape(box, ellipse ? static_cast<long long>(box.right) - box.left : cw,
                         ellipse ? static_cast<long long>(box.bottom) - box.top : ch, t.box.top - 1LL, t.box.bottom + 1LL);
    DrawShape(t, s, fill, dc->st.rop2, pen);
    return TRUE;
}

} // namespace

BOOL Rectangle(HDC dc, int l, int t, int r, int b) { return BoxShape(dc, l, t, r, b, 0, 0, false); }
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int w, int h) { return BoxShape(dc, l, t, r, b, w, h, false); }
BOOL Ellipse(HDC dc, int l, int t, int r, int b) { return BoxShape(dc, l, t, r, b, 0, 0, true); }

// --- Arcs --------------------------------------------------------------------

namespace {

enum class ArcKind { Arc, Pie, Chord };

BOOL ArcShape(HDC handle, int l, int tp, int r, int b, int xs, int ys, int xe, int ye, ArcKind kind)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    RECT box = NormalBox(*dc, l, tp, r, b);
    if (box.right <= box.left || box.bottom <= box.top)
        return TRUE;
    double cx = (box.left + box.right) / 2.0, cy = (box.top + box.bottom) / 2.0;
    POINT s = ToSurface(*dc, xs, ys), e = ToSurface(*dc, xe, ye);
    auto angleOf = [&](double x, double y) {
        double a = std::atan2(-(y - cy), x - cx);
        return a < 0 ? a + 2 * std::numbers::pi : a;
    };
    // The radial points name pixels, like the pixels they are compared with.
    double a0 = angleOf(s.x + 0.5, s.y + 0.5), a1 = angleOf(e.x + 0.5, e.y + 0.5);
    double sweep = a1 - a0;
    if (sweep <= 0)
        sweep += 2 * std::numbers::pi;
    auto inSweep = [&](int x, int y) {
        double a = angleOf(x + 0.5, y + 0.5) - a0;
        if (a < 0)
            a += 2 * std::numbers::pi;
        return a <= sweep + 1e-9;
    };
    // Chord: the side of the chord line away from the centre... the pixels
    // on the arc's side of the line through the two arc ends.
    double ex0 = 0, ey0 = 0, ex1 = 0, ey1 = 0;
    Shape shape = RoundShape(box, static_cast<long long>(box.right) - box.left,
                             static_cast<long long>(box.bottom) - box.top, t.box.top - 1LL, t.box.bottom + 1LL);
    auto boundary = [&](double a, double& bx, double& by) {
        // The last shape pixel along the ray from the centre at angle a.
        double dx = std::cos(a), dy = -std::sin(a);
        double step = 0.25;
        double px = cx, py = cy;
        bx = std::floor(cx);
        by = std::floor(cy);
        for (int i = 0; i < 1 << 20; ++i) {
            px += dx * step;
            py += dy * step;
            int ix = static_cast<int>(std::floor(px)), iy = static_cast<int>(std::floor(py));
            if (!shape.Inside(ix, iy))
                break;
            bx = ix;
            by = iy;
        }
    };
    boundary(a0, ex0, ey0);
    boundary(a0 + sweep, ex1, ey1);
    auto chordSide = [&](int x, int y) {
        // Cross product sign relative to the chord from end to start.
        double px = x + 0.5, py = y + 0.5;
        double c = (ex0 - ex1) * (py - (ey1 + 0.5)) - (ey0 - ey1) * (px - (ex1 + 0.5));
        return c <= 0;
    };
    std::function<bool(int, int)> keep;
    if (kind == ArcKind::Chord)
        keep = [&](int x, int y) { return chordSide(x, y); };
    else
        keep = inSweep;
    PenStroke pen = PenOf(*dc);
    if (kind == ArcKind::Arc) {
        Paint none;
        DrawShape(t, shape, none, dc->st.rop2, pen, keep);
        return TRUE;
    }
    DrawShape(t, shape, BrushPaint(*dc, dc->st.brush), dc->st.rop2, pen, keep);
    int c0x = static_cast<int>(std::floor(cx)), c0y = static_cast<int>(std::floor(cy));
    if (kind == ArcKind::Pie) {
        StrokeLine(t, pen, c0x, c0y, static_cast<int>(ex0), static_cast<int>(ey0), true);
        StrokeLine(t, pen, c0x, c0y, static_cast<int>(ex1), static_cast<int>(ey1), true);
    } else {
        StrokeLine(t, pen, static_cast<int>(ex0), static_cast<int>(ey0), static_cast<int>(ex1), static_cast<int>(ey1),
                   true);
    }
    return TRUE;
}

} // namespace

BOOL Arc(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(dc, l, t, r, b, xs, ys, xe, ye, ArcKind::Arc);
}
BOOL Pie(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(dc, l, t, r, b, xs, ys, xe, ye, ArcKind::Pie);
}
BOOL Chord(HDC dc, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(dc, l, t, r, b, xs, ys, xe, ye, ArcKind::Chord);
}

// --- Paths -------------------------------------------------------------------

BOOL BeginPath(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    dc->path.clear();
    dc->pathOpen = true;
    dc->pathReady = false;
    return TRUE;
}

BOOL EndPath(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !dc->pathOpen)
        return FALSE;
    dc->pathOpen = false;
    dc->pathReady = true;
    return TRUE;
}

BOOL AbortPath(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc)
        return FALSE;
    dc->path.clear();
    dc->pathOpen = dc->pathReady = false;
    return TRUE;
}

namespace {

// The region of the path's figures (device coordinates), by pixel centres.
Region PathRegion(DCObj& dc)
{
    std::vector<std::vector<POINT>> polys;
    for (const PathFigure& f : dc.path) {
        if (f.points.size() < 2)
            continue;
        std::vector<POINT> pts;
        for (const POINT& p : f.points)
            pts.push_back(ToDevice(dc, p.x, p.y));
        polys.push_back(pts);
    }
    return PolygonRegion(polys, dc.st.polyFillMode);
}

} // namespace

BOOL WidenPath(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !dc->pathReady)
        return FALSE;
    // Each segment becomes a quadrilateral as wide as the pen.
    PenObj* pen = LookupPen(dc->st.pen);
    double half = std::max(1, pen ? pen->width : 1) / 2.0;
    std::vector<PathFigure> widened;
    for (const PathFigure& f : dc->path) {
        size_t n = f.points.size();
        size_t segs = f.closed ? n : (n ? n - 1 : 0);
        for (size_t i = 0; i < segs; ++i) {
            POINT a = f.points[i], b = f.points[(i + 1) % n];
            double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
            if (len == 0)
                continue;
            double nx = -dy / len * half, ny = dx / len * half;
            auto P = [](double x, double y) { return POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))}; };
            widened.push_back(PathFigure{{P(a.x + nx, a.y + ny), P(b.x + nx, b.y + ny), P(b.x - nx, b.y - ny),
                                          P(a.x - nx, a.y - ny)},
                                         true});
        }
    }
    dc->path = std::move(widened);
    return TRUE;
}

HRGN PathToRegion(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !dc->pathReady)
        return nullptr;
    auto r = std::make_unique<RegionObj>();
    r->kind = ObjKind::Region;
    r->region = PathRegion(*dc);
    dc->path.clear();
    dc->pathReady = false;
    return static_cast<HRGN>(Register(std::move(r)));
}

BOOL FillPath(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !dc->pathReady)
        return FALSE;
    Region region = PathRegion(*dc);
    dc->path.clear();
    dc->pathReady = false;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    region.Offset(dc->deviceOrigin.x, dc->deviceOrigin.y);
    FillRegionOn(t, region, BrushPaint(*dc, dc->st.brush), dc->st.rop2);
    return TRUE;
}

BOOL StrokePath(HDC handle)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !dc->pathReady)
        return FALSE;
    std::vector<PathFigure> figures = std::move(dc->path);
    dc->path.clear();
    dc->pathReady = false;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    PenStroke pen = PenOf(*dc);
    for (const PathFigure& f : figures) {
        auto pts = ToSurfacePoints(*dc, f.points.data(), static_cast<int>(f.points.size()));
        if (f.closed) {
            StrokeClosed(t, pen, pts);
        } else {
            for (size_t i = 0; i + 1 < pts.size(); ++i)
                StrokeLine(t, pen, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, false);
        }
    }
    return TRUE;
}
