#pragma once
// The progress-bar editor kind: its settings (range, colours, bar style,
// text, overload zone, peak marker), the layout and painting shared by the
// stand-alone bar and the cells of a list column, and the control. A bar
// only shows a value; it takes no input.

#include <cstdint>
#include <string>

#include "components/editor-catalogue/cxExtEditConsts.h"
#include "components/editors/cxEdit.h"
#include "components/editors/cxEditControl.h"
#include "components/editors/cxEditViewData.h"

enum TcxProgressBarBarStyle { cxbsSolid, cxbsLEDs, cxbsGradient, cxbsGradientLEDs, cxbsBitmap, cxbsBitmapLEDs };
enum TcxProgressBarBevelOuter { cxbvNone, cxbvLowered, cxbvRaised };
enum TcxProgressBarOrientation { cxorHorizontal, cxorVertical };
enum TcxProgressBarTextStyle { cxtsPercent, cxtsPosition };
using TcxBorderWidth = std::uint16_t;

const hostlib::TEnumInfo& EnumTypeInfo(TcxProgressBarBarStyle*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxProgressBarBevelOuter*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxProgressBarOrientation*);
const hostlib::TEnumInfo& EnumTypeInfo(TcxProgressBarTextStyle*);

class TcxCustomProgressBarViewInfo;

// ---- properties --------------------------------------------------------------------

class TcxCustomProgressBarProperties : public TcxCustomEditProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TPersistent* owner) override;
    // The 22 settings of another progress bar, Min before Max; Transparent
    // stays, so an in-place copy never turns transparent.
    void Assign(hostlib::TPersistent* source) override;
    bool CompareEditValue() override { return true; }
    hostlib::TClass GetViewDataClass() override;
    bool HasDisplayValue() override { return true; }
    hostlib::TClass GetContainerClass() override;
    hostlib::TClass GetViewInfoClass() override;
    // The raw value's text, with " %" in the percent style.
    std::string GetDisplayText(const hostlib::Variant& editValue, bool fullText = false) override;
    TcxEditSupportedOperations GetSupportedOperations() override;
    // A number, or the number a whole decimal text (point separator) reads
    // as; 0 for anything else.
    void PrepareDisplayValue(const hostlib::Variant& editValue, hostlib::Variant& displayValue,
                             bool editFocused) override;
    // Clamps the view's Position into [Min, Max] when Min < Max.
    virtual void CorrectPositionWithMaxMin(TcxCustomProgressBarViewInfo* viewInfo);

    // The peak to draw: PeakValue within [Min, Max], raised to the position;
    // stored back (without Changed) so the peak follows the highest position.
    double GetRealPeakValue(double position);
    // The same peak without storing it, for cells sharing these settings.
    double CalculatePeakValue(double position) const;

    hostlib::TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(hostlib::TColor value) { Set(beginColor_, value); }
    TcxProgressBarBevelOuter BarBevelOuter() const { return barBevelOuter_; }
    void SetBarBevelOuter(TcxProgressBarBevelOuter value) { Set(barBevelOuter_, value); }
    hostlib::TColor EndColor() const { return endColor_; }
    void SetEndColor(hostlib::TColor value) { Set(endColor_, value); }
    // Created empty on first use.
    hostlib::TBitmap* ForegroundImage() const;
    hostlib::TBitmap* GetForegroundImage() const { return ForegroundImage(); }
    // Copies the bitmap; nullptr frees the own one.
    void SetForegroundImage(hostlib::TBitmap* value);
    bool HasForegroundImage() const { return foregroundImage_ != nullptr; }
    double Min() const { return min_; }
    void SetMin(double value);
    double Max() const { return max_; }
    // Ignored unless above Min.
    void SetMax(double value);
    TcxProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TcxProgressBarOrientation value) { Set(orientation_, value); }
    bool ShowText() const { return showText_; }
    void SetShowText(bool value) { Set(showText_, value); }
    TcxProgressBarTextStyle ShowTextStyle() const { return showTextStyle_; }
    void SetShowTextStyle(TcxProgressBarTextStyle value) { Set(showTextStyle_, value); }
    TcxProgressBarOrientation TextOrientation() const { return textOrientation_; }
    void SetTextOrientation(TcxProgressBarOrientation value) { Set(textOrientation_, value); }
    bool SolidTextColor() const { return solidTextColor_; }
    void SetSolidTextColor(bool value) { Set(solidTextColor_, value); }
    TcxProgressBarBarStyle BarStyle() const { return barStyle_; }
    void SetBarStyle(TcxProgressBarBarStyle value) { Set(barStyle_, value); }
    bool TransparentImage() const { return transparentImage_; }
    void SetTransparentImage(bool value) { Set(transparentImage_, value); }
    TcxBorderWidth BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(TcxBorderWidth value) { Set(borderWidth_, value); }
    double OverloadValue() const { return overloadValue_; }
    void SetOverloadValue(double value);
    bool ShowOverload() const { return showOverload_; }
    void SetShowOverload(bool value) { Set(showOverload_, value); }
    hostlib::TColor OverloadBeginColor() const { return overloadBeginColor_; }
    void SetOverloadBeginColor(hostlib::TColor value) { Set(overloadBeginColor_, value); }
    hostlib::TColor OverloadEndColor() const { return overloadEndColor_; }
    void SetOverloadEndColor(hostlib::TColor value) { Set(overloadEndColor_, value); }
    double PeakValue() const { return peakValue_; }
    void SetPeakValue(double value) { Set(peakValue_, value); }
    bool ShowPeak() const { return showPeak_; }
    void SetShowPeak(bool value) { Set(showPeak_, value); }
    hostlib::TColor PeakColor() const { return peakColor_; }
    void SetPeakColor(hostlib::TColor value) { Set(peakColor_, value); }
    TcxNaturalNumber PeakSize() const { return peakSize_; }
    void SetPeakSize(TcxNaturalNumber value) { Set(peakSize_, value); }
    bool Transparent() const { return transparent_; }
    // Also tells OnChangeTransparent.
    void SetTransparent(bool value);

    bool GetMinStored() const { return min_ != 0; }
    bool GetMaxStored() const { return max_ != 100; }
    bool GetOverloadValueStored() const { return overloadValue_ != 80; }
    bool GetPeakValueStored() const { return peakValue_ != 0; }

    // Set by the owning control.
    hostlib::TNotifyEvent OnChangeTransparent;

