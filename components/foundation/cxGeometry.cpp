#include "components/foundation/cxGeometry.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/graphics/winuserdraw.h"
#include "platform/system/muldiv.h"
#include "platform/system/winbase.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

// ---- rectangles and points --------------------------------------------------------

int cxRectGetItem(const RECT& r, int index)
{
    switch (index) {
    case 0: return r.left;
    case 1: return r.top;
    case 2: return r.right;
    default: return r.bottom;
    }
}

bool cxRectIsVisible(TcxCanvas* canvas, const RECT& r) { return !cxRectIsEmpty(r) && canvas->RectVisible(r); }

bool cxRectIntersect(RECT& result, const RECT& r1, const RECT& r2)
{
    result = RECT{std::max(r1.left, r2.left), std::max(r1.top, r2.top), std::min(r1.right, r2.right),
                  std::min(r1.bottom, r2.bottom)};
    if (!cxRectIsEmpty(result)) return true;
    result = cxNullRect;
    return false;
}

bool cxRectIntersect(const RECT& r1, const RECT& r2)
{
    RECT ignored;
    return cxRectIntersect(ignored, r1, r2);
}

RECT cxRectUnion(const RECT& r1, const RECT& r2)
{
    if (cxRectIsEmpty(r2)) return r1;
    return RECT{std::min(r1.left, r2.left), std::min(r1.top, r2.top), std::max(r1.right, r2.right),
                std::max(r1.bottom, r2.bottom)};
}

RECT cxRectOffset(const RECT& r, const std::vector<POINT>& points) { return cxRectOffset(r, cxPointSum(points)); }

void cxRectSplitHorz(const RECT& r, RECT& a, RECT& b)
{
    a = b = r;
    a.right = b.left = (r.left + r.right) / 2;
}

void cxRectSplitVert(const RECT& r, RECT& a, RECT& b)
{
    a = b = r;
    a.bottom = b.top = (r.top + r.bottom) / 2;
}

RECT cxRectScaleWidth(const RECT& r, int a, int b, int oldSize, int newSize)
{
    RECT result = r;
    result.left = b + MulDiv(r.left - a, newSize, oldSize);
    result.right = result.left + MulDiv(cxRectWidth(r), newSize, oldSize);
    return result;
}

RECT cxRectScaleHeight(const RECT& r, int a, int b, int oldSize, int newSize)
{
    RECT result = r;
    result.top = b + MulDiv(r.top - a, newSize, oldSize);
    result.bottom = result.top + MulDiv(cxRectHeight(r), newSize, oldSize);
    return result;
}

void cxRectMinMaxInit(int& min, int& max)
{
    min = 2147483647;
    max = -1;
}

void cxRectMinMaxHeight(const RECT& r, int& max, int& min)
{
    max = std::max<int>(max, r.bottom);
    min = std::min<int>(min, r.top);
}

void cxRectMinMaxWidth(const RECT& r, int& max, int& min)
{
    max = std::max<int>(max, r.right);
    min = std::min<int>(min, r.left);
}

namespace {

// The strips of two rectangles along one axis, from the difference d of
// their far edges (member hi) and their near edges (member lo).
void AxisStrips(const RECT& r1, const RECT& r2, LONG RECT::*lo, LONG RECT::*hi, RECT& s1, RECT& s2)
{
    const int d = r1.*hi - r2.*hi;
    s1 = s2 = cxNullRect;
    if (d == 0) return;
    s1 = r1;
    s2 = r2;
    if (d > 0) {
        s1.*lo = r1.*hi - d;
        s2.*hi = r2.*lo + d;
    } else {
        s1.*hi = r1.*lo - d;
        s2.*lo = r2.*hi + d;
    }
}

}  // namespace

