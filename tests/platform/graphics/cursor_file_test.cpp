// Cursor files: the image, mask and hot spot of one-bit, 32-bit and PNG
// entries, the choice among several, and hostile files refused with a
// reason.
#include "platform/graphics/cursor_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace quelvo::gfx;

namespace {

void Put16(std::vector<std::uint8_t>& v, unsigned x)
{
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
void Put32(std::vector<std::uint8_t>& v, std::uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// A w x h DIB entry: one bit black and white, or 32-bit with alpha. Pixel
// (x, y) is opaque unless clear(x, y); opaque pixels are white on the
// diagonal, black elsewhere (one bit) or 0xAARRGGBB with R = x (32 bits).
template <class Clear>
std::vector<std::uint8_t> Dib(int w, int h, int bits, Clear clear)
{
    std::vector<std::uint8_t> d;
    Put32(d, 40);
    Put32(d, static_cast<std::uint32_t>(w));
    Put32(d, static_cast<std::uint32_t>(2 * h));
    Put16(d, 1);
    Put16(d, static_cast<unsigned>(bits));
    for (int i = 0; i < 6; ++i) Put32(d, 0);
    if (bits == 1) {
        Put32(d, 0x000000);
        Put32(d, 0xFFFFFF);
    }
    const int colourStride = ((w * bits + 31) / 32) * 4;
    const int maskStride = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(colourStride), 0);
        for (int x = 0; x < w; ++x) {
            if (bits == 1 && x == y) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            if (bits == 32) {
                const std::uint32_t argb = clear(x, y) ? 0 : 0xFF000000u | (static_cast<std::uint32_t>(x) << 16) | 0x40;
                for (int k = 0; k < 4; ++k) row[x * 4 + k] = static_cast<std::uint8_t>(argb >> (8 * k));
            }
        }
        d.insert(d.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < w; ++x)
            if (bits == 1 && clear(x, y)) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        d.insert(d.end(), row.begin(), row.end());
    }
    return d;
}

struct EntrySpec {
    int w, h, hotX, hotY;
    std::vector<std::uint8_t> image;
};

std::vector<std::uint8_t> Cur(const std::vector<EntrySpec>& entries)
{
    std::vector<std::uint8_t> f;
    Put16(f, 0);
    Put16(f, 2);
    Put16(f, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const EntrySpec& e : entries) {
        f.push_back(static_cast<std::uint8_t>(e.w));
        f.push_back(static_cast<std::uint8_t>(e.h));
        f.push_back(0);
        f.push_back(0);
        Put16(f, static_cast<unsigned>(e.hotX));
        Put16(f, static_cast<unsigned>(e.hotY));
        Put32(f, static_cast<std::uint32_t>(e.image.size()));
        Put32(f, offset);
        offset += static_cast<std::uint32_t>(e.image.size());
    }
    for (const EntrySpec& e : entries) f.insert(f.end(), e.image.begin(), e.image.end());
    return f;
}

bool OutsideDisc(int x, int y) { return (x - 8) * (x - 8) + (y - 8) * (y - 8) > 36; }

TEST(CursorFile, OneBitImageMaskAndHotSpot)
{
    const auto file = Cur({{16, 16, 3, 12, Dib(16, 16, 1, OutsideDisc)}});
    CursorFileImage cursor;
    std::string error;
    ASSERT_TRUE(ReadCursorFile(file, cursor, error)) << error;
    ASSERT_EQ(cursor.picture.width, 16);
    ASSERT_EQ(cursor.picture.height, 16);
    EXPECT_EQ(cursor.hotX, 3);
    EXPECT_EQ(cursor.hotY, 12);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            ASSERT_EQ(cursor.mask[y * 16 + x], OutsideDisc(x, y) ? 1 : 0) << "rows run top-down";
            if (!OutsideDisc(x, y)) { ASSERT_EQ(cursor.picture.pixels[y * 16 + x] & 0xFFFFFF, x == y ? 0xFFFFFFu : 0u); }
        }
}

