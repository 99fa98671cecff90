#include "components/foundation/dxOffice11.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/dxThemeManager.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/system/muldiv.h"
#include "platform/windows/winuser.h"

namespace quelvo_resources {
void Register_foundation();
}

using namespace hostlib;

namespace {

// Rows: schNormalColor, schHomestead, schMetallic; columns as the targets
// below.
constexpr COLORREF kSchemeColors[3][37] = {
    {RGB(221, 236, 254), RGB(129, 169, 226), RGB(158, 190, 245), RGB(195, 218, 249), RGB(0, 53, 145), RGB(117, 166, 241), RGB(255, 193, 118), RGB(255, 248, 211), RGB(255, 221, 152), RGB(254, 149, 82), RGB(59, 97, 156), RGB(123, 164, 224), RGB(39, 65, 118), RGB(255, 255, 255), RGB(106, 140, 203), RGB(241, 249, 255), RGB(42, 102, 201), RGB(196, 219, 249), RGB(0, 45, 150), RGB(246, 246, 246), RGB(255, 238, 194), RGB(0, 0, 128), RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 211, 142), RGB(254, 145, 78), RGB(203, 225, 252), RGB(255, 192, 111), RGB(254, 128, 62), RGB(169, 199, 240), RGB(0, 0, 0), RGB(141, 141, 141), RGB(190, 218, 251), RGB(251, 230, 148), RGB(196, 218, 250), RGB(0, 45, 150), RGB(55, 104, 185)},
    {RGB(244, 247, 222), RGB(183, 198, 145), RGB(217, 217, 167), RGB(242, 240, 228), RGB(96, 119, 107), RGB(176, 194, 140), RGB(255, 193, 118), RGB(255, 248, 211), RGB(255, 221, 152), RGB(254, 149, 82), RGB(96, 128, 88), RGB(181, 196, 143), RGB(81, 94, 51), RGB(255, 255, 255), RGB(96, 128, 88), RGB(244, 247, 222), RGB(116, 134, 94), RGB(225, 222, 173), RGB(117, 141, 94), RGB(244, 244, 238), RGB(255, 238, 194), RGB(63, 93, 56), RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 211, 142), RGB(254, 145, 78), RGB(216, 227, 182), RGB(255, 192, 111), RGB(254, 128, 62), RGB(197, 212, 159), RGB(0, 0, 0), RGB(141, 141, 141), RGB(175, 186, 145), RGB(251, 230, 148), RGB(242, 241, 228), RGB(96, 128, 88), RGB(115, 137, 84)},
    {RGB(243, 244, 250), RGB(153, 151, 181), RGB(215, 215, 229), RGB(243, 243, 247), RGB(118, 116, 146), RGB(179, 178, 200), RGB(255, 193, 118), RGB(255, 248, 211), RGB(255, 221, 152), RGB(254, 149, 82), RGB(124, 124, 148), RGB(147, 145, 176), RGB(84, 84, 117), RGB(255, 255, 255), RGB(110, 109, 143), RGB(255, 255, 255), RGB(122, 121, 153), RGB(219, 218, 228), RGB(124, 124, 148), RGB(253, 250, 255), RGB(255, 238, 194), RGB(75, 75, 111), RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 211, 142), RGB(254, 145, 78), RGB(214, 211, 231), RGB(255, 192, 111), RGB(254, 128, 62), RGB(192, 192, 211), RGB(0, 0, 0), RGB(141, 141, 141), RGB(229, 229, 235), RGB(251, 230, 148), RGB(243, 243, 247), RGB(124, 124, 148), RGB(112, 111, 145)},
};


