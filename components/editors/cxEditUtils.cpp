#include "components/editors/cxEditUtils.h"

#include <algorithm>

#include "components/editors/cxEditPaintUtils.h"
#include "components/editors/cxEditViewData.h"
#include "components/editors/cxEditTextUtils.h"
#include "components/foundation/dxOffice11.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/wingdi.h"
#include "platform/system/winbase.h"
#include "platform/windows/winuser.h"

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

// ---- layout every editor kind shares -----------------------------------------------

namespace {

bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// The margins of a theme's content rectangle inside a 100 x 100 one.
RECT ThemeContentMargins(TcxCanvas* canvas, TdxThemedObjectType type)
{
    HTHEME theme = OpenTheme(type);
    RECT bounds{0, 0, 100, 100}, content = bounds;
    if (!theme || GetThemeBackgroundContentRect(theme, canvas ? canvas->Handle() : nullptr, 1, 1, &bounds, &content) != 0)
        return RECT{0, 0, 0, 0};
    return RECT{content.left, content.top, 100 - content.right, 100 - content.bottom};
}

TdxThemedObjectType ButtonTheme(const TcxEditButtonViewInfo* button)
{
    return button->Data.ComboBoxStyle ? totComboBox : totButton;
}

void FillRect(TcxCanvas* canvas, const RECT& r, TColor color) { cxEditFillRect(canvas->Handle(), r, GetSolidBrush(color)); }

} // namespace

bool IsShadowDrawingNeeded(TcxCustomEditViewData* viewData)
{
    return !viewData->NativeStyle && viewData->Style()->Shadow();
}

RECT GetEditBorderExtent(TcxCustomEditViewData* viewData)
{
    if (viewData->IsInplace)
        return viewData->ContentOffset;
    TcxCustomEditStyle* style = viewData->Style();
    RECT extent{0, 0, 0, 0};
    if (style->TransparentBorder())
        extent = cxContainerDefaultBorderExtent;
    else if (!style->HasBorder() || (viewData->NativeStyle && style->GetEditBaseStyle()->BorderStyle() == ebsNone))
        extent = RECT{0, 0, 0, 0};
    else if (viewData->NativeStyle)
        extent = RECT{2, 2, 2, 2};
    else {
        const int w = GetContainerBorderWidth(static_cast<TcxContainerBorderStyle>(viewData->GetBorderStyle()));
        const TcxBorders edges = style->Edges();
        extent = RECT{edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
                      edges.Contains(bBottom) ? w : 0};
    }
    if (viewData->HasShadow()) {
        extent.right += 3;
        extent.bottom += 3;
    }
    return extent;
}

RECT GetEditButtonsExtent(TcxCanvas* canvas, TcxCustomEditViewData* viewData)
{
    if (viewData->IsInplace)
        return viewData->ContentOffset;
    if (!viewData->NativeStyle)
        return GetEditBorderExtent(viewData);
    TcxCustomEditStyle* style = viewData->Style();
    if (style->GetEditBaseStyle()->BorderStyle() != ebsNone)
        return ThemeContentMargins(canvas, totEdit);
    return style->TransparentBorder() ? RECT{2, 2, 2, 2} : RECT{0, 0, 0, 0};
}

int GetEditButtonsContentVerticalOffset(TcxCanvas* canvas, TcxEditButtonStyle buttonStyle, bool nativeStyle)
{
    if (nativeStyle) {
        RECT margins = ThemeContentMargins(canvas, totButton);
        return margins.top + margins.bottom;
    }
    return buttonStyle == btsDefault ? 0 : buttonStyle == bts3D ? 4 : 2;
}

void GetEditColorSettings(TcxCustomEditViewData* viewData, TColor& backgroundColor, TColor& textColor)
{
    TcxCustomEditStyle* style = viewData->Style();
    textColor = style->TextColor();
    backgroundColor = style->Color();
    if (!viewData->NativeStyle || viewData->Enabled)
        return;
    COLORREF fill = 0;
    if (HTHEME theme = OpenTheme(totEdit); theme && GetThemeColor(theme, 1, 4, TMT_FILLCOLOR, &fill) == 0)
        backgroundColor = static_cast<TColor>(fill);
}

