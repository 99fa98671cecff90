// user32 drawing: rectangle helpers, system colours, fills, 3-D edges,
// frame controls, focus rectangles and the system check-box bitmap.
#include "platform/graphics/raster.h"

#include <algorithm>
#include <functional>
#include <cstring>

using namespace quelvo::gfx;

// --- Rectangle helpers -------------------------------------------------------

BOOL SetRect(LPRECT r, int l, int t, int rt, int b)
{
    if (!r)
        return FALSE;
    *r = RECT{l, t, rt, b};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT r) { return SetRect(r, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT d, const RECT* s)
{
    if (!d || !s)
        return FALSE;
    *d = *s;
    return TRUE;
}

// Both saturate at the 32-bit limits rather than wrap.
BOOL InflateRect(LPRECT r, int dx, int dy)
{
    if (!r)
        return FALSE;
    *r = RECT{Saturate(static_cast<long long>(r->left) - dx), Saturate(static_cast<long long>(r->top) - dy),
              Saturate(static_cast<long long>(r->right) + dx), Saturate(static_cast<long long>(r->bottom) + dy)};
    return TRUE;
}

BOOL OffsetRect(LPRECT r, int dx, int dy)
{
    if (!r)
        return FALSE;
    *r = RECT{Saturate(static_cast<long long>(r->left) + dx), Saturate(static_cast<long long>(r->top) + dy),
              Saturate(static_cast<long long>(r->right) + dx), Saturate(static_cast<long long>(r->bottom) + dy)};
    return TRUE;
}

BOOL IsRectEmpty(const RECT* r) { return !r || r->left >= r->right || r->top >= r->bottom; }

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* r, POINT p)
{
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}

BOOL IntersectRect(LPRECT d, const RECT* a, const RECT* b)
{
    if (!d || !a || !b)
        return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        *d = RECT{};
        return FALSE;
    }
    *d = r;
    return TRUE;
}

BOOL UnionRect(LPRECT d, const RECT* a, const RECT* b)
{
    if (!d || !a || !b)
        return FALSE;
    bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        *d = RECT{};
        return FALSE;
    }
    if (ea) {
        *d = *b;
        return TRUE;
    }
    if (eb) {
        *d = *a;
        return TRUE;
    }
    *d = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
              std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL SubtractRect(LPRECT d, const RECT* a, const RECT* b)
{
    if (!d || !a || !b)
        return FALSE;
    RECT r = *a;
    RECT i;
    if (IntersectRect(&i, a, b)) {
        // Only a cut that spans a whole side shrinks the rectangle.
        if (i.top == r.top && i.bottom == r.bottom) {
            if (i.left == r.left)
                r.left = i.right;
            else if (i.right == r.right)
                r.right = i.left;
        } else if (i.left == r.left && i.right == r.right) {
            if (i.top == r.top)
                r.top = i.bottom;
            else if (i.bottom == r.bottom)
                r.bottom = i.top;
        }
    }
    *d = r;
    if (IsRectEmpty(&r)) {
        *d = RECT{};
        return FALSE;
    }
    return TRUE;
}

// --- System colours ----------------------------------------------------------

namespace {

constexpr COLORREF kDefaultSysColors[SYS_COLOR_COUNT] = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165),  // desktop
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // 3-D dark shadow
    RGB(212, 208, 200), // 3-D light
    RGB(0, 0, 0),       // tooltip text
    RGB(255, 255, 225), // tooltip background
    RGB(181, 181, 181), // (unused index 25)
    RGB(0, 0, 128),     // hot-tracked item
    RGB(166, 202, 240), // active caption gradient
    RGB(192, 192, 192), // inactive caption gradient
    RGB(10, 36, 106),   // menu highlight
    RGB(212, 208, 200), // menu bar
};

struct SysColors {
    COLORREF colors[SYS_COLOR_COUNT];
    HBRUSH brushes[SYS_COLOR_COUNT] = {};
    SysColors()
    {
        std::memcpy(colors, kDefaultSysColors, sizeof(colors));
        for (int i = 0; i < SYS_COLOR_COUNT; ++i) {
            auto b = std::make_unique<BrushObj>();
            b->kind = ObjKind::Brush;
            b->stock = true;
            b->style = BS_SOLID;
            b->color = colors[i];
            b->sysColorIndex = i;
            brushes[i] = static_cast<HBRUSH>(Register(std::move(b)));
        }
    }
};

