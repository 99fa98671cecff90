#include "components/editor-catalogue/cxProgressBar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "components/editor-catalogue/cxExtEditUtils.h"
#include "components/data/cxVariants.h"
#include "components/editors/cxEditUtils.h"
#include "components/foundation/cxContainer.h"
#include "components/foundation/dxThemeManager.h"
#include "components/foundation/dxUxTheme.h"
#include "platform/graphics/uxtheme.h"
#include "platform/graphics/winuserdraw.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/format_settings.h"
#include "platform/system/scope_guard.h"

using namespace hostlib;
using quelvo::sys::ScopeGuard;

const TEnumInfo& EnumTypeInfo(TcxProgressBarBarStyle*)
{
    static const TEnumInfo info{"TcxProgressBarBarStyle",
                                {"cxbsSolid", "cxbsLEDs", "cxbsGradient", "cxbsGradientLEDs", "cxbsBitmap",
                                 "cxbsBitmapLEDs"},
                                0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxProgressBarBevelOuter*)
{
    static const TEnumInfo info{"TcxProgressBarBevelOuter", {"cxbvNone", "cxbvLowered", "cxbvRaised"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxProgressBarOrientation*)
{
    static const TEnumInfo info{"TcxProgressBarOrientation", {"cxorHorizontal", "cxorVertical"}, 0};
    return info;
}

const TEnumInfo& EnumTypeInfo(TcxProgressBarTextStyle*)
{
    static const TEnumInfo info{"TcxProgressBarTextStyle", {"cxtsPercent", "cxtsPosition"}, 0};
    return info;
}

namespace {

// A decimal text read whole: leading blanks, point separator, exponent.
bool ReadDecimalText(const std::string& text, double& value)
{
    TFormatSettings point = EnglishFormatSettings();
    point.DecimalSeparator = '.';
    point.ThousandSeparator = '\0';
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    if (start == text.size() || text.back() == ' ') return false;
    return TryStrToFloat(std::string_view(text).substr(start), value, point);
}

bool IsNumericOrDate(const Variant& value) { return VarIsNumericEx(value) || VarType(value) == varDate; }

}  // namespace

// ---- TcxCustomProgressBarProperties -------------------------------------------------

TClass TcxCustomProgressBarProperties::StaticClass()
{
    return DefineClass<TcxCustomProgressBarProperties, TcxCustomEditProperties>("TcxCustomProgressBarProperties");
}

void TcxCustomProgressBarProperties::Construct(TPersistent* owner) { TcxCustomEditProperties::Construct(owner); }

void TcxCustomProgressBarProperties::Destroy()
{
    foregroundImage_.reset();
    TcxCustomEditProperties::Destroy();
}

TClass TcxCustomProgressBarProperties::GetViewDataClass() { return TcxCustomProgressBarViewData::StaticClass(); }
TClass TcxCustomProgressBarProperties::GetContainerClass() { return TcxProgressBar::StaticClass(); }
TClass TcxCustomProgressBarProperties::GetViewInfoClass() { return TcxCustomProgressBarViewInfo::StaticClass(); }

TcxEditSupportedOperations TcxCustomProgressBarProperties::GetSupportedOperations()
{
    return TcxEditSupportedOperations{esoAlwaysHotTrack, esoFiltering, esoSorting};
}

void TcxCustomProgressBarProperties::SetMin(double value)
{
    if (value == min_) return;
    min_ = value;
    PostMinValue();
    Changed();
}

void TcxCustomProgressBarProperties::SetMax(double value)
{
    if (value == max_ || value <= min_) return;
    max_ = value;
    PostMaxValue();
    Changed();
}

void TcxCustomProgressBarProperties::SetOverloadValue(double value)
{
    if (value == overloadValue_) return;
    overloadValue_ = value;
    PostOverloadValue();
    Changed();
}

void TcxCustomProgressBarProperties::SetTransparent(bool value)
{
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
    if (OnChangeTransparent) OnChangeTransparent(this);
}

void TcxCustomProgressBarProperties::PostMinValue()
{
    if (min_ > max_) max_ = min_;
    if (overloadValue_ < min_) overloadValue_ = min_;
    if (peakValue_ < min_) peakValue_ = min_;
}

void TcxCustomProgressBarProperties::PostMaxValue()
{
    if (min_ > max_) min_ = max_;
    if (overloadValue_ > max_) overloadValue_ = max_;
    if (peakValue_ > max_) peakValue_ = max_;
}

void TcxCustomProgressBarProperties::PostOverloadValue()
{
    if (overloadValue_ < min_) overloadValue_ = min_;
    if (overloadValue_ > max_) overloadValue_ = max_;
}

double TcxCustomProgressBarProperties::CalculatePeakValue(double position) const
{
    double peak = std::max(std::min(peakValue_, max_), min_);
    return std::max(peak, position);
}

double TcxCustomProgressBarProperties::GetRealPeakValue(double position)
{
    const double peak = CalculatePeakValue(position);
    if (peak > peakValue_) peakValue_ = peak;
    return peak;
}

TBitmap* TcxCustomProgressBarProperties::ForegroundImage() const
{
    if (!foregroundImage_) {
        foregroundImage_.reset(CreateObject<TBitmap>());
        auto* self = const_cast<TcxCustomProgressBarProperties*>(this);
        foregroundImage_->OnChange = TNotifyEvent::Bind(self, &TcxCustomProgressBarProperties::ForegroundImageChanged);
    }
    return foregroundImage_.get();
}

void TcxCustomProgressBarProperties::SetForegroundImage(TBitmap* value)
{
    if (value) ForegroundImage()->Assign(value);
    else foregroundImage_.reset();
    Changed();
}

void TcxCustomProgressBarProperties::ForegroundImageChanged(TObject*) { Changed(); }

void TcxCustomProgressBarProperties::PrepareDisplayValue(const Variant& editValue, Variant& displayValue, bool)
{
    displayValue = Variant(0);
    double number = 0;
    if (VarIsStr(editValue)) {
        if (ReadDecimalText(editValue.AsString(), number)) displayValue = Variant(number);
    } else if (IsNumericOrDate(editValue)) {
        displayValue = editValue;
    }
}

std::string TcxCustomProgressBarProperties::GetDisplayText(const Variant& editValue, bool)
{
    Variant display;
    PrepareDisplayValue(editValue, display, false);
    const std::string text = VarIsFloat(display) || VarType(display) == varDate ? FloatToStr(display.AsDouble())
                                                                                  : display.AsString();
    return showTextStyle_ == cxtsPercent ? text + " %" : text;
}

void TcxCustomProgressBarProperties::CorrectPositionWithMaxMin(TcxCustomProgressBarViewInfo* viewInfo)
{
    if (min_ < max_) viewInfo->Position = std::clamp(viewInfo->Position, min_, max_);
}

void TcxCustomProgressBarProperties::Assign(TPersistent* source)
{
    auto* other = As<TcxCustomProgressBarProperties>(source);
    if (!other) {
        TcxCustomEditProperties::Assign(source);
        return;
    }
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    TcxCustomEditProperties::Assign(source);
    AssignValues(other);
}

void TcxCustomProgressBarProperties::AssignValues(TcxCustomProgressBarProperties* s)
{
    SetBeginColor(s->beginColor_);
    SetBarBevelOuter(s->barBevelOuter_);
    SetEndColor(s->endColor_);
    SetForegroundImage(s->ForegroundImage());
    SetMin(s->min_);
    SetMax(s->max_);
    SetOrientation(s->orientation_);
    SetShowText(s->showText_);
    SetShowTextStyle(s->showTextStyle_);
    SetTextOrientation(s->textOrientation_);
    SetSolidTextColor(s->solidTextColor_);
    SetBarStyle(s->barStyle_);
    SetTransparentImage(s->transparentImage_);
    SetBorderWidth(s->borderWidth_);
    SetOverloadValue(s->overloadValue_);
    SetShowOverload(s->showOverload_);
    SetOverloadBeginColor(s->overloadBeginColor_);
    SetOverloadEndColor(s->overloadEndColor_);
    SetPeakValue(s->peakValue_);
    SetShowPeak(s->showPeak_);
    SetPeakColor(s->peakColor_);
    SetPeakSize(s->peakSize_);
}

TClass TcxProgressBarProperties::StaticClass()
{
    return DefineClass<TcxProgressBarProperties, TcxCustomProgressBarProperties>(
        "TcxProgressBarProperties", [](ClassBuilder<TcxProgressBarProperties>& b) {
            using P = TcxProgressBarProperties;
            const TIdentMap* colors = &ColorIdents();
            b.Property("BeginColor", &P::BeginColor, &P::SetBeginColor).Default(clNavy).Idents(colors);
            b.Property("BarBevelOuter", &P::BarBevelOuter, &P::SetBarBevelOuter).Default(cxbvNone);
            b.Property("EndColor", &P::EndColor, &P::SetEndColor).Default(clWhite).Idents(colors);
            b.Property("ForegroundImage", &P::ForegroundImage, &P::SetForegroundImage);
            b.Property("Min", &P::Min, &P::SetMin).Stored(&P::GetMinStored);
            b.Property("Max", &P::Max, &P::SetMax).Stored(&P::GetMaxStored);
            b.Property("Orientation", &P::Orientation, &P::SetOrientation).Default(cxorHorizontal);
            b.Property("ShowText", &P::ShowText, &P::SetShowText).Default(true);
            b.Property("ShowTextStyle", &P::ShowTextStyle, &P::SetShowTextStyle).Default(cxtsPercent);
            b.Property("TextOrientation", &P::TextOrientation, &P::SetTextOrientation).Default(cxorHorizontal);
            b.Property("SolidTextColor", &P::SolidTextColor, &P::SetSolidTextColor).Default(false);
            b.Property("BarStyle", &P::BarStyle, &P::SetBarStyle).Default(cxbsSolid);
            b.Property("TransparentImage", &P::TransparentImage, &P::SetTransparentImage).Default(true);
            b.Property("BorderWidth", &P::BorderWidth, &P::SetBorderWidth).Default(TcxBorderWidth{0});
            b.Property("OverloadValue", &P::OverloadValue, &P::SetOverloadValue).Stored(&P::GetOverloadValueStored);
            b.Property("ShowOverload", &P::ShowOverload, &P::SetShowOverload).Default(false);
            b.Property("OverloadBeginColor", &P::OverloadBeginColor, &P::SetOverloadBeginColor)
                .Default(TColor{0x008080FF})
                .Idents(colors);
            b.Property("OverloadEndColor", &P::OverloadEndColor, &P::SetOverloadEndColor)
                .Default(clFuchsia)
                .Idents(colors);
            b.Property("PeakValue", &P::PeakValue, &P::SetPeakValue).Stored(&P::GetPeakValueStored);
            b.Property("ShowPeak", &P::ShowPeak, &P::SetShowPeak).Default(false);
            b.Property("PeakColor", &P::PeakColor, &P::SetPeakColor).Default(clRed).Idents(colors);
            b.Property("PeakSize", &P::PeakSize, &P::SetPeakSize).Default(TcxNaturalNumber{2});
            b.Property("Transparent", &P::Transparent, &P::SetTransparent).Default(false);
        });
}

// ---- TcxCustomProgressBarViewInfo ---------------------------------------------------

TClass TcxCustomProgressBarViewInfo::StaticClass()
{
    return DefineClass<TcxCustomProgressBarViewInfo, TcxCustomEditViewInfo>("TcxCustomProgressBarViewInfo");
}

void TcxCustomProgressBarViewInfo::Construct()
{
    TcxCustomEditViewInfo::Construct();
    ForegroundImage.reset(CreateObject<TBitmap>());
}

void TcxCustomProgressBarViewInfo::Offset(int dx, int dy)
{
    TcxCustomEditViewInfo::Offset(dx, dy);
    for (RECT* r : {&BarRect, &InnerRect, &ProgressBarRect, &OverloadBarRect, &PeakBarRect}) OffsetRect(r, dx, dy);
}

std::string TcxCustomProgressBarViewInfo::BarText() const
{
    if (ShowTextStyle == cxtsPosition) return FloatToStr(Position);
    // Ties to even; a value outside the range still reads 0 to 100 %.
    const double percent = std::nearbyint((Position - Min) * 100 / Range());
    return IntToStr(static_cast<long long>(std::clamp(percent, 0.0, 100.0))) + " %";
}

void TcxCustomProgressBarViewInfo::Paint(TcxCanvas* canvas)
{
    const bool themed = AreVisualStylesMustBeUsed(NativeStyle, totProgress);
    // A cell's bar is copied over all of its bounds, frame and background
    // included, so they are not painted first only to be covered.
    const bool barCoversAll = IsInplace && EqualRect(&BarRect, &Bounds) && !IsRectEmpty(&BarRect);
    if (!themed && !(IsInplace && Transparent) && !barCoversAll) DrawCustomEdit(canvas, this, true, bpsSolid);
    PaintProgressBar(canvas);
}


// ---- painting ----------------------------------------------------------------------

COLORREF ProgressBarGradientColor(TColor color1, TColor color2, int i, int n)
{
    if (n <= 0) return static_cast<COLORREF>(color1) & 0xFFFFFF;
    i = std::clamp(i, 0, n);
    auto channel = [&](int shift) {
        const int a = (color1 >> shift) & 0xFF, b = (color2 >> shift) & 0xFF;
        const double v = std::trunc(static_cast<double>(i) * (b - a) / n + a);
        return (static_cast<COLORREF>(static_cast<long long>(v)) & 0xFF) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

namespace {

RECT Moved(RECT r, POINT by)
{
    OffsetRect(&r, by.x, by.y);
    return r;
}

// The bitmaps a bar is painted through. A column repaints hundreds of
// cells of one size a second, so they are kept on the painting thread and
// lent from bar to bar instead of made anew; a bar painted while another
// is (an earlier sibling under a transparent one) borrows a set of its own.
// A two-colour device bitmap in a memory DC of its own, grown as needed:
// the text mask. Unlike a section, nothing has to be packed after drawing.
class MaskSurface {
public:
    MaskSurface() = default;
    MaskSurface(const MaskSurface&) = delete;
    MaskSurface& operator=(const MaskSurface&) = delete;
    ~MaskSurface() { Release(); }
    // A DC whose bitmap holds at least w x h.
    HDC Fit(int w, int h)
    {
        if (dc_ && w <= width_ && h <= height_) return dc_;
        Release();
        width_ = std::max(w, width_);
        height_ = std::max(h, height_);
        bitmap_ = CreateBitmap(width_, height_, 1, 1, nullptr);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        SetBkMode(dc_, TRANSPARENT);
        return dc_;
    }

private:
    void Release()
    {
        if (dc_) {
            SelectObject(dc_, old_);
            DeleteDC(dc_);
        }
        if (bitmap_) DeleteObject(bitmap_);
        dc_ = nullptr;
        bitmap_ = nullptr;
    }
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

// The work bitmap holds 32-bit pixels: nothing drawn into it carries
// alpha, and unlike fewer bits per pixel it never needs packing.
struct ScratchBitmaps {
    ObjectPtr<TBitmap> work = NewBitmap(pf32bit);
    MaskSurface mask;

    static ObjectPtr<TBitmap> NewBitmap(TPixelFormat format)
    {
        ObjectPtr<TBitmap> bitmap(CreateObject<TBitmap>());
        bitmap->SetPixelFormat(format);
        return bitmap;
    }
    // Grows a bitmap to hold w x h at its top left; it never shrinks, so
    // cells of varying sizes do not reallocate it. What lies beyond is
    // drawn on at most, never read back.
    static void Fit(TBitmap* bitmap, int w, int h)
    {
        if (bitmap->Width() < w || bitmap->Height() < h)
            bitmap->SetSize(std::max(bitmap->Width(), w), std::max(bitmap->Height(), h));
    }
};

class ScratchLease {
public:
    ScratchLease()
    {
        if (Pool().empty()) Pool().push_back(std::make_unique<ScratchBitmaps>());
        set_ = std::move(Pool().back());
        Pool().pop_back();
    }
    ~ScratchLease() { Pool().push_back(std::move(set_)); }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;
    ScratchBitmaps& operator*() const { return *set_; }
    ScratchBitmaps* operator->() const { return set_.get(); }

private:
    static std::vector<std::unique_ptr<ScratchBitmaps>>& Pool()
    {
        thread_local std::vector<std::unique_ptr<ScratchBitmaps>> pool;
        return pool;
    }
    std::unique_ptr<ScratchBitmaps> set_;
};

// One paint of a bar: everything goes to a work bitmap in the bar's own
// coordinates (a cell's bar at the origin, a stand-alone bar at its client
// position), which one block copy puts on the canvas.
class BarPainter {
public:
    BarPainter(TcxCustomProgressBarViewInfo* vi, TcxCanvas* canvas);
    void Run();

private:
    void CreateWorkBitmap();
    void PrepareTheme();
    void DrawBar();
    void DrawSolid();
    void DrawGradient();
    void DrawLEDs();
    void DrawGradientLEDs();
    void DrawBitmap();
    void DrawBitmapLEDs(HBRUSH brush);
    void DrawText();
    void DrawInvertedText(const std::string& text, POINT at, const RECT& q);
    void TextAt(TCanvas* target, const std::string& text, POINT at, TColor color);

    // Runs fill(block, boundary) per LED of thickness t, fillLast on a full bar.
    template <class FillLed, class FillFull>
    void LayOutLEDs(int t, FillLed&& fill, FillFull&& fillFull);
    void FillColor(const RECT& r, COLORREF color);
    void Edge(const RECT& r);
    void CopyStrip(const RECT& r);
    COLORREF LineColor(int at) const;
    COLORREF OverloadColor(int at) const;
    bool InOverload(int at) const { return horizontal_ ? at >= ob_.left : at < ob_.bottom; }

    TcxCustomProgressBarViewInfo* vi_;
    TcxCanvas* canvas_;
    RECT b_{}, pb_{}, ob_{}, peak_{}, inner_{}, e_{}, t_{};
    int w_ = 0, h_ = 0;
    POINT o_{};
    bool horizontal_ = true;
    bool native_ = false;
    TcxProgressBarBarStyle style_ = cxbsSolid;
    ScratchLease scratch_;
    // The work bitmap: the lent one, or for a stand-alone transparent bar
    // (whose parent paints into it) a fresh one.
    TBitmap* work_ = nullptr;
    ObjectPtr<TBitmap> ownWork_;
    ObjectPtr<TBitmap> strip_;
    HDC dc_ = nullptr;
};

BarPainter::BarPainter(TcxCustomProgressBarViewInfo* vi, TcxCanvas* canvas) : vi_(vi), canvas_(canvas)
{
    // A cell draws relative to its bar; a stand-alone bar in client coordinates.
    const POINT shift = vi->IsInplace ? POINT{-vi->BarRect.left, -vi->BarRect.top} : POINT{0, 0};
    b_ = Moved(vi->BarRect, shift);
    pb_ = Moved(vi->ProgressBarRect, shift);
    ob_ = Moved(vi->OverloadBarRect, shift);
    peak_ = Moved(vi->PeakBarRect, shift);
    inner_ = Moved(vi->InnerRect, shift);
    w_ = RectWidth(b_);
    h_ = RectHeight(b_);
    o_ = POINT{b_.left, b_.top};
    horizontal_ = vi->Orientation == cxorHorizontal;
    native_ = vi->NativeStyle && OpenTheme(totProgress) != nullptr;
    style_ = vi->BarStyle;
}

void BarPainter::Run()
{
    if (w_ <= 0 || h_ <= 0) return;
    CreateWorkBitmap();
    if (native_) PrepareTheme();
    e_ = pb_;
    if (vi_->OverloadBarVisible) {
        if (horizontal_) e_.right = ob_.right;
        else e_.top = ob_.top;
    }
    t_ = e_;
    DrawBar();
    if (vi_->PeakBarVisible) FillColor(peak_, ColorToRGB(vi_->PeakColor));
    if (vi_->ShowText && vi_->Font) DrawText();
    BitBlt(canvas_->Handle(), vi_->BarRect.left, vi_->BarRect.top, w_, h_, dc_, o_.x, o_.y, SRCCOPY);
}

void BarPainter::CreateWorkBitmap()
{
    const bool parentPaints = vi_->PaintTransparent && !vi_->IsInplace && vi_->Owner;
    if (parentPaints) {
        ownWork_ = ScratchBitmaps::NewBitmap(pf32bit);
        work_ = ownWork_.get();
    } else {
        work_ = scratch_->work.get();
    }
    ScratchBitmaps::Fit(work_, w_ + o_.x, h_ + o_.y);
    dc_ = work_->Canvas()->Handle();
    const RECT all{0, 0, w_ + o_.x, h_ + o_.y};
    if (parentPaints) return DrawTransparentControlBackground(vi_->Owner, work_->Canvas(), all);
    if (!vi_->PaintTransparent) return FillColor(all, ColorToRGB(vi_->BackgroundColor()));
    // What the canvas does not cover stays black, as in a new bitmap.
    FillColor(all, RGB(0, 0, 0));
    BitBlt(dc_, 0, 0, w_, h_, canvas_->Handle(), vi_->BarRect.left, vi_->BarRect.top, SRCCOPY);
}

void BarPainter::PrepareTheme()
{
    HTHEME theme = OpenTheme(totProgress);
    const int barPart = horizontal_ ? PP_BAR : PP_BARVERT;
    if (!vi_->IsInplace && !vi_->PaintTransparent) DrawThemeBackground(theme, dc_, barPart, 1, &b_, nullptr);
    strip_.reset(CreateObject<TBitmap>());
    strip_->SetPixelFormat(pf24bit);
    const int across = horizontal_ ? RectHeight(pb_) : RectWidth(pb_);
    strip_->SetSize(horizontal_ ? 1 : std::max(across, 1), horizontal_ ? std::max(across, 1) : 1);
    const RECT chunk = horizontal_ ? RECT{-4, 0, 1, across} : RECT{0, -4, across, 1};
    DrawThemeBackground(theme, strip_->Canvas()->Handle(), horizontal_ ? PP_CHUNK : PP_CHUNKVERT, 1, &chunk, nullptr);
    if (style_ == cxbsSolid) style_ = cxbsGradient;
    if (style_ == cxbsLEDs) style_ = cxbsGradientLEDs;
    vi_->BarStyle = style_;
}

void BarPainter::DrawBar()
{
    switch (style_) {
    case cxbsSolid: return DrawSolid();
    case cxbsGradient: return DrawGradient();
    case cxbsLEDs: return DrawLEDs();
    case cxbsGradientLEDs: return DrawGradientLEDs();
    case cxbsBitmap:
    case cxbsBitmapLEDs: return DrawBitmap();
    }
}

void BarPainter::FillColor(const RECT& r, COLORREF color)
{
    if (r.right <= r.left || r.bottom <= r.top) return;
    SetDCBrushColor(dc_, color);
    ::FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void BarPainter::Edge(const RECT& r)
{
    if (vi_->BarBevelOuter == cxbvNone || r.right <= r.left || r.bottom <= r.top) return;
    const UINT edge = vi_->BarBevelOuter == cxbvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    RECT rect = r;
    DrawEdge(dc_, &rect, edge, BF_TOPLEFT);
    rect = r;
    DrawEdge(dc_, &rect, edge, BF_BOTTOMRIGHT);
}

void BarPainter::CopyStrip(const RECT& r)
{
    HDC strip = strip_->Canvas()->Handle();
    if (horizontal_)
        for (int x = r.left; x < r.right; ++x) BitBlt(dc_, x, r.top, 1, RectHeight(r), strip, 0, 0, SRCCOPY);
    else
        for (int y = r.top; y < r.bottom; ++y) BitBlt(dc_, r.left, y, RectWidth(r), 1, strip, 0, 0, SRCCOPY);
}

void BarPainter::DrawSolid()
{
    if (vi_->OverloadBarVisible) {
        FillColor(pb_, ColorToRGB(vi_->BeginColor));
        FillColor(ob_, ColorToRGB(vi_->OverloadBeginColor));
    } else {
        FillColor(e_, ColorToRGB(vi_->BeginColor));
    }
    Edge(e_);
}

// The zone's gradient runs from its own start to the inner rectangle's end.
COLORREF BarPainter::OverloadColor(int at) const
{
    if (horizontal_)
        return ProgressBarGradientColor(vi_->OverloadBeginColor, vi_->OverloadEndColor, at - ob_.left,
                                        inner_.right - ob_.left);
    return ProgressBarGradientColor(vi_->OverloadBeginColor, vi_->OverloadEndColor, ob_.bottom - at,
                                    ob_.bottom - inner_.top);
}

COLORREF BarPainter::LineColor(int at) const
{
    if (vi_->OverloadBarVisible && InOverload(at)) return OverloadColor(at);
    if (horizontal_) return ProgressBarGradientColor(vi_->BeginColor, vi_->EndColor, at - e_.left, w_);
    return ProgressBarGradientColor(vi_->BeginColor, vi_->EndColor, e_.bottom - at, h_);
}

void BarPainter::DrawGradient()
{
    if (horizontal_) {
        for (int x = e_.left; x < e_.right; ++x) {
            const RECT line{x, e_.top, x + 1, e_.bottom};
            native_ ? CopyStrip(line) : FillColor(line, LineColor(x));
        }
    } else {
        for (int y = e_.bottom - 1; y >= e_.top; --y) {
            const RECT line{e_.left, y, e_.right, y + 1};
            native_ ? CopyStrip(line) : FillColor(line, LineColor(y));
        }
    }
    Edge(e_);
}

template <class FillLed, class FillFull>
void BarPainter::LayOutLEDs(int t, FillLed&& fill, FillFull&& fillFull)
{
    const int s = std::max(t, 0) + 2;
    if (horizontal_) {
        int last = e_.left;
        for (int x = e_.left + s; x < e_.right; x += s) {
            fill(RECT{x - s, e_.top, x - 2, e_.bottom}, x);
            t_.right = x - 2;
            if (e_.right - x - 2 < s) fill(RECT{x, e_.top, e_.right, e_.bottom}, x);
            last = x;
        }
        if (vi_->Position >= vi_->Max) fillFull(RECT{last, e_.top, e_.right, e_.bottom}, last);
        return;
    }
    int last = e_.bottom;
    for (int y = e_.bottom - 1 - s; y >= e_.top; y -= s) {
        fill(RECT{e_.left, y + 2, e_.right, y + s}, y);
        t_.top = y + 2;
        if (y - e_.top < s) fill(RECT{e_.left, e_.top, e_.right, y}, y);
        last = y;
    }
    if (vi_->Position >= vi_->Max) fillFull(RECT{e_.left, e_.top, e_.right, last}, last);
}

void BarPainter::DrawLEDs()
{
    const int t = horizontal_ ? 2 * h_ / 3 : 2 * w_ / 3;
    COLORREF color = ColorToRGB(vi_->BeginColor);
    const COLORREF overload = ColorToRGB(vi_->OverloadBeginColor);
    auto fill = [&](const RECT& r, int boundary) {
        if (vi_->OverloadBarVisible && (horizontal_ ? boundary >= ob_.left - 1 : boundary < ob_.bottom))
            color = overload;
        FillColor(r, color);
        Edge(r);
    };
    auto fillFull = [&](const RECT& r, int) {
        FillColor(r, vi_->OverloadBarVisible ? overload : color);
        Edge(r);
    };
    LayOutLEDs(t, fill, fillFull);
}

void BarPainter::DrawGradientLEDs()
{
    const int t = horizontal_ ? 2 * RectHeight(e_) / 3 : 2 * RectWidth(e_) / 3;
    auto fill = [&](const RECT& r, int boundary) {
        if (native_) {
            // Themed vertical chunks sit one row lower than filled ones.
            const bool lower = !horizontal_;
            CopyStrip(RECT{r.left, r.top + (lower && r.top != e_.top ? 1 : 0), r.right, r.bottom + (lower ? 1 : 0)});
            return;
        }
        FillColor(r, LineColor(boundary));
        Edge(r);
    };
    auto fillFull = [&](const RECT& r, int last) {
        if (native_) return CopyStrip(RECT{r.left, r.top, r.right, r.bottom + (horizontal_ ? 0 : 1)});
        FillColor(r, vi_->OverloadBarVisible ? OverloadColor(last) : LineColor(last));
        Edge(r);
    };
    LayOutLEDs(t, fill, fillFull);
}

void BarPainter::DrawBitmap()
{
    TBitmap* image = vi_->ForegroundImage.get();
    if (!image || image->Width() < 1 || image->Height() < 1) return;
    HBRUSH brush = CreatePatternBrush(image->Handle());
    ScopeGuard freeBrush([brush] { DeleteObject(brush); });
    if (style_ == cxbsBitmap) ::FillRect(dc_, &e_, brush);
    else DrawBitmapLEDs(brush);
}

void BarPainter::DrawBitmapLEDs(HBRUSH brush)
{
    TBitmap* image = vi_->ForegroundImage.get();
    auto fill = [&](const RECT& r) {
        if (r.right > r.left && r.bottom > r.top) ::FillRect(dc_, &r, brush);
    };
    RECT led = e_;
    if (horizontal_) {
        const int t = std::min(image->Width(), RectHeight(e_)), s = t + 2;
        for (int x = e_.left; x < e_.right; x += s) {
            led.right = x - 2;
            fill(led);
            led.left = x;
            if (e_.right - x - 2 < t) fill(RECT{x, e_.top, e_.right, e_.bottom});
        }
        if (vi_->Position == vi_->Max) led.right = e_.right, fill(led);
        t_.right = led.right;
        return;
    }
    const int t = std::min(image->Height(), RectWidth(e_)), s = t + 2;
    for (int y = e_.bottom - 1; y >= e_.top; y -= s) {
        led.top = y + 2;
        fill(led);
        led.bottom = y;
        if (y - e_.top < t) fill(RECT{e_.left, e_.top, e_.right, y});
    }
    if (vi_->Position == vi_->Max) led.top = e_.top, fill(led);
    t_.top = led.top;
}

void BarPainter::TextAt(TCanvas* target, const std::string& text, POINT at, TColor color)
{
    target->Font()->Assign(vi_->Font);
    if (vi_->TextOrientation == cxorVertical) target->Font()->SetEscapement(2700);
    target->Font()->SetColor(color);
    target->Brush()->SetStyle(bsClear);
    // Not TextOut: the pen need not follow the text, which costs a measure.
    target->ExtTextOut(at.x, at.y, 0, nullptr, text);
}

void BarPainter::DrawText()
{
    const std::string text = vi_->BarText();
    TCanvas* c = work_->Canvas();
    c->Font()->Assign(vi_->Font);
    const SIZE extent = c->TextExtent(text);
    const int tw = extent.cx, th = extent.cy;
    if (vi_->TextOrientation == cxorHorizontal) {
        const POINT at{(w_ - tw) / 2 + o_.x, (h_ - th) / 2 + o_.y};
        if (at.x >= t_.right || vi_->SolidTextColor) return TextAt(c, text, at, vi_->TextColor);
        return DrawInvertedText(text, at, RECT{at.x, at.y, at.x + std::min<int>(t_.right - at.x, tw), at.y + th});
    }
    const POINT at{(w_ - th) / 2 + th + o_.x, (h_ - tw) / 2 + o_.y};
    if (at.y + tw <= t_.top || vi_->SolidTextColor) return TextAt(c, text, at, vi_->TextColor);
    const int top = std::max<int>(at.y, t_.top);
    DrawInvertedText(text, at, RECT{at.x - th, top, at.x, top + tw});
}

// Inside q the glyphs show the inverse of what lies beneath; outside it
// the text keeps its colour. The mask holds the glyphs inside q as white
// on black, which the inverting copy turns into inverted pixels.
void BarPainter::DrawInvertedText(const std::string& text, POINT at, const RECT& q)
{
    const int qw = RectWidth(q), qh = RectHeight(q);
    if (qw <= 0 || qh <= 0) return TextAt(work_->Canvas(), text, at, vi_->TextColor);
    ExcludeClipRect(dc_, q.left, q.top, q.right, q.bottom);
    TextAt(work_->Canvas(), text, at, vi_->TextColor);
    SelectClipRgn(dc_, nullptr);
    HDC mask = scratch_->mask.Fit(qw, qh);
    const RECT all{0, 0, qw, qh};
    ::FillRect(mask, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // The work canvas's font as the text was just drawn with it.
    const HGDIOBJ oldFont = SelectObject(mask, work_->Canvas()->Font()->Handle());
    SetTextColor(mask, RGB(255, 255, 255));
    ExtTextOutA(mask, at.x - q.left, at.y - q.top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SelectObject(mask, oldFont);
    const COLORREF oldText = SetTextColor(dc_, RGB(0, 0, 0)), oldBack = SetBkColor(dc_, RGB(255, 255, 255));
    BitBlt(dc_, q.left, q.top, qw, qh, mask, 0, 0, SRCINVERT);
    SetTextColor(dc_, oldText);
    SetBkColor(dc_, oldBack);
}

}  // namespace

void TcxCustomProgressBarViewInfo::PaintProgressBar(TcxCanvas* canvas)
{
    BarPainter painter(this, canvas);
    painter.Run();
}

// ---- TcxCustomProgressBarViewData ---------------------------------------------------

TClass TcxCustomProgressBarViewData::StaticClass()
{
    return DefineClass<TcxCustomProgressBarViewData, TcxCustomEditViewData>("TcxCustomProgressBarViewData");
}

void TcxCustomProgressBarViewData::EditValueToDrawValue(TcxCanvas*, const Variant& editValue,
                                                        TcxCustomEditViewInfo* viewInfo)
{
    auto* info = static_cast<TcxCustomProgressBarViewInfo*>(viewInfo);
    Variant display;
    GetProperties()->PrepareDisplayValue(editValue, display, InternalFocused());
    info->Position = display.AsDouble();
    GetProperties()->CorrectPositionWithMaxMin(info);
}

void TcxCustomProgressBarViewData::CalculateViewInfoProperties(TcxCustomProgressBarViewInfo* vi)
{
    TcxCustomProgressBarProperties* p = GetProperties();
    vi->BeginColor = p->BeginColor();
    vi->BarBevelOuter = p->BarBevelOuter();
    vi->EndColor = p->EndColor();
    vi->Min = p->Min();
    vi->Max = p->Max();
    vi->Orientation = p->Orientation();
    vi->ShowText = p->ShowText();
    vi->ShowTextStyle = p->ShowTextStyle();
    vi->TextOrientation = p->TextOrientation();
    vi->SolidTextColor = p->SolidTextColor();
    vi->BarStyle = p->BarStyle();
    vi->OverloadValue = p->OverloadValue();
    vi->OverloadBeginColor = p->OverloadBeginColor();
    vi->OverloadEndColor = p->OverloadEndColor();
    vi->ShowOverload = p->ShowOverload();
    vi->PeakColor = p->PeakColor();
    vi->PeakSize = p->PeakSize();
    vi->ShowPeak = p->ShowPeak();
    vi->BarBorderWidth = p->BorderWidth();
    // Cells share the settings: only a stand-alone bar moves the stored peak.
    if (vi->ShowPeak)
        vi->RealPeakValue = IsInplace ? p->CalculatePeakValue(vi->Position) : p->GetRealPeakValue(vi->Position);
    vi->Owner = Edit;
    vi->PaintTransparent = IsInplace ? vi->Transparent : p->Transparent();
}

namespace {

// Trunc((v - Min) * e / Rg), within 0..e.
int Len(const TcxCustomProgressBarViewInfo* vi, double v, int e)
{
    const double length = std::trunc((v - vi->Min) * e / vi->Range());
    return static_cast<int>(std::clamp(length, 0.0, static_cast<double>(std::max(e, 0))));
}

RECT Shrunk(RECT r, int l, int t, int rr, int b)
{
    InflateRectEx(r, l, t, -rr, -b);
    return r;
}

}  // namespace

void TcxCustomProgressBarViewData::CalculateRects(TcxCustomProgressBarViewInfo* vi, bool native)
{
    const int bw = vi->BarBorderWidth;
    const RECT& bounds = vi->Bounds;
    if (native) {
        vi->BarRect = bounds;
        vi->InnerRect = IsInplace ? Shrunk(bounds, bw + 2, bw + 2, bw + 2, bw + 2)
                                  : Shrunk(bounds, bw + 3, bw + 3, bw + 2, bw + 2);
    } else {
        vi->BarRect = IsInplace ? bounds : vi->BorderRect;
        vi->InnerRect = Shrunk(vi->BorderRect, bw, bw, bw, bw);
    }
    const RECT& i = vi->InnerRect;
    const bool horizontal = vi->Orientation == cxorHorizontal;
    RECT& pb = vi->ProgressBarRect;
    pb = i;
    if (horizontal) pb.right = i.left + Len(vi, vi->Position, RectWidth(i));
    else pb.top = i.bottom - Len(vi, vi->Position, RectHeight(i));

    vi->OverloadBarVisible = vi->ShowOverload && !native && vi->Position >= vi->OverloadValue;
    RECT& ob = vi->OverloadBarRect;
    ob = RECT{};
    if (vi->OverloadBarVisible) {
        ob = pb;
        if (horizontal) {
            ob.left = i.left + Len(vi, vi->OverloadValue, RectWidth(i));
            ob.right = std::min(ob.right, i.right);
            pb.right = ob.left;
        } else {
            ob.bottom = std::max(i.bottom - Len(vi, vi->OverloadValue, RectHeight(i)), i.top);
            pb.top = ob.bottom;
        }
    }

    vi->PeakBarVisible = vi->ShowPeak;
    RECT& peak = vi->PeakBarRect;
    peak = pb;
    if (horizontal) {
        peak.left = i.left + Len(vi, vi->RealPeakValue, RectWidth(i));
        if (peak.left + vi->PeakSize > i.right) peak.left = i.right - vi->PeakSize;
        peak.right = peak.left + vi->PeakSize;
    } else {
        peak.bottom = i.bottom - Len(vi, vi->RealPeakValue, RectHeight(i));
        if (peak.bottom - vi->PeakSize < i.top) peak.bottom = i.top + vi->PeakSize;
        peak.top = peak.bottom - vi->PeakSize;
    }
}

void TcxCustomProgressBarViewData::CalculateForegroundImage(TcxCustomProgressBarViewInfo* vi)
{
    TcxCustomProgressBarProperties* p = GetProperties();
    TBitmap* source = p->ForegroundImage();
    vi->ForegroundImage->Assign(source);
    if (!p->TransparentImage() || source->Width() < 1 || source->Height() < 1) return;
    ObjectPtr<TBitmap> composed(CreateObject<TBitmap>());
    composed->SetSize(source->Width(), source->Height());
    composed->Canvas()->Brush()->SetColor(vi->BackgroundColor());
    composed->Canvas()->FillRect(RECT{0, 0, source->Width(), source->Height()});
    ObjectPtr<TBitmap> transparent(CreateObject<TBitmap>());
    transparent->Assign(source);
    transparent->SetTransparent(true);
    composed->Canvas()->Draw(0, 0, transparent.get());
    vi->ForegroundImage->Assign(composed.get());
}

void TcxCustomProgressBarViewData::Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p,
                                             TcxMouseButton button, TShiftState shift,
                                             TcxCustomEditViewInfo* viewInfo, bool isMouseEvent)
{
    TcxCustomEditViewData::Calculate(canvas, bounds, p, button, shift, viewInfo, isMouseEvent);
    if (bounds.right == INT_MAX || bounds.bottom == INT_MAX) return;
    auto* vi = static_cast<TcxCustomProgressBarViewInfo*>(viewInfo);
    CalculateCustomEditViewInfo(this, vi);
    vi->Font = Style()->GetVisibleFont();
    CalculateViewInfoProperties(vi);
    const bool native = AreVisualStylesMustBeUsed(NativeStyle, totProgress);
    vi->NativeStyle = native;
    CalculateRects(vi, native);
    CalculateForegroundImage(vi);
}

void TcxCustomProgressBarViewData::InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace,
                                                                   const TcxEditSizeProperties& sizeProperties,
                                                                   SIZE& minContentSize,
                                                                   TcxCustomEditViewInfo* viewInfo, SIZE& size)
{
    TcxCustomEditViewData::InternalGetEditConstantPartSize(canvas, isInplace, sizeProperties, minContentSize, viewInfo,
                                                           size);
    auto* vi = static_cast<TcxCustomProgressBarViewInfo*>(viewInfo);
    int w = RectWidth(vi->ProgressBarRect);
    if (!isInplace && !AreVisualStylesMustBeUsed(NativeStyle, totButton)) w += 4;
    canvas->SetFont(Style()->GetVisibleFont());
    const int emptyHeight = canvas->FontHeight(Style()->GetVisibleFont());
    w += 0 + 3;
    size.cx += w;
    size.cy += emptyHeight;
}

// ---- TcxCustomProgressBar ----------------------------------------------------------

TClass TcxCustomProgressBar::StaticClass()
{
    return DefineClass<TcxCustomProgressBar, TcxCustomEdit>("TcxCustomProgressBar");
}

void TcxCustomProgressBar::Construct(TComponent* owner)
{
    TcxCustomEdit::Construct(owner);
    SetControlStyle(ControlStyle() - TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
    SetParentColor(!IsInplace());
    SetBounds(Left(), Top(), 121, 21);
    ActiveProperties()->OnChangeTransparent = TNotifyEvent::Bind(this, &TcxCustomProgressBar::ChangeTransparentHandler);
}

void TcxCustomProgressBar::RepositoryItemAssigned()
{
    TcxCustomEdit::RepositoryItemAssigned();
    ActiveProperties()->OnChangeTransparent = TNotifyEvent::Bind(this, &TcxCustomProgressBar::ChangeTransparentHandler);
}

TClass TcxCustomProgressBar::GetPropertiesClass() const { return TcxProgressBarProperties::StaticClass(); }

bool TcxCustomProgressBar::CanFocus() { return IsInplace() && TcxCustomEdit::CanFocus(); }
bool TcxCustomProgressBar::CanFocusOnClick() { return IsInplace() && TcxCustomEdit::CanFocusOnClick(); }

bool TcxCustomProgressBar::IsRefreshOnWindowPosChangedNeeded()
{
    return !IsInplace() && ActiveProperties()->Transparent();
}

TcxContainerStyleValues TcxCustomProgressBar::GetNotPublishedStyleValues() const
{
    return {csvHotTrack, csvButtonStyle, csvButtonTransparency, csvPopupBorderStyle};
}

void TcxCustomProgressBar::FillSizeProperties(TcxEditSizeProperties& sizeProperties)
{
    sizeProperties = TcxEditSizeProperties{};
    sizeProperties.MaxLineCount = 1;
    sizeProperties.Width = RectWidth(GetViewInfo()->ClientRect);
}

void TcxCustomProgressBar::ChangeTransparentHandler(TObject*) { Invalidate(); }

void TcxCustomProgressBar::SetPosition(double value)
{
    if (value == Position()) return;
    TcxCustomProgressBarProperties* p = ActiveProperties();
    if (!IsLoading() && p->Min() < p->Max()) value = std::clamp(value, p->Min(), p->Max());
    SetEditValue(Variant(value));
}

void TcxCustomProgressBar::SynchronizeDisplayValue()
{
    TcxCustomProgressBarProperties* p = ActiveProperties();
    Variant display;
    p->PrepareDisplayValue(EditValue(), display, Focused());
    GetViewInfo()->Position = display.AsDouble();
    if (p->Transparent()) Invalidate();
    p->CorrectPositionWithMaxMin(GetViewInfo());
    ShortRefreshContainer(false);
}

void TcxCustomProgressBar::PropertiesChanged(TObject* sender)
{
    CheckEditValue();
    ActiveProperties()->CorrectPositionWithMaxMin(GetViewInfo());
    TcxCustomEdit::PropertiesChanged(sender);
    if (ActiveProperties()->Transparent()) Invalidate();
}

void TcxCustomProgressBar::CheckEditValue()
{
    if (IsInplace() || IsDBEdit() || PropertiesChangeLocked()) return;
    CheckEditorValueBounds();
}

void TcxCustomProgressBar::CheckEditorValueBounds()
{
    TcxCustomProgressBarProperties* p = ActiveProperties();
    if (!(p->Min() < p->Max())) return;
    Variant display;
    p->PrepareDisplayValue(EditValue(), display, Focused());
    const double value = display.AsDouble();
    if (value < p->Min()) InternalSetEditValue(Variant(p->Min()), false);
    else if (value > p->Max()) InternalSetEditValue(Variant(p->Max()), false);
}

TClass TcxProgressBar::StaticClass()
{
    return DefineClass<TcxProgressBar, TcxCustomProgressBar>("TcxProgressBar", [](ClassBuilder<TcxProgressBar>& b) {
        using C = TcxProgressBar;
        b.Property("Position", &C::Position, &C::SetPosition).Stored(&C::GetPositionStored);
        b.Property("Properties", &C::Properties, &C::SetProperties);
    });
}

// ---- registration -------------------------------------------------------------------

namespace {
int gProgressBarStarts = 0;
}  // namespace

void cxProgressBarInitialize()
{
    if (gProgressBarStarts++ > 0) return;
    GetRegisteredEditProperties()->Register(TcxProgressBarProperties::StaticClass(),
                                            cxGetResourceString(scxSEditRepositoryProgressBarItem));
}

void cxProgressBarFinalize()
{
    if (gProgressBarStarts == 0 || --gProgressBarStarts > 0) return;
    GetRegisteredEditProperties()->Unregister(TcxProgressBarProperties::StaticClass());
}
