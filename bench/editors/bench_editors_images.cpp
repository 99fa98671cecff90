// 200 picture cells, each holding the file data of a 640 x 480 JPEG image,
// painted stretched into 64 x 48 cells the way a list control paints an
// image column: view data from the column's properties, the value decoded
// into the view info's own picture on every paint, the layout calculated,
// the view info painted at its place. Beside it the least work giving the
// same picture: the JPEG decoded by libjpeg and one scaled copy per cell.
// Both pictures are compared pixel for pixel before timing.
#include "bench/common/cell_screen.h"
#include "bench/common/ratio_reporter.h"
#include "components/editor-catalogue/cxImage.h"
#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditStyles.h"
#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"
#include "platform/hostlib/core/streams.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace hostlib;
using quelvo::bench::CellScreen;

constexpr int kPictureWidth = 640, kPictureHeight = 480;
constexpr int kCellWidth = 64, kCellHeight = 48;
constexpr int kColumns = CellScreen::kWidth / kCellWidth;
constexpr int kCells = 200;

RECT CellRect(int cell)
{
    const int column = cell % kColumns, row = cell / kColumns;
    return RECT{column * kCellWidth, row * kCellHeight, (column + 1) * kCellWidth, (row + 1) * kCellHeight};
}

// A photograph-like picture: gradients and a grid, so that the JPEG data
// is of a usual size and the scaled copies show where each pixel comes from.
std::string JpegData()
{
    ObjectPtr<TBitmap> bitmap = MakeObject<TBitmap>();
    bitmap->SetSize(kPictureWidth, kPictureHeight);
    HDC dc = bitmap->Canvas()->Handle();
    for (int y = 0; y < kPictureHeight; y += 4)
        for (int x = 0; x < kPictureWidth; x += 4) {
            const RECT r{x, y, x + 4, y + 4};
            const bool line = x % 80 == 0 || y % 60 == 0;
            HBRUSH brush = CreateSolidBrush(line ? RGB(20, 20, 20) : RGB(x * 255 / kPictureWidth, y * 255 / kPictureHeight, 128));
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    ObjectPtr<TJPEGImage> jpeg = MakeObject<TJPEGImage>();
    jpeg->Assign(bitmap.get());
    jpeg->Compress();
    TMemoryStream stream;
    jpeg->SaveToStream(stream);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// The image column: its properties (stretched, decoded as JPEG), a holder
// style and one view info per cell kept between paints.
class Column {
public:
    explicit Column(TFont* font)
    {
        properties_->SetStretch(true);
        properties_->SetGraphicClass(TJPEGImage::StaticClass());
        style_.reset(CreateObject<TcxEditStyle>(static_cast<TPersistent*>(nullptr), true));
        style_->SetFont(font);
        style_->SetColor(clWindow);
        for (auto& info : viewInfos_) info = MakeObject<TcxImageViewInfo>();
    }
    void Paint(TcxCanvas* canvas, const Variant& value)
    {
        ObjectPtr<TcxCustomEditViewData> data(properties_->CreateViewData(style_.get(), true));
        for (int cell = 0; cell < kCells; ++cell) {
            TcxImageViewInfo* info = viewInfos_[cell].get();
            data->EditValueToDrawValue(canvas, value, info);
            data->CalculateEx(canvas, CellRect(cell), POINT{-1, -1}, cxmbNone, {}, info, false);
            info->PaintEx(canvas);
        }
    }

private:
    ObjectPtr<TcxImageProperties> properties_ = MakeObject<TcxImageProperties>(nullptr);
    ObjectPtr<TcxEditStyle> style_;
    std::array<ObjectPtr<TcxImageViewInfo>, kCells> viewInfos_;
};

// Decoded and copied scaled, once per cell.
void PaintDirect(HDC dc, const std::vector<std::uint8_t>& bytes)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kPictureWidth;
    info.bmiHeader.biHeight = -kPictureHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    for (int cell = 0; cell < kCells; ++cell) {
        quelvo::gfx::Picture picture;
        std::string error;
        if (!quelvo::gfx::ReadJpeg(bytes, picture, error)) return;
        const RECT r = CellRect(cell);
        StretchDIBits(dc, r.left, r.top, kCellWidth, kCellHeight, 0, 0, picture.width, picture.height,
                      picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
}

long Differences(const CellScreen& a, const CellScreen& b)
{
    const auto pa = a.Pixels(), pb = b.Pixels();
    long differing = 0;
    for (std::size_t i = 0; i < pa.size(); ++i) differing += pa[i] != pb[i];
    return differing;
}

int Run(int argc, char** argv)
{
    const std::string data = JpegData();
    const Variant value(data);
    const std::vector<std::uint8_t> bytes(data.begin(), data.end());
    CellScreen painted, direct;
    Column column(painted.Font());
    column.Paint(painted.Canvas(), value);
    PaintDirect(direct.DC(), bytes);
    if (const long differing = Differences(painted, direct); differing != 0) {
        std::printf("the pictures differ in %ld pixels; not timed\n", differing);
        return 1;
    }
    quelvo::bench::Pair cells;
    cells.title = "200 cells of 640 x 480 JPEG pictures stretched into 48-pixel rows";
    cells.subject = {"image cells", [&] { column.Paint(painted.Canvas(), value); }};
    cells.reference = {"libjpeg + scaled copy", [&] { PaintDirect(direct.DC(), bytes); }};
    cells.target = 1.3;
    cells.timing = quelvo::bench::Timing::ThreadProcessor;
    quelvo::bench::RatioReporter reporter("image cells against decoding and copying");
    reporter.Run({cells}, quelvo::bench::ParseOptions(argc, argv));
    reporter.Print();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    cxEditPaintUtilsInitialize();
    cxImageInitialize();
    const int result = Run(argc, argv);
    cxImageFinalize();
    cxEditPaintUtilsFinalize();
    return result;
}
