#pragma once
// The one drawing surface of the component library: TcxCanvas wraps a host
// canvas (without owning it) and adds frames by side, 3-D edges, text with
// the library's text flags (disabled text embossed), bitmap tiling, glyphs,
// bitmap rotation and clip-region arithmetic. TcxRegion owns a region
// handle; TcxScreenCanvas draws on the screen for measuring.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/wingdi.h"
#include "platform/hostlib/visual/graphics.h"
#include "platform/hostlib/visual/imagelist.h"

enum TcxBorder { bLeft, bTop, bRight, bBottom };
using TcxBorders = hostlib::TSet<TcxBorder>;
const hostlib::TEnumInfo& EnumTypeInfo(TcxBorder*);
inline const TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};

enum TcxGridLines { glBoth, glNone, glVertical, glHorizontal };
enum TcxRegionOperation { roSet, roAdd, roSubtract, roIntersect };
enum TcxRotationAngle { ra0, raPlus90, raMinus90, ra180 };
// A percentage in -100..100.
using TcxColorPart = std::int8_t;
using TRectArray = std::vector<RECT>;

// What a style gives a painter; clDefault means no colour is given.
struct TcxViewParams {
    hostlib::TBitmap* Bitmap = nullptr;
    hostlib::TColor Color = hostlib::clDefault;
    hostlib::TFont* Font = nullptr;
    hostlib::TColor TextColor = hostlib::clDefault;
};
using PcxViewParams = TcxViewParams*;

// Told by a control about changes of its font.
class IcxFontListener {
public:
    virtual ~IcxFontListener() = default;
    virtual void Changed(hostlib::TObject* sender, hostlib::TFont* font) = 0;
};

// Text flags of every text operation of the library.
inline constexpr int cxtfLeft = 0x0001;
inline constexpr int cxtfRight = 0x0002;
inline constexpr int cxtfHCenter = 0x0004;
inline constexpr int cxtfTop = 0x0008;
inline constexpr int cxtfBottom = 0x0010;
inline constexpr int cxtfVCenter = 0x0020;
inline constexpr int cxtfSingleLine = 0x0040;
inline constexpr int cxtfNoClip = 0x0080;
inline constexpr int cxtfExpandTabs = 0x0100;
inline constexpr int cxtfShowPrefix = 0x0200;
inline constexpr int cxtfWordBreak = 0x0400;
inline constexpr int cxtfEndEllipsis = 0x0800;
inline constexpr int cxtfCalcOnly = 0x1000;
inline constexpr int cxtfPathEllipsis = 0x2000;

// The DrawText flags of text flags; DT_NOPREFIX unless cxtfShowPrefix.
UINT cxFlagsToDTFlags(int flags);

// An owned region handle.
class TcxRegion : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxRegion() : TcxRegion(0, 0, 0, 0) {}
    // Takes the handle over.
    explicit TcxRegion(HRGN handle) : handle_(handle) {}
    explicit TcxRegion(const RECT& rect);
    TcxRegion(int left, int top, int right, int bottom) : TcxRegion(RECT{left, top, right, bottom}) {}
    ~TcxRegion() override { DestroyHandle(); }

    HRGN Handle() const { return handle_; }
    void DestroyHandle();
    bool IsEmpty() const;
    bool IsEqual(const TcxRegion* region) const;
    bool IsEqual(HRGN region) const;
    void Offset(int dx, int dy);
    bool PtInRegion(const POINT& pt) const { return PtInRegion(pt.x, pt.y); }
    bool PtInRegion(int x, int y) const;
    bool RectInRegion(const RECT& rect) const;
    bool RectInRegion(int left, int top, int right, int bottom) const { return RectInRegion(RECT{left, top, right, bottom}); }
    // With destroyRegion the other region is freed afterwards.
    void Combine(TcxRegion* region, TcxRegionOperation operation, bool destroyRegion = true);

private:
    HRGN handle_ = nullptr;
};

