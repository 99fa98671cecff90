#pragma once
// A set of pixels as a list of bands of rectangles (pixman's region32).
// Internal to the graphics layer; callers use HRGN.

#include "platform/system/wintypes.h"

#include <pixman.h>

#include <vector>

namespace quelvo::gfx {

class Region {
public:
    Region();
    explicit Region(const RECT& r);
    Region(const Region& other);
    Region& operator=(const Region& other);
    Region(Region&& other) noexcept;
    Region& operator=(Region&& other) noexcept;
    ~Region();

    static Region FromRects(const std::vector<RECT>& rects);

    void SetRect(const RECT& r);
    void SetEmpty();
    void Offset(int dx, int dy);
    void Intersect(const Region& other);
    void Intersect(const RECT& r);
    void Union(const Region& other);
    void Union(const RECT& r);
    void Subtract(const Region& other);
    void Xor(const Region& other);

    bool Empty() const;
    bool Contains(int x, int y) const;
    // True when any pixel of r is in the region.
    bool Overlaps(const RECT& r) const;
    bool Equals(const Region& other) const;
    RECT Bounds() const;
    int Complexity() const; // NULLREGION, SIMPLEREGION or COMPLEXREGION
    int RectCount() const;
    const pixman_box32_t* Rects(int& count) const;
    std::vector<RECT> RectList() const;

    pixman_region32_t* Raw() { return &r_; }
    const pixman_region32_t* Raw() const { return &r_; }

private:
    pixman_region32_t r_{};
};

} // namespace quelvo::gfx
