#include "components/editors/cxEditUtils.h"

#include <algorithm>

#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/wingdi.h"
#include "platform/system/winbase.h"

using hostlib::TColor;

namespace {

bool& HotLightAvailable()
{
    static bool available = true;
    return available;
}

// A bitmap of the size filled with the colour, to compose a glyph on.
hostlib::ObjectPtr<hostlib::TBitmap> FilledBitmap(int width, int height, TColor color)
{
    auto bitmap = hostlib::MakeObject<hostlib::TBitmap>();
    bitmap->SetSize(width, height);
    bitmap->Canvas()->Brush()->SetColor(color);
    bitmap->Canvas()->FillRect(RECT{0, 0, width, height});
    return bitmap;
}

void DrawEnabledGlyph(TcxCanvas* canvas, int x, int y, hostlib::TBitmap* glyph, TColor backgroundColor,
                      hostlib::TBitmap* backgroundBitmap)
{
    hostlib::TCanvas* target = backgroundBitmap ? backgroundBitmap->Canvas() : canvas->Canvas();
    hostlib::TBrush* brush = target->Brush();
    hostlib::TBrushStyle oldStyle = brush->Style();
    TColor oldColor = brush->Color();
    if (backgroundColor == hostlib::clNone || backgroundBitmap)
        brush->SetStyle(hostlib::bsClear);
    else
        brush->SetColor(backgroundColor);
    RECT source{0, 0, glyph->Width(), glyph->Height()};
    RECT dest = backgroundBitmap ? source : RECT{x, y, x + glyph->Width(), y + glyph->Height()};
    target->BrushCopy(dest, glyph, source, glyph->TransparentColor());
    brush->SetColor(oldColor);
    brush->SetStyle(oldStyle);
    if (backgroundBitmap)
        canvas->Draw(x, y, backgroundBitmap);
}

void DrawDisabledGlyph(TcxCanvas* canvas, int x, int y, hostlib::TBitmap* glyph, TColor backgroundColor,
                       hostlib::TBitmap* backgroundBitmap)
{
    auto images = hostlib::MakeObject<hostlib::TImageList>(nullptr);
    images->SetSize(glyph->Width(), glyph->Height());
    images->AddMasked(glyph, glyph->TransparentColor());
    if (backgroundColor == hostlib::clNone && !backgroundBitmap) {
        images->Draw(canvas->Canvas(), x, y, 0, false);
        return;
    }
    DrawGlyph(canvas, images.get(), 0, RECT{x, y, x + glyph->Width(), y + glyph->Height()}, backgroundColor, false,
              backgroundBitmap);
}

} // namespace

void DrawGlyph(TcxCanvas* canvas, int x, int y, hostlib::TBitmap* glyph, bool enabled, TColor backgroundColor,
               hostlib::TBitmap* backgroundBitmap)
{
    if (!VerifyBitmap(glyph))
        return;
    if (enabled)
        DrawEnabledGlyph(canvas, x, y, glyph, backgroundColor, backgroundBitmap);
    else
        DrawDisabledGlyph(canvas, x, y, glyph, backgroundColor, backgroundBitmap);
}

void DrawGlyph(TcxCanvas* canvas, hostlib::TCustomImageList* imageList, int imageIndex, const RECT& glyphRect,
               TColor backgroundColor, bool enabled, hostlib::TBitmap* backgroundBitmap)
{
    if (!VerifyImages(imageList) || imageIndex < 0 || imageIndex >= imageList->Count())
        return;
    hostlib::ObjectPtr<hostlib::TBitmap> own;
    hostlib::TBitmap* target = backgroundBitmap;
    if (!target) {
        own = FilledBitmap(imageList->Width(), imageList->Height(), backgroundColor);
        target = own.get();
    }
    imageList->Draw(target->Canvas(), 0, 0, imageIndex, enabled);
    canvas->Draw(glyphRect.left, glyphRect.top, target);
}

SIZE GetArrowSize(const SIZE& size, TcxArrowDirection direction)
{
    int side = std::min(size.cx, size.cy);
    int w = (side - 1) / 2;
    if (w % 2 == 0)
        ++w;
    int h = w / 2 + 1;
    return direction == adUp || direction == adDown ? SIZE{w, h} : SIZE{h, w};
}

namespace {

// Line i of an arrow whose block starts at (x, y): a span across the
// arrow's axis, widening from the tip or narrowing from the base.
RECT ArrowLine(TcxArrowDirection direction, int x, int y, int n, int i)
{
    int from = direction == adUp || direction == adLeft ? n - 1 - i : i;
    int to = 2 * n - 2 - from;
    if (direction == adUp || direction == adDown)
        return RECT{x + from, y + i, x + to + 1, y + i + 1};
    return RECT{x + i, y + from, x + i + 1, y + to + 1};
}

} // namespace

void DrawArrow(TcxCanvas* canvas, const SIZE& arrowSize, const RECT& rect, TcxArrowDirection direction, bool shifted,
               bool isDouble, TColor color)
{
    int n = std::min(arrowSize.cx, arrowSize.cy), count = isDouble ? 2 : 1;
    if (n <= 0)
        return;
    bool vertical = direction == adUp || direction == adDown;
    SIZE block = vertical ? SIZE{2 * n - 1, count * n} : SIZE{count * n, 2 * n - 1};
    int x = rect.left + (rect.right - rect.left - block.cx) / 2 + (shifted ? 1 : 0);
    int y = rect.top + (rect.bottom - rect.top - block.cy) / 2 + (shifted ? 1 : 0);
    HBRUSH brush = GetSolidBrush(color);
    for (int arrow = 0; arrow < count; ++arrow) {
        int ax = vertical ? x : x + arrow * n, ay = vertical ? y + arrow * n : y;
        for (int i = 0; i < n; ++i)
            cxEditFillRect(canvas->Handle(), ArrowLine(direction, ax, ay, n, i), brush);
    }
}