SIZE GetTextEditContentSizeCorrection(TcxCustomEditViewData* viewData)
{
    if (!viewData->IsInplace)
        return SIZE{3, 4};
    return SIZE{3, viewData->NativeStyle ? 3 : 2};
}

TColor GetEditBorderColor(TcxCustomEditViewData* viewData)
{
    TcxCustomEditStyle* style = viewData->Style();
    const TcxEditBorderStyle border = style->BorderStyle();
    if (border != ebsUltraFlat && border != ebsOffice11)
        return style->BorderColor();
    const TcxContainerState state = viewData->ContainerState;
    if (state.Contains(csActive) || (state.Contains(csHotTrack) && style->HotTrack()) ||
        (viewData->IsDesigning && viewData->Enabled))
        return GetEditBorderHighlightColor(border == ebsOffice11);
    return hostlib::clBtnShadow;
}

void CalculateCustomEditViewInfo(TcxCustomEditViewData* viewData, TcxCustomEditViewInfo* viewInfo)
{
    viewInfo->NativeStyle = viewData->NativeStyle;
    viewInfo->NativeState = 0;
    if (viewData->NativeStyle) {
        const TcxContainerState state = viewInfo->ContainerState;
        viewInfo->NativeState = !viewData->Enabled                         ? 4
                                : viewData->Properties()->GetReadOnly()    ? 6
                                : viewData->Focused                        ? 5
                                : state.Contains(csHotTrack)               ? 2
                                                                           : 1;
    }
    viewInfo->BorderExtent = viewData->GetBorderExtent();
    const RECT& b = viewInfo->Bounds;
    const RECT& e = viewInfo->BorderExtent;
    viewInfo->BorderRect = RECT{b.left + e.left, b.top + e.top, b.right - e.right, b.bottom - e.bottom};
    const RECT s = GetEditBorderExtent(viewData);
    viewInfo->ShadowRect = RECT{b.left + s.left, b.top + s.top, b.right - s.right, b.bottom - s.bottom};
    const RECT& c = viewData->ContentOffset;
    viewInfo->PreviewMode = c.left != 0 || c.top != 0 || c.right != 0 || c.bottom != 0;
    if (!viewData->IsInplace)
        viewInfo->BorderColor = viewData->GetBorderColor();
    TColor background = hostlib::clWindow, text = hostlib::clWindowText;
    GetEditColorSettings(viewData, background, text);
    viewInfo->TextColor = text;
    viewInfo->SetBackgroundColor(background);
}

void CalculateEditButtonState(TcxEditButtonViewInfo* viewInfo)
{
    TcxEditButtonViewInfoData& data = viewInfo->Data;
    data.NativePart = data.NativeState = 0;
    data.BackgroundPartiallyTransparent = false;
    if (!data.NativeStyle)
        return;
    HTHEME theme = OpenTheme(ButtonTheme(viewInfo));
    data.NativePart = theme ? 1 : 0;
    if (!data.NativePart)
        return;
    static const int states[] = {4, 1, 3, 2}; // disabled, normal, pressed, selected
    data.NativeState = states[data.State];
    data.BackgroundPartiallyTransparent = IsThemeBackgroundPartiallyTransparent(theme, 1, data.NativeState) != FALSE;
}

int CalculateEditDefaultButtonWidth(TcxCanvas* canvas, TcxEditButtonViewInfo* viewInfo)
{
    TcxEditButtonViewInfoData& data = viewInfo->Data;
    if (data.NativeStyle)
        data.NativeStyle = AreVisualStylesMustBeUsed(true, ButtonTheme(viewInfo));
    static const int margins[] = {2, 4, 3, 3, 2, 2, 2};
    int m = margins[data.Style];
    if (data.NativeStyle) {
        RECT theme = ThemeContentMargins(canvas, ButtonTheme(viewInfo));
        m = theme.left + theme.right;
    }
    if (viewInfo->Width >= 1)
        return std::max(viewInfo->Width, m);
    if (data.Kind == bkGlyph && VerifyBitmap(viewInfo->Glyph))
        return viewInfo->Glyph->Width() + m;
    const int scrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    if (data.Kind == bkText)
        return std::max(scrollHeight, m + canvas->TextWidth(data.VisibleCaption) + 3);
    return scrollHeight;
}

