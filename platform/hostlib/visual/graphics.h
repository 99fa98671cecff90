#pragma once
// Graphics classes of the host library: colours, fonts, brushes and pens
// that own their drawing objects, a canvas over any device context, and
// bitmaps with scan-line access and BMP/PNG/JPEG streams.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/picture.h"
#include "platform/graphics/wingdi.h"
#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/exceptions.h"

namespace hostlib {

class TStream;

// ---- colours ---------------------------------------------------------------
// A TColor is an RGB value (0x00BBGGRR) or a system colour (clSystemColor
// or-ed with the system colour index: negative, WINDOW is -2147483643).
using TColor = std::int32_t;
inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
inline constexpr TColor SystemColor(int index) { return clSystemColor | index; }
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour; system colours are looked up, clNone and
// clDefault give black.
COLORREF ColorToRGB(TColor color);

// The 52 colour identifiers ("clBlack" ... "clWindowText") with their
// values, in the order form resources and colour pickers list them; a
// colour property names its value through this map.
const TIdentMap& ColorIdents();
// Case-insensitive; false (and color untouched) for an unknown identifier.
bool IdentToColor(std::string_view ident, TColor& color);
// The identifier of a colour that has one; false otherwise.
bool ColorToIdent(TColor color, std::string& ident);

// ---- fonts, brushes, pens --------------------------------------------------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
                pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor };

const TEnumInfo& EnumTypeInfo(TFontStyle*);
const TEnumInfo& EnumTypeInfo(TFontPitch*);
const TEnumInfo& EnumTypeInfo(TBrushStyle*);
const TEnumInfo& EnumTypeInfo(TPenStyle*);
const TEnumInfo& EnumTypeInfo(TPenMode*);

// Base of the objects that own one drawing handle, made on first use and
// remade after each change; OnChange tells the owner.
class TGraphicsObject : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    ~TGraphicsObject() override;

    TNotifyEvent OnChange;

protected:
    void Changed();
    void FreeHandle();
    HGDIOBJ handle_ = nullptr;
    bool ownsHandle_ = true;
};

class TFont : public TGraphicsObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    HFONT Handle();
    // Adopts a font handle: its description becomes this font's.
    void SetHandle(HFONT font);
    const std::string& Name() const { return name_; }
    void SetName(const std::string& value);
    // Points at 96 pixels per inch; Height is the negative pixel height.
    int Size() const;
    void SetSize(int value);
    int Height() const { return height_; }
    void SetHeight(int value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch value);
    // The angle of the text's baseline in tenths of a degree, counter-clockwise.
    int Escapement() const { return escapement_; }
    void SetEscapement(int value);
    int PixelsPerInch() const { return 96; }
    // Kept for form resources; text is UTF-8 whatever the value.
    int Charset() const { return charset_; }
    void SetCharset(int value) { charset_ = value; }
    void Assign(TPersistent* source) override;
    LOGFONTA LogFont() const;
    bool SameAs(const TFont& other) const;

private:
    std::string name_ = "Sans";
    int height_ = -11;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontPitch pitch_ = fpDefault;
    int escapement_ = 0;
    int charset_ = 1;
};

class TBitmap;

class TBrush : public TGraphicsObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    HBRUSH Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle value);
    // Adopts a brush handle: owned (deleted with the brush) unless it is a
    // system colour brush, whose colour then becomes that system colour.
    void SetHandle(HBRUSH brush);
    // A pattern brush of the bitmap's top-left 8 x 8 pixels in place of
    // colour and style (nullptr: back to them). The bitmap is not owned and
    // must outlive its use here; when its pixels change the brush is made
    // again from them.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* value);
    // Whether the handle shows pixels the bitmap no longer holds.
    bool PatternStale() const;
    void Assign(TPersistent* source) override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
    std::uint64_t patternStamp_ = 0; // the bitmap's change stamp the handle was made from
};

class TPen : public TGraphicsObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    HPEN Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    int Width() const { return width_; }
    void SetWidth(int value);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle value);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode value);
    void Assign(TPersistent* source) override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TGraphic;

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };

