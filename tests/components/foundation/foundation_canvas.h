#pragma once
// Pixel fixtures of the foundation tests: a bitmap with a TcxCanvas over it,
// an ASCII view through a colour legend, and a distinct system palette
// (each system colour its own value) for the time of a test.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "platform/graphics/winuserdraw.h"
#include "tests/platform/graphics/canvas.h"

namespace foundationtest {

using quelvo::gfx::test::Distinct;

class DistinctPalette : public ::testing::Test {
protected:
    void SetUp() override { quelvo::gfx::test::SetDistinctSysColors(); }
    void TearDown() override { quelvo::gfx::ResetSysColors(); }
};

// A white 32-bit bitmap and a TcxCanvas drawing on it.
class Surface {
public:
    Surface(int width, int height) : bitmap_(hostlib::MakeObject<hostlib::TBitmap>())
    {
        bitmap_->SetSize(width, height);
        bitmap_->Canvas()->Brush()->SetColor(hostlib::clWhite);
        bitmap_->Canvas()->FillRect(RECT{0, 0, width, height});
        canvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
    }
    TcxCanvas& Canvas() { return *canvas_; }
    hostlib::TBitmap* Bitmap() { return bitmap_.get(); }

    // Every pixel in device coordinates, row by row, read past the clip
    // region and window origin of the canvas (both are kept).
    std::vector<COLORREF> Pixels()
    {
        HDC dc = bitmap_->Canvas()->Handle();
        HRGN saved = CreateRectRgn(0, 0, 0, 0);
        const bool clipped = GetClipRgn(dc, saved) == 1;
        SelectClipRgn(dc, nullptr);
        POINT org{};
        SetWindowOrgEx(dc, 0, 0, &org);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < bitmap_->Height(); ++y)
            for (int x = 0; x < bitmap_->Width(); ++x) pixels.push_back(GetPixel(dc, x, y));
        SetWindowOrgEx(dc, org.x, org.y, nullptr);
        SelectClipRgn(dc, clipped ? saved : nullptr);
        DeleteObject(saved);
        return pixels;
    }
    COLORREF At(int x, int y) { return Pixels()[static_cast<std::size_t>(y) * bitmap_->Width() + x]; }
    // One line per row, '?' for colours the legend lacks.
    std::string Art(const std::map<COLORREF, char>& legend)
    {
        const auto pixels = Pixels();
        std::string s = "\n";
        for (int y = 0; y < bitmap_->Height(); ++y) {
            for (int x = 0; x < bitmap_->Width(); ++x) {
                auto it = legend.find(pixels[static_cast<std::size_t>(y) * bitmap_->Width() + x]);
                s += it == legend.end() ? '?' : it->second;
            }
            s += '\n';
        }
        return s;
    }
    // The bounding box of pixels other than white.
    RECT Ink()
    {
        const auto pixels = Pixels();
        RECT r{bitmap_->Width(), bitmap_->Height(), 0, 0};
        for (int y = 0; y < bitmap_->Height(); ++y)
            for (int x = 0; x < bitmap_->Width(); ++x)
                if (pixels[static_cast<std::size_t>(y) * bitmap_->Width() + x] != RGB(255, 255, 255)) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r.left >= r.right ? RECT{} : r;
    }

private:
    hostlib::ObjectPtr<hostlib::TBitmap> bitmap_;
    std::unique_ptr<TcxCanvas> canvas_;
};

}  // namespace foundationtest