TColor* const kSchemeTargets[37] = {
    &dxOffice11ToolbarsColor1,       &dxOffice11ToolbarsColor2,      &dxOffice11DockColor1,
    &dxOffice11DockColor2,           &dxOffice11BarMarkColors2[0],   &dxOffice11BarMarkColors1[0],
    &dxOffice11BarMarkColors2[1],    &dxOffice11BarMarkColors1[1],   &dxOffice11BarMarkColors2[2],
    &dxOffice11BarMarkColors1[2],    &dxOffice11BarBorderColors[0],  &dxOffice11BarBorderColors[1],
    &dxOffice11BarFingerColor1,      &dxOffice11BarFingerColor2,     &dxOffice11BarSeparatorColor1,
    &dxOffice11BarSeparatorColor2,   &dxOffice11BarFloatingBorderColor1, &dxOffice11BarFloatingBorderColor2,
    &dxOffice11DropDownBorderColor1, &dxOffice11MenuColor,           &dxOffice11ToolbarSelectedColor,
    &dxOffice11SelectedBorderColor,  &dxOffice11SelectedColor1,      &dxOffice11SelectedColor2,
    &dxOffice11SelectedDownColor1,   &dxOffice11SelectedDownColor2,  &dxOffice11OwnerControlDownedColor,
    &dxOffice11DownedColor,          &dxOffice11DownedSelectedColor, &dxOffice11DetachableColor,
    &dxOffice11TextEnabledColor,     &dxOffice11TextDisabledColor,   &dxOffice11GroupColor,
    &dxOffice11DayNavigatorSelectedColor, &dxOffice11OutlookControlColor, &dxOffice11OutlookBorderColor,
    &dxOffice11GroupRowTextColor,
};
constexpr int kTubeFactors[3] = {41, 125, 40};

struct Palette {
    TOffice11Scheme scheme = schUnknown;
    bool xpStandard = false;
    int tubeFactor = 75;
    int count = 0;
    std::vector<HBRUSH> ownedBrushes;
};

Palette& P()
{
    static Palette palette;
    return palette;
}

TColor Rgb(TColor color) { return static_cast<TColor>(ColorToRGB(color)); }

TColor Nearest(TColor color)
{
    HDC dc = GetDC(nullptr);
    const COLORREF result = GetNearestColor(dc, ColorToRGB(color));
    ReleaseDC(nullptr, dc);
    return static_cast<TColor>(result);
}

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TOffice11Scheme DetectScheme()
{
    if (!AreVisualStylesAvailable()) return schUnknown;
    char file[1024] = "";
    char color[1024] = "";
    if (dxUxTheme::GetCurrentThemeName(file, sizeof(file), color, sizeof(color), nullptr, 0) != 0) return schUnknown;
    std::string name = file;
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    if (Upper(name) != "LUNA.MSSTYLES") return schUnknown;
    const std::string variant = Upper(color);
    if (variant == "NORMALCOLOR") return schNormalColor;
    if (variant == "HOMESTEAD") return schHomestead;
    if (variant == "METALLIC") return schMetallic;
    return schUnknown;
}

void SchemeColors(TOffice11Scheme scheme)
{
    const int row = scheme - schNormalColor;
    for (int i = 0; i < 37; ++i) *kSchemeTargets[i] = static_cast<TColor>(kSchemeColors[row][i]);
    for (int i = 0; i < 3; ++i)
        dxOffice11BarBorderMarkColors[i] = GetMiddleRGB(dxOffice11BarMarkColors1[i], dxOffice11ToolbarsColor1, 90);
    dxOffice11BarMarkArrowColor1 = clBlack;
    dxOffice11BarMarkArrowColor2 = clWhite;
    dxOffice11BarFloatingCaptionTextColor1 = clWhite;
    dxOffice11BarFloatingCaptionTextColor2 = clBlack;
    dxOffice11BarFloatingCaptionTextColor3 = clBlack;
    dxOffice11GroupIndentColor = static_cast<TColor>(RGB(253, 238, 201));
    dxOffice11GroupRowSeparatorColor = dxOffice11BarBorderColors[1];
    P().tubeFactor = kTubeFactors[row];
}

