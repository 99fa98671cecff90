#include "platform/desktop/IconPixels.h"

#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"

#include <gtest/gtest.h>

#include <vector>

namespace quelvo::desktop {
namespace {

// 2 x 2 colour pixels over a 1-bit mask whose rows are padded to 2 bytes.
HICON MakeIcon(const std::vector<std::uint32_t>& colors, std::uint8_t maskRow0, std::uint8_t maskRow1)
{
    ICONINFO info;
    HBITMAP color = nullptr;
    if (!colors.empty()) {
        gfx::Picture picture;
        picture.width = 2;
        picture.height = 2;
        picture.pixels = colors;
        color = gfx::CreateBitmapFromPicture(picture);
    }
    const std::uint8_t maskBits[] = {maskRow0, 0, maskRow1, 0};
    HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
    info.hbmColor = color;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    if (color != nullptr)
        DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

TEST(IconPixelsTest, TransparencyComesFromAlphaOrElseFromTheMask)
{
    struct IconCase {
        const char* name;
        std::vector<std::uint32_t> colors;
        std::uint8_t mask0;
        std::uint8_t mask1;
        std::vector<std::uint32_t> expected;
    };
    const IconCase cases[] = {
        {"colours without alpha: mask decides", {0x112233, 0x445566, 0x778899, 0xAABBCC}, 0x80, 0x40,
         {0x00000000, 0xFF445566, 0xFF778899, 0x00000000}},
        {"alpha present: mask ignored", {0x80112233, 0xFF445566, 0x00778899, 0x10AABBCC}, 0xC0, 0xC0,
         {0x80112233, 0xFF445566, 0x00778899, 0x10AABBCC}},
        {"empty mask: all opaque", {0x010203, 0x040506, 0x070809, 0x0A0B0C}, 0x00, 0x00,
         {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C}},
    };
    for (const IconCase& c : cases) {
        HICON icon = MakeIcon(c.colors, c.mask0, c.mask1);
        ASSERT_NE(icon, nullptr) << c.name;
        const auto image = IconImageOf(icon);
        ASSERT_TRUE(image) << c.name;
        EXPECT_EQ(image->width, 2) << c.name;
        EXPECT_EQ(image->height, 2) << c.name;
        EXPECT_EQ(image->argb, c.expected) << c.name;
        DestroyIcon(icon);
    }
}

TEST(IconPixelsTest, MonochromeIconUsesBothHalvesOfTheMask)
{
    // 2 x 1 icon: AND row above the XOR row. Pixel 0: AND 1, XOR 0 ->
    // transparent; pixel 1: AND 0, XOR 1 -> white.
    const std::uint8_t bits[] = {0x80, 0, 0x40, 0};
    HBITMAP mask = CreateBitmap(2, 2, 1, 1, bits);
    ICONINFO info;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    ASSERT_NE(icon, nullptr);
    const auto image = IconImageOf(icon);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->height, 1);
    EXPECT_EQ(image->argb, (std::vector<std::uint32_t>{0x00000000, 0xFFFFFFFF}));
    DestroyIcon(icon);
}

TEST(IconPixelsTest, NoIconGivesNothing)
{
    EXPECT_FALSE(IconImageOf(nullptr));
    EXPECT_FALSE(IconImageOf(reinterpret_cast<HICON>(0x4321)));
}

} // namespace
} // namespace quelvo::desktop