SysColors& Sys()
{
    static SysColors sys;
    return sys;
}

std::function<void()>& SysColorListener()
{
    static std::function<void()> listener;
    return listener;
}

void PutSysColors(int count, const INT* elements, const COLORREF* values)
{
    for (int i = 0; i < count; ++i) {
        int e = elements[i];
        if (e < 0 || e >= SYS_COLOR_COUNT)
            continue;
        Sys().colors[e] = values[i] & 0xFFFFFF;
        if (BrushObj* b = LookupBrush(Sys().brushes[e]))
            b->color = values[i] & 0xFFFFFF;
    }
    if (SysColorListener())
        SysColorListener()();
}

} // namespace

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= SYS_COLOR_COUNT)
        return 0;
    return Sys().colors[index];
}

HBRUSH GetSysColorBrush(int index)
{
    if (index < 0 || index >= SYS_COLOR_COUNT)
        return nullptr;
    return Sys().brushes[index];
}

BOOL SetSysColors(int count, const INT* elements, const COLORREF* values)
{
    if (count < 0 || (count > 0 && (!elements || !values)))
        return FALSE;
    PutSysColors(count, elements, values);
    return TRUE;
}

namespace quelvo::gfx {

void ResetSysColors()
{
    INT elements[SYS_COLOR_COUNT];
    for (int i = 0; i < SYS_COLOR_COUNT; ++i)
        elements[i] = i;
    PutSysColors(SYS_COLOR_COUNT, elements, kDefaultSysColors);
}

void SetSysColorChangeListener(std::function<void()> listener) { SysColorListener() = std::move(listener); }

BrushObj* ResolveBrush(HBRUSH brush)
{
    auto v = reinterpret_cast<std::uintptr_t>(brush);
    if (v >= 1 && v <= static_cast<std::uintptr_t>(SYS_COLOR_COUNT))
        return LookupBrush(GetSysColorBrush(static_cast<int>(v - 1)));
    return LookupBrush(brush);
}

} // namespace quelvo::gfx

// --- Fills -------------------------------------------------------------------

namespace {

RECT SurfaceRect(const DCObj& dc, const RECT& r)
{
    POINT a = ToSurface(dc, r.left, r.top), b = ToSurface(dc, r.right, r.bottom);
    return RECT{a.x, a.y, b.x, b.y};
}

// Fills a logical rectangle with a paint and a raster operation.
void FillLogical(DCObj& dc, const Target& t, const RECT& r, const Paint& p, int rop2)
{
    RECT s = SurfaceRect(dc, r);
    if (s.left >= s.right || s.top >= s.bottom)
        return;
    FillRectOn(t, s, p, rop2);
}

Paint SysPaint(DCObj& dc, int index) { return SolidPaint(TargetPixel(dc, GetSysColor(index))); }

// A one-pixel solid line between two logical points, both ends drawn.
void SolidLine(DCObj& dc, const Target& t, COLORREF color, int x0, int y0, int x1, int y1)
{
    PenStroke pen;
    pen.null = false;
    pen.color = TargetPixel(dc, color);
    POINT a = ToSurface(dc, x0, y0), b = ToSurface(dc, x1, y1);
    StrokeLine(t, pen, a.x, a.y, b.x, b.y, true);
}

} // namespace

int FillRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    DCObj* dc = LookupDC(handle);
    BrushObj* b = ResolveBrush(brush);
    if (!dc || !rect || !b)
        return 0;
    const RECT bound = SurfaceRect(*dc, *rect);
    Target t;
    if (t.Open(*dc, &bound))
        FillLogical(*dc, t, *rect, BrushPaint(*dc, brush), R2_COPYPEN);
    return 1;
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect || !ResolveBrush(brush))
        return 0;
    const RECT& r = *rect;
    if (r.left >= r.right || r.top >= r.bottom)
        return 1;
    Target t;
    if (!t.Open(*dc))
        return 1;
    Paint p = BrushPaint(*dc, brush);
    FillLogical(*dc, t, RECT{r.left, r.top, r.right, r.top + 1}, p, R2_COPYPEN);
    FillLogical(*dc, t, RECT{r.left, r.bottom - 1, r.right, r.bottom}, p, R2_COPYPEN);
    FillLogical(*dc, t, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, p, R2_COPYPEN);
    FillLogical(*dc, t, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, p, R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC handle, const RECT* rect)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect)
        return FALSE;
    Target t;
    if (t.Open(*dc))
        FillLogical(*dc, t, *rect, SolidPaint(0), R2_NOT);
    return TRUE;
}

