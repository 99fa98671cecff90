// Picture codecs: round trips at every depth and hostile input.
#include "platform/graphics/picture.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <cstdio>
#include <cstring>

using namespace quelvo::gfx;

namespace {

Picture Sample(int w, int h, bool alpha)
{
    Picture p;
    p.width = w;
    p.height = h;
    p.hasAlpha = alpha;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Pixel c = (static_cast<Pixel>(x * 40) << 16) | (static_cast<Pixel>(y * 60) << 8) | static_cast<Pixel>((x + y) * 20);
            if (alpha)
                c |= static_cast<Pixel>(x * 60 + 15) << 24;
            p.pixels.push_back(c);
        }
    return p;
}

Picture TwoColour(int w, int h)
{
    Picture p;
    p.width = w;
    p.height = h;
    for (int i = 0; i < w * h; ++i)
        p.pixels.push_back(i % 3 == 0 ? 0xFFFFFFu : 0x000000u);
    return p;
}

TEST(BmpTest, RoundTripsAtEveryDepth)
{
    struct Case {
        int bits;
        Picture pic;
    } cases[] = {{32, Sample(5, 3, true)}, {24, Sample(5, 3, false)}, {8, Sample(5, 3, false)},
                 {4, Sample(3, 2, false)}, {1, TwoColour(9, 3)}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> file = WriteBmp(c.pic, c.bits);
        ASSERT_FALSE(file.empty()) << c.bits;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[10] | (file[11] << 8), 54 + (c.bits <= 8 ? (1 << c.bits) * 4 : 0)) << "header size";
        int stride = ((c.pic.width * c.bits + 31) / 32) * 4;
        EXPECT_EQ(file.size(), static_cast<size_t>(54 + (c.bits <= 8 ? (1 << c.bits) * 4 : 0) + stride * c.pic.height));
        Picture back;
        std::string error;
        ASSERT_TRUE(ReadBmp(file, back, error)) << error;
        EXPECT_EQ(back.width, c.pic.width);
        EXPECT_EQ(back.height, c.pic.height);
        EXPECT_EQ(back.sourceBits, c.bits);
        for (size_t i = 0; i < back.pixels.size(); ++i) {
            Pixel want = c.bits == 32 ? c.pic.pixels[i] : (c.pic.pixels[i] & 0xFFFFFFu);
            EXPECT_EQ(back.pixels[i], want) << c.bits << " bits, pixel " << i;
        }
    }
    EXPECT_TRUE(WriteBmp(Sample(2, 2, false), 16).empty());
}

TEST(BmpTest, PaletteWritingFallsBackToTheNearestColour)
{
    Picture many = Sample(16, 16, false); // more colours than 4 bits hold
    std::vector<std::uint8_t> file = WriteBmp(many, 4);
    Picture back;
    std::string error;
    ASSERT_TRUE(ReadBmp(file, back, error));
    EXPECT_EQ(back.pixels[0], 0x000000u);
}