// A canvas draws with its font, brush and pen on a device context it does
// not own (descendants may supply one on demand through CreateHandle).
class TCanvas : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    TCanvas();
    ~TCanvas() override;

    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }
    TFont* Font() const { return font_.get(); }
    TBrush* Brush() const { return brush_.get(); }
    TPen* Pen() const { return pen_.get(); }
    void SetFont(TFont* font) { font_->Assign(font); }

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void Ellipse(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int width, int height);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    // The raster operation of CopyRect (SRCCOPY by default).
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD value) { copyMode_ = value; }
    // Lets go of the selected font, brush and pen; they are selected again
    // on the next drawing.
    void Refresh() { DeselectHandles(); }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    POINT PenPos();
    void Polyline(const std::vector<POINT>& points);
    void Polygon(const std::vector<POINT>& points);
    void DrawFocusRect(const RECT& rect);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const RECT& rect, int x, int y, const std::string& text);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    // DrawTextA with the canvas's font; returns the text height.
    int DrawText(const std::string& text, RECT& rect, UINT format);
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const RECT& rect, TGraphic* graphic);
    void CopyRect(const RECT& dest, TCanvas* source, const RECT& src);
    // Copies source of bitmap to dest with the pixels of colour replaced
    // by the brush, or left out (the canvas shows through) under bsClear.
    void BrushCopy(const RECT& dest, TBitmap* bitmap, const RECT& source, TColor color);
    RECT ClipRect();
    void Lock() { ++lockCount_; }
    void Unlock() { if (lockCount_ > 0) --lockCount_; }
    int LockCount() const { return lockCount_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Selects the font, pen and brush asked for into the device context.
    void RequiredState(bool font, bool pen, bool brush);
    // ExtTextOutA with the canvas's font and brush.
    void ExtTextOut(int x, int y, UINT options, const RECT* rect, const std::string& text);

protected:
    // Called when Handle is needed and none is set.
    virtual void CreateHandle() {}
    void DeselectHandles();

private:
    void ObjectChanged(TObject* sender);

    HDC dc_ = nullptr;
    ObjectPtr<TFont> font_;
    ObjectPtr<TBrush> brush_;
    ObjectPtr<TPen> pen_;
    HGDIOBJ oldFont_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    bool fontValid_ = false;
    bool brushValid_ = false;
    bool penValid_ = false;
    int lockCount_ = 0;
    DWORD copyMode_ = SRCCOPY;
};

// ---- graphics --------------------------------------------------------------
namespace error_names {
inline constexpr const char* EInvalidGraphic = "EInvalidGraphic";
}
// Raised for pictures that cannot be read or sizes a bitmap cannot take.
using EInvalidGraphic = ErrorClass<Exception, &error_names::EInvalidGraphic>;

class TGraphic : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    // Second construction phase of graphics made from a class reference.
    virtual void Construct() {}

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path);
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    bool Modified() const { return modified_; }
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    bool transparent_ = false;
    bool modified_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmapCanvas;

// A device-independent bitmap. Rows from ScanLine are top-down and padded
// to 4 bytes; formats of 1, 4, 8, 24 and 32 bits are kept as they are.
class TBitmap : public TGraphic {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    TBitmap();
    ~TBitmap() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int value) override { SetSize(value, height_); }
    void SetHeight(int value) override { SetSize(width_, value); }
    // Raises EInvalidGraphic for negative sides or sides over 16384.
    void SetSize(int width, int height);
    TPixelFormat PixelFormat() const { return format_; }
    void SetPixelFormat(TPixelFormat value);
    // Handle and ScanLine end drawing in progress on the canvas (its
    // device context is let go and made again on the next drawing).
    HBITMAP Handle();
    // Changes whenever the pixels may have changed (drawing, ScanLine, a new
    // size or picture); never repeats, so equal stamps mean equal pixels.
    std::uint64_t ChangeStamp() const;
    // Adopts a bitmap handle: its size, depth and pixels become this
    // bitmap's, and the handle is deleted.
    void SetHandle(HBITMAP bitmap);
    TCanvas* Canvas();
    // Raises EInvalidGraphic for a row outside the bitmap.
    std::uint8_t* ScanLine(int row);
    int BytesPerScanLine() const;
    TColor TransparentColor();
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode value);
    void Assign(TPersistent* source) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // "Data": the BMP bytes, so form resources hold the pixels.
    void DefineProperties(TFiler& filer) override;
    // A BITMAP resource: a BMP file, or a device-independent bitmap
    // without the file header. Raises EResNotFound / EInvalidGraphic.
    void LoadFromResourceName(const std::string& name);
    void Draw(TCanvas& canvas, const RECT& rect) override;
    void Dormant() {}
    // The pixels as straight ARGB, and a 32-bit bitmap of a picture.
    quelvo::gfx::Picture ToPicture();
    void LoadFromPicture(const quelvo::gfx::Picture& picture);

private:
    friend class TBitmapCanvas;
    void Rebuild(int width, int height, TPixelFormat format);
    void ReleaseHandle();
    void EndCanvasDrawing();
    int BitCount() const;

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf32bit;
    HBITMAP handle_ = nullptr;
    std::uint8_t* bits_ = nullptr;
    ObjectPtr<TBitmapCanvas> canvas_;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = tmAuto;
};

class TBitmapCanvas : public TCanvas {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TBitmap* bitmap) { bitmap_ = bitmap; }
    ~TBitmapCanvas() override;
    void Release();
    // The device context to copy pixels from: what was drawn so far is
    // brought into the bitmap's own bits first (the drawing layer reads a
    // source bitmap of under 32 bits from those bits).
    HDC SourceHandle();

protected:
    void CreateHandle() override;

private:
    TBitmap* bitmap_ = nullptr;
    HDC memDC_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

}  // namespace hostlib
