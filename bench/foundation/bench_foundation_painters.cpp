// A row of 12 header cells (120 x 20, captions, one sort mark) painted 1,000
// times into a 1920 x 1080 bitmap by each look and feel's painter, beside
// the same picture drawn directly with fills, pixels, lines and text
// output. The row moves down 20 pixels per paint and wraps, so every paint
// really lands. Both pictures are compared pixel for pixel before timing.
#include "bench/common/alternating.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
#include "components/foundation/cxUltraFlatLookAndFeelPainters.h"
#include "components/foundation/dxOffice11.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace hostlib;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCells = 12;
constexpr int kCellWidth = 120;
constexpr int kCellHeight = 20;
constexpr int kPaints = 1000;
constexpr int kRowsPerScreen = kHeight / kCellHeight;
constexpr int kSortedCell = 3;
constexpr int kMarkArea = 16;
constexpr int kGradientRows = 4;

std::string Caption(int cell) { return "Column " + std::to_string(cell + 1); }

RECT CellRect(int cell, int top)
{
    return RECT{cell * kCellWidth, top, cell * kCellWidth + kCellWidth, top + kCellHeight};
}

bool HasLeft(int cell) { return cell > 0; }
bool HasRight(int cell) { return cell < kCells - 1; }

TcxNeighbors Neighbors(int cell)
{
    TcxNeighbors n;
    if (HasLeft(cell)) n.Include(nLeft);
    if (HasRight(cell)) n.Include(nRight);
    return n;
}

// The caption's area: inside the border with a little room, less the sort
// mark's area on the sorted cell.
RECT TextArea(const RECT& cell, int index)
{
    RECT r{cell.left + 3, cell.top + 1, cell.right - 3, cell.bottom - 1};
    if (index == kSortedCell) r.right -= kMarkArea;
    return r;
}

RECT MarkArea(const RECT& cell)
{
    return RECT{cell.right - 3 - kMarkArea, cell.top + 1, cell.right - 3, cell.bottom - 1};
}

COLORREF Rgb(TColor color) { return ColorToRGB(color); }

// A white bitmap of the screen's size with a TcxCanvas over it.
class Screen {
public:
    Screen() : bitmap_(MakeObject<TBitmap>())
    {
        bitmap_->SetSize(kWidth, kHeight);
        bitmap_->Canvas()->Brush()->SetColor(clWhite);
        bitmap_->Canvas()->FillRect(RECT{0, 0, kWidth, kHeight});
        canvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
    }
    TcxCanvas* Canvas() { return canvas_.get(); }
    HDC DC() { return bitmap_->Canvas()->Handle(); }
    HFONT Font() { return bitmap_->Canvas()->Font()->Handle(); }
    std::vector<COLORREF> Pixels()
    {
        std::vector<COLORREF> pixels;
        pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.push_back(GetPixel(DC(), x, y));
        return pixels;
    }

private:
    ObjectPtr<TBitmap> bitmap_;
    std::unique_ptr<TcxCanvas> canvas_;
};

// The row painted by a painter the way a grid paints its headers.
void PaintRow(TcxCustomLookAndFeelPainterClass painter, TcxCanvas* canvas, int top)
{
    for (int i = 0; i < kCells; ++i) {
        const RECT cell = CellRect(i, top);
        painter->DrawHeader(canvas, cell, TextArea(cell, i), Neighbors(i), painter->HeaderBorders(Neighbors(i)),
                            cxbsNormal, taLeftJustify, vaCenter, false, false, Caption(i), nullptr, clBtnText,
                            clBtnFace);
        if (i == kSortedCell) painter->DrawSortingMark(canvas, MarkArea(cell), true);
    }
}

