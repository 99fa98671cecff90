// A row of 12 header cells (120 x 20, captions, one sort mark) painted 1,000
// times into a 1920 x 1080 bitmap by a look-and-feel painter, beside the
// same picture drawn directly with fills, lines and text output. The row
// moves down 20 pixels per paint and wraps, so every paint really lands.
// Both pictures are compared pixel for pixel before timing.
#include "bench/common/alternating.h"
#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxStandardLookAndFeelPainters.h"
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

std::string Caption(int cell) { return "Column " + std::to_string(cell + 1); }

RECT CellRect(int cell, int top) { return RECT{cell * kCellWidth, top, cell * kCellWidth + kCellWidth, top + kCellHeight}; }

TcxNeighbors Neighbors(int cell)
{
    TcxNeighbors n;
    if (cell > 0) n.Include(nLeft);
    if (cell < kCells - 1) n.Include(nRight);
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

RECT MarkArea(const RECT& cell) { return RECT{cell.right - 3 - kMarkArea, cell.top + 1, cell.right - 3, cell.bottom - 1}; }

// A white bitmap of the screen's size with a TcxCanvas over it.
class Screen {
public:
    Screen() : bitmap_(MakeObject<TBitmap>())
    {
        bitmap_->SetSize(kWidth, kHeight);
        Clear();
        canvas_ = std::make_unique<TcxCanvas>(bitmap_->Canvas());
    }
    void Clear()
    {
        bitmap_->Canvas()->Brush()->SetColor(clWhite);
        bitmap_->Canvas()->FillRect(RECT{0, 0, kWidth, kHeight});
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
        painter->DrawHeader(canvas, cell, TextArea(cell, i), Neighbors(i), cxBordersAll, cxbsNormal, taLeftJustify,
                            vaCenter, false, false, Caption(i), nullptr, clBtnText, clBtnFace);
        if (i == kSortedCell) painter->DrawSortingMark(canvas, MarkArea(cell), true);
    }
}

// The same row with plain drawing calls: the raised bevel with softened
// corners between neighbours, the face, the caption and the mark's three
// lines. Brushes, pens and caption extents are made once.
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
    ~DirectRow()
    {
        for (HGDIOBJ o : {HGDIOBJ(highlightBrush_), HGDIOBJ(shadowBrush_), HGDIOBJ(faceBrush_), HGDIOBJ(shadowPen_),
                          HGDIOBJ(highlightPen_)})
            DeleteObject(o);
    }
    void Paint(int top)
    {
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, text_);
        for (int i = 0; i < kCells; ++i) Cell(i, CellRect(i, top));
        Mark(MarkArea(CellRect(kSortedCell, top)));
    }

private:
    void Fill(LONG l, LONG t, LONG r, LONG b, HBRUSH brush)
    {
        const RECT rc{l, t, r, b};
        FillRect(dc_, &rc, brush);
    }
    void Cell(int i, const RECT& r)
    {
        Fill(r.left, r.top, r.left + 1, r.bottom, highlightBrush_);
        Fill(r.left, r.top, r.right, r.top + 1, highlightBrush_);
        Fill(r.right - 1, r.top, r.right, r.bottom, shadowBrush_);
        Fill(r.left, r.bottom - 1, r.right, r.bottom, shadowBrush_);
        if (i > 0) {
            SetPixel(dc_, r.left, r.top + 1, face_);
            SetPixel(dc_, r.left, r.bottom - 2, face_);
        }
        if (i < kCells - 1) {
            SetPixel(dc_, r.right - 1, r.top, highlight_);
            SetPixel(dc_, r.right - 1, r.top + 1, face_);
            SetPixel(dc_, r.right - 1, r.bottom - 2, face_);
        }
        Fill(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, faceBrush_);
        const RECT area = TextArea(r, i);
        const int y = (area.top + area.bottom - extents_[i].cy) / 2;
        ExtTextOutA(dc_, area.left, y, 0, nullptr, captions_[i].c_str(), static_cast<UINT>(captions_[i].size()),
                    nullptr);
    }
    void Line(HPEN pen, COLORREF color, POINT from, POINT to)
    {
        SelectObject(dc_, pen);
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
        SetPixel(dc_, to.x, to.y, color);
    }
    // An ascending mark of 8 x 7 centred in r.
    void Mark(const RECT& r)
    {
        const int left = (r.left + r.right - 8) / 2, top = (r.top + r.bottom - 7) / 2;
        const int right = left + 7, bottom = top + 6, apex = left + 3;
        Line(shadowPen_, shadow_, {apex, top}, {left, bottom});
        Line(highlightPen_, highlight_, {apex, top}, {right, bottom});
        Line(highlightPen_, highlight_, {left, bottom}, {right, bottom});
    }

    HDC dc_;
    COLORREF face_ = GetSysColor(COLOR_BTNFACE);
    COLORREF highlight_ = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow_ = GetSysColor(COLOR_BTNSHADOW);
    COLORREF text_ = GetSysColor(COLOR_BTNTEXT);
    HBRUSH faceBrush_ = CreateSolidBrush(face_);
    HBRUSH highlightBrush_ = CreateSolidBrush(highlight_);
    HBRUSH shadowBrush_ = CreateSolidBrush(shadow_);
    HPEN shadowPen_ = CreatePen(PS_SOLID, 1, shadow_);
    HPEN highlightPen_ = CreatePen(PS_SOLID, 1, highlight_);
    std::array<std::string, kCells> captions_;
    std::array<SIZE, kCells> extents_{};
};

struct Look {
    const char* name;
    TcxCustomLookAndFeelPainterClass painter;
};

// Both sides once on a clean screen each; the number of differing pixels.
long Differences(const Look& look)
{
    Screen painted, direct;
    PaintRow(look.painter, painted.Canvas(), 0);
    DirectRow(direct.DC(), direct.Font()).Paint(0);
    const auto a = painted.Pixels(), b = direct.Pixels();
    long differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

}  // namespace

int main(int argc, char** argv)
{
    cxStandardLookAndFeelPaintersInitialize();
    const std::vector<Look> looks = {{"Standard", TcxStandardLookAndFeelPainter::Class()},
                                     {"Flat", TcxFlatLookAndFeelPainter::Class()}};
    // Each side its own screen, so neither disturbs the other's drawing state.
    Screen screen, directScreen;
    DirectRow direct(directScreen.DC(), directScreen.Font());
    std::vector<quelvo::bench::Pair> pairs;
    int failed = 0;
    for (const Look& look : looks) {
        if (const long differing = Differences(look); differing != 0) {
            std::printf("%s: the pictures differ in %ld pixels; not timed\n", look.name, differing);
            ++failed;
            continue;
        }
        const auto painter = look.painter;
        quelvo::bench::Pair pair;
        pair.title = std::string(look.name) + ": header row painted 1,000 times";
        pair.subject = {look.name, [&screen, painter] {
                            for (int k = 0; k < kPaints; ++k)
                                PaintRow(painter, screen.Canvas(), (k % kRowsPerScreen) * kCellHeight);
                        }};
        pair.reference = {"direct", [&direct] {
                              for (int k = 0; k < kPaints; ++k) direct.Paint((k % kRowsPerScreen) * kCellHeight);
                          }};
        pair.target = 1.3;
        pair.timing = quelvo::bench::Timing::ThreadProcessor;
        pairs.push_back(std::move(pair));
    }
    quelvo::bench::RunPairs(argc, argv, pairs);
    return failed == 0 ? 0 : 1;
}
