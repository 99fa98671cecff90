#include "platform/graphics/region.h"

#include "platform/graphics/wingdi.h"

#include <utility>

namespace quelvo::gfx {

namespace {

bool Valid(const RECT& r) { return r.left < r.right && r.top < r.bottom; }

// Coordinates are kept within +-2^30, far beyond any surface, so neither our
// arithmetic nor pixman's can overflow.
constexpr long long kLimit = 1LL << 30;
int Clamp(long long v) { return static_cast<int>(v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v)); }

pixman_box32_t Box(const RECT& r) { return pixman_box32_t{Clamp(r.left), Clamp(r.top), Clamp(r.right), Clamp(r.bottom)}; }

// (Re)initialises `region` as the rectangle, or empty.
void InitRect(pixman_region32_t* region, const RECT& r)
{
    pixman_box32_t b = Box(r);
    if (b.x1 < b.x2 && b.y1 < b.y2)
        pixman_region32_init_rects(region, &b, 1);
    else
        pixman_region32_init(region);
}

} // namespace

Region::Region() { pixman_region32_init(&r_); }

Region::Region(const RECT& r) { InitRect(&r_, r); }

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
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(rects.size());
    for (const RECT& r : rects)
        if (pixman_box32_t b = Box(r); b.x1 < b.x2 && b.y1 < b.y2)
            boxes.push_back(b);
    Region result;
    if (boxes.empty())
        return result;
    pixman_region32_fini(&result.r_);
    // Builds and normalises in one pass (overlaps are allowed).
    pixman_region32_init_rects(&result.r_, boxes.data(), static_cast<int>(boxes.size()));
    return result;
}

void Region::SetRect(const RECT& r)
{
    pixman_region32_fini(&r_);
    InitRect(&r_, r);
}

void Region::SetEmpty()
{
    pixman_region32_clear(&r_);
}

void Region::Offset(int dx, int dy)
{
    if (Empty())
        return;
    // Moving past the limits keeps the region's size and clips what leaves.
    RECT b = Bounds();
    int cx = Clamp(static_cast<long long>(b.left) + dx) - b.left;
    int cy = Clamp(static_cast<long long>(b.top) + dy) - b.top;
    pixman_region32_translate(&r_, cx, cy);
    if (cx != dx || cy != dy) {
        Region all(RECT{static_cast<LONG>(-kLimit), static_cast<LONG>(-kLimit), static_cast<LONG>(kLimit),
                        static_cast<LONG>(kLimit)});
        Intersect(all);
    }
}

void Region::Intersect(const Region& other) { pixman_region32_intersect(&r_, &r_, &other.r_); }

void Region::Intersect(const RECT& r)
{
    Region other(r);
    Intersect(other);
}

void Region::Union(const Region& other) { pixman_region32_union(&r_, &r_, &other.r_); }

void Region::Union(const RECT& r)
{
    if (Valid(r)) {
        Region other(r);
        Union(other);
    }
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
    pixman_box32_t box = Box(r);
    if (box.x1 >= box.x2 || box.y1 >= box.y2)
        return false;
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