// Brushes and pens made once, deleted with the owner.
class Gdi {
public:
    Gdi() = default;
    Gdi(const Gdi&) = delete;
    Gdi& operator=(const Gdi&) = delete;
    ~Gdi()
    {
        for (HGDIOBJ o : objects_) DeleteObject(o);
    }
    HBRUSH Brush(COLORREF color) { return Keep(CreateSolidBrush(color)); }
    HPEN Pen(COLORREF color) { return Keep(CreatePen(PS_SOLID, 1, color)); }

private:
    template <typename T>
    T Keep(T object)
    {
        objects_.push_back(object);
        return object;
    }
    std::vector<HGDIOBJ> objects_;
};

// The same row drawn with plain calls: a look's frame and face per cell,
// then the captions and the ascending mark, which every look draws alike
// but for its size and colours. Caption extents are measured once.
class DirectRow {
public:
    DirectRow(HDC dc, HFONT font) : dc_(dc)
    {
        SelectObject(dc_, font);
        for (int i = 0; i < kCells; ++i) {
            captions_[i] = Caption(i);
            GetTextExtentPoint32A(dc_, captions_[i].c_str(), static_cast<int>(captions_[i].size()), &extents_[i]);
        }
    }
    virtual ~DirectRow() = default;
    void Paint(int top)
    {
        for (int i = 0; i < kCells; ++i) Cell(i, CellRect(i, top));
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, text_);
        for (int i = 0; i < kCells; ++i) Text(i, TextArea(CellRect(i, top), i));
        Mark(MarkArea(CellRect(kSortedCell, top)));
    }

protected:
    virtual void Cell(int i, const RECT& r) = 0;
    void Fill(LONG l, LONG t, LONG r, LONG b, HBRUSH brush)
    {
        const RECT rc{l, t, r, b};
        FillRect(dc_, &rc, brush);
    }
    void Pixel(int x, int y, COLORREF color) { SetPixel(dc_, x, y, color); }
    // The mark's look: its size and the colours of its left and other edges.
    void SetMark(POINT size, COLORREF first, COLORREF second)
    {
        markSize_ = size;
        markColors_ = {first, second};
        markPens_ = {gdi_.Pen(first), gdi_.Pen(second)};
    }
    Gdi gdi_;

private:
    void Text(int i, const RECT& area)
    {
        const int y = (area.top + area.bottom - extents_[i].cy) / 2;
        ExtTextOutA(dc_, area.left, y, 0, nullptr, captions_[i].c_str(), static_cast<UINT>(captions_[i].size()),
                    nullptr);
    }
    void Line(int which, POINT from, POINT to)
    {
        SelectObject(dc_, markPens_[which]);
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
        SetPixel(dc_, to.x, to.y, markColors_[which]);
    }
    void Mark(const RECT& r)
    {
        const int left = (r.left + r.right - markSize_.x) / 2, top = (r.top + r.bottom - markSize_.y) / 2;
        const int right = left + markSize_.x - 1, bottom = top + markSize_.y - 1;
        const int apex = left + (markSize_.x - 1) / 2;
        Line(0, {apex, top}, {left, bottom});
        Line(1, {apex, top}, {right, bottom});
        Line(1, {left, bottom}, {right, bottom});
    }

    HDC dc_;
    COLORREF text_ = Rgb(clBtnText);
    std::array<std::string, kCells> captions_;
    std::array<SIZE, kCells> extents_{};
    POINT markSize_{};
    std::array<COLORREF, 2> markColors_{};
    std::array<HPEN, 2> markPens_{};
};

// Standard and flat: a raised bevel whose corners soften towards neighbours.
class SoftBevelRow : public DirectRow {
public:
    SoftBevelRow(HDC dc, HFONT font) : DirectRow(dc, font) { SetMark({8, 7}, shadow_, highlight_); }

private:
    void Cell(int i, const RECT& r) override
    {
        Fill(r.left, r.top, r.left + 1, r.bottom, highlightBrush_);
        Fill(r.left, r.top, r.right, r.top + 1, highlightBrush_);
        Fill(r.right - 1, r.top, r.right, r.bottom, shadowBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, shadowBrush_);
        if (HasLeft(i)) {
            Pixel(r.left, r.top + 1, face_);
            Pixel(r.left, r.bottom - 2, face_);
        }
        if (HasRight(i)) {
            Pixel(r.right - 1, r.top, highlight_);
            Pixel(r.right - 1, r.top + 1, face_);
            Pixel(r.right - 1, r.bottom - 2, face_);
        }
        Fill(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, faceBrush_);
    }

