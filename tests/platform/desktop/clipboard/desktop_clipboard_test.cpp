// The display-independent parts of the desktop clipboard: line ends and
// image formats between the controls' clipboard and the desktop's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop/clipboard/desktop_clipboard.h"
#include "platform/graphics/picture.h"

namespace {

TEST(ClipboardLineEnds, DesktopHasLfAndTheClipboardCrLf)
{
    struct Case {
        std::string clipboard, desktop;
    };
    const Case both[] = {{"", ""}, {"one", "one"}, {"a\r\nb\r\n", "a\nb\n"}, {"\r\n\r\n", "\n\n"}};
    for (const Case& c : both) {
        EXPECT_EQ(quelvo::desktop::DesktopLineEnds(c.clipboard), c.desktop);
        EXPECT_EQ(quelvo::desktop::ClipboardLineEnds(c.desktop), c.clipboard);
    }
    EXPECT_EQ(quelvo::desktop::DesktopLineEnds("old\rmac\r"), "old\nmac\n");
    EXPECT_EQ(quelvo::desktop::ClipboardLineEnds("mixed\r\nand\n"), "mixed\r\nand\r\n") << "no doubled CR";
}

// A packed DIB: 40-byte header, `table` bytes of colour table or masks, rows.
std::vector<std::uint8_t> PackedDib(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                                    std::uint32_t used, const std::vector<std::uint8_t>& table,
                                    const std::vector<std::uint8_t>& rows)
{
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(40, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(bits), 2);
    put(compression, 4);
    put(static_cast<std::uint32_t>(rows.size()), 4);
    put(0, 4);
    put(0, 4);
    put(used, 4);
    put(0, 4);
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

TEST(ClipboardImages, DibsGetAFileHeaderThatFindsTheirRows)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> dib;
        std::vector<std::uint32_t> pixels;  // top-down 0xRRGGBB, empty when refused
    };
    const Case cases[] = {
        {"24 bits, bottom-up rows padded to 4 bytes",
         PackedDib(1, 2, 24, 0, 0, {}, {0x03, 0x02, 0x01, 0, 0x30, 0x20, 0x10, 0}),
         {0x102030, 0x010203}},
        {"8 bits with two table entries",
         PackedDib(2, 1, 8, 0, 2, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0}, {1, 0, 0, 0}),
         {0x00FF00, 0x0000FF}},
        {"32 bits with masks after the header",
         PackedDib(1, 1, 32, 3, 0, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0}, {0x11, 0x22, 0x33, 0}),
         {0x332211}},
        {"header cut short", std::vector<std::uint8_t>(20, 0), {}},
        {"header longer than the block", [] {
             auto d = PackedDib(1, 1, 24, 0, 0, {}, {1, 2, 3, 0});
             d[0] = 0xE8, d[1] = 0x03;
             return d;
         }(), {}},
        {"colour table past the end", PackedDib(1, 1, 8, 0, 0, {}, {0, 0, 0, 0}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> file = quelvo::desktop::BmpFileFromDib(c.dib);
        if (c.pixels.empty()) {
            EXPECT_TRUE(file.empty());
            continue;
        }
        ASSERT_EQ(file.size(), c.dib.size() + 14);
        quelvo::gfx::Picture picture;
        std::string error;
        ASSERT_TRUE(quelvo::gfx::ReadBmp(file, picture, error)) << error;
        ASSERT_EQ(picture.pixels.size(), c.pixels.size());
        for (std::size_t i = 0; i < c.pixels.size(); ++i) EXPECT_EQ(picture.pixels[i] & 0xFFFFFFu, c.pixels[i]) << i;
    }
}

TEST(ClipboardImages, PictureFilesBecome32BitDibsAndHostileOnesNothing)
{
    quelvo::gfx::Picture picture;
    picture.width = 3;
    picture.height = 2;
    picture.pixels = {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC, 0xFFDDEEFF, 0xFF000000};
    std::vector<std::uint8_t> hugeBmp = quelvo::gfx::WriteBmp(picture, 24);
    hugeBmp[18] = 0x40, hugeBmp[19] = 0x9C;  // 40000 wide, with the rows of 3
    hugeBmp[22] = 0x40, hugeBmp[23] = 0x9C;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        bool read;
    };
    const Case cases[] = {
        {"png", quelvo::gfx::WritePng(picture), true},
        {"bmp", quelvo::gfx::WriteBmp(picture, 24), true},
        {"jpeg is not a clipboard image type", quelvo::gfx::WriteJpeg(picture, 90), false},
        {"bmp claiming a huge size", hugeBmp, false},
        {"png cut short", [&] {
             auto png = quelvo::gfx::WritePng(picture);
             png.resize(png.size() / 2);
             return png;
         }(), false},
        {"nothing", {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> dib = quelvo::desktop::DibFromPictureFile(c.file);
        if (!c.read) {
            EXPECT_TRUE(dib.empty());
            continue;
        }
        ASSERT_EQ(dib.size(), 40u + 3 * 4 * 2);
        EXPECT_EQ(dib[0], 40);
        EXPECT_EQ(dib[8], 2) << "positive height: bottom-up";
        EXPECT_EQ(dib[14], 32);
        // The bottom row comes first, blue-green-red.
        const std::uint8_t bottomLeft[] = {0xCC, 0xBB, 0xAA};
        const std::uint8_t topRight[] = {0x99, 0x88, 0x77};
        EXPECT_TRUE(std::equal(bottomLeft, bottomLeft + 3, dib.begin() + 40));
        EXPECT_TRUE(std::equal(topRight, topRight + 3, dib.begin() + 40 + 12 + 8));
    }
}

}  // namespace
