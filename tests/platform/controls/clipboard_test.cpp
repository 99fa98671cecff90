// Images on the clipboard and a desktop backend: what this process sets is
// published as a packed DIB, and another program's image arrives as CF_DIB
// and CF_BITMAP.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/platform/controls/ctl_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A desktop clipboard holding at most one image, as a packed DIB.
struct ImageDesktop {
    Bytes image;  // another program's, empty for none
    std::vector<Bytes> published;
    int emptied = 0;
};

class ImageBackend : public quelvo::ctl::ClipboardBackend {
public:
    explicit ImageBackend(ImageDesktop* desktop) : desktop_(desktop) {}
    void Published(const std::string&) override {}
    bool Fetch(std::string&) override { return false; }
    void PublishedImage(const Bytes& dib) override { desktop_->published.push_back(dib); }
    bool HasImage() override { return !desktop_->image.empty(); }
    bool FetchImage(Bytes& dib) override
    {
        if (desktop_->image.empty()) return false;
        dib = desktop_->image;
        return true;
    }
    void Emptied() override { ++desktop_->emptied; }

private:
    ImageDesktop* desktop_ = nullptr;
};

// A BI_RGB packed DIB with bottom-up rows as given.
Bytes Dib(int width, int height, int bits, const Bytes& rows)
{
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biSizeImage = static_cast<DWORD>(rows.size());
    Bytes out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

HGLOBAL Block(const Bytes& bytes)
{
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    return mem;
}

Bytes BlockBytes(HANDLE mem)
{
    Bytes out(GlobalSize(mem));
    std::memcpy(out.data(), GlobalLock(mem), out.size());
    GlobalUnlock(mem);
    return out;
}

// A bitmap's pixels as 0xRRGGBB, bottom row first.
std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(lines, height);
    for (auto& p : pixels) p &= 0xFFFFFFu;
    return pixels;
}

class ClipboardImageTest : public ctltest::CtlTest {
protected:
    void SetUp() override
    {
        CtlTest::SetUp();
        quelvo::ctl::SetClipboardBackend(std::make_unique<ImageBackend>(&desktop_));
    }
    void TearDown() override
    {
        quelvo::ctl::SetClipboardBackend(nullptr);
        OpenClipboard(nullptr);
        EmptyClipboard();
        CloseClipboard();
        CtlTest::TearDown();
    }
    ImageDesktop desktop_;
};

TEST_F(ClipboardImageTest, ImagesSetHereArePublishedAsPackedDibs)
{
    // 24-bit 2x1: one row of 6 bytes padded to 8.
    const Bytes dib = Dib(2, 1, 24, {0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0});
    ASSERT_TRUE(OpenClipboard(host_));
    EmptyClipboard();
    EXPECT_EQ(desktop_.emptied, 1);
    ASSERT_NE(SetClipboardData(CF_DIB, Block(dib)), nullptr);
    ASSERT_EQ(desktop_.published.size(), 1u);
    EXPECT_EQ(desktop_.published.back(), dib) << "a DIB goes out as it was set";

    // A device bitmap is converted on the way out.
    const std::uint32_t bits[] = {0x00A0B0C0, 0x00010203};
    HBITMAP bitmap = CreateBitmap(2, 1, 1, 32, bits);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(SetClipboardData(CF_BITMAP, bitmap), nullptr);
    ASSERT_EQ(desktop_.published.size(), 2u);
    const Bytes& out = desktop_.published.back();
    ASSERT_EQ(out.size(), sizeof(BITMAPINFOHEADER) + 8);
    BITMAPINFOHEADER h{};
    std::memcpy(&h, out.data(), sizeof h);
    EXPECT_EQ(h.biWidth, 2);
    EXPECT_EQ(h.biHeight, 1);
    EXPECT_EQ(h.biBitCount, 32);
    std::uint32_t first = 0, second = 0;
    std::memcpy(&first, out.data() + sizeof h, 4);
    std::memcpy(&second, out.data() + sizeof h + 4, 4);
    EXPECT_EQ(first & 0xFFFFFFu, 0xA0B0C0u);
    EXPECT_EQ(second & 0xFFFFFFu, 0x010203u);

    // Text alone publishes no image; a block that is no DIB is refused.
    EmptyClipboard();
    HGLOBAL text = Block({'h', 'i', 0});
    ASSERT_NE(SetClipboardData(CF_TEXT, text), nullptr);
    EXPECT_EQ(SetClipboardData(CF_DIB, reinterpret_cast<HANDLE>(std::uintptr_t{0x1234})), nullptr);
    EXPECT_EQ(desktop_.published.size(), 2u);
    EXPECT_EQ(desktop_.emptied, 2);
    CloseClipboard();
}

TEST_F(ClipboardImageTest, AnotherProgramsImageArrivesAsDibAndBitmap)
{
    struct Step {
        const char* what;
        Bytes desktop;
        bool available;
        std::vector<std::uint32_t> pixels;  // bottom row first; empty when no bitmap can be made
    };
    const Step steps[] = {
        {"a 24-bit image", Dib(1, 2, 24, {0x03, 0x02, 0x01, 0, 0x30, 0x20, 0x10, 0}), true, {0x010203, 0x102030}},
        {"replaced: fetched data is asked for anew", Dib(1, 1, 32, {0x0C, 0x0B, 0x0A, 0}), true, {0x0A0B0C}},
        {"a header claiming more rows than it holds", Dib(4, 4000, 32, {1, 2, 3, 4}), true, {}},
        {"no image any more", {}, false, {}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        desktop_.image = s.desktop;
        EXPECT_EQ(IsClipboardFormatAvailable(CF_DIB) != FALSE, s.available);
        EXPECT_EQ(IsClipboardFormatAvailable(CF_BITMAP) != FALSE, s.available);
        ASSERT_TRUE(OpenClipboard(host_));
        HANDLE dib = GetClipboardData(CF_DIB);
        EXPECT_EQ(dib != nullptr, s.available);
        if (dib) {
            EXPECT_EQ(BlockBytes(dib), s.desktop);
        }
        HANDLE bitmap = GetClipboardData(CF_BITMAP);
        EXPECT_EQ(bitmap != nullptr, !s.pixels.empty());
        if (bitmap) {
            BITMAP bm{};
            ASSERT_TRUE(GetObjectA(bitmap, sizeof bm, &bm));
            EXPECT_EQ(BitmapPixels(static_cast<HBITMAP>(bitmap), bm.bmWidth, bm.bmHeight), s.pixels);
        }
        EXPECT_EQ(GetClipboardData(CF_DIB), dib) << "the same handle while the clipboard stays open";
        CloseClipboard();
    }

    // A bitmap asked for first fetches the DIB behind it.
    desktop_.image = Dib(1, 1, 24, {0x44, 0x55, 0x66, 0});
    ASSERT_TRUE(OpenClipboard(host_));
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(BitmapPixels(static_cast<HBITMAP>(bitmap), 1, 1), std::vector<std::uint32_t>{0x665544});
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), desktop_.image);
    CloseClipboard();

    // Our own image wins over the desktop's while we hold it.
    const Bytes ours = Dib(1, 1, 24, {1, 1, 1, 0});
    ASSERT_TRUE(OpenClipboard(host_));
    EmptyClipboard();
    ASSERT_NE(SetClipboardData(CF_DIB, Block(ours)), nullptr);
    CloseClipboard();
    ASSERT_TRUE(OpenClipboard(host_));
    EXPECT_EQ(BlockBytes(GetClipboardData(CF_DIB)), ours);
    CloseClipboard();
}

}  // namespace
