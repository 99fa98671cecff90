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

bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT Intersection(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// The bounding box of both; an empty one adds nothing.
RECT Union(const RECT& a, const RECT& b)
{
    if (IsEmpty(a))
        return IsEmpty(b) ? RECT{} : b;
    if (IsEmpty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// One pixel of a packed row of 1, 4, 8 or 24 bits: its raw value (a table
// index or 0xRRGGBB), read and written in place.
unsigned RawAt(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    case 8: return row[x];
    default:
        return (static_cast<unsigned>(row[x * 3 + 2]) << 16) | (static_cast<unsigned>(row[x * 3 + 1]) << 8) |
               row[x * 3];
    }
}

void StoreRaw(std::uint8_t* row, int x, int bits, unsigned v)
{
    switch (bits) {
    case 1: {
        auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
        row[x >> 3] = (v & 1u) ? static_cast<std::uint8_t>(row[x >> 3] | mask)
                               : static_cast<std::uint8_t>(row[x >> 3] & ~mask);
        break;
    }
    case 4: {
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (v & 0xF))
                    : static_cast<std::uint8_t>((b & 0x0F) | ((v & 0xF) << 4));
        break;
    }
    case 8: row[x] = static_cast<std::uint8_t>(v); break;
    default:
        row[x * 3] = static_cast<std::uint8_t>(v & 0xFF);
        row[x * 3 + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
        row[x * 3 + 2] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
        break;
    }
}

} // namespace

// The surface is the store while drawing; the packed bits are the store the
// program sees. dibBitsSeen_ tells which packed pixels the program changed
// behind our back, so neither its writes nor our drawing is lost whichever
// came last.
std::uint64_t NextBitmapStamp()
{
    static std::atomic<std::uint64_t> sequence{0};
    return ++sequence;
}

void BitmapObj::Sync(BitmapAccess access, const RECT* drawn)
{
    if (access == BitmapAccess::Draw)
        changeStamp = NextBitmapStamp();
    if (access == BitmapAccess::Query || !dib || bitsPixel == 32 || dibBits.empty() || surface.Empty())
        return;
    bool changed = TakeWrites();
    if (access == BitmapAccess::Read) {
        if (!IsEmpty(ahead_)) {
            Pack(ahead_);
            changed = true;
        }
        ahead_ = RECT{};
    } else {
        const RECT all{0, 0, width, height};
        ahead_ = Union(ahead_, drawn ? Intersection(*drawn, all) : all);
    }
    if (changed)
        changeStamp = NextBitmapStamp();
}

bool BitmapObj::TakeWrites()
{
    const LONG stride = WidthBytes();
    const bool allNew = dibBitsSeen_.size() != dibBits.size();
    bool any = false;
    for (int y = 0; y < height; ++y) {
        const std::size_t offset = static_cast<std::size_t>(topDown ? y : height - 1 - y) * stride;
        const std::uint8_t* bits = dibBits.data() + offset;
        const std::uint8_t* seen = allNew ? nullptr : dibBitsSeen_.data() + offset;
        if (!allNew && std::memcmp(bits, seen, static_cast<std::size_t>(stride)) == 0)
            continue;
        any = true;
        Pixel* row = surface.Row(y);
        for (int x = 0; x < width; ++x) {
            const unsigned raw = RawAt(bits, x, bitsPixel);
            if (allNew || raw != RawAt(seen, x, bitsPixel))
                row[x] = bitsPixel == 24 ? static_cast<Pixel>(raw) : PaletteColor(colorTable, raw);
        }
        if (!allNew)
            RememberBits(y, y + 1);
    }
    if (allNew)
        dibBitsSeen_ = dibBits;
    return any;
}

// What was drawn inside `area` goes to the packed bits, and the surface
// keeps the colour the bits can hold.
void BitmapObj::Pack(const RECT& area)
{
    const LONG stride = WidthBytes();
    // Drawing repeats one colour over many pixels: remember the last match.
    Pixel lastColour = 0;
    unsigned lastRaw = 0;
    bool haveLast = false;
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint8_t* bits = dibBits.data() + static_cast<std::size_t>(topDown ? y : height - 1 - y) * stride;
        Pixel* row = surface.Row(y);
        if (bitsPixel == 24) {
            for (int x = area.left; x < area.right; ++x) {
                const Pixel p = row[x] & 0xFFFFFFu;
                bits[x * 3] = static_cast<std::uint8_t>(p);
                bits[x * 3 + 1] = static_cast<std::uint8_t>(p >> 8);
                bits[x * 3 + 2] = static_cast<std::uint8_t>(p >> 16);
                row[x] = p;
            }
            continue;
        }
        if (bitsPixel == 1 && colorTable.size() == 2) {
            PackMonoRow(bits, row, area.left, area.right);
            continue;
        }
        for (int x = area.left; x < area.right; ++x) {
            const Pixel want = row[x] & 0xFFFFFFu;
            unsigned raw = RawAt(bits, x, bitsPixel);
            if (want != PaletteColor(colorTable, raw)) {
                if (!haveLast || want != lastColour) {
                    lastColour = want;
                    lastRaw = NearestIndex(colorTable, want);
                    haveLast = true;
                }
                raw = lastRaw;
                StoreRaw(bits, x, bitsPixel, raw);
            }
            row[x] = PaletteColor(colorTable, raw);
        }
    }
    RememberBits(area.top, area.bottom);
}

