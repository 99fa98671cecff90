#include "components/foundation/cxGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

#include "platform/graphics/winuserdraw.h"
#include "platform/system/muldiv.h"
#include "platform/windows/winuser.h"

using namespace hostlib;

const TEnumInfo& EnumTypeInfo(TcxBorder*)
{
    static const TEnumInfo info{"TcxBorder", {"bLeft", "bTop", "bRight", "bBottom"}, 0};
    return info;
}

UINT cxFlagsToDTFlags(int flags)
{
    static constexpr std::pair<int, UINT> kMap[] = {
        {cxtfRight, DT_RIGHT},           {cxtfHCenter, DT_CENTER},         {cxtfBottom, DT_BOTTOM},
        {cxtfVCenter, DT_VCENTER},       {cxtfSingleLine, DT_SINGLELINE},  {cxtfNoClip, DT_NOCLIP},
        {cxtfExpandTabs, DT_EXPANDTABS}, {cxtfEndEllipsis, DT_END_ELLIPSIS}, {cxtfCalcOnly, DT_CALCRECT},
        {cxtfPathEllipsis, DT_PATH_ELLIPSIS},
    };
    UINT result = (flags & cxtfShowPrefix) ? 0 : DT_NOPREFIX;
    for (auto [flag, dt] : kMap)
        if (flags & flag) result |= dt;
    if (flags & cxtfWordBreak) result |= DT_WORDBREAK | DT_EDITCONTROL;
    return result;
}

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
void Move(RECT& r, int dx, int dy) { OffsetRect(&r, dx, dy); }

// Floor division, so tiles line up left of and above the origin too.
int FloorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

// The pixels of a bitmap as 32-bit top-down rows (0x00RRGGBB).
std::vector<std::uint32_t> ReadPixels(TBitmap* bitmap)
{
    const TPixelFormat format = bitmap->PixelFormat();
    bitmap->SetPixelFormat(pf32bit);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap->Width()) * bitmap->Height());
    for (int y = 0; y < bitmap->Height(); ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * bitmap->Width()], bitmap->ScanLine(y),
                    static_cast<std::size_t>(bitmap->Width()) * 4);
    bitmap->SetPixelFormat(format);
    return pixels;
}

void WritePixels(TBitmap* bitmap, int width, int height, const std::vector<std::uint32_t>& pixels)
{
    const TPixelFormat format = bitmap->PixelFormat();
    bitmap->SetPixelFormat(pf32bit);
    if (width != bitmap->Width() || height != bitmap->Height()) {
        bitmap->SetHeight(0);
        bitmap->SetWidth(width);
        bitmap->SetHeight(height);
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap->ScanLine(y), &pixels[static_cast<std::size_t>(y) * width], static_cast<std::size_t>(width) * 4);
    bitmap->SetPixelFormat(format);
}

// Restores the brush style and font colour of a canvas on leaving a scope.
class TextStateGuard {
public:
    explicit TextStateGuard(TCanvas* canvas)
        : canvas_(canvas), style_(canvas->Brush()->Style()), color_(canvas->Font()->Color()) {}
    ~TextStateGuard()
    {
        if (canvas_->Brush()->Style() != style_) canvas_->Brush()->SetStyle(style_);
        canvas_->Font()->SetColor(color_);
    }
    TextStateGuard(const TextStateGuard&) = delete;
    TextStateGuard& operator=(const TextStateGuard&) = delete;

private:
    TCanvas* canvas_;
    TBrushStyle style_;
    TColor color_;
};

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

// Hot-key markers out: "&&" stays one "&", a lone "&" goes.
std::string StripPrefixes(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        else if (text[i] == '&') continue;
        result += text[i];
    }
    return result;
}

}  // namespace

// ---- TcxRegion ---------------------------------------------------------------------

TClass TcxRegion::StaticClass() { return DefineClass<TcxRegion, TObject>("TcxRegion"); }

TcxRegion::TcxRegion(const RECT& rect) : handle_(CreateRectRgnIndirect(&rect)) {}