    COLORREF face_ = Rgb(clBtnFace), highlight_ = Rgb(clBtnHighlight), shadow_ = Rgb(clBtnShadow);
    HBRUSH faceBrush_ = gdi_.Brush(face_), highlightBrush_ = gdi_.Brush(highlight_), shadowBrush_ = gdi_.Brush(shadow_);
};

// Ultra-flat: a one-pixel line in the text colour; neighbours share the
// left line.
class LineFrameRow : public DirectRow {
public:
    LineFrameRow(HDC dc, HFONT font) : DirectRow(dc, font) { SetMark({7, 8}, Rgb(clBtnShadow), Rgb(clBtnShadow)); }

private:
    void Cell(int i, const RECT& r) override
    {
        const int left = HasLeft(i) ? r.left : r.left + 1;
        if (!HasLeft(i)) Fill(r.left, r.top, r.left + 1, r.bottom, lineBrush_);
        Fill(r.right - 1, r.top, r.right, r.bottom, lineBrush_);
        Fill(r.left, r.top, r.right, r.top + 1, lineBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, lineBrush_);
        Fill(left, r.top + 1, r.right - 1, r.bottom - 1, faceBrush_);
    }

    HBRUSH lineBrush_ = gdi_.Brush(Rgb(clBtnText)), faceBrush_ = gdi_.Brush(Rgb(clBtnFace));
};

// Office 2003: a face fading to darker at the foot, a dark edge right and
// below and a light one left, with rounded-off ends where cells meet.
class GradientRow : public DirectRow {
public:
    GradientRow(HDC dc, HFONT font) : DirectRow(dc, font)
    {
        SetMark({7, 8}, dark_, light_);
        const RECT run{0, 0, 1, kGradientRows};
        for (int y = 0; y < kGradientRows; ++y)
            gradient_[y] = gdi_.Brush(Rgb(GetGradientColorRect(run, y, topColor_, bottomColor_, false)));
    }

private:
    void Cell(int i, const RECT& r) override
    {
        Fill(r.left, r.top, r.right, r.top + 1, topBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, darkBrush_);
        LeftEdge(i, r);
        RightEdge(i, r);
        const int left = r.left + 1, right = r.right - 1, bottom = r.bottom - 1;
        Fill(left, r.top + 1, right, bottom - 3, topBrush_);
        for (int y = 0; y < kGradientRows; ++y)
            Fill(left, bottom - kGradientRows + y, right, bottom - kGradientRows + y + 1, gradient_[y]);
    }
    void LeftEdge(int i, const RECT& r)
    {
        if (HasLeft(i)) {
            Fill(r.left, r.top + 2, r.left + 1, r.bottom - 3, lightBrush_);
            Pixel(r.left, r.top + 1, top_);
            Pixel(r.left, r.bottom - 3, topToBottom_);
        } else {
            Fill(r.left, r.top + 1, r.left + 1, r.bottom - 2, lightBrush_);
            Pixel(r.left, r.bottom - 2, bottom_);
        }
    }
    void RightEdge(int i, const RECT& r)
    {
        const int x = r.right - 1;
        if (HasRight(i)) {
            Fill(x, r.top + 2, x + 1, r.bottom - 3, darkBrush_);
            Pixel(x, r.top + 1, top_);
            Pixel(x, r.bottom - 3, topToBottom_);
            Pixel(x, r.bottom - 2, bottom_);
        } else {
            Fill(x, r.top + 1, x + 1, r.bottom - 2, darkBrush_);
            Pixel(x, r.top, topToDark_);
            Pixel(x, r.bottom - 2, bottomToDark_);
        }
    }

