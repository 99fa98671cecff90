#include "platform/graphics/region.h"

#include "platform/graphics/wingdi.h"

#include <utility>

namespace quelvo::gfx {

namespace {
bool Valid(const RECT& r) { return r.left < r.right && r.top < r.bottom; }
} // namespace

Region::Region() { pixman_region32_init(&r_); }

Region::Region(const RECT& r)
{
    if (Valid(r))
        pixman_region32_init_rect(&r_, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                                  static_cast<unsigned>(r.bottom - r.top));
    else
        pixman_region32_init(&r_);
}

Region::Region(const Region& other)
{
    pixman_region32_init(&r_);
    pixman_region32_copy(&r_, &other.r_);
}

Region& Region::operator=(const Region& other)
{
    if (this != &other)
        pixman_region32_copy(&r_, &other.r_);
    return *this;
}

Region::Region(Region&& other) noexcept
{
    pixman_region32_init(&r_);
    pixman_region32_copy(&r_, &other.r_);
}

Region& Region::operator=(Region&& other) noexcept
{
    if (this != &other)
        pixman_region32_copy(&r_, &other.r_);
    return *this;
}

Region::~Region() { pixman_region32_fini(&r_); }

Region Region::FromRects(const std::vector<RECT>& rects)
{
    Region result;
    for (const RECT& r : rects)
        result.Union(r);
    return result;
}

void Region::SetRect(const RECT& r)
{
    pixman_region32_fini(&r_);
    if (Valid(r))
        pixman_region32_init_rect(&r_, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                                  static_cast<unsigned>(r.bottom - r.top));
    else
        pixman_region32_init(&r_);
}

void Region::SetEmpty()
{
    pixman_region32_clear(&r_);
}

void Region::Offset(int dx, int dy) { pixman_region32_translate(&r_, dx, dy); }

void Region::Intersect(const Region& other) { pixman_region32_intersect(&r_, &r_, &other.r_); }

void Region::Intersect(const RECT& r)
{
    if (!Valid(r)) {
        SetEmpty();
        return;
    }
    pixman_region32_intersect_rect(&r_, &r_, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                                   static_cast<unsigned>(r.bottom - r.top));
}

void Region::Union(const Region& other) { pixman_region32_union(&r_, &r_, &other.r_); }

void Region::Union(const RECT& r)
{
    if (Valid(r))
        pixman_region32_union_rect(&r_, &r_, r.left, r.top, static_cast<unsigned>(r.right - r.left),
                                   static_cast<unsigned>(r.bottom - r.top));
}

void Region::Subtract(const Region& other) { pixman_region32_subtract(&r_, &r_, &other.r_); }

void Region::Xor(const Region& other)
{
    Region a(*this);
    a.Subtract(other);
    Region b(other);
    b.Subtract(*this);
    a.Union(b);
    *this = a;
}

bool Region::Empty() const { return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(&r_)); }

bool Region::Contains(int x, int y) const
{
    return pixman_region32_contains_point(const_cast<pixman_region32_t*>(&r_), x, y, nullptr);
}

bool Region::Overlaps(const RECT& r) const
{
    if (!Valid(r))
        return false;
    pixman_box32_t box{r.left, r.top, r.right, r.bottom};
    return pixman_region32_contains_rectangle(const_cast<pixman_region32_t*>(&r_), &box) != PIXMAN_REGION_OUT;
}

bool Region::Equals(const Region& other) const
{
    if (Empty() || other.Empty())
        return Empty() && other.Empty();
    return pixman_region32_equal(const_cast<pixman_region32_t*>(&r_), const_cast<pixman_region32_t*>(&other.r_));
}

RECT Region::Bounds() const
{
    if (Empty())
        return RECT{};
    const pixman_box32_t* b = pixman_region32_extents(const_cast<pixman_region32_t*>(&r_));
    return RECT{b->x1, b->y1, b->x2, b->y2};
}

int Region::Complexity() const
{
    int n = RectCount();
    return n == 0 ? NULLREGION : (n == 1 ? SIMPLEREGION : COMPLEXREGION);
}

int Region::RectCount() const
{
    return Empty() ? 0 : pixman_region32_n_rects(const_cast<pixman_region32_t*>(&r_));
}

const pixman_box32_t* Region::Rects(int& count) const
{
    if (Empty()) {
        count = 0;
        return nullptr;
    }
    return pixman_region32_rectangles(const_cast<pixman_region32_t*>(&r_), &count);
}

std::vector<RECT> Region::RectList() const
{
    int n = 0;
    const pixman_box32_t* boxes = Rects(n);
    std::vector<RECT> out;
    out.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out.push_back(RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    return out;
}

} // namespace quelvo::gfx
