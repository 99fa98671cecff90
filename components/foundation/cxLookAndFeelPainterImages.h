#pragma once
// Images the painters share: the row-indicator glyphs, the chart view's
// auto-hide glyphs, the two 8 x 8 scroll-bar track patterns and the radio
// buttons of every look-and-feel kind. The radio images take the size and
// dot of the system's own radio button and are made again from the current
// colours after a system colour change.

#include <array>
#include <cstdint>
#include <vector>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeelPainters.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/visual/imagelist.h"

// The five indicator glyphs: image k - 1 belongs to TcxIndicatorKind k.
// nullptr outside the unit's life, as are the bitmaps below.
hostlib::TImageList* cxIndicatorImages();
// Transparent 12 x 12 glyphs of the chart view's auto-hide button.
hostlib::TBitmap* cxAutoHideOnGlyph();
hostlib::TBitmap* cxAutoHideOffGlyph();
// The track patterns: BTNFACE and BTNHIGHLIGHT by pixel parity, pressed
// black and 3DDKSHADOW.
hostlib::TBitmap* cxScrollBarTrackBitmap(bool pressed);
// Paints both track patterns from the current system colours, making
// them first when needed.
void UpdateScrollBarBitmaps();

// The Office 2003 face of a button in a state.
hostlib::TColor cxOffice11ButtonColor(TcxButtonState state);

// Where the system's radio button lies in its check-box cell, and its dot.
struct TcxRadioButtonMeasurements {
    int width = 0;
    int height = 0;
    int left = 0; // first column and row of the radio in the cell
    int top = 0;
    RECT dot{};   // in cell coordinates
};

// Codes of the radio pattern, one per pixel.
enum TcxRadioPatternCode : std::uint8_t {
    rpcOutside,
    rpcOuterUpperLeft,
    rpcOuterLowerRight,
    rpcInnerUpperLeft,
    rpcInnerLowerRight,
    rpcInterior,
    rpcDot,
};
using TcxRadioPattern = std::vector<std::vector<std::uint8_t>>; // [y][x]

// 128 radio images: every kind, state, checked, designing and focused.
class TcxRadioButtonImageList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    static constexpr int kImageCount = 128;

    // Measures the system radio and makes pattern and mask; the images
    // follow on the first draw.
    void Construct();

    // The radio at (x, y); with a brush colour other than clDefault the
    // corners around the circle take that colour. cxbsDefault draws as
    // cxbsNormal.
    void Draw(TcxCanvas* canvas, int x, int y, hostlib::TColor brushColor, TcxLookAndFeelKind kind,
              TcxButtonState state, bool checked, bool focused, bool isDesigning);
    // Forgets the images; the next draw makes them from the then current colours.
    void Clear() { images_->Clear(); }
    int Count() const { return images_->Count(); }
    int Width() const { return measurements_.width; }
    int Height() const { return measurements_.height; }
    const TcxRadioButtonMeasurements& Measurements() const { return measurements_; }
    const TcxRadioPattern& Pattern() const { return pattern_; }
    hostlib::TBitmap* Mask() const { return mask_.get(); }
    // The image index of a combination (cxbsDefault counts as cxbsNormal).
    int ImageIndex(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused, bool isDesigning) const;
    // The colour the images give a pattern code in a combination.
    static hostlib::TColor CodeColor(int code, TcxLookAndFeelKind kind, TcxButtonState state, bool checked,
                                     bool focused, bool isDesigning);
    static int MapIndex(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                        bool isDesigning);

private:
    void Measure();
    void MakePattern();
    void MakeMask();
    void MakeImages();
    void AddImage(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused, bool isDesigning);

    TcxRadioButtonMeasurements measurements_;
    TcxRadioPattern pattern_;
    hostlib::ObjectPtr<hostlib::TBitmap> mask_;
    hostlib::ObjectPtr<hostlib::TImageList> images_;
    std::array<int, kImageCount> indexMap_{};
};

// The radio image list, made on first use; nullptr outside the unit's life.
TcxRadioButtonImageList* cxRadioButtonImageList();

// Unit start-up (glyphs, track patterns, the palette notifier) and
// shut-down, counted.
void cxLookAndFeelPainterImagesInitialize();
void cxLookAndFeelPainterImagesFinalize();