protected:
    void Destroy() override;
    void PostMinValue();
    void PostMaxValue();
    void PostOverloadValue();
    void ForegroundImageChanged(hostlib::TObject* sender);

private:
    template <class T>
    void Set(T& field, const T& value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }
    void AssignValues(TcxCustomProgressBarProperties* source);

    hostlib::TColor beginColor_ = hostlib::clNavy;
    TcxProgressBarBevelOuter barBevelOuter_ = cxbvNone;
    hostlib::TColor endColor_ = hostlib::clWhite;
    mutable hostlib::ObjectPtr<hostlib::TBitmap> foregroundImage_;
    double min_ = 0;
    double max_ = 100;
    TcxProgressBarOrientation orientation_ = cxorHorizontal;
    bool showText_ = true;
    TcxProgressBarTextStyle showTextStyle_ = cxtsPercent;
    TcxProgressBarOrientation textOrientation_ = cxorHorizontal;
    bool solidTextColor_ = false;
    TcxProgressBarBarStyle barStyle_ = cxbsSolid;
    bool transparentImage_ = true;
    TcxBorderWidth borderWidth_ = 0;
    double overloadValue_ = 80;
    bool showOverload_ = false;
    hostlib::TColor overloadBeginColor_ = 0x008080FF;
    hostlib::TColor overloadEndColor_ = hostlib::clFuchsia;
    double peakValue_ = 0;
    bool showPeak_ = false;
    hostlib::TColor peakColor_ = hostlib::clRed;
    TcxNaturalNumber peakSize_ = 2;
    bool transparent_ = false;
};

// The published kind, "ProgressBar" in the registered list.
class TcxProgressBarProperties : public TcxCustomProgressBarProperties {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// ---- view info ---------------------------------------------------------------------

class TcxCustomProgressBarViewInfo : public TcxCustomEditViewInfo {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct() override;
    void Offset(int dx, int dy) override;
    void Paint(TcxCanvas* canvas) override;
    using TcxCustomEditViewInfo::NeedShowHint;
    bool NeedShowHint(TcxCanvas*, const POINT&, const RECT&, std::string&, bool&, RECT&) override { return false; }
    // The bar, its text and peak through one work bitmap and one block copy.
    virtual void PaintProgressBar(TcxCanvas* canvas);

    // Copies of the settings and the value shown.
    hostlib::TColor BeginColor = hostlib::clNavy;
    TcxProgressBarBevelOuter BarBevelOuter = cxbvNone;
    hostlib::TColor EndColor = hostlib::clWhite;
    double Min = 0;
    double Max = 100;
    double Position = 0;
    hostlib::ObjectPtr<hostlib::TBitmap> ForegroundImage;
    TcxProgressBarOrientation Orientation = cxorHorizontal;
    bool ShowText = true;
    TcxProgressBarTextStyle ShowTextStyle = cxtsPercent;
    TcxProgressBarOrientation TextOrientation = cxorHorizontal;
    bool SolidTextColor = false;
    TcxProgressBarBarStyle BarStyle = cxbsSolid;
    double OverloadValue = 80;
    hostlib::TColor OverloadBeginColor = 0x008080FF;
    hostlib::TColor OverloadEndColor = hostlib::clFuchsia;
    bool ShowOverload = false;
    double RealPeakValue = 0;
    hostlib::TColor PeakColor = hostlib::clRed;
    int PeakSize = 2;
    bool ShowPeak = false;
    // The settings' inset of the bar; the container's border width stays
    // that of the frame.
    int BarBorderWidth = 0;

