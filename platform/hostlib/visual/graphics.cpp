#include "platform/hostlib/visual/graphics.h"

#include <algorithm>
#include <cstring>

#include "platform/graphics/picture.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/graphics/surface.h"
#include "platform/hostlib/visual/property_set.h"
#include "platform/hostlib/core/resources.h"
#include "platform/hostlib/core/filer.h"
#include "platform/hostlib/core/streams.h"

namespace hostlib {

namespace gfx = quelvo::gfx;

namespace {
constexpr int kMaxSide = 16384;

// Copies the top-left width x height pixels of one bitmap into another.
void CopyBits(HBITMAP dest, HBITMAP source, int width, int height)
{
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ prevSrc = SelectObject(src, source);
    HDC dst = CreateCompatibleDC(nullptr);
    HGDIOBJ prevDst = SelectObject(dst, dest);
    BitBlt(dst, 0, 0, width, height, src, 0, 0, SRCCOPY);
    SelectObject(dst, prevDst);
    SelectObject(src, prevSrc);
    DeleteDC(dst);
    DeleteDC(src);
}

}  // namespace

COLORREF ColorToRGB(TColor color)
{
    if (color == clNone || color == clDefault) return 0;
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

const TIdentMap& ColorIdents()
{
    static const TIdentMap map{
        {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
        {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
        {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
        {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
        {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
        {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
        {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
        {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
        {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
        {clGradientActiveCaption, "clGradientActiveCaption"},
        {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
        {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
        {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
        {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
        {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
        {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
        {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
    };
    return map;
}

bool IdentToColor(std::string_view ident, TColor& color)
{
    int value = 0;
    if (!IdentToInt(ColorIdents(), ident, value)) return false;
    color = value;
    return true;
}

bool ColorToIdent(TColor color, std::string& ident) { return IntToIdent(ColorIdents(), color, ident); }

const TEnumInfo& EnumTypeInfo(TFontStyle*)
{
    static const TEnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TFontPitch*)
{
    static const TEnumInfo info{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TBrushStyle*)
{
    static const TEnumInfo info{
        "TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross", "bsDiagCross"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TPenStyle*)
{
    static const TEnumInfo info{
        "TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}, 0};
    return info;
}
const TEnumInfo& EnumTypeInfo(TPenMode*)
{
    static const TEnumInfo info{"TPenMode",
                                {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                                 "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                                 "pmNotMask", "pmXor", "pmNotXor"},
                                0};
    return info;
}

// ---- graphics objects ------------------------------------------------------

TClass TGraphicsObject::StaticClass() { return DefineClass<TGraphicsObject, TPersistent>("TGraphicsObject"); }

TGraphicsObject::~TGraphicsObject() { FreeHandle(); }

void TGraphicsObject::FreeHandle()
{
    if (handle_ && ownsHandle_) DeleteObject(handle_);
    handle_ = nullptr;
    ownsHandle_ = true;
}

void TGraphicsObject::Changed()
{
    FreeHandle();
    OnChange(this);
}

TClass TFont::StaticClass()
{
    return DefineClass<TFont, TGraphicsObject>("TFont", [](ClassBuilder<TFont>& b) {
        b.Property("Charset", &TFont::Charset, &TFont::SetCharset).Default(1);
        b.Property("Color", &TFont::Color, &TFont::SetColor).Idents(&ColorIdents());
        b.Property("Height", &TFont::Height, &TFont::SetHeight);
        b.Property("Name", &TFont::Name, &TFont::SetName);
        b.Property("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
        b.Property("Style", &TFont::Style, &TFont::SetStyle).Default(TFontStyles{});
    });
}

LOGFONTA TFont::LogFont() const
{
    LOGFONTA lf;
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = style_.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style_.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfEscapement = escapement_;
    lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle()
{
    if (!handle_) {
        const LOGFONTA lf = LogFont();
        handle_ = CreateFontIndirectA(&lf);
        ownsHandle_ = true;
    }
    return static_cast<HFONT>(handle_);
}

void TFont::SetHandle(HFONT font)
{
    LOGFONTA lf;
    if (!font || GetObjectA(font, sizeof(lf), &lf) == 0) return;
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    style_ = {};
    if (lf.lfWeight >= FW_BOLD) style_.Include(fsBold);
    if (lf.lfItalic) style_.Include(fsItalic);
    if (lf.lfUnderline) style_.Include(fsUnderline);
    if (lf.lfStrikeOut) style_.Include(fsStrikeOut);
    escapement_ = lf.lfEscapement;
    Changed();
}

void TFont::SetName(const std::string& value) { SetIfChanged(name_, value, [this] { Changed(); }); }
int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }
void TFont::SetSize(int value) { SetHeight(-MulDiv(value, PixelsPerInch(), 72)); }
void TFont::SetHeight(int value) { SetIfChanged(height_, value, [this] { Changed(); }); }
void TFont::SetStyle(TFontStyles value) { SetIfChanged(style_, value, [this] { Changed(); }); }
void TFont::SetColor(TColor value) { SetIfChanged(color_, value, [this] { Changed(); }); }
void TFont::SetPitch(TFontPitch value) { SetIfChanged(pitch_, value, [this] { Changed(); }); }
void TFont::SetEscapement(int value) { SetIfChanged(escapement_, value, [this] { Changed(); }); }

bool TFont::SameAs(const TFont& o) const
{
    return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ && pitch_ == o.pitch_ &&
           escapement_ == o.escapement_;
}

void TFont::Assign(TPersistent* source)
{
    auto* f = As<TFont>(source);
    if (!f) return TGraphicsObject::Assign(source);
    if (SameAs(*f)) return;
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    pitch_ = f->pitch_;
    escapement_ = f->escapement_;
    Changed();
}

TClass TBrush::StaticClass()
{
    return DefineClass<TBrush, TGraphicsObject>("TBrush", [](ClassBuilder<TBrush>& b) {
        b.Property("Color", &TBrush::Color, &TBrush::SetColor).Idents(&ColorIdents());
        b.Property("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
    });
}

HBRUSH TBrush::Handle()
{
    if (bitmap_) {
        if (handle_ && PatternStale()) FreeHandle();
        if (!handle_) {
            handle_ = CreatePatternBrush(bitmap_->Handle());
            patternStamp_ = bitmap_->ChangeStamp();
        }
    } else if (!handle_) {
        LOGBRUSH lb;
        lb.lbColor = ColorToRGB(color_);
        if (style_ == bsClear) lb.lbStyle = BS_NULL;
        else if (style_ == bsSolid) lb.lbStyle = BS_SOLID;
        else {
            lb.lbStyle = BS_HATCHED;
            lb.lbHatch = static_cast<ULONG_PTR>(style_ - bsHorizontal);
        }
        handle_ = CreateBrushIndirect(&lb);
    }
    return static_cast<HBRUSH>(handle_);
}

void TBrush::SetColor(TColor value)
{
    if (color_ == value) return;
    color_ = value;
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}
void TBrush::SetHandle(HBRUSH brush)
{
    FreeHandle();
    handle_ = brush;
    for (int i = 0; brush && i <= COLOR_MENUBAR; ++i)
        if (GetSysColorBrush(i) == brush) {
            ownsHandle_ = false;
            color_ = SystemColor(i);
            style_ = bsSolid;
            break;
        }
    LOGBRUSH lb{};
    if (ownsHandle_ && brush && GetObjectA(brush, sizeof(lb), &lb) == sizeof(lb)) {
        color_ = static_cast<TColor>(lb.lbColor & 0xFFFFFF);
        style_ = lb.lbStyle == BS_NULL ? bsClear : bsSolid;
    }
    OnChange(this);
}

void TBrush::SetStyle(TBrushStyle value) { SetIfChanged(style_, value, [this] { Changed(); }); }
void TBrush::SetBitmap(TBitmap* value) { SetIfChanged(bitmap_, value, [this] { Changed(); }); }
bool TBrush::PatternStale() const { return bitmap_ && handle_ && bitmap_->ChangeStamp() != patternStamp_; }

void TBrush::Assign(TPersistent* source)
{
    auto* b = As<TBrush>(source);
    if (!b) return TGraphicsObject::Assign(source);
    color_ = b->color_;
    style_ = b->style_;
    bitmap_ = b->bitmap_;
    Changed();
}

TClass TPen::StaticClass()
{
    return DefineClass<TPen, TGraphicsObject>("TPen", [](ClassBuilder<TPen>& b) {
        b.Property("Color", &TPen::Color, &TPen::SetColor).Idents(&ColorIdents());
        b.Property("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
        b.Property("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
        b.Property("Width", &TPen::Width, &TPen::SetWidth).Default(1);
    });
}

HPEN TPen::Handle()
{
    if (!handle_) {
        static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_ = CreatePen(kStyles[style_], width_, ColorToRGB(color_));
    }
    return static_cast<HPEN>(handle_);
}
void TPen::SetColor(TColor value) { SetIfChanged(color_, value, [this] { Changed(); }); }
void TPen::SetWidth(int value) { SetIfChanged(width_, std::max(0, value), [this] { Changed(); }); }
void TPen::SetStyle(TPenStyle value) { SetIfChanged(style_, value, [this] { Changed(); }); }
void TPen::SetMode(TPenMode value) { SetIfChanged(mode_, value, [this] { Changed(); }); }
void TPen::Assign(TPersistent* source)
{
    auto* p = As<TPen>(source);
    if (!p) return TGraphicsObject::Assign(source);
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
}

// ---- canvas ------------------------------------------------------------------

TClass TCanvas::StaticClass() { return DefineClass<TCanvas, TPersistent>("TCanvas"); }

TCanvas::TCanvas()
    : font_(CreateObject<TFont>()), brush_(CreateObject<TBrush>()), pen_(CreateObject<TPen>())
{
    font_->OnChange = TNotifyEvent::Bind(this, &TCanvas::ObjectChanged);
    brush_->OnChange = TNotifyEvent::Bind(this, &TCanvas::ObjectChanged);
    pen_->OnChange = TNotifyEvent::Bind(this, &TCanvas::ObjectChanged);
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::ObjectChanged(TObject* sender)
{
    if (sender == font_.get()) fontValid_ = false;
    if (sender == brush_.get()) brushValid_ = false;
    if (sender == pen_.get()) penValid_ = false;
}

void TCanvas::DeselectHandles()
{
    if (!dc_) return;
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldPen_) SelectObject(dc_, oldPen_);
    oldFont_ = oldBrush_ = oldPen_ = nullptr;
    fontValid_ = brushValid_ = penValid_ = false;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc == dc_) return;
    DeselectHandles();
    dc_ = dc;
}

HDC TCanvas::Handle()
{
    if (!dc_) CreateHandle();
    return dc_;
}

void TCanvas::RequiredState(bool font, bool pen, bool brush)
{
    HDC dc = Handle();
    if (!dc) throw EInvalidOperation("Canvas does not allow drawing");
    if (font && !fontValid_) {
        HGDIOBJ old = SelectObject(dc, font_->Handle());
        if (!oldFont_) oldFont_ = old;
        SetTextColor(dc, ColorToRGB(font_->Color()));
        fontValid_ = true;
    }
    if (pen && !penValid_) {
        HGDIOBJ old = SelectObject(dc, pen_->Handle());
        if (!oldPen_) oldPen_ = old;
        // TPenMode order to the binary raster operations.
        static constexpr int kRop2[] = {R2_BLACK,       R2_WHITE,       R2_NOP,        R2_NOT,
                                        R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                        R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,   R2_NOTMERGEPEN,
                                        R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
        SetROP2(dc, kRop2[pen_->Mode()]);
        penValid_ = true;
    }
    // A pattern brush whose bitmap was drawn on since is made again.
    if (brush && brushValid_ && brush_->PatternStale()) brushValid_ = false;
    if (brush && !brushValid_) {
        HGDIOBJ old = SelectObject(dc, brush_->Handle());
        if (!oldBrush_) oldBrush_ = old;
        SetBkColor(dc, ColorToRGB(brush_->Color()));
        SetBkMode(dc, brush_->Style() == bsSolid ? OPAQUE : TRANSPARENT);
        brushValid_ = true;
    }
}

void TCanvas::FillRect(const RECT& rect)
{
    RequiredState(false, false, true);
    if (brush_->Style() != bsClear) ::FillRect(dc_, &rect, brush_->Handle());
}

void TCanvas::FrameRect(const RECT& rect)
{
    RequiredState(false, false, true);
    ::FrameRect(dc_, &rect, brush_->Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    RequiredState(false, true, true);
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    RequiredState(false, true, true);
    ::Ellipse(dc_, left, top, right, bottom);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int width, int height)
{
    RequiredState(false, true, true);
    ::RoundRect(dc_, left, top, right, bottom, width, height);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    RequiredState(false, true, true);
    ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    RequiredState(false, true, true);
    ::Pie(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
}

void TCanvas::MoveTo(int x, int y)
{
    RequiredState(false, false, false);
    MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    RequiredState(false, true, true);
    ::LineTo(dc_, x, y);
}

POINT TCanvas::PenPos()
{
    POINT p{};
    RequiredState(false, false, false);
    GetCurrentPositionEx(dc_, &p);
    return p;
}

void TCanvas::Polyline(const std::vector<POINT>& points)
{
    RequiredState(false, true, true);
    if (!points.empty()) ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const std::vector<POINT>& points)
{
    RequiredState(false, true, true);
    if (!points.empty()) ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::DrawFocusRect(const RECT& rect)
{
    RequiredState(false, false, true);
    ::DrawFocusRect(dc_, &rect);
}

TColor TCanvas::Pixel(int x, int y)
{
    RequiredState(false, false, false);
    const COLORREF c = GetPixel(dc_, x, y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    RequiredState(false, false, false);
    ::SetPixel(dc_, x, y, ColorToRGB(color));
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    RequiredState(true, false, true);
    ExtTextOutA(dc_, x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    MoveToEx(dc_, x + TextWidth(text), y, nullptr);
}

void TCanvas::ExtTextOut(int x, int y, UINT options, const RECT* rect, const std::string& text)
{
    RequiredState(true, false, true);
    ExtTextOutA(dc_, x, y, options, rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const std::string& text)
{
    RequiredState(true, false, true);
    const UINT options = ETO_CLIPPED | (brush_->Style() != bsClear ? ETO_OPAQUE : 0);
    ExtTextOutA(dc_, x, y, options, &rect, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

SIZE TCanvas::TextExtent(const std::string& text)
{
    SIZE size{};
    RequiredState(true, false, false);
    GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT format)
{
    RequiredState(true, false, true);
    return DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic)
{
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(*this, RECT{x, y, x + graphic->Width(), y + graphic->Height()});
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic* graphic)
{
    if (graphic && !graphic->Empty()) graphic->Draw(*this, rect);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& src)
{
    if (!source) return;
    HDC from = As<TBitmapCanvas>(source) ? static_cast<TBitmapCanvas*>(source)->SourceHandle() : source->Handle();
    RequiredState(false, false, true);
    StretchBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, from, src.left,
               src.top, src.right - src.left, src.bottom - src.top, copyMode_);
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap* bitmap, const RECT& source, TColor color)
{
    const int w = source.right - source.left;
    const int h = source.bottom - source.top;
    if (!bitmap || w <= 0 || h <= 0) return;
    // Compose in a 32-bit bitmap: the canvas (clear brush) or the brush
    // under every pixel, then the bitmap's pixels that are not the colour.
    auto work = MakeObject<TBitmap>();
    work->SetSize(w, h);
    const RECT all{0, 0, w, h};
    if (brush_->Style() == bsClear) {
        work->Canvas()->CopyRect(all, this, RECT{dest.left, dest.top, dest.left + w, dest.top + h});
    } else {
        work->Canvas()->Brush()->Assign(brush_.get());
        work->Canvas()->FillRect(all);
    }
    const gfx::Picture picture = bitmap->ToPicture();
    const COLORREF key = ColorToRGB(color);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(work->ScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int sx = source.left + x;
            const int sy = source.top + y;
            if (sx < 0 || sy < 0 || sx >= picture.width || sy >= picture.height) continue;
            const gfx::Pixel p = picture.pixels[static_cast<std::size_t>(sy) * picture.width + sx];
            const COLORREF rgb = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            if (rgb != key) row[x] = p | 0xFF000000u;
        }
    }
    CopyRect(dest, work->Canvas(), all);
}

RECT TCanvas::ClipRect()
{
    RECT r{};
    GetClipBox(Handle(), &r);
    return r;
}

// ---- graphics ------------------------------------------------------------------

TClass TGraphic::StaticClass() { return DefineClass<TGraphic, TPersistent>("TGraphic"); }

void TGraphic::Changed()
{
    modified_ = true;
    OnChange(this);
}

void TGraphic::SetTransparent(bool value)
{
    if (transparent_ == value) return;
    transparent_ = value;
    Changed();
}

void TGraphic::LoadFromFile(const std::string& path)
{
    auto stream = MakeObject<TFileStream>(path, fmOpenRead);
    LoadFromStream(*stream);
}

void TGraphic::SaveToFile(const std::string& path)
{
    auto stream = MakeObject<TFileStream>(path, fmCreate);
    SaveToStream(*stream);
}

TClass TBitmap::StaticClass() { return DefineClass<TBitmap, TGraphic>("TBitmap"); }

TBitmap::TBitmap() = default;
TBitmap::~TBitmap()
{
    canvas_.reset();
    ReleaseHandle();
}

int TBitmap::BitCount() const
{
    switch (format_) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 32;
    }
}

int TBitmap::BytesPerScanLine() const { return ((width_ * BitCount() + 31) / 32) * 4; }

void TBitmap::ReleaseHandle()
{
    if (canvas_) canvas_->Release();
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
    bits_ = nullptr;
}

void TBitmap::Rebuild(int width, int height, TPixelFormat format)
{
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw EInvalidGraphic("Invalid bitmap size " + std::to_string(width) + " x " + std::to_string(height));
    if (format == pfDevice || format == pf15bit || format == pf16bit || format == pfCustom) format = pf32bit;
    // Keep the picture across a change of format or size where both exist.
    std::vector<std::uint8_t> keep;
    gfx::Picture old;
    const bool hadPicture = handle_ && gfx::PictureFromBitmap(handle_, old);
    ReleaseHandle();
    width_ = width;
    height_ = height;
    format_ = format;
    if (width_ == 0 || height_ == 0) return;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biWidth = width_;
    info.header.biHeight = -height_;
    info.header.biBitCount = static_cast<WORD>(BitCount());
    const int paletteSize = BitCount() <= 8 ? 1 << BitCount() : 0;
    for (int i = 0; i < paletteSize; ++i) {
        // Grey ramp; 1-bit is black and white.
        const BYTE v = static_cast<BYTE>(paletteSize == 1 ? 0 : i * 255 / (paletteSize - 1));
        info.colors[i] = RGBQUAD{v, v, v, 0};
    }
    info.header.biClrUsed = static_cast<DWORD>(paletteSize);
    void* bits = nullptr;
    handle_ = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!handle_) throw EOutOfResources("Out of system resources");
    bits_ = static_cast<std::uint8_t*>(bits);
    if (hadPicture) {
        HBITMAP oldBmp = gfx::CreateBitmapFromPicture(old);
        CopyBits(handle_, oldBmp, std::min(width_, old.width), std::min(height_, old.height));
        DeleteObject(oldBmp);
    }
}

void TBitmap::SetHandle(HBITMAP bitmap)
{
    BITMAP info{};
    const bool valid = bitmap && GetObjectA(bitmap, sizeof(info), &info) == sizeof(info);
    ReleaseHandle();
    width_ = height_ = 0;
    if (valid) {
        const int bits = info.bmBitsPixel * info.bmPlanes;
        const TPixelFormat format = bits == 1 ? pf1bit : bits == 4 ? pf4bit : bits == 8 ? pf8bit
                                  : bits == 24 ? pf24bit : pf32bit;
        Rebuild(info.bmWidth, info.bmHeight, format);
        if (handle_) CopyBits(handle_, bitmap, width_, height_);
        DeleteObject(bitmap);
    }
    Changed();
}

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_) return;
    Rebuild(width, height, format_);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value == format_) return;
    Rebuild(width_, height_, value);
    Changed();
}

void TBitmap::EndCanvasDrawing()
{
    // Deselecting brings what the canvas drew into the bitmap's own bits.
    if (canvas_) canvas_->Release();
    GdiFlush();
}

HBITMAP TBitmap::Handle()
{
    EndCanvasDrawing();
    return handle_;
}

std::uint64_t TBitmap::ChangeStamp() const { return handle_ ? gfx::BitmapChangeStamp(handle_) : 0; }

TCanvas* TBitmap::Canvas()
{
    if (!canvas_) canvas_.reset(CreateObject<TBitmapCanvas>(this));
    return canvas_.get();
}

std::uint8_t* TBitmap::ScanLine(int row)
{
    if (row < 0 || row >= height_ || !bits_) throw EInvalidGraphic("Scan line index out of range");
    EndCanvasDrawing();
    gfx::MarkBitmapChanged(handle_); // the caller may write the row
    return bits_ + static_cast<std::size_t>(row) * static_cast<std::size_t>(BytesPerScanLine());
}

TColor TBitmap::TransparentColor()
{
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (!handle_ || height_ == 0) return clDefault;
    return Canvas()->Pixel(0, height_ - 1);
}

void TBitmap::SetTransparentColor(TColor value)
{
    transparentColor_ = value;
    transparentMode_ = value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == tmAuto) transparentColor_ = clDefault;
    transparentMode_ = value;
    Changed();
}

void TBitmap::Assign(TPersistent* source)
{
    auto* other = As<TBitmap>(source);
    if (!other) return TGraphic::Assign(source);
    if (other == this) return;
    ReleaseHandle();
    width_ = height_ = 0;
    format_ = other->format_;
    Rebuild(other->width_, other->height_, other->format_);
    if (bits_ && other->bits_) {
        other->EndCanvasDrawing();
        std::memcpy(bits_, other->bits_, static_cast<std::size_t>(BytesPerScanLine()) * height_);
    }
    transparent_ = other->transparent_;
    transparentColor_ = other->transparentColor_;
    transparentMode_ = other->transparentMode_;
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream)
{
    const std::int64_t size = stream.Size() - stream.Position();
    if (size <= 0 || size > (std::int64_t{1} << 30)) throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    stream.ReadBuffer(bytes.data(), size);
    gfx::Picture picture;
    std::string error;
    // Only BMP data: other formats belong to their own graphic classes.
    if (gfx::DetectPictureFormat(bytes) != gfx::PictureFormat::Bmp) throw EInvalidGraphic("Bitmap image is not valid");
    if (bytes.size() >= 26) {
        std::int32_t width = 0, height = 0;
        std::memcpy(&width, bytes.data() + 18, 4);
        std::memcpy(&height, bytes.data() + 22, 4);
        if (width > kMaxSide || height > kMaxSide || height < -kMaxSide) throw EInvalidGraphic("Bitmap image is too large");
    }
    if (!gfx::ReadBmp(bytes, picture, error)) throw EInvalidGraphic("Bitmap image is not valid");
    LoadFromPicture(picture);
}

void TBitmap::LoadFromResourceName(const std::string& name)
{
    TResourceStream resource(name, restype::Bitmap);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(resource.Size()));
    if (!bytes.empty()) resource.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    if (bytes.size() >= 40 && !(bytes[0] == 'B' && bytes[1] == 'M')) {
        // A bare DIB: the file header says where the pixels start.
        std::uint32_t headerSize = 0, colours = 0;
        std::memcpy(&headerSize, bytes.data(), 4);
        std::memcpy(&colours, bytes.data() + 32, 4);
        const std::uint16_t bits = static_cast<std::uint16_t>(bytes[14] | (bytes[15] << 8));
        if (bits <= 8 && colours == 0) colours = 1u << bits;
        if (headerSize < 40 || headerSize > bytes.size() || colours > 256) throw EInvalidGraphic("Bitmap image is not valid");
        const std::uint32_t offset = 14 + headerSize + colours * 4;
        const std::uint32_t total = static_cast<std::uint32_t>(bytes.size()) + 14;
        std::vector<std::uint8_t> file = {'B', 'M'};
        for (std::uint32_t v : {total, 0u, offset})
            for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        file.insert(file.end(), bytes.begin(), bytes.end());
        bytes = std::move(file);
    }
    auto stream = MakeObject<TMemoryStream>();
    if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    stream->SetPosition(0);
    LoadFromStream(*stream);
}

quelvo::gfx::Picture TBitmap::ToPicture()
{
    gfx::Picture picture;
    if (handle_) gfx::PictureFromBitmap(Handle(), picture);
    return picture;
}

void TBitmap::LoadFromPicture(const quelvo::gfx::Picture& picture)
{
    if (picture.width > kMaxSide || picture.height > kMaxSide || picture.width < 0 || picture.height < 0 ||
        picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
        throw EInvalidGraphic("Bitmap image is not valid");
    ReleaseHandle();
    width_ = height_ = 0;
    Rebuild(picture.width, picture.height, picture.sourceBits == 24 ? pf24bit : pf32bit);
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = bits_ + static_cast<std::size_t>(y) * BytesPerScanLine();
        for (int x = 0; x < width_; ++x) {
            const gfx::Pixel p = picture.pixels[static_cast<std::size_t>(y) * width_ + x];
            if (format_ == pf24bit) {
                row[x * 3] = p & 0xFF;
                row[x * 3 + 1] = (p >> 8) & 0xFF;
                row[x * 3 + 2] = (p >> 16) & 0xFF;
            } else {
                std::memcpy(row + x * 4, &p, 4);
            }
        }
    }
    Changed();
}

void TBitmap::SaveToStream(TStream& stream)
{
    const gfx::Picture picture = ToPicture();
    const auto bytes = gfx::WriteBmp(picture, BitCount());
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBitmap::DefineProperties(TFiler& filer)
{
    TGraphic::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Data",
        [this](TStream& stream) {
            if (stream.Size() == stream.Position())
                SetSize(0, 0);
            else
                LoadFromStream(stream);
        },
        [this](TStream& stream) { SaveToStream(stream); }, !Empty());
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect)
{
    if (!handle_ || &canvas == canvas_.get()) return;
    Canvas();
    HDC src = canvas_->SourceHandle();
    HDC dst = canvas.Handle();
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (transparent_) {
        TransparentBlt(dst, rect.left, rect.top, w, h, src, 0, 0, width_, height_, ColorToRGB(TransparentColor()));
    } else {
        StretchBlt(dst, rect.left, rect.top, w, h, src, 0, 0, width_, height_, SRCCOPY);
    }
}

TClass TBitmapCanvas::StaticClass() { return DefineClass<TBitmapCanvas, TCanvas>("TBitmapCanvas"); }

TBitmapCanvas::~TBitmapCanvas() { Release(); }

void TBitmapCanvas::CreateHandle()
{
    if (!bitmap_ || !bitmap_->handle_) return;
    memDC_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(memDC_, bitmap_->handle_);
    SetHandle(memDC_);
}

HDC TBitmapCanvas::SourceHandle()
{
    Release();
    return Handle();
}

void TBitmapCanvas::Release()
{
    if (!memDC_) return;
    SetHandle(nullptr);
    SelectObject(memDC_, oldBitmap_);
    DeleteDC(memDC_);
    memDC_ = nullptr;
    oldBitmap_ = nullptr;
}

}  // namespace hostlib
