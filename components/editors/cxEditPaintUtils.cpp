#include "components/editors/cxEditPaintUtils.h"

#include <algorithm>
#include <array>
#include <memory>

#include "platform/graphics/wingdi.h"

hostlib::TClass TcxSolidBrushCache::StaticClass()
{
    return hostlib::DefineClass<TcxSolidBrushCache, hostlib::TObject>("TcxSolidBrushCache");
}

namespace {

constexpr unsigned kSystemColorFlag = 0x80000000u;

std::array<HBRUSH, SYS_COLOR_COUNT>& SystemBrushes()
{
    static std::array<HBRUSH, SYS_COLOR_COUNT> brushes{};
    return brushes;
}

// The system's brushes follow SetSysColors, so they are taken once.
void TakeSystemBrushes()
{
    for (int i = 0; i < SYS_COLOR_COUNT; ++i)
        SystemBrushes()[static_cast<size_t>(i)] = GetSysColorBrush(i);
}

std::unique_ptr<TcxSolidBrushCache, hostlib::FreeDeleter>& GlobalCache()
{
    static std::unique_ptr<TcxSolidBrushCache, hostlib::FreeDeleter> cache;
    return cache;
}

} // namespace

TcxSolidBrushCache::TcxSolidBrushCache(int maxDepth)
    : maxDepth_(maxDepth < 1 ? 1 : maxDepth),
      notifier_(hostlib::CreateObject<TcxSystemPaletteChangedNotifier>(false))
{
    notifier_->OnSystemPaletteChanged =
        TcxSystemPaletteChangedEvent::FromFunction([this] { SystemPaletteChanged(); }, this);
}

HBRUSH TcxSolidBrushCache::GetBrush(hostlib::TColor color)
{
    auto value = static_cast<unsigned>(color);
    if ((value & 0xFF000000u) == kSystemColorFlag && (value & 0xFFFFFFu) < SYS_COLOR_COUNT) {
        HBRUSH& brush = SystemBrushes()[value & 0xFFFFFFu];
        if (!brush)
            TakeSystemBrushes();
        return brush;
    }
    auto it = std::lower_bound(colors_.begin(), colors_.end(), value);
    size_t index = static_cast<size_t>(it - colors_.begin());
    if (it != colors_.end() && *it == value) {
        ++uses_[index];
        return brushes_[index];
    }
    if (static_cast<int>(colors_.size()) >= maxDepth_)
        Evict(index);
    HBRUSH brush = CreateSolidBrush(hostlib::ColorToRGB(color));
    colors_.insert(colors_.begin() + static_cast<std::ptrdiff_t>(index), value);
    brushes_.insert(brushes_.begin() + static_cast<std::ptrdiff_t>(index), brush);
    uses_.insert(uses_.begin() + static_cast<std::ptrdiff_t>(index), 0);
    return brush;
}

// Deletes the least used entry (the first of equals), keeping the insertion
// index pointing at the same neighbour.
void TcxSolidBrushCache::Evict(size_t& insertAt)
{
    size_t least = static_cast<size_t>(std::min_element(uses_.begin(), uses_.end()) - uses_.begin());
    DeleteObject(brushes_[least]);
    colors_.erase(colors_.begin() + static_cast<std::ptrdiff_t>(least));
    brushes_.erase(brushes_.begin() + static_cast<std::ptrdiff_t>(least));
    uses_.erase(uses_.begin() + static_cast<std::ptrdiff_t>(least));
    if (least < insertAt)
        --insertAt;
}

void TcxSolidBrushCache::Clear()
{
    for (HBRUSH brush : brushes_)
        DeleteObject(brush);
    colors_.clear();
    brushes_.clear();
    uses_.clear();
}

TcxSolidBrushCache& cxSolidBrushCache()
{
    auto& cache = GlobalCache();
    if (!cache)
        cache.reset(hostlib::CreateObject<TcxSolidBrushCache>());
    return *cache;
}

HBRUSH GetSolidBrush(hostlib::TColor color) { return cxSolidBrushCache().GetBrush(color); }
HBRUSH GetSolidBrush(hostlib::TCanvas*, hostlib::TColor color) { return GetSolidBrush(color); }
HBRUSH GetSolidBrush(TcxCanvas*, hostlib::TColor color) { return GetSolidBrush(color); }
void ResetSolidBrushCache() { cxSolidBrushCache().Clear(); }

void cxEditPaintUtilsInitialize()
{
    TakeSystemBrushes();
    cxSolidBrushCache();
}

void cxEditPaintUtilsFinalize()
{
    GlobalCache().reset();
    SystemBrushes().fill(nullptr);
}
