// Raster operations between DCs, colour conversions, masks, transparency,
// alpha blending and device-independent bits.
#include "platform/graphics/surface.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::kBlack;
using quelvo::gfx::test::kWhite;
using quelvo::gfx::test::Joined;
using quelvo::gfx::test::Selected;

namespace {


// Destination 2x2: columns 0/1 = 0x00/0xFF in red; source rows 0/1 =
// 0x00/0xFF; the brush (pattern) is 0xF0 in every channel. Each code is
// checked on the four combinations and the pattern bit pattern.
TEST(RasterOperationTest, EveryNamedCodeFollowsItsTruthTable)
{
    struct Case {
        const char* name;
        DWORD rop;
        std::uint8_t table; // index = P*4 + S*2 + D
    } cases[] = {
        {"SRCCOPY", SRCCOPY, 0xCC},       {"SRCAND", SRCAND, 0x88},       {"SRCPAINT", SRCPAINT, 0xEE},
        {"SRCINVERT", SRCINVERT, 0x66},   {"SRCERASE", SRCERASE, 0x44},   {"NOTSRCCOPY", NOTSRCCOPY, 0x33},
        {"NOTSRCERASE", NOTSRCERASE, 0x11}, {"MERGECOPY", MERGECOPY, 0xC0}, {"MERGEPAINT", MERGEPAINT, 0xBB},
        {"PATCOPY", PATCOPY, 0xF0},       {"PATINVERT", PATINVERT, 0x5A}, {"DSTINVERT", DSTINVERT, 0x55},
        {"BLACKNESS", BLACKNESS, 0x00},   {"WHITENESS", WHITENESS, 0xFF}, {"general 0xE2", 0x00E20746, 0xE2},
        {"PATPAINT", PATPAINT, 0xFB},
    };
    const BYTE P = 0xF0;
    for (const Case& c : cases) {
        Canvas dst(2, 2), src(2, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                SetPixel(dst.dc(), x, y, x ? kWhite : kBlack);
                SetPixel(src.dc(), x, y, y ? kWhite : kBlack);
            }
        Selected brush(dst.dc(), CreateSolidBrush(RGB(P, P, P)));
        ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, c.rop)) << c.name;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                BYTE s = y ? 0xFF : 0x00, d = x ? 0xFF : 0x00;
                BYTE expected = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    int pb = (P >> bit) & 1, sb = (s >> bit) & 1, db = (d >> bit) & 1;
                    if ((c.table >> (pb * 4 + sb * 2 + db)) & 1)
                        expected |= static_cast<BYTE>(1 << bit);
                }
                EXPECT_EQ(GetRValue(dst.At(x, y)), expected) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(RasterOperationTest, PatBltRefusesCodesThatNeedASource)
{
    Canvas cv(2, 2);
    EXPECT_FALSE(PatBlt(cv.dc(), 0, 0, 2, 2, SRCCOPY));
    EXPECT_TRUE(PatBlt(cv.dc(), 0, 0, 2, 2, BLACKNESS));
    EXPECT_EQ(cv.At(1, 1), kBlack);
    EXPECT_TRUE(PatBlt(cv.dc(), 0, 0, 1, 2, DSTINVERT));
    EXPECT_EQ(cv.At(0, 1), kWhite);
    EXPECT_EQ(cv.At(1, 1), kBlack);
}