void GetCheckBoxContentSize(TcxCanvas* canvas, TcxCustomEditViewData* viewData, const std::string& caption,
                            SIZE& size, bool addWidth, const TcxEditSizeProperties& sizeProperties, bool nativeAware,
                            int textFlags)
{
    canvas->SetFont(viewData->Style()->GetVisibleFont());
    if (caption.empty() || (textFlags & cxtfSingleLine)) {
        size = SIZE{canvas->TextWidth(caption), canvas->TextHeight("W")};
    } else {
        RECT r{0, 0, sizeProperties.Width >= 0 ? sizeProperties.Width : 100, 0};
        canvas->TextExtent(caption, r, textFlags);
        size = SIZE{r.right - r.left, r.bottom - r.top};
    }
    size.cy += nativeAware && !viewData->NativeStyle ? 2 : 4;
    if (addWidth)
        size.cx += nativeAware ? 3 : 4;
}

// ---- painting ----------------------------------------------------------------------

namespace {

RECT FrameRect(TcxCustomEditViewInfo* viewInfo, int w, bool fill)
{
    RECT r = viewInfo->BorderRect;
    const TcxBorders edges = viewInfo->Edges;
    r.left -= w;
    r.top -= w;
    if (edges.Contains(bRight) || fill)
        r.right += w;
    if (edges.Contains(bBottom) || fill)
        r.bottom += w;
    return r;
}

void DrawEditFrame(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo)
{
    const int w = GetContainerBorderWidth(viewInfo->GetContainerBorderStyle());
    RECT r = FrameRect(viewInfo, w, false);
    if (viewInfo->Shadow)
        DrawContainerShadow(canvas, r);
    r = FrameRect(viewInfo, w, true);
    const TcxBorders edges = viewInfo->Edges;
    switch (viewInfo->EditBorderStyle) {
    case ebsSingle:
    case ebsThick: canvas->FrameRect(r, viewInfo->BorderColor, w); break;
    case ebsFlat:
        canvas->DrawEdge(r, true, true, edges);
        InflateRect(&r, -1, -1);
        canvas->FrameRect(r, hostlib::clBtnFace);
        break;
    case ebs3D:
        canvas->DrawEdge(r, true, true, edges);
        InflateRect(&r, -1, -1);
        canvas->DrawComplexFrame(r, hostlib::cl3DDkShadow, hostlib::cl3DLight, edges);
        break;
    default: break;
    }
}

void DrawPlainBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, bool drawBackground, HBRUSH brush)
{
    if (viewInfo->IsInplace) {
        if (viewInfo->Transparent)
            return;
        if (drawBackground)
            cxEditFillRect(canvas->Handle(), viewInfo->Bounds, brush);
        else if (viewInfo->PreviewMode)
            InternalFillRect(canvas, viewInfo->Bounds, viewInfo->BorderRect, brush);
    } else if (drawBackground && !viewInfo->Transparent) {
        cxEditFillRect(canvas->Handle(), viewInfo->BorderRect, brush);
    }
}

RECT NativeContentRect(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, HTHEME theme,
                       TcxEditBackgroundPaintingStyle style)
{
    RECT c = viewInfo->Bounds;
    switch (style) {
    case bpsSolid: GetThemeBackgroundContentRect(theme, canvas->Handle(), 1, viewInfo->NativeState, &viewInfo->Bounds, &c); break;
    case bpsComboEdit:
        InflateRect(&c, -3, -3);
        c.right = viewInfo->ClientRect.right - 1;
        break;
    case bpsComboListEdit: c = viewInfo->ClientRect; break;
    }
    return c;
}

