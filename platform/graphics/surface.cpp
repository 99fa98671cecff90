#include "platform/graphics/surface.h"

#include <algorithm>

namespace quelvo::gfx {

Surface::Surface(int width, int height)
{
    Resize(width, height);
}

Surface Surface::Wrap(void* top, int width, int height, std::ptrdiff_t strideBytes)
{
    Surface s;
    if (!top || width <= 0 || height <= 0)
        return s;
    s.bits_ = static_cast<std::uint8_t*>(top);
    s.width_ = width;
    s.height_ = height;
    s.stride_ = strideBytes;
    return s;
}

Surface::Surface(Surface&& other) noexcept { *this = std::move(other); }

Surface& Surface::operator=(Surface&& other) noexcept
{
    if (this == &other)
        return *this;
    bool owned = !other.storage_.empty();
    storage_ = std::move(other.storage_);
    bits_ = owned ? reinterpret_cast<std::uint8_t*>(storage_.data()) : other.bits_;
    width_ = other.width_;
    height_ = other.height_;
    stride_ = other.stride_;
    other.storage_.clear();
    other.bits_ = nullptr;
    other.width_ = other.height_ = 0;
    other.stride_ = 0;
    return *this;
}

void Surface::Resize(int width, int height)
{
    // Sizes beyond 32767 on a side are refused as the classic API does.
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
        storage_.clear();
        bits_ = nullptr;
        width_ = height_ = 0;
        stride_ = 0;
        return;
    }
    storage_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    bits_ = reinterpret_cast<std::uint8_t*>(storage_.data());
    width_ = width;
    height_ = height;
    stride_ = static_cast<std::ptrdiff_t>(width) * 4;
}

void Surface::Fill(Pixel p)
{
    for (int y = 0; y < height_; ++y)
        std::fill(Row(y), Row(y) + width_, p);
}

} // namespace quelvo::gfx
