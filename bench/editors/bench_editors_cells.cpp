// 1,000 text cells (75 x 18, every tenth too long for its cell and cut with
// an end ellipsis) painted the way a list control paints a column without
// editors: view data from the column's properties, the value made a draw
// value, the layout calculated, the view info painted at its place, the
// text drawn in its client area. Beside it the least work giving the same
// picture: FillRect and DrawTextA per cell. Then the same after moving
// every laid-out cell with Offset, with no new layout. Both pictures are
// compared pixel for pixel before timing.
#include "bench/common/alternating.h"
#include "bench/common/cell_screen.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/editors/cxEditViewData.h"
#include "platform/graphics/wingdi.h"
#include "platform/graphics/winuserdraw.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace hostlib;
using quelvo::bench::CellScreen;

constexpr int kWidth = CellScreen::kWidth, kHeight = CellScreen::kHeight;
constexpr int kCellWidth = 75, kCellHeight = 18;
constexpr int kColumns = 25, kRows = 40, kCells = kColumns * kRows;
constexpr int kShift = kCellHeight; // how far Offset moves the cells per paint
constexpr int kPositions = (kHeight - kRows * kCellHeight) / kShift;

std::string Text(int cell)
{
    return cell % 10 == 0 ? "A much longer text " + std::to_string(cell) : "Row " + std::to_string(cell);
}

RECT CellRect(int cell, int dy = 0)
{
    const int column = cell % kColumns, row = cell / kColumns;
    return RECT{column * kCellWidth, row * kCellHeight + dy, (column + 1) * kCellWidth, (row + 1) * kCellHeight + dy};
}

unsigned TextFormat(int cell) { return cxSingleLine | (taCenterY << 4) | (cell % 10 == 0 ? cxShowEndEllipsis : 0u); }

UINT DrawTextFormat(int cell)
{
    return DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (cell % 10 == 0 ? DT_END_ELLIPSIS : 0u);
}

// A cell's text laid out once, as a text cell keeps it with its view info:
// the rows are made and placed with the layout and only drawn when painted.
struct CellText {
    std::string text;
    TcxTextParams params;
    TcxTextRows rows;
    int rowCount = 0;
    RECT rect{};

    void Layout(HDC dc, int cell, const RECT& clientRect)
    {
        text = Text(cell);
        params = cxCalcTextParams(dc, TextFormat(cell));
        rect = cxPrepareRect(clientRect, params, 0, 0);
        cxMakeTextRows(dc, text, rect, params, rows, rowCount);
        cxPlaceTextRows(dc, rect, params, rows, rowCount);
    }
    void Offset(int dy)
    {
        OffsetRect(&rect, 0, dy);
        for (int i = 0; i < rowCount; ++i)
            rows[static_cast<std::size_t>(i)].TextOriginY += dy;
    }
    void Paint(HDC dc) const
    {
        cxTextRowsOutHighlight(dc, rect, params, rows, rowCount, 0, 0, clDefault, clDefault, false);
    }
};

// The column: its properties, a holder style fed with the list's look, and
// one view info and laid-out text per cell kept between paints.
class Column {
public:
    explicit Column(TFont* font)
    {
        style_.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), true));
        style_->SetFont(font);
        style_->SetColor(clWindow);
        style_->SetTextColor(clWindowText);
        for (auto& info : viewInfos_)
            info = MakeObject<TcxCustomEditViewInfo>();
    }
    // Layout and painting, view data made once per column of the grid.
    void Paint(TcxCanvas* canvas)
    {
        for (int column = 0; column < kColumns; ++column) {
            ObjectPtr<TcxCustomEditViewData> data(properties_->CreateViewData(style_.get(), true));
            for (int cell = column; cell < kCells; cell += kColumns) {
                TcxCustomEditViewInfo* info = viewInfos_[cell].get();
                data->EditValueToDrawValue(canvas, Variant(Text(cell)), info);
                data->CalculateEx(canvas, CellRect(cell), POINT{-1, -1}, cxmbNone, {}, info, false);
                RECT client = info->ClientRect;
                OffsetRect(&client, info->Left, info->Top);
                texts_[cell].Layout(canvas->Handle(), cell, client);
                PaintCell(canvas, cell);
            }
        }
    }
    // Every laid-out cell moved by dy and painted again.
    void PaintMoved(TcxCanvas* canvas, int dy)
    {
        for (int cell = 0; cell < kCells; ++cell) {
            viewInfos_[cell]->Offset(0, dy);
            texts_[cell].Offset(dy);
            PaintCell(canvas, cell);
        }
    }