void DrawNativeFrame(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, bool drawBackground,
                     TcxEditBackgroundPaintingStyle style, HBRUSH brush)
{
    HTHEME theme = OpenTheme(totEdit);
    if (viewInfo->IsInplace || viewInfo->EditBorderStyle == ebsNone || !theme) {
        if (!viewInfo->Transparent)
            cxEditFillRect(canvas->Handle(), viewInfo->Bounds, brush);
        return;
    }
    const RECT c = NativeContentRect(canvas, viewInfo, theme, style);
    const int saved = SaveDC(canvas->Handle());
    canvas->ExcludeClipRect(c);
    DrawThemeBackground(theme, canvas->Handle(), 1, viewInfo->NativeState, &viewInfo->Bounds, nullptr);
    RestoreDC(canvas->Handle(), saved);
    if (viewInfo->Transparent)
        return;
    if (!drawBackground && style != bpsComboListEdit)
        InternalFillRect(canvas, viewInfo->BorderRect, c, brush);
    else if (drawBackground)
        cxEditFillRect(canvas->Handle(), c, brush);
}

void DrawButtons(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo)
{
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
        TcxEditButtonViewInfo* button = viewInfo->ButtonsInfo[static_cast<size_t>(i)].get();
        if (EmptyRect(button->VisibleBounds))
            continue;
        button->Data.BackgroundColor = viewInfo->BackgroundColor();
        RECT inside{};
        const bool sticksOut = !IntersectRect(&inside, &button->Bounds, &viewInfo->BorderRect) ||
                               !EqualRect(&inside, &button->Bounds);
        const int saved = sticksOut ? SaveDC(canvas->Handle()) : 0;
        if (sticksOut)
            canvas->IntersectClipRect(button->VisibleBounds);
        viewInfo->DrawButton(canvas, i);
        if (sticksOut)
            RestoreDC(canvas->Handle(), saved);
    }
}

} // namespace

void DrawCustomEdit(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, bool drawBackground,
                    TcxEditBackgroundPaintingStyle backgroundPaintingStyle)
{
    HBRUSH brush = GetSolidBrush(viewInfo->BackgroundColor());
    const bool clipButtons =
        viewInfo->ButtonCount() > 0 && !viewInfo->ButtonsInfo[0]->Data.BackgroundPartiallyTransparent;
    const int saved = clipButtons ? SaveDC(canvas->Handle()) : 0;
    if (clipButtons)
        for (const auto& button : viewInfo->ButtonsInfo)
            canvas->ExcludeClipRect(button->VisibleBounds);
    if (viewInfo->NativeStyle) {
        DrawNativeFrame(canvas, viewInfo, drawBackground, backgroundPaintingStyle, brush);
    } else {
        DrawEditFrame(canvas, viewInfo);
        DrawPlainBackground(canvas, viewInfo, drawBackground, brush);
    }
    if (clipButtons)
        RestoreDC(canvas->Handle(), saved);
    DrawButtons(canvas, viewInfo);
}

void DrawEditButton(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex)
{
    TcxEditButtonViewInfo* button = viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)].get();
    TcxEditButtonStyle style = button->Data.Style;
    const TcxEditButtonState state = button->Data.State;
    if (button->Data.NativeState == 0 && style == btsSimple && (state == ebsPressed || state == ebsSelected))
        style = btsFlat;
    RECT r = button->Bounds;
    viewInfo->DrawButtonBorder(canvas, buttonVisibleIndex, style, r);
}

namespace {

struct ButtonColors {
    TColor background;
    TColor foreground;
};

void Shrink(RECT& r) { InflateRect(&r, -1, -1); }

ButtonColors Draw3DBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, RECT& r, TColor face)
{
    if (b->Data.State == ebsPressed) {
        canvas->FrameRect(r, hostlib::clBtnShadow);
        Shrink(r);
        canvas->FrameRect(r, face);
    } else {
        canvas->DrawComplexFrame(r, hostlib::cl3DLight, hostlib::cl3DDkShadow);
        Shrink(r);
        canvas->DrawComplexFrame(r, hostlib::clBtnHighlight, hostlib::clBtnShadow);
    }
    Shrink(r);
    return {face, hostlib::clBtnText};
}