void cxRectOverlapped(const RECT& r1, const RECT& r2, RECT& r1Vert, RECT& r1Horz, RECT& r2Vert, RECT& r2Horz)
{
    AxisStrips(r1, r2, &RECT::top, &RECT::bottom, r1Vert, r2Vert);
    AxisStrips(r1, r2, &RECT::left, &RECT::right, r1Horz, r2Horz);
}

TcxPtInRectType cxRectPtInEx(const RECT& r, int x, int y, int left, int top, int right, int bottom)
{
    if (cxRectPtIn(r, x, y)) return ptrtArea;
    if (!cxRectPtIn(cxRectInflate(r, left, top, right, bottom), x, y)) return ptrtNone;
    auto near = [](int coordinate, int edge, int tolerance) {
        return -tolerance <= coordinate - edge && coordinate - edge < tolerance;
    };
    if (near(x, r.right, right)) return ptrtRight;
    if (near(y, r.bottom, bottom)) return ptrtBottom;
    if (near(x, r.left, left)) return ptrtLeft;
    return ptrtTop;
}

POINT cxPointSum(const std::vector<POINT>& points)
{
    POINT sum = cxNullPoint;
    for (const POINT& p : points) sum = cxPointOffset(sum, p);
    return sum;
}

// ---- unit state ---------------------------------------------------------------------------

