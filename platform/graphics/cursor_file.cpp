#include "platform/graphics/cursor_file.h"

#include <algorithm>

#include "platform/system/little_endian.h"
#include "platform/system/scope_guard.h"

namespace quelvo::gfx {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;
// Cursors are small; anything bigger is not one.
constexpr std::int64_t kMaxSide = 256;

using sys::ReadLe16;
using sys::ReadLe32;
using sys::WriteLe32;

bool Fail(std::string& error, const char* message)
{
    error = message;
    return false;
}

struct Entry {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::size_t offset = 0;
    std::size_t size = 0;
};

bool ReadDirectory(const std::vector<std::uint8_t>& b, Entry& chosen, std::string& error)
{
    if (b.size() < kDirectorySize || ReadLe16(&b[0]) != 0 || ReadLe16(&b[2]) != 2)
        return Fail(error, "not a cursor file");
    const std::size_t count = ReadLe16(&b[4]);
    if (count == 0)
        return Fail(error, "the cursor file holds no image");
    if (kDirectorySize + count * kEntrySize > b.size())
        return Fail(error, "the cursor directory is cut short");
    bool found = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = &b[kDirectorySize + i * kEntrySize];
        Entry entry;
        entry.width = e[0] ? e[0] : 256;
        entry.height = e[1] ? e[1] : 256;
        entry.hotX = ReadLe16(e + 4);
        entry.hotY = ReadLe16(e + 6);
        entry.size = ReadLe32(e + 8);
        entry.offset = ReadLe32(e + 12);
        if (!found || (entry.width == 32 && entry.height == 32 && (chosen.width != 32 || chosen.height != 32)))
            chosen = entry;
        found = true;
    }
    if (chosen.offset > b.size() || chosen.size > b.size() - chosen.offset)
        return Fail(error, "the cursor image lies beyond the file");
    return true;
}

bool IsPng(const std::uint8_t* p, std::size_t size)
{
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= sizeof(signature) && std::equal(std::begin(signature), std::end(signature), p);
}

bool ReadPngImage(const std::vector<std::uint8_t>& image, CursorFileImage& cursor, std::string& error)
{
    if (!ReadPng(image, cursor.picture, error))
        return false;
    if (cursor.picture.width > kMaxSide || cursor.picture.height > kMaxSide)
        return Fail(error, "the cursor image is too large");
    cursor.mask.resize(cursor.picture.pixels.size());
    for (std::size_t i = 0; i < cursor.picture.pixels.size(); ++i)
        cursor.mask[i] = (cursor.picture.pixels[i] >> 24) == 0;
    return true;
}