ButtonColors DrawFlatBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, RECT& r, TColor face)
{
    FillRect(canvas, RECT{r.left, r.top, r.left + 1, r.bottom}, face);
    r.left += 1;
    const bool pressed = b->Data.State == ebsPressed;
    canvas->DrawComplexFrame(r, pressed ? hostlib::clBtnShadow : hostlib::clBtnHighlight,
                             pressed ? hostlib::clBtnHighlight : hostlib::clBtnShadow);
    Shrink(r);
    return {face, hostlib::clBtnText};
}

ButtonColors DrawSimpleBorder(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, TcxEditButtonViewInfo* b, RECT& r)
{
    const TColor background = b->Data.BackgroundColor;
    if (!viewInfo->Transparent) {
        canvas->FrameRect(r, background);
        Shrink(r);
    }
    const TColor line = viewInfo->Transparent && !b->Data.Transparent ? hostlib::clBtnFace : background;
    FillRect(canvas, RECT{r.left, r.top, r.left + 1, r.bottom}, line);
    r.left += 1;
    return {b->Data.Transparent ? background : hostlib::clBtnFace, hostlib::clBtnText};
}

ButtonColors DrawHotFlatBorder(TcxCanvas* canvas, TcxEditButtonViewInfo* b, RECT& r)
{
    const TcxEditButtonViewInfoData& d = b->Data;
    const bool inner = (d.LeftAlignment && d.Rightmost) || (!d.LeftAlignment && d.Leftmost);
    TcxBorders sides = cxBordersAll;
    if (!inner)
        sides.Exclude(d.LeftAlignment ? bRight : bLeft);
    canvas->FrameRect(r, hostlib::clBtnShadow, 1, sides);
    r = RECT{r.left + (sides.Contains(bLeft) ? 1 : 0), r.top + 1, r.right - (sides.Contains(bRight) ? 1 : 0),
             r.bottom - 1};
    switch (d.State) {
    case ebsPressed: return {hostlib::clBtnText, hostlib::clWindow};
    case ebsSelected:
        return d.Transparent ? ButtonColors{d.BackgroundColor, hostlib::clBtnShadow}
                             : ButtonColors{hostlib::clBtnShadow, hostlib::clWindow};
    default: return {hostlib::clBtnFace, hostlib::clBtnText};
    }
}

ButtonColors DrawUltraFlatBorder(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, TcxEditButtonViewInfo* b,
                                 RECT& r, bool office)
{
    const TcxEditButtonViewInfoData& d = b->Data;
    const TColor highlight = GetEditBorderHighlightColor(office);
    const bool quiet = d.State == ebsDisabled || d.State == ebsNormal;
    if (quiet || d.IsInplace) {
        if (!viewInfo->Transparent) {
            canvas->FrameRect(r, quiet ? d.BackgroundColor : highlight);
            Shrink(r);
        }
    } else {
        // Separators: on the side facing the text, and outside unless outermost.
        const bool left = d.LeftAlignment;
        const bool outer = left ? !d.Leftmost : !d.Rightmost;
        TcxBorders sides{left ? bRight : bLeft};
        if (outer)
            sides.Include(left ? bLeft : bRight);
        canvas->FrameRect(r, highlight, 1, sides);
        r.left += sides.Contains(bLeft) ? 1 : 0;
        r.right -= sides.Contains(bRight) ? 1 : 0;
    }
    if (d.Transparent)
        return {d.BackgroundColor, hostlib::clBtnText};
    switch (d.State) {
    case ebsPressed:
    case ebsSelected: return {GetEditButtonHighlightColor(d.State == ebsPressed, office), hostlib::clBtnText};
    case ebsNormal: return {office ? dxOffice11DockColor1 : hostlib::clBtnFace, hostlib::clBtnText};
    default: return {hostlib::clBtnFace, hostlib::clBtnText};
    }
}