TcxCustomLookAndFeelPainterClass GetPainterClass(bool native, TcxLookAndFeelKind kind)
{
    if (native && AreVisualStylesAvailable())
        return cxLookAndFeelPainterOfStyle(lfsNative);
    switch (kind) {
    case lfFlat: return cxLookAndFeelPainterOfStyle(lfsFlat);
    case lfStandard: return cxLookAndFeelPainterOfStyle(lfsStandard);
    case lfUltraFlat: return cxLookAndFeelPainterOfStyle(lfsUltraFlat);
    case lfOffice11: return cxLookAndFeelPainterOfStyle(lfsOffice11);
    }
    return cxLookAndFeelPainterOfStyle(lfsStandard);
}

TColor GetEditButtonHighlightColor(bool pressed, bool isOffice11Style)
{
    TcxCustomLookAndFeelPainterClass painter = cxLookAndFeelPainterOfStyle(isOffice11Style ? lfsOffice11 : lfsUltraFlat);
    return painter->ButtonColor(pressed ? cxbsPressed : cxbsHot);
}

void InternalPolyLine(TcxCanvas* canvas, const std::vector<POINT>& points, int lastIndex, bool filled, TColor color)
{
    lastIndex = std::min(lastIndex, static_cast<int>(points.size()) - 1);
    if (lastIndex < 0)
        return;
    const POINT& last = points[static_cast<size_t>(lastIndex)];
    if (!filled) {
        canvas->Pen()->SetColor(color);
        canvas->Polyline(std::vector<POINT>(points.begin(), points.begin() + lastIndex + 1));
        canvas->SetPixel(last.x, last.y, color);
        return;
    }
    HBRUSH brush = GetSolidBrush(color);
    for (int i = 0; i < lastIndex; ++i) {
        const POINT& a = points[static_cast<size_t>(i)];
        const POINT& b = points[static_cast<size_t>(i) + 1];
        RECT segment{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
        cxEditFillRect(canvas->Handle(), segment, brush);
    }
    RECT dot{last.x, last.y, last.x + 1, last.y + 1};
    cxEditFillRect(canvas->Handle(), dot, brush);
}

void InternalFillRect(TcxCanvas* canvas, const RECT& outer, const RECT& inner, HBRUSH brush)
{
    if (IsRectEmpty(&outer) || EqualRect(&outer, &inner))
        return;
    HDC dc = canvas->Handle();
    if (IsRectEmpty(&inner)) {
        cxEditFillRect(dc, outer, brush);
        return;
    }
    cxEditFillRect(dc, RECT{outer.left, outer.top, inner.left, outer.bottom}, brush);
    cxEditFillRect(dc, RECT{inner.left, outer.top, inner.right, inner.top}, brush);
    cxEditFillRect(dc, RECT{inner.left, inner.bottom, inner.right, outer.bottom}, brush);
    cxEditFillRect(dc, RECT{inner.right, outer.top, outer.right, outer.bottom}, brush);
}

void cxEditFillRect(HDC dc, const RECT& rect, HBRUSH brush) { FillRect(dc, &rect, brush); }

void cxOffsetRect(RECT& rect, const POINT& offset) { OffsetRect(&rect, offset.x, offset.y); }

TColor GetHotTrackColor()
{
    return HotLightAvailable() ? static_cast<TColor>(0x80000000u | COLOR_HOTLIGHT) : hostlib::clBlue;
}

TColor GetEditBorderHighlightColor(bool isOffice11Style)
{
    return isOffice11Style ? dxOffice11SelectedBorderColor : hostlib::clHighlight;
}

bool VerifyBitmap(hostlib::TBitmap* bitmap)
{
    return bitmap && !bitmap->Empty() && bitmap->Width() >= 1 && bitmap->Height() >= 1;
}

bool VerifyImages(hostlib::TCustomImageList* images)
{
    return images && images->Width() > 0 && images->Height() > 0;
}

std::string RemoveAccelChars(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            result += text[i];
        } else if (i + 1 < text.size()) {
            result += text[++i];
        } else {
            result += '_';
        }
    }
    return result;
}

int cxTextOutFlagsToDrawTextFlags(unsigned flags)
{
    int result = 0;
    unsigned x = flags & cxTextAlignXMask, y = (flags & cxTextAlignYMask) >> 4;
    if (x == taCenterX)
        result |= cxtfHCenter;
    else if (x == taRight)
        result |= cxtfRight;
    if (y == taCenterY)
        result |= cxtfVCenter;
    else if (y == taBottom)
        result |= cxtfBottom;
    if (flags & cxSingleLine)
        result |= cxtfSingleLine;
    return result;
}

unsigned DrawTextFlagsTocxTextOutFlags(int flags)
{
    unsigned result = 0;
    if (flags & cxtfHCenter)
        result |= taCenterX;
    else if (flags & cxtfRight)
        result |= taRight;
    if (flags & cxtfVCenter)
        result |= taCenterY << 4;
    else if (flags & cxtfBottom)
        result |= taBottom << 4;
    if (flags & cxtfSingleLine)
        result |= cxSingleLine;
    return result;
}

// Our platform reports NT 10 and has COLOR_HOTLIGHT: "NT 5" reads as "5 or later".
void cxEditUtilsInitialize()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    HotLightAvailable() = !GetVersionExA(&info) ||
                          (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5) ||
                          (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMinorVersion != 0);
}