TEST(CursorFile, ThirtyTwoBitAlphaAndPngEntries)
{
    auto clearLeft = [](int x, int) { return x < 4; };
    Picture png;
    png.width = png.height = 8;
    png.hasAlpha = true;
    for (int i = 0; i < 64; ++i) png.pixels.push_back(i % 8 < 4 ? 0u : 0xFF00FF00u);
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
    } cases[] = {
        {"32-bit DIB", Cur({{8, 8, 1, 1, Dib(8, 8, 32, clearLeft)}})},
        {"PNG", Cur({{8, 8, 1, 1, WritePng(png)}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CursorFileImage cursor;
        std::string error;
        ASSERT_TRUE(ReadCursorFile(c.file, cursor, error)) << error;
        ASSERT_EQ(cursor.picture.width, 8);
        EXPECT_EQ(cursor.mask[3], 1) << "transparent by alpha";
        EXPECT_EQ(cursor.mask[8 * 7 + 4], 0);
    }
}

TEST(CursorFile, The32By32EntryIsChosen)
{
    const auto file = Cur({{16, 16, 0, 0, Dib(16, 16, 1, OutsideDisc)}, {32, 32, 20, 21, Dib(32, 32, 1, OutsideDisc)}});
    CursorFileImage cursor;
    std::string error;
    ASSERT_TRUE(ReadCursorFile(file, cursor, error)) << error;
    EXPECT_EQ(cursor.picture.width, 32);
    EXPECT_EQ(cursor.hotX, 20);
}

TEST(CursorFile, AHandleCarriesHotSpotAndMask)
{
    const auto file = Cur({{16, 16, 5, 6, Dib(16, 16, 1, OutsideDisc)}});
    std::string error;
    HCURSOR cursor = CreateCursorFromFile(file, error);
    ASSERT_NE(cursor, nullptr) << error;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 6u);
    Picture colours;
    ASSERT_TRUE(PictureFromBitmap(info.hbmColor, colours));
    EXPECT_EQ(colours.pixels[8 * 16 + 8] & 0xFFFFFF, 0xFFFFFFu) << "the white diagonal";
    EXPECT_EQ(colours.pixels[8 * 16 + 7] & 0xFFFFFF, 0u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}

TEST(CursorFile, HostileFilesAreRefusedWithAReason)
{
    const auto good = Cur({{16, 16, 0, 0, Dib(16, 16, 1, OutsideDisc)}});
    auto patched = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        auto f = good;
        std::copy(bytes.begin(), bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(at));
        return f;
    };
    auto cut = [&](std::size_t size) { return std::vector<std::uint8_t>(good.begin(), good.begin() + size); };
    const std::size_t dib = 22;
    const struct {
        const char* what;
        std::vector<std::uint8_t> file;
    } cases[] = {
        {"empty", {}},
        {"an icon file", patched(2, {1, 0})},
        {"no entries", patched(4, {0, 0})},
        {"entries beyond the file", patched(4, {0xFF, 0xFF})},
        {"image offset beyond the file", patched(18, {0xFF, 0xFF, 0xFF, 0x7F})},
        {"image size beyond the file", patched(14, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"header size too large", patched(dib, {0xFF, 0xFF, 0, 0})},
        {"odd doubled height", patched(dib + 8, {33, 0, 0, 0})},
        {"zero width", patched(dib + 4, {0, 0, 0, 0})},
        {"negative height", patched(dib + 8, {0xE0, 0xFF, 0xFF, 0xFF})},
        {"huge width", patched(dib + 4, {0, 0, 0, 0x40})},
        {"bit depth 7", patched(dib + 14, {7, 0})},
        {"colours cut short", cut(good.size() - 40)},
        {"mask cut short", cut(good.size() - 4)},
        {"a PNG signature and nothing else", patched(dib, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CursorFileImage cursor;
        std::string error;
        EXPECT_FALSE(ReadCursorFile(c.file, cursor, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(CreateCursorFromFile(c.file, error), nullptr);
    }
}

} // namespace
