#pragma once
// A memory canvas with the fixed-metrics test face at 16 pixels (advance 8,
// row height 16) selected, for exact layout and pixel checks.

#include "tests/platform/graphics/canvas.h"

namespace quelvo::editors::test {

inline HFONT FixedFont(int height = -16)
{
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, quelvo::gfx::kFixedTestFace);
}

struct FixedCanvas : quelvo::gfx::test::Canvas {
    quelvo::gfx::test::Selected font;
    FixedCanvas(int w, int h) : Canvas(w, h), font(dc(), FixedFont()) {}
};

} // namespace quelvo::editors::test
