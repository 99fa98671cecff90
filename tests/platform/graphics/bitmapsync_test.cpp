// Drawing into a DIB section of any depth while it stays selected must be
// seen by every reader of the bitmap, and bits the program writes itself
// (section memory, SetDIBits, SetBitmapBits) must survive later drawing.
#include "platform/graphics/picture.h"
#include "tests/platform/graphics/canvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using quelvo::gfx::test::Canvas;
using quelvo::gfx::test::kBlack;
using quelvo::gfx::test::kWhite;

namespace {

constexpr int kW = 8;
constexpr int kH = 4;
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A section of kW x kH pixels selected into its own memory DC for its whole
// life. The colour table starts black, white, red, blue; the rest grey.
class Section {
public:
    Section(int bits, bool topDown) : bits_(bits), topDown_(topDown)
    {
        struct {
            BITMAPINFO info;
            RGBQUAD extra[255];
        } bi{};
        bi.info.bmiHeader.biWidth = kW;
        bi.info.bmiHeader.biHeight = topDown ? -kH : kH;
        bi.info.bmiHeader.biBitCount = static_cast<WORD>(bits);
        RGBQUAD* table = bi.info.bmiColors;
        for (int i = 0; i < 256; ++i)
            table[i] = RGBQUAD{128, 128, 128, 0};
        table[0] = RGBQUAD{0, 0, 0, 0};
        table[1] = RGBQUAD{255, 255, 255, 0};
        table[2] = RGBQUAD{0, 0, 255, 0}; // red (blue byte first)
        table[3] = RGBQUAD{255, 0, 0, 0}; // blue
        void* p = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &bi.info, DIB_RGB_COLORS, &p, nullptr, 0);
        mem_ = static_cast<std::uint8_t*>(p);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Section()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    bool Ok() const { return bitmap_ && mem_ && dc_ && old_; }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    std::uint8_t* mem() const { return mem_; }
    int bits() const { return bits_; }
    bool topDown() const { return topDown_; }
    int Stride() const { return ((kW * bits_ + 31) / 32) * 4; }
    // Drawing colours the table holds exactly; a 1-bit section has only two.
    COLORREF Ink() const { return bits_ == 1 ? kBlack : kRed; }
    COLORREF Ink2() const { return bits_ == 1 ? kBlack : kBlue; }

    void Fill(RECT r, COLORREF c) const
    {
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc_, &r, b);
        DeleteObject(b);
    }