void SystemColors()
{
    dxOffice11DockColor1 = Rgb(clBtnFace);
    dxOffice11DockColor2 = GetMiddleRGB(clBtnFace, clWindow, 20);
    dxOffice11ToolbarsColor1 = GetMiddleRGB(clBtnFace, clWindow, 22);
    dxOffice11ToolbarsColor2 = GetMiddleRGB(clBtnFace, clWindow, 96);
    dxOffice11BarMarkColors2[0] = Rgb(clBtnShadow);
    dxOffice11BarMarkColors1[0] = GetMiddleRGB(clBtnShadow, clWindow, 74);
    dxOffice11BarMarkColors1[1] = dxOffice11BarMarkColors2[1] = Nearest(GetLightColor(-15, 29, 86));
    dxOffice11BarMarkColors1[2] = dxOffice11BarMarkColors2[2] = Nearest(GetLightColor(42, 11, 47));
    dxOffice11BarBorderColors[0] = GetMiddleRGB(clBtnFace, clWindow, 85);
    dxOffice11BarBorderColors[1] = Rgb(clBtnFace);
    for (int i = 0; i < 3; ++i) dxOffice11BarBorderMarkColors[i] = GetMiddleRGB(dxOffice11BarMarkColors2[i], clWindow, 50);
    dxOffice11BarFingerColor1 = GetMiddleRGB(clBtnShadow, clWindow, 76);
    dxOffice11BarFingerColor2 = Rgb(clWindow);
    dxOffice11BarSeparatorColor1 = GetMiddleRGB(clBtnShadow, clWindow, 70);
    dxOffice11BarSeparatorColor2 = clWhite;
    dxOffice11BarMarkArrowColor1 = Rgb(clBtnText);
    dxOffice11BarMarkArrowColor2 = Rgb(clWindow);
    dxOffice11BarFloatingBorderColor1 = Rgb(clBtnShadow);
    dxOffice11BarFloatingBorderColor2 = dxOffice11ToolbarsColor2;
    dxOffice11BarFloatingCaptionTextColor1 = Rgb(clBtnHighlight);
    dxOffice11BarFloatingCaptionTextColor2 = dxOffice11BarFloatingCaptionTextColor3 = Rgb(clBtnText);
    dxOffice11DropDownBorderColor1 = Rgb(clBtnShadow);
    dxOffice11MenuColor = Rgb(clWindow);
    dxOffice11ToolbarSelectedColor = Nearest(GetLightColor(-2, 30, 72));
    dxOffice11SelectedBorderColor = Rgb(clHighlight);
    dxOffice11SelectedColor1 = dxOffice11SelectedColor2 = dxOffice11ToolbarSelectedColor;
    dxOffice11OwnerControlDownedColor = dxOffice11ToolbarsColor2;
    dxOffice11DownedColor = GetLightColor(41, 11, 48);
    dxOffice11DownedSelectedColor = dxOffice11SelectedDownColor1 = dxOffice11SelectedDownColor2 =
        Nearest(GetLightColor(14, 44, 40));
    dxOffice11DetachableColor = dxOffice11OwnerControlDownedColor;
    dxOffice11TextEnabledColor = Rgb(clBtnText);
    dxOffice11TextDisabledColor = Rgb(clGrayText);
    dxOffice11GroupColor = dxOffice11GroupIndentColor = Rgb(clBtnFace);
    dxOffice11DayNavigatorSelectedColor = dxOffice11DownedColor;
    dxOffice11OutlookControlColor = dxOffice11DockColor1;
    dxOffice11OutlookBorderColor = dxOffice11DropDownBorderColor1;
    dxOffice11GroupRowTextColor = dxOffice11GroupRowSeparatorColor = Rgb(clBtnShadow);
    P().tubeFactor = 75;
}

void DerivedColors()
{
    for (int i = 0; i < 3; ++i)
        dxOffice11BarBorderMarkColors[3 + i] = GetMiddleRGB(dxOffice11BarMarkColors2[i], dxOffice11BarBorderColors[1], 50);
    dxOffice11BarFloatingBorderColor3 = dxOffice11ToolbarsColor1;
    dxOffice11BarFloatingCaptionColor = dxOffice11BarFloatingBorderColor1;
    dxOffice11DropDownBorderColor2 = dxOffice11MenuColor;
    dxOffice11MenuDownedColor1 = dxOffice11MenuIndentColor1 = dxOffice11ToolbarsColor1;
    dxOffice11MenuDownedColor2 = dxOffice11MenuIndentColor2 = dxOffice11ToolbarsColor2;
    dxOffice11MenuNonRecentIndentColor1 = GetMiddleRGB(dxOffice11MenuIndentColor1, clBlack, 92);
    dxOffice11MenuNonRecentIndentColor2 = GetMiddleRGB(dxOffice11MenuIndentColor2, clBlack, 92);
    dxOffice11DetachableSelectedColor = dxOffice11ToolbarSelectedColor;
    dxOffice11StaticBorderColor = dxOffice11ControlBorderColor = dxOffice11DropDownBorderColor1;
    dxOffice11DateHeaderColor = dxOffice11DockColor1;
    dxOffice11InPlaceSubItemColor = dxOffice11BarBorderMarkColors[3];
    dxOffice11InPlaceSubItemTextColor = dxOffice11BarFloatingCaptionTextColor1;
    dxOffice11ExpandButtonColor1 = static_cast<TColor>(RGB(158, 174, 191));
    dxOffice11ExpandButtonColor2 = static_cast<TColor>(RGB(46, 70, 95));
}

