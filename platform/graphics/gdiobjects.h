#pragma once
// Internal: the objects behind GDI handles and the handle table. A handle is
// a small number (never a pointer), so a stale or forged handle is looked up
// and refused instead of being dereferenced.

#include "platform/graphics/region.h"
#include "platform/graphics/surface.h"
#include "platform/graphics/wingdi.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quelvo::gfx {

class FontFace;

enum class ObjKind : std::uint8_t { None, Pen, Brush, Font, Bitmap, Region, DC, Icon };

struct GdiObject {
    virtual ~GdiObject() = default;
    ObjKind kind = ObjKind::None;
    bool stock = false;     // never deleted
    std::atomic<int> selectedCount{0}; // DCs holding it; DeleteObject waits for 0
    std::atomic<bool> deletePending{false};
};

struct PenObj : GdiObject {
    int style = PS_SOLID;    // PS_STYLE_MASK part
    int width = 1;
    bool geometric = false;
    COLORREF color = 0;
    bool dcPen = false;      // the DC_PEN stock object
};

struct BitmapObj;

struct BrushObj : GdiObject {
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    bool dcBrush = false;    // the DC_BRUSH stock object
    int sysColorIndex = -1;  // a system colour brush follows the table
    // Pattern brushes: 8 x 8 cells taken from the bitmap when created.
    bool monoPattern = false;
    std::array<Pixel, 64> pattern{};
    std::array<bool, 64> patternBit{}; // mono patterns: true = bit set
};

struct FontObj : GdiObject {
    LOGFONTA log{};
    std::shared_ptr<FontFace> face; // resolved on first use
};

// The next value of the process-wide sequence behind BitmapChangeStamp.
std::uint64_t NextBitmapStamp();

// What a caller is about to do with a bitmap's pixels.
enum class BitmapAccess : std::uint8_t {
    Draw,  // may change the 32-bit surface
    Read,  // reads the surface or the packed bits
    Query, // only its size or identity (no sync)
};

struct BitmapObj : GdiObject {
    int width = 0;
    int height = 0;
    int bitsPixel = 32;   // 1 for monochrome device bitmaps
    bool dib = false;
    bool topDown = false;
    Surface surface;      // the pixels we draw into (always 32-bit)
    // DIB sections below 32 bits keep their own packed bits, which the
    // program may write at any time through the section's memory, and a
    // colour table.
    std::vector<std::uint8_t> dibBits;
    std::vector<RGBQUAD> colorTable;
    std::vector<std::uint8_t> ownedDib32; // 32-bit DIB storage (surface wraps it)
    std::atomic<int> selectedInDCs{0};
    // Renewed on every access that may change the pixels (see BitmapChangeStamp).
    std::atomic<std::uint64_t> changeStamp{NextBitmapStamp()};
    LONG WidthBytes() const;
    // Brings the surface and the packed bits of a DIB section below 32 bits
    // to one picture; a no-op for every other bitmap, whose surface is the
    // only store. Pixels whose packed bits changed since the last Sync were
    // written by the program and go to the surface; with Read, what was
    // drawn since then is packed as well (the nearest colour of the table),
    // and the surface keeps the colour the bits can hold. Every path that
    // draws into, reads or writes a bitmap calls it first. A pixel the
    // program sets to the value its bits already held is not seen as
    // written: after drawing, GdiFlush comes before writing the memory.
    // `drawn` bounds what a Draw may change (surface coordinates; null for
    // anywhere), so a Read packs only that part.
    void Sync(BitmapAccess access, const RECT* drawn = nullptr);

private:
    // Program writes since the last Sync go to the surface; true when any.
    bool TakeWrites();
    void Pack(const RECT& area);
    void PackMonoRow(std::uint8_t* bits, Pixel* row, int from, int to);
    void RememberBits(int rowFrom, int rowTo);

    std::vector<std::uint8_t> dibBitsSeen_; // dibBits as of the last Sync
    RECT ahead_{};                          // drawn on since the last Read
};

struct RegionObj : GdiObject {
    Region region;
};

struct IconObj : GdiObject {
    ICONINFO info{};      // the bitmaps are owned by the icon
    int width = 0;
    int height = 0;
};

struct DCState {
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;
    POINT windowOrg{};
    POINT viewportOrg{};
    POINT brushOrg{};
    POINT pos{};
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = 0;
    UINT textAlign = TA_LEFT | TA_TOP;
    int charExtra = 0;
    // SetTextJustification: extra pixels spread over this many break characters.
    int justExtra = 0;
    int justCount = 0;
    int rop2 = R2_COPYPEN;
    int stretchMode = BLACKONWHITE;
    int polyFillMode = ALTERNATE;
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = 0;
    bool hasClip = false;
    Region clip; // device coordinates
};