class TcxCanvas : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxCanvas(hostlib::TCanvas* canvas) : canvas_(canvas) {}

    hostlib::TCanvas* Canvas() const { return canvas_; }
    void SetCanvas(hostlib::TCanvas* canvas) { canvas_ = canvas; }
    hostlib::TBrush* Brush() const { return canvas_->Brush(); }
    void SetBrush(hostlib::TBrush* brush) { canvas_->Brush()->Assign(brush); }
    hostlib::TFont* Font() const { return canvas_->Font(); }
    void SetFont(hostlib::TFont* font) { canvas_->Font()->Assign(font); }
    hostlib::TPen* Pen() const { return canvas_->Pen(); }
    void SetPen(hostlib::TPen* pen) { canvas_->Pen()->Assign(pen); }
    DWORD CopyMode() const { return canvas_->CopyMode(); }
    void SetCopyMode(DWORD value) { canvas_->SetCopyMode(value); }
    HDC Handle() const { return canvas_->Handle(); }
    POINT WindowOrg() const;
    void SetWindowOrg(const POINT& origin);
    void Lock() { canvas_->Lock(); }
    void Unlock() { canvas_->Unlock(); }

    void SetPixel(int x, int y, hostlib::TColor color) { canvas_->SetPixel(x, y, color); }
    void CopyRect(const RECT& dest, hostlib::TCanvas* source, const RECT& src) { canvas_->CopyRect(dest, source, src); }
    void Draw(int x, int y, hostlib::TGraphic* graphic) { canvas_->Draw(x, y, graphic); }
    void MoveTo(int x, int y) { canvas_->MoveTo(x, y); }
    void LineTo(int x, int y) { canvas_->LineTo(x, y); }
    void Polygon(const std::vector<POINT>& points) { canvas_->Polygon(points); }
    void Polyline(const std::vector<POINT>& points) { canvas_->Polyline(points); }
    // Pen and brush both take the colour: a polygon strokes its outline too,
    // and a stale pen would frame the shape in another colour.
    void FillPolygon(const std::vector<POINT>& points, hostlib::TColor color);
    void BeginPath() { ::BeginPath(Handle()); }
    void EndPath() { ::EndPath(Handle()); }
    void WidenPath() { ::WidenPath(Handle()); }
    // A new region of the path; the caller owns it.
    TcxRegion* PathToRegion() { return new TcxRegion(::PathToRegion(Handle())); }
    void ExcludeClipRect(const RECT& r) { ::ExcludeClipRect(Handle(), r.left, r.top, r.right, r.bottom); }
    void IntersectClipRect(const RECT& r) { ::IntersectClipRect(Handle(), r.left, r.top, r.right, r.bottom); }
    bool RectVisible(const RECT& r) { return ::RectVisible(Handle(), &r) != FALSE; }

    // Assigns only a different colour, so the brush is not remade needlessly.
    void SetBrushColor(hostlib::TColor value);
    void AssignParams(const TcxViewParams& params);

    // Fills with the brush, or tiles the bitmap on a grid anchored at the
    // canvas origin (tiles line up across calls).
    void FillRect(const RECT& rect, hostlib::TBitmap* bitmap = nullptr);
    void FillRect(const RECT& rect, const TcxViewParams& params, TcxBorders borders = {},
                  hostlib::TColor borderColor = hostlib::clDefault, int lineWidth = 1);
    // clDefault keeps the brush colour; strips left, right, top, bottom.
    void FrameRect(const RECT& rect, hostlib::TColor color = hostlib::clDefault, int lineWidth = 1,
                   TcxBorders borders = cxBordersAll);
    void DrawComplexFrame(const RECT& rect, hostlib::TColor leftTopColor, hostlib::TColor rightBottomColor,
                          TcxBorders borders = cxBordersAll, int lineWidth = 1);
    void DrawEdge(const RECT& rect, bool sunken, bool outer, TcxBorders borders = cxBordersAll);
    void DrawFocusRect(const RECT& rect);
    void InvertRect(const RECT& rect);
    void InvertFrame(const RECT& rect, int width);
    void DrawGlyph(int x, int y, hostlib::TBitmap* glyph, bool enabled = true,
                   hostlib::TColor backgroundColor = hostlib::clNone);
    void DrawImage(hostlib::TCustomImageList* images, int x, int y, int index, bool enabled = true);
    void DrawTexT(const std::string& text, const RECT& rect, int flags, bool enabled = true);
    void DrawRegion(TcxRegion* region, hostlib::TColor fillColor, hostlib::TColor frameColor, int frameWidth = 1,
                    int frameHeight = 1);
    void DrawRegion(HRGN region, hostlib::TColor fillColor, hostlib::TColor frameColor, int frameWidth = 1,
                    int frameHeight = 1);
    void FillRegion(TcxRegion* region, hostlib::TColor color) { FillRegion(region->Handle(), color); }
    void FillRegion(HRGN region, hostlib::TColor color);
    void FrameRegion(TcxRegion* region, hostlib::TColor color, int frameWidth = 1, int frameHeight = 1)
    {
        FrameRegion(region->Handle(), color, frameWidth, frameHeight);
    }
    void FrameRegion(HRGN region, hostlib::TColor color, int frameWidth = 1, int frameHeight = 1);
    void FlipHorizontally(hostlib::TBitmap* bitmap);
    void RotateBitmap(hostlib::TBitmap* bitmap, TcxRotationAngle angle, bool flipVertically = false);
    void Pie(const RECT& rect, const POINT& startPoint, const POINT& endPoint);
    // Angles in degrees; a negative sweep runs clockwise.
    void Pie(const RECT& rect, int startAngle, int sweepAngle);

    // The height of "Qq" in the font.
    int FontHeight(hostlib::TFont* font);
    SIZE TextExtent(const std::string& text);
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    // Shrinks rect to what the text needs, keeping its alignment in rect.
    void TextExtent(const std::string& text, RECT& rect, int flags);
    // One rectangle per output line of the text broken to the rect's width.
    void GetTextStringsBounds(std::string text, RECT rect, int flags, bool enabled, TRectArray& bounds);

    // A new region of the clip region (the caller owns it); without
    // clipping a very large rectangle.
    TcxRegion* GetClipRegion();
    void SetClipRegion(TcxRegion* region, TcxRegionOperation operation, bool destroyRegion = true);

private:
    hostlib::TCanvas* canvas_ = nullptr;
};

// A canvas on the screen's device context, taken when first needed.
class TScreenCanvas : public hostlib::TCanvas {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    ~TScreenCanvas() override;

protected:
    void CreateHandle() override;

private:
    HDC screenDC_ = nullptr;
};

class TcxScreenCanvas : public TcxCanvas {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    TcxScreenCanvas();
    ~TcxScreenCanvas() override;
};

// The nearest colour the screen shows.
hostlib::TColor GetRealColor(hostlib::TColor color);
// Parts of BTNFACE, HIGHLIGHT and WINDOW in percent; the highlight colour
// when the face is pure black or white.
hostlib::TColor GetLightColor(TcxColorPart btnFaceColorPart, TcxColorPart highlightColorPart,
                              TcxColorPart windowColorPart);
hostlib::TColor GetLightBtnFaceColor();
hostlib::TColor GetLightSelColor();
hostlib::TColor GetLightDownedColor();
hostlib::TColor GetLightDownedSelColor();