BOOL DrawFocusRect(HDC handle, const RECT* rect)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect)
        return FALSE;
    const RECT& r = *rect;
    if (r.left >= r.right || r.top >= r.bottom)
        return TRUE;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    // A one-pixel checkerboard XORed in: pixels where x + y (device) is even
    // take the background colour, the others the text colour; with the usual
    // black text on white that inverts every other pixel.
    Paint p;
    p.kind = Paint::Kind::Pattern;
    p.orgX = dc->deviceOrigin.x;
    p.orgY = dc->deviceOrigin.y;
    Pixel one = TargetPixel(*dc, dc->st.bkColor), zero = TargetPixel(*dc, dc->st.textColor);
    for (int i = 0; i < 64; ++i) {
        p.pattern[static_cast<size_t>(i)] = ((i / 8 + i % 8) % 2 == 0) ? one : zero;
        p.on[static_cast<size_t>(i)] = true;
    }
    FillLogical(*dc, t, RECT{r.left, r.top, r.right, r.top + 1}, p, R2_XORPEN);
    if (r.bottom - 1LL > r.top)
        FillLogical(*dc, t, RECT{r.left, r.bottom - 1, r.right, r.bottom}, p, R2_XORPEN);
    FillLogical(*dc, t, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, p, R2_XORPEN);
    if (r.right - 1LL > r.left)
        FillLogical(*dc, t, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, p, R2_XORPEN);
    return TRUE;
}

// --- DrawEdge ------------------------------------------------------------------

namespace {

// One ring: left column and top row in `tl`, right column and bottom row in
// `br`; the top-right and bottom-left corners belong to `br`.
void Ring(DCObj& dc, const Target& t, const RECT& r, UINT sides, int tl, int br)
{
    if (r.left >= r.right || r.top >= r.bottom)
        return;
    Paint a = SysPaint(dc, tl), b = SysPaint(dc, br);
    if (sides & BF_TOP)
        FillLogical(dc, t, RECT{r.left, r.top, r.right - 1, r.top + 1}, a, R2_COPYPEN);
    if (sides & BF_LEFT)
        FillLogical(dc, t, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, a, R2_COPYPEN);
    if (sides & BF_BOTTOM)
        FillLogical(dc, t, RECT{r.left, r.bottom - 1, r.right, r.bottom}, b, R2_COPYPEN);
    if (sides & BF_RIGHT)
        FillLogical(dc, t, RECT{r.right - 1, r.top, r.right, r.bottom}, b, R2_COPYPEN);
}

RECT Shrink(const RECT& r, UINT sides)
{
    RECT o = r;
    if (sides & BF_LEFT)
        o.left = Saturate(o.left + 1LL);
    if (sides & BF_TOP)
        o.top = Saturate(o.top + 1LL);
    if (sides & BF_RIGHT)
        o.right = Saturate(o.right - 1LL);
    if (sides & BF_BOTTOM)
        o.bottom = Saturate(o.bottom - 1LL);
    return o;
}

void Diagonal(DCObj& dc, const Target& t, const RECT& r, UINT edge, UINT flags)
{
    // A line across the box from the start corner to the end corner.
    int x0, y0, x1, y1;
    switch (flags & BF_RECT) {
    case BF_TOP | BF_RIGHT: x0 = r.left; y0 = r.bottom - 1; x1 = r.right - 1; y1 = r.top; break;
    case BF_TOP | BF_LEFT: x0 = r.right - 1; y0 = r.bottom - 1; x1 = r.left; y1 = r.top; break;
    case BF_BOTTOM | BF_LEFT: x0 = r.right - 1; y0 = r.top; x1 = r.left; y1 = r.bottom - 1; break;
    default: x0 = r.left; y0 = r.top; x1 = r.right - 1; y1 = r.bottom - 1; break;
    }
    SolidLine(dc, t, GetSysColor((edge & BDR_SUNKENOUTER) ? COLOR_3DSHADOW : COLOR_3DDKSHADOW), x0, y0, x1, y1);
}

} // namespace

