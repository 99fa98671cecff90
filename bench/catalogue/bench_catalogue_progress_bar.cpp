// 1,000 progress-bar cells (75 x 18, a solid bar with a raised bevel and
// its percent text, inverted where it lies over the fill) painted the way a
// list control paints a column: view data from the column's properties, the
// value made a position, the layout calculated and the view info painted
// through its work bitmap. Beside it the least work giving the same
// picture: the background, the bar and its edge filled, and the text drawn
// twice under two clip rectangles, in the text colour and in the inverse of
// what lies beneath. Both pictures are compared pixel for pixel first.
#include "bench/common/alternating.h"
#include "bench/common/cell_screen.h"
#include "components/editor-catalogue/cxProgressBar.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace hostlib;
using quelvo::bench::CellScreen;

constexpr int kWidth = CellScreen::kWidth, kHeight = CellScreen::kHeight;
constexpr int kCellWidth = 75, kCellHeight = 18;
constexpr int kColumns = 25, kRows = 40, kCells = kColumns * kRows;

int Value(int cell) { return cell * 37 % 101; }

RECT CellRect(int cell)
{
    const int column = cell % kColumns, row = cell / kColumns;
    return RECT{column * kCellWidth, row * kCellHeight, (column + 1) * kCellWidth, (row + 1) * kCellHeight};
}

COLORREF Inverse(COLORREF c) { return ~c & 0xFFFFFF; }

// The column: its properties, a cell style, one view info per cell.
class Column {
public:
    explicit Column(TFont* font)
    {
        style_.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), true));
        style_->SetFont(font);
        style_->SetColor(clWindow);
        style_->SetTextColor(clWindowText);
        properties_->SetBarBevelOuter(cxbvRaised);
        for (auto& info : viewInfos_)
            info.reset(CreateInstance<TcxCustomProgressBarViewInfo>(properties_->GetViewInfoClass()));
    }
    void Paint(TcxCanvas* canvas)
    {
        for (int column = 0; column < kColumns; ++column) {
            ObjectPtr<TcxCustomEditViewData> data(properties_->CreateViewData(style_.get(), true));
            for (int cell = column; cell < kCells; cell += kColumns) {
                TcxCustomProgressBarViewInfo* info = viewInfos_[cell].get();
                data->EditValueToDrawValue(canvas, Variant(Value(cell)), info);
                data->CalculateEx(canvas, CellRect(cell), POINT{-1, -1}, cxmbNone, {}, info, false);
                info->PaintEx(canvas);
            }
        }
    }

private:
    ObjectPtr<TcxProgressBarProperties> properties_ = MakeObject<TcxProgressBarProperties>(nullptr);
    ObjectPtr<TcxEditStyle> style_;
    std::array<ObjectPtr<TcxCustomProgressBarViewInfo>, kCells> viewInfos_;
};

void TextClipped(HDC dc, const RECT& clip, int x, int y, const std::string& text, COLORREF color)
{
    if (clip.right <= clip.left) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    SetTextColor(dc, color);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    RestoreDC(dc, saved);
}

void PaintDirectCell(HDC dc, int cell, HBRUSH window, HBRUSH bar)
{
    const RECT r = CellRect(cell);
    FillRect(dc, &r, window);
    const int filled = Value(cell) * kCellWidth / 100;
    const RECT fill{r.left, r.top, r.left + filled, r.bottom};
    if (filled > 0) {
        FillRect(dc, &fill, bar);
        RECT edge = fill;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_TOPLEFT);
        edge = fill;
        DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
    }
    const std::string text = std::to_string(Value(cell)) + " %";
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const int x = r.left + (kCellWidth - size.cx) / 2, y = r.top + (kCellHeight - size.cy) / 2;
    const RECT q{x, y, std::min<int>(fill.right, x + size.cx), y + size.cy};
    if (q.right <= x) return TextClipped(dc, r, x, y, text, GetSysColor(COLOR_WINDOWTEXT));
    // Outside q the text colour; inside it the inverse of the bar, and of
    // the edge on the bar's last column.
    TextClipped(dc, RECT{q.right, r.top, r.right, r.bottom}, x, y, text, GetSysColor(COLOR_WINDOWTEXT));
    const bool edgeInside = q.right == fill.right;
    TextClipped(dc, RECT{q.left, q.top, q.right - (edgeInside ? 1 : 0), q.bottom}, x, y, text, Inverse(0x800000));
    if (edgeInside)
        TextClipped(dc, RECT{q.right - 1, q.top, q.right, q.bottom}, x, y, text, Inverse(GetSysColor(COLOR_BTNSHADOW)));
}

void PaintDirect(HDC dc, HFONT font)
{
    SelectObject(dc, font);
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    HBRUSH bar = CreateSolidBrush(0x800000);
    SetBkMode(dc, TRANSPARENT);
    for (int cell = 0; cell < kCells; ++cell) PaintDirectCell(dc, cell, window, bar);
    DeleteObject(bar);
}

long Differences(const CellScreen& a, const CellScreen& b)
{
    const auto pa = a.Pixels(), pb = b.Pixels();
    long differing = 0;
    for (std::size_t i = 0; i < pa.size(); ++i) differing += pa[i] != pb[i];
    return differing;
}

// Everything painted lives here, so it is gone before the units end.
int Run(int argc, char** argv)
{
    CellScreen painted, direct;
    Column column(painted.Font());
    column.Paint(painted.Canvas());
    PaintDirect(direct.DC(), direct.Font()->Handle());
    const long differing = Differences(painted, direct);
    if (differing != 0) {
        std::printf("the pictures differ in %ld pixels; not timed\n", differing);
        return 1;
    }
    quelvo::bench::Pair cells;
    cells.title = "1,000 progress-bar cells laid out and painted";
    cells.subject = {"view data + work bitmap", [&] { column.Paint(painted.Canvas()); }};
    cells.reference = {"fills, edge, text under two clips", [&] { PaintDirect(direct.DC(), direct.Font()->Handle()); }};
    cells.target = 2.0;
    cells.timing = quelvo::bench::Timing::ThreadProcessor;
    quelvo::bench::RunPairs(argc, argv, {cells});
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    cxEditPaintUtilsInitialize();
    const int result = Run(argc, argv);
    cxEditPaintUtilsFinalize();
    return result;
}
