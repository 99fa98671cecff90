// Bitmap objects, DIB sections and device-independent pixel transfers.
#include "platform/graphics/bitmaps.h"

#include "platform/graphics/raster.h"
#include "platform/system/winerror.h"

#include <algorithm>
#include <cstring>
#include <limits>

using namespace quelvo::gfx;

namespace {

constexpr int kMaxSide = 32767;
constexpr long long kMaxPixels = 1LL << 26;

bool SizeOk(int w, int h)
{
    return w > 0 && h > 0 && w <= kMaxSide && h <= kMaxSide && static_cast<long long>(w) * h <= kMaxPixels;
}

HBITMAP NewBitmap(int w, int h, int bits)
{
    auto b = std::make_unique<BitmapObj>();
    b->kind = ObjKind::Bitmap;
    b->width = w;
    b->height = h;
    b->bitsPixel = bits == 1 ? 1 : 32;
    b->surface = Surface(w, h);
    return static_cast<HBITMAP>(Register(std::move(b)));
}

int PaletteSize(const BITMAPINFOHEADER& h)
{
    if (h.biBitCount > 8)
        return 0;
    int full = 1 << h.biBitCount;
    return h.biClrUsed > 0 && h.biClrUsed < static_cast<DWORD>(full) ? static_cast<int>(h.biClrUsed) : full;
}

bool HeaderOk(const BITMAPINFOHEADER& h)
{
    if (h.biSize < 40 || h.biPlanes != 1)
        return false;
    if (h.biBitCount != 1 && h.biBitCount != 4 && h.biBitCount != 8 && h.biBitCount != 24 && h.biBitCount != 32)
        return false;
    if (h.biCompression != BI_RGB && !(h.biCompression == BI_BITFIELDS && h.biBitCount == 32))
        return false;
    if (h.biHeight == std::numeric_limits<LONG>::min())
        return false;
    return SizeOk(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight);
}

LONG DibStride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// The default colour tables for depths we write: black and white for one
// bit, the 16 classic colours for four bits, a 6 x 6 x 6 cube with greys for
// eight bits.
std::vector<RGBQUAD> DefaultPalette(int bits)
{
    std::vector<RGBQUAD> p;
    auto add = [&](int r, int g, int b) {
        RGBQUAD q;
        q.rgbRed = static_cast<BYTE>(r);
        q.rgbGreen = static_cast<BYTE>(g);
        q.rgbBlue = static_cast<BYTE>(b);
        p.push_back(q);
    };
    if (bits == 1) {
        add(0, 0, 0);
        add(255, 255, 255);
    } else if (bits == 4) {
        const int c[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                              {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                              {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                              {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (auto& e : c)
            add(e[0], e[1], e[2]);
    } else if (bits == 8) {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    add(r * 51, g * 51, b * 51);
        for (int i = 0; i < 40; ++i) {
            int v = i * 255 / 39;
            add(v, v, v);
        }
    }
    return p;
}

} // namespace

namespace quelvo::gfx {

bool DecodeDib(const BITMAPINFO* info, const void* bits, Surface& out)
{
    if (!info || !bits || !HeaderOk(info->bmiHeader))
        return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    int w = h.biWidth, height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    bool topDown = h.biHeight < 0;
    std::vector<RGBQUAD> table(info->bmiColors, info->bmiColors + PaletteSize(h));
    BitmapObj tmp;
    tmp.dib = true;
    tmp.width = w;
    tmp.height = height;
    tmp.bitsPixel = h.biBitCount;
    tmp.topDown = topDown;
    tmp.colorTable = table;
    out = Surface(w, height);
    tmp.surface = std::move(out);
    LONG stride = DibStride(w, h.biBitCount);
    const auto* src = static_cast<const std::uint8_t*>(bits);
    if (h.biBitCount == 32) {
        for (int y = 0; y < height; ++y) {
            int row = topDown ? y : height - 1 - y;
            std::memcpy(tmp.surface.Row(y), src + static_cast<size_t>(row) * stride, static_cast<size_t>(w) * 4);
        }
    } else {
        tmp.dibBits.assign(src, src + static_cast<size_t>(stride) * height);
        tmp.Sync(BitmapAccess::Read);
    }
    out = std::move(tmp.surface);
    return true;
}

} // namespace quelvo::gfx

namespace {

// Device bitmaps are kept at 1 or 32 bits; pixels given at 4, 8 or 24 bits
// (rows of whole 16-bit words, the default colour table) are converted, so
// the caller's smaller buffer is read at its own size. Other depths cannot
// be read and are refused.
HBITMAP CreateBitmapFromRows(int width, int height, int bitCount, const void* bits)
{
    if (bitCount != 4 && bitCount != 8 && bitCount != 24) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const size_t wordStride = static_cast<size_t>((width * bitCount + 15) / 16) * 2;
    const size_t dibStride = static_cast<size_t>(DibStride(width, bitCount));
    std::vector<std::uint8_t> rows(dibStride * static_cast<size_t>(height), 0);
    const auto* src = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y)
        std::memcpy(rows.data() + dibStride * static_cast<size_t>(y), src + wordStride * static_cast<size_t>(y),
                    wordStride);
    std::vector<RGBQUAD> table = DefaultPalette(bitCount);
    std::vector<std::uint8_t> infoBytes(sizeof(BITMAPINFOHEADER) + sizeof(RGBQUAD) * std::max<size_t>(table.size(), 1));
    auto* info = reinterpret_cast<BITMAPINFO*>(infoBytes.data());
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height; // device bitmap rows run top-down
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitCount);
    info->bmiHeader.biCompression = BI_RGB;
    std::copy(table.begin(), table.end(), info->bmiColors);
    Surface decoded;
    if (!DecodeDib(info, rows.data(), decoded))
        return nullptr;
    HBITMAP h = NewBitmap(width, height, 32);
    BitmapObj* b = LookupBitmap(h);
    for (int y = 0; y < height; ++y)
        std::copy(decoded.Row(y), decoded.Row(y) + width, b->surface.Row(y));
    return h;
}

} // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits)
{
    if (planes != 1 || width < 0 || height < 0 || bitCount > 32)
        return nullptr;
    if (width == 0 || height == 0)
        return NewBitmap(1, 1, 1);
    if (!SizeOk(width, height))
        return nullptr;
    if (bits && bitCount != 1 && bitCount != 32)
        return CreateBitmapFromRows(width, height, static_cast<int>(bitCount), bits);
    HBITMAP h = NewBitmap(width, height, static_cast<int>(bitCount));
    if (bits) {
        BitmapObj* b = LookupBitmap(h);
        LONG stride = b->WidthBytes();
        SetBitmapBits(h, static_cast<DWORD>(stride * height), bits);
    }
    return h;
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm)
{
    if (!bm)
        return nullptr;
    return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height)
{
    DCObj* dc = LookupDC(handle);
    if (!dc || width < 0 || height < 0)
        return nullptr;
    int bits = IsMonoTarget(*dc) ? 1 : 32;
    if (width == 0 || height == 0)
        return NewBitmap(1, 1, 1);
    if (!SizeOk(width, height))
        return nullptr;
    return NewBitmap(width, height, bits);
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage)
{
    if (!header)
        return nullptr;
    int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    HDC probe = dc ? dc : CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(probe, header->biWidth, height);
    if (!dc)
        DeleteDC(probe);
    if (bmp && (init & CBM_INIT) && bits && info &&
        SetDIBits(dc, bmp, 0, static_cast<UINT>(height), bits, info, usage) == 0) {
        DeleteObject(bmp);
        return nullptr;
    }
    return bmp;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info || !HeaderOk(info->bmiHeader) || usage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    auto b = std::make_unique<BitmapObj>();
    b->kind = ObjKind::Bitmap;
    b->dib = true;
    b->width = h.biWidth;
    b->height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    b->topDown = h.biHeight < 0;
    b->bitsPixel = h.biBitCount;
    LONG stride = DibStride(b->width, b->bitsPixel);
    size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(b->height);
    void* data = nullptr;
    if (b->bitsPixel == 32) {
        b->ownedDib32.assign(bytes, 0);
        std::uint8_t* base = b->ownedDib32.data();
        if (b->topDown)
            b->surface = Surface::Wrap(base, b->width, b->height, stride);
        else
            b->surface = Surface::Wrap(base + static_cast<size_t>(stride) * (b->height - 1), b->width, b->height,
                                       -static_cast<std::ptrdiff_t>(stride));
        data = base;
    } else {
        b->dibBits.assign(bytes, 0);
        b->colorTable.assign(info->bmiColors, info->bmiColors + PaletteSize(h));
        b->surface = Surface(b->width, b->height);
        b->Sync(BitmapAccess::Read);
        data = b->dibBits.data();
    }
    if (bits)
        *bits = data;
    return static_cast<HBITMAP>(Register(std::move(b)));
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT usage)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !info || usage != DIB_RGB_COLORS)
        return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biSize < 40)
        return 0;
    if (h.biBitCount == 0 || !bits) {
        if (!bits && h.biBitCount == 0) {
            h.biWidth = b->width;
            h.biHeight = b->height;
            h.biPlanes = 1;
            h.biBitCount = static_cast<WORD>(b->bitsPixel);
            h.biCompression = BI_RGB;
            h.biSizeImage = static_cast<DWORD>(DibStride(b->width, b->bitsPixel) * b->height);
            return 1;
        }
        if (!bits) {
            h.biSizeImage = static_cast<DWORD>(DibStride(b->width, h.biBitCount) * b->height);
            return 1;
        }
        return 0;
    }
    int bitsPixel = h.biBitCount;
    if (bitsPixel != 1 && bitsPixel != 4 && bitsPixel != 8 && bitsPixel != 24 && bitsPixel != 32)
        return 0;
    if (h.biWidth != b->width && h.biWidth != 0)
        return 0;
    b->Sync(BitmapAccess::Read);
    bool topDown = h.biHeight < 0;
    h.biWidth = b->width;
    int height = b->height;
    if (start >= static_cast<UINT>(height))
        return 0;
    UINT count = std::min<UINT>(lines, static_cast<UINT>(height) - start);
    // Convert through a temporary DIB of the requested depth.
    BitmapObj tmp;
    tmp.dib = true;
    tmp.width = b->width;
    tmp.height = height;
    tmp.bitsPixel = bitsPixel;
    tmp.topDown = topDown;
    if (bitsPixel <= 8) {
        if (bitsPixel == 1 && b->bitsPixel == 1)
            tmp.colorTable = DefaultPalette(1);
        else
            tmp.colorTable = DefaultPalette(bitsPixel);
        std::copy(tmp.colorTable.begin(), tmp.colorTable.end(), info->bmiColors);
        h.biClrUsed = 0;
    }
    LONG stride = DibStride(b->width, bitsPixel);
    auto* out = static_cast<std::uint8_t*>(bits);
    if (bitsPixel == 32) {
        for (UINT i = 0; i < count; ++i) {
            UINT scan = start + i; // scan 0 is the first row of the DIB's order
            int y = topDown ? static_cast<int>(scan) : height - 1 - static_cast<int>(scan);
            std::memcpy(out + static_cast<size_t>(i) * stride, b->surface.Row(y), static_cast<size_t>(b->width) * 4);
        }
        return static_cast<int>(count);
    }
    tmp.surface = Surface(b->width, height);
    tmp.dibBits.assign(static_cast<size_t>(stride) * height, 0);
    tmp.Sync(BitmapAccess::Draw);
    for (int y = 0; y < height; ++y)
        std::memcpy(tmp.surface.Row(y), b->surface.Row(y), static_cast<size_t>(b->width) * 4);
    tmp.Sync(BitmapAccess::Read);
    std::memcpy(out, tmp.dibBits.data() + static_cast<size_t>(start) * stride, static_cast<size_t>(count) * stride);
    return static_cast<int>(count);
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !info || !bits || usage != DIB_RGB_COLORS)
        return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (h.biWidth != b->width || height <= 0)
        return 0;
    if (start >= static_cast<UINT>(height))
        return 0;
    UINT count = std::min<UINT>(lines, static_cast<UINT>(height) - start);
    // Build the full DIB image with only the given scans filled.
    LONG stride = DibStride(h.biWidth, h.biBitCount);
    std::vector<std::uint8_t> full(static_cast<size_t>(stride) * height, 0);
    std::memcpy(full.data() + static_cast<size_t>(start) * stride, bits, static_cast<size_t>(count) * stride);
    Surface decoded;
    if (!DecodeDib(info, full.data(), decoded))
        return 0;
    bool topDown = h.biHeight < 0;
    // Pending drawing and direct writes first; the scans below then go on
    // top of them as drawing would.
    b->Sync(BitmapAccess::Draw);
    for (UINT i = 0; i < count; ++i) {
        UINT scan = start + i;
        int y = topDown ? static_cast<int>(scan) : height - 1 - static_cast<int>(scan);
        if (y >= b->height)
            continue;
        Pixel* dst = b->surface.Row(y);
        const Pixel* src = decoded.Row(y);
        for (int x = 0; x < b->width; ++x) {
            Pixel p = h.biBitCount == 32 ? src[x] : (src[x] & 0xFFFFFFu);
            if (b->bitsPixel == 1)
                p = ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) >= 383 ? 0xFFFFFFu : 0u;
            dst[x] = p;
        }
    }
    b->Sync(BitmapAccess::Read);
    return static_cast<int>(count);
}