TEST(BmpTest, HostileFilesGiveAnErrorNotACrash)
{
    std::vector<std::uint8_t> good = WriteBmp(Sample(4, 4, false), 24);
    auto patched = [&](size_t at, std::uint32_t value, int bytes) {
        std::vector<std::uint8_t> f = good;
        for (int i = 0; i < bytes; ++i)
            f[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return f;
    };
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"signature only", {'B', 'M'}},
        {"truncated pixels", std::vector<std::uint8_t>(good.begin(), good.end() - 5)},
        {"offset beyond end", patched(10, 0xFFFFFF, 4)},
        {"zero width", patched(18, 0, 4)},
        {"huge width", patched(18, 0x7FFFFFFF, 4)},
        {"height INT_MIN", patched(22, 0x80000000u, 4)},
        {"bad depth", patched(28, 7, 2)},
        {"compressed", patched(30, 1, 4)},
        {"colour table larger than depth", [&] {
             auto f = WriteBmp(TwoColour(4, 4), 1);
             f[46] = 200;
             return f;
         }()},
        {"small header", patched(14, 12, 4)},
        // A 41-byte header with bit fields: the masks would lie past the data.
        {"bit fields past a short header",
         {0x42, 0x4d, 0x37, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x29, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0x20, 0,
          3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Picture p;
        std::string error;
        EXPECT_FALSE(ReadBmp(c.bytes, p, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(PngTest, RoundTripsWithAndWithoutAlphaAndRefusesDamage)
{
    for (bool alpha : {false, true}) {
        Picture pic = Sample(7, 4, alpha);
        std::vector<std::uint8_t> file = WritePng(pic);
        ASSERT_FALSE(file.empty());
        EXPECT_EQ(DetectPictureFormat(file), PictureFormat::Png);
        Picture back;
        std::string error;
        ASSERT_TRUE(ReadPicture(file, back, error)) << error;
        EXPECT_EQ(back.hasAlpha, alpha);
        EXPECT_EQ(back.pixels, pic.pixels);
        std::vector<std::uint8_t> broken(file.begin(), file.begin() + static_cast<long>(file.size() / 2));
        EXPECT_FALSE(ReadPng(broken, back, error));
        EXPECT_FALSE(error.empty());
        // A changed byte in the image data, or in its checksum, is refused.
        const auto idat = std::search(file.begin(), file.end(), std::begin("IDAT"), std::end("IDAT") - 1);
        ASSERT_NE(idat, file.end());
        const auto dataAt = static_cast<std::size_t>(idat - file.begin()) + 4;
        const std::size_t length = (std::size_t{file[dataAt - 8]} << 24) | (std::size_t{file[dataAt - 7]} << 16) |
                                   (std::size_t{file[dataAt - 6]} << 8) | file[dataAt - 5];
        for (const std::size_t at : {dataAt + length / 2, dataAt + length}) {
            std::vector<std::uint8_t> flipped = file;
            flipped.at(at) ^= 0xFF;
            Picture whatever;
            error.clear();
            EXPECT_FALSE(ReadPng(flipped, whatever, error)) << "byte " << at;
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(JpegTest, RoundTripsApproximatelyAndRefusesDamage)
{
    Picture pic;
    pic.width = pic.height = 16;
    pic.pixels.assign(256, 0x3060C0u);
    std::vector<std::uint8_t> file = WriteJpeg(pic, 95);
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(DetectPictureFormat(file), PictureFormat::Jpeg);
    Picture back;
    std::string error;
    ASSERT_TRUE(ReadPicture(file, back, error)) << error;
    ASSERT_EQ(back.pixels.size(), 256u);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((back.pixels[100] >> shift) & 0xFF), static_cast<int>((0x3060C0u >> shift) & 0xFF), 4);
    std::vector<std::uint8_t> cut(file.begin(), file.begin() + 20);
    EXPECT_FALSE(ReadJpeg(cut, back, error));
    EXPECT_FALSE(ReadJpeg({0xFF, 0xD8, 0xFF, 0x00}, back, error));
    EXPECT_FALSE(ReadPicture({1, 2, 3}, back, error));
    EXPECT_EQ(error, "unknown picture format");
}

TEST(JpegTest, RefusesASizeBeyondItsDataAndDataEndingEarly)
{
    // A grey 94-byte file that declares 32767 x 2048 pixels.
    std::vector<std::uint8_t> tiny = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    tiny.insert(tiny.end(), 64, 1);
    for (int b : {0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x08, 0x00, 0x7F, 0xFF, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x08,
                  0x01, 0x01, 0x00, 0x00, 0x3F, 0x00})
        tiny.push_back(static_cast<std::uint8_t>(b));
    tiny.resize(94, 0);
    Picture back;
    std::string error;
    EXPECT_FALSE(ReadJpeg(tiny, back, error));
    EXPECT_EQ(error, "JPEG size is beyond what its data can hold");
    EXPECT_TRUE(back.pixels.empty());

    Picture pic = Sample(64, 48, false);
    const std::vector<std::uint8_t> file = WriteJpeg(pic, 90);
    ASSERT_TRUE(ReadJpeg(file, back, error)) << error;
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<long>(file.size() * 2 / 3));
    error.clear();
    EXPECT_FALSE(ReadJpeg(cut, back, error));
    EXPECT_FALSE(error.empty());
}

TEST(PictureBridgeTest, BitmapsAndSurfaceDumps)
{
    Picture pic = Sample(3, 2, false);
    HBITMAP bmp = CreateBitmapFromPicture(pic);
    ASSERT_NE(bmp, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_EQ(GetPixel(dc, 2, 1), ColorRefFromPixel(pic.pixels[5]));
    SelectObject(dc, old);
    DeleteDC(dc);
    Picture back;
    ASSERT_TRUE(PictureFromBitmap(bmp, back));
    EXPECT_EQ(back.pixels, pic.pixels);
    DeleteObject(bmp);
    Surface s(4, 4);
    s.Fill(0x123456);
    std::string path = ::testing::TempDir() + "gfx_dump.png";
    ASSERT_TRUE(DumpSurfacePng(s, path));
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(path, bytes, error));
    Picture dumped;
    ASSERT_TRUE(ReadPicture(bytes, dumped, error));
    EXPECT_EQ(dumped.pixels[5], 0x123456u);
    std::remove(path.c_str());
    EXPECT_FALSE(ReadFileBytes("/nonexistent/dir/file.png", bytes, error));
}

} // namespace
