// Region objects and region drawing.
#include "platform/graphics/raster.h"

#include <algorithm>

using namespace quelvo::gfx;

namespace {

HRGN NewRegion(Region region)
{
    auto r = std::make_unique<RegionObj>();
    r->kind = ObjKind::Region;
    r->region = std::move(region);
    return static_cast<HRGN>(Register(std::move(r)));
}

RECT Normal(int l, int t, int r, int b)
{
    return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

// Region in logical coordinates to surface coordinates of the DC.
Region OnSurface(const DCObj& dc, const Region& region)
{
    Region r(region);
    POINT o = ToSurface(dc, 0, 0);
    r.Offset(o.x, o.y);
    return r;
}

} // namespace

namespace quelvo::gfx {

std::vector<RECT> RegionRects(HRGN region)
{
    RegionObj* o = LookupRgn(region);
    return o ? o->region.RectList() : std::vector<RECT>{};
}

} // namespace quelvo::gfx

HRGN CreateRectRgn(int l, int t, int r, int b) { return NewRegion(Region(Normal(l, t, r, b))); }

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h)
{
    return NewRegion(RoundRegion(Normal(l, t, r, b), std::abs(static_cast<long long>(w)), std::abs(static_cast<long long>(h))));
}

HRGN CreateEllipticRgn(int l, int t, int r, int b)
{
    RECT box = Normal(l, t, r, b);
    return NewRegion(RoundRegion(box, static_cast<long long>(box.right) - box.left, static_cast<long long>(box.bottom) - box.top));
}

HRGN CreateEllipticRgnIndirect(const RECT* rect)
{
    return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (!points || count < 0 || (fillMode != ALTERNATE && fillMode != WINDING))
        return nullptr;
    if (count < 3)
        return NewRegion(Region());
    return NewRegion(PolygonRegion({std::vector<POINT>(points, points + count)}, fillMode));
}

BOOL SetRectRgn(HRGN region, int l, int t, int r, int b)
{
    RegionObj* o = LookupRgn(region);
    if (!o)
        return FALSE;
    o->region.SetRect(Normal(l, t, r, b));
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode)
{
    RegionObj* d = LookupRgn(dest);
    RegionObj* a = LookupRgn(src1);
    if (!d || !a)
        return ERROR;
    if (mode == RGN_COPY) {
        d->region = a->region;
        return d->region.Complexity();
    }
    RegionObj* b = LookupRgn(src2);
    if (!b)
        return ERROR;
    Region result(a->region);
    switch (mode) {
    case RGN_AND: result.Intersect(b->region); break;
    case RGN_OR: result.Union(b->region); break;
    case RGN_XOR: result.Xor(b->region); break;
    case RGN_DIFF: result.Subtract(b->region); break;
    default: return ERROR;
    }
    d->region = std::move(result);
    return d->region.Complexity();
}

int OffsetRgn(HRGN region, int dx, int dy)
{
    RegionObj* o = LookupRgn(region);
    if (!o)
        return ERROR;
    o->region.Offset(dx, dy);
    return o->region.Complexity();
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    RegionObj* x = LookupRgn(a);
    RegionObj* y = LookupRgn(b);
    if (!x || !y)
        return ERROR;
    return x->region.Equals(y->region) ? TRUE : FALSE;
}

BOOL PtInRegion(HRGN region, int x, int y)
{
    RegionObj* o = LookupRgn(region);
    return o && o->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN region, const RECT* rect)
{
    RegionObj* o = LookupRgn(region);
    if (!o || !rect)
        return FALSE;
    return o->region.Overlaps(Normal(rect->left, rect->top, rect->right, rect->bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, LPRECT rect)
{
    RegionObj* o = LookupRgn(region);
    if (!o || !rect)
        return ERROR;
    *rect = o->region.Bounds();
    return o->region.Complexity();
}

namespace {

BOOL PaintRegion(HDC handle, HRGN region, HGDIOBJ brush, bool invert)
{
    DCObj* dc = LookupDC(handle);
    RegionObj* r = LookupRgn(region);
    if (!dc || !r)
        return FALSE;
    if (!invert && !ResolveBrush(static_cast<HBRUSH>(brush)))
        return FALSE;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    Region s = OnSurface(*dc, r->region);
    if (invert)
        FillRegionOn(t, s, SolidPaint(0), R2_NOT);
    else
        FillRegionOn(t, s, BrushPaint(*dc, brush), R2_COPYPEN);
    return TRUE;
}

} // namespace

BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush) { return PaintRegion(dc, region, brush, false); }
BOOL InvertRgn(HDC dc, HRGN region) { return PaintRegion(dc, region, nullptr, true); }

BOOL PaintRgn(HDC handle, HRGN region)
{
    DCObj* dc = LookupDC(handle);
    return dc ? PaintRegion(handle, region, dc->st.brush, false) : FALSE;
}

BOOL FrameRgn(HDC handle, HRGN region, HBRUSH brush, int width, int height)
{
    DCObj* dc = LookupDC(handle);
    RegionObj* r = LookupRgn(region);
    if (!dc || !r || !ResolveBrush(brush) || width < 0 || height < 0)
        return FALSE;
    // The frame is the region less the region shrunk by width and height.
    Region inner(r->region);
    const int offsets[4][2] = {{width, 0}, {-width, 0}, {0, height}, {0, -height}};
    for (const auto& o : offsets) {
        Region shifted(r->region);
        shifted.Offset(o[0], o[1]);
        inner.Intersect(shifted);
    }
    Region frame(r->region);
    frame.Subtract(inner);
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    FillRegionOn(t, OnSurface(*dc, frame), BrushPaint(*dc, brush), R2_COPYPEN);
    return TRUE;
}