    TColor topColor_ = GetMiddleRGB(dxOffice11ToolbarsColor1, dxOffice11ToolbarsColor2, 50);
    TColor bottomColor_ = dxOffice11ToolbarsColor2;
    TColor darkColor_ = dxOffice11BarSeparatorColor1;
    COLORREF top_ = Rgb(topColor_), bottom_ = Rgb(bottomColor_), dark_ = Rgb(darkColor_);
    COLORREF light_ = Rgb(dxOffice11BarSeparatorColor2);
    COLORREF topToBottom_ = Rgb(GetMiddleRGB(topColor_, bottomColor_, 25));
    COLORREF topToDark_ = Rgb(GetMiddleRGB(topColor_, darkColor_, 50));
    COLORREF bottomToDark_ = Rgb(GetMiddleRGB(bottomColor_, darkColor_, 50));
    HBRUSH topBrush_ = gdi_.Brush(top_), darkBrush_ = gdi_.Brush(dark_), lightBrush_ = gdi_.Brush(light_);
    std::array<HBRUSH, kGradientRows> gradient_{};
};

struct Look {
    const char* name;
    TcxCustomLookAndFeelPainterClass painter;
    std::function<std::unique_ptr<DirectRow>(Screen&)> direct;
};

template <typename Row>
std::function<std::unique_ptr<DirectRow>(Screen&)> Direct()
{
    return [](Screen& s) -> std::unique_ptr<DirectRow> { return std::make_unique<Row>(s.DC(), s.Font()); };
}

// Both sides once on a clean screen each; the number of differing pixels.
long Differences(const Look& look)
{
    Screen painted, direct;
    PaintRow(look.painter, painted.Canvas(), 0);
    look.direct(direct)->Paint(0);
    const auto a = painted.Pixels(), b = direct.Pixels();
    long differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

// Each side its own screen, so neither disturbs the other's drawing state.
struct Sides {
    Screen painted, direct;
    std::unique_ptr<DirectRow> row;
};

quelvo::bench::Pair PairOf(const Look& look, Sides& sides)
{
    const auto painter = look.painter;
    TcxCanvas* canvas = sides.painted.Canvas();
    DirectRow* row = sides.row.get();
    quelvo::bench::Pair pair;
    pair.title = std::string(look.name) + ": header row painted 1,000 times";
    pair.subject = {look.name, [painter, canvas] {
                        for (int k = 0; k < kPaints; ++k) PaintRow(painter, canvas, (k % kRowsPerScreen) * kCellHeight);
                    }};
    pair.reference = {"direct", [row] {
                          for (int k = 0; k < kPaints; ++k) row->Paint((k % kRowsPerScreen) * kCellHeight);
                      }};
    pair.target = 1.3;
    pair.timing = quelvo::bench::Timing::ThreadProcessor;
    return pair;
}

}  // namespace

int main(int argc, char** argv)
{
    cxStandardLookAndFeelPaintersInitialize();
    cxUltraFlatLookAndFeelPaintersInitialize();
    const std::vector<Look> looks = {
        {"Standard", TcxStandardLookAndFeelPainter::Class(), Direct<SoftBevelRow>()},
        {"Flat", TcxFlatLookAndFeelPainter::Class(), Direct<SoftBevelRow>()},
        {"Ultra-flat", TcxUltraFlatLookAndFeelPainter::Class(), Direct<LineFrameRow>()},
        {"Office 2003", TcxOffice11LookAndFeelPainter::Class(), Direct<GradientRow>()},
    };
    std::vector<std::unique_ptr<Sides>> sides;
    std::vector<quelvo::bench::Pair> pairs;
    int failed = 0;
    for (const Look& look : looks) {
        if (const long differing = Differences(look); differing != 0) {
            std::printf("%s: the pictures differ in %ld pixels; not timed\n", look.name, differing);
            ++failed;
            continue;
        }
        auto& s = sides.emplace_back(std::make_unique<Sides>());
        s->row = look.direct(s->direct);
        pairs.push_back(PairOf(look, *s));
    }
    quelvo::bench::RunPairs(argc, argv, pairs);
    return failed == 0 ? 0 : 1;
}