    bool OverloadBarVisible = false;
    bool PeakBarVisible = false;
    bool PaintTransparent = false;

    RECT BarRect{};
    // The area the filled parts share (the bar less border and inset).
    RECT InnerRect{};
    RECT ProgressBarRect{};
    RECT OverloadBarRect{};
    RECT PeakBarRect{};
    // The stand-alone control that owns this view (nullptr in a cell).
    hostlib::TWinControl* Owner = nullptr;

    // The percent or position text the bar shows.
    std::string BarText() const;
    // The range painting divides by: Max - Min when positive, else 1.
    double Range() const { return Max - Min > 0 ? Max - Min : 1; }
};

// ---- view data ---------------------------------------------------------------------

class TcxCustomProgressBarViewData : public TcxCustomEditViewData {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void InternalGetEditConstantPartSize(TcxCanvas* canvas, bool isInplace, const TcxEditSizeProperties& sizeProperties,
                                         SIZE& minContentSize, TcxCustomEditViewInfo* viewInfo, SIZE& size) override;
    void Calculate(TcxCanvas* canvas, const RECT& bounds, const POINT& p, TcxMouseButton button,
                   hostlib::TShiftState shift, TcxCustomEditViewInfo* viewInfo, bool isMouseEvent) override;
    void EditValueToDrawValue(TcxCanvas* canvas, const hostlib::Variant& editValue,
                              TcxCustomEditViewInfo* viewInfo) override;
    virtual void CalculateViewInfoProperties(TcxCustomProgressBarViewInfo* viewInfo);
    virtual int GetDrawTextFlags() { return 0; }
    bool GetIsEditClass() const { return false; }
    TcxCustomProgressBarProperties* GetProperties() const
    {
        return static_cast<TcxCustomProgressBarProperties*>(Properties());
    }

private:
    void CalculateRects(TcxCustomProgressBarViewInfo* viewInfo, bool native);
    void CalculateForegroundImage(TcxCustomProgressBarViewInfo* viewInfo);
};

// ---- control -----------------------------------------------------------------------

// A stand-alone bar: never focused outside a cell, no input, its value kept
// inside [Min, Max].
class TcxCustomProgressBar : public TcxCustomEdit {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TComponent* owner) override;
    using TcxCustomEdit::Construct;
    bool CanFocus() override;
    bool CanFocusOnClick() override;
    bool IsRefreshOnWindowPosChangedNeeded() override;
    TcxContainerStyleValues GetNotPublishedStyleValues() const override;
    virtual void FillSizeProperties(TcxEditSizeProperties& sizeProperties);
    void PropertiesChanged(hostlib::TObject* sender) override;
    void SynchronizeDisplayValue() override;
    hostlib::TClass GetPropertiesClass() const override;
    virtual void CheckEditorValueBounds();
    virtual void CheckEditValue();

    // The shown position (the clamped display value).
    double Position() const { return GetViewInfo()->Position; }
    // Clamped into [Min, Max] unless loading from a form resource.
    void SetPosition(double value);
    bool GetPositionStored() const { return Position() != 0; }
    TcxCustomProgressBarProperties* Properties() const
    {
        return static_cast<TcxCustomProgressBarProperties*>(TcxCustomEdit::Properties());
    }
    void SetProperties(TcxCustomProgressBarProperties* value) { TcxCustomEdit::SetProperties(value); }
    TcxCustomProgressBarProperties* ActiveProperties()
    {
        return static_cast<TcxCustomProgressBarProperties*>(TcxCustomEdit::ActiveProperties());
    }
    TcxCustomProgressBarViewInfo* GetViewInfo() const
    {
        return static_cast<TcxCustomProgressBarViewInfo*>(ViewInfo());
    }

protected:
    void ChangeTransparentHandler(hostlib::TObject* sender);
    void RepositoryItemAssigned() override;
};

class TcxProgressBar : public TcxCustomProgressBar {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};

// G of the bar's gradients: each channel Trunc(i * (c2 - c1) / n + c1), its
// low byte, with i kept within 0..n; the first colour for n <= 0.
COLORREF ProgressBarGradientColor(hostlib::TColor color1, hostlib::TColor color2, int i, int n);

// Registers the published kind in the editors' list (counted).
void cxProgressBarInitialize();
void cxProgressBarFinalize();