    // The colour of pixel (x, y) in packed bits laid out as this section's.
    COLORREF Decode(const std::uint8_t* bits, int x, int y) const
    {
        const std::uint8_t* row = bits + static_cast<size_t>(topDown_ ? y : kH - 1 - y) * Stride();
        static constexpr COLORREF table[4] = {kBlack, kWhite, kRed, kBlue};
        auto indexed = [](unsigned i) { return i < 4 ? table[i] : RGB(128, 128, 128); };
        switch (bits_) {
        case 1: return indexed((row[x >> 3] >> (7 - (x & 7))) & 1u);
        case 4: return indexed((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
        case 8: return indexed(row[x]);
        case 24: return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
        default: return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
        }
    }
    // Writes one pixel straight into the packed bits.
    void Poke(std::uint8_t* bits, int x, int y, COLORREF c) const
    {
        std::uint8_t* row = bits + static_cast<size_t>(topDown_ ? y : kH - 1 - y) * Stride();
        unsigned index = c == kBlack ? 0 : c == kWhite ? 1 : c == kRed ? 2 : 3;
        switch (bits_) {
        case 1: {
            auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
            row[x >> 3] = static_cast<std::uint8_t>(index ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
            break;
        }
        case 4: {
            std::uint8_t& b = row[x >> 1];
            b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | index)
                        : static_cast<std::uint8_t>((b & 0x0F) | (index << 4));
            break;
        }
        case 8: row[x] = static_cast<std::uint8_t>(index); break;
        default:
            row[x * (bits_ / 8)] = GetBValue(c);
            row[x * (bits_ / 8) + 1] = GetGValue(c);
            row[x * (bits_ / 8) + 2] = GetRValue(c);
            break;
        }
    }

private:
    int bits_;
    bool topDown_;
    HBITMAP bitmap_ = nullptr;
    std::uint8_t* mem_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// Every way a program reads a bitmap back, each giving the picture as colours
// of kW x kH pixels, row by row.
using Picture = std::vector<COLORREF>;

Picture FromCanvas(const Canvas& cv, int scale = 1)
{
    Picture out;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            out.push_back(cv.At(x * scale, y * scale));
    return out;
}

Picture FromPacked(const Section& s, const std::uint8_t* bits)
{
    Picture out;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            out.push_back(s.Decode(bits, x, y));
    return out;
}

struct Reader {
    const char* name;
    std::function<Picture(const Section&)> read;
};

const std::vector<Reader>& Readers()
{
    static const std::vector<Reader> readers = {
        {"GetPixel on its own DC",
         [](const Section& s) {
             Picture out;
             for (int y = 0; y < kH; ++y)
                 for (int x = 0; x < kW; ++x)
                     out.push_back(GetPixel(s.dc(), x, y));
             return out;
         }},
        {"BitBlt",
         [](const Section& s) {
             Canvas cv(kW, kH);
             BitBlt(cv.dc(), 0, 0, kW, kH, s.dc(), 0, 0, SRCCOPY);
             return FromCanvas(cv);
         }},
        {"StretchBlt",
         [](const Section& s) {
             Canvas cv(kW * 2, kH * 2);
             StretchBlt(cv.dc(), 0, 0, kW * 2, kH * 2, s.dc(), 0, 0, kW, kH, SRCCOPY);
             return FromCanvas(cv, 2);
         }},
        {"AlphaBlend",
         [](const Section& s) {
             Canvas cv(kW, kH, RGB(9, 9, 9));
             BLENDFUNCTION bf;
             bf.SourceConstantAlpha = 255;
             AlphaBlend(cv.dc(), 0, 0, kW, kH, s.dc(), 0, 0, kW, kH, bf);
             return FromCanvas(cv);
         }},
        {"TransparentBlt",
         [](const Section& s) {
             Canvas cv(kW, kH, RGB(9, 9, 9));
             TransparentBlt(cv.dc(), 0, 0, kW, kH, s.dc(), 0, 0, kW, kH, RGB(1, 2, 3));
             return FromCanvas(cv);
         }},
        {"MaskBlt",
         [](const Section& s) {
             Canvas cv(kW, kH, RGB(9, 9, 9));
             std::vector<std::uint8_t> ones(static_cast<size_t>(2 * kH), 0xFF);
             HBITMAP mask = CreateBitmap(kW, kH, 1, 1, ones.data());
             MaskBlt(cv.dc(), 0, 0, kW, kH, s.dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, PATCOPY));
             DeleteObject(mask);
             return FromCanvas(cv);
         }},
        {"pattern brush",
         [](const Section& s) {
             Canvas cv(kW, kH, RGB(9, 9, 9));
             HBRUSH b = CreatePatternBrush(s.bitmap());
             RECT r{0, 0, kW, kH};
             FillRect(cv.dc(), &r, b);
             DeleteObject(b);
             return FromCanvas(cv);
         }},
        {"GetDIBits at 32 bits",
         [](const Section& s) {
             BITMAPINFO info{};
             info.bmiHeader.biWidth = kW;
             info.bmiHeader.biHeight = -kH;
             info.bmiHeader.biBitCount = 32;
             std::uint32_t px[kW * kH] = {};
             GetDIBits(s.dc(), s.bitmap(), 0, kH, px, &info, DIB_RGB_COLORS);
             Picture out;
             for (std::uint32_t p : px)
                 out.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
             return out;
         }},
        {"GetBitmapBits",
         [](const Section& s) {
             std::vector<std::uint8_t> bits(static_cast<size_t>(s.Stride() * kH), 0xA5);
             GetBitmapBits(s.bitmap(), static_cast<LONG>(bits.size()), bits.data());
             // Rows come top-down; re-lay them as the section's for Decode.
             std::vector<std::uint8_t> laid(bits.size());
             for (int y = 0; y < kH; ++y)
                 std::memcpy(laid.data() + static_cast<size_t>(s.topDown() ? y : kH - 1 - y) * s.Stride(),
                             bits.data() + static_cast<size_t>(y) * s.Stride(), static_cast<size_t>(s.Stride()));
             return FromPacked(s, laid.data());
         }},
        {"GetObject's bits pointer",
         [](const Section& s) {
             DIBSECTION ds{};
             GetObject(s.bitmap(), sizeof(ds), &ds);
             return FromPacked(s, static_cast<const std::uint8_t*>(ds.dsBm.bmBits));
         }},
        {"section memory after GdiFlush",
         [](const Section& s) {
             GdiFlush();
             return FromPacked(s, s.mem());
         }},
        {"picture of the bitmap",
         [](const Section& s) {
             quelvo::gfx::Picture pic;
             quelvo::gfx::PictureFromBitmap(s.bitmap(), pic);
             Picture out;
             for (quelvo::gfx::Pixel p : pic.pixels)
                 out.push_back(quelvo::gfx::ColorRefFromPixel(p & 0xFFFFFFu));
             out.resize(static_cast<size_t>(kW * kH), RGB(9, 9, 9));
             return out;
         }},
    };
    return readers;
}

std::string Name(int bits, bool topDown, const char* path)
{
    return std::to_string(bits) + " bits " + (topDown ? "top-down" : "bottom-up") + ", read by " + path;
}

struct Depth {
    int bits;
    bool topDown;
};

std::vector<Depth> Depths()
{
    std::vector<Depth> out;
    for (int bits : {1, 4, 8, 24, 32})
        for (bool topDown : {false, true})
            out.push_back({bits, topDown});
    return out;
}

// White everywhere, `ink` on the rectangle (2,1)-(5,3).
Picture Expected(COLORREF ink)
{
    Picture p(static_cast<size_t>(kW * kH), kWhite);
    for (int y = 1; y < 3; ++y)
        for (int x = 2; x < 5; ++x)
            p[static_cast<size_t>(y * kW + x)] = ink;
    return p;
}

TEST(SectionSyncTest, DrawingWhileSelectedReachesEveryReader)
{
    for (auto [bits, topDown] : Depths())
        for (const Reader& reader : Readers()) {
            // A fresh section per reader: one reader must not flush for the next.
            Section s(bits, topDown);
            ASSERT_TRUE(s.Ok()) << bits;
            s.Fill(RECT{0, 0, kW, kH}, kWhite);
            s.Fill(RECT{2, 1, 5, 3}, s.Ink());
            EXPECT_EQ(reader.read(s), Expected(s.Ink())) << Name(bits, topDown, reader.name);
            // Drawing again after a read is seen by the next read as well.
            s.Fill(RECT{2, 1, 5, 3}, kWhite);
            EXPECT_EQ(reader.read(s), Expected(kWhite)) << Name(bits, topDown, reader.name) << ", second time";
        }
}

// Every way a program writes pixels itself: sets pixel (x, y) to `c`.
struct Writer {
    const char* name;
    std::function<void(const Section&, int, int, COLORREF)> write;
};

const std::vector<Writer>& Writers()
{
    static const std::vector<Writer> writers = {
        // Drawing reaches the memory at GdiFlush: the program flushes before
        // writing there, as it must, but draws afterwards without any call.
        {"section memory",
         [](const Section& s, int x, int y, COLORREF c) {
             GdiFlush();
             s.Poke(s.mem(), x, y, c);
         }},
        {"SetDIBits of one white row",
         [](const Section& s, int x, int y, COLORREF c) {
             BITMAPINFO info{};
             info.bmiHeader.biWidth = kW;
             info.bmiHeader.biHeight = -kH;
             info.bmiHeader.biBitCount = 32;
             std::uint32_t row[kW];
             for (auto& p : row)
                 p = 0xFFFFFF;
             row[x] = quelvo::gfx::PixelFromColorRef(c);
             EXPECT_EQ(SetDIBits(s.dc(), s.bitmap(), static_cast<UINT>(y), 1, row, &info, DIB_RGB_COLORS), 1);
         }},
        {"GetBitmapBits then SetBitmapBits",
         [](const Section& s, int x, int y, COLORREF c) {
             std::vector<std::uint8_t> bits(static_cast<size_t>(s.Stride() * kH));
             auto size = static_cast<LONG>(bits.size());
             ASSERT_EQ(GetBitmapBits(s.bitmap(), size, bits.data()), size);
             // Rows are top-down here: poke as a top-down section would.
             s.Poke(bits.data(), x, s.topDown() ? y : kH - 1 - y, c);
             EXPECT_EQ(SetBitmapBits(s.bitmap(), static_cast<DWORD>(size), bits.data()), size);
         }},
    };
    return writers;
}

TEST(SectionSyncTest, WrittenBitsAndDrawingBothSurviveInEitherOrder)
{
    for (auto [bits, topDown] : Depths())
        for (const Writer& writer : Writers())
            for (const Reader& reader : Readers()) {
                Section s(bits, topDown);
                ASSERT_TRUE(s.Ok()) << bits;
                s.Fill(RECT{0, 0, kW, kH}, kWhite);
                writer.write(s, 0, 3, s.Ink2()); // written, then drawn beside
                s.Fill(RECT{2, 1, 5, 3}, s.Ink());
                writer.write(s, 6, 0, s.Ink2()); // drawn, then written beside
                Picture want = Expected(s.Ink());
                want[3 * kW + 0] = s.Ink2();
                want[0 * kW + 6] = s.Ink2();
                EXPECT_EQ(reader.read(s), want)
                    << Name(bits, topDown, reader.name) << ", written through " << writer.name;
            }
}

// After a read, drawing that touches only small places (under a clip, a
// block copy and a fill through a moved origin, one pixel) must still reach every
// reader, beside what the program wrote and what was drawn before.
TEST(SectionSyncTest, SmallDrawingsAfterAReadReachEveryReader)
{
    for (auto [bits, topDown] : Depths())
        for (const Reader& reader : Readers()) {
            Section s(bits, topDown);
            ASSERT_TRUE(s.Ok()) << bits;
            Canvas ink(1, 1, s.Ink2());
            s.Fill(RECT{0, 0, kW, kH}, kWhite);
            s.Fill(RECT{0, 0, 1, 1}, s.Ink());
            GdiFlush();
            s.Poke(s.mem(), 7, 3, s.Ink2());
            const int saved = SaveDC(s.dc());
            IntersectClipRect(s.dc(), 2, 1, 5, 3);
            s.Fill(RECT{0, 0, kW, kH}, s.Ink());
            RestoreDC(s.dc(), saved);
            SetViewportOrgEx(s.dc(), 3, 1, nullptr);
            BitBlt(s.dc(), 3, 1, 1, 1, ink.dc(), 0, 0, SRCCOPY); // device (6, 2)
            s.Fill(RECT{1, -1, 2, 0}, s.Ink2());                 // device (4, 0)
            SetViewportOrgEx(s.dc(), 0, 0, nullptr);
            SetPixel(s.dc(), 1, 3, s.Ink2());
            Picture want = Expected(s.Ink());
            want[0] = s.Ink();
            want[3 * kW + 7] = s.Ink2();
            want[2 * kW + 6] = s.Ink2();
            want[3 * kW + 1] = s.Ink2();
            want[0 * kW + 4] = s.Ink2();
            EXPECT_EQ(reader.read(s), want) << Name(bits, topDown, reader.name);
        }
}

TEST(SectionSyncTest, NeighboursInOnePackedByteKeepTheLastWordOfEach)
{
    // Pixels 0..3 share a byte at 1 and 4 bits: drawing and memory writes
    // meet in it, and on one pixel the later of the two wins.
    for (auto [bits, topDown] : Depths()) {
        Section s(bits, topDown);
        ASSERT_TRUE(s.Ok()) << bits;
        s.Fill(RECT{0, 0, kW, kH}, kWhite);
        GdiFlush();
        SetPixel(s.dc(), 1, 0, s.Ink());     // drawn only
        s.Poke(s.mem(), 0, 0, s.Ink2());     // written only
        SetPixel(s.dc(), 2, 0, s.Ink());     // drawn, then written over
        GdiFlush();                          // the program's part before writing
        s.Poke(s.mem(), 2, 0, kWhite);
        s.Poke(s.mem(), 3, 0, s.Ink2());     // written, then drawn over
        SetPixel(s.dc(), 3, 0, kWhite);
        Picture want(static_cast<size_t>(kW * kH), kWhite);
        want[0] = s.Ink2();
        want[1] = s.Ink();
        std::string where = std::to_string(bits) + (topDown ? " top-down" : " bottom-up");
        for (const Reader& reader : Readers())
            EXPECT_EQ(reader.read(s), want) << where << ", read by " << reader.name;
    }
}

TEST(SectionSyncTest, PartialSetBitmapBitsKeepsDrawingInTheOtherRows)
{
    for (auto [bits, topDown] : Depths()) {
        Section s(bits, topDown);
        ASSERT_TRUE(s.Ok()) << bits;
        s.Fill(RECT{0, 0, kW, kH}, kWhite);
        s.Fill(RECT{2, 1, 5, 3}, s.Ink());
        // Only the top row is given: all of it becomes the second ink.
        std::vector<std::uint8_t> laid(static_cast<size_t>(s.Stride() * kH), 0);
        for (int x = 0; x < kW; ++x)
            s.Poke(laid.data(), x, 0, s.Ink2());
        auto topRow = laid.begin() + (topDown ? 0 : s.Stride() * (kH - 1));
        std::vector<std::uint8_t> top(topRow, topRow + s.Stride());
        EXPECT_EQ(SetBitmapBits(s.bitmap(), static_cast<DWORD>(top.size()), top.data()), s.Stride()) << bits;
        Picture want = Expected(s.Ink());
        for (int x = 0; x < kW; ++x)
            want[static_cast<size_t>(x)] = s.Ink2();
        EXPECT_EQ(Readers()[1].read(s), want) << bits << (topDown ? " top-down" : " bottom-up");
    }
}

TEST(SectionSyncTest, ColoursOutsideTheTableReadBackAsTheNearestEntry)
{
    for (int bits : {1, 4, 8}) {
        Section s(bits, false);
        ASSERT_TRUE(s.Ok()) << bits;
        s.Fill(RECT{0, 0, kW, kH}, RGB(250, 240, 245)); // nearest: white
        s.Fill(RECT{2, 1, 5, 3}, RGB(20, 10, 5));       // nearest: black
        Picture want = Expected(kBlack);
        for (const Reader& reader : Readers())
            EXPECT_EQ(reader.read(s), want) << bits << ", read by " << reader.name;
    }
}

// Brushes and caches made from a bitmap tell by its change stamp when to
// make themselves again: every way of changing the pixels renews it, reading
// them does not.
TEST(BitmapChangeStampTest, WritersAndDrawingRenewTheStampReadersKeepIt)
{
    using quelvo::gfx::BitmapChangeStamp;
    for (auto [bits, topDown] : Depths()) {
        Section s(bits, topDown);
        ASSERT_TRUE(s.Ok()) << bits;
        std::uint64_t stamp = BitmapChangeStamp(s.bitmap());
        auto renewed = [&] {
            std::uint64_t now = BitmapChangeStamp(s.bitmap());
            bool changed = now != stamp;
            stamp = now;
            return changed;
        };
        s.Fill(RECT{0, 0, kW, kH}, kWhite);
        EXPECT_TRUE(renewed()) << Name(bits, topDown, "drawing");
        for (const Reader& reader : Readers()) {
            reader.read(s);
            EXPECT_FALSE(renewed()) << Name(bits, topDown, reader.name);
        }
        HBRUSH pattern = CreatePatternBrush(s.bitmap());
        DeleteObject(pattern);
        EXPECT_FALSE(renewed()) << Name(bits, topDown, "a pattern brush made of it");
        for (const Writer& writer : Writers()) {
            // Writes through a 32-bit section's memory go straight to the pixels.
            if (bits == 32 && std::string(writer.name) == "section memory")
                continue;
            writer.write(s, 1, 1, s.Ink());
            EXPECT_TRUE(renewed()) << Name(bits, topDown, writer.name);
        }
        quelvo::gfx::MarkBitmapChanged(s.bitmap());
        EXPECT_TRUE(renewed()) << Name(bits, topDown, "marked");
    }
    // A new bitmap never repeats the stamp of one before it.
    HBITMAP a = CreateBitmap(2, 2, 1, 32, nullptr);
    std::uint64_t first = BitmapChangeStamp(a);
    DeleteObject(a);
    HBITMAP b = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_GT(BitmapChangeStamp(b), first);
    DeleteObject(b);
    EXPECT_EQ(BitmapChangeStamp(nullptr), 0u);
}

TEST(DeviceBitmapTest, CreateBitmapReadsPixelsAtTheirOwnDepth)
{
    // Rows of whole 16-bit words; 4 and 8 bits index the default table
    // (9 and 180 are red there), 24 bits are blue, green, red.
    struct Case {
        UINT bits;
        std::vector<std::uint8_t> rows; // 3 x 2 pixels
        COLORREF first;                  // pixel (0, 0)
        COLORREF last;                   // pixel (2, 1)
    };
    const Case cases[] = {
        {4, {0x9F, 0x00, 0xF0, 0x90}, kRed, kRed},
        {8, {180, 215, 0, 0, 0, 0, 180, 0}, kRed, kRed},
        {24, {0, 0, 255, 0, 0, 0, 0, 0, 0, 0, /**/ 0, 0, 0, 0, 0, 0, 255, 255, 255, 0}, kRed, kWhite},
    };
    for (const Case& c : cases) {
        // An exact-size buffer: reading past it would be caught.
        std::vector<std::uint8_t> exact(c.rows);
        HBITMAP b = CreateBitmap(3, 2, 1, c.bits, exact.data());
        ASSERT_NE(b, nullptr) << c.bits;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, b);
        EXPECT_EQ(GetPixel(dc, 0, 0), c.first) << c.bits;
        EXPECT_EQ(GetPixel(dc, 2, 1), c.last) << c.bits;
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(b);
    }
    std::uint8_t some[64] = {};
    for (UINT bits : {2u, 16u, 31u})
        EXPECT_EQ(CreateBitmap(3, 2, 1, bits, some), nullptr) << bits << " bits cannot be read";
    HBITMAP blank = CreateBitmap(3, 2, 1, 16, nullptr);
    EXPECT_NE(blank, nullptr) << "without pixels any depth is a bitmap";
    DeleteObject(blank);
}

} // namespace