void DrawThemedButtonBorder(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int index, RECT& r)
{
    TcxEditButtonViewInfo* b = viewInfo->ButtonsInfo[static_cast<size_t>(index)].get();
    HTHEME theme = OpenTheme(ButtonTheme(b));
    DrawThemeBackground(theme, canvas->Handle(), 1, b->Data.NativeState, &r, nullptr);
    if (b->Data.ComboBoxStyle)
        return;
    RECT content = r;
    GetThemeBackgroundContentRect(theme, canvas->Handle(), 1, b->Data.NativeState, &r, &content);
    r = content;
    viewInfo->DrawButtonContent(canvas, index, r, b->Data.BackgroundColor, hostlib::clBtnText);
}

} // namespace

void DrawEditButtonBorder(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                          TcxEditButtonStyle buttonStyle, RECT& rect)
{
    TcxEditButtonViewInfo* b = viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)].get();
    if (b->Data.NativeState != 0) {
        DrawThemedButtonBorder(canvas, viewInfo, buttonVisibleIndex, rect);
        return;
    }
    const TColor face = b->Data.Transparent ? b->Data.BackgroundColor : hostlib::clBtnFace;
    ButtonColors colors{face, hostlib::clBtnText};
    switch (buttonStyle) {
    case bts3D: colors = Draw3DBorder(canvas, b, rect, face); break;
    case btsFlat: colors = DrawFlatBorder(canvas, b, rect, face); break;
    case btsSimple: colors = DrawSimpleBorder(canvas, viewInfo, b, rect); break;
    case btsHotFlat: colors = DrawHotFlatBorder(canvas, b, rect); break;
    case btsUltraFlat:
    case btsOffice11: colors = DrawUltraFlatBorder(canvas, viewInfo, b, rect, buttonStyle == btsOffice11); break;
    default: break;
    }
    viewInfo->DrawButtonContent(canvas, buttonVisibleIndex, rect, colors.background, colors.foreground);
}

namespace {

void DrawEllipsis(TcxCanvas* canvas, const TcxEditButtonViewInfo* b, const RECT& r, TColor color)
{
    const int side = r.right - r.left > 11 ? 2 : 1;
    const int shift = b->Data.State == ebsPressed ? 1 : 0;
    const int x = r.left + (r.right - r.left - (3 * side + 4)) / 2 + shift;
    const int y = r.top + (r.bottom - r.top - side) / 2 + shift;
    auto dots = [&](int dx, TColor c) {
        for (int i = 0; i < 3; ++i)
            FillRect(canvas, RECT{x + dx + i * (side + 2), y + dx, x + dx + i * (side + 2) + side, y + dx + side}, c);
    };
    if (b->Data.State == ebsDisabled) {
        dots(1, hostlib::clBtnHighlight);
        dots(0, hostlib::clBtnShadow);
    } else {
        dots(0, color);
    }
}

TcxLookAndFeelKind KindOfButtonStyle(TcxEditButtonStyle style)
{
    switch (style) {
    case btsFlat: return lfFlat;
    case btsUltraFlat: return lfUltraFlat;
    case btsOffice11: return lfOffice11;
    default: return lfStandard;
    }
}

void DrawDownArrow(TcxCanvas* canvas, const TcxEditButtonViewInfo* b, const RECT& r, TColor color)
{
    const TcxEditButtonViewInfoData& d = b->Data;
    int width = b->Bounds.right - b->Bounds.left;
    if (d.Style == btsHotFlat)
        width -= (d.Leftmost ? 1 : 0) + (d.Rightmost ? 1 : 0);
    const bool pressed = d.State == ebsPressed;
    const int remainder = (r.right - r.left) - width;
    RECT arrow{r.left + (remainder + (pressed ? 1 : 0)) / 2, r.top, 0, r.bottom};
    arrow.right = arrow.left + width;
    if (pressed)
        OffsetRect(&arrow, 1, 1);
    TcxCustomLookAndFeelPainterClass painter = GetPainterClass(false, KindOfButtonStyle(d.Style));
    if (d.State == ebsDisabled) {
        RECT shifted = arrow;
        OffsetRect(&shifted, 1, 1);
        painter->DrawArrow(canvas, shifted, adDown, hostlib::clBtnHighlight);
        painter->DrawArrow(canvas, arrow, adDown, hostlib::clBtnShadow);
    } else {
        painter->DrawArrow(canvas, arrow, adDown, color);
    }
}

void DrawGlyphContent(TcxCanvas* canvas, const TcxEditButtonViewInfo* b, const RECT& r, TColor background)
{
    hostlib::TBitmap* glyph = b->Glyph;
    const bool pressed = b->Data.State == ebsPressed;
    const int x = r.left + (r.right - r.left - glyph->Width() + (pressed ? 1 : 0)) / 2;
    const int y = r.top + (r.bottom - r.top - glyph->Height() + (pressed ? 1 : 0)) / 2;
    const int saved = SaveDC(canvas->Handle());
    canvas->IntersectClipRect(r);
    if (b->Data.NativeState == 0)
        FillRect(canvas, r, background);
    DrawGlyph(canvas, x, y, glyph, b->Data.State != ebsDisabled, b->Data.NativeState == 0 ? background : hostlib::clNone);
    RestoreDC(canvas->Handle(), saved);
}

void DrawTextContent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, const TcxEditButtonViewInfo* b, RECT r,
                     TColor foreground)
{
    const TcxEditButtonViewInfoData& d = b->Data;
    r = RECT{r.left + 1, r.top + (d.IsInplace ? -1 : 1), r.right - 1, r.bottom - 1};
    if (d.State == ebsPressed)
        OffsetRect(&r, 1, 1);
    if (viewInfo->Font)
        canvas->SetFont(viewInfo->Font);
    canvas->Brush()->SetStyle(hostlib::bsClear);
    const int flags = cxtfSingleLine | cxtfHCenter | cxtfVCenter | cxtfShowPrefix | cxtfEndEllipsis;
    auto draw = [&](const RECT& at, TColor color) {
        canvas->Font()->SetColor(color);
        canvas->DrawTexT(d.Caption, at, flags);
    };
    if (d.State == ebsDisabled) {
        RECT shifted = r;
        OffsetRect(&shifted, 1, 1);
        draw(shifted, hostlib::clBtnHighlight);
        draw(r, hostlib::clBtnShadow);
        return;
    }
    if (d.Style == btsHotFlat && (d.State == ebsPressed || d.State == ebsSelected))
        draw(r, foreground);
    else
        draw(r, d.TextColor == hostlib::clDefault ? viewInfo->TextColor : d.TextColor);
}

} // namespace