// Pack for two-colour rows, a byte at a time: a pixel keeps its bit when
// that shows its colour, takes the other when that does, else the nearer
// entry's.
void BitmapObj::PackMonoRow(std::uint8_t* bits, Pixel* row, int from, int to)
{
    const Pixel colour[2] = {PaletteColor(colorTable, 0), PaletteColor(colorTable, 1)};
    Pixel lastColour = colour[0];
    unsigned lastBit = 0;
    auto bitOf = [&](Pixel want, unsigned held) {
        if (want == colour[held])
            return held;
        if (want == colour[held ^ 1u])
            return held ^ 1u;
        if (want != lastColour) {
            lastColour = want;
            lastBit = NearestIndex(colorTable, want);
        }
        return lastBit;
    };
    for (int x = from; x < to;) {
        std::uint8_t byte = bits[x >> 3];
        for (const int end = std::min(to, (x | 7) + 1); x < end; ++x) {
            const auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
            const unsigned bit = bitOf(row[x] & 0xFFFFFFu, (byte & mask) ? 1u : 0u);
            byte = static_cast<std::uint8_t>(bit ? (byte | mask) : (byte & ~mask));
            row[x] = colour[bit];
        }
        bits[(x - 1) >> 3] = byte;
    }
}

// Surface rows [rowFrom, rowTo) of dibBits become what was last seen.
void BitmapObj::RememberBits(int rowFrom, int rowTo)
{
    const LONG stride = WidthBytes();
    if (dibBitsSeen_.size() != dibBits.size()) {
        dibBitsSeen_ = dibBits;
        return;
    }
    for (int y = rowFrom; y < rowTo; ++y) {
        const std::size_t offset = static_cast<std::size_t>(topDown ? y : height - 1 - y) * stride;
        std::memcpy(dibBitsSeen_.data() + offset, dibBits.data() + offset, static_cast<std::size_t>(stride));
    }
}

void SyncAllBitmaps()
{
    Table& t = TheTable();
    std::lock_guard<std::mutex> guard(t.lock);
    for (std::size_t i = 0; i < t.used; ++i) {
        Slot* s = SlotAt(i);
        GdiObject* o = s ? s->object.load(std::memory_order_acquire) : nullptr;
        if (o && o->kind == ObjKind::Bitmap)
            static_cast<BitmapObj*>(o)->Sync(BitmapAccess::Read);
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

Surface* TargetSurface(DCObj& dc, BitmapAccess access, const RECT* drawn)
{
    if (dc.external)
        return dc.external;
    BitmapObj* b = LookupBitmap(dc.st.bitmap);
    if (!b)
        return nullptr;
    b->Sync(access, drawn);
    return &b->surface;
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
    Surface* s = TargetSurface(dc, BitmapAccess::Query);
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
