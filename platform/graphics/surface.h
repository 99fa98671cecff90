#pragma once
// 32-bit memory surfaces: the one kind of pixel store every device context
// draws into. Pixels are 0xAARRGGBB words (bytes B, G, R, A in memory).
// Drawing calls write 0 in the alpha byte, as the classic API does on
// 32-bit bitmaps; copies keep it, so per-pixel alpha survives a BitBlt.
// Device contexts for windows and the screen are handed out by the window
// layer through CreateSurfaceDC, bound to a surface it owns.

#include "platform/system/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quelvo::gfx {

using Pixel = std::uint32_t;

inline constexpr Pixel PixelFromColorRef(COLORREF c)
{
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline constexpr COLORREF ColorRefFromPixel(Pixel p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

class Surface {
public:
    Surface() = default;
    // An owned surface of that size, every pixel 0.
    Surface(int width, int height);
    // A surface over memory owned by someone else (a DIB section's bits).
    // strideBytes may be negative for bottom-up rows; top points at row 0.
    static Surface Wrap(void* top, int width, int height, std::ptrdiff_t strideBytes);

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&& other) noexcept;
    Surface& operator=(Surface&& other) noexcept;
    ~Surface() = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    std::ptrdiff_t Stride() const { return stride_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    bool Owned() const { return !storage_.empty() || bits_ == nullptr; }

    // Reallocates an owned surface; contents become 0. Not for wrapped ones.
    void Resize(int width, int height);

    Pixel* Row(int y) { return reinterpret_cast<Pixel*>(bits_ + stride_ * y); }
    const Pixel* Row(int y) const { return reinterpret_cast<const Pixel*>(bits_ + stride_ * y); }
    Pixel At(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel p) { Row(y)[x] = p; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    void Fill(Pixel p);

private:
    std::vector<Pixel> storage_;
    std::uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    std::ptrdiff_t stride_ = 0;
};

// --- The hook of the window layer -------------------------------------------
//
// CreateSurfaceDC gives a device context that draws into `surface` (owned by
// the caller, which must outlive the DC). deviceOrigin is where device point
// (0, 0) of the DC lies on the surface (a child window's client offset in its
// top-level surface). `visible` (may be 0) is in surface coordinates: the
// window's visible region intersected with its update region; the DC never
// draws outside it, nor outside the surface. The region is copied. The
// application's own clip region (SelectClipRgn...) is kept apart and
// intersected with it, as GetClipRgn reports only the application's.
// ReleaseSurfaceDC deletes such a DC (DeleteDC does the same).
HDC CreateSurfaceDC(Surface& surface, POINT deviceOrigin, HRGN visible);
BOOL ReleaseSurfaceDC(HDC dc);
// Replaces the visible region of a surface DC (surface coordinates, 0 = all).
BOOL SetSurfaceDCVisibleRegion(HDC dc, HRGN visible);
// The surface a DC draws into (a window surface or its selected bitmap).
Surface* SurfaceOfDC(HDC dc);
// The pixels of a bitmap object (any depth is kept as 32-bit pixels).
Surface* SurfaceOfBitmap(HBITMAP bitmap);
// A number that changes whenever a bitmap's pixels may have changed:
// drawing into it, SetDIBits, SetBitmapBits, SurfaceOfBitmap, and writes to
// a DIB section below 32 bits (seen here). It is unique in the process, so
// a new bitmap never repeats an old one's; 0 for an invalid handle. Writes
// through a 32-bit section's memory cannot be seen: MarkBitmapChanged
// after them.
std::uint64_t BitmapChangeStamp(HBITMAP bitmap);
void MarkBitmapChanged(HBITMAP bitmap);
// The screen's size in pixels as display DCs report it (HORZRES, VERTRES);
// the window layer sets it from its display. 1920 x 1080 until then.
void SetScreenSize(SIZE size);
SIZE ScreenSize();
// The rectangles of a region, in bands from top to bottom (empty for an
// invalid handle); for presenting damaged areas.
std::vector<RECT> RegionRects(HRGN region);

} // namespace quelvo::gfx