void DrawEditButtonContent(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, int buttonVisibleIndex,
                           const RECT& contentRect, TColor backgroundColor, TColor foregroundColor)
{
    if (EmptyRect(contentRect))
        return;
    TcxEditButtonViewInfo* b = viewInfo->ButtonsInfo[static_cast<size_t>(buttonVisibleIndex)].get();
    const bool usableGlyph = b->Data.Kind == bkGlyph && VerifyBitmap(b->Glyph);
    if (b->Data.NativeState == 0 && !usableGlyph)
        FillRect(canvas, contentRect, backgroundColor);
    switch (b->Data.Kind) {
    case bkEllipsis: DrawEllipsis(canvas, b, contentRect, foregroundColor); break;
    case bkDown: DrawDownArrow(canvas, b, contentRect, foregroundColor); break;
    case bkGlyph:
        if (usableGlyph)
            DrawGlyphContent(canvas, b, contentRect, backgroundColor);
        break;
    case bkText: DrawTextContent(canvas, viewInfo, b, contentRect, foregroundColor); break;
    }
}

TcxRegion* GetEditButtonRegion(TcxCanvas* canvas, TcxEditButtonViewInfo* viewInfo)
{
    auto* region = new TcxRegion(viewInfo->Bounds);
    if (viewInfo->Data.NativeState == 0)
        return region;
    HRGN themeRegion = nullptr;
    HTHEME theme = OpenTheme(ButtonTheme(viewInfo));
    if (GetThemeBackgroundRegion(theme, canvas->Handle(), viewInfo->Data.NativePart, viewInfo->Data.NativeState,
                                 &viewInfo->Bounds, &themeRegion) == 0 &&
        themeRegion)
        region->Combine(new TcxRegion(themeRegion), roIntersect);
    return region;
}