void ComputeColors()
{
    auto& p = P();
    p.scheme = DetectScheme();
    p.xpStandard = AreVisualStylesAvailable() && p.scheme != schUnknown;
    if (p.scheme != schUnknown) SchemeColors(p.scheme);
    else SystemColors();
    DerivedColors();
}

HBRUSH OwnedBrush(TColor color)
{
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    P().ownedBrushes.push_back(brush);
    return brush;
}

// The submenu arrow takes the toolbar colours: each coloured pixel a blend
// by where its red stands between the smallest and largest red.
void RecolorSubMenuBitmap(TBitmap* bitmap)
{
    bitmap->SetPixelFormat(pf24bit);
    TCanvas* canvas = bitmap->Canvas();
    const TColor background = canvas->Pixel(0, 0);
    auto coloured = [&](TColor c) { return c != background && c != clBlack; };
    int smallest = 255, largest = 1;
    for (int y = 0; y < bitmap->Height(); ++y)
        for (int x = 0; x < bitmap->Width(); ++x) {
            const TColor c = canvas->Pixel(x, y);
            if (!coloured(c)) continue;
            smallest = std::min(smallest, static_cast<int>(GetRValue(c)));
            largest = std::max(largest, static_cast<int>(GetRValue(c)));
        }
    const TColor c1 = dxOffice11ToolbarsColor1;
    TColor c2 = dxOffice11ToolbarsColor2;
    if (c1 == c2) c2 = c1 == clBlack ? clWhite : clBlack;
    for (int y = 0; y < bitmap->Height(); ++y)
        for (int x = 0; x < bitmap->Width(); ++x) {
            const TColor c = canvas->Pixel(x, y);
            if (!coloured(c)) continue;
            // All reds alike: no spread to divide by, the second colour.
            const int percent = largest > smallest ? MulDiv(GetRValue(c) - smallest, 100, largest - smallest) : 0;
            canvas->SetPixel(x, y, GetMiddleRGB(c1, c2, percent));
        }
}

TBitmap* LoadBitmap(const char* name)
{
    auto* bitmap = CreateObject<TBitmap>();
    bitmap->LoadFromResourceName(name);
    return bitmap;
}

void CreateBrushesAndBitmaps()
{
    dxOffice11BarFingerBrush1 = OwnedBrush(dxOffice11BarFingerColor1);
    dxOffice11BarFingerBrush2 = OwnedBrush(dxOffice11BarFingerColor2);
    dxOffice11BarSeparatorBrush1 = OwnedBrush(dxOffice11BarSeparatorColor1);
    dxOffice11BarSeparatorBrush2 = OwnedBrush(dxOffice11BarSeparatorColor2);
    dxOffice11DropDownBorderBrush1 = OwnedBrush(dxOffice11DropDownBorderColor1);
    dxOffice11MenuBrush = OwnedBrush(dxOffice11MenuColor);
    dxOffice11SelectedBorderBrush = OwnedBrush(dxOffice11SelectedBorderColor);
    dxOffice11OwnerControlDownedBrush = OwnedBrush(dxOffice11OwnerControlDownedColor);
    dxOffice11DownedBrush = OwnedBrush(dxOffice11DownedColor);
    dxOffice11DownedSelectedBrush = OwnedBrush(dxOffice11DownedSelectedColor);
    dxOffice11DetachableBrush = OwnedBrush(dxOffice11DetachableColor);
    dxOffice11ToolbarSelectedBrush = OwnedBrush(dxOffice11ToolbarSelectedColor);
    dxOffice11InPlaceSubItemBrush = OwnedBrush(dxOffice11InPlaceSubItemColor);
    dxOffice11DropDownBorderBrush2 = dxOffice11MenuBrush;
    dxOffice11DetachableSelectedBrush = dxOffice11ToolbarSelectedBrush;
    dxOffice11StaticBorderBrush = dxOffice11DropDownBorderBrush1;

    quelvo_resources::Register_foundation();
    dxOffice11SubMenuExpandBitmap = LoadBitmap("DXSUBMENUEXPAND");
    RecolorSubMenuBitmap(dxOffice11SubMenuExpandBitmap);
    dxOffice11ExpandButtonBitmap1 = LoadBitmap("DXEXPANDBUTTON_MINUS");
    dxOffice11ExpandButtonBitmap2 = LoadBitmap("DXEXPANDBUTTON_PLUS");
}