namespace {

// Where row y of a bitmap's own bits lies: packed DIB rows are in the
// section's order, device bitmaps run top-down.
std::uint8_t* PackedRow(BitmapObj& b, int y, LONG stride)
{
    return b.dibBits.data() + static_cast<size_t>(b.topDown ? y : b.height - 1 - y) * stride;
}

bool HasPackedBits(const BitmapObj& b) { return b.dib && b.bitsPixel != 32; }

} // namespace

LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || size < 0)
        return 0;
    LONG stride = b->WidthBytes();
    LONG total = stride * b->height;
    if (!bits)
        return total;
    b->Sync(BitmapAccess::Read);
    auto* out = static_cast<std::uint8_t*>(bits);
    LONG written = 0;
    for (int y = 0; y < b->height && written + stride <= size; ++y) {
        const Pixel* row = b->surface.Row(y);
        std::uint8_t* dst = out + static_cast<size_t>(written);
        if (HasPackedBits(*b)) {
            std::memcpy(dst, PackedRow(*b, y, stride), static_cast<size_t>(stride));
        } else if (b->bitsPixel == 1) {
            std::memset(dst, 0, static_cast<size_t>(stride));
            for (int x = 0; x < b->width; ++x)
                if ((row[x] & 0xFFFFFFu) == 0xFFFFFFu)
                    dst[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        } else {
            std::memcpy(dst, row, static_cast<size_t>(b->width) * 4);
        }
        written += stride;
    }
    return written;
}

LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits)
{
    BitmapObj* b = LookupBitmap(bitmap);
    if (!b || !bits)
        return 0;
    // Pending drawing reaches the packed bits before some of them are
    // replaced; the next Sync hands the replaced pixels to the surface.
    b->Sync(BitmapAccess::Read);
    LONG stride = b->WidthBytes();
    const auto* in = static_cast<const std::uint8_t*>(bits);
    LONG read = 0;
    for (int y = 0; y < b->height && static_cast<DWORD>(read + stride) <= size; ++y) {
        Pixel* row = b->surface.Row(y);
        const std::uint8_t* src = in + read;
        if (HasPackedBits(*b)) {
            std::memcpy(PackedRow(*b, y, stride), src, static_cast<size_t>(stride));
        } else if (b->bitsPixel == 1) {
            for (int x = 0; x < b->width; ++x)
                row[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFFu : 0u;
        } else {
            std::memcpy(row, src, static_cast<size_t>(b->width) * 4);
        }
        read += stride;
    }
    b->Sync(BitmapAccess::Read);
    b->changeStamp = NextBitmapStamp();
    return read;
}
