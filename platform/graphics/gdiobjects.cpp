#include "platform/graphics/gdiobjects.h"

#include "platform/system/winerror.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace quelvo::gfx {

namespace {

// Handle value = ((slot + 1) << 8) | generation: never below 0x100, so the
// small numbers that stand for system colour brushes are never confused
// with real objects, and a reused slot refuses its old handles.
//
// The table may be touched from more than one thread (a helper thread that
// turns an icon into pixels, say): slots live in fixed chunks that never
// move, creation and deletion take a lock, and lookups read atomics without
// one. Using one object from two threads at once is still the caller's to
// avoid.
struct Slot {
    std::atomic<GdiObject*> object{nullptr};
    std::atomic<std::uint8_t> generation{0};
};

constexpr std::size_t kChunkSlots = 4096;
constexpr std::size_t kChunks = 4096; // 16.7 million live objects at most

struct Table {
    std::mutex lock;
    std::array<std::atomic<Slot*>, kChunks> chunks{};
    std::vector<std::unique_ptr<Slot[]>> owned;
    std::size_t used = 0;
    std::vector<std::size_t> freeSlots;
};

// Never destroyed: objects may still be deleted by other static destructors
// at exit, and what is left stays reachable rather than leaked.
Table& TheTable()
{
    static Table* table = new Table;
    return *table;
}

Slot* SlotAt(std::size_t slot)
{
    std::size_t chunk = slot / kChunkSlots;
    if (chunk >= kChunks)
        return nullptr;
    Slot* base = TheTable().chunks[chunk].load(std::memory_order_acquire);
    return base ? base + slot % kChunkSlots : nullptr;
}

HGDIOBJ MakeHandle(std::size_t slot, std::uint8_t generation)
{
    return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(((slot + 1) << 8) | generation));
}

} // namespace

HGDIOBJ Register(std::unique_ptr<GdiObject> object)
{
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    std::size_t slot;
    if (!t.freeSlots.empty()) {
        slot = t.freeSlots.back();
        t.freeSlots.pop_back();
    } else {
        slot = t.used;
        std::size_t chunk = slot / kChunkSlots;
        if (chunk >= kChunks)
            return nullptr; // out of handles
        if (!t.chunks[chunk].load(std::memory_order_relaxed)) {
            t.owned.push_back(std::make_unique<Slot[]>(kChunkSlots));
            t.chunks[chunk].store(t.owned.back().get(), std::memory_order_release);
        }
        ++t.used;
    }
    Slot* s = SlotAt(slot);
    std::uint8_t generation = s->generation.load(std::memory_order_relaxed);
    s->object.store(object.release(), std::memory_order_release);
    return MakeHandle(slot, generation);
}

GdiObject* Lookup(HGDIOBJ handle)
{
    auto v = reinterpret_cast<std::uintptr_t>(handle);
    if (v < 0x100)
        return nullptr;
    Slot* s = SlotAt((v >> 8) - 1);
    if (!s)
        return nullptr;
    GdiObject* o = s->object.load(std::memory_order_acquire);
    if (!o || s->generation.load(std::memory_order_acquire) != static_cast<std::uint8_t>(v & 0xFF))
        return nullptr;
    return o;
}

void ReportInvalidHandle() { SetLastError(ERROR_INVALID_HANDLE); }

void Unregister(HGDIOBJ handle)
{
    auto v = reinterpret_cast<std::uintptr_t>(handle);
    GdiObject* doomed = nullptr;
    {
        Table& t = TheTable();
        std::lock_guard<std::mutex> guard(t.lock);
        if (!Lookup(handle))
            return;
        std::size_t slot = (v >> 8) - 1;
        Slot* s = SlotAt(slot);
        doomed = s->object.exchange(nullptr, std::memory_order_acq_rel);
        s->generation.fetch_add(1, std::memory_order_acq_rel);
        t.freeSlots.push_back(slot);
    }
    // Freed outside the lock: a destructor may delete other objects.
    delete doomed;
}

// --- Bitmaps -----------------------------------------------------------------

LONG BitmapObj::WidthBytes() const
{
    if (dib)
        return ((width * bitsPixel + 31) / 32) * 4;
    return ((width * bitsPixel + 15) / 16) * 2;
}