void DestroyBrushesAndBitmaps()
{
    for (HBRUSH brush : P().ownedBrushes) DeleteObject(brush);
    P().ownedBrushes.clear();
    for (HBRUSH* brush : {&dxOffice11BarFingerBrush1, &dxOffice11BarFingerBrush2, &dxOffice11BarSeparatorBrush1,
                          &dxOffice11BarSeparatorBrush2, &dxOffice11MenuBrush, &dxOffice11SelectedBorderBrush,
                          &dxOffice11ToolbarSelectedBrush, &dxOffice11OwnerControlDownedBrush, &dxOffice11DownedBrush,
                          &dxOffice11DownedSelectedBrush, &dxOffice11DropDownBorderBrush1,
                          &dxOffice11DropDownBorderBrush2, &dxOffice11DetachableBrush,
                          &dxOffice11DetachableSelectedBrush, &dxOffice11StaticBorderBrush,
                          &dxOffice11InPlaceSubItemBrush})
        *brush = nullptr;
    FreeAndNil(dxOffice11SubMenuExpandBitmap);
    FreeAndNil(dxOffice11ExpandButtonBitmap1);
    FreeAndNil(dxOffice11ExpandButtonBitmap2);
}

int Component(COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

COLORREF Compose(const std::function<int(int shift)>& component)
{
    COLORREF result = 0;
    for (int shift : {0, 8, 16}) result |= static_cast<COLORREF>(std::clamp(component(shift), 0, 255)) << shift;
    return result;
}

// Fills a band [from, to) along the run of r.
void FillBand(HDC dc, const RECT& r, bool horizontal, int from, int to, COLORREF color)
{
    const RECT band = horizontal ? RECT{from, r.top, to, r.bottom} : RECT{r.left, from, r.right, to};
    FillRectByColor(dc, band, static_cast<TColor>(color));
}

struct Run {
    int start = 0;
    int length = 0;
    int bands = 0;
};

Run RunOf(const RECT& r, bool horizontal)
{
    Run run;
    run.start = horizontal ? r.left : r.top;
    run.length = horizontal ? r.right - r.left : r.bottom - r.top;
    run.bands = std::min(run.length, 256);
    return run;
}

COLORREF BandColor(COLORREF c1, COLORREF c2, int band, int bands)
{
    if (bands <= 1) return c1;
    return Compose([&](int s) { return Component(c1, s) + MulDiv(band, Component(c2, s) - Component(c1, s), bands - 1); });
}

int BandEnd(const Run& run, int band) { return MulDiv(band + 1, run.length, run.bands); }

}  // namespace

TOffice11Scheme GetOffice11Scheme() { return P().scheme; }
bool IsXPStandardScheme() { return P().xpStandard; }

void CreateOffice11Colors()
{
    if (P().count++ > 0) return;
    ComputeColors();
    CreateBrushesAndBitmaps();
}

void ReleaseOffice11Colors()
{
    if (P().count == 0 || --P().count > 0) return;
    DestroyBrushesAndBitmaps();
}

void RefreshOffice11Colors()
{
    ComputeColors();
    if (P().count == 0) return;
    DestroyBrushesAndBitmaps();
    CreateBrushesAndBitmaps();
}

namespace {

// Painters ask for the same few mixtures on every paint; the screen's
// nearest colour of a mixture does not change while the program runs.
struct MiddleEntry {
    COLORREF c1 = CLR_INVALID, c2 = CLR_INVALID;
    int percent = -1;
    TColor result = 0;
};

MiddleEntry& MiddleSlot(COLORREF c1, COLORREF c2, int percent)
{
    thread_local std::array<MiddleEntry, 32> entries;
    const std::size_t hash = (c1 * 31u) ^ (c2 * 17u) ^ static_cast<unsigned>(percent);
    return entries[hash % entries.size()];
}

}  // namespace