// The colour rows as a BMP file of half the height, so the BMP reader
// decodes them; maskOffset receives where the mask rows start in image.
bool DibAsBmp(const std::vector<std::uint8_t>& image, std::vector<std::uint8_t>& bmp, std::size_t& maskOffset,
              int& width, int& height, std::string& error)
{
    if (image.size() < kInfoHeaderSize)
        return Fail(error, "the cursor bitmap header is cut short");
    const std::uint32_t headerSize = ReadLe32(&image[0]);
    const auto w = static_cast<std::int32_t>(ReadLe32(&image[4]));
    const auto h2 = static_cast<std::int32_t>(ReadLe32(&image[8]));
    const std::uint16_t bits = ReadLe16(&image[14]);
    const std::uint32_t compression = ReadLe32(&image[16]);
    const std::uint32_t colorsUsed = ReadLe32(&image[32]);
    if (headerSize < kInfoHeaderSize || headerSize > image.size())
        return Fail(error, "unsupported cursor bitmap header");
    if (w <= 0 || h2 <= 0 || h2 % 2 != 0 || w > kMaxSide || h2 / 2 > kMaxSide)
        return Fail(error, "the cursor size is invalid");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return Fail(error, "unsupported cursor bit depth");
    std::size_t tableSize = 0;
    if (bits <= 8)
        tableSize = 4ull * (colorsUsed && colorsUsed <= (1u << bits) ? colorsUsed : (1u << bits));
    else if (compression == 3 && headerSize == kInfoHeaderSize)
        tableSize = 12;
    const std::size_t dataStart = headerSize + tableSize;
    const std::size_t stride = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
    const std::size_t h = static_cast<std::size_t>(h2 / 2);
    maskOffset = dataStart + stride * h;
    if (dataStart > image.size() || maskOffset > image.size())
        return Fail(error, "the cursor colours are cut short");
    bmp.assign(14, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp.insert(bmp.end(), image.begin(), image.begin() + static_cast<std::ptrdiff_t>(maskOffset));
    WriteLe32(&bmp[2], static_cast<std::uint32_t>(bmp.size()));
    WriteLe32(&bmp[10], static_cast<std::uint32_t>(14 + dataStart));
    WriteLe32(&bmp[14 + 8], static_cast<std::uint32_t>(h));
    width = w;
    height = static_cast<int>(h);
    return true;
}

bool ReadDibImage(const std::vector<std::uint8_t>& image, CursorFileImage& cursor, std::string& error)
{
    std::vector<std::uint8_t> bmp;
    std::size_t maskOffset = 0;
    int w = 0, h = 0;
    if (!DibAsBmp(image, bmp, maskOffset, w, h, error) || !ReadBmp(bmp, cursor.picture, error))
        return false;
    const std::size_t stride = ((static_cast<std::size_t>(w) + 31) / 32) * 4;
    if (stride * static_cast<std::size_t>(h) > image.size() - maskOffset)
        return Fail(error, "the cursor mask is cut short");
    cursor.mask.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    for (int y = 0; y < h; ++y) {
        // Bottom-up rows, like the colours.
        const std::uint8_t* row = &image[maskOffset + static_cast<std::size_t>(h - 1 - y) * stride];
        for (int x = 0; x < w; ++x) {
            const bool clear = (row[x / 8] >> (7 - x % 8)) & 1;
            const bool transparentAlpha = cursor.picture.hasAlpha && (cursor.picture.pixels[y * w + x] >> 24) == 0;
            cursor.mask[static_cast<std::size_t>(y) * w + x] = clear || transparentAlpha;
        }
    }
    return true;
}

} // namespace

bool ReadCursorFile(const std::vector<std::uint8_t>& bytes, CursorFileImage& cursor, std::string& error)
{
    Entry entry;
    if (!ReadDirectory(bytes, entry, error))
        return false;
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(entry.offset);
    const std::vector<std::uint8_t> image(first, first + static_cast<std::ptrdiff_t>(entry.size));
    cursor = CursorFileImage{};
    const bool read = IsPng(image.data(), image.size()) ? ReadPngImage(image, cursor, error)
                                                          : ReadDibImage(image, cursor, error);
    if (!read)
        return false;
    cursor.hotX = std::min(entry.hotX, cursor.picture.width - 1);
    cursor.hotY = std::min(entry.hotY, cursor.picture.height - 1);
    return true;
}

HCURSOR CreateCursorFromFile(const std::vector<std::uint8_t>& bytes, std::string& error)
{
    CursorFileImage cursor;
    if (!ReadCursorFile(bytes, cursor, error))
        return nullptr;
    const int w = cursor.picture.width;
    const int h = cursor.picture.height;
    std::vector<std::uint32_t> colours(static_cast<std::size_t>(w) * h, 0);
    const std::size_t maskStride = ((static_cast<std::size_t>(w) + 15) / 16) * 2;
    std::vector<std::uint8_t> mask(maskStride * h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            if (cursor.mask[i])
                mask[y * maskStride + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
            else
                colours[i] = cursor.picture.pixels[i] | 0xFF000000u;
        }
    HBITMAP colour = CreateBitmap(w, h, 1, 32, colours.data());
    HBITMAP monochrome = CreateBitmap(w, h, 1, 1, mask.data());
    quelvo::sys::ScopeGuard free([&] {
        DeleteObject(colour);
        DeleteObject(monochrome);
    });
    ICONINFO info{};
    info.fIcon = FALSE;
    info.xHotspot = static_cast<DWORD>(cursor.hotX);
    info.yHotspot = static_cast<DWORD>(cursor.hotY);
    info.hbmColor = colour;
    info.hbmMask = monochrome;
    HCURSOR handle = CreateIconIndirect(&info);
    if (!handle)
        error = "the cursor could not be made";
    return handle;
}

} // namespace quelvo::gfx
