#pragma once
// A bitmap the size of a screen with the fixed-metrics face selected: the
// surface the cell benchmarks paint into, and read back to compare both
// sides' pictures pixel for pixel before timing.

#include <cstddef>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"

namespace quelvo::bench {

class CellScreen {
public:
    static constexpr int kWidth = 1920, kHeight = 1080;

    CellScreen()
    {
        dc_ = CreateCompatibleDC(nullptr);
        HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
        bitmap_ = CreateCompatibleBitmap(display, kWidth, kHeight);
        DeleteDC(display);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        font_->SetName(quelvo::gfx::kFixedTestFace);
        font_->SetHeight(-16);
        host_->SetHandle(dc_);
        host_->SetFont(font_.get());
        canvas_.SetCanvas(host_.get());
        RECT all{0, 0, kWidth, kHeight};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~CellScreen()
    {
        host_->SetHandle(nullptr);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    CellScreen(const CellScreen&) = delete;
    CellScreen& operator=(const CellScreen&) = delete;

    HDC DC() const { return dc_; }
    TcxCanvas* Canvas() { return &canvas_; }
    hostlib::TFont* Font() const { return font_.get(); }
    std::vector<COLORREF> Pixels() const
    {
        std::vector<COLORREF> pixels;
        pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.push_back(GetPixel(dc_, x, y));
        return pixels;
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    hostlib::ObjectPtr<hostlib::TFont> font_ = hostlib::MakeObject<hostlib::TFont>();
    hostlib::ObjectPtr<hostlib::TCanvas> host_ = hostlib::MakeObject<hostlib::TCanvas>();
    TcxCanvas canvas_{nullptr};
};

} // namespace quelvo::bench
