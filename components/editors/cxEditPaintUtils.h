#pragma once
// Solid brushes for editor painting from a cache, so that painting does not
// create a brush per call: system colours answer the system's own brushes,
// other colours a cached brush found by binary search; the least used one
// makes room when the cache is full.

#include <vector>

#include "components/foundation/cxGraphics.h"
#include "components/foundation/cxLookAndFeels.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/visual/graphics.h"

class TcxSolidBrushCache : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxSolidBrushCache() : TcxSolidBrushCache(128) {}
    explicit TcxSolidBrushCache(int maxDepth);
    ~TcxSolidBrushCache() override { Clear(); }

    HBRUSH GetBrush(hostlib::TColor color);
    void Clear();
    int Depth() const { return static_cast<int>(colors_.size()); }
    int MaxDepth() const { return maxDepth_; }
    // The system palette changed: cached brushes no longer match.
    virtual void SystemPaletteChanged() { Clear(); }

private:
    void Evict(size_t& insertAt);

    int maxDepth_ = 128;
    std::vector<unsigned> colors_; // ascending, as unsigned numbers
    std::vector<HBRUSH> brushes_;
    std::vector<int> uses_;
    hostlib::ObjectPtr<TcxSystemPaletteChangedNotifier> notifier_;
};

HBRUSH GetSolidBrush(hostlib::TColor color);
HBRUSH GetSolidBrush(hostlib::TCanvas* canvas, hostlib::TColor color);
HBRUSH GetSolidBrush(TcxCanvas* canvas, hostlib::TColor color);
void ResetSolidBrushCache();
// The global cache (created on first use, freed at shut-down).
TcxSolidBrushCache& cxSolidBrushCache();

void cxEditPaintUtilsInitialize();
void cxEditPaintUtilsFinalize();