void TcxRegion::DestroyHandle()
{
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

bool TcxRegion::IsEmpty() const
{
    RECT box{};
    return GetRgnBox(handle_, &box) == NULLREGION;
}

bool TcxRegion::IsEqual(const TcxRegion* region) const
{
    return region && ((IsEmpty() && region->IsEmpty()) || IsEqual(region->Handle()));
}

bool TcxRegion::IsEqual(HRGN region) const { return EqualRgn(handle_, region) != FALSE; }
void TcxRegion::Offset(int dx, int dy) { OffsetRgn(handle_, dx, dy); }
bool TcxRegion::PtInRegion(int x, int y) const { return ::PtInRegion(handle_, x, y) != FALSE; }
bool TcxRegion::RectInRegion(const RECT& rect) const { return ::RectInRegion(handle_, &rect) != FALSE; }

void TcxRegion::Combine(TcxRegion* region, TcxRegionOperation operation, bool destroyRegion)
{
    static constexpr int kModes[] = {RGN_COPY, RGN_OR, RGN_DIFF, RGN_AND};
    if (operation == roSet) CombineRgn(handle_, region->Handle(), nullptr, RGN_COPY);
    else CombineRgn(handle_, handle_, region->Handle(), kModes[operation]);
    if (destroyRegion) region->Free();
}

// ---- TcxCanvas -----------------------------------------------------------------------

TClass TcxCanvas::StaticClass() { return DefineClass<TcxCanvas, TObject>("TcxCanvas"); }

POINT TcxCanvas::WindowOrg() const
{
    POINT origin{};
    GetWindowOrgEx(Handle(), &origin);
    return origin;
}

void TcxCanvas::SetWindowOrg(const POINT& origin) { SetWindowOrgEx(Handle(), origin.x, origin.y, nullptr); }

void TcxCanvas::SetBrushColor(TColor value)
{
    if (Brush()->Color() != value) Brush()->SetColor(value);
}

void TcxCanvas::FillPolygon(const std::vector<POINT>& points, TColor color)
{
    Pen()->SetStyle(psSolid);
    Pen()->SetWidth(1);
    Pen()->SetColor(color);
    Brush()->SetStyle(bsSolid);
    SetBrushColor(color);
    Polygon(points);
}

void TcxCanvas::AssignParams(const TcxViewParams& params)
{
    SetBrushColor(params.Color);
    if (params.Font) SetFont(params.Font);
    Font()->SetColor(params.TextColor);
}

void TcxCanvas::FillRect(const RECT& rect, TBitmap* bitmap)
{
    if (IsEmpty(rect)) return;
    if (!bitmap || bitmap->Empty()) {
        canvas_->FillRect(rect);
        return;
    }
    const int w = bitmap->Width();
    const int h = bitmap->Height();
    const int lastColumn = FloorDiv(rect.right - 1, w);
    const int lastRow = FloorDiv(rect.bottom - 1, h);
    for (int row = FloorDiv(rect.top, h); row <= lastRow; ++row)
        for (int column = FloorDiv(rect.left, w); column <= lastColumn; ++column) {
            const RECT cell{column * w, row * h, column * w + w, row * h + h};
            RECT dest{};
            if (!IntersectRect(&dest, &cell, &rect)) continue;
            RECT source = dest;
            Move(source, -column * w, -row * h);
            canvas_->CopyRect(dest, bitmap->Canvas(), source);
        }
}

void TcxCanvas::FillRect(const RECT& rect, const TcxViewParams& params, TcxBorders borders, TColor borderColor,
                         int lineWidth)
{
    FrameRect(rect, borderColor, lineWidth, borders);
    RECT inner = rect;
    if (borders.Contains(bLeft)) inner.left += lineWidth;
    if (borders.Contains(bTop)) inner.top += lineWidth;
    if (borders.Contains(bRight)) inner.right -= lineWidth;
    if (borders.Contains(bBottom)) inner.bottom -= lineWidth;
    SetBrushColor(params.Color);
    FillRect(inner, params.Bitmap);
}

void TcxCanvas::FrameRect(const RECT& rect, TColor color, int lineWidth, TcxBorders borders)
{
    if (IsEmpty(rect)) return;
    if (color != clDefault) SetBrushColor(color);
    const auto& r = rect;
    if (borders.Contains(bLeft)) canvas_->FillRect(RECT{r.left, r.top, std::min(r.left + lineWidth, r.right), r.bottom});
    if (borders.Contains(bRight)) canvas_->FillRect(RECT{std::max(r.right - lineWidth, r.left), r.top, r.right, r.bottom});
    if (borders.Contains(bTop)) canvas_->FillRect(RECT{r.left, r.top, r.right, std::min(r.top + lineWidth, r.bottom)});
    if (borders.Contains(bBottom)) canvas_->FillRect(RECT{r.left, std::max(r.bottom - lineWidth, r.top), r.right, r.bottom});
}

void TcxCanvas::DrawComplexFrame(const RECT& rect, TColor leftTopColor, TColor rightBottomColor, TcxBorders borders,
                                 int lineWidth)
{
    const auto& r = rect;
    const RECT strips[] = {
        {r.left, r.top, r.left + lineWidth, r.bottom},
        {r.left, r.top, r.right, r.top + lineWidth},
        {r.right - lineWidth, r.top, r.right, r.bottom},
        {r.left, r.bottom - lineWidth, r.right, r.bottom},
    };
    for (TcxBorder side : {bLeft, bTop, bRight, bBottom}) {
        if (!borders.Contains(side)) continue;
        SetBrushColor(side == bLeft || side == bTop ? leftTopColor : rightBottomColor);
        canvas_->FillRect(strips[side]);
    }
}

void TcxCanvas::DrawEdge(const RECT& rect, bool sunken, bool outer, TcxBorders borders)
{
    struct Pair {
        TColor leftTop, rightBottom;
    };
    static constexpr Pair kRaised[] = {{clBtnHighlight, clBtnShadow}, {cl3DLight, cl3DDkShadow}};
    static constexpr Pair kSunken[] = {{cl3DDkShadow, cl3DLight}, {clBtnShadow, clBtnHighlight}};
    const Pair& pair = (sunken ? kSunken : kRaised)[outer ? 1 : 0];
    DrawComplexFrame(rect, pair.leftTop, pair.rightBottom, borders, 1);
}

void TcxCanvas::DrawFocusRect(const RECT& rect)
{
    SetBrushColor(clWhite);
    Font()->SetColor(clBlack);
    canvas_->RequiredState(true, false, true);
    canvas_->DrawFocusRect(rect);
}

void TcxCanvas::InvertRect(const RECT& rect)
{
    SetCopyMode(DSTINVERT);
    canvas_->CopyRect(rect, canvas_, rect);
    SetCopyMode(SRCCOPY);
}

void TcxCanvas::InvertFrame(const RECT& rect, int width)
{
    const auto& r = rect;
    InvertRect(RECT{r.left, r.top, r.left + width, r.bottom});
    InvertRect(RECT{r.right - width, r.top, r.right, r.bottom});
    InvertRect(RECT{r.left + width, r.top, r.right - width, r.top + width});
    InvertRect(RECT{r.left + width, r.bottom - width, r.right - width, r.bottom});
}

void TcxCanvas::DrawGlyph(int x, int y, TBitmap* glyph, bool enabled, TColor backgroundColor)
{
    const int w = glyph->Width();
    const int h = glyph->Height();
    if (enabled) {
        const TBrushStyle style = Brush()->Style();
        if (backgroundColor == clNone) {
            Brush()->SetStyle(bsClear);
        } else {
            SetBrushColor(backgroundColor);
            Brush()->SetStyle(bsSolid);
        }
        canvas_->BrushCopy(RECT{x, y, x + w, y + h}, glyph, RECT{0, 0, w, h}, glyph->TransparentColor());
        Brush()->SetStyle(style);
        return;
    }
    auto images = MakeObject<TCustomImageList>(nullptr);
    images->SetSize(w, h);
    images->AddMasked(glyph, glyph->TransparentMode() == tmFixed ? glyph->TransparentColor() : clDefault);
    if (backgroundColor == clNone) {
        images->Draw(canvas_, x, y, 0, false);
        return;
    }
    auto back = MakeObject<TBitmap>();
    back->SetSize(w, h);
    back->Canvas()->Brush()->SetColor(backgroundColor);
    back->Canvas()->FillRect(RECT{0, 0, w, h});
    images->Draw(back->Canvas(), 0, 0, 0, false);
    canvas_->Draw(x, y, back.get());
}

void TcxCanvas::DrawImage(TCustomImageList* images, int x, int y, int index, bool enabled)
{
    if (images && index >= 0 && index < images->Count()) images->Draw(canvas_, x, y, index, enabled);
}

void TcxCanvas::DrawTexT(const std::string& text, const RECT& rect, int flags, bool enabled)
{
    if (text.empty()) return;
    RECT r = rect;
    const bool useDrawText = !(flags & cxtfSingleLine) || (flags & (cxtfShowPrefix | cxtfEndEllipsis | cxtfPathEllipsis));
    const int d = enabled ? 0 : 1;
    // Multi-line text is judged by the block it wraps to, so that it never
    // spills below the rectangle unclipped.
    SIZE extent = TextExtent(text);
    if (!(flags & cxtfSingleLine)) {
        RECT block = r;
        TextExtent(text, block, flags);
        extent = SIZE{Width(block), Height(block)};
    }
    if (extent.cx < Width(r) && extent.cy < Height(r)) flags |= cxtfNoClip;
    const int vert = flags & (cxtfTop | cxtfBottom | cxtfVCenter);
    const int horz = flags & (cxtfLeft | cxtfRight | cxtfHCenter);
    std::function<void()> output;
    if (useDrawText) {
        if (!(flags & cxtfSingleLine) && (flags & (cxtfBottom | cxtfVCenter))) {
            RECT calc{0, 0, Width(r) - d, 0};
            TextExtent(text, calc, flags);
            const int h = Height(calc);
            if ((flags & (cxtfBottom | cxtfVCenter)) == cxtfBottom) r.top = r.bottom - h - d;
            else if ((flags & (cxtfBottom | cxtfVCenter)) == cxtfVCenter) r.top = (r.top + r.bottom - h) / 2;
        }
        const UINT dt = cxFlagsToDTFlags(flags);
        output = [&, dt] {
            RECT out = r;
            canvas_->DrawText(text, out, dt);
        };
    } else {
        if (extent.cx < Width(r)) {
            if (horz == cxtfRight) r.left = r.right - extent.cx - d;
            else if (horz == cxtfHCenter) r.left = (r.left + r.right - extent.cx) / 2;
        }
        if (extent.cy < Height(r)) {
            if (vert == cxtfBottom) r.top = r.bottom - extent.cy - d;
            else if (vert == cxtfVCenter) r.top = (r.top + r.bottom - extent.cy) / 2;
        }
        const UINT options = (flags & cxtfNoClip) ? 0 : ETO_CLIPPED;
        output = [&, options] { canvas_->ExtTextOut(r.left, r.top, options, &r, text); };
    }
    TextStateGuard guard(canvas_);
    if (!enabled) {
        Move(r, 1, 1);
        Brush()->SetStyle(bsClear);
        Font()->SetColor(clBtnHighlight);
        output();
        Move(r, -1, -1);
        Font()->SetColor(clBtnShadow);
    }
    output();
}

void TcxCanvas::DrawRegion(TcxRegion* region, TColor fillColor, TColor frameColor, int frameWidth, int frameHeight)
{
    DrawRegion(region->Handle(), fillColor, frameColor, frameWidth, frameHeight);
}

void TcxCanvas::DrawRegion(HRGN region, TColor fillColor, TColor frameColor, int frameWidth, int frameHeight)
{
    FillRegion(region, fillColor);
    FrameRegion(region, frameColor, frameWidth, frameHeight);
}

void TcxCanvas::FillRegion(HRGN region, TColor color)
{
    SetBrushColor(color);
    canvas_->RequiredState(false, false, true);
    FillRgn(Handle(), region, Brush()->Handle());
}

void TcxCanvas::FrameRegion(HRGN region, TColor color, int frameWidth, int frameHeight)
{
    SetBrushColor(color);
    canvas_->RequiredState(false, false, true);
    FrameRgn(Handle(), region, Brush()->Handle(), frameWidth, frameHeight);
}

void TcxCanvas::FlipHorizontally(TBitmap* bitmap)
{
    auto pixels = ReadPixels(bitmap);
    const int w = bitmap->Width();
    for (int y = 0; y < bitmap->Height(); ++y) {
        auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * w;
        std::reverse(row, row + w);
    }
    WritePixels(bitmap, w, bitmap->Height(), pixels);
}

void TcxCanvas::RotateBitmap(TBitmap* bitmap, TcxRotationAngle angle, bool flipVertically)
{
    if (angle == ra0 && !flipVertically) return;
    const int w = bitmap->Width();
    const int h = bitmap->Height();
    const auto source = ReadPixels(bitmap);
    const bool turned = angle == raPlus90 || angle == raMinus90;
    const int newW = turned ? h : w;
    std::vector<std::uint32_t> result(source.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            POINT to{x, y};
            switch (angle) {
            case ra0: to = {x, h - 1 - y}; break;
            case raPlus90: to = flipVertically ? POINT{y, x} : POINT{y, w - 1 - x}; break;
            case raMinus90: to = flipVertically ? POINT{h - 1 - y, w - 1 - x} : POINT{h - 1 - y, x}; break;
            case ra180: to = flipVertically ? POINT{w - 1 - x, y} : POINT{w - 1 - x, h - 1 - y}; break;
            }
            result[static_cast<std::size_t>(to.y) * newW + to.x] = source[static_cast<std::size_t>(y) * w + x];
        }
    WritePixels(bitmap, newW, turned ? w : h, result);
}

void TcxCanvas::Pie(const RECT& rect, const POINT& startPoint, const POINT& endPoint)
{
    canvas_->Pie(rect.left, rect.top, rect.right, rect.bottom, startPoint.x, startPoint.y, endPoint.x, endPoint.y);
}

void TcxCanvas::Pie(const RECT& rect, int startAngle, int sweepAngle)
{
    if (IsEmpty(rect)) return;
    const POINT centre{rect.left + Width(rect) / 2, rect.top + Height(rect) / 2};
    const double a = Width(rect) / 2;
    const double b = Height(rect) / 2;
    auto pointAt = [&](int degrees) {
        const double t = degrees * std::numbers::pi / 180.0;
        const double r = a == 0 || b == 0 ? 0 : a * b / std::sqrt(b * b * std::cos(t) * std::cos(t) + a * a * std::sin(t) * std::sin(t));
        return POINT{centre.x + static_cast<LONG>(std::lround(r * std::cos(t))),
                     centre.y - static_cast<LONG>(std::lround(r * std::sin(t)))};
    };
    POINT from = pointAt(startAngle);
    POINT to = pointAt(startAngle + sweepAngle);
    // The pie runs counter-clockwise: a clockwise sweep starts at its end.
    if (sweepAngle < 0) std::swap(from, to);
    Pie(rect, from, to);
}

int TcxCanvas::FontHeight(TFont* font)
{
    SetFont(font);
    return TextHeight("Qq");
}

SIZE TcxCanvas::TextExtent(const std::string& text)
{
    SIZE size{};
    canvas_->RequiredState(true, false, false);
    if (!GetTextExtentPoint32A(Handle(), text.c_str(), static_cast<int>(text.size()), &size)) size = {};
    return size;
}

void TcxCanvas::TextExtent(const std::string& text, RECT& rect, int flags)
{
    const int oldW = Width(rect);
    const int oldH = Height(rect);
    const UINT dt = cxFlagsToDTFlags(flags);
    canvas_->DrawText(text, rect, (dt & ~DT_VCENTER) | DT_CALCRECT);
    const int dw = oldW - Width(rect);
    const int dh = oldH - Height(rect);
    if (dt & DT_CENTER) Move(rect, dw / 2, 0);
    else if (dt & DT_RIGHT) Move(rect, dw, 0);
    if (dt & DT_VCENTER) Move(rect, 0, dh / 2);
    else if (dt & DT_BOTTOM) Move(rect, 0, dh);
}

void TcxCanvas::GetTextStringsBounds(std::string text, RECT rect, int flags, bool enabled, TRectArray& bounds)
{
    if (text.empty()) return;
    bounds.clear();
    if (flags & cxtfShowPrefix) {
        text = StripPrefixes(text);
        flags &= ~cxtfShowPrefix;
    }
    if (!enabled) {
        --rect.right;
        --rect.bottom;
    }
    RECT block = rect;
    TextExtent(text, block, flags);
    int top = block.top;
    canvas_->RequiredState(true, false, false);
    while (!text.empty()) {
        int fit = 0;
        SIZE ignored{};
        GetTextExtentExPointA(Handle(), text.c_str(), static_cast<int>(text.size()), Width(rect), &fit, nullptr, &ignored);
        // At least one whole character per line, so the loop moves on.
        if (fit <= 0) {
            fit = 1;
            while (fit < static_cast<int>(text.size()) && (static_cast<unsigned char>(text[fit]) & 0xC0) == 0x80) ++fit;
        }
        std::string line;
        std::size_t consumed = 0;
        const auto lineBreak = std::find_if(text.begin(), text.begin() + fit, IsLineBreak);
        if (lineBreak != text.begin() + fit) {
            const std::size_t at = static_cast<std::size_t>(lineBreak - text.begin());
            line = text.substr(0, at);
            consumed = at + 1;
            if (consumed < text.size() && IsLineBreak(text[consumed]) && text[consumed] != text[at]) ++consumed;
        } else if (fit < static_cast<int>(text.size())) {
            const std::size_t blank = text.rfind(' ', static_cast<std::size_t>(fit));
            if (blank != std::string::npos && static_cast<int>(blank) <= fit - 2) {
                line = text.substr(0, (flags & cxtfLeft) ? blank + 1 : blank);
                consumed = blank + 1;
            } else {
                line = text.substr(0, static_cast<std::size_t>(fit));
                consumed = static_cast<std::size_t>(fit);
            }
        } else {
            line = text;
            consumed = text.size();
        }
        SIZE size = TextExtent(line.empty() ? std::string(" ") : line);
        if (line.empty()) size.cx = 0;
        RECT bound{block.left, top, block.right, top + size.cy};
        if (flags & cxtfLeft) bound.right = bound.left + size.cx;
        else if (flags & cxtfRight) bound.left = bound.right - size.cx;
        else if (flags & cxtfHCenter) {
            bound.left = (block.left + block.right - size.cx) / 2;
            bound.right = bound.left + size.cx;
        }
        bounds.push_back(bound);
        top = bound.bottom;
        text.erase(0, consumed);
    }
}

TcxRegion* TcxCanvas::GetClipRegion()
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(Handle(), region) != 1) SetRectRgn(region, 0, 0, 107374182, 107374182);
    return new TcxRegion(region);
}