namespace {

Pixel PaletteColor(const std::vector<RGBQUAD>& table, unsigned index)
{
    if (index >= table.size())
        return 0;
    const RGBQUAD& q = table[index];
    return (static_cast<Pixel>(q.rgbRed) << 16) | (static_cast<Pixel>(q.rgbGreen) << 8) | q.rgbBlue;
}

unsigned NearestIndex(const std::vector<RGBQUAD>& table, Pixel p)
{
    int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    unsigned best = 0;
    int bestDist = 1 << 30;
    for (unsigned i = 0; i < table.size(); ++i) {
        int dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

} // namespace

void BitmapObj::SyncFromDibBits()
{
    if (!dib || bitsPixel == 32 || dibBits.empty())
        return;
    LONG stride = WidthBytes();
    for (int y = 0; y < height; ++y) {
        int fileRow = topDown ? y : height - 1 - y;
        const std::uint8_t* src = dibBits.data() + static_cast<std::size_t>(fileRow) * stride;
        Pixel* dst = surface.Row(y);
        for (int x = 0; x < width; ++x) {
            switch (bitsPixel) {
            case 1: dst[x] = PaletteColor(colorTable, (src[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: dst[x] = PaletteColor(colorTable, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
            case 8: dst[x] = PaletteColor(colorTable, src[x]); break;
            case 24:
                dst[x] = (static_cast<Pixel>(src[x * 3 + 2]) << 16) | (static_cast<Pixel>(src[x * 3 + 1]) << 8) |
                         src[x * 3];
                break;
            default: break;
            }
        }
    }
}

void BitmapObj::SyncToDibBits()
{
    if (!dib || bitsPixel == 32 || dibBits.empty())
        return;
    LONG stride = WidthBytes();
    for (int y = 0; y < height; ++y) {
        int fileRow = topDown ? y : height - 1 - y;
        std::uint8_t* dst = dibBits.data() + static_cast<std::size_t>(fileRow) * stride;
        const Pixel* src = surface.Row(y);
        for (int x = 0; x < width; ++x) {
            Pixel p = src[x];
            switch (bitsPixel) {
            case 1: {
                unsigned bit = NearestIndex(colorTable, p) & 1;
                std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
                dst[x >> 3] = bit ? (dst[x >> 3] | mask) : (dst[x >> 3] & ~mask);
                break;
            }
            case 4: {
                unsigned v = NearestIndex(colorTable, p) & 0xF;
                std::uint8_t& b = dst[x >> 1];
                b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | v) : static_cast<std::uint8_t>((b & 0x0F) | (v << 4));
                break;
            }
            case 8: dst[x] = static_cast<std::uint8_t>(NearestIndex(colorTable, p)); break;
            case 24:
                dst[x * 3] = static_cast<std::uint8_t>(p & 0xFF);
                dst[x * 3 + 1] = static_cast<std::uint8_t>((p >> 8) & 0xFF);
                dst[x * 3 + 2] = static_cast<std::uint8_t>((p >> 16) & 0xFF);
                break;
            default: break;
            }
        }
    }
}

HBITMAP DefaultDCBitmap()
{
    static HBITMAP bitmap = [] {
        auto b = std::make_unique<BitmapObj>();
        b->kind = ObjKind::Bitmap;
        b->stock = true;
        b->width = 1;
        b->height = 1;
        b->bitsPixel = 1;
        b->surface = Surface(1, 1);
        return static_cast<HBITMAP>(Register(std::move(b)));
    }();
    return bitmap;
}

Surface* TargetSurface(DCObj& dc)
{
    if (dc.external)
        return dc.external;
    BitmapObj* b = LookupBitmap(dc.st.bitmap);
    return b ? &b->surface : nullptr;
}

bool IsMonoTarget(DCObj& dc)
{
    if (dc.external)
        return false;
    BitmapObj* b = LookupBitmap(dc.st.bitmap);
    return b && b->bitsPixel == 1;
}

Pixel TargetPixel(DCObj& dc, COLORREF color)
{
    if (IsMonoTarget(dc)) {
        // Nearer to white or to black by the sum of the components.
        int sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
        return sum >= 383 ? 0xFFFFFFu : 0u;
    }
    return PixelFromColorRef(color);
}

const Region& EffectiveClip(DCObj& dc)
{
    Surface* s = TargetSurface(dc);
    RECT bounds{0, 0, s ? s->Width() : 0, s ? s->Height() : 0};
    if (!dc.clipDirty && dc.cachedSurface == s && dc.cachedWidth == bounds.right && dc.cachedHeight == bounds.bottom)
        return dc.effective;
    dc.cachedSurface = s;
    dc.cachedWidth = bounds.right;
    dc.cachedHeight = bounds.bottom;
    dc.effective.SetRect(bounds);
    if (dc.hasVisible)
        dc.effective.Intersect(dc.visible);
    if (dc.st.hasClip) {
        Region c(dc.st.clip);
        c.Offset(dc.deviceOrigin.x, dc.deviceOrigin.y);
        dc.effective.Intersect(c);
    }
    dc.effectiveBox = dc.effective.Bounds();
    dc.effectiveIsRect = dc.effective.RectCount() <= 1;
    dc.clipDirty = false;
    return dc.effective;
}

} // namespace quelvo::gfx