BOOL DrawEdge(HDC handle, LPRECT rect, UINT edge, UINT flags)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect || !SaneRect(*rect))
        return FALSE;
    Target t;
    bool can = t.Open(*dc);
    RECT r = *rect;
    UINT sides = flags & BF_RECT;
    if (flags & BF_DIAGONAL) {
        if (can)
            Diagonal(*dc, t, r, edge, flags);
        return TRUE;
    }
    int outerTL = -1, outerBR = -1, innerTL = -1, innerBR = -1;
    if (flags & BF_MONO) {
        if (edge & BDR_OUTER)
            outerTL = outerBR = COLOR_WINDOWFRAME;
        if (edge & BDR_INNER)
            innerTL = innerBR = COLOR_WINDOW;
    } else if (flags & BF_FLAT) {
        if (edge & BDR_OUTER)
            outerTL = outerBR = COLOR_BTNSHADOW;
        if (edge & BDR_INNER)
            innerTL = innerBR = COLOR_BTNFACE;
    } else {
        bool soft = (flags & BF_SOFT) != 0;
        if (edge & BDR_RAISEDOUTER) {
            outerTL = soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT;
            outerBR = COLOR_3DDKSHADOW;
        } else if (edge & BDR_SUNKENOUTER) {
            outerTL = soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW;
            outerBR = COLOR_BTNHIGHLIGHT;
        }
        if (edge & BDR_RAISEDINNER) {
            innerTL = soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT;
            innerBR = COLOR_BTNSHADOW;
        } else if (edge & BDR_SUNKENINNER) {
            innerTL = soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW;
            innerBR = COLOR_3DLIGHT;
        }
    }
    if (outerTL >= 0) {
        if (can)
            Ring(*dc, t, r, sides, outerTL, outerBR);
        r = Shrink(r, sides);
    }
    if (innerTL >= 0) {
        if (can)
            Ring(*dc, t, r, sides, innerTL, innerBR);
        r = Shrink(r, sides);
    }
    if ((flags & BF_MIDDLE) && can)
        FillLogical(*dc, t, r, SysPaint(*dc, (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE), R2_COPYPEN);
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

// --- Frame controls --------------------------------------------------------------

namespace {

// The check mark drawn in a 13 x 13 box, 7 x 7 pixels at (3, 3).
constexpr const char* kCheckMark[7] = {
    "......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#....",
};

void Glyph(DCObj& dc, const Target& t, int x, int y, const char* const* rows, int count, COLORREF color)
{
    Paint p = SolidPaint(TargetPixel(dc, color));
    for (int i = 0; i < count; ++i)
        for (int j = 0; rows[i][j]; ++j)
            if (rows[i][j] == '#')
                FillLogical(dc, t, RECT{x + j, y + i, x + j + 1, y + i + 1}, p, R2_COPYPEN);
}

RECT SquareIn(const RECT& r, int size)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    int s = std::min({w, h, size});
    int x = r.left + (w - s) / 2, y = r.top + (h - s) / 2;
    return RECT{x, y, x + s, y + s};
}

void CheckBox(DCObj& dc, const Target& t, const RECT& r, UINT state)
{
    RECT box = SquareIn(r, 13);
    bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED;
    RECT inner = box;
    if (state & (DFCS_FLAT | DFCS_MONO)) {
        Paint frame = SysPaint(dc, (state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
        FillLogical(dc, t, RECT{box.left, box.top, box.right, box.top + 1}, frame, R2_COPYPEN);
        FillLogical(dc, t, RECT{box.left, box.bottom - 1, box.right, box.bottom}, frame, R2_COPYPEN);
        FillLogical(dc, t, RECT{box.left, box.top, box.left + 1, box.bottom}, frame, R2_COPYPEN);
        FillLogical(dc, t, RECT{box.right - 1, box.top, box.right, box.bottom}, frame, R2_COPYPEN);
        inner = RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
    } else {
        Ring(dc, t, inner, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        inner = Shrink(inner, BF_RECT);
        Ring(dc, t, inner, BF_RECT, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
        inner = Shrink(inner, BF_RECT);
    }
    bool grey = inactive || pushed || ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED));
    FillLogical(dc, t, inner, SysPaint(dc, grey ? COLOR_BTNFACE : COLOR_WINDOW), R2_COPYPEN);
    if (state & DFCS_CHECKED) {
        int color = inactive || (state & DFCS_BUTTON3STATE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
        int ox = box.left + (box.right - box.left - 7) / 2, oy = box.top + (box.bottom - box.top - 7) / 2;
        Glyph(dc, t, ox, oy, kCheckMark, 7, GetSysColor(color));
    }
}

void RadioButton(DCObj& dc, const Target& t, const RECT& r, UINT state)
{
    RECT box = SquareIn(r, 12);
    RECT s = SurfaceRect(dc, box);
    int size = s.right - s.left;
    if (size <= 0)
        return;
    Region outer = RoundRegion(s, size, size);
    RECT innerBox{s.left + 1, s.top + 1, s.right - 1, s.bottom - 1};
    Region inner = RoundRegion(innerBox, size - 2, size - 2);
    RECT coreBox{s.left + 2, s.top + 2, s.right - 2, s.bottom - 2};
    Region core = RoundRegion(coreBox, size - 4, size - 4);
    UINT kind = state & 0xFF;
    if (kind == DFCS_BUTTONRADIOMASK) {
        // The mask: a black disc, everything else of the rectangle white.
        FillLogical(dc, t, r, SolidPaint(TargetPixel(dc, RGB(255, 255, 255))), R2_COPYPEN);
        FillRegionOn(t, outer, SolidPaint(0), R2_COPYPEN);
        return;
    }
    auto ring = [&](const Region& ringOuter, const Region& ringInner, const Paint& a, const Paint& c) {
        Region ringRgn(ringOuter);
        ringRgn.Subtract(ringInner);
        RECT b = ringOuter.Bounds();
        int diag = b.left + b.top + (b.right - b.left) - 1; // pixels with x + y below it are top-left
        for (const RECT& rr : ringRgn.RectList())
            for (int y = rr.top; y < rr.bottom; ++y)
                for (int x = rr.left; x < rr.right; ++x)
                    FillSpan(t, y, x, x + 1, x + y < diag ? a : c, R2_COPYPEN);
    };
    auto dot = [&](const Paint& paint) {
        int d = std::max(2, size / 3);
        RECT dotBox{s.left + (size - d) / 2, s.top + (size - d) / 2, 0, 0};
        dotBox.right = dotBox.left + d;
        dotBox.bottom = dotBox.top + d;
        FillRegionOn(t, RoundRegion(dotBox, d, d), paint, R2_COPYPEN);
    };
    if (kind == DFCS_BUTTONRADIOIMAGE) {
        // The image is monochrome whatever the palette: callers find the
        // dot by its black pixels on the white interior.
        Paint black = SolidPaint(TargetPixel(dc, RGB(0, 0, 0))), white = SolidPaint(TargetPixel(dc, RGB(255, 255, 255)));
        ring(outer, inner, black, black);
        FillRegionOn(t, inner, white, R2_COPYPEN);
        if (state & DFCS_CHECKED)
            dot(black);
        return;
    }
    if (state & (DFCS_FLAT | DFCS_MONO)) {
        // One ring in a single colour, the interior from the ring inwards.
        Paint c = SysPaint(dc, (state & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW);
        ring(outer, inner, c, c);
        core = inner;
    } else {
        ring(outer, inner, SysPaint(dc, COLOR_BTNSHADOW), SysPaint(dc, COLOR_BTNHIGHLIGHT));
        ring(inner, core, SysPaint(dc, COLOR_3DDKSHADOW), SysPaint(dc, COLOR_3DLIGHT));
    }
    bool grey = (state & DFCS_INACTIVE) || (state & DFCS_PUSHED);
    FillRegionOn(t, core, SysPaint(dc, grey ? COLOR_BTNFACE : COLOR_WINDOW), R2_COPYPEN);
    if (state & DFCS_CHECKED)
        dot(SysPaint(dc, (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
}

// A filled triangle of rows 1, 3, 5, ... pointing in a direction, centred.
// `rows` 0: sized from the rectangle (a quarter of its smaller side).
void Arrow(DCObj& dc, const Target& t, const RECT& r, int direction, COLORREF color, int rows = 0)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    if (rows <= 0)
        rows = std::max(1, (std::min(w, h) + 1) / 4);
    Paint p = SolidPaint(TargetPixel(dc, color));
    bool vertical = direction == 0 || direction == 1; // up, down
    int len = 2 * rows - 1;
    int cx = r.left + (w - (vertical ? len : rows)) / 2;
    int cy = r.top + (h - (vertical ? rows : len)) / 2;
    for (int i = 0; i < rows; ++i) {
        int half = i; // row i (from the tip) has 2i + 1 pixels
        RECT line{};
        switch (direction) {
        case 0: line = RECT{cx + rows - 1 - half, cy + i, cx + rows + half, cy + i + 1}; break;
        case 1: line = RECT{cx + rows - 1 - half, cy + rows - 1 - i, cx + rows + half, cy + rows - i}; break;
        case 2: line = RECT{cx + i, cy + rows - 1 - half, cx + i + 1, cy + rows + half}; break;
        default: line = RECT{cx + rows - 1 - i, cy + rows - 1 - half, cx + rows - i, cy + rows + half}; break;
        }
        FillLogical(dc, t, line, p, R2_COPYPEN);
    }
}

void ButtonFace(HDC handle, RECT& r, UINT state, bool soft)
{
    UINT edge = (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED;
    UINT flags = BF_RECT | BF_MIDDLE | BF_ADJUST | (soft ? BF_SOFT : 0);
    if (state & DFCS_FLAT)
        flags = BF_RECT | BF_MIDDLE | BF_ADJUST | BF_FLAT;
    if ((state & DFCS_PUSHED) && (state & DFCS_FLAT))
        edge = BDR_SUNKENOUTER;
    DrawEdge(handle, &r, edge, flags);
}

void ScrollControl(DCObj& dc, const Target& t, HDC handle, RECT r, UINT state)
{
    UINT kind = state & 0xFF;
    if (kind == DFCS_SCROLLSIZEGRIP) {
        FillLogical(dc, t, r, SysPaint(dc, COLOR_BTNFACE), R2_COPYPEN);
        int n = std::min(r.right - r.left, r.bottom - r.top);
        for (int k = 1; k + 3 <= n; k += 4)
            for (int j = 0; j < 3; ++j)
                SolidLine(dc, t, GetSysColor(j == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW), r.right - k - j,
                          r.bottom - 1, r.right - 1, r.bottom - k - j);
        return;
    }
    // The arrow is sized from the whole button: rows 1, 3, 5, 7 on 16 pixels.
    int rows = std::max(1, (std::min(r.right - r.left, r.bottom - r.top) + 1) / 4);
    ButtonFace(handle, r, state, false);
    if (state & DFCS_PUSHED)
        OffsetRect(&r, 1, 1);
    int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
    if (state & DFCS_INACTIVE) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        Arrow(dc, t, shadow, dir, GetSysColor(COLOR_BTNHIGHLIGHT), rows);
        Arrow(dc, t, r, dir, GetSysColor(COLOR_GRAYTEXT), rows);
    } else {
        Arrow(dc, t, r, dir, GetSysColor(COLOR_BTNTEXT), rows);
    }
}

void CaptionControl(DCObj& dc, const Target& t, HDC handle, RECT r, UINT state)
{
    ButtonFace(handle, r, state, false);
    if (state & DFCS_PUSHED)
        OffsetRect(&r, 1, 1);
    int w = r.right - r.left, h = r.bottom - r.top;
    int s = std::max(2, std::min(w, h) - 4);
    if (s % 2)
        --s;
    int x = r.left + (w - s) / 2, y = r.top + (h - s) / 2;
    COLORREF color = GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    UINT kind = state & 0xFF;
    auto line = [&](int x0, int y0, int x1, int y1) { SolidLine(dc, t, color, x0, y0, x1, y1); };
    Paint solid = SolidPaint(TargetPixel(dc, color));
    if (kind == DFCS_CAPTIONCLOSE) {
        // Two pixels thick diagonals.
        line(x, y, x + s - 2, y + s - 2);
        line(x + 1, y, x + s - 1, y + s - 2);
        line(x + s - 2, y, x, y + s - 2);
        line(x + s - 1, y, x + 1, y + s - 2);
    } else if (kind == DFCS_CAPTIONMIN) {
        FillLogical(dc, t, RECT{x, y + s - 2, x + s - 1, y + s}, solid, R2_COPYPEN);
    } else {
        FillLogical(dc, t, RECT{x, y, x + s, y + 2}, solid, R2_COPYPEN);
        line(x, y, x, y + s - 1);
        line(x + s - 1, y, x + s - 1, y + s - 1);
        line(x, y + s - 1, x + s - 1, y + s - 1);
    }
}

} // namespace

BOOL DrawFrameControl(HDC handle, LPRECT rect, UINT type, UINT state)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || !rect || !SaneRect(*rect))
        return FALSE;
    Target t;
    if (!t.Open(*dc))
        return TRUE;
    RECT r = *rect;
    switch (type) {
    case DFC_BUTTON: {
        UINT kind = state & 0xFF;
        if (kind & DFCS_BUTTONPUSH) {
            ButtonFace(handle, r, state, true);
            if (state & DFCS_ADJUSTRECT)
                *rect = r;
        } else if (kind & (DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK | DFCS_BUTTONRADIO)) {
            // The mask wins over the image, the image over the plain radio.
            UINT form = (kind & DFCS_BUTTONRADIOMASK) ? DFCS_BUTTONRADIOMASK
                        : (kind & DFCS_BUTTONRADIOIMAGE) ? DFCS_BUTTONRADIOIMAGE : kind;
            RadioButton(*dc, t, r, (state & ~0xFFu) | form);
        } else {
            CheckBox(*dc, t, r, state);
        }
        return TRUE;
    }
    case DFC_SCROLL: ScrollControl(*dc, t, handle, r, state); return TRUE;
    case DFC_CAPTION: CaptionControl(*dc, t, handle, r, state); return TRUE;
    case DFC_MENU: {
        UINT kind = state & 0xFF;
        FillLogical(*dc, t, r, SolidPaint(TargetPixel(*dc, RGB(255, 255, 255))), R2_COPYPEN);
        if (kind == DFCS_MENUCHECK) {
            Glyph(*dc, t, r.left + (r.right - r.left - 7) / 2, r.top + (r.bottom - r.top - 7) / 2, kCheckMark, 7, 0);
        } else if (kind == DFCS_MENUBULLET) {
            int d = std::max(2, std::min(r.right - r.left, r.bottom - r.top) / 3);
            RECT b{r.left + (r.right - r.left - d) / 2, r.top + (r.bottom - r.top - d) / 2, 0, 0};
            b.right = b.left + d;
            b.bottom = b.top + d;
            FillRegionOn(t, RoundRegion(SurfaceRect(*dc, b), d, d), SolidPaint(0), R2_COPYPEN);
        } else {
            Arrow(*dc, t, r, 3, 0);
        }
        return TRUE;
    }
    default: return FALSE;
    }
}

// --- System bitmaps ------------------------------------------------------------

HBITMAP LoadBitmapA(HINSTANCE instance, int id)
{
    if (instance != nullptr || id != OBM_CHECKBOXES) {
        if (instance == nullptr && id == OBM_CHECK) {
            HDC screen = CreateCompatibleDC(nullptr);
            HBITMAP bmp = CreateBitmap(13, 13, 1, 32, nullptr);
            HGDIOBJ old = SelectObject(screen, bmp);
            RECT all{0, 0, 13, 13};
            FillRect(screen, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            RECT cell{0, 0, 13, 13};
            DrawFrameControl(screen, &cell, DFC_MENU, DFCS_MENUCHECK);
            SelectObject(screen, old);
            DeleteDC(screen);
            return bmp;
        }
        return nullptr;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(52, 39, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, 52, 39};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            RECT cell{col * 13, row * 13, col * 13 + 13, row * 13 + 13};
            UINT state = row == 1 ? DFCS_BUTTONRADIO : (row == 2 ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
            if (col == 1 || col == 3)
                state |= DFCS_CHECKED;
            if (col >= 2)
                state |= DFCS_PUSHED;
            DrawFrameControl(dc, &cell, DFC_BUTTON, state);
        }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bmp;
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name)
{
    auto v = reinterpret_cast<std::uintptr_t>(name);
    if (v >> 16)
        return nullptr; // named bitmap resources do not exist here
    return LoadBitmapA(instance, static_cast<int>(v));
}