void TcxCanvas::SetClipRegion(TcxRegion* region, TcxRegionOperation operation, bool destroyRegion)
{
    if (operation == roSet) {
        SelectClipRgn(Handle(), region->Handle());
    } else {
        const POINT origin = WindowOrg();
        region->Offset(-origin.x, -origin.y);
        ObjectPtr<TcxRegion> clip(GetClipRegion());
        clip->Combine(region, operation, false);
        SelectClipRgn(Handle(), clip->Handle());
    }
    if (destroyRegion) region->Free();
}

// ---- screen canvases -----------------------------------------------------------------

TClass TScreenCanvas::StaticClass() { return DefineClass<TScreenCanvas, TCanvas>("TScreenCanvas"); }

TScreenCanvas::~TScreenCanvas()
{
    if (!screenDC_) return;
    SetHandle(nullptr);
    ReleaseDC(nullptr, screenDC_);
}

void TScreenCanvas::CreateHandle()
{
    screenDC_ = GetDC(nullptr);
    SetHandle(screenDC_);
}

TClass TcxScreenCanvas::StaticClass() { return DefineClass<TcxScreenCanvas, TcxCanvas>("TcxScreenCanvas"); }

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(new TScreenCanvas) {}

TcxScreenCanvas::~TcxScreenCanvas() { delete Canvas(); }

