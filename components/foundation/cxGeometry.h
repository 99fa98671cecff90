#pragma once
// Value functions on rectangles, points and sizes (right and bottom
// exclusive; halving truncates toward zero), a few shared drawing helpers
// (constant-alpha blending, halftone fill, insertion arrows, text measuring
// on a screen canvas, the cursor's visible size) and a reference-counted
// cache of solid brushes.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "platform/hostlib/core/exceptions.h"

inline constexpr RECT cxNullRect{0, 0, 0, 0};
inline constexpr RECT cxInvalidRect{-1, -1, -1, -1};
inline constexpr RECT cxSimpleRect{1, 1, 1, 1};
inline constexpr SIZE cxNullSize{0, 0};
inline constexpr POINT cxNullPoint{0, 0};
inline constexpr POINT cxInvalidPoint{-1, -1};

enum TcxPtInRectType { ptrtNone, ptrtArea, ptrtLeft, ptrtTop, ptrtRight, ptrtBottom };

// ---- rectangles ------------------------------------------------------------------

inline RECT cxRect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }
inline RECT cxRect(const POINT& topLeft, const POINT& bottomRight)
{
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
inline RECT cxRectBounds(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }
inline int cxRectWidth(const RECT& r) { return r.right - r.left; }
inline int cxRectHeight(const RECT& r) { return r.bottom - r.top; }
inline SIZE cxRectSize(const RECT& r) { return SIZE{cxRectWidth(r), cxRectHeight(r)}; }
inline int cxRectGetSize(const RECT& r, int vertical) { return vertical == 0 ? cxRectWidth(r) : cxRectHeight(r); }
// Left, Top, Right or Bottom for 0 to 3 (another index gives Bottom).
int cxRectGetItem(const RECT& r, int index);
inline POINT cxRectLeftBottom(const RECT& r) { return POINT{r.left, r.bottom}; }
inline POINT cxRectRightTop(const RECT& r) { return POINT{r.right, r.top}; }
inline bool cxRectIsEmpty(const RECT& r) { return !(r.left < r.right && r.top < r.bottom); }
// Zero width and zero height, wherever the rectangle is.
inline bool cxRectIsNull(const RECT& r) { return r.left == r.right && r.top == r.bottom; }
inline bool cxRectIsEqual(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool cxRectCompare(const RECT& a, const RECT& b) { return cxRectIsEqual(a, b); }
inline bool cxRectIsInvalid(const RECT& r) { return cxRectIsEqual(r, cxInvalidRect); }
bool cxRectIsVisible(TcxCanvas* canvas, const RECT& r);
inline bool cxRectContain(const RECT& r, const RECT& inner)
{
    return inner.left >= r.left && inner.top >= r.top && inner.right <= r.right && inner.bottom <= r.bottom;
}
inline bool cxRectPtIn(const RECT& r, int x, int y) { return r.left <= x && x < r.right && r.top <= y && y < r.bottom; }
inline bool cxRectPtIn(const RECT& r, const POINT& p) { return cxRectPtIn(r, p.x, p.y); }
// The overlap; cxNullRect and false when it has no positive width or height.
bool cxRectIntersect(RECT& result, const RECT& r1, const RECT& r2);
bool cxRectIntersect(const RECT& r1, const RECT& r2);
// r1 widened by r2; an empty r2 leaves r1 as it is (r1 is not tested).
RECT cxRectUnion(const RECT& r1, const RECT& r2);
inline RECT cxRectInflate(const RECT& r, int dx, int dy) { return RECT{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy}; }
inline RECT cxRectInflate(const RECT& r, int left, int top, int right, int bottom)
{
    return RECT{r.left - left, r.top - top, r.right + right, r.bottom + bottom};
}
// Moves every side inward by the margin of that side.
inline RECT cxRectInflate(const RECT& r, const RECT& margins)
{
    return RECT{r.left + margins.left, r.top + margins.top, r.right - margins.right, r.bottom - margins.bottom};
}
inline RECT cxTextRect(const RECT& r) { return cxRectInflate(r, -2, -2); }
inline RECT cxRectOffset(const RECT& r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
inline RECT cxRectOffset(const RECT& r, const POINT& p) { return cxRectOffset(r, p.x, p.y); }
RECT cxRectOffset(const RECT& r, const std::vector<POINT>& points);
inline RECT cxRectOffsetHorz(const RECT& r, int dx) { return cxRectOffset(r, dx, 0); }
inline RECT cxRectOffsetVert(const RECT& r, int dy) { return cxRectOffset(r, 0, dy); }
inline RECT cxRectSetLeft(const RECT& r, int x, int width) { return RECT{x, r.top, x + width, r.bottom}; }
inline RECT cxRectSetLeft(const RECT& r, int x) { return cxRectSetLeft(r, x, cxRectWidth(r)); }
inline RECT cxRectSetTop(const RECT& r, int y, int height) { return RECT{r.left, y, r.right, y + height}; }
inline RECT cxRectSetTop(const RECT& r, int y) { return cxRectSetTop(r, y, cxRectHeight(r)); }
inline RECT cxRectSetRight(const RECT& r, int x, int width) { return RECT{x - width, r.top, x, r.bottom}; }
inline RECT cxRectSetRight(const RECT& r, int x) { return cxRectSetRight(r, x, cxRectWidth(r)); }
inline RECT cxRectSetBottom(const RECT& r, int y, int height) { return RECT{r.left, y - height, r.right, y}; }
inline RECT cxRectSetBottom(const RECT& r, int y) { return cxRectSetBottom(r, y, cxRectHeight(r)); }
inline RECT cxRectSetWidth(const RECT& r, int width) { return RECT{r.left, r.top, r.left + width, r.bottom}; }
inline RECT cxRectSetWidth(const RECT& r, int x, int width) { return RECT{x, r.top, x + width, r.bottom}; }
inline RECT cxRectSetHeight(const RECT& r, int height) { return RECT{r.left, r.top, r.right, r.top + height}; }
inline RECT cxRectSetSize(const RECT& r, int width, int height) { return RECT{r.left, r.top, r.left + width, r.top + height}; }
inline RECT cxRectSetXPos(const RECT& r, int x1, int x2) { return RECT{x1, r.top, x2, r.bottom}; }
inline RECT cxRectSetYPos(const RECT& r, int y1, int y2) { return RECT{r.left, y1, r.right, y2}; }
void cxRectSplitHorz(const RECT& r, RECT& a, RECT& b);
void cxRectSplitVert(const RECT& r, RECT& a, RECT& b);
inline POINT cxRectCenter(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
inline RECT cxRectCenter(const RECT& r, int width, int height)
{
    return cxRectBounds((r.left + r.right - width) / 2, (r.top + r.bottom - height) / 2, width, height);
}
inline RECT cxRectCenter(const RECT& r, const SIZE& size) { return cxRectCenter(r, size.cx, size.cy); }
// Maps the horizontal extent from a scale anchored at a (old units) to one
// anchored at b (new units); top and bottom are kept.
RECT cxRectScaleWidth(const RECT& r, int a, int b, int oldSize, int newSize);
RECT cxRectScaleHeight(const RECT& r, int a, int b, int oldSize, int newSize);
void cxRectMinMaxInit(int& min, int& max);
void cxRectMinMaxHeight(const RECT& r, int& max, int& min);
void cxRectMinMaxWidth(const RECT& r, int& max, int& min);
// The strips by which two rectangles differ (cxNullRect where they agree).
void cxRectOverlapped(const RECT& r1, const RECT& r2, RECT& r1Vert, RECT& r1Horz, RECT& r2Vert, RECT& r2Horz);
TcxPtInRectType cxRectPtInEx(const RECT& r, int x, int y, int left, int top, int right, int bottom);
inline TcxPtInRectType cxRectPtInEx(const RECT& r, int x, int y, int d) { return cxRectPtInEx(r, x, y, d, d, d, d); }
inline TcxPtInRectType cxRectPtInEx(const RECT& r, int x, int y, int dx, int dy)
{
    return cxRectPtInEx(r, x, y, dx, dy, dx, dy);
}

// ---- points and sizes ----------------------------------------------------------

inline POINT cxPoint(int x, int y) { return POINT{x, y}; }
inline POINT cxPoint(const SIZE& size) { return POINT{size.cx, size.cy}; }
inline SIZE cxSize(int cx, int cy) { return SIZE{cx, cy}; }
inline bool cxPointIsEqual(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline bool cxPointIsNull(const POINT& p) { return cxPointIsEqual(p, cxNullPoint); }
inline POINT cxPointInvert(const POINT& p) { return POINT{-p.x, -p.y}; }
inline int cxPointGetItem(const POINT& p, int index) { return index == 0 ? p.x : p.y; }
inline POINT cxPointReplaceItem(const POINT& p, int index, int value)
{
    return index == 0 ? POINT{value, p.y} : POINT{p.x, value};
}
inline POINT cxPointOffset(const POINT& p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }
inline POINT cxPointOffset(const POINT& p, const POINT& d) { return cxPointOffset(p, d.x, d.y); }
POINT cxPointSum(const std::vector<POINT>& points);
inline POINT cxPointOffset(const POINT& p, const std::vector<POINT>& points) { return cxPointOffset(p, cxPointSum(points)); }

// ---- drawing helpers ---------------------------------------------------------------

// dest := source over background at constant opacity alpha / 255 (both
// ways, with or without the platform's AlphaBlend, give the same pixels).
void cxAlphaBlend(hostlib::TBitmap* dest, hostlib::TBitmap* background, hostlib::TBitmap* source, std::uint8_t alpha);
// Tints the part of a bitmap under r (logical coordinates of its canvas)
// with a colour at opacity alpha / 255.
void cxAlphaBlend(hostlib::TBitmap* bitmap, const RECT& r, hostlib::TColor color, std::uint8_t alpha);
void cxApplyViewParams(TcxCanvas* canvas, const TcxViewParams& params);
hostlib::TBitmap* cxCreateBitmap(const SIZE& size, hostlib::TPixelFormat format = hostlib::pf24bit);
hostlib::TBitmap* cxCreateTrueColorBitmap(const SIZE& size);
hostlib::TBitmap* cxCreateTrueColorBitmap(int width, int height);
HBITMAP cxCreateTrueColorBitmapHandle(int width, int height, int bitCount = 32);
// r moved by srcOffset in source goes to r moved by dstOffset in dest.
void cxCopyImage(hostlib::TBitmap* source, hostlib::TBitmap* dest, const POINT& dstOffset, const POINT& srcOffset,
                 const RECT& r);
void cxCopyImage(hostlib::TCanvas* source, hostlib::TCanvas* dest, const POINT& srcOffset, const POINT& dstOffset,
                 const RECT& r);
// The two insertion arrows at the ends of one side of r; a clDefault pen
// is the inverse of the brush colour.
void cxDrawArrows(hostlib::TCanvas* canvas, const RECT& r, TcxBorder side, hostlib::TColor penColor,
                  hostlib::TColor brushColor);
// A one-pixel checkerboard anchored at the device origin.
void cxFillHalfToneRect(hostlib::TCanvas* canvas, const RECT& r, hostlib::TColor backgroundColor,
                        hostlib::TColor foregroundColor);
hostlib::TBrush* cxHalfToneBrush();
TcxScreenCanvas* cxScreenCanvas();
// Sets the window origin to r's top-left and puts the old one there.
void cxSetCanvasOrg(hostlib::TCanvas* canvas, RECT& r);
SIZE cxTextExtent(hostlib::TFont* font, const std::string& text);
inline int cxTextWidth(hostlib::TFont* font, const std::string& text) { return cxTextExtent(font, text).cx; }
inline int cxTextHeight(hostlib::TFont* font, const std::string& text) { return cxTextExtent(font, text).cy; }
// The visible extent of the current cursor below its hot spot.
SIZE cxGetCursorSize();

// Unit start-up (halftone brush, system brushes, the blending entry point)
// and shut-down; counted, so nested pairs are harmless.
void cxGeometryInitialize();
void cxGeometryFinalize();

// ---- brush cache ------------------------------------------------------------------------

namespace cx_error_names {
inline constexpr const char* EBrushCache = "EBrushCache";
}
using EBrushCache = hostlib::ErrorClass<hostlib::Exception, &cx_error_names::EBrushCache>;

struct TcxBrushData {
    hostlib::TBrush* Brush = nullptr;
    hostlib::TColor Color = 0;
    int RefCount = 0;
};

// Solid brushes shared by colour, sorted, counted by their holders; while
// locked (BeginUpdate) unused brushes wait for EndUpdate to be freed.
class TcxBrushCache : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    ~TcxBrushCache() override;

    // System colours give the shared system brush, which is never counted.
    hostlib::TBrush* Add(hostlib::TColor color);
    void ReleaseBrush(hostlib::TBrush*& brush);
    void SetBrushColor(hostlib::TBrush*& brush, hostlib::TColor color);
    void BeginUpdate() { ++lockCount_; }
    void EndUpdate();
    void Recreate();

    int Count() const { return static_cast<int>(data_.size()); }
    int Capacity() const { return capacity_; }
    const TcxBrushData& Items(int index) const { return data_.at(static_cast<std::size_t>(index)); }

protected:
    hostlib::TBrush* AddItemAt(int index, hostlib::TColor color);
    void Delete(int index);
    int FindNearestItem(hostlib::TColor color) const;
    bool IndexOf(hostlib::TColor color, int& index) const;
    void Move(int from, int to, int count);
    void Pack();
    void Release(int index);

private:
    std::vector<TcxBrushData> data_;
    int capacity_ = 0;
    int deletedCount_ = 0;
    int lockCount_ = 0;
};