namespace {

using AlphaBlendFn = BOOL (*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

struct GeometryUnit {
    int starts = 0;
    ObjectPtr<TBrush> halfTone;
    std::vector<ObjectPtr<TBrush>> systemBrushes;
    // Brushes of system colours past the list, made once each.
    std::map<TColor, ObjectPtr<TBrush>> extraSystemBrushes;
    std::unique_ptr<TcxScreenCanvas> screenCanvas;
    HMODULE imageLibrary = nullptr;
    AlphaBlendFn alphaBlend = nullptr;
};

GeometryUnit& Unit()
{
    static GeometryUnit unit;
    return unit;
}

ObjectPtr<TBrush> MakeHalfToneBrush()
{
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    auto brush = MakeObject<TBrush>();
    brush->SetHandle(CreatePatternBrush(pattern));
    DeleteObject(pattern);
    return brush;
}

// Users that come before the unit's start-up start it.
void EnsureStarted()
{
    if (Unit().starts == 0) cxGeometryInitialize();
}

TBrush* SystemBrush(TColor color)
{
    EnsureStarted();
    auto& unit = Unit();
    const int index = color & 0x7FFFFFFF;
    if (index < static_cast<int>(unit.systemBrushes.size())) return unit.systemBrushes[static_cast<std::size_t>(index)].get();
    auto& extra = unit.extraSystemBrushes[color];
    if (!extra) {
        extra = MakeObject<TBrush>();
        extra->SetColor(color);
    }
    return extra.get();
}

}  // namespace

void cxGeometryInitialize()
{
    auto& unit = Unit();
    if (unit.starts++ > 0) return;
    unit.halfTone = MakeHalfToneBrush();
    for (int i = 0; i < SYS_COLOR_COUNT; ++i) {
        unit.systemBrushes.push_back(MakeObject<TBrush>());
        unit.systemBrushes.back()->SetHandle(GetSysColorBrush(i));
    }
    unit.imageLibrary = LoadLibraryA("msimg32.dll");
    if (unit.imageLibrary)
        unit.alphaBlend = reinterpret_cast<AlphaBlendFn>(GetProcAddress(unit.imageLibrary, "AlphaBlend"));
}

void cxGeometryFinalize()
{
    auto& unit = Unit();
    if (unit.starts == 0 || --unit.starts > 0) return;
    unit.systemBrushes.clear();
    unit.extraSystemBrushes.clear();
    unit.halfTone.reset();
    unit.screenCanvas.reset();
    if (unit.imageLibrary) FreeLibrary(unit.imageLibrary);
    unit.imageLibrary = nullptr;
    unit.alphaBlend = nullptr;
}

TBrush* cxHalfToneBrush()
{
    EnsureStarted();
    return Unit().halfTone.get();
}

TcxScreenCanvas* cxScreenCanvas()
{
    auto& canvas = Unit().screenCanvas;
    if (!canvas) canvas = std::make_unique<TcxScreenCanvas>();
    return canvas.get();
}

// ---- drawing helpers ------------------------------------------------------------------------

namespace {

// round(v * a / 255), the blending formula of the drawing layer.
int Scale(int v, int a) { return (v * a * 2 + 255) / 510; }

// Gives a 32-bit view of a bitmap for the life of the guard.
class TrueColorView {
public:
    explicit TrueColorView(TBitmap* bitmap) : bitmap_(bitmap), format_(bitmap->PixelFormat())
    {
        bitmap_->SetPixelFormat(pf32bit);
    }
    ~TrueColorView() { bitmap_->SetPixelFormat(format_); }
    TrueColorView(const TrueColorView&) = delete;
    TrueColorView& operator=(const TrueColorView&) = delete;
    std::uint8_t* Row(int y) { return bitmap_->ScanLine(y); }

private:
    TBitmap* bitmap_;
    TPixelFormat format_;
};

HDC SourceDC(TBitmap* bitmap)
{
    auto* canvas = As<TBitmapCanvas>(bitmap->Canvas());
    return canvas ? canvas->SourceHandle() : bitmap->Canvas()->Handle();
}

int ScreenBitsPerPixel()
{
    HDC dc = GetDC(nullptr);
    const int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
    return bits;
}

// The per-pixel way over the part all three bitmaps have.
void BlendByHand(TBitmap* dest, TBitmap* background, TBitmap* source, std::uint8_t alpha)
{
    const int w = std::min({dest->Width(), background->Width(), source->Width()});
    const int h = std::min({dest->Height(), background->Height(), source->Height()});
    TrueColorView d(dest), b(background), s(source);
    for (int y = 0; y < h; ++y) {
        std::vector<std::uint8_t> back(b.Row(y), b.Row(y) + 4 * w);
        std::vector<std::uint8_t> fore(s.Row(y), s.Row(y) + 4 * w);
        std::uint8_t* out = d.Row(y);
        for (int i = 0; i < 4 * w; ++i)
            out[i] = static_cast<std::uint8_t>(std::min(255, Scale(back[static_cast<std::size_t>(i)], 255 - alpha) +
                                                                 Scale(fore[static_cast<std::size_t>(i)], alpha)));
    }
}

}  // namespace

void cxAlphaBlend(TBitmap* dest, TBitmap* background, TBitmap* source, std::uint8_t alpha)
{
    EnsureStarted();
    dest->Canvas()->Draw(0, 0, background);
    if (auto blend = Unit().alphaBlend) {
        const BLENDFUNCTION function{AC_SRC_OVER, 0, alpha, 0};
        if (blend(dest->Canvas()->Handle(), 0, 0, dest->Width(), dest->Height(), SourceDC(source), 0, 0, dest->Width(),
                  dest->Height(), function))
            return;
    }
    const int depth = ScreenBitsPerPixel();
    if (depth == 16 || depth == 24 || depth == 32) BlendByHand(dest, background, source, alpha);
    else dest->Canvas()->Draw(0, 0, source);
}

void cxAlphaBlend(TBitmap* bitmap, const RECT& r, TColor color, std::uint8_t alpha)
{
    POINT origin{};
    GetWindowOrgEx(bitmap->Canvas()->Handle(), &origin);
    const RECT area = cxRectOffset(r, -origin.x, -origin.y);
    const COLORREF rgb = ColorToRGB(color);
    const std::uint8_t pattern[4] = {static_cast<std::uint8_t>(Scale(GetBValue(rgb), alpha)),
                                     static_cast<std::uint8_t>(Scale(GetGValue(rgb), alpha)),
                                     static_cast<std::uint8_t>(Scale(GetRValue(rgb), alpha)), 0};
    const int firstByte = 4 * std::max<int>(area.left, 0);
    const int lastByte = 4 * std::min<int>(area.right, bitmap->Width());
    const int lastRow = std::min<int>(area.bottom, bitmap->Height());
    if (firstByte >= lastByte) return;
    TrueColorView view(bitmap);
    for (int y = std::max<int>(area.top, 0); y < lastRow; ++y) {
        std::uint8_t* row = view.Row(y);
        for (int i = firstByte; i < lastByte; ++i)
            row[i] = static_cast<std::uint8_t>(std::min(255, Scale(row[i], 255 - alpha) + pattern[i % 4]));
    }
}

void cxApplyViewParams(TcxCanvas* canvas, const TcxViewParams& params)
{
    if (params.Font) canvas->SetFont(params.Font);
    canvas->Font()->SetColor(params.TextColor);
    canvas->Brush()->SetColor(params.Color);
}

TBitmap* cxCreateBitmap(const SIZE& size, TPixelFormat format)
{
    auto* bitmap = CreateObject<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(size.cx, size.cy);
    return bitmap;
}

TBitmap* cxCreateTrueColorBitmap(const SIZE& size) { return cxCreateTrueColorBitmap(size.cx, size.cy); }

TBitmap* cxCreateTrueColorBitmap(int width, int height)
{
    auto* bitmap = CreateObject<TBitmap>();
    bitmap->SetHandle(cxCreateTrueColorBitmapHandle(width, height));
    return bitmap;
}

HBITMAP cxCreateTrueColorBitmapHandle(int width, int height, int bitCount)
{
    return CreateBitmap(width, height, 1, static_cast<UINT>(bitCount), nullptr);
}

void cxCopyImage(TBitmap* source, TBitmap* dest, const POINT& dstOffset, const POINT& srcOffset, const RECT& r)
{
    dest->Canvas()->CopyRect(cxRectOffset(r, dstOffset), source->Canvas(), cxRectOffset(r, srcOffset));
}

void cxCopyImage(TCanvas* source, TCanvas* dest, const POINT& srcOffset, const POINT& dstOffset, const RECT& r)
{
    dest->CopyRect(cxRectOffset(r, dstOffset), source, cxRectOffset(r, srcOffset));
}

void cxDrawArrows(TCanvas* canvas, const RECT& r, TcxBorder side, TColor penColor, TColor brushColor)
{
    using Template = std::vector<POINT>;
    static const Template kDown{{0, -1}, {-5, -6}, {-2, -6}, {-2, -9}, {2, -9}, {2, -6}, {5, -6}};
    static const Template kUp{{0, 0}, {5, 5}, {2, 5}, {2, 8}, {-2, 8}, {-2, 5}, {-5, 5}};
    static const Template kRight{{-1, 0}, {-6, -5}, {-6, -2}, {-9, -2}, {-9, 2}, {-6, 2}, {-6, 5}};
    static const Template kLeft{{0, 0}, {5, 5}, {5, 2}, {8, 2}, {8, -2}, {5, -2}, {5, -5}};
    const bool vertical = side == bLeft || side == bRight;
    POINT first{}, second{};
    switch (side) {
    case bLeft: first = {r.left, r.top}, second = {r.left, r.bottom}; break;
    case bTop: first = {r.left, r.top}, second = {r.right, r.top}; break;
    case bRight: first = {r.right, r.top}, second = {r.right, r.bottom}; break;
    case bBottom: first = {r.left, r.bottom}, second = {r.right, r.bottom}; break;
    }
    canvas->Brush()->SetColor(brushColor);
    canvas->Pen()->SetColor(penColor == clDefault ? static_cast<TColor>(ColorToRGB(brushColor) ^ 0xFFFFFF) : penColor);
    auto draw = [&](const Template& shape, POINT anchor) {
        Template points;
        for (const POINT& p : shape) points.push_back(cxPointOffset(p, anchor));
        canvas->Polygon(points);
    };
    draw(vertical ? kDown : kRight, first);
    draw(vertical ? kUp : kLeft, second);
}

void cxFillHalfToneRect(TCanvas* canvas, const RECT& r, TColor backgroundColor, TColor foregroundColor)
{
    HDC dc = canvas->Handle();
    const COLORREF oldBack = SetBkColor(dc, ColorToRGB(backgroundColor));
    const COLORREF oldText = SetTextColor(dc, ColorToRGB(foregroundColor));
    FillRect(dc, &r, cxHalfToneBrush()->Handle());
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

void cxSetCanvasOrg(TCanvas* canvas, RECT& r)
{
    POINT old{};
    SetWindowOrgEx(canvas->Handle(), r.left, r.top, &old);
    r.left = old.x;
    r.top = old.y;
}

SIZE cxTextExtent(TFont* font, const std::string& text)
{
    TcxScreenCanvas* canvas = cxScreenCanvas();
    canvas->SetFont(font);
    return canvas->TextExtent(text);
}

namespace {

// The AND mask of a cursor's 1-bit mask, read bottom-up; empty when the
// mask cannot be read that way.
bool ReadMask(HBITMAP mask, BITMAPINFOHEADER& header, std::vector<std::uint8_t>& bits)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    HDC dc = GetDC(nullptr);
    bool ok = GetDIBits(dc, mask, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != 0 &&
              info.header.biBitCount == 1 && info.header.biWidth > 0 && info.header.biHeight != 0;
    if (ok) {
        info.header.biHeight = std::abs(info.header.biHeight);
        const int rowBytes = (info.header.biWidth + 31) / 32 * 4;
        bits.assign(static_cast<std::size_t>(rowBytes) * info.header.biHeight, 0);
        ok = GetDIBits(dc, mask, 0, static_cast<UINT>(info.header.biHeight), bits.data(),
                       reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) != 0 && info.header.biBitCount == 1;
        header = info.header;
    }
    ReleaseDC(nullptr, dc);
    return ok;
}

// Bytes after the first one in [begin, end) that is not `blank`; -1 when
// every byte is blank.
long BytesAfterFirstNot(const std::uint8_t* begin, const std::uint8_t* end, std::uint8_t blank)
{
    const std::uint8_t* found = std::find_if(begin, end, [blank](std::uint8_t b) { return b != blank; });
    return found == end ? -1 : static_cast<long>(end - found - 1);
}

}  // namespace

SIZE cxGetCursorSize()
{
    SIZE result{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
    ICONINFO info{};
    HCURSOR cursor = GetCursor();
    if (!cursor || !GetIconInfo(cursor, &info)) return result;
    BITMAPINFOHEADER header{};
    std::vector<std::uint8_t> bits;
    const bool readable = info.hbmMask && ReadMask(info.hbmMask, header, bits);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (!readable) return result;
    const long w = header.biWidth;
    const long rowBytes = (w + 31) / 32 * 4;
    // The top w rows hold the AND mask, the w rows below them (when the
    // mask is that high) the XOR mask; never more rows than the mask has.
    const long rows = std::min<long>(w, header.biHeight);
    const std::uint8_t* andMask = bits.data() + bits.size() - static_cast<std::size_t>(rows * rowBytes);
    long remaining = BytesAfterFirstNot(andMask, bits.data() + bits.size(), 0xFF);
    if (remaining < 0 && header.biHeight >= 2 * w)
        remaining = BytesAfterFirstNot(andMask - rows * rowBytes, andMask, 0x00);
    result.cx = w;
    result.cy = std::max<long>(remaining, 0) / rowBytes - static_cast<long>(info.yHotspot);
    return result;
}

// ---- TcxBrushCache ------------------------------------------------------------------------------

TClass TcxBrushCache::StaticClass() { return DefineClass<TcxBrushCache, TObject>("TcxBrushCache"); }

TcxBrushCache::~TcxBrushCache()
{
    for (auto& item : data_) item.Brush->Free();
}

TBrush* TcxBrushCache::Add(TColor color)
{
    TBrush* brush = color < 0 ? SystemBrush(color) : AddItemAt(FindNearestItem(color), color);
    brush->SetColor(color);
    return brush;
}

TBrush* TcxBrushCache::AddItemAt(int index, TColor color)
{
    if (index < Count() && data_[static_cast<std::size_t>(index)].Color == color) {
        auto& item = data_[static_cast<std::size_t>(index)];
        if (item.RefCount == 0) --deletedCount_;
        ++item.RefCount;
        return item.Brush;
    }
    if (Count() == capacity_) {
        capacity_ += std::max(capacity_ / 4, 8);
        data_.reserve(static_cast<std::size_t>(capacity_));
    }
    TBrush* brush = CreateObject<TBrush>();
    brush->SetColor(color);
    data_.insert(data_.begin() + index, TcxBrushData{brush, color, 1});
    return brush;
}

void TcxBrushCache::ReleaseBrush(TBrush*& brush)
{
    if (!brush || brush->Color() < 0) return;
    int index = -1;
    if (IndexOf(brush->Color(), index)) Release(index);
}

void TcxBrushCache::SetBrushColor(TBrush*& brush, TColor color)
{
    ReleaseBrush(brush);
    brush = Add(color);
}

void TcxBrushCache::Release(int index)
{
    auto& item = data_[static_cast<std::size_t>(index)];
    if (--item.RefCount < 0) {
        item.RefCount = 0;
        throw EBrushCache("Release unused brush");
    }
    if (item.RefCount == 0) Delete(index);
}

bool TcxBrushCache::IndexOf(TColor color, int& index) const
{
    index = color < 0 ? -1 : FindNearestItem(color);
    return index >= 0 && index < Count() && data_[static_cast<std::size_t>(index)].Color == color;
}

int TcxBrushCache::FindNearestItem(TColor color) const
{
    auto it = std::lower_bound(data_.begin(), data_.end(), color,
                               [](const TcxBrushData& item, TColor c) { return item.Color < c; });
    return static_cast<int>(it - data_.begin());
}

void TcxBrushCache::Delete(int index)
{
    if (lockCount_ > 0) {
        ++deletedCount_;
        return;
    }
    data_[static_cast<std::size_t>(index)].Brush->Free();
    data_.erase(data_.begin() + index);
}

void TcxBrushCache::EndUpdate()
{
    if (lockCount_ > 0) --lockCount_;
    if (lockCount_ == 0 && deletedCount_ > 0) Pack();
}

void TcxBrushCache::Pack()
{
    struct ResetDeleted {
        int& count;
        ~ResetDeleted() { count = 0; }
    } reset{deletedCount_};
    int removed = 0;
    for (int i = Count() - 1; i >= 0 && removed < deletedCount_; --i) {
        if (data_[static_cast<std::size_t>(i)].RefCount != 0) continue;
        data_[static_cast<std::size_t>(i)].Brush->Free();
        data_.erase(data_.begin() + i);
        ++removed;
    }
}

void TcxBrushCache::Recreate()
{
    // A colour change is what drops a brush's handle; the next use remakes it.
    for (auto& item : data_) {
        item.Brush->SetColor(clNone);
        item.Brush->SetColor(item.Color);
    }
}

void TcxBrushCache::Move(int from, int to, int count)
{
    if (count <= 0 || from == to) return;
    std::vector<TcxBrushData> moved(data_.begin() + from, data_.begin() + from + count);
    data_.erase(data_.begin() + from, data_.begin() + from + count);
    data_.insert(data_.begin() + std::min(to, Count()), moved.begin(), moved.end());
}