TEST(RasterOperationTest, OverlappingCopiesOnOneSurfaceMoveAsAWhole)
{
    Canvas cv(5, 1);
    SetPixel(cv.dc(), 0, 0, RGB(1, 0, 0));
    SetPixel(cv.dc(), 1, 0, RGB(2, 0, 0));
    SetPixel(cv.dc(), 2, 0, RGB(3, 0, 0));
    BitBlt(cv.dc(), 1, 0, 3, 1, cv.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(cv.At(1, 0), RGB(1, 0, 0));
    EXPECT_EQ(cv.At(2, 0), RGB(2, 0, 0));
    EXPECT_EQ(cv.At(3, 0), RGB(3, 0, 0));
}

// A copy at one size walks the source row by row; what its source misses
// (off the edges) stays as it was, and a clip of two pieces takes both.
TEST(RasterOperationTest, SameSizeCopiesKeepWhatLiesOffTheSourceAndFollowTheClip)
{
    Canvas src(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            SetPixel(src.dc(), x, y, RGB(1 + x, 1 + y, 0));
    struct Case {
        const char* name;
        int sx, sy;
        std::vector<std::string> art; // '.' untouched, digits: source column + 1, row by case
    } cases[] = {
        {"inside", 0, 0, {".....", ".123.", ".123.", "....."}},
        {"off the left and top", -1, -1, {".....", ".....", "..12.", "....."}},
        {"off the right and bottom", 1, 1, {".....", ".23..", ".....", "....."}},
    };
    // On white, SRCAND leaves the source's colours as SRCCOPY does.
    for (DWORD rop : {SRCCOPY, SRCAND}) {
        for (const Case& c : cases) {
            Canvas cv(5, 4);
            SetWindowOrgEx(cv.dc(), -1, -1, nullptr); // logical (0, 0) at device (1, 1)
            ASSERT_TRUE(BitBlt(cv.dc(), 0, 0, 3, 2, src.dc(), c.sx, c.sy, rop)) << c.name;
            std::vector<std::string> art;
            for (int y = 0; y < 4; ++y) {
                std::string row;
                for (int x = 0; x < 5; ++x) {
                    COLORREF p = cv.At(x, y);
                    row += p == kWhite ? '.' : static_cast<char>('0' + GetRValue(p));
                }
                art.push_back(row);
            }
            EXPECT_EQ(Joined(art), Joined(c.art)) << c.name << (rop == SRCAND ? ", SRCAND" : "");
        }
    }
    Canvas cv(5, 1);
    HRGN two = CreateRectRgn(0, 0, 1, 1);
    HRGN second = CreateRectRgn(2, 0, 4, 1);
    CombineRgn(two, two, second, RGN_OR);
    SelectClipRgn(cv.dc(), two);
    BitBlt(cv.dc(), 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY);
    SelectClipRgn(cv.dc(), nullptr); // reading is clipped as well
    EXPECT_EQ(Joined(cv.Art({{kWhite, '.'}, {RGB(1, 1, 0), '1'}, {RGB(2, 1, 0), '2'}, {RGB(3, 1, 0), '3'}})),
              Joined({"1.3.."}));
    DeleteObject(two);
    DeleteObject(second);
}

// Copies keep the source's alpha byte, so per-pixel alpha survives them.
TEST(RasterOperationTest, CopiesKeepTheAlphaByte)
{
    Canvas src(2, 1), cv(2, 1);
    quelvo::gfx::SurfaceOfDC(src.dc())->Set(0, 0, 0x80102030u);
    quelvo::gfx::SurfaceOfDC(src.dc())->Set(1, 0, 0xFF405060u);
    BitBlt(cv.dc(), 0, 0, 2, 1, src.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(quelvo::gfx::SurfaceOfDC(cv.dc())->At(0, 0), 0x80102030u);
    EXPECT_EQ(quelvo::gfx::SurfaceOfDC(cv.dc())->At(1, 0), 0xFF405060u);
}

TEST(MonochromeTest, MonoToColourUsesTheDestinationTextAndBackgroundColours)
{
    const WORD rows[2] = {0x0040, 0x0080}; // (1,0) set, (0,1) set; first byte = first pixels
    HBITMAP mono = CreateBitmap(2, 2, 1, 1, rows);
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    Canvas cv(2, 2);
    SetTextColor(cv.dc(), RGB(255, 0, 0));
    SetBkColor(cv.dc(), RGB(0, 0, 255));
    BitBlt(cv.dc(), 0, 0, 2, 2, mdc, 0, 0, SRCCOPY);
    EXPECT_EQ(Joined(cv.Art({{RGB(255, 0, 0), 't'}, {RGB(0, 0, 255), 'b'}})), Joined({"tb", "bt"}));
    SelectObject(mdc, old);
    DeleteObject(mono);
    DeleteDC(mdc);
}

TEST(MonochromeTest, ColourToMonoMakesTheSourceBackgroundWhiteAndAllElseBlack)
{
    Canvas src(3, 1);
    SetPixel(src.dc(), 0, 0, RGB(0, 255, 0));
    SetPixel(src.dc(), 1, 0, RGB(10, 20, 30));
    SetPixel(src.dc(), 2, 0, kWhite);
    SetBkColor(src.dc(), RGB(0, 255, 0));
    HBITMAP mono = CreateBitmap(3, 1, 1, 1, nullptr);
    HDC mdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mdc, mono);
    BitBlt(mdc, 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mdc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(mdc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(mdc, 2, 0), kBlack) << "white that is not the background becomes black";
    WORD bits = 0;
    SelectObject(mdc, old);
    EXPECT_EQ(GetBitmapBits(mono, 2, &bits), 2);
    EXPECT_EQ(bits & 0xFF, 0x80);
    DeleteObject(mono);
    DeleteDC(mdc);
}

TEST(MaskTest, MaskBltPicksTheForegroundCodeWhereTheMaskIsSet)
{
    Canvas src(2, 1, RGB(255, 0, 0));
    Canvas cv(2, 1, RGB(0, 0, 255));
    const WORD rows[1] = {0x0080}; // only (0, 0) set
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, rows);
    EXPECT_TRUE(MaskBlt(cv.dc(), 0, 0, 2, 1, src.dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(cv.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(cv.At(1, 0), RGB(0, 0, 255));
    HBITMAP colourMask = CreateBitmap(2, 1, 1, 32, nullptr);
    EXPECT_FALSE(MaskBlt(cv.dc(), 0, 0, 2, 1, src.dc(), 0, 0, colourMask, 0, 0, SRCCOPY));
    DeleteObject(mask);
    DeleteObject(colourMask);
}

TEST(MaskTest, TransparentBltSkipsTheKeyColourAndStretches)
{
    Canvas src(2, 1);
    SetPixel(src.dc(), 0, 0, RGB(255, 0, 255));
    SetPixel(src.dc(), 1, 0, RGB(0, 128, 0));
    Canvas cv(4, 1, RGB(0, 0, 255));
    EXPECT_TRUE(TransparentBlt(cv.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(Joined(cv.Art({{RGB(0, 0, 255), 'b'}, {RGB(0, 128, 0), 'g'}})), Joined({"bbgg"}));
}

TEST(StretchTest, StretchingPicksTheNearestSourcePixelAndNegativeWidthsMirror)
{
    Canvas src(3, 1);
    SetPixel(src.dc(), 0, 0, RGB(1, 0, 0));
    SetPixel(src.dc(), 1, 0, RGB(2, 0, 0));
    SetPixel(src.dc(), 2, 0, RGB(3, 0, 0));
    Canvas cv(6, 1);
    StretchBlt(cv.dc(), 0, 0, 6, 1, src.dc(), 0, 0, 3, 1, SRCCOPY);
    std::string row;
    for (int x = 0; x < 6; ++x)
        row += static_cast<char>('0' + GetRValue(cv.At(x, 0)));
    EXPECT_EQ(row, "112233");
    StretchBlt(cv.dc(), 0, 0, 3, 1, src.dc(), 3, 0, -3, 1, SRCCOPY);
    row.clear();
    for (int x = 0; x < 3; ++x)
        row += static_cast<char>('0' + GetRValue(cv.At(x, 0)));
    EXPECT_EQ(row, "321");
}

int Blend(int d, int s, int a) { return (d * (255 - a) * 2 + 255) / 510 + (s * a * 2 + 255) / 510; }

TEST(AlphaBlendTest, ConstantAlphaUsesOneRoundedFormulaPerChannel)
{
    for (int alpha : {0, 1, 127, 128, 200, 254, 255}) {
        Canvas src(1, 1, RGB(200, 100, 7));
        Canvas cv(1, 1, RGB(10, 250, 128));
        BLENDFUNCTION bf;
        bf.SourceConstantAlpha = static_cast<BYTE>(alpha);
        ASSERT_TRUE(AlphaBlend(cv.dc(), 0, 0, 1, 1, src.dc(), 0, 0, 1, 1, bf));
        COLORREF c = cv.At(0, 0);
        EXPECT_EQ(GetRValue(c), Blend(10, 200, alpha)) << alpha;
        EXPECT_EQ(GetGValue(c), Blend(250, 100, alpha)) << alpha;
        EXPECT_EQ(GetBValue(c), Blend(128, 7, alpha)) << alpha;
    }
}

TEST(AlphaBlendTest, PerPixelAlphaTreatsTheSourceAsPremultiplied)
{
    BITMAPINFO info;
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bits, nullptr);
    auto* px = static_cast<std::uint32_t*>(bits);
    px[0] = 0x80400000; // alpha 128, red 64 (premultiplied)
    px[1] = 0x00000000; // fully transparent
    HDC sdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(sdc, dib);
    Canvas cv(2, 1, RGB(100, 100, 100));
    BLENDFUNCTION bf;
    bf.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(cv.dc(), 0, 0, 2, 1, sdc, 0, 0, 2, 1, bf);
    EXPECT_EQ(cv.At(0, 0), RGB(64 + Blend(100, 0, 128), Blend(100, 0, 128), Blend(100, 0, 128)));
    EXPECT_EQ(cv.At(1, 0), RGB(100, 100, 100));
    EXPECT_FALSE(AlphaBlend(cv.dc(), 0, 0, 2, 1, sdc, 1, 0, 2, 1, bf)) << "source rectangle outside the bitmap";
    SelectObject(sdc, old);
    DeleteDC(sdc);
    DeleteObject(dib);
}

TEST(DibTest, SectionsOfEveryDepthRoundTripThroughGetDIBits)
{
    for (WORD bits : {1, 4, 8, 24, 32}) {
        struct {
            BITMAPINFO info;
            RGBQUAD extra[255];
        } bi{};
        bi.info.bmiHeader.biWidth = 3;
        bi.info.bmiHeader.biHeight = 2; // bottom-up
        bi.info.bmiHeader.biBitCount = bits;
        bi.info.bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        RGBQUAD* table = bi.info.bmiColors;
        for (int i = 1; i < 256; ++i)
            table[i] = RGBQUAD{255, 255, 255, 0};
        void* p = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &bi.info, DIB_RGB_COLORS, &p, nullptr, 0);
        ASSERT_NE(dib, nullptr) << bits;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, dib);
        SetPixel(dc, 0, 0, kWhite); // top-left: the last row in memory
        GdiFlush();
        SelectObject(dc, old);
        struct {
            BITMAPINFO info;
            RGBQUAD extra[255];
        } out{};
        out.info.bmiHeader.biWidth = 3;
        out.info.bmiHeader.biHeight = -2; // ask top-down
        out.info.bmiHeader.biBitCount = 32;
        std::uint32_t pixels[6] = {};
        EXPECT_EQ(GetDIBits(dc, dib, 0, 2, pixels, &out.info, DIB_RGB_COLORS), 2) << bits;
        EXPECT_EQ(pixels[0] & 0xFFFFFF, 0xFFFFFFu) << bits;
        EXPECT_EQ(pixels[1] & 0xFFFFFF, 0u) << bits;
        // In the section's own bits the top-left is in the last row.
        auto* mem = static_cast<std::uint8_t*>(p);
        int stride = ((3 * bits + 31) / 32) * 4;
        EXPECT_NE(mem[stride] & (bits == 1 ? 0x80 : 0xFF), 0) << bits;
        DeleteDC(dc);
        DeleteObject(dib);
    }
}

TEST(DibTest, HostileHeadersAreRefused)
{
    struct Case {
        LONG w, h;
        WORD bits;
        DWORD compression;
    } cases[] = {
        {0, 1, 32, BI_RGB}, {1, 0, 32, BI_RGB}, {-1, 1, 32, BI_RGB}, {1, 1, 7, BI_RGB},
        {100000, 100000, 32, BI_RGB}, {1, 1, 8, 1 /* run-length */}, {1, static_cast<LONG>(0x80000000), 32, BI_RGB},
    };
    for (const Case& c : cases) {
        BITMAPINFO info;
        info.bmiHeader.biWidth = c.w;
        info.bmiHeader.biHeight = c.h;
        info.bmiHeader.biBitCount = c.bits;
        info.bmiHeader.biCompression = c.compression;
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &p, nullptr, 0), nullptr) << c.w << "x" << c.h;
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(40000, 5, 1, 32, nullptr), nullptr);
}

TEST(DibTest, StretchDIBitsCountsSourceRowsFromTheBottomOfBottomUpPictures)
{
    std::uint32_t pixels[2] = {0x00FF0000, 0x000000FF}; // bottom row red, top row blue
    BITMAPINFO info;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 32;
    Canvas cv(1, 2);
    EXPECT_EQ(StretchDIBits(cv.dc(), 0, 0, 1, 2, 0, 0, 1, 2, pixels, &info, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(cv.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(cv.At(0, 1), RGB(255, 0, 0));
}

TEST(DibTest, CreateDIBitmapMakesADeviceBitmapFromPixels)
{
    std::uint32_t pixels[2] = {0x00FF0000, 0x000000FF}; // bottom-up: bottom red, top blue
    BITMAPINFO info;
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biBitCount = 32;
    Canvas cv(1, 1);
    HBITMAP bmp = CreateDIBitmap(cv.dc(), &info.bmiHeader, CBM_INIT, pixels, &info, DIB_RGB_COLORS);
    ASSERT_NE(bmp, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    EXPECT_EQ(CreateDIBitmap(cv.dc(), nullptr, CBM_INIT, pixels, &info, DIB_RGB_COLORS), nullptr);
}

TEST(IconTest, IconsDrawMaskThenImageAndReportTheirBitmaps)
{
    const WORD maskRows[2] = {0x0040, 0x0000}; // (1,0) transparent
    HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskRows);
    Canvas img(2, 2, RGB(0, 0, 255));
    SetPixel(img.dc(), 1, 0, kBlack);
    HDC idc = CreateCompatibleDC(nullptr);
    HBITMAP colour = CreateBitmap(2, 2, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(idc, colour);
    BitBlt(idc, 0, 0, 2, 2, img.dc(), 0, 0, SRCCOPY);
    SelectObject(idc, old);
    DeleteDC(idc);
    ICONINFO ii;
    ii.hbmMask = mask;
    ii.hbmColor = colour;
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);
    DeleteObject(colour);
    Canvas cv(2, 2, RGB(0, 255, 0));
    EXPECT_TRUE(DrawIconEx(cv.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(Joined(cv.Art({{RGB(0, 0, 255), 'i'}, {RGB(0, 255, 0), 'g'}})), Joined({"ig", "ii"}));
    ICONINFO back;
    ASSERT_TRUE(GetIconInfo(icon, &back));
    BITMAP bm;
    EXPECT_EQ(GetObject(back.hbmMask, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(back.hbmMask);
    DeleteObject(back.hbmColor);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
}

} // namespace