struct PathFigure {
    std::vector<POINT> points; // logical coordinates
    bool closed = false;
};

struct DCObj : GdiObject {
    bool memory = false;            // CreateCompatibleDC
    Surface* external = nullptr;    // a window or screen surface
    POINT deviceOrigin{};           // device (0,0) on the surface
    bool hasVisible = false;
    Region visible;                 // surface coordinates
    DCState st;
    std::vector<DCState> saved;
    // Paths.
    bool pathOpen = false;
    bool pathReady = false;
    std::vector<PathFigure> path;
    // Cache of the effective clip on the surface.
    bool clipDirty = true;
    Region effective;
    RECT effectiveBox{};
    bool effectiveIsRect = true;
    const Surface* cachedSurface = nullptr;
    int cachedWidth = -1;
    int cachedHeight = -1;
};

// Handle table.
HGDIOBJ Register(std::unique_ptr<GdiObject> object);
GdiObject* Lookup(HGDIOBJ handle);
// Reports ERROR_INVALID_HANDLE through SetLastError when the handle is not
// a live object of that kind.
void ReportInvalidHandle();
template <class T>
T* LookupAs(HGDIOBJ handle, ObjKind kind)
{
    GdiObject* o = Lookup(handle);
    if (o && o->kind == kind)
        return static_cast<T*>(o);
    ReportInvalidHandle();
    return nullptr;
}
inline DCObj* LookupDC(HDC dc) { return LookupAs<DCObj>(dc, ObjKind::DC); }
inline RegionObj* LookupRgn(HRGN rgn) { return LookupAs<RegionObj>(rgn, ObjKind::Region); }
inline BitmapObj* LookupBitmap(HGDIOBJ b) { return LookupAs<BitmapObj>(b, ObjKind::Bitmap); }
inline BrushObj* LookupBrush(HGDIOBJ b) { return LookupAs<BrushObj>(b, ObjKind::Brush); }
inline PenObj* LookupPen(HGDIOBJ p) { return LookupAs<PenObj>(p, ObjKind::Pen); }
inline FontObj* LookupFont(HGDIOBJ f) { return LookupAs<FontObj>(f, ObjKind::Font); }
// Removes and frees the object.
void Unregister(HGDIOBJ handle);

// Monochrome bitmap a fresh memory DC starts with.
HBITMAP DefaultDCBitmap();

// The surface a DC draws into (Draw) or is read from (Read), or null (a
// memory DC with no bitmap). Its bitmap is synced for that access; `drawn`
// bounds what a Draw may change (null for anywhere).
Surface* TargetSurface(DCObj& dc, BitmapAccess access = BitmapAccess::Draw, const RECT* drawn = nullptr);
// Syncs every bitmap for reading (GdiFlush).
void SyncAllBitmaps();
// True when the DC draws into a 1-bit bitmap (colours become black or white).
bool IsMonoTarget(DCObj& dc);
// Effective clip in surface coordinates (surface bounds, visible region and
// the DC's clip region together).
const Region& EffectiveClip(DCObj& dc);
inline void InvalidateClip(DCObj& dc) { dc.clipDirty = true; }

// Coordinates saturate at the 32-bit limits instead of wrapping, so hostile
// values and origins never overflow.
inline LONG Saturate(long long v)
{
    return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}
// Rectangles wider or taller than this are refused by the calls that walk
// their pixels one by one (no surface comes near it).
inline bool SaneSpan(long long a, long long b) { return (b > a ? b - a : a - b) <= (1LL << 28); }
inline bool SaneRect(const RECT& r) { return SaneSpan(r.left, r.right) && SaneSpan(r.top, r.bottom); }
// Logical point to surface point.
inline POINT ToSurface(const DCObj& dc, int x, int y)
{
    return POINT{Saturate(static_cast<long long>(x) - dc.st.windowOrg.x + dc.st.viewportOrg.x + dc.deviceOrigin.x),
                 Saturate(static_cast<long long>(y) - dc.st.windowOrg.y + dc.st.viewportOrg.y + dc.deviceOrigin.y)};
}
inline POINT ToDevice(const DCObj& dc, int x, int y)
{
    return POINT{Saturate(static_cast<long long>(x) - dc.st.windowOrg.x + dc.st.viewportOrg.x),
                 Saturate(static_cast<long long>(y) - dc.st.windowOrg.y + dc.st.viewportOrg.y)};
}

// Colour of the pixel a colour becomes on the DC's surface (black or white
// on a monochrome target).
Pixel TargetPixel(DCObj& dc, COLORREF color);

// Resolves a system colour index + 1 disguised as a brush.
BrushObj* ResolveBrush(HBRUSH brush);

} // namespace quelvo::gfx