// ---- colours ---------------------------------------------------------------------------

TColor GetRealColor(TColor color)
{
    HDC dc = GetDC(nullptr);
    const COLORREF result = GetNearestColor(dc, ColorToRGB(color));
    ReleaseDC(nullptr, dc);
    return static_cast<TColor>(result);
}

TColor GetLightColor(TcxColorPart btnFaceColorPart, TcxColorPart highlightColorPart, TcxColorPart windowColorPart)
{
    const COLORREF face = ColorToRGB(clBtnFace);
    const COLORREF highlight = ColorToRGB(clHighlight);
    const COLORREF window = ColorToRGB(clWindow);
    if (face == 0 || face == 0xFFFFFF) return static_cast<TColor>(highlight);
    auto part = [&](int shift) {
        const int c = MulDiv((face >> shift) & 0xFF, btnFaceColorPart, 100) +
                      MulDiv((highlight >> shift) & 0xFF, highlightColorPart, 100) +
                      MulDiv((window >> shift) & 0xFF, windowColorPart, 100);
        return static_cast<COLORREF>(std::clamp(c, 0, 255)) << shift;
    };
    return static_cast<TColor>(part(0) | part(8) | part(16));
}

TColor GetLightBtnFaceColor()
{
    const COLORREF face = ColorToRGB(clBtnFace);
    COLORREF result = 0;
    for (int shift : {0, 8, 16}) {
        const int c = static_cast<int>((face >> shift) & 0xFF);
        result |= static_cast<COLORREF>((c + MulDiv(255 - c, 16, 100)) & 0xFF) << shift;
    }
    return GetRealColor(static_cast<TColor>(result));
}

TColor GetLightSelColor() { return GetRealColor(GetLightColor(-2, 30, 72)); }
TColor GetLightDownedColor() { return GetRealColor(GetLightColor(11, 9, 73)); }
TColor GetLightDownedSelColor() { return GetRealColor(GetLightColor(14, 44, 40)); }
