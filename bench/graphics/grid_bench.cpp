// A 1,000-row x 6-column text grid with grid lines and alternating row
// colours, drawn into a 1920 x 1080 surface by our rasteriser and by Cairo
// with FreeType text. Rows wrap around the surface height (row i at
// (i mod 60) x 18), so every one of the 6,000 cells is really rasterised.
// Each cell's text is clipped to the cell in both. Cairo with FreeType is
// the reference: the least work a common library does for the same
// picture. Alternating rounds.
#include "bench/common/alternating.h"
#include "platform/graphics/surface.h"
#include "platform/graphics/wingdi.h"

#include <cairo.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kRows = 1000;
constexpr int kCols = 6;
constexpr int kRowHeight = 18;
constexpr int kColWidth = kWidth / kCols;
constexpr int kRowsPerScreen = kHeight / kRowHeight;
constexpr const char* kFamily = "DejaVu Sans";
constexpr int kFontPixels = 12;

// Every cell's text, row by row.
std::vector<std::string> CellTexts()
{
    std::vector<std::string> texts;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "Row %d, column %d: value %d", r, c, r * 7 + c * 13);
            texts.push_back(buf);
        }
    return texts;
}

// The grid drawn by our rasteriser, set up once.
class OurGrid {
public:
    OurGrid()
    {
        SelectObject(dc, font);
        SelectObject(dc, grid);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
    }
    ~OurGrid()
    {
        quelvo::gfx::ReleaseSurfaceDC(dc);
        DeleteObject(font);
        DeleteObject(even);
        DeleteObject(odd);
        DeleteObject(grid);
    }
    OurGrid(const OurGrid&) = delete;
    OurGrid& operator=(const OurGrid&) = delete;

    void Draw()
    {
        for (int r = 0; r < kRows; ++r) {
            int y = (r % kRowsPerScreen) * kRowHeight;
            RECT row{0, y, kWidth, y + kRowHeight};
            FillRect(dc, &row, (r & 1) ? odd : even);
            for (int c = 0; c < kCols; ++c) {
                RECT cell{c * kColWidth + 3, y, (c + 1) * kColWidth - 3, y + kRowHeight};
                const std::string& t = texts[static_cast<size_t>(r * kCols + c)];
                ExtTextOutA(dc, cell.left, y + 2, ETO_CLIPPED, &cell, t.data(), static_cast<UINT>(t.size()), nullptr);
                MoveToEx(dc, (c + 1) * kColWidth - 1, y, nullptr);
                LineTo(dc, (c + 1) * kColWidth - 1, y + kRowHeight);
            }
            MoveToEx(dc, 0, y + kRowHeight - 1, nullptr);
            LineTo(dc, kWidth, y + kRowHeight - 1);
        }
        sink = surface.Row(0)[0];
    }

private:
    quelvo::gfx::Surface surface{kWidth, kHeight};
    HDC dc = quelvo::gfx::CreateSurfaceDC(surface, POINT{0, 0}, nullptr);
    HFONT font = CreateFontA(-kFontPixels, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, kFamily);
    HBRUSH even = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH odd = CreateSolidBrush(RGB(235, 241, 250));
    HPEN grid = CreatePen(PS_SOLID, 1, RGB(200, 200, 200));
    const std::vector<std::string> texts = CellTexts();
    volatile std::uint32_t sink = 0;
};

// The same grid drawn by Cairo, set up once.
class CairoGrid {
public:
    CairoGrid()
    {
        cairo_select_font_face(cr, kFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, kFontPixels);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE); // crisp one-pixel lines and rectangles
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_set_font_options(cr, options);
        cairo_set_line_width(cr, 1.0);
        cairo_font_extents(cr, &fe);
    }
    ~CairoGrid()
    {
        cairo_font_options_destroy(options);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    CairoGrid(const CairoGrid&) = delete;
    CairoGrid& operator=(const CairoGrid&) = delete;

    void Draw()
    {
        for (int r = 0; r < kRows; ++r) {
            int y = (r % kRowsPerScreen) * kRowHeight;
            if (r & 1)
                cairo_set_source_rgb(cr, 235 / 255.0, 241 / 255.0, 250 / 255.0);
            else
                cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_rectangle(cr, 0, y, kWidth, kRowHeight);
            cairo_fill(cr);
            for (int c = 0; c < kCols; ++c) {
                cairo_save(cr);
                cairo_rectangle(cr, c * kColWidth + 3, y, kColWidth - 6, kRowHeight);
                cairo_clip(cr);
                cairo_set_source_rgb(cr, 0, 0, 0);
                cairo_move_to(cr, c * kColWidth + 3, y + 2 + fe.ascent);
                cairo_show_text(cr, texts[static_cast<size_t>(r * kCols + c)].c_str());
                cairo_restore(cr);
                cairo_set_source_rgb(cr, 200 / 255.0, 200 / 255.0, 200 / 255.0);
                cairo_move_to(cr, (c + 1) * kColWidth - 0.5, y);
                cairo_line_to(cr, (c + 1) * kColWidth - 0.5, y + kRowHeight);
                cairo_stroke(cr);
            }
            cairo_set_source_rgb(cr, 200 / 255.0, 200 / 255.0, 200 / 255.0);
            cairo_move_to(cr, 0, y + kRowHeight - 0.5);
            cairo_line_to(cr, kWidth, y + kRowHeight - 0.5);
            cairo_stroke(cr);
        }
        cairo_surface_flush(surface);
        sink = cairo_image_surface_get_data(surface)[0];
    }

private:
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_extents_t fe{};
    const std::vector<std::string> texts = CellTexts();
    volatile unsigned char sink = 0;
};

} // namespace

int main(int argc, char** argv)
{
    OurGrid ours;
    CairoGrid cairo;
    return quelvo::bench::RunPairs(argc, argv,
                                   {{"1,000 x 6 text grid on 1920 x 1080", {"ours", [&] { ours.Draw(); }},
                                     {"Cairo", [&] { cairo.Draw(); }}, 1.0}});
}