TColor GetMiddleRGB(TColor color1, TColor color2, int percent)
{
    const COLORREF c1 = ColorToRGB(color1);
    const COLORREF c2 = ColorToRGB(color2);
    MiddleEntry& slot = MiddleSlot(c1, c2, percent);
    if (slot.c1 == c1 && slot.c2 == c2 && slot.percent == percent) return slot.result;
    const TColor result = Nearest(static_cast<TColor>(Compose([&](int s) {
        return MulDiv(Component(c1, s), percent, 100) + MulDiv(Component(c2, s), 100 - percent, 100);
    })));
    slot = MiddleEntry{c1, c2, percent, result};
    return result;
}

TColor GetLightColor(int btnFaceColorPart, int highlightColorPart, int windowColorPart)
{
    return ::GetLightColor(static_cast<TcxColorPart>(btnFaceColorPart), static_cast<TcxColorPart>(highlightColorPart),
                           static_cast<TcxColorPart>(windowColorPart));
}

bool IsHighContrastBlack() { return GetSysColor(COLOR_BTNFACE) == 0; }
bool IsHighContrastWhite() { return GetSysColor(COLOR_BTNFACE) == 0xFFFFFF; }
bool IsHighContrast2() { return GetSysColor(COLOR_BTNFACE) == 0 && GetSysColor(COLOR_BTNTEXT) != 0xFFFFFF; }

namespace {

// The device context's own brush in a colour, for solid fills without a
// brush of their own; its colour is put back when this goes.
class DCBrush {
public:
    explicit DCBrush(HDC dc) : dc_(dc) {}
    DCBrush(const DCBrush&) = delete;
    DCBrush& operator=(const DCBrush&) = delete;
    ~DCBrush()
    {
        if (saved_ != CLR_INVALID) SetDCBrushColor(dc_, saved_);
    }
    HBRUSH In(COLORREF color)
    {
        const COLORREF before = SetDCBrushColor(dc_, color);
        if (saved_ == CLR_INVALID) saved_ = before;
        return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    }

private:
    HDC dc_;
    COLORREF saved_ = CLR_INVALID;
};

}  // namespace

void FillRectByColor(HDC dc, const RECT& r, TColor color)
{
    DCBrush brush(dc);
    FillRect(dc, &r, brush.In(ColorToRGB(color)));
}

void FrameRectByColor(HDC dc, const RECT& r, TColor color)
{
    DCBrush brush(dc);
    FrameRect(dc, &r, brush.In(ColorToRGB(color)));
}

namespace {

// Equal colours fill solid; true when done so.
bool FilledSolid(HDC dc, const RECT& r, COLORREF c1, COLORREF c2)
{
    if (c1 != c2) return false;
    FillRectByColor(dc, r, static_cast<TColor>(c1));
    return true;
}

}  // namespace

void FillGradientRect(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal)
{
    const COLORREF c1 = ColorToRGB(color1);
    const COLORREF c2 = ColorToRGB(color2);
    if (FilledSolid(dc, r, c1, c2)) return;
    const Run run = RunOf(r, horizontal);
    if (run.length <= 0) return;
    int from = run.start;
    for (int band = 0; band < run.bands; ++band) {
        const int to = run.start + BandEnd(run, band);
        if (to > from) FillBand(dc, r, horizontal, from, to, BandColor(c1, c2, band, run.bands));
        from = to;
        if (to >= run.start + run.length) break;
    }
}

TColor GetGradientColorRect(const RECT& r, int position, TColor color1, TColor color2, bool horizontal)
{
    const COLORREF c1 = ColorToRGB(color1);
    const COLORREF c2 = ColorToRGB(color2);
    const Run run = RunOf(r, horizontal);
    if (run.length <= 0) return static_cast<TColor>(c1);
    const int offset = position - run.start;
    // The band FillGradientRect draws there: the estimate, corrected to
    // the band's own rounded bounds.
    int band = std::clamp(MulDiv(offset + 1, run.bands, run.length) - 1, 0, run.bands - 1);
    while (band + 1 < run.bands && BandEnd(run, band) <= offset) ++band;
    while (band > 0 && BandEnd(run, band - 1) > offset) --band;
    return static_cast<TColor>(BandColor(c1, c2, band, run.bands));
}