private:
    void PaintCell(TcxCanvas* canvas, int cell)
    {
        TcxCustomEditViewInfo* info = viewInfos_[cell].get();
        info->PaintEx(canvas);
        canvas->Font()->SetColor(info->TextColor);
        SetBkMode(canvas->Handle(), TRANSPARENT);
        texts_[cell].Paint(canvas->Handle());
    }

    ObjectPtr<TcxCustomEditProperties> properties_ = MakeObject<TcxCustomEditProperties>(nullptr);
    ObjectPtr<TcxEditStyle> style_;
    std::array<ObjectPtr<TcxCustomEditViewInfo>, kCells> viewInfos_;
    std::array<CellText, kCells> texts_;
};

void PaintDirect(HDC dc, int dy)
{
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(dc, TRANSPARENT);
    for (int cell = 0; cell < kCells; ++cell) {
        RECT r = CellRect(cell, dy);
        FillRect(dc, &r, window);
        const std::string text = Text(cell);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DrawTextFormat(cell));
    }
}

long Differences(const CellScreen& a, const CellScreen& b)
{
    const auto pa = a.Pixels(), pb = b.Pixels();
    long differing = 0;
    for (std::size_t i = 0; i < pa.size(); ++i)
        differing += pa[i] != pb[i];
    return differing;
}

} // namespace

int main(int argc, char** argv)
{
    cxEditPaintUtilsInitialize();
    CellScreen painted, direct, moved, movedDirect;
    Column column(painted.Font()), movedColumn(moved.Font());
    column.Paint(painted.Canvas());
    PaintDirect(direct.DC(), 0);
    movedColumn.Paint(moved.Canvas());
    movedColumn.PaintMoved(moved.Canvas(), kShift);
    PaintDirect(movedDirect.DC(), 0);
    PaintDirect(movedDirect.DC(), kShift);
    const long differing = Differences(painted, direct) + Differences(moved, movedDirect);
    if (differing != 0) {
        std::printf("the pictures differ in %ld pixels; not timed\n", differing);
        return 1;
    }
    // The moved cells walk down the screen and come back up, so each paint lands.
    int position = 1;
    auto step = [&position] {
        const int dy = position < kPositions ? kShift : -kShift * (kPositions - 1);
        position = position < kPositions ? position + 1 : 1;
        return dy;
    };
    int directPosition = 1;
    quelvo::bench::Pair layout;
    layout.title = "1,000 text cells laid out and painted";
    layout.subject = {"view data", [&] { column.Paint(painted.Canvas()); }};
    layout.reference = {"FillRect + DrawTextA", [&] { PaintDirect(direct.DC(), 0); }};
    layout.target = 2.0;
    layout.timing = quelvo::bench::Timing::ThreadProcessor;
    quelvo::bench::Pair offset;
    offset.title = "1,000 laid-out text cells moved with Offset and painted";
    offset.subject = {"Offset", [&] { movedColumn.PaintMoved(moved.Canvas(), step()); }};
    offset.reference = {"FillRect + DrawTextA", [&] {
                            directPosition = directPosition % kPositions + 1;
                            PaintDirect(movedDirect.DC(), directPosition * kShift);
                        }};
    offset.target = 1.2;
    offset.timing = quelvo::bench::Timing::ThreadProcessor;
    quelvo::bench::RunPairs(argc, argv, {layout, offset});
    cxEditPaintUtilsFinalize();
    return 0;
}
