#pragma once
// Internal: decoding device-independent pixels into a surface.

#include "platform/graphics/surface.h"
#include "platform/graphics/wingdi.h"

namespace quelvo::gfx {

// The DIB's pixels as a top-down 32-bit surface; false for a header we do
// not accept (unknown depth or compression, absurd size).
bool DecodeDib(const BITMAPINFO* info, const void* bits, Surface& out);

} // namespace quelvo::gfx