void FillTubeGradientRect(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal)
{
    const COLORREF c1 = ColorToRGB(color1);
    const COLORREF c2 = ColorToRGB(color2);
    if (FilledSolid(dc, r, c1, c2)) return;
    const Run run = RunOf(r, horizontal);
    const int half = run.length / 2;
    const int k = P().tubeFactor;
    auto middle = [&](int s) { return Component(c1, s) - MulDiv(Component(c1, s) - Component(c2, s), k, 200); };
    for (int i = 0; i < run.length; ++i) {
        COLORREF color;
        if (i == half) {
            color = Compose(middle);
        } else if (i < half) {
            color = Compose([&](int s) {
                const int e = Component(c1, s) - MulDiv(Component(c1, s) - middle(s), run.length, half);
                return Component(c1, s) + MulDiv(i, e - Component(c1, s), run.length - 1);
            });
        } else {
            color = Compose([&](int s) {
                const int start = Component(c2, s) + MulDiv(middle(s) - Component(c2, s), run.length, half);
                return start + MulDiv(i, Component(c2, s) - start, run.length - 1);
            });
        }
        FillBand(dc, r, horizontal, run.start + i, run.start + i + 1, color);
    }
}

void Office11FrameSelectedRect(HDC dc, const RECT& r)
{
    if (IsHighContrastBlack() || IsHighContrast2()) FrameRectByColor(dc, r, clHighlightText);
    else FrameRect(dc, &r, dxOffice11SelectedBorderBrush);
}

void Office11DrawFingerElements(HDC dc, const RECT& r, bool downward)
{
    const int length = downward ? r.bottom - r.top : r.right - r.left;
    const int rest = length % 4;
    const int shift = rest < 2 ? rest : rest / 2;
    POINT cell{r.left + (downward ? 0 : shift), r.top + (downward ? shift : 0)};
    while ((downward ? cell.y : cell.x) + 4 <= (downward ? r.bottom : r.right)) {
        const RECT light{cell.x + 1, cell.y + 1, cell.x + 3, cell.y + 3};
        const RECT dark{cell.x, cell.y, cell.x + 2, cell.y + 2};
        FillRect(dc, &light, dxOffice11BarFingerBrush2);
        FillRect(dc, &dark, dxOffice11BarFingerBrush1);
        (downward ? cell.y : cell.x) += 4;
    }
}

void Office11DrawSizeGrip(HDC dc, const RECT& r)
{
    for (int row = 0; row < 3; ++row)
        Office11DrawFingerElements(dc, RECT{r.right - 12 + 4 * row, r.bottom - 3 - 4 * row, r.right, r.bottom - 4 * row},
                                   false);
}

void Office11DrawLargeItemArrow(HDC dc, const RECT& r, bool down, int size, bool selected, bool enabled, bool last)
{
    (void)last;
    const TColor color = !enabled ? dxOffice11TextDisabledColor
                       : selected && IsHighContrastWhite() ? clWhite
                                                           : dxOffice11TextEnabledColor;
    POINT points[3];
    if (down) {
        const int x = (r.left + r.right - (2 * size - 1)) / 2;
        const int y = (r.top + r.bottom - size) / 2;
        points[0] = {x, y};
        points[1] = {x + 2 * size - 2, y};
        points[2] = {x + size - 1, y + size - 1};
    } else {
        const int x = (r.left + r.right - size) / 2;
        const int y = (r.top + r.bottom - (2 * size - 1)) / 2;
        points[0] = {x, y};
        points[1] = {x, y + 2 * size - 2};
        points[2] = {x + size - 1, y + size - 1};
    }
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(color));
    HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    Polygon(dc, points, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void Office11DrawItemArrow(HDC dc, const RECT& r, bool down, bool enabled, bool selected, bool last)
{
    const int f = down ? (r.right - r.left) - 8 : (r.bottom - r.top) - 6;
    const int size = std::max(f % 2 != 0 ? (f + 1) / 2 : f / 2 - 1, 3);
    Office11DrawLargeItemArrow(dc, r, down, size, selected, enabled, last);
}
